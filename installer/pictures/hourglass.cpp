#include "hourglass.h"

#include <algorithm>
#include <cmath>

#include "picture_canvas.h"

namespace {

using zz::PictureCanvas;
using zz::Rgba;
using zz::RgbaOf;

// Window coordinates of the glass: the frame at x 110, 136 wide, 328 high;
// the upper bulb from y 12 to the neck at 146, the lower one from there to
// 306, where the sand pictures (126 x 136 at y 6, 126 x 126 at y 180) end.
constexpr float kCentreX = 178, kTop = 12, kNeck = 146, kBottom = 306, kNeckHalf = 5, kBulbHalf = 60;

// Half the inner width of the glass at window row y.
float GlassHalfWidth(float y) {
  float t = y < kNeck ? (kNeck - y) / (kNeck - kTop) : (y - kNeck) / (kBottom - kNeck);
  t = std::clamp(t, 0.0f, 1.0f);
  // Wide and round at the ends, pinched at the neck.
  return kNeckHalf + (kBulbHalf - kNeckHalf) * std::sqrt(std::sin(t * 1.5707963f));
}

// Fills the glass's inside, in window coordinates, into a picture placed at
// (left, top), from the surface (a row for each distance from the middle)
// down to to_y.
template <class Surface>
void FillInside(PictureCanvas& canvas, int left, int top, Surface surface, float to_y, Rgba light, Rgba dark,
                float inset) {
  for (int row = 0; row < canvas.Height(); ++row) {
    const float y = top + row + 0.5f;
    if (y > to_y) continue;
    const float half = GlassHalfWidth(y) - inset;
    if (half <= 0) continue;
    for (int col = 0; col < canvas.Width(); ++col) {
      const float dx = std::fabs(left + col + 0.5f - kCentreX);
      if (y < surface(dx)) continue;
      const float coverage = std::clamp(half - dx + 0.5f, 0.0f, 1.0f);
      if (coverage <= 0) continue;
      const float shade = dx / half;  // rounder look: darker at the sides
      Rgba c{static_cast<std::uint8_t>(light.r + (dark.r - light.r) * shade),
             static_cast<std::uint8_t>(light.g + (dark.g - light.g) * shade),
             static_cast<std::uint8_t>(light.b + (dark.b - light.b) * shade), light.a};
      canvas.Blend(col, row, c, coverage);
    }
  }
}

void Caps(PictureCanvas& frame) {
  const Rgba wood_light = RgbaOf(0xc8, 0x8a, 0x4c), wood_dark = RgbaOf(0x7a, 0x4a, 0x22);
  for (int y : {0, 306}) {
    frame.FillRoundRect(0, y, 136, 12, 4, wood_dark);
    frame.VerticalGradient(2, y + 1, 132, 9, wood_light, wood_dark);
  }
  for (int x : {4, 124}) {
    frame.HorizontalGradient(x, 12, 8, 294, wood_light, wood_dark);
    frame.FillRect(x, 12, 1, 294, RgbaOf(0x5a, 0x34, 0x16));
  }
}

PictureCanvas HourglassBack() {
  PictureCanvas back(136, 328);
  Caps(back);
  // A faint tint inside the glass, so that the empty bulb still reads as glass.
  FillInside(back, 110, 0, [](float) { return kTop; }, kBottom, RgbaOf(0xf4, 0xf9, 0xff, 150), RgbaOf(0xc8, 0xdc, 0xf0, 150), 0);
  return back;
}

PictureCanvas HourglassGlass() {
  PictureCanvas glass(136, 328);
  // The outline: the inside's edge drawn as short anti-aliased strokes.
  const Rgba rim = RgbaOf(0x6d, 0x92, 0xb8, 230), shine = RgbaOf(255, 255, 255, 170);
  for (float y = kTop; y < kBottom; y += 1.0f) {
    const float a = GlassHalfWidth(y), b = GlassHalfWidth(y + 1);
    for (float side : {-1.0f, 1.0f}) {
      glass.Line(kCentreX - 110 + side * (a + 1), y, kCentreX - 110 + side * (b + 1), y + 1, 2.0f, rim);
    }
    if ((y > kTop + 14 && y < kNeck - 40) || (y > kNeck + 40 && y < kBottom - 14))
      glass.Line(kCentreX - 110 - a * 0.7f, y, kCentreX - 110 - b * 0.7f, y + 1, 2.5f, shine);
  }
  Caps(glass);
  return glass;
}

const Rgba kSandLight = RgbaOf(0xf7, 0xd2, 0x7c), kSandDark = RgbaOf(0xd0, 0x97, 0x3a);

// Drawn at (115, 6): the upper bulb full.
PictureCanvas UpperSand() {
  PictureCanvas sand(126, 136);
  FillInside(sand, 115, 6, [](float) { return kTop + 8; }, kNeck, kSandLight, kSandDark, 2);
  return sand;
}

// Drawn at (115, 180): the lower bulb full, with a small heap on top.
PictureCanvas LowerSand() {
  PictureCanvas sand(126, 126);
  FillInside(sand, 115, 180, [](float dx) { return 196 - 16 * std::exp(-dx * dx / 200); }, kBottom,
             kSandLight, kSandDark, 2);
  return sand;
}

PictureCanvas Background() {
  PictureCanvas bg(372, 287);
  bg.FillRoundRect(0, 0, 372, 287, 6, RgbaOf(0x2d, 0x5c, 0x8e));
  bg.VerticalGradient(1, 1, 370, 29, RgbaOf(0x4f, 0x8b, 0xc9), RgbaOf(0x2f, 0x67, 0xa6));
  bg.FillRect(1, 30, 370, 1, RgbaOf(0x25, 0x4f, 0x80));
  bg.VerticalGradient(1, 31, 370, 255, RgbaOf(0xf7, 0xfa, 0xfd), RgbaOf(0xe3, 0xec, 0xf5));
  // The title band behind the product name, under the icon.
  bg.VerticalGradient(1, 48, 370, 44, RgbaOf(0x3d, 0x78, 0xb8), RgbaOf(0x2c, 0x62, 0xa0));
  bg.FillRect(1, 92, 370, 1, RgbaOf(0xc4, 0xd4, 0xe6));
  return bg;
}

// Three 29-pixel frames (normal, hover, pressed), stretched by the button
// with edges of 8.
PictureCanvas ButtonStrip(Rgba border, Rgba top, Rgba bottom) {
  std::vector<PictureCanvas> frames;
  for (int state = 0; state < 3; ++state) {
    PictureCanvas f(29, 29);
    const float lift = state == 1 ? 0.12f : state == 2 ? -0.12f : 0.0f;
    auto shift = [lift](Rgba c) {
      auto ch = [lift](std::uint8_t v) {
        return static_cast<std::uint8_t>(std::clamp(v + lift * (lift > 0 ? 255 - v : v), 0.0f, 255.0f));
      };
      return Rgba{ch(c.r), ch(c.g), ch(c.b), c.a};
    };
    f.FillRoundRect(0, 0, 29, 29, 5, border);
    if (state == 2)
      f.VerticalGradient(1, 1, 27, 27, shift(bottom), shift(top));
    else
      f.VerticalGradient(1, 1, 27, 27, shift(top), shift(bottom));
    f.FillRect(3, 2, 23, 1, RgbaOf(255, 255, 255, state == 2 ? 0 : 120));
    frames.push_back(f);
  }
  return PictureCanvas::Strip(frames);
}

}  // namespace

std::vector<InstallerPicture> MakeInstallerPictures(const zz::PngDeflate& deflate) {
  struct Entry {
    int id;
    const char* file;
    PictureCanvas canvas;
  };
  std::vector<Entry> entries;
  entries.push_back({60071, "60071_background.png", Background()});
  entries.push_back({60073, "60073_cancel.png",
                     ButtonStrip(RgbaOf(0x8a, 0x95, 0xa3), RgbaOf(0xfb, 0xfc, 0xfd), RgbaOf(0xd9, 0xdf, 0xe6))});
  entries.push_back({60074, "60074_install.png",
                     ButtonStrip(RgbaOf(0x1f, 0x6b, 0x2e), RgbaOf(0x7c, 0xd0, 0x7f), RgbaOf(0x2f, 0x98, 0x45))});
  entries.push_back({60026, "60026_hourglass_back.png", HourglassBack()});
  entries.push_back({60027, "60027_hourglass_glass.png", HourglassGlass()});
  entries.push_back({60028, "60028_upper_sand.png", UpperSand()});
  entries.push_back({60029, "60029_lower_sand.png", LowerSand()});
  std::vector<InstallerPicture> out;
  for (const Entry& e : entries)
    out.push_back({e.id, e.file, e.canvas.Width(), e.canvas.Height(), e.canvas.ToPng(deflate)});
  return out;
}
