#include "qv_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <cwchar>

#include "qv_log_format.h"
#include "qv_reg.h"

namespace {

const wchar_t kSwitchKey[] = L"SOFTWARE\\Vudozuvo";

QvLogTime Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

std::wstring Format(LPCWSTR format, va_list args) {
  wchar_t buf[1024] = {};
  // msvcrt's formatter: "%s" in a wide format is a wide string there.
  _vsnwprintf(buf, 1023, format, args);
  buf[1023] = L'\0';
  return QvLogCut(buf);
}

}  // namespace

CQvLog& CQvLog::Instance() {
  static CQvLog instance;
  return instance;
}

CQvLog::~CQvLog() {
  if (section_) CloseHandle(section_);
}

bool CQvLog::isLog() {
  if (force_.load()) return true;
  wchar_t value[300] = {};
  if (!CQvReg::Instance().GetRegInfo(HKEY_LOCAL_MACHINE, kSwitchKey, L"debug", 0, value) &&
      isWow64())
    CQvReg::Instance().GetRegInfo(HKEY_LOCAL_MACHINE, kSwitchKey, L"debug", 1, value);
  return std::wcscmp(value, L"1") == 0;
}

void CQvLog::GetLogFileName(std::wstring& out) { out = LogFileName(Now()); }

std::wstring CQvLog::LogFileName(const QvLogTime& time) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  folder.erase(folder.find_last_of(L'\\') + 1);
  return QvLogFileName(folder, time);
}

void CQvLog::AppendToFile(const std::wstring& text) {
  // One reading of the clock: a line written at midnight goes to the file
  // of the day its time stamp names.
  const QvLogTime now = Now();
  std::wstring line = QvLogLine(now, text);
  int n = WideCharToMultiByte(CP_THREAD_ACP, 0, line.c_str(), static_cast<int>(line.size()),
                              nullptr, 0, nullptr, nullptr);
  if (n <= 0) return;
  std::string bytes(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_THREAD_ACP, 0, line.c_str(), static_cast<int>(line.size()), bytes.data(),
                      n, nullptr, nullptr);
  // Append-only access: the system puts each write at the end of the file,
  // so lines of two writers follow each other instead of overwriting.
  HANDLE file = CreateFileW(LogFileName(now).c_str(), FILE_APPEND_DATA,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

void CQvLog::WriteLog(LPCWSTR text) {
  if (!text || !isLog()) return;
  AppendToFile(text);
}

void CQvLog::WriteLog2(LPCWSTR format, ...) {
  if (!format || !isLog()) return;
  va_list args;
  va_start(args, format);
  std::wstring text = Format(format, args);
  va_end(args);
  AppendToFile(text);
}

void CQvLog::SetMemName(LPCWSTR name, DWORD size) {
  mem_name_ = name ? name : L"";
  mem_size_ = size;
  if (section_) CloseHandle(section_);
  section_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size,
                                mem_name_.c_str());
}

void CQvLog::WriteLog3(LPCWSTR format, ...) {
  if (!format) return;
  va_list args;
  va_start(args, format);
  std::wstring line = QvLogLine(Now(), Format(format, args));
  va_end(args);
  long long end_bytes = (mem_offset_ + static_cast<long long>(line.size()) + 1) * 2;
  HANDLE section = mem_name_.empty()
                       ? nullptr
                       : OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, mem_name_.c_str());
  if (section) {
    // Bounded by the size this process gave the section and by the view
    // actually mapped, whichever is smaller.
    void* view = MapViewOfFile(section, FILE_MAP_ALL_ACCESS, 0, 0, 0);
    MEMORY_BASIC_INFORMATION info{};
    if (view && VirtualQuery(view, &info, sizeof info) &&
        end_bytes <= static_cast<long long>(mem_size_) &&
        end_bytes <= static_cast<long long>(info.RegionSize)) {
      std::memcpy(static_cast<wchar_t*>(view) + mem_offset_, line.c_str(),
                  (line.size() + 1) * sizeof(wchar_t));
    }
    if (view) UnmapViewOfFile(view);
    CloseHandle(section);
  }
  mem_offset_ += static_cast<long long>(line.size());
}

void WriteLog(LPCWSTR text) { CQvLog::Instance().WriteLog(text); }
