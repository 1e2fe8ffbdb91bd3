#include "main_dlg.h"

#include <process.h>

#include <cstdio>

#include "qv_app.h"
#include "qv_image.h"
#include "qv_messages.h"
#include "qv_msgbox.h"
#include "qv_report.h"
#include "qv_shell.h"

namespace {

CMainDlg* Of(void* owner) { return static_cast<CMainDlg*>(static_cast<CQvDlg*>(owner)); }

void SendStatistics(LPCWSTR type, LPCWSTR value) { DoReport(QvStatisticsEndpoint(), type, value); }

constexpr int kIconId = 107;
constexpr int kBackgroundId = 60071;
constexpr int kHourglassBackId = 60026, kHourglassGlassId = 60027, kUpperSandId = 60028,
              kLowerSandId = 60029;

// Nothing was installed, and the user must read why before the window goes.
// Not owned by the layered window: a box over it would take its frame for a background.
void ShowRefusal(const std::wstring& notice) {
  CQvMsgBox::Notify(CQvApp::Instance().GetAppName(), notice);
}

void StartThread(unsigned(__stdcall* procedure)(void*), void* argument) {
  uintptr_t thread = _beginthreadex(nullptr, 0, procedure, argument, 0, nullptr);
  if (thread) CloseHandle(reinterpret_cast<HANDLE>(thread));
}

}  // namespace

CMainDlg::CMainDlg()
    : CancelButton(L"取 消", 35), InstallButton(L"安 装", 110), ChangeLink(L"更改", 210, 138, 50, 20) {
  caption_height = 30;
  icon_id = kIconId;
  icon = static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconId), IMAGE_ICON, 32, 32, 0));
  context.Report = SendStatistics;
}

CMainDlg::~CMainDlg() {
  StopAnimation();
  if (icon) DestroyIcon(icon);
}

void CMainDlg::OnInit() {
  drag_anywhere = true;
  background_id = kBackgroundId;
  CQvDlg::OnInit();
  const struct {
    CQvButton* button;
    int image_id;
    QvControlCallback on_click;
  } buttons[] = {{&CancelButton, 60073, OnCancel}, {&InstallButton, 60074, OnInstall}};
  for (const auto& b : buttons) {
    b.button->image_count = 1;
    b.button->image_id = b.image_id;
    b.button->caption_y = -2;
    b.button->on_click = b.on_click;
  }
  ChangeLink.on_click = OnChangeFolder;
  controls = {&CancelButton, &InstallButton, &ChangeLink};

  PayloadHeader header;
  ReadPayloadHeader(&header);
  Title = ToWide(header.KeyName) + L" " + ToWide(header.DisplayVersion);
  PostMessageW(hwnd, WM_PAINT, 0, 0);
  SendStatistics(L"open", L"Vodavezu");
}

LRESULT CMainDlg::WndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_SETUP_PROGRESS:
      if (static_cast<int>(wparam) == 100) Done = true;
      ReportedPercent = static_cast<int>(wparam);
      return 0;
    default:
      return CQvDlg::WndProc(window, message, wparam, lparam);
  }
}

void CMainDlg::OnClose() {
  // Ending the process under the worker would leave half an installation.
  if (Installing && !Done) return;
  if (!context.Notice.empty()) {
    ShowRefusal(context.Notice);
  } else {
    context.RunInstalledProgram();
  }
  Sleep(50);
  CQvApp::Instance().Exit();
}

void CMainDlg::OnCancel(void* owner) {
  CMainDlg* dlg = Of(owner);
  if (dlg->Installing) return;
  dlg->Cancelled = true;
  dlg->Animate(2);
  CQvApp::Instance().Exit();
}

void CMainDlg::OnInstall(void* owner) {
  CMainDlg* dlg = Of(owner);
  if (dlg->Installing.exchange(true)) return;
  dlg->suppress = true;
  PostMessageW(dlg->hwnd, WM_PAINT, 0, 0);
  dlg->context.Window = dlg->hwnd;
  StartThread(InstallThread, &dlg->context);
  StartThread(ProgressThread, dlg);
}

void CMainDlg::OnChangeFolder(void* owner) {
  CMainDlg* dlg = Of(owner);
  if (dlg->Installing) return;
  wchar_t folder[MAX_PATH] = L"";
  if (!ShowSelDir(folder, dlg->hwnd) || !folder[0]) return;
  dlg->context.TargetFolder = folder;
  PostMessageW(dlg->hwnd, WM_MOUSEMOVE, 0, 0);
  PostMessageW(dlg->hwnd, WM_PAINT, 0, 0);
}

void CMainDlg::DrawBackground(HDC dc, RECT) {
  if (Installing) return;
  CQvImage::Instance().DrawStretchImg(dc, kBackgroundId, L"IMG", 0, 0, kWidth, 290, edge_width, 1, 0,
                                      edge_height);
  if (icon) DrawIconEx(dc, 10, 55, icon, 32, 32, 0, nullptr, DI_NORMAL);
}

void CMainDlg::DrawContent(HDC dc) {
  if (Installing) {
    DrawHourglass(dc);
    return;
  }
  CQvImage& image = CQvImage::Instance();
  image.DrawString(dc, font, L"安装路径", 35, 112, 60, 30, text_color, 254, false, true);
  image.DrawString(dc, font, context.TargetFolder.c_str(), 35, 133, 200, 30, text_color, 254, false, true);
  image.DrawString(dc, font, Title.c_str(), 45, 55, 230, 30, RGB(255, 255, 255), 254, false, true);
}

void CMainDlg::DrawHourglass(HDC dc) {
  CQvImage& image = CQvImage::Instance();
  const int p = ShownPercent;
  const int b = p * 136 / 100;
  image.DrawImg(dc, kHourglassBackId, L"IMG", 110, 0);
  const RECT upper = {0, b, 126, 136};
  if (b < 136) image.DrawImg(dc, kUpperSandId, L"IMG", 115, b + 6, 126, 136 - b, &upper);
  const int c = (100 - p) * 126 / 100;
  const RECT lower = {0, c, 126, 126};
  if (c < 126) image.DrawImg(dc, kLowerSandId, L"IMG", 115, c + 180, 126, 126 - c, &lower);
  image.DrawImg(dc, kHourglassGlassId, L"IMG", 110, 0);
  wchar_t text[16];
  std::swprintf(text, 16, L"%d%%", p);
  image.DrawString(dc, font, text, 160, 230, 50, 30, text_color, 254, true, true);
}

unsigned __stdcall InstallThread(void* argument) {
  InstallContext* context = static_cast<InstallContext*>(argument);
  Sleep(200);
  context->DoInstall();
  PostMessageW(context->Window, WM_SETUP_PROGRESS, 100, 0);
  return 0;
}

unsigned __stdcall ProgressThread(void* argument) {
  CMainDlg* dlg = static_cast<CMainDlg*>(argument);
  while (!dlg->Cancelled) {
    if (dlg->ShownPercent < dlg->ReportedPercent) ++dlg->ShownPercent;
    if (dlg->ShownPercent >= 100) break;
    PostMessageW(dlg->hwnd, WM_PAINT, 0, 0);
    Sleep(10);
  }
  while (!dlg->Done) Sleep(50);
  SendMessageW(dlg->hwnd, WM_CLOSE, 0, 0);
  return 0;
}
