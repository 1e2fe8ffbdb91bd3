// The text forms of the setup library's log: pure functions, so that they
// are tested natively too.
#pragma once

#include <string>

struct QvLogTime {
  int year, month, day, hour, minute, second;
};

// "%d-%02d-%02d %02d:%02d:%02d\t%s\r\n"
std::wstring QvLogLine(const QvLogTime& t, const std::wstring& text);
// "%sQV-%d-%d-%d.log": folder (ending in a backslash), year, month, day.
std::wstring QvLogFileName(const std::wstring& folder, const QvLogTime& t);
// A formatted text is cut to 1023 characters, as the 1024-character buffer
// of the log holds it.
std::wstring QvLogCut(const std::wstring& text);
