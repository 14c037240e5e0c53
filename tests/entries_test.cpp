// Filling the dictionary by hand: add mode and batch mode, the sentence add
// panel and the sentence edit panel, driven as a user does, with what the
// user sees and what the two sentence tables hold on disk.

#include <gtest/gtest.h>

#include <fstream>
#include <sqlite3.h>

#include "app/FrmLexaro.h"
#include "entries/placeholders.h"
#include "support/dictionary.h"
#include "tools/usage_help.h"

namespace zuvo {
namespace {

using namespace zuvo::testing;

constexpr TextView kOn = u"关闭(&K)";
constexpr TextView kOff = u"添加(&N)";

std::vector<std::string> sentencesIn(const std::filesystem::path& dir) {
  return onDisk(dir / "XHKA.db", "SELECT ID, ZD3, ZD4 FROM \"表1\" ORDER BY ID");
}
std::vector<std::string> searchRowsIn(const std::filesystem::path& dir) {
  return onDisk(dir / "XHKB.db", "SELECT ID, Zd1 FROM \"表1\" ORDER BY ID");
}

class EntriesTest : public ProgramTest {
 protected:
  void key(Control& box, int code, int times = 1) {
    for (int i = 0; i < times; ++i) ASSERT_TRUE(user().pressKey(box, code)) << box.name();
  }

  void openAddPanel() {
    if (w().Command1.Caption != kOn) click(w().Command1);
    ASSERT_EQ(w().Command1.Caption, kOn);
    click(w().Command55);
  }
  void addPair(TextView zh, TextView es) {
    openAddPanel();
    if (!zh.empty()) type(w().Text44, zh);
    if (!es.empty()) type(w().Text45, es);
    click(w().Command38);
  }
  // The range result pane as the range query leaves it, with a selection.
  void showRangeResult(TextView text, int64_t start, int64_t length) {
    p->event([&] {
      RichTextBox& r = w().RichTextBox3;
      r.Top = 1310, r.Left = 210.02f, r.Width = 9490, r.Height = 3650;
      r.ZOrder();
      r.Visible = true;
      r.setText(text);
    });
    ASSERT_TRUE(user().select(w().RichTextBox3, start, length));
  }

  std::vector<std::string> sentences() { return sentencesIn(dir.path()); }
  std::vector<std::string> searchRows() { return searchRowsIn(dir.path()); }

  // The panel closed; the save gives the input box the focus when the
  // panel held text.
  void expectLookupScreen(bool focusInInput = true) {
    EXPECT_FALSE(w().Text44.Visible);
    EXPECT_FALSE(w().Text45.Visible);
    EXPECT_FALSE(w().Text40.Visible);
    EXPECT_FALSE(w().Command38.Visible);
    EXPECT_FALSE(w().Command9.Visible);
    EXPECT_FALSE(w().Label4.Visible);
    EXPECT_TRUE(w().RichTextBox13.Visible);
    EXPECT_TRUE(w().RichTextBox7.Visible);
    EXPECT_TRUE(w().RichTextBox16.Visible);
    EXPECT_TRUE(w().RichTextBox16.Enabled);
    if (focusInInput) {
      EXPECT_TRUE(w().RichTextBox16.hasFocus());
    }
    EXPECT_EQ(w().Command1.Caption, kOff);
  }
};

// --- add mode ----------------------------------------------------------------

TEST_F(EntriesTest, AddModeOnAnEmptyDictionaryFirstShowsHowToAddThenOpensAndCloses) {
  start();
  click(w().Command1);
  EXPECT_EQ(w().RichTextBox13.text(), kHowToAddText);
  EXPECT_EQ(w().Text1.text(), kHowToAddText);
  EXPECT_EQ(w().Command1.Caption, kOff);
  EXPECT_FALSE(w().Command55.Visible);

  click(w().Command1);
  EXPECT_EQ(w().Command1.Caption, kOn);
  const std::tuple<const CommandButton&, float, const char16_t*> buttons[] = {
      {w().Command55, 2380.221f, u"添加句子(&V)"},
      {w().Command56, 3900.363f, u"添加动词(&R)"},
      {w().Command81, 5410.5f, u"添加单词(&W)"}};
  for (const auto& [b, left, caption] : buttons) {
    SCOPED_TRACE(b.name());
    EXPECT_TRUE(b.Visible);
    EXPECT_EQ(b.Left, left);
    EXPECT_EQ(b.Top, 777.965f);
    EXPECT_EQ(b.Caption, caption);
  }
  EXPECT_TRUE(w().Shape4.Visible);
  EXPECT_EQ(w().Shape4.Width, 4620.429f);
  const std::initializer_list<const CommandButton*> disabled = {&w().Command11, &w().Command8,  &w().Command10A,
                                                                &w().Command12, &w().Command3, &w().Command24};
  for (const CommandButton* b : disabled) EXPECT_FALSE(b->Enabled) << b->name();
  // The add buttons lie over the main row and take its clicks.
  EXPECT_FALSE(user().click(w().Command27));

  click(w().Command1);
  EXPECT_EQ(w().Command1.Caption, kOff);
  EXPECT_FALSE(w().Command55.Visible);
  EXPECT_FALSE(w().Command81.Visible);
  EXPECT_FALSE(w().Shape4.Visible);
  // All six come back, the verb-conjugation button too, although it starts
  // disabled.
  for (const CommandButton* b : disabled) EXPECT_TRUE(b->Enabled) << b->name();
}

TEST_F(EntriesTest, TypingWhileAddModeIsOnIsTakenAwayAndTheModeStaysOn) {
  start({{u"你好。", u"Hola."}});
  click(w().Command1);
  for (TextView typed : {u"a", u"你", u"1"}) {
    SCOPED_TRACE(toUtf8(typed));
    type(w().RichTextBox16, typed);
    EXPECT_EQ(w().RichTextBox16.text(), u"");
    EXPECT_EQ(w().Command1.Caption, kOn);
    EXPECT_TRUE(w().Command55.Visible);
    EXPECT_TRUE(w().Command56.Visible);
    EXPECT_TRUE(w().Shape4.Visible);
    EXPECT_FALSE(w().Command24.Enabled);
    EXPECT_FALSE(w().Command11.Enabled);
    EXPECT_EQ(w().RichTextBox13.text(), u"你好。");
  }
}

TEST_F(EntriesTest, OpeningAddModeEmptiesTheInputAndEndsBatchModeFirst) {
  start({{u"你好。", u"Hola."}});
  type(w().RichTextBox16, u"ho");
  click(w().Command1);
  EXPECT_EQ(w().RichTextBox16.text(), u"");
  EXPECT_EQ(w().Command1.Caption, kOn);
  click(w().Command1);

  click(w().Command11);
  ASSERT_TRUE(w().Command58.Visible);
  // Batch mode disables the add button; the lookup and the range query run
  // ToggleAddMode as a subroutine.
  EXPECT_FALSE(user().click(w().Command1));
  p->event([&] { w().Command1_Click(); });
  EXPECT_FALSE(w().Command58.Visible);
  EXPECT_FALSE(w().Command57.Visible);
  EXPECT_EQ(w().Command1.Caption, kOn);
  EXPECT_TRUE(w().Command55.Visible);
  EXPECT_FALSE(w().Command11.Enabled);
}

TEST_F(EntriesTest, TheRangeQueryButtonClosesAddMode) {
  start({{u"你好。", u"Hola."}});
  click(w().Command1);
  click(w().Command17);
  EXPECT_EQ(w().Command1.Caption, kOff);
  EXPECT_FALSE(w().Command55.Visible);
  EXPECT_FALSE(w().Shape4.Visible);
  EXPECT_TRUE(w().Command24.Enabled);
  EXPECT_TRUE(w().Command8.Enabled);
}

TEST_F(EntriesTest, ALookupScreenResetKeepsTheModeCaptionAndTheNextPressClosesIt) {
  start({{u"你好。", u"Hola."}});
  click(w().Command1);
  p->event([&] { w().Command72_Click(); });  // ResetLookupScreen, as other procedures run it
  EXPECT_FALSE(w().Command55.Visible);
  EXPECT_EQ(w().Command1.Caption, kOn);
  EXPECT_FALSE(w().Command12.Enabled);
  click(w().Command1);
  EXPECT_EQ(w().Command1.Caption, kOff);
  EXPECT_FALSE(w().Command55.Visible);
  EXPECT_TRUE(w().Command12.Enabled);
  EXPECT_TRUE(w().Command3.Enabled);
}

TEST_F(EntriesTest, TheHintLabelClearsOnlyTheVerbOrTheWordPanelsPlaceholders) {
  start({{u"你好。", u"Hola."}});
  const std::initializer_list<TextBox*> verbBoxes = {&w().Text42,  &w().Text46,  &w().Text47,
                                                     &w().Text72,  &w().Text114, &w().Text117,
                                                     &w().Text118, &w().Text119, &w().Text116};
  // Neither placeholder: nothing changes.
  p->event([&] {
    for (TextBox* b : verbBoxes) b->setText(u"用户");
    w().Text102.setText(u"casa");
  });
  click(w().Label7);
  for (TextBox* b : verbBoxes) EXPECT_EQ(b->text(), u"用户") << b->name();
  EXPECT_EQ(w().Text102.text(), u"casa");

  // The verb placeholder: all nine boxes go, the user's texts as well, and
  // the infinitive box takes the focus.
  p->event([&] {
    w().Text42.setText(kVerbMeaningPlaceholder);
    w().Text72.Visible = true;
  });
  click(w().Label7);
  for (TextBox* b : verbBoxes) EXPECT_EQ(b->text(), u"") << b->name();
  EXPECT_EQ(w().Text102.text(), u"casa");
  EXPECT_TRUE(w().Text72.hasFocus());

  // The word placeholder: its four boxes go, the headword box takes the focus.
  p->event([&] {
    w().Text72.Visible = false;
    w().Text102.setText(kWordHeadwordPlaceholder);
    w().Text42.setText(kWordMeaningPlaceholder);
    w().Text43.setText(kWordSpanishPlaceholder);
    w().Text116.setText(u"例句");
    w().Text119.setText(u"反义");
    w().Text102.Visible = true;
  });
  click(w().Label7);
  for (TextBox* b : {&w().Text102, &w().Text42, &w().Text43, &w().Text116}) EXPECT_EQ(b->text(), u"") << b->name();
  EXPECT_EQ(w().Text119.text(), u"反义");
  EXPECT_TRUE(w().Text102.hasFocus());
}

TEST_F(EntriesTest, ThePaneBackdropPassesTheFocusToAVisibleHeadwordBoxOutsideTheWordView) {
  start({{u"你好。", u"Hola."}});
  struct Case {
    const char* name;
    bool headwordVisible, wordViewOpen;
    bool focusMoves;
  };
  for (const Case& c : {Case{"word add panel open", true, false, true}, Case{"no panel", false, false, false},
                        Case{"word view open", true, true, false}}) {
    SCOPED_TRACE(c.name);
    p->event([&] {
      w().Command72_Click();
      w().Text102.Visible = c.headwordVisible;
      w().Text112.Visible = c.wordViewOpen;
      w().Text88.SetFocus();
    });
    EXPECT_EQ(w().Text102.hasFocus(), c.focusMoves);
    EXPECT_EQ(w().Text88.hasFocus(), !c.focusMoves);
  }
}

// --- batch mode ----------------------------------------------------------------

TEST_F(EntriesTest, BatchModeOnAnEmptyDictionaryFirstShowsHowToAddThenOpensAndCloses) {
  start();
  click(w().Command11);
  EXPECT_EQ(w().RichTextBox13.text(), kHowToAddText);
  EXPECT_EQ(w().Text1.text(), kHowToAddText);
  EXPECT_FALSE(w().Command58.Visible);

  click(w().Command11);
  for (const CommandButton* b : {&w().Command57, &w().Command58, &w().Command69}) {
    EXPECT_TRUE(b->Visible) << b->name();
    EXPECT_TRUE(b->Enabled) << b->name();
  }
  for (const CommandButton* b : {&w().Command1, &w().Command12, &w().Command24, &w().Command3, &w().Command8})
    EXPECT_FALSE(b->Enabled) << b->name();

  // A file opened for import is dropped unread when the mode ends.
  p->event([&] {
    w().Command58.Caption = u"批量句子入库(&C)";
    w().RichTextBox1.setText(u"一/uno");
    w().RichTextBox1.Visible = true;
  });
  click(w().Command11);
  EXPECT_FALSE(w().Command58.Visible);
  EXPECT_FALSE(w().Command57.Visible);
  EXPECT_FALSE(w().Command69.Visible);
  EXPECT_EQ(w().Command58.Caption, u"批量句子添加(&C)");
  EXPECT_EQ(w().Command57.Caption, u"批量动词添加(&D)");
  EXPECT_EQ(w().Command69.Caption, u"批量单词添加(&E)");
  EXPECT_FALSE(w().RichTextBox1.Visible);
  EXPECT_EQ(w().RichTextBox1.text(), u"");
  for (const CommandButton* b : {&w().Command1, &w().Command12, &w().Command24, &w().Command3, &w().Command8,
                                 &w().Command27})
    EXPECT_TRUE(b->Enabled) << b->name();
  EXPECT_TRUE(w().RichTextBox16.hasFocus());
  EXPECT_TRUE(sentences().empty());
}

// --- the sentence add panel ----------------------------------------------------

TEST_F(EntriesTest, TheAddPanelOpensOnEmptyBoxesWithTheFocusInTheChineseBox) {
  start({{u"你好。", u"Hola."}});
  openAddPanel();
  EXPECT_EQ(w().Command1.Caption, kOff);
  EXPECT_FALSE(w().Command55.Visible);
  EXPECT_TRUE(w().Text44.Visible);
  EXPECT_TRUE(w().Text45.Visible);
  EXPECT_TRUE(w().Text44.hasFocus());
  EXPECT_EQ(w().Label5.Caption(), u"  输入中文句子的全文内容:");
  EXPECT_EQ(w().Label3.Caption(), u"  输入西文句子的全文内容:");
  EXPECT_EQ(w().Command38.Caption, u"返—回");
  EXPECT_EQ(w().Command38.Left, 8700);
  EXPECT_EQ(w().Command15.Left, 7930);
  EXPECT_TRUE(w().Command15.Visible);
  EXPECT_FALSE(w().RichTextBox16.Visible);
  EXPECT_FALSE(w().RichTextBox16.Enabled);
  EXPECT_FALSE(w().RichTextBox13.Visible);
  for (const CommandButton* b : {&w().Command1, &w().Command11, &w().Command17, &w().Command21, &w().Command24,
                                 &w().Command25, &w().Command27})
    EXPECT_FALSE(b->Visible) << b->name();
  for (const CommandButton* b : {&w().Command8, &w().Command12, &w().Command3, &w().Command10A})
    EXPECT_FALSE(b->Enabled) << b->name();

  type(w().Text44, u"你");
  EXPECT_EQ(w().Command38.Caption, u"保—存");
  key(w().Text44, kKeyBack);
  EXPECT_EQ(w().Command38.Caption, u"返—回");
  // A lone blank is taken away at once.
  type(w().Text44, u" ");
  EXPECT_EQ(w().Text44.text(), u"");
  EXPECT_TRUE(w().Text44.hasFocus());
  EXPECT_EQ(w().Command38.Caption, u"返—回");

  // The reset button stays in reach and closes the panel without storing.
  type(w().Text44, u"不存");
  click(w().Command20);
  expectLookupScreen();
  EXPECT_EQ(sentences().size(), 1u);
}

TEST_F(EntriesTest, AnAddedPairIsInBothTablesOnDiskAtOnceAndOnShow) {
  struct Case {
    const char* name;
    std::vector<SentencePair> dictionary;
    std::string id;
  };
  for (const Case& c : {Case{"empty dictionary", {}, "1"},
                        Case{"filled dictionary", {{u"一。", u"Uno."}, {u"二。", u"Dos."}}, "3"}}) {
    SCOPED_TRACE(c.name);
    TempDir d;
    if (!c.dictionary.empty()) writeDictionary(d.path(), c.dictionary);
    Program prog(d.path());
    FrmLexaro& m = startMainWindow(prog);
    User& u = prog.user();
    if (c.dictionary.empty()) {
      ASSERT_TRUE(u.click(m.Command1));  // shows how to add
    }
    ASSERT_TRUE(u.click(m.Command1));
    ASSERT_TRUE(u.click(m.Command55));
    ASSERT_TRUE(u.type(m.Text44, u"明天见。"));
    ASSERT_TRUE(u.type(m.Text45, u"Hasta ma"));
    ASSERT_TRUE(u.ctrlKey(m.Text45, 'n'));
    ASSERT_TRUE(u.type(m.Text45, u"ana."));
    ASSERT_TRUE(u.click(m.Command38));

    EXPECT_EQ(m.RichTextBox13.text(), u"明天见。");
    EXPECT_EQ(m.RichTextBox7.text(), u"Hasta maňana.");
    EXPECT_EQ(m.Text23.text(), fromUtf8(c.id));
    EXPECT_EQ(m.Text24.text(), fromUtf8(c.id));
    EXPECT_EQ(m.Text14.text(), u"明天见。/Hasta maňana.");
    for (const TextBox* b : {&m.Text42, &m.Text43, &m.Text44, &m.Text45}) EXPECT_EQ(b->text(), u"") << b->name();
    for (const CommandButton* b : {&m.Command12, &m.Command3, &m.Command24, &m.Command11, &m.Command8})
      EXPECT_TRUE(b->Enabled) << b->name();
    EXPECT_TRUE(m.RichTextBox16.hasFocus());
    EXPECT_FALSE(m.Text44.Visible);
    EXPECT_EQ(m.Command1.Caption, kOff);

    // Another reader of the files sees the pair while the program runs.
    EXPECT_EQ(sentencesIn(d.path()).back(), c.id + ":明天见。:Hasta maňana.");
    EXPECT_EQ(searchRowsIn(d.path()).back(), c.id + ":明天见。/Hasta maňana.");
    EXPECT_EQ(sentencesIn(d.path()).size(), c.dictionary.size() + 1);
    EXPECT_TRUE(prog.dialogs().messages.empty());
  }
}

// A sentence table that could not be opened takes no save, nor does its
// partner: the save is refused with a message and what the user typed stays.
TEST_F(EntriesTest, ASaveIntoADamagedSentenceTableIsRefusedAndTheTypedPairStays) {
  writeDictionary(dir.path(), {{u"一。", u"Uno."}});
  { std::ofstream(dir.path() / "XHKB.db", std::ios::trunc) << "damaged"; }
  p = std::make_unique<Program>(dir.path());
  f = &startMainWindow(*p);
  ASSERT_EQ(p->dialogs().messages.size(), 1u);  // the damaged file, when the window opens
  addPair(u"明天见。", u"Hasta luego.");
  ASSERT_EQ(p->dialogs().messages.size(), 2u);
  EXPECT_NE(p->dialogs().messages[1].prompt.find(u"无法保存"), Text::npos);
  EXPECT_NE(p->dialogs().messages[1].prompt.find(u"XHKB.db"), Text::npos);
  EXPECT_EQ(sentences(), (std::vector<std::string>{"1:一。:Uno."}));
  EXPECT_EQ(w().Text44.text(), u"明天见。");
  EXPECT_EQ(w().Text45.text(), u"Hasta luego.");
  EXPECT_TRUE(w().Text44.Visible);
}

TEST_F(EntriesTest, AnAddedPairIsFoundAtOnceByTheLookupAndTheRangeQuery) {
  start({{u"一。", u"Uno."}});
  addPair(u"我们在学习。", u"Estamos estudiando.");
  addPair(u"天气很好。", u"Hace buen tiempo.");
  ASSERT_EQ(w().RichTextBox13.text(), u"天气很好。");

  // Typing part of the first new sentence brings its pair into the panes.
  type(w().RichTextBox16, u"学习");
  EXPECT_EQ(w().RichTextBox13.text(), u"我们在学习。");
  EXPECT_EQ(w().RichTextBox7.text(), u"Estamos estudiando.");
  EXPECT_EQ(w().Text23.text(), u"2");

  click(w().Command17);
  EXPECT_TRUE(w().RichTextBox3.Visible);
  EXPECT_NE(w().RichTextBox3.text().find(u"我们在学习。"), Text::npos);
  EXPECT_NE(w().RichTextBox3.text().find(u"Estamos estudiando."), Text::npos);
  EXPECT_EQ(w().RichTextBox3.text().find(u"天气很好。"), Text::npos);
}

TEST_F(EntriesTest, TheSaveStoresAChineseSentenceAloneButDropsASpanishOne) {
  start({{u"一。", u"Uno."}});
  addPair(u"只有中文。", u"");
  EXPECT_EQ(sentences(), (std::vector<std::string>{"1:一。:Uno.", "2:只有中文。:NULL"}));
  EXPECT_EQ(searchRows(), (std::vector<std::string>{"1:一。/Uno.", "2:只有中文。/"}));
  EXPECT_EQ(w().RichTextBox13.text(), u"只有中文。");
  EXPECT_EQ(w().RichTextBox7.text(), u"");

  addPair(u"", u"Solo español.");
  EXPECT_EQ(sentences().size(), 2u);
  EXPECT_EQ(searchRows().size(), 2u);
  for (const TextBox* b : {&w().Text42, &w().Text43, &w().Text44, &w().Text45}) EXPECT_EQ(b->text(), u"") << b->name();
  expectLookupScreen();

  // Nothing typed: "返—回" only closes the panel.
  addPair(u"", u"");
  EXPECT_EQ(sentences().size(), 2u);
  expectLookupScreen(false);
}

TEST_F(EntriesTest, TextsLeftByTheVerbAndWordPanelsNeverBecomeASentence) {
  start({{u"一。", u"Uno."}});
  struct Case {
    const char* name;
    TextView meaning, spanish;
  };
  const Case leftovers[] = {{"verb placeholder", kVerbMeaningPlaceholder, u""},
                            {"word placeholders", kWordMeaningPlaceholder, kWordSpanishPlaceholder},
                            {"a typed verb meaning", u"说", u"ser"}};
  for (const Case& c : leftovers) {
    SCOPED_TRACE(c.name);
    // What those panels leave in the shared boxes when they close.
    p->event([&] {
      w().Text42.setText(c.meaning);
      w().Text43.setText(c.spanish);
    });
    openAddPanel();
    for (const TextBox* b : {&w().Text42, &w().Text43, &w().Text44, &w().Text45}) EXPECT_EQ(b->text(), u"") << b->name();
    EXPECT_EQ(w().Command38.Caption, u"返—回");
    click(w().Command38);
    EXPECT_EQ(sentences().size(), 1u);
    expectLookupScreen(false);
  }
  // A Chinese sentence typed after them is stored alone.
  p->event([&] { w().Text43.setText(kWordSpanishPlaceholder); });
  addPair(u"新句子。", u"");
  EXPECT_EQ(sentences().back(), "2:新句子。:NULL");
  EXPECT_EQ(searchRows().back(), "2:新句子。/");
}

TEST_F(EntriesTest, WhatTheAddPanelShowsIsWhatIsStoredAfterEditsThatEndAtTheStart) {
  struct Step {
    enum Kind { Type, Key, Select } kind;
    TextView text = u"";
    int code = 0;
    int64_t start = 0, length = 0;
  };
  struct Case {
    const char* name;
    bool inChineseBox;
    std::vector<Step> steps;
    std::vector<std::string> stored;  // the last rows of XHKA, or nothing new
  };
  const Case cases[] = {
      {"Delete at the start", true, {{Step::Type, u"甲乙"}, {Step::Key, u"", kKeyHome}, {Step::Key, u"", kKeyDelete}},
       {"2:乙:es"}},
      {"Backspace to the start", true, {{Step::Type, u"甲乙"}, {Step::Key, u"", kKeyLeft}, {Step::Key, u"", kKeyBack}},
       {"2:乙:es"}},
      {"Backspace to the start, Spanish", false,
       {{Step::Type, u"xes"}, {Step::Key, u"", kKeyLeft}, {Step::Key, u"", kKeyLeft}, {Step::Key, u"", kKeyBack}},
       {"2:中:es"}},
      {"select all and Delete, Spanish", false,
       {{Step::Type, u"borrar"}, {Step::Select, u"", 0, 0, 6}, {Step::Key, u"", kKeyDelete}}, {"2:中:NULL"}},
      {"select all and Delete, Chinese", true,
       {{Step::Type, u"删掉"}, {Step::Select, u"", 0, 0, 2}, {Step::Key, u"", kKeyDelete}}, {}},
      {"a blank typed over the whole text", true, {{Step::Type, u"删掉"}, {Step::Select, u"", 0, 0, 2}, {Step::Type, u" "}},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir d;
    writeDictionary(d.path(), {{u"一。", u"Uno."}});
    Program prog(d.path());
    FrmLexaro& m = startMainWindow(prog);
    User& u = prog.user();
    ASSERT_TRUE(u.click(m.Command1));
    ASSERT_TRUE(u.click(m.Command55));
    TextBox& box = c.inChineseBox ? m.Text44 : m.Text45;
    ASSERT_TRUE(c.inChineseBox ? u.type(m.Text45, u"es") : u.type(m.Text44, u"中"));
    for (const Step& s : c.steps) {
      switch (s.kind) {
        case Step::Type: ASSERT_TRUE(u.type(box, s.text)); break;
        case Step::Key: ASSERT_TRUE(u.pressKey(box, s.code)); break;
        case Step::Select: ASSERT_TRUE(u.select(box, s.start, s.length)); break;
      }
    }
    EXPECT_EQ((c.inChineseBox ? m.Text42 : m.Text43).text(), box.text());
    ASSERT_TRUE(u.click(m.Command38));
    const auto rows = onDisk(d.path() / "XHKA.db", "SELECT ID, ZD3, ZD4 FROM \"表1\" WHERE ID > 1");
    EXPECT_EQ(rows, c.stored);
  }
}

// --- the sentence edit panel ---------------------------------------------------

TEST_F(EntriesTest, TheEditPanelOpensOnThePairOnShowAndSavesIntoItsRecords) {
  start({{u"我喜欢猫。", u"Me gusta el gato."}, {u"我喜欢狗。", u"Me gustan los perros."}});
  p->event([&] { w().Data1.MoveLast(); });
  ASSERT_EQ(w().Text24.text(), u"2");
  click(w().Command24);
  EXPECT_TRUE(w().Text40.Visible);
  EXPECT_TRUE(w().Text41.Visible);
  EXPECT_EQ(w().Text40.text(), u"我喜欢狗。");
  EXPECT_EQ(w().Text41.text(), u"Me gustan los perros.");
  EXPECT_TRUE(w().Command9.Visible);
  EXPECT_EQ(w().Command9.Caption, u"保—存");
  EXPECT_TRUE(w().Command15.Visible);
  EXPECT_EQ(w().Label17.BackColor, 0x808000u);
  EXPECT_EQ(w().Label5.Caption(), u"  输入中文句子的全文内容:");
  EXPECT_FALSE(w().Command8.Enabled);
  EXPECT_FALSE(w().Command10A.Enabled);
  EXPECT_FALSE(w().RichTextBox16.Visible);
  EXPECT_FALSE(w().RichTextBox13.Visible);
  for (const CommandButton* b : {&w().Command1, &w().Command11, &w().Command17, &w().Command24, &w().Command27})
    EXPECT_FALSE(b->Visible) << b->name();

  // Only the Spanish sentence is corrected; the joined text is rebuilt.
  ASSERT_TRUE(user().select(w().Text41, 10, 10));
  type(w().Text41, u"el perro");
  click(w().Command9);
  EXPECT_EQ(w().RichTextBox13.text(), u"我喜欢狗。");
  EXPECT_EQ(w().RichTextBox7.text(), u"Me gustan el perro.");
  EXPECT_EQ(w().Text14.text(), u"我喜欢狗。/Me gustan el perro.");
  EXPECT_FALSE(w().Text40.Visible);
  EXPECT_FALSE(w().Command9.Visible);
  EXPECT_TRUE(w().Command24.Visible);
  EXPECT_TRUE(w().Command8.Enabled);
  EXPECT_TRUE(w().RichTextBox16.hasFocus());
  EXPECT_EQ(sentences(), (std::vector<std::string>{"1:我喜欢猫。:Me gusta el gato.", "2:我喜欢狗。:Me gustan el perro."}));
  EXPECT_EQ(searchRows(), (std::vector<std::string>{"1:我喜欢猫。/Me gusta el gato.", "2:我喜欢狗。/Me gustan el perro."}));
  restart();
  p->event([&] { w().Data1.MoveLast(); });
  EXPECT_EQ(w().RichTextBox7.text(), u"Me gustan el perro.");
}

TEST_F(EntriesTest, SavingWithoutTypingStoresTheRecordsOwnValuesAndRebuildsTheJoinedText) {
  start({{u"你好。", u"Hola."}});
  p->event([&] { w().Text14.setText(u"过时/viejo"); });
  click(w().Command24);
  click(w().Command9);
  EXPECT_EQ(sentences(), std::vector<std::string>{"1:你好。:Hola."});
  EXPECT_EQ(searchRows(), std::vector<std::string>{"1:你好。/Hola."});
}

TEST_F(EntriesTest, AnEmptySentenceTableShowsHowToAddInsteadOfTheEditPanel) {
  start();
  click(w().Command24);
  EXPECT_EQ(w().RichTextBox13.text(), kHowToAddText);
  EXPECT_EQ(w().Text1.text(), kHowToAddText);
  EXPECT_FALSE(w().Text40.Visible);
  EXPECT_FALSE(w().Command9.Visible);
}

TEST_F(EntriesTest, TheRangeResultSelectionChoosesTheFirstPairThatContainsIt) {
  const std::vector<SentencePair> pairs = {
      {u"我爱你。", u"Te quiero."}, {u"你好。", u"Hola."}, {u"你好吗？", u"¿Qué tal?"}};
  struct Case {
    const char* name;
    Text result;
    int64_t start, length;
    bool resultShowing;
    Text expectedChinese;
  };
  const Case cases[] = {
      {"several pairs contain it: the lowest ID", u"你好吗？/¿Qué tal?", 0, 2, true, u"你好。"},
      {"a Spanish part", u"你好吗？/¿Qué tal?", 6, 3, true, u"你好吗？"},
      {"found in no pair", u"不在这里", 0, 2, true, u"我爱你。"},
      {"nothing selected", u"你好吗？/¿Qué tal?", 0, 0, true, u"我爱你。"},
      {"no range result showing", u"你好吗？/¿Qué tal?", 0, 2, false, u"我爱你。"},
  };
  writeDictionary(dir.path(), pairs);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    p = std::make_unique<Program>(dir.path());
    f = &startMainWindow(*p);
    showRangeResult(c.result, c.start, c.length);
    if (!c.resultShowing) p->event([&] { w().RichTextBox3.Visible = false; });
    click(w().Command24);
    EXPECT_EQ(w().Text40.text(), c.expectedChinese);
    EXPECT_EQ(w().Text2.text(), c.expectedChinese);
    EXPECT_TRUE(w().Text40.Visible);
    EXPECT_FALSE(w().RichTextBox3.Visible);
    EXPECT_EQ(w().RichTextBox3.text(), u"");
    EXPECT_EQ(w().RichTextBox16.text(), u"");
    EXPECT_EQ(w().Text19.text(), u"");
  }
}

TEST_F(EntriesTest, APairEditedFromTheRangeResultIsSavedIntoItsOwnRecords) {
  start({{u"我爱你。", u"Te quiero."}, {u"你好。", u"Hola."}, {u"你好吗？", u"¿Qué tal?"}});
  type(w().RichTextBox16, u"吗");
  showRangeResult(u"你好吗？/¿Qué tal?", 2, 1);
  click(w().Command24);
  ASSERT_EQ(w().Text40.text(), u"你好吗？");
  EXPECT_EQ(w().Label17.BackColor, 0x808000u);
  ASSERT_TRUE(user().click(w().Text40, 4));
  key(w().Text40, kKeyBack);
  type(w().Text40, u"！");
  key(w().Text41, kKeyEnd);
  type(w().Text41, u" Bien.");
  click(w().Command9);
  EXPECT_EQ(sentences(), (std::vector<std::string>{"1:我爱你。:Te quiero.", "2:你好。:Hola.", "3:你好吗！:¿Qué tal? Bien."}));
  EXPECT_EQ(searchRows(), (std::vector<std::string>{"1:我爱你。/Te quiero.", "2:你好。/Hola.", "3:你好吗！/¿Qué tal? Bien."}));
  EXPECT_EQ(w().RichTextBox13.text(), u"你好吗！");
}

TEST_F(EntriesTest, AGridRowWithoutItsSentenceRecordLeavesThePairOnShowToEdit) {
  // The search table has a third row that the sentence table lacks.
  writeDictionary(dir.path(), {{u"一。", u"Uno."}, {u"二。", u"Dos."}});
  execOn(dir.path() / "XHKB.db", "INSERT INTO \"表1\" (Zd1) VALUES ('孤儿。/Huérfano.')");
  start();
  type(w().RichTextBox16, u"孤");
  showRangeResult(u"孤儿。/Huérfano.", 0, 2);
  click(w().Command24);
  EXPECT_TRUE(w().Text40.Visible);
  EXPECT_EQ(w().Text40.text(), u"一。");
  EXPECT_EQ(w().Text23.text(), u"1");
  type(w().Text40, u"壹");
  click(w().Command9);
  EXPECT_EQ(sentences(), (std::vector<std::string>{"1:壹一。:Uno.", "2:二。:Dos."}));
  EXPECT_EQ(searchRows(), (std::vector<std::string>{"1:壹一。/Uno.", "2:二。/Dos.", "3:孤儿。/Huérfano."}));
}

TEST_F(EntriesTest, TheJoinedTextGoesOnlyIntoTheSearchRecordOfTheSamePair) {
  struct Case {
    const char* name;
    bool searchRowExists;
    std::vector<std::string> searchAfter;
  };
  const Case cases[] = {
      {"search store moved elsewhere", true, {"1:一。/Uno.", "2:二。/Dos!", "3:三。/Tres."}},
      {"no search record with the ID", false, {"1:一。/Uno.", "2:二。/Dos."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir d;
    writeDictionary(d.path(), {{u"一。", u"Uno."}, {u"二。", u"Dos."}, {u"三。", u"Tres."}});
    if (!c.searchRowExists) {
      sqlite3* db = nullptr;
      ASSERT_EQ(sqlite3_open((d.path() / "XHKB.db").c_str(), &db), SQLITE_OK);
      sqlite3_exec(db, "DELETE FROM \"表1\" WHERE ID = 3", nullptr, nullptr, nullptr);
      sqlite3_close(db);
    }
    Program prog(d.path());
    FrmLexaro& m = startMainWindow(prog);
    const Text id = c.searchRowExists ? u"2" : u"3";
    prog.event([&] {
      m.Data1.setIndex("ID");
      m.Data1.Seek("=", id);
      m.Data2.MoveFirst();  // the search store left on another pair
    });
    ASSERT_TRUE(prog.user().click(m.Command24));
    ASSERT_TRUE(prog.user().pressKey(m.Text41, kKeyEnd));
    ASSERT_TRUE(prog.user().pressKey(m.Text41, kKeyBack));
    ASSERT_TRUE(prog.user().type(m.Text41, u"!"));
    ASSERT_TRUE(prog.user().click(m.Command9));
    const auto rows = searchRowsIn(d.path());
    EXPECT_EQ(rows, c.searchAfter);
    EXPECT_EQ(m.Text3.text(), c.searchRowExists ? u"Dos!" : u"Tres!");
  }
}

TEST_F(EntriesTest, AnEditLeftWithoutSavingIsNotWhatThePanelShowsNextTime) {
  start({{u"你好。", u"Hola."}});
  click(w().Command24);
  type(w().Text40, u"草稿");
  type(w().Text41, u"borrador");
  click(w().Command20);  // ResetMainWindow leaves the panel
  click(w().Command24);
  EXPECT_EQ(w().Text40.text(), u"你好。");
  EXPECT_EQ(w().Text41.text(), u"Hola.");
  click(w().Command9);
  EXPECT_EQ(sentences(), std::vector<std::string>{"1:你好。:Hola."});
}

TEST_F(EntriesTest, WhatTheEditPanelShowsIsWhatIsSavedAfterEditsThatEndAtTheStart) {
  start({{u"甲乙。", u"Hola."}});
  click(w().Command24);
  ASSERT_TRUE(user().click(w().Text40, 1));
  key(w().Text40, kKeyBack);  // the caret ends at 0
  ASSERT_TRUE(user().select(w().Text41, 0, 5));
  key(w().Text41, kKeyDelete);
  EXPECT_EQ(w().Text37.text(), u"乙。");
  EXPECT_EQ(w().Text48.text(), u"");
  click(w().Command9);
  EXPECT_EQ(sentences(), std::vector<std::string>{"1:乙。:"});
  EXPECT_EQ(searchRows(), std::vector<std::string>{"1:乙。/"});
}

TEST_F(EntriesTest, AMousePressOnTheEditSaveClosesTheHelpWindowAndAKeyPressDoesNot) {
  start({{u"你好。", u"Hola."}});
  click(w().Command24);
  p->event([&] {
    p->form<Frm说明1>().Show();
    w().Command15.Caption = u"关闭";
  });
  p->event([&] { w().Command9.setValue(true); });  // the access key
  EXPECT_TRUE(p->app().isLoaded<Frm说明1>());
  EXPECT_TRUE(p->form<Frm说明1>().Visible());
  EXPECT_EQ(w().Command15.Caption, u"关闭");

  click(w().Command24);
  click(w().Command9);
  EXPECT_FALSE(p->app().isLoaded<Frm说明1>());
  EXPECT_EQ(w().Command15.Caption, u"说明");
  EXPECT_FALSE(w().Command9.Visible);
}

TEST_F(EntriesTest, AOneBlankSentenceIsEmptiedInTheEditBoxesButNotInTheRecord) {
  start({{u" ", u"Hola."}});
  EXPECT_EQ(w().Text40.text(), u"");
  EXPECT_EQ(w().Text2.text(), u" ");
  click(w().Command24);
  EXPECT_EQ(w().Text40.text(), u"");
  EXPECT_EQ(w().Text37.text(), u"");
  ASSERT_TRUE(user().select(w().Text41, 0, 6));
  type(w().Text41, u" ");
  EXPECT_EQ(w().Text41.text(), u"");
  EXPECT_TRUE(w().Text41.hasFocus());
}

}  // namespace
}  // namespace zuvo
