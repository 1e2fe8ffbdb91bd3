// The statistics report: one row per day between two dates, under the
// template's four heading rows, closed by a row of totals.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "date_text.h"
#include "print_inf.h"
#include "report_cells.h"

namespace keeper {

// The database columns of a row's columns 2 to 15, in the form's order; the
// three subtotal columns of the table are not shown.
extern const char* const kStatisticsColumns[14];

struct StatisticsDay {
  zz::DateTime date;
  std::array<std::string, 14> figures;  // in kStatisticsColumns order
};

// Makes (4, 1) the current cell; with a unit name also writes the title
// into cell (2, 1) and sets the column widths. False without a unit name:
// the report stays empty.
bool PrepareStatisticsReport(grid::ReportCells& cells, const std::string& unit_name);

// Appends one framed row per day and the "合 计：" row, whose totals are
// written as the five-day report writes its own (10.5 and 10.5 make 21).
void FillStatisticsRows(grid::ReportCells& cells, const std::vector<StatisticsDay>& days);

// As the five-day report's settings, with field 18 set to 87.
grid::PrintInf StatisticsPrintInf();

}  // namespace keeper
