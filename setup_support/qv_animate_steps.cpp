#include "qv_animate_steps.h"

#include <cmath>

namespace {

void SlideIn(const QvAnimRect& r, QvAnimSink& s) {
  const int step = (r.x + r.w) / 3;
  int x = -r.w;
  for (int i = 0; i < 3; ++i) {
    x += step;
    s.Move(x, r.y, r.w, r.h);
    s.Pause(50);
  }
  // The bounce: five pixels back twice, then forward again.
  for (int dir : {-5, -5, 5, 5}) {
    x += dir;
    s.Move(x, r.y, r.w, r.h);
    s.Pause(20);
  }
  s.Move(r.x, r.y, r.w, r.h);
  s.Redraw();
}

void Unroll(const QvAnimRect& r, QvAnimSink& s) {
  const int step = r.h / 5;
  for (int i = 1; i <= 5; ++i) {
    s.Move(r.x, r.y, r.w, step * i);
    s.Pause(50);
  }
  s.Move(r.x, r.y, r.w, r.h);
  s.Redraw();
}

void RollUp(const QvAnimRect& r, QvAnimSink& s) {
  const int step = r.h / 5;
  for (int i = 1; i <= 5; ++i) {
    s.Move(r.x, r.y, r.w, r.h - step * i);
    s.Pause(50);
  }
  s.Hide();
}

void SlideOut(const QvAnimRect& r, QvAnimSink& s) {
  // Ends just off the left edge of the screen, still shown.
  const int step = (r.x + r.w) / 5;
  for (int i = 1; i <= 5; ++i) {
    s.Move(r.x - step * i, r.y, r.w, r.h);
    s.Pause(50);
  }
}

void OpenCentre(const QvAnimRect& r, QvAnimSink& s) {
  s.Suppress(true);
  const int step = r.h / 5;
  const int half = step / 2;
  int y = r.y + r.h / 2;
  for (int i = 1; i <= 5; ++i) {
    y -= half;
    s.Move(r.x, y, r.w, step * i);
    s.Pause(20);
  }
  s.Move(r.x, r.y, r.w, r.h);
  s.Suppress(false);
  s.Redraw();
}

void CloseCentre(const QvAnimRect& r, QvAnimSink& s) {
  // The window is gone at the end: the controls stay left out.
  s.Suppress(true);
  const int step = r.h / 5;
  const int half = step / 2;
  int y = r.y;
  for (int i = 1; i <= 4; ++i) {
    y += half;
    s.Move(r.x, y, r.w, r.h - step * i);
    s.Redraw();
    s.Pause(30);
  }
  s.Move(r.x, r.y + r.h / 2, r.w, 2);
  s.Redraw();
  s.Pause(100);
  s.Hide();
}

void FadeIn(QvAnimSink& s) {
  s.Alpha(0);
  s.Show();
  for (int i = 1; i <= 10; ++i) {
    s.Alpha(60 + 19 * i);
    s.Pause(30);
  }
}

void FadeOut(QvAnimSink& s) {
  for (int i = 1; i <= 20; ++i) {
    s.Alpha(255 - 12 * i);
    s.Pause(30);
  }
}

// Rows of the overshoot per 10 columns; a window without width has none.
int Ratio(const QvAnimRect& r) { return r.w != 0 ? (10 * r.h) / r.w : 0; }

void ZoomIn(QvAnimRect& r, bool corners, QvAnimSink& s) {
  s.Suppress(true);
  const int cw = r.w / 3;
  const int ch = r.h / 3;
  int x = r.x + r.w / 2;
  int y = r.y + r.h / 2;
  for (int i = 1; i <= 3; ++i) {
    s.Alpha(50 * i);
    x -= cw / 2;
    y -= ch / 2;
    s.Move(x, y, cw * i, ch * i);
    s.Pause(20);
  }
  // Overshoot by 30 columns and 3 ratios of rows on every side, then come
  // back in three steps to where the window started.
  const int ratio = Ratio(r);
  r.w += 60;
  r.h += 6 * ratio;
  x = r.x - 30;
  y = r.y - 3 * ratio;
  s.Move(x, y, r.w, r.h);
  if (corners) s.CornerRegion();
  for (int i = 1; i <= 3; ++i) {
    s.Alpha(150 + 33 * i);
    r.w -= 20;
    r.h -= 2 * ratio;
    x += 10;
    y += ratio;
    s.Move(x, y, r.w, r.h);
    s.Pause(20);
  }
  if (corners) s.CornerRegion();
  s.Suppress(false);
  s.Redraw();
}

void ZoomOut(QvAnimRect& r, bool corners, QvAnimSink& s) {
  const int ratio = Ratio(r);
  s.Suppress(true);
  for (int i = 1; i <= 3; ++i) {
    s.Alpha(250 - 33 * i);
    r.y -= ratio;
    r.w += 20;
    r.x -= 10;
    r.h += 2 * ratio;
    s.Move(r.x, r.y, r.w, r.h);
    if (corners) s.CornerRegion();
    s.Redraw();
    s.Pause(20);
  }
  // The stored size stays the swollen one; only the place moves on.
  const int cw = r.w / 3;
  const int ch = r.h / 3;
  for (int i = 1; i <= 3; ++i) {
    s.Alpha(50 * (3 - i));
    r.x += cw / 2;
    r.y += ch / 2;
    s.Move(r.x, r.y, r.w - cw * i, r.h - ch * i);
    s.Pause(20);
  }
}

}  // namespace

bool QvAnimatePlay(int kind, QvAnimRect& stored, bool cut_corners, QvAnimSink& sink) {
  switch (kind) {
    case kQvAnimSlideIn: SlideIn(stored, sink); return true;
    case kQvAnimUnroll: Unroll(stored, sink); return true;
    case kQvAnimRollUp: RollUp(stored, sink); return true;
    case kQvAnimSlideOut: SlideOut(stored, sink); return true;
    case kQvAnimOpenCentre: OpenCentre(stored, sink); return true;
    case kQvAnimCloseCentre: CloseCentre(stored, sink); return true;
    case kQvAnimFadeIn: FadeIn(sink); return true;
    case kQvAnimFadeOut: FadeOut(sink); return true;
    case kQvAnimZoomIn: ZoomIn(stored, cut_corners, sink); return true;
    case kQvAnimZoomOut: ZoomOut(stored, cut_corners, sink); return true;
    default: return false;
  }
}

std::vector<QvTurnFrame> QvTurnFrames(int kind, int w, int h) {
  std::vector<QvTurnFrame> frames;
  if (!QvAnimIsTurn(kind)) return frames;
  const bool show = kind == kQvAnimTurnShow;
  const int half = w / 2;
  const int step = w / 10 > 0 ? w / 10 : 1;
  // The showing turn flips all the way round flat; the hiding one stops
  // edge-on, its near edge dipping as it comes round.
  const int end = show ? w : half;
  int right = 2 * half;
  int t = -half;
  for (int left = 0; left <= end; left += step, right -= step, t += step) {
    int depth = 0;
    if (!show && half != 0) {
      const double q = static_cast<double>(t) * t / (static_cast<double>(half) * half);
      depth = static_cast<int>(15.0 - std::sqrt((1.0 - q) * 225.0));
    }
    frames.push_back({left, depth, right, show ? -depth : 30 - depth, h + depth});
  }
  return frames;
}
