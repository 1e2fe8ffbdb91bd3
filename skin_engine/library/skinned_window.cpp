#include "skinned_window.h"

#include <commctrl.h>

#include "desktop_frame.h"
#include "paint.h"
#include "palette.h"
#include "window_subclass.h"

namespace zz::skin {
namespace {

constexpr UINT_PTR kSubclassId = 0x5A534B4E;  // "ZSKN"

// What the skin remembers about one window.
struct WindowState {
  explicit WindowState(WindowKind k) : kind(k) {}
  WindowKind kind;
  ControlLook look;
  // List views: whether this list's rows are coloured by the skin in this
  // paint, and the colours the skin gave it (so a colour the program set
  // itself is not taken back on a skin change).
  bool rows_by_skin = false;
  bool colours_given = false;
  COLORREF given[3] = {};
};

LRESULT CALLBACK SkinProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR data);

// Also how a parent finds the state of a list view that notifies it.
WindowState* StateOf(HWND hwnd) {
  DWORD_PTR data = 0;
  return hwnd && zz::FindSubclass(hwnd, SkinProc, kSubclassId, &data) ? reinterpret_cast<WindowState*>(data)
                                                                      : nullptr;
}

bool Is(const wchar_t* a, const wchar_t* b) { return lstrcmpiW(a, b) == 0; }

WindowKind ClassifyButton(LONG style) {
  if (style & (BS_BITMAP | BS_ICON)) return WindowKind::None;
  const bool pushlike = (style & BS_PUSHLIKE) != 0;
  switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
      return WindowKind::PushButton;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
      return pushlike ? WindowKind::PushButton : WindowKind::CheckBox;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      return pushlike ? WindowKind::PushButton : WindowKind::RadioButton;
    case BS_GROUPBOX:
      return WindowKind::GroupBox;
    default:  // owner-drawn and the newer kinds draw themselves
      return WindowKind::None;
  }
}

// ---- control colours -------------------------------------------------------

// The parent's answer to a control-colour message. What the window chose
// itself (a brush that is not a system brush, a text colour of its own) is
// kept; where it left the defaults, the skin's colours go in.
LRESULT OnControlColour(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, const Palette& palette) {
  const LRESULT chosen = zz::CallNextSubclass(hwnd, message, wparam, lparam);
  const auto brush = reinterpret_cast<HBRUSH>(chosen);
  if (brush != nullptr && !IsSystemBrush(brush)) return chosen;

  auto dc = reinterpret_cast<HDC>(wparam);
  const COLORREF text = GetTextColor(dc);
  const bool own_text = brush != nullptr && text != GetSysColor(COLOR_WINDOWTEXT) &&
                        text != GetSysColor(COLOR_BTNTEXT) && text != GetSysColor(COLOR_GRAYTEXT);
  Colour back = Colour::WindowBack;
  Colour fore = Colour::WindowText;
  switch (message) {
    case WM_CTLCOLOREDIT: back = Colour::EditBack; fore = Colour::EditText; break;
    case WM_CTLCOLORLISTBOX: back = Colour::ListBack; fore = Colour::ListText; break;
    case WM_CTLCOLORBTN: fore = Colour::ButtonText; break;
    case WM_CTLCOLORSCROLLBAR: return chosen;
    default: break;
  }
  if (!own_text) SetTextColor(dc, palette.Color(fore));
  SetBkColor(dc, palette.Color(back));
  return reinterpret_cast<LRESULT>(palette.Brush(back));
}

// ---- list views --------------------------------------------------------------

bool HasBackgroundImage(HWND list) {
  LVBKIMAGEW image{};
  image.ulFlags = LVBKIF_SOURCE_MASK;
  return SendMessageW(list, LVM_GETBKIMAGEW, 0, reinterpret_cast<LPARAM>(&image)) &&
         (image.ulFlags & LVBKIF_SOURCE_MASK) != LVBKIF_SOURCE_NONE;
}

LRESULT ColourRow(NMLVCUSTOMDRAW& draw, const Palette& palette) {
  HWND list = draw.nmcd.hdr.hwndFrom;
  const int item = static_cast<int>(draw.nmcd.dwItemSpec);
  const bool selected = (SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_SELECTED) &
                         LVIS_SELECTED) != 0;
  const bool shows_selection = GetFocus() == list || (GetWindowLongW(list, GWL_STYLE) & LVS_SHOWSELALWAYS);
  if (selected && shows_selection) {
    draw.clrText = palette.Color(Colour::SelectionText);
    draw.clrTextBk = palette.Color(Colour::SelectionBack);
    draw.nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED | CDIS_FOCUS);
  } else if (item % 2 == 1 && !HasBackgroundImage(list)) {
    draw.clrTextBk = palette.Color(Colour::ListAltRow);
  }
  return CDRF_NEWFONT;
}

// Custom drawing of a skinned list view, as its parent receives it. A parent
// that draws the list's items itself keeps doing so.
LRESULT OnListCustomDraw(HWND hwnd, WPARAM wparam, LPARAM lparam, WindowState& list, const Palette& palette) {
  auto& draw = *reinterpret_cast<NMLVCUSTOMDRAW*>(lparam);
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT: {
      const LRESULT parent = zz::CallNextSubclass(hwnd, WM_NOTIFY, wparam, lparam);
      list.rows_by_skin = parent == CDRF_DODEFAULT;
      return list.rows_by_skin ? CDRF_NOTIFYITEMDRAW : parent;
    }
    case CDDS_ITEMPREPAINT:
      if (list.rows_by_skin) return ColourRow(draw, palette);
      break;
    default:
      if (list.rows_by_skin) return CDRF_DODEFAULT;
      break;
  }
  return zz::CallNextSubclass(hwnd, WM_NOTIFY, wparam, lparam);
}

void GiveListColours(HWND list, WindowState& state, const Palette& palette) {
  struct Slot {
    UINT get, set;
    Colour role;
    int system;
  };
  const Slot slots[] = {{LVM_GETBKCOLOR, LVM_SETBKCOLOR, Colour::ListBack, COLOR_WINDOW},
                        {LVM_GETTEXTBKCOLOR, LVM_SETTEXTBKCOLOR, Colour::ListBack, COLOR_WINDOW},
                        {LVM_GETTEXTCOLOR, LVM_SETTEXTCOLOR, Colour::ListText, COLOR_WINDOWTEXT}};
  for (int i = 0; i < 3; ++i) {
    const auto now = static_cast<COLORREF>(SendMessageW(list, slots[i].get, 0, 0));
    const bool untouched = now == GetSysColor(slots[i].system) || now == CLR_DEFAULT;
    if (state.colours_given ? now != state.given[i] : !untouched) continue;  // the program's own
    state.given[i] = palette.Color(slots[i].role);
    SendMessageW(list, slots[i].set, 0, static_cast<LPARAM>(state.given[i]));
  }
  state.colours_given = true;
}

// ---- menus and frames --------------------------------------------------------

void ColourMenu(HMENU menu, HBRUSH brush, bool submenus) {
  MENUINFO info{};
  info.cbSize = sizeof info;
  info.fMask = MIM_BACKGROUND | (submenus ? MIM_APPLYTOSUBMENUS : 0);
  info.hbrBack = brush;
  SetMenuInfo(menu, &info);
}

void ColourMenuBar(HWND hwnd, const Palette& palette) {
  if (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD) return;
  if (HMENU menu = GetMenu(hwnd)) {
    ColourMenu(menu, palette.Brush(Colour::HeaderBack), true);
    DrawMenuBar(hwnd);
  }
}

HBRUSH FrameInside(HWND control, WindowKind kind) {
  switch (kind) {
    case WindowKind::Edit: {
      HDC dc = GetDC(control);
      const bool plain = (GetWindowLongW(control, GWL_STYLE) & ES_READONLY) || !IsWindowEnabled(control);
      HBRUSH brush = ParentBrush(control, dc, plain ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT);
      ReleaseDC(control, dc);
      return brush;
    }
    case WindowKind::ListBox: {
      HDC dc = GetDC(control);
      HBRUSH brush = ParentBrush(control, dc, WM_CTLCOLORLISTBOX);
      ReleaseDC(control, dc);
      return brush;
    }
    case WindowKind::ListView: {
      const auto back = static_cast<COLORREF>(SendMessageW(control, LVM_GETBKCOLOR, 0, 0));
      return back == CLR_NONE ? GetSysColorBrush(COLOR_WINDOW) : PermanentBrush(back);
    }
    default:
      return GetSysColorBrush(COLOR_WINDOW);
  }
}

void DrawFrame(HWND hwnd, const WindowState& state, const Palette& palette) {
  const bool focused = state.kind == WindowKind::Edit && GetFocus() == hwnd;
  PaintFlatFrame(hwnd, palette, focused, FrameInside(hwnd, state.kind));
}

void GiveCalendarColours(HWND hwnd, UINT message, const Palette& palette) {
  const std::pair<int, Colour> parts[] = {
      {MCSC_BACKGROUND, Colour::WindowBack}, {MCSC_MONTHBK, Colour::EditBack},
      {MCSC_TEXT, Colour::EditText},         {MCSC_TITLEBK, Colour::Caption},
      {MCSC_TITLETEXT, Colour::CaptionText}, {MCSC_TRAILINGTEXT, Colour::DisabledText}};
  for (const auto& [part, role] : parts) {
    SendMessageW(hwnd, message, static_cast<WPARAM>(part), static_cast<LPARAM>(palette.Color(role)));
  }
}

// Colours a control takes from messages rather than from painting.
void GiveColours(HWND hwnd, WindowState& state, const Palette& palette) {
  switch (state.kind) {
    case WindowKind::Surface:
      ColourMenuBar(hwnd, palette);
      ApplyFrameSetting(hwnd);
      break;
    case WindowKind::ListView:
      GiveListColours(hwnd, state, palette);
      break;
    case WindowKind::DatePicker:
      GiveCalendarColours(hwnd, DTM_SETMCCOLOR, palette);
      break;
    case WindowKind::Calendar:
      GiveCalendarColours(hwnd, MCM_SETCOLOR, palette);
      break;
    case WindowKind::Progress:
      SendMessageW(hwnd, PBM_SETBARCOLOR, 0, static_cast<LPARAM>(palette.Color(Colour::Highlight)));
      SendMessageW(hwnd, PBM_SETBKCOLOR, 0, static_cast<LPARAM>(palette.Color(Colour::EditBack)));
      break;
    default:
      break;
  }
}

// ---- painting ----------------------------------------------------------------

void Paint(HWND hwnd, HDC dc, WindowState& state, const Palette& palette) {
  switch (state.kind) {
    case WindowKind::PushButton: PaintPushButton(hwnd, dc, palette, state.look); break;
    case WindowKind::CheckBox: PaintCheckBox(hwnd, dc, palette, state.look, false); break;
    case WindowKind::RadioButton: PaintCheckBox(hwnd, dc, palette, state.look, true); break;
    case WindowKind::GroupBox: PaintGroupBox(hwnd, dc, palette); break;
    case WindowKind::Header: PaintHeader(hwnd, dc, palette); break;
    case WindowKind::StatusBar: PaintStatusBar(hwnd, dc, palette); break;
    default: break;
  }
}

bool PaintsItself(HWND hwnd, const WindowState& state) {
  switch (state.kind) {
    case WindowKind::PushButton:
    case WindowKind::CheckBox:
    case WindowKind::RadioButton:
    case WindowKind::GroupBox:
    case WindowKind::Header:
      return true;
    case WindowKind::StatusBar: {
      if (SendMessageW(hwnd, SB_ISSIMPLE, 0, 0)) return false;
      const int parts = static_cast<int>(SendMessageW(hwnd, SB_GETPARTS, 0, 0));
      for (int i = 0; i < parts; ++i) {
        if (HIWORD(SendMessageW(hwnd, SB_GETTEXTLENGTHW, static_cast<WPARAM>(i), 0)) & SBT_OWNERDRAW) return false;
      }
      return true;
    }
    default:
      return false;
  }
}

bool IsButton(WindowKind kind) {
  return kind == WindowKind::PushButton || kind == WindowKind::CheckBox || kind == WindowKind::RadioButton ||
         kind == WindowKind::GroupBox;
}

// Messages on which a button draws itself at once instead of asking for a
// paint: handled with drawing switched off, then repainted by the skin.
bool DrawsAtOnce(UINT message) {
  switch (message) {
    case BM_SETSTATE:
    case BM_SETCHECK:
    case BM_SETSTYLE:
    case WM_SETTEXT:
    case WM_ENABLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE:
    case WM_SETFONT:
      return true;
    default:
      return false;
  }
}

LRESULT WithoutDrawing(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  const bool visible = (GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
  if (visible) zz::CallNextSubclass(hwnd, WM_SETREDRAW, FALSE, 0);
  const LRESULT result = zz::CallNextSubclass(hwnd, message, wparam, lparam);
  if (visible) {
    zz::CallNextSubclass(hwnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd, nullptr, FALSE);
  }
  return result;
}

LRESULT OnPaintedControl(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, WindowState& state,
                         const Palette& palette) {
  switch (message) {
    case WM_PAINT: {
      if (wparam) {
        Paint(hwnd, reinterpret_cast<HDC>(wparam), state, palette);
        return 0;
      }
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (dc) Paint(hwnd, dc, state, palette);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(hwnd, reinterpret_cast<HDC>(wparam), state, palette);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEMOVE:
      if (IsButton(state.kind) && !state.look.hot) {
        state.look.hot = true;
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
        TrackMouseEvent(&track);
        InvalidateRect(hwnd, nullptr, FALSE);
      }
      break;
    case WM_MOUSELEAVE:
      if (IsButton(state.kind)) {
        state.look.hot = false;
        InvalidateRect(hwnd, nullptr, FALSE);
      }
      break;
    default:
      if (IsButton(state.kind) && DrawsAtOnce(message)) {
        return WithoutDrawing(hwnd, message, wparam, lparam);
      }
      break;
  }
  return zz::CallNextSubclass(hwnd, message, wparam, lparam);
}

LRESULT OnSurface(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, WindowState& state,
                  const Palette& palette) {
  switch (message) {
    case WM_ERASEBKGND: {
      // Only a background nobody chose: a class brush of a system colour.
      auto brush = reinterpret_cast<HBRUSH>(GetClassLongPtrW(hwnd, GCLP_HBRBACKGROUND));
      if (brush == nullptr || !IsSystemBrush(brush)) break;
      RECT client;
      GetClientRect(hwnd, &client);
      FillRect(reinterpret_cast<HDC>(wparam), &client, palette.Brush(Colour::WindowBack));
      return 1;
    }
    case WM_CREATE: {
      const LRESULT result = zz::CallNextSubclass(hwnd, message, wparam, lparam);
      if (result != -1) GiveColours(hwnd, state, palette);
      return result;
    }
    case WM_SHOWWINDOW:
      if (wparam) ColourMenuBar(hwnd, palette);
      break;
    case WM_INITMENUPOPUP:
      ColourMenu(reinterpret_cast<HMENU>(wparam), palette.Brush(Colour::EditBack), false);
      break;
    default:
      break;
  }
  return zz::CallNextSubclass(hwnd, message, wparam, lparam);
}

// Messages after which a drop-down field may have drawn its button anew.
bool RedrawsDropButton(UINT message) {
  switch (message) {
    case WM_PAINT:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
    case WM_COMMAND:  // the list opening or closing
    case WM_NOTIFY:
    case CB_SHOWDROPDOWN:
    case CB_SETCURSEL:
      return true;
    default:
      return false;
  }
}

LRESULT OnFramedControl(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, WindowState& state,
                        const Palette& palette) {
  if (state.kind == WindowKind::DatePicker && RedrawsDropButton(message)) {
    const LRESULT result = zz::CallNextSubclass(hwnd, message, wparam, lparam);
    PaintDateButton(hwnd, palette);
    if (message == WM_SETFOCUS || message == WM_KILLFOCUS || message == WM_ENABLE) DrawFrame(hwnd, state, palette);
    return result;
  }
  switch (message) {
    case WM_NCPAINT: {
      const LRESULT result = zz::CallNextSubclass(hwnd, message, wparam, lparam);
      DrawFrame(hwnd, state, palette);
      return result;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE: {
      const LRESULT result = zz::CallNextSubclass(hwnd, message, wparam, lparam);
      DrawFrame(hwnd, state, palette);
      return result;
    }
    case WM_CREATE: {
      const LRESULT result = zz::CallNextSubclass(hwnd, message, wparam, lparam);
      if (result != -1) GiveColours(hwnd, state, palette);
      return result;
    }
    default:
      break;
  }
  return zz::CallNextSubclass(hwnd, message, wparam, lparam);
}

// A combo box draws its edge and button on painting and again, at once, on
// clicks, focus and its list opening or closing: the flat look goes over
// each time.
LRESULT OnComboBox(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, const Palette& palette) {
  const LRESULT result = zz::CallNextSubclass(hwnd, message, wparam, lparam);
  if (RedrawsDropButton(message)) PaintComboFrame(hwnd, palette);
  return result;
}

LRESULT CALLBACK SkinProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR data) {
  auto& state = *reinterpret_cast<WindowState*>(data);
  if (message == WM_NCDESTROY) {
    zz::DetachSubclass(hwnd, SkinProc, kSubclassId);
    delete &state;
    return zz::CallNextSubclass(hwnd, message, wparam, lparam);
  }
  const auto palette = CurrentPalette();
  if (!palette) return zz::CallNextSubclass(hwnd, message, wparam, lparam);

  // Every skinned window may hold controls: the control colours and list
  // rows are answered whatever the window's own kind.
  if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC && wparam != 0) {
    return OnControlColour(hwnd, message, wparam, lparam, *palette);
  }
  if (message == WM_NOTIFY && lparam != 0) {
    const auto& header = *reinterpret_cast<const NMHDR*>(lparam);
    WindowState* list = header.code == NM_CUSTOMDRAW ? StateOf(header.hwndFrom) : nullptr;
    if (list && list->kind == WindowKind::ListView) return OnListCustomDraw(hwnd, wparam, lparam, *list, *palette);
  }

  switch (state.kind) {
    case WindowKind::ComboBox:
      return OnComboBox(hwnd, message, wparam, lparam, *palette);
    case WindowKind::Surface:
      return OnSurface(hwnd, message, wparam, lparam, state, *palette);
    case WindowKind::Edit:
    case WindowKind::ListBox:
    case WindowKind::ListView:
    case WindowKind::DatePicker:
    case WindowKind::Calendar:
    case WindowKind::Progress:
      return OnFramedControl(hwnd, message, wparam, lparam, state, *palette);
    case WindowKind::StatusBar:
      if ((message == WM_PAINT || message == WM_ERASEBKGND || message == WM_PRINTCLIENT) &&
          !PaintsItself(hwnd, state)) {
        break;
      }
      return OnPaintedControl(hwnd, message, wparam, lparam, state, *palette);
    default:
      return OnPaintedControl(hwnd, message, wparam, lparam, state, *palette);
  }
  return zz::CallNextSubclass(hwnd, message, wparam, lparam);
}

void SkinOne(HWND hwnd) {
  if (GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId()) return;
  wchar_t class_name[64] = {};
  if (!GetClassNameW(hwnd, class_name, 64)) return;
  const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
  SkinWindow(hwnd, ClassifyWindow(class_name, style), true);
}

BOOL CALLBACK SkinChild(HWND hwnd, LPARAM) {
  SkinOne(hwnd);
  return TRUE;
}

BOOL CALLBACK RefreshChild(HWND hwnd, LPARAM) {
  WindowState* state = StateOf(hwnd);
  auto palette = CurrentPalette();
  if (state && palette) GiveColours(hwnd, *state, *palette);
  return TRUE;
}

}  // namespace

WindowKind ClassifyWindow(const wchar_t* class_name, LONG style) {
  struct Named {
    const wchar_t* name;
    WindowKind kind;
  };
  static const Named kNamed[] = {
      {WC_EDITW, WindowKind::Edit},
      {WC_LISTBOXW, WindowKind::ListBox},
      {WC_LISTVIEWW, WindowKind::ListView},
      {WC_HEADERW, WindowKind::Header},
      {STATUSCLASSNAMEW, WindowKind::StatusBar},
      {DATETIMEPICK_CLASSW, WindowKind::DatePicker},
      {MONTHCAL_CLASSW, WindowKind::Calendar},
      {PROGRESS_CLASSW, WindowKind::Progress},
      // Controls that draw well with their parent's colours, and system
      // windows that are not the program's to skin.
      {WC_STATICW, WindowKind::None},
      {L"ComboLBox", WindowKind::None},
      {WC_SCROLLBARW, WindowKind::None},
      {TOOLTIPS_CLASSW, WindowKind::None},
      {UPDOWN_CLASSW, WindowKind::None},
      {WC_TABCONTROLW, WindowKind::None},
      {TOOLBARCLASSNAMEW, WindowKind::None},
      {REBARCLASSNAMEW, WindowKind::None},
      {TRACKBAR_CLASSW, WindowKind::None},
      {WC_TREEVIEWW, WindowKind::None},
      {L"#32768", WindowKind::None},
      {L"#32769", WindowKind::None},
      {L"IME", WindowKind::None},
      {L"MSCTFIME UI", WindowKind::None},
      {L"SysShadow", WindowKind::None},
  };
  if (class_name == nullptr) return WindowKind::None;
  if (Is(class_name, WC_BUTTONW)) return ClassifyButton(style);
  if (Is(class_name, WC_COMBOBOXW)) {
    return (style & 3) == CBS_SIMPLE ? WindowKind::None : WindowKind::ComboBox;
  }
  for (const Named& named : kNamed) {
    if (Is(class_name, named.name)) return named.kind;
  }
  return WindowKind::Surface;
}

void SkinWindow(HWND hwnd, WindowKind kind, bool created) {
  if (kind == WindowKind::None || StateOf(hwnd) != nullptr) return;
  auto* state = new WindowState(kind);
  if (!zz::AttachSubclass(hwnd, SkinProc, kSubclassId, reinterpret_cast<DWORD_PTR>(state))) {
    delete state;
    return;
  }
  if (created) {
    if (auto palette = CurrentPalette()) GiveColours(hwnd, *state, *palette);
  }
}

void SkinExistingTree(HWND hwnd) {
  SkinOne(hwnd);
  EnumChildWindows(hwnd, SkinChild, 0);
}

void RefreshTree(HWND hwnd) {
  RefreshChild(hwnd, 0);
  EnumChildWindows(hwnd, RefreshChild, 0);
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void ApplyFrameSetting(HWND hwnd) {
  const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
  if ((style & WS_CHILD) || (style & WS_CAPTION) != WS_CAPTION) return;
  if (auto palette = CurrentPalette()) {
    ApplyDesktopFrame(hwnd, GlassWanted(), palette->Color(Colour::Caption), palette->Color(Colour::CaptionText),
                      palette->Color(Colour::Frame));
  }
}

}  // namespace zz::skin
