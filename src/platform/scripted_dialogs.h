#pragma once
// Dialogs for tests: message boxes are logged in order, file dialogs answer
// from a queue (an empty queue or nullopt is a cancel).

#include <deque>
#include <vector>

#include "platform/application.h"

namespace zuvo {

struct MessageRecord {
  Text prompt;
  Text title;
  bool operator==(const MessageRecord&) const = default;
};

class ScriptedDialogs : public Dialogs {
 public:
  void messageBox(const Text& prompt, const Text& title) override {
    messages.push_back({prompt, title});
  }
  std::optional<Text> openFile(const Text& title, const Text& filter, const Text&) override {
    fileDialogs.push_back({title, filter});
    return next();
  }
  std::optional<Text> saveFile(const Text& title, const Text& filter, const Text&) override {
    fileDialogs.push_back({title, filter});
    return next();
  }

  std::vector<MessageRecord> messages;
  std::vector<MessageRecord> fileDialogs;  // title and filter of each dialog shown
  std::deque<std::optional<Text>> fileAnswers;

 private:
  std::optional<Text> next() {
    if (fileAnswers.empty()) return std::nullopt;
    auto a = fileAnswers.front();
    fileAnswers.pop_front();
    return a;
  }
};

}  // namespace zuvo
