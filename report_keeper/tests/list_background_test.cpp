#include "list_background.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

TEST(ListBackground, RowPitchIsMeasuredEvenOnAnEmptyList) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT, 0, 0, 300, 200, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(list, nullptr);
  LVCOLUMNW col{};
  col.mask = LVCF_WIDTH;
  col.cx = 100;
  SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&col));
  int pitch = keeper::MeasureRowPitch(list);
  EXPECT_GT(pitch, 8);
  EXPECT_LT(pitch, 60);
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);  // the probes are gone
  DestroyWindow(list);
}

TEST(ListBackground, BitmapHoldsOneRowOfEachColour) {
  std::string bmp = keeper::AlternateRowBitmap(3, RGB(1, 2, 3), RGB(4, 5, 6));
  ASSERT_EQ(bmp.size(), 54u + 4u * 6u);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_EQ(static_cast<unsigned char>(bmp[22]), 6);  // height: two rows of 3
  // Bottom-up: the first stored line is the lower (second) colour, BGR.
  EXPECT_EQ(static_cast<unsigned char>(bmp[54]), 6);
  EXPECT_EQ(static_cast<unsigned char>(bmp[56]), 4);
  EXPECT_EQ(static_cast<unsigned char>(bmp[54 + 4 * 5]), 3);
  EXPECT_EQ(static_cast<unsigned char>(bmp[54 + 4 * 5 + 2]), 1);
}

}  // namespace
