// Colours: one colour type for every drawing in the generator, and the few colours they share.
#pragma once
#include <cairo.h>

#include <cstdint>

#include "tools/kit/gen.hpp"

namespace gen {

// A colour with channels from 0 to 1, as cairo takes them.
struct Col {
  double r, g, b;
};

constexpr Col rgb255(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0}; }
Col hex(uint32_t rgb);                 // 0xRRGGBB
Col mix(Col a, Col b, double t);       // t = 0 gives a, 1 gives b
Col lighten(Col c, double t);          // t of the way to pure white
Col scaled(Col c, double k);           // every channel times k (k < 1 darkens towards black)
Col darken(Col c, double t);           // t of the way to pure black

constexpr Col kWhite{1, 1, 1};
// The deep blue-violet the program's own images (shared images, help pages) outline and write with.
constexpr Col kInk{0.16, 0.15, 0.33};
constexpr Col kSoftInk{0.38, 0.38, 0.50};  // for the quieter words beside it

// Sets cr's source to c with the given opacity.
void set(cairo_t* cr, Col c, double alpha = 1.0);

}  // namespace gen
