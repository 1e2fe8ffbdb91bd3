#include "qv_image.h"
// tlhelp32.h needs windows.h first.
#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <set>
#include <string>
#include <type_traits>

#include "qv_test_process.h"

namespace {

int ThreadCount() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL ok = Thread32First(snapshot, &entry); ok; ok = Thread32Next(snapshot, &entry))
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  CloseHandle(snapshot);
  return count;
}

// Polls for up to two seconds.
template <class Condition>
bool Eventually(Condition condition) {
  for (int i = 0; i < 200; ++i) {
    if (condition()) return true;
    Sleep(10);
  }
  return condition();
}

class Window {
 public:
  Window() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"QvImageMovieTest";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"movie", WS_POPUP | WS_VISIBLE, 50, 50, 200, 100,
                            nullptr, nullptr, wc.hInstance, nullptr);
    UpdateWindow(hwnd_);
  }
  ~Window() { DestroyWindow(hwnd_); }
  HWND hwnd() const { return hwnd_; }
  COLORREF At(int x, int y) const {
    HDC dc = GetDC(hwnd_);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd_, dc);
    return c;
  }

 private:
  HWND hwnd_;
};

TEST(QvImageMovie, RefusesWhatCannotPlayAndKeepsIdsUnique) {
  static_assert(!std::is_copy_constructible_v<CQvImage>);
  CQvImage& image = CQvImage::Instance();
  EXPECT_FALSE(image.AddMovie(nullptr, 60001, L"IMG", 0, 0, 1, 10, 402, kQvMovieFadeIn, 29, 29));
  EXPECT_EQ(image.GetMovieIndex(402), -1);
  ASSERT_TRUE(image.AddMovie(nullptr, 60001, L"IMG", 0, 0, 3, 10, 404, kQvMovieFrames, 29, 29));
  const int index = image.GetMovieIndex(404);
  EXPECT_TRUE(image.AddMovie(nullptr, L"other.png", 0, 0, 5, 10, 404, kQvMovieRotate, 9, 9));
  EXPECT_EQ(image.GetMovieIndex(404), index);
  EXPECT_TRUE(image.isStop(404));
  EXPECT_FALSE(image.isStop(999));
  const int threads = ThreadCount();
  image.StartMovie(999);
  EXPECT_EQ(ThreadCount(), threads);
}

TEST(QvImageMovie, FramesCycleUntilStoppedAndARestartNeverDoublesTheThread) {
  CQvImage& image = CQvImage::Instance();
  Window window;
  ASSERT_TRUE(
      image.AddMovie(window.hwnd(), 60001, L"IMG", 10, 10, 3, 30, 501, kQvMovieFrames, 29, 29));
  const int threads = ThreadCount();
  image.StartMovie(501);
  image.StartMovie(501);
  EXPECT_FALSE(image.isStop(501));
  EXPECT_EQ(ThreadCount(), threads + 1);

  std::set<COLORREF> seen;
  EXPECT_TRUE(Eventually([&] {
    seen.insert(window.At(24, 24));
    return seen.count(RGB(255, 0, 0)) && seen.count(RGB(0, 255, 0)) && seen.count(RGB(0, 0, 255));
  }));

  // Stopped and started again at once: the earlier run is over first.
  image.StopMovie(501);
  image.StartMovie(501);
  EXPECT_FALSE(image.isStop(501));
  EXPECT_EQ(ThreadCount(), threads + 1);

  image.StopMovie(501);
  EXPECT_TRUE(image.isStop(501));
  EXPECT_TRUE(Eventually([&] { return ThreadCount() == threads; }));
}

TEST(QvImageMovie, FadeEndsOnItsOwnFullyShownAndCanRunAgain) {
  CQvImage& image = CQvImage::Instance();
  Window window;
  ASSERT_TRUE(
      image.AddMovie(window.hwnd(), 60001, L"IMG", 100, 50, 5, 10, 601, kQvMovieFadeIn, 87, 29));
  image.StartMovie(601);
  EXPECT_TRUE(Eventually([&] { return image.isStop(601); }));
  EXPECT_EQ(window.At(110, 60), RGB(255, 0, 0));
  EXPECT_EQ(window.At(175, 60), RGB(0, 0, 255));
  // The window's client area and the whole screen, saved and read back.
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring client = std::wstring(temp) + L"qv_image_client.png";
  const std::wstring screen = std::wstring(temp) + L"qv_image_screen.png";
  ASSERT_TRUE(image.SavePic(window.hwnd(), client.c_str(), L"png"));
  ASSERT_TRUE(image.SaveScreen(screen.c_str(), L"png"));
  {
    Gdiplus::Bitmap shot(client.c_str()), whole(screen.c_str());
    Gdiplus::Color pixel;
    shot.GetPixel(175, 60, &pixel);
    EXPECT_EQ(pixel.GetValue(), 0xFF0000FFu);
    EXPECT_EQ(shot.GetWidth(), 200u);
    EXPECT_EQ(whole.GetWidth(), static_cast<UINT>(GetSystemMetrics(SM_CXSCREEN)));
  }
  DeleteFileW(client.c_str());
  DeleteFileW(screen.c_str());
  image.StartMovie(601);
  EXPECT_FALSE(image.isStop(601));
  EXPECT_TRUE(Eventually([&] { return image.isStop(601); }));
}

TEST(QvImageMovie, ProcessEndingWhileMoviesRunExitsCleanly) {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring helper(path);
  helper = helper.substr(0, helper.rfind(L'\\') + 1) + L"qv_image_exit_helper.exe";
  EXPECT_EQ(RunAndWait(helper, L""), 0u);
}

}  // namespace
