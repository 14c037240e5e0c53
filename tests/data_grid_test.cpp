// Data grids over a table store: the grid follows the current record on the
// program's moves and moves it on the user's picks, RowColChange runs on every
// change of row, cells edited in place are edits of the current record and
// AllowUpdate switches that; bound boxes change their field at run time.

#include <gtest/gtest.h>

#include "platform/grid.h"
#include "store/data_source.h"
#include "support/files.h"
#include "support/test_support.h"

namespace zuvo {
namespace {

using testing::Program;
using testing::TempDir;

TableSchema pairs() {
  TableSchema s;
  s.file = "PAIRS.db";
  s.table = "Sheet1";
  s.fields = {"字段1", "字段2", "字段3"};
  return s;
}

// Two grids on one table, a box bound to the first grid's field and a box
// whose field changes at run time.
class Pairs : public Window {
 public:
  explicit Pairs(Application& app) : Window(app, "Pairs") {
    Width = 9000, Height = 5000;
    Grid1.Move(100, 100, 3000, 3000);
    Grid2.Move(3300, 100, 3000, 3000);
    Name.Move(100, 3300, 2000, 300);
    Other.Move(2300, 3300, 2000, 300);
    Data1.bind(Grid1);
    Data1.bind(Grid2);
    Grid1.DataField = u"字段1";
    Grid2.DataField = u"字段2";
    Grid1.AllowUpdate = true;
    Data1.bind(Name, "字段1");
    Data1.bind(Other, "字段2");
    Name.Change = [this] { log += u"name[" + Name.text() + u"]"; };
    Other.Change = [this] { log += u"other[" + Other.text() + u"]"; };
    Grid1.RowColChange = [this] { log += u"g1:" + NumText(Grid1.Row()) + u"(" + Name.text() + u")"; };
    Grid2.RowColChange = [this] { log += u"g2:" + NumText(Grid2.Row()); };
  }
  DataSource Data1{*this, "Data1", pairs()};
  DataGrid Grid1{*this, "Grid1"}, Grid2{*this, "Grid2"};
  TextBox Name{*this, "Name"}, Other{*this, "Other"};
  Text log;
};

class DataGridTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::unique_ptr<Program> p = std::make_unique<Program>(dir.path());

  // A table of n rows "a1/b1/c1" …, then a fresh start that shows it.
  Pairs& filled(int n) {
    p->event([&] {
      Pairs& w = p->form<Pairs>();
      w.Other.setDataField("字段3");
      for (int i = 1; i <= n; ++i) {
        w.Data1.AddNew();
        w.Name.setText(u"a" + NumText(i));
        w.Other.setText(u"c" + NumText(i));
        w.Other.setDataField("字段2");
        w.Other.setText(u"b" + NumText(i));
        w.Other.setDataField("字段3");
      }
      w.Data1.MoveFirst();
    });
    return restarted();
  }
  Pairs& restarted() {
    p->restart();
    Pairs& w = p->form<Pairs>();
    p->event([&] { w.Show(); });
    w.log.clear();
    return w;
  }
  std::vector<Text> column(const DataGrid& g) {
    std::vector<Text> out;
    for (int64_t r = 0; r < g.Rows(); ++r) out.push_back(g.cell(r));
    return out;
  }
};

TEST_F(DataGridTest, GridsFollowTheProgramsMovesAfterTheBoundBoxesAndRunRowColChange) {
  Pairs& w = filled(3);
  EXPECT_EQ(column(w.Grid1), (std::vector<Text>{u"a1", u"a2", u"a3"}));
  EXPECT_EQ(column(w.Grid2), (std::vector<Text>{u"b1", u"b2", u"b3"}));
  // Opening stood both grids on the first row without a row change.
  EXPECT_EQ(w.Grid1.Row(), 0);
  EXPECT_EQ(w.Grid1.text(), u"a1");
  EXPECT_EQ(w.log, u"");

  p->event([&] { w.Data1.MoveNext(); });
  // The boxes hold the new record when the row handlers run.
  EXPECT_EQ(w.log, u"name[a2]other[b2]g1:1(a2)g2:1");
  EXPECT_EQ(w.Grid2.text(), u"b2");
  w.log.clear();
  p->event([&] {
    w.Data1.MoveLast();
    w.Data1.MoveLast();  // already there: no change of row
  });
  EXPECT_EQ(w.log, u"name[a3]other[b3]g1:2(a3)g2:2");
  w.log.clear();
  // A Seek that finds nothing leaves the grids where they stand.
  p->event([&] {
    w.Data1.setIndex("字段1");
    w.Data1.Seek("=", u"none");
  });
  EXPECT_EQ(w.Grid1.Row(), 2);
  EXPECT_EQ(w.log, u"name[]other[]");
}

TEST_F(DataGridTest, PickingARowMovesTheStoreAndEveryGridOnIt) {
  Pairs& w = filled(3);
  ASSERT_TRUE(p->user().mouseDown(w.Grid2, {1, 0, 50, 400}, 2));
  EXPECT_EQ(w.Name.text(), u"a3");
  EXPECT_EQ(w.Data1.value("字段3"), u"c3");
  EXPECT_EQ(w.Grid1.Row(), 2);
  EXPECT_EQ(w.log, u"name[a3]other[b3]g1:2(a3)g2:2");
  w.log.clear();
  // The current row again: nothing moves, nothing runs.
  ASSERT_TRUE(p->user().navigate(w.Grid1, kKeyEnd, kCtrlMask, 2));
  EXPECT_EQ(w.log, u"");
  ASSERT_TRUE(p->user().navigate(w.Grid1, kKeyUp, 0, 1));
  EXPECT_EQ(w.log, u"name[a2]other[b2]g1:1(a2)g2:1");
}

TEST_F(DataGridTest, ACellEditIsAnEditOfTheCurrentRecordOnlyWhileTheGridAllowsUpdates) {
  Pairs& w = filled(3);
  // Grid2 does not allow updates: nothing changes.
  EXPECT_FALSE(p->user().editCell(w.Grid2, 0, u"x"));
  EXPECT_EQ(w.Grid2.text(), u"b1");
  EXPECT_EQ(w.Other.text(), u"b1");

  ASSERT_TRUE(p->user().editCell(w.Grid1, 0, u"A1"));
  EXPECT_EQ(w.Grid1.text(), u"A1");
  EXPECT_EQ(w.Name.text(), u"A1");  // the bound box shows the record as it now is
  EXPECT_EQ(w.log, u"name[A1]");
  // Editing a cell of another row moves there first; the edit lands on that row.
  ASSERT_TRUE(p->user().editCell(w.Grid1, 1, u"A2"));
  EXPECT_EQ(column(w.Grid1), (std::vector<Text>{u"A1", u"A2", u"a3"}));

  // A row handler that switches editing off refuses the edit that moved it.
  w.Grid1.RowColChange = [&] { w.Grid1.AllowUpdate = false; };
  EXPECT_FALSE(p->user().editCell(w.Grid1, 2, u"A3"));
  EXPECT_EQ(w.Grid1.Row(), 2);
  EXPECT_EQ(w.Grid1.text(), u"a3");

  // Both edits are in the file.
  Pairs& again = restarted();
  EXPECT_EQ(column(again.Grid1), (std::vector<Text>{u"A1", u"A2", u"a3"}));
  EXPECT_EQ(column(again.Grid2), (std::vector<Text>{u"b1", u"b2", u"b3"}));
}

TEST_F(DataGridTest, AnEditStillPendingIsSavedWhenTheWindowOrTheProgramCloses) {
  Pairs& w = filled(2);
  p->event([&] {
    w.Grid1.setText(u"by program");  // the program's writes need no AllowUpdate
    w.Grid1.AllowUpdate = false;
    w.Grid1.setText(u"still by program");
    p->app().unload(w);
  });
  Pairs& again = restarted();
  EXPECT_EQ(again.Grid1.cell(0), u"still by program");
  EXPECT_EQ(again.Name.text(), u"still by program");
  // The user's edit, and the program ends at once.
  ASSERT_TRUE(p->user().editCell(again.Grid1, 0, u"by user"));
  EXPECT_EQ(restarted().Grid1.cell(0), u"by user");
}

TEST_F(DataGridTest, ACellEditReachesTheFileWhenItsEventEnds) {
  Pairs& w = filled(2);
  ASSERT_TRUE(p->user().editCell(w.Grid1, 0, u"edited"));
  // No move and no restart: another program reading the file sees the edit,
  // as it sees an edit typed into a bound box.
  const auto rows = testing::tableRows(dir.path() / "PAIRS.db", "SELECT \"字段1\" FROM \"Sheet1\" ORDER BY rowid", "|");
  EXPECT_EQ(rows, (std::vector<std::string>{"edited", "a2"}));
}

TEST_F(DataGridTest, ABoxBoundAtRunTimeShowsAndWritesItsNewField) {
  Pairs& w = filled(2);
  p->event([&] { w.Other.setDataField("字段3"); });
  EXPECT_EQ(w.Other.DataField(), "字段3");
  EXPECT_EQ(w.Other.text(), u"c1");
  EXPECT_EQ(w.log, u"other[c1]");
  ASSERT_TRUE(p->user().type(w.Other, u"!"));
  EXPECT_EQ(w.Data1.value("字段3"), u"!c1");  // the caret stood at 0 after the rebind
  EXPECT_EQ(w.Data1.value("字段2"), u"b1");
  // The next record shows in the new field.
  p->event([&] { w.Data1.MoveNext(); });
  EXPECT_EQ(w.Other.text(), u"c2");
  // Bound to nothing, the box keeps its text and writes nowhere.
  p->event([&] {
    w.Other.setDataField("");
    w.Other.setText(u"loose");
    w.Data1.MoveFirst();
  });
  EXPECT_EQ(w.Other.text(), u"loose");
  EXPECT_EQ(w.Data1.value("字段3"), u"!c1");
  // A box with no table keeps only the name.
  TextBox alone(w, "Alone");
  alone.setText(u"own");
  alone.setDataField("ZD12");
  EXPECT_EQ(alone.DataField(), "ZD12");
  EXPECT_EQ(alone.text(), u"own");
}

}  // namespace
}  // namespace zuvo
