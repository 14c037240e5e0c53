#pragma once
// The lines of a batch file as the batch pane holds them: each runs up to,
// not including, the next CR, and the reader then steps over two characters
// (CR LF). The first empty line, or the end of the text, ends the file.

#include <optional>

#include "platform/text.h"

namespace zuvo {

class BatchLines {
 public:
  explicit BatchLines(TextView text) : text_(text) {}
  std::optional<TextView> next() {
    if (pos_ >= text_.size()) return std::nullopt;
    size_t end = text_.find(CR, pos_);
    if (end == TextView::npos) end = text_.size();
    if (end == pos_) return std::nullopt;
    TextView line = text_.substr(pos_, end - pos_);
    pos_ = end + 2;
    ++count_;
    return line;
  }
  int64_t count() const { return count_; }

 private:
  TextView text_;
  size_t pos_ = 0;
  int64_t count_ = 0;
};

}  // namespace zuvo
