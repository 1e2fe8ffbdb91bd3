#include "qv_skin.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

#include "qv_handle.h"
#include "qv_utils.h"

namespace {

HANDLE OpenForReading(const wchar_t* path) {
  return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

// ReadFile may return fewer bytes than asked for; only a whole read counts.
bool ReadWhole(HANDLE file, void* buffer, DWORD size) {
  unsigned char* p = static_cast<unsigned char*>(buffer);
  while (size > 0) {
    DWORD got = 0;
    if (!ReadFile(file, p, size, &got, nullptr) || got == 0) return false;
    p += got;
    size -= got;
  }
  return true;
}

bool WriteWhole(HANDLE file, const void* buffer, DWORD size) {
  const unsigned char* p = static_cast<const unsigned char*>(buffer);
  while (size > 0) {
    DWORD put = 0;
    if (!WriteFile(file, p, size, &put, nullptr) || put == 0) return false;
    p += put;
    size -= put;
  }
  return true;
}

// A file's size when it is below 2 GiB: the store keeps sizes as int.
bool SmallFileSize(HANDLE file, DWORD* size) {
  LARGE_INTEGER large;
  if (!GetFileSizeEx(file, &large) || large.QuadPart < 0 || large.QuadPart >= 0x80000000LL)
    return false;
  *size = static_cast<DWORD>(large.QuadPart);
  return true;
}

// Two spellings of one file name, as far as the file system would care.
bool SamePath(const wchar_t* a, const wchar_t* b) {
  wchar_t full_a[MAX_PATH], full_b[MAX_PATH];
  DWORD na = GetFullPathNameW(a, MAX_PATH, full_a, nullptr);
  DWORD nb = GetFullPathNameW(b, MAX_PATH, full_b, nullptr);
  if (na == 0 || na >= MAX_PATH || nb == 0 || nb >= MAX_PATH) return false;
  return CompareStringOrdinal(full_a, -1, full_b, -1, TRUE) == CSTR_EQUAL;
}

}  // namespace

CQvSkin::~CQvSkin() { FreeSkin(); }

CQvSkin& CQvSkin::Instance() {
  static CQvSkin instance;
  return instance;
}

bool CQvSkin::SetPath(std::wstring* path, const wchar_t* sub, const wchar_t* name) {
  wchar_t folder[MAX_PATH] = {};
  GetCurPath(folder);
  std::wstring made = folder;
  made += sub;
  made += name ? name : L"";
  made += L'\\';
  // A cut path would name another folder: refuse it instead.
  if (made.size() >= MAX_PATH) return false;
  *path = made;
  return true;
}

bool CQvSkin::SetThemesName(const wchar_t* name) {
  if (!SetPath(&theme_path_, L"Themes\\", name)) return false;
  res_type_ = kQvResTheme;
  return true;
}

void CQvSkin::GetThemesPath(wchar_t* out) const {
  if (!out) return;
  std::wcsncpy(out, theme_path_.c_str(), MAX_PATH - 1);
  out[MAX_PATH - 1] = L'\0';
}

bool CQvSkin::SetSkinName(const wchar_t* name) {
  if (!SetPath(&skin_path_, L"Skins\\", name)) return false;
  res_type_ = kQvResPackage;
  return true;
}

bool CQvSkin::LoadSkin(const wchar_t* name) {
  FreeSkin();
  if (name && !SetSkinName(name)) return false;
  std::wstring file = skin_path_;
  if (!file.empty() && file.back() == L'\\') file.pop_back();
  if (file.empty()) return false;
  return LoadSkinFile(file.c_str());
}

bool CQvSkin::LoadSkinFile(const wchar_t* package_path) {
  FreeSkin();
  if (!package_path) return false;
  QvFileHandle file(OpenForReading(package_path));
  if (!file.ok()) return false;
  DWORD size = 0;
  if (!SmallFileSize(file.get(), &size)) return false;
  // GlobalAlloc(0) hands back a block already freed; keep one byte at least.
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size ? size : 1);
  if (!block) return false;
  void* bytes = GlobalLock(block);
  bool read = bytes && ReadWhole(file.get(), bytes, size);
  if (bytes) GlobalUnlock(block);
  if (!read) {
    GlobalFree(block);
    return false;
  }
  package_ = block;
  package_size_ = static_cast<int>(size);
  return true;
}

bool CQvSkin::MakeSkin(const wchar_t* folder, const wchar_t* package_path) {
  if (!folder || !package_path) return false;
  std::wstring pattern = std::wstring(folder) + L"*.*";
  if (pattern.size() >= MAX_PATH) return false;
  WIN32_FIND_DATAW item;
  QvFindHandle find(FindFirstFileW(pattern.c_str(), &item));
  // The folder is checked before the package is emptied: a mistyped folder
  // must not wipe a package that is already there.
  if (find.get() == INVALID_HANDLE_VALUE) return false;
  QvFileHandle package(CreateFileW(package_path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!package.ok()) return false;
  bool ok = true;
  do {
    if (item.dwFileAttributes == FILE_ATTRIBUTE_DIRECTORY) continue;
    std::wstring source = std::wstring(folder) + item.cFileName;
    if (source.size() >= MAX_PATH) continue;
    // The package being written may lie in the folder it packs.
    if (SamePath(source.c_str(), package_path)) continue;
    if (!WriteSkin(package.get(), source.c_str())) ok = false;
  } while (FindNextFileW(find.get(), &item));
  return ok;
}

bool CQvSkin::WriteSkin(HANDLE package, const wchar_t* source_path) {
  QvFileHandle source(OpenForReading(source_path));
  // Folders, devices and locked files are left out without a word.
  if (!source.ok()) return true;
  DWORD size = 0;
  if (!SmallFileSize(source.get(), &size)) return true;
  std::vector<unsigned char> data(size);
  // A header is only written once its data is at hand: a short read must
  // not leave an entry whose size promises bytes that never follow.
  if (size && !ReadWhole(source.get(), data.data(), size)) return true;
  unsigned char header[kQvSkinHeaderBytes];
  QvSkinMakeHeader(QvSkinEntryName(source_path), size, header);
  return WriteWhole(package, header, sizeof header) &&
         (size == 0 || WriteWhole(package, data.data(), size));
}

bool CQvSkin::HandOut(IStream* cached, IStream** stream) {
  if (!stream) return true;
  LARGE_INTEGER start = {};
  cached->Seek(start, STREAM_SEEK_SET, nullptr);
  cached->AddRef();
  *stream = cached;
  return true;
}

bool CQvSkin::GetRes(const wchar_t* name, IStream** stream) {
  if (stream) *stream = nullptr;
  if (!name) return false;
  for (const SkinCacheEntry& entry : cache_)
    if (entry.name == name) return HandOut(entry.stream, stream);
  return FindRes(name, stream);
}

bool CQvSkin::FindRes(const wchar_t* name, IStream** stream) {
  if (stream) *stream = nullptr;
  if (!package_ || !name) return false;
  const unsigned char* bytes = static_cast<const unsigned char*>(GlobalLock(package_));
  if (!bytes) return false;
  std::size_t offset = 0;
  std::uint32_t size = 0;
  bool found =
      QvSkinFindEntry(bytes, static_cast<std::size_t>(package_size_), name, &offset, &size);
  HGLOBAL copy = found ? GlobalAlloc(GMEM_MOVEABLE, size ? size : 1) : nullptr;
  void* target = copy ? GlobalLock(copy) : nullptr;
  if (target) {
    std::memcpy(target, bytes + offset, size);
    GlobalUnlock(copy);
  }
  GlobalUnlock(package_);
  if (!target) {
    if (copy) GlobalFree(copy);
    return false;
  }
  IStream* made = nullptr;
  if (FAILED(CreateStreamOnHGlobal(copy, TRUE, &made))) {
    GlobalFree(copy);
    return false;
  }
  ULARGE_INTEGER length;
  length.QuadPart = size;
  made->SetSize(length);
  SkinCacheEntry entry;
  entry.name.assign(name, std::min<std::size_t>(std::wcslen(name), kQvSkinNameUnits));
  entry.stream = made;
  cache_.push_back(entry);
  return HandOut(made, stream);
}

void CQvSkin::FreeSkin() {
  if (package_) GlobalFree(package_);
  package_ = nullptr;
  package_size_ = 0;
  for (SkinCacheEntry& entry : cache_)
    if (entry.stream) entry.stream->Release();
  cache_.clear();
}
