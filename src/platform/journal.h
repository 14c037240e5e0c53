#pragma once
// What a user event has changed, each thing kept as it stood before the
// event first changed it: an event whose save fails puts the windows and
// the stores back as they were before the user's gesture, silently (no
// Change, no focus event), so that the same gesture can save later.
//
// Keeping costs nothing until a thing first changes in an event; then the
// thing keeps its own state (a control its properties, a box its text, a
// store its current record) and the journal notes it once. An event that
// ends well drops what was kept.

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace zuvo {

class EventJournal;

// Something whose state an event may have to put back.
class Journaled {
 public:
  virtual ~Journaled() = default;
  // Puts back the state kept at its first change in the event.
  virtual void putBack() = 0;
  // The event went through: what was kept may go.
  virtual void letGo() {}

 private:
  friend class EventJournal;
  uint64_t journalEpoch_ = 0;
};

class EventJournal {
 public:
  // True the first time `j` changes since the journal was opened: the
  // caller keeps its state now, before the change.
  bool first(Journaled& j) {
    if (epoch_ == 0 || j.journalEpoch_ == epoch_) return false;
    j.journalEpoch_ = epoch_;
    entries_.push_back(&j);
    return true;
  }
  bool open() const { return epoch_ != 0; }

  // An event begins, or goes on after what it did so far was saved.
  void begin() {
    letGo();
    (paused_ ? resume_ : epoch_) = ++last_;
  }
  // What was kept goes: the event's changes stand.
  void letGo() {
    epoch_ = resume_ = 0;
    for (Journaled* j : entries_) j->letGo();
    entries_.clear();
  }
  // Everything noted goes back, the latest first, so that a thing kept
  // twice ends as it stood first. Nothing is noted meanwhile.
  void putBack() {
    epoch_ = 0;
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) (*it)->putBack();
    letGo();
  }
  // What is made meanwhile (a window loaded by the event, with its controls
  // and stores) has no state before the event to go back to: it stays as
  // it stands once made, and only what the event changes afterwards goes
  // back.
  class Pause {
   public:
    explicit Pause(EventJournal& j) : j_(j) {
      if (j_.paused_++ == 0) j_.resume_ = std::exchange(j_.epoch_, 0);
    }
    ~Pause() {
      if (--j_.paused_ == 0) j_.epoch_ = std::exchange(j_.resume_, 0);
    }
    Pause(const Pause&) = delete;
    Pause& operator=(const Pause&) = delete;

   private:
    EventJournal& j_;
  };

  // A thing that goes away while the journal holds it.
  void forget(const Journaled& j) {
    if (j.journalEpoch_ != 0) std::erase(entries_, &j);
  }

 private:
  uint64_t epoch_ = 0;
  uint64_t last_ = 0;
  int paused_ = 0;
  uint64_t resume_ = 0;  // the epoch once the pause ends
  std::vector<Journaled*> entries_;
};

}  // namespace zuvo
