#include "store/data_source.h"

#include <sqlite3.h>

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cstring>
#include <deque>
#include <stdexcept>
#include <unordered_map>

#include "platform/window.h"
#include "store/held_rows.h"
#include "store/seed.h"
#include "store/store_connection.h"

namespace zuvo {

namespace {

// An "ID" key is the decimal text of a number.
std::optional<int64_t> idKey(TextView key) {
  std::string s = toUtf8(key);
  int64_t v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || p != s.data() + s.size() || s.empty()) return std::nullopt;
  return v;
}

}  // namespace

class DataSource::Binding : public FieldBinding {
 public:
  Binding(DataSource& ds, TextControl& box, int field) : ds(ds), box(box), field(field) {}
  void boxWritten(const Text& value) override {
    if (field >= 0) ds.boxWritten(field, value);
  }
  void rebind(const std::string& name) override { ds.rebind(*this, name); }
  DataSource& ds;
  TextControl& box;
  int field;
};

std::optional<TextView> DataSource::Record::get(size_t f) const {
  if (f >= count || (nulls >> f) & 1u) return std::nullopt;
  const uint32_t start = f ? ends[f - 1] : 0;
  return TextView(data).substr(start, ends[f] - start);
}

void DataSource::Record::set(size_t f, TextView v) {
  const uint32_t start = f ? ends[f - 1] : 0;
  const int64_t delta = static_cast<int64_t>(v.size()) - (ends[f] - start);
  data.replace(start, ends[f] - start, v);
  for (size_t i = f; i < count; ++i) ends[i] = static_cast<uint32_t>(ends[i] + delta);
  nulls &= ~(1u << f);
}

void DataSource::Record::decode(const std::array<std::string_view, kMaxFields>& raw, size_t bytes) {
  data.resize(bytes);
  size_t units = 0;
  for (size_t i = 0; i < count; ++i) {
    units += utf8ToUnits(raw[i], data.data() + units);
    ends[i] = static_cast<uint32_t>(units);
  }
  data.resize(units);
}

std::vector<std::optional<Text>> DataSource::Record::all() const {
  std::vector<std::optional<Text>> out(count);
  for (size_t i = 0; i < count; ++i)
    if (auto v = get(i)) out[i] = Text(*v);
  return out;
}

DataSource::DataSource(Window& owner, std::string name, TableSchema schema)
    : Control(owner, std::move(name), ControlKind::DataSource),
      schema_(std::move(schema)),
      conn_(std::make_shared<StoreConnection>()) {
  conn_->members.push_back(this);
  assert(schema_.fields.size() <= Record::kMaxFields);
  Visible = false;
  owner.app().addPending(*this);
}

DataSource::~DataSource() {
  try {
    savePending();
  } catch (...) {
    // Closing must not throw; what failed stays as the last commit left it.
  }
  // The bound boxes may be gone already (members die in reverse order);
  // nothing writes them while the window is destroyed.
  window().app().removePending(*this);
  check_.reset();
  preload_.reset();
  named_.clear();
  st_.reset();
  std::erase(conn_->members, this);
}

std::filesystem::path DataSource::path() const { return window().app().dataDir() / schema_.file; }

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

int DataSource::fieldIndex(const std::string& name) const {
  for (size_t i = 0; i < schema_.fields.size(); ++i)
    if (schema_.fields[i] == name) return static_cast<int>(i);
  return -1;
}

Text DataSource::value(const std::string& field) const {
  const int f = fieldIndex(field);
  return f < 0 ? Text() : Text(shown(f));
}

// --- reading -------------------------------------------------------------------

std::string DataSource::orderColumn() const {
  if (index_.empty() || index_ == "ID") return {};
  return index_;
}

void DataSource::fetchAll(sqlite3_stmt* st, std::vector<Record>& out) {
  readHere();
  const int64_t before = queries_;
  while (auto r = readRow(st)) out.push_back(std::move(*r));
  sqlite3_reset(st);
  queries_ = before + 1;
}

// One record, and the statement reset at once: a statement left active would
// hold a read snapshot of the file, hiding what another program saves and
// blocking the next write.
std::optional<DataSource::Record> DataSource::fetch(sqlite3_stmt* st) {
  readHere();
  auto r = readRow(st);
  sqlite3_reset(st);
  if (r && schema_.readOnly) keep(*r);
  return r;
}

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

std::optional<DataSource::Record> DataSource::readRow(sqlite3_stmt* st) {
  ++queries_;
  const int rc = sqlite3_step(st);
  if (rc == SQLITE_DONE) return std::nullopt;
  if (rc != SQLITE_ROW) fail(sqlite3_errmsg(db_));
  Record r;
  r.rowid = sqlite3_column_int64(st, 0);
  r.count = schema_.fields.size();
  std::array<std::string_view, Record::kMaxFields> raw;
  size_t bytes = 0;
  for (size_t i = 0; i < r.count; ++i) {
    const int c = static_cast<int>(i) + 1;
    const char* t = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
    if (!t) {
      r.nulls |= 1u << i;
      continue;
    }
    raw[i] = std::string_view(t, sqlite3_column_bytes(st, c));
    bytes += raw[i].size();
  }
  r.decode(raw, bytes);
  return r;
}

std::string DataSource::tableRef() const { return sqlName(alias_) + "." + sqlName(schema_.table); }

std::string DataSource::selectList(const TableSchema& s, const std::string& from) {
  std::string sql = "SELECT rowid";
  for (const auto& f : s.fields) sql += ", " + sqlName(f);
  return sql + " FROM " + from;
}

namespace {
// A parameter's text is converted into a buffer kept for that parameter
// number, which SQLite reads without a copy of its own: every statement's
// parameters are bound anew before each run (a statement is handed out with
// its bindings cleared), and none is bound while another one is stepping.
void bindText(sqlite3_stmt* st, int i, const std::optional<Text>& v) {
  if (!v) {
    sqlite3_bind_null(st, i);
    return;
  }
  // A deque: growing it moves no buffer bound already (a short text lives
  // inside its string).
  thread_local std::deque<std::string> buffers;
  if (buffers.size() <= static_cast<size_t>(i)) buffers.resize(i + 1);
  std::string& u = buffers[i];
  toUtf8(*v, u);
  sqlite3_bind_text(st, i, u.data(), static_cast<int>(u.size()), SQLITE_STATIC);
}
}  // namespace

std::optional<DataSource::Record> DataSource::byRowid(int64_t rowid) {
  if (auto held = heldRecord(rowid)) return held;
  if (const Record* kept = keptRecord(rowid)) return *kept;
  sqlite3_stmt* st = statement("rowid", [&] { return selectList(schema_, tableRef()) + " WHERE rowid = ?1"; });
  sqlite3_bind_int64(st, 1, rowid);
  return fetch(st);
}

std::optional<DataSource::Record> DataSource::edge(bool first) {
  if (hasHeld() && !heldAnswersOrder()) flushHeld();
  const std::string k = orderColumn();
  const std::string dir = first ? " ASC" : " DESC";
  std::string sql = selectList(schema_, tableRef()) + " ORDER BY ";
  sql += k.empty() ? "rowid" + dir : sqlName(k) + dir + ", rowid" + dir;
  auto inFile = fetch(st_->get(sql + " LIMIT 1"));
  auto held = heldEdge(first);
  if (!held) return inFile;
  if (!inFile) return held;
  return precedes(*inFile, *held) == first ? inFile : held;
}

// The neighbour of the current record in the order of the current index.
// Keys compare by character code; records with no value (NULL) come first.
std::optional<DataSource::Record> DataSource::stepQuery(bool forward, int limit) {
  const std::string lim = " LIMIT " + std::to_string(limit);
  auto many = [&](sqlite3_stmt* st) -> std::optional<Record> {
    ahead_.rows.clear();
    ahead_.next = 0;
    fetchAll(st, ahead_.rows);
    if (ahead_.rows.empty()) return std::nullopt;
    ahead_.generation = generation_;
    ahead_.index = index_;
    ahead_.forward = forward;
    ahead_.next = 1;
    ahead_.after = ahead_.rows[0].rowid;
    return std::move(ahead_.rows[0]);
  };
  const std::string k = orderColumn();
  const std::string sel = selectList(schema_, tableRef());
  if (k.empty()) {
    sqlite3_stmt* st = st_->get(sel + (forward ? " WHERE rowid > ?1 ORDER BY rowid ASC" + lim
                                               : " WHERE rowid < ?1 ORDER BY rowid DESC" + lim));
    sqlite3_bind_int64(st, 1, current_->rowid);
    return many(st);
  }
  const std::string q = sqlName(k);
  const auto view = current_->get(fieldIndex(k));
  const std::optional<Text> key = view ? std::optional<Text>(Text(*view)) : std::nullopt;
  if (forward) {
    if (!key) {
      sqlite3_stmt* st = st_->get(sel + " WHERE " + q + " IS NULL AND rowid > ?1 ORDER BY rowid" + lim);
      sqlite3_bind_int64(st, 1, current_->rowid);
      if (auto r = many(st)) return r;
      return many(st_->get(sel + " WHERE " + q + " IS NOT NULL ORDER BY " + q + ", rowid" + lim));
    }
    sqlite3_stmt* st =
        st_->get(sel + " WHERE (" + q + ", rowid) > (?1, ?2) ORDER BY " + q + ", rowid" + lim);
    bindText(st, 1, key);
    sqlite3_bind_int64(st, 2, current_->rowid);
    return many(st);
  }
  if (key) {
    sqlite3_stmt* st = st_->get(sel + " WHERE (" + q + ", rowid) < (?1, ?2) ORDER BY " + q +
                                " DESC, rowid DESC" + lim);
    bindText(st, 1, key);
    sqlite3_bind_int64(st, 2, current_->rowid);
    if (auto r = many(st)) return r;
    return many(st_->get(sel + " WHERE " + q + " IS NULL ORDER BY rowid DESC" + lim));
  }
  sqlite3_stmt* st = st_->get(sel + " WHERE " + q + " IS NULL AND rowid < ?1 ORDER BY rowid DESC" + lim);
  sqlite3_bind_int64(st, 1, current_->rowid);
  return many(st);
}

std::optional<DataSource::Record> DataSource::step(bool forward) {
  if (hasHeld() && !orderColumn().empty()) flushHeld();
  // In rowid order the held rows follow every row of the file.
  const int64_t heldFirst = hasHeld() ? held_->first : 0;
  if (heldFirst && current_->rowid >= heldFirst && (forward || current_->rowid > heldFirst))
    return heldRecord(current_->rowid + (forward ? 1 : -1));
  auto inFile = fileStep(forward);
  if (!inFile && heldFirst && forward) return heldRecord(heldFirst);
  return inFile;
}

std::optional<DataSource::Record> DataSource::fileStep(bool forward) {
  ReadAhead& a = ahead_;
  if (a.generation == generation_ && a.index == index_ && a.forward == forward && a.after == current_->rowid &&
      a.next < a.rows.size()) {
    a.after = a.rows[a.next].rowid;
    return std::move(a.rows[a.next++]);
  }
  return stepQuery(forward, 256);
}

// --- writing -------------------------------------------------------------------

// Runs a statement that returns no rows, and resets it whatever happens.
void DataSource::stepToEnd(sqlite3_stmt* st) {
  const int rc = sqlite3_step(st);
  sqlite3_reset(st);
  if (rc != SQLITE_DONE) fail(sqlite3_errmsg(db_));
}

// One transaction per connection: the stores of a group write into the
// same one, and it commits once for all of them.
void DataSource::begin() {
  if (!conn_->inTransaction) {
    // Every file of the connection is known sound before anything is
    // written: damage a check found meanwhile, or finds now, is told first.
    for (DataSource* m : conn_->members) m->awaitCheck();
    for (DataSource* m : conn_->members)
      if (m->takeCheckResult()) throw StoreError(m->damageMessage(m->damage_), *m);
  }
  refuseUnlessSavable();
  if (conn_->inTransaction) return;
  conn_->endRead();
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
}

void DataSource::touched() {
  ++generation_;
  edgeCache_.clear();
  seekMemos_.clear();
  run_.active = false;
}

// A row of ours now holds these values. A key that found nothing still
// finds nothing unless this row took it on, so a walk that writes as it
// seeks (a merge) does not seek the same missing key in the file again.
void DataSource::rowWritten(int64_t rowid, const std::vector<std::optional<Text>>& values) {
  ++generation_;
  edgeCache_.clear();
  keyRunWritten(rowid, values);
  // An empty memo is left alone: clearing a hash table clears every bucket
  // it has ever grown, however few keys it holds.
  for (SeekMemo& memo : seekMemos_) {
    if (!memo.found.empty()) memo.found.clear();
    if (memo.missing.empty()) continue;
    const int f = fieldIndex(memo.index);
    if (memo.index == "ID")
      memo.missing.clear();
    else if (f >= 0 && values[f])
      memo.missing.erase(*values[f]);
  }
}

// The first record of a key in index order. A key sought again after its
// record was written away (a merge that blanks every row it took) is the
// start of a walk over the key's rows: those that follow are read ahead in
// growing batches and taken one by one, instead of one query per Seek.
std::optional<DataSource::Record> DataSource::seekKey(TextView key) {
  KeyRun& run = run_;
  const bool walking = run.active && run.index == index_ && run.key == key;
  if (walking && run.next < run.rows.size()) return run.rows[run.next];
  if (walking && run.complete) return std::nullopt;
  if (!walking) {
    sqlite3_stmt* st = statement("seek " + index_, [&] {
      return selectList(schema_, tableRef()) + " WHERE " + sqlName(index_) + " = ?1 ORDER BY rowid LIMIT 1";
    });
    bindText(st, 1, Text(key));
    auto rec = fetch(st);
    // A key the file does not hold is a walk that has ended: sought again,
    // it costs no query until a row of ours takes the key.
    run.active = true;
    run.index = index_;
    run.key.assign(key);
    run.next = 0;
    run.batch = 1;
    run.complete = !rec;
    run.after = rec ? rec->rowid : 0;
    run.rows.clear();
    if (rec) run.rows.push_back(*rec);
    return rec;
  }
  // The rows of the key after those read: none of ours has taken the key
  // since (that ends the walk), so none can come before them.
  sqlite3_stmt* st = statement("seek after " + index_, [&] {
    return selectList(schema_, tableRef()) + " WHERE " + sqlName(index_) +
           " = ?1 AND rowid > ?2 ORDER BY rowid LIMIT ?3";
  });
  run.batch = std::min<int64_t>(run.batch * 4, 256);
  bindText(st, 1, Text(key));
  sqlite3_bind_int64(st, 2, run.after);
  sqlite3_bind_int64(st, 3, run.batch);
  run.rows.clear();
  run.next = 0;
  fetchAll(st, run.rows);
  run.complete = static_cast<int64_t>(run.rows.size()) < run.batch;
  if (run.rows.empty()) return std::nullopt;
  run.after = run.rows.back().rowid;
  // Large records are read a few at a time.
  size_t units = 0;
  for (const Record& r : run.rows) units += r.data.size();
  if (units > (size_t{1} << 20)) run.batch = 1;
  return run.rows.front();
}

// Held rows come after every row of the file: the file's first row of a
// key, where it has one, is the key's first.
std::optional<DataSource::Record> DataSource::seekWithHeld(TextView key) {
  if (auto inFile = seekKey(key)) return inFile;
  return heldSeek(key);
}

// A row written by this store: one that the walk holds and that left the
// key is passed over; one that holds the key (a row the walk has read and
// changed, or one that took the key on) ends the walk.
void DataSource::keyRunWritten(int64_t rowid, const std::vector<std::optional<Text>>& values) {
  KeyRun& run = run_;
  if (!run.active) return;
  const int f = fieldIndex(run.index);
  const bool hasKey = f >= 0 && values[f] && *values[f] == run.key;
  auto it = std::find_if(run.rows.begin() + static_cast<std::ptrdiff_t>(run.next), run.rows.end(),
                         [&](const Record& r) { return r.rowid == rowid; });
  if (hasKey) {
    run.active = false;
  } else if (it != run.rows.end()) {
    if (it - run.rows.begin() == static_cast<std::ptrdiff_t>(run.next))
      ++run.next;
    else
      run.rows.erase(it);
  }
}

DataSource::SeekMemo& DataSource::seekMemo(const std::string& index) {
  for (SeekMemo& memo : seekMemos_)
    if (memo.index == index) return memo;
  seekMemos_.emplace_back().index = index;
  return seekMemos_.back();
}

// The statements a store runs over and over, found by a short name: their
// text is written and prepared once.
template <class Build>
sqlite3_stmt* DataSource::statement(const std::string& name, Build build) {
  auto it = named_.find(name);
  if (it == named_.end()) return named_.emplace(name, st_->get(build())).first->second;
  sqlite3_reset(it->second);
  sqlite3_clear_bindings(it->second);
  return it->second;
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
  sqlite3_stmt* st = statement("data_version", [&] { return "PRAGMA " + sqlName(alias_) + ".data_version"; });
  const int rc = sqlite3_step(st);
  const int64_t v = rc == SQLITE_ROW ? sqlite3_column_int64(st, 0) : -1;
  sqlite3_reset(st);
  // Taken only while this event's read lock holds the file and no write of
  // ours is open: the counter of what is committed, which only grows.
  checkedCounter_.reset();
  if (rc == SQLITE_ROW && conn_->reading && !conn_->inTransaction) checkedCounter_ = fileCommitCounter();
  if (v == dataVersion_) return;
  dataVersion_ = v;
  touched();
  gridLoaded_ = false;
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

void DataSource::commit() {
  if (!db_) return;
  // Every store of the group writes its pending work into the one
  // transaction before it commits.
  for (DataSource* m : conn_->members) m->writeThrough();
  for (DataSource* m : conn_->members) m->flushHeld();
  if (!conn_->inTransaction) {
    conn_->endRead();
    return;
  }
  if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
    // A commit that failed may have ended the transaction already.
    conn_->inTransaction = !sqlite3_get_autocommit(db_);
    fail(sqlite3_errmsg(db_));
  }
  conn_->inTransaction = false;
  conn_->gate->saving(false);
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

// The first event after the window has shown begins the file's check; the
// events after it tell what the check found.
void DataSource::beginEvent() {
  versionUnchecked_ = true;
  conn_->lockMet = false;
  if (!db_) return;
  if (!checkStarted_) startCheck();
  if (takeCheckResult()) window().app().msgBox(fromUtf8(damageMessage(damage_)), u" ZORVEK");
}

// --- moves ---------------------------------------------------------------------

void DataSource::arrive(std::optional<Record> rec) {
  current_ = std::move(rec);
  edited_.assign(schema_.fields.size(), false);
  bof_ = eof_ = false;
  refreshBoxes();
  followGrids();
}

// The data grids bound to this store move their row to the current record,
// after the bound boxes, and run their RowColChange.
void DataSource::followGrids() {
  if (!hasDataGrids_) return;
  const auto controls = window().controls();  // a handler may not add controls, but be safe
  for (Control* c : controls) {
    if (c->kind() != ControlKind::DataGrid) continue;
    auto* g = static_cast<DataGrid*>(c);
    if (g->source() == this) g->sourceMoved();
  }
}

void DataSource::refreshBoxes() {
  const int64_t g = ++refreshGeneration_;
  changed_.clear();
  for (auto& b : bindings_) {
    if (b->field < 0) continue;
    TextView v;
    if (!adding_ && current_) v = current_->get(b->field).value_or(TextView());
    if (b->box.assignFromStore(v)) changed_.push_back(b.get());
  }
  // Handlers run after every box holds the new record; one that moves this
  // store again has refreshed the boxes itself, and this pass stops.
  for (size_t i = 0; i < changed_.size(); ++i) {
    if (refreshGeneration_ != g) break;
    changed_[i]->box.runChange();
  }
}

// The boxes bound to a field show the record's new value, and those that
// changed run their Change once every one of them holds it.
void DataSource::showField(int field, TextView value) {
  std::vector<Binding*> changed;
  for (auto& b : bindings_)
    if (b->field == field && b->box.assignFromStore(value)) changed.push_back(b.get());
  for (Binding* b : changed) b->box.runChange();
}

void DataSource::setIndex(const std::string& name) { index_ = name; }

void DataSource::Seek(const std::string& op, TextView key) {
  (void)op;  // only "=" is used
  if (!db_) {
    noMatch_ = true;
    return;
  }
  sync();
  const bool pending = hasPendingWork();
  if (pending) saveWork();
  // Held rows answer a Seek on their own key only: on any other field the
  // file answers, once they are in it. Written before the memo is taken, as
  // their writing empties the memos.
  if (hasHeld() && index_ != "ID" && fieldIndex(index_) >= 0 && fieldIndex(index_) != held_->key) flushHeld();
  size_t memoSize = 0;
  for (const SeekMemo& memo : seekMemos_) memoSize += memo.found.size() + memo.missing.size();
  if (memoSize >= 65536) seekMemos_.clear();  // bounded, however many keys are sought
  SeekMemo& memo = seekMemo(index_);
  std::optional<int64_t> target;
  bool known = false;
  auto hit = memo.found.find(key);
  if (hit != memo.found.end() && hit->second.first != generation_) hit = memo.found.end();
  if (hit != memo.found.end() || memo.missing.contains(key)) {
    if (hit != memo.found.end()) target = hit->second.second;
    known = true;
    if (!pending && ((target && current_ && current_->rowid == *target && !bof_ && !eof_) ||
                     (!target && !current_ && noMatch_))) {
      noMatch_ = !target;
      return;
    }
  }
  std::optional<Record> rec;
  if (known && target) {
    rec = byRowid(*target);
  } else if (!known) {
    if (index_.empty() || fieldIndex(index_) < 0) {
      rec = std::nullopt;
    } else if (index_ == "ID") {
      if (auto id = idKey(key)) rec = byRowid(*id);
    } else {
      rec = seekWithHeld(key);
    }
    if (rec)
      memo.found.insert_or_assign(Text(key), std::pair{generation_, rec->rowid});
    else
      memo.missing.emplace(key);
  }
  if (rec) {
    noMatch_ = false;
    arrive(std::move(rec));
  } else {
    noMatch_ = true;
    current_.reset();
    edited_.assign(schema_.fields.size(), false);
    bof_ = eof_ = false;
    refreshBoxes();
  }
}

void DataSource::AddNew() {
  if (schema_.readOnly) return;
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

void DataSource::MoveFirst() {
  if (!db_) {
    bof_ = eof_ = true;
    refreshBoxes();
    return;
  }
  sync();
  const bool pending = hasPendingWork();
  if (pending) saveWork();
  const auto cacheKey = std::make_pair(index_, true);
  if (auto it = edgeCache_.find(cacheKey); it != edgeCache_.end() && it->second.first == generation_) {
    const auto& target = it->second.second;
    if (!pending && !bof_ && !eof_ && target && current_ && current_->rowid == *target) return;
    if (target) {
      arrive(byRowid(*target));
      return;
    }
  }
  auto rec = edge(true);
  edgeCache_[cacheKey] = {generation_, rec ? std::optional<int64_t>(rec->rowid) : std::nullopt};
  if (rec) {
    arrive(std::move(rec));
  } else {
    current_.reset();
    bof_ = eof_ = true;
    refreshBoxes();
  }
}

void DataSource::MoveLast() {
  if (!db_) {
    bof_ = eof_ = true;
    refreshBoxes();
    return;
  }
  sync();
  const bool pending = hasPendingWork();
  if (pending) saveWork();
  const auto cacheKey = std::make_pair(index_, false);
  if (auto it = edgeCache_.find(cacheKey); it != edgeCache_.end() && it->second.first == generation_) {
    const auto& target = it->second.second;
    if (!pending && !bof_ && !eof_ && target && current_ && current_->rowid == *target) return;
    if (target) {
      arrive(byRowid(*target));
      return;
    }
  }
  auto rec = edge(false);
  edgeCache_[cacheKey] = {generation_, rec ? std::optional<int64_t>(rec->rowid) : std::nullopt};
  if (rec) {
    arrive(std::move(rec));
  } else {
    current_.reset();
    bof_ = eof_ = true;
    refreshBoxes();
  }
}

void DataSource::MoveNext() {
  if (!db_) {
    bof_ = eof_ = true;
    return;
  }
  sync();
  if (hasPendingWork()) saveWork();
  if (eof_ && !bof_) return;  // stays past the end
  if (!current_) {            // before the first record, or after a failed Seek
    auto rec = edge(true);
    if (rec) {
      arrive(std::move(rec));
    } else {
      bof_ = eof_ = true;
      refreshBoxes();
    }
    return;
  }
  auto rec = step(true);
  if (rec) {
    arrive(std::move(rec));
  } else {
    current_.reset();
    bof_ = false;
    eof_ = true;
    refreshBoxes();
  }
}

void DataSource::MovePrevious() {
  if (!db_) {
    bof_ = eof_ = true;
    return;
  }
  sync();
  if (hasPendingWork()) saveWork();
  if (bof_ && !eof_) return;  // stays before the start
  if (!current_) {
    auto rec = edge(false);
    if (rec) {
      arrive(std::move(rec));
    } else {
      bof_ = eof_ = true;
      refreshBoxes();
    }
    return;
  }
  auto rec = step(false);
  if (rec) {
    arrive(std::move(rec));
  } else {
    current_.reset();
    bof_ = true;
    eof_ = false;
    refreshBoxes();
  }
}

}  // namespace zuvo
