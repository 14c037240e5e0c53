// The usage-help window: the shipped help lines in a read-only grid, the
// close button that resets the main window's help button, a fresh start on
// every load, and a damaged help table reported by the store.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "store/seed.h"
#include "support/dictionary.h"
#include "tools/usage_help.h"

namespace zuvo {
namespace {

using namespace zuvo::testing;

std::vector<Text> shippedHelpLines() {
  std::ifstream in(shippedDataDir() / "SMK0.tsv", std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  std::vector<Text> lines;
  for (const auto& row : parseSeed(ss.str()).rows) lines.push_back(row.at(0).value_or(Text()));
  return lines;
}

std::vector<Text> gridLines(const DataGrid& g) {
  std::vector<Text> out;
  for (int64_t r = 0; r < g.Rows(); ++r) out.push_back(g.cell(r));
  return out;
}

class UsageHelpTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::unique_ptr<Program> p = std::make_unique<Program>(dir.path());
  FrmLexaro& main = startMainWindow(*p);

  // Opens the window as the main window's help button does.
  Frm说明1& open() {
    Frm说明1* w = nullptr;
    p->event([&] {
      main.Command15.Caption = u"关闭";
      w = &p->form<Frm说明1>();
      w->Show();
    });
    return *w;
  }
};

TEST_F(UsageHelpTest, ShowsTheShippedHelpLinesInStoredOrder) {
  const auto shipped = shippedHelpLines();
  ASSERT_GE(shipped.size(), 15u);
  Frm说明1& w = open();
  EXPECT_EQ(w.Caption, u" 使用说明");
  EXPECT_EQ(w.Command1.Caption, u"关  闭(&X)");
  EXPECT_EQ(w.DBGrid1.DataField, u"字段1");
  EXPECT_EQ(gridLines(w.DBGrid1), shipped);
  EXPECT_EQ(w.DBGrid1.Row(), 0);
  EXPECT_TRUE(p->dialogs().messages.empty());
}

TEST_F(UsageHelpTest, CloseButtonResetsTheMainHelpButtonAndUnloadsTheWindow) {
  Frm说明1& w = open();
  ASSERT_TRUE(p->user().click(w.Command1));
  EXPECT_FALSE(p->app().isLoaded<Frm说明1>());
  EXPECT_EQ(main.Command15.Caption, u"说明");
  EXPECT_TRUE(main.Visible());
}

TEST_F(UsageHelpTest, ALaterAccessLoadsTheWindowAfreshFromItsFirstRow) {
  Frm说明1& first = open();
  ASSERT_TRUE(p->user().mouseDown(first.DBGrid1, {1, 0, 400, 900}, 5));
  ASSERT_EQ(first.DBGrid1.Row(), 5);
  ASSERT_TRUE(p->user().click(first.Command1));
  ASSERT_FALSE(p->app().isLoaded<Frm说明1>());

  Frm说明1& again = p->form<Frm说明1>();
  EXPECT_FALSE(again.Visible());
  EXPECT_EQ(again.DBGrid1.Row(), 0);
  EXPECT_EQ(gridLines(again.DBGrid1), shippedHelpLines());
}

TEST_F(UsageHelpTest, TypingIntoTheGridChangesNothingInTheHelpTable) {
  Frm说明1& w = open();
  EXPECT_FALSE(w.DBGrid1.AllowUpdate);
  ASSERT_TRUE(p->user().mouseDown(w.DBGrid1, {1, 0, 400, 300}, 1));
  ASSERT_TRUE(p->user().typeKeys(w.DBGrid1, u"xyz"));
  ASSERT_TRUE(p->user().pressKey(w.DBGrid1, kKeyDelete));
  ASSERT_TRUE(p->user().pressKey(w.DBGrid1, kKeyBack));
  EXPECT_TRUE(w.DBGrid1.hasFocus());
  EXPECT_EQ(gridLines(w.DBGrid1), shippedHelpLines());
  // Nor in the file: a new run reads the same lines.
  p->restart();
  startMainWindow(*p);
  EXPECT_EQ(gridLines(p->form<Frm说明1>().DBGrid1), shippedHelpLines());
  EXPECT_TRUE(p->dialogs().messages.empty());
}

TEST_F(UsageHelpTest, ADamagedHelpTableIsReportedNamingTheFileAndLeavesTheGridEmpty) {
  {
    std::ofstream damaged(dir.path() / "SMK0.db", std::ios::binary);
    damaged << "this is not a table store, just some bytes of text that fill a page";
  }
  Frm说明1& w = open();
  ASSERT_EQ(p->dialogs().messages.size(), 1u);
  EXPECT_NE(p->dialogs().messages[0].prompt.find(u"SMK0.db"), Text::npos);
  EXPECT_EQ(w.DBGrid1.Rows(), 0);
  // The window still works: its close button closes it.
  ASSERT_TRUE(p->user().click(w.Command1));
  EXPECT_FALSE(p->app().isLoaded<Frm说明1>());
  EXPECT_EQ(main.Command15.Caption, u"说明");
}

}  // namespace
}  // namespace zuvo
