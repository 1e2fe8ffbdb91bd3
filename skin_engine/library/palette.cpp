#include "palette.h"

#include <map>
#include <mutex>

namespace zz::skin {
namespace {

std::mutex g_mutex;
std::shared_ptr<const Palette> g_current;

}  // namespace

Palette::Palette(const Skin& skin) : skin_(skin) {
  for (std::size_t i = 0; i < kColourCount; ++i) {
    brushes_[i] = PermanentBrush(RgbToColorRef(skin.rgb[i]));
  }
}

bool Palette::Owns(HBRUSH brush) const {
  for (HBRUSH own : brushes_) {
    if (own == brush) return true;
  }
  return false;
}

std::shared_ptr<const Palette> CurrentPalette() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_current;
}

void SetCurrentPalette(std::shared_ptr<const Palette> palette) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_current = std::move(palette);
}

HBRUSH PermanentBrush(COLORREF color) {
  // Bounded by the colours of the skins a run uses: 21 per skin.
  static std::mutex mutex;
  static std::map<COLORREF, HBRUSH> brushes;
  std::lock_guard<std::mutex> lock(mutex);
  HBRUSH& brush = brushes[color];
  if (brush == nullptr) brush = CreateSolidBrush(color);
  return brush;
}

bool IsSystemBrush(HBRUSH brush) {
  const auto value = reinterpret_cast<ULONG_PTR>(brush);
  if (value >= 1 && value <= COLOR_MENUBAR + 1) return true;
  for (int index = 0; index <= COLOR_MENUBAR; ++index) {
    if (GetSysColorBrush(index) == brush) return true;
  }
  return false;
}

}  // namespace zz::skin
