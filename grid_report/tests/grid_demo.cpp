// The five-day form in the grid control of a report window, then its print
// preview, shown so that both can be photographed under Wine.
//
//   grid_demo.exe WORK_FOLDER
// writes grid-ready once the grid has been drawn and waits for grid-go,
// then opens the preview, writes preview-ready and waits for preview-go;
// exits with 42 when both came up.
#include <windows.h>

#include <string>

#include "grid_print.h"
#include "grid_view.h"
#include "loader.h"
#include "runtime_window.h"
#include "template_file.h"

namespace {

constexpr int kExitOk = 42;

const rt::WindowTemplate kFiveDay = {
    "FiveDayReportWindow", "打印五日数据", 10, 10, 948, 517, rt::Border::Normal,
    {{rt::UnitKind::Grid, "表格_五日报表", "", 8, 55, 832, 425},
     {rt::UnitKind::TransparentLabel, "透明标签_五日报表头", "某某乡卫生院五日报表", 5, 8, 820, 40},
     {rt::UnitKind::Button, "按钮_打印预览五日报表", "打印预览", 851, 226, 80, 37},
     {rt::UnitKind::Button, "按钮_打印五日报表", "打印", 851, 291, 80, 37},
     {rt::UnitKind::Timer, "时钟1", "", 0, 0, 0, 0, "", true, false, 100}},
    {}};

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void Touch(const std::wstring& path) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
}

void Fill(grid::GridData& g) {
  const char* title = "某某乡卫生系统收入日报表";
  for (int row : {1, 16, 30, 45, 59, 74}) g.SetCellText(row, 1, title);
  g.SetCellText(4, 3, "某某乡卫生院");
  g.SetCellText(4, 9, "2010年3月25日");
  g.SetCellText(5, 1, "10");
  const char* figures[17] = {"12.5", "30", "48", "60", "0", "120", "35.5", "20", "8",
                             "334", "48.6", "120", "168.6", "502.6", "41", "15", "517.6"};
  for (int day = 0; day < 6; ++day) {
    g.SetCellText(7 + day, 1, "2");
    g.SetCellText(7 + day, 2, std::to_string(26 + day));
    for (int c = 0; c < 17; ++c) g.SetCellText(7 + day, 3 + c, figures[c]);
  }
  g.SetCellText(13, 3, "75");
  g.SetCurrentCell(7, 3);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  std::wstring work = argv[1];
  grid::GridData data;
  if (!grid::LoadTemplateFile("wrbb.grd", &data)) return 3;
  Fill(data);

  rt::RuntimeWindow window(kFiveDay);
  if (!rt::Loader::Instance().LoadModeless(window, nullptr)) return 1;
  HWND view = grid::AttachGridView(window, "表格_五日报表", data);
  if (!view) return 4;

  grid::PrintInf settings;
  settings.value[grid::PrintInf::kPaper] = 2;
  settings.value[grid::PrintInf::kOrientation] = 1;
  settings.value[grid::PrintInf::kLeft] = settings.value[grid::PrintInf::kTop] = 30;
  settings.value[grid::PrintInf::kRight] = 30;
  settings.value[grid::PrintInf::kBottom] = 20;

  // The first tick comes after the window has been drawn.
  int stage = 0;
  HWND preview = nullptr;
  rt::WindowModel& m = window.model();
  m.On("时钟1", rt::Event::TimerTick, [&](rt::EventArgs&) {
    switch (stage) {
      case 0:
        Touch(work + L"\\grid-ready");
        stage = 1;
        break;
      case 1:
        if (!Exists(work + L"\\grid-go")) break;
        preview = grid::OpenPrintPreview(window.hwnd(), data, settings);
        if (preview) MoveWindow(preview, 20, 20, 1000, 760, TRUE);
        stage = 2;
        break;
      case 2:
        Touch(work + L"\\preview-ready");
        stage = 3;
        break;
      case 3:
        if (!Exists(work + L"\\preview-go")) break;
        if (preview) DestroyWindow(preview);
        window.Destroy();
        stage = 4;
        break;
    }
  });
  rt::Loader::Instance().RunMessageLoop();
  return stage == 4 && preview ? kExitOk : 1;
}
