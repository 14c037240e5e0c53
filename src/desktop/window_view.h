#pragma once
// A passive view of one window of the model: a Qt widget per control, placed
// from its twips, refreshed from the model after every user event. Gestures
// are forwarded to the model's User; nothing is decided here.

#include <QWidget>
#include <map>

#include "platform/user.h"
#include "platform/window.h"

namespace zuvo::desktop {

inline constexpr double kTwipsPerPixel = 15.0;
inline int px(float twips) { return static_cast<int>(twips / kTwipsPerPixel + 0.5); }

class WindowView : public QWidget {
  Q_OBJECT
 public:
  WindowView(Window& model, User& user);
  Window& model() const { return model_; }
  // Brings every widget in step with the model.
  void sync();
  // The widget that shows a control (tests look at it).
  QWidget* widgetFor(const Control& c) const;

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  QWidget* makeWidget(Control& c);
  Window& model_;
  User& user_;
  std::map<const Control*, QWidget*> widgets_;
};

}  // namespace zuvo::desktop
