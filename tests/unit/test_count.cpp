// Counting balls: the shuffled balls, the layout per game size, the touch rules (order, repeats,
// wrong touches, completion), growth from 9 to 20 balls, and the look each ball is drawn with.
#include <gtest/gtest.h>

#include <set>

#include "activities/count.hpp"
#include "tests/unit/activities_1to4_fixture.hpp"

using activities::TBall;
using activities::TCount;

namespace {

class CountTest : public act_test::ActivityTest {
 protected:
  void SetUp() override {
    ActivityTest::SetUp();
    c.init();
    c.setup();
    played(app::Effect::Pop);
  }
  // Puts the pointer on the centre of ball k and hands the move on, as the loop does.
  void touch(int k) {
    const TBall* b = c.ball(k);
    ASSERT_TRUE(b);
    
    if (c.move(tw::at(b->xc, b->yc)) == app::Outcome::Finished) ++finishes;
  }
  // A point of the sky touching no ball in play.
  void touch_sky() {
    for (int y = 2; y < 768; y += 16)
      for (int x = 2; x < 1024; x += 16) {
        bool on_ball = false;
        for (const TBall& b : c.balls) on_ball |= b.n <= c.n && app::point_over(assets(), b.img, b.xc, b.yc, x, y);
        if (!on_ball) {
          c.move(tw::at(x, y));
          return;
        }
      }
    FAIL() << "no free sky";
  }
  void complete_game() {
    for (int k = 1; k <= c.n; ++k) touch(k);
  }
  // The balls in play sit one per cell of a rows x cols grid, each centre radius from its cell's edges.
  void expect_layout(int rows, int cols) {
    int cw = 1024 / cols, ch = 768 / rows;
    std::set<int> cells;
    for (const TBall& b : c.balls) {
      if (b.n > c.n) continue;
      int col = b.xc / cw, row = b.yc / ch;
      cells.insert(row * cols + col);
      EXPECT_GE(b.xc - col * cw, c.radius) << "ball " << int(b.n);
      EXPECT_LE(b.xc - col * cw, cw - c.radius) << "ball " << int(b.n);
      EXPECT_GE(b.yc - row * ch, c.radius) << "ball " << int(b.n);
      EXPECT_LE(b.yc - row * ch, ch - c.radius) << "ball " << int(b.n);
      EXPECT_LT(row, rows);
      EXPECT_LT(col, cols);
    }
    EXPECT_EQ(static_cast<int>(cells.size()), c.n) << "one ball per cell";
  }

  TCount c{context()};
  int finishes = 0;  // touches that finished a game
};

TEST_F(CountTest, InitShufflesTwentyBallsAndTheFirstGameHasNine) {
  ASSERT_EQ(c.balls.size(), 20u);
  std::set<int> numbers;
  bool in_order = true;
  for (size_t i = 0; i < c.balls.size(); ++i) {
    const TBall& b = c.balls[i];
    numbers.insert(b.n);
    in_order &= b.n == i + 1;
    EXPECT_TRUE(b.img && b.glow && b.red) << "ball " << int(b.n);
    EXPECT_FLOAT_EQ(b.img->handle_x, b.img->width / 2.0f) << "mid handle";
    EXPECT_FLOAT_EQ(b.red->handle_y, b.red->height / 2.0f) << "mid handle";
  }
  EXPECT_EQ(numbers.size(), 20u);
  EXPECT_FALSE(in_order) << "the balls are shuffled";
  EXPECT_EQ(c.radius, media::image_width(c.ball(20)->img) / 2);
  EXPECT_GT(c.radius, 40);
  EXPECT_LE(2 * c.radius, 192) << "ball 20 fits the smallest cell";

  EXPECT_EQ(c.n, 9);
  EXPECT_EQ(c.current, 0);
  EXPECT_FALSE(c.done);
  EXPECT_EQ(c.red, 0);
  expect_layout(3, 3);
  for (int k = 10; k <= 20; ++k) EXPECT_EQ(c.ball(k)->xc, 0) << "balls out of play are not placed";
}

TEST_F(CountTest, TouchRules) {
  // Before ball 1 nothing reacts: no red, no sound.
  touch(3);
  touch(9);
  EXPECT_EQ(c.current, 0);
  EXPECT_EQ(c.red, 0);
  EXPECT_FALSE(played(app::Effect::Pop));

  touch(1);
  EXPECT_EQ(c.current, 1);
  touch(1);
  EXPECT_EQ(c.current, 1) << "the current ball again does nothing";
  touch(2);
  touch(3);
  EXPECT_EQ(c.current, 3);
  touch_sky();
  EXPECT_EQ(c.current, 3);
  EXPECT_FALSE(played(app::Effect::Pop));

  // An earlier ball is a wrong touch: red, pop, back to not started.
  touch(2);
  EXPECT_EQ(c.red, 2);
  EXPECT_EQ(c.current, 0);
  EXPECT_TRUE(played(app::Effect::Pop));
  // The red ball stays red while other balls are ignored.
  touch(5);
  touch(4);
  touch(2);
  EXPECT_EQ(c.red, 2);
  EXPECT_EQ(c.current, 0);
  EXPECT_FALSE(played(app::Effect::Pop));
  // Ball 1 clears the red mark and counts.
  touch(1);
  EXPECT_EQ(c.red, 0);
  EXPECT_EQ(c.current, 1);

  // A ball further on is wrong too.
  touch(4);
  EXPECT_EQ(c.red, 4);
  EXPECT_EQ(c.current, 0);
  EXPECT_TRUE(played(app::Effect::Pop));
  EXPECT_FALSE(c.done);
  EXPECT_EQ(finishes, 0);
}

TEST_F(CountTest, CompletionGlowsFinishesAndOnlyBallOneReacts) {
  complete_game();
  EXPECT_TRUE(c.done);
  EXPECT_EQ(c.current, 9);
  EXPECT_TRUE(played(app::Effect::Magic));
  EXPECT_FALSE(played(app::Effect::Pop));
  EXPECT_EQ(finishes, 1);

  // Done: other balls and the sky do nothing.
  std::vector<std::pair<int, int>> before;
  for (const TBall& b : c.balls) before.emplace_back(b.xc, b.yc);
  for (int k = 2; k <= 9; ++k) touch(k);
  touch_sky();
  EXPECT_TRUE(c.done);
  EXPECT_EQ(c.red, 0);
  EXPECT_FALSE(played(app::Effect::Pop));
  EXPECT_EQ(c.n, 9);

  // Ball 1 starts the next game with one more ball, on a 3 x 4 grid with two empty cells.
  touch(1);
  EXPECT_EQ(c.n, 10);
  EXPECT_FALSE(c.done);
  EXPECT_EQ(c.current, 0) << "the touch that starts a game does not count";
  expect_layout(3, 4);
  std::vector<std::pair<int, int>> after;
  for (const TBall& b : c.balls) after.emplace_back(b.xc, b.yc);
  EXPECT_NE(before, after);

  // Each completed game is reported once.
  complete_game();
  EXPECT_TRUE(c.done);
  EXPECT_EQ(finishes, 2);
}

TEST_F(CountTest, GamesGrowToTwentyAndStayThere) {
  const int rows[] = {0, 3, 3, 3, 3, 4, 4, 4, 4, 4, 4, 4, 4};  // by n - 8
  const int cols[] = {0, 3, 4, 4, 4, 4, 4, 4, 4, 5, 5, 5, 5};
  for (int n = 9; n <= 20; ++n) {
    SCOPED_TRACE("game of " + std::to_string(n));
    ASSERT_EQ(c.n, n);
    expect_layout(rows[n - 8], cols[n - 8]);
    complete_game();
    ASSERT_TRUE(c.done);
    touch(1);
  }
  EXPECT_EQ(c.n, 20);
  EXPECT_FALSE(c.done);
  complete_game();
  c.setup();  // the key "2" after a finished game
  EXPECT_EQ(c.n, 20);
}

TEST_F(CountTest, KeyRestartKeepsTheSizeOfAnUnfinishedGame) {
  touch(1);
  touch(2);
  c.setup();
  EXPECT_EQ(c.n, 9);
  EXPECT_EQ(c.current, 0);
  complete_game();
  c.setup();
  EXPECT_EQ(c.n, 10);
}

TEST_F(CountTest, LookRedWinsOverGlow) {
  const TBall& b1 = *c.ball(1);
  const TBall& b2 = *c.ball(2);
  EXPECT_EQ(c.look(b1), b1.img);
  touch(1);
  EXPECT_EQ(c.look(b1), b1.glow);
  EXPECT_EQ(c.look(b2), b2.img);
  touch(2);
  EXPECT_EQ(c.look(b1), b1.img) << "only the last counted ball glows";
  EXPECT_EQ(c.look(b2), b2.glow);
  touch(1);
  EXPECT_EQ(c.look(b1), b1.red);
  EXPECT_EQ(c.look(b2), b2.img);
  touch(1);
  complete_game();
  for (int k = 1; k <= 9; ++k) EXPECT_EQ(c.look(*c.ball(k)), c.ball(k)->glow) << "all glow when done";
  c.red = 4;  // red wins even then
  EXPECT_EQ(c.look(*c.ball(4)), c.ball(4)->red);
}

}  // namespace
