// The place window on the desktop (Qt offscreen): its size and controls at
// their pixel places, the name grids, the two pictures, a click on the
// banner opening the map, and screenshots of the grid and map views.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <filesystem>

#include "desktop/grid_view.h"
#include "desktop/picture_view.h"
#include "support/desktop_support.h"
#include "support/places.h"

namespace zuvo::desktop {
namespace {

using zuvo::testing::PlaceRow;
using zuvo::testing::DesktopTest;
using zuvo::testing::TempDir;

class DesktopPlacesTest : public DesktopTest {
 protected:
  void SetUp() override {
    zuvo::testing::writePlaces(dir.path(), {{u"亚洲", u"Asia", u"世界最大的洲"},
                                            {u"中国【中华人民共和国】", u"China", u"位于亚洲东部", u"Asia"},
                                            {u"西班牙", u"España", u"位于欧洲西南部"},
                                            {u"马德里", u"Madrid", u"西班牙的首都", u"España"}});
    startDesktop(dir.path());
    d->app().event([&] { w = frm世界地名::open(d->app()); });
    ASSERT_NE(w, nullptr);
    view = d->viewOf(*w);
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(view->isVisible());
  }
  void shoot(const char* name) {
    const std::filesystem::path out = ZUVO_TEST_OUTPUT_DIR;
    std::filesystem::create_directories(out);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
    ASSERT_TRUE(view->grab().save(QString::fromStdString((out / name).string())));
  }

  frm世界地名* w = nullptr;
};

TEST_F(DesktopPlacesTest, ShowsTheWindowAtItsGeometryWithGridsAndPictures) {
  EXPECT_EQ(view->windowTitle(), QString(" 世界地名"));
  ASSERT_EQ(view->logicalDpiX(), 96);
  EXPECT_EQ(view->size(), QSize(661, 386));  // 9915 × 5790 twips
  EXPECT_EQ(widget(w->DBGrid1)->geometry(), view->scale().rect(285, 390, 4635, 2820));
  EXPECT_EQ(widget(w->DBGrid2)->geometry(), view->scale().rect(5010, 390, 4650, 2820));
  EXPECT_TRUE(widget(w->DBGrid1)->isVisible());
  EXPECT_FALSE(widget(w->RichTextBox1)->isVisible());
  auto& grid = *static_cast<GridView*>(widget(w->DBGrid1));
  ASSERT_EQ(grid.model()->rowCount(), 4);
  EXPECT_EQ(grid.model()->index(1, 0).data().toString(), QString("中国【中华人民共和国】"));
  auto& banner = *static_cast<PictureView*>(widget(w->Picture1));
  EXPECT_EQ(banner.pixmap().size(), QSize(311, 94));
  auto& map = *static_cast<PictureView*>(widget(w->Picture3));
  EXPECT_EQ(map.pixmap().size(), QSize(386, 211));
  shoot("place_window.png");
}

TEST_F(DesktopPlacesTest, EveryControlStandsAtItsPlaceAndTheNameListsOnTheirPaleYellow) {
  for (Control* c : w->controls()) {
    QWidget* x = widget(*c);
    if (!x) continue;
    SCOPED_TRACE(c->name());
    EXPECT_EQ(x->isVisibleTo(view), c->Visible);
    if (c->Visible) {
      EXPECT_EQ(x->geometry(), view->scale().rect(*c));
    }
  }
  ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
  const QImage shot = view->grab().toImage();
  for (const DataGrid* g : {&w->DBGrid1, &w->DBGrid2}) {
    SCOPED_TRACE(g->name());
    auto& grid = *static_cast<GridView*>(widget(*g));
    // Below the last row, and on a row that is not the current one.
    const QPoint origin = grid.geometry().topLeft() + grid.viewport()->geometry().topLeft();
    const QPoint empty = origin + QPoint(30, grid.viewport()->height() - 5);
    const QPoint row = origin + QPoint(grid.viewport()->width() - 5, grid.rowViewportPosition(2) + 2);
    EXPECT_EQ(shot.pixelColor(empty), QColor(0xFF, 0xFF, 0xC0));
    EXPECT_EQ(shot.pixelColor(row), QColor(0xFF, 0xFF, 0xC0));
  }
}

TEST_F(DesktopPlacesTest, AClickOnTheBannerShowsTheMap) {
  QTest::mouseClick(widget(w->Picture1), Qt::LeftButton, {}, QPoint(20, 20));
  EXPECT_TRUE(w->Picture3.Visible);
  EXPECT_TRUE(widget(w->Picture3)->isVisible());
  EXPECT_FALSE(widget(w->DBGrid1)->isVisible());
  EXPECT_EQ(widget(w->Picture3)->geometry(), view->scale().rect(278, 410, 5660, 2810));
  shoot("place_window_map.png");
  QTest::mouseClick(widget(w->Picture3), Qt::LeftButton, {}, QPoint(20, 20));
  EXPECT_TRUE(widget(w->DBGrid1)->isVisible());
}

}  // namespace
}  // namespace zuvo::desktop
