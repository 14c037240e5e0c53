// The main window: its design state, start-up on an empty and on a small
// dictionary, the record-move handlers, the resets and the ways out.

#include <gtest/gtest.h>

#include "app/FrmLexaro.h"
#include "entries/placeholders.h"
#include "support/dictionary.h"
#include "tools/conversion_window.h"
#include "tools/usage_help.h"

namespace zuvo {
namespace {

using namespace zuvo::testing;

const Text kCaption = u"  PELUR-Orvando V.1.0  注：本速查软件所需全部词句将由使用者自己添加，开放式数据库。  ";

class MainWindowTest : public ProgramTest {
 protected:
  void expectTwoPaneLayout() {
    EXPECT_EQ(w().RichTextBox13.Top, 1320);
    EXPECT_EQ(w().RichTextBox13.Left, 220.02f);
    EXPECT_EQ(w().RichTextBox13.Width, 9470);
    EXPECT_EQ(w().RichTextBox13.Height, 1760);
    EXPECT_EQ(w().RichTextBox7.Top, 3150);
    EXPECT_EQ(w().RichTextBox7.Height, 1810);
    EXPECT_TRUE(w().RichTextBox13.Visible);
    EXPECT_TRUE(w().RichTextBox7.Visible);
  }
};

TEST_F(MainWindowTest, StartsOnAnEmptyDictionaryWithBlankPanesAndTheFocusInTheInputBox) {
  start();
  EXPECT_EQ(w().Caption, kCaption);
  expectTwoPaneLayout();
  EXPECT_EQ(w().RichTextBox13.text(), u"");
  EXPECT_EQ(w().RichTextBox7.text(), u"");
  EXPECT_EQ(w().Text2.text(), u"");
  EXPECT_TRUE(w().RichTextBox16.hasFocus());
  EXPECT_TRUE(w().Text88.Visible);
  EXPECT_EQ(w().Text88.Width, 9490);
  EXPECT_TRUE(p->dialogs().messages.empty());
}

TEST_F(MainWindowTest, DesignStateShowsTheRowsOfButtonsAndHidesTheRest) {
  start();
  struct Case {
    const Control& c;
    float left, top, width, height;
    const char16_t* caption;
    bool enabled;
  };
  const Case visible[] = {
      {w().Command11, 220, 210, 800, 420, u"PLT", true},
      {w().Command17, 8350, 210, 1330, 420, u"范围查询", true},
      {w().Command1, 220, 794, 1050, 420, u"添加(&N)", true},
      {w().Command7, 5210, 794, 870, 420, u"[货币]", false},
      {w().Command13, 6090, 794, 870, 420, u"[译名]", false},
      {w().Command25, 8349, 794, 1330, 420, u"下一条(&Z)", true},
      {w().Command8, 6279, 5315, 1615, 420, u"动词变位(&B)", false},
      {w().Command21, 7939, 5315, 1785, 420, u"〖 退出(&X) 〗", true},
      {w().Command20, 4950, 5890, 1300, 228, u"<> [——] <>", true},
      {w().Command10, 6279, 5890, 895, 228, u"X-H ZH", false},
      {w().Command26, 7250, 5890, 660, 228, u"<<->>", false},
      {w().Command29, 8670, 5890, 400, 228, u"K", false},
      {w().Command45, 9099, 5890, 400, 228, u"H", false},
      {w().Command51, 7939, 5890, 660, 228, u"<*>", false},
      {w().Command59, 9539, 5890, 345, 228, u"Y", false},
  };
  for (const auto& c : visible) {
    SCOPED_TRACE(c.c.name());
    EXPECT_TRUE(c.c.Visible);
    EXPECT_EQ(c.c.Enabled, c.enabled);
    EXPECT_EQ(c.c.Left, c.left);
    EXPECT_EQ(c.c.Top, c.top);
    EXPECT_EQ(c.c.Width, c.width);
    EXPECT_EQ(c.c.Height, c.height);
    EXPECT_EQ(static_cast<const CommandButton&>(c.c).Caption, c.caption);
  }
  EXPECT_EQ(w().Label1.Caption(), u"输入内容:");
  EXPECT_EQ(w().RichTextBox16.BackColor, 0xC0FFC0u);
  EXPECT_EQ(w().Text120.BackColor, 0xC0FFC0u);
  EXPECT_EQ(w().Label7.ForeColor, kHighlightText);
  // The label that clears the placeholders has the caption they tell the user to click.
  EXPECT_EQ(w().Label7.Caption(), u"<作者信箱>");
  for (TextView placeholder : {kVerbExamplesPlaceholder, kWordExamplesPlaceholder})
    EXPECT_NE(placeholder.find(u"用鼠标点击" + w().Label7.Caption() + u"可以删除全部的中文提示"), TextView::npos);
  EXPECT_TRUE(w().Shape3.Visible);
  EXPECT_FALSE(w().Shape4.Visible);
  EXPECT_FALSE(w().Shape5.Visible);
  for (const Control* c : std::initializer_list<const Control*>{&w().Text2, &w().Text33, &w().Text32, &w().RichTextBox3,
                           &w().RichTextBox1, &w().MSFlexGrid1, &w().ProgressBar1, &w().Command55, &w().Command58,
                           &w().Command15, &w().Command72, &w().Label6}) {
    EXPECT_FALSE(c->Visible) << c->name();
  }
  EXPECT_EQ(w().Text32.text(), u"未找到您需要的信息，请用范围查找再试。");
  EXPECT_EQ(w().Text32.ForeColor, 255u);
  for (const TextBox* b : std::initializer_list<const TextBox*>{&w().Text21, &w().Text25, &w().Text30, &w().Text53, &w().Text54, &w().Text56,
                           &w().Text79, &w().Text106})
    EXPECT_EQ(b->text(), u"0") << b->name();
  EXPECT_EQ(w().Text1.text(), u"");
  for (const Label* l : std::initializer_list<const Label*>{&w().Label2, &w().Label6, &w().Label8, &w().Label9, &w().Label17})
    EXPECT_EQ(l->BackColor, kButtonFace) << l->name();
  EXPECT_EQ(w().Text10.BackColor, kWindowBackground);
  EXPECT_EQ(w().Command31.Caption, u"z31");
  EXPECT_EQ(w().Command78.Caption, u"78j");
  EXPECT_FALSE(w().Command46.Enabled);
  EXPECT_EQ(w().CommonDialog1.DialogTitle, u"打开");
  EXPECT_EQ(w().CommonDialog1.Filter, u"文本文件 (*.TXT)|*.TXT");
}

TEST_F(MainWindowTest, TheInputBoxAndThePanesLieAboveTheirBackdrops) {
  start({{u"一", u"uno"}});
  EXPECT_TRUE(p->user().type(w().RichTextBox16, u"a"));
  EXPECT_EQ(w().RichTextBox16.text(), u"a");
  EXPECT_TRUE(p->user().click(w().RichTextBox13, 0));
  EXPECT_TRUE(p->user().click(w().RichTextBox7, 0));
  EXPECT_TRUE(p->user().click(w().Command20));
}

TEST_F(MainWindowTest, TheEntryPanelBoxesLieOverTheMainButtonRow) {
  start();
  const auto& order = w().stacking();
  const auto pos = [&](const Control& c) { return std::find(order.begin(), order.end(), &c) - order.begin(); };
  for (const Control* box : std::initializer_list<const Control*>{&w().Text40, &w().Text44, &w().Text42, &w().Text116})
    for (const Control* button : std::initializer_list<const Control*>{&w().Command12, &w().Command3, &w().Command7})
      EXPECT_GT(pos(*box), pos(*button)) << box->name() << " " << button->name();
  // The panels' prompts stand on the panel frame.
  EXPECT_GT(pos(w().Label3), pos(w().Label4));
  EXPECT_GT(pos(w().Label5), pos(w().Label4));
}

TEST_F(MainWindowTest, DisabledButtonsStayDisabledForTheUser) {
  start();
  for (Control* c : std::initializer_list<Control*>{&w().Command7, &w().Command13, &w().Command10, &w().Command26, &w().Command29, &w().Command45,
                     &w().Command51, &w().Command59})
    EXPECT_FALSE(p->user().click(*c)) << c->name();
}

TEST_F(MainWindowTest, StartsOnTheFirstSentencePairWithItsPartnerAndTheEditCopies) {
  start({{u"你好。", u"Hola."}, {u"谢谢。", u"Gracias."}});
  EXPECT_EQ(w().RichTextBox13.text(), u"你好。");
  EXPECT_EQ(w().RichTextBox7.text(), u"Hola.");
  EXPECT_EQ(w().RichTextBox6.text(), u"Hola.");
  for (const TextBox* b : std::initializer_list<const TextBox*>{&w().Text13, &w().Text37, &w().Text40}) EXPECT_EQ(b->text(), u"你好。") << b->name();
  for (const TextBox* b : std::initializer_list<const TextBox*>{&w().Text20, &w().Text48, &w().Text41}) EXPECT_EQ(b->text(), u"Hola.") << b->name();
  EXPECT_EQ(w().Text24.text(), u"1");
  EXPECT_EQ(w().Text14.text(), u"你好。/Hola.");
}

TEST_F(MainWindowTest, SentenceMovesShowEachPairAndKeepTheSearchPartnerOnTheSameId) {
  start({{u"同一句。", u"Uno."}, {u"同一句。", u"Dos."}, {u"第三。", u"Tres."}});
  int upperChanges = 0;
  w().RichTextBox13.Change = [&] { ++upperChanges; };
  p->event([&] { w().Data1.MoveNext(); });
  EXPECT_EQ(upperChanges, 0);  // the same Chinese sentence: the upper pane is left alone
  EXPECT_EQ(w().RichTextBox7.text(), u"Dos.");
  EXPECT_EQ(w().Text14.text(), u"同一句。/Dos.");
  p->event([&] { w().Data1.MoveLast(); });
  EXPECT_EQ(w().RichTextBox13.text(), u"第三。");
  EXPECT_EQ(w().Text24.text(), u"3");
  // AddNew gives the boxes the new empty record.
  p->event([&] { w().Data1.AddNew(); });
  for (const TextBox* b : std::initializer_list<const TextBox*>{&w().Text37, &w().Text48, &w().Text40, &w().Text41}) EXPECT_EQ(b->text(), u"") << b->name();
  EXPECT_EQ(w().RichTextBox13.text(), u"");
}

TEST_F(MainWindowTest, AVerbMovePositionsItsFormAndSearchRecords) {
  start({}, {{u"hablar", u"说", u"Hablo español."}, {u"comer", u"吃", u"Como pan."}});
  EXPECT_EQ(w().Text63.text(), u"hablar");
  p->event([&] {
    w().Data3.setIndex("ZD1");
    w().Data3.Seek("=", u"comer");
  });
  EXPECT_EQ(w().Text115.text(), u"2");
  EXPECT_EQ(w().Text63.text(), u"comer");
  EXPECT_EQ(w().Text108.text(), u"com");
  EXPECT_EQ(w().Text87.text(), u"comer");
  EXPECT_EQ(w().Text9.text(), u"Como pan.");
  EXPECT_EQ(w().Data4.Index(), "ID");
  EXPECT_EQ(w().Data5.Index(), "ID");
}

TEST_F(MainWindowTest, AWordMoveTakesItsEndingAndTurnsQuestionMarksIntoEnye) {
  start({}, {}, {{u"nino", u"ni?o", u"孩子", u"el ni?o?\r\nni?a"}, {u"correr", u"correr", u"跑", u""}});
  EXPECT_EQ(w().Text29.text(), u"no");
  EXPECT_EQ(w().Text112.text(), u"niňo");
  EXPECT_EQ(w().Text39.text(), u"el niňoň\r\nniňa");
  p->event([&] { w().Data6.MoveNext(); });
  EXPECT_EQ(w().Text29.text(), u"er");
  p->event([&] { w().Data6.MoveFirst(); });  // the repair was an edit, saved by the move
  EXPECT_EQ(w().Data6.value("ZD2"), u"niňo");
  p->restart();
  f = &startMainWindow(*p);
  EXPECT_EQ(w().Data6.value("ZD5"), u"el niňoň\r\nniňa");
}

TEST_F(MainWindowTest, ManyQuestionMarksAreAllReplaced) {
  Text many(5000, u'?');
  start({}, {}, {{u"x", many, u"", u""}});
  EXPECT_EQ(w().Text112.text(), Text(5000, u'ň'));
}

TEST_F(MainWindowTest, ExitProgramEndsTheRunWithTheHelpWindowOpenOrClosed) {
  for (bool helpOpen : {false, true}) {
    SCOPED_TRACE(helpOpen);
    TempDir d;
    Program prog(d.path());
    FrmLexaro& m = startMainWindow(prog);
    if (helpOpen) prog.event([&] { prog.form<Frm说明1>().Show(); });
    EXPECT_FALSE(prog.user().click(m.Command21));
    EXPECT_TRUE(prog.app().ended());
    EXPECT_FALSE(prog.app().isLoaded<Frm说明1>());
    EXPECT_TRUE(prog.dialogs().messages.empty());
  }
}

TEST_F(MainWindowTest, TheCloseBoxEmptiesTheReaderAndResultPanesAndEndsTheRun) {
  start({{u"一", u"uno"}});
  Text emptied;
  for (RichTextBox* r : std::initializer_list<RichTextBox*>{&w().RichTextBox11, &w().RichTextBox12, &w().RichTextBox3, &w().RichTextBox8}) {
    r->setText(u"x");
    r->Change = [&emptied, r] { emptied += fromUtf8(r->name()) + u" "; };
  }
  EXPECT_FALSE(p->user().close(w()));
  EXPECT_EQ(emptied, u"RichTextBox11 RichTextBox12 RichTextBox3 RichTextBox8 ");
  EXPECT_TRUE(p->app().ended());
}

TEST_F(MainWindowTest, APendingEditIsSavedAtExit) {
  start({{u"一", u"uno"}});
  p->event([&] {
    w().Data1.AddNew();
    w().Text2.setText(u"二");
    w().Text3.setText(u"dos");
  });
  p->user().click(w().Command21);
  p = std::make_unique<Program>(dir.path());
  f = &startMainWindow(*p);
  p->event([&] { w().Data1.MoveLast(); });
  EXPECT_EQ(w().RichTextBox7.text(), u"dos");
  EXPECT_EQ(w().Text23.text(), u"2");
}

// --- resets ------------------------------------------------------------------

TEST_F(MainWindowTest, ResetMainWindowClosesHelpAndConversionAndEndsAddAndBatchMode) {
  start({{u"一", u"uno"}});
  p->event([&] {
    w().RichTextBox16.setText(u"hola");
    p->form<Frm说明1>().Show();
    p->form<Frm计量换算>().Show();
    w().Command1.Caption = u"关闭(&K)";
    w().Command55.Visible = w().Shape4.Visible = true;
    w().Command58.Visible = true;
    w().Command58.Caption = u"批量句子入库(&C)";
    w().Command3.Enabled = w().Command12.Enabled = false;
    w().Text33.Visible = w().Text113.Visible = true;
  });
  ASSERT_TRUE(p->user().click(w().Command20));
  EXPECT_FALSE(p->app().isLoaded<Frm说明1>());
  EXPECT_FALSE(p->app().isLoaded<Frm计量换算>());
  EXPECT_EQ(w().Command1.Caption, u"添加(&N)");
  EXPECT_FALSE(w().Command55.Visible);
  EXPECT_FALSE(w().Shape4.Visible);
  EXPECT_FALSE(w().Command58.Visible);
  EXPECT_EQ(w().Command58.Caption, u"批量句子入库(&C)");  // hidden with its import caption
  EXPECT_TRUE(w().Command3.Enabled);
  EXPECT_TRUE(w().Command12.Enabled);
  EXPECT_FALSE(w().Text33.Visible);
  EXPECT_FALSE(w().Text113.Visible);
  EXPECT_EQ(w().RichTextBox16.text(), u"hola");
  EXPECT_TRUE(w().RichTextBox16.hasFocus());
  expectTwoPaneLayout();
}

TEST_F(MainWindowTest, ResetLookupScreenKeepsTheAddModeCaptionAndTheReaderText) {
  start({{u"一", u"uno"}});
  p->event([&] {
    w().Command1.Caption = u"关闭(&K)";
    w().Command55.Visible = w().Shape4.Visible = true;
    w().RichTextBox3.Visible = true;
    w().RichTextBox3.setText(u"结果");
    w().RichTextBox8.setText(u"读者");
    w().RichTextBox15.setText(u"意思");
    w().Command45.Enabled = true;
    w().Text33.Visible = true;
    w().RichTextBox13.Top = 2550;
    w().Command72_Click();
  });
  EXPECT_EQ(w().Command1.Caption, u"关闭(&K)");
  EXPECT_FALSE(w().Command55.Visible);
  EXPECT_FALSE(w().Shape4.Visible);
  EXPECT_FALSE(w().RichTextBox3.Visible);
  EXPECT_EQ(w().RichTextBox3.text(), u"");
  EXPECT_EQ(w().RichTextBox15.text(), u"");
  EXPECT_EQ(w().RichTextBox8.text(), u"读者");
  EXPECT_FALSE(w().Command45.Enabled);
  EXPECT_TRUE(w().Text33.Visible);  // the number answer stays for ResetLookupScreen
  expectTwoPaneLayout();
  // The upper pane lies on top of the lower one.
  const auto& order = w().stacking();
  EXPECT_GT(std::find(order.begin(), order.end(), &w().RichTextBox13),
            std::find(order.begin(), order.end(), &w().RichTextBox7));
}

TEST_F(MainWindowTest, RestoreTextPanesActsOnlyOnTheNumberAnswerLayout) {
  start();
  const std::pair<float, bool> cases[] = {{2550, true}, {2530, false}, {2570, false}, {1320, false}, {2531, true}};
  for (auto [top, restores] : cases) {
    SCOPED_TRACE(top);
    p->event([&] {
      w().RichTextBox13.Top = top;
      w().RichTextBox13.Height = 2390;
      w().Text33.Visible = true;
      w().Command16_Click();
    });
    EXPECT_EQ(w().Text33.Visible, !restores);
    EXPECT_EQ(w().RichTextBox13.Top, restores ? 1320 : top);
  }
}

TEST_F(MainWindowTest, ReturnToLookupScreenClosesThePanelsButKeepsPlacesAndFocus) {
  start({{u"一", u"uno"}});
  p->event([&] {
    w().Text44.Visible = w().Text45.Visible = w().Command38.Visible = true;
    w().Command1.Enabled = w().Command24.Enabled = false;
    w().RichTextBox13.Height = 1230;
    w().Text44.SetFocus();
    w().Command5_Click();
    EXPECT_TRUE(w().Text44.hasFocus());  // the procedure itself moves no focus
  });
  EXPECT_FALSE(w().Text44.Visible);
  EXPECT_FALSE(w().Command38.Visible);
  EXPECT_TRUE(w().Command1.Visible);
  EXPECT_FALSE(w().Command1.Enabled);  // left as it was
  EXPECT_TRUE(w().Command8.Enabled);
  EXPECT_EQ(w().RichTextBox13.Height, 1230);
  // The hidden box gave the focus on to a control the user can reach.
  ASSERT_NE(w().focused(), nullptr);
  EXPECT_TRUE(w().focused()->reachable());
}

TEST_F(MainWindowTest, EnableMainButtonsEnablesAndShowsNothingElse) {
  start();
  p->event([&] {
    for (CommandButton* b : std::initializer_list<CommandButton*>{&w().Command1, &w().Command24, &w().Command58, &w().Command3}) b->Enabled = false;
    w().Command62_Click();
  });
  EXPECT_TRUE(w().Command1.Enabled);
  EXPECT_TRUE(w().Command58.Enabled);
  EXPECT_FALSE(w().Command58.Visible);
  EXPECT_FALSE(w().Command3.Enabled);
}

}  // namespace
}  // namespace zuvo
