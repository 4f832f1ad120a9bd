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

TEST(DecodeBudget, AHolderAskingForMoreWaitsForTheOthersOrIsRefused) {
  DecodeBudget budget(1000);
  {
    // One thread alone never passes the budget: the file's bytes plus its pixels must fit.
    BudgetLease file = budget.acquire(800);
    EXPECT_FALSE(budget.acquire(300));
    EXPECT_EQ(budget.in_use(), 800u);
    EXPECT_TRUE(budget.acquire(200));
  }
  // A holder waits while another holder (busy, not waiting) has the rest.
  BudgetLease other = budget.acquire(700);
  std::atomic<bool> got{false};
  std::atomic<size_t> in_use_when_granted{0};
  std::thread decoder([&] {
    BudgetLease file = budget.acquire(200);
    BudgetLease pixels = budget.acquire(200);
    in_use_when_granted = budget.in_use();
    got = true;
  });
  ASSERT_TRUE(eventually([&] { return budget.waiting() == 1; }));
  EXPECT_FALSE(got);
  other.reset();
  decoder.join();
  EXPECT_TRUE(got);
  EXPECT_EQ(in_use_when_granted.load(), 400u);
  EXPECT_EQ(budget.in_use(), 0u);
}

TEST(DecodeBudget, HoldersThatAllWaitDoNotDeadlock) {
  // Three threads each hold 400 and then ask for 400 more: none would ever give back, so the one
  // that waited longest goes on, one at a time, and all finish.
  DecodeBudget shared(1200);
  std::atomic<int> holding{0};
  std::atomic<size_t> peak{0};
  auto worker = [&] {
    BudgetLease mine = shared.acquire(400);
    ++holding;
    eventually([&] { return holding == 3; });
    BudgetLease more = shared.acquire(400);
    EXPECT_TRUE(more);
    for (size_t p = peak, v = shared.in_use(); v > p && !peak.compare_exchange_weak(p, v);) {
    }
  };
  std::thread t1(worker), t2(worker), t3(worker);
  t1.join();
  t2.join();
  t3.join();
  EXPECT_EQ(shared.in_use(), 0u);
  EXPECT_LE(peak.load(), 1600u) << "only one holder at a time goes past the budget";
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
