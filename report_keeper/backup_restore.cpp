#include "backup_restore.h"

namespace keeper {
namespace {

constexpr int kErrorIcon = 16;
constexpr int kYesNoQuestion = 36;
constexpr int kInfoIcon = 64;
constexpr int kYes = 5;

std::string LivePath(const std::string& run_dir) { return run_dir + "\\ml.mdb"; }
std::string ParkedPath(const std::string& run_dir) { return run_dir + "\\temp\\ml.mdb"; }

// Shows the failed step's word, then gives the user the database they had:
// the parked file goes back over whatever the copy left (if anything was
// parked at all) and is opened again.
RestoreOutcome Fail(BackupWorld& world, const std::string& run_dir, RestoreOutcome outcome,
                    const char* word) {
  world.Message(word, "错误", kErrorIcon);
  const std::string live = LivePath(run_dir);
  bool parked = outcome != RestoreOutcome::ParkFailed;
  // A parked file that cannot come back stays where it is, and the
  // database stays closed: what lies at ml.mdb then is not the user's.
  if (!parked || world.Move(ParkedPath(run_dir), live)) world.OpenDatabase(live);
  return outcome;
}

}  // namespace

std::string BackupFileName(const zz::DateTime& when) { return zz::FormatDateTime(when) + ".ml"; }

bool BackUp(BackupWorld& world, const std::string& run_dir, const zz::DateTime& now) {
  // The database stays open. Our connection holds no transaction between
  // statements (autocommit with a rollback journal), and handlers run one
  // at a time on the one UI thread, so between statements the file on disk
  // is whole and consistent, and a plain file copy is a good backup.
  bool copied = world.Copy(LivePath(run_dir), run_dir + "\\back\\" + BackupFileName(now));
  if (copied)
    world.Message("备份成功！", "Ok!", kInfoIcon);
  else
    world.Message("备份失败！", "Sorry!", kInfoIcon);
  return copied;
}

RestoreOutcome Restore(BackupWorld& world, const std::string& run_dir) {
  if (world.Message("恢复数据之前，请先备份当前数据，请问你备份了吗？", "？", kYesNoQuestion) != kYes)
    return RestoreOutcome::Declined;
  std::string chosen = world.ChooseBackup(run_dir + "\\back");
  if (chosen.empty()) return RestoreOutcome::NothingChosen;
  world.CloseDatabase();
  const std::string live = LivePath(run_dir);
  const std::string parked = ParkedPath(run_dir);
  if (!world.Move(live, parked)) return Fail(world, run_dir, RestoreOutcome::ParkFailed, "temp");
  if (!world.Copy(chosen, live)) return Fail(world, run_dir, RestoreOutcome::CopyFailed, "back");
  if (!world.OpenDatabase(live)) return Fail(world, run_dir, RestoreOutcome::OpenFailed, "date");
  world.Message("已完成恢复！", "成功！", kInfoIcon);
  world.Delete(parked);
  return RestoreOutcome::Restored;
}

}  // namespace keeper
