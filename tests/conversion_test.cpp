// The unit-conversion window: its design state, the five categories and their
// lists, the result on every key release in the input box, the edit boxes
// and grid cells that change a row (kept over a restart), the inert buttons,
// a unit table that cannot be opened, and the shipped rows checked against
// the definitions of their units.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "store/seed.h"
#include "support/test_support.h"
#include "tools/conversion_window.h"

namespace zuvo {
namespace {

using namespace zuvo::testing;

SeedRows shippedRows(const std::string& file) {
  std::ifstream in(shippedDataDir() / file, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return parseSeed(ss.str());
}

std::vector<Text> gridLines(const DataGrid& g) {
  std::vector<Text> out;
  for (int64_t r = 0; r < g.Rows(); ++r) out.push_back(g.cell(r));
  return out;
}

class ConversionTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::unique_ptr<Program> p = std::make_unique<Program>(dir.path());

  // Opens the window as the main window's "[换算]" does.
  Frm计量换算& open() {
    Frm计量换算* w = nullptr;
    p->event([&] {
      w = &p->form<Frm计量换算>();
      w->Show();
    });
    return *w;
  }
  User& user() { return p->user(); }
  // Picks category k and row r, then types the quantity.
  Text convert(Frm计量换算& w, int k, int64_t row, TextView quantity) {
    EXPECT_TRUE(user().click(*std::array<CommandButton*, 5>{&w.Cmd1, &w.Cmd2, &w.Cmd3, &w.Cmd4, &w.Cmd5}[k - 1]));
    EXPECT_TRUE(user().mouseDown(*w.grids()[k - 1], {1, 0, 300, 300}, row));
    EXPECT_EQ(w.Text1.text(), u"");
    EXPECT_TRUE(user().type(w.Text1, quantity));
    return w.Text2.text();
  }
  // Empties the input box as a user selecting its text and typing over it.
  Text retype(Frm计量换算& w, TextView quantity) {
    p->event([&] { w.Text1.setText(u""); });
    if (quantity.empty())
      EXPECT_TRUE(user().pressKey(w.Text1, kKeyBack));
    else
      EXPECT_TRUE(user().type(w.Text1, quantity));
    return w.Text2.text();
  }
};

TEST_F(ConversionTest, OpensOnTheLengthsWithTheInputBoxFocusedAndEverythingElseAsDesigned) {
  Frm计量换算& w = open();
  EXPECT_EQ(w.Caption, u" 计量单位换算");
  const std::vector<Text> captions = {w.Cmd1.Caption, w.Cmd2.Caption, w.Cmd3.Caption, w.Cmd4.Caption,
                                      w.Cmd5.Caption};
  EXPECT_EQ(captions, (std::vector<Text>{u"长 度(&C)", u"面 积(&M)", u"容 积(&R)", u"重 量(&Z)", u"体 积(&T)"}));
  EXPECT_TRUE(w.Text1.hasFocus());
  EXPECT_TRUE(w.DBGrid1.Visible);
  for (int k = 2; k <= 5; ++k) EXPECT_FALSE(w.grids()[k - 1]->Visible) << k;
  for (int k = 1; k <= 5; ++k) EXPECT_EQ(w.grids()[k - 1]->AllowUpdate, k < 5) << k;
  EXPECT_EQ(w.Label8.Caption(), u"千米");
  EXPECT_EQ(w.Label9.Caption(), u"米");
  EXPECT_EQ(w.Text5.text(), u"1000");
  EXPECT_EQ(w.Text4.text(), u"1 千米 = 1000 米");
  for (TextBox* box : {&w.Text3, &w.Text4, &w.Text5, &w.Text6}) EXPECT_FALSE(box->Visible) << box->name();
  EXPECT_FALSE(w.Text13.Visible);
  EXPECT_EQ(w.Command2.Caption, u"修 改(&G)");
  EXPECT_EQ(w.Command22.Caption, u"汉 西 转 换(&H)");
  EXPECT_TRUE(p->dialogs().messages.empty());
  // The Spanish table is open beside it, on the same rows.
  EXPECT_EQ(w.Data2.value("字段1"), u"kilómetro");
}

TEST_F(ConversionTest, EveryCategoryListsTwelveRowsAndConvertsWithItsRowsFactor) {
  Frm计量换算& w = open();
  const SeedRows shipped = shippedRows("HSK1.tsv");
  ASSERT_EQ(shipped.rows.size(), 12u);
  for (int k = 1; k <= 5; ++k) {
    std::vector<Text> expected;
    for (const auto& row : shipped.rows) expected.push_back(*row.at(4 * k - 1));
    EXPECT_EQ(gridLines(*w.grids()[k - 1]), expected) << k;
  }
  struct Case {
    int category;
    int64_t row;
    Text quantity, result, inputUnit, resultUnit;
  };
  const std::vector<Case> cases = {
      {1, 4, u"3", u"0.9144", u"英尺", u"米"},
      {1, 11, u"3", u"0.999999999999999", u"市尺", u"米"},
      {2, 4, u"30", u"450", u"公顷", u"亩"},
      {3, 2, u"2", u"7.570823568", u"美制加仑", u"升"},
      {4, 3, u"70", u"154.323583529415", u"千克", u"磅"},
      {5, 10, u"2", u"54", u"立方码", u"立方英尺"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(convert(w, c.category, c.row, c.quantity), c.result) << c.category << "/" << c.row;
    EXPECT_EQ(w.Label8.Caption(), c.inputUnit);
    EXPECT_EQ(w.Label9.Caption(), c.resultUnit);
    EXPECT_TRUE(w.grids()[c.category - 1]->Visible);
    EXPECT_EQ(w.grids()[c.category - 1]->Width, 7170);
    for (int k = 1; k <= 5; ++k) EXPECT_EQ(w.grids()[k - 1]->Visible, k == c.category) << k;
    EXPECT_TRUE(w.Text1.hasFocus());
  }
}

TEST_F(ConversionTest, TheQuantityIsReadByItsLeadingNumber) {
  Frm计量换算& w = open();  // 1 千米 = 1000 米
  const std::vector<std::pair<Text, Text>> cases = {
      {u"1 000", u"1000000"}, {u"2.5km", u"2500"}, {u"&H10", u"16000"}, {u"", u"0"},
      {u"-3", u"-3000"},      {u"1e3", u"1000000"}, {u"abc", u"0"},    {u".5", u"500"},
      {u"1e20", u"1E+23"},    {u"1e-9", u"1E-06"},
  };
  for (const auto& [quantity, result] : cases) EXPECT_EQ(retype(w, quantity), result) << toUtf8(quantity);
  // Backspace over the last digit leaves an empty box: "0".
  retype(w, u"7");
  ASSERT_TRUE(user().pressKey(w.Text1, kKeyEnd));
  ASSERT_TRUE(user().pressKey(w.Text1, kKeyBack));
  EXPECT_EQ(w.Text2.text(), u"0");
  // Any key release computes, an arrow too.
  p->event([&] { w.Text1.setText(u"2"); });
  ASSERT_TRUE(user().pressKey(w.Text1, kKeyLeft));
  EXPECT_EQ(w.Text2.text(), u"2000");
  EXPECT_TRUE(w.Text1.hasFocus());
}

TEST_F(ConversionTest, ResultsHaveAtMostFifteenDigitsAndExtremeOnesAnExponent) {
  Frm计量换算& w = open();
  ASSERT_TRUE(user().click(w.Command2));  // the edit boxes of the current row
  const std::vector<std::tuple<Text, Text, Text>> cases = {
      {u"0.3048", u"3", u"0.9144"},
      {u"0.00001", u"1", u"1E-05"},
      {u"0.0001", u"1", u"0.0001"},
      {u"0.333333333333333", u"1", u"0.333333333333333"},
      {u"3.28083989501312", u"12345", u"40501.968503937"},
      {u"1000", u"999999999999", u"999999999999000"},
      {u"1000", u"9999999999999", u"9.999999999999E+15"},
      {u"", u"5", u"0"},
      {u"abc", u"5", u"0"},
  };
  for (const auto& [factor, quantity, result] : cases) {
    p->event([&] { w.Text5.setText(u""); });
    if (!factor.empty()) {
      ASSERT_TRUE(user().type(w.Text5, factor));
    }
    EXPECT_EQ(retype(w, quantity), result) << toUtf8(factor) << " x " << toUtf8(quantity);
  }
}

TEST_F(ConversionTest, ACategoryKeepsInputAndResultUntilTheNextKeyReleaseUsesItsFactor) {
  Frm计量换算& w = open();
  ASSERT_TRUE(user().type(w.Text1, u"2"));
  ASSERT_EQ(w.Text2.text(), u"2000");
  ASSERT_TRUE(user().click(w.Command2));
  ASSERT_EQ(w.Command2.Caption, u"关闭(&B)");
  ASSERT_TRUE(user().click(w.Cmd4));  // 1 吨 = 1000 千克 … on the same row
  // The edit boxes closed first.
  EXPECT_EQ(w.Command2.Caption, u"修改(&G)");
  EXPECT_FALSE(w.Text4.Visible);
  EXPECT_EQ(w.Text1.text(), u"2");
  EXPECT_EQ(w.Text2.text(), u"2000");
  EXPECT_EQ(w.Label8.Caption(), u"吨");
  EXPECT_EQ(w.Text4.text(), u"1 吨 = 1000 千克");
  EXPECT_TRUE(w.Text1.hasFocus());
  EXPECT_FALSE(w.Text1.TabStop);
  EXPECT_EQ(w.DBGrid4.TabIndex, 0);
  ASSERT_TRUE(user().click(w.Cmd3));  // 1 升 = 1000 毫升
  ASSERT_TRUE(user().type(w.Text1, u"5"));
  EXPECT_EQ(w.Text2.text(), u"25000");
  // The same row stays current in every category.
  ASSERT_TRUE(user().click(w.Cmd2));
  EXPECT_EQ(w.Text4.text(), u"1 平方千米 = 1000000 平方米");
}

TEST_F(ConversionTest, PickingAnotherRowEmptiesBothBoxesAndEndsCellEditsInEveryGrid) {
  Frm计量换算& w = open();
  ASSERT_TRUE(user().type(w.Text1, u"3"));
  ASSERT_TRUE(user().navigate(w.DBGrid1, kKeyDown, 0, 1));
  EXPECT_EQ(w.Text1.text(), u"");
  EXPECT_EQ(w.Text2.text(), u"");
  EXPECT_TRUE(w.Text1.hasFocus());
  EXPECT_EQ(w.Label8.Caption(), u"米");
  EXPECT_EQ(w.Label9.Caption(), u"厘米");
  for (DataGrid* g : w.grids()) EXPECT_FALSE(g->AllowUpdate) << g->name();
  // No cell takes an edit any more, in this category or another.
  EXPECT_FALSE(user().editCell(w.DBGrid1, 1, u"x"));
  ASSERT_TRUE(user().click(w.Cmd2));
  EXPECT_FALSE(user().editCell(w.DBGrid2, 1, u"x"));
  EXPECT_EQ(w.DBGrid2.text(), u"1 公顷 = 10000 平方米");
  // The edit boxes still do.
  ASSERT_TRUE(user().click(w.Command2));
  ASSERT_TRUE(user().type(w.Text4, u"!"));
  EXPECT_EQ(w.Data1.value("字段8"), u"!1 公顷 = 10000 平方米");
  // A grid picked while its row is current already changes nothing.
  ASSERT_TRUE(user().type(w.Text1, u"4"));
  ASSERT_TRUE(user().mouseDown(w.DBGrid2, {1, 0, 300, 300}, 1));
  EXPECT_EQ(w.Text1.text(), u"4");
}

TEST_F(ConversionTest, AnEditedFactorIsUsedAtOnceAndKeptAfterTheWindowOrTheProgramCloses) {
  Frm计量换算& w = open();
  ASSERT_TRUE(user().click(w.Cmd4));
  ASSERT_TRUE(user().mouseDown(w.DBGrid4, {1, 0, 300, 300}, 6));  // 1 市斤 = 0.5 千克
  ASSERT_TRUE(user().click(w.Command2));
  p->event([&] { w.Text5.setText(u""); });
  ASSERT_TRUE(user().type(w.Text5, u"0.6"));
  ASSERT_TRUE(user().type(w.Text1, u"10"));
  EXPECT_EQ(w.Text2.text(), u"6");
  // The program ends right after: the edit is in the file.
  p->restart();
  Frm计量换算& again = open();
  ASSERT_TRUE(user().click(again.Cmd4));
  ASSERT_TRUE(user().mouseDown(again.DBGrid4, {1, 0, 300, 300}, 6));
  ASSERT_TRUE(user().type(again.Text1, u"10"));
  EXPECT_EQ(again.Text2.text(), u"6");
  // An edit of the unit name, and the window's exit button right after.
  ASSERT_TRUE(user().click(again.Command2));
  ASSERT_TRUE(user().type(again.Text6, u"公"));
  ASSERT_TRUE(user().click(again.Command18));
  EXPECT_FALSE(p->app().isLoaded<Frm计量换算>());
  Frm计量换算& third = open();
  ASSERT_TRUE(user().click(third.Cmd4));
  ASSERT_TRUE(user().mouseDown(third.DBGrid4, {1, 0, 300, 300}, 6));
  EXPECT_EQ(third.Label9.Caption(), u"公千克");
  EXPECT_EQ(third.Text5.text(), u"0.6");
}

TEST_F(ConversionTest, AListTextEditedInAGridCellBeforeAnyRowChangeIsKept) {
  Frm计量换算& w = open();
  ASSERT_TRUE(user().click(w.Cmd3));
  ASSERT_TRUE(user().editCell(w.DBGrid3, 0, u"1 升 = 1000 毫升 (ml)"));
  EXPECT_EQ(w.DBGrid3.text(), u"1 升 = 1000 毫升 (ml)");
  EXPECT_EQ(w.Text4.text(), u"1 升 = 1000 毫升 (ml)");
  // The last grid never takes cell edits.
  ASSERT_TRUE(user().click(w.Cmd5));
  EXPECT_FALSE(user().editCell(w.DBGrid5, 0, u"x"));
  p->restart();
  Frm计量换算& again = open();
  EXPECT_EQ(again.DBGrid3.cell(0), u"1 升 = 1000 毫升 (ml)");
  EXPECT_EQ(again.DBGrid5.cell(0), u"1 立方米 = 1000 立方分米");
  // A new load starts from the design state: cell edits are on again.
  EXPECT_TRUE(again.DBGrid1.AllowUpdate);
}

TEST_F(ConversionTest, TheInertButtonsDoNothingAndOtherSwapsTheBlankButtonsForTheEmptyBox) {
  Frm计量换算& w = open();
  ASSERT_TRUE(user().type(w.Text1, u"2"));
  for (CommandButton* b : w.blankButtons()) EXPECT_FALSE(user().click(*b)) << b->name();
  for (CommandButton* b : {&w.Command1, &w.Command5, &w.Command6, &w.Command22})
    EXPECT_FALSE(user().click(*b)) << b->name();
  ASSERT_TRUE(user().click(w.Command7));
  EXPECT_EQ(w.Text2.text(), u"2000");
  EXPECT_EQ(w.Command2.Caption, u"修 改(&G)");
  EXPECT_TRUE(w.DBGrid1.Visible);

  ASSERT_TRUE(user().click(w.Command8));
  EXPECT_TRUE(w.Text13.Visible);
  for (CommandButton* b : w.blankButtons()) EXPECT_FALSE(b->Visible);
  ASSERT_TRUE(user().click(w.Command8));
  EXPECT_FALSE(w.Text13.Visible);
  for (CommandButton* b : w.blankButtons()) EXPECT_TRUE(b->Visible);
  // The edit boxes toggle; the design caption comes back without its blank.
  ASSERT_TRUE(user().click(w.Command2));
  ASSERT_TRUE(user().click(w.Command2));
  EXPECT_EQ(w.Command2.Caption, u"修改(&G)");
  EXPECT_FALSE(w.Text3.Visible);
}

TEST_F(ConversionTest, AUnitTableThatCannotBeOpenedIsReportedByNameAndTheWindowStillWorks) {
  {
    std::ofstream damaged(dir.path() / "HSK1.db", std::ios::binary);
    damaged << "this is not a table store, just some bytes of text that fill a page";
  }
  Frm计量换算& w = open();
  ASSERT_EQ(p->dialogs().messages.size(), 1u);
  EXPECT_NE(p->dialogs().messages[0].prompt.find(u"HSK1.db"), Text::npos);
  EXPECT_EQ(w.DBGrid1.Rows(), 0);
  ASSERT_TRUE(user().type(w.Text1, u"5"));
  EXPECT_EQ(w.Text2.text(), u"0");
  ASSERT_TRUE(user().click(w.Cmd2));
  ASSERT_TRUE(user().click(w.Command18));
  EXPECT_FALSE(p->app().isLoaded<Frm计量换算>());
}

// --- the shipped rows -----------------------------------------------------------

// Every unit by its definition in its category's base unit (metre, square
// metre, litre, kilogram, cubic metre).
const std::map<Text, long double>& definitions() {
  static const std::map<Text, long double> units = {
      {u"千米", 1000}, {u"米", 1}, {u"厘米", 0.01L}, {u"毫米", 0.001L}, {u"英尺", 0.3048L},
      {u"英寸", 0.0254L}, {u"英里", 1609.344L}, {u"码", 0.9144L}, {u"海里", 1852}, {u"市尺", 1.0L / 3},
      {u"平方千米", 1e6L}, {u"平方米", 1}, {u"公顷", 1e4L}, {u"亩", 1e4L / 15}, {u"平方英尺", 0.3048L * 0.3048L},
      {u"英亩", 4046.8564224L}, {u"平方英里", 1609.344L * 1609.344L},
      {u"升", 1}, {u"毫升", 0.001L}, {u"美制加仑", 231 * 2.54L * 2.54L * 2.54L / 1000}, {u"英制加仑", 4.54609L},
      {u"美制品脱", 231 * 2.54L * 2.54L * 2.54L / 1000 / 8}, {u"英制品脱", 4.54609L / 8},
      {u"美制液量盎司", 231 * 2.54L * 2.54L * 2.54L / 1000 / 128}, {u"英制液量盎司", 4.54609L / 160},
      {u"石油桶", 42 * 231 * 2.54L * 2.54L * 2.54L / 1000},
      {u"吨", 1000}, {u"千克", 1}, {u"克", 0.001L}, {u"磅", 0.45359237L}, {u"盎司", 0.45359237L / 16},
      {u"市斤", 0.5L}, {u"市两", 0.05L}, {u"短吨", 2000 * 0.45359237L}, {u"长吨", 2240 * 0.45359237L},
      {u"克拉", 0.0002L},
      {u"立方米", 1}, {u"立方分米", 0.001L}, {u"立方厘米", 1e-6L}, {u"立方英尺", 0.3048L * 0.3048L * 0.3048L},
      {u"立方码", 0.9144L * 0.9144L * 0.9144L}, {u"立方英寸", 0.0254L * 0.0254L * 0.0254L},
  };
  return units;
}

TEST(ShippedUnitRows, EveryFactorIsItsUnitsDefinitionToFifteenDigitsAndEveryListTextSaysIt) {
  const SeedRows zh = shippedRows("HSK1.tsv");
  const SeedRows es = shippedRows("HSK2.tsv");
  ASSERT_EQ(zh.fields.size(), 20u);
  EXPECT_EQ(zh.fields, es.fields);
  ASSERT_EQ(zh.rows.size(), 12u);
  ASSERT_EQ(es.rows.size(), 12u);
  const auto& units = definitions();
  for (size_t r = 0; r < zh.rows.size(); ++r) {
    for (int k = 1; k <= 5; ++k) {
      SCOPED_TRACE("row " + std::to_string(r + 1) + ", category " + std::to_string(k));
      const auto& row = zh.rows[r];
      for (int f = 4 * k - 4; f < 4 * k; ++f) {
        ASSERT_TRUE(row[f].has_value());
        ASSERT_TRUE(es.rows[r][f].has_value());
      }
      const Text& from = *row[4 * k - 4];
      const Text& factor = *row[4 * k - 3];
      const Text& to = *row[4 * k - 2];
      ASSERT_TRUE(units.count(from)) << toUtf8(from);
      ASSERT_TRUE(units.count(to)) << toUtf8(to);
      // Exact definitions or their reciprocals, rounded to 15 digits, in
      // plain decimals with ".".
      const auto exact = static_cast<double>(units.at(from) / units.at(to));
      EXPECT_EQ(factor, NumText(exact)) << toUtf8(from) << " -> " << toUtf8(to);
      EXPECT_EQ(factor.find_first_not_of(u"0123456789."), Text::npos) << toUtf8(factor);
      EXPECT_EQ(*row[4 * k - 1], u"1 " + from + u" = " + factor + u" " + to);
      // The Spanish row: the same factor under Spanish names.
      const auto& esRow = es.rows[r];
      EXPECT_EQ(*esRow[4 * k - 3], factor);
      EXPECT_NE(*esRow[4 * k - 4], from);
      EXPECT_EQ(*esRow[4 * k - 1], u"1 " + *esRow[4 * k - 4] + u" = " + factor + u" " + *esRow[4 * k - 2]);
    }
  }
}

}  // namespace
}  // namespace zuvo
