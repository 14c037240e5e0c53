// The range result before it is shown: empty, foreign and repeated lines
// go, sentence and verb lines are coloured, and every occurrence of the
// input is marked red and bold.

#include "app/FrmLexaro.h"
#include "app/progress_steps.h"
#include "app/range_result.h"

namespace zuvo {

namespace {
constexpr Colour kDarkRed = 0xC0;
constexpr Colour kDarkBlue = 0xC00000;
constexpr Colour kRed = 0xFF;
constexpr Colour kOrange = 0x80FF;

RangeResultLines linesOf(TextView text) {
  RangeResultLines lines;
  lines.appendCell(text);
  return lines;
}
}  // namespace

void FrmLexaro::cleanUpRangeResult(RangeResultLines& lines, TextView input) {
  {
    // A tick for every line before each of the first three passes.
    ProgressSteps progress(*this);
    const auto tickPerLine = [&] { progress.advance(static_cast<int64_t>(lines.size())); };
    tickPerLine();
    lines.removeEmptyLines();
    tickPerLine();
    lines.keepLinesHolding(input);
    tickPerLine();
  }
  lines.removeRepeatedLines();
  lines.removeRepeatedNeighbours();
  Text67.setText(u"");
  Text19.setText(u"");
  RichTextBox3.setText(lines.joined());
  colourResultLines();
  RichTextBox2.setText(u"");
  Text19.setText(u"");
}

// FilterResultLines, on the pane as it stands.
void FrmLexaro::Command43_Click() {
  RangeResultLines lines = linesOf(RichTextBox3.text());
  lines.removeEmptyLines();
  lines.keepLinesHolding(RichTextBox16.text());
  RichTextBox3.setText(lines.joined());
}

// ColourResultLines: a sentence line shows its part before the first "/"
// dark blue when that part ends in a double-byte character or ")", dark red
// otherwise; a verb line shows its infinitive and the blank before " ★"
// dark red and bold. A tick for every line walked and one more for each
// line coloured; the work boxes' handlers that run meanwhile read neither
// the counter nor the bar, so the counter is written when the walk ends.
void FrmLexaro::colourResultLines() {
  ProgressSteps progress(*this);
  RichTextBox& pane = RichTextBox3;
  const Text& t = pane.text();
  const int64_t n = Len(t);
  auto lineEnd = [&](int64_t from) {
    const size_t e = t.find(CR, static_cast<size_t>(from));
    return e == Text::npos ? n : static_cast<int64_t>(e);
  };
  auto select = [&](int64_t from, int64_t to) {
    pane.setSelStart(from);
    pane.setSelLength(to - from);
  };
  int64_t c = 0;
  while (c < n) {
    const int64_t end = lineEnd(c);
    if (end == c) break;  // the walk ends at the first empty line
    progress.advance(1);
    const TextView line = TextView(t).substr(c, end - c);
    Text30.setText(u"0");
    if (const size_t slash = line.find(u'/'); slash != TextView::npos) {
      Text30.setText(u"1");
      progress.advance(1);
      Text100.setText(line.substr(0, slash));
      const Text& code = Text10.text();
      const bool doubleByteOrParen = (!code.empty() && Val(code) < 0) || code == u"41";
      select(c, c + static_cast<int64_t>(slash));
      pane.setSelColor(doubleByteOrParen ? kDarkBlue : kDarkRed);
      Text30.setText(u"0");
      c = end + 2;
    } else if (line.find(u'★') != TextView::npos) {
      Text30.setText(u"1");
      progress.advance(1);
      // Up to the first blank, which may stand on a later line.
      const size_t blank = t.find(u' ', static_cast<size_t>(c));
      c = blank == Text::npos ? n : static_cast<int64_t>(blank) + 1;
      if (c < n && t[c] == u'★') {
        const size_t lf = t.rfind(LF, static_cast<size_t>(c));
        const int64_t lineStart = lf == Text::npos ? 0 : static_cast<int64_t>(lf) + 1;
        const int64_t star = static_cast<int64_t>(t.find(u'★', static_cast<size_t>(lineStart)));
        select(lineStart, star);
        pane.setSelColor(kDarkRed);
        pane.setSelBold(true);
        c = lineEnd(star) + 2;
      }
      // Otherwise the rest after the blank is walked as a line of its own.
    } else {
      c = end + 2;
    }
  }
  pane.setSelStart(std::min(c, n));
}

// HighlightInputInResults: every occurrence, overlapping ones included.
void FrmLexaro::Command70_Click() {
  RichTextBox& pane = RichTextBox3;
  const Text input = RichTextBox16.text();
  if (input.empty()) return;
  for (int64_t p = InStr(1, pane.text(), input); p > 0; p = InStr(p + 1, pane.text(), input)) {
    pane.setSelStart(p - 1);
    pane.setSelLength(Len(input));
    pane.setSelColorBold(kRed, true);
    pane.setSelStart(p - 1 + Len(input));
    // What is typed at the caret would be plain again.
    pane.setSelColorBold(kWindowText, false);
  }
}

// FormatResultPane; nothing presses Command63.
void FrmLexaro::Command63_Click() {
  RichTextBox& pane = RichTextBox3;
  if (pane.Visible) {
    const Text& t = pane.text();
    pane.setSelStart(0);
    pane.setSelLength(Len(t));
    pane.setSelColor(kWindowText);
    pane.setSelBold(false);
    int64_t start = 0;
    while (start < Len(t)) {
      int64_t end = static_cast<int64_t>(t.find(CR, static_cast<size_t>(start)));
      if (end < 0) end = Len(t);
      const size_t blank = TextView(t).substr(start, end - start).find(u' ');
      const int64_t wordEnd = blank == TextView::npos ? end : start + static_cast<int64_t>(blank);
      pane.setSelStart(start);
      pane.setSelLength(wordEnd - start);
      pane.setSelColor(kRed);
      pane.setSelFontSize(13);
      pane.setSelBold(true);
      pane.setSelStart(wordEnd);
      pane.setSelLength(end - wordEnd);
      pane.setSelFontSize(10);
      start = end + 2;
    }
    const Text input = RichTextBox16.text();
    if (!input.empty()) {
      for (int64_t p = InStr(1, t, input); p > 0; p = InStr(p + 1, t, input)) {
        pane.setSelStart(p - 1);
        pane.setSelLength(Len(input));
        pane.setSelColor(kOrange);
        pane.setSelBold(true);
      }
    }
  }
  restoreEnye(pane);
}

}  // namespace zuvo
