// The record list's background picture: alternate rows in two light
// colours, painted as a tile one column wide and two rows high.
#pragma once

#include <windows.h>

#include <string>

namespace keeper {

// Rows of a report-style list are this many pixels apart. Measured with
// two probe rows, so that it is right even while the list is empty.
int MeasureRowPitch(HWND list);

// A 24-bit BMP of width 1 and height 2 * pitch: the upper row in `first`,
// the lower in `second` (COLORREFs).
std::string AlternateRowBitmap(int pitch, COLORREF first, COLORREF second);

// Writes the picture to the temporary folder as "rezido_lv.ben" and sets it
// as the list's tiled background. Where the platform refuses the picture,
// the list keeps an opaque text background, so rows stay readable.
void SetListBackground(HWND list, bool tile, bool apply);

}  // namespace keeper
