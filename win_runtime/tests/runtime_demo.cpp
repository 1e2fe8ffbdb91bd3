// The every-unit window with some content, shown so that it can be
// photographed under Wine.
//
//   runtime_demo.exe READY_FILE GO_FILE
// writes READY_FILE once the window has been drawn, closes the window when
// GO_FILE appears, and exits with 42 when the window came up as expected.
#include <windows.h>

#include <cstdio>
#include <string>

#include "all_units_window.h"
#include "loader.h"
#include "runtime_window.h"

namespace {

constexpr int kExitOk = 42;

void Fill(rt::WindowModel& m) {
  m.SetText("编辑框_挂号", "12.5");
  m.SetChecked("选择框1", true);
  m.SetChecked("单选框1", true);
  for (const char* name : {"admin", "收费员"}) m.AddEntry("组合框_用户名", name);
  m.SetSelection("组合框_用户名", 0);

  const char* list = "超级列表框_数据显示";
  const char* columns[] = {"日期", "挂号", "治疗", "中药", "西药", "合计"};
  for (const char* title : columns) m.InsertColumn(list, title, title == columns[0] ? 140 : 90, true);
  const char* rows[][6] = {{"2010年3月24日", "12.5", "30", "48.6", "120", "211.1"},
                           {"2010年3月25日", "8", "0", "22", "76.5", "106.5"},
                           {"2010年3月26日", "15", "12", "0", "64", "91"}};
  for (int r = 0; r < 3; ++r) {
    m.InsertItem(list, rows[r][0], r + 1);
    for (int c = 1; c < 6; ++c) m.SetItemText(list, r, c, rows[r][c]);
  }
  m.SetSelection(list, 1);

  m.AddPanel("状态条_主", 200);
  m.AddPanel("状态条_主", 200);
  m.AddPanel("状态条_主", -1);
  m.SetPanelText("状态条_主", 0, "当前用户：admin");
  m.SetPanelText("状态条_主", 1, "本期：2010年3月");
  m.SetPanelText("状态条_主", 2, "就绪");

  const rt::UnitState& canvas = m.Get("画板");
  m.DrawRectangle("画板", 8, 8, canvas.width - 8, canvas.height - 8);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: runtime_demo READY_FILE GO_FILE\n");
    return 2;
  }
  std::wstring ready = argv[1], go = argv[2];
  rt::RuntimeWindow window(rt_test::kAll);
  if (!rt::Loader::Instance().LoadModeless(window, nullptr)) return 1;
  rt::WindowModel& m = window.model();
  Fill(m);

  // The first tick comes after the window has been drawn: only then is it
  // ready to be photographed.
  bool announced = false;
  m.On("时钟1", rt::Event::TimerTick, [&](rt::EventArgs&) {
    if (!announced) {
      HANDLE f = CreateFileW(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
      announced = true;
    }
    if (GetFileAttributesW(go.c_str()) != INVALID_FILE_ATTRIBUTES) window.Destroy();
  });
  m.SetInterval("时钟1", 100);
  rt::Loader::Instance().RunMessageLoop();
  return announced ? kExitOk : 1;
}
