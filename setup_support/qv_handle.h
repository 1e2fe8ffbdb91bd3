// Owners of the kernel handles the library opens and closes in one scope.
#pragma once

#include <windows.h>

// A file handle from CreateFileW: INVALID_HANDLE_VALUE means none.
class QvFileHandle {
 public:
  explicit QvFileHandle(HANDLE handle) : handle_(handle) {}
  ~QvFileHandle() {
    if (ok()) CloseHandle(handle_);
  }
  QvFileHandle(const QvFileHandle&) = delete;
  QvFileHandle& operator=(const QvFileHandle&) = delete;
  bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// A search handle from FindFirstFileW: INVALID_HANDLE_VALUE means none.
class QvFindHandle {
 public:
  explicit QvFindHandle(HANDLE handle) : handle_(handle) {}
  ~QvFindHandle() {
    if (ok()) FindClose(handle_);
  }
  QvFindHandle(const QvFindHandle&) = delete;
  QvFindHandle& operator=(const QvFindHandle&) = delete;
  bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// A kernel handle for which NULL means none: processes, snapshots taken
// (once checked), events.
class QvHandle {
 public:
  explicit QvHandle(HANDLE handle) : handle_(handle) {}
  ~QvHandle() {
    if (handle_) CloseHandle(handle_);
  }
  QvHandle(const QvHandle&) = delete;
  QvHandle& operator=(const QvHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};
