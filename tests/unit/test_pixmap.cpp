#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "media/files/log.hpp"
#include "media/decode/decode.hpp"
#include "media/decode/pixmap.hpp"
#include "tests/unit/sample_images.hpp"

using namespace media;

namespace {

std::vector<uint8_t> bytes_at(const Pixmap& p, int x, int y) {
  const uint8_t* s = p.row(y) + static_cast<size_t>(x) * bytes_per_pixel(p.format);
  return {s, s + bytes_per_pixel(p.format)};
}

PixmapPtr rgb_pixmap(int w, int h, std::initializer_list<uint32_t> colours) {
  auto p = create_pixmap(w, h, PF_RGB);
  int i = 0;
  for (uint32_t c : colours) write_pixel(*p, i % w, i / w, c), ++i;
  return p;
}

}  // namespace

TEST(PixmapFormats, SizesAndCreation) {
  EXPECT_EQ(bytes_per_pixel(PF_GREY), 1);
  EXPECT_EQ(bytes_per_pixel(PF_ALPHA), 1);
  EXPECT_EQ(bytes_per_pixel(PF_BGR), 3);
  EXPECT_EQ(bytes_per_pixel(PF_RGB), 3);
  EXPECT_EQ(bytes_per_pixel(PF_BGRA), 4);
  EXPECT_EQ(bytes_per_pixel(PF_RGBA), 4);
  EXPECT_EQ(bytes_per_pixel(0), 0);
  EXPECT_EQ(bytes_per_pixel(7), 0);
  for (int f = 1; f <= 6; ++f) EXPECT_EQ(format_has_alpha(f), f == 2 || f == 5 || f == 6) << f;

  auto p = create_pixmap(5, 3, PF_BGR);
  ASSERT_TRUE(p);
  EXPECT_EQ(pixmap_width(p), 5);
  EXPECT_EQ(pixmap_height(p), 3);
  EXPECT_EQ(p->pitch, 15);
  EXPECT_EQ(p->format, PF_BGR);
  ASSERT_EQ(p->pixels.size(), 45u);
  for (uint8_t b : p->pixels) EXPECT_EQ(b, 0);

  EXPECT_FALSE(create_pixmap(0, 3, PF_RGB));
  EXPECT_FALSE(create_pixmap(3, -1, PF_RGB));
  EXPECT_FALSE(create_pixmap(3, 3, 0));
  EXPECT_FALSE(create_pixmap(3, 3, 9));
  EXPECT_FALSE(create_pixmap(20000, 1, PF_GREY));
  EXPECT_EQ(pixmap_width(nullptr), 0);
  EXPECT_EQ(pixmap_height(nullptr), 0);
}

TEST(PixmapFormats, ReadWriteConversions) {
  const uint32_t v = 0x80102030;  // alpha 0x80, r 0x10, g 0x20, b 0x30
  struct Case {
    int format;
    std::vector<uint8_t> stored;
    uint32_t read_back;
  };
  const Case cases[] = {
      {PF_GREY, {0x20}, 0xFF202020},                        // (16 + 32 + 48) / 3
      {PF_ALPHA, {0x80}, 0x80FFFFFF},
      {PF_BGR, {0x30, 0x20, 0x10}, 0xFF102030},             // alpha dropped
      {PF_RGB, {0x10, 0x20, 0x30}, 0xFF102030},
      {PF_BGRA, {0x30, 0x20, 0x10, 0x80}, 0x80102030},      // little-endian ARGB word
      {PF_RGBA, {0x10, 0x20, 0x30, 0x80}, 0x80102030},
  };
  for (const Case& c : cases) {
    auto p = create_pixmap(3, 2, c.format);
    ASSERT_TRUE(p);
    write_pixel(p, 2, 1, v);
    EXPECT_EQ(bytes_at(*p, 2, 1), c.stored) << "format " << c.format;
    EXPECT_EQ(read_pixel(p, 2, 1), c.read_back) << "format " << c.format;
    EXPECT_EQ(bytes_at(*p, 1, 1), std::vector<uint8_t>(bytes_per_pixel(c.format), 0)) << "neighbour untouched";
  }

  // Grey uses integer division: (255 + 255 + 254) / 3 = 254, (1 + 0 + 0) / 3 = 0.
  auto g = create_pixmap(2, 1, PF_GREY);
  write_pixel(g, 0, 0, 0x00FFFFFE);
  write_pixel(g, 1, 0, 0xFF010000);
  EXPECT_EQ(read_pixel(g, 0, 0), 0xFFFEFEFEu);
  EXPECT_EQ(read_pixel(g, 1, 0), 0xFF000000u);

  // Lossless round trips where the format holds everything.
  for (int f : {PF_BGRA, PF_RGBA}) {
    auto p = create_pixmap(4, 4, f);
    for (uint32_t x = 0; x < 4; ++x) write_pixel(p, x, x, 0x01020304u * (x + 1) + 0x40000000u * x);
    for (uint32_t x = 0; x < 4; ++x) EXPECT_EQ(read_pixel(p, x, x), 0x01020304u * (x + 1) + 0x40000000u * x);
  }
  for (int f : {PF_BGR, PF_RGB}) {
    auto p = create_pixmap(1, 1, f);
    write_pixel(p, 0, 0, 0x00ABCDEF);
    EXPECT_EQ(read_pixel(p, 0, 0), 0xFFABCDEFu);
  }

  // Outside the pixmap: reads give 0, writes change nothing.
  auto p = create_pixmap(2, 2, PF_RGBA);
  for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {2, 0}, {0, 2}, {1 << 30, 1}}) {
    write_pixel(p, x, y, 0xFFFFFFFF);
    EXPECT_EQ(read_pixel(p, x, y), 0u);
  }
  for (uint8_t b : p->pixels) EXPECT_EQ(b, 0);
  EXPECT_EQ(read_pixel(PixmapPtr{}, 0, 0), 0u);
  write_pixel(PixmapPtr{}, 0, 0, 1);  // no crash
}

TEST(PixmapFormats, ConvertToRgba) {
  for (int f = PF_GREY; f <= PF_RGBA; ++f) {
    auto p = create_pixmap(3, 2, f);
    write_pixel(p, 0, 0, 0x80102030);
    write_pixel(p, 2, 1, 0xFFC0B0A0);
    auto q = convert_to_rgba(*p);
    ASSERT_TRUE(q);
    EXPECT_EQ(q->format, PF_RGBA);
    EXPECT_EQ(q->pitch, 12);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) EXPECT_EQ(read_pixel(q, x, y), read_pixel(p, x, y)) << f << " " << x << "," << y;
  }
}

TEST(PixmapMask, NeighbourAverageRule) {
  // A black pixel between red and blue: tinted with their average, transparent.
  auto line = rgb_pixmap(3, 1, {0xFF0000, 0x000000, 0x0000FF});
  auto m = mask_pixmap(line, 0, 0, 0);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->format, PF_RGBA);
  EXPECT_EQ(read_pixel(m, 1, 0), 0x007F007Fu);
  EXPECT_EQ(read_pixel(m, 0, 0), 0xFFFF0000u);
  EXPECT_EQ(read_pixel(m, 2, 0), 0xFF0000FFu);

  // Full 3x3 block, uneven sums, with a second mask pixel that must not count.
  auto block = rgb_pixmap(3, 3, {0xFF0000, 0x0000FF, 0x0A141E,
                                 0x000000, 0x000000, 0x102030,
                                 0x010101, 0x020202, 0x030303});
  m = mask_pixmap(block, 0, 0, 0);
  // Neighbours of (1,1): 7 non-black ones.
  uint32_t r = 0xFF + 0x0A + 0x10 + 1 + 2 + 3, g = 0x14 + 0x20 + 1 + 2 + 3, b = 0xFF + 0x1E + 0x30 + 1 + 2 + 3;
  EXPECT_EQ(read_pixel(m, 1, 1), (r / 7) << 16 | (g / 7) << 8 | (b / 7));
  // (0,1) is on the left edge: 5 neighbours, one of them mask.
  r = 0xFF + 1 + 2, g = 1 + 2, b = 0xFF + 1 + 2;
  EXPECT_EQ(read_pixel(m, 0, 1), (r / 4) << 16 | (g / 4) << 8 | (b / 4));

  // Corner: only three neighbours, far pixels ignored.
  auto corner = rgb_pixmap(3, 3, {0x000000, 0x1E0000, 0xFFFFFF,
                                  0x003C00, 0x00005A, 0xFFFFFF,
                                  0xFFFFFF, 0xFFFFFF, 0xFFFFFF});
  m = mask_pixmap(corner, 0, 0, 0);
  EXPECT_EQ(read_pixel(m, 0, 0), 0x000A141Eu);  // (30/3, 60/3, 90/3)
  EXPECT_EQ(read_pixel(m, 2, 2), 0xFFFFFFFFu);

  // Everything mask: black and transparent.
  auto all = create_pixmap(4, 3, PF_BGR);
  m = mask_pixmap(all, 0, 0, 0);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(read_pixel(m, x, y), 0u);

  // One-pixel pixmaps: no neighbours at all.
  m = mask_pixmap(rgb_pixmap(1, 1, {0x000000}), 0, 0, 0);
  EXPECT_EQ(read_pixel(m, 0, 0), 0u);
}

TEST(PixmapMask, ColourIgnoresSourceAlphaAndFormat) {
  // RGBA source: the alpha plays no part; non-mask pixels come out opaque.
  auto p = create_pixmap(2, 1, PF_RGBA);
  write_pixel(p, 0, 0, 0x4D000000);  // black, alpha 77
  write_pixel(p, 1, 0, 0x00050607);  // alpha 0
  auto m = mask_pixmap(p, 0, 0, 0);
  EXPECT_EQ(read_pixel(m, 0, 0), 0x00050607u);
  EXPECT_EQ(read_pixel(m, 1, 0), 0xFF050607u);

  // Another mask colour, on a BGR source.
  auto q = create_pixmap(2, 2, PF_BGR);
  write_pixel(q, 0, 0, 0xFF00FF);
  write_pixel(q, 1, 0, 0x000000);
  write_pixel(q, 0, 1, 0x102030);
  write_pixel(q, 1, 1, 0xFF00FE);
  m = mask_pixmap(q, 255, 0, 255);
  // Neighbours (0,0,0), (16,32,48), (255,0,254): (271/3, 32/3, 302/3).
  EXPECT_EQ(read_pixel(m, 0, 0), 0x005A0A64u);
  EXPECT_EQ(read_pixel(m, 1, 0), 0xFF000000u);  // black is an ordinary colour here
  EXPECT_EQ(read_pixel(m, 1, 1), 0xFFFF00FEu);

  // Grey source: grey 0 is black.
  auto g = create_pixmap(2, 1, PF_GREY);
  write_pixel(g, 1, 0, 0xFF636363);
  m = mask_pixmap(g, 0, 0, 0);
  EXPECT_EQ(read_pixel(m, 0, 0), 0x00636363u);
  EXPECT_EQ(read_pixel(m, 1, 0), 0xFF636363u);
  EXPECT_FALSE(mask_pixmap(PixmapPtr{}, 0, 0, 0));
}

TEST(PixmapLoad, LoadsByContentAndReportsFailures) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("pipkin_pixmap_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  samples::PngSpec spec;
  spec.width = 3, spec.height = 2;
  std::string png = samples::encode_png(spec, [](int x, int y, uint8_t* px) {
    px[0] = static_cast<uint8_t>(x * 10), px[1] = static_cast<uint8_t>(y * 20), px[2] = 7;
  });
  const fs::path good = dir / "picture.jpg";  // the name does not matter, the content does
  std::ofstream(good, std::ios::binary) << png;
  auto p = load_pixmap(good.string());
  ASSERT_TRUE(p);
  EXPECT_EQ(p->format, PF_RGB);
  EXPECT_EQ(read_pixel(p, 2, 1), 0xFF141407u);

  const fs::path text = dir / "notes.png";
  std::ofstream(text) << "hello\n";
  testing::internal::CaptureStderr();
  EXPECT_FALSE(load_pixmap(text.string()));
  EXPECT_FALSE(load_pixmap((dir / "missing.png").string()));
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "pipkin: image: " + text.string() + ": not a PNG, JPEG, BMP, WebP, HEIC or AVIF file\n"
                 "pipkin: image: " + (dir / "missing.png").string() + ": No such file or directory\n");
  fs::remove_all(dir);
}

TEST(PixmapLog, OneLinePerReport) {
  testing::internal::CaptureStderr();
  log_error("sound", "first\nsecond\r\nthird");
  log_error("x", "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "pipkin: sound: first second  third\npipkin: x: \n");
  // A report already made is not repeated (a missing sound is tried again on every play).
  testing::internal::CaptureStderr();
  log_error("sound", "data/sound/ping.ogg: gone");
  log_error("sound", "data/sound/ping.ogg: gone");
  log_error("sound", "data/sound/pop.wav: gone");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "pipkin: sound: data/sound/ping.ogg: gone\npipkin: sound: data/sound/pop.wav: gone\n");
}
