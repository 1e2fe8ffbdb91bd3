// libFuzzer target: any file beside the uninstaller must decode without
// reading past its fields, give back what it holds, and never yield a name
// that steps out of the folder it is joined to.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "removal.h"
#include "uninstall_record.h"

namespace {

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

bool StaysInside(const std::wstring& name) {
  return name.empty() || (name != L"." && name != L".." && name.find_first_of(L"\\/:") == std::wstring::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  UninstallRecord record;
  if (!DecodeUninstallRecord(data, size, &record)) {
    if (size == kUninstallRecordSize) __builtin_trap();
    return 0;
  }
  if (record.KeyName.size() > 50 || record.ShortcutName.size() > 50 || record.StartMenuFolder.size() > 30)
    __builtin_trap();
  // A record whose fields fit and end in zeros encodes back to its bytes.
  std::uint8_t again[kUninstallRecordSize];
  EncodeUninstallRecord(record, again);
  UninstallRecord reread;
  if (!DecodeUninstallRecord(again, sizeof again, &reread) || reread.KeyName.size() > 49 ||
      reread.StartMenuFolder.size() > 29)
    __builtin_trap();
  RemovalNames names = UsableNames(Wide(record.KeyName), Wide(record.ShortcutName), Wide(record.StartMenuFolder));
  if (!StaysInside(names.key_name) || !StaysInside(names.shortcut_name) ||
      !StaysInside(names.start_menu_folder))
    __builtin_trap();
  // The fields as a registered location never let a drive root, a relative
  // path or one that climbs with ".." through.
  const std::wstring location = Wide(record.KeyName);
  if (MayRemoveInstallFolder(location, location, {})) {
    std::wstring path = location;
    for (wchar_t& c : path)
      if (c == L'/') c = L'\\';
    if (path.size() < 4 || (path[1] != L':' && path.compare(0, 2, L"\\\\") != 0) ||
        (path + L'\\').find(L"\\..\\") != std::wstring::npos)
      __builtin_trap();
  }
  return 0;
}
