#include "app/FrmLexaro.h"

namespace zuvo {

FrmLexaro::FrmLexaro(Application& app) : Window(app, "FrmLexaro") {
  for (Control* c : controls()) c->Visible = false;
}

}  // namespace zuvo
