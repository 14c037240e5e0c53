#pragma once
// The rows a store adds while a batch holds them (DataSource::holdNewRows).
// They live in memory in rowid order, each value once in a UTF-8 arena: a
// row that repeats a value of the row before it (the tokens of one import
// line share the line's sides) or of the last rewritten row (every blanked
// row) shares it. A Seek on the held key's index finds the key's rows
// through a list per key.

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "store/data_source.h"

namespace zuvo {

namespace held {
// A value in the arena, by its place and length; rows that share a value
// share its place. A row's fields point straight into the arena, so that
// reading a row touches few places of memory.
struct Value {
  uint32_t off = 0;
  uint32_t len = UINT32_MAX;
  bool operator==(const Value&) const = default;
  bool isText() const { return len != UINT32_MAX; }
};
constexpr Value kNull{0, UINT32_MAX};  // no value
constexpr Value kEmpty{0, 0};          // the empty text
}  // namespace held

struct DataSource::HeldRows {
  using Value = held::Value;
  // A row's values in the making, one to a field.
  using Ids = std::array<Value, Record::kMaxFields>;
  int key = -1;  // the field whose index Seeks are answered here
  int id = -1;   // the field that is the row number
  size_t stride = 0;
  int64_t first = 0;  // rowid of rows[0]
  std::string arena;
  std::vector<Value> tuples;  // `stride` values to a tuple; the key's slot unused
  struct Row {
    Value key;
    uint32_t tuple;
  };
  std::vector<Row> rows;
  // The rows that took a key, by row index; an entry whose row left the key
  // since is passed over, and one that came back is put in order when sought.
  struct KeyRows {
    Value value = held::kNull;
    std::vector<uint32_t> rows;
    size_t start = 0;
    bool sorted = true;
  };
  std::unordered_map<std::string, KeyRows> byKey;
  size_t keyEntries = 0;
  uint32_t lastRewritten = UINT32_MAX;  // the tuple the last rewrite made
  // The last row added, each field's text and value: a field that repeats
  // it costs no conversion.
  std::array<Text, Record::kMaxFields> lastText;
  Ids lastIds{};
  std::string scratch;

  size_t bytes() const {
    return arena.capacity() + tuples.capacity() * sizeof(Value) + rows.capacity() * sizeof(Row) + keyEntries * 4 +
           byKey.size() * 96;
  }
  std::string_view text(Value v) const { return {arena.data() + v.off, v.len}; }
  Value intern(std::string_view s) {
    if (s.empty()) return held::kEmpty;
    const Value v{static_cast<uint32_t>(arena.size()), static_cast<uint32_t>(s.size())};
    arena.append(s);
    return v;
  }
  // A value, the neighbour's (`near`) when it is the same text.
  Value valueFor(const std::optional<Text>& v, Value near) {
    if (!v) return held::kNull;
    if (v->empty()) return held::kEmpty;
    toUtf8(*v, scratch);
    if (near.isText() && text(near) == scratch) return near;
    return intern(scratch);
  }
  // The key's value; the row joins the key's list.
  Value takeKey(const std::optional<Text>& v, uint32_t row) {
    if (!v) return held::kNull;
    toUtf8(*v, scratch);
    auto [it, fresh] = byKey.try_emplace(scratch);
    KeyRows& k = it->second;
    if (fresh) k.value = intern(it->first);
    if (!k.rows.empty() && k.rows.back() > row) k.sorted = false;
    k.rows.push_back(row);
    ++keyEntries;
    return k.value;
  }
  Value slot(uint32_t tuple, size_t f) const { return tuples[tuple * stride + f]; }
  Value valueOf(const Row& r, size_t f) const {
    if (static_cast<int>(f) == key) return r.key;
    return slot(r.tuple, f);
  }
  bool sameTuple(uint32_t t, const Ids& ids) const {
    return std::equal(ids.begin(), ids.begin() + static_cast<std::ptrdiff_t>(stride),
                      tuples.begin() + static_cast<std::ptrdiff_t>(t * stride));
  }
  uint32_t addTuple(const Ids& ids) {
    tuples.insert(tuples.end(), ids.begin(), ids.begin() + static_cast<std::ptrdiff_t>(stride));
    return static_cast<uint32_t>(tuples.size() / stride - 1);
  }
  // Where a key orders: no value first, then by the bytes of its UTF-8.
  int compareKeys(Value a, Value b) const {
    if (a == b) return 0;
    if (!a.isText() || !b.isText()) return a.isText() ? 1 : -1;
    return text(a).compare(text(b));
  }
};

}  // namespace zuvo
