#include "tools/conversion_window.h"

namespace zuvo {

Frm计量换算::Frm计量换算(Application& app) : Window(app, "Frm计量换算") {
  Caption = u" 计量单位换算";
  // Room for the category row, the grid with the buttons beside it and the
  // conversion row below.
  Width = 9900;
  Height = 5900;
}

void Frm计量换算::Form_Load() {}

}  // namespace zuvo
