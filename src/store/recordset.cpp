// The recordset: the current index, Seek, the moves and BOF/EOF. The layer
// above sees a current record that only a move, a Seek or AddNew changes;
// each of them saves the pending work first (saving is pending_writes.cpp)
// and, once it has arrived, the bound boxes show the new record and the
// data grids follow it. A step reads its neighbours ahead in batches; in
// stored order the held rows follow every row of the file.

#include <sqlite3.h>

#include <charconv>
#include <string>

#include "platform/window.h"
#include "store/data_source_parts.h"
#include "store/held_rows.h"
#include "store/seed.h"

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

void DataSource::setIndex(const std::string& name) {
  if (index_ == name) return;
  keepState();
  index_ = name;
}

void DataSource::Seek(const std::string& op, TextView key) {
  (void)op;  // only "=" is used
  keepState();
  if (!db_ && !ensureOpen()) {
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

void DataSource::MoveFirst() {
  keepState();
  if (!db_ && !ensureOpen()) {
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
  keepState();
  if (!db_ && !ensureOpen()) {
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
  keepState();
  if (!db_ && !ensureOpen()) {
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
  keepState();
  if (!db_ && !ensureOpen()) {
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
