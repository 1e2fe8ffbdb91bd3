// Off-screen drawing surface: a memory DC holding a bitmap the size of a
// target rectangle, and the one step that puts the finished frame on the
// screen, by a plain copy or, for a layered window, with per-pixel alpha.
#pragma once

#include <windows.h>

class CQvDC {
 public:
  // Holds nothing until CreateMemDC.
  CQvDC() = default;
  CQvDC(HDC target, RECT& rect, bool pendingDraw, bool layered, HWND window);
  // Shows the frame first when a draw is still pending, then gives the
  // bitmap and the DC back.
  ~CQvDC();

  // Two objects naming the same DC and bitmap would delete them twice:
  // ownership moves, it is never shared.
  CQvDC(const CQvDC&) = delete;
  CQvDC& operator=(const CQvDC&) = delete;
  CQvDC(CQvDC&& other) noexcept;
  CQvDC& operator=(CQvDC&& other) noexcept;

  // Anything held before is released first. When either GDI object cannot
  // be made, nothing is kept and the later drawing calls are refused.
  void CreateMemDC(HDC target, RECT& rect, bool pendingDraw, bool layered, HWND window);
  // The result of the GDI call, for callers that care; the frame's owner
  // usually does not.
  bool Draw();
  // The explicit end of a frame on the normal path: the old object goes
  // back into the DC before the bitmap is deleted (a selected bitmap cannot
  // be), and no draw happens, pending or not.
  void Release();

  HDC GetMemDC() const { return mem_dc_; }
  HBITMAP GetBitmap() const { return bitmap_; }
  const RECT& GetRect() const { return rect_; }
  bool IsDrawPending() const { return pending_draw_; }
  // Whole-frame opacity a layered window is shown with, on top of the
  // frame's own per-pixel alpha.
  void SetAlpha(BYTE alpha) { alpha_ = alpha; }

 private:
  void Reset();

  HDC mem_dc_ = nullptr;
  HDC target_ = nullptr;
  RECT rect_ = {0, 0, 0, 0};
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_object_ = nullptr;
  bool pending_draw_ = false;
  bool layered_ = false;
  HWND window_ = nullptr;
  BYTE alpha_ = 255;
};
