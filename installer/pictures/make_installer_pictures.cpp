// Writes the installer's pictures and their resource script:
//   make_installer_pictures <folder>      (the folder is installer/pictures)
#include <cstdio>
#include <filesystem>
#include <string>

#include "hourglass.h"
#include "png_zlib.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_installer_pictures <folder>\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::string script = "// Written by installer/pictures/make_installer_pictures.cpp.\n";
  for (const InstallerPicture& p : MakeInstallerPictures(zz::ZlibPngDeflate())) {
    if (p.png.empty() || !zz::WriteBytes(folder / p.file, p.png)) {
      std::fprintf(stderr, "cannot write %s\n", p.file.c_str());
      return 1;
    }
    script += std::to_string(p.id) + " IMG \"" + p.file + "\"\n";
  }
  std::vector<std::uint8_t> bytes(script.begin(), script.end());
  return zz::WriteBytes(folder / "installer_pictures.rc", bytes) ? 0 : 1;
}
