// Report cells kept in a map, with the calls the grid would act on recorded
// so that tests can see joins, attributes and widths.
#pragma once

#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "report_cells.h"

class FakeReportCells : public grid::ReportCells {
 public:
  FakeReportCells(int rows, int columns) : rows_(rows), columns_(columns) {}

  int RowCount() const override { return rows_; }
  int ColumnCount() const override { return columns_; }
  std::string CellText(int row, int column) const override {
    auto it = cells.find({row, column});
    return it == cells.end() ? "" : it->second;
  }
  void SetCellText(int row, int column, const std::string& text) override {
    if (row < 1 || row > rows_ || column < 1 || column > columns_) {
      ++writes_outside;
      return;
    }
    cells[{row, column}] = text;
  }
  void JoinCells(int row, int column, int rows, int columns) override {
    joins.emplace_back(row, column, rows, columns);
  }
  void AppendRows(int count) override {
    rows_ += count;
    for (int i = 0; i < count; ++i) appended_formats.push_back(append_format);
  }
  void SetColumnWidths(int first, int count, int width) override { widths.emplace_back(first, count, width); }
  void SetAttribute(int row, int column, int rows, int columns, int value) override {
    attributes.push_back({row, column, rows, columns, value});
  }
  void SetAppendFormat(bool data_rows) override { append_format = data_rows; }
  void SetCurrentCell(int row, int column) override { current = {row, column}; }

  std::map<std::pair<int, int>, std::string> cells;
  std::vector<std::tuple<int, int, int, int>> joins;
  std::vector<std::tuple<int, int, int>> widths;
  std::vector<std::vector<int>> attributes;
  std::vector<bool> appended_formats;
  bool append_format = false;
  std::pair<int, int> current{0, 0};
  int writes_outside = 0;

 private:
  int rows_, columns_;
};
