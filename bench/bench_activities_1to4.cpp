// One redraw of each of activities 1 to 4 (the activity's draw plus present) against the floor of
// every redraw, one full-screen image plus present, measured in the same run. Real window (Xvfb in CI).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "activities/bounce.hpp"
#include "activities/count.hpp"
#include "activities/frames.hpp"
#include "activities/kaleid.hpp"
#include "app/pictures/picture_loading.hpp"
#include "app/pictures/picture_store.hpp"
#include "bench/bench_floor.hpp"
#include "bench/bench_pictures.hpp"
#include "bench/bench_world.hpp"
#include "media/input/clock.hpp"
#include "media/display/display.hpp"
#include "media/display/draw.hpp"
#include "media/input/events.hpp"
#include "media/display/image.hpp"

using namespace media;


// All four frames showing a picture.
static void BM_FramesRedraw(benchmark::State& st) {
  auto f = activities::PictureFrames::make(bench::world().context);
  if (!f) return st.SkipWithError("picture frames cannot be made");
  const int spots[4][2] = {{200, 150}, {700, 150}, {200, 500}, {700, 500}};
  for (const auto& s : spots) f->move(app::PointerInput{s[0], s[1]});
  for (auto _ : st) {
    f->draw();
    present(0);
  }
}
BENCHMARK(BM_FramesRedraw)->Unit(benchmark::kMillisecond);

// The largest game: twenty balls, played up to it, and five of them counted.
static void BM_CountRedraw(benchmark::State& st) {
  auto c = activities::CountingBalls::make(bench::world().context);
  if (!c) return st.SkipWithError("counting balls cannot be made");
  auto touch = [&](int k) { c->move(app::PointerInput{c->ball(k)->centre_x, c->ball(k)->centre_y}); };
  for (int game = 0; game < activities::CountingBalls::kBalls; ++game) {
    for (int k = 1; k <= c->balls_in_play(); ++k) touch(k);
    touch(1);  // a complete game: ball 1 starts the next, one ball larger
  }
  if (c->balls_in_play() != activities::CountingBalls::kBalls) return st.SkipWithError("the games did not grow");
  for (int k = 1; k <= 5; ++k) touch(k);
  for (auto _ : st) {
    c->draw();
    present(0);
  }
}
BENCHMARK(BM_CountRedraw)->Unit(benchmark::kMillisecond);

// Cards in flight.
static void BM_BounceRedraw(benchmark::State& st) {
  auto b = activities::BouncingCards::make(bench::world().context);
  if (!b) return st.SkipWithError("bouncing cards cannot be made");
  for (int i = 0; i < st.range(0); ++i)
    b->click(app::PointerInput{0, 0, i % 2 ? media::Button::Right : media::Button::Left});
  for (auto _ : st) {
    b->draw();
    present(0);
  }
}
BENCHMARK(BM_BounceRedraw)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond);

// The pattern with a black background (0) or the upright picture behind it (1), turning a degree
// each redraw.
static void BM_KaleidRedraw(benchmark::State& st) {
  auto k = activities::Kaleidoscope::make(bench::world().context);
  if (!k) return st.SkipWithError("the kaleidoscope cannot be made");
  if (st.range(0) != 0) k->click(app::PointerInput{0, 0, media::Button::Right});
  k->move(app::PointerInput{500, 400});
  int now = millisecs();
  for (auto _ : st) {
    now += 51;
    k->update(now);
    k->draw();
    present(0);
  }
}
BENCHMARK(BM_KaleidRedraw)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  if (!open_graphics(1024, 768, 0, 60)) {
    std::fprintf(stderr, "bench_activities_1to4: no display\n");
    return 1;
  }
  app::Assets& s = bench::world().assets;
  s.probe_image = load_image(s.data_dir + "images/white.bmp", 0);
  s.sky_image = load_image(s.data_dir + "images/sky.jpg", 0);
  s.pictures = std::make_shared<app::PictureStore>(app::load_pictures(s.data_dir + "pics", s.screen_w, s.screen_h));
  if (s.picture_count() < 2) {
    std::fprintf(stderr, "bench_activities_1to4: the data folder's pictures are missing\n");
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  close_graphics();
  return 0;
}
