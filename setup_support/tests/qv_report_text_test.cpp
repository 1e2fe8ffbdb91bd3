#include "qv_report_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(QvReportText, RecordAdmitsWhatFitsAndEmptiesAnOverlongValue) {
  StatisticsReport r;
  const std::wstring t29(29, L't'), v99(99, L'v');
  const std::wstring endpoint = L"http://" + std::wstring(183, L'h') + L"/api.ashx";  // 199
  ASSERT_TRUE(QvFillReport(&r, endpoint.c_str(), t29.c_str(), v99.c_str()));
  EXPECT_EQ(v99, r.value);
  ASSERT_TRUE(QvFillReport(&r, L"http://h/api.ashx", L"open", (v99 + L"v").c_str()));
  EXPECT_EQ(std::wstring(), r.value);
  EXPECT_FALSE(QvFillReport(&r, L"http://h/api.ashx", (t29 + L"t").c_str(), L"v"));
  EXPECT_FALSE(QvFillReport(&r, L"http://h/api.ashx", nullptr, L"v"));
  // An endpoint that would have to be cut is refused, not sent elsewhere.
  EXPECT_FALSE(QvFillReport(&r, (endpoint + L"x").c_str(), L"open", L""));
}

TEST(QvReportText, UidKeepsTwentyCharactersAtAnyTickCount) {
  EXPECT_EQ(L"QV000012340000732767", QvFormatUid(1234, 7, 32767));
  // Past 27.8 hours of uptime, and past 2^31 ms, the tick still fills eight.
  EXPECT_EQ(L"QV949672950000100002", QvFormatUid(4294967295UL, 1, 2));
  EXPECT_TRUE(QvIsUid(L"QV000012340000732767"));
  for (const wchar_t* bad :
       {L"QV00001234000073276", L"QV0000123400007327670", L"QV00001234000073276x"})
    EXPECT_FALSE(QvIsUid(bad)) << bad;
}

TEST(QvReportText, ValueIsEscapedAsUtf8BytesOrSentEmpty) {
  EXPECT_EQ(L"a%20b%26c%3dd%e4%b8%ad%3f100%", QvEscapeReportValue(L"a b&c=d\x4e2d?100%"));
  EXPECT_EQ(891u, QvEscapeReportValue(std::wstring(99, L'\x4e2d').c_str()).size());
  // What cannot be escaped within the query's room goes empty, never raw.
  EXPECT_EQ(L"", QvEscapeReportValue(std::wstring(400, L'\x4e2d').c_str()));
  // Nor is the query itself held to the old 1024 units.
  std::wstring query = QvReportQuery(L"http://h/api.ashx", L"t", std::wstring(1100, L'%'),
                                     L"QV000000010000200003", -5);
  EXPECT_EQ(L"&uuid=QV000000010000200003&sign=-5", query.substr(query.size() - 34));
}

}  // namespace
