#pragma once
// One batch import as one unit of work over many stores. What the event
// wrote before it is committed when the transaction begins; from then on
// nothing is committed until commit(), which commits the named stores first,
// in the order given, and then every other store. A transaction that ends
// without commit() (an exception left the import) drops all it wrote.
//
// The order matters where stores live in separate files: a run killed
// between two file commits keeps what was committed first, so the caller
// names first the stores whose loss would be worse.

#include <initializer_list>
#include <vector>

#include "platform/application.h"

namespace zuvo {

class StoreTransaction {
 public:
  explicit StoreTransaction(Application& app);
  ~StoreTransaction();
  StoreTransaction(const StoreTransaction&) = delete;
  StoreTransaction& operator=(const StoreTransaction&) = delete;

  // Makes the work durable; throws when a store cannot commit, and the
  // transaction then rolls back when it ends.
  void commit(std::initializer_list<Pending*> first = {});
  // Drops the work now.
  void rollback();

 private:
  Application& app_;
  bool open_ = true;
};

}  // namespace zuvo
