// The record list's background picture: alternate rows in two light
// colours, drawn as a tile one column wide and two rows high.
#pragma once

#include <windows.h>

#include <string>

namespace keeper {

// Rows of a report-style list are this many pixels apart. Measured with
// two probe rows, so that it is right even while the list is empty.
int MeasureRowPitch(HWND list);

constexpr COLORREF kListRowColour = RGB(0xF4, 0xF8, 0xFF);
constexpr COLORREF kListAlternateColour = RGB(0xFF, 0xFF, 0xFF);

// The tile as the bytes of a BMP file of width 1 and height 2 * pitch, the
// upper row in kListRowColour, the lower in kListAlternateColour; drawn on
// the canvas of ListBackgroundWindow, which is loaded and destroyed here.
// "" when the window cannot be made.
std::string ListBackgroundPicture(int pitch);

// Writes the picture to the temporary folder as "rezido_lv.ben" and sets it
// as the list's tiled background. Where the platform refuses the picture,
// the list keeps an opaque text background, so rows stay readable.
void SetListBackground(HWND list, bool tile, bool apply);

}  // namespace keeper
