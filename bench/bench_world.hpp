// What the benchmarks make activities with: assets on the generated data folder and sound effects
// that play nothing.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "app/activity.hpp"
#include "app/assets.hpp"
#include "app/effects.hpp"
#include "app/pictures.hpp"

namespace bench {

class SilentEffects final : public app::Effects {
 public:
  void play(app::Effect) override {}
};

struct World {
  World() { assets.data_dir = std::string(PIPKIN_DATA_DIR) + "/"; }
  void set_pictures(std::vector<media::ImagePtr> list) {
    assets.pictures = std::make_shared<app::PictureList>(std::move(list));
  }
  app::Assets assets;
  SilentEffects effects;
  app::Context context{assets, effects};
};

inline World& world() {
  static World w;
  return w;
}

}  // namespace bench
