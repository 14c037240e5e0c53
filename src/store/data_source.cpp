// A data source's records and their reading: a record's fields in one text,
// a row read into a record and its statement reset at once, and the store
// from its construction to its last save when it is destroyed. What a
// statement's parameters are bound with lives here too.

#include "store/data_source.h"

#include <sqlite3.h>

#include <array>
#include <cassert>
#include <deque>

#include "platform/window.h"
#include "store/data_source_parts.h"
#include "store/held_rows.h"
#include "store/seed.h"
#include "store/store_connection.h"

namespace zuvo {

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

}  // namespace zuvo
