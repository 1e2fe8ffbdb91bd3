#include "erase_picture.h"

#include <gtest/gtest.h>

namespace {

TEST(ErasePicture, BandAndEraserFollowTheShownPercentage) {
  struct Row {
    int percent, band_x, source_left, band_width, eraser_x;
  } rows[] = {
      {0, 75, 0, 279, 60},
      {50, 214, 139, 140, 180},
      {100, 354, 279, 0, 300},
  };
  for (const Row& r : rows) {
    ErasePicture p = ErasePictureAt(r.percent);
    EXPECT_EQ(r.band_x, p.band_x) << r.percent;
    EXPECT_EQ(r.source_left, p.band_source_left) << r.percent;
    EXPECT_EQ(r.band_width, p.band_width) << r.percent;
    EXPECT_EQ(r.eraser_x, p.eraser_x) << r.percent;
  }
}

TEST(ErasePicture, EraserHopsWhileRunningAndRestsAtTheEnd) {
  int offset = 0;
  offset = NextEraserOffset(offset, 40);
  EXPECT_EQ(30, offset);
  offset = NextEraserOffset(offset, 40);
  EXPECT_EQ(0, offset);
  EXPECT_EQ(30, NextEraserOffset(30, 100));
  EXPECT_EQ(30, NextEraserOffset(0, 100));
  // Ten steps from 0 to 100 even when the removal is over at once; up to 9
  // past a reported 95.
  int shown = 0, steps = 0;
  for (; shown < 100; ++steps) shown = NextShownPercent(shown, 100);
  EXPECT_EQ(10, steps);
  EXPECT_EQ(100, NextShownPercent(90, 95));
  EXPECT_EQ(40, NextShownPercent(40, 40));
}

}  // namespace
