// Formats kept as runs: every edit a rich-text box makes (insertion inside a
// run and at its edges, erasure across runs, a format set over part of a
// run) must leave each character's format as a per-character list would, in
// runs that stay sorted, non-empty and distinct from their neighbours.
#include "platform/format_runs.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

namespace zuvo {
namespace {

// One letter a format: a plain, b red, c blue; capitals are the bold ones.
CharFormat letterFormat(char l) {
  CharFormat f;
  const char lower = static_cast<char>(l | 0x20);
  f.colour = lower == 'b' ? 255u : lower == 'c' ? 0xFF0000u : kWindowText;
  f.bold = l != lower;
  return f;
}

char formatLetter(const CharFormat& f) {
  const char l = f.colour == 255u ? 'b' : f.colour == 0xFF0000u ? 'c' : 'a';
  return f.bold ? static_cast<char>(l & ~0x20) : l;
}

FormatRuns runsOf(const std::string& letters) {
  FormatRuns r;
  for (const char l : letters) r.append(1, letterFormat(l));
  return r;
}

std::string lettersOf(const FormatRuns& r) {
  std::string out;
  for (int64_t i = 0; i < r.size(); ++i) out += formatLetter(r.at(i));
  return out;
}

// Runs start at 0, ascend, are non-empty and differ from their neighbours.
void expectWellFormed(const FormatRuns& r) {
  const auto& runs = r.runs();
  if (r.empty()) {
    EXPECT_TRUE(runs.empty());
    return;
  }
  ASSERT_FALSE(runs.empty());
  EXPECT_EQ(runs.front().start, 0);
  for (size_t i = 0; i < runs.size(); ++i) {
    EXPECT_LT(runs[i].start, r.runEnd(i)) << "empty run " << i;
    if (i > 0) {
      EXPECT_NE(runs[i].format, runs[i - 1].format) << "equal neighbours at run " << i;
    }
  }
}

TEST(FormatRuns, EditsKeepEachCharactersFormat) {
  struct Case {
    const char* name;
    std::string before;
    std::function<void(FormatRuns&)> edit;
    std::string after;
    size_t runs;
  };
  const CharFormat a = letterFormat('a'), b = letterFormat('b'), c = letterFormat('c');
  auto bold = [](CharFormat& f) { f.bold = true; };
  const std::vector<Case> cases = {
      {"insert inside a run", "aaaa", [&](FormatRuns& r) { r.insert(2, 2, b); }, "aabbaa", 3},
      {"insert its own format inside a run", "aaaa", [&](FormatRuns& r) { r.insert(2, 2, a); }, "aaaaaa", 1},
      {"insert at a boundary, like the left run", "aabb", [&](FormatRuns& r) { r.insert(2, 1, a); }, "aaabb", 2},
      {"insert at a boundary, like the right run", "aabb", [&](FormatRuns& r) { r.insert(2, 1, b); }, "aabbb", 2},
      {"insert at a boundary, like neither", "aabb", [&](FormatRuns& r) { r.insert(2, 1, c); }, "aacbb", 3},
      {"insert at the start", "aa", [&](FormatRuns& r) { r.insert(0, 1, b); }, "baa", 2},
      {"insert at the start, like the first run", "ab", [&](FormatRuns& r) { r.insert(0, 2, a); }, "aaab", 2},
      {"insert at the end", "aab", [&](FormatRuns& r) { r.insert(3, 1, b); }, "aabb", 2},
      {"insert into nothing", "", [&](FormatRuns& r) { r.insert(0, 2, a); }, "aa", 1},
      {"insert nothing", "ab", [&](FormatRuns& r) { r.insert(1, 0, c); }, "ab", 2},
      {"erase inside a run", "aaaa", [&](FormatRuns& r) { r.erase(1, 2); }, "aa", 1},
      {"erase a whole run, joining its neighbours", "aabaa", [&](FormatRuns& r) { r.erase(2, 1); }, "aaaa", 1},
      {"erase across runs", "aabbcc", [&](FormatRuns& r) { r.erase(1, 4); }, "ac", 2},
      {"erase across runs, joining the ends", "aabbcaa", [&](FormatRuns& r) { r.erase(2, 3); }, "aaaa", 1},
      {"erase the first run", "abb", [&](FormatRuns& r) { r.erase(0, 1); }, "bb", 1},
      {"erase the end", "aabb", [&](FormatRuns& r) { r.erase(3, 1); }, "aab", 2},
      {"erase everything", "abc", [&](FormatRuns& r) { r.erase(0, 3); }, "", 0},
      {"set over part of a run", "aaaa", [&](FormatRuns& r) { r.set(1, 3, b); }, "abba", 3},
      {"set the head of a run", "aaaa", [&](FormatRuns& r) { r.set(0, 2, b); }, "bbaa", 2},
      {"set the tail of a run", "aaaa", [&](FormatRuns& r) { r.set(2, 4, b); }, "aabb", 2},
      {"set like the left neighbour", "aabb", [&](FormatRuns& r) { r.set(2, 3, a); }, "aaab", 2},
      {"set like the right neighbour", "aabb", [&](FormatRuns& r) { r.set(1, 2, b); }, "abbb", 2},
      {"set a middle run like both neighbours", "abba", [&](FormatRuns& r) { r.set(1, 3, a); }, "aaaa", 1},
      {"set across runs", "abcabc", [&](FormatRuns& r) { r.set(1, 5, c); }, "accccc", 2},
      {"set what is already set", "aabb", [&](FormatRuns& r) { r.set(0, 2, a); }, "aabb", 2},
      {"set an empty range", "ab", [&](FormatRuns& r) { r.set(1, 1, c); }, "ab", 2},
      {"one field changed across runs", "aAbB", [&](FormatRuns& r) { r.update(0, 4, bold); }, "AABB", 2},
      {"one field changed in part of a run", "bbbb", [&](FormatRuns& r) { r.update(1, 2, bold); }, "bBbb", 3},
      {"append like the last run", "aab", [&](FormatRuns& r) { r.append(2, b); }, "aabbb", 2},
      {"append part of other runs", "b", [&](FormatRuns& r) { r.append(runsOf("aabbcc"), 1, 5); }, "babbc", 4},
      {"append part of other runs, joining", "a", [&](FormatRuns& r) { r.append(runsOf("aabbcc"), 1, 5); }, "aabbc", 3},
      {"shrink across runs", "aabbcc", [&](FormatRuns& r) { r.resize(3, c); }, "aab", 2},
      {"grow like the last run", "ab", [&](FormatRuns& r) { r.resize(4, b); }, "abbb", 2},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    FormatRuns r = runsOf(k.before);
    k.edit(r);
    EXPECT_EQ(lettersOf(r), k.after);
    EXPECT_EQ(r.size(), static_cast<int64_t>(k.after.size()));
    EXPECT_EQ(r.runs().size(), k.runs);
    expectWellFormed(r);
    // Equal formats give equal runs, however they were reached.
    EXPECT_EQ(r, runsOf(k.after));
  }
}

TEST(FormatRuns, APlainTextOfAnyLengthIsOneRun) {
  FormatRuns r(1'000'000, CharFormat{});
  r.insert(500'000, 10, CharFormat{});
  r.erase(0, 20);
  EXPECT_EQ(r.size(), 999'990);
  EXPECT_EQ(r.runs().size(), 1u);
  EXPECT_EQ(r.runIndexAt(999'989), 0u);
}

// The runs are kept on both sides of the last edit: long mixed sequences of
// edits here and there, and reads between them, must agree with a plain
// per-character list at every step.
TEST(FormatRuns, EditsAnywhereInAnyOrderAgreeWithAListOfFormats) {
  std::mt19937 rng(7);
  const std::string letters = "abcABC";
  std::string model;
  FormatRuns r;
  for (int step = 0; step < 4000; ++step) {
    const auto n = static_cast<int64_t>(model.size());
    const auto pos = static_cast<int64_t>(rng() % static_cast<unsigned>(n + 1));
    const auto len = static_cast<int64_t>(rng() % 6);
    const char l = letters[rng() % letters.size()];
    switch (rng() % 5) {
      case 0:
        r.insert(pos, len, letterFormat(l));
        model.insert(static_cast<size_t>(pos), static_cast<size_t>(len), l);
        break;
      case 1:
        r.erase(pos, len);
        model.erase(static_cast<size_t>(pos), static_cast<size_t>(std::min(len, n - pos)));
        break;
      case 2:
      case 3: {
        r.set(pos, pos + len, letterFormat(l));
        for (int64_t i = pos; i < std::min(pos + len, n); ++i) model[static_cast<size_t>(i)] = l;
        break;
      }
      default:
        r.append(len, letterFormat(l));
        model.append(static_cast<size_t>(len), l);
        break;
    }
    ASSERT_EQ(r.size(), static_cast<int64_t>(model.size())) << "step " << step;
    if (!model.empty()) {
      const auto at = static_cast<int64_t>(rng() % model.size());
      ASSERT_EQ(formatLetter(r.at(at)), model[static_cast<size_t>(at)]) << "step " << step << " at " << at;
    }
    if (step % 97 == 0) {
      ASSERT_EQ(lettersOf(r), model) << "step " << step;
      expectWellFormed(r);
      EXPECT_EQ(r, runsOf(model));
    }
  }
  EXPECT_EQ(lettersOf(r), model);
  expectWellFormed(r);
}

// Looking a run up near the cursor and far from it must give the same run:
// every position, read with the cursor left at the start, in the middle
// and at the end by an edit that changes no format.
TEST(FormatRuns, EveryPositionFindsItsRunWhereverTheCursorStands) {
  std::mt19937 rng(11);
  std::string model;
  for (int k = 0; k < 200; ++k) model.append(1 + rng() % 3, "abc"[k % 3]);
  FormatRuns r = runsOf(model);
  const std::vector<FormatRuns::Run> runs = r.runs();
  auto runHolding = [&](int64_t pos) {
    size_t i = 0;
    while (i + 1 < runs.size() && runs[i + 1].start <= pos) ++i;
    return i;
  };
  const auto n = static_cast<int64_t>(model.size());
  for (const int64_t at : {int64_t{0}, int64_t{1}, n / 3, n / 2, n - 2, n - 1}) {
    SCOPED_TRACE("cursor moved by an edit at " + std::to_string(at));
    r.set(at, at + 1, r.at(at));
    for (int64_t pos = 0; pos < n; ++pos) {
      ASSERT_EQ(r.runIndexAt(pos), runHolding(pos)) << "at " << pos;
      ASSERT_EQ(formatLetter(r.at(pos)), model[static_cast<size_t>(pos)]) << "at " << pos;
    }
  }
  EXPECT_EQ(r.runs(), runs);
}

// An erase from the text's start leaves the cursor before the first run,
// where a lookup runs from the front: every position must still find its
// run, near the start and far from it.
TEST(FormatRuns, EveryPositionFindsItsRunWithTheCursorAtTheStart) {
  std::mt19937 rng(5);
  std::string letters;
  for (int k = 0; k < 60; ++k) letters.append(1 + rng() % 4, "abc"[k % 3]);
  const FormatRuns whole = runsOf(letters);
  const int64_t firstRun = whole.runEnd(0);
  for (const int64_t erased : {int64_t{1}, firstRun, firstRun + 1, whole.runEnd(3) - 1}) {
    SCOPED_TRACE("erased " + std::to_string(erased));
    FormatRuns r = whole;
    r.erase(0, erased);
    const std::string model = letters.substr(static_cast<size_t>(erased));
    // Lookups never move the cursor: every one of them starts from the front.
    for (int64_t pos = 0; pos < r.size(); ++pos)
      ASSERT_EQ(formatLetter(r.at(pos)), model[static_cast<size_t>(pos)]) << "at " << pos;
    EXPECT_EQ(lettersOf(r), model);
    expectWellFormed(r);
  }
}

}  // namespace
}  // namespace zuvo
