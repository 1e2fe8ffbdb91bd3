// The about window.
#include "loader.h"
#include "program.h"

namespace keeper {
namespace {

const rt::WindowTemplate kAboutWindow = {
    "AboutWindow", "关于", 330, 200, 380, 250, rt::Border::Dialog,
    {{rt::UnitKind::TransparentLabel, "透明标签1", "Zuzaror", 34, 8, 216, 32},
     {rt::UnitKind::TransparentLabel, "透明标签2",
      "卫生院每日收入记录与报表程序：\r\n按项目登记每日收入，打印五日报表和统计报表。", 14, 48, 347, 40},
     {rt::UnitKind::MultiLineEdit, "编辑框1",
      "本软件受著作权法保护。未经许可，不得复制、修改或传播本软件的全部或部分内容。", 8, 120, 360, 72},
     {rt::UnitKind::Button, "超级按钮1", "确  认", 288, 195, 72, 23}}};

}  // namespace

void ShowAboutWindow(rt::RuntimeWindow& owner) {
  rt::RuntimeWindow w(kAboutWindow);
  w.model().On("", rt::Event::Created, [](rt::EventArgs&) { ApplySkin(); });
  w.model().On("超级按钮1", rt::Event::Click, [&](rt::EventArgs&) { w.Destroy(); });
  rt::Loader::Instance().LoadModal(w, &owner);
}

}  // namespace keeper
