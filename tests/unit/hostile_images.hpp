// Hostile pictures: files whose declared lengths, counts and sizes lie, for the decoder bound tests
// and the fuzz seeds.
#pragma once
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/unit/sample_images.hpp"

namespace hostile {

using samples::put16;
using samples::put32;
using samples::put32be;

inline const std::string kPngMagic("\x89PNG\r\n\x1a\n", 8);

inline std::string ihdr(uint32_t w, uint32_t h, int depth = 8, int colour = 2) {
  std::string d;
  put32be(d, w);
  put32be(d, h);
  d += char(depth), d += char(colour), d += std::string(3, '\0');
  return samples::png_chunk("IHDR", d);
}

// A chunk header that declares `length` bytes, followed by only a few.
inline std::string lying_chunk(const std::string& type, uint32_t length) {
  std::string s;
  put32be(s, length);
  return s + type + "abcdefgh";
}

inline std::string zlib_of_zeros(size_t n) {
  std::string out;
  z_stream z{};
  deflateInit(&z, 9);
  std::vector<unsigned char> zeros(64 << 10, 0), buf(64 << 10);
  size_t left = n;
  int flush = Z_NO_FLUSH;
  do {
    const size_t take = std::min(left, zeros.size());
    left -= take;
    flush = left == 0 ? Z_FINISH : Z_NO_FLUSH;
    z.next_in = zeros.data();
    z.avail_in = static_cast<uInt>(take);
    do {
      z.next_out = buf.data();
      z.avail_out = static_cast<uInt>(buf.size());
      deflate(&z, flush);
      out.append(reinterpret_cast<char*>(buf.data()), buf.size() - z.avail_out);
    } while (z.avail_out == 0);
  } while (flush != Z_FINISH);
  deflateEnd(&z);
  return out;
}

inline std::string deflated(const std::string& in) {
  uLongf n = compressBound(static_cast<uLong>(in.size()));
  std::string out(n, '\0');
  compress(reinterpret_cast<Bytef*>(out.data()), &n, reinterpret_cast<const Bytef*>(in.data()), static_cast<uLong>(in.size()));
  out.resize(n);
  return out;
}

// A good 2 x 2 picture with `extra` chunks placed between IHDR and IDAT.
inline std::string small_png_with(const std::string& extra) {
  samples::PngSpec s;
  s.width = s.height = 2;
  const std::string good = samples::encode_png(s, [](int x, int y, uint8_t* px) { px[0] = px[1] = px[2] = uint8_t(x + y); });
  return good.substr(0, 33) + extra + good.substr(33);
}

// A picture whose rows all inflate from a tiny stream: the largest picture the limits allow.
inline std::string png_of_zeros(uint32_t w, uint32_t h, int colour, int channels) {
  const std::string idat = zlib_of_zeros((size_t{w} * channels + 1) * h);
  std::string s = kPngMagic + ihdr(w, h, 8, colour);
  for (size_t at = 0; at < idat.size(); at += 1 << 20) s += samples::png_chunk("IDAT", idat.substr(at, 1 << 20));
  return s + samples::png_chunk("IEND", "");
}

inline size_t find_marker(const std::string& jpg, uint8_t a, uint8_t b = 0) {
  for (size_t p = 2; p + 1 < jpg.size(); ++p)
    if (uint8_t(jpg[p]) == 0xFF && (uint8_t(jpg[p + 1]) == a || (b && uint8_t(jpg[p + 1]) == b))) return p;
  return std::string::npos;
}

inline std::string with_frame_size(std::string jpg, uint16_t w, uint16_t h) {
  const size_t sof = find_marker(jpg, 0xC0, 0xC2);
  jpg[sof + 5] = char(h >> 8), jpg[sof + 6] = char(h & 255);
  jpg[sof + 7] = char(w >> 8), jpg[sof + 8] = char(w & 255);
  return jpg;
}

inline std::string segment(uint8_t marker, const std::string& body) {
  std::string s{char(0xFF), char(marker)};
  s += char((body.size() + 2) >> 8), s += char((body.size() + 2) & 255);
  return s + body;
}

// Segments inserted right after SOI.
inline std::string jpeg_with(const std::string& segments, const std::string& jpg) { return jpg.substr(0, 2) + segments + jpg.substr(2); }

// An EXIF block whose first directory lies: 65535 entries where two are present, a tag with two
// thousand million values, and directory links that point back at themselves.
inline std::string lying_exif() {
  std::string s("Exif\0\0II", 8);
  put16(s, 42);
  put32(s, 8);
  put16(s, 0xFFFF);                    // entry count
  put16(s, 0x0112), put16(s, 3), put32(s, 0x7FFFFFFF), put32(s, 0x10);  // orientation, huge count
  put16(s, 0x8769), put16(s, 4), put32(s, 1), put32(s, 8);              // EXIF directory: itself
  put16(s, 0x010F), put16(s, 2), put32(s, 0xFFFFFFF0u), put32(s, 0x20);  // make: huge text
  put32(s, 8);                         // next directory: itself
  return s;
}

inline std::string bmp_header(int32_t w, int32_t h, int bpp, uint32_t compression, uint32_t colours, uint32_t offset,
                       uint32_t header_size = 40) {
  std::string s = "BM";
  put32(s, 0);
  put32(s, 0);
  put32(s, offset);
  put32(s, header_size);
  put32(s, static_cast<uint32_t>(w));
  put32(s, static_cast<uint32_t>(h));
  put16(s, 1);
  put16(s, bpp);
  put32(s, compression);
  put32(s, 0);
  put32(s, 2835), put32(s, 2835);
  put32(s, colours);
  put32(s, 0);
  return s;
}

}  // namespace hostile
