// Under Wine and Xvfb: a window built from a template with every kind of
// unit, checked against the real controls.
#include "runtime_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "gbk_text.h"
#include "loader.h"

namespace {

using rt::Event;
using rt::UnitKind;

std::wstring W(const char* gbk) {
  std::u16string w = zz::GbkToUtf16(gbk);
  return std::wstring(w.begin(), w.end());
}

std::wstring TextOf(HWND h) {
  wchar_t buf[512] = {};
  GetWindowTextW(h, buf, 512);
  return buf;
}

const rt::WindowTemplate kAll = {
    "AllUnits", "全部单位", 40, 40, 640, 420, rt::Border::Normal,
    {{UnitKind::TransparentLabel, "透明标签1", "日  期：", 8, 12, 58, 24},
     {UnitKind::Label, "标签1", "普通标签", 8, 40, 80, 24},
     {UnitKind::Edit, "编辑框_挂号", "", 80, 8, 100, 24},
     {UnitKind::MultiLineEdit, "编辑框_说明", "第一行\r\n第二行", 200, 8, 160, 50},
     {UnitKind::DateBox, "日期框_现日期", "", 380, 8, 128, 24},
     {UnitKind::Button, "按钮_增加", "增  加", 8, 70, 96, 31},
     {UnitKind::CheckBox, "选择框1", "选择", 110, 70, 80, 31},
     {UnitKind::PushCheckBox, "按钮_查找", "查  找", 200, 70, 96, 31},
     {UnitKind::RadioButton, "单选框1", "按月", 300, 70, 80, 31},
     {UnitKind::GroupBox, "分组框1", "合计", 8, 110, 400, 56},
     {UnitKind::TransparentLabel, "透明标签_总计收入", "等待计算……", 4, 20, 141, 24, "分组框1"},
     {UnitKind::ComboBox, "组合框_用户名", "", 420, 110, 150, 24},
     {UnitKind::ListView, "超级列表框_数据显示", "", 0, 170, 620, 160},
     {UnitKind::StatusBar, "状态条_主", "", 0, 340, 620, 20},
     {UnitKind::Timer, "时钟1", "", 0, 0, 0, 0, "", true, false, 0},
     {UnitKind::ExternalDatabase, "外部数据库_ml"}},
    {{"&G用户", {{"&U用户管理"}}}, {"右键", {{"&X退出查询"}}, true}}};

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
