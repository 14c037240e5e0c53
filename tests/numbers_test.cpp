// The number worker: a request written into FrmSZ.Text35 and a press of its
// Command1 put the Spanish words into the main window's Text33. Cases are
// grouped by what the user typed; every answer is compared exactly, blanks
// included.

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "app/FrmLexaro.h"
#include "numbers/FrmSZ.h"
#include "store/seed.h"
#include "support/dictionary.h"
#include "support/test_support.h"

namespace zuvo {
namespace {

using testing::Program;
using testing::TempDir;

struct Case {
  std::u16string_view in;
  std::u16string_view out;
};

// One program for the whole suite: the worker keeps no state between
// requests that an answer may depend on (a test below checks that).
class NumbersTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = std::make_unique<TempDir>();
    program_ = std::make_unique<Program>(dir_->path());
  }
  static void TearDownTestSuite() {
    program_.reset();
    dir_.reset();
  }

  static FrmSZ& sz() { return program_->form<FrmSZ>(); }

  // Sends a request as the main window does and reads the answer it shows.
  static Text ask(TextView request) {
    program_->event([&] {
      sz().Text35.setText(request);
      sz().Command1.setValue(true);
    });
    return program_->form<FrmLexaro>().Text33.text();
  }

  // The digit string the last request was spelled from, as laid out in the slots.
  static Text digitString() {
    FrmSZ& w = sz();
    Text s;
    for (TextBox* slot : {&w.Text2, &w.Text4, &w.Text5, &w.Text6, &w.Text7, &w.Text8, &w.Text15, &w.Text16,
                          &w.Text17, &w.Text18, &w.Text23, &w.Text24})
      s += slot->text();
    return s;
  }

  static void expectAnswers(std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
      SCOPED_TRACE(toUtf8(c.in));
      EXPECT_EQ(toUtf8(ask(c.in)), toUtf8(c.out));
    }
  }

 private:
  static inline std::unique_ptr<TempDir> dir_;
  static inline std::unique_ptr<Program> program_;
};

// --- cardinal numbers, by length ---------------------------------------------

TEST_F(NumbersTest, NumbersOfOneToSixDigits) {
  expectAnswers({
      {u"5", u"cinco"},
      {u"0", u"cero"},
      {u"25", u"veinticinco "},
      {u"10", u"diez "},
      {u"20", u"veinte "},
      {u"47", u"cuarenta y siete"},  // no blank after a unit word
      {u"05", u"cinco "},
      {u"123", u"ciento veintitrés "},
      {u"300", u"trescientos  "},  // a whole hundred ends in two blanks
      {u"305", u"trescientos cinco "},
      {u"340", u"trescientos cuarenta "},
      {u"347", u"trescientos cuarenta y siete "},
      {u"110", u"ciento diez "},
      {u"999", u"novecientos noventa y nueve "},
      {u"1000", u"un mil "},
      {u"1999", u"un mil novecientos noventa y nueve "},
      {u"2024", u"dos mil veinticuatro "},
      {u"2005", u"dos mil cinco "},
      {u"2300", u"dos mil trescientos "},
      {u"25300", u"veinticinco mil  trescientos "},
      {u"31452", u"treinta  y uno mil  cuatrocientos cincuenta y dos "},
      {u"10000", u"diez mil "},
      {u"99999", u"noventa  y nueve mil  novecientos noventa y nueve "},
      {u"245678", u"doscientos cuarenta y cinco mil seiscientos setenta y ocho "},
      {u"200000", u"doscientos mil "},
      {u"012345", u"doce mil trescientos cuarenta y cinco "},
      {u"000005", u"cinco "},
  });
}

TEST_F(NumbersTest, NumbersOfSevenToNineDigits) {
  expectAnswers({
      {u"1234567", u"un millon doscientos treinta y cuatro mil quinientos sesenta y siete "},
      {u"1000000", u"un millon "},
      {u"2000000", u"dos millones "},
      {u"1200000", u"un millon doscientos  mil "},
      {u"1000005", u"un millon cinco "},
      {u"1001000", u"un millon uno mil "},  // a thousands group 001 is read by the pair rule
      {u"10000000", u"diez millones "},
      {u"25000000", u"veinticinco millones "},
      {u"31000000", u"treinta y uno millones "},
      {u"12200000", u"doce millones doscientos mil "},
      {u"123456789", u"ciento veintitrés millones cuatrocientos cincuenta y seis mil setecientos ochenta y nueve "},
      {u"200300400", u"doscientos millones trescientos mil cuatrocientos "},
  });
}

TEST_F(NumbersTest, NumbersOfTenToTwelveDigitsCountThousandsOfMillions) {
  expectAnswers({
      {u"1000000000", u"un mil millones "},
      {u"3000000000", u"tres mil millones "},
      {u"2500000000", u"dos mil quinientos millones "},
      {u"1234567890",
       u"un mil doscientos treinta y cuatro millones quinientos sesenta y siete mil ochocientos noventa "},
      {u"1000000001", u"un mil millones uno "},
      {u"4000200000", u"cuatro mil millones doscientos  mil "},
      {u"12000000000", u"doce mil millones "},
      {u"31000000000", u"treinta y uno mil millones "},
      {u"12345678901",
       u"doce mil trescientos cuarenta y cinco millones seiscientos setenta y ocho mil novecientos uno "},
      {u"123456789012",
       u"ciento veintitrés mil cuatrocientos cincuenta y seis millones setecientos ochenta y nueve mil doce "},
      {u"200000000000", u"doscientos mil millones "},
      {u"345000000000", u"trescientos cuarenta y cinco mil millones "},
      {u"100000000047", u"cien mil millones cuarenta y siete"},  // the twelve-digit unit has no blank after it
  });
}

TEST_F(NumbersTest, ExactlyOneHundredReadsCien) {
  expectAnswers({
      {u"100", u"cien  "},
      {u"101", u"ciento uno "},
      {u"1100", u"un mil cien "},
      {u"10100", u"diez mil  cien "},
      {u"100000", u"cien mil "},
      {u"100100", u"cien mil cien "},
      {u"1100000", u"un millon cien  mil "},
      {u"100000000", u"cien millones "},
      {u"100年", u"cien  aňos"},
      {u"100%", u"cien  por ciento"},
      {u"1100年", u"mil cien  aňos"},
  });
}

TEST_F(NumbersTest, AZeroNeverReadsAsCeroInsideALongerNumber) {
  expectAnswers({
      {u"0123", u"ciento veintitrés "},
      {u"00", u""},
      {u"00123", u" ciento veintitrés "},
      {u"00000000", u""},
      {u"0000001", u"uno "},
      {u"0000000000", u""},
      {u"00000000005", u"cinco "},
      {u"1900年", u"mil novecientos  aňos"},
      {u"0%", u"cero por ciento"},
  });
}

TEST_F(NumbersTest, LongerThanTwelveCharactersOrNothingToSpellGivesNoWords) {
  expectAnswers({
      {u"1234567890123", u""},
      {u"", u""},
      {u"abc", u""},
      {u"%", u""},
      {u"年", u""},
  });
}

// --- dates -------------------------------------------------------------------

TEST_F(NumbersTest, MonthsAndDatesOfTwoToSixCharacters) {
  expectAnswers({
      {u"3月", u"marzo"},
      {u"12月", u"diciembre"},
      {u"03月", u"marzo"},
      {u"3月5日", u"el 5 de marzo"},
      {u"3月0日", u"el 0 de marzo"},
      {u"2年3月", u"en marzo de 2"},
      {u"5月12日", u"el 12 de mayo"},
      {u"12月5日", u"el 5 de diciembre"},
      {u"05月3日", u"el 3 de mayo"},
      {u"99年5月", u"en mayo de 99"},
      {u"9年12月", u"en diciembre de 9"},
      {u"1年2月3日", u"el 3 de febrero de 1"},
      {u"12月31日", u"el 31 de diciembre"},
      {u"2月31日", u"el 31 de febrero"},
      {u"199年5月", u"en mayo de 199"},
      {u"99年12月", u"en diciembre de 99"},
  });
}

TEST_F(NumbersTest, DatesOfSevenToElevenCharactersInEachShape) {
  expectAnswers({
      {u"1年2月15日", u"el 15 de febrero de 1"},
      {u"1年12月5日", u"el 5 de diciembre de 1"},
      {u"12年3月5日", u"el 5 de marzo de 12"},
      {u"2004年5月", u"en mayo de 2004"},
      {u"199年12月", u"en diciembre de 199"},
      {u"199年5月6日", u"el 6 de mayo de 199"},
      {u"12年3月15日", u"el 15 de marzo de 12"},
      {u"12年11月5日", u"el 5 de noviembre de 12"},
      {u"1年11月15日", u"el 15 de noviembre de 1"},
      {u"2004年12月", u"en diciembre de 2004"},
      {u"2004年05月", u"en mayo de 2004"},
      {u"99年12月31日", u"el 31 de diciembre de 99"},
      {u"199年12月5日", u"el 5 de diciembre de 199"},
      {u"199年5月25日", u"el 25 de mayo de 199"},
      {u"2004年5月6日", u"el 6 de mayo de 2004"},
      {u"199年12月25日", u"el 25 de diciembre de 199"},
      {u"2004年5月16日", u"el 16 de mayo de 2004"},
      {u"2004年12月5日", u"el 5 de diciembre de 2004"},
      {u"2004年05月6日", u"el 6 de mayo de 2004"},
      {u"2004年05月16日", u"el 16 de mayo de 2004"},
      {u"2004年10月01日", u"el 01 de octubre de 2004"},
      {u"0099年1月1日", u"el 1 de enero de 0099"},
  });
}

TEST_F(NumbersTest, UnfinishedDatesAndUnknownMonthsGiveNoWords) {
  expectAnswers({
      {u"5月3", u""},
      {u"5年3", u""},
      {u"12年3", u""},
      {u"5月12", u""},
      {u"0月5日", u""},
      {u"13月5日", u""},
      {u"12年12", u""},
      {u"12月12", u""},
      {u"199年12", u""},
      {u"2004年5", u""},
      {u"2004年5月6", u""},
      {u"2004年13月", u""},
      {u"2004年13月5日", u""},
      {u"2004年13月16日", u""},
      // A day without its month and a month the table does not name.
      {u"5日", u""},
      {u"15日", u""},
      {u"123日", u""},
      {u"1234日", u""},
      {u"13月", u""},
      {u"12月5", u""},
      {u"1年2月3", u""},
  });
}

// --- counts of years, percentages, numbering marks ---------------------------

TEST_F(NumbersTest, CountsOfYears) {
  expectAnswers({
      {u"1年", u"un aňo"},
      {u"7年", u"siete aňos"},
      {u"0年", u""},
      {u"12年", u"doce aňos"},
      {u"20年", u"veinte aňos"},
      {u"47年", u"cuarenta  y siete aňos"},  // two blanks before "y"
      {u"300年", u"trescientos  aňos"},
      {u"315年", u"trescientos quince aňos"},
      {u"345年", u"trescientos cuarenta y cinco aňos"},
      {u"350年", u"trescientos cincuenta aňos"},
      {u"1000年", u"mil  aňos"},
      {u"2000年", u"dos mil  aňos"},
      {u"1998年", u"mil novecientos noventa y ocho aňos"},
      {u"2015年", u"dos mil quince aňos"},
      {u"2004年", u"dos mil cuatro aňos"},
      {u"3000年", u"tres mil  aňos"},
      {u"0123年", u"ciento veintitrés aňos"},
  });
}

TEST_F(NumbersTest, Percentages) {
  expectAnswers({
      {u"5%", u"cinco por ciento"},
      {u"5％", u"cinco por ciento"},
      {u"45%", u"cuarenta y cinco por ciento"},
      {u"25%", u"veinticinco por ciento"},
      {u"300%", u"trescientos  por ciento"},
      {u"345%", u"trescientos cuarenta y cinco por ciento"},
      {u"315％", u"trescientos quince por ciento"},
      {u"1234%", u"un mil doscientos treinta y cuatro por ciento"},
      {u"12345%", u"12345%"},  // five digits: as typed
      {u"12345％", u"12345％"},
      {u"00000%", u"00000%"},
      {u"123456%", u"ciento veintitrés mil cuatrocientos cincuenta y seis por ciento"},
      {u"十二万三千四百五十六%", u"ciento veintitrés mil cuatrocientos cincuenta y seis por ciento"},
      {u"1234567%", u"un millon doscientos treinta y cuatro mil quinientos sesenta y siete por ciento"},
      {u"000%", u""},  // no number words, so no literal alone either
  });
}

// The words of a percentage: the number's own words with " por ciento" in
// place of their last blank; a number without words gives none.
Text percentOf(Text words) {
  if (words.empty()) return words;
  if (words.back() == u' ') words.pop_back();
  return words + u" por ciento";
}

TEST_F(NumbersTest, APercentageOfAnyLengthIsItsNumbersWordsAndPorCiento) {
  const std::initializer_list<TextView> numbers = {
      u"5",        u"0",         u"45",        u"25",         u"10",          u"05",
      u"345",      u"300",       u"100",       u"305",        u"012",         u"2345",
      u"1000",     u"2005",      u"1100",      u"12345",      u"10000",       u"31452",
      u"25300",    u"123456",    u"200000",    u"100100",     u"000005",      u"1234567",
      u"1000000",  u"1200000",   u"12345678",  u"10000000",   u"123456789",   u"1234567890",
      u"12345678901",
  };
  for (TextView number : numbers) {
    const Text words = ask(number);
    ASSERT_FALSE(words.empty()) << toUtf8(number);
    for (TextView sign : {u"%", u"％"}) {
      const Text request = Text(number) + Text(sign);
      SCOPED_TRACE(toUtf8(request));
      // Five-digit percentages are written as typed.
      EXPECT_EQ(toUtf8(ask(request)), toUtf8(number.size() == 5 ? request : percentOf(words)));
      EXPECT_EQ(toUtf8(digitString()), toUtf8(request));
    }
  }
  // Numbers whose digits have no words, and a percentage too long for the slots.
  for (TextView request : {u"00%", u"000%", u"0000%", u"000000%", u"0000000%", u"123456789012%"}) {
    SCOPED_TRACE(toUtf8(request));
    EXPECT_EQ(toUtf8(ask(request)), "");
  }
}

TEST_F(NumbersTest, RandomPercentagesReadAsTheirNumbers) {
  std::mt19937_64 rng(5);
  for (int i = 0; i < 550; ++i) {
    const int len = 1 + i % 11;
    std::string digits(1, static_cast<char>('1' + rng() % 9));
    for (int k = 1; k < len; ++k) digits += static_cast<char>(rng() % 3 ? '0' : '0' + rng() % 10);
    SCOPED_TRACE(digits);
    const Text words = ask(fromUtf8(digits));
    EXPECT_EQ(toUtf8(ask(fromUtf8(digits + "%"))), len == 5 ? digits + "%" : toUtf8(percentOf(words)));
  }
}

TEST_F(NumbersTest, NumberingMarks) {
  expectAnswers({
      {u"7)", u"7)"},
      {u"12）", u"12）"},
      {u"7-", u"7 -"},
      {u"3.", u"3 ."},
      {u"12、", u"12 、"},
      {u"12－", u"12 －"},
      {u"123)", u"123)"},
      {u"123-", u"123 -"},
      {u"123.", u"123 ."},
      {u"123、", u"123 、"},
      {u"1234)", u"1234)"},
      {u"1234）", u"1234）"},
  });
}

// The marks stay where they were typed: what follows a mark stays behind it.
// A string closed by a parenthesis is written as typed; in any other a mark
// with more after it leaves no reading, and no words.
TEST_F(NumbersTest, AMarkKeepsItsPlaceAndAMarkInsideGivesNoWords) {
  struct MarkCase {
    std::u16string_view in, digits, out;
  };
  const std::initializer_list<MarkCase> cases = {
      {u"(3)", u"(3)", u"(3)"},
      {u"（3）", u"（3）", u"（3）"},
      {u"(12)", u"(12)", u"(12)"},
      {u"1(2)", u"1(2)", u"1(2)"},
      {u"(一百)", u"(100)", u"(100)"},
      {u"3%5", u"3%5", u""},
      {u"%5", u"%5", u""},
      {u"%十五", u"%5", u""},
      {u"(3", u"(3", u""},
      {u"(3%", u"(3%", u""},
      {u"3.5", u"3.5", u""},
      {u"1-2", u"1-2", u""},
      {u"5、6", u"5、6", u""},
      {u"(1)2", u"(1)2", u""},
  };
  for (const MarkCase& c : cases) {
    SCOPED_TRACE(toUtf8(c.in));
    const Text answer = ask(c.in);
    EXPECT_EQ(toUtf8(digitString()), toUtf8(c.digits));
    EXPECT_EQ(toUtf8(answer), toUtf8(c.out));
  }
}

// --- Chinese numerals ---------------------------------------------------------

TEST_F(NumbersTest, ChineseNumeralsAreSpelledAsTheirDigits) {
  expectAnswers({
      {u"一", u"uno"},
      {u"零", u"cero"},
      {u"二十五", u"veinticinco "},
      {u"十五", u"quince "},
      {u"十", u"diez "},
      {u"二十", u"veinte "},
      {u"一百二十三", u"ciento veintitrés "},
      {u"一百", u"cien  "},
      {u"三千五百", u"tres mil quinientos "},
      {u"一百零三", u"ciento tres "},
      {u"五十万", u"quinientos mil "},
      {u"三亿五千万", u"trescientos cincuenta millones "},
      {u"五千亿", u"quinientos mil millones "},
      {u"二零零四", u"dos mil cuatro "},
      {u"四十五%", u"cuarenta y cinco por ciento"},
  });
}

TEST_F(NumbersTest, ChineseNumeralsBecomeThisDigitString) {
  const std::initializer_list<Case> cases = {
      {u"三千", u"3000"},
      {u"五十亿", u"5000000000"},
      {u"三亿五千万", u"350000000"},
      {u"十五万", u"150000"},
      {u"二十万五千", u"205000"},
      {u"一千二百万", u"12000000"},
      {u"一万零五百", u"10500"},
      {u"一百零五万", u"1050000"},
      {u"一九九八年", u"1998年"},
      {u"十二月二十五日", u"12月25日"},
      {u"十月十五日", u"10月15日"},
      {u"二十五日", u"25日"},
      {u"5月十日", u"5月10日"},
      {u"三月三十一日", u"3月31日"},
      {u"二零零四年五月六日", u"2004年5月6日"},
      {u"一二三四五年", u"1234年"},  // a fifth Chinese digit finds the buffer full
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.in));
    ask(c.in);
    EXPECT_EQ(toUtf8(digitString()), toUtf8(c.out));
  }
}

TEST_F(NumbersTest, ChineseDates) {
  expectAnswers({
      {u"二零零四年五月六日", u"el 6 de mayo de 2004"},
      {u"十二月二十五日", u"el 25 de diciembre"},
      {u"十月十五日", u"el 15 de octubre"},
      {u"五月十日", u"el 10 de mayo"},
      {u"三月", u"marzo"},
      {u"二零零四年十二月", u"en diciembre de 2004"},
      {u"二零零四年十月一日", u"el 1 de octubre de 2004"},
      {u"2004年十二月二十五日", u"el 25 de diciembre de 2004"},
      {u"一九九八年", u"mil novecientos noventa y ocho aňos"},
  });
}

// --- the faults mended --------------------------------------------------------

TEST_F(NumbersTest, MendedFaults) {
  expectAnswers({
      // A month beginning with 十 is month 10 to 12, not a stray 1 before it.
      {u"十二月", u"diciembre"},
      {u"十月", u"octubre"},
      {u"十一月", u"noviembre"},
      {u"十一月五日", u"el 5 de noviembre"},
      // Years counted with 十.
      {u"十年", u"diez aňos"},
      {u"二十年", u"veinte aňos"},
      {u"二十五年", u"veinticinco aňos"},
      {u"十五年", u"quince aňos"},
      // 十 at the start of a number stays a pending ten for 万 and 亿.
      {u"十万", u"cien mil "},
      {u"十亿", u"un mil millones "},
      // 零 stands for every place its unit leaves empty.
      {u"一千零五", u"un mil cinco "},
      {u"三千零五", u"tres mil cinco "},
      {u"一千零五十", u"un mil cincuenta "},
      {u"一万零五", u"diez mil cinco "},
      {u"一千万零五", u"diez millones cinco "},
      // Thousands of millions are "mil millones", not "billones".
      {u"7000000000", u"siete mil millones "},
  });
}

// In a date, a Chinese number with 百, 千, 万 or 亿 reads as its value, like
// the same number standing alone; Chinese digits alone and numbers with 十 go
// on reading as a year, month or day. Each request must give exactly the
// digit string and the words of its form in Arabic digits.
TEST_F(NumbersTest, ChineseNumbersWithUnitsInADateReadAsTheirArabicForm) {
  const std::initializer_list<Case> cases = {
      // Counts of years.
      {u"一百年", u"100年"},
      {u"二千年", u"2000年"},
      {u"三千年", u"3000年"},
      {u"三百五十年", u"350年"},
      {u"一千九百年", u"1900年"},
      {u"一百二十三年", u"123年"},
      {u"三百零五年", u"305年"},
      {u"一千零五年", u"1005年"},
      {u"二千零一十五年", u"2015年"},
      {u"一千九百九十八年", u"1998年"},
      {u"十五年", u"15年"},
      {u"二十五年", u"25年"},
      {u"二零零四年", u"2004年"},
      // A year with its month and day; the month and day may use 十.
      {u"一千九百年五月", u"1900年5月"},
      {u"二千年十二月", u"2000年12月"},
      {u"二千零四年五月六日", u"2004年5月6日"},
      {u"一千九百九十八年十月一日", u"1998年10月1日"},
      {u"二千年十二月二十五日", u"2000年12月25日"},
      {u"二零零四年五月六日", u"2004年5月6日"},
      {u"十二月二十五日", u"12月25日"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.in));
    const Text expected = ask(c.out);
    ASSERT_FALSE(expected.empty());  // the Arabic form is one that has words
    EXPECT_EQ(toUtf8(ask(c.in)), toUtf8(expected));
    EXPECT_EQ(toUtf8(digitString()), toUtf8(c.out));
  }
}

// A Chinese number followed by a percent or numbering mark ends before the
// mark, and its units get the zeros they get at the end of the request. Each
// request must give the digit string and the words of its Arabic form; a
// comma after a Chinese numeral ends the scan, as one after digits is dropped.
TEST_F(NumbersTest, ChineseNumbersBeforeAMarkReadAsTheirArabicForm) {
  const std::initializer_list<Case> cases = {
      {u"一百%", u"100%"},
      {u"五十%", u"50%"},
      {u"十%", u"10%"},
      {u"三百%", u"300%"},
      {u"一千%", u"1000%"},
      {u"一万%", u"10000%"},
      {u"五十万%", u"500000%"},
      {u"三亿五千万%", u"350000000%"},
      {u"一百二十%", u"120%"},
      {u"一百零五%", u"105%"},
      {u"一千零五%", u"1005%"},
      {u"二十五%", u"25%"},
      {u"一百％", u"100％"},
      {u"一千,", u"1000,"},
      {u"二十)", u"20)"},
      {u"一百-", u"100-"},
      {u"三千.", u"3000."},
      {u"五十、", u"50、"},
      // Arabic digits go on with the number; only a mark ends it.
      {u"3万5千%", u"35000%"},
      // With no mark the number ends with the request, as before.
      {u"一百", u"100"},
      {u"一千零五", u"1005"},
      {u"十万", u"100000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.in));
    const Text expected = ask(c.out);
    const Text expectedDigits = digitString();
    ASSERT_FALSE(expected.empty());  // the Arabic form is one that has words
    EXPECT_EQ(toUtf8(ask(c.in)), toUtf8(expected));
    EXPECT_EQ(toUtf8(digitString()), toUtf8(expectedDigits));
  }
}

TEST_F(NumbersTest, TheNumeralStateStartsFreshWithEveryRequest) {
  // With no Chinese numeral before it, a letter is dropped and the scan goes on.
  EXPECT_EQ(ask(u"1a2"), u"doce ");
  // A letter after a Chinese numeral ends the scan; the rest stays unread.
  EXPECT_EQ(ask(u"一a二"), u"uno");
  EXPECT_EQ(sz().Text35.text(), u"二");
  // A Chinese numeral at the end of one request does not stop the next one.
  ask(u"一二");
  EXPECT_EQ(ask(u"1a2"), u"doce ");
  // A unit left pending by one request does not pad the next one's digits.
  ask(u"千千");
  ask(u"万");
  EXPECT_EQ(digitString(), u"0000");
}

// --- the scan and the layout ---------------------------------------------------

TEST_F(NumbersTest, TheScanEndsAtTheDayAndDropsForeignCharacters) {
  ask(u"5日3");
  EXPECT_EQ(digitString(), u"5日");
  EXPECT_EQ(sz().Text35.text(), u"3");
  EXPECT_EQ(ask(u"2004年10月1日1"), u"el 1 de octubre de 2004");
  EXPECT_EQ(sz().Text35.text(), u"1");
  ask(u"1,000");
  EXPECT_EQ(digitString(), u"1000");
  EXPECT_EQ(ask(u"1,000"), u"un mil ");
}

TEST_F(NumbersTest, TheAnswerIsTheWorkersResultAndTheWorkerIsBackAtRest) {
  const Text answer = ask(u"2004年12月25日");
  EXPECT_EQ(answer, u"el 25 de diciembre de 2004");
  FrmSZ& w = sz();
  EXPECT_EQ(w.Text3.text(), answer);
  EXPECT_EQ(w.Text28.text(), u"11");
  EXPECT_EQ(w.Text1.text(), u"");
  EXPECT_EQ(w.Text22.text(), u"");
  for (TextBox* b : {&w.Text14, &w.Text30, &w.Text31, &w.Text32, &w.Text25}) EXPECT_EQ(b->text(), u"");
  EXPECT_EQ(w.Label2.BackColor, kButtonFace);
  EXPECT_EQ(w.Label4.BackColor, kScanIdle);
  EXPECT_FALSE(w.Visible());
}

TEST_F(NumbersTest, AnAnswerDoesNotDependOnTheRequestBefore) {
  // Shorter after longer, equally long after equally long, and the reverse.
  const Text alone = ask(u"347");
  ask(u"12345");
  EXPECT_EQ(ask(u"347"), alone);
  ask(u"999");
  EXPECT_EQ(ask(u"347"), alone);
  ask(u"2004年5月6日");
  EXPECT_EQ(ask(u"347"), alone);
  ask(u"123456789012");
  EXPECT_EQ(ask(u"1234567"), u"un millon doscientos treinta y cuatro mil quinientos sesenta y siete ");
}

// --- cross-checks against independent readings ----------------------------------

// The Spanish words of a number in this program's forms: "un mil" for the
// thousands of a four-digit number, "un millon", "un mil millones", and "uno"
// for a 1 before "mil" or "millones" inside a longer number.
std::string reference(const std::string& digits) {
  static const char* units[] = {"cero", "uno", "dos", "tres", "cuatro", "cinco", "seis", "siete", "ocho", "nueve"};
  static const char* ones[] = {"diez",      "once",        "doce",        "trece",      "catorce",
                               "quince",    "dieciséis",   "diecisiete",  "dieciocho",  "diecinueve",
                               "veinte",    "veintiuno",   "veintidós",   "veintitrés", "veinticuatro",
                               "veinticinco", "veintiséis", "veintisiete", "veintiocho", "veintinueve"};
  static const char* tens[] = {"", "", "", "treinta", "cuarenta", "cincuenta", "sesenta", "setenta", "ochenta", "noventa"};
  static const char* hundreds[] = {"",           "ciento",     "doscientos", "trescientos", "cuatrocientos",
                                   "quinientos", "seiscientos", "setecientos", "ochocientos", "novecientos"};
  auto below100 = [&](int n) -> std::string {
    if (n < 10) return units[n];
    if (n < 30) return ones[n - 10];
    return std::string(tens[n / 10]) + (n % 10 ? std::string(" y ") + units[n % 10] : "");
  };
  auto below1000 = [&](int n) -> std::string {
    const int h = n / 100, r = n % 100;
    if (!h) return below100(r);
    const std::string hw = h == 1 && r == 0 ? "cien" : hundreds[h];
    return r ? hw + " " + below100(r) : hw;
  };
  const size_t len = digits.size();
  const uint64_t n = std::stoull(digits);
  auto join = [](std::string a, const std::string& b) { return a.empty() ? b : b.empty() ? a : a + " " + b; };
  const int rest = static_cast<int>(n % 1000);
  const int thousands = static_cast<int>(n / 1000 % 1000);
  const int millions = static_cast<int>(n / 1'000'000 % 1000);
  const int thousandMillions = static_cast<int>(n / 1'000'000'000);
  if (len == 1) return units[n];
  std::string out;
  if (len >= 10) {
    out = len == 10 && thousandMillions == 1 ? "un mil" : below1000(thousandMillions) + " mil";
    out = join(out, millions ? below1000(millions) + " millones" : "millones");
  } else if (len >= 7) {
    out = len == 7 && millions == 1 ? "un millon" : below1000(millions) + " millones";
  }
  if (len == 4)
    out = thousands == 1 ? "un mil" : std::string(units[thousands]) + " mil";
  else if (len >= 5 && thousands)
    out = join(out, below1000(thousands) + " mil");
  if (rest) out = join(out, below1000(rest));
  return out;
}

std::string collapsedBlanks(const Text& t) {
  std::string out;
  for (char c : toUtf8(t)) {
    if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
    out += c;
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

TEST_F(NumbersTest, RandomNumbersOfEveryLengthReadAsSpanishNumbers) {
  std::mt19937_64 rng(20240506);
  for (int i = 0; i < 1200; ++i) {
    const int len = 1 + i % 12;
    std::string digits(1, static_cast<char>('1' + rng() % 9));
    for (int k = 1; k < len; ++k) {
      // Zeros are frequent, so that empty groups and whole hundreds come up.
      const auto r = rng() % 14;
      digits += static_cast<char>(r < 5 ? '0' : '0' + r % 10);
    }
    SCOPED_TRACE(digits);
    EXPECT_EQ(collapsedBlanks(ask(fromUtf8(digits))), reference(digits));
  }
}

// A number in standard Chinese numerals: 零 once for every run of empty
// places between digits, except at the end of a 万 or 亿 section; a leading
// 一十 is written 十.
Text chinese(uint64_t n) {
  static const char16_t* digitChars = u"零一二三四五六七八九";
  static const char16_t* placeChars[] = {u"千", u"百", u"十", u""};
  const uint64_t sections[] = {n / 100'000'000, n / 10'000 % 10'000, n % 10'000};
  const char16_t* sectionUnits[] = {u"亿", u"万", u""};
  Text out;
  bool pendingZero = false;
  for (int s = 0; s < 3; ++s) {
    const uint64_t sec = sections[s];
    if (!sec) {
      if (!out.empty()) pendingZero = true;
      continue;
    }
    const int d[] = {int(sec / 1000), int(sec / 100 % 10), int(sec / 10 % 10), int(sec % 10)};
    for (int p = 0; p < 4; ++p) {
      if (!d[p]) {
        if (!out.empty()) pendingZero = true;
        continue;
      }
      if (pendingZero) out += u"零";
      pendingZero = false;
      out += digitChars[d[p]];
      out += placeChars[p];
    }
    out += sectionUnits[s];
    pendingZero = false;
  }
  if (out.rfind(u"一十", 0) == 0) out.erase(0, 1);
  return out;
}

TEST_F(NumbersTest, RandomChineseNumeralsBecomeTheirDigits) {
  EXPECT_EQ(chinese(10'005'000), u"一千万五千");
  EXPECT_EQ(chinese(100'005'000), u"一亿零五千");
  EXPECT_EQ(chinese(110'000), u"十一万");
  std::mt19937_64 rng(8);
  for (int i = 0; i < 1500; ++i) {
    // Numbers of 1 to 12 digits with many zeros.
    const int len = 1 + i % 12;
    uint64_t n = 1 + rng() % 9;
    for (int k = 1; k < len; ++k) n = n * 10 + (rng() % 3 ? 0 : rng() % 10);
    const Text numeral = chinese(n);
    SCOPED_TRACE(toUtf8(numeral));
    ask(numeral);
    EXPECT_EQ(toUtf8(digitString()), std::to_string(n));
    // Before a mark the number ends as it does at the end of the request. A
    // comma after a Chinese numeral ends the scan, one after digits is dropped.
    for (const auto& [mark, kept] : {std::pair<TextView, std::string>{u"%", "%"}, {u",", ""}}) {
      const Text request = numeral + Text(mark);
      const std::string arabic = std::to_string(n) + toUtf8(mark);
      SCOPED_TRACE(toUtf8(request));
      const Text answer = ask(request);
      // The slots hold the first twelve characters of the digit string.
      EXPECT_EQ(toUtf8(digitString()), (std::to_string(n) + kept).substr(0, 12));
      EXPECT_EQ(toUtf8(answer), toUtf8(ask(fromUtf8(arabic))));
    }
  }
}

// The year is the number's run only: the 月 and day that follow must not keep
// its units from their zeros.
TEST_F(NumbersTest, RandomChineseYearsBecomeTheirDigits) {
  std::mt19937_64 rng(1900);
  for (int i = 0; i < 900; ++i) {
    const int len = 1 + i % 9;
    uint64_t n = 1 + rng() % 9;
    for (int k = 1; k < len; ++k) n = n * 10 + (rng() % 3 ? 0 : rng() % 10);
    const std::string digits = std::to_string(n);
    for (const auto& [tail, arabicTail] : {std::pair<TextView, std::string>{u"年", "年"}, {u"年五月", "年5月"}}) {
      const Text request = chinese(n) + Text(tail);
      const Text arabic = fromUtf8(digits + arabicTail);
      SCOPED_TRACE(toUtf8(request));
      const Text answer = ask(request);
      EXPECT_EQ(toUtf8(digitString()), toUtf8(arabic));
      EXPECT_EQ(toUtf8(answer), toUtf8(ask(arabic)));
    }
  }
}

// --- through the input box -----------------------------------------------------

TEST(NumbersTypedIntoTheInputBox, ShowTheirSpanishWordsAtOnce) {
  TempDir dir;
  Program p(dir.path());
  FrmLexaro& w = testing::startMainWindow(p);
  const std::initializer_list<Case> cases = {
      {u"25", u"veinticinco "},
      {u"一百二十三", u"ciento veintitrés "},
      {u"45%", u"cuarenta y cinco por ciento"},
      {u"123456%", u"ciento veintitrés mil cuatrocientos cincuenta y seis por ciento"},
      {u"3%5", u""},
      {u"2004年5月6日", u"el 6 de mayo de 2004"},
      {u"十二月二十五日", u"el 25 de diciembre"},
      {u"十万", u"cien mil "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.in));
    ASSERT_TRUE(p.user().type(w.RichTextBox16, c.in));
    EXPECT_TRUE(w.Text33.Visible);
    EXPECT_EQ(toUtf8(w.Text33.text()), toUtf8(c.out));
    for (size_t i = 0; i < c.in.size(); ++i) p.user().pressKey(w.RichTextBox16, kKeyBack);
    EXPECT_EQ(w.RichTextBox16.text(), u"");
    EXPECT_FALSE(w.Text33.Visible);
  }
}

// --- the shipped number-word table ---------------------------------------------

TEST(NumberWordTable, KeysAreNeverEmptyAndTheReservedKeysAreAbsent) {
  std::ifstream in(shippedDataDir() / "SZK1.tsv", std::ios::binary);
  ASSERT_TRUE(in);
  std::stringstream ss;
  ss << in.rdbuf();
  const SeedRows seed = parseSeed(ss.str());
  ASSERT_EQ(seed.fields, FrmSZ::numberWordTable().fields);
  std::map<std::pair<size_t, Text>, Text> words;
  for (const auto& row : seed.rows) {
    bool used = false;
    for (size_t k = 0; k < 6; k += 2) {
      const auto& key = row[k];
      const auto& word = row[k + 1];
      EXPECT_EQ(key.has_value(), word.has_value()) << "a key without its word, or a word without its key";
      if (!key) continue;
      used = true;
      EXPECT_FALSE(key->empty());
      EXPECT_TRUE(words.emplace(std::make_pair(k, *key), *word).second) << toUtf8(*key) << " twice";
    }
    EXPECT_TRUE(used);
  }
  auto word = [&](size_t keyField, TextView key) { return toUtf8(words[{keyField, Text(key)}]); };
  EXPECT_FALSE(words.count({2, u"0"}));
  EXPECT_FALSE(words.count({2, u"00"}));
  EXPECT_FALSE(words.count({4, u"00"}));
  EXPECT_EQ(word(2, u"16"), "dieciséis");
  EXPECT_EQ(word(2, u"22"), "veintidós");
  EXPECT_EQ(word(2, u"23"), "veintitrés");
  EXPECT_EQ(word(2, u"26"), "veintiséis");
  EXPECT_EQ(word(2, u"05"), "cinco");
  EXPECT_EQ(word(4, u"05"), "mayo");
  EXPECT_EQ(word(4, u"12"), "diciembre");
  EXPECT_EQ(word(4, u"100"), "ciento");
}

}  // namespace
}  // namespace zuvo
