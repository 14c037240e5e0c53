// Strings of one to four characters: digits and numbers, a month, a month
// and its day, a year and its month, counts of years, percentages and
// numbering marks.

#include "numbers/FrmSZ.h"

namespace zuvo {

namespace {
bool isCloseParen(const Text& c) { return c == u")" || c == u"）"; }
bool isPercent(const Text& c) { return c == u"%" || c == u"％"; }
}  // namespace

// One character: the word of the digit, nothing for anything else.
void FrmSZ::Text2_Change() {
  if (!isLength(1)) return;
  if (auto w = unitWord(ch(1))) setResult(*w);
}

// Two characters: a month, a count of years, a numbering mark, a percentage
// or a two-digit number.
void FrmSZ::Text4_Change() {
  if (!isLength(2)) return;
  const Text& c1 = ch(1);
  const Text& c2 = ch(2);
  if (c2 == u"月") {
    if (auto w = monthWord(c1)) {
      setResult(*w);
      return;
    }
  }
  if (c2 == u"年") {
    if (auto w = unitWord(c1)) {
      if (c1 == u"1")
        setResult(u"un aňo");
      else if (StrComp(c1, u"1") > 0)
        setResult(*w + u" aňos");
      return;
    }
  }
  if (c2 == u"月" || c2 == u"年") return;
  if (isCloseParen(c2)) {
    setResult(c1 + c2);
    return;
  }
  if (isPercent(c2)) {
    if (auto w = unitWord(c1)) {
      setResult(*w + u" por ciento");
      return;
    }
  }
  if (c2 == u"-" || c2 == u"－" || c2 == u"." || c2 == u"、") {
    setResult(c1 + u" " + c2);
    return;
  }
  if (holdsDateChar(2)) return;  // a day without its month (5日) has no words
  if (auto w = pairWord(c1 + c2)) {
    appendResult(*w + u" ");
    return;
  }
  if (auto w = pairWord(c1 + u"0")) appendResult(*w + u" ");
  if (auto w = unitWordUnlessZero(c2)) appendResult(u"y " + *w);
}

// Three characters: a count of years, a month, a numbering mark, a
// percentage or a three-digit number.
void FrmSZ::Text5_Change() {
  if (!isLength(3)) return;
  const Text& c1 = ch(1);
  const Text& c2 = ch(2);
  const Text& c3 = ch(3);
  if (c3 == u"年") {
    if (auto w = pairWord(c1 + c2)) {
      setResult(*w + u" aňos");
      return;
    }
    if (auto w = pairWord(c1 + u"0")) setResult(*w + u" ");
    if (auto w = unitWordUnlessZero(c2)) appendResult(u" y " + *w + u" aňos");
    return;
  }
  if (c3 == u"月") {
    if (auto w = monthWord(c1 + c2)) {
      setResult(*w);
      return;
    }
  }
  if (c2 == u"月" || c2 == u"年") return;  // an unfinished date: 5月3, 5年3
  if (isCloseParen(c3)) {
    setResult(c1 + c2 + c3);
    return;
  }
  if (isPercent(c3)) {
    if (auto w = pairWord(c1 + c2)) {
      setResult(*w + u" por ciento");
      return;
    }
    if (auto w = pairWord(c1 + u"0")) setResult(*w + u" ");
    if (auto w = unitWordUnlessZero(c2)) {
      appendResult(u"y " + *w + u" por ciento");
      return;
    }
  }
  if (c3 == u"-" || c3 == u"－" || c3 == u"." || c3 == u"、") {
    setResult(c1 + c2 + u" " + c3);
    return;
  }
  // A day without its month (15日) or a month the table does not name (13月)
  // has no words.
  if (holdsDateChar(3)) return;
  spellThreeDigits();
}

// The three-digit number. A whole hundred ends in two blanks.
void FrmSZ::spellThreeDigits() {
  const Text& c1 = ch(1);
  const Text& c2 = ch(2);
  const Text& c3 = ch(3);
  const bool zeroTail = c2 == u"0" && c3 == u"0";
  if (auto w = hundredsWord(c1, zeroTail)) {
    setResult(*w + u" ");
    if (zeroTail) appendResult(u" ");
  }
  if (auto w = pairWord(c2 + c3)) {
    appendResult(*w + u" ");
    return;
  }
  if (auto w = pairWord(c2 + u"0")) appendResult(*w + u" ");
  if (c3 == u"0") return;
  if (auto w = unitWord(c3)) appendResult(u"y " + *w + u" ");
}

// Four characters: a month and its day, a year and its month, numbering
// marks, a three-digit percentage or count of years, or a number from 1000
// to 9999.
void FrmSZ::Text6_Change() {
  if (!isLength(4)) return;
  if (is(3, u"年")) return;
  if (writeDate({.month = 2, .day = 4})) return;   // M月D日
  if (writeDate({.year = 2, .month = 4})) return;  // Y年M月
  if (is(2, u"月") || is(2, u"年")) return;
  const Text& c4 = ch(4);
  if (isCloseParen(c4)) {
    setResult(chars(1, 4));
    return;
  }
  if (c4 == u"-" || c4 == u"－") {
    setResult(chars(1, 3) + u" " + c4);
    return;
  }
  if (isPercent(c4)) {
    spellPercentage(4);
    return;
  }
  if (c4 == u"." || c4 == u"、") {
    setResult(chars(1, 3) + u" " + c4);
    return;
  }
  if (c4 == u"年") {
    spellThreeWithSuffix(u" aňos");
    return;
  }
  // A day without its month (123日) or a date on its way (12月5) has no words.
  if (holdsDateChar(4)) return;
  spellFourDigits();
}

// The thousands, then the last three digits; a leading 0 has no word.
void FrmSZ::spellFourDigits() {
  if (is(1, u"1")) {
    setResult(u"un mil ");
  } else if (auto w = unitWordUnlessZero(ch(1))) {
    setResult(*w + u" mil ");
  }
  spellGroup(2, {.wholeHundred = u"", .scale = u" ", .unitScale = u" ", .zeroTail = GroupLiterals::ZeroTail::Ends});
}

// Three digits followed by " aňos" instead of the last blank; a whole
// hundred gets it after its blank.
void FrmSZ::spellThreeWithSuffix(TextView suffix) {
  const Text& c1 = ch(1);
  const Text& c2 = ch(2);
  const Text& c3 = ch(3);
  const bool zeroTail = c2 == u"0" && c3 == u"0";
  if (auto w = hundredsWord(c1, zeroTail)) setResult(*w + u" ");
  if (zeroTail) {
    appendResult(suffix);
    return;
  }
  if (auto w = pairWord(c2 + c3)) {
    appendResult(*w + Text(suffix));
    return;
  }
  if (auto w = pairWord(c2 + u"0")) appendResult(*w + u" ");
  if (c3 == u"0") return;
  if (auto w = unitWord(c3)) appendResult(u"y " + *w + Text(suffix));
}

}  // namespace zuvo
