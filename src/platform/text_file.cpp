#include "platform/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

namespace zuvo {

namespace {

bool isAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
// Latin-1 and Latin Extended-A and -B letters (× and ÷ are not letters).
bool isLatinLetter(char16_t c) { return c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7; }
bool isLetter(char16_t c) { return isAsciiLetter(c) || isLatinLetter(c); }
bool isSpanishLetter(char16_t c) { return TextView(u"áéíóúüñÁÉÍÓÚÜÑň").find(c) != TextView::npos; }
bool isIdeograph(char16_t c) {
  return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0xF900 && c <= 0xFAFF);
}
// CJK symbols and punctuation, full-width forms, and the dashes, quotes and
// ellipsis Chinese text uses.
bool isChinesePunctuation(char16_t c) {
  return (c >= 0x3000 && c <= 0x303F) || (c >= 0xFF01 && c <= 0xFF5E) || (c >= 0x2010 && c <= 0x2027);
}
// Latin-1's letters of the languages of place names (French, Portuguese,
// German...); the letters of Latin Extended are rarer still.
bool isLatin1Letter(char16_t c) { return c >= 0xC0 && c <= 0xFF; }
bool isSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// What a character costs a reading, roughly the bits a Chinese and Spanish
// text spends on it: a reading that takes the same bytes as fewer and more
// common characters is the likelier one. Ideographs cost by their GBK code:
// GB2312's first level (the common characters) least, its second level
// more, the rest of GBK and beyond most.
constexpr long long kFirstLevel = 12, kSecondLevel = 16, kRareIdeograph = 22, kWedged = 8;
constexpr long long kChinesePunctuation = 8, kSpanishLetter = 6, kLatin1Letter = 12, kLatinLetter = 16;
constexpr long long kLoneLetter = 20;
constexpr long long kOtherScript = 30;

long long ideographCost(char16_t c) {
  const int code = gbkCode(c);
  if (code >= 0) return kRareIdeograph;
  const int lead = (code + 65536) >> 8;
  const int trail = (code + 65536) & 0xFF;
  if (trail < 0xA1) return kRareIdeograph;
  if (lead >= 0xB0 && lead <= 0xD7) return kFirstLevel;
  if (lead >= 0xD8 && lead <= 0xF7) return kSecondLevel;
  return kRareIdeograph;
}

std::optional<Text> fromUtf16(std::string_view bytes, bool bigEndian) {
  if (bytes.size() % 2 != 0) return std::nullopt;
  Text out;
  out.reserve(bytes.size() / 2);
  for (size_t i = 0; i < bytes.size(); i += 2) {
    const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
    out += static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
  }
  // Surrogates only in pairs.
  for (size_t i = 0; i < out.size(); ++i) {
    const char16_t c = out[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < out.size() && out[i + 1] >= 0xDC00 && out[i + 1] <= 0xDFFF) {
      ++i;
    } else if (isSurrogate(c)) {
      return std::nullopt;
    }
  }
  return out;
}

Text checked(Text t) {
  if (!holdsBinary(t)) return t;  // NUL is one of the characters it looks for
  if (t.find(u'\0') != Text::npos)
    throw std::runtime_error("文件中含有空字符（NUL），不是文本文件。请选择一个文本文件，"
                             "或在文本编辑器中把它另存为 UTF-8 或 GBK 文本后再打开。");
  throw std::runtime_error("文件中含有控制字符，不是纯文本文件。请在文本编辑器中删去这些字符，"
                           "或把它另存为 UTF-8 或 GBK 文本后再打开。");
}

std::runtime_error notOpened(const std::filesystem::path& file, const std::string& reason) {
  return std::runtime_error("无法打开 " + file.string() + "：" + reason);
}

int64_t modifiedNs(const struct stat& st) {
  return static_cast<int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
}

std::string tooLarge(int64_t size) {
  // The limit as it is counted: in bytes, and in MiB of 1,048,576 bytes.
  return "文件有 " + std::to_string(size) + " 字节，超过了本程序能读入的 " + std::to_string(kMaxTextFileBytes) +
         " 字节（" + std::to_string(kMaxTextFileBytes >> 20) + " MiB）。请把它分成几个较小的文件，再分别打开。";
}

}  // namespace

std::string fileErrorReason(int err) {
  switch (err) {
    case ENOENT:
      return "文件或文件夹不存在。请检查文件名和所在的文件夹。";
    case EACCES:
    case EPERM:
      return "没有读写这个文件或其文件夹的权限。请检查文件的权限，或把它复制到自己的文件夹中再试。";
    case EROFS:
      return "文件所在的磁盘是只读的。请把文件复制到可以写入的文件夹中再试。";
    case ENOSPC:
    case EDQUOT:
      return "磁盘空间已满。请腾出磁盘空间后再试。";
    case EISDIR:
      return "这是一个文件夹，不是文件。请选择一个文本文件。";
    case ENOTDIR:
      return "路径中有一部分不是文件夹。请检查文件名和所在的文件夹。";
    case ENAMETOOLONG:
      return "文件名或路径太长。请把文件移到路径较短的文件夹中再试。";
    case ELOOP:
      return "路径中的链接太多或绕成了圈。请直接选择文件本身。";
    case EMFILE:
    case ENFILE:
      return "同时打开的文件太多。请关闭一些程序后再试。";
    case ENOMEM:
      return "内存不足。请关闭其他程序后再试。";
    case EIO:
      return "读写磁盘时发生输入输出故障。请检查磁盘或把文件复制到别处再试。";
    case EBUSY:
    case ETXTBSY:
      return "文件正被另一个程序使用。请关闭那个程序后再试。";
    default:
      return "系统拒绝了这个操作（错误码 " + std::to_string(err) + "）。请检查文件和磁盘后再试。";
  }
}

FileStamp stampOf(int64_t size, int64_t modified, std::string_view bytes) {
  return {size, modified, std::hash<std::string_view>{}(bytes)};
}

FileBytes readWholeFile(const std::filesystem::path& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) throw notOpened(file, fileErrorReason(errno));
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int err = errno;
    ::close(fd);
    throw notOpened(file, fileErrorReason(err));
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    throw notOpened(file, S_ISDIR(st.st_mode) ? "这是一个文件夹，不是文本文件。请选择一个文本文件。"
                                              : "这不是磁盘上的普通文件（可能是设备或管道），无法作为文本读取。"
                                                "请选择一个保存在磁盘上的文本文件。");
  }
  if (st.st_size > kMaxTextFileBytes) {
    ::close(fd);
    throw notOpened(file, tooLarge(st.st_size));
  }
  // Read straight into the buffer, with room for the size the file has now
  // and more as it grows meanwhile, up to the limit.
  size_t room = st.st_size > 0 ? std::min(largePagesSize(static_cast<size_t>(st.st_size) + 1),
                                          static_cast<size_t>(kMaxTextFileBytes) + 1)
                               : 65536;
  FileBytes bytes{std::make_unique_for_overwrite<char[]>(room), 0, {}};
  adviseLargePages(bytes.data.get(), room);
  for (;;) {
    if (bytes.size == room) {
      // The file grew while it was read. The room never passes the limit by
      // more than the one byte that tells it was passed.
      if (room > static_cast<size_t>(kMaxTextFileBytes)) {
        ::close(fd);
        throw notOpened(file, tooLarge(static_cast<int64_t>(room)));
      }
      const size_t larger = std::min(room * 2, static_cast<size_t>(kMaxTextFileBytes) + 1);
      auto grown = std::make_unique_for_overwrite<char[]>(larger);
      std::memcpy(grown.get(), bytes.data.get(), bytes.size);
      bytes.data = std::move(grown);
      room = larger;
    }
    const ssize_t n = ::read(fd, bytes.data.get() + bytes.size, room - bytes.size);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      throw std::runtime_error("无法读取 " + file.string() + "：" + fileErrorReason(err));
    }
    bytes.size += static_cast<size_t>(n);
  }
  // The time the file had once read: a change while it was read shows in
  // the hash, which no longer matches the file.
  if (::fstat(fd, &st) != 0) st.st_mtim = {};
  ::close(fd);
  bytes.stamp = stampOf(static_cast<int64_t>(bytes.size), modifiedNs(st), bytes.view());
  return bytes;
}

bool fileIsUnchanged(const std::filesystem::path& file, const FileStamp& stamp) {
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  if (st.st_size != stamp.size || modifiedNs(st) != stamp.modifiedNs) return false;
  try {
    return readWholeFile(file).stamp == stamp;
  } catch (const std::exception&) {
    return false;  // a file that cannot be read now is not known to be the one opened
  }
}

long long textLikeness(TextView t) {
  long long cost = 0;
  for (size_t i = 0; i < t.size(); ++i) {
    const char16_t c = t[i];
    if (c < 0x80) continue;
    const char16_t before = i > 0 ? t[i - 1] : u' ';
    const char16_t after = i + 1 < t.size() ? t[i + 1] : u' ';
    if (isIdeograph(c)) {
      cost += ideographCost(c);
      if (isLetter(before) && isLetter(after)) cost += kWedged;
    } else if (isChinesePunctuation(c) || (c == u'·' && (isIdeograph(before) || isIdeograph(after)))) {
      cost += kChinesePunctuation;  // the middle dot joins the parts of a foreign name in Chinese
    } else if (isLatinLetter(c)) {
      // An accented letter stands inside a word, next to a plain letter.
      if (!isAsciiLetter(before) && !isAsciiLetter(after))
        cost += kLoneLetter;
      else
        cost += isSpanishLetter(c) ? kSpanishLetter : isLatin1Letter(c) ? kLatin1Letter : kLatinLetter;
    } else if (c == u'¿' || c == u'¡') {
      cost += isAsciiLetter(after) || isLatinLetter(after) ? kSpanishLetter : kLoneLetter;
    } else if (isSurrogate(c)) {
      cost += kRareIdeograph;  // a character beyond the BMP costs as two rare ones
    } else {
      cost += kOtherScript;
    }
  }
  return -cost;
}

bool holdsBinary(TextView t) {
  return anyUnit(t, [](char16_t c) {
    return ((c < 0x20) & (c != u'\t') & (c != CR) & (c != LF)) | ((c >= 0x7F) & (c < 0xA0)) | (c == 0xFFFD);
  });
}

Text decodeTextFile(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) {
    bytes.remove_prefix(3);
    if (!isValidUtf8(bytes)) throw std::runtime_error(
          "文件标明是 UTF-8 编码，其中却有不合 UTF-8 的字节。请在文本编辑器中把它重新另存为 UTF-8 后再打开。");
    return checked(fromUtf8(bytes));
  }
  for (const bool bigEndian : {false, true}) {
    if (!bytes.starts_with(bigEndian ? "\xFE\xFF" : "\xFF\xFE")) continue;
    auto text = fromUtf16(bytes.substr(2), bigEndian);
    if (!text)
      throw std::runtime_error(std::string("文件标明是 ") + (bigEndian ? "UTF-16BE" : "UTF-16LE") +
                               " 编码，其中却有不合这种编码的字节。请在文本编辑器中把它另存为 UTF-8 或 GBK 文本后再打开。");
    return checked(std::move(*text));
  }
  const bool utf8 = isValidUtf8(bytes);
  std::optional<Text> gbk = fromGbkExactly(bytes);
  if (!utf8 && !gbk) throw std::runtime_error(
        "文件既不是 UTF-8 文本，也不是 GBK 文本。请在文本编辑器中把它另存为 UTF-8 或 GBK 编码后再打开。");
  if (!utf8) return checked(std::move(*gbk));
  Text asUtf8 = fromUtf8(bytes);
  if (!gbk || textLikeness(asUtf8) > textLikeness(*gbk)) return checked(std::move(asUtf8));
  return checked(std::move(*gbk));
}

}  // namespace zuvo
