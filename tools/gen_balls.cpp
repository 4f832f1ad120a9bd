// count/, count_glow/, count_red/: twenty numbered balls in three looks (normal, glowing, red).
// Every image is the same square size; the ball itself is opaque and everything outside it is
// transparent (a faint shadow and the glow's halo stay well below half alpha at their edges).
// The image width sets the grid margin: 172 px images fit the 204 x 192 cells of a 20-ball game.
#include <cmath>
#include <string>

#include "tools/kit/canvas.hpp"
#include "tools/kit/text.hpp"
#include "tools/kit/colour.hpp"

namespace {

constexpr int kSize = 172;          // image side
constexpr double kCentre = kSize / 2.0;
constexpr double kBall = 68;        // ball radius; the glow's halo reaches the image edge

using gen::Col;
using gen::darken;
using gen::kPi;
using gen::lighten;
using gen::rgb255;

// One bright colour per number; none of them is close to the red of a wrong touch.
const Col kColours[20] = {
    rgb255(255, 150, 40),  rgb255(70, 170, 250),  rgb255(90, 200, 80),   rgb255(255, 120, 190),
    rgb255(255, 212, 40),  rgb255(160, 100, 235), rgb255(30, 200, 190),  rgb255(255, 140, 100),
    rgb255(175, 222, 50),  rgb255(80, 112, 240),  rgb255(228, 90, 222),  rgb255(250, 178, 60),
    rgb255(100, 222, 155), rgb255(185, 150, 245), rgb255(40, 160, 215),  rgb255(255, 178, 125),
    rgb255(60, 172, 95),   rgb255(245, 105, 160), rgb255(235, 228, 70),  rgb255(130, 85, 205),
};
const Col kWrongRed = rgb255(228, 38, 44);
const Col kInk = rgb255(40, 30, 72);

enum class Look { normal, glow, red };

void glow_halo(cairo_t* cr) {
  cairo_pattern_t* g = cairo_pattern_create_radial(kCentre, kCentre, kBall - 4, kCentre, kCentre, kSize / 2.0);
  cairo_pattern_add_color_stop_rgba(g, 0, 1.0, 0.9, 0.3, 1.0);
  cairo_pattern_add_color_stop_rgba(g, 0.3, 1.0, 0.84, 0.2, 0.85);
  cairo_pattern_add_color_stop_rgba(g, 0.7, 1.0, 0.8, 0.15, 0.35);
  cairo_pattern_add_color_stop_rgba(g, 1, 1.0, 0.78, 0.1, 0);
  cairo_arc(cr, kCentre, kCentre, kSize / 2.0, 0, 2 * kPi);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  // Eight little sparkles in the halo.
  for (int k = 0; k < 8; ++k) {
    double a = k * kPi / 4 + kPi / 8, d = kBall + 8;
    double x = kCentre + d * std::cos(a), y = kCentre + d * std::sin(a), s = 9;
    cairo_move_to(cr, x, y - s);
    cairo_curve_to(cr, x, y, x, y, x + s, y);
    cairo_curve_to(cr, x, y, x, y, x, y + s);
    cairo_curve_to(cr, x, y, x, y, x - s, y);
    cairo_curve_to(cr, x, y, x, y, x, y - s);
    cairo_set_source_rgba(cr, 1, 1, 0.9, 1);
    cairo_fill(cr);
  }
}

void soft_shadow(cairo_t* cr) {
  cairo_save(cr);
  cairo_translate(cr, kCentre + 3, kCentre + kBall * 0.9);
  cairo_scale(cr, 1, 0.28);
  cairo_pattern_t* g = cairo_pattern_create_radial(0, 0, 0, 0, 0, kBall * 0.85);
  cairo_pattern_add_color_stop_rgba(g, 0, 0.1, 0.15, 0.3, 0.35);
  cairo_pattern_add_color_stop_rgba(g, 1, 0.1, 0.15, 0.3, 0);
  cairo_arc(cr, 0, 0, kBall * 0.85, 0, 2 * kPi);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  cairo_restore(cr);
}

void body(cairo_t* cr, Col c, Look look) {
  Col rim = look == Look::glow ? rgb255(255, 206, 30) : darken(c, 0.3);
  cairo_arc(cr, kCentre, kCentre, kBall, 0, 2 * kPi);
  cairo_pattern_t* g = cairo_pattern_create_radial(kCentre - 22, kCentre - 26, 4, kCentre, kCentre, kBall);
  Col hi = lighten(c, look == Look::glow ? 0.75 : 0.5), lo = darken(c, look == Look::glow ? 0.05 : 0.18);
  cairo_pattern_add_color_stop_rgb(g, 0, hi.r, hi.g, hi.b);
  cairo_pattern_add_color_stop_rgb(g, 0.55, c.r, c.g, c.b);
  cairo_pattern_add_color_stop_rgb(g, 1, lo.r, lo.g, lo.b);
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  cairo_set_line_width(cr, look == Look::glow ? 7 : 4);
  cairo_set_source_rgb(cr, rim.r, rim.g, rim.b);
  cairo_stroke(cr);
  // Glossy window highlight across the top.
  cairo_save(cr);
  cairo_translate(cr, kCentre - 8, kCentre - kBall * 0.52);
  cairo_rotate(cr, -0.35);
  cairo_scale(cr, 1, 0.48);
  cairo_arc(cr, 0, 0, kBall * 0.56, 0, 2 * kPi);
  cairo_restore(cr);
  cairo_pattern_t* h = cairo_pattern_create_linear(0, kCentre - kBall, 0, kCentre - kBall * 0.25);
  cairo_pattern_add_color_stop_rgba(h, 0, 1, 1, 1, 0.85);
  cairo_pattern_add_color_stop_rgba(h, 1, 1, 1, 1, 0.05);
  cairo_set_source(cr, h);
  cairo_fill(cr);
  cairo_pattern_destroy(h);
}

void number(cairo_t* cr, int n) {
  std::string text = std::to_string(n);
  const double size = n < 10 ? 96 : 80;
  // Its outline laid once at the origin to find its ink's middle, then again centred.
  double x0, y0, x1, y1;
  cairo_move_to(cr, 0, 0);
  gen::text_path(cr, text, size);
  cairo_path_extents(cr, &x0, &y0, &x1, &y1);
  cairo_new_path(cr);
  cairo_move_to(cr, kCentre - (x0 + x1) / 2, kCentre - (y0 + y1) / 2 + 2);
  gen::text_path(cr, text, size);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, 11);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_stroke_preserve(cr);
  cairo_set_source_rgb(cr, kInk.r, kInk.g, kInk.b);
  cairo_fill(cr);
}

bool make_ball(const gen::fs::path& file, int n, Look look) {
  gen::Canvas c(kSize, kSize);
  cairo_t* cr = c.cr();
  if (look == Look::glow) glow_halo(cr);
  else soft_shadow(cr);
  body(cr, look == Look::red ? kWrongRed : kColours[n - 1], look);
  number(cr, n);
  return c.save_png(file);
}

bool make(const gen::fs::path& out) {
  bool ok = true;
  for (int n = 1; n <= 20; ++n) {
    std::string name = std::to_string(n) + ".png";
    ok = make_ball(out / "count" / name, n, Look::normal) && ok;
    ok = make_ball(out / "count_glow" / name, n, Look::glow) && ok;
    ok = make_ball(out / "count_red" / name, n, Look::red) && ok;
  }
  return ok;
}

gen::Register reg("count", make);

}  // namespace
