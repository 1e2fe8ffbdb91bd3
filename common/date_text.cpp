#include "date_text.h"

#include <cstdio>

namespace zz {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValidDate(const DateTime& v) {
  return v.year >= 1 && v.year <= 9999 && v.month >= 1 && v.month <= 12 && v.day >= 1 &&
         v.day <= DaysInMonth(v.year, v.month) && v.hour >= 0 && v.hour < 24 &&
         v.minute >= 0 && v.minute < 60 && v.second >= 0 && v.second < 60;
}

std::string FormatDateTime(const DateTime& v) {
  char buf[96];
  int n = std::snprintf(buf, sizeof buf, "%d年%d月%d日", v.year, v.month, v.day);
  if (v.second != 0)
    std::snprintf(buf + n, sizeof buf - n, "%d时%d分%d秒", v.hour, v.minute, v.second);
  else if (v.minute != 0)
    std::snprintf(buf + n, sizeof buf - n, "%d时%d分", v.hour, v.minute);
  else if (v.hour != 0)
    std::snprintf(buf + n, sizeof buf - n, "%d时", v.hour);
  return buf;
}

namespace {

// Reads digits at pos into out; false when there are none or too many.
bool ReadInt(std::string_view s, std::size_t& pos, int& out) {
  std::size_t start = pos;
  long value = 0;
  while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9' && pos - start < 6)
    value = value * 10 + (s[pos++] - '0');
  if (pos == start || (pos < s.size() && s[pos] >= '0' && s[pos] <= '9')) return false;
  out = static_cast<int>(value);
  return true;
}

bool Expect(std::string_view s, std::size_t& pos, std::string_view mark) {
  if (s.substr(pos, mark.size()) != mark) return false;
  pos += mark.size();
  return true;
}

}  // namespace

std::optional<DateTime> ParseDateTime(std::string_view s) {
  DateTime v;
  std::size_t pos = 0;
  while (pos < s.size() && s[pos] == ' ') ++pos;
  if (!ReadInt(s, pos, v.year)) return std::nullopt;

  if (Expect(s, pos, "年")) {
    if (!ReadInt(s, pos, v.month) || !Expect(s, pos, "月")) return std::nullopt;
    if (!ReadInt(s, pos, v.day) || !Expect(s, pos, "日")) return std::nullopt;
    // The time parts come in order, each optional only at the end.
    struct Part { int* field; const char* mark; } parts[] = {
        {&v.hour, "时"}, {&v.minute, "分"}, {&v.second, "秒"}};
    for (const Part& part : parts) {
      if (pos == s.size()) break;
      if (!ReadInt(s, pos, *part.field) || !Expect(s, pos, part.mark)) return std::nullopt;
    }
  } else {
    char sep = pos < s.size() ? s[pos] : '\0';
    if (sep != '-' && sep != '/') return std::nullopt;
    ++pos;
    if (!ReadInt(s, pos, v.month) || !Expect(s, pos, std::string_view(&sep, 1)))
      return std::nullopt;
    if (!ReadInt(s, pos, v.day)) return std::nullopt;
    if (pos < s.size() && (s[pos] == ' ' || s[pos] == 'T')) {
      ++pos;
      if (!ReadInt(s, pos, v.hour) || !Expect(s, pos, ":") || !ReadInt(s, pos, v.minute))
        return std::nullopt;
      if (pos < s.size() && (!Expect(s, pos, ":") || !ReadInt(s, pos, v.second)))
        return std::nullopt;
    }
  }
  while (pos < s.size() && s[pos] == ' ') ++pos;
  if (pos != s.size() || !IsValidDate(v)) return std::nullopt;
  return v;
}

}  // namespace zz
