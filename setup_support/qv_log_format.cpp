#include "qv_log_format.h"

namespace {

std::wstring Number(int value, int width) {
  std::wstring digits = std::to_wstring(value < 0 ? -value : value);
  while (static_cast<int>(digits.size()) < width) digits.insert(digits.begin(), L'0');
  return (value < 0 ? L"-" : L"") + digits;
}

}  // namespace

std::wstring QvLogLine(const QvLogTime& t, const std::wstring& text) {
  return Number(t.year, 0) + L"-" + Number(t.month, 2) + L"-" + Number(t.day, 2) + L" " +
         Number(t.hour, 2) + L":" + Number(t.minute, 2) + L":" + Number(t.second, 2) + L"\t" +
         text + L"\r\n";
}

std::wstring QvLogFileName(const std::wstring& folder, const QvLogTime& t) {
  return folder + L"QV-" + Number(t.year, 0) + L"-" + Number(t.month, 0) + L"-" +
         Number(t.day, 0) + L".log";
}

std::wstring QvLogCut(const std::wstring& text) {
  return text.size() > 1023 ? text.substr(0, 1023) : text;
}
