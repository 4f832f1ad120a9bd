// The resampler the sound decoders share: every sound is mixed at one rate.
#include "media/sound/sound_internal.hpp"

#include <algorithm>

namespace media::sound_detail {

// Linear interpolation of interleaved stereo from `rate` to 44100 Hz, in exact integer steps.
std::vector<int16_t> resample_stereo(const std::vector<int16_t>& in, int rate) {
  const uint64_t n = in.size() / 2;
  if (rate == kMixRate || n == 0) return in;
  const uint64_t m = frames_at_mix_rate(n, rate);
  std::vector<int16_t> out(m * 2);
  for (uint64_t j = 0; j < m; ++j) {
    const uint64_t pos = j * static_cast<uint64_t>(rate);
    const uint64_t i = pos / kMixRate;
    const int64_t frac = static_cast<int64_t>(pos % kMixRate);
    const uint64_t k = std::min(i + 1, n - 1);
    for (int c = 0; c < 2; ++c) {
      const int64_t a = in[i * 2 + c];
      const int64_t b = in[k * 2 + c];
      out[j * 2 + c] = static_cast<int16_t>((a * (kMixRate - frac) + b * frac) / kMixRate);
    }
  }
  return out;
}

}  // namespace media::sound_detail
