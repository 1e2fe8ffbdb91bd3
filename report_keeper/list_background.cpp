#include "list_background.h"

#include <commctrl.h>

#include <cstdint>
#include <cstring>

#include "gbk_text.h"
#include "file_access.h"

namespace keeper {
namespace {

constexpr COLORREF kRowColour = RGB(0xF4, 0xF8, 0xFF);
constexpr COLORREF kAlternateColour = RGB(0xFF, 0xFF, 0xFF);

void Put32(std::string& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::string TempFolder() {
  // "temp" first, as the program always looked there; the system's
  // temporary folder when it is not set.
  std::string folder = rt::EnvironmentVariable("temp");
  if (!folder.empty()) return folder;
  wchar_t buf[MAX_PATH + 1] = {};
  DWORD n = GetTempPathW(MAX_PATH + 1, buf);
  std::wstring wide(buf, n);
  while (!wide.empty() && wide.back() == L'\\') wide.pop_back();
  return zz::Utf16ToGbk(std::u16string(wide.begin(), wide.end()));
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

std::string AlternateRowBitmap(int pitch, COLORREF first, COLORREF second) {
  const int height = 2 * pitch, stride = 4;  // one 24-bit pixel, padded to 4 bytes
  std::string bmp(54 + stride * height, '\0');
  bmp[0] = 'B';
  bmp[1] = 'M';
  Put32(bmp, 2, static_cast<std::uint32_t>(bmp.size()));
  Put32(bmp, 10, 54);
  Put32(bmp, 14, 40);
  Put32(bmp, 18, 1);
  Put32(bmp, 22, static_cast<std::uint32_t>(height));
  bmp[26] = 1;
  bmp[28] = 24;
  Put32(bmp, 34, static_cast<std::uint32_t>(stride * height));
  // Rows are stored bottom up: the lower half first.
  for (int y = 0; y < height; ++y) {
    COLORREF c = y < pitch ? second : first;
    std::size_t at = 54 + static_cast<std::size_t>(stride) * y;
    bmp[at] = static_cast<char>(GetBValue(c));
    bmp[at + 1] = static_cast<char>(GetGValue(c));
    bmp[at + 2] = static_cast<char>(GetRValue(c));
  }
  return bmp;
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
  if (!rt::WriteBytes(path, AlternateRowBitmap(pitch, kRowColour, kAlternateColour))) return;
  std::u16string wide = zz::GbkToUtf16(path);
  std::wstring url(wide.begin(), wide.end());
  image.ulFlags = LVBKIF_SOURCE_URL | (tile ? LVBKIF_STYLE_TILE : 0);
  image.pszImage = url.data();
  if (SendMessageW(list, LVM_SETBKIMAGEW, 0, reinterpret_cast<LPARAM>(&image)))
    SendMessageW(list, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(CLR_NONE));
}

}  // namespace keeper
