// The top-level window wrapper: one window class per window, one window
// procedure that hands every message to the window's object, and the
// message loops.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "qv_base.h"

class CQvWin : public CQvBase {
 public:
  CQvWin() = default;
  // Destroys the window when it still exists.
  ~CQvWin() override;

  void Paint(HDC) override {}
  virtual void OnInit() {}
  virtual void AttachControls() {}
  virtual LRESULT WndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  // From any thread. The frame is always composed on the window's own
  // thread: another thread only asks for it.
  virtual void Redraw();

  // Style 0: a visible child when a parent is given, else a hidden popup.
  // The parent is kept in the base's window field.
  bool Create(HWND parent, int width, int height, bool layered, DWORD style = 0);

  HWND hwnd = nullptr;
  std::wstring class_name;
  int icon_id = 0;
  bool child = false;

 protected:
  // Composes a frame now, on the calling thread.
  void PaintNow();
  // WM_PAINT: the frame into the paint DC.
  LRESULT OnPaintMessage();

 private:
  friend LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
};

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Runs until WM_QUIT and returns its exit code; -1 when GetMessageW fails.
int MessageLoop();

// A nested loop for a modal window: true once closing is set (the message
// that finds it set is dropped). A WM_QUIT that arrives first is posted
// again for the outer loop and ends this one with false, as does a failing
// GetMessageW.
bool ModalLoop(const std::atomic<bool>& closing);
