#pragma once
// A window's design state as data: one row per control, applied once when
// the window is built. Texts set here run no Change handler.

#include <optional>
#include <span>
#include <string_view>

#include "platform/window.h"

namespace zuvo {

struct DesignRow {
  std::string_view name;
  float left = 0, top = 0, width = 0, height = 0;
  std::u16string_view text = u"";  // caption of a button or label, initial text of a box
  bool visible = true;
  bool enabled = true;
  std::optional<Colour> back = std::nullopt;
  std::optional<Colour> fore = std::nullopt;
  float fontSize = 0;  // 0 keeps the window's default
  bool locked = false;     // set, or left as the control's default
  bool multiLine = false;  // set, or left as the control's default
  int tabIndex = -1;  // -1 keeps the declaration order
};

// Applies the rows to the window's controls, found by name. A row naming no
// control is a programming error (asserted).
void applyDesign(Window& w, std::span<const DesignRow> rows);

}  // namespace zuvo
