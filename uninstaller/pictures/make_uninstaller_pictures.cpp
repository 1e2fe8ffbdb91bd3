// Draws the uninstaller's three pictures: the panel of stacked cards with a
// white writing area, the patterned band that is wiped away, and the eraser.
//   make_uninstaller_pictures OUTPUT_FOLDER
// The PNGs are checked in beside this tool; a test draws them again and
// compares the bytes.
#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "picture_canvas.h"

namespace {

using zz::PictureCanvas;
using zz::Rgba;
using zz::RgbaOf;

bool Deflate(const std::vector<std::uint8_t>& raw, std::vector<std::uint8_t>& out) {
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  out.resize(size);
  if (compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK) return false;
  out.resize(size);
  return true;
}

// A rectangle turned by angle (radians) about its centre, anti-aliased by
// sampling each pixel 4 x 4 times.
void FillTurnedRect(PictureCanvas& canvas, float cx, float cy, float w, float h, float angle, Rgba c) {
  const float cs = std::cos(angle), sn = std::sin(angle);
  const float reach = (w + h) / 2 + 1;
  for (int y = static_cast<int>(cy - reach); y <= static_cast<int>(cy + reach); ++y) {
    for (int x = static_cast<int>(cx - reach); x <= static_cast<int>(cx + reach); ++x) {
      int inside = 0;
      for (int sy = 0; sy < 4; ++sy) {
        for (int sx = 0; sx < 4; ++sx) {
          const float dx = x + (sx + 0.5f) / 4 - cx, dy = y + (sy + 0.5f) / 4 - cy;
          const float u = dx * cs + dy * sn, v = -dx * sn + dy * cs;
          if (std::fabs(u) <= w / 2 && std::fabs(v) <= h / 2) ++inside;
        }
      }
      if (inside) canvas.Blend(x, y, c, inside / 16.0f);
    }
  }
}

// Cards fanned behind one another, the front one white for the writing area.
PictureCanvas Panel() {
  PictureCanvas panel(437, 141);
  struct Card {
    float angle;
    Rgba colour;
  } const cards[] = {
      {-0.035f, RgbaOf(0xb9, 0xd3, 0xec)},
      {0.025f, RgbaOf(0xd6, 0xe6, 0xf5)},
  };
  for (const Card& card : cards) {
    FillTurnedRect(panel, 220, 72, 410, 118, card.angle, RgbaOf(0, 0, 0, 40));
    FillTurnedRect(panel, 218, 70, 410, 118, card.angle, card.colour);
  }
  panel.FillRoundRect(14, 14, 412, 122, 8, RgbaOf(0, 0, 0, 50));   // shadow
  panel.FillRoundRect(11, 11, 412, 122, 8, RgbaOf(0x8c, 0xa9, 0xc6));
  panel.FillRoundRect(12, 12, 410, 120, 7, RgbaOf(0xff, 0xff, 0xff));
  panel.VerticalGradient(12, 12, 410, 26, RgbaOf(0x5b, 0x8f, 0xc9), RgbaOf(0x3c, 0x6e, 0xae));
  panel.FillRect(12, 38, 410, 1, RgbaOf(0x2e, 0x58, 0x8f));
  // Ruled lines of the writing area, faint below the band.
  for (int y = 52; y < 128; y += 14) panel.FillRect(28, y, 380, 1, RgbaOf(0xdc, 0xe6, 0xf0));
  // The band's groove, where the band lies at (75, 61).
  panel.FillRoundRect(71, 57, 287, 31, 5, RgbaOf(0xe4, 0xea, 0xf1));
  panel.FillRoundRect(72, 58, 285, 29, 4, RgbaOf(0xf6, 0xf8, 0xfb));
  return panel;
}

// Diagonal stripes in two greens, darker edges above and below.
PictureCanvas Band() {
  PictureCanvas band(279, 23);
  for (int y = 0; y < 23; ++y) {
    for (int x = 0; x < 279; ++x) {
      const bool dark = ((x + y) / 7) % 2 == 0;
      band.SetPixel(x, y, dark ? RgbaOf(0x3f, 0xa8, 0x5a) : RgbaOf(0x7c, 0xcf, 0x8c));
    }
  }
  band.FillRect(0, 0, 279, 2, RgbaOf(0x2a, 0x7d, 0x41));
  band.FillRect(0, 21, 279, 2, RgbaOf(0x2a, 0x7d, 0x41));
  band.VerticalGradient(0, 2, 279, 6, RgbaOf(255, 255, 255, 110), RgbaOf(255, 255, 255, 0));
  return band;
}

// An eraser leaning to the right, its rubber end down at the lower left
// where it meets the band.
PictureCanvas Eraser() {
  PictureCanvas eraser(137, 157);
  const float angle = 0.62f;  // about 35 degrees
  const float ax = std::sin(angle), ay = -std::cos(angle);  // along the eraser, upwards
  const float bx = 36, by = 138;                             // middle of its rubbing end
  auto along = [&](float d, float w, float len, Rgba c) {
    FillTurnedRect(eraser, bx + ax * (d + len / 2), by + ay * (d + len / 2), 44, len, angle, c);
    (void)w;
  };
  FillTurnedRect(eraser, bx + ax * 62 + 4, by + ay * 62 + 4, 46, 124, angle, RgbaOf(0, 0, 0, 45));
  along(0, 44, 56, RgbaOf(0xf2, 0x8f, 0xa4));    // pink rubber
  along(56, 44, 66, RgbaOf(0x2f, 0x6f, 0xc4));   // blue sleeve
  along(56, 44, 4, RgbaOf(0x1d, 0x4d, 0x8f));    // the sleeve's edge
  FillTurnedRect(eraser, bx + ax * 28 - 14 * std::cos(angle), by + ay * 28 - 14 * std::sin(angle), 6, 50,
                 angle, RgbaOf(255, 255, 255, 90));  // shine on the rubber
  FillTurnedRect(eraser, bx + ax * 2, by + ay * 2, 44, 4, angle, RgbaOf(0xc9, 0x6a, 0x80));
  return eraser;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_uninstaller_pictures OUTPUT_FOLDER\n");
    return 2;
  }
  const std::filesystem::path out = argv[1];
  std::filesystem::create_directories(out);
  const struct {
    const char* name;
    PictureCanvas picture;
  } pictures[] = {
      {"60052_panel.png", Panel()},
      {"60026_band.png", Band()},
      {"60027_eraser.png", Eraser()},
  };
  for (const auto& p : pictures) {
    if (!p.picture.SavePng(out / p.name, Deflate)) {
      std::fprintf(stderr, "cannot write %s\n", p.name);
      return 1;
    }
  }
  return 0;
}
