#pragma once
// The usage-help window.

#include "platform/window.h"

namespace zuvo {

class Frm说明1 : public Window {
 public:
  explicit Frm说明1(Application& app) : Window(app, "Frm说明1") {}
};

}  // namespace zuvo
