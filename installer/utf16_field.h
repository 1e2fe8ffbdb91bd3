// Fixed-size little-endian fields of the setup programs' files (the payload
// and the uninstall record): UTF-16LE texts ending in a NUL inside their
// field, and 32-bit numbers. Callers check that the bytes are there first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Reads up to the first NUL; a field without one gives all of its units.
std::u16string ReadUtf16Field(const std::uint8_t* field, std::size_t units);

// Writes text, its NUL and zeros to the end of the field. False (and the
// field all zero) when the text does not leave room for the NUL.
bool WriteUtf16Field(std::uint8_t* field, std::size_t units, const std::u16string& text);

std::uint32_t ReadU32(const std::uint8_t* p);
void WriteU32(std::uint8_t* p, std::uint32_t value);
