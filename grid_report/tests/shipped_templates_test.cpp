// The two templates the program ships, checked against the rows and columns
// the report windows write to.
#include <gtest/gtest.h>

#include <string>

#include "page_layout.h"
#include "template_file.h"

namespace grid {
namespace {

GridData Shipped(const char* name) {
  GridData g;
  EXPECT_TRUE(LoadTemplateFile(std::string(ZZ_SHIPPED_DATA) + name, &g)) << name;
  return g;
}

struct Block {
  int title, unit, year, heading, running, first_data, last_data, total;
};
const Block kFiveDayBlocks[6] = {
    {1, 4, 5, 6, 0, 7, 12, 13},      {16, 19, 20, 21, 22, 23, 27, 28}, {30, 33, 34, 35, 36, 37, 41, 42},
    {45, 48, 49, 50, 51, 52, 56, 57}, {59, 62, 63, 64, 65, 66, 70, 71}, {74, 77, 78, 79, 80, 81, 85, 86}};

const char* const kFiveDayFigures[17] = {
    "挂号", "B超", "治疗", "X光", "多普勒", "手术", "化验", "心电图", "其它", "医疗收入合计",
    "中药", "西药", "药品收入合计", "医疗加药品总计收入", "人次", "防疫收入", "各项收入总合计"};

// Headings may break over lines; they are compared as one line.
std::string OneLine(std::string s) {
  for (size_t at; (at = s.find('\n')) != std::string::npos;) s.erase(at, 1);
  return s;
}

TEST(ShippedTemplates, FiveDayFormHasItsSixBlocksWhereTheFillWrites) {
  GridData g = Shipped("wrbb.grd");
  ASSERT_GE(g.RowCount(), 86);
  ASSERT_GE(g.ColumnCount(), 19);
  for (const Block& b : kFiveDayBlocks) {
    SCOPED_TRACE(b.title);
    // The title goes into column 1 and spans the form.
    EXPECT_EQ(g.RangeAt(b.title, 1), (CellRange{b.title, 1, 1, 19}));
    // The labels stand in the cells just before the ones the fill writes.
    CellRange unit_label = g.RangeAt(b.unit, 2), date_label = g.RangeAt(b.unit, 8);
    EXPECT_EQ(g.CellText(unit_label.row, unit_label.column), "单位：");
    EXPECT_EQ(unit_label.column + unit_label.columns, 3);
    EXPECT_EQ(g.CellText(date_label.row, date_label.column), "截止日期：");
    EXPECT_EQ(date_label.column + date_label.columns, 9);
    // The cells the fill writes start their joins, so the text shows.
    for (int c : {3, 9}) EXPECT_FALSE(g.Covered(b.unit, c));
    EXPECT_FALSE(g.Covered(b.year, 1));
    EXPECT_EQ(g.CellText(b.heading, 1), "月");
    EXPECT_EQ(g.CellText(b.heading, 2), "日");
    for (int i = 0; i < 17; ++i) EXPECT_EQ(OneLine(g.CellText(b.heading, 3 + i)), kFiveDayFigures[i]) << i;
    for (int r = b.first_data; r <= b.last_data; ++r)
      for (int c = 1; c <= 19; ++c) {
        EXPECT_EQ(g.CellText(r, c), "") << r << "," << c;
        EXPECT_FALSE(g.Covered(r, c)) << r << "," << c;
        EXPECT_TRUE(g.Format(r, c).framed) << r << "," << c;
      }
    if (b.running) {
      EXPECT_EQ(g.CellText(b.running, 1), "上期累计");
      for (int c = 3; c <= 19; ++c) EXPECT_FALSE(g.Covered(b.running, c));
    }
    EXPECT_EQ(g.RangeAt(b.total, 1), (CellRange{b.total, 1, 1, 2}));
    EXPECT_EQ(g.CellText(b.total, 1), "合计：");
    for (int c = 3; c <= 19; ++c) EXPECT_TRUE(g.Format(b.total, c).framed);
  }
  // Between the blocks nothing is framed: the blocks stand apart on paper.
  for (int r : {14, 15, 43, 44, 58, 72, 73})
    for (int c = 1; c <= 19; ++c) EXPECT_FALSE(g.Format(r, c).framed) << r << "," << c;
}

TEST(ShippedTemplates, FiveDayFormFitsLandscapeA4) {
  GridData g = Shipped("wrbb.grd");
  // 297 mm less the report's 3 mm margins on either side.
  EXPECT_LE(g.TotalWidth(), 2970 - 60);
  EXPECT_GE(g.TotalWidth(), 2500);
}

TEST(ShippedTemplates, FiveDayFormPrintsTwoWholeBlocksAPage) {
  GridData g = Shipped("wrbb.grd");
  // The five-day report's print settings: landscape A4, margins 3, 3, 3, 2 mm.
  PrintInf inf;
  inf.value = {2, 1, 30, 30, 30, 20, 0, 1, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
  PageLayout p = LayOutPages(g, inf);
  ASSERT_EQ(p.pages.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(p.pages[i].first, kFiveDayBlocks[2 * i].title) << i;
    int next = i < 2 ? kFiveDayBlocks[2 * i + 2].title : g.RowCount() + 1;
    EXPECT_EQ(p.pages[i].last, next - 1) << i;
  }
}

TEST(ShippedTemplates, StatisticsFormHasFourHeadingRowsAndFifteenColumns) {
  GridData g = Shipped("tjbb.grd");
  ASSERT_EQ(g.RowCount(), 4);
  ASSERT_EQ(g.ColumnCount(), 15);
  EXPECT_EQ(g.RangeAt(2, 1), (CellRange{2, 1, 1, 15}));
  const char* headings[15] = {"日期", "挂号", "B超", "治疗", "X光", "多普勒", "手术", "化验",
                              "心电图", "其它", "中药", "西药", "防疫收入", "各项收入总合计", "人次"};
  for (int c = 1; c <= 15; ++c) {
    EXPECT_EQ(OneLine(g.CellText(4, c)), headings[c - 1]) << c;
    EXPECT_FALSE(g.Covered(4, c));
  }
  // The fill appends its first day as row 5.
  g.SetAppendFormat(true);
  g.AppendRows();
  EXPECT_EQ(g.RowCount(), 5);
  EXPECT_TRUE(g.Format(5, 15).framed);
}

}  // namespace
}  // namespace grid
