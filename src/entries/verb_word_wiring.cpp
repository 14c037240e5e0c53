// The handlers of the verb entry panel, the word add panel and the edits in
// the verb and word views.

#include "app/FrmLexaro.h"

namespace zuvo {

void FrmLexaro::wireVerbWordHandlers() {
  // the verb entry panel
  Command56.Click = [this] { Command56_Click(); };
  Command67.Click = [this] { Command67_Click(); };
  Command53.Click = [this] { Command53_Click(); };
  Command6.Click = [this] { Command6_Click(); };
  Command8.Click = [this] { Command8_Click(); };
  Text72.Change = [this] { Text72_Change(); };
  Text72.KeyUp = [this](int& k, int s) { Text72_KeyUp(k, s); };

  // the word add panel
  Command81.Click = [this] { Command81_Click(); };
  Command83.Click = [this] { Command83_Click(); };
  Command84.Click = [this] { Command84_Click(); };
  Command85.Click = [this] { Command85_Click(); };
  Text102.Change = [this] { Text102_Change(); };
  Text43.KeyUp = [this](int& k, int s) { Text43_KeyUp(k, s); };

  // the verb view's mirrors
  Text92.KeyUp = [this](int& k, int s) { Text92_KeyUp(k, s); };
  Text91.KeyUp = [this](int& k, int s) { Text91_KeyUp(k, s); };
  Text90.KeyUp = [this](int& k, int s) { Text90_KeyUp(k, s); };

  // the word view's head box, its editors and the synonym box's seek
  Text112.KeyUp = [this](int& k, int s) { Text112_KeyUp(k, s); };
  Text113.KeyUp = [this](int& k, int s) { Text113_KeyUp(k, s); };
  Text114.KeyUp = [this](int& k, int s) { Text114_KeyUp(k, s); };
  Text112.LostFocus = [this] { Text112_LostFocus(); };
  Text113.LostFocus = [this] { Text113_LostFocus(); };
  Text39.LostFocus = [this] { Text39_LostFocus(); };
  Text112.Click = [this] { Text112_Click(); };
  Text39.Click = [this] { Text39_Click(); };
  // Ctrl+I types a TAB into these multi-line boxes too; their key-up takes
  // it out.
  for (TextBox* b : {&Text91, &Text113}) b->KeyPress = [this, b](int& ascii) { noteTypedTab(*b, ascii); };
}

}  // namespace zuvo
