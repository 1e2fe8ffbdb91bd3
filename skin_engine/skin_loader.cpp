#include "skin_loader.h"

#include "skin_resources.h"
#include "skin_table.h"

namespace zz::skin {
namespace {

// A file handle that closes itself.
class File {
 public:
  explicit File(HANDLE handle) : handle_(handle) {}
  ~File() { Close(); }
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  void Close() {
    if (valid()) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

std::wstring LibraryPath(const std::wstring& folder) { return folder + L"\\" + ZZ_SKIN_LIBRARY_FILE; }

bool WriteAll(HANDLE file, const void* data, DWORD size) {
  const auto* bytes = static_cast<const BYTE*>(data);
  while (size > 0) {
    DWORD written = 0;
    if (!WriteFile(file, bytes, size, &written, nullptr) || written == 0) return false;
    bytes += written;
    size -= written;
  }
  return true;
}

void Report(const wchar_t* what) {
  std::wstring line = L"skin: ";
  line += what;
  line += L"; the program runs without a skin\n";
  OutputDebugStringW(line.c_str());
}

template <class Function>
Function Export(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

std::wstring Widen(const char* ascii) {
  std::wstring wide;
  while (*ascii) wide += static_cast<wchar_t>(*ascii++);
  return wide;
}

}  // namespace

std::wstring ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return L".";
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

bool ProgramResource(const wchar_t* type, int id, const void** data, DWORD* size) {
  HMODULE program = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(program, MAKEINTRESOURCEW(id), type);
  if (!found) return false;
  HGLOBAL loaded = LoadResource(program, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  const DWORD length = SizeofResource(program, found);
  if (!bytes || length == 0) return false;
  *data = bytes;
  *size = length;
  return true;
}

bool EnsureLibraryFile(const std::wstring& folder) {
  const std::wstring path = LibraryPath(folder);
  if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;

  const void* data = nullptr;
  DWORD size = 0;
  if (!ProgramResource(Widen(ZZ_SKIN_LIBRARY_TYPE).c_str(), ZZ_SKIN_LIBRARY_ID, &data, &size)) return false;
  // CREATE_NEW: a copy written meanwhile by another start of the program is
  // not overwritten while that one may be loading it.
  File file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr));
  if (!file.valid()) return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  const bool whole = WriteAll(file.get(), data, size);
  file.Close();
  if (!whole) {
    // A cut-off library would fail on every later start: leave none.
    DeleteFileW(path.c_str());
    return false;
  }
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_HIDDEN)) {
    SetFileAttributesW(path.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN);
  }
  return true;
}

SkinLibrary::~SkinLibrary() {
  if (module_ && !attached_) FreeLibrary(module_);
}

bool SkinLibrary::Bind(const std::wstring& path) {
  if (bound()) return true;
  HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!module) return false;
  auto attach = Export<SkinAttachResFn>(module, ZZ_SKIN_ATTACH_EXPORT);
  auto aero = Export<SkinSetAeroFn>(module, ZZ_SKIN_AERO_EXPORT);
  if (!attach || !aero) {
    FreeLibrary(module);
    return false;
  }
  module_ = module;
  attach_ = attach;
  aero_ = aero;
  return true;
}

bool SkinLibrary::AttachBlock(const void* data, DWORD size) {
  if (!bound() || !data || size == 0 || size > 0x7FFFFFFF) return false;
  if (attach_(data, static_cast<int>(size), "", 0, 0, 0) != 1) return false;
  attached_ = true;
  return true;
}

bool SkinLibrary::AttachSkin(int number) {
  if (number < 1 || number > kSkinCount) return false;
  const void* data = nullptr;
  DWORD size = 0;
  if (!ProgramResource(Widen(ZZ_SKIN_BLOCK_TYPE).c_str(), number, &data, &size)) return false;
  return AttachBlock(data, size);
}

bool SkinLibrary::SetAero(bool on) { return bound() && aero_(on ? 1 : 0) == 1; }

bool ApplySkin(int number) {
  // One binding per run; a library that failed to bind is not tried again.
  static SkinLibrary library;
  static bool given_up = false;
  if (given_up) return false;

  const std::wstring folder = ProgramFolder();
  EnsureLibraryFile(folder);
  if (!library.bound()) {
    if (!library.Bind(LibraryPath(folder))) {
      given_up = true;
      Report(L"SkinH_EL.dll is missing, will not load or lacks its exports");
      return false;
    }
  }
  if (!library.AttachSkin(number)) {
    Report(L"the skin library refused the skin");
    return false;
  }
  EnsureLibraryFile(folder);
  // Glass is a bonus: where the desktop has none, the skin stands anyway.
  library.SetAero(true);
  return true;
}

}  // namespace zz::skin
