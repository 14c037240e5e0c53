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

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"

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

class GridMirrorCells {
 public:
  size_t size() const { return ends_.size(); }
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
  // be asked.
  void startFill(size_t bytes, size_t cells, bool touch = false);
  void appendBytes(std::string_view bytes) {
    bytes_.append(bytes);
    ends_.push_back(bytes_.size());
  }
  void settle();
  size_t filledBytes() const { return bytes_.size(); }

  // True while the cells are kept as UTF-8 bytes.
  bool compact() const { return compact_; }

 private:
  void widen() const;  // fills the UTF-16 form of a compact column
  // Keeps the column in UTF-16 from now on; `units` is room enough for its
  // cells decoded one by one.
  void toWide(size_t units);
  void toWide() { toWide(compact_ && !widened_ ? utf8Units(bytes_).value_or(bytes_.size()) : 0); }

  std::string bytes_;          // the compact form
  std::vector<size_t> ends_;   // where each cell ends: in bytes_ when compact, else in text_
  bool compact_ = true;
  // The UTF-16 form: the cells themselves, or the compact form widened
  // (with its own ends) once a cell was read.
  mutable Text text_;
  mutable std::vector<size_t> wideEnds_;
  mutable bool widened_ = false;
};

}  // namespace zuvo
