#include "png_writer.h"

#include <array>
#include <fstream>

namespace zz {
namespace {

const std::array<std::uint32_t, 256>& CrcTable() {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  return table;
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 24));
  out.push_back(static_cast<std::uint8_t>(v >> 16));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}

void PutChunk(std::vector<std::uint8_t>& out, const char type[4],
              const std::vector<std::uint8_t>& data) {
  PutU32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t type_at = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  // The CRC covers the type and the data, not the length.
  PutU32(out, PngCrc32(out.data() + type_at, out.size() - type_at));
}

}  // namespace

std::uint32_t PngCrc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc) {
  const auto& table = CrcTable();
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

std::uint32_t Adler32(const std::uint8_t* data, std::size_t size, std::uint32_t adler) {
  std::uint32_t a = adler & 0xFFFF, b = adler >> 16;
  for (std::size_t i = 0; i < size; ++i) {
    a = (a + data[i]) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

std::vector<std::uint8_t> ZlibStored(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> out = {0x78, 0x01};  // deflate, 32K window, check bits
  const std::size_t kMaxBlock = 65535;
  std::size_t pos = 0;
  do {
    const std::size_t n = size - pos < kMaxBlock ? size - pos : kMaxBlock;
    const bool last = pos + n == size;
    out.push_back(last ? 1 : 0);  // BFINAL, BTYPE 00
    out.push_back(static_cast<std::uint8_t>(n));
    out.push_back(static_cast<std::uint8_t>(n >> 8));
    out.push_back(static_cast<std::uint8_t>(~n));
    out.push_back(static_cast<std::uint8_t>(~n >> 8));
    out.insert(out.end(), data + pos, data + pos + n);
    pos += n;
  } while (pos < size);
  PutU32(out, Adler32(data, size));
  return out;
}

std::vector<std::uint8_t> EncodePng(const std::uint8_t* rgba, int width, int height,
                                    const PngDeflate& deflate) {
  if (width <= 0 || height <= 0 || !rgba) return {};
  const std::size_t row = static_cast<std::size_t>(width) * 4;
  std::vector<std::uint8_t> raw;
  raw.reserve((row + 1) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // filter: none
    const std::uint8_t* line = rgba + row * static_cast<std::size_t>(y);
    raw.insert(raw.end(), line, line + row);
  }
  std::vector<std::uint8_t> idat;
  if (deflate) {
    if (!deflate(raw, idat)) return {};
  } else {
    idat = ZlibStored(raw.data(), raw.size());
  }

  std::vector<std::uint8_t> ihdr;
  PutU32(ihdr, static_cast<std::uint32_t>(width));
  PutU32(ihdr, static_cast<std::uint32_t>(height));
  ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter set, no interlace

  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  PutChunk(png, "IHDR", ihdr);
  PutChunk(png, "IDAT", idat);
  PutChunk(png, "IEND", {});
  return png;
}

bool WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  if (!f) return false;
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  f.close();
  return static_cast<bool>(f);
}

}  // namespace zz
