// The setup program's process-wide record: module, main window, program
// folder, application name and the quitting flag, and the one way out of
// the process.
#pragma once

#include <windows.h>

#include <atomic>

constexpr int kQvAppNameChars = 200;

class CQvApp {
 public:
  // Built on first use; torn down at exit after every service used later.
  static CQvApp& Instance();

  // At most kQvAppNameChars - 1 characters are kept.
  void SetAppName(const wchar_t* name);
  const wchar_t* GetAppName() const { return app_name_; }
  const wchar_t* GetProgramFolder() const { return program_folder_; }
  HINSTANCE GetModule() const { return module_; }
  HWND GetMainWnd() const { return main_window_.load(); }
  void SetMainWnd(HWND window) { main_window_ = window; }
  // Sets the main window only when none is recorded yet.
  void SetMainWndOnce(HWND window);
  bool IsQuitting() const { return quitting_.load(); }

  // Ends the process with exit code 0 from any thread. Timers, movies,
  // report threads and window animations are stopped or given a bounded
  // time to end first, so that none of them still draws or sends while the
  // services go away; the calling thread never waits for itself. Reports
  // still blocked then are ended with the process, before anything goes.
  [[noreturn]] void Exit();

  CQvApp& operator=(const CQvApp& other);

 private:
  CQvApp();
  CQvApp(const CQvApp&) = delete;

  HINSTANCE module_ = nullptr;
  std::atomic<HWND> main_window_{nullptr};
  wchar_t program_folder_[MAX_PATH + 1] = {};
  wchar_t app_name_[kQvAppNameChars] = {};
  std::atomic<bool> quitting_{false};
};

// Threads that draw on the library's windows outside the message loop (the
// window animations) announce themselves here for as long as they run, so
// that CQvApp::Exit can let them finish before the drawing services go.
class QvDrawingThreadScope {
 public:
  QvDrawingThreadScope();
  ~QvDrawingThreadScope();
  QvDrawingThreadScope(const QvDrawingThreadScope&) = delete;
  QvDrawingThreadScope& operator=(const QvDrawingThreadScope&) = delete;

  // True when every such thread but the calling one ended within timeout_ms.
  static bool WaitForOthers(DWORD timeout_ms);
};
