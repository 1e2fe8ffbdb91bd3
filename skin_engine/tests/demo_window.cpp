#include "demo_window.h"

#include <commctrl.h>

namespace zz::skin {
namespace {

constexpr wchar_t kClassName[] = L"ZzSkinDemoWindow";

LRESULT CALLBACK DemoProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CLOSE) {
    DestroyWindow(hwnd);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

bool RegisterDemoClass() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DemoProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  return RegisterClassExW(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HMENU DemoMenu() {
  HMENU bar = CreateMenu();
  const wchar_t* const menus[][2] = {{L"&G用户", L"&U用户管理"}, {L"&S系统维护", L"&D数据备份"},
                                     {L"&H帮助", L"&A关于"}};
  UINT id = 100;
  for (const auto& menu : menus) {
    HMENU popup = CreatePopupMenu();
    AppendMenuW(popup, MF_STRING, id++, menu[1]);
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), menu[0]);
  }
  AppendMenuW(bar, MF_STRING, id, L"退出系统");
  return bar;
}

HWND Child(const DemoWindow& demo, HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style,
           DWORD ex_style, int x, int y, int w, int h) {
  HWND hwnd = CreateWindowExW(ex_style, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  if (hwnd) SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(demo.font), FALSE);
  return hwnd;
}

void FillList(HWND list) {
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
  const wchar_t* const columns[] = {L"日期", L"挂号", L"B超", L"治疗", L"医疗合计", L"药品合计"};
  const int widths[] = {150, 80, 80, 80, 100, 100};
  for (int i = 0; i < 6; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = i == 0 ? LVCFMT_LEFT : LVCFMT_RIGHT;
    column.cx = widths[i];
    column.pszText = const_cast<wchar_t*>(columns[i]);
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
  }
  const wchar_t* const rows[][6] = {
      {L"2026年12月1日", L"120", L"85.5", L"40", L"245.5", L"310"},
      {L"2026年12月2日", L"96", L"60", L"35", L"191", L"288.2"},
      {L"2026年12月3日", L"132", L"90", L"52", L"274", L"356"},
      {L"2026年12月4日", L"88", L"45", L"20", L"153", L"201.5"},
      {L"2026年12月5日", L"140", L"110", L"61", L"311", L"402"},
  };
  for (int r = 0; r < 5; ++r) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = r;
    item.pszText = const_cast<wchar_t*>(rows[r][0]);
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    for (int c = 1; c < 6; ++c) {
      item.iSubItem = c;
      item.pszText = const_cast<wchar_t*>(rows[r][c]);
      SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(&item));
    }
  }
}

}  // namespace

bool CreateDemoWindow(const wchar_t* caption, int left, int top, DemoWindow* demo) {
  INITCOMMONCONTROLSEX init{sizeof init, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_DATE_CLASSES};
  InitCommonControlsEx(&init);
  if (!RegisterDemoClass()) return false;
  demo->font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"宋体");
  HWND w = CreateWindowExW(0, kClassName, caption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, left, top, 720, 470,
                           nullptr, DemoMenu(), GetModuleHandleW(nullptr), nullptr);
  if (!w) return false;
  demo->window = w;
  SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(demo->font), FALSE);

  demo->label = Child(*demo, w, WC_STATICW, L"日  期：", SS_LEFT, 0, 12, 16, 60, 20);
  demo->date = Child(*demo, w, DATETIMEPICK_CLASSW, L"", DTS_SHORTDATEFORMAT, WS_EX_CLIENTEDGE, 72, 12, 128, 24);
  Child(*demo, w, WC_STATICW, L"挂号：", SS_LEFT, 0, 216, 16, 40, 20);
  demo->edit = Child(*demo, w, WC_EDITW, L"120", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 256, 12, 90, 24);
  Child(*demo, w, WC_STATICW, L"B 超：", SS_LEFT, 0, 362, 16, 40, 20);
  Child(*demo, w, WC_EDITW, L"85.5", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 402, 12, 90, 24);
  Child(*demo, w, WC_STATICW, L"用户：", SS_LEFT, 0, 508, 16, 40, 20);
  HWND users = demo->combo = Child(*demo, w, WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL, 0, 548, 12, 120, 120);
  if (users) {
    SendMessageW(users, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"admin"));
    SendMessageW(users, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"收费员"));
    SendMessageW(users, CB_SETCURSEL, 0, 0);
  }

  demo->group = Child(*demo, w, WC_BUTTONW, L"收入合计", BS_GROUPBOX, 0, 10, 46, 684, 58);
  Child(*demo, w, WC_STATICW, L"医疗合计：", SS_LEFT, 0, 24, 72, 72, 20);
  demo->total = Child(*demo, w, WC_EDITW, L"205.5", ES_READONLY, WS_EX_CLIENTEDGE, 98, 68, 110, 24);
  Child(*demo, w, WC_STATICW, L"药品合计：", SS_LEFT, 0, 228, 72, 72, 20);
  Child(*demo, w, WC_EDITW, L"310", ES_READONLY, WS_EX_CLIENTEDGE, 302, 68, 110, 24);
  Child(*demo, w, WC_STATICW, L"医疗+药品合计：515.5", SS_LEFT, 0, 432, 72, 200, 20);

  demo->button = Child(*demo, w, WC_BUTTONW, L"增  加", BS_PUSHBUTTON | WS_TABSTOP, 0, 10, 114, 96, 30);
  Child(*demo, w, WC_BUTTONW, L"修  改", BS_PUSHBUTTON | WS_TABSTOP, 0, 114, 114, 96, 30);
  Child(*demo, w, WC_BUTTONW, L"打印五日报表", BS_PUSHBUTTON | WS_TABSTOP, 0, 218, 114, 110, 30);
  demo->check = Child(*demo, w, WC_BUTTONW, L"选择日期>>>", BS_AUTOCHECKBOX | WS_TABSTOP, 0, 344, 114, 110, 30);
  SendMessageW(demo->check, BM_SETCHECK, BST_CHECKED, 0);
  Child(*demo, w, WC_BUTTONW, L"按月结算", BS_AUTORADIOBUTTON | WS_TABSTOP, 0, 466, 114, 96, 30);

  demo->list = Child(*demo, w, WC_LISTVIEWW, L"", LVS_REPORT | LVS_SHOWSELALWAYS, WS_EX_CLIENTEDGE, 0, 152,
                     704, 230);
  demo->status = Child(*demo, w, STATUSCLASSNAMEW, L"", SBARS_SIZEGRIP, 0, 0, 0, 0, 0);
  if (!demo->label || !demo->date || !demo->edit || !demo->combo || !demo->group || !demo->total || !demo->button || !demo->check ||
      !demo->list || !demo->status) {
    return false;
  }
  FillList(demo->list);
  const int parts[] = {140, 320, 590, -1};
  SendMessageW(demo->status, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(parts));
  SendMessageW(demo->status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"当前用户：admin"));
  SendMessageW(demo->status, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L"用户单位：城南卫生院"));
  SendMessageW(demo->status, SB_SETTEXTW, 2, reinterpret_cast<LPARAM>(L"当前系统时间：2026年12月9日10时5分"));
  SendMessageW(demo->status, SB_SETTEXTW, 3, reinterpret_cast<LPARAM>(L"祝您工作顺利！"));

  ShowWindow(w, SW_SHOW);
  UpdateWindow(w);
  return true;
}

void DestroyDemoWindow(DemoWindow* demo) {
  if (demo->window) DestroyWindow(demo->window);
  if (demo->font) DeleteObject(demo->font);
  *demo = DemoWindow{};
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace zz::skin
