// What the user is told when a table file fails: a full disk, an I/O error,
// a read-only file, a damaged or foreign file, a file that cannot be
// opened, another program's lock. Always Chinese, naming the file and what
// to do, SQLite's own words at most as a detail in brackets; a save the
// message asks to be made again goes in once the cause is gone.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <thread>

#include "app/FrmLexaro.h"
#include "store/file_messages.h"
#include "support/dictionary.h"

namespace zuvo {
namespace {

using namespace zuvo::testing;

// "" when the message is Chinese throughout: it begins in Chinese, names
// the file, and has no Latin letter outside the file's name and the detail
// in brackets; else what is wrong with it.
std::string notChinese(const Text& told, const std::filesystem::path& file) {
  if (told.empty() || told[0] < 0x3000) return "does not begin in Chinese: " + toUtf8(told);
  Text rest = told;
  if (rest.find(fromUtf8(file.string())) == Text::npos) return "does not name " + file.string() + ": " + toUtf8(told);
  // The names of the folder's files (a partner's too).
  const Text folder = fromUtf8(file.parent_path().string());
  for (size_t p; (p = rest.find(folder)) != Text::npos;) {
    const size_t end = rest.find(u".db", p);
    rest.erase(p, end == Text::npos ? folder.size() : end + 3 - p);
  }
  for (size_t open; (open = rest.find(u'（')) != Text::npos;) {
    const size_t close = rest.find(u'）', open);
    if (close == Text::npos) return "a bracket left open: " + toUtf8(told);
    rest.erase(open, close - open + 1);
  }
  for (char16_t c : rest)
    if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) return "Latin words outside a detail: " + toUtf8(told);
  return "";
}

std::string missingWords(const Text& told, const std::vector<Text>& words) {
  std::string out;
  for (const Text& w : words)
    if (told.find(w) == Text::npos) out += " \"" + toUtf8(w) + "\"";
  return out.empty() ? "" : "lacks" + out + ": " + toUtf8(told);
}

bool root() { return ::geteuid() == 0; }

// A small file system of its own, where the system lets the test mount one.
class Mount {
 public:
  Mount(const std::filesystem::path& at, const char* options) : at_(at) {
    std::filesystem::create_directories(at);
    ok_ = ::mount("tmpfs", at.c_str(), "tmpfs", 0, options) == 0;
  }
  ~Mount() {
    if (ok_) ::umount2(at_.c_str(), MNT_DETACH);
  }
  bool ok() const { return ok_; }

 private:
  std::filesystem::path at_;
  bool ok_ = false;
};

// The file made read-only for this program: by its mode, or for root, whom
// modes do not stop, by a read-only mount of the file over itself.
class ReadOnlyFile {
 public:
  explicit ReadOnlyFile(const std::filesystem::path& file) : file_(file) {
    if (root()) {
      bound_ = ::mount(file.c_str(), file.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
               ::mount(nullptr, file.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
      ok_ = bound_;
    } else {
      ok_ = ::chmod(file.c_str(), 0444) == 0;
    }
  }
  ~ReadOnlyFile() { undo(); }
  void undo() {
    if (bound_) ::umount2(file_.c_str(), MNT_DETACH);
    if (!root()) ::chmod(file_.c_str(), 0644);
    bound_ = false;
  }
  bool ok() const { return ok_; }

 private:
  std::filesystem::path file_;
  bool bound_ = false;
  bool ok_ = false;
};

// Every write of this process past `bytes` into any file fails, as a
// failing device refuses it (SQLite hears an I/O error).
class WriteLimit {
 public:
  explicit WriteLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    ok_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~WriteLimit() { lift(); }
  void lift() {
    if (!ok_) return;
    ::setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, old_handler_);
    ok_ = false;
  }
  bool ok() const { return ok_; }

 private:
  rlimit old_{};
  void (*old_handler_)(int) = nullptr;
  bool ok_ = false;
};

// Writes a file until the disk is full.
void fillDisk(const std::filesystem::path& file) {
  std::FILE* f = std::fopen(file.c_str(), "wb");
  const std::string block(4096, 'x');
  std::setvbuf(f, nullptr, _IONBF, 0);
  while (std::fwrite(block.data(), 1, block.size(), f) == block.size()) {
  }
  std::fclose(f);
}

// The main window on a dictionary in `data`, the sentence panel open with a
// pair typed, ready for its save button.
struct SentencePanel {
  explicit SentencePanel(const std::filesystem::path& data) : q(data), w(startMainWindow(q)) {}
  void type() {
    ASSERT_TRUE(q.user().click(w.Command1));
    ASSERT_TRUE(q.user().click(w.Command55));
    ASSERT_TRUE(q.user().type(w.Text44, u"新句子。"));
    ASSERT_TRUE(q.user().type(w.Text45, u"Frase nueva."));
  }
  void save() { ASSERT_TRUE(q.user().click(w.Command38)); }
  std::vector<std::string> pairs(const std::filesystem::path& data) {
    return onDisk(data / "XHKB.db", "SELECT Zd1 FROM \"表1\" ORDER BY ID");
  }
  Program q;
  FrmLexaro& w;
};

std::vector<SentencePair> longPairs(int n) {
  std::vector<SentencePair> out;
  for (int i = 1; i <= n; ++i) out.push_back({Text(300, u'句') + NumText(i), u"Frase " + NumText(i)});
  return out;
}

// A save refused by its file: the message says why and what to do, the
// typed pair is still in the panel, and the same press saves it once the
// cause is gone (after a restart where the message asks for one).
TEST(FileFailuresTest, ASaveRefusedByItsFileIsToldInChineseWithWhatToDoAndSavesOnceTheCauseIsGone) {
  struct Case {
    const char* name;
    int pairs;  // in the dictionary before the save
    // Brings the cause about once the pair is typed: false when this
    // machine cannot (the case is then left out); `cure` takes it away.
    std::function<bool(const std::filesystem::path& data, std::function<void()>& cure)> cause;
    const char* file;  // the file the message names
    std::vector<Text> words;
    bool restart;  // the message asks for a restart before the save
  };
  const std::vector<Case> cases = {
      {"a full disk", 1,
       [](const std::filesystem::path& data, std::function<void()>& cure) {
         const auto filler = data.parent_path() / "filler";
         fillDisk(filler);
         cure = [filler] { std::filesystem::remove(filler); };
         return true;
       },
       "XHKA.db", {u"磁盘已满", u"无法保存", u"输入的内容都还在", u"腾出", u"再保存一次", u"（database or disk is full）"},
       false},
      {"an I/O error", 150,
       [](const std::filesystem::path&, std::function<void()>& cure) {
         auto limit = std::make_shared<WriteLimit>(64 * 1024);
         cure = [limit] { limit->lift(); };
         return limit->ok();
       },
       "XHKA.db", {u"读写数据文件时出错", u"无法保存", u"输入的内容都还在", u"磁盘", u"再保存一次", u"（disk I/O error）"},
       false},
      {"a read-only file", 1,
       [](const std::filesystem::path& data, std::function<void()>& cure) {
         auto ro = std::make_shared<ReadOnlyFile>(data / "XHKA.db");
         cure = [ro] { ro->undo(); };
         return ro->ok();
       },
       "XHKA.db", {u"无法保存", u"只读", u"重新启动本程序", u"输入的内容都还在"}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir folder;
    Mount disk(folder.path() / "small", "size=1m");
    if (std::string(c.name) == "a full disk" && !disk.ok()) {
      std::cout << "left out: " << c.name << " (no small file system to be had here)\n";
      continue;
    }
    const auto data = folder.path() / "small" / "zuvo";
    writeDictionary(data, c.pairs == 1 ? std::vector<SentencePair>{{u"你好。", u"Hola."}} : longPairs(c.pairs));
    const auto before = onDisk(data / "XHKB.db", "SELECT Zd1 FROM \"表1\" ORDER BY ID");
    std::function<void()> cure;
    // A read-only file is known as such from its opening.
    std::optional<SentencePanel> panel;
    bool caused = false;
    if (c.restart) caused = c.cause(data, cure);
    panel.emplace(data);
    ASSERT_NO_FATAL_FAILURE(panel->type());
    if (!c.restart) caused = c.cause(data, cure);
    if (!caused) {
      if (cure) cure();
      std::cout << "left out: " << c.name << " (cannot be brought about here)\n";
      continue;
    }
    panel->save();
    if (cure) cure();
    const auto& messages = panel->q.dialogs().messages;
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(notChinese(messages[0].prompt, data / c.file), "");
    EXPECT_EQ(missingWords(messages[0].prompt, c.words), "");
    EXPECT_EQ(panel->w.Text44.text(), u"新句子。");  // the typed pair is kept
    EXPECT_EQ(panel->pairs(data), before);
    if (c.restart) {
      panel.reset();
      panel.emplace(data);
      ASSERT_NO_FATAL_FAILURE(panel->type());
    }
    panel->save();
    EXPECT_TRUE(panel->q.dialogs().messages.size() == (c.restart ? 0u : 1u))
        << toUtf8(panel->q.dialogs().messages.back().prompt);
    auto saved = before;
    saved.push_back("新句子。/Frase nueva.");
    EXPECT_EQ(panel->pairs(data), saved);
  }
}

// A file that cannot be used from the start: told when the window opens,
// and again when a save into its group is refused, each time in Chinese
// with what to do; the file is left as it was.
TEST(FileFailuresTest, AFileThatCannotBeUsedIsToldInChineseAtTheStartAndAtTheSaveItRefuses) {
  struct Case {
    const char* name;
    std::function<bool(const std::filesystem::path& file)> make;  // false: cannot be made here
    std::vector<Text> words;                                        // told at the start
  };
  const std::vector<Case> cases = {
      {"a damaged file",
       [](const std::filesystem::path& f) {
         writeBytes(f, std::string(8192, '\x5A'));
         return true;
       },
       {u"数据文件出错", u"已损坏", u"备份", u"（file is not a database）"}},
      {"another program's database",
       [&](const std::filesystem::path& f) {
         execOn(f, "CREATE TABLE notes (t TEXT); INSERT INTO notes VALUES ('x')");
         return true;
       },
       {u"数据文件无法打开", u"不是本程序的数据表", u"缺少数据表 表1", u"移到别处", u"重新启动本程序"}},
      {"an empty file",
       [](const std::filesystem::path& f) {
         std::ofstream(f).flush();
         return true;
       },
       {u"数据文件无法打开", u"不是本程序的数据表", u"文件是空的"}},
      {"a folder in the file's place",
       [](const std::filesystem::path& f) {
         std::filesystem::create_directories(f);
         return true;
       },
       {u"数据文件无法打开", u"无法读写", u"权", u"重新启动本程序", u"（unable to open database"}},
      {"a file this program may not read",
       [&](const std::filesystem::path& f) {
         execOn(f, "CREATE TABLE \"表1\" (ID INTEGER PRIMARY KEY, Zd1 TEXT)");
         return !root() && ::chmod(f.c_str(), 0) == 0;
       },
       {u"数据文件无法打开", u"无法读写", u"权", u"重新启动本程序", u"（unable to open database"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir folder;
    writeDictionary(folder.path(), {{u"你好。", u"Hola."}});
    const auto file = folder.path() / "XHKB.db";
    std::filesystem::remove(file);
    if (!c.make(file)) {
      std::cout << "left out: " << c.name << " (cannot be made here)\n";
      continue;
    }
    const std::string bytes = std::filesystem::is_regular_file(file) && !::access(file.c_str(), R_OK) ? readBytes(file) : "";
    {
      SentencePanel panel(folder.path());
      const auto& messages = panel.q.dialogs().messages;
      ASSERT_EQ(messages.size(), 1u);
      EXPECT_EQ(notChinese(messages[0].prompt, file), "");
      EXPECT_EQ(missingWords(messages[0].prompt, c.words), "");
      ASSERT_NO_FATAL_FAILURE(panel.type());
      panel.save();
      ASSERT_EQ(messages.size(), 2u);
      EXPECT_EQ(notChinese(messages[1].prompt, file), "");
      EXPECT_EQ(missingWords(messages[1].prompt, {u"无法保存", u"同组的数据文件", u"重新启动本程序", u"输入的内容都还在"}), "");
      EXPECT_EQ(panel.w.Text44.text(), u"新句子。");
    }
    ::chmod(file.c_str(), 0644);
    if (!bytes.empty()) {
      EXPECT_EQ(readBytes(file), bytes);
    }
  }
}

// Every failure SQLite can report is told in Chinese, with the file, what to
// do, and SQLite's words only in brackets; a save's message says that what
// was typed is kept.
TEST(FileFailuresTest, EveryResultCodeIsToldInChineseWithSqlitesWordsInBrackets) {
  const std::filesystem::path file = "/data/zuvo/XHKA.db";
  for (int rc : {SQLITE_FULL, SQLITE_IOERR, SQLITE_IOERR_WRITE, SQLITE_IOERR_FSYNC, SQLITE_READONLY,
                 SQLITE_READONLY_DBMOVED, SQLITE_CANTOPEN, SQLITE_PERM, SQLITE_NOMEM, SQLITE_CORRUPT, SQLITE_NOTADB,
                 SQLITE_CONSTRAINT_TRIGGER, SQLITE_ERROR, SQLITE_MISUSE}) {
    for (bool saving : {true, false}) {
      SCOPED_TRACE(std::string(sqlite3_errstr(rc)) + (saving ? ", saving" : ", reading"));
      const std::string own = sqlite3_errstr(rc);
      const Text told = fromUtf8(file_messages::failed(file, rc, own, saving));
      EXPECT_EQ(notChinese(told, file), "");
      EXPECT_NE(told.find(u"（" + fromUtf8(own) + u"）"), Text::npos) << toUtf8(told);
      EXPECT_NE(told.find(u"请"), Text::npos) << toUtf8(told);  // says what to do
      if (saving && rc != SQLITE_CORRUPT && rc != SQLITE_NOTADB) {
        EXPECT_NE(told.find(u"输入的内容"), Text::npos) << toUtf8(told);
      }
      const Text opened = fromUtf8(file_messages::openFailed(file, rc, own));
      EXPECT_EQ(notChinese(opened, file), "");
    }
  }
}

// Another program keeps the number-word table locked: the number typed is
// told as a file in use, never as SQLite's "database is locked", and once
// the lock is gone the next number is spelled.
TEST(FileFailuresTest, AReadKeptOutByAnotherProgramsLockIsToldAsAFileInUse) {
  TempDir folder;
  writeDictionary(folder.path(), {{u"你好。", u"Hola."}});
  Program q(folder.path());
  FrmLexaro& w = startMainWindow(q);
  ASSERT_TRUE(q.user().type(w.RichTextBox16, u"1"));
  ASSERT_TRUE(q.dialogs().messages.empty());
  const Text one = w.Text33.text();
  const auto file = folder.path() / "SZK1.db";
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  ASSERT_TRUE(q.user().type(w.RichTextBox16, u"5"));
  sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  ASSERT_EQ(q.dialogs().messages.size(), 1u);
  const Text& told = q.dialogs().messages[0].prompt;
  EXPECT_EQ(notChinese(told, file), "");
  EXPECT_EQ(missingWords(told, {u"另一个程序", u"稍后再试"}), "");
  EXPECT_EQ(told.find(u"出错"), Text::npos) << toUtf8(told);
  EXPECT_EQ(told.find(u"损坏"), Text::npos) << toUtf8(told);
  ASSERT_TRUE(q.user().type(w.RichTextBox16, u"7"));
  EXPECT_EQ(q.dialogs().messages.size(), 1u);
  EXPECT_NE(w.Text33.text(), u"");
  EXPECT_NE(w.Text33.text(), one);
}

}  // namespace
}  // namespace zuvo
