// The table store: seeks, moves, bound boxes, CommitOnMove, grid mirrors,
// durability and damaged files.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <thread>

#include "platform/grid.h"
#include "store/batch_transaction.h"
#include "store/data_source.h"
#include "store/seed.h"
#include "store/tables.h"
#include "app/FrmLexaro.h"
#include "numbers/FrmSZ.h"
#include "support/dictionary.h"
#include "support/test_support.h"
#include "support/word_files.h"
#include "tools/usage_help.h"

namespace zuvo {
namespace {

using testing::Program;
using testing::readBytes;
using testing::TempDir;
using testing::leafPage;

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
  StoreGroup pair{&Data1, &Data2};
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

// A verb's three tables, saved together.
class Verbs : public Window {
 public:
  explicit Verbs(Application& app) : Window(app, "Verbs") {
    Data3.bind(Text92, "ZD1");
    Data4.bind(Text63, "ZD1");
    Data5.bind(Text87, "ZD3");
  }
  DataSource Data3{*this, "Data3", tables::verbs()};
  DataSource Data4{*this, "Data4", tables::verbForms()};
  DataSource Data5{*this, "Data5", tables::verbSearch()};
  StoreGroup triple{&Data3, &Data4, &Data5};
  TextBox Text92{*this, "Text92"}, Text63{*this, "Text63"}, Text87{*this, "Text87"};

  void addVerb(TextView infinitive) {
    for (auto [store, box] : {std::pair{&Data3, &Text92}, {&Data4, &Text63}, {&Data5, &Text87}}) {
      store->AddNew();
      box->setText(infinitive);
      store->MoveLast();
    }
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
  Verbs& v() { return p.form<Verbs>(); }

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
  // The partner holds ID 3 at once, empty until its own AddNew fills it.
  EXPECT_EQ(rowsOnDisk("XHKB.db", "Zd1").back(), "3:NULL");
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

// A record begun in the tables of a group is stored in all of them under
// one ID, whichever of them had fields written, or in none.
TEST_F(StoreTest, ARecordBegunInAGroupIsStoredInEveryTableOrInNone) {
  fill(1);
  p.event([&] { v().addVerb(u"ser"); });
  p.event([&] {
    // Only the search text written.
    s().Data1.AddNew();
    s().Data2.AddNew();
    s().Text14.setText(u"/");
    // Nothing written at all: stored nowhere.
    s().Data1.AddNew();
    s().Data2.AddNew();
    s().Data1.AddNew();
    s().Data2.AddNew();
    s().Text2.setText(u"三");
    s().Text14.setText(u"三/");
    s().Data1.MoveLast();
    s().Data2.MoveLast();
    // Only the last of a verb's three tables written.
    v().Data3.AddNew();
    v().Data4.AddNew();
    v().Data5.AddNew();
    v().Text87.setText(u"estar");
    v().Data5.MoveLast();
  });
  EXPECT_EQ(rowsOnDisk("XHKA.db", "ZD3"), (std::vector<std::string>{"1:句1", "2:NULL", "3:三"}));
  EXPECT_EQ(rowsOnDisk("XHKB.db", "Zd1"), (std::vector<std::string>{"1:句1/frase 1", "2:/", "3:三/"}));
  EXPECT_EQ(rowsOnDisk("DCK1.db", "ZD1"), (std::vector<std::string>{"1:ser", "2:NULL"}));
  EXPECT_EQ(rowsOnDisk("DCK2.db", "ZD1"), (std::vector<std::string>{"1:ser", "2:NULL"}));
  EXPECT_EQ(rowsOnDisk("DCK3.db", "ZD3"), (std::vector<std::string>{"1:ser", "2:estar"}));
  // A pair saved afterwards has one ID in both tables, also on the grid.
  p.event([&] { s().addPair(u"四", u"cuatro"); });
  EXPECT_EQ(s().Text23.text(), u"4");
  EXPECT_EQ(s().Text24.text(), u"4");
  EXPECT_EQ(s().MSFlexGrid1.TextMatrix(3, 1), u"四/cuatro");
  // A failed event stores no part of a record.
  p.event([&] {
    s().Data1.AddNew();
    s().Text2.setText(u"五");
    s().Data1.MoveLast();
    throw std::runtime_error("refused");
  });
  EXPECT_EQ(rowsOnDisk("XHKB.db", "Zd1").size(), 4u);
  EXPECT_EQ(rowsOnDisk("XHKA.db", "ZD3").size(), 4u);
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

// Rows a batch holds in memory answer moves, Seeks on "ID", edits and the
// grid as if they were in the file after its rows; they reach the file at
// the commit as they stand then, and a rollback drops them.
TEST_F(StoreTest, RowsABatchHoldsAnswerAsRowsOfTheFileUntilTheCommit) {
  fill(3);
  auto& d = s().Data1;
  auto walk = [&](bool forward) {
    Text seen;
    if (forward)
      for (d.MoveFirst(); !d.atEOF(); d.MoveNext()) seen += s().Text2.text();
    else
      for (d.MoveLast(); !d.atBOF(); d.MovePrevious()) seen += s().Text2.text();
    return seen;
  };
  p.event([&] {
    BatchTransaction batch{&s().Data1, &s().Data2};
    batch.holdNewRows(s().Data1, size_t{1} << 20);
    batch.holdNewRows(s().Data2, size_t{1} << 20);
    s().addPair(u"句4", u"frase 4");
    s().addPair(u"句5", u"frase 5");
    EXPECT_EQ(walk(true), u"句1句2句3句4句5");
    EXPECT_EQ(walk(false), u"句5句4句3句2句1");
    d.setIndex("ID");
    d.Seek("=", u"4");
    EXPECT_EQ(s().Text3.text(), u"frase 4");
    EXPECT_EQ(s().Text24.text(), u"4");  // the partner followed onto its held row
    s().Text3.setText(u"frase cuatro");
    d.Seek("=", u"2");
    d.Seek("=", u"4");
    EXPECT_EQ(s().Text3.text(), u"frase cuatro");
    d.setIndex("");
    // The grid reads the file: the held rows go there first, and holding
    // goes on after them.
    EXPECT_EQ(s().MSFlexGrid1.Rows(), 5);
    EXPECT_EQ(s().MSFlexGrid1.TextMatrix(4, 1), u"句5/frase 5");
    s().addPair(u"句6", u"frase 6");
    EXPECT_EQ(walk(false), u"句6句5句4句3句2句1");
    batch.commit();
  });
  EXPECT_EQ(rowsOnDisk("XHKA.db", "ZD4"), (std::vector<std::string>{"1:frase 1", "2:frase 2", "3:frase 3",
                                                                     "4:frase cuatro", "5:frase 5", "6:frase 6"}));
  EXPECT_EQ(rowsOnDisk("XHKB.db", "Zd1").back(), "6:句6/frase 6");

  p.event([&] {
    BatchTransaction batch{&s().Data1, &s().Data2};
    batch.holdNewRows(s().Data1, size_t{1} << 20);
    batch.holdNewRows(s().Data2, size_t{1} << 20);
    s().addPair(u"句7", u"frase 7");
    EXPECT_EQ(walk(true), u"句1句2句3句4句5句6句7");
    batch.rollback();
    EXPECT_EQ(walk(true), u"句1句2句3句4句5句6");
  });
  EXPECT_EQ(rowsOnDisk("XHKA.db", "ZD3").size(), 6u);
  fill(1);  // the next row takes the ID the dropped one had
  EXPECT_EQ(rowsOnDisk("XHKA.db", "ZD3").back(), "7:句1");
}

// A Seek on a field the held rows are not kept by is made on the file, the
// held rows written there first; the Seek's memo of keys outlives that.
TEST_F(StoreTest, ASeekOnAnotherFieldFindsHeldRowsThroughTheFile) {
  fill(2);
  auto& d = s().Data1;
  p.event([&] {
    d.setIndex("ZD3");
    d.Seek("=", u"句1");  // the memo holds a key
    d.setIndex("");
    BatchTransaction batch{&s().Data1, &s().Data2};
    batch.holdNewRows(s().Data1, size_t{1} << 20);
    batch.holdNewRows(s().Data2, size_t{1} << 20);
    s().addPair(u"句3", u"frase 3");
    s().addPair(u"句4", u"frase 4");
    d.setIndex("ZD3");
    d.Seek("=", u"句4");
    EXPECT_EQ(s().Text3.text(), u"frase 4");
    d.Seek("=", u"句3");
    EXPECT_EQ(s().Text3.text(), u"frase 3");
    d.Seek("=", u"句4");  // from the memo
    EXPECT_EQ(s().Text3.text(), u"frase 4");
    d.setIndex("");
    batch.commit();
  });
  EXPECT_EQ(rowsOnDisk("XHKA.db", "ZD4").back(), "4:frase 4");
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
  // Its partner holds the record too, empty, as it was on disk after the
  // first event.
  EXPECT_EQ(rowsOnDisk("XHKB.db", "Zd1"), (std::vector<std::string>{"1:一/uno", "2:NULL"}));
  EXPECT_EQ(s().MSFlexGrid1.Rows(), 2);
}

TEST_F(StoreTest, AnEventThatFailsPartWayLandsNothing) {
  fill(1);
  p.event([&] {
    for (int i = 0; i < 5; ++i) s().addPair(u"批", u"lote");
    throw std::runtime_error("disk full");
  });
  ASSERT_EQ(p.dialogs().messages.size(), 1u);
  // Told in Chinese, the failure's own words as a detail.
  const Text& told = p.dialogs().messages[0].prompt;
  EXPECT_EQ(told.rfind(u"程序出错", 0), 0u) << toUtf8(told);
  EXPECT_NE(told.find(u"（disk full）"), Text::npos) << toUtf8(told);
  EXPECT_EQ(rowsOnDisk("XHKA.db", "ZD3"), (std::vector<std::string>{"1:句1"}));
  s().Data1.MoveLast();
  EXPECT_EQ(s().Text23.text(), u"1");
}

TEST_F(StoreTest, ADamagedFileIsReportedByNameLeftUntouchedAndASaveIntoItsGroupIsRefused) {
  std::filesystem::create_directories(dir.path());
  { std::ofstream(dir.path() / "XHKA.db") << "not a database at all"; }
  p.restart();
  s();  // loads the window, opening both stores
  ASSERT_EQ(p.dialogs().messages.size(), 1u);
  EXPECT_EQ(p.dialogs().messages[0].prompt.rfind(u"数据文件出错：" + fromUtf8((dir.path() / "XHKA.db").string()) + u"\r\n", 0), 0u);
  EXPECT_EQ(p.dialogs().messages[0].title, u" ZORVEK");
  // The save is refused at once, with a message, in both tables.
  p.event([&] { s().addPair(u"x", u"y"); });
  ASSERT_EQ(p.dialogs().messages.size(), 2u);
  EXPECT_EQ(p.dialogs().messages[1].prompt.substr(0, 5), u"无法保存：");
  EXPECT_EQ(rowsOnDisk("XHKB.db", "Zd1"), std::vector<std::string>{});
  EXPECT_EQ(readBytes(dir.path() / "XHKA.db"), "not a database at all");
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

// Every answer the store keeps between events (a Seek's record, the first
// and last records, the grid mirror) is dropped when another program saves,
// and the next event sees the save.
TEST_F(StoreTest, NoKeptAnswerOutlivesAnotherProgramsSave) {
  fill(2);
  p.event([&] {
    s().Data1.setIndex("ID");
    s().Data1.Seek("=", u"3");
    EXPECT_TRUE(s().Data1.NoMatch());
    s().Data1.MoveLast();
    EXPECT_EQ(s().Text23.text(), u"2");
    EXPECT_EQ(s().MSFlexGrid1.Rows(), 2);
  });
  {
    Program other(dir.path());
    other.event([&] { other.form<Sentences>().addPair(u"句3", u"frase 3"); });
  }
  p.event([&] {
    s().Data1.Seek("=", u"3");
    EXPECT_FALSE(s().Data1.NoMatch());
    EXPECT_EQ(s().Text2.text(), u"句3");
    s().Data1.MoveFirst();
    s().Data1.MoveLast();
    EXPECT_EQ(s().Text23.text(), u"3");
    EXPECT_EQ(s().MSFlexGrid1.Rows(), 3);
    EXPECT_EQ(s().MSFlexGrid1.findInColumn(1, u"frase 3"), 2);
  });
}

// A table of its own, as the unit tables are: its file keeps a write-ahead log.
class Pool : public Window {
 public:
  explicit Pool(Application& app) : Window(app, "Pool") {
    Data1.bind(Text1, "ZD1");
    Data1.bind(Text2, "ZD2");
  }
  DataSource Data1{*this, "Data1", tables::wordStagingPool()};
  TextBox Text1{*this, "Text1"}, Text2{*this, "Text2"};
};

// A walk that seeks one key again and again, writing each record it finds
// away from the key (as the word merge blanks its pool rows), meets the
// records of the key in stored order and sees every change made meanwhile:
// to a record still ahead, by a record leaving the key or taking it again,
// by a new record, and by another program.
TEST_F(StoreTest, AWalkOverOneKeySeesEveryChangeMadeWhileItRuns) {
  Pool& pool = p.form<Pool>();
  DataSource& d = pool.Data1;
  p.event([&] {
    for (int64_t i = 1; i <= 12; ++i) {  // "k" in 1 2 4 5 7 8 10 11, "otra" in 3 6 9 12
      d.AddNew();
      pool.Text1.setText(i % 3 == 0 ? u"otra" : u"k");
      pool.Text2.setText(NumText(i));
    }
    d.MoveFirst();
  });
  auto seekK = [&] {
    d.setIndex("ZD1");
    d.Seek("=", u"k");
    return d.NoMatch() ? Text(u"-") : pool.Text2.text();
  };
  // Finds the record and writes it away from the key.
  auto take = [&](TextView want) {
    EXPECT_EQ(seekK(), want);
    pool.Text1.setText(u"done");
  };
  auto onRecord = [&](const char16_t* id) {
    d.setIndex("ID");
    d.Seek("=", id);
  };
  p.event([&] {
    for (const char16_t* want : {u"1", u"2", u"4"}) take(want);
    onRecord(u"7");
    pool.Text2.setText(u"7b");
    take(u"5");
    take(u"7b");
    onRecord(u"8");
    pool.Text1.setText(u"otra");
    onRecord(u"2");
    pool.Text1.setText(u"k");
    take(u"2");
    take(u"10");
    d.AddNew();
    pool.Text1.setText(u"k");
    pool.Text2.setText(u"13");
    take(u"11");
    take(u"13");
    EXPECT_EQ(seekK(), u"-");
  });
  EXPECT_EQ(rowsOnDisk("CKUB0F.db", "ZD1"),
            (std::vector<std::string>{"1:done", "2:done", "3:otra", "4:done", "5:done", "6:otra", "7:done", "8:otra",
                                      "9:otra", "10:done", "11:done", "12:otra", "13:done"}));
  ASSERT_NO_FATAL_FAILURE(testing::execOn(dir.path() / "CKUB0F.db", "UPDATE \"表1\" SET ZD1 = 'k' WHERE ID IN (3, 9)"));
  p.event([&] {
    take(u"3");
    EXPECT_EQ(seekK(), u"9");
  });
}

// A record found and found again from memory, in a file that keeps a
// rollback journal, in one that keeps a write-ahead log and in a shipped
// table: when another program changes it, the next event shows the change,
// also when the change was made while an event of ours was under way.
TEST_F(StoreTest, ARecordKeptFromAnEarlierEventNeverAnswersAcrossAnotherProgramsSave) {
  fill(2);
  Pool& pool = p.form<Pool>();
  p.event([&] {
    pool.Data1.AddNew();
    pool.Text1.setText(u"casa");
    pool.Text2.setText(u"房子");
    pool.Data1.MoveFirst();
  });
  FrmLexaro& main = testing::startMainWindow(p);
  FrmSZ& sz = p.form<FrmSZ>();
  auto spell = [&] {
    sz.Text35.setText(u"5");
    sz.Command1.setValue(true);
    return main.Text33.text();
  };
  struct Case {
    const char* name;
    std::string file, sql;
    std::function<Text()> lookUp;
    Text before, after;
  };
  const Case cases[] = {
      {"partner tables", "XHKA.db", "UPDATE \"表1\" SET ZD3 = '句一' WHERE ID = 1",
       [&] {
         s().Data1.setIndex("ID");
         s().Data1.Seek("=", u"1");
         return s().Text2.text();
       },
       u"句1", u"句一"},
      {"a table of its own", "CKUB0F.db", "UPDATE \"表1\" SET ZD2 = '家' WHERE ZD1 = 'casa'",
       [&] {
         pool.Data1.setIndex("ZD1");
         pool.Data1.Seek("=", u"casa");
         return pool.Text2.text();
       },
       u"房子", u"家"},
      {"a shipped table", "SZK1.db", "UPDATE \"表1\" SET ZD2 = 'CINCO' WHERE ZD1 = '5'", spell, u"cinco", u"CINCO"},
  };
  EXPECT_EQ(readBytes(dir.path() / "CKUB0F.db")[18], 2) << "the file of a table of its own keeps a write-ahead log";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Text seen;
    for (int i = 0; i < 3; ++i) {
      p.event([&] { seen = c.lookUp(); });
      EXPECT_EQ(seen, c.before);
    }
    ASSERT_NO_FATAL_FAILURE(testing::execOn(dir.path() / c.file, c.sql));
    p.event([&] { seen = c.lookUp(); });
    EXPECT_EQ(seen, c.after);
  }
  // An event that answers from memory holds no lock on the file meanwhile.
  p.event([&] {
    EXPECT_EQ(spell(), u"CINCO");
    testing::execOn(dir.path() / "SZK1.db", "UPDATE \"表1\" SET ZD2 = 'cinco' WHERE ZD1 = '5'");
    EXPECT_EQ(spell(), u"CINCO");
  });
  p.event([&] { EXPECT_EQ(spell(), u"cinco"); });
}

// A column of the grid mirror is searched as one text: a match must lie
// within one cell and on character boundaries, also after an edit changes
// a cell's length.
TEST_F(StoreTest, AGridColumnSearchFindsOnlyMatchesWithinOneCell) {
  p.event([&] {
    s().addPair(u"x", u"ab");
    s().addPair(u"cd", u"y");
    s().addPair(u"AA", u"B");
  });
  struct Case {
    const char16_t* what;
    int64_t from, row;
  };
  const Case cases[] = {
      {u"ab", 0, 0},  {u"abcd", 0, -1}, {u"b", 0, 0},      {u"y", 0, 1},   {u"\x4100", 0, -1},  // bytes 00 41 of "AA"
      {u"/", 1, 1},   {u"/", 3, -1},    {u"", 2, 2},        {u"B", 0, 2},   {u"/B", -5, 2},
  };
  p.event([&] {
    for (const Case& c : cases)
      EXPECT_EQ(s().MSFlexGrid1.findInColumn(1, c.what, c.from), c.row) << toUtf8(c.what) << " from " << c.from;
    EXPECT_EQ(s().MSFlexGrid1.findInColumn(2, u"ab"), -1);  // no such column
    EXPECT_EQ(s().MSFlexGrid1.findInColumn(0, u"3"), 2);
  });
  p.event([&] {
    s().Data2.setIndex("ID");
    s().Data2.Seek("=", u"1");
    s().Text14.setText(u"x/a much longer first cell");
    s().Data2.MoveLast();
  });
  p.event([&] {
    EXPECT_EQ(s().MSFlexGrid1.findInColumn(1, u"longer first"), 0);
    EXPECT_EQ(s().MSFlexGrid1.findInColumn(1, u"cd/y"), 1);
    EXPECT_EQ(s().MSFlexGrid1.findInColumn(1, u"cellcd"), -1);
    EXPECT_EQ(s().MSFlexGrid1.TextMatrix(2, 1), u"AA/B");
  });
}

// A hit many cells after where the search starts, or after a match that
// ran over a cell's end, is found in its own row.
TEST_F(StoreTest, AGridColumnSearchFindsAHitFarFromItsStart) {
  p.event([&] {
    for (int i = 0; i < 30; ++i) {
      const Text zh = i == 6 ? Text(u"cq") : i == 20 ? Text(u"abc") : u"k" + NumText(i);
      s().addPair(zh, i == 5 ? u"ab" : u"v");
    }
  });
  struct Case {
    const char16_t* what;
    int64_t from, row;
  };
  const Case cases[] = {
      {u"abc", 0, 20}, {u"abc", 6, 20}, {u"abc", 21, -1}, {u"k29", 0, 29}, {u"k1", 0, 1},
      {u"k1", 2, 10},  {u"abcq", 0, -1}, {u"/v", 25, 25}, {u"k", 29, 29},
  };
  p.event([&] {
    for (const Case& c : cases)
      EXPECT_EQ(s().MSFlexGrid1.findInColumn(1, c.what, c.from), c.row) << toUtf8(c.what) << " from " << c.from;
  });
}

// Rows written straight into a table file's field, as another program adds
// them, in one transaction: rows first to first + count - 1, each value
// bound by `bind`.
void insertRowsOnDisk(const std::filesystem::path& file, const std::string& field, int first, int count,
                      const std::function<void(sqlite3_stmt*, int)>& bind) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
  sqlite3_busy_timeout(db, 2000);
  sqlite3_stmt* st = nullptr;
  const std::string sql = "INSERT INTO \"表1\" (\"" + field + "\") VALUES (?1)";
  ASSERT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr), SQLITE_OK);
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  for (int i = first; i < first + count; ++i) {
    bind(st, i);
    ASSERT_EQ(sqlite3_step(st), SQLITE_DONE);
    sqlite3_reset(st);
  }
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_finalize(st);
  sqlite3_close(db);
}

// A grid of several blocks of rows holds every cell as the table does, in
// the table's order: texts of one, two, three and four bytes a character,
// numbers, empty fields and bytes that are no UTF-8.
TEST_F(StoreTest, AGridOfSeveralBlocksHoldsEveryCellAsTheTableDoes) {
  constexpr int kRows = 3 * 4096 + 5;
  createTable(dir.path() / "XHKA.db", tables::sentences());
  const auto file = dir.path() / "XHKB.db";
  createTable(file, tables::sentenceSearch());
  std::vector<Text> want;
  ASSERT_NO_FATAL_FAILURE(insertRowsOnDisk(file, "Zd1", 0, kRows, [&](sqlite3_stmt* st, int i) {
    const std::string n = std::to_string(i);
    switch (i % 5) {
      case 0:
        sqlite3_bind_null(st, 1);
        want.push_back(u"");
        break;
      case 1:
        sqlite3_bind_int64(st, 1, int64_t{i} * 1000);
        want.push_back(fromUtf8(std::to_string(int64_t{i} * 1000)));
        break;
      case 2: {
        const std::string bytes = "\xE4\xB8" + n + "\xC3";  // cut-off characters
        sqlite3_bind_text(st, 1, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
        want.push_back(u"\uFFFD" + fromUtf8(n) + u"\uFFFD");
        break;
      }
      default: {
        const Text text = u"第" + fromUtf8(n) + u"句。/Año " + fromUtf8(n) + u" \U0001F600";
        const std::string bytes = toUtf8(text);
        sqlite3_bind_text(st, 1, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
        want.push_back(text);
      }
    }
  }));
  p.event([&] {
    FlexGrid& grid = s().MSFlexGrid1;
    ASSERT_EQ(grid.Rows(), kRows);
    for (int r = 0; r < kRows; ++r) {
      ASSERT_EQ(grid.TextMatrix(r, 0), NumText(r + 1)) << "row " << r;
      ASSERT_EQ(grid.TextMatrix(r, 1), want[r]) << "row " << r;
    }
    EXPECT_EQ(grid.findInColumn(1, u"\U0001F600第"), -1);  // never across two cells
    EXPECT_EQ(grid.findInColumn(1, u"Año 8193 "), 8193);
    EXPECT_EQ(grid.findInColumn(1, u"Año 12288 "), 12288);
  });
}

// Blocks of one grid column kept in different forms (SQLite's bytes for
// Spanish text, UTF-16 for mostly Chinese text or a damaged sequence) hold
// every cell as the table does, a search finds what a search of the plain
// texts finds, from any row and over block ends, and edits through the
// store follow.
TEST_F(StoreTest, AGridWhoseBlocksTakeDifferentFormsAnswersAsThePlainTexts) {
  constexpr int kBlock = 4096, kRows = 3 * kBlock + 7;
  createTable(dir.path() / "XHKA.db", tables::sentences());
  const auto file = dir.path() / "XHKB.db";
  createTable(file, tables::sentenceSearch());
  std::vector<Text> want;
  ASSERT_NO_FATAL_FAILURE(insertRowsOnDisk(file, "Zd1", 0, kRows, [&](sqlite3_stmt* st, int i) {
    const Text n = NumText(i);
    std::string bytes;
    if (i / kBlock == 1) {  // mostly Chinese
      want.push_back(u"第" + n + u"句子很长很长很长");
      bytes = toUtf8(want.back());
    } else if (i == 2 * kBlock + 3) {  // one damaged cell
      bytes = "\xE4\xB8" + toUtf8(n);
      want.push_back(u"\uFFFD" + n);
    } else {
      want.push_back(i % 9 == 0 ? Text() : u"句" + n + u"/frase " + n + u" \U0001F600");
      bytes = toUtf8(want.back());
    }
    sqlite3_bind_text(st, 1, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
  }));
  auto plainFind = [&](TextView what, int64_t from) -> int64_t {
    for (int64_t r = std::max<int64_t>(from, 0); r < static_cast<int64_t>(want.size()); ++r)
      if (want[r].find(what) != Text::npos) return r;
    return -1;
  };
  const Text needles[] = {u"frase 4100",     u"句4096",  u"第4097句", u"很长很长", u"\uFFFD",      u"frase 8192 ",
                          u"\U0001F600",     u"\xDE00", u"\xD83D",   u"/frase 12",   u"子很长很长很长", u"frase 9 ",
                          u"\U0001F600句", u"ya no",  u"长/"};
  const int64_t froms[] = {0, 1, kBlock - 1, kBlock, 2 * kBlock + 3, 2 * kBlock + 4, kRows - 1};
  auto expectPlain = [&] {
    FlexGrid& grid = s().MSFlexGrid1;
    ASSERT_EQ(grid.Rows(), static_cast<int64_t>(want.size()));
    for (int64_t r = 0; r < grid.Rows(); ++r) ASSERT_EQ(grid.cellView(r, 1), want[r]) << "row " << r;
    for (const Text& n : needles)
      for (const int64_t from : froms)
        EXPECT_EQ(grid.findInColumn(1, n, from), plainFind(n, from)) << toUtf8(n) << " from " << from;
  };
  p.event([&] { ASSERT_NO_FATAL_FAILURE(expectPlain()); });
  // A cell of each block rewritten and a row added, saved through the store.
  p.event([&] {
    s().Data2.setIndex("ID");
    for (const int64_t row : {int64_t{5}, int64_t{kBlock + 5}, int64_t{2 * kBlock + 3}}) {
      s().Data2.Seek("=", NumText(row + 1));
      s().Text14.setText(u"ya no es igual " + NumText(row) + u" 长/");
      want[static_cast<size_t>(row)] = s().Text14.text();
    }
    s().Data2.MoveLast();
    s().Data2.AddNew();
    s().Text14.setText(u"la última, 长/");
    s().Data2.MoveLast();
    want.push_back(u"la última, 长/");
  });
  p.event([&] { ASSERT_NO_FATAL_FAILURE(expectPlain()); });
}

// The ID column of a grid of several blocks, its numbers run on with gaps
// where rows were deleted: every cell is its row's number and a search of
// the column finds the cells holding the digits, as before and after a row
// is added through the store.
TEST_F(StoreTest, AGridsIdColumnWithGapsHoldsAndFindsEveryNumber) {
  constexpr int kBlock = 4096, kRows = 2 * kBlock + 10;
  createTable(dir.path() / "XHKA.db", tables::sentences());
  const auto file = dir.path() / "XHKB.db";
  createTable(file, tables::sentenceSearch());
  {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (int i = 0; i < kRows; ++i)
      ASSERT_EQ(sqlite3_exec(db, "INSERT INTO \"表1\" (Zd1) VALUES ('frase')", nullptr, nullptr, nullptr), SQLITE_OK);
    // A gap inside the second block and one at the third's start.
    ASSERT_EQ(sqlite3_exec(db, "DELETE FROM \"表1\" WHERE ID BETWEEN 4100 AND 4102 OR ID = 8193", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  std::vector<Text> want;
  for (int id = 1; id <= kRows; ++id)
    if ((id < 4100 || id > 4102) && id != 8193) want.push_back(NumText(id));
  auto plainFind = [&](TextView what, int64_t from) -> int64_t {
    for (int64_t r = std::max<int64_t>(from, 0); r < static_cast<int64_t>(want.size()); ++r)
      if (want[r].find(what) != Text::npos) return r;
    return -1;
  };
  const Text needles[] = {u"12", u"4099", u"4103", u"4101", u"8193", u"8194", u"8202", u"1", u"0", u"-", u"x", u"409"};
  const int64_t froms[] = {0, 11, kBlock - 1, kBlock, 2 * kBlock - 4, 2 * kBlock - 3, static_cast<int64_t>(want.size()) - 1};
  auto expectPlain = [&] {
    FlexGrid& grid = s().MSFlexGrid1;
    ASSERT_EQ(grid.Rows(), static_cast<int64_t>(want.size()));
    for (int64_t r = 0; r < grid.Rows(); ++r) ASSERT_EQ(grid.cellView(r, 0), want[r]) << "row " << r;
    for (const Text& n : needles)
      for (const int64_t from : froms)
        EXPECT_EQ(grid.findInColumn(0, n, from), plainFind(n, from)) << toUtf8(n) << " from " << from;
  };
  p.event([&] { ASSERT_NO_FATAL_FAILURE(expectPlain()); });
  p.event([&] {
    s().Data2.MoveLast();
    s().Data2.AddNew();
    s().Text14.setText(u"la última");
    s().Data2.MoveLast();
    want.push_back(NumText(kRows + 1));
  });
  p.event([&] { ASSERT_NO_FATAL_FAILURE(expectPlain()); });
}

// Rows written straight into a table file of one text field besides its
// ID, as another program adds them: texts of one to four bytes a
// character, numbers and empty fields.
void addRowsOnDisk(const std::filesystem::path& file, const std::string& field, int first, int count) {
  insertRowsOnDisk(file, field, first, count, [](sqlite3_stmt* st, int i) {
    if (i % 7 == 0) {
      sqlite3_bind_null(st, 1);
    } else if (i % 7 == 1) {
      sqlite3_bind_int64(st, 1, int64_t{i} * 1000);
    } else {
      const std::string text = toUtf8(u"第" + NumText(i) + u"句。/Año " + NumText(i) + u" \U0001F600");
      sqlite3_bind_text(st, 1, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
  });
}

// Every cell of a grid, row after row.
std::vector<std::vector<Text>> gridCells(FlexGrid& grid) {
  std::vector<std::vector<Text>> out;
  for (int64_t r = 0; r < grid.Rows(); ++r) {
    out.emplace_back();
    for (int64_t c = 0; c < grid.Cols(); ++c) out.back().push_back(grid.TextMatrix(r, c));
  }
  return out;
}

// A grid of several blocks read again after another program changed its
// table, however it changed it: every cell as a program started afresh
// reads it, and a search finds what the change wrote.
TEST_F(StoreTest, AGridReadAgainAfterAnotherProgramsSaveHoldsTheTableAsItIsNow) {
  constexpr int kRows = 6 * 4096 + 5;
  createTable(dir.path() / "XHKA.db", tables::sentences());
  const auto file = dir.path() / "XHKB.db";
  createTable(file, tables::sentenceSearch());
  ASSERT_NO_FATAL_FAILURE(addRowsOnDisk(file, "Zd1", 0, kRows));
  p.event([&] { ASSERT_EQ(s().MSFlexGrid1.Rows(), kRows); });
  struct Case {
    const char* what;
    std::string sql;
    const char16_t* found;  // a text the change put in, or null
  };
  const Case cases[] = {
      {"a cell made longer", "UPDATE \"表1\" SET Zd1 = Zd1 || ' y una cola más larga' WHERE ID = 9000",
       u"y una cola más larga"},
      {"a row deleted early on", "DELETE FROM \"表1\" WHERE ID = 100", nullptr},
      {"rows deleted across the middle", "DELETE FROM \"表1\" WHERE ID BETWEEN 12000 AND 13000", nullptr},
      {"a row put into a gap", "INSERT INTO \"表1\" (ID, Zd1) VALUES (12500, '中间的/en medio')", u"中间的/en medio"},
      {"a row before every other", "INSERT INTO \"表1\" (ID, Zd1) VALUES (-7, '最前/primera')", u"最前/primera"},
      {"rows added at the end", "INSERT INTO \"表1\" (Zd1) SELECT Zd1 || ' otra vez' FROM \"表1\" WHERE ID < 5000",
       u"otra vez"},
      {"a cell emptied", "UPDATE \"表1\" SET Zd1 = NULL WHERE ID = 20000", nullptr},
      {"all but a few rows deleted", "DELETE FROM \"表1\" WHERE ID > 3", nullptr},
      {"the table filled again", "", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.sql.empty()) {
      ASSERT_NO_FATAL_FAILURE(addRowsOnDisk(file, "Zd1", 0, kRows));
    } else {
      ASSERT_NO_FATAL_FAILURE(testing::execOn(file, c.sql));
    }
    std::vector<std::vector<Text>> want;
    {
      Program fresh(dir.path());
      fresh.event([&] { want = gridCells(fresh.form<Sentences>().MSFlexGrid1); });
    }
    ASSERT_GT(want.size(), 0u);
    p.event([&] {
      const auto got = gridCells(s().MSFlexGrid1);
      ASSERT_EQ(got.size(), want.size());
      for (size_t r = 0; r < got.size(); ++r) ASSERT_EQ(got[r], want[r]) << "row " << r;
      if (c.found) {
        EXPECT_GE(s().MSFlexGrid1.findInColumn(1, c.found), 0);
      }
    });
  }
}

// Another program waits to save while an event of ours reads a grid again:
// the grid is read whole as the event sees the table, and the save lands
// once the event has ended.
TEST_F(StoreTest, AGridReadAgainWhileAnotherProgramWaitsToSaveIsReadWhole) {
  constexpr int kRows = 6 * 4096;
  createTable(dir.path() / "XHKA.db", tables::sentences());
  const auto file = dir.path() / "XHKB.db";
  createTable(file, tables::sentenceSearch());
  ASSERT_NO_FATAL_FAILURE(addRowsOnDisk(file, "Zd1", 0, kRows));
  p.event([&] { ASSERT_EQ(s().MSFlexGrid1.Rows(), kRows); });
  ASSERT_NO_FATAL_FAILURE(testing::execOn(file, "UPDATE \"表1\" SET Zd1 = '一' WHERE ID = 1"));
  std::thread writer;
  int saved = SQLITE_ERROR;
  p.event([&] {
    s().Data2.setIndex("ID");
    s().Data2.Seek("=", u"1");
    EXPECT_EQ(s().Text14.text(), u"一");
    writer = std::thread([&] {
      sqlite3* db = nullptr;
      if (sqlite3_open(file.c_str(), &db) == SQLITE_OK) {
        sqlite3_busy_timeout(db, 10000);
        saved = sqlite3_exec(db, "UPDATE \"表1\" SET Zd1 = '二' WHERE ID = 1", nullptr, nullptr, nullptr);
      }
      sqlite3_close(db);
    });
    // Time for it to wait on our read lock, holding off new readers.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ASSERT_EQ(s().MSFlexGrid1.Rows(), kRows);
    EXPECT_EQ(s().MSFlexGrid1.TextMatrix(0, 1), u"一");
    EXPECT_EQ(s().MSFlexGrid1.TextMatrix(kRows - 1, 1), u"第" + NumText(kRows - 1) + u"句。/Año " + NumText(kRows - 1) + u" \U0001F600");
  });
  writer.join();
  EXPECT_EQ(saved, SQLITE_OK);
  EXPECT_TRUE(p.dialogs().messages.empty());
  p.event([&] { EXPECT_EQ(s().MSFlexGrid1.TextMatrix(0, 1), u"二"); });
}

// A table of its own keeps a write-ahead log, in which another program
// commits while an event of ours reads: a grid read again in that event
// holds the table as the event's other reads see it, and the next event
// shows the later save.
class PoolGrid : public Window {
 public:
  explicit PoolGrid(Application& app) : Window(app, "PoolGrid") {
    Data1.bind(Text1, "ZD1");
    Data1.bind(MSFlexGrid1);
  }
  DataSource Data1{*this, "Data1", tables::wordStagingPool()};
  TextBox Text1{*this, "Text1"};
  FlexGrid MSFlexGrid1{*this, "MSFlexGrid1"};
};

TEST_F(StoreTest, AGridReadAgainInAWriteAheadLogFileHoldsWhatItsEventReads) {
  constexpr int kRows = 6 * 4096;
  const auto file = dir.path() / tables::wordStagingPool().file;
  PoolGrid& pool = p.form<PoolGrid>();
  ASSERT_NO_FATAL_FAILURE(addRowsOnDisk(file, "ZD1", 0, kRows));
  p.event([&] { ASSERT_EQ(pool.MSFlexGrid1.Rows(), kRows); });
  ASSERT_NO_FATAL_FAILURE(testing::execOn(file, "UPDATE \"表1\" SET ZD1 = '一' WHERE ID = 1"));
  p.event([&] {
    pool.Data1.MoveFirst();
    EXPECT_EQ(pool.Text1.text(), u"一");
    testing::execOn(file, "UPDATE \"表1\" SET ZD1 = '二' WHERE ID = 1");
    ASSERT_EQ(pool.MSFlexGrid1.Rows(), kRows);
    EXPECT_EQ(pool.MSFlexGrid1.TextMatrix(0, 1), u"一");
    EXPECT_EQ(pool.MSFlexGrid1.findInColumn(1, u"二"), -1);
  });
  p.event([&] { EXPECT_EQ(pool.MSFlexGrid1.TextMatrix(0, 1), u"二"); });
}

// The sentence tables written as another program writes them: `pairs` rows,
// row i's texts `text(i)`, then `change` run on each file.
void writeSentenceTables(const std::filesystem::path& dir, int pairs, const std::function<std::string(int)>& text,
                         const char* change = nullptr) {
  for (const TableSchema& t : {tables::sentences(), tables::sentenceSearch()}) {
    createTable(dir / t.file, t);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((dir / t.file).c_str(), &db), SQLITE_OK);
    const std::string sql = t.fields.size() == 3 ? "INSERT INTO \"表1\" (ZD3, ZD4) VALUES (?1, ?1)"
                                                 : "INSERT INTO \"表1\" (Zd1) VALUES (?1)";
    sqlite3_stmt* st = nullptr;
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    ASSERT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr), SQLITE_OK);
    for (int i = 1; i <= pairs; ++i) {
      const std::string row = text(i);
      sqlite3_bind_text(st, 1, row.c_str(), -1, SQLITE_TRANSIENT);
      ASSERT_EQ(sqlite3_step(st), SQLITE_DONE);
      sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    if (change) {
      ASSERT_EQ(sqlite3_exec(db, change, nullptr, nullptr, nullptr), SQLITE_OK);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
}

// A sentence table large enough that its grid is read ahead while the
// window opens: the first use sees the table as it is then, whether or not
// another program saved into it in between.
TEST(StoreReadAhead, TheReadAheadGridIsTheTableAtItsFirstUse) {
  constexpr int kPairs = 40000;
  for (const bool otherSaves : {false, true}) {
    SCOPED_TRACE(otherSaves ? "another program saves first" : "nothing saved");
    TempDir dir;
    ASSERT_NO_FATAL_FAILURE(writeSentenceTables(dir.path(), kPairs, [](int i) {
      return "这是第" + std::to_string(i) + "个句子。/Esta es la frase número " + std::to_string(i) +
             " de una lista bastante larga de frases.";
    }));
    ASSERT_GT(std::filesystem::file_size(dir.path() / "XHKB.db"), 4u << 20);
    Program p(dir.path());
    Sentences& s = p.form<Sentences>();
    if (otherSaves) {
      Program other(dir.path());
      other.event([&] { other.form<Sentences>().addPair(u"句新", u"frase nueva"); });
    }
    // A user's first keystroke comes later than the read ahead begins; were
    // it sooner, the grid would be read afresh, with the same rows.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const int rows = kPairs + (otherSaves ? 1 : 0);
    p.event([&] {
      ASSERT_EQ(s.MSFlexGrid1.Rows(), rows);
      EXPECT_EQ(s.MSFlexGrid1.TextMatrix(0, 0), u"1");
      EXPECT_EQ(s.MSFlexGrid1.TextMatrix(kPairs - 1, 1),
                u"这是第" + NumText(kPairs) + u"个句子。/Esta es la frase número " + NumText(kPairs) +
                    u" de una lista bastante larga de frases.");
      EXPECT_EQ(s.MSFlexGrid1.findInColumn(1, u"frase nueva"), otherSaves ? kPairs : -1);
      EXPECT_EQ(s.MSFlexGrid1.findInColumn(1, u"número 12345 "), 12344);
    });
    // A pair saved by this program joins the mirror.
    p.event([&] { s.addPair(u"句末", u"frase final"); });
    p.event([&] { EXPECT_EQ(s.MSFlexGrid1.findInColumn(1, u"句末/frase final"), rows); });
  }
}

std::map<int64_t, std::string> tableRows(const std::filesystem::path& file, const std::string& column);

// A large sentence table read ahead, its rows' IDs consecutive or with gaps
// (rows deleted by hand, a last row far beyond the others): every row and
// cell of the grid is the table's, in order, wherever the read was split.
TEST(StoreReadAhead, EveryCellOfTheReadAheadGridIsTheTablesWithOrWithoutGapsInItsIds) {
  constexpr int kPairs = 41000;
  struct Case {
    const char* name;
    const char* change;  // made to the file before the program starts
  };
  const Case cases[] = {
      {"consecutive IDs", ""},
      {"gaps in the first part", "DELETE FROM \"表1\" WHERE ID BETWEEN 5000 AND 5100 OR ID = 7"},
      {"gaps in a later part", "DELETE FROM \"表1\" WHERE ID BETWEEN 30001 AND 30002"},
      {"a last row far on", "UPDATE \"表1\" SET ID = 900000 WHERE ID = 41000"},
      {"a last row beyond any table in memory", "UPDATE \"表1\" SET ID = 1099511627776 WHERE ID = 41000"},
      {"a first row far before", "UPDATE \"表1\" SET ID = -5000000000 WHERE ID = 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    ASSERT_NO_FATAL_FAILURE(writeSentenceTables(
        dir.path(), kPairs,
        [](int i) {
          // Chinese and Spanish rows in turn, so that blocks differ in form.
          return i % 3 ? "这是第" + std::to_string(i) + "个很长很长的中文句子，里面一个西班牙语的词也没有，只有汉字和标点符号。"
                       : "第" + std::to_string(i) + "句/Esta es la frase número " + std::to_string(i) +
                             ". de una lista bastante larga de frases";
        },
        c.change));
    ASSERT_GT(std::filesystem::file_size(dir.path() / "XHKB.db"), 4u << 20);
    const std::map<int64_t, std::string> want = tableRows(dir.path() / "XHKB.db", "Zd1");
    Program p(dir.path());
    Sentences& s = p.form<Sentences>();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    p.event([&] {
      ASSERT_EQ(s.MSFlexGrid1.Rows(), static_cast<int64_t>(want.size()));
      int64_t row = 0;
      for (const auto& [id, text] : want) {
        ASSERT_EQ(s.MSFlexGrid1.TextMatrix(row, 0), NumText(id)) << "row " << row;
        ASSERT_EQ(s.MSFlexGrid1.TextMatrix(row, 1), fromUtf8(text)) << "row " << row;
        ++row;
      }
      EXPECT_EQ(s.MSFlexGrid1.findInColumn(1, u"número 40998."), static_cast<int64_t>(want.size()) - 3);
    });
  }
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
  // Nothing was written, and the box is as it was before the event: the
  // same write saves once the file is free.
  EXPECT_EQ(rowsOnDisk("XHKA.db", "ZD3"), (std::vector<std::string>{"1:句1"}));
  EXPECT_EQ(s().Text2.text(), u"句1");
  sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  p.event([&] {
    s().Text2.setText(u"改");
    s().Data1.MoveLast();
  });
  EXPECT_EQ(rowsOnDisk("XHKA.db", "ZD3"), (std::vector<std::string>{"1:改"}));
}

// --- groups of tables that commit together -------------------------------------

// A table file's rows, ID to field text, as the next start of the program
// reads them (a save a kill cut short is rolled back first).
std::map<int64_t, std::string> tableRows(const std::filesystem::path& file, const std::string& column) {
  std::map<int64_t, std::string> out;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    ADD_FAILURE() << "cannot open " << file;
    return out;
  }
  sqlite3_busy_timeout(db, 2000);
  sqlite3_stmt* st = nullptr;
  const std::string sql = "SELECT rowid, \"" + column + "\" FROM \"表1\"";
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) ADD_FAILURE() << sqlite3_errmsg(db);
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    const auto* t = sqlite3_column_text(st, 1);
    out[sqlite3_column_int64(st, 0)] = t ? reinterpret_cast<const char*>(t) : "";
  }
  if (rc != SQLITE_DONE) ADD_FAILURE() << file << ": " << sqlite3_errmsg(db);
  sqlite3_finalize(st);
  sqlite3_close(db);
  return out;
}

// "" when every sentence pair and every verb stands whole under one ID in all
// its tables; else the first record out of step.
std::string groupsOutOfStep(const std::filesystem::path& dir) {
  auto zh = tableRows(dir / "XHKA.db", "ZD3"), es = tableRows(dir / "XHKA.db", "ZD4");
  auto search = tableRows(dir / "XHKB.db", "Zd1");
  if (zh.size() != search.size()) return std::to_string(zh.size()) + " sentences, " + std::to_string(search.size()) + " search texts";
  for (const auto& [id, text] : zh)
    if (!search.count(id) || search[id] != text + "/" + es[id]) return "sentence " + std::to_string(id);
  const auto verbs = tableRows(dir / "DCK1.db", "ZD1");
  if (verbs != tableRows(dir / "DCK2.db", "ZD1") || verbs != tableRows(dir / "DCK3.db", "ZD3"))
    return "verb tables differ";
  return {};
}

TEST_F(StoreTest, AKillAtAnyMomentOfASaveStreamLeavesEveryGroupWholeUnderOneId) {
  fill(1);
  p.event([&] { v().addVerb(u"ser"); });
  p.restart();  // no file stays open here while the children write
  std::mt19937 rng(20261210);
  int midSave = 0;  // kills that left a save's journal behind
  for (int round = 0; round < 200; ++round) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      close(ready[0]);
      try {
        Program child(dir.path());
        Sentences& cs = child.form<Sentences>();
        Verbs& cv = child.form<Verbs>();
        for (int i = 0;; ++i) {
          const Text n = NumText(round * 100000 + i);
          child.event([&] {
            cs.addPair(u"句" + n, u"frase " + n);
            cv.addVerb(u"verbo" + n);
          });
          // Ready once the first save, which checks the files first, is made.
          if (i == 0) (void)!write(ready[1], "r", 1);
        }
      } catch (...) {
      }
      _exit(1);
    }
    close(ready[1]);
    char c;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    close(ready[0]);
    std::this_thread::sleep_for(std::chrono::microseconds(rng() % 25000));
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    for (const auto& f : std::filesystem::directory_iterator(dir.path()))
      if (f.path().string().ends_with("-journal")) {
        ++midSave;
        break;
      }
    const std::string fault = groupsOutOfStep(dir.path());
    ASSERT_EQ(fault, "") << "after kill " << round;
  }
  EXPECT_GT(midSave, 25);
  // The next run goes on with one ID for every partner.
  const size_t before = tableRows(dir.path() / "XHKA.db", "ZD3").size();
  p.restart();
  fill(1);
  p.event([&] { v().addVerb(u"estar"); });
  EXPECT_EQ(toUtf8(s().Text23.text()), std::to_string(before + 1));
  EXPECT_EQ(s().Text24.text(), s().Text23.text());
  EXPECT_EQ(groupsOutOfStep(dir.path()), "");
  EXPECT_TRUE(p.dialogs().messages.empty());
}

TEST_F(StoreTest, TwoProgramsSavingAtOnceLoseNothingAndKeepEveryGroupWhole) {
  fill(1);
  p.restart();
  constexpr int kSaves = 40;
  std::vector<pid_t> children;
  for (int k = 0; k < 2; ++k) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      int messages = 99;
      try {
        Program child(dir.path());
        for (int i = 0; i < kSaves; ++i) {
          const Text n = NumText(k * 1000 + i);
          child.event([&] {
            child.form<Sentences>().addPair(u"句" + n, u"frase " + n);
            child.form<Verbs>().addVerb(u"verbo" + n);
          });
        }
        messages = static_cast<int>(child.dialogs().messages.size());
      } catch (...) {
      }
      _exit(messages);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "messages shown, such as a locked database";
  }
  EXPECT_EQ(tableRows(dir.path() / "XHKA.db", "ZD3").size(), 1u + 2 * kSaves);
  EXPECT_EQ(tableRows(dir.path() / "DCK1.db", "ZD1").size(), 2u * kSaves);
  EXPECT_EQ(groupsOutOfStep(dir.path()), "");
}

// A small file system of its own, mounted for the test where the system
// lets it (root, or a container that allows mounts).
class Mount {
 public:
  explicit Mount(const std::filesystem::path& at, const std::string& options) : at_(at) {
    std::filesystem::create_directories(at);
    ok_ = ::mount("tmpfs", at.c_str(), "tmpfs", 0, options.c_str()) == 0;
    if (!ok_) error_ = std::strerror(errno);
  }
  ~Mount() {
    if (ok_) ::umount2(at_.c_str(), MNT_DETACH);
  }
  bool ok() const { return ok_; }
  const std::string& error() const { return error_; }
  bool makeReadOnly() { return ::mount(nullptr, at_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0; }

 private:
  std::filesystem::path at_;
  bool ok_ = false;
  std::string error_;
};

// Writes a file until the disk is full; returns its size.
off_t fillDisk(const std::filesystem::path& file) {
  std::FILE* f = std::fopen(file.c_str(), "wb");
  const std::string block(4096, 'x');
  std::setvbuf(f, nullptr, _IONBF, 0);
  off_t size = 0;
  while (std::fwrite(block.data(), 1, block.size(), f) == block.size()) size += 4096;
  std::fclose(f);
  return size;
}

TEST_F(StoreTest, AFullDiskRefusesTheSaveWithAMessageAndLeavesEveryGroupWhole) {
  Mount disk(dir.path() / "small", "size=512k");
  if (!disk.ok()) GTEST_SKIP() << "cannot mount a small tmpfs here (" << disk.error() << ")";
  const auto data = dir.path() / "small" / "zuvo";
  Program q(data);
  q.event([&] { q.form<Sentences>().addPair(u"一", u"uno"); });
  q.event([&] { q.form<Verbs>().addVerb(u"ser"); });
  const auto filler = dir.path() / "small" / "filler";
  const off_t full = fillDisk(filler);
  // Free a little more room each time, so the disk fills at a different
  // step of the save: the journal, the other file, the commit.
  const Text longText(1500, u'长');
  int refused = 0, saved = 0;
  for (int k = 0; k < 40; ++k) {
    ASSERT_EQ(::truncate(filler.c_str(), std::max<off_t>(0, full - k * 8192)), 0);
    const size_t messages = q.dialogs().messages.size();
    q.event([&] {
      q.form<Sentences>().addPair(longText + NumText(k), u"largo");
      q.form<Verbs>().addVerb(longText + NumText(k));
    });
    if (q.dialogs().messages.size() > messages) {
      ++refused;
      EXPECT_NE(q.dialogs().messages.back().prompt.find(u".db"), Text::npos);
    } else {
      ++saved;
    }
    ASSERT_EQ(groupsOutOfStep(data), "") << "after save " << k;
  }
  EXPECT_GT(refused, 0);
  EXPECT_GT(saved, 0);
  std::filesystem::remove(filler);
  q.restart();
  const size_t before = tableRows(data / "XHKA.db", "ZD3").size();
  q.event([&] { q.form<Sentences>().addPair(u"二", u"dos"); });
  EXPECT_EQ(toUtf8(q.form<Sentences>().Text23.text()), std::to_string(before + 1));
  EXPECT_EQ(q.form<Sentences>().Text24.text(), q.form<Sentences>().Text23.text());
  EXPECT_EQ(groupsOutOfStep(data), "");
}

TEST_F(StoreTest, AFileThatIsNotThisProgramsTableIsNeverWritten) {
  struct Case {
    const char* name;
    std::function<void(const std::filesystem::path&)> make;
  };
  const std::vector<Case> cases = {
      {"an empty file", [](const std::filesystem::path& f) { std::ofstream(f).flush(); }},
      {"another program's database",
       [&](const std::filesystem::path& f) {
         testing::execOn(f, "CREATE TABLE notes (t TEXT); INSERT INTO notes VALUES ('x')");
       }},
      {"a table missing a field",
       [&](const std::filesystem::path& f) {
         testing::execOn(f, "CREATE TABLE \"表1\" (ID INTEGER PRIMARY KEY)");
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir folder;
    const auto file = folder.path() / "XHKB.db";
    c.make(file);
    const std::string bytes = readBytes(file);
    Program q(folder.path());
    q.form<Sentences>();
    ASSERT_EQ(q.dialogs().messages.size(), 1u);
    EXPECT_NE(q.dialogs().messages[0].prompt.find(u"XHKB.db"), Text::npos);
    q.event([&] { q.form<Sentences>().addPair(u"x", u"y"); });
    EXPECT_EQ(q.dialogs().messages.size(), 2u);  // the save is refused
    q.restart();
    EXPECT_EQ(readBytes(file), bytes);
    for (const char* side : {"-wal", "-shm", "-journal"})
      EXPECT_FALSE(std::filesystem::exists(file.string() + side)) << side;
  }
}

// Overwrites one page of a table file with noise: the header stays sound.
void damagePage(const std::filesystem::path& file, int64_t page) {
  std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
  f.seekp((page - 1) * 4096 + 100 * (page == 1));
  const std::string noise(4096 - 100 * (page == 1), '\xA5');
  f.write(noise.data(), static_cast<std::streamsize>(noise.size()));
}

int64_t pages(const std::filesystem::path& file) { return static_cast<int64_t>(std::filesystem::file_size(file) / 4096); }

TEST_F(StoreTest, ADamagedPageUnderTheFirstRecordIsReportedAndTheWindowOpensWithTheOtherStores) {
  fill(3);
  p.restart();
  damagePage(dir.path() / "XHKB.db", 2);  // the table's root page
  EXPECT_EQ(s().Text2.text(), u"句1");   // the window opened, its sound store on its first record
  ASSERT_EQ(p.dialogs().messages.size(), 1u);
  EXPECT_NE(p.dialogs().messages[0].prompt.find(u"XHKB.db"), Text::npos);
  EXPECT_EQ(s().Text14.text(), u"");
  p.event([&] { s().addPair(u"x", u"y"); });  // its partner takes no save either
  EXPECT_EQ(p.dialogs().messages.size(), 2u);
  EXPECT_EQ(tableRows(dir.path() / "XHKA.db", "ZD3").size(), 3u);
}

TEST_F(StoreTest, ADamagedPageInTheMiddleOfATableIsToldOnceWhenItIsMet) {
  const Text longText(300, u'长');
  p.event([&] {
    for (int i = 1; i <= 200; ++i) s().addPair(longText + NumText(i), u"frase");
  });
  p.restart();
  damagePage(dir.path() / "XHKB.db", pages(dir.path() / "XHKB.db") / 2);
  s();
  EXPECT_TRUE(p.dialogs().messages.empty());  // the first record is sound
  p.event([&] { s().MSFlexGrid1.Rows(); });   // the grid mirror reads the whole table
  ASSERT_EQ(p.dialogs().messages.size(), 1u);
  EXPECT_EQ(p.dialogs().messages[0].prompt.rfind(u"数据文件出错：" + fromUtf8((dir.path() / "XHKB.db").string()) + u"\r\n", 0), 0u);
  // Lookups of records on the page fail without telling it again; the
  // others work.
  int found = 0;
  for (int id = 1; id <= 200; ++id) {
    p.event([&] {
      s().Data2.setIndex("ID");
      s().Data2.Seek("=", NumText(id));
    });
    found += !s().Data2.NoMatch() && s().Text24.text() == NumText(id);
  }
  EXPECT_EQ(p.dialogs().messages.size(), 1u);
  EXPECT_GT(found, 150);
  EXPECT_LT(found, 200);
}

// Words with long keys and texts, so that their table and each index fill
// many pages; saved as a word and its search line are.
class WordPair : public testing::WordPairWindow {
 public:
  explicit WordPair(Application& app) : WordPairWindow(app, /*withMeaning=*/true) {}
};

Text wordKey(int i) { return Text(60, u'词') + NumText(i); }

// Into the pair of word tables, or into the word table on its own.
void addLongWords(Program& q, int n, bool grouped = true) {
  q.event([&] {
    for (int i = 1; i <= n; ++i) {
      if (!grouped) {
        Words& w = q.form<Words>();
        w.Data6.AddNew();
        w.Text51.setText(wordKey(i));
        w.Text112.setText(Text(200, u'西') + NumText(i));
        continue;
      }
      WordPair& w = q.form<WordPair>();
      w.Data6.AddNew();
      w.Data7.AddNew();
      w.Text51.setText(wordKey(i));
      w.Text112.setText(Text(200, u'西') + NumText(i));
      w.Text113.setText(Text(60, u'义') + NumText(i));
      w.Text36.setText(wordKey(i));
      w.Text31.setText(u"linea " + NumText(i));
    }
    if (grouped) q.form<WordPair>().Data7.MoveFirst();
    (grouped ? q.form<WordPair>().Data6 : q.form<Words>().Data6).MoveFirst();
  });
}

// A page of a word file overwritten, in a file saved with its partner and in
// one on its own: a lookup that meets the page tells it once, naming the
// file; no save goes into the file or its group afterwards, and the files
// stay byte for byte as they were.
TEST_F(StoreTest, ADamagedTableOrIndexPageIsToldOnceAndTheFileAndItsGroupTakeNoWrite) {
  struct Case {
    const char* name;
    bool grouped;
    const char* tree;
  };
  for (const Case& c : {Case{"grouped, table page", true, "表1"}, Case{"grouped, index page", true, "表1_ZD1"},
                        Case{"alone, table page", false, "表1"}, Case{"alone, index page", false, "表1_ZD1"}}) {
    SCOPED_TRACE(c.name);
    TempDir folder;
    {
      Program q(folder.path());
      addLongWords(q, 300, c.grouped);
    }
    const auto file = folder.path() / "CKUA.db", partner = folder.path() / "CKUB.db";
    damagePage(file, leafPage(file, c.tree));
    const std::string bytes = readBytes(file), partnerBytes = c.grouped ? readBytes(partner) : "";
    Program q(folder.path());
    auto lookUp = [&](DataSource& store, const Text& key) {
      q.event([&] {
        store.setIndex("ZD1");
        store.Seek("=", key);
      });
    };
    int found = 0;
    DataSource& store = c.grouped ? q.form<WordPair>().Data6 : q.form<Words>().Data6;
    const TextControl& key = c.grouped ? q.form<WordPair>().Text51 : q.form<Words>().Text51;
    for (int i = 1; i <= 300; ++i) {
      lookUp(store, wordKey(i));
      found += !store.NoMatch() && key.text() == wordKey(i);
    }
    ASSERT_EQ(q.dialogs().messages.size(), 1u);
    EXPECT_EQ(q.dialogs().messages[0].prompt.rfind(u"数据文件出错：" + fromUtf8(file.string()) + u"\r\n", 0), 0u)
        << toUtf8(q.dialogs().messages[0].prompt);
    EXPECT_GT(found, 200);  // the rest of the file still reads
    EXPECT_LT(found, 300);
    // A save into the file, or into its partner, is refused at the save.
    q.event([&] {
      if (c.grouped) {
        q.form<WordPair>().Data7.AddNew();
        q.form<WordPair>().Text31.setText(u"nueva");
        q.form<WordPair>().Data7.MoveLast();
      } else {
        q.form<Words>().Data6.AddNew();
        q.form<Words>().Text51.setText(u"nueva");
        q.form<Words>().Data6.MoveLast();
      }
    });
    ASSERT_EQ(q.dialogs().messages.size(), 2u);
    EXPECT_EQ(q.dialogs().messages[1].prompt.rfind(u"无法保存：", 0), 0u) << toUtf8(q.dialogs().messages[1].prompt);
    EXPECT_NE(q.dialogs().messages[1].prompt.find(u"CKUA.db"), Text::npos);
    q.restart();
    EXPECT_EQ(readBytes(file), bytes);
    if (c.grouped) {
      EXPECT_EQ(readBytes(partner), partnerBytes);
    }
  }
}

// Damage in a page no lookup of this run reads (an index never sought) is
// found by the check of the whole file that runs after the window has shown.
TEST_F(StoreTest, TheFileCheckFindsDamageInAPageOrdinaryUseNeverReads) {
  addLongWords(p, 300);
  p.restart();
  const auto file = dir.path() / "CKUA.db", partner = dir.path() / "CKUB.db";
  damagePage(file, leafPage(file, "表1_ZD3"));
  const std::string bytes = readBytes(file), partnerBytes = readBytes(partner);
  WordPair& w = p.form<WordPair>();
  p.event([] {});  // the window has shown: the check begins
  for (int i = 0; i < 6000 && !(w.Data6.fileChecked() && w.Data7.fileChecked()); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(w.Data6.fileChecked() && w.Data7.fileChecked());
  EXPECT_TRUE(p.dialogs().messages.empty());
  p.event([] {});
  ASSERT_EQ(p.dialogs().messages.size(), 1u);
  EXPECT_EQ(p.dialogs().messages[0].prompt.rfind(u"数据文件出错：" + fromUtf8(file.string()) + u"\r\n", 0), 0u)
      << toUtf8(p.dialogs().messages[0].prompt);
  // Told as damage with what to do; the check's own words only in brackets.
  EXPECT_NE(p.dialogs().messages[0].prompt.find(u"已损坏"), Text::npos);
  EXPECT_NE(p.dialogs().messages[0].prompt.find(u"备份"), Text::npos);
  EXPECT_EQ(p.dialogs().messages[0].prompt.back(), u'）') << toUtf8(p.dialogs().messages[0].prompt);
  // Every lookup still works; a save into the group is refused.
  p.event([&] {
    w.Data6.setIndex("ZD1");
    w.Data6.Seek("=", wordKey(150));
  });
  EXPECT_EQ(w.Text51.text(), wordKey(150));
  p.event([&] {
    w.Data6.AddNew();
    w.Data7.AddNew();
    w.Text51.setText(u"nueva");
    w.Text36.setText(u"nueva");
    w.Data6.MoveLast();
  });
  ASSERT_EQ(p.dialogs().messages.size(), 2u);
  EXPECT_EQ(p.dialogs().messages[1].prompt.rfind(u"无法保存：", 0), 0u);
  p.restart();
  EXPECT_EQ(readBytes(file), bytes);
  EXPECT_EQ(readBytes(partner), partnerBytes);
}

TEST_F(StoreTest, AReadOnlyFolderGivesOneMessageAndTheShippedTablesStillWork) {
  Mount disk(dir.path() / "ro", "size=8m");
  if (!disk.ok()) GTEST_SKIP() << "cannot mount a tmpfs here (" << disk.error() << ")";
  const auto data = dir.path() / "ro" / "zuvo";
  {
    Program first(data);
    testing::startMainWindow(first);
    first.form<FrmSZ>();
    first.form<Frm说明1>();
    first.event([&] { first.form<Sentences>().addPair(u"一", u"uno"); });
  }
  ASSERT_TRUE(disk.makeReadOnly()) << std::strerror(errno);
  Program q(data);
  FrmLexaro& main = testing::startMainWindow(q);
  q.form<Sentences>();
  ASSERT_EQ(q.dialogs().messages.size(), 1u);
  EXPECT_NE(q.dialogs().messages[0].prompt.find(fromUtf8(data.string())), Text::npos);
  // Number words and usage notes read from the folder as before.
  q.event([&] {
    q.form<FrmSZ>().Text35.setText(u"5");
    q.form<FrmSZ>().Command1.setValue(true);
  });
  EXPECT_EQ(main.Text33.text(), u"cinco");
  EXPECT_GT(q.form<Frm说明1>().DBGrid1.Rows(), 1);
  EXPECT_EQ(q.form<Sentences>().Text2.text(), u"一");
  // A save is refused at the save, naming the folder.
  q.event([&] { q.form<Sentences>().addPair(u"二", u"dos"); });
  ASSERT_EQ(q.dialogs().messages.size(), 2u);
  EXPECT_NE(q.dialogs().messages[1].prompt.find(fromUtf8(data.string())), Text::npos);
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

// A table file that cannot be made is told in Chinese, naming the file and
// what the user can do about it; nothing is left behind.
TEST(SeedTest, ATableThatCannotBeMadeIsToldInChineseWithWhatToDo) {
  TempDir dir;
  struct Case {
    const char* name;
    std::filesystem::path file;
    std::string seedFile;
    std::string expected;
    std::string named;
  };
  const std::vector<Case> cases = {
      {"a file where the folder should be", dir.path() / "taken" / "T.db", "", "无法创建数据文件", "taken"},
      {"shipped rows missing", dir.path() / "T.db", "no-such-rows.tsv", "请重新安装本程序", "no-such-rows.tsv"},
  };
  std::ofstream(dir.path() / "taken") << "x";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TableSchema schema = tables::sentences();
    schema.seedFile = c.seedFile;
    try {
      createTable(c.file, schema);
      ADD_FAILURE() << "made";
    } catch (const std::runtime_error& e) {
      const std::string why = e.what();
      EXPECT_NE(why.find(c.expected), std::string::npos) << why;
      EXPECT_NE(why.find(c.named), std::string::npos) << why;
    }
    EXPECT_FALSE(std::filesystem::exists(c.file));
  }
}

}  // namespace
}  // namespace zuvo
