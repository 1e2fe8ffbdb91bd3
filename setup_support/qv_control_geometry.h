// The arithmetic of the drawn controls and the skinned dialog that needs no
// Windows API: hit tests, the view test, the cut-corner region and the
// names of skin picture files.
#pragma once

#include <cstddef>
#include <string>

#include "qv_image_layout.h"  // QvBox

// Both edges count as inside: a press on the right or bottom edge hits.
bool QvBoxHit(const QvBox& box, int px, int py);

// True when the box touches the area (0, 0) to (area_width, area_height);
// touching edges count.
bool QvBoxTouchesArea(const QvBox& box, int area_width, int area_height);

// Edges of one rectangle of a region, right and bottom exclusive.
struct QvSpan {
  int left;
  int top;
  int right;
  int bottom;
};

// The five rectangles whose union is a client area (left, top, right,
// bottom) with a two-pixel step cut off every corner.
constexpr std::size_t kQvCornerSpans = 5;
void QvCornerSpans(int left, int top, int right, int bottom, QvSpan out[kQvCornerSpans]);

// The skin file of a control's state: theme path, base name, state and
// extension, as in "C:\App\Themes\blue\button_2.png". Empty when the name
// would not fit in a path of max_chars characters with its terminator.
std::wstring QvSkinFileName(const wchar_t* theme_path, const wchar_t* base_name, int state,
                            const wchar_t* extension, std::size_t max_chars);

// A state at or past the number of separate pictures shows the last one.
inline int QvClampState(int state, int image_count) {
  return image_count > 1 && state >= image_count ? image_count - 1 : state;
}
