// The as-you-type lookup, typed character by character as a user does: the
// verb view, the word view, the not-found screen, numbers handed to the
// speller, the occurrence colours, and the view switch.

#include <gtest/gtest.h>

#include "app/FrmLexaro.h"
#include "numbers/FrmSZ.h"
#include "support/dictionary.h"

namespace zuvo {
namespace {

using namespace zuvo::testing;

const std::vector<SentencePair> kSentences = {
    {u"我们说西班牙语。", u"Hablamos español."},
    {u"狗在房子里。", u"El perro está en la casa."},
    {u"啊啊啊", u"aaa"},
};
const std::vector<VerbRow> kVerbs = {
    {u"hablar", u"说", u"Hablo español."},
    {u"comer", u"吃", u"Como pan."},
};
const std::vector<WordRow> kWords = {
    {u"casa", u"casa", u"房子", u"una casa grande\r\nla casa"},
    {u"perro", u"perro", u"狗", u"el perro\r\n\r\nun perro"},
};

class LookupTest : public MainWindowSuite {
 protected:
  static void SetUpTestSuite() { writeSuiteDictionary(kSentences, kVerbs, kWords); }

  void type(TextView text) { ASSERT_TRUE(p.user().type(w.RichTextBox16, text)); }
  void backspace(int n = 1) {
    for (int i = 0; i < n; ++i) ASSERT_TRUE(p.user().pressKey(w.RichTextBox16, kKeyBack));
  }
  // The words the speller gives for a request, asked of it directly.
  Text spelled(TextView request) {
    p.event([&] {
      auto& sz = p.form<FrmSZ>();
      sz.Text35.setText(u"");
      sz.Text35.setText(request);
      sz.Command1.setValue(true);
    });
    return w.Text33.text();
  }
  int64_t storeQueries() { return w.Data3.queries() + w.Data6.queries(); }
  bool inFront(const Control& above, const Control& below) {
    const auto& order = w.stacking();
    return std::find(order.begin(), order.end(), &above) > std::find(order.begin(), order.end(), &below);
  }
};

TEST_F(LookupTest, AnInfinitiveShowsTheVerbViewAndEmptiesTheInput) {
  type(u"comer");
  EXPECT_TRUE(w.Text92.Visible);
  EXPECT_EQ(w.Text92.text(), u"comer");
  EXPECT_EQ(w.Text91.text(), u"吃");
  EXPECT_EQ(w.Text90.text(), u"Como pan.");
  EXPECT_EQ(w.RichTextBox16.text(), u"");
  EXPECT_EQ(w.Text105.text(), u"0");
  EXPECT_FALSE(w.RichTextBox13.Visible);
  EXPECT_EQ(w.Text88.Width, 9500);
  EXPECT_TRUE(inFront(w.Text91, w.Text88));
  // The verb's partners stand on it.
  EXPECT_EQ(w.Text63.text(), u"comer");
  EXPECT_EQ(w.Text87.text(), u"comer");
}

TEST_F(LookupTest, AfterAVerbHitANumberTypedNextIsSpelled) {
  type(u"hablar");
  ASSERT_EQ(w.RichTextBox16.text(), u"");
  EXPECT_EQ(w.Text111.text(), u"");  // the emptied input ended the letters' state
  type(u"5");
  EXPECT_TRUE(w.Text33.Visible);
  EXPECT_EQ(w.Text33.text(), spelled(u"5"));
  EXPECT_NE(w.Text33.text(), u"");
}

TEST_F(LookupTest, AKeyWordOrAMeaningShowsTheWordViewAndKeepsTheInput) {
  for (auto [input, spanish] : {std::pair<TextView, TextView>{u"casa", u"casa"}, {u"狗", u"perro"}}) {
    SCOPED_TRACE(toUtf8(input));
    Program q(folder->path());
    FrmLexaro& v = startMainWindow(q);
    ASSERT_TRUE(q.user().type(v.RichTextBox16, input));
    EXPECT_TRUE(v.Text112.Visible);
    EXPECT_EQ(v.Text112.text(), spanish);
    EXPECT_TRUE(v.RichTextBox15.Visible);
    EXPECT_EQ(v.RichTextBox15.text(), v.Text113.text());
    EXPECT_EQ(v.RichTextBox14.text(), v.Text39.text());
    EXPECT_EQ(v.RichTextBox16.text(), input);
    EXPECT_FALSE(v.Text32.Visible);
    EXPECT_EQ(v.RichTextBox13.Top, 3880);
    EXPECT_EQ(v.RichTextBox7.Left, 4990);
  }
}

TEST_F(LookupTest, TheWordViewColoursTheInputInItsPanesAndTheSentenceFound) {
  type(u"casa");
  const RichTextBox& phrases = w.RichTextBox14;
  ASSERT_EQ(phrases.text(), u"una casa grande\r\nla casa");
  for (int64_t i = 0; i < Len(phrases.text()); ++i) {
    const bool inWord = (i >= 4 && i < 8) || (i >= 20 && i < 24);
    EXPECT_EQ(phrases.formatAt(i).colour, inWord ? 192u : kWindowText) << i;
  }
  // The pair that contains the input is brought into the panes; the input
  // occurs only in its Spanish half.
  EXPECT_EQ(w.RichTextBox7.text(), u"El perro está en la casa.");
  EXPECT_EQ(w.RichTextBox7.formatAt(20).colour, 192u);
  for (int64_t i = 0; i < Len(w.RichTextBox13.text()); ++i) EXPECT_EQ(w.RichTextBox13.formatAt(i).colour, kWindowText);
}

TEST_F(LookupTest, OverlappingOccurrencesAreAllColoured) {
  type(u"啊啊");  // no word or verb: the not-found screen, then the sentence find
  EXPECT_EQ(w.RichTextBox13.text(), u"啊啊啊");
  for (int64_t i = 0; i < 3; ++i) EXPECT_EQ(w.RichTextBox13.formatAt(i).colour, 192u);
  EXPECT_FALSE(w.Text32.Visible);  // a coloured occurrence takes the hint away
}

TEST_F(LookupTest, AnInputThatMatchesNothingShowsTheNotFoundHintInFront) {
  type(u"xyz");
  EXPECT_TRUE(w.Text32.Visible);
  EXPECT_TRUE(inFront(w.Text32, w.RichTextBox7));
  EXPECT_EQ(w.RichTextBox13.Width, 9470);
  EXPECT_FALSE(w.Text112.Visible);
  // Every row was tried: the panes show the first pair.
  EXPECT_EQ(w.RichTextBox13.text(), u"我们说西班牙语。");
}

TEST_F(LookupTest, OneOrTwoLatinLettersAreNotLookedUp) {
  for (TextView input : {u"a", u"ab", u"Z", u"zz"}) {
    SCOPED_TRACE(toUtf8(input));
    p.event([&] { w.RichTextBox16.setText(u""); });
    const int64_t before = storeQueries();
    type(input);
    EXPECT_EQ(storeQueries(), before);
    EXPECT_FALSE(w.Text32.Visible);
    EXPECT_NE(w.Text111.text(), u"");  // the letter ends the number mode
  }
  type(u"c");
  EXPECT_TRUE(w.Text32.Visible);  // "zzc" is looked up
}

TEST_F(LookupTest, NumbersAndDatesTypedCharacterByCharacterGoToTheSpeller) {
  for (TextView input : {TextView(u"2004年"), TextView(u"一九九九年"), TextView(u"二零零四年五月六日")}) {
    SCOPED_TRACE(toUtf8(input));
    Program q(folder->path());
    FrmLexaro& v = startMainWindow(q);
    for (size_t i = 0; i < input.size(); ++i) {
      const int64_t before = v.Data3.queries() + v.Data6.queries();
      ASSERT_TRUE(q.user().type(v.RichTextBox16, input.substr(i, 1)));
      EXPECT_EQ(v.Data3.queries() + v.Data6.queries(), before) << i;
      EXPECT_EQ(v.Text35.text(), input.substr(0, i + 1)) << i;
      EXPECT_TRUE(v.Text33.Visible) << i;
    }
    EXPECT_EQ(v.RichTextBox13.Top, 2550);
    EXPECT_EQ(v.RichTextBox7.Left, 4990);
    EXPECT_NE(v.Text33.text(), u"");
  }
}

TEST_F(LookupTest, ALetterEndsTheNumberModeAndDeletingItBringsTheNumberBack) {
  type(u"12");
  const Text twelve = w.Text33.text();
  ASSERT_TRUE(w.Text33.Visible);
  type(u"a");
  EXPECT_EQ(w.Text111.text(), u"a");
  EXPECT_TRUE(w.Text32.Visible);  // "12a" was looked up and not found
  EXPECT_EQ(w.RichTextBox13.Top, 1320);
  p.event([&] { w.Text33.setText(u"stale"); });
  backspace();
  EXPECT_EQ(w.Text111.text(), u"");
  EXPECT_EQ(w.Text33.text(), twelve);  // spelled again
  EXPECT_TRUE(w.Text33.Visible);
}

TEST_F(LookupTest, ALoneZeroAsTheFirstInputIsSpelled) {
  type(u"0");
  EXPECT_TRUE(w.Text33.Visible);
  EXPECT_EQ(w.Text33.text(), u"cero");
}

TEST_F(LookupTest, ANumberTypedOverSelectedLettersIsSpelled) {
  type(u"abc");
  ASSERT_EQ(w.Text111.text(), u"a");
  ASSERT_TRUE(p.user().select(w.RichTextBox16, 0, 3));
  type(u"5");
  EXPECT_EQ(w.RichTextBox16.text(), u"5");
  EXPECT_EQ(w.Text111.text(), u"");
  EXPECT_TRUE(w.Text33.Visible);
  EXPECT_EQ(w.Text33.text(), spelled(u"5"));
  // A letter still in the input keeps the number mode ended.
  type(u"x");
  ASSERT_TRUE(p.user().select(w.RichTextBox16, 0, 1));
  type(u"6");
  EXPECT_EQ(w.RichTextBox16.text(), u"6x");
  EXPECT_EQ(w.Text111.text(), u"x");
}

// A long paste is answered at once, whatever it holds: the number scan reads
// each character once.
TEST_F(LookupTest, APastedMillionCharactersAreAnswered) {
  struct Paste {
    TextView unit;
    size_t length;
  };
  // Digits, Chinese numerals, marks and letters; then runs of zeros and
  // units that make the zero filler look far ahead.
  for (const Paste& c : {Paste{u"7", 1'000'000}, Paste{u"三", 1'000'000}, Paste{u"%", 1'000'000},
                         Paste{u"a", 1'000'000}, Paste{u"万零", 300'000}, Paste{u"千零十", 300'000},
                         Paste{u"亿零一万万", 300'000}}) {
    SCOPED_TRACE(toUtf8(c.unit));
    Program q(folder->path());
    FrmLexaro& v = startMainWindow(q);
    Text paste;
    while (paste.size() < c.length) paste += c.unit;
    ASSERT_TRUE(q.user().paste(v.RichTextBox16, paste));
    EXPECT_EQ(v.RichTextBox16.text(), paste);
    EXPECT_EQ(v.Text33.text(), u"");  // far too long to have words
  }
}

TEST_F(LookupTest, EmptyingTheInputClosesTheNumberAnswer) {
  type(u"25");
  ASSERT_TRUE(w.Text33.Visible);
  backspace(2);
  EXPECT_FALSE(w.Text33.Visible);
  for (const TextBox* b : {&w.Text33, &w.Text34, &w.Text35, &w.Text6}) EXPECT_EQ(b->text(), u"") << b->name();
  EXPECT_EQ(w.RichTextBox13.Top, 1320);
  EXPECT_EQ(w.RichTextBox7.Top, 3150);
  EXPECT_TRUE(w.RichTextBox16.hasFocus());
}

TEST_F(LookupTest, AClickOnTheAnswerClosesItAndTheSameNumberShowsAgain) {
  type(u"7");
  const Text seven = w.Text33.text();
  ASSERT_TRUE(p.user().click(w.Text33));
  EXPECT_FALSE(w.Text33.Visible);
  EXPECT_EQ(w.RichTextBox16.text(), u"");
  EXPECT_TRUE(w.RichTextBox16.hasFocus());
  type(u"7");
  EXPECT_TRUE(w.Text33.Visible);
  EXPECT_EQ(w.Text33.text(), seven);
}

TEST_F(LookupTest, ShorteningTheInputHidesTheRangeResult) {
  type(u"abcdefghij");
  p.event([&] {
    w.RichTextBox3.Visible = true;
    w.RichTextBox3.setText(u"结果");
  });
  // A longer input keeps the pane, a shorter one hides and empties it (the
  // inputs written as code writes them: a key release closes the pane anyway).
  p.event([&] { w.RichTextBox16.setText(u"abcdefghijk"); });
  EXPECT_TRUE(w.RichTextBox3.Visible);
  p.event([&] { w.RichTextBox16.setText(u"abcdefghij"); });
  EXPECT_FALSE(w.RichTextBox3.Visible);
  EXPECT_EQ(w.RichTextBox3.text(), u"");
}

TEST_F(LookupTest, AChangeWhileTheSkipFlagIsSetOnlyClearsTheFlag) {
  p.event([&] {
    w.Label6.BackColor = 0x8080FF;
    w.RangeQueryGuard = u"1";
    w.Text105.setText(u"");
  });
  const int64_t before = storeQueries();
  type(u"casa");  // the first letter is skipped, the rest looked up
  EXPECT_EQ(w.Label6.BackColor, kButtonFace);
  EXPECT_EQ(w.RangeQueryGuard, u"0");
  EXPECT_EQ(w.Text105.text(), u"1");
  EXPECT_GT(storeQueries(), before);
  Program q(folder->path());
  FrmLexaro& v = startMainWindow(q);
  q.event([&] { v.Label6.BackColor = 0x8080FF; });
  ASSERT_TRUE(q.user().type(v.RichTextBox16, u"x"));
  EXPECT_EQ(v.Text106.text(), u"0");  // nothing else ran
  EXPECT_EQ(v.Label6.BackColor, kButtonFace);
}

TEST_F(LookupTest, TheViewSwitchCyclesThroughPanesWordViewAndVerbView) {
  ASSERT_TRUE(p.user().click(w.Command10A));
  EXPECT_TRUE(w.RichTextBox15.Visible);  // the panes at full width go to the word view
  EXPECT_EQ(w.RichTextBox15.text(), u"房子");
  ASSERT_TRUE(p.user().click(w.Command10A));
  EXPECT_TRUE(w.Text92.Visible);
  EXPECT_FALSE(w.RichTextBox15.Visible);
  ASSERT_TRUE(p.user().click(w.Command10A));
  EXPECT_FALSE(w.Text92.Visible);
  EXPECT_EQ(w.RichTextBox13.Width, 9470);
  EXPECT_TRUE(w.RichTextBox13.Visible);
}

TEST(LookupOnEmptyDictionary, TheViewSwitchOnlyWritesTheInstructions) {
  TempDir d;
  Program p(d.path());
  FrmLexaro& w = startMainWindow(p);
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(p.user().click(w.Command10A));
    EXPECT_EQ(w.RichTextBox13.text(), kHowToAddText);
    EXPECT_EQ(w.Text1.text(), kHowToAddText);
    EXPECT_FALSE(w.Text92.Visible);
    EXPECT_FALSE(w.RichTextBox15.Visible);
  }
  // With nothing stored, a lookup ends on the not-found screen.
  ASSERT_TRUE(p.user().type(w.RichTextBox16, u"hola"));
  EXPECT_TRUE(w.Text32.Visible);
}

}  // namespace
}  // namespace zuvo
