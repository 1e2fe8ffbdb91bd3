#include "qv_skin_package.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

void Append(std::vector<unsigned char>& package, const std::wstring& name, std::uint32_t size,
            const std::string& data) {
  unsigned char header[kQvSkinHeaderBytes];
  QvSkinMakeHeader(name, size, header);
  package.insert(package.end(), header, header + sizeof header);
  package.insert(package.end(), data.begin(), data.end());
}

std::string Found(const std::vector<unsigned char>& package, const wchar_t* name) {
  std::size_t offset = 0;
  std::uint32_t size = 0;
  if (!QvSkinFindEntry(package.data(), package.size(), name, &offset, &size)) return "<none>";
  return std::string(package.begin() + offset, package.begin() + offset + size);
}

TEST(QvSkinPackage, EntryNameIsTheFileNameUpToItsFirstDot) {
  const wchar_t* cases[][2] = {
      {L"C:\\s\\button_1.png", L"button_1"},
      {L"C:\\s\\a.b.png", L"a"},
      {L"C:\\s.d\\readme", L""},
      {L"C:\\s\\.hidden.png", L""},
      {L"button.png", L""},
      {L"C:\\s\\abcdefghijklmnopqrstuvwxyz0123.png", L"abcdefghijklmnopqrstuvwxyz012"},
  };
  for (auto& c : cases) EXPECT_EQ(QvSkinEntryName(c[0]), c[1]) << c[0];
}

TEST(QvSkinPackage, WalkFindsTheFirstOfANameComparedOrdinally) {
  std::vector<unsigned char> package;
  Append(package, L"button_0", 5, "a\r\nb\n");
  Append(package, L"", 1, "e");
  Append(package, L"bg\x4e2d", 3, "one");
  Append(package, L"bg\x4e2d", 3, "two");
  EXPECT_EQ(Found(package, L"button_0"), "a\r\nb\n");
  EXPECT_EQ(Found(package, L"bg\x4e2d"), "one");
  EXPECT_EQ(Found(package, L""), "e");
  EXPECT_EQ(Found(package, L"BUTTON_0"), "<none>");
  EXPECT_EQ(Found(package, L"bg"), "<none>");

  // A name field of 30 units without a NUL ends there: the size bytes after
  // it are no part of the name.
  std::vector<unsigned char> full(kQvSkinHeaderBytes + 1, 0);
  for (std::size_t i = 0; i < 60; i += 2) full[i] = 'x';
  full[60] = 1;
  const std::wstring thirty(30, L'x');
  EXPECT_EQ(Found(full, thirty.c_str()), std::string(1, '\0'));
  EXPECT_EQ(Found(full, (thirty + L"\x01").c_str()), "<none>");
}

TEST(QvSkinPackage, WalkNeverReadsPastThePackage) {
  std::vector<unsigned char> package;
  Append(package, L"first", 2, "ab");
  // Sizes that reach past the end, or that would wrap a 32-bit cursor.
  for (std::uint32_t size : {3u, 0xFFFFFFFFu, 0xFFFFFFFFu - 63u, 0xFFFFFFFFu - 65u}) {
    std::vector<unsigned char> bad = package;
    Append(bad, L"bad", size, "xy");
    EXPECT_EQ(Found(bad, L"bad"), "<none>") << size;
    EXPECT_EQ(Found(bad, L"missing"), "<none>") << size;
    EXPECT_EQ(Found(bad, L"first"), "ab");
  }
  Append(package, L"cut", 0, "");
  package.pop_back();
  EXPECT_EQ(Found(package, L"cut"), "<none>");
}

}  // namespace
