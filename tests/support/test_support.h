#pragma once
// A program in a temporary data folder, with scripted dialogs and a user.

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/application.h"
#include "platform/scripted_dialogs.h"
#include "platform/user.h"

namespace zuvo::testing {

// A fresh, empty data folder, removed at the end of the test.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// One running program over a data folder; `restart` ends it (saving what is
// pending, as closing the program does) and starts again over the same files.
class Program {
 public:
  explicit Program(std::filesystem::path dataDir) : dataDir_(std::move(dataDir)) { start(); }
  Application& app() { return *app_; }
  User& user() { return *user_; }
  ScriptedDialogs& dialogs() { return dialogs_; }
  void restart() {
    user_.reset();
    app_.reset();
    start();
  }
  template <class W>
  W& form() {
    return app_->form<W>();
  }
  // Runs code as one user event (handlers called directly, as a subroutine).
  bool event(const std::function<void()>& body) { return app_->event(body); }

 private:
  void start() {
    app_ = std::make_unique<Application>(dataDir_, dialogs_);
    user_ = std::make_unique<User>(*app_);
  }
  std::filesystem::path dataDir_;
  ScriptedDialogs dialogs_;
  std::unique_ptr<Application> app_;
  std::unique_ptr<User> user_;
};

// Everything a user sees of the program's windows and everything its stores
// stand on, a line per control: each window's visibility, focus and
// stacking order; each control's text or caption, caret, visibility,
// enabled state, place and colours; each store's index, position and the
// values its current record shows.
struct WindowState {
  std::map<std::string, std::vector<std::string>> lines;  // by window
};
WindowState windowState(Application& app);
// The lines of `now` that differ from `before`, in the windows `before`
// shows (a hidden worker window loaded meanwhile is none of the user's
// business): "" when the windows are as they were.
std::string differences(const WindowState& before, const WindowState& now);

}  // namespace zuvo::testing
