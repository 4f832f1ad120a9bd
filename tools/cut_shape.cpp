#include "tools/cut_shape.hpp"

#include <algorithm>
#include <cmath>

#include "tools/kit/gen.hpp"

namespace cuts {

namespace {

// A straight edge, as one cubic step.
Edge straight(Pt a, Pt b) {
  Pt c1{a.x + (b.x - a.x) / 3, a.y + (b.y - a.y) / 3};
  Pt c2{a.x + 2 * (b.x - a.x) / 3, a.y + 2 * (b.y - a.y) / 3};
  return Edge{a, {Seg{c1, c2, b}}};
}

// An edge from a to b with one tab. The tab is laid out in edge units: u along the edge, v across
// it (v > 0 is the side the head bulges into after `side` flips it). s is the size of the smaller
// cell side, so tabs keep the same round shape on long and short edges alike.
Edge tabbed(Pt a, Pt b, double s, gen::Rng& rng) {
  double len = std::hypot(b.x - a.x, b.y - a.y);
  Pt eu{(b.x - a.x) / len, (b.y - a.y) / len};
  double side = rng.next() & 1 ? 1.0 : -1.0;
  Pt ev{-eu.y * side, eu.x * side};

  double cu = len * (0.5 + rng.range(-0.05, 0.05));  // where the tab sits along the edge
  double head = s * rng.range(0.125, 0.14);          // head radius
  double high = s * rng.range(0.265, 0.295);         // top of the head
  double lean = s * rng.range(-0.012, 0.012);        // head a little off its neck
  double base_l = s * rng.range(0.085, 0.1);         // where the neck leaves the edge, each side
  double base_r = s * rng.range(0.085, 0.1);
  double wave = s * rng.range(0.008, 0.02);          // shoulders dip away from the tab

  auto at = [&](double u, double v) { return Pt{a.x + u * eu.x + v * ev.x, a.y + u * eu.y + v * ev.y}; };
  const double k = 0.5523;  // quarter circle by one cubic
  double hc = cu + lean;      // head centre along the edge
  double hv = high - head;    // head centre across the edge

  Edge e{a, {}};
  // Left shoulder, dipping gently away from the tab.
  double s1 = cu - base_l;
  e.segs.push_back({at(s1 * 0.3, -wave * 1.6), at(s1 * 0.7, 0), at(s1, 0)});
  // Up into the neck: runs on past the neck, then swings back out to the head's widest point.
  e.segs.push_back({at(s1 + base_l * 0.6, 0), at(hc - head * 1.05, hv - head * 0.85), at(hc - head, hv)});
  // Round head: two quarter circles over the top.
  e.segs.push_back({at(hc - head, hv + head * k), at(hc - head * k, high), at(hc, high)});
  e.segs.push_back({at(hc + head * k, high), at(hc + head, hv + head * k), at(hc + head, hv)});
  // Back down the other side of the neck to the edge.
  double s2 = cu + base_r;
  e.segs.push_back({at(hc + head * 1.05, hv - head * 0.85), at(s2 - base_r * 0.6, 0), at(s2, 0)});
  // Right shoulder.
  double rest = len - s2;
  e.segs.push_back({at(s2 + rest * 0.3, 0), at(s2 + rest * 0.7, -wave * 1.6), at(len, 0)});
  e.segs.back().end = b;  // exactly on the corner, whatever the rounding
  return e;
}

}  // namespace

Edge reversed(const Edge& e) {
  Edge r{e.finish(), {}};
  for (size_t i = e.segs.size(); i-- > 0;) {
    Pt end = i > 0 ? e.segs[i - 1].end : e.start;
    r.segs.push_back({e.segs[i].c2, e.segs[i].c1, end});
  }
  return r;
}

void add_edge(cairo_t* cr, const Edge& e, bool move) {
  if (move) cairo_move_to(cr, e.start.x, e.start.y);
  for (const Seg& s : e.segs) cairo_curve_to(cr, s.c1.x, s.c1.y, s.c2.x, s.c2.y, s.end.x, s.end.y);
}

Cut::Cut(int rows, int cols, int width, int height, uint32_t seed)
    : rows_(rows), cols_(cols), width_(width), height_(height) {
  gen::Rng rng(seed);
  double cw = static_cast<double>(width) / cols, ch = static_cast<double>(height) / rows;
  double s = std::min(cw, ch);
  double jig = s * 0.045;

  // Grid corners: inner ones wobble both ways, border ones only along their border.
  std::vector<Pt> corner((rows + 1) * (cols + 1));
  for (int r = 0; r <= rows; ++r)
    for (int c = 0; c <= cols; ++c) {
      Pt p{c * cw, r * ch};
      bool edge_x = c == 0 || c == cols, edge_y = r == 0 || r == rows;
      double jx = rng.range(-jig, jig), jy = rng.range(-jig, jig);
      if (!edge_x) p.x += jx;
      if (!edge_y) p.y += jy;
      corner[r * (cols + 1) + c] = p;
    }
  auto at = [&](int r, int c) { return corner[r * (cols + 1) + c]; };

  for (int r = 0; r <= rows; ++r)
    for (int c = 0; c < cols; ++c) {
      bool border = r == 0 || r == rows;
      across_.push_back(border ? straight(at(r, c), at(r, c + 1)) : tabbed(at(r, c), at(r, c + 1), s, rng));
    }
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c <= cols; ++c) {
      bool border = c == 0 || c == cols;
      down_.push_back(border ? straight(at(r, c), at(r + 1, c)) : tabbed(at(r, c), at(r + 1, c), s, rng));
    }
}

void Cut::piece_path(cairo_t* cr, int r, int c) const {
  add_edge(cr, top(r, c), true);
  add_edge(cr, left(r, c + 1), false);
  add_edge(cr, reversed(top(r + 1, c)), false);
  add_edge(cr, reversed(left(r, c)), false);
  cairo_close_path(cr);
}

void Cut::inner_paths(cairo_t* cr) const {
  for (int r = 1; r < rows_; ++r)
    for (int c = 0; c < cols_; ++c) add_edge(cr, top(r, c), true);
  for (int r = 0; r < rows_; ++r)
    for (int c = 1; c < cols_; ++c) add_edge(cr, left(r, c), true);
}

}  // namespace cuts
