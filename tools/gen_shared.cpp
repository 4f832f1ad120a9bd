// The shell's shared files: the font (with its licence), the pointer probe, the pointer, the sky,
// the title logo, the "wait" picture and the smiley corner button.
//
// The pointer, the wait picture and the smiley are drawn by the program with alpha testing (pixels
// at half alpha or more are drawn solid, the rest dropped), so they carry no soft shadows: their
// shapes are crisp with a dark outline. The title is blended, so it may have a soft shadow.
#include <cmath>
#include <cstdio>

#include "tools/kit/canvas.hpp"
#include "tools/kit/colour.hpp"
#include "tools/kit/text.hpp"

namespace {

using gen::Canvas;
using gen::Col;
using gen::kInk;  // the dark outline colour of every shared image
using gen::kPi;
using gen::set;
namespace fs = gen::fs;

bool copy_to(const fs::path& from, const fs::path& to) {
  if (!gen::make_parent(to)) return false;
  std::error_code ec;
  fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
  if (ec) std::fprintf(stderr, "pipkin_gen: cannot copy %s: %s\n", from.c_str(), ec.message().c_str());
  return !ec;
}

bool make_font(const fs::path& out) {
  if (gen::font_file().empty()) {
    std::fprintf(stderr, "pipkin_gen: no font file found\n");
    return false;
  }
  return copy_to(gen::font_file(), out / "fonts/Tahoma.ttf") &&
         copy_to(gen::font_licence_file(), out / "fonts/LICENSE-font.txt");
}

// A five-pointed star path centred on (x, y).
void star_path(cairo_t* cr, double x, double y, double outer, double inner, double turn = 0) {
  for (int i = 0; i < 10; ++i) {
    double r = i % 2 ? inner : outer;
    double a = -kPi / 2 + turn + i * kPi / 5;
    if (i == 0)
      cairo_move_to(cr, x + r * std::cos(a), y + r * std::sin(a));
    else
      cairo_line_to(cr, x + r * std::cos(a), y + r * std::sin(a));
  }
  cairo_close_path(cr);
}

void outlined_star(cairo_t* cr, double x, double y, double size, double turn, Col fill) {
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  star_path(cr, x, y, size, size * 0.5, turn);
  set(cr, fill);
  cairo_fill_preserve(cr);
  set(cr, kInk);
  cairo_set_line_width(cr, size * 0.22);
  cairo_stroke(cr);
}

// A four-pointed sparkle.
void sparkle(cairo_t* cr, double x, double y, double size, Col c, double a = 1.0) {
  cairo_move_to(cr, x, y - size);
  cairo_curve_to(cr, x + size * 0.12, y - size * 0.12, x + size * 0.12, y - size * 0.12, x + size, y);
  cairo_curve_to(cr, x + size * 0.12, y + size * 0.12, x + size * 0.12, y + size * 0.12, x, y + size);
  cairo_curve_to(cr, x - size * 0.12, y + size * 0.12, x - size * 0.12, y + size * 0.12, x - size, y);
  cairo_curve_to(cr, x - size * 0.12, y - size * 0.12, x - size * 0.12, y - size * 0.12, x, y - size);
  set(cr, c, a);
  cairo_fill(cr);
}

// True when every pixel on the canvas border is fully transparent (nothing was cut off).
bool edges_clear(const Canvas& c, const char* name) {
  for (int x = 0; x < c.width(); ++x)
    for (int y : {0, c.height() - 1})
      if (c.pixel(x, y) >> 24)
        return std::fprintf(stderr, "pipkin_gen: %s is cut off at (%d, %d)\n", name, x, y), false;
  for (int y = 0; y < c.height(); ++y)
    for (int x : {0, c.width() - 1})
      if (c.pixel(x, y) >> 24)
        return std::fprintf(stderr, "pipkin_gen: %s is cut off at (%d, %d)\n", name, x, y), false;
  return true;
}

bool make_probe(const fs::path& out) {
  Canvas c(1, 1);
  c.set_pixel(0, 0, 0xFFFFFFFF);
  return c.save_bmp(out / "images/white.bmp");
}

// A bold arrow whose tip is the top-left pixel: the pointer's hot spot.
bool make_pointer(const fs::path& out) {
  Canvas c(40, 48);
  cairo_t* cr = c.cr();
  auto arrow = [cr](double dx, double dy) {
    const double pts[][2] = {{0, 0},     {3.2, 36},    {11.5, 28.5}, {18.5, 42.5},
                             {25.5, 39}, {18.5, 25.5}, {30.5, 24}};
    cairo_move_to(cr, pts[0][0] + dx, pts[0][1] + dy);
    for (const auto& p : pts) cairo_line_to(cr, p[0] + dx, p[1] + dy);
    cairo_close_path(cr);
  };
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, 4);
  // Faint offset shadow: below half alpha, so the program's alpha test drops it.
  arrow(3, 3.5);
  set(cr, {0, 0, 0}, 0.3);
  cairo_fill_preserve(cr);
  cairo_stroke(cr);
  arrow(0, 0);
  cairo_pattern_t* fill = cairo_pattern_create_linear(0, 0, 0, 40);
  cairo_pattern_add_color_stop_rgb(fill, 0, 1, 1, 1);
  cairo_pattern_add_color_stop_rgb(fill, 1, 0.86, 0.92, 1);
  cairo_set_source(cr, fill);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(fill);
  set(cr, kInk);
  cairo_stroke(cr);
  if ((c.pixel(0, 0) >> 24) != 255) {
    std::fprintf(stderr, "pipkin_gen: pointer tip is not opaque\n");
    return false;
  }
  return c.save_png(out / "images/pointer.png");
}

// A soft cloud: a flat-bottomed capsule with round puffs on top and a gentle shade underneath.
void cloud(cairo_t* cr, double x, double y, double w, gen::Rng& rng) {
  const double h = w * 0.24;  // capsule height; y is the capsule's top
  double puffs[3][3] = {
      {0.30, 0.06, 0.17}, {0.54, 0.12, 0.22}, {0.76, 0.04, 0.14}};  // x, rise, radius (of w)
  for (auto& p : puffs) p[2] *= rng.range(0.9, 1.1);
  auto shape = [&](double oy, double grow) {
    double r = h / 2 + grow;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + h / 2, y + oy + h / 2, r, kPi / 2, 3 * kPi / 2);
    cairo_arc(cr, x + w - h / 2, y + oy + h / 2, r, -kPi / 2, kPi / 2);
    cairo_close_path(cr);
    for (const auto& p : puffs) {
      cairo_new_sub_path(cr);
      cairo_arc(cr, x + p[0] * w, y + oy + h / 2 - p[1] * w, p[2] * w + grow, 0, 2 * kPi);
    }
  };
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  for (int i = 3; i >= 1; --i) {
    shape(0, i * 5.0);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.07);
    cairo_fill(cr);
  }
  shape(h * 0.16, 0);
  cairo_set_source_rgba(cr, 0.55, 0.68, 0.86, 0.45);
  cairo_fill(cr);
  shape(0, 0);
  cairo_pattern_t* body = cairo_pattern_create_linear(0, y - w * 0.2, 0, y + h);
  cairo_pattern_add_color_stop_rgb(body, 0, 1, 1, 1);
  cairo_pattern_add_color_stop_rgb(body, 1, 0.92, 0.95, 1);
  cairo_set_source(cr, body);
  cairo_fill(cr);
  cairo_pattern_destroy(body);
}

bool make_sky(const fs::path& out) {
  Canvas c(1024, 768);
  cairo_t* cr = c.cr();
  cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, 768);
  cairo_pattern_add_color_stop_rgb(sky, 0, 0.36, 0.64, 0.93);
  cairo_pattern_add_color_stop_rgb(sky, 0.6, 0.60, 0.80, 0.98);
  cairo_pattern_add_color_stop_rgb(sky, 1, 0.88, 0.95, 1.0);
  cairo_set_source(cr, sky);
  cairo_paint(cr);
  cairo_pattern_destroy(sky);
  // A soft warm glow in the top-right corner, like sunshine just out of view.
  cairo_pattern_t* sun = cairo_pattern_create_radial(1000, -40, 20, 1000, -40, 520);
  cairo_pattern_add_color_stop_rgba(sun, 0, 1, 1, 0.94, 0.7);
  cairo_pattern_add_color_stop_rgba(sun, 1, 1, 1, 0.94, 0);
  cairo_set_source(cr, sun);
  cairo_paint(cr);
  cairo_pattern_destroy(sun);
  gen::Rng rng(2024);
  cloud(cr, 24, 330, 200, rng);
  cloud(cr, 800, 360, 190, rng);
  cloud(cr, 420, 500, 150, rng);
  cloud(cr, 120, 590, 170, rng);
  cloud(cr, 700, 600, 230, rng);
  return c.save_jpeg(out / "images/sky.jpg", 92);
}

// "Pipkin" in bouncing, outlined, many-coloured letters, with stars for the dots of the i's.
bool make_title(const fs::path& out) {
  Canvas c(704, 260);
  cairo_t* cr = c.cr();
  // The name with dotless i's, whose dots are stars; one glyph a letter.
  const gen::Lettering name(cr, "P\xC4\xB1pk\xC4\xB1n", 186);
  const Col fills[] = {{0.93, 0.26, 0.24}, {0.98, 0.58, 0.12}, {0.99, 0.80, 0.16},
                       {0.36, 0.75, 0.23}, {0.20, 0.56, 0.90}, {0.58, 0.38, 0.86}};
  const double lift[] = {0, -12, -6, -10, 2, -8};
  const double tilt[] = {-0.10, 0.06, -0.04, 0.07, -0.05, 0.09};
  double total = name.width();
  const double gap = 4, outline = 26;  // outline: full stroke width of the dark rim
  total += gap * 5;
  double x = (704 - total) / 2, base = 184;
  struct Placed {
    double x, y, w;
  } placed[6];
  for (int i = 0; i < 6; ++i) {
    placed[i] = {x, base + lift[i], name.letters()[i].w};
    x += placed[i].w + gap;
  }
  auto letter_path = [&](int i, double dx, double dy) {
    cairo_save(cr);
    cairo_translate(cr, placed[i].x + placed[i].w / 2 + dx, placed[i].y + dy);
    cairo_rotate(cr, tilt[i]);
    cairo_translate(cr, -placed[i].w / 2, 0);
    name.path(cr, static_cast<size_t>(i));
    cairo_restore(cr);
  };
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  // Soft drop shadow: the outlined letters, offset, drawn several times growing and fading.
  for (int k = 4; k >= 0; --k) {
    for (int i = 0; i < 6; ++i) letter_path(i, 6, 8);
    cairo_set_line_width(cr, outline + k * 3);
    cairo_set_source_rgba(cr, 0.05, 0.1, 0.3, 0.06 + (4 - k) * 0.03);
    cairo_stroke(cr);
  }
  for (int i = 0; i < 6; ++i) {
    letter_path(i, 0, 0);
    cairo_set_line_width(cr, outline);
    set(cr, kInk);
    cairo_stroke(cr);
  }
  for (int i = 0; i < 6; ++i) {
    letter_path(i, 0, 0);
    cairo_set_line_width(cr, outline - 10);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_stroke_preserve(cr);
    Col f = fills[i];
    cairo_pattern_t* g = cairo_pattern_create_linear(0, placed[i].y - 140, 0, placed[i].y + 40);
    cairo_pattern_add_color_stop_rgb(g, 0, std::fmin(1, f.r + 0.18), std::fmin(1, f.g + 0.18),
                                     std::fmin(1, f.b + 0.18));
    cairo_pattern_add_color_stop_rgb(g, 1, f.r * 0.85, f.g * 0.85, f.b * 0.85);
    cairo_set_source(cr, g);
    cairo_set_line_width(cr, outline - 16);
    cairo_stroke_preserve(cr);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  }
  // Stars for the dots of the two i's, and a few sparkles around the word.
  for (int i : {1, 4}) {
    double sx = placed[i].x + placed[i].w / 2 + std::sin(tilt[i]) * 150;
    double sy = placed[i].y - 136;
    outlined_star(cr, sx, sy, 27, tilt[i] * 2, {1.0, 0.86, 0.2});
  }
  sparkle(cr, 30, 60, 16, {1, 1, 1});
  sparkle(cr, 672, 48, 20, {1, 1, 1});
  sparkle(cr, 686, 206, 12, {1, 0.95, 0.6});
  sparkle(cr, 18, 214, 11, {1, 0.95, 0.6});
  bool saved = c.save_png(out / "images/title.png");
  return edges_clear(c, "title") && saved;
}

// A smiling alarm clock: shown for a moment while an activity is made ready.
bool make_thinking(const fs::path& out) {
  Canvas c(200, 200);
  cairo_t* cr = c.cr();
  const double cx = 100, cy = 111, r = 70;
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  // Feet and bells behind the body.
  for (int side : {-1, 1}) {
    cairo_move_to(cr, cx + side * 40, cy + 52);
    cairo_line_to(cr, cx + side * 54, cy + 74);
    set(cr, kInk);
    cairo_set_line_width(cr, 12);
    cairo_stroke(cr);
    cairo_save(cr);
    cairo_translate(cr, cx + side * 52, cy - 60);
    cairo_rotate(cr, side * 0.6);
    cairo_arc(cr, 0, 0, 26, kPi, 2 * kPi);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 1.0, 0.80, 0.16);
    cairo_fill_preserve(cr);
    set(cr, kInk);
    cairo_set_line_width(cr, 5);
    cairo_stroke(cr);
    cairo_restore(cr);
  }
  cairo_move_to(cr, cx, cy - r - 4);
  cairo_line_to(cr, cx, cy - r - 16);
  set(cr, kInk);
  cairo_set_line_width(cr, 8);
  cairo_stroke(cr);
  cairo_arc(cr, cx, cy - r - 20, 8, 0, 2 * kPi);
  cairo_set_source_rgb(cr, 0.93, 0.26, 0.24);
  cairo_fill_preserve(cr);
  set(cr, kInk);
  cairo_set_line_width(cr, 4);
  cairo_stroke(cr);
  // Body: a red ring round a white face.
  cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
  cairo_set_source_rgb(cr, 0.93, 0.26, 0.24);
  cairo_fill_preserve(cr);
  set(cr, kInk);
  cairo_set_line_width(cr, 6);
  cairo_stroke(cr);
  cairo_arc(cr, cx, cy, r - 13, 0, 2 * kPi);
  cairo_set_source_rgb(cr, 1, 0.99, 0.94);
  cairo_fill_preserve(cr);
  set(cr, kInk);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  // Hour marks.
  for (int i = 0; i < 12; ++i) {
    double a = i * kPi / 6;
    double d = r - 22;
    cairo_arc(cr, cx + d * std::sin(a), cy - d * std::cos(a), i % 3 ? 2.5 : 4, 0, 2 * kPi);
    set(cr, kInk, 0.8);
    cairo_fill(cr);
  }
  // Happy closed eyes, rosy cheeks and a wide smile.
  cairo_set_line_width(cr, 5);
  for (int side : {-1, 1}) {
    cairo_arc(cr, cx + side * 20, cy - 6, 9, kPi * 1.1, kPi * 1.9);
    set(cr, kInk);
    cairo_stroke(cr);
    cairo_arc(cr, cx + side * 34, cy + 12, 8, 0, 2 * kPi);
    cairo_set_source_rgb(cr, 1, 0.62, 0.66);
    cairo_fill(cr);
  }
  cairo_arc(cr, cx, cy + 8, 20, kPi * 0.15, kPi * 0.85);
  set(cr, kInk);
  cairo_stroke(cr);
  // Hands, short enough to stay clear of the eyes.
  cairo_set_line_width(cr, 5);
  cairo_move_to(cr, cx, cy - 26);
  cairo_line_to(cr, cx, cy + 2);
  cairo_line_to(cr, cx + 9, cy - 3);
  set(cr, {0.2, 0.56, 0.9});
  cairo_stroke(cr);
  cairo_arc(cr, cx, cy + 2, 5, 0, 2 * kPi);
  set(cr, kInk);
  cairo_fill(cr);
  // Little motion ticks beside the bells.
  cairo_set_line_width(cr, 4);
  for (int side : {-1, 1}) {
    for (int k = 0; k < 3; ++k) {
      double a = -kPi / 2 + side * (0.55 + k * 0.22);
      cairo_move_to(cr, cx + std::cos(a) * (r + 32), cy - 8 + std::sin(a) * (r + 32));
      cairo_line_to(cr, cx + std::cos(a) * (r + 44), cy - 8 + std::sin(a) * (r + 44));
    }
  }
  set(cr, {0.2, 0.56, 0.9});
  cairo_stroke(cr);
  bool saved = c.save_png(out / "images/thinking.png");
  return edges_clear(c, "thinking") && saved;
}

// The corner button of a finished game: a big sunny face that begs to be clicked.
bool make_smiley(const fs::path& out) {
  Canvas c(100, 100);
  cairo_t* cr = c.cr();
  const double cx = 50, cy = 50, r = 45;
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
  cairo_pattern_t* g = cairo_pattern_create_radial(cx - 14, cy - 16, 4, cx, cy, r);
  cairo_pattern_add_color_stop_rgb(g, 0, 1.0, 0.96, 0.55);
  cairo_pattern_add_color_stop_rgb(g, 0.7, 1.0, 0.83, 0.15);
  cairo_pattern_add_color_stop_rgb(g, 1, 0.98, 0.68, 0.08);
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  set(cr, kInk);
  cairo_set_line_width(cr, 5);
  cairo_stroke(cr);
  // Eyes with a sparkle, rosy cheeks, a big open smile with a tongue.
  for (int side : {-1, 1}) {
    cairo_save(cr);
    cairo_translate(cr, cx + side * 15, cy - 10);
    cairo_scale(cr, 1, 1.35);
    cairo_arc(cr, 0, 0, 6.5, 0, 2 * kPi);
    cairo_restore(cr);
    set(cr, kInk);
    cairo_fill(cr);
    cairo_arc(cr, cx + side * 15 + 2, cy - 14, 2.3, 0, 2 * kPi);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill(cr);
    cairo_arc(cr, cx + side * 28, cy + 8, 7, 0, 2 * kPi);
    cairo_set_source_rgb(cr, 1, 0.55, 0.5);
    cairo_fill(cr);
  }
  auto mouth = [&] {
    cairo_move_to(cr, cx - 22, cy + 6);
    cairo_curve_to(cr, cx - 18, cy + 36, cx + 18, cy + 36, cx + 22, cy + 6);
    cairo_close_path(cr);
  };
  mouth();
  cairo_set_source_rgb(cr, 0.55, 0.12, 0.16);
  cairo_fill_preserve(cr);
  cairo_save(cr);
  cairo_clip(cr);
  cairo_arc(cr, cx, cy + 32, 13, 0, 2 * kPi);
  cairo_set_source_rgb(cr, 1, 0.45, 0.5);
  cairo_fill(cr);
  cairo_restore(cr);
  mouth();
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  set(cr, kInk);
  cairo_set_line_width(cr, 4);
  cairo_stroke(cr);
  bool saved = c.save_png(out / "images/smiley.png");
  return edges_clear(c, "smiley") && saved;
}

bool make_images(const fs::path& out) {
  bool ok = true;
  ok = make_probe(out) && ok;
  ok = make_pointer(out) && ok;
  ok = make_sky(out) && ok;
  ok = make_title(out) && ok;
  ok = make_thinking(out) && ok;
  ok = make_smiley(out) && ok;
  return ok;
}

gen::Register font_family("font", make_font);
gen::Register image_family("images", make_images);

}  // namespace
