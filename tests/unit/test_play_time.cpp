// The play-time limit's clock: only time with the window shown and focused counts, a limit counts
// from when it is set, more time can be given once it is up, and no limit never ends.
#include <gtest/gtest.h>

#include <climits>

#include "app/parent/play_time.hpp"

namespace {

constexpr int kMin = 60'000;

// Ticks every 20 ms, as the loop's timer does, from `from` up to and including `to`.
void ticks(app::PlayClock& c, int from, int to, bool counting = true) {
  for (int t = from; t < to; t += 20) c.tick(t, counting);
  c.tick(to, counting);
}

TEST(PlayClock, NoLimitNeverEnds) {
  app::PlayClock c;
  EXPECT_EQ(c.limit_minutes(), 0);
  EXPECT_FALSE(c.time_up());
  EXPECT_EQ(c.left_ms(), INT_MAX);
  c.tick(0, true);
  c.tick(INT_MAX, true);
  EXPECT_FALSE(c.time_up());
  c.extend(10);
  EXPECT_EQ(c.left_ms(), INT_MAX);
  c.set_limit(-5);
  EXPECT_EQ(c.limit_minutes(), 0);
  c.tick(1000, true);
  EXPECT_FALSE(c.time_up());
}

TEST(PlayClock, AFocusedShownWindowCountsUntilTheLimit) {
  app::PlayClock c;
  c.set_limit(20);
  EXPECT_EQ(c.limit_minutes(), 20);
  EXPECT_EQ(c.left_ms(), 20 * kMin);
  // The first tick only marks the time: what came before it is not known to be play.
  c.tick(5'000'000, true);
  EXPECT_EQ(c.left_ms(), 20 * kMin);
  ticks(c, 5'000'000, 5'000'000 + 20 * kMin - 20);
  EXPECT_FALSE(c.time_up());
  EXPECT_EQ(c.left_ms(), 20);
  c.tick(5'000'000 + 20 * kMin, true);
  EXPECT_TRUE(c.time_up());
  EXPECT_EQ(c.left_ms(), 0);
  c.tick(5'000'000 + 21 * kMin, true);
  EXPECT_TRUE(c.time_up());
  EXPECT_EQ(c.left_ms(), 0);
}

// Hidden, minimised or another window in front: the time does not count, nor the gap until the
// first tick that counts again.
TEST(PlayClock, APauseInTheMiddleDoesNotCount) {
  app::PlayClock c;
  c.set_limit(1);
  ticks(c, 0, 20'000);
  EXPECT_EQ(c.left_ms(), 40'000);
  ticks(c, 20'020, 500'000, false);  // the child's parent reads mail for eight minutes
  EXPECT_EQ(c.left_ms(), 40'000);
  c.tick(500'020, true);  // back: this step began while it did not count
  EXPECT_EQ(c.left_ms(), 40'000);
  ticks(c, 500'040, 540'020);
  EXPECT_TRUE(c.time_up());

  // A long step between two ticks that count is play (the loop was busy, the child was not).
  app::PlayClock d;
  d.set_limit(1);
  d.tick(0, true);
  d.tick(59'999, true);
  EXPECT_EQ(d.left_ms(), 1);
  // A step that ends not counting does not count either.
  d.tick(70'000, false);
  EXPECT_FALSE(d.time_up());
}

TEST(PlayClock, ChangingTheLimitStartsItsCountAfresh) {
  app::PlayClock c;
  c.set_limit(10);
  ticks(c, 0, 9 * kMin);
  EXPECT_EQ(c.left_ms(), kMin);
  // The parent chooses 5: five minutes from now, not from the start.
  c.set_limit(5);
  EXPECT_EQ(c.left_ms(), 5 * kMin);
  c.tick(9 * kMin + 20, true);  // the time until the first tick after the change is not counted
  EXPECT_EQ(c.left_ms(), 5 * kMin);
  ticks(c, 9 * kMin + 40, 14 * kMin + 20);
  EXPECT_TRUE(c.time_up());

  // Setting a limit once time is up gives that much again; turning it off ends it.
  c.set_limit(2);
  EXPECT_FALSE(c.time_up());
  EXPECT_EQ(c.left_ms(), 2 * kMin);
  c.set_limit(0);
  ticks(c, 14 * kMin + 40, 30 * kMin);
  EXPECT_FALSE(c.time_up());
}

TEST(PlayClock, ExtendGivesMoreFromNow) {
  app::PlayClock c;
  c.set_limit(1);
  ticks(c, 0, 3 * kMin);  // the time-up page stayed up for two minutes
  EXPECT_TRUE(c.time_up());
  c.extend(5);
  EXPECT_FALSE(c.time_up());
  EXPECT_EQ(c.left_ms(), 5 * kMin);
  EXPECT_EQ(c.limit_minutes(), 1) << "the parent's setting is unchanged";
  c.tick(3 * kMin + 20, true);
  EXPECT_EQ(c.left_ms(), 5 * kMin);
  ticks(c, 3 * kMin + 40, 8 * kMin + 20);
  EXPECT_TRUE(c.time_up());

  // Before time is up, more is added to what is left; nothing and less than nothing change nothing.
  app::PlayClock d;
  d.set_limit(10);
  ticks(d, 0, 4 * kMin);
  d.extend(3);
  EXPECT_EQ(d.left_ms(), 9 * kMin);
  d.extend(0);
  d.extend(-4);
  EXPECT_EQ(d.left_ms(), 9 * kMin);
}

TEST(PlayClock, BackwardsClockCountsNothingAndLongRunsDoNotOverflow) {
  app::PlayClock c;
  c.set_limit(2);
  ticks(c, 100'000, 130'000);
  EXPECT_EQ(c.left_ms(), 90'000);
  c.tick(50'000, true);  // backwards: no time, and counting goes on from there
  EXPECT_EQ(c.left_ms(), 90'000);
  c.tick(60'000, true);
  EXPECT_EQ(c.left_ms(), 80'000);

  // Ten hours, then past the int clock's end: the count neither wraps nor goes negative.
  app::PlayClock d;
  d.set_limit(600);
  d.tick(INT_MIN, true);
  d.tick(INT_MIN + 600 * kMin - 1, true);
  EXPECT_EQ(d.left_ms(), 1);
  d.tick(INT_MAX, true);
  EXPECT_TRUE(d.time_up());
  EXPECT_EQ(d.left_ms(), 0);
  for (int i = 0; i < 100; ++i) d.extend(600);
  EXPECT_EQ(d.left_ms(), INT_MAX) << "1000 hours, clamped to what an int holds";
}

}  // namespace
