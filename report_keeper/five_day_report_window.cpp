// The five-day report window: fills the form from the period's records when
// it is created, then previews or prints it.
#include <list>
#include <memory>

#include "clock.h"
#include "five_day_report.h"
#include "loader.h"
#include "program.h"
#include "report_grid.h"
#include "sql_text.h"

namespace keeper {
namespace {

const char* const kGrid = "表格_五日报表";
const char* const kHeader = "透明标签_五日报表头";

const rt::WindowTemplate kFiveDayReportWindow = {
    "FiveDayReportWindow", "打印五日数据", 50, 50, 948, 517, rt::Border::Dialog,
    {{rt::UnitKind::Grid, kGrid, "", 8, 55, 832, 425},
     {rt::UnitKind::TransparentLabel, kHeader, "", 5, 8, 820, 40},
     {rt::UnitKind::Button, "按钮_打印预览五日报表", "打印预览", 851, 226, 80, 37},
     {rt::UnitKind::Button, "按钮_打印五日报表", "打印", 851, 291, 80, 37}}};

struct ReportWindow {
  ReportWindow() : window(kFiveDayReportWindow), grid(MakeReportGrid()) {}
  rt::RuntimeWindow window;
  std::unique_ptr<ReportGrid> grid;
};

// The rows the form can hold, read in date order; the recordset is closed
// as soon as it has given what the form takes.
FiveDayRecords ReadPeriod(const Period& period) {
  mdb::DatabaseConnection& db = Program().database;
  FiveDayRecords days;
  int h = db.OpenRecordset(PeriodQuery(period));
  for (db.MoveFirst(h); !db.IsEOF(h) && days.size() < kFiveDayCapacity; db.MoveNext(h)) {
    DayFigures day;
    day.date = ReadDateOrText(h, "日期");
    for (int i = 0; i < 17; ++i) day.figures[i] = ReadText(h, kFiveDayColumns[i]);
    days.push_back(day);
  }
  db.CloseRecordset(h);
  return days;
}

void OnCreated(ReportWindow& r) {
  ApplySkin();
  rt::RuntimeWindow& w = r.window;
  if (!r.grid->Load(RunDirectory() + "\\wrbb.grd")) {
    rt::ShowMessage("加载报表模板失败！", "系统提示", 16, w.hwnd());
    w.Destroy();
    return;
  }
  r.grid->Attach(w, kGrid);
  ProgramState& p = Program();
  grid::ReportCells& cells = r.grid->cells();
  if (p.UnitNameText.empty()) {
    rt::ShowMessage("请你先设置单位信息！", "系统提示", 48, w.hwnd());
    w.model().SetText(kHeader, "你还没有设置单位信息!");
    PrepareFiveDayReport(cells, p.UnitNameText);
    return;
  }
  w.model().SetText(kHeader, p.UnitNameText + "五日报表");
  PrepareFiveDayReport(cells, p.UnitNameText);

  rt::WindowModel& main = p.main_window->model();
  bool range_mode = main.Get("按钮_查找").checked;
  zz::DateTime start = main.Get("日期框_开始").date, end = main.Get("日期框_终止").date;
  Period period;
  if (p.SettlementOn25th) {
    period = FiveDayPeriod25th(range_mode, start, end, rt::Now());
  } else if (p.SettlementOnMonthEnd) {
    period = FiveDayPeriodMonthEnd(range_mode, start, end, rt::Now());
  } else {
    w.Destroy();
    return;
  }
  FiveDayFill fill;
  fill.unit_name = p.UnitNameText;
  fill.period_text = FiveDayPeriodText(period);
  fill.year_texts = FiveDayYearTexts(period);
  fill.records = ReadPeriod(period);
  FillFiveDayBlocks(cells, fill);
}

}  // namespace

void ShowFiveDayReportWindow(rt::RuntimeWindow& owner) {
  // Report windows live until the user closes them; those already closed
  // are let go when the next one opens.
  static std::list<std::unique_ptr<ReportWindow>> open;
  open.remove_if([](const std::unique_ptr<ReportWindow>& r) { return !r->window.IsAlive(); });
  auto holder = std::make_unique<ReportWindow>();
  ReportWindow& r = *holder;
  rt::WindowModel& m = r.window.model();
  m.On("", rt::Event::Created, [&r](rt::EventArgs&) { OnCreated(r); });
  m.On("按钮_打印预览五日报表", rt::Event::Click, [&r](rt::EventArgs&) { r.grid->Preview(FiveDayPrintInf()); });
  m.On("按钮_打印五日报表", rt::Event::Click, [&r](rt::EventArgs&) { r.grid->Print(FiveDayPrintInf()); });
  open.push_back(std::move(holder));
  rt::Loader::Instance().LoadModeless(r.window, &owner);
}

}  // namespace keeper
