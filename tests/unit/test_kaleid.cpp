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
  EXPECT_EQ(k.update(media::millisecs()), app::Outcome::Nothing);
  EXPECT_EQ(k.rot, 0);
  media::advance_manual_clock(1);
  EXPECT_EQ(k.update(media::millisecs()), app::Outcome::Redraw);
  EXPECT_EQ(k.rot, 1);
  EXPECT_EQ(k.ms, 1051);
  EXPECT_EQ(k.update(media::millisecs()), app::Outcome::Nothing);
  EXPECT_EQ(k.rot, 1) << "no time has passed";

  k.rot = 357;
  const int expect[] = {358, 359, 0, 1};
  for (int e : expect) {
    media::advance_manual_clock(51);
    k.update(media::millisecs());
    EXPECT_EQ(k.rot, e);
  }
}

TEST_F(KaleidTest, ClicksNeverTakeTheSamePictureTwiceAndRightClickToggles) {
  set_pictures(3);
  k.init();
  std::set<int> seen;
  for (int i = 0; i < 200; ++i) {
    int before = k.ind;
    EXPECT_EQ(k.click(tw::at(0, 0)), app::Outcome::Finished) << "every click finishes a game";
    EXPECT_NE(k.ind, before);
    seen.insert(k.ind);
  }
  EXPECT_EQ(seen.size(), 3u);

  k.click(tw::right_at(0, 0));
  EXPECT_TRUE(k.show);
  k.click(tw::right_at(0, 0));
  EXPECT_FALSE(k.show);
}

TEST_F(KaleidTest, OneOrNoPictureNeitherFailsNorHangs) {
  set_pictures(1);
  k.init();
  EXPECT_EQ(k.ind, 0);
  EXPECT_TRUE(k.taken);
  k.click(tw::at(0, 0));
  EXPECT_EQ(k.ind, 0);

  set_pictures(0);
  TKaleid none{context()};
  none.init();
  EXPECT_FALSE(none.taken);
  none.click(tw::at(0, 0));
  none.click(tw::right_at(0, 0));
  none.move(tw::at(500, 400));
  none.draw();
}

// The pattern stays a ring's width inside the screen: a pointer beyond that is asked back to the
// limit (one warp, both coordinates at once, so a corner needs no second try), and where the
// window system ignores warps the pattern is drawn at the limit all the same.
TEST_F(KaleidTest, PointerIsKeptAwayFromTheEdges) {
  k.init();
  auto& warps = world().requests.warps;
  ASSERT_EQ(warps.size(), 1u);
  EXPECT_EQ(warps[0], (std::pair<int, int>{512, 384})) << "the pattern and the pointer start in the middle";
  EXPECT_EQ(k.pattern_x(), 512);
  const int m = k.r + k.ring_w;
  struct Case {
    int x, y;      // where the pointer moved
    int ex, ey;    // where the pattern is drawn
    bool warped;   // the pointer was asked back
  };
  const Case cases[] = {
      {500, 400, 500, 400, false},
      {m, m, m, m, false},  // on the limit is inside
      {1024 - m, 768 - m, 1024 - m, 768 - m, false},
      {m - 1, 400, m, 400, true},
      {10, 400, m, 400, true},
      {500, 0, 500, m, true},
      {1023, 300, 1024 - m, 300, true},
      {600, 767, 600, 768 - m, true},
      {0, 0, m, m, true},
      {1023, 767, 1024 - m, 768 - m, true},
      {5, 760, m, 768 - m, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
    warps.clear();
    k.move(tw::at(c.x, c.y));
    EXPECT_EQ(k.pattern_x(), c.ex);
    EXPECT_EQ(k.pattern_y(), c.ey);
    if (c.warped) {
      ASSERT_EQ(warps.size(), 1u);
      EXPECT_EQ(warps[0], (std::pair<int, int>{c.ex, c.ey}));
    } else {
      EXPECT_TRUE(warps.empty());
    }
    k.draw();
    EXPECT_EQ(k.pattern_x(), c.ex) << "drawing moves nothing";
  }
}

}  // namespace
