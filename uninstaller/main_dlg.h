// The uninstaller's window: no button and no question, only a picture of an
// eraser wiping a band away while the removal worker runs.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "qv_dlg.h"
#include "uninstall_worker.h"

constexpr wchar_t kUninstallerTitle[] = L"Dravolin-卸载程序";
constexpr int kUninstallerWidth = 450;
constexpr int kUninstallerHeight = 230;
constexpr int kPanelPicture = 60052;
constexpr int kBandPicture = 60026;
constexpr int kEraserPicture = 60027;

class CMainDlg : public CQvDlg {
 public:
  CMainDlg() = default;
  // A show effect may still draw through the members below.
  ~CMainDlg() override { StopAnimation(); }

  void OnInit() override;
  LRESULT WndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;
  // The layered window shows only its pictures; nothing fills behind them.
  void DrawBackground(HDC, RECT) override {}
  void DrawContent(HDC dc) override;

  UninstallContext context;
  // Shared between the window's thread, the worker and the progress thread.
  std::atomic<int> ReportedPercent{0};
  std::atomic<int> ShownPercent{0};
  std::atomic<bool> Done{false};
  // Set by the progress thread once the work and its notices are done: a
  // close before that would end the process half way.
  std::atomic<bool> Finished{false};
  // Only the window's thread paints.
  int EraserOffset = 0;

 private:
  void OnProgress(int percent);
};

// Tells the user what the uninstaller could not do, and waits for the answer.
void ShowUninstallerNotice(const std::wstring& text);

[[noreturn]] void QuitApp();
unsigned __stdcall ProgressThread(void* window);
