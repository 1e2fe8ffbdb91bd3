// The hooks that bring windows created after the attach under the skin.
#pragma once

#include <windows.h>

namespace zz::skin {

// Hooks window creation on the calling thread and on every other thread the
// process has now (each thread once). `library` is the module that holds
// the hook procedure.
void HookProcessThreads(HINSTANCE library);

// Skins the windows of the calling thread that already exist, and repaints
// every window of the process in the current skin.
void SkinAndRefreshExistingWindows();

}  // namespace zz::skin
