// The show and close effects of the skinned dialogs as plain step tables:
// what to move, fade and wait, in order, with no window behind it. The
// dialog turns each step into window calls; tests record them.
#pragma once

#include <vector>

// The dialog's stored rectangle, in screen coordinates.
struct QvAnimRect {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
};

// One step receiver. The effects only ever call these, in the order the
// effect plays them.
class QvAnimSink {
 public:
  virtual ~QvAnimSink() = default;
  // Place and size the window, and make it visible.
  virtual void Move(int x, int y, int w, int h) = 0;
  // Whole-window opacity, 0 to 255.
  virtual void Alpha(int alpha) = 0;
  virtual void Pause(int ms) = 0;
  virtual void Redraw() = 0;
  virtual void Show() = 0;
  virtual void Hide() = 0;
  // The cut corners follow the window's new size.
  virtual void CornerRegion() = 0;
  // While set, painting leaves the controls out and hovering is ignored.
  virtual void Suppress(bool on) = 0;
};

enum QvAnimKind {
  kQvAnimSlideIn = 0,
  kQvAnimUnroll = 1,
  kQvAnimRollUp = 2,
  kQvAnimSlideOut = 3,
  kQvAnimOpenCentre = 4,
  kQvAnimCloseCentre = 5,
  kQvAnimFadeIn = 6,
  kQvAnimFadeOut = 7,
  kQvAnimZoomIn = 8,
  kQvAnimZoomOut = 9,
  kQvAnimTurnShow = 10,
  kQvAnimTurnHide = 11,
};

inline bool QvAnimIsTurn(int kind) { return kind == kQvAnimTurnShow || kind == kQvAnimTurnHide; }

// Plays kinds 0 to 9 into the sink; kinds 8 and 9 rewrite the stored
// rectangle as they go. Any other kind plays nothing and returns false.
bool QvAnimatePlay(int kind, QvAnimRect& stored, bool cut_corners, QvAnimSink& sink);

// One frame of a 3D turn: the snapshot goes into the parallelogram with
// upper-left (left, top), upper-right (right, right_top) and lower-left
// (left, bottom).
struct QvTurnFrame {
  int left;
  int top;
  int right;
  int right_top;
  int bottom;
};

// The frames of the turns (kinds 10 and 11) for a w by h snapshot; empty
// for any other kind.
std::vector<QvTurnFrame> QvTurnFrames(int kind, int w, int h);

// How long a turn pauses after each frame.
constexpr int kQvTurnFramePause = 20;
