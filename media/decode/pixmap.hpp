// Pixmaps: pixel buffers in main memory, read and written one ARGB pixel at a time.
// Six formats; a pixel crossing the interface is always 0xAARRGGBB.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace media {

enum PixFormat : int {
  PF_GREY = 1,   // grey 8-bit
  PF_ALPHA = 2,  // alpha 8-bit
  PF_BGR = 3,    // bytes B, G, R
  PF_RGB = 4,    // bytes R, G, B
  PF_BGRA = 5,   // one little-endian 0xAARRGGBB word: bytes B, G, R, A
  PF_RGBA = 6,   // bytes R, G, B, A
};

class Texture;  // an owning OpenGL texture handle (media/display/gl.hpp)

// What draw_pixmap uploaded last, kept so an unchanged pixmap is drawn without a new upload. A
// copied pixmap starts without one: its pixels go their own way from then on.
struct PixmapTextureCache {
  PixmapTextureCache() = default;
  PixmapTextureCache(const PixmapTextureCache&) {}
  PixmapTextureCache& operator=(const PixmapTextureCache&) { return *this; }
  std::shared_ptr<Texture> texture;
  uint64_t generation = 0;  // of the pixels it holds
};

struct Pixmap {
  int width = 0;
  int height = 0;
  int pitch = 0;  // bytes per row
  int format = PF_RGBA;
  std::vector<uint8_t> pixels;
  // Changes, to a value never used before by any pixmap, whenever the pixels change after they were
  // made. write_pixel and the flood fill see to it; code writing through row() or pixels directly
  // calls changed() when it is done.
  uint64_t generation = 0;
  PixmapTextureCache texture_cache;

  void changed();

  uint8_t* row(int y) { return pixels.data() + static_cast<size_t>(y) * pitch; }
  const uint8_t* row(int y) const { return pixels.data() + static_cast<size_t>(y) * pitch; }
};
using PixmapPtr = std::shared_ptr<Pixmap>;

int bytes_per_pixel(int format);
bool format_has_alpha(int format);  // formats 2, 5 and 6

// A zero-filled pixmap; none for a bad size or format.
PixmapPtr create_pixmap(int width, int height, int format);
int pixmap_width(const PixmapPtr& p);
int pixmap_height(const PixmapPtr& p);

// Out-of-range coordinates read 0 and write nothing.
uint32_t read_pixel(const Pixmap& p, int x, int y);
void write_pixel(Pixmap& p, int x, int y, uint32_t argb);
inline uint32_t read_pixel(const PixmapPtr& p, int x, int y) { return p ? read_pixel(*p, x, y) : 0; }
inline void write_pixel(const PixmapPtr& p, int x, int y, uint32_t argb) { if (p) write_pixel(*p, x, y, argb); }

// A copy in RGBA (format 6).
PixmapPtr convert_to_rgba(const Pixmap& p);

// New RGBA pixmap: pixels of colour (r, g, b) become transparent, tinted with the average colour of
// their non-mask neighbours (black when none); all others keep their colour, opaque.
PixmapPtr mask_pixmap(const Pixmap& p, int r, int g, int b);
inline PixmapPtr mask_pixmap(const PixmapPtr& p, int r, int g, int b) { return p ? mask_pixmap(*p, r, g, b) : nullptr; }

}  // namespace media
