#include "uninstall_worker.h"

#include <shlobj.h>
#include <shellapi.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "date_text.h"
#include "gbk_text.h"
#include "qv_handle.h"
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
                          (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
    } while (FindNextFileW(find.get(), &data));
    return true;
  }
  void RemoveFile(const std::wstring& path) override { DeleteFileW(path.c_str()); }
  void RemoveFolder(const std::wstring& path) override { RemoveDirectoryW(path.c_str()); }
  bool Copy(const std::wstring& from, const std::wstring& to) override {
    return CopyFileW(from.c_str(), to.c_str(), TRUE) != 0;
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

}  // namespace

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
  DoReport(QvStatisticsEndpoint(), L"uninstall", Wide(context.Record.ShortcutName).c_str());
  Win32RemovalHost host(context.Window);
  // The books go first, out of the folder that is about to go.
  const std::wstring documents = SpecialFolder(CSIDL_COMMON_DOCUMENTS), stamp = NowStamp();
  const std::wstring target = SavedDataFolder(documents, context.Names.key_name, stamp);
  const DataSaved saved =
      documents.empty() ? DataSaved::kFailed : SaveUserData(host, context.Folder, target, stamp);
  if (saved == DataSaved::kFailed) {
    context.DataNotSaved = true;
    return;
  }
  if (saved == DataSaved::kSaved) context.SavedData = target.substr(0, target.size() - 1);
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
  SetPriorityClass(GetCurrentProcess(), REALTIME_PRIORITY_CLASS);
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
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
