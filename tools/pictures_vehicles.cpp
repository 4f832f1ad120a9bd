// Vehicles: the fire engine in town, the steam train through the lavender, the sailing boat,
// the bus full of children.
#include <cmath>

#include "tools/picture_kit.hpp"

namespace pk::pics {

namespace {

void building(cairo_t* cr, double x, double top, double w, double base, Col c, Col glass) {
  cairo_new_path(cr);
  rounded(cr, x, top, w, base - top + 10, 8);
  paint(cr, c, 4);
  rounded(cr, x - 6, top - 8, w + 12, 20, 6);
  paint(cr, dark(c, 0.15), 4);
  for (double wy = top + 30; wy < base - 50; wy += 62)
    for (double wx = x + 18; wx + 36 <= x + w - 10; wx += 54) {
      cairo_new_path(cr);
      rounded(cr, wx, wy, 36, 40, 6);
      paint(cr, glass, 3);
      poly(cr, {wx + 6, wy + 6, wx + 18, wy + 6, wx + 6, wy + 22});
      fill(cr, kSnow, 0.6);
    }
}

void cone(cairo_t* cr, double x, double y, double s) {
  cairo_new_path(cr);
  rounded(cr, x - s * 0.6, y - s * 0.14, s * 1.2, s * 0.16, s * 0.05);
  paint(cr, hex(0xff7a1a), 3);
  poly(cr, {x - s * 0.4, y - s * 0.12, x - s * 0.1, y - s, x + s * 0.1, y - s, x + s * 0.4, y - s * 0.12});
  paint(cr, hex(0xff8a2a), 3);
  poly(cr, {x - s * 0.3, y - s * 0.38, x - s * 0.2, y - s * 0.62, x + s * 0.2, y - s * 0.62, x + s * 0.3, y - s * 0.38});
  fill(cr, kSnow);
}

void hydrant(cairo_t* cr, double x, double y) {
  cairo_new_path(cr);
  rounded(cr, x - 26, y - 70, 52, 70, 10);
  paint(cr, hex(0xf0303a), 4);
  cairo_arc(cr, x, y - 70, 26, kPi, 2 * kPi);
  cairo_close_path(cr);
  paint(cr, hex(0xf0303a), 4);
  rounded(cr, x - 40, y - 52, 80, 18, 8);
  paint(cr, hex(0xffd23f), 4);
  rounded(cr, x - 34, y - 8, 68, 14, 5);
  paint(cr, hex(0xffd23f), 4);
}

void rail_track(cairo_t* cr, double y) {
  cairo_new_path(cr);
  rounded(cr, -10, y, kWidth + 20, 34, 8);
  paint(cr, hex(0xb7aacb), 3);
  for (int x = 0; x < kWidth + 40; x += 44) {
    cairo_new_path(cr);
    rounded(cr, x - 8, y - 6, 30, 22, 4);
    paint(cr, hex(0x9a6a4a), 3);
  }
  cairo_new_path(cr);
  rounded(cr, -10, y - 12, kWidth + 20, 12, 4);
  paint(cr, hex(0x8a8aa0), 3);
}

void lavender(cairo_t* cr, double x, double y, double size, Col c) {
  cairo_new_path(cr);
  for (int k = -2; k <= 2; ++k) {
    cairo_move_to(cr, x, y);
    cairo_line_to(cr, x + k * size * 0.45, y - size * (2.2 - std::abs(k) * 0.4));
  }
  stroke(cr, hex(0x4f8a4a), std::max(1.5, size * 0.14));
  cairo_new_path(cr);
  for (int k = -2; k <= 2; ++k) {
    double tx = x + k * size * 0.45, ty = y - size * (2.2 - std::abs(k) * 0.4);
    for (int d = 0; d < 4; ++d) circle(cr, tx + k * d * 0.4, ty - d * size * 0.38, size * 0.26);
  }
  fill(cr, c);
}

void carriage(cairo_t* cr, double x, double y, Col c, int who) {
  const double w = 230, h = 130;
  cairo_new_path(cr);
  rounded(cr, x - 14, y + h - 10, w + 28, 20, 6);
  paint(cr, hex(0x4a4658), 3);
  wheel(cr, x + 50, y + h + 22, 28, hex(0xd0d4e4));
  wheel(cr, x + w - 50, y + h + 22, 28, hex(0xd0d4e4));
  cairo_new_path(cr);
  rounded(cr, x, y, w, h, 18);
  paint(cr, c, 5);
  rounded(cr, x - 8, y - 16, w + 16, 26, 12);
  paint(cr, dark(c, 0.25), 4);
  const Col skins[] = {hex(0xffd6b8), hex(0xc98a5a), hex(0xf2c29a), hex(0x8a5a3a)};
  const Col hairs[] = {hex(0x6a3a2a), hex(0x2f2838), hex(0xf2b33a), hex(0xd9603a)};
  for (int i = 0; i < 3; ++i) {
    double wx = x + 16 + i * 72;
    cairo_new_path(cr);
    rounded(cr, wx, y + 20, 56, 62, 10);
    paint(cr, hex(0xc9efff), 3);
    int k = (who + i) % 4;
    cairo_save(cr);
    cairo_new_path(cr);
    rounded(cr, wx, y + 20, 56, 62, 10);
    cairo_clip(cr);
    kid(cr, wx + 28, y + 58, 21, skins[k], hairs[k], (who + i) % 3);
    cairo_restore(cr);
  }
  cairo_new_path(cr);
  rounded(cr, x + 8, y + 96, w - 16, 12, 6);
  fill(cr, light(c, 0.4));
}

void boat_sail(cairo_t* cr, std::initializer_list<double> pts, Col base, Col stripe) {
  cairo_new_path(cr);
  poly(cr, pts);
  paint(cr, base, 5);
  poly(cr, pts);
  clipped(cr, [&] {
    for (int i = 0; i < 6; ++i) {
      cairo_new_path(cr);
      cairo_rectangle(cr, 0, 160 + i * 60, kWidth, 24);
      fill(cr, stripe, 0.9);
    }
  });
}

void dolphin(cairo_t* cr, double x, double y, double s, double angle) {
  at(cr, x, y, s, angle, [&] {
    const Col skin = hex(0x7aa6d8);
    double line = 3.5 / s;
    cairo_new_path(cr);
    poly(cr, {-0.1, -0.38, 0.15, -0.75, 0.3, -0.36});
    paint(cr, skin, line);
    cairo_move_to(cr, -1.0, 0.05);
    cairo_curve_to(cr, -0.7, -0.45, 0.4, -0.5, 0.95, -0.05);
    cairo_line_to(cr, 1.25, 0.0);
    cairo_curve_to(cr, 1.2, 0.08, 1.05, 0.12, 0.9, 0.12);
    cairo_curve_to(cr, 0.5, 0.35, -0.3, 0.4, -0.75, 0.15);
    cairo_line_to(cr, -1.25, 0.4);
    cairo_line_to(cr, -1.1, 0.05);
    cairo_line_to(cr, -1.3, -0.25);
    cairo_close_path(cr);
    paint_ball(cr, skin, line);
    cairo_move_to(cr, -0.5, 0.2);
    cairo_curve_to(cr, 0.0, 0.34, 0.6, 0.24, 0.9, 0.1);
    stroke(cr, light(skin, 0.5), line * 1.5);
    cairo_new_path(cr);
    eye(cr, 0.6, -0.1, 0.08);
    smile(cr, 0.95, 0.12, 0.12, line);
  });
}
}  // namespace

void fire_engine(cairo_t* cr, gen::Rng& rng) {
  vgrad_rect(cr, 0, 0, kWidth, 440, hex(0x8fd4ff), hex(0xe4f6ff));
  cloud(cr, 160, 70, 80);
  cloud(cr, 620, 50, 70);
  cloud(cr, 860, 44, 64);
  for (int i = 0; i < 3; ++i) bird_v(cr, 400 + i * 42, 50 + (i % 2) * 20, 15, hex(0x4a4a6a));
  const Col walls[] = {hex(0xe8735a), hex(0xf2a65a), hex(0xd9605a), hex(0xf0c05a), hex(0xe88a7a)};
  const double tops[] = {150, 210, 120, 190, 140, 230, 160, 110};
  for (int i = 0; i < 8; ++i) building(cr, -30 + i * 134, tops[i], 124, 440, walls[i % 5], hex(0xbfe8ff));
  vgrad_rect(cr, 0, 430, kWidth, 60, hex(0xeadfd2), hex(0xd9ccbf));
  for (int x = 0; x < kWidth; x += 96) {
    cairo_new_path(cr);
    cairo_move_to(cr, x, 432);
    cairo_line_to(cr, x - 20, 488);
    stroke(cr, hex(0xc4b6a8), 3);
  }
  vgrad_rect(cr, 0, 488, kWidth, 280, hex(0x8b879e), hex(0x6c6884));
  cairo_new_path(cr);
  rounded(cr, -10, 484, kWidth + 20, 14, 4);
  paint(cr, hex(0xb8b0c4), 3);
  for (int x = 20; x < kWidth; x += 150) {
    cairo_new_path(cr);
    rounded(cr, x, 690, 90, 14, 7);
    fill(cr, hex(0xfff2b0));
  }
  dots(cr, rng, 0, 500, kWidth, 768, 60, 2, 4, hex(0x5a5670), 0.5);
  for (double mx : {300.0, 720.0}) {
    cairo_new_path(cr);
    oval(cr, mx, 736, 58, 16);
    paint(cr, hex(0x7a7690), 3);
    for (int i = -2; i <= 2; ++i) {
      cairo_move_to(cr, mx + i * 18, 724 + std::abs(i) * 2);
      cairo_line_to(cr, mx + i * 18, 748 - std::abs(i) * 2);
    }
    stroke(cr, hex(0x5a5670), 3);
    cairo_new_path(cr);
  }
  hydrant(cr, 960, 492);

  // The engine, facing right.
  const Col red = hex(0xe8262f), steel = hex(0xd4d9e6);
  shadow(cr, 530, 664, 420, 28, 0.25);
  cairo_new_path(cr);
  rounded(cr, 120, 330, 600, 260, 22);
  paint(cr, red, 5);
  for (int i = 0; i < 2; ++i) {
    double sx = 150 + i * 190;
    cairo_new_path(cr);
    rounded(cr, sx, 360, 170, 140, 12);
    paint(cr, steel, 4);
    for (int k = 1; k < 7; ++k) {
      cairo_move_to(cr, sx + 6, 360 + k * 20);
      cairo_line_to(cr, sx + 164, 360 + k * 20);
    }
    stroke(cr, hex(0xa8aec0), 3);
    cairo_new_path(cr);
    rounded(cr, sx + 70, 478, 30, 10, 5);
    fill(cr, hex(0x7a8098));
  }
  cairo_new_path(cr);
  circle(cr, 620, 430, 62);
  paint_ball(cr, hex(0xc92028), 4);
  cairo_new_path(cr);
  for (double t = 0; t < 4 * 2 * kPi; t += 0.12) {
    double rr = 52 - t * 1.6;
    cairo_line_to(cr, 620 + rr * std::cos(t), 430 + rr * std::sin(t));
  }
  stroke(cr, hex(0xf5e3b0), 7);
  cairo_new_path(cr);
  circle(cr, 620, 430, 12);
  paint_ball(cr, steel, 3);
  // Cab.
  cairo_new_path(cr);
  cairo_move_to(cr, 700, 590);
  cairo_line_to(cr, 700, 310);
  cairo_curve_to(cr, 700, 296, 710, 290, 724, 290);
  cairo_line_to(cr, 830, 290);
  cairo_curve_to(cr, 860, 290, 880, 330, 890, 390);
  cairo_line_to(cr, 900, 560);
  cairo_curve_to(cr, 900, 580, 890, 590, 870, 590);
  cairo_close_path(cr);
  paint(cr, red, 5);
  cab_window(cr, {.left = 722, .top = 314, .top_right = 826,
                  .c1x = 846, .c1y = 314, .c2x = 860, .c2y = 346, .front = 866, .bottom = 410,
                  .clip_x = 722, .clip_y = 300, .clip_w = 150, .clip_h = 110,
                  .child_x = 784, .child_y = 378, .child_r = 36, .skin = hex(0xffd6b8), .hair = hex(0xffd23f)});
  cairo_new_path(cr);
  poly(cr, {732, 320, 770, 320, 730, 370});
  fill(cr, kSnow, 0.5);
  rounded(cr, 736, 440, 24, 10, 5);
  fill(cr, hex(0x7a1a20));
  rounded(cr, 720, 270, 100, 26, 10);
  paint(cr, hex(0x3d7bf0), 4);
  for (double lx : {742.0, 798.0}) {
    cairo_new_path(cr);
    cairo_arc(cr, lx, 272, 18, kPi, 2 * kPi);
    cairo_close_path(cr);
    paint_ball(cr, hex(0x5ab4ff), 3);
  }
  cairo_new_path(cr);
  circle(cr, 886, 500, 20);
  paint_ball(cr, hex(0xffe066), 4);
  cairo_new_path(cr);
  rounded(cr, 100, 540, 820, 30, 12);
  paint(cr, steel, 4);
  rounded(cr, 120, 506, 600, 18, 6);
  paint(cr, hex(0xffd23f), 3);
  // Ladder on the roof.
  for (double y : {294.0, 318.0}) {
    cairo_new_path(cr);
    rounded(cr, 150, y, 560, 12, 6);
    paint(cr, steel, 3);
  }
  for (int i = 0; i < 14; ++i) {
    cairo_new_path(cr);
    cairo_move_to(cr, 170 + i * 38, 300);
    cairo_line_to(cr, 170 + i * 38, 326);
    stroke(cr, hex(0x9aa0b4), 6);
  }
  cairo_new_path(cr);
  rounded(cr, 300, 326, 22, 12, 4);
  rounded(cr, 560, 326, 22, 12, 4);
  fill(cr, hex(0x7a8098));
  for (double wx : {250.0, 440.0, 790.0}) {
    cairo_new_path(cr);
    cairo_arc(cr, wx, 600, 84, kPi, 2 * kPi);
    cairo_close_path(cr);
    fill(cr, hex(0x5a1a24));
    wheel(cr, wx, 600, 72, steel);
  }
  cone(cr, 70, 740, 70);
  cone(cr, 960, 750, 64);
}

void train(cairo_t* cr, gen::Rng& rng) {
  vgrad_rect(cr, 0, 0, kWidth, 460, hex(0xffc6df), hex(0xe4d6ff));
  radial_glow(cr, 820, 170, 160, hex(0xfff1b8), 0.8);
  cairo_new_path(cr);
  circle(cr, 820, 170, 64);
  fill(cr, hex(0xffe9a8));
  cloud(cr, 150, 80, 80, hex(0xfff2f8));
  cloud(cr, 950, 56, 64, hex(0xfff2f8));
  for (int i = 0; i < 3; ++i) bird_v(cr, 640 + i * 44, 50 + (i % 2) * 22, 15, hex(0x6a4a8a));
  // Mountains with snowy tops.
  const double peaks[][3] = {{140, 200, 230}, {420, 150, 260}, {700, 230, 230}, {980, 180, 250}};
  const Col hills[] = {hex(0xa58be0), hex(0x9076d4), hex(0xb09ae6), hex(0x977ed8)};
  for (int i = 0; i < 4; ++i) {
    double px = peaks[i][0], py = peaks[i][1], half = peaks[i][2];
    cairo_new_path(cr);
    cairo_move_to(cr, px - half * 1.4, 470);
    cairo_curve_to(cr, px - half * 0.6, py + 120, px - 40, py, px, py);
    cairo_curve_to(cr, px + 40, py, px + half * 0.6, py + 120, px + half * 1.4, 470);
    cairo_close_path(cr);
    paint(cr, hills[i], 4);
    cairo_new_path(cr);
    cairo_move_to(cr, px, py);
    cairo_curve_to(cr, px - 40, py, px - half * 0.6, py + 120, px - half * 1.4, 470);
    cairo_line_to(cr, px - half * 0.3, 470);
    cairo_curve_to(cr, px - half * 0.2, py + 160, px - 10, py + 60, px, py);
    cairo_close_path(cr);
    fill(cr, light(hills[i], 0.3), 0.6);
    for (int k = 0; k < 3; ++k) {
      double tx = px + half * (0.3 + 0.25 * k), ty = py + 150 + k * 60;
      if (ty < 440) pine(cr, tx, ty, 40, hex(0x6a58b8));
    }
    cairo_new_path(cr);
    cairo_move_to(cr, px - 64, py + 50);
    cairo_curve_to(cr, px - 40, py + 12, px - 20, py, px, py);
    cairo_curve_to(cr, px + 20, py, px + 40, py + 12, px + 64, py + 50);
    cairo_line_to(cr, px + 40, py + 64);
    cairo_line_to(cr, px + 20, py + 48);
    cairo_line_to(cr, px, py + 66);
    cairo_line_to(cr, px - 24, py + 46);
    cairo_line_to(cr, px - 42, py + 64);
    cairo_close_path(cr);
    paint(cr, hex(0xf8f4ff), 3);
  }
  // Lavender field in rows.
  ground(cr, 430, 10, 1000, 0.6, hex(0x8fc56a), hex(0x6aa456), 4);
  for (int row = 0; row < 7; ++row) {
    double y = 452 + row * row * 2.6 + row * 8;
    double size = 6 + row * 2.2;
    for (double x = rng.range(-10, 10); x < kWidth + 20; x += size * 3.2)
      lavender(cr, x + rng.range(-3, 3), y, size, row % 2 ? hex(0x9a6ae0) : hex(0xa97ae8));
  }
  rail_track(cr, 612);

  // Engine, facing right, with smoke rising behind it.
  const Col blue = hex(0x3d7bf0), red = hex(0xe8433a);
  const double smoke[][3] = {{800, 296, 40}, {740, 236, 56}, {640, 180, 70}, {500, 140, 84}, {340, 110, 90}};
  for (const auto& p : smoke) cloud(cr, p[0], p[1], p[2], hex(0xfbf6ff));
  cairo_new_path(cr);
  rounded(cr, 550, 540, 344, 40, 10);
  paint(cr, hex(0x4a4658), 4);
  for (double wx : {610.0, 700.0, 790.0}) wheel(cr, wx, 574, 40, hex(0xff5a5a));
  wheel(cr, 868, 586, 26, hex(0xff5a5a));
  cairo_new_path(cr);
  rounded(cr, 600, 566, 200, 14, 7);
  paint(cr, hex(0xd0d4e4), 3);
  rounded(cr, 640, 420, 230, 124, 46);
  paint(cr, blue, 5);
  for (int i = 0; i < 3; ++i) {
    cairo_new_path(cr);
    rounded(cr, 690 + i * 58, 420, 14, 124, 4);
    fill(cr, hex(0xffd23f));
  }
  cairo_new_path(cr);
  rounded(cr, 778, 344, 48, 82, 8);
  paint(cr, hex(0x3a3650), 4);
  rounded(cr, 766, 330, 72, 22, 9);
  paint(cr, hex(0x3a3650), 4);
  cairo_arc(cr, 720, 422, 26, kPi, 2 * kPi);
  cairo_close_path(cr);
  paint(cr, hex(0xffc83a), 4);
  poly(cr, {866, 530, 910, 580, 866, 580});
  paint(cr, red, 4);
  circle(cr, 872, 458, 16);
  paint_ball(cr, hex(0xffe066), 3);
  cairo_new_path(cr);
  rounded(cr, 540, 330, 130, 214, 14);
  paint(cr, red, 5);
  rounded(cr, 526, 312, 158, 30, 12);
  paint(cr, hex(0x3a3650), 4);
  rounded(cr, 562, 360, 86, 80, 10);
  paint(cr, hex(0xc9efff), 4);
  cairo_save(cr);
  cairo_new_path(cr);
  rounded(cr, 562, 360, 86, 80, 10);
  cairo_clip(cr);
  kid(cr, 606, 412, 30, hex(0xf2c29a), hex(0x3d7bf0), 2);
  cairo_restore(cr);
  carriage(cr, 290, 414, hex(0xffc83a), 0);
  carriage(cr, 30, 414, hex(0x4cc26a), 1);
  cairo_new_path(cr);
  rounded(cr, 0, 520, 40, 12, 5);
  rounded(cr, 256, 520, 40, 12, 5);
  rounded(cr, 516, 520, 30, 12, 5);
  fill(cr, hex(0x4a4658));
  // Lavender in front of the track.
  for (int row = 0; row < 3; ++row)
    for (double x = rng.range(-20, 0) + row * 18; x < kWidth + 30; x += 62)
      lavender(cr, x + rng.range(-6, 6), 700 + row * 34, 24 + row * 3, row % 2 ? hex(0x9a6ae0) : hex(0xb084ee));
  butterfly(cr, 140, 660, 30, hex(0xffd23f), hex(0xff8a3a), 0.3);
  butterfly(cr, 900, 680, 28, hex(0xff8ac0), hex(0xfff2a8), -0.3);
}

void boat(cairo_t* cr, gen::Rng& rng) {
  vgrad_rect(cr, 0, 0, kWidth, 340, hex(0x6ccff7), hex(0xdaf4ff));
  cloud(cr, 200, 80, 90);
  cloud(cr, 880, 120, 80);
  for (int i = 0; i < 4; ++i) bird_v(cr, 620 + i * 50, 70 + (i % 2) * 24, 16, hex(0x4a5a7a));
  // A little island far away.
  cairo_new_path(cr);
  oval(cr, 150, 338, 110, 26);
  paint(cr, hex(0xf6d98a), 3);
  cairo_new_path(cr);
  cairo_move_to(cr, 150, 330);
  cairo_curve_to(cr, 150, 300, 160, 270, 176, 248);
  thick_line(cr, hex(0xa87a4a), 8, 2);
  for (int i = 0; i < 5; ++i) leaf(cr, 176 + 30 * std::cos(-kPi * i / 4), 248 + 16 * std::sin(-kPi * i / 4) + 8, 30, -kPi * i / 4 + kPi * 0.0, hex(0x4cb84a));
  ground(cr, 336, 0, 1000, 0, hex(0x2a90e8), hex(0x123f98), 0);
  for (int row = 0; row < 10; ++row) {
    double y = 360 + row * row * 4 + row * 12;
    double size = 10 + row * 3.4;
    for (double x = rng.range(-40, 0); x < kWidth + 40; x += size * 5 + rng.range(0, size * 3)) {
      cairo_new_path(cr);
      cairo_arc(cr, x, y, size, 1.15 * kPi, 1.85 * kPi);
      cairo_arc(cr, x + size * 1.4, y - size * 0.1, size * 0.4, 1.0 * kPi, 1.9 * kPi);
      stroke(cr, hex(0x8fd3ff), std::max(2.0, size * 0.18));
    }
  }

  // Sailing boat.
  cairo_new_path(cr);
  rounded(cr, 500, 120, 16, 360, 6);
  paint(cr, hex(0xa8703f), 4);
  boat_sail(cr, {524, 140, 524, 450, 720, 450}, hex(0xfaf6ee), hex(0xff6f61));
  boat_sail(cr, {492, 170, 492, 450, 330, 450}, hex(0xfaf6ee), hex(0x5aa8ff));
  cairo_new_path(cr);
  poly(cr, {516, 110, 516, 140, 570, 125});
  paint(cr, hex(0xffd23f), 3);
  cairo_new_path(cr);
  cairo_move_to(cr, 280, 466);
  cairo_line_to(cr, 760, 466);
  cairo_curve_to(cr, 740, 520, 700, 570, 650, 574);
  cairo_line_to(cr, 370, 574);
  cairo_curve_to(cr, 330, 570, 300, 520, 280, 466);
  cairo_close_path(cr);
  paint(cr, hex(0xe8433a), 5);
  cairo_new_path(cr);
  cairo_move_to(cr, 292, 494);
  cairo_line_to(cr, 748, 494);
  stroke(cr, hex(0xfaf6ee), 12);
  cairo_new_path(cr);
  for (int i = 0; i < 4; ++i) {
    circle(cr, 380 + i * 80, 530, 14);
  }
  paint(cr, hex(0xc9efff), 4);
  circle(cr, 690, 530, 24);
  circle(cr, 690, 530, 12);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  paint(cr, hex(0xfaf6ee), 4);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  cairo_new_path(cr);
  circle(cr, 690, 530, 24);
  clipped(cr, [&] {
    cairo_new_path(cr);
    for (int i = 0; i < 4; ++i) {
      double a = i * kPi / 2 + kPi / 4;
      cairo_move_to(cr, 690, 530);
      cairo_arc(cr, 690, 530, 30, a - 0.3, a + 0.3);
      cairo_close_path(cr);
    }
    fill(cr, hex(0xf0303a));
  });
  kid(cr, 420, 430, 32, hex(0xffd6b8), hex(0x6a3a2a), 0);
  // Water lapping at the hull.
  sea_band(cr, 560, 8, 120, 0.5, hex(0x2a80dc), hex(0x123f98));
  for (int row = 0; row < 4; ++row)
    for (double x = rng.range(-30, 30); x < kWidth + 40; x += rng.range(150, 230)) {
      double y = 610 + row * 44 + rng.range(-8, 8), size = 16 + row * 4;
      cairo_new_path(cr);
      cairo_arc(cr, x, y, size, 1.15 * kPi, 1.85 * kPi);
      cairo_arc(cr, x + size * 1.4, y - size * 0.1, size * 0.4, 1.0 * kPi, 1.9 * kPi);
      stroke(cr, hex(0x7fc6ff), 5);
    }
  dolphin(cr, 870, 420, 80, -0.5);
  for (int i = 0; i < 5; ++i) {
    cairo_new_path(cr);
    circle(cr, 770 + i * 14, 478 - (i % 2) * 16, 6 - i * 0.6);
    fill(cr, hex(0xd8f2ff));
  }
  fish(cr, 250, 690, 34, -0.5, hex(0xff9a3a), hex(0xffd23f));
  fish(cr, 640, 720, -28, 0.3, hex(0xffd23f), hex(0xff7a5a));
  fish(cr, 930, 640, 24, 0.2, hex(0xff6f91), hex(0xffb0c8));
  cairo_new_path(cr);
  rounded(cr, 108, 560, 44, 70, 16);
  paint(cr, hex(0xf0303a), 4);
  rounded(cr, 108, 582, 44, 20, 0);
  fill(cr, hex(0xfaf6ee));
  rounded(cr, 122, 536, 16, 28, 4);
  paint(cr, hex(0xffd23f), 3);
}

void bus(cairo_t* cr, gen::Rng& rng) {
  vgrad_rect(cr, 0, 0, kWidth, 480, hex(0x5fd0ff), hex(0xd2f3ff));
  cloud(cr, 160, 80, 80);
  cloud(cr, 560, 60, 100);
  cloud(cr, 900, 90, 70);
  for (int i = 0; i < 3; ++i) bird_v(cr, 290 + i * 42, 56 + (i % 2) * 20, 15, hex(0x4a4a6a));
  const Col walls[] = {hex(0xff9ec4), hex(0xb49cff), hex(0x5fd6c4), hex(0x7fb2ff), hex(0xffb27a)};
  const double tops[] = {180, 240, 150, 210, 170, 250, 190, 140};
  for (int i = 0; i < 8; ++i) building(cr, -40 + i * 136, tops[i], 122, 470, walls[i % 5], hex(0xe9f8ff));
  for (int i = 0; i < 6; ++i) round_tree(cr, 60 + i * 180, 486, 88, hex(0x52c24a), hex(0x9a6238));
  vgrad_rect(cr, 0, 466, kWidth, 60, hex(0xf3e8dc), hex(0xe2d4c6));
  for (int x = 0; x < kWidth; x += 80) {
    cairo_new_path(cr);
    cairo_move_to(cr, x, 468);
    cairo_line_to(cr, x - 16, 522);
    stroke(cr, hex(0xcdbdad), 3);
  }
  vgrad_rect(cr, 0, 524, kWidth, 244, hex(0x727894), hex(0x5a5e7a));
  cairo_new_path(cr);
  rounded(cr, -10, 518, kWidth + 20, 14, 4);
  paint(cr, hex(0xc4bcd0), 3);
  for (int x = -20; x < 700; x += 160) {
    cairo_new_path(cr);
    rounded(cr, x, 712, 96, 14, 7);
    fill(cr, hex(0xf6f2ff));
  }
  for (int i = 0; i < 6; ++i) {
    double x = 770 + i * 46;
    cairo_new_path(cr);
    poly(cr, {x + 14, 660, x + 40, 660, x + 30, 768, x, 768});
    fill(cr, hex(0xf6f2ff), 0.92);
  }
  dots(cr, rng, 0, 530, kWidth, 768, 50, 2, 4, hex(0x4a4e68), 0.5);
  // Traffic light and bus-stop sign.
  cairo_new_path(cr);
  rounded(cr, 52, 300, 14, 220, 6);
  paint(cr, hex(0x5a5e7a), 3);
  rounded(cr, 26, 170, 66, 160, 14);
  paint(cr, hex(0x3a3650), 4);
  const Col lamps[] = {hex(0xff4040), hex(0x806a3a), hex(0x3a6a4a)};
  for (int i = 0; i < 3; ++i) {
    cairo_new_path(cr);
    circle(cr, 59, 200 + i * 50, 18);
    paint_ball(cr, lamps[i], 3);
  }
  radial_glow(cr, 59, 200, 40, hex(0xff8080), 0.5);
  cairo_new_path(cr);
  rounded(cr, 966, 300, 14, 220, 6);
  paint(cr, hex(0x5a5e7a), 3);
  circle(cr, 973, 290, 40);
  paint_ball(cr, hex(0x3d7bf0), 4);
  rounded(cr, 948, 270, 50, 30, 8);
  paint(cr, hex(0xf6f2ff), 2);
  circle(cr, 958, 304, 6);
  circle(cr, 988, 304, 6);
  fill(cr, hex(0xf6f2ff));

  // The bus, facing right.
  const Col yellow = hex(0xffc82e);
  shadow(cr, 520, 660, 430, 26, 0.25);
  cairo_new_path(cr);
  cairo_move_to(cr, 140, 250);
  cairo_line_to(cr, 820, 250);
  cairo_curve_to(cr, 880, 250, 900, 300, 906, 360);
  cairo_line_to(cr, 920, 580);
  cairo_curve_to(cr, 920, 600, 910, 610, 890, 610);
  cairo_line_to(cr, 130, 610);
  cairo_curve_to(cr, 110, 610, 100, 600, 100, 580);
  cairo_line_to(cr, 100, 290);
  cairo_curve_to(cr, 100, 266, 116, 250, 140, 250);
  cairo_close_path(cr);
  paint(cr, yellow, 5);
  cairo_new_path(cr);
  rounded(cr, 102, 452, 814, 10, 3);
  rounded(cr, 102, 480, 816, 10, 3);
  fill(cr, hex(0x3a3650));
  for (int i = 0; i < 6; ++i) {
    cairo_new_path(cr);
    circle(cr, 200 + i * 110, 244, 9);
    paint_ball(cr, i % 2 ? hex(0xff5a3a) : hex(0xff9a2a), 3);
  }
  const Col skins[] = {hex(0xffd6b8), hex(0xc98a5a), hex(0xf2c29a), hex(0x8a5a3a), hex(0xffe0c4)};
  const Col hairs[] = {hex(0xd9603a), hex(0x2f2838), hex(0x6a3a2a), hex(0x2f2838), hex(0xf2b33a)};
  for (int i = 0; i < 5; ++i) {
    double wx = 136 + i * 112;
    cairo_new_path(cr);
    rounded(cr, wx, 286, 94, 110, 14);
    paint(cr, hex(0xc9efff), 4);
    cairo_save(cr);
    cairo_new_path(cr);
    rounded(cr, wx, 286, 94, 110, 14);
    cairo_clip(cr);
    kid(cr, wx + 47, 360, 32, skins[i], hairs[i], i % 3);
    cairo_restore(cr);
    cairo_new_path(cr);
    poly(cr, {wx + 8, wx > 0 ? 294.0 : 294.0, wx + 34, 294, wx + 8, 330});
    fill(cr, kSnow, 0.45);
  }
  // Door and windscreen with the driver.
  cairo_new_path(cr);
  rounded(cr, 704, 286, 84, 300, 10);
  paint(cr, hex(0xf2b21e), 4);
  rounded(cr, 714, 296, 30, 270, 6);
  rounded(cr, 748, 296, 30, 270, 6);
  paint(cr, hex(0xc9efff), 3);
  cab_window(cr, {.left = 808, .top = 286, .top_right = 840,
                  .c1x = 870, .c1y = 290, .c2x = 882, .c2y = 330, .front = 886, .bottom = 420,
                  .clip_x = 808, .clip_y = 286, .clip_w = 80, .clip_h = 134,
                  .child_x = 846, .child_y = 372, .child_r = 30, .skin = hex(0xf2c29a), .hair = hex(0x3d7bf0)});
  for (int i = 0; i < 3; ++i) star(cr, 400 + i * 100, 530, 20, i == 1 ? hex(0xff6f61) : hex(0x5aa8ff));
  cairo_new_path(cr);
  circle(cr, 900, 520, 18);
  paint_ball(cr, hex(0xfff2a0), 4);
  rounded(cr, 90, 570, 840, 30, 12);
  paint(cr, hex(0xd0d4e4), 4);
  rounded(cr, 910, 300, 10, 60, 4);
  paint(cr, hex(0x3a3650), 2);
  for (double wx : {250.0, 720.0}) {
    cairo_new_path(cr);
    cairo_arc(cr, wx, 606, 80, kPi, 2 * kPi);
    cairo_close_path(cr);
    fill(cr, hex(0x5a4a3a));
    wheel(cr, wx, 606, 68, hex(0xd0d4e4));
  }
}

}  // namespace pk::pics
