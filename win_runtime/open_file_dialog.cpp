#include "open_file_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "file_dialog_filter.h"
#include "gbk_text.h"

namespace rt {
bool ShowOpenFileDialog(HWND owner, UnitState& unit) {
  std::wstring title = zz::GbkToWide(unit.text);
  std::wstring folder = zz::GbkToWide(unit.folder);
  std::u16string filter16 = DialogFilter(unit.filter);
  std::wstring filter(filter16.begin(), filter16.end());
  // Room for a long path; the dialog starts with the last chosen name.
  std::vector<wchar_t> file(32768, L'\0');
  std::wstring start = zz::GbkToWide(unit.file_name);
  start.copy(file.data(), std::min(start.size(), file.size() - 1));

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_HIDEREADONLY;
  if (!GetOpenFileNameW(&ofn)) return false;
  std::wstring chosen(file.data());
  unit.file_name = zz::Utf16ToGbk(std::u16string(chosen.begin(), chosen.end()));
  return true;
}

}  // namespace rt
