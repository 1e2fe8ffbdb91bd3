#include <gtest/gtest.h>

#include "settlement.h"
#include "sql_text.h"
#include "totals.h"

namespace {

using keeper::SettlementMode;

std::string Text(const keeper::Period& p) {
  return keeper::DashDate(p.first_year, p.first_month, p.first_day) + ".." +
         keeper::DashDate(p.last_year, p.last_month, p.last_day);
}

TEST(Settlement, ModesFromTheTwoKeys) {
  EXPECT_EQ(keeper::ModeFromKeys("1", "0"), SettlementMode::On25th);
  EXPECT_EQ(keeper::ModeFromKeys("1", "1"), SettlementMode::On25th);
  EXPECT_EQ(keeper::ModeFromKeys("0", "1"), SettlementMode::MonthEnd);
  EXPECT_EQ(keeper::ModeFromKeys("", ""), SettlementMode::Invalid);
  EXPECT_EQ(keeper::ModeFromKeys("0", "0"), SettlementMode::Invalid);
  EXPECT_EQ(keeper::ModeFromKeys(" 1", "yes"), SettlementMode::Invalid);
}

TEST(Settlement, PeriodsAroundTheTurningDays) {
  struct Case { SettlementMode mode; zz::DateTime today; const char* period; } cases[] = {
      {SettlementMode::On25th, {2010, 3, 25}, "2010-2-26..2010-3-25"},
      {SettlementMode::On25th, {2010, 3, 26}, "2010-3-26..2010-4-25"},
      {SettlementMode::On25th, {2011, 1, 10}, "2010-12-26..2011-1-25"},
      {SettlementMode::On25th, {2010, 12, 28}, "2010-12-26..2011-1-25"},
      {SettlementMode::MonthEnd, {2024, 2, 10}, "2024-2-1..2024-2-29"},
      {SettlementMode::MonthEnd, {2023, 2, 28}, "2023-2-1..2023-2-28"},
      {SettlementMode::MonthEnd, {2010, 12, 31}, "2010-12-1..2010-12-31"},
  };
  for (const Case& c : cases) EXPECT_EQ(Text(keeper::SettlementPeriod(c.mode, c.today)), c.period);
}

TEST(Totals, ComputedFromTheTextsAsShown) {
  keeper::FigureTexts in;
  in.fields[0] = "0.1";
  in.fields[1] = "0.2";
  in.fields[2] = "12abc";
  in.fields[9] = "99";  // 人次 is in no sum
  in.fields[10] = "１２";  // full-width digits are not digits
  in.fields[11] = " 3.5";
  in.fields[12] = "1e3";
  keeper::TotalTexts t = keeper::RecomputeTotals(in);
  EXPECT_EQ(t.medical, "12.3");
  EXPECT_EQ(t.drugs, "3.5");
  EXPECT_EQ(t.total, "15.8");
  EXPECT_EQ(t.grand_total, "1015.8");

  keeper::TotalTexts empty = keeper::RecomputeTotals({});
  EXPECT_EQ(empty.medical, "0");
  EXPECT_EQ(empty.grand_total, "0");
}

TEST(SqlText, StatementsAsTheDatabaseReceivesThem) {
  EXPECT_EQ(keeper::DuplicateDateQuery({2010, 3, 6}),
            "select [日期] from [项目数据] where [日期]=#2010/3/6#");
  EXPECT_EQ(keeper::PeriodQuery({2010, 2, 26, 2010, 3, 25}),
            "select * from [项目数据] where [日期]>=#2010-2-26# and [日期]<=#2010-3-25#order by [日期]");
  EXPECT_EQ(keeper::RangeQuery({2010, 1, 5}, {2010, 10, 1}),
            "select * from [项目数据] where [日期]>=#2010/1/5# and [日期]<=#2010/10/1#order by [日期]");
  EXPECT_EQ(keeper::DeleteRecord(12), "delete * from [项目数据] where [编号]=12");
  EXPECT_EQ(keeper::SelectRecord(12), "select * from [项目数据] where [编号]=12");
  EXPECT_EQ(keeper::LoginQuery("admin"), "select * from [用户信息] where [用户名]='admin'");
  EXPECT_EQ(keeper::LoginQuery("x' or '1'='1"),
            "select * from [用户信息] where [用户名]='x'' or ''1''=''1'");
  EXPECT_EQ(keeper::InsertUnitName("卫生院's"), "insert into [单位名称] ([单位名称]) values ('卫生院''s')");

  std::vector<std::string> values(18, "1");
  values[0] = "2010年3月26日";
  values[1] = "1'2";
  EXPECT_EQ(keeper::InsertRecord(values),
            "insert into [项目数据] ([日期],[挂号],[B超],[治疗],[多普勒],[手术],[化验],[其它],[心电图],[X光],"
            "[医疗收入合计],[人次],[中药],[西药],[药品收入合计],[医疗加药品总计收入],[防疫收入],[各项收入总合计]) "
            "values ('2010年3月26日','1''2','1','1','1','1','1','1','1','1','1','1','1','1','1','1','1','1')");
  std::string update = keeper::UpdateRecord(values, 7);
  const std::string head = "update [项目数据] set [日期]='2010年3月26日',[挂号]='1''2',[B超]='1',";
  const std::string tail = ",[各项收入总合计]='1' where [编号]=7";
  EXPECT_EQ(update.substr(0, head.size()), head);
  EXPECT_EQ(update.substr(update.size() - tail.size()), tail);
}

TEST(SqlText, UserStatementsAsTheDatabaseReceivesThem) {
  EXPECT_EQ(keeper::UserListQuery(), "select * from [用户信息]");
  EXPECT_EQ(keeper::SelectUser(3), "select * from [用户信息] where [编号]=3");
  EXPECT_EQ(keeper::DeleteUser(3), "delete * from [用户信息] where [编号]=3");
  EXPECT_EQ(keeper::UserNameTakenQuery("clerk"), "select [用户名] from [用户信息] where [用户名]='clerk'");

  keeper::UserAccount user{"王五", "pw", {}};
  user.rights[0] = user.rights[8] = true;
  EXPECT_EQ(keeper::InsertUser(user),
            "insert into [用户信息] ([用户名],[密码],[用户管理],[设置单位名称],[数据备份],[数据恢复],[增加],"
            "[修改],[删除],[打印五日报表],[打印统计报表]) values ('王五','pw','1','0','0','0','0','0','0','0','1')");
  user.rights[0] = false;
  user.rights[4] = true;
  EXPECT_EQ(keeper::UpdateUser(user, 12),
            "update [用户信息] set [用户名]='王五',[密码]='pw',[用户管理]='0',[设置单位名称]='0',[数据备份]='0',"
            "[数据恢复]='0',[增加]='1',[修改]='0',[删除]='0',[打印五日报表]='0',[打印统计报表]='1' where [编号]=12");
  // Modify writes empty fields as they are: it makes none of the add checks.
  const std::string empty = "update [用户信息] set [用户名]='',[密码]='',";
  EXPECT_EQ(keeper::UpdateUser({}, 1).substr(0, empty.size()), empty);
}

TEST(SqlText, UserNamesAndPasswordsWithQuotesStayValues) {
  keeper::UserAccount user{"O'Brien", "it's", {}};
  EXPECT_EQ(keeper::UserNameTakenQuery(user.name), "select [用户名] from [用户信息] where [用户名]='O''Brien'");
  const std::string insert = keeper::InsertUser(user);
  EXPECT_NE(insert.find(" values ('O''Brien','it''s','0',"), std::string::npos) << insert;
  const std::string update = keeper::UpdateUser(user, 5);
  EXPECT_NE(update.find("set [用户名]='O''Brien',[密码]='it''s',"), std::string::npos) << update;
  // An attempt to widen the statement stays inside its quotes.
  user.name = "x',[用户管理]='1";
  EXPECT_NE(keeper::UpdateUser(user, 5).find("[用户名]='x'',[用户管理]=''1',"), std::string::npos);
}

}  // namespace
