#include "date_text.h"

#include <gtest/gtest.h>

namespace {

using zz::DateTime;

TEST(DateText, DropsTimePartsThatAreZeroFromTheRight) {
  EXPECT_EQ(zz::FormatDateTime({2010, 3, 26, 0, 0, 0}), "2010年3月26日");
  EXPECT_EQ(zz::FormatDateTime({2010, 3, 26, 8, 0, 0}), "2010年3月26日8时");
  EXPECT_EQ(zz::FormatDateTime({2010, 3, 26, 8, 5, 0}), "2010年3月26日8时5分");
  EXPECT_EQ(zz::FormatDateTime({2010, 3, 26, 8, 5, 3}), "2010年3月26日8时5分3秒");
  EXPECT_EQ(zz::FormatDateTime({2010, 3, 26, 0, 0, 9}), "2010年3月26日0时0分9秒");
  EXPECT_EQ(zz::FormatDateTime({2010, 3, 26, 0, 7, 0}), "2010年3月26日0时7分");
}

TEST(DateText, ParsesEveryFormItWrites) {
  DateTime samples[] = {{2010, 3, 26, 0, 0, 0}, {2010, 3, 26, 8, 0, 0}, {2010, 12, 1, 8, 5, 0},
                        {2024, 2, 29, 23, 59, 59}, {2010, 3, 26, 0, 0, 9}};
  for (const DateTime& d : samples) {
    auto back = zz::ParseDateTime(zz::FormatDateTime(d));
    ASSERT_TRUE(back.has_value()) << zz::FormatDateTime(d);
    EXPECT_EQ(*back, d);
  }
}

TEST(DateText, ParsesIsoAndSlashForms) {
  EXPECT_EQ(zz::ParseDateTime("2010-3-26"), (DateTime{2010, 3, 26, 0, 0, 0}));
  EXPECT_EQ(zz::ParseDateTime("2010/03/06"), (DateTime{2010, 3, 6, 0, 0, 0}));
  EXPECT_EQ(zz::ParseDateTime("2010-03-26 14:05:09"), (DateTime{2010, 3, 26, 14, 5, 9}));
  EXPECT_EQ(zz::ParseDateTime("2010-03-26 14:05"), (DateTime{2010, 3, 26, 14, 5, 0}));
}

TEST(DateText, RefusesImpossibleOrMalformedDates) {
  const char* bad[] = {"",          "2010",          "2010-2-30",   "2023-2-29",
                       "2010-13-1", "2010-3/26",     "2010年3月",   "2010年3月26日25时",
                       "abc",       "2010-3-26 1:2:", "2010年3月26日8分", "2010-3-26x"};
  for (const char* text : bad) EXPECT_FALSE(zz::ParseDateTime(text).has_value()) << text;
}

TEST(DateText, KnowsLeapYearsAndMonthLengths) {
  EXPECT_EQ(zz::DaysInMonth(2024, 2), 29);
  EXPECT_EQ(zz::DaysInMonth(2023, 2), 28);
  EXPECT_EQ(zz::DaysInMonth(1900, 2), 28);
  EXPECT_EQ(zz::DaysInMonth(2000, 2), 29);
  EXPECT_EQ(zz::DaysInMonth(2010, 4), 30);
  EXPECT_EQ(zz::DaysInMonth(2010, 13), 0);
}

}  // namespace
