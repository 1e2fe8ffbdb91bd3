// Byte-level encodings for programs built on the setup library: DES in ECB
// mode, MD5 and HMAC-MD5 as upper-case hex text, a two-characters-per-byte
// text form, a position-dependent XOR mask, and QvEncode chaining them.
// Every buffer is changed in place; keys come from the caller.
#pragma once

#include <cstdint>

class CMd5A {
 public:
  virtual ~CMd5A() = default;

  // 16-byte digest of `size` bytes.
  static void Digest(const unsigned char* data, std::uint64_t size, unsigned char out[16]);
  // Digest of the bytes of `first` followed by those of `second`.
  static void Digest2(const unsigned char* first, std::uint64_t first_size,
                      const unsigned char* second, std::uint64_t second_size,
                      unsigned char out[16]);
  // "%02X" of each digest byte: 32 characters and a NUL.
  static void ToText(const unsigned char digest[16], char out[33]);
};

// DES over the first length / 8 blocks; flag non-zero encrypts. Buffers
// shorter than one block are left alone.
void DesGo(const unsigned char* key, unsigned char* buffer, int length, int flag);

// Replaces the NUL-terminated text by the digest text of its MD5 (key null)
// or HMAC-MD5 with the NUL-terminated key. The text buffer must hold 33
// bytes. Returns 0 for a null text, else 1.
int MD5Go(char* text, const char* key);

// Every byte becomes two characters, high nibble first: 0-9 as '0'-'9',
// 10-15 as ')'-'.'. The buffer must hold 2 * length + 1 bytes.
void ToHex(char* buffer, int length);
// The inverse of ToHex: length characters back into (length + 1) / 2 bytes
// followed by a NUL.
void ToAsc(char* buffer, int length);

// XORs byte i with (i + 8) mod 256; applying it twice restores the buffer.
void EasyEncode(char* buffer, int length);

// flag non-zero: DES, mask, ToHex (length bytes -> 2 * length characters);
// flag 0: the reverse (length characters -> length / 2 bytes and a NUL).
void QvEncode(const unsigned char* key, char* buffer, int length, int flag);
