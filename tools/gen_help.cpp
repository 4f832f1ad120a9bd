// Help pages for the grown-ups: one opaque page per screen (0 the title screen, then one for each
// activity of help::activity_pages()), drawn centred over the screen when H or F1 is pressed. Each
// page says what the child does, what finishes a game and what that unlocks, with a small picture
// and the keys. This file lays the pages out; what they say is in help_text.cpp and the pictures in
// help_art.cpp.
#include <cstdio>
#include <string>

#include "tools/help.hpp"
#include "tools/kit/canvas.hpp"
#include "tools/kit/colour.hpp"
#include "tools/kit/shapes.hpp"
#include "tools/kit/text.hpp"
#include "tools/kit/widgets.hpp"

namespace {

using gen::Canvas;
using gen::Col;
using gen::Column;
using gen::kInk;
using gen::kPi;
using gen::kSoftInk;
using gen::kWhite;
using gen::mix;
using gen::rounded;
using gen::set;
using gen::show;
using gen::use_font;
using help::kPageH;
using help::kPageW;
namespace fs = gen::fs;

void page_frame(cairo_t* cr, Col accent) {
  set(cr, accent);
  cairo_paint(cr);
  // A sprinkle of soft dots on the coloured rim.
  gen::Rng rng(77);
  for (int i = 0; i < 60; ++i) {
    double x = rng.range(0, kPageW), y = rng.range(0, kPageH);
    cairo_arc(cr, x, y, rng.range(3, 9), 0, 2 * kPi);
    set(cr, kWhite, 0.18);
    cairo_fill(cr);
  }
  rounded(cr, 14, 14, kPageW - 28, kPageH - 28, 26);
  set(cr, {1, 0.995, 0.965});
  cairo_fill(cr);
}

void header(cairo_t* cr, int number, const std::string& title, const std::string& subtitle, Col accent) {
  gen::badge(cr, 76, 76, 38, std::to_string(number), accent, 46);
  use_font(cr, 40);
  set(cr, kInk);
  show(cr, 132, 80, title, true);
  use_font(cr, 18);
  set(cr, kSoftInk);
  show(cr, 134, 108, subtitle, false);
  use_font(cr, 15);
  const std::string close = help::kLabels.close;
  show(cr, kPageW - 44 - gen::advance(cr, close), 48, close, false);
  cairo_move_to(cr, 40, 128);
  cairo_line_to(cr, kPageW - 40, 128);
  set(cr, accent, 0.5);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
}

void keys_box(cairo_t* cr, Col accent) {
  const double x = 40, y = 560, w = kPageW - 80, h = 92;
  rounded(cr, x, y, w, h, 16);
  set(cr, mix(accent, kWhite, 0.85));
  cairo_fill(cr);
  const double cols[3] = {x + 18, x + 420, x + 600};
  for (int r = 0; r < 2; ++r) {
    double ky = y + 14 + r * 38;
    for (size_t k = 0; k < help::key_row(r).size(); ++k) {
      double kx = cols[k];
      const help::KeyHint& key = help::key_row(r)[k];
      for (size_t c = 0; c < key.caps.size(); ++c) {
        if (c > 0) {
          use_font(cr, 16);
          set(cr, kSoftInk);
          kx += 6;
          show(cr, kx, ky + 20, key.joiner, false);
          kx += gen::advance(cr, key.joiner) + 6;
        }
        kx += gen::key_cap(cr, kx, ky, key.caps[c]);
      }
      use_font(cr, 17);
      set(cr, kInk);
      show(cr, kx + 10, ky + 20, key.what, false);
    }
  }
}

bool draw_activity_page(int number, const fs::path& file) {
  const help::ActivityPage& p = help::activity_pages()[static_cast<size_t>(number - 1)];
  const Col accent = p.accent;
  Canvas c(kPageW, kPageH);
  cairo_t* cr = c.cr();
  page_frame(cr, accent);
  header(cr, number, p.title, p.subtitle, accent);

  Column text(cr, 44, 140, 480, 548, accent);
  text.heading(help::kLabels.does);
  text.paragraph(p.does);
  text.gap(6);
  text.heading(help::kLabels.finish);
  text.paragraph(p.finish);

  // Picture on the right, tips below it.
  const double ax = 556, ay = 146, aw = 300, ah = 210;
  cairo_save(cr);
  rounded(cr, ax, ay, aw, ah, 18);
  cairo_clip(cr);
  cairo_translate(cr, ax, ay);
  (p.art ? p.art : help::plain_art)(cr, aw, ah);
  cairo_restore(cr);
  rounded(cr, ax, ay, aw, ah, 18);
  set(cr, kInk);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);

  rounded(cr, ax, 374, aw, 170, 16);
  set(cr, mix(accent, kWhite, 0.85));
  cairo_fill(cr);
  Column tips(cr, ax + 16, 378, aw - 32, 540, accent);
  tips.heading(help::kLabels.tips, 19);
  tips.paragraph(p.tips, 16);

  keys_box(cr, accent);
  bool saved = c.save_png(file);
  if (!text.fits() || !tips.fits()) {
    std::fprintf(stderr, "pipkin_gen: help page %d: text does not fit\n", number);
    return false;
  }
  return saved;
}

// Page 0: the whole program.
bool draw_overview_page(const fs::path& file) {
  const help::OverviewText& words = help::overview();
  const Col accent = words.accent;
  Canvas c(kPageW, kPageH);
  cairo_t* cr = c.cr();
  page_frame(cr, accent);
  header(cr, 0, words.title, words.subtitle, accent);

  // Every activity with its number, title and summary line: nine fill the column.
  double y = 142;
  int number = 1;
  for (const help::ActivityPage& page : help::activity_pages()) {
    gen::badge(cr, 60, y + 15, 15, std::to_string(number++), page.accent, 18);
    use_font(cr, 18);
    set(cr, kInk);
    show(cr, 86, y + 21, page.title, true);
    use_font(cr, 15);
    set(cr, kSoftInk);
    show(cr, 88, y + 39, page.summary, false);
    y += 45;
  }

  const double bx = 364, bw = kPageW - 40 - bx;
  rounded(cr, bx, 140, bw, 404, 16);
  set(cr, mix(accent, kWhite, 0.82));
  cairo_fill(cr);
  Column right(cr, bx + 18, 142, bw - 36, 540, accent);
  // Four sections share the box (the last one the child session), in slightly smaller type than
  // the activity pages' three.
  for (size_t i = 0; i < words.sections.size(); ++i) {
    if (i > 0) right.gap(4);
    right.heading(words.sections[i].heading, 18);
    right.paragraph(words.sections[i].paragraph, 15);
  }

  keys_box(cr, accent);
  bool saved = c.save_png(file);
  if (!right.fits() || y > 552) {
    std::fprintf(stderr, "pipkin_gen: help page 0: text does not fit\n");
    return false;
  }
  return saved;
}

bool make_help(const fs::path& out) {
  bool ok = draw_overview_page(out / "help/0.png");
  const int pages = static_cast<int>(help::activity_pages().size());
  for (int number = 1; number <= pages; ++number)
    ok = draw_activity_page(number, out / ("help/" + std::to_string(number) + ".png")) && ok;
  return ok;
}

gen::Register help_family("help", make_help);

}  // namespace
