#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "backup_restore.h"

namespace {

using keeper::RestoreOutcome;

const std::string kRun = "C:\\app";
const std::string kLive = kRun + "\\ml.mdb";
const std::string kParked = kRun + "\\temp\\ml.mdb";
const std::string kBackup = kRun + "\\back\\2010年3月26日14时5分9秒.ml";

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('\\')); }

// Files as a map of path to content, in folders that exist or not; the
// database opens only files whose content starts with "db:". Every call is
// logged so that tests can check the order of the steps.
class FakeWorld : public keeper::BackupWorld {
 public:
  std::set<std::string> folders{kRun, kRun + "\\back", kRun + "\\temp"};
  std::map<std::string, std::string> files{{kLive, "db:live"}, {kBackup, "db:backup"}};
  std::set<std::string> read_only;
  // There, but missed by the first look: another copy of the program made
  // them in between.
  std::set<std::string> unseen;
  std::string open;  // the path the database is open on, "" when closed
  int answer = 5;
  std::string chosen = kBackup;
  std::vector<std::string> log;

  int Message(const std::string& text, const std::string& caption, int style) override {
    log.push_back("message " + text + " " + caption + " " + std::to_string(style));
    return answer;
  }
  std::string ChooseBackup(const std::string& folder) override {
    log.push_back("choose in " + folder);
    return chosen;
  }
  bool Copy(const std::string& from, const std::string& to) override {
    log.push_back("copy " + from + " " + to);
    if (!files.count(from) || !folders.count(FolderOf(to))) return false;
    files[to] = files[from];
    if (read_only.count(from)) read_only.insert(to);
    else read_only.erase(to);
    return true;
  }
  bool CopyNew(const std::string& from, const std::string& to) override {
    return !files.count(to) && Copy(from, to);
  }
  bool Move(const std::string& from, const std::string& to) override {
    log.push_back("move " + from + " " + to);
    if (!Copy(from, to)) return false;
    log.pop_back();
    files.erase(from);
    return true;
  }
  bool MoveNew(const std::string& from, const std::string& to) override {
    if (!files.count(to)) return Move(from, to);
    log.push_back("move " + from + " " + to);
    return false;
  }
  bool Delete(const std::string& path) override {
    log.push_back("delete " + path);
    return files.erase(path) == 1;
  }
  bool Exists(const std::string& path) override { return unseen.erase(path) == 0 && files.count(path) == 1; }
  bool MakeWritable(const std::string& path) override {
    log.push_back("writable " + path);
    read_only.erase(path);
    return files.count(path) == 1;
  }
  void CloseDatabase() override {
    log.push_back("close");
    open.clear();
  }
  bool OpenDatabase(const std::string& path) override {
    log.push_back("open " + path);
    if (files.count(path) && files[path].rfind("db:", 0) == 0) open = path;
    return !open.empty();
  }

  std::string File(const std::string& path) const {
    auto it = files.find(path);
    return it == files.end() ? "(none)" : it->second;
  }
  std::string Messages() const {
    std::string all;
    for (const std::string& line : log)
      if (line.rfind("message ", 0) == 0) all += line.substr(8) + ";";
    return all;
  }
};

const char* const kQuestion = "恢复数据之前，请先备份当前数据，请问你备份了吗？ ？ 36;";

TEST(Backup, FileNameDropsTheTrailingZeroPartsOfTheTime) {
  EXPECT_EQ(keeper::BackupFileName({2010, 3, 26, 14, 5, 9}), "2010年3月26日14时5分9秒.ml");
  EXPECT_EQ(keeper::BackupFileName({2010, 3, 26, 14, 0, 0}), "2010年3月26日14时.ml");
  EXPECT_EQ(keeper::BackupFileName({2010, 3, 26, 0, 0, 0}), "2010年3月26日.ml");
  EXPECT_EQ(keeper::BackupFileName({2010, 12, 1, 0, 7, 0}), "2010年12月1日0时7分.ml");
}

TEST(Backup, CopiesTheOpenDatabaseIntoTheBackFolder) {
  FakeWorld w;
  w.open = kLive;
  w.files[kLive] = "db:first";
  EXPECT_TRUE(keeper::BackUp(w, kRun, {2011, 1, 2, 0, 0, 0}));
  EXPECT_EQ(w.File(kRun + "\\back\\2011年1月2日.ml"), "db:first");
  EXPECT_EQ(w.Messages(), "备份成功！ Ok! 64;");
  EXPECT_EQ(w.open, kLive);  // the copy is taken with the database open
  // A second backup within the same second, or a kept file of that name,
  // is never replaced.
  w.files[kLive] = "db:second";
  w.files[kRun + "\\back\\2011年1月2日(2).ml"] = "db:kept";
  EXPECT_TRUE(keeper::BackUp(w, kRun, {2011, 1, 2, 0, 0, 0}));
  EXPECT_EQ(w.File(kRun + "\\back\\2011年1月2日.ml"), "db:first");
  EXPECT_EQ(w.File(kRun + "\\back\\2011年1月2日(2).ml"), "db:kept");
  EXPECT_EQ(w.File(kRun + "\\back\\2011年1月2日(3).ml"), "db:second");
}

TEST(Backup, FailsWithoutTheBackFolderAndMakesNone) {
  FakeWorld w;
  w.folders.erase(kRun + "\\back");
  EXPECT_FALSE(keeper::BackUp(w, kRun, {2011, 1, 2, 9, 0, 0}));
  EXPECT_EQ(w.Messages(), "备份失败！ Sorry! 64;");
  EXPECT_FALSE(w.folders.count(kRun + "\\back"));
  EXPECT_EQ(w.File(kRun + "\\back\\2011年1月2日9时.ml"), "(none)");
}

const zz::DateTime kNow = {2011, 1, 2, 0, 0, 0};

TEST(Restore, StepsInOrderOnSuccessKeepingTheReplacedFileAsABackup) {
  FakeWorld w;
  w.open = kLive;
  // Copied back from a CD: the backup is read-only, the restored file not.
  w.read_only.insert(kBackup);
  // A backup made in the same second already has the name.
  const std::string taken = kRun + "\\back\\2011年1月2日.ml";
  const std::string kept = kRun + "\\back\\2011年1月2日(2).ml";
  w.files[taken] = "db:earlier";
  EXPECT_EQ(keeper::Restore(w, kRun, kNow), RestoreOutcome::Restored);
  std::vector<std::string> expected = {
      std::string("message ") + "恢复数据之前，请先备份当前数据，请问你备份了吗？ ？ 36",
      "choose in " + kRun + "\\back",
      "close",
      "move " + kLive + " " + kParked,
      "copy " + kBackup + " " + kLive,
      "writable " + kLive,
      "open " + kLive,
      "move " + kParked + " " + kept,
      "message 已完成恢复！\n恢复前的数据已保存为：" + kept + " 成功！ 64"};
  EXPECT_EQ(w.log, expected);
  EXPECT_EQ(w.File(kLive), "db:backup");
  EXPECT_FALSE(w.read_only.count(kLive));
  EXPECT_EQ(w.File(kBackup), "db:backup");
  EXPECT_EQ(w.File(taken), "db:earlier");
  EXPECT_EQ(w.File(kept), "db:live");
  EXPECT_EQ(w.File(kParked), "(none)");
  EXPECT_EQ(w.open, kLive);
}

// Another copy of the program takes the free name between the look and the
// write: its file stays, and the backup or the kept database goes elsewhere.
TEST(Backup, ANameTakenMeanwhileIsNeverReplaced) {
  const std::string name = kRun + "\\back\\2011年1月2日.ml";
  FakeWorld w;
  w.files[name] = "db:other";
  w.unseen.insert(name);
  EXPECT_TRUE(keeper::BackUp(w, kRun, kNow));
  EXPECT_EQ(w.File(name), "db:other");
  EXPECT_EQ(w.File(kRun + "\\back\\2011年1月2日(2).ml"), "db:live");

  // In a restore the kept database's name, or the parking place, which may
  // hold the user's only copy.
  const struct { std::string taken, live_at; } kTaken[] = {{name, kParked}, {kParked, name}};
  for (const auto& c : kTaken) {
    FakeWorld r;
    r.open = kLive;
    r.files[c.taken] = "db:other";
    r.unseen.insert(c.taken);
    EXPECT_EQ(keeper::Restore(r, kRun, kNow), RestoreOutcome::Restored) << c.taken;
    EXPECT_EQ(r.File(c.taken), "db:other");
    EXPECT_EQ(r.File(c.live_at), "db:live");
    EXPECT_EQ(r.File(kLive), "db:backup");
  }
}

TEST(Restore, NoAnswerOrCancelledDialogChangesNothing) {
  FakeWorld no;
  no.open = kLive;
  no.answer = 6;
  EXPECT_EQ(keeper::Restore(no, kRun, kNow), RestoreOutcome::Declined);
  EXPECT_EQ(no.log.size(), 1u);
  EXPECT_EQ(no.open, kLive);

  FakeWorld cancel;
  cancel.open = kLive;
  cancel.chosen = "";
  EXPECT_EQ(keeper::Restore(cancel, kRun, kNow), RestoreOutcome::NothingChosen);
  EXPECT_EQ(cancel.log.size(), 2u);
  EXPECT_EQ(cancel.open, kLive);
  EXPECT_EQ(cancel.File(kLive), "db:live");
}

TEST(Restore, MissingTempFolderStopsAtTheParkAndReopens) {
  FakeWorld w;
  w.open = kLive;
  w.folders.erase(kRun + "\\temp");
  EXPECT_EQ(keeper::Restore(w, kRun, kNow), RestoreOutcome::ParkFailed);
  EXPECT_EQ(w.Messages(), std::string(kQuestion) + "temp 错误 16;");
  EXPECT_EQ(w.File(kLive), "db:live");
  EXPECT_EQ(w.open, kLive);
  EXPECT_FALSE(w.folders.count(kRun + "\\temp"));
}

TEST(Restore, FailedCopyPutsTheLiveFileBack) {
  // Choosing the live database itself: it has been parked by then.
  FakeWorld w;
  w.open = kLive;
  w.chosen = kLive;
  EXPECT_EQ(keeper::Restore(w, kRun, kNow), RestoreOutcome::CopyFailed);
  EXPECT_EQ(w.Messages(), std::string(kQuestion) + "back 错误 16;");
  EXPECT_EQ(w.File(kLive), "db:live");
  EXPECT_EQ(w.File(kParked), "(none)");
  EXPECT_EQ(w.open, kLive);
}

TEST(Restore, RefusedBackupLeavesTheChosenFileAndPutsTheLiveFileBack) {
  FakeWorld w;
  w.open = kLive;
  w.files[kBackup] = "not a database";
  EXPECT_EQ(keeper::Restore(w, kRun, kNow), RestoreOutcome::OpenFailed);
  EXPECT_EQ(w.Messages(), std::string(kQuestion) + "date 错误 16;");
  EXPECT_EQ(w.File(kLive), "db:live");
  EXPECT_EQ(w.File(kParked), "(none)");
  EXPECT_EQ(w.File(kBackup), "not a database");
  EXPECT_EQ(w.open, kLive);
  // The user reads the message before the live file comes back.
  std::vector<std::string> tail(w.log.end() - 3, w.log.end());
  std::vector<std::string> expected = {"message date 错误 16", "move " + kParked + " " + kLive,
                                       "open " + kLive};
  EXPECT_EQ(tail, expected);
}

TEST(Restore, ParkedFileThatCannotComeBackIsNeverOverwritten) {
  // Nothing parked can be moved back, say the temp folder went read-only
  // after the park; both restores choose a damaged backup.
  struct StuckWorld : FakeWorld {
    bool Move(const std::string& from, const std::string& to) override {
      return FolderOf(from) == kRun + "\\temp" ? false : FakeWorld::Move(from, to);
    }
  } stuck;
  stuck.open = kLive;
  stuck.files[kBackup] = "not a database";
  const std::string second = kRun + "\\temp\\ml(2).mdb";
  EXPECT_EQ(keeper::Restore(stuck, kRun, kNow), RestoreOutcome::OpenFailed);
  EXPECT_EQ(keeper::Restore(stuck, kRun, kNow), RestoreOutcome::OpenFailed);
  EXPECT_EQ(stuck.File(kParked), "db:live");
  EXPECT_EQ(stuck.File(second), "not a database");
  EXPECT_EQ(stuck.open, "");
  const std::string told = "原数据库文件无法放回原处，您的数据保存在：";
  EXPECT_EQ(stuck.Messages(), std::string(kQuestion) + "date 错误 16;" + told + kParked + " 警告 48;" + kQuestion +
                                  "date 错误 16;" + told + second + " 警告 48;");
}

}  // namespace
