// The pictures' painting style: soft top-lit fills with a deep outline in a darker shade of the
// fill, round highlights, gradients and wavy land and sea. Paths come from kit/shapes.hpp.
// Every routine leaves the cairo state as it found it.
#pragma once
#include <cairo.h>

#include "tools/kit/colour.hpp"
#include "tools/kit/shapes.hpp"

namespace pk {

using gen::at;
using gen::circle;
using gen::clipped;
using gen::Col;
using gen::heart_path;
using gen::hex;
using gen::kPi;
using gen::mix;
using gen::oval;
using gen::poly;
using gen::rounded;
using gen::set;
using gen::star_path;

// The size of a picture.
constexpr int kWidth = 1024;
constexpr int kHeight = 768;

extern const Col kInk;   // the deep outline/eye colour of the pictures
extern const Col kSnow;  // the brightest white they use (not pure white)
Col light(Col c, double t);  // towards kSnow
Col dark(Col c, double t);   // towards kInk, never pure black
Col ink_of(Col c);           // outline colour that goes with a fill

// Painting the current path (the path is consumed).
void paint(cairo_t* cr, Col c, double line = 4.0);        // top-lit vertical gradient + outline
void paint_ball(cairo_t* cr, Col c, double line = 4.0);   // round highlight from the upper left
void fill(cairo_t* cr, Col c, double alpha = 1.0);        // flat, no outline
void fill_vgrad(cairo_t* cr, double y0, Col top, double y1, Col bottom);
void stroke(cairo_t* cr, Col c, double line);
// Circles given as x, y, r triples, painted as one shape with one outline round the whole.
// ball: lit from the upper left; otherwise flat with a soft blue-grey underside (clouds).
void cluster(cairo_t* cr, const double* xyr, int n, Col c, double line, bool ball = true);
// Strokes the current path as a thick band with an outline (the path is consumed).
void thick_line(cairo_t* cr, Col c, double w, double outline);

// Whole-picture backgrounds.
void vgrad_rect(cairo_t* cr, double x, double y, double w, double h, Col top, Col bottom);
void radial_glow(cairo_t* cr, double x, double y, double r, Col c, double alpha);
// Land under a smooth wavy line y = base + amp * sin(...) down to the bottom edge.
void ground(cairo_t* cr, double base, double amp, double wavelength, double phase, Col top, Col bottom,
            double line = 4.0);
// A band of sea: wavy top at y, with lighter crests drawn along it.
void sea_band(cairo_t* cr, double y, double amp, double wavelength, double phase, Col top, Col bottom);

}  // namespace pk
