// The shell end to end: the real program under Xvfb, driven by keys and the mouse.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "tests/e2e/harness.hpp"

using e2e::near;
using e2e::Pipkin;
using media::read_pixel;

namespace {

// Pixels equal in a rectangle of two screenshots.
bool same_area(const media::Pixmap& a, const media::Pixmap& b, int x0, int y0, int x1, int y1) {
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if (read_pixel(a, x, y) != read_pixel(b, x, y)) return false;
  return true;
}

int count_near(const media::Pixmap& p, int x0, int y0, int x1, int y1, int r, int g, int b, int tol) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += near(read_pixel(p, x, y), r, g, b, tol);
  return n;
}

}  // namespace

TEST(Shell, TitleScreenHelpLockAndLabel) {
  Pipkin app;
  ASSERT_TRUE(app.start()) << app.stderr_text();
  media::PixmapPtr title = app.screenshot();
  ASSERT_EQ(title->width, 1024);
  ASSERT_EQ(title->height, 768);
  // Sky at the top corners, a colourful logo in the middle band, the grey digit 0 at (1010, 744).
  uint32_t sky = read_pixel(*title, 20, 20);
  EXPECT_GT(sky & 0xFF, (sky >> 16) & 0xFF) << "the sky is blue";
  int logo = 0;
  for (int x = 160; x < 864; x += 4) logo += !near(read_pixel(*title, x, 170), (sky >> 16) & 255, (sky >> 8) & 255, sky & 255, 40);
  EXPECT_GT(logo, 20) << "the logo crosses the screen at y = 170";
  EXPECT_GT(count_near(*title, 1010, 744, 1024, 768, 210, 210, 210, 30), 5) << "digit 0";
  EXPECT_GT(count_near(*title, 10, 680, 300, 700, 150, 150, 150, 30), 20) << "press H";

  // No pointer is drawn on the title screen.
  app.move(500, 400);
  app.key("s");  // forces a redraw with the pointer resting there
  media::PixmapPtr moved = app.screenshot();
  EXPECT_TRUE(same_area(*title, *moved, 480, 380, 560, 460));

  // H shows the help page; a locked digit does nothing but closes it.
  app.key("h");
  media::PixmapPtr help = app.screenshot();
  EXPECT_FALSE(same_area(*title, *help, 300, 300, 700, 500));
  app.key("2");
  media::PixmapPtr back = app.screenshot();
  EXPECT_TRUE(same_area(*title, *back, 0, 0, 1024, 740)) << "digit 2 is locked at level 1";

  // V shows the info label in the middle: a cyan box with light yellow text.
  app.key("v");
  media::PixmapPtr label = app.screenshot();
  EXPECT_FALSE(same_area(*title, *label, 400, 360, 620, 400));
  EXPECT_TRUE(same_area(*title, *label, 0, 0, 1024, 250)) << "the label stays in the middle";
  app.key("v");
  app.key("Escape");
  EXPECT_TRUE(app.wait_exit(5000));
  EXPECT_EQ(app.exit_status(), 0);
  EXPECT_EQ(app.read_text("pipkin.txt"), "1\r\n");
}

TEST(Shell, EveryWayOutSavesTheProgress) {
  for (const char* way : {"Escape", "ctrl+q", "close"}) {
    SCOPED_TRACE(way);
    e2e::Options opt;
    opt.level = 4;
    Pipkin app(opt);
    ASSERT_TRUE(app.start()) << app.stderr_text();
    std::string w = way;
    if (w == "close")
      app.close_window();
    else
      app.key(w);
    ASSERT_TRUE(app.wait_exit(5000));
    EXPECT_EQ(app.exit_status(), 0);
    EXPECT_EQ(app.read_text("pipkin.txt"), "4\r\n");
    EXPECT_FALSE(std::ifstream(app.data("pipkin.txt.new")).good()) << "no half-written file left";
  }
}

TEST(Shell, ConfigWindowAndBadPictures) {
  e2e::Options opt;
  opt.config = "1\r\n";
  opt.keep_pictures = false;
  Pipkin app(opt);
  std::string pics = app.data("pics/");
  // Two good pictures, one with an upper-case ending, a text file and a corrupt PNG.
  e2e::sh("convert -size 3000x2000 gradient:red-blue '" + pics + "big.jpg'");
  e2e::sh("convert -size 64x48 xc:green '" + pics + "small.png'");
  e2e::sh("convert -size 64x48 xc:yellow '" + pics + "loud.JPG'");
  e2e::sh("echo 'not a picture' > '" + pics + "notes.txt'");
  e2e::sh("echo 'not a picture either' > '" + pics + "broken.png'");
  ASSERT_TRUE(app.start()) << app.stderr_text();
  // Both good pictures were scaled to the full screen: whichever the first frame shows fills all of
  // its 352x264 opening with strong colour (the empty canvas is pale).
  app.key("1");
  app.move(200, 200);
  auto strong = [](uint32_t c) {
    int r = (c >> 16) & 255, g = (c >> 8) & 255, b = c & 255;
    return std::max({r, g, b}) - std::min({r, g, b}) > 100;
  };
  EXPECT_TRUE(app.wait_for([&](const media::Pixmap& p) {
    for (auto [x, y] : {std::pair{97, 77}, {442, 77}, {97, 334}, {442, 334}})
      if (!strong(read_pixel(p, x, y))) return false;
    return true;
  }, 15000));
  media::PixmapPtr frames = app.screenshot();
  for (auto [x, y] : {std::pair{97, 77}, {442, 77}, {97, 334}, {442, 334}}) {
    uint32_t c = read_pixel(*frames, x, y);
    int r = (c >> 16) & 255, g = (c >> 8) & 255, b = c & 255;
    EXPECT_GT(std::max({r, g, b}) - std::min({r, g, b}), 100) << x << "," << y << " " << std::hex << c;
  }
  app.key("Escape");
  ASSERT_TRUE(app.wait_exit(5000));
  std::string err = app.stderr_text();
  EXPECT_NE(err.find("loud.JPG"), std::string::npos) << err;
  EXPECT_NE(err.find("rename"), std::string::npos) << err;
  EXPECT_NE(err.find("broken.png"), std::string::npos) << err;
  EXPECT_EQ(err.find("big.jpg"), std::string::npos) << err;
  EXPECT_EQ(err.find("small.png"), std::string::npos) << err;
  EXPECT_EQ(err.find("notes.txt"), std::string::npos) << err;
}

TEST(Shell, StoredLevelOpensEveryDigitUpToIt) {
  e2e::Options opt;
  opt.level = 5;
  Pipkin app(opt);
  ASSERT_TRUE(app.start()) << app.stderr_text();
  app.key("4");
  app.settle(500);
  // The kaleidoscope starts on black.
  EXPECT_TRUE(app.wait_for([](const media::Pixmap& p) { return near(read_pixel(p, 20, 20), 0, 0, 0, 4); }));
  app.key("5");
  // "Uncover" shows its cut on dark blue; 6 is still locked and leaves it there.
  auto dark_blue = [](const media::Pixmap& p) {
    uint32_t c = read_pixel(p, 1000, 10);
    return ((c >> 16) & 255) < 40 && ((c >> 8) & 255) < 40 && (c & 255) > 60;
  };
  EXPECT_TRUE(app.wait_for(dark_blue));
  app.key("6");
  app.settle(500);
  EXPECT_TRUE(dark_blue(*app.screenshot()));
  app.key("Escape");
  ASSERT_TRUE(app.wait_exit(5000));
  EXPECT_EQ(app.read_text("pipkin.txt"), "5\r\n");
}

TEST(Shell, AnIncompleteDataFolderNeverCrashes) {
  // Everything but the progress file is gone: no font, images, sounds, cuts, pictures or help.
  e2e::Options opt;
  opt.level = 9;
  Pipkin app(opt);
  e2e::sh("cd '" + app.data("") + "' && find . -mindepth 1 -maxdepth 1 ! -name pipkin.txt -exec rm -rf {} +");
  ASSERT_TRUE(app.start(false)) << app.stderr_text();
  for (const char* k : {"1", "2", "3", "4", "5", "6", "7", "8", "9", "h", "v", "0"}) {
    app.key(k);
    app.click(500, 400);
    app.click(300, 300, 3);
    app.move(600, 500);
    ASSERT_TRUE(app.running()) << "after key " << k << "\n" << app.stderr_text();
  }
  app.key("Escape");
  ASSERT_TRUE(app.wait_exit(5000));
  EXPECT_EQ(app.exit_status(), 0);
  EXPECT_EQ(app.read_text("pipkin.txt"), "9\r\n");
}

TEST(Shell, EachRunDealsItsOwnGames) {
  // Two starts in a row deal different jigsaws: the random generator is not seeded the same way
  // every time.
  media::PixmapPtr shots[2];
  for (auto& shot : shots) {
    e2e::Options opt;
    opt.level = 9;
    Pipkin app(opt);
    ASSERT_TRUE(app.start()) << app.stderr_text();
    app.key("9");
    app.settle(1500);
    shot = app.screenshot();
    app.key("Escape");
    ASSERT_TRUE(app.wait_exit(5000));
  }
  int differ = 0;
  for (int y = 0; y < 768; y += 4)
    for (int x = 0; x < 1000; x += 4) differ += read_pixel(*shots[0], x, y) != read_pixel(*shots[1], x, y);
  EXPECT_GT(differ, 1000);
}
