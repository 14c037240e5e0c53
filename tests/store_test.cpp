// The table store: seeks, moves, bound boxes, CommitOnMove, grid mirrors,
// durability and damaged files.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>

#include "platform/grid.h"
#include "store/data_source.h"
#include "store/seed.h"
#include "store/tables.h"
#include "support/test_support.h"

namespace zuvo {
namespace {

using testing::Program;
using testing::TempDir;

// Two parallel tables with their bound boxes and a grid, as the main window
// holds its sentence tables.
class Sentences : public Window {
 public:
  explicit Sentences(Application& app) : Window(app, "Sentences") {
    Data1.bind(Text23, "ID");
    Data1.bind(Text2, "ZD3");
    Data1.bind(Text3, "ZD4");
    Data2.bind(Text24, "ID");
    Data2.bind(Text14, "Zd1");
    Data2.bind(MSFlexGrid1);
    Text2.Change = [this] { log += u"2[" + Text2.text() + u"]"; };
    Text3.Change = [this] { log += u"3[" + Text3.text() + u"]"; };
    Text23.Change = [this] {
      log += u"23[" + Text23.text() + u"]";
      Data2.setIndex("ID");
      Data2.Seek("=", Text23.text());
    };
  }
  DataSource Data1{*this, "Data1", tables::sentences()};
  DataSource Data2{*this, "Data2", tables::sentenceSearch()};
  TextBox Text23{*this, "Text23"}, Text2{*this, "Text2"}, Text3{*this, "Text3"};
  TextBox Text24{*this, "Text24"}, Text14{*this, "Text14"};
  FlexGrid MSFlexGrid1{*this, "MSFlexGrid1"};
  Text log;

  // AddNew, fill, MoveLast on both tables, as a sentence pair is saved.
  void addPair(TextView zh, TextView es) {
    Data1.AddNew();
    Text2.setText(zh);
    Text3.setText(es);
    Data1.MoveLast();
    Data2.AddNew();
    Text14.setText(Text(zh) + u"/" + Text(es));
    Data2.MoveLast();
  }
};

class Words : public Window {
 public:
  explicit Words(Application& app) : Window(app, "Words") {
    Data6.bind(Text51, "ZD1");
    Data6.bind(Text112, "ZD2");
  }
  DataSource Data6{*this, "Data6", tables::words()};
  TextBox Text51{*this, "Text51"}, Text112{*this, "Text112"};
};

class StoreTest : public ::testing::Test {
 protected:
  TempDir dir;
  Program p{dir.path()};
  Sentences& s() { return p.form<Sentences>(); }
  Words& w() { return p.form<Words>(); }

  void fill(int n) {
    p.event([&] {
      for (int i = 1; i <= n; ++i) s().addPair(u"句" + NumText(i), u"frase " + NumText(i));
    });
  }
  void addWords(std::initializer_list<std::pair<TextView, TextView>> rows) {
    p.event([&] {
      for (auto [k, v] : rows) {
        w().Data6.AddNew();
        if (k.empty()) w().Text51.setText(u"-");  // a box must change to write "" into its field
        w().Text51.setText(k);
        w().Text112.setText(v);
      }
      w().Data6.MoveFirst();
    });
  }
  // Rows of a table file as a second reader sees them (another process).
  std::vector<std::string> rowsOnDisk(const std::string& file, const std::string& column) {
    sqlite3* db = nullptr;
    std::vector<std::string> out;
    EXPECT_EQ(sqlite3_open_v2((dir.path() / file).c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    const std::string sql = "SELECT rowid, \"" + column + "\" FROM \"表1\" ORDER BY rowid";
    EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr), SQLITE_OK);
    while (sqlite3_step(st) == SQLITE_ROW) {
      const auto* t = sqlite3_column_text(st, 1);
      out.push_back(std::to_string(sqlite3_column_int64(st, 0)) + ":" + (t ? reinterpret_cast<const char*>(t) : "NULL"));
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
  }
};

TEST_F(StoreTest, AnEmptyTableOpensBlankAndNeverFailsOnMovesOrSeeks) {
  EXPECT_EQ(s().Text2.text(), u"");
  EXPECT_TRUE(s().Data1.atBOF());
  EXPECT_TRUE(s().Data1.atEOF());
  s().Data1.setIndex("ID");
  s().Data1.Seek("=", u"1");
  EXPECT_TRUE(s().Data1.NoMatch());
  s().Data1.MoveNext();
  s().Data1.MovePrevious();
  s().Data1.MoveLast();
  EXPECT_FALSE(s().Data1.hasCurrent());
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "XHKA.db"));
}

TEST_F(StoreTest, OpeningStandsOnTheFirstRecordAndRunsTheBoxesChangeHandlers) {
  fill(3);
  p.restart();
  EXPECT_EQ(s().Text2.text(), u"句1");
  EXPECT_EQ(s().Text3.text(), u"frase 1");
  EXPECT_EQ(s().Text14.text(), u"句1/frase 1");  // the partner followed through Text23_Change
  EXPECT_EQ(s().log, u"23[1]2[句1]3[frase 1]");
}

TEST_F(StoreTest, AddNewBlanksTheBoxesAndTheSaveGivesTheNextIdToBothPartners) {
  fill(2);
  p.event([&] {
    s().Data1.AddNew();
    EXPECT_EQ(s().Text23.text(), u"");  // the ID comes with the save
    EXPECT_EQ(s().Text2.text(), u"");
    s().Text2.setText(u"新");
    s().Data1.MoveLast();
    EXPECT_EQ(s().Text23.text(), u"3");
    EXPECT_EQ(s().Text2.text(), u"新");
  });
  EXPECT_EQ(s().Text24.text(), u"");  // Text23_Change sought the partner, which has no ID 3 yet
  EXPECT_EQ(s().Text14.text(), u"");
  p.event([&] {
    s().Data2.AddNew();
    s().Text14.setText(u"新/nuevo");
    s().Data2.MoveLast();
  });
  EXPECT_EQ(s().Text24.text(), u"3");
}

TEST_F(StoreTest, ABegunRecordNothingWasWrittenIntoIsDroppedSoIdsHaveNoGaps) {
  fill(1);
  p.event([&] {
    s().Data1.AddNew();
    s().Data1.AddNew();
    s().Text2.setText(u"二");
    s().Data1.MoveLast();
  });
  EXPECT_EQ(s().Text23.text(), u"2");
  EXPECT_EQ(rowsOnDisk("XHKA.db", "ZD3"), (std::vector<std::string>{"1:句1", "2:二"}));
}

TEST_F(StoreTest, SeekFindsTheFirstInIndexOrderByCharacterCode) {
  addWords({{u"casa", u"primera"}, {u"Casa", u"mayúscula"}, {u"casa", u"segunda"}, {u"", u"vacía"}});
  struct Case {
    const char16_t* key;
    const char16_t* found;  // nullptr: NoMatch
  };
  const Case cases[] = {
      {u"casa", u"primera"},  // twice on the index: the first
      {u"Casa", u"mayúscula"},  // no case folding
      {u"CASA", nullptr},
      {u"", u"vacía"},  // a field written "" is found
      {u"cas", nullptr},
  };
  w().Data6.setIndex("ZD1");
  for (const auto& c : cases) {
    SCOPED_TRACE(toUtf8(c.key));
    w().Data6.Seek("=", c.key);
    EXPECT_EQ(w().Data6.NoMatch(), c.found == nullptr);
    EXPECT_EQ(w().Text112.text(), c.found ? Text(c.found) : Text());
  }
}

TEST_F(StoreTest, AFieldNeverWrittenMatchesNoSeekAndReadsBlank) {
  addWords({{u"solo", u"x"}});
  w().Data6.setIndex("ZD3");
  w().Data6.Seek("=", u"");
  EXPECT_TRUE(w().Data6.NoMatch());
  w().Data6.setIndex("ZD1");
  w().Data6.Seek("=", u"solo");
  EXPECT_EQ(w().Data6.value("ZD3"), u"");
  EXPECT_EQ(rowsOnDisk("CKUA.db", "ZD3"), (std::vector<std::string>{"1:NULL"}));
}

TEST_F(StoreTest, SeekOnIdTakesTheDecimalTextOfTheId) {
  fill(15);
  s().Data1.setIndex("ID");
  for (auto [key, zh] : std::vector<std::pair<Text, Text>>{{u"12", u"句12"}, {u"1", u"句1"}, {u"16", u""}, {u"abc", u""}, {u"", u""}}) {
    s().Data1.Seek("=", key);
    EXPECT_EQ(s().Data1.NoMatch(), zh.empty()) << toUtf8(key);
    EXPECT_EQ(s().Text2.text(), zh);
  }
}

TEST_F(StoreTest, MovesStepInTheOrderOfTheIndexLastSet) {
  addWords({{u"b", u"1"}, {u"a", u"2"}, {u"c", u"3"}, {u"a", u"4"}});
  auto walk = [&] {
    Text seen;
    for (w().Data6.MoveFirst(); !w().Data6.atEOF(); w().Data6.MoveNext()) seen += w().Text112.text();
    return seen;
  };
  EXPECT_EQ(walk(), u"1234");  // stored order before any index
  w().Data6.setIndex("ZD1");
  EXPECT_EQ(walk(), u"2413");
  // After a Seek the neighbours are those of the index order.
  w().Data6.Seek("=", u"b");
  w().Data6.MovePrevious();
  EXPECT_EQ(w().Text112.text(), u"4");
  w().Data6.MoveLast();
  EXPECT_EQ(w().Text112.text(), u"3");
}

TEST_F(StoreTest, MovesPastEitherEndStayThereAndComeBack) {
  fill(2);
  auto& d = s().Data1;
  d.MoveFirst();
  d.MovePrevious();
  EXPECT_TRUE(d.atBOF());
  EXPECT_EQ(s().Text2.text(), u"");  // no current record: blank
  d.MovePrevious();
  EXPECT_TRUE(d.atBOF());
  d.MoveNext();
  EXPECT_EQ(s().Text2.text(), u"句1");
  d.MoveLast();
  d.MoveNext();
  EXPECT_TRUE(d.atEOF());
  d.MoveNext();
  EXPECT_TRUE(d.atEOF());
  d.MovePrevious();
  EXPECT_EQ(s().Text2.text(), u"句2");
  // After a Seek that found nothing, MoveNext starts again at the first.
  d.setIndex("ID");
  d.Seek("=", u"9");
  d.MoveNext();
  EXPECT_EQ(s().Text2.text(), u"句1");
}

TEST_F(StoreTest, AnEditIsSavedWhenTheStoreNextMovesAndNotBefore) {
  fill(2);
  p.event([&] {
    s().Data1.MoveFirst();
    s().Text2.setText(u"改");
  });
  EXPECT_EQ(s().MSFlexGrid1.Rows(), 2);
  p.event([&] {
    s().Data2.MoveFirst();
    s().Text14.setText(u"改/cambiado");
    EXPECT_EQ(s().MSFlexGrid1.TextMatrix(0, 1), u"句1/frase 1");
    s().Data2.MoveNext();
    EXPECT_EQ(s().MSFlexGrid1.TextMatrix(0, 1), u"改/cambiado");
  });
  p.event([&] {
    s().Data1.MoveNext();
    s().Data1.MoveFirst();
  });
  EXPECT_EQ(s().Text2.text(), u"改");
}

TEST_F(StoreTest, AWalkThatEditsEveryRecordItPassesStillReadsAheadAndKeepsItsOrder) {
  fill(600);
  DataSource& d = s().Data1;
  p.event([&] {
    d.setIndex("ID");
    d.MoveFirst();
    const int64_t before = d.queries();
    int seen = 0;
    for (; !d.atEOF(); d.MoveNext(), ++seen) s().Text3.setText(s().Text3.text() + u"!");
    EXPECT_EQ(seen, 600);
    // One query per edit and a read-ahead every few hundred records.
    EXPECT_LT(d.queries() - before, 600 + 20);
  });
  EXPECT_EQ(rowsOnDisk("XHKA.db", "ZD4").back(), "600:frase 600!");
}

TEST_F(StoreTest, AWriteIntoABoundBoxWithNoCurrentRecordEditsNothing) {
  fill(1);
  p.event([&] {
    s().Data1.setIndex("ID");
    s().Data1.Seek("=", u"7");
    s().Text2.setText(u"lost?");
    s().Data1.MoveFirst();
  });
  EXPECT_EQ(s().Text2.text(), u"句1");
  EXPECT_EQ(rowsOnDisk("XHKA.db", "ZD3"), (std::vector<std::string>{"1:句1"}));
}

TEST_F(StoreTest, AMoveToARecordWithTheSameFieldRunsNoChangeForThatBox) {
  p.event([&] {
    s().addPair(u"同", u"uno");
    s().addPair(u"同", u"dos");
  });
  s().Data1.MoveFirst();
  s().log.clear();
  s().Data1.MoveNext();
  EXPECT_EQ(s().log, u"23[2]3[dos]");
}

TEST_F(StoreTest, GridRowsStandForIdsAndFollowRecordsSavedDuringTheRun) {
  fill(3);
  EXPECT_EQ(s().MSFlexGrid1.Rows(), 3);
  EXPECT_EQ(s().MSFlexGrid1.TextMatrix(0, 0), u"1");
  EXPECT_EQ(s().MSFlexGrid1.TextMatrix(0, 1), u"句1/frase 1");
  fill(1);
  EXPECT_EQ(s().MSFlexGrid1.Rows(), 4);
  EXPECT_EQ(s().MSFlexGrid1.TextMatrix(3, 1), u"句1/frase 1");
  EXPECT_EQ(s().MSFlexGrid1.TextMatrix(3, 0), u"4");
}

TEST_F(StoreTest, ASeekOrMoveAlreadyInPlaceCostsNoQueryAndRefreshesNothing) {
  fill(3);
  auto& d = s().Data1;
  d.MoveFirst();
  d.setIndex("ID");
  d.Seek("=", u"2");
  d.Seek("=", u"2");
  d.MoveFirst();
  const int64_t before = d.queries();
  s().log.clear();
  for (int i = 0; i < 100; ++i) d.MoveFirst();
  d.Seek("=", u"2");
  d.Seek("=", u"2");
  EXPECT_EQ(d.queries(), before + 1);  // only the move onto record 2 reads
  EXPECT_EQ(s().log, u"23[2]2[句2]3[frase 2]");
}

TEST_F(StoreTest, APendingRecordIsSavedWhenTheProgramEnds) {
  fill(1);
  p.event([&] {
    s().Data1.AddNew();
    s().Text2.setText(u"pendiente");  // no move: pending
  });
  p.event([&] { p.app().End(); });
  p.restart();
  s().Data1.MoveLast();
  EXPECT_EQ(s().Text2.text(), u"pendiente");
  EXPECT_EQ(s().Text23.text(), u"2");
}

TEST_F(StoreTest, WhatAnEventSavedIsOnDiskBeforeTheNextEventEvenIfStillPending) {
  p.event([&] {
    s().addPair(u"一", u"uno");
    s().Data1.AddNew();
    s().Text2.setText(u"二");
  });
  // Another reader of the file (a crash right now) finds both.
  EXPECT_EQ(rowsOnDisk("XHKA.db", "ZD3"), (std::vector<std::string>{"1:一", "2:二"}));
  // Writing the begun record on afterwards still makes one record.
  p.event([&] {
    s().Text3.setText(u"dos");
    s().Data1.MoveLast();
  });
  EXPECT_EQ(rowsOnDisk("XHKA.db", "ZD4"), (std::vector<std::string>{"1:uno", "2:dos"}));
  EXPECT_EQ(s().MSFlexGrid1.Rows(), 1);
}

TEST_F(StoreTest, AnEventThatFailsPartWayLandsNothing) {
  fill(1);
  p.event([&] {
    for (int i = 0; i < 5; ++i) s().addPair(u"批", u"lote");
    throw std::runtime_error("disk full");
  });
  ASSERT_EQ(p.dialogs().messages.size(), 1u);
  EXPECT_EQ(p.dialogs().messages[0].prompt, u"disk full");
  EXPECT_EQ(rowsOnDisk("XHKA.db", "ZD3"), (std::vector<std::string>{"1:句1"}));
  s().Data1.MoveLast();
  EXPECT_EQ(s().Text23.text(), u"1");
}

TEST_F(StoreTest, ADamagedFileIsReportedByNameAndLeftUntouched) {
  std::filesystem::create_directories(dir.path());
  { std::ofstream(dir.path() / "XHKA.db") << "not a database at all"; }
  p.restart();
  s();  // loads the window, opening both stores
  ASSERT_EQ(p.dialogs().messages.size(), 1u);
  EXPECT_NE(p.dialogs().messages[0].prompt.find(fromUtf8((dir.path() / "XHKA.db").string())), Text::npos);
  EXPECT_EQ(p.dialogs().messages[0].title, u" ZORVEK");
  p.event([&] { s().addPair(u"x", u"y"); });  // nothing is written into it
  std::ifstream in(dir.path() / "XHKA.db");
  std::string content((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(content, "not a database at all");
  EXPECT_EQ(s().Text14.text(), u"x/y");  // the sound store works on
}

TEST_F(StoreTest, AFileMissingAFieldOrIndexIsReported) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((dir.path() / "CKUA.db").c_str(), &db), SQLITE_OK);
  sqlite3_exec(db, "CREATE TABLE \"表1\" (ID INTEGER PRIMARY KEY, ZD1 TEXT)", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  w();
  ASSERT_EQ(p.dialogs().messages.size(), 1u);
  EXPECT_NE(p.dialogs().messages[0].prompt.find(u"CKUA.db"), Text::npos);
  EXPECT_NE(p.dialogs().messages[0].prompt.find(u"ZD2"), Text::npos);
}

TEST_F(StoreTest, TwoProgramsOnOneFolderSeeEachOthersSavedRecords) {
  fill(2);
  Program other(dir.path());
  Sentences& theirs = other.form<Sentences>();
  theirs.Data1.setIndex("ID");
  theirs.Data1.Seek("=", u"3");
  EXPECT_TRUE(theirs.Data1.NoMatch());
  fill(1);  // saved by this program
  other.event([&] { theirs.Data1.Seek("=", u"3"); });
  EXPECT_FALSE(theirs.Data1.NoMatch());
  EXPECT_EQ(theirs.Text2.text(), u"句1");
}

TEST_F(StoreTest, ASaveThatFailsAtTheEndOfAnEventIsReportedAndTheProgramGoesOn) {
  fill(1);
  // Another program holds the file's write lock for longer than we wait.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((dir.path() / "XHKA.db").c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  EXPECT_TRUE(p.event([&] {
    s().Data1.MoveFirst();
    s().Text2.setText(u"改");
  }));
  ASSERT_EQ(p.dialogs().messages.size(), 1u);
  EXPECT_NE(p.dialogs().messages[0].prompt.find(u"XHKA.db"), Text::npos);
  EXPECT_EQ(s().Text2.text(), u"句1");  // what could not be saved is not shown as saved
  sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  p.event([&] {
    s().Text2.setText(u"改");
    s().Data1.MoveLast();
  });
  EXPECT_EQ(rowsOnDisk("XHKA.db", "ZD3"), (std::vector<std::string>{"1:改"}));
}

TEST(SeedTest, ShippedRowsParseWithNullsLineBreaksAndEscapes) {
  const auto seed = parseSeed("ZD1\tZD2\tZD3\n1\tuno\t\n\t\tx\\ny\\\\z\n\n");
  ASSERT_EQ(seed.fields, (std::vector<std::string>{"ZD1", "ZD2", "ZD3"}));
  ASSERT_EQ(seed.rows.size(), 2u);
  EXPECT_EQ(seed.rows[0][1], std::optional<Text>(u"uno"));
  EXPECT_EQ(seed.rows[0][2], std::nullopt);
  EXPECT_EQ(seed.rows[1][0], std::nullopt);
  EXPECT_EQ(seed.rows[1][2], std::optional<Text>(u"x\r\ny\\z"));
}

}  // namespace
}  // namespace zuvo
