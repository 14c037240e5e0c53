// The format checks of the batch files and their dispatch. A file is given
// its record kind (by its button and, for verbs and words, by the number of
// "/" in its first line) and every line before the first empty one is held
// to the kind's count. A file with bad lines has them coloured red, is
// written back over itself as rich text and is reported; nothing of it is
// imported.

#include <algorithm>
#include <vector>

#include "app/FrmLexaro.h"

namespace zuvo {

namespace {
constexpr TextView kFormatWrong = u"您的格式不对！请按要求检查错误！";
constexpr TextView kFormatWrongInWord = u"您的格式错误！退出程序后请在WORD中修改(红色)词句！";
constexpr Colour kBadLine = 255;

int64_t slashesIn(TextView line) { return std::count(line.begin(), line.end(), u'/'); }
}  // namespace

void FrmLexaro::selectBatchLine() { RichTextBox1.Span(u"\r", true, true); }

// Counts the "/" of the current line in ParseBuffer, as SlashCounter shows.
static int64_t countSlashes(FrmLexaro& f, TextView line) {
  f.RichTextBox2.setText(line);
  const int64_t n = slashesIn(line);
  f.Text30.setText(NumText(n));
  return n;
}

bool FrmLexaro::checkBatchLines(int64_t slashes, bool verbLines) {
  // The marked lines with their colours before, for a write-back that fails.
  struct Marked {
    int64_t start, length;
    std::vector<Colour> colours;
  };
  std::vector<Marked> marked;
  RichTextBox1.setSelStart(0);
  for (;;) {
    selectBatchLine();
    Text19.setText(RichTextBox1.selView());
    if (Text19.text().empty()) break;
    const TextView line = Text19.text();
    bool bad = countSlashes(*this, line) != slashes;
    // An infinitive needs two characters for its root and forms.
    if (verbLines && !bad) bad = Len(line.substr(0, line.find(u'/'))) < 2;
    if (bad) {
      Marked m{RichTextBox1.SelStart(), RichTextBox1.SelLength(), {}};
      for (int64_t i = 0; i < m.length; ++i) m.colours.push_back(RichTextBox1.formatAt(m.start + i).colour);
      marked.push_back(std::move(m));
      RichTextBox1.setSelColor(kBadLine);
      Label8.BackColor = kBadLine;
    }
    RichTextBox1.setSelStart(RichTextBox1.SelStart() + RichTextBox1.SelLength() + 2);
  }
  if (verbLines) RichTextBox1.setSelStart(0);
  if (Label8.BackColor != kBadLine) return true;
  if (!writeBackBatchFile()) {
    // The file stays as it was, and so does the pane.
    for (const Marked& m : marked)
      for (int64_t i = 0; i < m.length; ++i) {
        RichTextBox1.setSelStart(m.start + i);
        RichTextBox1.setSelLength(1);
        RichTextBox1.setSelColor(m.colours[i]);
      }
    RichTextBox1.setSelStart(0);
  }
  return false;
}

// The first line's count, read from the start of the pane.
static int64_t firstLineSlashes(FrmLexaro& f) {
  f.RichTextBox1.setSelStart(0);
  f.RichTextBox1.Span(u"\r", true, true);
  f.Text19.setText(f.RichTextBox1.SelText());
  const int64_t n = countSlashes(f, f.Text19.text());
  f.RichTextBox1.setSelStart(0);
  return n;
}

// DispatchVerbBatch
void FrmLexaro::Command47_Click() {
  const int64_t n = firstLineSlashes(*this);
  if (n == 5) return Command61_Click();  // CheckSixFieldVerbLines
  if (n == 7) return Command39_Click();  // CheckEightFieldVerbLines
  // A file of no verb kind is told like a word file of no kind.
  message(kFormatWrong);
}

// DispatchWordBatch
void FrmLexaro::Command71_Click() {
  const int64_t n = firstLineSlashes(*this);
  if (n == 1) return Command37_Click();  // CheckWordBatchFormat
  if (n == 2) return Command82_Click();  // CheckWordExampleBatchFormat
  message(kFormatWrong);
}

// CheckSentenceBatchFormat
void FrmLexaro::Command79_Click() {
  if (checkBatchLines(1, false)) return Command22_Click();  // ImportSentenceBatch
  if (batchPressStopped_) return;
  message(kFormatWrong);
  Label8.BackColor = kButtonFace;
}

// CheckWordBatchFormat
void FrmLexaro::Command37_Click() {
  if (checkBatchLines(1, false)) return Command91_Click();  // ImportWordBatch
  if (batchPressStopped_) return;
  message(kFormatWrongInWord);
  Label8.BackColor = kButtonFace;
}

// CheckWordExampleBatchFormat
void FrmLexaro::Command82_Click() {
  if (checkBatchLines(2, false)) return Command75_Click();  // ImportWordBatchWithExamples
  if (batchPressStopped_) return;
  RichTextBox1.setText(u"");
  RichTextBox2.setText(u"");
  Label8.BackColor = kButtonFace;
  message(kFormatWrongInWord);
}

// CheckSixFieldVerbLines
void FrmLexaro::Command61_Click() {
  if (checkBatchLines(5, true)) return Command60_Click();  // ImportSixFieldVerbs
  if (batchPressStopped_) return;
  RichTextBox1.setText(u"");
  RichTextBox2.setText(u"");
  Label8.BackColor = kButtonFace;
  message(kFormatWrong);
  Command11_Click();  // ToggleBatchMode
}

// CheckEightFieldVerbLines
void FrmLexaro::Command39_Click() {
  if (checkBatchLines(7, true)) return Command64_Click();  // ImportEightFieldVerbs
  if (batchPressStopped_) return;
  message(kFormatWrong);
  Label8.BackColor = kButtonFace;
  Command11_Click();  // ToggleBatchMode
}

}  // namespace zuvo
