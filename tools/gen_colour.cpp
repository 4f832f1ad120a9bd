// colour/swatch.bmp, colour/circle.bmp and colour/circle.png for the colouring activity.
// The swatch is fifteen big flat patches on the panel's own grey: every pixel is a colour worth
// painting with (a click between patches gives the grey). No patch is the drawing's line white,
// which would join a filled area to the lines around it; the last patch is the drawing's own deep
// blue, which puts an area back as it was. The indicator is one flat colour (white, as the first
// fill) under a ring that is panel grey outside and see-through inside.
#include <cmath>
#include <cstdint>

#include "tools/kit/canvas.hpp"
#include "tools/kit/shapes.hpp"

namespace {

using gen::kPi;
using gen::rounded;

constexpr int kPanel = 256;  // panel width on the 1024 x 768 screen
constexpr int kGrey = 100;   // the panel's grey
constexpr int kSwatchW = 228, kSwatchH = 480;
constexpr int kCols = 3, kRows = 5;
constexpr int kMargin = 4, kGap = 8;
constexpr int kCircleW = 228, kCircleH = 220;  // left edge lines up with the swatch

constexpr uint32_t kPatches[kRows * kCols] = {
    0xEB2828, 0xFF9100, 0xFFE400,  // red, orange, yellow
    0x8CDC28, 0x1EA546, 0x00C8C3,  // lime, green, turquoise
    0x46AAFF, 0x234BE1, 0x9146D7,  // sky, blue, purple
    0xFF78C8, 0xFFC896, 0x965A28,  // pink, peach, brown
    0xFAFAFA, 0x323232, 0x000046,  // soft white, near black, the drawing's blue
};

void set_rgb(cairo_t* cr, uint32_t rgb) {
  cairo_set_source_rgb(cr, (rgb >> 16 & 255) / 255.0, (rgb >> 8 & 255) / 255.0, (rgb & 255) / 255.0);
}

bool make_swatch(const gen::fs::path& file) {
  gen::Canvas c(kSwatchW, kSwatchH);
  cairo_t* cr = c.cr();
  set_rgb(cr, kGrey * 0x010101u);
  cairo_paint(cr);
  const double w = (kSwatchW - 2.0 * kMargin - (kCols - 1) * kGap) / kCols;
  const double h = (kSwatchH - 2.0 * kMargin - (kRows - 1) * kGap) / kRows;
  for (int row = 0; row < kRows; ++row)
    for (int col = 0; col < kCols; ++col) {
      rounded(cr, kMargin + col * (w + kGap), kMargin + row * (h + kGap), w, h, 16);
      set_rgb(cr, kPatches[row * kCols + col]);
      cairo_fill(cr);
    }
  return c.save_bmp(file);
}

bool make_circle(const gen::fs::path& file) {
  gen::Canvas c(kCircleW, kCircleH);
  cairo_set_source_rgb(c.cr(), 1, 1, 1);
  cairo_paint(c.cr());
  return c.save_bmp(file);
}

// The ring sits one pixel up and left of the indicator and is two pixels larger each way.
bool make_ring(const gen::fs::path& file) {
  const int w = kCircleW + 2, h = kCircleH + 2;
  const double cx = w / 2.0, cy = h / 2.0, outer = 106, inner = 89;
  gen::Canvas c(w, h);
  cairo_t* cr = c.cr();
  set_rgb(cr, kGrey * 0x010101u);
  cairo_paint(cr);
  // Soft shadow on the panel, then a white tube with a dark rim.
  for (int i = 6; i > 0; --i) {
    cairo_arc(cr, cx + 1.5, cy + 3, outer + i, 0, 2 * kPi);
    cairo_set_source_rgba(cr, 0.15, 0.15, 0.18, 0.07);
    cairo_fill(cr);
  }
  cairo_arc(cr, cx, cy, outer, 0, 2 * kPi);
  cairo_set_source_rgb(cr, 0.2, 0.2, 0.28);
  cairo_fill(cr);
  cairo_pattern_t* g = cairo_pattern_create_radial(cx - 20, cy - 30, inner * 0.5, cx, cy, outer);
  cairo_pattern_add_color_stop_rgb(g, 0, 1, 1, 1);
  cairo_pattern_add_color_stop_rgb(g, 0.8, 0.96, 0.96, 0.98);
  cairo_pattern_add_color_stop_rgb(g, 1, 0.72, 0.74, 0.82);
  cairo_arc(cr, cx, cy, outer - 3, 0, 2 * kPi);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  cairo_arc(cr, cx, cy, inner + 2.5, 0, 2 * kPi);
  cairo_set_source_rgb(cr, 0.2, 0.2, 0.28);
  cairo_fill(cr);
  // The see-through middle: all-or-nothing alpha, as the ring is drawn with a half-alpha cut-off.
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  cairo_arc(cr, cx, cy, inner, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
  return c.save_png(file);
}

bool make(const gen::fs::path& out) {
  bool ok = make_swatch(out / "colour" / "swatch.bmp");
  ok = make_circle(out / "colour" / "circle.bmp") && ok;
  return make_ring(out / "colour" / "circle.png") && ok;
}

gen::Register reg("colour", make);

}  // namespace
