// The handlers of add mode, the sentence panels and the entry boxes.

#include "app/FrmLexaro.h"

namespace zuvo {

void FrmLexaro::wireEntryHandlers() {}

}  // namespace zuvo
