#pragma once
// A window owns its controls (members of the derived class, registered here
// in declaration order) and its handlers. Windows exist once each and are
// reached through the Application, which creates and loads them on first use.

#include <string>
#include <vector>

#include "platform/application.h"
#include "platform/control.h"
#include "platform/journal.h"

namespace zuvo {

class Application;

class Window : public Journaled {
 public:
  Window(Application& app, std::string name);
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  const std::string& name() const { return name_; }
  Application& app() const { return app_; }

  Text Caption;
  float Left = 0, Top = 0, Width = 0, Height = 0;  // client area, twips
  bool Enabled = true;

  bool Visible() const { return visible_; }
  // Makes the window visible without blocking.
  void Show();
  // Makes it invisible; it stays loaded.
  void Hide();

  // The controls in declaration order, and in stacking order (back to front).
  const std::vector<Control*>& controls() const { return controls_; }
  const std::vector<Control*>& stacking() const { return stacking_; }
  Control* find(std::string_view name) const;
  // The topmost reachable control that contains the point, or nullptr.
  Control* controlAt(float x, float y) const;

  Control* focused() const { return focused_; }
  // When a handler has hidden or disabled the control with the focus, the
  // focus moves on to the next control in tab order that can take it.
  void moveFocusOffUnreachable();

  // Runs when the window is created, before anything else reaches it.
  virtual void Form_Load() {}
  // Runs when the window is unloaded.
  virtual void Form_Unload(int& cancel) { (void)cancel; }

 private:
  friend class Control;
  friend class Application;
  void add(Control& c);
  void remove(Control& c);
  void bringToFront(Control& c);
  void sendToBack(Control& c);
  void moveFocus(Control* to);
  // Before the window's visibility, focus or stacking first changes in an
  // event: they are kept.
  void changing();
  void putBack() override;
  void letGo() override { keptStacking_.clear(); }

  Application& app_;
  std::string name_;
  bool visible_ = false;
  std::vector<Control*> controls_;
  std::vector<Control*> stacking_;
  Control* focused_ = nullptr;
  bool keptVisible_ = false;
  std::vector<Control*> keptStacking_;
  Control* keptFocused_ = nullptr;
};

// A value a window keeps beside its controls, which a handler reads back
// in a later event; like the controls, it goes back to how it stood before
// the gesture when the event's save fails.
template <class T>
class WindowValue final : public Journaled {
 public:
  explicit WindowValue(Window& w, T v = T{}) : window_(w), v_(std::move(v)) {}
  ~WindowValue() override { window_.app().journal().forget(*this); }
  WindowValue(const WindowValue&) = delete;
  const T& get() const { return v_; }
  const T* operator->() const { return &v_; }
  WindowValue& operator=(T v) {
    if (window_.app().journal().first(*this)) kept_ = v_;
    v_ = std::move(v);
    return *this;
  }

 private:
  void putBack() override { v_ = std::move(kept_); }
  void letGo() override { kept_ = T{}; }
  Window& window_;
  T v_;
  T kept_{};
};

}  // namespace zuvo
