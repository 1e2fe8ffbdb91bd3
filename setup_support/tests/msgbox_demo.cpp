// Shows a skinned dialog with a message box over it, for the screenshots.
//   msgbox_demo <ready file> box     OK and Cancel; exits with 40 + answer
//   msgbox_demo <ready file> crash   crashes; the crash box counts down
// The ready file is written once the box has opened and rests.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <thread>

#include "qv_app.h"
#include "qv_dlg.h"
#include "qv_dump.h"
#include "qv_msgbox.h"

namespace {

const wchar_t kAppName[] = L"QV-\u5B89\u88C5\u5411\u5BFC";

HWND FindBox() {
  HWND found = nullptr;
  EnumWindows(
      [](HWND w, LPARAM out) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        RECT r;
        GetWindowRect(w, &r);
        if (pid == GetCurrentProcessId() && IsWindowVisible(w) && r.right - r.left == 300 &&
            r.bottom - r.top == 200) {
          *reinterpret_cast<HWND*>(out) = w;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

void SignalWhenBoxRests(std::wstring ready) {
  std::thread([ready] {
    while (!FindBox()) Sleep(20);
    Sleep(400);
    HANDLE file = CreateFileW(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }).detach();
}

}  // namespace

int main() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 3) return 2;
  const std::wstring mode = argv[2];

  CQvApp& app = CQvApp::Instance();
  app.SetAppName(kAppName);
  if (mode == L"crash") InstallDump(kAppName, L"pl_install_dump");
  CQvDlg main;
  if (!main.Create(nullptr, 480, 320, false)) return 3;
  main.ShowCenter(4);
  main.JoinAnimation();
  SignalWhenBoxRests(argv[1]);

  if (mode == L"crash") *static_cast<volatile int*>(nullptr) = 1;

  CQvMsgBox box;
  box.body = L"\u786E\u5B9A\u8981\u9000\u51FA\u5B89\u88C5\u5411\u5BFC\u5417\uFF1F";
  box.button_set = kQvMsgBoxOkCancel;
  return 40 + box.Show(nullptr, main.hwnd);
}
