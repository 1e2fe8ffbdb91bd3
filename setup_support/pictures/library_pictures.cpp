#include "library_pictures.h"

#include <algorithm>
#include <cmath>

#include "msgbox_pictures.h"
#include "picture_canvas.h"

namespace zz {
namespace {

Rgba Mix(Rgba a, Rgba b, float t) {
  auto lerp = [t](std::uint8_t p, std::uint8_t q) {
    return static_cast<std::uint8_t>(std::lround(p + (q - p) * t));
  };
  return Rgba{lerp(a.r, b.r), lerp(a.g, b.g), lerp(a.b, b.b), lerp(a.a, b.a)};
}

// A rounded rectangle filled with a vertical gradient, its edge softened
// like the canvas's own shapes.
void RoundGradient(PictureCanvas& canvas, int x, int y, int w, int h, float radius, Rgba top,
                   Rgba bottom) {
  PictureCanvas mask(w, h);
  mask.FillRoundRect(0, 0, w, h, radius, Rgba{255, 255, 255, 255});
  for (int row = 0; row < h; ++row) {
    Rgba colour = Mix(top, bottom, h > 1 ? static_cast<float>(row) / (h - 1) : 0.0f);
    for (int col = 0; col < w; ++col) {
      float coverage = mask.Pixel(col, row).a / 255.0f;
      if (coverage > 0) canvas.Blend(x + col, y + row, colour, coverage);
    }
  }
}

// A rounded frame: the border colour, then the face inset by one pixel.
void Bevel(PictureCanvas& canvas, int x, int y, int w, int h, float radius, Rgba border, Rgba top,
           Rgba bottom) {
  RoundGradient(canvas, x, y, w, h, radius, border, border);
  RoundGradient(canvas, x + 1, y + 1, w - 2, h - 2, std::max(radius - 1, 0.0f), top, bottom);
}

struct ButtonLook {
  Rgba border, top, bottom, shine;
};

// Normal, hover, pressed, and the greyed look of the last state.
const ButtonLook kButtonLooks[4] = {
    {RgbaOf(0x8a, 0x9b, 0xb0), RgbaOf(0xfb, 0xfc, 0xfe), RgbaOf(0xdc, 0xe4, 0xee),
     RgbaOf(255, 255, 255, 150)},
    {RgbaOf(0x3c, 0x8d, 0xe0), RgbaOf(0xf0, 0xf7, 0xff), RgbaOf(0xbf, 0xdc, 0xfb),
     RgbaOf(255, 255, 255, 170)},
    {RgbaOf(0x25, 0x63, 0xab), RgbaOf(0xae, 0xcb, 0xec), RgbaOf(0xd6, 0xe6, 0xf8),
     RgbaOf(255, 255, 255, 0)},
    {RgbaOf(0xbf, 0xc5, 0xcc), RgbaOf(0xf1, 0xf2, 0xf4), RgbaOf(0xe4, 0xe6, 0xe9),
     RgbaOf(255, 255, 255, 0)},
};

PictureCanvas Button(const ButtonLook& look) {
  PictureCanvas canvas(69, 21);
  Bevel(canvas, 0, 0, 69, 21, 4, look.border, look.top, look.bottom);
  // A faint highlight on the upper half gives the face its curve.
  canvas.FillRect(3, 2, 63, 1, look.shine);
  return canvas;
}

struct CheckLook {
  Rgba border, top, bottom;
  bool tick;
};

// Unchecked, unchecked under the mouse, checked under the mouse, checked.
const CheckLook kCheckLooks[4] = {
    {RgbaOf(0x8a, 0x9b, 0xb0), RgbaOf(0xff, 0xff, 0xff), RgbaOf(0xe9, 0xee, 0xf4), false},
    {RgbaOf(0x3c, 0x8d, 0xe0), RgbaOf(0xf2, 0xf8, 0xff), RgbaOf(0xd3, 0xe6, 0xfb), false},
    {RgbaOf(0x2a, 0x7a, 0xd0), RgbaOf(0x5c, 0xa8, 0xf2), RgbaOf(0x33, 0x86, 0xdb), true},
    {RgbaOf(0x1f, 0x5f, 0xa8), RgbaOf(0x3f, 0x8f, 0xe0), RgbaOf(0x1f, 0x6c, 0xc0), true},
};

PictureCanvas CheckBox(const CheckLook& look) {
  PictureCanvas canvas(15, 15);
  Bevel(canvas, 0, 0, 15, 15, 3, look.border, look.top, look.bottom);
  if (look.tick) {
    Rgba white = RgbaOf(255, 255, 255);
    canvas.Line(3.5f, 7.5f, 6.2f, 10.3f, 1.9f, white);
    canvas.Line(6.2f, 10.3f, 11.5f, 4.2f, 1.9f, white);
  }
  return canvas;
}

PictureCanvas DialogBackground() {
  const int w = 186, h = 150, band = 30;
  PictureCanvas canvas(w, h);
  // The outline, then the body and the dark caption band inside it.
  RoundGradient(canvas, 0, 0, w, h, 3, RgbaOf(0x1b, 0x25, 0x33), RgbaOf(0x6b, 0x7a, 0x8e));
  RoundGradient(canvas, 1, 1, w - 2, h - 2, 2, RgbaOf(0xfd, 0xfe, 0xff), RgbaOf(0xe8, 0xee, 0xf5));
  PictureCanvas caption(w - 2, band - 1);
  RoundGradient(caption, 0, 0, w - 2, band + 4, 2, RgbaOf(0x3a, 0x4d, 0x66),
                RgbaOf(0x1a, 0x25, 0x35));
  canvas.Copy(caption, 1, 1);
  // A thin accent line under the band and a lighter footer strip.
  canvas.FillRect(1, band, w - 2, 1, RgbaOf(0x3c, 0x8d, 0xe0));
  canvas.FillRect(1, h - band, w - 2, 1, RgbaOf(0xd5, 0xdd, 0xe7));
  canvas.VerticalGradient(1, h - band + 1, w - 2, band - 3, RgbaOf(0xf1, 0xf4, 0xf8),
                          RgbaOf(0xe4, 0xe9, 0xf0));
  return canvas;
}

// The caption band's close button: a white cross, on red under the mouse.
PictureCanvas CloseButton(int state) {
  PictureCanvas canvas(38, 18);
  if (state == 1) RoundGradient(canvas, 0, 0, 38, 18, 3, RgbaOf(0xf0, 0x4a, 0x4a), RgbaOf(0xd3, 0x22, 0x2a));
  if (state == 2) RoundGradient(canvas, 0, 0, 38, 18, 3, RgbaOf(0xa3, 0x14, 0x1c), RgbaOf(0xc2, 0x1f, 0x28));
  Rgba cross = state == 0 ? RgbaOf(0xe6, 0xec, 0xf3) : RgbaOf(255, 255, 255);
  canvas.Line(15, 5, 23, 13, 1.6f, cross);
  canvas.Line(23, 5, 15, 13, 1.6f, cross);
  return canvas;
}

// A blue tile with an arrow going down into a tray.
PictureCanvas Icon(int size) {
  PictureCanvas canvas(size, size);
  float s = size / 32.0f;
  RoundGradient(canvas, 0, 0, size, size, 6 * s, RgbaOf(0x4f, 0xa3, 0xf7), RgbaOf(0x1d, 0x5f, 0xb8));
  Rgba white = RgbaOf(255, 255, 255);
  float width = std::max(2.6f * s, 1.4f);
  canvas.Line(16 * s, 6 * s, 16 * s, 18 * s, width, white);
  canvas.Line(10.5f * s, 13 * s, 16 * s, 18.5f * s, width, white);
  canvas.Line(21.5f * s, 13 * s, 16 * s, 18.5f * s, width, white);
  canvas.Line(8 * s, 20 * s, 8 * s, 25 * s, width, white);
  canvas.Line(8 * s, 25 * s, 24 * s, 25 * s, width, white);
  canvas.Line(24 * s, 25 * s, 24 * s, 20 * s, width, white);
  return canvas;
}

void Put16(std::vector<std::uint8_t>& out, unsigned v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, unsigned v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace

std::vector<std::uint8_t> EncodeIcon(const std::vector<IconImage>& images) {
  std::vector<std::vector<std::uint8_t>> bodies;
  for (const IconImage& image : images) {
    const int n = image.size;
    const int mask_row = ((n + 31) / 32) * 4;
    std::vector<std::uint8_t> body;
    // BITMAPINFOHEADER; the height counts the colour and the mask rows.
    Put32(body, 40);
    Put32(body, n);
    Put32(body, 2 * n);
    Put16(body, 1);
    Put16(body, 32);
    Put32(body, 0);
    Put32(body, n * n * 4 + mask_row * n);
    for (int i = 0; i < 4; ++i) Put32(body, 0);
    // Rows bottom up, blue-green-red-alpha.
    for (int row = n - 1; row >= 0; --row)
      for (int col = 0; col < n; ++col) {
        const std::uint8_t* p = &image.rgba[(static_cast<std::size_t>(row) * n + col) * 4];
        body.insert(body.end(), {p[2], p[1], p[0], p[3]});
      }
    // The alpha channel decides; the mask lets everything through.
    body.insert(body.end(), static_cast<std::size_t>(mask_row) * n, 0);
    bodies.push_back(std::move(body));
  }
  std::vector<std::uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);
  Put16(out, static_cast<unsigned>(images.size()));
  unsigned offset = 6 + 16 * static_cast<unsigned>(images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    out.push_back(static_cast<std::uint8_t>(images[i].size >= 256 ? 0 : images[i].size));
    out.push_back(static_cast<std::uint8_t>(images[i].size >= 256 ? 0 : images[i].size));
    out.push_back(0);
    out.push_back(0);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, static_cast<unsigned>(bodies[i].size()));
    Put32(out, offset);
    offset += static_cast<unsigned>(bodies[i].size());
  }
  for (const auto& body : bodies) out.insert(out.end(), body.begin(), body.end());
  return out;
}

std::vector<LibraryPicture> MakeLibraryPictures(const PngDeflate& deflate) {
  struct Named {
    int id;
    const char* file;
    PictureCanvas canvas;
  };
  std::vector<Named> pictures = {
      {60001, "button_normal.png", Button(kButtonLooks[0])},
      {60002, "button_hover.png", Button(kButtonLooks[1])},
      {60003, "button_pressed.png", Button(kButtonLooks[2])},
      {60004, "button_done.png", Button(kButtonLooks[3])},
      {60006, "close_normal.png", CloseButton(0)},
      {60007, "close_hover.png", CloseButton(1)},
      {60008, "close_pressed.png", CloseButton(2)},
      {60036, "check_off.png", CheckBox(kCheckLooks[0])},
      {60037, "check_off_hover.png", CheckBox(kCheckLooks[1])},
      {60038, "check_on_hover.png", CheckBox(kCheckLooks[2])},
      {60039, "check_on.png", CheckBox(kCheckLooks[3])},
      {60051, "dialog_background.png", DialogBackground()},
      {60056, "msgbox_info.png", MsgBoxInformation()},
      {60057, "msgbox_question.png", MsgBoxQuestion()},
      {60061, "crash.png", MsgBoxCrash()},
  };
  std::vector<LibraryPicture> out;
  std::string script =
      "// Written by setup_support/pictures/make_library_pictures.cpp: the pictures\n"
      "// the setup library draws with. Each setup program's resource script\n"
      "// includes this file.\n";
  for (const Named& picture : pictures) {
    out.push_back({picture.id, picture.file, picture.canvas.ToPng(deflate)});
    script += std::to_string(picture.id) + " IMG \"" + picture.file + "\"\n";
  }
  std::vector<IconImage> icons;
  for (int size : {32, 16}) icons.push_back({size, Icon(size).Bytes()});
  out.push_back({107, "setup.ico", EncodeIcon(icons)});
  script += "107 ICON \"setup.ico\"\n";
  out.push_back({0, "library_pictures.rc", std::vector<std::uint8_t>(script.begin(), script.end())});
  return out;
}

}  // namespace zz
