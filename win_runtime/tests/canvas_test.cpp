// Canvas units: drawing into the model's pixels and the BMP taken from them.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "window_model.h"

namespace {

using rt::UnitKind;

constexpr rt::Colour kPaper = 0xFFF8F4;  // light blue, as 0x00BBGGRR
constexpr rt::Colour kPen = 0x0000FF;
constexpr rt::Colour kBrush = 0x00FF00;

rt::WindowTemplate CanvasWindow(int width, int height) {
  rt::UnitTemplate canvas{UnitKind::Canvas, "画板", "", 0, 0, width, height};
  canvas.background = kPaper;
  canvas.pen = kPen;
  canvas.brush = kBrush;
  return {"CanvasWindow", "", 0, 0, 100, 100, rt::Border::None, {canvas}};
}

std::uint32_t Le32(const std::string& b, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
  return v;
}

// The pixel (x, y), counted from the top, of a 24-bit bottom-up BMP.
rt::Colour BmpPixel(const std::string& b, int x, int y) {
  int width = static_cast<int>(Le32(b, 18)), height = static_cast<int>(Le32(b, 22));
  std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
  std::size_t at = Le32(b, 10) + stride * (height - 1 - y) + 3 * static_cast<std::size_t>(x);
  auto byte = [&](std::size_t i) { return static_cast<rt::Colour>(static_cast<unsigned char>(b[i])); };
  return byte(at) << 16 | byte(at + 1) << 8 | byte(at + 2);
}

TEST(Canvas, StartsAsLargeAsItsUnitInItsDesignColour) {
  rt::WindowModel w(CanvasWindow(4, 3));
  const rt::PixelCanvas& c = w.Get("画板").canvas;
  EXPECT_EQ(c.width(), 4);
  EXPECT_EQ(c.height(), 3);
  EXPECT_EQ(c.At(0, 0), kPaper);
  EXPECT_EQ(c.At(3, 2), kPaper);
  EXPECT_EQ(c.At(4, 0), rt::kNoColour);
  EXPECT_EQ(c.At(-1, 0), rt::kNoColour);

  // Without colours of its own a canvas is a white sheet.
  rt::WindowModel plain({"Plain", "", 0, 0, 10, 10, rt::Border::None,
                         {{UnitKind::Canvas, "画板", "", 0, 0, 2, 2}}});
  EXPECT_EQ(plain.Get("画板").canvas.At(1, 1), 0xFFFFFFu);
}

TEST(Canvas, RectangleHasItsOutlineInThePenAndItsInsideInTheBrush) {
  rt::WindowModel w(CanvasWindow(6, 6));
  w.DrawRectangle("画板", 1, 1, 5, 5);  // right and bottom exclusive
  const rt::PixelCanvas& c = w.Get("画板").canvas;
  const char* expected[6] = {"......", ".pppp.", ".pbbp.", ".pbbp.", ".pppp.", "......"};
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) {
      rt::Colour want = expected[y][x] == 'p' ? kPen : expected[y][x] == 'b' ? kBrush : kPaper;
      EXPECT_EQ(c.At(x, y), want) << x << "," << y;
    }
}

TEST(Canvas, RectangleIsClippedAndMayBeGivenCornersReversed) {
  rt::WindowModel w(CanvasWindow(3, 3));
  w.DrawRectangle("画板", 2, 2, -5, -5);  // outline at x,y = -5 and 1
  const rt::PixelCanvas& c = w.Get("画板").canvas;
  EXPECT_EQ(c.At(0, 0), kBrush);
  EXPECT_EQ(c.At(1, 0), kPen);
  EXPECT_EQ(c.At(0, 1), kPen);
  EXPECT_EQ(c.At(2, 2), kPaper);
  w.DrawRectangle("画板", 10, 10, 20, 20);  // wholly outside: nothing
  w.DrawRectangle("画板", 0, 0, 0, 3);      // empty: nothing
  EXPECT_EQ(c.At(2, 2), kPaper);
  EXPECT_EQ(c.At(0, 2), kPaper);
}

TEST(Canvas, ResizingKeepsWhatWasDrawnAndANewBackgroundClears) {
  rt::WindowModel w(CanvasWindow(2, 2));
  w.DrawRectangle("画板", 0, 0, 2, 2);
  w.SetGeometry("画板", 0, 0, 1, 4);
  const rt::PixelCanvas& c = w.Get("画板").canvas;
  EXPECT_EQ(c.width(), 1);
  EXPECT_EQ(c.height(), 4);
  EXPECT_EQ(c.At(0, 1), kPen);
  EXPECT_EQ(c.At(0, 2), kPaper);
  w.SetBackground("画板", 0x123456);
  EXPECT_EQ(c.At(0, 0), 0x123456u);
  w.SetPenColour("画板", 0x010203);
  w.SetBrushColour("画板", 0x040506);
  w.DrawRectangle("画板", 0, 0, 1, 4);
  EXPECT_EQ(c.At(0, 3), 0x010203u);
}

TEST(Canvas, DrawingIsReportedToTheMirror) {
  rt::WindowModel w(CanvasWindow(2, 2));
  int drawn = 0;
  w.mirror = [&](rt::UnitState&, rt::Property p) { drawn += p == rt::Property::Pixels; };
  w.DrawRectangle("画板", 0, 0, 1, 1);
  EXPECT_EQ(drawn, 1);
}

TEST(Canvas, PictureIsA24BitBottomUpBmpWithPaddedLines) {
  rt::WindowModel w(CanvasWindow(3, 2));
  w.DrawRectangle("画板", 0, 0, 1, 1);  // only the top-left pixel
  std::string bmp = w.Picture("画板");
  const std::size_t stride = 12;  // 3 pixels of 3 bytes, padded to 4
  ASSERT_EQ(bmp.size(), 54 + stride * 2);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_EQ(Le32(bmp, 2), bmp.size());
  EXPECT_EQ(Le32(bmp, 10), 54u);
  EXPECT_EQ(Le32(bmp, 14), 40u);
  EXPECT_EQ(Le32(bmp, 18), 3u);
  EXPECT_EQ(Le32(bmp, 22), 2u);
  EXPECT_EQ(Le32(bmp, 26), 1u | 24u << 16);  // one plane, 24 bits
  EXPECT_EQ(Le32(bmp, 30), 0u);              // uncompressed
  EXPECT_EQ(Le32(bmp, 34), stride * 2);
  // The top line is stored last, blue first.
  EXPECT_EQ(static_cast<unsigned char>(bmp[54 + stride]), 0x00);
  EXPECT_EQ(static_cast<unsigned char>(bmp[54 + stride + 2]), 0xFF);
  EXPECT_EQ(BmpPixel(bmp, 0, 0), kPen);
  EXPECT_EQ(BmpPixel(bmp, 1, 0), kPaper);
  EXPECT_EQ(BmpPixel(bmp, 2, 1), kPaper);
  EXPECT_EQ(bmp[54 + 9], '\0');  // padding

  rt::WindowModel empty(CanvasWindow(0, 5));
  EXPECT_EQ(empty.Picture("画板"), "");
}

// The record list's background tile: one pixel wide, two rows high, the
// upper row drawn over, the lower left in the background.
TEST(Canvas, AlternateRowTileFromARectangleOverTheUpperHalf) {
  for (int pitch : {1, 17, 24}) {
    rt::WindowModel w(CanvasWindow(50, 50));
    w.SetGeometry("画板", 0, 0, 1, 50);
    w.SetGeometry("画板", 0, 0, 1, 2 * pitch);
    const rt::UnitState& c = w.Get("画板");
    w.DrawRectangle("画板", 0, 0, c.width, c.height / 2);
    std::string bmp = w.Picture("画板");
    ASSERT_EQ(bmp.size(), 54u + 4u * 2 * pitch) << pitch;
    EXPECT_EQ(Le32(bmp, 22), static_cast<std::uint32_t>(2 * pitch));
    for (int y = 0; y < 2 * pitch; ++y)
      EXPECT_EQ(BmpPixel(bmp, 0, y), y < pitch ? kPen : kPaper) << pitch << " row " << y;
  }
}

}  // namespace
