// The report windows' grid: a template loaded into the grid unit's cells,
// the grid control showing them, and their preview and printing.
#include "report_grid.h"

#include "grid_data.h"
#include "grid_print.h"
#include "grid_view.h"
#include "runtime_window.h"
#include "template_file.h"

namespace keeper {
namespace {

// The cells as the report windows write them. The control draws from the
// cells when it paints: a new text only needs a repaint, while new rows,
// widths and joins change its scroll ranges too, which it must be told of
// (and which redraws its scroll bars at once: too slow for every cell).
class ShownCells : public grid::ReportCells {
 public:
  grid::GridData& data() { return data_; }
  const grid::GridData& data() const { return data_; }
  void ShowIn(HWND view) {
    view_ = view;
    Changed();
  }
  void Hold(bool hold) {
    held_ = hold;
    if (!hold) Changed();
  }

  int RowCount() const override { return data_.RowCount(); }
  int ColumnCount() const override { return data_.ColumnCount(); }
  std::string CellText(int row, int column) const override { return data_.CellText(row, column); }
  void SetCellText(int row, int column, const std::string& text) override {
    data_.SetCellText(row, column, text);
    Repaint();
  }
  void JoinCells(int row, int column, int rows, int columns) override {
    data_.JoinCells(row, column, rows, columns);
    Changed();
  }
  void AppendRows(int count) override {
    data_.AppendRows(count);
    Changed();
  }
  void SetColumnWidths(int first_column, int count, int width) override {
    data_.SetColumnWidths(first_column, count, width);
    Changed();
  }
  void SetAttribute(int row, int column, int rows, int columns, int value) override {
    data_.SetAttribute(row, column, rows, columns, value);
    Repaint();
  }
  void SetAppendFormat(bool data_rows) override { data_.SetAppendFormat(data_rows); }
  void SetCurrentCell(int row, int column) override {
    data_.SetCurrentCell(row, column);
    Repaint();
  }

 private:
  // Each refresh redraws the scroll bars at once: about 16 ms a row under
  // Wine, 17 s for three years of days.
  void Changed() {
    if (view_ && !held_) grid::RefreshGridView(view_);
  }
  void Repaint() {
    if (view_ && !held_) InvalidateRect(view_, nullptr, FALSE);
  }

  grid::GridData data_;
  HWND view_ = nullptr;
  bool held_ = false;
};

class TemplateGrid : public ReportGrid {
 public:
  bool Load(const std::string& path) override { return grid::LoadTemplateFile(path, &cells_.data()); }
  grid::ReportCells& cells() override { return cells_; }
  void Attach(rt::RuntimeWindow& window, const std::string& unit) override {
    owner_ = window.hwnd();
    cells_.ShowIn(grid::AttachGridView(window, unit, cells_.data()));
  }
  void HoldRefresh(bool hold) override { cells_.Hold(hold); }
  void Preview(const grid::PrintInf& settings) override {
    grid::ShowPrintPreview(owner_, cells_.data(), settings);
  }
  void Print(const grid::PrintInf& settings) override { grid::PrintAndTell(owner_, cells_.data(), settings); }

 private:
  ShownCells cells_;
  HWND owner_ = nullptr;
};

}  // namespace

std::unique_ptr<ReportGrid> MakeReportGrid() { return std::make_unique<TemplateGrid>(); }

}  // namespace keeper
