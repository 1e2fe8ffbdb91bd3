#include "qv_report.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

#include "qv_log.h"
#include "qv_net.h"

#ifndef ZZ_STATISTICS_HOST
#define ZZ_STATISTICS_HOST "statistics.invalid"
#endif

namespace {

#define ZZ_WIDEN2(text) L##text
#define ZZ_WIDEN(text) ZZ_WIDEN2(text)
const wchar_t kEndpoint[] = L"http://" ZZ_WIDEN(ZZ_STATISTICS_HOST) L"/api.ashx";

const wchar_t kUidKey[] = L"SOFTWARE\\Vudozuvo";
const wchar_t kUidValue[] = L"UID";
// What the process's exit grants the reports still running.
constexpr DWORD kExitWaitMs = 5000;

// Reports on their way; constant-initialised, so no exit order touches it.
std::atomic<long> g_running{0};

// Built right after the HTTP client and the log, so it goes before them at
// exit and the wait runs while the services a report uses still exist.
struct ExitWait {
  ~ExitWait() {
    if (!WaitReports(kExitWaitMs)) QvEndUnderRunningReports();
  }
};

void Prepare() {
  CQvNet::Instance();
  // A failing report writes its line from its own thread: the log must be
  // built first so that it outlasts the wait.
  CQvLog::Instance();
  static ExitWait wait;
}

DWORD WINAPI ReportThread(LPVOID parameter) {
  StatisticsReport* report = static_cast<StatisticsReport*>(parameter);
  std::wstring value = QvEscapeReportValue(report->value);
  wchar_t uid[kQvUidUnits] = {};
  CreateUID(uid, 1);
  std::wstring query =
      QvReportQuery(report->endpoint, report->type, value, uid, static_cast<int>(GetTickCount()));
  char answer[50];
  CQvNet::Instance().GetUrlInfo(query.c_str(), answer, sizeof answer);
  std::free(report);
  g_running.fetch_sub(1);
  return 0;
}

}  // namespace

const wchar_t* QvStatisticsEndpoint() { return kEndpoint; }

StatisticsReport* QvNewReport(const wchar_t* endpoint, const wchar_t* type, const wchar_t* value) {
  StatisticsReport* report =
      static_cast<StatisticsReport*>(std::calloc(1, sizeof(StatisticsReport)));
  if (!report) return nullptr;
  if (!QvFillReport(report, endpoint, type, value)) {
    std::free(report);
    return nullptr;
  }
  Prepare();
  return report;
}

void QvStartReport(StatisticsReport* report) {
  if (!report) return;
  g_running.fetch_add(1);
  HANDLE thread = CreateThread(nullptr, 0, ReportThread, report, 0, nullptr);
  if (thread) {
    CloseHandle(thread);
    return;
  }
  g_running.fetch_sub(1);
  std::free(report);
}

void DoReport(const wchar_t* endpoint, const wchar_t* type, const wchar_t* value) {
  QvStartReport(QvNewReport(endpoint, type, value));
}

bool WaitReports(DWORD timeout_ms) {
  if (g_running.load() == 0) return true;
  CQvNet::Instance().Stop();
  const DWORD start = GetTickCount();
  while (g_running.load() != 0) {
    if (GetTickCount() - start >= timeout_ms) return false;
    Sleep(10);
  }
  return true;
}

void QvEndUnderRunningReports() {
  // The streams are all the C runtime's exit still owed the program.
  std::fflush(nullptr);
  // The code given to exit() cannot be read back here; 0 is the one every
  // setup program ends with, and a lost report is no failure of it.
  ExitProcess(0);
}

void CreateUID(wchar_t* out, int flag) {
  if (!out) return;
  std::srand(GetTickCount());
  const int first = std::rand();
  const int second = std::rand();
  const std::wstring fresh = QvFormatUid(GetTickCount(), first, second);
  std::wstring id = fresh;
  if (flag) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kUidKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
      wchar_t stored[kQvReportTypeUnits] = {};
      DWORD type = 0;
      DWORD bytes = sizeof stored - sizeof(wchar_t);  // room for a NUL of our own
      LONG read =
          RegQueryValueExW(key, kUidValue, nullptr, &type, reinterpret_cast<BYTE*>(stored), &bytes);
      if (read == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ) && QvIsUid(stored))
        id = stored;
    } else if (RegCreateKeyExW(HKEY_CURRENT_USER, kUidKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                               &key, nullptr) != ERROR_SUCCESS) {
      key = nullptr;
    }
    if (key && id == fresh)
      RegSetValueExW(key, kUidValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(fresh.c_str()),
                     static_cast<DWORD>((fresh.size() + 1) * sizeof(wchar_t)));
    if (key) RegCloseKey(key);
  }
  std::wcscpy(out, id.c_str());
}
