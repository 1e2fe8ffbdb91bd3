#include "database_connection.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifndef _WIN32
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "access_sql.h"
#include "gbk_text.h"

namespace {

namespace fs = std::filesystem;
const char* kPassword = "qe.7358+-";

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class Database : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("mdb-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    path_ = folder_ / "ml.mdb";
    std::string error;
    ASSERT_TRUE(mdb::DatabaseConnection::CreateDatabaseFile(Gbk(path_), kPassword, &error)) << error;
    ASSERT_TRUE(db_.OpenExternalDatabase(Gbk(path_), "", kPassword)) << db_.LastError();
  }
  void TearDown() override {
    db_.CloseExternalDatabase();
    fs::remove_all(folder_);
  }

  static std::string Gbk(const fs::path& p) {
    std::u16string wide = p.u16string();
    return zz::Utf16ToGbk(wide);
  }

  std::string Text(int handle, const char* column) {
    std::string out;
    EXPECT_TRUE(db_.ReadField(handle, column).AsText(&out)) << column;
    return out;
  }

  void AddDay(const std::string& date, const std::string& figure) {
    ASSERT_TRUE(db_.ExecuteStatement("insert into [项目数据] ([日期],[挂号]) values ('" + date + "','" +
                                     figure + "')"))
        << db_.LastError();
  }

  // 挂号 of every day, in the order stored.
  static std::vector<std::string> Figures(mdb::DatabaseConnection& db) {
    int days = db.OpenRecordset("select * from [项目数据]");
    std::vector<std::string> figures;
    for (db.MoveFirst(days); !db.IsEOF(days); db.MoveNext(days)) {
      std::string figure;
      db.ReadField(days, "挂号").AsText(&figure);
      figures.push_back(figure);
    }
    db.CloseRecordset(days);
    return figures;
  }

  fs::path folder_, path_;
  mdb::DatabaseConnection db_;
};

TEST_F(Database, ConnectStringIsBuiltFieldByField) {
  EXPECT_EQ(mdb::DatabaseConnection::BuildConnectString("C:\\诊所\\ml.mdb", "", kPassword),
            "ODBC;DBQ=C:\\诊所\\ml.mdb;DefaultDir=C:\\诊所;Driver={Microsoft Access Driver "
            "(*.mdb)};FIL=MS Access;PWD=qe.7358+-;");
  // 診 ends in a '\' byte that is no folder separator.
  EXPECT_EQ(mdb::DatabaseConnection::BuildConnectString("診.mdb", "u", ""),
            "ODBC;DBQ=診.mdb;Driver={Microsoft Access Driver (*.mdb)};FIL=MS Access;UID=u;");
}

TEST_F(Database, RuntimeDateTextIsFoundByBothDateLiterals) {
  AddDay("2010年3月26日", "12.5");
  int dup = db_.OpenRecordset("select [日期] from [项目数据] where [日期]=#2010/3/26#");
  ASSERT_NE(dup, 0) << db_.LastError();
  EXPECT_EQ(Text(dup, "日期"), "2010年3月26日");
  db_.CloseRecordset(dup);

  int period = db_.OpenRecordset(
      "select * from [项目数据] where [日期]>=#2010-3-26# and [日期]<=#2010-4-25#order by [日期]");
  ASSERT_NE(period, 0) << db_.LastError();
  EXPECT_FALSE(db_.IsEOF(period));
  EXPECT_EQ(Text(period, "挂号"), "12.5");
  long long key = 0;
  EXPECT_TRUE(db_.ReadField(period, "编号").AsInteger(&key));
  EXPECT_EQ(key, 1);
  zz::DateTime date;
  EXPECT_TRUE(db_.ReadField(period, "日期").AsDate(&date));
  EXPECT_EQ(date, (zz::DateTime{2010, 3, 26, 0, 0, 0}));
}

TEST_F(Database, OrdersAcrossMonthsAndYears) {
  for (const char* day : {"2010年10月1日", "2010年3月26日", "2009年12月31日", "2010年3月3日"})
    AddDay(day, "1");
  int h = db_.OpenRecordset(
      "select * from [项目数据] where [日期]>=#2009-1-1# and [日期]<=#2010-12-31#order by [日期]");
  std::string seen;
  for (db_.MoveFirst(h); !db_.IsEOF(h); db_.MoveNext(h)) seen += Text(h, "日期") + ";";
  EXPECT_EQ(seen, "2009年12月31日;2010年3月3日;2010年3月26日;2010年10月1日;");
}

TEST_F(Database, DeleteStarQuotesBooleansAndKeysThatAreNeverReused) {
  AddDay("2010年3月1日", "1");
  AddDay("2010年3月2日", "2");
  EXPECT_TRUE(db_.ExecuteStatement("delete * from [项目数据] where [编号]=2"));
  AddDay("2010年3月3日", "it''s \"quoted\"");
  int h = db_.OpenRecordset("select * from [项目数据] where [编号]=3");
  EXPECT_EQ(Text(h, "挂号"), "it's \"quoted\"");

  ASSERT_TRUE(db_.ExecuteStatement(
      "insert into [用户信息] ([用户名],[密码],[用户管理],[增加]) values ('u','p','1','0')"));
  int u = db_.OpenRecordset("select * from [用户信息] where [用户名]='u'");
  bool right = false;
  EXPECT_TRUE(db_.ReadField(u, "用户管理").AsBool(&right));
  EXPECT_TRUE(right);
  EXPECT_TRUE(db_.ReadField(u, "增加").AsBool(&right));
  EXPECT_FALSE(right);
  // A right read as text, or a name read as a number, is a type mismatch.
  std::string text;
  EXPECT_FALSE(db_.ReadField(u, "用户管理").AsText(&text));
  long long number;
  EXPECT_FALSE(db_.ReadField(u, "用户名").AsInteger(&number));
  // NULL in a text column reads as the empty text.
  EXPECT_TRUE(db_.ReadField(u, "设置单位名称").AsBool(&right));
  int h2 = db_.OpenRecordset("select * from [项目数据] where [编号]=1");
  EXPECT_EQ(Text(h2, "B超"), "");
}

TEST_F(Database, UserManagementStatementsRunAsWritten) {
  const std::string rights = "[用户管理],[设置单位名称],[数据备份],[数据恢复],[增加],[修改],[删除],[打印五日报表],[打印统计报表]";
  for (const char* name : {"张三", "李四", "王五"})
    ASSERT_TRUE(db_.ExecuteStatement("insert into [用户信息] ([用户名],[密码]," + rights + ") values ('" +
                                     name + "','p','1','0','1','0','1','0','1','0','1')"))
        << db_.LastError();
  int dup = db_.OpenRecordset("select [用户名] from [用户信息] where [用户名]='李四'");
  EXPECT_EQ(Text(dup, "用户名"), "李四");
  ASSERT_TRUE(db_.ExecuteStatement(
      "update [用户信息] set [用户名]='李四乚',[密码]='q',[用户管理]='0',[设置单位名称]='1',[数据备份]='0',"
      "[数据恢复]='1',[增加]='0',[修改]='1',[删除]='0',[打印五日报表]='1',[打印统计报表]='0' where [编号]=2"))
      << db_.LastError();
  EXPECT_TRUE(db_.ExecuteStatement("delete * from [用户信息] where [编号]=1"));
  int all = db_.OpenRecordset("select [用户名] from [用户信息]");
  std::string names;
  for (db_.MoveFirst(all); !db_.IsEOF(all); db_.MoveNext(all)) names += Text(all, "用户名") + ",";
  EXPECT_EQ(names, "李四乚,王五,");
  int one = db_.OpenRecordset("select * from [用户信息] where [编号]=2");
  bool on = true;
  EXPECT_TRUE(db_.ReadField(one, "用户管理").AsBool(&on));
  EXPECT_FALSE(on);
  EXPECT_EQ(Text(one, "密码"), "q");
}

TEST_F(Database, EmptyResultsAndFailuresAreQuiet) {
  int h = db_.OpenRecordset("select * from [单位名称]");
  ASSERT_NE(h, 0);
  EXPECT_TRUE(db_.IsEOF(h));
  EXPECT_EQ(Text(h, "单位名称"), "");
  EXPECT_EQ(db_.OpenRecordset(""), 0);
  EXPECT_EQ(db_.OpenRecordset("select * from [no such table]"), 0);
  EXPECT_EQ(db_.OpenRecordset("delete * from [项目数据]"), 0);
  // An unescaped quote cuts the text: the statement fails, nothing crashes.
  EXPECT_FALSE(db_.ExecuteStatement("insert into [单位名称] ([单位名称]) values ('a'b')"));
  EXPECT_FALSE(db_.ExecuteStatement("insert into [项目数据] ([日期]) values ('tomorrow')"));
  // A row that is gone runs the statement and changes nothing: the caller
  // is told so.
  AddDay("2010年3月1日", "1");
  EXPECT_EQ(db_.ChangedRows(), 1);
  EXPECT_TRUE(db_.ExecuteStatement("update [项目数据] set [挂号]='2' where [编号]=99"));
  EXPECT_EQ(db_.ChangedRows(), 0);
  EXPECT_TRUE(db_.ExecuteStatement("delete * from [项目数据] where [编号]=99"));
  EXPECT_EQ(db_.ChangedRows(), 0);
}

TEST_F(Database, EscapedTypedTextCannotChangeTheStatement) {
  ASSERT_TRUE(db_.ExecuteStatement(
      "insert into [用户信息] ([用户名],[密码],[用户管理]) values ('admin','246135','1')"));
  // Written as typed, this name would match every account.
  const std::string typed = "x' or ''='";
  int h = db_.OpenRecordset("select * from [用户信息] where [用户名]='" + mdb::EscapeSqlText(typed) + "'");
  ASSERT_NE(h, 0) << db_.LastError();
  EXPECT_TRUE(db_.IsEOF(h));
  const std::string quoted = "O'Brien診所";
  ASSERT_TRUE(db_.ExecuteStatement("insert into [单位名称] ([单位名称]) values ('" +
                                   mdb::EscapeSqlText(quoted) + "')"));
  EXPECT_EQ(Text(db_.OpenRecordset("select * from [单位名称]"), "单位名称"), quoted);
}

TEST_F(Database, RecordsetsAreSnapshots) {
  AddDay("2010年3月1日", "1");
  int h = db_.OpenRecordset("select * from [项目数据]");
  EXPECT_TRUE(db_.ExecuteStatement("delete * from [项目数据]"));
  EXPECT_FALSE(db_.IsEOF(h));
  EXPECT_EQ(Text(h, "挂号"), "1");
}

TEST_F(Database, ReusedRecordsetStorageKeepsEveryValue) {
  AddDay("2010年3月1日8时5分", "1.5");
  AddDay("2010年3月2日", "");
  ASSERT_TRUE(db_.ExecuteStatement("insert into [单位名称] ([单位名称]) values ('城南卫生院')"));
  int days = db_.OpenRecordset("select * from [项目数据] order by [日期]");
  zz::DateTime date;
  ASSERT_TRUE(db_.ReadField(days, "日期").AsDate(&date));
  EXPECT_EQ(date, (zz::DateTime{2010, 3, 1, 8, 5, 0}));
  int unit = db_.OpenRecordset("select * from [单位名称]");
  db_.CloseRecordset(days);  // its storage serves the next recordset
  int later = db_.OpenRecordset("select * from [项目数据] where [日期]>=#2010/3/2#order by [日期]");
  EXPECT_EQ(Text(unit, "单位名称"), "城南卫生院");
  EXPECT_EQ(Text(later, "日期"), "2010年3月2日");
  EXPECT_EQ(Text(later, "挂号"), "");
  const mdb::FieldValue& never_written = db_.ReadField(later, "B超");
  EXPECT_TRUE(never_written.is_null && never_written.text.empty());
  long long key = 0;
  EXPECT_TRUE(db_.ReadField(later, "编号").AsInteger(&key) && key == 2);
  db_.MoveNext(later);
  EXPECT_TRUE(db_.IsEOF(later));
}

TEST_F(Database, WrongOrMissingPasswordIsRefused) {
  db_.CloseExternalDatabase();
  std::string before = ReadAll(path_);
  mdb::DatabaseConnection other;
  EXPECT_FALSE(other.OpenExternalDatabase(Gbk(path_), "", "wrong"));
  EXPECT_FALSE(other.OpenExternalDatabase(Gbk(path_), "", ""));
  EXPECT_EQ(ReadAll(path_), before);
  EXPECT_TRUE(other.OpenExternalDatabase(Gbk(path_), "", kPassword));
}

TEST_F(Database, ForeignAndDamagedFilesAreRefusedUnchanged) {
  db_.CloseExternalDatabase();
  std::string good = ReadAll(path_);
  ASSERT_GT(good.size(), 4096u);
  struct Kind { const char* name; std::string bytes; } kinds[] = {
      {"empty", ""},
      {"text", "just some text, not a database\r\n"},
      {"truncated", good.substr(0, good.size() / 2)},
      {"damaged", [&] {
         std::string b = good;
         // The b-tree page headers of the tables' root pages.
         for (std::size_t page = 1; page * 4096 + 64 <= b.size(); ++page)
           for (std::size_t i = 0; i < 12; ++i) b[page * 4096 + i] = '\x5A';
         return b;
       }()},
  };
  for (const Kind& kind : kinds) {
    fs::path p = folder_ / (std::string(kind.name) + ".mdb");
    { std::ofstream(p, std::ios::binary) << kind.bytes; }
    mdb::DatabaseConnection other;
    EXPECT_FALSE(other.OpenExternalDatabase(Gbk(p), "", kPassword)) << kind.name;
    EXPECT_EQ(ReadAll(p), kind.bytes) << kind.name;
  }
  // A foreign SQLite file: valid, but not ours.
  std::string foreign = good;
  foreign[68] = foreign[69] = foreign[70] = foreign[71] = 0;
  fs::path p = folder_ / "foreign.mdb";
  { std::ofstream(p, std::ios::binary) << foreign; }
  mdb::DatabaseConnection other;
  EXPECT_FALSE(other.OpenExternalDatabase(Gbk(p), "", kPassword));
  EXPECT_EQ(ReadAll(p), foreign);
  EXPECT_FALSE(other.OpenExternalDatabase(Gbk(folder_ / "missing.mdb"), "", kPassword));
}

#ifndef _WIN32
// The program or the PC stopped in the middle of a large write: its journal
// lies beside the file and the file holds half-written pages.
TEST_F(Database, AWriteCutShortIsRolledBackOnceTheFileIsKnownToBeOurs) {
  AddDay("2010年3月1日", "12.5");
  AddDay("2010年3月2日", "7");
  db_.CloseExternalDatabase();
  const std::string committed = ReadAll(path_);
  const fs::path journal = folder_ / "ml.mdb-journal";
  pid_t writer = fork();
  ASSERT_GE(writer, 0);
  if (writer == 0) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path_.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    // A small cache spills the changed pages into the file before commit.
    sqlite3_exec(db, u8"PRAGMA cache_size=8; BEGIN; DELETE FROM 项目数据;", nullptr, nullptr, nullptr);
    for (int i = 0; i < 20000; ++i)
      sqlite3_exec(db, u8"INSERT INTO 项目数据 (日期, 挂号) VALUES ('2011-01-01', "
                       "'0123456789012345678901234567890123456789012345678901234567890123456789')",
                   nullptr, nullptr, nullptr);
    kill(getpid(), SIGKILL);
  }
  int status = 0;
  waitpid(writer, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));
  ASSERT_GT(fs::file_size(journal), 0u);
  const std::string interrupted = ReadAll(path_), hot_journal = ReadAll(journal);
  ASSERT_NE(interrupted, committed);

  mdb::DatabaseConnection other;
  EXPECT_FALSE(other.OpenExternalDatabase(Gbk(path_), "", "wrong"));
  EXPECT_EQ(ReadAll(path_), interrupted);
  EXPECT_EQ(ReadAll(journal), hot_journal);

  // Copies of the program started together over the journal each check a
  // rolled-back copy of their own, and all open the books.
  int start[2];
  ASSERT_EQ(pipe(start), 0);
  std::vector<pid_t> copies;
  for (int i = 0; i < 3; ++i) {
    pid_t copy = fork();
    ASSERT_GE(copy, 0);
    if (copy == 0) {
      char byte;
      mdb::DatabaseConnection mine;
      bool opened = read(start[0], &byte, 1) == 1 && mine.OpenExternalDatabase(Gbk(path_), "", kPassword) &&
                    Figures(mine) == std::vector<std::string>{"12.5", "7"};
      _exit(opened ? 0 : 1);
    }
    copies.push_back(copy);
  }
  ASSERT_EQ(write(start[1], "abc", 3), 3);
  for (pid_t copy : copies) {
    waitpid(copy, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  close(start[0]);
  close(start[1]);

  ASSERT_TRUE(other.OpenExternalDatabase(Gbk(path_), "", kPassword)) << other.LastError();
  EXPECT_FALSE(fs::exists(journal));
  EXPECT_EQ(Figures(other), (std::vector<std::string>{"12.5", "7"}));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

// A journal that SQLite would not roll back never locks the books: that of
// a second copy of the program still in the middle of a small write, and
// the one it leaves when it is stopped before the journal's first sync.
TEST_F(Database, AJournalThatIsNotHotLeavesTheBooksOpen) {
  AddDay("2010年3月1日", "12.5");
  db_.CloseExternalDatabase();
  const std::string committed = ReadAll(path_);
  const fs::path journal = folder_ / "ml.mdb-journal";
  int ready[2], stop[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(stop), 0);
  pid_t writer = fork();
  ASSERT_GE(writer, 0);
  char byte = 0;
  if (writer == 0) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path_.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, u8"BEGIN; INSERT INTO 项目数据 (日期, 挂号) VALUES ('2011-01-01', '99')", nullptr, nullptr,
                 nullptr);
    (void)!write(ready[1], &byte, 1);
    (void)!read(stop[0], &byte, 1);
    kill(getpid(), SIGKILL);
  }
  ASSERT_EQ(read(ready[0], &byte, 1), 1);
  ASSERT_GT(fs::file_size(journal), 0u);
  mdb::DatabaseConnection other;
  EXPECT_TRUE(other.OpenExternalDatabase(Gbk(path_), "", kPassword)) << other.LastError();
  EXPECT_EQ(Figures(other), (std::vector<std::string>{"12.5"}));
  other.CloseExternalDatabase();

  ASSERT_EQ(write(stop[1], &byte, 1), 1);
  int status = 0;
  waitpid(writer, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));
  ASSERT_GT(fs::file_size(journal), 0u);
  ASSERT_EQ(ReadAll(path_), committed);
  ASSERT_TRUE(other.OpenExternalDatabase(Gbk(path_), "", kPassword)) << other.LastError();
  EXPECT_EQ(Figures(other), (std::vector<std::string>{"12.5"}));
  EXPECT_TRUE(other.ExecuteStatement("insert into [项目数据] ([日期],[挂号]) values ('2010年3月2日','3')"));
  EXPECT_EQ(Figures(other), (std::vector<std::string>{"12.5", "3"}));
  for (int fd : {ready[0], ready[1], stop[0], stop[1]}) close(fd);
}
#endif

// A check stopped in its turn (the PC lost power while it rolled its copy
// back) leaves a copy of the books and a hot journal beside them; the next
// open clears what no check can still be using, and nothing else.
TEST_F(Database, ChecksCutShortLeaveNoCopiesBehind) {
  AddDay("2010年3月1日", "12.5");
  db_.CloseExternalDatabase();
  const auto now = fs::file_time_type::clock::now();
  const auto old = now - std::chrono::minutes(11);
  struct Left {
    const char* name;
    bool old, cleared;
  };
  const Left kLeft[] = {
      {"ml.mdb-check-0123456789abcdef", true, true},
      {"ml.mdb-check-0123456789abcdef-journal", true, true},
      {"ml.mdb-check-fedcba9876543210", true, true},          // its journal gone
      {"ml.mdb-check-00000000ffffffff-journal", true, true},  // its copy gone
      {"ml.mdb-check", false, true},                          // the fixed name of earlier versions
      {"ml.mdb-check-1111111111111111", false, false},  // a check starting together with this open
      {"ml.mdb-check-1111111111111111-journal", false, false},
      {"ml.mdb-check-0123456789abcde", true, false},
      {"ml.mdb-check-0123456789abcdeg-journal", true, false},
      {"ml.mdb-check-0123456789abcdef.bak", true, false},
      {"ml.mdb-checked", true, false},
      {"other.mdb-check-0123456789abcdef", true, false},
  };
  for (const Left& left : kLeft) {
    std::ofstream(folder_ / left.name) << "pages";
    fs::last_write_time(folder_ / left.name, left.old ? old : now);
  }
  // Only files: a folder of that name is nothing of ours.
  fs::create_directory(folder_ / "ml.mdb-check-journal");

  ASSERT_TRUE(db_.OpenExternalDatabase(Gbk(path_), "", kPassword)) << db_.LastError();
  EXPECT_EQ(Figures(db_), std::vector<std::string>{"12.5"});
  for (const Left& left : kLeft) EXPECT_EQ(fs::exists(folder_ / left.name), !left.cleared) << left.name;
  EXPECT_TRUE(fs::is_directory(folder_ / "ml.mdb-check-journal"));
}

TEST_F(Database, ChineseFolderNamesWork) {
  // The program's paths are GBK; natively the file system sees them as UTF-8.
  fs::path chinese = folder_ / fs::path(u"診所数据");
  fs::create_directories(chinese);
  std::string path = Gbk(chinese / "ml.mdb");
  ASSERT_TRUE(mdb::DatabaseConnection::CreateDatabaseFile(path, kPassword, nullptr));
  mdb::DatabaseConnection other;
  EXPECT_TRUE(other.OpenExternalDatabase(path, "", kPassword)) << other.LastError();
}

TEST(ShippedDatabase, HoldsTheAdministratorAndNoUnitName) {
  mdb::DatabaseConnection db;
  ASSERT_TRUE(db.OpenExternalDatabase(ZZ_SHIPPED_MDB, "", kPassword)) << db.LastError();
  int users = db.OpenRecordset("select * from [用户信息]");
  std::string name, password;
  ASSERT_TRUE(db.ReadField(users, "用户名").AsText(&name));
  ASSERT_TRUE(db.ReadField(users, "密码").AsText(&password));
  EXPECT_EQ(name, "admin");
  EXPECT_EQ(password, "246135");
  for (const char* right : {"用户管理", "设置单位名称", "数据备份", "数据恢复", "增加", "修改", "删除",
                            "打印五日报表", "打印统计报表"}) {
    bool on = false;
    EXPECT_TRUE(db.ReadField(users, right).AsBool(&on) && on) << right;
  }
  EXPECT_TRUE(db.IsEOF(db.OpenRecordset("select * from [单位名称]")));
}

}  // namespace
