// The uninstaller Zodadira: removes the installation it lies in, its
// Uninstall key and its shortcuts, then itself.
#include <windows.h>

#include "main_dlg.h"
#include "qv_app.h"
#include "qv_dump.h"
#include "qv_system_dll.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  QvLoadSystemDllsOnly();
  CQvApp& app = CQvApp::Instance();
  app.SetAppName(kUninstallerTitle);
  CqvDump::Instance().Install(app.GetAppName(), L"vt_uninstall_dump");

  CMainDlg dlg;
  std::wstring uninstaller;
  // A copy of the uninstaller outside an installation must not touch the
  // folder it was put in.
  if (!GetUninstallerPath(&uninstaller) || !FindInstallation(uninstaller, &dlg.context)) {
    ShowUninstallerNotice(L"这里没有可以卸载的完整安装，没有删除任何文件。");
    return 0;
  }
  if (!dlg.Create(nullptr, kUninstallerWidth, kUninstallerHeight, true)) return 0;
  dlg.ShowCenter(0);
  app.SetMainWnd(dlg.hwnd);
  MessageLoop();
  return 0;
}
