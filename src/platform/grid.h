#pragma once
// Grids: a flex grid mirrors a whole table (or holds its own cells when
// unbound); a data grid shows one bound column of a table.

#include <functional>
#include <vector>

#include "platform/control.h"

namespace zuvo {

// The table a grid mirrors, in stored order; the store implements it.
class GridSource {
 public:
  virtual ~GridSource() = default;
  virtual int64_t gridRows() = 0;
  virtual int64_t gridCols() = 0;
  // Text of field `col` of the record in stored position `row` (from 0).
  virtual Text gridCell(int64_t row, int64_t col) = 0;
  // The same without a copy, valid until the table next changes; for scans
  // over the whole grid.
  virtual TextView gridCellView(int64_t row, int64_t col) = 0;
  // Column index of a field by name, or -1.
  virtual int64_t gridColumn(const Text& field) = 0;
  // The first row from `fromRow` on whose cell in column `col` contains
  // `what`, or -1.
  virtual int64_t gridFind(int64_t col, TextView what, int64_t fromRow);

  // A table with a current record, which its data grids follow. The stored
  // position of the current record, or -1 when there is none.
  virtual int64_t gridCurrentRow() { return -1; }
  // Makes the record in stored position `row` current, as a pick in a grid
  // does; false when the table keeps no current record (the grid then keeps
  // its own row).
  virtual bool gridMoveTo(int64_t row) {
    (void)row;
    return false;
  }
  // Writes field `col` of the current record, as a bound box does; false
  // when `row` is not the current record's position.
  virtual bool gridWrite(int64_t row, int64_t col, TextView value) {
    (void)row, (void)col, (void)value;
    return false;
  }
};

class FlexGrid : public Control {
 public:
  FlexGrid(Window& owner, std::string name);

  void bind(GridSource* source) { source_ = source; }
  GridSource* source() const { return source_; }

  int64_t Rows() const;
  int64_t Cols() const;
  void setRows(int64_t n);
  void setCols(int64_t n);
  Prop<int64_t> Row{*this, 0};
  Prop<int64_t> Col{*this, 0};
  Text TextMatrix(int64_t row, int64_t col) const;
  void setTextMatrix(int64_t row, int64_t col, TextView t);
  Text text() const { return TextMatrix(Row, Col); }
  // A cell without a copy, valid until the grid's table next changes.
  TextView cellView(int64_t row, int64_t col) const;
  // The first row from `fromRow` on whose cell in column `col` contains
  // `what`, or -1: a scan of the whole column at memory speed.
  int64_t findInColumn(int64_t col, TextView what, int64_t fromRow = 0) const;

 private:
  GridSource* source_ = nullptr;
  int64_t rows_ = 2, cols_ = 2;
  std::vector<std::vector<Text>> cells_;
};

class DataGrid : public Control {
 public:
  DataGrid(Window& owner, std::string name);

  void bind(GridSource* source) { source_ = source; }
  GridSource* source() const { return source_; }
  // The field its one column shows; may be set at run time.
  Text DataField;
  Prop<bool> AllowUpdate{*this, false};

  int64_t Rows() const;
  Text cell(int64_t row) const;
  int64_t Row() const { return row_; }
  // The current cell's text: the current record's field.
  Text text() const { return cell(row_); }
  // Moves the current row, and with it the table's current record;
  // RowColChange runs when the row changes.
  void setRow(int64_t r);
  // Writes the current cell into the current record, saved when the table
  // next moves. The user's edits are refused while AllowUpdate is off; the
  // program's are not.
  void setText(TextView t);
  // The table moved its current record: the grid follows, and RowColChange
  // runs when its row changed.
  void sourceMoved();
  std::function<void()> RowColChange;

 private:
  GridSource* source_ = nullptr;
  Prop<int64_t> row_{*this, 0};
};

}  // namespace zuvo
