#include "platform/format_runs.h"

#include <algorithm>

namespace zuvo {

size_t FormatRuns::runIndexAt(int64_t pos) const {
  const auto it = std::upper_bound(runs_.begin(), runs_.end(), pos,
                                   [](int64_t p, const Run& r) { return p < r.start; });
  return static_cast<size_t>(it - runs_.begin()) - 1;
}

void FormatRuns::append(int64_t count, const CharFormat& f) {
  if (count <= 0) return;
  if (runs_.empty() || runs_.back().format != f) runs_.push_back({size_, f});
  size_ += count;
}

void FormatRuns::append(const FormatRuns& other, int64_t from, int64_t to) {
  from = std::max<int64_t>(from, 0);
  to = std::min(to, other.size_);
  if (from >= to) return;
  for (size_t i = other.runIndexAt(from); from < to; ++i) {
    const int64_t end = std::min(other.runEnd(i), to);
    append(end - from, other.runs_[i].format);
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
  runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(i), Run{pos, f});
  for (size_t k = i + 1; k < runs_.size(); ++k) runs_[k].start += count;
  size_ += count;
  mergeAround(i, i + 1);
}

void FormatRuns::erase(int64_t pos, int64_t count) {
  pos = std::max<int64_t>(pos, 0);
  count = std::min(count, size_ - pos);
  if (count <= 0) return;
  const size_t a = splitAt(pos);
  const size_t b = splitAt(pos + count);
  runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(a), runs_.begin() + static_cast<std::ptrdiff_t>(b));
  for (size_t k = a; k < runs_.size(); ++k) runs_[k].start -= count;
  size_ -= count;
  mergeAround(a, a);
}

size_t FormatRuns::splitAt(int64_t pos) {
  if (pos >= size_) return runs_.size();
  const size_t i = runIndexAt(pos);
  if (runs_[i].start == pos) return i;
  runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(i) + 1, Run{pos, runs_[i].format});
  return i + 1;
}

void FormatRuns::mergeAround(size_t first, size_t last) {
  if (runs_.empty()) return;
  const size_t lo = first > 0 ? first - 1 : 0;
  const size_t hi = std::min(last, runs_.size() - 1);
  if (lo >= hi) return;
  size_t out = lo;
  for (size_t k = lo + 1; k <= hi; ++k) {
    if (runs_[k].format == runs_[out].format) continue;
    runs_[++out] = runs_[k];
  }
  runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(out) + 1,
              runs_.begin() + static_cast<std::ptrdiff_t>(hi) + 1);
}

}  // namespace zuvo
