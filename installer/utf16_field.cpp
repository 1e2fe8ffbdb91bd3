#include "utf16_field.h"

#include <cstring>

std::u16string ReadUtf16Field(const std::uint8_t* field, std::size_t units) {
  std::u16string text;
  for (std::size_t i = 0; i < units; ++i) {
    char16_t c = static_cast<char16_t>(field[2 * i] | (field[2 * i + 1] << 8));
    if (c == 0) break;
    text.push_back(c);
  }
  return text;
}

bool WriteUtf16Field(std::uint8_t* field, std::size_t units, const std::u16string& text) {
  std::memset(field, 0, units * 2);
  if (text.size() >= units) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    field[2 * i] = static_cast<std::uint8_t>(text[i] & 0xFF);
    field[2 * i + 1] = static_cast<std::uint8_t>(text[i] >> 8);
  }
  return true;
}

std::uint32_t ReadU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void WriteU32(std::uint8_t* p, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}
