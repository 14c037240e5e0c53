#pragma once
// The widget of a data grid or flex grid: the grid's table read from the
// model as rows are painted, its current row shown; clicks, keys and typing
// go to the model, which moves the row and runs the grid's handlers.

#include <QAbstractTableModel>
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
  // The grid's table may have changed: rows are read again.
  void refresh();

 private:
  int64_t rows() const;
  int64_t cols() const;
  Control& grid_;
  const WindowView& view_;
  int shownRows_ = 0, shownCols_ = 0;
};

class GridView : public QTableView, public ControlView {
 public:
  GridView(Control& grid, WindowView& view);
  QWidget& widget() override { return *this; }
  void sync() override;
  // The row the grid stands on in the model.
  int64_t currentRow() const;

 protected:
  bool event(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent*) override {}
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void contextMenuEvent(QContextMenuEvent*) override {}

 private:
  User::Mouse mouse(const QMouseEvent& e, Qt::MouseButtons buttons) const;
  int64_t rowCount() const;
  int visibleRows() const;
  void fitColumn();

  Control& grid_;
  GridCells cells_;
  int64_t shownRow_ = -1;
};

}  // namespace zuvo::desktop
