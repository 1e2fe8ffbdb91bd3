// Program-wide values and services of the main program: the database
// connection reached by every window, the logged-in user, the unit name,
// the quiet flags of the date-range search, and the windows' loaders.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>

#include "database_connection.h"
#include "runtime_window.h"

namespace keeper {

struct ProgramState {
  int SkinNumber = 0;  // 1 to 33, chosen at random for the run
  std::string CurrentUserName;
  std::string UnitNameText;  // empty while none is set
  bool quiet_after_add = false;
  bool quiet_after_modify = false;
  bool quiet_after_delete = false;
  // The settlement the five-day report follows: set by the report button
  // from the settings file and confirmed in the settlement-mode window.
  bool SettlementOn25th = false;
  bool SettlementOnMonthEnd = false;
  rt::RuntimeWindow* main_window = nullptr;
  mdb::DatabaseConnection database;
  // Lists the current settlement period again; set by the main window.
  std::function<void()> RefreshCurrentPeriod;
};

ProgramState& Program();

// The password of ml.mdb.
constexpr const char* kDatabasePassword = "qe.7358+-";

// Reads of database values the program expects to be of one type; any
// other type is the runtime's fatal error, which ends the program.
std::string ReadText(mdb::DatabaseConnection& db, int recordset, const char* column);
long long ReadKey(mdb::DatabaseConnection& db, int recordset, const char* column);
std::string ReadText(int recordset, const char* column);
bool ReadBool(int recordset, const char* column);
long long ReadKey(int recordset, const char* column);
zz::DateTime ReadDate(int recordset, const char* column);
// A date column, or a text column holding a date.
zz::DateTime ReadDateOrText(int recordset, const char* column);

std::string RunDirectory();
std::string SettingsPath();  // run directory + "\1021.ini"
// The settlement keys of 1021.ini: "1" marks the mode that is on.
constexpr const char* kSettingsSection = "系统配置";
constexpr const char* kKeyOn25th = "默认显示方式1";
constexpr const char* kKeyOnMonthEnd = "默认显示方式2";

// False, after the warning box, when a unit's text holds a character GBK
// has none for (it would be stored as "?").
bool TypedTextFits(rt::RuntimeWindow& window, std::initializer_list<const char*> units);

// Every window of a run applies the run's skin when it is created.
void ApplySkin();

int ProgramStart();
// The exit routine: releases the program-wide texts.
void ExitCleanup();

// The windows other than the main window.
void RunLogin(rt::RuntimeWindow& owner);
void ApplyUserRights(rt::WindowModel& main);
void ReadUnitName();
void ShowUnitNameWindow(rt::RuntimeWindow& owner);
void ShowAboutWindow(rt::RuntimeWindow& owner);
void ShowDisplayModeWindow(rt::RuntimeWindow* owner, bool modal);
void ShowSettlementModeWindow(rt::RuntimeWindow& owner);
// Not modal: the report stays open beside the main window.
void ShowFiveDayReportWindow(rt::RuntimeWindow& owner);
void ShowStatisticsReportWindow(rt::RuntimeWindow& owner);

// The main window's backup and restore of ml.mdb.
void BackUpDatabase(rt::RuntimeWindow& main);
// True when the chosen backup is the database now.
bool RestoreDatabase(rt::RuntimeWindow& main);

}  // namespace keeper
