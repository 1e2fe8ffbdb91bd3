// Fills the statistics report with a year of days (365 rows) in a real
// window under Wine, the grid control told of every appended row against
// the grid filled first and told once, as the report window fills it.
//
//   fill_statistics_bench.exe [days]   prints the times in milliseconds
//                                      (best of 3); tjbb.grd is read from
//                                      the program's folder
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "loader.h"
#include "report_grid.h"
#include "runtime_window.h"
#include "statistics_report.h"

namespace {

double Ms(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// One fill in a fresh window, up to the grid painted; -1 when the template
// cannot be loaded.
double TimeFill(const std::vector<keeper::StatisticsDay>& days, bool held) {
  const rt::WindowTemplate t = {"Bench", "Bench", 0, 0, 1083, 597, rt::Border::Normal,
                                {{rt::UnitKind::Grid, "grid", "", 13, 8, 947, 552}}};
  rt::RuntimeWindow window(t);
  rt::Loader::Instance().LoadModeless(window, nullptr);
  Pump();
  auto start = std::chrono::steady_clock::now();
  std::unique_ptr<keeper::ReportGrid> grid = keeper::MakeReportGrid();
  if (!grid->Load(rt::ModuleFolder() + "\\tjbb.grd")) return -1;
  grid->Attach(window, "grid");
  keeper::PrepareStatisticsReport(grid->cells(), "城南卫生院");
  if (held) grid->HoldRefresh(true);
  keeper::FillStatisticsRows(grid->cells(), days);
  if (held) grid->HoldRefresh(false);
  UpdateWindow(window.hwnd());
  Pump();
  double ms = Ms(start);
  window.Destroy();
  Pump();
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 365;
  std::vector<keeper::StatisticsDay> days(static_cast<std::size_t>(count));
  zz::DateTime day{2010, 1, 1};
  for (keeper::StatisticsDay& d : days) {
    d.date = day;
    d.figures.fill("12.34");
    if (++day.day > zz::DaysInMonth(day.year, day.month)) {
      day.day = 1;
      if (++day.month > 12) day.month = 1, ++day.year;
    }
  }
  double every_row = 1e9, held = 1e9;
  for (int run = 0; run < 3; ++run) {
    every_row = std::min(every_row, TimeFill(days, false));
    held = std::min(held, TimeFill(days, true));
  }
  if (every_row < 0 || held < 0) return 1;
  std::printf("days %d\ngrid told of every row (before) %.1f ms\nfilled, then told once %.1f ms\n", count,
              every_row, held);
  return 0;
}
