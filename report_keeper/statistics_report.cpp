#include "statistics_report.h"

#include "five_day_report.h"
#include "number_text.h"
#include "sql_text.h"

namespace keeper {
namespace {

constexpr int kColumns = 15;
constexpr int kFirstDayRow = 5;  // after the template's four heading rows

}  // namespace

const char* const kStatisticsColumns[14] = {"挂号", "B超",  "治疗", "X光",  "多普勒",   "手术",          "化验",
                                            "心电图", "其它", "中药", "西药", "防疫收入", "各项收入总合计", "人次"};

bool PrepareStatisticsReport(grid::ReportCells& cells, const std::string& unit_name) {
  if (unit_name.empty()) {
    cells.SetCurrentCell(4, 1);
    return false;
  }
  cells.SetCellText(2, 1, unit_name + "统计报表");
  cells.SetCurrentCell(4, 1);
  // Column 14 is set twice on purpose: the last width given wins.
  cells.SetColumnWidths(1, 1, 225);
  cells.SetColumnWidths(2, 13, 210);
  cells.SetColumnWidths(14, 1, 300);
  cells.SetColumnWidths(15, 1, 200);
  return true;
}

void FillStatisticsRows(grid::ReportCells& cells, const std::vector<StatisticsDay>& days) {
  int last_row = 0;
  for (const StatisticsDay& day : days) {
    cells.SetAppendFormat(true);
    cells.AppendRows(1);
    int row = cells.RowCount();
    last_row = row;
    cells.SetCellText(row, 1, DashDate(day.date.year, day.date.month, day.date.day));
    for (int i = 0; i < 14; ++i) cells.SetCellText(row, 2 + i, day.figures[i]);
  }
  // Without any day the rectangle would be empty: nothing to frame.
  if (last_row > 0) cells.SetAttribute(1, 1, last_row, kColumns, 8);
  cells.AppendRows(1);
  int total = cells.RowCount();
  cells.SetCellText(total, 1, "合 计：");
  cells.SetAttribute(total, 1, 1, 1, 9);
  // Summed and written as the five-day report sums its totals, so that the
  // two reports agree for the same days.
  for (int c = 2; c <= kColumns; ++c) {
    double sum = 0;
    for (int r = kFirstDayRow; r < total; ++r) sum += zz::ParseNumber(cells.CellText(r, c));
    cells.SetCellText(total, c, zz::FormatNumber(sum));
  }
  cells.SetAttribute(total, 2, 1, kColumns - 1, 8);
}

grid::PrintInf StatisticsPrintInf() {
  grid::PrintInf inf = FiveDayPrintInf();
  inf.value[18] = 87;
  return inf;
}

}  // namespace keeper
