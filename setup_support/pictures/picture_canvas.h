// An RGBA canvas for the tools that draw our pictures: filled and rounded
// shapes, gradients, anti-aliased discs, rings and lines, canvases copied into
// one another and strips of frames, saved as PNG. Straight (not premultiplied)
// alpha; every shape is painted source-over with its colour's alpha.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "png_writer.h"

namespace zz {

struct Rgba {
  std::uint8_t r = 0, g = 0, b = 0, a = 255;
  bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
  bool operator!=(const Rgba& o) const { return !(*this == o); }
};

constexpr Rgba RgbaOf(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255) {
  return Rgba{r, g, b, a};
}

class PictureCanvas {
 public:
  // A negative size counts as 0.
  PictureCanvas(int width, int height, Rgba fill = Rgba{0, 0, 0, 0});

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Outside the canvas: fully transparent black.
  Rgba Pixel(int x, int y) const;
  const std::vector<std::uint8_t>& Bytes() const { return pixels_; }

  // Replaces pixels (no blending); parts outside the canvas are clipped.
  void SetPixel(int x, int y, Rgba c);
  void Fill(Rgba c);
  void SetRect(int x, int y, int w, int h, Rgba c);
  // Paints c over the pixel with coverage 0..1 scaling its alpha.
  void Blend(int x, int y, Rgba c, float coverage = 1.0f);

  void FillRect(int x, int y, int w, int h, Rgba c);
  void FillRoundRect(int x, int y, int w, int h, float radius, Rgba c);
  // Colours run from the first to the last row (column) of the rectangle.
  void VerticalGradient(int x, int y, int w, int h, Rgba top, Rgba bottom);
  void HorizontalGradient(int x, int y, int w, int h, Rgba left, Rgba right);
  void FillDisc(float cx, float cy, float radius, Rgba c);
  // A ring whose centre line has the given radius.
  void Ring(float cx, float cy, float radius, float thickness, Rgba c);
  void Line(float x0, float y0, float x1, float y1, float thickness, Rgba c);

  // The source's pixels replace (blend false) or are painted over (blend
  // true) this canvas's pixels from (x, y).
  void Copy(const PictureCanvas& source, int x, int y, bool blend = false);

  // Frames side by side from left to right, as the setup pictures hold
  // their states; the strip is as high as the highest frame.
  static PictureCanvas Strip(const std::vector<PictureCanvas>& frames);

  std::vector<std::uint8_t> ToPng(const PngDeflate& deflate = nullptr) const;
  bool SavePng(const std::filesystem::path& path, const PngDeflate& deflate = nullptr) const;

 private:
  template <class Coverage>
  void PaintShape(float left, float top, float right, float bottom, Rgba c, Coverage coverage);

  int width_;
  int height_;
  std::vector<std::uint8_t> pixels_;
};

}  // namespace zz
