#include "qv_report_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(QvReportText, RecordAdmitsWhatFitsAndEmptiesAnOverlongValue) {
  StatisticsReport report;
  const std::wstring type29(29, L't'), value99(99, L'v');
  ASSERT_TRUE(QvFillReport(&report, L"http://h/api.ashx", type29.c_str(), value99.c_str()));
  EXPECT_EQ(type29, report.type);
  EXPECT_EQ(value99, report.value);

  ASSERT_TRUE(QvFillReport(&report, L"http://h/api.ashx", L"open", (value99 + L"v").c_str()));
  EXPECT_EQ(std::wstring(), report.value);
  ASSERT_TRUE(QvFillReport(&report, L"http://h/api.ashx", L"open", nullptr));
  EXPECT_EQ(std::wstring(), report.value);

  EXPECT_FALSE(QvFillReport(&report, L"http://h/api.ashx", (type29 + L"t").c_str(), L"v"));
  EXPECT_FALSE(QvFillReport(&report, nullptr, L"open", L"v"));
  EXPECT_FALSE(QvFillReport(&report, L"http://h/api.ashx", nullptr, L"v"));
  // An endpoint that would have to be cut is refused, not sent elsewhere.
  const std::wstring endpoint = L"http://" + std::wstring(183, L'h') + L"/api.ashx";
  ASSERT_EQ(199u, endpoint.size());
  EXPECT_TRUE(QvFillReport(&report, endpoint.c_str(), L"open", L""));
  EXPECT_FALSE(QvFillReport(&report, (endpoint + L"x").c_str(), L"open", L""));
}

TEST(QvReportText, UidKeepsTwentyCharactersAtAnyTickCount) {
  EXPECT_EQ(L"QV000012340000732767", QvFormatUid(1234, 7, 32767));
  // Past 27.8 hours of uptime, and past 2^31 ms, the tick still fills eight.
  EXPECT_EQ(L"QV234567890000100002", QvFormatUid(123456789, 1, 2));
  EXPECT_EQ(L"QV949672950000000000", QvFormatUid(4294967295UL, 0, 0));

  EXPECT_TRUE(QvIsUid(L"QV000012340000732767"));
  for (const wchar_t* bad : {L"QV00001234000073276", L"QV0000123400007327670", L"qv000012340000732767",
                             L"QV00001234000073276x", L"", static_cast<const wchar_t*>(nullptr)})
    EXPECT_FALSE(QvIsUid(bad)) << (bad ? bad : L"(null)");
}

TEST(QvReportText, ValueIsEscapedAsUtf8Bytes) {
  EXPECT_EQ(L"a%20b%26c%3dd%e4%b8%ad%3f", QvEscapeReportValue(L"a b&c=d\x4e2d?"));
  EXPECT_EQ(L"100%-_.~", QvEscapeReportValue(L"100%-_.~"));
  EXPECT_EQ(L"", QvEscapeReportValue(nullptr));
  // 99 characters of three UTF-8 bytes each: 891 characters, still whole.
  EXPECT_EQ(891u, QvEscapeReportValue(std::wstring(99, L'\x4e2d').c_str()).size());
  // What cannot be escaped within the query's room goes empty, never raw.
  EXPECT_EQ(L"", QvEscapeReportValue(std::wstring(400, L'\x4e2d').c_str()));
}

TEST(QvReportText, QueryHoldsEveryFieldInOrderWithoutALengthLimit) {
  EXPECT_EQ(L"http://h/api.ashx?type=open&value=&uuid=QV000000010000200003&sign=-5",
            QvReportQuery(L"http://h/api.ashx", L"open", L"", L"QV000000010000200003", -5));
  const std::wstring endpoint = L"http://" + std::wstring(190, L'h');
  const std::wstring value(891, L'%');
  std::wstring query = QvReportQuery(endpoint.c_str(), L"t", value, L"QV000000010000200003", 1);
  EXPECT_GT(query.size(), 1024u);
  EXPECT_EQ(L"&uuid=QV000000010000200003&sign=1", query.substr(query.size() - 33));
}

}  // namespace
