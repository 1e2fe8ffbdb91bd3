#include "qv_win.h"

#include <cwchar>

#include "qv_app.h"
#include "qv_dc.h"
#include "qv_messages.h"

namespace {

constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD kPopupStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_MINIMIZEBOX;

CQvWin* ObjectOf(HWND window) {
  return reinterpret_cast<CQvWin*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace

CQvWin::~CQvWin() {
  if (!hwnd) return;
  // The object is going: no message of the destruction may reach it.
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  DestroyWindow(hwnd);
}

bool CQvWin::Create(HWND parent, int w, int h, bool is_layered, DWORD style) {
  Place(0, 0, w, h);
  CQvApp& app = CQvApp::Instance();

  wchar_t name[kQvAppNameChars + 40];
  swprintf(name, sizeof name / sizeof name[0], L"%ls_QVWND_%d", app.GetAppName(),
           static_cast<int>(GetTickCount()));
  class_name = name;
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = app.GetModule();
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = class_name.c_str();
  if (icon_id != 0) {
    wc.hIcon = LoadIconW(app.GetModule(), MAKEINTRESOURCEW(icon_id & 0xFFFF));
    wc.hIconSm = wc.hIcon;
  }
  // Two windows made in the same tick share the first one's class.
  RegisterClassExW(&wc);

  if (style == 0) style = parent ? kChildStyle : kPopupStyle;
  window = parent;
  hwnd = CreateWindowExW(0, class_name.c_str(), app.GetAppName(), style, 0, 0, w, h, parent,
                         nullptr, app.GetModule(), nullptr);
  if (!hwnd) return false;
  child = (style & WS_CHILD) != 0;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  layered = is_layered;
  if (layered)
    SetWindowLongPtrW(hwnd, GWL_EXSTYLE, GetWindowLongPtrW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
  OnInit();
  AttachControls();
  return true;
}

LRESULT CQvWin::WndProc(HWND w, UINT message, WPARAM wparam, LPARAM lparam) {
  if (w == hwnd) {
    switch (message) {
      case WM_PAINT:
        return OnPaintMessage();
      case WM_QV_REDRAW:
        PaintNow();
        return 0;
    }
  }
  return DefWindowProcW(w, message, wparam, lparam);
}

LRESULT CQvWin::OnPaintMessage() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  Paint(dc);
  EndPaint(hwnd, &ps);
  return 0;
}

void CQvWin::Redraw() {
  if (!hwnd) return;
  if (GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId()) {
    PostMessageW(hwnd, WM_QV_REDRAW, 0, 0);
    return;
  }
  PaintNow();
}

void CQvWin::PaintNow() {
  HDC dc = GetDC(hwnd);
  if (!dc) return;
  if (layered) {
    // The layered frame is shown by the paint itself, in one update.
    Paint(dc);
  } else {
    RECT client;
    GetClientRect(hwnd, &client);
    CQvDC frame(dc, client, false, false, nullptr);
    if (frame.GetMemDC()) {
      Paint(frame.GetMemDC());
      frame.Draw();
    }
  }
  ReleaseDC(hwnd, dc);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  CQvWin* object = ObjectOf(window);
  if (!object) return DefWindowProcW(window, message, wparam, lparam);
  LRESULT result = object->WndProc(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    // Destroyed from outside (by the system or DestroyWindow): the object
    // lives on without a window.
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    if (object->hwnd == window) object->hwnd = nullptr;
  }
  return result;
}

int MessageLoop() {
  MSG msg;
  for (;;) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(msg.wParam);
    if (got == -1) return -1;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

bool ModalLoop(const std::atomic<bool>& closing) {
  MSG msg;
  for (;;) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    if (got == -1) return false;
    if (closing.load()) return true;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}
