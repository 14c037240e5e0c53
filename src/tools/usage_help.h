#pragma once
// The usage-help window: the help table's lines in a read-only grid and a
// close button.

#include "platform/control.h"
#include "platform/grid.h"
#include "platform/window.h"
#include "store/data_source.h"

namespace zuvo {

class Frm说明1 : public Window {
 public:
  explicit Frm说明1(Application& app);

  // CloseUsageHelp: the main window's help button reads "说明" again.
  void Command1_Click();

  // The help table; no Error handler, so the store's own message reports a
  // missing or damaged file.
  DataSource Data1{*this, "Data1", helpTable()};
  DataGrid DBGrid1{*this, "DBGrid1"};
  CommandButton Command1{*this, "Command1"};
  Label Label1{*this, "Label1"};  // an empty strip beside the button

  static TableSchema helpTable();
};

}  // namespace zuvo
