#include "erase_picture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Worked by hand: c = p * 279 / 100 and e = p * 240 / 100, truncated.
TEST(ErasePicture, BandAndEraserFollowTheShownPercentage) {
  struct Row {
    int percent, band_x, source_left, width, eraser_x;
  };
  const Row rows[] = {
      {0, 75, 0, 279, 60},       // the whole band, the eraser at its start
      {37, 178, 103, 176, 148},  // 10323 / 100 and 8880 / 100 truncate
      {50, 214, 139, 140, 180},
      {90, 326, 251, 28, 276},
      {100, 354, 279, 0, 300},  // nothing of the band is left
  };
  for (const Row& r : rows) {
    const ErasePicture p = ErasePictureAt(r.percent);
    EXPECT_EQ(p.band_x, r.band_x) << r.percent;
    EXPECT_EQ(p.band_source_left, r.source_left) << r.percent;
    EXPECT_EQ(p.band_width, r.width) << r.percent;
    EXPECT_EQ(p.eraser_x, r.eraser_x) << r.percent;
    // The visible part is always the band's right end.
    EXPECT_EQ(p.band_source_left + p.band_width, kBandWidth) << r.percent;
  }
}

TEST(ErasePicture, EraserHopsWhileRunningAndRestsAtTheEnd) {
  std::vector<int> heights;
  int offset = 0;
  for (int paint = 0; paint < 4; ++paint) heights.push_back(offset = NextEraserOffset(offset, 40));
  EXPECT_EQ(heights, (std::vector<int>{30, 0, 30, 0}));
  EXPECT_EQ(NextEraserOffset(0, 100), 30);
  EXPECT_EQ(NextEraserOffset(30, 100), 30);
}

TEST(ErasePicture, ShownPercentageStepsByTenTowardTheReportedOne) {
  std::vector<int> shown{0};
  for (int step = 0; step < 12 && shown.back() < 100; ++step) shown.push_back(NextShownPercent(shown.back(), 95));
  EXPECT_EQ(shown, (std::vector<int>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));  // passes 95 by 5
  EXPECT_EQ(NextShownPercent(40, 40), 40);
  EXPECT_EQ(NextShownPercent(60, 30), 60);  // never back
}

}  // namespace
