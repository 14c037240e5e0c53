// The example split over VerbStore: every verb whose examples were never
// split gets them split, copied into its search record and marked "Pas".

#include "import/example_split.h"

#include "app/FrmLexaro.h"

namespace zuvo {

namespace {
bool doubleByte(char16_t c) { return gbkCode(c) < 0; }
bool in(TextView set, char16_t c) { return set.find(c) != TextView::npos; }

// Accented letters and brackets that may follow Spanish without starting
// Chinese, and what may follow Chinese without starting Spanish.
constexpr TextView kNotChineseAfterSpanish = u"áéíóúň（）";
constexpr TextView kNotEndOfChinese = u"áéíóúň？！（）";
constexpr TextView kNotStartOfSpanish = u"-!\r,.;:\"";
}  // namespace

// The caret walks the text one pair of characters at a time. After a "/" the
// pair of the second character and its successor is skipped; after a line
// break the next pair starts at the second character, now the line's first;
// a CR LF pair skips the first two characters of the next line. The walk
// ends at the empty pair past the end, which is not tested.
SplitExamples splitExamples(TextView examples) {
  SplitExamples out{Text(examples), 0, {}};
  Text& t = out.text;
  size_t p = 0;
  for (;;) {
    ++out.steps;
    if (p >= t.size()) break;
    const char16_t first = t[p];
    const char16_t second = p + 1 < t.size() ? t[p + 1] : first;
    out.lastPair = t.substr(p, 2);
    if (!doubleByte(first) && doubleByte(second) && !in(kNotChineseAfterSpanish, second)) {
      t.insert(p + 1, u"/");
      p += 3;
    } else if (doubleByte(first) && !doubleByte(second) && !in(kNotEndOfChinese, first) &&
               !in(kNotStartOfSpanish, second)) {
      t.insert(p + 1, CRLF);
      p += 3;
    } else {
      p += 1;
    }
    if (first == CR && second == LF) p += 2;
  }
  return out;
}

// TakeLeadCharCode: Text80 keeps its first character, Text83 its code.
void FrmLexaro::Text80_Change() {
  Text80.setText(zuvo::Left(Text80.text(), 1));
  if (!Text80.text().empty()) Text83.setText(gbkCodeText(Text80.text()[0]));
}

// SplitVerbExamples: the current verb's examples split in its example box,
// copied into its search record, and the record marked.
void FrmLexaro::Command42_Click() {
  const SplitExamples split = splitExamples(Text90.text());
  for (int64_t i = 0; i < split.steps; ++i) Command4_Click();  // StepProgress
  // The codes of the last pair stay in the work boxes, as the walk leaves them.
  Text80.setText(split.lastPair);
  Text100.setText(split.lastPair);
  Text80.setText(u"");
  Text100.setText(u"");
  Text90.setText(split.text);
  Text9.setText(Text90.text());
  Text52.setText(u"Pas");
}

// SplitAllVerbExamples, from the current verb to the last.
void FrmLexaro::Command68_Click() {
  while (Data3.hasCurrent() && !Data3.atEOF()) {
    Command4_Click();  // StepProgress
    if (Text52.text() != u"Pas") Command42_Click();  // SplitVerbExamples
    Data3.MoveNext();
  }
  ProgressBar1.Visible = false;
  Text54.setText(u"0");
}

}  // namespace zuvo
