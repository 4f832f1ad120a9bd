// Reading the head of an HEVC sequence parameter set: the frame it makes a decoder allocate. Both
// the box walk (heif_boxes.cpp) and the libavcodec plugin (heif_libavcodec.cpp) hold every SPS to
// the pixel limits with it before a decoder sees it.
#include "media/decode/hevc_sps.hpp"

#include <algorithm>

namespace media::heif {
namespace {

// Reads bits most significant first from a NAL unit's payload with emulation prevention removed.
// Any read past the end sets `short_` and yields zeros, so a caller checks once at the end.
class BitReader {
 public:
  BitReader(const uint8_t* d, size_t n) : d_(d), n_(n) {}
  uint32_t u(int bits) {
    uint32_t v = 0;
    for (int i = 0; i < bits; ++i) {
      if (pos_ >= n_ * 8) {
        short_ = true;
        return 0;
      }
      v = v << 1 | ((d_[pos_ >> 3] >> (7 - (pos_ & 7))) & 1u);
      ++pos_;
    }
    return v;
  }
  void skip(size_t bits) {
    if (bits > n_ * 8 - std::min(pos_, n_ * 8)) short_ = true, pos_ = n_ * 8;
    else pos_ += bits;
  }
  // Exp-Golomb: leading zeros, a one, then as many bits. More than 31 zeros is not a 32-bit value.
  uint32_t ue() {
    int zeros = 0;
    while (!short_ && u(1) == 0) {
      if (++zeros > 31) {
        too_big_ = true;
        return 0;
      }
    }
    if (short_) return 0;
    return uint32_t((uint64_t{1} << zeros) - 1 + u(zeros));
  }
  bool ran_short() const { return short_; }
  bool too_big() const { return too_big_; }

 private:
  const uint8_t* d_;
  size_t n_;
  size_t pos_ = 0;
  bool short_ = false;
  bool too_big_ = false;
};

// An SPS head needs fewer than 200 bytes even with every sub-layer present and the longest codes;
// what lies past this is not read.
constexpr size_t kSpsHeadBytes = 512;

}  // namespace

SpsRead read_hevc_sps(const uint8_t* nal, size_t size, HevcFrame& frame) {
  if (size < 2) return SpsRead::Truncated;
  if (((nal[0] >> 1) & 63) != 33) return SpsRead::Corrupt;
  // The payload after the NAL header, without the 03 of every 00 00 03.
  uint8_t rbsp[kSpsHeadBytes];
  size_t n = 0;
  int zeros = 0;
  for (size_t i = 2; i < size && n < sizeof rbsp; ++i) {
    if (zeros >= 2 && nal[i] == 3) {
      zeros = 0;
      continue;
    }
    zeros = nal[i] == 0 ? zeros + 1 : 0;
    rbsp[n++] = nal[i];
  }
  BitReader br(rbsp, n);
  br.u(4);  // sps_video_parameter_set_id
  const uint32_t sub_layers = br.u(3);  // sps_max_sub_layers_minus1
  br.u(1);  // sps_temporal_id_nesting_flag
  // profile_tier_level: the general profile (88 bits) and level (8), then per sub-layer flags.
  br.skip(88 + 8);
  bool profile_present[8] = {}, level_present[8] = {};
  for (uint32_t i = 0; i < sub_layers; ++i) {
    profile_present[i] = br.u(1) != 0;
    level_present[i] = br.u(1) != 0;
  }
  if (sub_layers > 0)
    for (uint32_t i = sub_layers; i < 8; ++i) br.u(2);  // reserved_zero_2bits
  for (uint32_t i = 0; i < sub_layers; ++i) br.skip((profile_present[i] ? 88 : 0) + (level_present[i] ? 8 : 0));
  const uint32_t sps_id = br.ue();
  const uint32_t chroma = br.ue();
  if (chroma == 3) br.u(1);  // separate_colour_plane_flag: three grey planes, as big as 4:4:4
  const uint32_t width = br.ue();
  const uint32_t height = br.ue();
  if (br.u(1)) {  // conformance_window_flag: four offsets
    for (int i = 0; i < 4; ++i) br.ue();
  }
  const uint32_t luma_depth = br.ue() + 8;
  const uint32_t chroma_depth = br.ue() + 8;
  if (br.too_big()) return SpsRead::Corrupt;
  if (br.ran_short()) return SpsRead::Truncated;
  if (sub_layers > 6 || sps_id > 15 || chroma > 3 || luma_depth > 16 || chroma_depth > 16 || width == 0 || height == 0)
    return SpsRead::Corrupt;
  frame.width = width;
  frame.height = height;
  frame.chroma_format = chroma;
  frame.bit_depth = std::max(luma_depth, chroma_depth);
  return SpsRead::Ok;
}

}  // namespace media::heif
