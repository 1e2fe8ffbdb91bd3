#include "hooks.h"

#include <windows.h>
#include <tlhelp32.h>

#include <mutex>
#include <set>

#include "palette.h"
#include "skinned_window.h"

namespace zz::skin {
namespace {

std::mutex g_mutex;
std::set<DWORD> g_hooked_threads;

LRESULT CALLBACK OnCbt(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_CREATEWND && CurrentPalette()) {
    auto hwnd = reinterpret_cast<HWND>(wparam);
    const CREATESTRUCTW* create = reinterpret_cast<CBT_CREATEWNDW*>(lparam)->lpcs;
    wchar_t class_name[64] = {};
    if (create && create->hwndParent != HWND_MESSAGE && GetClassNameW(hwnd, class_name, 64)) {
      SkinWindow(hwnd, ClassifyWindow(class_name, create->style), false);
    }
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

void HookThread(HINSTANCE library, DWORD thread) {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (g_hooked_threads.count(thread)) return;
  // The hooks stay for the life of the process, as the skin does.
  if (SetWindowsHookExW(WH_CBT, OnCbt, library, thread)) g_hooked_threads.insert(thread);
}

BOOL CALLBACK OnTopLevel(HWND hwnd, LPARAM refresh) {
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process != GetCurrentProcessId()) return TRUE;
  if (refresh) RefreshTree(hwnd);
  else SkinExistingTree(hwnd);
  return TRUE;
}

}  // namespace

void HookProcessThreads(HINSTANCE library) {
  HookThread(library, GetCurrentThreadId());
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) HookThread(library, entry.th32ThreadID);
  }
  CloseHandle(snapshot);
}

void SkinAndRefreshExistingWindows() {
  EnumWindows(OnTopLevel, 0);
  EnumWindows(OnTopLevel, 1);
}

}  // namespace zz::skin
