// Lists ten years of daily records (3,650 rows) through the database unit,
// reading every column of every row as text, as the record list does, and
// the same query on the same file through SQLite's own C API in the same
// process: the difference is the unit's own cost.
//
//   list_records_bench FILE      creates FILE (must not exist) and times it
// Prints the milliseconds of the best of seven runs of each and their ratio.
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "access_sql.h"
#include "database_connection.h"
#include "gbk_text.h"

namespace {

const char* const kQuery =
    "select * from [项目数据] where [日期]>=#2001-1-1# and [日期]<=#2010-12-31#order by [日期]";

double BestOf(int runs, const std::function<std::size_t()>& run, std::size_t* rows) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    auto start = std::chrono::steady_clock::now();
    *rows = run();
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (ms < best) best = ms;
  }
  return best;
}

bool Fill(mdb::DatabaseConnection& db) {
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
    if (!db.ExecuteStatement(sql + ")")) return false;
    if (++d > zz::DaysInMonth(year, month)) {
      d = 1;
      if (++month > 12) month = 1, ++year;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string path = argv[1], password = "qe.7358+-";
  std::string error;
  if (!mdb::DatabaseConnection::CreateDatabaseFile(path, password, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  mdb::DatabaseConnection db;
  if (!db.OpenExternalDatabase(path, "", password) || !Fill(db)) return 1;

  const char* columns[] = {"编号", "日期", "挂号", "B超", "治疗", "多普勒", "手术", "化验", "其它", "心电图",
                           "X光", "医疗收入合计", "人次", "中药", "西药", "药品收入合计",
                           "医疗加药品总计收入", "防疫收入", "各项收入总合计"};
  std::size_t unit_rows = 0, raw_rows = 0;
  double unit = BestOf(7, [&] {
    std::size_t rows = 0;
    int h = db.OpenRecordset(kQuery);
    std::string text;
    for (db.MoveFirst(h); !db.IsEOF(h); db.MoveNext(h), ++rows)
      for (const char* column : columns) db.ReadField(h, column).AsText(&text);
    db.CloseRecordset(h);
    return rows;
  }, &unit_rows);

  // The same statement as the unit hands to SQLite, every column read as
  // text into a string.
  auto translated = mdb::TranslateAccessSql(kQuery, &error);
  sqlite3* raw = nullptr;
  if (!translated ||
      sqlite3_open_v2(zz::GbkToUtf8(path).c_str(), &raw, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
    return 1;
  double sqlite = BestOf(7, [&] {
    std::size_t rows = 0;
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(raw, translated->c_str(), -1, &stmt, nullptr);
    std::string text;
    int n = sqlite3_column_count(stmt);
    for (; sqlite3_step(stmt) == SQLITE_ROW; ++rows)
      for (int c = 0; c < n; ++c) {
        const unsigned char* t = sqlite3_column_text(stmt, c);
        std::size_t bytes = static_cast<std::size_t>(sqlite3_column_bytes(stmt, c));
        text.assign(t ? reinterpret_cast<const char*>(t) : "", bytes);
      }
    sqlite3_finalize(stmt);
    return rows;
  }, &raw_rows);
  sqlite3_close(raw);
  std::printf("database unit: %zu rows, %.2f ms\nSQLite C API: %zu rows, %.2f ms\nratio: %.2f\n", unit_rows,
              unit, raw_rows, sqlite, unit / sqlite);
  return unit_rows == raw_rows ? 0 : 1;
}
