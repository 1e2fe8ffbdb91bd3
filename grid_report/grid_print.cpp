#include "grid_print.h"

#include <cderr.h>
#include <commdlg.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "gbk_text.h"
#include "gdi_handles.h"
#include "grid_paint.h"
#include "loader.h"
#include "page_layout.h"

namespace grid {

const wchar_t kPreviewClass[] = L"ZzPrintPreview";

namespace {

enum Command { kPrevious = 101, kNext, kPrint, kClose, kPageLabel };

struct PreviewButton {
  Command id;
  const wchar_t* caption;
};
const PreviewButton kButtons[] = {
    {kPrevious, L"上一页"}, {kNext, L"下一页"}, {kPrint, L"打印"}, {kClose, L"关闭"}};

constexpr int kBandHeight = 44;
constexpr int kButtonWidth = 80, kButtonHeight = 28, kGap = 8;
constexpr int kPageGap = 16, kShadow = 4;
constexpr COLORREF kDesk = RGB(128, 128, 128);
constexpr COLORREF kShadowColour = RGB(64, 64, 64);

struct Preview {
  GridData grid;
  PrintInf settings;
  PageLayout layout;
  int page = 0;
  HWND owner = nullptr;
};

Preview* PreviewOf(HWND hwnd) { return reinterpret_cast<Preview*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

// A global memory handle PrintDlg hands out, freed on every way out.
class GlobalMemory {
 public:
  explicit GlobalMemory(HGLOBAL h) : h_(h) {}
  ~GlobalMemory() {
    if (h_) GlobalFree(h_);
  }
  GlobalMemory(const GlobalMemory&) = delete;
  GlobalMemory& operator=(const GlobalMemory&) = delete;
  HGLOBAL get() const { return h_; }

 private:
  HGLOBAL h_;
};

class Locked {
 public:
  explicit Locked(HGLOBAL h) : h_(h), p_(h ? GlobalLock(h) : nullptr) {}
  ~Locked() {
    if (p_) GlobalUnlock(h_);
  }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;
  void* get() const { return p_; }

 private:
  HGLOBAL h_;
  void* p_;
};

// Draws one page on a device with `pixels_x` and `pixels_y` pixels per
// tenth of a millimetre whose paper's top-left corner is at `paper_corner`.
void PaintPage(HDC dc, const GridData& grid, const PageLayout& layout, int page, double pixels_x, double pixels_y,
               POINT paper_corner) {
  DevicePage d = PlaceOnDevice(layout, pixels_x, pixels_y, paper_corner.x, paper_corner.y);
  const PageRows& rows = layout.pages[page];
  PaintCells(PaintTarget{dc, d.scale_x, d.scale_y, POINT{d.left, d.top}, rows.first, rows.last, false}, grid);
}

std::wstring PageText(const Preview& p) {
  return L"第 " + std::to_wstring(p.page + 1) + L" 页，共 " + std::to_wstring(p.layout.pages.size()) + L" 页";
}

void ShowPage(HWND hwnd, Preview& p, int page) {
  p.page = std::clamp(page, 0, static_cast<int>(p.layout.pages.size()) - 1);
  SetDlgItemTextW(hwnd, kPageLabel, PageText(p).c_str());
  EnableWindow(GetDlgItem(hwnd, kPrevious), p.page > 0);
  EnableWindow(GetDlgItem(hwnd, kNext), p.page + 1 < static_cast<int>(p.layout.pages.size()));
  InvalidateRect(hwnd, nullptr, FALSE);
}

// The paper as large as the window allows, keeping its proportions.
RECT PaperRect(HWND hwnd, const PageLayout& layout) {
  RECT client;
  GetClientRect(hwnd, &client);
  int room_w = std::max(1, static_cast<int>(client.right) - 2 * kPageGap);
  int room_h = std::max(1, static_cast<int>(client.bottom) - kBandHeight - 2 * kPageGap);
  double s = std::min(static_cast<double>(room_w) / layout.paper_width,
                      static_cast<double>(room_h) / layout.paper_height);
  int w = static_cast<int>(layout.paper_width * s), h = static_cast<int>(layout.paper_height * s);
  int left = (client.right - w) / 2, top = kBandHeight + kPageGap + (room_h - h) / 2;
  return RECT{left, top, left + w, top + h};
}

void OnCreate(HWND hwnd) {
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  int x = kGap;
  for (const PreviewButton& b : kButtons) {
    HWND button = CreateWindowExW(0, L"BUTTON", b.caption, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, x,
                                  (kBandHeight - kButtonHeight) / 2, kButtonWidth, kButtonHeight, hwnd,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(b.id)), nullptr, nullptr);
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    x += kButtonWidth + kGap;
  }
  HWND label = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_CENTERIMAGE, x + kGap,
                               (kBandHeight - kButtonHeight) / 2, 200, kButtonHeight, hwnd,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPageLabel)), nullptr, nullptr);
  SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void OnPaint(HWND hwnd, const Preview& p) {
  PaintDc paint(hwnd);
  RECT client;
  GetClientRect(hwnd, &client);
  if (client.right <= 0 || client.bottom <= kBandHeight) return;
  RECT band{0, 0, client.right, kBandHeight};
  FillRect(paint.get(), &band, GetSysColorBrush(COLOR_BTNFACE));
  RECT desk{0, kBandHeight, client.right, client.bottom};
  BufferedPaint buffer(paint.get(), desk);
  HDC dc = buffer.get();
  SetDCBrushColor(dc, kDesk);
  FillRect(dc, &desk, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  RECT paper = PaperRect(hwnd, p.layout);
  RECT shadow{paper.left + kShadow, paper.top + kShadow, paper.right + kShadow, paper.bottom + kShadow};
  SetDCBrushColor(dc, kShadowColour);
  FillRect(dc, &shadow, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  FillRect(dc, &paper, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  // The preview's paper keeps its proportions: one scale both ways.
  double s = static_cast<double>(paper.right - paper.left) / p.layout.paper_width;
  PaintPage(dc, p.grid, p.layout, p.page, s, s, POINT{paper.left, paper.top});
}

void Close(HWND hwnd, const Preview& p) {
  // The owner comes back before the preview goes, or Windows would hand
  // the activation to some other program's window.
  if (p.owner) EnableWindow(p.owner, TRUE);
  DestroyWindow(hwnd);
}

void OnCommand(HWND hwnd, Preview& p, int id) {
  switch (id) {
    case kPrevious: ShowPage(hwnd, p, p.page - 1); break;
    case kNext: ShowPage(hwnd, p, p.page + 1); break;
    case kPrint: PrintAndTell(hwnd, p.grid, p.settings); break;
    case kClose: Close(hwnd, p); break;
  }
}

bool OnKey(HWND hwnd, Preview& p, WPARAM key) {
  switch (key) {
    case VK_PRIOR: ShowPage(hwnd, p, p.page - 1); return true;
    case VK_NEXT: ShowPage(hwnd, p, p.page + 1); return true;
    case VK_HOME: ShowPage(hwnd, p, 0); return true;
    case VK_END: ShowPage(hwnd, p, static_cast<int>(p.layout.pages.size()) - 1); return true;
    case VK_ESCAPE: Close(hwnd, p); return true;
  }
  return false;
}

LRESULT CALLBACK PreviewProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lp);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  Preview* p = PreviewOf(hwnd);
  if (!p) return DefWindowProcW(hwnd, msg, wp, lp);
  switch (msg) {
    case WM_CREATE: OnCreate(hwnd); return 0;
    case WM_PAINT: OnPaint(hwnd, *p); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: InvalidateRect(hwnd, nullptr, FALSE); return 0;
    case WM_COMMAND: OnCommand(hwnd, *p, LOWORD(wp)); return 0;
    case WM_KEYDOWN:
      if (OnKey(hwnd, *p, wp)) return 0;
      break;
    case WM_CLOSE: Close(hwnd, *p); return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      delete p;
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void RegisterOnce() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSEXW wc{sizeof wc};
  wc.lpfnWndProc = PreviewProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = kPreviewClass;
  registered = RegisterClassExW(&wc) != 0;
}

// The system's words for the last error, or "" when it has none.
std::string LastErrorText() {
  DWORD error = GetLastError();
  wchar_t* text = nullptr;
  if (error == 0 || !FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                        FORMAT_MESSAGE_IGNORE_INSERTS,
                                    nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr))
    return "";
  std::wstring words(text);
  LocalFree(text);
  while (!words.empty() && (words.back() == L'\r' || words.back() == L'\n' || words.back() == L' '))
    words.pop_back();
  return zz::WideToGbk(words);
}

// The device the default printer is, set to the settings' paper and
// orientation; null without a printer, with the reason when known.
HDC DefaultPrinterDc(const PrintInf& s, std::wstring* name, std::string* reason) {
  PRINTDLGW pd{};
  pd.lStructSize = sizeof pd;
  pd.Flags = PD_RETURNDEFAULT;
  if (!PrintDlgW(&pd)) {
    if (CommDlgExtendedError() == PDERR_NODEFAULTPRN) *reason = "没有默认打印机。";
    return nullptr;
  }
  GlobalMemory devmode(pd.hDevMode), devnames(pd.hDevNames);
  Locked names(devnames.get()), mode(devmode.get());
  auto* dn = static_cast<DEVNAMES*>(names.get());
  if (!dn) return nullptr;
  const wchar_t* base = reinterpret_cast<const wchar_t*>(dn);
  *name = base + dn->wDeviceOffset;
  auto* dm = static_cast<DEVMODEW*>(mode.get());
  if (dm) {
    dm->dmOrientation = s.Landscape() ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    dm->dmPaperSize = static_cast<short>(DevicePaperCode(s.value[PrintInf::kPaper]));
    dm->dmFields |= DM_ORIENTATION | DM_PAPERSIZE;
  }
  HDC dc = CreateDCW(base + dn->wDriverOffset, base + dn->wDeviceOffset, nullptr, dm);
  if (!dc) *reason = LastErrorText();
  return dc;
}

}  // namespace

HWND OpenPrintPreview(HWND owner, const GridData& grid, const PrintInf& settings) {
  RegisterOnce();
  auto* p = new Preview{grid, settings.Clamped(), LayOutPages(grid, settings), 0, owner};
  HWND hwnd = CreateWindowExW(0, kPreviewClass, L"打印预览", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                              960, 720, owner, nullptr, GetModuleHandleW(nullptr), p);
  if (!hwnd) {
    delete p;
    return nullptr;
  }
  ShowPage(hwnd, *p, 0);
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
  SetFocus(hwnd);
  return hwnd;
}

void ShowPrintPreview(HWND owner, const GridData& grid, const PrintInf& settings) {
  HWND preview = OpenPrintPreview(owner, grid, settings);
  if (!preview) return;
  if (owner) EnableWindow(owner, FALSE);
  MSG msg;
  while (IsWindow(preview)) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      // The program is ending: the loop that called us must see it too.
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      if (IsWindow(preview)) SendMessageW(preview, WM_CLOSE, 0, 0);
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (owner) {
    EnableWindow(owner, TRUE);
    SetActiveWindow(owner);
  }
}

std::string PrintGrid(const GridData& grid, const PrintInf& settings, std::string* reason) {
  std::string ignored;
  if (!reason) reason = &ignored;
  reason->clear();
  std::wstring name;
  OwnedDc dc(DefaultPrinterDc(settings, &name, reason));
  if (!dc) return "";
  PageLayout layout = LayOutPages(grid, settings);
  DOCINFOW doc{};
  doc.cbSize = sizeof doc;
  doc.lpszDocName = L"报表";
  if (StartDocW(dc.get(), &doc) <= 0) {
    *reason = LastErrorText();
    return "";
  }
  // Rows follow the device's vertical resolution, columns its horizontal
  // one; the paper's corner lies beyond the edge the device cannot print on.
  double pixels_x = GetDeviceCaps(dc.get(), LOGPIXELSX) / 254.0;
  double pixels_y = GetDeviceCaps(dc.get(), LOGPIXELSY) / 254.0;
  POINT corner{-GetDeviceCaps(dc.get(), PHYSICALOFFSETX), -GetDeviceCaps(dc.get(), PHYSICALOFFSETY)};
  for (size_t page = 0; page < layout.pages.size(); ++page) {
    if (StartPage(dc.get()) <= 0) {
      *reason = LastErrorText();
      AbortDoc(dc.get());
      return "";
    }
    PaintPage(dc.get(), grid, layout, static_cast<int>(page), pixels_x, pixels_y, corner);
    if (EndPage(dc.get()) <= 0) {
      *reason = LastErrorText();
      AbortDoc(dc.get());
      return "";
    }
  }
  if (EndDoc(dc.get()) <= 0) {
    *reason = LastErrorText();
    return "";
  }
  return zz::WideToGbk(name);
}

void PrintAndTell(HWND owner, const GridData& grid, const PrintInf& settings) {
  std::string reason;
  if (PrintGrid(grid, settings, &reason).empty())
    rt::ShowMessage(reason.empty() ? "打印失败！" : "打印失败！\n" + reason, "错误", 16, owner);
}

}  // namespace grid
