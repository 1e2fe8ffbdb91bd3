#include "loader.h"

#include <shellapi.h>

#include "gbk_text.h"
#include "message_box.h"
#include "runtime_window.h"

namespace rt {

Loader& Loader::Instance() {
  static Loader loader;
  return loader;
}

void Loader::Unregister(RuntimeWindow* window) {
  loaded_.erase(window);
  if (loaded_.empty()) PostQuitMessage(0);
}

bool Loader::LoadModeless(RuntimeWindow& window, RuntimeWindow* owner) {
  if (!window.Create(owner ? owner->hwnd() : nullptr)) return false;
  window.model().Raise({"", Event::Created});
  return true;
}

bool Loader::LoadModal(RuntimeWindow& window, RuntimeWindow* owner) {
  HWND owner_hwnd = owner ? owner->hwnd() : nullptr;
  // The owner is disabled before the window shows: no click reaches it
  // while the modal window is being built and painted.
  if (owner_hwnd) EnableWindow(owner_hwnd, FALSE);
  if (!window.Create(owner_hwnd)) {
    if (owner_hwnd) EnableWindow(owner_hwnd, TRUE);
    return false;
  }
  window.model().Raise({"", Event::Created});
  MSG msg;
  bool quit = false;
  int quit_code = 0;
  while (window.IsAlive()) {
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
      // The program is ending: leave the nested loop and let the outer one
      // see the quit message too.
      quit = true;
      quit_code = static_cast<int>(msg.wParam);
      break;
    }
    if (!IsDialogMessageW(window.hwnd() ? window.hwnd() : msg.hwnd, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (owner_hwnd && IsWindow(owner_hwnd)) {
    EnableWindow(owner_hwnd, TRUE);
    // A window the modal one opened before it went (a report it leads to)
    // keeps the activation; only when none took it does the owner.
    HWND active = GetActiveWindow();
    if (!active || active == owner_hwnd) SetActiveWindow(owner_hwnd);
  }
  if (quit) PostQuitMessage(quit_code);
  return true;
}

int Loader::RunMessageLoop() {
  if (loaded_.empty()) return 0;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    if (loaded_.empty()) break;
  }
  return 0;
}

int ShowMessage(const std::string& text, const std::string& caption, int style, HWND owner) {
  int id = MessageBoxW(owner, zz::GbkToWide(text).c_str(), zz::GbkToWide(BoxCaption(caption)).c_str(),
                       static_cast<UINT>(style));
  return AnswerFromButtonId(id);
}

void FatalError(int code, const std::string& what) {
  MessageBoxW(nullptr, zz::GbkToWide(RuntimeErrorText(code, what)).c_str(), zz::GbkToWide(kRuntimeErrorCaption).c_str(),
              MB_ICONERROR | MB_TASKMODAL);
  ExitProcess(static_cast<UINT>(-1));
}

void ExitProgram(int code) { ExitProcess(static_cast<UINT>(code)); }

std::string ModulePath() {
  std::wstring path(32768, L'\0');
  DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(n);
  return zz::Utf16ToGbk(std::u16string(path.begin(), path.end()));
}

std::string ModuleFolder() {
  std::string path = ModulePath();
  std::size_t last = std::string::npos;
  for (std::size_t i = 0; i < path.size(); i += zz::GbkCharLength(path, i))
    if (path[i] == '\\') last = i;
  return last == std::string::npos ? std::string() : path.substr(0, last);
}

bool StartProgram(const std::string& gbk_path) {
  std::wstring path = zz::GbkToWide(gbk_path);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOASYNC;
  info.lpFile = path.c_str();
  info.nShow = SW_SHOWNORMAL;
  return ShellExecuteExW(&info) != FALSE;
}

}  // namespace rt
