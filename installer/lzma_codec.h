// One-call LZMA coding of a whole buffer, as the payload's entries need it:
// 5 property bytes kept apart from the stream, no end marker, the decoded
// size known beforehand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr std::size_t kLzmaPropsSize = 5;

// The SDK's status code (0 = SZ_OK). *dest_len is the room on entry and the
// bytes written on return, *src_len the stream's length on entry and the
// bytes the decoder took on return.
int LzmaUncompress(std::uint8_t* dest, std::size_t* dest_len, const std::uint8_t* src,
                   std::size_t* src_len, const std::uint8_t* props, std::size_t props_size);

// Decodes exactly `size` bytes from props + stream. False unless the decoder
// accepted it, filled exactly `size` bytes and took the whole stream: a
// damaged, cut or overlong stream is never taken for the file.
bool LzmaDecodeExact(const std::uint8_t* props_and_stream, std::size_t packed_size,
                     std::uint8_t* out, std::size_t size);

// Packs data with lc 3, lp 0, pb 2 and a 16 MiB dictionary (properties
// 5D 00 00 00 01), the properties first, then the stream without an end
// marker. False when the encoder fails.
bool LzmaPack(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>* packed);
