// libFuzzer target: the skin package walk must stay inside any byte string
// it is given, and what it finds must lie wholly inside the package and
// carry the name it was asked for.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "qv_skin_package.h"

namespace {

void Check(const std::uint8_t* data, std::size_t size, const wchar_t* name) {
  std::size_t offset = 0;
  std::uint32_t length = 0;
  if (!QvSkinFindEntry(data, size, name, &offset, &length)) return;
  if (offset < kQvSkinHeaderBytes || offset > size || size - offset < length) std::abort();
  if (!QvSkinNameEquals(data + offset - kQvSkinHeaderBytes, name)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Check(data, size, L"");
  Check(data, size, L"bg");
  Check(data, size, L"button_0");
  // A name of 30 units matches only a field without a NUL.
  Check(data, size, std::wstring(30, L'A').c_str());
  // The name of the first header, whatever it holds, as a lookup.
  if (size >= kQvSkinHeaderBytes) {
    std::wstring first;
    for (std::size_t i = 0; i < kQvSkinNameUnits; ++i) {
      wchar_t unit = static_cast<wchar_t>(data[2 * i] | data[2 * i + 1] << 8);
      if (unit == 0) break;
      first += unit;
    }
    Check(data, size, first.c_str());
  }
  return 0;
}
