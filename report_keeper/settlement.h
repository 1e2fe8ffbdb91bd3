// Settlement mode and the current settlement period.
#pragma once

#include <string>

#include "date_text.h"

namespace keeper {

enum class SettlementMode { On25th, MonthEnd, Invalid };

// From the two keys of 1021.ini: "默认显示方式1" = "1" wins over
// "默认显示方式2" = "1"; anything else is invalid.
SettlementMode ModeFromKeys(const std::string& key1, const std::string& key2);

struct Period {
  int first_year, first_month, first_day;
  int last_year, last_month, last_day;
};

// The period that holds `today` in the given (valid) mode.
Period SettlementPeriod(SettlementMode mode, const zz::DateTime& today);

}  // namespace keeper
