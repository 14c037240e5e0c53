// The range query: everything that contains the input, in four sections
// (sentence pairs, verbs by meaning, lines of verb examples, word lines),
// each closed by a separator line, cleaned, coloured and shown over the work
// area; or a message that nothing was found.

#include "app/FrmLexaro.h"
#include "app/progress_steps.h"
#include "app/range_result.h"

namespace zuvo {

// StepProgress: +0.3 held as text, back to 0 at "90".
void FrmLexaro::Command4_Click() {
  ProgressBar1.Visible = true;
  Text54.setText(NumText(Val(Text54.text()) + 0.3));
  if (Text54.text() == u"90") {
    ProgressBar1.Value = 0;
    Text54.setText(u"0");
  }
  ProgressBar1.Value = static_cast<float>(Val(Text54.text()));
  app().progress();
}

// StartRangeQuery
void FrmLexaro::Command17_Click() {
  if (RangeQueryGuard == u"1") return;
  RangeQueryGuard = NumText(Val(RangeQueryGuard) + 1);
  if (!Text2.text().empty()) Data1.MoveFirst();
  if (Text2.text().empty()) {
    RichTextBox13.setText(kHowToAddText);
    Text1.setText(RichTextBox13.text());
    return;
  }
  if (Command58.Visible) Command11.setValue(true);  // ToggleBatchMode
  if (Command55.Visible) Command1.setValue(true);   // ToggleAddMode
  if (RichTextBox16.text().empty()) {
    RichTextBox16.SetFocus();
    return;
  }
  if (isShortLatinInput()) return;
  Command31_Click();  // RunRangeQuery
  Command70_Click();  // HighlightInputInResults
  RichTextBox16.SetFocus();
}

// One or two characters ending in an ASCII letter are not sought.
bool FrmLexaro::isShortLatinInput() const {
  if (Text56.text() != u"1" && Text56.text() != u"2") return false;
  const double c = Val(Text10.text());
  return (c >= 65 && c <= 90) || (c >= 97 && c <= 122);
}

namespace {

// Each row of the grid's column that contains the input, in order, with
// one StepProgress tick for every row looked at.
template <class OnHit>
void scanColumn(FlexGrid& grid, int64_t col, TextView input, ProgressSteps& progress, OnHit onHit) {
  const int64_t n = grid.Rows();
  for (int64_t r = 0; r < n;) {
    const int64_t hit = grid.findInColumn(col, input, r);
    if (hit < 0 || hit >= n) {
      progress.advance(n - r);
      return;
    }
    progress.advance(hit + 1 - r);
    onHit(hit);
    r = hit + 1;
  }
}

}  // namespace

// RunRangeQuery
void FrmLexaro::Command31_Click() {
  const Text input = RichTextBox16.text();
  Text25.setText(u"0");
  RichTextBox3.setText(u"");
  Label17.BackColor = kButtonFace;
  RangeResultLines lines;
  ProgressSteps progress(*this);

  // 1. sentence pairs
  scanColumn(MSFlexGrid1, 1, input, progress, [&](int64_t r) {
    MSFlexGrid1.Row = r;
    MSFlexGrid1.Col = 1;
    lines.appendCell(MSFlexGrid1.cellView(r, 1));
    Label17.BackColor = kRangeHit;
  });
  lines.appendLine(kSentenceSeparator);

  // 2. verbs by meaning: each matching row lists its own verb.
  scanColumn(MSFlexGrid3, 1, input, progress, [&](int64_t r) {
    progress.flush();
    MSFlexGrid3.Row = r;
    MSFlexGrid3.Col = 1;
    Data3.setIndex("ID");
    Data3.Seek("=", NumText(r + 1));
    if (Data3.NoMatch()) return;
    lines.appendVerbLine(Text92.text() + u" ★" + Text91.text());
    Label17.BackColor = kRangeHit;
  });
  lines.appendLine(kVerbSeparator);

  // 3. lines of verb examples that contain the input, each once, in order
  scanColumn(MSFlexGrid3, 2, input, progress, [&](int64_t r) {
    progress.flush();
    MSFlexGrid3.Row = r;
    MSFlexGrid3.Col = 2;
    Text25.setText(NumText(r + 1));
    Data3.setIndex("ID");
    Data3.Seek("=", Text25.text());
    if (Data3.NoMatch()) return;
    RichTextBox2.setText(Text90.text());
    // A verb whose stored examples no longer hold the input is no hit.
    if (lines.appendLinesContaining(RichTextBox2.text(), input) > 0) Label17.BackColor = kRangeHit;
  });
  progress.flush();
  Text25.setText(u"0");
  RichTextBox2.setText(u"");
  lines.appendLine(kExampleSeparator);

  // 4. word lines
  scanColumn(MSFlexGrid2, 1, input, progress, [&](int64_t r) {
    MSFlexGrid2.Row = r;
    MSFlexGrid2.Col = 1;
    lines.appendCell(MSFlexGrid2.cellView(r, 1));
    Label17.BackColor = kRangeHit;
  });
  progress.flush();

  if (Label17.BackColor == kRangeHit) {
    cleanUpRangeResult(lines, input);
    RichTextBox3.Move(210.02f, 1310, 9490, 3650);
    RichTextBox3.ZOrder();
    RichTextBox3.Visible = true;
    Command1.Enabled = false;
    endProgress();
    RichTextBox3.setSelStart(0);
    return;
  }
  endProgress();
  message(u"词句库中无此信息！请重新输入内容查找！");
  RichTextBox16.setText(u"");
}

void FrmLexaro::endProgress() {
  ProgressBar1.Visible = false;
  ProgressBar1.Value = 0;
  Text54.setText(u"0");
}

// Nothing presses, enables or calls Command46.
void FrmLexaro::Command46_Click() {
  if (RichTextBox16.text().empty()) {
    RichTextBox16.SetFocus();
    return;
  }
  if (!isShortLatinInput()) Command31_Click();
}

}  // namespace zuvo
