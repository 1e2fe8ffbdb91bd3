#include "runtime_window.h"

#include <commctrl.h>

#include <vector>

#include "gbk_text.h"
#include "loader.h"
#include "open_file_dialog.h"
#include "runtime_messages.h"
#include "window_subclass.h"

namespace rt {
namespace {

constexpr UINT kFirstMenuId = 40000;
constexpr UINT_PTR kFirstTimerId = 1000;
constexpr int kFirstControlId = 100;
const wchar_t kWindowClass[] = L"ZzRuntimeWindow";

std::string ControlText(HWND control) {
  int n = GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  GetWindowTextW(control, text.data(), n + 1);
  text.resize(static_cast<size_t>(n));
  return zz::WideToGbk(text);
}

struct ControlClass {
  const wchar_t* name;
  DWORD style;
  DWORD ex_style;
};

ControlClass ClassFor(UnitKind kind) {
  switch (kind) {
    case UnitKind::TransparentLabel:
    case UnitKind::Label: return {L"STATIC", SS_NOTIFY | SS_LEFT, 0};
    case UnitKind::Edit: return {L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case UnitKind::MultiLineEdit:
      return {L"EDIT", ES_MULTILINE | ES_READONLY | WS_VSCROLL | ES_AUTOVSCROLL, WS_EX_CLIENTEDGE};
    case UnitKind::DateBox: return {DATETIMEPICK_CLASSW, DTS_SHORTDATEFORMAT | WS_TABSTOP, 0};
    case UnitKind::Button: return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case UnitKind::CheckBox: return {L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0};
    case UnitKind::PushCheckBox: return {L"BUTTON", BS_AUTOCHECKBOX | BS_PUSHLIKE | WS_TABSTOP, 0};
    case UnitKind::RadioButton: return {L"BUTTON", BS_AUTORADIOBUTTON | WS_TABSTOP, 0};
    case UnitKind::GroupBox: return {L"BUTTON", BS_GROUPBOX, 0};
    case UnitKind::ComboBox: return {L"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 0};
    case UnitKind::ListView:
      return {WC_LISTVIEWW, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case UnitKind::StatusBar: return {STATUSCLASSNAMEW, 0, 0};
    case UnitKind::Canvas: return {L"STATIC", SS_OWNERDRAW | SS_NOTIFY, 0};
    default: return {nullptr, 0, 0};
  }
}

SYSTEMTIME ToSystemTime(const zz::DateTime& d) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(d.year);
  st.wMonth = static_cast<WORD>(d.month);
  st.wDay = static_cast<WORD>(d.day);
  st.wHour = static_cast<WORD>(d.hour);
  st.wMinute = static_cast<WORD>(d.minute);
  st.wSecond = static_cast<WORD>(d.second);
  return st;
}

zz::DateTime FromSystemTime(const SYSTEMTIME& st) {
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

LRESULT CALLBACK RuntimeWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Shows a canvas's pixels; the model holds them as COLORREFs, a DIB wants
// blue in the low byte.
void PaintCanvas(HDC dc, const PixelCanvas& canvas) {
  int w = canvas.width(), h = canvas.height();
  if (w == 0 || h == 0) return;
  std::vector<DWORD> bits(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      Colour c = canvas.At(x, y);
      bits[static_cast<size_t>(y) * w + x] = RGB(GetBValue(c), GetGValue(c), GetRValue(c));
    }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;  // top-down, as the model keeps them
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0,
                    static_cast<UINT>(h), bits.data(), &info, DIB_RGB_COLORS);
}

void RegisterWindowClass() {
  static bool done = false;
  if (done) return;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_DATE_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES |
                                           ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &RuntimeWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(107));
  wc.lpszClassName = kWindowClass;
  RegisterClassExW(&wc);
  done = true;
}

DWORD StyleFor(Border border) {
  switch (border) {
    // No WS_CLIPCHILDREN: a group box does not paint its inside, the
    // window beneath it must.
    case Border::Dialog: return WS_POPUP | WS_CAPTION | WS_SYSMENU;
    case Border::Fixed: return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    case Border::None: return WS_POPUP;
    case Border::Normal: break;
  }
  return WS_OVERLAPPEDWINDOW;
}

}  // namespace

RuntimeWindow::RuntimeWindow(const WindowTemplate& t) : model_(t) {
  model_.mirror = [this](UnitState& unit, Property what) { Mirror(unit, what); };
  model_.show_dialog = [this](UnitState& unit) {
    return unit.kind == UnitKind::OpenFileDialog && ShowOpenFileDialog(hwnd_, unit);
  };
}

RuntimeWindow::~RuntimeWindow() {
  Destroy();
  for (auto& b : brushes_) DeleteObject(b.second);
}

HWND RuntimeWindow::Control(const std::string& unit) const {
  auto it = controls_.find(unit);
  return it == controls_.end() ? nullptr : it->second;
}

bool RuntimeWindow::Create(HWND owner) {
  RegisterWindowClass();
  const WindowTemplate& t = model_.window_template();
  CreateWindowExW(0, kWindowClass, zz::GbkToWide(t.caption).c_str(), StyleFor(t.border), t.left, t.top,
                  t.width, t.height, owner, nullptr, GetModuleHandleW(nullptr), this);
  if (!hwnd_) return false;
  BuildMenus();
  int index = 0;
  for (const UnitState& u : model_.units()) CreateControl(*model_.Find(u.name), index++);
  ShowWindow(hwnd_, SW_SHOW);
  UpdateWindow(hwnd_);
  Loader::Instance().Register(this);
  return true;
}

void RuntimeWindow::Close() {
  if (hwnd_) SendMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void RuntimeWindow::Destroy() {
  if (hwnd_) DestroyWindow(hwnd_);
}

POINT RuntimeWindow::Origin(const UnitState& unit) {
  POINT p{unit.left, unit.top};
  // Units of a group box sit at offsets from it, but are children of the
  // window so that their messages reach the window's handlers.
  if (!unit.parent.empty())
    if (UnitState* group = model_.Find(unit.parent)) {
      POINT g = Origin(*group);
      p.x += g.x;
      p.y += g.y;
    }
  return p;
}

void RuntimeWindow::CreateControl(UnitState& unit, int index) {
  if (unit.kind == UnitKind::Timer) {
    UINT_PTR id = kFirstTimerId + static_cast<UINT_PTR>(index);
    timers_[id] = unit.name;
    if (unit.interval > 0) SetTimer(hwnd_, id, static_cast<UINT>(unit.interval), nullptr);
    return;
  }
  ControlClass cls = ClassFor(unit.kind);
  if (!cls.name) return;
  POINT at = Origin(unit);
  DWORD style = WS_CHILD | cls.style | (unit.visible ? WS_VISIBLE : 0) | (unit.disabled ? WS_DISABLED : 0);
  int height = unit.kind == UnitKind::ComboBox ? unit.height + 200 : unit.height;
  HWND control = CreateWindowExW(cls.ex_style, cls.name, zz::GbkToWide(unit.text).c_str(), style, at.x, at.y,
                                 unit.width, height, hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + index)),
                                 GetModuleHandleW(nullptr), nullptr);
  if (!control) return;
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  controls_[unit.name] = control;
  names_[control] = unit.name;
  if (unit.kind == UnitKind::ListView)
    SendMessageW(control, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  if (unit.kind == UnitKind::DateBox) {
    SYSTEMTIME st;
    GetLocalTime(&st);
    unit.date = FromSystemTime(st);
  }
  zz::AttachSubclass(control, &RuntimeWindow::ControlProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

void RuntimeWindow::BuildMenus() {
  const auto& menus = model_.window_template().menus;
  if (menus.empty()) return;
  UINT next = kFirstMenuId;
  menu_bar_ = CreateMenu();
  for (const MenuItemTemplate& top : menus) {
    HMENU sub = CreatePopupMenu();
    for (const MenuItemTemplate& item : top.items) {
      menu_ids_[next] = item.caption;
      menu_by_caption_[item.caption] = next;
      AppendMenuW(sub, MF_STRING, next++, zz::GbkToWide(item.caption).c_str());
    }
    if (top.items.empty()) {
      // A top-level item without entries is itself the command.
      menu_ids_[next] = top.caption;
      menu_by_caption_[top.caption] = next;
      if (!top.hidden) AppendMenuW(menu_bar_, MF_STRING, next, zz::GbkToWide(top.caption).c_str());
      ++next;
      DestroyMenu(sub);
      continue;
    }
    if (top.hidden) {
      popups_[top.caption] = sub;
    } else {
      AppendMenuW(menu_bar_, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), zz::GbkToWide(top.caption).c_str());
    }
  }
  SetMenu(hwnd_, menu_bar_);
}

void RuntimeWindow::PopupMenu(const std::string& caption) {
  auto it = popups_.find(caption);
  if (it == popups_.end() || !hwnd_) return;
  POINT p;
  GetCursorPos(&p);
  TrackPopupMenu(it->second, TPM_LEFTALIGN | TPM_RIGHTBUTTON, p.x, p.y, 0, hwnd_, nullptr);
}

UnitState* RuntimeWindow::UnitOf(HWND control) {
  auto it = names_.find(control);
  return it == names_.end() ? nullptr : model_.Find(it->second);
}

namespace {
LRESULT CALLBACK RuntimeWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return RuntimeWindow::WindowProc(hwnd, msg, wp, lp);
}
}  // namespace

LRESULT CALLBACK RuntimeWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* created = reinterpret_cast<RuntimeWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    created->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* self = reinterpret_cast<RuntimeWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  return self->Handle(msg, wp, lp);
}

LRESULT RuntimeWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      OnCommand(wp, lp);
      return 0;
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<const NMHDR*>(lp));
    case WM_DRAWITEM:
      OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      return TRUE;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return OnControlColour(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp), msg);
    case WM_TIMER: {
      auto it = timers_.find(wp);
      if (it != timers_.end()) model_.Raise({it->second, Event::TimerTick});
      return 0;
    }
    case WM_LBUTTONUP:
      model_.Raise({"", Event::LeftButtonUp});
      return 0;
    case WM_RBUTTONDOWN:
      model_.Raise({"", Event::RightButtonDown});
      return 0;
    case WM_CLOSE:
      model_.Raise({"", Event::Closing});
      DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case kMsgResumeListDrawing:
      ResumeListDrawing();
      return 0;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

void RuntimeWindow::OnCommand(WPARAM wp, LPARAM lp) {
  HWND control = reinterpret_cast<HWND>(lp);
  if (!control) {
    auto it = menu_ids_.find(LOWORD(wp));
    if (it != menu_ids_.end()) model_.RaiseMenu(it->second);
    return;
  }
  UnitState* unit = UnitOf(control);
  if (!unit || mirroring_) return;
  switch (HIWORD(wp)) {
    case BN_CLICKED:
    // STN_CLICKED of a label has the same code.
      if (unit->kind == UnitKind::CheckBox || unit->kind == UnitKind::PushCheckBox ||
          unit->kind == UnitKind::RadioButton)
        model_.UserChecked(unit->name, SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED);
      else
        model_.Raise({unit->name, Event::Click});
      break;
    case EN_CHANGE:
      model_.UserTyped(unit->name, ControlText(control));
      break;
    case CBN_SELCHANGE:
      model_.UserSelected(unit->name, static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0)));
      break;
    case CBN_EDITCHANGE:
      model_.UserTyped(unit->name, ControlText(control));
      break;
  }
}

LRESULT RuntimeWindow::OnNotify(const NMHDR* header) {
  UnitState* unit = UnitOf(header->hwndFrom);
  if (!unit || mirroring_) return 0;
  if (header->code == LVN_ITEMCHANGED) {
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    bool now = (change->uNewState & LVIS_SELECTED) != 0;
    bool before = (change->uOldState & LVIS_SELECTED) != 0;
    if ((change->uChanged & LVIF_STATE) && now && !before) model_.UserSelected(unit->name, change->iItem);
    if ((change->uChanged & LVIF_STATE) && !now && before) model_.UserSelected(unit->name, -1);
  } else if (header->code == DTN_DATETIMECHANGE) {
    const auto* change = reinterpret_cast<const NMDATETIMECHANGE*>(header);
    if (change->dwFlags == GDT_VALID) model_.UserPickedDate(unit->name, FromSystemTime(change->st));
  }
  return 0;
}

void RuntimeWindow::OnDrawItem(const DRAWITEMSTRUCT* item) {
  UnitState* unit = UnitOf(item->hwndItem);
  if (unit && unit->kind == UnitKind::Canvas) PaintCanvas(item->hDC, unit->canvas);
}

LRESULT RuntimeWindow::OnControlColour(HDC dc, HWND control, UINT msg) {
  UnitState* unit = UnitOf(control);
  if (!unit) return DefWindowProcW(hwnd_, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
  if (unit->foreground != kNoColour) SetTextColor(dc, unit->foreground);
  if (unit->kind == UnitKind::TransparentLabel || unit->kind == UnitKind::GroupBox) {
    // A static control does not erase under a null brush: paint the
    // window's own face, on which the text then stands.
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  }
  if (unit->background == kNoColour) {
    // The default answer sets the system's text colour: a unit's own goes
    // on top of it.
    LRESULT brush = DefWindowProcW(hwnd_, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    if (unit->foreground != kNoColour) SetTextColor(dc, unit->foreground);
    return brush;
  }
  SetBkColor(dc, unit->background);
  HBRUSH& brush = brushes_[unit->background];
  if (!brush) brush = CreateSolidBrush(unit->background);
  return reinterpret_cast<LRESULT>(brush);
}

LRESULT CALLBACK RuntimeWindow::ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                            DWORD_PTR self_ptr) {
  auto* self = reinterpret_cast<RuntimeWindow*>(self_ptr);
  if (msg == WM_RBUTTONDOWN) {
    // The unit takes the press first (a list selects the row under the
    // mouse), then the event runs, once: a list view's own NM_RCLICK, which
    // reports the same press, is not raised again.
    LRESULT result = zz::CallNextSubclass(hwnd, msg, wp, lp);
    if (UnitState* unit = self->UnitOf(hwnd)) self->model_.Raise({unit->name, Event::RightButtonDown});
    return result;
  }
  if (UnitState* unit = self->UnitOf(hwnd)) {
    if (msg != WM_NCDESTROY && self->OnControlMouseOrKey(*unit, msg, wp)) return 0;
  }
  return zz::CallNextSubclass(hwnd, msg, wp, lp);
}

bool RuntimeWindow::OnControlMouseOrKey(UnitState& unit, UINT msg, WPARAM wp) {
  std::string name = unit.name;  // the handler may change the model
  switch (msg) {
    case WM_KEYDOWN: {
      EventArgs args{name, Event::KeyDown};
      args.key = static_cast<int>(wp);
      model_.Raise(args);
      return false;
    }
    case WM_LBUTTONDOWN:
      model_.Raise({name, Event::LeftButtonDown});
      return false;
    case WM_LBUTTONUP:
      model_.Raise({name, Event::LeftButtonUp});
      return false;
  }
  return false;
}

void RuntimeWindow::OnDestroy() {
  for (auto& t : timers_) KillTimer(hwnd_, t.first);
  for (auto& p : popups_) DestroyMenu(p.second);
  popups_.clear();
  controls_.clear();
  names_.clear();
  HWND gone = hwnd_;
  hwnd_ = nullptr;
  SetWindowLongPtrW(gone, GWLP_USERDATA, 0);
  Loader::Instance().Unregister(this);
}

void RuntimeWindow::Mirror(UnitState& unit, Property what) {
  if (!hwnd_) return;
  if (what == Property::MenuItem) {
    auto it = menu_by_caption_.find(unit.name);
    if (it != menu_by_caption_.end() && menu_bar_) {
      EnableMenuItem(menu_bar_, it->second, MF_BYCOMMAND | (unit.disabled ? MF_GRAYED : MF_ENABLED));
      for (auto& p : popups_)
        EnableMenuItem(p.second, it->second, MF_BYCOMMAND | (unit.disabled ? MF_GRAYED : MF_ENABLED));
      DrawMenuBar(hwnd_);
    }
    return;
  }
  HWND target = unit.name.empty() ? hwnd_ : Control(unit.name);
  if (!target) {
    if (unit.kind == UnitKind::Timer && what == Property::Interval) {
      for (auto& t : timers_)
        if (t.second == unit.name) {
          KillTimer(hwnd_, t.first);
          if (unit.interval > 0) SetTimer(hwnd_, t.first, static_cast<UINT>(unit.interval), nullptr);
        }
    }
    return;
  }
  ++mirroring_;
  switch (what) {
    case Property::Text:
      SetWindowTextW(target, zz::GbkToWide(unit.text).c_str());
      break;
    case Property::Geometry: {
      POINT at = unit.name.empty() ? POINT{unit.left, unit.top} : Origin(unit);
      MoveWindow(target, at.x, at.y, unit.width, unit.height, TRUE);
      break;
    }
    case Property::Visible:
      ShowWindow(target, unit.visible ? SW_SHOW : SW_HIDE);
      break;
    case Property::Disabled:
      EnableWindow(target, !unit.disabled);
      break;
    case Property::Colours:
      InvalidateRect(target, nullptr, TRUE);
      break;
    case Property::Pixels:
      InvalidateRect(target, nullptr, FALSE);
      break;
    case Property::Checked:
      SendMessageW(target, BM_SETCHECK, unit.checked ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    case Property::Date: {
      SYSTEMTIME st = ToSystemTime(unit.date);
      SendMessageW(target, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
      break;
    }
    case Property::Selection:
      if (unit.kind == UnitKind::ComboBox) {
        SendMessageW(target, CB_SETCURSEL, static_cast<WPARAM>(unit.selection), 0);
      } else if (unit.kind == UnitKind::ListView) {
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(target, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
        if (unit.selection >= 0) {
          item.state = LVIS_SELECTED | LVIS_FOCUSED;
          SendMessageW(target, LVM_SETITEMSTATE, static_cast<WPARAM>(unit.selection),
                       reinterpret_cast<LPARAM>(&item));
        }
      }
      break;
    case Property::Entries:
      SendMessageW(target, CB_RESETCONTENT, 0, 0);
      for (const std::string& e : unit.entries)
        SendMessageW(target, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(zz::GbkToWide(e).c_str()));
      break;
    case Property::Columns: {
      // Columns are only ever added: insert the newest.
      int i = static_cast<int>(unit.columns.size()) - 1;
      std::wstring title = zz::GbkToWide(unit.columns[i].title);
      LVCOLUMNW col{};
      col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
      col.fmt = unit.columns[i].centred ? LVCFMT_CENTER : LVCFMT_LEFT;
      col.cx = unit.columns[i].width;
      col.pszText = title.data();
      SendMessageW(target, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&col));
      break;
    }
    case Property::Rows:
    case Property::RowAdded:
    case Property::CellText:
      MirrorRows(unit, target, what);
      break;
    case Property::Panels:
      MirrorPanels(unit, target);
      break;
    case Property::Interval:
    case Property::MenuItem:
      break;
  }
  --mirroring_;
}

void RuntimeWindow::HoldListDrawing(HWND list) {
  // A visible list repaints on every row and cell it is given, which makes a
  // fill of thousands of rows take minutes; the changes of one handler are
  // drawn together once it has returned to the message loop.
  if (!held_lists_.insert(list).second) return;
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  if (held_lists_.size() == 1) PostMessageW(hwnd_, kMsgResumeListDrawing, 0, 0);
}

void RuntimeWindow::ResumeListDrawing() {
  for (HWND list : held_lists_) {
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
  }
  held_lists_.clear();
}

void RuntimeWindow::MirrorRows(UnitState& unit, HWND list, Property what) {
  // One message per change: filling a list of thousands of rows stays
  // linear.
  HoldListDrawing(list);
  if (what == Property::Rows) {
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    for (int r = 0; r < static_cast<int>(unit.rows.size()); ++r) {
      unit.changed_row = r;
      MirrorRows(unit, list, Property::RowAdded);
    }
    return;
  }
  int r = unit.changed_row;
  if (r < 0 || r >= static_cast<int>(unit.rows.size())) return;
  const ListRow& row = unit.rows[r];
  if (what == Property::RowAdded) {
    std::wstring text = zz::GbkToWide(row.cells.empty() ? std::string() : row.cells[0]);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = r;
    item.pszText = text.data();
    item.lParam = static_cast<LPARAM>(row.data);
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    for (int c = 1; c < static_cast<int>(row.cells.size()); ++c)
      if (!row.cells[c].empty()) {
        unit.changed_column = c;
        MirrorRows(unit, list, Property::CellText);
      }
    return;
  }
  int c = unit.changed_column;
  if (c < 0 || c >= static_cast<int>(row.cells.size())) return;
  std::wstring text = zz::GbkToWide(row.cells[c]);
  LVITEMW item{};
  item.iSubItem = c;
  item.pszText = text.data();
  SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(&item));
}

void RuntimeWindow::MirrorPanels(UnitState& unit, HWND bar) {
  std::vector<int> edges;
  int right = 0;
  for (const StatusPanel& p : unit.panels) {
    right += p.width;
    edges.push_back(p.width < 0 ? -1 : right);
  }
  SendMessageW(bar, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  for (std::size_t i = 0; i < unit.panels.size(); ++i)
    SendMessageW(bar, SB_SETTEXTW, i, reinterpret_cast<LPARAM>(zz::GbkToWide(unit.panels[i].text).c_str()));
}

}  // namespace rt
