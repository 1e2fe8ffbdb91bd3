// The skin package file: a plain run of entries, each a 64-byte header (a
// UTF-16 name of 30 units, then the data size as a little-endian 32-bit
// number) followed by the data. No file header, index or checksum. The walk
// needs no Windows API, so it is built and tested on every platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

constexpr std::size_t kQvSkinNameUnits = 30;  // 29 characters and a NUL
constexpr std::size_t kQvSkinNameChars = kQvSkinNameUnits - 1;
constexpr std::size_t kQvSkinSizeOffset = 60;
constexpr std::size_t kQvSkinHeaderBytes = 64;

// The entry name for a source path: what follows its last backslash up to
// the first dot after it; empty when there is no backslash, or that part
// starts with a dot or has none. Cut to kQvSkinNameChars characters.
std::wstring QvSkinEntryName(const wchar_t* path);

// A zeroed header holding name (cut to kQvSkinNameChars) and data_size.
void QvSkinMakeHeader(const std::wstring& name, std::uint32_t data_size,
                      unsigned char out[kQvSkinHeaderBytes]);

// True when the name field at header equals name, comparing 16-bit units
// ordinally; a field without a NUL counts as 30 units long.
bool QvSkinNameEquals(const unsigned char* header, const wchar_t* name);

// The first entry named name whose header and data lie wholly inside the
// package; its data's offset and size. False when none does: the walk stops
// at the first entry that would reach past the end.
bool QvSkinFindEntry(const unsigned char* package, std::size_t size, const wchar_t* name,
                     std::size_t* data_offset, std::uint32_t* data_size);
