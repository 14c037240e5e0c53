#include "platform/rich_document.h"

#include "platform/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <unordered_map>
#include <utility>

namespace zuvo {

namespace {

// --- Writing -----------------------------------------------------------------

constexpr std::string_view kRtfHeader =
    "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}}";

// Colour-table index 0 is the automatic colour. Other system colours have no
// RGB value we could write, so they are written as automatic too.
bool isAutomatic(Colour c) { return c == kWindowText || (c & 0x80000000u) != 0; }

Colour rgbOf(Colour c) { return c & 0xFFFFFFu; }

int halfPoints(float size) {
  const long hp = std::lround(static_cast<double>(size) * 2);
  return hp < 1 ? 1 : static_cast<int>(hp);
}

// Appends \ word number, composed in one buffer: this runs for most
// characters of a document and must stay cheap in unoptimised builds too.
void appendWord(std::string& out, std::string_view word, long long n, char delimiter = 0) {
  char buf[48];
  char* end = buf + sizeof buf;
  char* p = end;
  if (delimiter) *--p = delimiter;
  unsigned long long u =
      n < 0 ? 0ULL - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
  do {
    *--p = static_cast<char>('0' + u % 10);
    u /= 10;
  } while (u != 0);
  if (n < 0) *--p = '-';
  p -= word.size();
  std::memcpy(p, word.data(), word.size());
  *--p = '\\';
  out.append(p, end);
}

void appendHexByte(std::string& out, unsigned b) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += "\\'";
  out += kHex[(b >> 4) & 0xF];
  out += kHex[b & 0xF];
}

class RtfWriter {
 public:
  explicit RtfWriter(const RichDocument& doc) : doc_(doc) {}

  std::string write() {
    collectColours();
    out_.reserve(kRtfHeader.size() + 64 + colours_.size() * 32 + doc_.text.size() * 2);
    out_ += kRtfHeader;
    writeColourTable();
    out_ += "\r\n\\uc1\\pard\\plain\\f0";
    writeBody();
    out_ += "}\r\n";
    return std::move(out_);
  }

 private:
  // The format at i, found from the run of the previous call: the body is
  // written front to back, so this walks the runs once.
  const CharFormat& formatAt(size_t i) {
    static const CharFormat kDefault;
    const FormatRuns& f = doc_.formats;
    const auto pos = static_cast<int64_t>(i);
    if (pos >= f.size()) return kDefault;
    if (run_ >= f.runs().size() || pos < f.runs()[run_].start) run_ = f.runIndexAt(pos);
    while (pos >= f.runEnd(run_)) ++run_;
    return f.runs()[run_].format;
  }

  int colourIndex(Colour c) const {
    if (isAutomatic(c)) return 0;
    return index_.at(rgbOf(c));
  }

  void collectColours() {
    Colour previous = kWindowText;
    const auto n = static_cast<int64_t>(doc_.text.size());
    for (const FormatRuns::Run& r : doc_.formats.runs()) {
      if (r.start >= n) break;
      const Colour c = r.format.colour;
      if (c == previous || isAutomatic(c)) continue;
      previous = c;
      if (index_.emplace(rgbOf(c), static_cast<int>(colours_.size()) + 1).second) {
        colours_.push_back(rgbOf(c));
      }
    }
  }

  void writeColourTable() {
    out_ += "{\\colortbl ;";
    for (const Colour c : colours_) {
      appendWord(out_, "red", c & 0xFF);
      appendWord(out_, "green", (c >> 8) & 0xFF);
      appendWord(out_, "blue", (c >> 16) & 0xFF);
      out_ += ';';
    }
    out_ += '}';
  }

  // Writes the control words that change the current format to f; the
  // trailing space ends the last word and is not part of the text.
  void switchTo(const CharFormat& f) {
    const int cf = colourIndex(f.colour);
    const int fs = halfPoints(f.size);
    bool any = false;
    if (!started_ || cf != cf_) {
      appendWord(out_, "cf", cf);
      any = true;
    }
    if (!started_ || f.bold != bold_) {
      out_ += f.bold ? "\\b" : "\\b0";
      any = true;
    }
    if (!started_ || fs != fs_) {
      appendWord(out_, "fs", fs);
      any = true;
    }
    if (any) out_ += ' ';
    started_ = true;
    cf_ = cf;
    bold_ = f.bold;
    fs_ = fs;
  }

  void writeBody() {
    const Text& t = doc_.text;
    const CharFormat* current = nullptr;
    size_t i = 0;
    while (i < t.size()) {
      const CharFormat& f = formatAt(i);
      if (!current || f != *current) switchTo(f);
      current = &f;
      const char16_t c = t[i];
      // A CR LF pair is a paragraph end; the pair takes one format, so a pair
      // whose halves differ is written character by character instead.
      if (c == CR && i + 1 < t.size() && t[i + 1] == LF && formatAt(i + 1) == f) {
        out_ += "\\par\r\n";
        i += 2;
      } else if (isPlainAscii(c)) {
        i = writeAsciiRun(i);
      } else {
        writeChar(c);
        ++i;
      }
    }
  }

  static bool isPlainAscii(char16_t c) {
    return c >= 0x20 && c < 0x7F && c != u'\\' && c != u'{' && c != u'}';
  }

  // Copies the characters from i that need no escape and share the format
  // at i, which formatAt has just found; returns the position after them.
  size_t writeAsciiRun(size_t i) {
    const Text& t = doc_.text;
    const size_t start = i;
    const FormatRuns& formats = doc_.formats;
    const size_t end = static_cast<int64_t>(i) < formats.size()
                           ? std::min(t.size(), static_cast<size_t>(formats.runEnd(run_)))
                           : t.size();
    while (i < end && isPlainAscii(t[i])) ++i;
    const size_t old = out_.size();
    out_.resize(old + (i - start));
    char* out = out_.data() + old;
    for (const char16_t* p = t.data() + start; p != t.data() + i; ++p)
      *out++ = static_cast<char>(*p);
    return i;
  }

  void writeChar(char16_t c) {
    if (c == u'\\' || c == u'{' || c == u'}') {
      out_ += '\\';
      out_ += static_cast<char>(c);
    } else if (c == u'\t') {
      out_ += "\\tab ";
    } else if (c < 0x20 || c == 0x7F) {
      appendHexByte(out_, c);
    } else if (c < 0x80) {
      out_ += static_cast<char>(c);
    } else {
      appendWord(out_, "u", static_cast<int16_t>(c), '?');
    }
  }

  const RichDocument& doc_;
  size_t run_ = 0;
  std::string out_;
  std::vector<Colour> colours_;
  std::unordered_map<Colour, int> index_;
  bool started_ = false;
  int cf_ = 0;
  bool bold_ = false;
  int fs_ = 0;
};

// --- Reading -----------------------------------------------------------------

// Windows-1252's characters for 0x80..0x9F; the rest of the code page is
// Latin-1. Unassigned bytes keep their value, as Windows maps them.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

Text fromCp1252(std::string_view bytes) {
  Text out;
  out.reserve(bytes.size());
  for (const char b : bytes) {
    const auto u = static_cast<unsigned char>(b);
    out += (u >= 0x80 && u < 0xA0) ? kCp1252High[u - 0x80] : static_cast<char16_t>(u);
  }
  return out;
}

bool isAscii(std::string_view bytes) {
  for (const char b : bytes) {
    if (static_cast<unsigned char>(b) >= 0x80) return false;
  }
  return true;
}

Text decodeCodePage(std::string_view bytes, int codePage) {
  if (isAscii(bytes)) return Text(bytes.begin(), bytes.end());
  switch (codePage) {
    case 936:
      return fromGbk(bytes);
    case 65001:
      return fromUtf8(bytes);
    default:
      return fromCp1252(bytes);
  }
}

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigitChar(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Groups whose text is not document text. Destinations marked with \* are
// skipped whatever their name.
bool isSkippedDestination(std::string_view w) {
  static constexpr std::string_view kSkipped[] = {
      "stylesheet",
      "info",
      "pict",
      "object",
      "header",
      "headerl",
      "headerr",
      "headerf",
      "footer",
      "footerl",
      "footerr",
      "footerf",
      "footnote",
      "annotation",
      "listtable",
      "revtbl",
      "rsidtbl",
      "filetbl",
      "xmlnstbl",
      "themedata",
      "datastore",
      "generator",
      "fldinst",
      "nonshppict",
      "private",
      "latentstyles",
      "colorschememapping",
      "listoverridetable",
  };
  for (const auto s : kSkipped) {
    if (s == w) return true;
  }
  return false;
}

// Characters some writers use control words for.
char16_t namedCharacter(std::string_view w) {
  static constexpr std::pair<std::string_view, char16_t> kNamed[] = {
      {"tab", u'\t'},      {"cell", u'\t'},     {"emdash", 0x2014},    {"endash", 0x2013},
      {"emspace", 0x2003}, {"enspace", 0x2002}, {"qmspace", 0x2005},   {"bullet", 0x2022},
      {"lquote", 0x2018},  {"rquote", 0x2019},  {"ldblquote", 0x201C}, {"rdblquote", 0x201D},
  };
  for (const auto& [name, c] : kNamed) {
    if (name == w) return c;
  }
  return 0;
}

enum class Destination { Text, Skip, FontTable, ColourTable };

struct DamagedRtf : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct GroupState {
  CharFormat format;
  int font = -1;  // -1: the document's default font
  int unicodeSkip = 1;
  Destination dest = Destination::Text;
};

class RtfReader {
 public:
  RtfReader(std::string_view in, const CharFormat& plain) : in_(in), plain_(plain) {
    state_.format = plain;
    // Most RTF has fewer characters than bytes; a guess saves regrowing.
    doc_.text.reserve(in.size() / 4);
  }

  RichDocument read() {
    while (pos_ < in_.size()) {
      const char c = in_[pos_++];
      if (c == '{') {
        openGroup();
      } else if (c == '}') {
        if (!closeGroup()) break;
      } else if (c == '\\') {
        control();
      } else if (c == '\r' || c == '\n') {
        // line breaks in the file are layout only
      } else if (c == '\t') {
        if (!skipped()) emit(u'\t');
      } else if (pendingSkip_ == 0 && state_.dest == Destination::Text) {
        textRun();
      } else {
        literal(c);
      }
    }
    flush();
    return std::move(doc_);
  }

 private:
  // Takes the plain characters starting just before pos_ as they are.
  void textRun() {
    const size_t start = pos_ - 1;
    while (pos_ < in_.size() && !endsTextRun(in_[pos_])) ++pos_;
    bytes_.append(in_.substr(start, pos_ - start));
  }

  static bool endsTextRun(char c) {
    return c == '{' || c == '}' || c == '\\' || c == '\r' || c == '\n' || c == '\t';
  }

  // Word processors nest a few dozen groups at most; a bound keeps a file of
  // nothing but "{" from taking memory without end.
  static constexpr size_t kMaxDepth = 1000;

  void openGroup() {
    flush();
    pendingSkip_ = 0;
    if (stack_.size() >= kMaxDepth) throw DamagedRtf("分组嵌套超过 1000 层");
    stack_.push_back(state_);
  }

  // Returns false when the outermost group has ended.
  bool closeGroup() {
    flush();
    pendingSkip_ = 0;
    if (stack_.empty()) return false;
    state_ = stack_.back();
    stack_.pop_back();
    return !stack_.empty();
  }

  // Consumes one of the fallback characters after \uN; true when it was one.
  bool skipped() {
    if (pendingSkip_ == 0) return false;
    --pendingSkip_;
    return true;
  }

  void literal(char c) {
    if (skipped()) return;
    switch (state_.dest) {
      case Destination::Text:
        bytes_ += c;
        break;
      case Destination::ColourTable:
        if (c == ';') endColour();
        break;
      default:
        break;
    }
  }

  void control() {
    if (pos_ >= in_.size()) return;
    const char c = in_[pos_];
    if (isLetter(c)) {
      controlWord();
    } else if (c == '\'') {
      ++pos_;
      hexByte();
    } else {
      ++pos_;
      controlSymbol(c);
    }
  }

  void hexByte() {
    int value = 0;
    for (int i = 0; i < 2 && pos_ < in_.size(); ++i) {
      const int h = hexValue(in_[pos_]);
      if (h < 0) break;
      value = value * 16 + h;
      ++pos_;
    }
    if (skipped()) return;
    if (state_.dest == Destination::Text) bytes_ += static_cast<char>(value);
  }

  void controlSymbol(char c) {
    if (c == '\\' || c == '{' || c == '}') {
      literal(c);
      return;
    }
    if (skipped()) return;
    switch (c) {
      case '*':
        state_.dest = Destination::Skip;
        break;
      case '~':
        emitIfText(0x00A0);
        break;
      case '_':
        emitIfText(0x2011);
        break;
      case '\r':
      case '\n':
        paragraph();
        break;
      default:  // \- optional hyphen, \| \: index marks
        break;
    }
  }

  void controlWord() {
    const size_t start = pos_;
    while (pos_ < in_.size() && isLetter(in_[pos_])) ++pos_;
    const std::string_view word = in_.substr(start, pos_ - start);
    bool hasParam = false;
    long long param = 0;
    bool negative = false;
    if (pos_ < in_.size() && in_[pos_] == '-' && pos_ + 1 < in_.size() &&
        isDigitChar(in_[pos_ + 1])) {
      negative = true;
      ++pos_;
    }
    while (pos_ < in_.size() && isDigitChar(in_[pos_])) {
      hasParam = true;
      if (param < 1'000'000'000'000LL) param = param * 10 + (in_[pos_] - '0');
      ++pos_;
    }
    if (negative) param = -param;
    if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;

    if (word == "bin") {
      // Raw binary data follows; it may contain braces and backslashes.
      const auto n = static_cast<size_t>(param > 0 ? param : 0);
      pos_ += std::min(n, in_.size() - pos_);
      return;
    }
    if (skipped()) return;
    flush();
    switch (state_.dest) {
      case Destination::Skip:
        return;
      case Destination::FontTable:
        fontTableWord(word, param);
        return;
      case Destination::ColourTable:
        colourTableWord(word, param);
        return;
      case Destination::Text:
        textWord(word, hasParam, param);
        return;
    }
  }

  void textWord(std::string_view w, bool hasParam, long long param) {
    if (w == "par" || w == "line" || w == "row") {
      paragraph();
    } else if (w == "u") {
      emit(static_cast<char16_t>(param & 0xFFFF));
      pendingSkip_ = state_.unicodeSkip;
    } else if (w == "uc") {
      state_.unicodeSkip = param > 0 ? static_cast<int>(std::min(param, 16LL)) : 0;
    } else if (w == "cf") {
      state_.format.colour = colourAt(param);
    } else if (w == "b") {
      state_.format.bold = !hasParam || param != 0;
    } else if (w == "fs") {
      state_.format.size = hasParam && param > 0 ? static_cast<float>(param) / 2 : 12.0f;
    } else if (w == "plain") {
      state_.format = plain_;
      state_.font = -1;
    } else if (w == "f") {
      state_.font = static_cast<int>(param);
    } else if (w == "ansicpg") {
      codePage_ = static_cast<int>(param);
    } else if (w == "deff") {
      defaultFont_ = static_cast<int>(param);
    } else if (w == "fonttbl") {
      state_.dest = Destination::FontTable;
    } else if (w == "colortbl") {
      state_.dest = Destination::ColourTable;
      colours_.clear();
      resetColour();
    } else if (isSkippedDestination(w)) {
      state_.dest = Destination::Skip;
    } else if (const char16_t c = namedCharacter(w)) {
      emit(c);
    }
  }

  void fontTableWord(std::string_view w, long long param) {
    if (w == "f") {
      tableFont_ = static_cast<int>(param);
    } else if (w == "fcharset") {
      fontCharset_[tableFont_] = static_cast<int>(param);
    }
  }

  void colourTableWord(std::string_view w, long long param) {
    const auto component = static_cast<Colour>(std::clamp(param, 0LL, 255LL));
    if (w == "red") {
      red_ = component;
    } else if (w == "green") {
      green_ = component;
    } else if (w == "blue") {
      blue_ = component;
    } else {
      return;
    }
    colourGiven_ = true;
  }

  void resetColour() {
    red_ = green_ = blue_ = 0;
    colourGiven_ = false;
  }

  // An entry without components is the automatic colour.
  void endColour() {
    colours_.push_back(colourGiven_ ? red_ + green_ * 256 + blue_ * 65536 : kWindowText);
    resetColour();
  }

  Colour colourAt(long long index) const {
    if (index < 0 || index >= static_cast<long long>(colours_.size())) return kWindowText;
    return colours_[static_cast<size_t>(index)];
  }

  // The code page of \'hh bytes: a GB2312 font's own, else the document's.
  int currentCodePage() const {
    const int font = state_.font < 0 ? defaultFont_ : state_.font;
    const auto it = fontCharset_.find(font);
    if (it != fontCharset_.end() && it->second == 134) return 936;
    return codePage_;
  }

  void paragraph() {
    emitIfText(CR);
    emitIfText(LF);
  }

  void emitIfText(char16_t c) {
    if (state_.dest == Destination::Text) emit(c);
  }

  void emit(char16_t c) {
    flush();
    doc_.text += c;
    doc_.formats.append(1, state_.format);
  }

  // Bytes are gathered until something else comes, so that the two bytes of
  // a double-byte character decode together, even when the trail byte is
  // written as a plain character.
  void flush() {
    if (bytes_.empty()) return;
    if (isAscii(bytes_)) {
      const size_t old = doc_.text.size();
      doc_.text.resize(old + bytes_.size());
      char16_t* out = doc_.text.data() + old;
      for (const char* p = bytes_.data(); p != bytes_.data() + bytes_.size(); ++p)
        *out++ = static_cast<unsigned char>(*p);
    } else {
      doc_.text += decodeCodePage(bytes_, currentCodePage());
    }
    doc_.formats.resize(static_cast<int64_t>(doc_.text.size()), state_.format);
    bytes_.clear();
  }

  std::string_view in_;
  size_t pos_ = 0;
  CharFormat plain_;
  GroupState state_;
  std::vector<GroupState> stack_;
  int pendingSkip_ = 0;
  std::string bytes_;
  int codePage_ = 1252;
  int defaultFont_ = 0;
  int tableFont_ = 0;
  std::unordered_map<int, int> fontCharset_;
  std::vector<Colour> colours_;
  Colour red_ = 0, green_ = 0, blue_ = 0;
  bool colourGiven_ = false;
  RichDocument doc_;
};

// --- Files -------------------------------------------------------------------

std::runtime_error fileError(std::string_view what, const std::filesystem::path& file, int err) {
  std::string msg(what);
  msg += ' ';
  msg += file.string();
  msg += "：";
  msg += fileErrorReason(err);
  return std::runtime_error(msg);
}

// Line ends LF, CR and CR LF become CR LF. CRs directly before a CR LF are
// dropped: a file whose CR LF went through a second conversion ends its
// lines in CR CR LF, which is one line end, not an empty line after each.
Text withCrLf(Text t) {
  // A text whose every line already ends in one CR LF is kept as it is:
  // every CR has an LF after it and every LF a CR before it. Looked at pair
  // by pair, with no branch per character.
  const auto clean = [&] {
    const size_t n = t.size();
    if (n == 0) return true;
    if (t[0] == LF || t[n - 1] == CR) return false;
    const char16_t* p = t.data();
    constexpr size_t kBlock = 2048;
    for (size_t i = 0; i + 1 < n; i += kBlock) {
      const size_t end = std::min(i + kBlock, n - 1);
      unsigned bad = 0;
      for (size_t k = i; k < end; ++k) bad |= static_cast<unsigned>((p[k] == CR) != (p[k + 1] == LF));
      if (bad) return false;
    }
    return true;
  };
  if (clean()) return t;
  Text out;
  out.reserve(t.size() + t.size() / 16);
  size_t i = 0;
  while (i < t.size()) {
    // The text up to the next line end, in one piece.
    size_t end = i;
    while (end < t.size() && t[end] != CR && t[end] != LF) ++end;
    out.append(t.data() + i, end - i);
    if (end == t.size()) break;
    i = end;
    if (t[i] == CR) {
      size_t j = i;
      while (j + 1 < t.size() && t[j + 1] == CR) ++j;
      if (j + 1 < t.size() && t[j + 1] == LF) i = j + 1;  // CR ... CR LF
    }
    out += CRLF;
    ++i;
  }
  return out;
}

RichDocument plainDocument(const std::filesystem::path& file, std::string_view bytes, const CharFormat& plain) {
  RichDocument doc;
  try {
    doc.text = withCrLf(decodeTextFile(bytes));
  } catch (const std::runtime_error& e) {
    throw std::runtime_error("无法读取 " + file.string() + "：" + e.what());
  }
  doc.formats.assign(static_cast<int64_t>(doc.text.size()), plain);
  return doc;
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// A new, empty file beside the target, opened for writing; its name is unique
// to this process and call.
int createTempFile(const std::filesystem::path& file, std::filesystem::path& temp) {
  static std::atomic<unsigned> counter{0};
  const std::filesystem::path dir = file.has_parent_path() ? file.parent_path() : ".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = ".";
    name += file.filename().string();
    name += ".tmp";
    name += std::to_string(::getpid());
    name += '-';
    name += std::to_string(counter++);
    temp = dir / name;
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

}  // namespace

std::string writeRtf(const RichDocument& doc) { return RtfWriter(doc).write(); }

std::optional<RichDocument> readRtf(std::string_view rtf, const CharFormat& plain) {
  if (!rtf.starts_with("{\\rtf")) return std::nullopt;
  return RtfReader(rtf, plain).read();
}

RichDocument loadRichFile(const std::filesystem::path& file, const CharFormat& plain, FileStamp* stamp) {
  try {
    const FileBytes read = readWholeFile(file);
    const std::string_view bytes = read.view();
    std::optional<RichDocument> doc;
    try {
      doc = readRtf(bytes, plain);
    } catch (const DamagedRtf& e) {
      throw std::runtime_error("无法读取 " + file.string() + "：RTF 格式无法读懂（" + e.what() +
                               "）。请在文字处理软件中把它另存为纯文本后再打开。");
    }
    if (!doc) doc = plainDocument(file, bytes, plain);
    // Rich text whose characters could not all be read, or that carries
    // control characters, would not come back whole from a save.
    else if (holdsBinary(doc->text))
      throw std::runtime_error("无法读取 " + file.string() +
                               "：这个 RTF 文件中有无法读出的字符。请在文字处理软件中把它另存为 UTF-8 或 GBK "
                               "文本后再打开。");
    if (stamp) *stamp = read.stamp;
    return std::move(*doc);
  } catch (const std::bad_alloc&) {
    throw std::runtime_error("无法读取 " + file.string() +
                             "：内存不足，装不下这个文件的文字。请关闭其他程序后再试，或把文件分成几个较小的文件。");
  }
}

void saveRichFile(const std::filesystem::path& file, const RichDocument& doc) {
  std::string rtf;
  try {
    rtf = writeRtf(doc);
  } catch (const std::bad_alloc&) {
    throw std::runtime_error("无法保存 " + file.string() + "：内存不足，文件未改动。请关闭其他程序后再试。");
  }
  writeFileAtomically(file, rtf);
}

void writeFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                         const std::function<void()>& beforeReplace) {
  struct stat old {};
  const bool replacing = ::stat(file.c_str(), &old) == 0 && S_ISREG(old.st_mode);
  // A file the user made read-only is not replaced behind their back (the
  // rename would do it, whatever the file's own permissions say).
  if (replacing && (old.st_mode & 0222) == 0)
    throw std::runtime_error("无法保存 " + file.string() + "：文件是只读的，本程序不会覆盖它。请取消文件的只读属性后再试。");

  std::filesystem::path temp;
  const int fd = createTempFile(file, temp);
  if (fd < 0) throw fileError("无法保存", file, errno);
  // A replaced file keeps its permissions.
  if (replacing) ::fchmod(fd, old.st_mode & 07777);

  bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
  int err = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (ok && (beforeReplace || tempWrittenForTests.load())) {
    try {
      if (auto hook = tempWrittenForTests.load()) hook(file);
      if (beforeReplace) beforeReplace();
    } catch (...) {
      ::unlink(temp.c_str());
      throw;
    }
  }
  if (ok && ::rename(temp.c_str(), file.c_str()) != 0) {
    ok = false;
    err = errno;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    throw fileError("无法保存", file, err);
  }

  // Make the rename itself durable; a failure here loses nothing written.
  const std::filesystem::path dir = file.has_parent_path() ? file.parent_path() : ".";
  const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
}

}  // namespace zuvo
