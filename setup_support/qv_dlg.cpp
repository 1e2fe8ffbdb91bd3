#include "qv_dlg.h"

#include "qv_app.h"
#include "qv_image.h"
#include "qv_thread.h"

CQvDlg::CQvDlg() = default;

CQvDlg::~CQvDlg() {
  // The last resort: a derived dialog's members are gone by now, so an
  // effect still playing must at least not walk its dead controls.
  controls.clear();
  StopAnimation();
  // Both pictures are dropped before the window goes; neither owes a frame.
  last_frame.Release();
  background.Release();
}

void CQvDlg::OnInit() {
  if (child) {
    edge_height = 2;
    caption_drag = false;
    cut_corners = false;
  }
  if (cut_corners) SetCornerRegion();
  HDC dc = GetDC(hwnd);
  RECT client;
  GetClientRect(hwnd, &client);
  last_frame.CreateMemDC(dc, client, false, false, nullptr);
  background.CreateMemDC(dc, client, false, false, nullptr);
  DrawBackground(background.GetMemDC(), client);
  ReleaseDC(hwnd, dc);
}

void CQvDlg::AttachControls() {
  for (CQvBase* control : controls) {
    control->window = hwnd;
    control->background_dc = background.GetMemDC();
    control->last_frame_dc = last_frame.GetMemDC();
    control->layered = layered;
  }
}

void CQvDlg::Paint(HDC dc) {
  RECT client;
  GetClientRect(hwnd, &client);
  CQvDC frame(dc, client, true, layered, layered ? hwnd : nullptr);
  frame.SetAlpha(static_cast<BYTE>(layered_alpha.load()));
  HDC memory = frame.GetMemDC();
  if (!memory) return;
  DrawBackground(memory, client);
  DrawContent(memory);
  if (!suppress) {
    for (CQvBase* control : controls) control->Paint(memory);
    if (last_frame.GetMemDC())
      BitBlt(last_frame.GetMemDC(), 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
  }
  frame.Draw();
  frame.Release();
}

void CQvDlg::DrawBackground(HDC dc, RECT rect) {
  int w = rect.right - rect.left;
  int h = rect.bottom - rect.top;
  if (child && parent_background_dc) {
    BitBlt(dc, 0, 0, w, h, parent_background_dc, x, y, SRCCOPY);
    return;
  }
  if (background_id >= 1) {
    if (dc)
      CQvImage::Instance().DrawStretchImg(dc, background_id, L"IMG", 0, 0, w, h, edge_width, 1, 0,
                                          edge_height);
    return;
  }
  if (layered) {
    // A GDI fill leaves the alpha at 0 and the layered dialog would vanish:
    // one opaque pixel is blended over the whole area instead.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 1;
    info.bmiHeader.biHeight = 1;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC source = CreateCompatibleDC(dc);
    HBITMAP pixel = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (source && pixel) {
      *static_cast<UINT32*>(bits) = 0xFF000000u | (GetRValue(solid_color) << 16) |
                                    (GetGValue(solid_color) << 8) | GetBValue(solid_color);
      HGDIOBJ old = SelectObject(source, pixel);
      BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
      GdiAlphaBlend(dc, rect.left, rect.top, w, h, source, 0, 0, 1, 1, blend);
      SelectObject(source, old);
    }
    if (pixel) DeleteObject(pixel);
    if (source) DeleteDC(source);
    return;
  }
  HBRUSH brush = CreateSolidBrush(solid_color);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

void CQvDlg::SetCornerRegion() {
  if (!hwnd) return;
  cut_corners = true;
  RECT window_rect;
  RECT client;
  GetWindowRect(hwnd, &window_rect);
  GetClientRect(hwnd, &client);
  POINT corners[2] = {{client.left, client.top}, {client.right, client.bottom}};
  ClientToScreen(hwnd, &corners[0]);
  ClientToScreen(hwnd, &corners[1]);
  QvSpan spans[kQvCornerSpans];
  QvCornerSpans(corners[0].x - window_rect.left, corners[0].y - window_rect.top,
                corners[1].x - window_rect.left, corners[1].y - window_rect.top, spans);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  for (const QvSpan& span : spans) {
    HRGN part = CreateRectRgn(span.left, span.top, span.right, span.bottom);
    CombineRgn(region, region, part, RGN_OR);
    DeleteObject(part);
  }
  // The window owns the region from here on.
  if (!SetWindowRgn(hwnd, region, TRUE)) DeleteObject(region);
}

bool CQvDlg::CanDrag(int px, int py) const {
  for (const CQvBase* control : controls)
    if (control->visible && !control->drag_through && QvBoxHit(control->Box(), px, py))
      return false;
  return true;
}

void CQvDlg::BeginCaptionDrag() { SendMessageW(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, 0); }

void CQvDlg::TellControls(int px, int py, int kind) {
  // A callback may add or remove controls: walk a copy.
  std::vector<CQvBase*> list = controls;
  for (CQvBase* control : list) control->OnMouse(px, py, kind, this);
}

void CQvDlg::OnLButtonDown(WPARAM, LPARAM lparam) {
  int px = LOWORD(lparam);
  int py = HIWORD(lparam);
  if (caption_drag && (drag_anywhere || py < caption_height) && CanDrag(px, py))
    BeginCaptionDrag();
  TellControls(px, py, kQvMouseDown);
}

void CQvDlg::OnLButtonUp(WPARAM, LPARAM lparam) {
  TellControls(LOWORD(lparam), HIWORD(lparam), kQvMouseUp);
}

void CQvDlg::OnMouseMove(WPARAM, LPARAM lparam) {
  if (suppress) return;
  TellControls(LOWORD(lparam), HIWORD(lparam), kQvMouseMove);
}

LRESULT CQvDlg::WndProc(HWND w, UINT message, WPARAM wparam, LPARAM lparam) {
  if (w != hwnd) return DefWindowProcW(w, message, wparam, lparam);
  switch (message) {
    case WM_PAINT:
      return OnPaintMessage();
    case WM_ERASEBKGND:
      return 0;
    case WM_SIZE:
      OnSize(wparam, lparam);
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(wparam, lparam);
      return 0;
    case WM_LBUTTONDOWN:
      OnLButtonDown(wparam, lparam);
      return 0;
    case WM_LBUTTONUP:
      OnLButtonUp(wparam, lparam);
      return 0;
    case WM_MOUSEWHEEL:
      OnMouseWheel(LOWORD(wparam), static_cast<short>(HIWORD(wparam)),
                   static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam)));
      return 0;
  }
  return CQvWin::WndProc(w, message, wparam, lparam);
}

void CQvDlg::ShowCenter(int kind) {
  if (animation_busy) return;
  x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  MoveWindow(hwnd, x, y, width, height, FALSE);
  AnimateAsync(kind);
  CQvApp::Instance().SetMainWndOnce(hwnd);
}

void CQvDlg::AnimateAsync(int kind) {
  if (animation_stopped) return;
  if (animation_thread) {
    // One still playing would refuse the new kind anyway.
    if (WaitForSingleObject(animation_thread, 0) == WAIT_TIMEOUT) return;
    CloseHandle(animation_thread);
    animation_thread = nullptr;
  }
  animation_kind = kind;
  animation_thread = CQvThread::StartThread(AnimateThread, this, FALSE);
}

unsigned __stdcall AnimateThread(void* dialog) {
  QvDrawingThreadScope drawing;
  if (dialog) {
    CQvDlg* dlg = static_cast<CQvDlg*>(dialog);
    dlg->Animate(dlg->animation_kind);
  }
  return 0;
}
