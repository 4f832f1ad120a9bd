// The play-time limit: how long the child has played since the parent set the limit, counting only
// the time the program's window is shown and has the keyboard. Pure bookkeeping: the loop hands in
// the time on every tick, so tests drive it without a clock.
#pragma once
#include <climits>
#include <cstdint>

namespace app {

class PlayClock {
 public:
  // minute_ms: how long a minute of the limit lasts (shorter only in tests of the whole program).
  explicit PlayClock(int minute_ms = 60'000) : minute_ms_(minute_ms) {}
  // Sets the limit in minutes (0 or less: none) and starts its count afresh: a parent choosing 20
  // means 20 minutes of play from now. The time until the next tick is not counted.
  void set_limit(int minutes);
  // Time has passed: now_ms on the loop's clock. `counting`: the window is shown and focused. Only
  // the time between two ticks that both count is play; a clock that goes backwards counts nothing.
  void tick(int now_ms, bool counting);
  // The limit is set and that much play has passed (until set_limit or extend).
  bool time_up() const;
  // Gives `minutes` more play on top of what is left; after time is up, that many from now. No
  // effect without a limit.
  void extend(int minutes);
  // Play left, 0 once time is up; INT_MAX without a limit.
  int left_ms() const;
  int limit_minutes() const { return limit_minutes_; }

 private:
  int64_t minute_ms_;
  int limit_minutes_ = 0;
  int64_t allowed_ms_ = 0;  // play allowed since the count began (the limit, plus any extensions)
  int64_t played_ms_ = 0;   // play counted since then
  bool have_last_ = false;  // a tick was seen since the count began
  bool last_counting_ = false;
  int64_t last_ms_ = 0;
};

}  // namespace app
