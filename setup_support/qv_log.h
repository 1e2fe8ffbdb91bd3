// The setup library's log: one file a day beside the program while the
// HKLM "SOFTWARE\Vudozuvo" value "debug" is "1" (or logging is forced), and
// an optional log in a named shared-memory section.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "qv_log_format.h"

class CQvLog {
 public:
  static CQvLog& Instance();
  ~CQvLog();
  CQvLog(const CQvLog&) = delete;
  CQvLog& operator=(const CQvLog&) = delete;

  void ForceLog(bool force) { force_.store(force); }
  bool isLog();
  void GetLogFileName(std::wstring& out);

  void WriteLog(LPCWSTR text);
  // Formats as the Windows runtime does: "%s" takes a wide string.
  void WriteLog2(LPCWSTR format, ...);
  void SetMemName(LPCWSTR name, DWORD size);
  void WriteLog3(LPCWSTR format, ...);

 private:
  CQvLog() = default;
  void AppendToFile(const std::wstring& text);
  static std::wstring LogFileName(const QvLogTime& time);

  std::atomic<bool> force_{false};
  std::wstring mem_name_;
  HANDLE section_ = nullptr;
  long long mem_offset_ = 0;
  DWORD mem_size_ = 0;
};

void WriteLog(LPCWSTR text);
