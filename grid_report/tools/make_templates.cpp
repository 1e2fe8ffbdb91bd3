// Writes the two report templates the main program ships:
//
//   make_templates WRBB_PATH TJBB_PATH
//
// The files are checked in (report_keeper/data); run this after changing a
// layout here and commit what it wrote.
#include <cstdio>
#include <string>

#include "grid_data.h"
#include "template_file.h"

namespace {

using grid::Align;
using grid::CellFormat;
using grid::GridData;

const CellFormat kTitle{false, true, Align::Centre, true};
const CellFormat kHeading{true, true, Align::Centre};
const CellFormat kFigure{true, false, Align::Right};
const CellFormat kCentred{true, false, Align::Centre};
const CellFormat kLabel{false, false, Align::Right};
const CellFormat kPlain{};

// Headings in the order the five-day fill writes columns 3 to 19.
const char* const kFiveDayHeadings[17] = {
    "挂号", "B超", "治疗", "X光", "多普勒", "手术", "化验", "心电图", "其它",
    "医疗收入\n合计", "中药", "西药", "药品收入\n合计", "医疗加药品\n总计收入", "人次",
    "防疫收入", "各项收入\n总合计"};

struct Block {
  int title, first_data, last_data, running, total;
};
// Unit name three rows below the title, the year one further, headings next.
const Block kBlocks[6] = {{1, 7, 12, 0, 13},   {16, 23, 27, 22, 28}, {30, 37, 41, 36, 42},
                          {45, 52, 56, 51, 57}, {59, 66, 70, 65, 71}, {74, 81, 85, 80, 86}};

void Put(GridData& g, int row, int column, const char* text, const CellFormat& f) {
  g.SetCellText(row, column, text);
  g.SetFormat(row, column, f);
}

void Frame(GridData& g, int row, const CellFormat& f) {
  for (int c = 1; c <= g.ColumnCount(); ++c) g.SetFormat(row, c, f);
}

void FiveDayBlock(GridData& g, const Block& b) {
  const int columns = g.ColumnCount();
  g.JoinCells(b.title, 1, 1, columns);
  Put(g, b.title, 1, "卫生系统收入日报表", kTitle);
  g.SetRowHeight(b.title, 110);
  g.SetRowHeight(b.title + 1, 30);
  g.SetRowHeight(b.title + 2, 30);

  int unit = b.title + 3, year = b.title + 4, heading = b.title + 5;
  // The labels take two cells each: one column is too narrow for them.
  g.JoinCells(unit, 1, 1, 2);
  Put(g, unit, 1, "单位：", kLabel);
  g.JoinCells(unit, 3, 1, 4);
  g.JoinCells(unit, 7, 1, 2);
  Put(g, unit, 7, "截止日期：", kLabel);
  g.JoinCells(unit, 9, 1, 4);
  Put(g, unit, 18, "单位：元", kLabel);
  g.JoinCells(unit, 18, 1, 2);

  Frame(g, year, kHeading);
  Put(g, year, 2, "年", kHeading);
  g.JoinCells(year, 3, 1, 10);
  Put(g, year, 3, "医疗收入", kHeading);
  g.JoinCells(year, 13, 1, 3);
  Put(g, year, 13, "药品收入", kHeading);
  g.JoinCells(year, 16, 1, 4);
  Put(g, year, 16, "总计及其它", kHeading);

  Frame(g, heading, kHeading);
  g.SetRowHeight(heading, 100);
  Put(g, heading, 1, "月", kHeading);
  Put(g, heading, 2, "日", kHeading);
  for (int i = 0; i < 17; ++i) Put(g, heading, 3 + i, kFiveDayHeadings[i], kHeading);

  if (b.running) {
    Frame(g, b.running, kFigure);
    g.JoinCells(b.running, 1, 1, 2);
    Put(g, b.running, 1, "上期累计", kCentred);
  }
  for (int r = b.first_data; r <= b.last_data; ++r) {
    Frame(g, r, kFigure);
    g.SetFormat(r, 1, kCentred);
    g.SetFormat(r, 2, kCentred);
  }
  Frame(g, b.total, kFigure);
  g.JoinCells(b.total, 1, 1, 2);
  Put(g, b.total, 1, "合计：", kHeading);
}

GridData FiveDayReport() {
  GridData g(86, 19);
  // Landscape A4 less narrow margins: about 281 mm of columns.
  g.SetColumnWidths(1, 2, 90);
  g.SetColumnWidths(3, 17, 150);
  g.SetColumnWidths(16, 1, 190);
  g.SetColumnWidths(19, 1, 190);
  for (const Block& b : kBlocks) FiveDayBlock(g, b);
  // Each block prints whole, with the blank rows after it: two to a page
  // at the report's landscape A4.
  for (int i = 0; i < 6; ++i) {
    int end = i + 1 < 6 ? kBlocks[i + 1].title - 1 : g.RowCount();
    g.KeepTogether(kBlocks[i].title, end - kBlocks[i].title + 1);
  }
  return g;
}

// Headings in the order the statistics fill writes columns 1 to 15.
const char* const kStatisticsHeadings[15] = {
    "日期", "挂号", "B超", "治疗", "X光", "多普勒", "手术", "化验",
    "心电图", "其它", "中药", "西药", "防疫收入", "各项收入总合计", "人次"};

GridData StatisticsReport() {
  GridData g(4, 15);
  g.SetColumnWidths(1, 1, 225);
  g.SetColumnWidths(2, 13, 210);
  g.SetColumnWidths(14, 1, 300);
  g.SetColumnWidths(15, 1, 200);
  g.SetRowHeight(1, 30);
  g.JoinCells(2, 1, 1, 15);
  Put(g, 2, 1, "统计报表", kTitle);
  g.SetRowHeight(2, 110);
  g.JoinCells(3, 13, 1, 3);
  Put(g, 3, 13, "单位：元", kLabel);
  g.SetRowHeight(4, 80);
  for (int c = 1; c <= 15; ++c) Put(g, 4, c, kStatisticsHeadings[c - 1], kHeading);
  return g;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_templates WRBB_PATH TJBB_PATH\n");
    return 2;
  }
  if (!grid::SaveTemplateFile(argv[1], FiveDayReport()) || !grid::SaveTemplateFile(argv[2], StatisticsReport())) {
    std::fprintf(stderr, "make_templates: could not write the templates\n");
    return 1;
  }
  return 0;
}
