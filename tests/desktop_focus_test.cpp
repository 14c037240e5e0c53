// The focus on the desktop (Qt offscreen): Tab walks the whole cycle of the
// main window, of each entry panel and of the place window, and at every
// stop the control holding the focus shows it on the screen: a caret in a
// text box or pane, a clear frame on a button or a grid.

#include <gtest/gtest.h>

#include <QApplication>
#include <QStyleHints>
#include <QTest>
#include <filesystem>
#include <set>
#include <string>

#include "app/FrmLexaro.h"
#include "desktop/box_view.h"
#include "desktop/grid_view.h"
#include "support/desktop_support.h"
#include "support/dictionary.h"
#include "support/places.h"

namespace zuvo::desktop {
namespace {

using zuvo::testing::DesktopTest;
using zuvo::testing::qt;

// A pixel whose grey level moves by this much or more tells the focus apart
// at a glance; the style's own tint of a border does not.
constexpr int kClearStep = 100;

class DesktopFocusTest : public DesktopTest {
 protected:
  static void SetUpTestSuite() {
    qt();
    // A caret that does not blink is on whenever its box has the focus.
    QGuiApplication::styleHints()->setCursorFlashTime(0);
  }

  void SetUp() override {
    zuvo::testing::writeDictionary(dir.path(), {{u"你好", u"hola"}, {u"谢谢", u"gracias"}},
                                   {{u"hablar", u"说", u"hablo"}}, {{u"casa", u"casa", u"房子", u"una casa"}});
    zuvo::testing::writePlaces(dir.path(), {{u"亚洲", u"Asia", u"世界最大的洲"},
                                            {u"中国【中华人民共和国】", u"China", u"位于亚洲东部", u"Asia"},
                                            {u"西班牙", u"España", u"位于欧洲西南部"}});
    startDesktop(dir.path());
    main = &d->app().form<FrmLexaro>();
    view = d->viewOf(*main);
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(view));
  }

  // The pixels inside the focused widget's place in the window's picture
  // that change clearly when Qt's focus alone leaves it for a moment (the
  // model's focus stays where it is): what the user sees of the focus.
  int focusPixels(QWidget& w) {
    QCoreApplication::processEvents();
    const QImage with = view->grab().toImage();
    view->setFocus(Qt::OtherFocusReason);
    QCoreApplication::processEvents();
    const QImage without = view->grab().toImage();
    w.setFocus(Qt::OtherFocusReason);
    QCoreApplication::processEvents();
    const QRect place = QRect(w.mapTo(view, QPoint(0, 0)), w.size()).intersected(with.rect());
    int n = 0;
    for (int y = place.top(); y <= place.bottom(); ++y)
      for (int x = place.left(); x <= place.right(); ++x)
        if (std::abs(qGray(with.pixel(x, y)) - qGray(without.pixel(x, y))) >= kClearStep) ++n;
    return n;
  }

  // What a stop must show: a caret at least half a line high in a box, a
  // frame along half the width at least of a button or grid.
  static int pixelsNeeded(QWidget& w) {
    if (dynamic_cast<BoxView*>(&w)) return w.fontMetrics().height() / 2;
    return w.width() / 2;
  }

  // Tab from the model's focus until the cycle comes round to a control
  // already met; every stop shows its focus. Returns the stops in order.
  std::vector<std::string> walkTabCycle(Window& model, const char* shotName) {
    std::vector<std::string> stops;
    std::set<const Control*> met;
    Control* at = model.focused();
    for (int i = 0; i < 200 && at && met.insert(at).second; ++i) {
      SCOPED_TRACE(at->name());
      stops.push_back(at->name());
      QWidget* w = view->widgetFor(*at);
      if (!w) {
        ADD_FAILURE() << "no widget shows the focused control";
        return stops;
      }
      EXPECT_TRUE(w->isVisible());
      EXPECT_EQ(QApplication::focusWidget(), w);
      const int shown = focusPixels(*w);
      EXPECT_GE(shown, pixelsNeeded(*w)) << "the focus is drawn nowhere to be seen";
      if (stops.size() == 1) shoot(shotName);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      at = model.focused();
    }
    EXPECT_FALSE(at && !met.count(at)) << "the cycle did not close";
    return stops;
  }

  void shoot(const char* name) {
    const std::filesystem::path out = ZUVO_TEST_OUTPUT_DIR;
    std::filesystem::create_directories(out);
    EXPECT_TRUE(view->grab().save(QString::fromStdString((out / name).string())));
  }

  FrmLexaro* main = nullptr;
};

TEST_F(DesktopFocusTest, EveryTabStopOfTheMainWindowShowsTheFocus) {
  ASSERT_TRUE(main->RichTextBox16.hasFocus());
  const auto stops = walkTabCycle(*main, "focus_main_window.png");
  // The cycle reaches the panes and the buttons, not the panes' backdrop.
  for (const char* name : {"RichTextBox13", "RichTextBox7", "Command20", "Command21"})
    EXPECT_NE(std::find(stops.begin(), stops.end(), name), stops.end()) << name;
  EXPECT_EQ(std::find(stops.begin(), stops.end(), "Text88"), stops.end());
}

// Each entry panel as add mode opens it: its opening button and the
// screenshot of its first stop.
struct EntryPanel {
  const char* opener;
  const char* shot;
};

class DesktopFocusPanelTest : public DesktopFocusTest, public ::testing::WithParamInterface<EntryPanel> {};

TEST_P(DesktopFocusPanelTest, EveryTabStopOfTheEntryPanelShowsTheFocus) {
  click(main->Command1);
  Control* opener = main->find(GetParam().opener);
  ASSERT_NE(opener, nullptr);
  click(*opener);
  walkTabCycle(*main, GetParam().shot);
}

INSTANTIATE_TEST_SUITE_P(Panels, DesktopFocusPanelTest,
                         ::testing::Values(EntryPanel{"Command55", "focus_sentence_panel.png"},
                                           EntryPanel{"Command56", "focus_verb_panel.png"},
                                           EntryPanel{"Command81", "focus_word_panel.png"}),
                         [](const auto& info) { return std::string(info.param.opener); });

TEST_F(DesktopFocusTest, EveryTabStopOfThePlaceWindowShowsTheFocus) {
  click(main->Command3);
  auto& places = d->app().form<frm世界地名>();
  view = d->viewOf(places);
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowActive(view));
  const auto stops = walkTabCycle(places, "focus_place_window.png");
  for (const char* name : {"DBGrid1", "DBGrid2", "Text9", "Command39"})
    EXPECT_NE(std::find(stops.begin(), stops.end(), name), stops.end()) << name;
}

// Over empty place tables a name grid has no current cell: it frames its
// empty area.
class DesktopFocusEmptyPlacesTest : public DesktopFocusTest {
 protected:
  void SetUp() override {
    startDesktop(dir.path());
    d->app().event([&] { places = frm世界地名::open(d->app()); });
    ASSERT_NE(places, nullptr);
    view = d->viewOf(*places);
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(view));
  }
  frm世界地名* places = nullptr;
};

TEST_F(DesktopFocusEmptyPlacesTest, AnEmptyNameGridShowsTheFocus) {
  ASSERT_EQ(places->DBGrid1.Rows(), 0);
  d->app().event([&] { places->DBGrid1.SetFocus(); });
  QWidget* grid = widget(places->DBGrid1);
  ASSERT_EQ(QApplication::focusWidget(), grid);
  EXPECT_GE(focusPixels(*grid), pixelsNeeded(*grid));
}

}  // namespace
}  // namespace zuvo::desktop
