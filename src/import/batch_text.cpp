#include "import/batch_text.h"

#include <sys/stat.h>

#include <stdexcept>

namespace zuvo {

namespace {
std::filesystem::path pathOf(const Text& file) { return std::filesystem::path(toUtf8(file)); }
}  // namespace

void BatchText::open(RichTextBox& pane, const Text& file) {
  FileStamp stamp;
  RichDocument doc = loadRichFile(pathOf(file), pane.plainFormat(), &stamp);
  // The file's own text is kept only when the pane's differs from it.
  Text read;
  if (anyUnit(doc.text, [](char16_t c) { return (c == u'ñ') | (c == u'Ñ'); })) {
    read = doc.text;
    doc.text = typedText(read);  // one unit for one: the formats stay in place
  }
  pane.setDocument(std::move(doc));
  file_ = file;
  read_ = std::move(read);
  stamp_ = stamp;
}

void BatchText::writeBack(const RichTextBox& pane) {
  if (file_.empty()) throw std::runtime_error("没有打开的批量文件。请先按批量按钮打开一个文件。");
  RichDocument doc = pane.document();
  if (!read_.empty() && doc.text == typedText(read_)) doc.text = read_;
  const std::filesystem::path path = pathOf(file_);
  const std::string rtf = writeRtf(doc);
  // Looked at last, once the new text is on disk beside the file and only
  // the rename is left: a change made while it was written is not lost.
  writeFileAtomically(path, rtf, [&] {
    if (!fileIsUnchanged(path, stamp_))
      throw std::runtime_error(
          "文件在打开之后已被改动、替换或删除，因此没有写回，也没有导入任何记录；文件保持您离开时的样子。"
          "请重新打开这个文件后再导入。");
  });
  // What now stands there is what was written: a later write-back of this
  // opening may replace it.
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0)
    stamp_ = stampOf(static_cast<int64_t>(st.st_size),
                     static_cast<int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec, rtf);
  else
    stamp_ = {};
}

}  // namespace zuvo
