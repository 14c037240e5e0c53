#pragma once
// The system's text: UTF-16, one unit per character, as the windows count it
// (CR LF is two characters). Helpers with the string and number semantics the
// handlers rely on. UTF-8 appears only at the edges (files, SQLite, Qt).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zuvo {

using Text = std::u16string;
using TextView = std::u16string_view;

inline constexpr char16_t CR = u'\r';
inline constexpr char16_t LF = u'\n';
inline constexpr TextView CRLF = u"\r\n";

// --- UTF-8 at the edges -----------------------------------------------------
std::string toUtf8(TextView t);
// The same into `out`, whose memory is reused: for a caller that converts
// text after text.
void toUtf8(TextView t, std::string& out);
Text fromUtf8(std::string_view s);
// Decodes s into out, which has room for s.size() units (a sequence never
// gives more units than bytes); returns the number of units written.
size_t utf8ToUnits(std::string_view s, char16_t* out);
// True when s is well-formed UTF-8.
bool isValidUtf8(std::string_view s);
// The UTF-16 units s decodes to when it is well-formed UTF-8; nullopt
// otherwise.
std::optional<size_t> utf8Units(std::string_view s);
// True when every surrogate of t is half of a pair: its UTF-8 form then
// decodes back to t.
bool isWellFormedUtf16(TextView t);

// --- Large buffers ------------------------------------------------------------
// Memory of a text or byte buffer about to be filled whole (a file's text):
// asks the kernel for large pages for what is large enough, so that filling
// it costs a fault per 2 MiB, not one per 4 KiB, and takes its pages in one
// call. Only advice: the memory behaves the same either way.
void adviseLargePages(void* data, size_t bytes);
// The size to allocate for a buffer of `bytes`: a large one rounded up so
// that the allocator maps it as whole large pages, which adviseLargePages
// then covers from its first byte to its last.
size_t largePagesSize(size_t bytes);

// --- GBK (the code page the system's character codes come from) ------------
// GBK bytes of t; a character outside GBK becomes '?'.
std::string toGbk(TextView t);
// Decodes GBK bytes; an undecodable byte becomes U+FFFD.
Text fromGbk(std::string_view bytes);
// Decodes GBK bytes when every byte belongs to a GBK character; nullopt
// otherwise.
std::optional<Text> fromGbkExactly(std::string_view bytes);
// The character's GBK code as a signed 16-bit number: a single-byte character
// gives its byte value, a double-byte one lead*256 + trail - 65536; a
// character outside GBK gives 63 ('?').
int gbkCode(char16_t c);
// gbkCode as decimal text ("49" for "1", "-11589" for 一).
Text gbkCodeText(char16_t c);

// --- Text as the dictionary writes it ------------------------------------------
// Text that comes in from outside (the keyboard, the input method, the
// clipboard, a batch file) as the dictionary stores it: ñ and Ñ become "ň".
Text typedText(TextView t);

// --- Scans over a whole file's text --------------------------------------------
// True when `hit` holds for some unit of t. The units are looked at a block
// at a time with no branch per unit, which the compiler turns into vector
// code: `hit` should combine its tests with & and |, not && and ||.
template <class Hit>
bool anyUnit(TextView t, Hit hit) {
  constexpr size_t kBlock = 2048;
  for (size_t i = 0; i < t.size(); i += kBlock) {
    const size_t end = i + kBlock < t.size() ? i + kBlock : t.size();
    unsigned found = 0;
    for (size_t k = i; k < end; ++k) found |= static_cast<unsigned>(hit(t[k]));
    if (found) return true;
  }
  return false;
}

// --- String helpers, lengths and positions 64-bit ---------------------------
// Equal units, compared many at a time (the string's own compare steps one
// unit at a time, for its ordering).
bool sameText(TextView a, TextView b);
int64_t Len(TextView t);
Text Left(TextView t, int64_t n);
Text Right(TextView t, int64_t n);
// 1-based start; len < 0 means to the end. Out-of-range parts give "".
Text Mid(TextView t, int64_t start, int64_t len = -1);
// The last character, or "" for "".
Text LastChar(TextView t);
// 1-based position of needle in hay at or after start, 0 when absent.
// An empty needle gives start (when start <= Len(hay) + 1).
int64_t InStr(int64_t start, TextView hay, TextView needle);
// Case-sensitive comparison by character code: <0, 0, >0.
int StrComp(TextView a, TextView b);
// Every occurrence of from replaced by to.
Text ReplaceAll(TextView t, TextView from, TextView to);

// --- Numbers ---------------------------------------------------------------
// The shortest decimal text of at most 15 significant digits with "." as the
// decimal point, as the original wrote numbers into boxes: 0.3+0.3+0.3 gives
// "0.9", 90 gives "90", -2 gives "-2", 0.00001 gives "1E-05",
// 1e15 gives "1E+15".
Text NumText(double v);
Text NumText(int64_t v);
inline Text NumText(int v) { return NumText(static_cast<int64_t>(v)); }
// The original's Val: the leading number of the text, blanks (spaces, tabs,
// line feeds) ignored anywhere; "" and "abc" give 0; "12a" gives 12;
// " 1 2" gives 12; "-3.5" gives -3.5; "1e3" gives 1000; "&H10" gives 16.
double Val(TextView t);

}  // namespace zuvo
