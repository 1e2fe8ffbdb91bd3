#include "list_background.h"

#include <commctrl.h>

#include "gbk_text.h"
#include "file_access.h"

namespace keeper {
namespace {

std::string TempFolder() {
  // "temp" first, as the program always looked there; the system's
  // temporary folder when it is not set.
  std::string folder = rt::EnvironmentVariable("temp");
  if (!folder.empty()) return folder;
  wchar_t buf[MAX_PATH + 1] = {};
  DWORD n = GetTempPathW(MAX_PATH + 1, buf);
  std::wstring wide(buf, n);
  while (!wide.empty() && wide.back() == L'\\') wide.pop_back();
  return zz::WideToGbk(wide);
}

}  // namespace

int MeasureRowPitch(HWND list) {
  int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  int added = 0;
  for (; count + added < 2; ++added) {
    LVITEMW item{};
    item.iItem = count + added;
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
  POINT p0{}, p1{};
  SendMessageW(list, LVM_GETITEMPOSITION, 0, reinterpret_cast<LPARAM>(&p0));
  SendMessageW(list, LVM_GETITEMPOSITION, 1, reinterpret_cast<LPARAM>(&p1));
  for (int i = added; i > 0; --i) SendMessageW(list, LVM_DELETEITEM, static_cast<WPARAM>(count + i - 1), 0);
  return p1.y - p0.y;
}

void SetListBackground(HWND list, bool tile, bool apply) {
  LVBKIMAGEW image{};
  if (!apply) {
    image.ulFlags = LVBKIF_SOURCE_NONE;
    SendMessageW(list, LVM_SETBKIMAGEW, 0, reinterpret_cast<LPARAM>(&image));
    return;
  }
  int pitch = MeasureRowPitch(list);
  if (pitch <= 0) return;
  std::string path = TempFolder() + "\\rezido_lv.ben";
  std::string picture = ListBackgroundPicture(pitch);
  if (picture.empty() || !rt::WriteBytes(path, picture)) return;
  std::wstring url = zz::GbkToWide(path);
  image.ulFlags = LVBKIF_SOURCE_URL | (tile ? LVBKIF_STYLE_TILE : 0);
  image.pszImage = url.data();
  if (SendMessageW(list, LVM_SETBKIMAGEW, 0, reinterpret_cast<LPARAM>(&image)))
    SendMessageW(list, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(CLR_NONE));
}

}  // namespace keeper
