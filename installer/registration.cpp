#include "registration.h"

#include <shlwapi.h>

#include <memory>
#include <vector>

#include "qv_log.h"
#include "qv_shell.h"
#include "qv_utils.h"
#include "uninstall_record.h"

namespace {

std::wstring Below(const InstallContext& context, const std::u16string& relative) {
  return ToWide(JoinPath(ToU16(context.TargetFolder), relative));
}

struct KeyCloser {
  void operator()(HKEY key) const { RegCloseKey(key); }
};

}  // namespace

std::wstring UninstallKeyPath(const std::wstring& key_name) {
  return L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + key_name;
}

bool WriteUninstallKey(const InstallContext& context, const PayloadHeader& header) {
  if (header.KeyName.empty()) return false;
  HKEY raw = nullptr;
  LONG status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, UninstallKeyPath(ToWide(header.KeyName)).c_str(), 0,
                                nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr, &raw,
                                nullptr);
  if (status != ERROR_SUCCESS) {
    CQvLog::Instance().WriteLog2(L"installer: cannot create the Uninstall key (%ld)", status);
    return false;
  }
  std::unique_ptr<HKEY__, KeyCloser> key(raw);
  const std::wstring uninstaller = Below(context, header.UninstallerPath);
  // Quoted, or Windows may start the first blank-separated part of the path.
  const std::wstring command = L"\"" + uninstaller + L"\"";
  const std::wstring location = uninstaller.substr(0, uninstaller.rfind(L'\\'));
  const struct {
    LPCWSTR name;
    std::wstring data;
  } values[] = {
      {L"DisplayName", ToWide(header.DisplayName)},
      {L"DisplayVersion", ToWide(header.DisplayVersion)},
      {L"Publisher", ToWide(header.Publisher)},
      {L"HelpLink", ToWide(header.HelpLink)},
      {L"DisplayIcon", Below(context, header.IconPath)},
      {L"UninstallString", command},
      {L"InstallLocation", location},
  };
  for (const auto& v : values) {
    DWORD bytes = static_cast<DWORD>((v.data.size() + 1) * sizeof(wchar_t));
    RegSetValueExW(key.get(), v.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.data.c_str()), bytes);
  }
  return true;
}

void CreateShortcuts(const PayloadHeader& header, const InstallContext& context) {
  if (header.KeyName.empty()) return;
  const bool com = SUCCEEDED(CoInitialize(nullptr));
  const std::wstring key = ToWide(header.KeyName), program = Below(context, header.ShortcutTarget);
  const std::wstring comment = ToWide(header.ShortcutComment);
  wchar_t folder[MAX_PATH] = L"";
  if (GetDesktopPath(folder) && folder[0])
    CreateShortcut(folder, key.c_str(), program.c_str(), nullptr, 0, comment.c_str(), SW_SHOWNORMAL);
  folder[0] = L'\0';
  GetProgramsPath(folder);
  std::wstring menu = folder;
  if (!header.StartMenuFolder.empty()) menu += L"\\" + ToWide(header.StartMenuFolder);
  // The longest name below it is "官方网站.url"; a longer path is not made at all.
  if (folder[0] && menu.size() + 10 < MAX_PATH) {
    if (!PathFileExistsW(menu.c_str())) CreateDirectoryW(menu.c_str(), nullptr);
    const std::wstring uninstaller = Below(context, header.UninstallerPath);
    CreateShortcut(menu.c_str(), key.c_str(), program.c_str(), nullptr, 0, nullptr, SW_SHOWNORMAL);
    CreateUrlShortcut((menu + L"\\官方网站.url").c_str(), ToWide(header.HelpLink).c_str());
    CreateShortcut(menu.c_str(), L"卸载", uninstaller.c_str(), nullptr, 0, nullptr, SW_SHOWNORMAL);
  } else {
    CQvLog::Instance().WriteLog2(L"installer: no start-menu folder %ls", menu.c_str());
  }
  if (com) CoUninitialize();
}

void WriteUninstallRecord(const PayloadHeader& header, const InstallContext& context) {
  UninstallRecord record{header.KeyName, header.UserDataFolder, header.KeyName, header.StartMenuFolder};
  std::uint8_t bytes[kUninstallRecordSize];
  EncodeUninstallRecord(record, bytes);
  const std::wstring path = UninstallRecordFile(header, context);
  if (!QvWriteFile(path.c_str(), bytes, sizeof bytes))
    CQvLog::Instance().WriteLog2(L"installer: cannot write %ls", path.c_str());
}

std::wstring UninstallRecordFile(const PayloadHeader& header, const InstallContext& context) {
  return ToWide(UninstallRecordPathFor(ToU16(Below(context, header.UninstallerPath))));
}
