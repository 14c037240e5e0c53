#pragma once
// The rows the participle-and-gerund worker FMff derives verb forms from:
// whole irregular infinitives, ending patterns of the bare infinitive, and
// the regular endings.

#include <span>
#include <string_view>

namespace zuvo {

// A form as the worker builds it: a fixed text, or a stem of the bare
// infinitive (the bare infinitive without its last stemCut letters, 2 to 5)
// followed by the text.
struct VerbForm {
  int stemCut = 0;  // 0: the text alone
  std::u16string_view text;
};

constexpr VerbForm fixedForm(std::u16string_view text) { return {0, text}; }
constexpr VerbForm onStem(int stemCut, std::u16string_view text) { return {stemCut, text}; }

// A whole infinitive, compared with the request exactly as written.
struct IrregularVerb {
  std::u16string_view infinitive;
  VerbForm participle;
  VerbForm gerund;
};

// An ending of the bare infinitive, compared with its last endingLength
// letters.
struct VerbEndingPattern {
  int endingLength;
  std::u16string_view ending;
  VerbForm gerund;
  VerbForm participle;
};

// The 40 irregular infinitives, in the order they are tried.
std::span<const IrregularVerb> irregularVerbTable();
// The ending patterns, tried in this order after the irregular table.
std::span<const VerbEndingPattern> verbEndingPatterns();
// "ar", "er" and "ir": the rule for every verb the two above leave.
std::span<const VerbEndingPattern> regularVerbEndings();

}  // namespace zuvo
