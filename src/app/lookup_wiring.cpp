// The handlers of the input box, the views and the number hand-off.

#include "app/FrmLexaro.h"

namespace zuvo {

void FrmLexaro::wireLookupHandlers() {}

}  // namespace zuvo
