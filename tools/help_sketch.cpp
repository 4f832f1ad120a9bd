// The pieces the help pages' small pictures are sketched from.
#include <cmath>
#include <string>

#include "tools/help.hpp"
#include "tools/kit/colour.hpp"
#include "tools/kit/text.hpp"

namespace help {

namespace {

using gen::Col;
using gen::kInk;
using gen::kPi;
using gen::kWhite;
using gen::mix;
using gen::set;
using gen::show_centred;

}  // namespace

// One of a few small cheerful scenes, drawn to fill (x, y, w, h): 0 hills with a house, 1 a boat
// on the sea, 2 a flower, 3 an apple.
void scene(cairo_t* cr, double x, double y, double w, double h, int kind) {
  cairo_save(cr);
  cairo_rectangle(cr, x, y, w, h);
  cairo_clip(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, w / 120, h / 90);
  cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, 90);
  const Col tops[4] = {{0.45, 0.72, 0.98}, {0.55, 0.80, 1.0}, {0.80, 0.93, 0.72}, {1.0, 0.93, 0.62}};
  cairo_pattern_add_color_stop_rgb(sky, 0, tops[kind].r, tops[kind].g, tops[kind].b);
  Col low = mix(tops[kind], kWhite, 0.5);
  cairo_pattern_add_color_stop_rgb(sky, 1, low.r, low.g, low.b);
  cairo_set_source(cr, sky);
  cairo_paint(cr);
  cairo_pattern_destroy(sky);
  switch (kind) {
    case 0:
      cairo_arc(cr, 96, 20, 11, 0, 2 * kPi);
      set(cr, {1, 0.85, 0.2});
      cairo_fill(cr);
      cairo_save(cr);
      cairo_scale(cr, 1, 0.5);
      cairo_arc(cr, 30, 170, 70, 0, 2 * kPi);
      set(cr, {0.45, 0.78, 0.30});
      cairo_fill(cr);
      cairo_arc(cr, 100, 180, 60, 0, 2 * kPi);
      set(cr, {0.32, 0.68, 0.25});
      cairo_fill(cr);
      cairo_restore(cr);
      cairo_rectangle(cr, 44, 48, 26, 20);
      set(cr, {1, 0.97, 0.88});
      cairo_fill(cr);
      cairo_move_to(cr, 40, 50);
      cairo_line_to(cr, 57, 35);
      cairo_line_to(cr, 74, 50);
      cairo_close_path(cr);
      set(cr, {0.90, 0.28, 0.22});
      cairo_fill(cr);
      cairo_rectangle(cr, 53, 56, 8, 12);
      set(cr, {0.55, 0.33, 0.18});
      cairo_fill(cr);
      break;
    case 1:
      cairo_rectangle(cr, 0, 55, 120, 35);
      set(cr, {0.15, 0.50, 0.85});
      cairo_fill(cr);
      cairo_set_line_width(cr, 2.5);
      for (int row = 0; row < 3; ++row)
        for (int i = 0; i < 6; ++i) {
          cairo_arc(cr, 10 + i * 22 + row * 8, 64 + row * 9, 6, kPi * 1.1, kPi * 1.9);
          set(cr, kWhite, 0.7);
          cairo_stroke(cr);
        }
      cairo_move_to(cr, 36, 54);
      cairo_line_to(cr, 84, 54);
      cairo_line_to(cr, 76, 64);
      cairo_line_to(cr, 44, 64);
      cairo_close_path(cr);
      set(cr, {0.65, 0.35, 0.18});
      cairo_fill(cr);
      cairo_move_to(cr, 60, 50);
      cairo_line_to(cr, 60, 16);
      cairo_line_to(cr, 82, 48);
      cairo_close_path(cr);
      set(cr, {0.95, 0.30, 0.25});
      cairo_fill(cr);
      cairo_move_to(cr, 58, 50);
      cairo_line_to(cr, 58, 22);
      cairo_line_to(cr, 42, 48);
      cairo_close_path(cr);
      set(cr, {1, 0.9, 0.3});
      cairo_fill(cr);
      break;
    case 2:
      cairo_move_to(cr, 60, 50);
      cairo_curve_to(cr, 62, 65, 56, 78, 60, 92);
      set(cr, {0.25, 0.60, 0.25});
      cairo_set_line_width(cr, 4);
      cairo_stroke(cr);
      cairo_save(cr);
      cairo_translate(cr, 70, 74);
      cairo_rotate(cr, -0.5);
      cairo_scale(cr, 1, 0.45);
      cairo_arc(cr, 0, 0, 11, 0, 2 * kPi);
      cairo_restore(cr);
      cairo_fill(cr);
      for (int i = 0; i < 6; ++i) {
        double a = i * kPi / 3;
        cairo_arc(cr, 60 + 15 * std::cos(a), 38 + 15 * std::sin(a), 11, 0, 2 * kPi);
        set(cr, {0.95, 0.45, 0.70});
        cairo_fill(cr);
      }
      cairo_arc(cr, 60, 38, 10, 0, 2 * kPi);
      set(cr, {1, 0.82, 0.2});
      cairo_fill(cr);
      break;
    default:
      cairo_arc(cr, 52, 50, 24, 0, 2 * kPi);
      cairo_arc(cr, 70, 50, 24, 0, 2 * kPi);
      set(cr, {0.90, 0.18, 0.18});
      cairo_fill(cr);
      cairo_arc(cr, 50, 42, 7, 0, 2 * kPi);
      set(cr, kWhite, 0.5);
      cairo_fill(cr);
      cairo_move_to(cr, 61, 30);
      cairo_curve_to(cr, 62, 24, 63, 20, 66, 16);
      set(cr, {0.45, 0.28, 0.15});
      cairo_set_line_width(cr, 3.5);
      cairo_stroke(cr);
      cairo_move_to(cr, 64, 22);
      cairo_curve_to(cr, 70, 12, 82, 12, 86, 16);
      cairo_curve_to(cr, 80, 24, 70, 26, 64, 22);
      set(cr, {0.35, 0.72, 0.25});
      cairo_fill(cr);
      break;
  }
  cairo_restore(cr);
}

void sky_background(cairo_t* cr, double w, double h) {
  cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, h);
  cairo_pattern_add_color_stop_rgb(g, 0, 0.40, 0.67, 0.94);
  cairo_pattern_add_color_stop_rgb(g, 1, 0.82, 0.92, 1.0);
  cairo_set_source(cr, g);
  cairo_paint(cr);
  cairo_pattern_destroy(g);
  (void)w;
}

// The program's pointer, small, tip at (x, y).
void pointer(cairo_t* cr, double x, double y, double scale) {
  const double pts[][2] = {{0, 0},     {3.2, 36},    {11.5, 28.5}, {18.5, 42.5},
                           {25.5, 39}, {18.5, 25.5}, {30.5, 24}};
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, scale, scale);
  cairo_move_to(cr, 0, 0);
  for (const auto& p : pts) cairo_line_to(cr, p[0], p[1]);
  cairo_close_path(cr);
  cairo_restore(cr);
  set(cr, kWhite);
  cairo_fill_preserve(cr);
  set(cr, kInk);
  cairo_set_line_width(cr, 2.5);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);
}

// A square jigsaw piece of side s at (x, y); tabs for top, right, bottom, left: +1 out, -1 in, 0 flat.
void piece_path(cairo_t* cr, double x, double y, double s, const int tabs[4]) {
  const double corners[4][2] = {{x, y}, {x + s, y}, {x + s, y + s}, {x, y + s}};
  cairo_move_to(cr, x, y);
  for (int e = 0; e < 4; ++e) {
    const double* a = corners[e];
    const double* b = corners[(e + 1) % 4];
    double ux = (b[0] - a[0]) / s, uy = (b[1] - a[1]) / s;
    double nx = uy * tabs[e], ny = -ux * tabs[e];  // outward normal times the tab's direction
    auto at = [&](double along, double out, double& px, double& py) {
      px = a[0] + (ux * along + nx * out) * s;
      py = a[1] + (uy * along + ny * out) * s;
    };
    if (tabs[e] != 0) {
      double p[8][2];
      const double shape[8][2] = {{0.36, 0},    {0.44, 0.02}, {0.30, 0.26}, {0.50, 0.26},
                                  {0.70, 0.26}, {0.56, 0.02}, {0.64, 0},    {1, 0}};
      for (int i = 0; i < 8; ++i) at(shape[i][0], shape[i][1], p[i][0], p[i][1]);
      cairo_line_to(cr, p[0][0], p[0][1]);
      cairo_curve_to(cr, p[1][0], p[1][1], p[2][0], p[2][1], p[3][0], p[3][1]);
      cairo_curve_to(cr, p[4][0], p[4][1], p[5][0], p[5][1], p[6][0], p[6][1]);
    }
    cairo_line_to(cr, b[0], b[1]);
  }
  cairo_close_path(cr);
}

// Tabs of piece (r, c) in a grid whose inner edges alternate in and out.
void grid_tabs(int r, int c, int rows, int cols, int tabs[4]) {
  auto h = [](int r, int c) { return (r + c) % 2 ? 1 : -1; };      // edge below (r, c)
  auto v = [](int r, int c) { return (r * 3 + c) % 2 ? -1 : 1; };  // edge right of (r, c)
  tabs[0] = r > 0 ? -h(r - 1, c) : 0;
  tabs[1] = c < cols - 1 ? v(r, c) : 0;
  tabs[2] = r < rows - 1 ? h(r, c) : 0;
  tabs[3] = c > 0 ? -v(r, c - 1) : 0;
}

void ball(cairo_t* cr, double x, double y, double r, Col colour, int number, bool glow) {
  if (glow) {
    cairo_pattern_t* g = cairo_pattern_create_radial(x, y, r * 0.8, x, y, r * 1.9);
    cairo_pattern_add_color_stop_rgba(g, 0, 1, 0.95, 0.4, 0.95);
    cairo_pattern_add_color_stop_rgba(g, 1, 1, 0.95, 0.4, 0);
    cairo_set_source(cr, g);
    cairo_arc(cr, x, y, r * 1.9, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  }
  cairo_pattern_t* g = cairo_pattern_create_radial(x - r * 0.35, y - r * 0.4, r * 0.1, x, y, r);
  Col light = mix(colour, kWhite, 0.55);
  cairo_pattern_add_color_stop_rgb(g, 0, light.r, light.g, light.b);
  cairo_pattern_add_color_stop_rgb(g, 1, colour.r, colour.g, colour.b);
  cairo_set_source(cr, g);
  cairo_arc(cr, x, y, r, 0, 2 * kPi);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  set(cr, kInk);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  cairo_arc(cr, x, y, r * 0.55, 0, 2 * kPi);
  set(cr, kWhite);
  cairo_fill(cr);
  set(cr, kInk);
  show_centred(cr, x, y, std::to_string(number), r * 0.85);
}

// A 4 x 3 jigsaw over the area; pieces marked in `shown` show the picture, the others only the
// template outline.
void jigsaw_board(cairo_t* cr, double w, double h, Col ground, const bool shown[12], int kind) {
  set(cr, ground);
  cairo_paint(cr);
  const double s = 62, ox = (w - 4 * s) / 2, oy = (h - 3 * s) / 2;
  for (int pass = 0; pass < 2; ++pass)
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 4; ++c) {
        int tabs[4];
        grid_tabs(r, c, 3, 4, tabs);
        piece_path(cr, ox + c * s, oy + r * s, s, tabs);
        if (pass == 0 && shown[r * 4 + c]) {
          cairo_save(cr);
          cairo_clip(cr);
          scene(cr, ox, oy, 4 * s, 3 * s, kind);
          cairo_restore(cr);
        } else if (pass == 1) {
          set(cr, kWhite, 0.75);
          cairo_set_line_width(cr, 1.5);
          cairo_stroke(cr);
        } else {
          cairo_new_path(cr);
        }
      }
}

}  // namespace help
