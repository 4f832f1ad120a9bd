// The decode memory budget: reservations wait their turn without deadlock, small ones are not held
// back, the foreground never waits behind the background, and what a decoder returns holds only its
// pixels.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "media/decode/decode.hpp"
#include "media/decode/decode_budget.hpp"
#include "tests/unit/eventually.hpp"
#include "tests/unit/sample_images.hpp"

using namespace media;

namespace {

using tw::eventually;

// A thread whose reservations are background work.
template <typename Work>
std::thread background_thread(Work work) {
  return std::thread([work] {
    set_decode_priority(DecodePriority::Background);
    work();
  });
}

// Runs `work` on a new foreground thread and says whether it finished; the deadline only turns a
// hang into a failure.
template <typename Work>
bool finishes(Work work) {
  auto done = std::async(std::launch::async, work);
  return done.wait_for(std::chrono::seconds(60)) == std::future_status::ready;
}

void raise_to(std::atomic<size_t>& peak, size_t v) {
  for (size_t p = peak; v > p && !peak.compare_exchange_weak(p, v);) {
  }
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
  EXPECT_EQ(budget.most_in_use(), 600u) << "the most held at once stays after it came back";
  EXPECT_FALSE(budget.acquire(1001)) << "more than the whole budget is refused at once";
  EXPECT_EQ(budget.in_use(), 0u);
  EXPECT_TRUE(budget.acquire(1000));
  BudgetLease held = budget.acquire(200);
  budget.reset_most_in_use();
  EXPECT_EQ(budget.most_in_use(), 200u) << "a reset starts from what is held now";
  budget.acquire(300).reset();
  EXPECT_EQ(budget.most_in_use(), 500u);
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

TEST(DecodeBudget, ThreadsAreForegroundUntilTheySayOtherwise) {
  EXPECT_EQ(decode_priority(), DecodePriority::Foreground);
  std::atomic<bool> background_first{false}, other_foreground{false};
  background_thread([&] { background_first = decode_priority() == DecodePriority::Background; }).join();
  std::thread([&] { other_foreground = decode_priority() == DecodePriority::Foreground; }).join();
  EXPECT_TRUE(background_first);
  EXPECT_TRUE(other_foreground) << "the priority belongs to the thread that set it";
  EXPECT_EQ(decode_budget().total(), kDecodeBudgetBytes);
  EXPECT_EQ(decode_budget().background_limit(), kDecodeBudgetBytes - kDecodeForegroundBytes);
}

TEST(DecodeBudget, TheForegroundShareIsThereHoweverMuchTheBackgroundHolds) {
  {
    DecodeBudget fresh(1000, 200);
    std::atomic<bool> refused{false};
    background_thread([&] { refused = !fresh.acquire(801); }).join();
    EXPECT_TRUE(refused) << "the background never holds more than its part";
    EXPECT_TRUE(fresh.acquire(1000)) << "the foreground may use the whole budget";
  }
  DecodeBudget budget(1000, 200);
  std::atomic<bool> refused_past_its_part{false}, release{false};
  std::atomic<int> holding{0};
  // Two background decodes take all the background may hold; a third waits though 200 are free.
  std::thread first = background_thread([&] {
    BudgetLease l = budget.acquire(500);
    refused_past_its_part = !budget.acquire(301);  // this thread alone would pass 800
    ++holding;
    eventually([&] { return release.load(); });
  });
  std::thread second = background_thread([&] {
    BudgetLease l = budget.acquire(300);
    ++holding;
    eventually([&] { return release.load(); });
  });
  ASSERT_TRUE(eventually([&] { return holding == 2; }));
  EXPECT_TRUE(refused_past_its_part);
  EXPECT_EQ(budget.background_in_use(), 800u);
  std::atomic<bool> third_got{false};
  std::thread third = background_thread([&] {
    BudgetLease l = budget.acquire(100);
    third_got = true;
  });
  ASSERT_TRUE(eventually([&] { return budget.waiting() == 1; }));
  EXPECT_FALSE(third_got) << "the background stays out of the foreground's share";

  // The foreground goes on at once, up to its share, while the background holds the rest.
  size_t in_use_meanwhile = 0;
  EXPECT_TRUE(finishes([&] {
    BudgetLease a = budget.acquire(150);
    BudgetLease b = budget.acquire(50);  // a holder asking for more that still fits
    in_use_meanwhile = budget.in_use();
  }));
  EXPECT_EQ(in_use_meanwhile, 1000u);
  EXPECT_FALSE(third_got);

  release = true;
  first.join();
  second.join();
  third.join();
  EXPECT_TRUE(third_got);
  EXPECT_EQ(budget.in_use(), 0u);
  EXPECT_EQ(budget.background_in_use(), 0u);
}

TEST(DecodeBudget, TheBackgroundDoesNotOvertakeAWaitingForeground) {
  DecodeBudget budget(1000, 100);
  std::atomic<bool> holding{false}, release{false}, foreground_got{false}, background_got{false};
  std::atomic<size_t> in_use_when_background_got{0};
  std::thread holder = background_thread([&] {
    BudgetLease l = budget.acquire(700);
    holding = true;
    eventually([&] { return release.load(); });
  });
  ASSERT_TRUE(eventually([&] { return holding.load(); }));
  // The foreground needs more than is free: it waits for the background decode to finish.
  std::thread foreground([&] {
    BudgetLease l = budget.acquire(400);
    foreground_got = true;
    eventually([&] { return background_got.load(); });
  });
  ASSERT_TRUE(eventually([&] { return budget.waiting() == 1; }));
  // A new background decode would fit in what is free, but the foreground is first.
  std::thread background = background_thread([&] {
    BudgetLease l = budget.acquire(100);
    in_use_when_background_got = budget.in_use();
    background_got = true;
  });
  ASSERT_TRUE(eventually([&] { return budget.waiting() == 2; })) << "the background went ahead";
  EXPECT_FALSE(foreground_got);
  EXPECT_FALSE(background_got);
  release = true;
  holder.join();
  foreground.join();
  background.join();
  EXPECT_EQ(in_use_when_background_got.load(), 500u) << "the foreground's 400 were reserved first";
  EXPECT_EQ(budget.in_use(), 0u);
}

TEST(DecodeBudget, ABackgroundDecodeUnderWayFinishesWhileTheForegroundWaits) {
  // The background holds a file's bytes and then asks for its pixels while the foreground waits for
  // memory only that decode will give back: it must not be held back, or neither would go on.
  DecodeBudget budget(1000, 100);
  std::atomic<bool> has_file{false}, go_on{false}, decoded{false}, foreground_got{false};
  std::thread worker = background_thread([&] {
    BudgetLease file = budget.acquire(300);
    has_file = true;
    eventually([&] { return go_on.load(); });
    BudgetLease pixels = budget.acquire(300);
    decoded = bool(pixels);
  });
  ASSERT_TRUE(eventually([&] { return has_file.load(); }));
  std::thread foreground([&] {
    BudgetLease l = budget.acquire(800);
    foreground_got = true;
  });
  ASSERT_TRUE(eventually([&] { return budget.waiting() == 1; }));
  go_on = true;
  worker.join();
  foreground.join();
  EXPECT_TRUE(decoded);
  EXPECT_TRUE(foreground_got);
  EXPECT_EQ(budget.in_use(), 0u);
}

TEST(DecodeBudget, ForegroundAndBackgroundTogetherNeverPassTheBudget) {
  DecodeBudget budget(1000, 200);
  std::atomic<size_t> now{0}, peak{0}, background_now{0}, background_peak{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) {
    auto work = [&, t] {
      const bool background = t % 2 == 0;
      for (int i = 0; i < 300; ++i) {
        const size_t want = background ? 100 + 100 * ((t + i) % 8) : 50 + 50 * ((t + i) % 4);  // 100..800, 50..200
        BudgetLease l = budget.acquire(want);
        EXPECT_TRUE(l);
        raise_to(peak, now += want);
        if (background) raise_to(background_peak, background_now += want);
        if (background) background_now -= want;
        now -= want;
      }
    };
    threads.push_back(t % 2 == 0 ? background_thread(work) : std::thread(work));
  }
  for (auto& t : threads) t.join();
  EXPECT_LE(peak.load(), 1000u);
  EXPECT_LE(background_peak.load(), 800u);
  EXPECT_EQ(budget.in_use(), 0u);
  EXPECT_EQ(budget.background_in_use(), 0u);
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
