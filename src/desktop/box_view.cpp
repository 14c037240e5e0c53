#include "desktop/box_view.h"

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextFrame>
#include <algorithm>
#include <cmath>

#include "desktop/control_views.h"
#include "platform/rich_text_box.h"
#include "tools/conversion_window.h"

namespace zuvo::desktop {

namespace {

bool isLetterKey(int key) { return key >= Qt::Key_A && key <= Qt::Key_Z; }

// Pixels between the frame and the text at the left and the right.
constexpr int kSideMargin = 2;

// A run of characters with no place to break a line at a word: no blank,
// tab or line break, and no Chinese character (which breaks anywhere).
bool hasLongUnbreakableRun(const Text& t) {
  constexpr size_t kLongRun = 1000;
  size_t run = 0;
  for (const char16_t c : t) {
    run = (c == u' ' || c == u'\t' || c == CR || c == LF || c >= 0x2E80) ? 0 : run + 1;
    if (run > kLongRun) return true;
  }
  return false;
}

// Pixels kept free between a widened box and what is drawn beside it.
constexpr int kWideningGap = 3;

// The conversion window's result box: a result the program writes there is
// read whole, whatever its length.
bool showsWholeResult(const TextBox& box) {
  const auto* w = dynamic_cast<const Frm计量换算*>(&box.window());
  return w && &box == &w->Text2;
}

}  // namespace

BoxView::BoxView(TextBox& box, WindowView& view) : QTextEdit(&view), ControlView(box, view), box_(box) {
  setAcceptRichText(false);
  setUndoRedoEnabled(false);
  setAcceptDrops(false);
  setFocusPolicy(Qt::NoFocus);  // the model decides where the focus is
  setAttribute(Qt::WA_InputMethodEnabled);
  setContextMenuPolicy(Qt::NoContextMenu);
  setTabChangesFocus(false);
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  setLineWidth(1);
  applyMargins();
  viewport()->setMouseTracking(true);
  // A box one line high holding one line never scrolls up or down: its line
  // stays where it is, whatever the text and wherever the caret.
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int v) {
    if (v != 0 && holdsOneLine()) verticalScrollBar()->setValue(0);
  });
  toView_ = {0};
  multiLine_ = !box.MultiLine;  // so that the first sync sets the wrapping
  widens_ = showsWholeResult(box);
}

void BoxView::sync() {
  if (!syncCommon(widened())) return;
  if (multiLine_ != box_.MultiLine) {
    multiLine_ = box_.MultiLine;
    setLineWrapMode(multiLine_ ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  }
  // A box of a few lines or more scrolls with a bar; a one-line box has
  // no room for one.
  const bool scrolls = multiLine_ && height() >= 3 * fontMetrics().lineSpacing();
  const auto bar = scrolls ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
  if (verticalScrollBarPolicy() != bar) setVerticalScrollBarPolicy(bar);
  syncMargins();
  syncColours();
  const bool written = box_.text() != shown_;
  const std::pair<int64_t, int64_t> selection{box_.SelStart(), box_.SelLength()};
  const bool moved = selection != selection_;
  selection_ = selection;
  const QPoint scrolled(horizontalScrollBar()->value(), verticalScrollBar()->value());
  syncText();
  syncSelection();
  placeView(written, moved, scrolled);
  if (holdsOneLine()) verticalScrollBar()->setValue(0);
}

// A box whose text must show whole keeps its design place while its text
// fits there. A longer text widens it into the free space beside it: first
// to the left, up to a gap after what is drawn there (the caption of the
// unit label), then, if that is not room enough, to the right, up to a gap
// before the next control. Controls that hold the box (frames) and labels'
// blank parts are free space; the font stays the box's own.
std::optional<QRect> BoxView::widened() const {
  if (!widens_ || !box_.Visible || box_.MultiLine) return std::nullopt;
  const QRect design = scale().rect(box_);
  const QString text = toQString(box_.text());
  const int frame = frameWidth() > 0 ? 2 * frameWidth() : 2;
  const int needed =
      static_cast<int>(std::ceil(QFontMetricsF(qfont(box_)).horizontalAdvance(text))) + 2 * kSideMargin + frame + 1;
  if (needed <= design.width()) return std::nullopt;
  int leftmost = 0;
  int rightmost = scale().px(box_.window().Width);
  for (const Control* c : box_.window().controls()) {
    if (c == &box_ || !c->Visible || c->kind() == ControlKind::DataSource || c->kind() == ControlKind::CommonDialog)
      continue;
    const QRect r = c->kind() == ControlKind::Label ? LabelView::captionRect(static_cast<const Label&>(*c), scale())
                                                    : scale().rect(*c);
    if (r.isEmpty() || r.bottom() < design.top() || r.top() > design.bottom()) continue;
    if (r.right() < design.left()) leftmost = std::max(leftmost, r.right() + 1 + kWideningGap);
    if (r.left() > design.right()) rightmost = std::min(rightmost, r.left() - kWideningGap);
  }
  const int right = design.left() + design.width();
  const int left = std::min(design.left(), std::max(leftmost, right - needed));
  const int newRight = std::max(right, std::min(rightmost, left + needed));
  return QRect(left, design.top(), newRight - left, design.height());
}

// A box with the focus, or one that shows its selection without it, brings
// its caret into view when it gets the focus, a new text or a caret move.
// One that hides its selection while another control has the focus stays
// where it was scrolled, whatever its caret does: a text newly written into
// it shows from its start, so that a list a handler has marked through to
// its end is read from its first line.
void BoxView::placeView(bool written, bool moved, QPoint scrolled) {
  const bool follows = box_.hasFocus() || !box_.HideSelection;
  const bool started = follows && !followsCaret_;
  followsCaret_ = follows;
  if (follows) {
    if (written || moved || started) ensureCursorVisible();
    return;
  }
  const QPoint to = written ? QPoint(0, 0) : scrolled;
  horizontalScrollBar()->setValue(to.x());
  verticalScrollBar()->setValue(to.y());
}

QRect BoxView::focusSpot() const {
  QTextCursor at(document());
  at.setPosition(std::clamp(viewPos(box_.SelStart()), 0, document()->characterCount() - 1));
  QRect caret = cursorRect(at).translated(viewport()->pos());
  caret.setWidth(std::max(caret.width(), 1));
  caret &= viewport()->geometry();
  return caret.isEmpty() ? rect() : caret;
}

bool BoxView::holdsOneLine() const { return oneLineHigh_ && document()->lineCount() <= 1; }

// A pixel all round the text; a box one line high with no room for them
// gives its top and bottom pixels to the line, which stays whole.
void BoxView::syncMargins() {
  const QFontMetrics fm(font());
  const int height = contentsRect().height();
  oneLineHigh_ = !multiLine_ || height < 2 * fm.lineSpacing();
  const int vertical = oneLineHigh_ ? std::clamp((height - fm.height()) / 2, 0, 1) : 1;
  if (vertical == verticalMargin_) return;
  verticalMargin_ = vertical;
  applyMargins();
}

// Writing the text makes the document's frame anew: its margins are set
// again after every write.
void BoxView::applyMargins() {
  QTextFrame* root = document()->rootFrame();
  QTextFrameFormat f = root->frameFormat();
  if (f.leftMargin() == kSideMargin && f.rightMargin() == kSideMargin && f.topMargin() == verticalMargin_ &&
      f.bottomMargin() == verticalMargin_)
    return;
  f.setLeftMargin(kSideMargin);
  f.setRightMargin(kSideMargin);
  f.setTopMargin(verticalMargin_);
  f.setBottomMargin(verticalMargin_);
  QSignalBlocker block(this);
  root->setFrameFormat(f);
}

void BoxView::syncColours() {
  const QColor back = qcolour(box_.BackColor, view().palette());
  const QColor fore = qcolour(box_.ForeColor, view().palette());
  if (back == shownBack_ && fore == shownFore_) return;
  QPalette pal = palette();
  pal.setColor(QPalette::Base, back);
  pal.setColor(QPalette::Active, QPalette::Text, fore);
  pal.setColor(QPalette::Inactive, QPalette::Text, fore);
  setPalette(pal);
  if (fore != shownFore_) runsStale_ = true;  // automatic colour runs follow the fore colour
  shownBack_ = back;
  shownFore_ = fore;
}

void BoxView::syncText() {
  const Text& t = box_.text();
  const auto* rich = box_.kind() == ControlKind::RichTextBox ? static_cast<const RichTextBox*>(&box_) : nullptr;
  const bool textChanged = !sameText(t, shown_);
  if (!textChanged && !rich) return;
  std::pair<int64_t, int64_t> changed;
  if (!textChanged) {
    changed = changedFormats(rich->formats());
    if (changed.first >= changed.second) return;
  }
  QSignalBlocker block(this);
  // Qt's word wrap takes time quadratic in the length of a run it cannot
  // break at a word (a pasted string of digits froze the window for
  // seconds); such a run is broken anywhere, as word wrap would end up
  // doing. The mode is switched while the shorter of the two texts is shown.
  const auto wrap = !textChanged              ? wordWrapMode()
                    : hasLongUnbreakableRun(t) ? QTextOption::WrapAnywhere
                                               : QTextOption::WrapAtWordBoundaryOrAnywhere;
  if (wrap == QTextOption::WrapAnywhere && wrap != wordWrapMode()) setWordWrapMode(wrap);
  if (textChanged) {
    toView_.assign(t.size() + 1, 0);
    shown_ = t;
    if (!rich) {
      setPlainText(viewText(&toView_));
      applyMargins();
      if (wrap != wordWrapMode()) setWordWrapMode(wrap);
      return;
    }
  }
  const FormatRuns& f = rich->formats();
  // Formats set in place lay their range out at once; over much of the
  // text, writing it anew lets the layout run lazily.
  constexpr int64_t kInPlace = 65536;
  if (!textChanged && changed.second - changed.first <= kInPlace) {
    paintFormats(f, changed.first, changed.second);
    return;
  }
  writeRichText(viewText(textChanged ? &toView_ : nullptr), f);
  if (wrap != wordWrapMode()) setWordWrapMode(wrap);
}

// A line break (CR LF, or a lone CR or LF) is one paragraph break here.
QString BoxView::viewText(std::vector<int>* toView) const {
  const Text& t = shown_;
  QString s(static_cast<qsizetype>(t.size()), Qt::Uninitialized);
  QChar* out = s.data();
  int v = 0;
  for (size_t i = 0; i < t.size(); ++i) {
    if (toView) (*toView)[i] = v;
    const char16_t c = t[i];
    if (c == CR && i + 1 < t.size() && t[i + 1] == LF) continue;
    out[v++] = (c == CR || c == LF) ? QChar(u'\n') : QChar(c);
  }
  if (toView) (*toView)[t.size()] = v;
  s.truncate(v);
  return s;
}

QTextCharFormat BoxView::charFormat(const CharFormat& f) const {
  QTextCharFormat cf;
  cf.setForeground(f.colour == kWindowText ? shownFore_ : qcolour(f.colour, view().palette()));
  cf.setFontWeight(f.bold ? QFont::Bold : QFont::Normal);
  cf.setFontPointSize(f.size > 0 ? f.size : box_.FontSize);
  return cf;
}

void BoxView::writeRichText(const QString& s, const FormatRuns& f) {
  QTextDocument* doc = document();
  QTextCursor cur(doc);
  // The text and its formats in one edit from a cleared document: Qt takes
  // it as a whole new text and lays it out lazily, as it does plain text.
  cur.beginEditBlock();
  // Clearing makes the document's frame anew, with the default margins.
  doc->clear();
  applyMargins();
  const int64_t n = std::min<int64_t>(f.size(), static_cast<int64_t>(shown_.size()));
  // A range result holds a few formats in hundreds of thousands of runs.
  std::vector<std::pair<CharFormat, QTextCharFormat>> made;
  auto format = [&](const CharFormat& c) -> const QTextCharFormat& {
    for (const auto& [k, v] : made)
      if (k == c) return v;
    return made.emplace_back(c, charFormat(c)).second;
  };
  const auto& runs = f.runs();
  for (size_t r = 0; r < runs.size() && runs[r].start < n; ++r) {
    const int from = viewPos(runs[r].start);
    cur.insertText(s.mid(from, viewPos(std::min(f.runEnd(r), n)) - from), format(runs[r].format));
  }
  if (n < static_cast<int64_t>(shown_.size())) cur.insertText(s.mid(viewPos(n)));
  // The caret starts at the text's start, as after a plain write; set while
  // the edit is open, where it asks for no layout of the old caret's place
  // at the text's end.
  setTextCursor(QTextCursor(doc));
  cur.endEditBlock();
  rememberRuns(f);
}

void BoxView::paintFormats(const FormatRuns& f, int64_t from, int64_t to) {
  QTextCursor cur(document());
  cur.beginEditBlock();
  to = std::min(to, f.size());
  for (size_t r = from < to ? f.runIndexAt(from) : f.runs().size(); r < f.runs().size() && from < to; ++r) {
    const int64_t end = std::min(f.runEnd(r), to);
    cur.setPosition(viewPos(from));
    cur.setPosition(viewPos(end), QTextCursor::KeepAnchor);
    cur.setCharFormat(charFormat(f.runs()[r].format));
    from = end;
  }
  cur.endEditBlock();
  rememberRuns(f);
}

void BoxView::rememberRuns(const FormatRuns& f) {
  shownFormats_ = f;
  runsStale_ = false;
}

std::pair<int64_t, int64_t> BoxView::changedFormats(const FormatRuns& f) const {
  const int64_t n = f.size();
  if (runsStale_) return {0, n};
  const FormatRuns& shown = shownFormats_;
  const int64_t common = std::min(n, shown.size());
  int64_t first = n, last = 0;
  // Walks both run lists together, one piece of constant formats at a time.
  size_t a = 0, b = 0;
  for (int64_t p = 0; p < common;) {
    const int64_t end = std::min({f.runEnd(a), shown.runEnd(b), common});
    if (f.runs()[a].format != shown.runs()[b].format) {
      first = std::min(first, p);
      last = end;
    }
    p = end;
    if (p == f.runEnd(a)) ++a;
    if (p == shown.runEnd(b)) ++b;
  }
  if (common < n) first = std::min(first, common), last = n;
  return {first, last};
}

void BoxView::syncSelection() {
  const int64_t s = box_.SelStart();
  // An unfocused box hides its selection, unless told to keep it shown.
  const int64_t e = box_.hasFocus() || !box_.HideSelection ? s + box_.SelLength() : s;
  const bool backwards = e != s && caret_ == s;
  const int anchor = viewPos(backwards ? e : s);
  const int pos = viewPos(backwards ? s : e);
  QTextCursor cur = textCursor();
  if (cur.anchor() == anchor && cur.position() == pos) return;
  cur.setPosition(anchor);
  cur.setPosition(pos, QTextCursor::KeepAnchor);
  QSignalBlocker block(this);
  setTextCursor(cur);
}

int BoxView::viewPos(int64_t modelPos) const {
  if (toView_.empty()) return 0;
  return toView_[std::clamp<int64_t>(modelPos, 0, static_cast<int64_t>(toView_.size()) - 1)];
}

int64_t BoxView::modelPos(int viewPos) const {
  auto it = std::lower_bound(toView_.begin(), toView_.end(), viewPos);
  if (it == toView_.end()) --it;
  return it - toView_.begin();
}

int64_t BoxView::modelPosAt(QPoint viewportPos) const {
  return modelPos(cursorForPosition(viewportPos).position());
}

User::Mouse BoxView::mouse(const QMouseEvent& e, Qt::MouseButtons buttons) const {
  return modelMouse(e, e.pos() + viewport()->pos(), buttons, scale());
}

void BoxView::copySelection() const {
  QString s = toQString(box_.SelText());
  s.replace("\r\n", "\n");
  if (!s.isEmpty()) QApplication::clipboard()->setText(s);
}

int64_t BoxView::navigationTarget(const QKeyEvent& e) const {
  const QTextCursor now = textCursor();
  const bool shift = e.modifiers() & Qt::ShiftModifier;
  const bool ctrl = e.modifiers() & Qt::ControlModifier;
  // An arrow without Shift first drops the selection at its edge.
  if (!shift && now.hasSelection() && (e.key() == Qt::Key_Left || e.key() == Qt::Key_Right))
    return modelPos(e.key() == Qt::Key_Left ? now.selectionStart() : now.selectionEnd());
  QTextCursor c(document());
  c.setPosition(now.position());
  auto move = [&](QTextCursor::MoveOperation op) { c.movePosition(op); };
  switch (e.key()) {
    case Qt::Key_Left: move(ctrl ? QTextCursor::PreviousWord : QTextCursor::Left); break;
    case Qt::Key_Right: move(ctrl ? QTextCursor::NextWord : QTextCursor::Right); break;
    // A single-line box takes Up and Down as Left and Right.
    case Qt::Key_Up: move(multiLine_ ? QTextCursor::Up : QTextCursor::Left); break;
    case Qt::Key_Down: move(multiLine_ ? QTextCursor::Down : QTextCursor::Right); break;
    case Qt::Key_Home: move(ctrl ? QTextCursor::Start : QTextCursor::StartOfLine); break;
    case Qt::Key_End: move(ctrl ? QTextCursor::End : QTextCursor::EndOfLine); break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
      if (!multiLine_) {
        move(e.key() == Qt::Key_PageUp ? QTextCursor::Start : QTextCursor::End);
        break;
      }
      const int page = viewport()->height() * (e.key() == Qt::Key_PageUp ? -1 : 1);
      return modelPosAt(cursorRect(c).center() + QPoint(0, page));
    }
    default: break;
  }
  return modelPos(c.position());
}

bool BoxView::event(QEvent* e) {
  if (tabKey(e)) return true;
  // Keys the box takes itself come to keyPressEvent, never to a shortcut:
  // Ctrl with a letter writes an accented letter in the model. Alt with a
  // letter stays free for the buttons' access keys.
  if (e->type() == QEvent::ShortcutOverride) {
    auto* k = static_cast<QKeyEvent*>(e);
    const auto mods = k->modifiers() & ~Qt::KeypadModifier;
    const bool ctrlLetter = (mods & Qt::ControlModifier) && !(mods & Qt::AltModifier) && isLetterKey(k->key());
    const bool plain = !(mods & (Qt::ControlModifier | Qt::AltModifier));
    if (ctrlLetter || plain)
      k->accept();
    else
      k->ignore();
    return true;
  }
  return QTextEdit::event(e);
}

void BoxView::keyPressEvent(QKeyEvent* e) {
  User* u = user();
  if (!u) return;
  const auto mods = e->modifiers();
  const int shift = modelShift(mods);
  const bool ctrl = mods & Qt::ControlModifier;
  const bool alt = mods & Qt::AltModifier;
  switch (e->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
      const int64_t to = navigationTarget(*e);
      caret_ = to;
      u->navigate(box_, modelKeyCode(e->key()), shift, to);
      return;
    }
    case Qt::Key_Insert:
      if (mods == Qt::ShiftModifier)
        u->paste(box_, clipboardText(QApplication::clipboard()->text()), modelKeyCode(e->key()), shift);
      else if (ctrl)
        copySelection();
      else
        u->pressKey(box_, modelKeyCode(e->key()), shift);
      return;
    case Qt::Key_Delete:
      if (mods == Qt::ShiftModifier) {
        copySelection();
        u->cut(box_, kKeyDelete, shift);
      } else {
        u->pressKey(box_, kKeyDelete, shift);
      }
      return;
    default: break;
  }
  if (ctrl && !alt && isLetterKey(e->key())) {
    switch (e->key()) {
      case Qt::Key_C: copySelection(); return;
      case Qt::Key_X:
        copySelection();
        u->cut(box_, 'X', shift);
        return;
      case Qt::Key_V: u->paste(box_, clipboardText(QApplication::clipboard()->text()), 'V', shift); return;
      default: u->pressKey(box_, 'A' + (e->key() - Qt::Key_A), shift); return;
    }
  }
  if (const int code = modelKeyCode(e->key())) {
    u->pressKey(box_, code, shift);
    return;
  }
  // Text comes without Ctrl and Alt, or with both (AltGr on some keyboards).
  const QString text = e->text();
  if (!text.isEmpty() && text[0].isPrint() && ctrl == alt) {
    u->type(box_, keyboardText(text));
    return;
  }
  // Alt with a key that no button's access key took.
  if (alt && ((e->key() >= Qt::Key_0 && e->key() <= Qt::Key_9) || isLetterKey(e->key())))
    u->pressKey(box_, e->key(), shift);
}

// Every other key's release came with its press; a modifier key's comes on
// its own, and the box's KeyUp runs for it (the release of Ctrl after an
// accent key is the one its handlers see last).
void BoxView::keyReleaseEvent(QKeyEvent* e) {
  const int code = modelModifierKey(e->key());
  if (User* u = user(); u && code && !e->isAutoRepeat()) u->releaseKey(box_, code, shiftAfterRelease(code, e->modifiers()));
}

void BoxView::inputMethodEvent(QInputMethodEvent* e) {
  e->accept();
  if (!user()) return;
  if (!e->commitString().isEmpty()) commit(keyboardText(e->commitString()));
  // The composition in progress is shown at the caret; the view's document
  // itself stays as the model has it.
  QTextCursor cur = textCursor();
  if (cur.hasSelection()) {
    cur.clearSelection();
    QSignalBlocker block(this);
    setTextCursor(cur);
  }
  QInputMethodEvent composing(e->preeditString(), e->attributes());
  QTextEdit::inputMethodEvent(&composing);
}

// What the input method commits goes into the box it was composed in, and
// the focus stays where the model has it: Qt has the composition committed
// as the focus moves on (a click into another box), and the clicked box
// keeps the focus. A commit that comes while the view follows the model's
// focus is typed once that is done.
void BoxView::commit(const Text& text) {
  auto typeIt = [this, text] {
    if (User* u = user()) u->typeComposed(box_, text);
  };
  if (view().syncing())
    QMetaObject::invokeMethod(this, typeIt, Qt::QueuedConnection);
  else
    typeIt();
}

void BoxView::mousePressEvent(QMouseEvent* e) {
  User* u = user();
  if (!u) return;
  const bool left = e->button() == Qt::LeftButton;
  const int64_t at = left ? modelPosAt(e->pos()) : -1;
  if (left) caret_ = at;
  u->mouseDown(box_, mouse(*e, e->button()), at);
}

void BoxView::mouseMoveEvent(QMouseEvent* e) {
  User* u = user();
  if (!u) return;
  const bool dragging = e->buttons() & Qt::LeftButton;
  const int64_t at = dragging ? modelPosAt(e->pos()) : -1;
  if (dragging) caret_ = at;
  u->mouseMove(box_, mouse(*e, e->buttons()), at);
}

void BoxView::mouseReleaseEvent(QMouseEvent* e) {
  User* u = user();
  if (!u) return;
  const bool left = e->button() == Qt::LeftButton;
  const int64_t at = left ? modelPosAt(e->pos()) : -1;
  u->mouseUp(box_, mouse(*e, e->button()), at);
}

void BoxView::mouseDoubleClickEvent(QMouseEvent* e) {
  User* u = user();
  if (!u) return;
  const bool left = e->button() == Qt::LeftButton;
  u->mouseDoubleClick(box_, mouse(*e, e->button()), left ? modelPosAt(e->pos()) : -1);
}

}  // namespace zuvo::desktop
