// pipkin_icons OUT_DIR: draws Pipkin's desktop icon - a green jigsaw piece with a smiling sun rising
// over its corner, on a rounded sky-blue tile - and writes it as an icon theme tree under OUT_DIR:
// hicolor/<n>x<n>/apps/<id>.png for n = 48, 64, 128, 256 and hicolor/scalable/apps/<id>.svg.
// One drawing routine serves every size and the SVG, so they always match. Deterministic.
#include <cairo-svg.h>
#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/kit/colour.hpp"
#include "tools/kit/shapes.hpp"

namespace {

namespace fs = std::filesystem;

const char* const kIconName = "org.pipkin.Pipkin";
constexpr double kUnit = 256.0;  // the drawing is made on a 256 by 256 grid and scaled

// A jigsaw piece: a square body with a knob on top and on the right, and a socket on the left.
void jigsaw_piece(cairo_t* cr, double x0, double y0, double size) {
  const double x1 = x0 + size, y1 = y0 + size;
  const double mx = x0 + size / 2, my = y0 + size / 2;
  const double neck = size * 0.11, knob = size * 0.16, reach = size * 0.15;
  cairo_new_path(cr);
  cairo_move_to(cr, x0, y0);
  // Top edge with a knob that stands up.
  cairo_line_to(cr, mx - neck, y0);
  cairo_arc(cr, mx, y0 - reach, knob, gen::kPi / 2 + std::asin(neck / knob), gen::kPi / 2 - std::asin(neck / knob) + 2 * gen::kPi);
  cairo_line_to(cr, mx + neck, y0);
  cairo_line_to(cr, x1, y0);
  // Right edge with a knob that stands out.
  cairo_line_to(cr, x1, my - neck);
  cairo_arc(cr, x1 + reach, my, knob, gen::kPi + std::asin(neck / knob), gen::kPi - std::asin(neck / knob) + 2 * gen::kPi);
  cairo_line_to(cr, x1, my + neck);
  cairo_line_to(cr, x1, y1);
  cairo_line_to(cr, x0, y1);
  // Left edge with a socket cut into the body.
  cairo_line_to(cr, x0, my + neck);
  cairo_arc_negative(cr, x0 + reach, my, knob, gen::kPi - std::asin(neck / knob), -gen::kPi + std::asin(neck / knob));
  cairo_line_to(cr, x0, my - neck);
  cairo_close_path(cr);
}

void sun(cairo_t* cr, double cx, double cy, double r) {
  // Rays: twelve rounded triangles.
  gen::set(cr, gen::hex(0xFFB300));
  for (int i = 0; i < 12; ++i) {
    const double a = i * gen::kPi / 6 + gen::kPi / 12;
    const double w = gen::kPi / 22;
    cairo_move_to(cr, cx + std::cos(a - w) * r * 1.05, cy + std::sin(a - w) * r * 1.05);
    cairo_line_to(cr, cx + std::cos(a) * r * 1.55, cy + std::sin(a) * r * 1.55);
    cairo_line_to(cr, cx + std::cos(a + w) * r * 1.05, cy + std::sin(a + w) * r * 1.05);
    cairo_close_path(cr);
  }
  cairo_fill(cr);
  // Face.
  cairo_arc(cr, cx, cy, r, 0, 2 * gen::kPi);
  cairo_pattern_t* glow = cairo_pattern_create_radial(cx - r * 0.3, cy - r * 0.3, r * 0.1, cx, cy, r);
  cairo_pattern_add_color_stop_rgb(glow, 0, 1.0, 0.93, 0.45);
  cairo_pattern_add_color_stop_rgb(glow, 1, 1.0, 0.80, 0.10);
  cairo_set_source(cr, glow);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(glow);
  gen::set(cr, gen::hex(0xE08E00));
  cairo_set_line_width(cr, r * 0.08);
  cairo_stroke(cr);
  // Eyes and smile.
  gen::set(cr, gen::hex(0x5A3200));
  for (double side : {-1.0, 1.0}) {
    cairo_save(cr);
    cairo_translate(cr, cx + side * r * 0.34, cy - r * 0.18);
    cairo_scale(cr, 1.0, 1.35);
    cairo_arc(cr, 0, 0, r * 0.11, 0, 2 * gen::kPi);
    cairo_restore(cr);
    cairo_fill(cr);
  }
  cairo_set_line_width(cr, r * 0.12);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_arc(cr, cx, cy + r * 0.02, r * 0.52, gen::kPi * 0.2, gen::kPi * 0.8);
  cairo_stroke(cr);
  // Rosy cheeks.
  gen::set(cr, gen::hex(0xFF6F61), 0.55);
  for (double side : {-1.0, 1.0}) {
    cairo_arc(cr, cx + side * r * 0.6, cy + r * 0.22, r * 0.13, 0, 2 * gen::kPi);
    cairo_fill(cr);
  }
}

void draw_icon(cairo_t* cr, double size) {
  cairo_save(cr);
  cairo_scale(cr, size / kUnit, size / kUnit);
  // Sky tile.
  gen::rounded(cr, 8, 8, 240, 240, 44);
  cairo_pattern_t* sky = cairo_pattern_create_linear(0, 8, 0, 248);
  cairo_pattern_add_color_stop_rgb(sky, 0, 0.42, 0.78, 1.0);
  cairo_pattern_add_color_stop_rgb(sky, 1, 0.78, 0.93, 1.0);
  cairo_set_source(cr, sky);
  cairo_fill(cr);
  cairo_pattern_destroy(sky);
  // The piece, with a soft shadow.
  cairo_save(cr);
  cairo_translate(cr, 5, 6);
  jigsaw_piece(cr, 40, 98, 128);
  gen::set(cr, gen::hex(0x1F4E8C), 0.25);
  cairo_fill(cr);
  cairo_restore(cr);
  jigsaw_piece(cr, 40, 98, 128);
  cairo_pattern_t* leaf = cairo_pattern_create_linear(40, 98, 168, 226);
  cairo_pattern_add_color_stop_rgb(leaf, 0, 0.45, 0.85, 0.30);
  cairo_pattern_add_color_stop_rgb(leaf, 1, 0.18, 0.62, 0.20);
  cairo_set_source(cr, leaf);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(leaf);
  gen::set(cr, gen::hex(0x1E6B1E));
  cairo_set_line_width(cr, 7);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);
  // The sun over the piece's corner.
  sun(cr, 176, 80, 40);
  cairo_restore(cr);
}

bool make_dir(const fs::path& dir) {
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec) std::fprintf(stderr, "pipkin_icons: %s: %s\n", dir.c_str(), ec.message().c_str());
  return !ec;
}

bool write_png(const fs::path& out, int size) {
  const fs::path dir = out / "hicolor" / (std::to_string(size) + "x" + std::to_string(size)) / "apps";
  if (!make_dir(dir)) return false;
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
  cairo_t* cr = cairo_create(s);
  draw_icon(cr, size);
  cairo_destroy(cr);
  const fs::path file = dir / (std::string(kIconName) + ".png");
  const bool ok = cairo_surface_write_to_png(s, file.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(s);
  if (!ok) std::fprintf(stderr, "pipkin_icons: %s: cannot be written\n", file.c_str());
  return ok;
}

bool write_svg(const fs::path& out) {
  const fs::path dir = out / "hicolor" / "scalable" / "apps";
  if (!make_dir(dir)) return false;
  const fs::path file = dir / (std::string(kIconName) + ".svg");
  cairo_surface_t* s = cairo_svg_surface_create(file.c_str(), kUnit, kUnit);
  cairo_svg_surface_restrict_to_version(s, CAIRO_SVG_VERSION_1_1);
  cairo_t* cr = cairo_create(s);
  draw_icon(cr, kUnit);
  cairo_destroy(cr);
  cairo_surface_finish(s);
  const bool ok = cairo_surface_status(s) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(s);
  if (!ok) std::fprintf(stderr, "pipkin_icons: %s: cannot be written\n", file.c_str());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: pipkin_icons OUT_DIR\n");
    return 2;
  }
  const fs::path out = argv[1];
  bool ok = true;
  for (int size : {48, 64, 128, 256}) ok = write_png(out, size) && ok;
  ok = write_svg(out) && ok;
  return ok ? 0 : 1;
}
