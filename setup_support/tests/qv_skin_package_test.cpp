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
  struct Case {
    const wchar_t* path;
    const wchar_t* name;
  } cases[] = {
      {L"C:\\s\\button_1.png", L"button_1"},
      {L"C:\\s\\a.b.png", L"a"},
      {L"C:\\s.d\\readme", L""},    // the dot of a folder does not count
      {L"C:\\s\\.hidden.png", L""},
      {L"button.png", L""},          // no backslash
      {L"C:\\s\\\x6309\x94ae.png", L"\x6309\x94ae"},
      {L"C:\\s\\abcdefghijklmnopqrstuvwxyz0123.png", L"abcdefghijklmnopqrstuvwxyz012"},
  };
  for (const Case& c : cases) EXPECT_EQ(QvSkinEntryName(c.path), c.name) << c.path;
}

TEST(QvSkinPackage, HeaderLayoutAndNameComparison) {
  unsigned char header[kQvSkinHeaderBytes];
  QvSkinMakeHeader(L"bg\x4e2d", 0x01020304u, header);
  const unsigned char want[] = {'b', 0, 'g', 0, 0x2d, 0x4e, 0, 0};
  EXPECT_EQ(std::vector<unsigned char>(header, header + 8),
            std::vector<unsigned char>(want, want + 8));
  EXPECT_EQ(header[60], 4);
  EXPECT_EQ(header[63], 1);
  for (int i = 8; i < 60; ++i) EXPECT_EQ(header[i], 0) << i;

  EXPECT_TRUE(QvSkinNameEquals(header, L"bg\x4e2d"));
  EXPECT_FALSE(QvSkinNameEquals(header, L"BG\x4e2d"));  // ordinal, case counts
  EXPECT_FALSE(QvSkinNameEquals(header, L"bg"));
  EXPECT_FALSE(QvSkinNameEquals(header, L"bg\x4e2dx"));

  // A field of 30 units without a NUL is read no further than itself.
  for (int i = 0; i < 60; i += 2) header[i] = 'x', header[i + 1] = 0;
  std::wstring thirty(30, L'x');
  EXPECT_TRUE(QvSkinNameEquals(header, thirty.c_str()));
  EXPECT_FALSE(QvSkinNameEquals(header, (thirty + L"\x0304").c_str()));
}

TEST(QvSkinPackage, WalkFindsTheFirstOfAName) {
  std::vector<unsigned char> package;
  Append(package, L"button_0", 5, "a\r\nb\n");
  Append(package, L"", 1, "e");
  Append(package, L"bg", 3, "one");
  Append(package, L"bg", 3, "two");
  EXPECT_EQ(Found(package, L"button_0"), "a\r\nb\n");
  EXPECT_EQ(Found(package, L"bg"), "one");
  EXPECT_EQ(Found(package, L""), "e");
  EXPECT_EQ(Found(package, L"bg2"), "<none>");
  EXPECT_EQ(Found({}, L""), "<none>");
}

TEST(QvSkinPackage, WalkNeverReadsPastThePackage) {
  std::vector<unsigned char> package;
  Append(package, L"first", 2, "ab");
  // Sizes that reach past the end, or that would wrap a 32-bit cursor back
  // onto the first entry, stop the walk.
  for (std::uint32_t size : {3u, 0xFFFFFFFFu, 0xFFFFFFFFu - 63u, 0xFFFFFFFFu - 65u}) {
    std::vector<unsigned char> bad = package;
    Append(bad, L"bad", size, "xy");
    EXPECT_EQ(Found(bad, L"bad"), "<none>") << size;
    EXPECT_EQ(Found(bad, L"missing"), "<none>") << size;
    EXPECT_EQ(Found(bad, L"first"), "ab");
  }
  // A header cut short at the end.
  std::vector<unsigned char> cut = package;
  Append(cut, L"cut", 0, "");
  cut.resize(cut.size() - 1);
  EXPECT_EQ(Found(cut, L"cut"), "<none>");
}

}  // namespace
