#include "qv_security.h"

#include <aclapi.h>
#include <sddl.h>
#include <winternl.h>

#include <memory>
#include <vector>

#include "qv_handle.h"

namespace {

// System and administrators: full control; users: read and execute; for
// the folder, its folders and its files. "P": nothing from above.
constexpr wchar_t kProtectedFolderSddl[] = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FRFX;;;BU)";

struct LocalFreer {
  void operator()(void* memory) const { LocalFree(memory); }
};

bool IsWellKnown(PSID sid, WELL_KNOWN_SID_TYPE type) { return sid && IsWellKnownSid(sid, type); }

bool IsProcessUser(PSID sid) {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
  QvHandle token(raw);
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  if (size == 0) return false;
  std::vector<BYTE> buffer(size);
  if (!GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return false;
  return EqualSid(sid, reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid) != FALSE;
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
  const USHORT bytes = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  if (!security.descriptor() || name.empty() || name.size() > 255 || name.find(L'\\') != std::wstring::npos) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  UNICODE_STRING object_name = {bytes, bytes, const_cast<PWSTR>(name.c_str())};
  OBJECT_ATTRIBUTES object;
  InitializeObjectAttributes(&object, &object_name, OBJ_CASE_INSENSITIVE, parent, security.descriptor());
  IO_STATUS_BLOCK io = {};
  HANDLE made = nullptr;
  const NTSTATUS status = NtCreateFile(
      &made, FILE_LIST_DIRECTORY | FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_READ_ATTRIBUTES | READ_CONTROL | SYNCHRONIZE,
      &object, &io, nullptr, FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_CREATE,
      FILE_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
  if (status < 0) {
    SetLastError(RtlNtStatusToDosError(status));
    return INVALID_HANDLE_VALUE;
  }
  return made;
}

DWORD QvProtectFolder(HANDLE folder) {
  QvProtectedFolderSecurity security;
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  if (!security.descriptor() || !GetSecurityDescriptorDacl(security.descriptor(), &present, &dacl, &defaulted) ||
      !present)
    return ERROR_INVALID_SECURITY_DESCR;
  BYTE admins[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof admins;
  if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, admins, &size)) return GetLastError();
  const SECURITY_INFORMATION dacl_only = DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION;
  const DWORD error =
      SetSecurityInfo(folder, SE_FILE_OBJECT, dacl_only | OWNER_SECURITY_INFORMATION, admins, nullptr, dacl, nullptr);
  // Without an administrator's token the owner cannot be named; the rights
  // still go.
  if (error == ERROR_INVALID_OWNER || error == ERROR_ACCESS_DENIED || error == ERROR_PRIVILEGE_NOT_HELD)
    return SetSecurityInfo(folder, SE_FILE_OBJECT, dacl_only, nullptr, nullptr, dacl, nullptr);
  return error;
}

bool QvHasTrustedOwner(HANDLE handle) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR raw = nullptr;
  if (GetSecurityInfo(handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr, &raw) !=
      ERROR_SUCCESS)
    return false;
  std::unique_ptr<void, LocalFreer> descriptor(raw);
  return IsWellKnown(owner, WinBuiltinAdministratorsSid) || IsWellKnown(owner, WinLocalSystemSid) ||
         (owner && IsProcessUser(owner));
}
