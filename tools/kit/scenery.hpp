// Scenery and small things the pictures are built from: sky, plants, animals' bits, toys.
// Every routine leaves the cairo state as it found it.
#pragma once
#include "tools/kit/paint.hpp"

namespace pk {

void cloud(cairo_t* cr, double x, double y, double s, Col c = Col{0.99, 0.99, 1.0});
void sun(cairo_t* cr, double x, double y, double r, bool face = true);
void grass_tuft(cairo_t* cr, double x, double y, double h, Col c);
void grass_field(cairo_t* cr, gen::Rng& rng, double x0, double x1, double y0, double y1, int count, Col c);
void flower(cairo_t* cr, double x, double y, double r, Col petal, Col centre = Col{1.0, 0.82, 0.2});
void tulip(cairo_t* cr, double x, double y, double h, Col c);
void star(cairo_t* cr, double x, double y, double r, Col c, double angle = 0);
void twinkle(cairo_t* cr, double x, double y, double r, Col c);
// A crescent moon lit on its left side.
void moon(cairo_t* cr, double x, double y, double r, Col c);
void heart(cairo_t* cr, double x, double y, double s, Col c);
void butterfly(cairo_t* cr, double x, double y, double s, Col wing, Col spot, double angle = 0);
void bird_v(cairo_t* cr, double x, double y, double s, Col c);
void bubble(cairo_t* cr, double x, double y, double r);
void shadow(cairo_t* cr, double x, double y, double rx, double ry, double alpha = 0.18);
void wheel(cairo_t* cr, double x, double y, double r, Col hub);
void round_tree(cairo_t* cr, double x, double y, double s, Col leaves, Col trunk);
void pine(cairo_t* cr, double x, double y, double s, Col c);
void bush(cairo_t* cr, double x, double y, double s, Col c);
void dots(cairo_t* cr, gen::Rng& rng, double x0, double y0, double x1, double y1, int count, double r0,
          double r1, Col c, double alpha);
void balloon(cairo_t* cr, double x, double y, double r, Col c, double string_len);
void fence(cairo_t* cr, double x0, double x1, double y, double h, Col c);
// A round little fish facing right (flip with a negative s), about 2.6 s long.
void fish(cairo_t* cr, double x, double y, double s, double angle, Col body, Col fin);
void leaf(cairo_t* cr, double x, double y, double s, double angle, Col c);
// A string of triangular flags sagging across the whole width from height y.
void bunting(cairo_t* cr, double y, double sag, const Col* cols, int ncols);

}  // namespace pk
