// Faces for the pictures' friendly figures: eyes, smiles, cheeks, noses, a whole child's face, and
// a child looking out of a cab window.
#pragma once
#include "tools/kit/paint.hpp"

namespace pk {

void eye(cairo_t* cr, double x, double y, double r, double look_x = 0, double look_y = 0);
void smile(cairo_t* cr, double x, double y, double w, double line = 4.0);
void cheek(cairo_t* cr, double x, double y, double r);
void nose(cairo_t* cr, double x, double y, double r, Col c);
// A child's smiling face of radius r; style 0 short hair, 1 bunches, 2 a cap.
void kid(cairo_t* cr, double x, double y, double r, Col skin, Col hair, int style);

// The front window of a vehicle's cab: a straight back edge at x = left from top to bottom, a
// straight top edge to top_right, then a curve (through c1 and c2) down to (front, bottom). A
// child in a cap sits in it, cut off by the clip rectangle below the window.
struct CabWindow {
  double left, top, top_right;
  double c1x, c1y, c2x, c2y;
  double front, bottom;
  double clip_x, clip_y, clip_w, clip_h;
  double child_x, child_y, child_r;
  Col skin, hair;
};
void cab_window(cairo_t* cr, const CabWindow& w);

}  // namespace pk
