// The input box's keys and the mouse on the result panes, as a user makes
// them: the remembered caret, the accented letters, the release that closes
// the range result, a click on a word of the lower pane, selections that
// become the query, the word view's editors and the not-found hint.

#include <gtest/gtest.h>

#include "app/FrmLexaro.h"
#include "support/dictionary.h"
#include "tools/usage_help.h"

namespace zuvo {
namespace {

using namespace zuvo::testing;

const std::vector<SentencePair> kSentences = {
    {u"我们在家说西班牙语。", u"hablamos en casa 123 ya"},
    {u"狗要吃。", u"el perro va a comer hoy"},
    {u"空格", u"a  b"},
};
const std::vector<VerbRow> kVerbs = {
    {u"hablar", u"说", u"Hablo español."},
    {u"comer", u"吃", u"Como pan."},
};
const std::vector<WordRow> kWords = {
    {u"casa", u"casa", u"房子", u"una casa\r\nla casa"},
    {u"perro", u"perro", u"狗", u"el perro 32\r\nun perro"},
};

class PaneEventsTest : public MainWindowSuite {
 protected:
  static void SetUpTestSuite() { writeSuiteDictionary(kSentences, kVerbs, kWords); }
  User& user() { return p.user(); }

  void type(TextView text) { ASSERT_TRUE(user().type(w.RichTextBox16, text)); }
  void click(Control& c, int64_t caret = -1) { ASSERT_TRUE(user().click(c, caret)) << c.name(); }
  void select(Control& c, int64_t start, int64_t length) {
    ASSERT_TRUE(user().select(c, start, length)) << c.name();
  }
  void showSentence(int n) {
    p.event([&] {
      w.Data1.MoveFirst();
      for (int i = 0; i < n; ++i) w.Data1.MoveNext();
    });
  }
  // Shows the word view of a key word, as typing it does.
  void openWordView(TextView key) {
    type(key);
    ASSERT_TRUE(w.Text112.Visible);
  }
};

// --- the input box ------------------------------------------------------------------

TEST_F(PaneEventsTest, CtrlKeysPutTheAccentedLetterAtTheCaretOnlyWithCtrlAlone) {
  struct Case {
    const char* name;
    int keyCode, shift;
    Text expected;
  };
  const Case cases[] = {
      {"Ctrl+N", 'N', kCtrlMask, u"Espaň"},
      {"Ctrl+A", 'A', kCtrlMask, u"Espaá"},
      {"Ctrl+E", 'E', kCtrlMask, u"Espaé"},
      {"Ctrl+O", 'O', kCtrlMask, u"Espaó"},
      {"Ctrl+P", 'P', kCtrlMask, u"Espaü"},
      {"Ctrl+U", 'U', kCtrlMask, u"Espaú"},
      {"Ctrl+I", 'I', kCtrlMask, u"Espaí"},
      {"Ctrl released before N", 'N', 0, u"Espa"},
      {"Ctrl+Shift+N", 'N', kCtrlMask | kShiftMask, u"Espa"},
      {"Ctrl+B", 'B', kCtrlMask, u"Espa"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    p.event([&] { w.RichTextBox16.setText(u""); });
    type(u"Espa");
    ASSERT_TRUE(user().pressKey(w.RichTextBox16, c.keyCode, c.shift));
    EXPECT_EQ(w.RichTextBox16.text(), c.expected);
    EXPECT_EQ(w.RichTextBox16.SelStart(), Len(c.expected));
    EXPECT_TRUE(w.RichTextBox16.hasFocus());
  }
}

// Ctrl is let go after the letter key, and its release is a key release of
// the input box too: it remembers the caret past the letter, so what is
// typed next follows the letter.
TEST_F(PaneEventsTest, TextTypedAfterAnAccentedLetterFollowsItOnceCtrlIsLetGo) {
  type(u"ma");
  ASSERT_TRUE(user().ctrlKey(w.RichTextBox16, 'n'));
  ASSERT_TRUE(user().releaseKey(w.RichTextBox16, kKeyControl));
  type(u"ana");
  EXPECT_EQ(w.RichTextBox16.text(), u"maňana");
}

TEST_F(PaneEventsTest, CtrlAKeepsTheSelectionAndCtrlIReplacesTheTabTypedForIt) {
  type(u"Espa");
  select(w.RichTextBox16, 0, 2);
  ASSERT_TRUE(user().ctrlKey(w.RichTextBox16, 'a'));
  EXPECT_EQ(w.RichTextBox16.text(), u"Esápa");
  EXPECT_EQ(w.RichTextBox16.SelStart(), 5);

  // The tab before the caret goes; a letter the user typed never does.
  p.event([&] { w.RichTextBox16.setText(u""); });
  type(u"Esp");
  ASSERT_TRUE(user().paste(w.RichTextBox16, u"\t", 'V', kCtrlMask));
  ASSERT_TRUE(user().ctrlKey(w.RichTextBox16, 'i'));
  EXPECT_EQ(w.RichTextBox16.text(), u"Espí");
}

TEST_F(PaneEventsTest, ATypedCharacterGoesWhereTheLastReleaseLeftTheCaret) {
  type(u"ab");
  click(w.RichTextBox16, 1);
  // A word looked up from the lower pane is written with the caret at its
  // start; the double click sends the focus back to the input box.
  showSentence(0);
  ASSERT_TRUE(user().doubleClick(w.RichTextBox7, 14));
  EXPECT_EQ(w.RichTextBox16.text(), u" casa");
  EXPECT_TRUE(w.RichTextBox16.hasFocus());
  type(u"X");
  EXPECT_EQ(w.RichTextBox16.text(), u" Xcasa");

  // A remembered caret past the end of a shorter text puts it at the end.
  type(u"yyyyyyy");
  p.event([&] { w.RichTextBox16.setText(u"ab"); });
  type(u"Z");
  EXPECT_EQ(w.RichTextBox16.text(), u"abZ");
}

// The remembered caret follows every keystroke the user makes, Ctrl+V and
// Shift+Insert included, and a selection the user made stays to be typed over.
TEST_F(PaneEventsTest, TypingAfterAPasteFollowsItAndTypingOverASelectionReplacesIt) {
  type(u"ab");
  ASSERT_TRUE(user().paste(w.RichTextBox16, u"cd", 'V', kCtrlMask));
  type(u"e");
  EXPECT_EQ(w.RichTextBox16.text(), u"abcde");
  ASSERT_TRUE(user().paste(w.RichTextBox16, u"f", kKeyInsert, kShiftMask));
  type(u"g");
  EXPECT_EQ(w.RichTextBox16.text(), u"abcdefg");
  select(w.RichTextBox16, 1, 3);
  type(u"X");
  EXPECT_EQ(w.RichTextBox16.text(), u"aXefg");
}

TEST_F(PaneEventsTest, AKeyReleaseClosesTheRangeResultButKeepsTheFrameColour) {
  type(u"casa");
  ASSERT_TRUE(user().click(w.Command17));  // the range query
  ASSERT_TRUE(w.RichTextBox3.Visible);
  click(w.Command19);  // closes it
  click(w.Command19);  // opens it again with the light cyan frame
  ASSERT_TRUE(w.RichTextBox3.Visible);
  ASSERT_EQ(w.Text120.BackColor, 0xFFFFC0u);
  ASSERT_TRUE(user().pressKey(w.RichTextBox16, kKeyEnd));
  EXPECT_FALSE(w.RichTextBox3.Visible);
  EXPECT_EQ(w.RichTextBox3.text(), u"");
  EXPECT_EQ(w.Text25.text(), u"0");
  EXPECT_EQ(w.Text120.BackColor, 0xFFFFC0u);
  EXPECT_EQ(w.RichTextBox16.BackColor, 0xFFFFC0u);
  // Kept as the window gives it: the buttons the toggle disabled stay so.
  EXPECT_FALSE(w.Command23.Enabled);
}

TEST(PaneEventsEmptyTest, AKeyReleaseOnAnEmptyDictionaryShowsHowToAddAndNoLetter) {
  TempDir dir;
  Program p(dir.path());
  FrmLexaro& w = startMainWindow(p);
  p.event([&] {
    w.RichTextBox3.setText(u"旧结果");
    w.RichTextBox3.Visible = true;
  });
  ASSERT_TRUE(p.user().type(w.RichTextBox16, u"es"));
  ASSERT_TRUE(p.user().ctrlKey(w.RichTextBox16, 'n'));
  EXPECT_EQ(w.RichTextBox16.text(), u"es");
  EXPECT_EQ(w.RichTextBox13.text(), kHowToAddTextOnKeyUp);
  EXPECT_EQ(w.Text1.text(), kHowToAddTextOnKeyUp);
  EXPECT_TRUE(w.RichTextBox3.Visible);
  EXPECT_EQ(w.RichTextBox3.text(), u"旧结果");

  // The panes' clicks show the plain instructions and give the focus back.
  ASSERT_TRUE(p.user().click(w.RichTextBox7, 0));
  EXPECT_EQ(w.RichTextBox13.text(), kHowToAddText);
  EXPECT_TRUE(w.RichTextBox16.hasFocus());
}

// --- the lower pane: the word at the caret -------------------------------------------------

TEST_F(PaneEventsTest, AClickOnAWordLooksItUpAsAWordAVerbOrAnInflectedForm) {
  struct Case {
    int sentence;
    int64_t caret;
    Text query;
    Text verb;  // the verb view's infinitive, or "" for the word view
    Text word;
  };
  const Case cases[] = {
      {0, 14, u" casa", u"", u"casa"},       // a key word
      {1, 15, u" comer", u"comer", u""},     // an infinitive
      {0, 3, u" hablamos", u"hablar", u""},  // a form of a verb, through its root
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.query));
    ASSERT_TRUE(p.event([&] { w.Command20_Click(); }));  // back to the lookup screen
    p.event([&] { w.RichTextBox16.setText(u""); });
    showSentence(c.sentence);
    click(w.RichTextBox7, c.caret);
    EXPECT_EQ(w.RichTextBox16.text(), c.query);
    EXPECT_EQ(w.RichTextBox7.SelStart(), 0);
    EXPECT_EQ(w.Label6.BackColor, kButtonFace);  // the lookup the write set off was skipped
    if (!c.verb.empty()) {
      EXPECT_TRUE(w.Text92.Visible);
      EXPECT_EQ(w.Text92.text(), c.verb);
    } else {
      EXPECT_TRUE(w.Text112.Visible);
      EXPECT_EQ(w.Text112.text(), c.word);
      EXPECT_EQ(w.RichTextBox15.text(), u"房子");
    }
  }
}

TEST_F(PaneEventsTest, AClickBetweenTwoBlanksWritesABlankAndANumberClosesItsAnswer) {
  showSentence(2);
  click(w.RichTextBox7, 2);
  EXPECT_EQ(w.RichTextBox16.text(), u" ");

  showSentence(0);
  click(w.RichTextBox7, 18);  // "123"
  EXPECT_FALSE(w.Text33.Visible);
  EXPECT_EQ(w.RichTextBox16.text(), u"");
  EXPECT_EQ(w.RichTextBox13.Top, 1320);
  EXPECT_EQ(w.RichTextBox7.Top, 3150);
  EXPECT_EQ(w.RichTextBox7.Left, 220.02f);
  EXPECT_TRUE(w.RichTextBox16.hasFocus());
}

TEST_F(PaneEventsTest, WhileTheHelpWindowIsShownThePaneClicksDoNothing) {
  p.event([&] { p.form<Frm说明1>().Show(); });
  click(w.RichTextBox7, 14);
  EXPECT_EQ(w.RichTextBox16.text(), u"");
  EXPECT_FALSE(w.Text112.Visible);
  // The release on the upper pane still writes its selection.
  select(w.RichTextBox13, 0, 2);
  EXPECT_EQ(w.RichTextBox16.text(), u"我们");
}

TEST_F(PaneEventsTest, AClickInTheUpperPaneLeavesBatchModeAndClosesTheNumberAnswer) {
  click(w.Command11);
  ASSERT_TRUE(w.Command58.Visible);
  click(w.RichTextBox13, 1);
  EXPECT_FALSE(w.Command58.Visible);

  type(u"123");
  ASSERT_TRUE(w.Text33.Visible);
  click(w.RichTextBox13, 1);
  EXPECT_FALSE(w.Text33.Visible);
  EXPECT_EQ(w.RichTextBox16.text(), u"");
  EXPECT_EQ(w.RichTextBox13.Top, 1320);
  EXPECT_EQ(w.RichTextBox13.Height, 1760);
}

TEST_F(PaneEventsTest, AMousePressSetsTheTextPlainFromTheCaretAndADoubleClickFocusesTheInput) {
  type(u"西班牙");  // not found: its occurrence is coloured in the upper pane
  ASSERT_NE(w.RichTextBox13.formatAt(6).colour, kWindowText);
  ASSERT_TRUE(user().mouseDown(w.RichTextBox13, {}, 7));
  EXPECT_NE(w.RichTextBox13.formatAt(6).colour, kWindowText);  // before the caret: kept
  EXPECT_EQ(w.RichTextBox13.formatAt(7).colour, kWindowText);
  EXPECT_EQ(w.RichTextBox13.SelStart(), 7);
  EXPECT_EQ(w.RichTextBox13.SelLength(), 0);
  ASSERT_TRUE(user().mouseUp(w.RichTextBox13, {}, 7));
  ASSERT_TRUE(user().mouseDown(w.RichTextBox13, {}, 5));
  EXPECT_EQ(w.RichTextBox13.formatAt(5).colour, kWindowText);

  ASSERT_TRUE(user().mouseDoubleClick(w.RichTextBox13, {}, 1));
  EXPECT_TRUE(w.RichTextBox16.hasFocus());
}

TEST_F(PaneEventsTest, InTheWordViewAPaneClickOnlyFocusesTheHeadWordBox) {
  openWordView(u"casa");
  const Text query = w.RichTextBox16.text();
  click(w.RichTextBox7, 3);
  EXPECT_TRUE(w.Text112.hasFocus());
  EXPECT_TRUE(w.Text112.Visible);
  EXPECT_EQ(w.RichTextBox16.text(), query);
  // A release on the upper pane still writes its selection into the input.
  select(w.RichTextBox13, 0, 2);
  EXPECT_EQ(w.RichTextBox16.text(), u"我们");
}

// --- the word view's panes and editors -------------------------------------------------

TEST_F(PaneEventsTest, AClickIntoThePhrasesPaneOpensItsEditorAtTheClickAndClosesTheOther) {
  openWordView(u"casa");
  // The meaning editor open first.
  click(w.RichTextBox15, 1);
  ASSERT_TRUE(w.Text113.Visible);
  ASSERT_TRUE(w.Text113.hasFocus());

  click(w.RichTextBox14, 3);
  EXPECT_TRUE(w.Text39.Visible);
  EXPECT_TRUE(w.Text39.hasFocus());
  EXPECT_EQ(w.Text39.SelStart(), 3);
  EXPECT_EQ(w.Text39.Left, 220.02f);
  EXPECT_EQ(w.Text39.Top, 2410);
  EXPECT_EQ(w.Text39.Height, 1430);
  EXPECT_FALSE(w.Text113.Visible);
  EXPECT_TRUE(w.RichTextBox15.Visible);
  EXPECT_EQ(w.RichTextBox15.text(), u"房子");
  EXPECT_EQ(w.Text112.BackColor, 0xFFFFC0u);
  EXPECT_EQ(w.RichTextBox16.text(), u"");
  // What is typed goes into the word's record.
  ASSERT_TRUE(user().type(w.Text39, u"X"));
  EXPECT_EQ(w.Text39.text(), u"unaX casa\r\nla casa");
}

TEST_F(PaneEventsTest, ASelectionInAWordPaneBecomesTheQueryUnlessItBeginsWithABlank) {
  // Each selection on a fresh word view: the first press into a pane opens
  // its editor over it, and later selections are made in the editor.
  auto freshWordView = [&] {
    ASSERT_TRUE(user().click(w.Command20));
    p.event([&] { w.RichTextBox16.setText(u""); });
    openWordView(u"perro");
    p.event([&] { w.RichTextBox16.setText(u""); });
    type(u"zz");  // two letters: nothing is sought, the view stays
  };
  freshWordView();
  select(w.RichTextBox14, 2, 6);  // " perro"
  EXPECT_EQ(w.Text109.text(), u"32");
  EXPECT_EQ(w.RichTextBox16.text(), u"zz");
  EXPECT_TRUE(w.Text39.Visible);
  // "32" itself right after: Text109 does not change and it is not sought.
  freshWordView();
  select(w.RichTextBox14, 9, 2);
  EXPECT_EQ(w.Text109.text(), u"32");
  EXPECT_EQ(w.RichTextBox16.text(), u"zz");
  // A line break first is not sought either.
  freshWordView();
  select(w.RichTextBox14, 11, 4);
  EXPECT_EQ(w.Text109.text(), u"13");
  EXPECT_EQ(w.RichTextBox16.text(), u"zz");
  EXPECT_EQ(w.Text60.BackColor, kWindowBackground);

  // A letter first: written unchanged and looked up.
  freshWordView();
  select(w.RichTextBox15, 0, 1);
  EXPECT_EQ(w.RichTextBox16.text(), u"狗");
  EXPECT_EQ(w.Text109.text(), gbkCodeText(u'狗'));
  EXPECT_TRUE(w.Text112.Visible);
  EXPECT_EQ(w.Text112.text(), u"perro");
  for (const TextBox* m : {&w.Text58, &w.Text59, &w.Text60, &w.Text61}) EXPECT_EQ(m->BackColor, kWindowBackground);
}

TEST_F(PaneEventsTest, TheEditorsMarkThemselvesAsTheSelectionSource) {
  openWordView(u"perro");
  click(w.RichTextBox14, 0);
  ASSERT_TRUE(w.Text39.Visible);
  ASSERT_TRUE(user().mouseUp(w.Text39, {}, 2));
  EXPECT_EQ(w.Text58.BackColor, 0xFFC0FFu);
  for (const TextBox* m : {&w.Text59, &w.Text60, &w.Text61}) EXPECT_EQ(m->BackColor, kWindowBackground);
}

TEST_F(PaneEventsTest, VerbViewSelectionsBecomeTheQueryAndTheHintGoesUnderTheMouse) {
  type(u"hablar");
  ASSERT_TRUE(w.Text92.Visible);
  select(w.Text91, 0, 1);
  EXPECT_EQ(w.RichTextBox16.text(), u"说");
  p.event([&] { w.RichTextBox16.setText(u""); });
  type(u"hablar");
  select(w.Text90, 0, 5);
  EXPECT_EQ(w.RichTextBox16.text(), u"Hablo");
  ASSERT_TRUE(w.Text32.Visible);  // nothing the dictionary or the panes hold

  ASSERT_TRUE(user().mouseMove(w.Text32, {.button = 0}));
  EXPECT_FALSE(w.Text32.Visible);
  type(u"x");
  ASSERT_TRUE(w.Text32.Visible);
  click(w.Text32);
  EXPECT_FALSE(w.Text32.Visible);
}

}  // namespace
}  // namespace zuvo
