#include "platform/control.h"

#include <algorithm>

#include "platform/application.h"
#include "platform/window.h"

namespace zuvo {

PropBase::PropBase(Control& owner) : owner_(owner), next_(owner.props_) { owner.props_ = this; }

Control::Control(Window& owner, std::string name, ControlKind kind)
    : owner_(owner), journal_(owner.app().journal()), name_(std::move(name)), kind_(kind) {
  owner_.add(*this);
}

Control::~Control() {
  journal().forget(*this);
  owner_.remove(*this);
}

void Control::keepProps() {
  for (PropBase* p = props_; p; p = p->next_) p->keep();
}

void Control::putBack() {
  for (PropBase* p = props_; p; p = p->next_) p->putBack();
}

void Control::ZOrder(int position) {
  if (position == 0)
    owner_.bringToFront(*this);
  else
    owner_.sendToBack(*this);
}

bool Control::canTakeFocus() const { return true; }

bool Control::reachable() const { return Visible && Enabled && owner_.Enabled; }

void Control::SetFocus() {
  if (!reachable() || !canTakeFocus()) return;
  owner_.moveFocus(this);
}

bool Control::hasFocus() const { return owner_.focused() == this; }

// --- TextControl -------------------------------------------------------------

bool TextControl::assign(TextView t) {
  if (sameText(text_, t)) return false;
  // A text read from the box itself is copied before the box lets it go.
  const std::less_equal<const char16_t*> notAfter;
  const bool fromItself = notAfter(text_.data(), t.data()) && notAfter(t.data(), text_.data() + text_.size());
  if (fromItself)
    textChanging();
  else
    textReplacing();
  text_.assign(t);
  textReplaced();
  return true;
}

// The buffer stays: the next event's first write fills it, where a new
// one would cost fresh memory, page by page, for a long text.
void TextControl::KeptText::letGo() { text.clear(); }

void TextControl::changed() {
  if (binding_) binding_->boxWritten(text_);
  run(Change);
}

void TextControl::setText(TextView t) {
  if (assign(t)) changed();
}

void TextControl::setDataField(const std::string& field) {
  dataField_ = field;
  if (binding_) binding_->rebind(field);
}

void TextControl::initText(TextView t) {
  textChanging();
  text_.assign(t);
  textReplaced();
}

Label::Label(Window& owner, std::string name) : TextControl(owner, std::move(name), ControlKind::Label) {
  BackColor = kButtonFace;
  TabStop = false;
}

// --- TextBox -----------------------------------------------------------------

TextBox::TextBox(Window& owner, std::string name, ControlKind kind)
    : TextControl(owner, std::move(name), kind) {}

void TextBox::textReplaced() {
  selStart_ = 0;
  selLength_ = 0;
}

void TextBox::setSelStart(int64_t pos) {
  selStart_ = std::clamp<int64_t>(pos, 0, Len(text_));
  selLength_ = 0;
}

void TextBox::setSelLength(int64_t len) {
  selLength_ = std::clamp<int64_t>(len, 0, Len(text_) - selStart_);
}

void TextBox::spliced(int64_t, int64_t, int64_t) {}

void TextBox::setSelText(TextView t) {
  const int64_t pos = selStart_;
  const int64_t removed = selLength_;
  const bool differs = TextView(text_).substr(pos, removed) != t;
  if (differs) textChanging();
  text_.replace(pos, removed, t);
  spliced(pos, removed, Len(t));
  selStart_ = pos + Len(t);
  selLength_ = 0;
  if (differs) changed();
}

// --- Buttons and the rest ------------------------------------------------------

CommandButton::CommandButton(Window& owner, std::string name)
    : Control(owner, std::move(name), ControlKind::CommandButton) {
  BackColor = kButtonFace;
}

void CommandButton::setValue(bool v) {
  if (v) run(Click);
}

Shape::Shape(Window& owner, std::string name) : Control(owner, std::move(name), ControlKind::Shape) {}

LineControl::LineControl(Window& owner, std::string name)
    : Control(owner, std::move(name), ControlKind::Line) {}

ProgressBar::ProgressBar(Window& owner, std::string name)
    : Control(owner, std::move(name), ControlKind::ProgressBar) {}

StatusBar::StatusBar(Window& owner, std::string name)
    : Control(owner, std::move(name), ControlKind::StatusBar) {}

PictureBox::PictureBox(Window& owner, std::string name)
    : Control(owner, std::move(name), ControlKind::PictureBox) {}

CommonDialog::CommonDialog(Window& owner, std::string name)
    : Control(owner, std::move(name), ControlKind::CommonDialog) {
  Visible = false;
}

void CommonDialog::ShowOpen() {
  auto& app = window().app();
  app.commitAll();
  app.endBusy();
  FileName = app.dialogs().openFile(DialogTitle, Filter, FileName).value_or(Text());
}

void CommonDialog::ShowSave() {
  auto& app = window().app();
  app.commitAll();
  app.endBusy();
  FileName = app.dialogs().saveFile(DialogTitle, Filter, FileName).value_or(Text());
}

Text CommonDialog::chooseOpen(TextView title, TextView filter) {
  DialogTitle = title;
  Filter = filter;
  CancelError = false;
  FileName.clear();
  ShowOpen();
  return FileName;
}

Text CommonDialog::chooseSave(TextView title, TextView filter) {
  DialogTitle = title;
  Filter = filter;
  CancelError = false;
  ShowSave();
  return FileName;
}

}  // namespace zuvo
