// Decoders: bytes of a PNG, JPEG or BMP file to a pixmap, or an error message. Each can be fuzzed:
// the only shared state is the memory budget (decode_budget.hpp). Images larger than the limits
// (decode_limits.hpp) are refused before any pixel buffer is allocated; corrupt and truncated files
// are refused. Every length a file declares is checked against the bytes it really holds before anything is
// allocated for it, so one decode never needs more than its pixels x 4 bytes plus
// kDecodeWorkBytes, and never more than kDecodeBudgetBytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "media/decode/decode_budget.hpp"
#include "media/decode/decode_limits.hpp"
#include "media/decode/pixmap.hpp"

namespace media {

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
// Load by content (any of the formats above) in the file's natural format; none on failure
// (reported on stderr).
PixmapPtr load_pixmap(const std::string& path);

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
