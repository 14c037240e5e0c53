#pragma once
// One column of one block of the grid mirror: its cells' texts side by side
// in one buffer and where each cell ends, so that a scan of the column reads
// contiguous memory.
//
// A column is kept in the UTF-8 bytes SQLite hands over when every cell is
// well-formed UTF-8 and that takes no more memory than UTF-16 (Spanish text
// takes about half): the bytes read from the table are the mirror, with no
// decoding and no copy. Any other column (a damaged sequence, a character
// with no UTF-8 form, mostly Chinese text) is kept in UTF-16 as the windows
// see it. Both forms give the same cells, searches and hits: a cell of the
// compact form is read through the column widened to UTF-16 once, kept
// beside the bytes until the column next changes.
//
// A compact column whose cells are the decimal texts of consecutive whole
// numbers, as a column of record numbers is, is kept as its first number
// and its count alone, and spelled out into bytes at the first edit that
// breaks the run. Where cells end is kept in 32 bits while the column's
// text stays under 4 GiB, in 64 bits beyond.
//
// A column filled from SQLite may take its memory from an arena (grid_arena.h),
// as the blocks of a large table's read do.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <string_view>
#include <vector>

#include "platform/text.h"
#include "store/grid_arena.h"

namespace zuvo {

// A text sought in grid columns, in both forms.
struct GridNeedle {
  explicit GridNeedle(TextView what);
  TextView units;
  // Its UTF-8 bytes, when it has no lone surrogate: a search of a column's
  // bytes for them then finds exactly what a search of its UTF-16 text
  // finds for `units`.
  std::string bytes;
  bool inBytes = false;
};

// Where each cell of a column ends: 32-bit offsets while every end fits,
// turned to 64-bit ones, never wrapping, once one does not.
class GridCellEnds {
 public:
  size_t size() const { return wide_ ? w_.size() : n_.size(); }
  bool empty() const { return size() == 0; }
  size_t operator[](size_t i) const { return wide_ ? w_[i] : n_[i]; }
  size_t back() const { return wide_ ? w_.back() : n_.back(); }
  void push_back(size_t end) {
    if (!wide_ && end > UINT32_MAX) widen();
    if (wide_)
      w_.push_back(end);
    else
      n_.push_back(static_cast<uint32_t>(end));
  }
  void pop_back() { wide_ ? w_.pop_back() : n_.pop_back(); }
  // Emptied, its memory kept, narrow again.
  void clear() {
    n_.clear();
    w_.clear();
    wide_ = false;
  }
  void reserve(size_t n) { wide_ ? w_.reserve(n) : n_.reserve(n); }
  // Room for `n` ends, its memory written once now.
  void touch(size_t n);
  // Ends from `first` on moved by `grown` minus `shrunk`.
  void shift(size_t first, size_t shrunk, size_t grown);
  void swap(GridCellEnds& o) {
    n_.swap(o.n_);
    w_.swap(o.w_);
    std::swap(wide_, o.wide_);
  }
  // Emptied, its memory given back.
  void release() {
    GridVector<uint32_t>(n_.get_allocator()).swap(n_);
    GridVector<uint64_t>(w_.get_allocator()).swap(w_);
    wide_ = false;
  }
  // Emptied and narrow, to take `n` ends (with `reserve`, room for them
  // now): in memory of `arena` unless the memory it holds is room enough.
  void startIn(const std::shared_ptr<GridArena>& arena, size_t n, bool reserve = true);
  bool wide() const { return wide_; }
  // `f` called with the ends as a pointer to their first.
  template <class F>
  auto visit(F f) const {
    return wide_ ? f(w_.data()) : f(n_.data());
  }

 private:
  void widen();
  GridVector<uint32_t> n_;
  GridVector<uint64_t> w_;
  bool wide_ = false;
};

class GridMirrorCells {
 public:
  size_t size() const { return counted_ ? count_ : ends_.size(); }
  // Cell `i` as UTF-16, valid until the cells next change. Not to be read
  // while a search of this column runs on another thread.
  TextView cell(size_t i) const;
  // The first cell at or after `first` that holds the needle whole, or -1.
  // A match that runs over the end of its cell into the next one is no
  // match. Safe on several threads at once.
  int64_t find(size_t first, const GridNeedle& what) const;

  // Edits, in UTF-16: a cell added at the end, a cell's text replaced, the
  // last cell taken away.
  void append(TextView v);
  void replace(size_t i, TextView v);
  void popBack();
  // Cells `first` to `first + count` of another column added at the end.
  void appendCells(const GridMirrorCells& from, size_t first, size_t count);

  // Filling from SQLite: emptied into the compact form, its memory kept,
  // with room for a little more than `bytes` bytes and for `cells` cells
  // (with `touch`, the room's memory written once now, so that filling it
  // takes no fresh pages); each cell's bytes then added as they stand; and
  // once full, settled into its form. Until settled, only `filledBytes` may
  // be asked. With an `arena`, the room comes from it where the memory
  // kept is not room enough.
  void startFill(size_t bytes, size_t cells, bool touch = false, const std::shared_ptr<GridArena>& arena = nullptr);
  void appendBytes(std::string_view bytes) {
    if (counted_) {
      if (counts(bytes)) return;
      spell();
    }
    bytes_.append(bytes);
    ends_.push_back(bytes_.size());
  }
  void settle();
  size_t filledBytes() const { return bytes_.size(); }

  // True while the cells are kept as UTF-8 bytes (or counted).
  bool compact() const { return compact_; }
  // True while the cells are kept as a run of whole numbers.
  bool counted() const { return counted_; }
  // True while where cells end is kept in 64 bits.
  bool wideEnds() const { return (compact_ && widened_ ? wideEnds_ : ends_).wide(); }

 private:
  void widen() const;  // fills the UTF-16 form of a compact column
  // Keeps the column in UTF-16 from now on; `units` is room enough for its
  // cells decoded one by one.
  void toWide(size_t units);
  void toWide();

  // True when `v` is the text of the number after the run's last (any
  // whole number's text, for an empty run), which then joins the run;
  // false, the run untouched, otherwise.
  bool counts(std::string_view v);
  bool counts(TextView v);
  // A counted column spelled out into bytes, kept compact.
  void spell();
  // Cell `i`'s text in a counted column.
  std::string_view number(size_t i, char (&digits)[24]) const;

  GridBytes bytes_;            // the compact form
  GridCellEnds ends_;          // where each cell ends: in bytes_ when compact, else in text_
  bool compact_ = true;
  // The counted form: `count_` cells, the first the text of `first_`.
  bool counted_ = true;
  int64_t first_ = 0;
  size_t count_ = 0;
  // The UTF-16 form: the cells themselves, or the compact form widened
  // (with its own ends) once a cell was read.
  mutable GridUnits text_;
  mutable GridCellEnds wideEnds_;
  mutable bool widened_ = false;
};

}  // namespace zuvo
