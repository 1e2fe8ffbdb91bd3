// Registry access with an explicit view, change monitoring on a thread of
// its own, and the program's autorun entry.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

typedef void (*QvRegCallback)(void* param);

class CQvReg {
 public:
  static CQvReg& Instance();

  // out must hold 131 characters; values of more than 260 bytes are refused.
  int GetRegInfo(HKEY root, LPCWSTR key, LPCWSTR name, int wow64_64, LPWSTR out);
  int SetRegInfo(HKEY root, LPCWSTR key, LPCWSTR name, int wow64_64, LPCWSTR text);
  // Watches the key in the calling thread until a later StopMonitor; the
  // callback runs once at the start and once per change.
  int MonitorReg(HKEY root, LPCWSTR key, int wow64_64, QvRegCallback callback, void* param);
  void StartMonitor(HKEY root, LPCWSTR key, int wow64_64, QvRegCallback callback, void* param);
  void StopMonitor();
  int SetAutoRun(LPCWSTR name, int on, LPCWSTR path);

 private:
  static DWORD WINAPI MonitorThread(LPVOID request);
  int Monitor(HKEY root, LPCWSTR key, int wow64_64, QvRegCallback callback, void* param,
              unsigned generation);

  // Every StopMonitor starts a new generation; a monitor runs only while the
  // generation it was started in is current, so a stop followed at once by
  // a start does not revive the stopped monitors.
  std::atomic<unsigned> generation_{0};
};

int GetRegInfo(HKEY root, LPCWSTR key, LPCWSTR name, int wow64_64, LPWSTR out);
// A REG_SZ value read whole, however long (GetRegInfo's buffer holds 130
// characters), in the default view; false when it is missing or no text.
bool QvReadRegText(HKEY root, const std::wstring& key, LPCWSTR name, std::wstring* out);
int SetRegInfo(HKEY root, LPCWSTR key, LPCWSTR name, int wow64_64, LPCWSTR text);
void StartMonitor(HKEY root, LPCWSTR key, int wow64_64, QvRegCallback callback, void* param);
void StopMonitor();
int SetAutoRun(LPCWSTR name, int on, LPCWSTR path);

// True when a 32-bit process runs on 64-bit Windows.
BOOL isWow64();
