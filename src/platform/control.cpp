#include "platform/control.h"

#include <algorithm>

#include "platform/application.h"
#include "platform/window.h"

namespace zuvo {

Control::Control(Window& owner, std::string name, ControlKind kind)
    : owner_(owner), name_(std::move(name)), kind_(kind) {
  owner_.add(*this);
}

Control::~Control() { owner_.remove(*this); }

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
  text_.assign(t);
  textReplaced();
  return true;
}

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
  FileName = app.dialogs().openFile(DialogTitle, Filter, FileName).value_or(Text());
}

void CommonDialog::ShowSave() {
  auto& app = window().app();
  app.commitAll();
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
