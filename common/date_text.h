// Date-time values and their GBK text form ("2010年3月26日", then "8时5分3秒",
// "8时5分" or "8时" as far as the time is not zero).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zz {

struct DateTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;

  friend bool operator==(const DateTime& a, const DateTime& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day &&
           a.hour == b.hour && a.minute == b.minute && a.second == b.second;
  }
  friend bool operator!=(const DateTime& a, const DateTime& b) { return !(a == b); }
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
bool IsValidDate(const DateTime& value);

// GBK text of the value, without leading zeros.
std::string FormatDateTime(const DateTime& value);

// Reads the text form back; also accepts "Y-M-D" and "Y/M/D" with an optional
// "H:M[:S]" after a blank. Leading zeros are allowed. Rejects impossible dates.
std::optional<DateTime> ParseDateTime(std::string_view text);

}  // namespace zz
