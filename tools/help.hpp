// The help pages for the grown-ups, in three parts: which activities have pages and how they look
// (help_text.cpp: one entry per activity, keyed by the activity's name), the small pictures
// (help_art.cpp) and the layout that puts them on a page (gen_help.cpp). Every word comes from the
// catalogue (gen::Words): help.<name>.* for an activity's page, title.* for the title screen's.
// In English, page 0 is the title screen's and page N the Nth activity's, as the digit keys go;
// another language's pages are named by id: title.png and <name>.png.
#pragma once
#include <cairo.h>

#include <span>
#include <string>
#include <vector>

#include "tools/kit/colour.hpp"
#include "tools/kit/gen.hpp"
#include "tools/kit/words.hpp"

namespace help {

// Every page is an opaque kPageW x kPageH image.
constexpr int kPageW = 900, kPageH = 680;

// The small picture of an activity's page, drawn into (0, 0, w, h).
using Art = void (*)(cairo_t* cr, double w, double h);

// What opens the next activity, said on the page under "Finishing a game".
enum class Unlock { Finishing, AnyClick, FirstFill };

// One activity's page. Its words are the catalogue's help.<id>.title, .subtitle (with its number),
// .summary (its line on page 0), .does, .finish and .tips (with its number, its digit key).
struct ActivityPage {
  const char* id;  // the activity's name in the program's table (activities/register.cpp)
  Unlock unlock;
  gen::Col accent;      // its page's rim, badge, headings and boxes, and its badge on page 0
  Art art = nullptr;    // none: plain_art
};
// The activities' pages in the order of the program's table.
std::span<const ActivityPage> activity_pages();

// An activity page's words, its number being its place in the table (from 1).
struct PageWords {
  std::string title, subtitle, summary, does, finish, tips;
};
PageWords page_words(const gen::Words& words, std::span<const ActivityPage> pages, size_t index);

// The words of page 0, the title screen's page; it lists every activity of the table.
struct OverviewText {
  std::string title, subtitle;
  gen::Col accent;
  struct Section {
    std::string heading, paragraph;
    bool folders_below = false;  // the program's list of folders follows this section
  };
  std::vector<Section> sections;  // the box on the right, top to bottom
};
// installed: page 0 as the installed program shows it, whose words name no folder but point to the
// box (app::layout::kHelpFoldersBox) where the program lists the folders it uses.
OverviewText overview(const gen::Words& words, size_t activities, bool installed);

// One hint in the keys box at the foot of every page: key caps joined by a word, then what they do.
struct KeyHint {
  std::vector<std::string> caps;
  std::string joiner;
  std::string what;
};
// The keys box's two rows (0 and 1); the digits go as far as there are activities.
std::vector<KeyHint> key_row(const gen::Words& words, int row, size_t activities);

// Draws the title screen's pages and one page per activity of `pages` under out/help.
bool draw_help_pages(const gen::fs::path& out, const gen::Words& words, std::span<const ActivityPage> pages);

// The pieces every page is made of (gen_help.cpp), shared with the parent's settings page.
// The coloured rim with its dots and the cream page on it.
void page_frame(cairo_t* cr, gen::Col accent);
// The badge (its text may be empty, for a glyph drawn over it), title, subtitle, the hint how to
// close the page (none when empty), and the line under them at y 128. The title ends before
// title_right when it is given (something else stands at the top right).
void header(cairo_t* cr, const std::string& badge, const std::string& title, const std::string& subtitle,
            gen::Col accent, const std::string& close, double title_right = 0);
// The keys box at the foot (y 560 to 652); its hints shrink to fit, and are noted when they cannot.
void keys_box(cairo_t* cr, gen::Col accent, const gen::Words& words, size_t activities);

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
