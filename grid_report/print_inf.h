// The print settings of a grid data source: nineteen numbered fields, the
// tenth a text. Fields 0 to 5 are the paper, the orientation and the four
// margins (in tenths of a millimetre); the rest tune the runtime's printing.
#pragma once

#include <array>
#include <string>

namespace grid {

struct PrintInf {
  enum Field { kPaper = 0, kOrientation = 1, kLeft = 2, kTop = 3, kRight = 4, kBottom = 5, kText = 10 };
  static constexpr int kFields = 19;

  // The defaults: paper 0, portrait, margins 230, fields 7, 8 and 15 set to 1.
  std::array<int, kFields> value{0, 0, 230, 230, 230, 230, 0, 1, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
  std::string text;  // field 10

  bool Landscape() const { return value[kOrientation] == 1; }
  // The settings as the runtime uses them: out-of-range values are brought
  // back to what the runtime accepts.
  PrintInf Clamped() const;
};

}  // namespace grid
