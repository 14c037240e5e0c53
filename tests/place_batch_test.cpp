// Place batch files as the user meets them: "><", the batch button pressed
// twice, the open dialog, the "/" counts and column-order checks that mark
// bad columns and write the file back, the reshaping of three-column files,
// and the writers, asserted on what the window shows, what the table files
// hold and what the user's file holds afterwards.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <random>

#include "platform/rich_document.h"
#include "support/files.h"
#include "support/places.h"

namespace zuvo {
namespace {

using namespace zuvo::testing;
using namespace std::string_literals;

constexpr TextView kDone = u"恭喜您顺利完成批量地名添加！";
constexpr TextView kCountWrong = u"您的格式中有部分错误！请按要求在 WORD 中检查！";
constexpr TextView kCountWrongFour = u"您的格式中有部分错误！请按要求在 WORD 中检查MMMMMMMOOOOOO！";
constexpr TextView kNoFormat = u"您的格式不对！请按要求检查错误！";
constexpr TextView kAllOk = u"全正常！！！！";
constexpr Colour kRed = 255;
constexpr Colour kBlue = 0xFF0000;

// Rows of a table file as another program reads them, columns joined by "|",
// NULL as empty, a file not there yet as no rows.
std::vector<std::string> onDisk(const std::filesystem::path& file, const std::string& cols) {
  return tableRows(file, "SELECT " + cols + " FROM \"表1\" ORDER BY ID", "|", {.null = "", .missingIsEmpty = true});
}

// An eighteen-column line: column i holds `prefix` and i, unless given.
Text eighteen(const std::map<int, Text>& given, TextView prefix = u"c") {
  Text line;
  for (int i = 1; i <= 18; ++i) {
    if (i > 1) line += u'/';
    auto it = given.find(i);
    line += it != given.end() ? it->second : Text(prefix) + NumText(i);
  }
  return line;
}

class PlaceBatchTest : public PlaceWindowTest {
 protected:
  TempDir files;  // the user's batch files, apart from the data folder

  void SetUp() override { start(); }
  void start(const std::vector<PlaceRow>& places = {{u"亚洲", u"Asia", u"世界最大的洲"}}) {
    PlaceWindowTest::start(places);
  }
  std::vector<MessageRecord>& messages() { return p->dialogs().messages; }
  std::vector<Text> prompts() {
    std::vector<Text> out;
    for (auto& m : messages()) out.push_back(m.prompt);
    return out;
  }
  std::filesystem::path writeBytes(const char* name, const std::string& bytes) {
    const auto path = files.path() / name;
    zuvo::testing::writeBytes(path, bytes);
    return path;
  }
  std::filesystem::path write(const char* name, const std::vector<Text>& lines) {
    return writeBytes(name, fileBytes(lines));
  }
  // The first press of the batch button, with the file chosen in the dialog.
  void openFile(const std::filesystem::path& path) {
    if (!w->Command3.Visible) {
      ASSERT_TRUE(user().click(w->Command33));
    }
    p->dialogs().fileAnswers.push_back(fromUtf8(path.string()));
    ASSERT_TRUE(user().click(w->Command3));
    ASSERT_TRUE(w->RichTextBox4.Visible);
  }
  // Opens the file and presses the batch button again.
  void importFile(const std::filesystem::path& path) {
    openFile(path);
    messages().clear();
    ASSERT_TRUE(user().click(w->Command3));
  }
  std::vector<std::string> places(const std::string& cols = "ID, ZD1, ZD2, ZD17") {
    return onDisk(dir.path() / "DMK0.db", cols);
  }
  std::vector<std::string> search() { return onDisk(dir.path() / "DMK1.db", "ID, ZD1"); }
  std::vector<std::string> names(const std::string& cols = "ID, ZD1, ZD2, ZD3, ZD4") {
    return onDisk(dir.path() / "DMK2.db", cols);
  }
  // The panel closed and the window back in its browsing state.
  void expectPanelClosed() {
    EXPECT_FALSE(w->RichTextBox4.Visible);
    EXPECT_TRUE(w->Label3.Visible && w->Label4.Visible);
    EXPECT_FALSE(w->Command3.Visible || w->Command35.Visible);
    EXPECT_EQ(w->Command3.Caption, u"批量添加(&P)");
    EXPECT_EQ(w->Command27.Caption, u"退出");
    EXPECT_TRUE(w->Command33.Enabled && w->Command40.Enabled && w->Command39.Enabled && w->Command28.Enabled);
    EXPECT_FALSE(w->ProgressBar1.Visible);
  }
  // Colours of the characters of `part` in the file as it now is on disk.
  std::vector<Colour> coloursOnDisk(const std::filesystem::path& file, TextView part) {
    const RichDocument doc = loadRichFile(file, CharFormat{});
    const size_t at = doc.text.find(part);
    EXPECT_NE(at, Text::npos) << toUtf8(part);
    std::vector<Colour> out;
    if (at == Text::npos) return out;
    for (size_t i = at; i < at + part.size(); ++i) out.push_back(doc.formats.at(static_cast<int64_t>(i)).colour);
    return out;
  }
  bool allColoured(const std::filesystem::path& file, TextView part, Colour c) {
    for (Colour x : coloursOnDisk(file, part))
      if (x != c) return false;
    return true;
  }
};

// --- the panel ---------------------------------------------------------------------

TEST_F(PlaceBatchTest, TheFirstPressOpensThePanelAndCloseOrCancelChangesNothing) {
  const auto file = write("p.txt", {u"Lima/利马"});
  ASSERT_TRUE(user().click(w->Command33));
  // A cancelled dialog leaves everything as it was.
  ASSERT_TRUE(user().click(w->Command3));
  EXPECT_EQ(p->dialogs().fileDialogs.back(), (MessageRecord{u"打开", u"文本文件 (*.TXT)|*.TXT"}));
  EXPECT_FALSE(w->RichTextBox4.Visible);
  EXPECT_EQ(w->Command3.Caption, u"批量添加(&P)");
  openFile(file);
  EXPECT_EQ(w->RichTextBox4.text(), u"Lima/利马\r\n");
  EXPECT_EQ(w->RichTextBox4.Width, 9400.f);
  EXPECT_TRUE(w->RichTextBox4.hasFocus());
  EXPECT_FALSE(w->Label3.Visible || w->Label4.Visible);
  EXPECT_FALSE(w->Command33.Enabled || w->Command40.Enabled || w->Command35.Enabled || w->Command39.Enabled ||
               w->Command28.Enabled);
  EXPECT_EQ(w->Command3.Caption, u"开始添加(&K)");
  EXPECT_EQ(w->Command27.Caption, u"关闭");
  // "关闭" closes the panel without a run; the window stays.
  ASSERT_TRUE(user().click(w->Command27));
  expectPanelClosed();
  EXPECT_EQ(places().size(), 1u);
  EXPECT_TRUE(p->app().isLoaded<frm世界地名>());
  // "><" shows the batch button again with its first caption.
  ASSERT_TRUE(user().click(w->Command33));
  EXPECT_TRUE(w->Command3.Visible);
  EXPECT_EQ(w->Command3.Caption, u"批量添加(&P)");
  // A file that cannot be read is reported and the panel stays closed.
  p->dialogs().fileAnswers.push_back(fromUtf8((files.path() / "missing.txt").string()));
  ASSERT_TRUE(user().click(w->Command3));
  EXPECT_FALSE(w->RichTextBox4.Visible);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].prompt.rfind(u"批量文件无法打开：", 0), 0u);
}

TEST_F(PlaceBatchTest, AFifoOrAFileThatIsNoTextIsRefusedAtOnceAndLeftAsItWas) {
  const Fifo fifo(files.path() / "fifo.txt");
  const std::string binary("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16);
  const auto picture = writeBytes("picture.txt", binary);
  const auto withNul = writeBytes("nul.txt", fileBytes({u"Lima/利马"}) + "\0"s);
  for (const auto& path : {fifo.path(), picture, withNul}) {
    SCOPED_TRACE(path.filename().string());
    messages().clear();
    if (!w->Command3.Visible) {
      ASSERT_TRUE(user().click(w->Command33));
    }
    p->dialogs().fileAnswers.push_back(fromUtf8(path.string()));
    ASSERT_TRUE(user().click(w->Command3));
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].prompt.rfind(u"批量文件无法打开：" + fromUtf8(path.string()) + u"\r\n", 0), 0u)
        << toUtf8(messages()[0].prompt);
    EXPECT_FALSE(w->RichTextBox4.Visible);
    EXPECT_EQ(w->Command3.Caption, u"批量添加(&P)");
  }
  EXPECT_EQ(readBytes(picture), binary);
  EXPECT_EQ(readBytes(withNul), fileBytes({u"Lima/利马"}) + "\0"s);
  EXPECT_EQ(places().size(), 1u);
}

TEST_F(PlaceBatchTest, EnyeFromAUtf8FileIsStoredAsTypedAndFoundByTypingIt) {
  importFile(writeBytes("p.txt", fileBytes({u"España/西班牙", u"Ñuñoa/纽尼奥阿"}, Encoding::Utf8)));
  EXPECT_EQ(prompts(), std::vector<Text>{Text(kDone)});
  EXPECT_EQ(names("ID, ZD1"), (std::vector<std::string>{"1|Asia", "2|Espaňa", "3|ňuňoa"}));
  for (const TextView typed : {u"Espaňa", u"ňuňoa"}) {
    ASSERT_TRUE(user().type(w->Text9, typed));
    EXPECT_EQ(w->Text9.text(), u"") << toUtf8(typed);
    EXPECT_EQ(w->RichTextBox2.text(), typed);
  }
}

TEST_F(PlaceBatchTest, LinesEndingInCrCrLfAreAllImported) {
  importFile(writeBytes("p.txt", fileBytes({u"Lima/利马", u"Quito/基多"}, Encoding::Gbk, u"\r\r\n")));
  EXPECT_EQ(prompts(), std::vector<Text>{Text(kDone)});
  EXPECT_EQ(names("ID, ZD1"), (std::vector<std::string>{"1|Asia", "2|Lima", "3|Quito"}));
}

TEST_F(PlaceBatchTest, AFirstLineOfNoFormatIsToldAndNothingIsStored) {
  for (const std::string& bytes : {fileBytes({u"a/b/c/d/e", u"x/y"}), fileBytes({u"", u"Lima/利马"}), std::string(),
                                   fileBytes({u"Lima 利马"})}) {
    SCOPED_TRACE(bytes);
    const auto file = writeBytes("p.txt", bytes);
    importFile(file);
    EXPECT_EQ(prompts(), std::vector<Text>{Text(kNoFormat)});
    expectPanelClosed();
    EXPECT_EQ(readBytes(file), bytes);
  }
  EXPECT_EQ(places().size(), 1u);
}

// --- "/" counts ---------------------------------------------------------------------

TEST_F(PlaceBatchTest, LinesWithTheWrongCountAreRedAndTheFileIsWrittenBack) {
  struct Case {
    const char* name;
    std::vector<Text> lines;
    std::vector<Text> bad;  // the lines that must come back red
    TextView message;
  };
  const std::vector<Case> cases = {
      {"two columns, three bad lines",
       {u"Lima/利马", u"Quito/基多/厄瓜多尔", u"Roma/罗马", u"Paris", u"Berlin/柏/林", u"", u"bad/bad/bad"},
       {u"Quito/基多/厄瓜多尔", u"Paris", u"Berlin/柏/林"},
       kCountWrong},
      {"three columns, a slash inside an introduction",
       {u"Lima/利马/秘鲁首都", u"Quito/基多/厄瓜多尔/首都"},
       {u"Quito/基多/厄瓜多尔/首都"},
       kCountWrong},
      {"four columns", {u"Lima/利马/秘鲁首都/LIM", u"Quito/基多/厄瓜多尔"}, {u"Quito/基多/厄瓜多尔"}, kCountWrongFour},
      {"eighteen columns, a bad last line without line end", {eighteen({}), u"a/b/c"}, {u"a/b/c"}, kCountWrong},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const bool lastOpen = std::string(c.name).find("without") != std::string::npos;
    const auto file = writeBytes("p.txt", fileBytes(c.lines, Encoding::Gbk, u"\r\n", !lastOpen));
    importFile(file);
    EXPECT_EQ(prompts(), std::vector<Text>{Text(c.message)});
    expectPanelClosed();
    EXPECT_EQ(w->Label8.BackColor, kButtonFace);
    for (const Text& bad : c.bad) EXPECT_TRUE(allColoured(file, bad, kRed)) << toUtf8(bad);
    // Good lines keep their plain colour; lines after the empty one are not checked.
    EXPECT_TRUE(allColoured(file, c.lines[0], CharFormat{}.colour));
    if (c.lines.size() > 6) {
      EXPECT_TRUE(allColoured(file, c.lines[6], CharFormat{}.colour));
    }
    EXPECT_EQ(places().size(), 1u);
    EXPECT_EQ(search().size(), 1u);
  }
}

TEST_F(PlaceBatchTest, AFailedWriteBackIsReportedAndLeavesTheFileAlone) {
  const auto file = write("p.txt", {u"Lima/利马", u"Quito"});
  openFile(file);
  // The file's place is taken by a folder: the rename over it fails.
  std::filesystem::remove(file);
  std::filesystem::create_directory(file);
  messages().clear();
  ASSERT_TRUE(user().click(w->Command3));
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].prompt.rfind(u"批量文件无法写回：", 0), 0u);
  EXPECT_TRUE(std::filesystem::is_directory(file));
  // No temporary file is left beside it.
  int left = 0;
  for (auto& e : std::filesystem::directory_iterator(files.path())) left += e.path() != file;
  EXPECT_EQ(left, 0);
  expectPanelClosed();
  EXPECT_EQ(w->Label8.BackColor, kButtonFace);
  EXPECT_EQ(places().size(), 1u);
}

// A file changed or removed after it was opened is never written over nor
// made again: the user is told to open it again, and nothing is stored.
TEST_F(PlaceBatchTest, AFileChangedSinceItWasOpenedIsNeverWrittenBack) {
  for (const bool removed : {false, true}) {
    SCOPED_TRACE(removed ? "removed" : "corrected in an editor");
    const size_t before = places().size();
    const auto file = write("p.txt", {u"Lima/利马", u"Quito"});
    openFile(file);
    const std::string left = fileBytes({u"Lima/利马", u"Quito/基多"});
    if (removed)
      std::filesystem::remove(file);
    else
      zuvo::testing::writeBytes(file, left);
    messages().clear();
    ASSERT_TRUE(user().click(w->Command3));
    ASSERT_EQ(messages().size(), 1u);
    const Text& told = messages()[0].prompt;
    EXPECT_EQ(told.rfind(u"批量文件无法写回：" + fromUtf8(file.string()) + u"\r\n", 0), 0u) << toUtf8(told);
    EXPECT_NE(told.find(u"打开之后已被改动"), Text::npos) << toUtf8(told);
    EXPECT_NE(told.find(u"请重新打开"), Text::npos) << toUtf8(told);
    if (removed) {
      EXPECT_FALSE(std::filesystem::exists(file));
    } else {
      EXPECT_EQ(readBytes(file), left);
    }
    expectPanelClosed();
    EXPECT_EQ(w->Label8.BackColor, kButtonFace);
    EXPECT_EQ(places().size(), before);
    // Opened again, the corrected file is read as it is now.
    if (!removed) {
      importFile(file);
      EXPECT_EQ(prompts(), std::vector<Text>{Text(kDone)});
      EXPECT_EQ(places().size(), before + 2);
    }
  }
}

// --- two and four columns: the order of the columns ----------------------------------

TEST_F(PlaceBatchTest, TwoColumnOrder) {
  struct Case {
    const char* name;
    std::vector<Text> lines;
    TextView message;                  // "" when the file is imported
    std::vector<Text> red;             // columns marked red in the written-back file
  };
  const std::vector<Case> cases = {
      {"reversed lines set both flags", {u"利马/Lima", u"Quito/基多"}, u"您的格式中有部分内容位置不对！请按要求在 WORD 中检查！",
       {u"利马", u"Lima"}},
      {"a non-Latin first column alone is written", {u"ábside/后殿", u"Quito/基多"}, u"", {}},
      {"an empty second column is not Latin", {u"Paris/", u"Quito/基多"}, u"", {}},
      {"an empty first column after a Latin one", {u"Paris/巴黎", u"/基多"}, u"", {}},
      // The flag of the first columns above is not carried into this check.
      {"two Latin columns", {u"Paris/Francia", u"Quito/基多"}, u"您的格式中全部内容位置颠倒！请按要求在 WORD 中检查！",
       {u"Francia"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const size_t before = places().size();
    const auto file = write("p.txt", c.lines);
    const std::string bytes = readBytes(file);
    importFile(file);
    expectPanelClosed();
    EXPECT_EQ(w->Label8.BackColor, kButtonFace);
    if (c.message.empty()) {
      EXPECT_EQ(prompts(), std::vector<Text>{Text(kDone)});
      EXPECT_EQ(places().size(), before + c.lines.size());
      EXPECT_EQ(readBytes(file), bytes);
    } else {
      EXPECT_EQ(prompts(), std::vector<Text>{Text(c.message)});
      EXPECT_EQ(places().size(), before);
      EXPECT_EQ(w->Text15.text(), u"0");
      for (const Text& col : c.red) EXPECT_TRUE(allColoured(file, col, kRed)) << toUtf8(col);
      EXPECT_TRUE(allColoured(file, u"Quito/基多", CharFormat{}.colour));
    }
  }
  EXPECT_EQ(places("ZD1, ZD2").back(), "|基多");
  EXPECT_EQ(places("ZD1, ZD2")[places().size() - 4], "Paris|");
}

TEST_F(PlaceBatchTest, TheLatinTestLooksAtTheFirstCharacterOnly) {
  // A second column that is Latin refuses a two-column file.
  const std::vector<std::pair<Text, bool>> cases = {
      {u"abc", true},  {u"Zeta", true},   {u"1abc", false}, {u" abc", false}, {u"ábc", false},
      {u"ňa", false},  {u"Ｌima", false}, {u"中a", false},  {u"[a", false},   {u"{a", false},
      {u"@a", false},  {u"`a", false},
  };
  for (const auto& [second, latin] : cases) {
    SCOPED_TRACE(toUtf8(second));
    importFile(write("p.txt", {u"Lima/" + second}));
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].prompt == kDone, !latin);
  }
}

TEST_F(PlaceBatchTest, FourColumnOrder) {
  struct Case {
    const char* name;
    std::vector<Text> lines;
    std::vector<Text> messages;
    std::vector<std::pair<Text, Colour>> marks;  // in the written-back file
  };
  const Text good = u"Lima/利马/秘鲁首都/LIM";
  const std::vector<Case> cases = {
      {"in order", {good, u"Quito/基多/厄瓜多尔首都/UIO"}, {Text(kAllOk), Text(kDone)}, {}},
      // A Chinese fourth column is flagged but still written, without "全正常".
      {"a Chinese fourth column", {good, u"Quito/基多/厄瓜多尔首都/基多"}, {Text(kDone)}, {}},
      {"a Latin second or third column", {good, u"Quito/Kito/厄瓜多尔首都/UIO", u"Roma/罗马/Capital/ROM"},
       {u"您的格式中信息位置安排错误！请按要求在 WORD 中检查！！！！"},
       {{u"Kito", kBlue}, {u"Capital", kBlue}}},
      {"both kinds", {u"利马/利马/Capital/LIM", good}, {u"您的格式中有部分位置错误！请按要求在 WORD 中检查########！"},
       {{u"利马/", kRed}, {u"Capital", kBlue}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const size_t before = places().size();
    const auto file = write("p.txt", c.lines);
    importFile(file);
    EXPECT_EQ(prompts(), c.messages);
    expectPanelClosed();
    EXPECT_EQ(w->Label8.BackColor, kButtonFace);
    const bool written = c.messages.back() == kDone;
    EXPECT_EQ(places().size(), before + (written ? c.lines.size() : 0));
    for (const auto& [part, colour] : c.marks) {
      auto colours = coloursOnDisk(file, part);
      if (part.back() == u'/') colours.pop_back();  // the "/" itself is not marked
      for (Colour x : colours) EXPECT_EQ(x, colour) << toUtf8(part);
    }
    if (!written) {
      EXPECT_TRUE(allColoured(file, good, CharFormat{}.colour));
      EXPECT_EQ(w->Text15.text(), u"0");
    }
  }
}

// --- three columns: order and reshaping ----------------------------------------------

TEST_F(PlaceBatchTest, ThreeColumnFilesInOrderAreWrittenAsTheyAre) {
  importFile(write("p.txt", {u"Lima/利马/秘鲁首都", u"Quito/基多/"}));
  EXPECT_EQ(prompts(), std::vector<Text>{Text(kDone)});
  expectPanelClosed();
  EXPECT_EQ(places(), (std::vector<std::string>{"1|Asia|亚洲|世界最大的洲", "2|Lima|利马|秘鲁首都", "3|Quito|基多|"}));
  EXPECT_EQ(search().back(), "3|Quito/基多/");
  EXPECT_EQ(names().at(1), "2|Lima|利马|秘鲁首都|");
  // Latin introductions on every line are accepted too.
  importFile(write("p.txt", {u"Roma/罗马/Capital de Italia", u"Oslo/奥斯陆/Capital de Noruega"}));
  EXPECT_EQ(prompts(), std::vector<Text>{Text(kDone)});
  EXPECT_EQ(places().back(), "5|Oslo|奥斯陆|Capital de Noruega");
}

TEST_F(PlaceBatchTest, ChineseNamesFirstAreReshapedAndStoredInTheirOwnFields) {
  const auto file = write("p.txt", {u"利马/Lima/秘鲁首都", u"基多/quito/厄瓜多尔首都", u"", u"罗马/Roma"});
  const std::string bytes = readBytes(file);
  importFile(file);
  EXPECT_EQ(prompts(), std::vector<Text>{Text(kDone)});
  expectPanelClosed();
  EXPECT_EQ(w->Label14.BackColor, kButtonFace);
  EXPECT_EQ(places(), (std::vector<std::string>{"1|Asia|亚洲|世界最大的洲", "2|Lima|利马|秘鲁首都",
                                                "3|quito|基多|厄瓜多尔首都"}));
  EXPECT_EQ(search().back(), "3|quito/基多/厄瓜多尔首都");
  EXPECT_EQ(names().back(), "3|quito|基多|厄瓜多尔首都|");
  // The place search finds them at once.
  ASSERT_TRUE(user().type(w->Text9, u"Lima"));
  EXPECT_EQ(w->Text5.text(), u"2");
  EXPECT_EQ(readBytes(file), bytes);
  // What cutting the lines out would have left: their line ends, then the rest.
  EXPECT_EQ(w->RichTextBox4.text(), u"\r\n\r\n\r\n罗马/Roma\r\n");
}

TEST_F(PlaceBatchTest, ThreeColumnFilesThatFailGoBackToTheWindow) {
  struct Case {
    const char* name;
    std::vector<Text> lines;
    TextView message;
    Text saved;                                  // the text written back
    std::vector<std::pair<Text, Colour>> marks;  // in the written-back file
  };
  const std::vector<Case> cases = {
      {"some lines reshaped, others not",
       {u"利马/Lima/秘鲁首都", u"Quito/基多/厄瓜多尔首都"},
       u"您的格式第三列中有部分错误！请按要求在 WORD 中检查！",
       u"利马//Lima/秘鲁首都\r\nQuito/基多/厄瓜多尔首都\r\n",
       {{u"利马", kRed}, {u"Lima", kBlue}, {u"Quito/基多/厄瓜多尔首都", kRed}}},
      {"Latin and Chinese introductions mixed",
       {u"Roma/罗马/Capital", u"Quito/基多/厄瓜多尔首都"},
       u"您的格式中有错误！请按要求在 WORD 中检查！",
       u"Roma/罗马/Capital\r\nQuito/基多/厄瓜多尔首都\r\n",
       {{u"Capital", kBlue}, {u"厄瓜多尔首都", kRed}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto file = write("p.txt", c.lines);
    importFile(file);
    EXPECT_EQ(prompts(), std::vector<Text>{Text(c.message)});
    // The program goes on, back in the place window.
    EXPECT_FALSE(p->app().ended());
    EXPECT_TRUE(p->app().isLoaded<frm世界地名>());
    expectPanelClosed();
    EXPECT_EQ(w->Text15.text(), u"0");
    EXPECT_EQ(w->Label8.BackColor, kButtonFace);
    EXPECT_EQ(w->Label14.BackColor, kButtonFace);
    EXPECT_EQ(loadRichFile(file, CharFormat{}).text, c.saved);
    for (const auto& [part, colour] : c.marks) EXPECT_TRUE(allColoured(file, part, colour)) << toUtf8(part);
    EXPECT_EQ(places().size(), 1u);
    EXPECT_EQ(search().size(), 1u);
    EXPECT_EQ(names().size(), 1u);
  }
  // The next import starts afresh.
  importFile(write("p.txt", {u"Quito/基多/厄瓜多尔首都"}));
  EXPECT_EQ(prompts(), std::vector<Text>{Text(kDone)});
  EXPECT_EQ(places().back(), "2|Quito|基多|厄瓜多尔首都");
}

// --- the writers ---------------------------------------------------------------------

TEST_F(PlaceBatchTest, GoodFilesInEveryEncodingAndLineEnd) {
  struct Case {
    const char* name;
    Encoding enc;
    TextView lineEnd;
    bool lastLineEnd;
  };
  const std::vector<Case> cases = {
      {"GBK, CR LF", Encoding::Gbk, u"\r\n", true},
      {"UTF-8, LF", Encoding::Utf8, u"\n", true},
      {"GBK, last line without line end", Encoding::Gbk, u"\r\n", false},
      {"UTF-8, CR LF, last line without line end", Encoding::Utf8, u"\r\n", false},
  };
  int64_t id = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto file = writeBytes("p.txt", fileBytes({u"Canadá/加拿大", u"Perú/秘鲁", u"Espaňa/西班牙"}, c.enc, c.lineEnd,
                                               c.lastLineEnd));
    const std::string bytes = readBytes(file);
    importFile(file);
    EXPECT_EQ(prompts(), std::vector<Text>{Text(kDone)});
    expectPanelClosed();
    EXPECT_EQ(readBytes(file), bytes);
    const auto rows = places("ID, ZD1, ZD2");
    ASSERT_EQ(rows.size(), static_cast<size_t>(id + 3));
    EXPECT_EQ(rows[id], std::to_string(id + 1) + "|Canadá|加拿大");
    EXPECT_EQ(rows[id + 1], std::to_string(id + 2) + "|Perú|秘鲁");
    EXPECT_EQ(search()[id + 1], std::to_string(id + 2) + "|Perú/秘鲁");
    EXPECT_EQ(names("ID, ZD1, ZD2")[id + 2], std::to_string(id + 3) + "|Espaňa|西班牙");
    id += 3;
  }
  // The stores stand on their first records, and the grids show every place.
  EXPECT_EQ(w->Text5.text(), u"1");
  EXPECT_EQ(w->DBGrid2.Rows(), id);
  ASSERT_TRUE(user().type(w->Text9, u"Perú"));
  EXPECT_EQ(w->Text5.text(), u"3");
}

TEST_F(PlaceBatchTest, FourColumnsKeepTheFourthOnlyInTheNameIndex) {
  importFile(write("p.txt", {u"Lima/利马/秘鲁首都/LIM", u" /基多/厄瓜多尔首都/ "}));
  // The blanks are no Latin letters: flagged, still written, no "全正常".
  EXPECT_EQ(prompts(), std::vector<Text>{Text(kDone)});
  EXPECT_EQ(places().at(1), "2|Lima|利马|秘鲁首都");
  EXPECT_EQ(search().at(1), "2|Lima/利马/秘鲁首都");
  EXPECT_EQ(names().at(1), "2|Lima|利马|秘鲁首都|LIM");
  // A lone blank in a name or the fourth column is stored empty.
  EXPECT_EQ(names().at(2), "3||基多|厄瓜多尔首都|");
  EXPECT_EQ(w->Text10.text(), u"");
}

TEST_F(PlaceBatchTest, EighteenColumnsFillTheDetailsAndLeaveNothingInTheEntryBoxes) {
  const Text line = eighteen({{1, u"Lima"}, {2, u"利马"}, {5, u""}, {17, u"秘鲁首都"}, {18, u"LIM"}});
  importFile(write("p.txt", {eighteen({{1, u"Quito"}, {2, u"基多"}}), line}));
  EXPECT_EQ(prompts(), std::vector<Text>{Text(kDone)});
  std::string fields = "ID";
  for (int i = 1; i <= 17; ++i) fields += ", ZD" + std::to_string(i);
  EXPECT_EQ(places(fields).back(), "3|Lima|利马|c3|c4||c6|c7|c8|c9|c10|c11||||||秘鲁首都");
  EXPECT_EQ(search().back(), "3|Lima利马/秘鲁首都");
  EXPECT_EQ(names().back(), "3|Lima|利马|秘鲁首都|LIM");
  // The single add that follows finds its boxes empty.
  ASSERT_TRUE(user().click(w->Command33));
  ASSERT_TRUE(user().click(w->Command35));
  for (TextBox* b : {&w->Text12, &w->Text13, &w->Text14, &w->Text21, &w->Text48, &w->Text54, &w->Text61,
                     &w->Text64, &w->Text65, &w->Text10})
    EXPECT_EQ(b->text(), u"") << b->name();
}

TEST_F(PlaceBatchTest, TheProgressBarTicksAndWraps) {
  // Eighteen columns tick once per line from the count, 17.
  std::vector<Text> lines(261, eighteen({}));
  openFile(write("p.txt", lines));
  std::vector<float> values;
  p->app().onProgress = [&] { values.push_back(w->ProgressBar1.Value); };
  ASSERT_TRUE(user().click(w->Command3));
  ASSERT_EQ(values.size(), 261u);
  EXPECT_FLOAT_EQ(values[0], 17.3f);
  EXPECT_FLOAT_EQ(values[259], 95.f);
  EXPECT_FLOAT_EQ(values[260], 0.3f);
  EXPECT_EQ(w->Text15.text(), u"0.3");
  EXPECT_FALSE(w->ProgressBar1.Visible);
  EXPECT_EQ(places().size(), 262u);
  // Two columns tick in the order check from 1.
  values.clear();
  openFile(write("p.txt", std::vector<Text>(314, u"Lima/利马")));
  ASSERT_TRUE(user().click(w->Command3));
  ASSERT_EQ(values.size(), 314u);
  EXPECT_FLOAT_EQ(values[0], 1.3f);
  EXPECT_FLOAT_EQ(values[312], 94.9f);
  EXPECT_FLOAT_EQ(values[313], 95.2f);
  EXPECT_FALSE(w->ProgressBar1.Visible);
}

TEST_F(PlaceBatchTest, AFailedWriteStoresNothingAndNamesTheLine) {
  // Another program's rule refuses the search text of the third line.
  ASSERT_NO_FATAL_FAILURE(execOn(dir.path() / "DMK1.db",
                                 "CREATE TRIGGER refuse BEFORE INSERT ON \"表1\" WHEN NEW.ZD1 LIKE 'Roma%' "
                                 "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
  p->restart();
  w = openPlaces(*p);
  ASSERT_NE(w, nullptr);
  const auto file = write("p.txt", {u"Lima/利马", u"Quito/基多", u"Roma/罗马", u"Oslo/奥斯陆"});
  openFile(file);
  messages().clear();
  const WindowState before = windowState(p->app());
  ASSERT_TRUE(user().click(w->Command3));
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].prompt.rfind(u"批量地名添加失败，未存入任何记录：第 3 行", 0), 0u)
      << toUtf8(messages()[0].prompt);
  EXPECT_EQ(places().size(), 1u);
  EXPECT_EQ(search().size(), 1u);
  EXPECT_EQ(names().size(), 1u);
  EXPECT_EQ(w->DBGrid2.Rows(), 1);
  // The window is as it was before the press: the file in its panel.
  EXPECT_EQ(differences(before, windowState(p->app())), "");
  // Once the rule is gone the same press stores the file whole.
  ASSERT_NO_FATAL_FAILURE(execOn(dir.path() / "DMK1.db", "DROP TRIGGER refuse"));
  messages().clear();
  ASSERT_TRUE(user().click(w->Command3));
  EXPECT_EQ(prompts(), std::vector<Text>{Text(kDone)});
  expectPanelClosed();
  EXPECT_EQ(places("ID, ZD1"), (std::vector<std::string>{"1|Asia", "2|Lima", "3|Quito", "4|Roma", "5|Oslo"}));
  EXPECT_EQ(names("ID, ZD1").back(), "5|Oslo");
}

// A line of only "/" writes nothing into two of the place tables, yet its
// place is stored in all three: a place added by hand afterwards has one ID
// in every table.
TEST_F(PlaceBatchTest, ALineOfOnlyASlashKeepsEveryLaterPlaceUnderOneIdInAllTables) {
  importFile(write("p.txt", {u"Lima/利马", u"/"}));
  EXPECT_EQ(prompts(), std::vector<Text>{Text(kDone)});
  EXPECT_EQ(places("ID, ZD1"), (std::vector<std::string>{"1|Asia", "2|Lima", "3|"}));
  EXPECT_EQ(search(), (std::vector<std::string>{"1|亚洲Asia/世界最大的洲", "2|Lima/利马", "3|/"}));
  EXPECT_EQ(names("ID, ZD1"), (std::vector<std::string>{"1|Asia", "2|Lima", "3|"}));
  ASSERT_TRUE(user().click(w->Command33));
  ASSERT_TRUE(user().click(w->Command35));
  ASSERT_TRUE(user().type(w->Text12, u"里斯本"));
  ASSERT_TRUE(user().type(w->Text13, u"Lisboa"));
  ASSERT_TRUE(user().click(w->Command35));
  EXPECT_EQ(places("ID, ZD1").back(), "4|Lisboa");
  EXPECT_EQ(search().back().substr(0, 2), "4|");
  EXPECT_EQ(names("ID, ZD1").back(), "4|Lisboa");
  EXPECT_EQ(w->Text5.text(), u"4");
}

// --- a kill during an import ---------------------------------------------------------

TEST_F(PlaceBatchTest, AKillDuringAnImportLeavesAllOrNone) {
  constexpr int kLines = 200;
  std::vector<Text> three, full;
  for (int i = 0; i < kLines; ++i) {
    three.push_back(u"Lugar" + NumText(i) + u"/地方" + NumText(i) + u"/简介");
    full.push_back(eighteen({{1, u"Sitio" + NumText(i)}}));
  }
  const auto threeFile = write("three.txt", three);
  const auto fullFile = write("full.txt", full);
  p.reset();
  std::mt19937 rng(18);
  size_t total = 1;
  for (int round = 0; round < 8; ++round) {
    const int killAt = std::uniform_int_distribution<int>(1, kLines)(rng);
    const bool completes = round % 4 == 3;
    const auto& file = round % 2 ? fullFile : threeFile;
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      Program prog(dir.path());
      frm世界地名* win = openPlaces(prog);
      prog.user().click(win->Command33);
      prog.dialogs().fileAnswers.push_back(fromUtf8(file.string()));
      prog.user().click(win->Command3);
      // Text20 takes every line the writer reads; the checks before it read
      // the lines too, so the count runs on from their passes.
      auto seen = std::make_shared<int>(0);
      const int passes = round % 2 ? 1 : 3;
      if (!completes)
        win->Text20.Change = [seen, killAt, passes] {
          if (++*seen == passes * (kLines + 1) + killAt) ::kill(::getpid(), SIGKILL);
        };
      prog.user().click(win->Command3);
      ::kill(::getpid(), SIGKILL);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
    if (completes) total += kLines;
    SCOPED_TRACE("round " + std::to_string(round));
    EXPECT_EQ(places("ID").size(), total);
    EXPECT_EQ(search().size(), total);
    EXPECT_EQ(names().size(), total);
  }
  EXPECT_GT(total, 1u);
}

}  // namespace
}  // namespace zuvo
