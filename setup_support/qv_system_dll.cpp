#include "qv_system_dll.h"

#include <delayimp.h>

#include <string>

HMODULE QvLoadSystemDll(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  UINT n = GetSystemDirectoryW(folder, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(folder, n) + L"\\" + name;
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

namespace {

// The libraries the setup programs link for delayed loading (not known to
// the system as its own, so a bare name would search the program's folder
// first) come from the system folder by full path, whatever the search
// order of the moment.
FARPROC WINAPI SystemFolderHook(unsigned notice, PDelayLoadInfo info) {
  if (notice != dliNotePreLoadLibrary || !info || !info->szDll) return nullptr;
  std::wstring name;
  for (const char* c = info->szDll; *c; ++c) name += static_cast<wchar_t>(static_cast<unsigned char>(*c));
  return reinterpret_cast<FARPROC>(QvLoadSystemDll(name.c_str()));
}

}  // namespace

// Read by the delay-load helper. Defined beside QvLoadSystemDllsOnly, which
// every setup program calls, so that this object is always linked in.
PfnDliHook __pfnDliNotifyHook2 = SystemFolderHook;

void QvLoadSystemDllsOnly() {
  // Missing on a Windows 7 without its 2011 loader update: the current
  // folder at least leaves the search, and the delay-load hook above still
  // holds.
  typedef BOOL(WINAPI * SetDefaultDllDirectoriesFn)(DWORD);
  auto set_default = reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (!set_default || !set_default(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryW(L"");
}
