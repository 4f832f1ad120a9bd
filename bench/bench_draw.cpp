// Drawing costs: the floor of every redraw (one full-screen image and present), grabs, and loading
// pictures into images (decode plus texture upload). Runs in a real window (under Xvfb in CI).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "media/display/display.hpp"
#include "media/display/draw.hpp"
#include "media/display/image.hpp"
#include "media/decode/pixmap.hpp"
#include "bench/bench_floor.hpp"
#include "bench/bench_pictures.hpp"

using namespace media;


static void BM_GrabPixmap(benchmark::State& st) {
  int w = static_cast<int>(st.range(0)), h = static_cast<int>(st.range(1));
  for (auto _ : st) benchmark::DoNotOptimize(grab_pixmap(0, 0, w, h));
}
BENCHMARK(BM_GrabPixmap)->Args({1024, 768})->Args({150, 150})->Unit(benchmark::kMicrosecond);

static void BM_LoadImage(benchmark::State& st, std::string path) {
  for (auto _ : st) {
    ImagePtr img = load_image(path, 0);
    if (!img) st.SkipWithError("load failed");
    benchmark::DoNotOptimize(img);
  }
}

int main(int argc, char** argv) {
  if (!open_graphics(1024, 768, 0, 60)) {
    std::fprintf(stderr, "bench_draw: no display\n");
    return 1;
  }
  std::string jpg = bench::write_photo_jpeg("/tmp/pipkin_bench_1024.jpg", 1024, 768);
  std::string png = bench::write_photo_png("/tmp/pipkin_bench_1024.png", 1024, 768);
  std::string big = bench::write_photo_jpeg("/tmp/pipkin_bench_4000.jpg", 4000, 3000);
  benchmark::RegisterBenchmark("BM_LoadImage/jpeg_1024x768", BM_LoadImage, jpg)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_LoadImage/png_1024x768", BM_LoadImage, png)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_LoadImage/jpeg_4000x3000", BM_LoadImage, big)->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  close_graphics();
  return 0;
}
