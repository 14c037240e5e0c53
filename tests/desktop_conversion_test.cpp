// The unit-conversion window on Qt's offscreen platform: its controls at
// their places, typing a quantity and reading the result, a list text edited
// in a grid cell, a row picked with the mouse, and screenshots.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QTest>
#include <filesystem>

#include "desktop/box_view.h"
#include "desktop/control_views.h"
#include "desktop/grid_view.h"
#include "support/desktop_support.h"
#include "support/desktop_views.h"
#include "tools/conversion_window.h"

namespace zuvo::desktop {
namespace {

using zuvo::testing::DesktopTest;
using zuvo::testing::lineRects;
using zuvo::testing::str;
using zuvo::testing::TempDir;

class DesktopConversionTest : public DesktopTest {
 protected:
  void SetUp() override {
    startDesktop(dir.path());
    d->app().event([&] {
      w = &d->app().form<Frm计量换算>();
      w->Show();
    });
    view = d->viewOf(*w);
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(view->isVisible());
  }
  GridView& grid(const DataGrid& g) const { return *static_cast<GridView*>(widget(g)); }
  QPoint rowPoint(GridView& g, int row) const { return QPoint(40, g.rowViewportPosition(row) + 4); }
  // The cell editor open in a grid, or nullptr.
  QLineEdit* cellEditor(GridView& g) const {
    for (QLineEdit* e : g.findChildren<QLineEdit*>())
      if (e->isVisible()) return e;
    return nullptr;
  }
  QString shown(const TextBox& box) const { return static_cast<BoxView*>(widget(box))->toPlainText(); }

  Frm计量换算* w = nullptr;
};

TEST_F(DesktopConversionTest, TypingAQuantityShowsTheResultAndAPickedRowEmptiesBoth) {
  EXPECT_EQ(view->windowTitle(), " 计量单位换算");
  GridView& g1 = grid(w->DBGrid1);
  EXPECT_EQ(g1.geometry(), view->scale().rect(192, 610, 7170, 3580));
  EXPECT_TRUE(g1.isVisible());
  EXPECT_FALSE(grid(w->DBGrid2).isVisible());
  ASSERT_EQ(g1.model()->rowCount(), 12);
  EXPECT_EQ(g1.model()->index(4, 0).data().toString(), "1 英尺 = 0.3048 米");
  EXPECT_EQ(static_cast<QPushButton*>(widget(w->Cmd1))->text(), "长 度(&C)");
  EXPECT_FALSE(widget(w->Command22)->isEnabled());

  // The input box has the focus: keys go straight to it.
  ASSERT_EQ(view->focusWidget(), widget(w->Text1));
  QTest::keyClicks(widget(w->Text1), "2.5");
  EXPECT_EQ(w->Text2.text(), u"2500");
  EXPECT_EQ(shown(w->Text2), "2500");

  QTest::mouseClick(g1.viewport(), Qt::LeftButton, {}, rowPoint(g1, 4));
  EXPECT_EQ(w->DBGrid1.Row(), 4);
  EXPECT_EQ(shown(w->Text1), "");
  EXPECT_EQ(shown(w->Text2), "");
  EXPECT_EQ(view->focusWidget(), widget(w->Text1));
  QTest::keyClicks(widget(w->Text1), "3");
  EXPECT_EQ(shown(w->Text2), "0.9144");

  // Another category: its grid in place of the first.
  QTest::mouseClick(widget(w->Cmd4), Qt::LeftButton);
  EXPECT_FALSE(g1.isVisible());
  EXPECT_TRUE(grid(w->DBGrid4).isVisible());
  EXPECT_EQ(shown(w->Text2), "0.9144");
}

TEST_F(DesktopConversionTest, AListTextEditedInTheCurrentCellIsWrittenAndNoCellOpensAfterARowChange) {
  GridView& g1 = grid(w->DBGrid1);
  QTest::mouseDClick(g1.viewport(), Qt::LeftButton, {}, rowPoint(g1, 0));
  QLineEdit* editor = cellEditor(g1);
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->text(), "1 千米 = 1000 米");
  // Ctrl+A selects the cell's text; the Ctrl key on its own leaves the
  // editor open.
  QTest::keyPress(editor, Qt::Key_Control);
  QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
  QTest::keyRelease(editor, Qt::Key_Control);
  ASSERT_EQ(cellEditor(g1), editor);
  QTest::keyClicks(editor, "1 km = 1000 m");
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();  // the editor closes once Qt is back in its loop
  EXPECT_EQ(cellEditor(g1), nullptr);
  EXPECT_EQ(view->focusWidget(), &g1);  // the next key goes to the grid again
  EXPECT_EQ(w->DBGrid1.cell(0), u"1 km = 1000 m");
  EXPECT_EQ(w->Text4.text(), u"1 km = 1000 m");
  EXPECT_EQ(g1.model()->index(0, 0).data().toString(), "1 km = 1000 m");

  // A typed character starts an edit over the old text; a click on another
  // row finishes it before the row moves.
  QTest::keyClick(&g1, Qt::Key_K);
  editor = cellEditor(g1);
  ASSERT_NE(editor, nullptr);
  QTest::keyClicks(editor, "m");
  QTest::mouseClick(g1.viewport(), Qt::LeftButton, {}, rowPoint(g1, 2));
  EXPECT_EQ(w->DBGrid1.cell(0), u"km");
  EXPECT_EQ(w->DBGrid1.Row(), 2);
  EXPECT_FALSE(w->DBGrid1.AllowUpdate);

  // Editing is off now: a double click opens no editor.
  QTest::mouseDClick(g1.viewport(), Qt::LeftButton, {}, rowPoint(g1, 2));
  EXPECT_EQ(cellEditor(g1), nullptr);
  EXPECT_EQ(w->DBGrid1.cell(2), u"1 厘米 = 10 毫米");
}

TEST_F(DesktopConversionTest, EveryResultShowsWholeInTheResultBoxAtItsDesignSize) {
  struct Case {
    CommandButton* category;
    DataGrid* grid;
    int row;
    const char* input;
    const char16_t* result;
  };
  const Case cases[] = {
      // Short results keep the box where it was drawn.
      {&w->Cmd1, &w->DBGrid1, 3, "3", u"9.84251968503936"},
      {&w->Cmd1, &w->DBGrid1, 0, "-2.5", u"-2500"},
      // "1 米 = 3.28083989501312 英尺"
      {&w->Cmd1, &w->DBGrid1, 3, "0.0000001", u"3.28083989501312E-07"},
      {&w->Cmd1, &w->DBGrid1, 3, "-0.0000001", u"-3.28083989501312E-07"},
      {&w->Cmd1, &w->DBGrid1, 3, "-0.0001", u"-0.000328083989501312"},
      {&w->Cmd1, &w->DBGrid1, 3, "-123456789012345", u"-405041958701919"},
      // "1 千米 = 1000 米"
      {&w->Cmd1, &w->DBGrid1, 0, "123456789012345678", u"1.23456789012346E+20"},
      {&w->Cmd1, &w->DBGrid1, 0, "-1.23456789012345e300", u"-1.23456789012345E+303"},
      // The longest unit captions: four characters.
      {&w->Cmd3, &w->DBGrid3, 3, "-0.0000001", u"-2.64172052358148E-08"},
      {&w->Cmd3, &w->DBGrid3, 3, "-0.001", u"-0.000264172052358148"},
      {&w->Cmd3, &w->DBGrid3, 3, "-1e300", u"-2.64172052358148E+299"},
      {&w->Cmd3, &w->DBGrid3, 3, "-1e-300", u"-2.64172052358148E-301"},
      {&w->Cmd2, &w->DBGrid2, 11, "-1e305", u"-3.86102158542446E+304"},
      {&w->Cmd3, &w->DBGrid3, 3, "-1e300", u"-2.64172052358148E+299"},  // left on the screen
  };
  auto& result = *static_cast<BoxView*>(widget(w->Text2));
  const QRect design = view->scale().rect(w->Text2);
  const QRect nextButton = widget(w->Command7)->geometry();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    QTest::mouseClick(widget(*c.category), Qt::LeftButton);
    ASSERT_TRUE(d->user().mouseDown(*c.grid, {}, c.row));
    while (!w->Text1.text().empty()) QTest::keyClick(widget(w->Text1), Qt::Key_Backspace);
    QTest::keyClicks(widget(w->Text1), c.input);
    ASSERT_EQ(w->Text2.text(), c.result);
    QCoreApplication::processEvents();
    EXPECT_EQ(result.font().pointSizeF(), 7.5);
    // Whole: the line within the box's inside, nothing scrolled away.
    const QRect port = result.viewport()->geometry();
    EXPECT_EQ(result.horizontalScrollBar()->value(), 0);
    for (const QRect& r : lineRects(result)) EXPECT_TRUE(port.contains(r)) << "line " << str(r) << " in " << str(port);
    // Where it fits, the box is where it was drawn; else it stays on its row,
    // clear of the unit caption and of the next button.
    const QRect box = result.geometry();
    if (result.document()->idealWidth() + 2 * result.frameWidth() <= design.width()) {
      EXPECT_EQ(box, design);
    } else {
      EXPECT_EQ(box.top(), design.top());
      EXPECT_EQ(box.height(), design.height());
      EXPECT_TRUE(box.contains(design)) << str(box);
    }
    const QRect caption = LabelView::captionRect(w->Label9, view->scale());
    EXPECT_LT(caption.right(), box.left()) << "caption " << str(caption) << ", box " << str(box);
    EXPECT_LT(box.right(), nextButton.left());
  }
  const std::filesystem::path out = ZUVO_TEST_OUTPUT_DIR;
  std::filesystem::create_directories(out);
  ASSERT_TRUE(view->grab().save(QString::fromStdString((out / "conversion_long_result.png").string())));
}

TEST_F(DesktopConversionTest, Screenshots) {
  const std::filesystem::path out = ZUVO_TEST_OUTPUT_DIR;
  std::filesystem::create_directories(out);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
  QTest::keyClicks(widget(w->Text1), "12");
  const QImage shot = view->grab().toImage();
  ASSERT_TRUE(shot.save(QString::fromStdString((out / "conversion_window.png").string())));
  // Not blank: the input box's pale orange is drawn.
  const QColor input = shot.pixelColor(widget(w->Text1)->geometry().topLeft() + QPoint(3, 3));
  EXPECT_EQ(input, QColor(0xFF, 0xE0, 0xC0));

  QTest::mouseClick(widget(w->Command2), Qt::LeftButton);
  QTest::mouseClick(widget(w->Command8), Qt::LeftButton);
  ASSERT_TRUE(view->grab().save(QString::fromStdString((out / "conversion_window_edit.png").string())));
  EXPECT_TRUE(widget(w->Text4)->isVisible());
  EXPECT_TRUE(widget(w->Text13)->isVisible());
}

}  // namespace
}  // namespace zuvo::desktop
