// The pictures the setup library itself carries: the default button, the
// check box, the dialog background, the close button, the message box's
// body pictures and the programs' icon, drawn here and written to setup_support/res/ with the resource
// script that names them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "png_writer.h"

namespace zz {

struct LibraryPicture {
  int id;              // resource id; 0 for the resource script itself
  std::string file;    // file name in the resource folder
  std::vector<std::uint8_t> bytes;
};

// Every picture file, then the icon, then the resource script.
std::vector<LibraryPicture> MakeLibraryPictures(const PngDeflate& deflate);

// An icon file of 32-bit pictures (rgba: straight alpha, rows top down).
struct IconImage {
  int size;
  std::vector<std::uint8_t> rgba;
};
std::vector<std::uint8_t> EncodeIcon(const std::vector<IconImage>& images);

}  // namespace zz
