// Solid-colour pictures for the image service's tests: one colour per frame
// and per slice, so that pixels read away from the seams tell exactly which
// piece landed where. qv_image_test_strip.png is the strip written by
// qv_image_test_pictures (native build), checked against it by a test.
#pragma once

#include "picture_canvas.h"

namespace qv_test {

const zz::Rgba kRed = zz::RgbaOf(255, 0, 0);
const zz::Rgba kGreen = zz::RgbaOf(0, 255, 0);
const zz::Rgba kBlue = zz::RgbaOf(0, 0, 255);

// 87 x 29: three frames of 29, red, green, blue.
inline zz::PictureCanvas Strip() {
  return zz::PictureCanvas::Strip({zz::PictureCanvas(29, 29, kRed),
                                   zz::PictureCanvas(29, 29, kGreen),
                                   zz::PictureCanvas(29, 29, kBlue)});
}

// 30 x 30 in nine 10 x 10 slices, colour (row * 100 + 50, column * 100 + 50, 7).
inline zz::Rgba SliceColour(int row, int column) {
  return zz::RgbaOf(static_cast<std::uint8_t>(row * 100 + 50),
                    static_cast<std::uint8_t>(column * 100 + 50), 7);
}

inline zz::PictureCanvas NineSlices() {
  zz::PictureCanvas canvas(30, 30);
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column)
      canvas.SetRect(column * 10, row * 10, 10, 10, SliceColour(row, column));
  return canvas;
}

}  // namespace qv_test
