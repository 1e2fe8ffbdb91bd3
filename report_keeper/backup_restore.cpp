#include "backup_restore.h"

namespace keeper {
namespace {

constexpr int kErrorIcon = 16;
constexpr int kYesNoQuestion = 36;
constexpr int kWarningIcon = 48;
constexpr int kInfoIcon = 64;
constexpr int kYes = 5;

std::string LivePath(const std::string& run_dir) { return run_dir + "\\ml.mdb"; }

// A free name in the temp folder: a file parked there by a restore that
// could not put it back is the user's only copy of the data.
std::string ParkingPlace(BackupWorld& world, const std::string& run_dir) {
  std::string path = run_dir + "\\temp\\ml.mdb";
  for (int n = 2; world.Exists(path); ++n) path = run_dir + "\\temp\\ml(" + std::to_string(n) + ").mdb";
  return path;
}

// A backup's name, or beside it with "(2)", "(3)"... when it is taken.
std::string FreeBackupPath(BackupWorld& world, const std::string& run_dir, const zz::DateTime& now) {
  const std::string name = BackupFileName(now);
  const std::string stem = run_dir + "\\back\\" + name.substr(0, name.size() - 3);
  std::string path = stem + ".ml";
  for (int n = 2; world.Exists(path); ++n) path = stem + "(" + std::to_string(n) + ").ml";
  return path;
}

// Puts a file under the free name `free_name` finds, through `put`, which
// fails when the name is taken: never over another file, and a name another
// copy of the program takes between the look and the write is passed by.
// The name that took the file, or "" when none did.
template <class FreeName, class Put>
std::string PutUnderFreeName(BackupWorld& world, FreeName free_name, Put put) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    const std::string path = free_name();
    if (put(path)) return path;
    if (!world.Exists(path)) break;
  }
  return "";
}

// Shows the failed step's word, then gives the user the database they had:
// the parked file goes back over whatever the copy left (if anything was
// parked at all) and is opened again.
RestoreOutcome Fail(BackupWorld& world, const std::string& run_dir, const std::string& parked,
                    RestoreOutcome outcome, const char* word) {
  world.Message(word, "错误", kErrorIcon);
  const std::string live = LivePath(run_dir);
  if (outcome == RestoreOutcome::ParkFailed || world.Move(parked, live)) {
    world.OpenDatabase(live);
  } else {
    // What lies at ml.mdb now is not the user's: the database stays closed.
    world.Message("原数据库文件无法放回原处，您的数据保存在：" + parked, "警告", kWarningIcon);
  }
  return outcome;
}

}  // namespace

std::string BackupFileName(const zz::DateTime& when) { return zz::FormatDateTime(when) + ".ml"; }

bool BackUp(BackupWorld& world, const std::string& run_dir, const zz::DateTime& now) {
  // The database stays open. Our connection holds no transaction between
  // statements (autocommit with a rollback journal), and handlers run one
  // at a time on the one UI thread, so between statements the file on disk
  // is whole and consistent, and a plain file copy is a good backup.
  // Never over another file: a backup made within the same second, or
  // before the clock was set back, or the database a restore kept there.
  // A name another copy of the program takes meanwhile is passed by.
  auto free_name = [&] { return FreeBackupPath(world, run_dir, now); };
  auto copy_to = [&](const std::string& path) { return world.CopyNew(LivePath(run_dir), path); };
  const bool copied = !PutUnderFreeName(world, free_name, copy_to).empty();
  if (copied)
    world.Message("备份成功！", "Ok!", kInfoIcon);
  else
    world.Message("备份失败！", "Sorry!", kInfoIcon);
  return copied;
}

RestoreOutcome Restore(BackupWorld& world, const std::string& run_dir, const zz::DateTime& now) {
  if (world.Message("恢复数据之前，请先备份当前数据，请问你备份了吗？", "？", kYesNoQuestion) != kYes)
    return RestoreOutcome::Declined;
  std::string chosen = world.ChooseBackup(run_dir + "\\back");
  if (chosen.empty()) return RestoreOutcome::NothingChosen;
  world.CloseDatabase();
  const std::string live = LivePath(run_dir);
  auto free_name = [&] { return ParkingPlace(world, run_dir); };
  auto move_to = [&](const std::string& path) { return world.MoveNew(live, path); };
  const std::string parked = PutUnderFreeName(world, free_name, move_to);
  if (parked.empty()) return Fail(world, run_dir, parked, RestoreOutcome::ParkFailed, "temp");
  // A copy keeps the source's read-only attribute: the restored file must
  // take the next day's figures.
  if (!world.Copy(chosen, live) || !world.MakeWritable(live))
    return Fail(world, run_dir, parked, RestoreOutcome::CopyFailed, "back");
  if (!world.OpenDatabase(live)) return Fail(world, run_dir, parked, RestoreOutcome::OpenFailed, "date");
  // The replaced file may be the only copy of the days since the chosen
  // backup: it stays, where it is when it cannot become a backup.
  std::string kept = FreeBackupPath(world, run_dir, now);
  if (!world.MoveNew(parked, kept)) kept = parked;
  world.Message("已完成恢复！\n恢复前的数据已保存为：" + kept, "成功！", kInfoIcon);
  return RestoreOutcome::Restored;
}

}  // namespace keeper
