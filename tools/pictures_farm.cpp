// Country pictures: the farmyard, the tractor in the wheat field, the garden, the house.
#include <cmath>

#include "tools/picture_kit.hpp"

namespace pk::pics {

namespace {

void leg(cairo_t* cr, double x, double top, double bottom, double w, Col c, Col hoof) {
  cairo_new_path(cr);
  rounded(cr, x - w / 2, top, w, bottom - top, w * 0.4);
  paint(cr, c, 4);
  rounded(cr, x - w / 2, bottom - w * 0.55, w, w * 0.55, w * 0.25);
  paint(cr, hoof, 4);
}

void cow(cairo_t* cr, double x, double y) {
  const Col hide = hex(0xfbf7ef), spot = hex(0x4a4058), pink = hex(0xffb3c1);
  shadow(cr, x + 20, y + 118, 170, 22);
  cairo_new_path(cr);
  cairo_move_to(cr, x - 118, y - 20);
  cairo_curve_to(cr, x - 160, y, x - 160, y + 60, x - 150, y + 90);
  stroke(cr, ink_of(hide), 12);
  stroke(cr, hide, 6);
  cairo_new_path(cr);
  oval(cr, x - 150, y + 96, 12, 18);
  paint(cr, spot, 3);
  for (double lx : {-85.0, -40.0, 45.0, 90.0}) leg(cr, x + lx, y + 20, y + 118, 34, hide, hex(0x6b5a6e));
  cairo_new_path(cr);
  oval(cr, x, y, 132, 74);
  paint_ball(cr, hide, 5);
  oval(cr, x, y, 128, 70);
  clipped(cr, [&] {
    cairo_new_path(cr);
    oval(cr, x - 70, y - 34, 46, 38, 0.4);
    oval(cr, x + 40, y + 30, 40, 34, -0.3);
    oval(cr, x + 110, y - 50, 30, 40);
    fill(cr, spot);
  });
  cairo_new_path(cr);
  oval(cr, x - 20, y + 72, 30, 16);
  paint(cr, pink, 3);
  // Head, facing us, at the front end.
  double hx = x + 150, hy = y - 46;
  for (double side = -1; side <= 1; side += 2) {
    cairo_new_path(cr);
    cairo_move_to(cr, hx + side * 36, hy - 50);
    cairo_curve_to(cr, hx + side * 50, hy - 80, hx + side * 60, hy - 86, hx + side * 66, hy - 84);
    cairo_curve_to(cr, hx + side * 60, hy - 70, hx + side * 56, hy - 56, hx + side * 48, hy - 42);
    cairo_close_path(cr);
    paint(cr, hex(0xffe7a8), 3);
    oval(cr, hx + side * 78, hy - 30, 30, 15, side * 0.35);
    paint(cr, hide, 4);
    oval(cr, hx + side * 78, hy - 30, 18, 8, side * 0.35);
    fill(cr, pink);
  }
  cairo_new_path(cr);
  oval(cr, hx, hy - 10, 60, 64);
  paint_ball(cr, hide, 5);
  oval(cr, hx, hy - 10, 57, 61);
  clipped(cr, [&] {
    cairo_new_path(cr);
    oval(cr, hx + 34, hy - 50, 34, 30);
    fill(cr, spot);
  });
  cairo_new_path(cr);
  oval(cr, hx, hy + 34, 56, 34);
  paint_ball(cr, pink, 4);
  oval(cr, hx - 18, hy + 34, 7, 10);
  oval(cr, hx + 18, hy + 34, 7, 10);
  fill(cr, hex(0xc7607a));
  eye(cr, hx - 24, hy - 16, 13);
  eye(cr, hx + 24, hy - 16, 13);
  // Bell on a collar.
  cairo_new_path(cr);
  circle(cr, hx - 6, hy + 82, 15);
  paint_ball(cr, hex(0xffc83d), 3);
}

void pig(cairo_t* cr, double x, double y) {
  const Col skin = hex(0xffa9bd), snout = hex(0xff8aa6);
  shadow(cr, x, y + 78, 120, 18);
  cairo_new_path(cr);
  cairo_move_to(cr, x + 92, y - 10);
  cairo_curve_to(cr, x + 130, y - 30, x + 136, y + 10, x + 116, y + 8);
  cairo_curve_to(cr, x + 100, y + 6, x + 110, y - 20, x + 126, y - 24);
  stroke(cr, ink_of(skin), 10);
  stroke(cr, skin, 5);
  for (double lx : {-60.0, -25.0, 35.0, 68.0}) leg(cr, x + lx, y + 20, y + 78, 28, skin, hex(0xc97a8a));
  cairo_new_path(cr);
  oval(cr, x, y, 104, 66);
  paint_ball(cr, skin, 5);
  double hx = x - 86, hy = y - 18;
  for (double side = -1; side <= 1; side += 2) {
    cairo_new_path(cr);
    poly(cr, {hx + side * 22, hy - 48, hx + side * 54, hy - 70, hx + side * 50, hy - 26});
    paint(cr, skin, 4);
  }
  cairo_new_path(cr);
  circle(cr, hx, hy, 56);
  paint_ball(cr, skin, 5);
  oval(cr, hx, hy + 18, 28, 20);
  paint_ball(cr, snout, 4);
  oval(cr, hx - 9, hy + 18, 5, 8);
  oval(cr, hx + 9, hy + 18, 5, 8);
  fill(cr, hex(0xb8506a));
  eye(cr, hx - 22, hy - 16, 10);
  eye(cr, hx + 22, hy - 16, 10);
  cheek(cr, hx - 36, hy + 8, 10);
  cheek(cr, hx + 36, hy + 8, 10);
  smile(cr, hx, hy + 44, 14, 3);
}

void sheep(cairo_t* cr, double x, double y) {
  const Col wool = hex(0xf8f4ec), face = hex(0x6e6280);
  shadow(cr, x, y + 74, 100, 16);
  for (double lx : {-50.0, -20.0, 25.0, 55.0}) leg(cr, x + lx, y + 20, y + 74, 20, face, dark(face, 0.3));
  cairo_new_path(cr);
  for (int i = 0; i < 10; ++i) {
    double a = i * 2 * kPi / 10;
    circle(cr, x + 82 * std::cos(a), y + 46 * std::sin(a), 30);
  }
  circle(cr, x, y, 72);
  stroke(cr, ink_of(wool), 10);
  paint_ball(cr, wool, 0);
  for (int i = 0; i < 10; ++i) {
    double a = i * 2 * kPi / 10;
    circle(cr, x + 82 * std::cos(a), y + 46 * std::sin(a), 30);
  }
  circle(cr, x, y, 72);
  paint_ball(cr, wool, 0);
  double hx = x - 92, hy = y - 30;
  for (double side = -1; side <= 1; side += 2) {
    cairo_new_path(cr);
    oval(cr, hx + side * 46, hy - 8, 24, 11, side * 0.4);
    paint(cr, face, 3);
  }
  cairo_new_path(cr);
  oval(cr, hx, hy, 38, 46);
  paint_ball(cr, face, 4);
  const double tuft[] = {hx - 18, hy - 42, 15, hx, hy - 48, 16, hx + 18, hy - 42, 15};
  cluster(cr, tuft, 3, wool, 3);
  cairo_new_path(cr);
  oval(cr, hx - 15, hy - 6, 10, 12);
  oval(cr, hx + 15, hy - 6, 10, 12);
  fill(cr, kSnow);
  eye(cr, hx - 14, hy - 4, 7);
  eye(cr, hx + 14, hy - 4, 7);
  cairo_new_path(cr);
  oval(cr, hx, hy + 24, 14, 9);
  fill(cr, hex(0x8a7c9c));
  smile(cr, hx, hy + 32, 10, 3);
}

void hen(cairo_t* cr, double x, double y) {
  const Col body = hex(0xe07b3a);
  shadow(cr, x, y + 62, 70, 12);
  cairo_new_path(cr);
  for (double lx : {-16.0, 16.0}) {
    cairo_move_to(cr, x + lx, y + 30);
    cairo_line_to(cr, x + lx, y + 60);
    cairo_move_to(cr, x + lx - 10, y + 62);
    cairo_line_to(cr, x + lx, y + 56);
    cairo_line_to(cr, x + lx + 10, y + 62);
  }
  stroke(cr, hex(0xf0a020), 6);
  cairo_new_path(cr);
  poly(cr, {x + 40, y - 10, x + 86, y - 50, x + 92, y - 20, x + 70, y + 10});
  paint(cr, hex(0xb85a2a), 4);
  oval(cr, x, y, 64, 52);
  paint_ball(cr, body, 4);
  oval(cr, x + 8, y + 6, 36, 24, -0.3);
  paint(cr, hex(0xc9652e), 3);
  double hx = x - 40, hy = y - 48;
  for (int i = 0; i < 3; ++i) circle(cr, hx - 12 + i * 12, hy - 30 + (i == 1 ? -6 : 0), 10);
  paint_ball(cr, hex(0xf0383f), 3);
  circle(cr, hx, hy, 32);
  paint_ball(cr, body, 4);
  poly(cr, {hx - 30, hy, hx - 54, hy + 8, hx - 30, hy + 16});
  paint(cr, hex(0xffc531), 3);
  oval(cr, hx - 28, hy + 26, 7, 11);
  paint(cr, hex(0xf0383f), 3);
  eye(cr, hx - 8, hy - 6, 8);
}

void chick(cairo_t* cr, double x, double y, double s) {
  const Col fluff = hex(0xffe04a);
  cairo_new_path(cr);
  cairo_move_to(cr, x - 6 * s, y + 18 * s);
  cairo_line_to(cr, x - 6 * s, y + 28 * s);
  cairo_move_to(cr, x + 6 * s, y + 18 * s);
  cairo_line_to(cr, x + 6 * s, y + 28 * s);
  stroke(cr, hex(0xf08a20), 4);
  cairo_new_path(cr);
  oval(cr, x, y + 6 * s, 24 * s, 20 * s);
  paint_ball(cr, fluff, 3);
  circle(cr, x - 8 * s, y - 16 * s, 16 * s);
  paint_ball(cr, fluff, 3);
  poly(cr, {x - 22 * s, y - 16 * s, x - 34 * s, y - 12 * s, x - 22 * s, y - 8 * s});
  paint(cr, hex(0xff9a2a), 2.5);
  eye(cr, x - 12 * s, y - 20 * s, 4.5 * s);
}
void wheat(cairo_t* cr, double x, double y, double h, double lean) {
  const Col stalk = hex(0xd19a2e), ear = hex(0xf7c844);
  cairo_new_path(cr);
  cairo_move_to(cr, x, y);
  cairo_curve_to(cr, x, y - h * 0.5, x + lean * 0.5, y - h * 0.8, x + lean, y - h);
  stroke(cr, stalk, std::max(1.5, h * 0.05));
  cairo_new_path(cr);
  double tx = x + lean, ty = y - h, k = h * 0.09;
  for (int i = 0; i < 4; ++i) {
    double ey = ty - i * k * 1.3;
    oval(cr, tx - k * 0.7, ey, k * 0.75, k * 0.45, -0.7);
    oval(cr, tx + k * 0.7, ey, k * 0.75, k * 0.45, 0.7);
  }
  oval(cr, tx, ty - 4 * k * 1.3, k * 0.5, k * 0.8);
  set(cr, ear);
  cairo_fill_preserve(cr);
  stroke(cr, stalk, std::max(1.0, h * 0.025));
  cairo_new_path(cr);
}

void wheat_rows(cairo_t* cr, gen::Rng& rng, double y0, double y1, double step) {
  for (double y = y0; y < y1; y += step) {
    double depth = (y - 400) / 368.0;
    double h = 22 + 60 * depth;
    for (double x = rng.range(-20, 0); x < kWidth + 20; x += 14 + 22 * depth)
      wheat(cr, x + rng.range(-4, 4), y + rng.range(-4, 4), h * rng.range(0.85, 1.1), rng.range(-0.15, 0.15) * h);
  }
}

void hay_bale(cairo_t* cr, double x, double y, double r) {
  shadow(cr, x + r * 0.2, y + r * 0.95, r * 1.2, r * 0.2);
  cairo_new_path(cr);
  rounded(cr, x - r * 0.2, y - r, r * 1.3, r * 2, r * 0.4);
  paint(cr, hex(0xe9b543), std::max(2.0, r * 0.06));
  circle(cr, x - r * 0.2, y, r);
  paint_ball(cr, hex(0xf7d06a), std::max(2.0, r * 0.06));
  cairo_new_path(cr);
  for (double t = 0; t < 5.5 * 2 * kPi; t += 0.15) {
    double rr = r * 0.86 * t / (5.5 * 2 * kPi);
    cairo_line_to(cr, x - r * 0.2 + rr * std::cos(t), y + rr * std::sin(t));
  }
  stroke(cr, hex(0xcf9a30), std::max(1.5, r * 0.04));
  cairo_new_path(cr);
}

// A wheel with chunky treads round the rim.
void tyre(cairo_t* cr, double x, double y, double r, int lugs) {
  for (int i = 0; i < lugs; ++i) {
    double a = i * 2 * kPi / lugs;
    at(cr, x + r * std::cos(a), y + r * std::sin(a), 1, a, [&] {
      cairo_new_path(cr);
      rounded(cr, -r * 0.1, -r * 0.08, r * 0.18, r * 0.16, r * 0.04);
      paint(cr, hex(0x3b3848), 3);
    });
  }
  wheel(cr, x, y, r, hex(0xffd23f));
}

void farmer(cairo_t* cr, double x, double y) {
  cairo_new_path(cr);
  rounded(cr, x - 40, y + 40, 80, 70, 20);
  paint(cr, hex(0x4a86e8), 4);
  circle(cr, x, y, 44);
  paint_ball(cr, hex(0xffd0ad), 4);
  eye(cr, x - 15, y - 2, 7);
  eye(cr, x + 15, y - 2, 7);
  smile(cr, x, y + 22, 20, 3.5);
  cheek(cr, x - 28, y + 12, 8);
  cheek(cr, x + 28, y + 12, 8);
  cairo_new_path(cr);
  oval(cr, x, y - 30, 70, 14);
  paint(cr, hex(0xf7d66a), 4);
  cairo_new_path(cr);
  cairo_move_to(cr, x - 38, y - 32);
  cairo_curve_to(cr, x - 38, y - 78, x + 38, y - 78, x + 38, y - 32);
  cairo_close_path(cr);
  paint(cr, hex(0xf7d66a), 4);
  cairo_new_path(cr);
  rounded(cr, x - 38, y - 46, 76, 12, 4);
  fill(cr, hex(0xe8433a));
}
void sunflower(cairo_t* cr, double x, double y, double top, double r) {
  const Col stem = hex(0x3f9d3a);
  cairo_new_path(cr);
  cairo_move_to(cr, x, y);
  cairo_curve_to(cr, x + 10, y - (y - top) * 0.4, x - 10, y - (y - top) * 0.7, x, top);
  thick_line(cr, stem, r * 0.14, 3);
  for (int i = 0; i < 2; ++i) {
    double ly = top + (y - top) * (0.35 + 0.3 * i), side = i ? 1 : -1;
    leaf(cr, x + side * r * 0.55, ly, r * 0.5, side * 0.5 - (side < 0 ? kPi : 0), stem);
  }
  for (int i = 0; i < 16; ++i) {
    double a = i * 2 * kPi / 16;
    cairo_new_path(cr);
    oval(cr, x + r * 0.78 * std::cos(a), top + r * 0.78 * std::sin(a), r * 0.4, r * 0.17, a);
    paint_ball(cr, hex(0xffcd2a), 3);
  }
  cairo_new_path(cr);
  circle(cr, x, top, r * 0.52);
  paint_ball(cr, hex(0x9a5a2a), 4);
  for (int i = 0; i < 26; ++i) {
    double a = i * 2.4, d = r * 0.46 * std::sqrt((i + 0.5) / 26.0);
    circle(cr, x + d * std::cos(a), top + d * std::sin(a), r * 0.035);
  }
  fill(cr, hex(0x6a3a1e));
}

void bee(cairo_t* cr, double x, double y, double s, double angle) {
  at(cr, x, y, s, angle, [&] {
    double line = 2.5 / s;
    cairo_new_path(cr);
    oval(cr, -0.15, -0.55, 0.32, 0.22, -0.5);
    oval(cr, 0.25, -0.55, 0.32, 0.22, 0.5);
    set(cr, hex(0xe8f6ff), 0.85);
    cairo_fill_preserve(cr);
    stroke(cr, hex(0x7a9ab8), line);
    cairo_new_path(cr);
    oval(cr, 0, 0, 0.62, 0.45);
    paint_ball(cr, hex(0xffd23f), line);
    oval(cr, 0, 0, 0.6, 0.43);
    clipped(cr, [&] {
      cairo_new_path(cr);
      cairo_rectangle(cr, -0.12, -1, 0.2, 2);
      cairo_rectangle(cr, 0.28, -1, 0.2, 2);
      fill(cr, hex(0x3a3044));
    });
    cairo_new_path(cr);
    poly(cr, {0.6, -0.05, 0.78, 0, 0.6, 0.05});
    fill(cr, hex(0x3a3044));
    eye(cr, -0.34, -0.08, 0.1);
    smile(cr, -0.36, 0.14, 0.14, line);
  });
}

void ladybird(cairo_t* cr, double x, double y, double s, double angle) {
  at(cr, x, y, s, angle, [&] {
    double line = 2.5 / s;
    cairo_new_path(cr);
    circle(cr, 0, -0.5, 0.32);
    paint_ball(cr, hex(0x3a3044), line);
    oval(cr, 0, 0, 0.6, 0.55);
    paint_ball(cr, hex(0xf03a3a), line);
    cairo_move_to(cr, 0, -0.55);
    cairo_line_to(cr, 0, 0.55);
    stroke(cr, hex(0x3a3044), line);
    cairo_new_path(cr);
    const double spots[] = {-0.3, -0.15, 0.3, -0.15, -0.25, 0.25, 0.25, 0.25};
    for (int i = 0; i < 4; ++i) circle(cr, spots[2 * i], spots[2 * i + 1], 0.12);
    fill(cr, hex(0x3a3044));
    circle(cr, -0.12, -0.62, 0.07);
    circle(cr, 0.12, -0.62, 0.07);
    fill(cr, kSnow);
  });
}

void snail(cairo_t* cr, double x, double y, double s) {
  at(cr, x, y, s, 0, [&] {
    double line = 3 / s;
    cairo_new_path(cr);
    cairo_move_to(cr, -1.1, 0.3);
    cairo_curve_to(cr, -1.2, -0.2, -0.95, -0.5, -0.8, -0.3);
    cairo_line_to(cr, 0.9, 0.1);
    cairo_curve_to(cr, 1.0, 0.3, 0.9, 0.4, 0.7, 0.4);
    cairo_line_to(cr, -0.9, 0.42);
    cairo_close_path(cr);
    paint(cr, hex(0xb7e08a), line);
    cairo_move_to(cr, -0.95, -0.4);
    cairo_line_to(cr, -1.05, -0.75);
    cairo_move_to(cr, -0.85, -0.38);
    cairo_line_to(cr, -0.8, -0.75);
    stroke(cr, ink_of(hex(0xb7e08a)), line);
    cairo_new_path(cr);
    circle(cr, -1.05, -0.75, 0.07);
    circle(cr, -0.8, -0.75, 0.07);
    fill(cr, kInk);
    circle(cr, 0.1, -0.3, 0.62);
    paint_ball(cr, hex(0xf08a5a), line);
    for (double t = 0; t < 2.6 * 2 * kPi; t += 0.1) {
      double rr = 0.5 * (1 - t / (2.7 * 2 * kPi));
      cairo_line_to(cr, 0.1 + rr * std::cos(t), -0.3 + rr * std::sin(t));
    }
    stroke(cr, hex(0xb85a3a), line);
    cairo_new_path(cr);
    eye(cr, -0.97, -0.05, 0.09);
    smile(cr, -0.9, 0.12, 0.14, line);
  });
}

void window(cairo_t* cr, double x, double y, double w, double h, Col curtain) {
  cairo_new_path(cr);
  rounded(cr, x - 10, y - 10, w + 20, h + 20, 10);
  paint(cr, hex(0xfff6e6), 4);
  vgrad_rect(cr, x, y, w, h, hex(0x8fdcff), hex(0xd8f4ff));
  for (double side = 0; side < 2; side += 1) {
    double cx = side ? x + w : x, d = side ? -1 : 1;
    cairo_new_path(cr);
    cairo_move_to(cr, cx, y);
    cairo_line_to(cr, cx + d * w * 0.3, y);
    cairo_curve_to(cr, cx + d * w * 0.22, y + h * 0.5, cx + d * w * 0.1, y + h * 0.7, cx + d * w * 0.24, y + h);
    cairo_line_to(cr, cx, y + h);
    cairo_close_path(cr);
    paint(cr, curtain, 3);
  }
  cairo_new_path(cr);
  cairo_rectangle(cr, x + w / 2 - 4, y, 8, h);
  cairo_rectangle(cr, x, y + h / 2 - 4, w, 8);
  fill(cr, hex(0xfff6e6));
  // Flower box under the sill.
  cairo_new_path(cr);
  rounded(cr, x - 14, y + h + 12, w + 28, 26, 6);
  paint(cr, hex(0xb8743e), 4);
  const Col cols[] = {hex(0xff5a7a), hex(0xffd23f), hex(0xb58cff), hex(0xff8a3a)};
  for (int i = 0; i < 4; ++i) flower(cr, x + w * (0.1 + 0.27 * i), y + h + 8, 13, cols[i]);
}

}  // namespace

void garden(cairo_t* cr, gen::Rng& rng) {
  vgrad_rect(cr, 0, 0, kWidth, 330, hex(0x6fd0fb), hex(0xdff6ff));
  cloud(cr, 420, 80, 90);
  cloud(cr, 760, 60, 70);
  for (int i = 0; i < 14; ++i) bush(cr, -40 + i * 80, 330 + (i % 2) * 10, 110, i % 2 ? hex(0x3e9c52) : hex(0x4aa95a));
  ground(cr, 330, 6, 700, 0.4, hex(0x74c84e), hex(0x4d9e3a), 4);
  sunflower(cr, 90, 560, 150, 78);
  sunflower(cr, 210, 560, 250, 62);
  sunflower(cr, 930, 560, 170, 74);
  const Col tulips[] = {hex(0xff4f6d), hex(0xffc83a), hex(0xff8fc0), hex(0xb07cff), hex(0xff7a3a)};
  for (int row = 0; row < 3; ++row)
    for (int i = 0; i < 12; ++i) {
      double x = 40 + i * 88 + (row % 2) * 44 + rng.range(-10, 10), y = 430 + row * 70 + rng.range(-6, 6);
      tulip(cr, x, y, 90 + row * 18, tulips[(i + row * 2) % 5]);
    }
  grass_field(cr, rng, -10, kWidth + 10, 600, 770, 40, hex(0x4d9e3a));
  const Col petals[] = {hex(0xfff6fa), hex(0xff6f91), hex(0xffd23f), hex(0x8fb8ff), hex(0xff9a4a)};
  for (int i = 0; i < 44; ++i)
    flower(cr, rng.range(0, kWidth), rng.range(600, 770), rng.range(14, 22), petals[i % 5],
           i % 5 == 2 ? hex(0xff7a3a) : hex(0xffd23f));
  leaf(cr, 150, 690, 70, -0.3, hex(0x4fb848));
  ladybird(cr, 150, 684, 30, 1.2);
  snail(cr, 860, 700, 50);
  butterfly(cr, 360, 200, 46, hex(0xff7eb6), hex(0xfff0a0), -0.3);
  butterfly(cr, 640, 260, 40, hex(0x6ac8ff), hex(0xffe066), 0.25);
  butterfly(cr, 780, 150, 34, hex(0xffa63a), hex(0xfff3c4), 0.1);
  butterfly(cr, 520, 560, 36, hex(0xb58cff), hex(0xffe0f0), -0.2);
  bee(cr, 560, 150, 40, 0.1);
  bee(cr, 300, 360, 32, -0.2);
  bee(cr, 720, 420, 30, 0.15);
}

void house(cairo_t* cr, gen::Rng& rng) {
  vgrad_rect(cr, 0, 0, kWidth, 460, hex(0x2fc6d8), hex(0xbdf4ef));
  sun(cr, 120, 110, 66);
  cloud(cr, 800, 90, 110);
  cloud(cr, 420, 60, 70);
  cloud(cr, 980, 250, 60);
  bird_v(cr, 270, 160, 16, hex(0x2a4a6a));
  bird_v(cr, 305, 140, 12, hex(0x2a4a6a));
  ground(cr, 430, 24, 900, 3.6, hex(0xa6e070), hex(0x8ed05e), 4);
  for (int i = 0; i < 5; ++i) pine(cr, 40 + i * 60, 448 - i * 4, 70 + i * 4, hex(0x2f9a5a));
  round_tree(cr, 880, 470, 170, hex(0x58c24a), hex(0x9a6238));
  for (int i = 0; i < 7; ++i) {
    cairo_new_path(cr);
    circle(cr, 820 + (i % 4) * 38 + (i / 4) * 18, 270 + (i / 4) * 70 + (i % 2) * 22, 13);
    paint_ball(cr, hex(0xf03a3a), 3);
  }
  ground(cr, 560, 10, 1200, 0.2, hex(0x7fd35a), hex(0x57b544), 4);

  // The house.
  const double hx = 300, hy = 250, hw = 420, hh = 330;
  shadow(cr, 510, 586, 250, 18);
  cairo_new_path(cr);
  rounded(cr, 600, 110, 54, 110, 6);
  paint(cr, hex(0xc95a4a), 4);
  cloud(cr, 640, 70, 40, hex(0xeef2f6));
  cloud(cr, 690, 30, 50, hex(0xeef2f6));
  cairo_new_path(cr);
  rounded(cr, hx, hy, hw, hh, 8);
  paint(cr, hex(0xffd65a), 5);
  for (int i = 1; i < 9; ++i) {
    cairo_move_to(cr, hx + 6, hy + 20 + i * 34);
    cairo_line_to(cr, hx + hw - 6, hy + 20 + i * 34);
  }
  stroke(cr, hex(0xf2bf44), 3);
  cairo_new_path(cr);
  poly(cr, {hx - 50, hy + 20, hx + hw / 2, hy - 150, hx + hw + 50, hy + 20});
  paint(cr, hex(0xf25a4a), 6);
  for (int row = 0; row < 4; ++row) {
    double y = hy - 110 + row * 34, half = 40 + row * 60;
    for (double x = hx + hw / 2 - half; x < hx + hw / 2 + half - 10; x += 36) {
      cairo_new_path(cr);
      cairo_arc(cr, x + 18, y + 6, 16, 0, kPi);
      stroke(cr, hex(0xc9433a), 4);
    }
  }
  cairo_new_path(cr);
  circle(cr, hx + hw / 2, hy - 60, 30);
  paint(cr, hex(0xfff6e6), 4);
  circle(cr, hx + hw / 2, hy - 60, 20);
  fill(cr, hex(0x8fdcff));
  heart(cr, hx + hw / 2, hy - 58, 22, hex(0xff6f91));
  window(cr, hx + 40, hy + 60, 110, 100, hex(0xff8fb1));
  window(cr, hx + hw - 150, hy + 60, 110, 100, hex(0xff8fb1));
  cairo_new_path(cr);
  cairo_move_to(cr, hx + hw / 2 - 56, hy + hh);
  cairo_line_to(cr, hx + hw / 2 - 56, hy + 250);
  cairo_arc(cr, hx + hw / 2, hy + 250, 56, kPi, 2 * kPi);
  cairo_line_to(cr, hx + hw / 2 + 56, hy + hh);
  cairo_close_path(cr);
  paint(cr, hex(0x3d7bf0), 5);
  circle(cr, hx + hw / 2 + 32, hy + 290, 8);
  paint_ball(cr, hex(0xffd23f), 3);
  circle(cr, hx + hw / 2, hy + 245, 18);
  fill(cr, hex(0x9fdcff));
  fence(cr, -10, 330, 600, 60, hex(0xfff3dc));
  fence(cr, 690, kWidth + 10, 600, 60, hex(0xfff3dc));
  grass_field(cr, rng, -10, kWidth + 10, 610, 768, 40, hex(0x57b544));
  // Stepping stones down to the bottom edge.
  for (int i = 0; i < 5; ++i) {
    double t = i / 4.0;
    cairo_new_path(cr);
    oval(cr, 510 + std::sin(t * 2.4) * 60, 610 + i * 38, 44 + i * 10, 14 + i * 3);
    paint(cr, hex(0xd9d2e6), 3);
  }
  const Col cols[] = {hex(0xff5a7a), hex(0xffd23f), hex(0xb58cff), hex(0xff8a3a), hex(0xfff6fa)};
  for (int i = 0; i < 26; ++i) {
    double x = rng.range(10, kWidth - 10);
    if (std::fabs(x - 520) < 120) continue;
    flower(cr, x, rng.range(620, 760), rng.range(11, 17), cols[i % 5]);
  }
  for (int i = 0; i < 5; ++i) tulip(cr, 360 + i * 34, 590, 60, cols[i % 4]);
  for (int i = 0; i < 4; ++i) tulip(cr, 570 + i * 34 + 20, 590, 60, cols[(i + 1) % 4]);
  butterfly(cr, 250, 520, 30, hex(0xff8ac0), hex(0xfff2a8), 0.3);
}

void tractor(cairo_t* cr, gen::Rng& rng) {
  vgrad_rect(cr, 0, 0, kWidth, 440, hex(0x4cb0f0), hex(0xc6ebff));
  cloud(cr, 170, 90, 110);
  cloud(cr, 830, 80, 120);
  cloud(cr, 560, 170, 60);
  bird_v(cr, 420, 80, 16, hex(0x4a4a6a));
  bird_v(cr, 460, 104, 12, hex(0x4a4a6a));
  ground(cr, 352, 18, 900, 0.5, hex(0x92d36a), hex(0x76bf55), 4);
  for (int i = 0; i < 9; ++i) {
    double x = 40 + i * 120 + rng.range(-20, 20);
    pine(cr, x, 356 + 18 * std::sin(2 * kPi * x / 900 + 0.5), rng.range(48, 64), hex(0x3d9e4a));
  }
  ground(cr, 410, 10, 1100, 1.0, hex(0xf6cf58), hex(0xe8a93a), 4);
  wheat_rows(cr, rng, 425, 540, 22);
  hay_bale(cr, 120, 470, 52);
  hay_bale(cr, 930, 462, 46);
  hay_bale(cr, 800, 430, 22);
  wheat_rows(cr, rng, 540, 700, 26);

  // The tractor, facing left.
  const Col red = hex(0xe8433a), grey = hex(0x6a6f86);
  shadow(cr, 520, 692, 330, 30, 0.22);
  cairo_new_path(cr);
  rounded(cr, 350, 300, 22, 150, 8);
  paint(cr, grey, 4);
  rounded(cr, 344, 290, 34, 18, 6);
  paint(cr, dark(grey, 0.2), 4);
  cloud(cr, 366, 256, 40, hex(0xeef0f6));
  cloud(cr, 330, 196, 58, hex(0xeef0f6));
  cloud(cr, 290, 124, 76, hex(0xeef0f6));
  farmer(cr, 626, 318);
  cairo_new_path(cr);
  rounded(cr, 520, 236, 220, 236, 14);
  rounded(cr, 542, 262, 176, 140, 10);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  paint(cr, red, 5);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  cairo_new_path(cr);
  rounded(cr, 542, 262, 176, 140, 10);
  fill(cr, hex(0xc8ecff), 0.35);
  poly(cr, {560, 270, 600, 270, 556, 330});
  fill(cr, kSnow, 0.55);
  rounded(cr, 500, 222, 260, 30, 12);
  paint(cr, hex(0xf6f0e0), 5);
  cairo_new_path(cr);
  rounded(cr, 250, 420, 320, 150, 26);
  paint(cr, red, 5);
  for (int i = 0; i < 4; ++i) {
    cairo_move_to(cr, 390 + i * 34, 450);
    cairo_line_to(cr, 390 + i * 34, 530);
  }
  stroke(cr, hex(0xb83030), 8);
  cairo_new_path(cr);
  rounded(cr, 234, 440, 40, 120, 10);
  paint(cr, grey, 4);
  for (int i = 0; i < 4; ++i) {
    cairo_move_to(cr, 244, 458 + i * 26);
    cairo_line_to(cr, 264, 458 + i * 26);
  }
  stroke(cr, dark(grey, 0.4), 5);
  cairo_new_path(cr);
  circle(cr, 292, 452, 22);
  paint_ball(cr, hex(0xffe066), 4);
  cairo_new_path(cr);
  cairo_arc(cr, 650, 560, 150, kPi * 1.02, kPi * 1.98);
  cairo_arc_negative(cr, 650, 560, 124, kPi * 1.98, kPi * 1.02);
  cairo_close_path(cr);
  paint(cr, hex(0xc93434), 5);
  tyre(cr, 650, 560, 126, 20);
  tyre(cr, 330, 608, 74, 14);

  wheat_rows(cr, rng, 722, 800, 44);
  butterfly(cr, 870, 600, 34, hex(0x7ac8ff), hex(0xffe066), 0.3);
  butterfly(cr, 150, 620, 30, hex(0xff8ac0), hex(0xfff2a8), -0.4);
}

void farm(cairo_t* cr, gen::Rng& rng) {
  vgrad_rect(cr, 0, 0, kWidth, 360, hex(0x58bdf5), hex(0xc4ecff));
  sun(cr, 920, 92, 52);
  cloud(cr, 560, 70, 100);
  cloud(cr, 760, 190, 70);
  cloud(cr, 200, 56, 70);
  bird_v(cr, 330, 90, 14, hex(0x4a4a6a));
  bird_v(cr, 365, 72, 11, hex(0x4a4a6a));
  bird_v(cr, 650, 160, 16, hex(0x4a4a6a));
  bird_v(cr, 690, 140, 12, hex(0x4a4a6a));

  // Far fields in stripes, a line of little trees.
  ground(cr, 300, 26, 800, 2.2, hex(0xa5de6c), hex(0x8ccf58), 4);
  cairo_new_path(cr);
  for (int x = -8; x <= kWidth + 8; x += 6) cairo_line_to(cr, x, 300 + 26 * std::sin(2 * kPi * x / 800 + 2.2));
  cairo_line_to(cr, kWidth + 8, 480);
  cairo_line_to(cr, -8, 480);
  cairo_close_path(cr);
  clipped(cr, [&] {
    for (int i = -12; i < 30; ++i) {
      cairo_new_path(cr);
      cairo_move_to(cr, 520 + i * 46, 270);
      cairo_line_to(cr, 520 + i * 46 + (i - 9) * 40, 470);
      stroke(cr, i % 3 == 0 ? hex(0xf2d95c) : hex(0x7fc24f), 10);
    }
  });
  for (int i = 0; i < 6; ++i) {
    double x = 520 + i * 90 + rng.range(-10, 10);
    round_tree(cr, x, 302 + 26 * std::sin(2 * kPi * x / 800 + 2.2), 46, hex(0x4fb34a), hex(0x8a5a3a));
  }

  // Barn and silo.
  cairo_new_path(cr);
  rounded(cr, 374, 200, 70, 260, 10);
  paint(cr, hex(0xb7c6dc), 4);
  cairo_new_path(cr);
  cairo_arc(cr, 409, 204, 37, kPi, 2 * kPi);
  cairo_close_path(cr);
  paint(cr, hex(0x8da2c2), 4);
  for (int i = 0; i < 4; ++i) {
    cairo_move_to(cr, 377, 250 + i * 52);
    cairo_line_to(cr, 441, 250 + i * 52);
  }
  stroke(cr, hex(0x8da2c2), 4);
  cairo_new_path(cr);
  rounded(cr, 84, 250, 272, 210, 6);
  paint(cr, hex(0xd8433b), 5);
  for (int i = 1; i < 8; ++i) {
    cairo_move_to(cr, 84 + i * 34, 254);
    cairo_line_to(cr, 84 + i * 34, 456);
  }
  stroke(cr, hex(0xb83636), 3);
  cairo_new_path(cr);
  poly(cr, {56, 266, 112, 186, 220, 136, 328, 186, 384, 266, 360, 276, 320, 206, 220, 162, 120, 206, 80, 276});
  paint(cr, hex(0x5d6478), 5);
  cairo_new_path(cr);
  poly(cr, {120, 206, 220, 162, 320, 206, 340, 252, 100, 252});
  fill(cr, hex(0xd8433b));
  cairo_new_path(cr);
  rounded(cr, 190, 196, 60, 50, 6);
  paint(cr, hex(0xfff3dc), 4);
  rounded(cr, 198, 204, 44, 34, 4);
  fill(cr, hex(0xf5c84a));
  cairo_new_path(cr);
  rounded(cr, 158, 330, 124, 130, 6);
  paint(cr, hex(0xfff3dc), 5);
  rounded(cr, 170, 342, 100, 118, 4);
  fill(cr, hex(0xc4393a));
  cairo_move_to(cr, 172, 344);
  cairo_line_to(cr, 268, 458);
  cairo_move_to(cr, 268, 344);
  cairo_line_to(cr, 172, 458);
  stroke(cr, hex(0xfff3dc), 10);
  cairo_new_path(cr);

  // Bushes and a tree behind the fence, the fence, then the grass.
  round_tree(cr, 930, 450, 150, hex(0x3fae4a), hex(0x8a5a3a));
  bush(cr, 470, 462, 90, hex(0x5cbf4a));
  bush(cr, 760, 462, 80, hex(0x4fb548));
  ground(cr, 470, 8, 1000, 0.3, hex(0x86d85c), hex(0x58b844), 4);
  fence(cr, -10, kWidth + 10, 500, 64, hex(0xfff3dc));
  grass_field(cr, rng, -10, kWidth + 10, 505, 760, 55, hex(0x58b844));
  const Col petals[] = {hex(0xffffff), hex(0xffd23f), hex(0xff7eb0), hex(0xb58cff)};
  for (int i = 0; i < 22; ++i) {
    double x = rng.range(10, kWidth - 10), y = rng.range(515, 760);
    flower(cr, x, y, rng.range(9, 14), petals[i % 4], i % 4 == 1 ? hex(0xff8a3a) : hex(0xffd23f));
  }

  sheep(cr, 400, 604);
  cow(cr, 660, 548);
  pig(cr, 170, 660);
  hen(cr, 905, 688);
  chick(cr, 775, 712, 1.0);
  chick(cr, 690, 738, 0.85);
}

}  // namespace pk::pics
