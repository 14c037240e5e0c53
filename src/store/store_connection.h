#pragma once
// The SQLite connection behind one store or one group of stores.
//
// A store on its own keeps its file in WAL mode. The files of a group are
// attached to one connection in rollback-journal mode: SQLite then commits
// a transaction that wrote several of them through a super-journal, so the
// commit lands in every file or in none, whatever moment the process dies.
// (WAL gives no such guarantee across attached files.)

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "store/data_source.h"

namespace zuvo {

// The page cache of each file of a store, in KiB.
inline constexpr int64_t kPageCacheKiB = 65536;
// The page cache, in KiB, of the files of a connection while a batch
// transaction is open, when none of their tables has an index beside its
// row number: the batch's rows then go in at the right edge of one b-tree
// per file, and a small cache holds every page it touches again. The pages
// it has filled go to the file as the cache needs room, rather than piling
// up in memory for the commit to write at once (which costs more time and
// memory, and saves no read). Files with indexes keep their cache: rows go
// in all over an index, and a batch over them reads as it writes.
inline constexpr int64_t kAppendCacheKiB = 2048;
// The statements that set the page caches of a connection's files, each
// table with the name its file has in the connection, for a batch
// transaction (`batch`) or back to every day's; "" when a batch leaves
// them as they are.
std::string batchCachePragmas(const std::vector<std::pair<const TableSchema*, std::string>>& files, bool batch);

// --- prepared statements, kept per SQL text ------------------------------------

class DataSource::Statements {
 public:
  explicit Statements(sqlite3* db) : db_(db) {}
  ~Statements() {
    for (auto& [sql, st] : cache_) sqlite3_finalize(st);
  }
  sqlite3_stmt* get(const std::string& sql) {
    auto it = cache_.find(sql);
    if (it != cache_.end()) {
      sqlite3_reset(it->second);
      sqlite3_clear_bindings(it->second);
      return it->second;
    }
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
      throw std::runtime_error(sqlite3_errmsg(db_));
    cache_.emplace(sql, st);
    return st;
  }
  // The insert statements a batch runs once a row (without and with a
  // given rowid), kept at hand: they live as long as the cache.
  std::array<sqlite3_stmt*, 2> inserts{};

 private:
  sqlite3* db_;
  std::unordered_map<std::string, sqlite3_stmt*> cache_;
};

// A store's file failed under an operation (a damaged page, a full disk,
// a lock held too long); names the store whose file it was.
struct StoreError : std::runtime_error {
  StoreError(const std::string& what, DataSource& store) : std::runtime_error(what), store(&store) {}
  DataSource* store;
};

// SQLite's word that a file is damaged (a page that is not what it should
// be, or not a database at all), from a primary or an extended code.
inline bool isDamage(int rc) { return (rc & 0xff) == SQLITE_CORRUPT || (rc & 0xff) == SQLITE_NOTADB; }
// SQLite's word that another connection holds a lock the operation needs.
inline bool isLock(int rc) { return (rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED; }

// How long a read or a save waits for a lock another program holds before
// it gives up, in milliseconds.
inline constexpr int kLockWaitMs = 6000;

// Lets a test hold a file's check under way: called with the file's path,
// and whether a save waits for the check, at every step of the check's read.
// Unset in the program.
inline std::atomic<void (*)(const char* file, const std::atomic<bool>& waitedFor)> checkProgressForTests{nullptr};

// Where the checks of a connection's files (on threads of their own) meet
// its saves. A commit into a file with a rollback journal waits for every
// reader of it, so a save interrupts the checks under way, and none starts
// again until the save has ended; an interrupted check runs again later.
class CheckGate {
 public:
  // The saving side: a write transaction begins or ends.
  void saving(bool on);
  // Interrupts every check under way (also while a write waits for them).
  void interruptAll();
  // The checking side: waits until no save is under way and registers the
  // check's connection for interrupts; false when the check was cancelled
  // meanwhile.
  bool enter(sqlite3* db, const std::atomic<bool>& cancel);
  void leave(sqlite3* db);
  // No check or read-ahead holds a read of the files.
  bool idle();

 private:
  std::mutex m_;
  std::condition_variable quiet_;
  bool saving_ = false;
  std::vector<sqlite3*> running_;
};

// A long read on a connection of its own (a file's check, the grid's read
// ahead) that gives way to every save of its file: this program's through
// the gate, another program's when its write lock shows on the file. A read
// a save of ours waits for (`urgent` holds) gives way to this program's
// saves only: another program's save then waits for this one read, rather
// than have it start over and over.
class GivingWay {
 public:
  GivingWay(CheckGate& gate, sqlite3* db, const std::atomic<bool>& cancel, const std::atomic<bool>* urgent = nullptr);
  ~GivingWay();
  GivingWay(const GivingWay&) = delete;
  GivingWay& operator=(const GivingWay&) = delete;
  // False when the read was cancelled before it could begin.
  bool entered() const { return entered_; }

 private:
  CheckGate& gate_;
  sqlite3* db_;
  bool entered_;
  std::atomic<bool> reading_{true};
  std::thread watch_;
};

// The whole-table reads made beside the window (the grids' read-aheads and
// the files' checks) take turns, in the order they were asked for: a table
// read on its own is ready sooner than several read side by side, a
// window's first table is the one its first keystroke needs, and the checks
// come after the read-aheads the window started. One given up before its
// turn leaves the line at once.
class ReadTurns {
 public:
  uint64_t take() {
    std::lock_guard lock(mutex_);
    line_.push_back(++last_);
    return last_;
  }
  // False when cancelled before the turn came; the ticket is then given up.
  // A read that turns `urgent` meanwhile reads at once, beside the one
  // reading (urgent is set before wake() is called).
  bool wait(uint64_t ticket, const std::atomic<bool>& cancel, const std::atomic<bool>* urgent = nullptr) {
    std::unique_lock lock(mutex_);
    while (line_.front() != ticket) {
      if (cancel) {
        leave(ticket);
        return false;
      }
      if (urgent && *urgent) return true;
      turn_.wait(lock);
    }
    return true;
  }
  void done(uint64_t ticket) {
    std::lock_guard lock(mutex_);
    leave(ticket);
  }
  void wake() {
    std::lock_guard lock(mutex_);
    turn_.notify_all();
  }
  // A read wanted now reads at once, beside the one reading.
  void hurry(uint64_t ticket) {
    std::lock_guard lock(mutex_);
    const auto it = std::find(line_.begin(), line_.end(), ticket);
    if (it == line_.end() || it == line_.begin()) return;
    line_.erase(it);
    line_.push_front(ticket);
    turn_.notify_all();
  }

 private:
  void leave(uint64_t ticket);
  std::mutex mutex_;
  std::condition_variable turn_;
  std::deque<uint64_t> line_;
  uint64_t last_ = 0;
};
ReadTurns& readTurns();

// The check of one store's file on a thread of its own.
struct DataSource::FileCheck {
  std::shared_ptr<CheckGate> gate;
  std::atomic<bool> cancel{false};
  std::atomic<bool> done{false};
  // A save waits for the check: it reads now, ahead of the line.
  std::atomic<bool> urgent{false};
  // Tries of an urgent check that another program's lock kept from reading.
  std::atomic<int> lockedOut{0};
  std::string damage;  // what the check found wrong; read once `done` holds
  std::future<void> thread;
  ~FileCheck();
};

// A record begun in the stores of a record group.
struct GroupRecord {
  std::vector<DataSource*> joined;  // the stores that began it
  int64_t rowid = 0;                // its ID once stored, in every store of the group
};

// Stores that begin their records together and keep one ID for them.
struct RecordGroup {
  std::vector<DataSource*> partners;
  std::shared_ptr<GroupRecord> current;
  std::shared_ptr<GroupRecord> spare;  // the record begun before it
  // The next ID free in every partner, known for one write transaction.
  int64_t next = 0;
  int64_t nextInTransaction = -1;

  // The record a store's AddNew begins: the one under way, unless this store
  // began it already.
  std::shared_ptr<GroupRecord> begin(DataSource& store);
  void reset() {
    current.reset();
    spare.reset();
    nextInTransaction = -1;
  }
};

class StoreConnection {
 public:
  StoreConnection() = default;
  StoreConnection(const StoreConnection&) = delete;
  StoreConnection& operator=(const StoreConnection&) = delete;
  ~StoreConnection();

  // Opens and checks every member's file, once; a file that fails is
  // reported and its store stays closed, the others open.
  void openAll();
  bool grouped() const { return members.size() > 1; }

  // Inside a user event the reads of a connection share one read
  // transaction: one lock of each file per event, not one per statement.
  // It ends with the event, before a write begins and before a dialog.
  // False when a lock another program holds kept it from beginning.
  bool beginRead();
  void endRead();
  // Ends the read transactions of the other connections `app`'s event holds.
  void endOtherReads(const void* app);
  // The page caches of the files while a batch transaction is open (true),
  // or every day's again (false).
  void batchCache(bool on);

  sqlite3* db = nullptr;
  bool inTransaction = false;
  bool reading = false;
  // This event met another program's lock for longer than it waits, so
  // nothing was written on the connection: the work stays pending.
  bool lockMet = false;
  std::chrono::steady_clock::time_point lockWaitSince;
  bool opened = false;
  // Another program's lock kept this file of the connection out at its
  // opening: every store of the connection stays closed until the first use
  // in a later event opens them again. Whether that was met in the current
  // event, and told.
  DataSource* keptOut = nullptr;
  bool keptOutNow = false;
  bool keptOutTold = false;
  bool reopening = false;  // the files are being opened again
  // Closes every file: each store of the connection forgets it, with `why`.
  void closeAll(const std::string& why);
  int attached = 0;  // files attached beside the main one
  int64_t transactions = 0;  // write transactions begun
  std::shared_ptr<CheckGate> gate = std::make_shared<CheckGate>();
  std::vector<DataSource*> members;
  std::vector<std::unique_ptr<RecordGroup>> recordGroups;

  void finalize();

 private:
  bool run(sqlite3_stmt*& st, const char* sql);
  sqlite3_stmt* beginSt_ = nullptr;
  sqlite3_stmt* commitSt_ = nullptr;
  bool batchCache_ = false;
};

}  // namespace zuvo
