// Bouncing cards: throwing from either side, the step timing, the physics of one step (bounce
// before move, the 0.8 truncation, gravity after the move), removal past either side, and redraws.
#include <gtest/gtest.h>

#include <set>

#include "activities/bounce.hpp"
#include "tests/unit/activities_1to4_fixture.hpp"

using activities::TBounce;
using activities::TCard;

namespace {

class BounceTest : public act_test::ActivityTest {
 protected:
  void SetUp() override {
    ActivityTest::SetUp();
    b.init();
    b.clear();
  }
  // One step: the clock moves on 21 ms, then the loop's update; true when it asks for a redraw.
  bool step() {
    media::advance_manual_clock(21);
    return b.update(media::millisecs()) == app::Outcome::Redraw;
  }
  // A card placed by hand (the physics ignores the picture).
  TCard& put(int x, int y, int dx, int dy) {
    TCard c;
    c.x = x;
    c.y = y;
    c.dx = dx;
    c.dy = dy;
    b.cards.push_back(c);
    return b.cards.back();
  }

  TBounce b{context()};
};

TEST_F(BounceTest, InitSizesAndThrowing) {
  EXPECT_FLOAT_EQ(b.scale, 0.17f);
  EXPECT_EQ(b.w, 174);
  EXPECT_EQ(b.h, 130);
  EXPECT_EQ(b.ms, 1000);
  EXPECT_TRUE(b.cards.empty());

  std::set<int> heights, pictures;
  for (int i = 0; i < 40; ++i) {
    EXPECT_EQ(b.click(tw::at(0, 0)), app::Outcome::Finished) << "every throw from the left finishes a game";
    EXPECT_EQ(b.click(tw::right_at(0, 0)), app::Outcome::Nothing);
  }
  ASSERT_EQ(b.cards.size(), 80u);
  for (size_t i = 0; i < b.cards.size(); ++i) {
    const TCard& c = b.cards[i];
    if (i % 2 == 0) {
      EXPECT_EQ(c.x, -174);
      EXPECT_EQ(c.dx, 6);
    } else {
      EXPECT_EQ(c.x, 1024);
      EXPECT_EQ(c.dx, -6);
    }
    EXPECT_EQ(c.dy, 6);
    EXPECT_GE(c.y, -260);
    EXPECT_LE(c.y, 768 - 130 - 75);
    heights.insert(c.y);
    pictures.insert(picture_number(c.img));
  }
  EXPECT_GT(heights.size(), 30u) << "each card gets its own height";
  EXPECT_GT(pictures.size(), 8u) << "and a picture drawn at random";
  EXPECT_FALSE(pictures.count(-1));

  b.clear();
  EXPECT_TRUE(b.cards.empty());
}

TEST_F(BounceTest, StepsNeedMoreThanTwentyMilliseconds) {
  TCard& c = put(100, 100, 6, 6);
  media::advance_manual_clock(20);
  EXPECT_EQ(b.update(media::millisecs()), app::Outcome::Nothing);
  EXPECT_EQ(c.x, 100) << "20 ms after the last step: nothing";
  media::advance_manual_clock(1);
  EXPECT_EQ(b.update(media::millisecs()), app::Outcome::Redraw);
  EXPECT_EQ(b.cards[0].x, 106);
  EXPECT_EQ(b.cards[0].y, 106);
  EXPECT_EQ(b.cards[0].dy, 7) << "gravity after the move";
  EXPECT_EQ(b.ms, 1021);
  // The next step counts from the last one, not from the first.
  media::advance_manual_clock(20);
  b.update(media::millisecs());
  EXPECT_EQ(b.cards[0].x, 106);
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
  EXPECT_EQ(b.cards[0].y, 638);
  EXPECT_EQ(b.cards[0].dy, -7);
  EXPECT_EQ(b.cards[1].y, 638);
  EXPECT_EQ(b.cards[1].dy, 0);
  EXPECT_EQ(b.cards[2].y, 641);
  EXPECT_EQ(b.cards[2].dy, 4);
  EXPECT_TRUE(played(app::Effect::Bounce));

  // A larger fall: 25 becomes -20 (4/5 of it, truncated), 7 becomes -5.
  b.cards.clear();
  put(300, 700, 6, 25);
  put(300, 700, 6, 7);
  step();
  EXPECT_EQ(b.cards[0].y, 638);
  EXPECT_EQ(b.cards[0].dy, -19);
  EXPECT_EQ(b.cards[1].y, 638);
  EXPECT_EQ(b.cards[1].dy, -4);
}

TEST_F(BounceTest, ARestingCardBouncesEveryThirdStep) {
  put(0, 638, 6, 0);
  played(app::Effect::Bounce);
  const int ys[] = {638, 639, 638, 638, 639, 638, 638, 639, 638};
  const int dys[] = {1, 2, 0, 1, 2, 0, 1, 2, 0};
  for (int i = 0; i < 9; ++i) {
    step();
    EXPECT_EQ(b.cards[0].y, ys[i]) << "step " << i + 1;
    EXPECT_EQ(b.cards[0].dy, dys[i]) << "step " << i + 1;
    EXPECT_EQ(played(app::Effect::Bounce), i % 3 == 2) << "step " << i + 1;
  }
}

TEST_F(BounceTest, CardsLeaveOnlyPastTheSides) {
  b.click(tw::at(0, 0));
  b.click(tw::right_at(0, 0));
  put(400, -2000, 0, -40);  // high above the top: it falls back, never removed
  step();
  EXPECT_EQ(b.cards[0].x, -168) << "visible after one step";
  EXPECT_EQ(b.cards[1].x, 1018);
  for (int i = 2; i <= 199; ++i) step();
  ASSERT_EQ(b.cards.size(), 3u);
  EXPECT_EQ(b.cards[0].x, 1020);
  EXPECT_EQ(b.cards[1].x, -170);
  step();  // x = 1026 > 1024 and x + w = -2 < 0: both gone
  ASSERT_EQ(b.cards.size(), 1u);
  EXPECT_EQ(b.cards[0].x, 400);
  EXPECT_GT(b.cards[0].y, -2000);

  // The step that removes the last card asks for no redraw; with no cards none is asked.
  b.cards[0].x = 1030;
  EXPECT_FALSE(step());
  EXPECT_TRUE(b.cards.empty());
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(step());
}

TEST_F(BounceTest, NoPicturesNoCards) {
  set_pictures(0);
  b.click(tw::at(0, 0));
  b.click(tw::right_at(0, 0));
  EXPECT_TRUE(b.cards.empty());
  EXPECT_FALSE(step());
  b.draw();
  set_pictures(1);
  b.click(tw::at(0, 0));
  ASSERT_EQ(b.cards.size(), 1u);
  EXPECT_EQ(picture_number(b.cards[0].img), 0);
}

}  // namespace
