// Help pages for the grown-ups: one opaque page per screen (0 the title screen, then one for each
// activity of help::activity_pages()), drawn centred over the screen when H or F1 is pressed. Each
// page says what the child does, what finishes a game and what that unlocks, with a small picture
// and the keys. This file lays the pages out; what they say is in help_text.cpp and the pictures in
// help_art.cpp.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/parent/settings_layout.hpp"
#include "tools/help.hpp"
#include "tools/kit/canvas.hpp"
#include "tools/kit/colour.hpp"
#include "tools/kit/shapes.hpp"
#include "tools/kit/text.hpp"
#include "tools/kit/widgets.hpp"

namespace help {

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

}  // namespace

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

void header(cairo_t* cr, const std::string& badge, const std::string& title, const std::string& subtitle, Col accent,
            bool close_label) {
  gen::badge(cr, 76, 76, 38, badge, accent, 46);
  use_font(cr, 40);
  set(cr, kInk);
  show(cr, 132, 80, title, true);
  use_font(cr, 18);
  set(cr, kSoftInk);
  show(cr, 134, 108, subtitle, false);
  if (close_label) {
    use_font(cr, 15);
    const std::string close = help::kLabels.close;
    show(cr, kPageW - 44 - gen::advance(cr, close), 48, close, false);
  }
  cairo_move_to(cr, 40, 128);
  cairo_line_to(cr, kPageW - 40, 128);
  set(cr, accent, 0.5);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
}

namespace {

// One hint of the keys box with its left edge at x: its key caps (joined by the joiner), then what
// they do. Draws only when `draw`; returns where the hint ends either way.
double key_hint(cairo_t* cr, double x, double y, const KeyHint& key, bool draw) {
  double kx = x;
  for (size_t c = 0; c < key.caps.size(); ++c) {
    if (c > 0) {
      use_font(cr, 16);
      set(cr, kSoftInk);
      kx += 6;
      if (draw) show(cr, kx, y + 20, key.joiner, false);
      kx += gen::advance(cr, key.joiner) + 6;
    }
    if (draw) {
      kx += gen::key_cap(cr, kx, y, key.caps[c]);
    } else {
      use_font(cr, 16);
      kx += std::max(30.0, gen::advance(cr, key.caps[c]) + 16);
    }
  }
  use_font(cr, 17);
  set(cr, kInk);
  if (draw) show(cr, kx + 10, y + 20, key.what, false);
  return kx + 10 + gen::advance(cr, key.what);
}

}  // namespace

bool keys_box(cairo_t* cr, Col accent) {
  const double x = 40, y = 560, w = kPageW - 80, h = 92;
  rounded(cr, x, y, w, h, 16);
  set(cr, mix(accent, kWhite, 0.85));
  cairo_fill(cr);
  // Three hints a row stand in columns. A row of four keeps its last hint in the last column and
  // shares the room before it evenly among the other three.
  const double cols[3] = {x + 18, x + 420, x + 600};
  bool fits = true;
  for (int r = 0; r < 2; ++r) {
    const double ky = y + 14 + r * 38;
    const std::vector<KeyHint>& row = key_row(r);
    std::vector<double> at(row.size());
    if (row.size() <= 3) {
      for (size_t k = 0; k < row.size(); ++k) at[k] = cols[k];
    } else {
      double used = 0;
      for (size_t k = 0; k + 1 < row.size(); ++k) used += key_hint(cr, 0, ky, row[k], false);
      const double gap = (cols[2] - cols[0] - used) / static_cast<double>(row.size() - 1);
      at[0] = cols[0];
      for (size_t k = 1; k + 1 < row.size(); ++k) at[k] = at[k - 1] + key_hint(cr, 0, ky, row[k - 1], false) + gap;
      at.back() = cols[2];
      fits = gap >= 16;
    }
    for (size_t k = 0; k < row.size(); ++k) {
      double end = key_hint(cr, at[k], ky, row[k], true);
      if (end > x + w - 8 || (k + 1 < row.size() && end > at[k + 1] - 16)) fits = false;
    }
  }
  if (!fits) std::fprintf(stderr, "pipkin_gen: the keys do not fit their box\n");
  return fits;
}

}  // namespace help

namespace {

using namespace help;
using gen::Canvas;
using gen::Col;
using gen::Column;
using gen::kInk;
using gen::kSoftInk;
using gen::mix;
using gen::rounded;
using gen::set;
using gen::show;
using gen::use_font;
namespace fs = gen::fs;

// An empty, framed box on page 0's right for the program to write the folders into: a plain fill,
// so that its text reads well, inside a clear rim.
void folders_box(cairo_t* cr, const app::layout::Rect& box, Col accent) {
  rounded(cr, box.x + 1, box.y + 1, box.w - 2, box.h - 2, 10);
  set(cr, {1, 0.995, 0.975});
  cairo_fill_preserve(cr);
  set(cr, mix(accent, kInk, 0.35));
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
}

bool draw_activity_page(int number, const fs::path& file) {
  const help::ActivityPage& p = help::activity_pages()[static_cast<size_t>(number - 1)];
  const Col accent = p.accent;
  Canvas c(kPageW, kPageH);
  cairo_t* cr = c.cr();
  page_frame(cr, accent);
  header(cr, std::to_string(number), p.title, p.subtitle, accent);

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

  const bool keys = keys_box(cr, accent);
  bool saved = c.save_png(file);
  if (!keys || !text.fits() || !tips.fits()) {
    std::fprintf(stderr, "pipkin_gen: help page %d: text does not fit\n", number);
    return false;
  }
  return saved;
}

// Page 0: the whole program. The installed program's page says where things are kept without
// naming a folder: its words point to the framed box at layout::kHelpFoldersBox, left empty here,
// where the program writes the folders it found.
bool draw_overview_page(const help::OverviewText& words, const fs::path& file) {
  const Col accent = words.accent;
  Canvas c(kPageW, kPageH);
  cairo_t* cr = c.cr();
  page_frame(cr, accent);
  header(cr, "0", words.title, words.subtitle, accent);

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
  bool box_fits = true;
  // The sections share the box in slightly smaller type than the activity pages' three.
  for (size_t i = 0; i < words.sections.size(); ++i) {
    if (i > 0) right.gap(4);
    right.heading(words.sections[i].heading, 18);
    right.paragraph(words.sections[i].paragraph, 15);
    if (words.sections[i].folders_below) {
      const app::layout::Rect box = app::layout::kHelpFoldersBox;
      box_fits = right.y() + 2 <= box.y && box.x >= bx + 8 && box.x + box.w <= bx + bw - 8 && box.y + box.h <= 536;
      folders_box(cr, box, accent);
      right.gap(box.y + box.h + 6 - right.y());
    }
  }

  const bool keys = keys_box(cr, accent);
  bool saved = c.save_png(file);
  if (!keys || !right.fits() || !box_fits || y > 552) {
    std::fprintf(stderr, "pipkin_gen: %s: text does not fit\n", file.filename().c_str());
    return false;
  }
  return saved;
}

bool make_help(const fs::path& out) {
  bool ok = draw_overview_page(help::overview(), out / "help/0.png");
  ok = draw_overview_page(help::overview_installed(), out / "help/0-installed.png") && ok;
  const int pages = static_cast<int>(help::activity_pages().size());
  for (int number = 1; number <= pages; ++number)
    ok = draw_activity_page(number, out / ("help/" + std::to_string(number) + ".png")) && ok;
  return ok;
}

gen::Register help_family("help", make_help);

}  // namespace
