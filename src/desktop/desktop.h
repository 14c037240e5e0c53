#pragma once
// The running program on the desktop: the model, its real dialogs, and a view
// for every visible window, refreshed after each user event.

#include <QElapsedTimer>
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
  Desktop(const Desktop&) = delete;
  Desktop& operator=(const Desktop&) = delete;

  // Opens the main window.
  void start();
  Application& app() { return app_; }
  User& user() { return user_; }
  WindowView* viewOf(const Window& w) const;
  // Brings the views in step with the model: new windows get a view,
  // unloaded ones lose theirs, the program's end closes them all.
  void syncAll();

  // A long handler repaints its progress bars at most this often.
  static constexpr int kProgressIntervalMs = 50;

 private:
  void progressTick();
  void showBusy(bool on);

  QtDialogs dialogs_;
  Application app_;
  User user_;
  std::map<const Window*, std::unique_ptr<WindowView>> views_;
  QElapsedTimer lastProgress_;
};

}  // namespace zuvo::desktop
