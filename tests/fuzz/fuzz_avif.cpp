// Fuzz target: any bytes through the AVIF decoder (and so through libavif and its AV1 decoder)
// must give a pixmap that matches its own size or a reason, never crash, hang or read out of
// bounds, and use no more memory than it reserved from the decode budget and give all of it back.
#include <cstdint>

#include "media/decode/decode.hpp"
#include "tests/fuzz/fuzz_result.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::check_decode([&] { return media::decode_avif(data, size); });
  return 0;
}
