// Seaside and seasons: the underwater scene, the beach with a sandcastle, the lighthouse at
// sunset, the snowman, and a bowl of fruit.
#include <cmath>

#include "tools/picture_kit.hpp"

namespace pk::pics {

namespace {
constexpr double kPi = 3.14159265358979323846;

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

void sled(cairo_t* cr, double x, double y) {
  cairo_new_path(cr);
  cairo_move_to(cr, x - 110, y + 30);
  cairo_line_to(cr, x + 90, y + 30);
  cairo_curve_to(cr, x + 130, y + 30, x + 140, y, x + 120, y - 10);
  stroke(cr, hex(0x6a6a8a), 9);
  cairo_new_path(cr);
  for (double lx : {-70.0, 50.0}) {
    cairo_move_to(cr, x + lx, y + 30);
    cairo_line_to(cr, x + lx, y);
  }
  stroke(cr, hex(0x6a6a8a), 7);
  cairo_new_path(cr);
  rrect(cr, x - 110, y - 24, 210, 30, 10);
  paint(cr, hex(0xe8333f), 4);
  for (int i = 0; i < 4; ++i) {
    cairo_move_to(cr, x - 80 + i * 50, y - 20);
    cairo_line_to(cr, x - 80 + i * 50, y + 2);
  }
  stroke(cr, hex(0xb8262f), 3);
  cairo_new_path(cr);
}

void snowflake(cairo_t* cr, double x, double y, double r) {
  cairo_new_path(cr);
  for (int i = 0; i < 6; ++i) {
    double a = i * kPi / 3;
    cairo_move_to(cr, x, y);
    cairo_line_to(cr, x + r * std::cos(a), y + r * std::sin(a));
    double bx = x + r * 0.6 * std::cos(a), by = y + r * 0.6 * std::sin(a);
    cairo_move_to(cr, bx, by);
    cairo_line_to(cr, bx + r * 0.3 * std::cos(a + 0.8), by + r * 0.3 * std::sin(a + 0.8));
    cairo_move_to(cr, bx, by);
    cairo_line_to(cr, bx + r * 0.3 * std::cos(a - 0.8), by + r * 0.3 * std::sin(a - 0.8));
  }
  stroke(cr, kSnow, std::max(1.5, r * 0.14));
  cairo_new_path(cr);
}

void snowy_pine(cairo_t* cr, double x, double y, double s) {
  pine(cr, x, y, s, hex(0x2f8a6a));
  for (int i = 0; i < 3; ++i) {
    double by = y - s * (0.2 + i * 0.32) - s * 0.5, w = s * (0.26 - i * 0.05);
    cairo_new_path(cr);
    cairo_move_to(cr, x - w, by + s * 0.25);
    cairo_curve_to(cr, x - w * 0.5, by + s * 0.02, x + w * 0.5, by + s * 0.02, x + w, by + s * 0.25);
    cairo_curve_to(cr, x + w * 0.5, by + s * 0.32, x - w * 0.5, by + s * 0.2, x - w, by + s * 0.25);
    cairo_close_path(cr);
    paint(cr, hex(0xf4f8ff), 2.5);
  }
}

void apple(cairo_t* cr, double x, double y, double r, Col c) {
  cairo_new_path(cr);
  cairo_move_to(cr, x, y - r * 0.7);
  cairo_curve_to(cr, x + r * 0.5, y - r * 1.1, x + r * 1.1, y - r * 0.8, x + r, y - r * 0.1);
  cairo_curve_to(cr, x + r * 0.95, y + r * 0.6, x + r * 0.5, y + r, x, y + r * 0.85);
  cairo_curve_to(cr, x - r * 0.5, y + r, x - r * 0.95, y + r * 0.6, x - r, y - r * 0.1);
  cairo_curve_to(cr, x - r * 1.1, y - r * 0.8, x - r * 0.5, y - r * 1.1, x, y - r * 0.7);
  cairo_close_path(cr);
  paint_ball(cr, c, 4);
  cairo_move_to(cr, x, y - r * 0.7);
  cairo_curve_to(cr, x, y - r * 0.9, x + r * 0.05, y - r * 1.05, x + r * 0.12, y - r * 1.15);
  stroke(cr, hex(0x7a4a2a), std::max(3.0, r * 0.1));
  cairo_new_path(cr);
  leaf(cr, x + r * 0.38, y - r * 1.0, r * 0.3, -0.5, hex(0x4fb848));
  oval(cr, x - r * 0.45, y - r * 0.3, r * 0.14, r * 0.24, 0.4);
  fill(cr, kSnow, 0.55);
}

void orange_fruit(cairo_t* cr, double x, double y, double r) {
  cairo_new_path(cr);
  circle(cr, x, y, r);
  paint_ball(cr, hex(0xffa02a), 4);
  for (int i = 0; i < 14; ++i) {
    double a = i * 2.4, d = r * 0.75 * std::sqrt((i + 0.5) / 14.0);
    circle(cr, x + d * std::cos(a), y + d * std::sin(a), r * 0.03);
  }
  fill(cr, hex(0xe8841a));
  leaf(cr, x + r * 0.2, y - r * 0.95, r * 0.28, -0.3, hex(0x4fb848));
  oval(cr, x - r * 0.42, y - r * 0.38, r * 0.12, r * 0.2, 0.6);
  fill(cr, kSnow, 0.55);
}

void banana(cairo_t* cr, double x, double y, double s, double angle) {
  at(cr, x, y, s, angle, [&] {
    double line = 3.5 / s;
    for (int k = 0; k < 3; ++k) {
      cairo_save(cr);
      cairo_rotate(cr, (k - 1) * 0.12);
      cairo_translate(cr, 0, (k - 1) * 0.12);
      cairo_new_path(cr);
      cairo_move_to(cr, -1, -0.15);
      cairo_curve_to(cr, -0.75, 0.62, 0.75, 0.62, 1, -0.15);
      cairo_curve_to(cr, 0.9, -0.05, 0.7, 0.2, 0, 0.22);
      cairo_curve_to(cr, -0.7, 0.2, -0.9, -0.05, -1, -0.15);
      cairo_close_path(cr);
      paint_ball(cr, hex(0xffdd3a), line);
      circle(cr, 1.0, -0.1, 0.05);
      circle(cr, -1.0, -0.1, 0.05);
      fill(cr, hex(0x6a4a2a));
      cairo_restore(cr);
    }
  });
}

void grapes(cairo_t* cr, double x, double y, double r) {
  const double pos[] = {0, 0, -1, 0.2, 1, 0.2, -0.5, 1, 0.5, 1, 0, 1.8, -1.5, -0.7, -0.5, -0.8, 0.5, -0.8, 1.5, -0.7};
  for (int i = 9; i >= 0; --i) {
    cairo_new_path(cr);
    circle(cr, x + pos[2 * i] * r * 1.05, y + pos[2 * i + 1] * r * 0.95, r);
    paint_ball(cr, hex(0x9a5ae0), 3);
  }
  cairo_new_path(cr);
  cairo_move_to(cr, x, y - r * 1.5);
  cairo_line_to(cr, x + r * 0.3, y - r * 2.3);
  stroke(cr, hex(0x7a5a3a), 5);
  cairo_new_path(cr);
  leaf(cr, x - r * 0.6, y - r * 1.9, r * 0.8, -0.3, hex(0x4fb848));
}

void strawberry(cairo_t* cr, double x, double y, double r) {
  cairo_new_path(cr);
  cairo_move_to(cr, x, y + r);
  cairo_curve_to(cr, x - r * 0.7, y + r * 0.6, x - r * 1.0, y - r * 0.2, x - r * 0.8, y - r * 0.6);
  cairo_curve_to(cr, x - r * 0.5, y - r * 0.9, x + r * 0.5, y - r * 0.9, x + r * 0.8, y - r * 0.6);
  cairo_curve_to(cr, x + r * 1.0, y - r * 0.2, x + r * 0.7, y + r * 0.6, x, y + r);
  cairo_close_path(cr);
  paint_ball(cr, hex(0xf0303a), 3.5);
  for (int i = 0; i < 10; ++i) {
    double sx = x + (i % 4 - 1.5) * r * 0.38 + (i / 4 % 2) * r * 0.18, sy = y - r * 0.35 + (i / 4) * r * 0.42;
    oval(cr, sx, sy, r * 0.05, r * 0.08);
  }
  fill(cr, hex(0xfff0a0));
  cairo_new_path(cr);
  star_path(cr, x, y - r * 0.72, r * 0.5, 5, 0.4, kPi);
  paint(cr, hex(0x4fb848), 3);
}

void watermelon(cairo_t* cr, double x, double y, double r) {
  cairo_new_path(cr);
  cairo_arc(cr, x, y, r, 0, kPi);
  cairo_close_path(cr);
  paint(cr, hex(0x3fae4a), 4);
  cairo_arc(cr, x, y, r * 0.86, 0, kPi);
  cairo_close_path(cr);
  fill(cr, hex(0xf6fbe8));
  cairo_arc(cr, x, y, r * 0.78, 0, kPi);
  cairo_close_path(cr);
  paint(cr, hex(0xff4f5a), 0);
  for (int i = 0; i < 7; ++i) {
    double a = 0.4 + i * 0.38;
    oval(cr, x + r * 0.5 * std::cos(a), y + r * 0.5 * std::sin(a), r * 0.04, r * 0.07, a);
  }
  fill(cr, hex(0x3a3044));
}

void cherries(cairo_t* cr, double x, double y, double r) {
  cairo_new_path(cr);
  cairo_move_to(cr, x - r * 0.8, y);
  cairo_curve_to(cr, x - r * 0.6, y - r * 1.5, x, y - r * 2.2, x + r * 0.3, y - r * 2.6);
  cairo_move_to(cr, x + r * 0.8, y);
  cairo_curve_to(cr, x + r * 0.7, y - r * 1.4, x + r * 0.4, y - r * 2.2, x + r * 0.3, y - r * 2.6);
  stroke(cr, hex(0x5a8a3a), 4);
  cairo_new_path(cr);
  circle(cr, x - r * 0.8, y + r * 0.4, r);
  paint_ball(cr, hex(0xd81f3a), 3.5);
  circle(cr, x + r * 0.9, y + r * 0.5, r);
  paint_ball(cr, hex(0xd81f3a), 3.5);
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
  rrect(cr, 224, 300, 12, 320, 5);
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
  rrect(cr, cx - 170, 520, 340, 130, 10);
  paint(cr, sand, 5);
  for (double tx : {cx - 150.0, cx + 90.0}) {
    cairo_new_path(cr);
    rrect(cr, tx, 420, 60, 230, 8);
    paint(cr, sand, 5);
    for (int k = 0; k < 3; ++k) {
      cairo_new_path(cr);
      rrect(cr, tx - 6 + k * 24, 400, 20, 26, 4);
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
  rrect(cr, cx - 70, 440, 140, 120, 10);
  paint(cr, light(sand, 0.1), 5);
  for (int k = 0; k < 4; ++k) {
    cairo_new_path(cr);
    rrect(cr, cx - 76 + k * 40, 420, 28, 28, 4);
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
    rrect(cr, wx - 12, 470, 24, 34, 12);
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
  rrect(cr, 954, 520, 12, 120, 5);
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
    rrect(cr, 330 - w / 2 + rng.range(-20, 20), 452 + i * 22, w, 8, 4);
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
    rrect(cr, lx - 14, 520, 28, 80, 12);
    fill(cr, hex(0x5a3a4a));
    circle(cr, lx, 420, 14);
    fill(cr, hex(0xffe680));
  });
  cairo_new_path(cr);
  rrect(cr, lx - 72, 236, 144, 22, 6);
  paint(cr, hex(0x4a3a6a), 4);
  rrect(cr, lx - 40, 160, 80, 78, 8);
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

void snowman(cairo_t* cr, gen::Rng& rng) {
  vgrad_rect(cr, 0, 0, kWidth, 520, hex(0x78aee6), hex(0xdcebff));
  cloud(cr, 160, 90, 90, hex(0xf0f4ff));
  cloud(cr, 860, 70, 80, hex(0xf0f4ff));
  cloud(cr, 330, 44, 56, hex(0xf0f4ff));
  cloud(cr, 680, 50, 60, hex(0xf0f4ff));
  ground(cr, 400, 30, 900, 1.6, hex(0xe6eefc), hex(0xd2e0f6), 4);
  for (int i = 0; i < 6; ++i) snowy_pine(cr, 40 + i * 70, 430 - (i % 2) * 14, 110 + (i % 3) * 20);
  // Cabin with a glowing window.
  cairo_new_path(cr);
  rrect(cr, 760, 300, 200, 150, 6);
  paint(cr, hex(0xb8744a), 4);
  for (int i = 1; i < 5; ++i) {
    cairo_move_to(cr, 762, 300 + i * 30);
    cairo_line_to(cr, 958, 300 + i * 30);
  }
  stroke(cr, hex(0x8a5434), 3);
  cairo_new_path(cr);
  rrect(cr, 800, 340, 56, 50, 6);
  paint(cr, hex(0xffd85a), 4);
  rrect(cr, 884, 360, 48, 90, 6);
  paint(cr, hex(0x8a3a3a), 4);
  poly(cr, {740, 310, 860, 220, 980, 310});
  paint(cr, hex(0x5a6a9a), 4);
  cairo_new_path(cr);
  cairo_move_to(cr, 730, 316);
  cairo_curve_to(cr, 780, 250, 830, 214, 860, 208);
  cairo_curve_to(cr, 890, 214, 940, 250, 990, 316);
  cairo_curve_to(cr, 960, 300, 900, 250, 860, 240);
  cairo_curve_to(cr, 820, 250, 760, 300, 730, 316);
  cairo_close_path(cr);
  paint(cr, hex(0xf4f8ff), 3);
  ground(cr, 520, 16, 1200, 0.4, hex(0xf2f6ff), hex(0xdae6fa), 4);
  for (int i = 0; i < 10; ++i) {
    cairo_new_path(cr);
    oval(cr, rng.range(0, kWidth), rng.range(560, 760), rng.range(40, 90), rng.range(6, 12));
    fill(cr, hex(0xc4d6f2), 0.6);
  }
  snowy_pine(cr, 716, 600, 90);
  bird_v(cr, 680, 170, 15, hex(0x4a5a7a));
  bird_v(cr, 640, 196, 12, hex(0x4a5a7a));
  sled(cr, 170, 680);
  const double drifts[] = {860, 720, 60, 930, 700, 50, 990, 730, 60};
  cluster(cr, drifts, 3, hex(0xf2f6ff), 4);
  for (int i = 0; i < 3; ++i) {
    cairo_new_path(cr);
    circle(cr, 740 + i * 36, 720 - (i == 1) * 30, 22);
    paint_ball(cr, hex(0xf6f8ff), 3);
  }
  // The snowman.
  const double cx = 480;
  const Col snow = hex(0xf6f8ff);
  shadow(cr, cx, 712, 200, 24, 0.15);
  cairo_new_path(cr);
  cairo_move_to(cr, cx - 110, 420);
  cairo_line_to(cr, cx - 230, 340);
  cairo_move_to(cr, cx - 190, 366);
  cairo_line_to(cr, cx - 220, 310);
  cairo_move_to(cr, cx + 110, 420);
  cairo_line_to(cr, cx + 240, 350);
  cairo_move_to(cr, cx + 200, 372);
  cairo_line_to(cr, cx + 236, 322);
  thick_line(cr, hex(0x8a5a3a), 9, 2.5);
  cairo_new_path(cr);
  circle(cr, cx, 610, 130);
  paint_ball(cr, snow, 5);
  circle(cr, cx, 420, 100);
  paint_ball(cr, snow, 5);
  circle(cr, cx, 250, 84);
  paint_ball(cr, snow, 5);
  for (int i = 0; i < 3; ++i) {
    circle(cr, cx, 380 + i * 40, 11);
    paint_ball(cr, hex(0x4a4060), 2);
  }
  for (int i = 0; i < 2; ++i) {
    circle(cr, cx, 560 + i * 50, 12);
    paint_ball(cr, hex(0x4a4060), 2);
  }
  // Scarf.
  cairo_new_path(cr);
  rrect(cr, cx - 92, 318, 184, 36, 18);
  paint(cr, hex(0xe8333f), 4);
  rrect(cr, cx + 30, 330, 44, 120, 16);
  paint(cr, hex(0xe8333f), 4);
  for (int i = 0; i < 3; ++i) {
    cairo_move_to(cr, cx - 60 + i * 50, 320);
    cairo_line_to(cr, cx - 60 + i * 50, 352);
  }
  cairo_move_to(cr, cx + 32, 390);
  cairo_line_to(cr, cx + 72, 390);
  stroke(cr, hex(0xfff0f0), 8);
  cairo_new_path(cr);
  // Face.
  eye(cr, cx - 30, 232, 13);
  eye(cr, cx + 30, 232, 13);
  cairo_new_path(cr);
  poly(cr, {cx - 4, 252, cx + 70, 270, cx - 4, 276});
  paint(cr, hex(0xff8a2a), 4);
  for (int i = 0; i < 5; ++i) circle(cr, cx - 36 + i * 18, 292 + std::abs(i - 2) * -5 + 6, 5);
  fill(cr, hex(0x4a4060));
  cheek(cr, cx - 52, 270, 14);
  cheek(cr, cx + 52, 270, 14);
  // Hat.
  cairo_new_path(cr);
  rrect(cr, cx - 90, 176, 180, 20, 10);
  paint(cr, hex(0x3d5aa8), 4);
  rrect(cr, cx - 60, 96, 120, 90, 12);
  paint(cr, hex(0x3d5aa8), 4);
  rrect(cr, cx - 60, 160, 120, 18, 4);
  fill(cr, hex(0xffc83a));
  // A robin on the stick arm.
  at(cr, cx + 210, 336, 1, 0, [&] {
    cairo_new_path(cr);
    oval(cr, 0, 0, 26, 22);
    paint_ball(cr, hex(0x9a6a4a), 3);
    oval(cr, 8, 6, 15, 13);
    fill(cr, hex(0xff6a3a));
    poly(cr, {22, -6, 34, -2, 22, 2});
    paint(cr, hex(0xffb02a), 2);
    eye(cr, 12, -8, 4);
  });
  for (int i = 0; i < 70; ++i) {
    double x = rng.range(0, kWidth), y = rng.range(0, kHeight);
    if (i % 5 == 0)
      snowflake(cr, x, y, rng.range(8, 14));
    else {
      cairo_new_path(cr);
      circle(cr, x, y, rng.range(3, 6));
      paint_ball(cr, hex(0xfafcff), 1.5);
    }
  }
}

void fruit(cairo_t* cr, gen::Rng& rng) {
  vgrad_rect(cr, 0, 0, kWidth, 430, hex(0xffe680), hex(0xffd45a));
  for (int x = 0; x < kWidth; x += 64) {
    cairo_new_path(cr);
    cairo_rectangle(cr, x, 0, 30, 430);
    fill(cr, hex(0xfff2b0), 0.45);
  }
  for (int row = 0; row < 6; ++row)
    for (int col = 0; col < 16; ++col) {
      cairo_new_path(cr);
      circle(cr, col * 64 + 47, 40 + row * 70 + (col % 2) * 35, 6);
      fill(cr, hex(0xffb84a), 0.6);
    }
  // A shelf with jars.
  cairo_new_path(cr);
  rrect(cr, 60, 170, 300, 18, 6);
  paint(cr, hex(0xc98a4f), 4);
  const Col jars[] = {hex(0xff6f61), hex(0xb07cff), hex(0xffa02a)};
  for (int i = 0; i < 3; ++i) {
    double x = 90 + i * 90;
    cairo_new_path(cr);
    rrect(cr, x, 100, 64, 72, 14);
    paint(cr, jars[i], 4);
    rrect(cr, x - 4, 90, 72, 18, 6);
    paint(cr, hex(0xfff0e0), 3);
    heart(cr, x + 32, 138, 26, hex(0xfff0e0));
  }
  cherries(cr, 820, 120, 22);
  cairo_new_path(cr);
  rrect(cr, 700, 170, 260, 18, 6);
  paint(cr, hex(0xc98a4f), 4);
  apple(cr, 760, 140, 26, hex(0x8fd03a));
  apple(cr, 900, 140, 26, hex(0xff4f5a));
  // Gingham tablecloth.
  vgrad_rect(cr, 0, 430, kWidth, 338, hex(0xf4f8ff), hex(0xe8eef8));
  for (int i = 0; i < 22; ++i) {
    cairo_new_path(cr);
    cairo_rectangle(cr, i * 48, 430, 24, 338);
    fill(cr, hex(0x5a9aff), 0.45);
  }
  for (int i = 0; i < 8; ++i) {
    cairo_new_path(cr);
    cairo_rectangle(cr, 0, 430 + i * 48, kWidth, 24);
    fill(cr, hex(0x5a9aff), 0.45);
  }
  cairo_new_path(cr);
  rrect(cr, -10, 424, kWidth + 20, 14, 4);
  paint(cr, hex(0x4a86e8), 3);
  // The bowl of fruit.
  const double bx = 512, by = 520;
  grapes(cr, bx - 150, by - 150, 26);
  banana(cr, bx + 80, by - 170, 110, -0.2);
  apple(cr, bx - 40, by - 150, 64, hex(0xff3f4a));
  orange_fruit(cr, bx + 110, by - 110, 62);
  apple(cr, bx - 160, by - 70, 54, hex(0x9ad83a));
  orange_fruit(cr, bx + 30, by - 80, 58);
  cairo_new_path(cr);
  cairo_move_to(cr, bx - 250, by - 60);
  cairo_line_to(cr, bx + 250, by - 60);
  cairo_curve_to(cr, bx + 240, by + 60, bx + 140, by + 110, bx, by + 110);
  cairo_curve_to(cr, bx - 140, by + 110, bx - 240, by + 60, bx - 250, by - 60);
  cairo_close_path(cr);
  paint(cr, hex(0xff8fb1), 5);
  cairo_new_path(cr);
  oval(cr, bx, by - 60, 250, 22);
  paint(cr, hex(0xffb3c9), 4);
  for (int i = 0; i < 5; ++i) heart(cr, bx - 160 + i * 80, by + 20, 30, hex(0xfff0f4));
  cairo_new_path(cr);
  rrect(cr, bx - 70, by + 104, 140, 20, 8);
  paint(cr, hex(0xf07aa0), 4);
  // Fruit on the cloth.
  watermelon(cr, 150, 620, 110);
  strawberry(cr, 330, 690, 44);
  strawberry(cr, 410, 720, 36);
  banana(cr, 760, 690, 90, 0.2);
  cherries(cr, 920, 660, 26);
  apple(cr, 620, 700, 44, hex(0xffc83a));
  (void)rng;
}

}  // namespace pk::pics
