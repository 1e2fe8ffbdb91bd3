// The open-file dialog unit on Win32.
#pragma once

#include <windows.h>

#include "window_model.h"

namespace rt {

// Shows the dialog of `unit` (title in its text, filter, starting folder)
// modally, owned by `owner`. When the user confirms, the chosen path goes
// to the unit's file_name and the answer is true.
bool ShowOpenFileDialog(HWND owner, UnitState& unit);

}  // namespace rt
