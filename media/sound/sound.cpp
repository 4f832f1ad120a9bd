// Sound files: the decoder chosen by content, and loading from disk.
#include "media/sound/sound.hpp"

#include <cstring>

#include "media/decode/decode.hpp"
#include "media/files/log.hpp"

namespace media {

SoundResult decode_sound(const uint8_t* data, size_t size) {
  if (size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WAVE", 4) == 0)
    return decode_wav(data, size);
  if (size >= 4 && std::memcmp(data, "OggS", 4) == 0) return decode_ogg(data, size);
  return {nullptr, "not a WAV or Ogg Vorbis file"};
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
