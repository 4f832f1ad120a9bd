// Jigsaw cut geometry: a grid of slightly wobbly cells whose inner edges each carry one round
// tab (a neck and a head). Every shared edge is built once, so the two pieces beside it get
// exactly complementary outlines (one walks it forwards, the other backwards).
#pragma once
#include <cairo.h>

#include <cstdint>
#include <vector>

namespace cuts {

struct Pt {
  double x, y;
};

// One cubic Bézier step: two control points and the end point.
struct Seg {
  Pt c1, c2, end;
};

// A path from start through its segments.
struct Edge {
  Pt start;
  std::vector<Seg> segs;
  Pt finish() const { return segs.empty() ? start : segs.back().end; }
};

Edge reversed(const Edge& e);

class Cut {
 public:
  // A rows x cols cut of a width x height picture; seed fixes the wobble and every tab.
  Cut(int rows, int cols, int width, int height, uint32_t seed);

  int rows() const { return rows_; }
  int cols() const { return cols_; }
  int cell_width() const { return width_ / cols_; }
  int cell_height() const { return height_ / rows_; }

  // The edge along the top of cell (r, c), left to right; r == rows() is the picture's bottom.
  const Edge& top(int r, int c) const { return across_[r * cols_ + c]; }
  // The edge down the left of cell (r, c), top to bottom; c == cols() is the picture's right.
  const Edge& left(int r, int c) const { return down_[r * (cols_ + 1) + c]; }

  // Adds the closed outline of piece (r, c) to cr's path, clockwise on the screen.
  void piece_path(cairo_t* cr, int r, int c) const;
  // Adds every inner edge (each once) to cr's path, as open sub-paths.
  void inner_paths(cairo_t* cr) const;

 private:
  int rows_, cols_, width_, height_;
  std::vector<Edge> across_;  // (rows + 1) x cols
  std::vector<Edge> down_;    // rows x (cols + 1)
};

// Appends e's segments to cr's path; starts a new sub-path at e.start when move is true.
void add_edge(cairo_t* cr, const Edge& e, bool move);

}  // namespace cuts
