#include "qv_msgbox.h"

#include <atomic>
#include <cwchar>

#include "qv_animate_steps.h"
#include "qv_app.h"
#include "qv_font.h"
#include "qv_image.h"
#include "qv_messages.h"
#include "qv_thread.h"

namespace {

constexpr int kBoxWidth = 300;
constexpr int kBoxHeight = 200;
constexpr DWORD kBoxStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr int kIconId = 107;
constexpr int kCloseButtonPicture = 60006;

const wchar_t kTitle[] = L"\u63D0\u793A\u4FE1\u606F";
const wchar_t kOk[] = L"\u786E\u5B9A";
const wchar_t kCancel[] = L"\u53D6\u6D88";
const wchar_t kOkCountdown[] = L"\u786E\u5B9A(%d)";

std::atomic<DWORD> g_tick_ms{1000};

// Taken from the cache, which owns and frees it like every other font.
HFONT TitleFont() {
  CQvFont& fonts = CQvFont::Instance();
  const bool preferred = std::wcscmp(fonts.GetDefaultFace(), kQvPreferredFace) == 0;
  return fonts.GetFont(preferred ? 20 : 14, preferred ? kQvPreferredFace : kQvFallbackFace, true,
                       false);
}

}  // namespace

void CQvMsgBox::SetCountdownTick(DWORD ms) { g_tick_ms = ms; }

CQvMsgBox::CQvMsgBox() : title(kTitle), tick_ms_(g_tick_ms.load()) {
  caption_height = 30;
  icon_id = kIconId;
  icon = LoadIconW(CQvApp::Instance().GetModule(), MAKEINTRESOURCEW(kIconId));
}

CQvMsgBox::~CQvMsgBox() {
  StopAnimation();
  StopCountdown();
  if (countdown_thread_) {
    // It only ever waits on its stop event and posts: it ends at once.
    WaitForSingleObject(countdown_thread_, INFINITE);
    CloseHandle(countdown_thread_);
  }
  if (countdown_stop_) CloseHandle(countdown_stop_);
  // A box that became the main window must not stay recorded as one.
  CQvApp& app = CQvApp::Instance();
  if (hwnd && app.GetMainWnd() == hwnd) app.SetMainWnd(nullptr);
}

void CQvMsgBox::OnInit() {
  CQvDlg::OnInit();
  RECT client;
  GetClientRect(hwnd, &client);
  const int cw = client.right;
  const int ch = client.bottom;

  close_button.Init(L"", cw - 40, 1, 38, 18, 0, 1, hwnd);
  close_button.image_id = kCloseButtonPicture;
  close_button.image_count = 3;
  close_button.on_click = &CQvMsgBox::OnCancel;
  controls.push_back(&close_button);

  title_label.SetText(title.c_str(), 35, 4, 200, 25);
  title_label.font = TitleFont();
  title_label.text_color = RGB(255, 255, 255);
  controls.push_back(&title_label);

  if (check_shown) {
    check_box.Init(check_state, check_caption.c_str(), ch - 60, hwnd);
    controls.push_back(&check_box);
  }

  if (button_set == kQvMsgBoxOk) {
    if (picture_id == 0) picture_id = kQvMsgBoxOkPicture;
    ok_button.Init(kOk, width / 2 - 35, ch - 30, 70, 25, 2, 1, hwnd);
    ok_button.on_click = &CQvMsgBox::OnOK;
    controls.push_back(&ok_button);
  } else if (button_set == kQvMsgBoxOkCancel) {
    if (picture_id == 0) picture_id = kQvMsgBoxOkCancelPicture;
    ok_button.Init(kOk, width / 2 - 80, ch - 30, 70, 25, 2, 1, hwnd);
    ok_button.on_click = &CQvMsgBox::OnOK;
    cancel_button.Init(kCancel, width / 2 + 10, ch - 30, 70, 25, 2, 1, hwnd);
    cancel_button.on_click = &CQvMsgBox::OnCancel;
    controls.push_back(&ok_button);
    controls.push_back(&cancel_button);
  }

  if (countdown > 0) {
    countdown_stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (countdown_stop_)
      countdown_thread_ = CQvThread::StartThread(&CQvMsgBox::CountdownThread, this, FALSE);
  }
}

void CQvMsgBox::DrawContent(HDC dc) {
  CQvImage& image = CQvImage::Instance();
  image.DrawString(dc, font, body.c_str(), 50, 50, width - 55, 50, 0, 254, false, false, 0);
  if (dc && picture_id != 0) image.DrawImg(dc, picture_id, L"IMG", 10, 58);
  if (dc && icon) DrawIconEx(dc, 5, 5, icon, 24, 24, 0, nullptr, DI_NORMAL);
}

LRESULT CQvMsgBox::WndProc(HWND w, UINT message, WPARAM wparam, LPARAM lparam) {
  if (w == hwnd && message == WM_QV_COUNTDOWN) {
    OnCountdown(static_cast<int>(wparam));
    return 0;
  }
  return CQvDlg::WndProc(w, message, wparam, lparam);
}

int CQvMsgBox::Show(const wchar_t* text, HWND owner, int seconds) {
  if (text) title = text;
  countdown = seconds;
  close_kind = kQvAnimZoomOut;
  if (!Create(owner, kBoxWidth, kBoxHeight, false, kBoxStyle)) {
    // No window, no loop: waiting for one would never end.
    result = kQvMsgBoxAnswerCancel;
    return result;
  }
  return DoModal();
}

int CQvMsgBox::Notify(const wchar_t* text, const std::wstring& body_text, HWND owner) {
  CQvMsgBox box;
  box.body = body_text;
  return box.Show(text, owner, 0);
}

int CQvMsgBox::DoModal() {
  if (!hwnd) return result = kQvMsgBoxAnswerCancel;
  // The base's window field holds the owner given to Create.
  HWND owner = window;
  if (owner) EnableWindow(owner, FALSE);
  ShowCenter(kQvAnimZoomIn);
  ModalLoop();
  if (owner) {
    EnableWindow(owner, TRUE);
    SetForegroundWindow(owner);
  }
  return result;
}

void CQvMsgBox::OnOK(void* box) {
  if (box) static_cast<CQvMsgBox*>(box)->Close(kQvMsgBoxAnswerOk);
}

void CQvMsgBox::OnCancel(void* box) {
  if (box) static_cast<CQvMsgBox*>(box)->Close(kQvMsgBoxAnswerCancel);
}

void CQvMsgBox::Close(int answer) {
  if (closing) return;
  StopCountdown();
  // A close asked for while the box still opens waits for the opening to
  // end; otherwise the close effect would be refused as busy.
  JoinAnimation();
  Animate(close_kind);
  result = answer;
  closing = true;
  // The loop looks at the flag when it next retrieves a message.
  PostMessageW(hwnd, WM_NULL, 0, 0);
}

void CQvMsgBox::OnCountdown(int seconds_left) {
  if (closing) return;
  wchar_t caption[32];
  std::swprintf(caption, sizeof caption / sizeof caption[0], kOkCountdown, seconds_left);
  ok_button.caption = caption;
  Redraw();
  if (seconds_left <= 0) Close(kQvMsgBoxAnswerOk);
}

void CQvMsgBox::StopCountdown() {
  if (countdown_stop_) SetEvent(countdown_stop_);
}

unsigned __stdcall CQvMsgBox::CountdownThread(void* p) {
  CQvMsgBox* box = static_cast<CQvMsgBox*>(p);
  if (!box) return 0;
  const HWND window = box->hwnd;
  const HANDLE stop = box->countdown_stop_;
  const DWORD tick = box->tick_ms_;
  for (int left = box->countdown; left > 0;) {
    if (WaitForSingleObject(stop, tick) != WAIT_TIMEOUT) return 0;
    --left;
    PostMessageW(window, WM_QV_COUNTDOWN, static_cast<WPARAM>(left), 0);
  }
  return 0;
}
