// System and file utilities exported by the setup library: Windows version
// and rights, the program folder, files, versions, running programs, the
// single-instance check and named shared memory. Each function stands alone
// and reports failure through its result only.
#pragma once

#include <windows.h>

#include <string>

#include <ctime>

#include "qv_reg.h"         // isWow64
#include "qv_utils_text.h"  // CompVersion, sizes, URLEncode, ExtractPath

int isWin7();
int isWin8();
// out receives one of the short names ("Win7", "XP", ...); always 1.
int GetOsName(LPWSTR out);
int isEnableUAC();
int SetPrivilege(LPCWSTR name, int enable);

void GetCurPath(LPWSTR out);
int CreateFolder(LPCWSTR path);
long long FileSize(LPCWSTR path);
// Local times of last access, last modification and creation; any may be
// null.
int FileTime(LPCWSTR path, tm* access, tm* modify, tm* create);
int isDir(LPCWSTR path);
// True when the file or folder itself is a junction or a symbolic link (the
// listing's view: some systems report a link's target's attributes to
// GetFileAttributesW).
bool QvIsLink(const std::wstring& path);
unsigned long long GetPathUseSpace(LPCWSTR path);
int QvReadFile(LPCWSTR path, void* buffer, DWORD* length);
int QvWriteFile(LPCWSTR path, const void* buffer, DWORD length);
int GetFileVer(LPCWSTR path, LPWSTR out);

// Always 1; with wait set, returns when the started process has ended.
int DoRun(LPCWSTR file, LPCWSTR params, int wait, int show);
int PlayWav(LPCWSTR name, int resource);
// 1: go on; 0: another instance holds the name and was brought forward.
int CheckOneInstance(LPCWSTR name, LPCWSTR text);

HANDLE CreateShareMem(LPCWSTR name, DWORD size);
// 0 when there is no such section or the text with its NUL does not fit at
// that character index.
int WriteShareMem(LPCWSTR name, LPCWSTR text, int index);
// Copies the section's text with its NUL; 0, with out emptied, when it has
// capacity characters or more.
int ReadShareMem(LPCWSTR name, LPWSTR out, DWORD capacity = MAX_PATH);
