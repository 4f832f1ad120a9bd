// Fuzz target for the HEIC decoder alone (media/decode_heif.cpp): any bytes give a pixmap that
// matches its own size or a reason, never a crash, a hang, a read out of bounds or memory past the
// fuzzer's limit (the box walk and the parameter-set reader run before libheif and its decoder).
#include <cstdint>
#include <cstddef>

#include "media/decode.hpp"
#include "tests/fuzz/fuzz_result.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::check_decode([&] { return media::decode_heif(data, size); });
  return 0;
}
