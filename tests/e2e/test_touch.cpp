// Touch play end to end. Xvfb has no touch screen, so the program runs in SDL's simulated-touch
// mode (SDL_MOUSE_TOUCH_EVENTS=1): the mouse's left button held down is a finger (a click is a tap,
// a button held is a finger held still, a drag with it held is a finger dragged), and the mouse
// itself is taken as absent. Every check waits for what it expects to show.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/e2e/harness.hpp"

using e2e::near;
using e2e::Pipkin;
using e2e::shot;
using media::read_pixel;

namespace {

e2e::Options with_finger(int level) {
  e2e::Options o;
  o.level = level;
  o.env.push_back({"SDL_MOUSE_TOUCH_EVENTS", "1"});
  return o;
}

void xdo(const std::string& args) { e2e::sh("xdotool " + args); }
std::string at(int x, int y) { return std::to_string(x) + " " + std::to_string(y); }
void tap(int x, int y) { xdo("mousemove " + at(x, y) + " click 1"); }

int red(uint32_t p) { return static_cast<int>(p >> 16 & 255); }
int green(uint32_t p) { return static_cast<int>(p >> 8 & 255); }
int blue(uint32_t p) { return static_cast<int>(p & 255); }
bool pale(uint32_t p) { return red(p) > 235 && green(p) > 230 && blue(p) > 215; }
bool is_blue(uint32_t p) { return near(p, 0, 0, 70, 4); }
bool is_red(uint32_t p) { return near(p, 235, 40, 40, 8); }
bool is_white(uint32_t p) { return near(p, 255, 255, 255, 8); }

// Pixels of the area that differ by more than 30 on some channel.
int changed(const media::Pixmap& a, const media::Pixmap& b, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      uint32_t p = read_pixel(a, x, y), q = read_pixel(b, x, y);
      n += std::abs(red(p) - red(q)) > 30 || std::abs(green(p) - green(q)) > 30 || std::abs(blue(p) - blue(q)) > 30;
    }
  return n;
}

// Colouring's palette (228 x 480 with its top-left corner at (14, 258)): the first row's red patch
// and the patch beside it, and the indicator's middle.
constexpr int kRedX = 14 + 38, kRedY = 258 + 48, kBesideRedX = 14 + 114;
constexpr int kIndicatorX = 14 + 114, kIndicatorY = 18 + 110;

// The pairs' cards.
constexpr int kCols[4] = {32, 279, 526, 773}, kRows[4] = {24, 209, 394, 579};
std::vector<uint32_t> card_signature(const media::Pixmap& shot, int k) {
  std::vector<uint32_t> s;
  for (int y = kRows[k / 4] + 8; y < kRows[k / 4] + 140; y += 6)
    for (int x = kCols[k % 4] + 8; x < kCols[k % 4] + 190; x += 6) s.push_back(read_pixel(shot, x, y));
  return s;
}
bool same_card(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  long sum = 0;
  for (size_t i = 0; i < a.size(); ++i)
    sum += std::abs(red(a[i]) - red(b[i])) + std::abs(green(a[i]) - green(b[i])) + std::abs(blue(a[i]) - blue(b[i]));
  return static_cast<double>(sum) / (3.0 * static_cast<double>(a.size())) < 6;
}

}  // namespace

// Frames: a tap shows a picture and the pointer image goes. Colouring: a finger held still brings
// the next drawing. Pairs: two taps turn two cards.
TEST(Touch, ATapFillsAFrameALongPressBringsTheNextDrawingAndTwoTapsTurnTwoCards) {
  Pipkin app(with_finger(9));
  ASSERT_TRUE(app.start()) << app.stderr_text();

  app.key("1");
  ASSERT_TRUE(app.wait_for([&](const media::Pixmap& p) {
    return pale(read_pixel(p, 270, 206)) && pale(read_pixel(p, 756, 538)) && app.pointer_at(p, 512, 384);
  })) << "empty frames, and the pointer image where the program put the pointer";
  media::PixmapPtr empty = app.screenshot();
  tap(250, 200);
  media::PixmapPtr one;
  ASSERT_TRUE(app.wait_for([&](const media::Pixmap& p) {
    if (changed(*empty, p, 104, 84, 434, 324) < 40000) return false;
    one = std::make_shared<media::Pixmap>(p);
    return true;
  })) << "the tapped frame shows a picture";
  app.screenshot(shot("touch_frames_tap"));
  EXPECT_FALSE(app.pointer_at(*one, 250, 200)) << "no pointer image under the finger";
  EXPECT_FALSE(app.pointer_at(*one, 512, 384)) << "nor where the pointer was";
  EXPECT_LT(changed(*empty, *one, 600, 90, 920, 320), 200) << "the other frames stay empty";

  app.key("7");
  ASSERT_TRUE(app.wait_for([](const media::Pixmap& p) { return is_blue(read_pixel(p, 1000, 750)); }));
  media::PixmapPtr first = app.screenshot();
  // Held on the colour indicator (where a tap does nothing) until the next drawing shows.
  xdo("mousemove " + at(128, 150) + " mousedown 1");
  const bool next = app.wait_for([&](const media::Pixmap& p) {
    int differ = 0;
    for (int y = 0; y < 768; y += 4)
      for (int x = 256; x < 1000; x += 4) differ += read_pixel(p, x, y) != read_pixel(*first, x, y);
    return differ > 200 && is_blue(read_pixel(p, 1000, 750)) && !app.thinking_shown(p);
  });
  xdo("mouseup 1");
  media::PixmapPtr second = app.screenshot(shot("touch_colour_long_press"));
  ASSERT_TRUE(next) << "a long press brings the next drawing";
  EXPECT_FALSE(app.pointer_at(*second, 128, 150));
  // The indicator's white disc is bare where the pointer image would hang from the finger.
  for (int y = 140; y < 200; y += 3)
    for (int x = 118; x < 170; x += 3) ASSERT_TRUE(is_white(read_pixel(*second, x, y))) << x << "," << y;

  app.key("8");
  std::vector<uint32_t> back;
  ASSERT_TRUE(app.wait_for([&](const media::Pixmap& p) {
    back = card_signature(p, 0);
    for (int k = 1; k < 16; ++k)
      if (!same_card(card_signature(p, k), back)) return false;
    return true;
  })) << "sixteen card backs";
  tap(kCols[0] + 100, kRows[0] + 70);
  tap(kCols[1] + 100, kRows[0] + 70);
  EXPECT_TRUE(app.wait_for([&](const media::Pixmap& p) {
    return !same_card(card_signature(p, 0), back) && !same_card(card_signature(p, 1), back);
  })) << "two taps turn two cards";
  app.screenshot(shot("touch_pairs_two_taps"));
  EXPECT_TRUE(same_card(card_signature(*app.screenshot(), 2), back)) << "and no other";

  app.key("Escape");
  ASSERT_TRUE(app.wait_exit());
}

// On a wide screen the picture is letterboxed between black bars: a touch on a bar touches nothing,
// though the mouse there would reach the picture's edge. Colouring shows it: a touch on the right
// bar, beside the drawing's top right corner, does not fill the area there.
TEST(Touch, ATouchOnALetterboxBarDoesNothing) {
  e2e::Desktop desk({"1920x1080x24"});
  ASSERT_TRUE(desk.ok());
  Pipkin app(with_finger(9));
  ASSERT_TRUE(app.start()) << app.stderr_text();
  // The 1024x768 picture is 1440x1080 in the middle: 240 of black on either side.
  auto wx = [](int px) { return 240 + px * 1440 / 1024; };
  auto wy = [](int py) { return py * 1080 / 768; };
  auto pixel = [&](const media::Pixmap& p, int px, int py) { return read_pixel(p, wx(px), wy(py)); };
  app.key("7");
  ASSERT_TRUE(app.wait_for([&](const media::Pixmap& p) { return p.width == 1920 && is_blue(pixel(p, 1000, 750)); }))
      << "the drawing, letterboxed";
  tap(wx(kRedX), wy(kRedY));
  ASSERT_TRUE(app.wait_for([&](const media::Pixmap& p) { return is_red(pixel(p, kIndicatorX, kIndicatorY)); }))
      << "red picked with a tap";
  tap(1800, wy(20));  // on the right bar, beside the drawing's outer area
  tap(wx(kBesideRedX), wy(kRedY));  // another colour: once it shows, the touch on the bar was handled
  ASSERT_TRUE(app.wait_for([&](const media::Pixmap& p) {
    const uint32_t c = pixel(p, kIndicatorX, kIndicatorY);
    return !is_red(c) && !is_white(c);
  })) << "the next colour picked";
  media::PixmapPtr after = app.screenshot(shot("touch_letterbox_bar"));
  EXPECT_TRUE(is_blue(pixel(*after, 1000, 750))) << "the touch on the bar filled nothing";
  // The same place inside the picture fills.
  tap(wx(1015), wy(20));
  EXPECT_TRUE(app.wait_for([&](const media::Pixmap& p) {
    const uint32_t c = pixel(p, 1000, 750);
    return !is_blue(c) && !is_white(c);
  })) << "a touch inside the picture fills";
  app.key("Escape");
  ASSERT_TRUE(app.wait_exit());
}
