#include "qv_skin_package.h"

#include <cstring>
#include <cwchar>

namespace {

unsigned NameUnit(const unsigned char* header, std::size_t i) {
  return header[2 * i] | (header[2 * i + 1] << 8);
}

std::uint32_t DataSize(const unsigned char* header) {
  const unsigned char* p = header + kQvSkinSizeOffset;
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

std::wstring QvSkinEntryName(const wchar_t* path) {
  if (!path) return std::wstring();
  const wchar_t* slash = std::wcsrchr(path, L'\\');
  if (!slash) return std::wstring();
  const wchar_t* base = slash + 1;
  const wchar_t* dot = std::wcschr(base, L'.');
  if (!dot || dot == base) return std::wstring();
  std::wstring name(base, dot);
  if (name.size() > kQvSkinNameChars) name.resize(kQvSkinNameChars);
  return name;
}

void QvSkinMakeHeader(const std::wstring& name, std::uint32_t data_size,
                      unsigned char out[kQvSkinHeaderBytes]) {
  std::memset(out, 0, kQvSkinHeaderBytes);
  for (std::size_t i = 0; i < name.size() && i < kQvSkinNameChars; ++i) {
    unsigned unit = static_cast<unsigned>(name[i]) & 0xFFFF;
    out[2 * i] = static_cast<unsigned char>(unit & 0xFF);
    out[2 * i + 1] = static_cast<unsigned char>(unit >> 8);
  }
  for (int i = 0; i < 4; ++i)
    out[kQvSkinSizeOffset + i] = static_cast<unsigned char>(data_size >> (8 * i));
}

bool QvSkinNameEquals(const unsigned char* header, const wchar_t* name) {
  if (!header || !name) return false;
  for (std::size_t i = 0; i < kQvSkinNameUnits; ++i) {
    const unsigned long want = static_cast<unsigned long>(name[i]);
    if (NameUnit(header, i) != want) return false;
    if (want == 0) return true;
  }
  // All 30 units matched without a NUL in the field: equal only when the
  // name ends there too.
  return name[kQvSkinNameUnits] == L'\0';
}

bool QvSkinFindEntry(const unsigned char* package, std::size_t size, const wchar_t* name,
                     std::size_t* data_offset, std::uint32_t* data_size) {
  if (!package || !name) return false;
  // 64-bit arithmetic: a data size near 2^32 must not wrap the cursor back
  // inside the package.
  std::uint64_t cursor = 0;
  const std::uint64_t end = size;
  while (cursor < end) {
    if (end - cursor < kQvSkinHeaderBytes) return false;
    const unsigned char* header = package + cursor;
    const std::uint64_t length = DataSize(header);
    const std::uint64_t data = cursor + kQvSkinHeaderBytes;
    if (end - data < length) return false;
    if (QvSkinNameEquals(header, name)) {
      if (data_offset) *data_offset = static_cast<std::size_t>(data);
      if (data_size) *data_size = static_cast<std::uint32_t>(length);
      return true;
    }
    cursor = data + length;
  }
  return false;
}
