#include "desktop_frame.h"

#include <atomic>
#include <cwchar>

namespace zz::skin {
namespace {

using IsCompositionEnabledFn = HRESULT(WINAPI*)(BOOL*);
using SetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);

// Values of the desktop window manager's interface.
constexpr DWORD kNcRenderingPolicy = 2;
constexpr DWORD kPolicyUseWindowStyle = 0;
constexpr DWORD kPolicyEnabled = 2;
constexpr DWORD kBorderColor = 34;
constexpr DWORD kCaptionColor = 35;
constexpr DWORD kTextColor = 36;

std::atomic<bool> g_glass{false};

template <class Function>
Function Export(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

struct Dwm {
  IsCompositionEnabledFn is_composition_enabled = nullptr;
  SetWindowAttributeFn set_window_attribute = nullptr;
};

// The system's copy by full path: a bare name would look in the program's
// folder first.
HMODULE LoadDwm() {
  wchar_t path[MAX_PATH + 16] = {};
  UINT n = GetSystemDirectoryW(path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return nullptr;
  wcscat(path, L"\\dwmapi.dll");
  return LoadLibraryW(path);
}

const Dwm& Api() {
  static const Dwm api = [] {
    Dwm dwm;
    if (HMODULE module = LoadDwm()) {
      dwm.is_composition_enabled = Export<IsCompositionEnabledFn>(module, "DwmIsCompositionEnabled");
      dwm.set_window_attribute = Export<SetWindowAttributeFn>(module, "DwmSetWindowAttribute");
    }
    return dwm;
  }();
  return api;
}

}  // namespace

bool GlassWanted() { return g_glass; }
void SetGlassWanted(bool wanted) { g_glass = wanted; }

bool CompositionAvailable() {
  const Dwm& dwm = Api();
  BOOL enabled = FALSE;
  return dwm.is_composition_enabled && dwm.set_window_attribute &&
         SUCCEEDED(dwm.is_composition_enabled(&enabled)) && enabled;
}

void ApplyDesktopFrame(HWND hwnd, bool glass, COLORREF caption, COLORREF caption_text, COLORREF border) {
  if (!CompositionAvailable()) return;
  const Dwm& dwm = Api();
  const DWORD policy = glass ? kPolicyEnabled : kPolicyUseWindowStyle;
  dwm.set_window_attribute(hwnd, kNcRenderingPolicy, &policy, sizeof policy);
  // Caption colours exist on newer systems only; elsewhere these fail and
  // change nothing.
  dwm.set_window_attribute(hwnd, kCaptionColor, &caption, sizeof caption);
  dwm.set_window_attribute(hwnd, kTextColor, &caption_text, sizeof caption_text);
  dwm.set_window_attribute(hwnd, kBorderColor, &border, sizeof border);
}

}  // namespace zz::skin
