// Waiting: delay, and the tick timer thread.
#include "media/input/timer.hpp"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "media/input/clock.hpp"
#include "media/input/events.hpp"

namespace media {
namespace {

using Clock = std::chrono::steady_clock;

// Posts a tick event hz times per second until stopped. Ticks are scheduled against the start time
// (start + k * period), so a late wake-up does not push every later tick back.
class TickTimer {
 public:
  ~TickTimer() { stop(); }

  void start(int hz) {
    std::lock_guard<std::mutex> lock(control_);
    stop_locked();
    stopping_ = false;  // no thread runs here, so no lock is needed
    thread_ = std::thread([this, hz] { run(hz); });
  }

  void stop() {
    std::lock_guard<std::mutex> lock(control_);
    stop_locked();
  }

 private:
  void stop_locked() {
    if (!thread_.joinable()) return;
    {
      std::lock_guard<std::mutex> wake_lock(wake_mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }

  void run(int hz) {
    const auto period = std::chrono::duration_cast<Clock::duration>(
        std::chrono::nanoseconds(1'000'000'000LL / hz));
    const auto begin = Clock::now();
    std::unique_lock<std::mutex> lock(wake_mutex_);
    for (int64_t k = 1;; ++k) {
      if (wake_.wait_until(lock, begin + period * k, [this] { return stopping_; })) return;
      post_tick();  // dropped while the last one waits, or the ring is full
      // After a long stall (a suspended process), skip the missed ticks instead of sending a burst.
      const int64_t due = (Clock::now() - begin) / period;
      if (due > k + 1) k = due - 1;
    }
  }

  std::mutex control_;     // serialises start and stop
  std::mutex wake_mutex_;  // guards stopping_
  std::condition_variable wake_;
  bool stopping_ = false;
  std::thread thread_;
};

// Created on first use, after the event queue exists, so it is destroyed (and its thread joined)
// before the queue goes away at exit.
TickTimer& tick_timer() {
  static TickTimer timer;
  return timer;
}

}  // namespace

void delay(int ms) {
  if (ms <= 0) return;
  if (manual_clock()) {
    advance_manual_clock(ms);
    return;
  }
  // Sleep in short steps, taking in window input between them so nothing is lost meanwhile.
  const auto until = Clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    const auto now = Clock::now();
    if (now >= until) break;
    const Clock::duration step = std::chrono::milliseconds(5);
    std::this_thread::sleep_for(std::min<Clock::duration>(until - now, step));
    pump_input(true);
  }
}

void create_timer(int hz) {
  if (hz <= 0) {
    stop_timer();
    return;
  }
  tick_timer().start(std::min(hz, 1000));
}

void stop_timer() { tick_timer().stop(); }

}  // namespace media
