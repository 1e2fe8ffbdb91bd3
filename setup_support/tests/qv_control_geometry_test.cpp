#include "qv_control_geometry.h"

#include <gtest/gtest.h>

namespace {

// First and last covered column of a row of the region, -1 when none.
std::pair<int, int> RowExtent(const QvSpan* spans, int row) {
  int first = -1, last = -1;
  for (std::size_t i = 0; i < kQvCornerSpans; ++i) {
    const QvSpan& s = spans[i];
    if (row < s.top || row >= s.bottom || s.left >= s.right) continue;
    if (first < 0 || s.left < first) first = s.left;
    if (s.right - 1 > last) last = s.right - 1;
  }
  return {first, last};
}

TEST(QvControlGeometry, CornerRegionCutsTwoPixelSteps) {
  QvSpan spans[kQvCornerSpans];
  QvCornerSpans(0, 0, 100, 50, spans);
  EXPECT_EQ(RowExtent(spans, 0), std::make_pair(2, 97));
  EXPECT_EQ(RowExtent(spans, 1), std::make_pair(1, 98));
  for (int row = 2; row <= 47; ++row) EXPECT_EQ(RowExtent(spans, row), std::make_pair(0, 99));
  EXPECT_EQ(RowExtent(spans, 48), std::make_pair(1, 98));
  EXPECT_EQ(RowExtent(spans, 49), std::make_pair(2, 97));
  EXPECT_EQ(RowExtent(spans, 50), std::make_pair(-1, -1));
}

TEST(QvControlGeometry, HitsAndViewCountTheirEdges) {
  QvBox box{10, 20, 30, 40};
  EXPECT_TRUE(QvBoxHit(box, 40, 60));
  EXPECT_TRUE(QvBoxHit(box, 10, 20));
  EXPECT_FALSE(QvBoxHit(box, 41, 30));
  EXPECT_FALSE(QvBoxHit(box, 20, 19));
  EXPECT_TRUE(QvBoxTouchesArea(QvBox{0, -10, 5, 10}, 100, 100));
  EXPECT_TRUE(QvBoxTouchesArea(QvBox{100, 100, 5, 5}, 100, 100));
  EXPECT_FALSE(QvBoxTouchesArea(QvBox{0, -11, 5, 10}, 100, 100));
  EXPECT_FALSE(QvBoxTouchesArea(QvBox{101, 0, 5, 5}, 100, 100));
}

TEST(QvControlGeometry, SkinFileNamesAndStates) {
  EXPECT_EQ(QvSkinFileName(L"C:\\App\\Themes\\blue\\", L"button", 2, L".png", 260),
            L"C:\\App\\Themes\\blue\\button_2.png");
  std::wstring long_theme(250, L'a');
  EXPECT_EQ(QvSkinFileName(long_theme.c_str(), L"checkbox", 3, L".png", 260), L"");
  EXPECT_EQ(QvClampState(7, 4), 3);
  EXPECT_EQ(QvClampState(2, 1), 2);
}

}  // namespace
