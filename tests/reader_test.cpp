// The text reader: opening, reading and saving a text, its modes and panes,
// the lookup of a word selected in it, and the word list of the whole text.
// The shipped window keeps the reader's entry buttons disabled; these tests
// enable them, as a one-line change of the design state would.

#include <gtest/gtest.h>


#include "app/FrmLexaro.h"
#include "platform/rich_document.h"
#include "support/dictionary.h"

namespace zuvo {
namespace {

using namespace zuvo::testing;
namespace fs = std::filesystem;

constexpr Colour kReaderModeOn = 0xFFC0FF;

const std::vector<SentencePair> kSentences = {
    {u"狗在房子里。", u"El perro está en la casa."},
};
const std::vector<VerbRow> kVerbs = {
    {u"hablar", u"说", u"Hablo español."},
    {u"comer", u"吃", u"Como pan."},
    {u"ir", u"去", u"Voy a casa."},  // its root is empty
};
const std::vector<WordRow> kWords = {
    {u"casa", u"casa", u"房子", u"una casa grande"},
    {u"espana", u"Espa?a", u"西班牙", u""},
    {u"perro", u"el perro", u"狗", u""},
};

class ReaderTest : public MainWindowSuite {
 protected:
  static void SetUpTestSuite() { writeSuiteDictionary(kSentences, kVerbs, kWords); }
  TempDir files;
  User& user = p.user();

  // The test-only way in: the reader's two entry buttons enabled.
  void enableReader() {
    w.Command29.Enabled = true;
    w.Command26.Enabled = true;
  }
  fs::path textFile(const std::string& name, std::string_view bytes) {
    const fs::path f = files.path() / name;
    writeBytes(f, bytes);
    return f;
  }
  // "K" with the open dialog answered by the file (nullopt: cancelled).
  bool open(const std::optional<fs::path>& f) {
    p.dialogs().fileAnswers.push_back(f ? std::optional<Text>(fromUtf8(f->string())) : std::nullopt);
    return user.click(w.Command29);
  }
  void openReading(std::string_view text = "la casa de comer y hablamos espana\r\n xyz") {
    enableReader();
    ASSERT_TRUE(open(textFile("text.txt", text)));
    ASSERT_TRUE(w.RichTextBox8.Visible);
  }
  void run(const std::function<void()>& body) { ASSERT_TRUE(p.event(body)); }
  // A program of its own with its reader open on the text: one per case of a table.
  FrmLexaro& readerOn(Program& q, std::string_view text) {
    FrmLexaro& v = startMainWindow(q);
    v.Command29.Enabled = true;
    q.dialogs().fileAnswers.push_back(fromUtf8(textFile("t.txt", text).string()));
    EXPECT_TRUE(q.user().click(v.Command29));
    EXPECT_TRUE(v.RichTextBox8.Visible);
    return v;
  }
  bool inFront(const Control& above, const Control& below) {
    const auto& order = w.stacking();
    return std::find(order.begin(), order.end(), &above) > std::find(order.begin(), order.end(), &below);
  }
  void expectPlace(const Control& c, float top, float left, float width, float height) {
    SCOPED_TRACE(c.name());
    EXPECT_FLOAT_EQ(c.Top, top);
    EXPECT_FLOAT_EQ(c.Left, left);
    EXPECT_FLOAT_EQ(c.Width, width);
    EXPECT_FLOAT_EQ(c.Height, height);
  }
  void expectEnabled(const std::vector<const Control*>& cs, bool enabled) {
    for (const Control* c : cs) EXPECT_EQ(c->Enabled, enabled) << c->name();
  }
  std::vector<const Control*> mainButtons() {
    return {&w.Command1, &w.Command10A, &w.Command11, &w.Command23, &w.Command24, &w.Command25};
  }
};

// --- the shipped program ---------------------------------------------------------

TEST_F(ReaderTest, TheShippedProgramKeepsTheReaderOutOfReach) {
  auto expectClosed = [&](const char* after) {
    SCOPED_TRACE(after);
    expectEnabled({&w.Command29, &w.Command26, &w.Command45, &w.Command51, &w.Command59}, false);
    EXPECT_FALSE(w.RichTextBox8.Visible);
    EXPECT_FALSE(w.RichTextBox11.Visible);
    EXPECT_FALSE(w.RichTextBox12.Visible);
  };
  expectClosed("start-up");
  EXPECT_FALSE(user.click(w.Command29));
  EXPECT_FALSE(user.click(w.Command26));
  EXPECT_TRUE(p.dialogs().fileDialogs.empty());

  // Every button the user can reach, pressed twice round; dialogs cancel.
  for (int round = 0; round < 2; ++round) {
    for (Control* c : w.controls()) {
      if (c->kind() != ControlKind::CommandButton || c == &w.Command21) continue;
      if (!user.click(*c)) continue;
      expectClosed(c->name().c_str());
    }
  }
  ASSERT_TRUE(user.click(w.Command20));
  ASSERT_TRUE(user.type(w.RichTextBox16, u"casa"));
  expectClosed("a lookup");
}

// --- opening, reading and saving ---------------------------------------------------

TEST_F(ReaderTest, OpeningAFileShowsItAboveTheSecondPaneInReaderMode) {
  openReading("hola mundo");
  EXPECT_EQ(w.RichTextBox8.text(), u"hola mundo");
  ASSERT_EQ(p.dialogs().fileDialogs.size(), 1u);
  EXPECT_EQ(p.dialogs().fileDialogs[0], (MessageRecord{u"打开", u"文本文件 (*.TXT)|*.TXT"}));
  expectPlace(w.RichTextBox8, 1320, 220.02f, 9470, 1760);
  expectPlace(w.RichTextBox12, 3150, 220.02f, 9470, 1810);
  EXPECT_TRUE(w.RichTextBox12.Visible);
  EXPECT_TRUE(inFront(w.RichTextBox12, w.RichTextBox8));
  EXPECT_TRUE(inFront(w.RichTextBox8, w.Text88));
  EXPECT_TRUE(inFront(w.RichTextBox8, w.RichTextBox13));
  expectEnabled({&w.Command1, &w.Command10A, &w.Command11, &w.Command27, &w.Command23, &w.Command24, &w.Command25,
                 &w.Command51},
                false);
  expectEnabled({&w.Command45, &w.Command59}, true);
  EXPECT_EQ(w.Label9.BackColor, kReaderModeOn);
  EXPECT_TRUE(w.RichTextBox12.hasFocus());
}

TEST_F(ReaderTest, EveryKeyReleaseWritesTheTextBackAsRichText) {
  // A plain-text file, read in GBK, then one key released.
  openReading(toGbk(u"Qué tal, 你好"));
  EXPECT_EQ(w.RichTextBox8.text(), u"Qué tal, 你好");
  const fs::path f = files.path() / "text.txt";
  ASSERT_TRUE(user.pressKey(w.RichTextBox8, kKeyEnd));
  EXPECT_TRUE(readBytes(f).starts_with("{\\rtf"));
  EXPECT_EQ(loadRichFile(f, {}).text, u"Qué tal, 你好");
  EXPECT_TRUE(w.RichTextBox8.hasFocus());
  // Typing saves at every release.
  ASSERT_TRUE(user.type(w.RichTextBox8, u"!"));
  EXPECT_EQ(loadRichFile(f, {}).text, u"Qué tal, 你好!");
  EXPECT_TRUE(p.dialogs().messages.empty());
}

TEST_F(ReaderTest, ARichTextFileKeepsItsColoursThroughTheSave) {
  RichDocument doc{u"rojo y negro", FormatRuns(12, CharFormat{})};
  doc.formats.update(0, 4, [](CharFormat& f) { f.colour = 255; });
  enableReader();
  const fs::path f = textFile("colours.rtf", writeRtf(doc));
  ASSERT_TRUE(open(f));
  EXPECT_EQ(w.RichTextBox8.text(), u"rojo y negro");
  EXPECT_EQ(w.RichTextBox8.formatAt(0).colour, 255u);
  ASSERT_TRUE(user.pressKey(w.RichTextBox8, kKeyHome));
  const RichDocument back = loadRichFile(f, {});
  EXPECT_EQ(back.text, u"rojo y negro");
  EXPECT_EQ(back.formats.at(3).colour, 255u);
  EXPECT_EQ(back.formats.at(5).colour, kWindowText);
}

TEST_F(ReaderTest, TheSecondPaneIsSavedThroughTheSaveAsDialogOnce) {
  openReading();
  ASSERT_TRUE(user.type(w.RichTextBox12, u"notas"));
  ASSERT_TRUE(user.click(w.Command26));  // the second pane alone enables "<*>"
  ASSERT_TRUE(w.Command51.Enabled);
  const fs::path out = files.path() / "notes.txt";
  p.dialogs().fileAnswers.push_back(fromUtf8(out.string()));
  ASSERT_TRUE(user.click(w.Command51));
  EXPECT_EQ(p.dialogs().fileDialogs.back(), (MessageRecord{u"另存为", u"文本文件(*.txt)|*.*"}));
  EXPECT_TRUE(readBytes(out).starts_with("{\\rtf"));
  EXPECT_EQ(loadRichFile(out, {}).text, u"notas");
  EXPECT_FALSE(w.Command51.Enabled);
  EXPECT_TRUE(w.RichTextBox12.hasFocus());
}

TEST_F(ReaderTest, AnEmptySecondPaneOrACancelledDialogSavesNothing) {
  openReading();
  ASSERT_TRUE(user.click(w.Command26));
  const size_t dialogs = p.dialogs().fileDialogs.size();
  ASSERT_TRUE(user.click(w.Command51));  // empty pane: no dialog
  EXPECT_EQ(p.dialogs().fileDialogs.size(), dialogs);
  ASSERT_TRUE(user.type(w.RichTextBox12, u"notas"));
  ASSERT_TRUE(user.click(w.Command51));  // cancelled
  EXPECT_EQ(p.dialogs().fileDialogs.size(), dialogs + 1);
  EXPECT_TRUE(w.Command51.Enabled);
  EXPECT_EQ(w.RichTextBox12.text(), u"notas");
  EXPECT_TRUE(p.dialogs().messages.empty());
}

TEST_F(ReaderTest, ACancelledOpenChangesNothing) {
  enableReader();
  ASSERT_TRUE(open(std::nullopt));
  EXPECT_FALSE(w.RichTextBox8.Visible);
  EXPECT_FALSE(w.RichTextBox12.Visible);
  expectEnabled({&w.Command45, &w.Command59, &w.Command51}, false);
  expectEnabled(mainButtons(), true);
  EXPECT_EQ(w.Label9.BackColor, kButtonFace);
  EXPECT_EQ(w.ReaderFile, u"");
}

// --- mended faults of the files ----------------------------------------------------

TEST_F(ReaderTest, TheTextIsSavedOnlyToTheFileTheReaderOpened) {
  openReading("hola");
  const fs::path readerFile = files.path() / "text.txt";
  // The batch import chose another file in the same open dialog.
  const fs::path batch = textFile("batch.txt", "a/b\r\n");
  run([&] { w.CommonDialog1.FileName = fromUtf8(batch.string()); });
  ASSERT_TRUE(user.type(w.RichTextBox8, u"x"));
  EXPECT_EQ(readBytes(batch), "a/b\r\n");
  EXPECT_EQ(loadRichFile(readerFile, {}).text, u"xhola");
}

TEST_F(ReaderTest, WithNoFileOpenAKeyReleaseSavesNothing) {
  // With "K" disabled, "<<->>" shows the text pane with no file behind it.
  w.Command26.Enabled = true;
  ASSERT_TRUE(user.click(w.Command26));
  ASSERT_TRUE(w.RichTextBox8.Visible);
  run([&] {
    int key = kKeyEnd;
    w.RichTextBox8_KeyUp(key, 0);
  });
  EXPECT_TRUE(p.dialogs().messages.empty());
  EXPECT_TRUE(fs::is_empty(files.path()));
}

TEST_F(ReaderTest, ClosingTheReaderForgetsItsFile) {
  openReading("hola");
  const fs::path f = files.path() / "text.txt";
  ASSERT_TRUE(user.click(w.Command26));  // the second pane alone
  ASSERT_TRUE(user.click(w.Command26));  // the reader closes, its panes emptied
  EXPECT_EQ(w.RichTextBox8.text(), u"");
  EXPECT_EQ(w.ReaderFile, u"");
  // The text pane shown again empty writes nothing over the file.
  w.Command29.Enabled = false;
  ASSERT_TRUE(user.click(w.Command26));
  ASSERT_TRUE(user.pressKey(w.RichTextBox8, kKeyEnd));
  EXPECT_EQ(readBytes(f), "hola");
}

TEST_F(ReaderTest, AFileThatCannotBeOpenedIsNamedAndThePaneKeepsItsText) {
  openReading("primero");
  const fs::path first = files.path() / "text.txt";
  const fs::path missing = files.path() / "gone.txt";
  ASSERT_TRUE(open(missing));  // from Reading: the second pane alone, then the dialog
  ASSERT_EQ(p.dialogs().messages.size(), 1u);
  EXPECT_EQ(p.dialogs().messages[0].title, u" ZORVEK");
  EXPECT_EQ(p.dialogs().messages[0].prompt.rfind(u"文件无法打开：" + fromUtf8(missing.string()) + u"\r\n", 0), 0u);
  EXPECT_EQ(w.RichTextBox8.text(), u"primero");
  EXPECT_EQ(w.ReaderFile, fromUtf8(first.string()));
  EXPECT_FALSE(w.RichTextBox8.Visible);
  EXPECT_TRUE(w.RichTextBox12.Visible);
}

TEST_F(ReaderTest, AFifoOrAFileThatIsNoTextIsRefusedAtOnceAndNeverWritten) {
  enableReader();
  const Fifo fifo(files.path() / "fifo.txt");
  const std::string binary("PK\x03\x04\x14\0\x06\0word/document.xml\0\x01", 27);
  const fs::path document = textFile("document.txt", binary);
  for (const fs::path& f : {fifo.path(), document}) {
    SCOPED_TRACE(f.filename().string());
    p.dialogs().messages.clear();
    ASSERT_TRUE(open(f));
    ASSERT_EQ(p.dialogs().messages.size(), 1u);
    EXPECT_EQ(p.dialogs().messages[0].prompt.rfind(u"文件无法打开：" + fromUtf8(f.string()) + u"\r\n", 0), 0u)
        << toUtf8(p.dialogs().messages[0].prompt);
    EXPECT_FALSE(w.RichTextBox8.Visible);
    EXPECT_EQ(w.ReaderFile, u"");
  }
  EXPECT_EQ(readBytes(document), binary);
}

TEST_F(ReaderTest, AFailedSaveIsNamedAndTheTextStaysForTheNextRelease) {
  const fs::path dir = files.path() / "sub";
  fs::create_directory(dir);
  enableReader();
  writeBytes(dir / "t.txt", "hola");
  ASSERT_TRUE(open(dir / "t.txt"));
  fs::remove_all(dir);  // the folder vanished
  ASSERT_TRUE(user.type(w.RichTextBox8, u"x"));
  ASSERT_EQ(p.dialogs().messages.size(), 1u);
  EXPECT_EQ(p.dialogs().messages[0].prompt, u"文件无法保存：" + fromUtf8((dir / "t.txt").string()));
  EXPECT_EQ(w.RichTextBox8.text(), u"xhola");
  fs::create_directory(dir);
  ASSERT_TRUE(user.pressKey(w.RichTextBox8, kKeyEnd));
  EXPECT_EQ(p.dialogs().messages.size(), 1u);
  EXPECT_EQ(loadRichFile(dir / "t.txt", {}).text, u"xhola");

  // The second pane saved into a folder that does not exist.
  ASSERT_TRUE(user.type(w.RichTextBox12, u"notas"));
  ASSERT_TRUE(user.click(w.Command26));
  p.dialogs().fileAnswers.push_back(fromUtf8((files.path() / "no" / "n.txt").string()));
  ASSERT_TRUE(user.click(w.Command51));
  ASSERT_EQ(p.dialogs().messages.size(), 2u);
  EXPECT_TRUE(p.dialogs().messages[1].prompt.starts_with(u"文件无法保存："));
  EXPECT_TRUE(w.Command51.Enabled);
  EXPECT_EQ(w.RichTextBox12.text(), u"notas");
}

// --- modes and panes ---------------------------------------------------------------

TEST_F(ReaderTest, ReaderModeHidesAndShowsTheReaderPanes) {
  openReading();
  ASSERT_TRUE(user.click(w.Command45));  // off
  EXPECT_FALSE(w.RichTextBox8.Visible);
  EXPECT_FALSE(w.RichTextBox12.Visible);
  EXPECT_FALSE(w.RichTextBox3.Visible);
  EXPECT_EQ(w.Label9.BackColor, kButtonFace);
  EXPECT_EQ(w.Text23.BackColor, 0xFFC0C0u);
  expectEnabled(mainButtons(), true);
  expectEnabled({&w.Command27, &w.Command17, &w.Command19, &w.Command20, &w.Command45}, true);
  EXPECT_FALSE(w.Command59.Enabled);
  EXPECT_TRUE(inFront(w.RichTextBox13, w.RichTextBox8));
  EXPECT_TRUE(w.RichTextBox16.hasFocus());

  ASSERT_TRUE(user.click(w.Command45));  // on again
  EXPECT_TRUE(w.RichTextBox8.Visible);
  expectPlace(w.RichTextBox8, 1320, 220.02f, 9470, 1760);
  expectPlace(w.RichTextBox12, 3150, 220.02f, 9470, 1810);
  EXPECT_TRUE(w.RichTextBox12.Visible);
  EXPECT_EQ(w.Label9.BackColor, kReaderModeOn);
  expectEnabled(mainButtons(), false);
  expectEnabled({&w.Command27, &w.Command45, &w.Command59}, true);
  EXPECT_TRUE(w.RichTextBox12.hasFocus());
}

TEST_F(ReaderTest, ThePaneToggleGoesFromReadingToTheSecondPaneAloneAndThenCloses) {
  openReading();
  ASSERT_TRUE(user.type(w.RichTextBox12, u"notas"));
  ASSERT_TRUE(user.click(w.Command26));
  expectPlace(w.RichTextBox12, 1320, 220.02f, 9470, 3630);
  EXPECT_FALSE(w.RichTextBox8.Visible);
  EXPECT_TRUE(w.RichTextBox12.Visible);
  EXPECT_EQ(w.RichTextBox12.text(), u"notas");
  EXPECT_TRUE(w.Command51.Enabled);
  expectEnabled({&w.Command45, &w.Command59}, false);
  expectEnabled({&w.Command1, &w.Command10A, &w.Command23, &w.Command24, &w.Command25, &w.Command27}, true);
  EXPECT_FALSE(w.Command11.Enabled);  // as the reader mode left it
  EXPECT_EQ(w.Label9.BackColor, kButtonFace);

  ASSERT_TRUE(user.click(w.Command26));  // closed
  for (const RichTextBox* r : {&w.RichTextBox8, &w.RichTextBox11, &w.RichTextBox12}) {
    EXPECT_FALSE(r->Visible) << r->name();
    EXPECT_EQ(r->text(), u"") << r->name();
  }
  EXPECT_TRUE(w.Text88.Visible);
  EXPECT_FALSE(w.Command51.Enabled);
  EXPECT_TRUE(w.RichTextBox16.hasFocus());

  ASSERT_TRUE(user.click(w.Command26));  // the second pane alone, from closed
  EXPECT_TRUE(w.RichTextBox12.Visible);
  expectEnabled({&w.Command23, &w.Command25}, false);
  EXPECT_TRUE(w.Command51.Enabled);
}

TEST_F(ReaderTest, OpeningWhileReadingKeepsTheSecondPaneAndACancelLeavesItAlone) {
  openReading("uno");
  ASSERT_TRUE(user.type(w.RichTextBox12, u"notas"));
  ASSERT_TRUE(open(textFile("dos.txt", "dos")));
  EXPECT_EQ(w.RichTextBox8.text(), u"dos");
  EXPECT_EQ(w.RichTextBox12.text(), u"notas");
  EXPECT_TRUE(w.RichTextBox8.Visible);
  EXPECT_EQ(w.ReaderFile, fromUtf8((files.path() / "dos.txt").string()));

  ASSERT_TRUE(open(std::nullopt));
  EXPECT_FALSE(w.RichTextBox8.Visible);  // the second pane alone, as the press left it
  expectPlace(w.RichTextBox12, 1320, 220.02f, 9470, 3630);
  EXPECT_EQ(w.ReaderFile, fromUtf8((files.path() / "dos.txt").string()));
}

TEST_F(ReaderTest, OpeningFromTheWordListClosesTheReaderFirst) {
  openReading("casa");
  ASSERT_TRUE(user.type(w.RichTextBox12, u"notas"));
  ASSERT_TRUE(user.select(w.RichTextBox8, 0, 4));
  ASSERT_TRUE(w.RichTextBox11.Visible);
  ASSERT_TRUE(open(std::nullopt));
  for (const RichTextBox* r : {&w.RichTextBox8, &w.RichTextBox11, &w.RichTextBox12}) {
    EXPECT_FALSE(r->Visible) << r->name();
    EXPECT_EQ(r->text(), u"") << r->name();
  }
  EXPECT_EQ(p.dialogs().fileDialogs.size(), 2u);
}

TEST_F(ReaderTest, ThePaneToggleSharesTheWorkAreaWithTheRangeResult) {
  enableReader();
  ASSERT_TRUE(user.click(w.Command19));  // the result pane over the work area, the input empty
  ASSERT_TRUE(w.RichTextBox3.Visible);
  ASSERT_FLOAT_EQ(w.RichTextBox3.Height, 3630);
  ASSERT_TRUE(user.click(w.Command26));
  EXPECT_FLOAT_EQ(w.RichTextBox3.Top, 1320);
  EXPECT_FLOAT_EQ(w.RichTextBox3.Height, 1760);
  expectPlace(w.RichTextBox12, 3150, 220.02f, 9470, 1810);
  EXPECT_TRUE(w.RichTextBox12.Visible);
  EXPECT_TRUE(inFront(w.RichTextBox12, w.RichTextBox3));
  ASSERT_TRUE(user.click(w.Command26));
  EXPECT_FLOAT_EQ(w.RichTextBox3.Height, 3640);
  EXPECT_TRUE(w.RichTextBox3.Visible);
  EXPECT_FALSE(w.RichTextBox12.Visible);
}

TEST_F(ReaderTest, ThePaneToggleInAddModeEndsWithAnEmptySecondPaneAlone) {
  enableReader();
  ASSERT_TRUE(user.click(w.Command1));
  ASSERT_EQ(w.Command1.Caption, u"关闭(&K)");
  ASSERT_TRUE(user.click(w.Command26));
  EXPECT_EQ(w.Command1.Caption, u"添加(&N)");
  EXPECT_TRUE(w.RichTextBox12.Visible);
  EXPECT_EQ(w.RichTextBox12.text(), u"");
  expectPlace(w.RichTextBox12, 1320, 220.02f, 9470, 3630);
}

TEST_F(ReaderTest, TheHomeScreenHidesTheReaderAndKeepsItsText) {
  openReading("hola");
  ASSERT_TRUE(user.type(w.RichTextBox12, u"notas"));
  ASSERT_TRUE(user.click(w.Command20));
  for (const RichTextBox* r : {&w.RichTextBox8, &w.RichTextBox11, &w.RichTextBox12})
    EXPECT_FALSE(r->Visible) << r->name();
  EXPECT_EQ(w.RichTextBox8.text(), u"hola");
  EXPECT_EQ(w.RichTextBox12.text(), u"");
  expectEnabled({&w.Command45, &w.Command51, &w.Command59}, false);
}

// --- the result pane toggle beside the reader ------------------------------------------

TEST_F(ReaderTest, TheResultPaneSitsAboveTheSecondPaneAlone) {
  openReading();
  ASSERT_TRUE(user.click(w.Command26));  // the second pane alone, 3630 high
  ASSERT_TRUE(user.click(w.Command19));
  expectPlace(w.RichTextBox3, 1320, 220.02f, 9470, 1760);
  EXPECT_TRUE(w.RichTextBox3.Visible);
  EXPECT_TRUE(inFront(w.RichTextBox3, w.RichTextBox12));
  expectPlace(w.RichTextBox12, 3150, 220.02f, 9470, 1810);
  ASSERT_TRUE(user.click(w.Command19));
  EXPECT_FALSE(w.RichTextBox3.Visible);
  expectPlace(w.RichTextBox12, 1320, 220.02f, 9470, 3640);
}

TEST_F(ReaderTest, InReaderModeTheResultPaneFollowsTheReaderResultFlag) {
  openReading();
  // Right after the open the flag is at rest: the first press only raises it.
  ASSERT_TRUE(user.click(w.Command19));
  EXPECT_FALSE(w.RichTextBox3.Visible);
  EXPECT_EQ(w.Text23.BackColor, 0xFFC0C0u);
  ASSERT_TRUE(user.click(w.Command19));
  EXPECT_TRUE(w.RichTextBox3.Visible);
  expectPlace(w.RichTextBox3, 1320, 220.02f, 9470, 3630);
  EXPECT_TRUE(inFront(w.RichTextBox3, w.RichTextBox12));
  EXPECT_EQ(w.Text23.BackColor, kButtonFace);
  // The reader mode's toggle hides the pane and raises the flag both ways.
  ASSERT_TRUE(user.click(w.Command45));
  ASSERT_TRUE(user.click(w.Command45));
  EXPECT_FALSE(w.RichTextBox3.Visible);
  ASSERT_TRUE(user.click(w.Command19));
  EXPECT_TRUE(w.RichTextBox3.Visible);
}

TEST_F(ReaderTest, OverTheTextPaneAloneTheResultPaneOpensAndCloses) {
  w.Command26.Enabled = true;
  ASSERT_TRUE(user.click(w.Command26));  // "K" disabled: the text pane shows, no reader mode
  ASSERT_TRUE(w.RichTextBox8.Visible);
  ASSERT_FALSE(w.Command45.Enabled);
  ASSERT_TRUE(user.click(w.Command19));
  EXPECT_TRUE(w.RichTextBox3.Visible);
  expectPlace(w.RichTextBox3, 1320, 220.02f, 9470, 3630);
  EXPECT_TRUE(inFront(w.RichTextBox3, w.RichTextBox8));
  EXPECT_EQ(w.RichTextBox16.BackColor, 0xC0FFC0u);  // the lookup window's frame is left alone
  ASSERT_TRUE(user.click(w.Command19));
  EXPECT_FALSE(w.RichTextBox3.Visible);
}

// --- the reader word lookup ----------------------------------------------------------

TEST_F(ReaderTest, ASelectedWordIsListedAndTheListTakesTheTextPanesPlace) {
  struct Case {
    const char* name;
    TextView text;
    int64_t start, length;
    TextView listed;
  };
  const Case cases[] = {
      {"a key word", u"la casa", 3, 4, u"casa//房子\r\n"},
      {"a Spanish word", u"el perro", 0, 8, u"el perro//狗\r\n"},
      {"an accent-less key", u"de espana", 3, 6, u"Espaňa//西班牙\r\n"},
      {"a verb", u"hablar mucho", 0, 7, u"hablar\r\n"},
      {"an inflected form", u"hablamos", 0, 8, u"hablar\r\n"},
      {"a miss", u"xyz", 0, 3, u""},
      {"no selection", u"ir", 1, 0, u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Program q(folder->path());
    FrmLexaro& v = readerOn(q, toUtf8(c.text));
    ASSERT_TRUE(q.user().select(v.RichTextBox8, c.start, c.length));
    EXPECT_EQ(v.RichTextBox11.text(), c.listed);
    EXPECT_FALSE(v.RichTextBox8.Visible);
    EXPECT_TRUE(v.RichTextBox11.Visible);
    expectPlace(v.RichTextBox11, 1320, 220.02f, 9470, 1760);
    EXPECT_TRUE(v.RichTextBox11.hasFocus());
    EXPECT_EQ(v.Label8.BackColor, kButtonFace);
    EXPECT_EQ(v.RichTextBox8.text(), c.text);
  }
}

TEST_F(ReaderTest, EachLookedUpEntryEndsItsOwnLine) {
  openReading("hablamos casa casa");
  ASSERT_TRUE(user.select(w.RichTextBox8, 0, 8));
  ASSERT_TRUE(user.click(w.Command59));  // back to the text pane
  ASSERT_TRUE(w.RichTextBox8.Visible);
  ASSERT_TRUE(user.select(w.RichTextBox8, 9, 4));
  ASSERT_TRUE(user.click(w.Command59));
  ASSERT_TRUE(user.select(w.RichTextBox8, 14, 4));
  // The compaction of the second press kept the list; the same word twice
  // gives two entries.
  EXPECT_EQ(w.RichTextBox11.text(), u"hablar\r\ncasa//房子\r\ncasa//房子\r\n");
}

// Text49 takes the length of the hidden sentence copy's selection, which is
// never set: whatever is written into it, it reads "0".
TEST_F(ReaderTest, TheLengthBoxOfTheVerbListReadsTheSentenceCopysSelection) {
  openReading("hablamos");
  ASSERT_TRUE(user.select(w.RichTextBox8, 0, 8));  // the stem candidates find hablar
  ASSERT_EQ(w.RichTextBox11.text(), u"hablar\r\n");
  EXPECT_EQ(w.Text49.text(), u"0");
  run([&] { w.Text49.setText(u"hablamos"); });
  EXPECT_EQ(w.Text49.text(), u"0");
  run([&] {
    w.RichTextBox6.setSelStart(0);
    w.RichTextBox6.setSelLength(5);
    w.Text49.setText(u"x");
  });
  EXPECT_EQ(w.Text49.text(), u"5");
  // The hidden button "52" reads the box and changes nothing.
  run([&] { w.Command52.setValue(true); });
  EXPECT_EQ(w.Text49.text(), u"5");
}

// --- the word list of a text ---------------------------------------------------------

TEST_F(ReaderTest, TheAnalysisListsTheWordsAndVerbsOfTheTextInOrder) {
  openReading();  // "la casa de comer y hablamos espana\r\n xyz"
  run([&] { w.Command73_Click(); });
  // The verb found through its stem ends its own line, so the list keeps
  // the order of the text; the empty token at the end finds no verb of two
  // letters.
  EXPECT_EQ(w.RichTextBox11.text(), u"casa ◆房子\r\ncomer ★吃\r\nhablar\r\nEspaňa ◆西班牙\r\n");
  EXPECT_EQ(w.RichTextBox8.SelStart(), Len(w.RichTextBox8.text()));
  EXPECT_EQ(w.RichTextBox8.text(), u"la casa de comer y hablamos espana\r\n xyz");
  EXPECT_EQ(w.Label8.BackColor, kButtonFace);
  EXPECT_EQ(w.Text57.text(), u"");
}

TEST_F(ReaderTest, TheAnalysisSplitsTokensAtBlanksOnly) {
  struct Case {
    const char* name;
    std::string text;
    TextView listed;
  };
  const Case cases[] = {
      {"punctuation stays with its token", "casa, casa.", u""},
      {"two blanks", "casa  comer", u"casa ◆房子\r\ncomer ★吃\r\n"},
      {"a line break joins two words", "casa\r\ncasa", u""},
      {"a line that begins with a blank is one key", "casa\r\n casa", u"casa ◆房子\r\n"},
      {"the last token in full", "de comer", u"comer ★吃\r\n"},
      {"an empty text", "", u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Program q(folder->path());
    FrmLexaro& v = readerOn(q, c.text);
    ASSERT_TRUE(q.event([&] { v.Command73_Click(); }));
    EXPECT_EQ(v.RichTextBox11.text(), c.listed);
  }
}

TEST_F(ReaderTest, TheWordListButtonAnalysesOnceAndSwitchesPlaces) {
  openReading("casa comer casa hablamos");
  ASSERT_TRUE(user.click(w.Command59));
  EXPECT_TRUE(w.RichTextBox11.Visible);
  EXPECT_FALSE(w.RichTextBox8.Visible);
  expectPlace(w.RichTextBox11, 1320, 220.02f, 9470, 1760);
  EXPECT_TRUE(inFront(w.RichTextBox11, w.RichTextBox8));
  EXPECT_EQ(w.RichTextBox11.text(), u"casa ◆房子\r\ncomer ★吃\r\nhablar\r\n");
  EXPECT_FALSE(w.ProgressBar1.Visible);

  ASSERT_TRUE(user.click(w.Command59));
  EXPECT_TRUE(w.RichTextBox8.Visible);
  EXPECT_FALSE(w.RichTextBox11.Visible);
  EXPECT_EQ(w.RichTextBox11.text(), u"casa ◆房子\r\ncomer ★吃\r\nhablar\r\n");
}

TEST_F(ReaderTest, CompactingKeepsEachLineOnceUpToTwoEmptyLines) {
  struct Case {
    const char* name;
    TextView list, kept;
  };
  const Case cases[] = {
      {"a repeat and two empty lines", u"a ◆ x\r\nb ◆ y\r\na ◆ x\r\n\r\n\r\nc ◆ z\r\n", u"a ◆ x\r\nb ◆ y\r\n"},
      {"whole lines are compared", u"a ◆ to\r\npara ◆ to, for\r\n", u"a ◆ to\r\npara ◆ to, for\r\n"},
      {"two empty lines first", u"\r\n\r\nabc\r\n", u""},
      {"one empty line is dropped", u"a\r\n\r\nb\r\n", u"a\r\nb\r\n"},
      {"the last line gets its line end", u"a\r\nb", u"a\r\nb\r\n"},
      {"three of a kind", u"a\r\na\r\na\r\n", u"a\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Program q(folder->path());
    FrmLexaro& v = readerOn(q, "casa");
    ASSERT_TRUE(q.event([&] { v.RichTextBox11.setText(c.list); }));
    ASSERT_TRUE(q.user().click(v.Command59));
    EXPECT_EQ(v.RichTextBox11.text(), c.kept);
    EXPECT_TRUE(v.RichTextBox11.Visible);
  }
}

TEST_F(ReaderTest, CompactingWithTheReaderClosedOnlyFocusesTheInput) {
  run([&] { w.Command59_Click(); });
  EXPECT_EQ(w.RichTextBox11.text(), u"");
  EXPECT_FALSE(w.RichTextBox11.Visible);
  EXPECT_TRUE(w.RichTextBox16.hasFocus());
}

TEST_F(ReaderTest, TheHiddenListOfTheSecondPaneGivesMeaningsBesideTheWords) {
  openReading();
  ASSERT_TRUE(user.type(w.RichTextBox12, u"comer casa xyz"));
  run([&] { w.Command66_Click(); });
  EXPECT_EQ(w.RichTextBox11.text(), u"comer   吃\r\n房子   casa\r\n");
}

}  // namespace
}  // namespace zuvo
