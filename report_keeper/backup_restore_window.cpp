// The two maintenance menu items of the main window: backup and restore of
// ml.mdb, on the real files, the main window's message boxes and its
// open-file dialog, and the program's one database connection.
#include <windows.h>

#include "backup_restore.h"
#include "clock.h"
#include "file_access.h"
#include "gbk_text.h"
#include "loader.h"
#include "program.h"

namespace keeper {
namespace {

const char* const kDialog = "通用对话框1";

class ProgramWorld : public BackupWorld {
 public:
  explicit ProgramWorld(rt::RuntimeWindow& main) : main_(main) {}

  int Message(const std::string& text, const std::string& caption, int style) override {
    return rt::ShowMessage(text, caption, style, main_.hwnd());
  }
  std::string ChooseBackup(const std::string& folder) override {
    rt::WindowModel& m = main_.model();
    m.SetFolder(kDialog, folder);
    return m.OpenDialog(kDialog) ? m.Get(kDialog).file_name : "";
  }
  bool Copy(const std::string& from, const std::string& to) override { return rt::CopyFileTo(from, to); }
  bool CopyNew(const std::string& from, const std::string& to) override { return rt::CopyFileTo(from, to, false); }
  bool Move(const std::string& from, const std::string& to) override { return rt::MoveFileTo(from, to); }
  bool MoveNew(const std::string& from, const std::string& to) override { return rt::MoveFileTo(from, to, false); }
  bool Delete(const std::string& path) override { return rt::DeleteFileAt(path); }
  bool Exists(const std::string& path) override { return rt::FileExists(path); }
  bool MakeWritable(const std::string& path) override {
    std::wstring wide = zz::GbkToWide(path);
    DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           ((attributes & FILE_ATTRIBUTE_READONLY) == 0 ||
            SetFileAttributesW(wide.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY) != 0);
  }
  void CloseDatabase() override { Program().database.CloseExternalDatabase(); }
  // Unlike start-up, the restore's open does not suppress the driver's own
  // connection dialog.
  bool OpenDatabase(const std::string& path) override {
    return Program().database.OpenExternalDatabase(path, "", kDatabasePassword, false, false);
  }

 private:
  rt::RuntimeWindow& main_;
};

}  // namespace

void BackUpDatabase(rt::RuntimeWindow& main) {
  ProgramWorld world(main);
  BackUp(world, RunDirectory(), rt::Now());
}

bool RestoreDatabase(rt::RuntimeWindow& main) {
  ProgramWorld world(main);
  return Restore(world, RunDirectory(), rt::Now()) == RestoreOutcome::Restored;
}

}  // namespace keeper
