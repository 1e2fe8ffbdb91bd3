// Loading windows, the message loop, message boxes and the end of the
// program: the runtime's process-wide commands.
#pragma once

#include <windows.h>

#include <set>
#include <string>

namespace rt {

class RuntimeWindow;

class Loader {
 public:
  static Loader& Instance();

  // Creates the window, raises its Created event (the window exists by then,
  // so a handler may destroy it) and, for a modal load, runs a nested loop
  // until the window is destroyed, with the owner disabled meanwhile.
  bool LoadModal(RuntimeWindow& window, RuntimeWindow* owner);
  bool LoadModeless(RuntimeWindow& window, RuntimeWindow* owner);
  // Runs until no loaded window is left; returns the exit code.
  int RunMessageLoop();
  std::size_t LoadedCount() const { return loaded_.size(); }

  void Register(RuntimeWindow* window) { loaded_.insert(window); }
  void Unregister(RuntimeWindow* window);

 private:
  std::set<RuntimeWindow*> loaded_;
};

// Style numbers are the Windows message-box flags; the answer is the
// pressed button numbered from 0 (see message_box.h).
int ShowMessage(const std::string& text, const std::string& caption, int style, HWND owner = nullptr);
// The runtime's error box "运行时出错!"; ends the program with exit code -1.
[[noreturn]] void FatalError(int code, const std::string& what);
[[noreturn]] void ExitProgram(int code);
// Starts a program without waiting for it.
bool StartProgram(const std::string& gbk_path);
// The full path of the running program and its folder (no trailing '\').
std::string ModulePath();
std::string ModuleFolder();

}  // namespace rt
