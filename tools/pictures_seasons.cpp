// Home and seasons: the snowman in the snow, a bowl of fruit on the kitchen table.
#include <cmath>

#include "tools/picture_kit.hpp"

namespace pk::pics {

namespace {

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
  rounded(cr, x - 110, y - 24, 210, 30, 10);
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
  rounded(cr, 760, 300, 200, 150, 6);
  paint(cr, hex(0xb8744a), 4);
  for (int i = 1; i < 5; ++i) {
    cairo_move_to(cr, 762, 300 + i * 30);
    cairo_line_to(cr, 958, 300 + i * 30);
  }
  stroke(cr, hex(0x8a5434), 3);
  cairo_new_path(cr);
  rounded(cr, 800, 340, 56, 50, 6);
  paint(cr, hex(0xffd85a), 4);
  rounded(cr, 884, 360, 48, 90, 6);
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
  rounded(cr, cx - 92, 318, 184, 36, 18);
  paint(cr, hex(0xe8333f), 4);
  rounded(cr, cx + 30, 330, 44, 120, 16);
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
  rounded(cr, cx - 90, 176, 180, 20, 10);
  paint(cr, hex(0x3d5aa8), 4);
  rounded(cr, cx - 60, 96, 120, 90, 12);
  paint(cr, hex(0x3d5aa8), 4);
  rounded(cr, cx - 60, 160, 120, 18, 4);
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
  rounded(cr, 60, 170, 300, 18, 6);
  paint(cr, hex(0xc98a4f), 4);
  const Col jars[] = {hex(0xff6f61), hex(0xb07cff), hex(0xffa02a)};
  for (int i = 0; i < 3; ++i) {
    double x = 90 + i * 90;
    cairo_new_path(cr);
    rounded(cr, x, 100, 64, 72, 14);
    paint(cr, jars[i], 4);
    rounded(cr, x - 4, 90, 72, 18, 6);
    paint(cr, hex(0xfff0e0), 3);
    heart(cr, x + 32, 138, 26, hex(0xfff0e0));
  }
  cherries(cr, 820, 120, 22);
  cairo_new_path(cr);
  rounded(cr, 700, 170, 260, 18, 6);
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
  rounded(cr, -10, 424, kWidth + 20, 14, 4);
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
  rounded(cr, bx - 70, by + 104, 140, 20, 8);
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
