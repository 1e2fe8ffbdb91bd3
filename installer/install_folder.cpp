#include "install_folder.h"

#include <algorithm>

#include "qv_log.h"
#include "qv_security.h"

namespace {

// How many SUBST drives may stand for one another.
constexpr int kMaxDriveHops = 8;

void Log(const wchar_t* what, const std::wstring& path, unsigned long code) {
  CQvLog::Instance().WriteLog2(L"installer: %ls %ls (%lu)", what, path.c_str(), code);
}

// The folder's path on the drive that holds it, "X:\...": a SUBST drive's
// letter gives way to the folder it stands for. Empty for a network path or
// drive, whose rights are the server's, and for anything else.
std::wstring LocalPath(const std::wstring& folder) {
  std::wstring path = FullPath(folder);
  if (path.compare(0, 4, L"\\\\?\\") == 0) path.erase(0, 4);
  for (int hop = 0; hop < kMaxDriveHops; ++hop) {
    if (path.size() < 3 || path[1] != L':' || path[2] != L'\\') return {};
    const std::wstring drive = path.substr(0, 2);
    if (GetDriveTypeW((drive + L'\\').c_str()) == DRIVE_REMOTE) return {};
    wchar_t device[MAX_PATH];
    if (!QueryDosDeviceW(drive.c_str(), device, MAX_PATH)) return {};
    // A SUBST drive stands for "\??\C:\folder"; a mapped share for
    // "\??\UNC\server\share", which the next round refuses.
    const std::wstring target = device;
    if (target.compare(0, 4, L"\\??\\") != 0) return path;
    std::wstring real = target.substr(4);
    if (!real.empty() && real.back() == L'\\') real.pop_back();
    path = real + path.substr(2);
  }
  return {};
}

// A folder, not a link nor any other reparse point, by its handle and by a
// search.
bool IsRealFolder(HANDLE folder, const std::wstring& path) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(folder, &info)) return false;
  const DWORD attributes = info.dwFileAttributes | QvSearchedAttributes(path);
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The installation folder inside the held one: opened, or made now.
HANDLE OpenOrMake(HANDLE parent, const std::wstring& name, bool* made) {
  *made = false;
  HANDLE folder = QvOpenFolderIn(parent, name, kQvHeldFolderAccess);
  if (folder != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_NOT_FOUND) return folder;
  // Made with its rights in one step, relative to the folder held: made
  // first and secured after, it could be opened meanwhile by anyone its
  // parent lets in, and that handle would outlive the change.
  folder = QvCreateProtectedFolderIn(parent, name);
  *made = folder != INVALID_HANDLE_VALUE;
  return folder;
}

// True when the path, followed through whatever link or mount point is on
// it as the writes by path follow it, leads to the folder the handle holds.
// A folder above that another user may add to can be turned into a mount
// point while it is still empty, after it was looked at.
bool LeadsTo(const std::wstring& path, HANDLE held) {
  QvFileHandle followed(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION reached, ours;
  if (!followed.ok() || !GetFileInformationByHandle(followed.get(), &reached) ||
      !GetFileInformationByHandle(held, &ours))
    return false;
  return reached.dwVolumeSerialNumber == ours.dwVolumeSerialNumber &&
         reached.nFileIndexHigh == ours.nFileIndexHigh && reached.nFileIndexLow == ours.nFileIndexLow;
}

}  // namespace

std::wstring FullPath(const std::wstring& path) {
  DWORD need = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (need == 0) return std::wstring();
  std::wstring out(need, L'\0');
  DWORD got = GetFullPathNameW(path.c_str(), need, &out[0], nullptr);
  if (got == 0 || got >= need) return std::wstring();
  out.resize(got);
  return out;
}

InstallFolder PrepareInstallFolder(const std::wstring& folder, std::vector<std::wstring>* made,
                                   InstallFolderHold* hold, std::wstring* named,
                                   const std::function<void()>& held_all) {
  *named = folder;
  const std::wstring local = LocalPath(folder);
  std::vector<std::wstring> parts;
  for (std::size_t at = 3; at < local.size();) {
    const std::size_t end = std::min(local.find(L'\\', at), local.size());
    if (end > at) parts.push_back(local.substr(at, end - at));
    at = end + 1;
  }
  if (parts.empty()) {
    Log(L"cannot install on the network or at the root of", folder, 0);
    return InstallFolder::kOthersMayChange;
  }
  std::wstring path = local.substr(0, 3);
  *named = path;
  HANDLE held = QvOpenFolder(path, kQvHeldFolderAccess);
  if (held == INVALID_HANDLE_VALUE) {
    Log(L"cannot open", path, GetLastError());
    return InstallFolder::kOthersMayChange;
  }
  hold->Add(held);
  DWORD flags = 0;
  if (!GetVolumeInformationByHandleW(held, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) ||
      !(flags & FILE_PERSISTENT_ACLS)) {
    Log(L"keeps no rights:", path, flags);
    return InstallFolder::kOthersMayChange;
  }
  QvFolderVerdict verdict = QvJudgeSecurity(held, QvFolderPlace::kRoot);
  InstallFolder result = InstallFolder::kLeftAsItIs;
  for (std::size_t i = 0; verdict == QvFolderVerdict::kGuarded && i < parts.size(); ++i) {
    const bool last = i + 1 == parts.size();
    if (path.back() != L'\\') path += L'\\';
    path += parts[i];
    *named = path;
    bool made_now = false;
    held = last ? OpenOrMake(held, parts[i], &made_now) : QvOpenFolderIn(held, parts[i], kQvHeldFolderAccess);
    if (held == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      Log(last ? L"cannot create or open folder" : L"cannot open folder", path, error);
      // A name that is missing or taken by a file leaves it unmade.
      if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND && error != ERROR_DIRECTORY &&
          error != ERROR_ALREADY_EXISTS)
        return InstallFolder::kOthersMayChange;
      *named = folder;
      return InstallFolder::kNotMade;
    }
    hold->Add(held);
    if (made_now) {
      made->push_back(folder);
      result = InstallFolder::kMade;
    }
    if (!IsRealFolder(held, path)) {
      Log(L"is no real folder:", path, 0);
      return InstallFolder::kOthersMayChange;
    }
    verdict = QvJudgeSecurity(held, last ? QvFolderPlace::kTarget : QvFolderPlace::kAbove);
  }
  if (verdict != QvFolderVerdict::kGuarded) {
    Log(L"others may change", *named, static_cast<unsigned long>(verdict));
    return InstallFolder::kOthersMayChange;
  }
  *named = folder;
  if (held_all) held_all();
  if (!LeadsTo(FullPath(folder), held)) {
    Log(L"leads elsewhere than the folder held:", folder, GetLastError());
    // What is at the path now is not what was made: taking it back by its
    // path would remove another's.
    if (result == InstallFolder::kMade) made->pop_back();
    return InstallFolder::kOthersMayChange;
  }
  return result;
}
