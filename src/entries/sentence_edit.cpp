// The sentence edit panel: the pair on show in two boxes, saved back into
// its own records in both sentence tables. With text selected in the range
// result, the first pair that contains it is opened.

#include "app/FrmLexaro.h"
#include "tools/usage_help.h"

namespace zuvo {

namespace {
constexpr Colour kEditPanelMark = 0x808000;
}  // namespace

// EditSelectedSentence
void FrmLexaro::Command24_Click() {
  if (RichTextBox3.Visible && !RichTextBox3.SelText().empty()) {
    const Text selected = RichTextBox3.SelText();
    Text19.setText(u"");
    const int64_t n = MSFlexGrid1.Rows();
    if (const int64_t r = MSFlexGrid1.findInColumn(1, selected); r >= 0 && r < n) {
      MSFlexGrid1.Col = 1;
      MSFlexGrid1.Row = r;
      Text19.setText(NumText(MSFlexGrid1.Row + 1));  // grid row r is the record with ID r + 1
      Label17.BackColor = kRangeHit;
      const Text shown = Text23.text();
      Data1.setIndex("ID");
      Data1.Seek("=", Text19.text());
      // A row whose record cannot be found leaves the pair on show current,
      // so the panel edits a real record.
      if (Data1.NoMatch() && !shown.empty()) Data1.Seek("=", shown);
      RichTextBox16.setText(u"");
      Text19.setText(u"");
    }
  }
  Command72_Click();  // ResetLookupScreen
  if (Text2.text().empty()) {
    writeHowToAddText(true);
    return;
  }
  RichTextBox16.setText(u"");
  if (Text33.Visible) {
    Text33.Visible = false;
    return;
  }
  // The panel opens on the pair on show, not on what an earlier edit left
  // without saving, and stores what it shows.
  Text40.setText(Text2.text());
  Text41.setText(Text3.text());
  Text37.setText(Text40.text());
  Text48.setText(Text41.text());
  Command8.Enabled = false;
  Command2_Click();  // ShowSentenceEditPanel
  Label5.setCaption(u"  输入中文句子的全文内容:");
  Label3.setCaption(u"  输入西文句子的全文内容:");
  Text40.SetFocus();
}

// ShowSentenceEditPanel
void FrmLexaro::Command2_Click() {
  Command1.Visible = Command11.Visible = false;
  Command10A.Enabled = false;
  for (CommandButton* b : {&Command17, &Command19, &Command21, &Command23, &Command24, &Command25, &Command27})
    b->Visible = false;
  Command15.Left = 7930, Command15.Top = 5210;
  Command9.Left = 8700, Command9.Top = 5210;
  Command9.Visible = Command15.Visible = true;
  Shape2.Visible = false;
  Shape5.Visible = true;
  Line4.Visible = Line1.Visible = false;
  Label17.BackColor = kEditPanelMark;
  Label1.Visible = false;
  placeSentencePanel(Text40, Text41);
}

// The edit boxes: the values to store follow every change, also one that
// leaves the caret at the start.
void FrmLexaro::Text40_Change() {
  if (clearLoneBlank(Text40, true)) return;
  Text37.setText(Text40.text());
}

void FrmLexaro::Text41_Change() {
  if (clearLoneBlank(Text41, true)) return;
  Text48.setText(Text41.text());
}

// SaveEditedSentence: the current pair takes the panel's sentences; no store
// moves, the edits are saved at each store's next move.
void FrmLexaro::Command9_Click() {
  app().eventSaves();  // a failure from here on is a failed save
  Command24.Caption = u"修改(&G)";
  Command1.Enabled = Command11.Enabled = true;
  Text33.Visible = false;
  Text2.setText(Text37.text());
  Text3.setText(Text48.text());
  // The joined text goes only into the search record of the same pair.
  const Text id = Text23.text();
  if (!id.empty() && Text24.text() != id) {
    Data2.setIndex("ID");
    Data2.Seek("=", id);
  }
  if (!id.empty() && Text24.text() == id) Text14.setText(Text2.text() + u"/" + Text3.text());
  Command5_Click();  // ReturnToLookupScreen
  RichTextBox16.SetFocus();
}

// CloseHelpWindowOnSave: a mouse press on the save button closes the help
// window that the panel's help button opened.
void FrmLexaro::Command9_MouseDown(int, int, float, float) {
  if (!app().visible<Frm说明1>()) return;
  app().unload<Frm说明1>();
  Command15.Caption = u"说明";
}

}  // namespace zuvo
