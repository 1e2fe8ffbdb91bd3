// What the report windows write a report into: the cells of a grid data
// source loaded from a report template. Rows and columns count from 1, as
// the templates count them; every cell holds GBK text.
#pragma once

#include <string>

namespace grid {

class ReportCells {
 public:
  virtual ~ReportCells() = default;

  virtual int RowCount() const = 0;
  virtual int ColumnCount() const = 0;
  // "" for an empty cell or one outside the grid.
  virtual std::string CellText(int row, int column) const = 0;
  // Outside the grid: ignored.
  virtual void SetCellText(int row, int column, const std::string& text) = 0;
  // The rectangle becomes one cell, shown with the text of its top-left.
  virtual void JoinCells(int row, int column, int rows, int columns) = 0;
  virtual void AppendRows(int count = 1) = 0;
  // Widths in the grid's width unit (a tenth of a millimetre).
  virtual void SetColumnWidths(int first_column, int count, int width) = 0;
  // A 4-bit display attribute of a rectangle: 8 draws its cells framed by
  // thin lines, 9 also sets their text bold.
  virtual void SetAttribute(int row, int column, int rows, int columns, int value) = 0;
  // Rows appended from now on take the data-row format (framed, centred)
  // when `data_rows` is true, the template's plain format otherwise.
  virtual void SetAppendFormat(bool data_rows) = 0;
  // The cell the grid shows as current.
  virtual void SetCurrentCell(int row, int column) = 0;
};

}  // namespace grid
