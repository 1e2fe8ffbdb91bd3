// The process-wide font cache: each combination of face, height and style
// is created once and lives until the process ends. Callers use the handles
// and never delete them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct tagQvFontItem {
  wchar_t face[50];
  int height;
  int bold;
  int underline;
  int italic;
  HFONT font;
};

class CQvFont {
 public:
  CQvFont();
  ~CQvFont();
  // A copy would delete the same handles a second time when it went,
  // leaving the cache handing out dead fonts.
  CQvFont(const CQvFont&) = delete;
  CQvFont& operator=(const CQvFont&) = delete;

  static CQvFont& Instance();

  // A null face means the default face.
  HFONT GetFont(int size, const wchar_t* face, bool bold, bool underline);
  HFONT GetFont(int size, const wchar_t* face, bool bold) {
    return GetFont(size, face, bold, false);
  }
  // Without the Windows 8 adjustment.
  int GetDefaultSize() const { return default_size_; }
  const wchar_t* GetDefaultFace() const { return default_face_.c_str(); }
  std::size_t GetCount() const { return cache_.size(); }

  // Null when no usable entry matches.
  HFONT FindFont(const tagQvFontItem& key) const;
  HFONT MakeFont(const tagQvFontItem& key) const;
  // Only the one face the library prefers is ever looked for.
  static bool IsFontInstalled(const wchar_t* face);

  // Windows 8 renders the library's sizes larger, so they are asked for 6
  // smaller there.
  static int HeightFor(int size, bool win8) { return win8 ? size - 6 : size; }

 private:
  std::wstring default_face_;
  int installed_ = 0;
  std::vector<tagQvFontItem> cache_;
  int default_size_ = 12;
};

// The preferred face, and the fallback for systems without it.
extern const wchar_t kQvPreferredFace[];
extern const wchar_t kQvFallbackFace[];
