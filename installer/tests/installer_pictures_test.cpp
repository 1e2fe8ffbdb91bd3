#include "hourglass.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "png_zlib.h"

namespace {

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(InstallerPictures, CheckedInFilesAreWhatTheGeneratorDrawsAtTheirSizes) {
  const struct {
    int id, width, height;
  } sizes[] = {{60071, 372, 287}, {60073, 87, 29},   {60074, 87, 29},  {60026, 136, 328},
               {60027, 136, 328}, {60028, 126, 136}, {60029, 126, 126}};
  auto pictures = MakeInstallerPictures(zz::ZlibPngDeflate());
  ASSERT_EQ(pictures.size(), std::size(sizes));
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    SCOPED_TRACE(pictures[i].file);
    EXPECT_EQ(pictures[i].id, sizes[i].id);
    EXPECT_EQ(pictures[i].width, sizes[i].width);
    EXPECT_EQ(pictures[i].height, sizes[i].height);
    EXPECT_EQ(ReadFile(ZZ_INSTALLER_PICTURES + pictures[i].file), pictures[i].png)
        << "run make_installer_pictures installer/pictures";
  }
}
