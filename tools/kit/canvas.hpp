// Drawing surfaces for the generator: a cairo ARGB32 surface with writers for PNG (with alpha),
// lossless WebP (with alpha), JPEG and 24-bit BMP.
#pragma once
#include <cairo.h>

#include <cstdint>
#include <string>

#include "tools/kit/gen.hpp"

namespace gen {

class Canvas {
 public:
  Canvas(int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  cairo_t* cr() const { return cr_; }
  cairo_surface_t* surface() const { return surface_; }
  int width() const { return width_; }
  int height() const { return height_; }

  // Straight (un-premultiplied) 0xAARRGGBB of a pixel.
  uint32_t pixel(int x, int y) const;
  void set_pixel(int x, int y, uint32_t argb);

  bool save_png(const fs::path& path) const;                   // keeps alpha
  // Lossless, keeps alpha: a third of a PNG's size for the flat pages each language has its own of.
  bool save_webp(const fs::path& path) const;
  // As the path's ending says: ".webp" or else PNG.
  bool save(const fs::path& path) const { return path.extension() == ".webp" ? save_webp(path) : save_png(path); }
  bool save_jpeg(const fs::path& path, int quality = 90) const;  // alpha dropped (over black)
  bool save_bmp(const fs::path& path) const;                   // 24-bit, alpha dropped

 private:
  int width_, height_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

// Creates the folder (and parents) of a file path; false with a message on failure.
bool make_parent(const fs::path& file);

}  // namespace gen
