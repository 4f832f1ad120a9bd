// What activities are made with, for tests: assets on the generated data folder (or another), a
// list of pictures the test can replace, and sound effects that are recorded instead of played.
#pragma once
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/activity.hpp"
#include "app/assets.hpp"
#include "app/effects.hpp"
#include "app/loop.hpp"
#include "app/pictures.hpp"
#include "media/events.hpp"
#include "media/image.hpp"

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
  app::Context context{assets, effects};
};

// Events into a loop, as the platform queues them.
inline app::Turn press(app::Loop& loop, int code) { return loop.handle_event(media::Event{media::EV_KEY_DOWN, code}); }
inline app::Turn release(app::Loop& loop, int code) { return loop.handle_event(media::Event{media::EV_KEY_UP, code}); }
inline void click(app::Loop& loop, int button = 1) { loop.handle_event(media::Event{media::EV_MOUSE_DOWN, button}); }
inline void click_at(app::Loop& loop, int x, int y) {
  media::move_pointer(x, y);
  click(loop);
}

}  // namespace tw
