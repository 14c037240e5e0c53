// The launchers of the secondary windows, the entry panels' help button and
// the input box's frame, and the result pane toggle "<*>" in the lookup
// window and in the reader's states.

#include <gtest/gtest.h>

#include "app/FrmLexaro.h"
#include "places/place_window.h"
#include "support/dictionary.h"
#include "tools/conversion_window.h"
#include "tools/usage_help.h"

namespace zuvo {
namespace {

using namespace zuvo::testing;

constexpr Colour kFrameOpen = 0xFFFFC0;
constexpr Colour kFrameClosed = 0xC0FFC0;

class LaunchersTest : public MainWindowSuite {
 protected:
  static void SetUpTestSuite() { writeSuiteDictionary({{u"狗在房子里。", u"El perro está en la casa."}}); }
  void click(Control& c) { ASSERT_TRUE(p.user().click(c)) << c.name(); }
  bool helpShown() { return p.app().isLoaded<Frm说明1>() && p.form<Frm说明1>().Visible(); }
  int windowsNamed(const std::string& name) {
    int n = 0;
    for (Window* win : p.app().windows()) n += win->name() == name;
    return n;
  }
  // The sentence add panel, which shows the help button.
  void openSentencePanel() {
    click(w.Command1);
    click(w.Command55);
    ASSERT_TRUE(w.Command15.Visible);
  }
  void expectLookupPaneClosed() {
    EXPECT_FALSE(w.RichTextBox3.Visible);
    EXPECT_EQ(w.RichTextBox16.BackColor, kFrameClosed);
    EXPECT_EQ(w.Text120.BackColor, kFrameClosed);
    for (const CommandButton* b : {&w.Command1, &w.Command23, &w.Command25}) EXPECT_TRUE(b->Enabled) << b->name();
    EXPECT_TRUE(w.RichTextBox16.hasFocus());
  }
  void expectLookupPaneOpen() {
    EXPECT_TRUE(w.RichTextBox3.Visible);
    EXPECT_EQ(w.RichTextBox3.Top, 1320);
    EXPECT_EQ(w.RichTextBox3.Left, 220.02f);
    EXPECT_EQ(w.RichTextBox3.Width, 9470);
    EXPECT_EQ(w.RichTextBox3.Height, 3630);
    EXPECT_EQ(w.stacking().back(), &w.RichTextBox3);
    EXPECT_EQ(w.RichTextBox16.BackColor, kFrameOpen);
    EXPECT_EQ(w.Text120.BackColor, kFrameOpen);
    for (const CommandButton* b : {&w.Command1, &w.Command23, &w.Command25}) EXPECT_FALSE(b->Enabled) << b->name();
    EXPECT_TRUE(w.RichTextBox16.hasFocus());
  }
};

TEST_F(LaunchersTest, ConversionAndPlaceButtonsShowOneWindowEachPressedTwice) {
  for (int i = 0; i < 2; ++i) {
    click(w.Command12);
    click(w.Command3);
  }
  EXPECT_TRUE(p.form<Frm计量换算>().Visible());
  EXPECT_TRUE(p.form<frm世界地名>().Visible());
  EXPECT_EQ(windowsNamed("Frm计量换算"), 1);
  EXPECT_EQ(windowsNamed("frm世界地名"), 1);
  EXPECT_TRUE(w.Visible());
  // Closed from inside, the next press opens it afresh.
  ASSERT_TRUE(p.user().close(p.form<frm世界地名>()));
  click(w.Command3);
  EXPECT_TRUE(p.form<frm世界地名>().Visible());
}

TEST_F(LaunchersTest, UsageHelpLeavesBatchModeFirstAndKeepsTheHelpButtonsCaption) {
  click(w.Command11);
  ASSERT_TRUE(w.Command58.Visible);
  click(w.Command27);
  EXPECT_FALSE(w.Command58.Visible);
  EXPECT_TRUE(w.Command1.Enabled);
  EXPECT_TRUE(helpShown());
  EXPECT_EQ(w.Command15.Caption, u"说明");
  click(w.Command27);  // already open: stays open
  EXPECT_TRUE(helpShown());
  EXPECT_EQ(windowsNamed("Frm说明1"), 1);
}

TEST_F(LaunchersTest, TheHelpButtonTogglesOnAnyMouseButtonAndNotOnTheKeyboard) {
  openSentencePanel();
  ASSERT_TRUE(p.user().mouseDown(w.Command15, {.button = 2}));
  EXPECT_TRUE(helpShown());
  EXPECT_EQ(w.Command15.Caption, u"关闭");
  ASSERT_TRUE(p.user().mouseDown(w.Command15, {.button = 1}));
  EXPECT_FALSE(p.app().isLoaded<Frm说明1>());
  EXPECT_EQ(w.Command15.Caption, u"说明");

  ASSERT_TRUE(p.user().typeKeys(w.Command15, u" "));
  ASSERT_TRUE(p.user().pressKey(w.Command15, kKeyReturn));
  EXPECT_FALSE(helpShown());
  EXPECT_EQ(w.Command15.Caption, u"说明");
}

TEST_F(LaunchersTest, TheFrameHidesTheHelpWindowOrPassesTheFocusOn) {
  ASSERT_TRUE(p.user().focus(w.Text120));
  EXPECT_TRUE(w.Command20.hasFocus());
  EXPECT_EQ(w.Command20.Caption, u"<> [——] <>");

  openSentencePanel();
  ASSERT_TRUE(p.user().mouseDown(w.Command15, {}));
  ASSERT_TRUE(helpShown());
  click(w.Command38);  // the empty panel closes; the help window stays
  ASSERT_TRUE(helpShown());
  ASSERT_TRUE(p.user().focus(w.Text120));
  EXPECT_TRUE(p.app().isLoaded<Frm说明1>());
  EXPECT_FALSE(helpShown());
  EXPECT_EQ(w.Command15.Caption, u"关闭");
  // The next press acts on the window's visibility: it shows it again.
  openSentencePanel();
  ASSERT_TRUE(p.user().mouseDown(w.Command15, {}));
  EXPECT_TRUE(helpShown());
  EXPECT_EQ(w.Command15.Caption, u"关闭");
}

// --- the result pane toggle -----------------------------------------------------------

TEST_F(LaunchersTest, TwoPressesInTheLookupWindowOpenAndCloseThePane) {
  click(w.Command19);
  expectLookupPaneOpen();
  click(w.Command19);
  expectLookupPaneClosed();
}

TEST_F(LaunchersTest, AfterARangeQueryTheFirstPressClosesAndTheSecondReopensTheResult) {
  ASSERT_TRUE(p.user().type(w.RichTextBox16, u"perro"));
  p.event([&] { w.RichTextBox16.setText(u"perro"); });
  click(w.Command17);
  ASSERT_TRUE(w.RichTextBox3.Visible);
  const Text result = w.RichTextBox3.text();
  ASSERT_FALSE(result.empty());
  click(w.Command19);
  expectLookupPaneClosed();
  click(w.Command19);
  expectLookupPaneOpen();
  EXPECT_EQ(w.RichTextBox3.text(), result);
}

TEST_F(LaunchersTest, InBatchOrAddModeThePressLeavesTheModeAndOpensThePaneEmpty) {
  for (CommandButton* mode : {&w.Command11, &w.Command1}) {
    SCOPED_TRACE(mode->name());
    p.event([&] { w.RichTextBox3.setText(u"旧结果"); });
    click(*mode);
    click(w.Command19);
    EXPECT_FALSE(w.Command58.Visible);
    EXPECT_FALSE(w.Command55.Visible);
    EXPECT_EQ(w.RichTextBox3.text(), u"");
    expectLookupPaneOpen();
    click(w.Command19);
  }
}

TEST(LaunchersEmptyTest, OnAnEmptyDictionaryThePressOnlyShowsHowToAdd) {
  TempDir dir;
  Program p(dir.path());
  FrmLexaro& w = startMainWindow(p);
  ASSERT_TRUE(p.user().click(w.Command19));
  EXPECT_EQ(w.RichTextBox13.text(), kHowToAddText);
  EXPECT_EQ(w.Text1.text(), kHowToAddText);
  EXPECT_FALSE(w.RichTextBox3.Visible);
  EXPECT_EQ(w.Text120.BackColor, kFrameClosed);
}

// The reader's states, set as the reader leaves them and toggled by the
// procedure itself.
TEST_F(LaunchersTest, WithTheSecondReaderPaneAloneThePaneSharesTheWorkArea) {
  p.event([&] {
    w.RichTextBox12.Move(220.02f, 1320, 9470, 3630);
    w.RichTextBox12.Visible = true;
    w.RichTextBox8.Visible = false;
    w.Command19_Click();
  });
  EXPECT_TRUE(w.RichTextBox3.Visible);
  EXPECT_EQ(w.RichTextBox3.Top, 1320);
  EXPECT_EQ(w.RichTextBox3.Height, 1760);
  EXPECT_EQ(w.RichTextBox12.Top, 3150);
  EXPECT_EQ(w.RichTextBox12.Height, 1810);
  EXPECT_EQ(w.Text120.BackColor, kFrameClosed);
  p.event([&] { w.Command19_Click(); });
  EXPECT_FALSE(w.RichTextBox3.Visible);
  EXPECT_EQ(w.RichTextBox12.Top, 1320);
  EXPECT_EQ(w.RichTextBox12.Height, 3640);
  EXPECT_EQ(w.RichTextBox12.Width, 9470);
}

TEST_F(LaunchersTest, InReaderModeTheResultFlagDecidesAndInTheReaderTextPaneTheVisibility) {
  p.event([&] {
    w.Command45.Enabled = true;
    w.RichTextBox8.Visible = true;
    w.Text23.BackColor = 0xFFC0C0;
    w.Command19_Click();
  });
  EXPECT_TRUE(w.RichTextBox3.Visible);
  EXPECT_EQ(w.RichTextBox3.Height, 3630);
  EXPECT_EQ(w.Text23.BackColor, kButtonFace);
  p.event([&] { w.Command19_Click(); });
  EXPECT_FALSE(w.RichTextBox3.Visible);
  EXPECT_EQ(w.Text23.BackColor, 0xFFC0C0u);

  p.event([&] {
    w.Command45.Enabled = false;
    w.Command19_Click();
  });
  EXPECT_TRUE(w.RichTextBox3.Visible);
  EXPECT_EQ(w.RichTextBox3.Top, 1320);
  p.event([&] { w.Command19_Click(); });
  EXPECT_FALSE(w.RichTextBox3.Visible);
  // Neither reader case touches the frame or the step buttons.
  EXPECT_EQ(w.Text120.BackColor, kFrameClosed);
  EXPECT_TRUE(w.Command23.Enabled);
}

}  // namespace
}  // namespace zuvo
