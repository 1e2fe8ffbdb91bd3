// Log-in: the modal window of the start-up, and the rights it grants.
#include "loader.h"
#include "program.h"
#include "sql_text.h"

namespace keeper {
namespace {

using rt::Event;
using rt::UnitKind;

constexpr rt::Colour kRed = 0x0000FF;    // RGB(255, 0, 0)
constexpr rt::Colour kGreen = 0x008000;  // RGB(0, 128, 0)

const rt::WindowTemplate kLoginWindow = {
    "LoginWindow", "登陆系统", 340, 240, 342, 223, rt::Border::Dialog,
    {{UnitKind::GroupBox, "分组框1", "", 5, 7, 328, 184},
     {UnitKind::TransparentLabel, "透明标签3", "Zuzaror", 28, 18, 251, 40},
     {UnitKind::TransparentLabel, "透明标签2", "用户名：", 20, 68, 56, 24},
     {UnitKind::ComboBox, "组合框_用户名", "", 84, 66, 140, 24},
     {UnitKind::TransparentLabel, "透明标签1", "密  码：", 20, 108, 56, 24},
     {UnitKind::Edit, "编辑框_密码", "", 84, 108, 140, 24},
     {UnitKind::Label, "标签_登陆", "登陆", 84, 146, 60, 24},
     {UnitKind::Label, "标签2", "取消", 164, 146, 58, 24},
     {UnitKind::Button, "按钮_结束", "×", 299, 13, 25, 25},
     {UnitKind::TransparentLabel, "透明标签_logo", "日报", 247, 82, 73, 72}}};

// The control each right governs, in kRightColumns order.
struct RightControl {
  const char* control;
  bool is_menu;
};
const RightControl kRightControls[9] = {
    {"&U用户管理", true},  {"&M设置单位名称", true},     {"&D数据备份", true},
    {"&H数据恢复", true},  {"按钮_增加", false},         {"按钮_修改", false},
    {"按钮_删除", false},  {"按钮_打印五日报表", false}, {"按钮_打印统计报表", false}};

void OnLogin(rt::RuntimeWindow& w) {
  rt::WindowModel& m = w.model();
  m.SetForeground("标签_登陆", kGreen);
  std::string name = m.Get("组合框_用户名").text;
  if (name.empty()) {
    rt::ShowMessage("请输入您的用户名！", "", 0, w.hwnd());
    return;
  }
  std::string password = m.Get("编辑框_密码").text;
  if (password.empty()) {
    rt::ShowMessage("请输入您的密码！", "", 0, w.hwnd());
    return;
  }
  mdb::DatabaseConnection& db = Program().database;
  // A query that fails logs nobody in: it reads as no such user.
  int h = db.OpenRecordset(LoginQuery(name));
  db.MoveFirst(h);
  if (h == 0 || ReadText(h, "用户名").empty()) {
    db.CloseRecordset(h);
    rt::ShowMessage("此用户名不是本系统的用户,请重新输入……", "", 48, w.hwnd());
    return;
  }
  db.MoveFirst(h);
  if (ReadText(h, "密码") != password) {
    db.CloseRecordset(h);
    rt::ShowMessage("您输入的密码有误，请重新输入……", "", 48, w.hwnd());
    return;
  }
  db.CloseRecordset(h);
  Program().CurrentUserName = name;
  w.Destroy();
}

}  // namespace

void RunLogin(rt::RuntimeWindow& owner) {
  rt::RuntimeWindow w(kLoginWindow);
  rt::WindowModel& m = w.model();
  m.On("", Event::Created, [&](rt::EventArgs&) {
    ApplySkin();
    RECT r;
    GetWindowRect(w.hwnd(), &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    const rt::UnitState& frame = m.Get("分组框1");
    m.SetGeometry("分组框1", frame.left, frame.top, width - 14, height - 39);
    const rt::UnitState& end = m.Get("按钮_结束");
    m.SetGeometry("按钮_结束", width - 50, end.top, end.width, end.height);
    const rt::UnitState& logo = m.Get("透明标签_logo");
    m.SetGeometry("透明标签_logo", width - 98, logo.top, logo.width, logo.height);
    mdb::DatabaseConnection& db = Program().database;
    int h = db.OpenRecordset(UserNamesQuery());
    for (db.MoveFirst(h); !db.IsEOF(h); db.MoveNext(h)) m.AddEntry("组合框_用户名", ReadText(h, "用户名"));
    db.CloseRecordset(h);
  });
  m.On("组合框_用户名", Event::ComboChosen, [&](rt::EventArgs&) {
    if (m.Get("组合框_用户名").text == "admin") m.SetText("编辑框_密码", "246135");
  });
  m.On("组合框_用户名", Event::ComboTyped, [&](rt::EventArgs&) { m.SetText("编辑框_密码", ""); });
  // The two labels act as buttons: red while pressed, green once released.
  // Only their text colour changes: a red face would hide the red text.
  for (const char* label : {"标签_登陆", "标签2"})
    m.On(label, Event::LeftButtonDown, [&m, label](rt::EventArgs&) { m.SetForeground(label, kRed); });
  m.On("标签_登陆", Event::LeftButtonUp, [&](rt::EventArgs&) { OnLogin(w); });
  m.On("标签2", Event::LeftButtonUp, [&](rt::EventArgs&) {
    m.SetForeground("标签2", kGreen);
    rt::ExitProgram(0);
  });
  m.On("按钮_结束", Event::Click, [](rt::EventArgs&) { rt::ExitProgram(0); });
  // Closed by the system's close key: nobody logged in, the program ends.
  m.On("", Event::Closing, [](rt::EventArgs&) { rt::ExitProgram(0); });
  rt::Loader::Instance().LoadModal(w, &owner);
}

void ApplyUserRights(rt::WindowModel& main) {
  mdb::DatabaseConnection& db = Program().database;
  int h = db.OpenRecordset(LoginQuery(Program().CurrentUserName));
  db.MoveFirst(h);
  for (int i = 0; i < 9; ++i) {
    const RightControl& r = kRightControls[i];
    bool granted = !db.IsEOF(h) && ReadBool(h, kRightColumns[i]);
    if (r.is_menu) main.SetMenuEnabled(r.control, granted);
    else main.SetDisabled(r.control, !granted);
  }
  db.CloseRecordset(h);
}

}  // namespace keeper
