// The layout of the digit string into the twelve slots, the answer to the
// main window, and the steps the spelling members share: the lookups in the
// number-word table, the date texts and the three-digit group rule of the
// long numbers.

#include <cassert>

#include "app/FrmLexaro.h"
#include "numbers/FrmSZ.h"

namespace zuvo {

// SpellDigitString: character k of DigitString goes into slot k, and the
// slot of the string's last character runs the member of its length.
// DigitCount is set before the slots are emptied, so only that member acts.
void FrmSZ::Command5_GotFocus() {
  Text28.setText(Text29.text());
  Text2.setText(u"");
  Text3.setText(u"");
  for (TextBox* slot : slots_)
    if (slot != &Text2) slot->setText(u"");

  // Characters beyond the twelfth slot are dropped.
  const Text digits = Text1.text();
  for (size_t k = 0; k < digits.size() && k < slots_.size(); ++k) slots_[k]->setText(Text(1, digits[k]));
  Text1.setText(u"");
  Data1.MoveFirst();
  if (holdsInnerMark()) setResult(u"");
  showAnswer();
}

// A mark with a digit or a date character after it leaves the string no
// reading as a number, a percentage or a numbering mark (3%5, 1.5, (3%),
// unless a parenthesis closes it and it is written as typed: (3), 1(2).
bool FrmSZ::holdsInnerMark() const {
  const int n = static_cast<int>(Val(Text28.text()));
  if (n < 2 || n > static_cast<int>(slots_.size())) return false;
  if (is(n, u")") || is(n, u"）")) return false;
  auto isMark = [this](int k) { return ch(k).size() == 1 && kMarks.find(ch(k)[0]) != TextView::npos; };
  for (int k = 1; k < n; ++k)
    if (isMark(k) && !isMark(k + 1)) return true;
  return false;
}

void FrmSZ::showAnswer() { app().form<FrmLexaro>().Text33.setText(Text3.text()); }

// Characters `from` to `to` of the string, side by side.
Text FrmSZ::chars(int from, int to) const {
  Text out;
  for (int k = from; k <= to; ++k) out += ch(k);
  return out;
}

bool FrmSZ::isLength(int n) const { return Text28.text() == NumText(n); }

bool FrmSZ::holdsDateChar(int n) const {
  for (int k = 1; k <= n; ++k)
    if (is(k, u"年") || is(k, u"月") || is(k, u"日")) return true;
  return false;
}

void FrmSZ::setResult(TextView s) { Text3.setText(s); }

void FrmSZ::appendResult(TextView s) { Text3.setText(Text3.text() + Text(s)); }

// --- lookups: an exact seek on the key's index, the word read from its box ---

std::optional<Text> FrmSZ::seek(const char* index, TextView key, const TextBox& word) {
  Data1.setIndex(index);
  Data1.Seek("=", key);
  if (Data1.NoMatch()) return std::nullopt;
  return word.text();
}

std::optional<Text> FrmSZ::unitWord(TextView k) { return seek("ZD1", k, Text11); }

// Inside a number of two or more places a unit 0 has no word of its own.
std::optional<Text> FrmSZ::unitWordUnlessZero(TextView k) {
  if (k == u"0") return std::nullopt;
  return unitWord(k);
}

std::optional<Text> FrmSZ::pairWord(TextView k) { return seek("ZD3", k, Text12); }

// A hundred that nothing follows is "cien"; with tens or units it takes the
// table's word ("ciento" for 1).
std::optional<Text> FrmSZ::hundredsWord(TextView h, bool wholeHundred) {
  if (h == u"1" && wholeHundred) return Text(u"cien");
  return seek("ZD5", Text(h) + u"00", Text13);
}

std::optional<Text> FrmSZ::monthWord(TextView m) { return seek("ZD5", m, Text27); }

// --- dates ---------------------------------------------------------------------

// Writes the date when 年, 月 and 日 stand where the shape has them and its
// month has a name: "el " day " de " month [" de " year], or for a year and
// its month "en " month " de " year. Day and year are written as typed.
bool FrmSZ::writeDate(DateShape s) {
  if (s.year && !is(s.year, u"年")) return false;
  if (!is(s.month, u"月")) return false;
  if (s.day && !is(s.day, u"日")) return false;
  const auto month = monthWord(chars(s.year + 1, s.month - 1));
  if (!month) return false;
  const Text year = chars(1, s.year - 1);
  if (s.day)
    setResult(u"el " + chars(s.month + 1, s.day - 1) + u" de " + *month + (s.year ? u" de " + year : Text()));
  else
    setResult(u"en " + *month + u" de " + year);
  return true;
}

// The first shape, in the member's order, that writes its date.
bool FrmSZ::writeFirstDate(std::span<const DateShape> shapes) {
  for (const DateShape& s : shapes)
    if (writeDate(s)) return true;
  return false;
}

// --- the group rule of the long numbers ----------------------------------------

// Characters h, h+1, h+2 as hundreds, tens and units, appended with the
// group's literals. Returns whether the group wrote anything: a group whose
// lookups find nothing (three zeros) writes not even its scale word.
bool FrmSZ::spellGroup(int h, const GroupLiterals& lit) {
  const Text& t = ch(h + 1);
  const Text& u = ch(h + 2);
  const bool zeroTail = t == u"0" && u == u"0";
  bool wrote = false;
  const auto hundreds = hundredsWord(ch(h), zeroTail);
  if (hundreds) {
    appendResult(*hundreds + u" ");
    if (zeroTail) appendResult(lit.wholeHundred);
    wrote = true;
  }
  if (zeroTail && (lit.zeroTail == GroupLiterals::ZeroTail::Ends ||
                   (lit.zeroTail == GroupLiterals::ZeroTail::EndsAfterHundreds && hundreds)))
    return wrote;
  if (auto pair = pairWord(t + u)) {
    appendResult(*pair + Text(lit.scale));
    return true;
  }
  if (auto tens = pairWord(t + u"0")) {
    appendResult(*tens + u" ");
    wrote = true;
  }
  if (u == u"0") return wrote;
  if (auto unit = unitWord(u)) {
    appendResult(u"y " + *unit + Text(lit.unitScale));
    wrote = true;
  }
  return wrote;
}

// --- numbers and percentages --------------------------------------------------

// The number of the first n characters, as the member of that length spells it
// after its other shapes.
void FrmSZ::spellNumber(int n) {
  switch (n) {
    case 3: spellThreeDigits(); break;
    case 4: spellFourDigits(); break;
    case 5: spellFiveDigits(); break;
    case 6: spellSixDigits(); break;
    case 7: spellSevenDigits(); break;
    case 8: spellEightDigits(); break;
    case 9: spellNineDigits(); break;
    case 10: spellTenDigits(); break;
    case 11: spellElevenDigits(); break;
    default: assert(false && "no number of this length");
  }
}

// A string of n characters closed by a percent sign, n from 4 to 12 but 6
// (five-digit percentages are written as typed): the words
// of the number before the sign, with " por ciento" in place of their last
// blank, as the shorter percentages have it. A number that holds anything
// but digits, or whose digits have no words, gives no words.
void FrmSZ::spellPercentage(int n) {
  for (int k = 1; k < n; ++k)
    if (ch(k).size() != 1 || ch(k)[0] < u'0' || ch(k)[0] > u'9') return;
  spellNumber(n - 1);
  Text words = Text3.text();
  if (words.empty()) return;
  if (words.back() == u' ') words.pop_back();
  setResult(words + u" por ciento");
}

}  // namespace zuvo
