#include <gtest/gtest.h>

#include "fake_report_cells.h"
#include "sql_text.h"
#include "statistics_report.h"

namespace {

using keeper::StatisticsDay;

// The template's heading: four rows of 15 columns.
FakeReportCells Heading() { return FakeReportCells(4, 15); }

StatisticsDay Day(zz::DateTime date, const std::string& all) {
  StatisticsDay d;
  d.date = date;
  d.figures.fill(all);
  return d;
}

TEST(StatisticsReport, HeadingTitleAndColumnWidths) {
  FakeReportCells cells = Heading();
  ASSERT_TRUE(keeper::PrepareStatisticsReport(cells, "某某乡卫生院"));
  EXPECT_EQ(cells.CellText(2, 1), "某某乡卫生院统计报表");
  EXPECT_EQ(cells.current, std::make_pair(4, 1));
  std::vector<std::tuple<int, int, int>> widths = {{1, 1, 225}, {2, 13, 210}, {14, 1, 300}, {15, 1, 200}};
  EXPECT_EQ(cells.widths, widths);
}

TEST(StatisticsReport, EmptyUnitNameWritesNothing) {
  FakeReportCells cells = Heading();
  EXPECT_FALSE(keeper::PrepareStatisticsReport(cells, ""));
  EXPECT_TRUE(cells.cells.empty());
  EXPECT_TRUE(cells.widths.empty());
  EXPECT_EQ(cells.current, std::make_pair(4, 1));
}

TEST(StatisticsReport, NoDaysGiveOnlyTheTotalRowOfZeros) {
  FakeReportCells cells = Heading();
  keeper::FillStatisticsRows(cells, {});
  EXPECT_EQ(cells.RowCount(), 5);
  EXPECT_EQ(cells.CellText(5, 1), "合 计：");
  for (int c = 2; c <= 15; ++c) EXPECT_EQ(cells.CellText(5, c), "0") << c;
  std::vector<std::vector<int>> attributes = {{5, 1, 1, 1, 9}, {5, 2, 1, 14, 8}};
  EXPECT_EQ(cells.attributes, attributes);
  EXPECT_EQ(cells.writes_outside, 0);
}

TEST(StatisticsReport, DayRowsInTheFormsOrder) {
  StatisticsDay d;
  d.date = {2010, 3, 5};
  for (int i = 0; i < 14; ++i) d.figures[i] = std::to_string(i + 2);
  FakeReportCells cells = Heading();
  keeper::FillStatisticsRows(cells, {d, Day({2010, 12, 31}, "1")});
  EXPECT_EQ(cells.RowCount(), 7);
  EXPECT_EQ(cells.CellText(5, 1), "2010-3-5");
  EXPECT_EQ(cells.CellText(6, 1), "2010-12-31");
  for (int c = 2; c <= 15; ++c) {
    EXPECT_EQ(cells.CellText(5, c), std::to_string(c)) << c;
    EXPECT_EQ(cells.CellText(7, c), std::to_string(c + 1)) << c;
  }
  EXPECT_EQ(cells.CellText(7, 1), "合 计：");
  // Day rows take the data-row format; the total row is appended while it
  // is still in force.
  EXPECT_EQ(cells.appended_formats, std::vector<bool>({true, true, true}));
  std::vector<std::vector<int>> attributes = {{1, 1, 6, 15, 8}, {7, 1, 1, 1, 9}, {7, 2, 1, 14, 8}};
  EXPECT_EQ(cells.attributes, attributes);
}

TEST(StatisticsReport, TotalsAreExactToTheCent) {
  FakeReportCells cells = Heading();
  std::vector<StatisticsDay> days = {Day({2010, 3, 1}, "10.5"), Day({2010, 3, 2}, "10.5")};
  days[0].figures[1] = "-1.5";
  days[1].figures[1] = "-1.5";
  days[0].figures[2] = "";
  days[1].figures[2] = "x";
  days[0].figures[3] = "0.9";
  days[1].figures[3] = "0.9";
  days[0].figures[4] = "12345678901";
  days[1].figures[4] = "1";
  keeper::FillStatisticsRows(cells, days);
  EXPECT_EQ(cells.CellText(7, 2), "21");
  EXPECT_EQ(cells.CellText(7, 3), "-3");
  EXPECT_EQ(cells.CellText(7, 4), "0");
  EXPECT_EQ(cells.CellText(7, 5), "1.8");
  EXPECT_EQ(cells.CellText(7, 6), "12345678902");

  // A year of 挂号 at 12.34 a day.
  FakeReportCells year = Heading();
  keeper::FillStatisticsRows(year, std::vector<StatisticsDay>(365, Day({2010, 1, 1}, "12.34")));
  EXPECT_EQ(year.CellText(year.RowCount(), 2), "4504.1");
}

TEST(StatisticsReport, QueryAndPrintSettings) {
  EXPECT_EQ(keeper::StatisticsQuery({2010, 3, 5}, {2010, 12, 31}),
            "select * from [项目数据] where [日期]>=#2010-3-5# and [日期]<=#2010-12-31#order by [日期]");
  grid::PrintInf inf = keeper::StatisticsPrintInf();
  EXPECT_EQ(inf.value[0], 2);
  EXPECT_EQ(inf.value[1], 1);
  EXPECT_EQ(inf.value[2], 30);
  EXPECT_EQ(inf.value[3], 30);
  EXPECT_EQ(inf.value[4], 30);
  EXPECT_EQ(inf.value[5], 20);
  EXPECT_EQ(inf.value[18], 87);
  EXPECT_EQ(inf.value[15], 1);
}

}  // namespace
