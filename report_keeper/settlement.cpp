#include "settlement.h"

namespace keeper {

SettlementMode ModeFromKeys(const std::string& key1, const std::string& key2) {
  if (key1 == "1") return SettlementMode::On25th;
  if (key2 == "1") return SettlementMode::MonthEnd;
  return SettlementMode::Invalid;
}

Period SettlementPeriod(SettlementMode mode, const zz::DateTime& today) {
  int y = today.year, m = today.month;
  if (mode == SettlementMode::MonthEnd) return {y, m, 1, y, m, zz::DaysInMonth(y, m)};
  if (today.day <= 25) {
    int py = m == 1 ? y - 1 : y, pm = m == 1 ? 12 : m - 1;
    return {py, pm, 26, y, m, 25};
  }
  int ny = m == 12 ? y + 1 : y, nm = m == 12 ? 1 : m + 1;
  return {y, m, 26, ny, nm, 25};
}

}  // namespace keeper
