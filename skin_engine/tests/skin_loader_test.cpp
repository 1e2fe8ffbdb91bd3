#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "skin_format.h"
#include "skin_loader.h"
#include "skin_resources.h"
#include "skin_table.h"

namespace zz::skin {
namespace {

// A fresh folder under the temporary folder, for one test.
std::wstring NewFolder(const wchar_t* name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + L"zz_skin_" + name + L"_" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

std::vector<char> ReadFile(const std::wstring& path) {
  std::vector<char> bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[65536];
  DWORD read = 0;
  while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.insert(bytes.end(), buffer, buffer + read);
  CloseHandle(file);
  return bytes;
}

void WriteBytes(const std::wstring& path, const std::vector<char>& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::vector<char> LibraryResource() {
  const void* data = nullptr;
  DWORD size = 0;
  if (!ProgramResource(L"" ZZ_SKIN_LIBRARY_TYPE, ZZ_SKIN_LIBRARY_ID, &data, &size)) return {};
  return std::vector<char>(static_cast<const char*>(data), static_cast<const char*>(data) + size);
}

TEST(SkinResources, HoldTheLibraryAndEveryBuiltInSkin) {
  const std::vector<char> library = LibraryResource();
  ASSERT_GT(library.size(), 1024u);
  EXPECT_EQ(library[0], 'M');
  EXPECT_EQ(library[1], 'Z');
  // Byte for byte the library this build made.
  EXPECT_EQ(library, ReadFile(ProgramFolder() + L"\\SkinH_EL.dll"));

  for (int n = 1; n <= kSkinCount; ++n) {
    const void* data = nullptr;
    DWORD size = 0;
    ASSERT_TRUE(ProgramResource(L"" ZZ_SKIN_BLOCK_TYPE, n, &data, &size)) << n;
    // The resource compiler and the C++ encoder write the same bytes.
    const std::vector<std::uint8_t> expected = EncodeSkin(*BuiltInSkin(n));
    ASSERT_EQ(size, expected.size()) << n;
    EXPECT_EQ(std::vector<std::uint8_t>(static_cast<const std::uint8_t*>(data),
                                        static_cast<const std::uint8_t*>(data) + size),
              expected)
        << n;
  }
  const void* data = nullptr;
  DWORD size = 0;
  EXPECT_FALSE(ProgramResource(L"" ZZ_SKIN_BLOCK_TYPE, kSkinCount + 1, &data, &size));
}

TEST(EnsureLibraryFile, WritesAMissingLibraryHiddenAndLeavesAPresentOneAlone) {
  const std::wstring folder = NewFolder(L"ensure");
  const std::wstring path = folder + L"\\SkinH_EL.dll";
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(path.c_str());

  ASSERT_TRUE(EnsureLibraryFile(folder));
  const DWORD attributes = GetFileAttributesW(path.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(ReadFile(path), LibraryResource());

  // A file that is there is not rewritten, whatever it holds.
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  WriteBytes(path, {'o', 'l', 'd'});
  EXPECT_TRUE(EnsureLibraryFile(folder));
  EXPECT_EQ(ReadFile(path), (std::vector<char>{'o', 'l', 'd'}));
  DeleteFileW(path.c_str());

  // A folder that cannot take the file: reported, nothing left behind.
  EXPECT_FALSE(EnsureLibraryFile(folder + L"\\no such folder"));
  RemoveDirectoryW(folder.c_str());
}

// The failures run before any good library is loaded into this process.
TEST(SkinLibrary, ABrokenOrMissingLibraryIsRefusedAndNothingIsCalled) {
  const std::wstring folder = NewFolder(L"broken");
  const std::wstring path = folder + L"\\SkinH_EL.dll";

  SkinLibrary missing;
  EXPECT_FALSE(missing.Bind(path));
  EXPECT_FALSE(missing.bound());
  EXPECT_FALSE(missing.AttachSkin(1));
  EXPECT_FALSE(missing.SetAero(true));

  std::vector<char> garbage(8192, '\x5A');
  garbage[0] = 'M';
  garbage[1] = 'Z';
  WriteBytes(path, garbage);
  SkinLibrary corrupt;
  EXPECT_FALSE(corrupt.Bind(path));
  EXPECT_FALSE(corrupt.AttachSkin(1));

  // A loadable library that lacks SkinH_SetAero.
  ASSERT_TRUE(CopyFileW((ProgramFolder() + L"\\skin_half_library.dll").c_str(), path.c_str(), FALSE));
  SkinLibrary half;
  EXPECT_FALSE(half.Bind(path));
  EXPECT_FALSE(half.bound());
  EXPECT_FALSE(half.AttachSkin(1));

  DeleteFileW(path.c_str());
  RemoveDirectoryW(folder.c_str());
}

TEST(SkinLibrary, AWrittenLibraryBindsAndTakesOnlyRealSkins) {
  const std::wstring folder = NewFolder(L"good");
  ASSERT_TRUE(EnsureLibraryFile(folder));
  SkinLibrary library;
  ASSERT_TRUE(library.Bind(folder + L"\\SkinH_EL.dll"));
  EXPECT_FALSE(library.AttachSkin(0));
  EXPECT_FALSE(library.AttachSkin(kSkinCount + 1));
  EXPECT_TRUE(library.AttachSkin(7));
  EXPECT_TRUE(library.AttachSkin(7));  // again, as every window does
  EXPECT_TRUE(library.AttachSkin(kSkinCount));

  const std::vector<std::uint8_t> block = EncodeSkin(*BuiltInSkin(3));
  EXPECT_FALSE(library.AttachBlock(block.data(), static_cast<DWORD>(block.size() - 1)));
  EXPECT_FALSE(library.AttachBlock(nullptr, 100));
  EXPECT_TRUE(library.AttachBlock(block.data(), static_cast<DWORD>(block.size())));
  // Where the desktop has no glass this is refused, and harmless either way.
  library.SetAero(true);
}

}  // namespace
}  // namespace zz::skin
