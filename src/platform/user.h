#pragma once
// The user's gestures, one entry point each, used by tests and by the
// desktop front end alike. Each gesture is one user event: the handlers it
// sets off run before it returns, and the stores commit when it ends.
// A gesture on a hidden, disabled or covered control does nothing and
// returns false.

#include "platform/application.h"
#include "platform/control.h"
#include "platform/window.h"

namespace zuvo {

class User {
 public:
  explicit User(Application& app) : app_(app) {}

  // Types each character into the box: KeyDown, KeyPress (whose handler may
  // move the caret or change the character), insertion at the caret
  // replacing the selection, Change, KeyUp. The box gets the focus first.
  bool type(Control& box, TextView text);
  // A key that inserts nothing: Backspace, Delete, Return, the arrows,
  // Home, End, or a letter with Ctrl (shift state 1/2/4 added up).
  bool pressKey(Control& box, int keyCode, int shift = 0);
  // Ctrl+letter, as a user types an accented letter.
  bool ctrlKey(Control& box, char letter) { return pressKey(box, letter & ~0x20, kCtrlMask); }
  bool paste(Control& box, TextView text);
  bool cut(Control& box);

  // Focus change, caret placed (text boxes), MouseDown, MouseUp, Click.
  bool click(Control& c, int64_t caret = -1);
  // One click, then DblClick; a text box selects the word at the caret.
  bool doubleClick(Control& c, int64_t caret = -1);
  // A drag selection in a text box: MouseDown, MouseMove, MouseUp, Click.
  bool select(Control& box, int64_t start, int64_t length);
  // The focus moves to the control, as with the Tab key.
  bool focus(Control& c);
  // The window's close box: unloads it.
  bool close(Window& w);

  Application& app() { return app_; }

 private:
  bool reachable(Control& c, float* x = nullptr, float* y = nullptr) const;
  void takeFocus(Control& c);
  void keyStroke(TextBox& box, char16_t ch);

  Application& app_;
};

}  // namespace zuvo
