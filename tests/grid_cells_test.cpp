// The grid mirror's columns: kept as SQLite's UTF-8 bytes where that is
// sound and smaller, else in UTF-16, and in either form giving the same
// cells and the same search hits as a plain list of UTF-16 texts, before
// and after edits.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/text.h"
#include "store/grid_cells.h"

namespace zuvo {
namespace {

// A column filled as the grid read fills it, from each cell's bytes.
GridMirrorCells filled(const std::vector<std::string>& cells) {
  GridMirrorCells c;
  c.startFill(0, cells.size());
  for (const std::string& b : cells) c.appendBytes(b);
  c.settle();
  return c;
}

// What a plain list of texts answers for a search from `first`.
int64_t plainFind(const std::vector<Text>& want, size_t first, TextView what) {
  for (size_t i = first; i < want.size(); ++i)
    if (want[i].find(what) != Text::npos) return static_cast<int64_t>(i);
  return -1;
}

// Every cell read back, and every needle sought from every cell, as the
// plain list answers.
void expectSameAs(const GridMirrorCells& c, const std::vector<Text>& want, const std::vector<Text>& needles) {
  ASSERT_EQ(c.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) ASSERT_EQ(c.cell(i), want[i]) << "cell " << i;
  for (const Text& n : needles) {
    const GridNeedle needle(n);
    for (size_t first = 0; first <= want.size(); ++first)
      ASSERT_EQ(c.find(first, needle), plainFind(want, first, n)) << toUtf8(n) << " from " << first;
  }
}

// Needles of every kind: within a cell, over a cell's end, one of a pair's
// halves alone, a lone surrogate with no partner anywhere, one byte of a
// multi-byte character.
const std::vector<Text> kNeedles = {
    u"a",       u"frase",  u"句",        u"。/",       u"/fr",  u"1/",    u"ba",   u"\U0001F600", u"\xD83D",
    u"\xDE00",  u"!\xD83D", u"\xDE00?",  u"\xDBFF",   u"\xFFFD", u"\x00E4", u"ñ",    u"五六",      u"x",
    u"Año 2 ", u"\r\n",   u"a much longer needle than any cell", u"",
};

// Bytes of one cell, in UTF-8.
std::string bytesOf(TextView t) { return toUtf8(t); }

TEST(GridCellsTest, EachColumnKeepsTheSmallerSoundFormAndAnswersAsPlainTexts) {
  struct Case {
    const char* what;
    std::vector<std::string> bytes;  // each cell as SQLite hands it over
    std::vector<Text> want;          // as the windows see it
    bool compact;
  };
  const std::vector<Case> cases = {
      {"ASCII only", {"frase 1", "", "abc", "ba"}, {u"frase 1", u"", u"abc", u"ba"}, true},
      {"Chinese and Spanish, as the sentence pairs",
       {bytesOf(u"这是第1个句子。/Esta es la frase 1"), bytesOf(u"第2句。/Año 2 \U0001F600!"), "",
        bytesOf(u"ñ\r\nx")},
       {u"这是第1个句子。/Esta es la frase 1", u"第2句。/Año 2 \U0001F600!", u"", u"ñ\r\nx"},
       true},
      {"every cell empty", {"", "", ""}, {u"", u"", u""}, true},
      {"no cell at all", {}, {}, true},
      {"mostly Chinese: UTF-16 is smaller",
       {bytesOf(u"五六七八"), bytesOf(u"句子"), bytesOf(u"a五六")},
       {u"五六七八", u"句子", u"a五六"},
       false},
      {"a damaged sequence",
       {"frase", "\xE4\xB8" "1\xC3", bytesOf(u"\U0001F600?")},
       {u"frase", u"\uFFFD1\uFFFD", u"\U0001F600?"},
       false},
      {"a character cut by a cell's end: well-formed as a whole, not cell by cell",
       {"ab\xE5", "\x8F\xA5" "cd", "x"},
       {u"ab\uFFFD", u"\uFFFD\uFFFDcd", u"x"},
       false},
      {"a surrogate's three bytes", {"a\xED\xA0\xBD", "b"}, {u"a\uFFFD\uFFFD\uFFFD", u"b"}, false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    const GridMirrorCells c = filled(k.bytes);
    EXPECT_EQ(c.compact(), k.compact);
    expectSameAs(c, k.want, kNeedles);
  }
}

// Edits of every kind, on a compact column before and after a cell was
// read (its widened form then follows the edits), and on a UTF-16 one: a
// text with a lone surrogate has no UTF-8 form, so the column turns to
// UTF-16, still answering as the plain list does.
TEST(GridCellsTest, EditsKeepTheCellsAndTheirSearchesAsPlainTexts) {
  struct Edit {
    char op;  // 'a' append, 'r' replace, 'p' take the last away
    size_t at;
    Text text;
  };
  struct Case {
    const char* what;
    std::vector<Text> start;
    bool readFirst;
    std::vector<Edit> edits;
    bool compactAfter;
  };
  const std::vector<Text> pairs = {u"这是第1个句子。/Esta es la frase 1", u"", u"frase 3 \U0001F600"};
  const std::vector<Edit> sound = {{'r', 0, u"más largo que antes: 第一"}, {'a', 0, u"nueva 4"}, {'r', 1, u"ya no vacía"},
                                   {'p', 0, u""},
                                   {'a', 0, u""},
                                   {'r', 2, u""},
                                   {'a', 0, u"\U0001F600 al final"}};
  std::vector<Edit> lone = sound;
  lone.insert(lone.begin() + 2, Edit{'r', 1, u"mitad \xD83D sola"});
  std::vector<Edit> loneAppended = {{'a', 0, u"\xDE00 al principio"}, {'r', 0, u"otra"}};
  const std::vector<Case> cases = {
      {"compact, never read", pairs, false, sound, true},
      {"compact, read before the edits", pairs, true, sound, true},
      {"compact, a lone surrogate replaced in", pairs, false, lone, false},
      {"compact and read, a lone surrogate replaced in", pairs, true, lone, false},
      {"compact, a lone surrogate added", pairs, true, loneAppended, false},
      {"UTF-16", {u"五六七八", u"句子", u"a五六"}, false, sound, false},
      {"UTF-16, read first", {u"五六七八", u"句子", u"a五六"}, true, lone, false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    std::vector<std::string> bytes;
    for (const Text& t : k.start) bytes.push_back(toUtf8(t));
    GridMirrorCells c = filled(bytes);
    std::vector<Text> want = k.start;
    if (k.readFirst) {
      ASSERT_NO_FATAL_FAILURE(expectSameAs(c, want, {}));
    }
    for (const Edit& e : k.edits) {
      if (e.op == 'a') {
        c.append(e.text);
        want.push_back(e.text);
      } else if (e.op == 'r') {
        c.replace(e.at, e.text);
        want[e.at] = e.text;
      } else {
        c.popBack();
        want.pop_back();
      }
      if (k.readFirst) {
        ASSERT_NO_FATAL_FAILURE(expectSameAs(c, want, {}));
      }
    }
    EXPECT_EQ(c.compact(), k.compactAfter);
    expectSameAs(c, want, kNeedles);
  }
}

// Cells joined from columns of either form into one of either form, as a
// table read again in parts is joined where its parts' blocks do not line
// up: the cells, in order, as plain texts.
TEST(GridCellsTest, CellsJoinedFromEitherFormAreThePlainTexts) {
  const std::vector<Text> spanish = {u"frase 1", u"", u"Año 3 \U0001F600", u"cuatro"};
  const std::vector<Text> chinese = {u"五六七八", u"句子", u"", u"第四句"};
  for (const auto* into : {&spanish, &chinese}) {
    for (const auto* from : {&spanish, &chinese}) {
      for (const bool intoRead : {false, true}) {
        SCOPED_TRACE(toUtf8(into->front() + u" <- " + from->front()) + (intoRead ? " read" : ""));
        std::vector<std::string> a, b;
        for (const Text& t : *into) a.push_back(toUtf8(t));
        for (const Text& t : *from) b.push_back(toUtf8(t));
        GridMirrorCells to = filled(a);
        const GridMirrorCells source = filled(b);
        if (intoRead) to.cell(0);
        to.appendCells(source, 1, 3);
        to.appendCells(source, 0, 0);
        std::vector<Text> want = *into;
        want.insert(want.end(), from->begin() + 1, from->end());
        expectSameAs(to, want, kNeedles);
      }
    }
  }
}

// Needles for columns of numbers: digits within a cell, over a cell's end
// (so "12" is in "12" and "112" but never in "1" followed by "2"), a minus
// sign, and texts no number holds.
const std::vector<Text> kNumberNeedles = {u"12", u"1", u"2", u"0", u"-", u"-1", u"99", u"10", u"23", u"007",
                                          u"7", u"x", u"1 ", u"Ø3D", u"807", u"5807", u""};

std::vector<Text> allNeedles() {
  std::vector<Text> n = kNeedles;
  n.insert(n.end(), kNumberNeedles.begin(), kNumberNeedles.end());
  return n;
}

// A column whose cells are the texts of consecutive whole numbers is
// counted; any other is not, and every column answers as the plain texts.
TEST(GridCellsTest, AColumnOfConsecutiveNumbersIsCountedAndAnswersAsPlainTexts) {
  struct Case {
    const char* what;
    std::vector<std::string> bytes;
    bool counted;
  };
  const std::vector<Case> cases = {
      {"consecutive from 8", {"8", "9", "10", "11", "12", "13"}, true},
      {"one number", {"5"}, true},
      {"negative to positive", {"-2", "-1", "0", "1", "2"}, true},
      {"up to the largest number", {"9223372036854775806", "9223372036854775807"}, true},
      {"from the smallest number", {"-9223372036854775808", "-9223372036854775807"}, true},
      {"a gap", {"1", "2", "4", "5"}, false},
      {"a repeat", {"1", "1"}, false},
      {"going down", {"3", "2"}, false},
      {"a text after numbers", {"1", "2", "x"}, false},
      {"a text first", {"x", "1", "2"}, false},
      {"leading zeros are not the number", {"007", "008"}, false},
      {"leading zeros after a number", {"6", "007"}, false},
      {"minus zero", {"-0", "1"}, false},
      {"a plus sign", {"+1", "2"}, false},
      {"a space", {" 1", "2"}, false},
      {"an empty cell", {"", "1"}, false},
      {"an empty cell after numbers", {"1", ""}, false},
      {"past the largest number", {"9223372036854775807", "9223372036854775808"}, false},
      {"too large to be a number", {"9223372036854775808", "9223372036854775809"}, false},
      {"spans the block's texts of every length", {"98", "99", "100", "101"}, true},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    const GridMirrorCells c = filled(k.bytes);
    EXPECT_EQ(c.counted(), k.counted);
    EXPECT_TRUE(c.compact());
    std::vector<Text> want;
    for (const std::string& b : k.bytes) want.push_back(fromUtf8(b));
    expectSameAs(c, want, allNeedles());
  }
}

// Edits of a counted column: those that carry the run on keep it counted,
// any other spells it out, and the cells and searches stay the plain texts,
// whether or not a cell was read first.
TEST(GridCellsTest, EditsOfACountedColumnKeepItsCellsAsPlainTexts) {
  struct Edit {
    char op;  // 'a' append, 'r' replace, 'p' take the last away
    size_t at;
    Text text;
  };
  struct Case {
    const char* what;
    std::vector<std::string> start;
    std::vector<Edit> edits;
    bool countedAfter;
  };
  const std::vector<std::string> run = {"9", "10", "11", "12"};
  const std::vector<Case> cases = {
      {"the next number added", run, {{'a', 0, u"13"}, {'a', 0, u"14"}}, true},
      {"a cell replaced by its own text", run, {{'r', 1, u"10"}}, true},
      {"the last taken away and added again", run, {{'p', 0, u""}, {'a', 0, u"12"}, {'a', 0, u"13"}}, true},
      {"every cell taken away, another run begun", {"1", "2"}, {{'p', 0, u""}, {'p', 0, u""}, {'a', 0, u"-4"}, {'a', 0, u"-3"}}, true},
      {"an empty column begins a run", {}, {{'a', 0, u"120"}, {'a', 0, u"121"}}, true},
      {"a gap added", run, {{'a', 0, u"14"}, {'a', 0, u"15"}}, false},
      {"a number replaced by another", run, {{'r', 1, u"20"}, {'a', 0, u"13"}}, false},
      {"a number replaced by its text with a leading zero", run, {{'r', 0, u"09"}}, false},
      {"the next number with a leading zero", run, {{'a', 0, u"013"}}, false},
      {"a text added", run, {{'a', 0, u"trece"}, {'r', 0, u"nueve"}}, false},
      {"an empty cell added", run, {{'a', 0, u""}}, false},
      {"a lone surrogate added", run, {{'a', 0, u"Ø3D"}, {'a', 0, u"14"}}, false},
      {"a Chinese text replaced in", run, {{'r', 3, u"十二"}}, false},
      {"past the largest number",
       {"9223372036854775806", "9223372036854775807"},
       {{'a', 0, u"-9223372036854775808"}},
       false},
  };
  for (const Case& k : cases) {
    for (const bool readFirst : {false, true}) {
      SCOPED_TRACE(std::string(k.what) + (readFirst ? ", read first" : ""));
      GridMirrorCells c = filled(k.start);
      std::vector<Text> want;
      for (const std::string& b : k.start) want.push_back(fromUtf8(b));
      if (readFirst) {
        ASSERT_NO_FATAL_FAILURE(expectSameAs(c, want, {}));
      }
      for (const Edit& e : k.edits) {
        if (e.op == 'a') {
          c.append(e.text);
          want.push_back(e.text);
        } else if (e.op == 'r') {
          c.replace(e.at, e.text);
          want[e.at] = e.text;
        } else {
          c.popBack();
          want.pop_back();
        }
        if (readFirst) {
          ASSERT_NO_FATAL_FAILURE(expectSameAs(c, want, {}));
        }
      }
      EXPECT_EQ(c.counted(), k.countedAfter);
      expectSameAs(c, want, allNeedles());
    }
  }
}

// Cells joined from and into counted columns, as a table read again in
// parts is joined: a run carried on stays counted, and the cells are the
// plain texts in order.
TEST(GridCellsTest, CellsJoinedWithCountedColumnsAreThePlainTexts) {
  struct Case {
    const char* what;
    std::vector<std::string> into, from;
    size_t first, count;
    bool countedAfter;
  };
  const std::vector<Case> cases = {
      {"a run carried on", {"1", "2", "3"}, {"3", "4", "5", "6"}, 1, 3, true},
      {"into an empty column", {}, {"3", "4", "5"}, 1, 2, true},
      {"a run with a gap", {"1", "2", "3"}, {"5", "6"}, 0, 2, false},
      {"numbers into texts", {"frase", "Año"}, {"5", "6"}, 0, 2, false},
      {"texts into numbers", {"1", "2"}, {"frase", "第二句"}, 0, 2, false},
      {"UTF-16 texts into numbers", {"1", "2"}, {bytesOf(u"五六七八"), bytesOf(u"句子")}, 0, 2, false},
  };
  for (const Case& k : cases) {
    for (const bool intoRead : {false, true}) {
      SCOPED_TRACE(std::string(k.what) + (intoRead ? ", read first" : ""));
      GridMirrorCells to = filled(k.into);
      const GridMirrorCells source = filled(k.from);
      if (intoRead && to.size()) to.cell(0);
      to.appendCells(source, k.first, k.count);
      std::vector<Text> want;
      for (const std::string& b : k.into) want.push_back(fromUtf8(b));
      for (size_t i = k.first; i < k.first + k.count; ++i) want.push_back(fromUtf8(k.from[i]));
      EXPECT_EQ(to.counted(), k.countedAfter);
      expectSameAs(to, want, allNeedles());
    }
  }
}

// Where cells end is kept in 32 bits while it fits, and in 64 bits,
// exactly, as soon as an end or a shift of the ends would not.
TEST(GridCellsTest, CellEndsWidenRatherThanWrap) {
  constexpr size_t kMost = UINT32_MAX;
  struct Case {
    const char* what;
    std::vector<size_t> ends;
    size_t shiftFrom, shrunk, grown;
    bool wide;
  };
  const std::vector<Case> cases = {
      {"small ends", {0, 3, 7}, 1, 2, 5, false},
      {"the largest 32-bit end", {1, kMost}, 9, 0, 0, false},
      {"an end past 32 bits", {1, kMost, kMost + 1, kMost + 70000}, 9, 0, 0, true},
      {"a shift up to the largest 32-bit end", {1, kMost - 10}, 1, 0, 10, false},
      {"a shift past 32 bits", {1, 5, kMost - 10}, 1, 2, 13, true},
      {"a shift down from past 32 bits", {1, 5, kMost + 10}, 1, 12, 0, true},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    GridCellEnds e;
    std::vector<size_t> want;
    for (const size_t end : k.ends) {
      e.push_back(end);
      want.push_back(end);
    }
    e.shift(k.shiftFrom, k.shrunk, k.grown);
    for (size_t i = k.shiftFrom; i < want.size(); ++i) want[i] = want[i] - k.shrunk + k.grown;
    EXPECT_EQ(e.wide(), k.wide);
    ASSERT_EQ(e.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(e[i], want[i]) << i;
    e.pop_back();
    EXPECT_EQ(e.back(), want[want.size() - 2]);
    e.clear();
    EXPECT_FALSE(e.wide());
    e.push_back(3);
    EXPECT_EQ(e.back(), 3u);
  }
}

// A column filled again, as a mirror read again reuses the memory of the
// one before, takes the form of its new cells, whatever room was asked for.
TEST(GridCellsTest, AFillReusesItsColumnAndIgnoresItsHint) {
  GridMirrorCells c = filled({bytesOf(u"五六七八")});
  ASSERT_FALSE(c.compact());
  c.startFill(1, 1);
  c.appendBytes("frase larga, más que la pista");
  c.appendBytes("");
  EXPECT_EQ(c.filledBytes(), std::string("frase larga, más que la pista").size());
  c.settle();
  EXPECT_TRUE(c.compact());
  expectSameAs(c, {u"frase larga, más que la pista", u""}, kNeedles);
}

}  // namespace
}  // namespace zuvo
