// Drives and inspects the installer from outside, for the scenario script.
// Every answer goes to a UTF-8 file, never to the console's code page.
//   installer_driver wait TITLE OUT [W H]    once a visible window has TITLE (and that
//                                            client size): its handle; else the
//                                            visible windows
//   installer_driver shown TITLE W H         0 while such a window is visible
//   installer_driver alive HANDLE            0 while that window is visible
//   installer_driver click TITLE X Y [W H]   a left click at client (X, Y); with
//                                            W H, of the window of that client size
//   installer_driver close TITLE             WM_CLOSE to the window
//   installer_driver lnk PATH OUT            a shortcut's stored target; PATH may
//                                            start with "desktop:" or "programs:"
//   installer_driver record PATH OUT         the uninstall record's fields
//   installer_driver process NAME OUT        the path of a running NAME, then ends it
//                                            and waits for its end; waits a minute
//                                            for it to appear
//   installer_driver absent NAME OUT         0 when no NAME runs now; OUT lists what runs
//   installer_driver start-lnk PATH          starts a shortcut's target in its working
//                                            folder, as the shell does, and returns
//   installer_driver hold PATH FLAG          holds PATH open without sharing, as Windows
//                                            holds a running program's file; writes FLAG
//                                            once it does and lets go when FLAG is deleted
//   installer_driver pick NAME               in the open folder picker that asks
//                                            "请选择文件夹", chooses the desktop's
//                                            folder NAME and presses OK
//   installer_driver url PATH OUT            an internet shortcut's URL; PATH as for lnk
//   installer_driver flip FILE ENTRY         damages the installer FILE by one bit
//                                            among ENTRY's last packed bytes, where
//                                            the reader without the digest still
//                                            decodes it, to other bytes
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "install_context.h"
#include "uninstall_record.h"

namespace {

bool WriteUtf8(const wchar_t* path, const std::wstring& text) {
  int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                              nullptr);
  std::string bytes(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], n, nullptr, nullptr);
  FILE* f = _wfopen(path, L"wb");
  if (!f) return false;
  fwrite(bytes.data(), 1, bytes.size(), f);
  return fclose(f) == 0;
}

struct Wanted {
  const wchar_t* title;
  int width, height;  // 0: any
  HWND found;
  std::wstring seen;  // the visible windows looked at, for a failure to name
};

BOOL CALLBACK Match(HWND w, LPARAM param) {
  Wanted* wanted = reinterpret_cast<Wanted*>(param);
  if (!IsWindowVisible(w)) return TRUE;
  wchar_t text[256] = L"";
  GetWindowTextW(w, text, 256);
  RECT client = {};
  GetClientRect(w, &client);
  wanted->seen += L" \"" + std::wstring(text) + L"\" " + std::to_wstring(client.right) + L"x" +
                  std::to_wstring(client.bottom) + L";";
  if (lstrcmpW(text, wanted->title) != 0) return TRUE;
  if (wanted->width && (client.right != wanted->width || client.bottom != wanted->height)) return TRUE;
  wanted->found = w;
  return FALSE;
}

// Looks for a minute: a window shows within a second or two, but a loaded
// machine running many tests at once may take far longer. On failure SEEN
// names the visible windows of the last look.
HWND FindVisible(const wchar_t* title, int width = 0, int height = 0, std::wstring* seen = nullptr) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < 60000; Sleep(100)) {
    Wanted wanted{title, width, height, nullptr, L""};
    EnumWindows(Match, reinterpret_cast<LPARAM>(&wanted));
    if (wanted.found) return wanted.found;
    if (seen) *seen = L"visible:" + wanted.seen;
  }
  return nullptr;
}

std::wstring InFolder(const wchar_t* where) {
  std::wstring path = where;
  const struct {
    const wchar_t* prefix;
    int csidl;
  } folders[] = {{L"desktop:", CSIDL_DESKTOPDIRECTORY}, {L"programs:", CSIDL_PROGRAMS}};
  for (const auto& f : folders) {
    const std::size_t n = wcslen(f.prefix);
    if (path.compare(0, n, f.prefix) != 0) continue;
    wchar_t folder[MAX_PATH] = L"";
    SHGetSpecialFolderPathW(nullptr, folder, f.csidl, FALSE);
    path = std::wstring(folder) + L"\\" + path.substr(n);
  }
  return path;
}

struct Shortcut {
  std::wstring target, folder;
};

Shortcut ReadShortcut(const wchar_t* where) {
  const std::wstring path = InFolder(where);
  CoInitialize(nullptr);
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  wchar_t target[MAX_PATH] = L"", folder[MAX_PATH] = L"";
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
      SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
    // The item list keeps the names in UTF-16; Wine's stored path text is
    // in the ANSI code page of the process that saved it.
    PIDLIST_ABSOLUTE item = nullptr;
    if (FAILED(link->GetIDList(&item)) || !item || !SHGetPathFromIDListW(item, target))
      link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
    CoTaskMemFree(item);
    link->GetWorkingDirectory(folder, MAX_PATH);
  }
  if (file) file->Release();
  if (link) link->Release();
  CoUninitialize();
  return {target, folder};
}

std::wstring UrlOf(const wchar_t* where) {
  wchar_t url[1024] = L"";
  GetPrivateProfileStringW(L"InternetShortcut", L"URL", L"", url, 1024, InFolder(where).c_str());
  return url;
}

// The visible dialog whose child holds this text, and its tree.
struct Picker {
  const wchar_t* text;
  HWND dialog, tree;
};

BOOL CALLBACK FindPicker(HWND w, LPARAM param) {
  Picker* p = reinterpret_cast<Picker*>(param);
  wchar_t cls[32] = L"";
  GetClassNameW(w, cls, 32);
  if (!IsWindowVisible(w) || lstrcmpW(cls, L"#32770") != 0) return TRUE;
  HWND tree = FindWindowExW(w, nullptr, WC_TREEVIEWW, nullptr);
  bool asks = false;
  for (HWND c = GetWindow(w, GW_CHILD); c && !asks; c = GetWindow(c, GW_HWNDNEXT)) {
    wchar_t text[64] = L"";
    SendMessageTimeoutW(c, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    asks = lstrcmpW(text, p->text) == 0;
  }
  if (!tree || !asks) return TRUE;
  p->dialog = w;
  p->tree = tree;
  return FALSE;
}

// The text of a tree item of another process, read through memory lent in it.
std::wstring TreeItemText(HANDLE process, HWND tree, HTREEITEM item) {
  constexpr SIZE_T kChars = 260;
  char* remote = static_cast<char*>(
      VirtualAllocEx(process, nullptr, sizeof(TVITEMW) + kChars * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE));
  if (!remote) return L"";
  TVITEMW tv = {};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(TVITEMW));
  tv.cchTextMax = kChars;
  wchar_t text[kChars] = L"";
  if (WriteProcessMemory(process, remote, &tv, sizeof tv, nullptr) &&
      SendMessageTimeoutW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 2000, nullptr))
    ReadProcessMemory(process, remote + sizeof(TVITEMW), text, sizeof text - sizeof(wchar_t), nullptr);
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  return text;
}

int Pick(const wchar_t* name) {
  Picker picker{L"请选择文件夹", nullptr, nullptr};
  for (int i = 0; i < 100 && !picker.dialog; ++i, Sleep(100)) EnumWindows(FindPicker, reinterpret_cast<LPARAM>(&picker));
  if (!picker.dialog) return 1;
  DWORD pid = 0;
  GetWindowThreadProcessId(picker.tree, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return 1;
  // The desktop is the root; its folders are listed below it.
  auto root = reinterpret_cast<HTREEITEM>(SendMessageW(picker.tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
  HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageW(picker.tree, TVM_GETNEXTITEM, TVGN_CHILD,
                                                            reinterpret_cast<LPARAM>(root)));
  while (item && TreeItemText(process, picker.tree, item) != name)
    item = reinterpret_cast<HTREEITEM>(SendMessageW(picker.tree, TVM_GETNEXTITEM, TVGN_NEXT,
                                                    reinterpret_cast<LPARAM>(item)));
  CloseHandle(process);
  if (!item || !SendMessageW(picker.tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item))) return 1;
  PostMessageW(picker.dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  for (int i = 0; i < 50 && IsWindow(picker.dialog); ++i) Sleep(100);
  return IsWindow(picker.dialog) ? 1 : 0;
}

int StartShortcut(const wchar_t* where) {
  const Shortcut shortcut = ReadShortcut(where);
  std::wstring command = L"\"" + shortcut.target + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (shortcut.target.empty() ||
      !CreateProcessW(shortcut.target.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                      shortcut.folder.empty() ? nullptr : shortcut.folder.c_str(), &startup, &process))
    return 1;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}

int Hold(const wchar_t* path, const wchar_t* flag) {
  HANDLE file = CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::fwprintf(stderr, L"hold: cannot open %ls: error %lu\n", path, GetLastError());
    return 1;
  }
  if (!WriteUtf8(flag, L"held")) return 1;
  while (GetFileAttributesW(flag) != INVALID_FILE_ATTRIBUTES) Sleep(100);
  CloseHandle(file);
  return 0;
}

// Looks for a running NAME for up to a minute (a program started by another
// one under a loaded machine may take long to appear); on failure OUT lists
// the processes that were seen instead.
int Process(const wchar_t* name, const wchar_t* out) {
  std::wstring seen;
  for (DWORD start = GetTickCount(); GetTickCount() - start < 60000; Sleep(100)) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) continue;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    seen.clear();
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
      seen += std::wstring(L" ") + entry.szExeFile;
      if (lstrcmpiW(entry.szExeFile, name) != 0) continue;
      HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE,
                                   FALSE, entry.th32ProcessID);
      wchar_t path[MAX_PATH] = L"";
      DWORD size = MAX_PATH;
      if (process) {
        QueryFullProcessImageNameW(process, 0, path, &size);
        // Ending is not immediate: until the program has gone, its file is
        // held and its windows are still there for the next step to meet.
        TerminateProcess(process, 0);
        if (WaitForSingleObject(process, 60000) != WAIT_OBJECT_0) {
          CloseHandle(process);
          CloseHandle(snapshot);
          WriteUtf8(out, std::wstring(L"did not end: ") + path);
          return 1;
        }
        CloseHandle(process);
      }
      CloseHandle(snapshot);
      return WriteUtf8(out, path) ? 0 : 1;
    }
    CloseHandle(snapshot);
  }
  WriteUtf8(out, L"running:" + seen);
  return 1;
}

// A program is in the list from the moment it is created: once the
// program that would have started it has ended, one look is enough.
int Absent(const wchar_t* name, const wchar_t* out) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 2;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  std::wstring seen = L"running:";
  bool found = false;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    seen += std::wstring(L" ") + entry.szExeFile;
    found = found || lstrcmpiW(entry.szExeFile, name) == 0;
  }
  CloseHandle(snapshot);
  return WriteUtf8(out, seen) && !found ? 0 : 1;
}

// Damage that only the digest can see: the LZMA streams have no end marker,
// so a flip near a stream's end may decode without error to other bytes.
int FlipCleanly(const wchar_t* file, const wchar_t* entry) {
  FILE* f = _wfopen(file, L"r+b");
  if (!f) return 1;
  fseek(f, 0, SEEK_END);
  std::vector<std::uint8_t> bytes(ftell(f));
  rewind(f);
  bytes.resize(fread(bytes.data(), 1, bytes.size(), f));
  auto read = [&bytes](Payload* p) {
    std::string error;
    return bytes.size() > kPayloadOffset &&
           ReadPayload(&bytes[kPayloadOffset], bytes.size() - kPayloadOffset, p, &error);
  };
  Payload payload, damaged;
  std::size_t i = 0;
  if (read(&payload))
    while (i < payload.files.size() && ToWide(payload.files[i].header.Path) != entry) ++i;
  // The end of the entry's packed data; the last 8 bytes' bits are tried.
  const std::size_t end = i < payload.files.size() ? kPayloadOffset + kPayloadHeaderSize +
                          (i + 1) * kPayloadEntryHeaderSize + payload.files[i].packed_sum : 0;
  for (int flip = 0; end && flip < 64; ++flip) {
    bytes[end - 1 - flip / 8] ^= 1 << flip % 8;
    if (read(&damaged) && damaged.files[i].data != payload.files[i].data) {
      bool written = fseek(f, 0, SEEK_SET) == 0 && fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
      return fclose(f) == 0 && written ? 0 : 1;
    }
    bytes[end - 1 - flip / 8] ^= 1 << flip % 8;
  }
  fclose(f);
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  const std::wstring command = argv[1];
  if (command == L"wait" && (argc == 4 || argc == 6)) {
    std::wstring seen;
    HWND w = FindVisible(argv[2], argc == 6 ? _wtoi(argv[4]) : 0, argc == 6 ? _wtoi(argv[5]) : 0, &seen);
    if (!w) WriteUtf8(argv[3], seen);
    return w && WriteUtf8(argv[3], std::to_wstring(reinterpret_cast<std::uintptr_t>(w))) ? 0 : 1;
  }
  if (command == L"alive" && argc == 3) {
    HWND w = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(_wtoi64(argv[2])));
    return IsWindow(w) && IsWindowVisible(w) ? 0 : 1;
  }
  if (command == L"shown" && argc == 5) {
    Wanted wanted{argv[2], _wtoi(argv[3]), _wtoi(argv[4]), nullptr, L""};
    EnumWindows(Match, reinterpret_cast<LPARAM>(&wanted));
    return wanted.found ? 0 : 1;
  }
  if (command == L"click" && (argc == 5 || argc == 7)) {
    HWND w = argc == 7 ? FindVisible(argv[2], _wtoi(argv[5]), _wtoi(argv[6])) : FindVisible(argv[2]);
    if (!w) return 1;
    LPARAM at = MAKELPARAM(_wtoi(argv[3]), _wtoi(argv[4]));
    PostMessageW(w, WM_MOUSEMOVE, 0, at);
    PostMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(w, WM_LBUTTONUP, 0, at);
    return 0;
  }
  if (command == L"close" && argc == 3) {
    HWND w = FindVisible(argv[2]);
    return w && PostMessageW(w, WM_CLOSE, 0, 0) ? 0 : 1;
  }
  if (command == L"lnk" && argc == 4) return WriteUtf8(argv[3], ReadShortcut(argv[2]).target) ? 0 : 1;
  if (command == L"start-lnk" && argc == 3) return StartShortcut(argv[2]);
  if (command == L"url" && argc == 4) return WriteUtf8(argv[3], UrlOf(argv[2])) ? 0 : 1;
  if (command == L"pick" && argc == 3) return Pick(argv[2]);
  if (command == L"hold" && argc == 4) return Hold(argv[2], argv[3]);
  if (command == L"record" && argc == 4) {
    std::vector<std::uint8_t> bytes(kUninstallRecordSize + 1);
    FILE* f = _wfopen(argv[2], L"rb");
    if (!f) return 1;
    bytes.resize(fread(bytes.data(), 1, bytes.size(), f));
    fclose(f);
    UninstallRecord r;
    if (!DecodeUninstallRecord(bytes.data(), bytes.size(), &r)) return 1;
    return WriteUtf8(argv[3], ToWide(r.KeyName) + L"\n" + ToWide(r.UserDataFolder) + L"\n" +
                                  ToWide(r.ShortcutName) + L"\n" + ToWide(r.StartMenuFolder) + L"\n")
               ? 0
               : 1;
  }
  if (command == L"process" && argc == 4) return Process(argv[2], argv[3]);
  if (command == L"absent" && argc == 4) return Absent(argv[2], argv[3]);
  if (command == L"flip" && argc == 4) return FlipCleanly(argv[2], argv[3]);
  return 2;
}
