#include "platform/text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace zuvo {
namespace {

// The UTF-16 units of t in hex, for failure messages.
std::string units(TextView t) {
  std::string out;
  for (const char16_t c : t) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04X ", static_cast<unsigned>(c));
    out += buf;
  }
  return out.empty() ? "(empty)" : out;
}

std::string hexBytes(std::string_view s) {
  std::string out;
  for (const char c : s) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02X ", static_cast<unsigned char>(c));
    out += buf;
  }
  return out.empty() ? "(empty)" : out;
}

// "29.7" for 297: the decimal text of a number of tenths.
std::string tenthsText(int tenths) {
  std::string out = std::to_string(tenths / 10);
  if (tenths % 10 != 0) {
    out += '.';
    out += static_cast<char>('0' + tenths % 10);
  }
  return out;
}

#define EXPECT_TEXT_EQ(got, want) \
  EXPECT_EQ(units(got), units(want)) << "got \"" << toUtf8(got) << "\", want \"" << toUtf8(want) << "\""

// --- NumText -----------------------------------------------------------------

TEST(NumText, Doubles) {
  struct Case {
    double v;
    const char16_t* want;
  };
  const std::vector<Case> cases = {
      {0.3 + 0.3 + 0.3, u"0.9"},
      {0.1 + 0.2, u"0.3"},
      {90.0, u"90"},
      {100.0, u"100"},
      {-2.0, u"-2"},
      {0.0, u"0"},
      {-0.0, u"0"},
      {0.5, u"0.5"},
      {-0.5, u"-0.5"},
      {12.5, u"12.5"},
      {1.0 / 3.0, u"0.333333333333333"},
      {2.0 / 3.0, u"0.666666666666667"},
      {-2.0 / 3.0, u"-0.666666666666667"},
      {0.0001, u"0.0001"},
      {0.00015, u"0.00015"},
      {0.00001, u"1E-05"},
      {0.000015, u"1.5E-05"},
      {1.5e-7, u"1.5E-07"},
      {-1.5e-7, u"-1.5E-07"},
      {1e-100, u"1E-100"},
      {1e14, u"100000000000000"},
      {123456789012345.0, u"123456789012345"},
      {-123456789012345.0, u"-123456789012345"},
      {1e15, u"1E+15"},
      {-1e15, u"-1E+15"},
      {1234567890123456.0, u"1.23456789012346E+15"},
      {999999999999999.9, u"1E+15"},  // rounds up to 16 digits
      {99999.99999999999, u"100000"},
      {1e100, u"1E+100"},
      {DBL_MAX, u"1.79769313486232E+308"},
      {5e-324, u"4.94065645841247E-324"},
      {3.14159265358979, u"3.14159265358979"},
      {std::numeric_limits<double>::infinity(), u"1.#INF"},
      {-std::numeric_limits<double>::infinity(), u"-1.#INF"},
      {std::numeric_limits<double>::quiet_NaN(), u"-1.#IND"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "value " << c.v);
    EXPECT_TEXT_EQ(NumText(c.v), Text(c.want));
  }
}

TEST(NumText, RepeatedAdditionOfPointThree) {
  // Plain double addition drifts: after 299 additions the sum is
  // 89.69999999999953..., whose 15-digit text is not "89.7". (The original's
  // Str/CStr, also 15 digits, shows the same drift.)
  double sum = 0.0;
  for (int i = 1; i <= 299; ++i) sum += 0.3;
  EXPECT_TEXT_EQ(NumText(sum), Text(u"89.6999999999995"));
  sum += 0.3;
  EXPECT_TEXT_EQ(NumText(sum), Text(u"89.9999999999995"));
}

TEST(NumText, AdditionThroughTheBoxStaysClean) {
  // When the running sum lives in a box (written with NumText, read back with
  // Val, as the handlers do), every step shows the exact decimal k*3/10:
  // "89.7" after 299 steps and "90" after the 300th.
  Text box = NumText(0);
  for (int k = 1; k <= 1000; ++k) {
    box = NumText(Val(box) + 0.3);
    const std::string want = tenthsText(k * 3);
    ASSERT_EQ(toUtf8(box), want) << "after " << k << " additions";
    if (k == 299) {
      EXPECT_TEXT_EQ(box, Text(u"89.7"));
    }
    if (k == 300) {
      EXPECT_TEXT_EQ(box, Text(u"90"));
    }
  }
}

TEST(NumText, SmallSumsOfPointThree) {
  // Before the drift reaches the 15th digit, plain addition looks clean too.
  double sum = 0.0;
  for (int k = 1; k <= 100; ++k) {
    sum += 0.3;
    const std::string want = tenthsText(k * 3);
    EXPECT_EQ(toUtf8(NumText(sum)), want) << "after " << k << " additions";
  }
}

TEST(NumText, Integers) {
  struct Case {
    int64_t v;
    const char16_t* want;
  };
  const std::vector<Case> cases = {
      {0, u"0"},
      {-2, u"-2"},
      {49, u"49"},
      {-11589, u"-11589"},
      {1000000000000000, u"1000000000000000"},
      {INT64_MAX, u"9223372036854775807"},
      {INT64_MIN, u"-9223372036854775808"},
  };
  for (const auto& c : cases) {
    EXPECT_TEXT_EQ(NumText(c.v), Text(c.want));
  }
  EXPECT_TEXT_EQ(NumText(7), Text(u"7"));  // the int overload
}

// --- Val ---------------------------------------------------------------------

TEST(Val, Table) {
  struct Case {
    const char16_t* text;
    double want;
  };
  const std::vector<Case> cases = {
      {u"", 0},
      {u"abc", 0},
      {u"12a", 12},
      {u"12abc34", 12},
      {u" 1 2", 12},
      {u"\t1\r\n2", 12},
      {u"- 3", -3},
      {u"-3.5", -3.5},
      {u"+5", 5},
      {u"--5", 0},
      {u"-", 0},
      {u".", 0},
      {u".5", 0.5},
      {u"-.5", -0.5},
      {u"5.", 5},
      {u"1.2.3", 1.2},
      {u"00012", 12},
      {u"1,5", 1},
      {u"0.3", 0.3},
      {u"89.7", 89.7},
      {u"1e3", 1000},
      {u"1E-2", 0.01},
      {u"1d2", 100},
      {u"1D+2", 100},
      {u"1 e 2", 100},
      {u"1e", 1},
      {u"1e+", 1},
      {u"1ex", 1},
      {u"e5", 0},
      {u"1E-05", 0.00001},
      {u"1.5E-07", 1.5e-7},
      {u"1E+15", 1e15},
      {u"1e-400", 0},
      {u"&H10", 16},
      {u"&h1f", 31},
      {u"&H 1 0", 16},
      {u"&O17", 15},
      {u"&o17", 15},
      {u"&O8", 0},
      {u"&H", 0},
      {u"&HG", 0},
      {u"&", 0},
      {u"&X10", 0},
      {u"&H7FFF", 32767},
      {u"&HFFFF", -1},        // an Integer, as in the original
      {u"&HFFFF&", 65535},    // the Long suffix
      {u"&H10000", 65536},
      {u"&HFFFFFFFF", -1},    // a Long
      {u"&O177777", -1},
      {u"0x10", 0},
      {u"\uFF11\uFF12", 0},   // full-width digits are not digits
      {u"3\uFF11", 3},
      {u"\u00A012", 0},       // a no-break space is not a blank
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "text \"" << toUtf8(c.text) << "\"");
    EXPECT_DOUBLE_EQ(Val(c.text), c.want);
  }
}

// Plain decimals, the counters' texts among them, read exactly as the C
// library reads them, to the last bit.
TEST(Val, PlainDecimalsAsStrtod) {
  std::mt19937_64 rng(7);
  std::vector<std::string> texts = {"0", "-0", "7", "0.2", "99.8", "100", "-12.5", "1.", "123456789012345",
                                    "0.000000000000001", "99999999999999.9", "12345.678901234"};
  for (int i = 0; i < 20000; ++i) {
    const int digits = 1 + static_cast<int>(rng() % 15);
    std::string t = rng() % 4 == 0 ? "-" : "";
    const int point = static_cast<int>(rng() % (digits + 1));
    for (int d = 0; d < digits; ++d) {
      if (d == point && point > 0) t += '.';
      t += static_cast<char>('0' + rng() % 10);
    }
    texts.push_back(t);
  }
  for (const std::string& t : texts) {
    SCOPED_TRACE(t);
    const double want = std::strtod(t.c_str(), nullptr);
    const double got = Val(fromUtf8(t));
    EXPECT_EQ(std::memcmp(&got, &want, sizeof got), 0) << got << " != " << want;
  }
}

TEST(Val, Extremes) {
  EXPECT_TRUE(std::isinf(Val(u"1e400")));
  EXPECT_GT(Val(u"1e400"), 0);
  EXPECT_TRUE(std::isinf(Val(u"-1e99999999999999999999")));
  EXPECT_LT(Val(u"-1e99999999999999999999"), 0);
  EXPECT_EQ(Val(u"1e-99999999999999999999"), 0);
  EXPECT_EQ(Val(u"&HFFFFFFFFFFFFFFFFFFFF"), static_cast<double>(UINT64_MAX));
  EXPECT_EQ(Val(Text(400, u'9') + u"e-400"), Val(u"1"));
}

TEST(Val, ReadsBackNumText) {
  for (const double v : {0.9, 89.7, -2.0, 1e-5, 1.5e-7, 1e15, 123456789012345.0, 2.0 / 3.0}) {
    const double back = Val(NumText(v));
    EXPECT_NEAR(back, v, std::fabs(v) * 1e-14) << toUtf8(NumText(v));
  }
}

// --- GBK ---------------------------------------------------------------------

TEST(Gbk, CodeText) {
  struct Case {
    char16_t c;
    const char16_t* want;
  };
  const std::vector<Case> cases = {
      {u'1', u"49"},
      {LF, u"10"},
      {CR, u"13"},
      {u'\0', u"0"},
      {u'?', u"63"},
      {u'\u4E00', u"-11589"},   // 一
      {u'\u5343', u"-14425"},   // 千
      {u'\u00E1', u"-22366"},   // á
      {u'\u0148', u"-22338"},   // ň
      {u'\u3000', u"-24159"},   // the ideographic space
      {u'\u00F1', u"63"},       // ñ is not in GBK
      {u'\u00BF', u"63"},       // ¿ is not in GBK
      {u'\uFFFF', u"63"},
      {u'\uFEFF', u"63"},
      {char16_t{0xD800}, u"63"},       // a lone surrogate
      {char16_t{0xDC00}, u"63"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "character U+" << std::hex << static_cast<unsigned>(c.c));
    EXPECT_TEXT_EQ(gbkCodeText(c.c), Text(c.want));
  }
  EXPECT_EQ(gbkCode(u'\u4E00'), -11589);
}

TEST(Gbk, RoundTrip) {
  const Text text = u"一千 ňá 1\r\n中文字典 ¡Hola!";
  const std::string bytes = toGbk(text);
  EXPECT_EQ(hexBytes(toGbk(u"一千")), "D2 BB C7 A7 ");
  EXPECT_EQ(hexBytes(toGbk(u"a\r\n")), "61 0D 0A ");
  const Text back = fromGbk(bytes);
  // ¡ is not in GBK and comes back as '?'.
  EXPECT_TEXT_EQ(back, Text(u"一千 ňá 1\r\n中文字典 ?Hola!"));
  EXPECT_TEXT_EQ(fromGbk(""), Text());
  EXPECT_EQ(toGbk(u""), "");
}

TEST(Gbk, OutsideGbk) {
  EXPECT_EQ(toGbk(u"ñ"), "?");
  EXPECT_EQ(toGbk(u"a\U0001F600b"), "a?b");  // one character, one '?'
  EXPECT_EQ(toGbk(Text(1, char16_t{0xD800}) + u"x"), "?x");
}

TEST(Gbk, UndecodableBytes) {
  EXPECT_TEXT_EQ(fromGbk("\xFF"), Text(u"\uFFFD"));
  EXPECT_TEXT_EQ(fromGbk("a\xD2"), Text(u"a\uFFFD"));          // cut off
  EXPECT_TEXT_EQ(fromGbk("a\x81\x30" "b"), Text(u"a\uFFFD0b"));  // bad trail byte
  EXPECT_TEXT_EQ(fromGbk("\xD2\xBB\xFF\xC7\xA7"), Text(u"一\uFFFD千"));
}

TEST(Gbk, LongTextCrossesBuffers) {
  Text text;
  for (int i = 0; i < 5000; ++i) text += u"一a千";
  const std::string bytes = toGbk(text);
  EXPECT_EQ(bytes.size(), 5000u * 5);
  EXPECT_TEXT_EQ(fromGbk(bytes), text);
}

// A file's worth of GBK reads as each of its characters reads alone, and a
// byte that is no character fails it however large it is.
TEST(Gbk, ALargeTextDecodesExactlyAsItsCharactersDoAlone) {
  std::string every;
  Text want;
  for (int b = 0x80; b < 0x100; ++b)
    for (int trail = -1; trail < 0x100; ++trail) {
      std::string bytes(1, static_cast<char>(b));
      if (trail >= 0) bytes += static_cast<char>(trail);
      if (auto t = fromGbkExactly(bytes)) {
        every += bytes;
        want += *t;
      }
    }
  EXPECT_GT(want.size(), 21000u);
  std::string large;
  Text wantLarge;
  while (large.size() < (size_t{2} << 20)) {
    large += every + "Hola\r\n";
    wantLarge += want + u"Hola\r\n";
  }
  EXPECT_TRUE(fromGbkExactly(large) == wantLarge);
  for (const std::string bad : {"\x81", "\xFF" "a", "\x81\x7F", "\xA1\x30"})
    EXPECT_EQ(fromGbkExactly(large + bad), std::nullopt) << hexBytes(bad);
}

TEST(Gbk, CodeAgreesWithToGbkForTheWholeBmp) {
  int inGbk = 0;
  for (int c = 0; c < 0x10000; ++c) {
    const auto ch = static_cast<char16_t>(c);
    const int code = gbkCode(ch);
    ASSERT_GE(code, -32768);
    ASSERT_LE(code, 255);
    std::string want;
    if (code >= 0) {
      want += static_cast<char>(code);
    } else {
      want += static_cast<char>((code + 65536) >> 8);
      want += static_cast<char>((code + 65536) & 0xFF);
    }
    ASSERT_EQ(toGbk(Text(1, ch)), want) << "U+" << std::hex << c;
    if (code != 63) {
      ++inGbk;
      ASSERT_EQ(fromGbk(want), Text(1, ch)) << "U+" << std::hex << c;
    }
  }
  EXPECT_GT(inGbk, 21000);  // GBK holds about 21886 characters
}

// --- UTF-8 -------------------------------------------------------------------

TEST(Utf8, RoundTrip) {
  struct Case {
    Text text;
    std::string utf8;
  };
  const std::vector<Case> cases = {
      {u"", ""},
      {u"abc\r\n", "abc\r\n"},
      {u"ň", "\xC5\x88"},
      {u"á", "\xC3\xA1"},
      {u"一千", "\xE4\xB8\x80\xE5\x8D\x83"},
      {u"España, ¿qué? 中文", "Espa\xC3\xB1" "a, \xC2\xBFqu\xC3\xA9? \xE4\xB8\xAD\xE6\x96\x87"},
      {u"\U0001F600", "\xF0\x9F\x98\x80"},   // a surrogate pair
      {u"\U00020000", "\xF0\xA0\x80\x80"},   // 𠀀
      {u"\uFFFF", "\xEF\xBF\xBF"},
      {Text(u"\0x", 2), std::string("\0x", 2)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(units(c.text));
    EXPECT_EQ(hexBytes(toUtf8(c.text)), hexBytes(c.utf8));
    EXPECT_TEXT_EQ(fromUtf8(c.utf8), c.text);
    EXPECT_TRUE(isValidUtf8(c.utf8));
  }
  EXPECT_EQ(Len(fromUtf8("\xF0\x9F\x98\x80")), 2);  // kept as two units
}

TEST(Utf8, LoneSurrogatesBecomeReplacement) {
  EXPECT_EQ(hexBytes(toUtf8(Text(1, char16_t{0xD83D}))), "EF BF BD ");
  EXPECT_EQ(hexBytes(toUtf8(Text(1, char16_t{0xDE00}) + u"a")), "EF BF BD 61 ");
  EXPECT_EQ(hexBytes(toUtf8(Text{char16_t{0xD83D}, u'a'})), "EF BF BD 61 ");
}

TEST(Utf8, Invalid) {
  struct Case {
    std::string bytes;
    const char16_t* decoded;
  };
  const std::vector<Case> cases = {
      {"\x80", u"\uFFFD"},
      {"a\xFF" "b", u"a\uFFFDb"},
      {"\xC0\x80", u"\uFFFD\uFFFD"},              // overlong
      {"\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},    // overlong
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},    // an encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
      {"\xE4\xB8", u"\uFFFD"},                    // cut off
      {"\xE4\xB8" "a", u"\uFFFDa"},
      {"\xF0\x9F\x98", u"\uFFFD"},
      {"\xC5", u"\uFFFD"},
      {"\xC3" "A", u"\uFFFDA"},                   // a lead byte without its tail
      {"\xE4\xB8\xC0", u"\uFFFD\uFFFD"},
      {"\xE4" "A\x80", u"\uFFFDA\uFFFD"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(hexBytes(c.bytes));
    EXPECT_FALSE(isValidUtf8(c.bytes));
    EXPECT_TEXT_EQ(fromUtf8(c.bytes), Text(c.decoded));
  }
  EXPECT_TRUE(isValidUtf8("plain ascii"));
  EXPECT_TRUE(isValidUtf8("\xF4\x8F\xBF\xBF"));  // U+10FFFF
}

// --- String helpers ----------------------------------------------------------

TEST(Strings, LenLeftRight) {
  EXPECT_EQ(Len(u""), 0);
  EXPECT_EQ(Len(u"a\r\nb"), 4);  // CR LF counts two
  EXPECT_EQ(Len(u"一千"), 2);

  struct Case {
    const char16_t* text;
    int64_t n;
    const char16_t* left;
    const char16_t* right;
  };
  const std::vector<Case> cases = {
      {u"abcde", 2, u"ab", u"de"},
      {u"abcde", 0, u"", u""},
      {u"abcde", -1, u"", u""},
      {u"abcde", INT64_MIN, u"", u""},
      {u"abcde", 5, u"abcde", u"abcde"},
      {u"abcde", 6, u"abcde", u"abcde"},
      {u"abcde", INT64_MAX, u"abcde", u"abcde"},
      {u"", 3, u"", u""},
      {u"一千字", 1, u"一", u"字"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << toUtf8(c.text) << " n=" << c.n);
    EXPECT_TEXT_EQ(Left(c.text, c.n), Text(c.left));
    EXPECT_TEXT_EQ(Right(c.text, c.n), Text(c.right));
  }
}

TEST(Strings, Mid) {
  struct Case {
    const char16_t* text;
    int64_t start;
    int64_t len;
    const char16_t* want;
  };
  const std::vector<Case> cases = {
      {u"abcde", 2, 3, u"bcd"},
      {u"abcde", 2, -1, u"bcde"},
      {u"abcde", 2, INT64_MIN, u"bcde"},
      {u"abcde", 1, 0, u""},
      {u"abcde", 0, 2, u"ab"},       // start < 1 counts as 1
      {u"abcde", -5, -1, u"abcde"},
      {u"abcde", INT64_MIN, 1, u"a"},
      {u"abcde", 5, 1, u"e"},
      {u"abcde", 5, 100, u"e"},
      {u"abcde", 6, 1, u""},         // beyond the end
      {u"abcde", 6, -1, u""},
      {u"abcde", INT64_MAX, INT64_MAX, u""},
      {u"abcde", 3, INT64_MAX, u"cde"},
      {u"", 1, -1, u""},
      {u"a\r\nb", 2, 2, u"\r\n"},
      {u"一千字", 2, 1, u"千"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << toUtf8(c.text) << " start=" << c.start << " len=" << c.len);
    EXPECT_TEXT_EQ(Mid(c.text, c.start, c.len), Text(c.want));
  }
  EXPECT_TEXT_EQ(Mid(u"abcde", 3), Text(u"cde"));  // the default length
}

TEST(Strings, LastChar) {
  EXPECT_TEXT_EQ(LastChar(u""), Text());
  EXPECT_TEXT_EQ(LastChar(u"abc"), Text(u"c"));
  EXPECT_TEXT_EQ(LastChar(u"a\r\n"), Text(u"\n"));
  EXPECT_TEXT_EQ(LastChar(u"一千"), Text(u"千"));
}

TEST(Strings, InStr) {
  struct Case {
    int64_t start;
    const char16_t* hay;
    const char16_t* needle;
    int64_t want;
  };
  const std::vector<Case> cases = {
      {1, u"abcabc", u"bc", 2},
      {2, u"abcabc", u"bc", 2},
      {3, u"abcabc", u"bc", 5},
      {6, u"abcabc", u"bc", 0},
      {5, u"abcabc", u"bc", 5},
      {0, u"abcabc", u"bc", 2},      // start < 1 counts as 1
      {-7, u"abcabc", u"a", 1},
      {INT64_MIN, u"abcabc", u"c", 3},
      {7, u"abcabc", u"c", 0},       // beyond the end
      {INT64_MAX, u"abcabc", u"c", 0},
      {1, u"abc", u"abcd", 0},
      {1, u"abc", u"x", 0},
      {1, u"", u"x", 0},
      {1, u"abc", u"ABC", 0},        // case-sensitive
      // The empty needle gives start while start <= Len + 1.
      {1, u"abc", u"", 1},
      {3, u"abc", u"", 3},
      {4, u"abc", u"", 4},
      {5, u"abc", u"", 0},
      {0, u"abc", u"", 1},
      {1, u"", u"", 1},
      {2, u"", u"", 0},
      {INT64_MAX, u"abc", u"", 0},
      {1, u"中文字典", u"字", 3},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    const auto& c = cases[i];
    SCOPED_TRACE(testing::Message() << "case " << i);
    EXPECT_EQ(InStr(c.start, c.hay, c.needle), c.want);
  }
  EXPECT_EQ(InStr(1, u"a\r\nb", CRLF), 2);
  EXPECT_EQ(InStr(3, u"a\r\nb", CRLF), 0);
}

TEST(Strings, StrComp) {
  struct Case {
    const char16_t* a;
    const char16_t* b;
    int want;
  };
  const std::vector<Case> cases = {
      {u"a", u"b", -1},
      {u"b", u"a", 1},
      {u"a", u"a", 0},
      {u"", u"", 0},
      {u"", u"a", -1},
      {u"ab", u"a", 1},
      {u"a", u"A", 1},          // by code: 'a' is 97, 'A' 65
      {u"Z", u"a", -1},
      {u"\uFFFF", u"\U0001F600", 1},  // code units, not code points
      {u"一", u"千", -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(toUtf8(c.a) + " vs " + toUtf8(c.b));
    EXPECT_EQ(StrComp(c.a, c.b), c.want);
  }
}

TEST(Strings, ReplaceAll) {
  struct Case {
    const char16_t* text;
    const char16_t* from;
    const char16_t* to;
    const char16_t* want;
  };
  const std::vector<Case> cases = {
      {u"aaa", u"a", u"b", u"bbb"},
      {u"aaa", u"aa", u"b", u"ba"},
      {u"aaa", u"a", u"aa", u"aaaaaa"},
      {u"abc", u"", u"x", u"abc"},
      {u"", u"a", u"b", u""},
      {u"abc", u"b", u"", u"ac"},
      {u"a\r\nb\r\n", u"\r\n", u"\n", u"a\nb\n"},
      {u"一千一", u"一", u"千", u"千千千"},
      {u"abc", u"abcd", u"x", u"abc"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(toUtf8(c.text));
    EXPECT_TEXT_EQ(ReplaceAll(c.text, c.from, c.to), Text(c.want));
  }
}

}  // namespace
}  // namespace zuvo
