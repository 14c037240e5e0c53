// Place batch files: the batch button opens a "/"-separated text file into
// a panel over the place lists; its second press counts the "/" of the first
// line, which picks the format (2, 3, 4 or 18 columns), and holds every line
// to that count. Bad lines are marked red and the file is written back over
// itself as rich text; a clean file goes on to its column-order check or its
// writer. Here too the steps every check shares: the line loop, the column
// step, the "/" count, the Latin test, the save-back and the progress tick.

#include <algorithm>

#include "places/place_window.h"
#include "platform/design.h"

namespace zuvo {

namespace {

constexpr Colour kRed = 255;
constexpr TextView kOpenCaption = u"批量添加(&P)";
constexpr TextView kImportCaption = u"开始添加(&K)";

// clang-format off
constexpr DesignRow kBatchDesign[] = {
    {.name = "RichTextBox4", .left = 268, .top = 388, .width = 324, .height = 2800, .visible = false},
    {.name = "ProgressBar1", .left = 240, .top = 90, .width = 9480, .height = 225, .visible = false},
    {.name = "CommonDialog", .visible = false},
    {.name = "Text20", .visible = false},
    {.name = "RichTextBox5", .visible = false},
    {.name = "Text15", .text = u"0", .visible = false},
    {.name = "Text49", .visible = false},
    {.name = "Text51", .visible = false},
    {.name = "Label8", .visible = false, .back = kButtonFace},
    {.name = "Label12", .visible = false, .back = kButtonFace},
    {.name = "Label14", .visible = false, .back = kButtonFace},
    {.name = "Text53", .text = u"0", .visible = false},
    {.name = "Text55", .text = u"0", .visible = false},
    {.name = "Text56", .text = u"0", .visible = false},
    {.name = "Text58", .text = u"0", .visible = false},
    {.name = "Text60", .visible = false}, {.name = "Text62", .visible = false}, {.name = "Text63", .visible = false},
    {.name = "Text66", .visible = false}, {.name = "Text67", .visible = false}, {.name = "Text68", .visible = false},
    {.name = "Text69", .visible = false}, {.name = "Text70", .visible = false}, {.name = "Text71", .visible = false},
    {.name = "Text72", .visible = false}, {.name = "Text73", .visible = false}, {.name = "Text74", .visible = false},
    {.name = "Text75", .visible = false}, {.name = "Text76", .visible = false}, {.name = "Text77", .visible = false},
    {.name = "Command37", .text = u"37", .visible = false},
    {.name = "Command45", .text = u"45", .visible = false},
    {.name = "Command46", .text = u"46", .visible = false},
    {.name = "Command47", .text = u"47", .visible = false},
    {.name = "Command48", .text = u"48", .visible = false},
    {.name = "Command53", .text = u"53", .visible = false},
    {.name = "Command50", .text = u"50", .visible = false},
    {.name = "Command54", .text = u"54", .visible = false},
    {.name = "Command55", .text = u"55", .visible = false},
    {.name = "Command51", .text = u"51", .visible = false},
    {.name = "Command52", .text = u"52", .visible = false},
    {.name = "Command44", .text = u"44-1", .visible = false},
    {.name = "Command43", .text = u"43-2", .visible = false},
    {.name = "Command36", .text = u"36-3", .visible = false},
    {.name = "Command42", .text = u"42-17", .visible = false},
};
// clang-format on

}  // namespace

void frm世界地名::designBatchPanel() {
  applyDesign(*this, kBatchDesign);
  // The batch button sits beside the single-add button at the exit's height.
  Command3.Move(240, 5145, 1660, 312);
}

void frm世界地名::wireBatchHandlers() {
  Command3.Click = [this] { Command3_Click(); };
  Command37.Click = [this] { Command37_Click(); };
  Command45.Click = [this] { Command45_Click(); };
  Command46.Click = [this] { Command46_Click(); };
  Command47.Click = [this] { Command47_Click(); };
  Command48.Click = [this] { Command48_Click(); };
  Command53.Click = [this] { Command53_Click(); };
  Text49.Change = [this] { Text49_Change(); };
  Command50.Click = [this] { Command50_Click(); };
  Command55.Click = [this] { Command55_Click(); };
  Command54.Click = [this] { Command54_Click(); };
  Command51.Click = [this] { Command51_Click(); };
  Command52.Click = [this] { Command52_Click(); };
  Command44.Click = [this] { Command44_Click(); };
  Command43.Click = [this] { Command43_Click(); };
  Command36.Click = [this] { Command36_Click(); };
  Command42.Click = [this] { Command42_Click(); };
}

// --- the panel -------------------------------------------------------------------

// OpenOrImportPlaceFile: the first press opens the panel on a chosen file,
// the second runs the batch and closes the panel.
void frm世界地名::Command3_Click() {
  if (RichTextBox4.Visible) {
    if (Command3.Caption != kImportCaption) return;
    app().eventSaves();  // a failure from here on is a failed save
    Command37_Click();  // DispatchPlaceBatch as a subroutine
    if (Command27.Caption == u"关闭") Command27_Click();  // ClosePlacePanelOrExit
    return;
  }
  const Text file = CommonDialog.chooseOpen(u"打开", u"文本文件 (*.TXT)|*.TXT");
  if (file.empty()) return;
  try {
    placeBatchText_.open(RichTextBox4, file);
  } catch (const std::exception& e) {
    app().msgBox(u"批量文件无法打开：" + file + u"\r\n" + fromUtf8(e.what()), u" ZORVEK");
    return;
  }
  RichTextBox4.Width = 9400;
  RichTextBox4.Visible = true;
  RichTextBox4.ZOrder();
  RichTextBox4.SetFocus();
  Label3.Visible = Label4.Visible = false;
  for (CommandButton* b : {&Command33, &Command40, &Command35, &Command39, &Command28}) b->Enabled = false;
  Command3.Caption = Text(kImportCaption);
  Command27.Caption = u"关闭";
}

void frm世界地名::closeBatchPanel() {
  RichTextBox4.Visible = false;
  Label3.Visible = Label4.Visible = true;
  for (CommandButton* b : {&Command33, &Command40, &Command35, &Command39, &Command28}) b->Enabled = true;
  Command3.Visible = Command35.Visible = false;
  Command3.Caption = Text(kOpenCaption);
  Command27.Caption = u"退出";
}

// --- the shared steps --------------------------------------------------------------

Text frm世界地名::selectPanelLine() {
  RichTextBox4.Span(u"\r", true, true);
  Text20.setText(RichTextBox4.SelText());
  return Text20.text();
}

void frm世界地名::nextPanelLine() {
  RichTextBox4.setSelStart(RichTextBox4.SelStart() + RichTextBox4.SelLength() + 2);
}

Text frm世界地名::selectPanelColumn(bool last) {
  RichTextBox4.Span(last ? u"\r" : u"/", true, true);
  return RichTextBox4.SelText();
}

// The line goes into RichTextBox5 and its count into Text15, which then
// holds the number of "/" as the count's running total would leave it.
int64_t frm世界地名::countLineSlashes(TextView line) {
  RichTextBox5.setText(line);
  const int64_t n = std::count(line.begin(), line.end(), u'/');
  Text15.setText(NumText(n));
  PlaceScanPosition = 0;
  return n;
}

// TakeFirstCharCode: the box keeps its first character, and Text51 that
// character's code.
void frm世界地名::Text49_Change() {
  if (Len(Text49.text()) > 1) return Text49.setText(zuvo::Left(Text49.text(), 1));
  if (!Text49.text().empty()) Text51.setText(gbkCodeText(Text49.text().front()));
}

// A column is Latin when it begins with A to Z or a to z. An empty column
// begins with nothing and is never Latin, whatever column came before it.
bool frm世界地名::isLatinColumn(TextView column) {
  Text49.setText(column);
  if (column.empty()) return false;
  // Text49 held this first character already: its code is still in Text51.
  const double code = Val(Text51.text());
  return (code >= 65 && code <= 90) || (code >= 97 && code <= 122);
}

// StepPlaceProgress: one tick of 0.3, back to 0 once the value reaches 95.
void frm世界地名::Command53_Click() {
  ProgressBar1.Visible = true;
  const Text v = NumText(Val(Text15.text()) + 0.3);
  Text15.setText(v);
  if (Val(v) >= 95) {
    ProgressBar1.Value = 0;
    Text15.setText(u"0");
  }
  ProgressBar1.Value = static_cast<float>(Val(v));
  app().progress();
}

// SaveBackPlaceFile: the panel's text, marks and all, replaces the user's
// file as rich text. The platform writes a temporary file beside it and
// renames it over the file, so a failure leaves the file as it was.
bool frm世界地名::saveBackPlaceFile() {
  try {
    placeBatchText_.writeBack(RichTextBox4);
  } catch (const std::exception& e) {
    app().msgBox(u"批量文件无法写回：" + placeBatchText_.file() + u"\r\n" + fromUtf8(e.what()), u" ZORVEK");
    return false;
  }
  return true;
}

// The marked file is written back and the check's message asks the user to
// correct it there; a file that could not be written was reported instead.
void frm世界地名::refusePlaceFile(TextView message) {
  if (saveBackPlaceFile()) app().msgBox(Text(message), u" ZORVEK");
}

void frm世界地名::endPlaceCheck() {
  ProgressBar1.Visible = false;
  Text15.setText(u"0");
}

void frm世界地名::emptyBoxes(std::initializer_list<TextBox*> boxes) {
  for (TextBox* b : boxes) b->setText(u"");
}

// --- dispatch and the count checks ------------------------------------------------

// DispatchPlaceBatch: the first line's "/" count picks the format. A first
// line of no format, an empty one included, is told to the user.
void frm世界地名::Command37_Click() {
  RichTextBox4.setSelStart(0);
  const int64_t n = countLineSlashes(selectPanelLine());
  RichTextBox4.setSelStart(0);
  switch (n) {
    case 17: return Command45_Click();  // CheckEighteenFieldPlaceLines
    case 3: return Command46_Click();   // CheckFourFieldPlaceLines
    case 2: return Command47_Click();   // CheckThreeFieldPlaceLines
    case 1: return Command48_Click();   // CheckTwoFieldPlaceLines
    default:
      Text15.setText(u"0");
      app().msgBox(u"您的格式不对！请按要求检查错误！", u" ZORVEK");
  }
}

// Every line before the first empty one must hold `slashes` "/"; each line
// that does not is marked red. Returns true when all pass; otherwise the
// marked file has been written back and the message shown.
bool frm世界地名::checkSlashCounts(int64_t slashes, TextView message) {
  RichTextBox4.setSelStart(0);
  for (;;) {
    const Text line = selectPanelLine();
    if (line.empty()) break;
    if (countLineSlashes(line) != slashes) {
      RichTextBox4.setSelColor(kRed);
      Label8.BackColor = kRed;
    }
    nextPanelLine();
  }
  RichTextBox4.setSelStart(0);
  if (Label8.BackColor != kRed) return true;
  refusePlaceFile(message);
  Label8.BackColor = kButtonFace;
  return false;
}

void frm世界地名::Command45_Click() {
  if (checkSlashCounts(17, u"您的格式中有部分错误！请按要求在 WORD 中检查！"))
    Command42_Click();  // ImportEighteenFieldPlaces
}

void frm世界地名::Command46_Click() {
  if (checkSlashCounts(3, u"您的格式中有部分错误！请按要求在 WORD 中检查MMMMMMMOOOOOO！"))
    Command52_Click();  // CheckFourFieldPlaceOrder
}

void frm世界地名::Command47_Click() {
  if (checkSlashCounts(2, u"您的格式中有部分错误！请按要求在 WORD 中检查！"))
    Command50_Click();  // RouteThreeFieldPlaces
}

void frm世界地名::Command48_Click() {
  if (checkSlashCounts(1, u"您的格式中有部分错误！请按要求在 WORD 中检查！"))
    Command51_Click();  // CheckTwoFieldPlaceOrder
}

}  // namespace zuvo
