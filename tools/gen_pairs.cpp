// pairs/back.jpg and pairs/frame.png for the memory game.
// The back is exactly a card (215 x 161): a smiling sun among stars on deep blue. It is loaded
// masked, so it holds no pure black (every colour stays well above it, even after JPEG rounding).
// The frame is drawn 5 px up and left of each card: a 225 x 171 golden border, 5 px wide, rounded,
// see-through in the middle so the card shows.
#include <cmath>

#include "tools/kit/canvas.hpp"
#include "tools/kit/shapes.hpp"

namespace {

using gen::kPi;
using gen::rounded;

constexpr int kCardW = 215, kCardH = 161;
constexpr int kEdge = 5;  // frame border around a card

void star(cairo_t* cr, double x, double y, double r, double turn) {
  for (int k = 0; k < 10; ++k) {
    double a = turn - kPi / 2 + k * kPi / 5, d = k % 2 ? r * 0.45 : r;
    if (k == 0) cairo_move_to(cr, x + d * std::cos(a), y + d * std::sin(a));
    else cairo_line_to(cr, x + d * std::cos(a), y + d * std::sin(a));
  }
  cairo_close_path(cr);
}

void sun(cairo_t* cr, double cx, double cy) {
  const double r = 33;
  for (int k = 0; k < 12; ++k) {  // rounded rays
    double a = k * kPi / 6;
    cairo_move_to(cr, cx + (r + 6) * std::cos(a), cy + (r + 6) * std::sin(a));
    cairo_line_to(cr, cx + (r + 15) * std::cos(a), cy + (r + 15) * std::sin(a));
  }
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 7);
  cairo_set_source_rgb(cr, 1, 0.72, 0.15);
  cairo_stroke(cr);
  cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
  cairo_pattern_t* g = cairo_pattern_create_radial(cx - 12, cy - 14, 4, cx, cy, r);
  cairo_pattern_add_color_stop_rgb(g, 0, 1, 0.97, 0.62);
  cairo_pattern_add_color_stop_rgb(g, 1, 1, 0.78, 0.1);
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  cairo_set_line_width(cr, 3);
  cairo_set_source_rgb(cr, 0.9, 0.55, 0.1);
  cairo_stroke(cr);
  // Face: eyes with a sparkle, rosy cheeks and a wide smile.
  const double ink[3] = {0.25, 0.16, 0.32};
  for (int side = -1; side <= 1; side += 2) {
    cairo_arc(cr, cx + side * 12, cy - 7, 5, 0, 2 * kPi);
    cairo_set_source_rgb(cr, ink[0], ink[1], ink[2]);
    cairo_fill(cr);
    cairo_arc(cr, cx + side * 12 + 1.6, cy - 8.6, 1.7, 0, 2 * kPi);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill(cr);
    cairo_arc(cr, cx + side * 22, cy + 6, 6, 0, 2 * kPi);
    cairo_set_source_rgba(cr, 1, 0.45, 0.4, 0.45);
    cairo_fill(cr);
  }
  cairo_arc(cr, cx, cy + 2, 15, 0.2 * kPi, 0.8 * kPi);
  cairo_set_line_width(cr, 3.5);
  cairo_set_source_rgb(cr, ink[0], ink[1], ink[2]);
  cairo_stroke(cr);
}

bool make_back(const gen::fs::path& file) {
  gen::Canvas c(kCardW, kCardH);
  cairo_t* cr = c.cr();
  cairo_pattern_t* g = cairo_pattern_create_radial(kCardW / 2.0, kCardH / 2.0, 10, kCardW / 2.0, kCardH / 2.0, 140);
  cairo_pattern_add_color_stop_rgb(g, 0, 0.36, 0.42, 0.95);
  cairo_pattern_add_color_stop_rgb(g, 1, 0.2, 0.18, 0.62);
  cairo_set_source(cr, g);
  cairo_paint(cr);
  cairo_pattern_destroy(g);
  // A ring of stars around the sun, alternating yellow and white.
  for (int k = 0; k < 12; ++k) {
    double a = k * kPi / 6 + kPi / 12;
    double x = kCardW / 2.0 + 88 * std::cos(a), y = kCardH / 2.0 + 64 * std::sin(a);
    star(cr, x, y, k % 2 ? 8 : 10, a);
    if (k % 2) cairo_set_source_rgb(cr, 0.95, 0.95, 1);
    else cairo_set_source_rgb(cr, 1, 0.86, 0.3);
    cairo_fill(cr);
  }
  gen::Rng rng(808);
  for (int k = 0; k < 26; ++k) {  // tiny twinkles
    double x = rng.range(6, kCardW - 6), y = rng.range(6, kCardH - 6);
    double dx = x - kCardW / 2.0, dy = y - kCardH / 2.0;
    if (dx * dx / (62.0 * 62.0) + dy * dy / (58.0 * 58.0) < 1) continue;  // keep clear of the sun
    cairo_arc(cr, x, y, rng.range(1.2, 2.2), 0, 2 * kPi);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.8);
    cairo_fill(cr);
  }
  sun(cr, kCardW / 2.0, kCardH / 2.0);
  return c.save_jpeg(file, 92);
}

bool make_frame(const gen::fs::path& file) {
  const int w = kCardW + 2 * kEdge, h = kCardH + 2 * kEdge;
  gen::Canvas c(w, h);
  cairo_t* cr = c.cr();
  rounded(cr, 0, 0, w, h, 12);
  rounded(cr, kEdge, kEdge, kCardW, kCardH, 8);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, w, h);
  cairo_pattern_add_color_stop_rgb(g, 0, 1, 0.93, 0.6);
  cairo_pattern_add_color_stop_rgb(g, 0.45, 0.98, 0.76, 0.22);
  cairo_pattern_add_color_stop_rgb(g, 0.55, 1, 0.86, 0.42);
  cairo_pattern_add_color_stop_rgb(g, 1, 0.85, 0.58, 0.12);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  // A darker line just inside the outer edge and a light one along the inner edge.
  cairo_set_line_width(cr, 1.2);
  rounded(cr, 0.6, 0.6, w - 1.2, h - 1.2, 11.4);
  cairo_set_source_rgba(cr, 0.6, 0.38, 0.05, 0.9);
  cairo_stroke(cr);
  rounded(cr, kEdge - 0.6, kEdge - 0.6, kCardW + 1.2, kCardH + 1.2, 8.6);
  cairo_set_source_rgba(cr, 1, 1, 0.9, 0.9);
  cairo_stroke(cr);
  return c.save_png(file);
}

bool make(const gen::fs::path& out) {
  bool ok = make_back(out / "pairs" / "back.jpg");
  return make_frame(out / "pairs" / "frame.png") && ok;
}

gen::Register reg("pairs", make);

}  // namespace
