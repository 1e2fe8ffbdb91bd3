// The removal worker: finds out whether the folder the uninstaller runs from
// is an installation it may remove, removes it with its key and shortcuts,
// and hands what a running program cannot delete to a batch file.
#pragma once

#include <windows.h>

#include <string>

#include "removal.h"
#include "uninstall_record.h"

// The record's fixed name beside the uninstaller.
constexpr wchar_t kUninstallRecordName[] = L"Zodadira.dat";
// The batch file's name; "clear(2).bat"... beside it when another's is there.
constexpr wchar_t kSelfDeleteBatch[] = L"c:\\clear.bat";

struct UninstallContext {
  // Set before the worker starts; receives WM_SETUP_PROGRESS.
  HWND Window = nullptr;
  // Written by the worker alone.
  RemovalCounters Counters;
  // The installation folder (ending with "\") and the record's usable names,
  // set by FindInstallation before any thread starts.
  std::wstring Folder;
  UninstallRecord Record;
  RemovalNames Names;
  // Set by the worker when a link it could not remove is left in the
  // folder, or files of the user: the batch file then deletes the
  // uninstaller but not the folder.
  bool KeepFolder = false;
  // Set by the worker: what stayed below the user's data folders, which
  // came after the save or could not be deleted. The user is told; while
  // files that were not saved stay, so do the key, the record and the
  // uninstaller, for the next run to save them.
  LeftBehind Left = LeftBehind::kNothing;
  // Set by the worker: the folder the bookkeeper's database and backups
  // were saved in (empty when there were none); or, when nothing at all was
  // saved or removed, what the user is told.
  std::wstring SavedData;
  std::wstring Refusal;
};

// The uninstaller's own file; false when the path filled its buffer.
bool GetUninstallerPath(std::wstring* path);

// Fills the context's folder and names when the uninstaller at this path
// lies in a whole installation: a valid record beside it whose key names its
// folder as "InstallLocation", and no drive root or system or shell folder.
bool FindInstallation(const std::wstring& uninstaller, UninstallContext* context);

// True when a process other than this one runs a program from the folder
// (ending with "\"): its files and the database it holds cannot go.
bool RunsFromFolder(const std::wstring& folder);

// True when the user's data folders below the folder (ending with "\") are
// there, or may be: after a removal, whatever is in them came since.
bool HoldsUserData(const std::wstring& folder);

unsigned __stdcall UninstallThread(void* context);
void DoUninstall(UninstallContext& context);

// Writes and starts the batch file and ends the process; returns false only
// when the batch file cannot be written exactly.
bool SelfDelete(const UninstallContext& context);

// The text exactly in the code page the command interpreter reads batch
// files in; false when a character would be read back as another.
bool ToBatchCodePage(const std::wstring& text, UINT code_page, std::string* out);
