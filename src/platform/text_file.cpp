#include "platform/text_file.h"

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
  if (t.find(u'\0') != Text::npos) throw std::runtime_error("The file holds NUL characters: it is not a text file.");
  throw std::runtime_error("The file holds control characters: it is not a text file.");
}

}  // namespace

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
    if (!isValidUtf8(bytes)) throw std::runtime_error("The file is marked as UTF-8 but is not valid UTF-8.");
    return checked(fromUtf8(bytes));
  }
  for (const bool bigEndian : {false, true}) {
    if (!bytes.starts_with(bigEndian ? "\xFE\xFF" : "\xFF\xFE")) continue;
    auto text = fromUtf16(bytes.substr(2), bigEndian);
    if (!text) throw std::runtime_error(bigEndian ? "The file is marked as UTF-16BE but is not valid UTF-16BE."
                                                  : "The file is marked as UTF-16LE but is not valid UTF-16LE.");
    return checked(std::move(*text));
  }
  const bool utf8 = isValidUtf8(bytes);
  std::optional<Text> gbk = fromGbkExactly(bytes);
  if (!utf8 && !gbk) throw std::runtime_error("The file is neither UTF-8 nor GBK text.");
  if (!utf8) return checked(std::move(*gbk));
  Text asUtf8 = fromUtf8(bytes);
  if (!gbk || textLikeness(asUtf8) > textLikeness(*gbk)) return checked(std::move(asUtf8));
  return checked(std::move(*gbk));
}

}  // namespace zuvo
