// Bound boxes and the pending work they write: the begun record (AddNew)
// and the edits of the current one. The layer above is promised that what a
// box was given is saved when the store next moves, and written through to
// the file at the end of every event, so that a crash loses at most the
// event in progress; a record begun in one store of a group is stored in
// all of them under one ID; the stores of a connection write into one
// transaction that commits once for all of them, or rolls back whole.

#include <sqlite3.h>

#include <algorithm>
#include <cassert>

#include "platform/window.h"
#include "store/data_source_parts.h"
#include "store/seed.h"
#include "store/store_connection.h"

namespace zuvo {

void DataSource::bind(TextControl& box, const std::string& field) {
  const int f = fieldIndex(field);
  assert(f >= 0 && "bound to a field the table does not have");
  bindings_.push_back(std::make_unique<Binding>(*this, box, f));
  box.bind(bindings_.back().get());
  box.setDataField(field);
}

void DataSource::rebind(Binding& b, const std::string& field) {
  b.field = field.empty() ? -1 : fieldIndex(field);
  assert((field.empty() || b.field >= 0) && "bound to a field the table does not have");
  // Before the store opens its boxes are filled by the first move.
  if (!db_ || b.field < 0) return;
  if (b.box.assignFromStore(shown(b.field))) b.box.runChange();
}

TextView DataSource::shown(int field) const {
  if (adding_) return added_[field] ? TextView(*added_[field]) : TextView();
  if (current_) return current_->get(field).value_or(TextView());
  return {};
}

// Runs a statement that returns no rows, and resets it whatever happens.
void DataSource::stepToEnd(sqlite3_stmt* st) {
  const int rc = sqlite3_step(st);
  sqlite3_reset(st);
  if (rc != SQLITE_DONE) fail(sqlite3_errmsg(db_));
}

// One transaction per connection: the stores of a group write into the
// same one, and it commits once for all of them.
void DataSource::begin() {
  window().app().eventSaves();
  if (conn_->inTransaction) {
    refuseUnlessSavable();
    return;
  }
  // The event's reads end before the save waits for anything, the check of
  // its files or another program's lock: another copy's save that waits for
  // those reads goes in meanwhile, rather than each wait for the other.
  conn_->endRead();
  conn_->endOtherReads(&window().app());
  // Every file of the connection is known sound before anything is
  // written: damage a check found meanwhile, or finds now, is told first.
  for (DataSource* m : conn_->members) m->awaitCheck();
  for (DataSource* m : conn_->members)
    if (m->takeCheckResult()) throw StoreError(m->damageMessage(m->damage_), *m);
  refuseUnlessSavable();
  conn_->gate->saving(true);
  // Every file of the connection is locked for the write at once: a lock
  // another program holds is met here, before anything is written, never
  // at the commit.
  if (sqlite3_exec(db_, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK) {
    conn_->gate->saving(false);
    if (isLock(sqlite3_errcode(db_))) inUse(true);
    fail(sqlite3_errmsg(db_));
  }
  conn_->inTransaction = true;
  ++conn_->transactions;
  // Another program may have saved since the event's reads ended: a store
  // already checked in this event drops what it keeps of its file then, so
  // that the save and the rest of the event work on the file as it is.
  // (The others are checked at their first use, under the write lock.)
  for (DataSource* m : conn_->members) {
    if (!m->db_ || m->versionUnchecked_) continue;
    const int64_t v = m->readDataVersion();
    if (v == m->dataVersion_) continue;
    m->checkedCounter_.reset();
    m->followDataVersion(v);
  }
}

// The insert of `rows` rows' fields, each after its rowid when `withRowid`;
// the parameters numbered on from row to row.
std::string DataSource::insertSql(bool withRowid, size_t rows) const {
  std::string cols = withRowid ? "rowid" : "";
  int perRow = withRowid ? 1 : 0;
  for (const std::string& f : schema_.fields)
    if (f != "ID") {
      if (!cols.empty()) cols += ", ";
      cols += sqlName(f);
      ++perRow;
    }
  std::string values;
  int n = 0;
  for (size_t r = 0; r < rows; ++r) {
    values += r ? ", (" : "(";
    for (int i = 0; i < perRow; ++i) values += (i ? ", ?" : "?") + std::to_string(++n);
    values += ")";
  }
  return "INSERT INTO " + tableRef() + " (" + cols + ") VALUES " + values;
}

// The insert of a row's fields, after its rowid when `withRowid`; kept at
// hand, reset (each run ends in a reset).
sqlite3_stmt* DataSource::insertStatement(bool withRowid) {
  sqlite3_stmt*& hot = st_->inserts[withRowid ? 1 : 0];
  if (hot) return hot;
  return hot = statement(withRowid ? "insert at" : "insert", [&] { return insertSql(withRowid, 1); });
}

// A row with the next ID, or with the one given.
int64_t DataSource::insertRow(const std::vector<std::optional<Text>>& values, int64_t rowid) {
  begin();
  if (rowid && holdInsert(rowid, values)) {
    ++queries_;
    rowWritten(rowid, values);
    return rowid;
  }
  flushHeld();
  // A given ID that follows the table's last one, as a batch's do, is the ID
  // SQLite gives the row itself: the row then goes in at the table's end
  // without a search for its place. Every parameter is bound below: nothing
  // to clear.
  const bool follows = rowid && lastRowid_.transaction == conn_->transactions && lastRowid_.rowid == rowid - 1;
  const bool at = rowid && !follows;
  sqlite3_stmt* st = insertStatement(at);
  int n = 0;
  if (at) sqlite3_bind_int64(st, ++n, rowid);
  for (size_t i = 0; i < schema_.fields.size(); ++i)
    if (schema_.fields[i] != "ID") bindText(st, ++n, values[i]);
  ++queries_;
  stepToEnd(st);
  int64_t stored = sqlite3_last_insert_rowid(db_);
  if (follows && stored != rowid) {
    // A table that counts its IDs past rows deleted at its end (another
    // program's AUTOINCREMENT) gave the row a later one.
    sqlite3_stmt* move = statement("move row", [&] { return "UPDATE " + tableRef() + " SET rowid = ?1 WHERE rowid = ?2"; });
    sqlite3_bind_int64(move, 1, rowid);
    sqlite3_bind_int64(move, 2, stored);
    ++queries_;
    stepToEnd(move);
    stored = rowid;
  }
  // No row is ever deleted, so the table's last ID is the one just stored.
  lastRowid_ = {conn_->transactions, stored};
  rowWritten(stored, values);
  return stored;
}

// Stores the begun record. In a record group the record goes into every
// partner at once under one ID, the first free in all of them: a partner
// that began it too with what it holds so far (its later writes update the
// row), any other partner as an empty record. So partners keep one ID even
// when a record of one of them had nothing written into it.
int64_t DataSource::storeBegun() {
  if (!partners_ || !begun_) return insertRow(added_);
  begin();
  RecordGroup& group = *partners_;
  if (group.nextInTransaction != conn_->transactions) {
    int64_t last = 0;
    for (DataSource* p : group.partners) {
      p->flushHeld();
      const int64_t v = p->lastFileRowid();
      p->lastRowid_ = {conn_->transactions, v};
      last = std::max(last, v);
    }
    group.next = last + 1;
    group.nextInTransaction = conn_->transactions;
  }
  const int64_t rowid = group.next;
  const std::shared_ptr<GroupRecord> record = begun_;
  for (DataSource* p : group.partners) p->storeAsPartner(*record, rowid);
  ++group.next;
  record->rowid = rowid;
  return rowid;
}

void DataSource::storeAsPartner(const GroupRecord& g, int64_t rowid) {
  if (adding_ && begun_.get() == &g) {
    insertRow(added_, rowid);
    addedRowid_ = rowid;
    addWritten_ = false;  // what it holds is in the row now
    unwritten_ = false;
    return;
  }
  insertRow(std::vector<std::optional<Text>>(schema_.fields.size()), rowid);
  gridSaved(rowid);
}

// The greatest rowid in the file (0 for an empty table).
int64_t DataSource::lastFileRowid() {
  sqlite3_stmt* st = statement("last id", [&] { return "SELECT max(rowid) FROM " + tableRef(); });
  ++queries_;
  const int rc = sqlite3_step(st);
  const int64_t v = rc == SQLITE_ROW ? sqlite3_column_int64(st, 0) : 0;
  sqlite3_reset(st);
  if (rc != SQLITE_ROW) fail(sqlite3_errmsg(db_));
  return v;
}

// One statement for all the fields written, whatever their number.
void DataSource::updateRow(int64_t rowid, const std::vector<std::optional<Text>>& values,
                           const std::vector<bool>& which) {
  std::vector<size_t> fields;
  std::string name = "update ";
  for (size_t i = 0; i < schema_.fields.size(); ++i) {
    const bool written = which[i] && schema_.fields[i] != "ID";
    name += written ? '1' : '0';
    if (written) fields.push_back(i);
  }
  if (fields.empty()) return;
  begin();
  if (holdUpdate(rowid, values, which)) {
    ++queries_;
    rowWritten(rowid, values);
    return;
  }
  sqlite3_stmt* st = statement(name, [&] {
    std::string set;
    for (size_t n = 0; n < fields.size(); ++n)
      set += (n ? ", " : "") + sqlName(schema_.fields[fields[n]]) + " = ?" + std::to_string(n + 1);
    return "UPDATE " + tableRef() + " SET " + set + " WHERE rowid = ?" + std::to_string(fields.size() + 1);
  });
  for (size_t n = 0; n < fields.size(); ++n) bindText(st, static_cast<int>(n) + 1, values[fields[n]]);
  sqlite3_bind_int64(st, static_cast<int>(fields.size()) + 1, rowid);
  ++queries_;
  stepToEnd(st);
  rowWritten(rowid, values);
}

void DataSource::boxWritten(int field, const Text& value) {
  if (!db_ || schema_.readOnly || schema_.fields[field] == "ID") return;
  keepState();
  window().app().eventSaves();
  if (adding_) {
    std::optional<Text>& slot = added_[field];
    if (!slot) slot.emplace(std::move(spareTexts_[field]));
    slot->assign(value);
    addWritten_ = true;
    unwritten_ = true;
  } else if (current_) {
    current_->set(field, value);
    edited_[field] = true;
    unwritten_ = true;
  }
}

bool DataSource::hasPendingWork() const {
  return adding_ || std::find(edited_.begin(), edited_.end(), true) != edited_.end();
}

// Saves the begun record or the edits of the current one (CommitOnMove).
void DataSource::saveWork() {
  sync();
  if (adding_) {
    int64_t rowid = addedRowid_;
    if (addWritten_) {
      if (rowid)
        updateRow(rowid, added_, std::vector<bool>(added_.size(), true));
      else
        rowid = storeBegun();
    }
    adding_ = false;
    if (rowid) gridSaved(rowid);
    addedRowid_ = 0;
    addWritten_ = false;
    begun_.reset();
    return;
  }
  if (current_ && hasPendingWork()) {
    // The records read ahead follow the current one; an edit of it that
    // leaves its place in the order keeps them, so a walk that edits every
    // record it passes still reads ahead.
    const int order = fieldIndex(orderColumn());
    const bool keepAhead = ahead_.generation == generation_ && (order < 0 || !edited_[order]);
    updateRow(current_->rowid, current_->all(), edited_);
    if (keepAhead) ahead_.generation = generation_;
    if (gridLoaded_) {
      auto it = std::lower_bound(gridRowids_.begin(), gridRowids_.end(), current_->rowid);
      if (it != gridRowids_.end() && *it == current_->rowid) {
        for (size_t i = 0; i < schema_.fields.size(); ++i)
          if (edited_[i]) gridReplace(it - gridRowids_.begin(), i, current_->get(i).value_or(TextView()));
      }
    }
  }
  std::fill(edited_.begin(), edited_.end(), false);
}

// Writes pending work through to the file without ending it, so that a
// crash after this event loses nothing the user entered.
void DataSource::writeThrough() {
  if (!db_ || !unwritten_) return;
  keepState();
  unwritten_ = false;
  if (adding_ && addWritten_) {
    if (addedRowid_)
      updateRow(addedRowid_, added_, std::vector<bool>(added_.size(), true));
    else
      addedRowid_ = storeBegun();
  } else if (!adding_ && current_ && hasPendingWork()) {
    updateRow(current_->rowid, current_->all(), edited_);
  }
}

bool DataSource::commit() {
  if (!db_) return false;
  // Every store of the group writes its pending work into the one
  // transaction before it commits.
  for (DataSource* m : conn_->members) m->writeThrough();
  for (DataSource* m : conn_->members) m->flushHeld();
  if (!conn_->inTransaction) {
    conn_->endRead();
    return false;
  }
  if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
    // A commit that failed may have ended the transaction already.
    conn_->inTransaction = !sqlite3_get_autocommit(db_);
    fail(sqlite3_errmsg(db_));
  }
  conn_->inTransaction = false;
  conn_->gate->saving(false);
  return true;
}

void DataSource::savePending() {
  if (!db_) return;
  saveWork();
  commit();
}

void DataSource::rollback() {
  if (!db_) return;
  checkedCounter_.reset();
  if (conn_->inTransaction) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  conn_->inTransaction = false;
  conn_->gate->saving(false);
  conn_->endRead();
  // Rows held by any store of the connection belonged to the transaction.
  for (DataSource* m : conn_->members) m->dropHeld();
  if (window().app().eventSaving()) {
    // A failed save: the store goes back to where it stood before the
    // gesture together with the window's boxes, when the event ends.
    touched();
    return;
  }
  if (conn_->lockMet) {
    // Another program's lock kept this event's write from beginning, so
    // nothing of it was written: what the user typed stays pending, in its
    // boxes, and a later event saves it.
    unwritten_ = adding_ || hasPendingWork();
    touched();
    gridLoaded_ = false;
    return;
  }
  adding_ = false;
  unwritten_ = false;
  addWritten_ = false;
  addedRowid_ = 0;
  begun_.reset();
  if (partners_) partners_->reset();
  std::fill(edited_.begin(), edited_.end(), false);
  touched();
  gridLoaded_ = false;
  if (current_) arrive(byRowid(current_->rowid));
}

void DataSource::AddNew() {
  if (schema_.readOnly) return;
  ensureOpen();
  keepState();
  window().app().eventSaves();
  sync();
  // The save a record is begun for takes its files' lock now, before the
  // boxes are written: a save kept out by another program stops here.
  begin();
  saveWork();
  adding_ = true;
  addWritten_ = false;
  addedRowid_ = 0;
  // The texts of the record before lend their memory to this one's.
  spareTexts_.resize(schema_.fields.size());
  for (size_t i = 0; i < added_.size() && i < spareTexts_.size(); ++i)
    if (added_[i]) spareTexts_[i] = std::move(*added_[i]);
  added_.assign(schema_.fields.size(), std::nullopt);
  unwritten_ = true;
  if (partners_) {
    // Joining a record a partner stored already: its empty row here is this
    // store's record.
    begun_ = partners_->begin(*this);
    addedRowid_ = begun_->rowid;
  }
  refreshBoxes();
}

}  // namespace zuvo
