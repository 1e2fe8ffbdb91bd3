#include "grid_data.h"

#include <algorithm>

namespace grid {

namespace {

// Attribute bits as the report windows use them: 8 frames, 1 adds bold.
constexpr int kFramedBit = 8;
constexpr int kBoldBit = 1;

}  // namespace

void GridData::Resize(int rows, int columns) {
  rows = std::clamp(rows, 0, kMaxRows);
  columns = std::clamp(columns, 0, kMaxColumns);
  std::vector<Cell> cells(static_cast<size_t>(rows) * columns);
  for (int r = 1; r <= std::min(rows, rows_); ++r)
    for (int c = 1; c <= std::min(columns, columns_); ++c)
      cells[static_cast<size_t>(r - 1) * columns + (c - 1)] = std::move(*At(r, c));
  cells_ = std::move(cells);
  rows_ = rows;
  columns_ = columns;
  widths_.resize(columns, kDefaultColumnWidth);
  heights_.resize(rows, kDefaultRowHeight);
  joins_.erase(std::remove_if(joins_.begin(), joins_.end(),
                              [&](const CellRange& j) {
                                return j.row + j.rows - 1 > rows_ || j.column + j.columns - 1 > columns_;
                              }),
               joins_.end());
  kept_.erase(std::remove_if(kept_.begin(), kept_.end(), [&](const RowRun& k) { return k.last() > rows_; }),
              kept_.end());
}

GridData::Cell* GridData::At(int row, int column) {
  if (!Inside(row, column)) return nullptr;
  return &cells_[static_cast<size_t>(row - 1) * columns_ + (column - 1)];
}

const GridData::Cell* GridData::At(int row, int column) const {
  return const_cast<GridData*>(this)->At(row, column);
}

std::string GridData::CellText(int row, int column) const {
  const Cell* cell = At(row, column);
  return cell ? cell->text : std::string();
}

void GridData::SetCellText(int row, int column, const std::string& text) {
  if (Cell* cell = At(row, column)) cell->text = text;
}

void GridData::JoinCells(int row, int column, int rows, int columns) {
  // A rectangle reaching out of the grid is cut to it, as a template
  // editor would; nothing of it inside: nothing to join.
  int last_row = std::min(row + rows - 1, rows_), last_column = std::min(column + columns - 1, columns_);
  row = std::max(row, 1);
  column = std::max(column, 1);
  if (last_row < row || last_column < column) return;
  CellRange join{row, column, last_row - row + 1, last_column - column + 1};
  // A new join replaces the ones it overlaps: the grid never shows a cell
  // under two joins.
  joins_.erase(std::remove_if(joins_.begin(), joins_.end(),
                              [&](const CellRange& j) { return j.Overlaps(join); }),
               joins_.end());
  if (join.rows > 1 || join.columns > 1) joins_.push_back(join);
}

bool GridData::KeepTogether(int row, int rows) {
  int last = std::min(row + rows - 1, rows_);
  row = std::max(row, 1);
  if (last < row) return false;
  RowRun run{row, last - row + 1};
  auto at = std::lower_bound(kept_.begin(), kept_.end(), run,
                             [](const RowRun& a, const RowRun& b) { return a.row < b.row; });
  if ((at != kept_.end() && at->row <= run.last()) || (at != kept_.begin() && (at - 1)->last() >= run.row))
    return false;
  kept_.insert(at, run);
  return true;
}

void GridData::AppendRows(int count) {
  if (count <= 0) return;
  int first = rows_ + 1;
  Resize(rows_ + count, columns_);
  CellFormat format;
  if (append_data_rows_) {
    format.framed = true;
    format.align = Align::Centre;
  }
  for (int r = first; r <= rows_; ++r)
    for (int c = 1; c <= columns_; ++c) At(r, c)->format = format;
}

void GridData::SetColumnWidths(int first_column, int count, int width) {
  if (width < 0) return;
  for (int c = first_column; c < first_column + count; ++c)
    if (c >= 1 && c <= columns_) widths_[c - 1] = width;
}

void GridData::SetAttribute(int row, int column, int rows, int columns, int value) {
  value &= 0xF;
  for (int r = row; r < row + rows; ++r)
    for (int c = column; c < column + columns; ++c)
      if (Cell* cell = At(r, c)) cell->attribute = value;
}

void GridData::SetAppendFormat(bool data_rows) { append_data_rows_ = data_rows; }

void GridData::SetCurrentCell(int row, int column) {
  if (!Inside(row, column)) return;
  current_row_ = row;
  current_column_ = column;
}

CellFormat GridData::Format(int row, int column) const {
  const Cell* cell = At(row, column);
  return cell ? cell->format : CellFormat();
}

int GridData::Attribute(int row, int column) const {
  const Cell* cell = At(row, column);
  return cell ? cell->attribute : 0;
}

CellFormat GridData::Shown(int row, int column) const {
  CellFormat f = Format(row, column);
  int a = Attribute(row, column);
  if (a & kFramedBit) f.framed = true;
  if ((a & kFramedBit) && (a & kBoldBit)) f.bold = true;
  return f;
}

void GridData::SetFormat(int row, int column, const CellFormat& format) {
  if (Cell* cell = At(row, column)) cell->format = format;
}

int GridData::ColumnWidth(int column) const {
  return column >= 1 && column <= columns_ ? widths_[column - 1] : 0;
}

int GridData::RowHeight(int row) const { return row >= 1 && row <= rows_ ? heights_[row - 1] : 0; }

void GridData::SetRowHeight(int row, int height) {
  if (row >= 1 && row <= rows_ && height >= 0) heights_[row - 1] = height;
}

int GridData::TotalWidth() const {
  int sum = 0;
  for (int w : widths_) sum += w;
  return sum;
}

int GridData::TotalHeight() const {
  int sum = 0;
  for (int h : heights_) sum += h;
  return sum;
}

CellRange GridData::RangeAt(int row, int column) const {
  for (const CellRange& j : joins_)
    if (j.Contains(row, column)) return j;
  return CellRange{row, column, 1, 1};
}

bool GridData::Covered(int row, int column) const {
  CellRange r = RangeAt(row, column);
  return r.row != row || r.column != column;
}

}  // namespace grid
