#include "qv_crypt.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// ---- DES (FIPS 46-3) -------------------------------------------------------

// Bit positions in the standard's numbering: bit 1 is the most significant.
const unsigned char kInitialPerm[64] = {
    58, 50, 42, 34, 26, 18, 10, 2, 60, 52, 44, 36, 28, 20, 12, 4,
    62, 54, 46, 38, 30, 22, 14, 6, 64, 56, 48, 40, 32, 24, 16, 8,
    57, 49, 41, 33, 25, 17, 9,  1, 59, 51, 43, 35, 27, 19, 11, 3,
    61, 53, 45, 37, 29, 21, 13, 5, 63, 55, 47, 39, 31, 23, 15, 7};
const unsigned char kFinalPerm[64] = {
    40, 8, 48, 16, 56, 24, 64, 32, 39, 7, 47, 15, 55, 23, 63, 31,
    38, 6, 46, 14, 54, 22, 62, 30, 37, 5, 45, 13, 53, 21, 61, 29,
    36, 4, 44, 12, 52, 20, 60, 28, 35, 3, 43, 11, 51, 19, 59, 27,
    34, 2, 42, 10, 50, 18, 58, 26, 33, 1, 41, 9,  49, 17, 57, 25};
const unsigned char kExpansion[48] = {
    32, 1,  2,  3,  4,  5,  4,  5,  6,  7,  8,  9,  8,  9,  10, 11,
    12, 13, 12, 13, 14, 15, 16, 17, 16, 17, 18, 19, 20, 21, 20, 21,
    22, 23, 24, 25, 24, 25, 26, 27, 28, 29, 28, 29, 30, 31, 32, 1};
const unsigned char kPermP[32] = {16, 7, 20, 21, 29, 12, 28, 17, 1,  15, 23, 26, 5,  18, 31, 10,
                                  2,  8, 24, 14, 32, 27, 3,  9,  19, 13, 30, 6,  22, 11, 4,  25};
const unsigned char kPc1[56] = {57, 49, 41, 33, 25, 17, 9,  1,  58, 50, 42, 34, 26, 18,
                                10, 2,  59, 51, 43, 35, 27, 19, 11, 3,  60, 52, 44, 36,
                                63, 55, 47, 39, 31, 23, 15, 7,  62, 54, 46, 38, 30, 22,
                                14, 6,  61, 53, 45, 37, 29, 21, 13, 5,  28, 20, 12, 4};
const unsigned char kPc2[48] = {14, 17, 11, 24, 1,  5,  3,  28, 15, 6,  21, 10,
                                23, 19, 12, 4,  26, 8,  16, 7,  27, 20, 13, 2,
                                41, 52, 31, 37, 47, 55, 30, 40, 51, 45, 33, 48,
                                44, 49, 39, 56, 34, 53, 46, 42, 50, 36, 29, 32};
const unsigned char kShifts[16] = {1, 1, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1};
const unsigned char kSBox[8][64] = {
    {14, 4, 13, 1, 2, 15, 11, 8, 3, 10, 6, 12, 5, 9, 0, 7, 0, 15, 7, 4, 14, 2, 13, 1, 10, 6, 12, 11,
     9, 5, 3, 8, 4, 1, 14, 8, 13, 6, 2, 11, 15, 12, 9, 7, 3, 10, 5, 0, 15, 12, 8, 2, 4, 9, 1, 7, 5,
     11, 3, 14, 10, 0, 6, 13},
    {15, 1, 8, 14, 6, 11, 3, 4, 9, 7, 2, 13, 12, 0, 5, 10, 3, 13, 4, 7, 15, 2, 8, 14, 12, 0, 1, 10,
     6, 9, 11, 5, 0, 14, 7, 11, 10, 4, 13, 1, 5, 8, 12, 6, 9, 3, 2, 15, 13, 8, 10, 1, 3, 15, 4, 2,
     11, 6, 7, 12, 0, 5, 14, 9},
    {10, 0, 9, 14, 6, 3, 15, 5, 1, 13, 12, 7, 11, 4, 2, 8, 13, 7, 0, 9, 3, 4, 6, 10, 2, 8, 5, 14,
     12, 11, 15, 1, 13, 6, 4, 9, 8, 15, 3, 0, 11, 1, 2, 12, 5, 10, 14, 7, 1, 10, 13, 0, 6, 9, 8, 7,
     4, 15, 14, 3, 11, 5, 2, 12},
    {7, 13, 14, 3, 0, 6, 9, 10, 1, 2, 8, 5, 11, 12, 4, 15, 13, 8, 11, 5, 6, 15, 0, 3, 4, 7, 2, 12,
     1, 10, 14, 9, 10, 6, 9, 0, 12, 11, 7, 13, 15, 1, 3, 14, 5, 2, 8, 4, 3, 15, 0, 6, 10, 1, 13, 8,
     9, 4, 5, 11, 12, 7, 2, 14},
    {2, 12, 4, 1, 7, 10, 11, 6, 8, 5, 3, 15, 13, 0, 14, 9, 14, 11, 2, 12, 4, 7, 13, 1, 5, 0, 15, 10,
     3, 9, 8, 6, 4, 2, 1, 11, 10, 13, 7, 8, 15, 9, 12, 5, 6, 3, 0, 14, 11, 8, 12, 7, 1, 14, 2, 13,
     6, 15, 0, 9, 10, 4, 5, 3},
    {12, 1, 10, 15, 9, 2, 6, 8, 0, 13, 3, 4, 14, 7, 5, 11, 10, 15, 4, 2, 7, 12, 9, 5, 6, 1, 13, 14,
     0, 11, 3, 8, 9, 14, 15, 5, 2, 8, 12, 3, 7, 0, 4, 10, 1, 13, 11, 6, 4, 3, 2, 12, 9, 5, 15, 10,
     11, 14, 1, 7, 6, 0, 8, 13},
    {4, 11, 2, 14, 15, 0, 8, 13, 3, 12, 9, 7, 5, 10, 6, 1, 13, 0, 11, 7, 4, 9, 1, 10, 14, 3, 5, 12,
     2, 15, 8, 6, 1, 4, 11, 13, 12, 3, 7, 14, 10, 15, 6, 8, 0, 5, 9, 2, 6, 11, 13, 8, 1, 4, 10, 7,
     9, 5, 0, 15, 14, 2, 3, 12},
    {13, 2, 8, 4, 6, 15, 11, 1, 10, 9, 3, 14, 5, 0, 12, 7, 1, 15, 13, 8, 10, 3, 7, 4, 12, 5, 6, 11,
     0, 14, 9, 2, 7, 11, 4, 1, 9, 12, 14, 2, 0, 6, 10, 13, 15, 3, 5, 8, 2, 1, 14, 7, 4, 10, 8, 13,
     15, 12, 9, 0, 3, 5, 6, 11}};

// Takes bit table[i] (1 = most significant of an in_bits-wide value) of `in`
// to bit i of the result, most significant first.
std::uint64_t Permute(std::uint64_t in, int in_bits, const unsigned char* table, int out_bits) {
  std::uint64_t out = 0;
  for (int i = 0; i < out_bits; ++i) out = (out << 1) | ((in >> (in_bits - table[i])) & 1);
  return out;
}

// S-box and P merged: one 64-entry table per S-box giving its 4 output bits
// already moved to their place after P.
struct SpTables {
  std::uint32_t sp[8][64];
  SpTables() {
    for (int box = 0; box < 8; ++box) {
      for (int six = 0; six < 64; ++six) {
        int row = ((six & 0x20) >> 4) | (six & 1);
        int col = (six >> 1) & 0xF;
        std::uint32_t s = static_cast<std::uint32_t>(kSBox[box][row * 16 + col]) << (28 - 4 * box);
        sp[box][six] = static_cast<std::uint32_t>(Permute(s, 32, kPermP, 32));
      }
    }
  }
};

const SpTables& Sp() {
  static const SpTables tables;
  return tables;
}

void KeySchedule(const unsigned char* key, bool decrypt, std::uint64_t subkeys[16]) {
  std::uint64_t k = 0;
  for (int i = 0; i < 8; ++i) k = (k << 8) | key[i];
  std::uint64_t cd = Permute(k, 64, kPc1, 56);
  std::uint32_t c = static_cast<std::uint32_t>(cd >> 28) & 0x0FFFFFFF;
  std::uint32_t d = static_cast<std::uint32_t>(cd) & 0x0FFFFFFF;
  for (int round = 0; round < 16; ++round) {
    for (int s = 0; s < kShifts[round]; ++s) {
      c = ((c << 1) | (c >> 27)) & 0x0FFFFFFF;
      d = ((d << 1) | (d >> 27)) & 0x0FFFFFFF;
    }
    std::uint64_t joined = (static_cast<std::uint64_t>(c) << 28) | d;
    subkeys[decrypt ? 15 - round : round] = Permute(joined, 56, kPc2, 48);
  }
}

std::uint32_t Feistel(std::uint32_t r, std::uint64_t subkey) {
  std::uint64_t x = Permute(r, 32, kExpansion, 48) ^ subkey;
  const SpTables& t = Sp();
  std::uint32_t out = 0;
  for (int box = 0; box < 8; ++box) out |= t.sp[box][(x >> (42 - 6 * box)) & 0x3F];
  return out;
}

void DesBlock(const std::uint64_t subkeys[16], unsigned char* block) {
  std::uint64_t v = 0;
  for (int i = 0; i < 8; ++i) v = (v << 8) | block[i];
  v = Permute(v, 64, kInitialPerm, 64);
  std::uint32_t l = static_cast<std::uint32_t>(v >> 32), r = static_cast<std::uint32_t>(v);
  for (int round = 0; round < 16; ++round) {
    std::uint32_t next = l ^ Feistel(r, subkeys[round]);
    l = r;
    r = next;
  }
  v = Permute((static_cast<std::uint64_t>(r) << 32) | l, 64, kFinalPerm, 64);
  for (int i = 7; i >= 0; --i, v >>= 8) block[i] = static_cast<unsigned char>(v);
}

// ---- MD5 (RFC 1321) ----------------------------------------------------------

struct Md5 {
  std::uint32_t state[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
  std::uint64_t bits = 0;
  unsigned char block[64] = {};
  std::size_t used = 0;

  static std::uint32_t Rotl(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

  void Transform(const unsigned char* p) {
    static const std::uint32_t kT[64] = {
        0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613,
        0xfd469501, 0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193,
        0xa679438e, 0x49b40821, 0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d,
        0x02441453, 0xd8a1e681, 0xe7d3fbc8, 0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed,
        0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a, 0xfffa3942, 0x8771f681, 0x6d9d6122,
        0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70, 0x289b7ec6, 0xeaa127fa,
        0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665, 0xf4292244,
        0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
        0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb,
        0xeb86d391};
    static const int kS[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                               5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                               4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                               6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};
    std::uint32_t m[16];
    for (int i = 0; i < 16; ++i)
      m[i] = p[i * 4] | (p[i * 4 + 1] << 8) | (p[i * 4 + 2] << 16) |
             (static_cast<std::uint32_t>(p[i * 4 + 3]) << 24);
    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int i = 0; i < 64; ++i) {
      std::uint32_t f;
      int g;
      if (i < 16) { f = (b & c) | (~b & d); g = i; }
      else if (i < 32) { f = (d & b) | (~d & c); g = (5 * i + 1) % 16; }
      else if (i < 48) { f = b ^ c ^ d; g = (3 * i + 5) % 16; }
      else { f = c ^ (b | ~d); g = (7 * i) % 16; }
      std::uint32_t next = b + Rotl(a + f + kT[i] + m[g], kS[i]);
      a = d;
      d = c;
      c = b;
      b = next;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
  }

  void Update(const unsigned char* data, std::uint64_t size) {
    bits += size * 8;
    while (size > 0) {
      std::size_t take = 64 - used;
      if (take > size) take = static_cast<std::size_t>(size);
      std::memcpy(block + used, data, take);
      used += take;
      data += take;
      size -= take;
      if (used == 64) {
        Transform(block);
        used = 0;
      }
    }
  }

  void Final(unsigned char out[16]) {
    std::uint64_t length_bits = bits;
    static const unsigned char kPad[64] = {0x80};
    Update(kPad, used < 56 ? 56 - used : 120 - used);
    unsigned char len[8];
    for (int i = 0; i < 8; ++i) len[i] = static_cast<unsigned char>(length_bits >> (8 * i));
    Update(len, 8);
    for (int i = 0; i < 16; ++i) out[i] = static_cast<unsigned char>(state[i / 4] >> (8 * (i % 4)));
  }
};

char Nibble(unsigned value) {
  return static_cast<char>(value < 10 ? 0x30 + value : 0x1F + value);
}

// Characters other than the sixteen ToHex writes count as nibble 0.
unsigned FromNibble(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  if (u >= '0' && u <= '9') return u - 0x30;
  if (u >= ')' && u <= '.') return u - 0x1F;
  return 0;
}

}  // namespace

void CMd5A::Digest(const unsigned char* data, std::uint64_t size, unsigned char out[16]) {
  Md5 md5;
  md5.Update(data, size);
  md5.Final(out);
}

void CMd5A::Digest2(const unsigned char* first, std::uint64_t first_size,
                    const unsigned char* second, std::uint64_t second_size,
                    unsigned char out[16]) {
  Md5 md5;
  md5.Update(first, first_size);
  md5.Update(second, second_size);
  md5.Final(out);
}

void CMd5A::ToText(const unsigned char digest[16], char out[33]) {
  static const char kHex[] = "0123456789ABCDEF";
  for (int i = 0; i < 16; ++i) {
    out[2 * i] = kHex[digest[i] >> 4];
    out[2 * i + 1] = kHex[digest[i] & 0xF];
  }
  out[32] = '\0';
}

void DesGo(const unsigned char* key, unsigned char* buffer, int length, int flag) {
  if (!buffer || !key || length < 8) return;
  std::uint64_t subkeys[16];
  KeySchedule(key, flag == 0, subkeys);
  for (int block = 0; block < length / 8; ++block) DesBlock(subkeys, buffer + 8 * block);
}

int MD5Go(char* text, const char* key) {
  if (!text) return 0;
  const unsigned char* data = reinterpret_cast<const unsigned char*>(text);
  std::size_t size = std::strlen(text);
  unsigned char digest[16];
  if (!key) {
    CMd5A::Digest(data, size, digest);
  } else {
    unsigned char key_bytes[64] = {};
    std::size_t key_size = std::strlen(key);
    if (key_size > 64) {
      CMd5A::Digest(reinterpret_cast<const unsigned char*>(key), key_size, key_bytes);
    } else {
      std::memcpy(key_bytes, key, key_size);
    }
    unsigned char inner[64], outer[64];
    for (int i = 0; i < 64; ++i) {
      inner[i] = key_bytes[i] ^ 0x36;
      outer[i] = key_bytes[i] ^ 0x5C;
    }
    unsigned char inner_digest[16];
    CMd5A::Digest2(inner, 64, data, size, inner_digest);
    CMd5A::Digest2(outer, 64, inner_digest, 16, digest);
  }
  CMd5A::ToText(digest, text);
  return 1;
}

void ToHex(char* buffer, int length) {
  if (!buffer || length < 0) return;
  std::vector<char> scratch(2 * static_cast<std::size_t>(length) + 1);
  for (int i = 0; i < length; ++i) {
    unsigned char b = static_cast<unsigned char>(buffer[i]);
    scratch[2 * i] = Nibble(b >> 4);
    scratch[2 * i + 1] = Nibble(b & 0xF);
  }
  scratch[2 * static_cast<std::size_t>(length)] = '\0';
  std::memcpy(buffer, scratch.data(), scratch.size());
}

void ToAsc(char* buffer, int length) {
  if (!buffer || length < 0) return;
  int bytes = (length + 1) / 2;
  std::vector<char> scratch(static_cast<std::size_t>(length) + 1);
  for (int i = 0; i < bytes; ++i) {
    unsigned high = FromNibble(buffer[2 * i]);
    // An odd length takes the byte after the last character (the NUL of a
    // ToHex text) as the low nibble.
    unsigned low = FromNibble(buffer[2 * i + 1]);
    scratch[i] = static_cast<char>(high * 16 + low);
  }
  std::memcpy(buffer, scratch.data(), static_cast<std::size_t>(bytes));
  buffer[bytes] = '\0';
}

void EasyEncode(char* buffer, int length) {
  if (!buffer) return;
  for (int i = 0; i < length; ++i) buffer[i] = static_cast<char>(buffer[i] ^ ((i + 8) & 0xFF));
}

void QvEncode(const unsigned char* key, char* buffer, int length, int flag) {
  if (!buffer || length < 0) return;
  unsigned char* bytes = reinterpret_cast<unsigned char*>(buffer);
  if (flag) {
    if (length >= 8) DesGo(key, bytes, length, 1);
    EasyEncode(buffer, length);
    ToHex(buffer, length);
  } else {
    int n = length / 2;
    ToAsc(buffer, length);
    EasyEncode(buffer, n);
    if (n >= 8) DesGo(key, bytes, n, 0);
    buffer[n] = '\0';
  }
}
