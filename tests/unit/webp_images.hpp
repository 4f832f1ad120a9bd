// WebP test pictures: good ones made with libwebp's encoder, and files put together chunk by chunk
// (extended headers, animations, lying sizes) for the decoder tests and the fuzz seeds.
#pragma once
#include <webp/encode.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/unit/sample_images.hpp"

namespace webp_images {

inline void put24(std::string& s, uint32_t v) {
  for (int i = 0; i < 3; ++i) s += char((v >> (8 * i)) & 255);
}

inline std::string chunk(const std::string& fourcc, const std::string& payload) {
  std::string s = fourcc;
  samples::put32(s, static_cast<uint32_t>(payload.size()));
  s += payload;
  if (payload.size() & 1) s += '\0';
  return s;
}

// A RIFF file around `chunks`, its size right unless `riff_size` says otherwise.
inline std::string riff(const std::string& chunks, int64_t riff_size = -1) {
  std::string s = "RIFF";
  samples::put32(s, riff_size >= 0 ? static_cast<uint32_t>(riff_size) : static_cast<uint32_t>(chunks.size() + 4));
  return s + "WEBP" + chunks;
}

// The extended header: flags (0x10 alpha, 0x02 animation) and the canvas size.
inline std::string vp8x(uint8_t flags, uint32_t w, uint32_t h) {
  std::string p(1, char(flags));
  p += std::string(3, '\0');
  put24(p, w - 1);
  put24(p, h - 1);
  return chunk("VP8X", p);
}

// One animation frame at (x, y) (even numbers) holding a still picture's own chunks.
inline std::string anmf(uint32_t x, uint32_t y, uint32_t w, uint32_t h, const std::string& frame_chunks) {
  std::string p;
  put24(p, x / 2);
  put24(p, y / 2);
  put24(p, w - 1);
  put24(p, h - 1);
  put24(p, 100);  // duration, ms
  p += '\0';      // blend, keep
  return chunk("ANMF", p + frame_chunks);
}

// A simple lossy file whose frame header says w x h (at most 16383 each).
inline std::string with_vp8_size(std::string file, uint32_t w, uint32_t h) {
  // "VP8 " and its length, the frame tag (3 bytes), the start code (3): then width and height.
  file[26] = char(w & 255), file[27] = char((w >> 8) & 0x3F);
  file[28] = char(h & 255), file[29] = char((h >> 8) & 0x3F);
  return file;
}

// A simple lossless file whose header says w x h (at most 16384 each).
inline std::string with_vp8l_size(std::string file, uint32_t w, uint32_t h) {
  // "VP8L" and its length, the signature byte: then 14 bits of width - 1, 14 of height - 1.
  const uint32_t old = uint32_t(uint8_t(file[21])) | uint32_t(uint8_t(file[22])) << 8 |
                       uint32_t(uint8_t(file[23])) << 16 | uint32_t(uint8_t(file[24])) << 24;
  const uint32_t bits = (old & 0xF0000000u) | (w - 1) | (h - 1) << 14;
  for (int i = 0; i < 4; ++i) file[21 + i] = char((bits >> (8 * i)) & 255);
  return file;
}

inline std::string anim() {
  std::string p;
  samples::put32(p, 0xFF000000u);  // background
  p += std::string(2, '\0');       // loop forever
  return chunk("ANIM", p);
}

// The chunks after the RIFF header of a simple file (one VP8 or VP8L chunk).
inline std::string body(const std::string& file) { return file.substr(12); }

// Pixels made by fn(x, y, px) with `channels` bytes each.
inline std::vector<uint8_t> pixels(int w, int h, int channels, const std::function<void(int, int, uint8_t*)>& fn) {
  std::vector<uint8_t> v(static_cast<size_t>(w) * h * channels);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) fn(x, y, &v[(static_cast<size_t>(y) * w + x) * channels]);
  return v;
}

// Lossy when quality >= 0, lossless when quality < 0; RGBA when channels is 4.
inline std::string encode(int w, int h, int channels, const std::vector<uint8_t>& px, float quality) {
  uint8_t* out = nullptr;
  size_t n = 0;
  const int stride = w * channels;
  if (quality < 0)
    n = channels == 4 ? WebPEncodeLosslessRGBA(px.data(), w, h, stride, &out) : WebPEncodeLosslessRGB(px.data(), w, h, stride, &out);
  else
    n = channels == 4 ? WebPEncodeRGBA(px.data(), w, h, stride, quality, &out) : WebPEncodeRGB(px.data(), w, h, stride, quality, &out);
  std::string s(reinterpret_cast<const char*>(out), n);
  WebPFree(out);
  return s;
}

inline std::string photo(int w, int h, float quality) {
  return encode(w, h, 3, pixels(w, h, 3, [](int x, int y, uint8_t* p) { samples::photo_pixel(x, y, p); }), quality);
}

}  // namespace webp_images
