// Statistics reports: one HTTP GET per report, sent on a thread of its own
// so that no window waits for the network, and the per-user installation id
// they carry. Nobody learns whether a report arrived.
#pragma once

#include <windows.h>

#include "qv_report_text.h"

// The statistics endpoint, "http://<host>/api.ashx"; the host is a build
// setting.
const wchar_t* QvStatisticsEndpoint();

// Returns at once; the report goes out on a thread of its own. Nothing is
// sent for a missing endpoint or type or an overlong one.
void DoReport(const wchar_t* endpoint, const wchar_t* type, const wchar_t* value);

// out holds at least 23 units. flag != 0: the id kept under HKCU
// "SOFTWARE\Vudozuvo" "UID" (made and kept when there is none fit to use);
// flag 0: a fresh id, the registry untouched.
void CreateUID(wchar_t* out, int flag);

// Waits at most timeout_ms for the reports still on their way, after
// telling them to stop reading; true when none is left. A program that ends
// through ExitProcess calls it first; the C runtime's exit does so by itself
// (for 5 s), before the HTTP client the reports use is torn down, and ends
// the process there when one is still running.
bool WaitReports(DWORD timeout_ms);

// Ends the process with code 0 at once, for an exit whose wait for the
// reports failed: the C runtime's exit would tear down the services a
// blocked report still uses, while ExitProcess ends its thread before
// anything goes.
[[noreturn]] void QvEndUnderRunningReports();

// For the crash filter, which must not allocate once a crash has happened:
// a record made before, and its start. QvStartReport owns the record from
// then on (freed by the report thread, or at once when no thread starts).
StatisticsReport* QvNewReport(const wchar_t* endpoint, const wchar_t* type, const wchar_t* value);
void QvStartReport(StatisticsReport* report);
