#pragma once
// The raw list of the range query, line by line, and the clean-up steps that
// run over it before it is shown: each a single pass over the lines.

#include <cstdint>
#include <vector>

#include "platform/text.h"

namespace zuvo {

// The lines that close the sections of the range result; never stored.
inline const Text kSentenceSeparator = Text(30, u'━') + u"★";
inline const Text kVerbSeparator = Text(30, u'━') + u"☆";
inline const Text kExampleSeparator = Text(30, u'━') + u"◆";

class RangeResultLines {
 public:
  // A cell is appended whole; its inner line breaks start new lines.
  void appendCell(TextView cell);
  void appendLine(TextView line) { add(line, false); }
  // A verb's line (infinitive, " ★" and its meaning): the meaning's later
  // lines follow as lines of their own, and whichever of them stays keeps
  // the verb's first line before it.
  void appendVerbLine(TextView line);
  // Appends each line of the text that contains the input, once, in order;
  // returns how many.
  int64_t appendLinesContaining(TextView text, TextView input);

  // RemoveEmptyResultLines: every empty line goes, wherever it stands.
  void removeEmptyLines();
  // FilterResultLines: the separators and the lines holding the input stay.
  void keepLinesHolding(TextView input);
  // RemoveRepeatedResultLines: each distinct line once, at its first place.
  void removeRepeatedLines();
  // RemoveRepeatedNeighbourLines: a line equal to the one before it goes.
  void removeRepeatedNeighbours();

  size_t size() const { return lines_.size(); }
  TextView line(size_t i) const { return TextView(chars_).substr(lines_[i].start, lines_[i].size); }
  // The pane's text: every line followed by CR LF.
  Text joined() const;

 private:
  // A line is a stretch of chars_; removing lines leaves their characters
  // where they are, so a query's list costs one growing buffer, not a string
  // a line.
  struct Line {
    size_t start;
    size_t size;
    bool continues;  // carries on the verb line before it
  };
  void add(TextView line, bool continues);
  // Removes the lines for which drop(i, kept) holds.
  template <class F>
  void eraseLines(F&& drop);

  Text chars_;
  std::vector<Line> lines_;
};

}  // namespace zuvo
