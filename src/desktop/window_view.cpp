#include "desktop/window_view.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDateTime>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>

#include "desktop/qt_dialogs.h"
#include "platform/grid.h"
#include "platform/rich_text_box.h"

namespace zuvo::desktop {

namespace {

QColor qcolour(Colour c, bool background) {
  switch (c) {
    case kButtonFace: return QApplication::palette().color(QPalette::Button);
    case kWindowBackground: return QApplication::palette().color(QPalette::Base);
    case kWindowText: return QApplication::palette().color(QPalette::Text);
    case kHighlightText: return QApplication::palette().color(QPalette::HighlightedText);
    default: break;
  }
  if (c & 0x80000000u) return background ? QApplication::palette().color(QPalette::Window) : Qt::black;
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

QFont qfont(const Control& c) {
  QFont f(toQString(c.FontName));
  f.setPointSizeF(c.FontSize > 0 ? c.FontSize : 12);
  f.setBold(c.FontBold);
  return f;
}

// A text box or rich-text box: shows the model's text, caret and formats,
// and sends every key and click to the model instead of editing itself.
class BoxView : public QTextEdit {
 public:
  BoxView(TextBox& box, User& user, QWidget* parent) : QTextEdit(parent), box_(box), user_(user) {
    setAcceptRichText(false);
    setUndoRedoEnabled(false);
    setFrameShape(QFrame::Box);
    setAttribute(Qt::WA_InputMethodEnabled);
    if (!box.MultiLine) {
      setLineWrapMode(QTextEdit::NoWrap);
      setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
  }

  void sync() {
    const Text& t = box_.text();
    const auto* rich = box_.kind() == ControlKind::RichTextBox ? static_cast<const RichTextBox*>(&box_) : nullptr;
    const bool textChanged = t != shown_ || (rich && rich->formats() != shownFormats_);
    if (textChanged) {
      // The model keeps CR LF; the view shows one line break for it.
      QString s = toQString(t);
      s.replace("\r\n", "\n");
      QSignalBlocker block(this);
      setPlainText(s);
      if (rich) paintFormats(*rich);
      shown_ = t;
      if (rich) shownFormats_ = rich->formats();
    }
    QTextCursor cur(document());
    cur.setPosition(viewPos(box_.SelStart()));
    cur.setPosition(viewPos(box_.SelStart() + box_.SelLength()), QTextCursor::KeepAnchor);
    QSignalBlocker block(this);
    setTextCursor(cur);
  }

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const int shift = (e->modifiers() & Qt::ShiftModifier ? kShiftMask : 0) | (ctrl ? kCtrlMask : 0) |
                      (e->modifiers() & Qt::AltModifier ? kAltMask : 0);
    switch (e->key()) {
      case Qt::Key_Backspace: user_.pressKey(box_, kKeyBack, shift); return;
      case Qt::Key_Delete: user_.pressKey(box_, kKeyDelete, shift); return;
      case Qt::Key_Return:
      case Qt::Key_Enter: user_.pressKey(box_, kKeyReturn, shift); return;
      case Qt::Key_Left: user_.pressKey(box_, kKeyLeft, shift); return;
      case Qt::Key_Right: user_.pressKey(box_, kKeyRight, shift); return;
      case Qt::Key_Up: user_.pressKey(box_, kKeyUp, shift); return;
      case Qt::Key_Down: user_.pressKey(box_, kKeyDown, shift); return;
      case Qt::Key_Home: user_.pressKey(box_, kKeyHome, shift); return;
      case Qt::Key_End: user_.pressKey(box_, kKeyEnd, shift); return;
      case Qt::Key_Tab: QWidget::focusNextChild(); return;
      default: break;
    }
    if (ctrl && e->key() >= Qt::Key_A && e->key() <= Qt::Key_Z) {
      if (e->key() == Qt::Key_V) {
        user_.paste(box_, fromQString(QApplication::clipboard()->text().replace("\r\n", "\n").replace("\n", "\r\n")));
      } else if (e->key() == Qt::Key_C || e->key() == Qt::Key_X) {
        QApplication::clipboard()->setText(toQString(box_.SelText()));
        if (e->key() == Qt::Key_X) user_.cut(box_);
      } else {
        user_.pressKey(box_, 'A' + (e->key() - Qt::Key_A), shift);
      }
      return;
    }
    const QString s = e->text();
    if (!s.isEmpty() && s[0].isPrint()) user_.type(box_, fromQString(s));
  }
  void inputMethodEvent(QInputMethodEvent* e) override {
    if (!e->commitString().isEmpty()) user_.type(box_, fromQString(e->commitString()));
    e->accept();
  }
  void mousePressEvent(QMouseEvent* e) override {
    pressPos_ = modelPos(cursorForPosition(e->pos()).position());
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    const int64_t end = modelPos(cursorForPosition(e->pos()).position());
    if (end == pressPos_)
      user_.click(box_, end);
    else
      user_.select(box_, std::min(pressPos_, end), std::abs(end - pressPos_));
  }
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    user_.doubleClick(box_, modelPos(cursorForPosition(e->pos()).position()));
  }
  void focusInEvent(QFocusEvent* e) override {
    QTextEdit::focusInEvent(e);
    if (!box_.hasFocus() && e->reason() == Qt::TabFocusReason) user_.focus(box_);
  }

 private:
  // Positions in the model count CR LF as two characters, the view as one.
  int viewPos(int64_t modelPos) const {
    const Text& t = box_.text();
    int64_t v = 0;
    for (int64_t i = 0; i < modelPos && i < static_cast<int64_t>(t.size()); ++i)
      if (!(t[i] == CR && i + 1 < static_cast<int64_t>(t.size()) && t[i + 1] == LF)) ++v;
    return static_cast<int>(v);
  }
  int64_t modelPos(int viewPos) const {
    const Text& t = box_.text();
    int64_t m = 0;
    for (int v = 0; v < viewPos && m < static_cast<int64_t>(t.size()); ++v)
      m += (t[m] == CR && m + 1 < static_cast<int64_t>(t.size()) && t[m + 1] == LF) ? 2 : 1;
    return m;
  }
  void paintFormats(const RichTextBox& rich) {
    const auto& f = rich.formats();
    QTextCursor cur(document());
    int64_t i = 0;
    const int64_t n = static_cast<int64_t>(f.size());
    while (i < n) {
      int64_t j = i + 1;
      while (j < n && f[j] == f[i]) ++j;
      QTextCharFormat cf;
      cf.setForeground(qcolour(f[i].colour, false));
      cf.setFontWeight(f[i].bold ? QFont::Bold : QFont::Normal);
      cf.setFontPointSize(f[i].size > 0 ? f[i].size : 12);
      cur.setPosition(viewPos(i));
      cur.setPosition(viewPos(j), QTextCursor::KeepAnchor);
      cur.setCharFormat(cf);
      i = j;
    }
  }

  TextBox& box_;
  User& user_;
  Text shown_;
  std::vector<CharFormat> shownFormats_;
  int64_t pressPos_ = 0;
};

class ClickLabel : public QLabel {
 public:
  ClickLabel(Control& c, User& user, QWidget* parent) : QLabel(parent), c_(c), user_(user) {}

 protected:
  void mouseReleaseEvent(QMouseEvent*) override { user_.click(c_); }

 private:
  Control& c_;
  User& user_;
};

}  // namespace

WindowView::WindowView(Window& model, User& user) : model_(model), user_(user) {
  setWindowTitle(toQString(model.Caption));
  for (Control* c : model.controls())
    if (QWidget* w = makeWidget(*c)) widgets_[c] = w;
  sync();
}

QWidget* WindowView::makeWidget(Control& c) {
  switch (c.kind()) {
    case ControlKind::TextBox:
    case ControlKind::RichTextBox:
      return new BoxView(static_cast<TextBox&>(c), user_, this);
    case ControlKind::Label:
      return new ClickLabel(c, user_, this);
    case ControlKind::CommandButton: {
      auto* b = new QPushButton(this);
      connect(b, &QPushButton::clicked, this, [this, &c] { user_.click(c); });
      return b;
    }
    case ControlKind::Shape:
    case ControlKind::Line: {
      auto* f = new QFrame(this);
      f->setAttribute(Qt::WA_TransparentForMouseEvents);
      return f;
    }
    case ControlKind::ProgressBar: return new QProgressBar(this);
    case ControlKind::StatusBar: return new QLabel(this);
    case ControlKind::DataGrid:
    case ControlKind::FlexGrid: return new QListWidget(this);
    default: return nullptr;
  }
}

QWidget* WindowView::widgetFor(const Control& c) const {
  auto it = widgets_.find(&c);
  return it == widgets_.end() ? nullptr : it->second;
}

void WindowView::sync() {
  setWindowTitle(toQString(model_.Caption));
  if (model_.Width > 0) setFixedSize(px(model_.Width), px(model_.Height));
  for (Control* c : model_.stacking()) {
    QWidget* w = widgetFor(*c);
    if (!w) continue;
    w->setVisible(c->Visible);
    if (!c->Visible) continue;
    w->raise();
    w->setEnabled(c->Enabled);
    w->setFont(qfont(*c));
    QString style;
    switch (c->kind()) {
      case ControlKind::TextBox:
      case ControlKind::RichTextBox:
        w->setGeometry(px(c->Left), px(c->Top), px(c->Width), px(c->Height));
        style = QString("background:%1;color:%2;").arg(qcolour(c->BackColor, true).name(), qcolour(c->ForeColor, false).name());
        static_cast<BoxView*>(w)->sync();
        if (c->hasFocus() && !w->hasFocus() && isActiveWindow()) w->setFocus();
        break;
      case ControlKind::Label: {
        auto* l = static_cast<QLabel*>(w);
        l->setText(toQString(static_cast<Label*>(c)->Caption()));
        w->setGeometry(px(c->Left), px(c->Top), px(c->Width), px(c->Height));
        style = QString("background:%1;color:%2;").arg(qcolour(c->BackColor, true).name(), qcolour(c->ForeColor, false).name());
        break;
      }
      case ControlKind::CommandButton:
        static_cast<QPushButton*>(w)->setText(toQString(static_cast<CommandButton*>(c)->Caption));
        w->setGeometry(px(c->Left), px(c->Top), px(c->Width), px(c->Height));
        break;
      case ControlKind::Shape: {
        auto* s = static_cast<Shape*>(c);
        w->setGeometry(px(c->Left), px(c->Top), px(c->Width), px(c->Height));
        style = QString("border:%1px solid %2;background:transparent;").arg(s->BorderWidth).arg(qcolour(s->BorderColor, false).name());
        w->lower();
        break;
      }
      case ControlKind::Line: {
        auto* l = static_cast<LineControl*>(c);
        const int x = px(std::min(l->X1, l->X2)), y = px(std::min(l->Y1, l->Y2));
        w->setGeometry(x, y, std::max(l->BorderWidth, px(std::abs(l->X2 - l->X1))), std::max(l->BorderWidth, px(std::abs(l->Y2 - l->Y1))));
        style = QString("background:%1;").arg(qcolour(l->BorderColor, false).name());
        w->lower();
        break;
      }
      case ControlKind::ProgressBar: {
        auto* p = static_cast<ProgressBar*>(c);
        auto* q = static_cast<QProgressBar*>(w);
        q->setRange(static_cast<int>(p->Min), static_cast<int>(p->Max));
        q->setValue(static_cast<int>(p->Value));
        w->setGeometry(px(c->Left), px(c->Top), px(c->Width), px(c->Height));
        break;
      }
      case ControlKind::StatusBar:
        static_cast<QLabel*>(w)->setText(QDateTime::currentDateTime().toString("yyyy-MM-dd    hh:mm"));
        w->setGeometry(px(c->Left), px(c->Top), px(c->Width), px(c->Height));
        break;
      case ControlKind::DataGrid: {
        auto* g = static_cast<DataGrid*>(c);
        auto* list = static_cast<QListWidget*>(w);
        if (list->count() != g->Rows()) {
          list->clear();
          for (int64_t r = 0; r < g->Rows(); ++r) list->addItem(toQString(g->cell(r)));
        }
        w->setGeometry(px(c->Left), px(c->Top), px(c->Width), px(c->Height));
        break;
      }
      default:
        w->setGeometry(px(c->Left), px(c->Top), px(c->Width), px(c->Height));
        break;
    }
    w->setStyleSheet(style);
  }
}

void WindowView::closeEvent(QCloseEvent* e) {
  // The model decides: the close box unloads the window.
  e->ignore();
  user_.close(model_);
}

}  // namespace zuvo::desktop
