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
  forEachLine(cell, [this](TextView line) { lines_.emplace_back(line); });
}

int64_t RangeResultLines::appendLinesContaining(TextView text, TextView input) {
  int64_t n = 0;
  forEachLine(text, [&](TextView line) {
    if (line.find(input) == TextView::npos) return;
    lines_.emplace_back(line);
    ++n;
  });
  return n;
}

void RangeResultLines::removeEmptyLines() {
  std::erase_if(lines_, [](const Text& l) { return l.empty(); });
}

void RangeResultLines::keepLinesHolding(TextView input) {
  std::erase_if(lines_, [&](const Text& l) { return !isSeparator(l) && l.find(input) == Text::npos; });
}

void RangeResultLines::removeRepeatedLines() {
  std::vector<bool> keep(lines_.size());
  {
    // Views into lines_, which stays untouched while they live.
    std::unordered_set<std::u16string_view> seen;
    for (size_t i = 0; i < lines_.size(); ++i) keep[i] = seen.insert(lines_[i]).second;
  }
  size_t out = 0;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (!keep[i]) continue;
    if (out != i) lines_[out] = std::move(lines_[i]);
    ++out;
  }
  lines_.resize(out);
}

void RangeResultLines::removeRepeatedNeighbours() {
  auto last = std::unique(lines_.begin(), lines_.end());
  lines_.erase(last, lines_.end());
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
