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

// Stays until the user has read it: nothing else tells what was left. A
// caller that gave the uninstaller a standard error reads it there too.
void ShowUninstallerNotice(const std::wstring& text) {
  const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  const std::wstring line = text + L"\n";
  const int length = static_cast<int>(line.size());
  const int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), length, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  DWORD written = 0;
  if (error && error != INVALID_HANDLE_VALUE && size > 0 &&
      WideCharToMultiByte(CP_UTF8, 0, line.c_str(), length, &utf8[0], size, nullptr, nullptr) == size)
    WriteFile(error, utf8.data(), static_cast<DWORD>(size), &written, nullptr);
  CQvMsgBox::Notify(kUninstallerTitle, text);
}

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
  UninstallContext& context = dlg->context;
  if (!context.Refusal.empty()) {
    // Nothing was removed: the batch file must not remove the folder either.
    ShowUninstallerNotice(context.Refusal);
  } else {
    if (!context.SavedData.empty()) ShowUninstallerNotice(L"您的数据已保存在：" + context.SavedData);
    const std::wstring folder = context.Folder.substr(0, context.Folder.size() - 1);
    const std::wstring kept = L"文件夹“" + folder + L"”中有未保存的文件，已保留该文件夹。";
    const std::wstring left = L"无法删除文件夹“" + folder + L"”，请手动删除。";
    if (context.Left == LeftBehind::kUnsaved) {
      // No batch file: the uninstaller stays with its key and record, and
      // its next run saves them.
      ShowUninstallerNotice(kept);
    } else {
      // Told before the batch file runs, for the process ends with it.
      bool told = true;
      if (context.Left == LeftBehind::kSavedOnly) {
        ShowUninstallerNotice(left);
      } else if (HoldsUserData(context.Folder)) {
        // The box above may have stood open for minutes: whatever came into
        // the data folders meanwhile exists nowhere else.
        context.KeepFolder = true;
        ShowUninstallerNotice(kept);
      } else {
        told = false;
      }
      if (!SelfDelete(context) && !told) ShowUninstallerNotice(left);
    }
  }
  dlg->Finished = true;
  SendMessageW(dlg->hwnd, WM_CLOSE, 0, 0);
  return 0;
}
