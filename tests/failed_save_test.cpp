// A save that cannot be made: every save gesture of the program, kept out by
// another program's read or write lock or refused by its file as a full
// disk refuses it, leaves every window as it was before the gesture (texts,
// captions, visibility, enabled state, focus, the stores' records), stores
// nothing, tells why in Chinese, and the same gesture saves once the cause
// is gone.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>
#include <memory>
#include <optional>

#include "app/FrmLexaro.h"
#include "support/dictionary.h"
#include "support/places.h"
#include "support/save_gestures.h"

namespace zuvo {
namespace {

using namespace zuvo::testing;

// Another program's hold on a table file for as long as the object lives: a
// read ("BEGIN; SELECT …") or its write lock.
class HeldFile {
 public:
  enum Hold { Read, Write };
  HeldFile(const std::filesystem::path& file, Hold hold) {
    EXPECT_EQ(sqlite3_open(file.c_str(), &db_), SQLITE_OK);
    sqlite3_busy_timeout(db_, 20000);
    const char* sql = hold == Read ? "BEGIN; SELECT count(*) FROM \"表1\";" : "BEGIN EXCLUSIVE;";
    EXPECT_EQ(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db_);
  }
  ~HeldFile() {
    sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db_);
  }
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;

 private:
  sqlite3* db_ = nullptr;
};

// Why the save cannot be made.
enum class Cause {
  ReadHeld,   // another program reads the file for longer than a save waits
  WriteHeld,  // another program holds the file's write lock as long
  Refused,    // every write into the file is refused, as a full disk refuses it
};

const char* causeName(Cause c) {
  switch (c) {
    case Cause::ReadHeld:
      return "ReadHeld";
    case Cause::WriteHeld:
      return "WriteHeld";
    case Cause::Refused:
      return "Refused";
  }
  return "";
}

class FailedSaveTest;

struct Gesture {
  const char* name;
  const char* file;                                   // the table file the cause lies on
  std::function<void(FailedSaveTest&)> prepare;       // what the user did before the gesture
  std::function<void(FailedSaveTest&)> press;         // the gesture that saves
  const char* sql;                                    // on `file`
  std::vector<std::string> saved;                     // `sql` once the gesture has saved
};

void PrintTo(const Gesture& g, std::ostream* os) { *os << g.name; }

const std::vector<PlaceRow> kPlaces = {
    {u"亚洲", u"Asia", u"世界最大的洲"},
    {u"马德里", u"Madrid", u"西班牙的首都"},
};

class FailedSaveTest : public SaveGestures, public ::testing::WithParamInterface<std::tuple<Gesture, Cause>> {
 public:
  void SetUp() override {
    writePlaces(dir.path(), kPlaces);
    start({{u"你好。", u"Hola."}}, {{u"vivir", u"住", u"Vivo.我住。"}}, {{u"casa", u"casa", u"房子", u""}});
  }
  std::vector<Text> prompts() const {
    std::vector<Text> out;
    for (const auto& m : p->dialogs().messages) out.push_back(m.prompt);
    return out;
  }
};

// Refuses every new and rewritten row of the file's table, with the words
// SQLite gives a full disk.
void refuseWrites(const std::filesystem::path& file) {
  execOn(file,
         "CREATE TRIGGER refuse_insert BEFORE INSERT ON \"表1\" BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END;"
         "CREATE TRIGGER refuse_update BEFORE UPDATE ON \"表1\" BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END;");
}

void acceptWrites(const std::filesystem::path& file) {
  execOn(file, "DROP TRIGGER refuse_insert; DROP TRIGGER refuse_update;");
}

TEST_P(FailedSaveTest, TheWindowIsAsBeforeTheGestureNothingIsStoredAndTheSameGestureSavesLater) {
  const auto& [g, cause] = GetParam();
  ASSERT_NO_FATAL_FAILURE(g.prepare(*this));
  const auto file = dir.path() / g.file;
  const auto stored = onDisk(file, g.sql);
  p->dialogs().messages.clear();
  const WindowState before = windowState(p->app());
  {
    std::optional<HeldFile> held;
    if (cause == Cause::ReadHeld) held.emplace(file, HeldFile::Read);
    if (cause == Cause::WriteHeld) held.emplace(file, HeldFile::Write);
    if (cause == Cause::Refused) {
      ASSERT_NO_FATAL_FAILURE(refuseWrites(file));
    }
    g.press(*this);
    EXPECT_EQ(differences(before, windowState(p->app())), "");
  }
  ASSERT_EQ(prompts().size(), 1u);
  const Text told = prompts()[0];
  if (cause == Cause::Refused) {
    EXPECT_NE(told.find(u"disk is full"), Text::npos) << toUtf8(told);
  } else {
    // Told as the save it was, also when the save's own read met the lock.
    EXPECT_NE(told.find(u"另一个程序"), Text::npos) << toUtf8(told);
    EXPECT_NE(told.find(u"暂时无法保存"), Text::npos) << toUtf8(told);
  }
  EXPECT_EQ(told.find(u"无法读取"), Text::npos) << toUtf8(told);
  EXPECT_EQ(onDisk(file, g.sql), stored);

  if (cause == Cause::Refused) {
    ASSERT_NO_FATAL_FAILURE(acceptWrites(file));
  }
  g.press(*this);
  EXPECT_EQ(onDisk(file, g.sql), g.saved);
  // Saved without another word of failure.
  for (size_t i = 1; i < prompts().size(); ++i) EXPECT_EQ(prompts()[i].find(u"无法"), Text::npos) << toUtf8(prompts()[i]);
}

const Gesture kGestures[] = {
    {"SentencePanel", "XHKA.db",
     [](FailedSaveTest& t) { t.fillSentencePanel(u"新句子。", u"Frase nueva."); },
     [](FailedSaveTest& t) { t.click(t.w().Command38); }, "SELECT ZD3, ZD4 FROM \"表1\" ORDER BY ID",
     {"你好。:Hola.", "新句子。:Frase nueva."}},
    // The pair's second table fails after the first has taken its record.
    {"SentencePanelSearchTable", "XHKB.db",
     [](FailedSaveTest& t) { t.fillSentencePanel(u"新句子。", u"Frase nueva."); },
     [](FailedSaveTest& t) { t.click(t.w().Command38); }, "SELECT Zd1 FROM \"表1\" ORDER BY ID",
     {"你好。/Hola.", "新句子。/Frase nueva."}},
    // The edited pair is written at the end of the press.
    {"SentenceEdit", "XHKA.db",
     [](FailedSaveTest& t) {
       t.click(t.w().Command24);
       t.type(t.w().Text40, u"改");
     },
     [](FailedSaveTest& t) { t.click(t.w().Command9); }, "SELECT ZD3 FROM \"表1\" ORDER BY ID", {"改你好。"}},
    {"VerbPanel", "DCK1.db",
     [](FailedSaveTest& t) { t.fillVerbPanel(u"hablar", u"说"); },
     [](FailedSaveTest& t) { t.click(t.w().Command67); }, "SELECT ZD1 FROM \"表1\" ORDER BY ID", {"vivir", "hablar"}},
    {"WordPanel", "CKUA.db",
     [](FailedSaveTest& t) { t.fillWordPanel(u"mesa", u"mesa", u"桌子"); },
     [](FailedSaveTest& t) { t.click(t.w().Command83); }, "SELECT ZD1, ZD3 FROM \"表1\" ORDER BY ID",
     {"casa:房子", "mesa:桌子"}},
    // A letter typed into the word view is the edit, saved as the event ends.
    {"WordViewEdit", "CKUA.db", [](FailedSaveTest& t) { t.lookUp(u"casa"); },
     [](FailedSaveTest& t) { t.type(t.w().Text112, u"x"); }, "SELECT ZD2 FROM \"表1\" ORDER BY ID", {"xcasa"}},
    {"PlaceEntry", "DMK0.db",
     [](FailedSaveTest& t) { t.fillPlacePanel(u"里斯本", u"Lisboa"); },
     [](FailedSaveTest& t) { t.click(t.places().Command35); }, "SELECT ZD1 FROM \"表1\" ORDER BY ID",
     {"Asia", "Madrid", "Lisboa"}},
    {"PlaceModify", "DMK0.db",
     [](FailedSaveTest& t) {
       frm世界地名& pl = t.places();
       ASSERT_TRUE(t.user().mouseDown(pl.DBGrid1, {}, 1));
       t.click(pl.Command28);
       ASSERT_TRUE(t.user().pressKey(pl.Text4, kKeyEnd));
       t.type(pl.Text4, u" (capital)");
     },
     [](FailedSaveTest& t) { t.click(t.places().Command28); }, "SELECT ZD1 FROM \"表1\" ORDER BY ID",
     {"Asia", "Madrid (capital)"}},
    {"SentenceImport", "XHKA.db", [](FailedSaveTest& t) { t.batchFile(t.w().Command58, "新句子。/Frase nueva.\r\n"); },
     [](FailedSaveTest& t) { t.click(t.w().Command58); }, "SELECT ZD3, ZD4 FROM \"表1\" ORDER BY ID",
     {"你好。:Hola.", "新句子。:Frase nueva."}},
    {"VerbImport", "DCK1.db",
     [](FailedSaveTest& t) { t.batchFile(t.w().Command57, "hablar/x/规则/con/说/Hablo.我说。\r\n"); },
     // The press that imports the file ends the program.
     [](FailedSaveTest& t) { t.user().click(t.w().Command57); }, "SELECT ZD1 FROM \"表1\" ORDER BY ID", {"vivir", "hablar"}},
    {"WordImport", "CKUA.db", [](FailedSaveTest& t) { t.batchFile(t.w().Command69, "mesa/桌子\r\n"); },
     [](FailedSaveTest& t) { t.click(t.w().Command69); }, "SELECT ZD1, ZD3 FROM \"表1\" ORDER BY ID",
     {"casa:房子", "mesa:桌子"}},
    {"PlaceImport", "DMK0.db", [](FailedSaveTest& t) { t.placeFile("Lisboa/里斯本\r\n"); },
     [](FailedSaveTest& t) { t.click(t.places().Command3); }, "SELECT ZD1 FROM \"表1\" ORDER BY ID",
     {"Asia", "Madrid", "Lisboa"}},
};

INSTANTIATE_TEST_SUITE_P(EverySave, FailedSaveTest,
                         ::testing::Combine(::testing::ValuesIn(kGestures),
                                            ::testing::Values(Cause::ReadHeld, Cause::WriteHeld, Cause::Refused)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" + causeName(std::get<1>(info.param));
                         });

}  // namespace
}  // namespace zuvo
