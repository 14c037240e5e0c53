// Batch mode: "PLT" offers the three batch buttons on the input row and
// takes them away again, dropping a batch file that was opened but not
// imported. The buttons' visibility is the mode.

#include "app/FrmLexaro.h"

namespace zuvo {

// ToggleBatchMode
void FrmLexaro::Command11_Click() {
  Command72_Click();  // ResetLookupScreen
  // On an empty dictionary the first press shows how to add, the second
  // opens the mode.
  if (RichTextBox13.text().empty()) {
    writeHowToAddText(true);
    return;
  }
  RichTextBox16.setText(u"");
  Text95.setText(u"");
  RichTextBox1.setText(u"");
  RichTextBox1.Visible = false;
  Command27.Enabled = true;

  if (Command57.Visible) {
    Command12.Enabled = Command3.Enabled = true;
    Command57.Visible = Command58.Visible = Command69.Visible = false;
    Command58.Caption = u"批量句子添加(&C)";
    Command57.Caption = u"批量动词添加(&D)";
    Command69.Caption = u"批量单词添加(&E)";
    Command62_Click();  // EnableMainButtons
    for (CommandButton* b : {&Command1, &Command12, &Command8, &Command24}) b->Enabled = true;
    RichTextBox16.SetFocus();
    return;
  }
  for (CommandButton* b : {&Command57, &Command58, &Command69}) {
    b->Visible = true;
    b->Enabled = true;
  }
  for (CommandButton* b : {&Command1, &Command12, &Command24, &Command3, &Command8}) b->Enabled = false;
}

}  // namespace zuvo
