// The Seek memos: what Seeks found for each index, the keys that found
// nothing, and the walk over the rows of a key sought again and again. The
// layer above is promised the same records a query of the file would find:
// a write of ours keeps a memo only where it cannot change its answer. The
// held rows come after every row of the file in a Seek of their key.

#include <sqlite3.h>

#include <algorithm>

#include "store/data_source_parts.h"
#include "store/seed.h"

namespace zuvo {

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

}  // namespace zuvo
