// Writes the setup library's own pictures and their resource script:
//   make_library_pictures <folder>      (the folder is setup_support/res)
#include <cstdio>
#include <filesystem>

#include "library_pictures.h"
#include "png_zlib.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_library_pictures <folder>\n");
    return 2;
  }
  std::filesystem::path folder = argv[1];
  for (const zz::LibraryPicture& picture : zz::MakeLibraryPictures(zz::ZlibPngDeflate())) {
    if (picture.bytes.empty() || !zz::WriteBytes(folder / picture.file, picture.bytes)) {
      std::fprintf(stderr, "cannot write %s\n", picture.file.c_str());
      return 1;
    }
  }
  return 0;
}
