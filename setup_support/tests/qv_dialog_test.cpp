// The application record, the window wrapper and its loops, and the skinned
// dialog with its controls, driven by real window messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "qv_app.h"
#include "qv_messages.h"
#include "qv_test_process.h"
#include "setup_demo_dialog.h"

namespace {

void Pump(DWORD ms) {
  DWORD start = GetTickCount();
  MSG msg;
  do {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(5);
  } while (GetTickCount() - start < ms);
}

template <class Done>
bool PumpUntil(Done done, DWORD ms = 5000) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > ms) return false;
    Pump(10);
  }
  return true;
}

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

TEST(QvApp, ProgramFolderAndAppName) {
  CQvApp& app = CQvApp::Instance();
  wchar_t module[MAX_PATH];
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::wstring folder = app.GetProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), L'\\');
  EXPECT_EQ(std::wstring(module).rfind(folder, 0), 0u);
  EXPECT_EQ(app.GetModule(), GetModuleHandleW(nullptr));
  app.SetAppName(std::wstring(250, L'名').c_str());
  EXPECT_EQ(std::wstring(app.GetAppName()), std::wstring(199, L'名'));
  app.SetAppName(L"QV-测试");
}

// Records which thread composes its frames.
class ThreadWin : public CQvWin {
 public:
  void Paint(HDC) override { painted_on = GetCurrentThreadId(); }
  DWORD painted_on = 0;
};

TEST(QvWin, WindowsClassesAndThePaintingThread) {
  ThreadWin popup;
  ASSERT_TRUE(popup.Create(nullptr, 120, 80, false));
  EXPECT_FALSE(IsWindowVisible(popup.hwnd));
  EXPECT_FALSE(popup.child);
  EXPECT_EQ(popup.class_name.rfind(L"QV-测试_QVWND_", 0), 0u);
  EXPECT_EQ(GetWindowLongPtrW(popup.hwnd, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&popup));

  ThreadWin inner;
  ASSERT_TRUE(inner.Create(popup.hwnd, 40, 30, false));
  EXPECT_TRUE(inner.child);
  EXPECT_TRUE(GetWindowLongPtrW(inner.hwnd, GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(inner.window, popup.hwnd);

  // Another thread only asks; the frame is made on the window's thread.
  std::thread([&] { popup.Redraw(); }).join();
  EXPECT_EQ(popup.painted_on, 0u);
  ASSERT_TRUE(PumpUntil([&] { return popup.painted_on != 0; }));
  EXPECT_EQ(popup.painted_on, GetCurrentThreadId());

  // Destroyed from outside: the object forgets its handle.
  DestroyWindow(inner.hwnd);
  EXPECT_EQ(inner.hwnd, nullptr);
}

TEST(QvWin, NestedLoopHandsTheQuitOnToTheOuterLoop) {
  std::atomic<bool> closing{false};
  PostQuitMessage(7);
  EXPECT_FALSE(ModalLoop(closing));
  EXPECT_EQ(MessageLoop(), 7);

  closing = true;
  PostMessageW(nullptr, WM_NULL, 0, 0);
  EXPECT_TRUE(ModalLoop(closing));
}

// The demo dialog with the caption drag replaced by a counter.
class TestDialog : public DemoDialog {
 public:
  ~TestDialog() override { StopAnimation(); }
  int drags = 0;

 protected:
  void BeginCaptionDrag() override { ++drags; }
};

class DialogTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dialog.Create(nullptr, DemoDialog::kWidth, DemoDialog::kHeight, true));
    dialog.ShowCenter(1);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(dialog.hwnd) && !dialog.animation_busy; }));
    Pump(50);
  }

  void Send(UINT message, int x, int y) { SendMessageW(dialog.hwnd, message, 0, At(x, y)); }
  void Click(int x, int y) {
    Send(WM_LBUTTONDOWN, x, y);
    Send(WM_LBUTTONUP, x, y);
  }
  // A full frame, so that the last-frame picture holds every control's look.
  COLORREF Pixel(int x, int y) {
    dialog.Redraw();
    return GetPixel(dialog.last_frame.GetMemDC(), x, y);
  }
  static int Blue(COLORREF c) { return GetBValue(c) - (GetRValue(c) + GetGValue(c)) / 2; }
  static int Light(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); }

  TestDialog dialog;
};

TEST_F(DialogTest, OpensLayeredAtTheCentreWithTheSlicedBackground) {
  EXPECT_TRUE(GetWindowLongPtrW(dialog.hwnd, GWL_EXSTYLE) & WS_EX_LAYERED);
  RECT rect;
  GetWindowRect(dialog.hwnd, &rect);
  EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - DemoDialog::kWidth) / 2);
  EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - DemoDialog::kHeight) / 2);
  EXPECT_EQ(CQvApp::Instance().GetMainWnd(), dialog.hwnd);

  // A dark caption band, the light body stretched over the rest, and the
  // footer band kept at the bottom.
  EXPECT_LT(Light(Pixel(300, 22)), 250);
  EXPECT_GT(Light(Pixel(200, 160)), 700);
  EXPECT_GT(Light(Pixel(20, DemoDialog::kHeight - 15)), 650);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(dialog.hwnd, region), ERROR);
  EXPECT_FALSE(PtInRegion(region, 0, 0));
  EXPECT_FALSE(PtInRegion(region, 1, 0));
  EXPECT_TRUE(PtInRegion(region, 2, 0));
  EXPECT_TRUE(PtInRegion(region, 0, 2));
  EXPECT_FALSE(PtInRegion(region, DemoDialog::kWidth - 1, DemoDialog::kHeight - 1));
  DeleteObject(region);
}

TEST_F(DialogTest, ButtonLooksFollowTheMouseAndClicksFireOnce) {
  CQvButton& button = dialog.install;
  const int bx = button.x + 6, by = button.y + 13;
  const int cx = button.x + 40, cy = button.y + 13;
  COLORREF normal = Pixel(bx, by);
  Send(WM_MOUSEMOVE, cx, cy);
  EXPECT_EQ(button.state, kQvButtonHover);
  COLORREF hover = Pixel(bx, by);
  Send(WM_LBUTTONDOWN, cx, cy);
  EXPECT_EQ(button.state, kQvButtonPressed);
  COLORREF pressed = Pixel(bx, by);
  Send(WM_LBUTTONUP, cx, cy);
  EXPECT_EQ(button.state, kQvButtonClicked);
  EXPECT_EQ(dialog.install_clicks, 1);
  COLORREF done = Pixel(bx, by);
  EXPECT_GT(Blue(hover), Blue(normal) + 10);
  EXPECT_LT(Light(pressed), Light(hover));
  EXPECT_NE(done, normal);
  EXPECT_NE(done, hover);

  // Pressed, dragged off and let go outside: nothing, and back to normal.
  Send(WM_LBUTTONDOWN, cx, cy);
  Send(WM_MOUSEMOVE, 10, 150);
  Send(WM_LBUTTONUP, 10, 150);
  EXPECT_EQ(button.state, kQvButtonNormal);
  EXPECT_EQ(Pixel(bx, by), normal);
  // A press that ended elsewhere never turns into a click later.
  Send(WM_LBUTTONDOWN, cx, cy);
  Send(WM_LBUTTONUP, 10, 150);
  Click(dialog.link.x + 5, dialog.link.y + 5);
  Send(WM_LBUTTONUP, cx, cy);
  EXPECT_EQ(dialog.install_clicks, 1);
  EXPECT_EQ(dialog.link_clicks, 1);
}

TEST_F(DialogTest, LinkShowsTheHandAndItsHoverColour) {
  CQvLink& link = dialog.link;
  Send(WM_MOUSEMOVE, link.x + 10, link.y + 10);
  EXPECT_TRUE(link.hover);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
  auto bluest = [&] {
    dialog.Redraw();
    int best = -1000;
    for (int y = link.y; y < link.y + link.height; ++y)
      for (int x = link.x; x < link.x + link.width; ++x)
        best = std::max(best, Blue(GetPixel(dialog.last_frame.GetMemDC(), x, y)));
    return best;
  };
  EXPECT_GT(bluest(), 150);
  Send(WM_MOUSEMOVE, 10, 150);
  EXPECT_FALSE(link.hover);
  EXPECT_GT(bluest(), 100);
}

TEST_F(DialogTest, CheckBoxTicksOnAClickAndKeepsItsLookInTheLastFrame) {
  CQvCheckBox& box = dialog.run_after;
  const int cx = box.x + 7, cy = box.y + 7;
  EXPECT_EQ(box.state, kQvChecked);
  EXPECT_LT(Light(Pixel(box.x + 3, box.y + 3)), 500);
  Send(WM_MOUSEMOVE, cx, cy);
  EXPECT_EQ(box.state, kQvCheckedHover);
  Click(cx, cy);
  EXPECT_FALSE(box.checked);
  EXPECT_EQ(box.state, kQvUncheckedHover);
  EXPECT_EQ(dialog.check_clicks, 1);
  Send(WM_MOUSEMOVE, 10, 150);
  EXPECT_EQ(box.state, kQvUnchecked);
  // Refreshed alone, the box's new look is in the last frame already.
  EXPECT_GT(Light(GetPixel(dialog.last_frame.GetMemDC(), box.x + 7, box.y + 3)), 650);
  // A release without a press on the box changes nothing.
  Send(WM_LBUTTONUP, cx, cy);
  EXPECT_FALSE(box.checked);

  box.Init(true, L"", box.y, dialog.hwnd);
  EXPECT_EQ(box.state, kQvChecked);
  box.Init(false, L"", box.y, dialog.hwnd);
  EXPECT_FALSE(box.checked);
  EXPECT_EQ(box.state, kQvUnchecked);
}

TEST_F(DialogTest, CaptionDragStartsOnlyWhereNoControlCovers) {
  // The title text lets the drag through, the close button does not.
  EXPECT_TRUE(dialog.CanDrag(30, 10));
  EXPECT_FALSE(dialog.CanDrag(dialog.close.x + dialog.close.width, dialog.close.y));
  Send(WM_LBUTTONDOWN, 30, 10);
  Send(WM_LBUTTONUP, 30, 10);
  EXPECT_EQ(dialog.drags, 1);
  Send(WM_LBUTTONDOWN, dialog.close.x + 5, 5);
  Send(WM_LBUTTONUP, 200, 150);
  Send(WM_LBUTTONDOWN, 200, 150);
  EXPECT_EQ(dialog.drags, 1);
  dialog.drag_anywhere = true;
  Send(WM_LBUTTONDOWN, 200, 150);
  EXPECT_EQ(dialog.drags, 2);
  dialog.close.visible = false;
  EXPECT_TRUE(dialog.CanDrag(dialog.close.x + 5, 5));
}

TEST_F(DialogTest, SuppressedFramesLeaveTheControlsOut) {
  dialog.suppress = true;
  Send(WM_MOUSEMOVE, dialog.install.x + 10, dialog.install.y + 10);
  EXPECT_EQ(dialog.install.state, kQvButtonNormal);
  dialog.suppress = false;
}

TEST_F(DialogTest, SolidBackgroundKeepsALayeredDialogOpaque) {
  dialog.background_id = 0;
  dialog.solid_color = RGB(10, 200, 30);
  dialog.Redraw();
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = DemoDialog::kWidth;
  info.bmiHeader.biHeight = -DemoDialog::kHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  std::vector<UINT32> pixels(DemoDialog::kWidth * DemoDialog::kHeight);
  ASSERT_TRUE(GetDIBits(dialog.last_frame.GetMemDC(), dialog.last_frame.GetBitmap(), 0,
                        DemoDialog::kHeight, pixels.data(), &info, DIB_RGB_COLORS));
  EXPECT_EQ(pixels[160 * DemoDialog::kWidth + 200], 0xFF0AC81Eu);
}

TEST(QvApp, ExitFromATimerEndsTheProcessWithZero) {
  const std::wstring work = MakeScratchFolder(L"qv_exit_");
  ASSERT_FALSE(work.empty());
  CloseHandle(CreateFileW((work + L"go").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                          nullptr));
  const std::wstring demo = std::wstring(CQvApp::Instance().GetProgramFolder()) + L"setup_demo.exe";
  EXPECT_EQ(RunAndWait(demo, L"\"" + work.substr(0, work.size() - 1) + L"\""), 0u);
  DeleteFileW((work + L"go").c_str());
  DeleteFileW((work + L"ready").c_str());
  RemoveDirectoryW(work.c_str());
}

}  // namespace
