#include "picture_canvas.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstring>

namespace {

std::vector<std::uint8_t> DecodeRgba(const std::vector<std::uint8_t>& png, int& w, int& h) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) return {};
  image.format = PNG_FORMAT_RGBA;
  std::vector<std::uint8_t> out(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, out.data(), 0, nullptr)) return {};
  w = static_cast<int>(image.width);
  h = static_cast<int>(image.height);
  return out;
}

zz::PngDeflate ZlibDeflate() {
  return [](const std::vector<std::uint8_t>& raw, std::vector<std::uint8_t>& out) {
    uLongf size = compressBound(raw.size());
    out.resize(size);
    if (compress2(out.data(), &size, raw.data(), raw.size(), 9) != Z_OK) return false;
    out.resize(size);
    return true;
  };
}

// Large enough for several stored blocks; every shape kind leaves its mark.
TEST(PictureCanvas, DecodesBackByteForByteWithEitherDeflate) {
  zz::PictureCanvas a(90, 60, zz::RgbaOf(10, 20, 30, 40));
  a.VerticalGradient(0, 0, 90, 30, zz::RgbaOf(255, 0, 0), zz::RgbaOf(0, 0, 255));
  a.FillRoundRect(5, 35, 40, 20, 6, zz::RgbaOf(0, 200, 0, 128));
  a.FillDisc(70, 45, 10, zz::RgbaOf(255, 255, 0));
  a.Line(0, 59, 89, 31, 2, zz::RgbaOf(255, 255, 255, 200));
  zz::PictureCanvas b(200, 120, zz::RgbaOf(1, 2, 3));
  b.Ring(100, 60, 40, 5, zz::RgbaOf(9, 8, 7, 255));
  const zz::PictureCanvas strip = zz::PictureCanvas::Strip({a, b, a});
  ASSERT_GT(strip.Bytes().size(), 2 * 65535u);

  for (bool compressed : {false, true}) {
    const auto png = strip.ToPng(compressed ? ZlibDeflate() : nullptr);
    int w = 0, h = 0;
    EXPECT_EQ(DecodeRgba(png, w, h), strip.Bytes()) << compressed;
    EXPECT_EQ(w, 380);
    EXPECT_EQ(h, 120);
  }
  // The strip's short frames are padded with transparency.
  EXPECT_EQ(strip.Pixel(10, 100), zz::RgbaOf(0, 0, 0, 0));
  EXPECT_EQ(strip.Pixel(300, 0), zz::RgbaOf(255, 0, 0));
  EXPECT_EQ(zz::Adler32(reinterpret_cast<const std::uint8_t*>("Wikipedia"), 9), 0x11E60398u);
}

TEST(PictureCanvas, BlendsSourceOverWithSoftEdges) {
  zz::PictureCanvas c(20, 20, zz::RgbaOf(0, 0, 255));
  c.FillRect(0, 0, 10, 20, zz::RgbaOf(255, 0, 0, 128));
  EXPECT_EQ(c.Pixel(5, 5), zz::RgbaOf(128, 0, 127));
  zz::PictureCanvas empty(20, 20);
  empty.FillDisc(10, 10, 5, zz::RgbaOf(0, 255, 0));
  EXPECT_EQ(empty.Pixel(10, 10).a, 255);
  const int edge = empty.Pixel(14, 12).a;  // centre at distance ~5.1
  EXPECT_GT(edge, 0);
  EXPECT_LT(edge, 255);
  EXPECT_EQ(empty.Pixel(16, 16).a, 0);
}

}  // namespace
