#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "qv_log.h"
#include "qv_reg.h"

namespace {

const wchar_t kTestKey[] = L"SOFTWARE\\ZzRegTest";

void CreateKey(HKEY root, LPCWSTR path) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST(QvReg, StringsRoundTripWithinTheByteLimit) {
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    CreateKey(root, kTestKey);
    std::wstring fits(129, L'a'), too_long(130, L'b');
    wchar_t out[300] = L"untouched";
    ASSERT_EQ(SetRegInfo(root, kTestKey, L"v", 0, fits.c_str()), 1);
    ASSERT_EQ(GetRegInfo(root, kTestKey, L"v", 0, out), 1);
    EXPECT_EQ(std::wstring(out), fits);
    ASSERT_EQ(SetRegInfo(root, kTestKey, L"v", 0, too_long.c_str()), 1);
    wcscpy(out, L"untouched");
    EXPECT_EQ(GetRegInfo(root, kTestKey, L"v", 0, out), 0);
    EXPECT_EQ(std::wstring(out), L"untouched");
    // Chinese text round-trips as UTF-16.
    ASSERT_EQ(SetRegInfo(root, kTestKey, L"名称", 1, L"卫生院"), 1);
    ASSERT_EQ(GetRegInfo(root, kTestKey, L"名称", 1, out), 1);
    EXPECT_EQ(std::wstring(out), L"卫生院");
    RegDeleteTreeW(root, kTestKey);
  }
  EXPECT_EQ(SetRegInfo(HKEY_CURRENT_USER, L"SOFTWARE\\ZzNoSuchKey", L"v", 0, L"x"), 0);
  HKEY probe;
  EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\ZzNoSuchKey", 0, KEY_READ, &probe),
            ERROR_SUCCESS);
}

TEST(QvReg, DwordsReadAsTheirBytes) {
  CreateKey(HKEY_CURRENT_USER, kTestKey);
  HKEY key;
  RegOpenKeyExW(HKEY_CURRENT_USER, kTestKey, 0, KEY_ALL_ACCESS, &key);
  DWORD one = 1;
  RegSetValueExW(key, L"n", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), sizeof one);
  RegCloseKey(key);
  wchar_t out[131] = {};
  EXPECT_EQ(GetRegInfo(HKEY_CURRENT_USER, kTestKey, L"n", 0, out), 1);
  EXPECT_EQ(out[0], L'\x0001');
  EXPECT_EQ(out[1], L'\0');
  RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
}

std::atomic<int> g_changes{0};
void CountChange(void*) { ++g_changes; }

bool WaitFor(int at_least) {
  for (int i = 0; i < 500 && g_changes < at_least; ++i) Sleep(10);
  return g_changes >= at_least;
}

TEST(QvReg, MonitorFiresAtStartOnChangeAndStops) {
  CreateKey(HKEY_CURRENT_USER, kTestKey);
  g_changes = 0;
  StartMonitor(HKEY_CURRENT_USER, kTestKey, 0, CountChange, nullptr);
  EXPECT_TRUE(WaitFor(1));
  Sleep(100);
  SetRegInfo(HKEY_CURRENT_USER, kTestKey, L"x", 0, L"1");
  EXPECT_TRUE(WaitFor(2));
  StopMonitor();
  // A start within the old monitor's wait does not revive it: only the new
  // monitor's first call arrives.
  int before = g_changes;
  StartMonitor(HKEY_CURRENT_USER, kTestKey, 0, nullptr, nullptr);
  Sleep(1200);
  SetRegInfo(HKEY_CURRENT_USER, kTestKey, L"x", 0, L"2");
  Sleep(1200);
  EXPECT_EQ(g_changes.load(), before);
  StopMonitor();
  RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
}

TEST(QvReg, AutoRunStoresThePathWithItsNul) {
  EXPECT_EQ(SetAutoRun(L"ZzAutoRunTest", 0, nullptr), 1);
  ASSERT_EQ(SetAutoRun(L"ZzAutoRunTest", 1, nullptr), 1);
  HKEY key;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
                          0, KEY_READ, &key),
            ERROR_SUCCESS);
  wchar_t buf[600] = {};
  DWORD size = sizeof buf;
  ASSERT_EQ(RegQueryValueExW(key, L"ZzAutoRunTest", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size),
            ERROR_SUCCESS);
  RegCloseKey(key);
  wchar_t self[600] = {};
  GetModuleFileNameW(nullptr, self, 600);
  EXPECT_EQ(std::wstring(buf), self);
  EXPECT_EQ(size, (wcslen(self) + 1) * sizeof(wchar_t));
  EXPECT_EQ(SetAutoRun(L"ZzAutoRunTest", 0, nullptr), 1);
}

std::string ReadFileBytes(const std::wstring& path) {
  FILE* f = _wfopen(path.c_str(), L"rb");
  if (!f) return "<missing>";
  std::string out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  fclose(f);
  return out;
}

TEST(QvLog, WritesTheDailyFileOnlyWhenSwitchedOn) {
  CreateKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Vudozuvo");
  std::wstring file;
  CQvLog::Instance().GetLogFileName(file);
  DeleteFileW(file.c_str());

  SetRegInfo(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Vudozuvo", L"debug", 0, L"true");
  CQvLog::Instance().WriteLog(L"off");
  CQvLog::Instance().WriteLog2(L"%s", L"off");
  EXPECT_EQ(ReadFileBytes(file), "<missing>");

  SetRegInfo(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Vudozuvo", L"debug", 0, L"1");
  WriteLog(L"卫生院 ok");
  std::wstring long_text(2000, L'x');
  CQvLog::Instance().WriteLog2(L"%s", long_text.c_str());
  SetRegInfo(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Vudozuvo", L"debug", 0, L"0");

  std::string bytes = ReadFileBytes(file);
  // Two lines, each "YYYY-MM-DD hh:mm:ss<TAB>text<CR><LF>", in code page 936.
  std::size_t first_end = bytes.find("\r\n");
  ASSERT_NE(first_end, std::string::npos);
  std::string first = bytes.substr(0, first_end);
  ASSERT_GT(first.size(), 20u);
  EXPECT_EQ(first[4], '-');
  EXPECT_EQ(first[19], '\t');
  EXPECT_EQ(first.substr(20), "\xce\xc0\xc9\xfa\xd4\xba ok");
  std::string second = bytes.substr(first_end + 2);
  EXPECT_EQ(second.size(), 20u + 1023u + 2u);
  DeleteFileW(file.c_str());
  // The name is "QV-<year>-<month>-<day>.log" beside the program.
  std::size_t slash = file.find_last_of(L'\\');
  EXPECT_EQ(file.substr(slash + 1, 3), L"QV-");
}

TEST(QvLog, SharedMemoryLogIsBoundedAndIgnoresTheSwitch) {
  CQvLog& log = CQvLog::Instance();
  log.WriteLog3(L"before any section");  // offset grows all the same
  log.SetMemName(L"ZzQvLogTest", 4096);
  log.WriteLog3(L"%s %d", L"line", 1);
  HANDLE section = OpenFileMappingW(FILE_MAP_READ, FALSE, L"ZzQvLogTest");
  ASSERT_NE(section, nullptr);
  const wchar_t* view = static_cast<const wchar_t*>(MapViewOfFile(section, FILE_MAP_READ, 0, 0, 0));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view[0], L'\0');
  std::size_t first_len = 20 + wcslen(L"before any section") + 2;
  std::wstring line(view + first_len);
  EXPECT_EQ(line.substr(20), L"line 1\r\n");
  // Lines past the end are dropped, never written beyond the section.
  for (int i = 0; i < 200; ++i) log.WriteLog3(L"%s", std::wstring(100, L'z').c_str());
  UnmapViewOfFile(view);
  CloseHandle(section);
}

}  // namespace
