#include "qv_image_layout.h"

namespace {

// Band along one axis: position and size of the target, position and size
// of the source. Both axes share the slicing rule.
struct Span {
  int pos, size, src_pos, src_size;
};

std::vector<Span> SliceSpan(int pos, int size, int src_pos, int src_size, int edge) {
  if (size >= 2 * edge) {
    // A picture no wider than its two edges has no middle to stretch: a
    // negative source size would draw it mirrored.
    if (src_size <= 2 * edge)
      return {{pos, edge, src_pos, edge}, {pos + size - edge, edge, src_pos + src_size - edge, edge}};
    return {{pos, edge, src_pos, edge},
            {pos + edge, size - 2 * edge, src_pos + edge, src_size - 2 * edge},
            {pos + size - edge, edge, src_pos + src_size - edge, edge}};
  }
  // Squeezed: each edge gets half the room; a piece with no room is left
  // out, as a zero size would draw it at its source size.
  std::vector<Span> spans;
  const int first = size / 2;
  if (first > 0) spans.push_back({pos, first, src_pos, edge});
  if (size - first > 0)
    spans.push_back({pos + first, size - first, src_pos + src_size - edge, edge});
  return spans;
}

}  // namespace

QvBox QvFrameSource(int picture_width, int picture_height, int frame_count, int frame_index) {
  if (frame_count < 1) frame_count = 1;
  if (frame_index >= frame_count) frame_index = frame_count - 1;
  if (frame_index < 0) frame_index = 0;
  const int frame_width = picture_width / frame_count;
  return QvBox{frame_width * frame_index, 0, frame_width, picture_height};
}

std::vector<QvPiece> QvSliceH(const QvBox& target, const QvBox& source, int edge_width) {
  std::vector<QvPiece> pieces;
  for (const Span& s : SliceSpan(target.x, target.width, source.x, source.width, edge_width))
    pieces.push_back({{s.pos, target.y, s.size, target.height},
                      {s.src_pos, source.y, s.src_size, source.height}});
  return pieces;
}

std::vector<QvPiece> QvSliceNine(const QvBox& target, const QvBox& source, int edge_height,
                                 int edge_width) {
  std::vector<QvPiece> pieces;
  for (const Span& s : SliceSpan(target.y, target.height, source.y, source.height, edge_height)) {
    const QvBox band{target.x, s.pos, target.width, s.size};
    const QvBox band_source{source.x, s.src_pos, source.width, s.src_size};
    if (edge_width > 0) {
      for (const QvPiece& p : QvSliceH(band, band_source, edge_width)) pieces.push_back(p);
    } else {
      pieces.push_back({band, band_source});
    }
  }
  return pieces;
}

bool QvMovieIsPlayable(int effect, int frame_count, int interval) {
  if (frame_count < 1 || interval < 0) return false;
  const bool fade = effect == kQvMovieFadeIn || effect == kQvMovieFadeOut;
  return !fade || frame_count >= 2;
}

int QvMovieAngle(int step, int frame_count) {
  return frame_count > 0 ? step * (360 / frame_count) : 0;
}

float QvMovieAlpha(int effect, int step, int frame_count) {
  if (frame_count < 2) return 1.0f;
  const float alpha = static_cast<float>(step) / static_cast<float>(frame_count - 1);
  return effect == kQvMovieFadeOut ? 1.0f - alpha : alpha;
}

bool QvMovieIsLastStep(int effect, int step, int frame_count) {
  return (effect == kQvMovieFadeIn || effect == kQvMovieFadeOut) && step >= frame_count - 1;
}
