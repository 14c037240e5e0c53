// The text reader: a text file opened into the work area and saved back at
// every key release, a free second pane below it saved on request, and the
// reader mode that sets the main buttons aside. Its buttons stand disabled
// in the window's design state.

#include <exception>

#include "app/FrmLexaro.h"

namespace zuvo {

namespace {
constexpr Colour kReaderModeOn = 0xFFC0FF;        // Label9
constexpr TextView kAddModeOn = u"关闭(&K)";

void enable(std::initializer_list<Control*> cs, bool enabled) {
  for (Control* c : cs) c->Enabled = enabled;
}

// The lower place of the second pane, under the text pane or the result pane.
void placeSecondPaneLow(RichTextBox& pane) {
  pane.Left = 220.02f;
  pane.Width = 9470;
  pane.Height = 1810;
  pane.Top = 3150;
}

}  // namespace

// Saves the pane as rich text; a failure is told with the file's name.
bool FrmLexaro::saveReaderPane(RichTextBox& pane, TextView file) {
  try {
    pane.SaveFile(toUtf8(file));
    return true;
  } catch (const std::exception&) {
    message(u"文件无法保存：" + Text(file));
    return false;
  }
}

void FrmLexaro::wireReaderHandlers() {
  Command29.Click = [this] { Command29_Click(); };
  Command45.Click = [this] { Command45_Click(); };
  Command51.Click = [this] { Command51_Click(); };
  Command26.Click = [this] { Command26_Click(); };
  Command74.Click = [this] { Command74_Click(); };
  Command59.Click = [this] { Command59_Click(); };
  Command73.Click = [this] { Command73_Click(); };
  Command94.Click = [this] { Command94_Click(); };
  Command66.Click = [this] { Command66_Click(); };
  RichTextBox8.KeyUp = [this](int& keyCode, int shift) { RichTextBox8_KeyUp(keyCode, shift); };
  RichTextBox8.MouseUp = [this](int button, int shift, float x, float y) { RichTextBox8_MouseUp(button, shift, x, y); };
}

// OpenReaderText
void FrmLexaro::Command29_Click() {
  RichTextBox16.setText(u"");
  if (Text90.Visible) Command36_Click();    // HideVerbFields
  if (Command58.Visible) Command11_Click();  // ToggleBatchMode leaves batch mode
  if (RichTextBox12.Visible) Command26_Click();  // ToggleReaderPanes
  // The text pane still shows under the result pane: no dialog.
  if (RichTextBox8.Visible) return;

  const Text file = CommonDialog1.chooseOpen(u"打开", u"文本文件 (*.TXT)|*.TXT");
  if (file.empty()) return;
  try {
    RichTextBox8.LoadFile(toUtf8(file));
  } catch (const std::exception& e) {
    // The pane keeps its text and the reader its file.
    message(u"文件无法打开：" + file + u"\r\n" + fromUtf8(e.what()));
    return;
  }
  ReaderFile = file;

  RichTextBox8.Move(220.02f, 1320, 9470, 1760);
  RichTextBox8.ZOrder();
  placeSecondPaneLow(RichTextBox12);
  Text88.ZOrder();
  RichTextBox8.ZOrder();
  RichTextBox12.ZOrder();
  RichTextBox8.Visible = true;
  RichTextBox12.Visible = true;
  enable({&Command1, &Command10A, &Command11, &Command27, &Command23, &Command24, &Command25, &Command51}, false);
  enable({&Command45, &Command59}, true);
  Label9.BackColor = kReaderModeOn;
  RichTextBox12.SetFocus();
}

// ToggleReaderMode: Command45 stays enabled both ways; Command51 is left alone.
void FrmLexaro::Command45_Click() {
  Text23.BackColor = kReaderResultShown;
  RichTextBox8.Visible = false;
  RichTextBox12.Visible = false;
  enable({&Command27, &Command17, &Command19, &Command20}, true);
  if (Label9.BackColor == kReaderModeOn) {
    enable({&Command1, &Command11, &Command10A, &Command24, &Command23, &Command25}, true);
    Command59.Enabled = false;
    RichTextBox3.Visible = false;
    RichTextBox7.ZOrder();
    RichTextBox13.ZOrder();
    RichTextBox16.SetFocus();
    Label9.BackColor = kButtonFace;
    return;
  }
  enable({&Command1, &Command11, &Command10A, &Command24, &Command25, &Command23}, false);
  Command59.Enabled = true;
  RichTextBox3.Visible = false;
  RichTextBox8.Visible = true;  // in the place it last had
  placeSecondPaneLow(RichTextBox12);
  RichTextBox12.Visible = true;
  RichTextBox8.ZOrder();
  RichTextBox12.ZOrder();
  RichTextBox12.SetFocus();
  Label9.BackColor = kReaderModeOn;
}

// SaveReaderText: the second pane as rich text, to a file the user chooses.
void FrmLexaro::Command51_Click() {
  if (RichTextBox12.text().empty()) return;
  const Text file = CommonDialog2.chooseSave(u"另存为", u"文本文件(*.txt)|*.*");
  if (file.empty()) return;
  // Not saved, the button stays enabled for another try.
  const bool saved = saveReaderPane(RichTextBox12, file);
  RichTextBox12.SetFocus();
  if (saved) Command51.Enabled = false;
}

// AutoSaveReaderFile: the whole pane at every key release, whatever the key.
void FrmLexaro::RichTextBox8_KeyUp(int&, int) {
  if (!ReaderFile.empty()) saveReaderPane(RichTextBox8, ReaderFile);
  RichTextBox8.SetFocus();
}

// ToggleReaderPanes
void FrmLexaro::Command26_Click() {
  RichTextBox16.setText(u"");
  if (Command1.Caption == kAddModeOn)
    Command1_Click();  // ToggleAddMode leaves add mode
  else if (Command58.Visible)
    Command11_Click();  // ToggleBatchMode leaves batch mode

  // The press shares the work area between the result pane and the second pane.
  if (RichTextBox3.Visible) {
    if (RichTextBox3.Height > 3620) {
      RichTextBox3.Top = 1320;
      RichTextBox3.Height = 1760;
      placeSecondPaneLow(RichTextBox12);
      RichTextBox12.ZOrder();
      RichTextBox12.Visible = true;
    } else {
      RichTextBox3.Height = 3640;
      RichTextBox12.Visible = false;
    }
    return;
  }
  RichTextBox11.Visible = false;

  auto secondPaneFull = [this] {
    RichTextBox12.Move(220.02f, 1320, 9470, 3630);
    RichTextBox8.Visible = false;
    RichTextBox12.Visible = true;
    RichTextBox12.ZOrder();
  };
  if (RichTextBox12.Visible && RichTextBox8.Visible) {
    // Reading to the second pane alone; the reader mode ends.
    secondPaneFull();
    RichTextBox12.SetFocus();
    Command51.Enabled = true;
    if (Command45.Enabled) enable({&Command45, &Command59}, false);
    enable({&Command1, &Command24, &Command10A, &Command23, &Command25, &Command27}, true);
    Label9.BackColor = kButtonFace;
    return;
  }
  if (Command29.Enabled) {
    if (RichTextBox12.Visible) {
      // The reader closes; its text pane is emptied, so it has no file any more.
      for (RichTextBox* r : {&RichTextBox12, &RichTextBox11, &RichTextBox8}) {
        r->Visible = false;
        r->setText(u"");
      }
      ReaderFile.clear();
      Text88.Width = 9490;
      Text88.Visible = true;
      enable({&Command23, &Command25}, true);
      Command51.Enabled = false;
      enable({&Command1, &Command24, &Command10A}, true);
      RichTextBox16.SetFocus();
    } else {
      secondPaneFull();
      enable({&Command23, &Command25}, false);
      RichTextBox12.SetFocus();
      Command51.Enabled = true;
      if (Command45.Enabled) enable({&Command45, &Command59}, false);
    }
    return;
  }
  RichTextBox12.Height = 1810;
  RichTextBox12.Top = 3150;
  RichTextBox8.Visible = true;
}

}  // namespace zuvo
