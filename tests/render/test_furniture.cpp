#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "activities/register.hpp"
#include "app/shell/furniture.hpp"
#include "app/shell/loop.hpp"
#include "media/input/clock.hpp"
#include "media/display/draw.hpp"
#include "media/input/events.hpp"
#include "media/display/font.hpp"
#include "media/sound/sound.hpp"
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
  media::set_font(nullptr);
  // x = 0 centres the label on the screen whatever y says.
  draw_label("Pipkin 2.1 1024,768,24,60", f, 0, 500, 20);
  EXPECT_EQ(media::blend(), media::Blend::Mask) << "the blend goes back to the default";
  EXPECT_EQ(media::draw_state().r, 255);
  EXPECT_EQ(media::current_font(), nullptr) << "the font goes back too";
  media::set_font(f);
  int tw = media::text_width("Pipkin 2.1 1024,768,24,60"), th = media::text_height();
  media::set_font(nullptr);
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

// Whatever the desktop did not hold (the keys, the pointer, both), the notice fits the screen.
TEST(FurnitureDraw, LockNoticeSitsBetweenTheTitleAndTheLoadingBar) {
  using media::Hold;
  Assets assets;
  assets.main_font = media::load_font(std::string(PIPKIN_DATA_DIR) + "/fonts/Tahoma.ttf", 20, media::FONT_SMOOTH);
  ASSERT_TRUE(assets.main_font);
  for (auto [keys, pointer] : {std::pair{Hold::NotOffered, Hold::Held}, std::pair{Hold::Held, Hold::Refused},
                               std::pair{Hold::Refused, Hold::NotOffered}}) {
    SCOPED_TRACE(lock_label(keys, pointer));
    rt::fresh();
    draw_lock_notice(assets, keys, pointer);
    EXPECT_EQ(media::blend(), media::Blend::Mask) << "the drawing state is left as it was";
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
  }
  rt::fresh();
}

namespace {

bool near_rgb(uint32_t p, int r, int g, int b, int tol = 3) {
  return std::abs(static_cast<int>(p >> 16 & 255) - r) <= tol && std::abs(static_cast<int>(p >> 8 & 255) - g) <= tol &&
         std::abs(static_cast<int>(p & 255) - b) <= tol;
}

}  // namespace

// The hold rings: a dark disc in the top right corner, a track around it, filled clockwise from the
// top as far as it has come; yellow for quitting, green around three bars for the parent's page.
TEST(FurnitureDraw, HoldRingsFillClockwiseFromTheTopEachInItsColour) {
  Assets assets;
  const int cx = ring_x(assets), cy = kRingY, r = (kRingInner + kRingOuter) / 2;
  ASSERT_EQ(cx, 980);
  struct Look {
    HeldChord chord;
    int filled[3];
    bool bars;
  };
  const int track[3] = {120, 140, 190};
  auto is = [](uint32_t p, const int* c) { return near_rgb(p, c[0], c[1], c[2]); };
  for (const Look& look : {Look{HeldChord::Quit, {255, 220, 60}, false}, Look{HeldChord::Settings, {90, 210, 110}, true}})
    for (float done : {0.0f, 0.5f, 1.0f}) {
      SCOPED_TRACE(std::to_string(static_cast<int>(look.chord)) + " at " + std::to_string(done));
      rt::fresh();
      draw_hold_ring(assets, look.chord, done);
      EXPECT_EQ(media::blend(), media::Blend::Mask) << "the drawing state goes back";
      Box b = lit_box();
      // Pixels whose centres lie within the backdrop's radius of the centre point (cx, cy).
      EXPECT_EQ(b.x0, cx - kRingBack);
      EXPECT_EQ(b.x1, cx + kRingBack - 1);
      EXPECT_EQ(b.y0, cy - kRingBack);
      EXPECT_EQ(b.y1, cy + kRingBack - 1);
      EXPECT_EQ(near_rgb(rt::screen_pixel(cx, cy), 235, 245, 235, 6), look.bars) << "the bars in the middle";
      EXPECT_TRUE(near_rgb(rt::screen_pixel(cx, cy + 3), 12, 24, 54)) << "the half-dark backdrop between them";
      EXPECT_TRUE(near_rgb(rt::screen_pixel(cx, cy - kRingBack + 2), 12, 24, 54)) << "and outside the track";
      // Clockwise from the top: right, bottom (just right of it, then just left), left.
      const uint32_t right = rt::screen_pixel(cx + r, cy), bottom_right = rt::screen_pixel(cx + 2, cy + r),
                     bottom_left = rt::screen_pixel(cx - 3, cy + r), left = rt::screen_pixel(cx - r - 1, cy);
      EXPECT_TRUE(is(right, done >= 0.5f ? look.filled : track));
      EXPECT_TRUE(is(bottom_right, done >= 0.5f ? look.filled : track));
      EXPECT_TRUE(is(bottom_left, done == 1.0f ? look.filled : track));
      EXPECT_TRUE(is(left, done == 1.0f ? look.filled : track));
    }
  rt::fresh();
}

// Under the child lock the loop draws the ring while Control+Q is held, over the screen and nowhere
// else, and not at all once let go.
TEST(FurnitureDraw, TheLoopDrawsTheQuitRingOnlyWhileHeld) {
  media::use_manual_clock(true);
  media::set_manual_clock(1000);
  {
    Assets assets = load_assets(std::string(PIPKIN_DATA_DIR) + "/");
    Loop loop(assets, activities::activity_table(), "", 1, true);
    auto screen = [&] {
      rt::fresh();
      loop.draw_screen();
      return media::grab_pixmap(0, 0, 1024, 768);
    };
    auto changed = [](const media::Pixmap& a, const media::Pixmap& b) {
      Box box;
      for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x)
          if (media::read_pixel(a, x, y) != media::read_pixel(b, x, y)) {
            box.x0 = std::min(box.x0, x), box.x1 = std::max(box.x1, x);
            box.y0 = std::min(box.y0, y), box.y1 = std::max(box.y1, y);
          }
      return box;
    };
    media::PixmapPtr before = screen();
    loop.handle_event({.kind = media::EventKind::KeyDown, .key = media::Key::LeftControl});
    loop.handle_event({.kind = media::EventKind::KeyDown, .key = media::Key::Q});
    media::advance_manual_clock(500);
    loop.handle_event({.kind = media::EventKind::Tick});
    ASSERT_EQ(loop.state().ring_held_ms, 500);
    media::PixmapPtr held = screen();
    Box b = changed(*before, *held);
    EXPECT_GE(b.x0, 980 - kRingBack);
    EXPECT_LE(b.x1, 980 + kRingBack);
    EXPECT_GE(b.y0, kRingY - kRingBack);
    EXPECT_LE(b.y1, kRingY + kRingBack);
    EXPECT_GT(b.x1 - b.x0, 50) << "the ring is there";
    loop.handle_event({.kind = media::EventKind::KeyUp, .key = media::Key::Q});
    media::PixmapPtr after = screen();
    EXPECT_EQ(changed(*before, *after).x1, -1) << "let go: the ring is gone";
  }
  media::use_manual_clock(false);
  media::close_audio();
  rt::fresh();
}
