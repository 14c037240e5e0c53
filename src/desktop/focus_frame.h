#pragma once
// The mark of the control that holds the focus where no caret shows it: a
// dotted frame one pixel wide, in a colour that stands out from what lies
// under it.

#include <QPainter>
#include <QRect>

namespace zuvo::desktop {

inline void drawFocusFrame(QPainter& p, const QRect& r, const QColor& colour) {
  QPen pen(colour, 1, Qt::DotLine);
  pen.setCosmetic(true);
  p.save();
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  p.drawRect(r.adjusted(0, 0, -1, -1));
  p.restore();
}

}  // namespace zuvo::desktop
