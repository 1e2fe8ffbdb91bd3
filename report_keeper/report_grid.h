// What the report windows need from the grid unit: a template loaded into a
// data source, its cells, the grid control showing them, preview and print.
#pragma once

#include <memory>
#include <string>

#include "print_inf.h"
#include "report_cells.h"

namespace rt {
class RuntimeWindow;
}

namespace keeper {

class ReportGrid {
 public:
  virtual ~ReportGrid() = default;
  // Loads a template file (GBK path); false when it is missing or unreadable.
  virtual bool Load(const std::string& path) = 0;
  virtual grid::ReportCells& cells() = 0;
  // Shows the cells in the window's grid unit of that name.
  virtual void Attach(rt::RuntimeWindow& window, const std::string& unit) = 0;
  // While held, the control is not told of new rows and widths; it is told
  // once when released. A long report is filled first, then shown.
  virtual void HoldRefresh(bool hold) = 0;
  virtual void Preview(const grid::PrintInf& settings) = 0;
  // Prints with the default printer and one copy; a failure is told in a
  // box over the window the grid is attached to.
  virtual void Print(const grid::PrintInf& settings) = 0;
};

std::unique_ptr<ReportGrid> MakeReportGrid();

}  // namespace keeper
