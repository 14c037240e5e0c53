// The handlers of the input box, the views and the number hand-off.

#include "app/FrmLexaro.h"

namespace zuvo {

void FrmLexaro::wireLookupHandlers() {
  RichTextBox16.Change = [this] { RichTextBox16_Change(); };
  Text100.Change = [this] { Text100_Change(); };
  Text106.Change = [this] { Text106_Change(); };
  Text21.Change = [this] { Text21_Change(); };
  Command54.Click = [this] { Command54_Click(); };
  Command36.Click = [this] { Command36_Click(); };
  Command76.Click = [this] { Command76_Click(); };
  Command44.Click = [this] { Command44_Click(); };
  Command78.Click = [this] { Command78_Click(); };
  Command48.Click = [this] { Command48_Click(); };
  Command10A.Click = [this] { Command10A_Click(); };
  Text10.Change = [this] { Text10_Change(); };
  Text11.Change = [this] { Text11_Change(); };
  Text34.Change = [this] { Text34_Change(); };
  Text35.Change = [this] { Text35_Change(); };
  Text33.Click = [this] { Text33_Click(); };

  Command17.Click = [this] { Command17_Click(); };
  Command31.Click = [this] { Command31_Click(); };
  Command4.Click = [this] { Command4_Click(); };
  Command46.Click = [this] { Command46_Click(); };
  Command43.Click = [this] { Command43_Click(); };
  Command70.Click = [this] { Command70_Click(); };
  Command63.Click = [this] { Command63_Click(); };
  Command33.Click = [this] { Command33_Click(); };
  Command34.Click = [this] { Command34_Click(); };
  Command41.Click = [this] { Command41_Click(); };
  Text58.Change = [this] { Text58_Change(); };
  Text59.Change = [this] { Text59_Change(); };
  Text60.Change = [this] { Text60_Change(); };
  Text61.Change = [this] { Text61_Change(); };
  Text62.Change = [this] { Text62_Change(); };
  Text81.Change = [this] { Text81_Change(); };
  Text82.Change = [this] { Text82_Change(); };
  Text50.Change = [this] { Text50_Change(); };
  Text70.Change = [this] { Text70_Change(); };
  Text74.Change = [this] { Text74_Change(); };
  Text79.Change = [this] { Text79_Change(); };
}

}  // namespace zuvo
