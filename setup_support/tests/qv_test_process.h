// Helper programs that tests run as copies in folders of their own.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// A new folder under the temporary folder, its path ending in a backslash;
// empty when it cannot be made.
inline std::wstring MakeScratchFolder(const std::wstring& stem) {
  static int serial = 0;
  wchar_t temp[MAX_PATH];
  if (!GetTempPathW(MAX_PATH, temp)) return std::wstring();
  std::wstring dir = std::wstring(temp) + stem + std::to_wstring(GetCurrentProcessId()) + L"_" +
                     std::to_wstring(GetTickCount()) + L"_" + std::to_wstring(++serial);
  return CreateDirectoryW(dir.c_str(), nullptr) ? dir + L"\\" : std::wstring();
}

// The program's exit code; 99 when it had to be ended after a minute,
// 0xFFFFFFFF when it could not start. While it runs, watch (when given)
// gets its process id about every 50 ms.
inline DWORD RunAndWait(const std::wstring& program, const std::wstring& args,
                        const std::function<void(DWORD)>& watch = nullptr) {
  std::wstring line = L"\"" + program + L"\" " + args;
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return 0xFFFFFFFF;
  CloseHandle(pi.hThread);
  const DWORD start = GetTickCount();
  while (WaitForSingleObject(pi.hProcess, watch ? 50 : 60000) != WAIT_OBJECT_0) {
    if (GetTickCount() - start >= 60000) {
      TerminateProcess(pi.hProcess, 99);
      WaitForSingleObject(pi.hProcess, INFINITE);
      break;
    }
    watch(pi.dwProcessId);
  }
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  return code;
}
