#include "qv_control_geometry.h"

bool QvBoxHit(const QvBox& box, int px, int py) {
  return px >= box.x && px <= box.x + box.width && py >= box.y && py <= box.y + box.height;
}

bool QvBoxTouchesArea(const QvBox& box, int area_width, int area_height) {
  return box.x <= area_width && box.x + box.width >= 0 && box.y <= area_height &&
         box.y + box.height >= 0;
}

void QvCornerSpans(int left, int top, int right, int bottom, QvSpan out[kQvCornerSpans]) {
  out[0] = QvSpan{left, top + 2, right, bottom - 2};
  out[1] = QvSpan{left + 2, top, right - 2, top + 1};
  out[2] = QvSpan{left + 1, top + 1, right - 1, top + 2};
  out[3] = QvSpan{left + 1, bottom - 2, right - 1, bottom - 1};
  out[4] = QvSpan{left + 2, bottom - 1, right - 2, bottom};
}

std::wstring QvSkinFileName(const wchar_t* theme_path, const wchar_t* base_name, int state,
                            const wchar_t* extension, std::size_t max_chars) {
  std::wstring name = theme_path ? theme_path : L"";
  name += base_name ? base_name : L"";
  name += L"_" + std::to_wstring(state);
  name += extension ? extension : L"";
  if (name.size() + 1 > max_chars) return std::wstring();
  return name;
}
