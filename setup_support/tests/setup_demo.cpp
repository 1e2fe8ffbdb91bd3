// Shows the demo dialog for a screenshot:
//   setup_demo.exe FOLDER
// writes FOLDER\ready once the dialog is on the screen and ends through the
// application's exit, from a timer, when FOLDER\go appears.
#include <windows.h>

#include <string>

#include "qv_app.h"
#include "qv_thread.h"
#include "qv_utils.h"
#include "setup_demo_dialog.h"

namespace {

std::wstring g_folder;
DemoDialog* g_dialog = nullptr;
bool g_ready = false;

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Poll(void*) {
  if (!g_ready && IsWindowVisible(g_dialog->hwnd)) {
    // The hover look of the install button is shown too.
    g_dialog->install.state = kQvButtonHover;
    g_dialog->Redraw();
    Sleep(300);
    g_ready = true;
    QvWriteFile((g_folder + L"\\ready").c_str(), "ready", 5);
  }
  if (Exists(g_folder + L"\\go")) CQvApp::Instance().Exit();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 2) return 2;
  g_folder = argv[1];
  CQvApp& app = CQvApp::Instance();
  app.SetAppName(L"QV-安装演示");
  DemoDialog dialog;
  g_dialog = &dialog;
  if (!dialog.Create(nullptr, DemoDialog::kWidth, DemoDialog::kHeight, true)) return 3;
  dialog.ShowCenter(1);
  app.SetMainWnd(dialog.hwnd);
  CQvThread::Instance().StartTimer(1, Poll, 100, nullptr);
  MessageLoop();
  return 4;
}
