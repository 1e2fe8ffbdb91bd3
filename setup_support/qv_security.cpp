#include "qv_security.h"

#include <sddl.h>
#include <winternl.h>

#include <vector>

#include "qv_handle.h"

namespace {

// System and administrators: full control; users: read and execute; for
// the folder, its folders and its files. "P": nothing from above.
constexpr wchar_t kProtectedFolderSddl[] = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FRFX;;;BU)";

// The binary SID of this process's user; empty when it cannot be read.
std::vector<BYTE> ProcessUserSid() {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return {};
  QvHandle token(raw);
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  if (size == 0) return {};
  std::vector<BYTE> buffer(size);
  if (!GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return {};
  const PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
  if (!IsValidSid(sid)) return {};
  const BYTE* bytes = static_cast<const BYTE*>(sid);
  return std::vector<BYTE>(bytes, bytes + GetLengthSid(sid));
}

// A folder inside the held one, never reached through a link put there.
HANDLE FolderIn(HANDLE parent, const std::wstring& name, ACCESS_MASK access, ULONG disposition,
                PSECURITY_DESCRIPTOR descriptor) {
  const USHORT bytes = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  if (name.empty() || name.size() > 255 || name.find(L'\\') != std::wstring::npos) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  UNICODE_STRING object_name = {bytes, bytes, const_cast<PWSTR>(name.c_str())};
  OBJECT_ATTRIBUTES object;
  InitializeObjectAttributes(&object, &object_name, OBJ_CASE_INSENSITIVE, parent, descriptor);
  IO_STATUS_BLOCK io = {};
  HANDLE opened = nullptr;
  const NTSTATUS status =
      NtCreateFile(&opened, access | SYNCHRONIZE, &object, &io, nullptr, FILE_ATTRIBUTE_NORMAL,
                   FILE_SHARE_READ | FILE_SHARE_WRITE, disposition,
                   FILE_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
  if (status < 0) {
    SetLastError(RtlNtStatusToDosError(status));
    return INVALID_HANDLE_VALUE;
  }
  return opened;
}

}  // namespace

QvProtectedFolderSecurity::QvProtectedFolderSecurity() {
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kProtectedFolderSddl, SDDL_REVISION_1, &descriptor_,
                                                            nullptr))
    descriptor_ = nullptr;
  attributes_.nLength = sizeof attributes_;
  attributes_.lpSecurityDescriptor = descriptor_;
  attributes_.bInheritHandle = FALSE;
}

QvProtectedFolderSecurity::~QvProtectedFolderSecurity() {
  if (descriptor_) LocalFree(descriptor_);
}

bool QvCreateProtectedFolder(const std::wstring& path) {
  QvProtectedFolderSecurity security;
  if (!security.attributes()) return false;
  return CreateDirectoryW(path.c_str(), security.attributes()) != FALSE;
}

HANDLE QvCreateProtectedFolderIn(HANDLE parent, const std::wstring& name) {
  QvProtectedFolderSecurity security;
  if (!security.descriptor()) {
    SetLastError(ERROR_INVALID_SECURITY_DESCR);
    return INVALID_HANDLE_VALUE;
  }
  return FolderIn(parent, name, kQvHeldFolderAccess | FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY, FILE_CREATE,
                  security.descriptor());
}

HANDLE QvOpenFolder(const std::wstring& path, DWORD access) {
  return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                     FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

DWORD QvSearchedAttributes(const std::wstring& path) {
  WIN32_FIND_DATAW found;
  QvFindHandle find(FindFirstFileW(path.c_str(), &found));
  return find.ok() ? found.dwFileAttributes : 0;
}

HANDLE QvOpenFolderIn(HANDLE parent, const std::wstring& name, DWORD access) {
  return FolderIn(parent, name, access, FILE_OPEN, nullptr);
}

QvFolderVerdict QvJudgeSecurity(HANDLE handle, QvFolderPlace place) {
  const SECURITY_INFORMATION wanted = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
  DWORD size = 0;
  GetKernelObjectSecurity(handle, wanted, nullptr, 0, &size);
  if (size == 0) return QvFolderVerdict::kUnreadable;
  // Self-relative, as the portable judgement reads it.
  std::vector<BYTE> descriptor(size);
  if (!GetKernelObjectSecurity(handle, wanted, descriptor.data(), size, &size)) return QvFolderVerdict::kUnreadable;
  const std::vector<BYTE> user = ProcessUserSid();
  return QvJudgeFolderSecurity(descriptor.data(), descriptor.size(), place, user.empty() ? nullptr : user.data(),
                               user.size());
}
