// Add mode: "添加(&N)" offers the three add buttons over the main button row
// and "关闭(&K)" takes them away again. The caption of Command1 is the mode.
// Beside it two small handlers that serve the verb and word panels.

#include "app/FrmLexaro.h"
#include "entries/placeholders.h"

namespace zuvo {

namespace {
constexpr TextView kAddModeOff = u"添加(&N)";
constexpr TextView kAddModeOn = u"关闭(&K)";
}  // namespace

// ToggleAddMode. The lookup runs it on every change of the input while the
// mode is on: its own emptying of the input runs the lookup again, which
// closes the mode, and this run then opens it again, so a typed character
// is taken away and the mode stays on.
void FrmLexaro::Command1_Click() {
  Command72_Click();  // ResetLookupScreen
  // The test is on the pane: on an empty dictionary the first press shows
  // how to add, the second opens the mode.
  if (RichTextBox13.text().empty()) {
    writeHowToAddText(true);
    return;
  }
  RichTextBox3.Visible = false;
  RichTextBox16.setText(u"");
  if (Command58.Visible) Command11.setValue(true);  // ToggleBatchMode ends batch mode first

  if (Command1.Caption == kAddModeOff) {
    Command55.Left = 2380.221f;
    Command56.Left = 3900.363f;
    Command81.Left = 5410.5f;
    Command55.Visible = true;
    Command55.Top = Command56.Top = Command81.Top = 777.965f;
    Command56.Visible = true;
    Command81.Visible = true;
    Command1.Caption = kAddModeOn;
    for (CommandButton* b : {&Command11, &Command8, &Command10A, &Command12, &Command3, &Command24}) b->Enabled = false;
    Shape4.Width = 4620.429f;
    Shape4.Visible = true;
    return;
  }
  Command55.Visible = Command56.Visible = Command81.Visible = false;
  Command1.Caption = kAddModeOff;
  // The verb-conjugation button comes back enabled whatever it was before.
  for (CommandButton* b : {&Command8, &Command10A, &Command12, &Command3, &Command11, &Command24}) b->Enabled = true;
  Shape4.Visible = false;
}

// Add mode ends as an entry panel opens, and the input box takes no typing
// while the panel is open.
void FrmLexaro::endAddModeForPanel() {
  Command55.Visible = Command56.Visible = Command81.Visible = false;
  Command1.Caption = kAddModeOff;
  RichTextBox16.Enabled = false;
}

// Clears the placeholders of an open verb entry or word add panel, so the
// user can type at once.
void FrmLexaro::Label7_Click() {
  if (Text42.text() == kVerbMeaningPlaceholder) {
    for (TextBox* b : {&Text42, &Text46, &Text47, &Text72, &Text114, &Text117, &Text118, &Text119, &Text116})
      b->setText(u"");
    if (Text72.Visible) Text72.SetFocus();
  } else if (Text102.text() == kWordHeadwordPlaceholder) {
    for (TextBox* b : {&Text102, &Text42, &Text43, &Text116}) b->setText(u"");
    if (Text102.Visible) Text102.SetFocus();
  }
}

// The pane backdrop passes the focus on to the word add panel's headword box
// when the word view is not open.
void FrmLexaro::Text88_GotFocus() {
  if (!Text112.Visible && Text102.Visible) Text102.SetFocus();
}

}  // namespace zuvo
