// Until the grid unit is part of the program, no template loads: the
// report windows then say so and close, as they do for a missing template.
#include "report_grid.h"

namespace keeper {
namespace {

class NoCells : public grid::ReportCells {
 public:
  int RowCount() const override { return 0; }
  int ColumnCount() const override { return 0; }
  std::string CellText(int, int) const override { return ""; }
  void SetCellText(int, int, const std::string&) override {}
  void JoinCells(int, int, int, int) override {}
  void AppendRows(int) override {}
  void SetColumnWidths(int, int, int) override {}
  void SetAttribute(int, int, int, int, int) override {}
  void SetAppendFormat(bool) override {}
  void SetCurrentCell(int, int) override {}
};

class NoGrid : public ReportGrid {
 public:
  bool Load(const std::string&) override { return false; }
  grid::ReportCells& cells() override { return cells_; }
  void Attach(rt::RuntimeWindow&, const std::string&) override {}
  void Preview(const grid::PrintInf&) override {}
  std::string Print(const grid::PrintInf&) override { return ""; }

 private:
  NoCells cells_;
};

}  // namespace

std::unique_ptr<ReportGrid> MakeReportGrid() { return std::make_unique<NoGrid>(); }

}  // namespace keeper
