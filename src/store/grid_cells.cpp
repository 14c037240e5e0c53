// The grid mirror's columns in their two forms; see grid_cells.h.

#include "store/grid_cells.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>
#include <system_error>

namespace zuvo {

GridNeedle::GridNeedle(TextView what) : units(what), inBytes(isWellFormedUtf16(what)) {
  if (inBytes) bytes = toUtf8(what);
}

void GridCellEnds::widen() {
  w_.reserve(std::max(n_.capacity(), n_.size() + 1));
  w_.assign(n_.begin(), n_.end());
  GridVector<uint32_t>(n_.get_allocator()).swap(n_);
  wide_ = true;
}

void GridCellEnds::startIn(const std::shared_ptr<GridArena>& arena, size_t n, bool reserve) {
  clear();
  if (arena && n_.capacity() < n) n_ = GridVector<uint32_t>(GridAlloc<uint32_t>(arena));
  if (arena && w_.capacity() < n) w_ = GridVector<uint64_t>(GridAlloc<uint64_t>(arena));
  if (reserve) n_.reserve(n);
}

void GridCellEnds::touch(size_t n) {
  if (wide_) {
    w_.resize(n);
    w_.clear();
  } else {
    n_.resize(n);
    n_.clear();
  }
}

void GridCellEnds::shift(size_t first, size_t shrunk, size_t grown) {
  if (first >= size()) return;
  // The last end is the largest: if it fits, every end does.
  if (!wide_ && back() - shrunk + grown > UINT32_MAX) widen();
  if (wide_)
    for (size_t k = first; k < w_.size(); ++k) w_[k] = w_[k] - shrunk + grown;
  else
    for (size_t k = first; k < n_.size(); ++k) n_[k] = static_cast<uint32_t>(n_[k] - shrunk + grown);
}

namespace {

// The first cell at or after `first` whose text holds `what` whole, or -1,
// for `cells` cells of `Unit`s side by side in `text` ending at `ends`. The
// text is searched as one buffer.
template <class Unit, class End>
int64_t findIn(const Unit* text, const End* ends, size_t cells, size_t first, const Unit* what, size_t n) {
  if (first >= cells) return -1;
  if (n == 0) return static_cast<int64_t>(first);
  const size_t bytes = n * sizeof(Unit);
  const char* base = reinterpret_cast<const char*>(text);
  const size_t size = static_cast<size_t>(ends[cells - 1]) * sizeof(Unit);
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
      i = static_cast<size_t>(std::upper_bound(ends + i, ends + cells, unit) - ends);
    if (unit + n <= ends[i]) return static_cast<int64_t>(i);
    at = static_cast<size_t>(ends[i]) * sizeof(Unit);  // every later start in this cell runs over too
    from = i + 1;
  }
  return -1;
}

template <class Unit>
int64_t findIn(const Unit* text, const GridCellEnds& ends, size_t first, const Unit* what, size_t n) {
  return ends.visit([&](const auto* e) { return findIn(text, e, ends.size(), first, what, n); });
}

// The whole number `v` is the decimal text of, written as a number's text
// is written: digits after at most a minus sign, no leading zero, no "-0".
std::optional<int64_t> wholeNumber(std::string_view v) {
  int64_t n = 0;
  const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
  if (v.empty() || ec != std::errc() || end != v.data() + v.size()) return std::nullopt;
  char digits[24];
  if (std::string_view(digits, static_cast<size_t>(std::to_chars(digits, digits + sizeof digits, n).ptr - digits)) != v)
    return std::nullopt;
  return n;
}

// True when UTF-16 `t` holds the same characters as ASCII `a`.
bool sameText(TextView t, std::string_view a) {
  if (t.size() != a.size()) return false;
  for (size_t k = 0; k < a.size(); ++k)
    if (t[k] != static_cast<char16_t>(static_cast<unsigned char>(a[k]))) return false;
  return true;
}

// Each cell's bytes decoded side by side into `text`, with where each
// ends. `room` is units enough: a byte never gives more than one unit, and
// a column kept compact gives exactly the units of its bytes as a whole.
void widenInto(const GridBytes& bytes, const GridCellEnds& ends, GridUnits& text, GridCellEnds& wideEnds, size_t room) {
  text.resize(room);
  wideEnds.clear();
  wideEnds.reserve(ends.size());
  size_t from = 0, units = 0;
  const std::string_view all = bytes;
  for (size_t k = 0; k < ends.size(); ++k) {
    const size_t end = ends[k];
    units += utf8ToUnits(all.substr(from, end - from), text.data() + units);
    wideEnds.push_back(units);
    from = end;
  }
  text.resize(units);
}

}  // namespace

bool GridMirrorCells::counts(std::string_view v) {
  if (count_ == 0) {
    const std::optional<int64_t> n = wholeNumber(v);
    if (!n) return false;
    first_ = *n;
    count_ = 1;
    return true;
  }
  // The run ends at the largest number: the next has no text.
  if (count_ > static_cast<size_t>(INT64_MAX) || first_ > INT64_MAX - static_cast<int64_t>(count_)) return false;
  char digits[24];
  const int64_t next = first_ + static_cast<int64_t>(count_);
  if (std::string_view(digits, static_cast<size_t>(std::to_chars(digits, digits + sizeof digits, next).ptr - digits)) != v)
    return false;
  ++count_;
  return true;
}

bool GridMirrorCells::counts(TextView v) {
  char ascii[24];
  if (v.size() > sizeof ascii) return false;
  for (size_t k = 0; k < v.size(); ++k) {
    if (v[k] > 0x7F) return false;
    ascii[k] = static_cast<char>(v[k]);
  }
  return counts(std::string_view(ascii, v.size()));
}

std::string_view GridMirrorCells::number(size_t i, char (&digits)[24]) const {
  const int64_t n = first_ + static_cast<int64_t>(i);
  return {digits, static_cast<size_t>(std::to_chars(digits, digits + sizeof digits, n).ptr - digits)};
}

void GridMirrorCells::spell() {
  if (!counted_) return;
  counted_ = false;
  if (count_ == 0) return;
  ends_.reserve(count_);
  for (size_t i = 0; i < count_; ++i) {
    char digits[24];
    bytes_.append(number(i, digits));
    ends_.push_back(bytes_.size());
  }
  count_ = 0;
}

void GridMirrorCells::widen() const {
  if (widened_) return;
  if (counted_) {
    text_.clear();
    wideEnds_.clear();
    wideEnds_.reserve(count_);
    for (size_t i = 0; i < count_; ++i) {
      char digits[24];
      for (const char d : number(i, digits)) text_.push_back(static_cast<char16_t>(d));
      wideEnds_.push_back(text_.size());
    }
    widened_ = true;
    return;
  }
  widenInto(bytes_, ends_, text_, wideEnds_, utf8Units(bytes_).value_or(bytes_.size()));
  widened_ = true;
}

void GridMirrorCells::toWide() {
  spell();
  toWide(compact_ && !widened_ ? utf8Units(bytes_).value_or(bytes_.size()) : 0);
}

void GridMirrorCells::toWide(size_t units) {
  if (!compact_) return;
  if (!widened_) widenInto(bytes_, ends_, text_, wideEnds_, units);
  ends_.swap(wideEnds_);
  wideEnds_.release();
  GridBytes(bytes_.get_allocator()).swap(bytes_);
  compact_ = widened_ = false;
}

TextView GridMirrorCells::cell(size_t i) const {
  if (compact_) widen();
  const GridCellEnds& ends = compact_ ? wideEnds_ : ends_;
  const size_t start = i ? ends[i - 1] : 0;
  return TextView(text_).substr(start, ends[i] - start);
}

int64_t GridMirrorCells::find(size_t first, const GridNeedle& what) const {
  if (counted_) {
    if (first >= count_) return -1;
    if (what.units.empty()) return static_cast<int64_t>(first);
    // Only digits and a minus sign are in a number's text.
    for (const char16_t u : what.units)
      if ((u < u'0' || u > u'9') && u != u'-') return -1;
    const std::string_view w = what.bytes;
    for (size_t i = first; i < count_; ++i) {
      char digits[24];
      if (number(i, digits).find(w) != std::string_view::npos) return static_cast<int64_t>(i);
    }
    return -1;
  }
  if (!compact_) return findIn(text_.data(), ends_, first, what.units.data(), what.units.size());
  if (what.inBytes) return findIn(bytes_.data(), ends_, first, what.bytes.data(), what.bytes.size());
  // A lone surrogate may match half of a pair, which the bytes cannot show:
  // the column is searched in UTF-16, widened apart from the one kept for
  // reading, since other threads may search it meanwhile.
  GridUnits text;
  GridCellEnds ends;
  widenInto(bytes_, ends_, text, ends, utf8Units(bytes_).value_or(bytes_.size()));
  return findIn(text.data(), ends, first, what.units.data(), what.units.size());
}

void GridMirrorCells::append(TextView v) {
  if (counted_) {
    if (counts(v)) {
      if (widened_) {
        text_ += v;
        wideEnds_.push_back(text_.size());
      }
      return;
    }
    spell();
  }
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
void replaceIn(String& t, GridCellEnds& ends, size_t i, View v) {
  const size_t start = i ? ends[i - 1] : 0;
  const size_t old = ends[i] - start;
  t.replace(start, old, v);
  ends.shift(i, old, v.size());
}

}  // namespace

void GridMirrorCells::replace(size_t i, TextView v) {
  if (counted_) {
    char digits[24];
    if (sameText(v, number(i, digits))) return;
    spell();
  }
  if (compact_ && !isWellFormedUtf16(v)) toWide();
  if (compact_) replaceIn(bytes_, ends_, i, std::string_view(toUtf8(v)));
  if (!compact_ || widened_) replaceIn(text_, compact_ ? wideEnds_ : ends_, i, v);
}

void GridMirrorCells::popBack() {
  if (counted_) {
    --count_;
    if (widened_) {
      wideEnds_.pop_back();
      text_.resize(wideEnds_.empty() ? 0 : wideEnds_.back());
    }
    return;
  }
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
  if (from.counted_) {
    for (size_t k = first; k < first + count; ++k) {
      char digits[24];
      const std::string_view n = from.number(k, digits);
      append(Text(n.begin(), n.end()));
    }
    return;
  }
  spell();
  if (compact_ && from.compact_ && !widened_) {
    const size_t start = first ? from.ends_[first - 1] : 0, base = bytes_.size();
    bytes_.append(from.bytes_, start, from.ends_[first + count - 1] - start);
    for (size_t k = first; k < first + count; ++k) ends_.push_back(base + from.ends_[k] - start);
    return;
  }
  if (!from.compact_) toWide();
  for (size_t k = first; k < first + count; ++k) append(from.cell(k));
}

void GridMirrorCells::startFill(size_t bytes, size_t cells, bool touch, const std::shared_ptr<GridArena>& arena) {
  const size_t room = bytes + bytes / 16;
  bytes_.clear();
  text_.clear();
  wideEnds_.clear();
  if (arena) {
    // Memory an earlier mirror lends is kept where it is room enough.
    if (bytes_.capacity() < room) bytes_ = GridBytes(GridAlloc<char>(arena));
    // A column kept in UTF-16 takes fewer units than its bytes.
    if (text_.capacity() < bytes) text_ = GridUnits(GridAlloc<char16_t>(arena));
    wideEnds_.startIn(arena, cells, false);
  }
  ends_.startIn(arena, cells);
  compact_ = true;
  counted_ = true;
  first_ = 0;
  count_ = 0;
  widened_ = false;
  // A little more than asked, so that a column seldom grows by a copy of
  // itself; only what is asked is touched, so that the rest costs no memory
  // unless it is filled.
  bytes_.reserve(room);
  if (touch) {
    bytes_.resize(bytes);
    bytes_.clear();
    ends_.touch(cells);
  }
}

void GridMirrorCells::settle() {
  if (counted_) return;
  // Each cell is read on its own: a column well-formed as a whole whose
  // cell boundary falls inside a character holds damaged cells.
  std::optional<size_t> units = utf8Units(bytes_);
  if (units)
    for (size_t k = 0; k < ends_.size(); ++k)
      if (const size_t end = ends_[k]; end < bytes_.size() && (static_cast<unsigned char>(bytes_[end]) & 0xC0) == 0x80) {
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
