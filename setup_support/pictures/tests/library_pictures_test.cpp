#include "library_pictures.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>

#include "png_zlib.h"

namespace {

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

struct Decoded {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgba;
  const std::uint8_t* At(int x, int y) const { return &rgba[(y * width + x) * 4]; }
};

Decoded Decode(const std::vector<std::uint8_t>& png) {
  Decoded out;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) return out;
  image.format = PNG_FORMAT_RGBA;
  out.rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr)) return out;
  out.width = static_cast<int>(image.width);
  out.height = static_cast<int>(image.height);
  return out;
}

int Brightness(const std::uint8_t* p) { return p[0] + p[1] + p[2]; }

TEST(LibraryPictures, CheckedInFilesAreWhatTheGeneratorWrites) {
  for (const zz::LibraryPicture& picture : zz::MakeLibraryPictures(zz::ZlibPngDeflate())) {
    SCOPED_TRACE(picture.file);
    EXPECT_EQ(ReadFile(ZZ_LIBRARY_PICTURES + picture.file), picture.bytes)
        << "run make_library_pictures setup_support/res";
  }
}

TEST(LibraryPictures, SizesAndLooksTheControlsRelyOn) {
  std::map<int, Decoded> by_id;
  for (const zz::LibraryPicture& picture : zz::MakeLibraryPictures(zz::ZlibPngDeflate()))
    if (picture.file.size() > 4 && picture.file.substr(picture.file.size() - 4) == ".png")
      by_id[picture.id] = Decode(picture.bytes);
  for (int id : {60001, 60002, 60003, 60004}) {
    EXPECT_EQ(by_id[id].width, 69);
    EXPECT_EQ(by_id[id].height, 21);
  }
  for (int id : {60006, 60007, 60008}) EXPECT_EQ(by_id[id].width, 38);
  for (int id : {60036, 60037, 60038, 60039}) EXPECT_EQ(by_id[id].width, 15);
  // Every button state looks different in the middle of its face.
  for (int a = 60001; a <= 60004; ++a)
    for (int b = a + 1; b <= 60004; ++b)
      EXPECT_NE(std::memcmp(by_id[a].At(34, 14), by_id[b].At(34, 14), 3), 0) << a << " " << b;
  // The background: see-through corners, a dark caption band over a light body.
  const Decoded& back = by_id[60051];
  ASSERT_EQ(back.width, 186);
  ASSERT_EQ(back.height, 150);
  EXPECT_EQ(back.At(0, 0)[3], 0);
  EXPECT_EQ(back.At(185, 149)[3], 0);
  EXPECT_LT(Brightness(back.At(90, 15)), 200);
  EXPECT_GT(Brightness(back.At(90, 80)), 700);
  EXPECT_EQ(back.At(90, 80)[3], 255);
  // The ticked boxes are dark blue, the unticked ones nearly white.
  EXPECT_GT(Brightness(by_id[60036].At(7, 3)), 700);
  EXPECT_LT(Brightness(by_id[60039].At(3, 3)), 500);
}

}  // namespace
