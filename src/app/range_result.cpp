#include "app/range_result.h"

#include <algorithm>
#include <bit>
#include <functional>
#include <string_view>

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

void RangeResultLines::add(TextView line, bool continues) {
  lines_.push_back(Line{chars_.size(), line.size(), continues});
  chars_.append(line);
}

void RangeResultLines::appendCell(TextView cell) {
  forEachLine(cell, [this](TextView line) { add(line, false); });
}

void RangeResultLines::appendVerbLine(TextView line) {
  bool first = true;
  forEachLine(line, [&](TextView l) {
    add(l, !first);
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
    lines_[out++] = lines_[i];
  }
  lines_.resize(out);
}

int64_t RangeResultLines::appendLinesContaining(TextView text, TextView input) {
  int64_t n = 0;
  forEachLine(text, [&](TextView line) {
    if (line.find(input) == TextView::npos) return;
    add(line, false);
    ++n;
  });
  return n;
}

void RangeResultLines::removeEmptyLines() {
  eraseLines([this](size_t i, size_t) { return lines_[i].size == 0; });
}

void RangeResultLines::keepLinesHolding(TextView input) {
  std::vector<bool> keep(lines_.size());
  size_t head = 0;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (!lines_[i].continues) head = i;
    const TextView l = line(i);
    keep[i] = isSeparator(l) || l.find(input) != TextView::npos;
    if (keep[i] && lines_[i].continues) keep[head] = true;
  }
  eraseLines([&](size_t i, size_t) { return !keep[i]; });
}

void RangeResultLines::removeRepeatedLines() {
  // The lines kept so far, by hash, in a table at most half full: slot
  // values are line numbers + 1, 0 for a free slot.
  const size_t slots = std::bit_ceil(std::max<size_t>(2 * lines_.size(), 16));
  std::vector<size_t> table(slots);
  std::vector<bool> keep(lines_.size());
  const std::hash<TextView> hash;
  for (size_t i = 0; i < lines_.size(); ++i) {
    const TextView l = line(i);
    size_t s = hash(l) & (slots - 1);
    while (table[s] != 0 && line(table[s] - 1) != l) s = (s + 1) & (slots - 1);
    if (table[s] != 0) continue;
    table[s] = i + 1;
    keep[i] = true;
  }
  eraseLines([&](size_t i, size_t) { return !keep[i]; });
}

void RangeResultLines::removeRepeatedNeighbours() {
  eraseLines([this](size_t i, size_t kept) { return kept > 0 && line(i) == line(kept - 1); });
}

Text RangeResultLines::joined() const {
  size_t size = 0;
  for (const Line& l : lines_) size += l.size + 2;
  Text out;
  out.reserve(size);
  for (size_t i = 0; i < lines_.size(); ++i) {
    out += line(i);
    out += CRLF;
  }
  return out;
}

}  // namespace zuvo
