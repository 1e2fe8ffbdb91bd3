// SkinH_EL.dll: the exports, and the pinning that keeps the library loaded
// once it has subclassed windows.
#include <windows.h>

#include <memory>

#include "../skin_api.h"
#include "desktop_frame.h"
#include "hooks.h"
#include "palette.h"
#include "skinned_window.h"

namespace zz::skin {
namespace {

HINSTANCE g_module = nullptr;

// Window procedures and hooks point into this library: unloading it while
// they exist would crash the program, so the first attach pins it.
void PinLibrary() {
  HMODULE pinned = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                     reinterpret_cast<LPCWSTR>(&PinLibrary), &pinned);
}

int Attach(const void* data, int size, const char* key, int reserved1, int reserved2, int reserved3) {
  if (size <= 0 || (key != nullptr && key[0] != '\0') || reserved1 != 0 || reserved2 != 0 || reserved3 != 0) {
    return 0;
  }
  Skin skin;
  if (ParseSkin(data, static_cast<std::size_t>(size), &skin) != ParseResult::Ok) return 0;

  PinLibrary();
  HookProcessThreads(g_module);
  const auto current = CurrentPalette();
  if (current && current->skin() == skin) {
    // Every window of the program attaches again as it opens: nothing to
    // redo when the skin is the same.
    return 1;
  }
  SetCurrentPalette(std::make_shared<const Palette>(skin));
  SkinAndRefreshExistingWindows();
  return 1;
}

BOOL CALLBACK ApplyFrame(HWND hwnd, LPARAM) {
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process == GetCurrentProcessId()) ApplyFrameSetting(hwnd);
  return TRUE;
}

int SetAero(int on) {
  if (on != 0 && on != 1) return 0;
  if (!CompositionAvailable()) return 0;
  SetGlassWanted(on == 1);
  EnumWindows(ApplyFrame, 0);
  return 1;
}

}  // namespace
}  // namespace zz::skin

extern "C" {

int __stdcall SkinH_AttachRes(const void* data, int size, const char* key, int reserved1,
                                                    int reserved2, int reserved3) {
  return zz::skin::Attach(data, size, key, reserved1, reserved2, reserved3);
}

int __stdcall SkinH_SetAero(int on) { return zz::skin::SetAero(on); }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) zz::skin::g_module = instance;
  return TRUE;
}

}  // extern "C"

// The exports must have the types programs bind them with (skin_api.h).
[[maybe_unused]] static const SkinAttachResFn kAttachType = &SkinH_AttachRes;
[[maybe_unused]] static const SkinSetAeroFn kAeroType = &SkinH_SetAero;
