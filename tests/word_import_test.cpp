// The word batch imports: word files opened and imported through the word
// batch button, their Spanish sides cut into key tokens, staged, and merged
// into one WordStore and one WordSearchStore record per key word, with what
// the user then finds by typing and what the tables hold on disk.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <map>
#include <thread>

#include "app/FrmLexaro.h"
#include "import/FMCT.h"
#include "store/batch_transaction.h"
#include "support/dictionary.h"

namespace zuvo {
namespace {

using namespace zuvo::testing;

constexpr TextView kDone = u"恭喜您顺利完成批量单词添加！";

// Rows as another program sees them, the columns joined by "|", NULL as
// "NULL". It opens the file for writing, as SQLite needs to roll back what
// a killed run left unfinished.
std::vector<std::string> onDisk(const std::filesystem::path& file, const std::string& sql) {
  return tableRows(file, sql, "|", {.writable = true});
}

// A word file as a user prepares one: UTF-8, CR LF after every line.
std::filesystem::path writeFile(const std::filesystem::path& file, const std::vector<std::string>& lines) {
  std::ofstream out(file, std::ios::binary);
  for (const auto& l : lines) out << l << "\r\n";
  return file;
}

class WordImportTest : public ProgramTest {
 protected:
  TempDir files;
  int fileCount = 0;

  void SetUp() override { start({{u"你好。", u"Hola."}}); }
  std::vector<MessageRecord>& messages() { return p->dialogs().messages; }

  // "PLT", the word batch button to open the file, and again to import it.
  void importWords(const std::vector<std::string>& lines) {
    const auto file = writeFile(files.path() / ("words" + std::to_string(fileCount++) + ".txt"), lines);
    if (!f->Command69.Visible) {
      ASSERT_TRUE(user().click(f->Command11));
    }
    ASSERT_TRUE(f->Command69.Visible);
    p->dialogs().fileAnswers.push_back(fromUtf8(file.string()));
    ASSERT_TRUE(user().click(f->Command69));
    ASSERT_TRUE(f->RichTextBox1.Visible);
    ASSERT_TRUE(user().click(f->Command69));
  }

  std::vector<std::string> words() { return onDisk(dir.path() / "CKUA.db", "SELECT ZD1, ZD2, ZD3, ZD5 FROM 表1 ORDER BY ID"); }
  std::vector<std::string> wordSearch() { return onDisk(dir.path() / "CKUB.db", "SELECT ZD2, ZD1 FROM 表1 ORDER BY ID"); }
  std::vector<std::string> stagedKeys() {
    return onDisk(dir.path() / "CKUA0F.db", "SELECT ZD1, ZD2, ZD3, ZD4 FROM 表1 ORDER BY ID");
  }
  std::vector<std::string> pool() {
    return onDisk(dir.path() / "CKUB0F.db", "SELECT ZD1, ZD2, ZD3, ZD4 FROM 表1 ORDER BY ID");
  }
  void typeQuery(TextView text) {
    user().click(f->RichTextBox16);
    user().type(f->RichTextBox16, text);
  }
};

TEST_F(WordImportTest, StagingTablesAreCreatedEmptyInANewDataFolder) {
  EXPECT_TRUE(stagedKeys().empty());
  EXPECT_TRUE(pool().empty());
}

// Each line's key tokens, as the staging table lists them under the line's
// Spanish side; sides that stage nothing do not appear.
TEST_F(WordImportTest, KeyTokensFollowTheStopSkipAndLastTokenRules) {
  struct Case {
    std::string side;
    std::vector<std::string> keys;
  };
  const std::vector<Case> cases = {
      // stop tokens are whole tokens; the last token carries its line end
      {"el libro de texto", {"libro", "texto"}},
      {"la biblioteca municipal", {"biblioteca", "municipal"}},
      {"Una casa", {"Una", "casa"}},
      {"por", {"por"}},
      {"las", {"las"}},
      {"es", {"es"}},
      {"Con", {"Con"}},
      // the last token by its length: up to 4 characters with CR LF
      {"de", {}},
      {"y", {}},
      {"a", {}},
      {"al", {}},
      {"su", {}},
      {"ver en", {"ver"}},
      {"dar la", {"dar"}},
      {"tengo ya", {"tengo"}},
      {"ir a?", {"ir"}},
      {"ve !", {"ve"}},
      {"mi (a", {"mi"}},
      // ... and longer
      {"con", {}},
      {"sus", {}},
      {"todos sus", {"todos"}},
      {"hacer (algo)", {"hacer"}},
      {"casa (coloq.)", {"casa"}},
      {"ir al cine～", {"ir"}},
      {"muy bien!", {"muy"}},
      {"beber agua,", {"beber"}},
      {"bueno）", {}},
      // endings, first characters and marks for every token
      {"hablaron bien", {"bien"}},
      {"ellos comieron", {"ellos"}},
      {"vamos allá", {"allá"}},
      {"(coloquial) perro", {"perro"}},
      {"（书） gato", {"gato"}},
      {"?qué tal", {"tal"}},
      {"!hola amigo", {"amigo"}},
      {"mano) derecha", {"derecha"}},
      {"comer, beber", {"beber"}},
      {"hola! amigos", {"amigos"}},
      // digits: a token ending in a digit gives way to the next one
      {"2000 aňos", {"aňos"}},
      {"aňo 2000", {"aňo", "2000"}},
      {"3 4 casas", {"4", "casas"}},
      {"1 2 3", {"2", "3"}},
      {"piso3 alto", {"alto"}},
      // accented letters, ň for ñ
      {"él come", {"come"}},
      {"niňo pequeňo", {"niňo", "pequeňo"}},
      {"sueňo profundo", {"sueňo", "profundo"}},
      // the same token twice stages twice
      {"paso a paso", {"paso", "paso"}},
      // no empty key and no key of a line end alone
      {"  doble", {"doble"}},
      {"casa  grande", {"casa", "grande"}},
      {"al final ", {"final"}},
      {" ", {}},
      {"", {}},
  };
  std::vector<std::string> lines;
  for (size_t i = 0; i < cases.size(); ++i) lines.push_back(cases[i].side + "/义" + std::to_string(i));
  importWords(lines);
  ASSERT_EQ(messages().back().prompt, kDone);

  std::map<std::string, std::vector<std::string>> staged;
  for (const auto& row : stagedKeys()) {
    const auto bar1 = row.find('|');
    const auto bar2 = row.find('|', bar1 + 1);
    staged[row.substr(bar1 + 1, bar2 - bar1 - 1)].push_back(row.substr(0, bar1));
  }
  for (const auto& c : cases) {
    SCOPED_TRACE("side \"" + c.side + "\"");
    EXPECT_EQ(staged[c.side], c.keys);
  }
}

TEST_F(WordImportTest, EveryStopTokenIsSkippedBeforeAnotherWord) {
  const std::vector<std::string> stops = {
      "El", "el",  "Al",  "él",  "al",  "a",   "A",    "de",  "las",  "los",  "Las", "Los", "La",
      "Lo", "lo",  "la",  "En",  "en",  "Un",  "un",   "por", "con",  "Por",  "Con", "del", "!",
      "se", "Del", "e",   "Se",  "o",   "y",   "una",  "su",  "uno",  "es",   "sus", "ella", "ello",
      "(de)", "no", "Ese", "que", "el,", "para", "+",  "a,",  "(de", "+inf"};
  ASSERT_EQ(stops.size(), 49u);
  std::vector<std::string> lines;
  for (size_t i = 0; i < stops.size(); ++i) lines.push_back(stops[i] + " palabra" + std::to_string(i) + "/词");
  importWords(lines);
  const auto rows = stagedKeys();
  ASSERT_EQ(rows.size(), stops.size());
  for (size_t i = 0; i < stops.size(); ++i)
    EXPECT_EQ(rows[i].substr(0, rows[i].find('|')), "palabra" + std::to_string(i)) << stops[i];
}

TEST_F(WordImportTest, OneRecordPerKeyGathersEveryLineOfThatKey) {
  importWords({"casa grande/大房子", "una casa/一所房子", "casa casa/房房", "", "casa vieja/旧房子"});
  ASSERT_EQ(messages().back().prompt, kDone);
  EXPECT_EQ(words(), (std::vector<std::string>{
                         "casa|casa grande|大房子|casa grande◆大房子\r\nuna casa◆一所房子\r\ncasa casa◆房房\r\n"
                         "casa casa◆房房\r\n",
                         "grande|casa grande|大房子|casa grande◆大房子\r\n",
                     }));
  EXPECT_EQ(wordSearch(), (std::vector<std::string>{
                              "casa|casa grande◆大房子\r\nuna casa◆一所房子\r\ncasa casa◆房房\r\ncasa casa◆房房\r\n",
                              "grande|casa grande◆大房子\r\n",
                          }));
  // Nothing of the lines after the empty one is staged; no row is removed,
  // and every merged pool row is blanked.
  EXPECT_EQ(stagedKeys().size(), 5u);
  EXPECT_EQ(pool(), std::vector<std::string>(5, "|||NULL"));
  // The import ends on the lookup screen with batch mode off.
  EXPECT_FALSE(f->Command69.Visible);
  EXPECT_FALSE(f->RichTextBox1.Visible);
  EXPECT_EQ(f->Command69.Caption, u"批量单词添加(&E)");
  EXPECT_FALSE(f->ProgressBar1.Visible);
  EXPECT_EQ(f->Text30.text(), u"0");
}

TEST_F(WordImportTest, ASecondImportAddsRecordsAndAnEarlierKeyRowCollectsTheNewLines) {
  importWords({"casa grande/大房子"});
  importWords({"casa roja/红房子"});
  EXPECT_EQ(words(), (std::vector<std::string>{
                         "casa|casa grande|大房子|casa grande◆大房子\r\n",
                         "grande|casa grande|大房子|casa grande◆大房子\r\n",
                         "casa|casa roja|红房子|casa roja◆红房子\r\n",
                         "roja|casa roja|红房子|casa roja◆红房子\r\n",
                     }));
  EXPECT_EQ(wordSearch().size(), 4u);
  EXPECT_EQ(stagedKeys().size(), 4u);
  EXPECT_EQ(pool(), std::vector<std::string>(4, "|||NULL"));

  // An import that stages nothing still walks every key row ever staged,
  // one tick each, and writes nothing.
  int ticks = 0;
  p->app().onProgress = [&] { ++ticks; };
  importWords({"de la/的"});
  EXPECT_EQ(messages().back().prompt, kDone);
  EXPECT_EQ(ticks, 4);
  EXPECT_EQ(words().size(), 4u);
}

TEST_F(WordImportTest, ThreeFieldLinesCarryTheirThirdFieldAsASecondLine) {
  importWords({"casa grande/大房子/Es una casa grande.", "mi casa/我的家/"});
  ASSERT_EQ(messages().back().prompt, kDone);
  EXPECT_EQ(words(), (std::vector<std::string>{
                         "casa|casa grande|大房子|casa grande◆大房子\r\nEs una casa grande.\r\nmi casa◆我的家\r\n\r\n",
                         "grande|casa grande|大房子|casa grande◆大房子\r\nEs una casa grande.\r\n",
                         "mi|mi casa|我的家|mi casa◆我的家\r\n\r\n",
                     }));
  EXPECT_EQ(wordSearch()[0], "casa|casa grande◆大房子\r\nEs una casa grande.\r\nmi casa◆我的家\r\n\r\n");
  // The third field stays in the blanked pool rows.
  EXPECT_EQ(pool(), (std::vector<std::string>{"|||Es una casa grande.", "|||Es una casa grande.", "|||NULL",
                                              "|||NULL"}));
  EXPECT_EQ(stagedKeys()[0], "casa|casa grande|大房子|Es una casa grande.");
}

// Both workers share the staging tables: the three-field merge walks the key
// rows the two-field import staged, and an earlier key row collects the new
// line with its third field.
TEST_F(WordImportTest, TwoAndThreeFieldImportsShareTheStagingTables) {
  importWords({"casa grande/大房子"});
  importWords({"casa roja/红房子/La casa es roja."});
  EXPECT_EQ(messages().back().prompt, kDone);
  EXPECT_EQ(words(), (std::vector<std::string>{
                         "casa|casa grande|大房子|casa grande◆大房子\r\n",
                         "grande|casa grande|大房子|casa grande◆大房子\r\n",
                         "casa|casa roja|红房子|casa roja◆红房子\r\nLa casa es roja.\r\n",
                         "roja|casa roja|红房子|casa roja◆红房子\r\nLa casa es roja.\r\n",
                     }));
  EXPECT_EQ(stagedKeys().size(), 4u);
}

TEST_F(WordImportTest, AnImportedWordIsFoundByTypingItAndShownWithItsMergedLines) {
  importWords({"el libro de texto/课本", "texto escolar/教科书"});
  ASSERT_EQ(messages().back().prompt, kDone);
  // The last word of a line is one key with the same word elsewhere.
  EXPECT_EQ(words()[1], "texto|el libro de texto|课本|el libro de texto◆课本\r\ntexto escolar◆教科书\r\n");

  typeQuery(u"texto");
  EXPECT_TRUE(f->Text112.Visible);
  EXPECT_EQ(f->Text112.text(), u"el libro de texto");
  EXPECT_EQ(f->RichTextBox15.text(), u"课本");
  EXPECT_EQ(f->RichTextBox14.text(), u"el libro de texto◆课本\r\ntexto escolar◆教科书\r\n");

  restart();
  typeQuery(u"escolar");
  EXPECT_EQ(f->RichTextBox15.text(), u"教科书");
}

// An edit in the word view rewrites the word's own line of its merged
// search record; the example line under it and the other words' lines stay,
// where the range query looks for them.
TEST_F(WordImportTest, AnEditOfAMergedWordKeepsItsExampleLinesSearchable) {
  importWords({"casa grande/大房子/Es una casa grande.", "mi casa/我的家/Mi casa es tu casa."});
  ASSERT_EQ(messages().back().prompt, kDone);
  typeQuery(u"casa");
  ASSERT_EQ(f->Text112.text(), u"casa grande");
  ASSERT_TRUE(user().select(f->Text112, 0, 0));
  ASSERT_TRUE(user().type(f->Text112, u"X"));
  const Text rest = u"\r\nEs una casa grande.\r\nmi casa◆我的家\r\nMi casa es tu casa.\r\n";
  EXPECT_EQ(f->Text31.text(), u"Xcasa grande◆大房子" + rest);

  // The meaning editor, opened by a click in its pane, a line break typed
  // and then taken out again.
  ASSERT_TRUE(user().click(f->RichTextBox15));
  ASSERT_TRUE(f->Text113.Visible);
  ASSERT_TRUE(user().select(f->Text113, 3, 0));
  ASSERT_TRUE(user().type(f->Text113, u"\r很"));
  EXPECT_EQ(f->Text31.text(), u"Xcasa grande◆大房子\r\n很" + rest);
  ASSERT_TRUE(user().select(f->Text113, 3, 2));
  ASSERT_TRUE(user().type(f->Text113, u"，"));
  EXPECT_EQ(f->Text31.text(), u"Xcasa grande◆大房子，很" + rest);

  // Back in the head box the line is found by the meaning the pane shows.
  ASSERT_TRUE(user().click(f->Text112, 1));
  ASSERT_TRUE(user().type(f->Text112, u"Y"));
  EXPECT_EQ(f->Text31.text(), u"XYcasa grande◆大房子，很" + rest);

  typeQuery(u"mi");  // the word store moves on and both records are saved
  EXPECT_EQ(wordSearch()[0], "casa|XYcasa grande◆大房子，很\r\nEs una casa grande.\r\nmi casa◆我的家\r\nMi casa es tu "
                             "casa.\r\n");
}

// Ticks of the merge worker's TickMainProgress as the main window's
// counter and bar show them.
TEST_F(WordImportTest, ProgressTicksRunInExactDecimalStepsUpTo100) {
  FMCT* worker = nullptr;
  p->event([&] { worker = &p->form<FMCT>(); });
  auto tenths = [](int v) {
    std::string s = std::to_string(v / 10);
    if (v % 10) s += "." + std::to_string(v % 10);
    return fromUtf8(s);
  };
  p->event([&] {
    f->Text30.setText(u"0");
    for (int k = 1; k <= 600; ++k) {
      worker->Command2_Click();
      SCOPED_TRACE(k);
      ASSERT_TRUE(f->ProgressBar1.Visible);
      if (k < 500) {
        ASSERT_EQ(f->Text30.text(), tenths(2 * k));
        ASSERT_FLOAT_EQ(f->ProgressBar1.Value, static_cast<float>(k * 0.2));
      } else if (k == 500) {
        ASSERT_EQ(f->Text30.text(), u"0");
        ASSERT_FLOAT_EQ(f->ProgressBar1.Value, 100);
      }
    }
    EXPECT_EQ(f->Text30.text(), u"20");
    // After a clean check the counter starts at the file's "/" count.
    f->Text30.setText(u"1");
    worker->Command2_Click();
    EXPECT_EQ(f->Text30.text(), u"1.2");
  });
}

TEST_F(WordImportTest, AFailedImportLandsNothingAndItsStagedRowsAreNeverMergedLater) {
  importWords({"perro negro/黑狗"});
  // The word search table refuses new records, as a full disk would.
  execOn(dir.path() / "CKUB.db",
         "CREATE TRIGGER full BEFORE INSERT ON 表1 BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END");
  restart();
  importWords({"casa grande/大房子", "perro grande/大狗"});
  ASSERT_FALSE(messages().empty());
  EXPECT_NE(messages().back().prompt, kDone);
  EXPECT_NE(messages().back().prompt.find(u"disk is full"), Text::npos);
  EXPECT_EQ(words().size(), 2u);
  EXPECT_EQ(stagedKeys().size(), 2u);
  EXPECT_EQ(pool(), std::vector<std::string>(2, "|||NULL"));
  // The file stays in its pane, the button ready to import it again.
  EXPECT_TRUE(f->Command69.Visible);
  EXPECT_TRUE(f->RichTextBox1.Visible);
  EXPECT_NE(f->RichTextBox1.text().find(u"casa grande/大房子"), Text::npos);
  EXPECT_FALSE(f->ProgressBar1.Visible);

  execOn(dir.path() / "CKUB.db", "DROP TRIGGER full");
  restart();
  importWords({"casa roja/红房子"});
  EXPECT_EQ(messages().back().prompt, kDone);
  EXPECT_EQ(words(), (std::vector<std::string>{
                         "perro|perro negro|黑狗|perro negro◆黑狗\r\n",
                         "negro|perro negro|黑狗|perro negro◆黑狗\r\n",
                         "casa|casa roja|红房子|casa roja◆红房子\r\n",
                         "roja|casa roja|红房子|casa roja◆红房子\r\n",
                     }));
}

TEST_F(WordImportTest, AnEmptyKeyLeftInTheStagingTablesHasNoMatch) {
  // Rows an earlier program left: an empty key and a blanked pool row.
  execOn(dir.path() / "CKUA0F.db", "INSERT INTO 表1 (ZD1, ZD2, ZD3) VALUES ('', 'x', 'y')");
  execOn(dir.path() / "CKUB0F.db", "INSERT INTO 表1 (ZD1, ZD2, ZD3) VALUES ('', '', '')");
  restart();
  importWords({"gato negro/黑猫"});
  EXPECT_EQ(messages().back().prompt, kDone);
  EXPECT_EQ(words().size(), 2u);
}

// The staged rows an import keeps in memory until it commits reach the
// files as rows written at once would leave them: every table, row for row
// with its ID, in the order of each index, after imports over staging rows
// that an earlier program left unmerged (found in the file and in memory by
// one Seek) and over both kinds of word file; also when the rows outgrow
// their memory every few rows and go to the file part by part.
TEST_F(WordImportTest, RowsHeldUntilTheCommitLeaveTheTablesAsRowsWrittenAtOnce) {
  const std::vector<std::vector<std::string>> imports = {
      {"casa grande/大房子", "una casa roja/红房子", "casa casa/房房", "perro, gato/狗猫", "río 2 agua/河水",
       "gato casa perro/猫房狗", "agua casa/水房"},
      {"casa nueva/新房子/Es nueva.", "agua fría/冷水/", "gato negro/黑猫/Un gato."},
      {"perro grande/大狗", "casa/房子", "(nada) agua/水"},
  };
  auto tablesAfterImports = [&](size_t keyRowsHeld, size_t poolRowsHeld) {
    TempDir data;
    writeDictionary(data.path(), {{u"你好。", u"Hola."}}, {}, {});
    p = std::make_unique<Program>(data.path());
    f = &startMainWindow(*p);
    // Rows an earlier program staged and never merged, one with an empty key.
    execOn(data.path() / "CKUA0F.db",
           "INSERT INTO 表1 (ZD1, ZD2, ZD3) VALUES ('casa', 'casa vieja', '旧房子'), ('', 'x', 'y'), "
           "('vieja', 'casa vieja', '旧房子')");
    execOn(data.path() / "CKUB0F.db",
           "INSERT INTO 表1 (ZD1, ZD2, ZD3, ZD4) VALUES ('casa', 'casa vieja', '旧房子', 'v'), ('', '', '', NULL), "
           "('agua', 'agua', '水', NULL)");
    restart();
    for (WordMergeWorker* worker : {static_cast<WordMergeWorker*>(&p->app().form<FMCT>()),
                                    static_cast<WordMergeWorker*>(&p->app().form<FMCT2>())}) {
      worker->keyRowsHeldBytes = keyRowsHeld;
      worker->poolRowsHeldBytes = poolRowsHeld;
    }
    for (const auto& lines : imports) {
      importWords(lines);
      EXPECT_EQ(messages().back().prompt, kDone);
    }
    p.reset();
    std::vector<std::string> out;
    for (const TableSchema& s : {tables::words(), tables::wordSearch(), tables::wordStagingKeys(),
                                 tables::wordStagingPool()}) {
      const auto file = data.path() / s.file;
      for (const auto& r : onDisk(file, "SELECT sql FROM sqlite_master ORDER BY name")) out.push_back(r);
      for (const auto& r : onDisk(file, "SELECT rowid, * FROM 表1 ORDER BY rowid")) out.push_back(r);
      for (const auto& ix : s.indexes)
        for (const auto& r : onDisk(file, "SELECT rowid FROM 表1 INDEXED BY \"表1_" + ix + "\" ORDER BY " + ix + ", rowid"))
          out.push_back(s.file + " " + ix + " " + r);
      out.push_back(onDisk(file, "PRAGMA integrity_check").at(0));
    }
    return out;
  };
  const auto atOnce = tablesAfterImports(0, 0);
  // The earlier program's pool rows were merged with the new ones.
  EXPECT_NE(std::find(atOnce.begin(), atOnce.end(), "1|1||||v"), atOnce.end());
  EXPECT_EQ(tablesAfterImports(size_t{1} << 20, size_t{1} << 20), atOnce);
  // A few rows at a time: the key rows held apart from the pool rows.
  EXPECT_EQ(tablesAfterImports(700, 900), atOnce);
}

// A held pool row whose key is rewritten leaves its old key and joins the
// new one, for a Seek in memory as in the file: blanked rows are no longer
// found under their word (the merge's search would never end otherwise),
// and a row moved to another word is found there. Each Seek loop is bounded,
// so a broken rewrite fails here instead of searching for ever.
TEST_F(WordImportTest, AHeldRowWhoseKeyIsRewrittenIsSoughtUnderItsNewKeyOnly) {
  auto& worker = p->app().form<FMCT>();
  const struct {
    const char* name;
    Text rewrite;                  // the new key of every "casa" row as it is found
    std::vector<Text> underCasa;   // the rows found under "casa", one Seek after each rewrite
    std::vector<Text> underNew;    // then the first row under the new key, by its Spanish side
  } cases[] = {
      {"blanked", u"", {u"casa 1", u"casa 3"}, {}},
      {"moved to another word", u"hogar", {u"casa 1", u"casa 3"}, {u"casa 1"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<Text> casa, renamed, perro;
    p->event([&] {
      BatchTransaction batch{&worker.Data3, &worker.Data4, &worker.Data2, &worker.Data1};
      batch.holdNewRows(worker.Data1, size_t{1} << 20);
      batch.holdNewRows(worker.Data2, size_t{1} << 20);
      for (const auto& [key, side] : {std::pair{u"casa", u"casa 1"}, std::pair{u"perro", u"perro 2"},
                                      std::pair{u"casa", u"casa 3"}}) {
        worker.Data1.AddNew();
        worker.Data2.AddNew();
        worker.Text1.setText(key);
        worker.Text4.setText(key);
        worker.Text5.setText(side);
      }
      worker.Data2.setIndex("ZD1");
      const auto seekAll = [&](TextView key, std::vector<Text>& found, const Text* rewrite) {
        for (int i = 0; i < 5; ++i) {
          worker.Data2.Seek("=", key);
          if (worker.Data2.NoMatch()) return;
          found.push_back(worker.Text5.text());
          if (!rewrite) return;  // only the key's first row
          worker.Text4.setText(*rewrite);
        }
        ADD_FAILURE() << "the Seek of " << toUtf8(key) << " found a rewritten row again";
      };
      seekAll(u"casa", casa, &c.rewrite);
      if (!c.rewrite.empty()) seekAll(c.rewrite, renamed, nullptr);
      seekAll(u"perro", perro, nullptr);
      batch.rollback();
    });
    EXPECT_EQ(casa, c.underCasa);
    EXPECT_EQ(renamed, c.underNew);
    EXPECT_EQ(perro, std::vector<Text>{u"perro 2"});
  }
}

TEST_F(WordImportTest, AFirstImportIntoAnEmptyDictionaryEndsOnTheLookupScreen) {
  TempDir fresh;
  p = std::make_unique<Program>(fresh.path());
  f = &startMainWindow(*p);
  ASSERT_TRUE(user().click(f->Command11));  // shows how to add
  ASSERT_TRUE(user().click(f->Command11));  // batch mode
  const auto file = writeFile(files.path() / "first.txt", {"agua fría/冷水"});
  p->dialogs().fileAnswers.push_back(fromUtf8(file.string()));
  ASSERT_TRUE(user().click(f->Command69));
  ASSERT_TRUE(user().click(f->Command69));
  EXPECT_EQ(messages().back().prompt, kDone);
  EXPECT_EQ(onDisk(fresh.path() / "CKUA.db", "SELECT ZD1 FROM 表1 ORDER BY ID"),
            (std::vector<std::string>{"agua", "fría"}));
  EXPECT_FALSE(f->Command69.Visible);
  typeQuery(u"agua");
  EXPECT_EQ(f->RichTextBox15.text(), u"冷水");
}

// A run killed at any moment of an import leaves the import whole or not at
// all, and a later import never merges what the killed run staged.
TEST_F(WordImportTest, AKillDuringAnImportLeavesAllOrNothing) {
  // Three keys a line: one of its own (letters only: a final digit would
  // skip it) and two that every line shares.
  std::vector<std::string> lines;
  for (int i = 0; i < 400; ++i) {
    std::string own = "pal";
    for (int n = i; n; n /= 26) own += static_cast<char>('a' + n % 26);
    lines.push_back(own + " nueva comun/词" + std::to_string(i));
  }
  const auto file = writeFile(files.path() / "big.txt", lines);
  p.reset();

  // The child opens the file and imports it as the user would.
  auto runImport = [&](const std::filesystem::path& data) {
    Program child(data);
    FrmLexaro& w = startMainWindow(child);
    child.user().click(w.Command11);
    child.dialogs().fileAnswers.push_back(fromUtf8(file.string()));
    child.user().click(w.Command69);
    child.user().click(w.Command69);
  };
  std::chrono::steady_clock::duration full;
  {
    TempDir reference;
    writeDictionary(reference.path(), {{u"你好。", u"Hola."}});
    const auto t0 = std::chrono::steady_clock::now();
    runImport(reference.path());
    full = std::chrono::steady_clock::now() - t0;
  }

  for (int k = 1; k <= 6; ++k) {
    SCOPED_TRACE("kill " + std::to_string(k));
    TempDir data;
    writeDictionary(data.path(), {{u"你好。", u"Hola."}});
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      runImport(data.path());
      _exit(0);
    }
    std::this_thread::sleep_for(full * k / 7);
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);

    const auto keys = onDisk(data.path() / "CKUA.db", "SELECT ZD1 FROM 表1");
    const auto search = onDisk(data.path() / "CKUB.db", "SELECT ZD2 FROM 表1");
    const auto staged = onDisk(data.path() / "CKUB0F.db", "SELECT ZD1 FROM 表1");
    EXPECT_TRUE(keys.empty() || keys.size() == 402u) << keys.size();
    EXPECT_EQ(search.size(), keys.size());
    EXPECT_TRUE(staged.empty() || staged.size() == 1200u) << staged.size();
    for (const auto& s : staged) EXPECT_EQ(s, "");

    Program after(data.path());
    FrmLexaro& w = startMainWindow(after);
    after.user().click(w.Command11);
    after.dialogs().fileAnswers.push_back(
        fromUtf8(writeFile(data.path() / "next.txt", {"comun corriente/普通"}).string()));
    after.user().click(w.Command69);
    after.user().click(w.Command69);
    const auto comun = onDisk(data.path() / "CKUA.db", "SELECT ZD5 FROM 表1 WHERE ZD1 = 'comun' ORDER BY ID");
    ASSERT_FALSE(comun.empty());
    EXPECT_EQ(comun.back(), "comun corriente◆普通\r\n");
  }
}

}  // namespace
}  // namespace zuvo
