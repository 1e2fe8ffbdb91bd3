#include "msgbox_pictures.h"

#include <cmath>

namespace zz {
namespace {

constexpr float kPi = 3.14159265f;

// Angles in degrees, 0 pointing right, growing clockwise on screen.
void Arc(PictureCanvas& c, float cx, float cy, float r, float from, float to, float thick,
         Rgba colour) {
  const int steps = 24;
  for (int i = 0; i < steps; ++i) {
    float a0 = (from + (to - from) * i / steps) * kPi / 180;
    float a1 = (from + (to - from) * (i + 1) / steps) * kPi / 180;
    c.Line(cx + r * std::cos(a0), cy + r * std::sin(a0), cx + r * std::cos(a1),
           cy + r * std::sin(a1), thick, colour);
  }
}

PictureCanvas Sign() {
  PictureCanvas c(32, 32);
  c.FillDisc(16, 16, 15.5f, RgbaOf(28, 84, 160));
  c.FillDisc(16, 15, 14, RgbaOf(58, 130, 214));
  c.FillDisc(13, 11, 7, RgbaOf(255, 255, 255, 40));  // a soft highlight
  return c;
}

}  // namespace

PictureCanvas MsgBoxInformation() {
  PictureCanvas c = Sign();
  const Rgba white = RgbaOf(255, 255, 255);
  c.FillDisc(16, 8.5f, 2.6f, white);
  c.Line(16, 14, 16, 24, 4, white);
  c.Line(13, 24.5f, 19, 24.5f, 2, white);
  return c;
}

PictureCanvas MsgBoxQuestion() {
  PictureCanvas c = Sign();
  const Rgba white = RgbaOf(255, 255, 255);
  Arc(c, 16, 11.5f, 5, 180, 405, 3.4f, white);
  c.Line(16 + 5 * std::cos(45 * kPi / 180), 11.5f + 5 * std::sin(45 * kPi / 180), 16, 19, 3.4f,
         white);
  c.Line(16, 19, 16, 20.5f, 3.4f, white);
  c.FillDisc(16, 25, 2.3f, white);
  return c;
}

PictureCanvas MsgBoxCrash() {
  PictureCanvas c(256, 80);
  // The face: a yellow disc with a darker rim, two eyes, a frown and a tear.
  c.FillDisc(40, 40, 34, RgbaOf(196, 140, 20));
  c.FillDisc(40, 40, 32, RgbaOf(250, 204, 60));
  c.FillDisc(34, 30, 20, RgbaOf(255, 236, 140, 90));
  const Rgba dark = RgbaOf(90, 56, 10);
  c.FillDisc(29, 32, 4, dark);
  c.FillDisc(51, 32, 4, dark);
  c.Line(22, 25, 32, 21, 2.4f, dark);
  c.Line(58, 25, 48, 21, 2.4f, dark);
  Arc(c, 40, 66, 16, 235, 305, 3.2f, dark);
  c.FillDisc(27, 43, 3, RgbaOf(80, 150, 240));
  c.Line(27, 37, 27, 42, 2.5f, RgbaOf(80, 150, 240));

  // The band: red, lighter at the top, with a dark edge and three white
  // warning marks.
  c.FillRoundRect(84, 24, 166, 32, 6, RgbaOf(150, 16, 16));
  c.FillRoundRect(85, 25, 164, 30, 5, RgbaOf(214, 36, 30));
  c.FillRoundRect(88, 27, 158, 10, 4, RgbaOf(255, 255, 255, 56));
  for (int i = 0; i < 3; ++i) {
    const float x = 140 + 28.0f * i;
    c.Line(x, 31, x, 44, 4, RgbaOf(255, 255, 255));
    c.FillDisc(x, 49.5f, 2.4f, RgbaOf(255, 255, 255));
  }
  return c;
}

}  // namespace zz
