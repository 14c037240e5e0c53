#pragma once
// A batch transaction: the records a batch import writes into a set of table
// stores land together or not at all.
//
// What it promises to the imports: from the moment it is opened to commit(),
// nothing the member stores write becomes durable (the stores keep their
// work in the open SQLite transaction of the event; the import shows no
// message and opens no dialog meanwhile, which would commit). commit() saves
// what is still pending in every member and commits them; rollback(), or
// leaving the scope without commit(), drops everything the members wrote
// since the last commit and puts them back on their records.
//
// Members that belong to one StoreGroup share its connection, and their
// commit lands in all of their files or in none, whatever moment the
// program dies. Members of different groups commit one group after the
// other.
//
// While it is open, a connection whose files only grow at their right edge
// keeps a small page cache (see kAppendCacheKiB).

#include <initializer_list>
#include <vector>

#include "store/data_source.h"

namespace zuvo {

class BatchTransaction {
 public:
  // The store whose moves position its partners comes first.
  BatchTransaction(std::initializer_list<DataSource*> members);
  ~BatchTransaction();
  BatchTransaction(const BatchTransaction&) = delete;
  BatchTransaction& operator=(const BatchTransaction&) = delete;

  // Saves and commits every member; throws std::runtime_error when a member
  // cannot commit, after rolling back the members not yet committed.
  void commit();
  // Drops what the members wrote since the last commit.
  void rollback();
  // The rows a member adds stay in memory until the commit, up to about
  // `maxBytes`, so that one the batch rewrites reaches its file once (see
  // DataSource's held rows).
  void holdNewRows(DataSource& member, size_t maxBytes);

 private:
  struct Released;
  void batchCache(bool on);

  std::vector<DataSource*> members_;
  bool open_ = true;
};

}  // namespace zuvo
