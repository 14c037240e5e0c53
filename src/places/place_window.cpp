#include "places/place_window.h"

namespace zuvo {

frm世界地名::frm世界地名(Application& app) : Window(app, "frm世界地名") {
  Caption = u" 世界地名";
  Width = 9915;
  Height = 5790;
}

}  // namespace zuvo
