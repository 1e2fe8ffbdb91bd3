#include "qv_image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "qv_image_test_pictures.h"
#include "qv_test_dib.h"

namespace {

namespace fs = std::filesystem;

using Target = QvTestDib;

DWORD Rgb(zz::Rgba c) { return (DWORD{c.r} << 16) | (DWORD{c.g} << 8) | c.b; }
const DWORD kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;

class QvImageTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = fs::path(temp) / L"qv_image_测试";
    fs::create_directories(folder_);
    ASSERT_TRUE(qv_test::Strip().SavePng(Path(L"strip.png")));
    ASSERT_TRUE(qv_test::NineSlices().SavePng(Path(L"nine.png")));
  }
  static void TearDownTestSuite() { fs::remove_all(folder_); }
  static fs::path Path(const wchar_t* name) { return folder_ / name; }
  static std::wstring File(const wchar_t* name) { return Path(name).wstring(); }

  CQvImage& image_ = CQvImage::Instance();
  static fs::path folder_;
};
fs::path QvImageTest::folder_;

TEST_F(QvImageTest, LoadsResourcesAndRefusesWhatIsMissing) {
  std::unique_ptr<Gdiplus::Image> strip(CQvImage::LoadPngFromRes(60001, L"IMG"));
  ASSERT_TRUE(strip);
  EXPECT_EQ(strip->GetWidth(), 87u);
  EXPECT_EQ(strip->GetHeight(), 29u);
  EXPECT_EQ(CQvImage::LoadPngFromRes(60002, L"IMG"), nullptr);
  Target t(10, 10);
  EXPECT_FALSE(image_.DrawImg(t.dc(), 60002, L"IMG", 0, 0));
  EXPECT_FALSE(image_.DrawStretchImg(nullptr, 60001, L"IMG", 0, 0, 10, 10));
  // A file that is no picture: attempted, nothing drawn.
  EXPECT_TRUE(image_.DrawImg(t.dc(), File(L"missing.png").c_str(), 0, 0));
  EXPECT_TRUE(t.Untouched(0, 0, 10, 10));
}

TEST_F(QvImageTest, FramesAndSourceRectanglesPickTheRightPixels) {
  Target t(200, 100);
  // Index past the end: the last frame, at the target's size.
  EXPECT_TRUE(image_.DrawStretchImg(t.dc(), 60001, L"IMG", 0, 0, 40, 40, 0, 3, 5));
  EXPECT_EQ(t.Rgb(20, 20), kBlue);
  // Frame count 0: the whole strip as one frame.
  EXPECT_TRUE(image_.DrawStretchImg(t.dc(), File(L"strip.png").c_str(), 0, 50, 87, 29, 0, 0, 0));
  EXPECT_EQ(t.Rgb(10, 60), kRed);
  EXPECT_EQ(t.Rgb(43, 60), kGreen);
  EXPECT_EQ(t.Rgb(75, 60), kBlue);
  // Width 0 with a source rectangle: the rectangle's size, the height ignored.
  const RECT green = {29, 0, 58, 29};
  EXPECT_TRUE(image_.DrawImg(t.dc(), File(L"strip.png").c_str(), 100, 0, 0, 80, &green));
  EXPECT_EQ(t.Rgb(114, 14), kGreen);
  EXPECT_TRUE(t.Untouched(131, 0, 69, 50));
  EXPECT_TRUE(t.Untouched(100, 31, 30, 19));
}

TEST_F(QvImageTest, SlicesKeepEdgesAndNeverMirror) {
  Target t(200, 200);
  const std::wstring nine = File(L"nine.png");
  // Nine-slice into 90 x 60: edges stay 10 wide and high, the rest stretches.
  ASSERT_TRUE(image_.DrawStretchImg(t.dc(), nine.c_str(), 0, 0, 90, 60, 10, 1, 0, 10));
  const int xs[] = {4, 45, 85}, ys[] = {4, 30, 55};
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column)
      EXPECT_EQ(t.Rgb(xs[column], ys[row]), Rgb(qv_test::SliceColour(row, column)))
          << row << "," << column;
  // Three-slice over the middle band only.
  ASSERT_TRUE(image_.DrawStretchImg(t.dc(), nine.c_str(), 0, 100, 100, 20, 10));
  EXPECT_EQ(t.Rgb(4, 110), Rgb(qv_test::SliceColour(1, 0)));
  EXPECT_EQ(t.Rgb(50, 110), Rgb(qv_test::SliceColour(1, 1)));
  EXPECT_EQ(t.Rgb(95, 110), Rgb(qv_test::SliceColour(1, 2)));
  // Narrower than both edges: the edges share the 12 pixels, nothing spills.
  ASSERT_TRUE(image_.DrawStretchImg(t.dc(), nine.c_str(), 150, 150, 12, 12, 10, 1, 0, 10));
  EXPECT_EQ(t.Rgb(152, 152), Rgb(qv_test::SliceColour(0, 0)));
  EXPECT_EQ(t.Rgb(160, 160), Rgb(qv_test::SliceColour(2, 2)));
  EXPECT_TRUE(t.Untouched(130, 130, 20, 70));
  EXPECT_TRUE(t.Untouched(162, 130, 38, 70));
  EXPECT_TRUE(t.Untouched(150, 130, 12, 20));
}

TEST_F(QvImageTest, TurnsKeysAndRecolours) {
  Target t(300, 300);
  const std::wstring strip = File(L"strip.png");
  // Half a turn puts blue on the left; opacity 0.5 over white gives pink.
  ASSERT_TRUE(
      image_.DrawRotateFlip(t.dc(), strip.c_str(), 0, 0, 0, 0, Gdiplus::Rotate180FlipNone, 1));
  EXPECT_EQ(t.Rgb(10, 10), kBlue);
  EXPECT_EQ(t.Rgb(75, 10), kRed);
  ASSERT_TRUE(
      image_.DrawRotateFlip(t.dc(), 60001, L"IMG", 0, 40, 0, 0, Gdiplus::RotateNoneFlipNone, 0.5f));
  const DWORD pink = t.Rgb(10, 50);
  EXPECT_NEAR(static_cast<int>(pink >> 16), 255, 2);
  EXPECT_NEAR(static_cast<int>(pink & 0xFF), 128, 3);
  // A quarter turn about the centre (143, 114): red above, blue below.
  ASSERT_TRUE(image_.DrawRotate(t.dc(), strip.c_str(), 90, 100, 100, 87, 29));
  EXPECT_EQ(t.Rgb(143, 80), kRed);
  EXPECT_EQ(t.Rgb(143, 150), kBlue);
  EXPECT_TRUE(t.Untouched(100, 100, 20, 10));
  // Equal keys make exactly that colour transparent.
  ASSERT_TRUE(image_.DrawTranImg(t.dc(), strip.c_str(), 0xFF00FF00, 0xFF00FF00, 0, 200, 0, 0));
  EXPECT_EQ(t.Rgb(10, 210), kRed);
  EXPECT_TRUE(t.Untouched(30, 200, 27, 29));
  EXPECT_EQ(t.Rgb(70, 210), kBlue);
  // Scales: red dropped leaves black, alpha 0 leaves nothing.
  ASSERT_TRUE(image_.DrawImgEx(t.dc(), strip.c_str(), 0, 1, 1, 1, 200, 200, 0, 0));
  EXPECT_EQ(t.Rgb(210, 210), 0u);
  EXPECT_EQ(t.Rgb(240, 210), kGreen);
  ASSERT_TRUE(image_.DrawImgEx(t.dc(), 60001, L"IMG", 1, 1, 1, 0, 200, 250, 0, 0));
  EXPECT_TRUE(t.Untouched(200, 250, 87, 29));
}

TEST_F(QvImageTest, SnapshotStreamsDrawOntoThreePointsAgainAndAgain) {
  Target source(87, 29);
  ASSERT_TRUE(image_.DrawImg(source.dc(), 60001, L"IMG", 0, 0));
  IStream* stream = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
  // The bitmap is still selected into its DC, as a dialog's last frame is.
  ASSERT_TRUE(image_.BmToStream(source.bitmap(), stream, L"bmp"));
  EXPECT_FALSE(image_.BmToStream(source.bitmap(), stream, L"no-such"));
  Target t(200, 200);
  // Mirrored left to right through the three corners, twice from one stream.
  for (int y : {0, 100}) {
    image_.DrawRotate3D(t.dc(), stream, 87, y, 0, y, 87, y + 29);
    EXPECT_EQ(t.Rgb(10, y + 10), kBlue);
    EXPECT_EQ(t.Rgb(75, y + 10), kRed);
  }
  // A parallelogram: the bottom edge shifted right by 40.
  image_.DrawRotate3D(t.dc(), stream, 100, 150, 187, 150, 140, 179);
  EXPECT_TRUE(t.Untouched(100, 175, 30, 4));
  EXPECT_EQ(t.Rgb(150, 176), kRed);
  stream->Release();
}

TEST_F(QvImageTest, TextStaysInsideItsRectangle) {
  Target t(300, 100);
  HFONT font =
      CreateFontW(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, L"微软雅黑");
  image_.DrawString(t.dc(), font, L"安装进度：正在复制文件", 20, 20, 260, 40, RGB(0, 0, 0), 254,
                    true, true);
  DeleteObject(font);
  int inked = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 300; ++x) {
      if (t.Untouched(x, y, 1, 1)) continue;
      EXPECT_TRUE(x >= 20 && x < 280 && y >= 20 && y < 60) << x << "," << y;
      ++inked;
    }
  EXPECT_GT(inked, 200);
}

TEST_F(QvImageTest, SavesPicturesThatLoadAgain) {
  Target t(200, 100);
  ASSERT_TRUE(image_.DrawImg(t.dc(), 60001, L"IMG", 10, 10, 100, 50));
  const std::wstring area = File(L"area.png");
  ASSERT_TRUE(image_.SavePic(t.dc(), RECT{10, 10, 110, 60}, area.c_str(), L"png"));
  Gdiplus::Image saved(area.c_str());
  EXPECT_EQ(saved.GetWidth(), 100u);
  EXPECT_EQ(saved.GetHeight(), 50u);
  Target back(100, 50);
  ASSERT_TRUE(image_.DrawImg(back.dc(), area.c_str(), 0, 0));
  EXPECT_EQ(back.Rgb(5, 25), kRed);
  EXPECT_EQ(back.Rgb(95, 25), kBlue);
  // MIME types compare exactly: no encoder, no file, and false.
  EXPECT_FALSE(image_.SavePic(t.dc(), RECT{0, 0, 10, 10}, File(L"caps.png").c_str(), L"PNG"));
  EXPECT_FALSE(fs::exists(Path(L"caps.png")));
  ASSERT_TRUE(image_.SavePic(area.c_str(), File(L"area.bmp").c_str(), L"bmp"));
  EXPECT_EQ(Gdiplus::Image(File(L"area.bmp").c_str()).GetWidth(), 100u);
}

}  // namespace
