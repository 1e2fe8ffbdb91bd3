// A 32-bit top-down DIB selected into a memory DC: a drawing target whose
// pixels tests read straight from memory (GDI+ writes premultiplied alpha
// there). It starts white with alpha 0, as FillRect would leave it.
#pragma once

#include <windows.h>

class QvTestDib {
 public:
  QvTestDib(int width, int height) : width_(width) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ =
        CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    for (int i = 0; i < width * height; ++i) bits_[i] = 0x00FFFFFF;
  }
  ~QvTestDib() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  QvTestDib(const QvTestDib&) = delete;
  QvTestDib& operator=(const QvTestDib&) = delete;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  // The pixel as GDI reads it back (a COLORREF).
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  // 0xRRGGBB of an opaque pixel; 0xFFFFFF for one nothing was drawn on.
  DWORD Rgb(int x, int y) const { return bits_[y * width_ + x] & 0xFFFFFF; }
  bool Untouched(int x, int y, int w, int h) const {
    for (int row = y; row < y + h; ++row)
      for (int col = x; col < x + w; ++col)
        if (bits_[row * width_ + col] != 0x00FFFFFF) return false;
    return true;
  }

 private:
  int width_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  DWORD* bits_ = nullptr;
};
