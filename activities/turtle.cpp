#include "activities/turtle.hpp"

#include <cmath>

#include "app/shell.hpp"
#include "media/draw.hpp"

namespace activities {

void TTurtle::draw_white_line(int x1, int y1, int x2, int y2) {
  // The drawing state between draws is white, opaque, unturned and unscaled: one-pixel white lines.
  media::draw_line(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
                   static_cast<float>(y2), true);
}

int TTurtle::init() {
  const app::Shell& s = app::shell();
  x0 = s.screen_w - s.screen_h / 2;
  y0 = s.screen_h / 2;
  buffer = media::create_image(s.screen_w, s.screen_h, media::IMG_DEFAULT);
  patterns = 7;
  return 0;
}

int TTurtle::start() {
  x = 0.0f;
  y = 0.0f;
  h = 0;
  pendown = 1;
  media::grab_image(buffer, 0, 0);
  media::set_clear_colour(0, 0, 70);
  media::cls();
  media::set_clear_colour(0, 0, 0);
  return 0;
}

int TTurtle::finish() {
  const app::Shell& s = app::shell();
  screen = media::grab_pixmap(s.screen_w - s.screen_h, 0, s.screen_h, s.screen_h);
  media::draw_image(buffer, 0, 0, 0);
  return 0;
}

int TTurtle::fd(int n) {
  // Positions stay floats; only the line's end points are truncated, towards zero.
  int ox = static_cast<int>(x), oy = static_cast<int>(y);
  double rad = h * M_PI / 180.0;
  x = static_cast<float>(static_cast<double>(x) + n * std::sin(rad));
  y = static_cast<float>(static_cast<double>(y) + n * std::cos(rad));
  int nx = static_cast<int>(x), ny = static_cast<int>(y);
  if (pendown == 1) line(x0 + ox, y0 - oy, x0 + nx, y0 - ny);
  return 0;
}

int TTurtle::bk(int n) { return fd(-n); }

int TTurtle::rt(int a) {
  h += a;
  return 0;
}

int TTurtle::lt(int a) { return rt(-a); }

int TTurtle::pu() {
  pendown = 0;
  return 0;
}

int TTurtle::pd() {
  pendown = 1;
  return 0;
}

int TTurtle::poly(int n, int side) {
  int turn = 360 / n;
  for (int i = 0; i < n; ++i) {
    fd(side);
    rt(turn);
  }
  return 0;
}

int TTurtle::pattern(int k) {
  start();
  switch (k) {
    case 1:  // six triangles with a corner at the centre
      for (int i = 0; i < 6; ++i) {
        poly(3, 310);
        rt(60);
      }
      break;
    case 2:  // a pentagon with a flat lower edge and the star through its corners
      pu();
      bk(309);
      lt(90);
      fd(203);
      rt(72);
      pd();
      poly(5, 396);
      rt(36);
      for (int i = 0; i < 5; ++i) {
        fd(640);
        rt(144);
      }
      break;
    case 3:  // six hexagons
      for (int i = 0; i < 6; ++i) {
        poly(6, 180);
        rt(60);
      }
      break;
    case 4:  // eight octagons
      for (int i = 0; i < 8; ++i) {
        poly(8, 140);
        rt(45);
      }
      break;
    case 5:  // five groups of three nested pentagons
      rt(18);
      for (int i = 0; i < 5; ++i) {
        poly(5, 215);
        poly(5, 175);
        poly(5, 135);
        rt(72);
      }
      break;
    case 6:  // ten decagons
      for (int i = 0; i < 10; ++i) {
        poly(10, 110);
        rt(36);
      }
      break;
    case 7:  // twelve dodecagons
      for (int i = 0; i < 12; ++i) {
        poly(12, 90);
        rt(30);
      }
      break;
    default:  // a plain square
      break;
  }
  return 0;
}

}  // namespace activities
