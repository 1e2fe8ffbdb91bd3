#include <gtest/gtest.h>

#include "fake_report_cells.h"
#include "five_day_report.h"
#include "sql_text.h"

namespace {

using keeper::DayFigures;
using keeper::FiveDayFill;

// The template's size: 86 rows of 19 columns.
FakeReportCells Form() { return FakeReportCells(86, 19); }

// Days from `first` on, one record each: 挂号 = 1, 2, 3, ... in order;
// B超 = "0.1" every day; 防疫收入 (column 18) empty; the rest a fixed "2".
std::vector<DayFigures> Days(zz::DateTime first, int count) {
  std::vector<DayFigures> out;
  zz::DateTime d = first;
  for (int i = 0; i < count; ++i) {
    DayFigures f;
    f.date = d;
    f.figures.fill("2");
    f.figures[0] = std::to_string(i + 1);
    f.figures[1] = "0.1";
    f.figures[15] = "";
    out.push_back(f);
    if (++d.day > zz::DaysInMonth(d.year, d.month)) {
      d.day = 1;
      if (++d.month > 12) d = {d.year + 1, 1, 1};
    }
  }
  return out;
}

FiveDayFill Fill(const keeper::Period& p, std::vector<DayFigures> records) {
  FiveDayFill f;
  f.unit_name = "某某乡卫生院";
  f.period_text = keeper::FiveDayPeriodText(p);
  f.year_texts = keeper::FiveDayYearTexts(p);
  f.records = std::move(records);
  return f;
}

const int kTotalRows[6] = {13, 28, 42, 57, 71, 86};
const int kRunningRows[6] = {0, 22, 36, 51, 65, 80};
const int kHeadingRows[6] = {4, 19, 33, 48, 62, 77};

TEST(FiveDayTitle, HospitalSuffixReplaced) {
  EXPECT_EQ(keeper::FiveDayTitle("某某乡卫生院"), "某某乡卫生系统收入日报表");
  EXPECT_EQ(keeper::FiveDayTitle("某某医院"), "某某医院卫生系统收入日报表");
  // Every occurrence goes once the name ends with it.
  EXPECT_EQ(keeper::FiveDayTitle("卫生院某卫生院"), "某卫生系统收入日报表");
  // Not at the end: the name stays whole.
  EXPECT_EQ(keeper::FiveDayTitle("卫生院分部"), "卫生院分部卫生系统收入日报表");
}

TEST(FiveDayPeriod, QueriesAndTexts) {
  zz::DateTime any{1999, 9, 9};
  // From today.
  keeper::Period p = keeper::FiveDayPeriod25th(false, any, any, {2011, 2, 10});
  EXPECT_EQ(keeper::PeriodQuery(p),
            "select * from [项目数据] where [日期]>=#2011-1-26# and [日期]<=#2011-2-25#order by [日期]");
  EXPECT_EQ(keeper::FiveDayPeriodText(p), "2011年2月25日");
  p = keeper::FiveDayPeriod25th(false, any, any, {2010, 12, 26});
  EXPECT_EQ(keeper::PeriodQuery(p),
            "select * from [项目数据] where [日期]>=#2010-12-26# and [日期]<=#2011-1-25#order by [日期]");
  p = keeper::FiveDayPeriodMonthEnd(false, any, any, {2024, 2, 3});
  EXPECT_EQ(keeper::PeriodQuery(p),
            "select * from [项目数据] where [日期]>=#2024-2-1# and [日期]<=#2024-2-29#order by [日期]");
  EXPECT_EQ(keeper::FiveDayPeriodText(p), "2024年2月29日");
  // Range mode: only the months of the pickers count.
  p = keeper::FiveDayPeriod25th(true, {2009, 3, 2}, {2009, 4, 30}, any);
  EXPECT_EQ(keeper::PeriodQuery(p),
            "select * from [项目数据] where [日期]>=#2009-3-26# and [日期]<=#2009-4-25#order by [日期]");
  p = keeper::FiveDayPeriodMonthEnd(true, {2009, 4, 7}, {2009, 4, 8}, any);
  EXPECT_EQ(keeper::FiveDayPeriodText(p), "2009年4月30日");
}

TEST(FiveDayPeriod, YearTextsFollowTheBlocksDays) {
  EXPECT_EQ(keeper::FiveDayYearText(2011), "11");
  EXPECT_EQ(keeper::FiveDayYearText(2005), "05");
  auto y = keeper::FiveDayYearTexts({2010, 12, 26, 2011, 1, 25});
  EXPECT_EQ(y[0], "10");
  for (int b = 1; b < 6; ++b) EXPECT_EQ(y[b], "11");
  y = keeper::FiveDayYearTexts({2011, 1, 26, 2011, 2, 25});
  for (int b = 0; b < 6; ++b) EXPECT_EQ(y[b], "11");
  y = keeper::FiveDayYearTexts({2009, 4, 1, 2009, 4, 30});
  for (int b = 0; b < 6; ++b) EXPECT_EQ(y[b], "09");
}

TEST(FiveDayReport, EmptyUnitNameLeavesTheFormUnfilled) {
  FakeReportCells cells = Form();
  EXPECT_FALSE(keeper::PrepareFiveDayReport(cells, ""));
  EXPECT_TRUE(cells.cells.empty());
  EXPECT_EQ(cells.current, std::make_pair(7, 3));
}

TEST(FiveDayReport, TitleReadBackIntoEveryBlock) {
  FakeReportCells cells = Form();
  ASSERT_TRUE(keeper::PrepareFiveDayReport(cells, "某某医院"));
  EXPECT_EQ(cells.current, std::make_pair(7, 3));
  for (int row : {1, 16, 30, 45, 59, 74}) EXPECT_EQ(cells.CellText(row, 1), "某某医院卫生系统收入日报表") << row;
}

TEST(FiveDayReport, Full25thPeriodOf31Days) {
  keeper::Period p{2011, 1, 26, 2011, 2, 25};
  FakeReportCells cells = Form();
  keeper::FillFiveDayBlocks(cells, Fill(p, Days({2011, 1, 26}, 31)));
  EXPECT_EQ(cells.writes_outside, 0);

  // Block 1: days 26 to 31 of January.
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(cells.CellText(7 + i, 1), "1");
    EXPECT_EQ(cells.CellText(7 + i, 2), std::to_string(26 + i));
  }
  // Block 2 starts on 1 February; block 6 ends on the 25th.
  EXPECT_EQ(cells.CellText(23, 1), "2");
  EXPECT_EQ(cells.CellText(23, 2), "1");
  EXPECT_EQ(cells.CellText(85, 2), "25");
  // Columns 3 to 19 in the form's order.
  EXPECT_EQ(cells.CellText(7, 3), "1");
  EXPECT_EQ(cells.CellText(7, 4), "0.1");
  EXPECT_EQ(cells.CellText(7, 18), "");
  EXPECT_EQ(cells.CellText(7, 19), "2");

  for (int b = 0; b < 6; ++b) {
    SCOPED_TRACE(b);
    EXPECT_EQ(cells.CellText(kHeadingRows[b], 3), "某某乡卫生院");
    EXPECT_EQ(cells.CellText(kHeadingRows[b], 9), "2011年2月25日");
    EXPECT_EQ(cells.CellText(kHeadingRows[b] + 1, 1), "11");
    EXPECT_EQ(cells.CellText(kTotalRows[b], 1), "合计：");
    EXPECT_EQ(cells.joins[b], std::make_tuple(kTotalRows[b], 1, 1, 2));
    // Empty cells count as 0.
    EXPECT_EQ(cells.CellText(kTotalRows[b], 18), "0");
  }
  ASSERT_EQ(cells.joins.size(), 6u);

  // 挂号 runs 1..31: each total is the sum since the period began.
  const char* running[6] = {"21", "66", "136", "231", "351", "496"};
  // 0.1 a day, kept with its decimals.
  const char* tenths[6] = {"0.6", "1.1", "1.6", "2.1", "2.6", "3.1"};
  const char* twos[6] = {"12", "22", "32", "42", "52", "62"};
  for (int b = 0; b < 6; ++b) {
    SCOPED_TRACE(b);
    EXPECT_EQ(cells.CellText(kTotalRows[b], 3), running[b]);
    EXPECT_EQ(cells.CellText(kTotalRows[b], 4), tenths[b]);
    EXPECT_EQ(cells.CellText(kTotalRows[b], 19), twos[b]);
    if (b > 0) {
      for (int c = 3; c <= 19; ++c) EXPECT_EQ(cells.CellText(kRunningRows[b], c), cells.CellText(kTotalRows[b - 1], c));
    }
  }
  // Nothing written into the template's other columns or the running-total
  // rows' first two columns.
  EXPECT_EQ(cells.CellText(22, 1), "");
  EXPECT_EQ(cells.CellText(22, 2), "");
}

TEST(FiveDayReport, FebruaryMonthEndPeriodEndsInsideTheLastBlock) {
  keeper::Period p{2023, 2, 1, 2023, 2, 28};
  FakeReportCells cells = Form();
  keeper::FillFiveDayBlocks(cells, Fill(p, Days({2023, 2, 1}, 28)));
  EXPECT_EQ(cells.CellText(77, 9), "2023年2月28日");
  EXPECT_EQ(cells.CellText(12, 2), "6");
  EXPECT_EQ(cells.CellText(27, 2), "11");
  EXPECT_EQ(cells.CellText(70, 2), "26");
  EXPECT_EQ(cells.CellText(81, 2), "27");
  EXPECT_EQ(cells.CellText(82, 2), "28");
  EXPECT_EQ(cells.CellText(83, 2), "");
  EXPECT_EQ(cells.CellText(83, 3), "");
  // The last block still gets its running total and its total.
  EXPECT_EQ(cells.CellText(80, 3), "351");
  EXPECT_EQ(cells.CellText(86, 3), "406");  // 1 + ... + 28
  EXPECT_EQ(cells.CellText(86, 4), "2.8");
  EXPECT_EQ(cells.CellText(86, 5), "56");
  EXPECT_EQ(cells.CellText(86, 1), "合计：");
}

TEST(FiveDayReport, ThirtyOneDaysAtMonthEndFillEveryRow) {
  keeper::Period p{2010, 12, 1, 2010, 12, 31};
  FakeReportCells cells = Form();
  keeper::FillFiveDayBlocks(cells, Fill(p, Days({2010, 12, 1}, 31)));
  EXPECT_EQ(cells.CellText(85, 2), "31");
  EXPECT_EQ(cells.CellText(86, 3), "496");
  EXPECT_EQ(cells.CellText(78, 1), "10");
}

TEST(FiveDayReport, RecordsRunningOutStopTheFill) {
  keeper::Period p{2011, 1, 26, 2011, 2, 25};
  FakeReportCells cells = Form();
  keeper::FillFiveDayBlocks(cells, Fill(p, Days({2011, 1, 26}, 8)));
  // Block 2 holds two days and its total.
  EXPECT_EQ(cells.CellText(24, 2), "2");
  EXPECT_EQ(cells.CellText(25, 2), "");
  EXPECT_EQ(cells.CellText(22, 3), "21");
  EXPECT_EQ(cells.CellText(28, 3), "36");
  EXPECT_EQ(cells.CellText(28, 1), "合计：");
  // Block 3 and later: no heading, running total, total or join.
  EXPECT_EQ(cells.CellText(33, 3), "");
  EXPECT_EQ(cells.CellText(36, 3), "");
  EXPECT_EQ(cells.CellText(42, 3), "");
  EXPECT_EQ(cells.CellText(42, 1), "");
  EXPECT_EQ(cells.joins.size(), 2u);
}

TEST(FiveDayReport, RecordsEndingWithABlockGiveTheNextNothing) {
  keeper::Period p{2011, 1, 26, 2011, 2, 25};
  FakeReportCells cells = Form();
  keeper::FillFiveDayBlocks(cells, Fill(p, Days({2011, 1, 26}, 6)));
  EXPECT_EQ(cells.CellText(13, 3), "21");
  EXPECT_EQ(cells.CellText(22, 3), "");
  EXPECT_EQ(cells.CellText(19, 3), "");
  EXPECT_EQ(cells.joins.size(), 1u);
}

TEST(FiveDayReport, NoRecordsGiveTheFirstBlockZeroTotals) {
  keeper::Period p{2011, 1, 26, 2011, 2, 25};
  FakeReportCells cells = Form();
  keeper::FillFiveDayBlocks(cells, Fill(p, {}));
  EXPECT_EQ(cells.CellText(4, 3), "某某乡卫生院");
  EXPECT_EQ(cells.CellText(7, 1), "");
  for (int c = 3; c <= 19; ++c) EXPECT_EQ(cells.CellText(13, c), "0");
  EXPECT_EQ(cells.CellText(22, 3), "");
  EXPECT_EQ(cells.joins.size(), 1u);
}

TEST(FiveDayReport, MoreRecordsThanRowsUseOnlyTheFirst31) {
  keeper::Period p{2011, 1, 26, 2011, 2, 25};
  FakeReportCells cells = Form();
  keeper::FillFiveDayBlocks(cells, Fill(p, Days({2011, 1, 26}, 40)));
  EXPECT_EQ(cells.writes_outside, 0);
  EXPECT_EQ(cells.CellText(85, 2), "25");
  EXPECT_EQ(cells.CellText(86, 3), "496");
}

TEST(FiveDayReport, TotalsUseTheProgramsNumberText) {
  keeper::Period p{2011, 1, 26, 2011, 2, 25};
  std::vector<DayFigures> days = Days({2011, 1, 26}, 6);
  days[0].figures[2] = "1e13";
  days[1].figures[2] = "12abc";  // the leading number only
  days[2].figures[2] = "abc";
  days[3].figures[2] = "";
  days[4].figures[2] = "-0.5";
  days[5].figures[2] = "0";
  FakeReportCells cells = Form();
  keeper::FillFiveDayBlocks(cells, Fill(p, days));
  EXPECT_EQ(cells.CellText(13, 5), "1.000000000001e+013");
}

TEST(FiveDayReport, PrintSettings) {
  grid::PrintInf inf = keeper::FiveDayPrintInf();
  grid::PrintInf defaults;
  std::array<int, 19> expected = defaults.value;
  expected[0] = 2;
  expected[1] = 1;
  expected[2] = expected[3] = expected[4] = 30;
  expected[5] = 20;
  EXPECT_EQ(inf.value, expected);
  EXPECT_TRUE(inf.Landscape());
  EXPECT_EQ(inf.text, "");
}

}  // namespace
