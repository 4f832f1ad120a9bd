// Picture frames: what the factory yields, the frames' sensitive rectangles, the picture cycle of
// each frame, the finish at the fourth first entry, clear, and short picture lists.
#include <gtest/gtest.h>

#include <memory>

#include "activities/frames.hpp"
#include "tests/unit/activities_1to4_fixture.hpp"

using activities::PictureFrames;

namespace {

class FramesTest : public act_test::ActivityTest {
 protected:
  void SetUp() override {
    ActivityTest::SetUp();
    made = PictureFrames::make(context());
    ASSERT_TRUE(made);
  }
  // Hands a move to (x, y) to the activity, as the loop does; counts the moves that report a
  // finished game.
  void move(int x, int y) {
    if (made->move(tw::at(x, y)) == app::Outcome::Finished) ++finishes;
  }
  int shown(int frame) const { return picture_number(made->frame(frame).picture); }

  std::unique_ptr<PictureFrames> made;
  int finishes = 0;
};

// A point well inside each frame.
constexpr int kInside[4][2] = {{200, 150}, {700, 150}, {200, 500}, {700, 500}};
constexpr int kOutside[2] = {512, 40};
const int kSpots[4][2] = {{94, 74}, {580, 74}, {94, 406}, {580, 406}};

TEST_F(FramesTest, MadeWithEmptyFramesAndThePointerInTheMiddle) {
  const PictureFrames& f = *made;
  EXPECT_EQ(&f.traits(), &PictureFrames::kTraits);
  ASSERT_EQ(world().requests.warps.size(), 1u) << "the pointer is put in the middle, between the frames";
  EXPECT_EQ(world().requests.warps[0], (std::pair<int, int>{512, 384}));
  ASSERT_EQ(PictureFrames::kFrames, 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(f.frame(i).left, kSpots[i][0]);
    EXPECT_EQ(f.frame(i).top, kSpots[i][1]);
    EXPECT_FALSE(f.frame(i).picture);
    EXPECT_FALSE(f.frame(i).entered);
    EXPECT_EQ(f.frame(i).turn, 0);
  }
  EXPECT_FLOAT_EQ(f.picture_scale(), 0.34375f);
  EXPECT_EQ(f.frame_under_pointer(), -1);
  EXPECT_EQ(f.first_entries(), 0);
}

// The background is what the frames are drawn on: without it there is no activity. The pictures
// are not needed (see below).
TEST_F(FramesTest, NoneWithoutTheBackground) {
  world().assets.data_dir = "/nonexistent/pipkin-data/";
  world().requests.warps.clear();
  EXPECT_FALSE(PictureFrames::make(context()));
  EXPECT_TRUE(world().requests.warps.empty()) << "nothing is asked of the loop for an activity not made";
}

TEST_F(FramesTest, SensitiveRectanglesIncludeTheirEdges) {
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
    EXPECT_EQ(made->frame_under_pointer(), p.frame);
  }
  // Every frame's rectangle is 352 x 233 from its corner.
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE("frame " + std::to_string(i));
    const int x = kSpots[i][0], y = kSpots[i][1];
    move(kOutside[0], kOutside[1]);
    move(x + 352, y + 233);
    EXPECT_EQ(made->frame_under_pointer(), i);
    move(x + 353, y + 233);
    EXPECT_EQ(made->frame_under_pointer(), -1);
    move(x + 352, y + 234);
    EXPECT_EQ(made->frame_under_pointer(), -1);
  }
}

TEST_F(FramesTest, EachEntryShowsTheFramesNextPicture) {
  act_test::ActivityTest::played(app::Effect::Ping);
  // Top-left frame: indexes 1, 2, 3, 0, 1 ... on successive entries; a ping each time.
  const int expect[] = {1, 2, 3, 0, 1, 2};
  for (int e : expect) {
    move(kInside[0][0], kInside[0][1]);
    EXPECT_EQ(shown(0), e);
    EXPECT_EQ(made->frame(0).turn, e);
    EXPECT_TRUE(played(app::Effect::Ping));
    // Moving about inside changes nothing and is silent.
    move(kInside[0][0] + 100, kInside[0][1] + 50);
    move(446, 307);
    EXPECT_EQ(shown(0), e);
    EXPECT_FALSE(played(app::Effect::Ping));
    move(kOutside[0], kOutside[1]);
    EXPECT_EQ(made->frame_under_pointer(), -1);
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

TEST_F(FramesTest, FourthFirstEntryFinishesOnceAndClearKeepsTheCount) {
  PictureFrames& f = *made;
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(finishes, 0) << "before entry " << i + 1;
    move(kInside[i][0], kInside[i][1]);
    // Re-entering a frame already visited does not count.
    move(kOutside[0], kOutside[1]);
    move(kInside[i][0], kInside[i][1]);
    EXPECT_EQ(f.first_entries(), i + 1);
    EXPECT_TRUE(f.frame(i).entered);
  }
  EXPECT_EQ(finishes, 1);

  // clear empties the frames; with the pointer resting in frame 3 it stays empty until re-entered.
  f.clear();
  for (int i = 0; i < 4; ++i) {
    EXPECT_FALSE(f.frame(i).picture);
    EXPECT_FALSE(f.frame(i).entered);
  }
  EXPECT_EQ(f.first_entries(), 4);
  EXPECT_EQ(f.frame_under_pointer(), 3);
  int turn = f.frame(3).turn;
  move(kInside[3][0] + 5, kInside[3][1] + 5);
  EXPECT_FALSE(f.frame(3).picture);
  move(kOutside[0], kOutside[1]);
  move(kInside[3][0], kInside[3][1]);
  EXPECT_EQ(f.frame(3).turn, (turn + 1) % 4) << "the cycle resumes where it left off";
  EXPECT_EQ(f.first_entries(), 5);

  // Entering all frames again never finishes again.
  for (int i = 0; i < 3; ++i) move(kInside[i][0], kInside[i][1]);
  EXPECT_EQ(f.first_entries(), 8);
  EXPECT_EQ(finishes, 1);
}

TEST_F(FramesTest, ShortPictureListsWrapAndAnEmptyOneShowsNothing) {
  set_pictures(3);
  for (int i = 0; i < 4; ++i) {
    move(kInside[i][0], kInside[i][1]);
    EXPECT_EQ(shown(i), (4 * i + 1) % 3);
  }
  set_pictures(0);
  std::unique_ptr<PictureFrames> g = PictureFrames::make(context());
  ASSERT_TRUE(g) << "the pictures are not needed to start";
  int finished = 0;
  for (const auto& p : kInside) finished += g->move(tw::at(p[0], p[1])) == app::Outcome::Finished;
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(g->frame(i).picture);
  EXPECT_EQ(g->first_entries(), 4) << "the frames still count, so the next activity can open";
  EXPECT_EQ(finished, 1);
  g->draw();  // no display: draws nothing, must not fail
}

}  // namespace
