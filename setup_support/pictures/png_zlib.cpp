#include "png_zlib.h"

#include <zlib.h>

namespace zz {

PngDeflate ZlibPngDeflate() {
  return [](const std::vector<std::uint8_t>& raw, std::vector<std::uint8_t>& out) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    out.resize(size);
    if (compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK)
      return false;
    out.resize(size);
    return true;
  };
}

}  // namespace zz
