// The turtle in a real window: drawings made in the back buffer and grabbed as 768x768 pixmaps of
// white lines on dark blue, the back buffer put back afterwards, and the fill on a real drawing.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "activities/flood_fill.hpp"
#include "activities/turtle.hpp"
#include "media/display/draw.hpp"
#include "media/display/image.hpp"
#include "tests/render/render_util.hpp"

using activities::Turtle;
using media::read_pixel;

namespace {

constexpr uint32_t kBlue = 0xFF000046, kWhite = 0xFFFFFFFF;


// Counts white pixels and checks every pixel is white or dark blue.
int whites(const media::Pixmap& p, int* others) {
  int n = 0;
  *others = 0;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      uint32_t v = read_pixel(p, x, y);
      n += v == kWhite;
      *others += v != kWhite && v != kBlue;
    }
  return n;
}

class TurtleRender : public testing::Test {
 protected:
  void SetUp() override { rt::fresh(); }
  Turtle t;
};

}  // namespace

TEST_F(TurtleRender, EveryProgramIsWhiteLinesOnBlueInsideItsSquare) {
  for (int k = 0; k <= 8; ++k) {
    SCOPED_TRACE(k);
    t.draw_pattern(k);
    t.finish();
    ASSERT_TRUE(t.drawing());
    ASSERT_EQ(t.drawing()->width, 768);
    ASSERT_EQ(t.drawing()->height, 768);
    int others = 0;
    int n = whites(*t.drawing(), &others);
    EXPECT_EQ(others, 0) << "only line white and dark blue";
    if (k == 0 || k == 8) {
      EXPECT_EQ(n, 0) << "a plain square";
      continue;
    }
    EXPECT_GT(n, 2000);
    // The centre is on the lines (every ring but the pentagon's meets there).
    if (k != 2) {
      EXPECT_EQ(read_pixel(t.drawing(), 384, 384), kWhite);
    }
    // No line comes within 24 pixels of the square's edges.
    for (int i = 0; i < 768; ++i)
      for (int j : {0, 23, 745, 767}) {
        ASSERT_EQ(read_pixel(t.drawing(), j, i), kBlue) << j << "," << i;
        ASSERT_EQ(read_pixel(t.drawing(), i, j), kBlue) << i << "," << j;
      }
  }
  EXPECT_EQ(media::draw_state().clear_r + media::draw_state().clear_b, 0) << "clear colour black again";
}

TEST_F(TurtleRender, LinesIncludeTheirEndPixelAndTheTrianglesMeetAtTheCentre) {
  t.start();
  t.right(90);
  t.forward(10);
  t.pen_up();
  t.back(10);
  t.right(-90);
  t.pen_down();
  t.forward(10);
  t.finish();
  for (int i = 0; i <= 10; ++i) {
    EXPECT_EQ(read_pixel(t.drawing(), 384 + i, 384), kWhite) << i;
    EXPECT_EQ(read_pixel(t.drawing(), 384, 384 - i), kWhite) << i;
  }
  EXPECT_EQ(read_pixel(t.drawing(), 395, 384), kBlue);
  EXPECT_EQ(read_pixel(t.drawing(), 384, 373), kBlue);
  EXPECT_EQ(read_pixel(t.drawing(), 383, 384), kBlue);

  // Pattern 1: the first triangle's far corners, end pixels included.
  t.draw_pattern(1);
  t.finish();
  EXPECT_EQ(read_pixel(t.drawing(), 384, 384 - 310), kWhite);
  EXPECT_EQ(read_pixel(t.drawing(), 384, 384 - 311), kBlue);
  EXPECT_EQ(read_pixel(t.drawing(), 384 + 268, 384 - 155), kWhite);
}

TEST_F(TurtleRender, TheBackBufferIsPutBackAndNothingIsPresented) {
  // A picture without pure black (the saved copy is masked, so black would not come back).
  media::ImagePtr pic = rt::make_image(
      1024, 768, [](int x, int y) { return 0xFF000000u | (x & 255) << 16 | (y & 255) << 8 | 40; }, 0);
  media::draw_image(pic, 0, 0, 0);
  media::PixmapPtr before = media::grab_pixmap(0, 0, 1024, 768);
  t.draw_pattern(7);
  t.finish();
  media::PixmapPtr after = media::grab_pixmap(0, 0, 1024, 768);
  int differ = 0;
  for (int y = 0; y < 768; ++y)
    for (int x = 0; x < 1024; ++x) differ += read_pixel(before, x, y) != read_pixel(after, x, y);
  EXPECT_EQ(differ, 0);
  int others = 0;
  EXPECT_GT(whites(*t.drawing(), &others), 5000);
  EXPECT_EQ(others, 0);
}

TEST_F(TurtleRender, FillsOfARealDrawingStopAtItsLines) {
  for (int k = 1; k <= 7; ++k) {
    SCOPED_TRACE(k);
    t.draw_pattern(k);
    t.finish();
    // The corner area lies outside every ring: filling it leaves the inside alone.
    activities::flood_fill(0xFFEB2828, 0, 0, t.drawing());
    EXPECT_EQ(read_pixel(t.drawing(), 767, 767), 0xFFEB2828u);
    int outside = 0, blue = 0, white = 0;
    for (int y = 0; y < 768; ++y)
      for (int x = 0; x < 768; ++x) {
        uint32_t v = read_pixel(t.drawing(), x, y);
        outside += v == 0xFFEB2828u;
        blue += v == kBlue;
        white += v == kWhite;
      }
    EXPECT_GT(blue, 10000) << "the areas inside the rings keep their blue";
    EXPECT_EQ(outside + blue + white, 768 * 768);
  }
}
