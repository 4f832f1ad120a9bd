// The reader of HEVC sequence parameter sets (hevc_sps.cpp): how large a frame a decoder will
// allocate for a coded image, read before any decoder is given it.
#pragma once
#include <cstddef>
#include <cstdint>

namespace media::heif {

// The frame an HEVC sequence parameter set makes the decoder allocate: its size in luma samples,
// chroma layout (0 grey, 1 4:2:0, 2 4:2:2, 3 4:4:4) and the larger of its bit depths.
struct HevcFrame {
  uint32_t width = 0, height = 0;
  uint32_t chroma_format = 1;
  uint32_t bit_depth = 8;
};

enum class SpsRead { Ok, Truncated, Corrupt };

// Reads the head of one SPS NAL unit (its 2-byte NAL header included, emulation-prevention bytes
// still in) as far as the bit depths. Truncated when the unit ends before that; Corrupt when a
// value is out of its range (or the unit is not an SPS). Reads only within [nal, nal + size).
SpsRead read_hevc_sps(const uint8_t* nal, size_t size, HevcFrame& frame);

}  // namespace media::heif
