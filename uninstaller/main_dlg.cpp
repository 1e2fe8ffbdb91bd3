#include "main_dlg.h"

#include "erase_picture.h"
#include "qv_app.h"
#include "qv_image.h"
#include "qv_messages.h"
#include "qv_msgbox.h"
#include "qv_report.h"
#include "qv_thread.h"

void CMainDlg::OnInit() {
  drag_anywhere = true;
  background_id = kPanelPicture;
  CQvDlg::OnInit();
  PostMessageW(hwnd, WM_PAINT, 0, 0);
  context.Window = hwnd;
  CQvThread::StartThread(UninstallThread, &context, TRUE);
  CQvThread::StartThread(ProgressThread, this, TRUE);
  DoReport(QvStatisticsEndpoint(), L"open", L"Vantro_Uninstall");
}

LRESULT CMainDlg::WndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (window == hwnd) {
    switch (message) {
      case WM_CLOSE:
        if (!Finished) return 0;
        QuitApp();
      case WM_SETUP_PROGRESS:
        OnProgress(static_cast<int>(wparam));
        return 0;
    }
  }
  return CQvDlg::WndProc(window, message, wparam, lparam);
}

void CMainDlg::OnProgress(int percent) {
  if (percent == 100) Done = true;
  ReportedPercent = percent;
}

void CMainDlg::DrawContent(HDC dc) {
  const int shown = ShownPercent;
  EraserOffset = NextEraserOffset(EraserOffset, shown);
  if (!dc) return;
  const ErasePicture picture = ErasePictureAt(shown);
  CQvImage& images = CQvImage::Instance();
  images.DrawImg(dc, background_id, L"IMG", 0, 89);
  if (picture.band_width > 0) {
    const RECT source = {picture.band_source_left, 0, kBandWidth, kBandHeight};
    images.DrawImg(dc, kBandPicture, L"IMG", picture.band_x, 150, picture.band_width, kBandHeight, &source);
  }
  images.DrawImg(dc, kEraserPicture, L"IMG", picture.eraser_x, EraserOffset);
}

// Stays until the user has read it: nothing else tells what was left.
void ShowUninstallerNotice(const std::wstring& text) { CQvMsgBox::Notify(kUninstallerTitle, text); }

void QuitApp() { CQvApp::Instance().Exit(); }

unsigned __stdcall ProgressThread(void* window) {
  auto* dlg = static_cast<CMainDlg*>(window);
  do {
    dlg->ShownPercent = NextShownPercent(dlg->ShownPercent, dlg->ReportedPercent);
    // Painted on the window's own thread, and waited for.
    SendMessageW(dlg->hwnd, WM_QV_REDRAW, 0, 0);
    Sleep(200);
  } while (dlg->ShownPercent < 100);
  while (!dlg->Done) Sleep(50);
  const UninstallContext& context = dlg->context;
  if (!context.Refusal.empty()) {
    // Nothing was removed: the batch file must not remove the folder either.
    ShowUninstallerNotice(context.Refusal);
  } else {
    if (!context.SavedData.empty()) ShowUninstallerNotice(L"您的数据已保存在：" + context.SavedData);
    const std::wstring& folder = context.Folder;
    const std::wstring left = L"无法删除文件夹“" + folder.substr(0, folder.size() - 1) + L"”，请手动删除。";
    // Told before the batch file runs, for the process ends with it.
    if (context.LeftUserFiles) ShowUninstallerNotice(left);
    if (!SelfDelete(context) && !context.LeftUserFiles) ShowUninstallerNotice(left);
  }
  dlg->Finished = true;
  SendMessageW(dlg->hwnd, WM_CLOSE, 0, 0);
  return 0;
}
