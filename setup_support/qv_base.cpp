#include "qv_base.h"

#include "qv_app.h"
#include "qv_dc.h"
#include "qv_font.h"

CQvBase::CQvBase() {
  CQvFont& fonts = CQvFont::Instance();
  font = fonts.GetFont(fonts.GetDefaultSize(), nullptr, false, false);
}

void CQvBase::Draw(HDC, int, int) {}

void CQvBase::Paint(HDC dc) {
  if (IsInView()) Draw(dc, x, y);
}

bool CQvBase::OnMouse(int, int, int, void*) { return false; }

HWND CQvBase::OwnerWindow() {
  if (!window) window = CQvApp::Instance().GetMainWnd();
  return window;
}

bool CQvBase::IsInView() {
  if (!visible) return false;
  RECT rect = {0, 0, 0, 0};
  if (HWND owner = OwnerWindow()) GetWindowRect(owner, &rect);
  return QvBoxTouchesArea(Box(), rect.right - rect.left, rect.bottom - rect.top);
}

void CQvBase::Refresh(bool keep) {
  if (!IsInView()) return;
  HWND owner = OwnerWindow();
  if (!owner) return;
  HDC window_dc = GetDC(owner);
  if (!window_dc) return;
  CQvDC frame;
  if (layered) {
    // A layered window is always shown whole: start from the last frame
    // and put this control's new look into it.
    RECT window_rect = {0, 0, 0, 0};
    GetWindowRect(owner, &window_rect);
    RECT whole = {0, 0, window_rect.right - window_rect.left, window_rect.bottom - window_rect.top};
    frame.CreateMemDC(window_dc, whole, false, true, owner);
    HDC memory = frame.GetMemDC();
    if (memory) {
      if (last_frame_dc) BitBlt(memory, 0, 0, whole.right, whole.bottom, last_frame_dc, 0, 0, SRCCOPY);
      if (background_dc) BitBlt(memory, x, y, width, height, background_dc, x, y, SRCCOPY);
      Draw(memory, x, y);
      if (keep && last_frame_dc) BitBlt(last_frame_dc, x, y, width, height, memory, x, y, SRCCOPY);
    }
  } else {
    RECT place = {x, y, x + width, y + height};
    frame.CreateMemDC(window_dc, place, false, false, nullptr);
    HDC memory = frame.GetMemDC();
    if (memory) {
      if (background_dc) BitBlt(memory, 0, 0, width, height, background_dc, x, y, SRCCOPY);
      Draw(memory, 0, 0);
      if (keep && last_frame_dc) BitBlt(last_frame_dc, x, y, width, height, memory, 0, 0, SRCCOPY);
    }
  }
  frame.Draw();
  frame.Release();
  ReleaseDC(owner, window_dc);
}
