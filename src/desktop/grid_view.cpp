#include "desktop/grid_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

#include "desktop/focus_frame.h"
#include "platform/grid.h"

namespace zuvo::desktop {

namespace {
DataGrid* dataGrid(Control& c) {
  return c.kind() == ControlKind::DataGrid ? static_cast<DataGrid*>(&c) : nullptr;
}
FlexGrid* flexGrid(Control& c) {
  return c.kind() == ControlKind::FlexGrid ? static_cast<FlexGrid*>(&c) : nullptr;
}
int clampToInt(int64_t n) { return static_cast<int>(std::clamp<int64_t>(n, 0, 1 << 30)); }
}  // namespace

// --- GridCells -----------------------------------------------------------------

int64_t GridCells::rows() const {
  if (!view_.attached()) return 0;
  if (DataGrid* g = dataGrid(grid_)) return g->Rows();
  return flexGrid(grid_)->Rows();
}

int64_t GridCells::cols() const {
  if (!view_.attached()) return 0;
  if (dataGrid(grid_)) return 1;
  return flexGrid(grid_)->Cols();
}

int GridCells::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : shownRows_; }

int GridCells::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : shownCols_; }

QVariant GridCells::data(const QModelIndex& index, int role) const {
  if ((role != Qt::DisplayRole && role != Qt::EditRole) || !view_.attached() || !index.isValid()) return {};
  if (DataGrid* g = dataGrid(grid_)) return toQString(g->cell(index.row()));
  return toQString(flexGrid(grid_)->TextMatrix(index.row(), index.column()));
}

QVariant GridCells::headerData(int section, Qt::Orientation o, int role) const {
  if (role != Qt::DisplayRole || !view_.attached()) return {};
  if (o == Qt::Horizontal && section == 0)
    if (DataGrid* g = dataGrid(grid_)) return toQString(g->DataField);
  return QString();
}

Qt::ItemFlags GridCells::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QAbstractTableModel::flags(index);
  DataGrid* g = dataGrid(grid_);
  if (g && view_.attached() && g->AllowUpdate && index.row() == g->Row()) f |= Qt::ItemIsEditable;
  return f;
}

bool GridCells::setData(const QModelIndex& index, const QVariant& value, int role) {
  DataGrid* g = dataGrid(grid_);
  if (role != Qt::EditRole || !g || !view_.attached() || !index.isValid()) return false;
  const Text text = fromQString(value.toString());
  if (text == g->cell(index.row())) return false;  // nothing was changed
  const int64_t row = index.row();
  User& user = view_.user();
  if (!view_.syncing()) return user.editCell(*g, row, text);
  // The editor lost the focus while the view was brought in step with the
  // model: the edit goes in as the next gesture.
  QPointer<const WindowView> alive(&view_);
  QTimer::singleShot(0, [alive, g, row, text, &user] {
    if (alive && alive->attached()) user.editCell(*g, row, text);
  });
  return true;
}

void GridCells::refresh() {
  const int r = clampToInt(rows()), c = clampToInt(cols());
  if (r != shownRows_ || c != shownCols_) {
    beginResetModel();
    shownRows_ = r;
    shownCols_ = c;
    endResetModel();
  } else if (r > 0 && c > 0) {
    emit dataChanged(index(0, 0), index(r - 1, c - 1));
  }
}

// --- GridView ------------------------------------------------------------------

QWidget* CellEditors::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
  QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
  open_ = editor;
  return editor;
}

GridView::GridView(Control& grid, WindowView& view)
    : QTableView(&view), ControlView(grid, view), grid_(grid), cells_(grid, view) {
  setModel(&cells_);
  setItemDelegate(&editors_);
  // A closed editor leaves no widget with the focus (the grid takes none of
  // Qt's own): it goes back to the grid while the model's focus is there.
  connect(&editors_, &QAbstractItemDelegate::closeEditor, this, [this] { focusAfterEdit(); });
  setFocusPolicy(Qt::NoFocus);
  // Edits start from the model's row: a double click, F2 or a typed
  // character (see the key and mouse handlers).
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(dataGrid(grid) ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
  setWordWrap(false);
  setTextElideMode(Qt::ElideNone);
  setAcceptDrops(false);
  viewport()->setMouseTracking(true);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setSectionsClickable(false);
  horizontalHeader()->setHighlightSections(false);
  verticalHeader()->setSectionsClickable(false);
  if (dataGrid(grid)) {
    verticalHeader()->setFixedWidth(14);  // the record selector
  } else {
    verticalHeader()->hide();
    horizontalHeader()->hide();
  }
}

int64_t GridView::rowCount() const { return cells_.rowCount(); }

int64_t GridView::currentRow() const {
  if (DataGrid* g = dataGrid(grid_)) return g->Row();
  return flexGrid(grid_)->Row;
}

void GridView::sync() {
  if (!syncCommon()) {
    finishEdit();
    return;
  }
  syncBackColour();
  const int rowHeight = fontMetrics().height() + 4;
  if (verticalHeader()->defaultSectionSize() != rowHeight) verticalHeader()->setDefaultSectionSize(rowHeight);
  cells_.refresh();
  fitColumn();
  const int64_t row = currentRow();
  const int col = flexGrid(grid_) ? clampToInt(flexGrid(grid_)->Col) : 0;
  if (row >= 0 && row < rowCount()) {
    const QModelIndex at = cells_.index(static_cast<int>(row), col);
    if (currentIndex() != at)
      selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect |
                                                (dataGrid(grid_) ? QItemSelectionModel::Rows
                                                                 : QItemSelectionModel::NoUpdate));
    if (row != shownRow_) scrollTo(at);
    // The row moved or editing was switched off under an open editor.
    if (editing() && (row != shownRow_ || !(cells_.flags(at) & Qt::ItemIsEditable))) finishEdit();
  } else {
    selectionModel()->clear();
  }
  shownRow_ = row;
}

// The cells stand on the grid's back colour.
void GridView::syncBackColour() {
  const QColor back = qcolour(grid_.BackColor, view().palette());
  if (palette().color(QPalette::Base) == back) return;
  QPalette pal = palette();
  pal.setColor(QPalette::Base, back);
  setPalette(pal);
}

// A data grid's one column is as wide as the grid, or as its longest line.
void GridView::fitColumn() {
  if (!dataGrid(grid_) || cells_.columnCount() == 0) return;
  const int want = std::max(viewport()->width(), sizeHintForColumn(0));
  if (columnWidth(0) != want) setColumnWidth(0, want);
}

// The grid with the focus frames its current cell, dotted in the colour of
// the cell's text; a grid without rows frames its empty area.
void GridView::paintEvent(QPaintEvent* e) {
  QTableView::paintEvent(e);
  if (!hasFocus()) return;
  QPainter p(viewport());
  const QModelIndex at = currentIndex();
  if (!at.isValid()) {
    drawFocusFrame(p, viewport()->rect(), palette().color(QPalette::Text));
    return;
  }
  const bool selected = selectionModel()->isSelected(at);
  drawFocusFrame(p, visualRect(at), palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
}

void GridView::focusInEvent(QFocusEvent* e) {
  QTableView::focusInEvent(e);
  viewport()->update();
}

void GridView::focusOutEvent(QFocusEvent* e) {
  QTableView::focusOutEvent(e);
  viewport()->update();
}

bool GridView::editing() const { return editors_.open() && state() == QAbstractItemView::EditingState; }

bool GridView::finishEdit() {
  if (!editing()) return false;
  QWidget* editor = editors_.open();
  commitData(editor);
  closeEditor(editor, QAbstractItemDelegate::NoHint);
  focusAfterEdit();
  return true;
}

void GridView::focusAfterEdit() {
  if (view().attached() && grid_.hasFocus() && isVisible()) setFocus(Qt::OtherFocusReason);
}

bool GridView::startEdit(QKeyEvent* key) {
  const QModelIndex at = currentIndex();
  if (!at.isValid() || !(cells_.flags(at) & Qt::ItemIsEditable)) return false;
  // The grid opens the editor itself; Qt's own triggers stay off.
  if (!QAbstractItemView::edit(at, QAbstractItemView::AllEditTriggers, nullptr)) return false;
  // A typed character starts the edit with itself in place of the old text.
  if (auto* line = qobject_cast<QLineEdit*>(editors_.open()); line && key) line->setText(key->text());
  return true;
}

int GridView::visibleRows() const {
  return std::max(1, viewport()->height() / std::max(1, verticalHeader()->defaultSectionSize()));
}

User::Mouse GridView::mouse(const QMouseEvent& e, Qt::MouseButtons buttons) const {
  return modelMouse(e, e.pos() + viewport()->pos(), buttons, scale());
}

bool GridView::event(QEvent* e) {
  if (tabKey(e)) return true;
  if (e->type() == QEvent::ShortcutOverride) {
    auto* k = static_cast<QKeyEvent*>(e);
    if (!(k->modifiers() & Qt::AltModifier))
      k->accept();
    else
      k->ignore();
    return true;
  }
  return QTableView::event(e);
}

void GridView::keyPressEvent(QKeyEvent* e) {
  // A key the open cell editor passed on (Ctrl on its own, say) stays there.
  if (editing()) return;
  User* u = user();
  if (!u) return;
  const int shift = modelShift(e->modifiers());
  const bool ctrl = e->modifiers() & Qt::ControlModifier;
  const int64_t row = currentRow(), last = std::max<int64_t>(0, rowCount() - 1);
  int64_t to = -1;
  switch (e->key()) {
    case Qt::Key_Up: to = std::max<int64_t>(0, row - 1); break;
    case Qt::Key_Down: to = std::min(last, row + 1); break;
    case Qt::Key_PageUp: to = std::max<int64_t>(0, row - visibleRows()); break;
    case Qt::Key_PageDown: to = std::min(last, row + visibleRows()); break;
    case Qt::Key_Home: to = ctrl ? 0 : row; break;
    case Qt::Key_End: to = ctrl ? last : row; break;
    case Qt::Key_Left:
    case Qt::Key_Right: to = row; break;
    default: break;
  }
  if (to >= 0) {
    u->navigate(grid_, modelKeyCode(e->key()), shift, rowCount() > 0 ? to : -1);
    return;
  }
  if (e->key() == Qt::Key_F2 && startEdit()) return;
  if (ctrl && e->key() >= Qt::Key_A && e->key() <= Qt::Key_Z) {
    u->pressKey(grid_, 'A' + (e->key() - Qt::Key_A), shift);
  } else if (const int code = modelKeyCode(e->key())) {
    u->pressKey(grid_, code, shift);
  } else if (!e->text().isEmpty() && e->text()[0].isPrint() && !(e->modifiers() & Qt::AltModifier)) {
    if (!startEdit(e)) u->typeKeys(grid_, keyboardText(e->text()));
  }
}

void GridView::mousePressEvent(QMouseEvent* e) {
  User* u = user();
  if (!u) return;
  finishEdit();
  const int row = rowAt(e->pos().y());
  u->mouseDown(grid_, mouse(*e, e->button()), e->button() == Qt::LeftButton ? row : -1);
}

void GridView::mouseMoveEvent(QMouseEvent* e) {
  if (User* u = user()) u->mouseMove(grid_, mouse(*e, e->buttons()));
}

void GridView::mouseReleaseEvent(QMouseEvent* e) {
  if (User* u = user()) u->mouseUp(grid_, mouse(*e, e->button()));
}

void GridView::mouseDoubleClickEvent(QMouseEvent* e) {
  User* u = user();
  if (!u) return;
  const int row = rowAt(e->pos().y());
  finishEdit();
  u->mouseDoubleClick(grid_, mouse(*e, e->button()), e->button() == Qt::LeftButton ? row : -1);
  if (e->button() == Qt::LeftButton && row >= 0 && row == currentRow()) startEdit();
}

}  // namespace zuvo::desktop
