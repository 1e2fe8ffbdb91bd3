// The dialog's show and close effects: the step tables played on the
// window, and the 3D turns drawn frame by frame into the layered window.
#include <objidl.h>

#include <memory>

#include "qv_animate_steps.h"
#include "qv_dlg.h"
#include "qv_image.h"

namespace {

class WindowSteps : public QvAnimSink {
 public:
  explicit WindowSteps(CQvDlg& dialog) : d_(dialog) {}

  void Move(int x, int y, int w, int h) override {
    SetWindowPos(d_.hwnd, nullptr, x, y, w, h, SWP_SHOWWINDOW);
  }
  void Alpha(int alpha) override {
    if (d_.layered) {
      // A window that shows its frames through UpdateLayeredWindow takes
      // its opacity with each frame; SetLayeredWindowAttributes would make
      // every later frame of it fail.
      d_.layered_alpha = alpha;
      d_.Redraw();
      return;
    }
    AddLayeredStyle(d_.hwnd);
    SetLayeredWindowAttributes(d_.hwnd, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
  }
  void Pause(int ms) override { Sleep(static_cast<DWORD>(ms)); }
  void Redraw() override { d_.Redraw(); }
  void Show() override { ShowWindow(d_.hwnd, SW_SHOW); }
  void Hide() override { ShowWindow(d_.hwnd, SW_HIDE); }
  void CornerRegion() override { d_.SetCornerRegion(); }
  void Suppress(bool on) override { d_.suppress = on; }

  static void AddLayeredStyle(HWND window) {
    LONG_PTR style = GetWindowLongPtrW(window, GWL_EXSTYLE);
    if (!(style & WS_EX_LAYERED)) SetWindowLongPtrW(window, GWL_EXSTYLE, style | WS_EX_LAYERED);
  }

 private:
  CQvDlg& d_;
};

struct StreamRelease {
  void operator()(IStream* stream) const { stream->Release(); }
};

void Turn(CQvDlg& d, int kind) {
  HDC dc = GetDC(d.hwnd);
  if (!dc) return;
  // A fresh frame into the last-frame picture: that is the snapshot.
  d.Paint(dc);
  IStream* raw = nullptr;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 0);
  if (!block || FAILED(CreateStreamOnHGlobal(block, TRUE, &raw))) {
    if (block) GlobalFree(block);
    ReleaseDC(d.hwnd, dc);
    return;
  }
  std::unique_ptr<IStream, StreamRelease> stream(raw);
  GdiFlush();
  CQvImage::Instance().BmToStream(d.last_frame.GetBitmap(), stream.get(), L"bmp");

  const LONG_PTR style = GetWindowLongPtrW(d.hwnd, GWL_EXSTYLE);
  if (!d.layered && (style & WS_EX_LAYERED)) {
    // A fade may have left attributes behind, under which UpdateLayeredWindow
    // fails: the style is set afresh.
    SetWindowLongPtrW(d.hwnd, GWL_EXSTYLE, style & ~WS_EX_LAYERED);
  }
  WindowSteps::AddLayeredStyle(d.hwnd);
  if (kind == kQvAnimTurnShow) ShowWindow(d.hwnd, SW_SHOW);

  RECT rect = d.last_frame.GetRect();
  const int w = d.width;
  const int h = d.height;
  for (const QvTurnFrame& f : QvTurnFrames(kind, w, h)) {
    CQvDC frame(dc, rect, false, true, d.hwnd);
    frame.SetAlpha(static_cast<BYTE>(d.layered ? d.layered_alpha.load() : 255));
    if (frame.GetMemDC()) {
      CQvImage::Instance().DrawRotate3D(frame.GetMemDC(), stream.get(), f.left, f.top, f.right,
                                        f.right_top, f.left, f.bottom);
      frame.Draw();
    }
    Sleep(kQvTurnFramePause);
  }
  stream.reset();
  ReleaseDC(d.hwnd, dc);

  if (kind == kQvAnimTurnShow) {
    if (!d.layered)
      SetWindowLongPtrW(d.hwnd, GWL_EXSTYLE,
                        GetWindowLongPtrW(d.hwnd, GWL_EXSTYLE) & ~WS_EX_LAYERED);
    d.Redraw();
  } else if (d.child) {
    ShowWindow(d.hwnd, SW_HIDE);
  }
}

}  // namespace

void CQvDlg::Animate(int kind) {
  if (kind < kQvAnimSlideIn || kind > kQvAnimTurnHide) return;
  if (animation_busy.exchange(true)) return;
  if (hwnd && !animation_stopped) {
    if (QvAnimIsTurn(kind)) {
      Turn(*this, kind);
    } else {
      QvAnimRect stored{x, y, width, height};
      WindowSteps steps(*this);
      QvAnimatePlay(kind, stored, cut_corners, steps);
      x = stored.x;
      y = stored.y;
      width = stored.w;
      height = stored.h;
    }
  }
  animation_busy = false;
}

void CQvDlg::StopAnimation() {
  animation_stopped = true;
  JoinAnimation();
}

void CQvDlg::JoinAnimation() {
  if (!animation_thread) return;
  // The effect's window calls wait for this thread when it owns the
  // window: their messages are answered while waiting.
  while (MsgWaitForMultipleObjects(1, &animation_thread, FALSE, INFINITE, QS_SENDMESSAGE) ==
         WAIT_OBJECT_0 + 1) {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  CloseHandle(animation_thread);
  animation_thread = nullptr;
}
