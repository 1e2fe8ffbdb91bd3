// Under Wine and Xvfb: the print preview's pages and buttons, and printing
// without a printer.
#include "grid_print.h"

#include <gtest/gtest.h>
#include <winspool.h>

#include <string>

#include "page_layout.h"

namespace grid {
namespace {

PrintInf ReportSettings() {
  PrintInf inf;
  inf.value = {2, 1, 30, 30, 30, 20, 0, 1, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
  return inf;
}

std::wstring PageLabel(HWND preview) {
  wchar_t text[64] = {};
  GetDlgItemTextW(preview, 105, text, 64);
  return text;
}

HWND Button(HWND preview, const wchar_t* caption) { return FindWindowExW(preview, nullptr, L"BUTTON", caption); }

class PreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    owner = CreateWindowExW(0, L"STATIC", L"报表", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200, nullptr,
                            nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    grid.Resize(86, 19);
    for (int r = 1; r <= 86; ++r) grid.SetCellText(r, 1, std::to_string(r));
  }
  void TearDown() override { DestroyWindow(owner); }
  HWND owner = nullptr;
  GridData grid;
};

TEST_F(PreviewTest, PagesTurnWithButtonsAndKeysAndStopAtTheEnds) {
  int pages = static_cast<int>(LayOutPages(grid, ReportSettings()).pages.size());
  ASSERT_GE(pages, 2);
  HWND preview = OpenPrintPreview(owner, grid, ReportSettings());
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(GetWindow(preview, GW_OWNER), owner);
  const std::wstring of = L"，共 " + std::to_wstring(pages) + L" 页";
  EXPECT_EQ(PageLabel(preview), L"第 1 页" + of);
  EXPECT_FALSE(IsWindowEnabled(Button(preview, L"上一页")));

  SendMessageW(preview, WM_KEYDOWN, VK_NEXT, 0);
  EXPECT_EQ(PageLabel(preview), L"第 2 页" + of);
  SendMessageW(preview, WM_KEYDOWN, VK_END, 0);
  EXPECT_EQ(PageLabel(preview), L"第 " + std::to_wstring(pages) + L" 页" + of);
  EXPECT_FALSE(IsWindowEnabled(Button(preview, L"下一页")));
  SendMessageW(preview, WM_KEYDOWN, VK_NEXT, 0);
  EXPECT_EQ(PageLabel(preview), L"第 " + std::to_wstring(pages) + L" 页" + of);
  SendMessageW(preview, WM_COMMAND, GetDlgCtrlID(Button(preview, L"上一页")), 0);
  EXPECT_EQ(PageLabel(preview), L"第 " + std::to_wstring(pages - 1) + L" 页" + of);

  // The preview drew from a copy: the grid may change or go meanwhile.
  grid.Resize(1, 1);
  UpdateWindow(preview);
  SendMessageW(preview, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(IsWindow(preview));
}

TEST_F(PreviewTest, ModalPreviewHoldsItsOwnerUntilClosed) {
  // Closed from inside its own loop, as the user would.
  static HWND seen_owner;
  static BOOL owner_enabled;
  seen_owner = owner;
  owner_enabled = TRUE;
  UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    owner_enabled = IsWindowEnabled(seen_owner);
    HWND preview = FindWindowW(kPreviewClass, nullptr);
    if (preview) PostMessageW(preview, WM_CLOSE, 0, 0);
  });
  ASSERT_NE(timer, 0u);
  ShowPrintPreview(owner, grid, ReportSettings());
  EXPECT_FALSE(owner_enabled);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(FindWindowW(kPreviewClass, nullptr), nullptr);
}

TEST(PrintGrid, WithoutAPrinterItFailsCleanly) {
  DWORD size = 0;
  GetDefaultPrinterW(nullptr, &size);
  if (size > 0) GTEST_SKIP() << "this machine has a default printer: nothing is printed in tests";
  GridData g(86, 19);
  g.SetCellText(1, 1, "某某乡卫生系统收入日报表");
  EXPECT_EQ(PrintGrid(g, ReportSettings()), "");
  EXPECT_EQ(PrintGrid(GridData(), PrintInf()), "");
}

}  // namespace
}  // namespace grid
