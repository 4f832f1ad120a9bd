// kaleid/mask.png and kaleid/ring.png.
// The mask is laid over the square above and to the left of the pointer (its bottom-right corner is
// the pointer); that square is then repeated eight times, mirrored and turned, around the pointer.
// Transparent mask pixels let the turning picture through, pure white ones drop out, and any other
// colour becomes part of the pattern. The picture shows only in the 45-degree wedge between "left"
// and "up-left" of the pointer, which the eight copies turn into a full flower of eight petals with
// a golden outline and a jewel in the middle. The ring is centred on the pointer and frames it.
// Alpha in both files is all-or-nothing: they are drawn with a half-alpha cut-off.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "tools/kit/canvas.hpp"

namespace {

using gen::kPi;

constexpr int kSide = 150;               // mask width: the side of the square that is repeated
constexpr int kRingMargin = 30;          // the pointer is kept this much beyond kSide from each edge
constexpr int kRing = 2 * (kSide + kRingMargin);
constexpr double kFlower = kSide - 10.0;  // petal tips reach this far from the pointer
constexpr double kOutline = 6.5;         // width of the golden petal outline
constexpr double kJewel = 13.0;          // radius of the middle jewel


// Outer edge of the flower at angle a (radians): eight round petals, one on each mirror line.
double petal_edge(double a) {
  double c = std::fabs(std::cos(4 * a));
  return kFlower * (0.74 + 0.26 * std::sqrt(c));
}

// Distance from a point inside the flower to its edge (measured to the nearest point of the edge,
// so the outline keeps one width all round, into the notches between the petals too).
double edge_distance(double dx, double dy) {
  constexpr int kSteps = 2048;
  static const std::vector<std::pair<double, double>> edge = [] {
    std::vector<std::pair<double, double>> pts(kSteps);
    for (int k = 0; k < kSteps; ++k) {
      double a = 2 * kPi * k / kSteps, rho = petal_edge(a);
      pts[k] = {rho * std::cos(a), rho * std::sin(a)};
    }
    return pts;
  }();
  int at = static_cast<int>(std::lround((std::atan2(dy, dx) + 2 * kPi) / (2 * kPi) * kSteps));
  double best = 1e9;
  for (int k = at - 100; k <= at + 100; ++k) {
    const auto& p = edge[((k % kSteps) + kSteps) % kSteps];
    best = std::min(best, (p.first - dx) * (p.first - dx) + (p.second - dy) * (p.second - dy));
  }
  return std::sqrt(best);
}

enum Part { kDrop, kPicture, kGold, kGem };

// What the pattern shows at (dx, dy) from the pointer, folded into the wedge the picture fills.
Part part_at(double dx, double dy) {
  double d = std::hypot(dx, dy);
  if (d <= kJewel) return kGem;
  if (d <= kJewel + 3.5) return kGold;
  double edge = petal_edge(std::atan2(dy, dx));
  if (d > edge) return kDrop;
  if (edge - d < 45 && edge_distance(dx, dy) < kOutline) return kGold;  // flanks stay within 45 px
  return kPicture;
}

uint32_t argb(double r, double g, double b) {
  auto c = [](double v) { return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 254)); };
  return 0xFF000000u | c(r) << 16 | c(g) << 8 | c(b);  // 254 at most: never the drop-out white
}

// Gold that is bright in the middle of its band and deeper towards both sides (t from 0 to 1).
uint32_t gold(double t) {
  double k = 1 - std::fabs(2 * t - 1);
  return argb(0.85 + 0.15 * k, 0.5 + 0.42 * k, 0.08 + 0.42 * k * k);
}

uint32_t gem(double d) {
  double t = d / kJewel;
  return argb(1.0 - 0.25 * t, 0.35 + 0.45 * (1 - t) * (1 - t), 0.55 + 0.3 * (1 - t));
}

bool make_mask(const gen::fs::path& file) {
  gen::Canvas c(kSide, kSide);
  constexpr int kSub = 4;  // samples per pixel side; the most frequent part wins
  for (int j = 0; j < kSide; ++j) {
    for (int i = 0; i < kSide; ++i) {
      int votes[4] = {0, 0, 0, 0};
      for (int sj = 0; sj < kSub; ++sj)
        for (int si = 0; si < kSub; ++si) {
          double dx = i + (si + 0.5) / kSub - kSide, dy = j + (sj + 0.5) / kSub - kSide;
          ++votes[part_at(dx, dy)];
        }
      int best = kDrop;
      for (int p = kPicture; p <= kGem; ++p)
        if (votes[p] > votes[best]) best = p;
      // Only the wedge on or below the diagonal carries the picture; the copy mirrored across
      // the diagonal fills the other half, so the picture there drops out.
      if (best == kPicture && j < i) best = kDrop;
      double dx = i + 0.5 - kSide, dy = j + 0.5 - kSide, d = std::hypot(dx, dy);
      double band = d < kJewel + 4 ? (d - kJewel) / 3.5 : 1 - edge_distance(dx, dy) / kOutline;
      uint32_t px = best == kDrop      ? 0xFFFFFFFFu
                    : best == kPicture ? 0u
                    : best == kGold    ? gold(std::clamp(band, 0.0, 1.0))
                                       : gem(d);
      c.set_pixel(i, j, px);
    }
  }
  return c.save_png(file);
}

// A shiny rainbow tube with golden beads, opaque between its inner and outer edge only.
bool make_ring(const gen::fs::path& file) {
  gen::Canvas c(kRing, kRing);
  cairo_t* cr = c.cr();
  const double mid = kRing / 2.0, inner = kSide - 6, outer = kRing / 2.0 - 3;
  const int segments = 240;
  for (int s = 0; s < segments; ++s) {
    double a0 = 2 * kPi * s / segments - kPi / 2, a1 = 2 * kPi * (s + 1.05) / segments - kPi / 2;
    double h = 6.0 * s / segments;  // hue around the ring, red at the top
    double r = std::clamp(std::fabs(h - 3) - 1, 0.0, 1.0), g = std::clamp(2 - std::fabs(h - 2), 0.0, 1.0),
           b = std::clamp(2 - std::fabs(h - 4), 0.0, 1.0);
    cairo_new_path(cr);
    cairo_arc(cr, mid, mid, outer, a0, a1);
    cairo_arc_negative(cr, mid, mid, inner, a1, a0);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 0.15 + 0.8 * r, 0.15 + 0.8 * g, 0.15 + 0.8 * b);
    cairo_fill(cr);
  }
  // Tube shading: light along the inner third, darker at both edges.
  cairo_pattern_t* sh = cairo_pattern_create_radial(mid, mid, inner, mid, mid, outer);
  cairo_pattern_add_color_stop_rgba(sh, 0, 0.1, 0.05, 0.25, 0.45);
  cairo_pattern_add_color_stop_rgba(sh, 0.3, 1, 1, 1, 0.55);
  cairo_pattern_add_color_stop_rgba(sh, 0.5, 1, 1, 1, 0.1);
  cairo_pattern_add_color_stop_rgba(sh, 1, 0.1, 0.05, 0.25, 0.5);
  cairo_new_path(cr);
  cairo_arc(cr, mid, mid, outer, 0, 2 * kPi);
  cairo_arc_negative(cr, mid, mid, inner, 2 * kPi, 0);
  cairo_set_source(cr, sh);
  cairo_fill(cr);
  cairo_pattern_destroy(sh);
  // Golden beads round the middle of the tube.
  const double bead_at = (inner + outer) / 2;
  for (int k = 0; k < 16; ++k) {
    double a = 2 * kPi * k / 16 + kPi / 16;
    double x = mid + bead_at * std::cos(a), y = mid + bead_at * std::sin(a), br = 7.5;
    cairo_pattern_t* g = cairo_pattern_create_radial(x - 2.5, y - 2.5, 0.5, x, y, br);
    cairo_pattern_add_color_stop_rgb(g, 0, 1, 0.98, 0.8);
    cairo_pattern_add_color_stop_rgb(g, 0.5, 1, 0.8, 0.2);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.75, 0.5, 0.08);
    cairo_arc(cr, x, y, br, 0, 2 * kPi);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  }
  // Deep purple edges.
  cairo_set_source_rgb(cr, 0.25, 0.12, 0.4);
  cairo_set_line_width(cr, 2.5);
  cairo_arc(cr, mid, mid, outer - 1, 0, 2 * kPi);
  cairo_stroke(cr);
  cairo_arc(cr, mid, mid, inner + 1, 0, 2 * kPi);
  cairo_stroke(cr);
  // All-or-nothing alpha, so the cut-off keeps exactly the colours seen here.
  for (int y = 0; y < kRing; ++y)
    for (int x = 0; x < kRing; ++x) {
      uint32_t p = c.pixel(x, y);
      if (p >> 24 == 0 || p >> 24 == 255) continue;
      c.set_pixel(x, y, p >> 24 >= 128 ? (p | 0xFF000000u) : 0u);
    }
  return c.save_png(file);
}

bool make(const gen::fs::path& out) {
  bool ok = make_mask(out / "kaleid" / "mask.png");
  return make_ring(out / "kaleid" / "ring.png") && ok;
}

gen::Register reg("kaleid", make);

}  // namespace
