#include "picture_canvas.h"

#include <algorithm>
#include <cmath>

namespace zz {
namespace {

std::uint8_t Lerp(std::uint8_t a, std::uint8_t b, float t) {
  return static_cast<std::uint8_t>(std::lround(a + (b - a) * t));
}

Rgba Mix(Rgba a, Rgba b, float t) {
  return Rgba{Lerp(a.r, b.r, t), Lerp(a.g, b.g, t), Lerp(a.b, b.b, t), Lerp(a.a, b.a, t)};
}

// Coverage of a pixel whose centre lies at signed distance d from a shape's
// edge (negative inside): one pixel of soft edge.
float EdgeCoverage(float d) { return std::clamp(0.5f - d, 0.0f, 1.0f); }

float SegmentDistance(float px, float py, float x0, float y0, float x1, float y1) {
  const float dx = x1 - x0, dy = y1 - y0;
  const float len2 = dx * dx + dy * dy;
  float t = len2 > 0 ? ((px - x0) * dx + (py - y0) * dy) / len2 : 0.0f;
  t = std::clamp(t, 0.0f, 1.0f);
  return std::hypot(px - (x0 + t * dx), py - (y0 + t * dy));
}

}  // namespace

PictureCanvas::PictureCanvas(int width, int height, Rgba fill)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 4) {
  Fill(fill);
}

Rgba PictureCanvas::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return Rgba{0, 0, 0, 0};
  const std::uint8_t* p = &pixels_[(static_cast<std::size_t>(y) * width_ + x) * 4];
  return Rgba{p[0], p[1], p[2], p[3]};
}

void PictureCanvas::SetPixel(int x, int y, Rgba c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  std::uint8_t* p = &pixels_[(static_cast<std::size_t>(y) * width_ + x) * 4];
  p[0] = c.r;
  p[1] = c.g;
  p[2] = c.b;
  p[3] = c.a;
}

void PictureCanvas::Fill(Rgba c) { SetRect(0, 0, width_, height_, c); }

void PictureCanvas::SetRect(int x, int y, int w, int h, Rgba c) {
  for (int row = std::max(y, 0); row < std::min(y + h, height_); ++row)
    for (int col = std::max(x, 0); col < std::min(x + w, width_); ++col) SetPixel(col, row, c);
}

void PictureCanvas::Blend(int x, int y, Rgba c, float coverage) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  const float sa = c.a / 255.0f * std::clamp(coverage, 0.0f, 1.0f);
  if (sa <= 0) return;
  const Rgba d = Pixel(x, y);
  const float da = d.a / 255.0f;
  const float oa = sa + da * (1 - sa);
  auto channel = [&](std::uint8_t s, std::uint8_t dst) {
    return static_cast<std::uint8_t>(std::lround((s * sa + dst * da * (1 - sa)) / oa));
  };
  SetPixel(x, y,
           Rgba{channel(c.r, d.r), channel(c.g, d.g), channel(c.b, d.b),
                static_cast<std::uint8_t>(std::lround(oa * 255))});
}

template <class Coverage>
void PictureCanvas::PaintShape(float left, float top, float right, float bottom, Rgba c,
                               Coverage coverage) {
  const int x0 = std::max(static_cast<int>(std::floor(left)), 0);
  const int y0 = std::max(static_cast<int>(std::floor(top)), 0);
  const int x1 = std::min(static_cast<int>(std::ceil(right)), width_);
  const int y1 = std::min(static_cast<int>(std::ceil(bottom)), height_);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const float cov = coverage(x + 0.5f, y + 0.5f);
      if (cov > 0) Blend(x, y, c, cov);
    }
}

void PictureCanvas::FillRect(int x, int y, int w, int h, Rgba c) {
  for (int row = std::max(y, 0); row < std::min(y + h, height_); ++row)
    for (int col = std::max(x, 0); col < std::min(x + w, width_); ++col) Blend(col, row, c);
}

void PictureCanvas::FillRoundRect(int x, int y, int w, int h, float radius, Rgba c) {
  if (w <= 0 || h <= 0) return;
  const float r = std::clamp(radius, 0.0f, std::min(w, h) / 2.0f);
  const float cx = x + w / 2.0f, cy = y + h / 2.0f;
  const float hx = w / 2.0f - r, hy = h / 2.0f - r;
  PaintShape(static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + w),
             static_cast<float>(y + h), c, [&](float px, float py) {
               const float qx = std::max(std::fabs(px - cx) - hx, 0.0f);
               const float qy = std::max(std::fabs(py - cy) - hy, 0.0f);
               // Straight edges are pixel-aligned: only corners are softened.
               if (qx == 0 || qy == 0) return 1.0f;
               return EdgeCoverage(std::hypot(qx, qy) - r);
             });
}

void PictureCanvas::VerticalGradient(int x, int y, int w, int h, Rgba top, Rgba bottom) {
  for (int row = 0; row < h; ++row) {
    const float t = h > 1 ? static_cast<float>(row) / (h - 1) : 0.0f;
    FillRect(x, y + row, w, 1, Mix(top, bottom, t));
  }
}

void PictureCanvas::HorizontalGradient(int x, int y, int w, int h, Rgba left, Rgba right) {
  for (int col = 0; col < w; ++col) {
    const float t = w > 1 ? static_cast<float>(col) / (w - 1) : 0.0f;
    FillRect(x + col, y, 1, h, Mix(left, right, t));
  }
}

void PictureCanvas::FillDisc(float cx, float cy, float radius, Rgba c) {
  PaintShape(
      cx - radius - 1, cy - radius - 1, cx + radius + 1, cy + radius + 1, c,
      [&](float px, float py) { return EdgeCoverage(std::hypot(px - cx, py - cy) - radius); });
}

void PictureCanvas::Ring(float cx, float cy, float radius, float thickness, Rgba c) {
  const float outer = radius + thickness / 2 + 1;
  PaintShape(cx - outer, cy - outer, cx + outer, cy + outer, c, [&](float px, float py) {
    return EdgeCoverage(std::fabs(std::hypot(px - cx, py - cy) - radius) - thickness / 2);
  });
}

void PictureCanvas::Line(float x0, float y0, float x1, float y1, float thickness, Rgba c) {
  const float pad = thickness / 2 + 1;
  PaintShape(std::min(x0, x1) - pad, std::min(y0, y1) - pad, std::max(x0, x1) + pad,
             std::max(y0, y1) + pad, c, [&](float px, float py) {
               return EdgeCoverage(SegmentDistance(px, py, x0, y0, x1, y1) - thickness / 2);
             });
}

void PictureCanvas::Copy(const PictureCanvas& source, int x, int y, bool blend) {
  for (int row = 0; row < source.height_; ++row)
    for (int col = 0; col < source.width_; ++col) {
      if (blend)
        Blend(x + col, y + row, source.Pixel(col, row));
      else
        SetPixel(x + col, y + row, source.Pixel(col, row));
    }
}

PictureCanvas PictureCanvas::Strip(const std::vector<PictureCanvas>& frames) {
  int width = 0, height = 0;
  for (const PictureCanvas& f : frames) {
    width += f.width_;
    height = std::max(height, f.height_);
  }
  PictureCanvas strip(width, height);
  int x = 0;
  for (const PictureCanvas& f : frames) {
    strip.Copy(f, x, 0);
    x += f.width_;
  }
  return strip;
}

std::vector<std::uint8_t> PictureCanvas::ToPng(const PngDeflate& deflate) const {
  return EncodePng(pixels_.data(), width_, height_, deflate);
}

bool PictureCanvas::SavePng(const std::filesystem::path& path, const PngDeflate& deflate) const {
  const std::vector<std::uint8_t> png = ToPng(deflate);
  return !png.empty() && WriteBytes(path, png);
}

}  // namespace zz
