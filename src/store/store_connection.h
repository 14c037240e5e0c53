#pragma once
// The SQLite connection behind one store or one group of stores.
//
// A store on its own keeps its file in WAL mode. The files of a group are
// attached to one connection in rollback-journal mode: SQLite then commits
// a transaction that wrote several of them through a super-journal, so the
// commit lands in every file or in none, whatever moment the process dies.
// (WAL gives no such guarantee across attached files.)

#include <sqlite3.h>

#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/data_source.h"

namespace zuvo {

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
  void beginRead();
  void endRead();

  sqlite3* db = nullptr;
  bool inTransaction = false;
  bool reading = false;
  bool opened = false;
  int attached = 0;  // files attached beside the main one
  std::vector<DataSource*> members;

  void finalize();

 private:
  bool run(sqlite3_stmt*& st, const char* sql);
  sqlite3_stmt* beginSt_ = nullptr;
  sqlite3_stmt* commitSt_ = nullptr;
};

}  // namespace zuvo
