#include "platform/design.h"

#include <cassert>

#include "platform/control.h"

namespace zuvo {

void applyDesign(Window& w, std::span<const DesignRow> rows) {
  for (const DesignRow& r : rows) {
    Control* c = w.find(r.name);
    assert(c && "design row names no control of the window");
    if (!c) continue;
    c->Left = r.left;
    c->Top = r.top;
    c->Width = r.width;
    c->Height = r.height;
    c->Visible = r.visible;
    c->Enabled = r.enabled;
    if (r.back) c->BackColor = *r.back;
    if (r.fore) c->ForeColor = *r.fore;
    if (r.fontSize > 0) c->FontSize = r.fontSize;
    if (r.tabIndex >= 0) c->TabIndex = r.tabIndex;
    switch (c->kind()) {
      case ControlKind::CommandButton:
        static_cast<CommandButton*>(c)->Caption = Text(r.text);
        break;
      case ControlKind::TextBox:
      case ControlKind::RichTextBox: {
        auto* box = static_cast<TextBox*>(c);
        if (r.locked) box->Locked = true;
        if (r.multiLine && c->kind() == ControlKind::TextBox) box->MultiLine = true;
        box->initText(r.text);
        break;
      }
      case ControlKind::Label:
        static_cast<Label*>(c)->initText(r.text);
        break;
      default:
        break;
    }
  }
}

}  // namespace zuvo
