#include "qv_utils.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <string>
#include <thread>

namespace {

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  GetCurPath(path);
  return path;
}

std::wstring HelperPath() { return ProgramFolder() + L"qv_utils_helper.exe"; }

std::wstring UniqueName(const wchar_t* stem) {
  return std::wstring(stem) + std::to_wstring(GetCurrentProcessId()) + L"_" +
         std::to_wstring(GetTickCount());
}

// A folder of its own for each test, removed with its files afterwards.
class QvUtilsFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    dir_ = std::wstring(temp) + UniqueName(L"qvutils");
    ASSERT_EQ(1, CreateFolder(dir_.c_str()));
    dir_ += L"\\";
  }
  void TearDown() override {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((dir_ + L"*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        if (data.cFileName[0] != L'.') DeleteFileW((dir_ + data.cFileName).c_str());
      } while (FindNextFileW(find, &data));
      FindClose(find);
    }
    RemoveDirectoryW(dir_.c_str());
  }
  std::wstring dir_;
};

// Runs a program to its end, dispatching this thread's messages meanwhile so
// that the program can send messages to a window of this thread.
DWORD RunPumping(const std::wstring& command_line) {
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  std::wstring line = command_line;
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return 0xFFFFFFFF;
  CloseHandle(pi.hThread);
  for (;;) {
    DWORD r = MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 30000, QS_ALLINPUT);
    if (r == WAIT_OBJECT_0) break;
    if (r != WAIT_OBJECT_0 + 1) {
      TerminateProcess(pi.hProcess, 99);
      break;
    }
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  return code;
}

TEST(QvUtilsSystem, OsNameAgreesWithTheVersionChecks) {
  wchar_t name[MAX_PATH] = L"?";
  EXPECT_EQ(1, GetOsName(name));
  const std::wstring os(name);
  EXPECT_TRUE(os == L"Win2000" || os == L"XP" || os == L"Vista" || os == L"Win7" || os == L"Win8" ||
              os == L"9x" || os == L"Me");
  if (os == L"Vista" || os == L"Win7" || os == L"Win8") {
    EXPECT_EQ(1, isWin7());
  }
  EXPECT_EQ(os == L"Win8", isWin8() == 1);
}

TEST(QvUtilsSystem, UacFollowsEnableLua) {
  const wchar_t* kKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System\\";
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                           nullptr, &key, nullptr));
  DWORD old_type = 0, old_value = 0, old_size = sizeof old_value;
  bool had = RegQueryValueExW(key, L"EnableLUA", nullptr, &old_type,
                              reinterpret_cast<BYTE*>(&old_value), &old_size) == ERROR_SUCCESS;
  OSVERSIONINFOW info = {sizeof info};
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExW(&info);
#pragma GCC diagnostic pop
  const int on_new_system = info.dwMajorVersion > 5 ? 1 : 0;

  DWORD one = 1, zero = 0;
  RegSetValueExW(key, L"EnableLUA", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
  EXPECT_EQ(on_new_system, isEnableUAC());
  RegSetValueExW(key, L"EnableLUA", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero), sizeof zero);
  EXPECT_EQ(0, isEnableUAC());
  RegSetValueExW(key, L"EnableLUA", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"1"), 4);
  EXPECT_EQ(0, isEnableUAC());
  RegDeleteValueW(key, L"EnableLUA");
  EXPECT_EQ(0, isEnableUAC());

  if (had)
    RegSetValueExW(key, L"EnableLUA", 0, old_type, reinterpret_cast<const BYTE*>(&old_value), old_size);
  RegCloseKey(key);
}

TEST(QvUtilsSystem, SetPrivilegeNeedsAKnownName) {
  EXPECT_EQ(1, SetPrivilege(SE_SHUTDOWN_NAME, 1));
  EXPECT_EQ(1, SetPrivilege(SE_SHUTDOWN_NAME, 0));
  EXPECT_EQ(0, SetPrivilege(L"SeNoSuchPrivilege", 1));
  EXPECT_EQ(0, SetPrivilege(nullptr, 1));
}

TEST(QvUtilsSystem, ProgramFolderEndsInABackslash) {
  const std::wstring folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(L'\\', folder.back());
  EXPECT_EQ(1, isDir(folder.c_str()));
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(HelperPath().c_str()));
}

TEST_F(QvUtilsFiles, FolderCreatedOnceAndRecognised) {
  const std::wstring sub = dir_ + L"sub";
  EXPECT_EQ(1, CreateFolder(sub.c_str()));
  EXPECT_EQ(0, CreateFolder(sub.c_str()));  // an existing folder is a failure
  EXPECT_EQ(1, isDir(sub.c_str()));
  EXPECT_EQ(0, CreateFolder((dir_ + L"a\\b").c_str()));  // one level only
  EXPECT_EQ(0, isDir((dir_ + L"missing").c_str()));
  EXPECT_EQ(0, FileSize(sub.c_str()));
  RemoveDirectoryW(sub.c_str());
}

TEST_F(QvUtilsFiles, WriteReadRoundTrip) {
  const std::wstring path = dir_ + L"\u6570\u636E.bin";  // a Chinese name
  const char bytes[] = "raw\r\n\0bytes\x1a\xff";
  const DWORD size = sizeof bytes - 1;
  ASSERT_EQ(1, QvWriteFile(path.c_str(), bytes, size));
  EXPECT_EQ(static_cast<long long>(size), FileSize(path.c_str()));
  EXPECT_EQ(0, isDir(path.c_str()));

  char back[64] = {};
  DWORD length = sizeof back;
  ASSERT_EQ(1, QvReadFile(path.c_str(), back, &length));
  ASSERT_EQ(size, length);
  EXPECT_EQ(0, memcmp(bytes, back, size));

  char part[4] = {};
  length = 3;
  ASSERT_EQ(1, QvReadFile(path.c_str(), part, &length));
  EXPECT_EQ(3u, length);
  EXPECT_EQ(std::string("raw"), part);

  // Writing again empties the file first.
  ASSERT_EQ(1, QvWriteFile(path.c_str(), "x", 1));
  EXPECT_EQ(1, FileSize(path.c_str()));
  ASSERT_EQ(1, QvWriteFile(path.c_str(), nullptr, 0));
  EXPECT_EQ(0, FileSize(path.c_str()));
}

TEST_F(QvUtilsFiles, MissingFilesFail) {
  const std::wstring missing = dir_ + L"missing.bin";
  char buf[8];
  DWORD length = 8;
  EXPECT_EQ(0, QvReadFile(missing.c_str(), buf, &length));
  EXPECT_EQ(8u, length);
  EXPECT_EQ(0, FileSize(missing.c_str()));
  EXPECT_EQ(0, QvWriteFile((dir_ + L"no\\such\\file").c_str(), "x", 1));
  tm t;
  EXPECT_EQ(0, FileTime(missing.c_str(), &t, &t, &t));
  EXPECT_EQ(0, FileTime(nullptr, nullptr, nullptr, nullptr));
}

TEST_F(QvUtilsFiles, FileTimesInLocalTime) {
  const std::wstring path = dir_ + L"times.txt";
  ASSERT_EQ(1, QvWriteFile(path.c_str(), "t", 1));
  tm modify = {}, create = {};
  ASSERT_EQ(1, FileTime(path.c_str(), nullptr, &modify, &create));
  time_t now = time(nullptr);
  tm local_now = *localtime(&now);
  // Just written: the modification time is now (within generous bounds).
  double diff = difftime(mktime(&local_now), mktime(&modify));
  EXPECT_LT(diff < 0 ? -diff : diff, 120.0);
  EXPECT_EQ(local_now.tm_year, create.tm_year);

  // A fixed modification time: 15 June 2020 12:00 UTC, the day the same
  // in any zone within 12 hours of UTC; the day of the year follows the date.
  HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  SYSTEMTIME st = {2020, 6, 1, 15, 12, 0, 0, 0};
  FILETIME ft;
  SystemTimeToFileTime(&st, &ft);
  ASSERT_TRUE(SetFileTime(file, nullptr, &ft, &ft));
  CloseHandle(file);
  tm access = {};
  ASSERT_EQ(1, FileTime(path.c_str(), &access, &modify, nullptr));
  EXPECT_EQ(120, modify.tm_year);
  EXPECT_EQ(5, modify.tm_mon);
  EXPECT_EQ(15, modify.tm_mday);
  EXPECT_EQ(31 + 29 + 31 + 30 + 31 + 14, modify.tm_yday);
  EXPECT_EQ(1, modify.tm_wday);  // a Monday
  EXPECT_EQ(120, access.tm_year);
}

TEST_F(QvUtilsFiles, VersionResource) {
  wchar_t version[MAX_PATH] = L"junk";
  EXPECT_EQ(1, GetFileVer(HelperPath().c_str(), version));
  EXPECT_EQ(std::wstring(L"1.2.3.4"), version);
  EXPECT_EQ(1, CompVersion(version, L"1.2.3"));

  // A file without a version resource, and no file at all: 0 and empty text.
  const std::wstring plain = dir_ + L"plain.txt";
  ASSERT_EQ(1, QvWriteFile(plain.c_str(), "text", 4));
  std::wcscpy(version, L"junk");
  EXPECT_EQ(0, GetFileVer(plain.c_str(), version));
  EXPECT_EQ(std::wstring(), version);
  std::wcscpy(version, L"junk");
  EXPECT_EQ(0, GetFileVer((dir_ + L"none.exe").c_str(), version));
  EXPECT_EQ(std::wstring(), version);
}

TEST_F(QvUtilsFiles, UsedSpace) {
  wchar_t root[4] = L"C:\\";
  ULARGE_INTEGER free_to_caller, total, free_total;
  ASSERT_TRUE(GetDiskFreeSpaceExW(root, &free_to_caller, &total, &free_total));
  unsigned long long used = GetPathUseSpace(root);
  // Used, not free, bytes: the two add up to the drive's size (allowing for
  // other programs writing in between).
  EXPECT_GT(used, 0u);
  EXPECT_LE(used, total.QuadPart);
  unsigned long long sum = used + free_to_caller.QuadPart;
  EXPECT_LT(sum > total.QuadPart ? sum - total.QuadPart : total.QuadPart - sum, 64ull << 20);

  EXPECT_EQ(0u, GetPathUseSpace(L""));
  EXPECT_EQ(0u, GetPathUseSpace(nullptr));
  EXPECT_EQ(0u, GetPathUseSpace(L"Q:\\"));  // no such drive
  EXPECT_EQ(0u, GetPathUseSpace((dir_ + L"missing").c_str()));
  // Wine's scripting object has no folder size: there the answer is 0.
  ASSERT_EQ(1, QvWriteFile((dir_ + L"k.bin").c_str(), std::string(5000, 'k').data(), 5000));
  unsigned long long folder = GetPathUseSpace(dir_.c_str());
  EXPECT_TRUE(folder == 0 || folder >= 5000u) << folder;
}

TEST_F(QvUtilsFiles, DoRunWaitsForTheProgram) {
  const std::wstring marker = dir_ + L"waited.txt";
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(1, DoRun(HelperPath().c_str(), (L"sleep 1000 \"" + marker + L"\"").c_str(), 1, SW_HIDE));
  auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, std::chrono::milliseconds(900));
  EXPECT_EQ(4, FileSize(marker.c_str()));
}

TEST_F(QvUtilsFiles, DoRunWithoutWaitReturnsAtOnce) {
  const std::wstring marker = dir_ + L"later.txt";
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(1, DoRun(HelperPath().c_str(), (L"sleep 3000 \"" + marker + L"\"").c_str(), 0, SW_HIDE));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
  EXPECT_EQ(0, FileSize(marker.c_str()));
  for (int i = 0; i < 200 && FileSize(marker.c_str()) == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(4, FileSize(marker.c_str()));
}

TEST(QvUtilsProcess, DoRunOfAMissingProgramStillAnswersOne) {
  EXPECT_EQ(1, DoRun(L"C:\\no\\such\\program.exe", nullptr, 1, SW_HIDE));
}

// The first instance's window: it records the copy-data text it receives.
std::wstring g_received;
int g_copy_messages = 0;
LRESULT CALLBACK InstanceWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COPYDATA) {
    const COPYDATASTRUCT* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
    ++g_copy_messages;
    if (data->dwData == 0 && data->cbData % sizeof(wchar_t) == 0)
      g_received.assign(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t));
    return TRUE;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

TEST(QvUtilsProcess, OneInstanceBetweenTwoProcesses) {
  const std::wstring name = UniqueName(L"QvInstance");
  const std::wstring helper = L"\"" + HelperPath() + L"\" instance " + name;
  // No mutex yet: a second process is the first and goes on.
  EXPECT_EQ(1u, RunPumping(helper));

  EXPECT_EQ(1, CheckOneInstance(name.c_str(), nullptr));
  // Taken, but no window of that title: the other process goes on too.
  EXPECT_EQ(1u, RunPumping(helper));

  WNDCLASSW wc = {};
  wc.lpfnWndProc = InstanceWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"QvInstanceTestWindow";
  RegisterClassW(&wc);
  HWND window = CreateWindowW(wc.lpszClassName, name.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                              nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(nullptr, window) << "needs a display";

  g_received.clear();
  g_copy_messages = 0;
  EXPECT_EQ(0u, RunPumping(helper + L" \"open C:\\\u6587\u4EF6\""));
  EXPECT_EQ(1, g_copy_messages);
  EXPECT_EQ(std::wstring(L"open C:\\\u6587\u4EF6") + L'\0', g_received);
  EXPECT_TRUE(IsWindowVisible(window));

  // A one-character text is not sent.
  EXPECT_EQ(0u, RunPumping(helper + L" x"));
  EXPECT_EQ(1, g_copy_messages);
  DestroyWindow(window);
}

TEST(QvUtilsShareMem, WriteAndReadWithinTheSection) {
  const std::wstring name = UniqueName(L"QvShare");
  EXPECT_EQ(0, WriteShareMem(name.c_str(), L"none", 0));
  wchar_t out[MAX_PATH] = L"junk";
  EXPECT_EQ(0, ReadShareMem(name.c_str(), out));

  HANDLE section = CreateShareMem(name.c_str(), 256);
  ASSERT_NE(nullptr, section);
  EXPECT_EQ(1, ReadShareMem(name.c_str(), out));
  EXPECT_EQ(std::wstring(), out);  // a new section reads as empty

  EXPECT_EQ(1, WriteShareMem(name.c_str(), L"hello", 0));
  EXPECT_EQ(1, WriteShareMem(name.c_str(), L"\u4E16\u754C", 5));
  EXPECT_EQ(1, ReadShareMem(name.c_str(), out));
  EXPECT_EQ(std::wstring(L"hello\u4E16\u754C"), out);

  // A text that does not fit the caller's room is refused, never cut.
  wchar_t small[4] = {L'z', L'z', L'z', L'z'};
  EXPECT_EQ(0, ReadShareMem(name.c_str(), small, 4));
  EXPECT_EQ(std::wstring(), small);
  wchar_t exact[8];
  EXPECT_EQ(1, ReadShareMem(name.c_str(), exact, 8));
  EXPECT_EQ(std::wstring(L"hello\u4E16\u754C"), exact);
  EXPECT_EQ(0, ReadShareMem(name.c_str(), small, 0));

  // Writes past the mapped pages are refused whole, never made in part.
  EXPECT_EQ(0, WriteShareMem(name.c_str(), L"x", 1 << 20));
  EXPECT_EQ(0, WriteShareMem(name.c_str(), L"x", -1));
  std::wstring page(4096, L'p');
  EXPECT_EQ(0, WriteShareMem(name.c_str(), page.c_str(), 0));
  EXPECT_EQ(1, ReadShareMem(name.c_str(), out));
  EXPECT_EQ(std::wstring(L"hello\u4E16\u754C"), out);

  // A section filled to its last character without a NUL reads safely.
  std::wstring fill(2047, L'f');
  ASSERT_EQ(1, WriteShareMem(name.c_str(), fill.c_str(), 0));  // NUL in the last slot
  ASSERT_EQ(1, WriteShareMem(name.c_str(), L"g", 2046));      // still ends in the NUL
  std::wstring big(5000, L'\0');
  EXPECT_EQ(1, ReadShareMem(name.c_str(), &big[0], static_cast<DWORD>(big.size())));
  EXPECT_EQ(2047u, std::wcslen(big.c_str()));
  CloseHandle(section);
}

TEST(QvUtilsShareMem, AnotherProcessWritesTheSection) {
  const std::wstring name = UniqueName(L"QvShareX");
  HANDLE section = CreateShareMem(name.c_str(), 128);
  ASSERT_NE(nullptr, section);
  EXPECT_EQ(1u, RunPumping(L"\"" + HelperPath() + L"\" sharemem " + name + L" 0 from-helper"));
  wchar_t out[MAX_PATH] = {};
  EXPECT_EQ(1, ReadShareMem(name.c_str(), out));
  EXPECT_EQ(std::wstring(L"from-helper"), out);
  CloseHandle(section);
  // Once its last handle is gone the section no longer exists.
  EXPECT_EQ(0u, RunPumping(L"\"" + HelperPath() + L"\" sharemem " + name + L" 0 late"));
  EXPECT_EQ(nullptr, CreateShareMem(name.c_str(), 0));
}

}  // namespace
