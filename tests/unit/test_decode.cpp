#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "media/decode/decode.hpp"
#include "media/decode/decode_heif.hpp"
#include "tests/unit/heif_grid.hpp"
#include "tests/unit/sample_images.hpp"

using namespace media;
using samples::BmpSpec;
using samples::JpegSpec;
using samples::PngSpec;

namespace {

DecodeResult decode(const std::string& s, const DecodeOptions& opt = {}) {
  return decode_image(reinterpret_cast<const uint8_t*>(s.data()), s.size(), opt);
}

// Whole-picture comparison with a per-channel tolerance (JPEG is lossy).
void expect_close(const Pixmap& p, const std::function<uint32_t(int, int)>& want, int tolerance) {
  int worst = 0;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      uint32_t a = read_pixel(p, x, y), b = want(x, y);
      for (int sh = 0; sh < 32; sh += 8)
        worst = std::max(worst, std::abs(static_cast<int>(a >> sh & 255) - static_cast<int>(b >> sh & 255)));
    }
  EXPECT_LE(worst, tolerance);
}

uint32_t photo_argb(int x, int y) {
  uint8_t px[3];
  samples::photo_pixel(x, y, px);
  return 0xFF000000u | px[0] << 16 | px[1] << 8 | px[2];
}

std::string photo_png(int w, int h) {
  PngSpec s;
  s.width = w, s.height = h;
  return samples::encode_png(s, [](int x, int y, uint8_t* px) { samples::photo_pixel(x, y, px); });
}

std::string photo_jpeg(int w, int h, bool progressive = false) {
  JpegSpec s;
  s.width = w, s.height = h, s.quality = 95, s.progressive = progressive;
  return samples::encode_jpeg(s, [](int x, int y, uint8_t* px) { samples::photo_pixel(x, y, px); });
}

// Offset of the first chunk of that type in a PNG.
size_t find_chunk(const std::string& png, const std::string& type) {
  for (size_t p = 8; p + 8 <= png.size();) {
    uint32_t len = uint32_t(uint8_t(png[p])) << 24 | uint32_t(uint8_t(png[p + 1])) << 16 |
                   uint32_t(uint8_t(png[p + 2])) << 8 | uint8_t(png[p + 3]);
    if (png.compare(p + 4, 4, type) == 0) return p;
    p += 12 + len;
  }
  return std::string::npos;
}

std::string png_with_header(uint32_t w, uint32_t h) {
  std::string ihdr;
  samples::put32be(ihdr, w);
  samples::put32be(ihdr, h);
  ihdr += std::string("\x08\x02\x00\x00\x00", 5);
  return std::string("\x89PNG\r\n\x1a\n", 8) + samples::png_chunk("IHDR", ihdr) + samples::png_chunk("IEND", "");
}

// Offset of the first baseline or progressive frame header (FF C0 / FF C2).
size_t find_sof(const std::string& jpg) {
  for (size_t p = 2; p + 1 < jpg.size(); ++p)
    if (uint8_t(jpg[p]) == 0xFF && (uint8_t(jpg[p + 1]) == 0xC0 || uint8_t(jpg[p + 1]) == 0xC2)) return p;
  return std::string::npos;
}

size_t find_sos(const std::string& jpg) {
  for (size_t p = 2; p + 1 < jpg.size(); ++p)
    if (uint8_t(jpg[p]) == 0xFF && uint8_t(jpg[p + 1]) == 0xDA) return p;
  return std::string::npos;
}

void expect_refused(const std::string& bytes, const std::string& why, const char* what) {
  DecodeResult r = decode(bytes);
  EXPECT_FALSE(r.pixmap) << what;
  if (!why.empty()) {
    EXPECT_EQ(r.error, why) << what;
  }
  EXPECT_FALSE(r.error.empty()) << what;
}

}  // namespace

TEST(DecodePng, NaturalFormatsAndPixels) {
  PngSpec s;
  s.width = 7, s.height = 5;
  auto rgb = decode(samples::encode_png(s, [](int x, int y, uint8_t* px) {
    px[0] = uint8_t(x * 16), px[1] = uint8_t(y * 8), px[2] = 200;
  }));
  ASSERT_TRUE(rgb.pixmap) << rgb.error;
  EXPECT_EQ(rgb.pixmap->format, PF_RGB);
  EXPECT_EQ(rgb.pixmap->width, 7);
  EXPECT_EQ(rgb.pixmap->height, 5);
  EXPECT_EQ(rgb.orientation, 1);
  EXPECT_EQ(read_pixel(rgb.pixmap, 5, 3), 0xFF5018C8u);

  // Interlaced files give the same pixels.
  s.interlaced = true;
  auto inter = decode(samples::encode_png(s, [](int x, int y, uint8_t* px) {
    px[0] = uint8_t(x * 16), px[1] = uint8_t(y * 8), px[2] = 200;
  }));
  ASSERT_TRUE(inter.pixmap) << inter.error;
  EXPECT_EQ(inter.pixmap->pixels, rgb.pixmap->pixels);
  s.interlaced = false;

  s.colour_type = PNG_COLOR_TYPE_RGB_ALPHA;
  auto rgba = decode(samples::encode_png(s, [](int x, int y, uint8_t* px) {
    px[0] = 1, px[1] = 2, px[2] = uint8_t(y), px[3] = uint8_t(x * 20);
  }));
  ASSERT_TRUE(rgba.pixmap) << rgba.error;
  EXPECT_EQ(rgba.pixmap->format, PF_RGBA);
  EXPECT_EQ(read_pixel(rgba.pixmap, 6, 4), 0x78010204u);

  s.colour_type = PNG_COLOR_TYPE_GRAY;
  auto grey = decode(samples::encode_png(s, [](int x, int y, uint8_t* px) { px[0] = uint8_t(x + 10 * y); }));
  ASSERT_TRUE(grey.pixmap) << grey.error;
  EXPECT_EQ(grey.pixmap->format, PF_GREY);
  EXPECT_EQ(read_pixel(grey.pixmap, 3, 2), 0xFF171717u);

  s.bit_depth = 4;  // expanded to 8 bits: v * 17
  auto grey4 = decode(samples::encode_png(s, [](int x, int, uint8_t* px) { px[0] = uint8_t(x); }));
  ASSERT_TRUE(grey4.pixmap) << grey4.error;
  EXPECT_EQ(grey4.pixmap->format, PF_GREY);
  EXPECT_EQ(read_pixel(grey4.pixmap, 3, 0), 0xFF333333u);
  EXPECT_EQ(read_pixel(grey4.pixmap, 6, 4), 0xFF666666u);
  s.bit_depth = 8;

  s.colour_type = PNG_COLOR_TYPE_GRAY_ALPHA;
  auto ga = decode(samples::encode_png(s, [](int x, int, uint8_t* px) { px[0] = 0x40, px[1] = uint8_t(x); }));
  ASSERT_TRUE(ga.pixmap) << ga.error;
  EXPECT_EQ(ga.pixmap->format, PF_RGBA);
  EXPECT_EQ(read_pixel(ga.pixmap, 5, 1), 0x05404040u);

  s.colour_type = PNG_COLOR_TYPE_RGB;
  s.bit_depth = 16;  // high bytes kept
  auto deep = decode(samples::encode_png(s, [](int x, int y, uint8_t* px) {
    px[0] = uint8_t(x), px[1] = 0xFF, px[2] = uint8_t(y), px[3] = 0xFF, px[4] = 0xAB, px[5] = 0x01;
  }));
  ASSERT_TRUE(deep.pixmap) << deep.error;
  EXPECT_EQ(deep.pixmap->format, PF_RGB);
  EXPECT_EQ(read_pixel(deep.pixmap, 4, 2), 0xFF0402ABu);
}

TEST(DecodePng, Palettes) {
  PngSpec s;
  s.width = 6, s.height = 2;
  s.colour_type = PNG_COLOR_TYPE_PALETTE;
  s.palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}, {255, 0, 128}};
  auto fill = [](int x, int y, uint8_t* px) { px[0] = uint8_t((x + y) % 4); };
  auto plain = decode(samples::encode_png(s, fill));
  ASSERT_TRUE(plain.pixmap) << plain.error;
  EXPECT_EQ(plain.pixmap->format, PF_RGB);
  EXPECT_EQ(read_pixel(plain.pixmap, 2, 1), 0xFFFF0080u);
  EXPECT_EQ(read_pixel(plain.pixmap, 0, 0), 0xFF0A141Eu);

  s.trns = {0, 128};  // entries past the list are opaque
  auto clear = decode(samples::encode_png(s, fill));
  ASSERT_TRUE(clear.pixmap) << clear.error;
  EXPECT_EQ(clear.pixmap->format, PF_RGBA);
  EXPECT_EQ(read_pixel(clear.pixmap, 0, 0), 0x000A141Eu);
  EXPECT_EQ(read_pixel(clear.pixmap, 1, 0), 0x8028323Cu);
  EXPECT_EQ(read_pixel(clear.pixmap, 3, 0), 0xFFFF0080u);

  s.bit_depth = 2;
  s.trns.clear();
  auto packed = decode(samples::encode_png(s, fill));
  ASSERT_TRUE(packed.pixmap) << packed.error;
  EXPECT_EQ(packed.pixmap->pixels, plain.pixmap->pixels);
}

TEST(DecodePng, CorruptFilesAreRefused) {
  const std::string good = photo_png(64, 64);
  ASSERT_TRUE(decode(good).pixmap);
  expect_refused(good.substr(0, good.size() / 2), "truncated", "cut mid-IDAT");
  expect_refused(good.substr(0, good.size() - 12), "truncated", "no IEND");
  expect_refused(good.substr(0, 30), "truncated", "cut inside IHDR");
  expect_refused(good.substr(0, 8), "truncated", "signature only");

  std::string bad = good;
  size_t idat = find_chunk(bad, "IDAT");
  ASSERT_NE(idat, std::string::npos);
  const size_t idat_len = uint8_t(bad[idat + 2]) << 8 | uint8_t(bad[idat + 3]);
  bad[idat + 8 + idat_len] ^= 0x10;
  expect_refused(bad, "bad CRC", "flipped IDAT CRC");
  bad = good;
  bad[idat + 8 + 40] ^= 0x10;
  expect_refused(bad, "", "flipped IDAT byte");
  bad = good;
  bad[8 + 8 + 12] ^= 1;  // IHDR interlace byte
  expect_refused(bad, "bad CRC", "flipped IHDR byte");

  // Headers that lie about the size, with good CRCs.
  expect_refused(png_with_header(100000, 100000), "too large: 100000x100000", "huge IHDR");
  expect_refused(png_with_header(16385, 10), "too large: 16385x10", "too wide");
  expect_refused(png_with_header(16384, 16384), "too large: 16384x16384", "too many pixels");
  expect_refused(png_with_header(0, 5), "", "zero width");
  expect_refused(png_with_header(20, 20), "", "no image data");
}

TEST(DecodeJpeg, ColourGreyAndCmyk) {
  auto colour = decode(photo_jpeg(64, 48));
  ASSERT_TRUE(colour.pixmap) << colour.error;
  EXPECT_EQ(colour.pixmap->format, PF_RGB);
  EXPECT_EQ(colour.pixmap->width, 64);
  EXPECT_EQ(colour.pixmap->height, 48);
  EXPECT_EQ(colour.orientation, 1);
  expect_close(*colour.pixmap, photo_argb, 40);

  auto progressive = decode(photo_jpeg(64, 48, true));
  ASSERT_TRUE(progressive.pixmap) << progressive.error;
  expect_close(*progressive.pixmap, photo_argb, 40);

  JpegSpec s;
  s.width = 24, s.height = 16, s.components = 1;
  auto grey = decode(samples::encode_jpeg(s, [](int x, int, uint8_t* px) { px[0] = uint8_t(x * 10); }));
  ASSERT_TRUE(grey.pixmap) << grey.error;
  EXPECT_EQ(grey.pixmap->format, PF_GREY);
  expect_close(*grey.pixmap, [](int x, int) { return 0xFF000000u | 0x010101u * (x * 10); }, 8);

  // Adobe CMYK stores inverted values (255 = no ink); plain CMYK stores ink amounts.
  s.components = 4;
  auto adobe = decode(samples::encode_jpeg(s, [](int, int, uint8_t* px) {
    px[0] = 255, px[1] = 128, px[2] = 0, px[3] = 255;
  }));
  ASSERT_TRUE(adobe.pixmap) << adobe.error;
  EXPECT_EQ(adobe.pixmap->format, PF_RGB);
  expect_close(*adobe.pixmap, [](int, int) { return 0xFFFF8000u; }, 3);
  s.adobe_cmyk = false;
  auto plain = decode(samples::encode_jpeg(s, [](int, int, uint8_t* px) {
    px[0] = 0, px[1] = 127, px[2] = 255, px[3] = 0;
  }));
  ASSERT_TRUE(plain.pixmap) << plain.error;
  expect_close(*plain.pixmap, [](int, int) { return 0xFFFF8000u; }, 3);
}

TEST(DecodeJpeg, ReducedScale) {
  const std::string jpg = photo_jpeg(400, 300);
  struct Case {
    DecodeOptions opt;
    int w, h;
  };
  const Case cases[] = {
      {{100, 75}, 100, 75},    // 1/4 is the largest reduction that still covers
      {{101, 75}, 200, 150},   // one pixel more needs 1/2
      {{1, 1}, 50, 38},        // 1/8, rounded up
      {{400, 300}, 400, 300},
      {{1000, 1000}, 400, 300},  // never enlarged
      {{0, 0}, 400, 300},
      {{100, 0}, 400, 300},    // both must be given
  };
  for (const Case& c : cases) {
    auto r = decode(jpg, c.opt);
    ASSERT_TRUE(r.pixmap) << r.error;
    EXPECT_EQ(r.pixmap->width, c.w) << c.opt.min_width << "x" << c.opt.min_height;
    EXPECT_EQ(r.pixmap->height, c.h) << c.opt.min_width << "x" << c.opt.min_height;
  }
  // The reduced picture still looks like the whole one.
  auto quarter = decode(jpg, {100, 75});
  expect_close(*quarter.pixmap, [](int x, int y) { return photo_argb(4 * x + 2, 4 * y + 2); }, 48);
  // Other formats ignore the options.
  auto png = decode(photo_png(40, 30), {5, 5});
  ASSERT_TRUE(png.pixmap);
  EXPECT_EQ(png.pixmap->width, 40);
}

TEST(DecodeJpeg, ExifOrientation) {
  JpegSpec s;
  auto fill = [](int x, int y, uint8_t* px) { px[0] = uint8_t(x * 8), px[1] = uint8_t(y * 8), px[2] = 99; };
  struct Case {
    int stored;
    bool big_endian;
    int expected;
  };
  for (Case c : {Case{6, false, 6}, Case{3, true, 3}, Case{8, true, 8}, Case{1, false, 1}, Case{9, false, 1},
                 Case{0, true, 1}}) {
    s.app1 = samples::exif_orientation(c.stored, c.big_endian);
    auto r = decode(samples::encode_jpeg(s, fill));
    ASSERT_TRUE(r.pixmap) << r.error;
    EXPECT_EQ(r.orientation, c.expected) << "stored " << c.stored;
    EXPECT_EQ(r.pixmap->width, 16) << "not rotated here";
  }
  s.app1 = "Exif\0\0garbage";
  auto junk = decode(samples::encode_jpeg(s, fill));
  ASSERT_TRUE(junk.pixmap);
  EXPECT_EQ(junk.orientation, 1);
}

TEST(DecodeJpeg, CorruptFilesAreRefused) {
  const std::string good = photo_jpeg(128, 96);
  const size_t sos = find_sos(good);
  ASSERT_NE(sos, std::string::npos);
  expect_refused(good.substr(0, sos + (good.size() - sos) / 2), "truncated", "cut mid-scan");
  expect_refused(good.substr(0, good.size() - 2), "", "no end marker");
  expect_refused(good.substr(0, sos), "", "cut before the scan");
  const std::string prog = photo_jpeg(128, 96, true);
  expect_refused(prog.substr(0, prog.size() * 2 / 3), "truncated", "progressive cut");

  std::string marker = good;  // a stray marker in the middle of the entropy-coded data
  marker[sos + 400] = char(0xFF), marker[sos + 401] = char(0xD3);
  expect_refused(marker, "corrupt data", "stray marker");

  std::string huge = good;
  const size_t sof = find_sof(huge);
  ASSERT_NE(sof, std::string::npos);
  huge[sof + 5] = char(0xFD), huge[sof + 6] = char(0xE8);  // height 65000
  huge[sof + 7] = char(0xFD), huge[sof + 8] = char(0xE8);  // width 65000
  expect_refused(huge, "too large: 65000x65000", "huge SOF");
  huge = good;
  huge[sof + 5] = char(0x40), huge[sof + 6] = char(0x01);  // height 16385
  expect_refused(huge, "too large: 128x16385", "too tall");

  std::string deep = good;
  deep[sof + 4] = 12;
  expect_refused(deep, "", "12-bit samples");

  expect_refused(std::string("\xFF\xD8\xFF", 3), "", "marker only");

  // A legal progression with more scans than any real picture uses: each AC coefficient of each
  // component sent alone and refined bit by bit.
  JpegSpec many;
  many.width = many.height = 8;
  for (int c = 0; c < 3; ++c) many.scans.push_back({1, {c}, 0, 0, 0, 0});
  for (int c = 0; c < 3; ++c)
    for (int k = 1; k < 64; ++k) {
      many.scans.push_back({1, {c}, k, k, 0, 9});
      for (int al = 8; al >= 0; --al) many.scans.push_back({1, {c}, k, k, al + 1, al});
    }
  std::string scans = samples::encode_jpeg(many, [](int x, int y, uint8_t* px) { samples::photo_pixel(x, y, px); });
  ASSERT_GT(scans.size(), 1000u);
  expect_refused(scans, "too many scans", "1893 scans");
}

TEST(DecodeBmp, UncompressedDepths) {
  auto colour = [](int x, int y) { return uint32_t(x * 40) << 16 | uint32_t(y * 50) << 8 | 0x33; };
  BmpSpec s;
  s.width = 5, s.height = 3;  // rows of 15 bytes padded to 16
  s.pixel_data = samples::bmp_rows(5, 3, 24, colour);
  auto bgr = decode(samples::encode_bmp(s));
  ASSERT_TRUE(bgr.pixmap) << bgr.error;
  EXPECT_EQ(bgr.pixmap->format, PF_BGR);
  EXPECT_EQ(bgr.pixmap->width, 5);
  EXPECT_EQ(bgr.pixmap->height, 3);
  expect_close(*bgr.pixmap, [&](int x, int y) { return 0xFF000000u | colour(x, y); }, 0);

  BmpSpec top = s;  // top-down: negative height, first row first
  top.height = -3;
  top.pixel_data = samples::bmp_rows(5, 3, 24, [&](int x, int y) { return colour(x, 2 - y); });
  auto td = decode(samples::encode_bmp(top));
  ASSERT_TRUE(td.pixmap) << td.error;
  EXPECT_EQ(td.pixmap->pixels, bgr.pixmap->pixels);

  const std::vector<uint32_t> pal = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFFFFFF};
  for (int bpp : {1, 4, 8}) {
    for (int header : {40, 12}) {
      BmpSpec p;
      p.width = 11, p.height = 4, p.bpp = bpp, p.header_size = header;
      const int colours = bpp == 1 ? 2 : 6;
      p.palette.assign(pal.begin(), pal.begin() + colours);
      if (header == 12) p.palette.resize(size_t{1} << bpp);  // the oldest header always holds them all
      p.pixel_data = samples::bmp_rows(11, 4, bpp, [&](int x, int y) { return uint32_t((x + y) % colours); });
      auto r = decode(samples::encode_bmp(p));
      ASSERT_TRUE(r.pixmap) << bpp << " bits, header " << header << ": " << r.error;
      EXPECT_EQ(r.pixmap->format, PF_BGR);
      expect_close(*r.pixmap, [&](int x, int y) { return 0xFF000000u | pal[(x + y) % colours]; }, 0);
      if (header == 12) continue;
      p.height = -4;  // top-down
      p.pixel_data = samples::bmp_rows(11, 4, bpp, [&](int x, int y) { return uint32_t((x + 3 - y) % colours); });
      auto t = decode(samples::encode_bmp(p));
      ASSERT_TRUE(t.pixmap) << bpp << " bits top-down: " << t.error;
      EXPECT_EQ(t.pixmap->pixels, r.pixmap->pixels);
    }
  }

  BmpSpec x32 = s;  // 32-bit without bit fields: the fourth byte is not alpha
  x32.bpp = 32;
  x32.pixel_data = samples::bmp_rows(5, 3, 32, [&](int x, int y) { return 0x11000000u | colour(x, y); });
  auto r32 = decode(samples::encode_bmp(x32));
  ASSERT_TRUE(r32.pixmap) << r32.error;
  EXPECT_EQ(r32.pixmap->format, PF_BGR);
  EXPECT_EQ(r32.pixmap->pixels, bgr.pixmap->pixels);

  BmpSpec a32 = x32;  // bit fields with an alpha mask
  a32.compression = 3, a32.header_size = 108;
  a32.masks[0] = 0x00FF0000, a32.masks[1] = 0x0000FF00, a32.masks[2] = 0x000000FF, a32.masks[3] = 0xFF000000;
  a32.pixel_data = samples::bmp_rows(5, 3, 32, [&](int x, int y) { return uint32_t(x * 60) << 24 | colour(x, y); });
  auto ra = decode(samples::encode_bmp(a32));
  ASSERT_TRUE(ra.pixmap) << ra.error;
  EXPECT_EQ(ra.pixmap->format, PF_BGRA);
  expect_close(*ra.pixmap, [&](int x, int y) { return uint32_t(x * 60) << 24 | colour(x, y); }, 0);

  for (int header : {56, 124}) {  // the same through the other headers that carry an alpha mask
    BmpSpec v = a32;
    v.header_size = header;
    auto rv = decode(samples::encode_bmp(v));
    ASSERT_TRUE(rv.pixmap) << header << ": " << rv.error;
    EXPECT_EQ(rv.pixmap->pixels, ra.pixmap->pixels) << header;
  }
  BmpSpec v5 = x32;  // the newest header without bit fields: masks ignored, no alpha
  v5.header_size = 124;
  auto r5 = decode(samples::encode_bmp(v5));
  ASSERT_TRUE(r5.pixmap) << r5.error;
  EXPECT_EQ(r5.pixmap->format, PF_BGR);
  EXPECT_EQ(r5.pixmap->pixels, bgr.pixmap->pixels);
  BmpSpec swapped = a32;  // bit fields in another order: R in the low byte
  swapped.masks[0] = 0xFF, swapped.masks[2] = 0xFF0000;
  auto rs = decode(samples::encode_bmp(swapped));
  ASSERT_TRUE(rs.pixmap) << rs.error;
  expect_close(*rs.pixmap, [&](int x, int y) {
    uint32_t c = colour(x, y);
    return uint32_t(x * 60) << 24 | (c & 0xFF) << 16 | (c & 0xFF00) | c >> 16;
  }, 0);

  a32.pixel_data = samples::bmp_rows(5, 3, 32, colour);  // alpha never filled in: opaque
  auto rz = decode(samples::encode_bmp(a32));
  ASSERT_TRUE(rz.pixmap) << rz.error;
  EXPECT_EQ(rz.pixmap->format, PF_BGR);
  EXPECT_EQ(rz.pixmap->pixels, bgr.pixmap->pixels);

  BmpSpec h16;  // 16-bit, default 5-5-5, and 5-6-5 bit fields after a 40-byte header
  h16.width = 3, h16.height = 2, h16.bpp = 16;
  h16.pixel_data = samples::bmp_rows(3, 2, 16, [](int x, int) { return x == 0 ? 0x7C00u : x == 1 ? 0x03E0u : 0x7FFFu; });
  auto r555 = decode(samples::encode_bmp(h16));
  ASSERT_TRUE(r555.pixmap) << r555.error;
  EXPECT_EQ(r555.pixmap->format, PF_BGR);
  EXPECT_EQ(read_pixel(r555.pixmap, 0, 1), 0xFFFF0000u);
  EXPECT_EQ(read_pixel(r555.pixmap, 1, 1), 0xFF00FF00u);
  EXPECT_EQ(read_pixel(r555.pixmap, 2, 0), 0xFFFFFFFFu);
  h16.compression = 3;
  h16.masks[0] = 0xF800, h16.masks[1] = 0x07E0, h16.masks[2] = 0x001F;
  h16.pixel_data = samples::bmp_rows(3, 2, 16, [](int x, int) { return x == 0 ? 0xF800u : x == 1 ? 0x07E0u : 0x001Fu; });
  auto r565 = decode(samples::encode_bmp(h16));
  ASSERT_TRUE(r565.pixmap) << r565.error;
  expect_close(*r565.pixmap, [](int x, int) { return x == 0 ? 0xFFFF0000u : x == 1 ? 0xFF00FF00u : 0xFF0000FFu; }, 0);
  // Narrow fields widen to the full 0..255 range, rounding: 5 bits 16 -> 132, 6 bits 32 -> 130.
  h16.pixel_data = samples::bmp_rows(3, 2, 16, [](int, int) { return 16u << 11 | 32u << 5 | 1u; });
  auto mid = decode(samples::encode_bmp(h16));
  ASSERT_TRUE(mid.pixmap) << mid.error;
  EXPECT_EQ(read_pixel(mid.pixmap, 1, 1), 0xFF848208u);
}

TEST(DecodeBmp, RunLengthFiles) {
  const std::vector<uint32_t> pal = {0x000000, 0x110000, 0x220000, 0x330000, 0x440000, 0x550000};
  BmpSpec s;
  s.width = 6, s.height = 3, s.bpp = 8, s.compression = 1, s.palette = pal;
  s.pixel_data = std::string(
      "\x03\x01"                  // bottom row: three of 1
      "\x00\x03\x02\x03\x02\x00"  // three literal pixels, padded
      "\x00\x00"                  // end of line
      "\x02\x04"                  // two of 4
      "\x00\x02\x02\x01"          // skip 2 right, 1 up
      "\x02\x05"                  // two of 5 at x 4
      "\x00\x01",                 // end of bitmap
      20);
  auto r8 = decode(samples::encode_bmp(s));
  ASSERT_TRUE(r8.pixmap) << r8.error;
  EXPECT_EQ(r8.pixmap->format, PF_BGR);
  const int want8[3][6] = {{0, 0, 0, 0, 5, 5}, {4, 4, 0, 0, 0, 0}, {1, 1, 1, 2, 3, 2}};
  expect_close(*r8.pixmap, [&](int x, int y) { return 0xFF000000u | pal[want8[y][x]]; }, 0);

  BmpSpec s4 = s;
  s4.width = 5, s4.height = 2, s4.bpp = 4, s4.compression = 2;
  s4.pixel_data = std::string("\x05\x12\x00\x00\x00\x05\x34\x50\x12\x00\x00\x01", 12);
  auto r4 = decode(samples::encode_bmp(s4));
  ASSERT_TRUE(r4.pixmap) << r4.error;
  const int want4[2][5] = {{3, 4, 5, 0, 1}, {1, 2, 1, 2, 1}};
  expect_close(*r4.pixmap, [&](int x, int y) { return 0xFF000000u | pal[want4[y][x]]; }, 0);

  // Damaged runs.
  auto with = [&](const std::string& codes, int width = 4) {
    BmpSpec b = s;
    b.width = width, b.height = 2;
    b.pixel_data = codes;
    return samples::encode_bmp(b);
  };
  expect_refused(with(std::string("\x05\x01\x00\x01", 4)), "RLE overrun", "run past the row");
  expect_refused(with(std::string("\x03\x01\x02\x01\x00\x01", 6)), "RLE overrun", "second run past the row");
  expect_refused(with(std::string("\x00\x05\x01\x02\x03\x04\x05\x00\x00\x01", 10)), "RLE overrun", "literal past the row");
  expect_refused(with(std::string("\x00\x02\x09\x00\x00\x01", 6)), "RLE overrun", "skip past the row");
  expect_refused(with(std::string("\x00\x02\x00\x07\x00\x01", 6)), "RLE overrun", "skip past the top");
  expect_refused(with(std::string("\x00\x00\x00\x00\x00\x00\x01\x01\x00\x01", 10)), "RLE overrun", "rows past the top");
  expect_refused(with(std::string("\x04\x01\x00\x00\x04\x02", 6)), "truncated", "no end mark, top row missing");
  expect_refused(with(std::string("\x00\x04\x01\x02", 4)), "truncated", "literal cut short");
  expect_refused(with(std::string("\x04\x01\x00", 3)), "truncated", "odd byte");
  EXPECT_TRUE(decode(with(std::string("\x04\x01\x00\x00\x04\x02\x00\x00", 8))).pixmap) << "every row ended";
}

TEST(DecodeBmp, BadHeadersAreRefused) {
  BmpSpec s;
  s.width = 4, s.height = 4;
  s.pixel_data = samples::bmp_rows(4, 4, 24, [](int, int) { return 0x808080u; });
  const std::string good = samples::encode_bmp(s);
  ASSERT_TRUE(decode(good).pixmap);
  auto patched = [&](size_t at, uint32_t v, int bytes = 4) {
    std::string b = good;
    for (int i = 0; i < bytes; ++i) b[at + i] = char(v >> (8 * i) & 255);
    return b;
  };
  expect_refused(good.substr(0, good.size() - 5), "truncated", "pixel rows cut");
  expect_refused(good.substr(0, 30), "truncated", "header cut");
  expect_refused(good.substr(0, 10), "truncated", "file header cut");
  expect_refused(patched(14, 0xFFFFFFF0u), "unsupported header size 4294967280", "huge header size");
  expect_refused(patched(14, 64), "unsupported header size 64", "OS/2 header");
  expect_refused(patched(10, 0xFFFFFFFFu), "bad data offset", "data offset past the end");
  expect_refused(patched(10, 20), "bad data offset", "data offset inside the header");
  expect_refused(patched(26, 2, 2), "bad plane count", "two planes");
  expect_refused(patched(28, 7, 2), "unsupported bit depth 7", "7 bits");
  expect_refused(patched(28, 0, 2), "unsupported bit depth 0", "0 bits");
  expect_refused(patched(30, 4), "unsupported compression 4", "JPEG inside");
  expect_refused(patched(30, 1), "bad bit depth for RLE", "RLE8 at 24 bits");
  expect_refused(patched(30, 3), "bad bit depth for bit fields", "bit fields at 24 bits");
  expect_refused(patched(18, 0), "bad size", "zero width");
  expect_refused(patched(18, 0xFFFFFFFCu), "bad size", "negative width");
  expect_refused(patched(22, 0), "bad size", "zero height");

  // Sizes that lie.
  BmpSpec big = s;
  big.lie_width = 50000, big.lie_height = 50000;
  expect_refused(samples::encode_bmp(big), "too large: 50000x50000", "50000 square");
  big.lie_height = -50000;
  expect_refused(samples::encode_bmp(big), "too large: 50000x50000", "50000 square, top-down");
  big.lie_width = 16384, big.lie_height = 16384;
  expect_refused(samples::encode_bmp(big), "too large: 16384x16384", "too many pixels");
  big.lie_width = 2000, big.lie_height = 2000;
  expect_refused(samples::encode_bmp(big), "truncated", "rows the file does not hold");
  big.lie_width = int32_t(0x80000000u), big.lie_height = int32_t(0x80000000u);
  expect_refused(samples::encode_bmp(big), "bad size", "most negative sizes");

  BmpSpec pal;
  pal.width = 4, pal.height = 4, pal.bpp = 8, pal.palette = {0, 0xFFFFFF};
  pal.pixel_data = samples::bmp_rows(4, 4, 8, [](int x, int) { return uint32_t(x & 1); });
  const std::string p8 = samples::encode_bmp(pal);
  ASSERT_TRUE(decode(p8).pixmap);
  std::string many = p8;
  many[46] = char(0xFF), many[47] = char(0xFF), many[48] = char(0xFF), many[49] = char(0x7F);
  expect_refused(many, "bad palette size", "2^31 colours");
  many[46] = 0, many[47] = 1, many[48] = 0, many[49] = 0;  // 256 colours: more than the file holds
  expect_refused(many, "truncated", "palette past the end");

  BmpSpec rle = pal;
  rle.compression = 1, rle.height = -4, rle.pixel_data = std::string("\x00\x01", 2);
  expect_refused(samples::encode_bmp(rle), "top-down RLE", "top-down RLE");

  BmpSpec fields;
  fields.width = 2, fields.height = 2, fields.bpp = 32, fields.compression = 3;
  fields.pixel_data = std::string(16, '\0');
  fields.masks[0] = 0x00FF0000, fields.masks[1] = 0x00FF0000, fields.masks[2] = 0xFF;
  expect_refused(samples::encode_bmp(fields), "bad colour masks", "overlapping masks");
  fields.masks[1] = 0x0000F0F0;
  expect_refused(samples::encode_bmp(fields), "bad colour masks", "split mask");
  fields.masks[1] = 0;
  expect_refused(samples::encode_bmp(fields), "bad colour masks", "empty mask");
  fields.bpp = 16, fields.masks[0] = 0x1F0000, fields.masks[1] = 0x3E0, fields.masks[2] = 0x1F;
  expect_refused(samples::encode_bmp(fields), "bad colour masks", "mask wider than 16 bits");
}

TEST(DecodeImage, DispatchAndFiles) {
  expect_refused("", "empty file", "empty");
  expect_refused("hello, this is text\n", "not a PNG, JPEG, BMP, WebP, HEIC or AVIF file", "text");
  expect_refused("GIF89a......", "not a PNG, JPEG, BMP, WebP, HEIC or AVIF file", "GIF");
  expect_refused("B", "not a PNG, JPEG, BMP, WebP, HEIC or AVIF file", "one byte");
  expect_refused("BM", "truncated", "BMP magic only");
  expect_refused(std::string("\x89PNG\r\n\x1a\n", 8) + "garbage garbage garbage", "", "PNG magic then junk");
  expect_refused(std::string("\xFF\xD8\xFF\xE0", 4) + std::string(100, '\xFF'), "", "JPEG magic then junk");

  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("pipkin_decode_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "ten.bin", std::ios::binary) << "0123456789";
  std::string out, err;
  EXPECT_TRUE(read_whole_file((dir / "ten.bin").string(), out, err));
  EXPECT_EQ(out, "0123456789");
  EXPECT_TRUE(read_whole_file((dir / "ten.bin").string(), out, err, 10));
  EXPECT_FALSE(read_whole_file((dir / "ten.bin").string(), out, err, 9));
  EXPECT_EQ(err, "file too big (10 bytes)");
  EXPECT_FALSE(read_whole_file((dir / "none.bin").string(), out, err));
  EXPECT_EQ(err, "No such file or directory");
  EXPECT_FALSE(read_whole_file(dir.string(), out, err));
  EXPECT_EQ(err, "not a regular file");
  fs::remove_all(dir);

  EXPECT_TRUE(image_size_ok(16384, 3906));
  EXPECT_TRUE(image_size_ok(8000, 8000));
  EXPECT_FALSE(image_size_ok(8001, 8000));
  EXPECT_FALSE(image_size_ok(16385, 1));
  EXPECT_FALSE(image_size_ok(0, 1));
  EXPECT_FALSE(image_size_ok(1, -1));
  EXPECT_FALSE(image_size_ok(int64_t{1} << 40, int64_t{1} << 40));
}

TEST(DecodeImage, ManyThreadsAtOnce) {
  std::vector<std::string> files = {photo_png(80, 60), photo_jpeg(80, 60), photo_jpeg(80, 60, true)};
  BmpSpec b;
  b.width = 30, b.height = 20;
  b.pixel_data = samples::bmp_rows(30, 20, 24, [](int x, int y) { return photo_argb(x, y) & 0xFFFFFF; });
  files.push_back(samples::encode_bmp(b));
  files.push_back(files[1].substr(0, files[1].size() / 2));
  files.push_back(files[0].substr(0, files[0].size() / 2));
  std::vector<DecodeResult> want;
  for (auto& f : files) want.push_back(decode(f));
  std::vector<int> mismatches(4, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      for (int round = 0; round < 10; ++round)
        for (size_t i = 0; i < files.size(); ++i) {
          DecodeResult r = decode(files[(i + t) % files.size()]);
          const DecodeResult& w = want[(i + t) % files.size()];
          bool same = r.error == w.error && bool(r.pixmap) == bool(w.pixmap) &&
                      (!r.pixmap || r.pixmap->pixels == w.pixmap->pixels);
          mismatches[t] += !same;
        }
    });
  for (auto& t : threads) t.join();
  for (int t = 0; t < 4; ++t) EXPECT_EQ(mismatches[t], 0) << "thread " << t;
}

// A HEIC grid's tiles are decoded on libheif's threads, two at once, by our HEVC decoder plugin,
// while other threads decode other grids the same way: every picture comes out whole and alike.
TEST(DecodeImage, HeicGridTilesOnSeveralThreadsAtOnce) {
  if (!heif_samples::can_encode(heif_compression_HEVC)) GTEST_SKIP() << "this libheif has no HEVC encoder";
  const std::string grid = heif_grid::encode_grid(160, 100, 64, heif_grid::Coding{}, [](int x, int y, uint8_t* px) {
    samples::photo_pixel(x, y, px);
  });
  ASSERT_FALSE(grid.empty());
  auto decode_grid = [&grid](int tile_threads) {
    return heif::decode_heif(reinterpret_cast<const uint8_t*>(grid.data()), grid.size(),
                             {heif::HevcDecoder::Libavcodec, tile_threads});
  };
  const DecodeResult want = decode_grid(1);
  ASSERT_TRUE(want.pixmap) << want.error;
  std::vector<int> mismatches(2, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 2; ++t)
    threads.emplace_back([&, t] {
      for (int round = 0; round < 3; ++round) {
        const DecodeResult r = decode_grid(2);
        mismatches[size_t(t)] += !r.pixmap || r.pixmap->pixels != want.pixmap->pixels;
      }
    });
  for (auto& t : threads) t.join();
  for (int t = 0; t < 2; ++t) EXPECT_EQ(mismatches[size_t(t)], 0) << "thread " << t;
}

// Threads busy with pictures are counted once each, however many of the marks they hold, and only
// while they hold one.
TEST(DecodeImage, BusyCoresCountEachThreadOnce) {
  const int before = busy_cores();
  {
    const BusyCore loading;
    EXPECT_EQ(busy_cores(), before + 1);
    {
      const BusyCore decoding;
      EXPECT_EQ(busy_cores(), before + 1);
    }
    int seen = 0;
    std::thread other([&seen] {
      const BusyCore elsewhere;
      seen = busy_cores();
    });
    other.join();
    EXPECT_EQ(seen, before + 2);
    EXPECT_EQ(busy_cores(), before + 1);
  }
  EXPECT_EQ(busy_cores(), before);
}
