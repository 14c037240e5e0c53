// The control and window model: Change only on a real change, nested and
// synchronous; caret and selection rules; formats of rich text; the window
// registry; user gestures on hidden, disabled and covered controls.

#include <gtest/gtest.h>

#include <fstream>

#include "platform/design.h"
#include "platform/grid.h"
#include "platform/rich_text_box.h"
#include "support/test_support.h"

namespace zuvo {
namespace {

using testing::Program;
using testing::TempDir;

// A small window with the kinds of controls the handlers use.
class Probe : public Window {
 public:
  explicit Probe(Application& app) : Window(app, "Probe") {
    static constexpr DesignRow design[] = {
        {.name = "Text1", .left = 100, .top = 100, .width = 2000, .height = 300, .text = u"start"},
        {.name = "Text2", .left = 100, .top = 500, .width = 2000, .height = 300},
        {.name = "Rich1", .left = 100, .top = 900, .width = 4000, .height = 1000},
        {.name = "Cover", .left = 100, .top = 900, .width = 4000, .height = 1000, .visible = false},
        {.name = "Label1", .left = 3000, .top = 100, .width = 500, .height = 200, .text = u"L"},
        {.name = "Command1", .left = 3000, .top = 500, .width = 800, .height = 300, .text = u"&OK"},
    };
    applyDesign(*this, design);
    Text1.Change = [this] { log += u"T1(" + Text1.text() + u")"; };
    Text2.Change = [this] {
      log += u"T2(" + Text2.text() + u")";
      // A handler that writes its own box runs once more, nested.
      if (Text2.text().find(u'?') != Text::npos) Text2.setText(ReplaceAll(Text2.text(), u"?", u"ň"));
    };
    Label1.Change = [this] { log += u"L1"; };
    Command1.Click = [this] {
      log += u"C1";
      Text1.setText(u"clicked");
    };
    Text1.GotFocus = [this] { log += u"+T1"; };
    Text1.LostFocus = [this] { log += u"-T1"; };
    Text2.GotFocus = [this] { log += u"+T2"; };
    Rich1.KeyPress = [this](int& ascii) {
      if (ascii == 'x') ascii = 0;  // swallowed
      if (ascii == 'q') ascii = 'Q';
    };
  }
  TextBox Text1{*this, "Text1"};
  TextBox Text2{*this, "Text2"};
  RichTextBox Rich1{*this, "Rich1"};
  TextBox Cover{*this, "Cover"};
  Label Label1{*this, "Label1"};
  CommandButton Command1{*this, "Command1"};
  Text log;
};

class PlatformTest : public ::testing::Test {
 protected:
  TempDir dir;
  Program p{dir.path()};
  Probe& w() { return p.form<Probe>(); }
};

TEST_F(PlatformTest, DesignTextsRunNothingAndWritesRunChangeOnlyOnARealChange) {
  EXPECT_EQ(w().Text1.text(), u"start");
  EXPECT_EQ(w().log, u"");
  w().Text1.setText(u"start");
  EXPECT_EQ(w().log, u"");
  w().Text1.setText(u"next");
  w().Label1.setCaption(u"L");
  w().Label1.setCaption(u"M");
  EXPECT_EQ(w().log, u"T1(next)L1");
}

TEST_F(PlatformTest, AHandlerThatRewritesItsOwnBoxRunsAgainNested) {
  w().Text2.setText(u"a?b?");
  EXPECT_EQ(w().Text2.text(), u"aňbň");
  EXPECT_EQ(w().log, u"T2(a?b?)T2(aňbň)");
}

TEST_F(PlatformTest, CaretAndSelectionRules) {
  TextBox& t = w().Text1;
  t.setText(u"hello world");
  t.setSelStart(6);
  t.setSelLength(100);  // clamped at the end
  EXPECT_EQ(t.SelLength(), 5);
  EXPECT_EQ(t.SelText(), u"world");
  t.setSelText(u"there");
  EXPECT_EQ(t.text(), u"hello there");
  EXPECT_EQ(t.SelStart(), 11);
  EXPECT_EQ(t.SelLength(), 0);
  t.setSelStart(-5);
  EXPECT_EQ(t.SelStart(), 0);
  t.setSelStart(99);
  EXPECT_EQ(t.SelStart(), 11);
  // A write of a different text puts the caret at 0; the same text keeps it.
  t.setSelStart(4);
  t.setText(u"hello there");
  EXPECT_EQ(t.SelStart(), 4);
  t.setText(u"other");
  EXPECT_EQ(t.SelStart(), 0);
}

TEST_F(PlatformTest, ButtonValueRunsClickAtOnce) {
  w().Command1.setValue(true);
  EXPECT_EQ(w().log, u"C1T1(clicked)");
}

TEST_F(PlatformTest, RichTextFormatsFollowSelectionAndResetOnANewText) {
  RichTextBox& r = w().Rich1;
  r.setText(u"abc def");
  r.setSelStart(4);
  r.setSelLength(3);
  r.setSelColor(255);
  r.setSelBold(true);
  EXPECT_EQ(r.formatAt(3).colour, kWindowText);
  EXPECT_EQ(r.formatAt(4).colour, 255u);
  EXPECT_TRUE(r.formatAt(6).bold);
  // An empty selection sets the format of what is written next.
  r.setSelStart(0);
  r.setSelColor(192);
  r.setSelText(u"XY");
  EXPECT_EQ(r.text(), u"XYabc def");
  EXPECT_EQ(r.formatAt(0).colour, 192u);
  EXPECT_EQ(r.formatAt(1).colour, 192u);
  EXPECT_EQ(r.formatAt(2).colour, kWindowText);
  // Writing the same text keeps the formats, a different one drops them.
  r.setText(u"XYabc def");
  EXPECT_EQ(r.formatAt(0).colour, 192u);
  r.setText(u"new");
  EXPECT_EQ(r.formatAt(0).colour, kWindowText);
}

TEST_F(PlatformTest, SpanAndUpTo) {
  RichTextBox& r = w().Rich1;
  r.setText(u"uno dos\r\ntres");
  // Span forward, negated: up to the first character of the set.
  r.setSelStart(4);
  r.Span(u"\r", true, true);
  EXPECT_EQ(r.SelText(), u"dos");
  r.setSelStart(10);
  r.Span(u"/", true, true);
  EXPECT_EQ(r.SelText(), u"res");  // to the end of the text
  // UpTo backward, not negated: just after the nearest blank before the caret.
  r.setSelStart(6);
  r.UpTo(u" ", false, false);
  EXPECT_EQ(r.SelStart(), 4);
  r.setSelStart(4);
  r.UpTo(u" ", false, false);
  EXPECT_EQ(r.SelStart(), 4);  // the character before it is a blank
  r.setSelStart(2);
  r.UpTo(u" ", false, false);
  EXPECT_EQ(r.SelStart(), 0);
}

TEST_F(PlatformTest, SetFocusOnAHiddenOrDisabledControlDoesNothing) {
  w().Show();
  w().Text1.SetFocus();
  w().Text2.Visible = false;
  w().Text2.SetFocus();
  EXPECT_TRUE(w().Text1.hasFocus());
  w().Text2.Visible = true;
  w().Text2.Enabled = false;
  w().Text2.SetFocus();
  EXPECT_TRUE(w().Text1.hasFocus());
  w().Text2.Enabled = true;
  w().Text2.SetFocus();
  EXPECT_EQ(w().log, u"+T1-T1+T2");
}

TEST_F(PlatformTest, TypingRunsKeyEventsChangeAndHonoursKeyPress) {
  w().Show();
  Text keys;
  RichTextBox& r = w().Rich1;
  r.KeyDown = [&](int& code, int) { keys += u"d" + NumText(code); };
  r.KeyUp = [&](int& code, int shift) { keys += u"u" + NumText(code) + u"/" + NumText(shift); };
  int changes = 0;
  r.Change = [&] { ++changes; };
  ASSERT_TRUE(p.user().type(r, u"axq"));
  EXPECT_EQ(r.text(), u"aQ");
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(keys, u"d65u65/0d88u88/0d81u81/0");
  keys.clear();
  ASSERT_TRUE(p.user().ctrlKey(r, 'e'));
  EXPECT_EQ(keys, u"d69u69/2");
  EXPECT_EQ(r.text(), u"aQ");
  ASSERT_TRUE(p.user().pressKey(r, kKeyBack));
  EXPECT_EQ(r.text(), u"a");
  ASSERT_TRUE(p.user().pressKey(r, kKeyReturn));
  EXPECT_EQ(r.text(), u"a\r\n");
}

TEST_F(PlatformTest, HiddenDisabledOrCoveredControlsGetNoUserEvents) {
  w().Show();
  EXPECT_TRUE(p.user().click(w().Command1));
  w().log.clear();
  w().Command1.Enabled = false;
  EXPECT_FALSE(p.user().click(w().Command1));
  w().Text2.Visible = false;
  EXPECT_FALSE(p.user().type(w().Text2, u"x"));
  // A box above the pane hides it from the user.
  EXPECT_TRUE(p.user().type(w().Rich1, u"a"));
  w().Cover.Visible = true;
  EXPECT_FALSE(p.user().type(w().Rich1, u"b"));
  w().Rich1.ZOrder();
  EXPECT_TRUE(p.user().type(w().Rich1, u"c"));
  EXPECT_EQ(w().Rich1.text(), u"ac");
  EXPECT_EQ(w().log, u"");
}

TEST_F(PlatformTest, StackingOrderKeepsLabelsBehindBoxes) {
  w().Label1.ZOrder();
  const auto& order = w().stacking();
  const auto pos = [&](const Control& c) { return std::find(order.begin(), order.end(), &c) - order.begin(); };
  EXPECT_LT(pos(w().Label1), pos(w().Text1));
  w().Text1.ZOrder();
  EXPECT_EQ(order.back(), &w().Text1);
}

TEST_F(PlatformTest, ClickPlacesTheCaretThenFocusMouseAndClick) {
  w().Show();
  Text seen;
  TextBox& t = w().Text2;
  t.setText(u"abcdef");
  t.MouseDown = [&](int b, int, float, float) { seen += u"down" + NumText(b) + u"@" + NumText(t.SelStart()); };
  t.MouseUp = [&](int, int, float, float) { seen += u"up"; };
  t.Click = [&] { seen += u"click"; };
  t.DblClick = [&] { seen += u"dbl[" + t.SelText() + u"]"; };
  ASSERT_TRUE(p.user().click(t, 3));
  EXPECT_EQ(seen, u"down1@3upclick");
  t.setText(u"uno dos tres");
  seen.clear();
  ASSERT_TRUE(p.user().doubleClick(t, 5));
  EXPECT_EQ(seen, u"down1@5upclickdown1@4dbl[dos]up");
}

// --- windows -------------------------------------------------------------------

class Counted : public Window {
 public:
  explicit Counted(Application& app) : Window(app, "Counted") { ++created; }
  void Form_Load() override {
    ++loads;
    Text1.setText(u"loaded");
  }
  void Form_Unload(int&) override { ++unloads; }
  TextBox Text1{*this, "Text1"};
  static inline int created = 0, loads = 0, unloads = 0;
};

TEST_F(PlatformTest, WindowsExistOnceLoadOnFirstAccessAndStartAfreshAfterUnload) {
  Counted::created = Counted::loads = Counted::unloads = 0;
  EXPECT_FALSE(p.app().isLoaded<Counted>());
  p.app().unload<Counted>();  // not loaded: nothing
  EXPECT_EQ(Counted::unloads, 0);
  EXPECT_FALSE(p.app().visible<Counted>());  // reading Visible loads it
  EXPECT_TRUE(p.app().isLoaded<Counted>());
  EXPECT_EQ(Counted::loads, 1);
  p.form<Counted>().Text1.setText(u"changed");
  p.form<Counted>().Show();
  EXPECT_TRUE(p.app().visible<Counted>());
  p.form<Counted>().Hide();
  EXPECT_EQ(p.form<Counted>().Text1.text(), u"changed");  // hidden, still loaded
  p.app().unload<Counted>();
  EXPECT_EQ(Counted::unloads, 1);
  EXPECT_EQ(p.form<Counted>().Text1.text(), u"loaded");
  EXPECT_EQ(Counted::created, 2);
}

TEST_F(PlatformTest, AWindowMayUnloadItselfInsideItsOwnHandler) {
  Counted::unloads = 0;
  auto& c = p.form<Counted>();
  c.Text1.Change = [&] { p.app().unload<Counted>(); };
  EXPECT_TRUE(p.event([&] {
    c.Text1.setText(u"bye");
    EXPECT_EQ(c.Text1.text(), u"bye");  // still alive until the event ends
  }));
  EXPECT_EQ(Counted::unloads, 1);
  EXPECT_FALSE(p.app().isLoaded<Counted>());
}

TEST_F(PlatformTest, EndStopsTheProgramAtOnce) {
  Text after;
  EXPECT_FALSE(p.event([&] {
    w().Text1.Change = [&] { p.app().End(); };
    w().Text1.setText(u"end");
    after = u"not reached";
  }));
  EXPECT_EQ(after, u"");
  EXPECT_TRUE(p.app().ended());
  EXPECT_FALSE(p.event([] {}));
}

TEST_F(PlatformTest, MessageBoxesAndFileDialogsGoThroughTheDialogService) {
  p.app().msgBox(u"hola", u" ZORVEK");
  ASSERT_EQ(p.dialogs().messages.size(), 1u);
  EXPECT_EQ(p.dialogs().messages[0], (MessageRecord{u"hola", u" ZORVEK"}));
  CommonDialog d(w(), "CommonDialog9");
  d.DialogTitle = u"打开";
  d.Filter = u"文本文件 (*.TXT)|*.TXT";
  p.dialogs().fileAnswers.push_back(u"/tmp/a.txt");
  d.ShowOpen();
  EXPECT_EQ(d.FileName, u"/tmp/a.txt");
  d.ShowOpen();  // cancelled
  EXPECT_EQ(d.FileName, u"");
  EXPECT_EQ(p.dialogs().fileDialogs[0], (MessageRecord{u"打开", u"文本文件 (*.TXT)|*.TXT"}));
}

TEST_F(PlatformTest, RichTextFilesRoundTripThroughTheBox) {
  RichTextBox& r = w().Rich1;
  r.setText(u"línea uno\r\nseňal");
  r.setSelStart(0);
  r.setSelLength(5);
  r.setSelColor(255);
  const auto file = dir.path() / "out.txt";
  r.SaveFile(file);
  r.setText(u"");
  int changes = 0;
  r.Change = [&] { ++changes; };
  r.LoadFile(file);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(r.text(), u"línea uno\r\nseňal");
  EXPECT_EQ(r.formatAt(4).colour, 255u);
  EXPECT_EQ(r.formatAt(5).colour, kWindowText);
  EXPECT_THROW(r.LoadFile(dir.path() / "missing.txt"), std::runtime_error);
}

TEST_F(PlatformTest, UnboundFlexGridHoldsItsOwnCells) {
  FlexGrid g(w(), "Grid1");
  EXPECT_EQ(g.Rows(), 2);
  g.setTextMatrix(1, 1, u"x");
  EXPECT_EQ(g.TextMatrix(1, 1), u"x");
  EXPECT_EQ(g.TextMatrix(5, 5), u"");
}

}  // namespace
}  // namespace zuvo
