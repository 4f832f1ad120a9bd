// HEVC decoding for libheif by libavcodec (heif_libavcodec.cpp): a decoder plugin that libheif
// calls for each HEVC-coded image it needs (every tile of a grid, an alpha plane), while libheif
// keeps reading the container, pasting tiles, turning, cropping and converting colours.
#pragma once
#include <cstdint>

#include "media/decode_heif.hpp"

struct heif_context;

namespace media::heif {

// Makes libheif decode HEVC with libavcodec in this context (before anything is decoded in it).
// False when this libavcodec has no HEVC decoder, and the context is left with libheif's own.
bool use_libavcodec_hevc(heif_context* ctx);

// The most memory one of the plugin's decoders holds at once while it decodes a frame as the
// parameter set `frame` describes, from coded data of `coded_bytes`: libavcodec's frame (its rows
// and columns padded), its tables per block, the coded data twice (our copy, and libavcodec's
// without emulation-prevention bytes) and its fixed state. Measured on 8 and 10-bit frames of 4:0:0
// to 4:4:4 from 64 x 48 to 4096 x 3072, with room to spare: libavcodec 59 took 0.85 MB at least
// and 2.6 bytes a pixel for 8-bit 4:2:0 (a 512 x 512 tile: 1.5 MB).
uint64_t libavcodec_hevc_bytes(const HevcFrame& frame, uint64_t coded_bytes);

}  // namespace media::heif
