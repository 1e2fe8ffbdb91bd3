// libFuzzer target: the installer's payload reader must refuse or accept any
// bytes without reading out of bounds, and what it accepts must be safe to
// write: every path stays below the target, every file has its stated size.
// The input is the payload; its digest trailer is made for it, so every
// input reaches the reader through the installer's own check, and the same
// trailer with one bit changed must be refused.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "payload.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> tail(kPayloadTrailerSize);
  EncodePayloadTrailer(data, size, tail.data());
  tail.insert(tail.end(), data, data + size);
  std::string error;
  if (!CheckPayloadDigest(tail.data(), tail.size(), &error)) __builtin_trap();
  std::vector<std::uint8_t> bad = tail;
  bad[size % kPayloadTrailerSize] ^= static_cast<std::uint8_t>(1 << (size % 8));
  if (CheckPayloadDigest(bad.data(), bad.size(), &error)) __builtin_trap();

  Payload payload;
  if (!ReadCheckedPayload(tail.data(), tail.size(), &payload, &error)) return 0;
  std::uint64_t sum = 0;
  for (const PayloadFile& f : payload.files) {
    if (!IsSafeRelativePath(f.header.Path) || f.data.size() != f.header.UnpackedSize) __builtin_trap();
    const std::u16string full = JoinPath(u"C:\\T", f.header.Path);
    if (!IsBelowFolder(full, u"C:\\T")) __builtin_trap();
    sum += f.header.PackedSize;
    if (f.packed_sum != sum || sum * 100 / payload.size >= 100) __builtin_trap();
  }
  return 0;
}
