#include "qv_report_text.h"

#include <cstring>
#include <cwchar>
#include <vector>

#include "qv_utils_text.h"

namespace {

bool CopyIfShorter(wchar_t* field, std::size_t units, const wchar_t* text) {
  if (!text) return false;
  std::size_t length = std::wcslen(text);
  if (length >= units) return false;
  std::wmemcpy(field, text, length + 1);
  return true;
}

}  // namespace

bool QvFillReport(StatisticsReport* report, const wchar_t* endpoint, const wchar_t* type,
                  const wchar_t* value) {
  if (!report || !endpoint || !type) return false;
  std::memset(report, 0, sizeof *report);
  if (!CopyIfShorter(report->endpoint, kQvReportEndpointUnits, endpoint) ||
      !CopyIfShorter(report->type, kQvReportTypeUnits, type)) {
    std::memset(report, 0, sizeof *report);
    return false;
  }
  if (!CopyIfShorter(report->value, kQvReportValueUnits, value)) report->value[0] = L'\0';
  return true;
}

std::wstring QvFormatUid(unsigned long tick, int first, int second) {
  wchar_t text[kQvUidUnits];
  // Modulo 10^8: a PC up for more than 27.8 hours would otherwise give a
  // longer id, which is never reused.
  std::swprintf(text, kQvUidUnits, L"QV%08lu%05d%05d", tick % 100000000UL, first & 0x7FFF,
                second & 0x7FFF);
  return text;
}

bool QvIsUid(const wchar_t* text) {
  if (!text || text[0] != L'Q' || text[1] != L'V') return false;
  for (std::size_t i = 2; i < kQvUidChars; ++i)
    if (text[i] < L'0' || text[i] > L'9') return false;
  return text[kQvUidChars] == L'\0';
}

std::wstring QvEscapeReportValue(const wchar_t* value) {
  if (!value || !*value) return std::wstring();
  std::vector<wchar_t> text(kQvUrlChars, L'\0');
  std::size_t length = std::wcslen(value);
  if (length >= kQvUrlChars) return std::wstring();
  std::wmemcpy(text.data(), value, length);
  // Sent raw, an unescaped '&' or '#' would change the query's meaning.
  if (!URLEncode(text.data())) return std::wstring();
  return text.data();
}

std::wstring QvReportQuery(const wchar_t* endpoint, const wchar_t* type,
                           const std::wstring& escaped_value, const wchar_t* uid, int sign) {
  std::wstring query = endpoint ? endpoint : L"";
  query += L"?type=";
  query += type ? type : L"";
  query += L"&value=";
  query += escaped_value;
  query += L"&uuid=";
  query += uid ? uid : L"";
  query += L"&sign=";
  query += std::to_wstring(sign);
  return query;
}
