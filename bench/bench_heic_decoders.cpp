// HEVC decoders for HEIC photos: libheif's own, libde265, against libavcodec's, on a photo shaped
// as a phone stores it (4032 x 3024 in a grid of 48 tiles of 512 x 512, each tile coded on its own
// as cameras do, with 64 x 64 blocks and both loop filters; about 2.5 MB).
// - HevcTiles: the decoders alone on the photo's 48 tiles, each tile with a decoder of its own as
//   libheif makes them, on 1 or 2 threads taking tiles in turn; or one tile after another, each
//   decoder on 2 threads of its own ("own"): like for like, nothing but HEVC.
// - HeicPhoto: the whole photo through decode_heif (box walk, libheif's grid, colour conversion,
//   our pixmap) with either decoder, its tiles one at a time or two at once.
// - HeicPhotoShown: the same for a 1024 x 768 screen: with libavcodec, the tiles decoded straight
//   to a quarter of the size (heif_grid.cpp), which libde265 is not given.
// - HeicBatch20: twenty such photos through the picture store (one worker per core, each photo
//   read, decoded, fitted to 1024 x 768 and kept as a JPEG), with grid tiles one at a time, two at
//   once (two workers each decoding two tiles put four decoding threads on two cores), or the
//   cores shared among the decodes running (the default).
// Times are wall-clock, and the CPU time of the whole process beside them (which a busy machine
// stretches less); each runs three times (the median is the figure to read). The photo is
// made once (x265 at its "fast" preset takes a while) and kept in the build folder.
#include <benchmark/benchmark.h>
#include <libde265/de265.h>

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/pictures/picture_store.hpp"
#include "bench/bench_pictures.hpp"
#include "media/decode/decode.hpp"
#include "media/decode/decode_heif.hpp"
#include "tests/unit/heif_grid.hpp"

namespace {

using media::heif::HevcDecoder;

constexpr int kWidth = 4032, kHeight = 3024, kTile = 512;

const std::string& phone_photo() {
  static const std::string file = [] {
    const std::string kept = std::string(PIPKIN_BUILD_DIR) + "/bench-phone-photo-1.heic";
    std::string bytes, error;
    if (media::read_whole_file(kept, bytes, error) && heif_grid::tiles_of(bytes).size() == 48) return bytes;
    const int cover_w = (kWidth + kTile - 1) / kTile * kTile, cover_h = (kHeight + kTile - 1) / kTile * kTile;
    std::vector<uint8_t> rgb;
    bench::photo_rgb(cover_w, cover_h, rgb);
    heif_grid::Coding coding;
    coding.quality = 50;
    coding.preset = "fast";
    bytes = heif_grid::encode_grid(kWidth, kHeight, kTile, coding, [&](int x, int y, uint8_t* px) {
      std::memcpy(px, &rgb[(size_t(y) * cover_w + x) * 3], 3);
    });
    std::ofstream(kept, std::ios::binary) << bytes;
    return bytes;
  }();
  return file;
}

// A tile as a stream both decoders read: its units, each after a start code in place of its length.
std::string annex_b(const heif_grid::Coded& tile) {
  std::string s = heif_grid::units(tile);
  for (size_t p = 0; p + 4 <= s.size();) {
    const size_t n = heif_samples::be32_at(s, p);
    s.replace(p, 4, std::string("\0\0\0\1", 4));
    p += 4 + n;
  }
  return s;
}

const std::vector<std::string>& tile_streams() {
  static const std::vector<std::string> tiles = [] {
    std::vector<std::string> out;
    for (const heif_grid::Coded& t : heif_grid::tiles_of(phone_photo())) out.push_back(annex_b(t));
    return out;
  }();
  return tiles;
}

// As libheif's plugin drives libde265: a decoder with one worker thread (or more, which work on
// rows of blocks at once where the coding allows), the units pushed, then decoded to the one picture.
bool decode_libde265(const std::string& s, int workers) {
  de265_decoder_context* d = de265_new_decoder();
  de265_start_worker_threads(d, workers);
  de265_push_data(d, s.data(), int(s.size()), 0, nullptr);
  de265_flush_data(d);
  int more = 1, pictures = 0;
  while (more) {
    more = 0;
    if (de265_decode(d, &more) != DE265_OK) break;
    if (de265_get_next_picture(d)) {
      ++pictures;
      de265_release_next_picture(d);
    }
  }
  de265_free_decoder(d);
  return pictures == 1;
}

// As the plugin drives libavcodec: one thread (or more, which work on rows of blocks at once where
// the coding allows), the stream in one packet, then drained.
bool decode_libavcodec(const std::string& s, int threads) {
  const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_HEVC);
  AVCodecContext* cx = avcodec_alloc_context3(codec);
  cx->thread_count = threads;
  cx->thread_type = FF_THREAD_SLICE;
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  bool ok = avcodec_open2(cx, codec, nullptr) == 0 && av_new_packet(packet, int(s.size())) == 0;
  if (ok) {
    std::memcpy(packet->data, s.data(), s.size());
    ok = avcodec_send_packet(cx, packet) == 0 && avcodec_send_packet(cx, nullptr) == 0 &&
         avcodec_receive_frame(cx, frame) == 0;
  }
  av_frame_free(&frame);
  av_packet_free(&packet);
  avcodec_free_context(&cx);
  return ok;
}

// `threads` threads take tiles in turn, each tile decoded by a decoder of `codec_threads` threads.
void BM_HevcTiles(benchmark::State& state, HevcDecoder decoder, int threads, int codec_threads) {
  const std::vector<std::string>& tiles = tile_streams();
  if (tiles.size() != 48) {
    state.SkipWithError("no photo (no HEVC encoder in libheif?)");
    return;
  }
  auto decode = decoder == HevcDecoder::Libde265 ? decode_libde265 : decode_libavcodec;
  for (auto _ : state) {
    std::atomic<size_t> next{0};
    std::atomic<bool> ok{true};
    auto run = [&] {
      for (size_t i; (i = next++) < tiles.size();)
        if (!decode(tiles[i], codec_threads)) ok = false;
    };
    std::vector<std::thread> others;
    for (int k = 1; k < threads; ++k) others.emplace_back(run);
    run();
    for (std::thread& t : others) t.join();
    if (!ok) state.SkipWithError("a tile did not decode");
  }
}

void BM_HeicPhoto(benchmark::State& state, HevcDecoder decoder, int threads) {
  const std::string& photo = phone_photo();
  for (auto _ : state) {
    media::DecodeResult r =
        media::heif::decode_heif(reinterpret_cast<const uint8_t*>(photo.data()), photo.size(), {decoder, threads});
    if (!r.pixmap || r.pixmap->width != kWidth || r.pixmap->height != kHeight)
      state.SkipWithError(("decode failed: " + r.error).c_str());
  }
  state.counters["file_MB"] = double(photo.size()) / (1 << 20);
}

// The same photo decoded for a 1024 x 768 screen, as the picture store asks: the grid's tiles go
// straight to a quarter of the size (libavcodec only; libde265 decodes it whole).
void BM_HeicPhotoShown(benchmark::State& state, HevcDecoder decoder, int threads) {
  const std::string& photo = phone_photo();
  media::DecodeOptions shown{1024, 768};
  shown.slack = 0.03;
  for (auto _ : state) {
    media::DecodeResult r =
        media::heif::decode_heif(reinterpret_cast<const uint8_t*>(photo.data()), photo.size(), {decoder, threads}, shown);
    if (!r.pixmap) state.SkipWithError(("decode failed: " + r.error).c_str());
  }
}

void BM_HeicBatch20(benchmark::State& state, HevcDecoder decoder, int threads) {
  const std::string dir = std::string(PIPKIN_BUILD_DIR) + "/bench-heic-batch";
  std::filesystem::create_directories(dir);
  std::vector<std::string> names;
  for (int i = 0; i < 20; ++i) {
    names.push_back("photo" + std::to_string(i) + ".heic");
    std::ofstream(dir + "/" + names.back(), std::ios::binary) << phone_photo();
  }
  const media::heif::DecodeSettings before = media::heif::default_settings();
  media::heif::set_default_settings({decoder, threads});
  const unsigned workers = std::max(1u, std::thread::hardware_concurrency());
  for (auto _ : state) {
    app::PictureStore store;
    store.start(dir, names, app::screen_codec(1024, 768), workers);
    store.wait();
    if (store.count() != names.size()) state.SkipWithError("a photo was left out");
  }
  media::heif::set_default_settings(before);
  state.counters["workers"] = workers;
}

constexpr HevcDecoder kDe265 = HevcDecoder::Libde265, kAvcodec = HevcDecoder::Libavcodec;

#define HEIC_BENCH(fn, name, ...)                                                                \
  BENCHMARK_CAPTURE(fn, name, __VA_ARGS__)                                                      \
      ->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()->Repetitions(3)->ReportAggregatesOnly(true)

HEIC_BENCH(BM_HevcTiles, libde265_1thread, kDe265, 1, 1);
HEIC_BENCH(BM_HevcTiles, libde265_2threads, kDe265, 2, 1);
HEIC_BENCH(BM_HevcTiles, libde265_own_2threads, kDe265, 1, 2);
HEIC_BENCH(BM_HevcTiles, libavcodec_1thread, kAvcodec, 1, 1);
HEIC_BENCH(BM_HevcTiles, libavcodec_2threads, kAvcodec, 2, 1);
HEIC_BENCH(BM_HevcTiles, libavcodec_own_2threads, kAvcodec, 1, 2);
HEIC_BENCH(BM_HeicPhoto, libde265_1thread, kDe265, 1);
HEIC_BENCH(BM_HeicPhoto, libde265_2threads, kDe265, 2);
HEIC_BENCH(BM_HeicPhoto, libavcodec_1thread, kAvcodec, 1);
HEIC_BENCH(BM_HeicPhoto, libavcodec_2threads, kAvcodec, 2);
HEIC_BENCH(BM_HeicPhotoShown, libde265_2threads, kDe265, 2);
HEIC_BENCH(BM_HeicPhotoShown, libavcodec_1thread, kAvcodec, 1);
HEIC_BENCH(BM_HeicPhotoShown, libavcodec_2threads, kAvcodec, 2);
HEIC_BENCH(BM_HeicBatch20, libde265_1thread, kDe265, 1)->Iterations(1);
HEIC_BENCH(BM_HeicBatch20, libde265_2threads, kDe265, 2)->Iterations(1);
HEIC_BENCH(BM_HeicBatch20, libde265_shared, kDe265, 0)->Iterations(1);
HEIC_BENCH(BM_HeicBatch20, libavcodec_1thread, kAvcodec, 1)->Iterations(1);
HEIC_BENCH(BM_HeicBatch20, libavcodec_2threads, kAvcodec, 2)->Iterations(1);
HEIC_BENCH(BM_HeicBatch20, libavcodec_shared, kAvcodec, 0)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
