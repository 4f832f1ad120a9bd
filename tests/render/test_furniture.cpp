#include <gtest/gtest.h>

#include "app/furniture.hpp"
#include "media/draw.hpp"
#include "media/font.hpp"
#include "tests/render/render_util.hpp"

using namespace app;

namespace {

// The bounding box of pixels that differ from black.
struct Box {
  int x0 = 1 << 20, y0 = 1 << 20, x1 = -1, y1 = -1;
};

Box lit_box() {
  media::PixmapPtr p = media::grab_pixmap(0, 0, 1024, 768);
  Box b;
  for (int y = 0; y < 768; ++y)
    for (int x = 0; x < 1024; ++x)
      if (media::read_pixel(*p, x, y) & 0xFFFFFF) {
        b.x0 = std::min(b.x0, x), b.x1 = std::max(b.x1, x);
        b.y0 = std::min(b.y0, y), b.y1 = std::max(b.y1, y);
      }
  return b;
}

}  // namespace

TEST(FurnitureDraw, LabelHelpPageAndCornerButton) {
  Assets assets;
  media::FontPtr f = media::load_font(std::string(PIPKIN_DATA_DIR) + "/fonts/Tahoma.ttf", 48, media::FONT_SMOOTH);
  ASSERT_TRUE(f);
  rt::fresh();
  // x = 0 centres the label on the screen whatever y says.
  draw_label("Pipkin 2.1 1024,768,24,60", f, 0, 500, 20);
  EXPECT_EQ(media::get_blend(), media::MASK) << "the blend goes back to the default";
  EXPECT_EQ(media::draw_state().r, 255);
  int tw = media::text_width("Pipkin 2.1 1024,768,24,60"), th = media::text_height();
  Box b = lit_box();
  int left = 512 - tw / 2 - 22, top = 384 - th / 2 - 20 + 1;
  EXPECT_EQ(b.x0, left);
  EXPECT_EQ(b.y0, top);
  EXPECT_EQ(b.x1, left + tw + 44 - 1);
  EXPECT_EQ(b.y1, top + th + 44 - 1);
  // Half-transparent blue frame; the cyan box lies over the blue one inside it.
  uint32_t frame = rt::screen_pixel(left, top + 10), box = rt::screen_pixel(left + 3, top + 3);
  EXPECT_NEAR((frame & 255), 128, 2);
  EXPECT_NEAR((frame >> 16) & 255, 32, 2);
  EXPECT_NEAR((box >> 8) & 255, 144, 2);
  EXPECT_NEAR((box >> 16) & 255, 16, 2);
  EXPECT_NEAR(box & 255, 192, 2);

  // A help page is centred and opaque whatever alpha it carries.
  rt::fresh();
  media::ImagePtr page = rt::make_image(100, 50, [](int, int) { return 0x10FF8000u; }, -1);
  draw_help_page(assets, page);
  b = lit_box();
  EXPECT_EQ(b.x0, 462);
  EXPECT_EQ(b.y0, 359);
  EXPECT_EQ(rt::screen_pixel(500, 380) & 0xFFFFFF, 0xFF8000u);

  // The corner button sits 5 pixels from the left and bottom edges, placed by its width.
  rt::fresh();
  assets.smiley_image = rt::make_image(40, 30, [](int, int) { return 0xFFFFFF00u; }, -1);
  draw_corner_button(assets);
  b = lit_box();
  EXPECT_EQ(b.x0, 5);
  EXPECT_EQ(b.y0, 768 - 40 - 5);
  rt::fresh();
}

TEST(FurnitureDraw, LockNoticeSitsBetweenTheTitleAndTheLoadingBar) {
  Assets assets;
  assets.main_font = media::load_font(std::string(PIPKIN_DATA_DIR) + "/fonts/Tahoma.ttf", 20, media::FONT_SMOOTH);
  ASSERT_TRUE(assets.main_font);
  rt::fresh();
  draw_lock_notice(assets);
  EXPECT_EQ(media::get_blend(), media::MASK) << "the drawing state is left as it was";
  Box b = lit_box();
  // Below the title's lettering (down to about 300) and above the loading bar's count (from 570).
  EXPECT_GE(b.y0, 380);
  EXPECT_LT(b.y1, 560) << "the loading bar and its count stay readable";
  EXPECT_GT(b.y1 - b.y0, 40) << "two lines";
  EXPECT_GT(b.x0, 20);
  EXPECT_LT(b.x1, 1004);
  EXPECT_NEAR(b.x0 + b.x1, 1023, 2) << "centred";
  int white = 0;
  for (int y = b.y0; y <= b.y1; ++y)
    for (int x = b.x0; x <= b.x1; ++x) white += (rt::screen_pixel(x, y) & 0xFFFFFF) == 0xFFFFFF;
  EXPECT_GT(white, 500) << "white lettering";
  rt::fresh();
}
