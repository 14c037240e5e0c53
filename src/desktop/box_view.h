#pragma once
// The widget of a text box or rich-text box: it shows the model's text,
// caret, selection and character formats, and sends every key, input-method
// text, click and drag to the model instead of editing itself.

#include <QTextEdit>
#include <optional>

#include "desktop/window_view.h"
#include "platform/rich_document.h"

namespace zuvo::desktop {

class BoxView : public QTextEdit, public ControlView {
 public:
  BoxView(TextBox& box, WindowView& view);
  QWidget& widget() override { return *this; }
  void sync() override;
  // The caret at the model's caret position; the whole box when the caret
  // lies outside the shown part (the box scrolls to it with the focus).
  QRect focusSpot() const override;

  // Positions in the model count CR LF as two characters, the view as one.
  int viewPos(int64_t modelPos) const;
  int64_t modelPos(int viewPos) const;

 protected:
  bool event(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void inputMethodEvent(QInputMethodEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void contextMenuEvent(QContextMenuEvent*) override {}
  // Scrolls; Ctrl with the wheel does not zoom the text as Qt would.
  void wheelEvent(QWheelEvent* e) override { QAbstractScrollArea::wheelEvent(e); }
  bool canInsertFromMimeData(const QMimeData*) const override { return false; }
  void insertFromMimeData(const QMimeData*) override {}

 private:
  // The place of a box widened to show its whole text, or none.
  std::optional<QRect> widened() const;
  void syncText();
  void syncMargins();
  void applyMargins();
  bool holdsOneLine() const;
  void syncColours();
  void syncSelection();
  // Scrolls to the caret or keeps the place `scrolled` (see the definition).
  void placeView(bool written, bool moved, QPoint scrolled);
  // The shown text as the view holds it; fills `toView` (sized one more
  // than the text) with the view position of every model position.
  QString viewText(std::vector<int>* toView) const;
  // A rich box's text and formats written into a fresh document in one
  // edit, so that Qt lays it out once, lazily, as it does plain text.
  void writeRichText(const QString& s, const FormatRuns& formats);
  // Formats changed over the model's [from, to): only that range is set.
  void paintFormats(const FormatRuns& formats, int64_t from, int64_t to);
  QTextCharFormat charFormat(const CharFormat& f) const;
  void rememberRuns(const FormatRuns& formats);
  // The model's range whose formats differ from the shown ones; empty when none do.
  std::pair<int64_t, int64_t> changedFormats(const FormatRuns& formats) const;
  // Where a navigation key puts the caret, by the view's layout.
  int64_t navigationTarget(const QKeyEvent& e) const;
  int64_t modelPosAt(QPoint viewportPos) const;
  User::Mouse mouse(const QMouseEvent& e, Qt::MouseButtons buttons) const;
  void copySelection() const;
  void commit(const Text& text);

  TextBox& box_;
  Text shown_;
  // View position of every model position of the shown text.
  std::vector<int> toView_;
  // The formats of the shown text, as last written or painted.
  FormatRuns shownFormats_;
  // The shown runs no longer tell what is painted (the fore colour changed).
  bool runsStale_ = true;
  QColor shownBack_, shownFore_;
  bool multiLine_ = false;
  // The box widens to show its whole text (see widened()).
  bool widens_ = false;
  // Pixels above and below the text.
  int verticalMargin_ = 1;
  bool oneLineHigh_ = false;
  // The caret end of the selection the view last asked for: a selection
  // made backwards keeps its caret at its start.
  int64_t caret_ = -1;
  // The model's selection as last shown, and whether the view kept the
  // caret in sight then.
  std::pair<int64_t, int64_t> selection_{0, 0};
  bool followsCaret_ = false;
};

}  // namespace zuvo::desktop
