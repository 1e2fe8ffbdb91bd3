// The text work of the statistics reports: the request record, the
// installation id, the escaped value and the query. No Windows API, so it is
// built and tested on every platform.
#pragma once

#include <cstddef>
#include <string>

constexpr std::size_t kQvReportEndpointUnits = 200;
constexpr std::size_t kQvReportTypeUnits = 30;
constexpr std::size_t kQvReportValueUnits = 100;
// Callers of CreateUID hand in this many units.
constexpr std::size_t kQvUidUnits = 50;
constexpr std::size_t kQvUidChars = 20;

struct StatisticsReport {
  wchar_t endpoint[kQvReportEndpointUnits];
  wchar_t type[kQvReportTypeUnits];
  wchar_t value[kQvReportValueUnits];
};

// Fills a zeroed record. False, with nothing sent, for a missing endpoint or
// type, a type of 30 characters or more, or an endpoint of 200 or more (a cut
// endpoint would send the report somewhere else). A missing or overlong
// value leaves the value empty.
bool QvFillReport(StatisticsReport* report, const wchar_t* endpoint, const wchar_t* type,
                  const wchar_t* value);

// "QV", the tick count modulo 10^8 as eight digits, and two numbers of
// 0..32767 as five digits each: always kQvUidChars characters.
std::wstring QvFormatUid(unsigned long tick, int first, int second);
// True for "QV" and 18 digits, the only id that is reused or sent.
bool QvIsUid(const wchar_t* text);

// The value as UTF-8, percent-escaped; empty when it cannot be escaped.
std::wstring QvEscapeReportValue(const wchar_t* value);

// "<endpoint>?type=<type>&value=<escaped>&uuid=<uid>&sign=<sign>".
std::wstring QvReportQuery(const wchar_t* endpoint, const wchar_t* type,
                           const std::wstring& escaped_value, const wchar_t* uid, int sign);
