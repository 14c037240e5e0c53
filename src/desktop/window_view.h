#pragma once
// A passive view of one window of the model: a Qt widget per control, placed
// from its twips, refreshed from the model after every user event. Gestures
// are forwarded to the model's User; nothing is decided here.

#include <QWidget>
#include <map>
#include <optional>
#include <vector>

#include "desktop/look.h"
#include "platform/user.h"
#include "platform/window.h"

namespace zuvo::desktop {

class WindowView;

// The part every control's widget shares: it knows its control and its
// window's view, and brings itself in step with the control.
class ControlView {
 public:
  ControlView(Control& c, WindowView& view) : control_(c), view_(view) {}
  virtual ~ControlView() = default;
  ControlView(const ControlView&) = delete;
  ControlView& operator=(const ControlView&) = delete;

  virtual QWidget& widget() = 0;
  virtual void sync() = 0;
  Control& control() const { return control_; }
  // Where the widget shows that it holds the focus, in its own pixels: the
  // whole widget, or a box's caret.
  virtual QRect focusSpot() const { return const_cast<ControlView*>(this)->widget().rect(); }

 protected:
  // Visibility, place, enabled state and font; false when the control is
  // hidden and there is nothing more to show.
  // `place` overrides the control's own rectangle (a line's bounds).
  bool syncCommon(std::optional<QRect> place = std::nullopt);
  // The user's entry points while the window is on the screen; nullptr once
  // the window was unloaded and its view waits to be deleted.
  User* user() const;
  const Scale& scale() const;
  WindowView& view() const { return view_; }
  // Tab and Shift+Tab move the focus in the model's tab order; true when
  // the event was one of them.
  bool tabKey(QEvent* e);

 private:
  Control& control_;
  WindowView& view_;
  bool fontSet_ = false;
  Text fontName_;
  float fontSize_ = 0;
  bool fontBold_ = false;
};

class WindowView : public QWidget {
  Q_OBJECT
 public:
  WindowView(Window& model, User& user);
  ~WindowView() override;
  Window& model() const { return model_; }
  // Brings every widget in step with the model.
  void sync();
  // Repaints the window's progress bars at once, in the middle of an event.
  void paintProgress();
  // The window was unloaded: the view takes no more gestures and goes once
  // Qt is back in its event loop.
  void detach();
  bool attached() const { return attached_; }
  // The widgets are being brought in step with the model.
  bool syncing() const { return syncing_; }
  User& user() const { return user_; }
  const Scale& scale() const { return scale_; }
  // The widget that shows a control (tests look at it).
  QWidget* widgetFor(const Control& c) const;
  // The focus on the control would be seen: the place where its widget
  // shows the focus is not wholly under the widgets in front of it.
  bool showsFocus(const Control& c) const;

 protected:
  void closeEvent(QCloseEvent* e) override;
  bool focusNextPrevChild(bool next) override;

 private:
  ControlView* makeView(Control& c);
  void syncStacking();
  void syncFocus();

  Window& model_;
  User& user_;
  bool attached_ = true;
  bool syncing_ = false;
  Scale scale_;
  std::map<const Control*, ControlView*> views_;
  std::vector<Control*> shownStacking_;
};

}  // namespace zuvo::desktop
