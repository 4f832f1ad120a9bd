// Writing synthesised sounds: float samples (-1 to 1, interleaved when stereo) at 44100 Hz, saved
// as 16-bit PCM WAV or as Ogg Vorbis. Both writers are deterministic: the same samples always give
// the same bytes.
#pragma once
#include <vector>

#include "tools/kit/gen.hpp"

namespace gen {

constexpr int kSoundRate = 44100;

struct SoundBuffer {
  int channels = 1;
  std::vector<float> samples;  // interleaved frames
  size_t frames() const { return samples.size() / channels; }
};

bool write_wav(const fs::path& path, const SoundBuffer& sound);
bool write_ogg(const fs::path& path, const SoundBuffer& sound, float quality = 0.5f);

}  // namespace gen
