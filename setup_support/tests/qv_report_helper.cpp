// A process that sends one statistics report, run from a folder of its own
// whose proxy.dat leads the report to the test's listener.
//   send TYPE [VALUE]   report, wait for it; exit 0, or 3 when it did not end
//   leave TYPE          report and end at once while it is on its way
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "qv_report.h"

int main() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 3) return 100;
  const std::wstring mode = argv[1];
  DoReport(QvStatisticsEndpoint(), argv[2], argc > 3 ? argv[3] : nullptr);
  if (mode == L"send") return WaitReports(20000) ? 0 : 3;
  return 0;
}
