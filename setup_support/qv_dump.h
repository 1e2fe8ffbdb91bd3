// The setup programs' crash handler: an unhandled-exception filter that
// reports the crash, writes a minidump beside the program and shows the
// crash box before the process ends.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

class CqvDump {
 public:
  // The crash report goes to the statistics service by itself; the report
  // hook only watches it go (tests). An unset hook is skipped.
  using ReportHook = std::function<void(const wchar_t* report_type)>;

  static CqvDump& Instance();

  // Installs the filter and becomes the handler the filter reads.
  CqvDump();
  // Copies install nothing and leave the current handler alone.
  CqvDump(const CqvDump& other);
  CqvDump& operator=(const CqvDump& other);
  ~CqvDump();

  void Install(const wchar_t* app_name, const wchar_t* report_type);

  static LONG WINAPI ExceptionFilter(EXCEPTION_POINTERS* pointers);

  static void SetReportHook(ReportHook hook);
  static const CqvDump* Current();

  const std::wstring& AppName() const { return app_name_; }
  const std::wstring& ReportType() const { return report_type_; }
  LPTOP_LEVEL_EXCEPTION_FILTER PreviousFilter() const { return previous_; }

 private:
  LPTOP_LEVEL_EXCEPTION_FILTER previous_ = nullptr;
  std::wstring app_name_;
  std::wstring report_type_;
};

void InstallDump(const wchar_t* app_name, const wchar_t* report_type);

// "<program path>_<tick as signed decimal>.dmp" into out (capacity in
// characters); false, with out emptied, when it does not fit.
bool QvDumpFileName(const wchar_t* program_path, DWORD tick, wchar_t* out, size_t capacity);
