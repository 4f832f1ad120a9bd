// The parts of the HEIC decoder (decode_heif.cpp) that tests and benchmarks reach: the HEVC
// decoder it uses and how many tiles it decodes at once.
#pragma once
#include <cstddef>
#include <cstdint>

#include "media/decode/decode.hpp"

namespace media::heif {

// Which HEVC decoder libheif is given: libavcodec's (heif_libavcodec.hpp), or libheif's own,
// libde265, which is used too when this libavcodec has no HEVC decoder.
enum class HevcDecoder { Libavcodec, Libde265 };

// The most tiles of one grid decoded at once, each on a thread of libheif's own.
inline constexpr int kMaxTileThreads = 2;

struct DecodeSettings {
  HevcDecoder decoder = HevcDecoder::Libavcodec;
  // Tiles decoded at once: 1 decodes them one after another on the calling thread. 0 shares the
  // cores (at most kMaxTileThreads) among the threads busy with pictures (busy_cores()): the
  // picture store loads a picture on every core, and tiles on more threads than the cores would
  // only slow every load (bench/bench_heic_decoders.cpp, HeicBatch20); a picture decoded alone
  // gets them all.
  int tile_threads = 0;
};

// decode_heif with the decoder and threads chosen.
DecodeResult decode_heif(const uint8_t* data, size_t size, const DecodeSettings& settings, const DecodeOptions& opt = {});
// The same, or with preview ({min_width, min_height}) the photo's largest thumbnail of at least that
// size (media::decode_heif_preview).
DecodeResult decode_part(const uint8_t* data, size_t size, const DecodeSettings& settings, const int* preview,
                         const DecodeOptions& opt = {});

// What media::decode_heif (and so decode_image) uses, for the whole process; settings as above
// unless changed (the benchmarks compare).
void set_default_settings(const DecodeSettings& settings);
DecodeSettings default_settings();

}  // namespace media::heif
