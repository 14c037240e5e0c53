#include "app/FrmLexaro.h"

namespace zuvo {

void FrmLexaro::Command91_Click() {}  // filled by the word import
void FrmLexaro::Command75_Click() {}  // filled by the word import

}  // namespace zuvo
