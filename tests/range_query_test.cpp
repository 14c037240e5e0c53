// The range query over sentences, verbs, examples and words, its clean-up
// and colours; and the lookup of a word selected in the lower pane.

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "app/FrmLexaro.h"
#include "app/range_result.h"
#include "support/dictionary.h"

namespace zuvo {
namespace {

using namespace zuvo::testing;

const Text kStar = kSentenceSeparator + u"\r\n";
const Text kWhiteStar = kVerbSeparator + u"\r\n";
const Text kDiamond = kExampleSeparator + u"\r\n";

class RangeQueryTest : public ProgramTest {
 protected:
  void query(TextView input) {
    p->event([&] { w().RichTextBox16.setText(u""); });
    ASSERT_TRUE(p->user().type(w().RichTextBox16, input));
    // The lookup of the whole input may have emptied the box (a verb hit);
    // the range query reads the box as the user left it.
    if (w().RichTextBox16.text() != input) p->event([&] { w().RichTextBox16.setText(input); });
    ASSERT_TRUE(p->user().click(w().Command17));
  }
  const Text& result() { return w().RichTextBox3.text(); }
  Colour colourAt(TextView what, int64_t offset = 0) {
    const size_t at = result().find(what);
    EXPECT_NE(at, Text::npos) << toUtf8(what);
    return w().RichTextBox3.formatAt(static_cast<int64_t>(at) + offset).colour;
  }
  bool boldAt(TextView what, int64_t offset = 0) {
    const size_t at = result().find(what);
    return w().RichTextBox3.formatAt(static_cast<int64_t>(at) + offset).bold;
  }
};

TEST_F(RangeQueryTest, ListsSentencesVerbsExamplesAndWordsInTheirSections) {
  start({{u"我说话。", u"Hablo."}, {u"谢谢。", u"Gracias."}},
        {{u"hablar", u"说", u"他说。\r\n你好。\r\n我说。\r\n再见。"}},
        {{u"decir", u"decir", u"说", u"说一说"}});
  query(u"说");
  EXPECT_EQ(result(), u"我说话。/Hablo.\r\n" + kStar + u"hablar ★说\r\n" + kWhiteStar + u"他说。\r\n我说。\r\n" +
                          kDiamond + u"decir◆说\r\n");
  EXPECT_TRUE(w().RichTextBox3.Visible);
  EXPECT_EQ(w().RichTextBox3.Top, 1310);
  EXPECT_EQ(w().RichTextBox3.Left, 210.02f);
  EXPECT_FALSE(w().Command1.Enabled);
  EXPECT_FALSE(w().ProgressBar1.Visible);
  EXPECT_EQ(w().Text54.text(), u"0");
  EXPECT_TRUE(w().RichTextBox16.hasFocus());
  EXPECT_EQ(w().Text25.text(), u"0");
  EXPECT_EQ(w().RichTextBox2.text(), u"");
}

TEST_F(RangeQueryTest, ColoursSentenceAndVerbLinesAndMarksTheInput) {
  start({{u"我说话", u"Hablo"}, {u"Hola", u"你好"}, {u"(说)", u"mira"}}, {{u"hablar", u"说", u""}});
  query(u"o");  // one letter is no query
  EXPECT_FALSE(w().RichTextBox3.Visible);
  query(u"说");
  EXPECT_EQ(colourAt(u"我说话"), 0xC00000u);  // ends in a double-byte character
  EXPECT_EQ(colourAt(u"(说)"), 0xC00000u);    // ends in ")"
  EXPECT_EQ(colourAt(u"Hablo"), kWindowText);
  EXPECT_EQ(colourAt(u"hablar ★"), 0xC0u);
  EXPECT_TRUE(boldAt(u"hablar ★"));
  EXPECT_EQ(colourAt(u"hablar ★", 6), 0xC0u);  // the blank before the star too
  EXPECT_EQ(colourAt(u"hablar ★", 7), kWindowText);
  // Every occurrence of the input is red and bold.
  EXPECT_EQ(colourAt(u"我说话", 1), 0xFFu);
  EXPECT_TRUE(boldAt(u"我说话", 1));
  EXPECT_EQ(colourAt(u"★说", 1), 0xFFu);
  query(u"Hol");
  EXPECT_EQ(colourAt(u"Hola/"), 0xFFu);
  EXPECT_EQ(colourAt(u"Hola/", 3), 0xC0u);  // ends in a single-byte letter
}

TEST_F(RangeQueryTest, OverlappingOccurrencesAreAllMarked) {
  start({{u"aaa", u"x"}});
  query(u"aa");  // two letters: no query
  EXPECT_FALSE(w().RichTextBox3.Visible);
  query(u"aaa");
  EXPECT_TRUE(w().RichTextBox3.Visible);
  p->event([&] {
    w().RichTextBox16.setText(u"aa");
    w().RichTextBox3.setText(u"aaa");
    w().Command70_Click();
  });
  for (int64_t i = 0; i < 3; ++i) EXPECT_EQ(w().RichTextBox3.formatAt(i).colour, 0xFFu) << i;
}

TEST_F(RangeQueryTest, RunsOncePerInputAndLeavesThePanesOnTheFirstPair) {
  start({{u"一", u"uno"}, {u"二", u"dos"}, {u"三", u"tres"}});
  p->event([&] { w().Data1.MoveLast(); });
  query(u"tres");
  EXPECT_EQ(w().RichTextBox13.text(), u"一");
  EXPECT_EQ(w().RangeQueryGuard, u"1");
  const int64_t before = w().Data1.queries();
  p->event([&] { w().RichTextBox3.setText(u"x"); });
  ASSERT_TRUE(p->user().click(w().Command17));
  EXPECT_EQ(result(), u"x");  // the second press did nothing
  EXPECT_EQ(w().Data1.queries(), before);
  ASSERT_TRUE(p->user().type(w().RichTextBox16, u"!"));
  p->event([&] { w().RichTextBox16.setText(u"dos"); });
  ASSERT_TRUE(p->user().click(w().Command17));
  EXPECT_EQ(result(), u"二/dos\r\n" + kStar + kWhiteStar + kDiamond);
}

TEST_F(RangeQueryTest, ShortLatinInputIsNotSoughtButLongerOrOtherInputIs) {
  start({{u"abc a1 1 ab", u"x"}});
  for (auto [input, queried] : std::vector<std::pair<Text, bool>>{
           {u"ab", false}, {u"a", false}, {u"abc", true}, {u"a1", true}, {u"1", true}}) {
    SCOPED_TRACE(toUtf8(input));
    p->event([&] {
      w().RichTextBox3.Visible = false;
      w().RichTextBox16.setText(input);
      // As typed: the code of the last character is what the guard reads.
      w().Text56.setText(NumText(Len(input)));
    });
    ASSERT_TRUE(p->user().click(w().Command17));
    EXPECT_EQ(w().RichTextBox3.Visible, queried);
  }
}

TEST_F(RangeQueryTest, AnEmptySentenceTableOnlyShowsTheInstructions) {
  start({}, {{u"hablar", u"说", u"说"}});
  query(u"说x");
  EXPECT_FALSE(w().RichTextBox3.Visible);
  EXPECT_EQ(w().RichTextBox13.text(), kHowToAddText);
  EXPECT_EQ(w().Text1.text(), kHowToAddText);
  EXPECT_TRUE(p->dialogs().messages.empty());
}

TEST_F(RangeQueryTest, NothingFoundShowsTheMessageAndEmptiesTheInput) {
  start({{u"Hola", u"你好"}});
  query(u"hola");  // matching is case-sensitive
  ASSERT_EQ(p->dialogs().messages.size(), 1u);
  EXPECT_EQ(p->dialogs().messages[0], (MessageRecord{u"词句库中无此信息！请重新输入内容查找！", u" ZORVEK"}));
  EXPECT_EQ(w().RichTextBox16.text(), u"");
  EXPECT_FALSE(w().RichTextBox3.Visible);
  EXPECT_FALSE(w().ProgressBar1.Visible);
}

TEST_F(RangeQueryTest, EmptyLinesInACellLoseNoMatchAfterThem) {
  start({{u"句子 clave", u"x"}}, {}, {{u"k1", u"clave uno", u"a", u""}, {u"k2", u"clave dos", u"b", u""}});
  // A word line with empty lines inside and at its end.
  p->event([&] {
    w().Data7.setIndex("ZD2");
    w().Data7.Seek("=", u"k1");
    w().Text31.setText(u"clave uno◆a\r\n\r\n\r\nclave tres◆c\r\n\r\n");
    w().Data7.MoveFirst();
  });
  query(u"clave");
  EXPECT_EQ(result(), u"句子 clave/x\r\n" + kStar + kWhiteStar + kDiamond + u"clave uno◆a\r\nclave tres◆c\r\nclave dos◆b\r\n");
}

TEST_F(RangeQueryTest, RepeatedLinesStandOnceAndPrefixesAreNoRepeats) {
  start({{u"说", u"a"}, {u"说", u"a"}, {u"说话", u"hablar"}}, {}, {{u"k", u"说", u"a", u""}});
  query(u"说");
  EXPECT_EQ(result(), u"说/a\r\n说话/hablar\r\n" + kStar + kWhiteStar + kDiamond + u"说◆a\r\n");
}

// A meaning of several lines is cleaned line by line; a meaning line that
// stays keeps its verb's line before it, and the lines after an empty one
// are coloured as the others.
TEST_F(RangeQueryTest, AVerbMeaningOfSeveralLinesIsCleanedLineByLine) {
  start({{u"我说话", u"Hablo"}, {u"你好", u"Hola"}},
        {{u"hablar", u"说\r\n\r\n讲话\r\n谈", u""}, {u"decir", u"说\r\n", u""}});
  query(u"话");
  EXPECT_EQ(result(), u"我说话/Hablo\r\n" + kStar + u"hablar ★说\r\n讲话\r\n" + kWhiteStar + kDiamond);
  query(u"说");
  EXPECT_EQ(result(), u"我说话/Hablo\r\n" + kStar + u"hablar ★说\r\ndecir ★说\r\n" + kWhiteStar + kDiamond);
  EXPECT_EQ(colourAt(u"decir ★"), 0xC0u);  // coloured although a meaning with a CR LF stood before it
  EXPECT_TRUE(boldAt(u"decir ★"));
  query(u"好");
  EXPECT_EQ(colourAt(u"你好"), 0xC00000u);
}

TEST_F(RangeQueryTest, TwoVerbsWithOneMeaningAreBothListed) {
  start({{u"一", u"uno"}}, {{u"hablar", u"说", u""}, {u"decir", u"说", u""}});
  query(u"说");
  EXPECT_NE(result().find(u"hablar ★说\r\n"), Text::npos);
  EXPECT_NE(result().find(u"decir ★说\r\n"), Text::npos);
}

TEST_F(RangeQueryTest, AVerbWhoseStoredExamplesLostTheInputIsNoHit) {
  start({{u"一", u"uno"}}, {{u"comer", u"吃", u"Como pan."}});
  p->event([&] {
    w().Data3.MoveFirst();
    w().Text90.setText(u"Comemos.");  // the verb's own example text changed
    w().Data3.MoveLast();
  });
  query(u"pan.");
  ASSERT_EQ(p->dialogs().messages.size(), 1u);
  EXPECT_FALSE(w().RichTextBox3.Visible);
}

TEST_F(RangeQueryTest, AResultLongerThanSixteenBitsWorks) {
  std::vector<SentencePair> many;
  for (int i = 0; i < 3000; ++i) many.push_back({u"第" + NumText(i) + u"句 común", u"frase número " + NumText(i)});
  start(many);
  query(u"común");
  EXPECT_GT(Len(result()), 40000);
  const int64_t last = static_cast<int64_t>(result().rfind(u"común"));
  EXPECT_EQ(w().RichTextBox3.formatAt(last).colour, 0xFFu);
}

TEST_F(RangeQueryTest, StepProgressTicksByThreeTenthsAndWrapsAtNinety) {
  start({{u"一", u"uno"}});
  p->event([&] {
    for (int i = 0; i < 3; ++i) w().Command4_Click();
  });
  EXPECT_EQ(w().Text54.text(), u"0.9");
  EXPECT_FLOAT_EQ(w().ProgressBar1.Value, 0.9f);
  p->event([&] {
    for (int i = 3; i < 299; ++i) w().Command4_Click();
  });
  EXPECT_EQ(w().Text54.text(), u"89.7");
  p->event([&] { w().Command4_Click(); });
  EXPECT_EQ(w().Text54.text(), u"0");
  EXPECT_EQ(w().ProgressBar1.Value, 0);
}

// --- the selected word -----------------------------------------------------------

class SelectedWordTest : public RangeQueryTest {
 protected:
  void SetUp() override {
    start({{u"一", u"Dormimos mucho, casa.\r\nsalir"}}, {{u"dormir", u"睡", u""}, {u"salir", u"出去", u""}},
          {{u"casa", u"casa", u"房子", u"la casa"}, {u"casa,", u"casa,", u"房子，", u""}});
  }
  // Selects the text in the lower pane as the click on a word does and
  // presses the lookup.
  void lookUp(int64_t start, int64_t length) {
    p->event([&] {
      w().RichTextBox7.setSelStart(start);
      w().RichTextBox7.setSelLength(length);
      w().Text100.setText(w().RichTextBox7.SelText());
      w().Command33.setValue(true);
    });
  }
};

TEST_F(SelectedWordTest, AKeyWordShowsTheWordViewWithTheMarkThatFollowsIt) {
  lookUp(16, 5);  // "casa." is no key word; "casa," would be
  EXPECT_FALSE(w().Text112.Visible);
  lookUp(16, 4);
  EXPECT_TRUE(w().Text112.Visible);
  EXPECT_EQ(w().RichTextBox15.text(), u"房子");
  EXPECT_EQ(w().RichTextBox14.text(), u"la casa");
  EXPECT_EQ(w().Label6.BackColor, 0x8080FFu);
  EXPECT_EQ(w().Text75.text(), u"1");  // the verbs stand on their first
  // The input-box write that follows brings no new lookup.
  p->event([&] { w().RichTextBox16.setText(u"casa"); });
  EXPECT_EQ(w().Label6.BackColor, kButtonFace);
}

TEST_F(SelectedWordTest, AnInflectedFormFindsItsVerbThroughTheStems) {
  lookUp(0, 8);  // "Dormimos": the candidate "Dorm" has a capital, so no root matches
  EXPECT_FALSE(w().Text92.Visible);
  p->event([&] { w().RichTextBox7.setText(u"dormimos"); });
  lookUp(0, 8);
  EXPECT_TRUE(w().Text92.Visible);
  EXPECT_EQ(w().Text92.text(), u"dormir");
  EXPECT_EQ(w().Label8.BackColor, kButtonFace);
  const Text expected[] = {u"dormimo", u"dormim", u"dormi", u"dorm", u"dor", u"do", u"d", u"dormimos"};
  int i = 0;
  for (const TextBox* b : {&w().Text58, &w().Text59, &w().Text60, &w().Text61, &w().Text62, &w().Text81,
                           &w().Text82, &w().Text50})
    EXPECT_EQ(b->text(), expected[i++]) << b->name();
  EXPECT_EQ(w().Text67.text(), u"5");
}

TEST_F(SelectedWordTest, AnInfinitiveAtALineEndAndAnEmptySelection) {
  // "salir" after a line break, selected with the break before it.
  lookUp(23, 5);
  EXPECT_TRUE(w().Text92.Visible);
  EXPECT_EQ(w().Text92.text(), u"salir");
  // A selection that ends in a line break stands for its line's text.
  p->event([&] { w().RichTextBox7.setText(u"la casa\r\nx"); });
  lookUp(3, 6);
  EXPECT_TRUE(w().Text112.Visible);
  EXPECT_EQ(w().RichTextBox15.text(), u"房子");
  p->event([&] {
    w().Command36_Click();
    w().Text112.Visible = false;
  });
  lookUp(3, 0);  // nothing selected: nothing is sought
  EXPECT_FALSE(w().Text92.Visible);
  EXPECT_EQ(w().Label6.BackColor, 0x8080FFu);  // left by the hit before
}

TEST_F(SelectedWordTest, ARootWhoseVerbIsMissingIsAMissAndTheChainGoesOn) {
  p->event([&] {
    // A form record with the root "dormi" but no verb of its infinitive.
    w().Data4.AddNew();
    w().Text63.setText(u"dormix");
    w().Text108.setText(u"dormi");
    w().Data4.MoveFirst();
    w().RichTextBox7.setText(u"dormimos");
  });
  lookUp(0, 8);
  EXPECT_EQ(w().Text92.text(), u"dormir");
  EXPECT_TRUE(w().Text92.Visible);
}

// Thousands of lines drawn from a few hundred, with empty lines and lines
// that are prefixes of others: each distinct line stays once, at its first
// place, as a plain set over the list gives them.
TEST(RangeResultLinesTest, RepeatedLinesGoFromAListOfThousands) {
  std::mt19937 random(7);
  std::vector<Text> pool{u""};
  for (int i = 0; i < 300; ++i) {
    const Text word = u"说" + NumText(i);
    pool.push_back(word);
    pool.push_back(word + u"话");  // the line before it is a prefix of this one
  }
  RangeResultLines lines;
  std::vector<Text> expected;
  std::set<Text> seen;
  for (int i = 0; i < 5000; ++i) {
    const Text& line = pool[random() % pool.size()];
    lines.appendLine(line);
    if (seen.insert(line).second) expected.push_back(line);
  }
  lines.removeRepeatedLines();
  ASSERT_EQ(lines.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(lines.line(i), expected[i]) << i;
}

TEST(StemCandidates, TableOfWordLengths) {
  TempDir d;
  Program p(d.path());
  FrmLexaro& w = startMainWindow(p);
  const std::pair<Text, std::vector<Text>> cases[] = {
      {u"", {u"", u"", u"", u"", u"", u"", u"", u""}},
      {u"ir", {u"ir", u"ir", u"ir", u"ir", u"ir", u"ir", u"ir", u"ir"}},
      {u"ves", {u"ve", u"v", u"ves", u"ves", u"ves", u"ves", u"ves", u"ves"}},
      {u"cantamos", {u"cantamo", u"cantam", u"canta", u"cant", u"can", u"ca", u"c", u"cantamos"}},
      {u"hablábamos", {u"hablábamo", u"hablábam", u"hablába", u"hablá" u"b", u"hablá", u"habl", u"hab", u"ha"}},
  };
  for (const auto& [word, expected] : cases) {
    SCOPED_TRACE(toUtf8(word));
    p.event([&] {
      for (TextBox* b : {&w.Text58, &w.Text59, &w.Text60, &w.Text61, &w.Text62, &w.Text81, &w.Text82, &w.Text50})
        b->setText(word);
      w.Command34_Click();
    });
    int i = 0;
    for (const TextBox* b : {&w.Text58, &w.Text59, &w.Text60, &w.Text61, &w.Text62, &w.Text81, &w.Text82, &w.Text50})
      EXPECT_EQ(b->text(), expected[i++]) << b->name();
  }
}

}  // namespace
}  // namespace zuvo
