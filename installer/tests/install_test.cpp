// The unpacking and registration against a payload file of the test's own,
// into a scratch target folder whose name holds Chinese and a blank. The
// shortcuts are read back by the installer's scenario.
#include "install_context.h"
#include "install_folder.h"
#include "payload_writer.h"
#include "qv_messages.h"
#include "registration.h"
#include "uninstall_record.h"
#include "utf16_field.h"

#include <aclapi.h>
#include <gtest/gtest.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstdio>
#include <functional>
#include <vector>

namespace {

std::vector<std::uint8_t> Bytes(std::size_t n, std::uint32_t seed) {
  std::vector<std::uint8_t> out(n);
  for (auto& b : out) b = static_cast<std::uint8_t>((seed = seed * 1103515245 + 12345) >> 20);
  return out;
}

PayloadHeader Header(const char16_t* key) {
  PayloadHeader h;
  h.KeyName = key;
  h.IconPath = u"产品\\Main.exe";
  h.DisplayName = u"Product 1.0";
  h.DisplayVersion = u"1.0";
  h.HelpLink = u"http://127.0.0.1/";
  h.Publisher = u"出品";
  h.UninstallerPath = u"产品\\Un.exe";
  h.LaunchPath = u"产品\\Main.exe";
  h.UserDataFolder = u"UserData\\";
  h.ShortcutTarget = u"产品\\Main.exe";
  h.ShortcutComment = u"五日、统计报表";
  h.StartMenuFolder = key;
  h.PayloadOffset = kPayloadOffset;
  return h;
}

std::wstring Scratch(const wchar_t* name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring dir = std::wstring(temp) + name;
  SHFILEOPSTRUCTW op = {};
  std::wstring from = dir + L'\0';
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NO_UI;
  SHFileOperationW(&op);
  CreateDirectoryW(dir.c_str(), nullptr);
  return dir;
}

void WriteAll(const std::wstring& path, const std::vector<std::uint8_t>& data) {
  FILE* f = _wfopen(path.c_str(), L"wb");
  ASSERT_NE(f, nullptr);
  fwrite(data.data(), 1, data.size(), f);
  fclose(f);
}

std::vector<std::uint8_t> ReadAll(const std::wstring& path) {
  std::vector<std::uint8_t> out;
  FILE* f = _wfopen(path.c_str(), L"rb");
  if (!f) return out;
  int c;
  while ((c = fgetc(f)) != EOF) out.push_back(static_cast<std::uint8_t>(c));
  fclose(f);
  return out;
}

// The installer file: zeros standing in for the program image, the digest
// trailer, then the payload.
std::wstring WriteInstaller(const std::wstring& dir, const std::vector<std::uint8_t>& payload) {
  std::vector<std::uint8_t> file(kPayloadOffset, 0);
  EncodePayloadTrailer(payload.data(), payload.size(), &file[kPayloadTrailerOffset]);
  file.insert(file.end(), payload.begin(), payload.end());
  std::wstring path = dir + L"\\setup.bin";
  WriteAll(path, file);
  return path;
}

std::wstring RegText(const std::wstring& key, LPCWSTR name) {
  wchar_t out[1024] = L"";
  DWORD size = sizeof out;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_SZ, nullptr, out, &size) != ERROR_SUCCESS)
    return L"<missing>";
  return out;
}

std::vector<WPARAM> g_progress;
LRESULT CALLBACK ProgressProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_SETUP_PROGRESS) {
    g_progress.push_back(wp);
    return 0;
  }
  return DefWindowProcW(w, m, wp, lp);
}

// Everyone's rights on the folder, with `entry` set when there is an entry
// for everyone, or no DACL that could tell.
DWORD EveryoneRights(const std::wstring& path, bool* entry) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  *entry = true;
  if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                            nullptr, &descriptor) != ERROR_SUCCESS)
    return 0;
  *entry = !dacl;
  DWORD rights = 0;
  for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
    ACCESS_ALLOWED_ACE* ace = nullptr;
    if (GetAce(dacl, i, reinterpret_cast<void**>(&ace)) && ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE &&
        IsWellKnownSid(&ace->SidStart, WinWorldSid)) {
      *entry = true;
      rights |= ace->Mask;
    }
  }
  LocalFree(descriptor);
  return rights;
}

// Wine keeps no descriptor of its own: it shows a folder made plainly with
// an entry for everyone, one made with the administrators' descriptor
// without (as Windows shows that descriptor too).
bool EveryoneHasAnEntry(const std::wstring& path) {
  bool entry = false;
  EveryoneRights(path, &entry);
  return entry;
}

std::wstring g_reported;
void RecordReport(LPCWSTR type, LPCWSTR value) { g_reported = std::wstring(type) + L"=" + value; }

}  // namespace

TEST(Install, UnpacksRegistersAndRecordsAndAnExistingDatabaseSurvives) {
  const std::wstring dir = Scratch(L"安装 测试");
  const std::wstring target = dir + L"\\程序 文件";
  CreateDirectoryW(target.c_str(), nullptr);
  std::vector<PayloadSource> sources = {{u"产品\\Un.exe", Bytes(30000, 1)},
                                        {u"产品\\ml.mdb", Bytes(4000, 2)},
                                        {u"产品\\数据\\wrbb.grd", Bytes(9000, 3)},
                                        {u"产品\\Main.exe", Bytes(50000, 4)}};
  std::vector<std::uint8_t> payload;
  std::string error;
  ASSERT_TRUE(BuildPayload(Header(u"QvInstallTest"), sources, &payload, &error)) << error;
  // A bookkeeper's records from an earlier installation.
  CreateDirectoryW((target + L"\\产品").c_str(), nullptr);
  WriteAll(target + L"\\产品\\ml.mdb", {'r', 'e', 'c', 'o', 'r', 'd', 's'});

  WNDCLASSW wc = {};
  wc.lpfnWndProc = ProgressProc;
  wc.lpszClassName = L"QvInstallTestProgress";
  RegisterClassW(&wc);
  HWND window = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);

  InstallContext context;
  context.SourceFile = WriteInstaller(dir, payload);
  context.TargetFolder = target;
  context.Window = window;
  context.Report = RecordReport;
  ASSERT_TRUE(context.DoInstall()) << std::string(context.Error.begin(), context.Error.end());
  EXPECT_EQ(g_reported, L"install=QvInstallTest");
  EXPECT_EQ(context.LaunchPath, L"产品\\Main.exe");

  for (const auto& s : sources) {
    std::wstring path = target + L"\\" + ToWide(s.path);
    if (IsKeptWhenPresent(s.path))
      EXPECT_EQ(ReadAll(path), std::vector<std::uint8_t>({'r', 'e', 'c', 'o', 'r', 'd', 's'}));
    else
      EXPECT_EQ(ReadAll(path), s.data) << std::string(s.path.begin(), s.path.end());
    EXPECT_FALSE(PathFileExistsW((path + L".part").c_str()));
  }
  // One message per entry, rising, below 100: the window's final 100 is not the worker's.
  ASSERT_EQ(g_progress.size(), 4u);
  for (std::size_t i = 1; i < g_progress.size(); ++i) EXPECT_GE(g_progress[i], g_progress[i - 1]);
  EXPECT_LT(g_progress.back(), 100u);
  EXPECT_EQ(g_progress.back(), (payload.size() - kPayloadHeaderSize - 4 * 408) * 100 / payload.size());

  const std::wstring key = UninstallKeyPath(L"QvInstallTest");
  EXPECT_EQ(RegText(key, L"DisplayName"), L"Product 1.0");
  EXPECT_EQ(RegText(key, L"Publisher"), L"出品");
  EXPECT_EQ(RegText(key, L"DisplayIcon"), target + L"\\产品\\Main.exe");
  EXPECT_EQ(RegText(key, L"UninstallString"), L"\"" + target + L"\\产品\\Un.exe\"");
  EXPECT_EQ(RegText(key, L"InstallLocation"), target + L"\\产品");

  std::vector<std::uint8_t> record = ReadAll(target + L"\\产品\\Un.dat");
  UninstallRecord back;
  ASSERT_TRUE(DecodeUninstallRecord(record.data(), record.size(), &back));
  EXPECT_EQ(back.KeyName, u"QvInstallTest");
  EXPECT_EQ(back.ShortcutName, u"QvInstallTest");
  EXPECT_EQ(back.StartMenuFolder, u"QvInstallTest");
  EXPECT_EQ(back.UserDataFolder, u"UserData\\");

  RegDeleteKeyW(HKEY_LOCAL_MACHINE, key.c_str());
  DestroyWindow(window);
}

TEST(Install, HostilePayloadWritesRegistersAndStartsNothing) {
  const std::wstring dir = Scratch(L"安装 敌意");
  const std::wstring target = dir + L"\\目标";
  CreateDirectoryW(target.c_str(), nullptr);
  std::vector<std::uint8_t> payload;
  std::string error;
  ASSERT_TRUE(BuildPayload(Header(u"QvHostileTest"),
                           {{u"产品\\a.exe", Bytes(1000, 5)}, {u"产品\\xxxxxxxxxxx", Bytes(1000, 6)}},
                           &payload, &error));
  // The second entry's path becomes "..\..\escaped" in place.
  const std::size_t second = kPayloadHeaderSize + 408 + ReadU32(&payload[kPayloadHeaderSize + 400]);
  const char16_t evil[] = u"..\\..\\escaped";
  for (std::size_t i = 0; i < sizeof evil / 2; ++i) {
    payload[second + 2 * i] = static_cast<std::uint8_t>(evil[i]);
    payload[second + 2 * i + 1] = static_cast<std::uint8_t>(evil[i] >> 8);
  }
  InstallContext context;
  context.SourceFile = WriteInstaller(dir, payload);
  context.TargetFolder = target;
  g_reported.clear();
  context.Report = RecordReport;
  EXPECT_FALSE(context.DoInstall());
  EXPECT_TRUE(context.PayloadRefused);
  EXPECT_TRUE(g_reported.empty());
  EXPECT_TRUE(context.LaunchPath.empty());
  EXPECT_TRUE(PathIsDirectoryEmptyW(target.c_str()));
  EXPECT_FALSE(PathFileExistsW((dir + L"\\escaped").c_str()));
  EXPECT_EQ(RegText(UninstallKeyPath(L"QvHostileTest"), L"DisplayName"), L"<missing>");
  context.RunInstalledProgram();  // nothing to start
}

TEST(Install, ARefusedFirstInstallationLeavesNoProductFolder) {
  const std::wstring dir = Scratch(L"安装 首次");
  const std::wstring target = dir + L"\\目标";
  CreateDirectoryW(target.c_str(), nullptr);
  // The second entry needs a folder where the first one's file goes: the
  // first cannot be put in its place, after both folders were made.
  std::vector<std::uint8_t> payload;
  std::string error;
  ASSERT_TRUE(BuildPayload(Header(u"QvFirstRefusedTest"),
                           {{u"产品\\a.exe", Bytes(100, 1)}, {u"产品\\a.exe\\b", Bytes(100, 2)}}, &payload, &error));
  InstallContext context;
  context.SourceFile = WriteInstaller(dir, payload);
  context.TargetFolder = target;
  EXPECT_FALSE(context.DoInstall());
  EXPECT_FALSE(context.Notice.empty());
  EXPECT_TRUE(PathIsDirectoryEmptyW(target.c_str()));
}

TEST(Install, AReinstallKeepsTheBooksAndChangesNothingWhileAFileIsHeld) {
  const std::wstring dir = Scratch(L"安装 重装");
  const std::wstring target = dir + L"\\目标";
  CreateDirectoryW(target.c_str(), nullptr);
  const std::wstring product = target + L"\\产品\\";
  auto install = [&](std::uint32_t seed, InstallContext* context) {
    std::vector<std::uint8_t> payload;
    std::string error;
    EXPECT_TRUE(BuildPayload(Header(u"QvReinstallTest"),
                             {{u"产品\\Un.exe", Bytes(900, seed)}, {u"产品\\1021.ini", Bytes(46, seed + 1)},
                              {u"产品\\ml.mdb", Bytes(500, seed + 2)}, {u"产品\\Main.exe", Bytes(800, seed + 3)}},
                             &payload, &error));
    context->SourceFile = WriteInstaller(dir, payload);
    context->TargetFolder = target;
    return context->DoInstall();
  };
  InstallContext first;
  ASSERT_TRUE(install(10, &first));
  EXPECT_FALSE(EveryoneHasAnEntry(product));
  // The main program's folders, and a backup the bookkeeper made in one.
  EXPECT_TRUE(PathIsDirectoryW((product + L"temp").c_str()));
  WriteAll(product + L"back\\2026年1月2日.ml", {'b'});
  const std::vector<std::uint8_t> main = ReadAll(product + L"Main.exe"), ini = ReadAll(product + L"1021.ini");

  {
    // A running program holds its file, as Windows holds an image.
    HANDLE held = CreateFileW((product + L"Main.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    InstallContext second;
    EXPECT_FALSE(install(20, &second));
    CloseHandle(held);
    EXPECT_EQ(second.Notice, L"无法写入文件：Main.exe，请关闭正在运行的程序后重新安装。");
    EXPECT_TRUE(second.LaunchPath.empty());
    EXPECT_EQ(ReadAll(product + L"Un.exe"), Bytes(900, 10));
  }
  EXPECT_FALSE(PathFileExistsW((product + L"Main.exe.part").c_str()));
  EXPECT_FALSE(PathFileExistsW((product + L"Un.exe.old").c_str()));

  InstallContext third;
  ASSERT_TRUE(install(30, &third));
  EXPECT_EQ(ReadAll(product + L"Un.exe"), Bytes(900, 30));
  EXPECT_NE(ReadAll(product + L"Main.exe"), main);
  EXPECT_EQ(ReadAll(product + L"1021.ini"), ini);
  EXPECT_EQ(ReadAll(product + L"back\\2026年1月2日.ml"), std::vector<std::uint8_t>{'b'});
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, UninstallKeyPath(L"QvReinstallTest").c_str());
}

namespace {

// Runs a host command in the folder, as Wine starts a host program; its
// process cannot be waited for, so the caller waits for its work. False
// outside Wine.
bool RunOnHost(const std::wstring& folder, const wchar_t* program, std::wstring command) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(program, &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &process))
    return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool WaitFor(const std::function<bool()>& done) {
  for (int i = 0; i < 200; ++i) {
    if (done()) return true;
    Sleep(25);
  }
  return false;
}

// Wine reads a folder's rights back from its Unix mode: 0777 lets everyone
// add, replace and delete there, 0755 only read; the host's chmod sets it.
bool SetUnixMode(const std::wstring& folder, bool everyone_may_change) {
  return RunOnHost(folder, L"Z:\\bin\\chmod", everyone_may_change ? L"chmod 777 ." : L"chmod 755 .") &&
         WaitFor([&] {
           bool entry = false;
           return ((EveryoneRights(folder, &entry) & FILE_DELETE_CHILD) != 0) == everyone_may_change;
         });
}

}  // namespace

// The installation folder and every folder above it may be changed by the
// administrators alone, as Program Files can: one made is made so, and
// where another user may change what would be installed, or rename a
// folder above it away, nothing goes, whatever the folder holds.
TEST(Install, OnlyTheAdministratorsMayChangeTheInstallationFolder) {
  const std::wstring dir = Scratch(L"安装 权限");
  std::vector<std::wstring> made;
  InstallFolderHold hold;
  std::wstring named;
  const auto prepare = [&](const std::wstring& folder) {
    hold.Release();
    return PrepareInstallFolder(dir + folder, &made, &hold, &named);
  };
  EXPECT_EQ(InstallFolder::kMade, prepare(L"\\新"));
  EXPECT_EQ(std::vector<std::wstring>{dir + L"\\新"}, made);
  EXPECT_FALSE(EveryoneHasAnEntry(dir + L"\\新"));
  EXPECT_FALSE(MoveFileW(dir.c_str(), (dir + L"2").c_str())) << "held folders can be renamed";

  CreateDirectoryW((dir + L"\\theirs").c_str(), nullptr);
  EXPECT_EQ(InstallFolder::kLeftAsItIs, prepare(L"\\theirs"));
  EXPECT_EQ(1u, made.size());
  EXPECT_EQ(InstallFolder::kNotMade, prepare(L"\\无\\新"));
  EXPECT_EQ(dir + L"\\无\\新", named);
  WriteAll(dir + L"\\文件", {'f'});
  EXPECT_EQ(InstallFolder::kNotMade, prepare(L"\\文件"));

  if (!SetUnixMode(dir + L"\\theirs", true)) GTEST_SKIP() << "no Unix mode to set outside Wine";
  CreateDirectoryW((dir + L"\\theirs\\below").c_str(), nullptr);
  for (const wchar_t* folder : {L"\\theirs", L"\\theirs\\below", L"\\theirs\\new"}) {
    EXPECT_EQ(InstallFolder::kOthersMayChange, prepare(folder)) << folder;
    EXPECT_EQ(dir + L"\\theirs", named);
  }
  EXPECT_FALSE(PathFileExistsW((dir + L"\\theirs\\new").c_str()));

  // The installer itself: nothing written, registered or started, and the
  // folder named to the user, though our record lies in it: whoever may
  // change a folder may have put that there, beside a library of theirs
  // and a half-written program that would keep its owner once in place.
  std::vector<std::uint8_t> payload;
  std::string error;
  ASSERT_TRUE(BuildPayload(Header(u"QvOthersMayChangeTest"), {{u"产品\\Main.exe", Bytes(100, 1)}}, &payload, &error));
  const std::wstring product = dir + L"\\theirs\\below\\产品";
  CreateDirectoryW(product.c_str(), nullptr);
  const wchar_t* const theirs[] = {L"\\Un.dat", L"\\comctl32.dll", L"\\Main.exe.part"};
  for (const wchar_t* name : theirs) WriteAll(product + name, Bytes(10, name[1]));
  ASSERT_TRUE(SetUnixMode(product, true));
  ASSERT_TRUE(SetUnixMode(dir + L"\\theirs", false));
  bool entry = false;
  const DWORD rights = EveryoneRights(product, &entry);
  InstallContext context;
  context.SourceFile = WriteInstaller(dir, payload);
  context.TargetFolder = dir + L"\\theirs\\below";
  EXPECT_FALSE(context.DoInstall());
  EXPECT_EQ(L"文件夹“" + product + L"”可被其他用户更改，未安装任何文件。请选择其他文件夹后重新安装。", context.Notice);
  for (const wchar_t* name : theirs) EXPECT_EQ(Bytes(10, name[1]), ReadAll(product + name)) << name;
  EXPECT_FALSE(PathFileExistsW((product + L"\\Main.exe").c_str()));
  EXPECT_EQ(rights, EveryoneRights(product, &entry));
  EXPECT_EQ(L"<missing>", RegText(UninstallKeyPath(L"QvOthersMayChangeTest"), L"DisplayName"));
  EXPECT_TRUE(context.LaunchPath.empty());
  // At 0755 the same folders do, and a staged file left there that others
  // may write (the folder tightened after they made it) does not become the
  // program: it is made new, with the folder's rights.
  ASSERT_TRUE(SetUnixMode(product, false));
  ASSERT_TRUE(RunOnHost(product, L"Z:\\bin\\chmod", L"chmod 666 Main.exe.part") && WaitFor([&] {
    bool entry = false;
    return (EveryoneRights(product + L"\\Main.exe.part", &entry) & FILE_WRITE_DATA) != 0;
  }));
  EXPECT_TRUE(context.DoInstall());
  EXPECT_EQ(0u, EveryoneRights(product + L"\\Main.exe", &entry) & FILE_WRITE_DATA);
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, UninstallKeyPath(L"QvOthersMayChangeTest").c_str());
}

// The files are written by their paths, which follow links: when the path
// no longer leads to the installation folder held (a folder above that
// others may add to turned into a mount point while it was empty; here the
// host renames the held folder and puts another at its name), nothing goes,
// and what is at the path is not taken for the folder made.
TEST(Install, TheFilesGoOnlyIntoTheFolderHeld) {
  const std::wstring dir = Scratch(L"安装 路径");
  for (const bool there_before : {false, true}) {
    if (there_before) CreateDirectoryW((dir + L"\\p").c_str(), nullptr);
    bool ran = false;
    const auto swap = [&] {
      ran = RunOnHost(dir, L"Z:\\bin\\sh", L"sh -c \"mv p moved && mkdir p\"") && WaitFor([&] {
              return PathIsDirectoryW((dir + L"\\moved").c_str()) && PathIsDirectoryW((dir + L"\\p").c_str());
            });
    };
    std::vector<std::wstring> made;
    InstallFolderHold hold;
    std::wstring named;
    const InstallFolder prepared = PrepareInstallFolder(dir + L"\\p", &made, &hold, &named, swap);
    hold.Release();
    if (!ran) GTEST_SKIP() << "no host to rename the folder outside Wine";
    EXPECT_EQ(InstallFolder::kOthersMayChange, prepared) << there_before;
    EXPECT_EQ(dir + L"\\p", named);
    EXPECT_TRUE(made.empty());
    RemoveDirectoryW((dir + L"\\moved").c_str());
  }
  EXPECT_TRUE(PathIsDirectoryW((dir + L"\\p").c_str()));
}
