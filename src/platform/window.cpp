#include "platform/window.h"

#include <algorithm>

#include "platform/application.h"

namespace zuvo {

namespace {
// Labels, shapes and lines are drawn on the window itself, behind every
// control that is a window of its own; bringing one to the front moves it
// only within its own layer.
bool graphical(const Control& c) {
  switch (c.kind()) {
    case ControlKind::Label:
    case ControlKind::Shape:
    case ControlKind::Line:
      return true;
    default:
      return false;
  }
}

bool hitTestable(const Control& c) {
  switch (c.kind()) {
    case ControlKind::Line:
    case ControlKind::CommonDialog:
    case ControlKind::DataSource:
      return false;
    default:
      return true;
  }
}
}  // namespace

Window::Window(Application& app, std::string name) : app_(app), name_(std::move(name)) {}

Window::~Window() { app_.journal().forget(*this); }

void Window::changing() {
  if (!app_.journal().first(*this)) return;
  keptVisible_ = visible_;
  keptStacking_ = stacking_;
  keptFocused_ = focused_;
}

void Window::putBack() {
  visible_ = keptVisible_;
  stacking_.swap(keptStacking_);
  focused_ = keptFocused_;
}

void Window::Show() {
  if (!visible_) changing();
  visible_ = true;
  if (focused_) return;
  // A window shown for the first time gives the focus to the first control
  // in tab order that can take it.
  Control* first = nullptr;
  for (Control* c : controls_)
    if (c->TabStop && c->reachable() && c->canTakeFocus() && (!first || c->TabIndex < first->TabIndex)) first = c;
  if (first) moveFocus(first);
}

void Window::Hide() {
  if (visible_) changing();
  visible_ = false;
}

void Window::moveFocusOffUnreachable() {
  if (!focused_ || focused_->reachable()) return;
  const int from = focused_->TabIndex;
  Control* next = nullptr;      // the first after it in tab order
  Control* wrapped = nullptr;   // else the first of all
  for (Control* c : controls_) {
    if (c == focused_ || !c->TabStop || !c->reachable() || !c->canTakeFocus()) continue;
    if (c->TabIndex > from && (!next || c->TabIndex < next->TabIndex)) next = c;
    if (!wrapped || c->TabIndex < wrapped->TabIndex) wrapped = c;
  }
  if (Control* to = next ? next : wrapped) moveFocus(to);
}

void Window::add(Control& c) {
  changing();
  controls_.push_back(&c);
  c.TabIndex = static_cast<int>(controls_.size());
  stacking_.push_back(&c);
  bringToFront(c);
}

void Window::remove(Control& c) {
  changing();
  std::erase(keptStacking_, &c);
  if (keptFocused_ == &c) keptFocused_ = nullptr;
  std::erase(controls_, &c);
  std::erase(stacking_, &c);
  if (focused_ == &c) focused_ = nullptr;
}

void Window::bringToFront(Control& c) {
  if (!graphical(c) && !stacking_.empty() && stacking_.back() == &c) return;  // in front already
  changing();
  std::erase(stacking_, &c);
  if (graphical(c)) {
    auto firstWindowed = std::find_if(stacking_.begin(), stacking_.end(),
                                      [](const Control* x) { return !graphical(*x); });
    stacking_.insert(firstWindowed, &c);
  } else {
    stacking_.push_back(&c);
  }
}

void Window::sendToBack(Control& c) {
  changing();
  std::erase(stacking_, &c);
  if (graphical(c)) {
    stacking_.insert(stacking_.begin(), &c);
  } else {
    auto firstWindowed = std::find_if(stacking_.begin(), stacking_.end(),
                                      [](const Control* x) { return !graphical(*x); });
    stacking_.insert(firstWindowed, &c);
  }
}

Control* Window::find(std::string_view name) const {
  for (Control* c : controls_)
    if (c->name() == name) return c;
  return nullptr;
}

Control* Window::controlAt(float x, float y) const {
  for (auto it = stacking_.rbegin(); it != stacking_.rend(); ++it) {
    Control* c = *it;
    if (!c->Visible || !hitTestable(*c)) continue;
    if (x >= c->Left && x < c->Left + c->Width && y >= c->Top && y < c->Top + c->Height) return c;
  }
  return nullptr;
}

void Window::moveFocus(Control* to) {
  if (focused_ == to) return;
  changing();
  Control* from = focused_;
  focused_ = to;
  if (from) Control::run(from->LostFocus);
  if (to && focused_ == to) Control::run(to->GotFocus);
}

}  // namespace zuvo
