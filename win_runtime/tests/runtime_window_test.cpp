// Under Wine and Xvfb: a window built from a template with every kind of
// unit, checked against the real controls.
#include "runtime_window.h"

#include <commctrl.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>

#include "all_units_window.h"
#include "gbk_text.h"
#include "loader.h"

namespace {

using rt::Event;
using rt::UnitKind;

std::wstring W(const char* gbk) { return zz::GbkToWide(gbk); }

std::wstring TextOf(HWND h) {
  wchar_t buf[512] = {};
  GetWindowTextW(h, buf, 512);
  return buf;
}

using rt_test::kAll;

class RuntimeWindowTest : public ::testing::Test {
 protected:
  // The last window of an earlier test posted the quit message that ends a
  // program: take it away before this test loads its own.
  void SetUp() override {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
};

TEST_F(RuntimeWindowTest, PropertiesReachTheControlsAndComeBack) {
  rt::RuntimeWindow w(kAll);
  ASSERT_TRUE(rt::Loader::Instance().LoadModeless(w, nullptr));
  rt::WindowModel& m = w.model();

  m.SetText("编辑框_挂号", "12.5");
  EXPECT_EQ(TextOf(w.Control("编辑框_挂号")), L"12.5");
  m.SetChecked("按钮_查找", true);
  EXPECT_EQ(SendMessageW(w.Control("按钮_查找"), BM_GETCHECK, 0, 0), BST_CHECKED);
  m.SetDate("日期框_现日期", {2010, 3, 26});
  SYSTEMTIME st{};
  SendMessageW(w.Control("日期框_现日期"), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
  EXPECT_EQ(st.wYear, 2010);
  EXPECT_EQ(st.wMonth, 3);
  EXPECT_EQ(st.wDay, 26);

  m.AddPanel("状态条_主", 140);
  m.AddPanel("状态条_主", -1);
  m.SetPanelText("状态条_主", 0, "当前用户：admin");
  wchar_t panel[128] = {};
  SendMessageW(w.Control("状态条_主"), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(panel));
  EXPECT_EQ(std::wstring(panel), W("当前用户：admin"));

  const char* list = "超级列表框_数据显示";
  m.InsertColumn(list, "日期", 120, true);
  m.InsertColumn(list, "挂号", 80, true);
  m.InsertItem(list, "2010年3月26日", 7);
  m.SetItemText(list, 0, 1, "12.5");
  wchar_t cell[64] = {};
  LVITEMW item{};
  item.iSubItem = 1;
  item.pszText = cell;
  item.cchTextMax = 64;
  SendMessageW(w.Control(list), LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(std::wstring(cell), L"12.5");

  m.SetVisible("按钮_增加", false);
  EXPECT_FALSE(IsWindowVisible(w.Control("按钮_增加")));
  m.SetDisabled("编辑框_挂号", true);
  EXPECT_FALSE(IsWindowEnabled(w.Control("编辑框_挂号")));
  m.SetDisabled("编辑框_挂号", false);

  // The group box's units sit at offsets from it, as children of the window.
  RECT r;
  GetWindowRect(w.Control("透明标签_总计收入"), &r);
  MapWindowPoints(nullptr, w.hwnd(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 12);
  EXPECT_EQ(r.top, 130);
  EXPECT_EQ(GetParent(w.Control("透明标签_总计收入")), w.hwnd());

  // Win32 changes come back through the model, each raising its event once.
  int changes = 0, clicks = 0, selected = -1, selections = 0;
  m.On("编辑框_挂号", Event::Changed, [&](rt::EventArgs&) { ++changes; });
  m.On("按钮_增加", Event::Click, [&](rt::EventArgs&) { ++clicks; });
  m.On(list, Event::ItemChanged, [&](rt::EventArgs& a) { selected = a.item; ++selections; });
  SetWindowTextW(w.Control("编辑框_挂号"), L"99");
  EXPECT_EQ(m.Get("编辑框_挂号").text, "99");
  EXPECT_EQ(changes, 1);
  m.SetVisible("按钮_增加", true);
  SendMessageW(w.Control("按钮_增加"), BM_CLICK, 0, 0);
  Pump();
  EXPECT_EQ(clicks, 1);
  LVITEMW sel{};
  sel.stateMask = LVIS_SELECTED;
  sel.state = LVIS_SELECTED;
  SendMessageW(w.Control(list), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&sel));
  EXPECT_EQ(selected, 0);
  EXPECT_EQ(selections, 1);
  EXPECT_EQ(m.ItemData(list, selected), 7);

  m.SetMenuEnabled("&U用户管理", false);
  HMENU bar = GetMenu(w.hwnd());
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(GetMenuItemCount(bar), 1);  // the pop-up menu stays out of the bar

  w.Destroy();
  EXPECT_FALSE(w.IsAlive());
}

TEST_F(RuntimeWindowTest, ModalLoadReturnsWhenTheWindowIsGoneAndFreesTheOwner) {
  rt::RuntimeWindow owner(kAll);
  ASSERT_TRUE(rt::Loader::Instance().LoadModeless(owner, nullptr));

  const rt::WindowTemplate kTicking = {
      "Ticking", "计时", 100, 100, 200, 100, rt::Border::Dialog,
      {{UnitKind::Timer, "时钟1", "", 0, 0, 0, 0, "", true, false, 50}}};
  rt::RuntimeWindow modal(kTicking);
  int ticks = 0;
  bool owner_was_disabled = false;
  modal.model().On("时钟1", Event::TimerTick, [&](rt::EventArgs&) {
    owner_was_disabled = !IsWindowEnabled(owner.hwnd());
    if (++ticks == 2) modal.Destroy();
  });
  ASSERT_TRUE(rt::Loader::Instance().LoadModal(modal, &owner));
  EXPECT_EQ(ticks, 2);
  EXPECT_TRUE(owner_was_disabled);
  EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));

  // A window that destroys itself while it is being created.
  rt::RuntimeWindow self_destroying(kTicking);
  self_destroying.model().On("", Event::Created, [&](rt::EventArgs&) { self_destroying.Destroy(); });
  EXPECT_TRUE(rt::Loader::Instance().LoadModal(self_destroying, &owner));
  EXPECT_FALSE(self_destroying.IsAlive());
  EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
  owner.Destroy();
}

TEST_F(RuntimeWindowTest, EachPressRaisesItsEventOnceAndCloseRaisesClosing) {
  rt::RuntimeWindow w(kAll);
  ASSERT_TRUE(rt::Loader::Instance().LoadModeless(w, nullptr));
  rt::WindowModel& m = w.model();
  std::map<std::string, int> raised;
  auto count = [&raised](const std::string& what) {
    return [&raised, what](rt::EventArgs&) { ++raised[what]; };
  };
  m.On("超级列表框_数据显示", Event::RightButtonDown, count("list right"));
  m.On("", Event::RightButtonDown, count("window right"));
  m.On("标签1", Event::LeftButtonDown, count("label down"));
  m.On("标签1", Event::LeftButtonUp, count("label up"));
  m.On("", Event::Closing, count("closing"));
  // The release waits in the queue, for a list that watches for a drag.
  for (const char* unit : {"超级列表框_数据显示", ""}) {
    HWND target = *unit ? w.Control(unit) : w.hwnd();
    PostMessageW(target, WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
    SendMessageW(target, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
    Pump();
  }
  SendMessageW(w.Control("标签1"), WM_LBUTTONDOWN, MK_LBUTTON, 0);
  SendMessageW(w.Control("标签1"), WM_LBUTTONUP, 0, 0);
  Pump();
  w.Close();
  EXPECT_FALSE(w.IsAlive());
  std::map<std::string, int> once = {{"list right", 1}, {"window right", 1}, {"label down", 1},
                                     {"label up", 1},   {"closing", 1}};
  EXPECT_EQ(raised, once);
}

TEST_F(RuntimeWindowTest, CanvasShowsItsPixelsAndTimersFollowTheirInterval) {
  rt::RuntimeWindow w(kAll);
  ASSERT_TRUE(rt::Loader::Instance().LoadModeless(w, nullptr));
  rt::WindowModel& m = w.model();
  m.DrawRectangle("画板", 0, 0, 40, 30);
  HWND canvas = w.Control("画板");
  ASSERT_NE(canvas, nullptr);
  UpdateWindow(w.hwnd());
  UpdateWindow(canvas);
  HDC dc = GetDC(canvas);
  EXPECT_EQ(GetPixel(dc, 0, 0), rt_test::kCanvasPen);
  EXPECT_EQ(GetPixel(dc, 39, 29), rt_test::kCanvasPen);
  EXPECT_EQ(GetPixel(dc, 5, 5), rt_test::kCanvasBrush);
  EXPECT_EQ(GetPixel(dc, 60, 40), rt_test::kCanvasPaper);
  ReleaseDC(canvas, dc);
  m.SetGeometry("画板", 420, 40, 1, 20);
  RECT r;
  GetClientRect(canvas, &r);
  EXPECT_EQ(r.right, 1);
  EXPECT_EQ(r.bottom, 20);

  int ticks = 0;
  m.On("时钟1", Event::TimerTick, [&](rt::EventArgs&) { ++ticks; });
  m.SetInterval("时钟1", 20);
  for (int i = 0; i < 200 && ticks == 0; ++i) {
    Sleep(10);
    Pump();
  }
  EXPECT_GT(ticks, 0);
  m.SetInterval("时钟1", 0);
  Pump();
  int stopped_at = ticks;
  Sleep(100);
  Pump();
  EXPECT_EQ(ticks, stopped_at);
  w.Destroy();
}

// Answers the open-file dialog from a second thread: types `name` into its
// file name box and presses Open, or Cancel when `name` is null. Reports
// the dialog's owner.
class DialogAnswerer {
 public:
  DialogAnswerer(const wchar_t* name) : name_(name ? name : L""), cancel_(!name) {
    thread_ = std::thread([this] { Run(); });
  }
  ~DialogAnswerer() {
    if (thread_.joinable()) thread_.join();
  }
  HWND Owner() {
    thread_.join();
    return owner_;
  }

 private:
  void Run() {
    std::wstring title = W("选择已有的备份文件");
    for (int i = 0; i < 400; ++i) {
      HWND box = FindWindowW(L"#32770", title.c_str());
      if (box && IsWindowVisible(box)) {
        owner_ = GetWindow(box, GW_OWNER);
        if (!cancel_) {
          // The name box is a combo box in newer dialogs, an edit in older.
          HWND field = GetDlgItem(box, cmb13);
          if (!field) field = GetDlgItem(box, edt1);
          SetWindowTextW(field, name_.c_str());
        }
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(cancel_ ? IDCANCEL : IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, cancel_ ? IDCANCEL : IDOK)));
        return;
      }
      Sleep(25);
    }
  }

  std::wstring name_;
  bool cancel_;
  HWND owner_ = nullptr;
  std::thread thread_;
};

TEST_F(RuntimeWindowTest, OpenFileDialogReturnsTheChosenFileOrFalseOnCancel) {
  namespace fs = std::filesystem;
  fs::path folder = fs::temp_directory_path() / L"zz_dialog_test";
  fs::create_directories(folder);
  std::wstring file_name = W("旧备份.ml");
  std::ofstream(folder / file_name) << "x";

  // The dialog makes the chosen file's folder the current one.
  fs::path was_current = fs::current_path();

  rt::RuntimeWindow w(kAll);
  ASSERT_TRUE(rt::Loader::Instance().LoadModeless(w, nullptr));
  rt::WindowModel& m = w.model();
  std::wstring wide_folder = folder.wstring();
  m.SetFolder("通用对话框1", zz::Utf16ToGbk(std::u16string(wide_folder.begin(), wide_folder.end())));

  {
    DialogAnswerer answer(file_name.c_str());
    EXPECT_TRUE(m.OpenDialog("通用对话框1"));
    EXPECT_EQ(answer.Owner(), w.hwnd());
  }
  std::string chosen = m.Get("通用对话框1").file_name;
  std::u16string chosen16 = zz::GbkToUtf16(chosen);
  std::error_code error;
  EXPECT_TRUE(fs::equivalent(fs::path(std::wstring(chosen16.begin(), chosen16.end())), folder / file_name,
                             error))
      << zz::GbkToUtf8(chosen);

  {
    DialogAnswerer answer(nullptr);
    EXPECT_FALSE(m.OpenDialog("通用对话框1"));
  }
  EXPECT_EQ(m.Get("通用对话框1").file_name, chosen);  // a cancel keeps the last choice

  w.Destroy();
  fs::current_path(was_current);
  fs::remove_all(folder, error);
}

TEST_F(RuntimeWindowTest, MessageBoxAnswersAreNumberedFromZero) {
  struct Case { int style; int button; int answer; } cases[] = {
      {36, IDNO, 6}, {36, IDYES, 5}, {0, IDOK, 0}, {48, IDOK, 0}};
  for (const Case& c : cases) {
    std::thread clicker([&] {
      std::wstring caption = W("提示");
      for (int i = 0; i < 400; ++i) {
        HWND box = FindWindowW(L"#32770", caption.c_str());
        if (box) {
          PostMessageW(box, WM_COMMAND, MAKEWPARAM(c.button, BN_CLICKED), 0);
          return;
        }
        Sleep(25);
      }
    });
    int answer = rt::ShowMessage("确定要删除吗？", "提示", c.style);
    clicker.join();
    EXPECT_EQ(answer, c.answer) << c.style;
  }
}

}  // namespace
