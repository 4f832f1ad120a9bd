// Paths every drawing builds on. Each adds a new closed sub-path to cr's path and draws nothing,
// so the caller chooses how to fill or stroke it.
#pragma once
#include <cairo.h>

#include <functional>
#include <initializer_list>

#include "tools/kit/gen.hpp"

namespace gen {

void circle(cairo_t* cr, double x, double y, double r);
void oval(cairo_t* cr, double x, double y, double rx, double ry, double angle = 0);
// A rectangle with its corners rounded to radius r (never more than half a side).
void rounded(cairo_t* cr, double x, double y, double w, double h, double r);
// Points given as x, y pairs.
void poly(cairo_t* cr, std::initializer_list<double> xy, bool close = true);
void star_path(cairo_t* cr, double x, double y, double r, int points = 5, double inner = 0.48,
               double angle = 0);
void heart_path(cairo_t* cr, double x, double y, double s);

// Runs f inside cairo_save/translate/rotate/scale/cairo_restore.
void at(cairo_t* cr, double x, double y, double scale, double angle, const std::function<void()>& f);
// Runs f with drawing clipped to the current path (the path is consumed).
void clipped(cairo_t* cr, const std::function<void()>& f);

}  // namespace gen
