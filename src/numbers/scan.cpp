// The scan of a request: which characters are kept for the conversion, and
// where the scan stops.

#include "numbers/FrmSZ.h"

namespace zuvo {

namespace {

enum class CharClass { Digit, Numeral, YearOrMonth, Day, Mark, Foreign };

constexpr TextView kNumerals = u"一二三四五六七八九十零亿万千百";

// Classes in the order the scan tests them; the empty text is foreign.
CharClass classOf(const Text& c, TextView marks) {
  if (c.size() != 1) return CharClass::Foreign;
  const char16_t x = c[0];
  if (x >= u'0' && x <= u'9') return CharClass::Digit;
  if (kNumerals.find(x) != TextView::npos) return CharClass::Numeral;
  if (x == u'年' || x == u'月') return CharClass::YearOrMonth;
  if (x == u'日') return CharClass::Day;
  if (marks.find(x) != TextView::npos) return CharClass::Mark;
  return CharClass::Foreign;
}

}  // namespace

// ScanNumberInput: keeps the request's characters of numbers, dates and marks
// in ScannedText. A foreign character is dropped; one that follows a Chinese
// numeral ends the scan, and so does 日.
void FrmSZ::Command1_Click() {
  resetNumeralState();
  Text22.setText(u"");
  Text14.setText(u"");
  Text30.setText(u"");
  Text31.setText(u"");
  Text32.setText(u"");

  // The request is read once, character by character; what is left of it
  // and the kept characters are written when the scan stops.
  const Text request = Text35.text();
  Text kept;
  size_t i = 0;
  while (i < request.size()) {
    const Text c(1, request[i++]);
    bool ended = false;
    switch (classOf(c, kMarks)) {
      case CharClass::Digit:
      case CharClass::Mark:
        kept += c;
        break;
      case CharClass::Numeral:
        Label3.setCaption(u"1");
        kept += c;
        break;
      case CharClass::YearOrMonth:
        Label2.BackColor = kFlagOn;
        kept += c;
        break;
      case CharClass::Day:
        Label2.BackColor = kFlagOn;
        kept += c;
        ended = true;
        break;
      case CharClass::Foreign:
        Label3.setCaption(u"");
        break;
    }
    if (ended || Label4.BackColor == kButtonFace) break;
  }
  Text35.setText(TextView(request).substr(i));
  Text22.setText(kept);

  Label4.BackColor = kScanIdle;
  Text10.setText(LastChar(Text22.text()));
  Command2_GotFocus();  // ConvertNumeralsToDigits, called as a subroutine
}

// Every request starts from the same numeral state, whatever the previous
// one left: a Chinese numeral of an earlier request must not make a letter of
// this one end the scan, and a unit marker it left pending must not pad this
// one's digits.
void FrmSZ::resetNumeralState() {
  Label3.setCaption(u"");  // runs Label3_Change, which stops the scan ...
  Label4.BackColor = kScanIdle;  // ... so the scan flag is set going again
  Label2.BackColor = kButtonFace;
  Text42.setText(u"");
  Text48.setText(u"");
  Text49.setText(u"");
  Text25.setText(u"");
}

// NumeralFlag: after a Chinese numeral the next foreign character ends the
// scan; after a foreign character the scan goes on.
void FrmSZ::Label3_Change() {
  if (Label3.Caption() == u"1")
    Label4.BackColor = kFlagOn;
  else if (Label3.Caption().empty())
    Label4.BackColor = kButtonFace;
}

// CharsLeft follows ScannedText.
void FrmSZ::Text22_Change() { Text43.setText(NumText(Len(Text22.text()))); }

}  // namespace zuvo
