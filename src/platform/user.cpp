#include "platform/user.h"

#include <algorithm>
#include <cstdlib>

#include "platform/grid.h"

namespace zuvo {

namespace {

TextBox* asTextBox(Control& c) {
  if (c.kind() == ControlKind::TextBox || c.kind() == ControlKind::RichTextBox)
    return static_cast<TextBox*>(&c);
  return nullptr;
}

// Key code and shift state of a typed character.
std::pair<int, int> keyOf(char16_t ch) {
  if (ch >= u'a' && ch <= u'z') return {ch - u'a' + 'A', 0};
  if (ch >= u'A' && ch <= u'Z') return {ch, kShiftMask};
  if ((ch >= u'0' && ch <= u'9') || ch == u' ') return {ch, 0};
  switch (ch) {
    case u',': return {188, 0};
    case u'.': return {190, 0};
    case u'-': return {189, 0};
    case u'/': return {191, 0};
    case u'%': return {'5', kShiftMask};
    case u'?': return {191, kShiftMask};
    case u'\r': return {kKeyReturn, 0};
    case u'\b': return {kKeyBack, 0};
    default: return {kKeyIme, 0};
  }
}

bool blank(char16_t c) { return c == u' ' || c == u'\t' || c == CR || c == LF; }

// The word around a position: the run of non-blank characters it touches.
std::pair<int64_t, int64_t> wordAt(const Text& t, int64_t pos) {
  int64_t s = std::clamp<int64_t>(pos, 0, Len(t)), e = s;
  while (s > 0 && !blank(t[s - 1])) --s;
  while (e < Len(t) && !blank(t[e])) ++e;
  return {s, e};
}

}  // namespace

void User::selectionMoved(Control& c, int64_t start, int64_t length) {
  TextBox* box = asTextBox(c);
  if (!box || !box->SelChange) return;
  if (box->SelStart() != start || box->SelLength() != length) box->SelChange();
}

bool User::reachable(Control& c, float* x, float* y) const {
  Window& w = c.window();
  if (!w.Visible() || !w.Enabled || !c.reachable()) return false;
  // A covered control gets no user events: look for a point of it that no
  // control above it hides.
  constexpr int kSteps = 5;
  for (int i = 0; i < kSteps; ++i) {
    for (int j = 0; j < kSteps; ++j) {
      const float px = c.Left + c.Width * (i + 0.5f) / kSteps;
      const float py = c.Top + c.Height * (j + 0.5f) / kSteps;
      if (w.controlAt(px, py) == &c) {
        if (x) *x = px - c.Left;
        if (y) *y = py - c.Top;
        return true;
      }
    }
  }
  return false;
}

void User::takeFocus(Control& c) {
  if (c.canTakeFocus()) c.SetFocus();
}

bool User::focus(Control& c) {
  if (!reachable(c)) return false;
  return app_.event([&] { takeFocus(c); });
}

void User::keyStroke(TextBox& box, char16_t ch) {
  auto [code, shift] = keyOf(ch);
  if (box.KeyDown) box.KeyDown(code, shift);
  int ascii = ch;
  if (box.KeyPress) box.KeyPress(ascii);
  if (ascii != 0 && !box.Locked) {
    if (ascii == kKeyReturn) {
      if (box.MultiLine) box.setSelText(CRLF);
    } else if (ascii == kKeyBack) {
      if (box.SelLength() == 0 && box.SelStart() > 0) {
        box.setSelStart(box.SelStart() - 1);
        box.setSelLength(1);
      }
      box.setSelText(u"");
    } else if (ascii >= 32) {
      const char16_t c = static_cast<char16_t>(ascii);
      box.setSelText(TextView(&c, 1));
    }
  }
  if (box.KeyUp) box.KeyUp(code, shift);
}

bool User::type(Control& c, TextView text) { return typeInto(c, text, true); }

bool User::typeComposed(Control& c, TextView text) { return typeInto(c, text, false); }

bool User::typeInto(Control& c, TextView text, bool focus) {
  TextBox* box = asTextBox(c);
  if (!box || !reachable(c)) return false;
  return app_.event([&] {
    if (focus) takeFocus(c);
    for (char16_t ch : text) {
      if (!box->reachable() || app_.ended()) break;
      keyStroke(*box, ch);
    }
  });
}

bool User::pressKey(Control& c, int keyCode, int shift) {
  if (!reachable(c)) return false;
  return app_.event([&] {
    takeFocus(c);
    TextBox* box = asTextBox(c);
    // Backspace and Return come with a KeyPress of their own.
    if (box && shift == 0 && (keyCode == kKeyBack || keyCode == kKeyReturn)) {
      keyStroke(*box, keyCode == kKeyBack ? char16_t(kKeyBack) : CR);
      return;
    }
    int code = keyCode;
    if (c.KeyDown) c.KeyDown(code, shift);
    int ascii = 0;
    if ((shift & kCtrlMask) && keyCode >= 'A' && keyCode <= 'Z') ascii = keyCode - 'A' + 1;
    if (ascii && c.KeyPress) c.KeyPress(ascii);
    // Ctrl+I is the TAB character, which a multi-line text box takes in.
    if (ascii == kKeyTab && box && box->kind() == ControlKind::TextBox && box->MultiLine && !box->Locked)
      box->setSelText(u"\t");
    if (box) {
      const int64_t n = Len(box->text());
      const int64_t pos = box->SelStart();
      switch (keyCode) {
        case kKeyDelete:
          if (!box->Locked) {
            if (box->SelLength() == 0 && pos < n) box->setSelLength(1);
            box->setSelText(u"");
          }
          break;
        case kKeyLeft: box->setSelStart(box->SelLength() ? pos : pos - 1); break;
        case kKeyRight: box->setSelStart(box->SelLength() ? pos + box->SelLength() : pos + 1); break;
        case kKeyHome: box->setSelStart(0); break;
        case kKeyEnd: box->setSelStart(n); break;
        default: break;
      }
    }
    code = keyCode;
    if (c.KeyUp) c.KeyUp(code, shift);
  });
}

bool User::releaseKey(Control& c, int keyCode, int shift) {
  if (!reachable(c)) return false;
  return app_.event([&] {
    int code = keyCode;
    if (c.KeyUp) c.KeyUp(code, shift);
  });
}

bool User::paste(Control& c, TextView text, int keyCode, int shift) {
  TextBox* box = asTextBox(c);
  if (!box || !reachable(c)) return false;
  return app_.event([&] {
    takeFocus(c);
    int code = keyCode;
    if (keyCode && c.KeyDown) c.KeyDown(code, shift);
    if (!box->Locked) box->setSelText(text);
    code = keyCode;
    if (keyCode && c.KeyUp) c.KeyUp(code, shift);
  });
}

// A cut is a paste of nothing over the selection.
bool User::cut(Control& c, int keyCode, int shift) { return paste(c, u"", keyCode, shift); }

bool User::click(Control& c, int64_t caret) {
  float x = 0, y = 0;
  if (!reachable(c, &x, &y)) return false;
  return app_.event([&] {
    TextBox* box = asTextBox(c);
    const int64_t s0 = box ? box->SelStart() : 0, l0 = box ? box->SelLength() : 0;
    if (box && caret >= 0) box->setSelStart(caret);
    takeFocus(c);
    selectionMoved(c, s0, l0);
    if (c.MouseDown) c.MouseDown(1, 0, x, y);
    if (c.MouseUp) c.MouseUp(1, 0, x, y);
    Control::run(c.Click);
  });
}

bool User::pressButton(Control& c, int keyCode) {
  if (!reachable(c)) return false;
  return app_.event([&] {
    takeFocus(c);
    if (keyCode) {
      int code = keyCode;
      if (c.KeyDown) c.KeyDown(code, 0);
      int ascii = keyCode;
      if (c.KeyPress) c.KeyPress(ascii);
      code = keyCode;
      if (c.KeyUp) c.KeyUp(code, 0);
    }
    // A key handler that hid or disabled the button took the press away.
    if (c.reachable()) Control::run(c.Click);
  });
}

bool User::doubleClick(Control& c, int64_t caret) {
  float x = 0, y = 0;
  if (!reachable(c, &x, &y)) return false;
  return app_.event([&] {
    TextBox* box = asTextBox(c);
    if (box && caret >= 0) box->setSelStart(caret);
    takeFocus(c);
    if (c.MouseDown) c.MouseDown(1, 0, x, y);
    if (c.MouseUp) c.MouseUp(1, 0, x, y);
    Control::run(c.Click);
    if (box && caret >= 0) {
      const Text& t = box->text();
      int64_t s = std::min<int64_t>(caret, Len(t)), e = s;
      while (s > 0 && !blank(t[s - 1])) --s;
      while (e < Len(t) && !blank(t[e])) ++e;
      box->setSelStart(s);
      box->setSelLength(e - s);
    }
    if (c.MouseDown) c.MouseDown(1, 0, x, y);
    Control::run(c.DblClick);
    if (c.MouseUp) c.MouseUp(1, 0, x, y);
  });
}

bool User::select(Control& c, int64_t start, int64_t length) {
  TextBox* box = asTextBox(c);
  float x = 0, y = 0;
  if (!box || !reachable(c, &x, &y)) return false;
  return app_.event([&] {
    const int64_t s0 = box->SelStart(), l0 = box->SelLength();
    box->setSelStart(start);
    takeFocus(c);
    if (c.MouseDown) c.MouseDown(1, 0, x, y);
    box->setSelStart(start);
    box->setSelLength(length);
    selectionMoved(c, s0, l0);
    if (c.MouseMove) c.MouseMove(1, 0, x, y);
    if (c.MouseUp) c.MouseUp(1, 0, x, y);
    Control::run(c.Click);
  });
}

bool User::close(Window& w) {
  if (!w.Visible()) return false;
  return app_.event([&] { app_.unload(w); });
}

// --- gestures one input event at a time ------------------------------------------

bool User::inside(const Control& c, const Mouse& m) {
  return m.x >= 0 && m.y >= 0 && m.x < c.Width && m.y < c.Height;
}

void User::selectTo(TextBox& box, int64_t to) {
  const int64_t start = box.SelStart(), end = start + box.SelLength();
  // The anchor holds while the selection still ends at it; otherwise the
  // selection grows from the end away from `to`.
  const bool held = anchorBox_ == &box && (anchor_ == start || anchor_ == end);
  if (!held) anchor_ = to < start ? end : start;
  anchorBox_ = &box;
  to = std::clamp<int64_t>(to, 0, Len(box.text()));
  box.setSelStart(std::min(anchor_, to));
  box.setSelLength(std::abs(to - anchor_));
}

void User::moveTo(Control& c, int64_t at, bool extend) {
  if (at < 0) return;
  if (TextBox* box = asTextBox(c)) {
    if (extend) {
      selectTo(*box, at);
    } else {
      box->setSelStart(at);
      anchorBox_ = box;
      anchor_ = box->SelStart();
    }
  } else if (c.kind() == ControlKind::DataGrid) {
    auto& g = static_cast<DataGrid&>(c);
    if (g.Rows() > 0) g.setRow(std::min(at, g.Rows() - 1));
  } else if (c.kind() == ControlKind::FlexGrid) {
    auto& g = static_cast<FlexGrid&>(c);
    if (g.Rows() > 0) g.Row = std::min(at, g.Rows() - 1);
  }
}

bool User::mouseDown(Control& c, const Mouse& m, int64_t at) {
  if (!reachable(c)) return false;
  releaseEndsDoubleClick_ = false;
  pressed_ = &c;
  pressBox_ = (m.button & 1) ? &c : nullptr;
  pressAt_ = at;
  dragged_ = false;
  return app_.event([&] {
    TextBox* box = asTextBox(c);
    const int64_t s0 = box ? box->SelStart() : 0, l0 = box ? box->SelLength() : 0;
    // A grid takes the focus before its row moves, so that a row handler
    // may send the focus elsewhere; a text box places its caret first.
    if (box) {
      moveTo(c, at, m.shift & kShiftMask);
      takeFocus(c);
      selectionMoved(c, s0, l0);
    } else {
      takeFocus(c);
      moveTo(c, at, m.shift & kShiftMask);
    }
    if (c.MouseDown) c.MouseDown(m.button, m.shift, m.x, m.y);
  });
}

bool User::mouseMove(Control& c, const Mouse& m, int64_t at) {
  if (!reachable(c)) return false;
  TextBox* box = asTextBox(c);
  // Dragging after a double click keeps the word it selected.
  const bool selecting = box && (m.button & 1) && at >= 0 && !releaseEndsDoubleClick_;
  if (!selecting && !c.MouseMove) return true;
  return app_.event([&] {
    if (selecting) {
      if (&c != pressBox_ || at != pressAt_) dragged_ = true;
      const int64_t s0 = box->SelStart(), l0 = box->SelLength();
      selectTo(*box, at);
      selectionMoved(c, s0, l0);
    }
    if (c.MouseMove) c.MouseMove(m.button, m.shift, m.x, m.y);
  });
}

bool User::mouseUp(Control& c, const Mouse& m, int64_t at) {
  const bool heldDown = pressed_ == &c && c.window().Visible() && c.window().Enabled && c.reachable();
  pressed_ = nullptr;
  if (!heldDown && !reachable(c)) return false;
  const bool endsDoubleClick = releaseEndsDoubleClick_;
  const bool click = m.button == 1 && inside(c, m) && !endsDoubleClick;
  releaseEndsDoubleClick_ = false;
  // A release where the button went down, without a drag, is a click: what
  // the press selected (or a handler of it) stays selected.
  const bool stayed = &c == pressBox_ && at == pressAt_ && !dragged_;
  pressBox_ = nullptr;
  return app_.event([&] {
    if (TextBox* box = asTextBox(c); box && m.button == 1 && at >= 0 && !endsDoubleClick && !stayed) {
      const int64_t s0 = box->SelStart(), l0 = box->SelLength();
      selectTo(*box, at);
      selectionMoved(c, s0, l0);
    }
    if (c.MouseUp) c.MouseUp(m.button, m.shift, m.x, m.y);
    if (click) Control::run(c.Click);
  });
}

bool User::mouseDoubleClick(Control& c, const Mouse& m, int64_t at) {
  if (!reachable(c)) return false;
  releaseEndsDoubleClick_ = true;
  pressed_ = &c;
  return app_.event([&] {
    if (TextBox* box = asTextBox(c); box && at >= 0) {
      const auto [s, e] = wordAt(box->text(), at);
      box->setSelStart(s);
      box->setSelLength(e - s);
      anchorBox_ = box;
      anchor_ = s;
      takeFocus(c);
    } else {
      takeFocus(c);
      moveTo(c, at, false);
    }
    if (c.MouseDown) c.MouseDown(m.button, m.shift, m.x, m.y);
    Control::run(c.DblClick);
  });
}

bool User::navigate(Control& c, int keyCode, int shift, int64_t to) {
  if (!reachable(c)) return false;
  return app_.event([&] {
    takeFocus(c);
    int code = keyCode;
    if (c.KeyDown) c.KeyDown(code, shift);
    TextBox* box = asTextBox(c);
    const int64_t s0 = box ? box->SelStart() : 0, l0 = box ? box->SelLength() : 0;
    moveTo(c, to, shift & kShiftMask);
    selectionMoved(c, s0, l0);
    code = keyCode;
    if (c.KeyUp) c.KeyUp(code, shift);
  });
}

bool User::typeKeys(Control& c, TextView text) {
  if (asTextBox(c)) return type(c, text);
  if (!reachable(c)) return false;
  return app_.event([&] {
    takeFocus(c);
    for (char16_t ch : text) {
      if (!c.reachable() || app_.ended()) break;
      auto [code, shift] = keyOf(ch);
      if (c.KeyDown) c.KeyDown(code, shift);
      int ascii = ch;
      if (c.KeyPress) c.KeyPress(ascii);
      code = keyOf(ch).first;
      if (c.KeyUp) c.KeyUp(code, shift);
    }
  });
}

bool User::editCell(DataGrid& g, int64_t row, TextView text) {
  if (!reachable(g)) return false;
  bool written = false;
  app_.event([&] {
    takeFocus(g);
    moveTo(g, row, false);
    // The row change may have switched editing off.
    if (!g.AllowUpdate || g.Row() != row) return;
    g.setText(text);
    written = g.text() == text;
  });
  return written;
}

bool User::tab(Window& w, bool backward, const std::function<bool(const Control&)>& seen) {
  if (!w.Visible() || !w.Enabled) return false;
  return app_.event([&] {
    std::vector<Control*> order;
    for (Control* c : w.controls())
      if (c->TabStop && c->reachable() && c->canTakeFocus() && (c == w.focused() || !seen || seen(*c)))
        order.push_back(c);
    if (order.empty()) return;
    std::stable_sort(order.begin(), order.end(),
                     [](const Control* a, const Control* b) { return a->TabIndex < b->TabIndex; });
    const auto n = static_cast<int64_t>(order.size());
    const int64_t at = std::find(order.begin(), order.end(), w.focused()) - order.begin();
    int64_t next = 0;
    if (at == n)
      next = backward ? n - 1 : 0;
    else
      next = (at + (backward ? n - 1 : 1)) % n;
    takeFocus(*order[next]);
  });
}

}  // namespace zuvo
