// WAV decoding: the RIFF chunks are checked here, then SDL reads the samples and converts them to
// 44100 Hz 16-bit stereo.
#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "media/sound/sound_internal.hpp"

namespace media {
using namespace sound_detail;

namespace {

struct WavFormat {
  int channels = 0;
  int rate = 0;
  size_t data_bytes = 0;
  size_t block_align = 0;
};

// Walks the RIFF chunks, refusing any whose size runs past the end of the file, and checks that the
// format chunk describes something sensible. SDL only ever sees files that pass.
std::string check_wav_chunks(const uint8_t* data, size_t size, WavFormat& fmt) {
  if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
    return "not a WAV file";
  bool have_fmt = false, have_data = false;
  size_t pos = 12;
  while (pos + 8 <= size) {
    const uint8_t* chunk = data + pos;
    const size_t len = le32(chunk + 4);
    if (len > size - pos - 8) return "a chunk runs past the end of the file";
    const uint8_t* body = chunk + 8;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (have_fmt) return "two format chunks";
      if (len < 16) return "format chunk too short";
      fmt.channels = le16(body + 2);
      fmt.rate = static_cast<int>(std::min<uint32_t>(le32(body + 4), INT32_MAX));
      fmt.block_align = le16(body + 12);
      const int bits = le16(body + 14);
      if (fmt.channels < 1 || fmt.channels > 2) return "unsupported channel count";
      if (fmt.rate < kMinRate || fmt.rate > kMaxRate) return "unsupported sample rate";
      if (fmt.block_align == 0 || bits == 0 || bits > 32) return "bad sample layout";
      have_fmt = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!have_fmt) return "data before the format chunk";
      fmt.data_bytes = len;
      have_data = true;
    }
    pos += 8 + len + (len & 1);  // chunks are padded to an even size
  }
  if (!have_fmt || !have_data) return "missing format or data chunk";
  if (fmt.data_bytes < fmt.block_align) return "no samples";
  return "";
}

struct WavBuffer {
  Uint8* buf = nullptr;
  ~WavBuffer() {
    if (buf) SDL_FreeWAV(buf);
  }
};

}  // namespace

SoundResult decode_wav(const uint8_t* data, size_t size) {
  WavFormat fmt;
  if (std::string why = check_wav_chunks(data, size, fmt); !why.empty()) return fail(why);
  if (size > INT32_MAX) return fail("file too large");

  SDL_RWops* rw = SDL_RWFromConstMem(data, static_cast<int>(size));
  if (!rw) return fail(SDL_GetError());
  SDL_AudioSpec spec;
  WavBuffer wav;
  Uint32 len = 0;
  if (!SDL_LoadWAV_RW(rw, 1, &spec, &wav.buf, &len)) return fail(SDL_GetError());
  if (spec.freq < kMinRate || spec.freq > kMaxRate || spec.channels < 1 || spec.channels > 2)
    return fail("unsupported sample layout");
  const size_t sample_bytes = static_cast<size_t>(SDL_AUDIO_BITSIZE(spec.format)) / 8;
  const size_t frame_bytes = sample_bytes * spec.channels;
  if (frame_bytes == 0) return fail("unsupported sample format");
  const uint64_t frames = len / frame_bytes;
  if (frames == 0) return fail("no samples");
  if (frames_at_mix_rate(frames, spec.freq) > kMaxSoundFrames) return fail("sound too long");

  SDL_AudioCVT cvt;
  if (SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_S16SYS, 2, kMixRate) < 0)
    return fail(SDL_GetError());
  const size_t in_bytes = frames * frame_bytes;
  cvt.len = static_cast<int>(in_bytes);
  std::vector<Uint8> work(in_bytes * static_cast<size_t>(std::max(cvt.len_mult, 1)));
  std::memcpy(work.data(), wav.buf, in_bytes);
  cvt.buf = work.data();
  if (cvt.needed && SDL_ConvertAudio(&cvt) < 0) return fail(SDL_GetError());
  const size_t out_bytes = cvt.needed ? static_cast<size_t>(cvt.len_cvt) : in_bytes;

  auto sound = std::make_shared<Sound>();
  sound->samples.resize(out_bytes / 4 * 2);
  std::memcpy(sound->samples.data(), work.data(), sound->samples.size() * sizeof(int16_t));
  if (sound->frames() == 0) return fail("no samples");
  if (sound->frames() > kMaxSoundFrames) return fail("sound too long");
  return {sound, ""};
}

}  // namespace media
