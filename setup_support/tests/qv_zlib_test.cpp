#include "qv_zlib.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::wstring TempFolder() {
  wchar_t buf[MAX_PATH];
  GetTempPathW(MAX_PATH, buf);
  std::wstring folder = std::wstring(buf) + L"qv-zlib-test-" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder + L"\\";
}

void Write(const std::wstring& path, const std::string& bytes) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD n = 0;
  WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
  CloseHandle(f);
}

std::string Read(const std::wstring& path) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (f == INVALID_HANDLE_VALUE) return "<missing>";
  std::string out(GetFileSize(f, nullptr), '\0');
  DWORD n = 0;
  ReadFile(f, out.data(), static_cast<DWORD>(out.size()), &n, nullptr);
  CloseHandle(f);
  return out;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class Zlib : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CQvZlib::Instance().InitZlib(), S_OK);
    folder_ = TempFolder();
  }
  std::wstring folder_;
};

// "hello hello hello" as gzip and as a zlib stream.
const unsigned char kGzip[] = {0x1f, 0x8b, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x03,
                               0xcb, 0x48, 0xcd, 0xc9, 0xc9, 0x57, 0xc8, 0x40, 0x90, 0x00,
                               0x80, 0x88, 0xf9, 0xe5, 0x11, 0x00, 0x00, 0x00};
const unsigned char kZlib[] = {0x78, 0x9c, 0xcb, 0x48, 0xcd, 0xc9, 0xc9, 0x57,
                               0xc8, 0x40, 0x90, 0x00, 0x3a, 0x2e, 0x06, 0x7d};

TEST_F(Zlib, FilesRoundTripAsOneZlibStream) {
  std::string data;
  for (int i = 0; i < 200000; ++i) data += static_cast<char>((i * 7) % 251);
  Write(folder_ + L"src", data);
  EXPECT_EQ(CQvZlib::Instance().EncodeFile((folder_ + L"src").c_str(), (folder_ + L"z").c_str(), 9), S_OK);
  std::string packed = Read(folder_ + L"z");
  ASSERT_GE(packed.size(), 6u);
  EXPECT_EQ(static_cast<unsigned char>(packed[0]), 0x78);
  EXPECT_EQ(CQvZlib::Instance().DecodeFile((folder_ + L"z").c_str(), (folder_ + L"out").c_str(), 0), S_OK);
  EXPECT_EQ(Read(folder_ + L"out"), data);
  EXPECT_FALSE(Exists(folder_ + L"out.part"));
  // A ".part" file found there is not ours to overwrite or remove.
  Write(folder_ + L"out.part", "someone else's");
  EXPECT_EQ(CQvZlib::Instance().DecodeFile((folder_ + L"z").c_str(), (folder_ + L"out").c_str(), 0), S_OK);
  EXPECT_EQ(Read(folder_ + L"out"), data);
  EXPECT_EQ(Read(folder_ + L"out.part"), "someone else's");
  EXPECT_FALSE(Exists(folder_ + L"out.part1"));

  Write(folder_ + L"empty", "");
  EXPECT_EQ(CQvZlib::Instance().EncodeFile((folder_ + L"empty").c_str(), (folder_ + L"ez").c_str(), -1), S_OK);
  EXPECT_EQ(Read(folder_ + L"ez"), "");
}

TEST_F(Zlib, OutputGrowsUntilItFits) {
  std::string big(3000000, 'a');
  Write(folder_ + L"big", big);
  ASSERT_EQ(CQvZlib::Instance().EncodeFile((folder_ + L"big").c_str(), (folder_ + L"bigz").c_str(), 6), S_OK);
  EXPECT_EQ(CQvZlib::Instance().DecodeFile((folder_ + L"bigz").c_str(), (folder_ + L"bigout").c_str(), 0), S_OK);
  EXPECT_EQ(Read(folder_ + L"bigout").size(), 3000000u);
}

TEST_F(Zlib, DamagedSourceLeavesTheDestinationAlone) {
  Write(folder_ + L"bad", "this is not a zlib stream at all");
  Write(folder_ + L"keep", "precious");
  EXPECT_EQ(CQvZlib::Instance().DecodeFile((folder_ + L"bad").c_str(), (folder_ + L"keep").c_str(), 0), E_FAIL);
  EXPECT_EQ(Read(folder_ + L"keep"), "precious");
  EXPECT_EQ(CQvZlib::Instance().DecodeFile((folder_ + L"missing").c_str(), (folder_ + L"x").c_str(), 0),
            HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(Exists(folder_ + L"x"));
}

TEST_F(Zlib, GzipAndZlibBuffersInflateAlikeAndTruncationGivesNothing) {
  BYTE* out = nullptr;
  DWORD n = 0;
  ASSERT_EQ(CQvZlib::Instance().DecodeGZipBuffer(kGzip, sizeof kGzip, &out, &n), S_OK);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), n), "hello hello hello");
  std::free(out);
  ASSERT_EQ(CQvZlib::Instance().DecodeGZipBuffer(kZlib, sizeof kZlib, &out, &n), S_OK);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), n), "hello hello hello");
  std::free(out);
  EXPECT_EQ(CQvZlib::InflateBuffer(&out, &n, kGzip, sizeof kGzip - 6), -3);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(n, 0u);

  // Two gzip members give both texts; a damaged second one fails the whole.
  std::string two(reinterpret_cast<const char*>(kGzip), sizeof kGzip);
  two += two;
  ASSERT_EQ(CQvZlib::InflateBuffer(&out, &n, reinterpret_cast<const BYTE*>(two.data()),
                                   static_cast<DWORD>(two.size())), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), n), "hello hello hellohello hello hello");
  std::free(out);
  EXPECT_EQ(CQvZlib::InflateBuffer(&out, &n, reinterpret_cast<const BYTE*>(two.data()),
                                   static_cast<DWORD>(two.size() - 3)), -3);
  EXPECT_EQ(out, nullptr);
}

TEST_F(Zlib, UnboundOperationsAreRefusedAndCreateNoFile) {
  CQvZlib::Instance().UninitZlib();
  EXPECT_FALSE(CQvZlib::Instance().IsBound());
  Write(folder_ + L"src2", "data");
  EXPECT_EQ(CQvZlib::Instance().EncodeFile((folder_ + L"src2").c_str(), (folder_ + L"nz").c_str(), 9),
            E_NOINTERFACE);
  EXPECT_EQ(CQvZlib::Instance().DecodeFile((folder_ + L"src2").c_str(), (folder_ + L"nd").c_str(), 0),
            E_NOINTERFACE);
  EXPECT_FALSE(Exists(folder_ + L"nz"));
  EXPECT_FALSE(Exists(folder_ + L"nd"));
  BYTE* out = nullptr;
  DWORD n = 0;
  EXPECT_EQ(CQvZlib::Instance().DecodeGZipBuffer(kZlib, sizeof kZlib, &out, &n), E_FAIL);
  EXPECT_EQ(CQvZlib::Instance().InitZlib(), S_OK);
}

}  // namespace
