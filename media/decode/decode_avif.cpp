// AVIF through libavif, reading from memory. Still pictures, and of a sequence its first frame.
//
// Memory: libavif reads the container first (avifDecoderParse), which gives the picture's size,
// bit depth, chroma layout and whether it has alpha before any pixel is decoded; past our limits
// the picture is refused there. libavif and its AV1 decoders have no allocator hook, so the most
// a decode can need is estimated from those and reserved from decode_budget() first:
// - the AV1 decoder's frame: the planes at their depth (1 or 2 bytes a sample), chroma subsampled
//   or not, and an alpha plane decoded the same way by a decoder of its own;
// - a picture made of a grid of tiles is decoded tile by tile and copied into a whole frame, and a
//   frame of another size than the container gives is scaled to that size into new planes: so
//   the planes are counted twice (the container does not say which will happen before decoding);
// - the AV1 decoder's own per-frame state beside its frame (loop filter, edge and line buffers,
//   motion vectors): kCodecBytesPerPixel, measured with tests/unit/test_decode_bounds.cpp;
// - the output pixels, 3 or 4 bytes each;
// - an AV1 decoder of its own for every coded picture: libavif opens one for each cell of a grid
//   (and of the alpha plane's grid), all at once when the first frame is decoded, each with its
//   own state whatever the cell's size (kDecoderBytes). A file of a few kilobytes can be a grid of
//   a thousand cells, so the coded pictures are counted from the item references first
//   (coded_pictures) and reserved for;
// - kDecodeWorkBytes on top for the rest (tables, the container's boxes).
// Each AV1 decoder runs on the calling thread alone (maxThreads 1): with worker threads of their
// own, a grid's decoders would start two threads per cell, hundreds at once, each with a stack
// and an allocator arena of its own; the picture store already decodes several pictures at once.
//
// Orientation: a HEIF-family picture says how to show it with transforms of its own (clean
// aperture crop, then turn, then mirror), not an EXIF tag. The crop is made while converting to
// RGB; the turn and mirror become the EXIF orientation number of the same effect, so the caller
// turns the picture upright after fitting it as it does a photo's (DecodeResult::orientation).
#include <avif/avif.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "media/decode/decode.hpp"
#include "media/decode/resample.hpp"

namespace media {
namespace {

constexpr size_t kCodecBytesPerPixel = 2;
// One AV1 decoder's own state on one thread, beside its frame (measured: 0.41 MB a cell for grids
// of 64 x 64 cells, tests/unit/test_decode_bounds.cpp).
constexpr size_t kDecoderBytes = size_t{512} << 10;
// Frames a sequence may have: its sample table is read whole before the first frame.
constexpr uint32_t kMaxFrames = 100'000;

uint32_t be32(const uint8_t* p) { return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3]; }

bool avif_brand(const uint8_t* p) { return std::memcmp(p, "avif", 4) == 0 || std::memcmp(p, "avis", 4) == 0; }

std::string size_text(int64_t w, int64_t h) { return std::to_string(w) + "x" + std::to_string(h); }

uint64_t be64(const uint8_t* p) { return uint64_t{be32(p)} << 32 | be32(p + 4); }

// True when the file's top-level boxes end past its last byte: it was cut (libavif calls some cut
// files damaged, having found a box that does not fit).
bool cut_short(const uint8_t* data, size_t size) {
  size_t pos = 0;
  while (size - pos >= 8) {
    uint64_t length = be32(data + pos);
    uint64_t header = 8;
    if (length == 1) {  // a 64-bit length follows the type
      if (size - pos < 16) return true;
      length = be64(data + pos + 8);
      header = 16;
    } else if (length == 0) {
      return false;  // the last box, to the end of the file
    }
    if (length < header) return false;  // damaged, not cut
    if (length > size - pos) return true;
    pos += static_cast<size_t>(length);
  }
  return pos != size;  // cut in a box's header
}

// The words the picture store turns into its reasons (app/pictures/picture_store.cpp, left_out_reason).
const char* result_text(avifResult result, const uint8_t* data, size_t size) {
  if (result != AVIF_RESULT_OUT_OF_MEMORY && cut_short(data, size)) return "truncated";
  switch (result) {
    case AVIF_RESULT_TRUNCATED_DATA: return "truncated";
    case AVIF_RESULT_OUT_OF_MEMORY: return "out of memory";
    case AVIF_RESULT_UNSUPPORTED_DEPTH:
    case AVIF_RESULT_NOT_IMPLEMENTED:
    case AVIF_RESULT_NO_CODEC_AVAILABLE: return "unsupported AVIF feature";
    default: return "corrupt data";
  }
}

// One box within [pos, limit): its type, and where its content starts and ends.
struct Box {
  const uint8_t* type = nullptr;
  size_t body = 0, end = 0;
  bool is(const char* t) const { return std::memcmp(type, t, 4) == 0; }
};

// False when the box at `pos` does not fit before `limit`.
bool read_box(const uint8_t* d, size_t pos, size_t limit, Box& box) {
  if (limit - pos < 8) return false;
  uint64_t length = be32(d + pos);
  size_t header = 8;
  if (length == 1) {
    if (limit - pos < 16) return false;
    length = be64(d + pos + 8);
    header = 16;
  } else if (length == 0) {
    length = limit - pos;
  }
  if (length < header || length > limit - pos) return false;
  box.type = d + pos + 4;
  box.body = pos + header;
  box.end = pos + static_cast<size_t>(length);
  return true;
}

// Calls f(child) for each box in [from, to) up to the first that does not fit.
template <typename F>
void each_box(const uint8_t* d, size_t from, size_t to, F&& f) {
  Box b;
  for (size_t pos = from; pos < to && read_box(d, pos, to, b); pos = b.end) f(b);
}

// The most AV1 decoders libavif may open for the file: one for the picture and one for its alpha
// plane, and one for each cell any grid names ('dimg' references in the first metadata box, the
// one libavif reads). Boxes that do not fit are left to libavif, which refuses them.
uint64_t coded_pictures(const uint8_t* d, size_t size) {
  uint64_t cells = 0;
  bool meta_seen = false;
  each_box(d, 0, size, [&](const Box& meta) {
    if (meta_seen || !meta.is("meta") || meta.end - meta.body < 4) return;
    meta_seen = true;
    each_box(d, meta.body + 4, meta.end, [&](const Box& iref) {
      if (!iref.is("iref") || iref.end - iref.body < 4) return;
      const size_t id_bytes = d[iref.body] == 0 ? 2 : 4;  // version 0: 16-bit item numbers
      each_box(d, iref.body + 4, iref.end, [&](const Box& ref) {
        if (ref.is("dimg") && ref.end - ref.body >= id_bytes + 2)
          cells += uint64_t{d[ref.body + id_bytes]} << 8 | d[ref.body + id_bytes + 1];
      });
    });
  });
  return 2 + cells;
}

struct DecoderDeleter {
  void operator()(avifDecoder* d) const { avifDecoderDestroy(d); }
};

}  // namespace

bool is_avif(const uint8_t* data, size_t size) {
  if (size < 12 || std::memcmp(data + 4, "ftyp", 4) != 0) return false;
  if (avif_brand(data + 8)) return true;
  // The compatible brands follow the major brand and its version, to the end of the box.
  const size_t end = std::min<size_t>(be32(data), size);
  for (size_t pos = 16; pos + 4 <= end; pos += 4)
    if (avif_brand(data + pos)) return true;
  return false;
}

DecodeResult decode_avif(const uint8_t* data, size_t size, const DecodeOptions&) {
  DecodeResult res;
  if (!is_avif(data, size)) {
    res.error = "not an AVIF file";
    return res;
  }
  std::unique_ptr<avifDecoder, DecoderDeleter> decoder(avifDecoderCreate());
  if (!decoder) {
    res.error = "out of memory";
    return res;
  }
  decoder->maxThreads = 1;
  decoder->imageCountLimit = kMaxFrames;
  decoder->strictFlags = AVIF_STRICT_ENABLED;
  // The turn and mirror come from the container's own transforms; nothing else is shown.
  decoder->ignoreExif = AVIF_TRUE;
  decoder->ignoreXMP = AVIF_TRUE;
  // The container is read with libavif's widest limits, so that a picture past ours is refused in
  // our words with its size (only one past libavif's largest, 16384 x 16384 pixels, is refused by
  // libavif itself, as damage); ours are set before any frame is decoded.
  decoder->imageDimensionLimit = 0;
  if (avifResult r = avifDecoderSetIOMemory(decoder.get(), data, size); r != AVIF_RESULT_OK) {
    res.error = result_text(r, data, size);
    return res;
  }
  if (avifResult r = avifDecoderParse(decoder.get()); r != AVIF_RESULT_OK) {
    res.error = result_text(r, data, size);
    return res;
  }
  const int64_t width = decoder->image->width, height = decoder->image->height;
  if (!image_size_ok(width, height)) {
    res.error = "too large: " + size_text(width, height);
    return res;
  }
  // Limits for the AV1 decoder and for libavif's scaling of a frame to the size the container
  // gives it. The AV1 decoder sizes its frames from the coded data's own headers, not from the
  // container, and allocates them before libavif compares the two: a 2 KB file saying 23 x 17
  // whose data said 64 million pixels had it allocate 130 MB. So no frame may have more pixels
  // than the container says the picture has (what is reserved for below); dav1d, libavif's first
  // choice of AV1 decoder, keeps to that limit. The reset makes the decoders anew with them, and
  // a new decoder->image (the one before is freed).
  decoder->imageSizeLimit = static_cast<uint32_t>(width * height);
  decoder->imageDimensionLimit = kMaxImageSide;
  if (avifResult r = avifDecoderReset(decoder.get()); r != AVIF_RESULT_OK) {
    res.error = result_text(r, data, size);
    return res;
  }
  const avifImage& info = *decoder->image;
  if (info.width != width || info.height != height) {
    res.error = "corrupt data";
    return res;
  }

  const size_t pixels = size_t(width) * size_t(height);
  const size_t sample = info.depth > 8 ? 2 : 1;
  size_t planes = pixels;  // luma
  switch (info.yuvFormat) {
    case AVIF_PIXEL_FORMAT_YUV444: planes += 2 * pixels; break;
    case AVIF_PIXEL_FORMAT_YUV422: planes += pixels; break;
    case AVIF_PIXEL_FORMAT_YUV420: planes += pixels / 2 + width + height; break;
    default: break;  // monochrome, or not said until the frame is decoded: counted as 4:4:4 below
  }
  if (info.yuvFormat == AVIF_PIXEL_FORMAT_NONE) planes = 3 * pixels;
  if (decoder->alphaPresent) planes += pixels;
  const bool alpha = decoder->alphaPresent != 0;
  const int channels = alpha ? 4 : 3;
  const uint64_t decoders = coded_pictures(data, size);
  const uint64_t work = 2 * planes * sample + pixels * kCodecBytesPerPixel + decoders * kDecoderBytes + kDecodeWorkBytes;
  const uint64_t need = pixels * channels + work;
  BudgetLease lease = need <= decode_budget().total() ? decode_budget().acquire(static_cast<size_t>(need)) : BudgetLease{};
  if (!lease) {
    res.error = decoders > 2 ? "too large: a grid of " + std::to_string(decoders - 2) + " cells at " + size_text(width, height)
                             : "too large: " + size_text(width, height);
    return res;
  }

  try {
    if (avifResult r = avifDecoderNextImage(decoder.get()); r != AVIF_RESULT_OK) {
      res.error = result_text(r, data, size);
      return res;
    }
    const avifImage& frame = *decoder->image;
    // The frame is the size the container said (libavif checks it); the reservation was made for it.
    if (frame.width != width || frame.height != height || !frame.yuvPlanes[0]) {
      res.error = "corrupt data";
      return res;
    }

    // The clean aperture, when the picture has one that makes sense: a view of the frame's planes
    // from the crop's corner (which is on a chroma sample, or the crop is not valid).
    avifImage view = frame;
    if (frame.transformFlags & AVIF_TRANSFORM_CLAP) {
      avifCropRect crop;
      avifDiagnostics diag;
      if (avifCropRectConvertCleanApertureBox(&crop, &frame.clap, frame.width, frame.height, frame.yuvFormat, &diag) &&
          crop.width > 0 && crop.height > 0) {
        const int sx = frame.yuvFormat == AVIF_PIXEL_FORMAT_YUV420 || frame.yuvFormat == AVIF_PIXEL_FORMAT_YUV422;
        const int sy = frame.yuvFormat == AVIF_PIXEL_FORMAT_YUV420;
        const size_t bytes = avifImageUsesU16(&frame) ? 2 : 1;
        view.width = crop.width;
        view.height = crop.height;
        view.yuvPlanes[0] += size_t(crop.y) * frame.yuvRowBytes[0] + crop.x * bytes;
        for (int p = 1; p < 3; ++p)
          if (view.yuvPlanes[p]) view.yuvPlanes[p] += size_t(crop.y >> sy) * frame.yuvRowBytes[p] + (crop.x >> sx) * bytes;
        if (view.alphaPlane) view.alphaPlane += size_t(crop.y) * frame.alphaRowBytes + crop.x * bytes;
      }
    }

    PixmapPtr pixmap = create_pixmap(int(view.width), int(view.height), alpha ? PF_RGBA : PF_RGB);
    if (!pixmap) {
      res.error = "too large: " + size_text(width, height);
      return res;
    }
    avifRGBImage rgb;
    avifRGBImageSetDefaults(&rgb, &view);
    rgb.depth = 8;
    rgb.format = alpha ? AVIF_RGB_FORMAT_RGBA : AVIF_RGB_FORMAT_RGB;
    rgb.pixels = pixmap->pixels.data();
    rgb.rowBytes = static_cast<uint32_t>(pixmap->pitch);
    if (avifResult r = avifImageYUVToRGB(&view, &rgb); r != AVIF_RESULT_OK) {
      res.error = result_text(r, data, size);
      return res;
    }
    const int mirror = frame.transformFlags & AVIF_TRANSFORM_IMIR ? frame.imir.mode : -1;
    const int angle = frame.transformFlags & AVIF_TRANSFORM_IROT ? frame.irot.angle : 0;
    res.orientation = orientation_of(angle, mirror);
    decoder.reset();  // the AV1 decoder's frames and state go before the lease shrinks
    res.keep(std::move(pixmap), std::move(lease));
  } catch (const std::bad_alloc&) {
    res.error = "out of memory";
  }
  return res;
}

}  // namespace media
