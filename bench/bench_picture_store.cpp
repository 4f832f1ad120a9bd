// The picture store's two costs: a worker loading one camera photo (read, decode at a reduced
// scale, fit, keep as JPEG) and the main thread bringing a kept picture back as a texture, which is
// the most a picture shown again can stall a frame; also a drawing kept deflated. And the kept size
// per picture (kept_KB).
// Needs a display for the texture.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/pictures/picture_store.hpp"
#include "bench/bench_pictures.hpp"
#include "media/display/display.hpp"
#include "media/display/draw.hpp"
#include "media/decode/encode.hpp"

namespace {

std::string photo_path, grainy_path;

void BM_LoadCameraPhoto(benchmark::State& st, const std::string* path) {
  app::PictureCodec codec = app::screen_codec(1024, 768);
  size_t kept = 0;
  for (auto _ : st) {
    app::CompactPicture c;
    std::string error;
    if (!codec.load(*path, c, error)) {
      st.SkipWithError(error.c_str());
      return;
    }
    kept = c.bytes();
  }
  st.counters["kept_KB"] = kept / 1024.0;
}

void BM_BringBackAsTexture(benchmark::State& st) {
  app::PictureCodec codec = app::screen_codec(1024, 768);
  app::CompactPicture c;
  std::string error;
  if (!codec.load(photo_path, c, error)) {
    st.SkipWithError(error.c_str());
    return;
  }
  for (auto _ : st) {
    media::ImagePtr img = codec.restore(c);
    // Drawing it makes sure the texture is really there before the next one.
    media::draw_image(img, 0, 0, 0);
    benchmark::DoNotOptimize(img);
  }
}

// A drawing (a PNG or BMP) is kept as its exact pixels deflated; bringing it back unpacks them.
void BM_BringBackDrawingAsTexture(benchmark::State& st) {
  app::PictureCodec codec = app::screen_codec(1024, 768);
  media::PixmapPtr drawing = media::create_pixmap(1024, 768, media::PF_RGB);
  for (int y = 0; y < 768; ++y)
    for (int x = 0; x < 1024; ++x)
      media::write_pixel(*drawing, x, y, 0xFF000000u | uint32_t(x / 64 * 0x0F0000 + y / 48 * 0x000F00 + (x ^ y) % 3));
  app::CompactPicture c;
  c.packed = media::pack_pixmap(*drawing);
  for (auto _ : st) {
    media::ImagePtr img = codec.restore(c);
    media::draw_image(img, 0, 0, 0);
    benchmark::DoNotOptimize(img);
  }
  st.counters["kept_KB"] = c.bytes() / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
  if (!media::open_graphics(1024, 768, 0, 60)) {
    std::fprintf(stderr, "bench_picture_store: needs a display (run under scripts/with-xvfb)\n");
    return 1;
  }
  char tmpl[] = "/tmp/pipkin-bench-store-XXXXXX";
  std::string dir = mkdtemp(tmpl);
  photo_path = bench::write_photo_jpeg(dir + "/photo.jpg", 4000, 3000, 90);
  // Grain as in a phone photo taken indoors: a JPEG about three times as large, and as slow to read.
  grainy_path = bench::write_photo_jpeg(dir + "/grainy.jpg", 4000, 3000, 90, 0, 40);
  benchmark::RegisterBenchmark("BM_LoadCameraPhoto/4000x3000", BM_LoadCameraPhoto, &photo_path)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_LoadCameraPhoto/4000x3000_grainy", BM_LoadCameraPhoto, &grainy_path)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_DjpegQuarterScale/4000x3000_grainy", [](benchmark::State& st) {
    for (auto _ : st) std::system(("djpeg -scale 1/4 '" + grainy_path + "' >/dev/null").c_str());
  })->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
  benchmark::RegisterBenchmark("BM_BringBackAsTexture/1024x768", BM_BringBackAsTexture)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_BringBackDrawingAsTexture/1024x768", BM_BringBackDrawingAsTexture)
      ->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::system(("rm -rf '" + dir + "'").c_str());
  return 0;
}
