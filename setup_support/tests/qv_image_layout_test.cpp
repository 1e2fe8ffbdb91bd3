#include "qv_image_layout.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "qv_image_test_pictures.h"

namespace {

bool Same(const QvBox& a, const QvBox& b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

TEST(QvImageLayout, FramesAreClampedIntoTheStrip) {
  EXPECT_TRUE(Same(QvFrameSource(87, 29, 3, 5), QvBox{58, 0, 29, 29}));
  EXPECT_TRUE(Same(QvFrameSource(87, 29, 0, 0), QvBox{0, 0, 87, 29}));
  EXPECT_TRUE(Same(QvFrameSource(87, 29, 3, -1), QvBox{0, 0, 29, 29}));
}

// Pieces tile the target exactly, none has a negative size, and every piece
// takes its source from inside the source box.
void ExpectTiling(const std::vector<QvPiece>& pieces, const QvBox& target, const QvBox& source) {
  long area = 0;
  for (const QvPiece& p : pieces) {
    EXPECT_GT(p.target.width, 0);
    EXPECT_GT(p.target.height, 0);
    EXPECT_GE(p.target.x, target.x);
    EXPECT_LE(p.target.x + p.target.width, target.x + target.width);
    EXPECT_GE(p.source.x, source.x);
    EXPECT_LE(p.source.x + p.source.width, source.x + source.width);
    EXPECT_GE(p.source.y, source.y);
    EXPECT_LE(p.source.y + p.source.height, source.y + source.height);
    area += static_cast<long>(p.target.width) * p.target.height;
  }
  EXPECT_EQ(area, static_cast<long>(target.width) * target.height);
}

TEST(QvImageLayout, SlicesTileTheTargetEvenWhenItIsNarrowerThanTheEdges) {
  const QvBox source{29, 0, 29, 29};
  for (int width : {100, 21, 19, 10, 1}) {
    SCOPED_TRACE(width);
    const QvBox target{5, 7, width, 40};
    ExpectTiling(QvSliceH(target, source, 10), target, source);
    const QvBox tall{5, 7, 40, width};
    ExpectTiling(QvSliceNine(tall, source, 10, 8), tall, source);
  }
  // Exactly two edges wide: a middle of width 0, drawn at its source size.
  EXPECT_EQ(QvSliceH(QvBox{0, 0, 16, 5}, source, 8)[1].target.width, 0);

  // A picture narrower or lower than its two edges: no middle at all.
  const QvBox narrow{0, 0, 15, 12};
  const std::vector<QvPiece> edges = QvSliceH(QvBox{0, 0, 100, 40}, narrow, 10);
  const std::vector<QvPiece> corners = QvSliceNine(QvBox{0, 0, 100, 40}, narrow, 10, 10);
  EXPECT_EQ(edges.size(), 2u);
  EXPECT_EQ(corners.size(), 4u);
  for (const auto& pieces : {edges, corners}) {
    for (const QvPiece& p : pieces) {
      EXPECT_GT(p.source.width, 0);
      EXPECT_GT(p.source.height, 0);
    }
  }
}

TEST(QvImageLayout, MovieStepsAndWhatCannotBePlayed) {
  EXPECT_EQ(QvMovieAngle(6, 7), 306);
  const float fade_in[] = {0, 0.25f, 0.5f, 0.75f, 1};
  for (int i = 0; i < 5; ++i) {
    EXPECT_FLOAT_EQ(QvMovieAlpha(kQvMovieFadeIn, i, 5), fade_in[i]);
    EXPECT_FLOAT_EQ(QvMovieAlpha(kQvMovieFadeOut, i, 5), 1 - fade_in[i]);
    EXPECT_EQ(QvMovieIsLastStep(kQvMovieFadeIn, i, 5), i == 4);
    EXPECT_FALSE(QvMovieIsLastStep(kQvMovieFrames, i, 5));
  }
  EXPECT_FALSE(QvMovieIsPlayable(kQvMovieFrames, 0, 10));
  EXPECT_FALSE(QvMovieIsPlayable(kQvMovieFadeOut, 1, 10));
  EXPECT_FALSE(QvMovieIsPlayable(kQvMovieRotate, 4, -1));
  EXPECT_TRUE(QvMovieIsPlayable(kQvMovieRotate, 1, 0));
}

// The strip the Windows tests carry is what its tool draws.
TEST(QvImageLayout, CarriedTestStripIsTheToolsOutput) {
  std::ifstream file(ZZ_TEST_STRIP, std::ios::binary);
  const std::vector<std::uint8_t> carried{std::istreambuf_iterator<char>(file), {}};
  EXPECT_EQ(carried, qv_test::Strip().ToPng());
}

}  // namespace
