#pragma once
// A window owns its controls (members of the derived class, registered here
// in declaration order) and its handlers. Windows exist once each and are
// reached through the Application, which creates and loads them on first use.

#include <string>
#include <vector>

#include "platform/control.h"

namespace zuvo {

class Application;

class Window {
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

  Application& app_;
  std::string name_;
  bool visible_ = false;
  std::vector<Control*> controls_;
  std::vector<Control*> stacking_;
  Control* focused_ = nullptr;
};

}  // namespace zuvo
