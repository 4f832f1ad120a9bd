// Decoders: bytes of a PNG, JPEG or BMP file to a pixmap, or an error message. Each can be fuzzed:
// the only shared state is the memory budget (decode_budget.hpp). Images larger than the limits are
// refused before any pixel buffer is allocated; corrupt and truncated files are refused. Every
// length a file declares is checked against the bytes it really holds before anything is
// allocated for it, so one decode never needs more than its pixels x 4 bytes plus
// kDecodeWorkBytes, and never more than kDecodeBudgetBytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "media/decode/decode_budget.hpp"
#include "media/decode/pixmap.hpp"

namespace media {

constexpr int kMaxImageSide = 16384;
constexpr int64_t kMaxImagePixels = 64'000'000;
// Working memory a codec may use beside the pixels (row buffers, zlib, tables, metadata). A
// multi-scan JPEG also keeps all its coefficients, which are counted on top.
constexpr size_t kDecodeWorkBytes = size_t{16} << 20;
// All decodes running at once together, and so any single decode, stay below this.
constexpr size_t kDecodeBudgetBytes = size_t{300} << 20;
// The part of that budget kept for the foreground (the thread that draws), so that bringing a
// picture back or loading an activity's image never waits for the background's decodes: one
// screen-sized decode (1024x768x4 bytes of pixels plus kDecodeWorkBytes, 19 MB) fits with room to
// spare. The background keeps 276 MB, enough for the largest decode the limits allow (64 million
// pixels x 4 bytes plus kDecodeWorkBytes, 260 MB) with at least 8 MB of its file's bytes beside it.
// Together they still hold at most kDecodeBudgetBytes (decode_budget.hpp says how).
constexpr size_t kDecodeForegroundBytes = size_t{24} << 20;
static_assert(size_t{1024} * 768 * 4 + kDecodeWorkBytes <= kDecodeForegroundBytes);
static_assert(kDecodeBudgetBytes - kDecodeForegroundBytes >=
              static_cast<size_t>(kMaxImagePixels) * 4 + kDecodeWorkBytes + (size_t{8} << 20));

struct DecodeOptions {
  // When both are > 0 a JPEG may be decoded at a reduced DCT scale (1/2, 1/4, 1/8) as long as the
  // result still covers min_width x min_height, and a WebP at the smallest size that covers it.
  // Other formats ignore it.
  int min_width = 0;
  int min_height = 0;
  // Also try the scales 3/8, 5/8, 6/8 and 7/8 (the smallest that fits wins).
  bool eighths = false;
  // A result up to this share short of the minimum on each side is good enough (the caller stretches
  // the last few percent when drawing); 0.03 lets 4000x3000 decode at 1/4 for 1024x768.
  double slack = 0.0;
  // The minimum is for the picture turned upright: swapped for a photo whose EXIF turns it a quarter.
  bool upright = false;
};

struct DecodeResult {
  PixmapPtr pixmap;     // none on failure
  std::string error;    // why, when pixmap is none
  // EXIF orientation 1..8 of a JPEG, an AVIF's turn and mirror as the same number, 1 otherwise
  int orientation = 1;
  // The pixmap's share of decode_budget(), held until the result is destroyed, so that the next
  // decodes wait while this full-size pixmap is being scaled down. Keep a result only while
  // working on its pixmap; `lease.reset()` (or dropping the result) lets the others go on.
  BudgetLease lease;

  // A decoder's success: the pixmap, holding on to only the pixmap's share of what it reserved.
  void keep(PixmapPtr decoded, BudgetLease&& reserved) {
    pixmap = std::move(decoded);
    reserved.shrink_to(pixmap->pixels.size());
    lease = std::move(reserved);
  }
};

// True when w x h is within the limits above.
bool image_size_ok(int64_t w, int64_t h);

DecodeResult decode_png(const uint8_t* data, size_t size);
DecodeResult decode_jpeg(const uint8_t* data, size_t size, const DecodeOptions& opt = {});
DecodeResult decode_bmp(const uint8_t* data, size_t size);
// WebP: a still picture, or an animation's first frame. Scaled down while decoding like a JPEG.
DecodeResult decode_webp(const uint8_t* data, size_t size, const DecodeOptions& opt = {});
// AVIF: a still picture, or a sequence's first frame; cropped to its clean aperture. Not scaled.
DecodeResult decode_avif(const uint8_t* data, size_t size, const DecodeOptions& opt = {});
// True for a file whose type box names AVIF as its brand or a compatible one.
bool is_avif(const uint8_t* data, size_t size);
// HEIC (decode_heif.cpp): the primary image, turned upright, orientation 1; or, when opt asks for
// less than half its size and it is a camera's grid of tiles, decoded at 1/2, 1/4 or 1/8 of its
// size with its turn and mirror left to the caller (orientation, as for a JPEG). AVIF (above) is
// not taken for HEIC, even when it lists the brands they share.
bool is_heif_file(const uint8_t* data, size_t size);
DecodeResult decode_heif(const uint8_t* data, size_t size, const DecodeOptions& opt = {});
// A HEIC's own preview: its largest thumbnail that is at least min_width x min_height and of the
// photo's shape, decoded under the same checks; an error ("no preview...") when there is none such
// or it does not come out the size it states.
DecodeResult decode_heif_preview(const uint8_t* data, size_t size, int min_width, int min_height);
// Chooses the decoder by the file's first bytes.
DecodeResult decode_image(const uint8_t* data, size_t size, const DecodeOptions& opt = {});

// Work on pictures that keeps a core busy while the object lives (decode_image, a picture store
// worker loading a file: read, decode, fit, keep), counted in the whole process, a thread once
// however many it holds. A decoder that can spread its work over several threads takes the cores
// the others leave.
class BusyCore {
 public:
  BusyCore();
  ~BusyCore();
  BusyCore(const BusyCore&) = delete;
  BusyCore& operator=(const BusyCore&) = delete;
};
int busy_cores();

// Reads a whole file (refusing files over max_bytes); false with a message on failure.
bool read_whole_file(const std::string& path, std::string& out, std::string& error,
                     size_t max_bytes = size_t{512} << 20);
// The first n bytes of a file (fewer when it is shorter; none when it cannot be read).
std::string read_file_head(const std::string& path, size_t n);

}  // namespace media
