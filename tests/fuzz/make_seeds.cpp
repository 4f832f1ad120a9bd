// Writes small good pictures of every kind the decoders know into a folder, as fuzzing seeds.
#include <cstdio>
#include <fstream>
#include <string>

#include "tests/unit/sample_images.hpp"

using namespace samples;

namespace {

std::string dir;
int written = 0, attempted = 0;

void save(const std::string& name, const std::string& bytes) {
  ++attempted;
  std::ofstream out(dir + "/" + name, std::ios::binary);
  out << bytes;
  if (!out) std::fprintf(stderr, "fuzz_seeds: cannot write %s/%s\n", dir.c_str(), name.c_str());
  else ++written;
}

void photo(int x, int y, uint8_t* px) { photo_pixel(x, y, px); }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_seeds <folder>\n");
    return 2;
  }
  dir = argv[1];

  PngSpec p;
  p.width = 13, p.height = 9;
  save("rgb.png", encode_png(p, photo));
  p.interlaced = true;
  save("interlaced.png", encode_png(p, photo));
  p.interlaced = false;
  p.colour_type = PNG_COLOR_TYPE_RGB_ALPHA;
  save("rgba.png", encode_png(p, [](int x, int y, uint8_t* px) { photo_pixel(x, y, px), px[3] = uint8_t(x * 19); }));
  p.colour_type = PNG_COLOR_TYPE_GRAY_ALPHA;
  save("grey_alpha.png", encode_png(p, [](int x, int y, uint8_t* px) { px[0] = uint8_t(y * 20), px[1] = uint8_t(x); }));
  p.colour_type = PNG_COLOR_TYPE_GRAY;
  p.bit_depth = 2;
  save("grey2.png", encode_png(p, [](int x, int y, uint8_t* px) { px[0] = uint8_t((x + y) & 3); }));
  p.bit_depth = 16;
  save("grey16.png", encode_png(p, [](int x, int y, uint8_t* px) { px[0] = uint8_t(x), px[1] = uint8_t(y); }));
  p.colour_type = PNG_COLOR_TYPE_PALETTE;
  p.bit_depth = 4;
  p.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 9, 9}};
  p.trns = {0, 128};
  save("palette_trns.png", encode_png(p, [](int x, int y, uint8_t* px) { px[0] = uint8_t((x ^ y) & 3); }));

  JpegSpec j;
  j.width = 40, j.height = 24;
  save("baseline.jpg", encode_jpeg(j, photo));
  j.progressive = true;
  save("progressive.jpg", encode_jpeg(j, photo));
  j.progressive = false;
  j.app1 = exif_orientation(6, true);
  save("exif.jpg", encode_jpeg(j, photo));
  j.app1.clear();
  j.components = 1;
  save("grey.jpg", encode_jpeg(j, [](int x, int, uint8_t* px) { px[0] = uint8_t(x * 6); }));
  j.components = 4;
  save("cmyk.jpg", encode_jpeg(j, [](int x, int y, uint8_t* px) {
    px[0] = uint8_t(x * 6), px[1] = uint8_t(y * 10), px[2] = 40, px[3] = 200;
  }));

  auto colour = [](int x, int y) { return uint32_t(x * 20) << 16 | uint32_t(y * 30) << 8 | 0x44; };
  BmpSpec b;
  b.width = 7, b.height = 5;
  b.pixel_data = bmp_rows(7, 5, 24, colour);
  save("rgb24.bmp", encode_bmp(b));
  b.height = -5;
  save("topdown.bmp", encode_bmp(b));
  b.height = 5;
  b.bpp = 32, b.compression = 3, b.header_size = 108;
  b.masks[0] = 0xFF0000, b.masks[1] = 0xFF00, b.masks[2] = 0xFF, b.masks[3] = 0xFF000000;
  b.pixel_data = bmp_rows(7, 5, 32, [&](int x, int y) { return uint32_t(x * 30) << 24 | colour(x, y); });
  save("argb32.bmp", encode_bmp(b));
  b.bpp = 16, b.header_size = 40;
  b.masks[0] = 0xF800, b.masks[1] = 0x7E0, b.masks[2] = 0x1F, b.masks[3] = 0;
  b.pixel_data = bmp_rows(7, 5, 16, [](int x, int y) { return uint32_t(x * 2000 + y * 7); });
  save("rgb565.bmp", encode_bmp(b));
  BmpSpec q;
  q.width = 9, q.height = 4, q.bpp = 8, q.palette = {0x000000, 0xFF8040, 0x4080FF, 0xFFFFFF};
  q.pixel_data = bmp_rows(9, 4, 8, [](int x, int y) { return uint32_t((x + y) & 3); });
  save("palette8.bmp", encode_bmp(q));
  q.bpp = 1, q.palette.resize(2);
  q.pixel_data = bmp_rows(9, 4, 1, [](int x, int y) { return uint32_t((x + y) & 1); });
  save("mono.bmp", encode_bmp(q));
  q.bpp = 8, q.compression = 1, q.palette = {0x000000, 0xFF8040, 0x4080FF, 0xFFFFFF};
  q.pixel_data = std::string("\x03\x01\x00\x04\x02\x03\x02\x01\x00\x00\x00\x02\x01\x01\x04\x03\x00\x01", 18);
  save("rle8.bmp", encode_bmp(q));
  q.bpp = 4, q.compression = 2;
  q.pixel_data = std::string("\x05\x12\x00\x00\x00\x05\x31\x20\x30\x00\x00\x02\x02\x01\x02\x33\x00\x01", 18);
  save("rle4.bmp", encode_bmp(q));

  std::printf("fuzz_seeds: %d files in %s\n", written, dir.c_str());
  return written == attempted ? 0 : 1;
}
