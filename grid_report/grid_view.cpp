#include "grid_view.h"

#include <algorithm>
#include <cmath>

#include "gdi_handles.h"
#include "grid_paint.h"
#include "runtime_window.h"

namespace grid {

const wchar_t kGridViewClass[] = L"ZzReportGrid";

namespace {

// Pixels one arrow click or wheel notch scrolls.
constexpr int kLineStep = 24;

struct View {
  GridData* data = nullptr;
  double scale = 96.0 / 254;  // pixels per tenth of a millimetre
  int x = 0, y = 0;           // scroll position in pixels
  bool sizing = false;        // the bars are being set: WM_SIZE comes back
};

View* ViewOf(HWND hwnd) { return reinterpret_cast<View*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

int Pixels(const View& v, int length) { return static_cast<int>(std::lround(length * v.scale)); }

PaintTarget TargetFor(const View& v, HDC dc) {
  return PaintTarget{dc, v.scale, v.scale, POINT{-v.x, -v.y}, 1, v.data->RowCount(), true};
}

void SetBar(HWND hwnd, int bar, int extent, int page, int* pos) {
  *pos = std::clamp(*pos, 0, std::max(0, extent - page));
  SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0, extent - 1),
                static_cast<UINT>(std::max(0, page)), *pos};
  SetScrollInfo(hwnd, bar, &si, TRUE);
}

void UpdateScrollBars(HWND hwnd, View& v) {
  // Showing or hiding a bar resizes the client area, which sends WM_SIZE
  // from inside SetScrollInfo.
  if (v.sizing) return;
  v.sizing = true;
  RECT client;
  // Twice: showing one bar narrows the room the other has.
  for (int i = 0; i < 2; ++i) {
    GetClientRect(hwnd, &client);
    SetBar(hwnd, SB_HORZ, Pixels(v, v.data->TotalWidth()) + 1, client.right, &v.x);
    SetBar(hwnd, SB_VERT, Pixels(v, v.data->TotalHeight()) + 1, client.bottom, &v.y);
  }
  v.sizing = false;
}

void ScrollTo(HWND hwnd, View& v, int bar, int pos) {
  int& at = bar == SB_HORZ ? v.x : v.y;
  SCROLLINFO si{sizeof si, SIF_ALL};
  GetScrollInfo(hwnd, bar, &si);
  pos = std::clamp(pos, 0, std::max(0, si.nMax + 1 - static_cast<int>(si.nPage)));
  if (pos == at) return;
  at = pos;
  SetScrollPos(hwnd, bar, pos, TRUE);
  InvalidateRect(hwnd, nullptr, FALSE);
}

void OnScroll(HWND hwnd, View& v, int bar, WPARAM wp) {
  SCROLLINFO si{sizeof si, SIF_ALL};
  GetScrollInfo(hwnd, bar, &si);
  int pos = bar == SB_HORZ ? v.x : v.y;
  switch (LOWORD(wp)) {
    case SB_LINEUP: pos -= kLineStep; break;
    case SB_LINEDOWN: pos += kLineStep; break;
    case SB_PAGEUP: pos -= static_cast<int>(si.nPage); break;
    case SB_PAGEDOWN: pos += static_cast<int>(si.nPage); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = si.nTrackPos; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = si.nMax; break;
    default: return;
  }
  ScrollTo(hwnd, v, bar, pos);
}

void OnPaint(HWND hwnd, View& v) {
  PaintDc paint(hwnd);
  RECT client;
  GetClientRect(hwnd, &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  BufferedPaint buffer(paint.get(), client);
  SetDCBrushColor(buffer.get(), GetSysColor(COLOR_APPWORKSPACE));
  FillRect(buffer.get(), &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  PaintCells(TargetFor(v, buffer.get()), *v.data);
}

void OnClick(HWND hwnd, View& v, LPARAM lp) {
  SetFocus(hwnd);
  int row, column;
  POINT at{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
  if (!CellAt(TargetFor(v, nullptr), *v.data, at, &row, &column)) return;
  v.data->SetCurrentCell(row, column);
  InvalidateRect(hwnd, nullptr, FALSE);
}

LRESULT CALLBACK GridViewProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  View* v = ViewOf(hwnd);
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lp);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  if (!v) return DefWindowProcW(hwnd, msg, wp, lp);
  switch (msg) {
    case WM_PAINT: OnPaint(hwnd, *v); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: UpdateScrollBars(hwnd, *v); return 0;
    case WM_HSCROLL: OnScroll(hwnd, *v, SB_HORZ, wp); return 0;
    case WM_VSCROLL: OnScroll(hwnd, *v, SB_VERT, wp); return 0;
    case WM_MOUSEWHEEL:
      ScrollTo(hwnd, *v, SB_VERT, v->y - GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA * 3 * kLineStep);
      return 0;
    case WM_LBUTTONDOWN: OnClick(hwnd, *v, lp); return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      delete v;
      return DefWindowProcW(hwnd, msg, wp, lp);
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void RegisterOnce() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSEXW wc{sizeof wc};
  wc.lpfnWndProc = GridViewProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kGridViewClass;
  registered = RegisterClassExW(&wc) != 0;
}

}  // namespace

HWND CreateGridView(HWND parent, int left, int top, int width, int height, GridData& data) {
  RegisterOnce();
  auto* v = new View;
  v->data = &data;
  HWND hwnd = CreateWindowExW(WS_EX_CLIENTEDGE, kGridViewClass, L"",
                              WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | WS_TABSTOP, left, top, width,
                              height, parent, nullptr, GetModuleHandleW(nullptr), v);
  if (!hwnd) {
    delete v;
    return nullptr;
  }
  UpdateScrollBars(hwnd, *v);
  return hwnd;
}

HWND AttachGridView(rt::RuntimeWindow& window, const std::string& unit, GridData& data) {
  rt::UnitState* state = window.model().Find(unit);
  if (!window.IsAlive() || !state || state->kind != rt::UnitKind::Grid) return nullptr;
  // Units inside a group box sit at offsets from it. An empty parent is
  // the window itself, which Find also answers to: stop there.
  int left = state->left, top = state->top;
  for (std::string parent = state->parent; !parent.empty();) {
    rt::UnitState* p = window.model().Find(parent);
    if (!p) break;
    left += p->left;
    top += p->top;
    parent = p->parent;
  }
  HWND view = CreateGridView(window.hwnd(), left, top, state->width, state->height, data);
  if (view) state->attachment = &data;
  return view;
}

void RefreshGridView(HWND view) {
  View* v = ViewOf(view);
  if (!v) return;
  UpdateScrollBars(view, *v);
  InvalidateRect(view, nullptr, FALSE);
}

}  // namespace grid
