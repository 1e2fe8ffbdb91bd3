// A process that sends one statistics report, run from a folder of its own
// whose proxy.dat leads the report to the test's listener.
//   send TYPE [VALUE]   report, wait for it; exit 0, or 3 when it did not end
//   leave TYPE          report and end at once while it is on its way
//   exit TYPE           the same through CQvApp::Exit
// A process that still has a report running once the library's services
// are torn down ends with 4.
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>

#include "qv_app.h"
#include "qv_report.h"

static void EndIfAReportStillRuns() {
  if (!WaitReports(0)) ExitProcess(4);
}

int main() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 3) return 100;
  const std::wstring mode = argv[1];
  // Registered before the services the report builds, so it runs after
  // they are gone.
  std::atexit(EndIfAReportStillRuns);
  DoReport(QvStatisticsEndpoint(), argv[2], argc > 3 ? argv[3] : nullptr);
  // A report still stuck at exit would end the process with 0.
  if (mode == L"send" && !WaitReports(20000)) ExitProcess(3);
  if (mode == L"exit") {
    std::atexit(EndIfAReportStillRuns);  // runs first: Exit must not reach exit() under a report
    CQvApp::Instance().Exit();
  }
  return 0;
}
