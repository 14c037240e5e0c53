#include "store/batch_transaction.h"

namespace zuvo {

BatchTransaction::BatchTransaction(std::initializer_list<DataSource*> members) : members_(members) {}

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
  for (auto it = members_.rbegin(); it != members_.rend(); ++it) (*it)->rollback();
}

}  // namespace zuvo
