// A report grid held in memory: the cells of a loaded template, the joins
// and formats that shape them, and the print settings handed to it. The
// grid control, the preview and the printer all draw from one of these.
#pragma once

#include <string>
#include <vector>

#include "print_inf.h"
#include "report_cells.h"

namespace grid {

enum class Align { Left, Centre, Right };

struct CellFormat {
  bool framed = false;
  bool bold = false;
  Align align = Align::Left;
  bool title = false;  // drawn in the larger title type
  bool operator==(const CellFormat& o) const {
    return framed == o.framed && bold == o.bold && align == o.align && title == o.title;
  }
  bool operator!=(const CellFormat& o) const { return !(*this == o); }
};

// A rectangle of cells shown as one; rows and columns count from 1.
struct CellRange {
  int row = 1, column = 1, rows = 1, columns = 1;
  bool Contains(int r, int c) const {
    return r >= row && r < row + rows && c >= column && c < column + columns;
  }
  bool Overlaps(const CellRange& o) const {
    return row < o.row + o.rows && o.row < row + rows && column < o.column + o.columns &&
           o.column < column + columns;
  }
  bool operator==(const CellRange& o) const {
    return row == o.row && column == o.column && rows == o.rows && columns == o.columns;
  }
};

// Rows printed on one page: a block of a form that must not be cut between
// its heading and its figures.
struct RowRun {
  int row = 1, rows = 1;
  int last() const { return row + rows - 1; }
  bool operator==(const RowRun& o) const { return row == o.row && rows == o.rows; }
};

class GridData : public ReportCells {
 public:
  // Sizes are in tenths of a millimetre, the unit of the templates.
  static constexpr int kDefaultColumnWidth = 200;
  static constexpr int kDefaultRowHeight = 60;
  // Far beyond any report, and small enough that a damaged size cannot
  // make the grid eat the memory.
  static constexpr int kMaxRows = 100000;
  static constexpr int kMaxColumns = 256;

  GridData() = default;
  GridData(int rows, int columns) { Resize(rows, columns); }

  // Cells, widths and heights outside the new size are dropped, joins and
  // kept runs reaching outside it are undone.
  void Resize(int rows, int columns);

  int RowCount() const override { return rows_; }
  int ColumnCount() const override { return columns_; }
  std::string CellText(int row, int column) const override;
  void SetCellText(int row, int column, const std::string& text) override;
  void JoinCells(int row, int column, int rows, int columns) override;
  void AppendRows(int count = 1) override;
  void SetColumnWidths(int first_column, int count, int width) override;
  void SetAttribute(int row, int column, int rows, int columns, int value) override;
  void SetAppendFormat(bool data_rows) override;
  void SetCurrentCell(int row, int column) override;

  bool Inside(int row, int column) const {
    return row >= 1 && row <= rows_ && column >= 1 && column <= columns_;
  }
  // The format the template (or the append format) gave the cell.
  CellFormat Format(int row, int column) const;
  void SetFormat(int row, int column, const CellFormat& format);
  // The 4-bit attribute last set on the cell (0 when none was).
  int Attribute(int row, int column) const;
  // The format the cell is drawn with: the attribute adds to the template's
  // format, so that framing a heading does not take its bold away.
  CellFormat Shown(int row, int column) const;
  int ColumnWidth(int column) const;
  int RowHeight(int row) const;
  void SetRowHeight(int row, int height);
  int TotalWidth() const;
  int TotalHeight() const;

  const std::vector<CellRange>& joins() const { return joins_; }
  // Keeps the rows on one page when printed; cut to the grid like a join.
  // False when nothing of it is inside or it overlaps a run already kept.
  bool KeepTogether(int row, int rows);
  const std::vector<RowRun>& kept() const { return kept_; }
  // The join covering the cell, or the cell alone.
  CellRange RangeAt(int row, int column) const;
  // True for a cell hidden under a join it does not start.
  bool Covered(int row, int column) const;

  int current_row() const { return current_row_; }
  int current_column() const { return current_column_; }
  bool appends_data_rows() const { return append_data_rows_; }

  // The settings are kept as the printing will use them.
  void ApplyPrintInf(const PrintInf& inf) { print_inf_ = inf.Clamped(); }
  const PrintInf& print_inf() const { return print_inf_; }

 private:
  struct Cell {
    std::string text;
    CellFormat format;
    int attribute = 0;
  };
  Cell* At(int row, int column);
  const Cell* At(int row, int column) const;

  int rows_ = 0, columns_ = 0;
  std::vector<Cell> cells_;  // row by row
  std::vector<int> widths_, heights_;
  std::vector<CellRange> joins_;
  std::vector<RowRun> kept_;  // in row order
  int current_row_ = 1, current_column_ = 1;
  bool append_data_rows_ = false;
  PrintInf print_inf_;
};

}  // namespace grid
