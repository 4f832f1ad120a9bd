// The break screen, shown when the parent's play-time limit is reached: an evening sky with a
// sleepy moon, a cat curled up asleep on its cushion, and "Time for a break" (in the picture's
// language) in the title's outlined, many-coloured letters. Soft, calm colours; the bottom 40 pixels stay an even, quiet
// strip where the program may write a line for the parent.
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "tools/kit/canvas.hpp"
#include "tools/kit/figures.hpp"
#include "tools/kit/paint.hpp"
#include "tools/kit/scenery.hpp"
#include "tools/kit/text.hpp"
#include "tools/kit/words.hpp"

namespace {

using namespace pk;
namespace fs = gen::fs;

constexpr int kQuietStrip = 40;  // the bottom strip left for the program's line

// A closed, sleeping eye: a soft downward arc with three short lashes.
void sleeping_eye(cairo_t* cr, double x, double y, double w, double line) {
  cairo_new_path(cr);
  cairo_arc(cr, x, y - w * 0.35, w * 0.6, 0.2 * kPi, 0.8 * kPi);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  stroke(cr, kInk, line);
  cairo_new_path(cr);
}

void sky(cairo_t* cr, gen::Rng& rng) {
  cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, 600);
  const Col stops[] = {hex(0x2f3f8f), hex(0x5b5fb0), hex(0x9b86c8), hex(0xe7a9bd), hex(0xf8cfae)};
  const double at_[] = {0, 0.35, 0.62, 0.86, 1};
  for (int i = 0; i < 5; ++i) cairo_pattern_add_color_stop_rgb(g, at_[i], stops[i].r, stops[i].g, stops[i].b);
  cairo_rectangle(cr, 0, 0, kWidth, kHeight);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  // Tiny stars in the upper, darker sky.
  for (int i = 0; i < 70; ++i) {
    double y = rng.range(8, 330), x = rng.range(8, kWidth - 8);
    cairo_new_path(cr);
    circle(cr, x, y, rng.range(1.2, 2.6));
    fill(cr, hex(0xfff6d8), rng.range(0.45, 0.9) * (1 - y / 420));
  }
}

void sleepy_moon(cairo_t* cr, double x, double y, double r) {
  radial_glow(cr, x, y, r * 2.1, hex(0xfff0b8), 0.35);
  moon(cr, x, y, r, hex(0xffe28a));
  sleeping_eye(cr, x - r * 0.5, y - r * 0.12, r * 0.22, std::max(3.0, r * 0.045));
  smile(cr, x - r * 0.47, y + r * 0.36, r * 0.2, std::max(3.0, r * 0.04));
  cheek(cr, x - r * 0.7, y + r * 0.14, r * 0.12);
  // A nightcap on the moon's top tip.
  at(cr, x + r * 0.2, y - r * 0.9, r / 100, 0.5, [&] {
    cairo_new_path(cr);
    cairo_move_to(cr, -46, 18);
    cairo_curve_to(cr, -30, -30, 10, -70, 70, -60);
    cairo_curve_to(cr, 40, -40, 40, 0, 46, 18);
    cairo_close_path(cr);
    paint(cr, hex(0x8fb8f0), 4);
    cairo_new_path(cr);
    rounded(cr, -54, 8, 108, 26, 13);
    paint(cr, hex(0xfff6fa), 4);
    cairo_new_path(cr);
    circle(cr, 72, -60, 15);
    paint_ball(cr, hex(0xfff6fa), 4);
  });
}

// Outlined "z"s rising from the sleeper, growing as they go.
void zzz(cairo_t* cr, double x, double y) {
  for (int k = 0; k < 3; ++k) {
    const double size = 30 + 12 * k, zx = x + k * 34, zy = y - k * 40;
    cairo_new_path(cr);
    cairo_move_to(cr, zx, zy);
    gen::text_path(cr, "z", size);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    set(cr, kInk, 0.55);
    cairo_set_line_width(cr, 7);
    cairo_stroke_preserve(cr);
    set(cr, hex(0xfff8ee));
    cairo_fill(cr);
  }
}

// A ginger cat curled up asleep on a round cushion, head resting on its paws at the left, tail
// wrapped round the front.
void sleeping_cat(cairo_t* cr, double cx, double cy) {
  const Col fur = hex(0xf4a95e), pale = hex(0xffe4c2), stripe = hex(0xd9843e);
  const Col cushion = hex(0xf2a2c0);
  shadow(cr, cx, cy + 92, 300, 26, 0.22);
  // The cushion, with a few buttons.
  cairo_new_path(cr);
  oval(cr, cx, cy + 62, 290, 58);
  paint(cr, cushion, 4.5);
  cairo_new_path(cr);
  oval(cr, cx, cy + 50, 262, 34);
  fill(cr, light(cushion, 0.35), 0.8);
  for (int k = -2; k <= 2; ++k) {
    cairo_new_path(cr);
    circle(cr, cx + k * 100, cy + 58 - std::abs(k) * 5, 7);
    fill(cr, dark(cushion, 0.25), 0.7);
  }

  // Body: a round loaf.
  cairo_new_path(cr);
  oval(cr, cx + 30, cy, 175, 92);
  paint_ball(cr, fur, 4.5);
  // Stripes along the back.
  cairo_save(cr);
  cairo_new_path(cr);
  oval(cr, cx + 30, cy, 172, 89);
  cairo_clip(cr);
  for (int k = 0; k < 4; ++k) {
    const double sx = cx - 10 + k * 52;
    cairo_new_path(cr);
    cairo_move_to(cr, sx - 10, cy - 95);
    cairo_curve_to(cr, sx + 8, cy - 60, sx + 6, cy - 40, sx - 8, cy - 18);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    stroke(cr, stripe, 14);
  }
  cairo_restore(cr);

  // Back leg, a soft bump at the rear.
  cairo_new_path(cr);
  oval(cr, cx + 140, cy + 40, 62, 44, -0.3);
  paint_ball(cr, fur, 4.5);

  // Front paws under the chin.
  for (int k = 0; k < 2; ++k) {
    cairo_new_path(cr);
    oval(cr, cx - 118 + k * 46, cy + 38 - k * 4, 34, 20);
    paint_ball(cr, pale, 4);
  }

  // Head, resting on the paws.
  const double hx = cx - 130, hy = cy - 22;
  for (int side = -1; side <= 1; side += 2) {
    at(cr, hx + side * 44, hy - 50, 1, side * 0.35, [&] {
      cairo_new_path(cr);
      cairo_move_to(cr, -30, 14);
      cairo_curve_to(cr, -24, -16, -8, -44, 0, -48);
      cairo_curve_to(cr, 8, -44, 24, -16, 30, 14);
      cairo_close_path(cr);
      paint(cr, fur, 4.5);
      cairo_new_path(cr);
      cairo_move_to(cr, -15, 8);
      cairo_curve_to(cr, -12, -10, -4, -28, 0, -30);
      cairo_curve_to(cr, 4, -28, 12, -10, 15, 8);
      cairo_close_path(cr);
      fill(cr, hex(0xffb8b0));
    });
  }
  cairo_new_path(cr);
  oval(cr, hx, hy, 86, 70);
  paint_ball(cr, fur, 4.5);
  // Forehead stripes and a pale muzzle.
  for (int k = -1; k <= 1; ++k) {
    cairo_new_path(cr);
    cairo_move_to(cr, hx + k * 16, hy - 66);
    cairo_line_to(cr, hx + k * 12, hy - 44 + std::abs(k) * 6);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    stroke(cr, stripe, 8);
  }
  cairo_new_path(cr);
  oval(cr, hx, hy + 28, 40, 26);
  fill(cr, pale);
  sleeping_eye(cr, hx - 34, hy - 4, 30, 5);
  sleeping_eye(cr, hx + 34, hy - 4, 30, 5);
  cheek(cr, hx - 56, hy + 18, 13);
  cheek(cr, hx + 56, hy + 18, 13);
  // Nose and a small contented mouth.
  cairo_new_path(cr);
  poly(cr, {hx - 9, hy + 14, hx + 9, hy + 14, hx, hy + 24});
  paint(cr, hex(0xff8fa0), 2.5);
  cairo_new_path(cr);
  cairo_move_to(cr, hx, hy + 24);
  cairo_line_to(cr, hx, hy + 30);
  cairo_arc(cr, hx - 7, hy + 30, 7, 0, kPi);
  cairo_move_to(cr, hx, hy + 30);
  cairo_arc_negative(cr, hx + 7, hy + 30, 7, kPi, 0);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  stroke(cr, kInk, 3);
  // Whiskers.
  for (int side = -1; side <= 1; side += 2)
    for (int k = 0; k < 2; ++k) {
      cairo_new_path(cr);
      cairo_move_to(cr, hx + side * 38, hy + 24 + k * 9);
      cairo_line_to(cr, hx + side * 86, hy + 16 + k * 18);
      stroke(cr, light(kInk, 0.35), 2.2);
    }
  // Tail wrapped round the front, its tip by the chin.
  cairo_new_path(cr);
  cairo_move_to(cr, cx + 190, cy + 40);
  cairo_curve_to(cr, cx + 200, cy + 100, cx + 40, cy + 104, cx - 90, cy + 86);
  cairo_curve_to(cr, cx - 150, cy + 80, cx - 196, cy + 78, cx - 214, cy + 60);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  thick_line(cr, fur, 34, 4.5);
  // A pale tip.
  cairo_new_path(cr);
  circle(cr, cx - 212, cy + 60, 17);
  paint_ball(cr, pale, 4);
}

constexpr double kLetterGap = 3, kLetteringSize = 112;

// The size at which a line of lettering, its letters kLetterGap apart, is as wide as `width` at most.
double lettering_size(cairo_t* cr, const std::string& line, double width) {
  const gen::Lettering at_full(cr, line, kLetteringSize);
  const double gaps = kLetterGap * static_cast<double>(at_full.letters().size() - 1);
  return at_full.width() + gaps <= width ? kLetteringSize : kLetteringSize * (width - gaps) / at_full.width();
}

// The break's words in the title's lettering: bouncing letters with a deep outline, a white rim
// and a top-lit fill, each in its own soft colour, over a soft shadow. The words are centred on cx
// with their baseline about y, and as wide as `width` at most: longer words shrink, and words that
// would shrink too far take two lines, split at the space nearest their middle.
void lettering(cairo_t* cr, const std::string& text, double cx, double y, double width) {
  const Col fills[] = {hex(0xf27d8e), hex(0xf9a65a), hex(0xf7d052), hex(0x7ccf6a), hex(0x62aef0), hex(0xae8ae8)};
  std::vector<std::string> lines{text};
  double size = lettering_size(cr, text, width);
  size_t split = std::string::npos;
  for (size_t at = text.find(' '); at != std::string::npos; at = text.find(' ', at + 1))
    if (split == std::string::npos || std::abs(int(at) - int(text.size() / 2)) < std::abs(int(split) - int(text.size() / 2)))
      split = at;
  if (size < kLetteringSize * gen::kMinTextScale && split != std::string::npos) {
    lines = {text.substr(0, split), text.substr(split + 1)};
    // A little smaller than one line's, so that the second keeps clear of the moon's cap.
    size = 0.9 * std::min(lettering_size(cr, lines[0], width), lettering_size(cr, lines[1], width));
  }
  if (size < kLetteringSize * gen::kMinTextScale)
    gen::text_problems().push_back({"", text, "is too long for the break screen's lettering"});
  struct Placed {
    const gen::Lettering* line;
    size_t letter;
    double x, y, w, tilt;
    Col fill;
  };
  std::vector<std::unique_ptr<gen::Lettering>> shaped;
  std::vector<Placed> placed;
  int coloured = 0;
  for (size_t l = 0; l < lines.size(); ++l) {
    shaped.push_back(std::make_unique<gen::Lettering>(cr, lines[l], size));
    const gen::Lettering& line = *shaped.back();
    const double base = lines.size() == 1 ? y : y + (l == 0 ? -0.58 : 0.5) * size;
    double x = cx - (line.width() + kLetterGap * static_cast<double>(line.letters().size() - 1)) / 2;
    for (size_t i = 0; i < line.letters().size(); ++i) {
      const gen::Letter& letter = line.letters()[i];
      if (!letter.blank) {
        const double lift = -6 * std::sin(coloured * 1.7), tilt = 0.06 * std::sin(coloured * 2.3 + 0.5);
        placed.push_back({&line, i, x, base + lift, letter.w, tilt, fills[coloured % 6]});
        ++coloured;
      }
      x += letter.w + kLetterGap;
    }
  }
  const double outline = size * 0.13;
  auto letter_path = [&](const Placed& p, double dx, double dy) {
    cairo_save(cr);
    cairo_translate(cr, p.x + p.w / 2 + dx, p.y + dy);
    cairo_rotate(cr, p.tilt);
    cairo_translate(cr, -p.w / 2, 0);
    p.line->path(cr, p.letter);
    cairo_restore(cr);
  };
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  for (int k = 4; k >= 0; --k) {
    for (const Placed& p : placed) letter_path(p, 5, 7);
    cairo_set_line_width(cr, outline + k * 3);
    cairo_set_source_rgba(cr, 0.05, 0.08, 0.25, 0.05 + (4 - k) * 0.03);
    cairo_stroke(cr);
  }
  for (const Placed& p : placed) letter_path(p, 0, 0);
  cairo_set_line_width(cr, outline);
  set(cr, kInk);
  cairo_stroke(cr);
  for (const Placed& p : placed) {
    letter_path(p, 0, 0);
    cairo_set_line_width(cr, outline - size * 0.055);
    set(cr, kSnow);
    cairo_stroke_preserve(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, p.y - size * 0.75, 0, p.y + size * 0.2);
    const Col hi = light(p.fill, 0.3), lo = dark(p.fill, 0.1);
    cairo_pattern_add_color_stop_rgb(g, 0, hi.r, hi.g, hi.b);
    cairo_pattern_add_color_stop_rgb(g, 1, lo.r, lo.g, lo.b);
    cairo_set_source(cr, g);
    cairo_set_line_width(cr, outline - size * 0.085);
    cairo_stroke_preserve(cr);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  }
}

bool make_break(const fs::path& out, const gen::Words& words) {
  gen::Canvas c(kWidth, kHeight);
  cairo_t* cr = c.cr();
  gen::Rng rng(4711);
  sky(cr, rng);
  // A few soft stars and twinkles between the words and the moon.
  const double stars[][3] = {{90, 250, 14}, {300, 300, 11}, {610, 262, 12}, {960, 220, 10}, {450, 360, 9}};
  for (int i = 0; i < 5; ++i) {
    if (i % 2)
      twinkle(cr, stars[i][0], stars[i][1], stars[i][2] + 3, hex(0xfff6d8));
    else
      star(cr, stars[i][0], stars[i][1], stars[i][2], hex(0xffe28a), 0.2 * i);
  }
  sleepy_moon(cr, 820, 330, 96);
  cloud(cr, 150, 420, 70, hex(0xd9c9f0));
  cloud(cr, 640, 440, 54, hex(0xe9cbe6));

  // Hills: a far lavender row, then the near meadow, whose foot stays plain.
  ground(cr, 520, 22, 760, 0.8, hex(0x8c86c4), hex(0x7a74b4), 4);
  ground(cr, 590, 16, 980, 2.4, hex(0x6aa88e), hex(0x3f7a6e), 4);
  for (int i = 0; i < 14; ++i) {
    const double x = rng.range(20, kWidth - 20), y = rng.range(620, kHeight - kQuietStrip - 24);
    if (std::fabs(x - 480) < 330) continue;  // none behind the cushion
    grass_tuft(cr, x, y, rng.range(18, 28), hex(0x4f8f78));
  }
  // Fireflies, soft and few.
  for (int i = 0; i < 9; ++i) {
    const double x = rng.range(30, kWidth - 30), y = rng.range(440, 620);
    radial_glow(cr, x, y, 14, hex(0xf6ff9a), 0.5);
    cairo_new_path(cr);
    circle(cr, x, y, 3);
    fill(cr, hex(0xfbffd0));
  }

  sleeping_cat(cr, 480, 600);
  zzz(cr, 320, 470);
  lettering(cr, words.text("break.title"), kWidth / 2.0, 170, 900);
  return c.save(words.file(out, "images", "break.png", "break"));
}

gen::Register break_family("break", make_break);

}  // namespace
