// The skin store: where the drawn controls take their pictures from (the
// module's IMG resources, a theme folder beside the program, or one skin
// package file), and the building, loading and searching of skin packages.
// Used from the window thread only.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <string>
#include <vector>

#include "qv_skin_package.h"

enum QvResType { kQvResModule = 0, kQvResTheme = 1, kQvResPackage = 2 };

struct SkinCacheEntry {
  std::wstring name;
  // The cache's own reference; the stream frees its memory when released.
  IStream* stream = nullptr;
};

class CQvSkin {
 public:
  CQvSkin() = default;
  ~CQvSkin();
  // A copy would release the same package and streams twice.
  CQvSkin(const CQvSkin&) = delete;
  CQvSkin& operator=(const CQvSkin&) = delete;

  static CQvSkin& Instance();

  // "<program folder>Themes\<name>\" and type 1. False, with nothing
  // changed, when the path would not fit in MAX_PATH units.
  bool SetThemesName(const wchar_t* name);
  // out has room for MAX_PATH units.
  void GetThemesPath(wchar_t* out) const;
  // "<program folder>Skins\<name>\" and type 2; false as above.
  bool SetSkinName(const wchar_t* name);
  const std::wstring& GetSkinPath() const { return skin_path_; }
  const std::wstring& GetThemesPathText() const { return theme_path_; }

  int GetResType() const { return res_type_; }
  void SetResType(int type) { res_type_ = type; }

  // Loads the package file that stands for the skin path: the skin path
  // without its last backslash ("...\Skins\blue"). With a name, SetSkinName
  // first. False when the file cannot be opened or read whole, is 2 GiB or
  // more, or the memory cannot be had; the store then holds no package.
  bool LoadSkin(const wchar_t* name = nullptr);
  // The package file for the path; for tests and tools that load a file
  // named otherwise.
  bool LoadSkinFile(const wchar_t* package_path);
  // Packs every file of folder (ending in a backslash) into package_path.
  // False when the folder cannot be listed (an existing package file is then
  // left as it was), the package cannot be created, or a write fails.
  bool MakeSkin(const wchar_t* folder, const wchar_t* package_path);

  // Looks in the cache, then in the package. When stream is not null it
  // receives the entry's stream, rewound, with a reference of the caller's.
  bool GetRes(const wchar_t* name, IStream** stream = nullptr);
  // Only the package: on a find, a new cache entry.
  bool FindRes(const wchar_t* name, IStream** stream = nullptr);
  void FreeSkin();

  bool HasPackage() const { return package_ != nullptr; }
  int GetPackageSize() const { return package_size_; }
  std::size_t GetCacheCount() const { return cache_.size(); }

 private:
  // false when the file could not be read whole or a write failed.
  bool WriteSkin(HANDLE package, const wchar_t* source_path);
  bool SetPath(std::wstring* path, const wchar_t* sub, const wchar_t* name);
  static bool HandOut(IStream* cached, IStream** stream);

  std::wstring skin_path_;
  std::wstring theme_path_;
  HGLOBAL package_ = nullptr;
  int package_size_ = 0;
  int res_type_ = kQvResModule;
  std::vector<SkinCacheEntry> cache_;
};
