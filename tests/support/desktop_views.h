#pragma once
// What the desktop tests that look at the drawn windows share: where a box's
// lines lie, a rectangle in words for a failure message, and a fixture with
// the main window shown on the suite's dictionary. Header only, like the
// rest of the desktop support.

#include <gtest/gtest.h>

#include <QRect>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <string>
#include <vector>

#include "app/FrmLexaro.h"
#include "desktop/box_view.h"
#include "support/desktop_support.h"
#include "support/dictionary.h"

namespace zuvo::testing {

// Where each line of a box's text lies, in the box's own pixels, as it is
// scrolled now.
inline std::vector<QRect> lineRects(const desktop::BoxView& b) {
  std::vector<QRect> out;
  const QPoint origin = b.viewport()->geometry().topLeft() -
                        QPoint(b.horizontalScrollBar()->value(), b.verticalScrollBar()->value());
  for (QTextBlock block = b.document()->begin(); block.isValid(); block = block.next()) {
    const QTextLayout* layout = block.layout();
    for (int i = 0; i < layout->lineCount(); ++i) {
      const QTextLine line = layout->lineAt(i);
      const QRectF r(layout->position() + QPointF(line.x(), line.y()), QSizeF(line.naturalTextWidth(), line.height()));
      out.push_back(r.toAlignedRect().translated(origin));
    }
  }
  return out;
}

inline std::string str(const QRect& r) {
  return "(" + std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) + "x" +
         std::to_string(r.height()) + ")";
}

// The desktop started on the suite's dictionary (written by the suite's own
// SetUpTestSuite) with its main window shown, for each test.
class MainWindowDesktopTest : public SuiteDictionary<DesktopTest> {
 protected:
  void SetUp() override {
    startDesktop(folder->path());
    main = &d->app().form<FrmLexaro>();
    view = d->viewOf(*main);
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
  }
  desktop::BoxView& box(const Control& c) const { return *static_cast<desktop::BoxView*>(widget(c)); }

  FrmLexaro* main = nullptr;
};

}  // namespace zuvo::testing
