#include "qv_log_format.h"

#include <gtest/gtest.h>

namespace {

TEST(QvLogFormat, LinesAndDailyFileNames) {
  EXPECT_EQ(QvLogLine({2024, 3, 7, 9, 5, 2}, L"hello"), L"2024-03-07 09:05:02\thello\r\n");
  EXPECT_EQ(QvLogLine({2024, 12, 31, 23, 59, 59}, L""), L"2024-12-31 23:59:59\t\r\n");
  EXPECT_EQ(QvLogFileName(L"C:\\Setup\\", {2024, 3, 7, 0, 0, 0}), L"C:\\Setup\\QV-2024-3-7.log");
  EXPECT_EQ(QvLogFileName(L"C:\\", {2025, 1, 1, 0, 0, 1}), L"C:\\QV-2025-1-1.log");
}

TEST(QvLogFormat, LongTextsAreCutTo1023Characters) {
  std::wstring long_text(2000, L'x');
  EXPECT_EQ(QvLogCut(long_text).size(), 1023u);
  EXPECT_EQ(QvLogCut(L"short"), L"short");
}

}  // namespace
