// The display-mode window: which settlement the record list follows.
#include <memory>

#include "ini_file.h"
#include "loader.h"
#include "program.h"

namespace keeper {
namespace {

const rt::WindowTemplate kDisplayModeWindow = {
    "DisplayModeWindow", "设置默认显示方式", 50, 50, 250, 118, rt::Border::Dialog,
    {{rt::UnitKind::RadioButton, "单选框_25号结算", "25号结算", 32, 16, 88, 24},
     {rt::UnitKind::RadioButton, "单选框_月末结算", "月末结算", 128, 16, 88, 24},
     {rt::UnitKind::Button, "按钮_设置为系统默认", "设置为系统默认", 56, 48, 112, 24}}};

void OnDisplayModeWindowCreated(rt::WindowModel& m) {
  ApplySkin();
  std::string ini = SettingsPath();
  m.SetChecked("单选框_25号结算", rt::IniRead(ini, kSettingsSection, kKeyOn25th, "") == "1");
  m.SetChecked("单选框_月末结算", rt::IniRead(ini, kSettingsSection, kKeyOnMonthEnd, "") == "1");
}

void OnSaveDisplayModeClick(rt::RuntimeWindow& w) {
  rt::WindowModel& m = w.model();
  bool on25 = m.Get("单选框_25号结算").checked, month_end = m.Get("单选框_月末结算").checked;
  // Saving with neither chosen would restart into the same error.
  if (!on25 && !month_end) {
    rt::ShowMessage("请先选择一种结算方式！", "提示", 48, w.hwnd());
    return;
  }
  std::string ini = SettingsPath();
  bool ok = rt::IniWrite(ini, kSettingsSection, kKeyOn25th, on25 ? "1" : "0") &&
            rt::IniWrite(ini, kSettingsSection, kKeyOnMonthEnd, month_end ? "1" : "0");
  if (!ok) {
    rt::ShowMessage("设置失败！", "失败", 48, w.hwnd());
    return;
  }
  rt::ShowMessage("设置成功，设置将在重新启动本系统后生效！", "成功", 64, w.hwnd());
  rt::StartProgram(rt::ModulePath());
  rt::ExitProgram(0);
}

}  // namespace

void ShowDisplayModeWindow(rt::RuntimeWindow* owner, bool modal) {
  static std::unique_ptr<rt::RuntimeWindow> modeless;
  auto holder = std::make_unique<rt::RuntimeWindow>(kDisplayModeWindow);
  rt::RuntimeWindow& w = *holder;
  w.model().On("", rt::Event::Created, [&w](rt::EventArgs&) { OnDisplayModeWindowCreated(w.model()); });
  w.model().On("按钮_设置为系统默认", rt::Event::Click, [&w](rt::EventArgs&) { OnSaveDisplayModeClick(w); });
  if (modal) {
    rt::Loader::Instance().LoadModal(w, owner);
  } else {
    rt::Loader::Instance().LoadModeless(w, owner);
    modeless = std::move(holder);
  }
}

}  // namespace keeper
