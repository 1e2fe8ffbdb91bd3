// libFuzzer target: the installer's payload reader must refuse or accept any
// bytes without reading out of bounds, and what it accepts must be safe to
// write: every path stays below the target, every file has its stated size.
#include <cstddef>
#include <cstdint>
#include <string>

#include "payload.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Payload payload;
  std::string error;
  if (!ReadPayload(data, size, &payload, &error)) return 0;
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
