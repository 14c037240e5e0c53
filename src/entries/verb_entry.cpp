// The verb entry panel: one verb typed with its meaning, type, preposition,
// synonyms, antonyms and examples, its participle and gerund previewed as
// the infinitive is typed, and stored as one new record in each of the three
// verb tables. Beside it the button that shows the verb the lookup kept.

#include "app/FrmLexaro.h"
#include "entries/FMff.h"
#include "entries/placeholders.h"

namespace zuvo {

namespace {
constexpr TextView kNotAVerb = u"您输入的单词不是动词，请重新写入内容！";

constexpr Colour kPaleCyan = 0xFFFFC0;
constexpr Colour kPeach = 0xC0E0FF;

bool hasVerbEnding(TextView infinitive) {
  const Text ending = Right(infinitive, 2);
  return ending == u"ar" || ending == u"er" || ending == u"ir";
}
}  // namespace

std::array<TextBox*, 9> FrmLexaro::verbPanelBoxes() {
  return {&Text42, &Text72, &Text46, &Text47, &Text114, &Text117, &Text118, &Text119, &Text116};
}

// OpenVerbEntryPanel
void FrmLexaro::Command56_Click() {
  Text72.BackColor = kVerbPanelMark;
  Text42.BackColor = kWindowBackground;
  Text43.BackColor = kWindowBackground;
  Text116.BackColor = kPeach;
  Text114.BackColor = Text119.BackColor = kPaleCyan;
  Text46.BackColor = Text47.BackColor = kWindowBackground;
  endAddModeForPanel();
  Shape4.Visible = false;

  Text42.Move(220.02f, 1320, 6700, 1180);
  Text72.Move(6990.65f, 1320, 2700, 300);
  Text46.Move(6990.65f, 1740, 1350, 300);
  Text47.Move(8379.777f, 1740, 1300, 300);
  Text117.Move(6990.65f, 2150, 1350, 300);
  Text118.Move(8379.777f, 2150, 1300, 300);
  Text114.Move(6990.65f, 2560, 2700, 1150);
  Text119.Move(6990.65f, 3760, 2700, 1170);
  Text116.Move(220.02f, 2560, 6700, 2380);
  Text88.Width = 9490;
  // The backdrop first, so that it lies behind all the others.
  for (TextBox* b : {&Text88, &Text116, &Text117, &Text118, &Text114, &Text119, &Text42, &Text72, &Text46, &Text47})
    b->ZOrder();
  for (TextBox* b : {&Text116, &Text114, &Text119, &Text42, &Text72, &Text46, &Text47, &Text88, &Text117, &Text118})
    b->Visible = true;

  for (CommandButton* b : {&Command1, &Command11, &Command23, &Command25, &Command24, &Command10A}) b->Enabled = false;
  Command21.Visible = false;
  Command17.Enabled = Command19.Enabled = false;
  Command15.Left = 7930, Command15.Top = 5210;
  Command67.Left = 8700, Command67.Top = 5210;
  Command67.Visible = true;
  Command15.Visible = true;
  Text72.SetFocus();

  Text42.setText(kVerbMeaningPlaceholder);
  Text46.setText(kVerbTypePlaceholder);
  Text47.setText(kVerbPrepositionPlaceholder);
  Text72.setText(kVerbInfinitivePlaceholder);  // its Change captions the save button "返—回"
  Text117.setText(kVerbGerundPlaceholder);
  Text118.setText(kVerbParticiplePlaceholder);
  Text114.setText(kVerbSynonymsPlaceholder);
  Text119.setText(kVerbAntonymsPlaceholder);
  Text116.setText(kVerbExamplesPlaceholder);
}

void FrmLexaro::Text72_Change() {
  const Text& t = Text72.text();
  Command67.Caption = t.empty() || t == kVerbInfinitivePlaceholder ? kBack : kSave;
}

// LastEnding, the accent keys, then the preview of the forms after every
// key release, whether or not an accented letter went in.
void FrmLexaro::Text72_KeyUp(int& keyCode, int shift) {
  Text29.setText(Right(Text72.text(), 2));
  accentKeys(Text72, keyCode, shift);
  app().form<FMff>().Command2.setValue(true);  // VerbFormsPreviewRequest
}

// SaveVerbEntry. The verb test reads the infinitive box itself, and an
// infinitive too short to have a root, or the placeholder, is refused
// before any record is begun. A box still holding its placeholder stores
// nothing.
void FrmLexaro::Command67_Click() {
  app().eventSaves();  // a failure from here on is a failed save
  Command12.Enabled = Command3.Enabled = true;
  RichTextBox16.Enabled = true;
  if (Text42.text() == kVerbMeaningPlaceholder) {
    for (TextBox* b : verbPanelBoxes()) b->setText(u"");
    Command53_Click();  // CloseVerbEntry
    return;
  }
  const Text infinitive = Text72.text();
  if (infinitive.empty() && Text42.text().empty()) {
    Command53_Click();  // CloseVerbEntry
    return;
  }
  // A text under two characters, and the placeholder, have no verb ending.
  if (!hasVerbEnding(infinitive)) {
    message(kNotAVerb);
    Text72.setText(u"");
    Command20_Click();  // ResetMainWindow
    return;
  }
  const Text meaning = Text42.text();
  const Text type = storedText(Text46.text(), kVerbTypePlaceholder);
  const Text preposition = storedText(Text47.text(), kVerbPrepositionPlaceholder);
  const Text synonyms = storedText(Text114.text(), kVerbSynonymsPlaceholder);
  const Text antonyms = storedText(Text119.text(), kVerbAntonymsPlaceholder);
  const Text examples = storedText(Text116.text(), kVerbExamplesPlaceholder);

  Data3.AddNew();  // its ID box runs SyncVerbTablesById
  Data4.AddNew();
  Data5.AddNew();
  requestVerbForms(infinitive);  // into Text97 and Text96 of the new record
  Text63.setText(infinitive);
  Text92.setText(infinitive);
  const Text root = deriveVerbRoot(infinitive);
  Text108.setText(root);
  Text64.setText(root);
  Text73.setText(meaning);
  Text91.setText(meaning);
  Text93.setText(type);
  Text94.setText(preposition);
  Text90.setText(examples);
  Text26.setText(synonyms);
  Text27.setText(antonyms);
  Text87.setText(infinitive);
  Text107.setText(meaning);
  Text9.setText(examples);
  // Seeking the verb saves the three records at once (its ID box moves the
  // other two), so the range query and the grids have the new verb too.
  Data3.setIndex("ZD1");
  Data3.Seek("=", infinitive);
  for (TextBox* b : verbPanelBoxes()) b->setText(u"");
  Command53_Click();  // CloseVerbEntry
}

// CloseVerbEntry: the boxes keep their texts.
void FrmLexaro::Command53_Click() {
  for (TextBox* b : verbPanelBoxes()) b->Visible = false;
  Text26.Visible = Text27.Visible = false;
  for (CommandButton* b : {&Command1, &Command11, &Command23, &Command25, &Command8, &Command24, &Command10A})
    b->Enabled = true;
  Command21.Visible = true;
  Command17.Enabled = Command19.Enabled = true;
  Command67.Visible = Command15.Visible = false;
  RichTextBox7.ZOrder();
  RichTextBox13.ZOrder();
  RichTextBox16.Enabled = true;
  RichTextBox16.SetFocus();
}

// ShowRecognizedVerb: the verb whose ID the lookup kept becomes current,
// once; the ID is then spent.
void FrmLexaro::Command8_Click() {
  const Text& id = Text105.text();
  if (StrComp(id, u"0") > 0) {  // neither empty nor "0"
    Data3.setIndex("ID");
    Data3.Seek("=", id);
  }
  Text105.setText(u"0");
}

}  // namespace zuvo
