// Where the uninstaller's progress picture puts its band and its eraser for
// the percentage it shows: the band shrinks from the left as the eraser
// moves right over it.
#pragma once

struct ErasePicture {
  int band_x;            // the band's visible part starts here in the window
  int band_source_left;  // ... cut from this column of the band's picture
  int band_width;        // 0 at 100: nothing of the band is left
  int eraser_x;
};

constexpr int kBandWidth = 279;
constexpr int kBandHeight = 23;

ErasePicture ErasePictureAt(int shown_percent);

// The eraser hops between the heights 30 and 0 on successive paints while
// the removal runs, and rests at 30 from 100 on.
int NextEraserOffset(int offset, int shown_percent);

// The picture moves 10 points a step toward the reported percentage.
int NextShownPercent(int shown, int reported);
