#include "page_layout.h"

#include <gtest/gtest.h>

namespace grid {
namespace {

PrintInf ReportSettings() {
  PrintInf inf;
  inf.value[PrintInf::kPaper] = 2;
  inf.value[PrintInf::kOrientation] = 1;
  inf.value[PrintInf::kLeft] = 30;
  inf.value[PrintInf::kTop] = 30;
  inf.value[PrintInf::kRight] = 30;
  inf.value[PrintInf::kBottom] = 20;
  return inf;
}

TEST(PageLayout, ReportSettingsGiveLandscapeA4WithTheirMargins) {
  GridData g(3, 3);
  PageLayout p = LayOutPages(g, ReportSettings());
  EXPECT_EQ(p.paper_width, 2970);
  EXPECT_EQ(p.paper_height, 2100);
  EXPECT_EQ(p.left, 30);
  EXPECT_EQ(p.top, 30);
  EXPECT_EQ(p.printable_width, 2910);
  EXPECT_EQ(p.printable_height, 2050);
  EXPECT_DOUBLE_EQ(p.scale, 1.0);
  ASSERT_EQ(p.pages.size(), 1u);
  EXPECT_EQ(p.pages[0].first, 1);
  EXPECT_EQ(p.pages[0].last, 3);

  // The defaults: portrait, 23 mm margins; unknown papers fall back to A4.
  PrintInf defaults;
  defaults.value[PrintInf::kPaper] = 1005;
  p = LayOutPages(g, defaults);
  EXPECT_EQ(p.paper_width, 2100);
  EXPECT_EQ(p.printable_height, 2970 - 460);
}

TEST(PageLayout, PaperNumbersNameDriverPapers) {
  EXPECT_EQ(DevicePaperCode(2), 9);     // A4
  EXPECT_EQ(DevicePaperCode(3), 8);     // A3
  EXPECT_EQ(DevicePaperCode(-1), 9);    // out of range: the first paper
  EXPECT_EQ(DevicePaperCode(1000), 1);  // device codes are given plus 999
  EXPECT_EQ(DevicePaperCode(1008), 9);
  EXPECT_STREQ(PaperOf(3).name, "A3");
}

TEST(PageLayout, RowsBreakOntoPagesWhole) {
  GridData g(10, 2);
  PrintInf inf = ReportSettings();
  // 2050 printable: 30 rows of 60 fit, so rows of 600 fit three a page.
  for (int r = 1; r <= 10; ++r) g.SetRowHeight(r, 600);
  g.SetRowHeight(7, 5000);  // taller than a page: a page of its own
  PageLayout p = LayOutPages(g, inf);
  ASSERT_EQ(p.pages.size(), 4u);
  int expected[4][2] = {{1, 3}, {4, 6}, {7, 7}, {8, 10}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(p.pages[i].first, expected[i][0]) << i;
    EXPECT_EQ(p.pages[i].last, expected[i][1]) << i;
  }
  // An exact fit stays on the page.
  GridData exact(2, 1);
  exact.SetRowHeight(1, 1025);
  exact.SetRowHeight(2, 1025);
  EXPECT_EQ(LayOutPages(exact, inf).pages.size(), 1u);
}

TEST(PageLayout, KeptRunsStartAPageWhenTheyWouldCrossItsFootUnlessTallerThanAPage) {
  GridData g(10, 2);
  for (int r = 1; r <= 10; ++r) g.SetRowHeight(r, 600);  // three a page
  g.KeepTogether(3, 2);
  g.KeepTogether(6, 5);  // 3000: cannot be kept, breaks row by row
  PageLayout p = LayOutPages(g, ReportSettings());
  ASSERT_EQ(p.pages.size(), 4u);
  int expected[4][2] = {{1, 2}, {3, 5}, {6, 8}, {9, 10}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(p.pages[i].first, expected[i][0]) << i;
    EXPECT_EQ(p.pages[i].last, expected[i][1]) << i;
  }
}

TEST(PageLayout, DevicesMayResolveAcrossAndDownDifferently) {
  GridData g(2, 15);
  g.SetColumnWidths(1, 15, 388);  // shrunk to half
  PageLayout p = LayOutPages(g, ReportSettings());
  DevicePage d = PlaceOnDevice(p, 600 / 254.0, 300 / 254.0, -10, -20);
  EXPECT_NEAR(d.scale_x, 0.5 * 600 / 254, 1e-9);
  EXPECT_NEAR(d.scale_y, 0.5 * 300 / 254, 1e-9);
  EXPECT_EQ(d.left, -10 + 71);  // 3 mm at 600 dpi
  EXPECT_EQ(d.top, -20 + 35);   // 3 mm at 300 dpi
}

TEST(PageLayout, WideGridsShrinkToThePageAndTheirRowsWithThem) {
  GridData g(40, 15);
  g.SetColumnWidths(1, 15, 388);  // 5820: twice the printable width
  PageLayout p = LayOutPages(g, ReportSettings());
  EXPECT_NEAR(p.scale, 0.5, 1e-9);
  // 40 rows of 60 at half size: 1200 of 2050, one page.
  EXPECT_EQ(p.pages.size(), 1u);
}

TEST(PageLayout, AnEmptyGridStillHasAPageAndWildMarginsStillLeaveRoom) {
  GridData none;
  PageLayout p = LayOutPages(none, PrintInf());
  ASSERT_EQ(p.pages.size(), 1u);
  EXPECT_LT(p.pages[0].last, p.pages[0].first);

  PrintInf inf;
  inf.value[PrintInf::kLeft] = 5000;
  inf.value[PrintInf::kRight] = 5000;
  inf.value[PrintInf::kTop] = -10;
  p = LayOutPages(GridData(2, 2), inf);
  EXPECT_GT(p.printable_width, 0);
  EXPECT_LT(p.left, p.paper_width);
  EXPECT_EQ(p.top, 0);
}

}  // namespace
}  // namespace grid
