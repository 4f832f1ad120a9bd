#include "tools/kit/shapes.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

namespace gen {

void circle(cairo_t* cr, double x, double y, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x, y, r, 0, 2 * kPi);
  cairo_close_path(cr);
}

void oval(cairo_t* cr, double x, double y, double rx, double ry, double angle) {
  cairo_matrix_t m;
  cairo_get_matrix(cr, &m);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, angle);
  cairo_scale(cr, rx, ry);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
  cairo_close_path(cr);
  cairo_set_matrix(cr, &m);
}

void rounded(cairo_t* cr, double x, double y, double w, double h, double r) {
  r = std::min({r, w / 2, h / 2});
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
  cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
  cairo_arc(cr, x + r, y + r, r, kPi, 1.5 * kPi);
  cairo_close_path(cr);
}

void poly(cairo_t* cr, std::initializer_list<double> xy, bool close) {
  auto it = xy.begin();
  cairo_new_sub_path(cr);
  for (size_t i = 0; i + 1 < xy.size(); i += 2, it += 2) cairo_line_to(cr, it[0], it[1]);
  if (close) cairo_close_path(cr);
}

void star_path(cairo_t* cr, double x, double y, double r, int points, double inner, double angle) {
  cairo_new_sub_path(cr);
  for (int i = 0; i < points * 2; ++i) {
    double a = -kPi / 2 + angle + i * kPi / points;
    double rr = (i % 2) ? r * inner : r;
    cairo_line_to(cr, x + rr * std::cos(a), y + rr * std::sin(a));
  }
  cairo_close_path(cr);
}

void heart_path(cairo_t* cr, double x, double y, double s) {
  auto P = [&](double u, double v) { return std::pair<double, double>{x + u * s, y + v * s}; };
  auto mv = P(0, 0.38);
  cairo_new_sub_path(cr);
  cairo_move_to(cr, mv.first, mv.second);
  auto c = [&](double a, double b, double c2, double d, double e, double f) {
    auto p1 = P(a, b), p2 = P(c2, d), p3 = P(e, f);
    cairo_curve_to(cr, p1.first, p1.second, p2.first, p2.second, p3.first, p3.second);
  };
  c(-0.12, 0.27, -0.5, 0.05, -0.5, -0.16);
  c(-0.5, -0.42, -0.17, -0.52, 0, -0.27);
  c(0.17, -0.52, 0.5, -0.42, 0.5, -0.16);
  c(0.5, 0.05, 0.12, 0.27, 0, 0.38);
  cairo_close_path(cr);
}

void clipped(cairo_t* cr, const std::function<void()>& f) {
  cairo_save(cr);
  cairo_clip(cr);
  f();
  cairo_restore(cr);
}

void at(cairo_t* cr, double x, double y, double scale, double angle, const std::function<void()>& f) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, angle);
  cairo_scale(cr, scale, scale);
  f();
  cairo_restore(cr);
}

}  // namespace gen
