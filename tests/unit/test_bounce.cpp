// Bouncing cards: what the factory yields, throwing from either side, the step timing, the physics
// of one step (bounce before move, the 0.8 truncation, gravity after the move), removal past either
// side, and redraws.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "activities/bounce.hpp"
#include "tests/unit/activities_1to4_fixture.hpp"

using activities::BouncingCards;
using activities::FlyingCard;

namespace {

class BounceTest : public act_test::ActivityTest {
 protected:
  void SetUp() override {
    ActivityTest::SetUp();
    made = BouncingCards::make(context());
    ASSERT_TRUE(made);
  }
  // One step: the clock moves on 21 ms, then the loop's update; true when it asks for a redraw.
  bool step() {
    media::advance_manual_clock(21);
    return b().update(media::millisecs()) == app::Outcome::Redraw;
  }
  // A card put in flight by hand (the physics ignores the picture).
  void put(int x, int y, int dx, int dy) { b().throw_card(FlyingCard{nullptr, x, y, dx, dy}); }
  const FlyingCard& card(size_t i) {
    EXPECT_LT(i, b().cards().size());
    return b().cards().at(i);
  }
  BouncingCards& b() { return *made; }

  std::unique_ptr<BouncingCards> made;
};

TEST_F(BounceTest, MadeEmptyWithItsSizesAndThrowing) {
  EXPECT_FLOAT_EQ(b().card_scale(), 0.17f);
  EXPECT_EQ(b().card_width(), 174);
  EXPECT_EQ(b().card_height(), 130);
  EXPECT_EQ(b().last_step_ms(), 1000) << "the first step is timed from the making";
  EXPECT_TRUE(b().cards().empty());

  std::set<int> heights, pictures;
  for (int i = 0; i < 40; ++i) {
    EXPECT_EQ(b().click(tw::at(0, 0)), app::Outcome::Finished) << "every throw from the left finishes a game";
    EXPECT_EQ(b().click(tw::right_at(0, 0)), app::Outcome::Nothing);
  }
  ASSERT_EQ(b().cards().size(), 80u);
  for (size_t i = 0; i < b().cards().size(); ++i) {
    const FlyingCard& c = b().cards()[i];
    if (i % 2 == 0) {
      EXPECT_EQ(c.left, -174);
      EXPECT_EQ(c.speed_x, 6);
    } else {
      EXPECT_EQ(c.left, 1024);
      EXPECT_EQ(c.speed_x, -6);
    }
    EXPECT_EQ(c.speed_y, 6);
    EXPECT_GE(c.top, -260);
    EXPECT_LE(c.top, 768 - 130 - 75);
    heights.insert(c.top);
    pictures.insert(picture_number(c.picture));
  }
  EXPECT_GT(heights.size(), 30u) << "each card gets its own height";
  EXPECT_GT(pictures.size(), 8u) << "and a picture drawn at random";
  EXPECT_FALSE(pictures.count(-1));

  b().clear();
  EXPECT_TRUE(b().cards().empty());
}

// The trails need a picture the size of the screen to live in: with none there is no activity.
TEST_F(BounceTest, NoneWithoutAPictureForTheTrails) {
  world().assets.screen_w = 0;
  EXPECT_FALSE(BouncingCards::make(context()));
}

TEST_F(BounceTest, StepsNeedMoreThanTwentyMilliseconds) {
  put(100, 100, 6, 6);
  media::advance_manual_clock(20);
  EXPECT_EQ(b().update(media::millisecs()), app::Outcome::Nothing);
  EXPECT_EQ(card(0).left, 100) << "20 ms after the last step: nothing";
  media::advance_manual_clock(1);
  EXPECT_EQ(b().update(media::millisecs()), app::Outcome::Redraw);
  EXPECT_EQ(card(0).left, 106);
  EXPECT_EQ(card(0).top, 106);
  EXPECT_EQ(card(0).speed_y, 7) << "gravity after the move";
  EXPECT_EQ(b().last_step_ms(), 1021);
  // The next step counts from the last one, not from the first.
  media::advance_manual_clock(20);
  b().update(media::millisecs());
  EXPECT_EQ(card(0).left, 106);
}

TEST_F(BounceTest, BounceBeforeMoveWithTruncation) {
  // Below the edge with dy 10: dy -8, resting exactly on the edge after the move, -7 after gravity.
  put(300, 768 - 130 + 4, 6, 10);
  // With dy 2: -1, then 0 after gravity.
  put(300, 768 - 130 + 1, 6, 2);
  // Exactly on the edge is not below it: it just moves.
  put(300, 768 - 130, 6, 3);
  played(app::Effect::Bounce);
  step();
  EXPECT_EQ(card(0).top, 638);
  EXPECT_EQ(card(0).speed_y, -7);
  EXPECT_EQ(card(1).top, 638);
  EXPECT_EQ(card(1).speed_y, 0);
  EXPECT_EQ(card(2).top, 641);
  EXPECT_EQ(card(2).speed_y, 4);
  EXPECT_TRUE(played(app::Effect::Bounce));

  // A larger fall: 25 becomes -20 (4/5 of it, truncated), 7 becomes -5.
  b().clear();
  put(300, 700, 6, 25);
  put(300, 700, 6, 7);
  step();
  EXPECT_EQ(card(0).top, 638);
  EXPECT_EQ(card(0).speed_y, -19);
  EXPECT_EQ(card(1).top, 638);
  EXPECT_EQ(card(1).speed_y, -4);
}

TEST_F(BounceTest, ARestingCardBouncesEveryThirdStep) {
  put(0, 638, 6, 0);
  played(app::Effect::Bounce);
  const int ys[] = {638, 639, 638, 638, 639, 638, 638, 639, 638};
  const int dys[] = {1, 2, 0, 1, 2, 0, 1, 2, 0};
  for (int i = 0; i < 9; ++i) {
    step();
    EXPECT_EQ(card(0).top, ys[i]) << "step " << i + 1;
    EXPECT_EQ(card(0).speed_y, dys[i]) << "step " << i + 1;
    EXPECT_EQ(played(app::Effect::Bounce), i % 3 == 2) << "step " << i + 1;
  }
}

TEST_F(BounceTest, CardsLeaveOnlyPastTheSides) {
  b().click(tw::at(0, 0));
  b().click(tw::right_at(0, 0));
  put(400, -2000, 0, -40);  // high above the top: it falls back, never removed
  step();
  EXPECT_EQ(card(0).left, -168) << "visible after one step";
  EXPECT_EQ(card(1).left, 1018);
  for (int i = 2; i <= 199; ++i) step();
  ASSERT_EQ(b().cards().size(), 3u);
  EXPECT_EQ(card(0).left, 1020);
  EXPECT_EQ(card(1).left, -170);
  step();  // x = 1026 > 1024 and x + w = -2 < 0: both gone
  ASSERT_EQ(b().cards().size(), 1u);
  EXPECT_EQ(card(0).left, 400);
  EXPECT_GT(card(0).top, -2000);

  // The step that removes the last card asks for no redraw; with no cards none is asked.
  const FlyingCard last = card(0);
  b().clear();
  put(1030, last.top, last.speed_x, last.speed_y);
  EXPECT_FALSE(step());
  EXPECT_TRUE(b().cards().empty());
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(step());
}

TEST_F(BounceTest, NoPicturesNoCards) {
  set_pictures(0);
  b().click(tw::at(0, 0));
  b().click(tw::right_at(0, 0));
  EXPECT_TRUE(b().cards().empty());
  EXPECT_FALSE(step());
  b().draw();
  set_pictures(1);
  b().click(tw::at(0, 0));
  ASSERT_EQ(b().cards().size(), 1u);
  EXPECT_EQ(picture_number(card(0).picture), 0);
}

}  // namespace
