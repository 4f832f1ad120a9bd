// The help pages for the grown-ups, in three parts: what each page says (help_text.cpp: one entry
// per activity), the small pictures (help_art.cpp) and the layout that puts them on a page
// (gen_help.cpp). Page 0 is the title screen's; page N is digit N's activity.
#pragma once
#include <cairo.h>

#include <span>
#include <string>
#include <vector>

#include "tools/kit/colour.hpp"

namespace help {

// Every page is an opaque kPageW x kPageH image.
constexpr int kPageW = 900, kPageH = 680;

// The fixed words every page shares.
struct Labels {
  const char* close;   // top right: how to close the page
  const char* does;    // the activity pages' headings
  const char* finish;
  const char* tips;
};
extern const Labels kLabels;

// The small picture of an activity's page, drawn into (0, 0, w, h).
using Art = void (*)(cairo_t* cr, double w, double h);

// Everything one activity's page says and shows. In paragraphs, *stars* mark emphasised words.
struct ActivityPage {
  const char* title;
  const char* subtitle;
  const char* summary;  // one short line under its title on page 0
  const char* does;     // what the child does
  const char* finish;   // what finishes a game and what that unlocks
  const char* tips;     // good to know
  gen::Col accent;      // its page's rim, badge, headings and boxes, and its badge on page 0
  Art art = nullptr;    // none: plain_art
};
// The activities' pages in digit order (the first is page 1): the activities of the program's
// table (activities/register.cpp), at most nine.
std::span<const ActivityPage> activity_pages();

// The words of page 0, the title screen's page; it lists every activity of activity_pages().
struct OverviewText {
  const char* title;
  const char* subtitle;
  gen::Col accent;
  struct Section {
    const char* heading;
    std::string paragraph;
    bool folders_below = false;  // the program's list of folders follows this section
  };
  std::vector<Section> sections;  // the box on the right, top to bottom
};
const OverviewText& overview();
// Page 0 as the installed program shows it: the same page, whose words name no folder but point
// to the box (app::layout::kHelpFoldersBox) where the program lists the folders it uses.
const OverviewText& overview_installed();

// One hint in the keys box at the foot of every page: key caps joined by a word, then what they do.
struct KeyHint {
  std::vector<std::string> caps;
  const char* joiner;
  const char* what;
};
// The keys box's two rows (0 and 1).
const std::vector<KeyHint>& key_row(int row);

// The pieces every page is made of (gen_help.cpp), shared with the parent's settings page.
// The coloured rim with its dots and the cream page on it.
void page_frame(cairo_t* cr, gen::Col accent);
// The badge (its text may be empty, for a glyph drawn over it), title, subtitle, the hint how to
// close the page, and the line under them at y 128.
void header(cairo_t* cr, const std::string& badge, const std::string& title, const std::string& subtitle,
            gen::Col accent, bool close_label = true);
// The keys box at the foot (y 560 to 652); false, with a message, when its hints do not fit.
bool keys_box(cairo_t* cr, gen::Col accent);

// The activities' small pictures (help_art.cpp), each a sketch of the activity itself.
void art_frames(cairo_t* cr, double w, double h);
void art_count(cairo_t* cr, double w, double h);
void art_bounce(cairo_t* cr, double w, double h);
void art_kaleid(cairo_t* cr, double w, double h);
void art_uncover(cairo_t* cr, double w, double h);
void art_where(cairo_t* cr, double w, double h);
void art_colour(cairo_t* cr, double w, double h);
void art_pairs(cairo_t* cr, double w, double h);
void art_jigsaw(cairo_t* cr, double w, double h);
// The picture of an activity that has none of its own: the sky with the pointer.
void plain_art(cairo_t* cr, double w, double h);

// Pieces the small pictures are sketched from (help_sketch.cpp).
// One of a few small cheerful scenes, drawn to fill (x, y, w, h): 0 hills with a house, 1 a boat
// on the sea, 2 a flower, 3 an apple.
void scene(cairo_t* cr, double x, double y, double w, double h, int kind);
void sky_background(cairo_t* cr, double w, double h);
// The program's pointer, small, tip at (x, y).
void pointer(cairo_t* cr, double x, double y, double scale = 0.75);
// A square jigsaw piece of side s at (x, y); tabs for top, right, bottom, left: +1 out, -1 in, 0 flat.
void piece_path(cairo_t* cr, double x, double y, double s, const int tabs[4]);
// Tabs of piece (r, c) in a grid whose inner edges alternate in and out.
void grid_tabs(int r, int c, int rows, int cols, int tabs[4]);
// A counting ball with its number; glow adds a golden halo.
void ball(cairo_t* cr, double x, double y, double r, gen::Col colour, int number, bool glow);
// A 4 x 3 jigsaw over the area; pieces marked in `shown` show scene `kind`, the others only the
// template outline.
void jigsaw_board(cairo_t* cr, double w, double h, gen::Col ground, const bool shown[12], int kind);

}  // namespace help
