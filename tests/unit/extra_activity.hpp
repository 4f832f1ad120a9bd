// An activity the program does not have, for tests of the activity table: the whole screen in one
// colour, a game that a left click finishes. It is made as the program's own are (factory_maker), and
// put after the program's first two activities in tables of any length.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "activities/register.hpp"
#include "app/shell/activity.hpp"
#include "media/display/draw.hpp"

namespace extra {

struct Swatch final : app::Activity {
  static constexpr app::Traits kTraits{.thinking_while_made = false};
  static constexpr int kR = 40, kG = 160, kB = 90;  // its colour

  static std::unique_ptr<Swatch> make(const app::Context&) { return std::make_unique<Swatch>(); }
  const app::Traits& traits() const override { return kTraits; }
  void draw() const override {
    media::set_clear_colour(kR, kG, kB);
    media::cls();
  }
  app::Outcome click(const app::PointerInput&) override {
    ++clicks;
    done = true;
    return app::Outcome::Finished;
  }
  bool finished() const override { return done; }

  int clicks = 0;
  bool done = false;
};

// Frames and counting balls at 1 and 2 (the program's own), then swatches up to `count`, each with
// the id of its place: "swatch3", "swatch4", ...
inline app::ActivityTable swatch_table(int count) {
  const app::ActivityTable real = activities::activity_table();
  std::vector<app::ActivityEntry> entries{real.entry(1), real.entry(2)};
  for (int place = 3; place <= count; ++place)
    entries.push_back({"swatch" + std::to_string(place), activities::factory_maker<Swatch>()});
  return app::ActivityTable(std::move(entries));
}
inline app::ActivityTable table_with_swatch() { return swatch_table(3); }

}  // namespace extra
