// Every effect played once on a real window, and the message box run
// modally with clicks posted from another thread.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "qv_animate_steps.h"
#include "qv_dlg.h"
#include "qv_msgbox.h"

namespace {

constexpr int kAny = -2;

// Where each effect leaves a 300 x 200 dialog started at (500, 300): the
// rectangle (width kAny: not looked at), visibility, the window alpha (-1:
// none set) and the layered style.
struct End {
  int kind, x, y, w, h;
  bool visible;
  int alpha;
  int layered;
};

const End kEnds[] = {
    {0, 500, 300, 300, 200, true, -1, 0},  {1, 500, 300, 300, 200, true, -1, 0},
    {2, 0, 0, kAny, 0, false, -1, 0},      {3, -300, 300, 300, 200, true, -1, 0},
    {4, 500, 300, 300, 200, true, -1, 0},  {5, 500, 400, 300, 2, false, -1, 0},
    {6, 0, 0, kAny, 0, true, 250, 1},      {7, 0, 0, kAny, 0, true, 15, 1},
    {8, 500, 300, 300, 200, true, 249, 1}, {9, 650, 399, kAny, 0, true, 0, 1},
    {10, 500, 300, 300, 200, true, -1, 0}, {11, 0, 0, kAny, 0, true, kAny, 1},
};

TEST(QvAnimate, EachKindEndsWhereItsTableSays) {
  for (const End& e : kEnds) {
    SCOPED_TRACE(e.kind);
    CQvDlg dlg;
    ASSERT_TRUE(dlg.Create(nullptr, 300, 200, false));
    dlg.x = 500;
    dlg.y = 300;
    MoveWindow(dlg.hwnd, 500, 300, 300, 200, FALSE);
    // A close effect starts from a shown window; a show effect shows it.
    if (e.kind == 2 || (e.kind > 1 && e.kind % 2 == 1)) ShowWindow(dlg.hwnd, SW_SHOWNOACTIVATE);
    dlg.Animate(e.kind);
    EXPECT_FALSE(dlg.animation_busy);

    RECT r;
    GetWindowRect(dlg.hwnd, &r);
    if (e.w != kAny) {
      EXPECT_EQ(r.left, e.x);
      EXPECT_EQ(r.top, e.y);
      EXPECT_EQ(r.right - r.left, e.w);
      EXPECT_EQ(r.bottom - r.top, e.h);
    }
    EXPECT_EQ(IsWindowVisible(dlg.hwnd) != FALSE, e.visible);
    BYTE alpha = 0;
    DWORD flags = 0;
    const bool has = GetLayeredWindowAttributes(dlg.hwnd, nullptr, &alpha, &flags) &&
                     (flags & LWA_ALPHA);
    if (e.alpha != kAny) {
      EXPECT_EQ(has ? alpha : -1, e.alpha);
    }
    EXPECT_EQ((GetWindowLongPtrW(dlg.hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0, e.layered != 0);
  }
}

TEST(QvAnimate, FadeOfALayeredDialogGoesThroughItsFrames) {
  CQvDlg dlg;
  ASSERT_TRUE(dlg.Create(nullptr, 300, 200, true));
  dlg.Animate(kQvAnimFadeIn);
  EXPECT_EQ(dlg.layered_alpha, 250);
  // Window attributes would have made every later frame fail.
  BYTE alpha = 0;
  DWORD flags = 0;
  EXPECT_FALSE(GetLayeredWindowAttributes(dlg.hwnd, nullptr, &alpha, &flags));
}

TEST(QvAnimate, OneEffectAtATime) {
  CQvDlg dlg;
  ASSERT_TRUE(dlg.Create(nullptr, 300, 200, false));
  dlg.x = 400;
  MoveWindow(dlg.hwnd, 400, 0, 300, 200, FALSE);
  dlg.AnimateAsync(kQvAnimFadeOut);
  while (!dlg.animation_busy) Sleep(1);
  dlg.Animate(kQvAnimSlideOut);   // refused while the fade plays
  dlg.ShowCenter(kQvAnimSlideIn);  // so is a new show
  dlg.JoinAnimation();
  RECT r;
  GetWindowRect(dlg.hwnd, &r);
  EXPECT_EQ(r.left, 400);
}

// Posts a press and a release at a client point of the box once it is up;
// with early, at once, while it still opens.
class Clicker {
 public:
  Clicker(CQvMsgBox& box, int x, int y, bool early = false)
      : thread_([&box, x, y, early, this] {
          while (!stop_ && !(box.hwnd && IsWindowVisible(box.hwnd))) Sleep(2);
          if (!early)
            while (!stop_ && box.animation_busy) Sleep(2);
          if (stop_) return;
          HWND owner = GetWindow(box.hwnd, GW_OWNER);
          owner_disabled_ = owner && !IsWindowEnabled(owner);
          PostMessageW(box.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
          PostMessageW(box.hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        }) {}
  ~Clicker() {
    stop_ = true;
    thread_.join();
  }
  bool OwnerWasDisabled() const { return owner_disabled_; }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<bool> owner_disabled_{false};
  std::thread thread_;
};

class QvMsgBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CQvMsgBox::SetCountdownTick(60);
    owner_ = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100,
                             nullptr, nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    DestroyWindow(owner_);
    CQvMsgBox::SetCountdownTick(1000);
  }
  HWND owner_ = nullptr;
};

TEST_F(QvMsgBoxTest, CountsDownAndAnswersOkByItself) {
  CQvMsgBox box;
  box.body = L"kept";
  EXPECT_EQ(box.Show(L"t", owner_), kQvMsgBoxAnswerOk);
  EXPECT_EQ(box.ok_button.caption, L"\u786E\u5B9A(0)");
  EXPECT_EQ(box.body, L"kept");
  EXPECT_EQ(box.picture_id, kQvMsgBoxOkPicture);
  EXPECT_TRUE(IsWindowEnabled(owner_));
}

TEST_F(QvMsgBoxTest, ButtonsAnswer) {
  CQvMsgBox::SetCountdownTick(5000);
  HFONT title_font = nullptr;
  {
    CQvMsgBox box;
    Clicker ok(box, 150, 182);
    EXPECT_EQ(box.Show(nullptr, owner_), kQvMsgBoxAnswerOk);
    EXPECT_TRUE(ok.OwnerWasDisabled());
    EXPECT_EQ(box.ok_button.caption, L"\u786E\u5B9A");
    title_font = box.title_label.font;
    EXPECT_NE(title_font, nullptr);
  }
  {
    // The title font is the cache's: one font for every box.
    CQvMsgBox box;
    Clicker close(box, 279, 10);
    EXPECT_EQ(box.Show(nullptr, owner_), kQvMsgBoxAnswerCancel);
    EXPECT_EQ(box.title_label.font, title_font);
  }
  {
    // A button set given before Show is kept.
    CQvMsgBox box;
    box.button_set = kQvMsgBoxOkCancel;
    Clicker cancel(box, 195, 182);
    EXPECT_EQ(box.Show(nullptr, owner_), kQvMsgBoxAnswerCancel);
    EXPECT_EQ(box.picture_id, kQvMsgBoxOkCancelPicture);
    EXPECT_EQ(box.ok_button.x, 70);
    EXPECT_EQ(box.cancel_button.x, 160);
  }
  EXPECT_TRUE(IsWindowEnabled(owner_));
}

TEST_F(QvMsgBoxTest, OkWhileOpeningAndABoxWithoutWindow) {
  HWND window = nullptr;
  {
    CQvMsgBox box;
    Clicker ok(box, 150, 182, true);
    EXPECT_EQ(box.Show(nullptr, owner_), kQvMsgBoxAnswerOk);
    window = box.hwnd;
  }
  EXPECT_FALSE(IsWindow(window));

  CQvMsgBox orphan;
  const DWORD start = GetTickCount();
  EXPECT_EQ(orphan.Show(L"x", reinterpret_cast<HWND>(0x1234)), kQvMsgBoxAnswerCancel);
  EXPECT_LT(GetTickCount() - start, 1000u);
}

// The visible box among a thread's windows; null when there is none.
HWND BoxOf(DWORD thread) {
  HWND box = nullptr;
  EnumThreadWindows(thread, [](HWND w, LPARAM out) {
        RECT r;
        if (IsWindowVisible(w) && GetWindowRect(w, &r) && r.right - r.left == 300)
          *reinterpret_cast<HWND*>(out) = w;
        return TRUE;
      }, reinterpret_cast<LPARAM>(&box));
  return box;
}

TEST_F(QvMsgBoxTest, NotifyWaitsForOkLongAfterACountDownWouldHaveEnded) {
  const DWORD ui = GetCurrentThreadId();
  std::atomic<bool> open_late{false};
  std::thread user([&] {
    HWND box = nullptr;
    for (int i = 0; i < 500 && !(box = BoxOf(ui)); ++i) Sleep(10);
    Sleep(1000);  // five ticks of 60 ms and the close effect are long over
    open_late = box && BoxOf(ui) == box;
    PostMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 182));
    PostMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(150, 182));
  });
  EXPECT_EQ(CQvMsgBox::Notify(L"t", L"body", owner_), kQvMsgBoxAnswerOk);
  user.join();
  EXPECT_TRUE(open_late);
}

}  // namespace
