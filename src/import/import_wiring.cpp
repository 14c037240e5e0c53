// The handlers of the batch buttons, the checks, the imports and the
// example split.

#include "app/FrmLexaro.h"

namespace zuvo {

void FrmLexaro::wireImportHandlers() {
  // the batch buttons
  Command58.Click = [this] { Command58_Click(); };
  Command57.Click = [this] { Command57_Click(); };
  Command69.Click = [this] { Command69_Click(); };
  // the checks and their dispatch, subroutine buttons
  Command47.Click = [this] { Command47_Click(); };
  Command71.Click = [this] { Command71_Click(); };
  Command79.Click = [this] { Command79_Click(); };
  Command37.Click = [this] { Command37_Click(); };
  Command82.Click = [this] { Command82_Click(); };
  Command61.Click = [this] { Command61_Click(); };
  Command39.Click = [this] { Command39_Click(); };
  // the imports and the example split
  Command22.Click = [this] { Command22_Click(); };
  Command60.Click = [this] { Command60_Click(); };
  Command64.Click = [this] { Command64_Click(); };
  Command91.Click = [this] { Command91_Click(); };
  Command75.Click = [this] { Command75_Click(); };
  Command68.Click = [this] { Command68_Click(); };
  Command42.Click = [this] { Command42_Click(); };
  Text80.Change = [this] { Text80_Change(); };
}

}  // namespace zuvo
