// The mixer: playing channels summed into the audio device on SDL's audio thread. play_sound only
// appends a channel under a short lock, so it is cheap enough to call many times a second.
#include <SDL.h>

#include <algorithm>
#include <mutex>
#include <vector>

#include "media/files/log.hpp"
#include "media/sound/sound.hpp"

namespace media {
namespace {

constexpr size_t kMaxChannels = 32;  // past this the oldest channel is dropped
constexpr int kDeviceFrames = 1024;

struct Channel {
  SoundPtr sound;
  size_t pos = 0;  // next frame to play
};

struct Mixer {
  std::mutex lock;
  std::vector<Channel> channels;
  SDL_AudioDeviceID device = 0;
};

// Never destroyed: the audio thread may still call in while the program's statics are torn down.
Mixer& mixer() {
  static Mixer* m = new Mixer;
  return *m;
}

void audio_callback(void*, Uint8* stream, int len) {
  mix_audio(reinterpret_cast<int16_t*>(stream), static_cast<size_t>(len) / (2 * sizeof(int16_t)));
}

}  // namespace

void open_audio() {
  Mixer& m = mixer();
  if (m.device) return;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    log_error("sound", std::string("no audio, sounds play silently: ") + SDL_GetError());
    return;
  }
  SDL_AudioSpec want{};
  want.freq = kMixRate;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = kDeviceFrames;
  want.callback = audio_callback;
  SDL_AudioSpec have{};
  const SDL_AudioDeviceID dev = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (!dev) {
    log_error("sound", std::string("no audio device, sounds play silently: ") + SDL_GetError());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return;
  }
  m.device = dev;
  SDL_PauseAudioDevice(dev, 0);
}

void close_audio() {
  Mixer& m = mixer();
  if (m.device) {
    SDL_CloseAudioDevice(m.device);  // waits for a running callback to finish
    m.device = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  std::lock_guard<std::mutex> guard(m.lock);
  m.channels.clear();
}

bool audio_open() { return mixer().device != 0; }

int channels_playing() {
  Mixer& m = mixer();
  std::lock_guard<std::mutex> guard(m.lock);
  return static_cast<int>(m.channels.size());
}

void play_sound(const SoundPtr& sound) {
  if (!sound || sound->frames() == 0) return;
  Mixer& m = mixer();
  std::lock_guard<std::mutex> guard(m.lock);
  if (m.channels.size() >= kMaxChannels) m.channels.erase(m.channels.begin());
  m.channels.push_back(Channel{sound, 0});
}

void stop_sounds() {
  Mixer& m = mixer();
  std::lock_guard<std::mutex> guard(m.lock);
  m.channels.clear();
}

void mix_audio(int16_t* out, size_t frames) {
  Mixer& m = mixer();
  constexpr size_t kBlock = 256;  // frames summed at a time in 32 bits
  int32_t acc[kBlock * 2];
  std::lock_guard<std::mutex> guard(m.lock);
  for (size_t done = 0; done < frames; done += kBlock) {
    const size_t n = std::min(kBlock, frames - done);
    std::fill(acc, acc + n * 2, 0);
    for (Channel& ch : m.channels) {
      const std::vector<int16_t>& s = ch.sound->samples;
      const size_t take = std::min(n, ch.sound->frames() - ch.pos);
      const int16_t* src = s.data() + ch.pos * 2;
      for (size_t i = 0; i < take * 2; ++i) acc[i] += src[i];
      ch.pos += take;
    }
    int16_t* dst = out + done * 2;
    for (size_t i = 0; i < n * 2; ++i)
      dst[i] = static_cast<int16_t>(std::clamp(acc[i], -32768, 32767));
  }
  std::erase_if(m.channels, [](const Channel& ch) { return ch.pos >= ch.sound->frames(); });
}

}  // namespace media
