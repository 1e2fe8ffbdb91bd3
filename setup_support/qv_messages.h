// Private window messages of the setup programs, named in one place.
#pragma once

#include <windows.h>

// A worker's progress to its window: wParam the percentage, lParam 0. Values
// below 100 are sent; the final 100 is posted once every step is done.
constexpr UINT WM_SETUP_PROGRESS = WM_USER + 1001;
static_assert(WM_SETUP_PROGRESS == 2025, "both setup programs and their tests use 2025");
