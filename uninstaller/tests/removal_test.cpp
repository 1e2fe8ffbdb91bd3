#include "removal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// Paths of folders (without their trailing "\"), files and links to
// folders, whose targets the removal must never reach.
class FakeHost : public RemovalHost {
 public:
  std::set<std::wstring> folders, files, locked, read_only;
  std::map<std::wstring, std::wstring> links;  // link -> target
  bool links_stick = false;  // as Unix links to folders do under Wine
  std::set<std::wstring> keys;
  std::set<std::wstring> unreadable;  // files a copy fails on
  std::set<std::wstring> cut;         // folders whose listing fails part-way
  std::set<std::wstring> held;
  std::set<std::wstring> foreign;  // folders another user owns
  // What a folder made turns into before it is held, as another user may
  // make it by removing it and putting their own in its place.
  std::map<std::wstring, Held> swapped;
  std::vector<int> sent;
  // Called before every change: a test ends the run there, as a kill would.
  std::function<void(const std::wstring&)> before_change = [](const std::wstring&) {};

  void AddFiles(const std::wstring& folder, int count) {
    folders.insert(folder);
    for (int i = 0; i < count; ++i) files.insert(folder + L"\\f" + std::to_wstring(i));
  }
  // A path through a link leads into its target.
  std::wstring Resolve(const std::wstring& path) const {
    for (const auto& [link, target] : links)
      if (path.compare(0, link.size() + 1, link + L"\\") == 0) return target + path.substr(link.size());
    return path;
  }
  Listed List(const std::wstring& through, std::vector<Entry>* entries) override {
    const std::wstring folder = Resolve(through);
    if (!folders.count(folder.substr(0, folder.size() - 1))) return Listed::kMissing;
    for (const auto* set : {&files, &folders})
      for (const auto& path : *set)
        if (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
            path.find(L'\\', folder.size()) == std::wstring::npos) {
          entries->push_back({path.substr(folder.size()), set == &folders, links.count(path) > 0});
          if (cut.count(folder.substr(0, folder.size() - 1))) return Listed::kFailed;
        }
    return Listed::kWhole;
  }
  void RemoveFile(const std::wstring& path) override {
    before_change(path);
    if (!locked.count(path) && !read_only.count(path)) files.erase(Resolve(path));
  }
  bool MakeWritable(const std::wstring& path) override {
    read_only.erase(path);
    return files.count(path) > 0;
  }
  bool Copy(const std::wstring& from, const std::wstring& through) override {
    const std::wstring to = Resolve(through);
    if (!files.count(from) || unreadable.count(from) || files.count(to)) return false;
    if (!folders.count(to.substr(0, to.rfind(L'\\')))) return false;
    files.insert(to);
    if (read_only.count(from)) read_only.insert(to);
    return true;
  }
  Made MakeFolder(const std::wstring& through, Held* facts) override {
    const std::wstring path = Resolve(through);
    if (folders.count(path) || files.count(path)) return Made::kTaken;
    if (!folders.count(path.substr(0, path.rfind(L'\\')))) return Made::kFailed;
    folders.insert(path);
    held.insert(path);
    *facts = swapped.count(through) ? swapped[through] : Held{true, false, true};
    return Made::kNow;
  }
  bool HoldFolder(const std::wstring& path, Held* facts) override {
    if (!folders.count(path) && !files.count(path)) return false;
    held.insert(path);
    *facts = {folders.count(path) > 0, links.count(path) > 0, foreign.count(path) == 0};
    return true;
  }
  void ReleaseFolder(const std::wstring& path) override { held.erase(path); }
  void ReleaseFolders() override { held.clear(); }
  std::wstring random = L"00000000000000a1";  // empty: the system gives none
  std::wstring RandomPart() override { return random; }
  void RemoveKey(const std::wstring& name) override {
    before_change(name);
    keys.erase(name);
  }
  void RemoveFolder(const std::wstring& path) override {
    before_change(path);
    if (held.count(path) || (links.count(path) && links_stick)) return;
    const std::wstring inside = path + L"\\";
    for (const auto* set : {&files, &folders})
      for (const auto& p : *set)
        if (p.compare(0, inside.size(), inside) == 0 && !links.count(path)) return;
    folders.erase(path);
    links.erase(path);
  }
  void Progress(int percent) override { sent.push_back(percent); }
};

const std::wstring kDir = L"C:\\Program Files\\Zuzaror";

RemovalCounters Remove(FakeHost& host) {
  RemovalCounters counters;
  counters.total_files = CountFiles(host, kDir + L"\\");
  DeleteTree(host, counters, kDir + L"\\");
  return counters;
}

TEST(Removal, PercentagesStayBelowTheFinalHundred) {
  auto sent = [](int files) {
    FakeHost host;
    host.AddFiles(kDir, files);
    Remove(host);
    return host.sent;
  };
  std::vector<int> of200 = sent(200);
  ASSERT_EQ(199u, of200.size());
  EXPECT_EQ(0, of200.front());
  EXPECT_EQ(99, of200.back());
  EXPECT_EQ((std::vector<int>{33, 66}), sent(3));
  EXPECT_TRUE(sent(1).empty());
  EXPECT_TRUE(sent(0).empty());
}

TEST(Removal, DotFoldersStayDotFilesGoLinksAreRemovedNotFollowed) {
  FakeHost host;
  host.AddFiles(kDir, 2);
  host.AddFiles(kDir + L"\\.cache", 4);
  host.AddFiles(kDir + L"\\UserData", 3);
  host.AddFiles(L"C:\\Data", 5);
  host.AddFiles(kDir + L"\\data", 0);
  host.links[kDir + L"\\data"] = L"C:\\Data";
  host.files.insert(kDir + L"\\.keep");
  host.locked.insert(kDir + L"\\f0");  // the running uninstaller
  RemovalCounters counters = Remove(host);
  EXPECT_EQ(6, counters.total_files);
  EXPECT_EQ(6, counters.deleted_files);
  EXPECT_EQ(1u + 4u + 5u, host.files.size());
  EXPECT_EQ((std::set<std::wstring>{kDir, kDir + L"\\.cache", L"C:\\Data"}), host.folders);
  EXPECT_FALSE(HoldsFolderLink(host, kDir + L"\\"));

  // A link that cannot be removed, even inside a dot folder, keeps the
  // folder from the batch file's recursive removal.
  for (const std::wstring& at : {kDir + L"\\data", kDir + L"\\.cache\\data"}) {
    FakeHost stuck;
    stuck.links_stick = true;
    stuck.AddFiles(kDir + L"\\.cache", 0);
    stuck.AddFiles(kDir, 0);
    stuck.AddFiles(at, 0);
    stuck.links[at] = L"C:\\Data";
    Remove(stuck);
    EXPECT_TRUE(HoldsFolderLink(stuck, kDir + L"\\")) << at.size();
  }
}

TEST(Removal, OnlyTheInstallersShortcutsGoAndAreCountedPastTheTotal) {
  const std::wstring programs = L"C:\\Programs\\", desktop = L"C:\\Desktop\\";
  FakeHost host;
  host.AddFiles(kDir, 10);
  host.folders = {kDir, L"C:\\Programs", L"C:\\Programs\\Zuzaror", L"C:\\Desktop"};
  for (const wchar_t* f : {L"Zuzaror\\Zuzaror.lnk", L"Zuzaror\\官方网站.url", L"Zuzaror\\卸载.lnk", L"Other.lnk"})
    host.files.insert(programs + f);
  host.files.insert(desktop + L"Zuzaror.lnk");
  host.files.insert(desktop + L"Other.lnk");
  RemovalCounters counters = Remove(host);
  FakeHost untouched = host;
  RemoveShortcuts(host, counters, UsableNames(L"..", L"..\\Other", L".."), programs, desktop);
  RemoveShortcuts(host, counters, UsableNames(L"", L"", L""), programs, desktop);
  EXPECT_EQ(untouched.files, host.files);
  RemoveShortcuts(host, counters, UsableNames(L"Zuzaror", L"Zuzaror", L"Zuzaror"), programs, desktop);
  EXPECT_EQ(13, counters.deleted_files);
  EXPECT_EQ(9u, host.sent.size());  // 10 .. 90 from the files, nothing past them
  EXPECT_EQ((std::set<std::wstring>{programs + L"Other.lnk", desktop + L"Other.lnk"}), host.files);
  EXPECT_EQ((std::set<std::wstring>{L"C:\\Programs", L"C:\\Desktop"}), host.folders);
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
      {L"\\\\server\\share\\Zuzaror\\", L"//server/share/Zuzaror", true},
      {L"C:\\Program Files\\Zuzaror\\", L"C:\\Program Files\\Other", false},
      {L"C:\\Program Files\\Zuzaror\\", L"", false},
      {L"C:\\Program Files\\", L"C:\\Program Files", false},
      {L"C:\\users\\u\\Desktop\\", L"C:\\users\\u\\Desktop", false},
      {L"C:\\users\\", L"C:\\users", false},  // holds the profile
      {L"C:\\", L"C:\\", false},
      {L"\\\\server\\share\\", L"\\\\server\\share", false},
      {L"Zuzaror\\", L"Zuzaror", false},
      {L"C:\\Program Files\\..\\", L"C:\\Program Files\\..", false},
      {L"C:\\Apps\\\\Zuzaror\\", L"C:\\Apps\\\\Zuzaror", false},
  };
  for (const Row& r : rows)
    EXPECT_EQ(r.may, MayRemoveInstallFolder(r.folder, r.location, guarded)) << r.folder;
}

TEST(Removal, BatchQuotesPathsDoublesPercentAndRefusesLoss) {
  auto ascii = [](const std::wstring& text, std::string* out) {
    for (wchar_t c : text) {
      if (c > 0x7f) return false;
      *out += static_cast<char>(c);
    }
    return true;
  };
  std::string batch = SelfDeleteBatch(L"C:\\a%PATH%b\\Zodadira.exe", L"C:\\a%PATH%b", false, ascii);
  EXPECT_EQ(0u, batch.find("@ echo off\r\nsetlocal DisableDelayedExpansion\r\n"));
  EXPECT_NE(std::string::npos, batch.find("if not exist \"C:\\a%%PATH%%b\\Zodadira.exe\" goto gone\r\n"));
  EXPECT_LT(batch.find(":wait"), batch.find("rd /s/q \"C:\\a%%PATH%%b\"\r\n"));
  EXPECT_EQ(batch.size() - 8, batch.rfind("\r\ndel %0"));  // its last line, no line break
  EXPECT_EQ(std::string::npos, SelfDeleteBatch(L"C:\\a\\u.exe", L"C:\\a", true, ascii).find("rd "));
  EXPECT_EQ("", SelfDeleteBatch(L"C:\\卸载\\Zodadira.exe", L"C:\\卸载", false, ascii));
}

// An installation as the installer leaves it, with its shortcuts and key,
// and the bookkeeper's database and backups in it.
FakeHost Installed() {
  FakeHost host;
  host.AddFiles(kDir, 3);
  host.AddFiles(kDir + L"\\back", 0);
  host.AddFiles(kDir + L"\\back\\2023", 0);
  host.AddFiles(kDir + L"\\temp", 0);
  host.folders.insert(L"C:\\Docs");
  for (const wchar_t* f : {L"\\Zodadira.dat", L"\\ml.mdb", L"\\back\\2026年1月2日3时.ml", L"\\back\\b.ml",
                           L"\\back\\2023\\旧备份.ml", L"\\temp\\ml.mdb"})
    host.files.insert(kDir + f);
  host.read_only.insert(kDir + L"\\back\\2023\\旧备份.ml");
  host.folders.insert(L"C:\\Programs\\Zuzaror");
  for (const wchar_t* f : {L"Zuzaror.lnk", L"官方网站.url", L"卸载.lnk"}) host.files.insert(L"C:\\Programs\\Zuzaror\\" + std::wstring(f));
  host.keys.insert(L"Zuzaror");
  return host;
}

RemovalPlan Plan() {
  RemovalPlan plan;
  plan.folder = kDir + L"\\";
  plan.record = kDir + L"\\Zodadira.dat";
  plan.names = UsableNames(L"Zuzaror", L"Zuzaror", L"Zuzaror");
  plan.programs = L"C:\\Programs\\";
  plan.desktop = L"C:\\Desktop\\";
  // As saved, every one of the user's files.
  FakeHost host = Installed();
  std::vector<UserFile> files;
  std::wstring unlisted;
  ListUserData(host, plan.folder, L"s", &files, &unlisted);
  for (const auto& file : files) plan.saved.push_back(file.from);
  return plan;
}

TEST(Removal, ACutShortRunLeavesTheRecordAndKeyAndASecondRunFinishes) {
  struct Killed {};
  FakeHost host = Installed();
  // Killed at the first change outside the installation folder.
  host.before_change = [](const std::wstring& what) {
    if (what.compare(0, kDir.size(), kDir) != 0) throw Killed();
  };
  RemovalCounters counters;
  EXPECT_THROW(RemoveInstallation(host, counters, Plan()), Killed);
  EXPECT_EQ((std::set<std::wstring>{kDir + L"\\Zodadira.dat"}), std::set<std::wstring>(
      host.files.lower_bound(kDir), host.files.lower_bound(kDir + L"\\\xFFFF")));
  EXPECT_EQ(1u, host.keys.size());

  host.before_change = [](const std::wstring&) {};
  RemoveInstallation(host, counters, Plan());
  EXPECT_TRUE(host.keys.empty());
  EXPECT_EQ((std::set<std::wstring>{L"C:\\Docs"}), host.folders);
  EXPECT_TRUE(host.files.empty());
}

TEST(Removal, TheBooksAreCopiedOutWholeOrNotAtAll) {
  const std::wstring target = SavedDataFolder(L"C:\\Docs", L"Zuzaror", L"2026年12月9日");
  EXPECT_EQ(L"C:\\Docs\\Zuzaror 数据\\2026年12月9日\\", target);

  // Every backup at any depth and the parked database keep their places;
  // the copies are writable, the read-only original goes with the rest.
  // The folders stay held until the originals are gone.
  FakeHost host = Installed();
  std::vector<UserFile> files;
  std::wstring unlisted;
  ASSERT_TRUE(ListUserData(host, kDir + L"\\", L"2026年12月9日", &files, &unlisted));
  const SaveOutcome saved = SaveUserData(host, files, target);
  ASSERT_EQ(DataSaved::kSaved, saved.result);
  EXPECT_EQ(target, saved.folder);
  EXPECT_TRUE(host.held.count(target + L"back\\2023"));
  for (const wchar_t* f : {L"2026年12月9日.ml", L"back\\2026年1月2日3时.ml", L"back\\b.ml",
                           L"back\\2023\\旧备份.ml", L"temp\\ml.mdb"})
    EXPECT_TRUE(host.files.count(target + f)) << f;
  EXPECT_EQ(1u, host.read_only.size());
  RemovalCounters counters;
  EXPECT_EQ(LeftBehind::kNothing, RemoveInstallation(host, counters, Plan()));
  EXPECT_FALSE(host.folders.count(kDir));

  // A copy that fails half way takes back every copy and folder made, the
  // read-only one's copy too, and leaves the installation as it was.
  FakeHost broken = Installed();
  const FakeHost before = broken;
  broken.unreadable.insert(kDir + L"\\temp\\ml.mdb");
  ASSERT_TRUE(ListUserData(broken, kDir + L"\\", L"s", &files, &unlisted));
  const SaveOutcome failed = SaveUserData(broken, files, target);
  EXPECT_EQ(DataSaved::kFailed, failed.result);
  EXPECT_EQ(kDir + L"\\temp\\ml.mdb", failed.unsaved);
  EXPECT_EQ(before.files, broken.files);
  EXPECT_EQ(before.folders, broken.folders);

  FakeHost empty;
  empty.AddFiles(kDir, 2);
  EXPECT_TRUE(ListUserData(empty, kDir + L"\\", L"s", &files, &unlisted));
  EXPECT_TRUE(files.empty());
  EXPECT_EQ(DataSaved::kNothingToSave, SaveUserData(empty, {}, target).result);
  EXPECT_EQ(1u, empty.folders.size());

  const unsigned char hot[] = {0xd9, 0xd5, 0x05, 0xf9, 0x20, 0xa1, 0x63, 0xd7, 0};
  EXPECT_TRUE(IsHotJournal(hot, sizeof hot));
  EXPECT_FALSE(IsHotJournal(hot, 7));
  EXPECT_FALSE(IsHotJournal(hot + 1, 8));
}

// The save folder in the documents every user may write to: whatever
// someone made there beforehand is never written through nor into.
TEST(Removal, TheBooksAreSavedOnlyIntoFoldersMadeNow) {
  const std::wstring target = SavedDataFolder(L"C:\\Docs", L"Zuzaror", L"s");
  std::vector<UserFile> files;
  std::wstring unlisted;
  const auto below = [](const FakeHost& host, const std::wstring& folder) {
    return std::count_if(host.files.begin(), host.files.end(),
                         [&](const std::wstring& f) { return f.compare(0, folder.size(), folder) == 0; });
  };

  // "Zuzaror 数据" a link into the installation, which is about to go, and
  // "(2)" a file: both passed by, nothing written through the link.
  FakeHost linked = Installed();
  linked.AddFiles(L"C:\\Docs\\Zuzaror 数据", 0);
  linked.links[L"C:\\Docs\\Zuzaror 数据"] = kDir + L"\\temp";
  linked.files.insert(L"C:\\Docs\\Zuzaror 数据(2)");
  ASSERT_TRUE(ListUserData(linked, kDir + L"\\", L"s", &files, &unlisted));
  EXPECT_EQ(L"C:\\Docs\\Zuzaror 数据(3)\\s\\", SaveUserData(linked, files, target).folder);
  EXPECT_EQ(0, below(linked, kDir + L"\\temp\\s"));

  // A stamp folder already there, as anything, is left as it is; the copies
  // go beside it under a free name, and "Zuzaror 数据" is taken as it is.
  FakeHost taken = Installed();
  taken.AddFiles(L"C:\\Docs\\Zuzaror 数据\\s", 1);
  taken.files.insert(L"C:\\Docs\\Zuzaror 数据\\s(2)");
  ASSERT_TRUE(ListUserData(taken, kDir + L"\\", L"s", &files, &unlisted));
  const SaveOutcome saved = SaveUserData(taken, files, target);
  ASSERT_EQ(DataSaved::kSaved, saved.result);
  EXPECT_EQ(L"C:\\Docs\\Zuzaror 数据\\s(3)\\", saved.folder);
  EXPECT_TRUE(taken.files.count(saved.folder + L"back\\2023\\旧备份.ml"));
  EXPECT_EQ(1, below(taken, L"C:\\Docs\\Zuzaror 数据\\s\\"));

  // One that another user owns, who could change or delete the copies at
  // will, is passed by; when every numbered name is another's, the books go
  // under a name no one could take beforehand, and only without one is
  // nothing saved.
  FakeHost theirs = Installed();
  theirs.AddFiles(L"C:\\Docs\\Zuzaror 数据", 0);
  theirs.foreign.insert(L"C:\\Docs\\Zuzaror 数据");
  ASSERT_TRUE(ListUserData(theirs, kDir + L"\\", L"s", &files, &unlisted));
  EXPECT_EQ(L"C:\\Docs\\Zuzaror 数据(2)\\s\\", SaveUserData(theirs, files, target).folder);
  EXPECT_EQ(0, below(theirs, L"C:\\Docs\\Zuzaror 数据\\"));
  FakeHost all_theirs = Installed();
  for (int n = 1; n <= kSaveFolderNames; ++n) {
    const std::wstring name = L"C:\\Docs\\Zuzaror 数据" + (n == 1 ? L"" : L"(" + std::to_wstring(n) + L")");
    all_theirs.AddFiles(name, 0);
    all_theirs.foreign.insert(name);
  }
  FakeHost random_named = all_theirs;
  EXPECT_EQ(L"C:\\Docs\\Zuzaror 数据(00000000000000a1)\\s\\", SaveUserData(random_named, files, target).folder);
  EXPECT_TRUE(random_named.files.count(L"C:\\Docs\\Zuzaror 数据(00000000000000a1)\\s\\back\\2023\\旧备份.ml"));
  EXPECT_FALSE(random_named.held.count(L"C:\\Docs\\Zuzaror 数据(100)")) << "a name passed by stays held";
  all_theirs.random.clear();
  const FakeHost untouched = all_theirs;
  const SaveOutcome refused = SaveUserData(all_theirs, files, target);
  EXPECT_EQ(DataSaved::kFailed, refused.result);
  EXPECT_EQ(L"C:\\Docs\\Zuzaror 数据", refused.unusable);  // named to the user
  EXPECT_EQ(untouched.files, all_theirs.files);

  // The stamp folder, once made, replaced by another's or by a link before
  // it was held: refused, nothing written there, nothing deleted.
  for (const RemovalHost::Held& put : {RemovalHost::Held{true, false, false}, RemovalHost::Held{true, true, true}}) {
    FakeHost swapped = Installed();
    swapped.swapped[L"C:\\Docs\\Zuzaror 数据\\s"] = put;
    const FakeHost as_it_was = swapped;
    const SaveOutcome refused_here = SaveUserData(swapped, files, target);
    EXPECT_EQ(DataSaved::kFailed, refused_here.result);
    EXPECT_EQ(L"C:\\Docs\\Zuzaror 数据\\s", refused_here.unusable);
    EXPECT_EQ(as_it_was.files, swapped.files);
  }
}

// A folder that cannot be listed whole may hold files that the save would
// miss and the removal delete: nothing is saved.
TEST(Removal, AListingThatFailsPartWaySavesNothing) {
  FakeHost host = Installed();
  host.cut.insert(kDir + L"\\back\\2023");
  host.files.insert(kDir + L"\\back\\2023\\新备份.ml");
  std::vector<UserFile> files;
  std::wstring unlisted;
  EXPECT_FALSE(ListUserData(host, kDir + L"\\", L"s", &files, &unlisted));
  EXPECT_EQ(kDir + L"\\back\\2023\\", unlisted);  // named to the user
  host.cut = {kDir};
  EXPECT_FALSE(ListUserData(host, kDir + L"\\", L"s", &files, &unlisted));
  EXPECT_EQ(kDir + L"\\", unlisted);
}

// What the program wrote after the save exists nowhere else: it stays,
// with its folders, and so do the key and the record, for the next run to
// save it. A saved file that could not be deleted keeps only the folder.
TEST(Removal, AFileThatCameAfterTheSaveStays) {
  FakeHost host = Installed();
  std::vector<UserFile> files;
  std::wstring unlisted;
  ASSERT_TRUE(ListUserData(host, kDir + L"\\", L"s", &files, &unlisted));
  ASSERT_EQ(DataSaved::kSaved, SaveUserData(host, files, L"C:\\Docs\\Zuzaror 数据\\s\\").result);
  FakeHost stuck = host;
  const std::wstring later[] = {kDir + L"\\back\\新.ml", kDir + L"\\temp\\2024\\新.ml"};
  host.AddFiles(kDir + L"\\temp\\2024", 0);
  for (const auto& file : later) host.files.insert(file);
  RemovalCounters counters;
  EXPECT_EQ(LeftBehind::kUnsaved, RemoveInstallation(host, counters, Plan()));
  for (const auto& file : later) EXPECT_TRUE(host.files.count(file));
  for (const auto& file : files) EXPECT_FALSE(host.files.count(file.from));
  EXPECT_FALSE(host.files.count(kDir + L"\\f0"));
  EXPECT_EQ(1u, host.keys.size());
  EXPECT_TRUE(host.files.count(kDir + L"\\Zodadira.dat"));

  stuck.locked.insert(kDir + L"\\back\\b.ml");
  EXPECT_EQ(LeftBehind::kSavedOnly, RemoveInstallation(stuck, counters, Plan()));
  EXPECT_TRUE(stuck.keys.empty());
}

}  // namespace
