#include "app/range_result.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

namespace zuvo {

namespace {
template <class F>
void forEachLine(TextView text, F&& f) {
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(CRLF, start);
    f(text.substr(start, end == TextView::npos ? TextView::npos : end - start));
    if (end == TextView::npos) return;
    start = end + 2;
  }
}

bool isSeparator(TextView line) {
  return line == kSentenceSeparator || line == kVerbSeparator || line == kExampleSeparator;
}
}  // namespace

void RangeResultLines::appendCell(TextView cell) {
  forEachLine(cell, [this](TextView line) { appendLine(line); });
}

void RangeResultLines::appendVerbLine(TextView line) {
  bool first = true;
  forEachLine(line, [&](TextView l) {
    lines_.emplace_back(l);
    continues_.push_back(!first);
    first = false;
  });
}

// drop(i, kept) sees how many lines stay before line i; they stand at
// 0 .. kept-1 already.
template <class F>
void RangeResultLines::eraseLines(F&& drop) {
  size_t out = 0;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (drop(i, out)) continue;
    if (out != i) {
      lines_[out] = std::move(lines_[i]);
      continues_[out] = continues_[i];
    }
    ++out;
  }
  lines_.resize(out);
  continues_.resize(out);
}

int64_t RangeResultLines::appendLinesContaining(TextView text, TextView input) {
  int64_t n = 0;
  forEachLine(text, [&](TextView line) {
    if (line.find(input) == TextView::npos) return;
    appendLine(line);
    ++n;
  });
  return n;
}

void RangeResultLines::removeEmptyLines() {
  eraseLines([this](size_t i, size_t) { return lines_[i].empty(); });
}

void RangeResultLines::keepLinesHolding(TextView input) {
  std::vector<bool> keep(lines_.size());
  size_t head = 0;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (!continues_[i]) head = i;
    keep[i] = isSeparator(lines_[i]) || lines_[i].find(input) != Text::npos;
    if (keep[i] && continues_[i]) keep[head] = true;
  }
  eraseLines([&](size_t i, size_t) { return !keep[i]; });
}

void RangeResultLines::removeRepeatedLines() {
  std::vector<bool> keep(lines_.size());
  {
    // Views into lines_, which stays untouched while they live.
    std::unordered_set<std::u16string_view> seen;
    seen.reserve(lines_.size());
    for (size_t i = 0; i < lines_.size(); ++i) keep[i] = seen.insert(lines_[i]).second;
  }
  eraseLines([&](size_t i, size_t) { return !keep[i]; });
}

void RangeResultLines::removeRepeatedNeighbours() {
  eraseLines([this](size_t i, size_t kept) { return kept > 0 && lines_[i] == lines_[kept - 1]; });
}

Text RangeResultLines::joined() const {
  size_t size = 0;
  for (const Text& l : lines_) size += l.size() + 2;
  Text out;
  out.reserve(size);
  for (const Text& l : lines_) {
    out += l;
    out += CRLF;
  }
  return out;
}

}  // namespace zuvo
