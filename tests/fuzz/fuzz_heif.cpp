// Fuzz target for the HEIC decoder alone (media/decode/decode_heif.cpp), the photo whole, the photo shown
// at a quarter of its size (a grid's tiles decoded straight to it) and its preview: any
// bytes give a pixmap that matches its own size or a reason, never a crash, a hang, a read out of
// bounds or memory past the fuzzer's limit (the box walk and the parameter-set reader run before
// libheif and its decoder).
#include <cstdint>
#include <cstddef>

#include "media/decode/decode.hpp"
#include "tests/fuzz/fuzz_result.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::check_decode([&] { return media::decode_heif(data, size); });
  fuzz::check_decode([&] { return media::decode_heif(data, size, {40, 25}); });
  fuzz::check_decode([&] { return media::decode_heif_preview(data, size, 64, 48); });
  return 0;
}
