// Help pages for the grown-ups: one opaque 900 x 680 page per screen (0 the title screen, 1 to 9 the
// activities), drawn centred over the screen when H or F1 is pressed. Each page says what the child
// does, what finishes a game and what that unlocks, with a small picture and the keys.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tools/canvas.hpp"

namespace {

using gen::rounded;

using gen::Canvas;
namespace fs = gen::fs;

constexpr double kPi = 3.14159265358979323846;
constexpr int kW = 900, kH = 680;

struct Rgb {
  double r, g, b;
};
constexpr Rgb kInk{0.16, 0.15, 0.33};
constexpr Rgb kSoftInk{0.38, 0.38, 0.50};
constexpr Rgb kWhite{1, 1, 1};

void set(cairo_t* cr, Rgb c, double a = 1.0) { cairo_set_source_rgba(cr, c.r, c.g, c.b, a); }
Rgb mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// ---- Text -------------------------------------------------------------------------------------

// Draws text with its baseline at (x, y); emphasised text is thickened a little.
void show(cairo_t* cr, double x, double y, const std::string& text, bool strong) {
  cairo_move_to(cr, x, y);
  cairo_text_path(cr, text.c_str());
  if (strong) {
    cairo_set_line_width(cr, 0.9);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
  }
  cairo_fill(cr);
}

double advance(cairo_t* cr, const std::string& text) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  return e.x_advance;
}

// Lays out wrapped paragraphs in a column. Words between *stars* are emphasised (drawn bolder and
// in the accent colour). Spaces are the only break points: join words with U+00A0 to keep them.
class Column {
 public:
  Column(cairo_t* cr, double x, double y, double width, double bottom, Rgb accent)
      : cr_(cr), x_(x), y_(y), width_(width), bottom_(bottom), accent_(accent) {}

  void heading(const std::string& text, double size = 23) {
    gen::use_font(cr_, size);
    y_ += size;
    set(cr_, mix(accent_, kInk, 0.45));
    show(cr_, x_, y_, text, true);
    y_ += size * 0.45;
  }

  void paragraph(const std::string& text, double size = 20, Rgb colour = kInk) {
    gen::use_font(cr_, size);
    const double line = size * 1.38, space = advance(cr_, " ");
    std::vector<std::string> words;
    size_t at = 0;
    while (at <= text.size()) {
      size_t end = text.find(' ', at);
      if (end == std::string::npos) end = text.size();
      if (end > at) words.push_back(text.substr(at, end - at));
      at = end + 1;
    }
    double x = 0;
    bool strong = false;
    y_ += size;
    for (std::string w : words) {
      bool starts = w.front() == '*';
      bool ends = w.size() > 1 && w.back() == '*';
      if (starts) w.erase(0, 1);
      // A closing star may sit before trailing punctuation: "*2*."
      size_t close = w.find('*');
      std::string tail;
      if (close != std::string::npos) {
        tail = w.substr(close + 1);
        w = w.substr(0, close);
        ends = true;
      }
      if (starts) strong = true;
      double ww = advance(cr_, w) + advance(cr_, tail);
      if (x > 0 && x + ww > width_) {
        x = 0;
        y_ += line;
      }
      set(cr_, strong ? mix(accent_, kInk, 0.45) : colour);
      show(cr_, x_ + x, y_, w, strong);
      x += advance(cr_, w);
      if (ends) strong = false;
      if (!tail.empty()) {
        set(cr_, colour);
        show(cr_, x_ + x, y_, tail, false);
        x += advance(cr_, tail);
      }
      x += space;
    }
    y_ += line - size + size * 0.5;
  }

  void gap(double g) { y_ += g; }
  double y() const { return y_; }
  bool fits() const { return y_ <= bottom_; }

 private:
  cairo_t* cr_;
  double x_, y_, width_, bottom_;
  Rgb accent_;
};

// ---- Page frame and keys ----------------------------------------------------------------------

void page_frame(cairo_t* cr, Rgb accent) {
  set(cr, accent);
  cairo_paint(cr);
  // A sprinkle of soft dots on the coloured rim.
  gen::Rng rng(77);
  for (int i = 0; i < 60; ++i) {
    double x = rng.range(0, kW), y = rng.range(0, kH);
    cairo_arc(cr, x, y, rng.range(3, 9), 0, 2 * kPi);
    set(cr, kWhite, 0.18);
    cairo_fill(cr);
  }
  rounded(cr, 14, 14, kW - 28, kH - 28, 26);
  set(cr, {1, 0.995, 0.965});
  cairo_fill(cr);
}

void badge(cairo_t* cr, double cx, double cy, double r, const std::string& text, Rgb fill, double size) {
  cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
  set(cr, fill);
  cairo_fill_preserve(cr);
  set(cr, kInk);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  gen::use_font(cr, size);
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  set(cr, kWhite);
  show(cr, cx - e.x_bearing - e.width / 2, cy - e.y_bearing - e.height / 2, text, true);
}

void header(cairo_t* cr, int number, const std::string& title, const std::string& subtitle, Rgb accent) {
  badge(cr, 76, 76, 38, std::to_string(number), accent, 46);
  gen::use_font(cr, 40);
  set(cr, kInk);
  show(cr, 132, 80, title, true);
  gen::use_font(cr, 18);
  set(cr, kSoftInk);
  show(cr, 134, 108, subtitle, false);
  gen::use_font(cr, 15);
  const std::string close = "click or press H to close";
  show(cr, kW - 44 - advance(cr, close), 48, close, false);
  cairo_move_to(cr, 40, 128);
  cairo_line_to(cr, kW - 40, 128);
  set(cr, accent, 0.5);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
}

// A key cap with its label; returns the cap's width.
double key_cap(cairo_t* cr, double x, double y, const std::string& label) {
  gen::use_font(cr, 16);
  double w = std::max(30.0, advance(cr, label) + 16);
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
  show(cr, x + (w - advance(cr, label)) / 2, y + 20, label, true);
  return w;
}

void keys_box(cairo_t* cr, Rgb accent) {
  const double x = 40, y = 560, w = kW - 80, h = 92;
  rounded(cr, x, y, w, h, 16);
  set(cr, mix(accent, kWhite, 0.85));
  cairo_fill(cr);
  struct Key {
    std::vector<std::string> caps;
    const char* joiner;
    std::string what;
  };
  const std::vector<Key> rows[2] = {
      {{{"1", "9"}, "to", "choose an activity once it is open"},
       {{"0"}, "", "title screen"},
       {{"H", "F1"}, "or", "this help"}},
      {{{"S"}, "", "sound on or off"}, {{"V"}, "", "version"}, {{"Esc", "Ctrl+Q"}, "or", "quit"}}};
  const double cols[3] = {x + 18, x + 420, x + 600};
  for (int r = 0; r < 2; ++r) {
    double ky = y + 14 + r * 38;
    for (size_t k = 0; k < rows[r].size(); ++k) {
      double kx = cols[k];
      const Key& key = rows[r][k];
      for (size_t c = 0; c < key.caps.size(); ++c) {
        if (c > 0) {
          gen::use_font(cr, 16);
          set(cr, kSoftInk);
          kx += 6;
          show(cr, kx, ky + 20, key.joiner, false);
          kx += advance(cr, key.joiner) + 6;
        }
        kx += key_cap(cr, kx, ky, key.caps[c]);
      }
      gen::use_font(cr, 17);
      set(cr, kInk);
      show(cr, kx + 10, ky + 20, key.what, false);
    }
  }
}

// ---- Little pictures --------------------------------------------------------------------------

// One of a few small cheerful scenes, drawn to fill (x, y, w, h): 0 hills with a house, 1 a boat
// on the sea, 2 a flower, 3 an apple.
void scene(cairo_t* cr, double x, double y, double w, double h, int kind) {
  cairo_save(cr);
  cairo_rectangle(cr, x, y, w, h);
  cairo_clip(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, w / 120, h / 90);
  cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, 90);
  const Rgb tops[4] = {{0.45, 0.72, 0.98}, {0.55, 0.80, 1.0}, {0.80, 0.93, 0.72}, {1.0, 0.93, 0.62}};
  cairo_pattern_add_color_stop_rgb(sky, 0, tops[kind].r, tops[kind].g, tops[kind].b);
  Rgb low = mix(tops[kind], kWhite, 0.5);
  cairo_pattern_add_color_stop_rgb(sky, 1, low.r, low.g, low.b);
  cairo_set_source(cr, sky);
  cairo_paint(cr);
  cairo_pattern_destroy(sky);
  switch (kind) {
    case 0:
      cairo_arc(cr, 96, 20, 11, 0, 2 * kPi);
      set(cr, {1, 0.85, 0.2});
      cairo_fill(cr);
      cairo_save(cr);
      cairo_scale(cr, 1, 0.5);
      cairo_arc(cr, 30, 170, 70, 0, 2 * kPi);
      set(cr, {0.45, 0.78, 0.30});
      cairo_fill(cr);
      cairo_arc(cr, 100, 180, 60, 0, 2 * kPi);
      set(cr, {0.32, 0.68, 0.25});
      cairo_fill(cr);
      cairo_restore(cr);
      cairo_rectangle(cr, 44, 48, 26, 20);
      set(cr, {1, 0.97, 0.88});
      cairo_fill(cr);
      cairo_move_to(cr, 40, 50);
      cairo_line_to(cr, 57, 35);
      cairo_line_to(cr, 74, 50);
      cairo_close_path(cr);
      set(cr, {0.90, 0.28, 0.22});
      cairo_fill(cr);
      cairo_rectangle(cr, 53, 56, 8, 12);
      set(cr, {0.55, 0.33, 0.18});
      cairo_fill(cr);
      break;
    case 1:
      cairo_rectangle(cr, 0, 55, 120, 35);
      set(cr, {0.15, 0.50, 0.85});
      cairo_fill(cr);
      cairo_set_line_width(cr, 2.5);
      for (int row = 0; row < 3; ++row)
        for (int i = 0; i < 6; ++i) {
          cairo_arc(cr, 10 + i * 22 + row * 8, 64 + row * 9, 6, kPi * 1.1, kPi * 1.9);
          set(cr, kWhite, 0.7);
          cairo_stroke(cr);
        }
      cairo_move_to(cr, 36, 54);
      cairo_line_to(cr, 84, 54);
      cairo_line_to(cr, 76, 64);
      cairo_line_to(cr, 44, 64);
      cairo_close_path(cr);
      set(cr, {0.65, 0.35, 0.18});
      cairo_fill(cr);
      cairo_move_to(cr, 60, 50);
      cairo_line_to(cr, 60, 16);
      cairo_line_to(cr, 82, 48);
      cairo_close_path(cr);
      set(cr, {0.95, 0.30, 0.25});
      cairo_fill(cr);
      cairo_move_to(cr, 58, 50);
      cairo_line_to(cr, 58, 22);
      cairo_line_to(cr, 42, 48);
      cairo_close_path(cr);
      set(cr, {1, 0.9, 0.3});
      cairo_fill(cr);
      break;
    case 2:
      cairo_move_to(cr, 60, 50);
      cairo_curve_to(cr, 62, 65, 56, 78, 60, 92);
      set(cr, {0.25, 0.60, 0.25});
      cairo_set_line_width(cr, 4);
      cairo_stroke(cr);
      cairo_save(cr);
      cairo_translate(cr, 70, 74);
      cairo_rotate(cr, -0.5);
      cairo_scale(cr, 1, 0.45);
      cairo_arc(cr, 0, 0, 11, 0, 2 * kPi);
      cairo_restore(cr);
      cairo_fill(cr);
      for (int i = 0; i < 6; ++i) {
        double a = i * kPi / 3;
        cairo_arc(cr, 60 + 15 * std::cos(a), 38 + 15 * std::sin(a), 11, 0, 2 * kPi);
        set(cr, {0.95, 0.45, 0.70});
        cairo_fill(cr);
      }
      cairo_arc(cr, 60, 38, 10, 0, 2 * kPi);
      set(cr, {1, 0.82, 0.2});
      cairo_fill(cr);
      break;
    default:
      cairo_arc(cr, 52, 50, 24, 0, 2 * kPi);
      cairo_arc(cr, 70, 50, 24, 0, 2 * kPi);
      set(cr, {0.90, 0.18, 0.18});
      cairo_fill(cr);
      cairo_arc(cr, 50, 42, 7, 0, 2 * kPi);
      set(cr, kWhite, 0.5);
      cairo_fill(cr);
      cairo_move_to(cr, 61, 30);
      cairo_curve_to(cr, 62, 24, 63, 20, 66, 16);
      set(cr, {0.45, 0.28, 0.15});
      cairo_set_line_width(cr, 3.5);
      cairo_stroke(cr);
      cairo_move_to(cr, 64, 22);
      cairo_curve_to(cr, 70, 12, 82, 12, 86, 16);
      cairo_curve_to(cr, 80, 24, 70, 26, 64, 22);
      set(cr, {0.35, 0.72, 0.25});
      cairo_fill(cr);
      break;
  }
  cairo_restore(cr);
}

void sky_background(cairo_t* cr, double w, double h) {
  cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, h);
  cairo_pattern_add_color_stop_rgb(g, 0, 0.40, 0.67, 0.94);
  cairo_pattern_add_color_stop_rgb(g, 1, 0.82, 0.92, 1.0);
  cairo_set_source(cr, g);
  cairo_paint(cr);
  cairo_pattern_destroy(g);
  (void)w;
}

// The program's pointer, small, tip at (x, y).
void pointer(cairo_t* cr, double x, double y, double scale = 0.75) {
  const double pts[][2] = {{0, 0},     {3.2, 36},    {11.5, 28.5}, {18.5, 42.5},
                           {25.5, 39}, {18.5, 25.5}, {30.5, 24}};
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, scale, scale);
  cairo_move_to(cr, 0, 0);
  for (const auto& p : pts) cairo_line_to(cr, p[0], p[1]);
  cairo_close_path(cr);
  cairo_restore(cr);
  set(cr, kWhite);
  cairo_fill_preserve(cr);
  set(cr, kInk);
  cairo_set_line_width(cr, 2.5);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);
}

// A square jigsaw piece of side s at (x, y); tabs for top, right, bottom, left: +1 out, -1 in, 0 flat.
void piece_path(cairo_t* cr, double x, double y, double s, const int tabs[4]) {
  const double corners[4][2] = {{x, y}, {x + s, y}, {x + s, y + s}, {x, y + s}};
  cairo_move_to(cr, x, y);
  for (int e = 0; e < 4; ++e) {
    const double* a = corners[e];
    const double* b = corners[(e + 1) % 4];
    double ux = (b[0] - a[0]) / s, uy = (b[1] - a[1]) / s;
    double nx = uy * tabs[e], ny = -ux * tabs[e];  // outward normal times the tab's direction
    auto at = [&](double along, double out, double& px, double& py) {
      px = a[0] + (ux * along + nx * out) * s;
      py = a[1] + (uy * along + ny * out) * s;
    };
    if (tabs[e] != 0) {
      double p[8][2];
      const double shape[8][2] = {{0.36, 0},    {0.44, 0.02}, {0.30, 0.26}, {0.50, 0.26},
                                  {0.70, 0.26}, {0.56, 0.02}, {0.64, 0},    {1, 0}};
      for (int i = 0; i < 8; ++i) at(shape[i][0], shape[i][1], p[i][0], p[i][1]);
      cairo_line_to(cr, p[0][0], p[0][1]);
      cairo_curve_to(cr, p[1][0], p[1][1], p[2][0], p[2][1], p[3][0], p[3][1]);
      cairo_curve_to(cr, p[4][0], p[4][1], p[5][0], p[5][1], p[6][0], p[6][1]);
    }
    cairo_line_to(cr, b[0], b[1]);
  }
  cairo_close_path(cr);
}

// Tabs of piece (r, c) in a grid whose inner edges alternate in and out.
void grid_tabs(int r, int c, int rows, int cols, int tabs[4]) {
  auto h = [](int r, int c) { return (r + c) % 2 ? 1 : -1; };      // edge below (r, c)
  auto v = [](int r, int c) { return (r * 3 + c) % 2 ? -1 : 1; };  // edge right of (r, c)
  tabs[0] = r > 0 ? -h(r - 1, c) : 0;
  tabs[1] = c < cols - 1 ? v(r, c) : 0;
  tabs[2] = r < rows - 1 ? h(r, c) : 0;
  tabs[3] = c > 0 ? -v(r, c - 1) : 0;
}

void ball(cairo_t* cr, double x, double y, double r, Rgb colour, int number, bool glow) {
  if (glow) {
    cairo_pattern_t* g = cairo_pattern_create_radial(x, y, r * 0.8, x, y, r * 1.9);
    cairo_pattern_add_color_stop_rgba(g, 0, 1, 0.95, 0.4, 0.95);
    cairo_pattern_add_color_stop_rgba(g, 1, 1, 0.95, 0.4, 0);
    cairo_set_source(cr, g);
    cairo_arc(cr, x, y, r * 1.9, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  }
  cairo_pattern_t* g = cairo_pattern_create_radial(x - r * 0.35, y - r * 0.4, r * 0.1, x, y, r);
  Rgb light = mix(colour, kWhite, 0.55);
  cairo_pattern_add_color_stop_rgb(g, 0, light.r, light.g, light.b);
  cairo_pattern_add_color_stop_rgb(g, 1, colour.r, colour.g, colour.b);
  cairo_set_source(cr, g);
  cairo_arc(cr, x, y, r, 0, 2 * kPi);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  set(cr, kInk);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  cairo_arc(cr, x, y, r * 0.55, 0, 2 * kPi);
  set(cr, kWhite);
  cairo_fill(cr);
  gen::use_font(cr, r * 0.85);
  std::string t = std::to_string(number);
  cairo_text_extents_t e;
  cairo_text_extents(cr, t.c_str(), &e);
  set(cr, kInk);
  show(cr, x - e.x_bearing - e.width / 2, y - e.y_bearing - e.height / 2, t, true);
}

void art_frames(cairo_t* cr, double w, double h) {
  set(cr, {0.99, 0.91, 0.72});
  cairo_paint(cr);
  for (double x = 0; x < w; x += 24) {
    cairo_rectangle(cr, x, 0, 12, h);
    set(cr, {1, 0.96, 0.84}, 0.6);
    cairo_fill(cr);
  }
  const double fw = 104, fh = 72, xs[2] = {28, 168}, ys[2] = {22, 116};
  for (int i = 0; i < 4; ++i) {
    double x = xs[i % 2], y = ys[i / 2];
    rounded(cr, x - 9, y - 9, fw + 18, fh + 18, 4);
    set(cr, {0.66, 0.40, 0.20});
    cairo_fill_preserve(cr);
    set(cr, kInk);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_rectangle(cr, x, y, fw, fh);
    set(cr, {0.93, 0.93, 0.96});
    cairo_fill(cr);
    if (i == 0) scene(cr, x, y, fw, fh, 0);
    if (i == 1) scene(cr, x, y, fw, fh, 2);
    cairo_rectangle(cr, x, y, fw, fh);
    set(cr, {0.45, 0.25, 0.12});
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
  }
  // A "ping" as the pointer enters the top-right frame.
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 3);
  for (int k = 0; k < 3; ++k) {
    double a = -0.3 + k * 0.5;
    cairo_move_to(cr, 238 + 16 * std::cos(a), 70 + 16 * std::sin(a));
    cairo_line_to(cr, 238 + 26 * std::cos(a), 70 + 26 * std::sin(a));
  }
  set(cr, {1, 0.55, 0.1});
  cairo_stroke(cr);
  pointer(cr, 226, 64);
}

void art_count(cairo_t* cr, double w, double h) {
  sky_background(cr, w, h);
  const Rgb colours[6] = {{0.93, 0.26, 0.24}, {0.98, 0.58, 0.12}, {0.99, 0.80, 0.16},
                          {0.36, 0.75, 0.23}, {0.20, 0.56, 0.90}, {0.58, 0.38, 0.86}};
  const double pos[9][2] = {{54, 44},   {150, 52}, {246, 40},  {40, 112}, {140, 118},
                            {252, 108}, {66, 172}, {158, 176}, {240, 170}};
  const int numbers[9] = {4, 1, 7, 2, 3, 9, 6, 8, 5};
  for (int i = 0; i < 9; ++i)
    ball(cr, pos[i][0], pos[i][1], 24, colours[(numbers[i] - 1) % 6], numbers[i], numbers[i] == 3);
  pointer(cr, 146, 124);
}

void art_bounce(cairo_t* cr, double w, double h) {
  sky_background(cr, w, h);
  const double cw = 48, ch = 36;
  auto trail = [&](double x, double y, double dx, double dy, int kind, int steps) {
    for (int i = 0; i < steps; ++i) {
      if (y + ch > h) {
        dy = -dy * 0.8;
        y = h - ch;
      }
      if (i % 5 == 0) {
        cairo_rectangle(cr, x - 2, y - 2, cw + 4, ch + 4);
        set(cr, kWhite);
        cairo_fill(cr);
        scene(cr, x, y, cw, ch, kind);
      }
      x += dx;
      y += dy;
      dy += 0.12;
    }
  };
  trail(-30, 6, 3.2, 0.0, 0, 96);
  trail(w - 24, 120, -3.2, 0.0, 1, 11);
}

void art_kaleid(cairo_t* cr, double w, double h) {
  set(cr, {0, 0, 0});
  cairo_paint(cr);
  const double cx = w / 2, cy = h / 2, r = 84;
  cairo_save(cr);
  cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
  cairo_clip(cr);
  // One wedge of shapes, repeated in the eight mirror images of a square.
  for (int k = 0; k < 8; ++k) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, (k / 2) * kPi / 2);
    if (k % 2) cairo_scale(cr, 1, -1);
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, r, 0);
    cairo_line_to(cr, r, r);
    cairo_close_path(cr);
    cairo_clip(cr);
    set(cr, {0.20, 0.45, 0.90});
    cairo_paint(cr);
    cairo_arc(cr, 50, 20, 22, 0, 2 * kPi);
    set(cr, {1, 0.80, 0.2});
    cairo_fill(cr);
    cairo_arc(cr, 78, 52, 18, 0, 2 * kPi);
    set(cr, {0.93, 0.30, 0.45});
    cairo_fill(cr);
    cairo_arc(cr, 22, 6, 10, 0, 2 * kPi);
    set(cr, {0.4, 0.85, 0.4});
    cairo_fill(cr);
    cairo_move_to(cr, 30, 0);
    cairo_line_to(cr, 84, 34);
    set(cr, kWhite, 0.9);
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
    cairo_restore(cr);
  }
  cairo_restore(cr);
  cairo_arc(cr, cx, cy, r + 6, 0, 2 * kPi);
  set(cr, {0.75, 0.55, 0.95});
  cairo_set_line_width(cr, 12);
  cairo_stroke_preserve(cr);
  set(cr, kWhite);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
}

// A 4 x 3 jigsaw over the area; pieces marked in `shown` show the picture, the others only the
// template outline.
void jigsaw_board(cairo_t* cr, double w, double h, Rgb ground, const bool shown[12], int kind) {
  set(cr, ground);
  cairo_paint(cr);
  const double s = 62, ox = (w - 4 * s) / 2, oy = (h - 3 * s) / 2;
  for (int pass = 0; pass < 2; ++pass)
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 4; ++c) {
        int tabs[4];
        grid_tabs(r, c, 3, 4, tabs);
        piece_path(cr, ox + c * s, oy + r * s, s, tabs);
        if (pass == 0 && shown[r * 4 + c]) {
          cairo_save(cr);
          cairo_clip(cr);
          scene(cr, ox, oy, 4 * s, 3 * s, kind);
          cairo_restore(cr);
        } else if (pass == 1) {
          set(cr, kWhite, 0.75);
          cairo_set_line_width(cr, 1.5);
          cairo_stroke(cr);
        } else {
          cairo_new_path(cr);
        }
      }
}

void art_uncover(cairo_t* cr, double w, double h) {
  const bool shown[12] = {1, 1, 0, 0, 1, 0, 1, 0, 0, 1, 1, 0};
  jigsaw_board(cr, w, h, {0, 0, 0.39}, shown, 0);
  pointer(cr, 190, 120);
}

void art_where(cairo_t* cr, double w, double h) {
  const bool shown[12] = {1, 0, 0, 1, 1, 1, 0, 0, 0, 0, 1, 0};
  jigsaw_board(cr, w, h, {0.59, 0, 0}, shown, 1);
  // The card: one piece on a pink field in a white frame, in the top-right corner.
  const double s = 62, ox = (w - 4 * s) / 2, oy = (h - 3 * s) / 2;
  const double cw = 72, cx = w - cw - 6, cy = 6;
  cairo_rectangle(cr, cx, cy, cw, cw);
  set(cr, kWhite);
  cairo_fill(cr);
  cairo_rectangle(cr, cx + 4, cy + 4, cw - 8, cw - 8);
  set(cr, {1, 0.75, 1});
  cairo_fill(cr);
  int tabs[4];
  grid_tabs(2, 1, 3, 4, tabs);
  cairo_save(cr);
  double k = 0.62;
  cairo_translate(cr, cx + cw / 2 - s * k / 2, cy + cw / 2 - s * k / 2);
  cairo_scale(cr, k, k);
  piece_path(cr, 0, 0, s, tabs);
  cairo_clip(cr);
  scene(cr, -1 * s, -2 * s, 4 * s, 3 * s, 1);
  cairo_restore(cr);
  // Where it goes: a dashed yellow outline.
  piece_path(cr, ox + s, oy + 2 * s, s, tabs);
  const double dash[] = {6, 4};
  cairo_set_dash(cr, dash, 2, 0);
  set(cr, {1, 0.9, 0.2});
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  cairo_set_dash(cr, nullptr, 0, 0);
  pointer(cr, ox + s * 1.5, oy + s * 2.4);
}

void art_colour(cairo_t* cr, double w, double h) {
  set(cr, {0.39, 0.39, 0.39});
  cairo_paint(cr);
  const double px = 74;
  cairo_rectangle(cr, px, 0, w - px, h);
  set(cr, {0, 0, 0.27});
  cairo_fill(cr);
  // Indicator and palette.
  cairo_arc(cr, px / 2, 30, 18, 0, 2 * kPi);
  set(cr, {0.95, 0.35, 0.55});
  cairo_fill_preserve(cr);
  set(cr, kWhite);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  const Rgb palette[12] = {{0.93, 0.2, 0.2},   {0.98, 0.55, 0.1}, {1, 0.85, 0.1},   {0.4, 0.8, 0.2},
                           {0.1, 0.6, 0.35},   {0.2, 0.75, 0.9},  {0.15, 0.4, 0.9}, {0.55, 0.3, 0.85},
                           {0.95, 0.35, 0.55}, {0.6, 0.4, 0.2},   {1, 1, 1},        {0.1, 0.1, 0.1}};
  for (int i = 0; i < 12; ++i) {
    cairo_rectangle(cr, 10 + (i % 3) * 18, 120 + (i / 3) * 18, 18, 18);
    set(cr, palette[i]);
    cairo_fill(cr);
  }
  // Six triangles turned about a centre, a few of their parts coloured in.
  const double cx = px + (w - px) / 2, cy = h / 2, side = 88;
  auto triangle = [&](int k) {
    double a = k * kPi / 3;
    cairo_move_to(cr, cx, cy);
    for (int j = 0; j < 3; ++j) {
      double x = cx, y = cy;
      for (int m = 0; m <= j; ++m) {
        double hd = a + m * 2 * kPi / 3;
        x += side * std::sin(hd);
        y -= side * std::cos(hd);
      }
      cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
  };
  const Rgb fills[3] = {{1, 0.85, 0.1}, {0.95, 0.35, 0.55}, {0.2, 0.75, 0.9}};
  for (int k = 0; k < 6; k += 2) {
    triangle(k);
    set(cr, fills[k / 2]);
    cairo_fill(cr);
  }
  for (int k = 0; k < 6; ++k) triangle(k);
  set(cr, kWhite);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  pointer(cr, cx + 30, cy - 40);
}

void art_pairs(cairo_t* cr, double w, double h) {
  sky_background(cr, w, h);
  const double cw = 58, ch = 40, gx = (w - 4 * cw) / 5, gy = (h - 4 * ch) / 5;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) {
      double x = gx + c * (cw + gx), y = gy + r * (ch + gy);
      int i = r * 4 + c;
      if (i == 5 || i == 10) continue;  // a pair already found
      rounded(cr, x - 2, y - 2, cw + 4, ch + 4, 4);
      set(cr, kWhite);
      cairo_fill(cr);
      if (i == 2 || i == 12) {
        scene(cr, x, y, cw, ch, 3);
      } else {
        cairo_rectangle(cr, x, y, cw, ch);
        set(cr, {0.10, 0.66, 0.62});
        cairo_fill(cr);
        for (int d = 0; d < 6; ++d) {
          cairo_arc(cr, x + 8 + (d % 3) * 21, y + 11 + (d / 3) * 18, 3.5, 0, 2 * kPi);
          set(cr, kWhite, 0.7);
          cairo_fill(cr);
        }
      }
    }
  pointer(cr, gx + 0.6 * cw, 3 * (ch + gy) + gy + 0.5 * ch);
}

void art_jigsaw(cairo_t* cr, double, double) {
  set(cr, {1, 0.75, 1});
  cairo_paint(cr);
  const double s = 60;
  struct Placed {
    int r, c;
    double x, y;
    bool shadow;
  };
  // A picture of 3 x 2 pieces whose home is the top-left: two joined at home, the others loose.
  const Placed pieces[] = {{0, 0, 16, 16, false},  {0, 1, 16 + s, 16, false}, {0, 2, 214, 118, false},
                           {1, 0, 40, 128, false}, {1, 2, 218, 20, false},    {1, 1, 130, 100, true}};
  for (const Placed& p : pieces) {
    int tabs[4];
    grid_tabs(p.r, p.c, 2, 3, tabs);
    if (p.shadow) {
      piece_path(cr, p.x + 5, p.y + 5, s, tabs);
      set(cr, {0, 0, 0}, 0.4);
      cairo_fill(cr);
    }
    piece_path(cr, p.x, p.y, s, tabs);
    cairo_save(cr);
    cairo_clip_preserve(cr);
    scene(cr, p.x - p.c * s, p.y - p.r * s, 3 * s, 2 * s, 0);
    cairo_restore(cr);
    set(cr, kInk, 0.8);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
  }
  pointer(cr, 160, 128);
}

// ---- Pages ------------------------------------------------------------------------------------

struct Page {
  int number;
  std::string title;
  std::string subtitle;
  Rgb accent;
  std::string does;
  std::string finish;
  std::string tips;
  std::function<void(cairo_t*, double, double)> art;  // draws into (0, 0, w, h)
};

const std::string kSize =
    "1024\xC2\xA0\xC3\x97\xC2\xA0"
    "768";  // 1024 × 768, kept on one line

bool draw_activity_page(const Page& p, const fs::path& file) {
  Canvas c(kW, kH);
  cairo_t* cr = c.cr();
  page_frame(cr, p.accent);
  header(cr, p.number, p.title, p.subtitle, p.accent);

  Column text(cr, 44, 140, 480, 548, p.accent);
  text.heading("What your child does");
  text.paragraph(p.does);
  text.gap(6);
  text.heading("Finishing a game");
  text.paragraph(p.finish);

  // Picture on the right, tips below it.
  const double ax = 556, ay = 146, aw = 300, ah = 210;
  cairo_save(cr);
  rounded(cr, ax, ay, aw, ah, 18);
  cairo_clip(cr);
  cairo_translate(cr, ax, ay);
  if (p.art) p.art(cr, aw, ah);
  cairo_restore(cr);
  rounded(cr, ax, ay, aw, ah, 18);
  set(cr, kInk);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);

  rounded(cr, ax, 374, aw, 170, 16);
  set(cr, mix(p.accent, kWhite, 0.85));
  cairo_fill(cr);
  Column tips(cr, ax + 16, 378, aw - 32, 540, p.accent);
  tips.heading("Good to know", 19);
  tips.paragraph(p.tips, 16);

  keys_box(cr, p.accent);
  bool saved = c.save_png(file);
  if (!text.fits() || !tips.fits()) {
    std::fprintf(stderr, "pipkin_gen: help page %d: text does not fit\n", p.number);
    return false;
  }
  return saved;
}

std::vector<Page> activity_pages() {
  return {
      {1,
       "Picture frames",
       "Activity 1: always open",
       {0.95, 0.55, 0.20},
       "Four empty frames hang on the wall. Your child moves the mouse pointer into a frame, and a "
       "picture appears in it with a ping. Each time the pointer comes back into a frame, that frame "
       "shows its next picture; every frame has four of its own.",
       "Once all four frames have been visited, the game counts as finished: this unlocks *activity "
       "2* if it is still locked.",
       "Clicks do nothing here. Press *1* again to empty the frames. The frames show the first 16 "
       "pictures of the pics folder.",
       art_frames},
      {2,
       "Counting balls",
       "Activity 2: touch the balls in order",
       {0.36, 0.72, 0.24},
       "Numbered balls lie on the sky. Your child touches them with the pointer in order: 1, 2, 3 "
       "and so on. The ball just counted glows. Touching a ball out of order turns it red with a pop, "
       "and counting starts again from ball 1. Clicks do nothing here.",
       "When the last ball is counted, all the balls glow and a magic sound plays: this unlocks "
       "*activity 3* if it is still locked. Touching ball 1 then starts the next game with one more "
       "ball: 9 balls at first, up to 20.",
       "Press *2* while playing for a new layout: during a game the number of balls stays the same; "
       "after a finished game it grows by one.",
       art_count},
      {3,
       "Bouncing cards",
       "Activity 3: every click throws a card",
       {0.20, 0.62, 0.90},
       "Every click throws a little picture card onto the sky: a left click from the left edge, a "
       "right click from the right edge. The cards fall, bounce along the floor with a boing and "
       "fly off the other side, leaving a colourful trail behind them.",
       "There is no game to finish here: any left click unlocks *activity 4* if it is still locked.",
       "Press *3* to wipe the trails and start afresh; closing this page with *H* or *F1* wipes "
       "them too. No pointer is shown in this activity.",
       art_bounce},
      {4,
       "Kaleidoscope",
       "Activity 4: a pattern that follows the mouse",
       {0.58, 0.38, 0.86},
       "A ring follows the mouse and shows a kaleidoscope: a piece of a slowly turning picture, "
       "repeated eight times in mirror images. Moving the mouse changes the pattern, and it keeps "
       "changing while the mouse rests. A left click takes another picture; a right click shows or "
       "hides the picture behind the pattern.",
       "There is no game to finish here: any left click unlocks *activity 5* if it is still locked.",
       "The ring is the pointer here; it keeps a little away from the screen edges. Coming back "
       "to this activity carries on where you left it.",
       art_kaleid},
      {5,
       "Uncover",
       "Activity 5: click to uncover a picture",
       {0.22, 0.36, 0.78},
       "A picture is hidden under the outline of a jigsaw on a dark blue screen. Each click on a "
       "hidden piece uncovers that part of the picture, piece by piece. Clicks outside the hidden "
       "pieces do nothing.",
       "When every piece is uncovered, the whole picture shows with a magic sound: this unlocks "
       "*activity 6* if it is still locked. Click the smiley face in the bottom left corner for a new "
       "puzzle.",
       "Press *5* while playing for a new puzzle, with another cut and another picture. Leaving an "
       "unfinished puzzle and coming back carries on with it.",
       art_uncover},
      {6,
       "Where does it go?",
       "Activity 6: click where the piece belongs",
       {0.85, 0.25, 0.25},
       "The outline of a jigsaw is shown on a dark red screen. A card in a corner shows one piece of "
       "a hidden picture; your child clicks the place where it belongs, and the piece appears there. "
       "Then the card shows the next piece. Clicking the card deals another one; clicks in the wrong "
       "place do nothing.",
       "When every piece is in its place, the whole picture shows with a magic sound: this unlocks "
       "*activity 7* if it is still locked. Click the smiley face for a new puzzle.",
       "Press *6* while playing for a new puzzle, with another cut and another picture. Leaving an "
       "unfinished puzzle and coming back carries on with it.",
       art_where},
      {7,
       "Colouring",
       "Activity 7: pick a colour, click to fill",
       {0.93, 0.35, 0.60},
       "A line drawing fills the right of the screen and a palette sits at the bottom left. Your "
       "child clicks a colour to pick it (the circle at the top shows the colour picked), then clicks "
       "inside a shape to fill it. A right click, or Ctrl with a click, shows the next of seven "
       "drawings.",
       "Colouring never ends. Once your child has picked a colour and filled a shape, this unlocks "
       "*activity 8* if it is still locked; no sound or smiley marks it.",
       "Press *7* while colouring to wipe the colours off the drawing. Before a colour is picked, "
       "clicks fill with white.",
       art_colour},
      {8,
       "Pairs",
       "Activity 8: find the matching cards",
       {0.10, 0.66, 0.62},
       "Sixteen cards lie face down: eight pictures, each on two cards. Your child clicks cards to "
       "turn them over. When a card shows the same picture as the card turned just before it, the "
       "pair stays on show for a second and then leaves the table. When a third card is turned, the "
       "older unmatched card turns back.",
       "When every pair is found, a magic sound plays: this unlocks *activity 9* if it is still "
       "locked. Click the smiley face for a new game.",
       "Press *8* while playing to shuffle and deal again. The cards show the first 8 pictures of "
       "the pics folder.",
       art_pairs},
      {9,
       "Jigsaw",
       "Activity 9: carry the pieces into place",
       {0.93, 0.45, 0.72},
       "The pieces of a picture lie scattered on a pink screen. A click picks up a piece, which then "
       "follows the mouse with no button held; the next click puts it down. Pieces that fit together "
       "join and move as one, and a piece put down near its place snaps home with a click and stays. "
       "A right click hides or shows the pieces not yet home.",
       "When every piece is home, the whole picture shows with a magic sound. This is the last "
       "activity, so it unlocks nothing. Click the smiley face for a new puzzle.",
       "Press *9* while playing for a new puzzle, with another cut and another picture. Leaving an "
       "unfinished puzzle and coming back carries on with it.",
       art_jigsaw},
  };
}

// Page 0: the whole program.
bool draw_overview_page(const fs::path& file, const std::vector<Page>& pages) {
  Canvas c(kW, kH);
  cairo_t* cr = c.cr();
  const Rgb accent{0.98, 0.72, 0.15};
  page_frame(cr, accent);
  header(cr, 0, "Welcome to Pipkin",
         "You choose an activity with the digit keys; your child plays with the mouse.", accent);

  double y = 142;
  const char* what[9] = {
      "move into a frame to show a picture", "touch the balls in order",   "every click throws a card",
      "a pattern follows the mouse",         "click to uncover a picture", "click where the piece belongs",
      "pick a colour and fill shapes",       "find the matching cards",    "carry the pieces into place"};
  for (int i = 0; i < 9; ++i) {
    badge(cr, 60, y + 15, 15, std::to_string(i + 1), pages[i].accent, 18);
    gen::use_font(cr, 18);
    set(cr, kInk);
    show(cr, 86, y + 21, pages[i].title, true);
    gen::use_font(cr, 15);
    set(cr, kSoftInk);
    show(cr, 88 + 0, y + 39, what[i], false);
    y += 45;
  }

  const double bx = 392, bw = kW - 40 - bx;
  rounded(cr, bx, 140, bw, 404, 16);
  set(cr, mix(accent, kWhite, 0.82));
  cairo_fill(cr);
  Column right(cr, bx + 18, 142, bw - 36, 540, accent);
  right.heading("Unlocking", 21);
  right.paragraph(
      "Activity 1 is always open. Finishing a game of the highest open activity opens the "
      "next one; the digits of locked activities do nothing. Progress is kept in "
      "*data/pipkin.txt*: delete it to start again from 1.",
      17);
  right.gap(4);
  right.heading("Your own pictures", 21);
  right.paragraph(
      "Put PNG, JPEG or BMP files in the *pics* folder inside the data folder. Names must "
      "end in lowercase *.png*, *.jpg* or *.bmp*: rename photo.JPG to photo.jpg. Any size "
      "is fine: pictures are scaled to fill the " +
          kSize +
          " screen. Use at least 16 "
          "pictures: picture frames shows 16, pairs needs 8.",
      17);

  keys_box(cr, accent);
  bool saved = c.save_png(file);
  if (!right.fits() || y > 552) {
    std::fprintf(stderr, "pipkin_gen: help page 0: text does not fit\n");
    return false;
  }
  return saved;
}

bool make_help(const fs::path& out) {
  std::vector<Page> pages = activity_pages();
  bool ok = draw_overview_page(out / "help/0.png", pages);
  for (const Page& p : pages)
    ok = draw_activity_page(p, out / ("help/" + std::to_string(p.number) + ".png")) && ok;
  return ok;
}

gen::Register help_family("help", make_help);

}  // namespace
