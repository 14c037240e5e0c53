#include "desktop/picture_view.h"

#include <QPainter>

#include "desktop/look.h"
#include "store/seed.h"

namespace zuvo::desktop {

PictureView::PictureView(PictureBox& c, WindowView& view) : PanelView(c, view), box_(c) {}

void PictureView::sync() {
  PanelView::sync();
  if (box_.Picture == loaded_) return;
  loaded_ = box_.Picture;
  pixmap_ = QPixmap();
  if (!loaded_.empty()) pixmap_.load(QString::fromStdString((shippedDataDir() / toUtf8(loaded_)).string()));
  update();
}

void PictureView::paintEvent(QPaintEvent* e) {
  PanelView::paintEvent(e);
  if (pixmap_.isNull()) return;
  QPainter p(this);
  p.drawPixmap(0, 0, pixmap_);
}

}  // namespace zuvo::desktop
