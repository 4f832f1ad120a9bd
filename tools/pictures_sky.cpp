// Sky pictures: the starry night, the rainbow with balloons, the hot-air balloon over the fields,
// the rocket in space.
#include <cmath>

#include "tools/picture_kit.hpp"

namespace pk::pics {

namespace {

void sleepy_eye(cairo_t* cr, double x, double y, double w) {
  cairo_new_path(cr);
  cairo_arc(cr, x, y - w * 0.3, w * 0.6, 0.2 * kPi, 0.8 * kPi);
  stroke(cr, kInk, std::max(3.0, w * 0.16));
  cairo_new_path(cr);
}

void owl(cairo_t* cr, double x, double y, double s) {
  at(cr, x, y, s, 0, [&] {
    const Col body = hex(0x9a7ad0), belly = hex(0xe8dcff);
    double line = 3.5 / s;
    cairo_new_path(cr);
    poly(cr, {-0.62, -0.7, -0.5, -1.05, -0.25, -0.8});
    poly(cr, {0.62, -0.7, 0.5, -1.05, 0.25, -0.8});
    paint(cr, body, line);
    oval(cr, 0, 0, 0.72, 0.92);
    paint_ball(cr, body, line);
    oval(cr, 0, 0.25, 0.45, 0.55);
    fill(cr, belly);
    for (int r = 0; r < 3; ++r)
      for (int k = -1; k <= 1; ++k) {
        cairo_new_path(cr);
        cairo_arc(cr, k * 0.18 + (r % 2) * 0.09 - 0.04, 0.1 + r * 0.18, 0.07, 0.1 * kPi, 0.9 * kPi);
        stroke(cr, hex(0xb8a4e0), line);
      }
    for (double side = -1; side <= 1; side += 2) {
      cairo_new_path(cr);
      circle(cr, side * 0.3, -0.42, 0.27);
      paint_ball(cr, hex(0xfff2c8), line);
      eye(cr, side * 0.3, -0.42, 0.15);
      oval(cr, side * 0.62, 0.15, 0.16, 0.45, side * 0.2);
      paint(cr, dark(body, 0.1), line);
    }
    cairo_new_path(cr);
    poly(cr, {-0.09, -0.22, 0.09, -0.22, 0, -0.06});
    paint(cr, hex(0xffb02a), line);
    for (double fx : {-0.2, 0.2}) {
      cairo_new_path(cr);
      for (int k = -1; k <= 1; ++k) circle(cr, fx + k * 0.08, 0.9, 0.06);
      fill(cr, hex(0xffb02a));
    }
  });
}

void cottage(cairo_t* cr, double x, double y, double s, Col wall, Col roof) {
  cairo_new_path(cr);
  rounded(cr, x - s * 0.5, y - s * 0.7, s, s * 0.7, s * 0.05);
  paint(cr, wall, 3);
  poly(cr, {x - s * 0.62, y - s * 0.66, x, y - s * 1.15, x + s * 0.62, y - s * 0.66});
  paint(cr, roof, 3);
  rounded(cr, x - s * 0.32, y - s * 0.52, s * 0.22, s * 0.2, s * 0.03);
  rounded(cr, x + s * 0.1, y - s * 0.52, s * 0.22, s * 0.2, s * 0.03);
  fill(cr, hex(0xffe066));
  radial_glow(cr, x, y - s * 0.42, s * 0.7, hex(0xffe88a), 0.25);
}

// Fields seen from high up: strips running away towards the horizon, hedges with little trees
// between them, and a river winding through.
void patchwork(cairo_t* cr, gen::Rng& rng, double top) {
  const Col fields[] = {hex(0x9bd66a), hex(0xc9e27a), hex(0x7cc45a), hex(0xf2d66a), hex(0xa8dc88), hex(0xe8c46a)};
  const double vx = 512, vy = 330;
  const double rows[] = {top, top + 22, top + 50, top + 88, top + 140, top + 215, kHeight + 40};
  auto at_row = [&](double xb, double y) { return vx + (xb - vx) * (y - vy) / (kHeight - vy); };
  for (int r = 0; r < 6; ++r)
    for (int c = -6; c < 6; ++c) {
      double xb0 = vx + c * 230, xb1 = xb0 + 230, y0 = rows[r], y1 = rows[r + 1];
      auto quad = [&] {
        cairo_new_path(cr);
        poly(cr, {at_row(xb0, y0), y0, at_row(xb1, y0), y0, at_row(xb1, y1), y1, at_row(xb0, y1), y1});
      };
      Col col = fields[rng.between(0, 5)];
      quad();
      fill(cr, col);
      if (rng.uniform() < 0.5) {
        quad();
        clipped(cr, [&] {
          cairo_new_path(cr);
          for (double xb = xb0 + 20; xb < xb1; xb += 28) {
            cairo_move_to(cr, at_row(xb, y0), y0);
            cairo_line_to(cr, at_row(xb, y1), y1);
          }
          stroke(cr, dark(col, 0.12), 1.5 + r * 1.2);
        });
      }
      quad();
      stroke(cr, hex(0x4f9a4a), 2 + r * 1.5);
    }
  for (int r = 1; r < 6; ++r)
    for (double x = rng.range(-20, 40); x < kWidth; x += rng.range(60, 160) + r * 20) {
      double y = rows[r], s = 4 + r * 3.2;
      cairo_new_path(cr);
      circle(cr, x, y - s * 0.6, s);
      paint_ball(cr, hex(0x3f9a4a), 1.5 + r * 0.4);
    }
  cairo_new_path(cr);
  cairo_move_to(cr, 430, top - 2);
  cairo_curve_to(cr, 300, top + 60, 520, top + 120, 260, kHeight + 10);
  cairo_line_to(cr, 380, kHeight + 10);
  cairo_curve_to(cr, 600, top + 120, 340, top + 60, 440, top - 2);
  cairo_close_path(cr);
  paint(cr, hex(0x5ab8f0), 3);
  // A little red-roofed farm by the river.
  cairo_new_path(cr);
  rounded(cr, 640, 640, 60, 40, 4);
  paint(cr, hex(0xfff0d8), 3);
  poly(cr, {632, 644, 670, 612, 708, 644});
  paint(cr, hex(0xe8433a), 3);
}

void hot_air_balloon(cairo_t* cr, double x, double y, double r, const Col* stripes, int n, bool rider) {
  double line = std::max(2.0, r * 0.035);
  cairo_new_path(cr);
  double by = y + r * 1.55;
  cairo_move_to(cr, x - r * 0.45, y + r * 0.95);
  cairo_line_to(cr, x - r * 0.24, by);
  cairo_move_to(cr, x + r * 0.45, y + r * 0.95);
  cairo_line_to(cr, x + r * 0.24, by);
  stroke(cr, hex(0x6a4a3a), line);
  auto envelope = [&] {
    cairo_new_path(cr);
    cairo_move_to(cr, x, y - r);
    cairo_curve_to(cr, x + r * 1.35, y - r, x + r * 1.1, y + r * 0.45, x + r * 0.45, y + r * 0.95);
    cairo_line_to(cr, x - r * 0.45, y + r * 0.95);
    cairo_curve_to(cr, x - r * 1.1, y + r * 0.45, x - r * 1.35, y - r, x, y - r);
    cairo_close_path(cr);
  };
  envelope();
  paint_ball(cr, stripes[0], 0);
  envelope();
  clipped(cr, [&] {
    for (int i = 0; i < n * 4; ++i) {
      double a0 = -kPi / 2 + (i - 2 * n) * 0.11, a1 = a0 + 0.11;
      cairo_new_path(cr);
      cairo_move_to(cr, x, y + r * 2.6);
      cairo_line_to(cr, x + r * 4 * std::cos(a0), y + r * 2.6 + r * 4 * std::sin(a0));
      cairo_line_to(cr, x + r * 4 * std::cos(a1), y + r * 2.6 + r * 4 * std::sin(a1));
      cairo_close_path(cr);
      fill(cr, stripes[i % n]);
    }
    radial_glow(cr, x - r * 0.4, y - r * 0.4, r * 1.2, hex(0xfff8f0), 0.45);
    cairo_new_path(cr);
    oval(cr, x, y + r * 1.15, r * 1.6, r * 0.7);
    fill(cr, kInk, 0.12);
  });
  envelope();
  stroke(cr, ink_of(stripes[0]), line * 1.4);
  cairo_new_path(cr);
  rounded(cr, x - r * 0.5, y + r * 0.9, r, r * 0.12, r * 0.05);
  paint(cr, hex(0xd9a066), line);
  if (rider) {
    cairo_new_path(cr);
    cairo_move_to(cr, x + r * 0.12, by + r * 0.02);
    cairo_line_to(cr, x + r * 0.36, by - r * 0.3);
    stroke(cr, ink_of(hex(0xffd0ad)), r * 0.09);
    stroke(cr, hex(0xffd0ad), r * 0.06);
    cairo_new_path(cr);
    circle(cr, x + r * 0.37, by - r * 0.32, r * 0.05);
    paint_ball(cr, hex(0xffd0ad), line * 0.7);
    kid(cr, x - r * 0.04, by - r * 0.14, r * 0.19, hex(0xffd0ad), hex(0xd9603a), 1);
  }
  cairo_new_path(cr);
  cairo_move_to(cr, x - r * 0.3, by);
  cairo_line_to(cr, x + r * 0.3, by);
  cairo_line_to(cr, x + r * 0.24, by + r * 0.36);
  cairo_line_to(cr, x - r * 0.24, by + r * 0.36);
  cairo_close_path(cr);
  paint(cr, hex(0xc98a4a), line);
  for (int i = 1; i < 3; ++i) {
    cairo_move_to(cr, x - r * 0.28, by + i * r * 0.12);
    cairo_line_to(cr, x + r * 0.28, by + i * r * 0.12);
  }
  stroke(cr, hex(0x9a6232), line);
  cairo_new_path(cr);
}

void planet(cairo_t* cr, double x, double y, double r, Col c, bool ring) {
  if (ring) {
    cairo_new_path(cr);
    oval(cr, x, y, r * 1.8, r * 0.45, -0.3);
    stroke(cr, ink_of(hex(0xffd98a)), r * 0.22);
    stroke(cr, hex(0xffd98a), r * 0.14);
  }
  cairo_new_path(cr);
  circle(cr, x, y, r);
  paint_ball(cr, c, std::max(3.0, r * 0.05));
  circle(cr, x, y, r * 0.96);
  clipped(cr, [&] {
    for (int i = 0; i < 3; ++i) {
      cairo_new_path(cr);
      oval(cr, x - r * 0.2 + i * r * 0.3, y - r * 0.3 + i * r * 0.35, r * 0.7, r * 0.12, -0.3);
      fill(cr, light(c, 0.3), 0.6);
    }
  });
  if (ring) {
    // The near half of the ring passes in front of the planet.
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, -0.3);
    cairo_new_path(cr);
    cairo_rectangle(cr, -r * 2, 0, r * 4, r);
    cairo_restore(cr);
    clipped(cr, [&] {
      cairo_new_path(cr);
      oval(cr, x, y, r * 1.8, r * 0.45, -0.3);
      stroke(cr, ink_of(hex(0xffd98a)), r * 0.22);
      stroke(cr, hex(0xffd98a), r * 0.14);
    });
  }
}
}  // namespace

void night(cairo_t* cr, gen::Rng& rng) {
  vgrad_rect(cr, 0, 0, kWidth, kHeight, hex(0x1c2360), hex(0x3a4a9e));
  for (int i = 0; i < 90; ++i) {
    cairo_new_path(cr);
    circle(cr, rng.range(0, kWidth), rng.range(0, 560), rng.range(1.5, 3.5));
    fill(cr, hex(0xfff6d0), rng.range(0.5, 0.95));
  }
  for (int i = 0; i < 22; ++i) {
    double x = rng.range(20, kWidth - 20), y = rng.range(20, 500);
    if (std::hypot(x - 760, y - 190) < 170) continue;
    if (i % 2)
      star(cr, x, y, rng.range(12, 22), hex(0xffe066), rng.range(-0.3, 0.3));
    else
      twinkle(cr, x, y, rng.range(10, 18), hex(0xfff6d0));
  }
  star(cr, 440, 64, 18, hex(0xffe066), 0.2);
  twinkle(cr, 500, 100, 14, hex(0xfff6d0));
  radial_glow(cr, 760, 190, 230, hex(0xfff2b0), 0.35);
  moon(cr, 760, 190, 120, hex(0xffe07a));
  sleepy_eye(cr, 700, 170, 26);
  smile(cr, 702, 230, 26, 5);
  cheek(cr, 680, 206, 14);
  cloud(cr, 170, 130, 90, hex(0x6f7cc8));
  cloud(cr, 880, 330, 80, hex(0x6f7cc8));
  cloud(cr, 450, 290, 60, hex(0x6f7cc8));
  ground(cr, 540, 30, 900, 0.5, hex(0x34508f), hex(0x2a3f7a), 4);
  cottage(cr, 640, 540, 70, hex(0xf2a6a0), hex(0x8a4a6a));
  cottage(cr, 760, 528, 60, hex(0xa6c8f2), hex(0x5a4a8a));
  cottage(cr, 870, 548, 76, hex(0xf2d9a0), hex(0x8a4a5a));
  for (int i = 0; i < 5; ++i) pine(cr, 380 + i * 50, 566 - (i % 2) * 10, 70, hex(0x2a5a6a));
  ground(cr, 620, 18, 700, 2.0, hex(0x2c6a6a), hex(0x21505a), 4);
  // Tree with the owl on the left.
  cairo_new_path(cr);
  cairo_move_to(cr, 70, 780);
  cairo_curve_to(cr, 90, 600, 80, 450, 60, 300);
  cairo_line_to(cr, 130, 300);
  cairo_curve_to(cr, 140, 450, 150, 600, 180, 780);
  cairo_close_path(cr);
  paint(cr, hex(0x5a3f5a), 4);
  cairo_new_path(cr);
  cairo_move_to(cr, 110, 420);
  cairo_line_to(cr, 330, 400);
  thick_line(cr, hex(0x5a3f5a), 22, 4);
  const double leaves[] = {40, 250, 110, 150, 220, 90, 250, 190, 80, 60, 320, 70, -20, 340, 80};
  cluster(cr, leaves, 5, hex(0x2f6a5a), 4);
  owl(cr, 250, 340, 64);
  for (int i = 0; i < 26; ++i) {
    double x = rng.range(0, kWidth), y = rng.range(600, 760);
    radial_glow(cr, x, y, 16, hex(0xf6ff8a), 0.6);
    cairo_new_path(cr);
    circle(cr, x, y, 3.5);
    fill(cr, hex(0xfaffc0));
  }
  for (int i = 0; i < 30; ++i) grass_tuft(cr, rng.range(0, kWidth), rng.range(650, 770), rng.range(20, 34), hex(0x2a7a6a));
}

void rainbow(cairo_t* cr, gen::Rng& rng) {
  vgrad_rect(cr, 0, 0, kWidth, kHeight, hex(0x8ed8ff), hex(0xe8f8ff));
  const Col bands[] = {hex(0xff4f5a), hex(0xff9a3a), hex(0xffe04a), hex(0x5fd05a), hex(0x4aa8ff), hex(0x6a6aff), hex(0xb07cff)};
  for (int i = 0; i < 7; ++i) {
    cairo_new_path(cr);
    cairo_arc(cr, 512, 700, 560 - i * 40, kPi, 2 * kPi);
    stroke(cr, bands[i], 40);
  }
  cairo_new_path(cr);
  cairo_arc(cr, 512, 700, 581, kPi, 2 * kPi);
  stroke(cr, light(bands[0], 0.3), 3);
  cloud(cr, 90, 600, 150);
  cloud(cr, 934, 600, 150);
  cloud(cr, 512, 130, 80);
  cloud(cr, 80, 70, 60);
  sun(cr, 860, 90, 46);
  ground(cr, 660, 20, 800, 0.5, hex(0x8ad862), hex(0x62bb4c), 4);
  grass_field(cr, rng, -10, kWidth + 10, 680, 768, 26, hex(0x62bb4c));
  const Col cols[] = {hex(0xff6f91), hex(0xffd23f), hex(0xfff6fa), hex(0xb58cff), hex(0xff9a3a)};
  for (int i = 0; i < 20; ++i) flower(cr, rng.range(10, kWidth - 10), rng.range(690, 760), rng.range(11, 16), cols[i % 5]);
  const Col balloons[] = {hex(0xff4f6d), hex(0xffc83a), hex(0x4aa8ff), hex(0x5fd05a), hex(0xb07cff), hex(0xff8a3a),
                          hex(0xff8fc0), hex(0x3fd0c8)};
  const double spots[][3] = {{130, 230, 46}, {250, 140, 40}, {380, 300, 52}, {330, 470, 44}, {520, 380, 56},
                             {650, 250, 44}, {720, 430, 50}, {880, 260, 46}, {170, 420, 40}, {460, 530, 36},
                             {950, 470, 36}, {450, 180, 34}};
  for (int i = 0; i < 3; ++i) bird_v(cr, 640 + i * 40, 40 + (i % 2) * 20, 14, hex(0x4a5a7a));
  for (int i = 0; i < 12; ++i)
    balloon(cr, spots[i][0], spots[i][1], spots[i][2], balloons[i % 8], 110 + (i % 3) * 20);
  for (int i = 0; i < 4; ++i) heart(cr, rng.range(60, 960), rng.range(40, 560), 26, hex(0xff8fb1));
}

void balloon_ride(cairo_t* cr, gen::Rng& rng) {
  vgrad_rect(cr, 0, 0, kWidth, 560, hex(0x6cc4f6), hex(0xffd9b4));
  cloud(cr, 160, 120, 110, hex(0xfff4f0));
  cloud(cr, 880, 200, 90, hex(0xfff4f0));
  cloud(cr, 560, 460, 80, hex(0xfff4f0));
  ground(cr, 520, 10, 600, 0.3, hex(0x8fb8e0), hex(0x8fb8e0), 0);
  for (int i = 0; i < 6; ++i) {
    cairo_new_path(cr);
    double x = i * 200 - 40;
    cairo_move_to(cr, x - 140, 560);
    cairo_curve_to(cr, x - 60, 500, x + 60, 500, x + 140, 560);
    cairo_close_path(cr);
    fill(cr, hex(0x8fc0e6));
  }
  patchwork(cr, rng, 548);
  const Col s1[] = {hex(0xff4f5a), hex(0xffd23f), hex(0x4aa8ff), hex(0x5fd05a)};
  const Col s2[] = {hex(0xb07cff), hex(0xfff2f8)};
  const Col s3[] = {hex(0xff8a3a), hex(0xfff0b0)};
  const Col s4[] = {hex(0x3fd0c8), hex(0xff8fc0)};
  hot_air_balloon(cr, 150, 330, 56, s2, 2, false);
  hot_air_balloon(cr, 860, 420, 46, s3, 2, false);
  hot_air_balloon(cr, 780, 90, 36, s4, 2, false);
  hot_air_balloon(cr, 960, 290, 30, s1, 2, false);
  hot_air_balloon(cr, 320, 440, 22, s3, 2, false);
  hot_air_balloon(cr, 700, 400, 20, s2, 2, false);
  cloud(cr, 960, 40, 50, hex(0xfff4f0));
  hot_air_balloon(cr, 500, 200, 170, s1, 4, true);
  for (int i = 0; i < 3; ++i) bird_v(cr, 300 + i * 40, 70 + (i % 2) * 20, 14, hex(0x4a4a6a));
}

void rocket(cairo_t* cr, gen::Rng& rng) {
  vgrad_rect(cr, 0, 0, kWidth, kHeight, hex(0x2a1a66), hex(0x4a2080));
  radial_glow(cr, 250, 560, 380, hex(0xd04ac0), 0.35);
  radial_glow(cr, 820, 200, 330, hex(0x3ac0d0), 0.3);
  for (int i = 0; i < 120; ++i) {
    cairo_new_path(cr);
    circle(cr, rng.range(0, kWidth), rng.range(0, kHeight), rng.range(1.2, 3.2));
    fill(cr, hex(0xfff6e0), rng.range(0.5, 0.95));
  }
  for (int i = 0; i < 16; ++i)
    twinkle(cr, rng.range(20, kWidth - 20), rng.range(20, kHeight - 20), rng.range(8, 16), hex(0xfff2c0));
  planet(cr, 170, 150, 80, hex(0xff9a4a), true);
  planet(cr, 880, 640, 110, hex(0x4ab0ff), false);
  cairo_new_path(cr);
  circle(cr, 880, 640, 106);
  clipped(cr, [&] {
    const double land[] = {806, 600, 32, 964, 704, 38, 948, 566, 26, 836, 726, 26};
    for (int i = 0; i < 4; ++i) {
      cairo_new_path(cr);
      circle(cr, land[3 * i], land[3 * i + 1], land[3 * i + 2]);
      paint_ball(cr, hex(0x5fd05a), 3);
    }
  });
  eye(cr, 850, 630, 12);
  eye(cr, 910, 630, 12);
  smile(cr, 880, 672, 26, 4);
  planet(cr, 110, 650, 40, hex(0xff6fa8), false);
  planet(cr, 640, 90, 30, hex(0xffd23f), false);
  planet(cr, 820, 330, 36, hex(0x5ae0b0), false);
  planet(cr, 420, 60, 18, hex(0xff8a5a), false);
  const double bright[][2] = {{830, 40}, {960, 180}, {960, 440}, {170, 440}, {190, 300}, {700, 300}, {560, 250}, {60, 60}};
  for (const auto& b : bright) star(cr, b[0], b[1], 14, hex(0xfff0a0), b[0] * 0.01);
  // A comet.
  cairo_new_path(cr);
  poly(cr, {716, 676, 728, 704, 520, 760});
  cairo_pattern_t* tail = cairo_pattern_create_linear(720, 690, 520, 760);
  cairo_pattern_add_color_stop_rgba(tail, 0, 0.85, 0.95, 1.0, 0.95);
  cairo_pattern_add_color_stop_rgba(tail, 1, 0.85, 0.95, 1.0, 0.0);
  cairo_set_source(cr, tail);
  cairo_fill(cr);
  cairo_pattern_destroy(tail);
  cairo_new_path(cr);
  circle(cr, 722, 690, 15);
  paint_ball(cr, hex(0xe8f8ff), 3);

  // The rocket, heading up and to the right, with a trail of puffs.
  at(cr, 480, 400, 1, 0.55, [&] {
    for (int i = 0; i < 6; ++i) {
      cairo_new_path(cr);
      circle(cr, rng.range(-20, 20), 250 + i * 60, 30 + i * 8);
      fill(cr, hex(0xe8dcff), 0.8 - i * 0.1);
    }
    cairo_new_path(cr);
    cairo_move_to(cr, -50, 180);
    cairo_curve_to(cr, -40, 240, -10, 290, 0, 320);
    cairo_curve_to(cr, 10, 290, 40, 240, 50, 180);
    cairo_close_path(cr);
    paint_ball(cr, hex(0xff8a2a), 4);
    cairo_move_to(cr, -28, 180);
    cairo_curve_to(cr, -20, 220, -6, 250, 0, 268);
    cairo_curve_to(cr, 6, 250, 20, 220, 28, 180);
    cairo_close_path(cr);
    paint_ball(cr, hex(0xffe066), 0);
    for (double side = -1; side <= 1; side += 2) {
      cairo_new_path(cr);
      cairo_move_to(cr, side * 70, 60);
      cairo_curve_to(cr, side * 130, 110, side * 140, 170, side * 136, 200);
      cairo_line_to(cr, side * 70, 170);
      cairo_close_path(cr);
      paint(cr, hex(0xf0303a), 5);
    }
    cairo_new_path(cr);
    rounded(cr, -56, 160, 112, 34, 10);
    paint(cr, hex(0x8a8aa8), 4);
    cairo_move_to(cr, 0, -250);
    cairo_curve_to(cr, 90, -170, 100, -60, 86, 170);
    cairo_line_to(cr, -86, 170);
    cairo_curve_to(cr, -100, -60, -90, -170, 0, -250);
    cairo_close_path(cr);
    paint_ball(cr, hex(0xf4f2fa), 5);
    cairo_move_to(cr, 0, -250);
    cairo_curve_to(cr, 44, -210, 62, -170, 70, -140);
    cairo_line_to(cr, -70, -140);
    cairo_curve_to(cr, -62, -170, -44, -210, 0, -250);
    cairo_close_path(cr);
    paint(cr, hex(0xf0303a), 5);
    circle(cr, 0, -40, 56);
    paint_ball(cr, hex(0xffc83a), 5);
    circle(cr, 0, -40, 42);
    paint(cr, hex(0x9fe0ff), 4);
    cairo_save(cr);
    cairo_new_path(cr);
    circle(cr, 0, -40, 40);
    cairo_clip(cr);
    cairo_rotate(cr, -0.55);
    cairo_new_path(cr);
    circle(cr, 0, -30, 26);
    paint_ball(cr, hex(0xffd0ad), 3);
    eye(cr, -9, -32, 4.5);
    eye(cr, 9, -32, 4.5);
    smile(cr, 0, -18, 10, 2.5);
    cairo_new_path(cr);
    circle(cr, 0, -30, 36);
    stroke(cr, hex(0xe0f4ff), 5);
    cairo_restore(cr);
    cairo_new_path(cr);
    oval(cr, -20, -58, 12, 7, -0.6);
    fill(cr, kSnow, 0.7);
    circle(cr, 0, 70, 16);
    circle(cr, 0, 116, 12);
    paint_ball(cr, hex(0x4aa8ff), 3.5);
    cairo_new_path(cr);
    rounded(cr, -10, 130, 20, 60, 8);
    paint(cr, hex(0xf0303a), 4);
  });
  star(cr, 300, 320, 24, hex(0xffe066), 0.2);
  star(cr, 720, 520, 20, hex(0xffe066), -0.2);
}

}  // namespace pk::pics
