#include "qv_skin.h"

#include <gtest/gtest.h>

#include <string>

#include "qv_utils.h"

namespace {

std::string Bytes(std::size_t size, unsigned seed) {
  std::string data(size, '\0');
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 31 + seed) & 0xFF);
  return data;
}

void Put(const std::wstring& path, const std::string& data) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
  CloseHandle(file);
}

std::string Get(const std::wstring& path) {
  std::string data;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<none>";
  data.resize(GetFileSize(file, nullptr));
  DWORD got = 0;
  if (!data.empty()) ReadFile(file, &data[0], static_cast<DWORD>(data.size()), &got, nullptr);
  CloseHandle(file);
  return data;
}

std::string StreamBytes(IStream* stream) {
  std::string data;
  char chunk[512];
  ULONG got = 0;
  while (SUCCEEDED(stream->Read(chunk, sizeof chunk, &got)) && got) data.append(chunk, got);
  return data;
}

class QvSkinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    dir_ = std::wstring(temp) + L"skin" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(dir_.c_str(), nullptr);
    CreateDirectoryW((dir_ + L"sub.d").c_str(), nullptr);
    package_ = dir_ + L"out.skin";
  }
  void TearDown() override {
    for (const wchar_t* name : {L"button_0.png", L"bg.jpg", L"readme", L"out.skin", L"again.png"})
      DeleteFileW((dir_ + name).c_str());
    RemoveDirectoryW((dir_ + L"sub.d").c_str());
    RemoveDirectoryW(dir_.c_str());
  }
  std::wstring dir_, package_;
};

TEST_F(QvSkinTest, PackageMadeFromAFolderGivesTheSameBytesBack) {
  const std::string button = Bytes(300, 1) + "\r\n\n\r", bg = Bytes(1000, 7);
  Put(dir_ + L"button_0.png", button);
  Put(dir_ + L"bg.jpg", bg);
  Put(dir_ + L"readme", "plain");
  CQvSkin skin;
  // The package lies in the folder it packs and must not swallow itself.
  ASSERT_TRUE(skin.MakeSkin(dir_.c_str(), package_.c_str()));
  ASSERT_TRUE(skin.MakeSkin(dir_.c_str(), package_.c_str()));
  EXPECT_EQ(3 * 64 + button.size() + bg.size() + 5, Get(package_).size());

  ASSERT_TRUE(skin.LoadSkinFile(package_.c_str()));
  IStream* stream = nullptr;
  ASSERT_TRUE(skin.GetRes(L"button_0", &stream));
  EXPECT_EQ(button, StreamBytes(stream));
  // The cache answers again with the stream rewound, and adds nothing.
  IStream* again = nullptr;
  ASSERT_TRUE(skin.GetRes(L"button_0", &again));
  EXPECT_EQ(button, StreamBytes(again));
  EXPECT_EQ(1u, skin.GetCacheCount());
  again->Release();
  ASSERT_TRUE(skin.GetRes(L"bg", nullptr));
  ASSERT_TRUE(skin.GetRes(L"", nullptr));  // readme: no dot, empty name
  EXPECT_FALSE(skin.GetRes(L"BG", nullptr));
  EXPECT_FALSE(skin.GetRes(L"out", nullptr));

  skin.FreeSkin();
  EXPECT_EQ(0u, skin.GetCacheCount());
  EXPECT_FALSE(skin.GetRes(L"bg", nullptr));
  // A stream handed out lives on after the store let go of its own.
  stream->Seek({}, STREAM_SEEK_SET, nullptr);
  EXPECT_EQ(button, StreamBytes(stream));
  stream->Release();
}

TEST_F(QvSkinTest, FailuresLeaveWhatWasThere) {
  Put(package_, "keep");
  CQvSkin skin;
  EXPECT_FALSE(skin.MakeSkin((dir_ + L"missing\\").c_str(), package_.c_str()));
  EXPECT_EQ("keep", Get(package_));
  EXPECT_FALSE(skin.LoadSkinFile((dir_ + L"missing.skin").c_str()));
  EXPECT_FALSE(skin.HasPackage());
  // A truncated package loads, but its cut entry is never found.
  Put(dir_ + L"again.png", "0123456789");
  ASSERT_TRUE(skin.MakeSkin(dir_.c_str(), package_.c_str()));
  std::string bytes = Get(package_);
  Put(package_, bytes.substr(0, bytes.size() - 1));
  ASSERT_TRUE(skin.LoadSkinFile(package_.c_str()));
  EXPECT_FALSE(skin.GetRes(L"again", nullptr));
}

TEST(QvSkinPaths, NamesBuildPathsBesideTheProgramAndSetTheType) {
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
  std::string entry(64, '\0');
  entry[0] = 'x';
  Put(skins + L"\\skin-test", entry);
  EXPECT_TRUE(skin.LoadSkin(L"skin-test"));
  EXPECT_TRUE(skin.GetRes(L"x", nullptr));
  EXPECT_FALSE(skin.LoadSkin(L"no-such-skin"));
  EXPECT_FALSE(skin.HasPackage());
  EXPECT_EQ(2, skin.GetResType());
  DeleteFileW((skins + L"\\skin-test").c_str());
  RemoveDirectoryW(skins.c_str());
}

}  // namespace
