// The skin in force, as colours and brushes ready for drawing.
#pragma once

#include <windows.h>

#include <memory>

#include "skin_format.h"

namespace zz::skin {

class Palette {
 public:
  explicit Palette(const Skin& skin);

  const Skin& skin() const { return skin_; }
  COLORREF Color(Colour role) const { return RgbToColorRef(skin_.Rgb(role)); }
  // Brushes live as long as the process: a menu or a control may keep one
  // after the skin changed.
  HBRUSH Brush(Colour role) const { return brushes_[static_cast<std::size_t>(role)]; }
  // True when `brush` is one of this palette's brushes.
  bool Owns(HBRUSH brush) const;

 private:
  Skin skin_;
  HBRUSH brushes_[kColourCount];
};

// The palette in force; null before the first successful attach.
std::shared_ptr<const Palette> CurrentPalette();
void SetCurrentPalette(std::shared_ptr<const Palette> palette);

// A solid brush of `color` that is never deleted; the same handle for the
// same colour.
HBRUSH PermanentBrush(COLORREF color);

// True for the brushes a window gets when nobody chose one: system colour
// brushes and the (COLOR_x + 1) class-brush values.
bool IsSystemBrush(HBRUSH brush);

}  // namespace zz::skin
