#pragma once
// A picture box on the screen: its bitmap, a picture file shipped with the
// program, drawn at its own size from the top-left corner; clicks go to the
// model as for any panel.

#include <QPixmap>

#include "desktop/control_views.h"
#include "platform/control.h"

namespace zuvo::desktop {

class PictureView : public PanelView {
 public:
  PictureView(PictureBox& c, WindowView& view);
  void sync() override;
  // The bitmap shown, null when the file is missing.
  const QPixmap& pixmap() const { return pixmap_; }

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  PictureBox& box_;
  Text loaded_;
  QPixmap pixmap_;
};

}  // namespace zuvo::desktop
