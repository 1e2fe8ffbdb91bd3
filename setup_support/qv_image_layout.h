// Where the image service's pieces go: frames of a strip, three- and
// nine-slice frames, and the steps of frame animations. Plain arithmetic,
// apart from the GDI+ calls that draw the pieces.
#pragma once

#include <vector>

struct QvBox {
  int x = 0, y = 0, width = 0, height = 0;
};

// One plain drawing: the source box of the picture into the target box. A
// target width or height of 0 means the source's own size.
struct QvPiece {
  QvBox target;
  QvBox source;
};

// Frames lie side by side from left to right, each picture_width / count
// wide. A count below 1 counts as 1; an index past the last frame means the
// last one, a negative one the first.
QvBox QvFrameSource(int picture_width, int picture_height, int frame_count, int frame_index);

// Left edge, middle and right edge of source, the edges kept at their width.
// A target narrower than both edges gets the two edges squeezed into it and
// no middle, and so does a source no wider than both edges: no piece ever
// has a negative size (it would draw mirrored).
std::vector<QvPiece> QvSliceH(const QvBox& target, const QvBox& source, int edge_width);
// Top, middle and bottom bands, each split as QvSliceH when edge_width > 0.
std::vector<QvPiece> QvSliceNine(const QvBox& target, const QvBox& source, int edge_height,
                                 int edge_width);

enum QvMovieEffect {
  kQvMovieFrames = 0,
  kQvMovieRotateFlip = 1,
  kQvMovieRotate = 2,
  kQvMovieFadeIn = 3,
  kQvMovieFadeOut = 4,
};

// A frame count below 1, a fade of fewer than 2 steps and a negative
// interval cannot be played (they would divide by zero or sleep for ever).
bool QvMovieIsPlayable(int effect, int frame_count, int interval);
// Angle of a rotation step in degrees: the step angle is 360 / count in
// integers.
int QvMovieAngle(int step, int frame_count);
// Opacity of a fade step, 0 to 1.
float QvMovieAlpha(int effect, int step, int frame_count);
// A fade ends after its last step; the other effects cycle.
bool QvMovieIsLastStep(int effect, int step, int frame_count);
