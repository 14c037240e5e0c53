#pragma once
// The hidden number worker. The main window writes a request into Text35 and
// presses Command1; the scan keeps the characters of numbers, dates and marks,
// the conversion turns Chinese numerals into Arabic digits, and the digit
// string is laid out one character a slot in the twelve DigitSlots, whose
// Change handlers spell strings of their own length in Spanish words from the
// number-word table SZK1. The words go to the main window's Text33.
//
// Handlers are spread over numbers/scan.cpp (the scan), numerals.cpp (the
// conversion and its work boxes), dispatch.cpp (the layout into the slots and
// the shared spelling steps), spell_short.cpp (one to four characters),
// spell_middle.cpp (five and six) and spell_long.cpp (seven to twelve).

#include <array>
#include <optional>
#include <span>

#include "platform/application.h"
#include "platform/control.h"
#include "platform/window.h"
#include "store/data_source.h"

namespace zuvo {

// Back colours that the worker's flag labels hold.
inline constexpr Colour kFlagOn = 0xC0C0FF;     // DateModeFlag set; ScanStopFlag after a numeral
inline constexpr Colour kScanIdle = 0xFF80FF;   // ScanStopFlag between requests

class FrmSZ : public Window {
 public:
  explicit FrmSZ(Application& app);

  // The number-word table: ZD1/ZD2 digit words, ZD3/ZD4 pair and tens words,
  // ZD5/ZD6 hundreds words and month names.
  static TableSchema numberWordTable();

  // --- the request and its scan ---
  TextBox Text35{*this, "Text35"};            // the request; the scan consumes it from the left
  CommandButton Command1{*this, "Command1"};  // ScanNumberInput
  TextBox Text22{*this, "Text22"};            // ScannedText: the kept characters
  TextBox Text43{*this, "Text43"};            // CharsLeft: length of ScannedText
  TextBox Text10{*this, "Text10"};            // LastScannedChar
  Label Label2{*this, "Label2"};              // back colour: DateModeFlag
  Label Label3{*this, "Label3"};              // caption: NumeralFlag ("1" after a Chinese numeral)
  Label Label4{*this, "Label4"};              // back colour: ScanStopFlag

  // --- the conversion into a digit string ---
  CommandButton Command2{*this, "Command2"};  // ConvertNumeralsToDigits, its GotFocus procedure
  TextBox Text1{*this, "Text1"};              // DigitString, built at its caret
  TextBox Text29{*this, "Text29"};            // length of DigitString
  TextBox Text14{*this, "Text14"};            // DateDigitBuffer slot 1
  TextBox Text30{*this, "Text30"};            // DateDigitBuffer slot 2
  TextBox Text31{*this, "Text31"};            // DateDigitBuffer slot 3
  TextBox Text32{*this, "Text32"};            // DateDigitBuffer slot 4; also receives 月 and 日
  TextBox Text42{*this, "Text42"};            // TensMarker: 十 pending
  TextBox Text48{*this, "Text48"};            // HundredsMarker: 千 or 百
  TextBox Text49{*this, "Text49"};            // LargeUnitMarker: 万 or 亿
  TextBox Text25{*this, "Text25"};            // YearMarker: 年

  // --- the layout into the slots and the answer ---
  CommandButton Command5{*this, "Command5"};  // SpellDigitString, its GotFocus procedure
  TextBox Text28{*this, "Text28"};            // DigitCount: length of the string being spelled
  TextBox Text3{*this, "Text3"};              // the Spanish words of the request
  // DigitSlots 1 to 12; the Change handler of slot n spells strings of n characters.
  TextBox Text2{*this, "Text2"};
  TextBox Text4{*this, "Text4"};
  TextBox Text5{*this, "Text5"};
  TextBox Text6{*this, "Text6"};
  TextBox Text7{*this, "Text7"};
  TextBox Text8{*this, "Text8"};
  TextBox Text15{*this, "Text15"};
  TextBox Text16{*this, "Text16"};
  TextBox Text17{*this, "Text17"};
  TextBox Text18{*this, "Text18"};
  TextBox Text23{*this, "Text23"};
  TextBox Text24{*this, "Text24"};

  // --- the number-word table and its bound boxes ---
  DataSource Data1{*this, "Data1", numberWordTable()};
  TextBox Text11{*this, "Text11"};  // ZD2: digit word
  TextBox Text12{*this, "Text12"};  // ZD4: pair or tens word
  TextBox Text13{*this, "Text13"};  // ZD6, read as a hundreds word
  TextBox Text27{*this, "Text27"};  // ZD6, read as a month name
  TextBox Text26{*this, "Text26"};  // ZD5, read by nothing

 private:
  // Positions of 年, 月 and 日 in a date shape; 0 where the shape has none.
  struct DateShape {
    int year = 0, month = 0, day = 0;
  };
  // How a group of three digits of a long number is joined.
  struct GroupLiterals {
    TextView wholeHundred;  // after the hundreds word and its blank when tens and units are "00"
    TextView scale;         // after a pair word
    TextView unitScale;     // after "y " and a unit word
    // What tens and units "00" do in the last group: end the number, end it
    // only after a hundreds word, or go through the pair lookups like others.
    enum class ZeroTail { Ends, EndsAfterHundreds, Looked } zeroTail = ZeroTail::Looked;
  };

  // The numbering and percent marks that the scan keeps and the conversion
  // appends as they stand.
  static constexpr TextView kMarks = u"%％(（)）－-、.";

  // scan.cpp
  void Command1_Click();
  void Label3_Change();
  void Text22_Change();
  void resetNumeralState();

  // numerals.cpp
  void Command2_GotFocus();
  void convertCharacter(const Text& c, const Text& previous);
  void convertTen();
  bool startsNumber() const;
  bool endsNumber() const;
  TextView rest() const;
  size_t pastZeros(size_t p, TextView stops) const;
  Text zeroFiller(const Text& previous) const;
  void storeInDateBuffer(const Text& d);
  void insertDigits(TextView s);
  bool dateMode() const { return Label2.BackColor == kFlagOn; }
  void Text1_Change();
  void Text25_Change();
  void Text32_Change();
  void Text48_Change();
  void Text49_Change();

  // dispatch.cpp
  void Command5_GotFocus();
  void showAnswer();
  bool holdsInnerMark() const;
  const Text& ch(int k) const { return slots_[k - 1]->text(); }
  Text chars(int from, int to) const;
  bool is(int k, TextView s) const { return ch(k) == s; }
  bool isPercentAt(int k) const { return is(k, u"%") || is(k, u"％"); }
  bool isLength(int n) const;
  bool holdsDateChar(int n) const;
  void setResult(TextView s);
  void appendResult(TextView s);
  std::optional<Text> seek(const char* index, TextView key, const TextBox& word);
  std::optional<Text> unitWord(TextView k);
  std::optional<Text> unitWordUnlessZero(TextView k);
  std::optional<Text> pairWord(TextView k);
  std::optional<Text> hundredsWord(TextView h, bool wholeHundred);
  std::optional<Text> monthWord(TextView m);
  bool writeDate(DateShape shape);
  bool writeFirstDate(std::span<const DateShape> shapes);
  bool spellGroup(int h, const GroupLiterals& lit);
  void spellNumber(int n);
  void spellPercentage(int n);

  // spell_short.cpp
  void Text2_Change();
  void Text4_Change();
  void Text5_Change();
  void Text6_Change();
  void spellThreeDigits();
  void spellFourDigits();
  void spellThreeWithSuffix(TextView suffix);

  // spell_middle.cpp
  void Text7_Change();
  void Text8_Change();
  void spellFiveDigits();
  void spellSixDigits();
  void spellFiveDigitYears();

  // spell_long.cpp
  void Text15_Change();
  void Text16_Change();
  void Text17_Change();
  void Text18_Change();
  void Text23_Change();
  void Text24_Change();
  void spellSevenDigits();
  void spellEightDigits();
  void spellNineDigits();
  void spellTenDigits();
  void spellElevenDigits();
  bool spellLeadingDigit(TextView one, TextView scale);
  bool spellLeadingPair(TextView scale);
  void spellMillionsAfterThousands(int h, bool thousandsWritten);

  std::array<TextBox*, 12> slots_;
  // While a run of Chinese numerals with a unit above ten is converted in
  // date input: set, and the length DigitString had where the run began.
  bool numberInDate_ = false;
  size_t numberStart_ = 0;
  // ScannedText while it is converted, and the place of the character in hand.
  Text scanned_;
  size_t pos_ = 0;
  // Runs of zeros crossed by the zero filler, one per set of stops.
  struct ZeroRun {
    size_t from = 0, to = 0;
    bool valid = false;
  };
  mutable std::array<ZeroRun, 3> zeroRuns_{};
};

}  // namespace zuvo
