#pragma once
// The texts the verb entry and word add panels put into their boxes when
// they open. Text42 and Text43 are shared with the sentence add panel, where
// such a text is never a sentence.

#include "platform/text.h"

namespace zuvo {

inline constexpr TextView kVerbMeaningPlaceholder = u"动词词义（中文）,双击本窗口可以扩展";  // Text42, verb entry
inline constexpr TextView kWordHeadwordPlaceholder = u"主词（西文）";                        // Text102, word add
inline constexpr TextView kWordMeaningPlaceholder = u"词义（中文）\r\n双击本窗口可以扩展";    // Text42, word add
inline constexpr TextView kWordSpanishPlaceholder = u"单词或词组（西文）\r\n双击本窗口可以扩展";  // Text43, word add

// A text that one of those panels left in Text42 or Text43; the first line
// of the word meaning placeholder counts as well.
inline bool isEntryPlaceholder(TextView t) {
  return t == kVerbMeaningPlaceholder || t == kWordMeaningPlaceholder || t == u"词义（中文）" ||
         t == kWordSpanishPlaceholder;
}

}  // namespace zuvo
