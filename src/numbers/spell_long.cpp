// Strings of seven to twelve characters: full dates (and, at seven and
// eight, a year and its month) tried first in a fixed order, then
// percentages, then cardinals in groups of three digits joined by "millones"
// and "mil". A number of ten to twelve digits counts thousands of millions:
// "mil millones".

#include "numbers/FrmSZ.h"

namespace zuvo {

// Scale literals. Where one that begins with a blank follows a hundreds word
// and its blank, two blanks stand between them.
namespace {
constexpr TextView kMil = u" mil ";
constexpr TextView kMillones = u" millones ";
}  // namespace

void FrmSZ::Text15_Change() {
  if (!isLength(7)) return;
  static constexpr DateShape kShapes[] = {
      {.year = 2, .month = 4, .day = 7},  // Y年M月DD日
      {.year = 2, .month = 5, .day = 7},  // Y年MM月D日
      {.year = 3, .month = 5, .day = 7},  // YY年M月D日
      {.year = 5, .month = 7},            // YYYY年M月
      {.year = 4, .month = 7},            // YYY年MM月
  };
  if (writeFirstDate(kShapes)) return;
  if (is(4, u"年") || is(5, u"年")) return;
  if (isPercentAt(7)) {
    spellPercentage(7);
    return;
  }
  spellSevenDigits();
}

void FrmSZ::spellSevenDigits() {
  spellLeadingDigit(u"un millon ", u" millones ");
  spellGroup(2, {.wholeHundred = kMil, .scale = kMil, .unitScale = kMil});
  spellGroup(5, {.wholeHundred = u"", .scale = u" ", .unitScale = u" ", .zeroTail = GroupLiterals::ZeroTail::Ends});
}

void FrmSZ::Text16_Change() {
  if (!isLength(8)) return;
  static constexpr DateShape kShapes[] = {
      {.year = 4, .month = 6, .day = 8},  // YYY年M月D日
      {.year = 3, .month = 5, .day = 8},  // YY年M月DD日
      {.year = 3, .month = 6, .day = 8},  // YY年MM月D日
      {.year = 2, .month = 5, .day = 8},  // Y年MM月DD日
      {.year = 5, .month = 8},            // YYYY年MM月
  };
  if (writeFirstDate(kShapes)) return;
  if (is(5, u"年")) return;
  if (isPercentAt(8)) {
    spellPercentage(8);
    return;
  }
  spellEightDigits();
}

void FrmSZ::spellEightDigits() {
  spellLeadingPair(kMillones);
  spellGroup(3, {.wholeHundred = u"mil ", .scale = kMil, .unitScale = kMil});
  spellGroup(6, {.wholeHundred = u"", .scale = u" ", .unitScale = u" ", .zeroTail = GroupLiterals::ZeroTail::Ends});
}

void FrmSZ::Text17_Change() {
  if (!isLength(9)) return;
  static constexpr DateShape kShapes[] = {
      {.year = 3, .month = 6, .day = 9},  // YY年MM月DD日
      {.year = 4, .month = 7, .day = 9},  // YYY年MM月D日
      {.year = 4, .month = 6, .day = 9},  // YYY年M月DD日
      {.year = 5, .month = 7, .day = 9},  // YYYY年M月D日
  };
  if (writeFirstDate(kShapes)) return;
  if (is(5, u"年")) return;
  if (isPercentAt(9)) {
    spellPercentage(9);
    return;
  }
  spellNineDigits();
}

void FrmSZ::spellNineDigits() {
  spellGroup(1, {.wholeHundred = u"millones ", .scale = kMillones, .unitScale = kMillones});
  spellGroup(4, {.wholeHundred = u"mil ", .scale = kMil, .unitScale = kMil});
  spellGroup(7, {.wholeHundred = u"",
                 .scale = u" ",
                 .unitScale = u" ",
                 .zeroTail = GroupLiterals::ZeroTail::EndsAfterHundreds});
}

void FrmSZ::Text18_Change() {
  if (!isLength(10)) return;
  static constexpr DateShape kShapes[] = {
      {.year = 4, .month = 7, .day = 10},  // YYY年MM月DD日
      {.year = 5, .month = 7, .day = 10},  // YYYY年M月DD日
      {.year = 5, .month = 8, .day = 10},  // YYYY年MM月D日
  };
  if (writeFirstDate(kShapes)) return;
  if (is(5, u"年")) return;
  if (isPercentAt(10)) {
    spellPercentage(10);
    return;
  }
  spellTenDigits();
}

void FrmSZ::spellTenDigits() {
  const bool thousands = spellLeadingDigit(u"un mil ", kMil);
  spellMillionsAfterThousands(2, thousands);
  spellGroup(5, {.wholeHundred = kMil, .scale = kMil, .unitScale = kMil});
  spellGroup(8, {.wholeHundred = u"", .scale = u" ", .unitScale = u" ", .zeroTail = GroupLiterals::ZeroTail::Ends});
}

void FrmSZ::Text23_Change() {
  if (!isLength(11)) return;
  if (writeDate({.year = 5, .month = 8, .day = 11})) return;  // YYYY年MM月DD日
  if (is(5, u"年")) return;
  if (isPercentAt(11)) {
    spellPercentage(11);
    return;
  }
  spellElevenDigits();
}

void FrmSZ::spellElevenDigits() {
  const bool thousands = spellLeadingPair(kMil);
  spellMillionsAfterThousands(3, thousands);
  spellGroup(6, {.wholeHundred = u"mil ", .scale = kMil, .unitScale = kMil});
  spellGroup(9, {.wholeHundred = u"", .scale = u" ", .unitScale = u" ", .zeroTail = GroupLiterals::ZeroTail::Ends});
}

void FrmSZ::Text24_Change() {
  if (!isLength(12)) return;
  if (isPercentAt(12)) {
    spellPercentage(12);
    return;
  }
  const bool thousands = spellGroup(1, {.wholeHundred = u"mil ", .scale = kMil, .unitScale = kMil});
  spellMillionsAfterThousands(4, thousands);
  spellGroup(7, {.wholeHundred = u"mil ", .scale = kMil, .unitScale = kMil});
  // The last unit word has no blank after it.
  spellGroup(10, {.wholeHundred = u"", .scale = u" ", .unitScale = u"", .zeroTail = GroupLiterals::ZeroTail::Ends});
}

// A single leading digit followed by its scale word; 1 is the literal `one`.
bool FrmSZ::spellLeadingDigit(TextView one, TextView scale) {
  if (is(1, u"1")) {
    setResult(one);
    return true;
  }
  if (auto w = unitWordUnlessZero(ch(1))) {
    setResult(*w + Text(scale));
    return true;
  }
  return false;
}

// A leading pair: its own word, or a tens word and "y" and a unit, followed
// by the scale word. Returns whether the scale word was written.
bool FrmSZ::spellLeadingPair(TextView scale) {
  if (auto w = pairWord(chars(1, 2))) {
    setResult(*w + Text(scale));
    return true;
  }
  if (auto tens = pairWord(ch(1) + u"0")) setResult(*tens + u" ");
  if (auto unit = unitWordUnlessZero(ch(2))) {
    appendResult(u"y " + *unit + Text(scale));
    return true;
  }
  return false;
}

// The millions group after the thousands of millions: when it has no words
// of its own the thousands still need "millones" (tres mil millones).
void FrmSZ::spellMillionsAfterThousands(int h, bool thousandsWritten) {
  const bool wrote = spellGroup(h, {.wholeHundred = u"millones ", .scale = kMillones, .unitScale = kMillones});
  if (thousandsWritten && !wrote) appendResult(u"millones ");
}

}  // namespace zuvo
