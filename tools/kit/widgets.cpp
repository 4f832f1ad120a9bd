#include "tools/kit/widgets.hpp"

#include <algorithm>

#include "tools/kit/shapes.hpp"
#include "tools/kit/text.hpp"

namespace gen {

void badge(cairo_t* cr, double cx, double cy, double r, const std::string& text, Col fill, double size) {
  cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
  set(cr, fill);
  cairo_fill_preserve(cr);
  set(cr, kInk);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  set(cr, kWhite);
  show_centred(cr, cx, cy, text, size);
}

double key_cap(cairo_t* cr, double x, double y, const std::string& label, double size) {
  const double w = key_cap_width(cr, label, size);
  rounded(cr, x, y + 3, w, 28, 6);
  set(cr, {0.72, 0.72, 0.80});
  cairo_fill(cr);
  rounded(cr, x, y, w, 28, 6);
  set(cr, kWhite);
  cairo_fill_preserve(cr);
  set(cr, kSoftInk);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  set(cr, kInk);
  show(cr, x + (w - advance(cr, label, size, true)) / 2, y + 20, label, size, true);
  return w;
}

double key_cap_width(cairo_t* cr, const std::string& label, double size) {
  return std::max(30.0, advance(cr, label, size, true) + 16);
}

}  // namespace gen
