// Fuzz target: any bytes through the AVIF decoder (and so through libavif and its AV1 decoder)
// must give a pixmap that matches its own size or a reason, never crash, hang or read out of
// bounds, and give back all it reserved from the decode budget.
#include <cstdlib>
#include <cstring>

#include "media/decode.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  {
    media::DecodeResult r = media::decode_avif(data, size);
    if (r.pixmap) {
      const media::Pixmap& p = *r.pixmap;
      const int bpp = media::bytes_per_pixel(p.format);
      if (bpp == 0 || !media::image_size_ok(p.width, p.height) || p.pitch < p.width * bpp ||
          p.pixels.size() != static_cast<size_t>(p.pitch) * p.height || !r.error.empty() ||
          r.lease.bytes() != p.pixels.size())
        std::abort();
      volatile uint32_t sink = media::read_pixel(p, p.width - 1, p.height - 1);
      (void)sink;
    } else if (r.error.empty() || r.lease) {
      std::abort();
    }
    if (r.orientation < 1 || r.orientation > 8) std::abort();
  }
  if (media::decode_budget().in_use() != 0) std::abort();
  return 0;
}
