// The windows as a person sees them on Qt's offscreen platform: on every
// screen each visible control's text lies whole within the control, Latin
// letters drawn in the program's Latin face and Chinese in the installed Song
// face on the Song face's line, the input box's line stays put whatever is
// typed, a button reached by Tab shows the focus; a screenshot of every
// screen is left in the test-output folder.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <filesystem>

#include "app/FrmLexaro.h"
#include "desktop/box_view.h"
#include "desktop/control_views.h"
#include "desktop/grid_view.h"
#include "support/desktop_support.h"
#include "support/desktop_views.h"
#include "support/dictionary.h"
#include "support/places.h"
#include "tools/conversion_window.h"
#include "tools/usage_help.h"

namespace zuvo::desktop {
namespace {

using namespace zuvo::testing;

const std::vector<SentencePair> kSentences = {
    {u"我们说西班牙语，也说一点儿汉语。", u"Hablamos español y también un poco de chino."},
    {u"狗在房子里。", u"El perro está en la casa."},
};
// Examples longer than their pane, which scrolls to the last one.
Text longExamples() {
  Text t = u"Hablo español.\r\n我说西班牙语。";
  for (int i = 1; i <= 8; ++i) t += u"\r\nHablamos " + NumText(i) + u" veces.\r\n我们说了" + NumText(i) + u"次。";
  return t;
}
const std::vector<VerbRow> kVerbs = {{u"hablar", u"说，讲", longExamples()}};
const std::vector<WordRow> kWords = {
    {u"casa", u"casa", u"房子，家", u"una casa grande 一座大房子\r\nla casa de mi madre 我母亲的家\r\nen casa 在家"},
};

// The caption as drawn: "&&" is an ampersand, a lone "&" marks the access key.
QString shownCaption(const QString& caption) {
  QString s;
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    s += caption[i];
  }
  return s;
}

// The checks a person makes by eye: no text cut at any side of its control.
void expectWhole(const LabelView& l) {
  if (l.caption().isEmpty()) return;
  const int flags = Qt::TextWordWrap | Qt::TextShowMnemonic | Qt::AlignTop;
  const QRect needed = QFontMetrics(l.font()).boundingRect(l.rect(), flags, l.caption());
  EXPECT_TRUE(l.rect().contains(needed)) << "needs " << str(needed) << " in " << str(l.rect());
}

void expectWhole(const ButtonView& b) {
  const QString caption = shownCaption(b.text());
  if (caption.isEmpty()) return;
  const QFontMetrics fm(b.font());
  const QRect line = b.captionLine();
  EXPECT_EQ(line.height(), fm.height());
  EXPECT_TRUE(b.rect().contains(line)) << "line " << str(line) << " in " << str(b.rect());
  // The ink of the caption, centred on its line, stays off the border.
  const int left = line.left() + (line.width() - fm.horizontalAdvance(caption)) / 2;
  const QRect ink = fm.tightBoundingRect(caption).translated(left, line.top() + fm.ascent());
  EXPECT_TRUE(b.face().contains(ink)) << "ink " << str(ink) << " on face " << str(b.face());
}

void expectWhole(BoxView& b) {
  if (b.document()->isEmpty()) return;
  const QRect port = b.viewport()->geometry();
  const bool oneLine = b.lineWrapMode() == QTextEdit::NoWrap || port.height() < 2 * b.fontMetrics().lineSpacing();
  if (oneLine) {
    for (const QRect& r : lineRects(b)) EXPECT_TRUE(port.contains(r)) << "line " << str(r) << " in " << str(port);
    return;
  }
  // Lines wrap at the pane's width; the pane scrolls down to its last line.
  for (const QRect& r : lineRects(b))
    EXPECT_LE(r.right(), port.right()) << "line " << str(r) << " in " << str(port);
  QScrollBar& bar = *b.verticalScrollBar();
  const int docHeight = static_cast<int>(std::ceil(b.document()->size().height()));
  if (docHeight > port.height() && b.height() >= 3 * QFontMetrics(b.font()).lineSpacing()) {
    EXPECT_TRUE(bar.isVisible()) << "a pane longer than its height shows a scroll bar";
  }
  const int was = bar.value();
  bar.setValue(bar.maximum());
  const QRect last = lineRects(b).back();
  EXPECT_LE(last.bottom(), port.bottom()) << "the last line " << str(last) << " can be scrolled into " << str(port);
  bar.setValue(was);
}

void expectWhole(const GridView& g) {
  const int line = QFontMetrics(g.font()).height();
  for (int r = 0; r < g.model()->rowCount(); ++r) {
    if (!g.isRowHidden(r)) {
      EXPECT_GE(g.rowHeight(r), line) << "row " << r;
    }
  }
  // The last row can be seen whole: at once, or scrolled to with a bar.
  const int rows = g.model()->rowCount();
  if (rows == 0) return;
  if (g.verticalScrollBar()->isVisible()) return;
  const int bottom = g.rowViewportPosition(rows - 1) + g.rowHeight(rows - 1);
  EXPECT_LE(bottom, g.viewport()->height()) << "the last row ends at " << bottom << " in a grid "
                                            << g.viewport()->height() << " high";
}

void expectWhole(const StatusView& s) {
  EXPECT_GE(s.height() - 4, QFontMetrics(s.font()).height());
  EXPECT_LE(QFontMetrics(s.font()).horizontalAdvance(s.shownText()) + 30, s.width());
}

// Every visible control of a window with text, checked.
void expectEveryTextWhole(const WindowView& view) {
  for (Control* c : view.model().controls()) {
    QWidget* w = view.widgetFor(*c);
    if (!w || !w->isVisible()) continue;
    SCOPED_TRACE(c->name());
    if (auto* l = dynamic_cast<LabelView*>(w)) expectWhole(*l);
    if (auto* b = dynamic_cast<ButtonView*>(w)) expectWhole(*b);
    if (auto* x = dynamic_cast<BoxView*>(w)) expectWhole(*x);
    if (auto* g = dynamic_cast<GridView*>(w)) expectWhole(*g);
    if (auto* s = dynamic_cast<StatusView*>(w)) expectWhole(*s);
  }
}

class DesktopLookTest : public MainWindowDesktopTest {
 protected:
  static void SetUpTestSuite() { writeSuiteDictionary(kSentences, kVerbs, kWords); }
  void clearInput() {
    BoxView& input = box(main->RichTextBox16);
    QTest::keyClick(&input, Qt::Key_End);
    while (!main->RichTextBox16.text().empty()) QTest::keyClick(&input, Qt::Key_Backspace);
  }
  // The line of the input box: its top and baseline in the box's pixels.
  std::pair<int, int> inputLine() {
    BoxView& input = box(main->RichTextBox16);
    const QTextLine line = input.document()->begin().layout()->lineAt(0);
    const int top = lineRects(input).front().top();
    return {top, top + static_cast<int>(std::lround(line.ascent()))};
  }
  void shoot(const WindowView& v, const std::string& name) {
    const std::filesystem::path out = ZUVO_TEST_OUTPUT_DIR;
    std::filesystem::create_directories(out);
    const QImage shot = const_cast<WindowView&>(v).grab().toImage();
    EXPECT_TRUE(shot.save(QString::fromStdString((out / (name + ".png")).string()))) << name;
  }
};

// The faces that draw each character of a text laid out in a font, and the
// line the text takes.
struct LaidOut {
  QStringList faces;
  qreal ascent = 0;
  qreal descent = 0;
};
LaidOut layOut(const QString& text, const QFont& font) {
  QTextLayout layout(text, font);
  layout.beginLayout();
  const QTextLine line = layout.createLine();
  layout.endLayout();
  LaidOut out{{}, line.ascent(), line.descent()};
  for (const QGlyphRun& run : layout.glyphRuns()) out.faces << run.rawFont().familyName().toLower();
  out.faces.sort();
  return out;
}

TEST_F(DesktopLookTest, LatinLettersAreDrawnInTheLatinFaceAndChineseInTheSongFaceOnTheSongFacesLine) {
  for (const Control* c : {static_cast<const Control*>(&main->Label1), static_cast<const Control*>(&main->Command20),
                           static_cast<const Control*>(&main->Command51)}) {
    SCOPED_TRACE(c->name());
    const QFont f = widget(*c)->font();
    EXPECT_EQ(QFontInfo(f).family(), "Zuvo Latin");
    EXPECT_EQ(f.pointSizeF(), c->FontSize);
    // Its line is one em high, as the boxes were drawn for.
    EXPECT_EQ(QFontMetrics(f).height(), std::lround(c->FontSize * 96 / 72));
    for (QChar ch : QString::fromUtf8("三千五百输入 áéíóúüňÑ"))
      EXPECT_TRUE(QFontMetrics(f).inFont(ch)) << int(ch.unicode());
    EXPECT_EQ(layOut("hablar", f).faces, QStringList{"zuvo latin"});
    EXPECT_EQ(layOut(QString::fromUtf8("说"), f).faces, QStringList{"ar pl uming cn"});
  }
  // At every size and weight the program draws text in, a line of Spanish,
  // of Chinese or of both lies where the Song face alone puts it.
  QFont song = widget(main->Label1)->font();
  song.setFamilies({"AR PL UMing CN"});
  for (const qreal points : {7.5, 9.0, 10.0, 10.5, 12.0, 13.0}) {
    for (const bool bold : {false, true}) {
      SCOPED_TRACE(std::to_string(points) + (bold ? " bold" : ""));
      QFont f = widget(main->Label1)->font();
      f.setPointSizeF(points);
      f.setBold(bold);
      song.setPointSizeF(points);
      song.setBold(bold);
      EXPECT_EQ(QFontMetrics(f).height(), QFontMetrics(song).height());
      EXPECT_EQ(QFontMetrics(f).ascent(), QFontMetrics(song).ascent());
      for (const QString& text : {QString("hablar gÍy"), QString::fromUtf8("说西班牙语"), QString::fromUtf8("Hablo 说 ñ")}) {
        const LaidOut mine = layOut(text, f);
        const LaidOut its = layOut(text, song);
        EXPECT_EQ(mine.ascent, its.ascent) << text.toStdString();
        EXPECT_EQ(mine.descent, its.descent) << text.toStdString();
      }
    }
  }
}

TEST_F(DesktopLookTest, TheInputBoxDrawsSmallLDigitOneCapitalIAndIAcuteApart) {
  BoxView& input = box(main->RichTextBox16);
  ASSERT_EQ(input.font().pointSizeF(), 12);
  const int caretWidth = input.cursorWidth();
  input.setCursorWidth(0);  // the caret stays out of the pictures
  const QString letters[] = {"l", "1", "I", QString::fromUtf8("í")};
  std::vector<QImage> shots;
  for (const QString& letter : letters) {
    clearInput();
    type(main->RichTextBox16, letter);
    QCoreApplication::processEvents();
    shots.push_back(input.viewport()->grab().toImage().convertToFormat(QImage::Format_Grayscale8));
  }
  clearInput();
  type(main->RichTextBox16, QString::fromUtf8("hablar l1Ií 说"));
  QCoreApplication::processEvents();
  const QImage whole = input.viewport()->grab().toImage();
  input.setCursorWidth(caretWidth);
  // The four side by side, and the box with all of them, for a person to see.
  const QSize cell = shots.front().size();
  QImage sheet(cell.width(), cell.height() * 5, QImage::Format_RGB32);
  sheet.fill(Qt::white);
  {
    QPainter p(&sheet);
    for (size_t i = 0; i < shots.size(); ++i) p.drawImage(0, static_cast<int>(i) * cell.height(), shots[i]);
    p.drawImage(0, 4 * cell.height(), whole);
  }
  const std::filesystem::path out = ZUVO_TEST_OUTPUT_DIR;
  std::filesystem::create_directories(out);
  EXPECT_TRUE(sheet.save(QString::fromStdString((out / "latin_letters.png").string())));
  // Each two differ in pixels drawn clearly dark in one and light in the
  // other: a few at least, and "l" and "1" in many. (The Song face's own
  // letters differ in 3 pixels for "l" and "1", none for "1" and "I".)
  const auto apart = [](const QImage& a, const QImage& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
      for (int x = 0; x < a.width(); ++x)
        if (std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 96) ++n;
    return n;
  };
  EXPECT_GE(apart(shots[0], shots[1]), 16) << "l and 1 look alike";
  for (size_t i = 0; i < shots.size(); ++i)
    for (size_t j = i + 1; j < shots.size(); ++j)
      EXPECT_GE(apart(shots[i], shots[j]), 4)
          << letters[i].toStdString() << " and " << letters[j].toStdString() << " look alike";
}

TEST_F(DesktopLookTest, EveryScreenShowsEveryTextWhole) {
  struct Screen {
    std::string name;
    std::function<void()> open;
  };
  const Screen screens[] = {
      {"home", [] {}},
      {"verb_view", [&] { type(main->RichTextBox16, "hablar"); }},
      {"word_view", [&] { type(main->RichTextBox16, "casa"); }},
      {"not_found", [&] { type(main->RichTextBox16, "zzz"); }},
      {"number_answer", [&] { type(main->RichTextBox16, QString::fromUtf8("三千五百")); }},
      {"range_result",
       [&] {
         type(main->RichTextBox16, QString::fromUtf8("说"));
         click(main->Command17);
       }},
      {"sentence_add_panel",
       [&] {
         click(main->Command1);
         click(main->Command55);
         type(main->Text44, QString::fromUtf8("我们说西班牙语。"));
         type(main->Text45, QString::fromUtf8("Hablamos español."));
       }},
      {"sentence_edit_panel", [&] { click(main->Command24); }},
      {"verb_add_panel",
       [&] {
         click(main->Command1);
         click(main->Command56);
       }},
      {"word_add_panel",
       [&] {
         click(main->Command1);
         click(main->Command81);
       }},
  };
  for (const Screen& s : screens) {
    SCOPED_TRACE(s.name);
    TearDown();  // each screen from a fresh start
    SetUp();
    s.open();
    expectEveryTextWhole(*view);
    shoot(*view, s.name);
  }
  TearDown();
  SetUp();
  // The screens are what they say.
  type(main->RichTextBox16, "hablar");
  EXPECT_TRUE(widget(main->Text92)->isVisible());
  EXPECT_EQ(box(main->Text92).toPlainText(), "hablar");
  clearInput();
  type(main->RichTextBox16, "zzz");
  EXPECT_TRUE(widget(main->Text32)->isVisible());
}

TEST_F(DesktopLookTest, TheHowToAddTextOfAnEmptyDictionaryShowsToItsLastLine) {
  TearDown();
  TempDir empty;
  d = std::make_unique<Desktop>(empty.path());
  d->start();
  main = &d->app().form<FrmLexaro>();
  view = d->viewOf(*main);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
  click(main->Command1);
  BoxView& pane = box(main->RichTextBox13);
  ASSERT_EQ(pane.document()->blockCount(), 6);
  EXPECT_TRUE(pane.toPlainText().endsWith(QString::fromUtf8("按钮即可。")));
  expectEveryTextWhole(*view);
  shoot(*view, "how_to_add");
  d.reset();
}

TEST_F(DesktopLookTest, TheHelpWindowShowsEveryTextWhole) {
  Frm说明1* help = nullptr;
  d->app().event([&] {
    help = &d->app().form<Frm说明1>();
    help->Show();
  });
  WindowView* hv = d->viewOf(*help);
  ASSERT_NE(hv, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(hv));
  expectEveryTextWhole(*hv);
  shoot(*hv, "help_window_look");
}

TEST_F(DesktopLookTest, TheInputBoxKeepsItsLineWholeAndInPlaceWhateverIsTyped) {
  BoxView& input = box(main->RichTextBox16);
  const QRect port = input.viewport()->geometry();
  const auto empty = inputLine();
  const QString inputs[] = {QString::fromUtf8("三千五百"), QString::fromUtf8("二十五日"), "hola",
                            QString::fromUtf8("año"), QString::fromUtf8("说"), "Qué tal, señor"};
  for (const QString& text : inputs) {
    SCOPED_TRACE(text.toStdString());
    clearInput();
    type(main->RichTextBox16, text);
    QCoreApplication::processEvents();
    EXPECT_EQ(inputLine(), empty);
    // The text needs no scrolling up or down, and none happened.
    EXPECT_LE(input.document()->size().height(), port.height());
    EXPECT_EQ(input.verticalScrollBar()->value(), 0);
    for (const QRect& r : lineRects(input)) EXPECT_TRUE(port.contains(r)) << str(r) << " in " << str(port);
  }
  // Across a lookup that ends in a hit too.
  clearInput();
  type(main->RichTextBox16, "casa");
  EXPECT_EQ(inputLine(), empty);
}

TEST_F(DesktopLookTest, AButtonReachedByTabShowsTheFocusAndLosesItOnTheNextTab) {
  click(main->Command1);
  click(main->Command55);
  type(main->Text44, QString::fromUtf8("你好"));
  ASSERT_TRUE(main->Text44.hasFocus());
  // Tab until a button has the focus, as a user does.
  QWidget* w = nullptr;
  for (int i = 0; i < 20 && !dynamic_cast<ButtonView*>(w); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    w = QApplication::focusWidget();
  }
  auto* button = dynamic_cast<ButtonView*>(w);
  ASSERT_NE(button, nullptr);
  ASSERT_TRUE(button->control().hasFocus());
  SCOPED_TRACE(button->control().name());
  const QImage focused = button->grab().toImage();
  shoot(*view, "focus_on_button");
  QTest::keyClick(button, Qt::Key_Tab);
  ASSERT_FALSE(button->control().hasFocus());
  const QImage unfocused = button->grab().toImage();
  EXPECT_NE(focused, unfocused) << "the focused button looks like the others";
  // The focus is drawn on the border and around the caption, not over it.
  int changed = 0;
  for (int y = 0; y < focused.height(); ++y)
    for (int x = 0; x < focused.width(); ++x)
      if (focused.pixel(x, y) != unfocused.pixel(x, y)) ++changed;
  EXPECT_GE(changed, 2 * (button->width() + button->height()) - 8);
}

TEST_F(DesktopLookTest, AMessageBoxShowsItsDefaultButton) {
  bool seen = false;
  std::function<void()> look = [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* m = qobject_cast<QMessageBox*>(w);
      if (!m || !m->isVisible()) continue;
      auto* ok = qobject_cast<QPushButton*>(m->button(QMessageBox::Ok));
      EXPECT_EQ(m->defaultButton(), ok);
      EXPECT_TRUE(ok->isDefault());
      const std::filesystem::path out = ZUVO_TEST_OUTPUT_DIR;
      m->grab().save(QString::fromStdString((out / "message_box.png").string()));
      seen = true;
      ok->click();
      return;
    }
    QTimer::singleShot(10, look);
  };
  QTimer::singleShot(0, look);
  d->app().event([&] { d->app().msgBox(u"请先输入内容", u" ZORVEK"); });
  EXPECT_TRUE(seen);
}

// The smaller windows, each on a program of its own.
class DesktopSmallWindowsLookTest : public DesktopTest {
 protected:
  void open(Window& w) {
    view = d->viewOf(w);
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
  }
  void click(const Control& c) {
    ASSERT_TRUE(widget(c)->isVisible()) << c.name();
    QTest::mouseClick(widget(c), Qt::LeftButton);
  }
  void check(const std::string& name) {
    SCOPED_TRACE(name);
    QCoreApplication::processEvents();
    expectEveryTextWhole(*view);
    const std::filesystem::path out = ZUVO_TEST_OUTPUT_DIR;
    std::filesystem::create_directories(out);
    EXPECT_TRUE(view->grab().save(QString::fromStdString((out / (name + ".png")).string()))) << name;
  }
};

TEST_F(DesktopSmallWindowsLookTest, EveryScreenOfTheConversionWindowShowsEveryTextWhole) {
  startDesktop(dir.path());
  Frm计量换算* w = nullptr;
  d->app().event([&] {
    w = &d->app().form<Frm计量换算>();
    w->Show();
  });
  open(*w);
  // A long result: ten metres in feet.
  ASSERT_TRUE(d->user().mouseDown(w->DBGrid1, {}, 3));
  QTest::keyClicks(widget(w->Text1), "10");
  ASSERT_EQ(w->Text2.text().substr(0, 12), u"32.808398950");
  check("conversion_length");
  for (CommandButton* category : {&w->Cmd2, &w->Cmd3, &w->Cmd4, &w->Cmd5}) {
    click(*category);
    check("conversion_" + category->name());
  }
  click(w->Command2);
  check("conversion_edit_boxes");
  click(w->Command8);
  check("conversion_other_units");
}

TEST_F(DesktopSmallWindowsLookTest, EveryScreenOfThePlaceWindowShowsEveryTextWhole) {
  zuvo::testing::writePlaces(dir.path(), {{u"亚洲", u"Asia", u"世界最大的洲"},
                                          {u"中国【中华人民共和国】", u"China", u"位于亚洲东部", u"Asia", u"Beijing"},
                                          {u"北京", u"Beijing", u"中国的首都", u"China"},
                                          {u"西班牙", u"España", u"位于欧洲西南部", u"Europa", u"Madrid"}});
  startDesktop(dir.path());
  frm世界地名* w = nullptr;
  d->app().event([&] { w = frm世界地名::open(d->app()); });
  ASSERT_NE(w, nullptr);
  open(*w);
  ASSERT_TRUE(d->user().mouseDown(w->DBGrid1, {}, 1));
  check("place_grids");
  click(w->Command40);
  ASSERT_TRUE(w->RichTextBox1.Visible);
  check("place_lists");
  click(w->Command40);
  click(w->Picture1);
  ASSERT_TRUE(w->Picture3.Visible);
  check("place_map");
  click(w->Picture3);
  QTest::keyClicks(widget(w->Text9), "a");
  click(w->Command39);
  check("place_buscar");
  click(w->Command33);
  ASSERT_TRUE(w->Command35.Visible);
  check("place_add_buttons");
  click(w->Command35);
  check("place_single_add");
  TearDown();
  startDesktop(dir.path());
  d->app().event([&] { w = frm世界地名::open(d->app()); });
  open(*w);
  click(w->Command28);
  ASSERT_TRUE(w->Text3.Visible);
  check("place_modify");
}

TEST_F(DesktopSmallWindowsLookTest, EveryScreenOfTheHelpWindowShowsEveryTextWhole) {
  startDesktop(dir.path());
  Frm说明1* help = nullptr;
  d->app().event([&] {
    help = &d->app().form<Frm说明1>();
    help->Show();
  });
  open(*help);
  check("help_window");
  // Scrolled to its end, the last row shows whole.
  auto& grid = *static_cast<GridView*>(widget(help->DBGrid1));
  grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
  const int rows = grid.model()->rowCount();
  ASSERT_GT(rows, 0);
  EXPECT_LE(grid.rowViewportPosition(rows - 1) + grid.rowHeight(rows - 1), grid.viewport()->height());
  check("help_window_end");
}

}  // namespace
}  // namespace zuvo::desktop
