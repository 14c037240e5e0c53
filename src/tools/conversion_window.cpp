#include "tools/conversion_window.h"

#include "platform/design.h"

namespace zuvo {

namespace {

constexpr Colour kEditBoxPink = 0xC0C0FF;
constexpr Colour kPaleOrange = 0xC0E0FF;
constexpr float kGridWidth = 7170;

// clang-format off
constexpr DesignRow kDesign[] = {
    // category row
    {.name = "Cmd1", .left = 192, .top = 150, .width = 1170, .height = 420, .text = u"长 度(&C)"},
    {.name = "Cmd2", .left = 1400, .top = 150, .width = 1170, .height = 420, .text = u"面 积(&M)"},
    {.name = "Cmd3", .left = 2600, .top = 150, .width = 1170, .height = 420, .text = u"容 积(&R)"},
    {.name = "Cmd4", .left = 3800, .top = 150, .width = 1170, .height = 420, .text = u"重 量(&Z)"},
    {.name = "Cmd5", .left = 5000, .top = 150, .width = 1170, .height = 420, .text = u"体 积(&T)"},
    {.name = "Command1", .left = 6210, .top = 150, .width = 1150, .height = 420, .enabled = false},
    {.name = "Command5", .left = 7400, .top = 150, .width = 1150, .height = 420, .enabled = false},
    {.name = "Command6", .left = 8580, .top = 150, .width = 1140, .height = 420, .enabled = false},
    // the category grids, one on another
    {.name = "DBGrid1", .left = 192, .top = 610, .width = kGridWidth, .height = 3580, .fontSize = 10.5f},
    {.name = "DBGrid2", .left = 192, .top = 610, .width = kGridWidth, .height = 3580, .visible = false, .fontSize = 10.5f},
    {.name = "DBGrid3", .left = 192, .top = 610, .width = kGridWidth, .height = 3580, .visible = false, .fontSize = 10.5f},
    {.name = "DBGrid4", .left = 192, .top = 610, .width = kGridWidth, .height = 3580, .visible = false, .fontSize = 10.5f},
    {.name = "DBGrid5", .left = 192, .top = 610, .width = kGridWidth, .height = 3580, .visible = false, .fontSize = 10.5f},
    // edit boxes of the current row, over the grid
    {.name = "Text3", .left = 1590, .top = 2880, .width = 1845, .height = 375, .visible = false, .back = kEditBoxPink, .fontSize = 10.5f},
    {.name = "Text5", .left = 3510, .top = 2880, .width = 1575, .height = 375, .visible = false, .back = kEditBoxPink, .fontSize = 10.5f},
    {.name = "Text6", .left = 5160, .top = 2880, .width = 1845, .height = 375, .visible = false, .back = kEditBoxPink, .fontSize = 10.5f},
    {.name = "Text4", .left = 1590, .top = 3330, .width = 5415, .height = 375, .visible = false, .back = kEditBoxPink, .fontSize = 10.5f},
    // blank buttons right of the grid, two columns
    {.name = "Command9", .left = 7400, .top = 610, .width = 1150, .height = 420, .enabled = false},
    {.name = "Command10", .left = 7400, .top = 1061, .width = 1150, .height = 420, .enabled = false},
    {.name = "Command11", .left = 7400, .top = 1513, .width = 1150, .height = 420, .enabled = false},
    {.name = "Command12", .left = 7400, .top = 1964, .width = 1150, .height = 420, .enabled = false},
    {.name = "Command13", .left = 7400, .top = 2416, .width = 1150, .height = 420, .enabled = false},
    {.name = "Command14", .left = 7400, .top = 2867, .width = 1150, .height = 420, .enabled = false},
    {.name = "Command15", .left = 7400, .top = 3319, .width = 1150, .height = 420, .enabled = false},
    {.name = "Command16", .left = 7400, .top = 3770, .width = 1150, .height = 420, .enabled = false},
    {.name = "Command17", .left = 8580, .top = 610, .width = 1140, .height = 420, .enabled = false},
    {.name = "Command19", .left = 8580, .top = 1061, .width = 1140, .height = 420, .enabled = false},
    {.name = "Command20", .left = 8580, .top = 1513, .width = 1140, .height = 420, .enabled = false},
    {.name = "Command21", .left = 8580, .top = 1964, .width = 1140, .height = 420, .enabled = false},
    {.name = "Command23", .left = 8580, .top = 2416, .width = 1140, .height = 420, .enabled = false},
    {.name = "Command24", .left = 8580, .top = 2867, .width = 1140, .height = 420, .enabled = false},
    {.name = "Command25", .left = 8580, .top = 3319, .width = 1140, .height = 420, .enabled = false},
    {.name = "Command26", .left = 8580, .top = 3770, .width = 1140, .height = 420, .enabled = false},
    {.name = "Text13", .left = 7400, .top = 610, .width = 2305, .height = 3570, .visible = false, .back = kPaleOrange, .multiLine = true},
    {.name = "Command22", .left = 7400, .top = 4260, .width = 2310, .height = 570, .text = u"汉 西 转 换(&H)", .enabled = false},
    // conversion row
    {.name = "Label8", .left = 1470, .top = 5280, .width = 1000, .height = 270, .fontSize = 10.5f},
    {.name = "Text1", .left = 2505, .top = 5225, .width = 1060, .height = 375, .back = kPaleOrange, .fontSize = 10.5f, .tabIndex = 0},
    {.name = "Label9", .left = 3615, .top = 5280, .width = 1050, .height = 270, .fontSize = 10.5f},
    // The result in 7.5 point: fifteen significant digits and the point show whole in the box.
    {.name = "Text2", .left = 4695, .top = 5225, .width = 1336, .height = 375, .back = kPaleOrange, .fontSize = 7.5f},
    // bottom buttons
    {.name = "Command2", .left = 192, .top = 5165, .width = 1150, .height = 420, .text = u"修 改(&G)"},
    {.name = "Command7", .left = 6210, .top = 5165, .width = 1150, .height = 420, .text = u"说明(&S)"},
    {.name = "Command8", .left = 7400, .top = 5155, .width = 1080, .height = 420, .text = u"其他(&Q)"},
    {.name = "Command18", .left = 8520, .top = 5165, .width = 1200, .height = 420, .text = u"退 出(&X)"},
};
// clang-format on

// Field name 字段n.
std::string field(int n) { return "字段" + std::to_string(n); }

TableSchema unitTable(std::string file, std::string seed) {
  TableSchema s;
  s.file = std::move(file);
  s.table = "Sheet1";
  for (int n = 1; n <= 20; ++n) s.fields.push_back(field(n));
  s.seedFile = std::move(seed);
  return s;
}

}  // namespace

TableSchema Frm计量换算::unitTableChinese() { return unitTable("HSK1.db", "HSK1.tsv"); }
TableSchema Frm计量换算::unitTableSpanish() { return unitTable("HSK2.db", "HSK2.tsv"); }

Frm计量换算::Frm计量换算(Application& app) : Window(app, "Frm计量换算") {
  Caption = u" 计量单位换算";
  // Room for the category row, the grid with the buttons beside it and the
  // conversion row below.
  Width = 9900;
  Height = 5900;
  applyDesign(*this, kDesign);

  Data1.bind(Text3, field(1));
  Data1.bind(Text5, field(2));
  Data1.bind(Text6, field(3));
  Data1.bind(Text4, field(4));
  Data1.bind(Label8, field(1));
  Data1.bind(Label9, field(3));
  int k = 1;
  for (DataGrid* g : grids()) {
    Data1.bind(*g);
    g->DataField = fromUtf8(field(4 * k));
    // Cell edits at design on every grid but the last.
    g->AllowUpdate = k < 5;
    g->RowColChange = [this] { DBGrid_RowColChange(); };
    ++k;
  }
  // Data errors of both tables pass without a message.
  Data1.Error = [](int, int& response) { response = 0; };
  Data2.Error = [](int, int& response) { response = 0; };

  Cmd1.Click = [this] { Cmd1_Click(); };
  Cmd2.Click = [this] { Cmd2_Click(); };
  Cmd3.Click = [this] { Cmd3_Click(); };
  Cmd4.Click = [this] { Cmd4_Click(); };
  Cmd5.Click = [this] { Cmd5_Click(); };
  Text1.KeyUp = [this](int& keyCode, int shift) { Text1_KeyUp(keyCode, shift); };
  Command2.Click = [this] { Command2_Click(); };
  Command8.Click = [this] { Command8_Click(); };
  Command18.Click = [this] { Command18_Click(); };
  // Command7 "说明(&S)" is enabled and does nothing.
}

void Frm计量换算::bindCategory(int k) {
  Text3.setDataField(field(4 * k - 3));
  Text5.setDataField(field(4 * k - 2));
  Text6.setDataField(field(4 * k - 1));
  Text4.setDataField(field(4 * k));
  Label8.setDataField(field(4 * k - 3));
  Label9.setDataField(field(4 * k - 1));
}

void Frm计量换算::Form_Load() {
  bindCategory(1);
  int k = 1;
  for (DataGrid* g : grids()) g->Visible = k++ == 1;
  Text1.SetFocus();
}

void Frm计量换算::selectCategory(int k) {
  if (Command2.Caption == u"关闭(&B)") Command2_Click();  // closes the edit boxes
  bindCategory(k);
  DataGrid& grid = *grids()[k - 1];
  grid.TabIndex = 0;
  Text4.TabIndex = 1;
  Text3.TabIndex = 2;
  Text1.TabStop = false;
  int n = 1;
  for (DataGrid* g : grids()) {
    if (n++ == k) {
      g->Visible = true;
      g->Width = kGridWidth;
    } else {
      g->Visible = false;
    }
  }
  Text1.SetFocus();
}

void Frm计量换算::DBGrid_RowColChange() {
  Text1.setText(u"");
  Text2.setText(u"");
  // From now on no grid takes cell edits until the window loads again.
  for (DataGrid* g : grids()) g->AllowUpdate = false;
  Text1.SetFocus();
}

void Frm计量换算::Text1_KeyUp(int&, int) {
  const double factor = Val(Text5.text());
  const double amount = Val(Text1.text());
  Text2.setText(NumText(amount * factor));
  Text1.SetFocus();
}

void Frm计量换算::Command2_Click() {
  const bool open = !Text4.Visible;
  Command2.Caption = open ? u"关闭(&B)" : u"修改(&G)";
  for (TextBox* box : {&Text3, &Text4, &Text5, &Text6}) box->Visible = open;
}

void Frm计量换算::Command8_Click() {
  const bool buttonsShown = Command9.Visible;
  Text13.Visible = buttonsShown;
  for (CommandButton* b : blankButtons()) b->Visible = !buttonsShown;
}

void Frm计量换算::Command18_Click() { app().unload(*this); }

}  // namespace zuvo
