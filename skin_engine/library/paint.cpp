#include "paint.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace zz::skin {
namespace {

// Draws into a bitmap and copies it to the target in one go, so a control
// never shows half-painted.
class BufferedCanvas {
 public:
  BufferedCanvas(HDC target, const RECT& area)
      : target_(target), area_(area), dc_(CreateCompatibleDC(target)),
        bitmap_(CreateCompatibleBitmap(target, std::max<LONG>(1, area.right - area.left),
                                       std::max<LONG>(1, area.bottom - area.top))) {
    if (dc_ && bitmap_) {
      old_bitmap_ = SelectObject(dc_, bitmap_);
      SetViewportOrgEx(dc_, -area.left, -area.top, nullptr);
    }
  }
  ~BufferedCanvas() {
    if (dc_ && bitmap_) {
      SetViewportOrgEx(dc_, 0, 0, nullptr);
      BitBlt(target_, area_.left, area_.top, area_.right - area_.left, area_.bottom - area_.top, dc_,
             0, 0, SRCCOPY);
      SelectObject(dc_, old_bitmap_);
    }
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
  }
  BufferedCanvas(const BufferedCanvas&) = delete;
  BufferedCanvas& operator=(const BufferedCanvas&) = delete;

  // The buffer, or the target itself when no buffer could be made.
  HDC dc() const { return dc_ && bitmap_ ? dc_ : target_; }

 private:
  HDC target_;
  RECT area_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_bitmap_ = nullptr;
};

// Selects a GDI object for the life of the scope.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~Selected() { SelectObject(dc_, old_); }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

class Pen {
 public:
  Pen(COLORREF color, int width = 1) : pen_(CreatePen(PS_SOLID, width, color)) {}
  ~Pen() { DeleteObject(pen_); }
  Pen(const Pen&) = delete;
  Pen& operator=(const Pen&) = delete;
  HPEN get() const { return pen_; }

 private:
  HPEN pen_;
};

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

HFONT ControlFont(HWND hwnd) {
  auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
  return font ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

UINT PrefixFlags(HWND hwnd) {
  const LRESULT ui = SendMessageW(hwnd, WM_QUERYUISTATE, 0, 0);
  return (ui & UISF_HIDEACCEL) ? DT_HIDEPREFIX : 0;
}

bool ShowsFocus(HWND hwnd) {
  return GetFocus() == hwnd && !(SendMessageW(hwnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
}

void Fill(HDC dc, const RECT& rect, COLORREF color) {
  SetBkColor(dc, color);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void Outline(HDC dc, const RECT& rect, COLORREF color) {
  Pen pen(color);
  Selected p(dc, pen.get());
  Selected b(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
}

// Draws `text` inside `box` with `format`; multi-line text is centred
// vertically by measuring it first.
void DrawLabel(HDC dc, const std::wstring& text, RECT box, UINT format, bool multiline) {
  if (multiline) {
    RECT measure = box;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measure, format | DT_WORDBREAK | DT_CALCRECT);
    const LONG height = measure.bottom - measure.top;
    box.top += std::max<LONG>(0, (box.bottom - box.top - height) / 2);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, format | DT_WORDBREAK);
  } else {
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, format | DT_SINGLELINE | DT_VCENTER);
  }
}

UINT HorizontalFormat(LONG style, UINT fallback) {
  switch (style & (BS_LEFT | BS_RIGHT | BS_CENTER)) {
    case BS_LEFT: return DT_LEFT;
    case BS_RIGHT: return DT_RIGHT;
    case BS_CENTER: return DT_CENTER;
    default: return fallback;
  }
}

int Scaled(HDC dc, int pixels) { return MulDiv(pixels, GetDeviceCaps(dc, LOGPIXELSY), 96); }

// Leaves the visible children of `owner` (other than `self`) out of `dc`,
// which draws on `self`.
void ExcludeWindows(HDC dc, HWND self, HWND owner) {
  for (HWND child = GetWindow(owner, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (child == self || !IsWindowVisible(child)) continue;
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, self, reinterpret_cast<POINT*>(&rect), 2);
    ExcludeClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
  }
}

// The button of a drop-down field: flat face, a line on its left, an arrow.
void DrawDropButton(HDC dc, const RECT& button, const Palette& palette, bool pressed, bool enabled) {
  Fill(dc, button, palette.Color(pressed ? Colour::ButtonPushed : Colour::ButtonFace));
  RECT line = {button.left, button.top, button.left + 1, button.bottom};
  Fill(dc, line, palette.Color(Colour::Frame));
  const COLORREF arrow = palette.Color(enabled ? Colour::ButtonText : Colour::DisabledText);
  const int cx = (button.left + button.right) / 2 + (pressed ? 1 : 0);
  const int cy = (button.top + button.bottom) / 2 + (pressed ? 1 : 0);
  for (int row = 0; row < 4; ++row) {
    RECT bar = {cx - 3 + row, cy - 2 + row, cx + 4 - row, cy - 1 + row};
    Fill(dc, bar, arrow);
  }
}

}  // namespace

HBRUSH ParentBrush(HWND control, HDC dc, UINT message) {
  HWND parent = GetParent(control);
  HBRUSH brush = nullptr;
  if (parent) {
    brush = reinterpret_cast<HBRUSH>(SendMessageW(parent, message, reinterpret_cast<WPARAM>(dc),
                                                  reinterpret_cast<LPARAM>(control)));
  }
  if (brush == nullptr) {
    if (auto palette = CurrentPalette()) {
      SetTextColor(dc, palette->Color(Colour::WindowText));
      return palette->Brush(Colour::WindowBack);
    }
    brush = GetSysColorBrush(COLOR_BTNFACE);
  }
  return brush;
}

void PaintPushButton(HWND button, HDC target, const Palette& palette, const ControlLook& look) {
  RECT client;
  GetClientRect(button, &client);
  BufferedCanvas canvas(target, client);
  HDC dc = canvas.dc();

  const LONG style = GetWindowLongW(button, GWL_STYLE);
  const LRESULT state = SendMessageW(button, BM_GETSTATE, 0, 0);
  const bool enabled = IsWindowEnabled(button);
  const bool pushlike = (style & BS_TYPEMASK) != BS_PUSHBUTTON && (style & BS_TYPEMASK) != BS_DEFPUSHBUTTON;
  const bool pushed = (state & BST_PUSHED) || (pushlike && (state & (BST_CHECKED | BST_INDETERMINATE)));
  const bool focused = GetFocus() == button;
  const bool is_default = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;

  // The corners show the parent's background.
  FillRect(dc, &client, ParentBrush(button, dc, WM_CTLCOLORBTN));

  COLORREF face = palette.Color(Colour::ButtonFace);
  if (enabled && pushed) face = palette.Color(Colour::ButtonPushed);
  else if (enabled && look.hot) face = palette.Color(Colour::ButtonHot);
  const COLORREF border = enabled && (focused || is_default || pushed)
                              ? palette.Color(Colour::Highlight)
                              : palette.Color(Colour::ButtonBorder);
  {
    Pen pen(border);
    HBRUSH fill = PermanentBrush(face);
    Selected p(dc, pen.get());
    Selected b(dc, fill);
    const int round = Scaled(dc, 4);
    RoundRect(dc, client.left, client.top, client.right, client.bottom, round, round);
  }
  if (enabled && focused && ShowsFocus(button)) {
    // A second line inside the first marks the keyboard focus.
    RECT inner = client;
    InflateRect(&inner, -1, -1);
    Pen pen(border);
    Selected p(dc, pen.get());
    Selected b(dc, GetStockObject(NULL_BRUSH));
    const int round = Scaled(dc, 3);
    RoundRect(dc, inner.left, inner.top, inner.right, inner.bottom, round, round);
  }

  RECT text_box = client;
  InflateRect(&text_box, -Scaled(dc, 4), -2);
  if (pushed) OffsetRect(&text_box, 1, 1);
  Selected font(dc, ControlFont(button));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, enabled ? palette.Color(Colour::ButtonText) : palette.Color(Colour::DisabledText));
  DrawLabel(dc, WindowText(button), text_box, HorizontalFormat(style, DT_CENTER) | PrefixFlags(button),
            (style & BS_MULTILINE) != 0);
}

void PaintCheckBox(HWND button, HDC target, const Palette& palette, const ControlLook& look, bool radio) {
  RECT client;
  GetClientRect(button, &client);
  BufferedCanvas canvas(target, client);
  HDC dc = canvas.dc();

  const LONG style = GetWindowLongW(button, GWL_STYLE);
  const LRESULT state = SendMessageW(button, BM_GETSTATE, 0, 0);
  const bool enabled = IsWindowEnabled(button);

  FillRect(dc, &client, ParentBrush(button, dc, WM_CTLCOLORSTATIC));
  const COLORREF text_color = GetTextColor(dc);

  const int box = Scaled(dc, 13);
  const int gap = Scaled(dc, 5);
  const bool box_right = (style & BS_LEFTTEXT) != 0;
  RECT mark;
  mark.top = client.top + (client.bottom - client.top - box) / 2;
  mark.bottom = mark.top + box;
  mark.left = box_right ? client.right - box : client.left;
  mark.right = mark.left + box;

  const COLORREF frame = enabled && look.hot ? palette.Color(Colour::Highlight) : palette.Color(Colour::Frame);
  const COLORREF fill = enabled ? palette.Color(Colour::EditBack) : palette.Color(Colour::ButtonFace);
  const COLORREF accent = enabled ? palette.Color(Colour::Highlight) : palette.Color(Colour::DisabledText);
  {
    Pen pen(frame);
    Selected p(dc, pen.get());
    Selected b(dc, PermanentBrush(fill));
    if (radio) Ellipse(dc, mark.left, mark.top, mark.right, mark.bottom);
    else Rectangle(dc, mark.left, mark.top, mark.right, mark.bottom);
  }
  if (state & BST_CHECKED) {
    if (radio) {
      RECT dot = mark;
      InflateRect(&dot, -box / 4 - 1, -box / 4 - 1);
      Pen pen(accent);
      Selected p(dc, pen.get());
      Selected b(dc, PermanentBrush(accent));
      Ellipse(dc, dot.left, dot.top, dot.right, dot.bottom);
    } else {
      Pen pen(accent, std::max(2, Scaled(dc, 2)));
      Selected p(dc, pen.get());
      const POINT tick[] = {{mark.left + box * 3 / 13, mark.top + box * 6 / 13},
                            {mark.left + box * 5 / 13, mark.top + box * 9 / 13},
                            {mark.left + box * 10 / 13, mark.top + box * 3 / 13}};
      Polyline(dc, tick, 3);
    }
  } else if (state & BST_INDETERMINATE) {
    RECT square = mark;
    InflateRect(&square, -3, -3);
    Fill(dc, square, accent);
  }

  RECT text_box = client;
  if (box_right) text_box.right = mark.left - gap;
  else text_box.left = mark.right + gap;
  Selected font(dc, ControlFont(button));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, enabled ? text_color : palette.Color(Colour::DisabledText));
  const std::wstring text = WindowText(button);
  const UINT format = HorizontalFormat(style, DT_LEFT) | PrefixFlags(button);
  DrawLabel(dc, text, text_box, format, (style & BS_MULTILINE) != 0);
  if (ShowsFocus(button) && !text.empty()) {
    RECT measure = text_box;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measure, format | DT_SINGLELINE | DT_CALCRECT);
    const LONG height = measure.bottom - measure.top;
    measure.top = text_box.top + (text_box.bottom - text_box.top - height) / 2;
    measure.bottom = measure.top + height;
    InflateRect(&measure, 1, 1);
    SetTextColor(dc, palette.Color(Colour::WindowText));
    DrawFocusRect(dc, &measure);
  }
}

void PaintGroupBox(HWND button, HDC dc, const Palette& palette) {
  RECT client;
  GetClientRect(button, &client);
  HBRUSH back = ParentBrush(button, dc, WM_CTLCOLORSTATIC);
  const COLORREF parent_text = GetTextColor(dc);
  // A group box is see-through, but when its parent clips its children, or
  // controls live inside it as its own children, nothing else paints its
  // inside: fill it, around the controls that lie over it.
  HWND parent = GetParent(button);
  const bool has_children = GetWindow(button, GW_CHILD) != nullptr;
  if (has_children || (parent && (GetWindowLongW(parent, GWL_STYLE) & WS_CLIPCHILDREN))) {
    const int saved = SaveDC(dc);
    ExcludeWindows(dc, button, has_children ? button : parent);
    FillRect(dc, &client, back);
    RestoreDC(dc, saved);
  }

  Selected font(dc, ControlFont(button));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  RECT frame = client;
  frame.top += metrics.tmHeight / 2;
  Outline(dc, frame, palette.Color(Colour::Frame));

  const std::wstring text = WindowText(button);
  if (text.empty()) return;
  const UINT format = DT_SINGLELINE | DT_LEFT | PrefixFlags(button);
  RECT title = {client.left + Scaled(dc, 8), client.top, client.right - Scaled(dc, 8),
                client.top + metrics.tmHeight};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &title, format | DT_CALCRECT);
  title.right = std::min(title.right, client.right - Scaled(dc, 8));
  RECT plate = title;
  InflateRect(&plate, Scaled(dc, 3), 0);
  FillRect(dc, &plate, back);
  SetBkMode(dc, TRANSPARENT);
  // Titles take the skin's accent unless the parent chose a colour itself.
  COLORREF color = palette.Owns(back) ? palette.Color(Colour::Highlight) : parent_text;
  if (!IsWindowEnabled(button)) color = palette.Color(Colour::DisabledText);
  SetTextColor(dc, color);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &title, format | DT_END_ELLIPSIS);
}

void PaintHeader(HWND header, HDC target, const Palette& palette) {
  RECT client;
  GetClientRect(header, &client);
  BufferedCanvas canvas(target, client);
  HDC dc = canvas.dc();
  Fill(dc, client, palette.Color(Colour::HeaderBack));

  Selected font(dc, ControlFont(header));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, IsWindowEnabled(header) ? palette.Color(Colour::ButtonText)
                                           : palette.Color(Colour::DisabledText));
  Pen line(palette.Color(Colour::Frame));
  Selected pen(dc, line.get());
  const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    RECT item;
    if (!SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item))) continue;
    wchar_t text[260] = {};
    HDITEMW info{};
    info.mask = HDI_TEXT | HDI_FORMAT;
    info.pszText = text;
    info.cchTextMax = 260;
    SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info));
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
    if ((info.fmt & HDF_JUSTIFYMASK) == HDF_CENTER) format |= DT_CENTER;
    else if ((info.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT) format |= DT_RIGHT;
    RECT box = item;
    InflateRect(&box, -Scaled(dc, 6), 0);
    DrawTextW(dc, text, -1, &box, format);
    MoveToEx(dc, item.right - 1, item.top + 3, nullptr);
    LineTo(dc, item.right - 1, item.bottom - 3);
  }
  MoveToEx(dc, client.left, client.bottom - 1, nullptr);
  LineTo(dc, client.right, client.bottom - 1);
}

bool PaintStatusBar(HWND bar, HDC target, const Palette& palette) {
  if (SendMessageW(bar, SB_ISSIMPLE, 0, 0)) return false;
  const int parts = static_cast<int>(SendMessageW(bar, SB_GETPARTS, 0, 0));
  for (int i = 0; i < parts; ++i) {
    if (HIWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(i), 0)) & SBT_OWNERDRAW) return false;
  }

  RECT client;
  GetClientRect(bar, &client);
  BufferedCanvas canvas(target, client);
  HDC dc = canvas.dc();
  Fill(dc, client, palette.Color(Colour::StatusBack));

  Pen line(palette.Color(Colour::Frame));
  Selected pen(dc, line.get());
  MoveToEx(dc, client.left, client.top, nullptr);
  LineTo(dc, client.right, client.top);

  Selected font(dc, ControlFont(bar));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, palette.Color(Colour::WindowText));
  for (int i = 0; i < parts; ++i) {
    RECT part;
    if (!SendMessageW(bar, SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&part))) continue;
    const int length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(i), 0));
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
    text.resize(wcsnlen(text.c_str(), text.size()));

    // Tabs in a part's text centre (one) or right-align (two) what follows.
    RECT box = part;
    InflateRect(&box, -Scaled(dc, 5), 0);
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    const UINT aligns[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
    std::size_t start = 0;
    for (int column = 0; column < 3 && start <= text.size(); ++column) {
      std::size_t end = column < 2 ? text.find(L'\t', start) : std::wstring::npos;
      if (end == std::wstring::npos) end = text.size();
      if (end > start) {
        DrawTextW(dc, text.c_str() + start, static_cast<int>(end - start), &box, format | aligns[column]);
      }
      start = end + 1;
    }
    if (i + 1 < parts) {
      MoveToEx(dc, part.right - 1, part.top + 3, nullptr);
      LineTo(dc, part.right - 1, part.bottom - 2);
    }
  }

  if (GetWindowLongW(bar, GWL_STYLE) & SBARS_SIZEGRIP) {
    HWND top = GetAncestor(bar, GA_ROOT);
    if (!top || !IsZoomed(top)) {
      const int step = Scaled(dc, 4);
      for (int row = 1; row <= 3; ++row) {
        for (int column = 1; column <= row; ++column) {
          RECT dot = {client.right - step * column - 1, client.bottom - step * (4 - row) - 1,
                      client.right - step * column + 1, client.bottom - step * (4 - row) + 1};
          Fill(dc, dot, palette.Color(Colour::Frame));
        }
      }
    }
  }
  return true;
}

void PaintComboFrame(HWND combo, const Palette& palette) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (!GetComboBoxInfo(combo, &info)) return;
  HDC dc = GetDC(combo);
  if (!dc) return;
  const bool enabled = IsWindowEnabled(combo);
  HWND focus = GetFocus();
  const bool focused = focus == combo || (focus && GetParent(focus) == combo);
  RECT client;
  GetClientRect(combo, &client);

  const int edge = GetSystemMetrics(SM_CXEDGE);
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, client.left + edge, client.top + edge, client.right - edge, client.bottom - edge);
  FillRect(dc, &client, ParentBrush(combo, dc, enabled ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC));
  RestoreDC(dc, saved);
  FrameRect(dc, &client, PermanentBrush(focused ? palette.Color(Colour::Highlight) : palette.Color(Colour::Frame)));

  RECT button = info.rcButton;
  if (button.right > button.left) {
    button.top = client.top + 1;
    button.bottom = client.bottom - 1;
    button.right = client.right - 1;
    DrawDropButton(dc, button, palette, (info.stateButton & STATE_SYSTEM_PRESSED) != 0, enabled);
  }
  ReleaseDC(combo, dc);
}

void PaintDateButton(HWND picker, const Palette& palette) {
  if (GetWindowLongW(picker, GWL_STYLE) & DTS_UPDOWN) return;
  RECT client;
  GetClientRect(picker, &client);
  DATETIMEPICKERINFO info{};
  info.cbSize = sizeof info;
  SendMessageW(picker, DTM_GETDATETIMEPICKERINFO, 0, reinterpret_cast<LPARAM>(&info));
  RECT button = info.rcButton;
  if (button.right <= button.left) {
    // Systems without the message put the button at the right edge.
    button = {client.right - GetSystemMetrics(SM_CXVSCROLL), client.top, client.right, client.bottom};
  }
  button.top = client.top;
  button.bottom = client.bottom;
  button.right = client.right;
  HDC dc = GetDC(picker);
  if (!dc) return;
  DrawDropButton(dc, button, palette, (info.stateButton & STATE_SYSTEM_PRESSED) != 0, IsWindowEnabled(picker));
  ReleaseDC(picker, dc);
}

void PaintFlatFrame(HWND control, const Palette& palette, bool focused, HBRUSH inner) {
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  const LONG ex_style = GetWindowLongW(control, GWL_EXSTYLE);
  int thickness = 0;
  if (ex_style & WS_EX_CLIENTEDGE) thickness += GetSystemMetrics(SM_CXEDGE);
  if (style & WS_BORDER) thickness += GetSystemMetrics(SM_CXBORDER);
  if (thickness == 0) return;

  HDC dc = GetWindowDC(control);
  if (!dc) return;
  RECT window;
  GetWindowRect(control, &window);
  RECT outer = {0, 0, window.right - window.left, window.bottom - window.top};
  RECT inside = outer;
  InflateRect(&inside, -thickness, -thickness);
  ExcludeClipRect(dc, inside.left, inside.top, inside.right, inside.bottom);
  FillRect(dc, &outer, inner);
  HBRUSH line = PermanentBrush(focused ? palette.Color(Colour::Highlight) : palette.Color(Colour::Frame));
  FrameRect(dc, &outer, line);
  ReleaseDC(control, dc);
}

}  // namespace zz::skin
