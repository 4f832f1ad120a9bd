// The colouring screen in a real window: grey panel, indicator under its ring, palette, and the
// turtle's drawing on the right; a pick and a fill show on the next draw.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "activities/colour.hpp"
#include "tests/unit/test_world.hpp"
#include "media/display/draw.hpp"
#include "media/input/events.hpp"
#include "tests/render/render_util.hpp"

using activities::Colouring;
using media::read_pixel;
using rt::screen_pixel;

namespace {

constexpr uint32_t kBlue = 0xFF000046, kWhite = 0xFFFFFFFF, kGrey = 0xFF646464;

class ColourRender : public testing::Test {
 protected:
  void SetUp() override {
    rt::fresh(255, 0, 0);
    c = Colouring::make(world.context);
    ASSERT_TRUE(c);
  }
  tw::World world;
  std::unique_ptr<Colouring> c;
};

}  // namespace

TEST_F(ColourRender, DrawShowsPanelIndicatorPaletteAndDrawing) {
  c->draw();
  media::PixmapPtr shot = media::grab_pixmap(0, 0, 1024, 768);
  // Panel grey where nothing else lies: the top-left corner, left of the palette, below it.
  EXPECT_EQ(read_pixel(shot, 2, 2), kGrey);
  EXPECT_EQ(read_pixel(shot, 2, 500), kGrey);
  EXPECT_EQ(read_pixel(shot, 128, 767), kGrey);
  // The palette, pixel for pixel.
  int differ = 0;
  for (int y = 0; y < c->palette_height(); ++y)
    for (int x = 0; x < c->palette_width(); ++x)
      differ += read_pixel(shot, c->palette_x() + x, c->palette_y() + y) != read_pixel(c->palette(), x, y);
  EXPECT_EQ(differ, 0);
  // The drawing, pixel for pixel, from x = 256.
  differ = 0;
  for (int y = 0; y < 768; ++y)
    for (int x = 0; x < 768; ++x) differ += read_pixel(shot, 256 + x, y) != read_pixel(c->drawing(), x, y);
  EXPECT_EQ(differ, 0);
  // The indicator shows its colour (white at first) through the ring's open middle.
  const int cx = c->indicator_x() + c->indicator()->width / 2;
  const int cy = Colouring::kIndicatorY + c->indicator()->height / 2;
  EXPECT_EQ(read_pixel(shot, cx, cy), kWhite);
  EXPECT_EQ(media::draw_state().clear_r, 255) << "the clear colour it found is given back";
  EXPECT_EQ(media::draw_state().r, 255);
}

TEST_F(ColourRender, APickAndAFillShowOnTheNextDraw) {
  // Pick the middle patch, then fill the area outside the rings.
  const int px = c->palette_x() + c->palette_width() / 2, py = c->palette_y() + c->palette_height() / 2;
  c->click(tw::at(px, py));
  const uint32_t picked = c->colour();
  ASSERT_NE(picked, kWhite);
  c->click(tw::at(1020, 760));
  c->draw();
  const int cx = c->indicator_x() + c->indicator()->width / 2;
  const int cy = Colouring::kIndicatorY + c->indicator()->height / 2;
  EXPECT_EQ(screen_pixel(cx, cy), picked) << "indicator";
  EXPECT_EQ(screen_pixel(1020, 760), picked) << "drawing corner";
  EXPECT_EQ(screen_pixel(257, 2), picked);
  EXPECT_EQ(screen_pixel(640, 384), kWhite) << "the lines keep their white";

  // A right click brings drawing 2 with its corner blue again.
  c->click(tw::right_at(0, 0));
  c->draw();
  EXPECT_EQ(c->drawing_number(), 2);
  EXPECT_EQ(screen_pixel(1020, 760), kBlue);
  EXPECT_EQ(screen_pixel(cx, cy), picked) << "the indicator keeps the pick";
}
