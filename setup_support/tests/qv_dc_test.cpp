#include "qv_dc.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <utility>
#include <vector>

#include "qv_test_dib.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);

void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
  RECT r = {left, top, right, bottom};
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

// Stands in for a window's DC in the plain-copy path.
using Target = QvTestDib;

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info = {};
  GetObjectW(bitmap, sizeof info, &info);
  return SIZE{info.bmWidth, info.bmHeight};
}

DWORD GdiObjects() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }

TEST(QvDC, BitmapTakesTheRectangleSizeAndCopiesToItsCorner) {
  Target target(200, 100);
  RECT rect = {10, 20, 110, 70};
  CQvDC dc(target.dc(), rect, false, false, nullptr);
  ASSERT_NE(nullptr, dc.GetMemDC());
  SIZE size = BitmapSize(dc.GetBitmap());
  EXPECT_EQ(100, size.cx);
  EXPECT_EQ(50, size.cy);
  EXPECT_EQ(dc.GetBitmap(), GetCurrentObject(dc.GetMemDC(), OBJ_BITMAP));

  Fill(dc.GetMemDC(), 0, 0, 100, 50, kRed);
  Fill(dc.GetMemDC(), 99, 49, 100, 50, kBlue);
  // Nothing reaches the target before Draw.
  EXPECT_EQ(kWhite, target.At(10, 20));
  EXPECT_TRUE(dc.Draw());

  EXPECT_EQ(kRed, target.At(10, 20));
  EXPECT_EQ(kRed, target.At(60, 45));
  EXPECT_EQ(kBlue, target.At(109, 69));
  EXPECT_EQ(kWhite, target.At(9, 20));
  EXPECT_EQ(kWhite, target.At(10, 19));
  EXPECT_EQ(kWhite, target.At(110, 69));
  EXPECT_EQ(kWhite, target.At(109, 70));
}

TEST(QvDC, BitmapStartsOutAllZero) {
  HDC screen = GetDC(nullptr);
  RECT rect = {0, 0, 16, 8};
  CQvDC dc(screen, rect, false, false, nullptr);
  ASSERT_NE(nullptr, dc.GetMemDC());
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = 16;
  info.bmiHeader.biHeight = -8;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<DWORD> pixels(16 * 8, 0xDEADBEEF);
  EXPECT_EQ(8, GetDIBits(dc.GetMemDC(), dc.GetBitmap(), 0, 8, pixels.data(), &info,
                         DIB_RGB_COLORS));
  for (DWORD pixel : pixels) EXPECT_EQ(0u, pixel);
  dc.Release();
  ReleaseDC(nullptr, screen);
}

TEST(QvDC, PendingDrawShowsTheFrameOnDestructionOnlyWhenStillOwed) {
  Target target(50, 50);
  RECT rect = {0, 0, 10, 10};
  {
    CQvDC dc(target.dc(), rect, true, false, nullptr);
    EXPECT_TRUE(dc.IsDrawPending());
    Fill(dc.GetMemDC(), 0, 0, 10, 10, kRed);
  }
  EXPECT_EQ(kRed, target.At(5, 5));

  {
    CQvDC dc(target.dc(), rect, false, false, nullptr);
    Fill(dc.GetMemDC(), 0, 0, 10, 10, kBlue);
  }
  EXPECT_EQ(kRed, target.At(5, 5)) << "no frame without the pending flag";

  {
    // Draw settles the debt: what is drawn afterwards stays unseen.
    CQvDC dc(target.dc(), rect, true, false, nullptr);
    Fill(dc.GetMemDC(), 0, 0, 10, 10, kBlue);
    dc.Draw();
    EXPECT_FALSE(dc.IsDrawPending());
    Fill(dc.GetMemDC(), 0, 0, 10, 10, kWhite);
  }
  EXPECT_EQ(kBlue, target.At(5, 5));

  {
    // The explicit release of the normal path shows nothing either.
    CQvDC dc(target.dc(), rect, true, false, nullptr);
    Fill(dc.GetMemDC(), 0, 0, 10, 10, kWhite);
    dc.Release();
    EXPECT_EQ(nullptr, dc.GetMemDC());
  }
  EXPECT_EQ(kBlue, target.At(5, 5));
}

TEST(QvDC, EveryGdiObjectGoesBackOnEachWayOut) {
  Target target(20, 20);
  RECT rect = {0, 0, 20, 20};
  const DWORD before = GdiObjects();

  // Destructor, explicit release, re-creation over a held surface and a
  // move: after each, the handles that went must be gone.
  for (int i = 0; i < 300; ++i) {
    HDC mem = nullptr;
    HBITMAP bitmap = nullptr;
    {
      CQvDC dc(target.dc(), rect, i % 2 == 0, false, nullptr);
      mem = dc.GetMemDC();
      bitmap = dc.GetBitmap();
      ASSERT_NE(nullptr, mem);
      ASSERT_NE(nullptr, bitmap);
      if (i % 3 == 0) dc.Release();
    }
    ASSERT_EQ(0u, GetObjectType(mem)) << i;
    ASSERT_EQ(0u, GetObjectType(bitmap)) << i;
  }
  {
    CQvDC dc(target.dc(), rect, false, false, nullptr);
    HBITMAP first = dc.GetBitmap();
    dc.CreateMemDC(target.dc(), rect, false, false, nullptr);
    if (dc.GetBitmap() != first) EXPECT_EQ(0u, GetObjectType(first));

    CQvDC moved(std::move(dc));
    EXPECT_EQ(nullptr, dc.GetMemDC());
    EXPECT_EQ(nullptr, dc.GetBitmap());
    EXPECT_NE(nullptr, moved.GetMemDC());
    CQvDC assigned;
    assigned = std::move(moved);
    EXPECT_EQ(nullptr, moved.GetMemDC());
    Fill(assigned.GetMemDC(), 0, 0, 20, 20, kRed);
    EXPECT_TRUE(assigned.Draw());
    EXPECT_EQ(kRed, target.At(3, 3));
  }

  const DWORD after = GdiObjects();
  if (before == 0) {
    std::printf("GetGuiResources reports no GDI objects here; the count is not compared\n");
  } else {
    EXPECT_EQ(before, after);
  }
}

TEST(QvDC, FailedCreationKeepsNothingAndDrawsNothing) {
  // No bitmap can be made without a target to be compatible with.
  RECT rect = {0, 0, 10, 10};
  CQvDC dc(nullptr, rect, true, false, nullptr);
  EXPECT_EQ(nullptr, dc.GetBitmap());
  EXPECT_EQ(nullptr, dc.GetMemDC());
  EXPECT_FALSE(dc.Draw());
}

// A layered top-level window, destroyed with the test.
class QvDCLayered : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QvDCLayeredTest";
    RegisterClassW(&wc);
    window_ = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName,
                              L"", WS_POPUP, 300, 200, 100, 50, nullptr, nullptr,
                              wc.hInstance, nullptr);
    ASSERT_NE(nullptr, window_);
    screen_ = GetDC(nullptr);
  }
  void TearDown() override {
    if (screen_) ReleaseDC(nullptr, screen_);
    if (window_) DestroyWindow(window_);
  }
  void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  // The screen follows a layered update asynchronously: wait for it.
  COLORREF ScreenPixelBecomes(int x, int y, COLORREF wanted) {
    COLORREF seen = CLR_INVALID;
    for (int i = 0; i < 100; ++i) {
      Pump();
      seen = GetPixel(screen_, x, y);
      if (seen == wanted) break;
      Sleep(20);
    }
    return seen;
  }
  HWND window_ = nullptr;
  HDC screen_ = nullptr;
};

TEST_F(QvDCLayered, DrawGoesThroughTheLayeredUpdateAtTheWindowsPosition) {
  // The rectangle's corner is ignored: the window's own position counts.
  RECT rect = {10, 20, 110, 70};
  CQvDC dc(screen_, rect, false, true, window_);
  ASSERT_NE(nullptr, dc.GetMemDC());

  // Opaque red in the picture's top half; the bottom half keeps alpha 0.
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = 100;
  info.bmiHeader.biHeight = -50;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<DWORD> pixels(100 * 50, 0);
  for (int i = 0; i < 100 * 25; ++i) pixels[i] = 0xFFFF0000;
  ASSERT_EQ(50, SetDIBits(dc.GetMemDC(), dc.GetBitmap(), 0, 50, pixels.data(), &info,
                          DIB_RGB_COLORS));

  ASSERT_TRUE(dc.Draw());
  ShowWindow(window_, SW_SHOWNOACTIVATE);
  EXPECT_EQ(kRed, ScreenPixelBecomes(350, 210, kRed));
  EXPECT_NE(kRed, GetPixel(screen_, 20, 30)) << "nothing at the rectangle's corner";

  // After a move the next frame follows the window.
  SetWindowPos(window_, nullptr, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(dc.Draw());
  EXPECT_EQ(kRed, ScreenPixelBecomes(450, 310, kRed));
  EXPECT_NE(kRed, GetPixel(screen_, 450, 340)) << "alpha 0 shows what lies beneath";
}

}  // namespace
