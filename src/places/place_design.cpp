// The place window's design state and the wiring of its handlers.

#include <cassert>

#include "places/place_window.h"
#include "platform/design.h"

namespace zuvo {

namespace {

constexpr Colour kDarkRed = 0xC0;
constexpr Colour kBlue = 0xFF0000;
constexpr Colour kDarkBlue = 0xC00000;
constexpr Colour kPaleYellow = 0xC0FFFF;
constexpr Colour kDetailBack = 0xFFFFC0;
constexpr Colour kWhite = 0xFFFFFF;
constexpr float kRow1 = 3300, kRow2 = 3580, kRowH = 270;
constexpr float kEntryRest1 = 3020, kEntryRest2 = 3870;

// clang-format off
constexpr DesignRow kDesign[] = {
    // upper area
    {.name = "Label13", .left = 240, .top = 390, .width = 9480, .height = 2925, .back = 0xC0C0C0},
    {.name = "Label3", .left = 288, .top = 120, .width = 3500, .height = 255, .text = u"  世界地名——中文列表:"},
    {.name = "Label4", .left = 4744, .top = 120, .width = 3500, .height = 255, .text = u"    世界地名——西文列表:"},
    {.name = "Label5", .left = 6216, .top = 120, .width = 3084, .height = 255, .visible = false, .fore = kDarkRed},
    {.name = "DBGrid1", .left = 285, .top = 390, .width = 4635, .height = 2820, .back = kPaleYellow},
    {.name = "DBGrid2", .left = 5010, .top = 390, .width = 4650, .height = 2820, .back = kPaleYellow},
    {.name = "MSFlexGrid1", .left = 0, .top = 0, .width = 600, .height = 300, .visible = false},
    {.name = "RichTextBox1", .left = 288, .top = 398, .width = 3068, .height = 2810, .visible = false},
    {.name = "RichTextBox2", .left = 3344, .top = 398, .width = 2638, .height = 2810, .visible = false},
    {.name = "RichTextBox3", .left = 0, .top = 0, .width = 600, .height = 300, .visible = false},
    {.name = "RichTextBox6", .left = 5974, .top = 398, .width = 3674, .height = 2810, .visible = false},
    {.name = "Picture3", .left = 278, .top = 1030, .width = 5675, .height = 2180, .visible = false},
    // bound boxes shown only in modify mode, at the places of the add panel's boxes
    {.name = "Text5", .visible = false},
    {.name = "Text2", .visible = false},
    {.name = "Text4", .left = 5300, .top = 710, .width = 4100, .height = 300, .visible = false},
    {.name = "Text3", .left = 572, .top = 1630, .width = 2530, .height = 300, .visible = false},
    {.name = "Text10", .left = 3136, .top = 1630, .width = 1482, .height = 300, .visible = false},
    {.name = "Text27", .left = 5300, .top = 1230, .width = 4350, .height = 1980, .visible = false, .multiLine = true},
    // the add panel
    {.name = "Text41", .left = 582, .top = 420, .width = 4320, .height = 2790, .visible = false},
    {.name = "Text47", .left = 5310, .top = 420, .width = 4320, .height = 2790, .visible = false},
    {.name = "Text17", .left = 576, .top = 1380, .width = 1000, .height = 264, .text = u"中文地名：", .visible = false, .back = kWhite, .fore = kDarkRed, .locked = true},
    {.name = "Text18", .left = 5300, .top = 450, .width = 1000, .height = 264, .text = u"西文地名：", .visible = false, .back = kWhite, .fore = kDarkRed, .locked = true},
    {.name = "Text19", .left = 5300, .top = 980, .width = 1000, .height = 264, .text = u"地名简介：", .visible = false, .back = kWhite, .fore = kDarkRed, .locked = true},
    {.name = "Text12", .left = 572, .top = 1630, .width = 2530, .height = 300, .visible = false, .back = kPaleYellow},
    {.name = "Text13", .left = 5300, .top = 710, .width = 4100, .height = 300, .visible = false, .back = kPaleYellow},
    {.name = "Text21", .left = 3136, .top = 1630, .width = 1482, .height = 300, .visible = false, .back = kPaleYellow},
    {.name = "Text14", .left = 5300, .top = 1230, .width = 4350, .height = 1980, .visible = false, .back = kPaleYellow, .multiLine = true},
    // detail row 1
    {.name = "Text42", .left = 290, .top = kRow1, .width = 885, .height = kRowH, .text = u"本地所属:", .fore = kDarkRed, .locked = true},
    {.name = "Text43", .left = 1190, .top = kRow1, .width = 1265, .height = kRowH, .back = kDetailBack, .fore = kBlue, .locked = true},
    {.name = "Text32", .left = 2460, .top = kRow1, .width = 555, .height = kRowH, .text = u"简称:", .fore = kDarkRed, .locked = true},
    {.name = "Text46", .left = 3030, .top = kRow1, .width = 840, .height = kRowH, .back = kDetailBack, .fore = kDarkBlue, .locked = true},
    {.name = "Text33", .left = 3890, .top = kRow1, .width = 675, .height = kRowH, .text = u"面 积:", .fore = kDarkRed, .locked = true},
    {.name = "Text34", .left = 4580, .top = kRow1, .width = 1425, .height = kRowH, .back = kDetailBack, .fore = kBlue, .locked = true},
    {.name = "Text35", .left = 6020, .top = kRow1, .width = 675, .height = kRowH, .text = u"人 口:", .fore = kDarkRed, .locked = true},
    {.name = "Text36", .left = 6710, .top = kRow1, .width = 1115, .height = kRowH, .back = kDetailBack, .fore = kBlue, .locked = true},
    {.name = "Text44", .left = 7835, .top = kRow1, .width = 625, .height = kRowH, .text = u"省 会:", .fore = kDarkRed, .locked = true},
    {.name = "Text45", .left = 8470, .top = kRow1, .width = 1180, .height = kRowH, .back = kDetailBack, .fore = kBlue, .locked = true},
    // detail row 2
    {.name = "Text37", .left = 290, .top = kRow2, .width = 885, .height = kRowH, .text = u"国名全称:", .fore = kDarkRed, .locked = true},
    {.name = "Text38", .left = 1190, .top = kRow2, .width = 2680, .height = kRowH, .locked = true},
    {.name = "Text28", .left = 3890, .top = kRow2, .width = 675, .height = kRowH, .text = u"面 积:", .fore = kDarkRed, .locked = true},
    {.name = "Text29", .left = 4580, .top = kRow2, .width = 1425, .height = kRowH, .locked = true},
    {.name = "Text30", .left = 6020, .top = kRow2, .width = 675, .height = kRowH, .text = u"人 口:", .fore = kDarkRed, .locked = true},
    {.name = "Text31", .left = 6710, .top = kRow2, .width = 1115, .height = kRowH, .locked = true},
    {.name = "Text39", .left = 7835, .top = kRow2, .width = 625, .height = kRowH, .text = u"首 都:", .fore = kDarkRed, .locked = true},
    {.name = "Text40", .left = 8470, .top = kRow2, .width = 1180, .height = kRowH, .locked = true},
    // the detail entry boxes at rest
    {.name = "Text64", .left = 1190, .top = kEntryRest1, .width = 1265, .height = kRowH, .visible = false, .back = kPaleYellow},
    {.name = "Text65", .left = 3030, .top = kEntryRest1, .width = 840, .height = kRowH, .visible = false, .back = kPaleYellow},
    {.name = "Text57", .left = 4580, .top = kEntryRest1, .width = 1425, .height = kRowH, .visible = false, .back = kPaleYellow},
    {.name = "Text59", .left = 6710, .top = kEntryRest1, .width = 1115, .height = kRowH, .visible = false, .back = kPaleYellow},
    {.name = "Text61", .left = 8470, .top = kEntryRest1, .width = 1180, .height = kRowH, .visible = false, .back = kPaleYellow},
    {.name = "Text48", .left = 1190, .top = kEntryRest2, .width = 2680, .height = kRowH, .visible = false, .back = kPaleYellow, .locked = true},
    {.name = "Text50", .left = 4580, .top = kEntryRest2, .width = 1425, .height = kRowH, .visible = false, .back = kPaleYellow},
    {.name = "Text52", .left = 6710, .top = kEntryRest2, .width = 1115, .height = kRowH, .visible = false, .back = kPaleYellow},
    {.name = "Text54", .left = 8470, .top = kEntryRest2, .width = 1180, .height = kRowH, .visible = false, .back = kPaleYellow},
    // lower panel
    {.name = "Label10", .left = 120, .top = 4045, .width = 9705, .height = 1540, .back = 0x80000010},
    {.name = "Label11", .left = 300, .top = 4185, .width = 990, .height = 255, .text = u"输入内容:"},
    {.name = "Text9", .left = 1296, .top = 4155, .width = 1550, .height = 300, .back = 0xFFC0FF},
    {.name = "Command29", .left = 2900, .top = 4185, .width = 480, .height = 312, .text = u"<*>"},
    {.name = "Command40", .left = 3418, .top = 4185, .width = 580, .height = 312, .text = u"[][]"},
    {.name = "Command39", .left = 4020, .top = 4185, .width = 810, .height = 312, .text = u"Buscar"},
    {.name = "Command33", .left = 3600, .top = 5145, .width = 400, .height = 312, .text = u"><"},
    {.name = "Command35", .left = 240, .top = 4815, .width = 1635, .height = 312, .text = u"单项添加(&D)", .visible = false},
    {.name = "Command3", .left = 1920, .top = 4815, .width = 1635, .height = 312, .text = u"批量添加(&P)", .visible = false},
    {.name = "Command28", .left = 4020, .top = 4485, .width = 810, .height = 312, .text = u"修改"},
    {.name = "Command49", .left = 4020, .top = 4815, .width = 810, .height = 312, .text = u"说明"},
    {.name = "Command27", .left = 4020, .top = 5145, .width = 810, .height = 312, .text = u"退出"},
    {.name = "Picture1", .left = 5070, .top = 4185, .width = 4620, .height = 1265},
    // hidden state, work boxes and subroutine buttons
    {.name = "Label6", .visible = false, .back = kButtonFace},
    {.name = "Label2", .visible = false, .back = kButtonFace},
    {.name = "Text1", .visible = false},
    {.name = "Text7", .text = u"0", .visible = false},
    {.name = "Text8", .visible = false},
    {.name = "Text6", .visible = false},
    {.name = "Text11", .visible = false},
    {.name = "Text78", .visible = false},
    {.name = "Text22", .visible = false},
    {.name = "Text23", .visible = false},
    {.name = "Text24", .visible = false},
    {.name = "Text25", .visible = false},
    {.name = "Text26", .visible = false},
    {.name = "Command30", .text = u"30", .visible = false},
    {.name = "Command34", .visible = false},
    {.name = "Command41", .visible = false},
    {.name = "Command24", .visible = false},
    {.name = "Command38", .visible = false},
};
// clang-format on

// Letter buttons: nine to a row, in alphabetical order.
constexpr float kLetterLefts[] = {240, 660, 1080, 1495, 1920, 2340, 2755, 3180, 3600};
constexpr float kLetterTops[] = {4485, 4815, 5145};

}  // namespace

frm世界地名::frm世界地名(Application& app) : Window(app, "frm世界地名") {
  Caption = u" 世界地名";
  Width = 9915;
  Height = 5790;
  for (int i = 0; i < 26; ++i) {
    auto b = std::make_unique<CommandButton>(*this, std::string("Command") + char('A' + i));
    b->Move(kLetterLefts[i % 9], kLetterTops[i / 9], 400, 312);
    b->Caption = Text(1, char16_t(u'A' + i));
    Letters.push_back(std::move(b));
  }
  applyDesign(*this, kDesign);
  designBatchPanel();
  for (Control* c : controls()) c->FontSize = 9;
  // The add buttons lie over the letter row.
  Command35.ZOrder();
  Command3.ZOrder();
  // The result lists keep the clicked line and its partner name shown.
  RichTextBox1.HideSelection = RichTextBox2.HideSelection = false;
  Picture1.Picture = u"place_banner.png";
  Picture3.Picture = u"world_map.png";

  // The display name is brought up to date before the grids follow the
  // move, so that their handlers title the introduction with it.
  Data1.bind(RichTextBox3, "ZD2");
  Data1.bind(Text5, "ID");
  Data1.bind(Text2, "ID");
  Data1.bind(Text4, "ZD1");
  Data1.bind(Text3, "ZD2");
  Data1.bind(Text43, "ZD3");
  Data1.bind(Text46, "ZD4");
  Data1.bind(Text45, "ZD5");
  Data1.bind(Text34, "ZD6");
  Data1.bind(Text36, "ZD7");
  Data1.bind(Text38, "ZD8");
  Data1.bind(Text40, "ZD9");
  Data1.bind(Text29, "ZD10");
  Data1.bind(Text31, "ZD11");
  Data1.bind(Text27, "ZD17");
  Data1.bind(RichTextBox6, "ZD17");
  Data2.bind(Text6, "ID");
  Data2.bind(Text11, "ZD1");
  Data2.bind(Text78, "ZD2");
  Data3.bind(Text22, "ID");
  Data3.bind(Text23, "ZD1");
  Data3.bind(Text24, "ZD2");
  Data3.bind(Text25, "ZD3");
  Data3.bind(Text26, "ZD4");
  Data1.bind(DBGrid1);
  Data1.bind(DBGrid2);
  DBGrid1.DataField = u"ZD2";
  DBGrid2.DataField = u"ZD1";
  DBGrid1.AllowUpdate = true;
  DBGrid2.AllowUpdate = true;
  Data2.bind(MSFlexGrid1);
  wireHandlers();
}

frm世界地名* frm世界地名::open(Application& app) {
  const bool fresh = !app.isLoaded<frm世界地名>();
  frm世界地名& w = app.form<frm世界地名>();
  if (!w.tablesOpen()) {
    app.unload(w);
    return nullptr;
  }
  // The tables' first move at load has the effects of any move, though the
  // grids' current row stays on the first row.
  if (fresh && w.Data1.hasCurrent()) {
    w.DBGrid1_RowColChange();
    w.DBGrid2_RowColChange();
  }
  w.Show();
  return &w;
}

void frm世界地名::wireHandlers() {
  // Data errors pass without a message.
  for (DataSource* d : {&Data1, &Data2, &Data3}) d->Error = [](int, int& response) { response = 0; };

  Command40.Click = [this] { Command40_Click(); };
  Command29.Click = [this] { Command29_Click(); };
  Picture1.Click = [this] { Picture1_Click(); };
  Picture3.Click = [this] { Picture3_Click(); };
  DBGrid1.RowColChange = [this] { DBGrid1_RowColChange(); };
  DBGrid2.RowColChange = [this] { DBGrid2_RowColChange(); };
  RichTextBox3.Change = [this] { RichTextBox3_Change(); };
  Text38.DblClick = [this] { Text38_DblClick(); };
  Text48.DblClick = [this] { Text48_DblClick(); };
  Command27.Click = [this] { Command27_Click(); };

  Text9.KeyUp = [this](int&, int) { Text9_KeyUp(); };
  Text9.Change = [this] { Text9_Change(); };
  Command39.Click = [this] { Command39_Click(); };
  Command30.Click = [this] { Command30_Click(); };
  RichTextBox1.SelChange = [this] { RichTextBox1_SelChange(); };
  RichTextBox2.SelChange = [this] { RichTextBox2_SelChange(); };
  Text43.MouseDown = [this](int, int, float, float) { Text43_MouseDown(); };
  Text45.MouseDown = [this](int, int, float, float) { Text45_MouseDown(); };

  Command33.Click = [this] { Command33_Click(); };
  Command35.Click = [this] { Command35_Click(); };
  Command28.Click = [this] { Command28_Click(); };
  Command34.Click = [this] { Command34_Click(); };
  Command41.Click = [this] { Command41_Click(); };
  Command24.Click = [this] { Command24_Click(); };
  Command38.Click = [this] { Command38_Click(); };
  for (TextBox* b : {&Text12, &Text13, &Text21}) b->Change = [this, b] { NameEntry_Change(*b); };
  Text17.GotFocus = [this] { Text12.SetFocus(); };
  Text18.GotFocus = [this] { Text13.SetFocus(); };
  Text19.GotFocus = [this] { Text14.SetFocus(); };
  wireBatchHandlers();
}

}  // namespace zuvo
