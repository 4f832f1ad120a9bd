// HEVC decoding for libheif by libavcodec (heif_libavcodec.cpp): a decoder plugin that libheif
// calls for each HEVC-coded image it needs (every tile of a grid, an alpha plane), while libheif
// keeps reading the container, pasting tiles, turning, cropping and converting colours.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>

#include "media/decode/hevc_sps.hpp"

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

// One decoded 8-bit 4:2:0 picture: its Y, Cb and Cr planes, and the colours its stream states
// (matrix: the stream's matrix coefficients, 2 when it states none).
struct HevcPlanes {
  const uint8_t* plane[3] = {};
  int stride[3] = {};
  int width = 0, height = 0;
  int matrix = 2;
  bool full_range = false;
};

enum class HevcDecode { Ok, Damaged, Other };

// Decodes one HEVC-coded image (its configuration's units, then its data, each unit after a 4-byte
// length) on the calling thread, with the same checks and strictness as the plugin, and hands its
// planes to `use` while they exist. Damaged when the plugin would refuse the data; Other when the
// picture is not 8-bit 4:2:0 or libavcodec has no HEVC decoder (the caller decodes it otherwise).
HevcDecode decode_hevc_420(const uint8_t* units, size_t size, const std::function<void(const HevcPlanes&)>& use);

}  // namespace media::heif
