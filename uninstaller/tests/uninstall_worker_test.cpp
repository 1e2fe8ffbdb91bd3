// The removal over the real file system and registry of the test's Wine
// prefix, on an installation laid out by the test: what must stop it and
// what it must not reach. The plain removal runs in the round-trip scenario.
#include "uninstall_worker.h"

#include "qv_utils.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

namespace {

const std::wstring kKeyName = L"ZuzarorWorkerTest";
const std::wstring kKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + kKeyName;

std::wstring Special(int csidl) {
  wchar_t path[MAX_PATH] = {};
  SHGetSpecialFolderPathW(nullptr, path, csidl, TRUE);
  return std::wstring(path) + L"\\";
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void Write(const std::wstring& path, const void* data, std::size_t size) {
  FILE* f = _wfopen(path.c_str(), L"wb");
  ASSERT_NE(nullptr, f) << std::string(path.begin(), path.end());
  std::fwrite(data, 1, size, f);
  std::fclose(f);
}
void Touch(const std::wstring& path) { Write(path, "x", 1); }

void Wipe(const std::wstring& folder) {
  std::wstring list = folder + L'\0';  // double NUL for the shell
  SHFILEOPSTRUCTW op = {};
  op.wFunc = FO_DELETE;
  op.pFrom = list.c_str();
  op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
  SHFileOperationW(&op);
}

class UninstallWorker : public testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    parent_ = std::wstring(temp) + L"卸载%PATH%测试\\";
    folder_ = parent_ + L"Zuzaror\\";
    menu_ = Special(CSIDL_PROGRAMS) + L"ZuzarorWorkerTest\\";
    desktop_ = Special(CSIDL_DESKTOP);
    Wipe(parent_.substr(0, parent_.size() - 1));
    CreateDirectoryW(parent_.c_str(), nullptr);
    CreateDirectoryW(folder_.c_str(), nullptr);
    Touch(folder_ + L"Zuzaror.exe");
    CreateDirectoryW(menu_.c_str(), nullptr);
    for (const wchar_t* file : {L"ZuzarorWorkerTest.lnk", L"官方网站.url", L"卸载.lnk"}) Touch(menu_ + file);
    Touch(desktop_ + L"ZuzarorWorkerTest.lnk");
    Touch(desktop_ + L"OtherWorkerTest.lnk");
    WriteRecord(kKeyName, kKeyName, kKeyName);
    Register(folder_.substr(0, folder_.size() - 1));
  }
  void TearDown() override {
    Wipe(parent_.substr(0, parent_.size() - 1));
    Wipe(menu_.substr(0, menu_.size() - 1));
    DeleteFileW((desktop_ + L"ZuzarorWorkerTest.lnk").c_str());
    DeleteFileW((desktop_ + L"OtherWorkerTest.lnk").c_str());
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kKey.c_str());
  }
  void WriteRecord(const std::wstring& key, const std::wstring& shortcut, const std::wstring& menu,
                   std::size_t size = kUninstallRecordSize, const std::wstring& in = std::wstring()) {
    UninstallRecord record;
    record.KeyName.assign(key.begin(), key.end());
    record.UserDataFolder = u"UserData\\";
    record.ShortcutName.assign(shortcut.begin(), shortcut.end());
    record.StartMenuFolder.assign(menu.begin(), menu.end());
    std::uint8_t bytes[kUninstallRecordSize];
    EncodeUninstallRecord(record, bytes);
    Write((in.empty() ? folder_ : in) + kUninstallRecordName, bytes, size);
  }
  void Register(const std::wstring& location) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey.c_str(), 0, nullptr, 0, KEY_WRITE,
                                             nullptr, &key, nullptr));
    RegSetValueExW(key, L"InstallLocation", 0, REG_SZ, reinterpret_cast<const BYTE*>(location.c_str()),
                   static_cast<DWORD>((location.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }
  bool Find(UninstallContext* context) { return FindInstallation(folder_ + L"Zodadira.exe", context); }

  std::wstring parent_, folder_, menu_, desktop_;
};

TEST_F(UninstallWorker, FindsNothingToRemoveWithoutAWholeRecordAndItsKey) {
  UninstallContext context;
  WriteRecord(kKeyName, kKeyName, kKeyName, kUninstallRecordSize - 1);
  EXPECT_FALSE(Find(&context));
  DeleteFileW((folder_ + kUninstallRecordName).c_str());
  EXPECT_FALSE(Find(&context));
  WriteRecord(L"..", kKeyName, kKeyName);
  EXPECT_FALSE(Find(&context));
  WriteRecord(kKeyName, kKeyName, kKeyName);
  Register(parent_ + L"Other");
  EXPECT_FALSE(Find(&context));
  Register(L"");
  EXPECT_FALSE(Find(&context));
  EXPECT_TRUE(context.Folder.empty());
  // A registered desktop is still no installation.
  WriteRecord(kKeyName, kKeyName, kKeyName);
  CopyFileW((folder_ + kUninstallRecordName).c_str(), (desktop_ + kUninstallRecordName).c_str(), FALSE);
  Register(desktop_.substr(0, desktop_.size() - 1));
  EXPECT_FALSE(FindInstallation(desktop_ + L"Zodadira.exe", &context));
  DeleteFileW((desktop_ + kUninstallRecordName).c_str());
}

TEST_F(UninstallWorker, HostileRecordNamesReachNothingOutside) {
  WriteRecord(kKeyName, L"..\\..\\OtherWorkerTest", L"..");
  UninstallContext context;
  ASSERT_TRUE(Find(&context));
  DoUninstall(context);
  EXPECT_FALSE(Exists(folder_ + L"Zuzaror.exe"));
  EXPECT_TRUE(Exists(menu_ + L"卸载.lnk"));
  EXPECT_TRUE(Exists(desktop_ + L"OtherWorkerTest.lnk"));
  EXPECT_TRUE(Exists(Special(CSIDL_PROGRAMS)));
}

TEST_F(UninstallWorker, ALinkToAFolderOutsideIsRemovedNotFollowed) {
  const std::wstring outside = parent_ + L"outside";
  CreateDirectoryW(outside.c_str(), nullptr);
  Touch(outside + L"\\kept.txt");
  // Wine's CreateSymbolicLinkW reports success and makes nothing; the
  // round-trip scenario covers links there with links of the host.
  if (!CreateSymbolicLinkW((folder_ + L"link").c_str(), outside.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) ||
      !QvIsLink(folder_ + L"link"))
    GTEST_SKIP() << "no directory links here: " << GetLastError();
  UninstallContext context;
  ASSERT_TRUE(Find(&context));
  DoUninstall(context);
  EXPECT_TRUE(Exists(outside + L"\\kept.txt"));
  EXPECT_FALSE(Exists(folder_ + L"link"));
}

// The books held by someone else cannot be saved: nothing goes, and the
// box names them.
TEST_F(UninstallWorker, BooksThatCannotBeHeldAreNamedAndNothingGoes) {
  Touch(folder_ + L"ml.mdb");
  HANDLE other = CreateFileW((folder_ + L"ml.mdb").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, other);
  UninstallContext context;
  ASSERT_TRUE(Find(&context));
  DoUninstall(context);
  CloseHandle(other);
  EXPECT_EQ(L"无法保存您的数据，没有删除任何文件。\nml.mdb", context.Refusal);
  EXPECT_TRUE(Exists(folder_ + L"Zuzaror.exe"));
}

TEST_F(UninstallWorker, ALongInstallationFolderIsFound) {
  // 200 characters, more than the record's fields and a short registry read hold.
  const std::wstring long_folder = parent_ + std::wstring(200 - parent_.size(), L'长') + L"\\";
  ASSERT_EQ(201u, long_folder.size());
  CreateDirectoryW(long_folder.c_str(), nullptr);
  WriteRecord(kKeyName, kKeyName, kKeyName, kUninstallRecordSize, long_folder);
  Register(long_folder.substr(0, 200));
  UninstallContext context;
  ASSERT_TRUE(FindInstallation(long_folder + L"Zodadira.exe", &context));
  EXPECT_EQ(long_folder, context.Folder);
}

TEST(SelfDeleteBatch, HoldsEveryPathExactlyAndTakesAnExclamationMarkLiterally) {
  std::string text;
  EXPECT_TRUE(ToBatchCodePage(L"C:\\€ 卸载", CP_UTF8, &text));
  EXPECT_EQ(u8"C:\\€ 卸载", text);
  EXPECT_FALSE(ToBatchCodePage(L"C:\\卸载", 1252, &text));

  // Run as a command interpreter with delayed expansion on runs it.
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"a!b!c", exe = folder + L"\\Zodadira.exe";
  CreateDirectoryW(folder.c_str(), nullptr);
  Touch(exe);
  const std::string batch = SelfDeleteBatch(exe, folder, false, [](const std::wstring& t, std::string* out) {
    return ToBatchCodePage(t, GetOEMCP(), out);
  });
  const std::wstring file = std::wstring(temp) + L"bang.bat";
  Write(file, batch.data(), batch.size());
  std::wstring command = L"cmd /v:on /c \"" + file + L"\"";
  STARTUPINFOW startup = {sizeof startup};
  PROCESS_INFORMATION process = {};
  ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, temp,
                             &startup, &process));
  WaitForSingleObject(process.hProcess, 30000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  EXPECT_FALSE(Exists(folder));
  EXPECT_FALSE(Exists(file));
  Wipe(folder);
}

}  // namespace
