// The sentence add panel: a Chinese and a Spanish box over the work area and
// one button that saves the pair and closes the panel. The save stores the
// two hidden copies Text42 and Text43, which follow the boxes as the user
// types; the pair goes into both sentence tables at once.

#include "app/FrmLexaro.h"
#include "entries/placeholders.h"

namespace zuvo {

namespace {
constexpr TextView kChinesePrompt = u"  输入中文句子的全文内容:";
constexpr TextView kSpanishPrompt = u"  输入西文句子的全文内容:";

}  // namespace

// The layout both sentence panels share: the backdrop and the two prompts,
// the lookup screen's panes and input row hidden, the two boxes shown.
void FrmLexaro::placeSentencePanel(TextBox& upper, TextBox& lower) {
  Label4.Visible = true;
  Label4.Move(180, 150, 9560, 4840);
  Label5.Move(180, 190.159f, 3100, 248.133f);
  Label3.Move(180, 1720, 3100, 248.133f);
  Label5.Visible = Label3.Visible = true;
  for (Control* c : std::initializer_list<Control*>{&RichTextBox13, &RichTextBox7, &Text120, &RichTextBox16, &Text88})
    c->Visible = false;
  upper.Move(220.02f, 420.212f, 9470, 1220);
  lower.Move(220.02f, 1950, 9470, 3000);
  upper.Visible = lower.Visible = true;
}

// OpenSentenceAddPanel
void FrmLexaro::Command55_Click() {
  endAddModeForPanel();
  if (RichTextBox12.Visible) Command26_Click();  // ToggleReaderPanes
  Command35_Click();  // ShowSentenceAddPanel
  // The boxes and their copies start empty: the verb and word panels leave
  // their texts in Text42 and Text43, and a panel left without saving leaves
  // its sentences in all four.
  for (TextBox* b : {&Text42, &Text43, &Text44, &Text45}) b->setText(u"");
  Label5.setCaption(kChinesePrompt);
  Label3.setCaption(kSpanishPrompt);
  Text44.SetFocus();
  Command38.Caption = kBack;
}

// ShowSentenceAddPanel
void FrmLexaro::Command35_Click() {
  for (CommandButton* b : {&Command1, &Command11, &Command17, &Command19, &Command21, &Command23, &Command24,
                           &Command25, &Command27, &Command81})
    b->Visible = false;
  Command8.Enabled = false;
  Command15.Left = 7930, Command15.Top = 5210;
  Command38.Left = 8700, Command38.Top = 5210;
  Command38.Visible = Command15.Visible = true;
  Shape2.Visible = false;
  Shape5.Visible = true;
  Line4.Visible = Line1.Visible = Label1.Visible = false;
  placeSentencePanel(Text44, Text45);
}

// The Chinese box: the save button reads "保—存" while it holds text; the
// copy follows every change, also one that leaves the caret at the start,
// so the save stores what the box shows.
void FrmLexaro::Text44_Change() {
  Command38.Caption = Text44.text().empty() ? kBack : kSave;
  if (clearLoneBlank(Text44, true)) return;
  Text42.setText(Text44.text());
}

void FrmLexaro::Text45_Change() {
  if (clearLoneBlank(Text45, true)) return;
  Text43.setText(Text45.text());
}

// SaveNewSentence: with a Chinese sentence the pair is stored in both
// tables and becomes the pair on show; a Spanish sentence alone is dropped.
// Either way the panel closes.
void FrmLexaro::Command38_Click() {
  app().eventSaves();  // a failure from here on is a failed save
  Command1.Caption = u"添加(&N)";
  for (CommandButton* b : {&Command12, &Command3, &Command24, &Command11}) b->Enabled = true;
  Text88.Visible = true;
  if (isEntryPlaceholder(Text42.text())) {
    Command5_Click();  // ReturnToLookupScreen
    return;
  }
  // A placeholder is never stored as a sentence.
  const Text spanish = isEntryPlaceholder(Text43.text()) ? Text() : Text43.text();
  if (Text42.text().empty() && spanish.empty()) {
    Command5_Click();  // ReturnToLookupScreen
    return;
  }
  if (!Text42.text().empty()) {
    const Text chinese = Text42.text();
    Data1.AddNew();
    Data2.AddNew();
    Text14.setText(chinese + u"/" + spanish);
    Text2.setText(chinese);
    Text3.setText(spanish);
    // The moves save both new records.
    Data1.MoveLast();
    Data2.MoveLast();
  }
  Command5_Click();  // ReturnToLookupScreen
  for (TextBox* b : {&Text42, &Text43, &Text44, &Text45}) b->setText(u"");
  RichTextBox16.SetFocus();
}

}  // namespace zuvo
