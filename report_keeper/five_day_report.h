// The five-day report: one settlement period laid into the fixed form of
// its template, six blocks of days, each closed by a total row that runs
// from the start of the period.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "date_text.h"
#include "print_inf.h"
#include "report_cells.h"
#include "settlement.h"

namespace keeper {

// The database columns of a data row's columns 3 to 19, in the form's order.
extern const char* const kFiveDayColumns[17];

constexpr int kFiveDayBlocks = 6;
// Data rows of all six blocks together: no period holds more days.
constexpr int kFiveDayCapacity = 31;

struct DayFigures {
  zz::DateTime date;
  std::array<std::string, 17> figures;  // in kFiveDayColumns order
};

// The unit name with "卫生院" taken out, when it ends with it, then
// "卫生系统收入日报表".
std::string FiveDayTitle(const std::string& unit_name);

// The period the report covers. Outside range mode it follows today;
// in range mode the months of the two date pickers.
Period FiveDayPeriod25th(bool range_mode, const zz::DateTime& start, const zz::DateTime& end,
                         const zz::DateTime& today);
Period FiveDayPeriodMonthEnd(bool range_mode, const zz::DateTime& start, const zz::DateTime& end,
                             const zz::DateTime& today);

// "2011年2月25日": the period's last day.
std::string FiveDayPeriodText(const Period& period);
// The last two digits of a year ("05" for 2005).
std::string FiveDayYearText(int year);
// Each block shows the year of the days it stands for: in the 25th mode the
// first block holds the first month's last days, so it takes the first
// day's year; every other block takes the last day's year.
std::array<std::string, kFiveDayBlocks> FiveDayYearTexts(const Period& period);

// The period's records in date order.
using FiveDayRecords = std::vector<DayFigures>;

struct FiveDayFill {
  std::string unit_name;
  std::string period_text;
  std::array<std::string, kFiveDayBlocks> year_texts;
  FiveDayRecords records;  // at most kFiveDayCapacity are used
};

// Makes (7, 3) the current cell and, when a unit name is set, writes the
// title into cell (1, 1) and the text read back from it into the title rows
// of blocks 2 to 6. False without a unit name: the form stays unfilled.
bool PrepareFiveDayReport(grid::ReportCells& cells, const std::string& unit_name);

// Fills the blocks in order, one record per data row. The block in which
// the records run out still gets its total; later blocks stay untouched.
// Without any record the first block shows its heading and zero totals.
void FillFiveDayBlocks(grid::ReportCells& cells, const FiveDayFill& fill);

// Paper 2, landscape, margins 30, 30, 30, 20; the rest the defaults.
grid::PrintInf FiveDayPrintInf();

}  // namespace keeper
