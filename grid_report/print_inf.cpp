#include "print_inf.h"

namespace grid {

namespace {

constexpr int kPaperTableSize = 17;
// From here on the paper number names a device paper code (plus 999).
constexpr int kFirstDevicePaper = 1000;

void ZeroIfNegative(int& v) {
  if (v < 0) v = 0;
}
void ZeroIfOutside(int& v, int low, int high) {
  if (v < low || v > high) v = 0;
}

}  // namespace

PrintInf PrintInf::Clamped() const {
  PrintInf c = *this;
  int& paper = c.value[kPaper];
  if (paper < kFirstDevicePaper) ZeroIfOutside(paper, 0, kPaperTableSize - 1);
  for (int f : {int{kLeft}, int{kTop}, int{kRight}, int{kBottom}, 7, 8, 16, 17}) ZeroIfNegative(c.value[f]);
  ZeroIfOutside(c.value[6], 0, 6);
  ZeroIfOutside(c.value[13], 0, 2);
  ZeroIfOutside(c.value[14], 0, 2);
  if (c.value[15] <= 0) c.value[15] = 1;
  return c;
}

}  // namespace grid
