#include "qv_crypt.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> Hex(const char* hex) {
  std::vector<unsigned char> out;
  for (std::size_t i = 0; hex[i] && hex[i + 1]; i += 2)
    out.push_back(static_cast<unsigned char>(std::stoi(std::string(hex + i, 2), nullptr, 16)));
  return out;
}

TEST(Des, PublishedVectorsAndTheirInverse) {
  struct Case { const char* key; const char* plain; const char* cipher; } cases[] = {
      {"133457799BBCDFF1", "0123456789ABCDEF", "85E813540F0AB405"},
      {"0123456789ABCDEF", "4E6F772069732074", "3FA40E8A984D4815"},
      {"0101010101010101", "8000000000000000", "95F8A5E5DD31D900"},
      {"8001010101010101", "0000000000000000", "95A8D72813DAA94D"},
  };
  for (const Case& c : cases) {
    auto key = Hex(c.key);
    auto block = Hex(c.plain);
    DesGo(key.data(), block.data(), 8, 1);
    EXPECT_EQ(block, Hex(c.cipher)) << c.key;
    DesGo(key.data(), block.data(), 8, 0);
    EXPECT_EQ(block, Hex(c.plain)) << c.key;
  }
}

TEST(Des, TouchesOnlyWholeBlocks) {
  auto key = Hex("133457799BBCDFF1");
  std::vector<unsigned char> twelve(12, 0x5A), seven(7, 0x5A);
  DesGo(key.data(), twelve.data(), 12, 1);
  EXPECT_NE(std::vector<unsigned char>(twelve.begin(), twelve.begin() + 8),
            std::vector<unsigned char>(8, 0x5A));
  EXPECT_EQ(std::vector<unsigned char>(twelve.begin() + 8, twelve.end()),
            std::vector<unsigned char>(4, 0x5A));
  DesGo(key.data(), seven.data(), 7, 1);
  EXPECT_EQ(seven, std::vector<unsigned char>(7, 0x5A));
  DesGo(key.data(), nullptr, 16, 1);  // nothing to do, nothing to crash
}

std::string Md5Text(const std::string& text, const char* key = nullptr) {
  std::vector<char> buf(text.begin(), text.end());
  buf.resize(text.size() < 33 ? 33 : text.size() + 1, '\0');
  EXPECT_EQ(MD5Go(buf.data(), key), 1);
  return buf.data();
}

TEST(Md5, Rfc1321Suite) {
  struct Case { const char* text; const char* digest; } cases[] = {
      {"", "D41D8CD98F00B204E9800998ECF8427E"},
      {"a", "0CC175B9C0F1B6A831C399E269772661"},
      {"abc", "900150983CD24FB0D6963F7D28E17F72"},
      {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
      {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "D174AB98D277D9F5A5611C2C9F419D9F"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57EDF4A22BE3C955AC49DA2E2107B67A"},
  };
  for (const Case& c : cases) EXPECT_EQ(Md5Text(c.text), c.digest) << c.text;
  EXPECT_EQ(MD5Go(nullptr, nullptr), 0);
}

TEST(Md5, HmacRfc2104Cases) {
  std::string key1(16, '\x0b');
  EXPECT_EQ(Md5Text("Hi There", key1.c_str()), "9294727A3638BB1C13F48EF8158BFC9D");
  EXPECT_EQ(Md5Text("what do ya want for nothing?", "Jefe"), "750C783E6AB0B503EAA86E310A5DB738");
  std::string key3(16, '\xAA'), data3(50, '\xDD');
  EXPECT_EQ(Md5Text(data3, key3.c_str()), "56BE34521D144C88DBB8C733F0E8B3F6");
}

TEST(Md5, LongKeysAreHashedFirstAnd64ByteKeysAreNot) {
  std::string long_key(65, 'k');
  unsigned char digest[16];
  CMd5A::Digest(reinterpret_cast<const unsigned char*>(long_key.data()), 65, digest);
  // The digest as a key: it holds no NUL byte for this input, so it can be
  // handed over as text.
  ASSERT_EQ(std::memchr(digest, 0, 16), nullptr);
  std::string hashed(reinterpret_cast<char*>(digest), 16);
  EXPECT_EQ(Md5Text("data", long_key.c_str()), Md5Text("data", hashed.c_str()));

  std::string key64(64, 'k');
  CMd5A::Digest(reinterpret_cast<const unsigned char*>(key64.data()), 64, digest);
  std::string hashed64(reinterpret_cast<char*>(digest), 16);
  EXPECT_NE(Md5Text("data", key64.c_str()), Md5Text("data", hashed64.c_str()));
}

TEST(TextForm, HexAndBack) {
  char buf[5] = {'\x3A', '\xF0'};
  ToHex(buf, 2);
  EXPECT_STREQ(buf, "3).0");
  ToAsc(buf, 4);
  EXPECT_EQ(static_cast<unsigned char>(buf[0]), 0x3A);
  EXPECT_EQ(static_cast<unsigned char>(buf[1]), 0xF0);
  EXPECT_EQ(buf[2], '\0');

  // An odd length borrows the NUL after the text as the last low nibble.
  char odd[4] = {'3', ')', '7', '\0'};
  ToAsc(odd, 3);
  EXPECT_EQ(static_cast<unsigned char>(odd[0]), 0x3A);
  EXPECT_EQ(static_cast<unsigned char>(odd[1]), 0x70);
}

TEST(TextForm, MaskIsItsOwnInverse) {
  std::vector<char> buf(300, 0);
  EasyEncode(buf.data(), 300);
  EXPECT_EQ(static_cast<unsigned char>(buf[247]), 255);
  EXPECT_EQ(static_cast<unsigned char>(buf[248]), 0);
  EXPECT_EQ(static_cast<unsigned char>(buf[0]), 8);
  EasyEncode(buf.data(), 300);
  EXPECT_EQ(buf, std::vector<char>(300, 0));
  EasyEncode(nullptr, 10);
}

TEST(QvEncode, RoundTripsAndOnlyWholeBlocksDependOnTheKey) {
  const unsigned char key[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  const unsigned char other[8] = {8, 7, 6, 5, 4, 3, 2, 1};
  char original[20];
  for (int i = 0; i < 20; ++i) original[i] = static_cast<char>(i * 13 + 1);

  char buf[41];
  std::memcpy(buf, original, 20);
  QvEncode(key, buf, 20, 1);
  EXPECT_EQ(std::strlen(buf), 40u);
  char copy[41];
  std::memcpy(copy, buf, 41);

  QvEncode(key, buf, 40, 0);
  EXPECT_EQ(std::memcmp(buf, original, 20), 0);
  EXPECT_EQ(buf[20], '\0');

  QvEncode(other, copy, 40, 0);
  EXPECT_NE(std::memcmp(copy, original, 16), 0);
  EXPECT_EQ(std::memcmp(copy + 16, original + 16, 4), 0);
  QvEncode(key, nullptr, 40, 0);
}

}  // namespace
