// What an attacker lays beside a setup program, under the name of a library
// the program might look for there (zlib1, version, winmm, wininet,
// gdiplus): once loaded, it appends one line "<program> <name> <how>" to the
// file named by ZZ_PLANTED_LOG (the uninstaller removes the folder it lies
// in), where how is
//   "by-program"  the program imports it by that name, or
//   "later"       it was loaded after start, by the program or by a library
//                 on its behalf, from the program's folder;
//   "by-system"   loaded at start for one of the system's own libraries
//                 (Wine's user32 imports zlib1 and version), which the
//                 program cannot help.
// It exports what those importers call: zlib linked in, the others refusing.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <cwctype>

namespace {

// The program's import table names `name` (case does not count).
bool ProgramImports(const wchar_t* name) {
  auto base = reinterpret_cast<const BYTE*>(GetModuleHandleW(nullptr));
  auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!dir.VirtualAddress) return false;
  for (auto d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
    const char* imported = reinterpret_cast<const char*>(base + d->Name);
    const wchar_t* w = name;
    while (*imported && *w && std::towlower(static_cast<unsigned char>(*imported)) == std::towlower(*w)) {
      ++imported;
      ++w;
    }
    if (!*imported && !*w) return true;
  }
  return false;
}

// The file name part of a module's path.
bool BaseName(HMODULE module, wchar_t* out) {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(module, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return false;
  const wchar_t* slash = std::wcsrchr(path, L'\\');
  std::wcscpy(out, slash ? slash + 1 : path);
  return true;
}

void Record(HMODULE self, bool at_start) {
  wchar_t name[MAX_PATH], program[MAX_PATH], path[MAX_PATH];
  DWORD n = GetEnvironmentVariableW(L"ZZ_PLANTED_LOG", path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH || !BaseName(self, name) || !BaseName(nullptr, program)) return;
  const wchar_t* how = ProgramImports(name) ? L"by-program" : at_start ? L"by-system" : L"later";
  char line[3 * MAX_PATH];
  int length = std::snprintf(line, sizeof line, "%ls %ls %ls\r\n", program, name, how);
  if (length < 0 || length >= static_cast<int>(sizeof line)) return;
  HANDLE log = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (log == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(log, line, static_cast<DWORD>(length), &written, nullptr);
  CloseHandle(log);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
  // The loader passes a non-null reserved word to the libraries it loads
  // with the program, before its first instruction.
  if (reason == DLL_PROCESS_ATTACH) Record(self, reserved != nullptr);
  return TRUE;
}

// Every other export: a failure, as a damaged library would give.
extern "C" int Refuse() {
  SetLastError(ERROR_NOT_SUPPORTED);
  return 0;
}
