#include "qv_skin.h"

#include <gtest/gtest.h>

#include <string>

#include "qv_test_process.h"
#include "qv_utils.h"

namespace {

void Put(const std::wstring& path, const std::string& data) {
  QvWriteFile(path.c_str(), data.data(), static_cast<DWORD>(data.size()));
}

std::string Get(const std::wstring& path) {
  std::string data(1 << 16, '\0');
  DWORD length = static_cast<DWORD>(data.size());
  if (!QvReadFile(path.c_str(), &data[0], &length)) return "<none>";
  return data.substr(0, length);
}

std::string StreamBytes(IStream* stream) {
  std::string data(1 << 16, '\0');
  ULONG got = 0;
  stream->Read(&data[0], static_cast<ULONG>(data.size()), &got);
  return data.substr(0, got);
}

TEST(QvSkin, PackageMadeFromAFolderGivesTheSameBytesBack) {
  const std::wstring dir = MakeScratchFolder(L"skin");
  const std::wstring package = dir + L"out.skin";
  std::string button = "\x89PNG\r\n\x1a\n", bg(1000, '\r');
  for (int i = 0; i < 300; ++i) button += static_cast<char>(i * 31);
  Put(dir + L"button_0.png", button);
  Put(dir + L"bg.jpg", bg);
  Put(dir + L"readme", "plain");
  CreateDirectoryW((dir + L"sub.d").c_str(), nullptr);

  CQvSkin skin;
  // A mistyped folder leaves an existing package alone.
  Put(package, "keep");
  EXPECT_FALSE(skin.MakeSkin((dir + L"missing\\").c_str(), package.c_str()));
  EXPECT_EQ("keep", Get(package));
  // The package lies in the folder it packs and must not swallow itself.
  ASSERT_TRUE(skin.MakeSkin(dir.c_str(), package.c_str()));
  EXPECT_EQ(3 * 64 + button.size() + bg.size() + 5, Get(package).size());

  ASSERT_TRUE(skin.LoadSkinFile(package.c_str()));
  IStream* stream = nullptr;
  ASSERT_TRUE(skin.GetRes(L"button_0", &stream));
  EXPECT_EQ(button, StreamBytes(stream));
  // The cache answers again, rewound, and adds no entry.
  IStream* again = nullptr;
  ASSERT_TRUE(skin.GetRes(L"button_0", &again));
  EXPECT_EQ(button, StreamBytes(again));
  EXPECT_EQ(1u, skin.GetCacheCount());
  again->Release();
  EXPECT_TRUE(skin.GetRes(L"bg"));
  EXPECT_TRUE(skin.GetRes(L""));  // readme: no dot, empty name
  EXPECT_FALSE(skin.GetRes(L"BG"));

  skin.FreeSkin();
  EXPECT_EQ(0u, skin.GetCacheCount());
  EXPECT_FALSE(skin.GetRes(L"bg"));
  // A stream handed out outlives the store's own reference.
  stream->Seek({}, STREAM_SEEK_SET, nullptr);
  EXPECT_EQ(button, StreamBytes(stream));
  stream->Release();

  for (const wchar_t* name : {L"button_0.png", L"bg.jpg", L"readme", L"out.skin"})
    DeleteFileW((dir + name).c_str());
  RemoveDirectoryW((dir + L"sub.d").c_str());
  RemoveDirectoryW(dir.c_str());
}

TEST(QvSkin, NamesBuildPathsBesideTheProgramAndSetTheType) {
  wchar_t folder[MAX_PATH];
  GetCurPath(folder);
  CQvSkin skin;
  EXPECT_EQ(0, skin.GetResType());
  ASSERT_TRUE(skin.SetThemesName(L"blue"));
  wchar_t out[MAX_PATH];
  skin.GetThemesPath(out);
  EXPECT_EQ(std::wstring(folder) + L"Themes\\blue\\", out);
  EXPECT_EQ(1, skin.GetResType());
  ASSERT_TRUE(skin.SetSkinName(L"blue"));
  EXPECT_EQ(std::wstring(folder) + L"Skins\\blue\\", skin.GetSkinPath());
  EXPECT_EQ(2, skin.GetResType());
  skin.SetResType(0);
  EXPECT_EQ(std::wstring(folder) + L"Skins\\blue\\", skin.GetSkinPath());
  // Too long for a path: refused whole, nothing changed.
  EXPECT_FALSE(skin.SetSkinName(std::wstring(MAX_PATH, L'n').c_str()));
  EXPECT_EQ(std::wstring(folder) + L"Skins\\blue\\", skin.GetSkinPath());
  EXPECT_EQ(0, skin.GetResType());

  // LoadSkin reads the file that stands for the skin folder.
  std::wstring skins = std::wstring(folder) + L"Skins";
  CreateDirectoryW(skins.c_str(), nullptr);
  Put(skins + L"\\skin-test", std::string("x") + std::string(63, '\0'));
  EXPECT_TRUE(skin.LoadSkin(L"skin-test"));
  EXPECT_TRUE(skin.GetRes(L"x"));
  EXPECT_FALSE(skin.LoadSkin(L"no-such-skin"));
  EXPECT_FALSE(skin.HasPackage());
  EXPECT_EQ(2, skin.GetResType());
  DeleteFileW((skins + L"\\skin-test").c_str());
  RemoveDirectoryW(skins.c_str());
}

}  // namespace
