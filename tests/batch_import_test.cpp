// Batch files as the user meets them: "PLT", a batch button pressed twice,
// the open dialog, the check that marks bad lines red and writes the file
// back, and the sentence and verb imports with the example split, asserted
// on what the window shows and what the table files hold.

#include <gtest/gtest.h>
#include <signal.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <tuple>

#include "app/FrmLexaro.h"
#include "import/example_split.h"
#include "platform/rich_document.h"
#include "store/store_connection.h"
#include "support/dictionary.h"

namespace zuvo {
namespace {

using namespace zuvo::testing;
using namespace std::string_literals;

constexpr TextView kSentenceFirst = u"批量句子添加(&C)";
constexpr TextView kSentenceSecond = u"批量句子入库(&C)";
constexpr TextView kVerbFirst = u"批量动词添加(&D)";
constexpr TextView kVerbSecond = u"批量动词入库(&D)";
constexpr TextView kWordFirst = u"批量单词添加(&E)";
constexpr TextView kFormatWrong = u"您的格式不对！请按要求检查错误！";
constexpr TextView kFormatWrongInWord = u"您的格式错误！退出程序后请在WORD中修改(红色)词句！";
constexpr TextView kSentencesDone = u"恭喜您顺利完成批量句子添加！";
constexpr TextView kVerbsDone = u"恭喜您顺利完成批量动词添加！";

// Rows of a table file as another program reads them: columns joined by
// ":", NULL as "NULL", a file not there yet as no rows.
std::vector<std::string> onDisk(const std::filesystem::path& file, const std::string& sql) {
  return tableRows(file, sql, ":", {.missingIsEmpty = true});
}

class BatchImportTest : public ProgramTest {
 protected:
  TempDir files;  // the user's batch files, apart from the data folder `dir`

  void start(const std::vector<SentencePair>& s = {{u"你好。", u"Hola."}}, const std::vector<VerbRow>& v = {}) {
    ProgramTest::start(s, v);
  }

  std::filesystem::path file(const std::string& name, const std::string& bytes) {
    auto path = files.path() / name;
    writeBytes(path, bytes);
    return path;
  }
  std::filesystem::path textFile(const std::string& name, const std::vector<Text>& lines,
                                 Encoding enc = Encoding::Gbk) {
    return file(name, fileBytes(lines, enc));
  }
  void batchMode() {
    if (!w().Command58.Visible) click(w().Command11);
    if (!w().Command58.Visible) click(w().Command11);  // an empty dictionary shows how to add first
    ASSERT_TRUE(w().Command58.Visible);
  }
  // The first press with the file chosen (nullopt: the dialog is cancelled).
  void open(CommandButton& button, std::optional<std::filesystem::path> path) {
    batchMode();
    p->dialogs().fileAnswers.push_back(path ? std::optional<Text>(fromUtf8(path->string())) : std::nullopt);
    click(button);
  }
  // The second press; for verb files it ends the program.
  void press(CommandButton& button) { user().click(button); }

  std::vector<Text> messages() {
    std::vector<Text> out;
    for (const auto& m : p->dialogs().messages) out.push_back(m.prompt);
    return out;
  }
  std::vector<std::string> table(const std::string& file, const std::string& columns) {
    return onDisk(dir.path() / file, "SELECT " + columns + " FROM \"表1\" ORDER BY ID");
  }
  std::vector<std::string> sentences() { return table("XHKA.db", "ID, ZD3, ZD4"); }
  std::vector<std::string> searchRows() { return table("XHKB.db", "ID, Zd1"); }
  std::vector<std::string> verbs() {
    return table("DCK1.db", "ID, ZD1, ZD2, ZD3, ZD4, ZD5, ZD6, ZD7, ZD8, ZD9, ZD10, ZD11");
  }
  std::vector<std::string> verbForms() { return table("DCK2.db", "ID, ZD1, ZD2, ZD3"); }
  std::vector<std::string> verbSearch() { return table("DCK3.db", "ID, ZD1, ZD2, ZD3"); }

  void expectBatchModeOff() {
    EXPECT_FALSE(w().Command58.Visible);
    EXPECT_FALSE(w().Command57.Visible);
    EXPECT_FALSE(w().Command69.Visible);
    EXPECT_EQ(w().Command58.Caption, kSentenceFirst);
    EXPECT_EQ(w().Command57.Caption, kVerbFirst);
    EXPECT_EQ(w().Command69.Caption, kWordFirst);
    EXPECT_FALSE(w().RichTextBox1.Visible);
    EXPECT_EQ(w().RichTextBox1.text(), u"");
    EXPECT_TRUE(w().Command1.Enabled);
  }
  // Red lines of a rich-text file, by their text.
  static std::vector<Text> redLines(const RichDocument& doc) {
    std::vector<Text> out;
    size_t start = 0;
    while (start < doc.text.size()) {
      size_t end = doc.text.find(u"\r\n", start);
      if (end == Text::npos) end = doc.text.size();
      if (end > start && doc.formats.at(static_cast<int64_t>(start)).colour == 255) out.push_back(doc.text.substr(start, end - start));
      start = end + 2;
    }
    return out;
  }
};

// --- opening a file ----------------------------------------------------------

TEST_F(BatchImportTest, TheFirstPressOpensTheFileIntoThePaneAndLocksTheOtherButtons) {
  start();
  const auto path = textFile("s.txt", {u"一/uno", u"二/dos"});
  open(w().Command58, path);
  ASSERT_EQ(p->dialogs().fileDialogs.size(), 1u);
  EXPECT_EQ(p->dialogs().fileDialogs[0], (MessageRecord{u"打开", u"文本文件 (*.TXT)|*.TXT"}));
  EXPECT_EQ(w().Command58.Caption, kSentenceSecond);
  EXPECT_TRUE(w().RichTextBox1.Visible);
  EXPECT_EQ(w().RichTextBox1.text(), u"一/uno\r\n二/dos\r\n");
  EXPECT_EQ(w().RichTextBox1.Top, 1320);
  EXPECT_EQ(w().RichTextBox1.Height, 3630);
  EXPECT_TRUE(w().Command21.hasFocus());
  for (CommandButton* b : {&w().Command27, &w().Command23, &w().Command25, &w().Command1, &w().Command24,
                           &w().Command10A, &w().Command17, &w().Command19, &w().Command57, &w().Command69})
    EXPECT_FALSE(b->Enabled) << b->name();
  EXPECT_TRUE(w().Command58.Enabled);
  // Another batch button cannot be pressed now; "PLT" drops the file unread.
  EXPECT_FALSE(user().click(w().Command57));
  click(w().Command11);
  expectBatchModeOff();
  EXPECT_EQ(sentences().size(), 1u);
  EXPECT_EQ(readBytes(path), fileBytes({u"一/uno", u"二/dos"}, Encoding::Gbk));
}

TEST_F(BatchImportTest, ACancelledDialogChangesNothingAndNeverBringsBackTheLastFile) {
  start();
  const auto path = textFile("s.txt", {u"一/uno"});
  open(w().Command58, path);
  press(w().Command58);
  ASSERT_EQ(sentences().size(), 2u);
  // The dialog still named that file; a cancel now must not import it again.
  open(w().Command58, std::nullopt);
  EXPECT_EQ(w().Command58.Caption, kSentenceFirst);
  EXPECT_FALSE(w().RichTextBox1.Visible);
  EXPECT_TRUE(w().Command57.Enabled);
  EXPECT_TRUE(w().Command69.Enabled);
  EXPECT_TRUE(w().Command17.Enabled);
  press(w().Command58);  // opens the dialog again, which is cancelled too
  EXPECT_EQ(sentences().size(), 2u);
  EXPECT_EQ(w().Command58.Caption, kSentenceFirst);
}

TEST_F(BatchImportTest, AFileThatCannotBeReadIsReportedByNameAndChangesNothing) {
  start();
  for (const auto& path : {files.path() / "missing.txt", files.path()}) {
    p->dialogs().messages.clear();
    open(w().Command57, path);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_NE(messages()[0].find(fromUtf8(path.string())), Text::npos) << toUtf8(messages()[0]);
    EXPECT_EQ(w().Command57.Caption, kVerbFirst);
    EXPECT_FALSE(w().RichTextBox1.Visible);
    EXPECT_TRUE(w().Command58.Enabled);
    EXPECT_FALSE(p->app().ended());
  }
}

// --- files that are no batch text ----------------------------------------------

TEST_F(BatchImportTest, AFifoIsRefusedAtOnceByEveryBatchButton) {
  start();
  const Fifo fifo(files.path() / "fifo.txt");
  for (CommandButton* button : {&w().Command58, &w().Command57, &w().Command69}) {
    SCOPED_TRACE(button->name());
    p->dialogs().messages.clear();
    open(*button, fifo.path());
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].rfind(u"批量文件无法打开：" + fromUtf8(fifo.path().string()) + u"\r\n", 0), 0u)
        << toUtf8(messages()[0]);
    EXPECT_FALSE(w().RichTextBox1.Visible);
    EXPECT_TRUE(w().Command58.Enabled && w().Command57.Enabled && w().Command69.Enabled);
    EXPECT_FALSE(p->app().ended());
  }
}

// Files chosen by mistake: told with the reason, never opened, never written.
TEST_F(BatchImportTest, AFileThatIsNoTextIsRefusedAndLeftByteForByte) {
  start();
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"a picture", "\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\x10"s + "\xFF\xD8\xC0\x01"},
      {"a word processor's document", "PK\x03\x04\x14\0\x06\0\x08\0\0\0!\0"s + "word/document.xml"},
      {"NUL bytes in GBK text", fileBytes({u"一/uno"}) + "\0\0"s + fileBytes({u"二/dos"})},
      {"NUL bytes in UTF-8 text", "uno/\xE4\xB8\x80\0\r\n"s},
      {"control characters", fileBytes({u"一/uno\x01\x02", u"二/dos"})},
      {"neither UTF-8 nor GBK", "\x81\x20/uno\r\n\xFF\xFF\r\n"},
      {"a UTF-16 text cut in the middle of a character", "\xFF\xFE\x00\x4E/"s},
      {"a UTF-16 text with half a surrogate pair", "\xFE\xFF\xD8\x00\x00/\x00" "a"s},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    p->dialogs().messages.clear();
    const auto path = file("s.txt", c.bytes);
    open(w().Command58, path);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].rfind(u"批量文件无法打开：" + fromUtf8(path.string()) + u"\r\n", 0), 0u)
        << toUtf8(messages()[0]);
    EXPECT_FALSE(w().RichTextBox1.Visible);
    EXPECT_EQ(w().Command58.Caption, kSentenceFirst);
    EXPECT_EQ(readBytes(path), c.bytes);
    EXPECT_EQ(sentences().size(), 1u);
  }
}

TEST_F(BatchImportTest, UnicodeFilesWithAByteOrderMarkAreReadRightImportedAndMarkedWithoutLoss) {
  start();
  const std::vector<Text> good = {u"一/uno", u"二/dos", u"新年/año nuevo"};
  const std::vector<Text> bad = {u"一/uno", u"二/dos/tres", u"𠀀/raro año"};
  int64_t stored = 1;
  for (const auto& [name, enc] : {std::pair{"UTF-16LE", Encoding::Utf16Le}, std::pair{"UTF-16BE", Encoding::Utf16Be},
                                  std::pair{"UTF-8", Encoding::Utf8Bom}}) {
    SCOPED_TRACE(name);
    p->dialogs().messages.clear();
    open(w().Command58, file("good.txt", fileBytes(good, enc)));
    press(w().Command58);
    EXPECT_EQ(messages(), std::vector<Text>{Text(kSentencesDone)});
    const auto rows = sentences();
    ASSERT_EQ(rows.size(), static_cast<size_t>(stored + 3));
    EXPECT_EQ(std::vector<std::string>(rows.end() - 3, rows.end()),
              (std::vector<std::string>{std::to_string(stored + 1) + ":一:uno", std::to_string(stored + 2) + ":二:dos",
                                        std::to_string(stored + 3) + ":新年:aňo nuevo"}));
    stored += 3;
    // A bad line: the file comes back as rich text holding every character.
    const auto path = file("bad.txt", fileBytes(bad, enc));
    open(w().Command58, path);
    press(w().Command58);
    EXPECT_EQ(messages().size(), 2u);
    const RichDocument back = loadRichFile(path, CharFormat{});
    EXPECT_EQ(back.text, u"一/uno\r\n二/dos/tres\r\n𠀀/raro año\r\n");  // ñ as the file had it
    EXPECT_EQ(redLines(back), std::vector<Text>{u"二/dos/tres"});
    EXPECT_EQ(sentences().size(), static_cast<size_t>(stored));
  }
}

// Bytes valid both as GBK and as UTF-8 are read as the likelier text, so a
// short file does not turn into another script.
TEST_F(BatchImportTest, AShortFileValidInGbkAndInUtf8IsReadAsWhatItIs) {
  start();
  const std::vector<std::pair<std::string, Text>> files = {
      {fileBytes({u"一/uno"}, Encoding::Gbk), u"一/uno"},       // D2 BB is also U+04BB
      {fileBytes({u"路/camino"}, Encoding::Gbk), u"路/camino"},  // C2 B7 is also U+00B7
      {fileBytes({u"丰富/rico"}, Encoding::Utf8), u"丰富/rico"},  // six bytes that GBK reads as three characters
      {fileBytes({u"aňo/年"}, Encoding::Gbk), u"aňo/年"},
      {fileBytes({u"año/年"}, Encoding::Utf8), u"aňo/年"},
  };
  for (const auto& [bytes, text] : files) {
    SCOPED_TRACE(toUtf8(text));
    open(w().Command58, file("s.txt", bytes));
    EXPECT_EQ(w().RichTextBox1.text(), text + u"\r\n");
    click(w().Command11);  // "PLT" drops the file unread
  }
}

TEST_F(BatchImportTest, LinesEndingInCrCrLfAreReadAsOneLineEachAndAllStored) {
  start();
  open(w().Command58, file("s.txt", fileBytes({u"一/uno", u"二/dos", u"三/tres"}, Encoding::Gbk, u"\r\r\n")));
  EXPECT_EQ(w().RichTextBox1.text(), u"一/uno\r\n二/dos\r\n三/tres\r\n");
  press(w().Command58);
  EXPECT_EQ(messages(), std::vector<Text>{Text(kSentencesDone)});
  EXPECT_EQ(sentences(), (std::vector<std::string>{"1:你好。:Hola.", "2:一:uno", "3:二:dos", "4:三:tres"}));
}

// ñ and Ñ of a UTF-8 file are stored as the dictionary writes them, so
// typing "ň" finds them; a GBK file writes "ň" itself.
TEST_F(BatchImportTest, EnyeFromUtf8FilesIsStoredAsTypedAndFoundByTypingIt) {
  start();
  open(w().Command58, textFile("s.txt", {u"新年/año nuevo", u"鸵鸟/Ñandú"}, Encoding::Utf8));
  press(w().Command58);
  EXPECT_EQ(sentences(), (std::vector<std::string>{"1:你好。:Hola.", "2:新年:aňo nuevo", "3:鸵鸟:ňandú"}));
  for (const TextView typed : {u"aňo", u"ňandú"}) {
    type(w().RichTextBox16, typed);
    click(w().Command17);  // the range query
    EXPECT_NE(w().RichTextBox3.text().find(u"/" + Text(typed)), Text::npos) << toUtf8(w().RichTextBox3.text());
    p->event([&] { w().RichTextBox16.setText(u""); });
  }

  open(w().Command69, textFile("w.txt", {u"niño/孩子", u"Ñoño/乏味的"}, Encoding::Utf8));
  press(w().Command69);
  for (const auto& [typed, meaning] : {std::pair{u"niňo", u"孩子"}, std::pair{u"ňoňo", u"乏味的"}}) {
    click(w().RichTextBox16);
    type(w().RichTextBox16, typed);
    EXPECT_EQ(w().RichTextBox15.text(), meaning) << toUtf8(typed);
    p->event([&] { w().RichTextBox16.setText(u""); });
  }

  open(w().Command57, textFile("v.txt", {u"añadir/-/规则/a/添加/Añado sal.我加盐。", u"Ñoñear/-/规则/-/装傻/Ñoñea.他装傻。"},
                               Encoding::Utf8));
  press(w().Command57);  // ends the program
  ASSERT_TRUE(p->app().ended());
  restart();
  for (const auto& [typed, meaning] : {std::pair{u"aňadir", u"添加"}, std::pair{u"ňoňear", u"装傻"}}) {
    type(w().RichTextBox16, typed);
    EXPECT_TRUE(w().Text92.Visible) << toUtf8(typed);
    EXPECT_EQ(w().Text92.text(), typed);
    EXPECT_EQ(w().Text91.text(), meaning);
  }
}

// --- sentence files ------------------------------------------------------------

struct FileShape {
  const char* name;
  Encoding enc;
  const char16_t* lineEnd;
  bool lastLineEnd;
};

TEST_F(BatchImportTest, ASentenceFileOfEveryShapeIsStoredWholeAndFoundAtOnce) {
  const FileShape shapes[] = {
      {"gbk_crlf", Encoding::Gbk, u"\r\n", true},
      {"utf8_lf", Encoding::Utf8, u"\n", true},
      {"gbk_last_line_without_end", Encoding::Gbk, u"\r\n", false},
  };
  for (const auto& shape : shapes) {
    SCOPED_TRACE(shape.name);
    TempDir data;
    writeDictionary(data.path(), {{u"你好。", u"Hola."}});
    Program prog(data.path());
    FrmLexaro& win = startMainWindow(prog);
    const auto path = files.path() / (std::string(shape.name) + ".txt");
    writeBytes(path, fileBytes({u"我吃饭。/Como.", u"/Sin chino", u"只有中文/", u" /  ", u"空白/ ",
                                u"他说ň。/él dice?"},
                               shape.enc, shape.lineEnd, shape.lastLineEnd));
    ASSERT_TRUE(prog.user().click(win.Command11));
    prog.dialogs().fileAnswers.push_back(fromUtf8(path.string()));
    ASSERT_TRUE(prog.user().click(win.Command58));
    ASSERT_TRUE(prog.user().click(win.Command58));
    ASSERT_EQ(prog.dialogs().messages.size(), 1u);
    EXPECT_EQ(prog.dialogs().messages[0].prompt, kSentencesDone);
    EXPECT_EQ(onDisk(data.path() / "XHKA.db", "SELECT ID, ZD3, ZD4 FROM \"表1\" ORDER BY ID"),
              (std::vector<std::string>{"1:你好。:Hola.", "2:我吃饭。:Como.", "3:NULL:Sin chino", "4:只有中文:NULL",
                                        "5: :  ", "6:空白:NULL", "7:他说ň。:él dice?"}));
    EXPECT_EQ(onDisk(data.path() / "XHKB.db", "SELECT ID, Zd1 FROM \"表1\" ORDER BY ID"),
              (std::vector<std::string>{"1:你好。/Hola.", "2:我吃饭。/Como.", "3:/Sin chino", "4:只有中文/",
                                        "5: /  ", "6:空白/", "7:他说ň。/él dice?"}));
    // Back on the lookup screen with the first pair in the panes.
    EXPECT_FALSE(win.Command58.Visible);
    EXPECT_EQ(win.Command58.Caption, kSentenceFirst);
    EXPECT_EQ(win.RichTextBox13.text(), u"你好。");
    EXPECT_EQ(win.RichTextBox7.text(), u"Hola.");
    // The range query finds an imported pair at once.
    ASSERT_TRUE(prog.user().type(win.RichTextBox16, u"吃饭"));
    ASSERT_TRUE(prog.user().click(win.Command17));
    EXPECT_NE(win.RichTextBox3.text().find(u"我吃饭。/Como."), Text::npos) << toUtf8(win.RichTextBox3.text());
  }
}

// A line of only "/" writes nothing into the sentence table, yet its pair is
// stored there too: every later pair keeps one ID in both tables.
TEST_F(BatchImportTest, ALineOfOnlyASlashKeepsEveryLaterPairUnderOneIdInBothTables) {
  start();
  open(w().Command58, file("s.txt", "/\r\n"));
  press(w().Command58);
  EXPECT_EQ(messages(), std::vector<Text>{Text(kSentencesDone)});
  EXPECT_EQ(sentences(), (std::vector<std::string>{"1:你好。:Hola.", "2:NULL:NULL"}));
  EXPECT_EQ(searchRows(), (std::vector<std::string>{"1:你好。/Hola.", "2:/"}));
  // A pair added by hand afterwards.
  if (w().Command1.Caption != u"关闭(&K)") click(w().Command1);
  click(w().Command55);
  type(w().Text44, u"谢谢。");
  type(w().Text45, u"Gracias.");
  click(w().Command38);
  EXPECT_EQ(sentences().back(), "3:谢谢。:Gracias.");
  EXPECT_EQ(searchRows().back(), "3:谢谢。/Gracias.");
  // Found with its own partner.
  type(w().RichTextBox16, u"谢谢");
  click(w().Command17);
  EXPECT_NE(w().RichTextBox3.text().find(u"谢谢。/Gracias."), Text::npos) << toUtf8(w().RichTextBox3.text());
}

// Tables made by another program that counts its IDs on past rows deleted
// at the end (AUTOINCREMENT), one of them a row behind the other: every
// pair still takes the first ID free in both tables, in both.
TEST_F(BatchImportTest, TablesThatCountIdsPastDeletedRowsStillGiveEachPairTheNextIdInBoth) {
  execOn(dir.path() / "XHKA.db",
         "CREATE TABLE \"表1\" (ID INTEGER PRIMARY KEY AUTOINCREMENT, ZD3 TEXT, ZD4 TEXT);"
         "INSERT INTO \"表1\" (ZD3, ZD4) VALUES ('你好。', 'Hola.'), ('再见。', 'Adiós.'), ('x', 'y');"
         "DELETE FROM \"表1\" WHERE ID = 3;");
  execOn(dir.path() / "XHKB.db",
         "CREATE TABLE \"表1\" (ID INTEGER PRIMARY KEY AUTOINCREMENT, Zd1 TEXT);"
         "INSERT INTO \"表1\" (Zd1) VALUES ('你好。/Hola.'), ('再见。/Adiós.'), ('x/y'), ('z/w');"
         "DELETE FROM \"表1\" WHERE ID >= 2;");
  start({});
  open(w().Command58, textFile("s.txt", {u"一/uno", u"二/dos", u"三/tres"}));
  press(w().Command58);
  EXPECT_EQ(messages(), std::vector<Text>{Text(kSentencesDone)});
  EXPECT_EQ(sentences(), (std::vector<std::string>{"1:你好。:Hola.", "2:再见。:Adiós.", "3:一:uno", "4:二:dos",
                                                   "5:三:tres"}));
  EXPECT_EQ(searchRows(), (std::vector<std::string>{"1:你好。/Hola.", "3:一/uno", "4:二/dos", "5:三/tres"}));
}

TEST_F(BatchImportTest, LinesAfterTheFirstEmptyLineAreNeitherCheckedNorStored) {
  start();
  open(w().Command58, textFile("s.txt", {u"一/uno", u"", u"bad line", u"二/dos"}));
  press(w().Command58);
  EXPECT_EQ(messages(), std::vector<Text>{Text(kSentencesDone)});
  EXPECT_EQ(sentences(), (std::vector<std::string>{"1:你好。:Hola.", "2:一:uno"}));
  expectBatchModeOff();
}

TEST_F(BatchImportTest, AFileWithAnEmptyFirstLineStoresNothingAndStillSucceeds) {
  start({});
  open(w().Command58, file("s.txt", "\r\n一/uno\r\n"));
  press(w().Command58);
  EXPECT_EQ(messages(), std::vector<Text>{Text(kSentencesDone)});
  EXPECT_TRUE(sentences().empty());
  EXPECT_TRUE(searchRows().empty());
  EXPECT_FALSE(p->app().ended());
}

TEST_F(BatchImportTest, BadSentenceLinesTurnRedTheFileIsWrittenBackAndNothingIsStored) {
  start();
  const auto path = textFile("s.txt", {u"一/uno", u"二/dos/tres", u"   ", u"三/tres", u"四"});
  open(w().Command58, path);
  press(w().Command58);
  EXPECT_EQ(messages(), std::vector<Text>{Text(kFormatWrong)});
  EXPECT_EQ(sentences().size(), 1u);
  EXPECT_EQ(searchRows().size(), 1u);
  expectBatchModeOff();
  EXPECT_EQ(w().Label8.BackColor, kButtonFace);
  // The file is now rich text under its old name with the bad lines red.
  EXPECT_EQ(readBytes(path).rfind("{\\rtf", 0), 0u);
  const RichDocument doc = loadRichFile(path, CharFormat{});
  EXPECT_EQ(doc.text, u"一/uno\r\n二/dos/tres\r\n   \r\n三/tres\r\n四\r\n");
  EXPECT_EQ(redLines(doc), (std::vector<Text>{u"二/dos/tres", u"   ", u"四"}));
  // Opened again, the pane shows the colours; a corrected file is then held
  // to its counts alone, whatever its colours.
  open(w().Command58, path);
  EXPECT_EQ(w().RichTextBox1.formatAt(Len(u"一/uno\r\n")).colour, 255u);
  EXPECT_EQ(w().RichTextBox1.formatAt(0).colour, kWindowText);
  click(w().Command11);
  RichDocument fixed = doc;
  fixed.text = u"一/uno\r\n二/dos tres\r\n / \r\n三/tres\r\n四/\r\n";
  fixed.formats.resize(Len(fixed.text), doc.formats.at(doc.formats.size() - 1));
  saveRichFile(path, fixed);
  open(w().Command58, path);
  press(w().Command58);
  EXPECT_EQ(messages().back(), kSentencesDone);
  EXPECT_EQ(sentences().size(), 6u);
}

TEST_F(BatchImportTest, TheWriteBackGoesToTheFileChosenAtTheFirstPressWhateverTheDialogNamesSince) {
  start();
  const auto path = textFile("s.txt", {u"一/uno", u"bad"});
  open(w().Command58, path);
  const auto elsewhere = files.path() / "other.txt";
  p->event([&] { w().CommonDialog1.FileName = fromUtf8(elsewhere.string()); });  // the dialog is shared
  press(w().Command58);
  EXPECT_EQ(messages(), std::vector<Text>{Text(kFormatWrong)});
  EXPECT_EQ(redLines(loadRichFile(path, CharFormat{})), std::vector<Text>{u"bad"});
  EXPECT_FALSE(std::filesystem::exists(elsewhere));
}

TEST_F(BatchImportTest, AReadOnlyFileThatCannotBeWrittenBackIsReportedAndKeptAsItWas) {
  start();
  const auto path = textFile("s.txt", {u"一/uno", u"bad"}, Encoding::Utf8);
  const std::string before = readBytes(path);
  std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
  open(w().Command58, path);
  press(w().Command58);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_NE(messages()[0].find(fromUtf8(path.string())), Text::npos) << toUtf8(messages()[0]);
  EXPECT_NE(messages()[0].find(u"只读"), Text::npos) << toUtf8(messages()[0]);
  EXPECT_EQ(readBytes(path), before);
  EXPECT_EQ(sentences().size(), 1u);
  // Still on the file as before the press.
  EXPECT_TRUE(w().RichTextBox1.Visible);
  EXPECT_EQ(w().Command58.Caption, kSentenceSecond);
  EXPECT_EQ(w().Label8.BackColor, kButtonFace);
  EXPECT_EQ(w().RichTextBox1.text(), u"一/uno\r\nbad\r\n");
  EXPECT_EQ(w().RichTextBox1.formatAt(Len(u"一/uno\r\n")).colour, kWindowText);
  // A folder that refuses the new file is reported the same way.
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
  click(w().Command11);
  const auto inMissingFolder = files.path() / "gone" / "s.txt";
  std::filesystem::create_directory(files.path() / "gone");
  writeBytes(inMissingFolder, before);
  open(w().Command58, inMissingFolder);
  std::filesystem::remove_all(files.path() / "gone");
  press(w().Command58);
  ASSERT_EQ(messages().size(), 2u);
  EXPECT_NE(messages()[1].find(fromUtf8(inMissingFolder.string())), Text::npos);
  EXPECT_EQ(sentences().size(), 1u);
}

// A file changed, replaced or removed after it was opened is never written
// over (nor made again): the user is told to open it again, nothing is
// stored, and the file stays as the user left it. Opened again, it is read
// and checked as it is now. The same for every batch button.
TEST_F(BatchImportTest, AFileChangedSinceItWasOpenedIsNeverWrittenBackAndMustBeOpenedAgain) {
  struct Button {
    const char* name;
    CommandButton FrmLexaro::*button;
    std::vector<Text> bad, corrected;
    const char* table;
  };
  const Button buttons[] = {
      {"sentences", &FrmLexaro::Command58, {u"一/uno", u"dos"}, {u"一/uno", u"二/dos"}, "XHKA.db"},
      {"words", &FrmLexaro::Command69, {u"casa/房子", u"perro"}, {u"casa/房子", u"perro/狗"}, "CKUA.db"},
      {"verbs", &FrmLexaro::Command57, {u"hablar/-/规则/a/说/Hablo.", u"ir"},
       {u"hablar/-/规则/a/说/Hablo.", u"ir/-/不规则/a/去/Voy."}, "DCK1.db"},
  };
  enum class Change { Corrected, SameSizeAndTime, Removed };
  const std::pair<Change, const char*> changes[] = {{Change::Corrected, "corrected in an editor"},
                                                    {Change::SameSizeAndTime, "same size and time, other bytes"},
                                                    {Change::Removed, "removed"}};
  for (const Button& b : buttons) {
    for (const auto& [change, what] : changes) {
      SCOPED_TRACE(std::string(b.name) + ", " + what);
      TempDir data;
      Program prog(data.path());
      FrmLexaro& win = startMainWindow(prog);
      const auto path = files.path() / "batch.txt";
      writeBytes(path, fileBytes(b.bad));
      ASSERT_TRUE(prog.user().click(win.Command11));
      ASSERT_TRUE(prog.user().click(win.Command11));
      prog.dialogs().fileAnswers.push_back(fromUtf8(path.string()));
      ASSERT_TRUE(prog.user().click(win.*b.button));
      ASSERT_TRUE(win.RichTextBox1.Visible);
      std::string left;  // what the user left in the file
      if (change == Change::Corrected) {
        left = fileBytes(b.corrected);
        writeBytes(path, left);
      } else if (change == Change::SameSizeAndTime) {
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        left = readBytes(path);
        left[left.find('/')] = '|';
        writeBytes(path, left);
        const timespec times[2] = {st.st_atim, st.st_mtim};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
      } else {
        std::filesystem::remove(path);
      }
      prog.dialogs().messages.clear();
      prog.user().click(win.*b.button);
      ASSERT_EQ(prog.dialogs().messages.size(), 1u);
      const Text& told = prog.dialogs().messages[0].prompt;
      EXPECT_EQ(told.rfind(u"批量文件无法写回：" + fromUtf8(path.string()) + u"\r\n", 0), 0u) << toUtf8(told);
      EXPECT_NE(told.find(u"打开之后已被改动"), Text::npos) << toUtf8(told);
      EXPECT_NE(told.find(u"请重新打开"), Text::npos) << toUtf8(told);
      if (change == Change::Removed) {
        EXPECT_FALSE(std::filesystem::exists(path));
      } else {
        EXPECT_EQ(readBytes(path), left);
      }
      EXPECT_TRUE(onDisk(data.path() / b.table, "SELECT ID FROM \"表1\"").empty());
      // No temporary file is left beside it.
      for (const auto& e : std::filesystem::directory_iterator(files.path())) {
        EXPECT_EQ(e.path(), path) << "left beside the file";
      }
      std::filesystem::remove(path);
    }
  }
  // The corrected sentence file, opened again, is imported as it is now.
  start();
  const auto path = textFile("s.txt", {u"一/uno", u"dos"});
  open(w().Command58, path);
  textFile("s.txt", {u"一/uno", u"二/dos"});
  press(w().Command58);
  ASSERT_EQ(messages().size(), 1u);
  click(w().Command11);
  open(w().Command58, path);
  press(w().Command58);
  EXPECT_EQ(messages().back(), kSentencesDone);
  EXPECT_EQ(sentences(), (std::vector<std::string>{"1:你好。:Hola.", "2:一:uno", "3:二:dos"}));
  EXPECT_EQ(readBytes(path), fileBytes({u"一/uno", u"二/dos"}));
}

// The user's editor in the last moment of a write-back: it saves the file
// (or removes it) once the marked text is on the disk beside it.
struct LastMoment {
  static inline std::string bytes;  // what the user saves; empty: the file is removed
  static inline int runs = 0;
  static inline bool tempThere = false;  // the marked text stood beside the file
  static void change(const std::filesystem::path& f) {
    ++runs;
    for (const auto& e : std::filesystem::directory_iterator(f.parent_path()))
      if (e.path() != f && e.file_size() > 0) tempThere = true;
    if (bytes.empty())
      std::filesystem::remove(f);
    else
      writeBytes(f, bytes);
  }
};

// The user saves the file in an editor while the program writes it back:
// the change lands after the marked text is on the disk beside the file,
// in the last moment before the rename. It is seen there and kept; nothing
// is stored, the user is told in Chinese, and no temporary file is left.
TEST_F(BatchImportTest, AChangeMadeWhileTheWriteBackIsWrittenIsSeenBeforeTheRenameAndKept) {
  struct Case {
    const char* name;
    CommandButton FrmLexaro::*button;
    std::vector<Text> bad;
    std::string saved;  // "" for a removed file
    const char* table;
  };
  const Case cases[] = {
      {"sentences corrected", &FrmLexaro::Command58, {u"一/uno", u"dos"}, fileBytes({u"一/uno", u"二/dos"}), "XHKA.db"},
      {"sentences removed", &FrmLexaro::Command58, {u"一/uno", u"dos"}, "", "XHKA.db"},
      {"words corrected", &FrmLexaro::Command69, {u"casa/房子", u"perro"}, fileBytes({u"casa/房子", u"perro/狗"}),
       "CKUA.db"},
      {"verbs corrected", &FrmLexaro::Command57, {u"hablar/-/规则/a/说/Hablo.", u"ir"},
       fileBytes({u"hablar/-/规则/a/说/Hablo.", u"ir/-/不规则/a/去/Voy."}), "DCK1.db"},
  };
  struct Unset {
    ~Unset() { tempWrittenForTests = nullptr; }
  } unset;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir data, folder;
    Program prog(data.path());
    FrmLexaro& win = startMainWindow(prog);
    const auto path = folder.path() / "batch.txt";
    writeBytes(path, fileBytes(c.bad));
    ASSERT_TRUE(prog.user().click(win.Command11));
    ASSERT_TRUE(prog.user().click(win.Command11));
    prog.dialogs().fileAnswers.push_back(fromUtf8(path.string()));
    ASSERT_TRUE(prog.user().click(win.*c.button));
    ASSERT_TRUE(win.RichTextBox1.Visible);
    LastMoment::bytes = c.saved;
    LastMoment::runs = 0;
    LastMoment::tempThere = false;
    tempWrittenForTests = &LastMoment::change;
    prog.user().click(win.*c.button);
    tempWrittenForTests = nullptr;
    EXPECT_EQ(LastMoment::runs, 1);
    EXPECT_TRUE(LastMoment::tempThere);
    ASSERT_EQ(prog.dialogs().messages.size(), 1u);
    const Text& told = prog.dialogs().messages[0].prompt;
    EXPECT_EQ(told.rfind(u"批量文件无法写回：" + fromUtf8(path.string()) + u"\r\n", 0), 0u) << toUtf8(told);
    EXPECT_NE(told.find(u"打开之后已被改动"), Text::npos) << toUtf8(told);
    EXPECT_NE(told.find(u"请重新打开"), Text::npos) << toUtf8(told);
    if (c.saved.empty())
      EXPECT_FALSE(std::filesystem::exists(path));
    else
      EXPECT_EQ(readBytes(path), c.saved);  // what the user saved, not the marked text
    EXPECT_TRUE(onDisk(data.path() / c.table, "SELECT ID FROM \"表1\"").empty());
    for (const auto& e : std::filesystem::directory_iterator(folder.path()))
      EXPECT_EQ(e.path(), path) << "left beside the file";
  }
}

TEST_F(BatchImportTest, AStoreFailureUndoesTheWholeImportAndIsReportedInsteadOfSuccess) {
  start();
  // Another program's rule refuses the third new search record.
  ASSERT_NO_FATAL_FAILURE(execOn(dir.path() / "XHKB.db",
                                 "CREATE TRIGGER refuse BEFORE INSERT ON \"表1\" WHEN (SELECT count(*) FROM \"表1\") >= 3 "
                                 "BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
  open(w().Command58, textFile("s.txt", {u"一/uno", u"二/dos", u"三/tres", u"四/cuatro"}));
  const WindowState before = windowState(p->app());
  press(w().Command58);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_NE(messages()[0], kSentencesDone);
  EXPECT_NE(messages()[0].find(u"disk full"), Text::npos) << toUtf8(messages()[0]);
  EXPECT_EQ(sentences(), std::vector<std::string>{"1:你好。:Hola."});
  EXPECT_EQ(searchRows(), std::vector<std::string>{"1:你好。/Hola."});
  // The window is as it was before the press: the file in its pane, the
  // button ready to import it.
  EXPECT_EQ(differences(before, windowState(p->app())), "");
  // Once the cause is gone the same press stores the file whole, the
  // stores in step: each pair under equal IDs in both.
  ASSERT_NO_FATAL_FAILURE(execOn(dir.path() / "XHKB.db", "DROP TRIGGER refuse"));
  press(w().Command58);
  EXPECT_EQ(messages().back(), kSentencesDone);
  EXPECT_EQ(sentences(), (std::vector<std::string>{"1:你好。:Hola.", "2:一:uno", "3:二:dos", "4:三:tres", "5:四:cuatro"}));
  EXPECT_EQ(searchRows(), (std::vector<std::string>{"1:你好。/Hola.", "2:一/uno", "3:二/dos", "4:三/tres", "5:四/cuatro"}));
  expectBatchModeOff();
}

// A batch larger than the page cache it keeps reaches the table files before
// its commit; a failure after that still lands none of it.
std::vector<Text> longSentenceLines(int n) {
  const Text filler(60, u'字');
  std::vector<Text> lines;
  for (int i = 0; i < n; ++i) lines.push_back(filler + NumText(i) + u"/frase número " + NumText(i));
  return lines;
}
constexpr int kLongLines = 20000;
// The Chinese halves alone, 180 bytes of UTF-8 a line, fill each table past
// the cache it keeps during a batch.
static_assert(int64_t{kLongLines} * 180 > kAppendCacheKiB * 1024);

TEST_F(BatchImportTest, AFailureAfterTheBatchOutgrewItsPageCacheLandsNothing) {
  start();
  ASSERT_NO_FATAL_FAILURE(execOn(dir.path() / "XHKB.db",
                                 "CREATE TRIGGER refuse BEFORE INSERT ON \"表1\" WHEN (SELECT count(*) FROM \"表1\") >= " +
                                     std::to_string(kLongLines - 5) + " BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
  open(w().Command58, textFile("s.txt", longSentenceLines(kLongLines)));
  press(w().Command58);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_NE(messages()[0].find(u"disk full"), Text::npos) << toUtf8(messages()[0]);
  EXPECT_EQ(sentences(), std::vector<std::string>{"1:你好。:Hola."});
  EXPECT_EQ(searchRows(), std::vector<std::string>{"1:你好。/Hola."});
}

// --- verb files ----------------------------------------------------------------

TEST_F(BatchImportTest, AStoreFailureInAVerbImportLeavesNoVerbInAnyOfTheThreeTables) {
  start({{u"你好。", u"Hola."}}, {{u"vivir", u"住", u"Vivo.我住。"}});
  ASSERT_NO_FATAL_FAILURE(execOn(dir.path() / "DCK3.db",
                                 "CREATE TRIGGER refuse BEFORE INSERT ON \"表1\" WHEN (SELECT count(*) FROM \"表1\") >= 2 "
                                 "BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
  open(w().Command57, textFile("v.txt", {u"ir/-/不规则//去/Voy.我去。", u"ser/-/不规则//是/Soy.我是。"}));
  const WindowState before = windowState(p->app());
  press(w().Command57);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_NE(messages()[0].find(u"disk full"), Text::npos) << toUtf8(messages()[0]);
  // The earlier verb is not split either: the whole import is undone.
  EXPECT_EQ(table("DCK1.db", "ZD1, ZD6, ZD9"), std::vector<std::string>{"vivir:Vivo.我住。:NULL"});
  EXPECT_EQ(verbForms().size(), 1u);
  EXPECT_EQ(verbSearch().size(), 1u);
  // The program goes on as it stood before the press, the file in its pane,
  // and the same press imports it once the cause is gone.
  ASSERT_FALSE(p->app().ended());
  EXPECT_EQ(differences(before, windowState(p->app())), "");
  ASSERT_NO_FATAL_FAILURE(execOn(dir.path() / "DCK3.db", "DROP TRIGGER refuse"));
  press(w().Command57);
  EXPECT_TRUE(p->app().ended());
  EXPECT_EQ(messages().back(), kVerbsDone);
  EXPECT_EQ(table("DCK1.db", "ZD1"), (std::vector<std::string>{"vivir", "ir", "ser"}));
  EXPECT_EQ(verbSearch().size(), 3u);
}

TEST_F(BatchImportTest, ASixFieldVerbFileStoresEveryVerbWithRootFormsAndSplitExamplesThenEnds) {
  start({{u"你好。", u"Hola."}}, {{u"vivir", u"住", u"Vivo aquí.我住这里。"}});
  open(w().Command57, textFile("v.txt", {u"hablar/x/规则/con/说?/Hablo.我说。Ella habla.他说。",
                                         u"comer/y/规则//吃/ ", u"hablar/z/二//再说/?Qué?什么？"}));
  press(w().Command57);
  EXPECT_TRUE(p->app().ended());
  EXPECT_EQ(messages(), std::vector<Text>{Text(kVerbsDone)});
  EXPECT_EQ(verbs(), (std::vector<std::string>{
                         "1:vivir:viv:NULL:NULL:住:Vivo aquí./我住这里。:NULL:NULL:Pas:NULL:NULL",
                         "2:hablar:habl:规则:con:说?:Hablo./我说。\r\nElla habla./他说。:hablando:hablado:Pas:NULL:NULL",
                         "3:comer:com:规则:NULL:吃:NULL:comiendo:comido:Pas:NULL:NULL",
                         "4:hablar:habl:二:NULL:再说:ňQuéň什么？:hablando:hablado:Pas:NULL:NULL"}));
  EXPECT_EQ(verbForms(), (std::vector<std::string>{"1:vivir:viv:住", "2:hablar:habl:说?", "3:comer:com:吃",
                                                   "4:hablar:habl:再说"}));
  EXPECT_EQ(verbSearch(), (std::vector<std::string>{"1:住:Vivo aquí./我住这里。:vivir",
                                                    "2:说?:Hablo./我说。\r\nElla habla./他说。:hablar",
                                                    "3:吃:NULL:comer", "4:再说:ňQuéň什么？:hablar"}));
  // The next run finds an imported verb as it is typed.
  restart();
  ASSERT_TRUE(user().type(w().RichTextBox16, u"comer"));
  EXPECT_TRUE(w().Text92.Visible);
  EXPECT_EQ(w().Text92.text(), u"comer");
  EXPECT_EQ(w().Text91.text(), u"吃");
  EXPECT_EQ(w().Text97.text(), u"comido");
  // And the range query finds it by its meaning and its examples.
  p->event([&] { w().RichTextBox16.setText(u"再说"); });
  click(w().Command17);
  EXPECT_NE(w().RichTextBox3.text().find(u"hablar ★再说"), Text::npos) << toUtf8(w().RichTextBox3.text());
}

TEST_F(BatchImportTest, AnEightFieldVerbFileStoresSynonymsAndAntonymsAndNoForms) {
  start();
  open(w().Command57, textFile("v.txt", {u"subir/-/规则/a/上/Subo.我上。/ascender/bajar"}, Encoding::Utf8));
  press(w().Command57);
  EXPECT_TRUE(p->app().ended());
  EXPECT_EQ(messages(), std::vector<Text>{Text(kVerbsDone)});
  EXPECT_EQ(verbs(), std::vector<std::string>{"1:subir:sub:规则:a:上:Subo./我上。:NULL:NULL:Pas:ascender:bajar"});
  EXPECT_EQ(verbForms(), std::vector<std::string>{"1:subir:sub:上"});
  EXPECT_EQ(verbSearch(), std::vector<std::string>{"1:上:Subo./我上。:subir"});
}

TEST_F(BatchImportTest, BadVerbLinesAndShortInfinitivesAreMarkedAndTheProgramEnds) {
  struct Case {
    const char* name;
    std::vector<Text> lines;
    std::vector<Text> red;
  };
  const Case cases[] = {
      {"eight fields, a later line of six", {u"a1/b/c/d/e/f/g/h", u"ir/b/c/d/e/f"}, {u"ir/b/c/d/e/f"}},
      {"six fields, short infinitives",
       {u"ir/b/c/d/e/f", u"/b/c/d/e/f", u"a/b/c/d/e/f", u" /b/c/d/e/f", u"ser/b/c/d/e/f/g"},
       {u"/b/c/d/e/f", u"a/b/c/d/e/f", u" /b/c/d/e/f", u"ser/b/c/d/e/f/g"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir data;
    Program prog(data.path());
    FrmLexaro& win = startMainWindow(prog);
    const auto path = files.path() / "v.txt";
    writeBytes(path, fileBytes(c.lines, Encoding::Gbk));
    ASSERT_TRUE(prog.user().click(win.Command11));
    ASSERT_TRUE(prog.user().click(win.Command11));
    prog.dialogs().fileAnswers.push_back(fromUtf8(path.string()));
    ASSERT_TRUE(prog.user().click(win.Command57));
    prog.dialogs().messages.clear();
    prog.user().click(win.Command57);
    EXPECT_TRUE(prog.app().ended());
    ASSERT_EQ(prog.dialogs().messages.size(), 1u);
    EXPECT_EQ(prog.dialogs().messages[0].prompt, kFormatWrong);
    EXPECT_EQ(redLines(loadRichFile(path, CharFormat{})), c.red);
    EXPECT_TRUE(onDisk(data.path() / "DCK1.db", "SELECT ID FROM \"表1\"").empty());
    EXPECT_TRUE(onDisk(data.path() / "DCK2.db", "SELECT ID FROM \"表1\"").empty());
  }
}

TEST_F(BatchImportTest, AVerbFileOfNoKnownKindIsToldBeforeTheProgramEnds) {
  for (const std::vector<Text>& lines : {std::vector<Text>{u"hablar/说"}, std::vector<Text>{u"", u"ir/b/c/d/e/f"}}) {
    TempDir data;
    Program prog(data.path());
    FrmLexaro& win = startMainWindow(prog);
    const auto path = files.path() / "v.txt";
    const std::string bytes = fileBytes(lines, Encoding::Gbk);
    writeBytes(path, bytes);
    ASSERT_TRUE(prog.user().click(win.Command11));
    ASSERT_TRUE(prog.user().click(win.Command11));
    prog.dialogs().fileAnswers.push_back(fromUtf8(path.string()));
    ASSERT_TRUE(prog.user().click(win.Command57));
    prog.user().click(win.Command57);
    EXPECT_TRUE(prog.app().ended());
    ASSERT_EQ(prog.dialogs().messages.size(), 1u);
    EXPECT_EQ(prog.dialogs().messages[0].prompt, kFormatWrong);
    EXPECT_EQ(readBytes(path), bytes);  // neither marked nor written back
  }
}

TEST_F(BatchImportTest, VerbsAddedEarlierAreSplitOnceAndMarkedOnesAreLeftAlone) {
  start({{u"你好。", u"Hola."}}, {{u"vivir", u"住", u"Vivo.我住。"}, {u"ver", u"看", u"Veo.我看。"}});
  // The second verb was marked by hand, its text never split.
  p->event([&] {
    w().Data3.setIndex("ID");
    w().Data3.Seek("=", u"2");
    w().Text52.setText(u"Pas");
    w().Data3.MoveFirst();
  });
  open(w().Command57, textFile("v.txt", {u"ir/-/不规则//去/Voy.我去。"}));
  press(w().Command57);
  EXPECT_EQ(table("DCK1.db", "ZD6, ZD9"),
            (std::vector<std::string>{"Vivo./我住。:Pas", "Veo.我看。:Pas", "Voy./我去。:Pas"}));
  EXPECT_EQ(table("DCK3.db", "ZD2"), (std::vector<std::string>{"Vivo./我住。", "Veo.我看。", "Voy./我去。"}));
}

// --- word files: the dispatch and its checks -------------------------------------

TEST_F(BatchImportTest, AWordFileOfNoKnownKindIsToldAndLeftAsItWas) {
  start();
  for (const std::string& bytes : {fileBytes({u"a/b/c/d"}, Encoding::Gbk), std::string("\r\na/b\r\n")}) {
    p->dialogs().messages.clear();
    const auto path = file("w.txt", bytes);
    open(w().Command69, path);
    press(w().Command69);
    EXPECT_EQ(messages(), std::vector<Text>{Text(kFormatWrong)});
    EXPECT_EQ(readBytes(path), bytes);
    expectBatchModeOff();
  }
}

TEST_F(BatchImportTest, BadWordLinesAreMarkedWrittenBackAndTold) {
  start();
  for (const auto& lines : {std::vector<Text>{u"casa/房子", u"perro/狗/el perro"},
                            std::vector<Text>{u"casa/房子/la casa", u"perro/狗"}}) {
    p->dialogs().messages.clear();
    const auto path = textFile("w.txt", lines);
    open(w().Command69, path);
    press(w().Command69);
    EXPECT_EQ(messages(), std::vector<Text>{Text(kFormatWrongInWord)});
    EXPECT_EQ(redLines(loadRichFile(path, CharFormat{})), std::vector<Text>{lines[1]});
    expectBatchModeOff();
  }
}

// --- the example split -------------------------------------------------------------

TEST(ExampleSplit, SplitsSpanishFromChineseAndChineseFromSpanish) {
  struct Case {
    const char* name;
    Text in, out;
  };
  const Case cases[] = {
      {"two pairs, an accented capital", u"Es bueno.很好。Él come.他吃。", u"Es bueno./很好。\r\nÉl come./他吃。"},
      {"accents and ň inside a word", u"Mañana está aquí.明天。", u"Mañana está aquí./明天。"},
      {"ü counts as double-byte", u"pingüino", u"ping/üino"},
      {"a blank after Chinese starts the line", u"好 bien", u"好\r\n bien"},
      {"a digit after Chinese, Chinese after a digit", u"好3个", u"好\r\n3/个"},
      {"a new line's first pair is not tested", u"好。\r\na好", u"好。\r\na好"},
      {"full-width marks end no Chinese", u"什么？Sí（是）", u"什么？Sí（是）"},
      {"Chinese last gets no stray slash", u"Es bueno.好", u"Es bueno./好"},
      {"a single character", u"好", u"好"},
      {"empty stays empty", u"", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(splitExamples(c.in).text, c.out) << c.name;
  // Punctuation after Chinese and a CR start no Spanish.
  for (char16_t mark : TextView(u",.;:!-\"\r")) {
    const Text in = Text(u"好") + mark;
    EXPECT_EQ(splitExamples(in).text, in) << toUtf8(in);
  }
}

TEST(ExampleSplit, CountsEveryPairItLooksAtAndKeepsTheLastOne) {
  const SplitExamples s = splitExamples(u"ab好");
  EXPECT_EQ(s.text, u"ab/好");
  EXPECT_EQ(s.steps, 3);  // "ab", "b好" (then past the "/"), and the end
  EXPECT_EQ(s.lastPair, u"b好");
  EXPECT_EQ(splitExamples(u"").steps, 1);
}

// --- a kill during an import ---------------------------------------------------------

// The child runs the program on the data folder, imports the file and is
// killed where `arm` says; the tables then hold all of the file or none.
class KilledImportTest : public BatchImportTest {
 protected:
  void runChild(CommandButton FrmLexaro::*button, const std::filesystem::path& path,
                const std::function<void(FrmLexaro&)>& arm) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      Program prog(dir.path());
      FrmLexaro& win = startMainWindow(prog);
      prog.user().click(win.Command11);
      if (!win.Command58.Visible) prog.user().click(win.Command11);
      prog.dialogs().fileAnswers.push_back(fromUtf8(path.string()));
      prog.user().click(win.*button);
      arm(win);
      prog.user().click(win.*button);
      ::kill(::getpid(), SIGKILL);  // killed at once after the import
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
  }
};

TEST_F(KilledImportTest, AKillAnywhereInAnImportLeavesAllOrNone) {
  writeDictionary(dir.path(), {{u"你好。", u"Hola."}});
  constexpr int kLines = 300;
  std::vector<Text> sentenceLines, verbLines;
  for (int i = 0; i < kLines; ++i) {
    sentenceLines.push_back(u"句子" + NumText(i) + u"/frase " + NumText(i));
    verbLines.push_back(u"verbo" + NumText(i) + u"ar/-/规则//意思/Ejemplo.例子。");
  }
  const auto sentencesFile = textFile("s.txt", sentenceLines);
  const auto verbsFile = textFile("v.txt", verbLines);
  std::mt19937 rng(13);
  int64_t total = 1;
  for (int round = 0; round < 12; ++round) {
    const int killAt = std::uniform_int_distribution<int>(1, kLines)(rng);
    const bool completes = round % 3 == 2;
    const bool verbsFileNow = round % 2 == 1;
    runChild(verbsFileNow ? &FrmLexaro::Command57 : &FrmLexaro::Command58, verbsFileNow ? verbsFile : sentencesFile,
             [&](FrmLexaro& win) {
               if (completes) return;
               // Text42 takes a new value for every line the import reads.
               auto lines = std::make_shared<int>(0);
               win.Text42.Change = [&win, lines, killAt] {
                 win.Text42_Change();
                 if (++*lines == killAt + 1) ::kill(::getpid(), SIGKILL);
               };
               // In the verb import the example split runs last.
               if (verbsFileNow && killAt % 3 == 0)
                 win.app().onProgress = [lines] {
                   if (*lines >= kLines) ::kill(::getpid(), SIGKILL);
                 };
             });
    if (!verbsFileNow && completes) total += kLines;
    SCOPED_TRACE("round " + std::to_string(round));
    EXPECT_EQ(static_cast<int64_t>(sentences().size()), total);
    EXPECT_EQ(static_cast<int64_t>(searchRows().size()), total);
    const size_t v = verbs().size();
    EXPECT_TRUE(v == 0 || v % kLines == 0) << v;
    EXPECT_EQ(verbForms().size(), v);
    EXPECT_EQ(verbSearch().size(), v);
    if (v > 0) {
      EXPECT_EQ(onDisk(dir.path() / "DCK1.db", "SELECT count(*) FROM \"表1\" WHERE ZD9 = 'Pas'").front(),
                std::to_string(v));
    }
  }
  EXPECT_GT(total, 1);
  EXPECT_FALSE(verbs().empty());
}

TEST_F(KilledImportTest, AKillAfterTheBatchHasReachedTheFilesLeavesNone) {
  writeDictionary(dir.path(), {{u"你好。", u"Hola."}});
  const auto path = textFile("s.txt", longSentenceLines(kLongLines));
  const auto before = std::filesystem::file_size(dir.path() / "XHKA.db");
  runChild(&FrmLexaro::Command58, path, [](FrmLexaro& win) {
    auto lines = std::make_shared<int>(0);
    win.Text42.Change = [&win, lines] {
      win.Text42_Change();
      if (++*lines == kLongLines) ::kill(::getpid(), SIGKILL);  // the last line, before the commit
    };
  });
  EXPECT_GT(std::filesystem::file_size(dir.path() / "XHKA.db"), before);  // pages went in ahead of the commit
  // The program started again finds the dictionary as it was before the import.
  ProgramTest::start();
  EXPECT_EQ(w().Text2.text(), u"你好。");
  EXPECT_EQ(sentences(), std::vector<std::string>{"1:你好。:Hola."});
  EXPECT_EQ(searchRows(), std::vector<std::string>{"1:你好。/Hola."});
}

}  // namespace
}  // namespace zuvo
