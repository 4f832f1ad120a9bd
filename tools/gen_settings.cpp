// The parent's settings page (Control+P), in the help pages' frame and type: the still parts are
// drawn here, the changing parts (the folders, the status line) by the program. Every button and
// card stands where app/parent/settings_layout.hpp says, the same rectangles the program takes clicks
// from. Two versions of the page are written: every choice drawn unchosen, and every choice drawn
// chosen; the program shows the first and copies a chosen button's rectangle from the second, so
// a chosen button must change nothing outside its rectangle.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "app/parent/settings_layout.hpp"
#include "tools/help.hpp"
#include "tools/kit/canvas.hpp"
#include "tools/kit/colour.hpp"
#include "tools/kit/scenery.hpp"
#include "tools/kit/shapes.hpp"
#include "tools/kit/text.hpp"
#include "tools/kit/words.hpp"

namespace {

namespace layout = app::layout;
using gen::Canvas;
using gen::Col;
using gen::kInk;
using gen::kPi;
using gen::kSoftInk;
using gen::kWhite;
using gen::mix;
using gen::rounded;
using gen::set;
using gen::show;
using layout::Rect;
namespace fs = gen::fs;

// A calm slate teal, apart from every activity's colour: the rim, the badge, chosen buttons.
constexpr Col kAccent = gen::rgb255(58, 122, 138);
const Col kHeading = mix(kAccent, kInk, 0.45);  // as the help pages' headings
const Col kCard = mix(kAccent, kWhite, 0.86);
const Col kKeyShadow{0.72, 0.72, 0.80};  // as the help pages' key caps

static_assert(layout::kPageW == help::kPageW && layout::kPageH == help::kPageH, "the settings page is a help page");

constexpr double kRadius = 10;

// A white check mark of height h with its left end at (x, y + h * 0.55).
void tick(cairo_t* cr, double x, double y, double h) {
  // A check mark keeps its shape on a mirrored page: only its place is mirrored.
  cairo_matrix_t m;
  cairo_get_matrix(cr, &m);
  cairo_save(cr);
  if (m.xx < 0) {
    cairo_translate(cr, x + h / 2, 0);
    cairo_scale(cr, -1, 1);
    cairo_translate(cr, -(x + h / 2), 0);
  }
  cairo_move_to(cr, x, y + h * 0.55);
  cairo_line_to(cr, x + h * 0.36, y + h * 0.9);
  cairo_line_to(cr, x + h * 0.95, y + h * 0.12);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, 3.2);
  set(cr, kWhite);
  cairo_stroke(cr);
  cairo_restore(cr);
}

// A key-like button filling r, its shadow just below it. Unchosen: a light key with ink words, as
// the help pages' key caps. Chosen: filled with the accent, white words and a check mark. The
// shadow is the same either way and the face stays inside r, so the two differ only inside r.
void button(cairo_t* cr, const Rect& r, const std::string& label, bool chosen) {
  rounded(cr, r.x, r.y + 3, r.w, r.h, kRadius);
  set(cr, kKeyShadow);
  cairo_fill(cr);
  // The rim's line stays inside the rectangle.
  const double line = 1.5;
  rounded(cr, r.x + line / 2, r.y + line / 2, r.w - line, r.h - line, kRadius - line / 2);
  if (chosen) {
    cairo_pattern_t* g = cairo_pattern_create_linear(0, r.y, 0, r.y + r.h);
    const Col top = gen::lighten(kAccent, 0.12), bottom = gen::darken(kAccent, 0.08);
    cairo_pattern_add_color_stop_rgb(g, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(g, 1, bottom.r, bottom.g, bottom.b);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    set(cr, gen::darken(kAccent, 0.35));
  } else {
    set(cr, kWhite);
    cairo_fill_preserve(cr);
    set(cr, kSoftInk);
  }
  cairo_set_line_width(cr, line);
  cairo_stroke(cr);

  // Longer words shrink to fit the button, leaving room for the tick on a chosen one.
  const double tick_h = 15, tick_gap = 7;
  const double size = gen::fitting_size(cr, label, 18, true, r.w - 16 - (chosen ? tick_h + tick_gap : 0));
  const double text_w = gen::advance(cr, label, size, true);
  const bool with_tick = chosen && text_w + tick_h + tick_gap + 16 <= r.w;
  const double group = text_w + (with_tick ? tick_h + tick_gap : 0);
  double x = r.x + (r.w - group) / 2;
  const double base = r.y + r.h / 2 + 6.5;
  if (with_tick) {
    tick(cr, x, base - 13.5, tick_h);
    x += tick_h + tick_gap;
  }
  set(cr, chosen ? kWhite : kInk);
  gen::show_fitted(cr, x, base, label, size, true, r.w - 16);
}

// The close button: a round light key with a bold cross, centred in r.
void close_button(cairo_t* cr, const Rect& r) {
  const double cx = r.x + r.w / 2.0, cy = r.y + r.h / 2.0 - 1.5, rad = std::fmin(r.w, r.h) / 2.0 - 2;
  cairo_arc(cr, cx, cy + 3, rad, 0, 2 * kPi);
  set(cr, kKeyShadow);
  cairo_fill(cr);
  cairo_arc(cr, cx, cy, rad, 0, 2 * kPi);
  set(cr, kWhite);
  cairo_fill_preserve(cr);
  set(cr, kSoftInk);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  const double arm = rad * 0.42;
  cairo_move_to(cr, cx - arm, cy - arm);
  cairo_line_to(cr, cx + arm, cy + arm);
  cairo_move_to(cr, cx + arm, cy - arm);
  cairo_line_to(cr, cx - arm, cy + arm);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 5);
  set(cr, kInk);
  cairo_stroke(cr);
}

// The language button: a globe, which a parent finds whatever language the page is in, and the
// language's own name.
void language_button(cairo_t* cr, const Rect& r, const std::string& name) {
  button(cr, r, "", false);
  const double rad = 12, cx = r.x + 14 + rad, cy = r.y + r.h / 2.0;
  cairo_new_path(cr);
  cairo_arc(cr, cx, cy, rad, 0, 2 * kPi);
  set(cr, kAccent);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  // Its meridian and its lines of latitude.
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, 0.45, 1);
  cairo_arc(cr, 0, 0, rad, 0, 2 * kPi);
  cairo_restore(cr);
  cairo_move_to(cr, cx, cy - rad);
  cairo_line_to(cr, cx, cy + rad);
  cairo_move_to(cr, cx - rad, cy);
  cairo_line_to(cr, cx + rad, cy);
  for (const double dy : {-rad * 0.55, rad * 0.55}) {
    const double half = std::sqrt(rad * rad - dy * dy);
    cairo_move_to(cr, cx - half, cy + dy);
    cairo_line_to(cr, cx + half, cy + dy);
  }
  cairo_set_line_width(cr, 1.4);
  cairo_stroke(cr);
  const double left = cx + rad + 10, room = r.x + r.w - 14 - left;
  set(cr, kInk);
  const double size = gen::fitting_size(cr, name, 18, true, room);
  gen::show_fitted(cr, left + (room - gen::advance(cr, name, size, true)) / 2, r.y + r.h / 2 + 6.5, name, size, true, room);
}

// A white gear over the header's badge: this page is the settings.
void gear(cairo_t* cr, double cx, double cy, double r) {
  const int teeth = 8;
  cairo_new_path(cr);
  for (int i = 0; i < teeth * 4; ++i) {
    // Each tooth: two points out, two points in.
    const double a = (i - 0.5) * 2 * kPi / (teeth * 4);
    const double rr = (i % 4 == 0 || i % 4 == 1) ? r : r * 0.76;
    cairo_line_to(cr, cx + rr * std::cos(a), cy + rr * std::sin(a));
  }
  cairo_close_path(cr);
  cairo_new_sub_path(cr);
  cairo_arc_negative(cr, cx, cy, r * 0.3, 2 * kPi, 0);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  set(cr, kWhite);
  cairo_fill_preserve(cr);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
}

void card(cairo_t* cr, const Rect& r) {
  rounded(cr, r.x, r.y, r.w, r.h, 16);
  set(cr, kCard);
  cairo_fill(cr);
}

// A row's heading in the 26 pixels above its buttons, and a quieter note after it, both within
// the card's width from the heading's left; the note shrinks first, then both.
void heading(cairo_t* cr, int button_y, const Rect& card, const std::string& text, const std::string& note = "") {
  const double base = button_y - 9, width = card.x + card.w - 16 - layout::kRowHeadingX;
  set(cr, kHeading);
  if (note.empty()) {
    gen::show_fitted(cr, layout::kRowHeadingX, base, text, 19, true, width);
    return;
  }
  const double heading_w = std::min(gen::advance(cr, text, 19, true), width * 0.6);
  const double size = gen::show_fitted(cr, layout::kRowHeadingX, base, text, 19, true, heading_w);
  const double after = layout::kRowHeadingX + gen::advance(cr, text, size, true) + 10;
  set(cr, kSoftInk);
  gen::show_fitted(cr, after, base, note, 15, false, layout::kRowHeadingX + width - after);
}

// A sleepy crescent moon beside the play-time buttons: what a break looks like.
void small_moon(cairo_t* cr, double cx, double cy, double r) {
  pk::moon(cr, cx, cy, r, {1.0, 0.84, 0.40});
  for (int k = 0; k < 3; ++k) {
    set(cr, kSoftInk, 0.85);
    show(cr, cx + r * 0.9 + k * 13, cy - r * 0.35 - k * 13, "z", 13 + 4 * k, true);
  }
}

bool draw_page(const fs::path& file, const gen::Words& words, bool chosen) {
  Canvas c(layout::kPageW, layout::kPageH);
  cairo_t* cr = c.cr();
  // A right-to-left language reads the page from the right: its layout is mirrored, as the program
  // mirrors the places it draws into and takes clicks from.
  if (gen::right_to_left(cr, words.text("language.name"))) gen::mirror(cr, layout::kPageW);
  help::page_frame(cr, kAccent);
  help::header(cr, "", words.text("settings.title"), words.text("settings.subtitle"), kAccent, "",
               layout::kLanguage.x - 16);
  gear(cr, 76, 76, 24);
  close_button(cr, layout::kClose);
  language_button(cr, layout::kLanguage, words.text("language.name"));

  // Left: the choices.
  const Rect& choices = layout::kChoicesCard;
  card(cr, choices);
  heading(cr, layout::kScreenRowY, choices, words.text("settings.screen"));
  button(cr, layout::kFullScreen, words.text("settings.full_screen"), chosen);
  button(cr, layout::kWindow, words.text("settings.window"), chosen);
  heading(cr, layout::kLockRowY, choices, words.text("settings.lock"), words.text("settings.lock.note"));
  button(cr, layout::kLockOn, words.text("settings.on"), chosen);
  button(cr, layout::kLockOff, words.text("settings.off"), chosen);
  heading(cr, layout::kSoundRowY, choices, words.text("settings.sound"));
  button(cr, layout::kSoundOn, words.text("settings.on"), chosen);
  button(cr, layout::kSoundOff, words.text("settings.off"), chosen);
  heading(cr, layout::kProgressRowY, choices, words.text("settings.progress"));
  button(cr, layout::kStartAgain, words.text("settings.start_again"), false);
  button(cr, layout::kOpenAll, words.text("settings.open_all", static_cast<long>(help::activity_pages().size())), false);

  // Right: the pictures' folders, written in by the program below the heading.
  card(cr, layout::kPicturesCard);
  set(cr, kHeading);
  gen::show_fitted(cr, layout::kPicturesTextX, layout::kScreenRowY - 9, words.text("settings.pictures"), 19, true,
                   layout::kPicturesTextW);

  // Bottom: the play-time limit.
  card(cr, layout::kLimitCard);
  heading(cr, layout::kLimitRowY, layout::kLimitCard, words.text("settings.play_time"),
          words.text("settings.play_time.note"));
  for (size_t i = 0; i < layout::kLimitMinutes.size(); ++i) {
    const int minutes = layout::kLimitMinutes[i];
    button(cr, layout::limit_button(static_cast<int>(i)), minutes ? std::to_string(minutes) : words.text("settings.off"),
           chosen);
  }
  const Rect last = layout::limit_button(static_cast<int>(layout::kLimitMinutes.size()) - 1);
  const double moon_x = (last.x + last.w + layout::kLimitCard.x + layout::kLimitCard.w) / 2.0 - 12;
  if (moon_x - 30 > last.x + last.w + 8) small_moon(cr, moon_x - 8, last.y + last.h / 2.0 + 4, 20);

  return c.save(file);
}

// One "open the folder" button, drawn by the program once for each folder it lists.
bool draw_folder_button(const fs::path& file, const gen::Words& words) {
  Canvas c(layout::kOpenFolderW, layout::kOpenFolderH);
  cairo_t* cr = c.cr();
  // The shadow needs 3 pixels below the face.
  button(cr, Rect{0, 0, layout::kOpenFolderW, layout::kOpenFolderH - 3}, words.text("settings.open_folder"), false);
  return c.save(file);
}

bool make_settings(const fs::path& out, const gen::Words& words) {
  bool ok = draw_page(words.file(out, "help", "settings.png", "settings"), words, false);
  ok = draw_page(words.file(out, "help", "settings_on.png", "settings_on"), words, true) && ok;
  ok = draw_folder_button(words.file(out, "help", "settings_button.png", "settings_button"), words) && ok;
  return ok;
}

gen::Register settings_family("settings", make_settings);

}  // namespace
