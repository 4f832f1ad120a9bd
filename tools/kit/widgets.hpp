// Small widgets for the generator's own pages: a round numbered badge and a keyboard key cap.
#pragma once
#include <cairo.h>

#include <string>

#include "tools/kit/colour.hpp"

namespace gen {

// A filled disc with an ink ring and the text in white, centred.
void badge(cairo_t* cr, double cx, double cy, double r, const std::string& text, Col fill, double size);
// A key cap with its label at size, top-left at (x, y), 28 px high with a soft shadow below;
// returns its width.
double key_cap(cairo_t* cr, double x, double y, const std::string& label, double size = 16);
double key_cap_width(cairo_t* cr, const std::string& label, double size = 16);

}  // namespace gen
