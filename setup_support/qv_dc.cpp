#include "qv_dc.h"

#include <utility>

CQvDC::CQvDC(HDC target, RECT& rect, bool pendingDraw, bool layered, HWND window) {
  CreateMemDC(target, rect, pendingDraw, layered, window);
}

CQvDC::~CQvDC() {
  if (pending_draw_) Draw();
  Release();
}

CQvDC::CQvDC(CQvDC&& other) noexcept
    : mem_dc_(other.mem_dc_),
      target_(other.target_),
      rect_(other.rect_),
      bitmap_(other.bitmap_),
      old_object_(other.old_object_),
      pending_draw_(other.pending_draw_),
      layered_(other.layered_),
      window_(other.window_),
      alpha_(other.alpha_) {
  other.Reset();
}

CQvDC& CQvDC::operator=(CQvDC&& other) noexcept {
  if (this != &other) {
    // The frame this object still owed is dropped with its handles, as
    // Release does: only a destructor shows a pending frame.
    Release();
    mem_dc_ = other.mem_dc_;
    target_ = other.target_;
    rect_ = other.rect_;
    bitmap_ = other.bitmap_;
    old_object_ = other.old_object_;
    pending_draw_ = other.pending_draw_;
    layered_ = other.layered_;
    window_ = other.window_;
    alpha_ = other.alpha_;
    other.Reset();
  }
  return *this;
}

void CQvDC::CreateMemDC(HDC target, RECT& rect, bool pendingDraw, bool layered, HWND window) {
  Release();
  pending_draw_ = pendingDraw;
  layered_ = layered;
  window_ = window;
  target_ = target;
  rect_ = rect;
  mem_dc_ = CreateCompatibleDC(target);
  if (!mem_dc_) return;
  bitmap_ = CreateCompatibleBitmap(target, rect.right - rect.left, rect.bottom - rect.top);
  if (!bitmap_) {
    DeleteDC(mem_dc_);
    mem_dc_ = nullptr;
    return;
  }
  old_object_ = SelectObject(mem_dc_, bitmap_);
}

bool CQvDC::Draw() {
  pending_draw_ = false;
  if (!mem_dc_) return false;
  if (layered_) {
    RECT window_rect = {0, 0, 0, 0};
    GetWindowRect(window_, &window_rect);
    POINT destination = {window_rect.left, window_rect.top};
    SIZE size = {window_rect.right - window_rect.left, window_rect.bottom - window_rect.top};
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, alpha_, AC_SRC_ALPHA};
    return UpdateLayeredWindow(window_, target_, &destination, &size, mem_dc_, &source, 0,
                               &blend, ULW_ALPHA) != FALSE;
  }
  return BitBlt(target_, rect_.left, rect_.top, rect_.right - rect_.left,
                rect_.bottom - rect_.top, mem_dc_, 0, 0, SRCCOPY) != FALSE;
}

void CQvDC::Release() {
  if (mem_dc_ && old_object_) SelectObject(mem_dc_, old_object_);
  if (bitmap_) DeleteObject(bitmap_);
  if (mem_dc_) DeleteDC(mem_dc_);
  Reset();
}

void CQvDC::Reset() {
  mem_dc_ = nullptr;
  target_ = nullptr;
  rect_ = RECT{0, 0, 0, 0};
  bitmap_ = nullptr;
  old_object_ = nullptr;
  pending_draw_ = false;
  layered_ = false;
  window_ = nullptr;
  alpha_ = 255;
}
