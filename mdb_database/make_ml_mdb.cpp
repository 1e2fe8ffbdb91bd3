// Writes the ml.mdb that ships with the program: the three tables, the
// administrator account with every right, and no unit name yet.
//
//   make_ml_mdb OUTPUT
#include <cstdio>
#include <string>

#include "database_connection.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_ml_mdb OUTPUT\n");
    return 2;
  }
  const std::string path = argv[1];
  const std::string password = "qe.7358+-";
  std::remove(path.c_str());
  std::string error;
  if (!mdb::DatabaseConnection::CreateDatabaseFile(path, password, &error)) {
    std::fprintf(stderr, "make_ml_mdb: %s\n", error.c_str());
    return 1;
  }
  mdb::DatabaseConnection db;
  if (!db.OpenExternalDatabase(path, "", password) ||
      !db.ExecuteStatement(
          "insert into [用户信息] ([用户名],[密码],[用户管理],[设置单位名称],[数据备份],[数据恢复],"
          "[增加],[修改],[删除],[打印五日报表],[打印统计报表]) values "
          "('admin','246135','1','1','1','1','1','1','1','1','1')")) {
    std::fprintf(stderr, "make_ml_mdb: %s\n", db.LastError().c_str());
    std::remove(path.c_str());
    return 1;
  }
  return 0;
}
