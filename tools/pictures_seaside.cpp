// Seaside pictures: the underwater scene, the beach with a sandcastle, the lighthouse at sunset.
#include <cmath>

#include "tools/picture_kit.hpp"

namespace pk::pics {

namespace {

void seaweed(cairo_t* cr, double x, double y, double h, double phase, Col c) {
  cairo_new_path(cr);
  cairo_move_to(cr, x, y);
  for (int i = 1; i <= 12; ++i) {
    double t = i / 12.0;
    cairo_line_to(cr, x + 22 * std::sin(phase + t * 7), y - h * t);
  }
  thick_line(cr, c, 16, 3);
}

void coral(cairo_t* cr, double x, double y, double s, Col c) {
  cairo_new_path(cr);
  cairo_move_to(cr, x, y);
  cairo_line_to(cr, x, y - s * 0.5);
  cairo_line_to(cr, x - s * 0.3, y - s * 0.85);
  cairo_move_to(cr, x, y - s * 0.5);
  cairo_line_to(cr, x + s * 0.25, y - s * 0.95);
  cairo_move_to(cr, x, y - s * 0.3);
  cairo_line_to(cr, x - s * 0.4, y - s * 0.45);
  cairo_line_to(cr, x - s * 0.5, y - s * 0.6);
  cairo_move_to(cr, x + s * 0.12, y - s * 0.7);
  cairo_line_to(cr, x + s * 0.45, y - s * 0.7);
  thick_line(cr, c, s * 0.16, 3);
  const double tips[] = {-0.3, -0.85, 0.25, -0.95, -0.5, -0.6, 0.45, -0.7};
  for (int i = 0; i < 4; ++i) circle(cr, x + tips[2 * i] * s, y + tips[2 * i + 1] * s, s * 0.1);
  paint_ball(cr, c, 3);
}

void starfish(cairo_t* cr, double x, double y, double r, Col c, double angle) {
  cairo_new_path(cr);
  star_path(cr, x, y, r, 5, 0.45, angle);
  cairo_save(cr);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  stroke(cr, ink_of(c), r * 0.42);
  stroke(cr, c, r * 0.3);
  paint_ball(cr, c, 0);
  cairo_restore(cr);
  for (int i = 0; i < 5; ++i) {
    double a = -kPi / 2 + angle + i * 2 * kPi / 5;
    circle(cr, x + r * 0.5 * std::cos(a), y + r * 0.5 * std::sin(a), r * 0.07);
  }
  fill(cr, light(c, 0.5));
  eye(cr, x - r * 0.14, y - r * 0.04, r * 0.09);
  eye(cr, x + r * 0.14, y - r * 0.04, r * 0.09);
  smile(cr, x, y + r * 0.14, r * 0.14, 2.5);
}

void shell(cairo_t* cr, double x, double y, double s, Col c) {
  cairo_new_path(cr);
  cairo_move_to(cr, x - s * 0.18, y + s * 0.45);
  cairo_curve_to(cr, x - s * 0.9, y - s * 0.1, x - s * 0.4, y - s * 0.7, x, y - s * 0.6);
  cairo_curve_to(cr, x + s * 0.4, y - s * 0.7, x + s * 0.9, y - s * 0.1, x + s * 0.18, y + s * 0.45);
  cairo_close_path(cr);
  paint_ball(cr, c, 2.5);
  for (int i = -2; i <= 2; ++i) {
    cairo_move_to(cr, x, y + s * 0.4);
    cairo_line_to(cr, x + i * s * 0.22, y - s * 0.5 + std::abs(i) * s * 0.08);
  }
  stroke(cr, dark(c, 0.25), 2);
  cairo_new_path(cr);
}

void crab(cairo_t* cr, double x, double y, double s) {
  at(cr, x, y, s, 0, [&] {
    const Col red = hex(0xf0553a);
    double line = 3 / s;
    cairo_new_path(cr);
    for (double side = -1; side <= 1; side += 2)
      for (int k = 0; k < 3; ++k) {
        cairo_move_to(cr, side * 0.5, 0.1 + k * 0.12);
        cairo_line_to(cr, side * 0.95, 0.3 + k * 0.14);
      }
    thick_line(cr, red, 0.08, line);
    for (double side = -1; side <= 1; side += 2) {
      cairo_new_path(cr);
      cairo_move_to(cr, side * 0.55, -0.1);
      cairo_line_to(cr, side * 0.85, -0.45);
      thick_line(cr, red, 0.1, line);
      cairo_new_path(cr);
      cairo_move_to(cr, side * 0.85, -0.5);
      cairo_arc(cr, side * 0.85, -0.62, 0.2, side > 0 ? -0.4 * kPi : 1.4 * kPi - 0.6, side > 0 ? 0.6 : 1.4 * kPi + 0.4 * kPi);
      cairo_close_path(cr);
      paint_ball(cr, red, line);
      cairo_move_to(cr, side * 0.2, -0.3);
      cairo_line_to(cr, side * 0.25, -0.6);
      stroke(cr, ink_of(red), line * 2);
      cairo_new_path(cr);
      circle(cr, side * 0.25, -0.66, 0.12);
      fill(cr, kSnow);
      eye(cr, side * 0.25, -0.66, 0.08);
    }
    cairo_new_path(cr);
    oval(cr, 0, 0, 0.62, 0.42);
    paint_ball(cr, red, line);
    smile(cr, 0, 0.12, 0.22, line);
    cheek(cr, -0.32, 0.0, 0.07);
    cheek(cr, 0.32, 0.0, 0.07);
  });
}

void jellyfish(cairo_t* cr, double x, double y, double s, Col c) {
  at(cr, x, y, s, 0, [&] {
    double line = 3 / s;
    for (int i = 0; i < 5; ++i) {
      double tx = -0.6 + i * 0.3;
      cairo_new_path(cr);
      cairo_move_to(cr, tx, 0);
      cairo_curve_to(cr, tx + 0.2, 0.4, tx - 0.2, 0.8, tx + 0.05, 1.3);
      stroke(cr, dark(c, 0.2), 0.1);
      stroke(cr, c, 0.06);
    }
    cairo_new_path(cr);
    cairo_arc(cr, 0, 0, 0.8, kPi, 2 * kPi);
    for (int i = 0; i < 4; ++i) cairo_arc(cr, 0.6 - i * 0.4, 0, 0.2, 0, kPi);
    cairo_close_path(cr);
    paint_ball(cr, c, line);
    eye(cr, -0.25, -0.3, 0.11);
    eye(cr, 0.25, -0.3, 0.11);
    smile(cr, 0, -0.1, 0.16, line);
    cheek(cr, -0.45, -0.15, 0.08);
    cheek(cr, 0.45, -0.15, 0.08);
  });
}

void octopus(cairo_t* cr, double x, double y, double s) {
  at(cr, x, y, s, 0, [&] {
    const Col skin = hex(0xff7fb0);
    double line = 3.5 / s;
    for (int i = 0; i < 6; ++i) {
      double bx = -0.5 + i * 0.2, dir = i < 3 ? -1 : 1;
      cairo_new_path(cr);
      cairo_move_to(cr, bx, 0.3);
      cairo_curve_to(cr, bx + dir * 0.1, 0.7, bx + dir * 0.45, 0.75, bx + dir * 0.35 + std::sin(i) * 0.1, 1.0);
      thick_line(cr, skin, 0.16, line);
    }
    cairo_new_path(cr);
    oval(cr, 0, 0, 0.7, 0.62);
    paint_ball(cr, skin, line);
    for (int i = 0; i < 3; ++i) circle(cr, -0.25 + i * 0.25, -0.38 + (i % 2) * -0.06, 0.06);
    fill(cr, light(skin, 0.4));
    eye(cr, -0.22, 0.02, 0.12);
    eye(cr, 0.22, 0.02, 0.12);
    smile(cr, 0, 0.26, 0.2, line);
    cheek(cr, -0.42, 0.2, 0.08);
    cheek(cr, 0.42, 0.2, 0.08);
  });
}

// A seal on a little rock, balancing a ball on its nose.
void seal(cairo_t* cr, double x, double y, double s) {
  at(cr, x, y, s, 0, [&] {
    const Col skin = hex(0x8a9ac0);
    double line = 3.5 / s;
    cairo_new_path(cr);
    oval(cr, 0, 0.9, 1.0, 0.35);
    paint_ball(cr, hex(0x7a6c98), line);
    oval(cr, -0.55, 0.62, 0.3, 0.12, 0.3);
    oval(cr, 0.5, 0.62, 0.3, 0.12, -0.3);
    paint(cr, dark(skin, 0.1), line);
    cairo_move_to(cr, -0.45, 0.65);
    cairo_curve_to(cr, -0.6, 0.1, -0.3, -0.5, 0.05, -0.55);
    cairo_curve_to(cr, 0.4, -0.5, 0.5, 0.1, 0.4, 0.65);
    cairo_close_path(cr);
    paint_ball(cr, skin, line);
    oval(cr, -0.35, 0.2, 0.12, 0.28, 0.5);
    oval(cr, 0.35, 0.2, 0.12, 0.28, -0.5);
    paint(cr, dark(skin, 0.1), line);
    circle(cr, 0.08, -0.62, 0.34);
    paint_ball(cr, skin, line);
    oval(cr, 0.3, -0.52, 0.18, 0.12);
    fill(cr, light(skin, 0.35));
    circle(cr, 0.42, -0.58, 0.06);
    fill(cr, kInk);
    eye(cr, -0.04, -0.7, 0.07);
    eye(cr, 0.2, -0.72, 0.07);
    cairo_move_to(cr, 0.34, -0.5);
    cairo_line_to(cr, 0.6, -0.46);
    cairo_move_to(cr, 0.34, -0.48);
    cairo_line_to(cr, 0.58, -0.38);
    stroke(cr, kInk, line * 0.6);
    cairo_new_path(cr);
    circle(cr, 0.46, -1.08, 0.26);
    paint_ball(cr, hex(0xff4f5a), line);
    circle(cr, 0.46, -1.08, 0.25);
    clipped(cr, [&] {
      cairo_new_path(cr);
      cairo_rectangle(cr, 0.38, -1.4, 0.16, 0.7);
      fill(cr, hex(0xffd23f));
    });
  });
}

}  // namespace

void underwater(cairo_t* cr, gen::Rng& rng) {
  vgrad_rect(cr, 0, 0, kWidth, kHeight, hex(0x5ad8f2), hex(0x1c7cc0));
  for (int i = 0; i < 6; ++i) {
    cairo_new_path(cr);
    double x = 60 + i * 180;
    poly(cr, {x, -10, x + 60, -10, x + 200, 700, x + 90, 700});
    fill(cr, hex(0xe8fbff), 0.1);
  }
  for (int i = 0; i < 3; ++i) {
    cairo_new_path(cr);
    for (int x = -8; x <= kWidth + 8; x += 8) cairo_line_to(cr, x, 14 + i * 22 + 6 * std::sin(x * 0.03 + i));
    stroke(cr, hex(0xc8f6ff), 5 - i);
  }
  jellyfish(cr, 110, 330, 60, hex(0xd9a0ff));
  jellyfish(cr, 700, 80, 46, hex(0xffa0c8));
  ground(cr, 650, 14, 700, 0.8, hex(0xf6da8c), hex(0xe8bf6a), 4);
  dots(cr, rng, 0, 670, kWidth, 768, 60, 2, 4, hex(0xc99a4a), 0.6);
  const Col weeds[] = {hex(0x3fbf6a), hex(0x2fa85a), hex(0x5fd07a)};
  for (int i = 0; i < 12; ++i) {
    double x = 20 + i * 90 + rng.range(-20, 20);
    seaweed(cr, x, 680, rng.range(140, 300), rng.range(0, 6), weeds[i % 3]);
  }
  coral(cr, 150, 700, 150, hex(0xff7a8a));
  coral(cr, 860, 700, 170, hex(0xff9a4a));
  coral(cr, 560, 700, 110, hex(0xb07cff));
  for (int i = 0; i < 5; ++i) {
    cairo_new_path(cr);
    oval(cr, 300 + i * 150 + rng.range(-20, 20), 700 + rng.range(-6, 10), rng.range(30, 50), rng.range(18, 26));
    paint_ball(cr, hex(0x9a90b8), 3);
  }
  starfish(cr, 420, 720, 34, hex(0xffb02a), 0.2);
  shell(cr, 690, 730, 30, hex(0xffc2d6));
  shell(cr, 60, 740, 26, hex(0xfff0c8));
  crab(cr, 260, 708, 60);
  octopus(cr, 760, 560, 110);
  fish(cr, 220, 180, 60, 0.1, hex(0xff8a2a), hex(0xffd23f));
  fish(cr, 560, 120, -46, -0.1, hex(0xffd23f), hex(0x4aa8ff));
  fish(cr, 880, 250, -52, 0.05, hex(0xff6f91), hex(0xffb0c8));
  fish(cr, 380, 380, 70, -0.05, hex(0x5ae0a0), hex(0x3fa0ff));
  fish(cr, 120, 470, 38, 0.1, hex(0xb07cff), hex(0xff8fc0));
  fish(cr, 560, 500, -40, 0.1, hex(0xff4f5a), hex(0xffd23f));
  fish(cr, 700, 320, 30, 0.0, hex(0xffe066), hex(0xff8a2a));
  for (int i = 0; i < 24; ++i) bubble(cr, rng.range(20, kWidth - 20), rng.range(20, 620), rng.range(5, 16));
}

void beach(cairo_t* cr, gen::Rng& rng) {
  vgrad_rect(cr, 0, 0, kWidth, 340, hex(0x4cc4f8), hex(0xc8f0ff));
  sun(cr, 880, 100, 58);
  cloud(cr, 200, 90, 90);
  cloud(cr, 560, 60, 60);
  bird_v(cr, 420, 150, 18, hex(0x4a5a7a));
  bird_v(cr, 470, 175, 14, hex(0x4a5a7a));
  ground(cr, 300, 0, 1000, 0, hex(0x2ac8d8), hex(0x1aa0c0), 0);
  for (int row = 0; row < 5; ++row)
    for (double x = rng.range(-30, 0); x < kWidth + 30; x += rng.range(90, 160)) {
      double y = 320 + row * 26, size = 8 + row * 3;
      cairo_new_path(cr);
      cairo_arc(cr, x, y, size, 1.15 * kPi, 1.85 * kPi);
      stroke(cr, hex(0xbff6ff), 3 + row * 0.5);
    }
  // Sailing boat far out.
  cairo_new_path(cr);
  poly(cr, {540, 318, 620, 318, 608, 334, 552, 334});
  paint(cr, hex(0xf05a4a), 3);
  poly(cr, {580, 314, 580, 250, 620, 314});
  paint(cr, hex(0xfff6e8), 3);
  // Foam where the waves meet the sand, then the sand.
  ground(cr, 450, 12, 300, 0.3, hex(0xeafcff), hex(0xeafcff), 0);
  ground(cr, 466, 10, 300, 0.6, hex(0xf9dc8e), hex(0xefc270), 4);
  dots(cr, rng, 0, 480, kWidth, 768, 90, 1.5, 3.5, hex(0xd9a656), 0.7);
  // Umbrella and towel.
  cairo_new_path(cr);
  poly(cr, {60, 600, 300, 560, 340, 700, 100, 740});
  paint(cr, hex(0x5aa8ff), 4);
  poly(cr, {60, 600, 300, 560, 340, 700, 100, 740});
  clipped(cr, [&] {
    for (int i = 0; i < 6; ++i) {
      cairo_new_path(cr);
      cairo_move_to(cr, 40 + i * 60, 560);
      cairo_line_to(cr, 80 + i * 60, 760);
      stroke(cr, hex(0xfff6e8), 16);
    }
  });
  cairo_new_path(cr);
  rounded(cr, 224, 300, 12, 320, 5);
  paint(cr, hex(0xe8e4ee), 3);
  cairo_new_path(cr);
  cairo_move_to(cr, 70, 380);
  cairo_curve_to(cr, 100, 260, 360, 260, 390, 380);
  cairo_close_path(cr);
  paint(cr, hex(0xff4f6d), 5);
  cairo_new_path(cr);
  cairo_move_to(cr, 70, 380);
  cairo_curve_to(cr, 100, 260, 360, 260, 390, 380);
  cairo_close_path(cr);
  clipped(cr, [&] {
    for (double i = 0; i < 3; ++i) {
      cairo_new_path(cr);
      poly(cr, {230, 280, 120 + i * 100, 400, 170 + i * 100, 400});
      fill(cr, hex(0xfff6e8));
    }
  });
  // The sandcastle.
  const Col sand = hex(0xf0c060);
  const double cx = 600;
  cairo_new_path(cr);
  rounded(cr, cx - 170, 520, 340, 130, 10);
  paint(cr, sand, 5);
  for (double tx : {cx - 150.0, cx + 90.0}) {
    cairo_new_path(cr);
    rounded(cr, tx, 420, 60, 230, 8);
    paint(cr, sand, 5);
    for (int k = 0; k < 3; ++k) {
      cairo_new_path(cr);
      rounded(cr, tx - 6 + k * 24, 400, 20, 26, 4);
      paint(cr, sand, 4);
    }
    cairo_new_path(cr);
    cairo_move_to(cr, tx + 30, 400);
    cairo_line_to(cr, tx + 30, 340);
    stroke(cr, hex(0x7a5a3a), 4);
    cairo_new_path(cr);
    poly(cr, {tx + 32, 340, tx + 72, 352, tx + 32, 366});
    paint(cr, tx < cx ? hex(0xff4f6d) : hex(0x4aa8ff), 3);
  }
  cairo_new_path(cr);
  rounded(cr, cx - 70, 440, 140, 120, 10);
  paint(cr, light(sand, 0.1), 5);
  for (int k = 0; k < 4; ++k) {
    cairo_new_path(cr);
    rounded(cr, cx - 76 + k * 40, 420, 28, 28, 4);
    paint(cr, light(sand, 0.1), 4);
  }
  cairo_new_path(cr);
  cairo_move_to(cr, cx - 34, 650);
  cairo_line_to(cr, cx - 34, 600);
  cairo_arc(cr, cx, 600, 34, kPi, 2 * kPi);
  cairo_line_to(cr, cx + 34, 650);
  cairo_close_path(cr);
  paint(cr, hex(0xb8864a), 4);
  for (double wx : {cx - 120.0, cx + 120.0}) {
    cairo_new_path(cr);
    rounded(cr, wx - 12, 470, 24, 34, 12);
    fill(cr, hex(0xb8864a));
  }
  for (int i = 0; i < 3; ++i) shell(cr, cx - 100 + i * 100, 540, 16, hex(0xffc2d6));
  // Bucket and spade, ball, crab, starfish.
  cairo_new_path(cr);
  poly(cr, {850, 560, 950, 560, 935, 660, 865, 660});
  paint(cr, hex(0xffc83a), 4);
  cairo_new_path(cr);
  cairo_arc(cr, 900, 560, 52, kPi, 2 * kPi);
  stroke(cr, hex(0xe8433a), 6);
  cairo_new_path(cr);
  rounded(cr, 954, 520, 12, 120, 5);
  paint(cr, hex(0x3fae4a), 3);
  cairo_move_to(cr, 942, 630);
  cairo_line_to(cr, 978, 630);
  cairo_line_to(cr, 972, 680);
  cairo_line_to(cr, 948, 680);
  cairo_close_path(cr);
  paint(cr, hex(0x4aa8ff), 3);
  cairo_new_path(cr);
  circle(cr, 420, 680, 54);
  paint_ball(cr, hex(0xfff6e8), 4);
  circle(cr, 420, 680, 52);
  clipped(cr, [&] {
    const Col segs[] = {hex(0xff4f6d), hex(0x4aa8ff), hex(0xffc83a)};
    for (int i = 0; i < 3; ++i) {
      cairo_new_path(cr);
      cairo_move_to(cr, 420, 680);
      cairo_arc(cr, 420, 680, 60, i * 2 * kPi / 3, i * 2 * kPi / 3 + kPi / 3);
      cairo_close_path(cr);
      fill(cr, segs[i]);
    }
  });
  crab(cr, 780, 710, 52);
  starfish(cr, 170, 470, 30, hex(0xff8a4a), 0.3);
  starfish(cr, 960, 740, 24, hex(0xff6f91), -0.2);
  shell(cr, 540, 730, 22, hex(0xfff0c8));
}

void lighthouse(cairo_t* cr, gen::Rng& rng) {
  cairo_new_path(cr);
  cairo_rectangle(cr, 0, 0, kWidth, 440);
  cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, 440);
  cairo_pattern_add_color_stop_rgb(sky, 0, 0.42, 0.35, 0.8);
  cairo_pattern_add_color_stop_rgb(sky, 0.5, 1.0, 0.55, 0.5);
  cairo_pattern_add_color_stop_rgb(sky, 1, 1.0, 0.82, 0.55);
  cairo_set_source(cr, sky);
  cairo_fill(cr);
  cairo_pattern_destroy(sky);
  for (int i = 0; i < 30; ++i) {
    cairo_new_path(cr);
    circle(cr, rng.range(0, kWidth), rng.range(0, 120), rng.range(1.2, 2.5));
    fill(cr, hex(0xfff6e0), 0.8);
  }
  radial_glow(cr, 330, 440, 240, hex(0xffe6a0), 0.7);
  cairo_new_path(cr);
  circle(cr, 330, 440, 90);
  fill(cr, hex(0xffd25a));
  cloud(cr, 140, 170, 80, hex(0xffc8d8));
  cloud(cr, 70, 320, 50, hex(0xffd0c8));
  cloud(cr, 960, 330, 44, hex(0xffd0c8));
  cloud(cr, 560, 110, 90, hex(0xffc8d8));
  for (int i = 0; i < 3; ++i) bird_v(cr, 420 + i * 46, 230 + (i % 2) * 22, 18, hex(0x4a2a5a));
  ground(cr, 440, 0, 1000, 0, hex(0x3a6ab8), hex(0x1a3a7a), 0);
  for (int i = 0; i < 12; ++i) {
    cairo_new_path(cr);
    double w = 160 - i * 10;
    rounded(cr, 330 - w / 2 + rng.range(-20, 20), 452 + i * 22, w, 8, 4);
    fill(cr, hex(0xffc86a), 0.85 - i * 0.05);
  }
  for (int row = 0; row < 7; ++row)
    for (double x = rng.range(-30, 0); x < kWidth + 30; x += rng.range(100, 170)) {
      double y = 470 + row * row * 5 + row * 14, size = 10 + row * 4;
      if (std::fabs(x - 330) < 100) continue;
      cairo_new_path(cr);
      cairo_arc(cr, x, y, size, 1.15 * kPi, 1.85 * kPi);
      stroke(cr, hex(0x8ab0f0), 3 + row * 0.6);
    }
  // Rocks and the lighthouse on them.
  const double lx = 760;
  const double rocks[] = {640, 620, 90, 760, 600, 120, 890, 630, 100, 980, 680, 90, 560, 700, 70, 700, 710, 100, 850, 730, 110};
  const Col stone[] = {hex(0x8a7aa8), hex(0x9a88b0), hex(0x7a6c98)};
  for (int i = 0; i < 7; ++i) {
    cairo_new_path(cr);
    oval(cr, rocks[3 * i], rocks[3 * i + 1], rocks[3 * i + 2], rocks[3 * i + 2] * 0.8);
    paint_ball(cr, stone[i % 3], 5);
  }
  for (int i = 0; i < 6; ++i) {
    cairo_new_path(cr);
    oval(cr, 600 + i * 70, 640 + (i % 2) * 30, 30, 10, 0.3);
    fill(cr, hex(0x5aa86a), 0.9);
  }
  // Light beams, then the tower.
  for (double side = -1; side <= 1; side += 2) {
    cairo_new_path(cr);
    poly(cr, {lx, 196, lx + side * 420, 120, lx + side * 420, 260});
    cairo_pattern_t* g = cairo_pattern_create_linear(lx, 0, lx + side * 420, 0);
    cairo_pattern_add_color_stop_rgba(g, 0, 1.0, 0.96, 0.7, 0.7);
    cairo_pattern_add_color_stop_rgba(g, 1, 1.0, 0.96, 0.7, 0.0);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  }
  cairo_new_path(cr);
  cairo_move_to(cr, lx - 80, 600);
  cairo_line_to(cr, lx - 50, 250);
  cairo_line_to(cr, lx + 50, 250);
  cairo_line_to(cr, lx + 80, 600);
  cairo_close_path(cr);
  paint(cr, hex(0xf6f0e8), 5);
  cairo_new_path(cr);
  cairo_move_to(cr, lx - 80, 600);
  cairo_line_to(cr, lx - 50, 250);
  cairo_line_to(cr, lx + 50, 250);
  cairo_line_to(cr, lx + 80, 600);
  cairo_close_path(cr);
  clipped(cr, [&] {
    for (int i = 0; i < 3; ++i) {
      cairo_new_path(cr);
      cairo_rectangle(cr, lx - 100, 300 + i * 110, 200, 55);
      fill(cr, hex(0xe8333f));
    }
    cairo_new_path(cr);
    rounded(cr, lx - 14, 520, 28, 80, 12);
    fill(cr, hex(0x5a3a4a));
    circle(cr, lx, 420, 14);
    fill(cr, hex(0xffe680));
  });
  cairo_new_path(cr);
  rounded(cr, lx - 72, 236, 144, 22, 6);
  paint(cr, hex(0x4a3a6a), 4);
  rounded(cr, lx - 40, 160, 80, 78, 8);
  paint(cr, hex(0xffe066), 4);
  radial_glow(cr, lx, 196, 90, hex(0xfff6b0), 0.8);
  cairo_new_path(cr);
  for (int i = 0; i < 3; ++i) {
    cairo_move_to(cr, lx - 14 + i * 14, 162);
    cairo_line_to(cr, lx - 14 + i * 14, 236);
  }
  stroke(cr, hex(0x4a3a6a), 3);
  cairo_new_path(cr);
  cairo_move_to(cr, lx - 54, 164);
  cairo_curve_to(cr, lx - 40, 110, lx + 40, 110, lx + 54, 164);
  cairo_close_path(cr);
  paint(cr, hex(0xe8333f), 4);
  circle(cr, lx, 112, 10);
  paint_ball(cr, hex(0x4a3a6a), 3);
  // Spray on the rocks and a seagull resting.
  for (int i = 0; i < 12; ++i) {
    cairo_new_path(cr);
    circle(cr, 540 + rng.range(0, 60), 640 + rng.range(0, 50), rng.range(4, 10));
    fill(cr, hex(0xe8f6ff), 0.9);
  }
  at(cr, 900, 560, 1, 0, [&] {
    cairo_new_path(cr);
    oval(cr, 0, 0, 34, 22);
    paint_ball(cr, hex(0xf6f4fa), 3);
    circle(cr, 24, -20, 15);
    paint_ball(cr, hex(0xf6f4fa), 3);
    poly(cr, {36, -22, 54, -18, 36, -14});
    paint(cr, hex(0xffb02a), 2.5);
    oval(cr, -8, -2, 20, 10, 0.2);
    paint(cr, hex(0x9aa0b8), 2.5);
    eye(cr, 28, -24, 4);
    cairo_move_to(cr, -4, 20);
    cairo_line_to(cr, -4, 34);
    cairo_move_to(cr, 8, 20);
    cairo_line_to(cr, 8, 34);
    stroke(cr, hex(0xffb02a), 4);
    cairo_new_path(cr);
  });
  // A little boat on the sunset path.
  cairo_new_path(cr);
  poly(cr, {240, 560, 380, 560, 360, 590, 260, 590});
  paint(cr, hex(0xffc83a), 4);
  poly(cr, {310, 552, 310, 470, 366, 552});
  paint(cr, hex(0xfff0e0), 4);
  cairo_new_path(cr);
  for (int i = 0; i < 3; ++i) {
    cairo_arc(cr, 230 + i * 70, 606, 24, 1.1 * kPi, 1.9 * kPi);
    cairo_new_sub_path(cr);
  }
  stroke(cr, hex(0xbfd8ff), 4);
  seal(cr, 150, 650, 110);
}

}  // namespace pk::pics
