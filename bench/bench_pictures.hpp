// Photo-like test pictures for the benchmarks: smooth colour fields with fine noise, so that they
// compress and decode like camera pictures. Written with libjpeg and libpng directly.
#pragma once
#include <jpeglib.h>
#include <png.h>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "media/decode/pixmap.hpp"

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

inline int sh(const std::string& cmd) { return std::system(cmd.c_str()); }
inline bool exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}
inline double now_ms() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

inline std::string photo_name(int i) {
  char name[32];
  std::snprintf(name, sizeof name, "photo%04d.jpg", i);
  return name;
}

// 1,000 camera-sized (4000x3000) JPEG photos in dir, made once: 25 different pictures, each under
// 40 names (photo0000.jpg ...). Decoding costs the same, and 1,000 different files would take
// minutes to write and gigabytes of disk.
inline void make_photo_cache(const std::string& dir, int grain = 8) {
  constexpr int kDistinct = 25;
  if (exists(dir + "/" + photo_name(999))) return;
  std::fprintf(stderr, "bench: making the photos in %s (once)\n", dir.c_str());
  sh("rm -rf '" + dir + "' && mkdir -p '" + dir + "/distinct'");
  for (int v = 0; v < kDistinct; ++v)
    write_photo_jpeg(dir + "/distinct/" + std::to_string(v) + ".jpg", 4000, 3000, 90, v, grain);
  for (int i = 0; i < 1000; ++i)
    sh("ln '" + dir + "/distinct/" + std::to_string(i % kDistinct) + ".jpg' '" + dir + "/" + photo_name(i) + "'");
}

// A copy of the built program and its data folder in dir, with the first n photos of a cache as
// its pictures (hard links).
inline void copy_program_with_photos(const std::string& dir, const std::string& cache, int n) {
  const std::string build = PIPKIN_BUILD_DIR;
  sh("mkdir -p '" + dir + "' && cp '" + build + "/pipkin' '" + dir + "/' && cp -r '" + build + "/data' '" + dir + "/data'");
  if (n == 0) return;
  const std::string pics = dir + "/data/pics";
  sh("rm -rf '" + pics + "' && mkdir -p '" + pics + "'");
  for (int i = 0; i < n; ++i) sh("ln '" + cache + "/" + photo_name(i) + "' '" + pics + "/'");
}

}  // namespace bench
