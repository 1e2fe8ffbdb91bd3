// The installer Vodavezu: one window, no arguments; the process ends
// through the application's exit when the window closes.
#include <windows.h>

#include "main_dlg.h"
#include "qv_app.h"
#include "qv_dump.h"
#include "qv_system_dll.h"
#include "qv_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  QvLoadSystemDllsOnly();
  CQvApp& app = CQvApp::Instance();
  app.SetAppName(L"QV-安装向导");
  CqvDump::Instance().Install(L"QV-安装向导", L"pl_install_dump");
  CMainDlg dialog;
  if (!dialog.Create(nullptr, CMainDlg::kWidth, CMainDlg::kHeight, true)) return 0;
  dialog.ShowCenter(1);
  app.SetMainWnd(dialog.hwnd);
  MessageLoop();
  return 0;
}
