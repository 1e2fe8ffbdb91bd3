#include "uninstall_worker.h"

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
#include "qv_utils.h"

namespace {

constexpr wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

class Win32RemovalHost : public RemovalHost {
 public:
  explicit Win32RemovalHost(HWND window) : window_(window) {}

  bool List(const std::wstring& folder, std::vector<Entry>* entries) override {
    WIN32_FIND_DATAW data;
    QvFindHandle find(FindFirstFileW((folder + L"*.*").c_str(), &data));
    if (!find.ok()) return false;
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      entries->push_back({name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                          QvIsLinkReparseTag(data.dwFileAttributes, data.dwReserved0)});
    } while (FindNextFileW(find.get(), &data));
    return true;
  }
  void RemoveFile(const std::wstring& path) override { DeleteFileW(path.c_str()); }
  bool MakeWritable(const std::wstring& path) override {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    return !(attributes & FILE_ATTRIBUTE_READONLY) ||
           SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY) != 0;
  }
  void RemoveFolder(const std::wstring& path) override { RemoveDirectoryW(path.c_str()); }
  bool Copy(const std::wstring& from, const std::wstring& to) override {
    if (GetFileAttributesW(to.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
    if (CopyFileW(from.c_str(), to.c_str(), TRUE)) return true;
    // A copy cut short may leave its beginning behind.
    const DWORD error = GetLastError();
    if (MakeWritable(to)) DeleteFileW(to.c_str());
    CQvLog::Instance().WriteLog2(L"uninstaller: cannot copy %ls (%lu)", from.c_str(), error);
    return false;
  }
  bool MakeFolder(const std::wstring& path) override {
    return CreateDirectoryW(path.c_str(), nullptr) || isDir(path.c_str());
  }
  void RemoveKey(const std::wstring& key_name) override {
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, (kUninstallKey + key_name).c_str());
  }
  void Progress(int percent) override {
    SendMessageW(window_, WM_SETUP_PROGRESS, static_cast<WPARAM>(percent), 0);
  }

 private:
  HWND window_;
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

// The path as the file system spells it, so that a short name compares.
std::wstring LongPath(const std::wstring& path) {
  wchar_t buffer[MAX_PATH];
  const DWORD length = GetLongPathNameW(path.c_str(), buffer, MAX_PATH);
  return length == 0 || length >= MAX_PATH ? path : std::wstring(buffer, length);
}

}  // namespace

bool RunsFromFolder(const std::wstring& folder) {
  const std::wstring prefix = LongPath(folder);
  const HANDLE taken = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (taken == INVALID_HANDLE_VALUE) return false;
  QvHandle snapshot(taken);
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    if (entry.th32ProcessID == GetCurrentProcessId()) continue;
    // A process that cannot be asked, as the system's own, is passed over.
    QvHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
    if (!process.get()) continue;
    wchar_t image[MAX_PATH];
    DWORD size = MAX_PATH;
    if (!QueryFullProcessImageNameW(process.get(), 0, image, &size)) continue;
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
  // Nothing is saved or removed under a running program, nor while the
  // books are half written.
  if (RunsFromFolder(context.Folder)) {
    context.Refusal = kProgramRunningNotice;
    return;
  }
  if (HasHotJournal(context.Folder)) {
    context.Refusal = kHotJournalNotice;
    return;
  }
  DoReport(QvStatisticsEndpoint(), L"uninstall", Wide(context.Record.ShortcutName).c_str());
  Win32RemovalHost host(context.Window);
  // The books go first, out of the folder that is about to go.
  const std::wstring stamp = NowStamp();
  const std::vector<UserFile> files = ListUserData(host, context.Folder, stamp);
  if (!files.empty()) {
    const std::wstring documents = SpecialFolder(CSIDL_COMMON_DOCUMENTS);
    const std::wstring target = SavedDataFolder(documents, context.Names.key_name, stamp);
    if (documents.empty() || SaveUserData(host, files, target) != DataSaved::kSaved) {
      context.Refusal = kDataNotSavedNotice;
      return;
    }
    context.SavedData = target.substr(0, target.size() - 1);
  }
  // A process cannot have the folder it works in removed: started from its
  // shortcut, the uninstaller works in the installation folder.
  SetCurrentDirectoryW(BatchFolder().c_str());
  RemovalPlan plan;
  plan.folder = context.Folder;
  plan.record = context.Folder + kUninstallRecordName;
  plan.names = context.Names;
  plan.programs = SpecialFolder(CSIDL_PROGRAMS);
  plan.desktop = SpecialFolder(CSIDL_DESKTOP);
  RemoveInstallation(host, context.Counters, plan);
  context.KeepFolder = HoldsFolderLink(host, context.Folder);
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
  {
    // Binary: the text carries its own CR LF line ends.
    File file(_wfopen(kSelfDeleteBatch, L"wb"));
    if (!file) return false;
    if (std::fwrite(batch.data(), 1, batch.size(), file.get()) != batch.size() || std::fflush(file.get()) != 0)
      return false;
  }
  // Ending before the batch's first try spares it a wait; the batch retries
  // anyway, so no class that could starve the rest of the machine.
  SetPriorityClass(GetCurrentProcess(), ABOVE_NORMAL_PRIORITY_CLASS);
  SHChangeNotify(SHCNE_DELETE, SHCNF_PATHW, folder.c_str(), nullptr);
  // ExitProcess would cut a report still on its way.
  WaitReports(5000);
  ShellExecuteW(nullptr, L"open", kSelfDeleteBatch, nullptr, BatchFolder().c_str(), SW_HIDE);
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
