#include "qv_font.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <cwchar>
#include <string>

#include "qv_utils.h"

const wchar_t kQvPreferredFace[] = L"\u5FAE\u8F6F\u96C5\u9ED1";
const wchar_t kQvFallbackFace[] = L"\u5B8B\u4F53";

CQvFont::CQvFont() {
  installed_ = IsFontInstalled(kQvPreferredFace) ? 1 : 0;
  default_face_ = installed_ ? kQvPreferredFace : kQvFallbackFace;
  default_size_ = installed_ ? 18 : 12;
}

CQvFont::~CQvFont() {
  for (const tagQvFontItem& item : cache_)
    if (item.font) DeleteObject(item.font);
  cache_.clear();
}

CQvFont& CQvFont::Instance() {
  static CQvFont instance;
  return instance;
}

HFONT CQvFont::GetFont(int size, const wchar_t* face, bool bold, bool underline) {
  tagQvFontItem key = {};
  key.height = HeightFor(size, isWin8() != 0);
  key.bold = bold ? 1 : 0;
  key.underline = underline ? 1 : 0;
  key.italic = 0;
  if (!face) face = default_face_.c_str();
  wcsncpy(key.face, face, 49);
  key.face[49] = L'\0';

  if (HFONT found = FindFont(key)) return found;
  key.font = MakeFont(key);
  // A failed creation is not kept: repeating it would only add dead
  // entries, and the next request should simply try again.
  if (key.font) cache_.push_back(key);
  return key.font;
}

HFONT CQvFont::FindFont(const tagQvFontItem& key) const {
  for (const tagQvFontItem& item : cache_) {
    if (item.font && item.height == key.height && item.bold == key.bold &&
        item.underline == key.underline && item.italic == key.italic &&
        lstrcmpW(item.face, key.face) == 0)
      return item.font;
  }
  return nullptr;
}

HFONT CQvFont::MakeFont(const tagQvFontItem& key) const {
  // The system GUI font supplies character set, quality, pitch and the rest.
  LOGFONTW logfont = {};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof logfont, &logfont);
  wcsncpy(logfont.lfFaceName, key.face, LF_FACESIZE - 1);
  logfont.lfFaceName[LF_FACESIZE - 1] = L'\0';
  logfont.lfHeight = key.height;
  logfont.lfWeight = key.bold ? FW_BOLD : FW_NORMAL;
  logfont.lfUnderline = static_cast<BYTE>(key.underline);
  logfont.lfItalic = static_cast<BYTE>(key.italic);
  return CreateFontIndirectW(&logfont);
}

bool CQvFont::IsFontInstalled(const wchar_t* face) {
  wchar_t fonts[MAX_PATH] = {};
  SHGetSpecialFolderPathW(nullptr, fonts, CSIDL_FONTS, FALSE);
  if (!face || std::wcscmp(face, kQvPreferredFace) != 0) return false;
  std::wstring folder = fonts;
  return PathFileExistsW((folder + L"\\msyh.ttf").c_str()) ||
         PathFileExistsW((folder + L"\\msyh.ttc").c_str());
}
