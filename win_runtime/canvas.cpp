#include "canvas.h"

#include <algorithm>
#include <cstdint>

namespace rt {
namespace {

void Put16(std::string& out, std::size_t at, std::uint32_t v) {
  out[at] = static_cast<char>(v & 0xFF);
  out[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

Colour PixelCanvas::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return kNoColour;
  return pixels_[static_cast<std::size_t>(y) * width_ + x];
}

void PixelCanvas::Resize(int width, int height, Colour background) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  std::vector<Colour> resized(static_cast<std::size_t>(width) * height, background);
  for (int y = 0; y < std::min(height, height_); ++y)
    for (int x = 0; x < std::min(width, width_); ++x)
      resized[static_cast<std::size_t>(y) * width + x] = At(x, y);
  pixels_.swap(resized);
  width_ = width;
  height_ = height;
}

void PixelCanvas::Clear(Colour background) { std::fill(pixels_.begin(), pixels_.end(), background); }

void PixelCanvas::Fill(int left, int top, int right, int bottom, Colour colour) {
  if (colour == kNoColour) return;
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, width_);
  bottom = std::min(bottom, height_);
  for (int y = top; y < bottom; ++y)
    std::fill_n(pixels_.begin() + static_cast<std::ptrdiff_t>(y) * width_ + left,
                std::max(right - left, 0), colour);
}

void PixelCanvas::Rectangle(int left, int top, int right, int bottom, Colour pen, Colour brush) {
  // Corners given the other way round describe the same rectangle.
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (left == right || top == bottom) return;
  Fill(left + 1, top + 1, right - 1, bottom - 1, brush);
  Fill(left, top, right, top + 1, pen);
  Fill(left, bottom - 1, right, bottom, pen);
  Fill(left, top, left + 1, bottom, pen);
  Fill(right - 1, top, right, bottom, pen);
}

std::string PixelCanvas::Bmp() const {
  if (width_ == 0 || height_ == 0) return std::string();
  const std::size_t stride = (static_cast<std::size_t>(width_) * 3 + 3) & ~std::size_t{3};
  const std::size_t image = stride * height_;
  std::string bmp(54 + image, '\0');
  bmp[0] = 'B';
  bmp[1] = 'M';
  Put32(bmp, 2, static_cast<std::uint32_t>(bmp.size()));
  Put32(bmp, 10, 54);  // file header and info header, no palette
  Put32(bmp, 14, 40);
  Put32(bmp, 18, static_cast<std::uint32_t>(width_));
  Put32(bmp, 22, static_cast<std::uint32_t>(height_));
  Put16(bmp, 26, 1);
  Put16(bmp, 28, 24);
  Put32(bmp, 34, static_cast<std::uint32_t>(image));
  // Lines are stored bottom up, each pixel as blue, green, red.
  for (int y = 0; y < height_; ++y) {
    std::size_t at = 54 + stride * static_cast<std::size_t>(height_ - 1 - y);
    for (int x = 0; x < width_; ++x, at += 3) {
      Colour c = At(x, y);
      bmp[at] = static_cast<char>((c >> 16) & 0xFF);
      bmp[at + 1] = static_cast<char>((c >> 8) & 0xFF);
      bmp[at + 2] = static_cast<char>(c & 0xFF);
    }
  }
  return bmp;
}

}  // namespace rt
