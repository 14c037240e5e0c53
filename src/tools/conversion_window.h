#pragma once
// The unit-conversion window: five categories of conversions, each a grid
// over the rows of the Chinese unit table; a typed quantity times the
// current row's factor gives the result on every key release, and four
// hidden edit boxes change the current row.

#include <array>

#include "platform/control.h"
#include "platform/grid.h"
#include "platform/window.h"
#include "store/data_source.h"

namespace zuvo {

class Frm计量换算 : public Window {
 public:
  explicit Frm计量换算(Application& app);

  // InitConversionWindow: category 1, its grid shown, focus in the input box.
  void Form_Load() override;
  // SelectConversionCategory for the buttons 长度, 面积, 容积, 重量, 体积.
  void Cmd1_Click() { selectCategory(1); }
  void Cmd2_Click() { selectCategory(2); }
  void Cmd3_Click() { selectCategory(3); }
  void Cmd4_Click() { selectCategory(4); }
  void Cmd5_Click() { selectCategory(5); }
  // ResetConversionInput, the RowColChange of all five grids.
  void DBGrid_RowColChange();
  // ComputeConversion.
  void Text1_KeyUp(int& keyCode, int shift);
  // ToggleConversionEditBoxes.
  void Command2_Click();
  // ToggleOtherUnitsPanel.
  void Command8_Click();
  void Command18_Click();  // unloads the window

  // The unit tables: Chinese names, shown and edited; Spanish names, opened
  // and never shown. Each row holds one conversion of every category.
  static TableSchema unitTableChinese();
  static TableSchema unitTableSpanish();

  DataSource Data1{*this, "Data1", unitTableChinese()};
  DataSource Data2{*this, "Data2", unitTableSpanish()};

  CommandButton Cmd1{*this, "Cmd1"}, Cmd2{*this, "Cmd2"}, Cmd3{*this, "Cmd3"}, Cmd4{*this, "Cmd4"},
      Cmd5{*this, "Cmd5"};
  CommandButton Command1{*this, "Command1"}, Command5{*this, "Command5"}, Command6{*this, "Command6"};
  // One grid per category, lying on one another; the list texts of every row.
  DataGrid DBGrid1{*this, "DBGrid1"}, DBGrid2{*this, "DBGrid2"}, DBGrid3{*this, "DBGrid3"},
      DBGrid4{*this, "DBGrid4"}, DBGrid5{*this, "DBGrid5"};
  // The edit boxes of the current row, bound to the current category's
  // fields: input unit, factor, result unit, list text.
  TextBox Text3{*this, "Text3"}, Text5{*this, "Text5"}, Text6{*this, "Text6"}, Text4{*this, "Text4"};
  // The blank buttons right of the grid and the box that takes their place.
  CommandButton Command9{*this, "Command9"}, Command10{*this, "Command10"}, Command11{*this, "Command11"},
      Command12{*this, "Command12"}, Command13{*this, "Command13"}, Command14{*this, "Command14"},
      Command15{*this, "Command15"}, Command16{*this, "Command16"}, Command17{*this, "Command17"},
      Command19{*this, "Command19"}, Command20{*this, "Command20"}, Command21{*this, "Command21"},
      Command23{*this, "Command23"}, Command24{*this, "Command24"}, Command25{*this, "Command25"},
      Command26{*this, "Command26"};
  TextBox Text13{*this, "Text13"};
  CommandButton Command22{*this, "Command22"};  // the language button, never enabled
  // The conversion row: input unit, quantity, result unit, result.
  Label Label8{*this, "Label8"};
  TextBox Text1{*this, "Text1"};
  Label Label9{*this, "Label9"};
  TextBox Text2{*this, "Text2"};
  CommandButton Command2{*this, "Command2"}, Command7{*this, "Command7"}, Command8{*this, "Command8"},
      Command18{*this, "Command18"};

  std::array<DataGrid*, 5> grids() { return {&DBGrid1, &DBGrid2, &DBGrid3, &DBGrid4, &DBGrid5}; }
  std::array<CommandButton*, 16> blankButtons() {
    return {&Command9,  &Command10, &Command11, &Command12, &Command13, &Command14, &Command15, &Command16,
            &Command17, &Command19, &Command20, &Command21, &Command23, &Command24, &Command25, &Command26};
  }

 private:
  void selectCategory(int k);
  // The boxes show category k's fields of the current row.
  void bindCategory(int k);
};

}  // namespace zuvo
