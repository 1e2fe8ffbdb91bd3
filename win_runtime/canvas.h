// The pixels of a canvas unit, kept by the model so that drawing and the
// picture taken from it do not depend on a device context; the Win32 layer
// only shows them.
#pragma once

#include <string>
#include <vector>

#include "unit_kinds.h"

namespace rt {

class PixelCanvas {
 public:
  int width() const { return width_; }
  int height() const { return height_; }
  // kNoColour outside the canvas.
  Colour At(int x, int y) const;

  // Pixels inside both the old and the new size keep what was drawn on
  // them; new ones take `background`.
  void Resize(int width, int height, Colour background);
  void Clear(Colour background);
  // The platform's rectangle: right and bottom are exclusive, the outline
  // (one pixel wide) in `pen`, the inside in `brush`. Either may be
  // kNoColour to leave those pixels alone. Drawing outside is clipped.
  void Rectangle(int left, int top, int right, int bottom, Colour pen, Colour brush);

  // The picture as the bytes of a 24-bit BMP file; "" for an empty canvas.
  std::string Bmp() const;

 private:
  void Fill(int left, int top, int right, int bottom, Colour colour);

  int width_ = 0, height_ = 0;
  std::vector<Colour> pixels_;  // top-down rows
};

}  // namespace rt
