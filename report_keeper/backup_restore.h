// Backup and restore of the database file ml.mdb. Both work on whole
// files; the order of the steps, their messages and the way a failed
// restore gives the user back the database they had are kept here, apart
// from files and windows, behind BackupWorld.
#pragma once

#include <string>

#include "date_text.h"

namespace keeper {

// "<date-time text>.ml": a second's backups share one name.
std::string BackupFileName(const zz::DateTime& when);

// What a backup or a restore does outside itself.
class BackupWorld {
 public:
  virtual ~BackupWorld() = default;
  // A message box; the pressed button numbered from 0 (Yes 5, No 6).
  virtual int Message(const std::string& text, const std::string& caption, int style) = 0;
  // The backup file the user chose in the open-file dialog starting in
  // `folder`; "" when the dialog was cancelled.
  virtual std::string ChooseBackup(const std::string& folder) = 0;
  virtual bool Copy(const std::string& from, const std::string& to) = 0;  // overwrites
  virtual bool CopyNew(const std::string& from, const std::string& to) = 0;  // fails when `to` is there
  virtual bool Move(const std::string& from, const std::string& to) = 0;  // overwrites
  virtual bool MoveNew(const std::string& from, const std::string& to) = 0;  // fails when `to` is there
  virtual bool Delete(const std::string& path) = 0;
  virtual bool Exists(const std::string& path) = 0;
  // Clears a read-only attribute the file brought from a CD or a protected
  // folder.
  virtual bool MakeWritable(const std::string& path) = 0;
  virtual void CloseDatabase() = 0;
  virtual bool OpenDatabase(const std::string& path) = 0;
};

// Copies run_dir\ml.mdb to run_dir\back\<BackupFileName(now)>, or beside it
// with "(2)", "(3)"... when that name is taken, and says how it went. True
// when the copy was made.
bool BackUp(BackupWorld& world, const std::string& run_dir, const zz::DateTime& now);

enum class RestoreOutcome {
  Declined,      // the user has not backed up first
  NothingChosen,
  ParkFailed,    // the live file could not be moved to temp\ml.mdb
  CopyFailed,    // the chosen file could not be copied to ml.mdb
  OpenFailed,    // the database refused the copied file
  Restored,
};

// Replaces run_dir\ml.mdb with a chosen backup. The live file is parked in
// run_dir\temp under a name no file there has (ml.mdb, else ml(2).mdb and
// on). After a failure it is put back and opened again, so the program
// never runs on without its database; when it cannot be put back, it stays
// parked, the user is told where, and no later restore overwrites it.
// After a success it is kept as a backup made at `now` (a free name in
// run_dir\back), and the user is told its name: answering "yes" to the
// question without having backed up loses nothing.
RestoreOutcome Restore(BackupWorld& world, const std::string& run_dir, const zz::DateTime& now);

}  // namespace keeper
