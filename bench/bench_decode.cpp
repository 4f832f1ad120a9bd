// Picture loading: whole-file PNG and JPEG loads at screen size, a camera-sized JPEG at full size,
// and the same JPEG decoded at a reduced scale that still covers the screen. And a 12-megapixel
// photo as JPEG, as WebP, as AVIF and as HEIC of about the same quality, each decoded and fitted to
// the screen as the picture store does it; and the JPEG and the WebP through the store's whole load
// (read, decode, fit, keep as a JPEG), the WebP also with the cache of fitted photos: cold (fitted
// and written to the cache, as at its first start) and warm (read from the cache, as at every later
// start).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <webp/encode.h>

#include "app/pictures/picture_cache.hpp"
#include "app/pictures/picture_store.hpp"
#include "bench/bench_pictures.hpp"
#include "media/decode/decode.hpp"
#include "media/decode/resample.hpp"
#include "tests/unit/avif_images.hpp"
#include "tests/unit/heif_images.hpp"
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

// The same photo (grain as in a clean camera picture) at quality 90 in both formats.
struct Photo12 {
  std::string jpeg, webp;
  std::string heic;  // empty when libheif has no HEVC encoder
  Photo12() {
    const std::string path = "/tmp/pipkin_bench_" + std::to_string(::getpid()) + "_12mp.jpg";
    bench::write_photo_jpeg(path, 4000, 3000, 90);
    std::string error;
    media::read_whole_file(path, jpeg, error);
    std::remove(path.c_str());
    std::vector<uint8_t> rgb;
    bench::photo_rgb(4000, 3000, rgb);
    uint8_t* out = nullptr;
    const size_t n = WebPEncodeRGB(rgb.data(), 4000, 3000, 4000 * 3, 90, &out);
    webp.assign(reinterpret_cast<const char*>(out), n);
    WebPFree(out);
    // At quality 80 in libheif's scale, where its encoder's photos are commonly kept.
    heif_samples::HeifSpec h;
    h.width = 4000, h.height = 3000, h.quality = 80;
    if (heif_samples::can_encode(h.codec))
      heic = heif_samples::encode_heif(h, [&rgb](int x, int y, uint8_t* px) { std::memcpy(px, &rgb[(size_t(y) * 4000 + x) * 3], 3); });
  }
};

const Photo12& photo12() {
  static Photo12 p;
  return p;
}

// As the picture store's worker: decode at a size that covers 1024x768, then fit.
void fit_to_screen(benchmark::State& state, const std::string& bytes) {
  media::DecodeOptions opt{1024, 768};
  opt.eighths = true;
  opt.slack = 0.03;
  opt.upright = true;
  for (auto _ : state) {
    media::DecodeResult r = media::decode_image(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), opt);
    media::PixmapPtr fitted = r.pixmap ? media::fit_pixmap(r.pixmap, 1024, 768) : nullptr;
    if (!fitted) state.SkipWithError(("decode or fit failed: " + r.error).c_str());
    benchmark::DoNotOptimize(fitted);
  }
  state.counters["file_KB"] = bytes.size() / 1024.0;
}

// The same photo as AVIF, chroma halved both ways as in the JPEG, at a quantizer that gives about
// the JPEG's quality; made on first use only, AV1 encoding being slow.
const std::string& avif12() {
  static const std::string file = [] {
    std::vector<uint8_t> rgb;
    bench::photo_rgb(4000, 3000, rgb);
    avif_images::Spec spec;
    spec.quantizer = 20;
    spec.yuv = AVIF_PIXEL_FORMAT_YUV420;
    spec.speed = 10;
    spec.threads = 2;
    return avif_images::encode(4000, 3000, 3, rgb, spec);
  }();
  return file;
}

void BM_FitPhoto12MP_Jpeg(benchmark::State& state) { fit_to_screen(state, photo12().jpeg); }
void BM_FitPhoto12MP_Webp(benchmark::State& state) { fit_to_screen(state, photo12().webp); }
void BM_FitPhoto12MP_Avif(benchmark::State& state) { fit_to_screen(state, avif12()); }
void BM_FitPhoto12MP_Heic(benchmark::State& state) {
  if (photo12().heic.empty()) state.SkipWithError("no HEVC encoder in libheif");
  else fit_to_screen(state, photo12().heic);
}

// The 12-megapixel photo as files, for the store's codec, and a cache folder of its own.
struct Photo12Files {
  std::string base = "/tmp/pipkin_bench_" + std::to_string(::getpid()) + "_12mp";
  std::string jpeg = base + ".jpg", webp = base + ".webp", heic = base + ".heic", avif = base + ".avif";
  std::string cache = base + "_cache";
  Photo12Files() {
    Files::write(jpeg, photo12().jpeg);
    Files::write(webp, photo12().webp);
    Files::write(heic, photo12().heic);
    Files::write(avif, avif12());
  }
  ~Photo12Files() {
    for (const std::string* f : {&jpeg, &webp, &heic, &avif}) std::remove(f->c_str());
    std::filesystem::remove_all(cache);
  }
};

const Photo12Files& photo12_files() {
  static Photo12Files f;
  return f;
}

// One file through a worker's load: the real screen codec, with the cache in front when asked.
// Cold: every round is a first start (a new cache, its entry gone). Warm: every round a later one.
enum class Cache { None, Cold, Warm };
void store_load(benchmark::State& state, const std::string& path, Cache mode) {
  const std::string& folder = photo12_files().cache;
  std::filesystem::remove_all(folder);
  const app::PictureCodec screen = app::screen_codec(1024, 768);
  auto codec_for_start = [&] {
    return mode == Cache::None ? screen
                               : app::cached_codec(screen, std::make_shared<app::PictureCache>(folder), 1024, 768);
  };
  app::PictureCodec warm = codec_for_start();
  if (mode == Cache::Warm) {
    app::CompactPicture first;
    std::string error;
    warm.load(path, first, error);  // the first start, not timed
  }
  const std::string entry =
      app::PictureCache(folder).entry_path(app::PictureCache::identity(path, 1024, 768));
  size_t kept = 0;
  for (auto _ : state) {
    app::PictureCodec codec = mode == Cache::Warm ? warm : codec_for_start();
    if (mode == Cache::Cold) std::remove(entry.c_str());
    app::CompactPicture out;
    std::string error;
    if (!codec.load(path, out, error) || out.jpeg.empty()) state.SkipWithError(("load failed: " + error).c_str());
    kept = out.jpeg.size();
    benchmark::DoNotOptimize(out);
  }
  std::error_code ec;
  if (mode != Cache::None && !std::filesystem::exists(entry, ec)) state.SkipWithError("nothing was cached");
  state.counters["kept_KB"] = kept / 1024.0;
}

void BM_StoreLoadPhoto12MP_Jpeg(benchmark::State& state) { store_load(state, photo12_files().jpeg, Cache::None); }
void BM_StoreLoadPhoto12MP_Webp(benchmark::State& state) { store_load(state, photo12_files().webp, Cache::None); }
void BM_StoreLoadPhoto12MP_WebpCold(benchmark::State& state) { store_load(state, photo12_files().webp, Cache::Cold); }
void BM_StoreLoadPhoto12MP_WebpWarm(benchmark::State& state) { store_load(state, photo12_files().webp, Cache::Warm); }
void BM_StoreLoadPhoto12MP_Heic(benchmark::State& state) {
  if (photo12().heic.empty()) state.SkipWithError("no HEVC encoder in libheif");
  else store_load(state, photo12_files().heic, Cache::None);
}
void BM_StoreLoadPhoto12MP_HeicCold(benchmark::State& state) {
  if (photo12().heic.empty()) state.SkipWithError("no HEVC encoder in libheif");
  else store_load(state, photo12_files().heic, Cache::Cold);
}
void BM_StoreLoadPhoto12MP_HeicWarm(benchmark::State& state) {
  if (photo12().heic.empty()) state.SkipWithError("no HEVC encoder in libheif");
  else store_load(state, photo12_files().heic, Cache::Warm);
}
void BM_StoreLoadPhoto12MP_Avif(benchmark::State& state) { store_load(state, photo12_files().avif, Cache::None); }
void BM_StoreLoadPhoto12MP_AvifCold(benchmark::State& state) { store_load(state, photo12_files().avif, Cache::Cold); }
void BM_StoreLoadPhoto12MP_AvifWarm(benchmark::State& state) { store_load(state, photo12_files().avif, Cache::Warm); }

BENCHMARK(BM_LoadJpeg1024x768)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPng1024x768)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadJpeg4000x3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeJpeg4000x3000CoveringScreen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FitPhoto12MP_Jpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FitPhoto12MP_Webp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FitPhoto12MP_Avif)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FitPhoto12MP_Heic)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreLoadPhoto12MP_Jpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreLoadPhoto12MP_Webp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreLoadPhoto12MP_WebpCold)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreLoadPhoto12MP_WebpWarm)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreLoadPhoto12MP_Heic)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreLoadPhoto12MP_HeicCold)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreLoadPhoto12MP_HeicWarm)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreLoadPhoto12MP_Avif)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreLoadPhoto12MP_AvifCold)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreLoadPhoto12MP_AvifWarm)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
