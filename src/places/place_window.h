#pragma once
// The world place-name window.

#include "platform/window.h"

namespace zuvo {

class frm世界地名 : public Window {
 public:
  explicit frm世界地名(Application& app);
};

}  // namespace zuvo
