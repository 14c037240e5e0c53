// The conversion of the scanned text into a digit string: Arabic digits go
// in as they stand, Chinese digits as their Arabic digit (in a date's year,
// month or day by way of the DateDigitBuffer), 十 and the unit characters by
// the rules of their work boxes, and 年, 月, 日 and the marks stay as they are.

#include <algorithm>
#include <cstdint>

#include "numbers/FrmSZ.h"

namespace zuvo {

namespace {

constexpr TextView kChineseDigits = u"零一二三四五六七八九";
constexpr TextView kUnits = u"十百千万亿";

bool isChineseNumeral(char16_t x) {
  return kChineseDigits.find(x) != TextView::npos || kUnits.find(x) != TextView::npos;
}

// Whether the run of Chinese numerals at the start of `rest` holds a unit
// above ten. A run of digits and 十 alone is a year, month or day that the
// DateDigitBuffer reads; one with 百, 千, 万 or 亿 is a number.
bool runHasLargeUnit(TextView rest) {
  for (char16_t x : rest) {
    if (!isChineseNumeral(x)) return false;
    if (x != u'十' && kUnits.find(x) != TextView::npos) return true;
  }
  return false;
}

// The Arabic digit of a Chinese digit 零 to 九, or "" for any other text.
Text digitOf(const Text& c) {
  if (c.size() != 1) return {};
  const auto i = kChineseDigits.find(c[0]);
  if (i == TextView::npos) return {};
  return Text(1, static_cast<char16_t>(u'0' + i));
}

// The number of digits of the Chinese numeral at the start of `rest`, read up
// to the first character that is not part of it or that is in `stops`.
// Values are capped: only whether they reach eight places matters.
// The value never decreases along the way, so the count stops once it has
// `enough` places: more make no difference to the caller.
int placesOf(TextView rest, TextView stops, int enough) {
  constexpr uint64_t kCap = 10'000'000'000ULL;
  uint64_t threshold = 1;
  for (int i = 0; i < enough; ++i) threshold *= 10;
  uint64_t total = 0, section = 0, number = 0;
  for (char16_t x : rest) {
    if (std::min(kCap, total + section + number) >= threshold) return enough;
    if (stops.find(x) != TextView::npos) break;
    uint64_t unit = 0;
    if (x >= u'0' && x <= u'9') {
      number = std::min(kCap, number * 10 + (x - u'0'));
      continue;
    }
    if (auto i = kChineseDigits.find(x); i != TextView::npos) {
      number = std::min(kCap, number * 10 + i);
      continue;
    }
    if (x == u'十') unit = 10;
    else if (x == u'百') unit = 100;
    else if (x == u'千') unit = 1000;
    if (unit) {
      section = std::min(kCap, section + (number ? number : 1) * unit);
      number = 0;
      continue;
    }
    if (x == u'万') {
      total = std::min(kCap, total + std::min(kCap, section + number) * 10'000);
      section = number = 0;
      continue;
    }
    if (x == u'亿') {
      total = std::min(kCap, total + section + number) * 100'000'000;
      total = std::min(kCap, total);
      section = number = 0;
      continue;
    }
    break;
  }
  uint64_t value = std::min(kCap, total + section + number);
  int places = 0;
  for (; value; value /= 10) ++places;
  return places;
}

// Characters that leave a number still at zero as it was: 零 and 0, and 万
// and 亿 unless they end it.
bool keepsZero(char16_t x, TextView stops) {
  if (x == u'零' || x == u'0') return true;
  return (x == u'万' || x == u'亿') && stops.find(x) == TextView::npos;
}

}  // namespace

// The conversion reads the scanned text in place: rest() is ScannedText as
// it stands while its first character is handled.
TextView FrmSZ::rest() const { return TextView(scanned_).substr(std::min(pos_, scanned_.size())); }

// The first position from p on that is not a zero run for the stops; runs
// already crossed are remembered, so a long run is crossed once.
size_t FrmSZ::pastZeros(size_t p, TextView stops) const {
  ZeroRun& run = zeroRuns_[std::min<size_t>(stops.size(), zeroRuns_.size() - 1)];
  if (run.valid && p >= run.from && p <= run.to) return run.to;
  size_t q = p;
  while (q < scanned_.size() && keepsZero(scanned_[q], stops)) ++q;
  run = {p, q, true};
  return q;
}

// ConvertNumeralsToDigits: each character of ScannedText in turn, read
// where it stands with what follows it (`rest()`); the text is emptied once
// at the end rather than a character at a time, so a long paste is read once.
void FrmSZ::Command2_GotFocus() {
  numberInDate_ = false;
  Text1.setText(u"");
  Text previous;
  scanned_ = Text22.text();
  zeroRuns_ = {};
  for (pos_ = 0; pos_ < scanned_.size(); ++pos_) {
    const Text c(1, scanned_[pos_]);
    convertCharacter(c, previous);
    previous = c;
  }
  scanned_.clear();
  pos_ = 0;
  Text22.setText(u"");
  Label2.BackColor = kButtonFace;
  Text14.setText(u"");
  Text30.setText(u"");
  Text31.setText(u"");
  Text32.setText(u"");
  Command5_GotFocus();  // SpellDigitString, called as a subroutine
}

void FrmSZ::convertCharacter(const Text& c, const Text& previous) {
  if (c.size() != 1) return;
  const char16_t x = c[0];
  const bool startsRun = isChineseNumeral(x) && (previous.size() != 1 || !isChineseNumeral(previous[0]));
  if (startsRun) {
    numberInDate_ = dateMode() && runHasLargeUnit(rest());
    numberStart_ = Text1.text().size();
  } else if (!isChineseNumeral(x)) {
    numberInDate_ = false;
  }
  if (x >= u'0' && x <= u'9') {
    insertDigits(c);
    return;
  }
  if (const Text d = digitOf(c); !d.empty()) {
    if (!dateMode() || numberInDate_) insertDigits(d == u"0" ? zeroFiller(previous) : d);
    if (!numberInDate_) storeInDateBuffer(d);
    return;
  }
  switch (x) {
    case u'十':
      convertTen();
      return;
    case u'亿':
    case u'万':
      Text49.setText(c);
      return;
    case u'千':
    case u'百':
      Text48.setText(c);
      return;
    case u'年':
      Text25.setText(c);
      return;
    case u'月':
    case u'日':
      Text32.setText(c);
      return;
    default:
      break;
  }
  if (kMarks.find(x) == TextView::npos) return;
  // The mark goes at the end and the caret behind it, so that what follows
  // the mark stays behind it: (3) stays (3).
  Text1.setSelStart(Len(Text1.text()));
  Text1.setSelLength(0);
  Text1.setSelText(c);
}

// 十 stands for a ten whose units may follow. At the start of a number it
// begins with 1 (十, 十五, 十万); in a date's year, month or day its digits
// come from the DateDigitBuffer when 年, 月 or 日 arrives, so nothing is
// inserted here. The ten stays pending after that leading 1, so that 十万 and
// 十亿 get the zeros of a ten.
void FrmSZ::convertTen() {
  if (numberInDate_) {
    if (startsNumber()) insertDigits(u"1");
  } else if (Text1.text().empty()) {
    if (Text10.text() == u"日")
      Text10.setText(u"");
    else if (!dateMode())
      insertDigits(u"1");
  }
  Text42.setText(u"十");
  if (endsNumber() && !startsNumber()) insertDigits(u"0");
  if (numberInDate_) return;
  if (Text14.text().empty())
    Text14.setText(u"十");
  else if (Text30.text().empty())
    Text30.setText(u"十");
}

// Outside date input the number starts the scanned text and ends at its end
// or before a mark (一百% is 100%); Arabic digits go on with it (3万5千). In
// date input a run of Chinese numerals with a unit above ten is a number of
// its own (三百年, 一千九百年): it starts where the run starts and ends before
// the 年, 月 or 日 that follows it. Either way its units get their zeros where
// it ends.
bool FrmSZ::startsNumber() const {
  return numberInDate_ ? Text1.text().size() == numberStart_ : Text1.text().empty();
}

bool FrmSZ::endsNumber() const {
  const TextView r = rest();
  if (r.size() < 2) return true;
  return numberInDate_ ? !isChineseNumeral(r[1]) : kMarks.find(r[1]) != TextView::npos;
}

// The zeros that 零 stands for: the places that the unit before it leaves
// empty above what follows (一千零五 is 1005, 一千零五十 is 1050, 一万零五 is
// 10005); a single zero after a digit or at the start (二零零四, 一百零三).
Text FrmSZ::zeroFiller(const Text& previous) const {
  int required = 0;
  TextView stops;
  if (previous == u"千") required = 3, stops = u"万亿";
  else if (previous == u"百") required = 2, stops = u"万亿";
  else if (previous == u"万") required = 4, stops = u"亿";
  else if (previous == u"亿") required = 8;
  if (required == 0) return u"0";
  const size_t from = pastZeros(pos_ + 1, stops);
  const int zeros = std::max(1, required - placesOf(TextView(scanned_).substr(from), stops, required));
  return Text(static_cast<size_t>(zeros), u'0');
}

void FrmSZ::storeInDateBuffer(const Text& d) {
  for (TextBox* slot : {&Text14, &Text30, &Text31, &Text32}) {
    if (slot->text().empty()) {
      slot->setText(d);
      return;
    }
  }
}

void FrmSZ::insertDigits(TextView s) { Text1.setSelText(s); }

// A marker lasts only until the next change of DigitString.
void FrmSZ::Text1_Change() {
  Text29.setText(NumText(Len(Text1.text())));
  Text42.setText(u"");
  Text48.setText(u"");
  Text49.setText(u"");
}

// YearBufferFlush: the year's Chinese digits, held in the buffer, go in front
// of 年. A buffered 十 is worked out as in a day: 十 is 10, 十五 is 15, 二十 is
// 20 and 二十五 is 25, so that 十年 and 二十五年 count their years.
void FrmSZ::Text25_Change() {
  if (Text25.text() == u"年") {
    const Text& b1 = Text14.text();
    const Text& b2 = Text30.text();
    const Text& b3 = Text31.text();
    const Text& b4 = Text32.text();
    Text digits = b1 + b2 + b3 + b4;
    if (b1 == u"十" && b2 != u"十" && b3.empty())
      digits = b2.empty() ? Text(u"10") : u"1" + b2;
    else if (!b1.empty() && b1 != u"十" && b2 == u"十" && b4.empty())
      digits = b1 + (b3.empty() ? Text(u"0") : b3);
    insertDigits(digits + u"年");
  }
  Text14.setText(u"");
  Text30.setText(u"");
  Text31.setText(u"");
  Text32.setText(u"");
  Text25.setText(u"");
}

// MonthDayNumeralRule: the month or day gathered in the buffer goes in front
// of 月 or 日; a buffer of any other shape writes nothing and stays.
void FrmSZ::Text32_Change() {
  const Text& mark = Text32.text();
  if (mark != u"月" && mark != u"日") return;
  const Text b1 = Text14.text();
  const Text b2 = Text30.text();
  const Text b3 = Text31.text();
  Text number;
  bool taken = true;
  if (b1 == u"十")
    number = b2.empty() ? Text(u"10") : u"1" + b2;
  else if (b2.empty() && (mark == u"月" || b3.empty()))
    number = b1;
  else if (mark == u"日" && !b1.empty() && b2 == u"十")
    number = b1 + (b3.empty() ? Text(u"0") : b3);
  else
    taken = false;
  if (!taken) return;
  insertDigits(number + mark);
  Text14.setText(u"");
  Text30.setText(u"");
  if (mark == u"日") Text31.setText(u"");
  Text32.setText(u"");
}

// UnitZeroPadding for 千 and 百: a unit that ends its number brings its zeros.
void FrmSZ::Text48_Change() {
  if (!endsNumber()) return;
  if (Text48.text() == u"千")
    insertDigits(u"000");
  else if (Text48.text() == u"百")
    insertDigits(u"00");
}

// UnitZeroPadding for 亿 and 万: at the end of the number the zeros make up the
// whole place value; with more to follow only a pending 千, 百 or 十 gets its
// zeros and the following digits fill the group.
void FrmSZ::Text49_Change() {
  const Text& unit = Text49.text();
  const Text& hundreds = Text48.text();
  const Text& tens = Text42.text();
  const bool last = endsNumber();
  int zeros = -1;  // -1: no row applies
  int pending = 0;
  if (unit == u"亿") {
    if (hundreds == u"千") pending = 3;
    else if (hundreds == u"百") pending = 2;
    else if (tens == u"十") pending = 1;
    else if (hundreds.empty() && tens.empty()) pending = 0;
    else return;
    zeros = last ? 8 + pending : pending;
  } else if (unit == u"万") {
    if (hundreds == u"千" && tens.empty()) pending = 3;
    else if (hundreds == u"百" && tens.empty()) pending = 2;
    else if (hundreds.empty() && tens == u"十") pending = 1;
    else if (hundreds.empty() && tens.empty()) pending = 0;
    else return;
    zeros = last ? 4 + pending : pending;
  }
  if (zeros > 0) insertDigits(Text(static_cast<size_t>(zeros), u'0'));
}

}  // namespace zuvo
