#include <gtest/gtest.h>

#include "report_precondition.h"

namespace {

using keeper::CheckFiveDayPrecondition;
using keeper::FiveDayCheckInput;
using keeper::ReportCheck;

ReportCheck Range(bool on_25th, zz::DateTime start, zz::DateTime end) {
  FiveDayCheckInput in;
  in.on_25th = on_25th;
  in.range_mode = true;
  in.start = start;
  in.end = end;
  in.list_rows = 0;  // ignored in range mode
  in.today = {2000, 6, 15};
  return CheckFiveDayPrecondition(in);
}

ReportCheck List(bool on_25th, int rows, zz::DateTime today) {
  FiveDayCheckInput in;
  in.on_25th = on_25th;
  in.list_rows = rows;
  in.today = today;
  // A range left in the pickers must not matter without range mode.
  in.start = {2011, 1, 26};
  in.end = {2011, 2, 25};
  return CheckFiveDayPrecondition(in);
}

TEST(FiveDayPrecondition, RangeOn25thJudgesLengthByTheStartMonth) {
  EXPECT_EQ(Range(true, {2011, 1, 26}, {2011, 2, 25}), ReportCheck::Ok);  // 31 days, January
  EXPECT_EQ(Range(true, {2011, 2, 26}, {2011, 3, 25}), ReportCheck::Ok);  // 28 days, February
  EXPECT_EQ(Range(true, {2012, 2, 26}, {2012, 3, 25}), ReportCheck::Ok);  // 29 days, leap February
  EXPECT_EQ(Range(true, {2011, 2, 26}, {2011, 3, 27}), ReportCheck::RangeLength);  // 30 days, February
  EXPECT_EQ(Range(true, {2011, 4, 26}, {2011, 5, 25}), ReportCheck::Ok);  // 30 days, April
  EXPECT_EQ(Range(true, {2011, 4, 26}, {2011, 5, 26}), ReportCheck::RangeLength);
  // December into the next year.
  EXPECT_EQ(Range(true, {2010, 12, 26}, {2011, 1, 25}), ReportCheck::Ok);
  // Right length, wrong days.
  EXPECT_EQ(Range(true, {2011, 1, 1}, {2011, 1, 31}), ReportCheck::RangeBounds);
  EXPECT_EQ(Range(true, {2011, 3, 27}, {2011, 4, 26}), ReportCheck::RangeBounds);
  // End before start.
  EXPECT_EQ(Range(true, {2011, 2, 25}, {2011, 1, 26}), ReportCheck::RangeLength);
}

TEST(FiveDayPrecondition, RangeAtMonthEndUsesTheCalendar) {
  EXPECT_EQ(Range(false, {2024, 2, 1}, {2024, 2, 29}), ReportCheck::Ok);
  EXPECT_EQ(Range(false, {2023, 2, 1}, {2023, 2, 28}), ReportCheck::Ok);
  EXPECT_EQ(Range(false, {2023, 2, 1}, {2023, 3, 1}), ReportCheck::RangeLength);  // 29 days
  EXPECT_EQ(Range(false, {2010, 3, 2}, {2010, 4, 1}), ReportCheck::RangeBounds);  // 31 days, wrong days
  EXPECT_EQ(Range(false, {2010, 12, 1}, {2010, 12, 31}), ReportCheck::Ok);
  EXPECT_EQ(Range(false, {2010, 4, 1}, {2010, 4, 30}), ReportCheck::Ok);
  EXPECT_EQ(Range(false, {2010, 4, 1}, {2010, 5, 1}), ReportCheck::RangeLength);
}

TEST(FiveDayPrecondition, RangeLengthToleratesOnlyTinyFractions) {
  zz::DateTime start{2010, 12, 1}, end{2010, 12, 31};
  end.second = 1;  // 1/86400 of a day is far above the tolerance
  EXPECT_EQ(Range(false, start, end), ReportCheck::RangeLength);
  end.second = 0;
  start.hour = 12;
  EXPECT_EQ(Range(false, start, end), ReportCheck::RangeLength);
}

TEST(FiveDayPrecondition, ListOn25thNeedsTheFirstMonthsDaysExactly) {
  EXPECT_EQ(List(true, 28, {2011, 3, 10}), ReportCheck::Ok);  // period from February
  EXPECT_EQ(List(true, 29, {2011, 3, 10}), ReportCheck::Ok);
  EXPECT_EQ(List(true, 30, {2011, 3, 10}), ReportCheck::TooFewRows);
  EXPECT_EQ(List(true, 27, {2011, 3, 10}), ReportCheck::TooFewRows);
  EXPECT_EQ(List(true, 31, {2011, 1, 26}), ReportCheck::Ok);  // day 26: this month
  EXPECT_EQ(List(true, 30, {2011, 1, 26}), ReportCheck::TooFewRows);
  EXPECT_EQ(List(true, 31, {2011, 1, 25}), ReportCheck::Ok);  // day 25: December
  EXPECT_EQ(List(true, 30, {2011, 5, 20}), ReportCheck::Ok);  // April
  EXPECT_EQ(List(true, 31, {2011, 5, 20}), ReportCheck::TooFewRows);
}

TEST(FiveDayPrecondition, ListAtMonthEndNeedsTodaysMonthExactly) {
  EXPECT_EQ(List(false, 31, {2010, 12, 31}), ReportCheck::Ok);
  EXPECT_EQ(List(false, 30, {2010, 12, 31}), ReportCheck::TooFewRows);
  EXPECT_EQ(List(false, 32, {2010, 12, 31}), ReportCheck::TooFewRows);
  EXPECT_EQ(List(false, 29, {2024, 2, 3}), ReportCheck::Ok);
  EXPECT_EQ(List(false, 28, {2024, 2, 3}), ReportCheck::TooFewRows);
  EXPECT_EQ(List(false, 28, {2023, 2, 3}), ReportCheck::Ok);
}

TEST(FiveDayPrecondition, WarningTexts) {
  EXPECT_STREQ(keeper::FiveDayWarningText(ReportCheck::Ok), "");
  EXPECT_STREQ(keeper::FiveDayWarningText(ReportCheck::RangeLength),
               "你选择的日期范围，不符合打印五日报表的要求，请重新选择！");
  EXPECT_STREQ(keeper::FiveDayWarningText(ReportCheck::RangeBounds),
               "系统当前的打印模式与你选择的日期范围不符，请重新设置模式或者重新选择日期范围！");
  EXPECT_STREQ(keeper::FiveDayWarningText(ReportCheck::TooFewRows),
               "你当前的数据量小于本月应有的天数，不符合打印五日报表的要求，请到结算尾日再来打印！或者请检查是否"
               "有遗漏的数据未入帐！");
}

}  // namespace
