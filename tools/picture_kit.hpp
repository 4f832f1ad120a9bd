// Drawing kit for the pictures folder: colours, soft shaded fills with outlines, and the small
// friendly pieces (eyes, smiles, clouds, grass, flowers, stars, waves) the pictures are built from.
// Every routine leaves the cairo state as it found it (each one saves and restores).
#pragma once
#include <cairo.h>

#include <cstdint>
#include <functional>
#include <initializer_list>

#include "tools/gen.hpp"

namespace pk {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

struct Col {
  double r, g, b;
};

Col hex(uint32_t rgb);
Col mix(Col a, Col b, double t);  // t = 0 gives a, 1 gives b
Col light(Col c, double t);       // towards white
Col dark(Col c, double t);        // towards a deep ink, never pure black
Col ink_of(Col c);                // outline colour that goes with a fill
extern const Col kInk;            // the deep outline/eye colour
extern const Col kSnow;           // the brightest white we use (not pure white)

void set(cairo_t* cr, Col c, double alpha = 1.0);

// Paths (each starts a new sub-path; nothing is drawn).
void circle(cairo_t* cr, double x, double y, double r);
void oval(cairo_t* cr, double x, double y, double rx, double ry, double angle = 0);
void rrect(cairo_t* cr, double x, double y, double w, double h, double r);
void poly(cairo_t* cr, std::initializer_list<double> xy, bool close = true);
void star_path(cairo_t* cr, double x, double y, double r, int points = 5, double inner = 0.48,
               double angle = 0);
void heart_path(cairo_t* cr, double x, double y, double s);

// Painting the current path (the path is consumed).
void paint(cairo_t* cr, Col c, double line = 4.0);        // top-lit vertical gradient + outline
void paint_ball(cairo_t* cr, Col c, double line = 4.0);   // round highlight from the upper left
void fill(cairo_t* cr, Col c, double alpha = 1.0);        // flat, no outline
void fill_vgrad(cairo_t* cr, double y0, Col top, double y1, Col bottom);
void stroke(cairo_t* cr, Col c, double line);
// Circles given as x, y, r triples, painted as one shape with one outline round the whole.
// ball: lit from the upper left; otherwise flat with a soft blue-grey underside (clouds).
void cluster(cairo_t* cr, const double* xyr, int n, Col c, double line, bool ball = true);

// Whole-canvas backgrounds.
void vgrad_rect(cairo_t* cr, double x, double y, double w, double h, Col top, Col bottom);
void radial_glow(cairo_t* cr, double x, double y, double r, Col c, double alpha);
// Land under a smooth wavy line y = base + amp * sin(...) down to the bottom edge.
void ground(cairo_t* cr, double base, double amp, double wavelength, double phase, Col top, Col bottom,
            double line = 4.0);
// A band of sea: wavy top at y, with lighter crests drawn along it.
void sea_band(cairo_t* cr, double y, double amp, double wavelength, double phase, Col top, Col bottom);

// Faces.
void eye(cairo_t* cr, double x, double y, double r, double look_x = 0, double look_y = 0);
void smile(cairo_t* cr, double x, double y, double w, double line = 4.0);
void cheek(cairo_t* cr, double x, double y, double r);
// A child's smiling face of radius r; style 0 short hair, 1 bunches, 2 a cap.
void kid(cairo_t* cr, double x, double y, double r, Col skin, Col hair, int style);
void nose(cairo_t* cr, double x, double y, double r, Col c);

// Scenery.
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
// Strokes the current path as a thick band with an outline (the path is consumed).
void thick_line(cairo_t* cr, Col c, double w, double outline);

// Runs f inside cairo_save/translate/rotate/scale/cairo_restore.
void at(cairo_t* cr, double x, double y, double scale, double angle, const std::function<void()>& f);
// Runs f with drawing clipped to the current path (the path is consumed).
void clipped(cairo_t* cr, const std::function<void()>& f);

}  // namespace pk

// The pictures themselves, one routine each (drawn onto a 1024 x 768 canvas).
namespace pk::pics {
using Draw = void (*)(cairo_t* cr, gen::Rng& rng);
void cat(cairo_t* cr, gen::Rng& rng);
void dog(cairo_t* cr, gen::Rng& rng);
void farm(cairo_t* cr, gen::Rng& rng);
void tractor(cairo_t* cr, gen::Rng& rng);
void garden(cairo_t* cr, gen::Rng& rng);
void house(cairo_t* cr, gen::Rng& rng);
void fire_engine(cairo_t* cr, gen::Rng& rng);
void train(cairo_t* cr, gen::Rng& rng);
void boat(cairo_t* cr, gen::Rng& rng);
void bus(cairo_t* cr, gen::Rng& rng);
void teddy(cairo_t* cr, gen::Rng& rng);
void elephant(cairo_t* cr, gen::Rng& rng);
void lion(cairo_t* cr, gen::Rng& rng);
void ducks(cairo_t* cr, gen::Rng& rng);
void birds(cairo_t* cr, gen::Rng& rng);
void night(cairo_t* cr, gen::Rng& rng);
void rainbow(cairo_t* cr, gen::Rng& rng);
void balloon_ride(cairo_t* cr, gen::Rng& rng);
void rocket(cairo_t* cr, gen::Rng& rng);
void underwater(cairo_t* cr, gen::Rng& rng);
void beach(cairo_t* cr, gen::Rng& rng);
void lighthouse(cairo_t* cr, gen::Rng& rng);
void snowman(cairo_t* cr, gen::Rng& rng);
void fruit(cairo_t* cr, gen::Rng& rng);
}  // namespace pk::pics
