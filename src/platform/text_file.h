#pragma once
// The text of a plain-text file, taken only when every byte of it is read
// without loss and it holds no binary data.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "platform/text.h"

namespace zuvo {

// The largest file read as text: 256 MiB. The pane holds a file as UTF-16,
// two bytes for each byte of a Spanish line, and the open, the line ends,
// the pane and the check's write-back each hold a copy for a while, so a
// file of this size already takes some 2 GiB. A million-line batch file,
// the largest the imports are built for, is about a tenth of it. A larger
// file is refused by its size, before any of it is read.
constexpr int64_t kMaxTextFileBytes = int64_t{256} << 20;

// What a file was when it was read: its size, its modification time and a
// hash of its bytes. A file whose stamp is the same is taken as unchanged.
struct FileStamp {
  int64_t size = -1;
  int64_t modifiedNs = 0;
  uint64_t hash = 0;
  bool operator==(const FileStamp&) const = default;
};

// The bytes of a file, in memory that is not cleared before the read fills
// it, with the file's stamp as it was read.
struct FileBytes {
  std::unique_ptr<char[]> data;
  size_t size = 0;
  FileStamp stamp;
  std::string_view view() const { return {data.get(), size}; }
};

// Reads a regular file whole. The file is opened without blocking and looked
// at before any read, so a FIFO, a device or a folder is refused at once
// instead of waiting for a writer that never comes, and a file larger than
// kMaxTextFileBytes is refused by its size. Throws std::runtime_error naming
// the file, with the reason and what the user can do, in Chinese.
FileBytes readWholeFile(const std::filesystem::path& file);

// The stamp of bytes read from a file with the given size and modification
// time.
FileStamp stampOf(int64_t size, int64_t modifiedNs, std::string_view bytes);

// True when a regular file stands at the path and its stamp is the given
// one. A file gone, replaced by something else, or that cannot be read is
// not unchanged.
bool fileIsUnchanged(const std::filesystem::path& file, const FileStamp& stamp);

// The reason for a failed file operation (an errno value) in Chinese, with
// what the user can do about it.
std::string fileErrorReason(int err);

// Decodes the bytes of a plain-text file. A byte-order mark names UTF-8,
// UTF-16LE or UTF-16BE. Without one the bytes are read as strict UTF-8 or
// strict GBK; when they are valid in both, the reading that looks more like
// a Chinese and Spanish text wins (textLikeness), GBK on a tie. Throws
// std::runtime_error with the reason in Chinese when no reading takes every
// byte, or when the text holds NUL or another control character than TAB, CR
// and LF.
Text decodeTextFile(std::string_view bytes);

// How much a text looks like what the dictionary's files hold, as minus
// what its characters cost: common Chinese ideographs and punctuation and
// Latin letters with their accents inside words cost little; rare
// ideographs, a lone accented letter, an ideograph wedged between Latin
// letters and other scripts (Cyrillic, Greek, IPA, Armenian...) cost much.
// Only the comparison of two readings of the same bytes means anything: the
// one that reads them as fewer and likelier characters scores higher.
long long textLikeness(TextView t);

// True when the text holds NUL or another C0 or C1 control character than
// TAB, CR and LF, or U+FFFD, the mark of a character that could not be read.
bool holdsBinary(TextView t);

}  // namespace zuvo
