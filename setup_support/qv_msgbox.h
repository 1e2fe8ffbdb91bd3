// The library's own modal message box, drawn in the setup windows' skin:
// icon and title in the caption band, a close button, a line of text, a
// body picture, OK (and Cancel), and a count-down that presses OK.
#pragma once

#include <windows.h>

#include <string>

#include "qv_button.h"
#include "qv_controls.h"
#include "qv_dlg.h"

// Body pictures: OK only, OK and Cancel, and the crash box's.
constexpr int kQvMsgBoxOkPicture = 60056;
constexpr int kQvMsgBoxOkCancelPicture = 60057;
constexpr int kQvMsgBoxCrashPicture = 60061;

enum QvMsgBoxButtons { kQvMsgBoxOk = 0, kQvMsgBoxOkCancel = 1 };
enum QvMsgBoxAnswer { kQvMsgBoxAnswerOk = 1, kQvMsgBoxAnswerCancel = 2 };
// Seconds a shown box waits before it presses OK by itself.
constexpr int kQvMsgBoxCountdown = 5;

class CQvMsgBox : public CQvDlg {
 public:
  CQvMsgBox();
  // Lets a running effect end before the members it draws go, and stops
  // the count-down.
  ~CQvMsgBox() override;

  void OnInit() override;
  void DrawContent(HDC dc) override;
  LRESULT WndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;

  // Creates the 300 x 200 box over owner and runs it modally: 1 for OK or
  // when the count-down runs out, 2 for Cancel, the close button, or a box
  // that could not be made. The body text and button set given before are
  // kept; seconds 0 or less leaves the box open until it is answered.
  int Show(const wchar_t* title, HWND owner, int seconds = kQvMsgBoxCountdown);
  // A box with OK only that stays until the user answers it: for what the
  // user must read. 1 for OK, 2 for the close button.
  static int Notify(const wchar_t* title, const std::wstring& body, HWND owner = nullptr);
  int DoModal();

  static void OnOK(void* box);
  static void OnCancel(void* box);
  static unsigned __stdcall CountdownThread(void* box);

  // Length of one count-down second for boxes made from now on; tests
  // shorten it.
  static void SetCountdownTick(DWORD ms);

  HICON icon = nullptr;
  std::wstring title;
  std::wstring body;
  std::wstring check_caption;
  CQvButton close_button;
  CQvButton ok_button;
  CQvButton cancel_button;
  CQvCheckBox check_box;
  CQvText title_label;
  int button_set = kQvMsgBoxOk;
  int close_kind = 9;
  int countdown = 5;
  bool check_state = false;
  bool check_shown = false;
  int picture_id = 0;

 private:
  void Close(int answer);
  void OnCountdown(int seconds_left);
  void StopCountdown();

  HANDLE countdown_thread_ = nullptr;
  HANDLE countdown_stop_ = nullptr;
  DWORD tick_ms_;
};
