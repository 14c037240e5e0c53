// Another program's locks on the table files, and the file checks a save
// meets. A lock is told as a file in use, never as damage; a save and a
// lookup wait for it; a save that cannot wait long enough stores nothing
// and keeps what the user typed, for the same press to save it later. A
// file is known sound before this run first writes into it, and the checks
// give way to every save they do not have to come before.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <cstring>
#include <chrono>
#include <fstream>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "app/FrmLexaro.h"
#include "store/data_source.h"
#include "store/store_connection.h"
#include "store/tables.h"
#include "support/dictionary.h"
#include "support/lock_watch.h"
#include "support/places.h"
#include "support/save_gestures.h"
#include "support/word_files.h"

namespace zuvo {
namespace {

using namespace zuvo::testing;
using Clock = std::chrono::steady_clock;

// What the user is told when a file is in use: never in the words of damage.
bool toldInUse(const Text& prompt) {
  return prompt.find(u"另一个程序") != Text::npos && prompt.find(u"出错") == Text::npos &&
         prompt.find(u"损坏") == Text::npos;
}

// Every file of the program goes through the lock watch, from its first.
const bool kLocksWatched = (LockWatch::install(), true);

// Another program's hold on a table file: a read ("BEGIN; SELECT …") or its
// write lock, kept until released, by the test or, once the program's event
// thread has met a lock, by a thread of its own.
class OtherProgram {
 public:
  enum Hold { Read, Write };
  OtherProgram(const std::filesystem::path& file, Hold hold) {
    EXPECT_EQ(sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE, LockWatch::platform()), SQLITE_OK);
    sqlite3_busy_timeout(db_, 20000);
    const char* sql = hold == Read ? "BEGIN; SELECT count(*) FROM \"表1\";" : "BEGIN EXCLUSIVE;";
    EXPECT_EQ(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db_);
  }
  ~OtherProgram() {
    if (thread_.joinable()) {
      LockWatch::wakeAll();
      thread_.join();
    }
    release();
    sqlite3_close(db_);
  }
  void release() {
    std::lock_guard lock(m_);
    if (held_) sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    held_ = false;
  }
  // Released as soon as the thread that calls this meets a lock; from then
  // on the program waits for it.
  void releaseOnceWaitedFor() {
    LockWatch::watchThisThread();
    thread_ = std::thread([this] {
      LockWatch::waitForRefusal();
      release();
    });
  }

 private:
  sqlite3* db_ = nullptr;
  std::mutex m_;
  bool held_ = true;
  std::thread thread_;
};

// --- a file check held under way ---------------------------------------------------

// The checks no save waits for, of files whose name ends so ("" for every
// file): held where they stand until released (`hold`), or read one step at
// a time, slowly, so that an interrupt still stops them. `reached` tells
// that one of them is well into its read.
struct StalledChecks {
  static inline std::atomic<const char*> name{nullptr};
  static inline std::atomic<bool> hold{false};
  static inline std::atomic<bool> reached{false};
  static inline std::atomic<bool> released{false};
  static inline std::atomic<int> steps{0};
  // Set when the program is about to stop its checks: the steps they read
  // after it. Past a few of them a check is let read on at full speed.
  static inline std::atomic<bool> stopping{false};
  static inline std::atomic<int> stepsAfterStop{0};
  static constexpr int kReadOn = 50;
  static void progress(const char* file, const std::atomic<bool>& waitedFor) {
    const char* n = name.load();
    if (!n || released || waitedFor) return;
    const std::string f = file;
    if (f.size() < std::strlen(n) || f.compare(f.size() - std::strlen(n), std::string::npos, n) != 0) return;
    if (stopping && ++stepsAfterStop > kReadOn) return;
    // A slow one well into its read: its file is read-locked by then.
    if (hold || ++steps > 100) reached = true;
    const auto until = Clock::now() + std::chrono::seconds(20);
    do {
      std::this_thread::sleep_for(std::chrono::milliseconds(hold ? 2 : 20));
    } while (hold && !released && !waitedFor && Clock::now() < until);
  }
  StalledChecks(const char* file, bool holdThem) {
    name = file;
    hold = holdThem;
    reached = false;
    released = false;
    steps = 0;
    stopping = false;
    stepsAfterStop = 0;
    checkProgressForTests = &progress;
  }
  // Released before the programs that check go.
  ~StalledChecks() { released = true; }
  // Unset only once no program of the test checks any more.
  static void unset() {
    checkProgressForTests = nullptr;
    name = nullptr;
  }
};

bool waitFor(const std::function<bool()>& done, std::chrono::seconds at_most = std::chrono::seconds(60)) {
  const auto until = Clock::now() + at_most;
  while (!done() && Clock::now() < until) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return done();
}

// A word and its search line, saved together.
class WordPair : public WordPairWindow {
 public:
  explicit WordPair(Application& app) : WordPairWindow(app, /*withMeaning=*/false) {}

  void addWord(TextView key, TextView spanish) {
    Data6.AddNew();
    Data7.AddNew();
    Text51.setText(key);
    Text112.setText(spanish);
    Text36.setText(key);
    Text31.setText(Text(spanish) + u"◆" + Text(key));
    Data6.MoveFirst();
    Data7.MoveFirst();
  }
  bool checked() const { return Data6.fileChecked() && Data7.fileChecked(); }
};

Text longKey(int i) { return Text(60, u'词') + NumText(i); }

void addLongWords(Program& q, int n) {
  q.event([&] {
    for (int i = 1; i <= n; ++i) q.form<WordPair>().addWord(longKey(i), Text(200, u'西') + NumText(i));
  });
}

void damagePage(const std::filesystem::path& file, int64_t page) {
  std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
  f.seekp((page - 1) * 4096);
  const std::string noise(4096, '\xA5');
  f.write(noise.data(), static_cast<std::streamsize>(noise.size()));
}

class StoreLocksTest : public ::testing::Test {
 protected:
  void TearDown() override { StalledChecks::unset(); }
  TempDir dir;
};

// --- waiting for another program ----------------------------------------------------

// Another program reads the sentence table, or holds its write lock, and
// lets go while the program waits for it: a save, and a lookup, wait for it
// and go through.
TEST_F(StoreLocksTest, ASaveAndALookupWaitForAnotherProgramsLockAndGoThroughOnceItEnds) {
  struct Case {
    const char* name;
    OtherProgram::Hold hold;
    bool save;  // else a lookup
  };
  for (const Case& c : {Case{"a save behind a read", OtherProgram::Read, true},
                        Case{"a save behind a write lock", OtherProgram::Write, true},
                        Case{"a lookup behind a write lock", OtherProgram::Write, false}}) {
    SCOPED_TRACE(c.name);
    TempDir folder;
    writeDictionary(folder.path(), {{u"你好。", u"Hola."}});
    Program q(folder.path());
    FrmLexaro& w = startMainWindow(q);
    // Another program's save, so that the lookup reads the file again.
    ASSERT_NO_FATAL_FAILURE(execOn(folder.path() / "XHKA.db", "UPDATE \"表1\" SET rowid = rowid WHERE rowid = 1"));
    {
      OtherProgram other(folder.path() / "XHKA.db", c.hold);
      other.releaseOnceWaitedFor();
      if (c.save) {
        q.event([&] {
          w.Data1.AddNew();
          w.Data2.AddNew();
          w.Text2.setText(u"新句子。");
          w.Text3.setText(u"Frase nueva.");
          w.Text14.setText(u"新句子。/Frase nueva.");
          w.Data1.MoveLast();
          w.Data2.MoveLast();
        });
      } else {
        q.event([&] {
          w.Data1.setIndex("ID");
          w.Data1.Seek("=", u"1");
        });
        EXPECT_EQ(w.Text2.text(), u"你好。");
      }
      EXPECT_GT(LockWatch::refused(), 0);  // it was kept waiting
    }
    EXPECT_TRUE(q.dialogs().messages.empty()) << toUtf8(q.dialogs().messages.empty() ? Text() : q.dialogs().messages[0].prompt);
    if (c.save) {
      EXPECT_EQ(onDisk(folder.path() / "XHKA.db", "SELECT ZD3 FROM \"表1\" ORDER BY ID"),
                (std::vector<std::string>{"你好。", "新句子。"}));
    }
  }
}

// Held for longer than the program waits: the lookup and the save are told
// that another program uses the file, and the file is not taken for damaged:
// the next save, once it is free, goes in.
TEST_F(StoreLocksTest, ALockHeldLongerThanTheWaitIsToldAsAFileInUseForReadsAndSaves) {
  writeDictionary(dir.path(), {{u"你好。", u"Hola."}});
  Program q(dir.path());
  FrmLexaro& w = startMainWindow(q);
  {
    OtherProgram other(dir.path() / "XHKA.db", OtherProgram::Write);
    q.event([&] {
      w.Data1.setIndex("ID");
      w.Data1.Seek("=", u"1");
    });
    q.event([&] {
      w.Data1.AddNew();
      w.Text2.setText(u"新句子。");
      w.Data1.MoveLast();
    });
  }
  ASSERT_EQ(q.dialogs().messages.size(), 2u);
  for (const auto& m : q.dialogs().messages) {
    EXPECT_TRUE(toldInUse(m.prompt)) << toUtf8(m.prompt);
    EXPECT_NE(m.prompt.find(fromUtf8((dir.path() / "XHKA.db").string())), Text::npos) << toUtf8(m.prompt);
  }
  EXPECT_EQ(w.Data1.whyNoSave(), "");
  q.event([&] {
    w.Data1.AddNew();
    w.Data2.AddNew();
    w.Text2.setText(u"新句子。");
    w.Text14.setText(u"新句子。/");
    w.Data1.MoveLast();
  });
  EXPECT_EQ(q.dialogs().messages.size(), 2u);
  EXPECT_EQ(onDisk(dir.path() / "XHKA.db", "SELECT ZD3 FROM \"表1\" ORDER BY ID"),
            (std::vector<std::string>{"你好。", "新句子。"}));
}

// --- every save keeps what was typed -------------------------------------------------

class SaveKeptOutTest;
struct SaveCase {
  const char* name;
  const char* file;  // the table file another program reads meanwhile
  std::vector<WordRow> words;
  std::function<void(SaveKeptOutTest&)> type;   // the panel opened and filled in
  std::function<void(SaveKeptOutTest&)> press;  // the save
  std::function<void(SaveKeptOutTest&)> kept;   // what the user typed, as the failed save leaves it
  std::function<void(SaveKeptOutTest&)> again;  // the save made again once the file is free ("": press)
  const char* sql;
  std::vector<std::string> stored;  // `sql` on `file` once saved
  OtherProgram::Hold hold = OtherProgram::Read;
};

void PrintTo(const SaveCase& c, std::ostream* os) { *os << c.name; }

class SaveKeptOutTest : public SaveGestures, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(SaveKeptOutTest, ASaveKeptOutByAnotherProgramStoresNothingKeepsTheBoxesAndGoesInWhenPressedAgain) {
  const SaveCase& c = GetParam();
  start({{u"你好。", u"Hola."}}, {}, c.words);
  c.type(*this);
  const auto file = dir.path() / c.file;
  const auto before = onDisk(file, c.sql);
  p->dialogs().messages.clear();
  {
    OtherProgram other(file, c.hold);
    c.press(*this);
    ASSERT_EQ(p->dialogs().messages.size(), 1u);
    const Text& told = p->dialogs().messages[0].prompt;
    EXPECT_TRUE(toldInUse(told)) << toUtf8(told);
    // The file the other program holds is the one named, whichever of its group it is.
    EXPECT_NE(told.find(fromUtf8(file.string()) + u"\r\n"), Text::npos) << toUtf8(told);
    c.kept(*this);
  }
  EXPECT_EQ(onDisk(file, c.sql), before);
  (c.again ? c.again : c.press)(*this);
  for (const auto& m : p->dialogs().messages) EXPECT_FALSE(toldInUse(m.prompt) && &m != &p->dialogs().messages[0]);
  EXPECT_EQ(onDisk(file, c.sql), c.stored);
}

const SaveCase kSaves[] = {
    {"SentencePanel", "XHKA.db", {},
     [](SaveKeptOutTest& t) { t.fillSentencePanel(u"新句子。", u"Frase nueva."); },
     [](SaveKeptOutTest& t) { t.click(t.w().Command38); },
     [](SaveKeptOutTest& t) {
       EXPECT_TRUE(t.w().Text44.Visible && t.w().Text45.Visible && t.w().Command38.Visible);
       EXPECT_EQ(t.w().Text44.text(), u"新句子。");
       EXPECT_EQ(t.w().Text45.text(), u"Frase nueva.");
     },
     nullptr, "SELECT ZD3, ZD4 FROM \"表1\" ORDER BY ID", {"你好。:Hola.", "新句子。:Frase nueva."}},
    {"VerbPanel", "DCK1.db", {},
     [](SaveKeptOutTest& t) { t.fillVerbPanel(u"hablar", u"说"); },
     [](SaveKeptOutTest& t) { t.click(t.w().Command67); },
     [](SaveKeptOutTest& t) {
       EXPECT_TRUE(t.w().Text72.Visible && t.w().Command67.Visible);
       EXPECT_EQ(t.w().Text72.text(), u"hablar");
       EXPECT_EQ(t.w().Text42.text(), u"说");
     },
     nullptr, "SELECT ZD1 FROM \"表1\" ORDER BY ID", {"hablar"}},
    {"WordPanel", "CKUA.db", {},
     [](SaveKeptOutTest& t) { t.fillWordPanel(u"casa", u"casa", u"房子"); },
     [](SaveKeptOutTest& t) { t.click(t.w().Command83); },
     [](SaveKeptOutTest& t) {
       EXPECT_TRUE(t.w().Text102.Visible && t.w().Command83.Visible);
       EXPECT_EQ(t.w().Text102.text(), u"casa");
       EXPECT_EQ(t.w().Text42.text(), u"房子");
     },
     nullptr, "SELECT ZD1, ZD3 FROM \"表1\" ORDER BY ID", {"casa:房子"}},
    // An edit typed into the word view is saved by the next event.
    {"WordViewEdit", "CKUA.db", {{u"casa", u"casa", u"房子", u""}},
     [](SaveKeptOutTest& t) { t.lookUp(u"casa"); },
     [](SaveKeptOutTest& t) { t.type(t.w().Text112, u"x"); },
     [](SaveKeptOutTest& t) {
       EXPECT_EQ(t.w().Text112.text(), u"casa");
       EXPECT_EQ(t.w().Text31.text(), u"casa◆房子");
     },
     nullptr, "SELECT ZD2 FROM \"表1\" ORDER BY ID", {"xcasa"}},
    {"PlaceEntry", "DMK0.db", {},
     [](SaveKeptOutTest& t) { t.fillPlacePanel(u"里斯本", u"Lisboa"); },
     [](SaveKeptOutTest& t) { t.click(t.places().Command35); },
     [](SaveKeptOutTest& t) {
       EXPECT_TRUE(t.places().Text12.Visible && t.places().Text13.Visible);
       EXPECT_EQ(t.places().Text12.text(), u"里斯本");
       EXPECT_EQ(t.places().Text13.text(), u"Lisboa");
     },
     nullptr, "SELECT count(*) FROM \"表1\"", {"1"}},
    {"SentenceImport", "XHKA.db", {},
     [](SaveKeptOutTest& t) { t.batchFile(t.w().Command58, "新句子。/Frase nueva.\r\n"); },
     [](SaveKeptOutTest& t) { t.click(t.w().Command58); },
     [](SaveKeptOutTest& t) {
       EXPECT_TRUE(t.w().RichTextBox1.Visible);
       EXPECT_NE(t.w().RichTextBox1.text().find(u"新句子。/Frase nueva."), Text::npos);
       EXPECT_EQ(t.w().Command58.Caption, u"批量句子入库(&C)");
     },
     nullptr, "SELECT ZD3, ZD4 FROM \"表1\" ORDER BY ID", {"你好。:Hola.", "新句子。:Frase nueva."}},
    // The second or third file of a group held: named, not the group's first.
    {"SentencePanelSearchTable", "XHKB.db", {},
     [](SaveKeptOutTest& t) { t.fillSentencePanel(u"新句子。", u"Frase nueva."); },
     [](SaveKeptOutTest& t) { t.click(t.w().Command38); },
     [](SaveKeptOutTest& t) { EXPECT_EQ(t.w().Text44.text(), u"新句子。"); },
     nullptr, "SELECT Zd1 FROM \"表1\" ORDER BY ID", {"你好。/Hola.", "新句子。/Frase nueva."}},
    {"VerbPanelSearchTable", "DCK3.db", {},
     [](SaveKeptOutTest& t) { t.fillVerbPanel(u"hablar", u"说"); },
     [](SaveKeptOutTest& t) { t.click(t.w().Command67); },
     [](SaveKeptOutTest& t) { EXPECT_EQ(t.w().Text72.text(), u"hablar"); },
     nullptr, "SELECT ZD3 FROM \"表1\" ORDER BY ID", {"hablar"}},
    {"WordPanelSearchTable", "CKUB.db", {},
     [](SaveKeptOutTest& t) { t.fillWordPanel(u"casa", u"casa", u"房子"); },
     [](SaveKeptOutTest& t) { t.click(t.w().Command83); },
     [](SaveKeptOutTest& t) { EXPECT_EQ(t.w().Text102.text(), u"casa"); },
     nullptr, "SELECT ZD2 FROM \"表1\" ORDER BY ID", {"casa"}},
    {"PlaceEntryNameIndex", "DMK2.db", {},
     [](SaveKeptOutTest& t) { t.fillPlacePanel(u"里斯本", u"Lisboa"); },
     [](SaveKeptOutTest& t) { t.click(t.places().Command35); },
     [](SaveKeptOutTest& t) { EXPECT_EQ(t.places().Text13.text(), u"Lisboa"); },
     nullptr, "SELECT count(*) FROM \"表1\"", {"1"}},
    // The imports keep their pane, and the press made again lands.
    {"VerbImport", "DCK1.db", {},
     [](SaveKeptOutTest& t) { t.batchFile(t.w().Command57, "hablar/x/规则/con/说/Hablo.我说。\r\n"); },
     // The press that imports the file ends the program.
     [](SaveKeptOutTest& t) { t.user().click(t.w().Command57); },
     [](SaveKeptOutTest& t) {
       EXPECT_TRUE(t.w().RichTextBox1.Visible);
       EXPECT_NE(t.w().RichTextBox1.text().find(u"hablar/x/"), Text::npos);
       EXPECT_EQ(t.w().Command57.Caption, u"批量动词入库(&D)");
     },
     nullptr, "SELECT ZD1 FROM \"表1\" ORDER BY ID", {"hablar"}},
    {"VerbImportSearchTable", "DCK3.db", {},
     [](SaveKeptOutTest& t) { t.batchFile(t.w().Command57, "hablar/x/规则/con/说/Hablo.我说。\r\n"); },
     [](SaveKeptOutTest& t) { t.user().click(t.w().Command57); },
     [](SaveKeptOutTest& t) { EXPECT_NE(t.w().RichTextBox1.text().find(u"hablar/x/"), Text::npos); },
     nullptr, "SELECT ZD3 FROM \"表1\" ORDER BY ID", {"hablar"}},
    // Its merge worker loads at the first import, under the other program's
    // lock; the staging files are not the ones held.
    {"WordImportWriteHeld", "CKUA.db", {},
     [](SaveKeptOutTest& t) { t.batchFile(t.w().Command69, "mesa/桌子\r\n"); },
     [](SaveKeptOutTest& t) { t.click(t.w().Command69); },
     [](SaveKeptOutTest& t) {
       EXPECT_TRUE(t.w().RichTextBox1.Visible);
       EXPECT_NE(t.w().RichTextBox1.text().find(u"mesa/桌子"), Text::npos);
       EXPECT_EQ(t.w().Command69.Caption, u"批量单词入库(&E)");
     },
     nullptr, "SELECT ZD1, ZD3 FROM \"表1\" ORDER BY ID", {"mesa:桌子"}, OtherProgram::Write},
    {"WordImportSearchTableWriteHeld", "CKUB.db", {},
     [](SaveKeptOutTest& t) { t.batchFile(t.w().Command69, "mesa/桌子\r\n"); },
     [](SaveKeptOutTest& t) { t.click(t.w().Command69); },
     [](SaveKeptOutTest& t) { EXPECT_NE(t.w().RichTextBox1.text().find(u"mesa/桌子"), Text::npos); },
     nullptr, "SELECT ZD2 FROM \"表1\" ORDER BY ID", {"mesa"}, OtherProgram::Write},
    {"WordImport", "CKUA.db", {},
     [](SaveKeptOutTest& t) { t.batchFile(t.w().Command69, "mesa/桌子\r\n"); },
     [](SaveKeptOutTest& t) { t.click(t.w().Command69); },
     [](SaveKeptOutTest& t) { EXPECT_NE(t.w().RichTextBox1.text().find(u"mesa/桌子"), Text::npos); },
     nullptr, "SELECT ZD1, ZD3 FROM \"表1\" ORDER BY ID", {"mesa:桌子"}},
    {"PlaceImport", "DMK0.db", {},
     [](SaveKeptOutTest& t) { t.placeFile("Lisboa/里斯本\r\n"); },
     [](SaveKeptOutTest& t) { t.click(t.places().Command3); },
     [](SaveKeptOutTest& t) {
       EXPECT_TRUE(t.places().RichTextBox4.Visible);
       EXPECT_NE(t.places().RichTextBox4.text().find(u"Lisboa/里斯本"), Text::npos);
       EXPECT_EQ(t.places().Command3.Caption, u"开始添加(&K)");
     },
     nullptr, "SELECT ZD1 FROM \"表1\" ORDER BY ID", {"Lisboa"}, OtherProgram::Write},
    {"PlaceImportNameIndex", "DMK2.db", {},
     [](SaveKeptOutTest& t) { t.placeFile("Lisboa/里斯本\r\n"); },
     [](SaveKeptOutTest& t) { t.click(t.places().Command3); },
     [](SaveKeptOutTest& t) {
       EXPECT_TRUE(t.places().RichTextBox4.Visible);
       EXPECT_EQ(t.places().Command3.Caption, u"开始添加(&K)");
     },
     nullptr, "SELECT count(*) FROM \"表1\"", {"1"}},
    {"PlaceImportNameIndexWriteHeld", "DMK2.db", {},
     [](SaveKeptOutTest& t) { t.placeFile("Lisboa/里斯本\r\n"); },
     [](SaveKeptOutTest& t) { t.click(t.places().Command3); },
     [](SaveKeptOutTest& t) { EXPECT_TRUE(t.places().RichTextBox4.Visible); },
     nullptr, "SELECT count(*) FROM \"表1\"", {"1"}, OtherProgram::Write},
};

INSTANTIATE_TEST_SUITE_P(EverySave, SaveKeptOutTest, ::testing::ValuesIn(kSaves),
                         [](const ::testing::TestParamInfo<SaveCase>& info) { return std::string(info.param.name); });

// --- the file checks and the saves -----------------------------------------------------

// A word file damaged in a middle page (of its table or of an index), the
// program started, a lookup, and a word saved at once, while the checks of
// the files before it in line have not ended: the save checks its files
// first, names the damaged one and writes nothing. The check of another
// file still under way does not hold it up.
TEST_F(StoreLocksTest, ASaveBeforeItsFilesCheckHasRunChecksThemFirstAndNeverWritesADamagedOne) {
  struct Case {
    const char* file;
    const char* tree;
  };
  for (const Case& c : {Case{"CKUA.db", "表1"}, Case{"CKUA.db", "表1_ZD1"}, Case{"CKUB.db", "表1"},
                        Case{"CKUB.db", "表1_ZD2"}}) {
    SCOPED_TRACE(std::string(c.file) + " " + c.tree);
    TempDir folder;
    {
      std::vector<WordRow> words;
      for (int i = 1; i <= 300; ++i) words.push_back({longKey(i), longKey(i), Text(80, u'义') + NumText(i), u""});
      writeDictionary(folder.path(), {{u"你好。", u"Hola."}}, {}, words);
    }
    const auto damaged = folder.path() / c.file;
    damagePage(damaged, leafPage(damaged, c.tree));
    const std::string bytes = readBytes(folder.path() / "CKUA.db"), partnerBytes = readBytes(folder.path() / "CKUB.db");
    Program q(folder.path());
    StalledChecks stalled("", true);  // whichever check is first in line holds the others back
    FrmLexaro& w = startMainWindow(q);
    q.event([&] { w.RichTextBox16.setText(u""); });
    ASSERT_TRUE(q.user().type(w.RichTextBox16, u"你"));
    ASSERT_TRUE(q.user().click(w.Command1));
    ASSERT_TRUE(q.user().click(w.Command81));
    ASSERT_TRUE(q.user().click(w.Label7));
    ASSERT_TRUE(q.user().type(w.Text102, u"nueva"));
    ASSERT_TRUE(q.user().type(w.Text42, u"新"));
    ASSERT_TRUE(waitFor([] { return StalledChecks::reached.load(); }));
    ASSERT_FALSE(w.Data6.fileChecked() || w.Data7.fileChecked());
    ASSERT_TRUE(q.user().click(w.Command83));
    // The checks of the other files are still held.
    EXPECT_FALSE(w.Data1.fileChecked() && w.Data2.fileChecked() && w.Data3.fileChecked() && w.Data4.fileChecked() &&
                 w.Data5.fileChecked());
    ASSERT_FALSE(q.dialogs().messages.empty());
    const Text& told = q.dialogs().messages.back().prompt;
    EXPECT_NE(told.find(fromUtf8(damaged.string())), Text::npos) << toUtf8(told);
    StalledChecks::released = true;
    q.restart();
    EXPECT_EQ(readBytes(folder.path() / "CKUA.db"), bytes);
    EXPECT_EQ(readBytes(folder.path() / "CKUB.db"), partnerBytes);
  }
}

// The word table damaged and known so: an edit of an existing search line
// (the partner's own record, written into its own file only) is refused too.
TEST_F(StoreLocksTest, AnEditOfAPartnersRecordIsRefusedWhileItsGroupHasADamagedFile) {
  {
    Program q(dir.path());
    addLongWords(q, 300);
  }
  const auto file = dir.path() / "CKUA.db", partner = dir.path() / "CKUB.db";
  damagePage(file, leafPage(file, "表1_ZD2"));
  const std::string partnerBytes = readBytes(partner);
  Program q(dir.path());
  WordPair& w = q.form<WordPair>();
  q.event([] {});  // the window has shown: the checks begin
  ASSERT_TRUE(waitFor([&] { return w.checked(); }));
  q.event([] {});  // the damage is told
  ASSERT_EQ(q.dialogs().messages.size(), 1u);
  q.event([&] {
    w.Data7.setIndex("ZD2");
    w.Data7.Seek("=", longKey(7));
    ASSERT_FALSE(w.Data7.NoMatch());
    w.Text31.setText(u"editado");
    w.Data7.MoveFirst();
  });
  ASSERT_EQ(q.dialogs().messages.size(), 2u);
  EXPECT_EQ(q.dialogs().messages[1].prompt.rfind(u"无法保存：", 0), 0u) << toUtf8(q.dialogs().messages[1].prompt);
  EXPECT_NE(q.dialogs().messages[1].prompt.find(u"CKUA.db"), Text::npos);
  q.restart();
  EXPECT_EQ(readBytes(partner), partnerBytes);
}

// One copy of the program checks the word file, slowly; the other saves a
// word into it meanwhile (its own checks have ended): the check gives way,
// and the save goes in without a message.
TEST_F(StoreLocksTest, ASaveIntoAFileAnotherCopyIsCheckingGoesInWithoutWaitingForTheCheck) {
  {
    Program q(dir.path());
    addLongWords(q, 300);
  }
  Program saver(dir.path());
  WordPair& s = saver.form<WordPair>();
  saver.event([] {});
  ASSERT_TRUE(waitFor([&] { return s.checked(); }));
  Program checker(dir.path());
  StalledChecks stalled("CKUA.db", false);
  WordPair& c = checker.form<WordPair>();
  checker.event([] {});
  ASSERT_TRUE(waitFor([] { return StalledChecks::reached.load(); }));
  for (int i = 1; i <= 3; ++i) {
    saver.event([&] { s.addWord(u"nueva" + NumText(i), u"nueva"); });
    EXPECT_FALSE(c.Data6.fileChecked());  // still under way, given way to each save
  }
  EXPECT_TRUE(saver.dialogs().messages.empty()) << toUtf8(saver.dialogs().messages.empty() ? Text() : saver.dialogs().messages[0].prompt);
  EXPECT_EQ(onDisk(dir.path() / "CKUA.db", "SELECT count(*) FROM \"表1\"").front(), "303");
}

// --- a table kept out at the start ------------------------------------------------

// Another program holds a table's write lock while the program starts: told
// as a file in use at the start, the table opens again, with its group, at
// the first event that needs it once the lock has ended.
struct KeptOutCase {
  const char* name;
  const char* file;
  std::function<void(SaveGestures&)> after;  // the lookups and saves made once the lock has ended
};

void PrintTo(const KeptOutCase& c, std::ostream* os) { *os << c.name; }

class KeptOutAtStartTest : public SaveGestures, public ::testing::WithParamInterface<KeptOutCase> {
 public:
  // The program started while the other program holds `file`, and the lock
  // released once the start has told it.
  void startWhileHeld(const char* file) {
    writeDictionary(dir.path(), {{u"你好。", u"Hola."}}, {{u"vivir", u"住", u"Vivo.我住。"}},
                    {{u"casa", u"casa", u"房子", u""}});
    OtherProgram other(dir.path() / file, OtherProgram::Write);
    p = std::make_unique<Program>(dir.path());
    f = &startMainWindow(*p);
    ASSERT_EQ(p->dialogs().messages.size(), 1u);
    const Text& told = p->dialogs().messages[0].prompt;
    EXPECT_TRUE(toldInUse(told)) << toUtf8(told);
    EXPECT_NE(told.find(u"暂时无法读取"), Text::npos) << toUtf8(told);
    EXPECT_NE(told.find(fromUtf8((dir.path() / file).string())), Text::npos) << toUtf8(told);
  }
  void saveSentence() {
    openPanel(w().Command55);
    type(w().Text44, u"新句子。");
    type(w().Text45, u"Frase nueva.");
    click(w().Command38);
  }
  // Nothing told after the message at the start and the one of a use while held.
  void expectNothingMoreTold(size_t told = 1) {
    for (size_t i = told; i < p->dialogs().messages.size(); ++i)
      ADD_FAILURE() << toUtf8(p->dialogs().messages[i].prompt);
  }
};

TEST_P(KeptOutAtStartTest, TheTableOpensAgainAtTheNextEventThatNeedsItOnceTheLockHasEnded) {
  ASSERT_NO_FATAL_FAILURE(startWhileHeld(GetParam().file));
  GetParam().after(*this);
  expectNothingMoreTold();
}

const KeptOutCase kKeptOut[] = {
    {"SentenceTable", "XHKA.db",
     [](SaveGestures& t) {
       static_cast<KeptOutAtStartTest&>(t).saveSentence();
       EXPECT_EQ(onDisk(t.dir.path() / "XHKA.db", "SELECT ZD3 FROM \"表1\" ORDER BY ID"),
                 (std::vector<std::string>{"你好。", "新句子。"}));
       EXPECT_EQ(onDisk(t.dir.path() / "XHKB.db", "SELECT Zd1 FROM \"表1\" ORDER BY ID"),
                 (std::vector<std::string>{"你好。/Hola.", "新句子。/Frase nueva."}));
     }},
    {"SentenceSearchTable", "XHKB.db",
     [](SaveGestures& t) {
       static_cast<KeptOutAtStartTest&>(t).saveSentence();
       EXPECT_EQ(onDisk(t.dir.path() / "XHKB.db", "SELECT Zd1 FROM \"表1\" ORDER BY ID"),
                 (std::vector<std::string>{"你好。/Hola.", "新句子。/Frase nueva."}));
     }},
    {"VerbSearchTable", "DCK3.db",
     [](SaveGestures& t) {
       t.lookUp(u"vivir");
       EXPECT_TRUE(t.w().Text92.Visible);
       EXPECT_EQ(t.w().Text92.text(), u"vivir");
     }},
    {"WordSearchTable", "CKUB.db",
     [](SaveGestures& t) {
       t.lookUp(u"casa");
       EXPECT_NE(t.w().RichTextBox15.text().find(u"房子"), Text::npos);
       t.fillWordPanel(u"mesa", u"mesa", u"桌子");
       t.click(t.w().Command83);
       EXPECT_EQ(onDisk(t.dir.path() / "CKUB.db", "SELECT ZD2 FROM \"表1\" ORDER BY ID"),
                 (std::vector<std::string>{"casa", "mesa"}));
     }},
};

INSTANTIATE_TEST_SUITE_P(EveryGroup, KeptOutAtStartTest, ::testing::ValuesIn(kKeptOut),
                         [](const ::testing::TestParamInfo<KeptOutCase>& info) { return std::string(info.param.name); });

// Still held at the next use: told again as in use, the save as a save that
// keeps what was typed, never as a file that cannot be opened; once free,
// the same press saves.
TEST_F(KeptOutAtStartTest, ATableStillHeldAtItsNextUseIsToldInUseAgainAndOpensOnceFree) {
  writeDictionary(dir.path(), {{u"你好。", u"Hola."}}, {}, {{u"casa", u"casa", u"房子", u""}});
  {
    OtherProgram other(dir.path() / "CKUB.db", OtherProgram::Write);
    p = std::make_unique<Program>(dir.path());
    f = &startMainWindow(*p);
    ASSERT_EQ(p->dialogs().messages.size(), 1u);
    openPanel(w().Command81);
    click(w().Label7);
    type(w().Text102, u"mesa");
    type(w().Text43, u"mesa");
    type(w().Text42, u"桌子");
    click(w().Command83);
    ASSERT_EQ(p->dialogs().messages.size(), 2u);
    const Text& told = p->dialogs().messages[1].prompt;
    EXPECT_TRUE(toldInUse(told)) << toUtf8(told);
    EXPECT_NE(told.find(u"暂时无法保存"), Text::npos) << toUtf8(told);
    EXPECT_NE(told.find(fromUtf8((dir.path() / "CKUB.db").string())), Text::npos) << toUtf8(told);
    EXPECT_TRUE(w().Text102.Visible);
    EXPECT_EQ(w().Text102.text(), u"mesa");
  }
  click(w().Command83);
  expectNothingMoreTold(2);
  EXPECT_EQ(onDisk(dir.path() / "CKUB.db", "SELECT ZD2 FROM \"表1\" ORDER BY ID"),
            (std::vector<std::string>{"casa", "mesa"}));
}

// The place window opened while another program holds a place table: told,
// not shown; opened again once the lock has ended, on its first place.
TEST_F(StoreLocksTest, ThePlaceWindowOpensOnceAnotherProgramsLockOfAPlaceTableHasEnded) {
  for (const char* file : {"DMK0.db", "DMK2.db"}) {
    SCOPED_TRACE(file);
    TempDir folder;
    writePlaces(folder.path(), {{u"亚洲", u"Asia", u"世界最大的洲"}});
    Program q(folder.path());
    startMainWindow(q);
    {
      OtherProgram other(folder.path() / file, OtherProgram::Write);
      EXPECT_EQ(openPlaces(q), nullptr);
      ASSERT_EQ(q.dialogs().messages.size(), 1u);
      EXPECT_TRUE(toldInUse(q.dialogs().messages[0].prompt)) << toUtf8(q.dialogs().messages[0].prompt);
      EXPECT_NE(q.dialogs().messages[0].prompt.find(fromUtf8((folder.path() / file).string())), Text::npos);
    }
    frm世界地名* pl = openPlaces(q);
    ASSERT_NE(pl, nullptr);
    EXPECT_TRUE(pl->Visible());
    EXPECT_EQ(pl->Data1.value("ZD1"), u"Asia");
    EXPECT_EQ(q.dialogs().messages.size(), 1u);
  }
}

// A lookup kept out by another program's write lock names the file it holds,
// not the first of its group.
TEST_F(StoreLocksTest, ALookupKeptOutNamesTheFileAnotherProgramHolds) {
  writeDictionary(dir.path(), {{u"你好。", u"Hola."}}, {{u"vivir", u"住", u"Vivo.我住。"}},
                  {{u"casa", u"casa", u"房子", u""}});
  Program q(dir.path());
  FrmLexaro& w = startMainWindow(q);
  for (const auto& [file, input] : {std::pair{"DCK3.db", u"vivir"}, std::pair{"CKUB.db", u"casa"}}) {
    SCOPED_TRACE(file);
    q.dialogs().messages.clear();
    {
      OtherProgram other(dir.path() / file, OtherProgram::Write);
      q.event([&] { w.RichTextBox16.setText(input); });
    }
    ASSERT_FALSE(q.dialogs().messages.empty());
    const Text& told = q.dialogs().messages[0].prompt;
    EXPECT_TRUE(toldInUse(told)) << toUtf8(told);
    EXPECT_NE(told.find(fromUtf8((dir.path() / file).string()) + u"\r\n"), Text::npos) << toUtf8(told);
  }
}

// --- two copies saving at once ------------------------------------------------------

// Whether some connection holds the write lock of a file (a save under way,
// or waiting for the file's readers to end).
bool writeLockTaken(const std::filesystem::path& file) {
  sqlite3* db = nullptr;
  int reserved = 0;
  sqlite3_file* handle = nullptr;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, LockWatch::platform()) == SQLITE_OK &&
      sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &handle) == SQLITE_OK && handle && handle->pMethods)
    handle->pMethods->xCheckReservedLock(handle, &reserved);
  sqlite3_close(db);
  return reserved != 0;
}

// Another copy of the program saving a sentence pair, on a thread of its
// own: both files locked for the write at once, each lock waited for as long
// as the program waits.
class AnotherCopySaves {
 public:
  AnotherCopySaves(const std::filesystem::path& dir, const std::string& zh, const std::string& es)
      : thread_([this, dir, zh, es] {
          sqlite3* db = nullptr;
          if (sqlite3_open_v2((dir / "XHKA.db").c_str(), &db, SQLITE_OPEN_READWRITE, LockWatch::platform()) == SQLITE_OK) {
            sqlite3_busy_timeout(db, kLockWaitMs);
            const std::string sql = "ATTACH '" + (dir / "XHKB.db").string() + "' AS b; BEGIN EXCLUSIVE; " +
                                    "INSERT INTO main.\"表1\" (ZD3, ZD4) VALUES ('" + zh + "', '" + es + "'); " +
                                    "INSERT INTO b.\"表1\" (Zd1) VALUES ('" + zh + "/" + es + "'); COMMIT;";
            rc_ = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
            if (rc_ != SQLITE_OK) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
          }
          sqlite3_close(db);
        }) {}
  ~AnotherCopySaves() { result(); }
  int result() {
    if (thread_.joinable()) thread_.join();
    return rc_;
  }

 private:
  int rc_ = SQLITE_ERROR;
  std::thread thread_;
};

// The first save of a run into the sentence files, whose check is still
// reading, while another copy of the program saves into them too: that copy
// waits for this event's reads, and this save for the check, which in turn
// waits for that copy's save. The save lets go of its reads before it waits,
// so both saves go in at once, without a message; and the rest of the event
// sees the other copy's pair, saved between its reads and its write.
TEST_F(StoreLocksTest, TwoCopiesSavingAtOnceNeitherWaitsForTheOther) {
  constexpr int kPairs = 300;  // enough pages for a check to be caught reading
  {
    std::vector<SentencePair> pairs{{u"你好。", u"Hola."}};
    for (int i = 2; i <= kPairs; ++i) pairs.push_back({longKey(i), Text(200, u'句') + NumText(i)});
    writeDictionary(dir.path(), pairs);
  }
  const auto file = dir.path() / "XHKA.db";
  Program q(dir.path());
  StalledChecks slow("XHKA.db", false);
  FrmLexaro& w = startMainWindow(q);
  q.event([&] { ASSERT_EQ(w.MSFlexGrid1.Rows(), kPairs); });  // the checks begin; the grid is read
  ASSERT_TRUE(waitFor([] { return StalledChecks::reached.load(); }));
  ASSERT_FALSE(w.Data1.fileChecked());
  // Another program's save: this event's lookup reads the files again.
  ASSERT_NO_FATAL_FAILURE(execOn(file, "UPDATE \"表1\" SET rowid = rowid WHERE rowid = 1"));
  std::optional<AnotherCopySaves> other;
  q.event([&] {
    w.Data1.setIndex("ID");
    w.Data1.Seek("=", u"1");
    ASSERT_EQ(w.Text2.text(), u"你好。");
    ASSERT_EQ(w.MSFlexGrid1.Rows(), kPairs);
    other.emplace(dir.path(), "别的程序。", "Otro programa.");
    ASSERT_TRUE(waitFor([&] { return writeLockTaken(file); }));  // it waits for this event's reads
    w.Data1.AddNew();
    w.Data2.AddNew();
    w.Text2.setText(u"新句子。");
    w.Text3.setText(u"Frase nueva.");
    w.Text14.setText(u"新句子。/Frase nueva.");
    w.Data1.MoveLast();
    w.Data2.MoveLast();
    EXPECT_EQ(w.Text23.text(), NumText(kPairs + 2));
    ASSERT_EQ(w.MSFlexGrid1.Rows(), kPairs + 2);
    EXPECT_EQ(w.MSFlexGrid1.TextMatrix(kPairs, 1), u"别的程序。/Otro programa.");
    EXPECT_EQ(w.MSFlexGrid1.TextMatrix(kPairs + 1, 1), u"新句子。/Frase nueva.");
  });
  ASSERT_TRUE(other);
  EXPECT_EQ(other->result(), SQLITE_OK);
  EXPECT_TRUE(q.dialogs().messages.empty()) << toUtf8(q.dialogs().messages.empty() ? Text() : q.dialogs().messages[0].prompt);
  EXPECT_EQ(onDisk(file, "SELECT ZD3 FROM \"表1\" WHERE ID > " + std::to_string(kPairs) + " ORDER BY ID"),
            (std::vector<std::string>{"别的程序。", "新句子。"}));
}

// Another copy reads the sentence files and saves a word, while this event
// has read the word files and saves a pair: that copy waits for this event's
// read of the word files, this save for that copy's read of the sentence
// files. The save lets go of its reads of every group before it waits, so
// both go in without a message.
TEST_F(StoreLocksTest, ASaveLetsGoOfItsReadsOfOtherGroupsBeforeItWaits) {
  writeDictionary(dir.path(), {{u"你好。", u"Hola."}}, {}, {{u"casa", u"casa", u"房子", u""}});
  Program q(dir.path());
  FrmLexaro& w = startMainWindow(q);
  q.event([] {});
  // Another program's save: this event reads the word files again, under a read lock.
  ASSERT_NO_FATAL_FAILURE(execOn(dir.path() / "CKUA.db", "UPDATE \"表1\" SET rowid = rowid WHERE rowid = 1"));
  int otherRc = SQLITE_ERROR;
  std::thread other;
  q.event([&] {
    w.Data6.MoveFirst();
    ASSERT_FALSE(w.Data6.atEOF());
    other = std::thread([&] {
      sqlite3* db = nullptr;
      if (sqlite3_open_v2((dir.path() / "XHKA.db").c_str(), &db, SQLITE_OPEN_READWRITE, LockWatch::platform()) ==
          SQLITE_OK) {
        sqlite3_busy_timeout(db, kLockWaitMs);
        const std::string sql = "ATTACH '" + (dir.path() / "CKUA.db").string() +
                                "' AS w; BEGIN; SELECT count(*) FROM main.\"表1\"; "
                                "INSERT INTO w.\"表1\" (ZD1, ZD2, ZD3) VALUES ('mesa', 'mesa', '桌子'); COMMIT;";
        otherRc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
        if (otherRc != SQLITE_OK) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
      }
      sqlite3_close(db);
    });
    ASSERT_TRUE(waitFor([&] { return writeLockTaken(dir.path() / "CKUA.db"); }));  // it waits for this event's read
    w.Data1.AddNew();
    w.Data2.AddNew();
    w.Text2.setText(u"新句子。");
    w.Text3.setText(u"Frase nueva.");
    w.Text14.setText(u"新句子。/Frase nueva.");
    w.Data1.MoveLast();
    w.Data2.MoveLast();
  });
  if (other.joinable()) other.join();
  EXPECT_EQ(otherRc, SQLITE_OK);
  EXPECT_TRUE(q.dialogs().messages.empty()) << toUtf8(q.dialogs().messages.empty() ? Text() : q.dialogs().messages[0].prompt);
  EXPECT_EQ(onDisk(dir.path() / "XHKA.db", "SELECT ZD3 FROM \"表1\" ORDER BY ID"),
            (std::vector<std::string>{"你好。", "新句子。"}));
  EXPECT_EQ(onDisk(dir.path() / "CKUA.db", "SELECT ZD1 FROM \"表1\" ORDER BY ID"),
            (std::vector<std::string>{"casa", "mesa"}));
}

// --- this program's own background reads --------------------------------------------

// The program ends while the check of a large file is well into its read
// (made slow): the check stops where it is, rather than read the file to its
// end before the program can go.
TEST_F(StoreLocksTest, AProgramThatEndsStopsTheCheckOfItsFilesAtOnce) {
  {
    Program q(dir.path());
    addLongWords(q, 300);
  }
  Program q(dir.path());
  StalledChecks slow("CKUA.db", false);
  WordPair& w = q.form<WordPair>();
  q.event([] {});
  ASSERT_TRUE(waitFor([] { return StalledChecks::reached.load(); }));
  ASSERT_FALSE(w.Data6.fileChecked());
  StalledChecks::stopping = true;
  q.restart();
  EXPECT_LT(StalledChecks::stepsAfterStop.load(), StalledChecks::kReadOn);
}

// --- the sign that the program waits ------------------------------------------------

// A file check held at its first step until the test lets it go.
struct HeldCheck {
  static inline std::atomic<bool> released{false};
  static void progress(const char* file, const std::atomic<bool>&) {
    if (!std::string_view(file).ends_with("XHKA.db")) return;
    const auto until = Clock::now() + std::chrono::seconds(20);
    while (!released && Clock::now() < until) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
};

// While the window's thread waits for another program, or for a file check
// a save must see first, the front end hears that the program is busy, and
// hears it end once the event has ended, before any message is shown. The
// other program lets go when the sign is shown, so no case hangs on the
// clock: the sign's delay is set to nothing, or to an hour for a wait that
// must show nothing.
TEST_F(StoreLocksTest, AWaitIsShownBusyFromWhileItLastsToTheEndOfItsEvent) {
  enum class Wait { WriteLock, Read, Check, Never };
  struct Case {
    const char* name;
    Wait wait;
    bool save;  // else a lookup
    std::chrono::steady_clock::duration busyAfter;
    bool shown;
  };
  const auto now = std::chrono::milliseconds(0);
  const auto hour = std::chrono::hours(1);
  for (const Case& c : {Case{"a save behind a write lock", Wait::WriteLock, true, now, true},
                        Case{"a lookup behind a write lock", Wait::WriteLock, false, now, true},
                        Case{"a save behind another program's read", Wait::Read, true, now, true},
                        Case{"a first save waiting for its file's check", Wait::Check, true, now, true},
                        Case{"a wait shorter than the sign's delay", Wait::WriteLock, true, hour, false},
                        Case{"a lock held past the wait", Wait::Never, true, now, true}}) {
    SCOPED_TRACE(c.name);
    TempDir folder;
    writeDictionary(folder.path(), {{u"你好。", u"Hola."}});
    HeldCheck::released = c.wait != Wait::Check;
    checkProgressForTests = &HeldCheck::progress;
    Program q(folder.path());
    FrmLexaro& w = startMainWindow(q);
    std::optional<OtherProgram> other;
    if (c.wait != Wait::Check)
      other.emplace(folder.path() / "XHKA.db", c.wait == Wait::Read ? OtherProgram::Read : OtherProgram::Write);
    struct Heard {
      bool on, inEvent, bodyDone;
      size_t messages;
    };
    std::vector<Heard> heard;
    bool bodyDone = false;
    q.app().busyAfter = c.busyAfter;
    q.app().onBusy = [&](bool on) {
      heard.push_back({on, q.app().inEvent(), bodyDone, q.dialogs().messages.size()});
      if (!on || c.wait == Wait::Never) return;
      HeldCheck::released = true;
      if (other) other->release();
    };
    // A wait far shorter than the sign's delay of an hour: let go shortly
    // after the event begins.
    std::thread letGo;
    if (!c.shown)
      letGo = std::thread([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        other->release();
      });
    q.event([&] {
      if (c.save) {
        w.Data1.AddNew();
        w.Data2.AddNew();
        w.Text2.setText(u"新句子。");
        w.Text3.setText(u"Frase nueva.");
        w.Text14.setText(u"新句子。/Frase nueva.");
        w.Data1.MoveLast();
        w.Data2.MoveLast();
      } else {
        w.Data1.setIndex("ID");
        w.Data1.Seek("=", u"1");
        EXPECT_EQ(w.Text2.text(), u"你好。");
      }
      bodyDone = true;
    });
    if (letGo.joinable()) letGo.join();
    other.reset();
    HeldCheck::released = true;
    if (!c.shown) {
      EXPECT_TRUE(heard.empty());
    } else {
      ASSERT_EQ(heard.size(), 2u);
      EXPECT_TRUE(heard[0].on);
      EXPECT_TRUE(heard[0].inEvent);
      EXPECT_FALSE(heard[0].bodyDone);  // shown while it waits
      EXPECT_FALSE(heard[1].on);
      EXPECT_EQ(heard[1].messages, 0u);  // ended before the message
      if (c.wait != Wait::Never) {
        EXPECT_TRUE(heard[1].bodyDone);
      }
      EXPECT_FALSE(q.app().busy());
    }
    if (c.wait == Wait::Never) {
      ASSERT_EQ(q.dialogs().messages.size(), 1u);
      EXPECT_TRUE(toldInUse(q.dialogs().messages[0].prompt)) << toUtf8(q.dialogs().messages[0].prompt);
    } else {
      EXPECT_TRUE(q.dialogs().messages.empty()) << toUtf8(q.dialogs().messages[0].prompt);
      if (c.save) {
        EXPECT_EQ(onDisk(folder.path() / "XHKA.db", "SELECT ZD3 FROM \"表1\" ORDER BY ID"),
                  (std::vector<std::string>{"你好。", "新句子。"}));
      }
    }
    q.app().onBusy = nullptr;
  }
}

}  // namespace
}  // namespace zuvo
