// The hourglass the installer shows while it works, and the window's idle
// pictures, drawn by us. The shapes share one bulb outline so that the
// sand pictures fit the glass at the places the window draws them.
#pragma once

#include <string>
#include <vector>

#include "png_writer.h"

struct InstallerPicture {
  int id;
  std::string file;
  int width, height;
  std::vector<std::uint8_t> png;
};

std::vector<InstallerPicture> MakeInstallerPictures(const zz::PngDeflate& deflate);
