// Sound files: the decoder chosen by content, loading from disk, and the shared resampler.
#include <algorithm>
#include <cstring>

#include "media/decode/decode.hpp"
#include "media/files/log.hpp"
#include "media/sound/sound_internal.hpp"

namespace media {

namespace sound_detail {

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

}  // namespace sound_detail

SoundResult decode_sound(const uint8_t* data, size_t size) {
  if (size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WAVE", 4) == 0)
    return decode_wav(data, size);
  if (size >= 4 && std::memcmp(data, "OggS", 4) == 0) return decode_ogg(data, size);
  return sound_detail::fail("not a WAV or Ogg Vorbis file");
}

SoundPtr load_sound(const std::string& path) {
  constexpr size_t kMaxSoundFileBytes = size_t{64} << 20;
  std::string bytes, error;
  if (!read_whole_file(path, bytes, error, kMaxSoundFileBytes)) {
    log_error("sound", path + ": " + error);
    return nullptr;
  }
  SoundResult r = decode_sound(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  if (!r.sound) log_error("sound", path + ": " + r.error);
  return r.sound;
}

}  // namespace media
