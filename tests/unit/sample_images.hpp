// Encoders for test pictures: PNG and JPEG through libpng and libjpeg, BMP and raw PNG chunks by
// hand, so tests, benchmarks and the fuzz seed maker can build good files and then damage them.
#pragma once
#include <png.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "tests/support/bytes.hpp"

namespace samples {

// Fills one pixel of `channels` bytes at (x, y).
using PixelFn = std::function<void(int x, int y, uint8_t* px)>;

using test_bytes::put16;
using test_bytes::put32;
using test_bytes::put32be;

inline uint32_t crc32(const std::string& bytes) {
  uint32_t c = 0xFFFFFFFFu;
  for (unsigned char b : bytes) {
    c ^= b;
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
  }
  return ~c;
}

// One PNG chunk: length, type, data, CRC over type and data.
inline std::string png_chunk(const std::string& type, const std::string& data) {
  std::string s;
  put32be(s, static_cast<uint32_t>(data.size()));
  std::string body = type + data;
  s += body;
  put32be(s, crc32(body));
  return s;
}

struct PngSpec {
  int width = 16, height = 16;
  int colour_type = PNG_COLOR_TYPE_RGB;
  int bit_depth = 8;
  bool interlaced = false;
  std::vector<png_color> palette;  // for palette images
  std::vector<uint8_t> trns;       // palette alphas
};

// Pixel bytes are written as given: channels x (bit_depth / 8) bytes, or one index/grey byte per
// pixel for depths below 8 (packed here).
inline std::string encode_png(const PngSpec& spec, const PixelFn& fill) {
  struct Out {
    std::string bytes;
  } out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  int channels = 1;
  switch (spec.colour_type) {
    case PNG_COLOR_TYPE_RGB: channels = 3; break;
    case PNG_COLOR_TYPE_RGB_ALPHA: channels = 4; break;
    case PNG_COLOR_TYPE_GRAY_ALPHA: channels = 2; break;
    default: channels = 1;
  }
  const int bytes_per_sample = spec.bit_depth == 16 ? 2 : 1;
  const size_t unpacked = static_cast<size_t>(spec.width) * channels * bytes_per_sample;
  std::vector<std::vector<uint8_t>> rows(spec.height, std::vector<uint8_t>(unpacked + 8));
  for (int y = 0; y < spec.height; ++y) {
    std::vector<uint8_t> px(unpacked);
    for (int x = 0; x < spec.width; ++x) fill(x, y, px.data() + static_cast<size_t>(x) * channels * bytes_per_sample);
    if (spec.bit_depth < 8) {
      std::fill(rows[y].begin(), rows[y].end(), 0);
      const int per = 8 / spec.bit_depth;
      for (int x = 0; x < spec.width; ++x)
        rows[y][x / per] |= static_cast<uint8_t>(px[x] << (8 - spec.bit_depth * (x % per + 1)));
    } else {
      std::copy(px.begin(), px.end(), rows[y].begin());
    }
  }
  std::vector<png_bytep> ptrs;
  for (auto& r : rows) ptrs.push_back(r.data());
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(
      png, &out, [](png_structp p, png_bytep d, size_t n) {
        static_cast<Out*>(png_get_io_ptr(p))->bytes.append(reinterpret_cast<const char*>(d), n);
      },
      nullptr);
  png_set_IHDR(png, info, spec.width, spec.height, spec.bit_depth, spec.colour_type,
               spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!spec.palette.empty())
    png_set_PLTE(png, info, spec.palette.data(), static_cast<int>(spec.palette.size()));
  if (!spec.trns.empty())
    png_set_tRNS(png, info, spec.trns.data(), static_cast<int>(spec.trns.size()), nullptr);
  png_write_info(png, info);
  png_write_image(png, ptrs.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out.bytes;
}

struct JpegSpec {
  int width = 16, height = 16;
  int components = 3;  // 1 grey, 3 RGB, 4 CMYK
  int quality = 90;
  bool progressive = false;
  bool adobe_cmyk = true;      // write the Adobe marker (inverted CMYK) for 4 components
  std::string app1;            // raw APP1 payload, e.g. "Exif\0\0" + TIFF data
  std::vector<jpeg_scan_info> scans;  // a progression of our own when not empty
  int restart_interval = 0;    // restart markers every so many MCU rows when > 0
  bool arithmetic = false;     // arithmetic coding instead of Huffman
  bool full_chroma = false;    // 4:4:4 instead of the default 4:2:0
};

inline std::string encode_jpeg(const JpegSpec& spec, const PixelFn& fill) {
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* buf = nullptr;
  unsigned long len = 0;
  jpeg_mem_dest(&c, &buf, &len);
  c.image_width = spec.width;
  c.image_height = spec.height;
  c.input_components = spec.components;
  c.in_color_space = spec.components == 1 ? JCS_GRAYSCALE : spec.components == 4 ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&c);
  if (spec.components == 4) jpeg_set_colorspace(&c, JCS_CMYK);
  c.write_Adobe_marker = spec.components == 4 ? spec.adobe_cmyk : FALSE;
  jpeg_set_quality(&c, spec.quality, TRUE);
  if (spec.progressive) jpeg_simple_progression(&c);
  c.restart_in_rows = spec.restart_interval;
  c.arith_code = spec.arithmetic ? TRUE : FALSE;
  if (spec.full_chroma) c.comp_info[0].h_samp_factor = c.comp_info[0].v_samp_factor = 1;
  if (!spec.scans.empty()) {
    c.scan_info = spec.scans.data();
    c.num_scans = static_cast<int>(spec.scans.size());
  }
  jpeg_start_compress(&c, TRUE);
  if (!spec.app1.empty())
    jpeg_write_marker(&c, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(spec.app1.data()),
                      static_cast<unsigned>(spec.app1.size()));
  std::vector<uint8_t> row(static_cast<size_t>(spec.width) * spec.components);
  while (c.next_scanline < c.image_height) {
    for (int x = 0; x < spec.width; ++x)
      fill(x, static_cast<int>(c.next_scanline), row.data() + static_cast<size_t>(x) * spec.components);
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::string out(reinterpret_cast<const char*>(buf), len);
  std::free(buf);
  return out;
}

// An EXIF APP1 payload holding only an orientation tag, in either byte order.
inline std::string exif_orientation(int value, bool big_endian) {
  std::string s("Exif\0\0", 6);
  auto p16 = [&](uint32_t v) {
    if (big_endian) {
      s += char(v >> 8 & 255);
      s += char(v & 255);
    } else {
      put16(s, v);
    }
  };
  auto p32 = [&](uint32_t v) {
    if (big_endian) {
      p16(v >> 16);
      p16(v & 0xFFFF);
    } else {
      put32(s, v);
    }
  };
  s += big_endian ? "MM" : "II";
  p16(42);
  p32(8);        // first IFD right after the TIFF header
  p16(1);        // one entry
  p16(0x0112);   // orientation
  p16(3);        // SHORT
  p32(1);        // one value
  p16(value);    // held in the entry itself, padded
  p16(0);
  p32(0);        // no next IFD
  return s;
}

struct BmpSpec {
  int width = 8, height = 8;  // negative height: top-down
  int bpp = 24;
  uint32_t compression = 0;
  int header_size = 40;
  std::vector<uint32_t> palette;    // 0x00RRGGBB
  uint32_t masks[4] = {0, 0, 0, 0};  // for bit fields
  std::string pixel_data;           // raw rows or RLE codes, written as given
  int32_t lie_width = 0, lie_height = 0;  // when nonzero, written instead of the real size
};

// Rows of an uncompressed BMP with the given bytes-per-pixel filler, bottom-up, each padded to 4.
inline std::string bmp_rows(int width, int height, int bpp, const std::function<uint32_t(int, int)>& value) {
  std::string s;
  const size_t stride = ((static_cast<size_t>(width) * bpp + 31) / 32) * 4;
  for (int r = 0; r < height; ++r) {
    const int y = height - 1 - r;
    std::string row(stride, '\0');
    for (int x = 0; x < width; ++x) {
      uint32_t v = value(x, y);
      if (bpp >= 8) {
        for (int b = 0; b < bpp / 8; ++b) row[x * (bpp / 8) + b] = char(v >> (8 * b) & 255);
      } else {
        const int per = 8 / bpp;
        row[x / per] = char(row[x / per] | (v << (8 - bpp * (x % per + 1))));
      }
    }
    s += row;
  }
  return s;
}

inline std::string encode_bmp(const BmpSpec& spec) {
  const bool fields = spec.compression == 3;
  std::string hdr;
  const int32_t w = spec.lie_width ? spec.lie_width : spec.width;
  const int32_t h = spec.lie_height ? spec.lie_height : spec.height;
  if (spec.header_size == 12) {
    put16(hdr, static_cast<uint32_t>(w));
    put16(hdr, static_cast<uint32_t>(h));
    put16(hdr, 1);
    put16(hdr, spec.bpp);
  } else {
    put32(hdr, static_cast<uint32_t>(w));
    put32(hdr, static_cast<uint32_t>(h));
    put16(hdr, 1);
    put16(hdr, spec.bpp);
    put32(hdr, spec.compression);
    put32(hdr, static_cast<uint32_t>(spec.pixel_data.size()));
    put32(hdr, 2835);
    put32(hdr, 2835);
    put32(hdr, static_cast<uint32_t>(spec.palette.size()));
    put32(hdr, 0);
    if (spec.header_size >= 52)
      for (int i = 0; i < 3; ++i) put32(hdr, spec.masks[i]);
    if (spec.header_size >= 56) put32(hdr, spec.masks[3]);
    hdr.resize(spec.header_size - 4, '\0');
  }
  std::string extra;
  if (fields && spec.header_size == 40)
    for (int i = 0; i < 3; ++i) put32(extra, spec.masks[i]);
  for (uint32_t c : spec.palette) {
    extra += char(c & 255), extra += char(c >> 8 & 255), extra += char(c >> 16 & 255);
    if (spec.header_size != 12) extra += '\0';
  }
  const uint32_t offset = static_cast<uint32_t>(14 + spec.header_size + extra.size());
  std::string s = "BM";
  put32(s, static_cast<uint32_t>(offset + spec.pixel_data.size()));
  put32(s, 0);
  put32(s, offset);
  put32(s, static_cast<uint32_t>(spec.header_size));
  return s + hdr + extra + spec.pixel_data;
}

// A smooth, colourful picture with a little noise, which compresses like a photograph.
inline void photo_pixel(int x, int y, uint8_t* px, int channels = 3) {
  uint32_t n = static_cast<uint32_t>(x) * 73856093u ^ static_cast<uint32_t>(y) * 19349663u;
  n = (n ^ (n >> 13)) * 0x5bd1e995u;
  const int noise = static_cast<int>(n >> 28) - 8;
  auto clamp = [](int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
  const int r = 128 + static_cast<int>(100 * std::sin(x * 0.011) * std::cos(y * 0.007));
  const int g = 128 + static_cast<int>(100 * std::sin((x + y) * 0.006 + 1.0));
  const int b = 128 + static_cast<int>(100 * std::cos(x * 0.004 - y * 0.009));
  px[0] = clamp(r + noise);
  if (channels >= 3) {
    px[1] = clamp(g + noise);
    px[2] = clamp(b + noise);
  }
  if (channels == 4) px[3] = 255;
}

}  // namespace samples
