// Whether anyone but the system, the administrators, the installer of the
// system's own files and the user running a setup program may change a
// folder (or a file), read from its security descriptor in the
// self-relative form the system hands out. The setup programs run
// elevated: what another user of the PC may change below or above what
// they install, that user may make them run. No Windows API here, so the
// rules are tested on every platform.
#pragma once

#include <cstddef>
#include <cstdint>

// Where a folder lies on the way to what the setup programs write, and so
// which rights no one else may hold on it.
enum class QvFolderPlace {
  // What is written into (or a file of ours): any right beyond reading and
  // running lets that one put a program or a library there.
  kTarget,
  // A folder above it: deleting a child, or changing who may, lets that one
  // rename the folder below away and put their own in its place; so does
  // deleting the folder itself.
  kAbove,
  // A drive's root: a root cannot be deleted, so DELETE means nothing there.
  kRoot,
};

enum class QvFolderVerdict {
  kGuarded = 0,          // a trusted owner, and no one else holds a forbidden right
  kUnreadable = 1,       // not a whole descriptor with an owner
  kForeignOwner = 2,     // owned by someone else, who may grant themselves anything
  kNoDacl = 3,           // no DACL, or a null one: everyone may do everything
  kOthersMayChange = 4,  // an entry gives someone else a forbidden right
};

// user_sid: the binary SID of the process's user, trusted with the system,
// the administrators and TrustedInstaller. Deny entries are not weighed
// (which only errs towards refusing), nor are inherit-only ones, which do
// not apply to the folder itself; generic rights count as what they mean
// for files.
QvFolderVerdict QvJudgeFolderSecurity(const std::uint8_t* descriptor, std::size_t size, QvFolderPlace place,
                                      const std::uint8_t* user_sid, std::size_t user_sid_size);
