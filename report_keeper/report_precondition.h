// Whether the data at hand covers exactly one whole settlement period, as
// the five-day report needs before it is built.
#pragma once

#include "date_text.h"

namespace keeper {

enum class ReportCheck {
  Ok,
  RangeLength,   // the chosen range is not a period's length
  RangeBounds,   // the length fits but the first or last day does not
  TooFewRows,    // the list does not hold the period's number of days
};

struct FiveDayCheckInput {
  bool on_25th = false;     // else the month-end mode applies
  bool range_mode = false;  // the search toggle is on
  zz::DateTime start, end;  // the two date pickers (range mode)
  int list_rows = 0;        // rows in the record list (otherwise)
  zz::DateTime today;
};

ReportCheck CheckFiveDayPrecondition(const FiveDayCheckInput& in);

// The warning shown for a failed check ("" for Ok); caption "警告", style 48.
const char* FiveDayWarningText(ReportCheck check);

}  // namespace keeper
