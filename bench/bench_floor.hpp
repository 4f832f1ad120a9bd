// The floor every redraw benchmark is measured against: one full-screen filtered picture drawn and
// presented. Including this header registers it in that benchmark program.
#pragma once
#include <benchmark/benchmark.h>

#include "bench/bench_pictures.hpp"
#include "media/display/draw.hpp"
#include "media/display/image.hpp"

namespace bench {

inline void BM_FloorFullScreenImageAndPresent(benchmark::State& st) {
  media::ImagePtr img = media::image_from_pixmap(photo_pixmap(1024, 768), 2);
  for (auto _ : st) {
    media::draw_image(img, 0, 0, 0);
    media::present(0);
  }
}
BENCHMARK(BM_FloorFullScreenImageAndPresent)->Unit(benchmark::kMillisecond);

}  // namespace bench
