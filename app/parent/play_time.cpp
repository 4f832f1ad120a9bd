#include "app/parent/play_time.hpp"

#include <algorithm>

namespace app {

void PlayClock::set_limit(int minutes) {
  limit_minutes_ = std::max(minutes, 0);
  allowed_ms_ = limit_minutes_ * minute_ms_;
  played_ms_ = 0;
  have_last_ = false;
}

void PlayClock::tick(int now_ms, bool counting) {
  const int64_t now = now_ms;
  if (have_last_ && last_counting_ && counting && now > last_ms_) played_ms_ += now - last_ms_;
  have_last_ = true;
  last_counting_ = counting;
  last_ms_ = now;
}

bool PlayClock::time_up() const { return limit_minutes_ > 0 && played_ms_ >= allowed_ms_; }

void PlayClock::extend(int minutes) {
  if (limit_minutes_ == 0 || minutes <= 0) return;
  allowed_ms_ = std::max(allowed_ms_, played_ms_) + minutes * minute_ms_;
  have_last_ = false;
}

int PlayClock::left_ms() const {
  if (limit_minutes_ == 0) return INT_MAX;
  return static_cast<int>(std::clamp<int64_t>(allowed_ms_ - played_ms_, 0, INT_MAX));
}

}  // namespace app
