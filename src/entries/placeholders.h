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

// The verb entry panel's other boxes.
inline constexpr TextView kVerbInfinitivePlaceholder = u"原动词";  // Text72
inline constexpr TextView kVerbTypePlaceholder = u"类型";          // Text46
inline constexpr TextView kVerbPrepositionPlaceholder = u"前置词";  // Text47
inline constexpr TextView kVerbGerundPlaceholder = u"副动词";       // Text117
inline constexpr TextView kVerbParticiplePlaceholder = u"分词";     // Text118
inline constexpr TextView kVerbSynonymsPlaceholder = u"同义词（中西文）\r\n双击本窗口可以扩展";  // Text114
inline constexpr TextView kVerbAntonymsPlaceholder = u"反义词（中西文）\r\n双击本窗口可以扩展";  // Text119
inline constexpr TextView kVerbExamplesPlaceholder =
    u"动词例句（中西文）用鼠标左键双击本窗口可以扩展\r\n\r\n用鼠标点击<作者信箱>可以删除全部的中文提示";  // Text116
// The word add panel's examples box.
inline constexpr TextView kWordExamplesPlaceholder =
    u"相关的词组或例句（中西文）,用鼠标左键双击本窗口可以扩展\r\n\r\n用鼠标点击<作者信箱>可以删除全部的中文提示";  // Text116

// The save button of a panel: "保—存" while there is something to save,
// "返—回" while it only closes the panel.
inline constexpr TextView kSave = u"保—存";
inline constexpr TextView kBack = u"返—回";

// What a panel box stores: its text, or nothing while it still holds its
// placeholder.
inline Text storedText(TextView boxText, TextView placeholder) {
  return boxText == placeholder ? Text() : Text(boxText);
}

// A text that one of those panels left in Text42 or Text43; the first line
// of the word meaning placeholder counts as well.
inline bool isEntryPlaceholder(TextView t) {
  return t == kVerbMeaningPlaceholder || t == kWordMeaningPlaceholder || t == u"词义（中文）" ||
         t == kWordSpanishPlaceholder;
}

}  // namespace zuvo
