// Writes small pictures of every kind the decoders know into a folder, as fuzzing seeds: good ones
// in every odd variant the formats allow, and hostile ones whose lengths and sizes lie. AVIF files
// go into a second folder too, sounds (WAV and Ogg Vorbis) into a third, and the coded data of HEVC
// pictures (their units, each after a 4-byte length) into a fourth, when they are given.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "tests/unit/avif_images.hpp"
#include "tests/unit/heif_grid.hpp"
#include "tests/unit/heif_images.hpp"
#include "tests/unit/hostile_images.hpp"
#include "tests/unit/sample_images.hpp"
#include "tests/unit/sound_samples.hpp"
#include "tests/unit/webp_images.hpp"

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
  if (argc < 2 || argc > 5) {
    std::fprintf(stderr,
                 "usage: fuzz_seeds <folder> [<folder for AVIF alone> [<folder for sounds> [<folder for HEVC data>]]]\n");
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
  p.interlaced = true;
  save("palette_interlaced.png", encode_png(p, [](int x, int y, uint8_t* px) { px[0] = uint8_t((x + 2 * y) & 3); }));
  p.bit_depth = 1, p.palette.resize(2), p.trns.clear(), p.interlaced = false;
  save("palette1.png", encode_png(p, [](int x, int y, uint8_t* px) { px[0] = uint8_t((x ^ y) & 1); }));
  p.palette.clear();
  p.colour_type = PNG_COLOR_TYPE_RGB, p.bit_depth = 16;
  save("rgb16.png", encode_png(p, [](int x, int y, uint8_t* px) {
    for (int i = 0; i < 6; ++i) px[i] = uint8_t(x * 17 + y * 5 + i * 40);
  }));
  p.colour_type = PNG_COLOR_TYPE_RGB_ALPHA, p.interlaced = true;
  save("rgba16_interlaced.png", encode_png(p, [](int x, int y, uint8_t* px) {
    for (int i = 0; i < 8; ++i) px[i] = uint8_t(x * 9 + y * 31 + i * 30);
  }));
  p.colour_type = PNG_COLOR_TYPE_GRAY_ALPHA, p.bit_depth = 16, p.interlaced = false;
  save("grey_alpha16.png", encode_png(p, [](int x, int y, uint8_t* px) {
    for (int i = 0; i < 4; ++i) px[i] = uint8_t(x * 13 + y * 7 + i * 60);
  }));
  p.colour_type = PNG_COLOR_TYPE_GRAY, p.bit_depth = 1, p.interlaced = true;
  save("grey1_interlaced.png", encode_png(p, [](int x, int y, uint8_t* px) { px[0] = uint8_t((x + y) & 1); }));
  // Metadata chunks the decoder skips, and hostile lengths.
  const std::string meta = samples::png_chunk("tEXt", std::string("Title\0seed", 10)) +
                           samples::png_chunk("zTXt", std::string("Note\0\0", 6) + hostile::deflated("text")) +
                           samples::png_chunk("iCCP", std::string("icc\0\0", 5) + hostile::deflated(std::string(132, 'p'))) +
                           samples::png_chunk("gAMA", std::string("\0\0\xB1\x8F", 4)) +
                           samples::png_chunk("prVt", "private");
  save("metadata.png", hostile::small_png_with(meta));
  save("hostile_text_1gb.png", hostile::kPngMagic + hostile::ihdr(1, 1) + hostile::lying_chunk("tEXt", 0x3FFFFFF0u));
  save("hostile_idat_2gb.png", hostile::kPngMagic + hostile::ihdr(64, 64) + hostile::lying_chunk("IDAT", 0x7FFFFFFFu));
  save("hostile_iccp_bomb.png", hostile::small_png_with(samples::png_chunk("iCCP", std::string("icc\0\0", 5) +
                                                                                     hostile::zlib_of_zeros(size_t{4} << 20))));
  const std::string zeros = hostile::png_of_zeros(4000, 4000, 0, 1);
  save("zeros_4000.png", zeros);
  p = {};
  p.width = 1500, p.height = 1000, p.colour_type = PNG_COLOR_TYPE_RGB_ALPHA, p.bit_depth = 16, p.interlaced = true;
  save("large_rgba16_interlaced.png", encode_png(p, [](int x, int y, uint8_t* px) {
    for (int i = 0; i < 8; ++i) px[i] = uint8_t(x < 8 && y < 8 ? x * 30 + i : 77);
  }));

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
  j.adobe_cmyk = false;
  save("cmyk_plain.jpg", encode_jpeg(j, [](int x, int y, uint8_t* px) {
    px[0] = uint8_t(x * 6), px[1] = uint8_t(y * 10), px[2] = 90, px[3] = 20;
  }));
  j.components = 3, j.progressive = true;
  save("cmyk_progressive.jpg", [&] {
    JpegSpec c = j;
    c.components = 4, c.adobe_cmyk = true;
    return encode_jpeg(c, [](int x, int y, uint8_t* px) { px[0] = uint8_t(x * 6), px[1] = uint8_t(y * 10), px[2] = 9, px[3] = 99; });
  }());
  j.components = 1;
  save("grey_progressive.jpg", encode_jpeg(j, [](int x, int y, uint8_t* px) { px[0] = uint8_t(x * 6 + y); }));
  j.components = 3, j.progressive = false, j.restart_interval = 1;
  save("restarts.jpg", encode_jpeg(j, photo));
  j.restart_interval = 0, j.arithmetic = true;
  save("arithmetic.jpg", encode_jpeg(j, photo));
  j.arithmetic = false, j.full_chroma = true;
  save("full_chroma.jpg", encode_jpeg(j, photo));
  j.full_chroma = false, j.width = 17, j.height = 11;
  save("odd_size.jpg", encode_jpeg(j, photo));
  {
    JpegSpec large = j;
    large.width = 3000, large.height = 2000, large.progressive = true, large.quality = 30;
    large.app1 = exif_orientation(8, false);
    save("large_progressive_turned.jpg", encode_jpeg(large, [](int x, int y, uint8_t* px) {
      if (x < 16 && y < 16) photo_pixel(x, y, px);
      else px[0] = 60, px[1] = 60, px[2] = 200;
    }));
  }
  const std::string small = encode_jpeg(j, photo);
  save("hostile_exif.jpg", hostile::jpeg_with(hostile::segment(0xE1, hostile::lying_exif()), small));
  save("hostile_frame.jpg", hostile::with_frame_size(small, 65000, 65000));
  save("hostile_app2.jpg", small.substr(0, 2) + std::string("\xFF\xE2\xFF\xF0ICC_PROFILE", 15));
  save("hostile_progressive_frame.jpg", [&] {
    JpegSpec pj = j;
    pj.progressive = true;
    return hostile::with_frame_size(encode_jpeg(pj, photo), 8000, 8000);
  }());

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
  q.compression = 0, q.bpp = 4;
  q.pixel_data = bmp_rows(9, 4, 4, [](int x, int y) { return uint32_t((x * 3 + y) & 3); });
  save("palette4.bmp", encode_bmp(q));
  q.header_size = 12, q.bpp = 8;
  q.pixel_data = bmp_rows(9, 4, 8, [](int x, int y) { return uint32_t((x + 2 * y) & 3); });
  save("os2_palette8.bmp", encode_bmp(q));
  BmpSpec r;
  r.width = 6, r.height = 3, r.bpp = 16;
  r.pixel_data = bmp_rows(6, 3, 16, [](int x, int y) { return uint32_t(x * 3000 + y * 11) & 0x7FFF; });
  save("rgb555.bmp", encode_bmp(r));
  r.bpp = 32;
  r.pixel_data = bmp_rows(6, 3, 32, [&](int x, int y) { return colour(x, y); });
  save("xrgb32.bmp", encode_bmp(r));
  r.header_size = 12, r.bpp = 24;
  r.pixel_data = bmp_rows(6, 3, 24, colour);
  save("os2_rgb24.bmp", encode_bmp(r));
  save("hostile_palette.bmp", hostile::bmp_header(4, 4, 8, 0, 0x7FFFFFFF, 62) + std::string(24, '\x7F'));
  save("hostile_offset.bmp", hostile::bmp_header(4, 4, 24, 0, 0, 0xFFFFFFF0u) + std::string(48, '\0'));
  save("hostile_rle_cut.bmp", hostile::bmp_header(16000, 4000, 8, 1, 2, 62) + std::string(8, '\x40') + std::string("\x10\x01\x10\x01", 4));
  save("hostile_rle_end.bmp", hostile::bmp_header(4000, 4000, 8, 1, 2, 62) + std::string(8, '\x40') + std::string("\x00\x01", 2));

  {
    namespace w = webp_images;
    const auto rgb = w::pixels(23, 17, 3, [](int x, int y, uint8_t* px) { photo_pixel(x, y, px); });
    const auto rgba = w::pixels(23, 17, 4, [](int x, int y, uint8_t* px) { photo_pixel(x, y, px), px[3] = uint8_t(x * 11); });
    const std::string lossy = w::encode(23, 17, 3, rgb, 75), lossless = w::encode(23, 17, 3, rgb, -1);
    save("lossy.webp", lossy);
    save("lossless.webp", lossless);
    save("lossy_alpha.webp", w::encode(23, 17, 4, rgba, 75));
    save("lossless_alpha.webp", w::encode(23, 17, 4, rgba, -1));
    save("extended.webp", w::riff(w::vp8x(0, 23, 17) + w::chunk("ICCP", std::string(40, 'c')) + w::body(lossy) +
                                  w::chunk("EXIF", "II*\0")));
    save("animated.webp", w::riff(w::vp8x(0x12, 30, 20) + w::anim() + w::anmf(2, 2, 23, 17, w::body(lossless)) +
                                  w::anmf(0, 0, 23, 17, w::body(lossy))));
    save("hostile_vp8_size.webp", w::with_vp8_size(lossy, 4000, 3000));  // its pixels only, each run
    save("hostile_vp8l_size.webp", w::with_vp8l_size(lossless, 4000, 3000));
    save("hostile_riff_size.webp", w::riff(w::body(lossy), 0xFFFFFFF0u));
    // Large but legal, each a few kilobytes: flat colour with a little detail in a corner.
    const auto flat = [](int w, int h, int channels) {
      return w::pixels(w, h, channels, [](int x, int y, uint8_t* px) {
        if (x < 16 && y < 16) photo_pixel(x, y, px);
        else px[0] = 200, px[1] = 120, px[2] = 40;
      });
    };
    save("large_lossy.webp", w::encode(3000, 2000, 3, flat(3000, 2000, 3), 50));
    save("large_lossless_alpha.webp", w::encode(2048, 1536, 4, [&] {
      auto v = flat(2048, 1536, 4);
      for (size_t i = 3; i < v.size(); i += 4) v[i] = uint8_t(i / 4 % 2048 / 8);
      return v;
    }(), -1));
    std::string frames;
    for (int f = 0; f < 40; ++f) frames += w::anmf(uint32_t(f * 2 % 64), uint32_t(f * 4 % 48), 23, 17, w::body(f & 1 ? lossy : lossless));
    save("animated_many.webp", w::riff(w::vp8x(0x12, 1600, 1200) + w::anim() + frames));
  }

  // HEIC, when this libheif can encode it: plain, with alpha, turned, and an odd size (stored as a
  // grid of one cropped tile); then hostile sizes, tile counts and parameter sets.
  if (!heif_samples::can_encode(heif_compression_HEVC)) {
    std::fprintf(stderr, "fuzz_seeds: no HEVC encoder, no HEIC seeds\n");
  } else {
    heif_samples::HeifSpec h;
    h.width = 32, h.height = 24, h.quality = 60;
    const std::string plain = heif_samples::photo_heif(h);
    save("plain.heic", plain);
    save("hostile_ispe.heic", heif_samples::with_ispe(plain, 60000, 40000));
    save("hostile_sps.heic", heif_samples::with_sps_size(plain, 4000, 3000));
    save("hostile_sps_in_data.heic", heif_samples::with_sps_in_data(plain, 4000, 3000));
    save("hostile_two_pictures.heic", heif_samples::with_two_pictures(plain));
    save("hostile_whole_sps.heic", heif_samples::with_whole_sps_size(plain, 16000, 8000));
    save("whole_sps_larger.heic", heif_samples::with_whole_sps_size(plain, 512, 384));  // decodes, cropped
    h.alpha = true;
    save("alpha.heic", heif_samples::encode_heif(h, [](int x, int y, uint8_t* px) { photo_pixel(x, y, px), px[3] = uint8_t(x * 8); }));
    h.alpha = false, h.orientation = heif_orientation_rotate_90_cw_then_flip_horizontally;
    save("turned.heic", heif_samples::photo_heif(h));
    h.orientation = heif_orientation_normal, h.width = 13, h.height = 9;
    save("odd_grid.heic", heif_samples::photo_heif(h));
    // Large but legal, with a thumbnail; alpha turned a quarter.
    h.width = 2000, h.height = 1500, h.quality = 30, h.thumbnail = 160;
    save("large_thumbnail.heic", heif_samples::encode_heif(h, [](int x, int y, uint8_t* px) {
      if (x < 64 && y < 64) photo_pixel(x, y, px);
      else px[0] = 90, px[1] = 160, px[2] = 220;
    }));
    // Small with a thumbnail the preview decoder takes (the fuzz target asks for 64x48 or more).
    h.width = 256, h.height = 192, h.quality = 40, h.thumbnail = 128;
    save("small_thumbnail.heic", heif_samples::photo_heif(h));
    h.width = 61, h.height = 33, h.thumbnail = 0, h.alpha = true, h.orientation = heif_orientation_rotate_270_cw;
    save("alpha_turned.heic", heif_samples::encode_heif(h, [](int x, int y, uint8_t* px) { photo_pixel(x, y, px), px[3] = uint8_t(y * 7); }));
    // As cameras store photos: grids of tiles, coded with both loop filters; deeper, with checksums.
    heif_grid::Coding camera;
    camera.preset = "fast", camera.quality = 40;
    save("grid_3x2.heic", heif_grid::encode_grid(150, 100, 64, camera, photo));
    // Turned and mirrored, and tiles that state no colours: decoded straight at a reduced size.
    std::vector<heif_grid::Coded> tiles;
    for (int y = 0; y < 128; y += 64)
      for (int x = 0; x < 192; x += 64) tiles.push_back(heif_grid::code_picture(64, 64, x, y, camera, photo)), tiles.back().colr.clear();
    save("grid_turned.heic", heif_grid::grid_file(180, 128, 64, 64, tiles,
                                                  {heif_samples::box("irot", "\1"), heif_samples::box("imir", std::string(1, '\0'))}));
    heif_grid::Coding deep = camera;
    deep.bit_depth = 10, deep.chroma = "444", deep.checksums = true;
    save("grid_deep_444.heic", heif_grid::encode_grid(100, 60, 64, deep, photo));
  }
  save("hostile_grid.heic", heif_samples::grid_of(3000));

  // AVIF, in the main folder and in a folder of its own for the AVIF fuzzer.
  const std::string main_dir = dir;
  for (int i = 1; i < std::min(argc, 3); ++i) {
    namespace a = avif_images;
    dir = argv[i];
    const auto rgb = a::pixels(23, 17, 3, [](int x, int y, uint8_t* px) { photo_pixel(x, y, px); });
    const auto rgba = a::pixels(23, 17, 4, [](int x, int y, uint8_t* px) { photo_pixel(x, y, px), px[3] = uint8_t(x * 11); });
    a::Spec lossy;
    lossy.quantizer = 30;
    lossy.yuv = AVIF_PIXEL_FORMAT_YUV420;
    const std::string plain = a::encode(23, 17, 3, rgb, lossy);
    save("lossless.avif", a::encode(23, 17, 3, rgb));
    save("lossy.avif", plain);
    save("lossless_alpha.avif", a::encode(23, 17, 4, rgba));
    save("lossy_alpha.avif", a::encode(23, 17, 4, rgba, lossy));
    a::Spec deep = lossy;
    deep.depth = 10, deep.yuv = AVIF_PIXEL_FORMAT_YUV422;
    save("deep_422.avif", a::encode(23, 17, 3, rgb, deep));
    a::Spec grey = lossy;
    grey.yuv = AVIF_PIXEL_FORMAT_YUV400;
    save("grey.avif", a::encode(23, 17, 3, rgb, grey));
    a::Spec turned;  // 4:4:4, which a crop of odd sizes needs
    turned.irot = 1, turned.imir = 1;
    turned.clap = {2, 2, 19, 13};
    save("turned_cropped.avif", a::encode(23, 17, 3, rgb, turned));
    save("sequence.avis", a::sequence(23, 17, 3, {rgb, rgb, rgb}, lossy));
    save("sequence_alpha.avis", a::sequence(23, 17, 4, {rgba, rgba}, lossy));
    save("hostile_ispe_12mp.avif", a::with_ispe(plain, 4000, 3000));
    save("hostile_ispe_huge.avif", a::with_ispe(plain, 16384, 16384));
    save("hostile_ispe_odd.avif", a::with_ispe(plain, 24, 17));
    // Grids, deep and large pictures, each a few kilobytes.
    const auto flat = [](int w, int h, int channels) {
      return a::pixels(w, h, channels, [channels](int x, int y, uint8_t* px) {
        if (x < 16 && y < 16) photo_pixel(x, y, px);
        else px[0] = 30, px[1] = 140, px[2] = 90;
        if (channels == 4) px[3] = uint8_t(x + y);
      });
    };
    save("grid_4x3.avif", a::grid(4, 3, 64, 64, 3, flat(256, 192, 3), lossy));
    save("grid_8x8_alpha.avif", a::grid(8, 8, 64, 64, 4, flat(512, 512, 4), lossy));
    a::Spec twelve = lossy;
    twelve.depth = 12, twelve.yuv = AVIF_PIXEL_FORMAT_YUV444;
    save("deep12_444_alpha.avif", a::encode(23, 17, 4, rgba, twelve));
    a::Spec big = lossy;
    big.quantizer = 50;
    save("large.avif", a::encode(2048, 1536, 3, flat(2048, 1536, 3), big));
    save("large_sequence.avis", a::sequence(640, 480, 4, {flat(640, 480, 4), flat(640, 480, 4)}, big));
  }
  dir = main_dir;

  // Sounds: WAV at every sample size and odd rates, mono and stereo; Ogg Vorbis, short and long.
  if (argc == 4) {
    namespace s = sound_samples;
    dir = argv[3];
    auto pcm = [](int frames, int channels, int bits) {
      std::string out;
      for (int i = 0; i < frames * channels; ++i) {
        const int v = int(12000 * std::sin(i * 0.07));
        // 8-bit samples are unsigned; wider ones signed, little-endian, the value in the top bits.
        const uint32_t u = bits == 8 ? uint32_t(128 + v / 256) : uint32_t(v) << (bits - 16);
        for (int b = 0; b < bits / 8; ++b) out += char(u >> (8 * b));
      }
      return out;
    };
    save("mono8_11025.wav", s::make_wav(1, 11025, 8, pcm(2000, 1, 8)));
    save("stereo16_44100.wav", s::make_wav(2, 44100, 16, pcm(3000, 2, 16)));
    save("mono16_22050.wav", s::make_wav(1, 22050, 16, pcm(1500, 1, 16)));
    save("stereo24_48000.wav", s::make_wav(2, 48000, 24, pcm(1000, 2, 24)));
    save("mono32_8000.wav", s::make_wav(1, 8000, 32, pcm(800, 1, 32)));
    save("odd_rate.wav", s::make_wav(2, 37800, 16, pcm(700, 2, 16)));
    save("mono_22050.ogg", s::make_ogg(1, 22050, 11025, 440, 0.5));
    save("stereo_44100.ogg", s::make_ogg(2, 44100, 30000, 1000, 0.4));
    save("mono_8000_short.ogg", s::make_ogg(1, 8000, 300, 200, 0.9));
    dir = main_dir;
  }

  // HEVC pictures' coded data, for the HEVC fuzzer: every chroma layout, 8 and 10 bits, both loop
  // filters, checksums.
  if (argc == 5 && heif_samples::can_encode(heif_compression_HEVC)) {
    dir = argv[4];
    struct Kind {
      const char* name;
      const char* chroma;
      int depth;
      const char* preset;
      bool checksums;
    };
    for (const Kind k : {Kind{"420", "420", 8, "ultrafast", false}, Kind{"420_filtered", "420", 8, "fast", false},
                         Kind{"420_10bit_checksums", "420", 10, "fast", true}, Kind{"422", "422", 8, "ultrafast", false},
                         Kind{"444_10bit", "444", 10, "ultrafast", false}, Kind{"grey", "400", 8, "ultrafast", true}}) {
      heif_grid::Coding c;
      c.chroma = k.chroma, c.bit_depth = k.depth, c.preset = k.preset, c.checksums = k.checksums, c.quality = 40;
      save(std::string(k.name) + ".hevc", heif_grid::units(heif_grid::code_picture(40, 24, 0, 0, c, photo)));
    }
    dir = main_dir;
  }

  std::printf("fuzz_seeds: %d files in %s\n", written, dir.c_str());
  return written == attempted ? 0 : 1;
}
