#include "uninstall_worker.h"

#include <shlobj.h>
#include <shellapi.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "qv_handle.h"
#include "qv_messages.h"
#include "qv_reg.h"
#include "qv_report.h"

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

// Exactly, in the code page the command interpreter reads batch files in:
// a character it would read back as another is refused.
bool ToOemCodePage(const std::wstring& text, std::string* out) {
  const int size = static_cast<int>(text.size());
  BOOL lossy = FALSE;
  const int bytes = WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, text.c_str(), size, nullptr, 0,
                                        nullptr, &lossy);
  if (bytes <= 0 || lossy) return false;
  out->assign(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, text.c_str(), size, &(*out)[0], bytes, nullptr,
                      &lossy);
  return !lossy;
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

  wchar_t location[131] = {};
  if (!GetRegInfo(HKEY_LOCAL_MACHINE, (kUninstallKey + names.key_name).c_str(), L"InstallLocation", 0,
                  location))
    return false;
  if (!MayRemoveInstallFolder(folder, location, ProtectedFolders())) return false;
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
  context.Counters.deleted_files = 0;
  context.Counters.total_files = CountFiles(host, context.Folder);
  DeleteTree(host, context.Counters, context.Folder);
  context.KeepFolder = HoldsFolderLink(host, context.Folder);
  DeleteUninstallKey(context.Names);
  RemoveShortcuts(host, context.Counters, context.Names, SpecialFolder(CSIDL_PROGRAMS),
                  SpecialFolder(CSIDL_DESKTOP));
}

void DeleteUninstallKey(const RemovalNames& names) {
  if (names.key_name.empty()) return;
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, (kUninstallKey + names.key_name).c_str());
}

bool SelfDelete(const UninstallContext& context) {
  std::wstring uninstaller;
  if (context.Folder.size() < 2 || !GetUninstallerPath(&uninstaller)) return false;
  const std::wstring folder = context.Folder.substr(0, context.Folder.size() - 1);
  const std::string batch = SelfDeleteBatch(uninstaller, folder, context.KeepFolder, ToOemCodePage);
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
  ShellExecuteW(nullptr, L"open", kSelfDeleteBatch, nullptr, nullptr, SW_HIDE);
  ExitProcess(0);
}
