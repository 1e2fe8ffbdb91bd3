// The installer's only window: product title, install folder with a link to
// change it, Cancel and Install; once installing, an hourglass whose sand
// runs with the worker's progress.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "install_context.h"
#include "qv_button.h"
#include "qv_controls.h"
#include "qv_dlg.h"

class CMainDlg : public CQvDlg {
 public:
  static constexpr int kWidth = 373;
  static constexpr int kHeight = 328;

  CMainDlg();
  ~CMainDlg() override;

  void OnInit() override;
  LRESULT WndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;
  void DrawBackground(HDC dc, RECT rect) override;
  void DrawContent(HDC dc) override;

  static void OnCancel(void* owner);
  static void OnInstall(void* owner);
  static void OnChangeFolder(void* owner);

  HICON icon = nullptr;
  CQvButton CancelButton;
  CQvButton InstallButton;
  CQvLink ChangeLink;
  std::atomic<bool> Cancelled{false};
  std::atomic<bool> Done{false};
  std::atomic<bool> Installing{false};
  std::atomic<int> ShownPercent{0};
  std::atomic<int> ReportedPercent{0};
  InstallContext context;
  std::wstring Title;

 private:
  void OnClose();
  void DrawHourglass(HDC dc);
};

unsigned __stdcall InstallThread(void* context);
unsigned __stdcall ProgressThread(void* dialog);
