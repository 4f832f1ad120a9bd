// Sound effects: WAV and Ogg Vorbis files decoded in full, mixed on the audio thread. Every play gets a
// fresh channel, so effects overlap. With no sound device, sounds load and play silently.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace media {

constexpr int kMixRate = 44100;  // all sounds are converted to 16-bit stereo at this rate
constexpr size_t kMaxSoundFrames = size_t{kMixRate} * 60;  // one minute is plenty for an effect

struct Sound {
  std::vector<int16_t> samples;  // interleaved stereo
  size_t frames() const { return samples.size() / 2; }
};
using SoundPtr = std::shared_ptr<Sound>;

struct SoundResult {
  SoundPtr sound;
  std::string error;
};

// Pure decoders (bytes to sound or error), bounded in total samples.
SoundResult decode_wav(const uint8_t* data, size_t size);
SoundResult decode_ogg(const uint8_t* data, size_t size);
SoundResult decode_sound(const uint8_t* data, size_t size);  // by content

SoundPtr load_sound(const std::string& path);
void play_sound(const SoundPtr& sound);
// Ends every sound that is playing, at once.
void stop_sounds();

// Opens the audio device (called by open_graphics; silent play when there is none).
void open_audio();
void close_audio();
bool audio_open();
int channels_playing();

// Test seam: mixes the playing channels into out (interleaved stereo frames) as the device would.
void mix_audio(int16_t* out, size_t frames);

}  // namespace media
