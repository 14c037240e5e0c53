// The control and window model: Change only on a real change, nested and
// synchronous; caret and selection rules; formats of rich text; the window
// registry; user gestures on hidden, disabled and covered controls.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <stdexcept>
#include <utility>

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

// Colour and boldness set in one call leave the same formats as the two
// setters one after the other: over a selection across runs, and at a caret
// for what is written there next.
TEST_F(PlatformTest, ColourAndBoldAtOnceEqualTheTwoSettersInTurn) {
  RichTextBox& r = w().Rich1;
  auto run = [&](bool together) {
    r.setText(u"");
    r.setText(u"abcdefgh");
    r.setSelStart(2);
    r.setSelLength(3);
    r.setSelColor(192);  // a run of another colour under part of the selection
    r.setSelStart(1);
    r.setSelLength(5);
    if (together) {
      r.setSelColorBold(255, true);
    } else {
      r.setSelColor(255);
      r.setSelBold(true);
    }
    r.setSelStart(6);
    if (together) {
      r.setSelColorBold(kWindowText, false);
    } else {
      r.setSelColor(kWindowText);
      r.setSelBold(false);
    }
    r.setSelText(u"XY");
    return r.formats();
  };
  const FormatRuns inTurn = run(false);
  const FormatRuns atOnce = run(true);
  EXPECT_EQ(atOnce, inTurn);
  EXPECT_EQ(r.text(), u"abcdefXYgh");
  EXPECT_EQ(r.formatAt(5).colour, 255u);
  EXPECT_TRUE(r.formatAt(5).bold);
  EXPECT_EQ(r.formatAt(6).colour, kWindowText);
  EXPECT_FALSE(r.formatAt(6).bold);
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

TEST_F(PlatformTest, HidingTheFocusedControlMovesTheFocusToTheNextTabStop) {
  w().Show();
  w().Text2.SetFocus();
  w().log.clear();
  p.event([&] { w().Text2.Visible = false; });
  EXPECT_TRUE(w().Rich1.hasFocus());  // the next in tab order after Text2
  p.event([&] {
    w().Rich1.Enabled = false;
    w().Cover.Visible = false;
  });
  EXPECT_TRUE(w().Command1.hasFocus());
  p.event([&] { w().Command1.Visible = false; });
  EXPECT_TRUE(w().Text1.hasFocus());  // none after it: round to the first
  EXPECT_EQ(w().log, u"+T1");
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

// A key presses a button as a key: its key events and Click, never its
// mouse events; a handler of the key that hides the button takes the press.
TEST_F(PlatformTest, AButtonPressedByAKeyRunsItsKeyEventsAndClickAndNoMouseEvent) {
  w().Show();
  CommandButton& b = w().Command1;
  Text seen;
  b.MouseDown = [&](int, int, float, float) { seen += u"down"; };
  b.MouseUp = [&](int, int, float, float) { seen += u"up"; };
  b.KeyDown = [&](int& code, int) { seen += u"d" + NumText(code); };
  b.KeyPress = [&](int& ascii) { seen += u"p" + NumText(ascii); };
  b.KeyUp = [&](int& code, int) { seen += u"u" + NumText(code); };
  struct Case {
    int key;
    const char16_t* seen;
  };
  for (const Case& c : {Case{' ', u"d32p32u32C1T1(clicked)"}, Case{kKeyReturn, u"d13p13u13C1T1(clicked)"},
                        Case{0, u"C1T1(clicked)"}}) {
    w().Text1.setText(u"");
    b.SetFocus();
    seen.clear();
    w().log.clear();
    ASSERT_TRUE(p.user().pressButton(b, c.key));
    EXPECT_EQ(seen + w().log, c.seen) << c.key;
  }
  b.KeyDown = [&](int&, int) { b.Visible = false; };
  w().log.clear();
  ASSERT_TRUE(p.user().pressButton(b, ' '));
  EXPECT_EQ(w().log.find(u"C1"), Text::npos);
}

// Text an input method commits lands in its box, and the focus stays where
// it went meanwhile.
TEST_F(PlatformTest, ComposedTextIsTypedIntoItsBoxAndLeavesTheFocusAlone) {
  w().Show();
  w().Text1.setText(u"ab");
  w().Text1.setSelStart(1);
  w().Text2.SetFocus();
  w().log.clear();
  ASSERT_TRUE(p.user().typeComposed(w().Text1, u"说"));
  EXPECT_EQ(w().Text1.text(), u"a说b");
  EXPECT_TRUE(w().Text2.hasFocus());
  EXPECT_EQ(w().log, u"T1(a说b)");
  w().Text1.Visible = false;
  EXPECT_FALSE(p.user().typeComposed(w().Text1, u"x"));
}

// --- gestures one input event at a time, as the desktop sends them -------------

TEST_F(PlatformTest, PressDragAndReleaseSelectAndClickOnlyWhenReleasedOverTheControl) {
  w().Show();
  TextBox& t = w().Text2;
  t.setText(u"uno dos tres");
  Text seen;
  t.MouseDown = [&](int b, int s, float x, float y) {
    seen += u"down" + NumText(b) + u"/" + NumText(s) + u"@" + NumText(x) + u"," + NumText(y) + u"[" +
            NumText(t.SelStart()) + u"]";
  };
  t.MouseUp = [&](int b, int, float, float) { seen += u"up" + NumText(b) + u"[" + t.SelText() + u"]"; };
  t.Click = [&] { seen += u"click"; };
  t.DblClick = [&] { seen += u"dbl[" + t.SelText() + u"]"; };
  User& u = p.user();
  const User::Mouse left{1, 0, 30, 45};

  // A drag forward, then one backward from a new press.
  ASSERT_TRUE(u.mouseDown(t, left, 4));
  ASSERT_TRUE(u.mouseMove(t, left, 6));
  EXPECT_EQ(t.SelText(), u"do");
  ASSERT_TRUE(u.mouseUp(t, left, 7));
  EXPECT_EQ(seen, u"down1/0@30,45[4]up1[dos]click");
  seen.clear();
  ASSERT_TRUE(u.mouseDown(t, left, 7));
  ASSERT_TRUE(u.mouseUp(t, left, 0));
  EXPECT_EQ(t.SelStart(), 0);
  EXPECT_EQ(t.SelText(), u"uno dos");
  // Shift with a press extends the selection from its anchor.
  ASSERT_TRUE(u.mouseDown(t, {1, kShiftMask, 30, 45}, 12));
  EXPECT_EQ(t.SelText(), u" tres");

  // Released outside the box, or with the right button: no Click.
  seen.clear();
  ASSERT_TRUE(u.mouseDown(t, left, 2));
  ASSERT_TRUE(u.mouseUp(t, {1, 0, t.Width + 10, 45}, 2));
  ASSERT_TRUE(u.mouseDown(t, {2, 0, 30, 45}, 2));
  ASSERT_TRUE(u.mouseUp(t, {2, 0, 30, 45}, 2));
  EXPECT_EQ(seen, u"down1/0@30,45[2]up1[]down2/0@30,45[2]up2[]");

  // A double click: the second press selects the word, its release clicks nothing.
  seen.clear();
  ASSERT_TRUE(u.mouseDown(t, left, 5));
  ASSERT_TRUE(u.mouseUp(t, left, 5));
  ASSERT_TRUE(u.mouseDoubleClick(t, left, 5));
  ASSERT_TRUE(u.mouseMove(t, left, 6));
  ASSERT_TRUE(u.mouseUp(t, left, 6));
  EXPECT_EQ(seen, u"down1/0@30,45[5]up1[]clickdown1/0@30,45[4]dbl[dos]up1[dos]");

  // Gestures on a hidden box do nothing.
  t.Visible = false;
  EXPECT_FALSE(u.mouseDown(t, left, 1));
  EXPECT_FALSE(u.mouseUp(t, left, 1));
}

TEST_F(PlatformTest, AMoveWithoutAHandlerOrASelectionIsNoEvent) {
  w().Show();
  int events = 0;
  p.app().afterEvent = [&] { ++events; };
  TextBox& t = w().Text1;
  ASSERT_TRUE(p.user().mouseMove(t, {0, 0, 10, 10}));
  EXPECT_EQ(events, 0);
  Text seen;
  t.MouseMove = [&](int b, int, float x, float) { seen += NumText(b) + u"@" + NumText(x); };
  ASSERT_TRUE(p.user().mouseMove(t, {0, 0, 10, 10}));
  EXPECT_EQ(seen, u"0@10");
  EXPECT_EQ(events, 1);
  p.app().afterEvent = nullptr;
}

TEST_F(PlatformTest, NavigationKeysMoveTheCaretOrExtendTheSelectionFromItsAnchor) {
  w().Show();
  TextBox& t = w().Text1;
  t.setText(u"hello world");
  Text keys;
  t.KeyDown = [&](int& code, int shift) { keys += u"d" + NumText(code) + u"/" + NumText(shift); };
  t.KeyUp = [&](int& code, int) { keys += u"u" + NumText(code); };
  struct Step {
    int key, shift;
    int64_t to;
    int64_t selStart, selLength;
  };
  const Step steps[] = {
      {kKeyRight, 0, 5, 5, 0},
      {kKeyLeft, kShiftMask, 3, 3, 2},   // anchor at 5
      {kKeyHome, kShiftMask, 0, 0, 5},
      {kKeyRight, kShiftMask, 8, 5, 3},  // crosses the anchor
      {kKeyDown, 0, 11, 11, 0},          // the view's layout decides where Down goes
      {kKeyUp, kShiftMask, 99, 11, 0},   // clamped at the end
  };
  for (const Step& s : steps) {
    ASSERT_TRUE(p.user().navigate(t, s.key, s.shift, s.to));
    EXPECT_EQ(t.SelStart(), s.selStart) << "to " << s.to;
    EXPECT_EQ(t.SelLength(), s.selLength) << "to " << s.to;
  }
  EXPECT_EQ(keys.substr(0, 17), u"d39/0u39d37/1u37d");
  EXPECT_TRUE(t.hasFocus());
}

// A table of three rows for grids.
class ThreeRows : public GridSource {
 public:
  int64_t gridRows() override { return 3; }
  int64_t gridCols() override { return 1; }
  Text gridCell(int64_t row, int64_t) override { return u"row" + NumText(row); }
  TextView gridCellView(int64_t, int64_t) override { return u"row"; }
  int64_t gridColumn(const Text& field) override { return field == u"字段1" ? 0 : -1; }
};

TEST_F(PlatformTest, GridsMoveTheirRowByClickAndKeyAndTakeTypedKeysWithoutWriting) {
  ThreeRows rows;
  DataGrid g(w(), "Grid1");
  g.Left = 100, g.Top = 2500, g.Width = 3000, g.Height = 1500;
  g.bind(&rows);
  g.DataField = u"字段1";
  w().Show();
  Text seen;
  g.RowColChange = [&] { seen += u"row" + NumText(g.Row()); };
  g.Click = [&] { seen += u"click"; };
  g.KeyPress = [&](int& ascii) { seen += u"key" + NumText(ascii); };
  ASSERT_TRUE(p.user().mouseDown(g, {1, 0, 50, 400}, 2));
  ASSERT_TRUE(p.user().mouseUp(g, {1, 0, 50, 400}));
  ASSERT_TRUE(p.user().navigate(g, kKeyDown, 0, 7));  // past the last row: stays on it
  ASSERT_TRUE(p.user().navigate(g, kKeyUp, 0, 1));
  ASSERT_TRUE(p.user().typeKeys(g, u"ab"));
  EXPECT_EQ(seen, u"row2clickrow1key97key98");
  EXPECT_TRUE(g.hasFocus());
  EXPECT_EQ(g.cell(1), u"row1");
  EXPECT_FALSE(p.user().type(g, u"x"));  // not a text box
}

TEST_F(PlatformTest, TabFollowsTheTabOrderOverControlsThatCanTakeTheFocus) {
  w().Show();
  // Command1 comes first in tab order; Text2 and Cover are hidden, Label1
  // takes no focus.
  w().Command1.TabIndex = 0;
  w().Text2.Visible = false;
  w().Text1.SetFocus();
  std::vector<const Control*> seen;
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(p.user().tab(w()));
    seen.push_back(w().focused());
  }
  const std::vector<const Control*> forward = {&w().Rich1, &w().Command1, &w().Text1};
  EXPECT_EQ(seen, forward);
  ASSERT_TRUE(p.user().tab(w(), true));
  EXPECT_EQ(w().focused(), &w().Command1);
  w().Hide();
  EXPECT_FALSE(p.user().tab(w()));
}

// The screen tells which controls would show the focus: Tab passes over the
// others both ways, yet goes on from the focused control even when it is one.
TEST_F(PlatformTest, TabPassesOverControlsTheScreenCannotShowTheFocusOn) {
  w().Show();
  w().Command1.TabIndex = 0;
  w().Text2.Visible = false;
  w().Text1.SetFocus();
  const auto seen = [&](const Control& c) { return &c != &w().Rich1; };
  ASSERT_TRUE(p.user().tab(w(), false, seen));
  EXPECT_EQ(w().focused(), &w().Command1);
  ASSERT_TRUE(p.user().tab(w(), true, seen));
  EXPECT_EQ(w().focused(), &w().Text1);
  w().Rich1.SetFocus();
  ASSERT_TRUE(p.user().tab(w(), false, seen));
  EXPECT_EQ(w().focused(), &w().Command1);
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


// --- a failed save -------------------------------------------------------------

// A store in miniature: a write marks the event a save, and its commit can
// be made to fail as a full disk fails it.
struct FakeStore : Pending {
  explicit FakeStore(Application& app) : app(app) { app.addPending(*this); }
  ~FakeStore() override { app.removePending(*this); }
  bool commit() override {
    if (failCommit) throw std::runtime_error("disk I/O error");
    return std::exchange(wrote, false);
  }
  void savePending() override {}
  void rollback() override { wrote = false; }
  void write() {
    app.eventSaves();
    wrote = true;
  }
  Application& app;
  bool wrote = false;
  bool failCommit = false;
};

class FailedSaveTest : public PlatformTest {
 protected:
  // Changes every kind of state a user sees, each through the platform's own
  // writes, as a save handler switches the window before its store fails.
  void switchTheWindow() {
    Probe& pr = w();
    pr.Text1.setText(u"typed");
    pr.Text1.setSelStart(2);
    pr.Rich1.setText(u"rich text");
    pr.Rich1.setSelStart(5);
    pr.Rich1.setSelLength(4);
    pr.Rich1.setSelColorBold(255, true);
    pr.Rich1.setSelText(u"words");
    pr.Label1.setCaption(u"changed");
    pr.Command1.Caption = u"保—存";
    pr.Command1.Enabled = false;
    pr.Text2.Visible = false;
    pr.Text2.Move(1, 2, 3, 4);
    pr.Text2.BackColor = 255;
    pr.Label1.ZOrder(1);
    pr.Rich1.SetFocus();
  }
  FakeStore store{p.app()};
};

TEST_F(FailedSaveTest, EveryChangeOfAFailedSaveIsPutBackWithoutAnyHandlerRunning) {
  struct Case {
    const char* name;
    std::function<void(FakeStore&)> fail;  // after the window has been switched
  };
  for (const Case& c : {Case{"a write that throws", [](FakeStore& s) {
                               s.write();
                               throw std::runtime_error("database or disk is full");
                             }},
                        Case{"a commit that fails at the end of the event", [](FakeStore& s) {
                               s.write();
                               s.failCommit = true;
                             }},
                        Case{"a save that fails before it writes", [](FakeStore&) {
                               throw SaveFailed("批量添加失败，未存入任何记录");
                             }}}) {
    SCOPED_TRACE(c.name);
    w().Text1.SetFocus();
    const testing::WindowState before = testing::windowState(p.app());
    const size_t messages = p.dialogs().messages.size();
    Text logged;
    p.event([&] {
      switchTheWindow();
      logged = w().log;
      c.fail(store);
    });
    store.failCommit = false;
    EXPECT_EQ(testing::differences(before, testing::windowState(p.app())), "");
    EXPECT_EQ(w().log, logged);  // nothing ran as the window went back
    ASSERT_EQ(p.dialogs().messages.size(), messages + 1);
    w().log.clear();
  }
}

TEST_F(FailedSaveTest, AFailureOfAnEventThatSavedNothingLeavesTheWindowAsTheEventLeftIt) {
  p.event([&] {
    switchTheWindow();
    throw std::runtime_error("database table is locked");
  });
  EXPECT_EQ(w().Text1.text(), u"typed");
  EXPECT_EQ(w().Command1.Caption, u"保—存");
  EXPECT_EQ(w().focused(), &w().Rich1);
  // Told in Chinese, the failure's own words as a detail.
  const Text& told = p.dialogs().messages.back().prompt;
  EXPECT_EQ(told.rfind(u"程序出错", 0), 0u) << toUtf8(told);
  EXPECT_NE(told.find(u"（database table is locked）"), Text::npos) << toUtf8(told);
}

// What an event saved before its message box stands; a failure after it puts
// back only what followed. A message box before anything was written keeps
// the whole event to put back.
TEST_F(FailedSaveTest, AMessageBoxKeepsWhatWasSavedBeforeItAndTheRestGoesBack) {
  for (bool wroteFirst : {true, false}) {
    SCOPED_TRACE(wroteFirst ? "written before the message" : "nothing written before the message");
    p.event([&] { w().Text1.setText(u"start"); });
    p.event([&] {
      w().Text1.setText(u"saved");
      if (wroteFirst) store.write();
      p.app().msgBox(u"消息", u" ZORVEK");
      w().Text1.setText(u"lost");
      store.write();
      throw std::runtime_error("disk I/O error");
    });
    EXPECT_EQ(w().Text1.text(), wroteFirst ? u"saved" : u"start");
  }
}

// A window the failed event loaded stays loaded as it loaded, and what the
// event did to it afterwards goes back; the next event finds it whole.
TEST_F(FailedSaveTest, AWindowLoadedByAFailedSaveKeepsItsLoadedState) {
  p.event([&] {
    store.write();
    Counted& c = p.form<Counted>();
    c.Text1.setText(u"changed");
    c.Show();
    throw std::runtime_error("disk I/O error");
  });
  ASSERT_TRUE(p.app().isLoaded<Counted>());
  EXPECT_EQ(p.form<Counted>().Text1.text(), u"loaded");
  EXPECT_FALSE(p.form<Counted>().Visible());
  EXPECT_EQ(p.form<Counted>().controls().size(), 1u);
  EXPECT_TRUE(p.event([&] { p.form<Counted>().Text1.setText(u"again"); }));
}

}  // namespace
}  // namespace zuvo
