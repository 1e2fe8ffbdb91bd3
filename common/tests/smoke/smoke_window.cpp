// A first Windows GUI program for the test environment: it proves that the
// resources (icon, PNG of type "IMG", version information) are linked in,
// that a window opens under Xvfb, that a worker thread's message reaches the
// window, and that the exit code comes back through Wine.
//
//   smoke_window.exe READY_FILE GO_FILE
// writes READY_FILE once the window is shown, waits for GO_FILE to appear
// (so a screenshot can be taken meanwhile), then a worker thread posts the
// message that closes the window. Exit code 42 means every check passed.
#include <windows.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "gbk_text.h"
#include "smoke_ids.h"

namespace {

constexpr UINT kWorkerDone = WM_APP + 1;
constexpr WPARAM kWorkerMagic = 0x5A5A;
constexpr int kExitOk = 42;

std::wstring g_ready_file, g_go_file;
std::atomic<bool> g_failed{false};

void Fail(const char* what) {
  g_failed = true;
  OutputDebugStringA(what);
  std::fprintf(stderr, "smoke: %s\n", what);
}

bool CheckResources() {
  HINSTANCE self = GetModuleHandleW(nullptr);
  HRSRC res = FindResourceW(self, MAKEINTRESOURCEW(IDR_LOGO), L"IMG");
  if (!res) return false;
  const void* png = LockResource(LoadResource(self, res));
  if (!png || SizeofResource(self, res) < 8 || std::memcmp(png, "\x89PNG\r\n\x1a\n", 8) != 0)
    return false;
  if (!LoadIconW(self, MAKEINTRESOURCEW(IDI_SMOKE))) return false;

  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  if (size == 0) return false;
  std::string block(size, '\0');
  if (!GetFileVersionInfoW(path, 0, size, block.data())) return false;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT len = 0;
  if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &len) || !info)
    return false;
  return info->dwFileVersionMS == MAKELONG(2, 1) && info->dwFileVersionLS == MAKELONG(4, 3);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case kWorkerDone:
      if (wp != kWorkerMagic || GetCurrentThreadId() != GetWindowThreadProcessId(hwnd, nullptr))
        Fail("worker message arrived wrong");
      DestroyWindow(hwnd);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT rc;
      GetClientRect(hwnd, &rc);
      FillRect(dc, &rc, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
      std::u16string text = zz::GbkToUtf16("测试窗口：资源、线程消息、退出码");
      SetBkMode(dc, TRANSPARENT);
      TextOutW(dc, 16, 16, reinterpret_cast<const wchar_t*>(text.c_str()),
               static_cast<int>(text.size()));
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

bool FileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Worker(HWND hwnd) {
  if (!g_go_file.empty()) {
    for (int i = 0; i < 600 && !FileExists(g_go_file); ++i) Sleep(50);
  }
  PostMessageW(hwnd, kWorkerDone, kWorkerMagic, 0);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc >= 3) {
    g_ready_file = argv[1];
    g_go_file = argv[2];
  }
  LocalFree(argv);

  if (!CheckResources()) Fail("resources missing or wrong");

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_SMOKE));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = L"ZzSmokeWindow";
  if (!RegisterClassExW(&wc)) return 1;
  std::u16string caption = zz::GbkToUtf16("冒烟测试");
  HWND hwnd = CreateWindowExW(0, wc.lpszClassName, reinterpret_cast<const wchar_t*>(caption.c_str()),
                              WS_OVERLAPPEDWINDOW, 40, 40, 420, 160, nullptr, nullptr, instance,
                              nullptr);
  if (!hwnd) return 2;
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
  if (!g_ready_file.empty()) {
    HANDLE f = CreateFileW(g_ready_file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
  }

  std::thread worker(Worker, hwnd);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  worker.join();
  return g_failed ? 3 : kExitOk;
}
