#include <gtest/gtest.h>

#include "media/decode/resample.hpp"

using namespace media;

namespace {

// 3x2, each pixel its own colour: value = 10 * (y * 3 + x) in red.
PixmapPtr tiny() {
  PixmapPtr p = create_pixmap(3, 2, PF_RGB);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) write_pixel(*p, x, y, 0xFF000000u | (10u * (y * 3 + x)) << 16);
  return p;
}

int red(const Pixmap& p, int x, int y) { return (read_pixel(p, x, y) >> 16) & 255; }

}  // namespace

TEST(Resample, OrientationsTurnPhotosUpright) {
  PixmapPtr src = tiny();
  // Where the source's top-left (0) and top-right (20) pixels end up for each tag.
  struct Case {
    int o, w, h, x0, y0, x2, y2;
  } cases[] = {
      {1, 3, 2, 0, 0, 2, 0}, {2, 3, 2, 2, 0, 0, 0}, {3, 3, 2, 2, 1, 0, 1}, {4, 3, 2, 0, 1, 2, 1},
      {5, 2, 3, 0, 0, 0, 2}, {6, 2, 3, 1, 0, 1, 2}, {7, 2, 3, 1, 2, 1, 0}, {8, 2, 3, 0, 2, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.o);
    PixmapPtr out = orient_pixmap(*src, c.o);
    ASSERT_EQ(out->width, c.w);
    ASSERT_EQ(out->height, c.h);
    EXPECT_EQ(red(*out, c.x0, c.y0), 0);
    EXPECT_EQ(red(*out, c.x2, c.y2), 20);
    EXPECT_EQ(read_pixel(*out, c.x0, c.y0) >> 24, 255u);
  }
  EXPECT_EQ(orient_pixmap(*src, 0)->width, 3) << "unknown tags leave the picture as it is";
  EXPECT_EQ(orient_pixmap(*src, 9)->width, 3);
}

TEST(Resample, CoverScalesCentresAndCrops) {
  // 400x100: left half red, right half blue. Covering 100x100 keeps the middle 100x100 of it.
  PixmapPtr wide = create_pixmap(400, 100, PF_BGR);
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 400; ++x) write_pixel(*wide, x, y, x < 200 ? 0xFFFF0000 : 0xFF0000FF);
  PixmapPtr out = cover_pixmap(*wide, 100, 100);
  ASSERT_EQ(out->width, 100);
  EXPECT_EQ(read_pixel(*out, 10, 50), 0xFFFF0000u);
  EXPECT_EQ(read_pixel(*out, 90, 50), 0xFF0000FFu);
  // Shrinking averages: a 1-pixel checkerboard halves to grey.
  PixmapPtr check = create_pixmap(200, 200, PF_GREY);
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 200; ++x) write_pixel(*check, x, y, (x + y) % 2 ? 0xFFFFFFFF : 0xFF000000);
  PixmapPtr half = cover_pixmap(*check, 100, 100);
  EXPECT_NEAR(red(*half, 50, 50), 128, 2);
  // Growing a small picture keeps its colours and covers everything.
  PixmapPtr small = create_pixmap(4, 3, PF_RGBA);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) write_pixel(*small, x, y, 0x80336699);
  PixmapPtr big = cover_pixmap(*small, 1024, 768);
  ASSERT_EQ(big->height, 768);
  EXPECT_EQ(read_pixel(*big, 0, 0), 0x80336699u);
  EXPECT_EQ(read_pixel(*big, 1023, 767), 0x80336699u);
  // The same size is a plain copy.
  EXPECT_EQ(read_pixel(*cover_pixmap(*tiny(), 3, 2), 2, 1), 0xFF320000u);
}
