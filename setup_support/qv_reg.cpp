#include "qv_reg.h"

#include <cstring>
#include <cwchar>
#include <string>

namespace {

REGSAM ViewFlag(int wow64_64) {
  if (wow64_64) return KEY_WOW64_64KEY;
  return isWow64() ? KEY_WOW64_32KEY : 0;
}

class Key {
 public:
  Key(HKEY root, LPCWSTR path, REGSAM access) {
    if (RegOpenKeyExW(root, path, 0, access, &key_) != ERROR_SUCCESS) key_ = nullptr;
  }
  ~Key() {
    if (key_) RegCloseKey(key_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

struct MonitorRequest {
  HKEY root;
  std::wstring key;
  int wow64_64;
  QvRegCallback callback;
  void* param;
  CQvReg* owner;
  unsigned generation;
};

const wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

}  // namespace

BOOL isWow64() {
  typedef BOOL(WINAPI * IsWow64ProcessFn)(HANDLE, PBOOL);
  auto fn = reinterpret_cast<IsWow64ProcessFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "IsWow64Process")));
  BOOL wow = FALSE;
  if (!fn || !fn(GetCurrentProcess(), &wow)) return FALSE;
  return wow;
}

CQvReg& CQvReg::Instance() {
  static CQvReg instance;
  return instance;
}

int CQvReg::GetRegInfo(HKEY root, LPCWSTR key, LPCWSTR name, int wow64_64, LPWSTR out) {
  if (!out) return 0;
  // Reading needs no more than read access: a process that may not write
  // the key can still read it.
  Key k(root, key, KEY_QUERY_VALUE | ViewFlag(wow64_64));
  if (!k.get()) return 0;
  wchar_t buf[261] = {};
  DWORD size = 260;
  if (RegQueryValueExW(k.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size) !=
      ERROR_SUCCESS)
    return 0;
  std::wcscpy(out, buf);
  return 1;
}

int CQvReg::SetRegInfo(HKEY root, LPCWSTR key, LPCWSTR name, int wow64_64, LPCWSTR text) {
  Key k(root, key, KEY_SET_VALUE | ViewFlag(wow64_64));
  if (!k.get() || !text) return 0;
  DWORD bytes = static_cast<DWORD>((std::wcslen(text) + 1) * sizeof(wchar_t));
  return RegSetValueExW(k.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes) ==
                 ERROR_SUCCESS
             ? 1
             : 0;
}

int CQvReg::Monitor(HKEY root, LPCWSTR key, int wow64_64, QvRegCallback callback, void* param,
                    unsigned generation) {
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!event) return 0;
  Key k(root, key, KEY_NOTIFY | ViewFlag(wow64_64));
  const DWORD filter = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;
  if (!k.get() || RegNotifyChangeKeyValue(k.get(), TRUE, filter, event, TRUE) != ERROR_SUCCESS) {
    CloseHandle(event);
    return 0;
  }
  // The first call comes at once, before any change. It is made here rather
  // than by an event created signalled: registering a notification may reset
  // the event, and the watch must cover value changes from the start.
  if (callback) callback(param);
  while (generation_.load() == generation) {
    if (WaitForSingleObject(event, 500) != WAIT_OBJECT_0) continue;
    if (callback) callback(param);
    ResetEvent(event);
    RegNotifyChangeKeyValue(k.get(), TRUE, filter, event, TRUE);
  }
  CloseHandle(event);
  return 1;
}

int CQvReg::MonitorReg(HKEY root, LPCWSTR key, int wow64_64, QvRegCallback callback, void* param) {
  return Monitor(root, key, wow64_64, callback, param, generation_.load());
}

DWORD WINAPI CQvReg::MonitorThread(LPVOID p) {
  if (!p) return 1;
  MonitorRequest* r = static_cast<MonitorRequest*>(p);
  r->owner->Monitor(r->root, r->key.c_str(), r->wow64_64, r->callback, r->param, r->generation);
  delete r;
  return 0;
}

void CQvReg::StartMonitor(HKEY root, LPCWSTR key, int wow64_64, QvRegCallback callback,
                          void* param) {
  if (!key) return;
  // The request holds the whole path, however long.
  auto* request = new MonitorRequest{root, key, wow64_64, callback, param, this, generation_.load()};
  HANDLE thread = CreateThread(nullptr, 0, &CQvReg::MonitorThread, request, 0, nullptr);
  if (thread) CloseHandle(thread);
  else delete request;
}

void CQvReg::StopMonitor() { ++generation_; }

int CQvReg::SetAutoRun(LPCWSTR name, int on, LPCWSTR path) {
  Key k(HKEY_LOCAL_MACHINE, kRunKey, KEY_SET_VALUE);
  if (!k.get()) return 0;
  if (!on) {
    LONG rc = RegDeleteValueW(k.get(), name);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND ? 1 : 0;
  }
  std::wstring text;
  if (path) {
    text = path;
  } else {
    wchar_t self[MAX_PATH * 2];
    DWORD n = GetModuleFileNameW(nullptr, self, static_cast<DWORD>(sizeof self / sizeof *self));
    text.assign(self, n);
  }
  // The NUL is part of a REG_SZ value: readers that trust it stay in bounds.
  DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(k.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        bytes) == ERROR_SUCCESS
             ? 1
             : 0;
}

int GetRegInfo(HKEY root, LPCWSTR key, LPCWSTR name, int wow64_64, LPWSTR out) {
  return CQvReg::Instance().GetRegInfo(root, key, name, wow64_64, out);
}
int SetRegInfo(HKEY root, LPCWSTR key, LPCWSTR name, int wow64_64, LPCWSTR text) {
  return CQvReg::Instance().SetRegInfo(root, key, name, wow64_64, text);
}
void StartMonitor(HKEY root, LPCWSTR key, int wow64_64, QvRegCallback callback, void* param) {
  CQvReg::Instance().StartMonitor(root, key, wow64_64, callback, param);
}
void StopMonitor() { CQvReg::Instance().StopMonitor(); }
int SetAutoRun(LPCWSTR name, int on, LPCWSTR path) {
  return CQvReg::Instance().SetAutoRun(name, on, path);
}

bool QvReadRegText(HKEY root, const std::wstring& key, LPCWSTR name, std::wstring* out) {
  // The value may change between the two reads: try again a few times.
  for (int attempt = 0; attempt < 3; ++attempt) {
    DWORD bytes = 0;
    if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) != ERROR_SUCCESS)
      return false;
    std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    const LONG status = RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, &text[0], &bytes);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS) return false;
    text.resize(wcsnlen(text.c_str(), text.size()));
    *out = text;
    return true;
  }
  return false;
}
