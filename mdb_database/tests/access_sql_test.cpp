#include "access_sql.h"

#include <gtest/gtest.h>

#include "gbk_text.h"

namespace {

std::string Translate(const std::string& gbk) {
  std::string error;
  auto out = mdb::TranslateAccessSql(gbk, &error);
  return out ? zz::Utf8ToGbk(*out) : "REFUSED: " + error;
}

TEST(AccessSql, TranslatesTheProgramsStatementForms) {
  struct Case { const char* access; const char* sqlite; } cases[] = {
      {"select [日期] from [项目数据] where [日期]=#2010/3/26#",
       "select \"日期\" from \"项目数据\" where \"日期\" = '2010-03-26'"},
      {"select * from [项目数据] where [日期]>=#2010-3-26# and [日期]<=#2010-4-25#order by [日期]",
       "select * from \"项目数据\" where \"日期\" >= '2010-03-26' and \"日期\" <= '2010-04-25' order by "
       "\"日期\""},
      {"delete * from [项目数据] where [编号]=12", "delete from \"项目数据\" where \"编号\" = 12"},
      {"insert into [项目数据] ([日期],[挂号]) values ('2010年3月26日','12.5')",
       "insert into \"项目数据\" ( \"日期\" , \"挂号\" ) values ( '2010-03-26' , '12.5' )"},
      {"update [项目数据] set [日期]='2010年10月1日8时5分',[挂号]='3' where [编号]=7",
       "update \"项目数据\" set \"日期\" = '2010-10-01 08:05:00' , \"挂号\" = '3' where \"编号\" = 7"},
      {"select * from [用户信息] where [用户名]='x'' or ''1''=''1'",
       "select * from \"用户信息\" where \"用户名\" = 'x'' or ''1''=''1'"},
      {"insert into [单位名称] ([单位名称]) values ('卫生院');",
       "insert into \"单位名称\" ( \"单位名称\" ) values ( '卫生院' )"},
  };
  for (const Case& c : cases) EXPECT_EQ(Translate(c.access), c.sqlite) << c.access;
}

TEST(AccessSql, GbkTrailBytesNeverEndANameOrText) {
  // 乚 is 81 5D (']'), 診 is D4 5C ('\'); neither may cut the token.
  EXPECT_EQ(Translate("select [乚診] from [t] where [a]='乚]'"),
            "select \"乚診\" from \"t\" where \"a\" = '乚]'");
  EXPECT_EQ(Translate("select [a]]b] from [t]"), "select \"a]b\" from \"t\"");
}

TEST(AccessSql, RefusesWhatIsNotTheDialect) {
  const char* bad[] = {
      "",
      "select * from [t]; delete * from [t]",
      "drop table [项目数据]",
      "attach database 'x' as y",
      "select * from [t] where [a]='open",
      "select * from [unclosed",
      "select * from [t] where [日期]=#2010/2/30#",
      "select * from [t] where [日期]=#2010/3/26",
      "select \"x\" from [t]",
      "select * from [t] -- comment",
      "insert into [项目数据] ([日期]) values ('not a date')",
      "select * from [t] where ([a]=1",
      "select * from 项目数据",
      "update [zz_file] set [value]='0'",
      "delete * from ZZ_FILE",
      "select * from sqlite_master",
      "select * from pragma_table_info('x')",
  };
  for (const char* sql : bad) {
    std::string error;
    auto out = mdb::TranslateAccessSql(sql, &error);
    EXPECT_FALSE(out.has_value()) << sql << " -> " << out.value_or("");
  }
}

TEST(AccessSql, StoredDatesSortAsDates) {
  EXPECT_EQ(mdb::StoredDate("2010-10-1"), "2010-10-01");
  EXPECT_EQ(mdb::StoredDate("2010/3/26"), "2010-03-26");
  EXPECT_LT(*mdb::StoredDate("2010-3-26"), *mdb::StoredDate("2010-10-1"));
  EXPECT_EQ(mdb::StoredDate("2010年3月26日"), "2010-03-26");
  EXPECT_EQ(mdb::StoredDate("2010年3月26日0时0分9秒"), "2010-03-26 00:00:09");
  EXPECT_FALSE(mdb::StoredDate("26/3/2010").has_value());
}

}  // namespace
