// The three batch buttons. The first press opens a "/"-separated text file
// into the batch pane; the second checks it and, when it is clean, imports
// it. A file that cannot be read or written back is reported and changes
// nothing.

#include "app/FrmLexaro.h"

namespace zuvo {

namespace {
constexpr TextView kSentenceSecond = u"批量句子入库(&C)";
constexpr TextView kVerbSecond = u"批量动词入库(&D)";
constexpr TextView kWordSecond = u"批量单词入库(&E)";

}  // namespace

void FrmLexaro::openBatchFile(CommandButton& pressed, TextView secondCaption) {
  const Text file = CommonDialog1.chooseOpen(u"打开", u"文本文件 (*.TXT)|*.TXT");
  if (file.empty()) return;
  try {
    batchText_.open(RichTextBox1, file);
  } catch (const std::exception& e) {
    message(u"批量文件无法打开：" + file + u"\r\n" + fromUtf8(e.what()));
    return;
  }
  pressed.Caption = Text(secondCaption);
  RichTextBox1.Move(220.02f, 1320, 9470, 3630);
  RichTextBox1.ZOrder();
  RichTextBox1.Visible = true;
  RichTextBox1.SetFocus();
  for (CommandButton* b : {&Command27, &Command23, &Command25, &Command1, &Command24, &Command10A, &Command17,
                           &Command19, &Command57, &Command58, &Command69})
    if (b != &pressed) b->Enabled = false;
  Command21.SetFocus();
}

bool FrmLexaro::writeBackBatchFile() {
  try {
    batchText_.writeBack(RichTextBox1);
  } catch (const std::exception& e) {
    Label8.BackColor = kButtonFace;
    batchPressStopped_ = true;
    message(u"批量文件无法写回：" + batchText_.file() + u"\r\n" + fromUtf8(e.what()));
    return false;
  }
  return true;
}

// OpenOrImportSentenceFile
void FrmLexaro::Command58_Click() {
  if (!RichTextBox1.Visible) return openBatchFile(Command58, kSentenceSecond);
  if (Command58.Caption != kSentenceSecond) return;
  app().eventSaves();  // a failure from here on is a failed save
  batchPressStopped_ = false;
  Command79_Click();  // CheckSentenceBatchFormat
  if (batchPressStopped_) return;
  Command11_Click();  // ToggleBatchMode
}

// OpenOrImportWordFile
void FrmLexaro::Command69_Click() {
  if (!RichTextBox1.Visible) return openBatchFile(Command69, kWordSecond);
  if (Command69.Caption != kWordSecond) return;
  app().eventSaves();  // a failure from here on is a failed save
  batchPressStopped_ = false;
  Command71_Click();  // DispatchWordBatch
  if (batchPressStopped_) return;
  Command11_Click();  // ToggleBatchMode
}

// OpenOrImportVerbFile: the second press ends the program, whatever became
// of the file.
void FrmLexaro::Command57_Click() {
  if (!RichTextBox1.Visible) return openBatchFile(Command57, kVerbSecond);
  if (Command57.Caption != kVerbSecond) return;
  app().eventSaves();  // a failure from here on is a failed save
  batchPressStopped_ = false;
  Command47_Click();  // DispatchVerbBatch
  if (batchPressStopped_) return;
  Command11_Click();  // ToggleBatchMode
  app().unload(*this);
}

}  // namespace zuvo
