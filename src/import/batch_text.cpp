#include "import/batch_text.h"

#include <stdexcept>

namespace zuvo {

namespace {
std::filesystem::path pathOf(const Text& file) { return std::filesystem::path(toUtf8(file)); }
}  // namespace

void BatchText::open(RichTextBox& pane, const Text& file) {
  RichDocument doc = loadRichFile(pathOf(file), pane.plainFormat());
  // The file's own text is kept only when the pane's differs from it.
  Text read;
  if (anyUnit(doc.text, [](char16_t c) { return (c == u'ñ') | (c == u'Ñ'); })) {
    read = doc.text;
    doc.text = typedText(read);  // one unit for one: the formats stay in place
  }
  pane.setDocument(std::move(doc));
  file_ = file;
  read_ = std::move(read);
}

void BatchText::writeBack(const RichTextBox& pane) const {
  if (file_.empty()) throw std::runtime_error("No batch file is open.");
  RichDocument doc = pane.document();
  if (!read_.empty() && doc.text == typedText(read_)) doc.text = read_;
  saveRichFile(pathOf(file_), doc);
}

}  // namespace zuvo
