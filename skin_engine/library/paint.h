// Drawing of the controls the skin paints itself, in the palette's colours.
#pragma once

#include <windows.h>

#include "palette.h"

namespace zz::skin {

// Control states the drawing needs beyond what the control itself reports.
struct ControlLook {
  bool hot = false;  // the mouse is over it
};

void PaintPushButton(HWND button, HDC dc, const Palette& palette, const ControlLook& look);
void PaintCheckBox(HWND button, HDC dc, const Palette& palette, const ControlLook& look, bool radio);
void PaintGroupBox(HWND button, HDC dc, const Palette& palette);
void PaintHeader(HWND header, HDC dc, const Palette& palette);
// False when the bar holds parts its owner draws: then the bar paints itself.
bool PaintStatusBar(HWND bar, HDC dc, const Palette& palette);

// Draws a drop-down combo box's edge and button flat, over what the combo
// box drew itself.
void PaintComboFrame(HWND combo, const Palette& palette);

// Draws a date picker's drop-down button flat, over the picker's own.
void PaintDateButton(HWND picker, const Palette& palette);

// Redraws a sunken client edge (and a plain border) of `control` as a flat
// one-pixel line, `focused` in the highlight colour, the rest of the edge
// in `inner`.
void PaintFlatFrame(HWND control, const Palette& palette, bool focused, HBRUSH inner);

// The brush (and, in `dc`, the text colour) the parent gives `control` for
// the control-colour message `message`.
HBRUSH ParentBrush(HWND control, HDC dc, UINT message);

}  // namespace zz::skin
