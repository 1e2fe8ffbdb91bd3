#include "qv_test_server.h"
#include "qv_test_process.h"

#include "qv_dump.h"
#include "qv_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

namespace {

TEST(QvDumpName, ProgramPathTickAndExtension) {
  wchar_t out[MAX_PATH + 32];
  ASSERT_TRUE(QvDumpFileName(L"C:\\app\\setup.exe", 12345, out, MAX_PATH + 32));
  EXPECT_EQ(std::wstring(L"C:\\app\\setup.exe_12345.dmp"), out);

  // The tick count is printed as a signed number, as the dump names always were.
  ASSERT_TRUE(QvDumpFileName(L"C:\\a.exe", 0x80000000u, out, MAX_PATH + 32));
  EXPECT_EQ(std::wstring(L"C:\\a.exe_-2147483648.dmp"), out);
  ASSERT_TRUE(QvDumpFileName(L"C:\\a.exe", 0xFFFFFFFFu, out, MAX_PATH + 32));
  EXPECT_EQ(std::wstring(L"C:\\a.exe_-1.dmp"), out);

  // Characters outside the ANSI code page survive untouched.
  const std::wstring chinese = L"D:\\\u5B89\u88C5\\\u5378\u8F7D.exe";
  ASSERT_TRUE(QvDumpFileName(chinese.c_str(), 7, out, MAX_PATH + 32));
  EXPECT_EQ(chinese + L"_7.dmp", out);
}

TEST(QvDumpName, RefusesWhatDoesNotFit) {
  // "C:\\a.exe_5.dmp" is 14 characters and needs room for its terminator.
  wchar_t out[15] = L"junk";
  EXPECT_FALSE(QvDumpFileName(L"C:\\a.exe", 5, out, 14));
  EXPECT_EQ(L'\0', out[0]);
  ASSERT_TRUE(QvDumpFileName(L"C:\\a.exe", 5, out, 15));
  EXPECT_EQ(std::wstring(L"C:\\a.exe_5.dmp"), out);
  EXPECT_FALSE(QvDumpFileName(nullptr, 5, out, 15));
  EXPECT_EQ(L'\0', out[0]);
}

LPTOP_LEVEL_EXCEPTION_FILTER InstalledFilter() {
  LPTOP_LEVEL_EXCEPTION_FILTER now = SetUnhandledExceptionFilter(nullptr);
  SetUnhandledExceptionFilter(now);
  return now;
}

TEST(QvDumpFilter, ObjectsChainTheFilterAndCopiesInstallNothing) {
  CqvDump& single = CqvDump::Instance();
  EXPECT_EQ(&single, &CqvDump::Instance());
  EXPECT_EQ(&CqvDump::ExceptionFilter, InstalledFilter());
  EXPECT_NE(&CqvDump::ExceptionFilter, single.PreviousFilter());
  EXPECT_EQ(&single, CqvDump::Current());

  single.Install(nullptr, L"pl_install_dump");
  EXPECT_EQ(L"", single.AppName());
  EXPECT_EQ(L"pl_install_dump", single.ReportType());
  InstallDump(L"QV-\u5B89\u88C5\u5411\u5BFC", nullptr);
  EXPECT_EQ(L"QV-\u5B89\u88C5\u5411\u5BFC", single.AppName());
  EXPECT_EQ(L"", single.ReportType());

  {
    CqvDump second;
    second.Install(L"second", L"vt_uninstall_dump");
    EXPECT_EQ(&second, CqvDump::Current());
    EXPECT_EQ(&CqvDump::ExceptionFilter, second.PreviousFilter());

    {
      CqvDump copy(second);
      CqvDump assigned;  // becomes current and installs, like any default object
      assigned = single;
      EXPECT_EQ(&assigned, CqvDump::Current());
      EXPECT_EQ(single.PreviousFilter(), assigned.PreviousFilter());
      EXPECT_EQ(single.AppName(), assigned.AppName());
      EXPECT_EQ(L"vt_uninstall_dump", copy.ReportType());
      EXPECT_EQ(&CqvDump::ExceptionFilter, copy.PreviousFilter());
    }
    // The assigned object put back the filter in force before the handler
    // existed; the copy, destroyed after it, put the handler's filter back.
    EXPECT_EQ(&CqvDump::ExceptionFilter, InstalledFilter());
  }
  // The filter is still ours but its last current object is gone: it must
  // not be left pointing at it.
  EXPECT_EQ(&CqvDump::ExceptionFilter, InstalledFilter());
  EXPECT_EQ(nullptr, CqvDump::Current());
}

// Each crash runs a copy of the helper in a folder of its own whose name is
// outside the ANSI code page, so the dump's path must stay wide throughout.
class QvDumpCrash : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeScratchFolder(L"\u5D29\u6E83");
    ASSERT_FALSE(dir_.empty());
    helper_ = dir_ + L"\u5B89\u88C5.exe";
    ASSERT_TRUE(CopyFileW((ProgramFolder() + L"qv_dump_helper.exe").c_str(), helper_.c_str(), FALSE));
  }
  void TearDown() override {
    for (const std::wstring& name : Files(L"*")) DeleteFileW((dir_ + name).c_str());
    RemoveDirectoryW(dir_.c_str());
  }

  // What the test saw of the helper's crash boxes from outside while it ran.
  struct Boxes {
    int count = 0;
    std::wstring title;
    bool at_rest = false;  // 300 x 200, visible, after the opening
    HWND owner = nullptr;
    bool owner_enabled = true;
    size_t dumps_before = 0;
    DWORD open_ms = 0;  // from first sighting to the process's end
  };

  DWORD Run(const std::wstring& args) {
    boxes_ = Boxes();
    seen_.clear();
    DWORD first = 0;
    const DWORD code = RunAndWait(helper_, args, [this, &first](DWORD pid) {
      pid_ = pid;
      EnumWindows(&QvDumpCrash::Look, reinterpret_cast<LPARAM>(this));
      if (boxes_.count > 0 && first == 0) first = GetTickCount();
    });
    if (first) boxes_.open_ms = GetTickCount() - first;
    return code;
  }

  static BOOL CALLBACK Look(HWND window, LPARAM self_ptr) {
    QvDumpCrash* self = reinterpret_cast<QvDumpCrash*>(self_ptr);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t cls[256] = {};
    GetClassNameW(window, cls, 256);
    if (pid != self->pid_ || !std::wcsstr(cls, L"_QVWND_") || !IsWindowVisible(window))
      return TRUE;
    Boxes& b = self->boxes_;
    if (std::find(self->seen_.begin(), self->seen_.end(), window) == self->seen_.end()) {
      self->seen_.push_back(window);
      if (++b.count == 1) {
        b.dumps_before = self->Files(L"*.dmp").size();
        wchar_t title[256] = {};
        GetWindowTextW(window, title, 256);
        b.title = title;
        b.owner = GetWindow(window, GW_OWNER);
        if (b.owner) b.owner_enabled = IsWindowEnabled(b.owner) != FALSE;
      }
    }
    RECT r;
    GetWindowRect(window, &r);
    if (r.right - r.left == 300 && r.bottom - r.top == 200) b.at_rest = true;
    return TRUE;
  }

  std::vector<std::wstring> Files(const wchar_t* pattern) const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((dir_ + pattern).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
  }

  std::wstring Read(const std::wstring& name) const {
    std::wstring text;
    HANDLE file = CreateFileW((dir_ + name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return text;
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD got = 0;
    if (!bytes.empty()) ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    text.assign(reinterpret_cast<const wchar_t*>(bytes.data()), got / sizeof(wchar_t));
    return text;
  }

  // The one dump's name follows "<program file>_<signed tick>.dmp" and the
  // file holds a minidump.
  void ExpectOneDump() {
    std::vector<std::wstring> dumps = Files(L"*.dmp");
    ASSERT_EQ(1u, dumps.size());
    const std::wstring prefix = L"\u5B89\u88C5.exe_";
    const std::wstring& name = dumps[0];
    ASSERT_EQ(0u, name.compare(0, prefix.size(), prefix)) << "dump name has the wrong stem";
    std::wstring tick = name.substr(prefix.size(), name.size() - prefix.size() - 4);
    ASSERT_FALSE(tick.empty());
    EXPECT_EQ(std::wstring::npos,
              tick.find_first_not_of(L"0123456789", tick[0] == L'-' ? 1 : 0));

    HANDLE file = CreateFileW((dir_ + name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    char head[4] = {};
    DWORD got = 0;
    ReadFile(file, head, 4, &got, nullptr);
    DWORD size = GetFileSize(file, nullptr);
    CloseHandle(file);
    EXPECT_GT(size, 4u);
    EXPECT_EQ(std::string("MDMP"), std::string(head, got));
  }

  Boxes boxes_;
  std::vector<HWND> seen_;
  DWORD pid_ = 0;
  std::wstring dir_;
  std::wstring helper_;
};

// The box counts down 5 seconds of 200 ms and then lets the process end.
TEST_F(QvDumpCrash, ReportsWritesTheDumpShowsTheBoxAndEnds) {
  EXPECT_EQ(static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION), Run(L"crash pl_install_dump"));
  ExpectOneDump();
  EXPECT_EQ(L"report:pl_install_dump\n", Read(L"crash.log"));
  // One box, over the disabled main window, titled with the application's
  // name, shown only once the dump was on disk.
  EXPECT_EQ(1, boxes_.count);
  EXPECT_EQ(L"helper", boxes_.title);
  EXPECT_TRUE(boxes_.at_rest);
  EXPECT_NE(nullptr, boxes_.owner);
  EXPECT_FALSE(boxes_.owner_enabled);
  EXPECT_EQ(1u, boxes_.dumps_before);
  EXPECT_GE(boxes_.open_ms, 800u);
}

TEST_F(QvDumpCrash, UnnamedHandlerReportsAnEmptyTypeAndShowsAnOwnerlessBox) {
  EXPECT_EQ(static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION), Run(L"early"));
  ExpectOneDump();
  EXPECT_EQ(L"report:\n", Read(L"crash.log"));
  EXPECT_EQ(1, boxes_.count);
  EXPECT_EQ(nullptr, boxes_.owner);
}

TEST_F(QvDumpCrash, TwoThreadsCrashingTogetherGiveOneDumpAndOneBox) {
  EXPECT_EQ(static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION), Run(L"twice vt_uninstall_dump"));
  ExpectOneDump();
  EXPECT_EQ(L"report:vt_uninstall_dump\n", Read(L"crash.log"));
  EXPECT_EQ(1, boxes_.count);
}

TEST_F(QvDumpCrash, AFaultInsideTheFilterStillEndsTheProcess) {
  EXPECT_EQ(static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION), Run(L"nested pl_install_dump"));
  EXPECT_EQ(L"report:pl_install_dump\n", Read(L"crash.log"));
  EXPECT_EQ(0, boxes_.count);
}

TEST_F(QvDumpCrash, CrashReportReachesTheStatisticsServiceBeforeTheBox) {
  TestServer server;
  server.Answer(Response("200 OK", "ok"));
  WriteProxyFile(dir_ + L"proxy.dat", server.port());
  EXPECT_EQ(static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION), Run(L"report vt_uninstall_dump"));
  ExpectOneDump();
  EXPECT_EQ(L"report:vt_uninstall_dump\n", Read(L"crash.log"));
  EXPECT_EQ(1, boxes_.count);
  ASSERT_EQ(1u, server.Requests().size());
  std::string line = RequestLine(server.Requests()[0]);
  std::wstring endpoint = QvStatisticsEndpoint();
  EXPECT_EQ(0u, line.find("GET " + std::string(endpoint.begin(), endpoint.end()) +
                          "?type=vt_uninstall_dump&value=&uuid=QV"))
      << line;
}

}  // namespace
