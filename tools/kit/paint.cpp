#include "tools/kit/paint.hpp"

#include <algorithm>
#include <cmath>

namespace pk {

const Col kInk{0.17, 0.13, 0.26};
const Col kSnow{0.985, 0.98, 0.965};

Col light(Col c, double t) { return mix(c, kSnow, t); }
Col dark(Col c, double t) { return mix(c, kInk, t); }
Col ink_of(Col c) { return mix(c, kInk, 0.72); }

namespace {

// Adds a radial gradient over the current path's extents, lit from the upper left.
cairo_pattern_t* ball_pattern(cairo_t* cr, Col c) {
  double x1, y1, x2, y2;
  cairo_fill_extents(cr, &x1, &y1, &x2, &y2);
  double w = x2 - x1, h = y2 - y1;
  double cx = x1 + w * 0.36, cy = y1 + h * 0.3;
  double r = std::max(w, h) * 0.85 + 1;
  cairo_pattern_t* g = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
  Col hi = light(c, 0.38), lo = dark(c, 0.14);
  cairo_pattern_add_color_stop_rgb(g, 0, hi.r, hi.g, hi.b);
  cairo_pattern_add_color_stop_rgb(g, 0.5, c.r, c.g, c.b);
  cairo_pattern_add_color_stop_rgb(g, 1, lo.r, lo.g, lo.b);
  return g;
}

void wave_line(cairo_t* cr, double base, double amp, double wavelength, double phase) {
  for (int x = -8; x <= kWidth + 8; x += 6)
    cairo_line_to(cr, x, base + amp * std::sin(2 * kPi * x / wavelength + phase));
}

}  // namespace

void cluster(cairo_t* cr, const double* xyr, int n, Col c, double line, bool ball) {
  cairo_save(cr);
  cairo_new_path(cr);
  for (int i = 0; i < n; ++i) circle(cr, xyr[3 * i], xyr[3 * i + 1], xyr[3 * i + 2]);
  if (line > 0) {
    set(cr, ink_of(c));
    cairo_set_line_width(cr, line * 2);
    cairo_stroke_preserve(cr);
  }
  cairo_pattern_t* g;
  if (ball) {
    g = ball_pattern(cr, c);
  } else {
    double x1, y1, x2, y2;
    cairo_fill_extents(cr, &x1, &y1, &x2, &y2);
    g = cairo_pattern_create_linear(0, y1, 0, y2);
    Col lo = mix(c, hex(0xc9d8f0), 0.55);
    cairo_pattern_add_color_stop_rgb(g, 0, c.r, c.g, c.b);
    cairo_pattern_add_color_stop_rgb(g, 0.55, c.r, c.g, c.b);
    cairo_pattern_add_color_stop_rgb(g, 1, lo.r, lo.g, lo.b);
  }
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  cairo_restore(cr);
}

void paint(cairo_t* cr, Col c, double line) {
  double x1, y1, x2, y2;
  cairo_fill_extents(cr, &x1, &y1, &x2, &y2);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, y1, 0, y2 + 1);
  Col hi = light(c, 0.22), lo = dark(c, 0.1);
  cairo_pattern_add_color_stop_rgb(g, 0, hi.r, hi.g, hi.b);
  cairo_pattern_add_color_stop_rgb(g, 0.45, c.r, c.g, c.b);
  cairo_pattern_add_color_stop_rgb(g, 1, lo.r, lo.g, lo.b);
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  if (line > 0) stroke(cr, ink_of(c), line);
  cairo_new_path(cr);
}

void paint_ball(cairo_t* cr, Col c, double line) {
  cairo_pattern_t* g = ball_pattern(cr, c);
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  if (line > 0) stroke(cr, ink_of(c), line);
  cairo_new_path(cr);
}

void fill(cairo_t* cr, Col c, double alpha) {
  set(cr, c, alpha);
  cairo_fill(cr);
}

void fill_vgrad(cairo_t* cr, double y0, Col top, double y1, Col bottom) {
  cairo_pattern_t* g = cairo_pattern_create_linear(0, y0, 0, y1);
  cairo_pattern_add_color_stop_rgb(g, 0, top.r, top.g, top.b);
  cairo_pattern_add_color_stop_rgb(g, 1, bottom.r, bottom.g, bottom.b);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
}

void stroke(cairo_t* cr, Col c, double line) {
  cairo_save(cr);
  set(cr, c);
  cairo_set_line_width(cr, line);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke_preserve(cr);
  cairo_restore(cr);
}

void vgrad_rect(cairo_t* cr, double x, double y, double w, double h, Col top, Col bottom) {
  cairo_new_path(cr);
  cairo_rectangle(cr, x, y, w, h);
  fill_vgrad(cr, y, top, y + h, bottom);
}

void radial_glow(cairo_t* cr, double x, double y, double r, Col c, double alpha) {
  cairo_pattern_t* g = cairo_pattern_create_radial(x, y, 0, x, y, r);
  cairo_pattern_add_color_stop_rgba(g, 0, c.r, c.g, c.b, alpha);
  cairo_pattern_add_color_stop_rgba(g, 1, c.r, c.g, c.b, 0);
  cairo_new_path(cr);
  cairo_rectangle(cr, x - r, y - r, 2 * r, 2 * r);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
}

void ground(cairo_t* cr, double base, double amp, double wavelength, double phase, Col top, Col bottom,
            double line) {
  cairo_new_path(cr);
  wave_line(cr, base, amp, wavelength, phase);
  cairo_line_to(cr, kWidth + 8, kHeight + 8);
  cairo_line_to(cr, -8, kHeight + 8);
  cairo_close_path(cr);
  fill_vgrad(cr, base - amp, top, kHeight, bottom);
  if (line > 0) {
    cairo_new_path(cr);
    wave_line(cr, base, amp, wavelength, phase);
    stroke(cr, ink_of(top), line);
    cairo_new_path(cr);
  }
}

void sea_band(cairo_t* cr, double y, double amp, double wavelength, double phase, Col top, Col bottom) {
  ground(cr, y, amp, wavelength, phase, top, bottom, 0);
  cairo_new_path(cr);
  wave_line(cr, y + 3, amp, wavelength, phase);
  stroke(cr, light(top, 0.55), 5);
  cairo_new_path(cr);
}

void thick_line(cairo_t* cr, Col c, double w, double outline) {
  stroke(cr, ink_of(c), w + 2 * outline);
  stroke(cr, c, w);
  cairo_new_path(cr);
}

}  // namespace pk
