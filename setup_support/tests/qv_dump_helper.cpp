// A process that installs the crash handler and then crashes on purpose.
// The report hook appends "report:<type>" to crash.log beside the program;
// the crash box's count-down runs at 200 ms a second.
//   crash TYPE   named "helper", with a main window, one access violation
//   early        handler built but never named, no main window
//   twice TYPE   two threads crash at the same moment
//   nested TYPE  the report hook itself faults
//   report TYPE  the report hook gives the crash report time to arrive
#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <string>

#include "qv_app.h"
#include "qv_dump.h"
#include "qv_msgbox.h"
#include "qv_report.h"

namespace {

std::wstring Folder() {
  wchar_t path[MAX_PATH + 1] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
  std::wstring folder = path;
  folder.erase(folder.find_last_of(L'\\') + 1);
  return folder;
}

void AppendLine(const std::wstring& line) {
  HANDLE file = CreateFileW((Folder() + L"crash.log").c_str(), FILE_APPEND_DATA,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  std::wstring text = line + L"\n";
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written,
            nullptr);
  CloseHandle(file);
}

void Crash() { *static_cast<volatile int*>(nullptr) = 1; }

// What a setup program has when it crashes: a name and a main window.
void NameAndMainWindow() {
  CQvApp& app = CQvApp::Instance();
  app.SetAppName(L"helper");
  HWND main = CreateWindowExW(0, L"STATIC", L"helper main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40,
                              40, 200, 120, nullptr, nullptr, app.GetModule(), nullptr);
  app.SetMainWnd(main);
}

HANDLE g_go = nullptr;

DWORD WINAPI CrashingThread(LPVOID) {
  WaitForSingleObject(g_go, INFINITE);
  Crash();
  return 0;
}

}  // namespace

int main() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 2) return 100;
  const std::wstring mode = argv[1];
  const wchar_t* type = argc > 2 ? argv[2] : nullptr;

  CqvDump::SetReportHook([](const wchar_t* t) { AppendLine(std::wstring(L"report:") + t); });
  CQvMsgBox::SetCountdownTick(200);

  if (mode == L"early") {
    CqvDump::Instance();
    Crash();
  } else if (mode == L"crash") {
    NameAndMainWindow();
    InstallDump(L"helper", type);
    Crash();
  } else if (mode == L"nested") {
    InstallDump(L"helper", type);
    CqvDump::SetReportHook([](const wchar_t* t) {
      AppendLine(std::wstring(L"report:") + t);
      Crash();
    });
    Crash();
  } else if (mode == L"twice") {
    CQvApp::Instance().SetAppName(L"helper");
    InstallDump(L"helper", type);
    g_go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE threads[2] = {CreateThread(nullptr, 0, CrashingThread, nullptr, 0, nullptr),
                         CreateThread(nullptr, 0, CrashingThread, nullptr, 0, nullptr)};
    SetEvent(g_go);
    WaitForMultipleObjects(2, threads, TRUE, INFINITE);
  } else if (mode == L"report") {
    InstallDump(L"helper", type);
    // The hook runs once the report's thread has started; the box would
    // end the process before a slow send.
    CqvDump::SetReportHook([](const wchar_t* t) {
      AppendLine(std::wstring(L"report:") + t);
      WaitReports(15000);
    });
    Crash();
  }
  return 0;
}
