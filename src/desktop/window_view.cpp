#include "desktop/window_view.h"

#include <QCloseEvent>
#include <QRegion>

#include "desktop/box_view.h"
#include "desktop/control_views.h"
#include "desktop/grid_view.h"
#include "desktop/picture_view.h"

namespace zuvo::desktop {

WindowView::WindowView(Window& model, User& user)
    : model_(model), user_(user), scale_(logicalDpiX()) {
  setFocusPolicy(Qt::NoFocus);
  for (Control* c : model.controls())
    if (ControlView* v = makeView(*c)) views_[c] = v;
  sync();
}

// The widgets go while the view is whole: a widget that reads the view as it
// closes (a grid's cells) must not find it half destroyed.
WindowView::~WindowView() {
  attached_ = false;
  views_.clear();
  const auto kids = children();
  for (QObject* k : kids) delete k;
}

ControlView* WindowView::makeView(Control& c) {
  switch (c.kind()) {
    case ControlKind::TextBox:
    case ControlKind::RichTextBox: return new BoxView(static_cast<TextBox&>(c), *this);
    case ControlKind::Label: return new LabelView(static_cast<Label&>(c), *this);
    case ControlKind::CommandButton: return new ButtonView(static_cast<CommandButton&>(c), *this);
    case ControlKind::Shape: return new ShapeView(static_cast<Shape&>(c), *this);
    case ControlKind::Line: return new LineView(static_cast<LineControl&>(c), *this);
    case ControlKind::ProgressBar: return new ProgressView(static_cast<ProgressBar&>(c), *this);
    case ControlKind::StatusBar: return new StatusView(static_cast<StatusBar&>(c), *this);
    case ControlKind::DataGrid:
    case ControlKind::FlexGrid: return new GridView(c, *this);
    case ControlKind::PictureBox: return new PictureView(static_cast<PictureBox&>(c), *this);
    case ControlKind::CommonDialog:
    case ControlKind::DataSource: return nullptr;  // nothing on the screen
  }
  return nullptr;
}

QWidget* WindowView::widgetFor(const Control& c) const {
  auto it = views_.find(&c);
  return it == views_.end() ? nullptr : &it->second->widget();
}

bool WindowView::showsFocus(const Control& c) const {
  auto it = views_.find(&c);
  if (it == views_.end()) return true;
  QWidget& w = it->second->widget();
  const QRect spot = it->second->focusSpot().translated(w.pos());
  if (spot.isEmpty()) return true;
  // Siblings stand back to front in the order of the children.
  QRegion seen(spot);
  bool inFront = false;
  for (QObject* o : children()) {
    if (o == &w) {
      inFront = true;
      continue;
    }
    auto* x = qobject_cast<QWidget*>(o);
    // Shapes and lines are outlines the mouse goes through: they hide little.
    if (!inFront || !x || !x->isVisible() || x->testAttribute(Qt::WA_TransparentForMouseEvents)) continue;
    seen -= x->geometry();
  }
  return !seen.isEmpty();
}

void WindowView::sync() {
  if (!attached_) return;
  const Scale scale(logicalDpiX());
  if (!(scale == scale_)) scale_ = scale;
  const QString title = toQString(model_.Caption);
  if (windowTitle() != title) setWindowTitle(title);
  if (model_.Width > 0 && model_.Height > 0) {
    const QSize size(scale_.px(model_.Width), scale_.px(model_.Height));
    if (this->size() != size || minimumSize() != size) setFixedSize(size);
  }
  if (isEnabled() != model_.Enabled) setEnabled(model_.Enabled);
  syncing_ = true;
  for (auto& [c, v] : views_) v->sync();
  syncStacking();
  syncFocus();
  syncing_ = false;
}

// Widgets stand in the model's stacking order, back to front.
void WindowView::syncStacking() {
  if (model_.stacking() == shownStacking_) return;
  shownStacking_ = model_.stacking();
  for (Control* c : shownStacking_)
    if (QWidget* w = widgetFor(*c)) w->raise();
}

void WindowView::syncFocus() {
  Control* focused = model_.focused();
  QWidget* w = focused ? widgetFor(*focused) : nullptr;
  // A grid's cell editor keeps the focus inside the focused grid.
  if (w && focusWidget() && w->isAncestorOf(focusWidget())) return;
  if (w && w->isVisible() && focusWidget() != w) w->setFocus(Qt::OtherFocusReason);
}

void WindowView::paintProgress() {
  if (!attached_ || !isVisible()) return;
  for (auto& [c, v] : views_) {
    if (c->kind() != ControlKind::ProgressBar) continue;
    v->sync();
    if (v->widget().isVisible()) v->widget().repaint();
  }
}

void WindowView::detach() {
  attached_ = false;
  setEnabled(false);
  hide();
}

void WindowView::closeEvent(QCloseEvent* e) {
  // The model decides: the close box unloads the window.
  e->ignore();
  if (attached_) user_.close(model_);
}

// Qt never moves the focus by itself, neither for Tab (the widgets send it
// to the model) nor when the focused widget is hidden: the model decides,
// and the next sync shows its choice.
bool WindowView::focusNextPrevChild(bool) { return true; }

}  // namespace zuvo::desktop
