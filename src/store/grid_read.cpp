// Reading a whole table into the grid mirror. One thread steps through the
// rows in one read snapshot and copies each block's bytes as they stand;
// other threads turn full blocks into the mirror's columns meanwhile, so a
// large table loads at about the speed SQLite reads it. Blocks keep their
// order, and a table of less than one block never leaves the calling thread.
//
// A table read again, after another program's save, is read in parts by
// rowid, side by side, each on a connection of its own, split where the
// mirror before it had block boundaries: it loads faster than SQLite reads
// it in one pass.

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <deque>
#include <future>
#include <memory>
#include <optional>
#include <system_error>

#include "store/data_source.h"
#include "store/seed.h"
#include "store/store_connection.h"

namespace zuvo {

namespace {

// Blocks being turned into columns beside the reading thread.
constexpr size_t kDecoders = 3;

// A cell's text as UTF-8 bytes: a number's as SQLite writes it, without its
// conversion, in `digits`; none for NULL.
constexpr size_t kDigits = 24;
std::string_view cellBytes(sqlite3_stmt* st, int col, char (&digits)[kDigits]) {
  switch (sqlite3_column_type(st, col)) {
    case SQLITE_NULL:
      return {};
    case SQLITE_INTEGER:
      return {digits, static_cast<size_t>(std::to_chars(digits, digits + kDigits, sqlite3_column_int64(st, col)).ptr - digits)};
    default: {
      const char* t = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
      return {t, static_cast<size_t>(sqlite3_column_bytes(st, col))};
    }
  }
}

// A block of rows as SQLite gave them: each column's UTF-8 bytes side by
// side, and where each cell ends. `units` is the decoder's work space, kept
// with the block so that it is reused, never zero-filled afresh; `into`, a
// block of an earlier mirror whose memory the decoded block takes over.
template <class Block>
struct RawBlock {
  std::vector<std::string> bytes;
  std::vector<std::vector<size_t>> ends;
  std::u16string units;
  Block into;
  void reset(size_t cols) {
    bytes.resize(cols);
    ends.resize(cols);
    for (auto& b : bytes) b.clear();
    for (auto& e : ends) e.clear();
  }
};

}  // namespace

int DataSource::readGrid(sqlite3_stmt* st, size_t cols, GridRead& out, const std::atomic<bool>* cancel,
                         std::atomic<bool>* started, std::vector<GridBlock>* reuse) {
  // Each cell is decoded on its own: a damaged sequence never reaches into
  // the next cell. A UTF-8 byte gives at most one UTF-16 unit. The cells are
  // decoded into the block's work space and copied once into a text of
  // their exact size.
  using Raw = RawBlock<GridBlock>;
  auto decode = [cols](Raw& raw) {
    GridBlock block = std::move(raw.into);
    block.resize(cols);
    for (size_t c = 0; c < cols; ++c) {
      const std::string_view bytes = raw.bytes[c];
      GridCells& cells = block[c];
      if (raw.units.size() < bytes.size()) raw.units.resize(bytes.size());
      cells.ends.clear();
      cells.ends.reserve(raw.ends[c].size());
      size_t from = 0, units = 0;
      for (const size_t end : raw.ends[c]) {
        units += utf8ToUnits(bytes.substr(from, end - from), raw.units.data() + units);
        cells.ends.push_back(units);
        from = end;
      }
      cells.text.assign(raw.units.data(), units);
    }
    return block;
  };
  using Job = std::shared_ptr<Raw>;
  struct Decoding {
    std::future<GridBlock> block;
    Job raw;  // handed back once decoded, for a later block's bytes
  };
  std::deque<Decoding> decoding;
  std::vector<Job> spare;
  auto collect = [&] {
    out.blocks.push_back(decoding.front().block.get());
    spare.push_back(std::move(decoding.front().raw));
    decoding.pop_front();
  };
  auto nextRaw = [&] {
    Job raw = spare.empty() ? std::make_shared<Raw>() : std::move(spare.back());
    if (!spare.empty()) spare.pop_back();
    raw->reset(cols);
    raw->into.clear();
    if (reuse && !reuse->empty()) {
      raw->into = std::move(reuse->back());
      reuse->pop_back();
    }
    return raw;
  };
  auto handOver = [&](Job raw) {
    if (decoding.size() >= kDecoders) collect();
    std::future<GridBlock> block;
    try {
      block = std::async(std::launch::async, [raw, decode] { return decode(*raw); });
    } catch (const std::system_error&) {  // no thread to be had: decoded here
      std::promise<GridBlock> done;
      done.set_value(decode(*raw));
      block = done.get_future();
    }
    decoding.push_back({std::move(block), std::move(raw)});
  };

  Job raw = nextRaw();
  size_t inBlock = 0;
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    if (started && out.rowids.empty()) started->store(true);
    if (inBlock == kGridBlock) {
      if (cancel && cancel->load(std::memory_order_relaxed)) return SQLITE_INTERRUPT;
      handOver(std::move(raw));
      raw = nextRaw();
      inBlock = 0;
    }
    out.rowids.push_back(sqlite3_column_int64(st, 0));
    for (size_t i = 0; i < cols; ++i) {
      std::string& bytes = raw->bytes[i];
      char digits[kDigits];
      bytes.append(cellBytes(st, static_cast<int>(i) + 1, digits));
      raw->ends[i].push_back(bytes.size());
    }
    ++inBlock;
  }
  if (started) started->store(true);
  if (rc != SQLITE_DONE) return rc;
  while (!decoding.empty()) collect();
  if (inBlock) out.blocks.push_back(decode(*raw));
  return rc;
}

namespace {

// A table read again is read in at most this many parts, of at least this
// many blocks each: no more threads than a read in one pass keeps busy.
constexpr size_t kParts = kDecoders + 1;
constexpr size_t kBlocksPerPart = 2;

}  // namespace

std::vector<int64_t> DataSource::gridSplits() const {
  const size_t blocks = gridBlocks_.size();
  const size_t parts = std::min(kParts, blocks / kBlocksPerPart);
  std::vector<int64_t> firsts;
  if (parts < 2) return firsts;
  const size_t per = (blocks + parts - 1) / parts;
  for (size_t b = 0; b < blocks; b += per) firsts.push_back(gridRowids_[b * kGridBlock]);
  return firsts;
}

namespace {

// One part of a read in parts: its rows decoded as they are stepped, a
// block's column at a time into work space kept for the whole part, then
// copied once into a text of its exact size, in memory of an earlier
// mirror where there is some.
template <class Read, class Block>
std::optional<Read> readPart(const std::string& file, const std::string& sql, size_t cols, int64_t first, int64_t last,
                             std::vector<Block> reuse, int64_t blockRows) {
  struct Db {
    sqlite3* db = nullptr;
    sqlite3_stmt* st = nullptr;
    ~Db() {
      sqlite3_finalize(st);
      sqlite3_close_v2(db);
    }
  } c;
  // No wait for a lock: one refused while another program waits to save
  // sends the whole table to the event's own connection.
  if (sqlite3_open_v2(file.c_str(), &c.db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK ||
      sqlite3_prepare_v2(c.db, sql.c_str(), -1, &c.st, nullptr) != SQLITE_OK)
    return std::nullopt;
  sqlite3_bind_int64(c.st, 1, first);
  sqlite3_bind_int64(c.st, 2, last);
  Read out;
  out.rowids.reserve(reuse.size() * static_cast<size_t>(blockRows));
  std::reverse(reuse.begin(), reuse.end());  // taken from the back, first block first
  std::vector<std::u16string> units(cols);
  std::vector<size_t> used(cols, 0);
  Block block;
  auto startBlock = [&] {
    block.clear();
    if (!reuse.empty()) {
      block = std::move(reuse.back());
      reuse.pop_back();
    }
    block.resize(cols);
    for (auto& cells : block) cells.ends.clear();
  };
  auto endBlock = [&] {
    for (size_t i = 0; i < cols; ++i) {
      block[i].text.assign(units[i].data(), used[i]);
      used[i] = 0;
    }
    out.blocks.push_back(std::move(block));
  };
  // Room for `n` more units after what the column holds.
  auto room = [&](size_t i, size_t n) {
    std::u16string& u = units[i];
    if (u.size() < used[i] + n) u.resize(std::max(u.size() * 2, used[i] + n));
    return u.data() + used[i];
  };
  int64_t inBlock = 0;
  int rc;
  startBlock();
  while ((rc = sqlite3_step(c.st)) == SQLITE_ROW) {
    if (inBlock == blockRows) {
      endBlock();
      startBlock();
      inBlock = 0;
    }
    out.rowids.push_back(sqlite3_column_int64(c.st, 0));
    for (size_t i = 0; i < cols; ++i) {
      char digits[kDigits];
      const std::string_view bytes = cellBytes(c.st, static_cast<int>(i) + 1, digits);
      used[i] += utf8ToUnits(bytes, room(i, bytes.size()));
      block[i].ends.push_back(used[i]);
    }
    ++inBlock;
  }
  if (rc != SQLITE_DONE) return std::nullopt;
  if (inBlock) endBlock();
  return out;
}

}  // namespace

bool DataSource::readGridInParts(const std::vector<int64_t>& firsts, std::vector<GridBlock>& earlier, GridRead& out) {
  if (firsts.size() < 2 || !db_ || !conn_->reading || conn_->inTransaction || sqlite3_get_autocommit(db_)) return false;
  // Other connections read the file as this event does only while its read
  // lock holds off every other program's commit, which is so for a file
  // with a rollback journal (a file in WAL mode shows no counter): a read of
  // the table in this event's transaction makes sure the lock is taken.
  sqlite3_stmt* st = st_->get("SELECT max(rowid) FROM " + tableRef());
  const int rc = sqlite3_step(st);
  sqlite3_reset(st);
  if (rc != SQLITE_ROW) return false;
  const std::optional<uint32_t> counter = fileCommitCounter();
  if (!counter) return false;

  const std::string file = path().string();
  const std::string sql = selectList(schema_, sqlName(schema_.table)) + " WHERE rowid BETWEEN ?1 AND ?2 ORDER BY rowid";
  const size_t cols = schema_.fields.size(), parts = firsts.size();
  // Each part takes over the earlier blocks it is likely to fill again.
  const size_t per = (earlier.size() + parts - 1) / parts;
  auto readOne = [&](size_t k) {
    const int64_t first = k ? firsts[k] : INT64_MIN;
    const int64_t last = k + 1 < parts ? firsts[k + 1] - 1 : INT64_MAX;
    std::vector<GridBlock> lent;
    for (size_t b = k * per; b < std::min(earlier.size(), (k + 1) * per); ++b) lent.push_back(std::move(earlier[b]));
    return readPart<GridRead, GridBlock>(file, sql, cols, first, last, std::move(lent), kGridBlock);
  };
  std::vector<std::future<std::optional<GridRead>>> helpers;
  for (size_t k = 1; k < parts; ++k) {
    try {
      helpers.push_back(std::async(std::launch::async, readOne, k));
    } catch (const std::system_error&) {  // no thread to be had: read here
      std::promise<std::optional<GridRead>> done;
      done.set_value(readOne(k));
      helpers.push_back(done.get_future());
    }
  }
  std::vector<std::optional<GridRead>> read;
  read.push_back(readOne(0));
  for (auto& h : helpers) read.push_back(h.get());
  earlier.clear();
  for (const auto& r : read)
    if (!r) return false;
  // Belt and braces: nothing was committed into the file meanwhile.
  if (fileCommitCounter() != counter) return false;

  // The parts joined in order. A part whose rows do not fill its last block
  // (rows were added or deleted since the splits were taken) moves every
  // later row into place.
  size_t rows = 0;
  for (const auto& r : read) rows += r->rowids.size();
  out.rowids.clear();
  out.rowids.reserve(rows);
  out.blocks.clear();
  for (auto& r : read) {
    GridRead& part = *r;
    if (out.rowids.size() % kGridBlock == 0) {
      out.rowids.insert(out.rowids.end(), part.rowids.begin(), part.rowids.end());
      for (GridBlock& b : part.blocks) out.blocks.push_back(std::move(b));
      continue;
    }
    size_t row = 0;
    for (const GridBlock& b : part.blocks) {
      const size_t rows = b.front().ends.size();
      for (size_t i = 0; i < rows;) {
        if (out.rowids.size() % kGridBlock == 0) out.blocks.emplace_back(cols);
        const size_t take = std::min(rows - i, static_cast<size_t>(kGridBlock) - out.rowids.size() % kGridBlock);
        GridBlock& to = out.blocks.back();
        for (size_t c = 0; c < cols; ++c) {
          const GridCells& from = b[c];
          const size_t start = i ? from.ends[i - 1] : 0, base = to[c].text.size();
          to[c].text.append(from.text, start, from.ends[i + take - 1] - start);
          for (size_t k = i; k < i + take; ++k) to[c].ends.push_back(base + from.ends[k] - start);
        }
        out.rowids.insert(out.rowids.end(), part.rowids.begin() + static_cast<std::ptrdiff_t>(row + i),
                          part.rowids.begin() + static_cast<std::ptrdiff_t>(row + i + take));
        i += take;
      }
      row += rows;
    }
  }
  return true;
}

}  // namespace zuvo
