// BMP: every header field is checked against the limits and the file's length before any pixel
// is read; run-length files (RLE8, RLE4) have every run checked against the row and the file.
#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "media/decode/decode.hpp"

namespace media {
namespace {

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;

uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t le32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

bool fail(std::string& error, std::string why) {
  error = std::move(why);
  return false;
}

DecodeResult failed(std::string why) {
  DecodeResult res;
  res.error = std::move(why);
  return res;
}

struct BmpInfo {
  int width = 0;
  int height = 0;  // rows, always positive
  bool top_down = false;
  int bpp = 0;
  uint32_t compression = kRgb;
  size_t offset = 0;  // start of the pixel data
  size_t palette_pos = 0;
  int palette_count = 0;
  int palette_entry = 4;  // bytes per palette entry (3 in the oldest header)
  uint32_t masks[4] = {};  // red, green, blue, alpha for bit-field files
  bool has_alpha = false;
};

// Nonzero and one run of set bits.
bool mask_ok(uint32_t m, int bpp) {
  if (m == 0 || (bpp < 32 && (m >> bpp) != 0)) return false;
  uint32_t low = m & (~m + 1);
  return ((m + low) & m) == 0;
}

bool parse_header(const uint8_t* d, size_t size, BmpInfo& bi, std::string& error) {
  if (size < 2 || d[0] != 'B' || d[1] != 'M') return fail(error, "not a BMP file");
  if (size < 18) return fail(error, "truncated");
  const uint32_t hsize = le32(d + 14);
  if (hsize != 12 && hsize != 40 && hsize != 52 && hsize != 56 && hsize != 108 && hsize != 124)
    return fail(error, "unsupported header size " + std::to_string(hsize));
  if (size < 14 + hsize) return fail(error, "truncated");
  const uint8_t* h = d + 14;
  int64_t w = 0, rows = 0;
  int planes = 0;
  if (hsize == 12) {
    w = le16(h + 4);
    rows = le16(h + 6);
    planes = le16(h + 8);
    bi.bpp = le16(h + 10);
    bi.palette_entry = 3;
  } else {
    w = static_cast<int32_t>(le32(h + 4));
    rows = static_cast<int32_t>(le32(h + 8));
    planes = le16(h + 12);
    bi.bpp = le16(h + 14);
    bi.compression = le32(h + 16);
  }
  if (rows < 0) {
    bi.top_down = true;
    rows = -rows;
  }
  if (w <= 0 || rows == 0) return fail(error, "bad size");
  if (!image_size_ok(w, rows))
    return fail(error, "too large: " + std::to_string(w) + "x" + std::to_string(rows));
  bi.width = static_cast<int>(w);
  bi.height = static_cast<int>(rows);
  if (planes != 1) return fail(error, "bad plane count");

  const int bpp = bi.bpp;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
    return fail(error, "unsupported bit depth " + std::to_string(bpp));
  if (hsize == 12 && bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24)
    return fail(error, "unsupported bit depth " + std::to_string(bpp));
  switch (bi.compression) {
    case kRgb: break;
    case kRle8:
    case kRle4:
      if (bpp != (bi.compression == kRle8 ? 8 : 4)) return fail(error, "bad bit depth for RLE");
      if (bi.top_down) return fail(error, "top-down RLE");
      break;
    case kBitFields:
      if (bpp != 16 && bpp != 32) return fail(error, "bad bit depth for bit fields");
      break;
    default: return fail(error, "unsupported compression " + std::to_string(bi.compression));
  }

  size_t after_header = 14 + hsize;
  if (bi.compression == kBitFields) {
    const uint8_t* m = h + 40;
    if (hsize == 40) {
      if (size < after_header + 12) return fail(error, "truncated");
      m = d + after_header;
      after_header += 12;
    }
    for (int i = 0; i < 3; ++i) bi.masks[i] = le32(m + 4 * i);
    bi.masks[3] = hsize >= 56 ? le32(h + 52) : 0;
    for (int i = 0; i < 3; ++i)
      if (!mask_ok(bi.masks[i], bpp)) return fail(error, "bad colour masks");
    if (bi.masks[3] && !mask_ok(bi.masks[3], bpp)) return fail(error, "bad colour masks");
    if ((bi.masks[0] & bi.masks[1]) || (bi.masks[0] & bi.masks[2]) || (bi.masks[1] & bi.masks[2]) ||
        ((bi.masks[0] | bi.masks[1] | bi.masks[2]) & bi.masks[3]))
      return fail(error, "bad colour masks");
    bi.has_alpha = bi.masks[3] != 0;
  }

  if (bpp <= 8) {
    uint32_t used = hsize >= 40 ? le32(h + 32) : 0;
    if (used > (1u << bpp)) return fail(error, "bad palette size");
    bi.palette_count = used ? static_cast<int>(used) : 1 << bpp;
    bi.palette_pos = after_header;
    if (bi.palette_pos + static_cast<size_t>(bi.palette_count) * bi.palette_entry > size)
      return fail(error, "truncated");
  }

  bi.offset = le32(d + 10);
  if (bi.offset < after_header || bi.offset >= size) return fail(error, "bad data offset");
  if (bi.compression == kRgb || bi.compression == kBitFields) {
    const size_t stride = ((static_cast<size_t>(bi.width) * bpp + 31) / 32) * 4;
    if ((size - bi.offset) / stride < static_cast<size_t>(bi.height)) return fail(error, "truncated");
  }
  return true;
}

// Walks RLE8 or RLE4 runs (bottom-up), calling put(x, y, index) for each pixel the file sets; y
// counts from the bottom row. Every run is checked against the row and the file.
template <typename Put>
bool walk_rle(const uint8_t* d, size_t size, const BmpInfo& bi, std::string& error, Put put) {
  const bool rle8 = bi.compression == kRle8;
  const int w = bi.width, h = bi.height;
  size_t p = bi.offset;
  int x = 0, y = 0;
  for (;;) {
    if (size - p < 2) {
      if (y >= h) return true;  // every row ended, only the end mark is missing
      return fail(error, "truncated");
    }
    const int n = d[p], c = d[p + 1];
    p += 2;
    if (n > 0) {  // a run of n pixels
      if (y >= h || n > w - x) return fail(error, "RLE overrun");
      for (int i = 0; i < n; ++i) put(x++, y, rle8 ? c : (i & 1 ? c & 15 : c >> 4));
    } else if (c == 0) {  // end of line
      x = 0;
      if (++y > h) return fail(error, "RLE overrun");
    } else if (c == 1) {  // end of bitmap
      return true;
    } else if (c == 2) {  // move right and up
      if (size - p < 2) return fail(error, "truncated");
      x += d[p];
      y += d[p + 1];
      p += 2;
      if (x > w || y > h) return fail(error, "RLE overrun");
    } else {  // c literal pixels, padded to a whole 16-bit word
      size_t bytes = rle8 ? c : (c + 1) / 2;
      bytes += bytes & 1;
      if (size - p < bytes) return fail(error, "truncated");
      if (y >= h || c > w - x) return fail(error, "RLE overrun");
      for (int i = 0; i < c; ++i) {
        const uint8_t b = rle8 ? d[p + i] : d[p + i / 2];
        put(x++, y, rle8 ? b : (i & 1 ? b & 15 : b >> 4));
      }
      p += bytes;
    }
  }
}

using Palette = uint8_t[256][3];  // B, G, R; indexes past the file's palette read black

void read_palette(const uint8_t* d, const BmpInfo& bi, Palette& pal) {
  std::memset(pal, 0, sizeof(Palette));
  for (int i = 0; i < bi.palette_count; ++i) {
    const uint8_t* e = d + bi.palette_pos + static_cast<size_t>(i) * bi.palette_entry;
    pal[i][0] = e[0], pal[i][1] = e[1], pal[i][2] = e[2];
  }
}

// A run-length file is walked twice: once to check every run, so that a lying file is refused
// before its pixels are allocated, then to paint. Pixels the file skips keep colour 0.
DecodeResult decode_rle(const uint8_t* d, size_t size, const BmpInfo& bi) {
  DecodeResult res;
  if (!walk_rle(d, size, bi, res.error, [](int, int, int) {})) return res;
  Palette pal;
  read_palette(d, bi, pal);
  auto pm = create_pixmap(bi.width, bi.height, PF_BGR);
  if (!pm) return failed("bad size");
  for (int y = 0; y < bi.height; ++y) {
    uint8_t* out = pm->row(y);
    for (int x = 0; x < bi.width; ++x, out += 3) std::memcpy(out, pal[0], 3);
  }
  walk_rle(d, size, bi, res.error,
           [&](int x, int y, int index) { std::memcpy(pm->row(bi.height - 1 - y) + 3 * x, pal[index], 3); });
  res.pixmap = std::move(pm);
  return res;
}

// One colour channel of a bit-field pixel, widened to 8 bits (5 bits: 31 -> 255, 16 -> 132).
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  explicit Channel(uint32_t m) : mask(m) {
    if (!m) return;
    while (!(m >> shift & 1)) ++shift;
    while (bits + shift < 32 && (m >> (shift + bits) & 1)) ++bits;
  }
  uint8_t operator()(uint32_t px) const {
    const uint32_t v = (px & mask) >> shift;
    if (bits >= 8) return static_cast<uint8_t>(v >> (bits - 8));
    const uint32_t max = (1u << bits) - 1;
    return static_cast<uint8_t>((v * 255 + max / 2) / max);
  }
};

// Uncompressed and bit-field rows; parse_header has checked that the file holds them all.
DecodeResult decode_rows(const uint8_t* d, const BmpInfo& bi) {
  const int w = bi.width, h = bi.height, bpp = bi.bpp;
  const size_t stride = ((static_cast<size_t>(w) * bpp + 31) / 32) * 4;
  uint32_t masks[4] = {bi.masks[0], bi.masks[1], bi.masks[2], bi.masks[3]};
  if (bi.compression == kRgb && bpp == 16) masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
  if (bi.compression == kRgb && bpp == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
  const Channel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
  Palette pal;
  read_palette(d, bi, pal);

  // An alpha channel that is zero everywhere was never filled in: such files are opaque. Looked at
  // first, so that only one pixmap is ever made.
  bool alpha_out = false;
  for (int y = 0; y < h && bi.has_alpha && !alpha_out; ++y) {
    const uint8_t* in = d + bi.offset + static_cast<size_t>(y) * stride;
    for (int x = 0; x < w && !alpha_out; ++x) alpha_out = alpha(bpp == 16 ? le16(in + 2 * x) : le32(in + 4 * x)) != 0;
  }
  auto pm = create_pixmap(w, h, alpha_out ? PF_BGRA : PF_BGR);
  if (!pm) return failed("bad size");
  const int out_bpp = bytes_per_pixel(pm->format);
  for (int y = 0; y < h; ++y) {
    const uint8_t* in = d + bi.offset + static_cast<size_t>(bi.top_down ? y : h - 1 - y) * stride;
    uint8_t* out = pm->row(y);
    for (int x = 0; x < w; ++x, out += out_bpp) {
      if (bpp <= 8) {
        const int bit = x * bpp;
        const int index = in[bit / 8] >> (8 - bpp - bit % 8) & ((1 << bpp) - 1);
        std::memcpy(out, pal[index], 3);
      } else if (bpp == 24) {
        std::memcpy(out, in + 3 * x, 3);
      } else {
        const uint32_t px = bpp == 16 ? le16(in + 2 * x) : le32(in + 4 * x);
        out[0] = blue(px), out[1] = green(px), out[2] = red(px);
        if (alpha_out) out[3] = alpha(px);
      }
    }
  }
  DecodeResult res;
  res.pixmap = std::move(pm);
  return res;
}

}  // namespace

DecodeResult decode_bmp(const uint8_t* data, size_t size) {
  DecodeResult res;
  BmpInfo bi;
  try {
    if (!parse_header(data, size, bi, res.error)) return res;
    // Pixels are at most four bytes; rows are read in place, so little else is needed.
    BudgetLease lease = decode_budget().acquire(size_t(bi.width) * size_t(bi.height) * 4 + (size_t{1} << 20));
    if (!lease) return failed("too large: " + std::to_string(bi.width) + "x" + std::to_string(bi.height));
    res = bi.compression == kRle8 || bi.compression == kRle4 ? decode_rle(data, size, bi) : decode_rows(data, bi);
    if (res.pixmap) res.keep(std::move(res.pixmap), std::move(lease));
    return res;
  } catch (const std::bad_alloc&) {
    res.error = "out of memory";
  }
  return res;
}

}  // namespace media
