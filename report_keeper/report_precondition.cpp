#include "report_precondition.h"

#include <cmath>

namespace keeper {
namespace {

// The date pickers' values as day numbers with the time of day as fraction,
// so that the range length is taken in floating point as the check expects.
double Serial(const zz::DateTime& d) {
  // Days since 1970-01-01 in the proleptic Gregorian calendar.
  int y = d.year - (d.month <= 2 ? 1 : 0);
  int era = (y >= 0 ? y : y - 399) / 400;
  int yoe = y - era * 400;
  int mp = (d.month + 9) % 12;
  int doy = (153 * mp + 2) / 5 + d.day - 1;
  int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  long long days = static_cast<long long>(era) * 146097 + doe - 719468;
  return static_cast<double>(days) + (d.hour * 3600 + d.minute * 60 + d.second) / 86400.0;
}

bool Equals(double days, int n) { return std::fabs(days - n) <= 0.0000001; }

bool IsLongMonth(int m) { return m == 1 || m == 3 || m == 5 || m == 7 || m == 8 || m == 10 || m == 12; }
bool IsShortMonth(int m) { return m == 4 || m == 6 || m == 9 || m == 11; }

// The 25th period's length is judged by its first month alone, and February
// passes with 28 or 29 days in any year.
template <typename Matches>
bool FitsMonthClass(int month, Matches matches) {
  if (IsLongMonth(month)) return matches(31);
  if (IsShortMonth(month)) return matches(30);
  if (month == 2) return matches(28) || matches(29);
  return false;
}

}  // namespace

ReportCheck CheckFiveDayPrecondition(const FiveDayCheckInput& in) {
  if (in.range_mode) {
    double days = Serial(in.end) - Serial(in.start) + 1;
    auto is = [days](int n) { return Equals(days, n); };
    if (in.on_25th) {
      if (!FitsMonthClass(in.start.month, is)) return ReportCheck::RangeLength;
      if (in.start.day != 26 || in.end.day != 25) return ReportCheck::RangeBounds;
      return ReportCheck::Ok;
    }
    int month_days = zz::DaysInMonth(in.start.year, in.start.month);
    if (!is(month_days)) return ReportCheck::RangeLength;
    if (in.start.day != 1 || in.end.day != month_days) return ReportCheck::RangeBounds;
    return ReportCheck::Ok;
  }
  int n = in.list_rows;
  if (in.on_25th) {
    int first_month = in.today.day > 25 ? in.today.month : (in.today.month == 1 ? 12 : in.today.month - 1);
    bool ok = FitsMonthClass(first_month, [n](int rows) { return n == rows; });
    return ok ? ReportCheck::Ok : ReportCheck::TooFewRows;
  }
  return n == zz::DaysInMonth(in.today.year, in.today.month) ? ReportCheck::Ok : ReportCheck::TooFewRows;
}

const char* FiveDayWarningText(ReportCheck check) {
  switch (check) {
    case ReportCheck::RangeLength:
      return "你选择的日期范围，不符合打印五日报表的要求，请重新选择！";
    case ReportCheck::RangeBounds:
      return "系统当前的打印模式与你选择的日期范围不符，请重新设置模式或者重新选择日期范围！";
    case ReportCheck::TooFewRows:
      return "你当前的数据量小于本月应有的天数，不符合打印五日报表的要求，请到结算尾日再来打印！"
             "或者请检查是否有遗漏的数据未入帐！";
    case ReportCheck::Ok:
      break;
  }
  return "";
}

}  // namespace keeper
