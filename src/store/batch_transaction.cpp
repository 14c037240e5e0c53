#include "store/batch_transaction.h"

#include "store/store_connection.h"

namespace zuvo {

BatchTransaction::BatchTransaction(std::initializer_list<DataSource*> members) : members_(members) {
  batchCache(true);
}

void BatchTransaction::batchCache(bool on) {
  for (DataSource* m : members_) m->conn_->batchCache(on);
}

void BatchTransaction::holdNewRows(DataSource& member, size_t maxBytes) { member.holdNewRows(maxBytes); }

// Every day's page cache again once the transaction has ended, however it
// ends, and no rows held any more.
struct BatchTransaction::Released {
  BatchTransaction& batch;
  ~Released() {
    batch.batchCache(false);
    for (DataSource* m : batch.members_) m->holdNewRows(0);
  }
};

BatchTransaction::~BatchTransaction() {
  if (!open_) return;
  try {
    rollback();
  } catch (...) {
    // A store that cannot roll back is read anew by the next event.
  }
}

void BatchTransaction::commit() {
  if (!open_) return;
  open_ = false;
  Released released{*this};
  size_t done = 0;
  try {
    for (; done < members_.size(); ++done) members_[done]->savePending();
  } catch (...) {
    for (size_t i = done; i < members_.size(); ++i) {
      try {
        members_[i]->rollback();
      } catch (...) {
      }
    }
    throw;
  }
}

void BatchTransaction::rollback() {
  if (!open_) return;
  open_ = false;
  // Partners first: a store put back on its record moves its partners,
  // which must hold no pending record by then.
  Released released{*this};
  for (auto it = members_.rbegin(); it != members_.rend(); ++it) (*it)->rollback();
}

}  // namespace zuvo
