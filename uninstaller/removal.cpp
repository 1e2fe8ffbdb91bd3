#include "removal.h"

#include <algorithm>
#include <cstdint>
#include <set>

namespace {

using Listed = RemovalHost::Listed;
using Made = RemovalHost::Made;

bool IsDotName(const std::wstring& name) { return !name.empty() && name[0] == L'.'; }

void CountDeletedFile(RemovalHost& host, RemovalCounters& counters) {
  ++counters.deleted_files;
  if (counters.total_files <= 0) return;
  // 100 is the worker's final message alone: a file never sends it.
  std::int64_t percent = std::int64_t{counters.deleted_files} * 100 / counters.total_files;
  if (percent >= 0 && percent < 100) host.Progress(static_cast<int>(percent));
}

wchar_t FoldAscii(wchar_t c) { return c >= L'a' && c <= L'z' ? c - L'a' + L'A' : c; }

// Names as Windows compares them, for the ASCII letters at least.
bool EqualFold(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

// Upper-cased ASCII, "/" as "\": the form in which two spellings of a path
// compare equal.
std::wstring PathKey(const std::wstring& path) {
  std::wstring key;
  key.reserve(path.size() + 1);
  for (wchar_t c : path) key += c == L'/' ? L'\\' : FoldAscii(c);
  return key;
}

// The same with a trailing "\", for a folder.
std::wstring FolderKey(const std::wstring& path) {
  std::wstring key = PathKey(path);
  if (key.empty() || key.back() != L'\\') key += L'\\';
  return key;
}

// An absolute folder below a drive ("C:\x\") or below a share
// ("\\server\share\x\", "\\?\C:\x\"), with no empty, "." or ".." part
// that could make it name another folder.
bool IsFolderBelowRoot(const std::wstring& key) {
  std::size_t start = 0, least = 0;
  if (key.size() > 2 && key[0] >= L'A' && key[0] <= L'Z' && key[1] == L':' && key[2] == L'\\') {
    start = 3;
    least = 1;
  } else if (key.compare(0, 2, L"\\\\") == 0) {
    start = 2;
    least = 3;
  } else {
    return false;
  }
  std::size_t parts = 0;
  for (std::size_t at = start; at < key.size(); ++parts) {
    const std::size_t end = key.find(L'\\', at);
    const std::wstring part = key.substr(at, end - at);
    if (part.empty() || part == L"." || part == L"..") return false;
    at = end + 1;
  }
  return parts >= least;
}

}  // namespace

int CountFiles(RemovalHost& host, const std::wstring& folder) {
  std::vector<RemovalHost::Entry> entries;
  host.List(folder, &entries);
  int count = 0;
  for (const auto& entry : entries) {
    if (!entry.folder)
      ++count;
    else if (!entry.link && !IsDotName(entry.name))
      count += CountFiles(host, folder + entry.name + L'\\');
  }
  return count;
}

void DeleteTree(RemovalHost& host, RemovalCounters& counters, const std::wstring& folder,
                const std::function<bool(const std::wstring&)>& stays) {
  std::vector<RemovalHost::Entry> entries;
  // What a failed listing gave still goes; the folder then stays.
  if (host.List(folder, &entries) == Listed::kMissing) return;
  for (const auto& entry : entries) {
    if (!entry.folder) {
      if (stays && stays(folder + entry.name)) continue;
      host.MakeWritable(folder + entry.name);
      host.RemoveFile(folder + entry.name);
      CountDeletedFile(host, counters);
    } else if (entry.link) {
      host.RemoveFolder(folder + entry.name);
    } else if (!IsDotName(entry.name)) {
      DeleteTree(host, counters, folder + entry.name + L'\\', stays);
    }
  }
  host.RemoveFolder(folder.substr(0, folder.size() - 1));
}

bool HoldsFolderLink(RemovalHost& host, const std::wstring& folder) {
  std::vector<RemovalHost::Entry> entries;
  const Listed listed = host.List(folder, &entries);
  if (listed != Listed::kWhole) return listed == Listed::kFailed;
  for (const auto& entry : entries) {
    if (!entry.folder) continue;
    if (entry.link || HoldsFolderLink(host, folder + entry.name + L'\\')) return true;
  }
  return false;
}

bool IsSinglePathPart(const std::wstring& name) {
  if (name.empty() || name == L"." || name == L"..") return false;
  return name.find_first_of(L"\\/:") == std::wstring::npos;
}

bool MayRemoveInstallFolder(const std::wstring& folder, const std::wstring& install_location,
                            const std::vector<std::wstring>& protected_folders) {
  const std::wstring key = FolderKey(folder);
  if (folder.empty() || key != FolderKey(install_location) || !IsFolderBelowRoot(key)) return false;
  for (const auto& guarded : protected_folders) {
    if (guarded.empty()) continue;
    // The folder itself or any folder above it.
    if (FolderKey(guarded).compare(0, key.size(), key) == 0) return false;
  }
  return true;
}

RemovalNames UsableNames(const std::wstring& key_name, const std::wstring& shortcut_name,
                         const std::wstring& start_menu_folder) {
  RemovalNames names;
  if (IsSinglePathPart(key_name)) names.key_name = key_name;
  if (IsSinglePathPart(shortcut_name)) names.shortcut_name = shortcut_name;
  if (IsSinglePathPart(start_menu_folder)) names.start_menu_folder = start_menu_folder;
  return names;
}

void RemoveShortcuts(RemovalHost& host, RemovalCounters& counters, const RemovalNames& names,
                     const std::wstring& programs, const std::wstring& desktop) {
  if (!names.start_menu_folder.empty() && !programs.empty()) {
    const std::wstring folder = programs + names.start_menu_folder + L'\\';
    std::vector<std::wstring> files = {L"官方网站.url", L"卸载.lnk"};
    if (!names.shortcut_name.empty()) files.insert(files.begin(), names.shortcut_name + L".lnk");
    std::vector<RemovalHost::Entry> entries;
    if (host.List(folder, &entries) != Listed::kMissing) {
      for (const auto& entry : entries) {
        for (const auto& file : files) {
          if (entry.folder || entry.name != file) continue;
          host.RemoveFile(folder + file);
          CountDeletedFile(host, counters);
        }
      }
      // Fails, as it should, while the user keeps anything else there.
      host.RemoveFolder(folder.substr(0, folder.size() - 1));
    }
  }
  if (!names.shortcut_name.empty() && !desktop.empty())
    host.RemoveFile(desktop + names.shortcut_name + L".lnk");
}

namespace {

// Every file below `from`, at any depth, its copy named below `to`; false,
// naming the folder in `unlisted`, when a folder there cannot be listed whole.
bool ListFilesBelow(RemovalHost& host, const std::wstring& from, const std::wstring& to,
                    std::vector<UserFile>* files, std::wstring* unlisted) {
  std::vector<RemovalHost::Entry> entries;
  const Listed listed = host.List(from, &entries);
  if (listed != Listed::kWhole) {
    if (listed == Listed::kMissing) return true;
    *unlisted = from;
    return false;
  }
  for (const auto& entry : entries) {
    if (!entry.folder)
      files->push_back({from + entry.name, to + entry.name});
    else if (!entry.link &&
             !ListFilesBelow(host, from + entry.name + L'\\', to + entry.name + L'\\', files, unlisted))
      return false;
  }
  return true;
}

}  // namespace

LeftBehind RemoveInstallation(RemovalHost& host, RemovalCounters& counters, const RemovalPlan& plan) {
  std::set<std::wstring> saved;
  for (const auto& path : plan.saved) saved.insert(PathKey(path));
  std::vector<std::wstring> data_folders;
  for (const wchar_t* name : kUserDataFolders) data_folders.push_back(FolderKey(plan.folder + name));
  const auto stays = [&](const std::wstring& path) {
    if (path == plan.record) return true;
    const std::wstring key = PathKey(path);
    for (const auto& data : data_folders)
      if (key.compare(0, data.size(), data) == 0) return saved.count(key) == 0;
    return false;
  };
  counters.deleted_files = 0;
  counters.total_files = CountFiles(host, plan.folder);
  DeleteTree(host, counters, plan.folder, stays);
  LeftBehind left = LeftBehind::kNothing;
  for (const wchar_t* name : kUserDataFolders) {
    const std::wstring data = plan.folder + name + L'\\';
    std::vector<RemovalHost::Entry> entries;
    if (host.List(data, &entries) == Listed::kMissing) continue;
    if (left == LeftBehind::kNothing) left = LeftBehind::kSavedOnly;
    std::vector<UserFile> files;
    std::wstring unlisted;
    bool unsaved = !ListFilesBelow(host, data, data, &files, &unlisted);
    for (const auto& file : files) unsaved = unsaved || saved.count(PathKey(file.from)) == 0;
    if (unsaved) left = LeftBehind::kUnsaved;
  }
  RemoveShortcuts(host, counters, plan.names, plan.programs, plan.desktop);
  if (left == LeftBehind::kUnsaved) return left;
  if (!plan.names.key_name.empty()) host.RemoveKey(plan.names.key_name);
  host.RemoveFile(plan.record);
  CountDeletedFile(host, counters);
  host.RemoveFolder(plan.folder.substr(0, plan.folder.size() - 1));
  return left;
}

std::wstring SavedDataFolder(const std::wstring& documents, const std::wstring& key_name,
                             const std::wstring& stamp) {
  std::wstring folder = documents;
  if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
  return folder + key_name + L" \u6570\u636E\\" + stamp + L'\\';  // " 数据"
}

bool IsHotJournal(const unsigned char* head, std::size_t size) {
  static const unsigned char kMagic[] = {0xd9, 0xd5, 0x05, 0xf9, 0x20, 0xa1, 0x63, 0xd7};
  return size >= sizeof kMagic && std::equal(kMagic, kMagic + sizeof kMagic, head);
}

bool ListUserData(RemovalHost& host, const std::wstring& folder, const std::wstring& stamp,
                  std::vector<UserFile>* files, std::wstring* unlisted) {
  files->clear();
  std::vector<RemovalHost::Entry> entries;
  if (host.List(folder, &entries) == Listed::kFailed) {
    *unlisted = folder;
    return false;
  }
  for (const auto& entry : entries)
    if (!entry.folder && EqualFold(entry.name, kDatabaseFile))
      files->push_back({folder + entry.name, stamp + kBackupExtension});
  for (const wchar_t* name : kUserDataFolders)
    if (!ListFilesBelow(host, folder + name + L'\\', std::wstring(name) + L'\\', files, unlisted)) return false;
  return true;
}

namespace {

using Held = RemovalHost::Held;

// A real folder that no other user owns or may change: no one else can
// have put it there, nor change what it holds.
bool IsOurs(const Held& held) { return held.folder && !held.link && held.guarded; }

std::wstring Numbered(const std::wstring& path, int n) {
  return n == 1 ? path : path + L'(' + std::to_wstring(n) + L')';
}

// kNow only when what the handle holds is the folder made: the folder above
// may let someone else remove it and put their own in its place meanwhile.
Made MakeOurFolder(RemovalHost& host, const std::wstring& path, std::vector<std::wstring>* made) {
  Held held;
  const Made result = host.MakeFolder(path, &held);
  if (result != Made::kNow) return result;
  if (!IsOurs(held)) return Made::kFailed;
  made->push_back(path);
  return Made::kNow;
}

// The folder that holds the stamp folders: one made now, or a real folder
// that is guarded. Anyone may have taken the name before, with anything: a
// name another user took must not stop every uninstall, so whatever else is
// there is passed by for the next name, the numbered ones first, then ones
// no one can foresee. Empty when none will do, naming in `unusable` the
// folder that failed.
std::wstring SaveParent(RemovalHost& host, const std::wstring& name, std::vector<std::wstring>* made,
                        std::wstring* unusable) {
  *unusable = name;
  for (int n = 1; n <= kSaveFolderNames + kRandomSaveFolderNames; ++n) {
    const std::wstring random = n > kSaveFolderNames ? host.RandomPart() : std::wstring();
    if (n > kSaveFolderNames && random.empty()) break;
    const std::wstring path = random.empty() ? Numbered(name, n) : name + L'(' + random + L')';
    switch (MakeOurFolder(host, path, made)) {
      case Made::kNow:
        return path;
      case Made::kTaken: {
        Held held;
        if (!host.HoldFolder(path, &held)) break;
        if (IsOurs(held)) return path;
        // What is passed by is not ours to keep: held, it could be neither
        // renamed by its owner nor, through a link, removed with the
        // installation.
        host.ReleaseFolder(path);
        break;
      }
      case Made::kFailed:
        *unusable = path;
        return {};
    }
  }
  return {};
}

// A stamp folder made now, under its own name or, as a backup's in the main
// program, the first free one of "(2)", "(3)"...
std::wstring SaveFolder(RemovalHost& host, const std::wstring& name, std::vector<std::wstring>* made,
                        std::wstring* unusable) {
  *unusable = name;
  for (int n = 1; n <= kSaveFolderNames; ++n) {
    const std::wstring path = Numbered(name, n);
    const Made result = MakeOurFolder(host, path, made);
    if (result == Made::kNow) return path;
    if (result == Made::kFailed) {
      *unusable = path;
      break;
    }
  }
  return {};
}

}  // namespace

SaveOutcome SaveUserData(RemovalHost& host, const std::vector<UserFile>& files, const std::wstring& target) {
  SaveOutcome outcome;
  if (files.empty()) return outcome;
  outcome.result = DataSaved::kFailed;
  const std::wstring first = target.substr(0, target.size() - 1);
  const std::size_t cut = first.rfind(L'\\');
  // Outermost first, so that taking them back in reverse empties each.
  std::vector<std::wstring> made;
  const std::wstring parent = SaveParent(host, first.substr(0, cut), &made, &outcome.unusable);
  const std::wstring folder =
      parent.empty() ? parent : SaveFolder(host, parent + first.substr(cut), &made, &outcome.unusable);
  bool whole = !folder.empty();
  if (whole) outcome.unusable.clear();
  outcome.folder = folder + L'\\';
  std::vector<std::wstring> copies;
  for (std::size_t i = 0; whole && i < files.size(); ++i) {
    const std::wstring& to = files[i].to;
    for (std::size_t at = to.find(L'\\'); whole && at != std::wstring::npos; at = to.find(L'\\', at + 1)) {
      const std::wstring below = outcome.folder + to.substr(0, at);
      if (std::find(made.begin(), made.end(), below) == made.end())
        whole = MakeOurFolder(host, below, &made) == Made::kNow;
      if (!whole) outcome.unusable = below;
    }
    if (!whole) break;
    if (!host.Copy(files[i].from, outcome.folder + to)) {
      outcome.unsaved = files[i].from;
      whole = false;
      break;
    }
    copies.push_back(outcome.folder + to);
    // A read-only copy could be neither taken back nor cleared by the user's tools.
    whole = host.MakeWritable(copies.back());
  }
  if (whole) {
    outcome.result = DataSaved::kSaved;
    return outcome;
  }
  // Half a copy of the books is worse than none: take back what was made,
  // the copies while their folders are still held.
  for (auto it = copies.rbegin(); it != copies.rend(); ++it) host.RemoveFile(*it);
  host.ReleaseFolders();
  for (auto it = made.rbegin(); it != made.rend(); ++it) host.RemoveFolder(*it);
  outcome.folder.clear();
  return outcome;
}

std::string SelfDeleteBatch(const std::wstring& uninstaller, const std::wstring& folder, bool keep_folder,
                            const std::function<bool(const std::wstring&, std::string*)>& to_code_page) {
  auto quoted = [&](const std::wstring& path, std::string* out) {
    std::wstring doubled;
    for (wchar_t c : path) {
      if (c == L'%') doubled += L'%';
      doubled += c;
    }
    std::string text;
    if (path.empty() || !to_code_page(doubled, &text)) return false;
    *out = "\"" + text + "\"";
    return true;
  };
  std::string exe, dir;
  if (!quoted(uninstaller, &exe) || !quoted(folder, &dir)) return {};
  // The process that starts the batch may still hold its file for a moment:
  // wait for it, a bounded number of times, before the folder goes.
  // Where delayed expansion is on by default, a "!" in a path would be
  // taken for a variable's mark.
  return "@ echo off\r\n"
         "setlocal DisableDelayedExpansion\r\n"
         "set n=0\r\n"
         ":wait\r\n"
         "del " + exe + "\r\n"
         "if not exist " + exe + " goto gone\r\n"
         "set /a n+=1\r\n"
         "if %n% geq 30 goto gone\r\n"
         "ping -n 2 127.0.0.1 >nul\r\n"
         "goto wait\r\n"
         ":gone\r\n" +
         (keep_folder ? "" : "rd /s/q " + dir + "\r\n") +
         "del %0";
}
