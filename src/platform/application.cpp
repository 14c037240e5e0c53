#include "platform/application.h"

#include <algorithm>
#include <stdexcept>

#include "platform/window.h"

namespace zuvo {

Application::Application(std::filesystem::path dataDir, Dialogs& dialogs)
    : dataDir_(std::move(dataDir)), dialogs_(dialogs) {}

Application::~Application() {
  // Windows go in reverse order of creation; their stores save what is
  // pending as they close.
  for (auto it = order_.rbegin(); it != order_.rend(); ++it) windows_.erase(*it);
  unloaded_.clear();
}

void Application::loadWindow(Window& w) {
  order_.push_back(typeid(w));
  w.Form_Load();
  // Copy: a control's load step may not add controls, but be safe.
  auto controls = w.controls();
  for (Control* c : controls) c->windowLoaded();
}

bool Application::windowVisible(Window& w) { return w.Visible(); }

std::vector<Window*> Application::windows() const {
  std::vector<Window*> out;
  for (const auto& key : order_) out.push_back(windows_.at(key).get());
  return out;
}

void Application::unload(Window& w) {
  auto it = windows_.find(typeid(w));
  if (it == windows_.end() || it->second.get() != &w) return;
  unloadWindow(it->first);
}

void Application::unloadWindow(std::type_index key) {
  auto it = windows_.find(key);
  if (it == windows_.end()) return;
  int cancel = 0;
  it->second->Form_Unload(cancel);
  if (cancel) return;
  it = windows_.find(key);  // the handler may have unloaded it already
  if (it == windows_.end()) return;
  it->second->Hide();
  unloaded_.push_back(std::move(it->second));
  windows_.erase(it);
  std::erase(order_, key);
  if (!inEvent()) releaseUnloaded();
}

void Application::releaseUnloaded() { unloaded_.clear(); }

void Application::End() {
  if (!ended_) {
    ended_ = true;
    // Every store saves what it can, whatever another one's failure.
    std::string failures;
    for (Pending* p : pending_) {
      try {
        p->savePending();
      } catch (const std::exception& e) {
        failures += std::string(e.what()) + "\n";
      }
    }
    if (!failures.empty()) dialogs_.messageBox(fromUtf8(failures), u" ZORVEK");
  }
  throw ProgramEnded{};
}

void Application::msgBox(const Text& prompt, const Text& title) {
  commitAll();
  dialogs_.messageBox(prompt, title);
}

void Application::msgBoxOnce(const Text& prompt, const Text& title) {
  if (shownOnce_.insert(prompt).second) msgBox(prompt, title);
}

bool Application::event(const std::function<void()>& body) {
  if (ended_) return false;
  ++eventDepth_;
  try {
    if (eventDepth_ == 1)
      for (Pending* p : pending_) p->beginEvent();
    body();
    if (eventDepth_ == 1)
      for (const auto& key : order_)
        if (auto it = windows_.find(key); it != windows_.end() && it->second->Visible())
          it->second->moveFocusOffUnreachable();
  } catch (const ProgramEnded&) {
    if (eventDepth_ > 1) {
      --eventDepth_;
      throw;
    }
  } catch (const std::exception& e) {
    if (eventDepth_ > 1) {
      --eventDepth_;
      throw;
    }
    // An error the program cannot go on from (a damaged store, a file that
    // cannot be written) is reported, never passed over in silence.
    // What the failed event wrote is dropped, so it lands whole or not at all.
    --eventDepth_;
    failed(e);
    ++eventDepth_;
  }
  --eventDepth_;
  if (eventDepth_ == 0) {
    // Saving at the end of the event can fail too (a full disk, a file
    // another program holds): reported, and the event's work dropped.
    try {
      commitAll();
    } catch (const std::exception& e) {
      failed(e);
    }
    releaseUnloaded();
    if (afterEvent) afterEvent();
  }
  return !ended_;
}

void Application::failed(const std::exception& e) {
  rollbackAll();
  if (dynamic_cast<const AlreadyTold*>(&e)) return;
  dialogs_.messageBox(fromUtf8(e.what()), u" ZORVEK");
}

void Application::addPending(Pending& p) { pending_.push_back(&p); }

void Application::removePending(Pending& p) { std::erase(pending_, &p); }

void Application::commitAll() {
  for (Pending* p : pending_) p->commit();
}

void Application::rollbackAll() {
  for (Pending* p : pending_) {
    try {
      p->rollback();
    } catch (const std::exception&) {
      // The store stays as the failure left it; the next event reads it anew.
    }
  }
}

}  // namespace zuvo
