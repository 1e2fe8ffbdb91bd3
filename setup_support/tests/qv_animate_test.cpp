// Every effect played once on a real window, and the message box run
// modally with clicks posted from another thread.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "qv_animate_steps.h"
#include "qv_dlg.h"
#include "qv_msgbox.h"

namespace {

struct Final {
  RECT rect;
  bool visible;
  bool layered_style;
  int alpha;  // -1 without window attributes
};

Final ReadBack(HWND window) {
  Final f = {};
  GetWindowRect(window, &f.rect);
  f.visible = IsWindowVisible(window) != FALSE;
  f.layered_style = (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  f.alpha = GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) && (flags & LWA_ALPHA)
                ? alpha
                : -1;
  return f;
}

Final Play(int kind, bool layered = false) {
  CQvDlg dlg;
  EXPECT_TRUE(dlg.Create(nullptr, 300, 200, layered));
  dlg.x = 500;
  dlg.y = 300;
  MoveWindow(dlg.hwnd, 500, 300, 300, 200, FALSE);
  // A close effect starts from a shown window; a show effect shows it.
  const bool closes = kind == 2 || kind == 3 || kind == 5 || kind == 7 || kind == 9 || kind == 11;
  if (closes) ShowWindow(dlg.hwnd, SW_SHOWNOACTIVATE);
  dlg.Animate(kind);
  EXPECT_FALSE(dlg.animation_busy);
  return ReadBack(dlg.hwnd);
}

void ExpectRect(const Final& f, int x, int y, int w, int h) {
  EXPECT_EQ(f.rect.left, x);
  EXPECT_EQ(f.rect.top, y);
  EXPECT_EQ(f.rect.right - f.rect.left, w);
  EXPECT_EQ(f.rect.bottom - f.rect.top, h);
}

TEST(QvAnimate, EachKindEndsWhereItsTableSays) {
  // Shows that end in place.
  for (int kind : {0, 1, 4, 8}) {
    SCOPED_TRACE(kind);
    Final f = Play(kind);
    ExpectRect(f, 500, 300, 300, 200);
    EXPECT_TRUE(f.visible);
  }
  EXPECT_EQ(Play(8).alpha, 249);

  Final rolled = Play(2);
  EXPECT_FALSE(rolled.visible);
  Final slid = Play(3);
  ExpectRect(slid, -300, 300, 300, 200);
  EXPECT_TRUE(slid.visible);
  Final closed = Play(5);
  ExpectRect(closed, 500, 400, 300, 2);
  EXPECT_FALSE(closed.visible);

  Final in = Play(6);
  EXPECT_EQ(in.alpha, 250);
  EXPECT_TRUE(in.visible);
  Final out = Play(7);
  EXPECT_EQ(out.alpha, 15);
  EXPECT_TRUE(out.visible);

  Final gone = Play(9);
  EXPECT_EQ(gone.alpha, 0);
  EXPECT_EQ(gone.rect.left, 650);
  EXPECT_EQ(gone.rect.top, 399);
  EXPECT_TRUE(gone.visible);

  // The turns: the showing one gives the window back as it was, the
  // hiding one leaves its last, layered frame up.
  Final shown = Play(10);
  EXPECT_TRUE(shown.visible);
  EXPECT_FALSE(shown.layered_style);
  ExpectRect(shown, 500, 300, 300, 200);
  Final hidden = Play(11);
  EXPECT_TRUE(hidden.visible);
  EXPECT_TRUE(hidden.layered_style);
}

TEST(QvAnimate, FadeOfALayeredDialogKeepsItsFramesWorking) {
  CQvDlg dlg;
  ASSERT_TRUE(dlg.Create(nullptr, 300, 200, true));
  dlg.Animate(kQvAnimFadeIn);
  EXPECT_EQ(dlg.layered_alpha, 250);
  // Window attributes would have made every later frame fail.
  BYTE alpha = 0;
  DWORD flags = 0;
  EXPECT_FALSE(GetLayeredWindowAttributes(dlg.hwnd, nullptr, &alpha, &flags) &&
               (flags & LWA_ALPHA));
  HDC dc = GetDC(dlg.hwnd);
  RECT rect = {0, 0, 300, 200};
  CQvDC frame(dc, rect, false, true, dlg.hwnd);
  EXPECT_TRUE(frame.Draw());
  frame.Release();
  ReleaseDC(dlg.hwnd, dc);
}

TEST(QvAnimate, OneEffectAtATime) {
  CQvDlg dlg;
  ASSERT_TRUE(dlg.Create(nullptr, 300, 200, false));
  dlg.x = 400;
  dlg.y = 300;
  MoveWindow(dlg.hwnd, 400, 300, 300, 200, FALSE);
  dlg.AnimateAsync(kQvAnimFadeOut);
  while (!dlg.animation_busy) Sleep(1);
  dlg.Animate(kQvAnimSlideOut);   // refused while the fade plays
  dlg.ShowCenter(kQvAnimSlideIn);  // so is a new show
  dlg.JoinAnimation();
  Final f = ReadBack(dlg.hwnd);
  EXPECT_EQ(f.rect.left, 400);
  EXPECT_EQ(f.alpha, 15);
  dlg.Animate(12);
  EXPECT_FALSE(dlg.animation_busy);
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
  {
    CQvMsgBox box;
    Clicker ok(box, 150, 182);
    EXPECT_EQ(box.Show(nullptr, owner_), kQvMsgBoxAnswerOk);
    EXPECT_TRUE(ok.OwnerWasDisabled());
    EXPECT_EQ(box.ok_button.caption, L"\u786E\u5B9A");
  }
  {
    CQvMsgBox box;
    Clicker close(box, 279, 10);
    EXPECT_EQ(box.Show(nullptr, owner_), kQvMsgBoxAnswerCancel);
  }
  {
    // OK and Cancel go through Create and DoModal: Show makes OK-only boxes.
    CQvMsgBox box;
    box.button_set = kQvMsgBoxOkCancel;
    ASSERT_TRUE(box.Create(owner_, 300, 200, false, WS_POPUP));
    EXPECT_EQ(box.picture_id, kQvMsgBoxOkCancelPicture);
    EXPECT_EQ(box.ok_button.x, 70);
    EXPECT_EQ(box.cancel_button.x, 160);
    Clicker cancel(box, 195, 182);
    EXPECT_EQ(box.DoModal(), kQvMsgBoxAnswerCancel);
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

}  // namespace
