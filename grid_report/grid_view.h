// The grid control: a window of ours that shows a GridData, scrolls over a
// grid larger than itself and lets the user pick the current cell. It draws
// from the data it is given and keeps no copy: the data must outlive it.
#pragma once

#include <windows.h>

#include <string>

#include "grid_data.h"

namespace rt {
class RuntimeWindow;
}

namespace grid {

extern const wchar_t kGridViewClass[];

HWND CreateGridView(HWND parent, int left, int top, int width, int height, GridData& data);

// Creates the control over a Grid unit of a runtime window, where its
// template placed the unit, and records the data as the unit's attachment.
// Null when the window has no such unit or is not alive.
HWND AttachGridView(rt::RuntimeWindow& window, const std::string& unit, GridData& data);

// Call after changing the data: sizes may have changed (rows appended,
// widths set), and the control shows the cells as they now stand.
void RefreshGridView(HWND view);

}  // namespace grid
