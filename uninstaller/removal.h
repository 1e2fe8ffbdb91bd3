// The uninstaller's removal rules, apart from the Win32 calls that carry
// them out: which folder may go at all, how files are counted and deleted
// with their percentages, which shortcuts are the installer's, and the text
// of the batch file that removes what a running program cannot.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// The machine as the removal sees it: the Win32 file system and the window
// in the program, a fake in the tests. Folder paths end with "\".
class RemovalHost {
 public:
  struct Entry {
    std::wstring name;
    bool folder = false;
    // A junction or symbolic link: removed itself, never followed.
    bool link = false;
  };
  enum class Listed {
    kWhole,
    kMissing,  // no folder there
    // There, but the listing failed, at once or part-way: the entries hold
    // what came before the failure, and the folder may hold more.
    kFailed,
  };
  enum class Made {
    kNow,     // made by this call, and held
    kTaken,   // something was at the path already; nothing is held
    kFailed,  // neither made nor there, or what was made could not be held
  };
  // What a folder held is, as read through the handle that holds it.
  struct Held {
    bool folder = false;  // a folder, not a file
    bool link = false;    // a junction, symbolic link or other reparse point
    // Owned by the administrators, the system, TrustedInstaller or the
    // uninstaller's own user, none of whom let anyone else do more than
    // read it: no one else put it there, nor may change what it holds.
    bool guarded = false;
  };
  virtual ~RemovalHost() = default;
  // "." and ".." are left out.
  virtual Listed List(const std::wstring& folder, std::vector<Entry>* entries) = 0;
  // Fails on a read-only file, as DeleteFileW does.
  virtual void RemoveFile(const std::wstring& path) = 0;
  // Clears a file's read-only mark; false when it stays.
  virtual bool MakeWritable(const std::wstring& path) = 0;
  // Removes an empty folder, or a link to a folder without touching its target.
  virtual void RemoveFolder(const std::wstring& path) = 0;
  // False when the copy is not whole or `to` exists already; nothing is then
  // left at `to`. A copy may keep the read-only mark of its source.
  virtual bool Copy(const std::wstring& from, const std::wstring& to) = 0;
  // Makes a folder (no trailing "\") that the users of the PC may read and
  // only the administrators change, inside the folder above it in the same
  // step when that one is held, and holds it. A folder held can be neither
  // renamed nor removed, nor put in place of by a link, by anyone until it
  // is let go.
  virtual Made MakeFolder(const std::wstring& path, Held* held) = 0;
  // Holds what is at the path; false when nothing is there or it cannot be
  // held.
  virtual bool HoldFolder(const std::wstring& path, Held* held) = 0;
  // Lets go of the folder held at the path.
  virtual void ReleaseFolder(const std::wstring& path) = 0;
  // Lets go of every folder held.
  virtual void ReleaseFolders() = 0;
  // 16 hex digits from the system's random source, new at every call;
  // empty when it gives none.
  virtual std::wstring RandomPart() = 0;
  // The product's Uninstall key, by its name.
  virtual void RemoveKey(const std::wstring& key_name) = 0;
  // A percentage from 0 to 99; 100 is only ever sent once every step is done.
  virtual void Progress(int percent) = 0;
};

struct RemovalCounters {
  int total_files = 0;
  int deleted_files = 0;
};

// Files below the folder; links and folders whose names begin with "." are
// neither entered nor counted.
int CountFiles(RemovalHost& host, const std::wstring& folder);

// Deletes the folder's files, read-only ones too, and folders and then the
// folder, sending a percentage for every file (failed deletions count too).
// The files (full paths) for which `stays` is true are left alone, with the
// folders that hold them, and not counted.
void DeleteTree(RemovalHost& host, RemovalCounters& counters, const std::wstring& folder,
                const std::function<bool(const std::wstring&)>& stays = nullptr);

// True when a link to a folder is still somewhere below the folder, dot
// folders included, or may be, in a folder that cannot be listed whole. The
// command interpreter of some systems follows such a link when it removes a
// tree, so the batch file must then leave the folder.
bool HoldsFolderLink(RemovalHost& host, const std::wstring& folder);

// A record field that is to name one file or folder: not empty, not "." or
// "..", and free of "\", "/" and ":".
bool IsSinglePathPart(const std::wstring& name);

// The installation folder may go only when the Uninstall key names it as
// "InstallLocation" and it is neither a drive root nor one of the system and
// shell folders given (nor a folder that holds one of them). Both folders
// may come with or without their trailing "\".
bool MayRemoveInstallFolder(const std::wstring& folder, const std::wstring& install_location,
                            const std::vector<std::wstring>& protected_folders);

// The names the record gives, each kept only when it is a single path part.
struct RemovalNames {
  std::wstring key_name;
  std::wstring shortcut_name;
  std::wstring start_menu_folder;
};
RemovalNames UsableNames(const std::wstring& key_name, const std::wstring& shortcut_name,
                         const std::wstring& start_menu_folder);

// The start-menu shortcuts that the installer made, deleted and counted like
// the installation's files, then their folder when nothing else is left in
// it; then the desktop shortcut. programs and desktop end with "\".
void RemoveShortcuts(RemovalHost& host, RemovalCounters& counters, const RemovalNames& names,
                     const std::wstring& programs, const std::wstring& desktop);

// The bookkeeper's database, its backups and the copy a failed restore
// parks, which live in the installation folder and must outlive it.
constexpr wchar_t kDatabaseFile[] = L"ml.mdb";
constexpr wchar_t kBackupExtension[] = L".ml";
constexpr const wchar_t* kUserDataFolders[] = {L"back", L"temp"};

// What a whole removal needs to know. Folders end with "\"; an empty
// Programs or desktop folder is one that could not be found.
struct RemovalPlan {
  std::wstring folder;
  std::wstring record;  // the uninstall record's full path
  RemovalNames names;
  std::wstring programs;
  std::wstring desktop;
  // The user's files that were saved, by their paths in the folder: below
  // the user's data folders these alone go, for anything that came later
  // exists nowhere else.
  std::vector<std::wstring> saved;
};

// What the removal left below the user's data folders.
enum class LeftBehind {
  kNothing,    // they are gone
  kSavedOnly,  // something stayed there, all of it saved
  // Files stayed there that exist nowhere else (they came after the save),
  // or may, in a folder that cannot be listed whole.
  kUnsaved,
};

// The files, then the shortcuts, then the key, and the record last: while
// the key and the record are there the installation is still found, so a
// run that was cut short can be started again and finishes the job. When
// files that were not saved stay, the key and the record stay too, so that
// the next run saves them; the folder must then not be removed whole.
LeftBehind RemoveInstallation(RemovalHost& host, RemovalCounters& counters, const RemovalPlan& plan);

// The database's rollback journal, and whether its first bytes say that it
// still holds pages to put back: only the two files together are the books.
constexpr wchar_t kJournalSuffix[] = L"-journal";
bool IsHotJournal(const unsigned char* head, std::size_t size);

// documents + "\" + key_name + " 数据\" + stamp + "\": where one uninstall
// leaves them. documents comes with or without its trailing "\".
std::wstring SavedDataFolder(const std::wstring& documents, const std::wstring& key_name,
                             const std::wstring& stamp);

// One of the user's files and the path of its copy below the saved folder.
struct UserFile {
  std::wstring from, to;
};

// The database, named stamp + ".ml" as a backup of that moment is, and
// every file at any depth below the user's data folders under its path
// there ("back\2023\a.ml" stays "back\2023\a.ml"). Links are not followed.
// False, naming it in `unlisted` (with its trailing "\"), when a folder
// that holds them is there but cannot be listed whole: what is missing from
// the list would be removed unsaved.
bool ListUserData(RemovalHost& host, const std::wstring& folder, const std::wstring& stamp,
                  std::vector<UserFile>* files, std::wstring* unlisted);

enum class DataSaved { kNothingToSave, kSaved, kFailed };

struct SaveOutcome {
  DataSaved result = DataSaved::kNothingToSave;
  std::wstring folder;   // where the copies are, ending with "\"
  std::wstring unsaved;  // the file whose copy failed, when that failed
  // The folder that could not be made or used, when that failed; the first
  // name tried when every name was passed by.
  std::wstring unusable;
};

// How many names a folder of the saved data tries, its own and then "(2)",
// "(3)"...; and then how many with a random part, "(0123456789abcdef)",
// for every user may take any fixed list of names beforehand.
constexpr int kSaveFolderNames = 100;
constexpr int kRandomSaveFolderNames = 4;

// Copies the files into a folder below the parent of `target`, each copy
// writable. The parent may be there already, as a real folder that is
// guarded; anything else at that name (a folder another user owns or may
// change, a file, a link) is passed by for "(2)", "(3)"... beside it, and
// when every one of those is, for names with a random part. The folder named
// `target` (or beside it "(2)", "(3)"... when that name is taken) and every
// folder below it must be made now. All of them stay held after a save, so
// that nothing is written through a link anyone put there and no one can
// move the copies before the originals are gone; ReleaseFolders lets go.
// On any failure every copy and folder made is removed again and the
// installation must stay whole.
SaveOutcome SaveUserData(RemovalHost& host, const std::vector<UserFile>& files, const std::wstring& target);

// The batch file's text for the uninstaller's path and its folder (no
// trailing "\"), which it removes whole unless keep_folder is set.
// to_code_page must convert exactly or fail; a percent sign is doubled first
// so that the command interpreter keeps it. Empty when a path cannot be
// written.
std::string SelfDeleteBatch(const std::wstring& uninstaller, const std::wstring& folder, bool keep_folder,
                            const std::function<bool(const std::wstring&, std::string*)>& to_code_page);
