#include "sql_text.h"

#include "access_sql.h"

namespace keeper {

const char* const kRecordColumns[18] = {
    "日期", "挂号", "B超", "治疗", "多普勒", "手术", "化验", "其它", "心电图", "X光",
    "医疗收入合计", "人次", "中药", "西药", "药品收入合计", "医疗加药品总计收入", "防疫收入",
    "各项收入总合计"};

std::string Quoted(const std::string& text) { return "'" + mdb::EscapeSqlText(text) + "'"; }

std::string UserNamesQuery() { return "select [用户名] from [用户信息]"; }
std::string LoginQuery(const std::string& name) {
  return "select * from [用户信息] where [用户名]=" + Quoted(name);
}
const char* const kRightColumns[9] = {"用户管理", "设置单位名称", "数据备份", "数据恢复", "增加",
                                      "修改", "删除", "打印五日报表", "打印统计报表"};

namespace {
// Rights go in as the texts '1' and '0', which the Yes/No columns take.
std::string RightText(bool granted) { return granted ? "'1'" : "'0'"; }
}  // namespace

std::string UserListQuery() { return "select * from [用户信息]"; }
std::string SelectUser(long long key) { return "select * from [用户信息] where [编号]=" + std::to_string(key); }
std::string UserNameTakenQuery(const std::string& name) {
  return "select [用户名] from [用户信息] where [用户名]=" + Quoted(name);
}

std::string InsertUser(const UserAccount& user) {
  std::string sql = "insert into [用户信息] ([用户名],[密码]";
  for (const char* right : kRightColumns) sql += std::string(",[") + right + "]";
  sql += ") values (" + Quoted(user.name) + "," + Quoted(user.password);
  for (bool granted : user.rights) sql += "," + RightText(granted);
  return sql + ")";
}

std::string UpdateUser(const UserAccount& user, long long key) {
  std::string sql = "update [用户信息] set [用户名]=" + Quoted(user.name) + ",[密码]=" + Quoted(user.password);
  for (int i = 0; i < 9; ++i) sql += std::string(",[") + kRightColumns[i] + "]=" + RightText(user.rights[i]);
  return sql + " where [编号]=" + std::to_string(key);
}

std::string DeleteUser(long long key) { return "delete * from [用户信息] where [编号]=" + std::to_string(key); }

std::string UnitNameQuery() { return "select * from [单位名称]"; }
std::string InsertUnitName(const UnitName& name) {
  return "insert into [单位名称] ([单位名称]) values (" + Quoted(name) + ")";
}

std::string SlashDate(const zz::DateTime& d) {
  return std::to_string(d.year) + "/" + std::to_string(d.month) + "/" + std::to_string(d.day);
}
std::string DashDate(int year, int month, int day) {
  return std::to_string(year) + "-" + std::to_string(month) + "-" + std::to_string(day);
}

std::string DuplicateDateQuery(const zz::DateTime& day) {
  return "select [日期] from [项目数据] where [日期]=#" + SlashDate(day) + "#";
}

std::string PeriodQuery(const Period& p) {
  return "select * from [项目数据] where [日期]>=#" + DashDate(p.first_year, p.first_month, p.first_day) +
         "# and [日期]<=#" + DashDate(p.last_year, p.last_month, p.last_day) + "#order by [日期]";
}

std::string QueryPeriod25th(const zz::DateTime& today) {
  return PeriodQuery(SettlementPeriod(SettlementMode::On25th, today));
}

std::string QueryPeriodMonth(const zz::DateTime& today) {
  return PeriodQuery(SettlementPeriod(SettlementMode::MonthEnd, today));
}

std::string RangeQuery(const zz::DateTime& first, const zz::DateTime& last) {
  return "select * from [项目数据] where [日期]>=#" + SlashDate(first) + "# and [日期]<=#" +
         SlashDate(last) + "#order by [日期]";
}

std::string StatisticsQuery(const zz::DateTime& start, const zz::DateTime& end) {
  return PeriodQuery({start.year, start.month, start.day, end.year, end.month, end.day});
}

std::string SelectRecord(long long key) {
  return "select * from [项目数据] where [编号]=" + std::to_string(key);
}
std::string DeleteRecord(long long key) {
  return "delete * from [项目数据] where [编号]=" + std::to_string(key);
}

std::string InsertRecord(const IncomeRecord& values) {
  std::string sql = "insert into [项目数据] (";
  for (int i = 0; i < 18; ++i) sql += std::string(i ? "," : "") + "[" + kRecordColumns[i] + "]";
  sql += ") values (";
  for (int i = 0; i < 18; ++i) sql += (i ? "," : "") + Quoted(i < static_cast<int>(values.size()) ? values[i] : "");
  return sql + ")";
}

std::string UpdateRecord(const IncomeRecord& values, long long key) {
  std::string sql = "update [项目数据] set ";
  for (int i = 0; i < 18; ++i)
    sql += std::string(i ? "," : "") + "[" + kRecordColumns[i] + "]=" +
           Quoted(i < static_cast<int>(values.size()) ? values[i] : "");
  return sql + " where [编号]=" + std::to_string(key);
}

}  // namespace keeper
