// Owners for the GDI objects and device contexts the grid draws with: each
// is given back on every path out of a drawing routine.
#pragma once

#include <windows.h>

namespace grid {

template <typename Handle>
class GdiObject {
 public:
  explicit GdiObject(Handle h = nullptr) : h_(h) {}
  ~GdiObject() {
    if (h_) DeleteObject(h_);
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  Handle get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  Handle h_;
};
using Font = GdiObject<HFONT>;
using Pen = GdiObject<HPEN>;
using Brush = GdiObject<HBRUSH>;
using Bitmap = GdiObject<HBITMAP>;

// Selects an object into a DC for the life of this value.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~Selection() { SelectObject(dc_, old_); }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

class PaintDc {
 public:
  explicit PaintDc(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
  ~PaintDc() { EndPaint(hwnd_, &ps_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC get() const { return dc_; }
  const RECT& area() const { return ps_.rcPaint; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

// A DC the program created (memory or printer): deleted, not released.
class OwnedDc {
 public:
  explicit OwnedDc(HDC dc = nullptr) : dc_(dc) {}
  ~OwnedDc() {
    if (dc_) DeleteDC(dc_);
  }
  OwnedDc(const OwnedDc&) = delete;
  OwnedDc& operator=(const OwnedDc&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HDC dc_;
};

// Drawing goes to a bitmap first and reaches the screen in one copy: the
// grid does not flicker while it scrolls.
class BufferedPaint {
 public:
  BufferedPaint(HDC target, const RECT& area)
      : target_(target), area_(area), dc_(CreateCompatibleDC(target)),
        bitmap_(CreateCompatibleBitmap(target, Width(), Height())), selection_(dc_.get(), bitmap_.get()) {
    SetViewportOrgEx(dc_.get(), -area.left, -area.top, nullptr);
  }
  ~BufferedPaint() {
    SetViewportOrgEx(dc_.get(), 0, 0, nullptr);
    BitBlt(target_, area_.left, area_.top, Width(), Height(), dc_.get(), 0, 0, SRCCOPY);
  }
  BufferedPaint(const BufferedPaint&) = delete;
  BufferedPaint& operator=(const BufferedPaint&) = delete;
  HDC get() const { return dc_.get(); }

 private:
  int Width() const { return area_.right - area_.left; }
  int Height() const { return area_.bottom - area_.top; }
  HDC target_;
  RECT area_;
  OwnedDc dc_;
  Bitmap bitmap_;
  Selection selection_;
};

}  // namespace grid
