// Counting balls: what the factory yields, the shuffled balls, the layout per game size, the touch
// rules (order, repeats, wrong touches, completion), growth from 9 to 20 balls, and the look each
// ball is drawn with.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "activities/count.hpp"
#include "tests/unit/activities_1to4_fixture.hpp"

using activities::Ball;
using activities::CountingBalls;

namespace {

class CountTest : public act_test::ActivityTest {
 protected:
  void SetUp() override {
    ActivityTest::SetUp();
    made = CountingBalls::make(context());
    ASSERT_TRUE(made);
    played(app::Effect::Pop);
  }
  // Hands a move to the centre of ball k to the activity, as the loop does.
  void touch(int k) {
    const Ball* b = c().ball(k);
    ASSERT_TRUE(b);
    if (c().move(tw::at(b->centre_x, b->centre_y)) == app::Outcome::Finished) ++finishes;
  }
  // A point of the sky touching no ball in play.
  void touch_sky() {
    for (int y = 2; y < 768; y += 16)
      for (int x = 2; x < 1024; x += 16) {
        bool on_ball = false;
        for (const Ball& b : c().balls())
          on_ball |= b.number <= c().balls_in_play() && app::point_over(assets(), b.normal, b.centre_x, b.centre_y, x, y);
        if (!on_ball) {
          c().move(tw::at(x, y));
          return;
        }
      }
    FAIL() << "no free sky";
  }
  void complete_game() {
    for (int k = 1; k <= c().balls_in_play(); ++k) touch(k);
  }
  // The balls in play sit one per cell of a rows x cols grid, each centre radius from its cell's edges.
  void expect_layout(int rows, int cols) {
    int cw = 1024 / cols, ch = 768 / rows;
    const int radius = c().ball_radius();
    std::set<int> cells;
    for (const Ball& b : c().balls()) {
      if (b.number > c().balls_in_play()) continue;
      int col = b.centre_x / cw, row = b.centre_y / ch;
      cells.insert(row * cols + col);
      EXPECT_GE(b.centre_x - col * cw, radius) << "ball " << b.number;
      EXPECT_LE(b.centre_x - col * cw, cw - radius) << "ball " << b.number;
      EXPECT_GE(b.centre_y - row * ch, radius) << "ball " << b.number;
      EXPECT_LE(b.centre_y - row * ch, ch - radius) << "ball " << b.number;
      EXPECT_LT(row, rows);
      EXPECT_LT(col, cols);
    }
    EXPECT_EQ(static_cast<int>(cells.size()), c().balls_in_play()) << "one ball per cell";
  }
  CountingBalls& c() { return *made; }

  std::unique_ptr<CountingBalls> made;
  int finishes = 0;  // touches that finished a game
};

TEST_F(CountTest, MadeWithTwentyShuffledBallsAndAFirstGameOfNine) {
  ASSERT_EQ(c().balls().size(), 20u);
  std::set<int> numbers;
  bool in_order = true;
  for (size_t i = 0; i < c().balls().size(); ++i) {
    const Ball& b = c().balls()[i];
    numbers.insert(b.number);
    in_order &= b.number == static_cast<int>(i + 1);
    EXPECT_TRUE(b.normal && b.glowing && b.wrong) << "ball " << b.number;
    EXPECT_FLOAT_EQ(b.normal->handle_x, b.normal->width / 2.0f) << "mid handle";
    EXPECT_FLOAT_EQ(b.wrong->handle_y, b.wrong->height / 2.0f) << "mid handle";
  }
  EXPECT_EQ(numbers.size(), 20u);
  EXPECT_FALSE(in_order) << "the balls are shuffled";
  EXPECT_EQ(c().ball_radius(), media::image_width(c().ball(20)->normal) / 2);
  EXPECT_GT(c().ball_radius(), 40);
  EXPECT_LE(2 * c().ball_radius(), 192) << "ball 20 fits the smallest cell";

  // The first game is ready: nine balls placed, none counted.
  EXPECT_EQ(c().balls_in_play(), 9);
  EXPECT_EQ(c().last_counted(), 0);
  EXPECT_FALSE(c().game_complete());
  EXPECT_EQ(c().wrong_ball(), 0);
  expect_layout(3, 3);
  for (int k = 10; k <= 20; ++k) EXPECT_EQ(c().ball(k)->centre_x, 0) << "balls out of play are not placed";
}

// A ball without one of its looks would vanish or could not be touched: one look missing of the
// sixty and there is no activity.
TEST_F(CountTest, NoneWithoutEveryLookOfEveryBall) {
  namespace fs = std::filesystem;
  const fs::path data = assets().data_dir;
  const fs::path copy = fs::temp_directory_path() / ("pipkin-count-" + std::to_string(::getpid()));
  fs::remove_all(copy);
  for (const char* folder : {"count", "count_glow", "count_red"}) {
    fs::create_directories(copy / folder);
    for (const auto& entry : fs::directory_iterator(data / folder))
      fs::create_symlink(entry.path(), copy / folder / entry.path().filename());
  }
  world().assets.data_dir = copy.string() + "/";
  EXPECT_TRUE(CountingBalls::make(context())) << "the copy holds every look";
  fs::remove(copy / "count_red" / "17.png");
  EXPECT_FALSE(CountingBalls::make(context())) << "ball 17 cannot be shown red";
  fs::remove_all(copy);
  world().assets.data_dir = "/nonexistent/pipkin-data/";
  EXPECT_FALSE(CountingBalls::make(context()));
}

TEST_F(CountTest, TouchRules) {
  // Before ball 1 nothing reacts: no red, no sound.
  touch(3);
  touch(9);
  EXPECT_EQ(c().last_counted(), 0);
  EXPECT_EQ(c().wrong_ball(), 0);
  EXPECT_FALSE(played(app::Effect::Pop));

  touch(1);
  EXPECT_EQ(c().last_counted(), 1);
  touch(1);
  EXPECT_EQ(c().last_counted(), 1) << "the current ball again does nothing";
  touch(2);
  touch(3);
  EXPECT_EQ(c().last_counted(), 3);
  touch_sky();
  EXPECT_EQ(c().last_counted(), 3);
  EXPECT_FALSE(played(app::Effect::Pop));

  // An earlier ball is a wrong touch: red, pop, back to not started.
  touch(2);
  EXPECT_EQ(c().wrong_ball(), 2);
  EXPECT_EQ(c().last_counted(), 0);
  EXPECT_TRUE(played(app::Effect::Pop));
  // The red ball stays red while other balls are ignored.
  touch(5);
  touch(4);
  touch(2);
  EXPECT_EQ(c().wrong_ball(), 2);
  EXPECT_EQ(c().last_counted(), 0);
  EXPECT_FALSE(played(app::Effect::Pop));
  // Ball 1 clears the red mark and counts.
  touch(1);
  EXPECT_EQ(c().wrong_ball(), 0);
  EXPECT_EQ(c().last_counted(), 1);

  // A ball further on is wrong too.
  touch(4);
  EXPECT_EQ(c().wrong_ball(), 4);
  EXPECT_EQ(c().last_counted(), 0);
  EXPECT_TRUE(played(app::Effect::Pop));
  EXPECT_FALSE(c().game_complete());
  EXPECT_EQ(finishes, 0);
}

TEST_F(CountTest, CompletionGlowsFinishesAndOnlyBallOneReacts) {
  complete_game();
  EXPECT_TRUE(c().game_complete());
  EXPECT_EQ(c().last_counted(), 9);
  EXPECT_TRUE(played(app::Effect::Magic));
  EXPECT_FALSE(played(app::Effect::Pop));
  EXPECT_EQ(finishes, 1);

  // Done: other balls and the sky do nothing.
  std::vector<std::pair<int, int>> before;
  for (const Ball& b : c().balls()) before.emplace_back(b.centre_x, b.centre_y);
  for (int k = 2; k <= 9; ++k) touch(k);
  touch_sky();
  EXPECT_TRUE(c().game_complete());
  EXPECT_EQ(c().wrong_ball(), 0);
  EXPECT_FALSE(played(app::Effect::Pop));
  EXPECT_EQ(c().balls_in_play(), 9);

  // Ball 1 starts the next game with one more ball, on a 3 x 4 grid with two empty cells.
  touch(1);
  EXPECT_EQ(c().balls_in_play(), 10);
  EXPECT_FALSE(c().game_complete());
  EXPECT_EQ(c().last_counted(), 0) << "the touch that starts a game does not count";
  expect_layout(3, 4);
  std::vector<std::pair<int, int>> after;
  for (const Ball& b : c().balls()) after.emplace_back(b.centre_x, b.centre_y);
  EXPECT_NE(before, after);

  // Each completed game is reported once.
  complete_game();
  EXPECT_TRUE(c().game_complete());
  EXPECT_EQ(finishes, 2);
}

TEST_F(CountTest, GamesGrowToTwentyAndStayThere) {
  const int rows[] = {0, 3, 3, 3, 3, 4, 4, 4, 4, 4, 4, 4, 4};  // by n - 8
  const int cols[] = {0, 3, 4, 4, 4, 4, 4, 4, 4, 5, 5, 5, 5};
  for (int n = 9; n <= 20; ++n) {
    SCOPED_TRACE("game of " + std::to_string(n));
    ASSERT_EQ(c().balls_in_play(), n);
    expect_layout(rows[n - 8], cols[n - 8]);
    complete_game();
    ASSERT_TRUE(c().game_complete());
    touch(1);
  }
  EXPECT_EQ(c().balls_in_play(), 20);
  EXPECT_FALSE(c().game_complete());
  complete_game();
  c().setup();  // the key "2" after a finished game
  EXPECT_EQ(c().balls_in_play(), 20);
}

TEST_F(CountTest, KeyRestartKeepsTheSizeOfAnUnfinishedGame) {
  touch(1);
  touch(2);
  c().setup();
  EXPECT_EQ(c().balls_in_play(), 9);
  EXPECT_EQ(c().last_counted(), 0);
  complete_game();
  c().setup();
  EXPECT_EQ(c().balls_in_play(), 10);
}

TEST_F(CountTest, LookRedWinsOverGlow) {
  const Ball& b1 = *c().ball(1);
  const Ball& b2 = *c().ball(2);
  EXPECT_EQ(c().look(b1), b1.normal);
  touch(1);
  EXPECT_EQ(c().look(b1), b1.glowing);
  EXPECT_EQ(c().look(b2), b2.normal);
  touch(2);
  EXPECT_EQ(c().look(b1), b1.normal) << "only the last counted ball glows";
  EXPECT_EQ(c().look(b2), b2.glowing);
  touch(1);
  EXPECT_EQ(c().look(b1), b1.wrong);
  EXPECT_EQ(c().look(b2), b2.normal);
  touch(1);
  complete_game();
  for (int k = 1; k <= 9; ++k) EXPECT_EQ(c().look(*c().ball(k)), c().ball(k)->glowing) << "all glow when done";
  // Red wins even then (play never gets there: the rule itself).
  const Ball& b4 = *c().ball(4);
  EXPECT_EQ(CountingBalls::look(b4, 4, 9, true), b4.wrong);
  EXPECT_EQ(CountingBalls::look(b4, 4, 4, false), b4.wrong);
}

}  // namespace
