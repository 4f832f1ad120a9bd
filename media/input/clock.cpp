// The millisecond clock and the random generator.
#include "media/input/clock.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>


namespace media {
namespace {

using Clock = std::chrono::steady_clock;

// The generator: x = x * 48271 mod (2^31 - 1).
constexpr uint64_t kModulus = 2147483647;
constexpr uint64_t kMultiplier = 48271;
constexpr uint32_t kDefaultSeed = 4660;

// Time's and chance's state. Any thread may read the clock, set the test clock and draw numbers, so
// every field is constant or atomic.
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
bool manual_clock() { return clock_state.manual.load(); }
void set_manual_clock(int ms) { clock_state.manual_ms.store(ms); }
void advance_manual_clock(int ms) { clock_state.manual_ms.fetch_add(ms); }

}  // namespace media
