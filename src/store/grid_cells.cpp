// The grid mirror's columns in their two forms; see grid_cells.h.

#include "store/grid_cells.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace zuvo {

GridNeedle::GridNeedle(TextView what) : units(what), inBytes(isWellFormedUtf16(what)) {
  if (inBytes) bytes = toUtf8(what);
}

namespace {

// The first cell at or after `first` whose text holds `what` whole, or -1,
// for cells of `Unit`s side by side in `text` ending at `ends`. The text is
// searched as one buffer.
template <class Unit>
int64_t findIn(const Unit* text, const std::vector<size_t>& ends, size_t first, const Unit* what, size_t n) {
  if (first >= ends.size()) return -1;
  if (n == 0) return static_cast<int64_t>(first);
  const size_t bytes = n * sizeof(Unit);
  const char* base = reinterpret_cast<const char*>(text);
  const size_t size = ends.back() * sizeof(Unit);
  size_t at = (first ? ends[first - 1] : 0) * sizeof(Unit);
  size_t from = first;  // no cell before it holds a unit at or after `at`
  while (at + bytes <= size) {
    const void* hit = memmem(base + at, size - at, what, bytes);
    if (!hit) break;
    const size_t b = static_cast<size_t>(static_cast<const char*>(hit) - base);
    if (b % sizeof(Unit)) {  // not on a unit's boundary
      at = b + 1;
      continue;
    }
    const size_t unit = b / sizeof(Unit);
    // The cell holding the hit, most often a few cells on: looked for from
    // the search's start before the rest is searched by halves.
    constexpr size_t kNear = 8;
    size_t i = from;
    while (i < from + kNear && ends[i] <= unit) ++i;
    if (ends[i] <= unit)
      i = static_cast<size_t>(std::upper_bound(ends.begin() + static_cast<std::ptrdiff_t>(i), ends.end(), unit) - ends.begin());
    if (unit + n <= ends[i]) return static_cast<int64_t>(i);
    at = ends[i] * sizeof(Unit);  // every later start in this cell runs over too
    from = i + 1;
  }
  return -1;
}

// Each cell's bytes decoded side by side into `text`, with where each
// ends. `room` is units enough: a byte never gives more than one unit, and
// a column kept compact gives exactly the units of its bytes as a whole.
void widenInto(const std::string& bytes, const std::vector<size_t>& ends, Text& text, std::vector<size_t>& wideEnds,
               size_t room) {
  text.resize(room);
  wideEnds.clear();
  wideEnds.reserve(ends.size());
  size_t from = 0, units = 0;
  const std::string_view all = bytes;
  for (const size_t end : ends) {
    units += utf8ToUnits(all.substr(from, end - from), text.data() + units);
    wideEnds.push_back(units);
    from = end;
  }
  text.resize(units);
}

}  // namespace

void GridMirrorCells::widen() const {
  if (widened_) return;
  widenInto(bytes_, ends_, text_, wideEnds_, utf8Units(bytes_).value_or(bytes_.size()));
  widened_ = true;
}

void GridMirrorCells::toWide(size_t units) {
  if (!compact_) return;
  if (!widened_) widenInto(bytes_, ends_, text_, wideEnds_, units);
  ends_.swap(wideEnds_);
  std::vector<size_t>().swap(wideEnds_);
  std::string().swap(bytes_);
  compact_ = widened_ = false;
}

TextView GridMirrorCells::cell(size_t i) const {
  if (compact_) widen();
  const std::vector<size_t>& ends = compact_ ? wideEnds_ : ends_;
  const size_t start = i ? ends[i - 1] : 0;
  return TextView(text_).substr(start, ends[i] - start);
}

int64_t GridMirrorCells::find(size_t first, const GridNeedle& what) const {
  if (!compact_) return findIn(text_.data(), ends_, first, what.units.data(), what.units.size());
  if (what.inBytes) return findIn(bytes_.data(), ends_, first, what.bytes.data(), what.bytes.size());
  // A lone surrogate may match half of a pair, which the bytes cannot show:
  // the column is searched in UTF-16, widened apart from the one kept for
  // reading, since other threads may search it meanwhile.
  Text text;
  std::vector<size_t> ends;
  widenInto(bytes_, ends_, text, ends, utf8Units(bytes_).value_or(bytes_.size()));
  return findIn(text.data(), ends, first, what.units.data(), what.units.size());
}

void GridMirrorCells::append(TextView v) {
  if (compact_ && !isWellFormedUtf16(v)) toWide();
  if (compact_) {
    bytes_ += toUtf8(v);
    ends_.push_back(bytes_.size());
  }
  if (!compact_ || widened_) {
    text_ += v;
    (compact_ ? wideEnds_ : ends_).push_back(text_.size());
  }
}

namespace {

// Cell `i` of text `t` ending at `ends` replaced by `v`.
template <class String, class View>
void replaceIn(String& t, std::vector<size_t>& ends, size_t i, View v) {
  const size_t start = i ? ends[i - 1] : 0;
  const size_t old = ends[i] - start;
  t.replace(start, old, v);
  for (size_t k = i; k < ends.size(); ++k) ends[k] = ends[k] - old + v.size();
}

}  // namespace

void GridMirrorCells::replace(size_t i, TextView v) {
  if (compact_ && !isWellFormedUtf16(v)) toWide();
  if (compact_) replaceIn(bytes_, ends_, i, std::string_view(toUtf8(v)));
  if (!compact_ || widened_) replaceIn(text_, compact_ ? wideEnds_ : ends_, i, v);
}

void GridMirrorCells::popBack() {
  ends_.pop_back();
  const size_t end = ends_.empty() ? 0 : ends_.back();
  if (compact_) {
    bytes_.resize(end);
    if (widened_) {
      wideEnds_.pop_back();
      text_.resize(wideEnds_.empty() ? 0 : wideEnds_.back());
    }
  } else {
    text_.resize(end);
  }
}

void GridMirrorCells::appendCells(const GridMirrorCells& from, size_t first, size_t count) {
  if (count == 0) return;
  if (compact_ && from.compact_ && !widened_) {
    const size_t start = first ? from.ends_[first - 1] : 0, base = bytes_.size();
    bytes_.append(from.bytes_, start, from.ends_[first + count - 1] - start);
    for (size_t k = first; k < first + count; ++k) ends_.push_back(base + from.ends_[k] - start);
    return;
  }
  if (!from.compact_) toWide();
  for (size_t k = first; k < first + count; ++k) append(from.cell(k));
}

void GridMirrorCells::startFill(size_t bytes, size_t cells, bool touch) {
  bytes_.clear();
  ends_.clear();
  text_.clear();
  wideEnds_.clear();
  compact_ = true;
  widened_ = false;
  // A little more than asked, so that a column seldom grows by a copy of
  // itself; only what is asked is touched, so that the rest costs no memory
  // unless it is filled.
  bytes_.reserve(bytes + bytes / 16);
  ends_.reserve(cells);
  if (touch) {
    bytes_.resize(bytes);
    bytes_.clear();
    ends_.resize(cells);
    ends_.clear();
  }
}

void GridMirrorCells::settle() {
  // Each cell is read on its own: a column well-formed as a whole whose
  // cell boundary falls inside a character holds damaged cells.
  std::optional<size_t> units = utf8Units(bytes_);
  if (units)
    for (const size_t end : ends_)
      if (end < bytes_.size() && (static_cast<unsigned char>(bytes_[end]) & 0xC0) == 0x80) {
        units.reset();
        break;
      }
  if (units && bytes_.size() <= *units * sizeof(char16_t)) return;
  // Decoded cell by cell, a damaged sequence never reaching into the next
  // cell, and kept in UTF-16 from now on.
  toWide(units.value_or(bytes_.size()));
  if (!units) text_.shrink_to_fit();
}

}  // namespace zuvo
