// Fuzz target: any bytes through the picture decoders must give a pixmap that matches its own size
// or a reason, never crash, hang or read out of bounds.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "media/decode/decode.hpp"
#include "tests/fuzz/fuzz_result.hpp"

namespace {

uint32_t crc32(const uint8_t* p, size_t n) {
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
  }
  return ~c;
}

// Mutated PNG chunks almost never keep a valid CRC, which would stop every input at the first
// chunk. Writing fresh CRCs lets the fuzzer reach the image data itself.
void fix_png_crcs(std::vector<uint8_t>& b) {
  for (size_t pos = 8; pos + 12 <= b.size();) {
    const size_t len = size_t{b[pos]} << 24 | size_t{b[pos + 1]} << 16 | size_t{b[pos + 2]} << 8 | b[pos + 3];
    if (len > b.size() - pos - 12) return;
    const uint32_t crc = crc32(&b[pos + 4], len + 4);
    for (int i = 0; i < 4; ++i) b[pos + 8 + len + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    pos += 12 + len;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  if (size >= 8 && std::memcmp(data, "\x89PNG\r\n\x1a\n", 8) == 0) fix_png_crcs(bytes);
  // Odd sizes ask for reduced-scale decoding, so that path is covered too.
  media::DecodeOptions opt;
  if (size & 1) opt = {64, 48};
  fuzz::check_decode([&] { return media::decode_image(bytes.data(), bytes.size(), opt); });
  return 0;
}
