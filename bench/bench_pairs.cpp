// The pairs table's redraw (sky, sixteen cards with their frames, present) against the floor of every
// redraw (one full-screen image and present), in the same run. Runs in a real window (Xvfb in CI).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "activities/pairs.hpp"
#include "bench/bench_world.hpp"
#include "bench/bench_floor.hpp"
#include "bench/bench_pictures.hpp"
#include "media/display/display.hpp"
#include "media/display/draw.hpp"
#include "media/display/image.hpp"

using namespace media;

namespace {

std::unique_ptr<activities::Pairs> table;

// Lays the pictures so that card k pairs with card k + 8 (or k - 8).
void known_layout() {
  std::vector<media::ImagePtr> grid;
  for (int k = 0; k < activities::Pairs::kCards; ++k) grid.push_back(bench::world().assets.picture(k % 8));
  table->lay_pictures(grid);
}
// Turns card k over, and lets a match it makes leave the table at once.
void turn(int k) {
  const activities::PairCard& c = table->cards()[k];
  table->click(app::PointerInput{.x = c.x + 100, .y = c.y + 80});
  table->update(std::numeric_limits<int>::max());
}

// range(0): how many cards lie face up (0 or 2, the most the game shows); range(1) = 1: the game is
// over (sky and corner button only).
void BM_PairsRedraw(benchmark::State& st) {
  table->setup();
  known_layout();
  for (int k = 0; k < st.range(0); ++k) turn(k);
  if (st.range(1))
    for (int k = 0; k < 8; ++k) turn(k), turn(k + 8);
  for (auto _ : st) {
    table->draw();
    present(0);
  }
}
BENCHMARK(BM_PairsRedraw)
    ->ArgNames({"face_up", "done"})
    ->Args({0, 0})
    ->Args({2, 0})
    ->Args({0, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!open_graphics(1024, 768, 0, 60)) {
    std::fprintf(stderr, "bench_pairs: no display\n");
    return 1;
  }
  app::Assets& s = bench::world().assets;
  s.sky_image = load_image(s.data_dir + "images/sky.jpg", 0);
  s.smiley_image = load_image(s.data_dir + "images/smiley.png", -1);
  std::vector<media::ImagePtr> pictures;
  for (int i = 0; i < 8; ++i) pictures.push_back(image_from_pixmap(bench::photo_pixmap(1024, 768), 0));
  bench::world().set_pictures(std::move(pictures));
  table = activities::Pairs::make(bench::world().context);
  if (!s.sky_image || !table || !table->card_back() || !table->card_frame()) {
    std::fprintf(stderr, "bench_pairs: data files missing under %s\n", s.data_dir.c_str());
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  table.reset();
  bench::world().set_pictures({});
  close_graphics();
  return 0;
}
