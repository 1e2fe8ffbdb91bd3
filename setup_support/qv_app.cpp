#include "qv_app.h"

#include <cstdlib>
#include <cwchar>

#include "qv_image.h"
#include "qv_report.h"
#include "qv_thread.h"
#include "qv_utils.h"

namespace {

std::atomic<int> g_drawing_threads{0};
thread_local int t_drawing_depth = 0;

// Long enough for the slowest window animation to play to its end; movies
// and reports get as long each.
constexpr DWORD kExitWaitMs = 2000;

}  // namespace

CQvApp::CQvApp() {
  module_ = GetModuleHandleW(nullptr);
  GetCurPath(program_folder_);
}

CQvApp& CQvApp::Instance() {
  static CQvApp instance;
  return instance;
}

CQvApp& CQvApp::operator=(const CQvApp& other) {
  if (this == &other) return *this;
  module_ = other.module_;
  main_window_ = other.main_window_.load();
  wmemcpy(program_folder_, other.program_folder_, MAX_PATH + 1);
  wmemcpy(app_name_, other.app_name_, kQvAppNameChars);
  quitting_ = other.quitting_.load();
  return *this;
}

void CQvApp::SetAppName(const wchar_t* name) {
  if (!name) name = L"";
  wcsncpy(app_name_, name, kQvAppNameChars - 1);
  app_name_[kQvAppNameChars - 1] = L'\0';
}

void CQvApp::SetMainWndOnce(HWND window) {
  HWND none = nullptr;
  main_window_.compare_exchange_strong(none, window);
}

void CQvApp::Exit() {
  // Two threads ending the process at once would run the exit-time
  // routines twice; the second one just waits for the end.
  static std::atomic<bool> exiting{false};
  if (exiting.exchange(true)) {
    for (;;) Sleep(INFINITE);
  }
  quitting_ = true;
  CQvThread::Instance().Stop();
  CQvImage::Instance().StopAllMovies(kExitWaitMs);
  QvDrawingThreadScope::WaitForOthers(kExitWaitMs);
  const bool reports_ended = WaitReports(kExitWaitMs);
  PostQuitMessage(0);
  if (!reports_ended) QvEndUnderRunningReports();
  exit(0);
}

QvDrawingThreadScope::QvDrawingThreadScope() {
  ++t_drawing_depth;
  ++g_drawing_threads;
}

QvDrawingThreadScope::~QvDrawingThreadScope() {
  --t_drawing_depth;
  --g_drawing_threads;
}

bool QvDrawingThreadScope::WaitForOthers(DWORD timeout_ms) {
  DWORD start = GetTickCount();
  while (g_drawing_threads.load() > t_drawing_depth) {
    if (GetTickCount() - start >= timeout_ms) return false;
    // An animation may be sending to this thread's windows: serve those
    // messages, or both would wait out the time.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_SENDMESSAGE);
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  return true;
}
