// The desktop window manager, reached at run time: older systems and Wine
// may not have it, or have it with composition off.
#pragma once

#include <windows.h>

namespace zz::skin {

// Whether the glass frame is wanted (SkinH_SetAero).
bool GlassWanted();
void SetGlassWanted(bool wanted);

// True when the desktop composes windows, so frame settings take effect.
bool CompositionAvailable();

// Gives a top-level window the glass frame (or the frame its style asks
// for) and the caption colours; does nothing without composition.
void ApplyDesktopFrame(HWND hwnd, bool glass, COLORREF caption, COLORREF caption_text, COLORREF border);

}  // namespace zz::skin
