#pragma once
// The running program on the desktop: the model, its real dialogs, and a view
// for every visible window, refreshed after each user event.

#include <filesystem>
#include <map>
#include <memory>

#include "desktop/qt_dialogs.h"
#include "desktop/window_view.h"
#include "platform/application.h"
#include "platform/user.h"

namespace zuvo::desktop {

class Desktop {
 public:
  explicit Desktop(std::filesystem::path dataDir);
  ~Desktop();
  // Opens the main window.
  void start();
  Application& app() { return app_; }
  User& user() { return user_; }
  WindowView* viewOf(const Window& w) const;
  void syncAll();

 private:
  QtDialogs dialogs_;
  Application app_;
  User user_;
  std::map<const Window*, std::unique_ptr<WindowView>> views_;
};

}  // namespace zuvo::desktop
