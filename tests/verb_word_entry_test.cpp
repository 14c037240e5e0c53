// Adding verbs and words by hand, and correcting them in the verb and word
// views, driven as a user types, with what the user sees and what the verb
// and word tables hold on disk.

#include <gtest/gtest.h>

#include "app/FrmLexaro.h"
#include "entries/FMff.h"
#include "entries/placeholders.h"
#include "support/dictionary.h"

namespace zuvo {
namespace {

using namespace zuvo::testing;

constexpr TextView kOn = u"关闭(&K)";
constexpr TextView kNotAVerb = u"您输入的单词不是动词，请重新写入内容！";
constexpr TextView kLooksLikeAVerb = u"您输入的内容可能是动词或中文，请选用《添加动词》按钮！";
constexpr Colour kSeekPending = 0x80C0FF;
constexpr Colour kSearchRowFound = 0xFF00FF;

const std::vector<SentencePair> kOnePair = {{u"我说话。", u"Hablo."}};

class VerbWordEntryTest : public ProgramTest {
 protected:
  // Every dictionary here has the one sentence pair.
  void start(const std::vector<VerbRow>& verbs = {}, const std::vector<WordRow>& words = {}) {
    ProgramTest::start(kOnePair, verbs, words);
  }
  void ctrl(Control& box, char letter) { ASSERT_TRUE(user().ctrlKey(box, letter)) << box.name(); }
  // Replaces the whole text of a box by typing over it.
  void retype(TextBox& box, TextView text) {
    ASSERT_TRUE(user().select(box, 0, Len(box.text()))) << box.name();
    type(box, text);
  }
  std::vector<MessageRecord>& messages() { return p->dialogs().messages; }

  void openVerbPanel() {
    if (w().Command1.Caption != kOn) click(w().Command1);
    click(w().Command56);
  }
  void openWordPanel() {
    if (w().Command1.Caption != kOn) click(w().Command1);
    click(w().Command81);
  }
  // The panel opened, its hints cleared, the infinitive and meaning typed,
  // saved.
  void addVerb(TextView infinitive, TextView meaning) {
    openVerbPanel();
    click(w().Label7);
    if (!infinitive.empty()) type(w().Text72, infinitive);
    if (!meaning.empty()) type(w().Text42, meaning);
    click(w().Command67);
  }
  void addWord(TextView headword, TextView spanish, TextView meaning) {
    openWordPanel();
    click(w().Label7);
    if (!headword.empty()) type(w().Text102, headword);
    if (!spanish.empty()) type(w().Text43, spanish);
    if (!meaning.empty()) type(w().Text42, meaning);
    click(w().Command83);
  }
  void lookUp(TextView input) {
    p->event([&] { w().RichTextBox16.setText(u""); });
    type(w().RichTextBox16, input);
  }
  // The meaning editor laid over its pane, as a click in the pane opens it.
  void openMeaningEditor() {
    p->event([&] {
      w().Text113.Move(5000, 1320, 4690, 1050);
      w().Text113.ZOrder();
      w().Text113.Visible = true;
      w().Text113.SetFocus();
    });
  }

  std::vector<std::string> rows(const char* file, const char* columns) {
    return onDisk(dir.path() / file, std::string("SELECT ") + columns + " FROM \"表1\" ORDER BY ID");
  }
  std::vector<std::string> verbs() {
    return rows("DCK1.db",
                "ID, ZD1, IFNULL(ZD2,''), IFNULL(ZD3,''), IFNULL(ZD4,''), ZD5, IFNULL(ZD6,''), ZD7, ZD8, IFNULL(ZD9,''), "
                "IFNULL(ZD10,''), IFNULL(ZD11,'')");
  }
  std::vector<std::string> verbForms() { return rows("DCK2.db", "ID, ZD1, IFNULL(ZD2,''), IFNULL(ZD3,'')"); }
  std::vector<std::string> verbSearch() { return rows("DCK3.db", "ID, IFNULL(ZD1,''), IFNULL(ZD2,''), ZD3"); }
  std::vector<std::string> words() {
    return rows("CKUA.db", "ZD1, IFNULL(ZD2,''), IFNULL(ZD3,''), IFNULL(ZD5,'')");
  }
  std::vector<std::string> wordSearch() { return rows("CKUB.db", "IFNULL(ZD1,''), ZD2"); }
};

using Rows = std::vector<std::string>;

// --- the verb entry panel -----------------------------------------------------------

TEST_F(VerbWordEntryTest, AVerbIsStoredInThreeTablesOnOneIdAndFoundAtOnceAndAfterARestart) {
  start();
  addVerb(u"hablar", u"说");
  EXPECT_FALSE(w().Text72.Visible);
  EXPECT_FALSE(w().Command67.Visible);
  EXPECT_TRUE(w().RichTextBox16.hasFocus());
  EXPECT_TRUE(w().Command8.Enabled);
  EXPECT_TRUE(messages().empty());
  // On disk as soon as the save's event has ended.
  EXPECT_EQ(verbs(), (Rows{"1:hablar:habl:::说::hablando:hablado:::"}));
  EXPECT_EQ(verbForms(), (Rows{"1:hablar:habl:说"}));
  EXPECT_EQ(verbSearch(), (Rows{"1:说::hablar"}));

  lookUp(u"hablar");
  EXPECT_TRUE(w().Text92.Visible);
  EXPECT_EQ(w().Text92.text(), u"hablar");
  EXPECT_EQ(w().Text91.text(), u"说");
  EXPECT_EQ(w().Text96.text(), u"hablando");
  EXPECT_EQ(w().Text97.text(), u"hablado");
  EXPECT_EQ(w().Text108.text(), u"habl");

  addVerb(u"comer", u"吃");
  EXPECT_EQ(verbForms(), (Rows{"1:hablar:habl:说", "2:comer:com:吃"}));
  EXPECT_EQ(verbSearch(), (Rows{"1:说::hablar", "2:吃::comer"}));
  restart();
  lookUp(u"comer");
  EXPECT_EQ(w().Text92.text(), u"comer");
  EXPECT_EQ(w().Text75.text(), u"2");
  EXPECT_EQ(w().Text115.text(), u"2");
  EXPECT_EQ(w().Text97.text(), u"comido");
  EXPECT_EQ(w().Text96.text(), u"comiendo");
}

TEST_F(VerbWordEntryTest, ThePanelOpensWithItsHintsAndTheSaveCaptionFollowsTheInfinitive) {
  start();
  openVerbPanel();
  EXPECT_EQ(w().Text42.text(), kVerbMeaningPlaceholder);
  EXPECT_EQ(w().Text72.text(), u"原动词");
  EXPECT_EQ(w().Text114.text(), u"同义词（中西文）\r\n双击本窗口可以扩展");
  EXPECT_EQ(w().Text116.text(),
            u"动词例句（中西文）用鼠标左键双击本窗口可以扩展\r\n\r\n用鼠标点击<作者信箱>可以删除全部的中文提示");
  EXPECT_EQ(w().Command67.Caption, u"返—回");
  EXPECT_TRUE(w().Text72.hasFocus());
  EXPECT_FALSE(w().RichTextBox16.Enabled);
  EXPECT_FALSE(w().Command1.Enabled);
  EXPECT_FALSE(w().Command21.Visible);
  EXPECT_EQ(w().Command67.Left, 8700);
  EXPECT_EQ(w().Text72.BackColor, 0xFFFFC0u);
  EXPECT_EQ(w().Text72.Left, 6990.65f);
  click(w().Label7);
  EXPECT_EQ(w().Command67.Caption, u"返—回");
  type(w().Text72, u"h");
  EXPECT_EQ(w().Command67.Caption, u"保—存");
  // The synonym box takes the accent keys; "?" becomes "ň" there.
  type(w().Text114, u"espa?ol");
  ctrl(w().Text114, 'A');
  EXPECT_EQ(w().Text114.text(), u"espaňolá");
}

TEST_F(VerbWordEntryTest, TheFormsPreviewFollowsEachKeyAndLastEndingTheLastTwoLetters) {
  start();
  openVerbPanel();
  click(w().Label7);
  const std::vector<std::pair<char16_t, TextView>> steps = {
      {u'h', u"h"}, {u'a', u"ha"}, {u'b', u"ab"}, {u'l', u"bl"}, {u'a', u"la"}, {u'r', u"ar"}};
  for (const auto& [ch, ending] : steps) {
    type(w().Text72, Text(1, ch));
    EXPECT_EQ(w().Text29.text(), ending);
    if (ending != u"ar") {
      EXPECT_EQ(w().Text117.text(), u"") << toUtf8(w().Text72.text());
    }
  }
  EXPECT_EQ(w().Text117.text(), u"hablando");
  EXPECT_EQ(w().Text118.text(), u"hablado");
  // Ctrl+I in the single-line infinitive box inserts "í" and deletes nothing.
  p->event([&] { w().Text72.setSelStart(2); });
  ctrl(w().Text72, 'I');
  EXPECT_EQ(w().Text72.text(), u"haíblar");
}

TEST_F(VerbWordEntryTest, WhatIsNoVerbIsRefusedWithTheMessageBeforeAnyRecord) {
  struct Case {
    const char* name;
    TextView infinitive;  // typed after the hints are cleared; "原动词" leaves the hint
    TextView meaning;
  };
  const std::vector<Case> cases = {
      {"reflexive", u"lavarse", u"洗"},
      {"one letter", u"a", u"啊"},
      {"accented ending", u"oír", u"听"},
      {"the infinitive hint left", u"原动词", u"说"},
      {"no infinitive but a meaning", u"", u"说"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir d;
    writeDictionary(d.path(), kOnePair);
    Program prog(d.path());
    FrmLexaro& win = startMainWindow(prog);
    ASSERT_TRUE(prog.user().click(win.Command1));
    ASSERT_TRUE(prog.user().click(win.Command56));
    if (c.infinitive == u"原动词") {
      ASSERT_TRUE(prog.user().select(win.Text42, 0, Len(win.Text42.text())));
    } else {
      ASSERT_TRUE(prog.user().click(win.Label7));
      if (!c.infinitive.empty()) {
        ASSERT_TRUE(prog.user().type(win.Text72, c.infinitive));
      }
    }
    ASSERT_TRUE(prog.user().type(win.Text42, c.meaning));
    ASSERT_TRUE(prog.user().click(win.Command67));
    EXPECT_EQ(prog.dialogs().messages, (std::vector<MessageRecord>{{Text(kNotAVerb), u" ZORVEK"}}));
    EXPECT_EQ(win.Text72.text(), u"");
    EXPECT_FALSE(win.Text42.Visible);
    EXPECT_EQ(win.Command1.Caption, u"添加(&N)");
    EXPECT_TRUE(win.RichTextBox16.Enabled);
    EXPECT_TRUE(onDisk(d.path() / "DCK1.db", "SELECT ID FROM \"表1\"").empty());
    EXPECT_TRUE(onDisk(d.path() / "DCK2.db", "SELECT ID FROM \"表1\"").empty());
    EXPECT_TRUE(onDisk(d.path() / "DCK3.db", "SELECT ID FROM \"表1\"").empty());
  }
}

// The ending is read from the infinitive box itself, not from the ending a
// word box or an earlier infinitive left in the shared work box.
TEST_F(VerbWordEntryTest, APastedInfinitiveIsJudgedByItsOwnEnding) {
  start();
  openVerbPanel();
  click(w().Label7);
  type(w().Text72, u"hablar");
  ASSERT_EQ(w().Text29.text(), u"ar");
  ASSERT_TRUE(user().select(w().Text72, 0, 6));
  ASSERT_TRUE(user().paste(w().Text72, u"b"));
  type(w().Text42, u"说");
  click(w().Command67);
  EXPECT_EQ(messages().size(), 1u);
  EXPECT_TRUE(verbs().empty());

  // And the other way round: a verb pasted after a word box ended in "sa".
  openVerbPanel();
  click(w().Label7);
  p->event([&] { w().Text29.setText(u"sa"); });
  ASSERT_TRUE(user().paste(w().Text72, u"vivir"));
  type(w().Text42, u"住");
  click(w().Command67);
  EXPECT_EQ(messages().size(), 1u);
  EXPECT_EQ(verbForms(), (Rows{"1:vivir:viv:住"}));
}

TEST_F(VerbWordEntryTest, TheMeaningHintOrTwoEmptyBoxesCloseThePanelWithoutARecord) {
  start();
  openVerbPanel();
  type(w().Text46, u"x");  // other boxes typed into count for nothing
  click(w().Command67);
  EXPECT_FALSE(w().Text72.Visible);
  EXPECT_TRUE(w().Command1.Enabled);
  EXPECT_EQ(w().Text46.text(), u"");
  EXPECT_EQ(w().Text116.text(), u"");
  openVerbPanel();
  click(w().Label7);
  type(w().Text116, u"例句");
  click(w().Command67);
  EXPECT_FALSE(w().Text72.Visible);
  EXPECT_TRUE(messages().empty());
  EXPECT_TRUE(verbs().empty());
}

TEST_F(VerbWordEntryTest, BoxesStillHoldingTheirHintsStoreNothingAndTheRootOfIrIsEmpty) {
  start();
  openVerbPanel();
  retype(w().Text72, u"ir");
  retype(w().Text42, u"去");
  click(w().Command67);
  EXPECT_EQ(verbs(), (Rows{"1:ir::::去::yendo:ido:::"}));
  EXPECT_EQ(verbSearch(), (Rows{"1:去::ir"}));

  openVerbPanel();
  retype(w().Text72, u"amar");
  retype(w().Text42, u"爱");
  retype(w().Text46, u"及物");
  retype(w().Text114, u"querer");
  click(w().Command67);
  EXPECT_EQ(verbs()[1], "2:amar:am:及物::爱::amando:amado::querer:");
}

TEST_F(VerbWordEntryTest, TheVerbConjugationButtonShowsTheKeptVerbOnce) {
  start({{u"hablar", u"说", u""}, {u"comer", u"吃", u""}});
  lookUp(u"你");  // the first input keeps the verb on show, the first one
  ASSERT_EQ(w().Text105.text(), u"1");
  p->event([&] {
    w().Data3.setIndex("ID");
    w().Data3.MoveLast();
  });
  ASSERT_EQ(w().Text92.text(), u"comer");
  click(w().Command1);
  click(w().Command1);  // add mode off again enables the button
  click(w().Command8);
  EXPECT_EQ(w().Text92.text(), u"hablar");
  EXPECT_EQ(w().Text63.text(), u"hablar");
  EXPECT_EQ(w().Text105.text(), u"0");
  p->event([&] { w().Data3.MoveLast(); });
  click(w().Command8);
  EXPECT_EQ(w().Text92.text(), u"comer");
  EXPECT_EQ(w().Text105.text(), u"0");
}

// --- the word add panel ---------------------------------------------------------------

TEST_F(VerbWordEntryTest, AWordIsFoundByItsKeyByItsMeaningAndByTheRangeQuery) {
  start();
  addWord(u"casa", u"casa grande", u"房子");
  EXPECT_FALSE(w().Text102.Visible);
  EXPECT_TRUE(w().RichTextBox16.hasFocus());
  EXPECT_EQ(w().RichTextBox13.Width, 9470);
  EXPECT_EQ(words(), (Rows{"casa:casa grande:房子:"}));
  EXPECT_EQ(wordSearch(), (Rows{"casa grande◆房子:casa"}));

  lookUp(u"casa");
  EXPECT_TRUE(w().Text112.Visible);
  EXPECT_EQ(w().Text112.text(), u"casa grande");
  EXPECT_EQ(w().RichTextBox15.text(), u"房子");
  lookUp(u"房子");
  EXPECT_EQ(w().Text112.text(), u"casa grande");
  lookUp(u"grande");
  click(w().Command17);
  EXPECT_NE(w().RichTextBox3.text().find(u"casa grande◆房子"), Text::npos) << toUtf8(w().RichTextBox3.text());
}

TEST_F(VerbWordEntryTest, AQuestionMarkIsStoredAsEnyeInBothWordTables) {
  start();
  addWord(u"a?o", u"a?o", u"年");
  EXPECT_EQ(words(), (Rows{"a?o:aňo:年:"}));
  EXPECT_EQ(wordSearch(), (Rows{"aňo◆年:a?o"}));
  lookUp(u"aňo");
  click(w().Command17);
  EXPECT_NE(w().RichTextBox3.text().find(u"aňo◆年"), Text::npos) << toUtf8(w().RichTextBox3.text());
}

TEST_F(VerbWordEntryTest, ASpanishWordEndingLikeAVerbIsRefusedUnlessTheHeadwordCameLast) {
  start();
  addWord(u"comer", u"comer", u"吃");
  EXPECT_EQ(messages(), (std::vector<MessageRecord>{{Text(kLooksLikeAVerb), u" ZORVEK"}}));
  EXPECT_FALSE(w().Text43.Visible);
  EXPECT_TRUE(words().empty());

  openWordPanel();
  click(w().Label7);
  type(w().Text43, u"comer");
  type(w().Text102, u"comida");
  type(w().Text42, u"饭");
  click(w().Command83);
  EXPECT_EQ(messages().size(), 1u);
  EXPECT_EQ(words(), (Rows{"comida:comer:饭:"}));
}

// The Spanish-word box still holding its hint is not empty to the verb
// test, though the hint is stored as empty; a box the user emptied is.
TEST_F(VerbWordEntryTest, AVerbLikeHeadwordIsRefusedWhileTheSpanishBoxHoldsItsHint) {
  start();
  openWordPanel();
  retype(w().Text102, u"hablar");
  retype(w().Text42, u"说");
  ASSERT_EQ(w().Text43.text(), kWordSpanishPlaceholder);
  click(w().Command83);
  EXPECT_EQ(messages(), (std::vector<MessageRecord>{{Text(kLooksLikeAVerb), u" ZORVEK"}}));
  EXPECT_FALSE(w().Text43.Visible);
  EXPECT_EQ(w().Command1.Caption, u"添加(&N)");
  EXPECT_TRUE(words().empty());
  EXPECT_TRUE(wordSearch().empty());

  openWordPanel();
  ASSERT_TRUE(user().select(w().Text43, 0, Len(w().Text43.text())));
  ASSERT_TRUE(user().pressKey(w().Text43, kKeyDelete));
  retype(w().Text102, u"hablar");
  retype(w().Text42, u"说");
  ASSERT_EQ(w().Text29.text(), u"ar");
  click(w().Command83);
  EXPECT_EQ(messages().size(), 1u);
  EXPECT_EQ(words(), (Rows{"hablar::说:"}));
  EXPECT_EQ(wordSearch(), (Rows{"◆说:hablar"}));
}

TEST_F(VerbWordEntryTest, AnEmptyHeadwordOrItsHintStoresNothingAndClosesThePanel) {
  start();
  openWordPanel();
  type(w().Text43, u"casa");
  click(w().Command83);  // the headword hint is still there
  EXPECT_FALSE(w().Text102.Visible);
  EXPECT_TRUE(w().Command1.Enabled);
  addWord(u"", u"casa", u"房子");
  EXPECT_FALSE(w().Text102.Visible);
  EXPECT_TRUE(w().Command21.Visible);
  EXPECT_TRUE(messages().empty());
  EXPECT_TRUE(words().empty());
  EXPECT_TRUE(wordSearch().empty());
}

TEST_F(VerbWordEntryTest, WordBoxHintsLeftInPlaceAreStoredAsEmpty) {
  start();
  openWordPanel();
  retype(w().Text102, u"casa");
  retype(w().Text42, u"房子");
  click(w().Command83);
  EXPECT_EQ(words(), (Rows{"casa::房子:"}));
  EXPECT_EQ(wordSearch(), (Rows{"◆房子:casa"}));
}

TEST_F(VerbWordEntryTest, TwoWordsSharingAMeaningKeepTheirOwnRecords) {
  start();
  addWord(u"casa", u"casa", u"房子");
  addWord(u"piso", u"piso", u"房子");
  EXPECT_EQ(words(), (Rows{"casa:casa:房子:", "piso:piso:房子:"}));
  EXPECT_EQ(wordSearch(), (Rows{"casa◆房子:casa", "piso◆房子:piso"}));
  lookUp(u"房子");
  EXPECT_EQ(w().Text112.text(), u"casa");
  lookUp(u"piso");
  EXPECT_EQ(w().Text112.text(), u"piso");
  type(w().Text112, u"x");
  EXPECT_EQ(wordSearch(), (Rows{"casa◆房子:casa", "xpiso◆房子:piso"}));
}

// --- edits in the verb view ---------------------------------------------------------------

TEST_F(VerbWordEntryTest, AnInfinitiveRetypedKeyByKeyReachesItsSiblingsAndGetsNewForms) {
  start({{u"hablar", u"说", u"我说。"}});
  lookUp(u"hablar");
  ASSERT_TRUE(w().Text92.Visible);
  ASSERT_TRUE(user().select(w().Text92, 0, 6));
  for (char16_t ch : Text(u"comer")) {
    type(w().Text92, Text(1, ch));
    EXPECT_EQ(w().Text63.text(), w().Text92.text());
    EXPECT_EQ(w().Text87.text(), w().Text92.text());
  }
  EXPECT_EQ(w().Text97.text(), u"comido");
  EXPECT_EQ(w().Text96.text(), u"comiendo");
  // The meaning and the examples follow too.
  type(w().Text91, u"吃");
  EXPECT_EQ(w().Text73.text(), u"吃说");
  EXPECT_EQ(w().Text107.text(), u"吃说");
  ctrl(w().Text90, 'E');
  EXPECT_EQ(w().Text90.text(), u"é我说。");
  EXPECT_EQ(w().Text9.text(), u"我说。");
  type(w().Text90, u"x");
  EXPECT_EQ(w().Text9.text(), u"éx我说。");
  lookUp(u"你");
  EXPECT_EQ(verbs(), (Rows{"1:comer:habl:::吃说:éx我说。:comiendo:comido:::"}));
  EXPECT_EQ(verbForms(), (Rows{"1:comer:habl:吃说"}));
  EXPECT_EQ(verbSearch(), (Rows{"1:吃说:éx我说。:comer"}));
}

TEST_F(VerbWordEntryTest, AnEmptiedInfinitiveEmptiesTheMirrorsAndKeepsTheForms) {
  start({{u"hablar", u"说", u""}});
  lookUp(u"hablar");
  ASSERT_TRUE(user().select(w().Text92, 0, 6));
  ASSERT_TRUE(user().pressKey(w().Text92, kKeyDelete));
  EXPECT_EQ(w().Text63.text(), u"");
  EXPECT_EQ(w().Text87.text(), u"");
  EXPECT_EQ(p->form<FMff>().Text2.text(), u"0");
  // The stored forms of a hand-written verb row are empty and stay so.
  EXPECT_EQ(w().Text97.text(), u"");
}

// A sibling moved off the verb (the stem chain seeks VerbFormStore by root)
// is sought back before the edit is mirrored, so the other verb keeps its
// infinitive.
TEST_F(VerbWordEntryTest, AMirrorNeverWritesAnotherVerbsRecord) {
  start({{u"hablar", u"说", u""}, {u"comer", u"吃", u""}});
  lookUp(u"hablar");
  p->event([&] {
    w().Data4.setIndex("ZD2");
    w().Data4.Seek("=", u"com");
    w().Data5.setIndex("ZD3");
    w().Data5.Seek("=", u"comer");
  });
  ASSERT_EQ(w().Text63.text(), u"comer");
  ASSERT_TRUE(user().select(w().Text92, 6, 0));
  type(w().Text92, u"s");
  type(w().Text91, u"话");
  EXPECT_EQ(verbForms(), (Rows{"1:hablars:habl:话说", "2:comer:com:吃"}));
  EXPECT_EQ(verbSearch(), (Rows{"1:话说::hablars", "2:吃::comer"}));
}

// --- edits in the word view ------------------------------------------------------------------

TEST_F(VerbWordEntryTest, TheHeadBoxSeeksTheSearchRecordOnceAfterTheEditorLosesTheFocus) {
  start();
  addWord(u"casa", u"casa", u"房子");
  lookUp(u"casa");
  openMeaningEditor();
  ASSERT_TRUE(user().select(w().Text113, 2, 0));
  type(w().Text113, u"大");
  EXPECT_EQ(w().Text31.text(), u"casa◆房子大");
  click(w().Text112);  // the editor loses the focus
  EXPECT_FALSE(w().Text113.Visible);
  EXPECT_EQ(w().RichTextBox15.text(), u"房子大");
  EXPECT_EQ(w().Text87.BackColor, kSeekPending);
  ASSERT_TRUE(user().select(w().Text112, 4, 0));
  type(w().Text112, u"s");
  EXPECT_EQ(w().Text87.BackColor, kSearchRowFound);
  type(w().Text112, u"a");
  EXPECT_EQ(w().Text31.text(), u"casasa◆房子大");
  lookUp(u"你");
  EXPECT_EQ(words(), (Rows{"casa:casasa:房子大:"}));
  EXPECT_EQ(wordSearch(), (Rows{"casasa◆房子大:casa"}));
}

TEST_F(VerbWordEntryTest, AnEditWritesOnlyTheSearchRecordOfTheWordOnShow) {
  start({}, {{u"casa", u"casa", u"房子", u""}, {u"perro", u"perro", u"狗", u""}});
  // WordSearchStore stands on the first word's record; no seek has been
  // asked for since start-up.
  lookUp(u"perro");
  ASSERT_EQ(w().Text36.text(), u"casa");
  type(w().Text112, u"x");
  EXPECT_EQ(wordSearch(), (Rows{"casa◆房子:casa", "xperro◆狗:perro"}));

  // A word without a search record (as an older program left it) gets none
  // written.
  execOn(dir.path() / "CKUA.db", "INSERT INTO \"表1\" (ZD1, ZD2, ZD3) VALUES ('gato', 'gato', '猫')");
  lookUp(u"gato");
  ASSERT_EQ(w().Text112.text(), u"gato");
  type(w().Text112, u"y");
  EXPECT_EQ(wordSearch(), (Rows{"casa◆房子:casa", "xperro◆狗:perro"}));
}

TEST_F(VerbWordEntryTest, AMergedSearchRecordKeepsTheLinesOfOtherWords) {
  start();
  const Text lines = u"casa grande◆大房子\r\nmuy grande◆很大\r\n";
  p->event([&] {
    w().Data6.AddNew();
    w().Text51.setText(u"grande");
    w().Text112.setText(u"casa grande");
    w().Text113.setText(u"大房子");
    w().Text39.setText(lines);
    w().Data7.AddNew();
    w().Text31.setText(lines);
    w().Text36.setText(u"grande");
    w().Data6.MoveFirst();
    w().Data7.MoveFirst();
  });
  lookUp(u"grande");
  ASSERT_EQ(w().Text112.text(), u"casa grande");
  type(w().Text112, u"X");
  EXPECT_EQ(w().Text31.text(), u"Xcasa grande◆大房子\r\nmuy grande◆很大\r\n");
  openMeaningEditor();
  type(w().Text113, u"啊");
  EXPECT_EQ(w().Text31.text(), u"Xcasa grande◆啊大房子\r\nmuy grande◆很大\r\n");
  EXPECT_EQ(w().Text39.text(), lines);
}

// A meaning of several lines is one word line: the head and the meaning
// editor rewrite it whole, however many lines it has grown to.
TEST_F(VerbWordEntryTest, AMeaningOfSeveralLinesStaysOneWordLine) {
  start();
  addWord(u"casa", u"casa", u"房子\r住宅");
  ASSERT_EQ(wordSearch(), (Rows{"casa◆房子\r\n住宅:casa"}));
  lookUp(u"casa");
  ASSERT_TRUE(user().select(w().Text112, 0, 0));
  type(w().Text112, u"x");
  EXPECT_EQ(w().Text31.text(), u"xcasa◆房子\r\n住宅");
  click(w().RichTextBox15);
  ASSERT_TRUE(w().Text113.Visible);
  ASSERT_TRUE(user().select(w().Text113, Len(w().Text113.text()), 0));
  type(w().Text113, u"\r楼");
  EXPECT_EQ(w().Text31.text(), u"xcasa◆房子\r\n住宅\r\n楼");
  ASSERT_TRUE(user().select(w().Text113, 0, 4));
  type(w().Text113, u"家");
  EXPECT_EQ(w().Text31.text(), u"xcasa◆家住宅\r\n楼");
  lookUp(u"你");
  EXPECT_EQ(wordSearch(), (Rows{"xcasa◆家住宅\r\n楼:casa"}));
  EXPECT_EQ(words(), (Rows{"casa:xcasa:家住宅\r\n楼:"}));
}

TEST_F(VerbWordEntryTest, CtrlIInTheViewBoxesGivesIAccentAndNoTabReachesTheTables) {
  start({{u"hablar", u"说", u"我说。"}}, {{u"casa", u"casa", u"房子", u"una casa"}});
  lookUp(u"hablar");
  for (TextBox* b : {&w().Text90, &w().Text91, &w().Text26}) {
    ctrl(*b, 'I');
    EXPECT_EQ(b->text().find(u'\t'), Text::npos) << b->name();
    EXPECT_NE(b->text().find(u'í'), Text::npos) << b->name();
  }
  EXPECT_EQ(w().Text73.text(), u"í说");
  type(w().Text90, u"x");
  lookUp(u"casa");
  ctrl(w().Text112, 'I');
  openMeaningEditor();
  ctrl(w().Text113, 'I');
  EXPECT_EQ(w().Text31.text(), u"ícasa◆í房子");
  lookUp(u"你");
  const Rows everything = {verbs()[0], verbForms()[0], verbSearch()[0], words()[0], wordSearch()[0]};
  for (const std::string& row : everything) EXPECT_EQ(row.find('\t'), std::string::npos) << row;
  EXPECT_EQ(words(), (Rows{"casa:ícasa:í房子:una casa"}));
}

}  // namespace
}  // namespace zuvo
