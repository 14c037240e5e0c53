#pragma once
// The unit-conversion window.

#include "platform/window.h"

namespace zuvo {

class Frm计量换算 : public Window {
 public:
  explicit Frm计量换算(Application& app);

  // InitConversionWindow
  void Form_Load() override;
};

}  // namespace zuvo
