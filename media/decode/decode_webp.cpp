// WebP through libwebp, reading from memory and decoding straight into our pixmap. Still pictures
// only: of an animation, the first frame, placed on its canvas.
//
// Memory: the RIFF size is checked against the file's bytes and the picture's size is read from its
// header before anything is allocated; past the limits it is refused. libwebp has no allocator hook,
// so the most it can need is estimated from the size and reserved from decode_budget() first:
// - the output pixels (3 or 4 bytes each, at the scaled size when scaling);
// - a lossy picture is decoded a few macroblock rows at a time: its row caches, per-macroblock
//   state and the rescaler's rows come to well under 256 bytes per column;
// - a lossless picture (and a lossless alpha plane) is decoded whole into 32-bit pixels before it is
//   converted, and its transforms keep subsampled images beside it (at most about a byte a pixel);
//   an alpha plane is also kept whole, a byte a pixel. So 5 bytes a pixel for either;
// - kDecodeWorkBytes on top for the rest (Huffman tables, headers, the decoder itself).
#include <webp/decode.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>

#include "media/decode/decode.hpp"

namespace media {
namespace {

constexpr size_t kLossyBytesPerColumn = 256;
constexpr size_t kWholeBytesPerPixel = 5;

uint32_t le32(const uint8_t* p) { return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24; }
uint32_t le24(const uint8_t* p) { return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16; }

std::string size_text(int64_t w, int64_t h) { return std::to_string(w) + "x" + std::to_string(h); }

// The words the picture store turns into its reasons (app/pictures/picture_store.cpp, left_out_reason).
const char* status_text(VP8StatusCode status) {
  switch (status) {
    case VP8_STATUS_NOT_ENOUGH_DATA: return "truncated";
    case VP8_STATUS_OUT_OF_MEMORY: return "out of memory";
    case VP8_STATUS_UNSUPPORTED_FEATURE: return "unsupported WebP feature";
    default: return "corrupt data";
  }
}

// The first frame of an animation: where it sits on the canvas and its own bitstream (an optional
// ALPH chunk and a VP8 or VP8L chunk, which libwebp reads without a RIFF header).
struct Frame {
  const uint8_t* data = nullptr;
  size_t size = 0;
  int x = 0, y = 0, width = 0, height = 0;
};

// Walks the chunks after the RIFF header to the first ANMF. Returns a message, or nullptr.
const char* first_frame(const uint8_t* data, size_t size, Frame& frame) {
  size_t pos = 12;
  for (;;) {
    if (size - pos < 8) return "truncated";
    const uint32_t length = le32(data + pos + 4);
    if (length > size - pos - 8) return "truncated";
    if (std::memcmp(data + pos, "ANMF", 4) == 0) {
      if (length < 16) return "corrupt data";
      const uint8_t* p = data + pos + 8;
      frame.x = static_cast<int>(le24(p)) * 2;
      frame.y = static_cast<int>(le24(p + 3)) * 2;
      frame.width = static_cast<int>(le24(p + 6)) + 1;
      frame.height = static_cast<int>(le24(p + 9)) + 1;
      frame.data = p + 16;
      frame.size = length - 16;
      return nullptr;
    }
    pos += 8 + size_t{length} + (length & 1);
    if (pos > size) return "truncated";
  }
}

}  // namespace

DecodeResult decode_webp(const uint8_t* data, size_t size, const DecodeOptions& opt) {
  DecodeResult res;
  if (size < 12 && size >= 4 && std::memcmp(data, "RIFF", 4) == 0 &&
      (size <= 8 || std::memcmp(data + 8, "WEBP", size - 8) == 0)) {
    res.error = "truncated";
    return res;
  }
  if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WEBP", 4) != 0) {
    res.error = "not a WebP file";
    return res;
  }
  // libwebp reads no further than the RIFF size says; a file shorter than that was cut.
  if (le32(data + 4) > size - 8) {
    res.error = "truncated";
    return res;
  }
  WebPBitstreamFeatures features;
  if (VP8StatusCode status = WebPGetFeatures(data, size, &features); status != VP8_STATUS_OK) {
    res.error = status_text(status);
    return res;
  }
  const int canvas_w = features.width, canvas_h = features.height;
  if (!image_size_ok(canvas_w, canvas_h)) {
    res.error = "too large: " + size_text(canvas_w, canvas_h);
    return res;
  }

  // What libwebp decodes: the whole file, or the first frame's bitstream on a canvas.
  Frame frame{data, size, 0, 0, canvas_w, canvas_h};
  bool alpha = features.has_alpha != 0;
  bool lossless = features.format == 2;
  if (features.has_animation) {
    if (const char* why = first_frame(data, size, frame)) {
      res.error = why;
      return res;
    }
    if (frame.x + int64_t{frame.width} > canvas_w || frame.y + int64_t{frame.height} > canvas_h) {
      res.error = "corrupt data";
      return res;
    }
    WebPBitstreamFeatures own;
    if (VP8StatusCode status = WebPGetFeatures(frame.data, frame.size, &own); status != VP8_STATUS_OK) {
      res.error = status_text(status);
      return res;
    }
    if (own.width != frame.width || own.height != frame.height || own.has_animation) {
      res.error = "corrupt data";
      return res;
    }
    lossless = own.format == 2;
    // A frame that leaves part of the canvas uncovered shows the transparent canvas there.
    alpha = own.has_alpha || frame.width != canvas_w || frame.height != canvas_h;
  }

  // Scaled while decoding to the smallest size that still covers the minimum, as a JPEG is: only
  // a frame that fills its canvas (any still picture does) can be.
  int out_w = canvas_w, out_h = canvas_h;
  const bool whole = frame.width == canvas_w && frame.height == canvas_h;
  if (opt.min_width > 0 && opt.min_height > 0 && whole &&
      (canvas_w > opt.min_width && canvas_h > opt.min_height)) {
    const double s = std::max(double(opt.min_width) / canvas_w, double(opt.min_height) / canvas_h);
    out_w = std::max(opt.min_width, std::min(canvas_w, static_cast<int>(canvas_w * s + 0.999)));
    out_h = std::max(opt.min_height, std::min(canvas_h, static_cast<int>(canvas_h * s + 0.999)));
  }

  const int channels = alpha ? 4 : 3;
  const size_t frame_pixels = size_t(frame.width) * size_t(frame.height);
  const size_t work = (lossless || alpha ? frame_pixels * kWholeBytesPerPixel : 0) +
                      size_t(frame.width) * kLossyBytesPerColumn + kDecodeWorkBytes;
  const size_t pixels = size_t(out_w) * size_t(out_h) * channels;
  BudgetLease lease = decode_budget().acquire(pixels + work);
  if (!lease) {
    res.error = "too large: " + size_text(canvas_w, canvas_h);
    return res;
  }
  try {
    PixmapPtr pixmap = create_pixmap(out_w, out_h, alpha ? PF_RGBA : PF_RGB);
    if (!pixmap) {
      res.error = "too large: " + size_text(canvas_w, canvas_h);
      return res;
    }
    if (!whole) std::memset(pixmap->pixels.data(), 0, pixmap->pixels.size());  // transparent canvas
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config)) {
      res.error = "unsupported WebP library";
      return res;
    }
    if (out_w != canvas_w || out_h != canvas_h) {
      config.options.use_scaling = 1;
      config.options.scaled_width = out_w;
      config.options.scaled_height = out_h;
    }
    config.output.colorspace = alpha ? MODE_RGBA : MODE_RGB;
    config.output.is_external_memory = 1;
    uint8_t* at = pixmap->row(frame.y) + size_t(frame.x) * channels;
    config.output.u.RGBA.rgba = at;
    config.output.u.RGBA.stride = pixmap->pitch;
    config.output.u.RGBA.size = pixmap->pixels.size() - static_cast<size_t>(at - pixmap->pixels.data());
    const VP8StatusCode status = WebPDecode(frame.data, frame.size, &config);
    WebPFreeDecBuffer(&config.output);  // external memory: frees only what libwebp kept beside it
    if (status != VP8_STATUS_OK) {
      res.error = status_text(status);
      return res;
    }
    res.keep(std::move(pixmap), std::move(lease));
  } catch (const std::bad_alloc&) {
    res.error = "out of memory";
  }
  return res;
}

}  // namespace media
