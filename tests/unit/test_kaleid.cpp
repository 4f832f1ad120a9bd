// Kaleidoscope: what the factory yields, the sizes from the mask, the turning step timing, the
// picture choice on a click, the background switch, and the pointer kept the cut's size + 30 from
// every edge (also where warps fail).
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "activities/kaleid.hpp"
#include "tests/unit/activities_1to4_fixture.hpp"

using activities::Kaleidoscope;

namespace {

class KaleidTest : public act_test::ActivityTest {
 protected:
  // Made here rather than in SetUp, after the test has chosen its pictures.
  Kaleidoscope& make() {
    made = Kaleidoscope::make(context());
    EXPECT_TRUE(made);
    return *made;
  }
  std::unique_ptr<Kaleidoscope> made;
};

TEST_F(KaleidTest, MadeWithAPictureOtherThanTheFirstAndSizesFromTheMask) {
  for (int seed = 1; seed <= 30; ++seed) {
    media::seed_random(seed);
    std::unique_ptr<Kaleidoscope> a = Kaleidoscope::make(context());
    ASSERT_TRUE(a);
    EXPECT_NE(a->picture_index(), 0) << "seed " << seed;
    EXPECT_TRUE(a->has_picture());
  }
  Kaleidoscope& k = make();
  ASSERT_TRUE(k.mask()) << "kaleid/mask.png";
  EXPECT_EQ(k.cut_size(), k.mask()->width);
  EXPECT_GT(k.cut_size(), 50);
  EXPECT_EQ(k.turn_degrees(), 0);
  EXPECT_FALSE(k.shows_picture_behind());
  EXPECT_EQ(k.last_turn_ms(), 1000);
  ASSERT_TRUE(k.turning_picture());
  EXPECT_EQ(k.turning_picture()->width, 1024);
  EXPECT_EQ(k.turning_picture()->height, 768);
  EXPECT_FLOAT_EQ(k.turning_picture()->handle_x, 512);
  EXPECT_FLOAT_EQ(k.turning_picture()->handle_y, 384);
  ASSERT_TRUE(k.ring());
  EXPECT_FLOAT_EQ(k.ring()->handle_x, k.ring()->width / 2.0f);
  EXPECT_GE(k.ring()->width, 2 * k.cut_size()) << "the ring frames the whole pattern";
}

// The mask cuts the piece and the ring is the pointer: without either there is no activity, and
// nothing is asked of the loop. The pictures are not needed (see below).
TEST_F(KaleidTest, NoneWithoutTheMaskOrTheRing) {
  namespace fs = std::filesystem;
  const fs::path data = assets().data_dir;
  const fs::path copy = fs::temp_directory_path() / ("pipkin-kaleid-" + std::to_string(::getpid()));
  for (const char* only : {"mask.png", "ring.png"}) {
    SCOPED_TRACE(std::string("only ") + only);
    fs::remove_all(copy);
    fs::create_directories(copy / "kaleid");
    fs::create_symlink(data / "kaleid" / only, copy / "kaleid" / only);
    world().assets.data_dir = copy.string() + "/";
    EXPECT_FALSE(Kaleidoscope::make(context()));
    EXPECT_TRUE(world().requests.warps.empty()) << "nothing is asked of the loop";
  }
  fs::create_symlink(data / "kaleid" / "mask.png", copy / "kaleid" / "mask.png");
  EXPECT_TRUE(Kaleidoscope::make(context())) << "with both";
  fs::remove_all(copy);
}

TEST_F(KaleidTest, TurnsOneDegreePerStepMoreThanFiftyMillisecondsApart) {
  Kaleidoscope& k = make();
  media::advance_manual_clock(50);
  EXPECT_EQ(k.update(media::millisecs()), app::Outcome::Nothing);
  EXPECT_EQ(k.turn_degrees(), 0);
  media::advance_manual_clock(1);
  EXPECT_EQ(k.update(media::millisecs()), app::Outcome::Redraw);
  EXPECT_EQ(k.turn_degrees(), 1);
  EXPECT_EQ(k.last_turn_ms(), 1051);
  EXPECT_EQ(k.update(media::millisecs()), app::Outcome::Nothing);
  EXPECT_EQ(k.turn_degrees(), 1) << "no time has passed";

  for (int turned = 1; turned < 357; ++turned) {
    media::advance_manual_clock(51);
    k.update(media::millisecs());
  }
  ASSERT_EQ(k.turn_degrees(), 357);
  const int expect[] = {358, 359, 0, 1};
  for (int e : expect) {
    media::advance_manual_clock(51);
    k.update(media::millisecs());
    EXPECT_EQ(k.turn_degrees(), e);
  }
}

TEST_F(KaleidTest, ClicksNeverTakeTheSamePictureTwiceAndRightClickToggles) {
  set_pictures(3);
  Kaleidoscope& k = make();
  std::set<int> seen;
  for (int i = 0; i < 200; ++i) {
    int before = k.picture_index();
    EXPECT_EQ(k.click(tw::at(0, 0)), app::Outcome::Finished) << "every click finishes a game";
    EXPECT_NE(k.picture_index(), before);
    seen.insert(k.picture_index());
  }
  EXPECT_EQ(seen.size(), 3u);

  k.click(tw::right_at(0, 0));
  EXPECT_TRUE(k.shows_picture_behind());
  k.click(tw::right_at(0, 0));
  EXPECT_FALSE(k.shows_picture_behind());
}

TEST_F(KaleidTest, OneOrNoPictureNeitherFailsNorHangs) {
  set_pictures(1);
  Kaleidoscope& k = make();
  EXPECT_EQ(k.picture_index(), 0);
  EXPECT_TRUE(k.has_picture());
  k.click(tw::at(0, 0));
  EXPECT_EQ(k.picture_index(), 0);

  set_pictures(0);
  std::unique_ptr<Kaleidoscope> none = Kaleidoscope::make(context());
  ASSERT_TRUE(none) << "the pictures are not needed to start";
  EXPECT_FALSE(none->has_picture());
  none->click(tw::at(0, 0));
  none->click(tw::right_at(0, 0));
  none->move(tw::at(500, 400));
  none->draw();
}

// The pattern stays a ring's width inside the screen: a pointer beyond that is asked back to the
// limit (one warp, both coordinates at once, so a corner needs no second try), and where the
// window system ignores warps the pattern is drawn at the limit all the same.
TEST_F(KaleidTest, PointerIsKeptAwayFromTheEdges) {
  Kaleidoscope& k = make();
  auto& warps = world().requests.warps;
  ASSERT_EQ(warps.size(), 1u);
  EXPECT_EQ(warps[0], (std::pair<int, int>{512, 384})) << "the pattern and the pointer start in the middle";
  EXPECT_EQ(k.pattern_x(), 512);
  const int m = k.cut_size() + 30;  // the ring's margin beyond the cut
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
