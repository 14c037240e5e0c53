#pragma once
// The character formats of a rich text as runs: each run holds one format
// from its start up to the next run's start (or the end). A plain text of
// any length is one run, so a long document costs a few bytes a run rather
// than a record per character. Neighbouring runs always differ and none is
// empty, so two equal sequences of formats have equal runs. The runs are
// kept on both sides of the last edit, so formats set front to back, as
// the panes colour their hits, never move the runs after them (text
// inserted or erased still shifts the starts of every later run). Even a
// const read may move runs from one side to the other: one thread at a time.

#include <cstdint>
#include <vector>

#include "platform/control.h"

namespace zuvo {

struct CharFormat {
  Colour colour = kWindowText;  // kWindowText is the plain (automatic) colour
  bool bold = false;
  float size = 12;
  bool operator==(const CharFormat&) const = default;
};

class FormatRuns {
 public:
  struct Run {
    int64_t start;
    CharFormat format;
    bool operator==(const Run&) const = default;
  };

  FormatRuns() = default;
  FormatRuns(int64_t count, const CharFormat& f) { append(count, f); }

  // The number of characters covered.
  int64_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  // The format of the character at pos (0 <= pos < size()).
  const CharFormat& at(int64_t pos) const { return run(runIndexAt(pos)).format; }

  // The runs in order; run i ends where run i + 1 starts, the last at size().
  const std::vector<Run>& runs() const {
    joinSides();
    return before_;
  }
  size_t runCount() const { return before_.size() + after_.size(); }
  int64_t runEnd(size_t i) const { return i + 1 < runCount() ? run(i + 1).start : size_; }
  // The index of the run holding pos (0 <= pos < size()).
  size_t runIndexAt(int64_t pos) const;

  void clear() {
    before_.clear();
    after_.clear();
    size_ = 0;
  }
  void assign(int64_t count, const CharFormat& f) {
    clear();
    append(count, f);
  }
  // Adds count characters of format f at the end.
  void append(int64_t count, const CharFormat& f);
  // Adds the formats of other's [from, to) at the end.
  void append(const FormatRuns& other, int64_t from, int64_t to);
  // Cuts to count characters, or grows to it with format f.
  void resize(int64_t count, const CharFormat& f);

  // Puts count characters of format f in at pos (0 <= pos <= size()).
  void insert(int64_t pos, int64_t count, const CharFormat& f);
  // Removes the characters [pos, pos + count), within the size.
  void erase(int64_t pos, int64_t count);
  // Gives the characters [from, to) format f.
  void set(int64_t from, int64_t to, const CharFormat& f) {
    update(from, to, [&f](CharFormat& c) { c = f; });
  }
  // Changes the format of each character of [from, to) by edit, run by run.
  template <class Edit>
  void update(int64_t from, int64_t to, Edit&& edit) {
    if (from < 0) from = 0;
    if (to > size_) to = size_;
    if (from >= to) return;
    const size_t first = splitAt(from);
    const size_t last = splitAt(to);
    for (size_t i = first; i < last; ++i) edit(run(i).format);
    mergeAround(first, last);
  }

  bool operator==(const FormatRuns& o) const;

 private:
  // Run i in order, wherever the cursor stands.
  const Run& run(size_t i) const {
    return i < before_.size() ? before_[i] : after_[after_.size() - 1 - (i - before_.size())];
  }
  Run& run(size_t i) { return i < before_.size() ? before_[i] : after_[after_.size() - 1 - (i - before_.size())]; }
  // Puts the cursor before run i: runs [0, i) in before_, the rest in after_.
  // It changes where the runs are kept, never what they are, so a reader
  // may move it too.
  void moveCursor(size_t i) const;
  void joinSides() const { moveCursor(runCount()); }
  // Makes a run start at pos (0 <= pos <= size()) and returns its index
  // (runCount() for pos == size()).
  size_t splitAt(int64_t pos);
  // Joins equal neighbours among the runs [first - 1, last].
  void mergeAround(size_t first, size_t last);

  // The runs before the cursor in order, and those after it last first.
  // Reading them all in one vector moves the cursor to the end.
  mutable std::vector<Run> before_;
  mutable std::vector<Run> after_;
  int64_t size_ = 0;
};

}  // namespace zuvo
