#include "schema.h"

#include <cctype>

#include "gbk_text.h"

namespace mdb {

const std::vector<TableDef>& Tables() {
  static const std::vector<TableDef> tables = [] {
    std::vector<TableDef> t;
    TableDef records{"项目数据", {{"编号", FieldType::Integer}, {"日期", FieldType::Date}}};
    for (const char* figure : {"挂号", "B超", "治疗", "多普勒", "手术", "化验", "其它", "心电图", "X光",
                               "医疗收入合计", "人次", "中药", "西药", "药品收入合计",
                               "医疗加药品总计收入", "防疫收入", "各项收入总合计"})
      records.columns.push_back({figure, FieldType::Text});
    t.push_back(records);

    TableDef users{"用户信息", {{"编号", FieldType::Integer},
                                {"用户名", FieldType::Text},
                                {"密码", FieldType::Text}}};
    for (const char* right : {"用户管理", "设置单位名称", "数据备份", "数据恢复", "增加", "修改", "删除",
                              "打印五日报表", "打印统计报表"})
      users.columns.push_back({right, FieldType::Boolean});
    t.push_back(users);

    t.push_back(TableDef{"单位名称", {{"单位名称", FieldType::Text}}});
    return t;
  }();
  return tables;
}

bool IsDateColumn(std::string_view gbk_name) {
  for (const TableDef& table : Tables())
    for (const ColumnDef& column : table.columns)
      if (column.type == FieldType::Date && gbk_name == column.name) return true;
  return false;
}

const char* DeclaredTypeName(FieldType type) {
  switch (type) {
    case FieldType::Text: return "TEXT";
    case FieldType::Boolean: return "BOOLEAN";
    case FieldType::Integer: return "INTEGER";
    case FieldType::Float: return "DOUBLE";
    case FieldType::Date: return "DATETIME";
    case FieldType::Binary: return "BLOB";
  }
  return "TEXT";
}

FieldType TypeFromDeclared(std::string_view declared, bool* known) {
  std::string upper;
  for (char c : declared) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  *known = true;
  if (upper == "TEXT" || upper.rfind("VARCHAR", 0) == 0 || upper == "CHAR") return FieldType::Text;
  if (upper == "BOOLEAN" || upper == "YESNO" || upper == "BIT") return FieldType::Boolean;
  if (upper == "INTEGER" || upper == "INT" || upper == "COUNTER" || upper == "LONG")
    return FieldType::Integer;
  if (upper == "DOUBLE" || upper == "REAL" || upper == "FLOAT") return FieldType::Float;
  if (upper == "DATETIME" || upper == "DATE") return FieldType::Date;
  if (upper == "BLOB") return FieldType::Binary;
  *known = false;
  return FieldType::Text;
}

namespace {
std::string Quoted(const char* gbk) {
  std::string utf8 = zz::GbkToUtf8(gbk), out = "\"";
  for (char c : utf8) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}
}  // namespace

std::vector<std::string> CreateStatements() {
  std::vector<std::string> out;
  for (const TableDef& table : Tables()) {
    std::string sql = "CREATE TABLE " + Quoted(table.name) + " (";
    bool first = true;
    for (const ColumnDef& column : table.columns) {
      if (!first) sql += ", ";
      first = false;
      sql += Quoted(column.name) + " " + DeclaredTypeName(column.type);
      // No key is ever used twice, even after the newest row was deleted.
      if (std::string_view(column.name) == "编号") sql += " PRIMARY KEY AUTOINCREMENT";
    }
    out.push_back(sql + ")");
  }
  return out;
}

}  // namespace mdb
