#include "store/transaction.h"

namespace zuvo {

StoreTransaction::StoreTransaction(Application& app) : app_(app) { app_.commitAll(); }

StoreTransaction::~StoreTransaction() {
  if (open_) rollback();
}

void StoreTransaction::commit(std::initializer_list<Pending*> first) {
  for (Pending* p : first) p->commit();
  app_.commitAll();
  open_ = false;
}

void StoreTransaction::rollback() {
  open_ = false;
  app_.rollbackAll();
}

}  // namespace zuvo
