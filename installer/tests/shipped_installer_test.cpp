// The installer the build ships: the payload at its constant offset, the
// header's shipped texts and every staged file, in install order.
#include "payload.h"
#include "utf16_field.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace {

std::vector<std::uint8_t> ReadAll(const std::string& path) {
  std::vector<std::uint8_t> out;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    std::uint8_t buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) out.insert(out.end(), buffer, buffer + n);
    std::fclose(f);
  }
  return out;
}

}  // namespace

TEST(ShippedInstaller, CarriesTheStagedFilesBehindItsImage) {
  std::vector<std::uint8_t> file = ReadAll(ZZ_SHIPPED_INSTALLER);
  ASSERT_GT(file.size(), kPayloadOffset);
  Payload payload;
  std::string error;
  ASSERT_TRUE(ReadPayload(file.data() + kPayloadOffset, file.size() - kPayloadOffset, &payload, &error))
      << error;
  EXPECT_EQ(payload.header.PayloadOffset, kPayloadOffset);
  EXPECT_EQ(payload.header.KeyName, u"Zuzaror");
  EXPECT_EQ(payload.header.DisplayName, u"Zuzaror 3.0.3.28");
  EXPECT_EQ(payload.header.DisplayVersion, u"3.0.3.28");
  EXPECT_EQ(payload.header.UninstallerPath, u"Zuzaror\\Zodadira.exe");
  EXPECT_EQ(payload.header.ShortcutComment, u"五日、统计报表");
  EXPECT_EQ(payload.header.UserDataFolder, u"UserData\\");
  const char* const names[] = {"Zodadira.exe", "1021.ini", "ml.mdb", "SkinH_EL.dll",
                               "tjbb.grd", "wrbb.grd", "Zuzaror.exe"};
  ASSERT_EQ(payload.files.size(), 7u);
  for (std::size_t i = 0; i < 7; ++i) {
    const std::string name = names[i];
    EXPECT_EQ(payload.files[i].header.Path, u"Zuzaror\\" + std::u16string(name.begin(), name.end()));
    EXPECT_EQ(payload.files[i].data, ReadAll(std::string(ZZ_INSTALLER_STAGE) + "/" + name)) << name;
  }
}
