// The statistics report window: every day between the main window's two
// dates, filled when the window is created.
#include "loader.h"
#include "program.h"
#include "report_grid.h"
#include "sql_text.h"
#include "statistics_report.h"

namespace keeper {
namespace {

const char* const kGrid = "表格_统计表";

const rt::WindowTemplate kStatisticsReportWindow = {
    "StatisticsReportWindow", "打印统计报表", 50, 20, 1083, 597, rt::Border::Dialog,
    {{rt::UnitKind::Grid, kGrid, "", 13, 8, 947, 552},
     {rt::UnitKind::Button, "按钮_打印预览统计表", "打印预览", 968, 280, 96, 32},
     {rt::UnitKind::Button, "按钮_打印统计表", "打印", 968, 344, 96, 32}}};

std::vector<StatisticsDay> ReadDays(const zz::DateTime& start, const zz::DateTime& end) {
  mdb::DatabaseConnection& db = Program().database;
  std::vector<StatisticsDay> days;
  int h = db.OpenRecordset(StatisticsQuery(start, end));
  for (db.MoveFirst(h); !db.IsEOF(h); db.MoveNext(h)) {
    StatisticsDay day;
    day.date = ReadDateOrText(h, "日期");
    for (int i = 0; i < 14; ++i) day.figures[i] = ReadText(h, kStatisticsColumns[i]);
    days.push_back(day);
  }
  db.CloseRecordset(h);
  return days;
}

}  // namespace

void ShowStatisticsReportWindow(rt::RuntimeWindow& owner) {
  rt::RuntimeWindow w(kStatisticsReportWindow);
  std::unique_ptr<ReportGrid> grid = MakeReportGrid();
  rt::WindowModel& m = w.model();
  m.On("", rt::Event::Created, [&](rt::EventArgs&) {
    ApplySkin();
    if (!grid->Load(RunDirectory() + "\\tjbb.grd")) {
      rt::ShowMessage("加载报表模板失败！", "系统提示", 16, w.hwnd());
      w.Destroy();
      return;
    }
    grid->Attach(w, kGrid);
    const std::string& unit_name = Program().UnitNameText;
    if (unit_name.empty()) rt::ShowMessage("请你先设置单位信息！", "系统提示", 48, w.hwnd());
    if (!PrepareStatisticsReport(grid->cells(), unit_name)) return;
    // The two dates as they stand, whether or not the search is on.
    rt::WindowModel& main = Program().main_window->model();
    grid->HoldRefresh(true);
    FillStatisticsRows(grid->cells(), ReadDays(main.Get("日期框_开始").date, main.Get("日期框_终止").date));
    grid->HoldRefresh(false);
  });
  m.On("按钮_打印预览统计表", rt::Event::Click, [&](rt::EventArgs&) { grid->Preview(StatisticsPrintInf()); });
  // Printing works as on the five-day report, with this report's settings.
  m.On("按钮_打印统计表", rt::Event::Click, [&](rt::EventArgs&) { grid->Print(StatisticsPrintInf()); });
  rt::Loader::Instance().LoadModal(w, &owner);
}

}  // namespace keeper
