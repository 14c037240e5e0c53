// The held rows of a store: kept, read, rewritten and sought in memory, and
// written to the file in one pass of inserts, as they stand then.

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>

#include "store/held_rows.h"
#include "store/seed.h"
#include "store/store_connection.h"

namespace zuvo {

using held::kEmpty;
using held::kNull;

// While its new rows are held, the file takes the small cache of a batch:
// they reach it only at the end, in rowid order, at the right edge of its
// table.
void DataSource::holdNewRows(size_t maxBytes) {
  const size_t before = heldBytes_;
  heldBytes_ = db_ && !fileReadOnly_ ? maxBytes : 0;
  if (!before == !heldBytes_) return;
  const std::string sql =
      "PRAGMA " + sqlName(alias_) + ".cache_size=" + std::to_string(-(heldBytes_ ? kAppendCacheKiB : kPageCacheKiB));
  sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);  // only speed depends on it
}

bool DataSource::hasHeld() const { return held_ && !held_->rows.empty(); }

bool DataSource::holdInsert(int64_t rowid, const std::vector<std::optional<Text>>& values) {
  if (!heldBytes_) return false;
  // Past its memory, or out of step, what is held goes to the file and
  // holding starts afresh; the arena's offsets stay within 32 bits.
  if (hasHeld() && (rowid != held_->first + static_cast<int64_t>(held_->rows.size()) ||
                    held_->bytes() > heldBytes_ || held_->arena.size() > (size_t{1} << 31)))
    flushHeld();
  // Held rows come after every row of the file: a move in rowid order
  // reaches them once past the file's last row.
  if (!hasHeld() && rowid <= lastFileRowid()) return false;
  if (!held_) {
    held_ = std::make_unique<HeldRows>();
    HeldRows& h = *held_;
    h.stride = schema_.fields.size();
    h.id = fieldIndex("ID");
    for (const std::string& ix : schema_.indexes)
      if (ix != "ID") {
        h.key = fieldIndex(ix);
        break;
      }
  }
  HeldRows& h = *held_;
  if (h.rows.empty()) h.first = rowid;
  const uint32_t row = static_cast<uint32_t>(h.rows.size());
  const uint32_t before = h.rows.empty() ? UINT32_MAX : h.rows.back().tuple;
  HeldRows::Ids ids{};  // kNull
  for (size_t f = 0; f < h.stride; ++f) {
    if (static_cast<int>(f) == h.key || static_cast<int>(f) == h.id) continue;
    const HeldRows::Value near = before == UINT32_MAX ? kNull : h.slot(before, f);
    const std::optional<Text>& v = values[f];
    if (v && near.isText() && near.len && near == h.lastIds[f] && h.lastText[f] == *v) {
      ids[f] = near;
      continue;
    }
    ids[f] = h.valueFor(v, near);
    if (v && ids[f].isText() && ids[f].len && ids[f] != h.lastIds[f]) {
      h.lastIds[f] = ids[f];
      h.lastText[f] = *v;
    }
  }
  const uint32_t tuple = before != UINT32_MAX && h.sameTuple(before, ids) ? before : h.addTuple(ids);
  const HeldRows::Value key = h.key >= 0 ? h.takeKey(values[h.key], row) : kNull;
  h.rows.push_back({key, tuple});
  return true;
}

bool DataSource::holdUpdate(int64_t rowid, const std::vector<std::optional<Text>>& values,
                            const std::vector<bool>& which) {
  if (!hasHeld() || rowid < held_->first || rowid >= held_->first + static_cast<int64_t>(held_->rows.size()))
    return false;
  // Rewrites grow the held rows too: past their memory they go to the file,
  // and the row is rewritten there.
  if (held_->bytes() > heldBytes_ || held_->arena.size() > (size_t{1} << 31)) {
    flushHeld();
    return false;
  }
  HeldRows& h = *held_;
  const uint32_t row = static_cast<uint32_t>(rowid - h.first);
  HeldRows::Row& r = h.rows[row];
  HeldRows::Ids ids{};
  std::copy_n(h.tuples.begin() + static_cast<std::ptrdiff_t>(r.tuple * h.stride), h.stride, ids.begin());
  for (size_t f = 0; f < h.stride; ++f) {
    if (!which[f] || static_cast<int>(f) == h.id) continue;
    if (static_cast<int>(f) == h.key) {
      const std::optional<Text>& v = values[f];
      if (v) toUtf8(*v, h.scratch);
      const bool same = v ? r.key.isText() && h.text(r.key) == h.scratch : r.key == kNull;
      if (!same) r.key = h.takeKey(v, row);
      continue;
    }
    ids[f] = h.valueFor(values[f], ids[f]);
  }
  if (!h.sameTuple(r.tuple, ids))
    r.tuple = h.lastRewritten != UINT32_MAX && h.sameTuple(h.lastRewritten, ids) ? h.lastRewritten
                                                                                  : (h.lastRewritten = h.addTuple(ids));
  return true;
}

std::optional<DataSource::Record> DataSource::heldRecord(int64_t rowid) const {
  if (!hasHeld() || rowid < held_->first || rowid >= held_->first + static_cast<int64_t>(held_->rows.size()))
    return std::nullopt;
  const HeldRows& h = *held_;
  const HeldRows::Row& row = h.rows[static_cast<size_t>(rowid - h.first)];
  Record r;
  r.rowid = rowid;
  r.count = schema_.fields.size();
  const std::string number = std::to_string(rowid);
  std::array<std::string_view, Record::kMaxFields> raw;
  size_t bytes = 0;
  for (size_t f = 0; f < r.count; ++f) {
    if (static_cast<int>(f) == h.id) {
      raw[f] = number;
    } else if (const HeldRows::Value v = h.valueOf(row, f); v == kNull) {
      r.nulls |= 1u << f;
      continue;
    } else {
      raw[f] = h.text(v);
    }
    bytes += raw[f].size();
  }
  r.decode(raw, bytes);
  return r;
}

std::optional<DataSource::Record> DataSource::heldSeek(TextView key) {
  if (!hasHeld()) return std::nullopt;
  HeldRows& h = *held_;
  toUtf8(key, h.scratch);
  auto it = h.byKey.find(h.scratch);
  if (it == h.byKey.end()) return std::nullopt;
  HeldRows::KeyRows& k = it->second;
  if (!k.sorted) {
    std::sort(k.rows.begin() + static_cast<std::ptrdiff_t>(k.start), k.rows.end());
    k.rows.erase(std::unique(k.rows.begin() + static_cast<std::ptrdiff_t>(k.start), k.rows.end()), k.rows.end());
    k.sorted = true;
  }
  while (k.start < k.rows.size() && h.rows[k.rows[k.start]].key != k.value) ++k.start;
  if (k.start == k.rows.size()) return std::nullopt;
  return heldRecord(h.first + k.rows[k.start]);
}

bool DataSource::heldAnswersOrder() const {
  const std::string k = orderColumn();
  return k.empty() || (held_ && fieldIndex(k) == held_->key);
}

std::optional<DataSource::Record> DataSource::heldEdge(bool first) const {
  if (!hasHeld()) return std::nullopt;
  const HeldRows& h = *held_;
  if (orderColumn().empty()) return heldRecord(first ? h.first : h.first + static_cast<int64_t>(h.rows.size()) - 1);
  // Rows of one key follow in rowid order: the first row of the least key,
  // or the last of the greatest.
  size_t best = 0;
  for (size_t i = 1; i < h.rows.size(); ++i) {
    const int c = h.compareKeys(h.rows[i].key, h.rows[best].key);
    if (first ? c < 0 : c >= 0) best = i;
  }
  return heldRecord(h.first + static_cast<int64_t>(best));
}

// Whether `a` comes before `b` in the order of the current index, as the
// file's index orders them: no value first, then text by its UTF-8 bytes,
// then by row.
bool DataSource::precedes(const Record& a, const Record& b) const {
  if (const int f = fieldIndex(orderColumn()); f >= 0) {
    const auto ka = a.get(f), kb = b.get(f);
    if (!ka != !kb) return !ka;
    if (ka) {
      const std::string ua = toUtf8(*ka), ub = toUtf8(*kb);
      if (ua != ub) return ua < ub;
    }
  }
  return a.rowid < b.rowid;
}

void DataSource::flushHeld() {
  if (!hasHeld()) return;
  begin();
  const std::unique_ptr<HeldRows> held = std::move(held_);
  const HeldRows& h = *held;
  // Many rows to a statement: one run of SQLite's program per row costs
  // more than the row.
  constexpr size_t kRowsPerInsert = 64;
  sqlite3_stmt* single = insertStatement(true);
  sqlite3_stmt* many = nullptr;
  if (h.rows.size() >= kRowsPerInsert) many = st_->get(insertSql(true, kRowsPerInsert));
  size_t i = 0;
  while (i < h.rows.size()) {
    const bool batch = many && h.rows.size() - i >= kRowsPerInsert;
    sqlite3_stmt* st = batch ? many : single;
    sqlite3_reset(st);
    int n = 0;
    for (const size_t end = i + (batch ? kRowsPerInsert : 1); i < end; ++i) {
      sqlite3_bind_int64(st, ++n, h.first + static_cast<int64_t>(i));
      for (size_t f = 0; f < h.stride; ++f) {
        if (static_cast<int>(f) == h.id) continue;
        const HeldRows::Value v = h.valueOf(h.rows[i], f);
        if (v == kNull) {
          sqlite3_bind_null(st, ++n);
        } else {
          const std::string_view t = h.text(v);
          sqlite3_bind_text(st, ++n, t.data(), static_cast<int>(t.size()), SQLITE_STATIC);
        }
      }
    }
    ++queries_;
    stepToEnd(st);
  }
  // The held rows came after every row of the file.
  lastRowid_ = {conn_->transactions, h.first + static_cast<int64_t>(h.rows.size()) - 1};
  touched();
}

void DataSource::dropHeld() {
  if (!held_) return;
  held_.reset();
  touched();
}

}  // namespace zuvo
