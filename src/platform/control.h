#pragma once
// The headless model of a window's controls. Properties are plain values the
// handlers set as the original did (geometry in twips, colours as 32-bit
// values); texts go through setters because writing them runs Change.

#include <concepts>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/journal.h"
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
class Control;

// A property of a control, read and written as a plain value. Its control
// keeps every property's value before the first change in a user event, so
// that an event whose save fails can put them back.
class PropBase {
 public:
  PropBase(const PropBase&) = delete;
  PropBase& operator=(const PropBase&) = delete;

 protected:
  explicit PropBase(Control& owner);
  ~PropBase() = default;
  // Tells the control before the value first changes.
  void changing();

 private:
  friend class Control;
  virtual void keep() = 0;
  virtual void putBack() = 0;
  Control& owner_;
  PropBase* next_;
};

template <class T>
class Prop final : public PropBase {
 public:
  explicit Prop(Control& owner, T v = T{}) : PropBase(owner), v_(std::move(v)) {}

  operator const T&() const { return v_; }
  const T& get() const { return v_; }
  const T* operator->() const { return &v_; }

  template <class U>
    requires std::is_assignable_v<T&, U&&>
  Prop& operator=(U&& v) {
    if constexpr (std::is_arithmetic_v<T>) {
      const T nv = static_cast<T>(v);
      if (v_ == nv) return *this;
      changing();
      v_ = nv;
    } else if (!(v_ == v)) {
      changing();
      v_ = std::forward<U>(v);
    }
    return *this;
  }
  Prop& operator=(const Prop& o) { return *this = o.v_; }
  template <class U>
  Prop& operator+=(const U& d) {
    return *this = static_cast<T>(v_ + d);
  }
  template <class U>
  Prop& operator-=(const U& d) {
    return *this = static_cast<T>(v_ - d);
  }

  // A text property compares with any text.
  friend bool operator==(const Prop& a, TextView b)
    requires std::same_as<T, Text>
  {
    return a.v_ == b;
  }
  bool empty() const
    requires std::same_as<T, Text>
  {
    return v_.empty();
  }

 private:
  void keep() override { kept_ = v_; }
  void putBack() override { v_ = kept_; }
  T v_;
  T kept_{};
};

// A property prints as its value (a text in UTF-8), as tests report it.
template <class T>
std::ostream& operator<<(std::ostream& os, const Prop<T>& p) {
  if constexpr (std::same_as<T, Text>)
    return os << toUtf8(p.get());
  else
    return os << p.get();
}

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

class Control : public Journaled {
  // Every property, linked as it is made: declared first, so that it is
  // there before any of them.
  PropBase* props_ = nullptr;

 public:
  Control(Window& owner, std::string name, ControlKind kind);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& name() const { return name_; }
  ControlKind kind() const { return kind_; }
  Window& window() const { return owner_; }

  // Geometry in twips, single precision as the original kept it.
  Prop<float> Left{*this}, Top{*this}, Width{*this}, Height{*this};
  Prop<bool> Visible{*this, true};
  Prop<bool> Enabled{*this, true};
  Prop<Colour> BackColor{*this, kWindowBackground};
  Prop<Colour> ForeColor{*this, kWindowText};
  Text FontName = u"宋体";
  Prop<float> FontSize{*this, 12};
  Prop<bool> FontBold{*this, false};
  Prop<int> TabIndex{*this, 0};
  Prop<bool> TabStop{*this, true};

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

  // The journal of the current user event, which keeps what it changes.
  EventJournal& journal() const { return journal_; }

 protected:
  void putBack() override;

 private:
  friend class PropBase;
  // A property is about to change: the first time in an event, every
  // property's value is kept.
  void propChanging() {
    if (journal_.first(*this)) keepProps();
  }
  void keepProps();

  Window& owner_;
  EventJournal& journal_;
  std::string name_;
  ControlKind kind_;
};

inline void PropBase::changing() { owner_.propChanging(); }

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
  // Before the text changes in place: the first change in an event keeps a
  // copy of it.
  void textChanging() {
    if (journal().first(keptText_)) keptText_.text.assign(text_);
  }
  // Before the whole text is replaced by one that is not read from it: the
  // first change in an event keeps the text itself, at no cost, and leaves
  // in its place a buffer to write into.
  void textReplacing() {
    if (journal().first(keptText_)) keptText_.text.swap(text_);
  }

  Text text_;

 private:
  // The text before the event first changed it.
  struct KeptText : Journaled {
    explicit KeptText(TextControl& box) : box(box) {}
    ~KeptText() override { box.journal().forget(*this); }
    void putBack() override { box.text_.swap(text); }
    void letGo() override;
    TextControl& box;
    Text text;
  };
  KeptText keptText_{*this};
  FieldBinding* binding_ = nullptr;
  std::string dataField_;
};

class Label : public TextControl {
 public:
  Label(Window& owner, std::string name);
  const Text& Caption() const { return text(); }
  void setCaption(TextView t) { setText(t); }
  bool canTakeFocus() const override { return false; }
  Prop<int> Alignment{*this, 0};
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

  Prop<bool> Locked{*this, false};
  Prop<bool> MultiLine{*this, false};
  // Off: the selection stays shown while the focus is elsewhere.
  Prop<bool> HideSelection{*this, true};

  // Runs when the user moves the caret or changes the selection (a click, a
  // drag, a key); the program's own writes and selections run nothing.
  std::function<void()> SelChange;

 protected:
  void textReplaced() override;
  // The selection was replaced by inserted text of length n at position pos.
  virtual void spliced(int64_t pos, int64_t removed, int64_t inserted);

  Prop<int64_t> selStart_{*this, 0};
  Prop<int64_t> selLength_{*this, 0};
};

class CommandButton : public Control {
 public:
  CommandButton(Window& owner, std::string name);
  Prop<Text> Caption{*this};
  // Setting Value to true runs Click at once, as pressing the button does.
  void setValue(bool v);
};

class Shape : public Control {
 public:
  Shape(Window& owner, std::string name);
  Prop<Colour> BorderColor{*this, 0};
  Prop<int> BorderWidth{*this, 1};
  bool canTakeFocus() const override { return false; }
};

class LineControl : public Control {
 public:
  LineControl(Window& owner, std::string name);
  Prop<float> X1{*this}, Y1{*this}, X2{*this}, Y2{*this};
  Prop<Colour> BorderColor{*this, 0};
  Prop<int> BorderWidth{*this, 1};
  bool canTakeFocus() const override { return false; }
};

class ProgressBar : public Control {
 public:
  ProgressBar(Window& owner, std::string name);
  Prop<float> Min{*this, 0}, Max{*this, 100}, Value{*this, 0};
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
  Prop<Text> Picture{*this};
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
