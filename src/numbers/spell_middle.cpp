// Strings of five and six characters: dates without a year or without a
// day, a full date with a one-digit year, four-digit counts of years,
// numbers closed by a parenthesis, percentages and cardinals of five and six
// digits.

#include "numbers/FrmSZ.h"

namespace zuvo {

void FrmSZ::Text7_Change() {
  if (!isLength(5)) return;
  if (writeDate({.month = 2, .day = 5})) return;   // M月DD日
  if (writeDate({.month = 3, .day = 5})) return;   // MM月D日
  if (writeDate({.year = 3, .month = 5})) return;  // YY年M月
  if (writeDate({.year = 2, .month = 5})) return;  // Y年MM月
  if (is(3, u"年") || is(2, u"月") || is(3, u"月")) return;
  const Text& c5 = ch(5);
  if (c5 == u")" || c5 == u"）") {
    setResult(chars(1, 5));
    return;
  }
  if (c5 == u"年") {
    spellFiveDigitYears();
    return;
  }
  if (isPercentAt(5)) {
    spellPercentage(5);
    return;
  }
  // A day or a month without its partner (1234日, 1年13月) has no words.
  if (holdsDateChar(5)) return;
  spellFiveDigits();
}

void FrmSZ::spellFiveDigits() {
  // The thousands as a pair, or a tens word and a unit.
  if (auto w = pairWord(chars(1, 2))) {
    setResult(*w + u" mil ");
  } else {
    if (auto tens = pairWord(ch(1) + u"0")) setResult(*tens + u" ");
    if (auto unit = unitWordUnlessZero(ch(2))) appendResult(u" y " + *unit + u" mil ");
  }
  // The last three digits; the hundreds word has a blank before it as well.
  const bool zeroTail = is(4, u"0") && is(5, u"0");
  if (auto w = hundredsWord(ch(3), zeroTail)) appendResult(u" " + *w + u" ");
  if (zeroTail) return;
  if (auto w = pairWord(chars(4, 5))) {
    appendResult(*w + u" ");
    return;
  }
  if (auto w = pairWord(ch(4) + u"0")) appendResult(*w + u" ");
  if (is(5, u"0")) return;
  if (auto w = unitWord(ch(5))) appendResult(u"y " + *w + u" ");
}

// A count of years of four digits (1998年, 2000年). The thousands 1 and 2 are
// the literals "mil" and "dos mil"; other thousands take their digit word.
void FrmSZ::spellFiveDigitYears() {
  if (is(1, u"1"))
    setResult(u"mil ");
  else if (is(1, u"2"))
    setResult(u"dos mil ");
  else if (auto w = unitWordUnlessZero(ch(1)))
    setResult(*w + u" mil ");
  if (is(2, u"0") && is(3, u"0") && is(4, u"0")) {
    appendResult(u" aňos");
    return;
  }
  const bool zeroTail = is(3, u"0") && is(4, u"0");
  if (auto w = hundredsWord(ch(2), zeroTail)) appendResult(*w + u" ");
  if (zeroTail) {  // a whole hundred (1900年) has no unit word 0
    appendResult(u" aňos");
    return;
  }
  if (auto w = pairWord(chars(3, 4))) {
    appendResult(*w + u" aňos");
    return;
  }
  if (auto w = pairWord(ch(3) + u"0")) appendResult(*w + u" y ");
  if (auto w = unitWordUnlessZero(ch(4))) appendResult(*w + u" aňos");
}

void FrmSZ::Text8_Change() {
  if (!isLength(6)) return;
  if (writeDate({.year = 2, .month = 4, .day = 6})) return;  // Y年M月D日
  if (writeDate({.month = 3, .day = 6})) return;             // MM月DD日
  if (writeDate({.year = 4, .month = 6})) return;            // YYY年M月
  if (writeDate({.year = 3, .month = 6})) return;            // YY年MM月
  if (is(3, u"年") || is(4, u"年") || is(5, u"年")) return;
  // A five-digit percentage is written as typed.
  if (isPercentAt(6)) {
    setResult(chars(1, 6));
    return;
  }
  // A date on its way (1年2月3) or a count of five-digit years has no words.
  if (holdsDateChar(6)) return;
  spellSixDigits();
}

void FrmSZ::spellSixDigits() {
  spellGroup(1, {.wholeHundred = u"mil ", .scale = u" mil ", .unitScale = u" mil "});
  spellGroup(4, {.wholeHundred = u"", .scale = u" ", .unitScale = u" "});
}

}  // namespace zuvo
