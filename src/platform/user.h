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

class DataGrid;

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
  // A modifier key (kKeyShift, kKeyControl, kKeyAlt) let go after the key it
  // held: the focused box's KeyUp runs for it, with the shift state left.
  bool releaseKey(Control& box, int keyCode, int shift = 0);
  // Paste and cut; when they come from a keystroke (Ctrl+V, Shift+Insert,
  // Ctrl+X, Shift+Delete) its KeyDown and KeyUp run around them.
  bool paste(Control& box, TextView text, int keyCode = 0, int shift = 0);
  bool cut(Control& box, int keyCode = 0, int shift = 0);

  // Text an input method composed in the box and commits there: typed as
  // by `type`, but the focus stays where it is, for the commit may come as
  // the focus moves on to another control.
  bool typeComposed(Control& box, TextView text);

  // Focus change, caret placed (text boxes), MouseDown, MouseUp, Click.
  bool click(Control& c, int64_t caret = -1);
  // A button pressed from the keyboard: Space or Return on the focused
  // button (KeyDown, KeyPress and KeyUp of the key run first), or its access
  // key (`keyCode` 0). The focus moves to it, then Click; no mouse event runs.
  bool pressButton(Control& button, int keyCode = 0);
  // One click, then DblClick; a text box selects the word at the caret.
  bool doubleClick(Control& c, int64_t caret = -1);
  // A drag selection in a text box: MouseDown, MouseMove, MouseUp, Click.
  bool select(Control& box, int64_t start, int64_t length);
  // The focus moves to the control, as with the Tab key.
  bool focus(Control& c);
  // The window's close box: unloads it.
  bool close(Window& w);

  // --- gestures as a front end sees them, one input event at a time ---

  // A mouse event: button 1 left, 2 right, 4 middle (0 for a move with no
  // button down), shift state as for keys, position in twips from the
  // control's top-left corner.
  struct Mouse {
    int button = 1;
    int shift = 0;
    float x = 0, y = 0;
  };
  // `at` below is the caret position in a text box (a character boundary)
  // or the row in a grid; -1 leaves it as it is.
  //
  // A button goes down over the control: a text box puts its caret at `at`
  // (with Shift it extends the selection there) and takes the focus; a grid
  // takes the focus and moves its current row to `at`; then MouseDown.
  bool mouseDown(Control& c, const Mouse& m, int64_t at = -1);
  // The mouse moves over the control or, with a button down, drags from it:
  // with the left button down a text box's selection runs from where the
  // button went down to `at`; then MouseMove. A move over a control without
  // a MouseMove handler that selects nothing is no event at all.
  bool mouseMove(Control& c, const Mouse& m, int64_t at = -1);
  // The button comes up: the selection as for a move, MouseUp, then Click
  // when the left button comes up over the control. The control the button
  // went down on gets its release even when the press covered it. The release that ends a
  // double click keeps the word selected and clicks nothing.
  bool mouseUp(Control& c, const Mouse& m, int64_t at = -1);
  // The second press of a double click: a text box selects the word at `at`,
  // then MouseDown and DblClick.
  bool mouseDoubleClick(Control& c, const Mouse& m, int64_t at = -1);
  // A key that moves the caret or the current row to where the front end's
  // layout puts it (arrows, Home, End, Page Up and Down over wrapped lines
  // and visible rows): KeyDown, the caret moves to `to` (with Shift the
  // selection extends from its anchor to `to`) or a grid's row becomes
  // `to`, KeyUp.
  bool navigate(Control& c, int keyCode, int shift, int64_t to);
  // Characters typed into a control that holds no text of its own (a grid,
  // a button): the focus moves to it, KeyDown, KeyPress and KeyUp run for
  // each character; nothing is written.
  bool typeKeys(Control& c, TextView text);
  // A cell of a data grid edited in place and the edit ended (Return, or
  // the focus leaving the cell): the focus moves to the grid, the row moves
  // to `row` (running RowColChange when it changes), and then, if the grid
  // still allows updates, the cell's new text is written into the current
  // record. Returns false when the grid refused the edit.
  bool editCell(DataGrid& grid, int64_t row, TextView text);
  // Tab (Shift+Tab backward): the focus moves to the next control in tab
  // order that has a tab stop and can take the focus, round the end. The
  // screen may tell, through `seen`, the controls it could show the focus
  // on: Tab passes over the others (a box whose caret lies under other
  // controls), as the user could not see where the focus went.
  bool tab(Window& w, bool backward = false, const std::function<bool(const Control&)>& seen = {});

  Application& app() { return app_; }

 private:
  bool reachable(Control& c, float* x = nullptr, float* y = nullptr) const;
  void takeFocus(Control& c);
  void keyStroke(TextBox& box, char16_t ch);
  bool typeInto(Control& box, TextView text, bool focus);
  void selectTo(TextBox& box, int64_t to);
  void moveTo(Control& c, int64_t at, bool extend);
  static bool inside(const Control& c, const Mouse& m);
  // Runs the box's SelChange when the gesture moved its caret or selection
  // away from where it stood.
  static void selectionMoved(Control& c, int64_t start, int64_t length);

  Application& app_;
  // Where a selection made by dragging or Shift began: the box and the end
  // of its selection that stays put.
  const Control* anchorBox_ = nullptr;
  int64_t anchor_ = 0;
  // The next release ends a double click and clicks nothing.
  bool releaseEndsDoubleClick_ = false;
  // Where the left button went down in a text box, and whether it dragged
  // since: a release where it went down leaves the selection alone.
  const Control* pressBox_ = nullptr;
  int64_t pressAt_ = -1;
  bool dragged_ = false;
  // The control the button went down on: its release reaches it even when a
  // handler of the press has covered it meanwhile.
  const Control* pressed_ = nullptr;
};

}  // namespace zuvo
