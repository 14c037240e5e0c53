#pragma once
// The running program: the registry of windows (each exists once), the
// dialog service, the data folder, the stores' transaction boundary and End.

#include <chrono>
#include <filesystem>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <typeindex>
#include <vector>

#include "platform/journal.h"
#include "platform/text.h"

namespace zuvo {

class Window;

// Modal message boxes and file dialogs: the desktop front end shows real
// ones, tests script the answers.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual void messageBox(const Text& prompt, const Text& title) = 0;
  // The chosen file, or nullopt when the user cancels.
  virtual std::optional<Text> openFile(const Text& title, const Text& filter,
                                       const Text& initial) = 0;
  virtual std::optional<Text> saveFile(const Text& title, const Text& filter,
                                       const Text& initial) = 0;
};

// Something that holds unsaved work between user events (a table store).
class Pending {
 public:
  virtual ~Pending() = default;
  // Makes everything saved so far durable (end of a user event); true when
  // it wrote anything.
  virtual bool commit() = 0;
  // Saves a begun record or edit that is still pending (the program ends).
  virtual void savePending() = 0;
  // Drops what the current event wrote (it failed part-way).
  virtual void rollback() = 0;
  // A user event begins: catch up with what other programs saved meanwhile.
  virtual void beginEvent() {}
};

// Thrown by End to stop the program at once; caught where a user event
// entered the program.
struct ProgramEnded {};

// An error the user has been told of already (a damaged file met again):
// the event's work is dropped without a second message.
struct AlreadyTold : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A save that could not be made, told in these words: the event stores
// nothing and every window goes back to how it was before the gesture.
struct SaveFailed : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class Application {
 public:
  Application(std::filesystem::path dataDir, Dialogs& dialogs);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  const std::filesystem::path& dataDir() const { return dataDir_; }
  Dialogs& dialogs() { return dialogs_; }

  // The window of type W; the first access creates it, runs Form_Load and
  // opens its stores.
  template <class W>
  W& form() {
    auto it = windows_.find(typeid(W));
    if (it != windows_.end()) return static_cast<W&>(*it->second);
    EventJournal::Pause made(journal_);
    auto w = std::make_unique<W>(*this);
    W& ref = *w;
    windows_[typeid(W)] = std::move(w);
    loadWindow(ref);
    return ref;
  }
  template <class W>
  bool isLoaded() const {
    return windows_.count(typeid(W)) != 0;
  }
  // Reading Visible of a window that is not loaded loads it and gives false.
  template <class W>
  bool visible() {
    return windowVisible(form<W>());
  }
  // Runs the window's Unload handler and destroys it; a no-op when the window
  // is not loaded. The object itself lives until the current event ends, so
  // a handler of the window may unload its own window.
  template <class W>
  void unload() {
    auto it = windows_.find(typeid(W));
    if (it == windows_.end()) return;
    unloadWindow(it->first);
  }
  void unload(Window& w);

  // Every loaded window, in creation order.
  std::vector<Window*> windows() const;

  // Ends the program at once: saves what is pending, commits, and unwinds to
  // the event entry point.
  [[noreturn]] void End();
  bool ended() const { return ended_; }

  // The one message-box convention: OK only, no icon. Commits first, since
  // the user may take any time to answer.
  void msgBox(const Text& prompt, const Text& title);
  // A message shown once per run however many places meet its cause (a
  // read-only data folder, found by every store in it).
  void msgBoxOnce(const Text& prompt, const Text& title);

  // Runs a user event: the outermost one commits the stores when it returns
  // and releases unloaded windows. Returns false when the program ended.
  bool event(const std::function<void()>& body);
  bool inEvent() const { return eventDepth_ > 0; }

  void addPending(Pending& p);
  void removePending(Pending& p);
  // Commits every store; inside an event, what the event changed so far
  // then stands, and a later failure puts back only what follows.
  void commitAll();
  void rollbackAll();

  // What the current event changed, kept to be put back when its save fails.
  EventJournal& journal() { return journal_; }
  // The current event has begun to save (a record begun, a bound box
  // written, a write begun): if it fails now, it is a failed save, and
  // every window and store goes back to how it was before the gesture.
  void eventSaves() {
    if (journal_.open()) saving_ = true;
  }
  bool eventSaving() const { return saving_; }

  // Called after every user event (the front end refreshes its view).
  std::function<void()> afterEvent;
  // A long handler reports that it moved on (a progress bar ticked), so the
  // front end may repaint the bar without taking user input.
  void progress() {
    if (onProgress) onProgress();
  }
  std::function<void()> onProgress;

  // The store waits for another program (its lock, or a file check a save
  // must see first) and calls this on every turn of the wait. Once the event
  // has waited busyAfter, the front end hears onBusy(true), so that the
  // frozen window shows that the program waits; it hears onBusy(false) when
  // the event ends, and before any dialog, so that nothing is asked under a
  // busy pointer.
  void waiting();
  void endBusy();
  bool busy() const { return busy_; }
  std::function<void(bool)> onBusy;
  std::chrono::steady_clock::duration busyAfter = std::chrono::milliseconds(250);

 private:
  void loadWindow(Window& w);
  bool windowVisible(Window& w);
  void unloadWindow(std::type_index key);
  void releaseUnloaded();
  // Drops what the failed event wrote and tells the user why.
  void failed(const std::exception& e);
  static Text failureText(const std::exception& e, bool save);

  EventJournal journal_;
  bool saving_ = false;
  std::filesystem::path dataDir_;
  Dialogs& dialogs_;
  std::map<std::type_index, std::unique_ptr<Window>> windows_;
  std::vector<std::type_index> order_;
  std::vector<std::unique_ptr<Window>> unloaded_;
  std::vector<Pending*> pending_;
  std::set<Text> shownOnce_;
  int eventDepth_ = 0;
  bool ended_ = false;
  bool busy_ = false;
  std::optional<std::chrono::steady_clock::time_point> waitingSince_;
};

}  // namespace zuvo
