// Photo-like test pictures for the benchmarks: smooth colour fields with fine noise, so that they
// compress and decode like camera pictures. Written with libjpeg and libpng directly.
#pragma once
#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "media/pixmap.hpp"

namespace bench {

// variant gives a different picture of the same kind. noise is the grain's strength: 8 for a clean
// picture, about 40 for a phone photo taken indoors, whose grain makes its JPEG large and slow to read.
inline void photo_rgb(int w, int h, std::vector<uint8_t>& rgb, int variant = 0, int noise = 8) {
  rgb.resize(static_cast<size_t>(w) * h * 3);
  uint32_t seed = 12345 + static_cast<uint32_t>(variant);
  const double shift = 0.7 * variant;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      seed = seed * 1103515245u + 12345u;
      int n = static_cast<int>((seed >> 12) % static_cast<uint32_t>(2 * noise + 1)) - noise;
      double fx = double(x) / w, fy = double(y) / h;
      uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
      p[0] = static_cast<uint8_t>(std::clamp(128 + 100 * std::sin(6 * fx + 2 * fy + shift) + n, 0.0, 255.0));
      p[1] = static_cast<uint8_t>(std::clamp(128 + 100 * std::cos(5 * fy - 3 * fx) + n, 0.0, 255.0));
      p[2] = static_cast<uint8_t>(std::clamp(128 + 100 * std::sin(9 * fx * fy + 1) + n, 0.0, 255.0));
    }
}

inline media::PixmapPtr photo_pixmap(int w, int h) {
  std::vector<uint8_t> rgb;
  photo_rgb(w, h, rgb);
  media::PixmapPtr p = media::create_pixmap(w, h, media::PF_RGB);
  for (int y = 0; y < h; ++y) std::copy_n(&rgb[static_cast<size_t>(y) * w * 3], w * 3, p->row(y));
  return p;
}

inline std::string write_photo_jpeg(const std::string& path, int w, int h, int quality = 88, int variant = 0,
                                    int noise = 8) {
  std::vector<uint8_t> rgb;
  photo_rgb(w, h, rgb, variant, noise);
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return path;
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  jpeg_stdio_dest(&c, f);
  c.image_width = w;
  c.image_height = h;
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, quality, TRUE);
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = &rgb[static_cast<size_t>(c.next_scanline) * w * 3];
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::fclose(f);
  return path;
}

inline std::string write_photo_png(const std::string& path, int w, int h) {
  std::vector<uint8_t> rgb;
  photo_rgb(w, h, rgb);
  png_image img{};
  img.version = PNG_IMAGE_VERSION;
  img.width = w;
  img.height = h;
  img.format = PNG_FORMAT_RGB;
  png_image_write_to_file(&img, path.c_str(), 0, rgb.data(), w * 3, nullptr);
  return path;
}

}  // namespace bench
