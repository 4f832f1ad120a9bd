// What activities are made with, for tests: assets on the generated data folder (or another), a
// list of pictures the test can replace, and sound effects that are recorded instead of played.
#pragma once
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/shell/activity.hpp"
#include "app/start/assets.hpp"
#include "app/shell/effects.hpp"
#include "app/shell/loop.hpp"
#include "app/pictures/pictures.hpp"
#include "media/input/events.hpp"
#include "media/display/image.hpp"

namespace tw {

class RecordedEffects final : public app::Effects {
 public:
  void play(app::Effect e) override { played.push_back(e); }
  int count(app::Effect e) const { return static_cast<int>(std::count(played.begin(), played.end(), e)); }
  // True when the effect played since the last call; forgets everything played so far.
  bool take(app::Effect e) {
    bool was = count(e) > 0;
    played.clear();
    return was;
  }
  std::vector<app::Effect> played;
};

// What activities ask of the loop, recorded; a stop is asked for once stop_after questions were
// answered (never when negative).
class RecordedRequests final : public app::Requests {
 public:
  void move_pointer(int x, int y) override { warps.push_back({x, y}); }
  void hold_input(int ms) override { holds.push_back(ms); }
  void show_thinking() override { ++thinking; }
  bool stop_asked() override { return stop_after >= 0 && ++stop_questions > stop_after; }

  std::vector<std::pair<int, int>> warps;
  std::vector<int> holds;
  int thinking = 0;
  int stop_after = -1;
  int stop_questions = 0;
};

struct World {
  World() { assets.data_dir = std::string(PIPKIN_DATA_DIR) + "/"; }
  World(const World&) = delete;
  World& operator=(const World&) = delete;

  void set_pictures(std::vector<media::ImagePtr> list) {
    assets.pictures = std::make_shared<app::PictureList>(std::move(list));
  }
  std::vector<media::ImagePtr> pictures() const {
    std::vector<media::ImagePtr> out;
    for (size_t i = 0; i < assets.picture_count(); ++i) out.push_back(assets.picture(i));
    return out;
  }
  // Which picture of the list an image is; -1 for none or a stranger.
  int picture_number(const media::ImagePtr& img) const {
    for (size_t i = 0; i < assets.picture_count(); ++i)
      if (assets.picture(i) == img) return static_cast<int>(i);
    return -1;
  }

  app::Assets assets;
  RecordedEffects effects;
  RecordedRequests requests;
  app::Context context{assets, effects, requests};
};

// Events into a loop, as the platform queues them.
inline app::Turn press(app::Loop& loop, media::Key key) {
  return loop.handle_event(media::Event{.kind = media::EventKind::KeyDown, .key = key});
}
inline app::Turn release(app::Loop& loop, media::Key key) {
  return loop.handle_event(media::Event{.kind = media::EventKind::KeyUp, .key = key});
}
inline app::Turn press_digit(app::Loop& loop, int digit) { return press(loop, media::digit_key(digit)); }
inline app::Turn tick(app::Loop& loop) { return loop.handle_event(media::Event{.kind = media::EventKind::Tick}); }
inline void move_to(app::Loop& loop, int x, int y) {
  loop.handle_event(media::Event{.kind = media::EventKind::PointerMove, .x = x, .y = y});
}
inline void click_at(app::Loop& loop, int x, int y, media::Button button = media::Button::Left) {
  loop.handle_event(media::Event{.kind = media::EventKind::PointerDown, .button = button, .x = x, .y = y});
}
// A click where the pointer last was.
inline void click(app::Loop& loop, media::Button button = media::Button::Left) {
  click_at(loop, loop.state().pointer_x, loop.state().pointer_y, button);
}

// What a handler gets for a pointer at (x, y).
inline app::PointerInput at(int x, int y, media::Button button = media::Button::Left) {
  return app::PointerInput{x, y, button};
}
inline app::PointerInput right_at(int x, int y) { return at(x, y, media::Button::Right); }

}  // namespace tw
