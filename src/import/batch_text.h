#pragma once
// A batch file opened into a pane. The pane holds the file's text as the
// dictionary writes it: ñ and Ñ become "ň", as typed text does, so what is
// imported can be found by typing. The write-back puts the file's own
// characters back, so a marked file keeps every character it held.

#include "platform/rich_text_box.h"

namespace zuvo {

class BatchText {
 public:
  // Loads the file into the pane. Throws std::runtime_error with the reason
  // when it cannot be read whole as text; the pane and this stay as they
  // were, and the file is never written.
  void open(RichTextBox& pane, const Text& file);
  // Writes the pane over the opened file as rich text, atomically; the
  // characters the open rewrote go back to the file's own while the pane's
  // text is still the opened one. Only the file as it was opened is written
  // over: one changed, replaced or removed since (its size, time or bytes
  // differ) is left as the user left it, never recreated. Throws
  // std::runtime_error, in Chinese, on either failure.
  void writeBack(const RichTextBox& pane);
  const Text& file() const { return file_; }

 private:
  Text file_;
  Text read_;        // the file's text as it was read, when the pane's differs
  FileStamp stamp_;  // the file as it was opened, or as the last write-back left it
};

}  // namespace zuvo
