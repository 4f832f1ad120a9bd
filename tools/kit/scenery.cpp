#include "tools/kit/scenery.hpp"

#include <algorithm>
#include <cmath>

#include "tools/kit/figures.hpp"

namespace pk {

void cloud(cairo_t* cr, double x, double y, double s, Col c) {
  const double k[] = {-0.62, 0.12, 0.34, -0.28, -0.14, 0.46, 0.18, -0.22, 0.5,
                      0.62,  0.1,  0.36, 0.0,   0.2,   0.4,  -0.34, 0.22, 0.32};
  double xyr[18];
  for (int i = 0; i < 6; ++i) {
    xyr[3 * i] = x + k[3 * i] * s;
    xyr[3 * i + 1] = y + k[3 * i + 1] * s;
    xyr[3 * i + 2] = k[3 * i + 2] * s;
  }
  Col edge = mix(c, hex(0x7d93c4), 0.6);
  cairo_save(cr);
  cairo_new_path(cr);
  for (int i = 0; i < 6; ++i) circle(cr, xyr[3 * i], xyr[3 * i + 1], xyr[3 * i + 2]);
  set(cr, edge, 0.7);
  cairo_set_line_width(cr, std::max(3.0, s * 0.05) * 2);
  cairo_stroke(cr);
  cluster(cr, xyr, 6, c, 0, false);
  cairo_restore(cr);
}

void sun(cairo_t* cr, double x, double y, double r, bool face) {
  cairo_save(cr);
  cairo_new_path(cr);
  for (int i = 0; i < 14; ++i) {
    double a = i * 2 * kPi / 14;
    double len = (i % 2) ? 1.5 : 1.75;
    double w = 0.16;
    poly(cr, {x + r * 1.12 * std::cos(a - w), y + r * 1.12 * std::sin(a - w), x + r * len * std::cos(a),
              y + r * len * std::sin(a), x + r * 1.12 * std::cos(a + w), y + r * 1.12 * std::sin(a + w)});
  }
  paint_ball(cr, hex(0xffb531), 4);
  circle(cr, x, y, r * 1.06);
  fill(cr, hex(0xfff2a6), 0.5);
  circle(cr, x, y, r);
  paint_ball(cr, hex(0xffd93a), 4.5);
  if (face) {
    eye(cr, x - r * 0.32, y - r * 0.12, r * 0.14);
    eye(cr, x + r * 0.32, y - r * 0.12, r * 0.14);
    smile(cr, x, y + r * 0.32, r * 0.46, std::max(3.0, r * 0.07));
    cheek(cr, x - r * 0.55, y + r * 0.18, r * 0.14);
    cheek(cr, x + r * 0.55, y + r * 0.18, r * 0.14);
  }
  cairo_restore(cr);
}

void grass_tuft(cairo_t* cr, double x, double y, double h, Col c) {
  cairo_save(cr);
  cairo_new_path(cr);
  const double lean[] = {-0.55, -0.25, 0.05, 0.3, 0.6};
  const double tall[] = {0.6, 0.9, 1.0, 0.85, 0.55};
  for (int i = 0; i < 5; ++i) {
    double bx = x + (i - 2) * h * 0.12, w = h * 0.09;
    double tx = bx + lean[i] * h * 0.6, ty = y - h * tall[i];
    cairo_new_sub_path(cr);
    cairo_move_to(cr, bx - w, y);
    cairo_curve_to(cr, bx - w, y - h * 0.4, tx, ty + h * 0.3, tx, ty);
    cairo_curve_to(cr, tx, ty + h * 0.3, bx + w, y - h * 0.4, bx + w, y);
    cairo_close_path(cr);
  }
  fill_vgrad(cr, y - h, light(c, 0.15), y, dark(c, 0.2));
  cairo_restore(cr);
}

void grass_field(cairo_t* cr, gen::Rng& rng, double x0, double x1, double y0, double y1, int count, Col c) {
  for (int i = 0; i < count; ++i) {
    double y = rng.range(y0, y1);
    double depth = (y - y0) / std::max(1.0, y1 - y0);
    grass_tuft(cr, rng.range(x0, x1), y, 16 + 22 * depth + rng.range(0, 8), dark(c, 0.12 + 0.1 * rng.uniform()));
  }
}

void flower(cairo_t* cr, double x, double y, double r, Col petal, Col centre) {
  cairo_save(cr);
  double line = std::max(1.5, r * 0.09);
  for (int i = 0; i < 5; ++i) {
    double a = -kPi / 2 + i * 2 * kPi / 5;
    cairo_new_path(cr);
    oval(cr, x + r * 0.55 * std::cos(a), y + r * 0.55 * std::sin(a), r * 0.5, r * 0.4, a);
    paint_ball(cr, petal, line);
  }
  circle(cr, x, y, r * 0.36);
  paint_ball(cr, centre, line);
  cairo_restore(cr);
}

void tulip(cairo_t* cr, double x, double y, double h, Col c) {
  cairo_save(cr);
  Col stem = hex(0x3f9d3a);
  cairo_new_path(cr);
  cairo_move_to(cr, x, y);
  cairo_curve_to(cr, x - h * 0.05, y - h * 0.4, x + h * 0.05, y - h * 0.6, x, y - h * 0.75);
  stroke(cr, dark(stem, 0.2), h * 0.07);
  cairo_new_path(cr);
  cairo_move_to(cr, x, y - h * 0.1);
  cairo_curve_to(cr, x + h * 0.1, y - h * 0.35, x + h * 0.3, y - h * 0.4, x + h * 0.32, y - h * 0.5);
  cairo_curve_to(cr, x + h * 0.15, y - h * 0.45, x + h * 0.05, y - h * 0.3, x, y - h * 0.1);
  paint(cr, stem, std::max(1.5, h * 0.02));
  double cy = y - h * 0.8, w = h * 0.2;
  cairo_new_path(cr);
  cairo_move_to(cr, x - w, cy - w * 0.9);
  cairo_line_to(cr, x - w * 0.45, cy - w * 0.35);
  cairo_line_to(cr, x, cy - w * 1.05);
  cairo_line_to(cr, x + w * 0.45, cy - w * 0.35);
  cairo_line_to(cr, x + w, cy - w * 0.9);
  cairo_curve_to(cr, x + w * 1.1, cy + w * 0.4, x + w * 0.6, cy + w * 0.9, x, cy + w * 0.9);
  cairo_curve_to(cr, x - w * 0.6, cy + w * 0.9, x - w * 1.1, cy + w * 0.4, x - w, cy - w * 0.9);
  cairo_close_path(cr);
  paint_ball(cr, c, std::max(1.5, h * 0.025));
  cairo_restore(cr);
}

void star(cairo_t* cr, double x, double y, double r, Col c, double angle) {
  cairo_save(cr);
  cairo_new_path(cr);
  star_path(cr, x, y, r, 5, 0.5, angle);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  paint_ball(cr, c, std::max(1.5, r * 0.14));
  cairo_restore(cr);
}

void twinkle(cairo_t* cr, double x, double y, double r, Col c) {
  cairo_save(cr);
  cairo_new_path(cr);
  cairo_move_to(cr, x, y - r);
  cairo_curve_to(cr, x + r * 0.12, y - r * 0.12, x + r * 0.12, y - r * 0.12, x + r, y);
  cairo_curve_to(cr, x + r * 0.12, y + r * 0.12, x + r * 0.12, y + r * 0.12, x, y + r);
  cairo_curve_to(cr, x - r * 0.12, y + r * 0.12, x - r * 0.12, y + r * 0.12, x - r, y);
  cairo_curve_to(cr, x - r * 0.12, y - r * 0.12, x - r * 0.12, y - r * 0.12, x, y - r);
  cairo_close_path(cr);
  fill(cr, c);
  cairo_restore(cr);
}

void moon(cairo_t* cr, double x, double y, double r, Col c) {
  cairo_save(cr);
  double tip = 70 * kPi / 180;
  double tx = x + r * std::cos(tip), ty = r * std::sin(tip);
  double k = r * 0.55, ri = std::hypot(tx - (x + k), ty);
  double a = std::atan2(ty, tx - (x + k));
  cairo_new_path(cr);
  cairo_arc_negative(cr, x, y, r, -tip, tip);
  cairo_arc(cr, x + k, y, ri, a, 2 * kPi - a);
  cairo_close_path(cr);
  paint_ball(cr, c, std::max(2.0, r * 0.07));
  cairo_restore(cr);
}

void heart(cairo_t* cr, double x, double y, double s, Col c) {
  cairo_save(cr);
  cairo_new_path(cr);
  heart_path(cr, x, y, s);
  paint_ball(cr, c, std::max(1.5, s * 0.06));
  cairo_restore(cr);
}

void butterfly(cairo_t* cr, double x, double y, double s, Col wing, Col spot, double angle) {
  at(cr, x, y, s, angle, [&] {
    double line = 2.5 / s;
    for (int side = -1; side <= 1; side += 2) {
      cairo_new_path(cr);
      oval(cr, side * 0.42, -0.22, 0.46, 0.36, side * 0.55);
      paint_ball(cr, wing, line);
      cairo_new_path(cr);
      oval(cr, side * 0.32, 0.28, 0.3, 0.26, -side * 0.4);
      paint_ball(cr, light(wing, 0.15), line);
      circle(cr, side * 0.46, -0.25, 0.13);
      fill(cr, spot);
      circle(cr, side * 0.32, 0.3, 0.08);
      fill(cr, spot);
    }
    cairo_new_path(cr);
    oval(cr, 0, 0.02, 0.09, 0.42);
    paint(cr, hex(0x4a3a5a), line);
    cairo_new_path(cr);
    cairo_move_to(cr, -0.03, -0.36);
    cairo_curve_to(cr, -0.08, -0.55, -0.2, -0.62, -0.24, -0.66);
    cairo_move_to(cr, 0.03, -0.36);
    cairo_curve_to(cr, 0.08, -0.55, 0.2, -0.62, 0.24, -0.66);
    stroke(cr, kInk, line);
    cairo_new_path(cr);
    circle(cr, -0.24, -0.66, 0.05);
    circle(cr, 0.24, -0.66, 0.05);
    fill(cr, kInk);
  });
}

void bird_v(cairo_t* cr, double x, double y, double s, Col c) {
  cairo_save(cr);
  cairo_new_path(cr);
  cairo_move_to(cr, x - s, y - s * 0.25);
  cairo_curve_to(cr, x - s * 0.6, y - s * 0.6, x - s * 0.2, y - s * 0.45, x, y);
  cairo_curve_to(cr, x + s * 0.2, y - s * 0.45, x + s * 0.6, y - s * 0.6, x + s, y - s * 0.25);
  stroke(cr, c, std::max(2.5, s * 0.16));
  cairo_new_path(cr);
  cairo_restore(cr);
}

void bubble(cairo_t* cr, double x, double y, double r) {
  cairo_save(cr);
  cairo_new_path(cr);
  circle(cr, x, y, r);
  set(cr, kSnow, 0.18);
  cairo_fill_preserve(cr);
  set(cr, kSnow, 0.85);
  cairo_set_line_width(cr, std::max(1.5, r * 0.12));
  cairo_stroke(cr);
  cairo_arc(cr, x, y, r * 0.62, 1.1 * kPi, 1.45 * kPi);
  stroke(cr, kSnow, std::max(1.5, r * 0.16));
  cairo_new_path(cr);
  cairo_restore(cr);
}

void shadow(cairo_t* cr, double x, double y, double rx, double ry, double alpha) {
  cairo_save(cr);
  cairo_new_path(cr);
  oval(cr, x, y, rx, ry);
  fill(cr, kInk, alpha);
  cairo_restore(cr);
}

void wheel(cairo_t* cr, double x, double y, double r, Col hub) {
  cairo_save(cr);
  cairo_new_path(cr);
  circle(cr, x, y, r);
  paint_ball(cr, hex(0x3b3848), 4);
  circle(cr, x, y, r * 0.58);
  paint_ball(cr, hub, 3);
  for (int i = 0; i < 5; ++i) {
    double a = i * 2 * kPi / 5;
    circle(cr, x + r * 0.33 * std::cos(a), y + r * 0.33 * std::sin(a), r * 0.06);
  }
  fill(cr, dark(hub, 0.45));
  circle(cr, x, y, r * 0.14);
  paint_ball(cr, light(hub, 0.3), 2);
  cairo_restore(cr);
}

void round_tree(cairo_t* cr, double x, double y, double s, Col leaves, Col trunk) {
  cairo_save(cr);
  cairo_new_path(cr);
  cairo_move_to(cr, x - s * 0.14, y);
  cairo_curve_to(cr, x - s * 0.1, y - s * 0.4, x - s * 0.1, y - s * 0.7, x - s * 0.08, y - s * 0.9);
  cairo_line_to(cr, x + s * 0.08, y - s * 0.9);
  cairo_curve_to(cr, x + s * 0.1, y - s * 0.7, x + s * 0.1, y - s * 0.4, x + s * 0.14, y);
  cairo_close_path(cr);
  paint(cr, trunk, std::max(2.0, s * 0.025));
  const double k[] = {0, -1.15, 0.5, -0.38, -0.95, 0.36, 0.38, -0.95, 0.38, -0.22, -1.45, 0.34, 0.24, -1.48, 0.32};
  double xyr[15];
  for (int i = 0; i < 5; ++i) {
    xyr[3 * i] = x + k[3 * i] * s;
    xyr[3 * i + 1] = y + k[3 * i + 1] * s;
    xyr[3 * i + 2] = k[3 * i + 2] * s;
  }
  cluster(cr, xyr, 5, leaves, std::max(2.0, s * 0.025), true);
  cairo_restore(cr);
}

void pine(cairo_t* cr, double x, double y, double s, Col c) {
  cairo_save(cr);
  cairo_new_path(cr);
  rounded(cr, x - s * 0.07, y - s * 0.25, s * 0.14, s * 0.25, s * 0.03);
  paint(cr, hex(0x8a5a3a), std::max(2.0, s * 0.02));
  for (int i = 0; i < 3; ++i) {
    double by = y - s * (0.2 + i * 0.32), w = s * (0.48 - i * 0.1), h = s * 0.5;
    cairo_new_path(cr);
    cairo_move_to(cr, x, by - h);
    cairo_curve_to(cr, x + w * 0.3, by - h * 0.6, x + w * 0.7, by - h * 0.2, x + w, by);
    cairo_curve_to(cr, x + w * 0.4, by + h * 0.1, x - w * 0.4, by + h * 0.1, x - w, by);
    cairo_curve_to(cr, x - w * 0.7, by - h * 0.2, x - w * 0.3, by - h * 0.6, x, by - h);
    cairo_close_path(cr);
    paint(cr, light(c, 0.05 * i), std::max(2.0, s * 0.02));
  }
  cairo_restore(cr);
}

void bush(cairo_t* cr, double x, double y, double s, Col c) {
  const double xyr[] = {x - s * 0.5, y - s * 0.25, s * 0.35, x, y - s * 0.45, s * 0.45,
                        x + s * 0.5, y - s * 0.28, s * 0.36, x, y - s * 0.2, s * 0.35};
  cluster(cr, xyr, 4, c, std::max(2.0, s * 0.03), true);
}

void dots(cairo_t* cr, gen::Rng& rng, double x0, double y0, double x1, double y1, int count, double r0,
          double r1, Col c, double alpha) {
  cairo_save(cr);
  for (int i = 0; i < count; ++i) {
    cairo_new_path(cr);
    circle(cr, rng.range(x0, x1), rng.range(y0, y1), rng.range(r0, r1));
    fill(cr, c, alpha);
  }
  cairo_restore(cr);
}

void balloon(cairo_t* cr, double x, double y, double r, Col c, double string_len) {
  cairo_save(cr);
  cairo_new_path(cr);
  double by = y + r * 1.2;
  cairo_move_to(cr, x, by + r * 0.12);
  cairo_curve_to(cr, x - r * 0.4, by + string_len * 0.35, x + r * 0.4, by + string_len * 0.65, x,
                 by + string_len);
  stroke(cr, hex(0x5b5470), 2.5);
  cairo_new_path(cr);
  poly(cr, {x, by - r * 0.05, x - r * 0.14, by + r * 0.16, x + r * 0.14, by + r * 0.16});
  paint(cr, c, 2.5);
  oval(cr, x, y, r, r * 1.2);
  paint_ball(cr, c, std::max(2.5, r * 0.07));
  oval(cr, x - r * 0.38, y - r * 0.45, r * 0.18, r * 0.3, 0.5);
  fill(cr, kSnow, 0.7);
  cairo_restore(cr);
}

void fence(cairo_t* cr, double x0, double x1, double y, double h, Col c) {
  cairo_save(cr);
  cairo_new_path(cr);
  rounded(cr, x0, y - h * 0.72, x1 - x0, h * 0.14, h * 0.05);
  rounded(cr, x0, y - h * 0.38, x1 - x0, h * 0.14, h * 0.05);
  paint(cr, dark(c, 0.08), 3);
  double step = h * 0.55;
  for (double x = x0 + step * 0.3; x < x1; x += step) {
    cairo_new_path(cr);
    cairo_move_to(cr, x - h * 0.1, y);
    cairo_line_to(cr, x - h * 0.1, y - h * 0.88);
    cairo_line_to(cr, x, y - h);
    cairo_line_to(cr, x + h * 0.1, y - h * 0.88);
    cairo_line_to(cr, x + h * 0.1, y);
    cairo_close_path(cr);
    paint(cr, c, 3);
  }
  cairo_restore(cr);
}

void fish(cairo_t* cr, double x, double y, double s, double angle, Col body, Col fin) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, angle);
  cairo_scale(cr, s, std::fabs(s));
  double line = 3.0 / std::fabs(s);
  cairo_new_path(cr);
  cairo_move_to(cr, -0.75, 0);
  cairo_curve_to(cr, -1.0, -0.2, -1.2, -0.55, -1.35, -0.6);
  cairo_curve_to(cr, -1.25, -0.2, -1.25, 0.2, -1.35, 0.6);
  cairo_curve_to(cr, -1.2, 0.55, -1.0, 0.2, -0.75, 0);
  cairo_close_path(cr);
  paint(cr, fin, line);
  cairo_move_to(cr, -0.35, -0.5);
  cairo_curve_to(cr, -0.2, -0.95, 0.25, -0.85, 0.3, -0.55);
  cairo_close_path(cr);
  paint(cr, fin, line);
  oval(cr, 0, 0, 1, 0.66);
  paint_ball(cr, body, line);
  oval(cr, 0, 0, 0.97, 0.63);
  clipped(cr, [&] {
    cairo_new_path(cr);
    cairo_arc(cr, -0.9, 0, 0.75, -0.5 * kPi, 0.5 * kPi);
    stroke(cr, light(body, 0.45), 0.16);
    cairo_new_path(cr);
    cairo_arc(cr, -1.2, 0, 0.75, -0.5 * kPi, 0.5 * kPi);
    stroke(cr, light(body, 0.45), 0.1);
  });
  cairo_new_path(cr);
  oval(cr, -0.05, 0.22, 0.22, 0.12, 0.5);
  paint(cr, fin, line);
  eye(cr, 0.45, -0.12, 0.17);
  cairo_new_path(cr);
  cairo_arc(cr, 0.72, 0.12, 0.12, 0.2 * kPi, 0.9 * kPi);
  stroke(cr, kInk, line);
  cairo_new_path(cr);
  cairo_restore(cr);
}

void leaf(cairo_t* cr, double x, double y, double s, double angle, Col c) {
  at(cr, x, y, s, angle, [&] {
    cairo_new_path(cr);
    cairo_move_to(cr, -1, 0);
    cairo_curve_to(cr, -0.5, -0.75, 0.5, -0.75, 1, 0);
    cairo_curve_to(cr, 0.5, 0.75, -0.5, 0.75, -1, 0);
    cairo_close_path(cr);
    paint_ball(cr, c, 2.5 / s);
    cairo_move_to(cr, -0.9, 0);
    cairo_line_to(cr, 0.8, 0);
    stroke(cr, ink_of(c), 2.0 / s);
    cairo_new_path(cr);
  });
}

void bunting(cairo_t* cr, double y, double sag, const Col* cols, int ncols) {
  auto rope_y = [&](double x) { return y + sag * std::sin(kPi * x / kWidth); };
  cairo_save(cr);
  cairo_new_path(cr);
  for (int x = -10; x <= kWidth + 10; x += 8) cairo_line_to(cr, x, rope_y(x));
  stroke(cr, hex(0x7a5a8a), 4);
  cairo_new_path(cr);
  int i = 0;
  for (double x = 20; x < kWidth - 20; x += 72, ++i) {
    double y0 = rope_y(x), y1 = rope_y(x + 52);
    poly(cr, {x, y0, x + 52, y1, x + 26, (y0 + y1) / 2 + 58});
    paint(cr, cols[i % ncols], 3.5);
  }
  cairo_restore(cr);
}

}  // namespace pk
