#include "window_subclass.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

constexpr UINT kProbe = WM_APP + 7;
constexpr UINT kNested = WM_APP + 8;

std::string g_log;

LRESULT CALLBACK BaseProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kProbe || message == kNested) {
    g_log += "base ";
    return 1;
  }
  if (message == WM_NCDESTROY) g_log += "base-gone ";
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

// Each subclass writes its data (a name) and adds 10 to what comes back.
LRESULT CALLBACK Named(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                       DWORD_PTR data) {
  const char* name = reinterpret_cast<const char*>(data);
  if (message == kProbe) {
    g_log += name;
    g_log += ' ';
    return zz::CallNextSubclass(hwnd, message, wparam, lparam) + 10;
  }
  if (message == WM_NCDESTROY) g_log += std::string(name) + "-gone ";
  return zz::CallNextSubclass(hwnd, message, wparam, lparam);
}

// Passes one message on three times, as a subclass that holds drawing back
// around the real work does.
LRESULT CALLBACK Sandwich(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                          DWORD_PTR) {
  if (message != kProbe) return zz::CallNextSubclass(hwnd, message, wparam, lparam);
  g_log += "[ ";
  zz::CallNextSubclass(hwnd, message, wparam, lparam);
  zz::CallNextSubclass(hwnd, message, wparam, lparam);
  g_log += "] ";
  return 0;
}

// Sends a second message to its own window while handling the first.
LRESULT CALLBACK Reentrant(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                           DWORD_PTR) {
  if (message == kNested) {
    g_log += "outer ";
    SendMessageW(hwnd, kProbe, 0, 0);
  }
  return zz::CallNextSubclass(hwnd, message, wparam, lparam);
}

LRESULT CALLBACK SelfRemoving(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                              DWORD_PTR) {
  if (message == WM_NCDESTROY) {
    g_log += "self-gone ";
    zz::DetachSubclass(hwnd, SelfRemoving, id);
  }
  return zz::CallNextSubclass(hwnd, message, wparam, lparam);
}

LRESULT CALLBACK CommonControlsSubclass(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                        UINT_PTR, DWORD_PTR) {
  if (message == kProbe) g_log += "comctl ";
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

char kA[] = "A";
char kB[] = "B";
char kC[] = "C";

class WindowSubclass : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW wc{};
    wc.lpfnWndProc = BaseProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZzSubclassProbe";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowW(L"ZzSubclassProbe", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                          wc.hInstance, nullptr);
    ASSERT_NE(hwnd_, nullptr);
    g_log.clear();
  }
  void TearDown() override {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }
  static DWORD_PTR Data(char* name) { return reinterpret_cast<DWORD_PTR>(name); }
  HWND hwnd_ = nullptr;
};

TEST_F(WindowSubclass, NewestFirstEachPassingOnItsAnswer) {
  ASSERT_TRUE(zz::AttachSubclass(hwnd_, Named, 1, Data(kA)));
  ASSERT_TRUE(zz::AttachSubclass(hwnd_, Named, 2, Data(kB)));
  EXPECT_EQ(21, SendMessageW(hwnd_, kProbe, 0, 0));
  EXPECT_EQ("B A base ", g_log);

  // Attaching (proc, id) again replaces its data; it is not called twice.
  ASSERT_TRUE(zz::AttachSubclass(hwnd_, Named, 1, Data(kC)));
  g_log.clear();
  EXPECT_EQ(21, SendMessageW(hwnd_, kProbe, 0, 0));
  EXPECT_EQ("B C base ", g_log);

  DWORD_PTR data = 0;
  EXPECT_TRUE(zz::FindSubclass(hwnd_, Named, 2, &data));
  EXPECT_EQ(Data(kB), data);
  zz::DetachSubclass(hwnd_, Named, 2);
  EXPECT_FALSE(zz::FindSubclass(hwnd_, Named, 2, &data));
  g_log.clear();
  EXPECT_EQ(11, SendMessageW(hwnd_, kProbe, 0, 0));
  EXPECT_EQ("C base ", g_log);
}

TEST_F(WindowSubclass, PassingOnSeveralTimesStartsUnderTheCallerEachTime) {
  ASSERT_TRUE(zz::AttachSubclass(hwnd_, Named, 1, Data(kA)));
  ASSERT_TRUE(zz::AttachSubclass(hwnd_, Sandwich, 2, 0));
  SendMessageW(hwnd_, kProbe, 0, 0);
  EXPECT_EQ("[ A base A base ] ", g_log);
}

TEST_F(WindowSubclass, AMessageSentWhileOneIsHandledRunsTheWholeChain) {
  ASSERT_TRUE(zz::AttachSubclass(hwnd_, Named, 1, Data(kA)));
  ASSERT_TRUE(zz::AttachSubclass(hwnd_, Reentrant, 2, 0));
  ASSERT_TRUE(zz::AttachSubclass(hwnd_, Named, 3, Data(kB)));
  SendMessageW(hwnd_, kNested, 0, 0);
  EXPECT_EQ("outer B A base base ", g_log);
}

TEST_F(WindowSubclass, DestructionReachesEverySubclassAndClearsTheTable) {
  ASSERT_TRUE(zz::AttachSubclass(hwnd_, Named, 1, Data(kA)));
  ASSERT_TRUE(zz::AttachSubclass(hwnd_, SelfRemoving, 2, 0));
  ASSERT_TRUE(zz::AttachSubclass(hwnd_, Named, 3, Data(kB)));
  DestroyWindow(hwnd_);
  EXPECT_EQ("B-gone self-gone A-gone base-gone ", g_log);
  EXPECT_FALSE(zz::FindSubclass(hwnd_, Named, 1, nullptr));
  EXPECT_FALSE(zz::FindSubclass(hwnd_, Named, 3, nullptr));
}

TEST_F(WindowSubclass, LivesWithTheCommonControlsHelperAboveIt) {
  ASSERT_TRUE(zz::AttachSubclass(hwnd_, Named, 1, Data(kA)));
  ASSERT_TRUE(SetWindowSubclass(hwnd_, CommonControlsSubclass, 9, 0));
  EXPECT_EQ(11, SendMessageW(hwnd_, kProbe, 0, 0));
  EXPECT_EQ("comctl A base ", g_log);
  RemoveWindowSubclass(hwnd_, CommonControlsSubclass, 9);
}

TEST_F(WindowSubclass, RefusesAnotherThreadsWindowAndNoWindow) {
  bool attached = true;
  std::thread other([&] { attached = zz::AttachSubclass(hwnd_, Named, 1, Data(kA)); });
  other.join();
  EXPECT_FALSE(attached);
  EXPECT_FALSE(zz::AttachSubclass(nullptr, Named, 1, Data(kA)));
  EXPECT_EQ(1, SendMessageW(hwnd_, kProbe, 0, 0));
  EXPECT_EQ("base ", g_log);
}

}  // namespace
