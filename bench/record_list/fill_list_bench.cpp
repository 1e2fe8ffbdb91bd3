// Fills the record list with ten years of days (3,650 rows) in a real
// window under Wine, against the bare query that reads the same fields.
//
//   fill_list_bench.exe [rows [skin]]   prints the times in milliseconds
//                                       (best of 3), the list skinned as
//                                       the program skins it when a skin
//                                       number is given
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "database_connection.h"
#include "gbk_text.h"
#include "loader.h"
#include "program.h"
#include "record_list.h"
#include "runtime_window.h"
#include "skin_loader.h"
#include "sql_text.h"

namespace {

double Ms(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int rows = argc > 1 ? std::atoi(argv[1]) : 3650;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring wide = std::wstring(temp) + L"fill_list_bench.mdb";
  DeleteFileW(wide.c_str());
  std::string path = zz::WideToGbk(wide);
  mdb::DatabaseConnection& db = keeper::Program().database;
  if (!mdb::DatabaseConnection::CreateDatabaseFile(path, "pw", nullptr) ||
      !db.OpenExternalDatabase(path, "", "pw"))
    return 1;
  zz::DateTime day{2001, 1, 1};
  for (int i = 0; i < rows; ++i) {
    std::vector<std::string> values(18, std::to_string(i % 97) + ".5");
    values[0] = zz::FormatDateTime(day);
    db.ExecuteStatement(keeper::InsertRecord(values));
    if (++day.day > zz::DaysInMonth(day.year, day.month)) {
      day.day = 1;
      if (++day.month > 12) day.month = 1, ++day.year;
    }
  }
  const std::string sql = keeper::RangeQuery({2001, 1, 1}, {2011, 1, 1});

  const rt::WindowTemplate t = {"Bench", "Bench", 0, 0, 1024, 600, rt::Border::Normal,
                                {{rt::UnitKind::ListView, "list", "", 0, 0, 1000, 560}}};
  if (argc > 2 && !zz::skin::ApplySkin(std::atoi(argv[2]))) return 2;
  rt::RuntimeWindow window(t);
  rt::Loader::Instance().LoadModeless(window, nullptr);
  keeper::SetupRecordListColumns(window.model(), "list");

  rt::WindowModel bare_model(t);
  double fill = 1e9, query = 1e9, model = 1e9;
  for (int run = 0; run < 3; ++run) {
    auto start = std::chrono::steady_clock::now();
    keeper::FillRecordList(window.model(), "list", db, sql);
    fill = std::min(fill, Ms(start));
    start = std::chrono::steady_clock::now();
    int h = db.OpenRecordset(sql);
    std::string text;
    for (db.MoveFirst(h); !db.IsEOF(h); db.MoveNext(h))
      for (const char* column : keeper::kRecordColumns) db.ReadField(h, column).AsText(&text);
    db.CloseRecordset(h);
    query = std::min(query, Ms(start));
    start = std::chrono::steady_clock::now();
    keeper::FillRecordList(bare_model, "list", db, sql);
    model = std::min(model, Ms(start));
  }
  std::printf("rows %d\nFillRecordList %.1f ms\nwithout a window %.1f ms\nbare query %.1f ms\n",
              window.model().ItemCount("list"), fill, model, query);
  window.Destroy();
  db.CloseExternalDatabase();
  DeleteFileW(wide.c_str());
  return 0;
}
