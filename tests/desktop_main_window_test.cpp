// The desktop front end on Qt's offscreen platform: the main window as the
// program starts it, controls at their pixel places, keys, the input method,
// the mouse and Tab reaching the model, real message boxes, the progress bar
// inside a long event, the help window's grid and close button, and a
// screenshot of the main window.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGlyphRun>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRawFont>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QTreeView>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

#include "app/FrmLexaro.h"
#include "desktop/box_view.h"
#include "desktop/control_views.h"
#include "desktop/grid_view.h"
#include "store/seed.h"
#include "support/desktop_support.h"
#include "support/dictionary.h"
#include "tools/usage_help.h"

namespace zuvo::desktop {
namespace {

using zuvo::testing::DesktopTest;
using zuvo::testing::qt;
using zuvo::testing::TempDir;

const Text kCaption = u"  PELUR-Orvando V.1.0  注：本速查软件所需全部词句将由使用者自己添加，开放式数据库。  ";

std::vector<QString> shippedHelpLines() {
  std::ifstream in(shippedDataDir() / "SMK0.tsv", std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  std::vector<QString> lines;
  for (const auto& row : parseSeed(ss.str()).rows) lines.push_back(toQString(row.at(0).value_or(Text())));
  return lines;
}

// Counts the paint events a widget gets.
class PaintCounter : public QObject {
 public:
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

class DesktopMainWindowTest : public DesktopTest {
 protected:
  static void SetUpTestSuite() { qt(); }

  void SetUp() override {
    startDesktop(dir.path());
    main = &d->app().form<FrmLexaro>();
    view = d->viewOf(*main);
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(view->isVisible());
  }

  BoxView& box(const Control& c) const { return *static_cast<BoxView*>(widget(c)); }
  // Runs code as one user event, as a handler would.
  void event(const std::function<void()>& body) { d->app().event(body); }
  // The pixel rectangle of twips at the view's scale.
  QRect pixels(float left, float top, float width, float height) const {
    return view->scale().rect(left, top, width, height);
  }
  // Opens the help window as the main window's help button does.
  Frm说明1& openHelp() {
    Frm说明1* w = nullptr;
    event([&] {
      main->Command15.Caption = u"关闭";
      w = &d->app().form<Frm说明1>();
      w->Show();
    });
    return *w;
  }
  QPoint caretPoint(BoxView& b, int viewPos) const {
    QTextCursor c(b.document());
    c.setPosition(viewPos);
    return b.cursorRect(c).center() + QPoint(1, 0);
  }

  FrmLexaro* main = nullptr;
};

TEST_F(DesktopMainWindowTest, StartsWithTheCaptionFormLoadSetsAndControlsAtTheirPixelPlaces) {
  EXPECT_EQ(view->windowTitle(), toQString(kCaption));
  ASSERT_EQ(view->logicalDpiX(), 96);
  EXPECT_EQ(view->size(), QSize(661, 409));  // 9915 × 6135 twips

  struct Case {
    const Control& c;
    QRect at96;
    QString caption;
  };
  const Case cases[] = {
      {main->Command11, {15, 14, 53, 28}, "PLT"},
      {main->Command17, {557, 14, 89, 28}, "范围查询"},
      {main->Label1, {80, 20, 75, 18}, "输入内容:"},
      {main->Command21, {529, 354, 119, 28}, "〖 退出(&X) 〗"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.c.name());
    QWidget* w = widget(k.c);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->geometry(), k.at96);
    EXPECT_EQ(w->geometry(), pixels(k.c.Left, k.c.Top, k.c.Width, k.c.Height));
    if (auto* b = dynamic_cast<QPushButton*>(w)) {
      EXPECT_EQ(b->text(), k.caption);
    } else {
      ASSERT_NE(dynamic_cast<LabelView*>(w), nullptr);
      EXPECT_EQ(static_cast<LabelView*>(w)->caption(), k.caption);
    }
  }
  // The access key is Qt's mnemonic: Alt+X is the exit button's shortcut.
  EXPECT_EQ(QKeySequence::mnemonic(static_cast<QPushButton*>(widget(main->Command21))->text()),
            QKeySequence(Qt::ALT | Qt::Key_X));
  // Hidden and disabled controls look so.
  EXPECT_FALSE(widget(main->Command15)->isVisible());
  EXPECT_TRUE(widget(main->Command7)->isVisible());
  EXPECT_FALSE(widget(main->Command7)->isEnabled());
  // The input box stands above its green frame, the labels behind the boxes.
  const auto order = view->children();
  EXPECT_GT(order.indexOf(widget(main->RichTextBox16)), order.indexOf(widget(main->Text120)));
  EXPECT_LT(order.indexOf(widget(main->Label7)), order.indexOf(widget(main->RichTextBox16)));
}

TEST_F(DesktopMainWindowTest, ColoursFontsAndTheStatusBarFollowTheModel) {
  // BGR values and system colours through the palette.
  EXPECT_EQ(box(main->RichTextBox16).palette().color(QPalette::Base), QColor(0xC0, 0xFF, 0xC0));
  auto* label7 = static_cast<LabelView*>(widget(main->Label7));
  EXPECT_EQ(label7->backColour(), QColor(0x00, 0x80, 0x80));
  EXPECT_EQ(label7->foreColour(), view->palette().color(QPalette::HighlightedText));
  EXPECT_EQ(static_cast<LabelView*>(widget(main->Label1))->backColour(), view->palette().color(QPalette::Button));
  // 宋体 is drawn by an installed font that has the Chinese characters.
  const QFont f = widget(main->Label1)->font();
  EXPECT_EQ(f.pointSizeF(), 12);
  QTextLayout chinese(QString::fromUtf8("输入"), f);
  chinese.beginLayout();
  chinese.createLine();
  chinese.endLayout();
  for (const QGlyphRun& run : chinese.glyphRuns()) {
    const QString family = run.rawFont().familyName();
    EXPECT_TRUE(QFontDatabase::writingSystems(family).contains(QFontDatabase::SimplifiedChinese))
        << family.toStdString();
  }
  EXPECT_TRUE(QFontMetrics(f).inFont(QChar(u'输')));
  // The status bar shows today's date and the time.
  auto* status = static_cast<StatusView*>(widget(main->StatusBar1));
  EXPECT_TRUE(status->isVisible());
  EXPECT_TRUE(status->shownText().startsWith(QDate::currentDate().toString("yyyy-MM-dd")));

  // A rich-text box shows per-character colours, boldness and sizes.
  event([&] {
    RichTextBox& pane = main->RichTextBox13;
    pane.setText(u"uno\r\ndos");
    pane.setSelStart(5);
    pane.setSelLength(3);
    pane.setSelColor(255);
    pane.setSelBold(true);
    pane.setSelFontSize(16);
  });
  BoxView& pane = box(main->RichTextBox13);
  EXPECT_EQ(pane.toPlainText(), "uno\ndos");
  auto formatAt = [&](int viewPos) {
    QTextCursor c(pane.document());
    c.setPosition(viewPos);
    return c.charFormat();
  };
  EXPECT_EQ(formatAt(6).foreground().color(), QColor(255, 0, 0));
  EXPECT_EQ(formatAt(6).fontWeight(), QFont::Bold);
  EXPECT_EQ(formatAt(6).fontPointSize(), 16);
  EXPECT_NE(formatAt(2).foreground().color(), QColor(255, 0, 0));
  EXPECT_EQ(formatAt(2).fontWeight(), QFont::Normal);
}

TEST_F(DesktopMainWindowTest, TypedKeysAndTheInputMethodReachTheInputBox) {
  RichTextBox& input = main->RichTextBox16;
  BoxView& w = box(input);
  ASSERT_TRUE(input.hasFocus());
  EXPECT_EQ(view->focusWidget(), &w);

  QTest::keyClicks(&w, "hola");
  EXPECT_EQ(input.text(), u"hola");
  EXPECT_EQ(w.toPlainText(), "hola");
  // ñ and Ñ from the keyboard are written ň.
  for (QString key : {QString::fromUtf8("ñ"), QString::fromUtf8("Ñ")}) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Ntilde, Qt::NoModifier, key);
    QApplication::sendEvent(&w, &press);
  }
  EXPECT_EQ(input.text(), u"holaňň");
  // Text the input method commits; its composition shows without entering the model.
  QInputMethodEvent composing("ni", {});
  QApplication::sendEvent(&w, &composing);
  EXPECT_EQ(input.text(), u"holaňň");
  QInputMethodEvent commit;
  commit.setCommitString("你好");
  QApplication::sendEvent(&w, &commit);
  EXPECT_EQ(input.text(), u"holaňň你好");
  EXPECT_EQ(w.toPlainText(), "holaňň你好");

  // Editing keys go to the model, which moves the caret and deletes.
  struct Step {
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    const char16_t* text;
    int64_t selStart, selLength;
  };
  const Step steps[] = {
      {Qt::Key_Home, Qt::NoModifier, u"holaňň你好", 0, 0},
      {Qt::Key_Right, Qt::NoModifier, u"holaňň你好", 1, 0},
      {Qt::Key_Right, Qt::ShiftModifier, u"holaňň你好", 1, 1},
      {Qt::Key_Right, Qt::ShiftModifier, u"holaňň你好", 1, 2},
      {Qt::Key_Backspace, Qt::NoModifier, u"haňň你好", 1, 0},
      {Qt::Key_Delete, Qt::NoModifier, u"hňň你好", 1, 0},
      {Qt::Key_End, Qt::ShiftModifier, u"hňň你好", 1, 4},
      {Qt::Key_Left, Qt::NoModifier, u"hňň你好", 1, 0},
  };
  for (const Step& s : steps) {
    QTest::keyClick(&w, s.key, s.mods);
    EXPECT_EQ(input.text(), s.text) << "key " << s.key;
    EXPECT_EQ(input.SelStart(), s.selStart) << "key " << s.key;
    EXPECT_EQ(input.SelLength(), s.selLength) << "key " << s.key;
    EXPECT_EQ(w.textCursor().selectionStart(), w.viewPos(input.SelStart()));
    EXPECT_EQ(w.textCursor().selectionEnd(), w.viewPos(input.SelStart() + input.SelLength()));
  }
  // Cut and paste through the clipboard.
  QTest::keyClick(&w, Qt::Key_End, Qt::ShiftModifier);
  QTest::keyClick(&w, Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(input.text(), u"h");
  EXPECT_EQ(QApplication::clipboard()->text(), "ňň你好");
  QTest::keyClick(&w, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(input.text(), u"hňň你好");
}

// A pasted run of digits has no place for a word wrap; Qt's word wrap over
// such a run takes time quadratic in its length (a 300,000-digit paste froze
// the window for 20 s), so every box showing it breaks it anywhere, and goes
// back to word wrap for ordinary text.
TEST_F(DesktopMainWindowTest, ALongPastedRunOfDigitsIsShownBrokenAnywhere) {
  RichTextBox& input = main->RichTextBox16;
  BoxView& w = box(input);
  const QString digits(20'000, QChar(u'7'));
  QApplication::clipboard()->setText(digits);
  QTest::keyClick(&w, Qt::Key_V, Qt::ControlModifier);
  ASSERT_EQ(input.text(), fromQString(digits));
  EXPECT_EQ(w.toPlainText(), digits);
  int showing = 0;
  for (BoxView* b : view->findChildren<BoxView*>()) {
    if (!b->toPlainText().contains(digits)) continue;
    ++showing;
    EXPECT_EQ(b->wordWrapMode(), QTextOption::WrapAnywhere) << b->objectName().toStdString();
  }
  EXPECT_GE(showing, 1);
  event([&] { input.setText(u"hola mundo"); });
  EXPECT_EQ(w.toPlainText(), "hola mundo");
  EXPECT_EQ(w.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
}

// A pane with thousands of coloured words (a long sentence holding the
// input many times) is painted in one edit of its document: laid out once,
// not once per coloured run, which took a minute a keystroke.
TEST_F(DesktopMainWindowTest, APaneWithThousandsOfColouredWordsIsLaidOutOnce) {
  RichTextBox& pane = main->RichTextBox13;
  BoxView& w = box(pane);
  Text text;
  for (int i = 0; i < 3000; ++i) text += u"frase larga ";
  int changes = 0;
  QObject::connect(w.document(), &QTextDocument::contentsChange, [&](int, int, int) { ++changes; });
  event([&] {
    pane.setText(text);
    for (int64_t i = 0; i < 3000; ++i) {
      pane.setSelStart(i * 12 + 6);
      pane.setSelLength(5);
      pane.setSelColor(0x0000FF);
    }
    pane.setSelStart(0);
  });
  EXPECT_EQ(w.toPlainText(), toQString(text));
  EXPECT_LE(changes, 5);  // the text, its formats and the margins, not one a run
  QTextCursor c(w.document());
  c.setPosition(6 + 12 * 2999 + 1);
  EXPECT_EQ(c.charFormat().foreground().color(), QColor(Qt::red));
  c.setPosition(12 * 2999 + 1);
  EXPECT_NE(c.charFormat().foreground().color(), QColor(Qt::red));
}

TEST_F(DesktopMainWindowTest, CtrlWithALetterReachesTheModelAndNoQtShortcut) {
  RichTextBox& input = main->RichTextBox16;
  BoxView& w = box(input);
  std::vector<std::pair<int, int>> keyUps;
  auto theirs = input.KeyUp;
  input.KeyUp = [&, theirs](int& code, int shift) {
    keyUps.emplace_back(code, shift);
    if (theirs) theirs(code, shift);
  };
  // A shortcut of the window on the same keys never fires while typing.
  int shortcuts = 0;
  QShortcut selectAll(QKeySequence(Qt::CTRL | Qt::Key_A), view);
  QObject::connect(&selectAll, &QShortcut::activated, [&] { ++shortcuts; });

  QTest::keyClicks(&w, "abc");
  for (Qt::Key k : {Qt::Key_A, Qt::Key_E, Qt::Key_I, Qt::Key_N, Qt::Key_O, Qt::Key_P, Qt::Key_U}) {
    keyUps.clear();
    QTest::keyClick(&w, k, Qt::ControlModifier);
    const int code = 'A' + (k - Qt::Key_A);
    EXPECT_NE(std::find(keyUps.begin(), keyUps.end(), std::pair{code, kCtrlMask}), keyUps.end()) << char(code);
  }
  EXPECT_EQ(shortcuts, 0);
  // Qt's own select-all did not run: the view shows the model's selection.
  EXPECT_EQ(w.textCursor().selectionStart(), w.viewPos(input.SelStart()));
  EXPECT_EQ(w.textCursor().selectionEnd(), w.viewPos(input.SelStart() + input.SelLength()));

  // Ctrl held for a letter and let go: its own release reaches the box after
  // the letter's, with Ctrl no longer in the shift state.
  keyUps.clear();
  QTest::keyClick(&w, Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(keyUps, (std::vector<std::pair<int, int>>{{'N', kCtrlMask}, {kKeyControl, 0}}));
  input.KeyUp = theirs;
}

TEST_F(DesktopMainWindowTest, MouseClicksDragsAndDoubleClicksSelectInTheModel) {
  event([&] { main->RichTextBox13.setText(u"uno dos tres"); });
  BoxView& pane = box(main->RichTextBox13);
  ASSERT_TRUE(pane.isVisible());
  Text seen;
  main->RichTextBox13.Click = [&] { seen += u"click"; };
  main->RichTextBox13.DblClick = [&] { seen += u"dbl"; };
  main->RichTextBox13.MouseDown = [&](int button, int, float x, float y) {
    seen += u"down" + NumText(button);
    EXPECT_GT(x, 0);
    EXPECT_GT(y, 0);
  };

  QWidget* vp = pane.viewport();
  QTest::mouseClick(vp, Qt::LeftButton, {}, caretPoint(pane, 4));
  EXPECT_TRUE(main->RichTextBox13.hasFocus());
  EXPECT_EQ(main->RichTextBox13.SelStart(), 4);
  EXPECT_EQ(view->focusWidget(), &pane);

  QTest::mousePress(vp, Qt::LeftButton, {}, caretPoint(pane, 0));
  QTest::mouseMove(vp, caretPoint(pane, 2));
  QTest::mouseRelease(vp, Qt::LeftButton, {}, caretPoint(pane, 3));
  EXPECT_EQ(main->RichTextBox13.SelText(), u"uno");

  seen.clear();
  QTest::mouseDClick(vp, Qt::LeftButton, {}, caretPoint(pane, 5));
  EXPECT_EQ(main->RichTextBox13.SelText(), u"dos");
  EXPECT_EQ(pane.textCursor().selectedText(), "dos");
  EXPECT_NE(seen.find(u"dbl"), Text::npos);
  main->RichTextBox13.Click = nullptr;
  main->RichTextBox13.DblClick = nullptr;
  main->RichTextBox13.MouseDown = nullptr;
}

// A click on a word of the lower pane and the step buttons' access keys,
// through the real window over a small dictionary.
TEST(DesktopMainWindowEvents, AClickOnAPaneWordLooksItUpAndAltZStepsToTheNextPair) {
  qt();
  TempDir dir;
  zuvo::testing::writeDictionary(dir.path(), {{u"我们在家。", u"hablamos en casa"}, {u"狗。", u"el perro"}}, {},
                                 {{u"casa", u"casa", u"房子", u"una casa"}});
  {
    Desktop d(dir.path());
    d.start();
    FrmLexaro& m = d.app().form<FrmLexaro>();
    WindowView* v = d.viewOf(m);
    ASSERT_NE(v, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(v));
    auto& pane = *static_cast<BoxView*>(v->widgetFor(m.RichTextBox7));
    QTextCursor c(pane.document());
    c.setPosition(pane.viewPos(14));
    QTest::mouseClick(pane.viewport(), Qt::LeftButton, {}, pane.cursorRect(c).center() + QPoint(1, 0));
    EXPECT_EQ(m.RichTextBox16.text(), u" casa");
    EXPECT_TRUE(m.Text112.Visible);
    EXPECT_EQ(m.RichTextBox15.text(), u"房子");
    EXPECT_TRUE(v->widgetFor(m.Text112)->isVisible());

    ASSERT_TRUE(d.user().click(m.Command20));
    auto& input = *static_cast<BoxView*>(v->widgetFor(m.RichTextBox16));
    QTest::keyClick(&input, Qt::Key_Z, Qt::AltModifier);
    EXPECT_EQ(m.Text2.text(), u"狗。");
    EXPECT_EQ(pane.toPlainText(), "el perro");
    QTest::keyClick(&input, Qt::Key_A, Qt::AltModifier);
    EXPECT_EQ(m.Text2.text(), u"我们在家。");
    EXPECT_TRUE(m.RichTextBox16.hasFocus());
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A pane of a few thousand coloured lines, as a range result leaves it:
// every line's Chinese part dark blue, its last word red and bold. The view
// shows each run's colour and weight where the model has it, after a small
// later change and after one over the whole text.
TEST_F(DesktopMainWindowTest, ALargeColouredPaneShowsEveryRunAndLaterChanges) {
  constexpr Colour kBlue = 0xC00000, kRed = 0xFF, kGreen = 0x8000;
  RichTextBox& pane = main->RichTextBox13;
  struct Line {
    int64_t start, chinese, word;  // where the line, its "/" and its last word start
  };
  std::vector<Line> lines;
  event([&] {
    Text t;
    for (int i = 0; i < 3000; ++i) {
      const Text n = NumText(i);
      Line l{Len(t), 0, 0};
      t += u"这是第" + n + u"个句子。";
      l.chinese = Len(t);
      t += u"/Esta es la frase número " + n + u". grupo3";
      l.word = Len(t) - 6;
      t += u"\r\n";
      lines.push_back(l);
    }
    pane.setText(t);
    for (const Line& l : lines) {
      pane.setSelStart(l.start);
      pane.setSelLength(l.chinese - l.start);
      pane.setSelColor(kBlue);
      pane.setSelStart(l.word);
      pane.setSelLength(6);
      pane.setSelColor(kRed);
      pane.setSelBold(true);
    }
    pane.setSelStart(0);
  });
  BoxView& w = box(pane);
  ASSERT_EQ(w.toPlainText().size(), w.viewPos(Len(pane.text())));
  // The format the view shows on the model's character at pos.
  auto shown = [&](int64_t pos) {
    QTextCursor c(w.document());
    c.setPosition(w.viewPos(pos) + 1);
    return c.charFormat();
  };
  auto expectShown = [&](int64_t pos, Colour colour, bool bold) {
    SCOPED_TRACE(pos);
    const QTextCharFormat f = shown(pos);
    EXPECT_EQ(f.foreground().color(), qcolour(colour, view->palette()));
    EXPECT_EQ(f.fontWeight(), bold ? QFont::Bold : QFont::Normal);
    EXPECT_EQ(pane.formatAt(pos).colour, colour);
  };
  const QColor plain = w.palette().color(QPalette::Text);
  for (const size_t i : {size_t{0}, size_t{1}, size_t{1500}, lines.size() - 1}) {
    const Line& l = lines[i];
    expectShown(l.start, kBlue, false);
    expectShown(l.chinese - 1, kBlue, false);
    EXPECT_EQ(shown(l.chinese).foreground().color(), plain);
    EXPECT_EQ(shown(l.word - 1).fontWeight(), QFont::Normal);
    expectShown(l.word, kRed, true);
    expectShown(l.word + 5, kRed, true);
  }
  // The first lines are painted with their red words.
  const QImage shot = w.viewport()->grab().toImage();
  const QColor red = qcolour(kRed, view->palette());
  int redPixels = 0;
  for (int y = 0; y < shot.height(); ++y)
    for (int x = 0; x < shot.width(); ++x) redPixels += shot.pixelColor(x, y) == red;
  EXPECT_GT(redPixels, 0);

  // One word of the last line green: the rest stays as it was.
  event([&] {
    pane.setSelStart(lines.back().word);
    pane.setSelLength(6);
    pane.setSelColor(kGreen);
    pane.setSelStart(0);
  });
  expectShown(lines.back().word, kGreen, true);
  expectShown(lines[lines.size() - 2].word, kRed, true);
  expectShown(lines.back().start, kBlue, false);

  // The whole text plain again but for the first line's Chinese part.
  event([&] {
    pane.setSelStart(0);
    pane.setSelLength(Len(pane.text()));
    pane.setSelColor(kWindowText);
    pane.setSelBold(false);
    pane.setSelStart(0);
    pane.setSelLength(lines[0].chinese);
    pane.setSelColor(kBlue);
    pane.setSelStart(0);
  });
  expectShown(lines[0].start, kBlue, false);
  for (const size_t i : {size_t{0}, size_t{1500}, lines.size() - 1}) {
    EXPECT_EQ(shown(lines[i].word).foreground().color(), plain);
    EXPECT_EQ(shown(lines[i].word).fontWeight(), QFont::Normal);
  }
  expectShown(lines[1].start, kWindowText, false);
  EXPECT_EQ(w.toPlainText().size(), w.viewPos(Len(pane.text())));
  EXPECT_EQ(w.textCursor().position(), 0);
}

TEST_F(DesktopMainWindowTest, TabMovesTheFocusInTheModelsTabOrder) {
  ASSERT_TRUE(main->RichTextBox16.hasFocus());
  QTest::keyClick(&box(main->RichTextBox16), Qt::Key_Tab);
  Control* next = main->focused();
  ASSERT_NE(next, &main->RichTextBox16);
  EXPECT_EQ(view->focusWidget(), widget(*next));
  QTest::keyClick(view->focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_TRUE(main->RichTextBox16.hasFocus());
  EXPECT_EQ(view->focusWidget(), widget(main->RichTextBox16));

  // From a button too; and when the focused control hides, the model (not
  // Qt) moves the focus on once, and the view follows.
  event([&] { main->Command21.SetFocus(); });
  ASSERT_EQ(view->focusWidget(), widget(main->Command21));
  QTest::keyClick(widget(main->Command21), Qt::Key_Tab);
  EXPECT_NE(main->focused(), &main->Command21);
  ASSERT_TRUE(QTest::qWaitForWindowActive(view));
  event([&] { main->Command17.SetFocus(); });
  ASSERT_EQ(QApplication::focusWidget(), widget(main->Command17));
  Text gotFocus;
  std::vector<std::function<void()>> theirs;
  for (Control* c : main->controls()) {
    theirs.push_back(c->GotFocus);
    c->GotFocus = [&gotFocus, c] { gotFocus += fromUtf8(c->name()); };
  }
  event([&] { main->Command17.Visible = false; });
  EXPECT_FALSE(widget(main->Command17)->isVisible());
  ASSERT_NE(main->focused(), &main->Command17);
  EXPECT_TRUE(main->focused()->reachable());
  EXPECT_EQ(gotFocus, fromUtf8(main->focused()->name()));
  EXPECT_EQ(QApplication::focusWidget(), widget(*main->focused()));
  for (size_t i = 0; i < theirs.size(); ++i) main->controls()[i]->GotFocus = theirs[i];
}

TEST_F(DesktopMainWindowTest, MessageBoxesAreModalWithOkOnlyNoIconAndTheTitle) {
  QString title, text, behind;
  QMessageBox::Icon icon = QMessageBox::Information;
  QMessageBox::StandardButtons buttons;
  QString ok;
  std::function<void()> answer = [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* m = qobject_cast<QMessageBox*>(w);
      if (!m || !m->isVisible()) continue;
      title = m->windowTitle();
      text = m->text();
      icon = m->icon();
      buttons = m->standardButtons();
      ok = m->button(QMessageBox::Ok)->text();
      behind = box(main->RichTextBox16).toPlainText();
      EXPECT_TRUE(m->isModal());
      m->button(QMessageBox::Ok)->click();
      return;
    }
    QTimer::singleShot(10, answer);
  };
  QTimer::singleShot(0, answer);
  event([&] {
    main->RichTextBox16.setText(u"antes");
    d->app().msgBox(u"请先输入内容", u" ZORVEK");
  });
  EXPECT_EQ(title, " ZORVEK");
  EXPECT_EQ(text, "请先输入内容");
  EXPECT_EQ(icon, QMessageBox::NoIcon);
  EXPECT_EQ(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  EXPECT_EQ(ok, "确定");  // Qt's own texts are in Chinese
  // What the handler wrote before the box shows behind it.
  EXPECT_EQ(behind, "antes");
}

TEST_F(DesktopMainWindowTest, FileDialogsShowTheTitleAndFilterAndACancelLeavesNoName) {
  struct Seen {
    QString title;
    QStringList filters;
    QStringList texts;  // the dialog's own labels and buttons
  };
  std::vector<Seen> seen;
  std::function<void()> cancel = [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* f = qobject_cast<QFileDialog*>(w);
      if (!f || !f->isVisible()) continue;
      QStringList texts;
      for (auto* l : f->findChildren<QLabel*>()) texts << l->text();
      for (auto* b : f->findChildren<QPushButton*>()) texts << b->text();
      seen.push_back({f->windowTitle(), f->nameFilters(), texts});
      f->reject();
      return;
    }
    QTimer::singleShot(10, cancel);
  };
  QTimer::singleShot(0, cancel);
  event([&] { main->CommonDialog1.ShowOpen(); });
  EXPECT_EQ(main->CommonDialog1.FileName, u"");
  QTimer::singleShot(0, cancel);
  event([&] { main->CommonDialog2.ShowSave(); });
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].title, "打开");
  EXPECT_EQ(seen[0].filters, QStringList{"文本文件 (*.TXT *.txt)"});
  EXPECT_EQ(seen[1].title, "另存为");
  EXPECT_EQ(seen[1].filters, QStringList{"文本文件 (*)"});
  // Qt's own texts of the dialogs are in Chinese.
  for (const Seen& s : seen) {
    SCOPED_TRACE(s.title.toStdString());
    EXPECT_TRUE(s.texts.contains("取消")) << s.texts.join("|").toStdString();
    EXPECT_FALSE(s.texts.contains("Cancel")) << s.texts.join("|").toStdString();
    EXPECT_TRUE(std::any_of(s.texts.begin(), s.texts.end(), [](const QString& t) { return t.startsWith("文件名"); }))
        << s.texts.join("|").toStdString();
  }
  EXPECT_TRUE(seen[0].texts.contains("打开(&O)")) << seen[0].texts.join("|").toStdString();
  EXPECT_TRUE(seen[1].texts.contains("保存(&S)")) << seen[1].texts.join("|").toStdString();
}

// The open dialog's size, type and date columns are wide enough for their
// longest text, and within the view, the first time the dialog shows a
// folder, once its files are read in: no "300...MiB" or "2026/12/11 09:0".
TEST_F(DesktopMainWindowTest, TheFileDialogsSizeTypeAndDateColumnsShowTheirTextsWholeAtTheFirstOpening) {
  TempDir files;
  const auto big = files.path() / "big.TXT";
  {
    std::ofstream(files.path() / "a.TXT") << "uno/one\r\n";
    std::ofstream(big).close();
    std::filesystem::resize_file(big, int64_t{300} << 20);  // sparse: no byte of it on the disk
  }
  const QDateTime modified(QDate(2026, 12, 11), QTime(9, 5));
  const timespec times[2] = {{modified.toSecsSinceEpoch(), 0}, {modified.toSecsSinceEpoch(), 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, big.c_str(), times, 0), 0);
  struct Column {
    int column;
    QString longest;
    QStringList texts;
    int width = 0, needed = 0, outside = 0;
  };
  std::vector<Column> columns = {{1, {}}, {2, {}}, {3, {}}};
  bool read = false;
  QElapsedTimer since;
  since.start();
  std::function<void()> look = [&] {
    QFileDialog* f = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* d = qobject_cast<QFileDialog*>(w); d && d->isVisible()) f = d;
    auto* list = f ? f->findChild<QTreeView*>() : nullptr;
    // As small as it opens on an X server's desktop.
    if (f && f->width() != 600) f->resize(600, 410);
    if (list) {
      const QAbstractItemModel* m = list->model();
      const QModelIndex root = list->rootIndex();
      // The folder is read in once both files have their size and date.
      read = m->rowCount(root) == 2;
      for (int r = 0; read && r < 2; ++r)
        read = !m->index(r, 1, root).data().toString().isEmpty() && !m->index(r, 3, root).data().toString().isEmpty();
      // What the view needs to draw a text unelided: the text and the item's margins.
      const int margins = 2 * (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1);
      bool whole = read;
      for (Column& c : columns) {
        c.needed = 0;
        c.texts.clear();
        for (int r = 0; read && r < 2; ++r) {
          const QString t = m->index(r, c.column, root).data().toString();
          c.texts << t;
          const int needed = list->fontMetrics().horizontalAdvance(t) + margins;
          if (needed > c.needed) c.needed = needed, c.longest = t;
        }
        c.width = list->header()->sectionSize(c.column);
        // and no part of it is scrolled out of the view
        c.outside = list->header()->sectionViewportPosition(c.column) + c.width - list->viewport()->width();
        whole = whole && c.width >= c.needed && c.outside <= 0;
      }
      // A column may follow its texts a moment after they come in.
      if (whole || since.elapsed() > 5000) return f->reject();
    }
    QTimer::singleShot(10, look);
  };
  QTimer::singleShot(0, look);
  event([&] {
    main->CommonDialog1.FileName = fromQString(QString::fromStdString((files.path() / "a.TXT").string()));
    main->CommonDialog1.ShowOpen();
  });
  ASSERT_TRUE(read) << "the folder was never shown";
  EXPECT_EQ(columns[0].longest.toStdString(), "300.00 MiB");
  EXPECT_TRUE(columns[2].texts.contains("2026/12/11 09:05")) << columns[2].texts.join('|').toStdString();
  for (const Column& c : columns) {
    EXPECT_GE(c.width, c.needed) << "column " << c.column << " cuts \"" << c.longest.toStdString() << "\"";
    EXPECT_LE(c.outside, 0) << "column " << c.column << " reaches out of the view";
  }
}

TEST_F(DesktopMainWindowTest, ALongHandlerRepaintsOnlyTheProgressBarAtMostEvery50Ms) {
  ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
  auto* bar = static_cast<ProgressView*>(widget(main->ProgressBar1));
  PaintCounter paints;
  bar->installEventFilter(&paints);
  BoxView& input = box(main->RichTextBox16);
  std::vector<int> shown;
  int paintsInside = 0;
  event([&] {
    main->ProgressBar1.Visible = true;
    main->ProgressBar1.Value = 30;
    d->app().progress();
    shown.push_back(bar->isVisible() ? bar->value() : -1);
    // A key the user presses meanwhile waits for the handler to end.
    QCoreApplication::postEvent(&input, new QKeyEvent(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, "z"));
    main->ProgressBar1.Value = 60;
    d->app().progress();  // too soon: not shown
    shown.push_back(bar->value());
    std::this_thread::sleep_for(std::chrono::milliseconds(Desktop::kProgressIntervalMs + 10));
    main->ProgressBar1.Value = 90;
    d->app().progress();
    shown.push_back(bar->value());
    paintsInside = paints.paints;
    EXPECT_EQ(main->RichTextBox16.text(), u"");
  });
  EXPECT_EQ(shown, (std::vector<int>{30, 30, 90}));
  EXPECT_GE(paintsInside, 2);
  EXPECT_EQ(main->RichTextBox16.text(), u"");
  QCoreApplication::processEvents();
  EXPECT_EQ(main->RichTextBox16.text(), u"z");
}

// Counts the key presses a widget gets.
class KeyCounter : public QObject {
 public:
  int keys = 0;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::KeyPress) ++keys;
    return false;
  }
};

// A save meets another program's lock on the sentence file: while the
// program waits, the pointer shows busy and no input is taken; a key the
// user presses meanwhile is dropped, not typed once the wait is over; the
// pointer comes back and the window is painted anew. The other program
// lets go as soon as the pointer shows, and the sign's delay is set to
// nothing, so the test does not hang on the clock.
TEST_F(DesktopMainWindowTest, AWaitForAnotherProgramShowsTheBusyPointerAndTakesNoInputMeanwhile) {
  ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
  BoxView& input = box(main->RichTextBox16);
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open((dir.path() / "XHKA.db").c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(other);
  KeyCounter keys;
  PaintCounter paints;
  input.installEventFilter(&keys);
  view->installEventFilter(&paints);
  d->app().busyAfter = std::chrono::milliseconds(0);
  const std::function<void(bool)> shown = d->app().onBusy;
  struct Heard {
    bool on;
    std::optional<Qt::CursorShape> cursor;
    int keys, paints;
  };
  std::vector<Heard> heard;
  d->app().onBusy = [&](bool on) {
    shown(on);
    const QCursor* c = QGuiApplication::overrideCursor();
    heard.push_back({on, c ? std::optional(c->shape()) : std::nullopt, keys.keys, paints.paints});
    if (!on) return;
    // The user presses a key on the frozen window.
    QCoreApplication::postEvent(&input, new QKeyEvent(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, "z"));
    QCoreApplication::postEvent(&input, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Z, Qt::NoModifier, "z"));
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
  };
  event([&] {
    main->Data1.AddNew();
    main->Data2.AddNew();
    main->Text2.setText(u"新句子。");
    main->Text14.setText(u"新句子。/");
    main->Data1.MoveLast();
    main->Data2.MoveLast();
  });
  QCoreApplication::processEvents();
  d->app().onBusy = shown;
  sqlite3_close(other);
  ASSERT_EQ(heard.size(), 2u);
  EXPECT_TRUE(heard[0].on);
  EXPECT_EQ(heard[0].cursor, Qt::WaitCursor);
  EXPECT_FALSE(heard[1].on);
  EXPECT_EQ(heard[1].cursor, std::nullopt);  // the pointer is back
  EXPECT_EQ(heard[1].keys, heard[0].keys);    // no key reached the box while it waited
  EXPECT_GT(heard[1].paints, heard[0].paints);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  // The key was dropped, not kept for later.
  EXPECT_EQ(keys.keys, 0);
  EXPECT_EQ(main->RichTextBox16.text(), u"");
  EXPECT_EQ(zuvo::testing::tableRows(dir.path() / "XHKA.db", "SELECT ZD3 FROM \"表1\"", ":"),
            std::vector<std::string>{"新句子。"});
}

TEST_F(DesktopMainWindowTest, HelpWindowGridRowsKeysAndItsCloseButton) {
  Frm说明1& help = openHelp();
  WindowView* hv = d->viewOf(help);
  ASSERT_NE(hv, nullptr);
  ASSERT_TRUE(hv->isVisible());
  EXPECT_EQ(hv->windowTitle(), " 使用说明");
  auto* grid = static_cast<GridView*>(hv->widgetFor(help.DBGrid1));
  EXPECT_EQ(grid->geometry(), hv->scale().rect(120, 75, 8550, 3300));
  const auto lines = shippedHelpLines();
  ASSERT_EQ(grid->model()->rowCount(), static_cast<int>(lines.size()));
  for (int r = 0; r < static_cast<int>(lines.size()); ++r)
    EXPECT_EQ(grid->model()->index(r, 0).data().toString(), lines[r]);
  EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), "字段1");

  // A click on a row and the arrow keys move the grid's row in the model.
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, QPoint(30, grid->rowViewportPosition(3) + 3));
  EXPECT_EQ(help.DBGrid1.Row(), 3);
  EXPECT_TRUE(help.DBGrid1.hasFocus());
  QTest::keyClick(grid, Qt::Key_Down);
  EXPECT_EQ(help.DBGrid1.Row(), 4);
  EXPECT_EQ(grid->currentIndex().row(), 4);
  // Typing changes no line.
  QTest::keyClicks(grid, "xyz");
  QTest::keyClick(grid, Qt::Key_Delete);
  EXPECT_EQ(grid->model()->index(4, 0).data().toString(), lines[4]);
  EXPECT_EQ(help.DBGrid1.cell(4), fromQString(lines[4]));

  // The close button: the main help button reads 说明 again, the window goes.
  auto* close = static_cast<QPushButton*>(hv->widgetFor(help.Command1));
  EXPECT_EQ(close->text(), "关  闭(&X)");
  QTest::mouseClick(close, Qt::LeftButton);
  EXPECT_FALSE(d->app().isLoaded<Frm说明1>());
  EXPECT_EQ(main->Command15.Caption, u"说明");
  EXPECT_EQ(d->viewOf(help), nullptr);
  EXPECT_FALSE(hv->isVisible());
}

TEST_F(DesktopMainWindowTest, TheCloseBoxAndTheAccessKeyUnloadTheHelpWindow) {
  WindowView* hv = d->viewOf(openHelp());
  ASSERT_NE(hv, nullptr);
  hv->close();
  EXPECT_FALSE(d->app().isLoaded<Frm说明1>());

  hv = d->viewOf(openHelp());
  ASSERT_NE(hv, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowActive(hv));
  QTest::keyClick(hv->focusWidget() ? hv->focusWidget() : hv, Qt::Key_X, Qt::AltModifier);
  EXPECT_FALSE(d->app().isLoaded<Frm说明1>());
  EXPECT_EQ(main->Command15.Caption, u"说明");
}

TEST_F(DesktopMainWindowTest, TheExitButtonEndsTheProgramAndTakesItsWindowsDown) {
  openHelp();
  WindowView* help = d->viewOf(d->app().form<Frm说明1>());
  ASSERT_NE(help, nullptr);
  QTest::mouseClick(widget(main->Command21), Qt::LeftButton);
  EXPECT_TRUE(d->app().ended());
  EXPECT_FALSE(view->isVisible());
  EXPECT_FALSE(help->isVisible());
  EXPECT_FALSE(view->attached());
}

TEST_F(DesktopMainWindowTest, ScreenshotOfTheMainWindow) {
  const std::filesystem::path out = ZUVO_TEST_OUTPUT_DIR;
  std::filesystem::create_directories(out);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
  const QImage shot = view->grab().toImage();
  ASSERT_EQ(shot.size(), view->size() * view->devicePixelRatio());
  ASSERT_TRUE(shot.save(QString::fromStdString((out / "main_window.png").string())));
  // The window is not blank: the frames and the green input box are drawn.
  EXPECT_EQ(shot.pixelColor(widget(main->RichTextBox16)->geometry().center()).green(), 0xFF);

  Frm说明1& help = openHelp();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(d->viewOf(help)));
  ASSERT_TRUE(d->viewOf(help)->grab().save(QString::fromStdString((out / "help_window.png").string())));
}

// The main window over a dictionary whose range result and word examples
// run longer than their panes.
std::vector<zuvo::testing::SentencePair> manySentences() {
  std::vector<zuvo::testing::SentencePair> s;
  for (int i = 1; i <= 40; ++i)
    s.push_back({u"第" + NumText(i) + u"个人说话。", u"La persona " + NumText(i) + u" habla."});
  return s;
}
Text manyPhrases() {
  Text t;
  for (int i = 1; i <= 30; ++i) t += u"casa " + NumText(i) + u" 第" + NumText(i) + u"个房子\r\n";
  return t;
}

class DesktopDictionaryTest : public zuvo::testing::SuiteDictionary<DesktopTest> {
 protected:
  static void SetUpTestSuite() {
    qt();
    writeSuiteDictionary(manySentences(), {}, {{u"casa", u"casa", u"房子", manyPhrases()}});
  }
  void SetUp() override {
    startDesktop(folder->path());
    main = &d->app().form<FrmLexaro>();
    view = d->viewOf(*main);
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(view));
  }

  BoxView& box(const Control& c) const { return *static_cast<BoxView*>(widget(c)); }
  void event(const std::function<void()>& body) { d->app().event(body); }
  // A key on the control that has the focus, in the model and in Qt.
  void keyOnFocused(const Control& c, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    ASSERT_TRUE(d->user().focus(const_cast<Control&>(c))) << c.name();
    ASSERT_EQ(QApplication::focusWidget(), widget(c)) << c.name();
    QTest::keyClick(widget(c), key, mods);
  }
  bool helpShown() { return d->app().visible<Frm说明1>(); }
  // The first line of a pane that shows whole in it, counted from 0.
  static int firstShownLine(const BoxView& b) {
    const int top = b.verticalScrollBar()->value();
    int line = 0;
    for (QTextBlock block = b.document()->begin(); block.isValid(); block = block.next()) {
      const QTextLayout* layout = block.layout();
      for (int i = 0; i < layout->lineCount(); ++i, ++line)
        if (layout->position().y() + layout->lineAt(i).y() >= top) return line;
    }
    return line;
  }

  FrmLexaro* main = nullptr;
};

// Space, Return and the access key press a button as a key does: its Click
// runs and never its mouse handlers. The help button answers the mouse only,
// and only a mouse press on the save button closes the help window.
TEST_F(DesktopDictionaryTest, KeysOnAButtonRunItsClickAndNeverItsMouseHandlers) {
  const std::pair<const char*, Qt::Key> keys[] = {{"Space", Qt::Key_Space},
                                                   {"Return", Qt::Key_Return},
                                                   {"Enter", Qt::Key_Enter}};
  click(main->Command1);
  click(main->Command55);
  ASSERT_TRUE(widget(main->Command15)->isVisible());
  for (const auto& [name, key] : keys) {
    SCOPED_TRACE(name);
    keyOnFocused(main->Command15, key);
    EXPECT_FALSE(helpShown());
    EXPECT_EQ(main->Command15.Caption, u"说明");
  }
  click(main->Command15);
  ASSERT_TRUE(helpShown());
  for (const auto& [name, key] : keys) {
    SCOPED_TRACE(name);
    keyOnFocused(main->Command15, key);
    EXPECT_TRUE(helpShown());
    EXPECT_EQ(main->Command15.Caption, u"关闭");
  }
  click(main->Command15);
  ASSERT_FALSE(helpShown());
  TearDown();
  SetUp();

  // The edit panel through "修改(&G)"'s access key, the help window opened by
  // the mouse, then the save button pressed by a key: the pair is saved and
  // the panel closes, and the help window stays open.
  int mouseEvents = 0;
  main->Command24.MouseDown = [&](int, int, float, float) { ++mouseEvents; };
  main->Command24.MouseUp = [&](int, int, float, float) { ++mouseEvents; };
  for (const auto& [name, key] : keys) {
    SCOPED_TRACE(name);
    event([&] { main->RichTextBox16.SetFocus(); });
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_G, Qt::AltModifier);
    ASSERT_TRUE(main->Text40.Visible);
    ASSERT_TRUE(widget(main->Command9)->isVisible());
    click(main->Command15);
    ASSERT_TRUE(helpShown());
    keyOnFocused(main->Command9, key);
    EXPECT_FALSE(main->Text40.Visible);
    EXPECT_TRUE(helpShown());
    EXPECT_EQ(main->Command15.Caption, u"关闭");
    event([&] { d->app().unload<Frm说明1>(); });
  }
  EXPECT_EQ(mouseEvents, 0);
  // The mouse on the save button still closes it.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_G, Qt::AltModifier);
  click(main->Command15);
  ASSERT_TRUE(helpShown());
  click(main->Command9);
  EXPECT_FALSE(helpShown());
  EXPECT_EQ(main->Command15.Caption, u"说明");
}

// A pane that another control's focus leaves with its selection hidden
// stays where it was scrolled, whatever its caret does: the range result and
// the word's examples, marked through to their last lines, open at their
// first line. With the focus, the pane shows where its caret stands.
TEST_F(DesktopDictionaryTest, TheRangeResultAndTheWordsExamplesOpenAtTheirFirstLine) {
  struct Case {
    const char* name;
    std::function<void()> open;
    RichTextBox FrmLexaro::*pane;
    // The examples pane gives the focus to an editor laid over it.
    bool keepsTheFocus;
  };
  const Case cases[] = {
      {"range result",
       [&] {
         type(main->RichTextBox16, QString::fromUtf8("说"));
         click(main->Command17);
       },
       &FrmLexaro::RichTextBox3, true},
      {"word examples", [&] { type(main->RichTextBox16, "casa"); }, &FrmLexaro::RichTextBox14, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    c.open();
    QCoreApplication::processEvents();
    RichTextBox& model = main->*c.pane;
    BoxView& pane = box(model);
    ASSERT_TRUE(pane.isVisible());
    ASSERT_FALSE(model.hasFocus());
    QScrollBar& bar = *pane.verticalScrollBar();
    ASSERT_GT(bar.maximum(), 0) << "the text is longer than the pane";
    EXPECT_EQ(bar.value(), 0);
    EXPECT_EQ(firstShownLine(pane), 0);

    // Scrolled by the user, it stays there while the model moves its caret
    // to the end and back; a new text shows from its start.
    bar.setValue(bar.maximum() / 2);
    const int scrolled = bar.value();
    for (const bool toEnd : {true, false}) {
      event([&] { model.setSelStart(toEnd ? Len(model.text()) : 0); });
      EXPECT_EQ(bar.value(), scrolled);
    }
    event([&] { model.setText(model.text() + u"\r\n"); });
    EXPECT_EQ(bar.value(), 0);

    // With the focus, the pane brings its caret into sight.
    if (!c.keepsTheFocus) continue;
    event([&] {
      model.SetFocus();
      model.setSelStart(Len(model.text()) - 3);
    });
    EXPECT_TRUE(pane.viewport()->rect().contains(pane.cursorRect())) << "the caret at the end is in sight";
    EXPECT_GT(firstShownLine(pane), 0);
  }
}

// What the screen shows is what the widgets draw: nothing of a screen left
// behind by the next one, from the word view to the number answer, whether
// the input was emptied first or the number typed over the word.
TEST_F(DesktopDictionaryTest, NoScreenLeavesAStaleImageBehindTheNext) {
  ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
  auto expectFresh = [&](const std::string& step) {
    SCOPED_TRACE(step);
    QCoreApplication::processEvents();
    const QImage screen =
        view->screen()->grabWindow(view->winId()).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage fresh = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(screen.size(), fresh.size());
    // The input box's caret blinks: its box is left out.
    const QRect input = widget(main->RichTextBox16)->geometry();
    QRect stale;
    for (int y = 0; y < fresh.height(); ++y)
      for (int x = 0; x < fresh.width(); ++x)
        if (!input.contains(x, y) && screen.pixel(x, y) != fresh.pixel(x, y)) stale |= QRect(x, y, 1, 1);
    EXPECT_TRUE(stale.isEmpty()) << "stale pixels in (" << stale.x() << "," << stale.y() << " " << stale.width()
                                 << "x" << stale.height() << ")";
  };
  for (const bool emptied : {true, false}) {
    SCOPED_TRACE(emptied ? "input emptied" : "typed over the word");
    TearDown();
    SetUp();
    type(main->RichTextBox16, "casa");
    ASSERT_TRUE(widget(main->RichTextBox14)->isVisible());
    expectFresh("word view");
    if (emptied) {
      while (!main->RichTextBox16.text().empty()) QTest::keyClick(&box(main->RichTextBox16), Qt::Key_Backspace);
    } else {
      QTest::keyClick(&box(main->RichTextBox16), Qt::Key_Home);
      QTest::keyClick(&box(main->RichTextBox16), Qt::Key_End, Qt::ShiftModifier);
    }
    expectFresh("before the number");
    for (const char* digit : {"1", "2", "3", "4"}) {
      type(main->RichTextBox16, digit);
      expectFresh(std::string("typed ") + digit);
    }
    ASSERT_TRUE(widget(main->Text33)->isVisible());
    // A number typed over the word leaves the word view open behind the
    // answer: the examples pane shows in the gaps around it, as the window
    // has it.
    EXPECT_EQ(main->RichTextBox14.Visible, !emptied);
  }
}

// What the input method commits goes into the box it was composed in, at
// its caret or over its selection, and never takes the focus: a click into
// another box during a composition leaves the composed text behind and the
// focus in the clicked box.
TEST_F(DesktopDictionaryTest, AnInputMethodCommitGoesIntoItsBoxWithoutTakingTheFocus) {
  click(main->Command1);
  click(main->Command55);
  TextBox& zh = main->Text44;
  TextBox& es = main->Text45;
  struct Case {
    const char* name;
    Text before;
    int64_t selStart, selLength;
    bool clickAway;
    Text after;
    int64_t caret;
  };
  const Case cases[] = {
      {"at the end", u"我们", 2, 0, false, u"我们说", 3},
      {"in the middle", u"我们西班牙语", 2, 0, false, u"我们说西班牙语", 3},
      {"over a selection", u"我们讲西班牙语", 2, 1, false, u"我们说西班牙语", 3},
      {"during a focus change", u"我们", 2, 0, true, u"我们说", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    event([&] {
      es.setText(u"");
      zh.setText(c.before);
      zh.SetFocus();
      zh.setSelStart(c.selStart);
      zh.setSelLength(c.selLength);
    });
    ASSERT_EQ(QApplication::focusWidget(), widget(zh));
    QInputMethodEvent composing("shuo", {});
    QApplication::sendEvent(widget(zh), &composing);
    EXPECT_EQ(zh.text(), c.before);
    auto commit = [&] {
      QInputMethodEvent done;
      done.setCommitString(QString::fromUtf8("说"));
      QApplication::sendEvent(widget(zh), &done);
    };
    if (c.clickAway) {
      // Qt has the input method commit just before the focus leaves the box.
      struct CommitOnLeave : QObject {
        std::function<void()> commit;
        bool eventFilter(QObject*, QEvent* e) override {
          if (e->type() == QEvent::FocusAboutToChange && commit) std::exchange(commit, nullptr)();
          return false;
        }
      } filter;
      filter.commit = commit;
      widget(zh)->installEventFilter(&filter);
      QTest::mouseClick(box(es).viewport(), Qt::LeftButton, {}, QPoint(20, 10));
      widget(zh)->removeEventFilter(&filter);
      QCoreApplication::processEvents();
      EXPECT_EQ(filter.commit, nullptr) << "the commit came";
      EXPECT_TRUE(es.hasFocus());
      EXPECT_EQ(QApplication::focusWidget(), widget(es));
      QTest::keyClicks(QApplication::focusWidget(), "abc");
      EXPECT_EQ(es.text(), u"abc");
    } else {
      commit();
      EXPECT_TRUE(zh.hasFocus());
      EXPECT_EQ(zh.SelStart(), c.caret);
    }
    EXPECT_EQ(zh.text(), c.after);
    EXPECT_EQ(box(zh).toPlainText(), toQString(c.after));
  }
}

TEST(DesktopLook, TwipsColoursFiltersAndTheKeyboardsEnye) {
  qt();
  EXPECT_EQ(Scale(96).rect(220, 210, 800, 420), QRect(15, 14, 53, 28));
  EXPECT_EQ(Scale(144).rect(220, 210, 800, 420), QRect(22, 21, 80, 42));
  EXPECT_EQ(Scale(192).pen(3), 6);
  const QPalette pal = QApplication::palette();
  EXPECT_EQ(qcolour(0x0000FF, pal), QColor(255, 0, 0));
  EXPECT_EQ(qcolour(0xFF0000, pal), QColor(0, 0, 255));
  EXPECT_EQ(qcolour(0xC0E0FF, pal), QColor(0xFF, 0xE0, 0xC0));
  EXPECT_EQ(qcolour(kButtonFace, pal), pal.color(QPalette::Button));
  EXPECT_EQ(qcolour(kWindowBackground, pal), pal.color(QPalette::Base));
  EXPECT_EQ(qcolour(kWindowText, pal), pal.color(QPalette::Text));
  EXPECT_EQ(qcolour(kHighlightText, pal), pal.color(QPalette::HighlightedText));

  EXPECT_EQ(qtFilter(u"文本文件 (*.TXT)|*.TXT"), "文本文件 (*.TXT *.txt)");
  EXPECT_EQ(qtFilter(u"文本文件(*.txt)|*.*"), "文本文件 (*)");
  EXPECT_EQ(qtFilter(u"文本|*.TXT;*.RTF|全部|*.*"), "文本 (*.TXT *.txt *.RTF *.rtf);;全部 (*)");

  EXPECT_EQ(keyboardText(QString::fromUtf8("año AÑO")), u"aňo AňO");
  EXPECT_EQ(clipboardText("uno\ndos\r\ntres"), u"uno\r\ndos\r\ntres");
}

}  // namespace
}  // namespace zuvo::desktop
