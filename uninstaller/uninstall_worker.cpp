#include "uninstall_worker.h"

#include <ntsecapi.h>
#include <shlobj.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "date_text.h"
#include "gbk_text.h"
#include "qv_handle.h"
#include "qv_log.h"
#include "qv_messages.h"
#include "qv_reg.h"
#include "qv_report.h"
#include "qv_security.h"
#include "qv_utils.h"

namespace {

constexpr wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

// The form in which the system takes a full path as it stands and beyond
// MAX_PATH: a saved copy's path is about 30 characters longer than its
// source's, and the take-back must reach it too.
std::wstring LongForm(const std::wstring& path) {
  if (path.compare(0, 4, L"\\\\?\\") == 0) return path;
  if (path.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + path.substr(2);
  if (path.size() > 2 && path[1] == L':' && path[2] == L'\\') return L"\\\\?\\" + path;
  return path;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

void LogFailure(const wchar_t* what, const std::wstring& path, DWORD error) {
  CQvLog::Instance().WriteLog2(L"uninstaller: cannot %ls %ls (%lu)", what, path.c_str(), error);
}

// Deletes the file the handle holds (opened with DELETE) when it closes;
// no one can put another in its place meanwhile.
bool DeleteWhenClosed(HANDLE file) {
  FILE_DISPOSITION_INFO disposition = {TRUE};
  return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

// 16 hex digits from the system's random source; empty when it gives none.
std::wstring RandomHex() {
  unsigned long long random = 0;
  if (!RtlGenRandom(&random, sizeof random)) return {};
  wchar_t hex[17];
  std::swprintf(hex, 17, L"%016llx", random);
  return hex;
}

class Win32RemovalHost : public RemovalHost {
 public:
  explicit Win32RemovalHost(HWND window) : window_(window) {}

  // Opens the database so that no one else can open, change, rename or
  // delete it until this host deletes it or ends; the copy and the deletion
  // then go through this handle. ERROR_SUCCESS also when there is none.
  DWORD HoldDatabase(const std::wstring& path) {
    HANDLE opened = CreateFileW(LongForm(path).c_str(), GENERIC_READ | DELETE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return ERROR_SUCCESS;
      LogFailure(L"hold", path, error);
      return error;
    }
    auto held = std::make_unique<QvFileHandle>(opened);
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(opened, &info)) {
      const DWORD error = GetLastError();
      LogFailure(L"hold", path, error);
      return error;
    }
    // Books that lead elsewhere are not this installation's to copy or delete.
    if (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) {
      LogFailure(L"hold a link or folder as", path, info.dwFileAttributes);
      return ERROR_CANT_ACCESS_FILE;
    }
    database_ = std::move(held);
    database_path_ = path;
    return ERROR_SUCCESS;
  }

  Listed List(const std::wstring& folder, std::vector<Entry>* entries) override {
    WIN32_FIND_DATAW data;
    QvFindHandle find(FindFirstFileW(LongForm(folder + L"*.*").c_str(), &data));
    if (!find.ok()) {
      const DWORD error = GetLastError();
      if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_DIRECTORY)
        return Listed::kMissing;
      LogFailure(L"list", folder, error);
      return Listed::kFailed;
    }
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      entries->push_back({name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                          QvIsLinkReparseTag(data.dwFileAttributes, data.dwReserved0)});
    } while (FindNextFileW(find.get(), &data));
    const DWORD error = GetLastError();
    if (error == ERROR_NO_MORE_FILES) return Listed::kWhole;
    LogFailure(L"list all of", folder, error);
    return Listed::kFailed;
  }
  void RemoveFile(const std::wstring& path) override {
    if (!IsDatabase(path)) {
      DeleteFileW(LongForm(path).c_str());
      return;
    }
    // Deleted when the handle closes, and never opened by anyone before.
    if (!DeleteWhenClosed(database_->get())) LogFailure(L"delete", path, GetLastError());
    database_.reset();
  }
  bool MakeWritable(const std::wstring& path) override {
    const std::wstring exact = LongForm(path);
    const DWORD attributes = GetFileAttributesW(exact.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    return !(attributes & FILE_ATTRIBUTE_READONLY) ||
           SetFileAttributesW(exact.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY) != 0;
  }
  void RemoveFolder(const std::wstring& path) override { RemoveDirectoryW(LongForm(path).c_str()); }
  bool Copy(const std::wstring& from, const std::wstring& to) override {
    std::unique_ptr<QvFileHandle> opened;
    HANDLE source = nullptr;
    if (IsDatabase(from)) {
      // A second open would be refused by the hold itself.
      source = database_->get();
      LARGE_INTEGER start = {};
      if (!SetFilePointerEx(source, start, nullptr, FILE_BEGIN)) {
        LogFailure(L"read", from, GetLastError());
        return false;
      }
    } else {
      // No one may write it while it is read.
      opened = std::make_unique<QvFileHandle>(CreateFileW(LongForm(from).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                          nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                                                          nullptr));
      if (!opened->ok()) {
        LogFailure(L"read", from, GetLastError());
        return false;
      }
      source = opened->get();
    }
    const std::wstring target = LongForm(to);
    DWORD error = ERROR_SUCCESS;
    {
      // Made new: anything already at `to`, a link too, makes it fail.
      QvFileHandle copy(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
      if (!copy.ok()) {
        LogFailure(L"create", to, GetLastError());
        return false;
      }
      error = CopyData(source, copy.get());
      // The originals are deleted next: the copy must be on the disk first.
      if (error == ERROR_SUCCESS && !FlushFileBuffers(copy.get())) error = GetLastError();
      FILETIME written;
      if (error == ERROR_SUCCESS && GetFileTime(source, nullptr, nullptr, &written))
        SetFileTime(copy.get(), nullptr, nullptr, &written);
    }
    if (error == ERROR_SUCCESS) return true;
    LogFailure(L"copy", from, error);
    DeleteFileW(target.c_str());
    return false;
  }
  Made MakeFolder(const std::wstring& path, Held* held) override {
    const std::wstring parent = path.substr(0, path.rfind(L'\\'));
    const HANDLE above = HeldHandle(parent);
    std::unique_ptr<QvFileHandle> made;
    if (above) {
      // Made and opened in one step inside the folder held, so that no one
      // can put a folder of their own in its place between the two.
      made = std::make_unique<QvFileHandle>(QvCreateProtectedFolderIn(above, path.substr(parent.size() + 1)));
    } else if (QvCreateProtectedFolder(LongForm(path))) {
      made = OpenHeld(path);
    }
    if (!made || !made->ok()) {
      const DWORD error = GetLastError();
      if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) return Made::kTaken;
      LogFailure(L"make", path, error);
      return Made::kFailed;
    }
    // The folder above, while it was still empty, might have been turned
    // into a link to anywhere.
    Held outer;
    if (!Describe(made->get(), path, held) || (above && (!Describe(above, parent, &outer) || outer.link))) {
      LogFailure(L"take as made", path, GetLastError());
      return Made::kFailed;
    }
    folders_.emplace_back(path, std::move(made));
    return Made::kNow;
  }
  bool HoldFolder(const std::wstring& path, Held* held) override {
    std::unique_ptr<QvFileHandle> opened = OpenHeld(path);
    if (!opened->ok() || !Describe(opened->get(), path, held)) {
      LogFailure(L"hold", path, GetLastError());
      return false;
    }
    folders_.emplace_back(path, std::move(opened));
    return true;
  }
  void ReleaseFolder(const std::wstring& path) override {
    for (std::size_t i = folders_.size(); i-- > 0;) {
      if (!SamePath(folders_[i].first, path)) continue;
      folders_.erase(folders_.begin() + static_cast<std::ptrdiff_t>(i));
      return;
    }
  }
  void ReleaseFolders() override { folders_.clear(); }
  std::wstring RandomPart() override { return RandomHex(); }
  void RemoveKey(const std::wstring& key_name) override {
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, (kUninstallKey + key_name).c_str());
  }
  void Progress(int percent) override {
    SendMessageW(window_, WM_SETUP_PROGRESS, static_cast<WPARAM>(percent), 0);
  }

 private:
  bool IsDatabase(const std::wstring& path) const { return database_ && SamePath(path, database_path_); }

  HANDLE HeldHandle(const std::wstring& path) const {
    for (const auto& [held_path, handle] : folders_)
      if (SamePath(held_path, path)) return handle->get();
    return nullptr;
  }

  // Open for listing, adding to and reading its owner, held. A folder this
  // process may not add to is still opened, to be judged.
  static std::unique_ptr<QvFileHandle> OpenHeld(const std::wstring& path) {
    std::unique_ptr<QvFileHandle> opened;
    for (DWORD access : {kQvHeldFolderAccess | FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY, kQvHeldFolderAccess}) {
      opened = std::make_unique<QvFileHandle>(QvOpenFolder(LongForm(path), access));
      if (opened->ok() || GetLastError() != ERROR_ACCESS_DENIED) break;
    }
    return opened;
  }

  // What the handle holds; asked once more by its path, now that it is held.
  static bool Describe(HANDLE handle, const std::wstring& path, Held* held) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info)) return false;
    const DWORD searched = QvSearchedAttributes(LongForm(path));
    held->folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && (searched & FILE_ATTRIBUTE_DIRECTORY);
    held->link = ((info.dwFileAttributes | searched) & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    const QvFolderVerdict verdict = QvJudgeSecurity(handle, QvFolderPlace::kTarget);
    held->guarded = verdict == QvFolderVerdict::kGuarded;
    if (!held->guarded) LogFailure(L"trust, as others may change it,", path, static_cast<DWORD>(verdict));
    return true;
  }

  static DWORD CopyData(HANDLE from, HANDLE to) {
    std::vector<char> buffer(1 << 16);
    for (;;) {
      DWORD got = 0, put = 0;
      if (!ReadFile(from, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) return GetLastError();
      if (got == 0) return ERROR_SUCCESS;
      if (!WriteFile(to, buffer.data(), got, &put, nullptr)) return GetLastError();
      if (put != got) return ERROR_WRITE_FAULT;
    }
  }

  HWND window_;
  std::vector<std::pair<std::wstring, std::unique_ptr<QvFileHandle>>> folders_;
  std::unique_ptr<QvFileHandle> database_;
  std::wstring database_path_;
};

std::wstring SpecialFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE) || !path[0]) return {};
  std::wstring folder = path;
  if (folder.back() != L'\\') folder += L'\\';
  return folder;
}

// Folders that no installation can be, nor hold.
std::vector<std::wstring> ProtectedFolders() {
  static const int kFolders[] = {
      CSIDL_WINDOWS,         CSIDL_SYSTEM,          CSIDL_PROGRAM_FILES,   CSIDL_PROGRAM_FILESX86,
      CSIDL_PROGRAM_FILES_COMMON, CSIDL_PROFILE,    CSIDL_DESKTOP, CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY,
      CSIDL_PERSONAL,        CSIDL_APPDATA,         CSIDL_LOCAL_APPDATA,   CSIDL_COMMON_APPDATA,
      CSIDL_STARTMENU,       CSIDL_COMMON_STARTMENU, CSIDL_PROGRAMS,       CSIDL_COMMON_PROGRAMS,
      CSIDL_COMMON_DOCUMENTS,
  };
  std::vector<std::wstring> folders;
  for (int csidl : kFolders) folders.push_back(SpecialFolder(csidl));
  return folders;
}

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

// The moment of the uninstall as the main program names a backup made then.
std::wstring NowStamp() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const zz::DateTime stamp{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
  return zz::GbkToWide(zz::FormatDateTime(stamp));
}

// The batch file's folder: the command interpreter that runs it works
// there, for it cannot remove the folder it works in.
std::wstring BatchFolder() {
  const std::wstring batch = kSelfDeleteBatch;
  return batch.substr(0, batch.rfind(L'\\') + 1);
}

// How many names the batch file tries: "c:\clear.bat", then
// "c:\clear(2).bat"..., the last with a random part, for every user may
// make a file or folder at the root of drive C: before.
constexpr int kBatchNames = 10;

std::wstring BatchName(int n) {
  const std::wstring batch = kSelfDeleteBatch;
  if (n == 1) return batch;
  const std::wstring random = n == kBatchNames ? RandomHex() : std::wstring();
  const std::wstring part = random.empty() ? std::to_wstring(n) : random;
  const std::size_t dot = batch.rfind(L'.');
  return batch.substr(0, dot) + L'(' + part + L')' + batch.substr(dot);
}

// Deletes what is at the path when it is a batch file an earlier run left:
// a plain file with no other name, no link, that no one else may change.
// Judged and deleted through one handle, which follows no link.
bool DeleteLeftBatch(const std::wstring& path) {
  QvFileHandle file(CreateFileW(path.c_str(), DELETE | READ_CONTROL | FILE_READ_ATTRIBUTES, 0, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  if (!file.ok() || !GetFileInformationByHandle(file.get(), &info)) return false;
  const DWORD attributes = info.dwFileAttributes | QvSearchedAttributes(path);
  if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) || info.nNumberOfLinks != 1 ||
      QvJudgeSecurity(file.get(), QvFolderPlace::kTarget) != QvFolderVerdict::kGuarded)
    return false;
  return DeleteWhenClosed(file.get());
}

// The batch file, made new with the administrators' rights: the command
// interpreter reads a batch file line by line as it runs it, so whoever
// could change it while it waits could have a line of theirs run as an
// administrator. What another put at a name is left as it is. `path` gets
// its name; INVALID_HANDLE_VALUE when no name would do.
HANDLE CreateBatchFile(std::wstring* path) {
  // For a file the marks that hand the rights on mean nothing.
  QvProtectedFolderSecurity security;
  if (!security.attributes()) return INVALID_HANDLE_VALUE;
  for (int n = 1; n <= kBatchNames; ++n) {
    *path = BatchName(n);
    for (int attempt = 0; attempt < 2; ++attempt) {
      const HANDLE file = CreateFileW(path->c_str(), GENERIC_WRITE | DELETE, 0, security.attributes(), CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
      if (file != INVALID_HANDLE_VALUE) return file;
      LogFailure(L"create", *path, GetLastError());
      if (attempt > 0 || !DeleteLeftBatch(*path)) break;
    }
  }
  return INVALID_HANDLE_VALUE;
}

// What the user is told when nothing was saved or removed.
const wchar_t kProgramRunningNotice[] = L"请关闭正在运行的程序后重新卸载，没有删除任何文件。";
const wchar_t kHotJournalNotice[] = L"数据库上次没有正常关闭，请先运行一次程序后重新卸载，没有删除任何文件。";
const wchar_t kDataNotSavedNotice[] = L"无法保存您的数据，没有删除任何文件。";

// True when the database's journal still holds pages to put back, or
// cannot be read to tell.
bool HasHotJournal(const std::wstring& folder) {
  const std::wstring journal = folder + kDatabaseFile + kJournalSuffix;
  QvFileHandle file(CreateFileW(journal.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file.ok()) {
    const DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
  }
  unsigned char head[8];
  DWORD got = 0;
  if (!ReadFile(file.get(), head, sizeof head, &got, nullptr)) return true;
  return IsHotJournal(head, got);
}

// The notice, and below it the file or folder it is about by its place in
// the installation: a full path may be too long for the box.
std::wstring NoticeNaming(const wchar_t* notice, const std::wstring& folder, const std::wstring& path) {
  std::wstring place = path.compare(0, folder.size(), folder) == 0 ? path.substr(folder.size()) : path;
  if (place.empty()) place = folder;
  if (place.back() == L'\\') place.pop_back();
  return notice + (L"\n" + place);
}

// The path as the file system spells it, so that a short name compares.
std::wstring LongPath(const std::wstring& path) {
  wchar_t buffer[MAX_PATH];
  const DWORD length = GetLongPathNameW(path.c_str(), buffer, MAX_PATH);
  return length == 0 || length >= MAX_PATH ? path : std::wstring(buffer, length);
}

// The names of the programs anywhere below the folder (ending with "\").
void AddProgramNames(const std::wstring& folder, std::vector<std::wstring>* names) {
  WIN32_FIND_DATAW data;
  QvFindHandle find(FindFirstFileW(LongForm(folder + L"*").c_str(), &data));
  if (!find.ok()) return;
  do {
    const std::wstring name = data.cFileName;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (name != L"." && name != L".." && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        AddProgramNames(folder + name + L'\\', names);
    } else if (name.size() > 4 && SamePath(name.substr(name.size() - 4), L".exe")) {
      names->push_back(name);
    }
  } while (FindNextFileW(find.get(), &data));
}

}  // namespace

bool RunsFromFolder(const std::wstring& folder) {
  const std::wstring prefix = LongPath(folder);
  const HANDLE taken = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  // What cannot be looked at may be running.
  if (taken == INVALID_HANDLE_VALUE) {
    LogFailure(L"list the processes for", folder, GetLastError());
    return true;
  }
  QvHandle snapshot(taken);
  std::vector<std::wstring> programs;
  bool programs_listed = false;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  // The uninstaller itself is in every snapshot: an empty one was not read.
  if (!Process32FirstW(snapshot.get(), &entry)) {
    LogFailure(L"read the processes for", folder, GetLastError());
    return true;
  }
  for (BOOL more = TRUE; more; more = Process32NextW(snapshot.get(), &entry)) {
    if (entry.th32ProcessID == GetCurrentProcessId()) continue;
    QvHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
    wchar_t image[MAX_PATH];
    DWORD size = MAX_PATH;
    if (!process.get() || !QueryFullProcessImageNameW(process.get(), 0, image, &size)) {
      // A process that cannot be asked, as the system's own, is passed
      // over, unless it bears the name of one of the installation's programs.
      if (!programs_listed) AddProgramNames(folder, &programs);
      programs_listed = true;
      for (const auto& name : programs)
        if (SamePath(name, entry.szExeFile)) return true;
      continue;
    }
    const std::wstring path = LongPath(std::wstring(image, size));
    if (path.size() > prefix.size() &&
        CompareStringOrdinal(path.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                             static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL)
      return true;
  }
  return false;
}

bool GetUninstallerPath(std::wstring* path) {
  wchar_t buffer[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  // A path that filled the buffer may have been cut.
  if (length == 0 || length >= MAX_PATH) return false;
  path->assign(buffer, length);
  return true;
}

bool FindInstallation(const std::wstring& uninstaller, UninstallContext* context) {
  const std::wstring folder = uninstaller.substr(0, uninstaller.rfind(L'\\') + 1);
  if (folder.empty()) return false;

  File file(_wfopen((folder + kUninstallRecordName).c_str(), L"rb"));
  if (!file) return false;
  std::uint8_t bytes[kUninstallRecordSize + 1];
  const std::size_t size = std::fread(bytes, 1, sizeof bytes, file.get());
  UninstallRecord record;
  if (!DecodeUninstallRecord(bytes, size, &record)) return false;
  // A field without its NUL is no record the installer wrote.
  if (record.KeyName.size() > kUninstallRecordNameChars ||
      record.ShortcutName.size() > kUninstallRecordNameChars ||
      record.StartMenuFolder.size() > kUninstallRecordFolderChars)
    return false;
  RemovalNames names = UsableNames(Wide(record.KeyName), Wide(record.ShortcutName),
                                   Wide(record.StartMenuFolder));
  if (names.key_name.empty()) return false;

  std::wstring location;
  if (!QvReadRegText(HKEY_LOCAL_MACHINE, kUninstallKey + names.key_name, L"InstallLocation", &location))
    return false;
  if (!MayRemoveInstallFolder(folder, location, ProtectedFolders())) return false;
  // A folder that is itself a link would have its target emptied.
  if (QvIsLink(folder)) return false;
  context->Folder = folder;
  context->Record = record;
  context->Names = names;
  return true;
}

unsigned __stdcall UninstallThread(void* arg) {
  auto* context = static_cast<UninstallContext*>(arg);
  Sleep(1000);
  DoUninstall(*context);
  PostMessageW(context->Window, WM_SETUP_PROGRESS, 100, 0);
  return 0;
}

void DoUninstall(UninstallContext& context) {
  if (context.Folder.empty()) return;
  Win32RemovalHost host(context.Window);
  // Held from before the checks until it is deleted: the program, started
  // meanwhile from a shortcut that is still there, cannot open its books,
  // so nothing changes them between their copy and their removal.
  const DWORD held = host.HoldDatabase(context.Folder + kDatabaseFile);
  // Nothing is saved or removed under a running program, nor while the
  // books are half written.
  if (RunsFromFolder(context.Folder)) {
    context.Refusal = kProgramRunningNotice;
    return;
  }
  if (held != ERROR_SUCCESS) {
    context.Refusal = NoticeNaming(kDataNotSavedNotice, context.Folder, context.Folder + kDatabaseFile);
    return;
  }
  if (HasHotJournal(context.Folder)) {
    context.Refusal = kHotJournalNotice;
    return;
  }
  RemovalPlan plan;
  plan.folder = context.Folder;
  plan.record = context.Folder + kUninstallRecordName;
  plan.names = context.Names;
  plan.programs = SpecialFolder(CSIDL_PROGRAMS);
  plan.desktop = SpecialFolder(CSIDL_DESKTOP);
  // The books go first, out of the folder that is about to go.
  const std::wstring stamp = NowStamp();
  std::vector<UserFile> files;
  std::wstring unlisted;
  if (!ListUserData(host, context.Folder, stamp, &files, &unlisted)) {
    context.Refusal = NoticeNaming(kDataNotSavedNotice, context.Folder, unlisted);
    return;
  }
  if (!files.empty()) {
    const std::wstring documents = SpecialFolder(CSIDL_COMMON_DOCUMENTS);
    SaveOutcome saved;
    saved.result = DataSaved::kFailed;
    if (!documents.empty())
      saved = SaveUserData(host, files, SavedDataFolder(documents, context.Names.key_name, stamp));
    if (saved.result != DataSaved::kSaved) {
      const std::wstring& named = saved.unsaved.empty() ? saved.unusable : saved.unsaved;
      context.Refusal = named.empty() ? kDataNotSavedNotice : NoticeNaming(kDataNotSavedNotice, context.Folder, named);
      return;
    }
    context.SavedData = saved.folder.substr(0, saved.folder.size() - 1);
    for (const auto& file : files) plan.saved.push_back(file.from);
  }
  // A program started while the copies were made would lose what it
  // writes. The copies stay: they are whole, and taking them back would
  // delete in a folder every user may write to, its hold let go.
  if (RunsFromFolder(context.Folder)) {
    context.Refusal = kProgramRunningNotice;
    return;
  }
  DoReport(QvStatisticsEndpoint(), L"uninstall", Wide(context.Record.ShortcutName).c_str());
  // A process cannot have the folder it works in removed: started from its
  // shortcut, the uninstaller works in the installation folder.
  SetCurrentDirectoryW(BatchFolder().c_str());
  context.Left = RemoveInstallation(host, context.Counters, plan);
  // Only now may anyone move the saved copies: the originals are gone.
  host.ReleaseFolders();
  context.KeepFolder = context.Left != LeftBehind::kNothing || HoldsFolderLink(host, context.Folder);
}

bool HoldsUserData(const std::wstring& folder) {
  for (const wchar_t* name : kUserDataFolders) {
    if (GetFileAttributesW(LongForm(folder + name).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return true;
  }
  return false;
}

bool SelfDelete(const UninstallContext& context) {
  std::wstring uninstaller;
  if (context.Folder.size() < 2 || !GetUninstallerPath(&uninstaller)) return false;
  const std::wstring folder = context.Folder.substr(0, context.Folder.size() - 1);
  const UINT code_page = GetOEMCP();
  const std::string batch = SelfDeleteBatch(
      uninstaller, folder, context.KeepFolder,
      [code_page](const std::wstring& text, std::string* out) { return ToBatchCodePage(text, code_page, out); });
  if (batch.empty()) return false;
  std::wstring batch_path;
  {
    QvFileHandle file(CreateBatchFile(&batch_path));
    if (!file.ok()) return false;
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(batch.size());
    if (!WriteFile(file.get(), batch.data(), size, &written, nullptr) || written != size ||
        !FlushFileBuffers(file.get())) {
      LogFailure(L"write", batch_path, GetLastError());
      // Half a batch file must never run.
      DeleteWhenClosed(file.get());
      return false;
    }
  }
  // Ending before the batch's first try spares it a wait; the batch retries
  // anyway, so no class that could starve the rest of the machine.
  SetPriorityClass(GetCurrentProcess(), ABOVE_NORMAL_PRIORITY_CLASS);
  SHChangeNotify(SHCNE_DELETE, SHCNF_PATHW, folder.c_str(), nullptr);
  // ExitProcess would cut a report still on its way.
  WaitReports(5000);
  ShellExecuteW(nullptr, L"open", batch_path.c_str(), nullptr, BatchFolder().c_str(), SW_HIDE);
  ExitProcess(0);
}

bool ToBatchCodePage(const std::wstring& text, UINT code_page, std::string* out) {
  const int size = static_cast<int>(text.size());
  // UTF-8 holds every path exactly, and takes no best-fit flag.
  const bool utf8 = code_page == CP_UTF8;
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL lossy = FALSE;
  BOOL* lossy_out = utf8 ? nullptr : &lossy;
  const int bytes = WideCharToMultiByte(code_page, flags, text.c_str(), size, nullptr, 0, nullptr, lossy_out);
  if (bytes <= 0 || lossy) return false;
  out->assign(static_cast<std::size_t>(bytes), '\0');
  return WideCharToMultiByte(code_page, flags, text.c_str(), size, &(*out)[0], bytes, nullptr, lossy_out) ==
             bytes &&
         !lossy;
}
