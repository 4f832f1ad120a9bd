// The pairs table's redraw (sky, sixteen cards with their frames, present) against the floor of every
// redraw (one full-screen image and present), in the same run. Runs in a real window (Xvfb in CI).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "activities/pairs.hpp"
#include "app/shell.hpp"
#include "bench/bench_floor.hpp"
#include "bench/bench_pictures.hpp"
#include "media/display.hpp"
#include "media/draw.hpp"
#include "media/image.hpp"

using namespace media;

namespace {

std::unique_ptr<activities::TPairs> table;


// range(0): how many cards lie face up (0, 2 or all 16); range(1) = 1: the game is over (sky and
// corner button only).
void BM_PairsRedraw(benchmark::State& st) {
  table->setup();
  for (int k = 0; k < st.range(0); ++k) table->cards[k].visible = 1;
  if (st.range(1)) {
    for (auto& c : table->cards) c.found = 1;
    table->completed();
  }
  for (auto _ : st) {
    table->draw();
    present(0);
  }
}
BENCHMARK(BM_PairsRedraw)
    ->ArgNames({"face_up", "done"})
    ->Args({0, 0})
    ->Args({2, 0})
    ->Args({16, 0})
    ->Args({0, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!open_graphics(1024, 768, 0, 60)) {
    std::fprintf(stderr, "bench_pairs: no display\n");
    return 1;
  }
  app::Shell& s = app::shell();
  s.data_dir = std::string(PIPKIN_DATA_DIR) + "/";
  s.sound_on = false;
  s.sky_image = load_image(s.data_dir + "images/sky.jpg", 0);
  s.smiley_image = load_image(s.data_dir + "images/smiley.png", -1);
  for (int i = 0; i < 8; ++i) s.pictures.add(image_from_pixmap(bench::photo_pixmap(1024, 768), 0));
  table = std::make_unique<activities::TPairs>();
  table->init();
  if (!s.sky_image || !table->back || !table->frame) {
    std::fprintf(stderr, "bench_pairs: data files missing under %s\n", s.data_dir.c_str());
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  table.reset();
  app::reset_shell();
  close_graphics();
  return 0;
}
