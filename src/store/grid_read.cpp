// Reading a whole table into the grid mirror. One thread steps through the
// rows in one read snapshot and copies each cell's bytes as they stand into
// the block that keeps them; other threads settle full blocks into their
// form meanwhile (grid_cells.h), so a large table loads at about the speed
// SQLite reads it. Blocks keep their order, and a table of less than one
// block never leaves the calling thread.
//
// A table read again, after another program's save, is read in parts by
// rowid, side by side, each on a connection of its own, split where the
// mirror before it had block boundaries: it loads faster than SQLite reads
// it in one pass. A large table's first read, ahead of its first use on a
// thread of its own, is read in parts too, split where its blocks would
// begin were its rowids consecutive.
//
// Every block after a read's first takes its memory from an arena of the
// read's own (grid_arena.h), faulted in huge pages where the system grants
// them; the first, whose size is not yet known, and a table of one block
// take theirs from the heap.

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

// Blocks being settled beside the reading thread.
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

// The arena of one read, sealed when the read ends: what its blocks take
// later comes from the heap.
struct ReadArena {
  std::shared_ptr<GridArena> arena = std::make_shared<GridArena>();
  ~ReadArena() { arena->seal(); }
};

}  // namespace

namespace {

// Blocks whose memory is taken and touched on threads of their own ahead
// of the rows that fill them: the reading thread then writes into pages
// already there, while the system's work of handing out fresh pages, a good
// part of a large table's read, runs beside it.
constexpr size_t kReadyAhead = 2;

// `make` run on a thread of its own, or here when no thread is to be had.
template <class Make>
auto beside(Make make) -> std::future<decltype(make())> {
  // Held apart, so that a thread refused leaves what it holds here.
  auto held = std::make_shared<Make>(std::move(make));
  try {
    return std::async(std::launch::async, [held] { return (*held)(); });
  } catch (const std::system_error&) {
    std::promise<decltype(make())> here;
    here.set_value((*held)());
    return here.get_future();
  }
}

}  // namespace

int DataSource::readGrid(sqlite3_stmt* st, size_t cols, GridRead& out, const std::atomic<bool>* cancel,
                         std::atomic<bool>* started, std::vector<GridBlock>* reuse) {
  // The rows' bytes go straight into the block that keeps them; a full
  // block is settled into its form (each cell checked, a column decoded
  // only where its bytes cannot be kept) beside the reading thread.
  std::deque<std::future<GridBlock>> settling, ready;
  const ReadArena read;
  auto collect = [&] {
    out.blocks.push_back(settling.front().get());
    settling.pop_front();
  };
  // Each column's bytes in the block before: room for the next; and room
  // for its cells' ends, none for a column counted (grid_cells.h).
  std::vector<size_t> room, cellRoom;
  auto lent = [&] {
    GridBlock block;
    if (reuse && !reuse->empty()) {
      block = std::move(reuse->back());
      reuse->pop_back();
    }
    block.resize(cols);
    return block;
  };
  auto nextBlock = [&] {
    GridBlock block;
    if (!ready.empty()) {
      block = ready.front().get();
      ready.pop_front();
    } else {
      block = lent();
      for (size_t c = 0; c < cols; ++c)
        block[c].startFill(room.empty() ? 0 : room[c], cellRoom.empty() ? kGridBlock : cellRoom[c], false,
                           room.empty() ? nullptr : read.arena);
    }
    while (!room.empty() && ready.size() < kReadyAhead)
      ready.push_back(beside([block = lent(), room, cellRoom, arena = read.arena]() mutable {
        for (size_t c = 0; c < block.size(); ++c) block[c].startFill(room[c], cellRoom[c], true, arena);
        return std::move(block);
      }));
    return block;
  };
  auto handOver = [&](GridBlock block) {
    room.resize(cols);
    cellRoom.resize(cols);
    for (size_t c = 0; c < cols; ++c) {
      room[c] = block[c].filledBytes();
      cellRoom[c] = block[c].counted() ? 0 : kGridBlock;
    }
    if (settling.size() >= kDecoders) collect();
    settling.push_back(beside([block = std::move(block)]() mutable {
      for (GridCells& cells : block) cells.settle();
      return std::move(block);
    }));
  };

  GridBlock block = nextBlock();
  size_t inBlock = 0;
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    if (started && out.rowids.empty()) started->store(true);
    if (inBlock == kGridBlock) {
      if (cancel && cancel->load(std::memory_order_relaxed)) return SQLITE_INTERRUPT;
      handOver(std::move(block));
      block = nextBlock();
      inBlock = 0;
    }
    out.rowids.push_back(sqlite3_column_int64(st, 0));
    for (size_t i = 0; i < cols; ++i) {
      char digits[kDigits];
      block[i].appendBytes(cellBytes(st, static_cast<int>(i) + 1, digits));
    }
    ++inBlock;
  }
  if (started) started->store(true);
  if (rc != SQLITE_DONE) return rc;
  while (!settling.empty()) collect();
  if (inBlock) {
    for (GridCells& cells : block) cells.settle();
    out.blocks.push_back(std::move(block));
  }
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

// The rows of a statement put straight into blocks, in memory of an earlier
// mirror where there is some (`reuse`, first block first), else of `arena`
// from a part's second block on, each block settled into its form once
// full. None on an error, or once `cancel` is set.
template <class Read, class Block>
std::optional<Read> readRows(sqlite3_stmt* st, size_t cols, std::vector<Block> reuse, int64_t blockRows,
                             const std::shared_ptr<GridArena>& arena, const std::atomic<bool>* cancel, size_t reserve) {
  Read out;
  out.rowids.reserve(reserve);
  std::reverse(reuse.begin(), reuse.end());  // taken from the back, first block first
  std::vector<size_t> room(cols, 0), cellRoom(cols, static_cast<size_t>(blockRows));
  Block block;
  auto startBlock = [&] {
    block.clear();
    if (!reuse.empty()) {
      block = std::move(reuse.back());
      reuse.pop_back();
    }
    block.resize(cols);
    for (size_t i = 0; i < cols; ++i) block[i].startFill(room[i], cellRoom[i], false, room[i] ? arena : nullptr);
  };
  auto endBlock = [&] {
    for (size_t i = 0; i < cols; ++i) {
      room[i] = block[i].filledBytes();
      cellRoom[i] = block[i].counted() ? 0 : static_cast<size_t>(blockRows);
      block[i].settle();
    }
    out.blocks.push_back(std::move(block));
  };
  int64_t inBlock = 0;
  int rc;
  startBlock();
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    if (inBlock == blockRows) {
      if (cancel && cancel->load(std::memory_order_relaxed)) return std::nullopt;
      endBlock();
      startBlock();
      inBlock = 0;
    }
    out.rowids.push_back(sqlite3_column_int64(st, 0));
    for (size_t i = 0; i < cols; ++i) {
      char digits[kDigits];
      block[i].appendBytes(cellBytes(st, static_cast<int>(i) + 1, digits));
    }
    ++inBlock;
  }
  if (rc != SQLITE_DONE) return std::nullopt;
  if (inBlock) endBlock();
  return out;
}

// One part of a read in parts, on a connection of its own.
template <class Read, class Block>
std::optional<Read> readPart(const std::string& file, const std::string& sql, size_t cols, int64_t first, int64_t last,
                             std::vector<Block> reuse, int64_t blockRows, const std::shared_ptr<GridArena>& arena) {
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
  const size_t reserve = reuse.size() * static_cast<size_t>(blockRows);
  return readRows<Read, Block>(c.st, cols, std::move(reuse), blockRows, arena, nullptr, reserve);
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
  const ReadArena arena;
  auto readOne = [&](size_t k) {
    const int64_t first = k ? firsts[k] : INT64_MIN;
    const int64_t last = k + 1 < parts ? firsts[k + 1] - 1 : INT64_MAX;
    std::vector<GridBlock> lent;
    for (size_t b = k * per; b < std::min(earlier.size(), (k + 1) * per); ++b) lent.push_back(std::move(earlier[b]));
    return readPart<GridRead, GridBlock>(file, sql, cols, first, last, std::move(lent), kGridBlock, arena.arena);
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
      const size_t rows = b.front().size();
      for (size_t i = 0; i < rows;) {
        if (out.rowids.size() % kGridBlock == 0) out.blocks.emplace_back(cols);
        const size_t take = std::min(rows - i, static_cast<size_t>(kGridBlock) - out.rowids.size() % kGridBlock);
        GridBlock& to = out.blocks.back();
        for (size_t c = 0; c < cols; ++c) to[c].appendCells(b[c], i, take);
        out.rowids.insert(out.rowids.end(), part.rowids.begin() + static_cast<std::ptrdiff_t>(row + i),
                          part.rowids.begin() + static_cast<std::ptrdiff_t>(row + i + take));
        i += take;
      }
      row += rows;
    }
  }
  return true;
}

// Room for the rows of a table read whole (grid_mirror.cpp).
size_t rowsAtMost(sqlite3* db, const std::string& table);

// Tables of this size and more are read ahead: about 40,000 sentence pairs.
constexpr std::uintmax_t kPreloadBytes = 4u << 20;

namespace {

// A table read ahead is read in at most this many parts side by side, of
// at least this many blocks each: SQLite reads one part about as fast as
// the whole table in one pass.
constexpr int64_t kAheadParts = 4;
constexpr int64_t kBlocksPerAheadPart = 2;

// The page cache of a connection that reads a table ahead: a few hundred KB.
constexpr const char* kScanCache = "PRAGMA cache_size=-256";

// The integer a one-row query gives, none for an error or NULL.
std::optional<int64_t> oneInteger(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* st = nullptr;
  std::optional<int64_t> v;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW &&
      sqlite3_column_type(st, 0) != SQLITE_NULL)
    v = sqlite3_column_int64(st, 0);
  sqlite3_finalize(st);
  return v;
}

// True when the file keeps a rollback journal: while any connection reads
// it, no other connection commits into it.
bool rollbackJournal(sqlite3* db) {
  sqlite3_stmt* st = nullptr;
  std::string mode;
  if (sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
    if (const auto* t = sqlite3_column_text(st, 0)) mode = reinterpret_cast<const char*>(t);
  sqlite3_finalize(st);
  return mode == "delete" || mode == "truncate" || mode == "persist";
}

// One part's connection, giving way to saves as the read ahead does.
struct AheadPart {
  sqlite3* db = nullptr;
  sqlite3_stmt* st = nullptr;
  std::optional<GivingWay> way;
  AheadPart() = default;
  AheadPart(const AheadPart&) = delete;
  AheadPart& operator=(const AheadPart&) = delete;
  ~AheadPart() {
    sqlite3_finalize(st);
    way.reset();
    sqlite3_close_v2(db);
  }
};

// The table read ahead in parts side by side, each the rows from one rowid
// to the next, split where blocks begin were the rowids dense: part 0 on
// `db`, each other part on a connection of its own. `db` takes its read
// lock, in a transaction it keeps, only once every part's connection has
// passed the gate, and before any part reads, so that every part reads
// what `db` reads: no save commits into a file with a rollback journal
// while a read holds it, and no part waits at the gate for a save that
// waits for `db`. None where that cannot be made sure (a WAL file), the
// table is small, a part could not begin or failed, or a part's rows do
// not fill its blocks (rowids with gaps): the caller then reads the table
// in one pass in the transaction `db` holds, if it holds one. A part that
// gave way to a save, or met an error, sets `gaveWay`: the read ahead then
// ends, as a read in one pass that gives way does.
template <class Read, class Block>
std::optional<Read> readAheadInParts(sqlite3* db, const std::string& file, const std::string& table,
                                     const std::string& select, size_t cols, CheckGate& gate,
                                     const std::atomic<bool>& cancel, std::atomic<bool>& reading, int64_t blockRows,
                                     bool& gaveWay) {
  if (!rollbackJournal(db)) return std::nullopt;
  sqlite3_exec(db, kScanCache, nullptr, nullptr, nullptr);
  const std::optional<int64_t> low = oneInteger(db, "SELECT min(rowid) FROM " + table),
                               high = oneInteger(db, "SELECT max(rowid) FROM " + table);
  // Rowids spread wider than a table held in memory would leave the parts
  // all but empty; rowids near the ends of the range would make the splits
  // overflow.
  constexpr int64_t kWidest = int64_t{1} << 28;
  if (!low || !high || *low < -kWidest || *high > INT64_MAX / 2 || *high < *low || *high - *low >= kWidest)
    return std::nullopt;
  const int64_t blocks = (*high - *low) / blockRows + 1;
  const int64_t parts = std::min(kAheadParts, blocks / kBlocksPerAheadPart);
  if (parts < 2) return std::nullopt;
  const int64_t per = (blocks + parts - 1) / parts * blockRows;
  const std::string sql = select + " WHERE rowid BETWEEN ?1 AND ?2 ORDER BY rowid";

  std::vector<std::unique_ptr<AheadPart>> helpers;
  for (int64_t k = 1; k < parts; ++k) {
    auto& h = helpers.emplace_back(std::make_unique<AheadPart>());
    // No wait for a lock: one refused while a save waits sends the table
    // to the caller's one pass.
    if (sqlite3_open_v2(file.c_str(), &h->db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(h->db, sql.c_str(), -1, &h->st, nullptr) != SQLITE_OK)
      return std::nullopt;
    // A scan reads each page once: a small cache is all it needs.
    sqlite3_exec(h->db, kScanCache, nullptr, nullptr, nullptr);
    h->way.emplace(gate, h->db, cancel);
    if (!h->way->entered()) return std::nullopt;
    const int64_t first = *low + k * per;
    sqlite3_bind_int64(h->st, 1, first);
    sqlite3_bind_int64(h->st, 2, k + 1 < parts ? first + per - 1 : INT64_MAX);
  }
  // The read lock every part reads under, kept until the caller ends the
  // transaction.
  if (sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK ||
      !oneInteger(db, "SELECT max(rowid) FROM " + table))
    return std::nullopt;
  reading = true;
  AheadPart own;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &own.st, nullptr) != SQLITE_OK) return std::nullopt;
  sqlite3_bind_int64(own.st, 1, INT64_MIN);
  sqlite3_bind_int64(own.st, 2, *low + per - 1);

  // Every part's blocks from one arena, so that the parts leave no more
  // room unused than one pass.
  const ReadArena arena;
  std::vector<std::future<std::optional<Read>>> running;
  auto readOne = [&](sqlite3_stmt* st, size_t reserve) {
    return readRows<Read, Block>(st, cols, {}, blockRows, arena.arena, &cancel, reserve);
  };
  for (auto& h : helpers) {
    try {
      running.push_back(std::async(std::launch::async, readOne, h->st, static_cast<size_t>(per)));
    } catch (const std::system_error&) {  // no thread to be had: read here
      std::promise<std::optional<Read>> done;
      done.set_value(readOne(h->st, static_cast<size_t>(per)));
      running.push_back(done.get_future());
    }
  }
  std::optional<Read> out = readOne(own.st, static_cast<size_t>(*high - *low + 1));
  gaveWay = !out;
  bool whole = out && out->rowids.size() == static_cast<size_t>(per);
  for (auto& r : running) {
    std::optional<Read> part = r.get();
    if (!part) gaveWay = true;
    // Each part but the last fills its blocks, so that the blocks join as
    // one pass would have cut them.
    if (!part || !whole) {
      whole = false;
      continue;
    }
    out->rowids.insert(out->rowids.end(), part->rowids.begin(), part->rowids.end());
    for (auto& b : part->blocks) out->blocks.push_back(std::move(b));
    whole = &r == &running.back() || part->rowids.size() == static_cast<size_t>(per);
  }
  if (!whole) return std::nullopt;
  return out;
}

}  // namespace

void DataSource::startPreload() {
  if (!mirrored_ || gridLoaded_ || preload_ || !db_ || conn_->inTransaction || adding_ || hasPendingWork()) return;
  std::error_code ec;
  if (const auto size = std::filesystem::file_size(path(), ec); ec || size < kPreloadBytes) return;
  sync();
  auto p = std::make_unique<Preload>();
  p->dataVersion = dataVersion_;
  p->generation = generation_;
  Preload* raw = p.get();
  const uint64_t ticket = p->ticket = readTurns().take();
  // A save meanwhile ends the read ahead rather than wait for it; the
  // first use then reads the grid itself.
  try {
    p->result = std::async(std::launch::async, [file = path().string(), table = sqlName(schema_.table),
                                              select = selectList(schema_, sqlName(schema_.table)),
                                              cols = schema_.fields.size(), raw, ticket, gate = conn_->gate]() -> std::optional<GridRead> {
    std::optional<GridRead> out;
    if (!readTurns().wait(ticket, raw->cancel)) {
      raw->reading = true;
      return out;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) == SQLITE_OK) {
      sqlite3_busy_timeout(db, 2000);
      if (GivingWay reading(*gate, db, raw->cancel); reading.entered()) {
        bool gaveWay = false;
        out = readAheadInParts<GridRead, GridBlock>(db, file, table, select, cols, *gate, raw->cancel, raw->reading,
                                                    kGridBlock, gaveWay);
        sqlite3_stmt* st = nullptr;
        if (!out && !gaveWay && !raw->cancel && sqlite3_prepare_v2(db, (select + " ORDER BY rowid").c_str(), -1, &st, nullptr) == SQLITE_OK) {
          GridRead read;
          read.rowids.reserve(rowsAtMost(db, table));
          if (readGrid(st, cols, read, &raw->cancel, &raw->reading) == SQLITE_DONE) out = std::move(read);
        }
        sqlite3_finalize(st);
        if (!sqlite3_get_autocommit(db)) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
      }
    }
    raw->reading = true;
    sqlite3_close_v2(db);
    readTurns().done(ticket);
    return out;
  });
  } catch (...) {
    readTurns().done(ticket);
    throw;
  }
  preload_ = std::move(p);
}

}  // namespace zuvo
