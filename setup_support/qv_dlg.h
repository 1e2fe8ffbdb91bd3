// The borderless, self-drawn dialog every window of the setup programs is
// built on: a skin picture (or a solid colour) as background, content drawn
// by the derived dialog, drawn controls that get its paint and mouse
// events, dragging by a caption band and slightly cut corners.
#pragma once

#include <windows.h>

#include <atomic>
#include <vector>

#include "qv_dc.h"
#include "qv_win.h"

// The library's own dialog background picture.
constexpr int kQvDialogBackgroundId = 60051;

class CQvDlg : public CQvWin {
 public:
  CQvDlg();
  ~CQvDlg() override;

  void Paint(HDC dc) override;
  void OnInit() override;
  void AttachControls() override;
  LRESULT WndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;
  virtual void OnMouseWheel(int /*keys*/, int /*distance*/, int /*x*/, int /*y*/) {}
  virtual void OnSize(WPARAM, LPARAM) {}
  virtual void OnMouseMove(WPARAM wparam, LPARAM lparam);
  virtual void OnLButtonUp(WPARAM wparam, LPARAM lparam);
  virtual void OnLButtonDown(WPARAM wparam, LPARAM lparam);
  virtual void DrawBackground(HDC dc, RECT rect);
  virtual void DrawContent(HDC) {}
  // Plays one show or close effect; returns when it is over. Does nothing
  // while another one runs.
  virtual void Animate(int kind);

  // Centres the dialog on the screen and shows it with an effect played on
  // a thread of its own; the first dialog shown becomes the main window.
  void ShowCenter(int kind);
  // The thread is kept until it is joined: the window and the members it
  // draws with must outlive it.
  void AnimateAsync(int kind);
  // Waits for an effect started by AnimateAsync, still answering the
  // messages it sends this thread's windows meanwhile.
  void JoinAnimation();
  // Refuses every later effect and waits for the one still playing. Each
  // derived dialog calls it first in its destructor: an effect draws a whole
  // frame (a turn paints its snapshot), through the derived dialog's
  // background, content and controls, which must still be there.
  void StopAnimation();
  // False when the point lies on a visible control that does not let the
  // caption drag pass through, edges included.
  bool CanDrag(int px, int py) const;
  void SetCornerRegion();
  // Runs the nested loop of a modal dialog until closing is set.
  bool ModalLoop() { return ::ModalLoop(closing); }

  int result = 2;
  CQvDC background;
  CQvDC last_frame;
  int animation_kind = 0;
  int caption_height = 30;
  bool drag_anywhere = false;
  bool caption_drag = true;
  bool cut_corners = true;
  std::atomic<bool> closing{false};
  // While set, frames leave the controls out and moves reach none of them.
  std::atomic<bool> suppress{false};
  std::atomic<bool> animation_busy{false};
  std::atomic<bool> animation_stopped{false};
  HANDLE animation_thread = nullptr;
  // Whole-window opacity of a layered dialog, applied by every frame it
  // shows; the fades change it.
  std::atomic<int> layered_alpha{255};
  std::vector<CQvBase*> controls;  // not owned
  int background_id = kQvDialogBackgroundId;
  HDC parent_background_dc = nullptr;
  int edge_height = 30;
  int edge_width = 3;
  COLORREF solid_color = RGB(255, 255, 255);

 protected:
  // Hands the window to the system's move loop until the button is let go.
  // Tests replace it: a move loop without a real button held never ends.
  virtual void BeginCaptionDrag();

 private:
  void TellControls(int x, int y, int kind);
};

unsigned __stdcall AnimateThread(void* dialog);
