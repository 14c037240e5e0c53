#include "platform/format_runs.h"

#include <algorithm>

namespace zuvo {

void FormatRuns::moveCursor(size_t i) const {
  while (before_.size() > i) {
    after_.push_back(before_.back());
    before_.pop_back();
  }
  while (before_.size() < i && !after_.empty()) {
    before_.push_back(after_.back());
    after_.pop_back();
  }
}

bool FormatRuns::operator==(const FormatRuns& o) const {
  if (size_ != o.size_ || runCount() != o.runCount()) return false;
  for (size_t i = 0; i < runCount(); ++i)
    if (!(run(i) == o.run(i))) return false;
  return true;
}

size_t FormatRuns::runIndexAt(int64_t pos) const {
  // Edits come near the last one: a few runs on either side of the cursor
  // first, as hits coloured front to back step over the runs between them.
  constexpr size_t kNear = 8;
  const size_t c = before_.size(), a = after_.size();
  if (c > 0 && before_.back().start <= pos) {
    for (size_t k = 0; k < kNear && k <= a; ++k) {
      // Run c - 1 + k holds pos when the run after it starts beyond pos.
      if (k == a || pos < after_[a - 1 - k].start) return c - 1 + k;
    }
  } else if (c > 0) {
    for (size_t k = 1; k < kNear && k < c; ++k)
      if (before_[c - 1 - k].start <= pos) return c - 1 - k;
  } else if (a > 0) {
    for (size_t k = 0; k < kNear && k < a; ++k)
      if (k + 1 == a || pos < after_[a - 2 - k].start) return k;
  }
  // The last run that starts at or before pos.
  size_t lo = 0, hi = runCount();
  while (hi - lo > 1) {
    const size_t mid = lo + (hi - lo) / 2;
    if (run(mid).start <= pos) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  return lo;
}

void FormatRuns::append(int64_t count, const CharFormat& f) {
  if (count <= 0) return;
  moveCursor(runCount());
  if (before_.empty() || before_.back().format != f) before_.push_back({size_, f});
  size_ += count;
}

void FormatRuns::append(const FormatRuns& other, int64_t from, int64_t to) {
  from = std::max<int64_t>(from, 0);
  to = std::min(to, other.size_);
  if (from >= to) return;
  for (size_t i = other.runIndexAt(from); from < to; ++i) {
    const int64_t end = std::min(other.runEnd(i), to);
    append(end - from, other.run(i).format);
    from = end;
  }
}

void FormatRuns::resize(int64_t count, const CharFormat& f) {
  if (count >= size_) {
    append(count - size_, f);
  } else {
    erase(count, size_ - count);
  }
}

void FormatRuns::insert(int64_t pos, int64_t count, const CharFormat& f) {
  if (count <= 0) return;
  if (pos >= size_) {
    append(count, f);
    return;
  }
  const size_t i = splitAt(pos);
  moveCursor(i);
  before_.push_back(Run{pos, f});
  for (size_t k = i + 1; k < runCount(); ++k) run(k).start += count;
  size_ += count;
  mergeAround(i, i + 1);
}

void FormatRuns::erase(int64_t pos, int64_t count) {
  pos = std::max<int64_t>(pos, 0);
  count = std::min(count, size_ - pos);
  if (count <= 0) return;
  const size_t a = splitAt(pos);
  const size_t b = splitAt(pos + count);
  moveCursor(b);
  before_.resize(a);
  for (size_t k = a; k < runCount(); ++k) run(k).start -= count;
  size_ -= count;
  mergeAround(a, a);
}

size_t FormatRuns::splitAt(int64_t pos) {
  if (pos >= size_) return runCount();
  const size_t i = runIndexAt(pos);
  if (run(i).start == pos) return i;
  const CharFormat f = run(i).format;
  moveCursor(i + 1);
  before_.push_back(Run{pos, f});
  return i + 1;
}

void FormatRuns::mergeAround(size_t first, size_t last) {
  if (runCount() == 0) return;
  const size_t lo = first > 0 ? first - 1 : 0;
  const size_t hi = std::min(last, runCount() - 1);
  if (lo >= hi) return;
  // The runs [lo, hi] end before_, where equal neighbours are joined.
  moveCursor(hi + 1);
  size_t out = lo;
  for (size_t k = lo + 1; k <= hi; ++k) {
    if (before_[k].format == before_[out].format) continue;
    before_[++out] = before_[k];
  }
  before_.resize(out + 1);
}

}  // namespace zuvo
