// The small picture on each activity's help page: a sketch of the activity itself, drawn with a
// few shared scenes (hills with a house, a boat, a flower, an apple) and the program's pointer.
#include <cmath>
#include <string>

#include "tools/help.hpp"
#include "tools/kit/colour.hpp"
#include "tools/kit/shapes.hpp"

namespace help {

namespace {

using gen::Col;
using gen::kInk;
using gen::kPi;
using gen::kWhite;
using gen::rounded;
using gen::set;

}  // namespace

void art_frames(cairo_t* cr, double w, double h) {
  set(cr, {0.99, 0.91, 0.72});
  cairo_paint(cr);
  for (double x = 0; x < w; x += 24) {
    cairo_rectangle(cr, x, 0, 12, h);
    set(cr, {1, 0.96, 0.84}, 0.6);
    cairo_fill(cr);
  }
  const double fw = 104, fh = 72, xs[2] = {28, 168}, ys[2] = {22, 116};
  for (int i = 0; i < 4; ++i) {
    double x = xs[i % 2], y = ys[i / 2];
    rounded(cr, x - 9, y - 9, fw + 18, fh + 18, 4);
    set(cr, {0.66, 0.40, 0.20});
    cairo_fill_preserve(cr);
    set(cr, kInk);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_rectangle(cr, x, y, fw, fh);
    set(cr, {0.93, 0.93, 0.96});
    cairo_fill(cr);
    if (i == 0) scene(cr, x, y, fw, fh, 0);
    if (i == 1) scene(cr, x, y, fw, fh, 2);
    cairo_rectangle(cr, x, y, fw, fh);
    set(cr, {0.45, 0.25, 0.12});
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
  }
  // A "ping" as the pointer enters the top-right frame.
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 3);
  for (int k = 0; k < 3; ++k) {
    double a = -0.3 + k * 0.5;
    cairo_move_to(cr, 238 + 16 * std::cos(a), 70 + 16 * std::sin(a));
    cairo_line_to(cr, 238 + 26 * std::cos(a), 70 + 26 * std::sin(a));
  }
  set(cr, {1, 0.55, 0.1});
  cairo_stroke(cr);
  pointer(cr, 226, 64);
}

void art_count(cairo_t* cr, double w, double h) {
  sky_background(cr, w, h);
  const Col colours[6] = {{0.93, 0.26, 0.24}, {0.98, 0.58, 0.12}, {0.99, 0.80, 0.16},
                          {0.36, 0.75, 0.23}, {0.20, 0.56, 0.90}, {0.58, 0.38, 0.86}};
  const double pos[9][2] = {{54, 44},   {150, 52}, {246, 40},  {40, 112}, {140, 118},
                            {252, 108}, {66, 172}, {158, 176}, {240, 170}};
  const int numbers[9] = {4, 1, 7, 2, 3, 9, 6, 8, 5};
  for (int i = 0; i < 9; ++i)
    ball(cr, pos[i][0], pos[i][1], 24, colours[(numbers[i] - 1) % 6], numbers[i], numbers[i] == 3);
  pointer(cr, 146, 124);
}

void art_bounce(cairo_t* cr, double w, double h) {
  sky_background(cr, w, h);
  const double cw = 48, ch = 36;
  auto trail = [&](double x, double y, double dx, double dy, int kind, int steps) {
    for (int i = 0; i < steps; ++i) {
      if (y + ch > h) {
        dy = -dy * 0.8;
        y = h - ch;
      }
      if (i % 5 == 0) {
        cairo_rectangle(cr, x - 2, y - 2, cw + 4, ch + 4);
        set(cr, kWhite);
        cairo_fill(cr);
        scene(cr, x, y, cw, ch, kind);
      }
      x += dx;
      y += dy;
      dy += 0.12;
    }
  };
  trail(-30, 6, 3.2, 0.0, 0, 96);
  trail(w - 24, 120, -3.2, 0.0, 1, 11);
}

void art_kaleid(cairo_t* cr, double w, double h) {
  set(cr, {0, 0, 0});
  cairo_paint(cr);
  const double cx = w / 2, cy = h / 2, r = 84;
  cairo_save(cr);
  cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
  cairo_clip(cr);
  // One wedge of shapes, repeated in the eight mirror images of a square.
  for (int k = 0; k < 8; ++k) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, (k / 2) * kPi / 2);
    if (k % 2) cairo_scale(cr, 1, -1);
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, r, 0);
    cairo_line_to(cr, r, r);
    cairo_close_path(cr);
    cairo_clip(cr);
    set(cr, {0.20, 0.45, 0.90});
    cairo_paint(cr);
    cairo_arc(cr, 50, 20, 22, 0, 2 * kPi);
    set(cr, {1, 0.80, 0.2});
    cairo_fill(cr);
    cairo_arc(cr, 78, 52, 18, 0, 2 * kPi);
    set(cr, {0.93, 0.30, 0.45});
    cairo_fill(cr);
    cairo_arc(cr, 22, 6, 10, 0, 2 * kPi);
    set(cr, {0.4, 0.85, 0.4});
    cairo_fill(cr);
    cairo_move_to(cr, 30, 0);
    cairo_line_to(cr, 84, 34);
    set(cr, kWhite, 0.9);
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
    cairo_restore(cr);
  }
  cairo_restore(cr);
  cairo_arc(cr, cx, cy, r + 6, 0, 2 * kPi);
  set(cr, {0.75, 0.55, 0.95});
  cairo_set_line_width(cr, 12);
  cairo_stroke_preserve(cr);
  set(cr, kWhite);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
}

void art_uncover(cairo_t* cr, double w, double h) {
  const bool shown[12] = {1, 1, 0, 0, 1, 0, 1, 0, 0, 1, 1, 0};
  jigsaw_board(cr, w, h, {0, 0, 0.39}, shown, 0);
  pointer(cr, 190, 120);
}

void art_where(cairo_t* cr, double w, double h) {
  const bool shown[12] = {1, 0, 0, 1, 1, 1, 0, 0, 0, 0, 1, 0};
  jigsaw_board(cr, w, h, {0.59, 0, 0}, shown, 1);
  // The card: one piece on a pink field in a white frame, in the top-right corner.
  const double s = 62, ox = (w - 4 * s) / 2, oy = (h - 3 * s) / 2;
  const double cw = 72, cx = w - cw - 6, cy = 6;
  cairo_rectangle(cr, cx, cy, cw, cw);
  set(cr, kWhite);
  cairo_fill(cr);
  cairo_rectangle(cr, cx + 4, cy + 4, cw - 8, cw - 8);
  set(cr, {1, 0.75, 1});
  cairo_fill(cr);
  int tabs[4];
  grid_tabs(2, 1, 3, 4, tabs);
  cairo_save(cr);
  double k = 0.62;
  cairo_translate(cr, cx + cw / 2 - s * k / 2, cy + cw / 2 - s * k / 2);
  cairo_scale(cr, k, k);
  piece_path(cr, 0, 0, s, tabs);
  cairo_clip(cr);
  scene(cr, -1 * s, -2 * s, 4 * s, 3 * s, 1);
  cairo_restore(cr);
  // Where it goes: a dashed yellow outline.
  piece_path(cr, ox + s, oy + 2 * s, s, tabs);
  const double dash[] = {6, 4};
  cairo_set_dash(cr, dash, 2, 0);
  set(cr, {1, 0.9, 0.2});
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  cairo_set_dash(cr, nullptr, 0, 0);
  pointer(cr, ox + s * 1.5, oy + s * 2.4);
}

void art_colour(cairo_t* cr, double w, double h) {
  set(cr, {0.39, 0.39, 0.39});
  cairo_paint(cr);
  const double px = 74;
  cairo_rectangle(cr, px, 0, w - px, h);
  set(cr, {0, 0, 0.27});
  cairo_fill(cr);
  // Indicator and palette.
  cairo_arc(cr, px / 2, 30, 18, 0, 2 * kPi);
  set(cr, {0.95, 0.35, 0.55});
  cairo_fill_preserve(cr);
  set(cr, kWhite);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  const Col palette[12] = {{0.93, 0.2, 0.2},   {0.98, 0.55, 0.1}, {1, 0.85, 0.1},   {0.4, 0.8, 0.2},
                           {0.1, 0.6, 0.35},   {0.2, 0.75, 0.9},  {0.15, 0.4, 0.9}, {0.55, 0.3, 0.85},
                           {0.95, 0.35, 0.55}, {0.6, 0.4, 0.2},   {1, 1, 1},        {0.1, 0.1, 0.1}};
  for (int i = 0; i < 12; ++i) {
    cairo_rectangle(cr, 10 + (i % 3) * 18, 120 + (i / 3) * 18, 18, 18);
    set(cr, palette[i]);
    cairo_fill(cr);
  }
  // Six triangles turned about a centre, a few of their parts coloured in.
  const double cx = px + (w - px) / 2, cy = h / 2, side = 88;
  auto triangle = [&](int k) {
    double a = k * kPi / 3;
    cairo_move_to(cr, cx, cy);
    for (int j = 0; j < 3; ++j) {
      double x = cx, y = cy;
      for (int m = 0; m <= j; ++m) {
        double hd = a + m * 2 * kPi / 3;
        x += side * std::sin(hd);
        y -= side * std::cos(hd);
      }
      cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
  };
  const Col fills[3] = {{1, 0.85, 0.1}, {0.95, 0.35, 0.55}, {0.2, 0.75, 0.9}};
  for (int k = 0; k < 6; k += 2) {
    triangle(k);
    set(cr, fills[k / 2]);
    cairo_fill(cr);
  }
  for (int k = 0; k < 6; ++k) triangle(k);
  set(cr, kWhite);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  pointer(cr, cx + 30, cy - 40);
}

void art_pairs(cairo_t* cr, double w, double h) {
  sky_background(cr, w, h);
  const double cw = 58, ch = 40, gx = (w - 4 * cw) / 5, gy = (h - 4 * ch) / 5;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) {
      double x = gx + c * (cw + gx), y = gy + r * (ch + gy);
      int i = r * 4 + c;
      if (i == 5 || i == 10) continue;  // a pair already found
      rounded(cr, x - 2, y - 2, cw + 4, ch + 4, 4);
      set(cr, kWhite);
      cairo_fill(cr);
      if (i == 2 || i == 12) {
        scene(cr, x, y, cw, ch, 3);
      } else {
        cairo_rectangle(cr, x, y, cw, ch);
        set(cr, {0.10, 0.66, 0.62});
        cairo_fill(cr);
        for (int d = 0; d < 6; ++d) {
          cairo_arc(cr, x + 8 + (d % 3) * 21, y + 11 + (d / 3) * 18, 3.5, 0, 2 * kPi);
          set(cr, kWhite, 0.7);
          cairo_fill(cr);
        }
      }
    }
  pointer(cr, gx + 0.6 * cw, 3 * (ch + gy) + gy + 0.5 * ch);
}

void art_jigsaw(cairo_t* cr, double, double) {
  set(cr, {1, 0.75, 1});
  cairo_paint(cr);
  const double s = 60;
  struct Placed {
    int r, c;
    double x, y;
    bool shadow;
  };
  // A picture of 3 x 2 pieces whose home is the top-left: two joined at home, the others loose.
  const Placed pieces[] = {{0, 0, 16, 16, false},  {0, 1, 16 + s, 16, false}, {0, 2, 214, 118, false},
                           {1, 0, 40, 128, false}, {1, 2, 218, 20, false},    {1, 1, 130, 100, true}};
  for (const Placed& p : pieces) {
    int tabs[4];
    grid_tabs(p.r, p.c, 2, 3, tabs);
    if (p.shadow) {
      piece_path(cr, p.x + 5, p.y + 5, s, tabs);
      set(cr, {0, 0, 0}, 0.4);
      cairo_fill(cr);
    }
    piece_path(cr, p.x, p.y, s, tabs);
    cairo_save(cr);
    cairo_clip_preserve(cr);
    scene(cr, p.x - p.c * s, p.y - p.r * s, 3 * s, 2 * s, 0);
    cairo_restore(cr);
    set(cr, kInk, 0.8);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
  }
  pointer(cr, 160, 128);
}

void plain_art(cairo_t* cr, double w, double h) {
  sky_background(cr, w, h);
  pointer(cr, w / 2, h / 2);
}

}  // namespace help
