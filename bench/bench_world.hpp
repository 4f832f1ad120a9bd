// What the benchmarks make activities with: assets on the generated data folder and sound effects
// that play nothing.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "app/shell/activity.hpp"
#include "app/start/assets.hpp"
#include "app/shell/effects.hpp"
#include "app/pictures/pictures.hpp"

namespace bench {

class SilentEffects final : public app::Effects {
 public:
  void play(app::Effect) override {}
};

// A loop that is never asked for anything that costs time.
class NoRequests final : public app::Requests {
 public:
  void move_pointer(int, int) override {}
  void hold_input(int) override {}
  void show_thinking() override {}
  bool stop_asked() override { return false; }
};

struct World {
  World() { assets.data_dir = std::string(PIPKIN_DATA_DIR) + "/"; }
  void set_pictures(std::vector<media::ImagePtr> list) {
    assets.pictures = std::make_shared<app::PictureList>(std::move(list));
  }
  app::Assets assets;
  SilentEffects effects;
  NoRequests requests;
  app::Context context{assets, effects, requests};
};

inline World& world() {
  static World w;
  return w;
}

}  // namespace bench
