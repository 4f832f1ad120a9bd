// Photos shaped as phones save them, made in memory from a seed, for tests and benchmarks: the same
// outdoor picture (sky, hills, soft shapes, fine grass and grain) as
// - HEIC: a grid of 512x512 HEVC tiles with an HEVC thumbnail item (320x240 unless told);
// - JPEG: quality 92, with an EXIF preview (160x120 unless told) in IFD1;
// - WebP (lossy) and AVIF (8-bit 4:2:0), without previews.
// The same options give the same bytes on every run.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace phone_photos {

enum class Format { Heic, Jpeg, Webp, Avif };

// What the preview (the HEIC's thumbnail item, the JPEG's EXIF thumbnail) is like. WebP and AVIF
// files have none whatever is asked.
enum class Preview {
  Normal,
  None,
  Tiny,        // HEIC 96x72 (libheif codes no HEVC picture with a side under 64), JPEG 64x48
  LyingSize,   // HEIC: its 'ispe' states the preview size, its coded stream is half as wide and high
  LyingShape,  // HEIC: its 'ispe' states a square as wide as the preview, coded at the preview size
  Marked,      // drawn with a strong green cast, to tell on screen whether the preview is shown
};

struct Options {
  Format format = Format::Heic;
  uint32_t seed = 1;
  int width = 4032, height = 3024;
  Preview preview = Preview::Normal;
  // The preview's size; 0 for the kind's own (HEIC 320x240, JPEG 160x120, Tiny above). An HEIC
  // preview needs even sides of at least 64 (as coded: LyingSize codes half of it).
  int preview_width = 0, preview_height = 0;
};

constexpr int kTileSide = 512;  // HEIC grid tiles
constexpr int kJpegQuality = 92;

// RGB pixels, 3 bytes each, rows packed.
struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  const uint8_t* at(int x, int y) const { return &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3]; }
};

// The scene for this seed at this size. Its parts are placed in shares of the size, so one seed
// gives the same picture at every size, apart from the fine texture and grain, which are pixels wide.
Picture picture(int width, int height, uint32_t seed);
// Each pixel the average of the pixels its area covers.
Picture scaled(const Picture& p, int width, int height);
// The marked preview's colour cast, applied in place.
void mark(Picture& p);

// The preview's size as its container states it and as it is coded (the two differ only in the
// lying kinds); 0 x 0 when there is none.
struct PreviewSize {
  int stated_width = 0, stated_height = 0;
  int coded_width = 0, coded_height = 0;
};
PreviewSize preview_size(const Options& o);

// The file. Throws std::runtime_error when an encoder fails or the options cannot be met.
std::string make(const Options& o);
// The file of an already made picture, which must be o.width x o.height (o.seed is not used).
std::string encode(const Picture& p, const Options& o);

// "heic", "jpg", "webp", "avif": lowercase, as the program's strict folders take them.
const char* extension(Format f);
// A phone's name for the number'th photo: IMG_0001.heic.
std::string file_name(Format f, int number);
// Names as the command line gives them ("heic", "jpeg" or "jpg", ...; "normal", "none", "tiny",
// "lying-size", "lying-shape", "marked").
std::optional<Format> format_named(std::string_view name);
std::optional<Preview> preview_named(std::string_view name);

}  // namespace phone_photos
