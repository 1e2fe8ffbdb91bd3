#include "window_model.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>

#include "clock.h"
#include "file_access.h"
#include "gbk_text.h"
#include "ini_file.h"
#include "message_box.h"

namespace {

using rt::Event;
using rt::UnitKind;

const rt::WindowTemplate kWindow = {
    "TestWindow", "测试", 0, 0, 400, 300, rt::Border::Normal,
    {{UnitKind::Edit, "编辑框_挂号"},
     {UnitKind::DateBox, "日期框_现日期"},
     {UnitKind::CheckBox, "按钮_选择日期", "选择日期>>>"},
     {UnitKind::GroupBox, "分组框1"},
     {UnitKind::TransparentLabel, "透明标签_总计收入", "等待计算……", 5, 5, 100, 20, "分组框1"},
     {UnitKind::ComboBox, "组合框_用户名"},
     {UnitKind::ListView, "超级列表框_数据显示"},
     {UnitKind::StatusBar, "状态条_主"}},
    {{"&G用户", {{"&U用户管理"}, {"&M设置单位名称"}}}, {"右键", {{"&X退出查询"}}, true}}};

TEST(WindowModel, EditTextFromCodeFiresChangeButDateAndCheckDoNot) {
  rt::WindowModel w(kWindow);
  int changes = 0, clicks = 0;
  w.On("编辑框_挂号", Event::Changed, [&](rt::EventArgs&) { ++changes; });
  w.On("日期框_现日期", Event::Changed, [&](rt::EventArgs&) { ++changes; });
  w.On("按钮_选择日期", Event::Click, [&](rt::EventArgs&) { ++clicks; });
  w.SetText("编辑框_挂号", "12");
  w.SetText("编辑框_挂号", "12");  // no change, no event
  EXPECT_EQ(changes, 1);
  w.SetDate("日期框_现日期", {2010, 3, 26});
  w.SetChecked("按钮_选择日期", true);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(clicks, 0);
  w.UserTyped("编辑框_挂号", "13");
  w.UserPickedDate("日期框_现日期", {2010, 3, 27});
  w.UserChecked("按钮_选择日期", false);
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(w.Get("分组框1").kind, UnitKind::GroupBox);
  EXPECT_EQ(w.Get("透明标签_总计收入").parent, "分组框1");
  EXPECT_EQ(w.Find("没有这个"), nullptr);
  EXPECT_THROW(w.SetText("没有这个", "x"), std::out_of_range);
}

TEST(WindowModel, ListViewSelectionRaisesOnlyForANewRow) {
  rt::WindowModel w(kWindow);
  const char* list = "超级列表框_数据显示";
  std::vector<int> seen;
  w.On(list, Event::ItemChanged, [&](rt::EventArgs& a) { seen.push_back(a.item); });
  w.InsertColumn(list, "日期", 100, true);
  w.InsertColumn(list, "挂号", 60, true);
  EXPECT_EQ(w.InsertItem(list, "2010年3月26日", 41), 0);
  EXPECT_EQ(w.InsertItem(list, "2010年3月27日", 42), 1);
  w.SetItemText(list, 1, 1, "12.5");
  EXPECT_EQ(w.ItemCount(list), 2);
  EXPECT_EQ(w.ItemData(list, 1), 42);
  EXPECT_EQ(w.Get(list).rows[1].cells[1], "12.5");
  w.UserSelected(list, 1);
  w.UserSelected(list, 1);   // same row again: focus change, not a selection
  w.UserSelected(list, -1);  // deselection
  w.UserSelected(list, 0);
  EXPECT_EQ(seen, (std::vector<int>{1, 0}));
  w.DeleteAllItems(list);
  EXPECT_EQ(w.ItemCount(list), 0);
  EXPECT_EQ(w.Get(list).selection, -1);
}

TEST(WindowModel, ComboChoiceAndTypingAreDifferentEvents) {
  rt::WindowModel w(kWindow);
  const char* combo = "组合框_用户名";
  std::string log;
  w.On(combo, Event::ComboChosen, [&](rt::EventArgs&) { log += "chosen:" + w.Get(combo).text + ";"; });
  w.On(combo, Event::ComboTyped, [&](rt::EventArgs&) { log += "typed;"; });
  w.AddEntry(combo, "admin");
  w.AddEntry(combo, "张三");
  w.UserSelected(combo, 1);
  w.UserTyped(combo, "张");
  EXPECT_EQ(log, "chosen:张三;typed;");
}

TEST(WindowModel, RadioButtonsOfOneContainerExcludeEachOther) {
  const rt::WindowTemplate radios = {
      "Radios", "", 0, 0, 100, 100, rt::Border::Dialog,
      {{UnitKind::RadioButton, "单选框_25号结算"}, {UnitKind::RadioButton, "单选框_月末结算"},
       {UnitKind::GroupBox, "分组框1"}, {UnitKind::RadioButton, "其它", "", 0, 0, 0, 0, "分组框1"}}};
  rt::WindowModel w(radios);
  w.SetChecked("单选框_25号结算", true);
  w.SetChecked("其它", true);
  w.UserChecked("单选框_月末结算", true);
  EXPECT_FALSE(w.Get("单选框_25号结算").checked);
  EXPECT_TRUE(w.Get("单选框_月末结算").checked);
  EXPECT_TRUE(w.Get("其它").checked);  // another container
}

TEST(WindowModel, MenusAndStatusPanels) {
  rt::WindowModel w(kWindow);
  int ran = 0;
  w.OnMenu("&U用户管理", [&](rt::EventArgs&) { ++ran; });
  EXPECT_TRUE(w.RaiseMenu("&U用户管理"));
  w.SetMenuEnabled("&U用户管理", false);
  EXPECT_FALSE(w.RaiseMenu("&U用户管理"));
  EXPECT_EQ(ran, 1);
  EXPECT_TRUE(w.MenuEnabled("&X退出查询"));
  EXPECT_THROW(w.SetMenuEnabled("nope", false), std::out_of_range);

  EXPECT_EQ(w.AddPanel("状态条_主", 140), 0);
  EXPECT_EQ(w.AddPanel("状态条_主", -1), 1);
  w.SetPanelText("状态条_主", 1, "当前用户：admin");
  w.SetPanelText("状态条_主", 7, "ignored");
  EXPECT_EQ(w.Get("状态条_主").panels[1].text, "当前用户：admin");
}

TEST(WindowModel, HandlersMayDestroyStateTheyRunIn) {
  rt::WindowModel w(kWindow);
  int ran = 0;
  w.On("", Event::Created, [&](rt::EventArgs&) {
    ++ran;
    // Attaching more handlers while running is safe.
    w.On("", Event::Created, [&](rt::EventArgs&) { ran += 10; });
  });
  EXPECT_TRUE(w.Raise({"", Event::Created}));
  EXPECT_EQ(ran, 1);
}

TEST(RuntimeText, MessageBoxAnswersAndCaptions) {
  int expected[] = {-1, 0, 1, 2, 3, 4, 5, 6, -1};
  for (int id = 0; id <= 8; ++id) EXPECT_EQ(rt::AnswerFromButtonId(id), expected[id]) << id;
  EXPECT_EQ(rt::BoxCaption(""), "信息：");
  EXPECT_EQ(rt::BoxCaption("警告"), "警告");
}

// Once a test has let go of its fixed day, the clock is the local calendar
// time, its year and month counted as people count them.
TEST(RuntimeText, NowIsTheLocalTimeOnceUnfixed) {
  rt::FixNowForTests({2010, 12, 28, 8, 0, 0});
  rt::UnfixNow();
  auto local = [] {
    std::time_t t = std::time(nullptr);
    char text[32] = "";
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", std::localtime(&t));
    return std::string(text);
  };
  for (int attempt = 0; attempt < 3; ++attempt) {
    const std::string before = local();
    const zz::DateTime now = rt::Now();
    if (local() != before) continue;  // a minute turned over in between
    char text[32] = "";
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", now.year, now.month, now.day, now.hour,
                  now.minute);
    EXPECT_EQ(text, before);
    return;
  }
  ADD_FAILURE() << "the minute kept turning over";
}

TEST(IniFile, GbkSectionsKeysAndValuesRoundTrip) {
  auto folder = std::filesystem::temp_directory_path() / "rt-ini-test";
  std::filesystem::create_directories(folder);
  std::u16string wide = (folder / "1021.ini").u16string();
  std::string path = zz::Utf16ToGbk(wide);
  rt::DeleteFileAt(path);
  EXPECT_EQ(rt::IniRead(path, "系统配置", "默认显示方式1", "x"), "x");
  ASSERT_TRUE(rt::IniWrite(path, "系统配置", "默认显示方式1", "1"));
  ASSERT_TRUE(rt::IniWrite(path, "系统配置", "默认显示方式2", "0"));
  ASSERT_TRUE(rt::IniWrite(path, "其它", "名称", "診所乚"));
  ASSERT_TRUE(rt::IniWrite(path, "系统配置", "默认显示方式1", "0"));
  EXPECT_EQ(rt::IniRead(path, "系统配置", "默认显示方式1", ""), "0");
  EXPECT_EQ(rt::IniRead(path, "系统配置", "默认显示方式2", ""), "0");
  EXPECT_EQ(rt::IniRead(path, "其它", "名称", ""), "診所乚");
  std::string bytes;
  ASSERT_TRUE(rt::ReadWholeFile(path, &bytes));
  EXPECT_EQ(bytes, "[系统配置]\r\n默认显示方式1=0\r\n默认显示方式2=0\r\n[其它]\r\n名称=診所乚\r\n");
  EXPECT_FALSE(rt::FileExists(path + ".new"));
  std::filesystem::remove_all(folder);
}

}  // namespace

namespace {

TEST(WindowModel, OpenFileDialogAnswersThroughTheLayerThatShowsIt) {
  const rt::WindowTemplate kDialogWindow = {
      "DialogWindow", "", 0, 0, 100, 100, rt::Border::Normal,
      {{UnitKind::OpenFileDialog, "通用对话框1", "选择已有的备份文件", 0, 0, 0, 0, "", true, false, 0,
        "备份文件|*.ml"}}};
  rt::WindowModel w(kDialogWindow);
  w.SetFolder("通用对话框1", "C:\\备份");
  // Nothing can be chosen without a layer to show the dialog.
  EXPECT_FALSE(w.OpenDialog("通用对话框1"));

  std::string seen_folder, seen_filter;
  w.show_dialog = [&](rt::UnitState& u) {
    seen_folder = u.folder;
    seen_filter = u.filter;
    u.file_name = u.folder + "\\2010.ml";
    return true;
  };
  EXPECT_TRUE(w.OpenDialog("通用对话框1"));
  EXPECT_EQ(seen_folder, "C:\\备份");
  EXPECT_EQ(seen_filter, "备份文件|*.ml");
  EXPECT_EQ(w.Get("通用对话框1").file_name, "C:\\备份\\2010.ml");
}

}  // namespace
