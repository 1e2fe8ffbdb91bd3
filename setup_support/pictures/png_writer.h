// PNG files of 8-bit RGBA pixels, written without any image library: the
// generators of our pictures run natively and inside the Windows tests alike.
// The IDAT data is a zlib stream; stored (uncompressed) blocks by default, so
// nothing needs zlib, while a generator of shipped pictures may plug in a
// real deflate.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

namespace zz {

std::uint32_t PngCrc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0);
std::uint32_t Adler32(const std::uint8_t* data, std::size_t size, std::uint32_t adler = 1);

// Turns raw bytes into a whole zlib stream (header, deflate data, Adler-32).
using PngDeflate =
    std::function<bool(const std::vector<std::uint8_t>& raw, std::vector<std::uint8_t>& zlib)>;

// A zlib stream made of stored deflate blocks.
std::vector<std::uint8_t> ZlibStored(const std::uint8_t* data, std::size_t size);

// rgba: straight (not premultiplied) alpha, rows top to bottom, 4 * width
// bytes each. Empty when the size is not positive or deflate fails.
std::vector<std::uint8_t> EncodePng(const std::uint8_t* rgba, int width, int height,
                                    const PngDeflate& deflate = nullptr);

bool WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

}  // namespace zz
