// Opening and checking a store's file, and the connection a group of stores
// shares. Nothing is written into a file before it is known to be this
// program's table: not the journal mode, not a row.

#include "store/store_connection.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cassert>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "platform/window.h"
#include "store/file_messages.h"
#include "store/seed.h"

namespace zuvo {

namespace {

const char16_t* const kTitle = u" ZORVEK";

bool folderWritable(const std::filesystem::path& dir) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  return ::access(dir.c_str(), W_OK) == 0;
}

std::string readOnlyFolder(const std::filesystem::path& dir) { return file_messages::folderReadOnly(dir); }

// Waits for a lock another connection holds, up to kLockWaitMs. The checks
// of the connection's own files give way at once: each wait interrupts them.
int waitForLock(void* connection, int count) {
  auto& conn = *static_cast<StoreConnection*>(connection);
  conn.gate->interruptAll();
  const auto now = std::chrono::steady_clock::now();
  if (count == 0) conn.lockWaitSince = now;
  if (now - conn.lockWaitSince >= std::chrono::milliseconds(kLockWaitMs)) return 0;
  if (!conn.members.empty()) conn.members.front()->window().app().waiting();  // the window shows it waits
  std::this_thread::sleep_for(std::chrono::milliseconds(count < 50 ? 1 : 5));
  return 1;
}

// Whether another connection holds a lock on the file that keeps out a
// write (any lock) or a read (a write lock), tried once, without waiting.
bool heldByAnother(const std::filesystem::path& file, bool write) {
  sqlite3* db = nullptr;
  const int flags = (write ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) | SQLITE_OPEN_NOMUTEX;
  bool held = false;
  if (sqlite3_open_v2(file.c_str(), &db, flags, nullptr) == SQLITE_OK) {
    const char* sql = write ? "BEGIN EXCLUSIVE; COMMIT;" : "BEGIN; SELECT count(*) FROM sqlite_master; COMMIT;";
    held = isLock(sqlite3_exec(db, sql, nullptr, nullptr, nullptr));
    if (!sqlite3_get_autocommit(db)) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  }
  sqlite3_close_v2(db);
  return held;
}

// The connections of this thread's events with a read transaction open: a
// save ends the others' before it waits for anything.
std::vector<StoreConnection*>& openReads() {
  thread_local std::vector<StoreConnection*> reads;
  return reads;
}

}  // namespace

// Runs a prepared BEGIN or COMMIT: an event's read transaction costs no parse.
bool StoreConnection::run(sqlite3_stmt*& st, const char* sql) {
  if (!st && sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) return false;
  const int rc = sqlite3_step(st);
  sqlite3_reset(st);
  return rc == SQLITE_DONE;
}

bool StoreConnection::beginRead() {
  if (!db || inTransaction || reading) return true;
  if (!run(beginSt_, "BEGIN")) return true;
  reading = true;
  openReads().push_back(this);
  if (attached == 0) return true;
  // The files of a group are read-locked at once, in the order a save locks
  // them, so that an event's reads and another program's save never each
  // hold a file the other waits for. Every file a statement names is locked
  // as it begins, in the order of the connection's files.
  std::string sql;
  for (const DataSource* m : members)
    if (m->db_) sql += (sql.empty() ? "SELECT 1 FROM " : ", ") + sqlName(m->alias_) + ".sqlite_master";
  if (sqlite3_exec(db, (sql + " LIMIT 0").c_str(), nullptr, nullptr, nullptr) == SQLITE_OK) return true;
  const bool locked = isLock(sqlite3_errcode(db));
  endRead();
  return !locked;
}

void StoreConnection::endRead() {
  if (!reading) return;
  reading = false;
  std::erase(openReads(), this);
  if (!run(commitSt_, "COMMIT") && !sqlite3_get_autocommit(db)) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
}

// A save into one group waits for another program only after this event's
// reads of every other group have ended too: otherwise a copy that reads
// the files of this save's group and saves into one this event read would
// wait for this event while it waits for that copy. Their stores check
// their files again at their next use in the event.
void StoreConnection::endOtherReads(const void* app) {
  const std::vector<StoreConnection*> reads = openReads();
  for (StoreConnection* c : reads) {
    if (c == this || c->inTransaction || c->members.empty() || &c->members.front()->window().app() != app) continue;
    c->endRead();
    for (DataSource* m : c->members) m->versionUnchecked_ = true;
  }
}

std::string batchCachePragmas(const std::vector<std::pair<const TableSchema*, std::string>>& files, bool batch) {
  for (const auto& [table, schema] : files)
    for (const auto& ix : table->indexes)
      if (ix != "ID" || table->fields.empty() || table->fields[0] != "ID") return {};
  std::string sql;
  for (const auto& [table, schema] : files)
    sql += "PRAGMA " + sqlName(schema) + ".cache_size=" + std::to_string(-(batch ? kAppendCacheKiB : kPageCacheKiB)) +
           ";";
  return sql;
}

void StoreConnection::batchCache(bool on) {
  if (!db || batchCache_ == on) return;
  batchCache_ = on;
  std::vector<std::pair<const TableSchema*, std::string>> files;
  for (const DataSource* m : members)
    if (m->db_ && !m->fileReadOnly_) files.emplace_back(&m->schema_, m->alias_);
  // Only the batch's speed depends on it: a failure changes nothing else.
  if (const std::string sql = batchCachePragmas(files, on); !sql.empty())
    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
}

void StoreConnection::finalize() {
  sqlite3_finalize(beginSt_);
  sqlite3_finalize(commitSt_);
  beginSt_ = commitSt_ = nullptr;
}

StoreConnection::~StoreConnection() {
  std::erase(openReads(), this);
  finalize();
  if (db) sqlite3_close_v2(db);
}

void StoreConnection::openAll() {
  if (opened) return;
  opened = true;
  // A file kept out by a lock closes the whole group: the rest wait with it.
  for (DataSource* m : members) {
    if (keptOut) break;
    try {
      m->open();
    } catch (const std::exception& e) {
      m->failedToOpen(e.what());
    }
  }
  // The journal mode is set once every file of the group is known sound.
  for (DataSource* m : members) {
    if (!m->db_ || keptOut) continue;
    try {
      m->setJournal();
    } catch (const std::exception& e) {
      m->failedToOpen(e.what());
    }
  }
  for (DataSource* m : members) m->versionUnchecked_ = true;  // takes the file's change counter as it stands
}

void StoreConnection::closeAll(const std::string& why) {
  endRead();
  for (DataSource* m : members) {
    m->letGoOfFile(why);
    m->db_ = nullptr;
    m->alias_.clear();
  }
  finalize();
  if (db) sqlite3_close_v2(db);
  db = nullptr;
  attached = 0;
  inTransaction = false;
}

bool CheckGate::idle() {
  std::lock_guard lock(m_);
  return running_.empty();
}

StoreGroup::StoreGroup(std::initializer_list<DataSource*> members) : StoreGroup({members}) {}

StoreGroup::StoreGroup(std::initializer_list<std::initializer_list<DataSource*>> recordSets)
    : conn_(std::make_shared<StoreConnection>()) {
  for (const auto& set : recordSets) {
    auto& records = *conn_->recordGroups.emplace_back(std::make_unique<RecordGroup>());
    for (DataSource* m : set) {
      assert(!m->conn_->opened && "a group is declared before its window loads");
      m->conn_ = conn_;
      m->partners_ = &records;
      conn_->members.push_back(m);
      records.partners.push_back(m);
    }
  }
}

std::shared_ptr<GroupRecord> RecordGroup::begin(DataSource& store) {
  if (!current || std::find(current->joined.begin(), current->joined.end(), &store) != current->joined.end()) {
    // The record before the last one is taken again once no store holds it:
    // a batch begins a record per line without allocating one each time.
    std::shared_ptr<GroupRecord> next = std::move(spare);
    if (next && next.use_count() == 1) {
      next->joined.clear();
      next->rowid = 0;
    } else {
      next = std::make_shared<GroupRecord>();
    }
    spare = std::move(current);
    current = std::move(next);
  }
  current->joined.push_back(&store);
  return current;
}

// --- one store ---------------------------------------------------------------

// A file SQLite finds damaged already at its opening is told as damage, one
// another program keeps locked as a file in use.
void DataSource::failedToOpen(const std::string& what) {
  const int rc = conn_->db ? sqlite3_extended_errcode(conn_->db) : SQLITE_OK;
  if (isLock(rc)) return keptOutAtOpen(what);
  closeFailed(file_messages::openFailureReason(rc, what));
  if (isDamage(rc)) damage_ = what;
  const std::string message = file_messages::openFailed(path(), rc, what);
  window().app().msgBox(fromUtf8(message), kTitle);
}

// The file is in use, not broken: the whole group closes, to open again at
// its first use in a later event. Told now, unless a save is loading the
// stores: that save tells it as its own, once.
void DataSource::keptOutAtOpen(const std::string& what) {
  StoreConnection& c = *conn_;
  c.closeAll(what);
  c.keptOut = this;
  c.keptOutNow = true;
  c.keptOutTold = c.reopening || !window().app().eventSaving();
  if (c.reopening) inUse(false);
  if (c.keptOutTold) window().app().msgBox(fromUtf8(inUseMessage(false)), kTitle);
}

// A group kept out at its opening opens again as an event begins, once no
// other program's write lock shows on its files (tried without waiting, so
// an event that does not need the group is not held up), and its stores
// stand on their first records as at the window's load. While the lock
// holds, the event that needs the group waits for it at its first use.
void DataSource::openOnceFree() {
  StoreConnection& c = *conn_;
  for (const DataSource* m : c.members)
    if (heldByAnother(m->path(), false)) return;
  try {
    if (!ensureOpen()) return;
  } catch (const FileInUse&) {
    c.keptOutTold = false;  // taken again meanwhile: told by the use that needs it
    return;
  }
  for (DataSource* m : c.members) m->windowLoaded();
}

bool DataSource::ensureOpen() {
  if (db_) return true;
  StoreConnection& c = *conn_;
  if (!c.keptOut || !window().app().inEvent()) return false;
  if (c.keptOutNow) {  // met in this event: not waited for twice
    if (c.keptOutTold) return false;
    c.keptOutTold = true;
    c.keptOut->inUse(false);
  }
  c.keptOut = nullptr;
  c.opened = false;
  c.reopening = true;
  struct Reopened {
    StoreConnection& c;
    ~Reopened() { c.reopening = false; }
  } reopened{c};
  c.openAll();
  return db_ != nullptr;
}

std::string DataSource::damageMessage(const std::string& why) const {
  return file_messages::damaged(path(), why);
}

std::string DataSource::inUseMessage(bool saving, const std::string& files) const {
  return saving ? "数据文件正被另一个程序使用，暂时无法保存：" + files +
                      "\r\n输入的内容都还在，请等另一个程序用完后再保存一次。"
                : "数据文件正被另一个程序使用，暂时无法读取：" + files + "\r\n请稍后再试。";
}

// SQLite tells only that one of the files of a group is locked. Each is
// tried at once, in the order a save locks them, while this program's own
// reads beside the window stay out (their locks would be taken for
// another's); where none shows held (the lock has ended meanwhile), every
// file of the group is named.
std::string DataSource::heldFiles(bool write) const {
  if (!db_ || !conn_->grouped()) return path().string();
  CheckGate& gate = *conn_->gate;
  gate.saving(true);
  for (int i = 0; i < 200 && !gate.idle(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  std::string held, all;
  for (const DataSource* m : conn_->members) {
    if (!m->db_) continue;
    all += (all.empty() ? "" : "、") + m->path().string();
    if (held.empty() && heldByAnother(m->path(), write)) held = m->path().string();
  }
  gate.saving(conn_->inTransaction);
  return held.empty() ? "以下文件之一：" + all : held;
}

// Nothing was written on the connection in this event: its stores keep their
// pending work when the event is dropped.
void DataSource::inUse(bool saving) {
  if (!conn_->inTransaction) conn_->lockMet = true;
  const std::string files = heldFiles(saving);
  // A read kept out while the event saves is part of that save.
  throw FileInUse(inUseMessage(saving || window().app().eventSaving(), files));
}

void DataSource::fail(const std::string& what) {
  const int rc = db_ ? sqlite3_extended_errcode(db_) : SQLITE_OK;
  if (isDamage(rc)) damaged(what);
  if (isLock(rc)) inUse(conn_->inTransaction);
  const bool saving = conn_->inTransaction || window().app().eventSaving();
  throw StoreError(file_messages::failed(path(), rc, what, saving), *this);
}

// Told once; a later failure of the same file drops its event's work
// without a second message.
void DataSource::damaged(const std::string& why) {
  if (!damage_.empty()) throw AlreadyTold(damageMessage(why));
  damage_ = why;
  throw StoreError(damageMessage(why), *this);
}

// A store that failed while loading (a damaged page under its first
// record) is reported like one that failed to open; the window opens with
// the others. The failure may be a partner's, met by a Change handler that
// follows this store.
void DataSource::windowLoaded() {
  conn_->openAll();
  if (!db_ && conn_->keptOut) return;  // opened, and told, at its first use
  for (size_t tries = 0; tries <= conn_->members.size(); ++tries) {
    try {
      MoveFirst();
      startPreload();
      return;
    } catch (const FileInUse& e) {
      // The file stays open: a later event reads it once it is free.
      window().app().msgBox(fromUtf8(e.what()), kTitle);
      return;
    } catch (const StoreError& e) {
      e.store->closeFailed(e.what());
      window().app().msgBox(fromUtf8(e.what()), kTitle);
    } catch (const std::exception& e) {
      const std::string told = file_messages::toldInChinese(e.what())
                                   ? e.what()
                                   : file_messages::failed(path(), db_ ? sqlite3_extended_errcode(db_) : SQLITE_OK,
                                                           e.what(), false);
      closeFailed(file_messages::openFailureReason(SQLITE_OK, told));
      window().app().msgBox(fromUtf8(told), kTitle);
    }
  }
}

void DataSource::open() {
  // SQLite keeps no tally of its memory for this program, which never reads
  // one: an allocation then takes no lock. Settable only before its first use.
  [[maybe_unused]] static const int untallied = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
  const auto file = path();
  const auto& dir = window().app().dataDir();
  const bool writable = folderWritable(dir);
  if (!writable && !schema_.readOnly) {
    openError_ = readOnlyFolder(dir);
    window().app().msgBoxOnce(fromUtf8(openError_), kTitle);
  }
  if (!std::filesystem::exists(file)) {
    if (!writable) {  // nothing to read, and nowhere to create it
      if (openError_.empty()) openError_ = readOnlyFolder(dir);
      return;
    }
    createTable(file, schema_);
  }
  if (!conn_->db) {
    // One thread uses a store: no locking inside SQLite.
    if (sqlite3_open_v2(file.c_str(), &conn_->db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK) {
      // Closed at once: the reason keeps SQLite's code.
      const int rc = conn_->db ? sqlite3_extended_errcode(conn_->db) : SQLITE_NOMEM;
      const std::string msg = conn_->db ? sqlite3_errmsg(conn_->db) : "out of memory";
      sqlite3_close_v2(conn_->db);
      conn_->db = nullptr;
      throw std::runtime_error(file_messages::openFailureReason(rc, msg));
    }
    sqlite3_busy_handler(conn_->db, waitForLock, conn_.get());
    alias_ = "main";
  } else {
    const std::string alias = "t" + std::to_string(++conn_->attached);
    sqlite3_stmt* st = nullptr;
    const std::string sql = "ATTACH DATABASE ?1 AS " + sqlName(alias);
    if (sqlite3_prepare_v2(conn_->db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
      throw std::runtime_error(sqlite3_errmsg(conn_->db));
    sqlite3_bind_text(st, 1, file.c_str(), -1, SQLITE_TRANSIENT);
    const int rc = sqlite3_step(st);
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(conn_->db));
    alias_ = alias;
  }
  db_ = conn_->db;
  named_.clear();
  st_ = std::make_unique<Statements>(db_);
  openError_.clear();
  checkTable();
  fileReadOnly_ = sqlite3_db_readonly(db_, alias_.c_str()) == 1;
  if (!writable && !schema_.readOnly) openError_ = readOnlyFolder(dir);
}

// The table, its fields and its indexes must all be there. Reads only.
void DataSource::checkTable() {
  std::error_code ec;
  if (std::filesystem::file_size(path(), ec) == 0 && !ec) throw std::runtime_error(file_messages::notThisProgramsTable("文件是空的"));
  // The names a pragma lists in its second column (fields, indexes).
  auto names = [&](const std::string& pragma) {
    std::vector<std::string> out;
    sqlite3_stmt* st = st_->get("PRAGMA " + sqlName(alias_) + "." + pragma + "(" + sqlName(schema_.table) + ")");
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) out.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db_));
    return out;
  };
  const auto columns = names("table_info");
  if (columns.empty()) throw std::runtime_error(file_messages::notThisProgramsTable("缺少数据表 " + schema_.table));
  for (const auto& f : schema_.fields)
    if (std::find(columns.begin(), columns.end(), f) == columns.end()) throw std::runtime_error(file_messages::notThisProgramsTable("缺少字段 " + f));
  const auto indexes = names("index_list");
  for (const auto& ix : schema_.indexes) {
    if (ix == "ID" && fieldIndex("ID") == 0) continue;  // the record counter itself
    if (std::find(indexes.begin(), indexes.end(), schema_.table + "_" + ix) == indexes.end())
      throw std::runtime_error(file_messages::notThisProgramsTable("缺少索引 " + ix));
  }
}

// A store on its own keeps WAL; the files of a group take a rollback journal,
// the only mode in which SQLite commits several files atomically. Shipped
// read-only tables take one too, so a read-only folder can still read them.
void DataSource::setJournal() {
  auto pragma = [&](const std::string& what) {
    sqlite3_stmt* st = st_->get("PRAGMA " + sqlName(alias_) + "." + what);
    const int rc = sqlite3_step(st);
    std::string out = rc == SQLITE_ROW ? reinterpret_cast<const char*>(sqlite3_column_text(st, 0)) : "";
    sqlite3_reset(st);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db_));
    return out;
  };
  if (!fileReadOnly_) {
    const std::string mode = conn_->grouped() || schema_.readOnly ? "delete" : "wal";
    if (pragma("journal_mode=" + mode) != mode && conn_->grouped())
      throw std::runtime_error(file_messages::foreignJournal());
    pragma("synchronous=FULL");
    pragma("cache_size=" + std::to_string(-kPageCacheKiB));
  }
  if (schema_.readOnly) sqlite3_exec(db_, "PRAGMA query_only=1", nullptr, nullptr, nullptr);
}

// The commit counter of the file's header (bytes 24-27), read through
// SQLite's own handle of the file, without a lock: every save into a file
// with a rollback journal raises it, whichever program makes it. A file in
// WAL mode (header bytes 18-19) keeps its commits in the log and has none.
// A read torn by a save under way differs from the last value, so it can
// only cost a full check, never hide a save.
std::optional<uint32_t> DataSource::fileCommitCounter() const {
  sqlite3_file* file = nullptr;
  if (!db_ || sqlite3_file_control(db_, alias_.c_str(), SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
      !file->pMethods)
    return std::nullopt;
  unsigned char h[28];
  if (file->pMethods->xRead(file, h, sizeof h, 0) != SQLITE_OK) return std::nullopt;
  if (std::memcmp(h, "SQLite format 3", 16) != 0 || h[18] != 1 || h[19] != 1) return std::nullopt;
  return uint32_t{h[24]} << 24 | uint32_t{h[25]} << 16 | uint32_t{h[26]} << 8 | uint32_t{h[27]};
}

// What the store keeps of its file is let go (checks, read-ahead,
// statements); `why` is what a save is refused with until it opens again.
void DataSource::letGoOfFile(const std::string& why) {
  openError_ = why;
  checkedCounter_.reset();
  check_.reset();
  preload_.reset();
  named_.clear();
  st_.reset();
}

void DataSource::closeFailed(const std::string& what) {
  letGoOfFile(what);
  conn_->endRead();
  if (db_ && alias_ != "main") {
    sqlite3_exec(db_, ("DETACH DATABASE " + sqlName(alias_)).c_str(), nullptr, nullptr, nullptr);
  } else if (conn_->db && alias_ == "main" && conn_->attached == 0) {
    // Nothing else uses the connection yet: the next file of the group
    // becomes its main one.
    conn_->finalize();
    sqlite3_close_v2(conn_->db);
    conn_->db = nullptr;
  }
  db_ = nullptr;
  alias_.clear();
}

std::string DataSource::whyNoSave() const {
  if (!openError_.empty()) return openError_;
  if (!db_) return file_messages::notOpen();
  if (!damage_.empty()) return file_messages::knownDamaged(damage_);
  for (const DataSource* m : conn_->members) {
    if (m == this) continue;
    if (!m->db_) return file_messages::partnerNotOpen(m->path());
    if (!m->damage_.empty()) return file_messages::partnerDamaged(m->path());
  }
  if (fileReadOnly_) return file_messages::fileReadOnly();
  return {};
}

// Asked before every write: the words are made only when it refuses.
void DataSource::refuseUnlessSavable() {
  if (const std::string why = whyNoSave(); !why.empty())
    throw std::runtime_error(file_messages::saveRefused(path(), why));
}

}  // namespace zuvo
