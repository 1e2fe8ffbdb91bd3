#include "five_day_report.h"

#include "number_text.h"

namespace keeper {
namespace {

struct Block {
  int title_row;  // rows 16.. carry the title again; block 1's is cell (1, 1)
  int heading_row;  // unit name in column 3, period text in column 9
  int year_row;
  int first_data_row, last_data_row;
  int running_total_row;  // 0: the first block has none
  int total_row;
};

const Block kBlocks[kFiveDayBlocks] = {
    {1, 4, 5, 7, 12, 0, 13},      {16, 19, 20, 23, 27, 22, 28}, {30, 33, 34, 37, 41, 36, 42},
    {45, 48, 49, 52, 56, 51, 57}, {59, 62, 63, 66, 70, 65, 71}, {74, 77, 78, 81, 85, 80, 86}};

constexpr int kFirstFigureColumn = 3;
constexpr int kLastFigureColumn = 19;

// The six rows that make a block's total: the running total (when there is
// one) and the data rows.
int FirstSummedRow(const Block& b) { return b.running_total_row ? b.running_total_row : b.first_data_row; }

void WriteTotals(grid::ReportCells& cells, const Block& b) {
  for (int c = kFirstFigureColumn; c <= kLastFigureColumn; ++c) {
    double sum = 0;
    for (int r = FirstSummedRow(b); r < FirstSummedRow(b) + 6; ++r) sum += zz::ParseNumber(cells.CellText(r, c));
    cells.SetCellText(b.total_row, c, zz::FormatNumber(sum));
  }
}

// Where the fill stands between blocks.
struct FillPosition {
  std::size_t next = 0;    // the record the next data row takes
  bool FiveDayEnd = false;  // the records ran out: the fill stops
  int LastTotalRow = 0;    // the block total written last
};

void FillBlock(grid::ReportCells& cells, const FiveDayFill& fill, int block, FillPosition& at) {
  const Block& b = kBlocks[block];
  cells.SetCellText(b.heading_row, 3, fill.unit_name);
  cells.SetCellText(b.heading_row, 9, fill.period_text);
  cells.SetCellText(b.year_row, 1, fill.year_texts[block]);
  cells.JoinCells(b.total_row, 1, 1, 2);
  cells.SetCellText(b.total_row, 1, "合计：");
  at.LastTotalRow = b.total_row;
  // Only the first block can meet an empty record list; the fill then
  // leaves its data rows empty rather than read past the end.
  at.FiveDayEnd = at.next >= fill.records.size();
  for (int row = b.first_data_row; row <= b.last_data_row && !at.FiveDayEnd; ++row) {
    const DayFigures& day = fill.records[at.next++];
    cells.SetCellText(row, 1, std::to_string(day.date.month));
    cells.SetCellText(row, 2, std::to_string(day.date.day));
    for (int i = 0; i < 17; ++i) cells.SetCellText(row, kFirstFigureColumn + i, day.figures[i]);
    at.FiveDayEnd = at.next >= fill.records.size();
  }
  WriteTotals(cells, b);
}

}  // namespace

const char* const kFiveDayColumns[17] = {"挂号", "B超", "治疗", "X光", "多普勒", "手术",
                                         "化验", "心电图", "其它", "医疗收入合计", "中药", "西药",
                                         "药品收入合计", "医疗加药品总计收入", "人次", "防疫收入",
                                         "各项收入总合计"};

std::string FiveDayTitle(const std::string& unit_name) {
  static const std::string kHospital = "卫生院";
  static const std::string kSuffix = "卫生系统收入日报表";
  bool ends_with = unit_name.size() >= kHospital.size() &&
                   unit_name.compare(unit_name.size() - kHospital.size(), kHospital.size(), kHospital) == 0;
  if (!ends_with) return unit_name + kSuffix;
  // Removal goes character by character: a GBK trail byte can equal a lead
  // byte, so a byte search could match across two characters.
  std::string out;
  for (std::size_t i = 0; i < unit_name.size();) {
    if (unit_name.compare(i, kHospital.size(), kHospital) == 0) {
      i += kHospital.size();
      continue;
    }
    std::size_t len = static_cast<unsigned char>(unit_name[i]) >= 0x81 && i + 1 < unit_name.size() ? 2 : 1;
    out.append(unit_name, i, len);
    i += len;
  }
  return out + kSuffix;
}

Period FiveDayPeriod25th(bool range_mode, const zz::DateTime& start, const zz::DateTime& end,
                         const zz::DateTime& today) {
  if (range_mode) return {start.year, start.month, 26, end.year, end.month, 25};
  return SettlementPeriod(SettlementMode::On25th, today);
}

Period FiveDayPeriodMonthEnd(bool range_mode, const zz::DateTime& start, const zz::DateTime& end,
                             const zz::DateTime& today) {
  if (range_mode) return {start.year, start.month, 1, end.year, end.month, zz::DaysInMonth(end.year, end.month)};
  return SettlementPeriod(SettlementMode::MonthEnd, today);
}

std::string FiveDayPeriodText(const Period& p) {
  return std::to_string(p.last_year) + "年" + std::to_string(p.last_month) + "月" + std::to_string(p.last_day) +
         "日";
}

std::string FiveDayYearText(int year) {
  std::string digits = std::to_string(year);
  if (digits.size() < 2) digits.insert(0, 2 - digits.size(), '0');
  return digits.substr(digits.size() - 2);
}

std::array<std::string, kFiveDayBlocks> FiveDayYearTexts(const Period& p) {
  std::array<std::string, kFiveDayBlocks> out;
  out.fill(FiveDayYearText(p.last_year));
  if (p.first_day != 1) out[0] = FiveDayYearText(p.first_year);
  return out;
}

bool PrepareFiveDayReport(grid::ReportCells& cells, const std::string& unit_name) {
  cells.SetCurrentCell(7, 3);
  if (unit_name.empty()) return false;
  cells.SetCellText(1, 1, FiveDayTitle(unit_name));
  std::string title = cells.CellText(1, 1);
  for (int b = 1; b < kFiveDayBlocks; ++b) cells.SetCellText(kBlocks[b].title_row, 1, title);
  return true;
}

void FillFiveDayBlocks(grid::ReportCells& cells, const FiveDayFill& fill) {
  FillPosition at;
  for (int k = 0; k < kFiveDayBlocks; ++k) {
    FillBlock(cells, fill, k, at);
    if (at.FiveDayEnd) return;
    if (k + 1 < kFiveDayBlocks) {
      const Block& later = kBlocks[k + 1];
      for (int c = kFirstFigureColumn; c <= kLastFigureColumn; ++c)
        cells.SetCellText(later.running_total_row, c, cells.CellText(at.LastTotalRow, c));
    }
  }
}

grid::PrintInf FiveDayPrintInf() {
  grid::PrintInf inf;
  inf.value[grid::PrintInf::kPaper] = 2;
  inf.value[grid::PrintInf::kOrientation] = 1;
  inf.value[grid::PrintInf::kLeft] = 30;
  inf.value[grid::PrintInf::kTop] = 30;
  inf.value[grid::PrintInf::kRight] = 30;
  inf.value[grid::PrintInf::kBottom] = 20;
  return inf;
}

}  // namespace keeper
