// Animals outdoors: the elephant in the jungle, the lion on the plain, ducks on the pond, birds in
// the blossom tree.
#include <array>
#include <cmath>

#include "tools/picture_kit.hpp"

namespace pk::pics {

namespace {

// A broad jungle leaf on a stalk from (x, y), pointing at angle, length len.
void jungle_leaf(cairo_t* cr, double x, double y, double len, double angle, Col c) {
  at(cr, x, y, len, angle, [&] {
    double line = 3.5 / len;
    cairo_new_path(cr);
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, 0.3, 0);
    stroke(cr, dark(c, 0.2), 10 / len);
    cairo_new_path(cr);
    cairo_move_to(cr, 0.25, 0);
    cairo_curve_to(cr, 0.35, -0.4, 0.85, -0.38, 1.0, 0);
    cairo_curve_to(cr, 0.85, 0.38, 0.35, 0.4, 0.25, 0);
    cairo_close_path(cr);
    paint_ball(cr, c, line);
    cairo_move_to(cr, 0.27, 0);
    cairo_line_to(cr, 0.95, 0);
    for (int i = 1; i < 5; ++i) {
      double t = 0.27 + i * 0.14;
      cairo_move_to(cr, t, 0);
      cairo_line_to(cr, t + 0.12, -0.2);
      cairo_move_to(cr, t, 0);
      cairo_line_to(cr, t + 0.12, 0.2);
    }
    stroke(cr, light(c, 0.35), line);
    cairo_new_path(cr);
  });
}

void vine(cairo_t* cr, gen::Rng& rng, double x, double len, Col c) {
  cairo_new_path(cr);
  cairo_move_to(cr, x, -10);
  cairo_curve_to(cr, x + 30, len * 0.3, x - 30, len * 0.6, x + 10, len);
  stroke(cr, hex(0x3f7a3a), 6);
  cairo_new_path(cr);
  for (int i = 1; i < 8; ++i) {
    double t = i / 8.0, u = 1 - t;
    double vx = u * u * u * x + 3 * u * u * t * (x + 30) + 3 * u * t * t * (x - 30) + t * t * t * (x + 10);
    double vy = u * u * u * -10 + 3 * u * u * t * len * 0.3 + 3 * u * t * t * len * 0.6 + t * t * t * len;
    leaf(cr, vx + (i % 2 ? 14 : -14), vy, 14 + rng.range(0, 4), i % 2 ? 0.6 : kPi - 0.6, c);
  }
}

void giraffe(cairo_t* cr, double x, double y, double s) {
  at(cr, x, y, s, 0, [&] {
    const Col skin = hex(0xf7c84a), spot = hex(0xc9782e);
    double line = 3 / s;
    for (double lx : {-0.45, -0.25, 0.3, 0.5}) {
      cairo_new_path(cr);
      rounded(cr, lx - 0.07, 0, 0.14, 0.9, 0.06);
      paint(cr, skin, line);
    }
    cairo_new_path(cr);
    poly(cr, {0.3, -0.1, 0.55, -1.5, 0.8, -1.5, 0.62, 0.1});
    paint(cr, skin, line);
    oval(cr, 0, 0.05, 0.7, 0.32);
    paint_ball(cr, skin, line);
    oval(cr, 0.78, -1.6, 0.3, 0.18, 0.3);
    paint_ball(cr, skin, line);
    const double spots[] = {-0.4, 0.0, 0.0, -0.05, 0.35, 0.05, -0.15, 0.15, 0.55, -0.6, 0.65, -1.1};
    for (int i = 0; i < 6; ++i) circle(cr, spots[2 * i], spots[2 * i + 1], 0.1);
    fill(cr, spot);
    cairo_move_to(cr, 0.68, -1.75);
    cairo_line_to(cr, 0.66, -1.95);
    cairo_move_to(cr, 0.82, -1.75);
    cairo_line_to(cr, 0.84, -1.95);
    stroke(cr, spot, 0.07);
    cairo_new_path(cr);
    eye(cr, 0.82, -1.64, 0.06);
  });
}

void acacia(cairo_t* cr, double x, double y, double s, Col c) {
  cairo_new_path(cr);
  cairo_move_to(cr, x - s * 0.06, y);
  cairo_curve_to(cr, x - s * 0.04, y - s * 0.4, x - s * 0.2, y - s * 0.6, x - s * 0.3, y - s * 0.8);
  cairo_move_to(cr, x, y - s * 0.4);
  cairo_curve_to(cr, x + s * 0.1, y - s * 0.6, x + s * 0.2, y - s * 0.7, x + s * 0.3, y - s * 0.82);
  thick_line(cr, hex(0x8a5a3a), s * 0.07, 2.5);
  const double xyr[] = {x - s * 0.35, y - s * 0.86, s * 0.16, x - s * 0.1, y - s * 0.92, s * 0.2,
                        x + s * 0.2,  y - s * 0.9,  s * 0.2,  x + s * 0.45, y - s * 0.84, s * 0.15};
  cairo_save(cr);
  cairo_translate(cr, 0, y - s * 0.88);
  cairo_scale(cr, 1, 0.45);
  cairo_translate(cr, 0, -(y - s * 0.88));
  cluster(cr, xyr, 4, c, 2.5 / 0.45 * 0.6);
  cairo_restore(cr);
}

void duck(cairo_t* cr, double x, double y, double s, Col body, bool ripple) {
  at(cr, x, y, s, 0, [&] {
    double line = 3.5 / s;
    if (ripple) {
      cairo_new_path(cr);
      oval(cr, 0.1, 0.42, 1.25, 0.2);
      stroke(cr, hex(0xc8f4ee), line * 1.5);
      cairo_new_path(cr);
    }
    cairo_new_path(cr);
    cairo_move_to(cr, -1.0, -0.1);
    cairo_curve_to(cr, -1.1, 0.4, -0.4, 0.5, 0.2, 0.48);
    cairo_curve_to(cr, 0.8, 0.46, 1.0, 0.2, 0.9, -0.1);
    cairo_curve_to(cr, 0.6, 0.0, 0.0, -0.05, -0.6, -0.2);
    cairo_line_to(cr, -1.15, -0.45);
    cairo_close_path(cr);
    paint_ball(cr, body, line);
    cairo_move_to(cr, -0.4, 0.05);
    cairo_curve_to(cr, -0.2, 0.35, 0.2, 0.3, 0.35, 0.05);
    stroke(cr, dark(body, 0.25), line);
    cairo_new_path(cr);
    circle(cr, 0.55, -0.45, 0.38);
    paint_ball(cr, body, line);
    cairo_move_to(cr, 0.85, -0.48);
    cairo_curve_to(cr, 1.05, -0.52, 1.25, -0.45, 1.3, -0.36);
    cairo_curve_to(cr, 1.2, -0.28, 1.0, -0.28, 0.85, -0.32);
    cairo_close_path(cr);
    paint(cr, hex(0xff9a2a), line);
    eye(cr, 0.62, -0.55, 0.09);
    cheek(cr, 0.72, -0.38, 0.06);
  });
}

void lily_pad(cairo_t* cr, double x, double y, double r, bool bloom) {
  cairo_new_path(cr);
  cairo_move_to(cr, x, y);
  cairo_arc(cr, x, y, r, 0.15, 2 * kPi - 0.15);
  cairo_close_path(cr);
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, 1, 0.45);
  cairo_translate(cr, -x, -y);
  cairo_new_path(cr);
  cairo_move_to(cr, x, y);
  cairo_arc(cr, x, y, r, 0.25, 2 * kPi - 0.25);
  cairo_close_path(cr);
  cairo_restore(cr);
  paint(cr, hex(0x4fb848), 3);
  if (!bloom) return;
  for (int i = 0; i < 7; ++i) {
    double a = kPi + i * kPi / 6;
    cairo_new_path(cr);
    oval(cr, x + r * 0.28 * std::cos(a), y - r * 0.12 + r * 0.18 * std::sin(a), r * 0.22, r * 0.1, a);
    paint_ball(cr, hex(0xff9ec4), 2.5);
  }
  cairo_new_path(cr);
  circle(cr, x, y - r * 0.12, r * 0.1);
  paint_ball(cr, hex(0xffd23f), 2);
}

void frog(cairo_t* cr, double x, double y, double s) {
  at(cr, x, y, s, 0, [&] {
    const Col skin = hex(0x6fd05a);
    double line = 3 / s;
    cairo_new_path(cr);
    oval(cr, 0, 0, 0.9, 0.55);
    paint_ball(cr, skin, line);
    for (double side = -1; side <= 1; side += 2) {
      cairo_new_path(cr);
      circle(cr, side * 0.45, -0.5, 0.3);
      paint_ball(cr, skin, line);
      circle(cr, side * 0.45, -0.5, 0.2);
      fill(cr, kSnow);
      eye(cr, side * 0.45, -0.48, 0.14);
      oval(cr, side * 0.7, 0.42, 0.3, 0.12);
      paint(cr, skin, line);
    }
    smile(cr, 0, 0.1, 0.5, line);
    cheek(cr, -0.5, 0.05, 0.1);
    cheek(cr, 0.5, 0.05, 0.1);
  });
}

void reed(cairo_t* cr, double x, double y, double h) {
  cairo_new_path(cr);
  cairo_move_to(cr, x, y);
  cairo_curve_to(cr, x + 4, y - h * 0.5, x - 4, y - h * 0.8, x + 2, y - h);
  stroke(cr, hex(0x3f8a3a), 5);
  cairo_new_path(cr);
  rounded(cr, x - 7, y - h * 0.92, 16, h * 0.28, 8);
  paint(cr, hex(0x9a5a32), 3);
}

void round_bird(cairo_t* cr, double x, double y, double s, Col body, Col belly, bool flip) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, flip ? -s : s, s);
  double line = 3 / s;
  cairo_new_path(cr);
  poly(cr, {-0.7, 0.1, -1.25, -0.1, -1.2, 0.3});
  paint(cr, dark(body, 0.1), line);
  oval(cr, 0, 0, 0.8, 0.72);
  paint_ball(cr, body, line);
  oval(cr, 0.18, 0.22, 0.48, 0.42);
  fill(cr, belly);
  oval(cr, -0.25, 0.05, 0.4, 0.26, 0.4);
  paint(cr, dark(body, 0.12), line);
  poly(cr, {0.72, -0.2, 1.05, -0.08, 0.72, 0.05});
  paint(cr, hex(0xffb02a), line);
  eye(cr, 0.38, -0.22, 0.12);
  cheek(cr, 0.5, 0.02, 0.08);
  cairo_move_to(cr, -0.1, 0.7);
  cairo_line_to(cr, -0.1, 0.88);
  cairo_move_to(cr, 0.15, 0.7);
  cairo_line_to(cr, 0.15, 0.88);
  stroke(cr, hex(0xf08a20), 0.08);
  cairo_new_path(cr);
  cairo_restore(cr);
}

void blossom(cairo_t* cr, double x, double y, double r) {
  for (int i = 0; i < 5; ++i) {
    double a = -kPi / 2 + i * 2 * kPi / 5;
    cairo_new_path(cr);
    circle(cr, x + r * 0.55 * std::cos(a), y + r * 0.55 * std::sin(a), r * 0.45);
    fill(cr, hex(0xfff0f5));
  }
  cairo_new_path(cr);
  circle(cr, x, y, r * 0.25);
  fill(cr, hex(0xff6f9a));
}
}  // namespace

void elephant(cairo_t* cr, gen::Rng& rng) {
  vgrad_rect(cr, 0, 0, kWidth, 560, hex(0x2f9a64), hex(0x9be0a0));
  radial_glow(cr, 512, 250, 420, hex(0xf4ffc8), 0.7);
  for (int i = 0; i < 9; ++i) {
    cairo_new_path(cr);
    double x = 380 + i * 40;
    poly(cr, {x, 0, x + 26, 0, x + 160 + i * 8, 560, x + 90 + i * 8, 560});
    fill(cr, hex(0xf8ffd8), 0.08);
  }
  const Col greens[] = {hex(0x2e8b4a), hex(0x3fae55), hex(0x58c05a), hex(0x257a44)};
  for (int i = 0; i < 5; ++i) round_tree(cr, 60 + i * 230, 520, 120 + (i % 2) * 40, greens[i % 4], hex(0x7a5034));
  ground(cr, 500, 12, 900, 0.2, hex(0x7cc850), hex(0x5aaa44), 4);
  // Pool in front.
  cairo_new_path(cr);
  oval(cr, 512, 700, 440, 70);
  paint(cr, hex(0x4ab8e8), 5);
  for (int i = 0; i < 5; ++i) {
    cairo_new_path(cr);
    oval(cr, 512, 700, 120 + i * 70, 18 + i * 10);
    stroke(cr, hex(0x9ee2ff), 3);
  }
  cairo_new_path(cr);
  grass_field(cr, rng, -10, 120, 560, 768, 10, hex(0x5aaa44));
  grass_field(cr, rng, 900, kWidth + 10, 560, 768, 10, hex(0x5aaa44));
  // Big leaves from the sides and vines from the top.
  for (int i = 0; i < 6; ++i) {
    jungle_leaf(cr, -20, 60 + i * 110, 210 + (i % 2) * 40, -0.5 + i * 0.2, greens[i % 4]);
    jungle_leaf(cr, kWidth + 20, 80 + i * 110, 200 + ((i + 1) % 2) * 40, kPi + 0.5 - i * 0.2, greens[(i + 2) % 4]);
  }
  vine(cr, rng, 250, 300, hex(0x4fb848));
  vine(cr, rng, 800, 240, hex(0x3fae55));
  vine(cr, rng, 420, 120, hex(0x4fb848));
  for (int i = 0; i < 6; ++i) flower(cr, rng.range(40, 180) + (i % 2) * 820, rng.range(580, 740), 18, hex(0xff4f6d));

  // The elephant, facing us, trunk up and spraying.
  const double cx = 500;
  const Col skin = hex(0x9fb0d2), ear_in = hex(0xffb8cb);
  for (int i = 0; i < 34; ++i) {
    double t = i / 33.0;
    cairo_new_path(cr);
    circle(cr, cx + 196 + t * 290 + rng.range(-16, 16), 250 - 170 * std::sin(t * kPi * 0.8) + t * 60 + rng.range(-14, 14),
           rng.range(5, 11));
    paint_ball(cr, hex(0x9fe0ff), 2);
  }
  cairo_new_path(cr);
  oval(cr, cx, 570, 170, 130);
  paint_ball(cr, skin, 5);
  for (double side = -1; side <= 1; side += 2) {
    cairo_new_path(cr);
    rounded(cr, cx + side * 80 - 42, 560, 84, 150, 36);
    paint(cr, skin, 5);
    for (int k = -1; k <= 1; ++k) {
      cairo_new_path(cr);
      oval(cr, cx + side * 80 + k * 22, 696, 10, 8);
      paint(cr, hex(0xfaf2e8), 2.5);
    }
  }
  for (double side = -1; side <= 1; side += 2) {
    cairo_new_path(cr);
    oval(cr, cx + side * 176, 320, 132, 150, side * 0.2);
    paint_ball(cr, skin, 5);
    oval(cr, cx + side * 184, 326, 92, 110, side * 0.2);
    fill(cr, ear_in);
  }
  cairo_new_path(cr);
  oval(cr, cx, 310, 146, 138);
  paint_ball(cr, skin, 5);
  cairo_new_path(cr);
  cairo_move_to(cr, cx, 380);
  cairo_curve_to(cr, cx + 10, 480, cx + 130, 480, cx + 170, 380);
  cairo_curve_to(cr, cx + 185, 340, cx + 190, 300, cx + 190, 280);
  thick_line(cr, skin, 58, 5);
  cairo_new_path(cr);
  oval(cr, cx + 190, 270, 32, 16, -0.1);
  paint(cr, skin, 4);
  for (int i = 0; i < 5; ++i) {
    double t = 0.45 + i * 0.1, u = 1 - t;
    double px = u * u * u * cx + 3 * u * u * t * (cx + 10) + 3 * u * t * t * (cx + 130) + t * t * t * (cx + 170);
    double py = u * u * u * 380 + 3 * u * u * t * 480 + 3 * u * t * t * 480 + t * t * t * 380;
    cairo_move_to(cr, px - 14, py - 18);
    cairo_line_to(cr, px + 10, py + 10);
  }
  stroke(cr, dark(skin, 0.3), 3.5);
  cairo_new_path(cr);
  eye(cr, cx - 58, 290, 26);
  eye(cr, cx + 58, 290, 26);
  cheek(cr, cx - 96, 350, 22);
  cheek(cr, cx + 96, 350, 22);
  cairo_new_path(cr);
  cairo_arc(cr, cx - 48, 392, 22, 0.2 * kPi, 0.8 * kPi);
  stroke(cr, kInk, 4);
  cairo_new_path(cr);
  cairo_move_to(cr, cx - 10, 174);
  cairo_line_to(cr, cx - 18, 150);
  cairo_move_to(cr, cx + 4, 172);
  cairo_line_to(cr, cx + 4, 146);
  cairo_move_to(cr, cx + 18, 174);
  cairo_line_to(cr, cx + 26, 150);
  stroke(cr, dark(skin, 0.4), 4);
  cairo_new_path(cr);
  butterfly(cr, 190, 420, 36, hex(0xffd23f), hex(0xff6f61), 0.3);
  butterfly(cr, 860, 520, 30, hex(0x6ac8ff), hex(0xfff2a8), -0.2);
}

void lion(cairo_t* cr, gen::Rng& rng) {
  vgrad_rect(cr, 0, 0, kWidth, 470, hex(0xffb45a), hex(0xfff0b0));
  radial_glow(cr, 512, 420, 360, hex(0xfff8d0), 0.8);
  cairo_new_path(cr);
  circle(cr, 150, 150, 70);
  fill(cr, hex(0xfff4c0));
  for (int i = 0; i < 3; ++i) bird_v(cr, 700 + i * 50, 100 + (i % 2) * 26, 18, hex(0x8a4a3a));
  cloud(cr, 330, 54, 64, hex(0xfff0d8));
  cloud(cr, 940, 60, 70, hex(0xfff0d8));
  ground(cr, 420, 16, 1100, 0.4, hex(0xf0c858), hex(0xe0a840), 4);
  acacia(cr, 130, 470, 300, hex(0x7ea446));
  acacia(cr, 900, 440, 240, hex(0x8ab04e));
  giraffe(cr, 800, 360, 60);
  ground(cr, 480, 8, 1400, 1.0, hex(0xf5c24a), hex(0xd99a38), 4);
  for (int i = 0; i < 90; ++i) {
    double x = rng.range(-10, kWidth + 10), y = rng.range(500, 768);
    double depth = (y - 480) / 288;
    cairo_new_path(cr);
    for (int k = -2; k <= 2; ++k) {
      cairo_move_to(cr, x + k * 4, y);
      cairo_line_to(cr, x + k * (10 + 8 * depth), y - (22 + 40 * depth) * (1 - std::abs(k) * 0.18));
    }
    stroke(cr, i % 3 ? hex(0xc98a2e) : hex(0xffd77a), 3 + depth * 2);
  }

  // The lion, sitting.
  const double cx = 512;
  const Col coat = hex(0xf6bc4e), face = hex(0xf9cb64), mane = hex(0xd9702a), cream = hex(0xfff0d0);
  shadow(cr, cx, 700, 220, 28, 0.2);
  cairo_new_path(cr);
  cairo_move_to(cr, cx + 120, 640);
  cairo_curve_to(cr, cx + 250, 660, cx + 270, 560, cx + 250, 500);
  thick_line(cr, coat, 22, 5);
  cairo_new_path(cr);
  oval(cr, cx + 250, 488, 26, 34, 0.2);
  paint_ball(cr, mane, 4);
  cairo_new_path(cr);
  oval(cr, cx, 560, 146, 138);
  paint_ball(cr, coat, 5);
  oval(cr, cx, 590, 80, 96);
  fill(cr, cream);
  for (double side = -1; side <= 1; side += 2) {
    cairo_new_path(cr);
    oval(cr, cx + side * 112, 636, 66, 52);
    paint_ball(cr, coat, 5);
    rounded(cr, cx + side * 52 - 25, 560, 50, 116, 24);
    paint(cr, coat, 5);
    oval(cr, cx + side * 52, 672, 44, 26);
    paint_ball(cr, light(coat, 0.3), 4);
    cairo_move_to(cr, cx + side * 52 - 12, 660);
    cairo_line_to(cr, cx + side * 52 - 12, 680);
    cairo_move_to(cr, cx + side * 52 + 12, 660);
    cairo_line_to(cr, cx + side * 52 + 12, 680);
    stroke(cr, ink_of(coat), 3);
    cairo_new_path(cr);
  }
  double mx[36];
  for (int i = 0; i < 12; ++i) {
    double a = i * 2 * kPi / 12;
    mx[3 * i] = cx + 160 * std::cos(a);
    mx[3 * i + 1] = 320 + 150 * std::sin(a);
    mx[3 * i + 2] = 64;
  }
  cluster(cr, mx, 12, mane, 5);
  for (int i = 0; i < 12; ++i) {
    double a = i * 2 * kPi / 12 + kPi / 12;
    mx[3 * i] = cx + 126 * std::cos(a);
    mx[3 * i + 1] = 322 + 120 * std::sin(a);
    mx[3 * i + 2] = 50;
  }
  cluster(cr, mx, 12, hex(0xeb8a34), 0);
  for (double side = -1; side <= 1; side += 2) {
    cairo_new_path(cr);
    circle(cr, cx + side * 96, 222, 34);
    paint_ball(cr, face, 4);
    circle(cr, cx + side * 96, 224, 18);
    fill(cr, hex(0xffb0a0));
  }
  cairo_new_path(cr);
  oval(cr, cx, 330, 124, 116);
  paint_ball(cr, face, 5);
  oval(cr, cx - 30, 386, 42, 32);
  oval(cr, cx + 30, 386, 42, 32);
  oval(cr, cx, 416, 30, 20);
  fill(cr, cream);
  for (double side = -1; side <= 1; side += 2) {
    for (int k = 0; k < 3; ++k) circle(cr, cx + side * (24 + k * 14), 384 + (k % 2) * 10, 3.5);
    fill(cr, hex(0xb8864a));
  }
  eye(cr, cx - 48, 312, 24);
  eye(cr, cx + 48, 312, 24);
  cheek(cr, cx - 86, 362, 18);
  cheek(cr, cx + 86, 362, 18);
  cairo_new_path(cr);
  poly(cr, {cx - 20, 358, cx + 20, 358, cx, 378});
  paint(cr, hex(0x9a4a3a), 6);
  cairo_move_to(cr, cx, 378);
  cairo_line_to(cr, cx, 392);
  cairo_new_sub_path(cr);
  cairo_arc(cr, cx - 14, 392, 14, 0, kPi);
  cairo_new_sub_path(cr);
  cairo_arc(cr, cx + 14, 392, 14, 0, kPi);
  stroke(cr, kInk, 4);
  cairo_new_path(cr);
  for (int i = 0; i < 4; ++i)
    butterfly(cr, rng.range(60, 400) + (i % 2) * 560, rng.range(520, 720), 26, i % 2 ? hex(0xff8ac0) : hex(0x7ac8ff),
              hex(0xfff2a8), rng.range(-0.4, 0.4));
}

void ducks(cairo_t* cr, gen::Rng& rng) {
  vgrad_rect(cr, 0, 0, kWidth, 300, hex(0x7ad2ff), hex(0xe0f8ff));
  cloud(cr, 240, 70, 90);
  cloud(cr, 780, 60, 70);
  ground(cr, 250, 20, 700, 1.0, hex(0x8ed66a), hex(0x6cc050), 4);
  for (int i = 0; i < 8; ++i) bush(cr, 40 + i * 140, 290, 100, i % 2 ? hex(0x4fb548) : hex(0x3fa44a));
  round_tree(cr, 880, 300, 150, hex(0x4aa84a), hex(0x8a5a3a));
  round_tree(cr, 120, 290, 120, hex(0x5cba4a), hex(0x8a5a3a));
  // The pond.
  cairo_new_path(cr);
  cairo_move_to(cr, -20, 340);
  cairo_curve_to(cr, 300, 300, 700, 300, kWidth + 20, 340);
  cairo_line_to(cr, kWidth + 20, 700);
  cairo_curve_to(cr, 700, 740, 300, 740, -20, 700);
  cairo_close_path(cr);
  cairo_save(cr);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, 310, 0, 720);
  cairo_pattern_add_color_stop_rgb(g, 0, 0.45, 0.85, 0.8);
  cairo_pattern_add_color_stop_rgb(g, 1, 0.16, 0.58, 0.6);
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  cairo_restore(cr);
  stroke(cr, hex(0x3a7a5a), 5);
  cairo_new_path(cr);
  for (int i = 0; i < 14; ++i) {
    double x = rng.range(40, kWidth - 40), y = rng.range(360, 680);
    cairo_new_path(cr);
    oval(cr, x, y, rng.range(30, 60), 6);
    fill(cr, hex(0xc8f4ee), 0.7);
  }
  lily_pad(cr, 150, 440, 60, true);
  lily_pad(cr, 880, 420, 54, false);
  lily_pad(cr, 820, 620, 70, true);
  lily_pad(cr, 300, 640, 50, false);
  lily_pad(cr, 560, 390, 40, false);
  lily_pad(cr, 960, 580, 46, true);
  frog(cr, 880, 398, 36);
  // Reeds along the edges.
  for (int i = 0; i < 6; ++i) reed(cr, 20 + i * 22, 420 - (i % 2) * 10, 150 + (i % 3) * 30);
  for (int i = 0; i < 5; ++i) reed(cr, 930 + i * 22, 470 - (i % 2) * 10, 140 + (i % 3) * 30);
  // Mother duck and her ducklings.
  duck(cr, 600, 520, 110, hex(0xfbf6ea), true);
  duck(cr, 420, 560, 54, hex(0xffd93a), true);
  duck(cr, 300, 590, 50, hex(0xffd93a), true);
  duck(cr, 190, 610, 46, hex(0xffd93a), true);
  // Grassy bank with flowers at the bottom.
  cairo_new_path(cr);
  cairo_move_to(cr, -20, 700);
  cairo_curve_to(cr, 300, 740, 700, 740, kWidth + 20, 700);
  cairo_line_to(cr, kWidth + 20, 780);
  cairo_line_to(cr, -20, 780);
  cairo_close_path(cr);
  paint(cr, hex(0x7ccf56), 4);
  grass_field(cr, rng, -10, kWidth + 10, 730, 768, 24, hex(0x5aaa44));
  const Col cols[] = {hex(0xff6f91), hex(0xffd23f), hex(0xfff6fa), hex(0xb58cff)};
  for (int i = 0; i < 14; ++i) flower(cr, rng.range(10, kWidth - 10), rng.range(735, 765), 12, cols[i % 4]);
  for (int i = 0; i < 5; ++i) {
    cairo_new_path(cr);
    oval(cr, 60 + i * 220 + rng.range(-20, 20), 716 + rng.range(-6, 6), 30, 16);
    paint_ball(cr, hex(0xc4bcd0), 3);
  }
  // A dragonfly.
  cloud(cr, 520, 110, 60);
  bird_v(cr, 420, 60, 14, hex(0x4a5a7a));
  bird_v(cr, 455, 80, 11, hex(0x4a5a7a));
  at(cr, 640, 190, 1, kPi / 2 + 0.15, [&] {
    cairo_new_path(cr);
    oval(cr, -10, -16, 34, 10, -0.4);
    oval(cr, 30, -16, 34, 10, 0.4);
    oval(cr, -6, 4, 28, 8, 0.3);
    oval(cr, 26, 4, 28, 8, -0.3);
    set(cr, hex(0xe0f6ff), 0.8);
    cairo_fill_preserve(cr);
    stroke(cr, hex(0x5a8aaa), 2);
    cairo_new_path(cr);
    rounded(cr, 6, -30, 10, 80, 5);
    paint(cr, hex(0x3d7bf0), 2.5);
    circle(cr, 11, -34, 9);
    paint_ball(cr, hex(0x3d7bf0), 2.5);
  });
}

void birds(cairo_t* cr, gen::Rng& rng) {
  vgrad_rect(cr, 0, 0, kWidth, kHeight, hex(0x8fd8ff), hex(0xe6f7ff));
  sun(cr, 930, 70, 46, false);
  cloud(cr, 90, 50, 80);
  cloud(cr, 120, 520, 90);
  cloud(cr, 930, 480, 80);
  ground(cr, 640, 14, 900, 0.8, hex(0x8ed66a), hex(0x66bb4e), 4);
  // Trunk and branches.
  const Col bark = hex(0x9a6238);
  cairo_new_path(cr);
  cairo_move_to(cr, 440, 780);
  cairo_curve_to(cr, 470, 640, 470, 520, 450, 380);
  cairo_line_to(cr, 570, 380);
  cairo_curve_to(cr, 550, 520, 560, 640, 600, 780);
  cairo_close_path(cr);
  paint(cr, bark, 5);
  const double branches[][6] = {{470, 420, 330, 330, 150, 320}, {550, 420, 700, 330, 890, 330},
                                {500, 390, 470, 260, 380, 150}, {530, 390, 580, 250, 660, 160}};
  for (const auto& b : branches) {
    cairo_new_path(cr);
    cairo_move_to(cr, b[0], b[1]);
    cairo_curve_to(cr, b[2], b[3], b[2], b[3], b[4], b[5]);
    thick_line(cr, bark, 26, 4);
  }
  // Blossom canopy: pink puffs dotted with flowers.
  double puffs[60];
  const double centres[][2] = {{150, 260}, {300, 200}, {460, 130}, {620, 120}, {780, 190}, {900, 270},
                               {250, 330}, {420, 260}, {600, 250}, {770, 320}, {520, 60},  {340, 90},
                               {700, 70},  {60, 200},  {980, 230}, {200, 130}, {820, 120}, {960, 360},
                               {40, 340},  {520, 190}};
  for (int i = 0; i < 20; ++i) {
    puffs[3 * i] = centres[i][0];
    puffs[3 * i + 1] = centres[i][1];
    puffs[3 * i + 2] = 100 + (i % 3) * 14;
  }
  cluster(cr, puffs, 20, hex(0xffa8c8), 5);
  for (int i = 0; i < 20; ++i) {
    cairo_new_path(cr);
    circle(cr, centres[i][0] - 20, centres[i][1] - 24, 58);
    fill(cr, hex(0xffc4da), 0.6);
  }
  for (int i = 0; i < 20; ++i) puffs[3 * i + 2] -= 6;
  for (int i = 0; i < 140; ++i) {
    double x = rng.range(0, kWidth), y = rng.range(0, 440);
    bool inside = false;
    for (int k = 0; k < 20 && !inside; ++k)
      inside = std::hypot(x - puffs[3 * k], y - puffs[3 * k + 1]) < puffs[3 * k + 2];
    if (inside) blossom(cr, x, y, rng.range(9, 15));
  }
  // Branches showing through the blossom, with the birds on them.
  for (const auto& b : {std::array<double, 4>{150, 320, 330, 340}, std::array<double, 4>{890, 330, 720, 340}}) {
    cairo_new_path(cr);
    cairo_move_to(cr, b[2], b[3]);
    cairo_line_to(cr, b[0], b[1]);
    thick_line(cr, bark, 20, 4);
  }
  round_bird(cr, 240, 284, 52, hex(0x4aa8ff), hex(0xd8f0ff), false);
  round_bird(cr, 820, 290, 50, hex(0xff6f61), hex(0xffe0c8), true);
  round_bird(cr, 660, 470, 40, hex(0xffc83a), hex(0xfff2c8), true);
  // Nest with chicks.
  cairo_new_path(cr);
  circle(cr, 380, 396, 26);
  circle(cr, 420, 390, 26);
  paint_ball(cr, hex(0xffd93a), 3);
  eye(cr, 372, 390, 6);
  eye(cr, 428, 384, 6);
  poly(cr, {362, 402, 350, 408, 362, 412});
  poly(cr, {436, 396, 448, 402, 436, 406});
  fill(cr, hex(0xff9a2a));
  cairo_new_path(cr);
  cairo_move_to(cr, 330, 400);
  cairo_curve_to(cr, 340, 460, 460, 460, 470, 400);
  cairo_close_path(cr);
  paint(cr, hex(0xb07a42), 4);
  for (int i = 0; i < 5; ++i) {
    cairo_move_to(cr, 336 + i * 6, 410 + i * 8);
    cairo_line_to(cr, 460 - i * 6, 410 + i * 7);
  }
  stroke(cr, hex(0x8a5a32), 3);
  cairo_new_path(cr);
  // Petals drifting down and dotted over the grass.
  for (int i = 0; i < 30; ++i) {
    cairo_new_path(cr);
    oval(cr, rng.range(0, kWidth), rng.range(440, 760), 8, 5, rng.range(0, kPi));
    fill(cr, hex(0xff9ec0));
  }
  grass_field(cr, rng, -10, kWidth + 10, 660, 768, 36, hex(0x66bb4e));
  const Col cols[] = {hex(0xfff6fa), hex(0xffd23f), hex(0xff6f91)};
  for (int i = 0; i < 18; ++i) {
    double x = rng.range(10, kWidth - 10);
    if (std::fabs(x - 520) < 90) continue;
    flower(cr, x, rng.range(670, 760), 13, cols[i % 3]);
  }
  round_bird(cr, 230, 700, 34, hex(0x8a6ae0), hex(0xeee0ff), false);
  butterfly(cr, 820, 600, 32, hex(0xffd23f), hex(0xff8a3a), 0.2);
}

}  // namespace pk::pics
