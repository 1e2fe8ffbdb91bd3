#include "skin_format.h"

namespace zz::skin {
namespace {

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  PutU16(out, static_cast<std::uint16_t>(v));
  PutU16(out, static_cast<std::uint16_t>(v >> 16));
}

std::uint16_t GetU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t GetU32(const std::uint8_t* p) {
  return GetU16(p) | (static_cast<std::uint32_t>(GetU16(p + 2)) << 16);
}

}  // namespace

std::vector<std::uint8_t> EncodeSkin(const Skin& skin) {
  std::vector<std::uint8_t> out;
  out.reserve(kHeaderSize + 4 * kColourCount);
  PutU32(out, kMagic);
  PutU16(out, kVersion);
  PutU16(out, static_cast<std::uint16_t>(kColourCount));
  for (std::uint32_t rgb : skin.rgb) PutU32(out, rgb & 0xFFFFFFu);
  return out;
}

ParseResult ParseSkin(const void* data, std::size_t size, Skin* out) {
  if (data == nullptr || size == 0) return ParseResult::NoData;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  if (size < kHeaderSize) return ParseResult::Truncated;
  if (GetU32(bytes) != kMagic) return ParseResult::BadMagic;
  if (GetU16(bytes + 4) != kVersion) return ParseResult::BadVersion;
  const std::size_t count = GetU16(bytes + 6);
  if (count < kColourCount || count > kMaxColours) return ParseResult::BadCount;
  const std::size_t needed = kHeaderSize + 4 * count;
  if (size < needed) return ParseResult::Truncated;
  if (size > needed) return ParseResult::TrailingBytes;

  Skin skin;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t value = GetU32(bytes + kHeaderSize + 4 * i);
    if (value > 0xFFFFFFu) return ParseResult::BadColour;
    if (i < kColourCount) skin.rgb[i] = value;
  }
  if (out != nullptr) *out = skin;
  return ParseResult::Ok;
}

}  // namespace zz::skin
