#include "qv_animate_steps.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Writes each step as a short word: M x,y,w,h  A alpha  P ms  R(edraw)
// W (show) H(ide) C(orners) S1/S0 (suppress).
class Recorder : public QvAnimSink {
 public:
  std::string log;
  std::vector<int> alphas;
  void Move(int x, int y, int w, int h) override {
    Add("M" + std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(w) + "," +
        std::to_string(h));
  }
  void Alpha(int a) override {
    alphas.push_back(a);
    Add("A" + std::to_string(a));
  }
  void Pause(int ms) override { Add("P" + std::to_string(ms)); }
  void Redraw() override { Add("R"); }
  void Show() override { Add("W"); }
  void Hide() override { Add("H"); }
  void CornerRegion() override { Add("C"); }
  void Suppress(bool on) override { Add(on ? "S1" : "S0"); }

 private:
  void Add(const std::string& word) { log += (log.empty() ? "" : " ") + word; }
};

std::string Play(int kind, QvAnimRect& r, bool corners = true) {
  Recorder rec;
  EXPECT_TRUE(QvAnimatePlay(kind, r, corners, rec));
  return rec.log;
}

// A 300 x 200 dialog at (500, 300), worked by hand from the step tables.
TEST(QvAnimateSteps, MoveAndSizeKindsFollowTheirTables) {
  const QvAnimRect start{500, 300, 300, 200};
  const char* expected[] = {
      "M-34,300,300,200 P50 M232,300,300,200 P50 M498,300,300,200 P50 M493,300,300,200 P20 "
      "M488,300,300,200 P20 M493,300,300,200 P20 M498,300,300,200 P20 M500,300,300,200 R",
      "M500,300,300,40 P50 M500,300,300,80 P50 M500,300,300,120 P50 M500,300,300,160 P50 "
      "M500,300,300,200 P50 M500,300,300,200 R",
      "M500,300,300,160 P50 M500,300,300,120 P50 M500,300,300,80 P50 M500,300,300,40 P50 "
      "M500,300,300,0 P50 H",
      "M340,300,300,200 P50 M180,300,300,200 P50 M20,300,300,200 P50 M-140,300,300,200 P50 "
      "M-300,300,300,200 P50",
      "S1 M500,380,300,40 P20 M500,360,300,80 P20 M500,340,300,120 P20 M500,320,300,160 P20 "
      "M500,300,300,200 P20 M500,300,300,200 S0 R",
      "S1 M500,320,300,160 R P30 M500,340,300,120 R P30 M500,360,300,80 R P30 "
      "M500,380,300,40 R P30 M500,400,300,2 R P100 H",
  };
  for (int kind = 0; kind < 6; ++kind) {
    QvAnimRect r = start;
    EXPECT_EQ(Play(kind, r), expected[kind]) << "kind " << kind;
    EXPECT_EQ(r.x, 500);
    EXPECT_EQ(r.w, 300);
  }
}

TEST(QvAnimateSteps, FadesStopShortOfOpaqueAndOfClear) {
  QvAnimRect r{0, 0, 10, 10};
  EXPECT_EQ(Play(kQvAnimFadeIn, r),
            "A0 W A79 P30 A98 P30 A117 P30 A136 P30 A155 P30 A174 P30 A193 P30 A212 P30 "
            "A231 P30 A250 P30");
  Recorder out;
  QvAnimatePlay(kQvAnimFadeOut, r, true, out);
  ASSERT_EQ(out.alphas.size(), 20u);
  for (int i = 1; i <= 20; ++i) EXPECT_EQ(out.alphas[i - 1], 255 - 12 * i);
  EXPECT_EQ(out.log.find('H'), std::string::npos);
}

TEST(QvAnimateSteps, ZoomInOvershootsAndRestoresTheRectangle) {
  QvAnimRect r{500, 300, 300, 200};
  EXPECT_EQ(Play(kQvAnimZoomIn, r),
            "S1 A50 M600,367,100,66 P20 A100 M550,334,200,132 P20 A150 M500,301,300,198 P20 "
            "M470,282,360,236 C A183 M480,288,340,224 P20 A216 M490,294,320,212 P20 "
            "A249 M500,300,300,200 P20 C S0 R");
  EXPECT_EQ(r.x, 500);
  EXPECT_EQ(r.y, 300);
  EXPECT_EQ(r.w, 300);
  EXPECT_EQ(r.h, 200);

  QvAnimRect plain{500, 300, 300, 200};
  EXPECT_EQ(Play(kQvAnimZoomIn, plain, false).find('C'), std::string::npos);
}

TEST(QvAnimateSteps, ZoomOutSwellsThenShrinksAndKeepsTheLastPlace) {
  QvAnimRect r{500, 300, 300, 200};
  EXPECT_EQ(Play(kQvAnimZoomOut, r),
            "S1 A217 M490,294,320,212 C R P20 A184 M480,288,340,224 C R P20 "
            "A151 M470,282,360,236 C R P20 A100 M530,321,240,158 P20 A50 M590,360,120,80 P20 "
            "A0 M650,399,0,2 P20");
  EXPECT_EQ(r.x, 650);
  EXPECT_EQ(r.y, 399);
  EXPECT_EQ(r.w, 360);
  EXPECT_EQ(r.h, 236);
}

TEST(QvAnimateSteps, ZeroWidthAndUnknownKinds) {
  // No division by the width: the overshoot only widens.
  QvAnimRect r{10, 10, 0, 50};
  const std::string in = Play(kQvAnimZoomIn, r);
  EXPECT_NE(in.find("M-20,10,60,50"), std::string::npos) << in;
  QvAnimRect z{10, 10, 0, 50};
  Play(kQvAnimZoomOut, z);
  EXPECT_EQ(z.h, 50);

  Recorder rec;
  QvAnimRect any{1, 2, 3, 4};
  EXPECT_FALSE(QvAnimatePlay(-1, any, true, rec));
  EXPECT_FALSE(QvAnimatePlay(kQvAnimTurnShow, any, true, rec));
  EXPECT_FALSE(QvAnimatePlay(12, any, true, rec));
  EXPECT_TRUE(rec.log.empty());
  EXPECT_TRUE(QvTurnFrames(9, 300, 200).empty());
}

TEST(QvAnimateSteps, TurnFrames) {
  // Hiding: six frames, edge-on at the end, the near edge 30 rows lower.
  auto hide = QvTurnFrames(kQvAnimTurnHide, 300, 200);
  ASSERT_EQ(hide.size(), 6u);
  const int lefts[] = {0, 30, 60, 90, 120, 150};
  for (size_t i = 0; i < hide.size(); ++i) {
    EXPECT_EQ(hide[i].left, lefts[i]);
    EXPECT_EQ(hide[i].right, 300 - lefts[i]);
    EXPECT_EQ(hide[i].right_top, 30 - hide[i].top);
    EXPECT_EQ(hide[i].bottom, 200 + hide[i].top);
  }
  EXPECT_EQ(hide[0].top, 15);
  EXPECT_EQ(hide[1].top, 6);  // 15 - sqrt(0.36 * 225) = 6
  EXPECT_EQ(hide[5].top, 0);

  // Showing: flat all the way over, mirrored at the end.
  auto show = QvTurnFrames(kQvAnimTurnShow, 300, 200);
  ASSERT_EQ(show.size(), 11u);
  EXPECT_EQ(show.back().left, 300);
  EXPECT_EQ(show.back().right, 0);
  for (const auto& f : show) {
    EXPECT_EQ(f.top, 0);
    EXPECT_EQ(f.right_top, 0);
  }

  // Narrow and odd widths still advance, one column a frame.
  auto narrow = QvTurnFrames(kQvAnimTurnShow, 7, 5);
  ASSERT_EQ(narrow.size(), 8u);
  EXPECT_EQ(narrow[0].right, 6);
  EXPECT_EQ(QvTurnFrames(kQvAnimTurnHide, 0, 5).size(), 1u);
}

}  // namespace
