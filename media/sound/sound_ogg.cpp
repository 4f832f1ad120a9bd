// Ogg Vorbis decoding from memory with vorbisfile, converted to 44100 Hz 16-bit stereo.
#include <vorbis/vorbisfile.h>

#include <array>
#include <cstdio>
#include <cstring>

#include "media/sound/sound_internal.hpp"

namespace media {
using namespace sound_detail;

namespace {

// The page checksum: CRC-32 with polynomial 0x04C11DB7, no reflection, starting from 0.
constexpr std::array<uint32_t, 256> make_crc_table() {
  std::array<uint32_t, 256> t{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t r = i << 24;
    for (int b = 0; b < 8; ++b) r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
    t[i] = r;
  }
  return t;
}
constexpr std::array<uint32_t, 256> kCrcTable = make_crc_table();

uint32_t page_crc(const uint8_t* page, size_t len) {
  uint32_t crc = 0;
  for (size_t i = 0; i < len; ++i) {
    const uint8_t byte = (i >= 22 && i < 26) ? 0 : page[i];  // the stored checksum counts as zero
    crc = (crc << 8) ^ kCrcTable[((crc >> 24) ^ byte) & 0xFF];
  }
  return crc;
}

// Walks the pages: each must fit in the file and carry a correct checksum, the pages must follow
// each other with nothing between, and the last one must end the stream. So a truncated or
// damaged file is refused as a whole rather than played with pieces missing.
std::string check_ogg_pages(const uint8_t* data, size_t size) {
  constexpr size_t kHeader = 27;
  constexpr uint8_t kEndOfStream = 0x04;
  size_t pos = 0;
  uint8_t last_flags = 0;
  while (pos < size) {
    const uint8_t* page = data + pos;
    const size_t left = size - pos;
    if (left < kHeader || std::memcmp(page, "OggS", 4) != 0 || page[4] != 0)
      return "damaged or truncated Ogg page";
    const size_t segments = page[26];
    if (left < kHeader + segments) return "truncated Ogg page";
    size_t body = 0;
    for (size_t i = 0; i < segments; ++i) body += page[kHeader + i];
    const size_t len = kHeader + segments + body;
    if (left < len) return "truncated Ogg page";
    if (page_crc(page, len) != le32(page + 22)) return "Ogg page checksum mismatch";
    last_flags = page[5];
    pos += len;
  }
  if (pos == 0) return "no Ogg pages";
  if (!(last_flags & kEndOfStream)) return "the Ogg stream does not end (truncated file)";
  return "";
}

struct MemoryFile {
  const uint8_t* data;
  size_t size;
  size_t pos = 0;
};

size_t mem_read(void* out, size_t item, size_t count, void* source) {
  auto* f = static_cast<MemoryFile*>(source);
  if (item == 0) return 0;
  const size_t items = std::min(count, (f->size - f->pos) / item);
  std::memcpy(out, f->data + f->pos, items * item);
  f->pos += items * item;
  return items;
}

int mem_seek(void* source, ogg_int64_t offset, int whence) {
  auto* f = static_cast<MemoryFile*>(source);
  ogg_int64_t base = 0;
  switch (whence) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = static_cast<ogg_int64_t>(f->pos); break;
    case SEEK_END: base = static_cast<ogg_int64_t>(f->size); break;
    default: return -1;
  }
  // An offset larger than the buffer is out of range from any base; checking it first also keeps
  // the sum below from overflowing.
  if (offset < -static_cast<ogg_int64_t>(f->size) || offset > static_cast<ogg_int64_t>(f->size))
    return -1;
  const ogg_int64_t target = base + offset;
  if (target < 0 || target > static_cast<ogg_int64_t>(f->size)) return -1;
  f->pos = static_cast<size_t>(target);
  return 0;
}

long mem_tell(void* source) { return static_cast<long>(static_cast<MemoryFile*>(source)->pos); }

class VorbisFile {
 public:
  ~VorbisFile() {
    if (open_) ov_clear(&vf_);
  }
  bool open(MemoryFile& mem) {
    const ov_callbacks callbacks{mem_read, mem_seek, nullptr, mem_tell};
    open_ = ov_open_callbacks(&mem, &vf_, nullptr, 0, callbacks) == 0;
    return open_;
  }
  OggVorbis_File* get() { return &vf_; }

 private:
  OggVorbis_File vf_{};
  bool open_ = false;
};

}  // namespace

SoundResult decode_ogg(const uint8_t* data, size_t size) {
  if (std::string why = check_ogg_pages(data, size); !why.empty()) return fail(why);
  MemoryFile mem{data, size};
  VorbisFile file;
  if (!file.open(mem)) return fail("not a readable Ogg Vorbis file");
  const vorbis_info* info = ov_info(file.get(), -1);
  if (!info) return fail("no stream information");
  const int channels = info->channels;
  const long rate = info->rate;
  if (channels < 1 || channels > 2) return fail("unsupported channel count");
  if (rate < kMinRate || rate > kMaxRate) return fail("unsupported sample rate");
  // The longest source that still fits in kMaxSoundFrames once converted to the mix rate.
  const uint64_t max_frames = kMaxSoundFrames * static_cast<uint64_t>(rate) / kMixRate + 1;

  std::vector<int16_t> stereo;
  char buf[8192];
  int holes = 0;
  for (;;) {
    int link = 0;
    const long got = ov_read(file.get(), buf, sizeof buf, 0, 2, 1, &link);
    if (got == 0) break;
    if (got == OV_HOLE) {
      if (++holes > 1000) return fail("too many gaps in the stream");
      continue;
    }
    if (got < 0) return fail("corrupt Ogg Vorbis data");
    const vorbis_info* now = ov_info(file.get(), link);
    if (!now || now->channels != channels || now->rate != rate)
      return fail("stream changes its sample layout");
    const size_t samples = static_cast<size_t>(got) / 2;
    const size_t frames = samples / static_cast<size_t>(channels);
    if (stereo.size() / 2 + frames > max_frames) return fail("sound too long");
    const auto* pcm = reinterpret_cast<const int16_t*>(buf);
    for (size_t f = 0; f < frames; ++f) {
      const int16_t left = pcm[f * channels];
      const int16_t right = channels == 2 ? pcm[f * channels + 1] : left;
      stereo.push_back(left);
      stereo.push_back(right);
    }
  }
  auto sound = std::make_shared<Sound>();
  sound->samples = resample_stereo(stereo, static_cast<int>(rate));
  if (sound->frames() == 0) return fail("no samples");
  if (sound->frames() > kMaxSoundFrames) return fail("sound too long");
  return {sound, ""};
}

}  // namespace media
