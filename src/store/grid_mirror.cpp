// The grid mirror: a table's cells held in memory for the flex grids bound
// to it, taken over from the read ahead of a large table (grid_read.cpp)
// or read at its first use, searched by column and written through the
// store when a cell is edited.

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

#include "store/data_source.h"
#include "store/seed.h"
#include "store/store_connection.h"

namespace zuvo {

void DataSource::gridAppend(int64_t rowid, const Record& rec) {
  gridTouched();
  if (gridRowids_.size() % kGridBlock == 0) gridBlocks_.emplace_back(schema_.fields.size());
  GridBlock& b = gridBlocks_.back();
  for (size_t c = 0; c < b.size(); ++c) b[c].append(rec.get(c).value_or(TextView()));
  gridRowids_.push_back(rowid);
}

void DataSource::gridReplace(int64_t row, size_t col, TextView v) {
  gridTouched();
  gridBlocks_[row / kGridBlock][col].replace(static_cast<size_t>(row % kGridBlock), v);
}

void ReadTurns::leave(uint64_t ticket) {
  line_.erase(std::find(line_.begin(), line_.end(), ticket));
  turn_.notify_all();
}

// Never destroyed: a window may still give up its read-ahead while the
// program's statics go.
ReadTurns& readTurns() {
  static auto* turns = new ReadTurns;
  return *turns;
}

// A row saved as the table's last joins the mirror; saved again (an empty
// record of a group filled in by its own AddNew), its cells follow.
void DataSource::gridSaved(int64_t rowid) {
  if (!gridLoaded_ || (!gridRowids_.empty() && gridRowids_.back() > rowid)) return;
  auto rec = byRowid(rowid);
  if (!rec) return;
  if (gridRowids_.empty() || gridRowids_.back() < rowid) {
    gridAppend(rowid, *rec);
    return;
  }
  const int64_t row = static_cast<int64_t>(gridRowids_.size()) - 1;
  for (size_t c = 0; c < schema_.fields.size(); ++c) gridReplace(row, c, rec->get(c).value_or(TextView()));
}

DataSource::Preload::~Preload() {
  cancel = true;
  readTurns().wake();
  if (result.valid()) result.wait();
}

// Room for the rows of a table read whole: its largest rowid, which the
// rows' count seldom falls far below (memory reserved and not filled costs
// nothing), so that the rowids are never copied as they grow. None for a
// rowid too large to be the count of rows held in memory.
size_t rowsAtMost(sqlite3* db, const std::string& table) {
  sqlite3_stmt* st = nullptr;
  int64_t last = 0;
  if (sqlite3_prepare_v2(db, ("SELECT max(rowid) FROM " + table).c_str(), -1, &st, nullptr) == SQLITE_OK &&
      sqlite3_step(st) == SQLITE_ROW)
    last = sqlite3_column_int64(st, 0);
  sqlite3_finalize(st);
  constexpr int64_t kMost = int64_t{1} << 28;
  return last > 0 && last <= kMost ? static_cast<size_t>(last) : 0;
}

void DataSource::loadGrid() {
  ensureOpen();
  sync();
  if (gridLoaded_) return;
  flushHeld();  // the read takes the file's rows only
  gridTouched();
  // The mirror read before lends its memory to the new one: a table read
  // again after another program's save fills memory already in use.
  const std::vector<int64_t> splits = gridSplits();
  std::vector<GridBlock> earlier = std::move(gridBlocks_);
  gridBlocks_.clear();
  gridRowids_.clear();
  gridLoaded_ = true;
  if (!db_) return;
  ++queries_;
  if (preload_ && !preload_->readingAtCheck) {
    // The read ahead had not begun when this event checked the file: the
    // check is made again under the event's read lock, which holds off
    // other programs' saves until the event ends, so a read ahead that
    // begins later still reads the file as this event does.
    readHere();
    versionUnchecked_ = true;
    checkedCounter_.reset();
    sync();
    gridLoaded_ = true;
    if (preload_ && conn_->reading) {
      preload_->readingAtCheck = true;
      readTurns().hurry(preload_->ticket);
    }
  }
  if (auto p = std::move(preload_)) {
    // Taken over only when its read began before the change counter was
    // read under this event's read lock, or before its check otherwise,
    // and nothing has been saved since the read ahead started, by this
    // program or another.
    if (p->readingAtCheck && p->dataVersion == dataVersion_ && p->generation == generation_) {
      if (auto read = p->result.get()) {
        gridRowids_ = std::move(read->rowids);
        gridBlocks_ = std::move(read->blocks);
        return;
      }
    }
  }
  readHere();
  GridRead read;
  read.rowids = std::move(gridRowids_);  // empty, its memory lent as the blocks' is
  // A table read before (another program has saved into it since) is read
  // again in parts side by side where that is sure to read what this event
  // reads, else in one pass on the event's own connection.
  if (!readGridInParts(splits, earlier, read)) {
    read.rowids.reserve(rowsAtMost(db_, tableRef()));
    sqlite3_stmt* st = st_->get(selectList(schema_, tableRef()) + " ORDER BY rowid");
    std::reverse(earlier.begin(), earlier.end());  // taken from the back, first block first
    const int rc = readGrid(st, schema_.fields.size(), read, nullptr, nullptr, &earlier);
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) {
      // A damaged page ends the read: reported, never a grid cut short.
      gridLoaded_ = false;
      fail(sqlite3_errmsg(db_));
    }
  }
  gridRowids_ = std::move(read.rowids);
  gridBlocks_ = std::move(read.blocks);
  // A pending begun record written through is not yet part of the table.
  if (addedRowid_ && !gridRowids_.empty() && gridRowids_.back() == addedRowid_) {
    gridRowids_.pop_back();
    GridBlock& b = gridBlocks_.back();
    for (GridCells& cells : b) cells.popBack();
    if (b.front().size() == 0) gridBlocks_.pop_back();
  }
}

int64_t DataSource::gridRows() {
  loadGrid();
  return static_cast<int64_t>(gridRowids_.size());
}

int64_t DataSource::gridCols() { return static_cast<int64_t>(schema_.fields.size()); }

Text DataSource::gridCell(int64_t row, int64_t col) { return Text(gridCellView(row, col)); }

TextView DataSource::gridCellView(int64_t row, int64_t col) {
  loadGrid();
  if (row < 0 || row >= static_cast<int64_t>(gridRowids_.size()) || col < 0 ||
      col >= static_cast<int64_t>(schema_.fields.size()))
    return {};
  return gridBlocks_[row / kGridBlock][col].cell(static_cast<size_t>(row % kGridBlock));
}

namespace {

// A long search is split into parts searched side by side: the scan is
// bound by memory, which one thread does not use to the full.
constexpr int64_t kFindHelpers = 3;
constexpr int64_t kBlocksPerFindPart = 48;

}  // namespace

// The first row at or after `fromRow` whose cell holds the text. Parts
// after the one holding the first hit stop as soon as it is found.
int64_t DataSource::gridFind(int64_t col, TextView what, int64_t fromRow) {
  loadGrid();
  const int64_t rows = static_cast<int64_t>(gridRowids_.size());
  if (fromRow < 0) fromRow = 0;
  if (col < 0 || col >= static_cast<int64_t>(schema_.fields.size()) || fromRow >= rows) return -1;
  if (what.empty()) return fromRow;
  const GridNeedle needle(what);
  const int64_t firstBlock = fromRow / kGridBlock, blocks = static_cast<int64_t>(gridBlocks_.size());
  std::atomic<int64_t> firstHitPart{INT64_MAX};
  auto searchPart = [&](int64_t part, int64_t from, int64_t to) -> int64_t {
    for (int64_t blk = from; blk < to; ++blk) {
      if (firstHitPart.load(std::memory_order_relaxed) < part) return -1;
      const size_t first = blk == firstBlock ? static_cast<size_t>(fromRow % kGridBlock) : 0;
      if (const int64_t i = gridBlocks_[blk][col].find(first, needle); i >= 0) {
        int64_t seen = firstHitPart.load();
        while (part < seen && !firstHitPart.compare_exchange_weak(seen, part)) {
        }
        return blk * kGridBlock + i;
      }
    }
    return -1;
  };
  const int64_t parts = std::min(kFindHelpers + 1, (blocks - firstBlock) / kBlocksPerFindPart);
  if (parts < 2) return searchPart(0, firstBlock, blocks);
  const int64_t per = (blocks - firstBlock + parts - 1) / parts;
  std::vector<std::future<int64_t>> helpers;
  std::vector<int64_t> found(static_cast<size_t>(parts), -1);
  for (int64_t part = 1; part < parts; ++part) {
    const int64_t from = firstBlock + part * per, to = std::min(blocks, from + per);
    try {
      helpers.push_back(std::async(std::launch::async, searchPart, part, from, to));
    } catch (const std::system_error&) {  // no thread to be had: searched here
      std::promise<int64_t> done;
      done.set_value(searchPart(part, from, to));
      helpers.push_back(done.get_future());
    }
  }
  found[0] = searchPart(0, firstBlock, firstBlock + per);
  for (int64_t part = 1; part < parts; ++part) found[static_cast<size_t>(part)] = helpers[static_cast<size_t>(part - 1)].get();
  for (const int64_t row : found)
    if (row >= 0) return row;
  return -1;
}

int64_t DataSource::gridColumn(const Text& field) { return fieldIndex(toUtf8(field)); }

int64_t DataSource::gridCurrentRow() {
  if (!current_ || adding_) return -1;
  loadGrid();
  auto it = std::lower_bound(gridRowids_.begin(), gridRowids_.end(), current_->rowid);
  if (it == gridRowids_.end() || *it != current_->rowid) return -1;
  return it - gridRowids_.begin();
}

bool DataSource::gridMoveTo(int64_t row) {
  if (!db_) return true;
  keepState();
  loadGrid();
  if (row < 0 || row >= static_cast<int64_t>(gridRowids_.size())) return true;
  const int64_t rowid = gridRowids_[row];
  if (current_ && !adding_ && current_->rowid == rowid) return true;  // already there
  saveWork();
  if (auto rec = byRowid(rowid)) arrive(std::move(rec));
  return true;
}

bool DataSource::gridWrite(int64_t row, int64_t col, TextView value) {
  if (!db_ || schema_.readOnly || adding_ || col < 0 || col >= gridCols()) return false;
  if (gridCurrentRow() != row || schema_.fields[col] == "ID") return false;
  const int f = static_cast<int>(col);
  if (current_->get(f).value_or(TextView()) == value) return true;
  boxWritten(f, Text(value));  // an edit of the record, written through when the event ends
  gridReplace(row, static_cast<size_t>(col), value);
  showField(f, value);
  return true;
}

}  // namespace zuvo
