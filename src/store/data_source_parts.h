#pragma once
// What the files of a data source share and nothing outside the store uses:
// the binding of a box to a field, the statements found by a short name,
// and the binding of a text parameter. Each file of the data source keeps
// one concern:
//   data_source.cpp     a record's fields, the reading of rows, the store's
//                       life from its construction
//   recordset.cpp       the current index, Seek, the moves, BOF/EOF and the
//                       bound boxes following the current record
//   pending_writes.cpp  the bound boxes' writes, the begun record, the rows
//                       stored and the one transaction of a connection
//   change_check.cpp    the check, once an event, that nothing else has
//                       saved into the file, and the caches it keeps true
//   seek_memo.cpp       what Seeks found, the walk over a key's rows, and
//                       the held rows taken in by a Seek

#include <sqlite3.h>

#include <optional>
#include <string>

#include "store/data_source.h"
#include "store/store_connection.h"

namespace zuvo {

class DataSource::Binding : public FieldBinding {
 public:
  Binding(DataSource& ds, TextControl& box, int field) : ds(ds), box(box), field(field) {}
  void boxWritten(const Text& value) override {
    if (field >= 0) ds.boxWritten(field, value);
  }
  void rebind(const std::string& name) override { ds.rebind(*this, name); }
  DataSource& ds;
  TextControl& box;
  int field;
};

// A parameter's text is converted into a buffer kept for that parameter
// number, which SQLite reads without a copy of its own: every statement's
// parameters are bound anew before each run (a statement is handed out with
// its bindings cleared), and none is bound while another one is stepping.
void bindText(sqlite3_stmt* st, int i, const std::optional<Text>& v);

// The statements a store runs over and over, found by a short name: their
// text is written and prepared once.
template <class Build>
sqlite3_stmt* DataSource::statement(const std::string& name, Build build) {
  auto it = named_.find(name);
  if (it == named_.end()) return named_.emplace(name, st_->get(build())).first->second;
  sqlite3_reset(it->second);
  sqlite3_clear_bindings(it->second);
  return it->second;
}

}  // namespace zuvo
