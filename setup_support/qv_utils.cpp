#include "qv_utils.h"

#include <objbase.h>
#include <oleauto.h>
#include <shellapi.h>
#include <mmsystem.h>

#include <cstring>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace {

struct HandleCloser {
  void operator()(HANDLE h) const {
    if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

struct ViewUnmapper {
  void operator()(void* view) const {
    if (view) UnmapViewOfFile(view);
  }
};
using UniqueView = std::unique_ptr<void, ViewUnmapper>;

struct KeyCloser {
  void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer<HKEY>::type, KeyCloser>;

bool QueryVersion(OSVERSIONINFOW& info) {
  std::memset(&info, 0, sizeof info);
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  return GetVersionExW(&info) != FALSE;
#pragma GCC diagnostic pop
}

int PlatformOf(const OSVERSIONINFOW& info) {
  if (info.dwPlatformId == VER_PLATFORM_WIN32_NT) return kQvPlatformNt;
  if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) return kQvPlatformWin9x;
  return 0;
}

void ToTm(const FILETIME& ft, tm* out) {
  if (!out) return;
  SYSTEMTIME utc, local;
  std::memset(out, 0, sizeof *out);
  if (!FileTimeToSystemTime(&ft, &utc)) return;
  // The zone's rules at that date, not today's daylight-saving offset.
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) local = utc;
  out->tm_year = local.wYear - 1900;
  out->tm_mon = local.wMonth - 1;
  out->tm_mday = local.wDay;
  out->tm_hour = local.wHour;
  out->tm_min = local.wMinute;
  out->tm_sec = local.wSecond;
  out->tm_wday = local.wDayOfWeek;
  static const int kDaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  int year = local.wYear;
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  out->tm_yday = kDaysBefore[out->tm_mon] + local.wDay - 1 + (leap && out->tm_mon > 1 ? 1 : 0);
  out->tm_isdst = -1;
}

// Reads one property of a scripting object through its dispatch interface.
bool GetProperty(IDispatch* object, LPCWSTR name, VARIANT* result) {
  DISPID id;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return false;
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  return SUCCEEDED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                  result, nullptr, nullptr));
}

bool CallWithText(IDispatch* object, LPCWSTR method, LPCWSTR text, VARIANT* result) {
  DISPID id;
  LPOLESTR names[] = {const_cast<LPOLESTR>(method)};
  if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return false;
  VARIANT arg;
  VariantInit(&arg);
  arg.vt = VT_BSTR;
  arg.bstrVal = SysAllocString(text);
  if (!arg.bstrVal) return false;
  DISPPARAMS params = {&arg, nullptr, 1, 0};
  HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result,
                              nullptr, nullptr);
  VariantClear(&arg);
  return SUCCEEDED(hr);
}

unsigned long long FolderSize(LPCWSTR path) {
  CLSID clsid;
  if (FAILED(CLSIDFromProgID(L"Scripting.FileSystemObject", &clsid))) return 0;
  IDispatch* fso = nullptr;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                              reinterpret_cast<void**>(&fso))))
    return 0;
  unsigned long long size = 0;
  VARIANT folder;
  VariantInit(&folder);
  if (CallWithText(fso, L"GetFolder", path, &folder) && folder.vt == VT_DISPATCH && folder.pdispVal) {
    VARIANT value;
    VariantInit(&value);
    if (GetProperty(folder.pdispVal, L"Size", &value) &&
        SUCCEEDED(VariantChangeType(&value, &value, 0, VT_R8)) && value.dblVal > 0)
      size = static_cast<unsigned long long>(value.dblVal);
    VariantClear(&value);
  }
  VariantClear(&folder);
  fso->Release();
  return size;
}

// The bytes a mapped view can really be read or written: the pages of its
// region, whatever the caller believes the section's size to be.
SIZE_T ViewBytes(const void* view) {
  MEMORY_BASIC_INFORMATION info;
  if (!VirtualQuery(view, &info, sizeof info)) return 0;
  return info.RegionSize;
}

}  // namespace

int isWin7() {
  OSVERSIONINFOW info;
  return QueryVersion(info) ? QvIsWin7For(PlatformOf(info), info.dwMajorVersion) : 0;
}

int isWin8() {
  OSVERSIONINFOW info;
  if (!QueryVersion(info)) return 0;
  return QvIsWin8For(PlatformOf(info), info.dwMajorVersion, info.dwMinorVersion);
}

int GetOsName(LPWSTR out) {
  OSVERSIONINFOW info;
  const wchar_t* name = L"XP";
  if (QueryVersion(info)) name = QvOsNameFor(PlatformOf(info), info.dwMajorVersion, info.dwMinorVersion);
  if (out) std::wcscpy(out, name);
  return 1;
}

int isEnableUAC() {
  OSVERSIONINFOW info;
  if (!QueryVersion(info) || info.dwMajorVersion <= 5) return 0;
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System\\",
                    0, KEY_READ, &raw) != ERROR_SUCCESS)
    return 0;
  UniqueKey key(raw);
  DWORD type = 0, value = 0, size = sizeof value;
  if (RegQueryValueExW(raw, L"EnableLUA", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
      ERROR_SUCCESS)
    return 0;
  return type == REG_DWORD && size == sizeof value && value == 1 ? 1 : 0;
}

int SetPrivilege(LPCWSTR name, int enable) {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) return 0;
  UniqueHandle token(raw);
  TOKEN_PRIVILEGES privileges = {};
  if (!name || !LookupPrivilegeValueW(nullptr, name, &privileges.Privileges[0].Luid)) return 0;
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : SE_PRIVILEGE_REMOVED;
  AdjustTokenPrivileges(raw, FALSE, &privileges, sizeof privileges, nullptr, nullptr);
  return 1;
}

void GetCurPath(LPWSTR out) {
  if (!out) return;
  DWORD n = GetModuleFileNameW(nullptr, out, MAX_PATH);
  if (n == 0) {
    out[0] = L'\0';
    return;
  }
  out[MAX_PATH - 1] = L'\0';  // a cut-off name is not terminated on older systems
  QvCutAfterLastBackslash(out);
}

int CreateFolder(LPCWSTR path) { return path && CreateDirectoryW(path, nullptr) ? 1 : 0; }

long long FileSize(LPCWSTR path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!path || !GetFileAttributesExW(path, GetFileExInfoStandard, &data)) return 0;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return 0;
  return static_cast<long long>((static_cast<unsigned long long>(data.nFileSizeHigh) << 32) |
                                data.nFileSizeLow);
}

int FileTime(LPCWSTR path, tm* access, tm* modify, tm* create) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!path || !GetFileAttributesExW(path, GetFileExInfoStandard, &data)) return 0;
  ToTm(data.ftLastAccessTime, access);
  ToTm(data.ftLastWriteTime, modify);
  ToTm(data.ftCreationTime, create);
  return 1;
}

int isDir(LPCWSTR path) {
  if (!path) return 0;
  DWORD attributes = GetFileAttributesW(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
}

unsigned long long GetPathUseSpace(LPCWSTR path) {
  if (!path || !*path) return 0;
  if (std::wcslen(path) == 3) {
    ULARGE_INTEGER free_to_caller, total, free_total;
    if (!GetDiskFreeSpaceExW(path, &free_to_caller, &total, &free_total)) return 0;
    return total.QuadPart - free_to_caller.QuadPart;
  }
  // Only a successful initialisation is paired with a release: a thread
  // already in another apartment model must keep its own.
  HRESULT init = CoInitialize(nullptr);
  unsigned long long size = FolderSize(path);
  if (SUCCEEDED(init)) CoUninitialize();
  return size;
}

int QvReadFile(LPCWSTR path, void* buffer, DWORD* length) {
  if (!path || !length) return 0;
  UniqueHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return 0;
  DWORD total = 0;
  BYTE* out = static_cast<BYTE*>(buffer);
  while (out && total < *length) {
    DWORD got = 0;
    if (!ReadFile(file.get(), out + total, *length - total, &got, nullptr) || got == 0) break;
    total += got;
  }
  *length = total;
  return 1;
}

bool QvIsLink(const std::wstring& path) {
  std::wstring exact = path;
  while (exact.size() > 3 && exact.back() == L'\\') exact.pop_back();
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(exact.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  FindClose(find);
  // The search reports the reparse tag in dwReserved0.
  return QvIsLinkReparseTag(data.dwFileAttributes, data.dwReserved0);
}

int QvWriteFile(LPCWSTR path, const void* buffer, DWORD length) {
  if (!path || (!buffer && length)) return 0;
  UniqueHandle file(CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return 0;
  const BYTE* in = static_cast<const BYTE*>(buffer);
  DWORD total = 0;
  while (total < length) {
    DWORD wrote = 0;
    // A full disk must not be reported as a written file.
    if (!WriteFile(file.get(), in + total, length - total, &wrote, nullptr) || wrote == 0) return 0;
    total += wrote;
  }
  return 1;
}

int GetFileVer(LPCWSTR path, LPWSTR out) {
  if (!out) return 0;
  out[0] = L'\0';
  if (!path) return 0;
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  if (size == 0) return 0;
  std::vector<BYTE> block;
  try {
    block.resize(size);
  } catch (...) {
    return 0;
  }
  if (!GetFileVersionInfoW(path, 0, size, block.data())) return 0;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixed_size = 0;
  if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixed_size) && fixed &&
      fixed_size >= sizeof(VS_FIXEDFILEINFO)) {
    std::wstring text = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                        std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                        std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L"." +
                        std::to_wstring(LOWORD(fixed->dwFileVersionLS));
    std::wcscpy(out, text.c_str());
  }
  return 1;
}

int DoRun(LPCWSTR file, LPCWSTR params, int wait, int show) {
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  // No error box from the shell: these utilities show no message, and a
  // hidden box would block a setup program that waits here.
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  info.lpFile = file;
  info.lpParameters = params;
  info.nShow = show;
  // The shell hands back no process when it failed or passed the file to a
  // running program: then there is nothing to wait for or to close.
  if (ShellExecuteExW(&info) && info.hProcess) {
    UniqueHandle process(info.hProcess);
    if (wait) WaitForSingleObject(info.hProcess, INFINITE);
  }
  return 1;
}

int PlayWav(LPCWSTR name, int resource) {
  if (resource) return PlaySoundW(name, GetModuleHandleW(nullptr), SND_RESOURCE | SND_ASYNC) ? 1 : 0;
  PlaySoundW(name, nullptr, SND_FILENAME | SND_ASYNC);
  return 0;
}

int CheckOneInstance(LPCWSTR name, LPCWSTR text) {
  HANDLE mutex = CreateMutexW(nullptr, FALSE, name);
  const DWORD error = GetLastError();
  // A mutex made by an instance running elevated or as another user cannot
  // be opened at all: that instance runs all the same.
  const bool other_runs = mutex ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
  if (!other_runs) return 1;  // kept open: the name stays taken
  if (mutex) CloseHandle(mutex);
  HWND other = FindWindowW(nullptr, name);
  if (!other) return 1;
  ShowWindow(other, SW_SHOWNORMAL);
  if (IsIconic(other)) ShowWindow(other, SW_RESTORE);
  SetForegroundWindow(other);
  if (text && std::wcslen(text) > 1) {
    COPYDATASTRUCT data = {};
    data.dwData = 0;
    data.cbData = static_cast<DWORD>((std::wcslen(text) + 1) * sizeof(wchar_t));
    data.lpData = const_cast<LPWSTR>(text);
    SendMessageW(other, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
  }
  return 0;
}

HANDLE CreateShareMem(LPCWSTR name, DWORD size) {
  if (size == 0) return nullptr;
  return CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name);
}

int WriteShareMem(LPCWSTR name, LPCWSTR text, int index) {
  if (!name || !text || index < 0) return 0;
  UniqueHandle section(OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, name));
  if (!section) return 0;
  UniqueView view(MapViewOfFile(section.get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
  if (!view) return 0;
  const SIZE_T capacity = ViewBytes(view.get()) / sizeof(wchar_t);
  const SIZE_T needed = std::wcslen(text) + 1;
  if (static_cast<SIZE_T>(index) > capacity || needed > capacity - index) return 0;
  std::wmemcpy(static_cast<wchar_t*>(view.get()) + index, text, needed);
  return 1;
}

int ReadShareMem(LPCWSTR name, LPWSTR out, DWORD capacity) {
  if (!name || !out || capacity == 0) return 0;
  UniqueHandle section(OpenFileMappingW(FILE_MAP_READ, FALSE, name));
  if (!section) return 0;
  UniqueView view(MapViewOfFile(section.get(), FILE_MAP_READ, 0, 0, 0));
  if (!view) return 0;
  const wchar_t* text = static_cast<const wchar_t*>(view.get());
  const SIZE_T available = ViewBytes(view.get()) / sizeof(wchar_t);
  SIZE_T n = 0;
  while (n < available && text[n]) ++n;
  // A text longer than the caller's room is refused, not handed back cut.
  if (n >= capacity) {
    out[0] = L'\0';
    return 0;
  }
  std::wmemcpy(out, text, n);
  out[n] = L'\0';
  return 1;
}
