// Checking a store's whole file with SQLite's own check, once per run, on a
// thread and a read-only connection of its own, so that damage in pages
// ordinary use never reads is found without delaying the window. The check
// gives way to every save, this program's or another's: a commit into a
// file with a rollback journal waits for its readers.

#include <sqlite3.h>

#include <chrono>
#include <future>
#include <system_error>
#include <thread>

#include "platform/window.h"
#include "store/data_source.h"
#include "store/store_connection.h"

namespace zuvo {

void CheckGate::saving(bool on) {
  std::lock_guard lock(m_);
  if (saving_ == on) return;
  saving_ = on;
  if (on) {
    for (sqlite3* db : running_) sqlite3_interrupt(db);
  } else {
    quiet_.notify_all();
  }
}

void CheckGate::interruptAll() {
  std::lock_guard lock(m_);
  for (sqlite3* db : running_) sqlite3_interrupt(db);
}

bool CheckGate::enter(sqlite3* db, const std::atomic<bool>& cancel) {
  std::unique_lock lock(m_);
  while (saving_ && !cancel) quiet_.wait_for(lock, std::chrono::milliseconds(50));
  if (cancel) return false;
  running_.push_back(db);
  return true;
}

void CheckGate::leave(sqlite3* db) {
  std::lock_guard lock(m_);
  std::erase(running_, db);
}

GivingWay::GivingWay(CheckGate& gate, sqlite3* db, const std::atomic<bool>& cancel, const std::atomic<bool>* urgent)
    : gate_(gate), db_(db), entered_(gate.enter(db, cancel)) {
  if (!entered_) return;
  sqlite3_file* handle = nullptr;
  sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &handle);
  // Another program's save shows as a write lock on the file. Interrupted
  // again while the lock stays: an interrupt before the read's statement
  // has started is lost.
  try {
    watch_ = std::thread([this, handle, urgent] {
      while (reading_ && handle && handle->pMethods) {
        int reserved = 0;
        if (!(urgent && *urgent) && handle->pMethods->xCheckReservedLock(handle, &reserved) == SQLITE_OK && reserved)
          sqlite3_interrupt(db_);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
    });
  } catch (const std::system_error&) {
    // No thread to be had: the read gives way to this program's saves only.
  }
}

GivingWay::~GivingWay() {
  if (!entered_) return;
  reading_ = false;
  if (watch_.joinable()) watch_.join();
  gate_.leave(db_);
}

DataSource::FileCheck::~FileCheck() {
  cancel = true;
  gate->interruptAll();
  readTurns().wake();
  if (thread.valid()) thread.wait();
}

namespace {

struct TestProgress {
  const std::string& file;
  const std::atomic<bool>& urgent;
};
int testProgress(void* check) {
  const auto& c = *static_cast<const TestProgress*>(check);
  if (const auto hook = checkProgressForTests.load()) hook(c.file.c_str(), c.urgent);
  return 0;
}

// Runs the check until it ends on its own; "" when the file is sound or
// could not be checked (not there, locked for good: no damage of its own).
// `urgent` and `lockedOut` as in DataSource::FileCheck.
std::string checkFile(const std::string& file, CheckGate& gate, const std::atomic<bool>& cancel,
                      const std::atomic<bool>& urgent, std::atomic<int>& lockedOut) {
  using namespace std::chrono_literals;
  while (!cancel) {
    // The check waits for the grids read ahead before it, and for the
    // checks of other files: at most one whole file is read beside the
    // window at a time, and the first keystroke's table is read first.
    // A save waiting for it lets it read at once.
    const uint64_t ticket = readTurns().take();
    if (!readTurns().wait(ticket, cancel, &urgent)) return "";
    struct Turn {
      uint64_t ticket;
      ~Turn() {
        if (ticket) readTurns().done(ticket);
      }
    } turn{ticket};
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
      const int rc = db ? sqlite3_extended_errcode(db) : SQLITE_CANTOPEN;
      std::string why = db ? sqlite3_errmsg(db) : "";
      sqlite3_close_v2(db);
      return isDamage(rc) ? why : "";
    }
    // A check a save waits for waits for another program's save in turn.
    const bool waitedFor = urgent;
    if (waitedFor) sqlite3_busy_timeout(db, kLockWaitMs);
    TestProgress progress{file, urgent};
    if (checkProgressForTests.load()) sqlite3_progress_handler(db, 1, testProgress, &progress);
    std::vector<std::string> rows;
    int rc = SQLITE_INTERRUPT;
    if (GivingWay read(gate, db, cancel, &urgent); read.entered()) {
      sqlite3_stmt* st = nullptr;
      rc = sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &st, nullptr);
      if (rc == SQLITE_OK) {
        while ((rc = sqlite3_step(st)) == SQLITE_ROW)
          if (const auto* t = sqlite3_column_text(st, 0)) rows.emplace_back(reinterpret_cast<const char*>(t));
      }
      sqlite3_finalize(st);
    }
    const std::string why = sqlite3_errmsg(db);
    sqlite3_close_v2(db);
    if (rc == SQLITE_DONE) return rows.size() == 1 && rows[0] == "ok" ? "" : rows.empty() ? "quick_check" : rows[0];
    if (isDamage(rc)) return why;
    if ((rc & 0xff) != SQLITE_INTERRUPT && (rc & 0xff) != SQLITE_BUSY && (rc & 0xff) != SQLITE_LOCKED) return "";
    // The save waiting for the check hears that another program keeps the
    // file; the check goes on trying.
    if (waitedFor && isLock(rc)) ++lockedOut;
    // A save took the file: the check starts again once saves have paused,
    // behind the reads asked for meanwhile.
    readTurns().done(turn.ticket);
    turn.ticket = 0;
    for (int i = 0; i < 10 && !cancel && !urgent; ++i) std::this_thread::sleep_for(50ms);
    if (urgent) std::this_thread::sleep_for(2ms);
  }
  return "";
}

}  // namespace

// Begun with the first event after the window has shown.
void DataSource::startCheck() {
  if (checkStarted_ || !db_) return;
  checkStarted_ = true;
  auto c = std::make_unique<FileCheck>();
  c->gate = conn_->gate;
  FileCheck* raw = c.get();
  c->thread = std::async(std::launch::async, [file = path().string(), raw] {
    raw->damage = checkFile(file, *raw->gate, raw->cancel, raw->urgent, raw->lockedOut);
    raw->done = true;
  });
  check_ = std::move(c);
}

// The saving thread waits: a file of this run's first write is read whole
// first, however long the line of reads beside the window. Another
// program's lock that keeps the check out keeps the save out too.
void DataSource::awaitCheck() {
  if (!db_) return;
  if (!checkStarted_) startCheck();
  if (!check_ || check_->done) return;
  const int lockedOut = check_->lockedOut;
  check_->urgent = true;
  readTurns().wake();
  while (check_->thread.wait_for(std::chrono::milliseconds(2)) != std::future_status::ready) {
    if (check_->lockedOut != lockedOut) inUse(true);
    window().app().waiting();  // the window shows it waits
  }
}

bool DataSource::fileChecked() const { return checkStarted_ && (!check_ || check_->done); }

bool DataSource::takeCheckResult() {
  if (!check_ || !check_->done) return false;
  const std::string damage = check_->damage;
  check_.reset();
  if (damage.empty() || !damage_.empty()) return false;
  damage_ = damage;
  return true;
}

}  // namespace zuvo
