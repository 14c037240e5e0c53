#include "desktop/control_views.h"

#include <QDate>
#include <QGuiApplication>
#include <QPainter>
#include <QShortcutEvent>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTime>
#include <qdrawutil.h>

#include "desktop/focus_frame.h"

namespace zuvo::desktop {

namespace {

int alignmentFlags(int alignment) {
  switch (alignment) {
    case 1: return Qt::AlignRight;
    case 2: return Qt::AlignHCenter;
    default: return Qt::AlignLeft;
  }
}

// A key on a control without text of its own: typed characters run its key
// events, other keys KeyDown and KeyUp.
void forwardKey(User& u, Control& c, const QKeyEvent& e) {
  const int shift = modelShift(e.modifiers());
  const bool ctrl = e.modifiers() & Qt::ControlModifier;
  if (ctrl && e.key() >= Qt::Key_A && e.key() <= Qt::Key_Z) {
    u.pressKey(c, 'A' + (e.key() - Qt::Key_A), shift);
  } else if (const int code = modelKeyCode(e.key())) {
    u.pressKey(c, code, shift);
  } else if (!e.text().isEmpty() && e.text()[0].isPrint() && !(e.modifiers() & Qt::AltModifier)) {
    u.typeKeys(c, keyboardText(e.text()));
  }
}

}  // namespace

// --- ControlView ---------------------------------------------------------------

User* ControlView::user() const { return view_.attached() ? &view_.user() : nullptr; }

const Scale& ControlView::scale() const { return view_.scale(); }

bool ControlView::tabKey(QEvent* e) {
  if (e->type() != QEvent::KeyPress) return false;
  auto* k = static_cast<QKeyEvent*>(e);
  if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
  if (k->key() != Qt::Key_Tab && k->key() != Qt::Key_Backtab) return false;
  // The style shows which control has the focus once the keyboard moves it.
  view_.setAttribute(Qt::WA_KeyboardFocusChange);
  // Tab passes over a control whose focus could not be seen.
  if (User* u = user())
    u->tab(view_.model(), k->key() == Qt::Key_Backtab || (k->modifiers() & Qt::ShiftModifier),
           [this](const Control& c) { return view_.showsFocus(c); });
  return true;
}

bool ControlView::syncCommon(std::optional<QRect> place) {
  QWidget& w = widget();
  const Control& c = control_;
  if (w.isVisibleTo(&view_) != c.Visible) w.setVisible(c.Visible);
  if (!c.Visible) return false;
  const QRect r = place ? *place : scale().rect(c);
  if (w.geometry() != r) w.setGeometry(r);
  if (w.isEnabledTo(&view_) != c.Enabled) w.setEnabled(c.Enabled);
  if (!fontSet_ || fontName_ != c.FontName || fontSize_ != c.FontSize || fontBold_ != c.FontBold) {
    w.setFont(qfont(c));
    fontSet_ = true;
    fontName_ = c.FontName;
    fontSize_ = c.FontSize;
    fontBold_ = c.FontBold;
  }
  return true;
}

// --- ButtonView ----------------------------------------------------------------

ButtonView::ButtonView(CommandButton& b, WindowView& view)
    : QPushButton(&view), ControlView(b, view), button_(b) {
  setFocusPolicy(Qt::NoFocus);
  setAutoDefault(false);
  setMouseTracking(true);
}

void ButtonView::sync() {
  if (!syncCommon()) return;
  const QString t = toQString(button_.Caption.get());
  if (text() != t) setText(t);
  // A release that a modal box took never reached the button.
  if (isDown() && !(QGuiApplication::mouseButtons() & Qt::LeftButton)) setDown(false);
}

QRect ButtonView::face() const {
  QStyleOptionButton opt;
  initStyleOption(&opt);
  return style()->subElementRect(QStyle::SE_PushButtonContents, &opt, this);
}

// The style would centre the caption's ink by fractions of a pixel, so that
// on a small button it touches the lower border; the line is placed here on
// whole pixels, with any spare pixel below it.
QRect ButtonView::captionLine() const {
  const QRect f = face();
  const int line = fontMetrics().height();
  const int top = f.top() + std::max(0, f.height() - line) / 2;
  return QRect(f.left(), top, f.width(), line);
}

void ButtonView::paintEvent(QPaintEvent*) {
  QStylePainter p(this);
  QStyleOptionButton opt;
  initStyleOption(&opt);
  const QString caption = opt.text;
  opt.text.clear();
  p.drawControl(QStyle::CE_PushButton, opt);  // the face, its border and the focus
  const int mnemonic =
      style()->styleHint(QStyle::SH_UnderlineShortcut, &opt, this) ? Qt::TextShowMnemonic : Qt::TextHideMnemonic;
  p.drawItemText(captionLine(), Qt::AlignHCenter | Qt::AlignTop | mnemonic, opt.palette, isEnabled(), caption,
                 QPalette::ButtonText);
  if (hasFocus()) paintFocus(p);
}

// The style's own focus mark is a faint tint of the border: the focused
// button gets a dark outline on its border too, and a dotted frame round
// its caption where the face leaves room between the two.
void ButtonView::paintFocus(QPainter& p) const {
  const QColor ink = palette().color(QPalette::ButtonText);
  p.save();
  p.setPen(QPen(ink, 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(rect().adjusted(0, 0, -1, -1));
  p.restore();
  const QRect inner = rect().adjusted(3, 3, -3, -3);
  const QRect line = captionLine();
  if (inner.top() < line.top() && inner.bottom() > line.bottom()) drawFocusFrame(p, inner, ink);
}

bool ButtonView::event(QEvent* e) {
  if (tabKey(e)) return true;
  if (e->type() == QEvent::Shortcut) {  // its access key with Alt
    // An access key that several buttons share only moves the focus among them.
    if (User* u = user()) {
      if (static_cast<QShortcutEvent*>(e)->isAmbiguous())
        u->focus(button_);
      else
        u->pressButton(button_);
    }
    return true;
  }
  return QPushButton::event(e);
}

void ButtonView::mousePressEvent(QMouseEvent* e) {
  User* u = user();
  if (!u) return;
  if (e->button() == Qt::LeftButton) setDown(true);
  u->mouseDown(button_, modelMouse(*e, e->pos(), e->button(), scale()));
}

void ButtonView::mouseReleaseEvent(QMouseEvent* e) {
  User* u = user();
  if (!u) return;
  if (e->button() == Qt::LeftButton) setDown(false);
  u->mouseUp(button_, modelMouse(*e, e->pos(), e->button(), scale()));
}

// A button knows no double click: the second press is a press.
void ButtonView::mouseDoubleClickEvent(QMouseEvent* e) { mousePressEvent(e); }

void ButtonView::mouseMoveEvent(QMouseEvent* e) {
  if (User* u = user()) u->mouseMove(button_, modelMouse(*e, e->pos(), e->buttons(), scale()));
}

void ButtonView::keyPressEvent(QKeyEvent* e) {
  User* u = user();
  if (!u) return;
  // Space and Return press the button as keys: its Click runs, never its
  // mouse handlers.
  switch (e->key()) {
    case Qt::Key_Space:
      if (!e->isAutoRepeat()) u->pressButton(button_, ' ');
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (!e->isAutoRepeat()) u->pressButton(button_, kKeyReturn);
      return;
    default: forwardKey(*u, button_, *e);
  }
}

// --- LabelView -----------------------------------------------------------------

LabelView::LabelView(Label& l, WindowView& view) : QWidget(&view), ControlView(l, view), label_(l) {
  setFocusPolicy(Qt::NoFocus);
}

void LabelView::sync() {
  if (!syncCommon()) return;
  QString caption = toQString(label_.Caption());
  caption.replace("\r\n", "\n");
  const QColor back = qcolour(label_.BackColor, view().palette());
  const QColor fore = qcolour(label_.ForeColor, view().palette());
  if (caption == caption_ && back == back_ && fore == fore_ && alignment_ == label_.Alignment) return;
  caption_ = caption;
  back_ = back;
  fore_ = fore;
  alignment_ = label_.Alignment;
  update();
}

void LabelView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), back_);
  p.setPen(isEnabled() ? fore_ : palette().color(QPalette::Disabled, QPalette::WindowText));
  p.setFont(font());
  p.drawText(rect(), captionFlags(alignment_), caption_);
}

int LabelView::captionFlags(int alignment) {
  return Qt::TextWordWrap | Qt::TextShowMnemonic | Qt::AlignTop | alignmentFlags(alignment);
}

QRect LabelView::captionRect(const Label& l, const Scale& s) {
  QString caption = toQString(l.Caption());
  caption.replace("\r\n", "\n");
  if (caption.isEmpty()) return {};
  const QRect place = s.rect(l);
  return QFontMetrics(qfont(l)).boundingRect(place, captionFlags(l.Alignment), caption).intersected(place);
}

void LabelView::mousePressEvent(QMouseEvent* e) {
  if (User* u = user()) u->mouseDown(label_, modelMouse(*e, e->pos(), e->button(), scale()));
}

void LabelView::mouseReleaseEvent(QMouseEvent* e) {
  if (User* u = user()) u->mouseUp(label_, modelMouse(*e, e->pos(), e->button(), scale()));
}

void LabelView::mouseDoubleClickEvent(QMouseEvent* e) {
  if (User* u = user()) u->mouseDoubleClick(label_, modelMouse(*e, e->pos(), e->button(), scale()));
}

void LabelView::mouseMoveEvent(QMouseEvent* e) {
  if (User* u = user()) u->mouseMove(label_, modelMouse(*e, e->pos(), e->buttons(), scale()));
}

// --- ShapeView and LineView ----------------------------------------------------

ShapeView::ShapeView(Shape& s, WindowView& view) : QWidget(&view), ControlView(s, view), shape_(s) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
}

void ShapeView::sync() {
  if (!syncCommon()) return;
  const QColor colour = qcolour(shape_.BorderColor, view().palette());
  const int pen = scale().pen(shape_.BorderWidth);
  if (colour == colour_ && pen == pen_) return;
  colour_ = colour;
  pen_ = pen;
  update();
}

void ShapeView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QPen pen(colour_, pen_);
  pen.setJoinStyle(Qt::MiterJoin);
  p.setPen(pen);
  const double inset = pen_ / 2.0;
  p.drawRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
}

LineView::LineView(LineControl& l, WindowView& view) : QWidget(&view), ControlView(l, view), line_(l) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
}

void LineView::sync() {
  const int pen = scale().pen(line_.BorderWidth);
  const QPoint a(scale().px(line_.X1), scale().px(line_.Y1));
  const QPoint b(scale().px(line_.X2), scale().px(line_.Y2));
  const QRect place = QRect(a, b).normalized().adjusted(-pen, -pen, pen, pen);
  if (!syncCommon(place)) return;
  const QColor colour = qcolour(line_.BorderColor, view().palette());
  if (colour == colour_ && pen == pen_ && a - place.topLeft() == from_ && b - place.topLeft() == to_) return;
  colour_ = colour;
  pen_ = pen;
  from_ = a - place.topLeft();
  to_ = b - place.topLeft();
  update();
}

void LineView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setPen(QPen(colour_, pen_, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(from_, to_);
}

// --- ProgressView --------------------------------------------------------------

ProgressView::ProgressView(ProgressBar& p, WindowView& view)
    : QProgressBar(&view), ControlView(p, view), bar_(p) {
  setTextVisible(false);
  setFocusPolicy(Qt::NoFocus);
}

void ProgressView::sync() {
  if (!syncCommon()) return;
  const int lo = static_cast<int>(std::lround(bar_.Min));
  const int hi = std::max(lo, static_cast<int>(std::lround(bar_.Max)));
  if (minimum() != lo || maximum() != hi) setRange(lo, hi);
  const int v = std::clamp(static_cast<int>(std::lround(bar_.Value)), lo, hi);
  if (value() != v) setValue(v);
}

// --- StatusView ----------------------------------------------------------------

StatusView::StatusView(StatusBar& s, WindowView& view) : QWidget(&view), ControlView(s, view) {
  setFocusPolicy(Qt::NoFocus);
  connect(&clock_, &QTimer::timeout, this, [this] { tick(); });
  clock_.start(1000);
  tick();
}

void StatusView::sync() { syncCommon(); }

void StatusView::tick() {
  const QString date = QDate::currentDate().toString("yyyy-MM-dd");
  const QString time = QTime::currentTime().toString("hh:mm");
  if (date == date_ && time == time_) return;
  date_ = date;
  time_ = time;
  update();
}

void StatusView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Button));
  p.setPen(palette().color(QPalette::ButtonText));
  p.setFont(font());
  const QFontMetrics fm(font());
  int x = 2;
  for (const QString& panel : {date_, time_}) {
    const QRect r(x, 2, fm.horizontalAdvance(panel) + 12, height() - 4);
    qDrawShadePanel(&p, r, palette(), true, 1);
    p.drawText(r, Qt::AlignCenter, panel);
    x = r.right() + 4;
  }
}

// --- PanelView -----------------------------------------------------------------

PanelView::PanelView(Control& c, WindowView& view) : QWidget(&view), ControlView(c, view) {
  setFocusPolicy(Qt::NoFocus);
  setAutoFillBackground(true);
}

void PanelView::sync() {
  if (!syncCommon()) return;
  const QColor back = qcolour(control().BackColor, view().palette());
  if (palette().color(QPalette::Window) == back) return;
  QPalette pal = palette();
  pal.setColor(QPalette::Window, back);
  setPalette(pal);
}

bool PanelView::event(QEvent* e) {
  if (tabKey(e)) return true;
  if (e->type() == QEvent::KeyPress) {
    if (User* u = user()) forwardKey(*u, control(), *static_cast<QKeyEvent*>(e));
    return true;
  }
  return QWidget::event(e);
}

void PanelView::mousePressEvent(QMouseEvent* e) {
  if (User* u = user()) u->mouseDown(control(), modelMouse(*e, e->pos(), e->button(), scale()));
}

void PanelView::mouseReleaseEvent(QMouseEvent* e) {
  if (User* u = user()) u->mouseUp(control(), modelMouse(*e, e->pos(), e->button(), scale()));
}

}  // namespace zuvo::desktop
