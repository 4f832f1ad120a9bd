// What every picture fuzz target asks of a decoder's answer: a pixmap that matches its own size
// and the limits, or a reason; never both, never neither. Aborts (a finding) otherwise.
#pragma once
#include <cstdlib>

#include "media/decode.hpp"

namespace fuzz {

inline void check_result(const media::DecodeResult& r) {
  if (r.pixmap) {
    const media::Pixmap& p = *r.pixmap;
    const int bpp = media::bytes_per_pixel(p.format);
    if (bpp == 0 || !media::image_size_ok(p.width, p.height) || p.pitch < p.width * bpp ||
        p.pixels.size() != static_cast<size_t>(p.pitch) * p.height || !r.error.empty())
      std::abort();
    // Only the pixels stay reserved once a decode is done.
    if (r.lease.bytes() != p.pixels.size()) std::abort();
    volatile uint32_t sink = media::read_pixel(p, p.width - 1, p.height - 1);
    (void)sink;
  } else if (r.error.empty() || r.lease) {  // a refusal keeps nothing reserved
    std::abort();
  }
  if (r.orientation < 1 || r.orientation > 8) std::abort();
}

}  // namespace fuzz
