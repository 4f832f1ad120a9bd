// Helpers shared by the sound decoders (not part of the media API).
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "media/sound/sound.hpp"

namespace media::sound_detail {

constexpr int kMinRate = 4000;
constexpr int kMaxRate = 192000;

inline SoundResult fail(std::string why) { return {nullptr, std::move(why)}; }

inline uint32_t le32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
inline uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// Frames at the mix rate that `frames` frames at `rate` become.
inline uint64_t frames_at_mix_rate(uint64_t frames, int rate) {
  return frames * kMixRate / static_cast<uint64_t>(rate);
}

// Linear interpolation of interleaved stereo from `rate` to the mix rate.
std::vector<int16_t> resample_stereo(const std::vector<int16_t>& in, int rate);

}  // namespace media::sound_detail
