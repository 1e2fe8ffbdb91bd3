#include "record_list.h"

#include "program.h"

namespace keeper {
namespace {

struct ListColumnDef {
  const char* title;
  int width;
  const char* column;
};
const ListColumnDef kListColumns[18] = {
    {"   日   期", 120, "日期"},    {"挂 号", 100, "挂号"},     {"B 超", 100, "B超"},
    {"治 疗", 100, "治疗"},         {"多普勒", 100, "多普勒"},  {"手 术", 100, "手术"},
    {"化 验", 100, "化验"},         {"其 它", 100, "其它"},     {"心电图", 100, "心电图"},
    {"X 光", 100, "X光"},           {"医疗收入合计", 120, "医疗收入合计"},
    {"人 次", 100, "人次"},         {"中 药", 100, "中药"},     {"西 药", 100, "西药"},
    {"药品收入合计", 120, "药品收入合计"}, {"医疗加药品总计收入", 160, "医疗加药品总计收入"},
    {"防疫收入", 100, "防疫收入"},  {"各项收入总合计", 150, "各项收入总合计"}};

}  // namespace

void SetupRecordListColumns(rt::WindowModel& window, const char* list) {
  for (const ListColumnDef& c : kListColumns) window.InsertColumn(list, c.title, c.width, true);
}

void FillRecordList(rt::WindowModel& window, const char* list, mdb::DatabaseConnection& db,
                    const std::string& sql) {
  window.DeleteAllItems(list);
  int h = db.OpenRecordset(sql);
  for (db.MoveFirst(h); !db.IsEOF(h); db.MoveNext(h)) {
    std::string date = ReadText(db, h, "日期");
    int row = window.InsertItem(list, date, ReadKey(db, h, "编号"));
    for (int c = 1; c < 18; ++c) window.SetItemText(list, row, c, ReadText(db, h, kListColumns[c].column));
  }
  db.CloseRecordset(h);
}

}  // namespace keeper
