#include "platform/grid.h"

namespace zuvo {

FlexGrid::FlexGrid(Window& owner, std::string name) : Control(owner, std::move(name), ControlKind::FlexGrid) {}

int64_t FlexGrid::Rows() const { return source_ ? source_->gridRows() : rows_; }
int64_t FlexGrid::Cols() const { return source_ ? source_->gridCols() : cols_; }
void FlexGrid::setRows(int64_t n) { rows_ = n < 0 ? 0 : n; }
void FlexGrid::setCols(int64_t n) { cols_ = n < 0 ? 0 : n; }

Text FlexGrid::TextMatrix(int64_t row, int64_t col) const {
  if (row < 0 || col < 0 || row >= Rows() || col >= Cols()) return {};
  if (source_) return source_->gridCell(row, col);
  if (row < static_cast<int64_t>(cells_.size()) && col < static_cast<int64_t>(cells_[row].size()))
    return cells_[row][col];
  return {};
}

TextView FlexGrid::cellView(int64_t row, int64_t col) const {
  if (row < 0 || col < 0 || row >= Rows() || col >= Cols()) return {};
  if (source_) return source_->gridCellView(row, col);
  if (row < static_cast<int64_t>(cells_.size()) && col < static_cast<int64_t>(cells_[row].size()))
    return cells_[row][col];
  return {};
}

int64_t GridSource::gridFind(int64_t col, TextView what, int64_t fromRow) {
  for (int64_t r = fromRow < 0 ? 0 : fromRow, n = gridRows(); r < n; ++r)
    if (gridCellView(r, col).find(what) != TextView::npos) return r;
  return -1;
}

int64_t FlexGrid::findInColumn(int64_t col, TextView what, int64_t fromRow) const {
  if (col < 0 || col >= Cols()) return -1;
  if (source_) return source_->gridFind(col, what, fromRow);
  for (int64_t r = fromRow < 0 ? 0 : fromRow, n = Rows(); r < n; ++r)
    if (cellView(r, col).find(what) != TextView::npos) return r;
  return -1;
}

void FlexGrid::setTextMatrix(int64_t row, int64_t col, TextView t) {
  if (source_ || row < 0 || col < 0 || row >= rows_ || col >= cols_) return;
  if (row >= static_cast<int64_t>(cells_.size())) cells_.resize(row + 1);
  if (col >= static_cast<int64_t>(cells_[row].size())) cells_[row].resize(col + 1);
  cells_[row][col] = Text(t);
}

DataGrid::DataGrid(Window& owner, std::string name) : Control(owner, std::move(name), ControlKind::DataGrid) {}

int64_t DataGrid::Rows() const { return source_ ? source_->gridRows() : 0; }

Text DataGrid::cell(int64_t row) const {
  if (!source_) return {};
  const int64_t col = source_->gridColumn(DataField);
  if (col < 0 || row < 0 || row >= source_->gridRows()) return {};
  return source_->gridCell(row, col);
}

void DataGrid::setRow(int64_t r) {
  if (source_ && source_->gridMoveTo(r)) return;  // the table's move runs sourceMoved
  if (r == row_) return;
  row_ = r;
  run(RowColChange);
}

void DataGrid::setText(TextView t) {
  if (!source_) return;
  const int64_t col = source_->gridColumn(DataField);
  if (col >= 0) source_->gridWrite(row_, col, t);
}

void DataGrid::sourceMoved() {
  if (!source_) return;
  const int64_t r = source_->gridCurrentRow();
  if (r < 0 || r == row_) return;  // no current record: the grid keeps its row
  row_ = r;
  run(RowColChange);
}

}  // namespace zuvo
