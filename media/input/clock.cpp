// The millisecond clock, delay, the tick timer thread and the random generator.
#include "media/input/clock.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "media/input/events.hpp"

namespace media {
namespace {

using Clock = std::chrono::steady_clock;

// The generator: x = x * 48271 mod (2^31 - 1).
constexpr uint64_t kModulus = 2147483647;
constexpr uint64_t kMultiplier = 48271;
constexpr uint32_t kDefaultSeed = 4660;

// Time's and chance's state. Any thread may read the clock, set the test clock and draw numbers, so
// every field is constant or atomic. (The tick timer is kept apart, below: it
// must be made after the event queue, so that it goes first at exit.)
struct ClockState {
  // Real time
  const Clock::time_point start = Clock::now();  // taken while the program loads: millisecs()'s zero
  // The test clock
  std::atomic<bool> manual{false};  // millisecs() reads manual_ms, delay() advances it
  std::atomic<int> manual_ms{0};    // the test clock's time
  // The random generator
  std::atomic<uint32_t> random{kDefaultSeed};  // x, 1 <= x <= 2^31 - 2
};
ClockState clock_state;

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

int millisecs() {
  if (clock_state.manual.load()) return clock_state.manual_ms.load();
  using std::chrono::milliseconds;
  return static_cast<int>(std::chrono::duration_cast<milliseconds>(Clock::now() - clock_state.start).count());
}

int64_t wall_millisecs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

void delay(int ms) {
  if (ms <= 0) return;
  if (clock_state.manual.load()) {
    clock_state.manual_ms.fetch_add(ms);
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

void seed_random(int64_t seed) {
  uint32_t s = static_cast<uint32_t>(static_cast<uint64_t>(seed) & 0x7FFFFFFFu);
  if (s == 0 || s == 0x7FFFFFFFu) s = kDefaultSeed;
  clock_state.random.store(s);
}

// Each draw first advances the state x (1 <= x <= 2^31 - 2), then maps it onto the range with exact
// integer arithmetic: lo + x * (hi - lo + 1) / (2^31 - 1). Since x < 2^31 - 1 the result is at most
// hi, and each value of the range gets an equal share of the states, give or take one.
int rand(int a, int b) {
  const int64_t lo = std::min(a, b);
  const int64_t hi = std::max(a, b);
  uint32_t x = clock_state.random.load();
  uint32_t next;
  do {
    next = static_cast<uint32_t>(uint64_t{x} * kMultiplier % kModulus);
  } while (!clock_state.random.compare_exchange_weak(x, next));
  const uint64_t span = static_cast<uint64_t>(hi - lo + 1);
  return static_cast<int>(lo + static_cast<int64_t>(uint64_t{next} * span / kModulus));
}

uint32_t random_state() { return clock_state.random.load(); }

void use_manual_clock(bool on) { clock_state.manual.store(on); }
void set_manual_clock(int ms) { clock_state.manual_ms.store(ms); }
void advance_manual_clock(int ms) { clock_state.manual_ms.fetch_add(ms); }

}  // namespace media
