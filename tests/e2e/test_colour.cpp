// Colouring end to end: the real program under Xvfb. A pick, a fill seen on screen, the unlock of
// activity 8 kept in the progress file, and the seven drawings brought by right clicks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "tests/e2e/harness.hpp"

using e2e::near;
using e2e::Pipkin;
using e2e::shot;
using media::read_pixel;

namespace {


// The generated palette is 228 x 480, centred in the 256-pixel panel with 30 pixels below it: its
// top-left corner is at (14, 258); the red patch is the first of its five rows of three.
constexpr int kRedX = 14 + 38, kRedY = 258 + 48;
constexpr int kIndicatorX = 14 + 114, kIndicatorY = 18 + 110;

bool is_blue(uint32_t p) { return near(p, 0, 0, 70, 4); }
bool is_red(uint32_t p) { return near(p, 235, 40, 40, 8); }

int count(const media::Pixmap& p, int x0, int y0, int x1, int y1, bool (*pred)(uint32_t)) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += pred(read_pixel(p, x, y));
  return n;
}

}  // namespace

TEST(Colour, PickFillUnlockAndTheSevenDrawings) {
  e2e::Options opt;
  opt.level = 7;
  Pipkin app(opt);
  ASSERT_TRUE(app.start()) << app.stderr_text();
  app.move(5, 740);
  app.key("7");
  ASSERT_TRUE(app.wait_for([](const media::Pixmap& p) { return is_blue(read_pixel(p, 1000, 750)); }))
      << "the drawing's dark blue";
  media::PixmapPtr first = app.screenshot(shot("colour_start"));
  EXPECT_TRUE(near(read_pixel(*first, 3, 3), 100, 100, 100, 2)) << "grey panel";
  EXPECT_TRUE(near(read_pixel(*first, kIndicatorX, kIndicatorY), 255, 255, 255, 2)) << "white indicator";
  EXPECT_TRUE(near(read_pixel(*first, 640, 384), 255, 255, 255, 2)) << "the triangles meet at the centre";
  EXPECT_GT(count(*first, 256, 0, 1024, 768, is_blue), 300000);

  // A fill before any pick is white; a click on the drawing's first column does nothing (seen once
  // the pointer has been drawn somewhere new after it, so the click has been handled).
  app.click(256, 5);
  ASSERT_TRUE(app.move_and_see(600, 700));
  media::PixmapPtr same = app.screenshot();
  EXPECT_TRUE(is_blue(read_pixel(*same, 1000, 750)));

  // Pick red, then fill the area round the rings.
  app.click(kRedX, kRedY);
  app.click(1015, 20);
  ASSERT_TRUE(app.wait_for([](const media::Pixmap& p) { return is_red(read_pixel(p, 1000, 750)); }))
      << "the fill shows on screen";
  media::PixmapPtr filled = app.screenshot(shot("colour_filled"));
  EXPECT_TRUE(is_red(read_pixel(*filled, kIndicatorX, kIndicatorY))) << "the indicator shows the pick";
  EXPECT_TRUE(is_red(read_pixel(*filled, 260, 3)));
  EXPECT_TRUE(is_blue(read_pixel(*filled, 700, 384))) << "inside the triangles stays blue";
  EXPECT_TRUE(near(read_pixel(*filled, 640, 384), 255, 255, 255, 2)) << "the lines stay white";
  EXPECT_GT(count(*filled, 256, 0, 1024, 768, is_red), 150000);

  // Right clicks bring the next drawings, uncoloured; the seventh after the first is the first again.
  // Each drawing differs from the one before it: that change shows the click was handled.
  // While a drawing loads, the thinking image shows over the old one (its corner at the centre of
  // the screen): that frame is not the new drawing yet.
  media::PixmapPtr before = filled;
  for (int i = 2; i <= 8; ++i) {
    app.click(1015, 20, 3);
    media::PixmapPtr d;
    ASSERT_TRUE(app.wait_for([&](const media::Pixmap& p) {
      int differ = 0;
      for (int y = 0; y < 768; y += 4)
        for (int x = 256; x < 1000; x += 4) differ += read_pixel(p, x, y) != read_pixel(*before, x, y);
      if (differ <= 200 || !is_blue(read_pixel(p, 1000, 750)) || app.thinking_shown(p)) return false;
      d = std::make_shared<media::Pixmap>(p);
      return true;
    })) << "drawing " << i;
    app.screenshot(shot("colour_drawing_" + std::to_string(i > 7 ? 1 : i)));
    before = d;
    EXPECT_TRUE(is_red(read_pixel(*d, kIndicatorX, kIndicatorY))) << "the pick carries over";
    if (i == 8) {
      // The first frame that differs may still be on its way to the finished drawing: wait for it.
      auto differ_from_first = [&](const media::Pixmap& p) {
        int differ = 0;
        for (int y = 0; y < 768; y += 2)
          for (int x = 256; x < 1024; x += 2)
            differ += !near(read_pixel(p, x, y), read_pixel(*first, x, y) >> 16 & 255,
                            read_pixel(*first, x, y) >> 8 & 255, read_pixel(*first, x, y) & 255, 2);
        return differ;
      };
      EXPECT_TRUE(app.wait_for([&](const media::Pixmap& p) { return differ_from_first(p) < 400; }))
          << "drawing 1 again (the pointer aside)";
    }
  }

  app.key("Escape");
  ASSERT_TRUE(app.wait_exit());
  EXPECT_EQ(app.exit_status(), 0);
  EXPECT_EQ(app.read_text("pipkin.txt"), "8\r\n") << "a pick and a fill unlocked activity 8";
}

TEST(Colour, EscapeEndsTheProgramAfterAFill) {
  e2e::Options opt;
  opt.level = 9;
  Pipkin app(opt);
  ASSERT_TRUE(app.start()) << app.stderr_text();
  app.key("7");
  app.click(kRedX, kRedY);
  app.click(700, 384);  // an area inside a triangle
  ASSERT_TRUE(app.wait_for([](const media::Pixmap& p) { return is_red(read_pixel(p, 690, 390)); }));
  app.key("Escape");
  ASSERT_TRUE(app.wait_exit());
  EXPECT_EQ(app.exit_status(), 0);
  EXPECT_EQ(app.read_text("pipkin.txt"), "9\r\n");
}
