// A process that installs the crash handler and then crashes on purpose.
// The handler's hooks append lines to crash.log beside the program:
// "report:<type>" and "box:<number of dump files already written>".
//   crash TYPE   named handler, one access violation
//   early        handler built but never named
//   twice TYPE   two threads crash at the same moment
//   nested TYPE  the box hook itself faults
//   report TYPE  the box hook gives the crash report time to arrive
#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <string>

#include "qv_dump.h"
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

int CountDumps() {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((Folder() + L"*.dmp").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do ++count;
  while (FindNextFileW(find, &data));
  FindClose(find);
  return count;
}

void Crash() { *static_cast<volatile int*>(nullptr) = 1; }

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
  CqvDump::SetBoxHook([] { AppendLine(L"box:" + std::to_wstring(CountDumps())); });

  if (mode == L"early") {
    CqvDump::Instance();
    Crash();
  } else if (mode == L"crash") {
    InstallDump(L"helper", type);
    Crash();
  } else if (mode == L"nested") {
    InstallDump(L"helper", type);
    CqvDump::SetBoxHook([] {
      AppendLine(L"box:" + std::to_wstring(CountDumps()));
      Crash();
    });
    Crash();
  } else if (mode == L"twice") {
    InstallDump(L"helper", type);
    g_go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE threads[2] = {CreateThread(nullptr, 0, CrashingThread, nullptr, 0, nullptr),
                         CreateThread(nullptr, 0, CrashingThread, nullptr, 0, nullptr)};
    SetEvent(g_go);
    WaitForMultipleObjects(2, threads, TRUE, INFINITE);
  } else if (mode == L"report") {
    InstallDump(L"helper", type);
    // The real box stays up for seconds, time the report has to go out.
    CqvDump::SetBoxHook([] {
      WaitReports(15000);
      AppendLine(L"box:" + std::to_wstring(CountDumps()));
    });
    Crash();
  }
  return 0;
}
