#pragma once
// The headless model of a window's controls. Properties are plain values the
// handlers set as the original did (geometry in twips, colours as 32-bit
// values); texts go through setters because writing them runs Change.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/text.h"

namespace zuvo {

using Colour = uint32_t;
// System colours keep their symbolic values, as the original stored them.
inline constexpr Colour kButtonFace = 0x8000000F;  // flag "off"
inline constexpr Colour kWindowBackground = 0x80000005;
inline constexpr Colour kWindowText = 0x80000008;
inline constexpr Colour kHighlightText = 0x8000000E;

// Key codes and shift states of key events.
inline constexpr int kShiftMask = 1;
inline constexpr int kCtrlMask = 2;
inline constexpr int kAltMask = 4;
inline constexpr int kKeyBack = 8;
inline constexpr int kKeyTab = 9;
inline constexpr int kKeyReturn = 13;
inline constexpr int kKeyShift = 16;
inline constexpr int kKeyControl = 17;
inline constexpr int kKeyAlt = 18;
inline constexpr int kKeyEnd = 35;
inline constexpr int kKeyHome = 36;
inline constexpr int kKeyLeft = 37;
inline constexpr int kKeyUp = 38;
inline constexpr int kKeyRight = 39;
inline constexpr int kKeyDown = 40;
inline constexpr int kKeyInsert = 45;
inline constexpr int kKeyDelete = 46;
inline constexpr int kKeyIme = 229;  // a character composed by the input method

class Window;

enum class ControlKind {
  TextBox,
  RichTextBox,
  Label,
  CommandButton,
  Shape,
  Line,
  FlexGrid,
  DataGrid,
  ProgressBar,
  StatusBar,
  CommonDialog,
  DataSource,
  PictureBox,
};

class Control {
 public:
  Control(Window& owner, std::string name, ControlKind kind);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& name() const { return name_; }
  ControlKind kind() const { return kind_; }
  Window& window() const { return owner_; }

  // Geometry in twips, single precision as the original kept it.
  float Left = 0, Top = 0, Width = 0, Height = 0;
  bool Visible = true;
  bool Enabled = true;
  Colour BackColor = kWindowBackground;
  Colour ForeColor = kWindowText;
  Text FontName = u"宋体";
  float FontSize = 12;
  bool FontBold = false;
  int TabIndex = 0;
  bool TabStop = true;

  // Places the control in one step.
  void Move(float left, float top, float width, float height) {
    Left = left;
    Top = top;
    Width = width;
    Height = height;
  }
  // Brings the control to the front of its window's stacking order, or with
  // position 1 sends it to the back.
  void ZOrder(int position = 0);
  // Gives the control the focus; does nothing on a hidden or disabled control
  // or one that cannot take the focus.
  void SetFocus();
  bool hasFocus() const;
  virtual bool canTakeFocus() const;
  // Visible and enabled, and its window too: the control can get user events.
  bool reachable() const;

  // Event handlers, set by the window that owns the control.
  std::function<void()> Click, DblClick, GotFocus, LostFocus;
  std::function<void(int& keyAscii)> KeyPress;
  std::function<void(int& keyCode, int shift)> KeyDown;
  std::function<void(int& keyCode, int shift)> KeyUp;
  std::function<void(int button, int shift, float x, float y)> MouseDown, MouseUp, MouseMove;

  // The window has run Form_Load (data sources open their stores here).
  virtual void windowLoaded() {}

  static void run(const std::function<void()>& handler) {
    if (handler) handler();
  }

 private:
  Window& owner_;
  std::string name_;
  ControlKind kind_;
};

// Connects a box to a field of a table store; the store implements it.
class FieldBinding {
 public:
  virtual ~FieldBinding() = default;
  // The box's text changed by a write that did not come from the store.
  virtual void boxWritten(const Text& value) = 0;
  // The box shows another field of the same table from now on ("" for
  // none), and takes that field's value of the current record at once.
  virtual void rebind(const std::string& field) = 0;
};

// A control whose text (or caption) runs Change when it really changes and
// can be bound to a store field.
class TextControl : public Control {
 public:
  using Control::Control;

  const Text& text() const { return text_; }
  // Writes the text; Change runs only when the text differs.
  void setText(TextView t);

  std::function<void()> Change;

  // Binding to a store field (nullptr when unbound).
  void bind(FieldBinding* binding) { binding_ = binding; }
  FieldBinding* binding() const { return binding_; }
  // The field the box shows, set at run time as well: the box then shows
  // that field of its table's current record (Change runs when its text
  // changes). A box without a table only keeps the name.
  const std::string& DataField() const { return dataField_; }
  void setDataField(const std::string& field);
  // The store puts a record's value into the box, with no write back to the
  // store, in two steps so that it can fill all its boxes before their
  // Change handlers run: assignFromStore says whether the text changed.
  bool assignFromStore(TextView t) { return assign(t); }
  void runChange() { run(Change); }
  // Sets the design-time text: runs nothing.
  void initText(TextView t);

 protected:
  // Subclasses keep their caret and formats in step with a whole-text write.
  virtual void textReplaced() {}
  // Stores the new text without running anything; returns false when equal.
  bool assign(TextView t);
  // A write that did not come from the store: the field follows, Change runs.
  void changed();

  Text text_;

 private:
  FieldBinding* binding_ = nullptr;
  std::string dataField_;
};

class Label : public TextControl {
 public:
  Label(Window& owner, std::string name);
  const Text& Caption() const { return text(); }
  void setCaption(TextView t) { setText(t); }
  bool canTakeFocus() const override { return false; }
  int Alignment = 0;
};

// Text box: caret and selection, locked and multi-line flags.
class TextBox : public TextControl {
 public:
  TextBox(Window& owner, std::string name, ControlKind kind = ControlKind::TextBox);

  int64_t SelStart() const { return selStart_; }
  int64_t SelLength() const { return selLength_; }
  Text SelText() const { return Text(selView()); }
  // The selected text where it stands, valid until the text next changes.
  TextView selView() const { return TextView(text_).substr(static_cast<size_t>(selStart_), static_cast<size_t>(selLength_)); }
  void setSelStart(int64_t pos);
  void setSelLength(int64_t len);
  // Replaces the selection, leaving the caret after the written text.
  void setSelText(TextView t);

  bool Locked = false;
  bool MultiLine = false;
  // Off: the selection stays shown while the focus is elsewhere.
  bool HideSelection = true;

  // Runs when the user moves the caret or changes the selection (a click, a
  // drag, a key); the program's own writes and selections run nothing.
  std::function<void()> SelChange;

 protected:
  void textReplaced() override;
  // The selection was replaced by inserted text of length n at position pos.
  virtual void spliced(int64_t pos, int64_t removed, int64_t inserted);

  int64_t selStart_ = 0;
  int64_t selLength_ = 0;
};

class CommandButton : public Control {
 public:
  CommandButton(Window& owner, std::string name);
  Text Caption;
  // Setting Value to true runs Click at once, as pressing the button does.
  void setValue(bool v);
};

class Shape : public Control {
 public:
  Shape(Window& owner, std::string name);
  Colour BorderColor = 0;
  int BorderWidth = 1;
  bool canTakeFocus() const override { return false; }
};

class LineControl : public Control {
 public:
  LineControl(Window& owner, std::string name);
  float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  Colour BorderColor = 0;
  int BorderWidth = 1;
  bool canTakeFocus() const override { return false; }
};

class ProgressBar : public Control {
 public:
  ProgressBar(Window& owner, std::string name);
  float Min = 0, Max = 100, Value = 0;
  bool canTakeFocus() const override { return false; }
};

class StatusBar : public Control {
 public:
  StatusBar(Window& owner, std::string name);
  bool canTakeFocus() const override { return false; }
};

// A picture box shows a bitmap: the name of a picture file shipped with the
// program (under data/), drawn at its own size from the box's top-left corner.
class PictureBox : public Control {
 public:
  PictureBox(Window& owner, std::string name);
  Text Picture;
  bool canTakeFocus() const override { return false; }
};

// The open and save-as dialogs; the answer comes from the application's
// dialog service. A cancel leaves FileName empty.
class CommonDialog : public Control {
 public:
  CommonDialog(Window& owner, std::string name);
  Text DialogTitle;
  Text Filter;
  Text FileName;
  bool CancelError = false;
  void ShowOpen();
  void ShowSave();
  // Titles the dialog, shows it and returns the chosen file, "" when
  // cancelled. An open starts from no choice, so a cancel never brings an
  // earlier file back; a save offers the last name again.
  Text chooseOpen(TextView title, TextView filter);
  Text chooseSave(TextView title, TextView filter);
  bool canTakeFocus() const override { return false; }
};

}  // namespace zuvo
