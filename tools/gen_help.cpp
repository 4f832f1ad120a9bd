// Help pages for the grown-ups: one opaque page per screen (the title screen's, then one for each
// activity of help::activity_pages()) in every language of the catalogue, drawn centred over the
// screen when H or F1 is pressed. Each page says what the child does, what finishes a game and what that unlocks, with a small picture
// and the keys. This file lays the pages out; what they say is in help_text.cpp and the pictures in
// help_art.cpp.
#include <algorithm>
#include <cmath>
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
            const std::string& close, double title_right) {
  gen::badge(cr, 76, 76, 38, badge, accent, 46);
  // The hint how to close the page sits at the top right; the title keeps clear of it.
  double title_end = title_right > 0 ? title_right : kPageW - 44;
  if (!close.empty()) {
    set(cr, kSoftInk);
    const double size = gen::fitting_size(cr, close, 15, false, 300);
    const double w = gen::advance(cr, close, size, false);
    gen::show_fitted(cr, kPageW - 44 - w, 48, close, 15, false, 300);
    title_end = kPageW - 44 - w - 16;
  }
  set(cr, kInk);
  gen::show_fitted(cr, 132, 80, title, 40, true, title_end - 132);
  // The subtitle is one line under the title; one too long for it takes two, smaller.
  set(cr, kSoftInk);
  const double subtitle_w = kPageW - 44 - 134;
  if (gen::advance(cr, subtitle, 18 * gen::kMinTextScale, false) <= subtitle_w)
    gen::show_fitted(cr, 134, 108, subtitle, 18, false, subtitle_w);
  else
    gen::show_wrapped(cr, {134, 90, subtitle_w, 36}, subtitle, 15, false);
  cairo_move_to(cr, 40, 128);
  cairo_line_to(cr, kPageW - 40, 128);
  set(cr, accent, 0.5);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
}

namespace {

// One hint of the keys box with its left edge at x, its type scaled by `scale`: its key caps
// (joined by the joiner), then what they do. Draws only when `draw`; returns where the hint ends.
double key_hint(cairo_t* cr, double x, double y, const KeyHint& key, double scale, bool draw) {
  double kx = x;
  for (size_t c = 0; c < key.caps.size(); ++c) {
    if (c > 0) {
      set(cr, kSoftInk);
      kx += 6;
      if (draw) show(cr, kx, y + 20, key.joiner, 16 * scale, false);
      kx += gen::advance(cr, key.joiner, 16 * scale, false) + 6;
    }
    kx += draw ? gen::key_cap(cr, kx, y, key.caps[c], 16 * scale) : gen::key_cap_width(cr, key.caps[c], 16 * scale);
  }
  set(cr, kInk);
  if (draw) show(cr, kx + 10, y + 20, key.what, 17 * scale, false);
  return kx + 10 + gen::advance(cr, key.what, 17 * scale, false);
}

// Where a row's hints start at the given scale: three hints a row stand in columns; a row of four
// keeps its last hint in the last column (or, when it is too long for it, at the box's right edge)
// and shares the room before it evenly among the other three. How far the hints run into each other or past the box (0 when they fit).
double place_hints(cairo_t* cr, const std::vector<KeyHint>& row, double ky, double scale, std::vector<double>& at) {
  const double x = 40, w = kPageW - 80;
  const double cols[3] = {x + 18, x + 420, x + 600};
  at.assign(row.size(), 0);
  if (row.size() <= 3) {
    for (size_t k = 0; k < row.size(); ++k) at[k] = cols[k];
  } else {
    double used = 0;
    for (size_t k = 0; k + 1 < row.size(); ++k) used += key_hint(cr, 0, ky, row[k], scale, false);
    // A last hint too long for its column starts further left, ending at the box's edge.
    at.back() = std::min(cols[2], x + w - 8 - key_hint(cr, 0, ky, row.back(), scale, false));
    const double gap = (at.back() - cols[0] - used) / static_cast<double>(row.size() - 1);
    at[0] = cols[0];
    for (size_t k = 1; k + 1 < row.size(); ++k) at[k] = at[k - 1] + key_hint(cr, 0, ky, row[k - 1], scale, false) + gap;
  }
  double over = 0;
  for (size_t k = 0; k < row.size(); ++k) {
    const double end = at[k] + key_hint(cr, 0, ky, row[k], scale, false);
    const double limit = k + 1 < row.size() ? at[k + 1] - 16 : x + w - 8;
    over = std::max(over, end - limit);
  }
  return over;
}

}  // namespace

void keys_box(cairo_t* cr, Col accent, const gen::Words& words, size_t activities) {
  const double x = 40, y = 560, w = kPageW - 80, h = 92;
  rounded(cr, x, y, w, h, 16);
  set(cr, mix(accent, kWhite, 0.85));
  cairo_fill(cr);
  for (int r = 0; r < 2; ++r) {
    const double ky = y + 14 + r * 38;
    const std::vector<KeyHint> row = key_row(words, r, activities);
    std::vector<double> at;
    double scale = 1;
    while (scale > gen::kMinTextScale && place_hints(cr, row, ky, scale, at) > 0)
      scale = std::max(gen::kMinTextScale, scale - 0.04);
    if (const double over = place_hints(cr, row, ky, scale, at); over > 0)
      gen::text_problems().push_back(
          {"", row.front().what, "keys row overflows its box by " + std::to_string(static_cast<int>(std::ceil(over))) + " px"});
    for (size_t k = 0; k < row.size(); ++k) key_hint(cr, at[k], ky, row[k], scale, true);
  }
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

void draw_activity_page(const gen::Words& words, std::span<const ActivityPage> pages, size_t index,
                        const fs::path& file, bool& ok) {
  const help::ActivityPage& p = pages[index];
  const PageWords said = page_words(words, pages, index);
  const Col accent = p.accent;
  Canvas c(kPageW, kPageH);
  cairo_t* cr = c.cr();
  // A right-to-left language reads the page from the right: its layout is mirrored.
  if (gen::right_to_left(cr, words.text("language.name"))) gen::mirror(cr, kPageW);
  page_frame(cr, accent);
  header(cr, std::to_string(index + 1), said.title, said.subtitle, accent, words.text("help.close"));

  Column text(cr, {44, 140, 480, 408}, accent);
  text.heading(words.text("help.does"));
  text.paragraph(said.does);
  text.gap(6);
  text.heading(words.text("help.finish"));
  text.paragraph(said.finish);
  text.draw();

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
  Column tips(cr, {ax + 16, 378, aw - 32, 162}, accent);
  tips.heading(words.text("help.tips"), 19);
  tips.paragraph(said.tips, 16);
  tips.draw();

  keys_box(cr, accent, words, pages.size());
  ok = c.save(file) && ok;
}

// Page 0: the whole program. The installed program's page says where things are kept without
// naming a folder: its words point to the framed box at layout::kHelpFoldersBox, left empty here,
// where the program writes the folders it found.
void draw_overview_page(const gen::Words& words, std::span<const ActivityPage> pages, bool installed,
                        const fs::path& file, bool& ok) {
  const OverviewText said = overview(words, pages.size(), installed);
  const Col accent = said.accent;
  Canvas c(kPageW, kPageH);
  cairo_t* cr = c.cr();
  // A right-to-left language reads the page from the right: its layout is mirrored.
  if (gen::right_to_left(cr, words.text("language.name"))) gen::mirror(cr, kPageW);
  page_frame(cr, accent);
  header(cr, "0", said.title, said.subtitle, accent, words.text("help.close"));

  // Every activity with its number, title and summary line, sharing the column: nine at full size,
  // more a little closer and smaller.
  const double top = 142, room = 410;
  const double row = std::min(45.0, room / static_cast<double>(pages.size())), type = row / 45;
  for (size_t i = 0; i < pages.size(); ++i) {
    const double y = top + row * static_cast<double>(i);
    const PageWords page = page_words(words, pages, i);
    gen::badge(cr, 60, y + 15 * type, 15 * type, std::to_string(i + 1), pages[i].accent, 18 * type);
    set(cr, kInk);
    gen::show_fitted(cr, 86, y + 21 * type, page.title, 18 * type, true, 270);
    set(cr, kSoftInk);
    gen::show_fitted(cr, 88, y + 39 * type, page.summary, 15 * type, false, 268);
  }

  const double bx = 364, bw = kPageW - 40 - bx;
  rounded(cr, bx, 140, bw, 404, 16);
  set(cr, mix(accent, kWhite, 0.82));
  cairo_fill(cr);
  Column right(cr, {bx + 18, 142, bw - 36, 398}, accent);
  // The sections share the box in slightly smaller type than the activity pages' three.
  constexpr app::layout::Rect box = app::layout::kHelpFoldersBox;
  static_assert(box.x >= 364 + 8 && box.x + box.w <= kPageW - 40 - 8 && box.y + box.h <= 536,
                "the folders box lies inside the right-hand box");
  for (size_t i = 0; i < said.sections.size(); ++i) {
    if (i > 0) right.gap(4);
    right.heading(said.sections[i].heading, 18);
    right.paragraph(said.sections[i].paragraph, 15);
    if (said.sections[i].folders_below) right.skip_to(box.y - 2, box.y + box.h + 6);
  }
  right.draw();
  if (installed) folders_box(cr, box, accent);

  keys_box(cr, accent, words, pages.size());
  ok = c.save(file) && ok;
}

bool make_help(const fs::path& out, const gen::Words& words) { return draw_help_pages(out, words, activity_pages()); }

gen::Register help_family("help", make_help);

}  // namespace

namespace help {

bool draw_help_pages(const fs::path& out, const gen::Words& words, std::span<const ActivityPage> pages) {
  bool ok = true;
  draw_overview_page(words, pages, false, words.file(out, "help", "0.png", "title"), ok);
  draw_overview_page(words, pages, true, words.file(out, "help", "0-installed.png", "title-installed"), ok);
  for (size_t i = 0; i < pages.size(); ++i)
    draw_activity_page(words, pages, i, words.file(out, "help", std::to_string(i + 1) + ".png", pages[i].id), ok);
  return ok;
}

}  // namespace help
