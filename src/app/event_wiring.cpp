// The handlers of the user's keys and mouse on the input box and the panes,
// the step buttons, the launchers, the result pane toggle and the
// expandable boxes.

#include "app/FrmLexaro.h"

namespace zuvo {

void FrmLexaro::wireEventHandlers() {
  using MouseHandler = void (FrmLexaro::*)(int, int, float, float);
  auto mouse = [this](MouseHandler h) {
    return [this, h](int button, int shift, float x, float y) { (this->*h)(button, shift, x, y); };
  };

  // the input box
  RichTextBox16.KeyPress = [this](int& a) { RichTextBox16_KeyPress(a); };
  RichTextBox16.KeyUp = [this](int& k, int s) { RichTextBox16_KeyUp(k, s); };
  RichTextBox16.MouseUp = mouse(&FrmLexaro::RichTextBox16_MouseUp);

  // the sentence panes
  RichTextBox13.Click = [this] { RichTextBox13_Click(); };
  RichTextBox13.DblClick = [this] { RichTextBox13_DblClick(); };
  RichTextBox13.MouseDown = mouse(&FrmLexaro::RichTextBox13_MouseDown);
  RichTextBox13.MouseUp = mouse(&FrmLexaro::RichTextBox13_MouseUp);
  RichTextBox7.Click = [this] { RichTextBox7_Click(); };
  RichTextBox7.DblClick = [this] { RichTextBox7_DblClick(); };
  RichTextBox7.MouseDown = mouse(&FrmLexaro::RichTextBox7_MouseDown);

  // the word view's panes and editors
  RichTextBox14.GotFocus = [this] { RichTextBox14_GotFocus(); };
  RichTextBox14.LostFocus = [this] { RichTextBox14_LostFocus(); };
  RichTextBox14.Click = [this] { RichTextBox14_Click(); };
  RichTextBox14.KeyPress = [this](int& a) { RichTextBox14_KeyPress(a); };
  RichTextBox14.MouseUp = mouse(&FrmLexaro::RichTextBox14_MouseUp);
  RichTextBox15.GotFocus = [this] { RichTextBox15_GotFocus(); };
  RichTextBox15.LostFocus = [this] { RichTextBox15_LostFocus(); };
  RichTextBox15.Click = [this] { RichTextBox15_Click(); };
  RichTextBox15.KeyPress = [this](int& a) { RichTextBox15_KeyPress(a); };
  RichTextBox15.MouseUp = mouse(&FrmLexaro::RichTextBox15_MouseUp);
  Text109.Change = [this] { Text109_Change(); };
  Text39.MouseUp = mouse(&FrmLexaro::Text39_MouseUp);
  Text39.DblClick = [this] { Text39_DblClick(); };
  Text113.MouseUp = mouse(&FrmLexaro::Text113_MouseUp);

  // the verb view's large boxes and the not-found hint
  Text90.MouseUp = mouse(&FrmLexaro::Text90_MouseUp);
  Text91.MouseUp = mouse(&FrmLexaro::Text91_MouseUp);
  Text32.Click = [this] { Text32_Click(); };
  Text32.MouseMove = mouse(&FrmLexaro::Text32_MouseMove);

  // previous and next
  Command23.Click = [this] { Command23_Click(); };
  Command25.Click = [this] { Command25_Click(); };

  // the launchers
  Command12.Click = [this] { Command12_Click(); };
  Command3.Click = [this] { Command3_Click(); };
  Command27.Click = [this] { Command27_Click(); };
  Command15.MouseDown = mouse(&FrmLexaro::Command15_MouseDown);
  Text120.GotFocus = [this] { Text120_GotFocus(); };

  // the result pane
  Command19.Click = [this] { Command19_Click(); };

  // the expandable boxes
  for (auto [box, h] : {std::pair{&Text40, &FrmLexaro::Text40_DblClick}, {&Text41, &FrmLexaro::Text41_DblClick},
                        {&Text42, &FrmLexaro::Text42_DblClick}, {&Text43, &FrmLexaro::Text43_DblClick},
                        {&Text44, &FrmLexaro::Text44_DblClick}, {&Text45, &FrmLexaro::Text45_DblClick},
                        {&Text114, &FrmLexaro::Text114_DblClick}, {&Text116, &FrmLexaro::Text116_DblClick},
                        {&Text119, &FrmLexaro::Text119_DblClick}, {&Text26, &FrmLexaro::Text26_DblClick},
                        {&Text27, &FrmLexaro::Text27_DblClick}, {&Text90, &FrmLexaro::Text90_DblClick}})
    box->DblClick = [this, h] { (this->*h)(); };
  Text96.Click = [this] { Text96_Click(); };
  Text97.Click = [this] { Text97_Click(); };
  Text4.Change = [this] { Text4_Change(); };
  Text49.Change = [this] { Text49_Change(); };
  Command52.Click = [this] { Command52_Click(); };
}

}  // namespace zuvo
