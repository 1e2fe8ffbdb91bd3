#include "removal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

// A file system of paths: folders without their trailing "\", files, links
// to folders (whose targets the removal must never reach).
class FakeHost : public RemovalHost {
 public:
  std::set<std::wstring> folders, files, links, locked;
  bool links_stick = false;  // as Wine's own symbolic links to folders do
  std::vector<int> sent;

  void AddFiles(const std::wstring& folder, int count, const std::wstring& prefix = L"f") {
    folders.insert(folder);
    for (int i = 0; i < count; ++i) files.insert(folder + L"\\" + prefix + std::to_wstring(i));
  }
  bool List(const std::wstring& folder, std::vector<Entry>* entries) override {
    const std::wstring dir = folder.substr(0, folder.size() - 1);
    if (!folders.count(dir) || links.count(dir)) return false;
    auto add = [&](const std::set<std::wstring>& set, bool is_folder) {
      for (const auto& path : set) {
        if (path.size() <= folder.size() || path.compare(0, folder.size(), folder) != 0) continue;
        std::wstring name = path.substr(folder.size());
        if (name.find(L'\\') == std::wstring::npos)
          entries->push_back({name, is_folder, links.count(path) > 0});
      }
    };
    add(files, false);
    add(folders, true);
    return true;
  }
  void RemoveFile(const std::wstring& path) override {
    if (!locked.count(path)) files.erase(path);
  }
  void RemoveFolder(const std::wstring& path) override {
    if (links.count(path)) {
      if (!links_stick) {
        links.erase(path);
        folders.erase(path);
      }
      return;
    }
    const std::wstring inside = path + L"\\";
    auto holds = [&](const std::set<std::wstring>& set) {
      return std::any_of(set.begin(), set.end(),
                         [&](const std::wstring& p) { return p.compare(0, inside.size(), inside) == 0; });
    };
    if (!holds(files) && !holds(folders)) folders.erase(path);
  }
  void Progress(int percent) override { sent.push_back(percent); }
};

const std::wstring kDir = L"C:\\Program Files\\Zuzaror";

std::vector<int> Sent(int files) {
  FakeHost host;
  host.AddFiles(kDir, files);
  RemovalCounters counters;
  counters.total_files = CountFiles(host, kDir + L"\\");
  DeleteTree(host, counters, kDir + L"\\");
  return host.sent;
}

TEST(Removal, PercentagesStayBelowTheFinalHundred) {
  std::vector<int> of200 = Sent(200);
  ASSERT_EQ(199u, of200.size());
  EXPECT_EQ(0, of200.front());
  EXPECT_EQ(99, of200.back());
  EXPECT_EQ((std::vector<int>{33, 66}), Sent(3));
  EXPECT_TRUE(Sent(1).empty());
  EXPECT_TRUE(Sent(0).empty());
}

TEST(Removal, DotFoldersAreSkippedDotFilesAreNot) {
  FakeHost host;
  host.AddFiles(kDir, 2);
  host.AddFiles(kDir + L"\\.cache", 4);
  host.AddFiles(kDir + L"\\UserData", 3);
  host.files.insert(kDir + L"\\.keep");
  host.locked.insert(kDir + L"\\f0");  // the running uninstaller
  RemovalCounters counters;
  counters.total_files = CountFiles(host, kDir + L"\\");
  EXPECT_EQ(6, counters.total_files);
  DeleteTree(host, counters, kDir + L"\\");
  EXPECT_EQ(6, counters.deleted_files);
  EXPECT_EQ((std::set<std::wstring>{kDir + L"\\f0", kDir + L"\\.cache\\f0", kDir + L"\\.cache\\f1",
                                    kDir + L"\\.cache\\f2", kDir + L"\\.cache\\f3"}),
            host.files);
  EXPECT_EQ((std::set<std::wstring>{kDir, kDir + L"\\.cache"}), host.folders);
}

TEST(Removal, LinksAreRemovedNotFollowed) {
  FakeHost host;
  host.AddFiles(kDir, 1);
  host.AddFiles(L"C:\\Data", 5);
  host.folders.insert(kDir + L"\\data");
  host.links.insert(kDir + L"\\data");  // points at C:\Data
  host.AddFiles(kDir + L"\\data", 0);
  RemovalCounters counters;
  counters.total_files = CountFiles(host, kDir + L"\\");
  EXPECT_EQ(1, counters.total_files);
  DeleteTree(host, counters, kDir + L"\\");
  EXPECT_EQ((std::set<std::wstring>{L"C:\\Data"}), host.folders);
  EXPECT_EQ(5u, host.files.size());

  // A link that cannot be removed, even inside a dot folder, keeps the
  // folder from the batch file's recursive removal.
  for (const std::wstring& at : {kDir + L"\\data", kDir + L"\\.cache\\data"}) {
    FakeHost stuck;
    stuck.links_stick = true;
    stuck.AddFiles(kDir, 0);
    stuck.AddFiles(kDir + L"\\.cache", 1);
    stuck.AddFiles(L"C:\\Data", 5);
    stuck.folders.insert(at);
    stuck.links.insert(at);
    EXPECT_FALSE(HoldsFolderLink(stuck, L"C:\\Data\\"));
    DeleteTree(stuck, counters, kDir + L"\\");
    EXPECT_TRUE(HoldsFolderLink(stuck, kDir + L"\\"));
    EXPECT_EQ(5u + 1u, stuck.files.size());
  }
}

TEST(Removal, OnlyTheInstallersShortcutsGoAndAreCountedPastTheTotal) {
  const std::wstring programs = L"C:\\Menu\\Programs\\", desktop = L"C:\\Desktop\\";
  FakeHost host;
  host.AddFiles(kDir, 10);
  host.folders.insert(L"C:\\Menu\\Programs");
  host.folders.insert(L"C:\\Desktop");
  for (const wchar_t* f : {L"Zuzaror.lnk", L"官方网站.url", L"卸载.lnk"})
    host.files.insert(programs + L"Zuzaror\\" + f);
  host.folders.insert(programs + L"Zuzaror");
  host.files.insert(programs + L"Other.lnk");
  host.files.insert(desktop + L"Zuzaror.lnk");
  host.files.insert(desktop + L"Other.lnk");
  RemovalCounters counters;
  counters.total_files = CountFiles(host, kDir + L"\\");
  DeleteTree(host, counters, kDir + L"\\");
  RemoveShortcuts(host, counters, UsableNames(L"Zuzaror", L"Zuzaror", L"Zuzaror"), programs, desktop);
  EXPECT_EQ(13, counters.deleted_files);
  EXPECT_EQ(9u, host.sent.size());  // 10 .. 90 from the files, nothing past them
  EXPECT_EQ((std::set<std::wstring>{programs + L"Other.lnk", desktop + L"Other.lnk"}), host.files);
  EXPECT_EQ((std::set<std::wstring>{L"C:\\Menu\\Programs", L"C:\\Desktop"}), host.folders);

  // A user's own file keeps the folder; hostile or empty names touch nothing.
  FakeHost kept;
  kept.folders = {L"C:\\Menu\\Programs", L"C:\\Menu\\Programs\\Zuzaror", L"C:\\Desktop"};
  kept.files = {programs + L"Zuzaror\\卸载.lnk", programs + L"Zuzaror\\mine.txt", desktop + L"x.lnk",
                L"C:\\Menu\\x.lnk"};
  RemoveShortcuts(kept, counters, UsableNames(L"..", L"..\\x", L".."), programs, desktop);
  RemoveShortcuts(kept, counters, UsableNames(L"", L"", L""), programs, desktop);
  EXPECT_EQ(4u, kept.files.size());
  RemoveShortcuts(kept, counters, UsableNames(L"Zuzaror", L"C:x", L"Zuzaror"), programs, desktop);
  EXPECT_EQ((std::set<std::wstring>{programs + L"Zuzaror\\mine.txt", desktop + L"x.lnk", L"C:\\Menu\\x.lnk"}),
            kept.files);
  EXPECT_EQ(3u, kept.folders.size());
}

TEST(Removal, RecordNamesMustBeSinglePathParts) {
  for (const wchar_t* bad : {L"", L".", L"..", L"..\\x", L"a/b", L"C:", L"a\\"})
    EXPECT_FALSE(IsSinglePathPart(bad)) << bad;
  for (const wchar_t* good : {L"Zuzaror", L"..a", L"a.b", L"健康 中心"})
    EXPECT_TRUE(IsSinglePathPart(good)) << good;
}

TEST(Removal, OnlyTheRegisteredInstallationFolderMayGo) {
  const std::vector<std::wstring> guarded = {L"C:\\windows", L"C:\\Program Files",
                                             L"C:\\users\\u\\Desktop\\", L"C:\\users\\u"};
  struct Row {
    const wchar_t *folder, *location;
    bool may;
  } rows[] = {
      {L"C:\\Program Files\\Zuzaror\\", L"C:\\Program Files\\Zuzaror", true},
      {L"C:\\program files\\ZUZAROR\\", L"C:\\Program Files\\Zuzaror\\", true},
      {L"C:\\Program Files\\Zuzaror\\", L"C:\\Program Files\\Other", false},
      {L"C:\\Program Files\\Zuzaror\\", L"", false},
      {L"C:\\Program Files\\", L"C:\\Program Files", false},
      {L"C:\\users\\u\\Desktop\\", L"C:\\users\\u\\Desktop", false},
      {L"C:\\users\\", L"C:\\users", false},  // holds the profile
      {L"C:\\", L"C:\\", false},
      {L"D:\\", L"D:", false},
      {L"\\\\server\\share\\", L"\\\\server\\share", false},
      {L"Zuzaror\\", L"Zuzaror", false},
      {L"C:\\Program Files\\..\\", L"C:\\Program Files\\..", false},
      {L"D:\\Apps\\%PATH%\\", L"D:\\Apps\\%PATH%", true},
      {L"\\\\server\\share\\Zuzaror\\", L"//server/share/Zuzaror", true},
      {L"C:\\Apps\\\\Zuzaror\\", L"C:\\Apps\\\\Zuzaror", false},
  };
  for (const Row& r : rows)
    EXPECT_EQ(r.may, MayRemoveInstallFolder(r.folder, r.location, guarded)) << r.folder;
}

bool AsciiOnly(const std::wstring& text, std::string* out) {
  for (wchar_t c : text) {
    if (c > 0x7f) return false;
    *out += static_cast<char>(c);
  }
  return true;
}

TEST(Removal, BatchQuotesPathsDoublesPercentAndRefusesLoss) {
  std::string batch = SelfDeleteBatch(L"C:\\a%PATH%b\\Zodadira.exe", L"C:\\a%PATH%b", false, AsciiOnly);
  EXPECT_EQ(0u, batch.find("@ echo off\r\n"));
  EXPECT_NE(std::string::npos, batch.find("del \"C:\\a%%PATH%%b\\Zodadira.exe\"\r\n"));
  EXPECT_NE(std::string::npos, batch.find("if not exist \"C:\\a%%PATH%%b\\Zodadira.exe\" goto gone\r\n"));
  EXPECT_LT(batch.find(":wait"), batch.find("rd /s/q \"C:\\a%%PATH%%b\"\r\n"));
  EXPECT_EQ(batch.size() - 8, batch.rfind("\r\ndel %0"));  // its last line, no line break
  EXPECT_EQ("", SelfDeleteBatch(L"C:\\卸载\\Zodadira.exe", L"C:\\卸载", false, AsciiOnly));
  EXPECT_EQ("", SelfDeleteBatch(L"", L"", false, AsciiOnly));
  std::string kept = SelfDeleteBatch(L"C:\\a\\Zodadira.exe", L"C:\\a", true, AsciiOnly);
  EXPECT_EQ(std::string::npos, kept.find("rd "));
  EXPECT_NE(std::string::npos, kept.find("del \"C:\\a\\Zodadira.exe\""));
}

}  // namespace
