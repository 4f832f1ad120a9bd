// frames4/bgd.jpg: a sunny papered wall with four painted picture frames. Each frame's inner edge
// sits exactly on its 352 x 264 picture area, so a picture drawn there fills the opening.
#include <algorithm>
#include <cmath>

#include "tools/kit/canvas.hpp"
#include "tools/kit/shapes.hpp"
#include "tools/kit/colour.hpp"

namespace {

using gen::rounded;

constexpr int kPicW = 352;
constexpr int kPicH = 264;
constexpr int kBorder = 26;  // moulding width around each picture area
constexpr int kSpots[4][2] = {{94, 74}, {580, 74}, {94, 406}, {580, 406}};

using gen::Col;
using gen::kPi;
using gen::set;

Col shade(Col c, double k) {  // k > 1 lightens towards white, k < 1 darkens
  return k >= 1 ? gen::lighten(c, std::min(1.0, k - 1)) : gen::scaled(c, k);
}

// Soft striped wallpaper with little five-petal flowers, over a wooden skirting board.
void wall(cairo_t* cr) {
  const Col paper{1.0, 0.953, 0.84}, stripe{0.99, 0.91, 0.78};
  set(cr, paper);
  cairo_paint(cr);
  for (int x = 0; x < 1024; x += 64) {
    set(cr, stripe);
    cairo_rectangle(cr, x + 20, 0, 24, 768);
    cairo_fill(cr);
  }
  gen::Rng rng(4242);
  const Col petals[3] = {{1.0, 0.62, 0.68}, {0.55, 0.78, 1.0}, {1.0, 0.78, 0.35}};
  for (int row = 0; row < 17; ++row) {
    for (int col = 0; col < 17; ++col) {
      double cx = col * 64 + (row % 2 ? 32 : 0) + 0.5, cy = row * 48 + 14.5;
      Col p = petals[(row + col * 2) % 3];
      double turn = rng.range(0, kPi);
      for (int k = 0; k < 5; ++k) {
        double a = turn + k * 2 * kPi / 5;
        cairo_arc(cr, cx + 5 * std::cos(a), cy + 5 * std::sin(a), 4, 0, 2 * kPi);
        set(cr, p, 0.75);
        cairo_fill(cr);
      }
      cairo_arc(cr, cx, cy, 2.6, 0, 2 * kPi);
      set(cr, {1.0, 0.93, 0.55});
      cairo_fill(cr);
    }
  }
  // Skirting board along the floor.
  cairo_pattern_t* g = cairo_pattern_create_linear(0, 716, 0, 768);
  cairo_pattern_add_color_stop_rgb(g, 0, 0.93, 0.72, 0.48);
  cairo_pattern_add_color_stop_rgb(g, 0.12, 0.84, 0.6, 0.36);
  cairo_pattern_add_color_stop_rgb(g, 1, 0.62, 0.4, 0.22);
  cairo_rectangle(cr, 0, 716, 1024, 52);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  set(cr, {0.55, 0.36, 0.2});
  cairo_rectangle(cr, 0, 714, 1024, 3);
  cairo_fill(cr);
}

// A soft shadow cast on the wall below and to the right of a frame.
void shadow(cairo_t* cr, double x, double y, double w, double h) {
  for (int i = 12; i >= 0; --i) {
    rounded(cr, x + 5 - i, y + 8 - i, w + 2 * i, h + 2 * i, 6 + i);
    cairo_set_source_rgba(cr, 0.35, 0.22, 0.1, 0.035);
    cairo_fill(cr);
  }
}

// One side of the moulding: a trapezoid with the profile across its width (t = 0 outer, 1 inner).
void side(cairo_t* cr, const double (&pts)[8], double ox, double oy, double ix, double iy, Col base, double light) {
  cairo_pattern_t* g = cairo_pattern_create_linear(ox, oy, ix, iy);
  struct Stop {
    double t, k;
  };
  const Stop profile[] = {{0.0, 0.55}, {0.06, 0.7},  {0.16, 1.35}, {0.3, 1.0},  {0.42, 0.78},
                          {0.62, 1.1}, {0.74, 1.28}, {0.84, 0.9},  {0.93, 0.62}, {1.0, 0.5}};
  for (const Stop& s : profile) {
    Col c = shade(base, s.k * light > 1 ? 1 + (s.k * light - 1) * 0.9 : s.k * light);
    cairo_pattern_add_color_stop_rgb(g, s.t, c.r, c.g, c.b);
  }
  cairo_move_to(cr, pts[0], pts[1]);
  for (int i = 2; i < 8; i += 2) cairo_line_to(cr, pts[i], pts[i + 1]);
  cairo_close_path(cr);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
}

void frame(cairo_t* cr, int px, int py, Col base, bool beads) {
  const double x0 = px - kBorder, y0 = py - kBorder, x1 = px + kPicW + kBorder, y1 = py + kPicH + kBorder;
  const double ix0 = px, iy0 = py, ix1 = px + kPicW, iy1 = py + kPicH;
  shadow(cr, x0, y0, x1 - x0, y1 - y0);
  // The empty opening: a pale canvas with the frame's shadow along its top and left.
  set(cr, {0.99, 0.975, 0.94});
  cairo_rectangle(cr, ix0, iy0, kPicW, kPicH);
  cairo_fill(cr);
  for (int i = 0; i < 10; ++i) {
    cairo_set_source_rgba(cr, 0.45, 0.35, 0.2, 0.05);
    cairo_rectangle(cr, ix0, iy0, kPicW, 10 - i);
    cairo_rectangle(cr, ix0, iy0 + 10 - i, 10 - i, kPicH - 10 + i);
    cairo_fill(cr);
  }
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);  // mitres meet without hairline seams
  side(cr, {x0, y0, x1, y0, ix1, iy0, ix0, iy0}, 0, y0, 0, iy0, base, 1.12);
  side(cr, {x0, y1, x1, y1, ix1, iy1, ix0, iy1}, 0, y1, 0, iy1, base, 0.8);
  side(cr, {x0, y0, ix0, iy0, ix0, iy1, x0, y1}, x0, 0, ix0, 0, base, 1.04);
  side(cr, {x1, y0, ix1, iy0, ix1, iy1, x1, y1}, x1, 0, ix1, 0, base, 0.9);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
  // Corner mitre lines, faintly darker.
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.12);
  const double mitres[4][4] = {{x0, y0, ix0, iy0}, {x1, y0, ix1, iy0}, {x0, y1, ix0, iy1}, {x1, y1, ix1, iy1}};
  for (const auto& m : mitres) {
    cairo_move_to(cr, m[0], m[1]);
    cairo_line_to(cr, m[2], m[3]);
  }
  cairo_stroke(cr);
  // A row of round beads (gilded frame) or painted dots along the middle of the moulding.
  const double mid = kBorder * 0.62;
  const double r = beads ? 3.0 : 3.2;
  auto dot = [&](double x, double y) {
    cairo_arc(cr, x, y, r, 0, 2 * kPi);
    cairo_pattern_t* g = cairo_pattern_create_radial(x - r * 0.4, y - r * 0.4, 0, x, y, r);
    Col hi = beads ? shade(base, 1.6) : Col{1, 1, 1};
    Col lo = beads ? shade(base, 0.75) : shade(base, 1.55);
    cairo_pattern_add_color_stop_rgb(g, 0, hi.r, hi.g, hi.b);
    cairo_pattern_add_color_stop_rgb(g, 1, lo.r, lo.g, lo.b);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  };
  const double step = beads ? 10 : 18;
  const double ax = x0 + kBorder - mid, bx = x1 - kBorder + mid, ay = y0 + kBorder - mid, by = y1 - kBorder + mid;
  int nx = static_cast<int>((bx - ax) / step), ny = static_cast<int>((by - ay) / step);
  for (int i = 0; i <= nx; ++i) {
    double x = ax + (bx - ax) * i / nx;
    dot(x, ay);
    dot(x, by);
  }
  for (int i = 1; i < ny; ++i) {
    double y = ay + (by - ay) * i / ny;
    dot(ax, y);
    dot(bx, y);
  }
}

bool make(const gen::fs::path& out) {
  gen::Canvas c(1024, 768);
  cairo_t* cr = c.cr();
  wall(cr);
  const Col colours[4] = {{0.92, 0.7, 0.18}, {0.93, 0.3, 0.32}, {0.25, 0.56, 0.93}, {0.3, 0.72, 0.3}};
  for (int i = 0; i < 4; ++i) frame(cr, kSpots[i][0], kSpots[i][1], colours[i], i == 0);
  return c.save_jpeg(out / "frames4" / "bgd.jpg", 92);
}

gen::Register reg("frames4", make);

}  // namespace
