// Who may change the folders the setup programs make, and whom they trust
// as the owner of a folder they find. An installation outside Program Files,
// or a folder below the common documents, would otherwise take whatever its
// parent lets every user of the PC do there: replace a program that runs
// elevated, or alter the only copy of the books.
#pragma once

#include <windows.h>

#include <string>

#include "qv_folder_rights.h"

// The descriptor of Program Files' own folders: full control for the system
// and the administrators, read and execute for the users of the PC, nothing
// inherited from above; what is made below inherits it.
class QvProtectedFolderSecurity {
 public:
  QvProtectedFolderSecurity();
  ~QvProtectedFolderSecurity();
  QvProtectedFolderSecurity(const QvProtectedFolderSecurity&) = delete;
  QvProtectedFolderSecurity& operator=(const QvProtectedFolderSecurity&) = delete;

  // Null when the descriptor could not be built.
  PSECURITY_DESCRIPTOR descriptor() const { return descriptor_; }
  SECURITY_ATTRIBUTES* attributes() { return descriptor_ ? &attributes_ : nullptr; }

 private:
  PSECURITY_DESCRIPTOR descriptor_ = nullptr;
  SECURITY_ATTRIBUTES attributes_ = {};
};

// Makes the folder with that descriptor, as CreateDirectoryW does; never
// without it.
bool QvCreateProtectedFolder(const std::wstring& path);

// Enough to list a folder, read its security and take part in sharing: an
// open that only reads attributes holds nothing.
constexpr DWORD kQvHeldFolderAccess = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | READ_CONTROL | SYNCHRONIZE;

// Opens the folder at the path itself, not what a link there leads to, with
// `access`, shared for reading and writing but not for deletion: while the
// handle is open no one can rename or remove it. INVALID_HANDLE_VALUE with
// the last error set when it cannot.
HANDLE QvOpenFolder(const std::wstring& path, DWORD access);

// What is at the path as a search sees it, 0 when nothing is: Wine follows
// a symbolic link of its host even when a handle is opened not to, and
// says what it is only in a search.
DWORD QvSearchedAttributes(const std::wstring& path);

// Makes the folder `name` inside the folder the handle holds, with that
// descriptor, and opens it in the same step, so that nothing can be put in
// its place between the two: a handle for listing, adding to and reading
// the security of it, shared for reading and writing but not for deletion.
// INVALID_HANDLE_VALUE with the last error set when it cannot; the error is
// ERROR_ALREADY_EXISTS when the name is taken.
HANDLE QvCreateProtectedFolderIn(HANDLE parent, const std::wstring& name);

// Opens the folder `name` inside the folder the handle holds, by that name
// and not through a link put there, with `access`, shared for reading and
// writing but not for deletion: while the handle is open no one can rename
// or remove it. INVALID_HANDLE_VALUE with the last error set when it
// cannot: ERROR_FILE_NOT_FOUND when nothing is there, ERROR_DIRECTORY when
// a file is.
HANDLE QvOpenFolderIn(HANDLE parent, const std::wstring& name, DWORD access);

// Who owns the folder or file the handle holds (opened with READ_CONTROL)
// and who else may change it, weighed for its place; kUnreadable when its
// security cannot be read.
QvFolderVerdict QvJudgeSecurity(HANDLE handle, QvFolderPlace place);
