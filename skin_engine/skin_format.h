// Skin blocks: the bytes that describe one skin, as the skin library takes
// them.
//
// Layout (little-endian, no padding):
//   0  u32  magic "ZSKN" (bytes 5A 53 4B 4E)
//   4  u16  format version, 1
//   6  u16  number of colours that follow (at least kColourCount)
//   8  u32  colour[count], each 0x00RRGGBB (high byte always 0)
// Nothing may follow the last colour. Colours past the ones this version
// knows are read over, so a later writer can add roles at the end.
//
// Portable code: no windows.h here, so the parser is tested natively.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zz::skin {

constexpr std::uint32_t kMagic = 0x4E4B535Au;
constexpr std::uint16_t kVersion = 1;
constexpr std::size_t kHeaderSize = 8;
// More colours than this is surely not a skin of ours.
constexpr std::size_t kMaxColours = 256;

// Colour roles, in block order.
enum class Colour : int {
  WindowBack, WindowText,
  ButtonFace, ButtonText, ButtonBorder, ButtonHot, ButtonPushed,
  EditBack, EditText,
  ListBack, ListText, ListAltRow,
  SelectionBack, SelectionText,
  Highlight,
  Caption, CaptionText,
  Frame, DisabledText,
  StatusBack, HeaderBack,
  Count
};
constexpr std::size_t kColourCount = static_cast<std::size_t>(Colour::Count);

struct Skin {
  std::array<std::uint32_t, kColourCount> rgb{};  // 0x00RRGGBB each

  std::uint32_t Rgb(Colour role) const { return rgb[static_cast<std::size_t>(role)]; }
  bool operator==(const Skin& other) const { return rgb == other.rgb; }
  bool operator!=(const Skin& other) const { return !(*this == other); }
};

enum class ParseResult {
  Ok,
  NoData,        // null pointer or size 0
  Truncated,     // shorter than the header or than its colours
  BadMagic,
  BadVersion,
  BadCount,      // fewer colours than the version needs, or absurdly many
  TrailingBytes, // bytes after the last colour
  BadColour,     // a colour with its high byte set
};

std::vector<std::uint8_t> EncodeSkin(const Skin& skin);

// Reads a skin block of exactly `size` bytes. `out` is written only on Ok.
ParseResult ParseSkin(const void* data, std::size_t size, Skin* out);

// 0x00RRGGBB to the 0x00BBGGRR order of Windows colour values.
constexpr std::uint32_t RgbToColorRef(std::uint32_t rgb) {
  return ((rgb >> 16) & 0xFFu) | (rgb & 0xFF00u) | ((rgb & 0xFFu) << 16);
}

}  // namespace zz::skin
