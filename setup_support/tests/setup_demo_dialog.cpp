#include "setup_demo_dialog.h"

namespace {

DemoDialog* Of(void* owner) { return static_cast<DemoDialog*>(owner); }
void OnInstall(void* owner) { ++Of(owner)->install_clicks; }
void OnLink(void* owner) { ++Of(owner)->link_clicks; }
void OnCheck(void* owner) { ++Of(owner)->check_clicks; }

}  // namespace

DemoDialog::DemoDialog() : link(L"更改", 300, 80, 50, 20) {}

void DemoDialog::OnInit() {
  CQvDlg::OnInit();
  title.SetText(L"QV-安装向导 演示", 12, 0, 250, 30);
  title.text_color = RGB(255, 255, 255);
  close.Init(L"", kWidth - 40, 1, 38, 18, 0, 1, hwnd);
  close.image_id = 60006;
  close.image_count = 3;
  label.SetText(L"安装路径", 30, 50, 200, 24);
  folder.SetText(L"C:\\Program Files\\Zuzaror", 30, 78, 260, 24);
  folder.text_color = RGB(0x33, 0x44, 0x55);
  link.on_click = OnLink;
  run_after.Init(true, L"安装完成后运行 Zuzaror", 125, hwnd);
  run_after.on_click = OnCheck;
  cancel.Init(L"取 消", 60, 176, 80, 26, 2, 1, hwnd);
  install.Init(L"安 装", 150, 176, 80, 26, 2, 1, hwnd);
  install.on_click = OnInstall;
  finished.Init(L"完 成", 240, 176, 80, 26, 2, 1, hwnd);
  finished.state = kQvButtonClicked;
  finished.text_color = RGB(0x99, 0x99, 0x99);
  controls = {&title, &close, &label, &folder, &link, &run_after, &cancel, &install, &finished};
}
