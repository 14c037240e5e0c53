// The handlers of add mode, batch mode, the sentence panels and the entry
// boxes.

#include "app/FrmLexaro.h"

namespace zuvo {

void FrmLexaro::wireEntryHandlers() {
  // add mode and batch mode
  Command1.Click = [this] { Command1_Click(); };
  Command11.Click = [this] { Command11_Click(); };
  Label7.Click = [this] { Label7_Click(); };
  Text88.GotFocus = [this] { Text88_GotFocus(); };

  // the sentence add panel
  Command55.Click = [this] { Command55_Click(); };
  Command35.Click = [this] { Command35_Click(); };
  Command38.Click = [this] { Command38_Click(); };
  Text44.Change = [this] { Text44_Change(); };
  Text45.Change = [this] { Text45_Change(); };

  // the sentence edit panel
  Command24.Click = [this] { Command24_Click(); };
  Command2.Click = [this] { Command2_Click(); };
  Command9.Click = [this] { Command9_Click(); };
  Command9.MouseDown = [this](int button, int shift, float x, float y) { Command9_MouseDown(button, shift, x, y); };
  Text40.Change = [this] { Text40_Change(); };
  Text41.Change = [this] { Text41_Change(); };

  // the entry boxes' keys
  Text26.KeyUp = [this](int& k, int s) { Text26_KeyUp(k, s); };
  Text27.KeyUp = [this](int& k, int s) { Text27_KeyUp(k, s); };
  Text39.KeyUp = [this](int& k, int s) { Text39_KeyUp(k, s); };
  Text41.KeyUp = [this](int& k, int s) { Text41_KeyUp(k, s); };
  Text42.KeyUp = [this](int& k, int s) { Text42_KeyUp(k, s); };
  Text45.KeyUp = [this](int& k, int s) { Text45_KeyUp(k, s); };
  Text116.KeyUp = [this](int& k, int s) { Text116_KeyUp(k, s); };
  Text119.KeyUp = [this](int& k, int s) { Text119_KeyUp(k, s); };
  // The multi-line boxes note the TAB that Ctrl+I types, which their key-up
  // takes out again.
  for (TextBox* b : {&Text26, &Text27, &Text39, &Text41, &Text42, &Text43, &Text45, &Text90, &Text112, &Text114,
                     &Text116, &Text119})
    b->KeyPress = [this, b](int& ascii) { noteTypedTab(*b, ascii); };
  Text42.Change = [this] { Text42_Change(); };
  Text119.Change = [this] { Text119_Change(); };
  Text114.Change = [this] { Text114_Change(); };
}

}  // namespace zuvo
