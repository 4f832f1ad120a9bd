// The pictures folder's drawings: the kit pieces they are built from, and one routine per picture
// (each drawn onto a kWidth x kHeight canvas).
#pragma once
#include <cairo.h>

#include "tools/kit/figures.hpp"
#include "tools/kit/paint.hpp"
#include "tools/kit/scenery.hpp"

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
