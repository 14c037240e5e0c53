#pragma once
// The example split: a verb's examples arrive as one run of Spanish
// sentences and their Chinese translations; the split puts a "/" where a
// Spanish run meets a Chinese one and a line break where a Chinese run meets
// a Spanish one, telling the two apart by the GBK code of each character.

#include "platform/text.h"

namespace zuvo {

struct SplitExamples {
  Text text;        // the split text
  int64_t steps;    // pairs looked at, the final empty one included
  Text lastPair;    // the last pair that was not empty ("" for an empty text)
};

SplitExamples splitExamples(TextView examples);

}  // namespace zuvo
