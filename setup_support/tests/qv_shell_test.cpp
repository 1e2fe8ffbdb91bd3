#include "qv_shell.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "qv_utils.h"

namespace {

std::wstring UniqueName(const wchar_t* stem) {
  return std::wstring(stem) + std::to_wstring(GetCurrentProcessId()) + L"_" +
         std::to_wstring(GetTickCount());
}

bool EndsWith(const std::wstring& text, const std::wstring& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::string ReadAll(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string data;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got) data.append(chunk, got);
  CloseHandle(file);
  return data;
}

// A scratch folder per test, removed with its files; the thread's component
// system is up as the shortcut functions expect.
class QvShellFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    wchar_t temp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    dir_ = std::wstring(temp) + UniqueName(L"qvshell");
    ASSERT_EQ(1, CreateFolder(dir_.c_str()));
  }
  void TearDown() override {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((dir_ + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        if (data.cFileName[0] != L'.') DeleteFileW((dir_ + L"\\" + data.cFileName).c_str());
      } while (FindNextFileW(find, &data));
      FindClose(find);
    }
    RemoveDirectoryW(dir_.c_str());
    CoUninitialize();
  }
  int FileCount() const {
    int n = 0;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((dir_ + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
      if (data.cFileName[0] != L'.') ++n;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return n;
  }
  std::wstring dir_;
};

// What a shortcut file holds, read back through the shell's own link object.
struct LinkFields {
  std::wstring path, dir, description, icon;
  int icon_index = -1;
  WORD hotkey = 0xFFFF;
};

bool ReadLink(const std::wstring& file, LinkFields* out) {
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link))))
    return false;
  IPersistFile* persist = nullptr;
  bool ok = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) &&
            SUCCEEDED(persist->Load(file.c_str(), STGM_READ));
  if (ok) {
    wchar_t text[MAX_PATH];
    text[0] = 0;
    link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
    out->path = text;
    text[0] = 0;
    link->GetWorkingDirectory(text, MAX_PATH);
    out->dir = text;
    text[0] = 0;
    link->GetDescription(text, MAX_PATH);
    out->description = text;
    text[0] = 0;
    link->GetIconLocation(text, MAX_PATH, &out->icon_index);
    out->icon = text;
    link->GetHotkey(&out->hotkey);
  }
  if (persist) persist->Release();
  link->Release();
  return ok;
}

TEST(QvShellFolders, SpecialFoldersResolveAndQuickLaunchEndsAsAsked) {
  wchar_t desktop[MAX_PATH], start[MAX_PATH], programs[MAX_PATH], files[MAX_PATH];
  EXPECT_EQ(1, GetDesktopPath(desktop));
  EXPECT_EQ(1, GetStartMenuPath(start));
  EXPECT_EQ(1, GetProgramsPath(programs));
  EXPECT_EQ(1, GetProgramFilePath(files));
  EXPECT_NE(L'\0', desktop[0]);
  EXPECT_NE(L'\0', files[0]);
  // The programs folder lies inside the start menu.
  EXPECT_EQ(0, std::wstring(programs).find(std::wstring(start) + L"\\"));

  wchar_t appdata[MAX_PATH];
  ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, appdata, CSIDL_APPDATA, FALSE));
  wchar_t quick[MAX_PATH], pinned[MAX_PATH];
  EXPECT_EQ(1, GetQuickLaunchPath(quick, 0));
  EXPECT_EQ(1, GetQuickLaunchPath(pinned, 1));
  EXPECT_EQ(std::wstring(appdata) + L"\\Microsoft\\Internet Explorer\\Quick Launch", quick);
  EXPECT_TRUE(EndsWith(pinned, L"\\Microsoft\\Internet Explorer\\Quick Launch\\User Pinned\\TaskBar"));
  EXPECT_EQ(0, std::wstring(pinned).find(appdata));
}

TEST_F(QvShellFiles, ShortcutWithoutFolderWritesNothing) {
  EXPECT_EQ(0, CreateShortcut(nullptr, L"x", L"C:\\App\\main.exe", nullptr, 0, nullptr, SW_SHOWNORMAL));
  EXPECT_EQ(0, FileCount());
}

TEST_F(QvShellFiles, ShortcutToATargetKeepsItsFieldsAndWorkingFolder) {
  ASSERT_EQ(1, CreateShortcut(dir_.c_str(), L"应用", L"C:\\App\\main.exe", nullptr, 0, L"健康中心 收入",
                              SW_SHOWMAXIMIZED));
  const std::wstring file = dir_ + L"\\应用.lnk";
  LinkFields link;
  ASSERT_TRUE(ReadLink(file, &link));
  EXPECT_EQ(L"C:\\App\\main.exe", link.path);
  EXPECT_EQ(L"C:\\App", link.dir);
  EXPECT_EQ(L"健康中心 收入", link.description);
  EXPECT_EQ(0, link.hotkey);
  // The show command as stored in the link file's header: Wine's link
  // object reads every stored show command back as SW_SHOWNORMAL.
  const std::string raw = ReadAll(file);
  ASSERT_GE(raw.size(), 0x40u);
  EXPECT_EQ(SW_SHOWMAXIMIZED, static_cast<unsigned char>(raw[0x3C]));

  wchar_t real[MAX_PATH] = L"";
  EXPECT_GE(LnkToRealPath(file.c_str(), real), 0);
  EXPECT_STREQ(L"C:\\App\\main.exe", real);
}

TEST_F(QvShellFiles, ShortcutWithoutTargetLinksToTheRunningProgram) {
  ASSERT_EQ(1, CreateShortcut(dir_.c_str(), L"self", nullptr, nullptr, 0, nullptr, SW_SHOWNORMAL));
  wchar_t self[MAX_PATH], folder[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  GetCurPath(folder);
  LinkFields link;
  ASSERT_TRUE(ReadLink(dir_ + L"\\self.lnk", &link));
  EXPECT_EQ(0, _wcsicmp(self, link.path.c_str())) << link.path;
  // The program folder as given, trailing backslash and all.
  EXPECT_EQ(0, _wcsicmp(folder, link.dir.c_str())) << link.dir;
}

TEST_F(QvShellFiles, HotkeyAndIconAreWrittenAndTheIconCanBeChangedLater) {
  const WORD hotkey = MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_ALT);
  ASSERT_EQ(1, CreateShortcut(dir_.c_str(), L"keyed", L"C:\\App\\main.exe", L"C:\\App\\one.ico",
                              hotkey, nullptr, SW_SHOWNORMAL));
  const std::wstring file = dir_ + L"\\keyed.lnk";
  LinkFields before;
  ASSERT_TRUE(ReadLink(file, &before));
  EXPECT_EQ(hotkey, before.hotkey);
  EXPECT_EQ(L"C:\\App\\one.ico", before.icon);
  EXPECT_EQ(0, before.icon_index);

  ASSERT_EQ(1, SetShortcutIcon(file.c_str(), L"C:\\App\\two.ico"));
  LinkFields after;
  ASSERT_TRUE(ReadLink(file, &after));
  EXPECT_EQ(L"C:\\App\\two.ico", after.icon);
  // Changing the icon keeps the rest of the link.
  EXPECT_EQ(L"C:\\App\\main.exe", after.path);
  EXPECT_EQ(hotkey, after.hotkey);
}

TEST_F(QvShellFiles, MissingShortcutReportsAFailureStatus) {
  wchar_t real[MAX_PATH] = L"unchanged";
  EXPECT_LT(LnkToRealPath((dir_ + L"\\none.lnk").c_str(), real), 0);
  EXPECT_EQ(0, SetShortcutIcon(nullptr, L"C:\\x.ico"));
}

TEST_F(QvShellFiles, InternetShortcutNamesItsUrl) {
  const std::wstring file = dir_ + L"\\官方网站.url";
  ASSERT_EQ(1, CreateUrlShortcut(file.c_str(), L"http://example.com/start?a=1"));
  const std::string text = ReadAll(file);
  EXPECT_EQ(0u, text.find("[InternetShortcut]")) << text;
  EXPECT_NE(std::string::npos, text.find("URL=http://example.com/start?a=1")) << text;
}

TEST(QvShellRegistry, ProtocolRegistrationWritesItsThreeKeys) {
  const std::wstring name = UniqueName(L"qvshelltest");
  RegProtocol(name.c_str(), L"main.exe");
  wchar_t folder[MAX_PATH];
  GetCurPath(folder);
  const std::wstring path = std::wstring(folder) + L"main.exe";

  auto read = [](const std::wstring& key, LPCWSTR value) {
    wchar_t text[1024] = L"<missing>";
    DWORD bytes = sizeof text;
    RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), value, RRF_RT_REG_SZ, nullptr, text, &bytes);
    return std::wstring(text);
  };
  EXPECT_EQ(name + L"Protocol", read(name, nullptr));
  EXPECT_EQ(path, read(name, L"URL Protocol"));
  EXPECT_EQ(path + L",0", read(name + L"\\DefaultIcon", nullptr));
  EXPECT_EQ(L"\"" + path + L"\" \"%1\"", read(name + L"\\shell\\open\\command", nullptr));

  EXPECT_EQ(ERROR_SUCCESS, RegDeleteTreeW(HKEY_CLASSES_ROOT, name.c_str()));
}

TEST(QvShellRegistry, IconCacheRefreshLeavesTheIconSizeAsItWas) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop\\WindowMetrics",
                                           0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
  RefreshIconCache();
  wchar_t text[64] = {};
  DWORD type = 0, bytes = sizeof text - sizeof(wchar_t);
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, L"Shell Icon Size", nullptr, &type,
                                            reinterpret_cast<BYTE*>(text), &bytes));
  RegCloseKey(key);
  const std::wstring width = std::to_wstring(GetSystemMetrics(SM_CXICON));
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
  // Only the text: Wine counts a NUL the value was stored without.
  EXPECT_EQ(width, text);
}

TEST(QvShellClipboard, TextRoundTripsAndIsCutToTheCapacity) {
  ASSERT_EQ(1, SetClipboard(L"收入 report 123"));
  wchar_t out[64] = L"";
  EXPECT_EQ(1, GetClipboard(out, 64));
  EXPECT_STREQ(L"收入 report 123", out);

  ASSERT_EQ(1, SetClipboard(L"abcde"));
  wchar_t cut[8];
  std::wmemset(cut, L'#', 8);
  EXPECT_EQ(1, GetClipboard(cut, 5));
  EXPECT_STREQ(L"abcd", cut);
  EXPECT_EQ(L'#', cut[5]);

  ASSERT_EQ(1, SetClipboard(L""));
  wchar_t empty[4] = L"xy";
  EXPECT_EQ(1, GetClipboard(empty, 4));
  EXPECT_STREQ(L"", empty);
}

TEST(QvShellClipboard, NoTextLeavesTheBufferAlone) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
  wchar_t out[8] = L"keep";
  EXPECT_EQ(1, GetClipboard(out, 8));
  EXPECT_STREQ(L"keep", out);
}

const char kResource[] = "QV-resource\x00\x01";
const int kResourceSize = sizeof kResource - 1;

TEST_F(QvShellFiles, OwnResourceIsMeasuredCopiedSavedAndStreamed) {
  ASSERT_EQ(kResourceSize, QvResSize(60001, L"IMG"));
  char buffer[kResourceSize];
  ASSERT_EQ(1, QvResGetBuff(60001, L"IMG", buffer));
  EXPECT_EQ(0, std::memcmp(kResource, buffer, kResourceSize));

  const std::wstring file = dir_ + L"\\saved.png";
  ASSERT_EQ(1, QvResSave(60001, L"IMG", file.c_str()));
  EXPECT_EQ(std::string(kResource, kResourceSize), ReadAll(file));

  IStream* stream = QvResGetStream(60001, L"IMG");
  ASSERT_NE(nullptr, stream);
  char streamed[32] = {};
  ULONG got = 0;
  EXPECT_EQ(S_OK, stream->Read(streamed, sizeof streamed, &got));
  EXPECT_EQ(static_cast<ULONG>(kResourceSize), got);
  EXPECT_EQ(0, std::memcmp(kResource, streamed, kResourceSize));
  stream->Release();
}

TEST_F(QvShellFiles, MissingResourceIsRefusedEverywhere) {
  EXPECT_EQ(0, QvResSize(60002, L"IMG"));
  EXPECT_EQ(0, QvResSize(60001, L"WAV"));
  EXPECT_EQ(nullptr, QvResGetStream(60002, L"IMG"));
  char buffer[4];
  EXPECT_EQ(0, QvResGetBuff(60002, L"IMG", buffer));
  const std::wstring file = dir_ + L"\\none.png";
  EXPECT_EQ(0, QvResSave(60002, L"IMG", file.c_str()));
  EXPECT_EQ(0, FileCount());
}

LRESULT CALLBACK PlainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }

HWND MakeWindow() {
  WNDCLASSW cls = {};
  cls.lpfnWndProc = PlainProc;
  cls.hInstance = GetModuleHandleW(nullptr);
  cls.lpszClassName = L"QvShellTestWindow";
  RegisterClassW(&cls);
  return CreateWindowW(L"QvShellTestWindow", L"tray owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                       nullptr, nullptr, cls.hInstance, nullptr);
}

TEST(QvShellTray, IconIsAddedChangedAndRemoved) {
  HWND window = MakeWindow();
  ASSERT_NE(nullptr, window);
  HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
  HICON other = LoadIconW(nullptr, MAKEINTRESOURCEW(32516));  // IDI_INFORMATION
  // A tip longer than its field is cut, not refused.
  const std::wstring long_tip(300, L'提');
  ASSERT_NE(0, ShowTray(window, icon, long_tip.c_str(), WM_APP + 1));
  EXPECT_NE(0, SetIcon(window, other));
  EXPECT_NE(0, SetTip(window, L"新的提示"));
  EXPECT_NE(0, ShowBalloon(window, std::wstring(100, L'T').c_str(), std::wstring(400, L'x').c_str(), 3000));
  EXPECT_NE(0, DelTray(window));
  // Once removed there is nothing left to change or remove.
  EXPECT_EQ(0, SetTip(window, L"gone"));
  EXPECT_EQ(0, DelTray(window));
  DestroyWindow(window);
}

// Cancels the first dialog box of this process that shows up; the dialogs
// under test are modal, so the test's own thread cannot do it.
class DialogCanceller {
 public:
  DialogCanceller() : thread_([this] { Run(); }) {}
  ~DialogCanceller() {
    stop_ = true;
    thread_.join();
  }
  bool cancelled() const { return cancelled_; }

 private:
  static BOOL CALLBACK Find(HWND w, LPARAM found) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    wchar_t cls[16] = L"";
    GetClassNameW(w, cls, 16);
    if (pid == GetCurrentProcessId() && !std::wcscmp(cls, L"#32770") && IsWindowVisible(w)) {
      *reinterpret_cast<HWND*>(found) = w;
      return FALSE;
    }
    return TRUE;
  }
  void Run() {
    while (!stop_ && !cancelled_) {
      HWND dialog = nullptr;
      EnumWindows(Find, reinterpret_cast<LPARAM>(&dialog));
      if (dialog) {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        cancelled_ = true;
      } else {
        Sleep(50);
      }
    }
  }
  std::atomic<bool> stop_{false}, cancelled_{false};
  std::thread thread_;
};

TEST(QvShellDialogs, CancelledDialogsReturnZero) {
  {
    DialogCanceller canceller;
    wchar_t file[MAX_PATH] = L"start.txt";
    EXPECT_EQ(0, ShowOpenFileDlg(file, MAX_PATH, nullptr, L"Text\0*.txt\0All\0*.*\0", L"txt", 1));
    EXPECT_TRUE(canceller.cancelled());
  }
  {
    DialogCanceller canceller;
    wchar_t file[MAX_PATH] = L"old text";
    EXPECT_EQ(0, ShowSaveFileDlg(file, nullptr, L"txt"));
    EXPECT_STREQ(L"", file);
    EXPECT_TRUE(canceller.cancelled());
  }
  {
    DialogCanceller canceller;
    wchar_t folder[MAX_PATH] = L"old text";
    EXPECT_EQ(0, ShowSelDir(folder, nullptr));
    EXPECT_STREQ(L"", folder);
    EXPECT_TRUE(canceller.cancelled());
  }
}

}  // namespace
