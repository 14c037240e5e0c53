// The change check: at a store's first use in each event it learns whether
// another program has saved into its file since, and if so drops what it
// keeps of the file. The layer above may rely on the caches (seeks, edges,
// read-ahead, kept records, the grid mirror) for the rest of the event. The
// event's reads share one read transaction; a lock that keeps them out ends
// the event at once.

#include <sqlite3.h>

#include "platform/window.h"
#include "store/data_source_parts.h"
#include "store/seed.h"
#include "store/store_connection.h"

namespace zuvo {

const DataSource::Record* DataSource::keptRecord(int64_t rowid) {
  if (kept_.generation != generation_) return nullptr;
  auto it = kept_.rows.find(rowid);
  return it == kept_.rows.end() ? nullptr : &it->second;
}

// Bounded, however large the shipped table: past the bound it starts afresh.
void DataSource::keep(const Record& rec) {
  constexpr size_t kMaxRows = 4096, kMaxUnits = 1 << 20;
  if (kept_.generation != generation_ || kept_.rows.size() >= kMaxRows || kept_.units >= kMaxUnits) {
    kept_.rows.clear();
    kept_.units = 0;
    kept_.generation = generation_;
  }
  if (kept_.rows.try_emplace(rec.rowid, rec).second) kept_.units += rec.data.size();
}

void DataSource::touched() {
  ++generation_;
  edgeCache_.clear();
  seekMemos_.clear();
  run_.active = false;
}

// Inside an event, reads share the connection's read transaction.
// Another program's lock that keeps the event's reads out ends the event at
// once, rather than have each read wait for it in turn.
void DataSource::readHere() {
  if (!conn_->reading && !conn_->inTransaction && window().app().inEvent() && !conn_->beginRead()) inUse(false);
}

// The caches of seeks and moves, the kept records, the read-ahead and the
// grid mirror hold while nothing else writes the file; another program's
// save shows in the file's change counter, read at this store's first use
// in each event, and the caches then answer for the rest of the event.
//
// A file whose header shows the same commit counter as at the last full
// check has had nothing committed since: the check then takes no lock, and
// an event answered from the caches costs the file one read of its header.
// Otherwise the check takes the event's read lock and reads the counter
// SQLite keeps of other connections' commits.
void DataSource::sync() {
  if (!versionUnchecked_ || !db_) return;
  versionUnchecked_ = false;
  if (preload_) preload_->readingAtCheck = preload_->reading.load();
  if (checkedCounter_ && fileCommitCounter() == checkedCounter_) return;
  readHere();
  const int64_t v = readDataVersion();
  // Taken only while this event's read lock holds the file and no write of
  // ours is open: the counter of what is committed, which only grows.
  checkedCounter_.reset();
  if (v >= 0 && conn_->reading && !conn_->inTransaction) checkedCounter_ = fileCommitCounter();
  followDataVersion(v);
}

// The counter SQLite keeps of other connections' commits into the file; -1
// where it cannot be read.
int64_t DataSource::readDataVersion() {
  sqlite3_stmt* st = statement("data_version", [&] { return "PRAGMA " + sqlName(alias_) + ".data_version"; });
  const int64_t v = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : -1;
  sqlite3_reset(st);
  return v;
}

// Another program has saved since the counter was last read: what the
// store keeps of the file goes.
void DataSource::followDataVersion(int64_t v) {
  if (v == dataVersion_) return;
  dataVersion_ = v;
  touched();
  gridLoaded_ = false;
}

// The first event after the window has shown begins the file's check; the
// events after it tell what the check found.
void DataSource::beginEvent() {
  versionUnchecked_ = true;
  conn_->lockMet = false;
  conn_->keptOutNow = false;
  if (!db_ && conn_->keptOut) openOnceFree();
  if (!db_) return;
  if (!checkStarted_) startCheck();
  if (takeCheckResult()) window().app().msgBox(fromUtf8(damageMessage(damage_)), u" ZORVEK");
}

}  // namespace zuvo
