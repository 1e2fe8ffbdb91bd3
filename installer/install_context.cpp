#include "install_context.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <cwchar>
#include <memory>
#include <vector>

#include "install_folder.h"
#include "qv_log.h"
#include "qv_messages.h"
#include "qv_shell.h"
#include "qv_utils.h"
#include "registration.h"

namespace {

struct HandleCloser {
  void operator()(HANDLE h) const { CloseHandle(h); }
};
using FileHandle = std::unique_ptr<void, HandleCloser>;

FileHandle OpenForReading(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  return FileHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

// The bytes from `offset` to the end of the file, at most `limit` of them.
bool ReadTail(HANDLE file, std::uint64_t offset, std::uint64_t limit, std::vector<std::uint8_t>* out) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file, &size) || static_cast<std::uint64_t>(size.QuadPart) < offset) return false;
  std::uint64_t length = static_cast<std::uint64_t>(size.QuadPart) - offset;
  if (length > limit) return false;
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN)) return false;
  out->resize(static_cast<std::size_t>(length));
  std::size_t done = 0;
  while (done < out->size()) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(out->size() - done, 1u << 20)), got = 0;
    if (!ReadFile(file, out->data() + done, chunk, &got, nullptr) || got == 0) return false;
    done += got;
  }
  return true;
}

std::wstring PayloadFilePath(const InstallContext& context) {
  std::wstring path = context.SourceFile;
  if (path.empty() && !GetOwnProgramPath(&path)) return std::wstring();
  return path;
}

}  // namespace

InstallContext::InstallContext() {
  wchar_t folder[MAX_PATH] = L"";
  GetProgramFilePath(folder);
  TargetFolder = folder;
}

InstallContext::~InstallContext() { StopFlag = true; }

bool GetOwnProgramPath(std::wstring* path) {
  std::vector<wchar_t> buffer(32768);
  DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  if (n == 0 || n >= buffer.size()) return false;
  path->assign(buffer.data(), n);
  return true;
}

bool ReadPayloadHeader(PayloadHeader* header) {
  *header = PayloadHeader();
  std::wstring self;
  if (!GetOwnProgramPath(&self)) return false;
  FileHandle file = OpenForReading(self);
  if (!file) return false;
  std::uint8_t bytes[kPayloadHeaderSize] = {};
  LARGE_INTEGER at;
  at.QuadPart = kPayloadOffset;
  DWORD got = 0;
  if (SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN))
    ReadFile(file.get(), bytes, sizeof bytes, &got, nullptr);  // a short file leaves zeros
  *header = DecodePayloadHeader(bytes);
  return true;
}

void CreatePathFolders(const std::wstring& entry_path, const InstallContext& context,
                       std::vector<std::wstring>* made) {
  std::size_t last = entry_path.rfind(L'\\');
  if (last == std::wstring::npos) return;
  std::wstring path = context.TargetFolder;
  if (path.empty() || path.back() != L'\\') path += L'\\';
  std::size_t start = 0;
  while (start < last) {
    std::size_t end = entry_path.find(L'\\', start);
    if (end > start) {
      path += entry_path.substr(start, end - start);
      if (!PathFileExistsW(path.c_str())) {
        if (CreateDirectoryW(path.c_str(), nullptr)) {
          if (made) made->push_back(path);
        } else {
          CQvLog::Instance().WriteLog2(L"installer: cannot create folder %ls (%lu)", path.c_str(), GetLastError());
        }
      }
      path += L'\\';
    }
    start = end + 1;
  }
}

namespace {

// What the user is told when nothing was installed.
const wchar_t kDamagedPayloadNotice[] = L"安装包已损坏，未安装任何文件。";
const wchar_t kLinkedFolderNotice[] = L"安装文件夹是一个链接，未安装任何文件。";
// "%ls" stands for the file's name.
const wchar_t kUnwritableFileNotice[] = L"无法写入文件：%ls，请关闭正在运行的程序后重新安装。";
// Around the folder's path.
const wchar_t* const kOthersMayChangeNotice[] = {L"文件夹“", L"”可被其他用户更改，未安装任何文件。请选择其他文件夹后重新安装。"};
const wchar_t* const kFolderNotMadeNotice[] = {L"无法建立文件夹“", L"”，未安装任何文件。"};

// The folders the main program keeps its backups and a restore's parked
// database in, beside itself.
const wchar_t* const kProgramDataFolders[] = {L"back", L"temp"};

// One entry on its way: decoded into `part` beside its place, then moved
// there once every entry is whole. The file it replaces waits `aside` until
// all have moved, so a failure puts the old installation back.
struct StagedFile {
  std::wstring target, part, aside;
  bool replaced = false;
  bool placed = false;
};

std::wstring FileName(const std::wstring& path) { return path.substr(path.find_last_of(L'\\') + 1); }

std::wstring UnwritableNotice(const std::wstring& path) {
  wchar_t text[512];
  std::swprintf(text, sizeof text / sizeof text[0], kUnwritableFileNotice, FileName(path).c_str());
  return text;
}

// False when the entry's full path does not lie below the target folder or
// its decoded file could not be written beside it. A kept file that is
// there already is left out.
bool StageFile(const PayloadFile& file, const InstallContext& context, std::vector<StagedFile>* staged,
               std::wstring* failed) {
  const std::wstring target = FullPath(context.TargetFolder);
  const std::wstring full = FullPath(ToWide(JoinPath(ToU16(context.TargetFolder), file.header.Path)));
  *failed = full.empty() ? ToWide(file.header.Path) : full;
  if (target.empty() || full.empty() || !IsBelowFolder(ToU16(full), ToU16(target))) {
    CQvLog::Instance().WriteLog2(L"installer: %ls lies outside the target folder", full.c_str());
    return false;
  }
  if (IsKeptWhenPresent(file.header.Path) && PathFileExistsW(full.c_str())) return true;
  StagedFile entry;
  entry.target = full;
  entry.part = full + L".part";
  entry.aside = full + L".old";
  // Made new, never written into: a file left at that name keeps its owner
  // and its rights, which may let another user rewrite the program once it
  // is in place.
  if (!DeleteFileW(entry.part.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
    CQvLog::Instance().WriteLog2(L"installer: cannot replace %ls (%lu)", entry.part.c_str(), GetLastError());
    return false;
  }
  if (!QvWriteFile(entry.part.c_str(), file.data.data(), static_cast<DWORD>(file.data.size()))) {
    CQvLog::Instance().WriteLog2(L"installer: cannot write %ls (%lu)", entry.part.c_str(), GetLastError());
    DeleteFileW(entry.part.c_str());
    return false;
  }
  staged->push_back(std::move(entry));
  return true;
}

// A file a running program holds cannot be replaced; found before anything
// moves.
bool IsReplaceable(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return true;
  }
  const DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Puts back, newest first, what had moved, drops every decoded file and
// the folders this run made, let go first: a refused first installation
// leaves no empty product folder.
void RollBack(std::vector<StagedFile>& staged, std::vector<std::wstring>& made, InstallFolderHold& hold) {
  hold.Release();
  for (auto it = staged.rbegin(); it != staged.rend(); ++it) {
    if (it->placed) DeleteFileW(it->target.c_str());
    if (it->replaced) MoveFileExW(it->aside.c_str(), it->target.c_str(), MOVEFILE_REPLACE_EXISTING);
    DeleteFileW(it->part.c_str());
  }
  staged.clear();
  for (auto it = made.rbegin(); it != made.rend(); ++it) RemoveDirectoryW(it->c_str());
  made.clear();
}

// The old file aside, the new one in its place.
bool Place(StagedFile& f) {
  if (PathFileExistsW(f.target.c_str())) {
    f.replaced = MoveFileExW(f.target.c_str(), f.aside.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    if (!f.replaced) return false;
  }
  f.placed = MoveFileExW(f.part.c_str(), f.target.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
  return f.placed;
}

// Every staged file in its place, or none: false names the file that
// stood in the way.
bool PlaceAll(std::vector<StagedFile>& staged, std::wstring* failed) {
  for (const StagedFile& f : staged) {
    if (!IsReplaceable(f.target)) {
      *failed = f.target;
      CQvLog::Instance().WriteLog2(L"installer: %ls is in use (%lu)", f.target.c_str(), GetLastError());
      return false;
    }
  }
  for (StagedFile& f : staged) {
    if (!Place(f)) {
      *failed = f.target;
      CQvLog::Instance().WriteLog2(L"installer: cannot replace %ls (%lu)", f.target.c_str(), GetLastError());
      return false;
    }
  }
  for (const StagedFile& f : staged)
    if (f.replaced) DeleteFileW(f.aside.c_str());
  return true;
}

// True when a folder the entries go through is a junction or a symbolic
// link: writing through it would put the files wherever it points.
bool ReachesThroughLink(const Payload& payload, const std::wstring& target) {
  for (const std::u16string& folder : PayloadFolders(payload))
    if (QvIsLink(ToWide(JoinPath(ToU16(target), folder)))) return true;
  return false;
}

}  // namespace

bool InstallContext::DoInstall() {
  const std::wstring source = PayloadFilePath(*this);
  FileHandle file = source.empty() ? FileHandle() : OpenForReading(source);
  if (!file) return false;
  std::vector<std::uint8_t> bytes;
  Payload payload;
  std::string reason;
  // The digest trailer and the payload in one read: what is checked is what is unpacked.
  bool read = ReadTail(file.get(), kPayloadTrailerOffset, kPayloadTrailerSize + kMaxPayloadSize, &bytes);
  file.reset();
  if (!read) reason = "the payload cannot be read";
  if (!read || !ReadCheckedPayload(bytes.data(), bytes.size(), &payload, &reason)) {
    Error.assign(reason.begin(), reason.end());
    CQvLog::Instance().WriteLog2(L"installer: payload refused: %ls", Error.c_str());
    Notice = kDamagedPayloadNotice;
    PayloadRefused = true;
    return false;
  }
  bytes.clear();
  bytes.shrink_to_fit();
  const PayloadHeader& header = payload.header;
  if (Report) Report(L"install", ToWide(header.KeyName).c_str());
  if (ReachesThroughLink(payload, TargetFolder)) {
    CQvLog::Instance().WriteLog2(L"installer: a folder below %ls is a link", TargetFolder.c_str());
    Notice = kLinkedFolderNotice;
    return false;
  }
  // Every file is decoded beside its place first: a disk that fills up or a
  // file a running program holds leaves the old installation as it was.
  std::vector<StagedFile> staged;
  std::vector<std::wstring> made;
  std::wstring failed;
  // Held until the installation is written.
  InstallFolderHold hold;
  const std::u16string product = ProductFolder(payload);
  if (!product.empty()) {
    // Before anything is written there, so that every file inherits its rights.
    const std::wstring folder = ToWide(JoinPath(ToU16(TargetFolder), product));
    std::wstring named;
    const InstallFolder prepared = PrepareInstallFolder(folder, &made, &hold, &named);
    const wchar_t* const* notice = prepared == InstallFolder::kOthersMayChange ? kOthersMayChangeNotice
                                   : prepared == InstallFolder::kNotMade        ? kFolderNotMadeNotice
                                                                                : nullptr;
    if (notice) {
      RollBack(staged, made, hold);
      Notice = notice[0] + named + notice[1];
      return false;
    }
  }
  for (const PayloadFile& entry : payload.files) {
    if (StopFlag) {
      RollBack(staged, made, hold);
      return false;
    }
    CreatePathFolders(ToWide(entry.header.Path), *this, &made);
    if (!StageFile(entry, *this, &staged, &failed)) {
      RollBack(staged, made, hold);
      Notice = UnwritableNotice(failed);
      return false;
    }
    if (HWND window = Window.load())
      SendMessageW(window, WM_SETUP_PROGRESS, static_cast<WPARAM>(entry.packed_sum * 100 / payload.size), 0);
  }
  if (!PlaceAll(staged, &failed)) {
    RollBack(staged, made, hold);
    Notice = UnwritableNotice(failed);
    return false;
  }
  if (!product.empty()) {
    // A reinstallation keeps them and what they hold.
    for (const wchar_t* name : kProgramDataFolders)
      CreateDirectoryW(ToWide(JoinPath(JoinPath(ToU16(TargetFolder), product), ToU16(name))).c_str(), nullptr);
  }
  WriteUninstallKey(*this, header);
  CreateShortcuts(header, *this);
  WriteUninstallRecord(header, *this);
  LaunchPath = ToWide(header.LaunchPath);
  return true;
}

void InstallContext::RunInstalledProgram() {
  if (LaunchPath.empty()) return;
  const std::wstring path = ToWide(JoinPath(ToU16(TargetFolder), ToU16(LaunchPath)));
  // It works in its own folder, as its shortcuts start it, not in the one
  // the installer was started from.
  const std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  // No error box: the installer ends right after this, and a box shown here
  // would keep it open for ever behind its closed window. For the same end
  // the start is finished before the call returns, not left to the shell.
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.lpFile = path.c_str();
  info.lpDirectory = folder.c_str();
  info.nShow = SW_SHOW;
  if (ShellExecuteExW(&info)) {
    if (info.hProcess) CloseHandle(info.hProcess);
    return;
  }
  // The shell expands "%NAME%" in a file name, so a folder whose name holds
  // percent signs is not found through it: start the file by its exact path.
  std::wstring command = L"\"" + path + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (CreateProcessW(path.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                     &startup, &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}
