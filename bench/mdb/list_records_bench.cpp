// Lists ten years of daily records (3,650 rows) through the database unit,
// reading every column of every row, as the record list does.
//
//   list_records_bench FILE      creates FILE (must not exist) and times it
// Prints the milliseconds of the best of five runs; bench/mdb/run.sh sets it
// against the same query through the sqlite3 command-line tool.
#include <chrono>
#include <cstdio>
#include <string>

#include "database_connection.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string path = argv[1], password = "qe.7358+-";
  std::string error;
  if (!mdb::DatabaseConnection::CreateDatabaseFile(path, password, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  mdb::DatabaseConnection db;
  if (!db.OpenExternalDatabase(path, "", password)) return 1;
  db.ExecuteStatement("insert into [单位名称] ([单位名称]) values ('x')");
  int year = 2001, month = 1, d = 1;
  for (int day = 0; day < 3650; ++day) {
    std::string date =
        std::to_string(year) + "年" + std::to_string(month) + "月" + std::to_string(d) + "日";
    std::string sql =
        "insert into [项目数据] ([日期],[挂号],[B超],[治疗],[多普勒],[手术],[化验],[其它],[心电图],"
        "[X光],[医疗收入合计],[人次],[中药],[西药],[药品收入合计],[医疗加药品总计收入],[防疫收入],"
        "[各项收入总合计]) values ('" + date + "'";
    for (int c = 0; c < 17; ++c) sql += ",'" + std::to_string(c * 10 + day % 7) + ".5'";
    if (!db.ExecuteStatement(sql + ")")) return 1;
    if (++d > zz::DaysInMonth(year, month)) {
      d = 1;
      if (++month > 12) month = 1, ++year;
    }
  }
  const char* columns[] = {"编号", "日期", "挂号", "B超", "治疗", "多普勒", "手术", "化验", "其它", "心电图",
                           "X光", "医疗收入合计", "人次", "中药", "西药", "药品收入合计",
                           "医疗加药品总计收入", "防疫收入", "各项收入总合计"};
  double best = 1e9;
  std::size_t rows = 0;
  for (int run = 0; run < 5; ++run) {
    auto start = std::chrono::steady_clock::now();
    int h = db.OpenRecordset(
        "select * from [项目数据] where [日期]>=#2001-1-1# and [日期]<=#2010-12-31#order by [日期]");
    rows = 0;
    std::string text;
    for (db.MoveFirst(h); !db.IsEOF(h); db.MoveNext(h), ++rows)
      for (const char* column : columns) db.ReadField(h, column).AsText(&text);
    db.CloseRecordset(h);
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (ms < best) best = ms;
  }
  std::printf("%zu rows, %.2f ms\n", rows, best);
  return 0;
}
