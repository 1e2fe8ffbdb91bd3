#include "clock.h"

#include <ctime>
#include <optional>

namespace rt {
namespace {
std::optional<zz::DateTime> g_fixed;
}

zz::DateTime Now() {
  if (g_fixed) return *g_fixed;
  std::time_t t = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &t);
#else
  localtime_r(&t, &local);
#endif
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}

void FixNowForTests(const zz::DateTime& now) { g_fixed = now; }
void UnfixNow() { g_fixed.reset(); }

}  // namespace rt
