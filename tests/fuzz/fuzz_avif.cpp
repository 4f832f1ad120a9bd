// Fuzz target: any bytes through the AVIF decoder (and so through libavif and its AV1 decoder)
// must give a pixmap that matches its own size or a reason, never crash, hang or read out of
// bounds, and give back all it reserved from the decode budget.
#include <cstdint>
#include <cstdlib>

#include "media/decode.hpp"
#include "media/decode_budget.hpp"
#include "tests/fuzz/fuzz_result.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::check_result(media::decode_avif(data, size));
  if (media::decode_budget().in_use() != 0) std::abort();
  return 0;
}
