#include "activities/turtle.hpp"

#include <cmath>

#include "media/display.hpp"
#include "media/draw.hpp"

namespace activities {

void TTurtle::draw_white_line(int x1, int y1, int x2, int y2) {
  // The drawing state between draws is white, opaque, unturned and unscaled: one-pixel white lines.
  media::draw_line(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
                   static_cast<float>(y2), true);
}

void TTurtle::init() {
  x0 = media::kScreenW - media::kScreenH / 2;
  y0 = media::kScreenH / 2;
  buffer = media::create_image(media::kScreenW, media::kScreenH, media::IMG_DEFAULT);
  patterns = 7;
}

void TTurtle::start() {
  x = 0.0f;
  y = 0.0f;
  h = 0;
  pendown = true;
  media::grab_image(buffer, 0, 0);
  media::SavedDrawState saved;
  media::set_clear_colour(0, 0, 70);
  media::cls();
}

void TTurtle::finish() {
  screen = media::grab_pixmap(media::kScreenW - media::kScreenH, 0, media::kScreenH, media::kScreenH);
  media::draw_image(buffer, 0, 0, 0);
}

void TTurtle::fd(int n) {
  // Positions stay floats; only the line's end points are truncated, towards zero.
  int ox = static_cast<int>(x), oy = static_cast<int>(y);
  double rad = h * M_PI / 180.0;
  x = static_cast<float>(static_cast<double>(x) + n * std::sin(rad));
  y = static_cast<float>(static_cast<double>(y) + n * std::cos(rad));
  int nx = static_cast<int>(x), ny = static_cast<int>(y);
  if (pendown) line(x0 + ox, y0 - oy, x0 + nx, y0 - ny);
}

void TTurtle::bk(int n) { fd(-n); }

void TTurtle::rt(int a) {
  h += a;
}

void TTurtle::lt(int a) { rt(-a); }

void TTurtle::pu() {
  pendown = false;
}

void TTurtle::pd() {
  pendown = true;
}

void TTurtle::poly(int n, int side) {
  int turn = 360 / n;
  for (int i = 0; i < n; ++i) {
    fd(side);
    rt(turn);
  }
}

void TTurtle::ring(int copies, int sides, int side) {
  for (int i = 0; i < copies; ++i) {
    poly(sides, side);
    rt(360 / copies);
  }
}

void TTurtle::pattern(int k) {
  start();
  switch (k) {
    case 1:  // six triangles with a corner at the centre
      ring(6, 3, 310);
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
      ring(6, 6, 180);
      break;
    case 4:  // eight octagons
      ring(8, 8, 140);
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
      ring(10, 10, 110);
      break;
    case 7:  // twelve dodecagons
      ring(12, 12, 90);
      break;
    default:  // a plain square
      break;
  }
}

}  // namespace activities
