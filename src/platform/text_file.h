#pragma once
// The text of a plain-text file, taken only when every byte of it is read
// without loss and it holds no binary data.

#include <string_view>

#include "platform/text.h"

namespace zuvo {

// Decodes the bytes of a plain-text file. A byte-order mark names UTF-8,
// UTF-16LE or UTF-16BE. Without one the bytes are read as strict UTF-8 or
// strict GBK; when they are valid in both, the reading that looks more like
// a Chinese and Spanish text wins (textLikeness), GBK on a tie. Throws
// std::runtime_error with the reason when no reading takes every byte, or
// when the text holds NUL or another control character than TAB, CR and LF.
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
