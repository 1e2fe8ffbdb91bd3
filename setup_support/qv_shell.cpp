#include "qv_shell.h"

#include <commdlg.h>
#include <intshcut.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "qv_utils.h"

// The balloon needs the full record; an older header would silently hand
// the shell a shorter one.
static_assert(sizeof(NOTIFYICONDATAW) > NOTIFYICONDATAW_V3_SIZE,
              "the notify-icon record lacks its balloon icon");

namespace {

// Copies src into dst of capacity characters, cutting it, always ending in
// a NUL.
void CopyCut(LPWSTR dst, size_t capacity, LPCWSTR src) {
  if (!dst || capacity == 0) return;
  size_t n = src ? std::wcslen(src) : 0;
  if (n >= capacity) n = capacity - 1;
  if (n) std::wmemcpy(dst, src, n);
  dst[n] = L'\0';
}

// Appends src to the text already in dst, within MAX_PATH characters.
void AppendCut(LPWSTR dst, LPCWSTR src) {
  size_t used = std::wcslen(dst);
  if (used < MAX_PATH) CopyCut(dst + used, MAX_PATH - used, src);
}

int SpecialFolder(LPWSTR out, int csidl) {
  if (!out) return 0;
  out[0] = L'\0';
  return SHGetSpecialFolderPathW(nullptr, out, csidl, FALSE) ? 1 : 0;
}

template <class T>
void Release(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

// A new shell link and its file side; both or neither.
bool OpenShellLink(IShellLinkW** link, IPersistFile** file) {
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(link))))
    return false;
  if (FAILED((*link)->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file)))) {
    Release(*link);
    return false;
  }
  return true;
}

// Pairs a thread's component-system start with its end; a thread already
// running another apartment kind keeps it and is not ended here.
class ComScope {
 public:
  ComScope() : hr_(CoInitialize(nullptr)) {}
  ~ComScope() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  HRESULT result() const { return hr_; }

 private:
  HRESULT hr_;
};

// A text registry value; the size counts the NUL only when asked to.
void SetText(HKEY key, LPCWSTR name, const std::wstring& text, bool with_nul) {
  DWORD bytes = static_cast<DWORD>((text.size() + (with_nul ? 1 : 0)) * sizeof(wchar_t));
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes);
}

bool CreateKey(const std::wstring& path, HKEY* key) {
  return RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key,
                         nullptr) == ERROR_SUCCESS;
}

// The settings-changed broadcast; a hung window must not hold the caller
// for ever.
void BroadcastSettingChange() {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0,
                      SMTO_ABORTIFHUNG, 5000, &result);
}

void InitNotify(NOTIFYICONDATAW& data, HWND window) {
  std::memset(&data, 0, sizeof data);
  data.cbSize = sizeof data;
  data.hWnd = window;
  data.uID = 0;
}

// The resource's bytes inside the loaded module, or null.
const void* FindRes(WORD id, LPCWSTR type, DWORD* size) {
  *size = 0;
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), type);
  if (!info) return nullptr;
  HGLOBAL loaded = LoadResource(module, info);
  if (!loaded) return nullptr;
  const void* bytes = LockResource(loaded);
  if (!bytes) return nullptr;
  *size = SizeofResource(module, info);
  return bytes;
}

}  // namespace

int GetDesktopPath(LPWSTR out) { return SpecialFolder(out, CSIDL_DESKTOPDIRECTORY); }
int GetStartMenuPath(LPWSTR out) { return SpecialFolder(out, CSIDL_STARTMENU); }
int GetProgramsPath(LPWSTR out) { return SpecialFolder(out, CSIDL_PROGRAMS); }
int GetProgramFilePath(LPWSTR out) { return SpecialFolder(out, CSIDL_PROGRAM_FILES); }

int GetQuickLaunchPath(LPWSTR out, int pinned) {
  if (!out) return 1;
  SpecialFolder(out, CSIDL_APPDATA);
  AppendCut(out, pinned ? L"\\Microsoft\\Internet Explorer\\Quick Launch\\User Pinned\\TaskBar"
                        : L"\\Microsoft\\Internet Explorer\\Quick Launch");
  return 1;
}

int CreateShortcut(LPCWSTR folder, LPCWSTR name, LPCWSTR target, LPCWSTR icon, WORD hotkey,
                   LPCWSTR description, int show) {
  if (!folder) return 0;
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  if (!OpenShellLink(&link, &file)) return 0;
  if (target) {
    link->SetPath(target);
    std::wstring dir(target);
    size_t slash = dir.rfind(L'\\');
    dir = slash == std::wstring::npos ? std::wstring() : dir.substr(0, slash);
    link->SetWorkingDirectory(dir.c_str());
  } else {
    wchar_t self[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    self[MAX_PATH - 1] = L'\0';
    link->SetPath(self);
    wchar_t dir[MAX_PATH] = L"";
    GetCurPath(dir);
    link->SetWorkingDirectory(dir);
  }
  if (icon) link->SetIconLocation(icon, 0);
  if (hotkey) link->SetHotkey(hotkey);
  if (description) link->SetDescription(description);
  link->SetShowCmd(show);
  std::wstring path = std::wstring(folder) + L"\\" + (name ? name : L"") + L".lnk";
  HRESULT saved = file->Save(path.c_str(), TRUE);
  Release(file);
  Release(link);
  return SUCCEEDED(saved) ? 1 : 0;
}

int CreateUrlShortcut(LPCWSTR path, LPCWSTR url) {
  if (!path || !url) return 0;
  IUniformResourceLocatorW* locator = nullptr;
  if (FAILED(CoCreateInstance(CLSID_InternetShortcut, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IUniformResourceLocatorW, reinterpret_cast<void**>(&locator))))
    return 0;
  IPersistFile* file = nullptr;
  if (FAILED(locator->SetURL(url, 0)) ||
      FAILED(locator->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    Release(locator);
    return 0;
  }
  file->Save(path, TRUE);
  Release(file);
  Release(locator);
  return 1;
}

int SetShortcutIcon(LPCWSTR path, LPCWSTR icon) {
  if (!path) return 0;
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  if (!OpenShellLink(&link, &file)) return 0;
  file->Load(path, STGM_READWRITE);
  if (icon) link->SetIconLocation(icon, 0);
  HRESULT saved = file->Save(path, TRUE);
  Release(file);
  Release(link);
  return SUCCEEDED(saved) ? 1 : 0;
}

int LnkToRealPath(LPCWSTR path, LPWSTR out) {
  if (!path || !out) return E_POINTER;
  ComScope com;
  IShellLinkW* link = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link));
  if (FAILED(hr)) return hr;
  IPersistFile* file = nullptr;
  hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  if (SUCCEEDED(hr)) hr = file->Load(path, STGM_READ);
  if (SUCCEEDED(hr)) hr = link->GetPath(out, MAX_PATH, nullptr, SLGP_RAWPATH);
  Release(file);
  Release(link);
  return hr;
}

void RefreshIconCache() {
  int width = GetSystemMetrics(SM_CXICON);
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop\\WindowMetrics", 0, KEY_ALL_ACCESS,
                    &key) != ERROR_SUCCESS)
    return;
  // A size one off and back makes the shell drop the icons it has drawn.
  SetText(key, L"Shell Icon Size", std::to_wstring(width - 1), false);
  BroadcastSettingChange();
  SetText(key, L"Shell Icon Size", std::to_wstring(width), false);
  BroadcastSettingChange();
  RegCloseKey(key);
}

void RegProtocol(LPCWSTR name, LPCWSTR exe) {
  if (!name || !*name || !exe) return;
  const std::wstring root(name);
  HKEY key = nullptr;
  if (!CreateKey(root, &key)) return;
  SetText(key, nullptr, root + L"Protocol", true);
  wchar_t folder[MAX_PATH] = L"";
  GetCurPath(folder);
  const std::wstring path = std::wstring(folder) + exe;
  SetText(key, L"URL Protocol", path, true);
  RegCloseKey(key);

  if (!CreateKey(root + L"\\DefaultIcon", &key)) return;
  SetText(key, nullptr, path + L",0", true);
  RegCloseKey(key);

  if (!CreateKey(root + L"\\shell\\open\\command", &key)) return;
  // Quoted: a path with a space would otherwise start whatever program
  // its first word names (C:\Program.exe for C:\Program Files\...).
  SetText(key, nullptr, L"\"" + path + L"\" \"%1\"", true);
  RegCloseKey(key);
}

int ShowTray(HWND window, HICON icon, LPCWSTR tip, UINT callback_message) {
  NOTIFYICONDATAW data;
  InitNotify(data, window);
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = callback_message;
  data.hIcon = icon;
  CopyCut(data.szTip, ARRAYSIZE(data.szTip), tip);
  return Shell_NotifyIconW(NIM_ADD, &data);
}

int DelTray(HWND window) {
  NOTIFYICONDATAW data;
  InitNotify(data, window);
  return Shell_NotifyIconW(NIM_DELETE, &data);
}

int SetIcon(HWND window, HICON icon) {
  NOTIFYICONDATAW data;
  InitNotify(data, window);
  data.uFlags = NIF_ICON;
  data.hIcon = icon;
  return Shell_NotifyIconW(NIM_MODIFY, &data);
}

int SetTip(HWND window, LPCWSTR tip) {
  NOTIFYICONDATAW data;
  InitNotify(data, window);
  data.uFlags = NIF_TIP;
  CopyCut(data.szTip, ARRAYSIZE(data.szTip), tip);
  return Shell_NotifyIconW(NIM_MODIFY, &data);
}

int ShowBalloon(HWND window, LPCWSTR title, LPCWSTR text, UINT timeout_ms) {
  NOTIFYICONDATAW data;
  InitNotify(data, window);
  data.uFlags = NIF_INFO;
  data.dwInfoFlags = NIIF_INFO;
  data.uTimeout = timeout_ms;
  CopyCut(data.szInfoTitle, ARRAYSIZE(data.szInfoTitle), title);
  CopyCut(data.szInfo, ARRAYSIZE(data.szInfo), text);
  return Shell_NotifyIconW(NIM_MODIFY, &data);
}

int SetClipboard(LPCWSTR text) {
  if (!OpenClipboard(nullptr)) return 0;
  EmptyClipboard();
  const size_t length = text ? std::wcslen(text) : 0;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, (length + 1) * sizeof(wchar_t));
  bool set = false;
  if (block) {
    if (void* p = GlobalLock(block)) {
      if (length) std::memcpy(p, text, length * sizeof(wchar_t));
      GlobalUnlock(block);
      set = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    }
    // Only a block the clipboard took is the clipboard's to free.
    if (!set) GlobalFree(block);
  }
  CloseClipboard();
  return set ? 1 : 0;
}

int GetClipboard(LPWSTR out, DWORD capacity) {
  if (!OpenClipboard(nullptr)) return 0;
  HANDLE block = GetClipboardData(CF_UNICODETEXT);
  if (block && out && capacity) {
    if (const wchar_t* text = static_cast<const wchar_t*>(GlobalLock(block))) {
      // The block may lack a NUL; never read past its end.
      size_t limit = GlobalSize(block) / sizeof(wchar_t);
      size_t n = 0;
      while (n < limit && n + 1 < capacity && text[n]) ++n;
      std::wmemcpy(out, text, n);
      out[n] = L'\0';
      GlobalUnlock(block);
    }
  }
  CloseClipboard();
  return 1;
}

int QvResSize(WORD id, LPCWSTR type) {
  DWORD size = 0;
  return FindRes(id, type, &size) ? static_cast<int>(size) : 0;
}

int QvResSave(WORD id, LPCWSTR type, LPCWSTR path) {
  DWORD size = 0;
  const void* bytes = FindRes(id, type, &size);
  if (!bytes) return 0;
  QvWriteFile(path, bytes, size);
  return 1;
}

int QvResGetBuff(WORD id, LPCWSTR type, void* buffer) {
  DWORD size = 0;
  const void* bytes = FindRes(id, type, &size);
  if (!bytes || (!buffer && size)) return 0;
  if (size) std::memcpy(buffer, bytes, size);
  return 1;
}

IStream* QvResGetStream(WORD id, LPCWSTR type) {
  DWORD size = 0;
  const void* bytes = FindRes(id, type, &size);
  if (!bytes) return nullptr;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!block) return nullptr;
  void* p = GlobalLock(block);
  if (!p) {
    GlobalFree(block);
    return nullptr;
  }
  if (size) std::memcpy(p, bytes, size);
  GlobalUnlock(block);
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) {
    GlobalFree(block);
    return nullptr;
  }
  return stream;
}

int ShowSelDir(LPWSTR out, HWND owner) {
  if (!out) return 0;
  out[0] = L'\0';
  // The browser needs the component system on this thread.
  ComScope com;
  BROWSEINFOW info;
  std::memset(&info, 0, sizeof info);
  info.hwndOwner = owner;
  info.lpszTitle = L"请选择文件夹";
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
  if (!chosen) return 0;
  int ok = SHGetPathFromIDListW(chosen, out) ? 1 : 0;
  CoTaskMemFree(chosen);
  if (!ok) out[0] = L'\0';
  return ok;
}

int ShowOpenFileDlg(LPWSTR file, DWORD size, HWND owner, LPCWSTR filter, LPCWSTR default_ext,
                    int multiple) {
  if (!file || size == 0) return 0;
  OPENFILENAMEW ofn;
  std::memset(&ofn, 0, sizeof ofn);
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = size;
  ofn.lpstrDefExt = default_ext;
  ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_READONLY;
  if (multiple) ofn.Flags |= OFN_ALLOWMULTISELECT;
  return GetOpenFileNameW(&ofn) ? 1 : 0;
}

int ShowSaveFileDlg(LPWSTR out, HWND owner, LPCWSTR default_ext) {
  if (!out) return 0;
  out[0] = L'\0';
  OPENFILENAMEW ofn;
  std::memset(&ofn, 0, sizeof ofn);
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFile = out;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrDefExt = default_ext;
  return GetSaveFileNameW(&ofn) ? 1 : 0;
}
