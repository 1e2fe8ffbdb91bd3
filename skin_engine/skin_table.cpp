#include "skin_table.h"

namespace zz::skin {
namespace {

struct Entry {
  int number;
  const char* name;
  Skin skin;
};

// Named parameters: a line with a colour too many or too few does not compile.
#define ZZ_SKIN(number, name, c0, c1, c2, c3, c4, c5, c6, c7, c8, c9, c10, c11, c12, c13, c14, c15, c16, c17, c18, c19, c20) \
  {number, name, Skin{{c0, c1, c2, c3, c4, c5, c6, c7, c8, c9, c10, c11, c12, c13, c14, c15, c16, c17, c18, c19, c20}}},
static_assert(kColourCount == 21, "ZZ_SKIN lists every colour role");
const Entry kEntries[] = {
#include "skin_table.inc"
};
#undef ZZ_SKIN

static_assert(sizeof(kEntries) / sizeof(kEntries[0]) == kSkinCount,
              "skin_table.inc must hold every skin");

const Entry* Find(int number) {
  if (number < 1 || number > kSkinCount) return nullptr;
  const Entry& entry = kEntries[number - 1];
  return entry.number == number ? &entry : nullptr;
}

}  // namespace

const Skin* BuiltInSkin(int number) {
  const Entry* entry = Find(number);
  return entry ? &entry->skin : nullptr;
}

const char* BuiltInSkinName(int number) {
  const Entry* entry = Find(number);
  return entry ? entry->name : nullptr;
}

}  // namespace zz::skin
