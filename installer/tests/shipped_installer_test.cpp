// The installer the build ships: the payload at its constant offset, the
// header's shipped texts and every staged file, in install order; and the
// rights every shipped program asks Windows for.
#include "payload.h"
#include "utf16_field.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <type_traits>
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

Payload ShippedPayload() {
  std::vector<std::uint8_t> file = ReadAll(ZZ_SHIPPED_INSTALLER);
  Payload payload;
  std::string error;
  if (file.size() <= kPayloadOffset ||
      !ReadPayload(file.data() + kPayloadOffset, file.size() - kPayloadOffset, &payload, &error))
    ADD_FAILURE() << "shipped payload unreadable: " << error;
  return payload;
}

struct ModuleFreer {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};
using UniqueModule = std::unique_ptr<std::remove_pointer<HMODULE>::type, ModuleFreer>;

struct Manifest {
  int count = 0;  // RT_MANIFEST resources of any id
  std::string text;  // the one with id 1
};

// Read from the image as Windows reads it before the program starts: a copy
// in a temporary file, loaded as resources only.
Manifest ManifestOf(const std::vector<std::uint8_t>& image) {
  Manifest out;
  wchar_t folder[MAX_PATH], path[MAX_PATH];
  if (!GetTempPathW(MAX_PATH, folder) || !GetTempFileNameW(folder, L"zzm", 0, path)) return out;
  if (FILE* f = _wfopen(path, L"wb")) {
    std::fwrite(image.data(), 1, image.size(), f);
    std::fclose(f);
  }
  if (UniqueModule module{LoadLibraryExW(path, nullptr,
                                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)}) {
    EnumResourceNamesW(module.get(), RT_MANIFEST,
                       [](HMODULE, LPCWSTR, LPWSTR, LONG_PTR count) -> BOOL {
                         ++*reinterpret_cast<int*>(count);
                         return TRUE;
                       },
                       reinterpret_cast<LONG_PTR>(&out.count));
    if (HRSRC found = FindResourceW(module.get(), MAKEINTRESOURCEW(1), RT_MANIFEST))
      if (const void* bytes = LockResource(LoadResource(module.get(), found)))
        out.text.assign(static_cast<const char*>(bytes), SizeofResource(module.get(), found));
  }
  DeleteFileW(path);
  return out;
}

}  // namespace

TEST(ShippedInstaller, CarriesTheStagedFilesBehindItsImage) {
  const Payload payload = ShippedPayload();
  ASSERT_EQ(payload.files.size(), 7u);
  EXPECT_EQ(payload.header.PayloadOffset, kPayloadOffset);
  EXPECT_EQ(payload.header.KeyName, u"Zuzaror");
  EXPECT_EQ(payload.header.DisplayName, u"Zuzaror 3.0.3.28");
  EXPECT_EQ(payload.header.DisplayVersion, u"3.0.3.28");
  EXPECT_EQ(payload.header.UninstallerPath, u"Zuzaror\\Zodadira.exe");
  EXPECT_EQ(payload.header.ShortcutComment, u"五日、统计报表");
  EXPECT_EQ(payload.header.UserDataFolder, u"UserData\\");
  const char* const names[] = {"Zodadira.exe", "1021.ini", "ml.mdb", "SkinH_EL.dll",
                               "tjbb.grd", "wrbb.grd", "Zuzaror.exe"};
  for (std::size_t i = 0; i < 7; ++i) {
    const std::string name = names[i];
    EXPECT_EQ(payload.files[i].header.Path, u"Zuzaror\\" + std::u16string(name.begin(), name.end()));
    EXPECT_EQ(payload.files[i].data, ReadAll(std::string(ZZ_INSTALLER_STAGE) + "/" + name)) << name;
  }
}

// Every program writes where only an elevated process may (Program Files,
// HKLM, c:\clear.bat); without the request Windows starts it unelevated and
// without file virtualization, and its writes fail. The payload's copies are
// the ones users run.
TEST(ShippedPrograms, AskForAdministratorRights) {
  std::vector<std::pair<std::string, std::vector<std::uint8_t>>> programs;
  for (const char* name : {"Vodavezu.exe", "Zodadira.exe", "Zuzaror.exe"})
    programs.emplace_back(name, ReadAll(std::string(ZZ_PROGRAM_FOLDER) + "/" + name));
  Payload payload = ShippedPayload();
  for (PayloadFile& file : payload.files) {
    const std::u16string& path = file.header.Path;
    if (path.size() > 4 && path.compare(path.size() - 4, 4, u".exe") == 0)
      programs.emplace_back("payload's " + std::string(path.begin(), path.end()), std::move(file.data));
  }
  ASSERT_EQ(programs.size(), 5u);
  for (const auto& program : programs) {
    const Manifest manifest = ManifestOf(program.second);
    EXPECT_EQ(manifest.count, 1) << program.first;
    EXPECT_NE(manifest.text.find(R"(<requestedExecutionLevel level="requireAdministrator" uiAccess="false"/>)"),
              std::string::npos)
        << program.first;
  }
}
