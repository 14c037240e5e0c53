#pragma once
// The widget of a data grid or flex grid: the grid's table read from the
// model as rows are painted, its current row shown; clicks, keys and typing
// go to the model, which moves the row and runs the grid's handlers.

#include <QAbstractTableModel>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>

#include "desktop/window_view.h"

namespace zuvo::desktop {

class GridCells : public QAbstractTableModel {
 public:
  GridCells(Control& grid, const WindowView& view) : grid_(grid), view_(view) {}
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation o, int role) const override;
  // A data grid's current cell is editable while the grid allows updates;
  // the finished edit goes to the model as the user's cell edit.
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  // The grid's table may have changed: rows are read again.
  void refresh();

 private:
  int64_t rows() const;
  int64_t cols() const;
  Control& grid_;
  const WindowView& view_;
  int shownRows_ = 0, shownCols_ = 0;
};

// Remembers the open cell editor, so that the grid can finish the edit
// before it forwards the next gesture.
class CellEditors : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  QWidget* open() const { return open_; }

 private:
  mutable QPointer<QWidget> open_;
};

class GridView : public QTableView, public ControlView {
 public:
  GridView(Control& grid, WindowView& view);
  QWidget& widget() override { return *this; }
  void sync() override;
  // The row the grid stands on in the model.
  int64_t currentRow() const;
  // A cell being edited: its text goes to the model now and the editor
  // closes. True when an editor was open.
  bool finishEdit();
  bool editing() const;

 protected:
  bool event(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent*) override {}
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void contextMenuEvent(QContextMenuEvent*) override {}
  // The focus is drawn as a frame (see the definition).
  void paintEvent(QPaintEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

 private:
  User::Mouse mouse(const QMouseEvent& e, Qt::MouseButtons buttons) const;
  int64_t rowCount() const;
  int visibleRows() const;
  void fitColumn();
  void syncBackColour();

  // Opens the editor on the current cell when the grid allows updates.
  bool startEdit(QKeyEvent* key = nullptr);
  void focusAfterEdit();

  Control& grid_;
  GridCells cells_;
  CellEditors editors_;
  int64_t shownRow_ = -1;
};

}  // namespace zuvo::desktop
