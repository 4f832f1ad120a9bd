// Activities 1 to 4 end to end: the real program under Xvfb, checked on screenshots.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/e2e/harness.hpp"

using e2e::near;
using e2e::Pipkin;
using e2e::shot;
using media::read_pixel;

namespace {


int red(uint32_t p) { return p >> 16 & 255; }
int green(uint32_t p) { return p >> 8 & 255; }
int blue(uint32_t p) { return p & 255; }

// Pixels of an area that differ from another screenshot by more than tol on some channel.
int changed(const media::Pixmap& a, const media::Pixmap& b, int x0, int y0, int x1, int y1, int tol = 30) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      uint32_t p = read_pixel(a, x, y), q = read_pixel(b, x, y);
      n += std::abs(red(p) - red(q)) > tol || std::abs(green(p) - green(q)) > tol || std::abs(blue(p) - blue(q)) > tol;
    }
  return n;
}

// Pixels of an area near a colour.
int count_near(const media::Pixmap& p, int x0, int y0, int x1, int y1, int r, int g, int b, int tol) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += near(read_pixel(p, x, y), r, g, b, tol);
  return n;
}

// Pale canvas: the empty opening of a frame.
bool pale(uint32_t p) { return red(p) > 235 && green(p) > 230 && blue(p) > 215; }

bool same(uint32_t a, uint32_t b) {
  return std::abs(red(a) - red(b)) <= 40 && std::abs(green(a) - green(b)) <= 40 && std::abs(blue(a) - blue(b)) <= 40;
}

// The share of sample pixels inside the ring around (cx, cy) whose mirror images across the
// vertical, the horizontal and the diagonal through the centre all match them.
double symmetric_share(const media::Pixmap& p, int cx, int cy) {
  int total = 0, sym = 0;
  for (int v = 2; v < 145; v += 3)
    for (int u = 2; u < 145; u += 3) {
      if (u * u + v * v > 140 * 140) continue;
      uint32_t a = read_pixel(p, cx - u, cy - v);
      ++total;
      sym += same(a, read_pixel(p, cx + u - 1, cy - v)) && same(a, read_pixel(p, cx - u, cy + v - 1)) &&
             same(a, read_pixel(p, cx - v, cy - u));
    }
  return total ? double(sym) / total : 0;
}

// How many samples along a line through the pattern differ from the first one.
int varied(const media::Pixmap& p, int cx, int cy) {
  int n = 0;
  uint32_t first = read_pixel(p, cx - 100, cy - 100);
  for (int u = 5; u < 140; u += 5) n += !same(first, read_pixel(p, cx - u, cy - 40));
  return n;
}

e2e::Options unlocked() {
  e2e::Options o;
  o.level = 9;
  return o;
}

}  // namespace

TEST(Activities1to4, FramesShowAPictureWhenThePointerEnters) {
  e2e::Options opt;
  opt.level = 1;
  Pipkin app(opt);
  ASSERT_TRUE(app.start()) << app.stderr_text();
  app.key("1");
  // Building the activity shows the thinking image first; wait for the frames.
  ASSERT_TRUE(app.wait_for([](const media::Pixmap& p) { return pale(read_pixel(p, 270, 206)) && pale(read_pixel(p, 756, 538)); }));
  media::PixmapPtr empty = app.screenshot(shot("frames_empty"));
  // The four openings are pale canvas; the pointer was put in the middle of the screen.
  for (int i = 0; i < 4; ++i) {
    int x = i % 2 ? 580 : 94, y = i < 2 ? 74 : 406;
    EXPECT_TRUE(pale(read_pixel(*empty, x + 176, y + 132))) << "frame " << i << " starts empty";
  }
  // Entering the top-left frame fills its whole opening with a picture, the others stay empty.
  app.move(200, 250);
  app.move(250, 200);
  media::PixmapPtr one = app.screenshot(shot("frames_one"));
  int canvas = 0;
  for (int y = 80; y < 330; y += 10)
    for (int x = 100; x < 440; x += 10) canvas += pale(read_pixel(*one, x, y));
  EXPECT_LT(canvas, 40) << "the picture covers the opening";
  EXPECT_GT(changed(*empty, *one, 100, 80, 440, 330), 50000);
  EXPECT_LT(changed(*empty, *one, 600, 90, 920, 320), 200) << "the top-right frame is untouched (but the pointer)";
  EXPECT_EQ(changed(*empty, *one, 0, 700, 1000, 768), 0) << "the floor is untouched";

  // All four frames unlock activity 2; key 1 again empties them.
  for (auto p : {std::pair{700, 200}, std::pair{200, 500}, std::pair{700, 500}}) app.move(p.first, p.second);
  app.move(512, 370);
  media::PixmapPtr four = app.screenshot(shot("frames_four"));
  for (int i = 0; i < 4; ++i) {
    int x = i % 2 ? 580 : 94, y = i < 2 ? 74 : 406;
    EXPECT_GT(changed(*empty, *four, x + 10, y + 10, x + 340, y + 250), 40000) << "frame " << i;
  }
  app.key("1");
  media::PixmapPtr cleared = app.screenshot();
  EXPECT_LT(changed(*empty, *cleared, 0, 0, 1024, 700), 3000) << "empty again but for the pointer";
  app.key("Escape");
  ASSERT_TRUE(app.wait_exit(5000));
  EXPECT_EQ(app.read_text("pipkin.txt"), "2\r\n");
}

TEST(Activities1to4, NineBallsOnTheSky) {
  Pipkin app(unlocked());
  ASSERT_TRUE(app.start()) << app.stderr_text();
  app.move(5, 5);
  app.key("2");
  media::PixmapPtr sky = media::load_pixmap(app.data("images/sky.jpg"));
  ASSERT_TRUE(sky);
  // Each cell of the 3 x 3 grid holds exactly one ball: a patch of pixels unlike the sky about the
  // size of a ball, and never two. (The thinking image shows while the balls load.)
  auto ball_cells = [&sky](const media::Pixmap& p) {
    const int cw = 1024 / 3, ch = 768 / 3;
    int n = 0;
    for (int row = 0; row < 3; ++row)
      for (int col = 0; col < 3; ++col) {
        int ball = changed(*sky, p, col * cw, row * ch, (col + 1) * cw, (row + 1) * ch, 40);
        n += ball > 9000 && ball < 24000;
      }
    return n;
  };
  EXPECT_TRUE(app.wait_for([&](const media::Pixmap& p) { return ball_cells(p) == 9; }, 10000));
  media::PixmapPtr p = app.screenshot(shot("count_nine"));
  EXPECT_EQ(ball_cells(*p), 9);
  app.key("Escape");
  EXPECT_TRUE(app.wait_exit(5000));
}

TEST(Activities1to4, CardsLeaveTrails) {
  Pipkin app(unlocked());
  ASSERT_TRUE(app.start()) << app.stderr_text();
  app.key("3");
  app.move(512, 384);
  media::PixmapPtr sky = app.screenshot(shot("bounce_sky"));
  app.click(300, 300, 1);
  app.click(700, 300, 3);
  app.settle(2500);
  media::PixmapPtr trails = app.screenshot(shot("bounce_trails"));
  // The trails reach well into the screen from both sides and down to the floor.
  EXPECT_GT(changed(*sky, *trails, 0, 0, 250, 768), 20000) << "from the left";
  EXPECT_GT(changed(*sky, *trails, 774, 0, 1024, 768), 20000) << "from the right";
  EXPECT_GT(changed(*sky, *trails, 0, 700, 1024, 768), 5000) << "along the floor";
  // Both buffers hold the trail: two screenshots a few frames apart agree on old parts.
  media::PixmapPtr again = app.screenshot();
  EXPECT_LT(changed(*trails, *again, 0, 0, 200, 500), 2000);
  // Key 3 wipes the trails.
  app.key("3");
  app.settle(300);
  media::PixmapPtr clean = app.screenshot(shot("bounce_clean"));
  EXPECT_LT(changed(*sky, *clean, 0, 0, 1000, 740), 100);
  app.key("Escape");
  EXPECT_TRUE(app.wait_exit(5000));
}

TEST(Activities1to4, KaleidoscopeIsSymmetricAroundTheRing) {
  Pipkin app(unlocked());
  ASSERT_TRUE(app.start()) << app.stderr_text();
  app.move(500, 380);
  app.key("4");
  ASSERT_TRUE(app.wait_for([](const media::Pixmap& p) { return near(read_pixel(p, 20, 20), 0, 0, 0, 8); }, 10000));
  app.move(480, 360);
  app.settle(300);
  media::PixmapPtr p = app.screenshot(shot("kaleid"));
  // The pattern inside the ring is symmetric about both axes through the pointer and about its
  // diagonals; black outside it (no background picture yet).
  EXPECT_GT(symmetric_share(*p, 480, 360), 0.95);
  EXPECT_GT(varied(*p, 480, 360), 3) << "the picture shows through";
  EXPECT_GT(count_near(*p, 0, 0, 300, 200, 0, 0, 0, 8), 55000);
  EXPECT_GT(count_near(*p, 700, 560, 1000, 740, 0, 0, 0, 8), 50000);

  // The pointer is held r + 30 from the edges: sent to the corner it rests at (180, 180), where
  // the whole pattern is drawn.
  app.move(5, 5);
  app.settle(300);
  media::PixmapPtr edge = app.screenshot(shot("kaleid_edge"));
  EXPECT_GT(symmetric_share(*edge, 180, 180), 0.95);
  EXPECT_LT(symmetric_share(*edge, 200, 200), 0.8) << "and not somewhere else";

  // The right click shows the upright picture behind the pattern (and through the mask's white).
  app.click(480, 360, 3);
  EXPECT_TRUE(app.wait_for([](const media::Pixmap& p) {
    return count_near(p, 0, 0, 300, 200, 0, 0, 0, 8) < 30000 && count_near(p, 700, 560, 1000, 740, 0, 0, 0, 8) < 30000;
  }, 15000)) << "the picture shows behind the pattern";
  media::PixmapPtr shown = app.screenshot(shot("kaleid_show"));
  EXPECT_LT(count_near(*shown, 0, 0, 300, 200, 0, 0, 0, 8), 30000);
  EXPECT_LT(count_near(*shown, 700, 560, 1000, 740, 0, 0, 0, 8), 30000);
  app.key("Escape");
  EXPECT_TRUE(app.wait_exit(5000));
}
