// The clock, the tick timer and the random generator.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <set>
#include <thread>

#include "media/input/clock.hpp"
#include "media/input/events.hpp"
#include "media/input/timer.hpp"

namespace {

// The generator's recurrence written out independently of the library.
uint64_t next_state(uint64_t x) { return x * 48271 % 2147483647; }

// Waits (polling, up to a generous bound) for a tick event; true if one arrived.
bool tick_arrives(int max_ms) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(max_ms);
  while (std::chrono::steady_clock::now() < until) {
    media::Event e;
    while (media::poll_event(e))
      if (e.kind == media::EventKind::Tick) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return false;
}

}  // namespace

TEST(Random, ExactValuesForAKnownSeed) {
  media::seed_random(12345);
  EXPECT_EQ(media::random_state(), 12345u);
  uint64_t x = 12345;
  for (int i = 0; i < 5; ++i) {
    x = next_state(x);
    // The documented mapping: lo + x * span / (2^31 - 1).
    const int expected = 1 + static_cast<int>(x * 100 / 2147483647);
    EXPECT_EQ(media::rand(1, 100), expected) << "draw " << i;
    EXPECT_EQ(media::random_state(), x);
  }
  // Worked by hand: 12345 * 48271 = 595905495, below the modulus, so the first state is that.
  media::seed_random(12345);
  EXPECT_EQ(media::rand(0, 999), static_cast<int>(595905495ull * 1000 / 2147483647));  // 277
  EXPECT_EQ(media::random_state(), 595905495u);

  // A negative range start and the widest possible range stay inside their bounds.
  media::seed_random(99);
  for (int i = 0; i < 1000; ++i) {
    const int v = media::rand(-5, -2);
    EXPECT_GE(v, -5);
    EXPECT_LE(v, -2);
    media::rand(INT32_MIN, INT32_MAX);  // must not overflow (checked under sanitizers)
  }
}

TEST(Random, RangesAreInclusiveInEitherOrder) {
  media::seed_random(7);
  std::set<int> seen;
  for (int i = 0; i < 5000; ++i) {
    const int v = media::rand(13, 1);
    ASSERT_GE(v, 1);
    ASSERT_LE(v, 13);
    seen.insert(v);
  }
  EXPECT_EQ(seen.size(), 13u);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(media::rand(1, 1), 1);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(media::rand(-3, -3), -3);
}

TEST(Random, SeedRule) {
  auto first_draws = [](int64_t seed) {
    media::seed_random(seed);
    std::vector<int> v;
    for (int i = 0; i < 8; ++i) v.push_back(media::rand(0, 1'000'000));
    return v;
  };
  const auto reference = first_draws(4660);
  EXPECT_EQ(first_draws(0), reference);
  EXPECT_EQ(first_draws(0x7FFFFFFF), reference);
  EXPECT_EQ(first_draws(0x80000000LL), reference);   // low 31 bits are 0
  EXPECT_EQ(first_draws(0xFFFFFFFFLL), reference);   // low 31 bits are 0x7FFFFFFF
  EXPECT_EQ(first_draws(0x80000000LL + 1234), first_draws(1234));
  EXPECT_EQ(first_draws(-1LL), reference);            // all ones: low 31 bits are 0x7FFFFFFF
  media::seed_random(0x1'8000'0005LL);
  EXPECT_EQ(media::random_state(), 5u);
  EXPECT_NE(first_draws(1), reference);
}

TEST(Clock, ManualClockFollowsSetAdvanceAndDelay) {
  media::use_manual_clock(true);
  media::set_manual_clock(5000);
  EXPECT_EQ(media::millisecs(), 5000);
  media::advance_manual_clock(250);
  EXPECT_EQ(media::millisecs(), 5250);
  const auto before = std::chrono::steady_clock::now();
  media::delay(1000);
  EXPECT_EQ(media::millisecs(), 6250);
  media::delay(60'000);
  EXPECT_EQ(media::millisecs(), 66250);
  // A real minute's sleep would be unmistakable; the manual clock only moves its counter.
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(30));
  media::use_manual_clock(false);

  // The real clock moves on, and a real delay lasts at least as long as asked.
  const int a = media::millisecs();
  EXPECT_GE(a, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  const int b = media::millisecs();
  EXPECT_GE(b, a + 20);
  media::delay(30);
  EXPECT_GE(media::millisecs(), b + 30);
  media::delay(0);
  media::delay(-5);
}

TEST(Clock, TimerPostsTicksUntilStopped) {
  media::flush_events();
  media::create_timer(100);
  EXPECT_TRUE(tick_arrives(5000));
  media::create_timer(200);  // replaces the running timer
  EXPECT_TRUE(tick_arrives(5000));
  media::stop_timer();
  media::flush_events();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  media::Event e;
  int ticks = 0;
  while (media::poll_event(e)) ticks += e.kind == media::EventKind::Tick;
  EXPECT_EQ(ticks, 0);
  media::stop_timer();  // stopping twice is harmless
  media::create_timer(0);
}
