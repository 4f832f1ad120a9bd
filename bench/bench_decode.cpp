// Picture loading: whole-file PNG and JPEG loads at screen size, a camera-sized JPEG at full size,
// and the same JPEG decoded at a reduced scale that still covers the screen.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "media/decode.hpp"
#include "tests/unit/sample_images.hpp"

namespace {

struct Files {
  std::string jpg_screen, png_screen, jpg_camera;
  std::string camera_bytes;

  Files() {
    const std::string base = "/tmp/pipkin_bench_" + std::to_string(::getpid());
    jpg_screen = base + "_1024.jpg";
    png_screen = base + "_1024.png";
    jpg_camera = base + "_4000.jpg";
    auto photo = [](int x, int y, uint8_t* px) { samples::photo_pixel(x, y, px); };
    samples::JpegSpec j;
    j.quality = 88;
    j.width = 1024, j.height = 768;
    write(jpg_screen, samples::encode_jpeg(j, photo));
    samples::PngSpec p;
    p.width = 1024, p.height = 768;
    write(png_screen, samples::encode_png(p, photo));
    j.width = 4000, j.height = 3000;
    camera_bytes = samples::encode_jpeg(j, photo);
    write(jpg_camera, camera_bytes);
  }
  ~Files() {
    std::remove(jpg_screen.c_str());
    std::remove(png_screen.c_str());
    std::remove(jpg_camera.c_str());
  }
  static void write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
};

const Files& files() {
  static Files f;
  return f;
}

void load(benchmark::State& state, const std::string& path) {
  for (auto _ : state) {
    auto p = media::load_pixmap(path);
    if (!p) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(p);
  }
}

void BM_LoadJpeg1024x768(benchmark::State& state) { load(state, files().jpg_screen); }
void BM_LoadPng1024x768(benchmark::State& state) { load(state, files().png_screen); }
void BM_LoadJpeg4000x3000(benchmark::State& state) { load(state, files().jpg_camera); }

void BM_DecodeJpeg4000x3000CoveringScreen(benchmark::State& state) {
  const std::string& b = files().camera_bytes;
  for (auto _ : state) {
    auto r = media::decode_jpeg(reinterpret_cast<const uint8_t*>(b.data()), b.size(), {1024, 768});
    if (!r.pixmap || r.pixmap->width != 2000) state.SkipWithError("reduced decode failed");
    benchmark::DoNotOptimize(r);
  }
}

BENCHMARK(BM_LoadJpeg1024x768)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPng1024x768)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadJpeg4000x3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeJpeg4000x3000CoveringScreen)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
