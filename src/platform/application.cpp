#include "platform/application.h"

#include <algorithm>
#include <new>
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
    endBusy();
    if (!failures.empty()) dialogs_.messageBox(fromUtf8(failures), u" ZORVEK");
  }
  throw ProgramEnded{};
}

void Application::msgBox(const Text& prompt, const Text& title) {
  commitAll();
  endBusy();
  dialogs_.messageBox(prompt, title);
}

void Application::msgBoxOnce(const Text& prompt, const Text& title) {
  if (shownOnce_.insert(prompt).second) msgBox(prompt, title);
}

bool Application::event(const std::function<void()>& body) {
  if (ended_) return false;
  if (++eventDepth_ == 1) {
    saving_ = false;
    waitingSince_.reset();
    journal_.begin();
  }
  bool failedHere = false;
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
    failedHere = true;
  }
  --eventDepth_;
  if (eventDepth_ == 0) {
    // Saving at the end of the event can fail too (a full disk, a file
    // another program holds): reported, and the event's work dropped.
    if (!failedHere) {
      try {
        commitAll();
      } catch (const std::exception& e) {
        failed(e);
      }
    }
    journal_.letGo();
    saving_ = false;
    releaseUnloaded();
    if (afterEvent) afterEvent();
    endBusy();
  }
  return !ended_;
}

// A wait outside an event has no end the front end would hear of: only
// the waits of a user event are shown.
void Application::waiting() {
  if (busy_ || !inEvent()) return;
  const auto now = std::chrono::steady_clock::now();
  if (!waitingSince_) waitingSince_ = now;
  if (now - *waitingSince_ < busyAfter) return;
  busy_ = true;
  if (onBusy) onBusy(true);
}

void Application::endBusy() {
  waitingSince_.reset();
  if (!busy_) return;
  busy_ = false;
  if (onBusy) onBusy(false);
}

namespace {

bool hasHan(TextView t) {
  return std::any_of(t.begin(), t.end(), [](char16_t c) { return c >= 0x3000; });
}

}  // namespace

// What the user is told of a failed event: the store's own words, which
// are Chinese; any other failure in Chinese, its own text as a detail.
Text Application::failureText(const std::exception& e, bool save) {
  const Text what = fromUtf8(e.what());
  if (hasHan(what)) return what;
  const bool memory = dynamic_cast<const std::bad_alloc*>(&e) != nullptr;
  Text told = memory ? u"内存不足，这一步没有完成。请关闭一些别的程序后再试。"
                     : u"程序出错，这一步没有完成。";
  if (save) told += u"\r\n没有存入任何内容，输入的内容都还在，可以稍后再保存一次。";
  if (!what.empty() && !memory) told += u"\r\n（" + what + u"）";
  return told;
}

void Application::failed(const std::exception& e) {
  // A failed save puts every window and store back as it was before the
  // gesture; any other failure keeps the window as the event left it and
  // the stores read their records anew.
  saving_ = saving_ || dynamic_cast<const SaveFailed*>(&e) != nullptr;
  const bool save = saving_;
  if (save) {
    rollbackAll();
    journal_.putBack();
  } else {
    journal_.letGo();
    rollbackAll();
  }
  saving_ = false;
  if (dynamic_cast<const AlreadyTold*>(&e)) return;
  endBusy();
  dialogs_.messageBox(failureText(e, save), u" ZORVEK");
}

void Application::addPending(Pending& p) { pending_.push_back(&p); }

void Application::removePending(Pending& p) { std::erase(pending_, &p); }

void Application::commitAll() {
  bool wrote = false;
  for (Pending* p : pending_) wrote = p->commit() || wrote;
  if (!inEvent() || !wrote) return;
  // What the event did so far is saved: a later failure puts back only
  // what follows.
  journal_.begin();
  saving_ = false;
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
