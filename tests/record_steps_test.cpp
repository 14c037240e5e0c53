// 上一条 and 下一条 through each view to both ends, with their messages: the
// sentence pairs, the verb view and the word view with its skip over
// repeated meanings and words.

#include <gtest/gtest.h>

#include "app/FrmLexaro.h"
#include "support/dictionary.h"

namespace zuvo {
namespace {

using namespace zuvo::testing;

const std::vector<SentencePair> kSentences = {
    {u"一句", u"uno"},
    {u"两句", u"dos"},
    {u"三句", u"tres"},
};
const std::vector<VerbRow> kVerbs = {
    {u"hablar", u"说", u"Hablo."},
    {u"comer", u"吃", u"Como."},
};
// In key order: meanings 甲 乙 乙 丙, Spanish words uno uno dos tres.
const std::vector<WordRow> kWords = {
    {u"dddd", u"tres", u"丙", u"d"},
    {u"aaaa", u"uno", u"甲", u"a"},
    {u"cccc", u"dos", u"乙", u"c"},
    {u"bbbb", u"uno", u"乙", u"b"},
};

const Text kFirstSentence = u"这是第一条语句！";
const Text kLastSentence = u"这是最后一条语句！";

using Msgs = std::vector<Text>;

class RecordStepsTest : public ProgramTest {
 protected:
  void type(TextView text) { ASSERT_TRUE(p->user().type(w().RichTextBox16, text)); }
  void previous() { ASSERT_TRUE(p->user().click(w().Command23)); }
  void next() { ASSERT_TRUE(p->user().click(w().Command25)); }
  // The messages shown since the last call.
  std::vector<Text> messages() {
    std::vector<Text> out;
    for (const auto& m : p->dialogs().messages) {
      EXPECT_EQ(m.title, u" ZORVEK");
      out.push_back(m.prompt);
    }
    p->dialogs().messages.clear();
    return out;
  }
  struct WordStep {
    bool forward;
    Text word, meaning;
    Msgs shown;
  };
  // The buttons pressed in turn in the word view; after each press the view
  // shows the word reached, its meaning and its phrases, and the messages.
  void walkWordView(std::initializer_list<WordStep> steps) {
    for (const WordStep& s : steps) {
      SCOPED_TRACE(toUtf8(s.word) + (s.forward ? " forward" : " back"));
      if (s.forward)
        next();
      else
        previous();
      EXPECT_EQ(w().Text112.text(), s.word);
      EXPECT_EQ(w().RichTextBox15.text(), s.meaning);
      EXPECT_EQ(w().RichTextBox14.text(), w().Text39.text());
      EXPECT_EQ(messages(), s.shown);
      EXPECT_TRUE(w().Text112.Visible);
    }
  }
};

TEST_F(RecordStepsTest, SentencePairsStepToBothEndsAndStayThereWithTheirMessages) {
  start(kSentences);
  ASSERT_EQ(w().Text2.text(), u"一句");
  struct Step {
    bool forward;
    Text upper, lower;
    Msgs shown;
  };
  const Step steps[] = {
      {true, u"两句", u"dos", {}},           {true, u"三句", u"tres", {}},
      {true, u"三句", u"tres", {kLastSentence}}, {false, u"两句", u"dos", {}},
      {false, u"一句", u"uno", {}},           {false, u"一句", u"uno", {kFirstSentence}},
      {true, u"两句", u"dos", {}},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(toUtf8(s.upper));
    if (s.forward)
      next();
    else
      previous();
    EXPECT_EQ(w().RichTextBox13.text(), s.upper);
    EXPECT_EQ(w().RichTextBox7.text(), s.lower);
    EXPECT_EQ(messages(), s.shown);
    EXPECT_TRUE(w().RichTextBox16.hasFocus());
  }
}

TEST_F(RecordStepsTest, OneSentenceStaysWithBothMessagesAndEveryPressClosesTheRangeResult) {
  start({{u"一句", u"uno"}});
  p->event([&] {
    w().RichTextBox3.setText(u"结果");
    w().RichTextBox3.Visible = true;
  });
  previous();
  EXPECT_EQ(messages(), Msgs{kFirstSentence});
  EXPECT_FALSE(w().RichTextBox3.Visible);
  EXPECT_EQ(w().RichTextBox3.text(), u"结果");
  next();
  EXPECT_EQ(messages(), Msgs{kLastSentence});
  EXPECT_EQ(w().Text2.text(), u"一句");
}

TEST_F(RecordStepsTest, AnEmptyDictionaryShowsHowToAddAndMovesNothing) {
  start({});
  next();
  previous();
  EXPECT_EQ(w().RichTextBox13.text(), kHowToAddText);
  EXPECT_EQ(w().Text1.text(), kHowToAddText);
  EXPECT_TRUE(messages().empty());
}

// The verb view tests after its move, so a press past either end steps back
// at once: the view never stands on no verb.
TEST_F(RecordStepsTest, TheVerbViewStepsBackAtOnceFromEitherEndWithItsMessage) {
  start(kSentences, kVerbs);
  type(u"comer");  // in key order: comer, hablar
  ASSERT_TRUE(w().Text92.Visible);
  previous();
  EXPECT_EQ(w().Text92.text(), u"comer");
  EXPECT_EQ(w().Text91.text(), u"吃");
  EXPECT_EQ(messages(), Msgs{u"这是第一个动词！"});
  next();
  EXPECT_EQ(w().Text92.text(), u"hablar");
  EXPECT_EQ(w().Text63.text(), u"hablar");  // its form record follows
  EXPECT_TRUE(messages().empty());
  next();
  EXPECT_EQ(w().Text92.text(), u"hablar");
  EXPECT_EQ(messages(), Msgs{u"这是最后一个动词！"});
  EXPECT_TRUE(w().Text92.Visible);
  EXPECT_EQ(w().RichTextBox16.text(), u"");
}

TEST_F(RecordStepsTest, TheWordViewPassesOverRepeatedMeaningsBackAndRepeatedWordsForward) {
  start(kSentences, {}, kWords);
  type(u"dddd");
  ASSERT_TRUE(w().Text112.Visible);
  walkWordView({
      {false, u"dos", u"乙", {}},                           // D to C
      {false, u"uno", u"甲", {}},                           // C to A, passing B's equal meaning
      {false, u"uno", u"甲", {u"这是第一个单词！"}},        // the first
      {true, u"dos", u"乙", {}},                            // A to C, passing B's equal word
      {true, u"tres", u"丙", {}},                           // C to D
      {true, u"tres", u"丙", {u"这是最后一条单词！"}},      // the last: back onto it
      {false, u"dos", u"乙", {}},
  });
}

// A word stored without a meaning is left one record at a time, forward or
// back; 下一条 never goes back, and both ends hold with their messages.
TEST_F(RecordStepsTest, WordsWithoutAMeaningAreSteppedOneRecordAtATime) {
  start(kSentences, {},
        {{u"aaaa", u"aaaa", u"", u"a"},
         {u"bbbb", u"bbbb", u"狗", u"b"},
         {u"cccc", u"cccc", u"", u"c"},
         {u"dddd", u"dddd", u"房子", u"d"},
         {u"eeee", u"eeee", u"", u"e"}});
  type(u"aaaa");
  ASSERT_TRUE(w().Text112.Visible);
  ASSERT_EQ(w().Text112.text(), u"aaaa");
  walkWordView({
      {false, u"aaaa", u"", {u"这是第一个单词！"}},  // the first, without a meaning
      {true, u"bbbb", u"狗", {}},
      {true, u"cccc", u"", {}},
      {true, u"dddd", u"房子", {}},
      {true, u"eeee", u"", {}},
      {true, u"eeee", u"", {u"这是最后一条单词！"}},  // the last, without a meaning
      {false, u"dddd", u"房子", {}},
      {false, u"cccc", u"", {}},
      {false, u"bbbb", u"狗", {}},
      {false, u"aaaa", u"", {}},
      {true, u"bbbb", u"狗", {}},
  });
}

TEST_F(RecordStepsTest, BackOverAnEqualMeaningToTheFirstRecordShowsNoMessage) {
  start(kSentences, {}, {{u"aaaa", u"uno", u"甲", u"a"}, {u"bbbb", u"dos", u"甲", u"b"}});
  type(u"bbbb");
  ASSERT_EQ(w().Text112.text(), u"dos");
  previous();
  EXPECT_EQ(w().Text112.text(), u"uno");
  EXPECT_TRUE(messages().empty());
}

TEST_F(RecordStepsTest, TheStepTakesTheOccurrenceColoursOutOfTheWordPanes) {
  start(kSentences, {}, kWords);
  type(u"丙");  // found by its meaning, which the meaning pane shows coloured; first in meaning order
  ASSERT_NE(w().RichTextBox15.formatAt(0), w().RichTextBox15.plainFormat());
  previous();
  EXPECT_EQ(messages(), Msgs{u"这是第一个单词！"});
  EXPECT_EQ(w().RichTextBox15.text(), u"丙");
  for (const RichTextBox* pane : {&w().RichTextBox14, &w().RichTextBox15})
    for (int64_t i = 0; i < Len(pane->text()); ++i) EXPECT_EQ(pane->formatAt(i), pane->plainFormat());
}

TEST_F(RecordStepsTest, InBatchModeAPressLeavesItAndStepsTheSentences) {
  start(kSentences);
  ASSERT_TRUE(p->user().click(w().Command11));
  ASSERT_TRUE(w().Command58.Visible);
  next();
  EXPECT_FALSE(w().Command58.Visible);
  EXPECT_EQ(w().Text2.text(), u"两句");
}

}  // namespace
}  // namespace zuvo
