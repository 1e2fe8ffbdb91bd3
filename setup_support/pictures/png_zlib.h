// The zlib deflate for shipped pictures (native builds only): the PNG
// writer's own stored blocks would make them several times larger.
#pragma once

#include "png_writer.h"

namespace zz {

// Level 9; the same input always gives the same bytes.
PngDeflate ZlibPngDeflate();

}  // namespace zz
