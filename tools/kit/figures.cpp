#include "tools/kit/figures.hpp"

#include <algorithm>
#include <cmath>

namespace pk {

void eye(cairo_t* cr, double x, double y, double r, double look_x, double look_y) {
  cairo_save(cr);
  cairo_new_path(cr);
  oval(cr, x, y, r * 0.8, r);
  fill(cr, kInk);
  double px = x + look_x * r * 0.25, py = y + look_y * r * 0.25;
  circle(cr, px + r * 0.26, py - r * 0.36, r * 0.34);
  fill(cr, kSnow);
  circle(cr, px - r * 0.24, py + r * 0.4, r * 0.14);
  fill(cr, kSnow, 0.9);
  cairo_restore(cr);
}

void smile(cairo_t* cr, double x, double y, double w, double line) {
  cairo_save(cr);
  cairo_new_path(cr);
  double r = w * 0.6;
  cairo_arc(cr, x, y - r * 0.55, r, 0.22 * kPi, 0.78 * kPi);
  stroke(cr, kInk, line);
  cairo_new_path(cr);
  cairo_restore(cr);
}

void cheek(cairo_t* cr, double x, double y, double r) {
  cairo_save(cr);
  cairo_new_path(cr);
  oval(cr, x, y, r * 1.2, r * 0.8);
  fill(cr, hex(0xff7a8a), 0.45);
  cairo_restore(cr);
}

void nose(cairo_t* cr, double x, double y, double r, Col c) {
  cairo_save(cr);
  cairo_new_path(cr);
  oval(cr, x, y, r * 1.2, r * 0.85);
  paint_ball(cr, c, std::max(1.5, r * 0.18));
  cairo_restore(cr);
}

void kid(cairo_t* cr, double x, double y, double r, Col skin, Col hair, int style) {
  if (style == 1) {
    cairo_new_path(cr);
    circle(cr, x - r * 1.02, y - r * 0.2, r * 0.36);
    circle(cr, x + r * 1.02, y - r * 0.2, r * 0.36);
    paint_ball(cr, hair, 3);
  }
  cairo_new_path(cr);
  circle(cr, x, y, r);
  paint_ball(cr, skin, 3.5);
  cairo_new_path(cr);
  if (style == 2) {
    cairo_arc(cr, x, y - r * 0.15, r * 0.98, kPi * 1.02, kPi * 1.98);
    cairo_close_path(cr);
    paint(cr, hair, 3);
    rounded(cr, x - r * 0.2, y - r * 0.3, r * 1.3, r * 0.24, r * 0.1);
    paint(cr, dark(hair, 0.15), 3);
  } else {
    cairo_arc(cr, x, y, r * 1.0, kPi * 1.05, kPi * 1.95);
    cairo_curve_to(cr, x + r * 0.6, y - r * 0.5, x + r * 0.2, y - r * 0.35, x - r * 0.1, y - r * 0.6);
    cairo_curve_to(cr, x - r * 0.4, y - r * 0.4, x - r * 0.7, y - r * 0.45, x - r * 0.96, y - r * 0.3);
    cairo_close_path(cr);
    paint(cr, hair, 3);
  }
  eye(cr, x - r * 0.34, y + r * 0.05, r * 0.16);
  eye(cr, x + r * 0.34, y + r * 0.05, r * 0.16);
  smile(cr, x, y + r * 0.48, r * 0.42, std::max(2.5, r * 0.08));
  cheek(cr, x - r * 0.6, y + r * 0.35, r * 0.14);
  cheek(cr, x + r * 0.6, y + r * 0.35, r * 0.14);
}

void cab_window(cairo_t* cr, const CabWindow& w) {
  cairo_new_path(cr);
  cairo_move_to(cr, w.left, w.top);
  cairo_line_to(cr, w.top_right, w.top);
  cairo_curve_to(cr, w.c1x, w.c1y, w.c2x, w.c2y, w.front, w.bottom);
  cairo_line_to(cr, w.left, w.bottom);
  cairo_close_path(cr);
  paint(cr, hex(0xc9efff), 4);
  cairo_save(cr);
  cairo_new_path(cr);
  cairo_rectangle(cr, w.clip_x, w.clip_y, w.clip_w, w.clip_h);
  cairo_clip(cr);
  kid(cr, w.child_x, w.child_y, w.child_r, w.skin, w.hair, 2);
  cairo_restore(cr);
}

}  // namespace pk
