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
#include "store/seed.h"

namespace zuvo {

namespace {

const char16_t* const kTitle = u" ZORVEK";

bool folderWritable(const std::filesystem::path& dir) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  return ::access(dir.c_str(), W_OK) == 0;
}

std::string readOnlyFolder(const std::filesystem::path& dir) { return "数据文件夹是只读的，无法保存：" + dir.string(); }

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
  if (!run(commitSt_, "COMMIT") && !sqlite3_get_autocommit(db)) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
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
  finalize();
  if (db) sqlite3_close_v2(db);
}

void StoreConnection::openAll() {
  if (opened) return;
  opened = true;
  for (DataSource* m : members) {
    try {
      m->open();
    } catch (const std::exception& e) {
      m->failedToOpen(e.what());
    }
  }
  // The journal mode is set once every file of the group is known sound.
  for (DataSource* m : members) {
    if (!m->db_) continue;
    try {
      m->setJournal();
    } catch (const std::exception& e) {
      m->failedToOpen(e.what());
    }
  }
  for (DataSource* m : members) m->versionUnchecked_ = true;  // takes the file's change counter as it stands
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
  const int rc = conn_->db ? sqlite3_errcode(conn_->db) : SQLITE_OK;
  closeFailed(what);
  if (isDamage(rc)) damage_ = what;
  const std::string message = isDamage(rc) ? damageMessage(what)
                              : isLock(rc) ? inUseMessage(false)
                                           : "数据文件无法打开：" + path().string() + "\r\n" + what;
  window().app().msgBox(fromUtf8(message), kTitle);
}

std::string DataSource::damageMessage(const std::string& why) const {
  return "数据文件出错：" + path().string() + "\r\n" + why;
}

std::string DataSource::inUseMessage(bool saving) const {
  return saving ? "数据文件正被另一个程序使用，暂时无法保存：" + path().string() +
                      "\r\n输入的内容都还在，请等另一个程序用完后再保存一次。"
                : "数据文件正被另一个程序使用，暂时无法读取：" + path().string() + "\r\n请稍后再试。";
}

// Nothing was written on the connection in this event: its stores keep their
// pending work when the event is dropped.
void DataSource::inUse(bool saving) {
  if (!conn_->inTransaction) conn_->lockMet = true;
  // A read kept out while the event saves is part of that save.
  throw FileInUse(inUseMessage(saving || window().app().eventSaving()));
}

void DataSource::fail(const std::string& what) {
  const int rc = db_ ? sqlite3_errcode(db_) : SQLITE_OK;
  if (isDamage(rc)) damaged(what);
  if (isLock(rc)) inUse(conn_->inTransaction);
  throw StoreError(damageMessage(what), *this);
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
      closeFailed(e.what());
      window().app().msgBox(fromUtf8(e.what()), kTitle);
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
      const std::string msg = conn_->db ? sqlite3_errmsg(conn_->db) : "无法打开";
      sqlite3_close_v2(conn_->db);
      conn_->db = nullptr;
      throw std::runtime_error(msg);
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
  if (std::filesystem::file_size(path(), ec) == 0 && !ec) throw std::runtime_error("空文件，不是本程序的数据表");
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
  if (columns.empty()) throw std::runtime_error("缺少数据表 " + schema_.table);
  for (const auto& f : schema_.fields)
    if (std::find(columns.begin(), columns.end(), f) == columns.end()) throw std::runtime_error("缺少字段 " + f);
  const auto indexes = names("index_list");
  for (const auto& ix : schema_.indexes) {
    if (ix == "ID" && fieldIndex("ID") == 0) continue;  // the record counter itself
    if (std::find(indexes.begin(), indexes.end(), schema_.table + "_" + ix) == indexes.end())
      throw std::runtime_error("缺少索引 " + ix);
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
      throw std::runtime_error("另一个程序正以 WAL 方式使用此文件，无法与同组文件一起保存");
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

void DataSource::closeFailed(const std::string& what) {
  openError_ = what;
  checkedCounter_.reset();
  check_.reset();
  preload_.reset();
  named_.clear();
  st_.reset();
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
  if (!db_) return "数据文件未打开";
  if (!damage_.empty()) return "数据文件已损坏：" + damage_;
  for (const DataSource* m : conn_->members) {
    if (m == this) continue;
    if (!m->db_) return "同组的数据文件无法打开：" + m->path().string();
    if (!m->damage_.empty()) return "同组的数据文件已损坏：" + m->path().string();
  }
  if (fileReadOnly_) return "数据文件是只读的";
  return {};
}

// Asked before every write: the words are made only when it refuses.
void DataSource::refuseUnlessSavable() {
  if (const std::string why = whyNoSave(); !why.empty())
    throw std::runtime_error("无法保存：" + path().string() + "\r\n" + why);
}

}  // namespace zuvo
