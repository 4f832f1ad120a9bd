// Fuzz target: any bytes through the sound decoders must either decode within the limits or be
// refused with a reason, never crash, hang or read out of bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "media/sound.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const media::SoundResult r = media::decode_sound(data, size);
  if (r.sound) {
    if (r.sound->frames() == 0 || r.sound->frames() > media::kMaxSoundFrames) std::abort();
    if (r.sound->samples.size() % 2 != 0) std::abort();
  } else if (r.error.empty()) {
    std::abort();
  }
  return 0;
}
