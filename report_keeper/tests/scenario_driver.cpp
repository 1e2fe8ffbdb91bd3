// Drives the real Zuzaror.exe from outside, as a user would: finds its
// windows by caption, reads their texts through Win32, and clicks through
// messages. Exit code: 1 when any check failed, 0 otherwise.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "database_connection.h"
#include "gbk_text.h"

namespace {

int g_failures = 0;
// Set when a printer is there: the reports are then previewed and printed.
bool g_print = false;

std::wstring W(const char* gbk) {
  std::u16string w = zz::GbkToUtf16(gbk);
  return std::wstring(w.begin(), w.end());
}

std::string Narrow(const std::wstring& w) {
  return zz::GbkToUtf8(zz::Utf16ToGbk(std::u16string(w.begin(), w.end())));
}

// Whether any check failed: a count would reach the shell modulo 256.
int ExitCode() { return g_failures > 0 ? 1 : 0; }

void Check(bool ok, const char* what) {
  std::printf("%s: %s\n", ok ? "ok  " : "FAIL", zz::GbkToUtf8(what).c_str());
  if (!ok) ++g_failures;
}

std::wstring TextOf(HWND h) {
  wchar_t buf[512] = {};
  SendMessageTimeoutW(h, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, nullptr);
  return buf;
}

HWND WaitWindow(const wchar_t* cls, const std::wstring& caption, int ms = 15000) {
  for (int waited = 0; waited < ms; waited += 50) {
    HWND h = FindWindowW(cls, caption.c_str());
    if (h && IsWindowVisible(h)) return h;
    Sleep(50);
  }
  return nullptr;
}

// Waits for a message box with this text, then presses its button.
bool AnswerBox(const char* caption, const char* text, int button = IDOK) {
  HWND box = WaitWindow(L"#32770", W(caption));
  if (!box) return false;
  std::wstring shown = TextOf(GetDlgItem(box, 0xFFFF));
  bool ok = shown == W(text);
  if (!ok) std::printf("  box says: %s\n", Narrow(shown).c_str());
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(20);
  return ok;
}

struct Program {
  PROCESS_INFORMATION pi{};
  bool Start(const std::wstring& exe) {
    STARTUPINFOW si{sizeof si};
    std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
    return CreateProcessW(exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi);
  }
  bool Ended(DWORD ms, DWORD* code) {
    if (WaitForSingleObject(pi.hProcess, ms) != WAIT_OBJECT_0) return false;
    GetExitCodeProcess(pi.hProcess, code);
    return true;
  }
  ~Program() {
    if (pi.hProcess) {
      TerminateProcess(pi.hProcess, 1);
      CloseHandle(pi.hProcess);
      CloseHandle(pi.hThread);
    }
  }
};

// The text of one status-bar panel of another process: the bar writes it
// into memory lent in that process.
std::wstring PanelText(const Program& p, HWND bar, int panel) {
  constexpr SIZE_T kChars = 256;
  void* remote = VirtualAllocEx(p.pi.hProcess, nullptr, kChars * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE);
  if (!remote) return L"";
  wchar_t text[kChars] = {};
  DWORD_PTR length = 0;
  if (SendMessageTimeoutW(bar, SB_GETTEXTLENGTHW, panel, 0, SMTO_ABORTIFHUNG, 2000, &length) &&
      LOWORD(length) < kChars &&
      SendMessageTimeoutW(bar, SB_GETTEXTW, panel, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 2000,
                          nullptr))
    ReadProcessMemory(p.pi.hProcess, remote, text, sizeof text - sizeof(wchar_t), nullptr);
  VirtualFreeEx(p.pi.hProcess, remote, 0, MEM_RELEASE);
  return text;
}

// The text of one list-view cell of another process: the item record and
// the text it points to both live in memory lent in that process.
std::wstring ItemText(const Program& p, HWND list, int row, int column) {
  constexpr SIZE_T kChars = 256;
  char* remote = static_cast<char*>(
      VirtualAllocEx(p.pi.hProcess, nullptr, sizeof(LVITEMW) + kChars * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE));
  if (!remote) return L"";
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
  item.cchTextMax = kChars;
  wchar_t text[kChars] = {};
  if (WriteProcessMemory(p.pi.hProcess, remote, &item, sizeof item, nullptr) &&
      SendMessageTimeoutW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 2000,
                          nullptr))
    ReadProcessMemory(p.pi.hProcess, remote + sizeof(LVITEMW), text, sizeof text - sizeof(wchar_t), nullptr);
  VirtualFreeEx(p.pi.hProcess, remote, 0, MEM_RELEASE);
  return text;
}

// Asks the script to photograph the screen as <name>.png and waits until
// it has.
void Photograph(const std::wstring& folder, const char* name) {
  Sleep(400);  // let the last change paint
  const std::wstring request = folder + L"\\shot";
  HANDLE file = CreateFileW(request.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, name, static_cast<DWORD>(std::strlen(name)), &written, nullptr);
  CloseHandle(file);
  for (int i = 0; i < 300 && GetFileAttributesW(request.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) Sleep(50);
}

// Control ids follow the order of the window's units, from 100.
HWND Unit(HWND window, int index) { return GetDlgItem(window, 100 + index); }

// Selects the first row of a list view from the keyboard, as a user would
// with the Home key.
void SelectFirstRow(HWND list) {
  PostMessageW(list, WM_KEYDOWN, VK_HOME, 0);
  PostMessageW(list, WM_KEYUP, VK_HOME, 0);
}

void ClickLabel(HWND label) { PostMessageW(label, WM_LBUTTONUP, 0, 0); }

void ChooseUser(HWND login, int entry) {
  HWND combo = Unit(login, 3);
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
  SendMessageW(login, WM_COMMAND, MAKEWPARAM(103, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void TypeUser(HWND login, const wchar_t* name) {
  HWND combo = Unit(login, 3);
  SetWindowTextW(combo, name);
  SendMessageW(login, WM_COMMAND, MAKEWPARAM(103, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(combo));
}

// Pixels of the label's text in a colour, read back from the screen.
int PixelsOf(HWND label, bool (*is)(COLORREF)) {
  RECT r{};
  GetWindowRect(label, &r);
  HDC screen = GetDC(nullptr);
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += is(GetPixel(screen, x, y)) ? 1 : 0;
  ReleaseDC(nullptr, screen);
  return n;
}
bool Red(COLORREF c) { return GetRValue(c) >= 200 && GetGValue(c) < 80 && GetBValue(c) < 80; }
bool Green(COLORREF c) { return GetGValue(c) >= 100 && GetRValue(c) < 60 && GetBValue(c) < 60; }

// Presses the right button on a window and counts the pop-up menus that
// open, closing each with Escape; the first is photographed when asked.
int PopupsAfterRightClick(HWND target, const std::wstring& folder = L"", const char* photo = nullptr) {
  PostMessageW(target, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 20));
  PostMessageW(target, WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
  int opened = 0;
  for (int waited = 0; waited < 1500; waited += 50) {
    HWND menu = FindWindowW(L"#32768", nullptr);
    if (!menu || !IsWindowVisible(menu)) {
      Sleep(50);
      continue;
    }
    if (++opened == 1 && photo) Photograph(folder, photo);
    waited = 0;
    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    for (int i = 0; i < 40 && IsWindow(menu) && IsWindowVisible(menu); ++i) Sleep(50);
  }
  return opened;
}

// The main window shows before the log-in, so it is ready only once its
// status bar, filled last after the rights, names the user; the pause lets
// the panels after the first be filled too. Whether it came to name them.
bool WaitUntilNamed(HWND main, const std::wstring& name, int wait_ms = 30000) {
  HWND bar = FindWindowExW(main, nullptr, L"msctls_statusbar32", nullptr);
  const std::wstring named = W("当前用户：") + name;
  for (int waited = 0; waited < wait_ms && TextOf(bar) != named; waited += 50) Sleep(50);
  Sleep(200);
  return TextOf(bar) == named;
}

void MissingDatabase(const std::wstring& folder) {
  std::puts("-- a folder without ml.mdb");
  Program p;
  Check(p.Start(folder + L"\\Zuzaror.exe"), "program starts");
  Check(AnswerBox("信息：", "数据库文件可能丢失！请联系作者！"), "missing-file message");
  Check(AnswerBox("信息：", "无法连接数据库"), "no-connection message");
  DWORD code = 1;
  Check(p.Ended(10000, &code), "program ends");
}

void LogInAndAdd(const std::wstring& folder) {
  std::puts("-- log in and add a day");
  Program p;
  Check(p.Start(folder + L"\\Zuzaror.exe"), "program starts");
  HWND login = WaitWindow(nullptr, W("登陆系统"));
  Check(login != nullptr, "log-in window shows");
  if (!login) return;
  Photograph(folder, "zuzaror-login");

  HWND login_label = Unit(login, 6);
  PostMessageW(login_label, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  Sleep(400);
  Check(PixelsOf(login_label, Red) > 0, "the log-in label is red while pressed");
  ClickLabel(login_label);
  Check(AnswerBox("信息：", "请输入您的用户名！"), "empty name refused");
  Sleep(400);
  Check(PixelsOf(login_label, Green) > 0 && PixelsOf(login_label, Red) == 0, "and green once released");
  TypeUser(login, L"admin");
  ClickLabel(Unit(login, 6));
  Check(AnswerBox("信息：", "请输入您的密码！"), "empty password refused");
  TypeUser(login, W("x' or '1'='1").c_str());
  SetWindowTextW(Unit(login, 5), L"x");
  ClickLabel(Unit(login, 6));
  Check(AnswerBox("信息：", "此用户名不是本系统的用户,请重新输入……"), "injected name is just an unknown name");
  ChooseUser(login, 0);
  Check(TextOf(Unit(login, 5)) == L"246135", "choosing admin fills its password");
  SetWindowTextW(Unit(login, 5), L"wrong");
  ClickLabel(Unit(login, 6));
  Check(AnswerBox("信息：", "您输入的密码有误，请重新输入……"), "wrong password refused");
  Check(IsWindow(login) != FALSE, "log-in window stays");
  ChooseUser(login, 0);
  ClickLabel(Unit(login, 6));

  HWND main = WaitWindow(nullptr, L"Zuzaror");
  Check(main != nullptr, "main window shows");
  for (int i = 0; i < 100 && IsWindow(login); ++i) Sleep(50);
  Check(!IsWindow(login), "log-in window gone");
  Check(main && WaitUntilNamed(main, L"admin"), "status bar names the user");
  HWND bar = FindWindowExW(main, nullptr, L"msctls_statusbar32", nullptr);
  Check(PanelText(p, bar, 1) == W("您还没有设置使用单位的名称！"), "no unit name yet");
  const std::wstring clock = PanelText(p, bar, 2);
  std::wstring later = clock;
  for (int i = 0; i < 30 && later == clock; ++i) {
    Sleep(100);
    later = PanelText(p, bar, 2);
  }
  std::printf("  panel 2: %s, then %s\n", Narrow(clock).c_str(), Narrow(later).c_str());
  Check(later.rfind(W("当前系统时间："), 0) == 0, "panel 2 shows the time");
  Check(later != clock, "the clock ticks");

  SetWindowTextW(Unit(main, 3), L"0.1");   // 挂号
  SetWindowTextW(Unit(main, 5), L"0.2");   // B超
  SetWindowTextW(Unit(main, 7), L"12abc");  // 治疗: recomputes at once
  Check(TextOf(Unit(main, 30)) == L"12.3", "medical total shown as 12.3");
  PostMessageW(Unit(main, 37), BM_CLICK, 0, 0);
  Check(AnswerBox("警告", "治疗：请输入数字！"), "a figure that is no number is refused");
  SetWindowTextW(Unit(main, 7), L"\xFF11\xFF12");  // full-width 12
  PostMessageW(Unit(main, 37), BM_CLICK, 0, 0);
  Check(AnswerBox("成功", "Ok! 您的数据已经增加到了数据库中！"), "day added");
  PostMessageW(Unit(main, 37), BM_CLICK, 0, 0);
  Check(AnswerBox("警告", "不可以重复增加日期相同的数据。"), "same day refused");
  std::puts("-- load a row, modify it, search, delete");
  HWND list = Unit(main, 48);
  SelectFirstRow(list);
  Sleep(300);
  Check(TextOf(Unit(main, 3)) == L"0.1", "selecting the row loads its figures");
  SetWindowTextW(Unit(main, 3), L"5");
  PostMessageW(Unit(main, 38), BM_CLICK, 0, 0);
  Check(AnswerBox("成功", "Ok! 您的数据已经修改成功！"), "row modified");
  PostMessageW(Unit(main, 42), BM_CLICK, 0, 0);  // 选择日期>>>
  Sleep(300);
  Check(IsWindowVisible(Unit(main, 47)) != FALSE, "range controls shown");
  PostMessageW(Unit(main, 47), BM_CLICK, 0, 0);  // 查  找
  Check(AnswerBox("查询完毕", "本次查询共为您找到了  1  条记录！"), "range search counts one row");
  PostMessageW(Unit(main, 47), BM_CLICK, 0, 0);  // back to the period, quietly
  Sleep(300);

  Photograph(folder, "zuzaror-main");
  Check(PopupsAfterRightClick(list, folder, "zuzaror-list-menu") == 1,
        "a right click on the list opens its menu once");
  Check(PopupsAfterRightClick(main) == 1, "a right click on the entry area opens its menu once");
  SelectFirstRow(list);
  Sleep(300);
  PostMessageW(Unit(main, 39), BM_CLICK, 0, 0);
  Check(AnswerBox("成功", "Ok! 删除成功"), "row deleted");
  PostMessageW(Unit(main, 39), BM_CLICK, 0, 0);
  Check(AnswerBox("提示", "请您选择一条要进行删除的数据！"), "delete without a selection is refused");

  std::puts("-- switch to month-end settlement");
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(40002, 0), 0);  // 设置系统默认显示方式
  HWND mode = WaitWindow(nullptr, W("设置默认显示方式"));
  Check(mode != nullptr, "display-mode window shows");
  if (!mode) return;
  Check(SendMessageW(Unit(mode, 0), BM_GETCHECK, 0, 0) == BST_CHECKED, "25th mode is the current one");
  PostMessageW(Unit(mode, 1), BM_CLICK, 0, 0);
  Sleep(200);
  PostMessageW(Unit(mode, 2), BM_CLICK, 0, 0);
  Check(AnswerBox("成功", "设置成功，设置将在重新启动本系统后生效！"), "mode saved");
  DWORD code = 1;
  Check(p.Ended(10000, &code) && code == 0, "program ends with 0");
  HWND again = WaitWindow(nullptr, W("登陆系统"));
  Check(again != nullptr, "the program started again");
  if (again) PostMessageW(Unit(again, 8), BM_CLICK, 0, 0);  // × ends it
  for (int i = 0; i < 200 && again && IsWindow(again); ++i) Sleep(50);
  Check(!again || !IsWindow(again), "its × ends it");
}

// Logs in at the log-in window of a program that runs; its main window, or
// null.
HWND LogIn(const wchar_t* name, const wchar_t* password = L"246135", int wait_ms = 30000) {
  HWND login = WaitWindow(nullptr, W("登陆系统"), wait_ms);
  if (!login) return nullptr;
  TypeUser(login, name);
  SetWindowTextW(Unit(login, 5), password);
  ClickLabel(Unit(login, 6));
  HWND main = WaitWindow(nullptr, L"Zuzaror");
  if (main) WaitUntilNamed(main, name, wait_ms);
  return main;
}

// Starts the program of this folder and logs in; its main window, or null.
HWND StartAndLogIn(Program& p, const std::wstring& folder, const wchar_t* name,
                   const wchar_t* password = L"246135") {
  return p.Start(folder + L"\\Zuzaror.exe") ? LogIn(name, password) : nullptr;
}

// Waits for a window of this caption to be gone.
bool Gone(HWND window) {
  for (int i = 0; i < 150 && IsWindow(window); ++i) Sleep(20);
  return !IsWindow(window);
}

// Sends a message and waits until the window has handled it, or the time
// is up: a print runs inside the click of its button.
bool SendAndWait(HWND window, UINT msg, WPARAM wp = 0, UINT ms = 60000) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window, msg, wp, 0, SMTO_NORMAL, ms, &result) != 0;
}

// The visible top-level windows of the main window's thread besides it:
// any window or box a refused command would have opened.
int OtherWindowsOf(HWND main) {
  int n = 0;
  struct Count {
    HWND main;
    int* n;
  } count{main, &n};
  EnumThreadWindows(
      GetWindowThreadProcessId(main, nullptr),
      [](HWND w, LPARAM c) -> BOOL {
        auto* count = reinterpret_cast<Count*>(c);
        if (w != count->main && IsWindowVisible(w)) ++*count->n;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return n;
}

// Whether a unit lies at (x, y) of its window's client area with this size.
bool PlacedAt(HWND window, int index, int x, int y, int w, int h) {
  RECT r{};
  GetWindowRect(Unit(window, index), &r);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
  return r.left == x && r.top == y && r.right - r.left == w && r.bottom - r.top == h;
}

// The pop-up menu once it shows, or nothing within 3 s: a hidden menu
// window proves nothing, one may be left from earlier.
HWND ShownMenu() {
  for (int i = 0; i < 60; ++i, Sleep(50))
    if (HWND menu = FindWindowW(L"#32768", nullptr); menu && IsWindowVisible(menu)) return menu;
  return nullptr;
}

// Chooses a menu item from the keyboard, as Alt+<bar key> then <item key>;
// false when the menu did not show. The menu ends by itself once the item
// is chosen, even a disabled one.
bool ChooseFromKeyboard(HWND main, wchar_t bar_key, wchar_t item_key) {
  PostMessageW(main, WM_SYSCOMMAND, SC_KEYMENU, bar_key);
  HWND menu = ShownMenu();
  if (!menu) return false;
  PostMessageW(menu, WM_CHAR, item_key, 0);
  for (int i = 0; i < 40 && IsWindow(menu) && IsWindowVisible(menu); ++i) Sleep(50);
  return true;
}

// The four menu items a clerk has no right to: chosen from the keyboard,
// and their commands sent all the same, they open nothing.
void RefusedMenus(HWND main) {
  std::puts("-- the clerk's menus");
  const struct {
    wchar_t bar, item;
    UINT id;
  } governed[] = {{'g', 'u', 40000}, {'g', 'm', 40001}, {'s', 'd', 40003}, {'s', 'h', 40004}};
  bool opened = true;
  for (const auto& g : governed) opened = ChooseFromKeyboard(main, g.bar, g.item) && opened;
  Check(opened, "their menus open");
  Sleep(500);
  Check(OtherWindowsOf(main) == 0, "用户管理, 设置单位名称, 数据备份 and 数据恢复 chosen there open nothing");
  for (const auto& g : governed) PostMessageW(main, WM_COMMAND, MAKEWPARAM(g.id, 0), 0);
  Sleep(1000);
  Check(OtherWindowsOf(main) == 0, "nor do their commands");
}

// Opened from the keyboard as a user would: Alt+H, then A.
void AboutWindow(const std::wstring& folder, HWND main) {
  std::puts("-- the about window");
  Check(ChooseFromKeyboard(main, 'h', 'a'), "Alt+H opens the help menu");
  HWND about = WaitWindow(nullptr, W("关于"), 5000);
  Check(about != nullptr, "and A the about window");
  if (!about) return;
  for (int i = 0; i < 50 && IsWindowEnabled(main); ++i) Sleep(20);
  Check(!IsWindowEnabled(main), "modal over the main window");
  RECT r{};
  GetWindowRect(about, &r);
  std::printf("  about window: %ld x %ld\n", r.right - r.left, r.bottom - r.top);
  Check(r.right - r.left == 380 && r.bottom - r.top == 250, "380 x 250");
  Check(TextOf(Unit(about, 0)) == L"Zuzaror" && PlacedAt(about, 0, 34, 8, 216, 32), "the name on top");
  const std::wstring statement = TextOf(Unit(about, 1));
  Check(statement.find(L"\r\n") != std::wstring::npos && statement.find(L"\r\n") == statement.rfind(L"\r\n") &&
            PlacedAt(about, 1, 14, 48, 347, 40),
        "a statement in two lines below it");
  HWND notice = Unit(about, 2);
  const LONG style = GetWindowLongW(notice, GWL_STYLE);
  Check(!TextOf(notice).empty() && (style & ES_MULTILINE) && (style & ES_READONLY) &&
            PlacedAt(about, 2, 8, 120, 360, 72),
        "a read-only notice in a box of several lines");
  Check(TextOf(Unit(about, 3)) == W("确  认") && PlacedAt(about, 3, 288, 195, 72, 23), "and 确  认");
  Photograph(folder, "zuzaror-about");
  PostMessageW(Unit(about, 3), BM_CLICK, 0, 0);
  Check(Gone(about), "确  认 closes it");
  for (int i = 0; i < 50 && !IsWindowEnabled(main); ++i) Sleep(20);
  Check(IsWindowEnabled(main) != FALSE, "and gives the main window back");
}

// 全部清空重写 of the entry area's pop-up menu, chosen from the keyboard.
void ClearAll(HWND main) {
  std::puts("-- clear the entry area");
  SetWindowTextW(Unit(main, 3), L"4");    // 挂号
  SetWindowTextW(Unit(main, 7), L"6");    // 治疗: recomputes
  SetWindowTextW(Unit(main, 25), L"9");   // 西药
  Check(TextOf(Unit(main, 30)) == L"10", "typed figures are totalled");
  PostMessageW(main, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 20));
  PostMessageW(main, WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
  HWND menu = ShownMenu();
  Check(menu != nullptr, "a right click on the entry area opens its menu");
  if (!menu) return;
  PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
  for (int i = 0; i < 40 && !TextOf(Unit(main, 3)).empty(); ++i) Sleep(50);
  bool empty = true;
  for (int unit = 3; unit <= 27; unit += 2) empty = empty && TextOf(Unit(main, unit)).empty();
  Check(empty && TextOf(Unit(main, 30)).empty() && TextOf(Unit(main, 32)).empty(),
        "全部清空重写 empties the thirteen fields and both totals");
  Check(TextOf(Unit(main, 34)) == W("等待计算……") && TextOf(Unit(main, 36)) == W("等待计算……"),
        "and the total labels wait again");
}

// The name stored, the window shows it and refuses a second one.
void SecondUnitName(HWND main) {
  std::puts("-- the unit name, set again");
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(40001, 0), 0);  // &M设置单位名称
  HWND window = WaitWindow(nullptr, W("设置单位名称"));
  Check(window != nullptr, "unit-name window shows");
  if (!window) return;
  Sleep(300);
  Check(TextOf(Unit(window, 1)) == W("城南卫生院"), "with the stored name");
  SetWindowTextW(Unit(window, 1), W("城北卫生院").c_str());
  PostMessageW(Unit(window, 3), BM_CLICK, 0, 0);
  Check(AnswerBox("警告", "由于您之前已经设置了您的单位名称，不可以再次设置！"), "a second name is refused");
  Sleep(200);
  Check(IsWindow(window) != FALSE, "and the window stays");
  PostMessageW(window, WM_CLOSE, 0, 0);
  Check(Gone(window), "until closed");
}

// The statistics report's own button: its preview of today's one page.
void PreviewStatistics(const std::wstring& folder, HWND report) {
  PostMessageW(Unit(report, 1), BM_CLICK, 0, 0);  // 打印预览
  HWND preview = WaitWindow(L"ZzPrintPreview", W("打印预览"));
  Check(preview != nullptr, "the statistics preview shows");
  if (!preview) return;
  Check(TextOf(GetDlgItem(preview, 105)) == W("第 1 页，共 1 页"), "one page for one day");
  Check(!IsWindowEnabled(GetDlgItem(preview, 101)) && !IsWindowEnabled(GetDlgItem(preview, 102)),
        "with no page before or after it");
  Photograph(folder, "zuzaror-statistics-preview");
  PostMessageW(preview, WM_CLOSE, 0, 0);
  Check(Gone(preview), "the preview closes");
}

// The five-day preview's first two pages photographed, then the report
// printed from its own button.
void PreviewAndPrintFiveDay(const std::wstring& folder, HWND report) {
  PostMessageW(Unit(report, 2), BM_CLICK, 0, 0);  // 打印预览
  HWND preview = WaitWindow(L"ZzPrintPreview", W("打印预览"));
  Check(preview != nullptr, "the five-day preview shows");
  if (!preview) return;
  Check(TextOf(GetDlgItem(preview, 105)) == W("第 1 页，共 3 页"), "three pages, two blocks a page");
  Photograph(folder, "zuzaror-five-day-preview-1");
  SendAndWait(preview, WM_KEYDOWN, VK_NEXT);
  Check(TextOf(GetDlgItem(preview, 105)) == W("第 2 页，共 3 页"), "Page Down turns to page 2");
  Photograph(folder, "zuzaror-five-day-preview-2");
  PostMessageW(preview, WM_CLOSE, 0, 0);
  Check(Gone(preview), "the preview closes");
  Check(SendAndWait(Unit(report, 3), BM_CLICK), "the five-day report is printed");  // 打印
}

// The report buttons, with the report templates beside the program; at the
// end the statistics template is taken away.
void Reports(const std::wstring& folder, HWND main) {
  std::puts("-- the reports");
  // The list holds the whole current period (the script stores days up to
  // its end), so the five-day check passes and the settlement is confirmed.
  PostMessageW(Unit(main, 40), BM_CLICK, 0, 0);  // 打印五日报表
  HWND mode = WaitWindow(nullptr, W("确认结算方式"));
  Check(mode != nullptr, "a whole period listed: the settlement-mode window shows");
  if (!mode) return;
  Check(SendMessageW(Unit(mode, 0), BM_GETCHECK, 0, 0) == BST_CHECKED && IsWindowEnabled(Unit(mode, 0)) &&
            SendMessageW(Unit(mode, 1), BM_GETCHECK, 0, 0) == BST_UNCHECKED && !IsWindowEnabled(Unit(mode, 1)),
        "the configured 25th settlement can only be confirmed");
  Check(!IsWindowEnabled(main), "it is modal");
  PostMessageW(Unit(mode, 2), BM_CLICK, 0, 0);  // 确认
  HWND five_day = WaitWindow(nullptr, W("打印五日数据"));
  Check(five_day != nullptr && Gone(mode), "confirming opens the five-day report in its place");
  if (five_day) {
    // The settlement window's modal loop gives the main window back as it ends.
    for (int i = 0; i < 50 && !IsWindowEnabled(main); ++i) Sleep(20);
    Check(IsWindowEnabled(main) != FALSE, "the report window is not modal");
    Check(TextOf(Unit(five_day, 1)) == W("城南卫生院五日报表"), "its header names the unit");
    Photograph(folder, "zuzaror-five-day");
    if (g_print) PreviewAndPrintFiveDay(folder, five_day);
    PostMessageW(five_day, WM_CLOSE, 0, 0);
    Check(Gone(five_day), "and closes");
  }

  PostMessageW(Unit(main, 40), BM_CLICK, 0, 0);
  mode = WaitWindow(nullptr, W("确认结算方式"));
  Check(mode != nullptr, "the settlement-mode window shows again");
  if (!mode) return;
  PostMessageW(Unit(mode, 3), BM_CLICK, 0, 0);  // 重设
  HWND display = WaitWindow(nullptr, W("设置默认显示方式"));
  // The display-mode window shows before the settlement window is gone.
  for (int i = 0; i < 100 && IsWindow(mode); ++i) Sleep(20);
  Check(display != nullptr && !IsWindow(mode), "reset leads to the display-mode window instead");
  if (display) PostMessageW(display, WM_CLOSE, 0, 0);
  Sleep(300);

  PostMessageW(Unit(main, 41), BM_CLICK, 0, 0);  // 打印统计报表
  HWND statistics = WaitWindow(nullptr, W("打印统计报表"));
  // The window shows a moment before its owner is disabled.
  for (int i = 0; i < 50 && statistics && IsWindowEnabled(main); ++i) Sleep(20);
  Check(statistics != nullptr && !IsWindowEnabled(main), "the statistics report shows, modal");
  if (statistics) {
    Photograph(folder, "zuzaror-statistics");
    PreviewStatistics(folder, statistics);
    if (g_print) {
      Check(SendAndWait(Unit(statistics, 2), BM_CLICK), "the statistics report is printed");  // 打印
    }
    PostMessageW(statistics, WM_CLOSE, 0, 0);
    Check(Gone(statistics), "and closes");
  }
  DeleteFileW((folder + L"\\tjbb.grd").c_str());
  PostMessageW(Unit(main, 41), BM_CLICK, 0, 0);
  Check(AnswerBox("系统提示", "加载报表模板失败！"), "without its template the report says so");
  Sleep(300);

  // A range of one day is no period at all.
  PostMessageW(Unit(main, 42), BM_CLICK, 0, 0);  // 选择日期>>>
  Sleep(300);
  PostMessageW(Unit(main, 47), BM_CLICK, 0, 0);  // 查  找
  Check(AnswerBox("查询完毕", "本次查询共为您找到了  1  条记录！"), "today alone is searched");
  PostMessageW(Unit(main, 40), BM_CLICK, 0, 0);
  Check(AnswerBox("警告", "你选择的日期范围，不符合打印五日报表的要求，请重新选择！"),
        "the five-day report refuses that range");
  PostMessageW(Unit(main, 47), BM_CLICK, 0, 0);  // back to the period
  Sleep(300);
}

void RightsAndUnitName(const std::wstring& folder) {
  std::puts("-- the log-in window closed by its close key");
  {
    Program p;
    p.Start(folder + L"\\Zuzaror.exe");
    HWND login = WaitWindow(nullptr, W("登陆系统"));
    Check(login != nullptr, "log-in window shows");
    if (login) PostMessageW(login, WM_CLOSE, 0, 0);
    DWORD code = 1;
    Check(p.Ended(10000, &code) && code == 0, "closing it ends the program with 0");
  }
  std::puts("-- a user without rights");
  {
    Program p;
    HWND main = StartAndLogIn(p, folder, L"clerk", L"pw");
    Check(main != nullptr, "clerk logs in");
    if (!main) return;
    bool all_disabled = true;
    for (int button = 37; button <= 41; ++button) all_disabled = all_disabled && !IsWindowEnabled(Unit(main, button));
    Check(all_disabled, "the five buttons are disabled");
    // This copy of the database holds the last weeks' figures.
    Check(SendMessageW(Unit(main, 48), LVM_GETITEMCOUNT, 0, 0) > 0, "the period's records are listed");
    Photograph(folder, "zuzaror-filled");
    RefusedMenus(main);
    AboutWindow(folder, main);
    ClearAll(main);
    PostMessageW(main, WM_CLOSE, 0, 0);
    DWORD code = 1;
    p.Ended(10000, &code);
  }
  std::puts("-- the unit name, set once");
  {
    Program p;
    HWND main = StartAndLogIn(p, folder, L"admin");
    Check(main != nullptr, "admin logs in");
    if (!main) return;
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(40001, 0), 0);  // &M设置单位名称
    HWND window = WaitWindow(nullptr, W("设置单位名称"));
    Check(window != nullptr, "unit-name window shows");
    if (!window) return;
    SetWindowTextW(Unit(window, 1), L"   ");
    PostMessageW(Unit(window, 3), BM_CLICK, 0, 0);
    Check(AnswerBox("警告", "单位名称不能为空，请输入您的单位名称！"), "a blank name is refused");
    SetWindowTextW(Unit(window, 1), W("城南卫生院").c_str());
    PostMessageW(Unit(window, 3), BM_CLICK, 0, 0);
    Check(AnswerBox("信息：", "设置单位名称完毕！本程序将要关闭，设置将在重启后生效！"), "name set");
    DWORD code = 1;
    Check(p.Ended(10000, &code) && code == 0, "the program ends with 0");
  }
  {
    Program p;
    HWND main = StartAndLogIn(p, folder, L"admin");
    Check(main != nullptr && TextOf(Unit(main, 43)) == W("城南卫生院"), "the next start shows the name");
    HWND bar = main ? FindWindowExW(main, nullptr, L"msctls_statusbar32", nullptr) : nullptr;
    Check(bar && PanelText(p, bar, 1) == W("用户单位：城南卫生院"), "and names it in the status bar");
    if (main) SecondUnitName(main);
    if (main) Reports(folder, main);
    if (main) PostMessageW(main, WM_CLOSE, 0, 0);
    DWORD code = 1;
    p.Ended(10000, &code);
  }
}

// The file-name box of an open-file dialog: an Edit, inside a combo box on
// some systems, and the dialog's only one.
HWND FileNameEdit(HWND dialog) {
  HWND found = nullptr;
  EnumChildWindows(
      dialog,
      [](HWND child, LPARAM out) -> BOOL {
        wchar_t cls[32] = {};
        GetClassNameW(child, cls, 32);
        if (lstrcmpiW(cls, L"Edit") != 0 || !IsWindowVisible(child)) return TRUE;
        *reinterpret_cast<HWND*>(out) = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// Chooses a file in the restore's open-file dialog by typing its name, as
// a user would, and pressing Open.
bool ChooseInDialog(const std::wstring& name, const std::wstring& folder = L"") {
  HWND dialog = WaitWindow(L"#32770", W("选择已有的备份文件"));
  if (!dialog) return false;
  if (!folder.empty()) Photograph(folder, "zuzaror-restore");
  HWND edit = FileNameEdit(dialog);
  if (!edit) return false;
  SetWindowTextW(edit, name.c_str());
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  for (int i = 0; i < 200 && IsWindow(dialog); ++i) Sleep(50);
  return !IsWindow(dialog);
}

// Waits for a message box of this caption, photographs it when asked,
// presses OK; its text.
std::wstring AnswerAnyBox(const char* caption, const std::wstring& folder = L"", const char* photo = nullptr) {
  HWND box = WaitWindow(L"#32770", W(caption));
  if (!box) return L"";
  std::wstring shown = TextOf(GetDlgItem(box, 0xFFFF));
  if (photo) Photograph(folder, photo);
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(20);
  return shown;
}

// The restore's last box names where the replaced database was kept; that
// path, or "" when the box says otherwise.
std::wstring RestoreDone(const std::wstring& folder = L"", const char* photo = nullptr) {
  const std::wstring shown = AnswerAnyBox("成功！", folder, photo);
  const std::wstring head = W("已完成恢复！\n恢复前的数据已保存为：");
  std::printf("  restore box: %s\n", Narrow(shown).c_str());
  return shown.rfind(head, 0) == 0 ? shown.substr(head.size()) : L"";
}

// The name of the one backup in folder\back that the script did not put
// there.
std::wstring BackupMade(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((folder + L"\\back\\*.ml").c_str(), &found);
  std::wstring name;
  if (search == INVALID_HANDLE_VALUE) return name;
  do {
    if (lstrcmpiW(found.cFileName, L"bad.ml") != 0) name = found.cFileName;
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return name;
}

std::string FileBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "";
  std::string bytes;
  char buf[65536];
  DWORD got = 0;
  while (ReadFile(file, buf, sizeof buf, &got, nullptr) && got) bytes.append(buf, got);
  CloseHandle(file);
  return bytes;
}

void AddToday(HWND main, const char* box_text, const wchar_t* figure = L"7") {
  SetWindowTextW(Unit(main, 3), figure);  // 挂号
  PostMessageW(Unit(main, 37), BM_CLICK, 0, 0);
  Check(AnswerBox("成功", "Ok! 您的数据已经增加到了数据库中！"), box_text);
}

void BackUp(HWND main, const char* what) {
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(40003, 0), 0);  // &D数据备份
  Check(AnswerBox("Ok!", "备份成功！"), what);
}

void BackupAndRestore(const std::wstring& folder) {
  std::puts("-- back up, add a day, restore the backup");
  Program p;
  HWND main = StartAndLogIn(p, folder, L"admin");
  Check(main != nullptr, "admin logs in");
  if (!main) return;
  BackUp(main, "backup made");
  const std::wstring backup = BackupMade(folder);
  std::printf("  backup: %s\n", Narrow(backup).c_str());
  Check(!backup.empty(), "a .ml file is in back");
  AddToday(main, "a day added after the backup");

  const char* question = "恢复数据之前，请先备份当前数据，请问你备份了吗？";
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(40004, 0), 0);  // &H数据恢复
  Check(AnswerBox("？", question, IDNO), "restore asks first");
  Check(WaitWindow(L"#32770", W("选择已有的备份文件"), 1000) == nullptr, "answering No shows no dialog");

  PostMessageW(main, WM_COMMAND, MAKEWPARAM(40004, 0), 0);
  Check(AnswerBox("？", question, IDYES), "restore asks again");
  Check(ChooseInDialog(backup, folder), "the backup is chosen in the dialog");
  Check(!RestoreDone().empty(), "restore done");

  std::puts("-- a damaged backup is refused and the database comes back");
  const std::string before = FileBytes(folder + L"\\ml.mdb");
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(40004, 0), 0);
  Check(AnswerBox("？", question, IDYES), "restore asks");
  Check(ChooseInDialog(L"bad.ml"), "the damaged file is chosen");
  Check(AnswerBox("错误", "date"), "the damaged file is refused");
  Sleep(300);
  Check(!before.empty() && FileBytes(folder + L"\\ml.mdb") == before, "ml.mdb is as it was");
  // The restored backup did not hold the day: it can be added again, and
  // the duplicate check reads it back.
  AddToday(main, "the database is open: the day is added again");
  PostMessageW(Unit(main, 37), BM_CLICK, 0, 0);
  Check(AnswerBox("警告", "不可以重复增加日期相同的数据。"), "and found there");
  PostMessageW(main, WM_CLOSE, 0, 0);
  DWORD code = 1;
  Check(p.Ended(10000, &code) && code == 0, "the program ends with 0");
}

int ItemCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

int WindowHeight(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r.bottom - r.top;
}

void Press(HWND button) {
  PostMessageW(button, BM_CLICK, 0, 0);
  Sleep(200);
}

void TypeAccount(HWND window, const wchar_t* name, const wchar_t* password, const wchar_t* confirmation) {
  SetWindowTextW(Unit(window, 1), name);
  SetWindowTextW(Unit(window, 3), password);
  SetWindowTextW(Unit(window, 5), confirmation);
}

// The user window's check box of the right at this place in the table's order.
HWND RightBox(HWND window, int right) { return Unit(window, 12 + 2 * right); }

void UserManagement(const std::wstring& folder) {
  std::puts("-- user management");
  Program p;
  HWND main = StartAndLogIn(p, folder, L"admin");
  Check(main != nullptr, "admin logs in");
  if (!main) return;
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(40000, 0), 0);  // &U用户管理
  HWND users = WaitWindow(nullptr, W("用户管理"));
  Check(users != nullptr, "user-management window shows");
  if (!users) return;
  Sleep(300);
  HWND list = Unit(users, 6);
  Check(ItemCount(list) == 2 && ItemText(p, list, 0, 0) == L"admin" && ItemText(p, list, 1, 0) == L"clerk",
        "the list shows admin and clerk");
  Check(ItemText(p, list, 1, 1) == L"pw", "passwords show in the second column");
  Check(WindowHeight(users) == 200, "the rights frame starts hidden");

  TypeAccount(users, L"newbie", L"a", L"b");
  Press(Unit(users, 7));
  Check(AnswerBox("信息：", "您两次输入的密码不一样哦！"), "a different confirmation is refused");
  Check(ItemCount(list) == 2, "and nothing is added");

  Press(Unit(users, 10));  // 更多权限
  Check(WindowHeight(users) == 373, "更多权限 shows the rights frame");
  TypeAccount(users, L"O'Brien", L"ob1", L"ob1");
  Press(RightBox(users, 4));  // 增加
  Press(RightBox(users, 7));  // 打印五日报表
  Press(Unit(users, 7));
  Check(AnswerBox("信息：", "添加用户成功"), "O'Brien is added");
  Check(ItemCount(list) == 3 && ItemText(p, list, 2, 0) == L"O'Brien", "and listed as typed");
  Press(Unit(users, 7));
  Check(AnswerBox("信息：", "此用户名已经存在，不可以重复！"), "the same name again is refused");

  // Clear the boxes so that what the row loads shows.
  TypeAccount(users, L"", L"", L"");
  Press(RightBox(users, 4));
  Press(RightBox(users, 7));
  PostMessageW(list, WM_KEYDOWN, VK_END, 0);
  PostMessageW(list, WM_KEYUP, VK_END, 0);
  Sleep(300);
  Check(TextOf(Unit(users, 1)) == L"O'Brien" && TextOf(Unit(users, 3)) == L"ob1", "selecting the row loads it");
  bool rights_read = true;
  for (int right = 0; right < 9; ++right)
    rights_read = rights_read && (SendMessageW(RightBox(users, right), BM_GETCHECK, 0, 0) == BST_CHECKED) ==
                                     (right == 4 || right == 7);
  Check(rights_read, "with its two rights");
  SetWindowTextW(Unit(users, 3), L"ob2");
  Press(Unit(users, 8));
  Check(AnswerBox("信息：", "用户信息修改成功"), "its password is modified");
  Check(ItemText(p, list, 2, 1) == L"ob2", "the list shows the new password");
  Photograph(folder, "zuzaror-users");
  Press(Unit(users, 10));
  Check(WindowHeight(users) == 200, "pressed again, the window is back to 200");

  PostMessageW(list, WM_KEYDOWN, VK_END, 0);
  PostMessageW(list, WM_KEYUP, VK_END, 0);
  Sleep(300);
  Press(Unit(users, 9));
  Check(AnswerBox("信息：", "删除用户成功"), "O'Brien is deleted");
  Check(ItemCount(list) == 2, "and gone from the list");
  Press(Unit(users, 8));
  Check(AnswerBox("信息：", "请先选择一个用户信息"), "modify without a selection is refused");
  Press(Unit(users, 9));
  Check(AnswerBox("信息：", "请先选择一个用户信息"), "delete without a selection is refused");

  // Another copy of the program deletes the account chosen here: a modify
  // or delete of it then changes nothing, and says so.
  const struct { int button; const char* failure; const char* photo; } kStale[] = {
      {8, "用户信息修改失败", "zuzaror-stale-modify"}, {9, "删除用户失败", "zuzaror-stale-delete"}};
  for (const auto& stale : kStale) {
    TypeAccount(users, L"ghost", L"g", L"g");
    Press(Unit(users, 7));
    Check(AnswerBox("信息：", "添加用户成功"), "an account is added");
    PostMessageW(list, WM_KEYDOWN, VK_END, 0);
    PostMessageW(list, WM_KEYUP, VK_END, 0);
    Sleep(300);
    mdb::DatabaseConnection other;
    Check(other.OpenExternalDatabase(zz::Utf16ToGbk(std::u16string(folder.begin(), folder.end())) + "\\ml.mdb", "",
                                     "qe.7358+-") &&
              other.ExecuteStatement("delete * from [用户信息] where [用户名]='ghost'") && other.ChangedRows() == 1,
          "another copy of the program deletes it");
    other.CloseExternalDatabase();
    Press(Unit(users, stale.button));
    Check(AnswerAnyBox("信息：", folder, stale.photo) == W(stale.failure), stale.failure);
    Check(ItemCount(list) == 2, "and the list is rebuilt without it");
  }

  PostMessageW(users, WM_CLOSE, 0, 0);
  for (int i = 0; i < 100 && IsWindow(users); ++i) Sleep(50);
  Check(!IsWindow(users), "the window closes");
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(40006, 0), 0);  // 关闭软件
  DWORD code = 1;
  Check(p.Ended(10000, &code) && code == 0, "关闭软件 ends the program with 0");
}

// Ends the program through its menu and waits for its window to go.
void EndThroughMenu(HWND main) {
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(40006, 0), 0);  // 关闭软件
  for (int i = 0; i < 200 && IsWindow(main); ++i) Sleep(50);
  Check(!IsWindow(main), "关闭软件 ends the program");
}

// Logs in as admin at the log-in window of a started program, without
// waiting for the main window.
bool LogInOnly(const wchar_t* name = L"admin") {
  HWND login = WaitWindow(nullptr, W("登陆系统"), 30000);
  if (!login) return false;
  TypeUser(login, name);
  SetWindowTextW(Unit(login, 5), L"246135");
  ClickLabel(Unit(login, 6));
  return true;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(file);
  return ok;
}

// Without a usable 1021.ini the start says why and forces the display-mode
// window, both radio buttons unset; closed, the program goes on.
void SettingsFileAtStart(const std::wstring& folder, const std::wstring& database) {
  std::puts("-- start-up without a usable 1021.ini");
  Check(CopyFileW(database.c_str(), (folder + L"\\ml.mdb").c_str(), FALSE) != FALSE, "a database beside it");
  const std::wstring ini = folder + L"\\1021.ini";
  DeleteFileW(ini.c_str());
  const struct {
    bool write;
    const char* message;
  } cases[] = {{false, "系统文件丢失，请重新设置系统的默认显示方式！"},
               {true, "系统文件配置错误，请重新设置系统的默认显示方式,"}};
  for (const auto& c : cases) {
    if (c.write) Check(WriteFileBytes(ini, "[系统配置]\r\n默认显示方式1=2\r\n默认显示方式2=\r\n"),
                       "an invalid 1021.ini");
    Program p;
    Check(p.Start(folder + L"\\Zuzaror.exe") && LogInOnly(), "the program starts and admin logs in");
    Check(AnswerBox("警告", c.message), c.message);
    HWND mode = WaitWindow(nullptr, W("设置默认显示方式"));
    Check(mode && SendMessageW(Unit(mode, 0), BM_GETCHECK, 0, 0) == BST_UNCHECKED &&
              SendMessageW(Unit(mode, 1), BM_GETCHECK, 0, 0) == BST_UNCHECKED,
          "then the display-mode window, nothing chosen");
    if (mode) PostMessageW(mode, WM_CLOSE, 0, 0);
    HWND main = WaitWindow(nullptr, L"Zuzaror");
    Check(main != nullptr, "closed, the main window shows");
    if (main) EndThroughMenu(main);
  }
}

// The installed program as the installer left it running: a fresh
// installation backs up at once; then a day marked with its 挂号 figure and
// a second backup.
void KeepBooks(const std::wstring& mark) {
  std::puts("-- the installed program: back up, add a marked day, back up again");
  HWND main = LogIn(L"admin");
  Check(main != nullptr, "admin logs in to the installed program");
  if (!main) return;
  BackUp(main, "a fresh installation backs up");
  AddToday(main, "the marked day is added", mark.c_str());
  Sleep(1100);  // a backup is named to the second
  BackUp(main, "and backs up again");
  EndThroughMenu(main);
}

// Restores the file into the installation of folder; the program started
// anew lists the marked day.
void RestoreBooks(const std::wstring& folder, const std::wstring& file, const std::wstring& mark) {
  std::puts("-- restore the saved database into a new installation");
  {
    Program p;
    HWND main = StartAndLogIn(p, folder, L"admin");
    Check(main != nullptr, "admin logs in");
    if (!main) return;
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(40004, 0), 0);  // &H数据恢复
    Check(AnswerBox("？", "恢复数据之前，请先备份当前数据，请问你备份了吗？", IDYES), "restore asks first");
    Check(ChooseInDialog(file), "the saved file is chosen");
    Check(!RestoreDone().empty(), "restore done");
    EndThroughMenu(main);
  }
  Program p;
  HWND main = StartAndLogIn(p, folder, L"admin");
  Check(main != nullptr, "admin logs in again");
  if (!main) return;
  SelectFirstRow(Unit(main, 48));
  Sleep(300);
  Check(TextOf(Unit(main, 3)) == mark, "the marked day is back");
  EndThroughMenu(main);
}

// The database was left with the journal of a write cut short: the
// program rolls it back and lists the period's records.
void InterruptedWrite(const std::wstring& folder) {
  std::puts("-- a database whose last write was cut short");
  Program p;
  HWND main = StartAndLogIn(p, folder, L"admin");
  Check(main != nullptr, "the program starts on it and admin logs in");
  if (!main) return;
  Check(ItemCount(Unit(main, 48)) > 0, "the period's records are listed");
  EndThroughMenu(main);
}

const char* const kUnsavable = "输入的文字中有本系统无法保存的字符，请修改后重试！";

void NobodyLockedOut(const std::wstring& folder, HWND main) {
  std::puts("-- nobody is locked out of user management");
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(40000, 0), 0);  // &U用户管理
  HWND users = WaitWindow(nullptr, W("用户管理"));
  Check(users != nullptr, "user-management window shows");
  if (!users) return;
  Sleep(300);
  Press(Unit(users, 10));  // 更多权限
  SelectFirstRow(Unit(users, 6));
  Sleep(300);
  Check(TextOf(Unit(users, 1)) == L"admin", "admin is loaded");
  Press(RightBox(users, 0));  // 用户管理 off
  Press(Unit(users, 8));
  Check(AnswerAnyBox("警告", folder, "zuzaror-last-manager") == W("至少要保留一个拥有用户管理权限的用户！"),
        "the last manager cannot give up user management");
  Press(Unit(users, 9));
  Check(AnswerBox("警告", "至少要保留一个拥有用户管理权限的用户！"), "nor be deleted");
  Press(RightBox(users, 0));
  SetWindowTextW(Unit(users, 1), L"clerk");
  Press(Unit(users, 8));
  Check(AnswerBox("信息：", "此用户名已经存在，不可以重复！"), "a modify cannot take another account's name");
  SetWindowTextW(Unit(users, 1), L"");
  Press(Unit(users, 8));
  Check(AnswerBox("信息：", "请输入您的用户名"), "nor empty the name");
  SetWindowTextW(Unit(users, 1), L"admin");
  SetWindowTextW(Unit(users, 3), L"\xD55C");  // Hangul
  Press(Unit(users, 8));
  Check(AnswerAnyBox("警告", folder, "zuzaror-unsavable") == W(kUnsavable), "nor set a password GBK cannot hold");
  PostMessageW(users, WM_CLOSE, 0, 0);
  Check(Gone(users), "the window closes");

  PostMessageW(main, WM_COMMAND, MAKEWPARAM(40001, 0), 0);  // &M设置单位名称
  HWND window = WaitWindow(nullptr, W("设置单位名称"));
  Check(window != nullptr, "unit-name window shows");
  if (!window) return;
  SetWindowTextW(Unit(window, 1), (L"\x3400" + W("口卫生院")).c_str());  // CJK Extension A
  PostMessageW(Unit(window, 3), BM_CLICK, 0, 0);
  Check(AnswerBox("警告", kUnsavable), "a unit name GBK cannot hold is refused");
  PostMessageW(window, WM_CLOSE, 0, 0);
  Check(Gone(window), "the unit-name window closes");
}

// A restore over a day typed since the backup, from a backup copied back
// read-only: the day is kept in a backup of its own, the list forgets it
// at once, and the restored database takes new days.
void RefusedFiguresAndRestore(const std::wstring& folder, HWND main) {
  std::puts("-- figures are numbers; a restore keeps what it replaces");
  BackUp(main, "a backup before the day");
  const std::wstring backup = BackupMade(folder);
  SetWindowTextW(Unit(main, 3), L"1,234.50");  // 挂号
  PostMessageW(Unit(main, 37), BM_CLICK, 0, 0);
  Check(AnswerAnyBox("警告", folder, "zuzaror-not-a-number") == W("挂号：请输入数字！"),
        "a figure with a thousands comma is refused");
  AddToday(main, "a full-width figure is taken", L"\xFF11\xFF12\xFF13");
  HWND list = Unit(main, 48);
  Check(ItemCount(list) == 1, "the day is listed");
  SetFileAttributesW((folder + L"\\back\\" + backup).c_str(), FILE_ATTRIBUTE_READONLY);
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(40004, 0), 0);  // &H数据恢复
  Check(AnswerBox("？", "恢复数据之前，请先备份当前数据，请问你备份了吗？", IDYES), "restore asks first");
  Check(ChooseInDialog(backup), "the read-only backup is chosen");
  const std::wstring kept = RestoreDone(folder, "zuzaror-restore-kept");
  Check(kept.rfind(folder + L"\\back\\", 0) == 0 && GetFileAttributesW(kept.c_str()) != INVALID_FILE_ATTRIBUTES,
        "the replaced database is kept in back");
  Check(ItemCount(list) == 0, "the list forgets the day at once");
  Check((GetFileAttributesW((folder + L"\\ml.mdb").c_str()) & FILE_ATTRIBUTE_READONLY) == 0,
        "the restored ml.mdb is writable");
  AddToday(main, "and takes a new day, stored as the totals read it", L"007");
}

// Printing with a default printer that is not there.
void FailedPrint(const std::wstring& folder, HWND main) {
  std::puts("-- a failed print is said");
  const wchar_t* key = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
  wchar_t device[512] = {};
  DWORD size = sizeof device;
  bool had = RegGetValueW(HKEY_CURRENT_USER, key, L"Device", RRF_RT_REG_SZ, nullptr, device, &size) == ERROR_SUCCESS;
  const wchar_t bogus[] = L"ZzNoSuchPrinter,winspool,Ne09:";
  RegSetKeyValueW(HKEY_CURRENT_USER, key, L"Device", REG_SZ, bogus, sizeof bogus);
  PostMessageW(Unit(main, 41), BM_CLICK, 0, 0);  // 打印统计报表
  Check(AnswerBox("系统提示", "请你先设置单位信息！"), "no unit name: the empty report");
  HWND statistics = WaitWindow(nullptr, W("打印统计报表"));
  Check(statistics != nullptr, "the statistics report shows");
  if (statistics) {
    PostMessageW(Unit(statistics, 2), BM_CLICK, 0, 0);  // 打印
    const std::wstring shown = AnswerAnyBox("错误", folder, "zuzaror-print-failed");
    std::printf("  print box: %s\n", Narrow(shown).c_str());
    Check(shown.rfind(W("打印失败！"), 0) == 0, "the failed print is said");
    PostMessageW(statistics, WM_CLOSE, 0, 0);
    Check(Gone(statistics), "and the report closes");
  }
  if (had)
    RegSetKeyValueW(HKEY_CURRENT_USER, key, L"Device", REG_SZ, device, (lstrlenW(device) + 1) * sizeof(wchar_t));
  else
    RegDeleteKeyValueW(HKEY_CURRENT_USER, key, L"Device");
}

void Mends(const std::wstring& folder) {
  Program p;
  HWND main = StartAndLogIn(p, folder, L"admin");
  Check(main != nullptr, "admin logs in");
  if (!main) return;
  NobodyLockedOut(folder, main);
  RefusedFiguresAndRestore(folder, main);
  FailedPrint(folder, main);
  EndThroughMenu(main);
}

// Starts the program of the folder, logs in and ends it: what a user told
// to run the program once does.
void RunOnce(const std::wstring& folder) {
  std::puts("-- the program run once");
  Program p;
  HWND main = StartAndLogIn(p, folder, L"admin");
  Check(main != nullptr, "admin logs in");
  if (main) EndThroughMenu(main);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // The setup round trip's steps on an installed program.
  if (argc == 3 && lstrcmpW(argv[1], L"books") == 0) {
    KeepBooks(argv[2]);
    return ExitCode();
  }
  if (argc == 3 && lstrcmpW(argv[1], L"once") == 0) {
    RunOnce(argv[2]);
    return ExitCode();
  }
  if (argc == 5 && lstrcmpW(argv[1], L"restore") == 0) {
    RestoreBooks(argv[2], argv[3], argv[4]);
    return ExitCode();
  }
  if (argc < 5) {
    std::puts("usage: scenario_driver FOLDER_WITHOUT_DB FOLDER_WITH_DB FOLDER_WITH_CLERK FOLDER_WITH_BACKUPS [print]\n"
              "       scenario_driver books MARK\n"
              "       scenario_driver restore FOLDER FILE MARK\n"
              "       scenario_driver once FOLDER");
    return 100;
  }
  g_print = argc > 5 && lstrcmpW(argv[5], L"print") == 0;
  MissingDatabase(argv[1]);
  // Before the day is added, the database of the second folder is still empty.
  SettingsFileAtStart(argv[1], std::wstring(argv[2]) + L"\\ml.mdb");
  LogInAndAdd(argv[2]);
  RightsAndUnitName(argv[3]);
  UserManagement(argv[3]);
  BackupAndRestore(argv[4]);
  // Beside the four folders, two more the script prepared.
  const std::wstring work = std::wstring(argv[1]).substr(0, std::wstring(argv[1]).find_last_of(L'\\'));
  InterruptedWrite(work + L"\\hot");
  Mends(work + L"\\mends");
  std::printf("%d failed checks\n", g_failures);
  return ExitCode();
}
