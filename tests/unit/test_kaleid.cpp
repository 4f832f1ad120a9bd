// Kaleidoscope: the set-up from the mask, the turning step timing, the picture choice on a click,
// the background switch, and the pointer kept r + 30 from every edge (also where warps fail).
#include <gtest/gtest.h>

#include <set>

#include "activities/kaleid.hpp"
#include "tests/unit/activities_1to4_fixture.hpp"

using activities::TKaleid;

namespace {

class KaleidTest : public act_test::ActivityTest {
 protected:
  TKaleid k{context()};
};

TEST_F(KaleidTest, InitTakesSizesFromTheMaskAndAPictureOtherThanTheFirst) {
  for (int seed = 1; seed <= 30; ++seed) {
    media::seed_random(seed);
    TKaleid a{context()};
    a.init();
    EXPECT_NE(a.ind, 0) << "seed " << seed;
    EXPECT_TRUE(a.taken);
  }
  k.init();
  ASSERT_TRUE(k.mask) << "kaleid/mask.png";
  EXPECT_EQ(k.r, k.mask->width);
  EXPECT_EQ(k.r2, k.r / 2);
  EXPECT_GT(k.r, 50);
  EXPECT_EQ(k.ring_w, 30);
  EXPECT_EQ(k.rot, 0);
  EXPECT_FALSE(k.show);
  EXPECT_EQ(k.ms, 1000);
  ASSERT_TRUE(k.img);
  EXPECT_EQ(k.img->width, 1024);
  EXPECT_EQ(k.img->height, 768);
  EXPECT_FLOAT_EQ(k.img->handle_x, 512);
  EXPECT_FLOAT_EQ(k.img->handle_y, 384);
  ASSERT_TRUE(k.ring);
  EXPECT_FLOAT_EQ(k.ring->handle_x, k.ring->width / 2.0f);
  EXPECT_GE(k.ring->width, 2 * k.r) << "the ring frames the whole pattern";
}

TEST_F(KaleidTest, TurnsOneDegreePerStepMoreThanFiftyMillisecondsApart) {
  k.init();
  media::advance_manual_clock(50);
  EXPECT_EQ(k.update(), app::Outcome::Nothing);
  EXPECT_EQ(k.rot, 0);
  media::advance_manual_clock(1);
  EXPECT_EQ(k.update(), app::Outcome::Redraw);
  EXPECT_EQ(k.rot, 1);
  EXPECT_EQ(k.ms, 1051);
  EXPECT_EQ(k.update(), app::Outcome::Nothing);
  EXPECT_EQ(k.rot, 1) << "no time has passed";

  k.rot = 357;
  const int expect[] = {358, 359, 0, 1};
  for (int e : expect) {
    media::advance_manual_clock(51);
    k.update();
    EXPECT_EQ(k.rot, e);
  }
}

TEST_F(KaleidTest, ClicksNeverTakeTheSamePictureTwiceAndRightClickToggles) {
  set_pictures(3);
  k.init();
  std::set<int> seen;
  for (int i = 0; i < 200; ++i) {
    int before = k.ind;
    EXPECT_EQ(k.left_click(), app::Outcome::Finished) << "every click finishes a game";
    EXPECT_NE(k.ind, before);
    seen.insert(k.ind);
  }
  EXPECT_EQ(seen.size(), 3u);

  k.right_click();
  EXPECT_TRUE(k.show);
  k.right_click();
  EXPECT_FALSE(k.show);
}

TEST_F(KaleidTest, OneOrNoPictureNeitherFailsNorHangs) {
  set_pictures(1);
  k.init();
  EXPECT_EQ(k.ind, 0);
  EXPECT_TRUE(k.taken);
  k.left_click();
  EXPECT_EQ(k.ind, 0);

  set_pictures(0);
  TKaleid none{context()};
  none.init();
  EXPECT_FALSE(none.taken);
  none.left_click();
  none.right_click();
  media::move_pointer(500, 400);
  none.draw();
}

TEST_F(KaleidTest, PointerIsKeptAwayFromTheEdges) {
  k.init();
  const int m = k.r + k.ring_w;
  struct Case {
    int x, y;      // pointer before the draw
    int ex, ey;    // after it
    int passes;    // frames drawn
  };
  const Case cases[] = {
      {500, 400, 500, 400, 1},
      {m, m, m, m, 1},                           // on the limit is inside
      {1024 - m, 768 - m, 1024 - m, 768 - m, 1},
      {m - 1, 400, m, 400, 2},
      {10, 400, m, 400, 2},
      {500, 0, 500, m, 2},
      {1023, 300, 1024 - m, 300, 2},
      {600, 767, 600, 768 - m, 2},
      // Corners: the second warp undoes the first, so the repeated draw repeats once more.
      {0, 0, m, m, 3},
      {1023, 767, 1024 - m, 768 - m, 3},
      {5, 760, m, 768 - m, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
    media::move_pointer(c.x, c.y);
    k.draw();
    EXPECT_EQ(media::mouse_x(), c.ex);
    EXPECT_EQ(media::mouse_y(), c.ey);
    EXPECT_EQ(k.passes, c.passes);
  }
}

TEST_F(KaleidTest, RepeatedDrawEndsWhenWarpsDoNotTakeEffect) {
  k.init();
  static int warps = 0;
  warps = 0;
  k.warp = [](int, int) { ++warps; };
  media::move_pointer(0, 0);
  k.draw();
  EXPECT_EQ(k.passes, 3);
  EXPECT_EQ(warps, 6) << "two warps on each pass";
  EXPECT_EQ(media::mouse_x(), 0);
}

}  // namespace
