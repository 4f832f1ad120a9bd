#include "tools/kit/colour.hpp"

namespace gen {

Col hex(uint32_t rgb) {
  return {((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0};
}

Col mix(Col a, Col b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

Col lighten(Col c, double t) { return mix(c, kWhite, t); }

Col scaled(Col c, double k) { return {c.r * k, c.g * k, c.b * k}; }

Col darken(Col c, double t) { return scaled(c, 1 - t); }

void set(cairo_t* cr, Col c, double alpha) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

}  // namespace gen
