#pragma once
// The widgets of buttons, labels, shapes, lines, progress and status bars.

#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "desktop/window_view.h"

namespace zuvo::desktop {

// A command button: its caption with the access key, presses and releases
// sent to the model, which runs Click.
class ButtonView : public QPushButton, public ControlView {
 public:
  ButtonView(CommandButton& b, WindowView& view);
  QWidget& widget() override { return *this; }
  void sync() override;
  // The face inside the button's border, and the line its caption is drawn
  // on: a whole line of the font, centred on the face.
  QRect face() const;
  QRect captionLine() const;

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent*) override {}

 private:
  void paintFocus(QPainter& p) const;
  CommandButton& button_;
};

// A label, painted as the system draws one: its back colour, its caption
// wrapped at word boundaries, the access key underlined.
class LabelView : public QWidget, public ControlView {
 public:
  LabelView(Label& l, WindowView& view);
  QWidget& widget() override { return *this; }
  void sync() override;
  const QString& caption() const { return caption_; }
  QColor backColour() const { return back_; }
  // Where a label's caption is drawn in its window, by the model's values;
  // empty for no caption.
  static QRect captionRect(const Label& l, const Scale& s);
  QColor foreColour() const { return fore_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;

 private:
  static int captionFlags(int alignment);

  Label& label_;
  QString caption_;
  QColor back_, fore_;
  int alignment_ = 0;
};

// A rectangle outline; the mouse goes through it to what lies below.
class ShapeView : public QWidget, public ControlView {
 public:
  ShapeView(Shape& s, WindowView& view);
  QWidget& widget() override { return *this; }
  void sync() override;

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  Shape& shape_;
  QColor colour_;
  int pen_ = 1;
};

// A line from (X1, Y1) to (X2, Y2) in the window's twips.
class LineView : public QWidget, public ControlView {
 public:
  LineView(LineControl& l, WindowView& view);
  QWidget& widget() override { return *this; }
  void sync() override;

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  LineControl& line_;
  QColor colour_;
  int pen_ = 1;
  QPoint from_, to_;
};

class ProgressView : public QProgressBar, public ControlView {
 public:
  ProgressView(ProgressBar& p, WindowView& view);
  QWidget& widget() override { return *this; }
  void sync() override;

 private:
  ProgressBar& bar_;
};

// The status bar: panels with the current date and time.
class StatusView : public QWidget, public ControlView {
 public:
  StatusView(StatusBar& s, WindowView& view);
  QWidget& widget() override { return *this; }
  void sync() override;
  QString shownText() const { return date_ + "  " + time_; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  void tick();
  QTimer clock_;
  QString date_, time_;
};

// A control shown as a plain area of its back colour (a picture box).
class PanelView : public QWidget, public ControlView {
 public:
  PanelView(Control& c, WindowView& view);
  QWidget& widget() override { return *this; }
  void sync() override;

 protected:
  bool event(QEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
};

}  // namespace zuvo::desktop
