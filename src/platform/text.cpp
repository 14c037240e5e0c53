#include "platform/text.h"

#include <iconv.h>
#include <locale.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace zuvo {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool isHighSurrogate(char32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }
bool isSurrogate(char32_t u) { return u >= 0xD800 && u <= 0xDFFF; }

// Decodes one UTF-8 sequence at s[i]. On success stores the code point and
// the sequence length and returns true. On failure stores in len the length
// of the maximal ill-formed subpart (at least 1), as Unicode recommends for
// substituting U+FFFD, and returns false.
bool decodeUtf8(std::string_view s, size_t i, char32_t& cp, size_t& len) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char b0 = byte(i);
  len = 1;
  if (b0 < 0x80) {
    cp = b0;
    return true;
  }
  size_t need;
  unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    need = 1;
    cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    need = 2;
    cp = b0 & 0x0F;
    if (b0 == 0xE0) lo = 0xA0;  // no overlongs
    if (b0 == 0xED) hi = 0x9F;  // no surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    need = 3;
    cp = b0 & 0x07;
    if (b0 == 0xF0) lo = 0x90;  // no overlongs
    if (b0 == 0xF4) hi = 0x8F;  // nothing above U+10FFFF
  } else {
    return false;
  }
  for (size_t k = 1; k <= need; ++k) {
    if (i + k >= s.size()) return false;
    const unsigned char b = byte(i + k);
    const unsigned char l = k == 1 ? lo : 0x80;
    const unsigned char h = k == 1 ? hi : 0xBF;
    if (b < l || b > h) return false;
    cp = (cp << 6) | (b & 0x3F);
    len = k + 1;
  }
  return true;
}

// --- GBK ---------------------------------------------------------------------

// An iconv descriptor closed on scope exit.
struct Iconv {
  iconv_t cd;
  Iconv(const char* to, const char* from) : cd(iconv_open(to, from)) {}
  ~Iconv() {
    if (ok()) iconv_close(cd);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool ok() const { return cd != reinterpret_cast<iconv_t>(-1); }
};

std::vector<int16_t> buildGbkTable() {
  std::vector<int16_t> table(65536, 63);
  for (int c = 0; c < 0x80; ++c) table[c] = static_cast<int16_t>(c);
  Iconv conv("GBK", "UTF-16LE");
  if (!conv.ok()) return table;  // no gconv modules: ASCII only
  for (int c = 0x80; c < 0x10000; ++c) {
    if (isSurrogate(static_cast<char32_t>(c))) continue;
    char in[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    unsigned char out[8];
    char* ip = in;
    char* op = reinterpret_cast<char*>(out);
    size_t il = sizeof in, ol = sizeof out;
    const size_t r = iconv(conv.cd, &ip, &il, &op, &ol);
    const size_t n = sizeof out - ol;
    if (r == static_cast<size_t>(-1) || il != 0) {
      iconv(conv.cd, nullptr, nullptr, nullptr, nullptr);  // reset
      continue;
    }
    if (n == 1) {
      table[c] = static_cast<int16_t>(out[0]);
    } else if (n == 2) {
      table[c] = static_cast<int16_t>(out[0] * 256 + out[1] - 65536);
    }
  }
  return table;
}

const std::vector<int16_t>& gbkTable() {
  static const std::vector<int16_t> table = buildGbkTable();
  return table;
}

void appendGbkCode(std::string& out, int code) {
  if (code >= 0) {
    out += static_cast<char>(code);
  } else {
    const int u = code + 65536;
    out += static_cast<char>(u >> 8);
    out += static_cast<char>(u & 0xFF);
  }
}

// --- Numbers -----------------------------------------------------------------

Text asciiToText(std::string_view s) { return Text(s.begin(), s.end()); }

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == CR || c == LF; }
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

int hexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// "&H..." / "&O..." after the blanks have been removed; pos is just past the
// radix letter. Like the original: a value that fits 16 bits is an Integer
// (so "&HFFFF" is -1), one that fits 32 bits a Long; a trailing "&" makes it
// a Long ("&HFFFF&" is 65535). Larger values, an overflow in the original,
// give their unsigned value.
double radixVal(const Text& s, size_t pos, int radix) {
  uint64_t v = 0;
  bool any = false;
  bool big = false;
  for (; pos < s.size(); ++pos) {
    const int d = hexDigit(s[pos]);
    if (d < 0 || d >= radix) break;
    any = true;
    if (v > (UINT64_MAX >> 4)) big = true;
    v = v * static_cast<uint64_t>(radix) + static_cast<uint64_t>(d);
  }
  if (!any) return 0;
  if (big) return static_cast<double>(UINT64_MAX);
  const bool longSuffix = pos < s.size() && s[pos] == u'&';
  if (v <= 0xFFFF && !longSuffix) return static_cast<int16_t>(static_cast<uint16_t>(v));
  if (v <= 0xFFFFFFFFu) return static_cast<int32_t>(static_cast<uint32_t>(v));
  return static_cast<double>(v);
}

// strtod in the "C" locale, whatever the process locale is (Qt sets it).
double parseCDouble(const std::string& s) {
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  if (cLocale == static_cast<locale_t>(0)) {
    double v = 0;
    std::from_chars(s.data(), s.data() + s.size(), v);
    return v;
  }
  return strtod_l(s.c_str(), nullptr, cLocale);
}

}  // namespace

// --- UTF-8 -------------------------------------------------------------------

namespace {
// Encodes t into out, which has room for every byte (a unit gives at most
// three, a surrogate pair four); returns the bytes written.
size_t unitsToUtf8(TextView t, char* out) {
  char* o = out;
  const size_t n = t.size();
  for (size_t i = 0; i < n; ++i) {
    // Plain ASCII four units at a time while none is above 0x7F.
    while (i + 4 <= n) {
      uint64_t w;
      std::memcpy(&w, t.data() + i, 8);
      if (w & 0xFF80FF80FF80FF80ull) break;
      for (int k = 0; k < 4; ++k) o[k] = static_cast<char>(t[i + k]);
      o += 4;
      i += 4;
    }
    if (i == n) break;
    char32_t u = t[i];
    if (u < 0x80) {
      *o++ = static_cast<char>(u);
      continue;
    }
    if (u < 0x800) {
      *o++ = static_cast<char>(0xC0 | (u >> 6));
      *o++ = static_cast<char>(0x80 | (u & 0x3F));
      continue;
    }
    if (isSurrogate(u)) {
      if (isHighSurrogate(u) && i + 1 < n && isLowSurrogate(t[i + 1])) {
        const char32_t cp = 0x10000 + ((u - 0xD800) << 10) + (t[++i] - 0xDC00);
        *o++ = static_cast<char>(0xF0 | (cp >> 18));
        *o++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *o++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *o++ = static_cast<char>(0x80 | (cp & 0x3F));
        continue;
      }
      u = kReplacement;  // a lone surrogate has no UTF-8 form
    }
    *o++ = static_cast<char>(0xE0 | (u >> 12));
    *o++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    *o++ = static_cast<char>(0x80 | (u & 0x3F));
  }
  return static_cast<size_t>(o - out);
}

// The bytes unitsToUtf8 writes for t.
size_t utf8Size(TextView t) {
  size_t bytes = 0;
  const size_t n = t.size();
  for (size_t i = 0; i < n; ++i) {
    const char32_t u = t[i];
    if (u < 0x80) {
      bytes += 1;
    } else if (u < 0x800) {
      bytes += 2;
    } else if (isHighSurrogate(u) && i + 1 < n && isLowSurrogate(t[i + 1])) {
      bytes += 4;
      ++i;
    } else {
      bytes += 3;
    }
  }
  return bytes;
}
}  // namespace

void toUtf8(TextView t, std::string& out) {
  // Room for the most a unit gives, then cut to what was written: one pass
  // over the text, and a reused buffer keeps its memory.
  out.resize(t.size() * 3);
  out.resize(unitsToUtf8(t, out.data()));
}

std::string toUtf8(TextView t) {
  std::string out(utf8Size(t), '\0');
  unitsToUtf8(t, out.data());
  return out;
}

size_t utf8ToUnits(std::string_view s, char16_t* out) {
  char16_t* o = out;
  size_t i = 0;
  while (i < s.size()) {
    // Plain ASCII, the bulk of Spanish text, needs no decoding: eight bytes
    // at a time while none has its high bit set.
    while (i + 8 <= s.size()) {
      uint64_t w;
      std::memcpy(&w, s.data() + i, 8);
      if (w & 0x8080808080808080ull) break;
      for (int k = 0; k < 8; ++k) o[k] = static_cast<char16_t>(static_cast<unsigned char>(s[i + k]));
      o += 8;
      i += 8;
    }
    if (i >= s.size()) break;
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b0 = byte(i);
    if (b0 < 0x80) {
      *o++ = static_cast<char16_t>(b0);
      ++i;
      continue;
    }
    // The common two- and three-byte forms (accented letters, Chinese)
    // whose second byte has the full range: no overlong or surrogate form
    // is possible.
    const auto tail = [&](size_t k) { return k < s.size() && (byte(k) & 0xC0) == 0x80; };
    if (b0 >= 0xC2 && b0 <= 0xDF && tail(i + 1)) {
      *o++ = static_cast<char16_t>((b0 & 0x1F) << 6 | (byte(i + 1) & 0x3F));
      i += 2;
      continue;
    }
    if (b0 >= 0xE1 && b0 <= 0xEF && b0 != 0xED && tail(i + 1) && tail(i + 2)) {
      *o++ = static_cast<char16_t>((b0 & 0x0F) << 12 | (byte(i + 1) & 0x3F) << 6 | (byte(i + 2) & 0x3F));
      i += 3;
      continue;
    }
    char32_t cp = 0;
    size_t len = 1;
    if (!decodeUtf8(s, i, cp, len)) {
      *o++ = kReplacement;
    } else if (cp >= 0x10000) {
      cp -= 0x10000;
      *o++ = static_cast<char16_t>(0xD800 + (cp >> 10));
      *o++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      *o++ = static_cast<char16_t>(cp);
    }
    i += len;
  }
  return static_cast<size_t>(o - out);
}

Text fromUtf8(std::string_view s) {
  Text out;
  out.reserve(largePagesSize((s.size() + 1) * sizeof(char16_t)) / sizeof(char16_t) - 1);
  adviseLargePages(out.data(), out.capacity() * sizeof(char16_t));
  out.resize(s.size());
  out.resize(utf8ToUnits(s, out.data()));
  return out;
}

bool isValidUtf8(std::string_view s) { return utf8Units(s).has_value(); }

std::optional<size_t> utf8Units(std::string_view s) {
  size_t units = 0, i = 0;
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const auto tail = [&](size_t k) { return k < s.size() && (byte(k) & 0xC0) == 0x80; };
  while (i < s.size()) {
    // Plain ASCII eight bytes at a time, and the common two- and three-byte
    // forms whose second byte has the full range, as utf8ToUnits reads them.
    while (i + 8 <= s.size()) {
      uint64_t w;
      std::memcpy(&w, s.data() + i, 8);
      if (w & 0x8080808080808080ull) break;
      units += 8;
      i += 8;
    }
    if (i >= s.size()) break;
    const unsigned char b0 = byte(i);
    size_t len = 1;
    if (b0 < 0x80) {
    } else if (b0 >= 0xC2 && b0 <= 0xDF && tail(i + 1)) {
      len = 2;
    } else if (b0 >= 0xE1 && b0 <= 0xEF && b0 != 0xED && tail(i + 1) && tail(i + 2)) {
      len = 3;
    } else {
      char32_t cp = 0;
      if (!decodeUtf8(s, i, cp, len)) return std::nullopt;
      if (cp >= 0x10000) ++units;
    }
    ++units;
    i += len;
  }
  return units;
}

bool isWellFormedUtf16(TextView t) {
  for (size_t i = 0; i < t.size(); ++i) {
    if (!isSurrogate(t[i])) continue;
    if (!isHighSurrogate(t[i]) || i + 1 == t.size() || !isLowSurrogate(t[i + 1])) return false;
    ++i;
  }
  return true;
}

// --- GBK ---------------------------------------------------------------------

std::string toGbk(TextView t) {
  const auto& table = gbkTable();
  std::string out;
  out.reserve(t.size() * 2);
  for (size_t i = 0; i < t.size(); ++i) {
    const char16_t c = t[i];
    if (isHighSurrogate(c) && i + 1 < t.size() && isLowSurrogate(t[i + 1])) {
      out += '?';  // one character outside the BMP, never in GBK
      ++i;
      continue;
    }
    appendGbkCode(out, table[c]);
  }
  return out;
}

Text fromGbk(std::string_view bytes) {
  Text out;
  out.reserve(bytes.size());
  Iconv conv("UTF-16LE", "GBK");
  if (!conv.ok()) {
    for (const char b : bytes) {
      const auto u = static_cast<unsigned char>(b);
      out += u < 0x80 ? static_cast<char16_t>(u) : kReplacement;
    }
    return out;
  }
  std::vector<char> buf(4096);
  // iconv's input is char* though it does not write through it.
  char* ip = const_cast<char*>(bytes.data());
  size_t il = bytes.size();
  const auto flush = [&](const char* end) {
    for (const char* p = buf.data(); p + 1 < end; p += 2) {
      out += static_cast<char16_t>(static_cast<unsigned char>(p[0]) |
                                   (static_cast<unsigned char>(p[1]) << 8));
    }
  };
  while (il > 0) {
    char* op = buf.data();
    size_t ol = buf.size();
    const size_t r = iconv(conv.cd, &ip, &il, &op, &ol);
    const int err = errno;
    flush(op);
    if (r != static_cast<size_t>(-1)) break;
    if (err == E2BIG) continue;
    // EILSEQ (an invalid sequence) or EINVAL (cut off at the end): the byte
    // becomes U+FFFD and decoding goes on after it.
    out += kReplacement;
    ++ip;
    --il;
    iconv(conv.cd, nullptr, nullptr, nullptr, nullptr);
  }
  return out;
}

namespace {
// Buffers this large hold at least one whole large page.
constexpr uintptr_t kLargeBuffer = uintptr_t{4} << 20, kLargePage = uintptr_t{2} << 20;
// What the allocator puts before and after a mapped block: its header,
// and its rounding of the request.
constexpr size_t kAllocatorOverhead = 24;
}  // namespace

size_t largePagesSize(size_t bytes) {
  if (bytes < kLargeBuffer) return bytes;
  const size_t whole = (bytes + kAllocatorOverhead + kLargePage - 1) & ~(kLargePage - 1);
  return whole - kAllocatorOverhead;
}

void adviseLargePages(void* data, size_t bytes) {
  if (bytes < kLargeBuffer) return;
  const auto at = reinterpret_cast<uintptr_t>(data);
  const auto small = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
  // A buffer that starts just past a large page's start, or ends just
  // before one's end (the allocator's header and rounding), takes that
  // whole page.
  auto begin = (at + kLargePage - 1) & ~(kLargePage - 1);
  if (begin - at > kLargePage - small) begin -= kLargePage;
  auto end = (at + bytes) & ~(kLargePage - 1);
  if (at + bytes - end > kLargePage - small) end += kLargePage;
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_WRITE
  // The buffer is filled whole at once: its pages are taken in one call
  // instead of one fault each, which costs far more where memory is given
  // late (a virtual machine's). A kernel that does not know the call
  // leaves the faults to come.
  const auto first = at & ~(small - 1), last = (at + bytes + small - 1) & ~(small - 1);
  ::madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
#endif
}

namespace {

// GBK as iconv decodes it, byte by byte and pair by pair: the unit of each
// byte from 0x80 on that is a character alone, and of each pair whose lead
// byte is not (index lead * 256 + trail), 0 where iconv finds no character.
// Not `exact` when iconv is missing or a byte or pair gives other than one
// unit: iconv then decodes every file itself.
struct GbkDecoding {
  std::array<char16_t, 256> singles{};
  std::vector<char16_t> pairs = std::vector<char16_t>(256 * 256);
  bool exact = false;
};

GbkDecoding buildGbkDecoding() {
  GbkDecoding d;
  Iconv conv("UTF-16LE", "GBK");
  if (!conv.ok()) return d;
  // The units of the bytes as one character: 0 when they are none, -1 when
  // they are more than one unit.
  const auto decode = [&](std::initializer_list<unsigned char> in) -> int {
    char bytes[2];
    std::copy(in.begin(), in.end(), bytes);
    char16_t out[4];
    char* ip = bytes;
    size_t il = in.size();
    char* op = reinterpret_cast<char*>(out);
    size_t ol = sizeof out;
    iconv(conv.cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(conv.cd, &ip, &il, &op, &ol) == static_cast<size_t>(-1) || il > 0) return 0;
    if (op != reinterpret_cast<char*>(out + 1) || out[0] == 0) return -1;
    char16_t u = out[0];
    if constexpr (std::endian::native == std::endian::big) u = static_cast<char16_t>((u >> 8) | (u << 8));
    return u;
  };
  for (int b = 0x80; b < 0x100; ++b) {
    const int single = decode({static_cast<unsigned char>(b)});
    if (single < 0) return d;
    d.singles[b] = static_cast<char16_t>(single);
    if (single) continue;
    for (int trail = 0; trail < 0x100; ++trail) {
      const int unit = decode({static_cast<unsigned char>(b), static_cast<unsigned char>(trail)});
      if (unit < 0) return d;
      d.pairs[b * 256 + trail] = static_cast<char16_t>(unit);
    }
  }
  d.exact = true;
  return d;
}

// Decodes with the table: nullopt where iconv would fail.
std::optional<Text> gbkByTable(std::string_view bytes, const GbkDecoding& d) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t n = bytes.size();
  // Runs of ASCII, the bulk of Spanish text, go eight bytes at a time.
  const auto ascii8 = [&](size_t i) {
    uint64_t w;
    std::memcpy(&w, in + i, 8);
    return (w & 0x8080808080808080ull) == 0;
  };
  size_t units = 0;
  for (size_t i = 0; i < n;) {
    if (i + 8 <= n && ascii8(i)) {
      i += 8;
      units += 8;
      continue;
    }
    i += in[i] < 0x80 || d.singles[in[i]] ? 1 : 2;
    ++units;
  }
  Text out;
  out.reserve(largePagesSize((units + 1) * sizeof(char16_t)) / sizeof(char16_t) - 1);
  adviseLargePages(out.data(), out.capacity() * sizeof(char16_t));
  out.resize(units);
  char16_t* o = out.data();
  for (size_t i = 0; i < n;) {
    if (i + 8 <= n && ascii8(i)) {
      for (size_t k = 0; k < 8; ++k) o[k] = in[i + k];
      o += 8;
      i += 8;
      continue;
    }
    const unsigned char b = in[i];
    if (b < 0x80) {
      *o++ = b;
      ++i;
    } else if (d.singles[b]) {
      *o++ = d.singles[b];
      ++i;
    } else {
      if (i + 1 == n) return std::nullopt;  // cut off
      const char16_t u = d.pairs[b * 256 + in[i + 1]];
      if (!u) return std::nullopt;
      *o++ = u;
      i += 2;
    }
  }
  return out;
}

}  // namespace

std::optional<Text> fromGbkExactly(std::string_view bytes) {
  // A large file is decoded by table, built once from iconv's own answers.
  if (bytes.size() >= (size_t{1} << 20)) {
    static const GbkDecoding table = buildGbkDecoding();
    if (table.exact) return gbkByTable(bytes, table);
  }
  Iconv conv("UTF-16LE", "GBK");
  if (!conv.ok()) return std::nullopt;
  Text out;
  out.reserve(bytes.size());
  std::vector<char> buf(65536);
  char* ip = const_cast<char*>(bytes.data());  // iconv does not write through it
  size_t il = bytes.size();
  while (il > 0) {
    char* op = buf.data();
    size_t ol = buf.size();
    const size_t r = iconv(conv.cd, &ip, &il, &op, &ol);
    const int err = errno;
    for (const char* p = buf.data(); p + 1 < op; p += 2)
      out += static_cast<char16_t>(static_cast<unsigned char>(p[0]) | (static_cast<unsigned char>(p[1]) << 8));
    if (r != static_cast<size_t>(-1)) break;
    if (err != E2BIG) return std::nullopt;  // an invalid or cut-off sequence
  }
  return out;
}

int gbkCode(char16_t c) { return gbkTable()[c]; }

Text gbkCodeText(char16_t c) { return NumText(gbkCode(c)); }

// --- Text as the dictionary writes it -------------------------------------------

Text typedText(TextView t) {
  Text out(t);
  for (char16_t& c : out)
    if (c == u'ñ' || c == u'Ñ') c = u'ň';
  return out;
}

// --- String helpers ----------------------------------------------------------

bool sameText(TextView a, TextView b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0);
}

int64_t Len(TextView t) { return static_cast<int64_t>(t.size()); }

Text Left(TextView t, int64_t n) {
  if (n <= 0) return Text();
  if (n >= Len(t)) return Text(t);
  return Text(t.substr(0, static_cast<size_t>(n)));
}

Text Right(TextView t, int64_t n) {
  if (n <= 0) return Text();
  if (n >= Len(t)) return Text(t);
  return Text(t.substr(t.size() - static_cast<size_t>(n)));
}

Text Mid(TextView t, int64_t start, int64_t len) {
  if (start < 1) start = 1;
  if (start > Len(t) || len == 0) return Text();
  const auto from = static_cast<size_t>(start - 1);
  const size_t rest = t.size() - from;
  const size_t count = len < 0 ? rest : std::min(rest, static_cast<size_t>(len));
  return Text(t.substr(from, count));
}

Text LastChar(TextView t) {
  if (t.empty()) return Text();
  return Text(1, t.back());
}

int64_t InStr(int64_t start, TextView hay, TextView needle) {
  if (start < 1) start = 1;
  if (needle.empty()) return start <= Len(hay) + 1 ? start : 0;
  if (start > Len(hay)) return 0;
  const size_t pos = hay.find(needle, static_cast<size_t>(start - 1));
  return pos == TextView::npos ? 0 : static_cast<int64_t>(pos) + 1;
}

int StrComp(TextView a, TextView b) {
  const int r = a.compare(b);  // char_traits<char16_t> compares code units
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

Text ReplaceAll(TextView t, TextView from, TextView to) {
  if (from.empty()) return Text(t);
  Text out;
  out.reserve(t.size());
  size_t pos = 0;
  while (true) {
    const size_t hit = t.find(from, pos);
    if (hit == TextView::npos) break;
    out.append(t.substr(pos, hit - pos));
    out.append(to);
    pos = hit + from.size();
  }
  out.append(t.substr(pos));
  return out;
}

// --- Numbers -----------------------------------------------------------------

Text NumText(double v) {
  if (std::isnan(v)) return u"-1.#IND";  // as the original's runtime wrote them
  if (std::isinf(v)) return v > 0 ? u"1.#INF" : u"-1.#INF";
  if (v == 0) return u"0";  // also -0

  // Rounded to 15 significant digits: "d.dddddddddddddde[+-]x".
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(v),
                                 std::chars_format::scientific, 14);
  const std::string_view sci(buf, static_cast<size_t>(res.ptr - buf));
  const size_t e = sci.find('e');
  std::string digits;
  digits += sci[0];
  digits.append(sci.substr(2, e - 2));
  int exp = 0;
  std::from_chars(sci.data() + e + (sci[e + 1] == '+' ? 2 : 1), sci.data() + sci.size(), exp);
  // The shortest text of the rounded value: trailing zeros go.
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out;
  if (v < 0) out += '-';
  if (exp >= 15 || exp < -4) {
    out += digits[0];
    if (digits.size() > 1) {
      out += '.';
      out.append(digits, 1);
    }
    out += 'E';
    out += exp < 0 ? '-' : '+';
    const int a = exp < 0 ? -exp : exp;
    if (a < 10) out += '0';
    out += std::to_string(a);
  } else if (exp < 0) {
    out += "0.";
    out.append(static_cast<size_t>(-exp - 1), '0');
    out += digits;
  } else {
    const auto intDigits = static_cast<size_t>(exp) + 1;
    if (digits.size() <= intDigits) {
      out += digits;
      out.append(intDigits - digits.size(), '0');
    } else {
      out.append(digits, 0, intDigits);
      out += '.';
      out.append(digits, intDigits);
    }
  }
  return asciiToText(out);
}

Text NumText(int64_t v) { return asciiToText(std::to_string(v)); }

double Val(TextView t) {
  // A plain decimal of up to 15 digits, as counters and codes are written,
  // is read without the general parse: its digits are exact in a double,
  // and one division by an exact power of ten rounds as strtod does.
  if (!t.empty() && t.size() <= 15) {
    static constexpr double kTens[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const bool negative = t[0] == u'-';
    int64_t v = 0;
    size_t i = negative ? 1 : 0, point = 0, digits = 0;
    for (; i < t.size(); ++i) {
      if (t[i] >= u'0' && t[i] <= u'9') {
        v = v * 10 + (t[i] - u'0');
        ++digits;
      } else if (t[i] == u'.' && !point) {
        point = i + 1;
      } else {
        break;
      }
    }
    if (i == t.size() && digits) {
      const double d = static_cast<double>(v) / kTens[point ? t.size() - point : 0];
      return negative ? -d : d;
    }
  }
  // The original drops the blanks first, wherever they are.
  Text s;
  s.reserve(t.size());
  for (const char16_t c : t) {
    if (!isBlank(c)) s += c;
  }

  size_t i = 0;
  if (i + 1 < s.size() && s[i] == u'&') {
    const char16_t r = s[i + 1];
    if (r == u'H' || r == u'h') return radixVal(s, i + 2, 16);
    if (r == u'O' || r == u'o') return radixVal(s, i + 2, 8);
    return 0;
  }

  std::string num;  // the number in C syntax, for strtod
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
    if (s[i] == u'-') num += '-';
    ++i;
  }
  bool anyDigit = false;
  for (; i < s.size() && isDigit(s[i]); ++i) {
    num += static_cast<char>(s[i]);
    anyDigit = true;
  }
  if (i < s.size() && s[i] == u'.') {
    ++i;
    std::string frac;
    for (; i < s.size() && isDigit(s[i]); ++i) {
      frac += static_cast<char>(s[i]);
      anyDigit = true;
    }
    if (!frac.empty()) {
      num += '.';
      num += frac;
    }
  }
  if (!anyDigit) return 0;
  if (i < s.size() && (s[i] == u'E' || s[i] == u'e' || s[i] == u'D' || s[i] == u'd')) {
    size_t j = i + 1;
    std::string ex = "e";
    if (j < s.size() && (s[j] == u'+' || s[j] == u'-')) {
      ex += static_cast<char>(s[j]);
      ++j;
    }
    bool anyExpDigit = false;
    for (; j < s.size() && isDigit(s[j]); ++j) {
      ex += static_cast<char>(s[j]);
      anyExpDigit = true;
    }
    if (anyExpDigit) num += ex;
  }
  return parseCDouble(num);  // ".5" and "-.5" are C syntax too
}

}  // namespace zuvo
