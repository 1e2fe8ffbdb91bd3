// Shell integration exported by the setup library: special folders,
// shortcuts, the icon cache, URL protocols, the notification-area icon, the
// clipboard, the program's own resources and the common dialogs. Each
// function stands alone, shows nothing and reports failure through its
// result only. Path buffers hold MAX_PATH characters unless a size is passed.
#pragma once

#include <windows.h>
#include <objidl.h>

// Special folders; none of them is created when it does not exist.
int GetDesktopPath(LPWSTR out);
int GetStartMenuPath(LPWSTR out);
int GetProgramsPath(LPWSTR out);
// The roaming application data's quick-launch folder, or its pinned task-bar
// folder when pinned is set; always 1.
int GetQuickLaunchPath(LPWSTR out, int pinned);
int GetProgramFilePath(LPWSTR out);

// These three expect the calling thread's component system initialised.
// Writes "folder\name.lnk"; without a target it links to the running program.
int CreateShortcut(LPCWSTR folder, LPCWSTR name, LPCWSTR target, LPCWSTR icon, WORD hotkey,
                   LPCWSTR description, int show);
int CreateUrlShortcut(LPCWSTR path, LPCWSTR url);
int SetShortcutIcon(LPCWSTR path, LPCWSTR icon);
// Initialises the component system itself. The stored target, environment
// variables left as they are; the result is an HRESULT, negative on failure.
int LnkToRealPath(LPCWSTR path, LPWSTR out);

void RefreshIconCache();
// Registers name: as a URL protocol started by the program folder's exe.
void RegProtocol(LPCWSTR name, LPCWSTR exe);

// One notification-area icon per window (its id is always 0); each returns
// the shell's answer. Texts longer than their fields are cut.
int ShowTray(HWND window, HICON icon, LPCWSTR tip, UINT callback_message);
int DelTray(HWND window);
int SetIcon(HWND window, HICON icon);
int SetTip(HWND window, LPCWSTR tip);
int ShowBalloon(HWND window, LPCWSTR title, LPCWSTR text, UINT timeout_ms);

int SetClipboard(LPCWSTR text);
// Copies at most capacity - 1 characters and a NUL; with no text on the
// clipboard out is left as it was and the result is still 1.
int GetClipboard(LPWSTR out, DWORD capacity);

// Resources of the running program's own module.
int QvResSize(WORD id, LPCWSTR type);
int QvResSave(WORD id, LPCWSTR type, LPCWSTR path);
// buffer holds QvResSize(id, type) bytes.
int QvResGetBuff(WORD id, LPCWSTR type, void* buffer);
// A stream on a copy of the bytes; the caller releases it. Null when the
// resource is missing.
IStream* QvResGetStream(WORD id, LPCWSTR type);

// Each returns 1 when the user confirmed, 0 when cancelled.
int ShowSelDir(LPWSTR out, HWND owner);
// file carries the starting name in and the chosen file(s) out.
int ShowOpenFileDlg(LPWSTR file, DWORD size, HWND owner, LPCWSTR filter, LPCWSTR default_ext,
                    int multiple);
int ShowSaveFileDlg(LPWSTR out, HWND owner, LPCWSTR default_ext);
