// Until the effects are played, a show kind shows the dialog at once and a
// close kind hides it.
#include "qv_dlg.h"

void CQvDlg::Animate(int kind) {
  if (kind < 0 || kind > 11) return;
  if (animation_busy.exchange(true)) return;
  static const bool kShows[12] = {true, false, false, false, true, false,
                                  true, false, true,  false, true, false};
  if (kShows[kind]) {
    SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_SHOWWINDOW | SWP_NOZORDER);
    Redraw();
  } else {
    ShowWindow(hwnd, SW_HIDE);
  }
  animation_busy = false;
}
