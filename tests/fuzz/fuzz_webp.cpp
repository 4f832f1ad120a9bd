// Fuzz target for the WebP decoder alone (media/decode/decode_webp.cpp): any bytes give a pixmap that
// matches its own size or a reason, never a crash, a hang, a read out of bounds or memory past the
// fuzzer's limit.
#include <cstdint>
#include <cstddef>

#include "media/decode/decode.hpp"
#include "tests/fuzz/fuzz_result.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Odd sizes ask for decoding scaled down to cover 64 x 48, so that path is covered too.
  media::DecodeOptions opt;
  if (size & 1) opt = {64, 48};
  fuzz::check_decode([&] { return media::decode_webp(data, size, opt); });
  return 0;
}
