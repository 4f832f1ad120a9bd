// The decode memory budget: reservations wait their turn without deadlock, small ones are not held
// back, and what a decoder returns holds only its pixels.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "media/decode.hpp"
#include "media/decode_budget.hpp"
#include "tests/unit/sample_images.hpp"

using namespace media;

namespace {

// Waits for a condition another thread makes true; the deadline only turns a hang into a failure.
template <typename Cond>
bool eventually(Cond cond) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!cond()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::yield();
  }
  return true;
}

}  // namespace

TEST(DecodeBudget, ReservationsAddUpAndComeBack) {
  DecodeBudget budget(1000);
  {
    BudgetLease a = budget.acquire(600);
    ASSERT_TRUE(a);
    EXPECT_EQ(budget.in_use(), 600u);
    BudgetLease b = std::move(a);  // moving keeps the bytes held once
    EXPECT_FALSE(a);
    EXPECT_EQ(budget.in_use(), 600u);
    b.shrink_to(100);
    EXPECT_EQ(b.bytes(), 100u);
    EXPECT_EQ(budget.in_use(), 100u);
    b.shrink_to(500);  // never grows
    EXPECT_EQ(budget.in_use(), 100u);
  }
  EXPECT_EQ(budget.in_use(), 0u);
  EXPECT_FALSE(budget.acquire(1001)) << "more than the whole budget is refused at once";
  EXPECT_EQ(budget.in_use(), 0u);
  EXPECT_TRUE(budget.acquire(1000));
}

TEST(DecodeBudget, LargeWaitsWhileSmallGoOn) {
  DecodeBudget budget(1000);
  BudgetLease held = budget.acquire(700);
  std::atomic<bool> got{false};
  std::thread big([&] {
    BudgetLease mine = budget.acquire(500);
    got = true;
  });
  ASSERT_TRUE(eventually([&] { return budget.waiting() == 1; }));
  EXPECT_FALSE(got);
  // Small requests that fit are served while the large one waits.
  std::thread small([&] { BudgetLease s = budget.acquire(200); });
  small.join();
  EXPECT_FALSE(got);
  held.reset();
  big.join();
  EXPECT_TRUE(got);
  EXPECT_EQ(budget.in_use(), 0u);
}

TEST(DecodeBudget, AHolderNeverWaits) {
  // A thread that still holds a reservation may be what the others wait for, so it is never made to
  // wait itself: it goes over the budget instead of deadlocking.
  DecodeBudget budget(1000);
  BudgetLease first = budget.acquire(800);
  BudgetLease second = budget.acquire(800);
  EXPECT_TRUE(second);
  EXPECT_EQ(budget.in_use(), 1600u);

  // Two threads each holding one and asking for another: both go through.
  DecodeBudget shared(1000);
  std::atomic<int> holding{0};
  auto worker = [&] {
    BudgetLease mine = shared.acquire(400);
    ++holding;
    eventually([&] { return holding == 2; });
    BudgetLease more = shared.acquire(400);
    EXPECT_TRUE(more);
  };
  std::thread t1(worker), t2(worker);
  t1.join();
  t2.join();
  EXPECT_EQ(shared.in_use(), 0u);
}

TEST(DecodeBudget, ManyThreadsNeverPassTheBudget) {
  DecodeBudget budget(1000);
  std::atomic<size_t> now{0}, peak{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < 300; ++i) {
        const size_t want = 100 + 100 * ((t + i) % 8);  // 100 .. 800
        BudgetLease l = budget.acquire(want);
        const size_t v = now += want;
        for (size_t p = peak; v > p && !peak.compare_exchange_weak(p, v);) {
        }
        now -= want;
      }
    });
  for (auto& t : threads) t.join();
  EXPECT_LE(peak.load(), 1000u);
  EXPECT_EQ(budget.in_use(), 0u);
}

TEST(DecodeBudget, DecodersReserveAndResultsKeepOnlyTheirPixels) {
  const size_t before = decode_budget().in_use();
  samples::PngSpec s;
  s.width = 100, s.height = 50;
  const std::string png = samples::encode_png(s, [](int x, int y, uint8_t* px) { samples::photo_pixel(x, y, px); });
  {
    DecodeResult r = decode_image(reinterpret_cast<const uint8_t*>(png.data()), png.size());
    ASSERT_TRUE(r.pixmap);
    EXPECT_EQ(r.lease.bytes(), 100u * 50 * 3);
    EXPECT_EQ(decode_budget().in_use(), before + 100 * 50 * 3);
  }
  EXPECT_EQ(decode_budget().in_use(), before);
  const std::string cut = png.substr(0, png.size() / 2);
  DecodeResult bad = decode_image(reinterpret_cast<const uint8_t*>(cut.data()), cut.size());
  EXPECT_FALSE(bad.lease);
  EXPECT_EQ(decode_budget().in_use(), before);
}
