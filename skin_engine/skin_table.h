// The skins this system ships, numbered 1 to kSkinCount.
#pragma once

#include "skin_format.h"

namespace zz::skin {

constexpr int kSkinCount = 33;

// Skin `number` (1..kSkinCount); nullptr for any other number.
const Skin* BuiltInSkin(int number);
// Its name (plain ASCII), or nullptr.
const char* BuiltInSkinName(int number);

}  // namespace zz::skin
