// A second process for the utilities' tests; it also carries a version
// resource (1.2.3.4) for the version reading test.
//   instance NAME [TEXT]         exit code: CheckOneInstance's answer
//   sleep MS FILE                sleeps, then writes FILE
//   sharemem NAME INDEX TEXT     exit code: WriteShareMem's answer
#include <windows.h>
#include <shellapi.h>

#include <cwchar>

#include "qv_utils.h"

int main() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 3) return 100;
  if (!std::wcscmp(argv[1], L"instance")) return CheckOneInstance(argv[2], argc > 3 ? argv[3] : nullptr);
  if (!std::wcscmp(argv[1], L"sleep") && argc > 3) {
    Sleep(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)));
    return QvWriteFile(argv[3], "done", 4) ? 0 : 101;
  }
  if (!std::wcscmp(argv[1], L"sharemem") && argc > 4)
    return WriteShareMem(argv[2], argv[4], static_cast<int>(std::wcstol(argv[3], nullptr, 10)));
  return 100;
}
