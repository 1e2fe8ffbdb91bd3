// The settlement-mode window: the user confirms the configured settlement
// before the five-day report is built, or goes to change it.
#include "ini_file.h"
#include "loader.h"
#include "program.h"

namespace keeper {
namespace {

const rt::WindowTemplate kSettlementModeWindow = {
    "SettlementModeWindow", "确认结算方式", 50, 50, 250, 118, rt::Border::Dialog,
    {{rt::UnitKind::RadioButton, "单选框_25号结算", "25号结算", 32, 16, 88, 24},
     {rt::UnitKind::RadioButton, "单选框_月末结算", "月末结算", 128, 16, 88, 24},
     {rt::UnitKind::Button, "按钮_确认结算方式", "确认", 40, 56, 64, 24},
     {rt::UnitKind::Button, "按钮_重设", "重设", 128, 56, 64, 24}}};

}  // namespace

void ShowSettlementModeWindow(rt::RuntimeWindow& owner) {
  rt::RuntimeWindow w(kSettlementModeWindow);
  rt::WindowModel& m = w.model();
  m.On("", rt::Event::Created, [&m](rt::EventArgs&) {
    ApplySkin();
    std::string ini = SettingsPath();
    bool on25 = rt::IniRead(ini, kSettingsSection, kKeyOn25th, "") == "1";
    m.SetChecked("单选框_25号结算", on25);
    m.SetChecked("单选框_月末结算", rt::IniRead(ini, kSettingsSection, kKeyOnMonthEnd, "") == "1");
    // The mode can be confirmed here, not switched: that is the display-mode
    // window's work, which restarts the program.
    m.SetDisabled(on25 ? "单选框_月末结算" : "单选框_25号结算", true);
  });
  m.On("按钮_确认结算方式", rt::Event::Click, [&w, &m, &owner](rt::EventArgs&) {
    ProgramState& p = Program();
    p.SettlementOn25th = m.Get("单选框_25号结算").checked;
    p.SettlementOnMonthEnd = m.Get("单选框_月末结算").checked;
    ShowFiveDayReportWindow(owner);
    w.Destroy();
  });
  m.On("按钮_重设", rt::Event::Click, [&w, &owner](rt::EventArgs&) {
    ShowDisplayModeWindow(&owner, false);
    w.Destroy();
  });
  rt::Loader::Instance().LoadModal(w, &owner);
}

}  // namespace keeper
