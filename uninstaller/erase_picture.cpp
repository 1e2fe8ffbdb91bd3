#include "erase_picture.h"

ErasePicture ErasePictureAt(int shown_percent) {
  const int c = shown_percent * kBandWidth / 100;
  const int e = shown_percent * 240 / 100;
  return ErasePicture{75 + c, c, kBandWidth - c, 60 + e};
}

int NextEraserOffset(int offset, int shown_percent) {
  return offset != 0 && shown_percent < 100 ? 0 : 30;
}

int NextShownPercent(int shown, int reported) { return shown < reported ? shown + 10 : shown; }
