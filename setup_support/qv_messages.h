// The private window messages of the setup library and the setup programs,
// kept in one place so that no two of them share a number.
#pragma once

#include <windows.h>

// A worker's progress to its window: wParam the percentage, lParam 0. Values
// below 100 are sent; the final 100 is posted once every step is done.
constexpr UINT WM_SETUP_PROGRESS = WM_USER + 1001;
static_assert(WM_SETUP_PROGRESS == 2025, "both setup programs and their tests use 2025");

// Asks a window to compose and show a fresh frame on its own thread; posted
// by Redraw when it is called from another thread.
constexpr UINT WM_QV_REDRAW = WM_APP + 0x101;

// A message box's count-down reached the seconds in wParam; posted by its
// count-down thread, so that the caption and the close happen on the box's
// own thread.
constexpr UINT WM_QV_COUNTDOWN = WM_APP + 0x102;
