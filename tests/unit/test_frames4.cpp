// Picture frames: the frames' sensitive rectangles, the picture cycle of each frame, the finish at
// the fourth first entry, clear, and short picture lists.
#include <gtest/gtest.h>

#include "activities/frames4.hpp"
#include "tests/unit/activities_1to4_fixture.hpp"

using activities::TFrames4;

namespace {

class Frames4Test : public act_test::ActivityTest {
 protected:
  // Puts the pointer at (x, y) and hands the move to the activity, as the loop does; counts the
  // moves that report a finished game.
  void move(int x, int y) {
    
    if (f.move(tw::at(x, y)) == app::Outcome::Finished) ++finishes;
  }
  int shown(int frame) const { return picture_number(f.frames[frame].pic); }

  TFrames4 f{context()};
  int finishes = 0;
};

// A point well inside each frame.
constexpr int kInside[4][2] = {{200, 150}, {700, 150}, {200, 500}, {700, 500}};
constexpr int kOutside[2] = {512, 40};

TEST_F(Frames4Test, InitPlacesFramesAndCentresThePointer) {
  f.init();
  EXPECT_EQ(&f.traits(), &TFrames4::kTraits);
  ASSERT_EQ(world().requests.warps.size(), 1u) << "the pointer is put in the middle, between the frames";
  EXPECT_EQ(world().requests.warps[0], (std::pair<int, int>{512, 384}));
  ASSERT_EQ(f.frames.size(), 4u);
  const int spots[4][2] = {{94, 74}, {580, 74}, {94, 406}, {580, 406}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(f.frames[i].x, spots[i][0]);
    EXPECT_EQ(f.frames[i].y, spots[i][1]);
    EXPECT_FALSE(f.frames[i].pic);
    EXPECT_EQ(f.frames[i].pic_n, 0);
  }
  EXPECT_EQ(f.w, 352);
  EXPECT_EQ(f.h, 233);
  EXPECT_FLOAT_EQ(f.scale, 0.34375f);
  EXPECT_EQ(f.current, -1);
  EXPECT_EQ(f.count, 0);
  EXPECT_TRUE(f.bgd) << "frames4/bgd.jpg";
}

TEST_F(Frames4Test, SensitiveRectanglesIncludeTheirEdges) {
  f.init();
  struct Probe {
    int x, y, frame;
  };
  const Probe probes[] = {
      {94, 74, 0},    {446, 307, 0},  {447, 307, -1}, {446, 308, -1}, {93, 74, -1},  {94, 73, -1},
      {580, 74, 1},   {932, 307, 1},  {933, 200, -1}, {94, 406, 2},   {446, 639, 2}, {446, 640, -1},
      {580, 406, 3},  {932, 639, 3},  {579, 500, -1}, {512, 384, -1},
  };
  for (const Probe& p : probes) {
    SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
    move(kOutside[0], kOutside[1]);
    move(p.x, p.y);
    EXPECT_EQ(f.current, p.frame);
  }
}

TEST_F(Frames4Test, EachEntryShowsTheFramesNextPicture) {
  f.init();
  act_test::ActivityTest::played(app::Effect::Ping);
  // Top-left frame: indexes 1, 2, 3, 0, 1 ... on successive entries; a ping each time.
  const int expect[] = {1, 2, 3, 0, 1, 2};
  for (int e : expect) {
    move(kInside[0][0], kInside[0][1]);
    EXPECT_EQ(shown(0), e);
    EXPECT_TRUE(played(app::Effect::Ping));
    // Moving about inside changes nothing and is silent.
    move(kInside[0][0] + 100, kInside[0][1] + 50);
    move(446, 307);
    EXPECT_EQ(shown(0), e);
    EXPECT_FALSE(played(app::Effect::Ping));
    move(kOutside[0], kOutside[1]);
    EXPECT_EQ(f.current, -1);
    EXPECT_EQ(shown(0), e) << "leaving keeps the picture";
  }
  // Frame i shows pictures 4i .. 4i+3, starting at 4i+1; going straight from frame to frame counts
  // as an entry.
  for (int i = 1; i < 4; ++i) {
    move(kInside[i][0], kInside[i][1]);
    EXPECT_EQ(shown(i), 4 * i + 1);
    EXPECT_TRUE(played(app::Effect::Ping));
  }
  move(kInside[0][0], kInside[0][1]);
  EXPECT_EQ(shown(0), 3);
}

TEST_F(Frames4Test, FourthFirstEntryFinishesOnceAndClearKeepsTheCount) {
  f.init();
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(finishes, 0) << "before entry " << i + 1;
    move(kInside[i][0], kInside[i][1]);
    // Re-entering a frame already visited does not count.
    move(kOutside[0], kOutside[1]);
    move(kInside[i][0], kInside[i][1]);
    EXPECT_EQ(f.count, i + 1);
  }
  EXPECT_EQ(finishes, 1);

  // clear empties the frames; with the pointer resting in frame 3 it stays empty until re-entered.
  f.clear();
  for (const auto& fr : f.frames) {
    EXPECT_FALSE(fr.pic);
    EXPECT_FALSE(fr.visited);
  }
  EXPECT_EQ(f.count, 4);
  EXPECT_EQ(f.current, 3);
  int pic_n = f.frames[3].pic_n;
  move(kInside[3][0] + 5, kInside[3][1] + 5);
  EXPECT_FALSE(f.frames[3].pic);
  move(kOutside[0], kOutside[1]);
  move(kInside[3][0], kInside[3][1]);
  EXPECT_EQ(f.frames[3].pic_n, (pic_n + 1) % 4) << "the cycle resumes where it left off";
  EXPECT_EQ(f.count, 5);

  // Entering all frames again never finishes again.
  for (int i = 0; i < 3; ++i) move(kInside[i][0], kInside[i][1]);
  EXPECT_EQ(f.count, 8);
  EXPECT_EQ(finishes, 1);
}

TEST_F(Frames4Test, ShortPictureListsWrapAndAnEmptyOneShowsNothing) {
  set_pictures(3);
  f.init();
  for (int i = 0; i < 4; ++i) {
    move(kInside[i][0], kInside[i][1]);
    EXPECT_EQ(shown(i), (4 * i + 1) % 3);
  }
  set_pictures(0);
  TFrames4 g{context()};
  g.init();
  int finished = 0;
  for (const auto& p : kInside) {
    
    finished += g.move(tw::at(p[0], p[1])) == app::Outcome::Finished;
  }
  for (const auto& fr : g.frames) EXPECT_FALSE(fr.pic);
  EXPECT_EQ(g.count, 4) << "the frames still count, so the next activity can open";
  EXPECT_EQ(finished, 1);
  g.draw();  // no display: draws nothing, must not fail
}

}  // namespace
