// The recordset kept for the current event: before the event first changes
// a store, its current record, index, position and pending work are noted,
// so that an event whose save fails puts the store back where it stood
// before the user's gesture. The window puts its boxes back beside it; the
// file itself is put back by the rollback of the event's transaction.

#include "store/data_source_parts.h"
#include "store/store_connection.h"

namespace zuvo {

DataSource::Before::~Before() { ds.journal().forget(*this); }

void DataSource::Before::letGo() {
  current.reset();
  added.clear();
  begun = {};
  groupCurrent = {};
  groupSpare = {};
  gridTouched = false;
}

void DataSource::noteBefore(Before& b) {
  auto noteGroup = [](Before::Group& g, const std::shared_ptr<GroupRecord>& record) {
    g.record = record;
    if (!record) return;
    g.joined = record->joined;
    g.rowid = record->rowid;
  };
  b.index = index_;
  b.bof = bof_;
  b.eof = eof_;
  b.noMatch = noMatch_;
  b.current = current_;
  b.edited = edited_;
  b.adding = adding_;
  b.addWritten = addWritten_;
  b.unwritten = unwritten_;
  b.added = added_;
  b.addedRowid = addedRowid_;
  noteGroup(b.begun, begun_);
  if (partners_) {
    noteGroup(b.groupCurrent, partners_->current);
    noteGroup(b.groupSpare, partners_->spare);
    b.groupNext = partners_->next;
    b.groupNextInTransaction = partners_->nextInTransaction;
  }
  b.gridTouched = false;
}

void DataSource::restoreBefore(Before& b) {
  // The group record as it stood, in the object the stores share.
  auto restoreGroup = [](Before::Group& g) {
    if (g.record) {
      g.record->joined = g.joined;
      g.record->rowid = g.rowid;
    }
    return g.record;
  };
  index_ = b.index;
  bof_ = b.bof;
  eof_ = b.eof;
  noMatch_ = b.noMatch;
  current_ = std::move(b.current);
  edited_ = std::move(b.edited);
  adding_ = b.adding;
  addWritten_ = b.addWritten;
  unwritten_ = b.unwritten;
  added_ = std::move(b.added);
  addedRowid_ = b.addedRowid;
  begun_ = restoreGroup(b.begun);
  if (partners_) {
    // Each partner puts the group back; the one that kept it first, and
    // so as it stood before the event, comes last.
    partners_->current = restoreGroup(b.groupCurrent);
    partners_->spare = restoreGroup(b.groupSpare);
    partners_->next = b.groupNext;
    partners_->nextInTransaction = b.groupNextInTransaction;
  }
  // The caches may hold what the dropped transaction wrote.
  touched();
  if (b.gridTouched) gridLoaded_ = false;
}

}  // namespace zuvo
