#include "user_management_window.h"

#include <windows.h>

#include "loader.h"
#include "program.h"
#include "sql_text.h"

namespace keeper {
namespace {

using rt::UnitKind;

const char* const kList = "超级列表框_显示用户";
const char* const kFrame = "分组框1";
constexpr int kShortHeight = 200;  // the rights frame lies below the visible area
constexpr int kTallHeight = 373;

// The check box of each right, in kRightColumns order.
const char* const kRightBoxes[9] = {"选择框_用户管理", "选择框_设置单位名称", "选择框_数据备份",
                                    "选择框_数据恢复", "选择框_增加",         "选择框_修改",
                                    "选择框_删除",     "选择框_打印五日报表", "选择框_打印统计报表"};

rt::UnitTemplate RightBox(int right, int left, int top) {
  return {UnitKind::CheckBox, kRightBoxes[right], "", left, top, 16, 16, kFrame};
}
rt::UnitTemplate RightLabel(const char* name, int right, int left, int top, int width) {
  return {UnitKind::TransparentLabel, name, kRightColumns[right], left + 18, top + 1, width, 16, kFrame};
}

const rt::WindowTemplate kUserManagementWindow = {
    "UserManagementWindow", "用户管理", 300, 200, 335, kShortHeight, rt::Border::Dialog,
    {{UnitKind::TransparentLabel, "透明标签1", "用户名：", 8, 19, 62, 20},
     {UnitKind::Edit, "编辑框_用户名", "", 71, 15, 88, 24},
     {UnitKind::TransparentLabel, "透明标签2", "密  码：", 8, 59, 62, 20},
     {UnitKind::Edit, "编辑框_密码", "", 71, 55, 88, 24},
     {UnitKind::TransparentLabel, "透明标签3", "确认密码：", 8, 99, 62, 20},
     {UnitKind::Edit, "编辑框_确认密码", "", 71, 95, 88, 24},
     {UnitKind::ListView, kList, "", 168, 15, 150, 104},
     {UnitKind::Button, "按钮_设为用户", "设为用户", 8, 136, 64, 24},
     {UnitKind::Button, "按钮_执行修改", "执行修改", 90, 136, 64, 24},
     {UnitKind::Button, "按钮_执行删除", "执行删除", 172, 136, 64, 24},
     {UnitKind::Button, "按钮_更多权限", "更多权限", 256, 136, 64, 24},
     {UnitKind::GroupBox, kFrame, "权限设置", 8, 176, 312, 160},
     RightBox(0, 12, 35), RightLabel("标签_用户管理", 0, 12, 35, 62),
     RightBox(1, 95, 35), RightLabel("标签_设置单位名称", 1, 95, 35, 92),
     RightBox(2, 208, 35), RightLabel("标签_数据备份", 2, 208, 35, 80),
     RightBox(3, 12, 59), RightLabel("标签_数据恢复", 3, 12, 59, 62),
     RightBox(4, 95, 59), RightLabel("标签_增加", 4, 95, 59, 92),
     RightBox(5, 208, 59), RightLabel("标签_修改", 5, 208, 59, 80),
     RightBox(6, 12, 83), RightLabel("标签_删除", 6, 12, 83, 62),
     RightBox(7, 95, 83), RightLabel("标签_打印五日报表", 7, 95, 83, 92),
     RightBox(8, 208, 83), RightLabel("标签_打印统计报表", 8, 208, 83, 80)}};

class UserManagementWindow {
 public:
  UserManagementWindow() : window_(kUserManagementWindow), m_(window_.model()) { Attach(); }
  void Load(rt::RuntimeWindow& owner) { rt::Loader::Instance().LoadModal(window_, &owner); }

 private:
  void Attach();
  void RebuildList();
  void OnUserSelected(int row);
  void OnAdd();
  void OnModify();
  void OnDelete();
  void OnToggleRights();
  UserAccount Typed();
  bool NameTaken(const std::string& name, long long except = 0);
  bool KeepsAManager(long long key, bool key_manages);
  bool ChangedTheAccount(const std::string& sql, const char* failure);
  // The selected row's key; false, after saying so, when there is none.
  bool SelectedKey(long long* key);
  void Say(const char* text, int style = 0) { rt::ShowMessage(text, "", style, window_.hwnd()); }

  rt::RuntimeWindow window_;
  rt::WindowModel& m_;
};

void UserManagementWindow::Attach() {
  m_.On("", rt::Event::Created, [this](rt::EventArgs&) {
    ApplySkin();
    m_.InsertColumn(kList, "用户名", 73, false);
    m_.InsertColumn(kList, "密码", 73, false);
    RebuildList();
  });
  m_.On(kList, rt::Event::ItemChanged, [this](rt::EventArgs& a) { OnUserSelected(a.item); });
  m_.On("按钮_设为用户", rt::Event::Click, [this](rt::EventArgs&) { OnAdd(); });
  m_.On("按钮_执行修改", rt::Event::Click, [this](rt::EventArgs&) { OnModify(); });
  m_.On("按钮_执行删除", rt::Event::Click, [this](rt::EventArgs&) { OnDelete(); });
  m_.On("按钮_更多权限", rt::Event::Click, [this](rt::EventArgs&) { OnToggleRights(); });
}

void UserManagementWindow::RebuildList() {
  mdb::DatabaseConnection& db = Program().database;
  m_.DeleteAllItems(kList);
  int h = db.OpenRecordset(UserListQuery());
  for (db.MoveFirst(h); !db.IsEOF(h); db.MoveNext(h)) {
    std::string name = ReadText(h, "用户名");
    int row = m_.InsertItem(kList, name, ReadKey(h, "编号"));
    m_.SetItemText(kList, row, 1, ReadText(h, "密码"));
  }
  db.CloseRecordset(h);
}

void UserManagementWindow::OnUserSelected(int row) {
  // Losing the selection loads nothing: the boxes keep what they show.
  if (row < 0) return;
  mdb::DatabaseConnection& db = Program().database;
  int h = db.OpenRecordset(SelectUser(m_.ItemData(kList, row)));
  db.MoveFirst(h);
  if (!db.IsEOF(h)) {
    m_.SetText("编辑框_用户名", ReadText(h, "用户名"));
    m_.SetText("编辑框_密码", ReadText(h, "密码"));
    for (int i = 0; i < 9; ++i) m_.SetChecked(kRightBoxes[i], ReadBool(h, kRightColumns[i]));
  }
  db.CloseRecordset(h);
}

UserAccount UserManagementWindow::Typed() {
  UserAccount user{m_.Get("编辑框_用户名").text, m_.Get("编辑框_密码").text, {}};
  for (int i = 0; i < 9; ++i) user.rights[i] = m_.Get(kRightBoxes[i]).checked;
  return user;
}

bool UserManagementWindow::NameTaken(const std::string& name, long long except) {
  mdb::DatabaseConnection& db = Program().database;
  int h = db.OpenRecordset(UserNameTakenQuery(name) + (except ? " and [编号]<>" + std::to_string(except) : ""));
  db.MoveFirst(h);
  bool taken = !db.IsEOF(h) && !ReadText(h, "用户名").empty();
  db.CloseRecordset(h);
  return taken;
}

void UserManagementWindow::OnAdd() {
  UserAccount user = Typed();
  if (user.name.empty()) return Say("请输入您的用户名");
  if (user.password.empty()) return Say("请输入您的密码");
  const std::string& confirmation = m_.Get("编辑框_确认密码").text;
  if (confirmation.empty()) return Say("请输入确认密码");
  if (confirmation != user.password) return Say("您两次输入的密码不一样哦！");
  if (!TypedTextFits(window_, {"编辑框_用户名", "编辑框_密码"})) return;
  if (NameTaken(user.name)) return Say("此用户名已经存在，不可以重复！");
  if (!Program().database.ExecuteStatement(InsertUser(user))) return Say("添加用户失败", 64);
  Say("添加用户成功");
  RebuildList();
}

bool UserManagementWindow::SelectedKey(long long* key) {
  int row = m_.Get(kList).selection;
  if (row < 0) {
    Say("请先选择一个用户信息");
    return false;
  }
  *key = m_.ItemData(kList, row);
  return true;
}

// After the change some account must still have user management: else
// after the next start nobody can log in to manage the accounts. False,
// after saying so, when none would; `key_manages` is what the row `key`
// will hold.
bool UserManagementWindow::KeepsAManager(long long key, bool key_manages) {
  mdb::DatabaseConnection& db = Program().database;
  bool kept = key_manages;
  int h = db.OpenRecordset(UserListQuery());
  for (db.MoveFirst(h); !kept && !db.IsEOF(h); db.MoveNext(h))
    kept = ReadKey(h, "编号") != key && ReadBool(h, kRightColumns[0]);
  db.CloseRecordset(h);
  if (!kept) rt::ShowMessage("至少要保留一个拥有用户管理权限的用户！", "警告", 48, window_.hwnd());
  return kept;
}

// An account that another copy of the program has deleted takes nothing:
// that is no success, and the list then shows what is there. False, after
// saying so, when the statement failed or changed no row.
bool UserManagementWindow::ChangedTheAccount(const std::string& sql, const char* failure) {
  mdb::DatabaseConnection& db = Program().database;
  const bool ran = db.ExecuteStatement(sql);
  if (ran && db.ChangedRows() > 0) return true;
  Say(failure);
  if (ran) RebuildList();
  return false;
}

// A modify is held to the add's checks on the name and the password: an
// empty name, or one another account holds, could never log in.
void UserManagementWindow::OnModify() {
  long long key = 0;
  if (!SelectedKey(&key)) return;
  UserAccount user = Typed();
  if (user.name.empty()) return Say("请输入您的用户名");
  if (user.password.empty()) return Say("请输入您的密码");
  if (!TypedTextFits(window_, {"编辑框_用户名", "编辑框_密码"})) return;
  if (NameTaken(user.name, key)) return Say("此用户名已经存在，不可以重复！");
  if (!KeepsAManager(key, user.rights[0])) return;
  if (!ChangedTheAccount(UpdateUser(user, key), "用户信息修改失败")) return;
  Say("用户信息修改成功");
  RebuildList();
}

void UserManagementWindow::OnDelete() {
  long long key = 0;
  if (!SelectedKey(&key)) return;
  if (!KeepsAManager(key, false)) return;
  if (!ChangedTheAccount(DeleteUser(key), "删除用户失败")) return;
  Say("删除用户成功");
  RebuildList();
}

void UserManagementWindow::OnToggleRights() {
  // The window as it stands on screen: the user may have moved it.
  RECT r;
  GetWindowRect(window_.hwnd(), &r);
  int height = r.bottom - r.top == kShortHeight ? kTallHeight : kShortHeight;
  m_.SetGeometry("", r.left, r.top, r.right - r.left, height);
}

}  // namespace

void ShowUserManagementWindow(rt::RuntimeWindow& owner) { UserManagementWindow().Load(owner); }

}  // namespace keeper
