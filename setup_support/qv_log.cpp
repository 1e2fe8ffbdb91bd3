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
  if (force_) return true;
  wchar_t value[300] = {};
  if (!CQvReg::Instance().GetRegInfo(HKEY_LOCAL_MACHINE, kSwitchKey, L"debug", 0, value) &&
      isWow64())
    CQvReg::Instance().GetRegInfo(HKEY_LOCAL_MACHINE, kSwitchKey, L"debug", 1, value);
  return std::wcscmp(value, L"1") == 0;
}

void CQvLog::GetLogFileName(std::wstring& out) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  folder.erase(folder.find_last_of(L'\\') + 1);
  out = QvLogFileName(folder, Now());
}

void CQvLog::AppendToFile(const std::wstring& text) {
  std::wstring name;
  GetLogFileName(name);
  FILE* f = _wfopen(name.c_str(), L"ab");
  if (!f) return;
  std::wstring line = QvLogLine(Now(), text);
  int n = WideCharToMultiByte(CP_THREAD_ACP, 0, line.c_str(), static_cast<int>(line.size()),
                              nullptr, 0, nullptr, nullptr);
  if (n > 0) {
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_THREAD_ACP, 0, line.c_str(), static_cast<int>(line.size()),
                        bytes.data(), n, nullptr, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
  }
  std::fclose(f);
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
