// The word add panel: a headword, the Spanish word or phrase, its Chinese
// meaning and related phrases, stored as one new WordStore record and its
// search record. A Spanish word that ends like a verb is sent to the verb
// entry panel instead.

#include "app/FrmLexaro.h"
#include "entries/placeholders.h"

namespace zuvo {

namespace {
constexpr TextView kLooksLikeAVerb = u"您输入的内容可能是动词或中文，请选用《添加动词》按钮！";

constexpr Colour kGreen = 0xC0FFC0;
constexpr Colour kPeach = 0xC0E0FF;
}  // namespace

// ShowWordAddPanel
void FrmLexaro::Command81_Click() {
  Text43.BackColor = kWordPanelMark;
  Text42.BackColor = kGreen;
  Text116.BackColor = kPeach;
  endAddModeForPanel();
  Shape4.Visible = false;

  Text116.setText(u"");
  Text116.Move(220.02f, 2410, 9470, 1260);
  Text88.ZOrder();
  Text116.ZOrder();
  Text116.setText(u"");
  Text116.Visible = true;
  Text102.Move(220.02f, 1320, 4720, 350);
  Text43.Move(220.02f, 1720, 4720, 650);
  Text42.Move(5000, 1320, 4700, 1050);
  Text43.ZOrder();
  Text42.ZOrder();
  Text102.ZOrder();
  Text43.Visible = Text42.Visible = Text102.Visible = true;

  // The sentence panes stand side by side under the boxes.
  RichTextBox13.Move(220.02f, 3720, 4720, 1230);
  RichTextBox7.Move(5000, 3720, 4690, 1230);
  RichTextBox13.ZOrder();
  RichTextBox7.ZOrder();
  RichTextBox13.Visible = RichTextBox7.Visible = true;

  Command84_Click();  // LockButtonsForEntry
  Command24.Enabled = Command11.Enabled = false;

  Text102.setText(kWordHeadwordPlaceholder);  // its Change sets LastEnding and captions the save button
  Text42.setText(kWordMeaningPlaceholder);
  Text43.setText(kWordSpanishPlaceholder);
  Text116.setText(kWordExamplesPlaceholder);
}

// LockButtonsForEntry
void FrmLexaro::Command84_Click() {
  Command1.Enabled = Command17.Enabled = Command19.Enabled = false;
  Command21.Visible = false;
  for (CommandButton* b : {&Command23, &Command27, &Command10A, &Command25}) b->Enabled = false;
  Command15.Left = 7930, Command15.Top = 5210;
  Command83.Left = 8700, Command83.Top = 5210;
  Command83.Visible = true;
  Command15.Visible = true;
}

void FrmLexaro::Text102_Change() {
  const Text& t = Text102.text();
  Text29.setText(Right(t, 2));  // LastEnding
  Command83.Caption = t.empty() || t == kWordHeadwordPlaceholder ? kBack : kSave;
}

void FrmLexaro::Text43_KeyUp(int& keyCode, int shift) {
  Text29.setText(Right(Text43.text(), 2));  // LastEnding
  accentKeys(Text43, keyCode, shift);
}

// SaveNewWord. The verb test reads LastEnding, the ending of whichever came
// last: the headword, the Spanish word or a WordStore move; it is skipped
// only when the Spanish-word box is empty, not while it holds its
// placeholder. An empty headword is no word, like the placeholder; a box
// still holding its placeholder stores nothing; the search line is the
// Spanish word as WordStore keeps it, with "ň" for "?".
void FrmLexaro::Command83_Click() {
  app().eventSaves();  // a failure from here on is a failed save
  Command12.Enabled = Command3.Enabled = true;
  RichTextBox16.Enabled = true;
  const Text headword = Text102.text();
  if (headword.empty() || headword == kWordHeadwordPlaceholder) {
    for (TextBox* b : {&Text102, &Text42, &Text43, &Text116}) b->setText(u"");
    Command85_Click();  // CloseWordAddPanel
    return;
  }
  RichTextBox16.Enabled = true;
  const Text spanish = storedText(Text43.text(), kWordSpanishPlaceholder);
  const Text meaning = storedText(Text42.text(), kWordMeaningPlaceholder);
  const Text examples = storedText(Text116.text(), kWordExamplesPlaceholder);
  const Text& ending = Text29.text();
  if (!Text43.text().empty() && (ending == u"ar" || ending == u"er" || ending == u"ir")) {
    message(kLooksLikeAVerb);
    Command20_Click();  // ResetMainWindow
    return;
  }
  if (spanish.empty() && meaning.empty()) {
    Command85_Click();  // CloseWordAddPanel
    return;
  }
  Data6.AddNew();
  Data7.AddNew();
  Text51.setText(headword);  // TakeWordEnding runs
  Text112.setText(spanish);  // its Change turns every "?" into "ň"
  Text113.setText(meaning);
  Text36.setText(headword);
  Text31.setText(Text112.text() + u"◆" + meaning);
  Text39.setText(examples);  // its Change turns every "?" into "ň"
  // Seeking the word saves both records at once, so the range query and the
  // grids have the new word too.
  Data6.setIndex("ZD1");
  Data6.Seek("=", headword);
  Data7.setIndex("ZD2");
  Data7.Seek("=", headword);
  for (TextBox* b : {&Text42, &Text43, &Text116}) b->setText(u"");
  RichTextBox14.setText(u"");
  Command85_Click();  // CloseWordAddPanel
  RichTextBox16.SetFocus();
}

// CloseWordAddPanel: the input box is left as the caller has it.
void FrmLexaro::Command85_Click() {
  Command8.Enabled = true;
  Command21.Visible = true;
  for (CommandButton* b : {&Command11, &Command1, &Command17, &Command19, &Command23, &Command25, &Command24,
                           &Command27, &Command10A})
    b->Enabled = true;
  for (TextBox* b : {&Text116, &Text43, &Text42, &Text102, &Text114, &Text119}) b->Visible = false;
  RichTextBox14.Visible = false;
  Label8.Visible = false;
  Command83.Visible = Command15.Visible = false;
  twoPaneLayout();
  RichTextBox13.ZOrder();
  RichTextBox7.ZOrder();
}

}  // namespace zuvo
