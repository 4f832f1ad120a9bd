#include "tools/kit/sound_out.hpp"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "tools/kit/canvas.hpp"

namespace gen {
namespace {

bool write_bytes(const fs::path& path, const std::vector<unsigned char>& bytes) {
  if (!make_parent(path)) return false;
  FILE* f = std::fopen(path.c_str(), "wb");
  bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (f && std::fclose(f) != 0) ok = false;
  if (!ok) std::fprintf(stderr, "pipkin_gen: cannot write %s\n", path.c_str());
  return ok;
}

bool valid(const fs::path& path, const SoundBuffer& sound) {
  if ((sound.channels == 1 || sound.channels == 2) && !sound.samples.empty() &&
      sound.samples.size() % sound.channels == 0)
    return true;
  std::fprintf(stderr, "pipkin_gen: %s: bad sound buffer\n", path.c_str());
  return false;
}

}  // namespace

bool write_wav(const fs::path& path, const SoundBuffer& sound) {
  if (!valid(path, sound)) return false;
  const uint32_t data_bytes = static_cast<uint32_t>(sound.samples.size() * 2);
  std::vector<unsigned char> out;
  out.reserve(44 + data_bytes);
  auto text = [&](const char* s) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(s[i]));
  };
  auto u32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back((v >> (8 * i)) & 255);
  };
  auto u16 = [&](uint32_t v) {
    out.push_back(v & 255);
    out.push_back((v >> 8) & 255);
  };
  text("RIFF");
  u32(36 + data_bytes);
  text("WAVE");
  text("fmt ");
  u32(16);
  u16(1);  // PCM
  u16(sound.channels);
  u32(kSoundRate);
  u32(kSoundRate * sound.channels * 2);
  u16(sound.channels * 2);
  u16(16);
  text("data");
  u32(data_bytes);
  for (float s : sound.samples) {
    long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
    u16(static_cast<uint16_t>(static_cast<int16_t>(v)));
  }
  return write_bytes(path, out);
}

namespace {

// One Ogg Vorbis stream being encoded into memory; the library state is released on destruction.
class VorbisStream {
 public:
  VorbisStream(int channels, float quality, const std::string& title) {
    vorbis_info_init(&info_);
    if (vorbis_encode_init_vbr(&info_, channels, kSoundRate, quality) != 0) return;
    vorbis_comment_init(&comment_);
    vorbis_comment_add_tag(&comment_, "TITLE", title.c_str());
    vorbis_comment_add_tag(&comment_, "ARTIST", "Pipkin");
    vorbis_analysis_init(&dsp_, &info_);
    vorbis_block_init(&dsp_, &block_);
    ogg_stream_init(&stream_, 0x50706b6e);  // a fixed serial number keeps the bytes the same every run
    ready_ = true;

    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&dsp_, &comment_, &header, &comments, &codebooks);
    ogg_stream_packetin(&stream_, &header);
    ogg_stream_packetin(&stream_, &comments);
    ogg_stream_packetin(&stream_, &codebooks);
    flush();  // the headers stand on pages of their own
  }
  ~VorbisStream() {
    if (ready_) {
      ogg_stream_clear(&stream_);
      vorbis_block_clear(&block_);
      vorbis_dsp_clear(&dsp_);
      vorbis_comment_clear(&comment_);
    }
    vorbis_info_clear(&info_);
  }
  VorbisStream(const VorbisStream&) = delete;
  VorbisStream& operator=(const VorbisStream&) = delete;

  bool ready() const { return ready_; }

  // Encodes every frame, then ends the stream; bytes() then holds the whole file.
  void encode(const SoundBuffer& sound) {
    const size_t frames = sound.frames(), step = 1024;
    for (size_t at = 0; at < frames; at += step) {
      size_t n = std::min(step, frames - at);
      float** buffer = vorbis_analysis_buffer(&dsp_, static_cast<int>(n));
      for (size_t i = 0; i < n; ++i)
        for (int c = 0; c < sound.channels; ++c) buffer[c][i] = sound.samples[(at + i) * sound.channels + c];
      vorbis_analysis_wrote(&dsp_, static_cast<int>(n));
      drain();
    }
    vorbis_analysis_wrote(&dsp_, 0);  // end of stream
    drain();
    flush();
  }

  const std::vector<unsigned char>& bytes() const { return bytes_; }

 private:
  void take(const ogg_page& page) {
    bytes_.insert(bytes_.end(), page.header, page.header + page.header_len);
    bytes_.insert(bytes_.end(), page.body, page.body + page.body_len);
  }
  void flush() {
    ogg_page page;
    while (ogg_stream_flush(&stream_, &page) != 0) take(page);
  }
  void drain() {
    while (vorbis_analysis_blockout(&dsp_, &block_) == 1) {
      vorbis_analysis(&block_, nullptr);
      vorbis_bitrate_addblock(&block_);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&dsp_, &packet)) {
        ogg_stream_packetin(&stream_, &packet);
        ogg_page page;
        while (ogg_stream_pageout(&stream_, &page) != 0) take(page);
      }
    }
  }

  vorbis_info info_;
  vorbis_comment comment_;
  vorbis_dsp_state dsp_;
  vorbis_block block_;
  ogg_stream_state stream_;
  bool ready_ = false;
  std::vector<unsigned char> bytes_;
};

}  // namespace

bool write_ogg(const fs::path& path, const SoundBuffer& sound, float quality) {
  if (!valid(path, sound)) return false;
  VorbisStream stream(sound.channels, quality, path.stem().string());
  if (!stream.ready()) {
    std::fprintf(stderr, "pipkin_gen: %s: the Vorbis encoder refused its settings\n", path.c_str());
    return false;
  }
  stream.encode(sound);
  return write_bytes(path, stream.bytes());
}

}  // namespace gen
