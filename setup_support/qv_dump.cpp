#include "qv_dump.h"

#include <dbghelp.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <utility>

#include "qv_app.h"
#include "qv_msgbox.h"
#include "qv_report.h"

namespace {

// The access masks are spelt out: newer SDK headers widen PROCESS_ALL_ACCESS,
// which older systems refuse outright.
constexpr DWORD kProcessAllAccess = 0x1F0FFF;
constexpr DWORD kFileAllAccess = 0x1F01FF;

using MiniDumpWriteDumpFn = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE,
                                          PMINIDUMP_EXCEPTION_INFORMATION,
                                          PMINIDUMP_USER_STREAM_INFORMATION,
                                          PMINIDUMP_CALLBACK_INFORMATION);

// Set by every default construction, read by the filter. A plain pointer so
// that it is ready at load time without running any code.
CqvDump* g_current = nullptr;

// Made before any crash, so the filter loads and allocates nothing: the
// dump writer, and the crash report for the current handler's type.
MiniDumpWriteDumpFn g_writer = nullptr;
StatisticsReport* g_crash_report = nullptr;

// Id of the thread inside the filter, 0 while none is.
volatile LONG g_filter_thread = 0;

struct Hooks {
  CqvDump::ReportHook report;
};

Hooks& CrashHooks() {
  static Hooks hooks;
  return hooks;
}

// The program's own folder is the one place the user will look for the dump;
// a truncated module path would put it somewhere else, so none is written.
bool DumpPath(wchar_t* out, size_t capacity) {
  wchar_t program[MAX_PATH + 1] = {};
  DWORD n = GetModuleFileNameW(nullptr, program, MAX_PATH + 1);
  if (n == 0 || n > MAX_PATH) return false;
  return QvDumpFileName(program, GetTickCount(), out, capacity);
}

MiniDumpWriteDumpFn DumpWriter() {
  // Only the system's copy: a dbghelp.dll planted beside the installer must
  // not be loaded into a crashing setup program.
  wchar_t path[MAX_PATH + 16] = {};
  UINT n = GetSystemDirectoryW(path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return nullptr;
  std::wcscat(path, L"\\dbghelp.dll");
  HMODULE module = LoadLibraryW(path);
  if (!module) return nullptr;
  return reinterpret_cast<MiniDumpWriteDumpFn>(
      reinterpret_cast<void*>(GetProcAddress(module, "MiniDumpWriteDump")));
}

void PrepareCrashWork(const std::wstring& report_type) {
  if (!g_writer) g_writer = DumpWriter();
  StatisticsReport* old = g_crash_report;
  g_crash_report = QvNewReport(QvStatisticsEndpoint(), report_type.c_str(), L"");
  std::free(old);
}

void DropCrashReport() {
  std::free(g_crash_report);
  g_crash_report = nullptr;
}

// The path is worked out before the process is opened, as the steps have
// always been ordered.
void WriteDump(EXCEPTION_POINTERS* pointers) {
  static wchar_t path[MAX_PATH + 32];
  if (!DumpPath(path, sizeof path / sizeof path[0])) return;
  // Without the writer an empty file would only look like a dump.
  MiniDumpWriteDumpFn write = g_writer;
  if (!write) return;
  HANDLE process = OpenProcess(kProcessAllAccess, FALSE, GetCurrentProcessId());
  if (!process) return;
  HANDLE file = CreateFileW(path, kFileAllAccess, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    MINIDUMP_EXCEPTION_INFORMATION info = {};
    info.ThreadId = GetCurrentThreadId();
    info.ExceptionPointers = pointers;
    info.ClientPointers = TRUE;
    write(process, GetCurrentProcessId(), file, MiniDumpNormal, &info, nullptr, nullptr);
    CloseHandle(file);
  }
  CloseHandle(process);
}

// The crash box over the main window, with the crash picture; its
// count-down closes it when nobody is there to press OK.
void ShowCrashBox() {
  CQvApp& app = CQvApp::Instance();
  CQvMsgBox box;
  box.picture_id = kQvMsgBoxCrashPicture;
  box.Show(app.GetAppName(), app.GetMainWnd());
}

}  // namespace

CqvDump& CqvDump::Instance() {
  static CqvDump instance;
  return instance;
}

CqvDump::CqvDump() {
  previous_ = SetUnhandledExceptionFilter(&CqvDump::ExceptionFilter);
  g_current = this;
  PrepareCrashWork(report_type_);
}

CqvDump::CqvDump(const CqvDump& other)
    : previous_(other.previous_), app_name_(other.app_name_), report_type_(other.report_type_) {}

CqvDump& CqvDump::operator=(const CqvDump& other) {
  previous_ = other.previous_;
  app_name_ = other.app_name_;
  report_type_ = other.report_type_;
  if (g_current == this) PrepareCrashWork(report_type_);
  return *this;
}

CqvDump::~CqvDump() {
  SetUnhandledExceptionFilter(previous_);
  // The filter may still be installed by another object; it must not read
  // the strings of one that is gone.
  if (g_current == this) {
    g_current = nullptr;
    DropCrashReport();
  }
}

void CqvDump::Install(const wchar_t* app_name, const wchar_t* report_type) {
  app_name_ = app_name ? app_name : L"";
  report_type_ = report_type ? report_type : L"";
  if (g_current == this) PrepareCrashWork(report_type_);
}

void CqvDump::SetReportHook(ReportHook hook) { CrashHooks().report = std::move(hook); }

const CqvDump* CqvDump::Current() { return g_current; }

LONG WINAPI CqvDump::ExceptionFilter(EXCEPTION_POINTERS* pointers) {
  const LONG me = static_cast<LONG>(GetCurrentThreadId());
  const LONG owner = InterlockedCompareExchange(&g_filter_thread, me, 0);
  // A fault inside the filter itself would come straight back here: end now.
  if (owner == me) return EXCEPTION_EXECUTE_HANDLER;
  // Another thread is already handling a crash and its return ends the
  // process; a second dump and box would only race it for the same file.
  if (owner != 0) {
    for (;;) Sleep(INFINITE);
  }

  Hooks& hooks = CrashHooks();
  // The report thread owns the record from here on.
  StatisticsReport* report = g_crash_report;
  g_crash_report = nullptr;
  QvStartReport(report);
  try {
    const CqvDump* current = g_current;
    if (hooks.report) hooks.report(current ? current->report_type_.c_str() : L"");
  } catch (...) {
  }
  WriteDump(pointers);
  try {
    ShowCrashBox();
  } catch (...) {
  }
  return EXCEPTION_EXECUTE_HANDLER;
}

void InstallDump(const wchar_t* app_name, const wchar_t* report_type) {
  CqvDump::Instance().Install(app_name, report_type);
}

bool QvDumpFileName(const wchar_t* program_path, DWORD tick, wchar_t* out, size_t capacity) {
  if (!out || capacity == 0) return false;
  out[0] = L'\0';
  if (!program_path) return false;
  // "%ls" reads a wide string under both the C99 and the msvcrt formatter.
  int n = _snwprintf(out, capacity, L"%ls_%d.dmp", program_path, static_cast<int>(tick));
  if (n < 0 || static_cast<size_t>(n) >= capacity) {
    out[0] = L'\0';
    return false;
  }
  return true;
}
